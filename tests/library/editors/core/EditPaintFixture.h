// An editor's view info reduced to what the painting helpers read: a
// container view info with buttons whose drawing steps are the helpers
// themselves, and a layout of one editor (stand-alone with a border, or in
// place as a grid cell) with one button at its right.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "library/editors/core/cxEditPaintUtils.h"
#include "library/foundation/PainterCanvas.h"
#include "library/foundation/cxGeometry.h"

namespace edit_paint_test {

// The painter session with the editors' painting unit started, and shut
// down (the brush cache and its palette listener freed) before the window
// system goes.
class EditPaintSession : public PainterSession {
 protected:
  void SetUp() override {
    PainterSession::SetUp();
    cxEditPaintUtilsInitialize();
  }
  void TearDown() override {
    cxEditPaintUtilsFinalize();
    PainterSession::TearDown();
  }
};

class TestEditViewInfo : public TcxContainerViewInfo, public IcxEditPaintViewInfo {
 public:
  TcxEditPaintInfo Info;
  std::vector<TcxEditButtonPaintInfo> Buttons;
  // The button backgrounds asked for, as "index:l,t,r,b".
  std::vector<std::string> BackgroundCalls;
  bool CustomBackground = false;
  bool PaintButtons = true;
  // Runs where the view info is asked for a custom background.
  std::function<void()> OnDrawBackground;

  TcxContainerViewInfo* GetContainerViewInfo() override { return this; }
  void GetEditPaintInfo(TcxEditPaintInfo& AInfo) override {
    AInfo = Info;
    AInfo.ButtonCount = static_cast<Integer>(Buttons.size());
  }
  TcxEditButtonPaintInfo& GetButtonPaintInfo(Integer AIndex) override { return Buttons.at(AIndex); }
  bool DrawBackground(TcxCanvas*) override {
    if (OnDrawBackground) OnDrawBackground();
    return CustomBackground;
  }
  void DrawButtons(TcxCanvas* ACanvas) override {
    if (!PaintButtons) return;
    for (Integer i = 0; i < static_cast<Integer>(Buttons.size()); ++i) {
      Buttons[i].BackgroundColor = BackgroundColor;
      DrawEditButtonBorder(ACanvas, this, i, Buttons[i].ButtonStyle, Buttons[i].Bounds);
    }
  }
  void DrawButtonContent(TcxCanvas* ACanvas, Integer AIndex, const TRect& ABackgroundRect, const TRect& AContentRect,
                         TColor APenColor, TColor ABrushColor) override {
    DrawEditButtonContent(ACanvas, this, AIndex, ABackgroundRect, AContentRect, APenColor, ABrushColor);
  }
  void DrawButtonBackground(TcxCanvas* ACanvas, Integer AIndex, const TRect& R, TColor AColor) override {
    BackgroundCalls.push_back(std::to_string(AIndex) + ":" + std::to_string(R.Left) + "," + std::to_string(R.Top) +
                              "," + std::to_string(R.Right) + "," + std::to_string(R.Bottom));
    cxEditFillRect(ACanvas, R, AColor);
  }
};

// The border an editor shows with buttons of a style.
inline TcxEditBorderStyle BorderStyleFor(TcxEditButtonStyle AStyle) {
  switch (AStyle) {
    case bts3D: return ebs3D;
    case btsFlat: return ebsFlat;
    case btsSimple: return ebsNone;
    default: return ebsSingle;
  }
}

// One editor at ABounds with a right-aligned button of AWidth.
inline void LayOut(TestEditViewInfo& V, const TRect& ABounds, bool AInplace, TcxEditButtonStyle AStyle,
                   TcxEditButtonKind AKind, TcxEditButtonState AState, Integer AWidth = 17) {
  V.Bounds = ABounds;
  V.Info.IsInplace = AInplace;
  V.Info.BorderStyle = AInplace ? ebsNone : BorderStyleFor(AStyle);
  V.BackgroundColor = clWindow;
  const bool active = AState == ebsPressed || AState == ebsSelected;
  V.BorderColor = clWindowFrame;
  if (AStyle == btsUltraFlat || AStyle == btsOffice11)
    V.BorderColor = active ? GetEditBorderHighlightColor(AStyle == btsOffice11) : clBtnShadow;
  const Integer B = GetContainerBorderWidth(static_cast<TcxContainerBorderStyle>(V.Info.BorderStyle));
  V.BorderRect = cxRectInflate(ABounds, -B, -B);
  V.ClientRect = V.BorderRect;
  TcxEditButtonPaintInfo b;
  b.Bounds = TRect(V.BorderRect.Right - AWidth, V.BorderRect.Top, V.BorderRect.Right, V.BorderRect.Bottom);
  b.VisibleBounds = b.Bounds;
  b.Kind = AKind;
  b.State = AState;
  b.ButtonStyle = AStyle;
  b.IsInplace = AInplace;
  b.LeftEdge = true;
  b.RightEdge = true;
  b.Caption = "&Go";
  b.PlainCaption = "Go";
  b.TextColor = clBtnText;
  V.Buttons = {b};
  V.ClientRect.Right = b.Bounds.Left;
}

}  // namespace edit_paint_test
