// An editor's properties, a style and a view info to lay out
// and paint, with the editor units started; and an editor control that
// answers what the view data and view info ask of one.
#pragma once

#include <gtest/gtest.h>

#include "library/editors/EditTestDoubles.h"
#include "library/editors/EditorSession.h"
#include "library/editors/core/cxEditViewInfo.h"
#include "library/foundation/PainterCanvas.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/Owned.h"

// An editor control as its view sees it: focus, capture and transparency
// are set by the test.
class TTestViewEdit : public TcxContainer, public IcxEditViewControl {
  ORV_CLASS(TTestViewEdit, TcxContainer)
 public:
  explicit TTestViewEdit(TComponent* AOwner) : TcxContainer(AOwner) {}

  bool Focus = false;
  Integer CaptureButton = -1;
  bool Transparent = false;
  win::HDC ButtonDC = nullptr;

  TcxContainer* GetEditControl() override { return this; }
  bool InternalFocused() override { return Focus; }
  bool HasBackground() override { return false; }
  bool IsDBEditPaintCopyDrawing() override { return false; }
  Integer GetCaptureButtonVisibleIndex() override { return CaptureButton; }
  bool IsButtonDC(win::HDC ADC) override { return ADC && ADC == ButtonDC; }
  bool IsTransparent() override { return Transparent; }
  bool IsNativeBackground() override { return false; }

 protected:
  TcxContainerStyleClass GetStyleClass() override { return TcxEditStyle::StaticClass(); }
};
inline ORV_REGISTER(TTestViewEdit)

class EditViewSession : public ::testing::Test {
 protected:
  edit_test::EditorSession session;
  TOwned<TcxTestEditProperties> properties{New<TcxTestEditProperties>(nullptr)};
  TOwned<TcxEditStyle> style{New<TcxEditStyle>(nullptr, false)};
  TOwned<TcxCustomEditViewInfo> info{New<TcxCustomEditViewInfo>()};
  PainterCanvas canvas{200, 60};

  TcxEditButton* AddButton(Integer AWidth, bool ALeft = false, TcxEditButtonKind AKind = bkDown) {
    TcxEditButton* button = properties->GetButtons()->Add();
    button->SetKind(AKind);
    button->SetWidth(AWidth);
    button->SetLeftAlignment(ALeft);
    return button;
  }
  // A view data of the properties' class, made as the grid makes one.
  TOwned<TcxCustomEditViewData> MakeViewData(bool AInplace) {
    return TOwned<TcxCustomEditViewData>(properties->CreateViewData(style.get(), AInplace));
  }
  void Calculate(TcxCustomEditViewData* AViewData, TRect ABounds, TPoint P = {-1, -1},
                 TcxMouseButton AButton = cxmbNone, TShiftState AShift = {}, bool AIsMouseEvent = false) {
    AViewData->Calculate(canvas.get(), ABounds, P, AButton, AShift, info.get(), AIsMouseEvent);
  }
  TRect ButtonBounds(Integer AIndex) const { return info->ButtonInfos.at(AIndex)->Bounds; }
  TRect VisibleBounds(Integer AIndex) const { return info->ButtonInfos.at(AIndex)->VisibleBounds; }
};
