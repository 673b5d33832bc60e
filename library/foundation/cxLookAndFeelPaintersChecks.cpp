// Check boxes of the non-themed painters: a border, a filled square and a
// tick of three one-pixel strokes.
#include "library/foundation/cxLookAndFeelPainters.h"
#include "library/foundation/cxPaintBounds.h"

using Base = TcxCustomLookAndFeelPainter;

void Base::DrawCheck(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, bool AChecked, TColor AColor) const {
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(CheckButtonColor(AState));
  ACanvas->FillRect(R);
  // A box too low for the three strokes shows no tick rather than one
  // drawn across its neighbours.
  // In 64 bits: a box near an end of Integer has a size and a middle though
  // the sum of its edges does not fit.
  const Int64 width = Int64(R.Right) - R.Left, height = Int64(R.Bottom) - R.Top;
  if (!AChecked || width < 3 || height < 5) return;
  const Int64 a = width - 2, b = height - 4;
  const Int64 cx = (Int64(R.Left) + R.Right) / 2 - 1;
  ACanvas->GetPen()->SetStyle(psSolid);
  ACanvas->GetPen()->SetWidth(1);
  ACanvas->GetPen()->SetColor(AColor);
  for (Integer i = 0; i < 3; ++i) {
    const Int64 y = (Int64(R.Top) + R.Bottom + b) / 2 - 2 + i;
    const TPoint stroke[] = {cxPointHeld(cx - (a / 2 - 1), y - b / 2), cxPointHeld(cx, y),
                             cxPointHeld(cx + a / 2 + 2, y - b)};
    ACanvas->Polyline(stroke);
  }
}

void Base::DrawCheckBorder(TcxCanvas*, const TRect&, TcxButtonState) const {}

void TcxStandardLookAndFeelPainter::DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState) const {
  ACanvas->DrawEdge(R, true, false);
  ACanvas->DrawEdge(cxRectShrunk(R, 1), true, true);
}

void TcxFlatLookAndFeelPainter::DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  ACanvas->DrawEdge(R, true, true);
  ACanvas->FrameRect(cxRectShrunk(R, 1), CheckButtonColor(AState));
}

void TcxUltraFlatLookAndFeelPainter::DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R,
                                                     TcxButtonState AState) const {
  ACanvas->FrameRect(R, clBtnText);
  ACanvas->FrameRect(cxRectShrunk(R, 1), CheckButtonColor(AState));
}

void Base::DrawCheckButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, bool AChecked) const {
  DrawCheckBorder(ACanvas, R, AState);
  const Integer W = CheckBorderSize();
  DrawCheck(ACanvas, cxRectShrunk(R, W), AState, AChecked, AState == cxbsDisabled ? clGrayText : clBtnText);
}
