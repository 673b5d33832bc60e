// Painting editors the way a grid paints cells without an editor window:
// properties, a style with a look and feel, one view data and a view info,
// calculated at a place of a bitmap canvas with the mouse where a state
// wants it, and painted there. Shared by the painting stories and the
// contact sheets of the concrete editors.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "library/editors/ConcreteEditorSession.h"
#include "library/editors/core/cxEditViewInfo.h"
#include "library/foundation/PainterCanvas.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/WindowDC.h"
#include "platform/rtl/Owned.h"

namespace edit_paint {

// The look of an editor: its look-and-feel kind (or the theme), the border
// of a stand-alone editor and the style of its buttons.
struct Look {
  const char* Name;
  TcxLookAndFeelKind Kind;
  bool Native;
  TcxEditBorderStyle Border;
  TcxEditButtonStyle Buttons;
};

inline const Look kLooks[] = {
    {"3-D", lfStandard, false, ebs3D, bts3D},
    {"flat", lfFlat, false, ebsFlat, btsFlat},
    {"simple", lfStandard, false, ebsNone, btsSimple},
    {"hot-flat", lfStandard, false, ebsSingle, btsHotFlat},
    {"ultra-flat", lfUltraFlat, false, ebsUltraFlat, btsUltraFlat},
    {"Office-11", lfOffice11, false, ebsOffice11, btsOffice11},
    {"themed", lfStandard, true, ebsSingle, btsDefault},
};

// Where the mouse is and what it does.
enum class Mouse { Away, Over, Down };

template <class S = TcxEditStyle>
TOwned<S> MakeStyle(const Look& ALook) {
  TOwned<S> style(New<S>(nullptr, false));
  style->GetLookAndFeel()->SetKind(ALook.Kind);
  style->GetLookAndFeel()->SetNativeStyle(ALook.Native);
  style->SetEditBorderStyle(ALook.Border);
  if (ALook.Buttons != btsDefault) style->SetButtonStyle(ALook.Buttons);
  style->SetHotTrack(true);
  style->SetColor(clWindow);
  return style;
}

// Calculates AInfo at ABounds with the mouse at P and paints it there. A
// focused text editor shows its text in its inner edit, without the frame
// a cell draws: AInnerEdit paints it so.
inline void PaintCell(TcxCanvas* ACanvas, TcxCustomEditViewData* AViewData, TcxCustomEditViewInfo* AInfo,
                      const TRect& ABounds, const Variant& AValue, TPoint P, Mouse AMouse, bool AInnerEdit = false) {
  const TcxMouseButton button = AMouse == Mouse::Down ? cxmbLeft : cxmbNone;
  const TShiftState shift = AMouse == Mouse::Down ? TShiftState{ssLeft} : TShiftState{};
  if (AMouse == Mouse::Away) P = TPoint(-100, -100);
  AViewData->CalculateEx(ACanvas, ABounds, P, button, shift, AInfo, AMouse == Mouse::Down);
  AViewData->EditValueToDrawValue(ACanvas, AValue, AInfo);
  if (AInnerEdit) AInfo->Focused = false;
  AInfo->PaintEx(ACanvas);
}

// A label in the sheet's small font.
inline void Label(TcxCanvas* ACanvas, const std::string& AText, const TRect& R, Integer AFlags = cxAlignLeft) {
  TOwned<TFont> font(New<TFont>());
  font->SetName("Tahoma");
  font->SetSize(8);
  ACanvas->SetFont(font.get());
  ACanvas->GetBrush()->SetStyle(bsClear);
  ACanvas->GetFont()->SetColor(clBtnText);
  ACanvas->DrawTexT(AText, R, AFlags | cxAlignVCenter | cxSingleLine);
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

// The bounding box of the pixels of AColor inside R; empty when none.
inline TRect ColorBox(PainterCanvas& ACanvas, const TRect& R, TColor AColor) {
  TRect box(R.Right, R.Bottom, R.Left, R.Top);
  const TColor rgb = ColorToRGB(AColor);
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x)
      if (ACanvas.At(x, y) == rgb) {
        box.Left = std::min(box.Left, x);
        box.Top = std::min(box.Top, y);
        box.Right = std::max(box.Right, x + 1);
        box.Bottom = std::max(box.Bottom, y + 1);
      }
  return box.Left < box.Right ? box : TRect();
}

// A window and every visible child window on it, as the screen shows
// them, copied into ADest at AOrigin.
inline void GrabWindow(TWinControl* AControl, TcxCanvas* ADest, TPoint AOrigin) {
  AControl->Repaint();
  win::test::PumpUntilIdle();
  win::HDC dc = win::GetWindowDC(AControl->GetHandle());
  win::BitBlt(ADest->GetHandle(), AOrigin.X, AOrigin.Y, AControl->GetWidth(), AControl->GetHeight(), dc, 0, 0,
              win::SRCCOPY);
  win::ReleaseDC(AControl->GetHandle(), dc);
  for (Integer i = 0; i < AControl->GetControlCount(); ++i)
    if (auto* child = dynamic_cast<TWinControl*>(AControl->GetControl(i)); child && child->GetVisible())
      GrabWindow(child, ADest, TPoint(AOrigin.X + child->GetLeft(), AOrigin.Y + child->GetTop()));
}

}  // namespace edit_paint
