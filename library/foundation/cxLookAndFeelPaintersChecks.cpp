// Check boxes of the non-themed painters: a border, a filled square and a
// tick of three one-pixel strokes.
#include "library/foundation/cxLookAndFeelPainters.h"

using Base = TcxCustomLookAndFeelPainter;

void Base::DrawCheck(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, bool AChecked, TColor AColor) const {
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(CheckButtonColor(AState));
  ACanvas->FillRect(R);
  // A box too low for the three strokes shows no tick rather than one
  // drawn across its neighbours.
  if (!AChecked || cxRectWidth(R) < 3 || cxRectHeight(R) < 5) return;
  const Integer a = cxRectWidth(R) - 2, b = cxRectHeight(R) - 4;
  const Integer cx = (R.Left + R.Right) / 2 - 1;
  ACanvas->GetPen()->SetStyle(psSolid);
  ACanvas->GetPen()->SetWidth(1);
  ACanvas->GetPen()->SetColor(AColor);
  for (Integer i = 0; i < 3; ++i) {
    const Integer y = (R.Top + R.Bottom + b) / 2 - 2 + i;
    const TPoint stroke[] = {{cx - (a / 2 - 1), y - b / 2}, {cx, y}, {cx + a / 2 + 2, y - b}};
    ACanvas->Polyline(stroke);
  }
}

void Base::DrawCheckBorder(TcxCanvas*, const TRect&, TcxButtonState) const {}

void TcxStandardLookAndFeelPainter::DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState) const {
  ACanvas->DrawEdge(R, true, false);
  ACanvas->DrawEdge(cxRectInflate(R, -1, -1), true, true);
}

void TcxFlatLookAndFeelPainter::DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  ACanvas->DrawEdge(R, true, true);
  ACanvas->FrameRect(cxRectInflate(R, -1, -1), CheckButtonColor(AState));
}

void TcxUltraFlatLookAndFeelPainter::DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R,
                                                     TcxButtonState AState) const {
  ACanvas->FrameRect(R, clBtnText);
  ACanvas->FrameRect(cxRectInflate(R, -1, -1), CheckButtonColor(AState));
}

void Base::DrawCheckButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, bool AChecked) const {
  DrawCheckBorder(ACanvas, R, AState);
  const Integer W = CheckBorderSize();
  DrawCheck(ACanvas, cxRectInflate(R, -W, -W), AState, AChecked, AState == cxbsDisabled ? clGrayText : clBtnText);
}
