// Control borders, push buttons, button groups, arrows, expand buttons and
// scroll-bar parts of the non-themed painters.
#include <algorithm>

#include "library/foundation/cxLookAndFeelPainters.h"
#include "library/foundation/cxPaintBounds.h"
#include "platform/gdi/Edges.h"
#include "platform/rtl/Numbers.h"

using Base = TcxCustomLookAndFeelPainter;
using Standard = TcxStandardLookAndFeelPainter;
using Flat = TcxFlatLookAndFeelPainter;
using UltraFlat = TcxUltraFlatLookAndFeelPainter;

namespace {

void SetSolidColors(TcxCanvas* ACanvas, TColor AColor) {
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(AColor);
  ACanvas->GetPen()->SetStyle(psSolid);
  ACanvas->GetPen()->SetWidth(1);
  ACanvas->GetPen()->SetColor(AColor);
}

void FillSolid(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(AColor);
  ACanvas->FillRect(R);
}

TRect Shrunk(const TRect& R, Integer D = 1) { return cxRectShrunk(R, D); }

// A solid triangle. The apex pixel is painted as well, so that an arrow
// too small to have an area still shows as one pixel.
void PaintTriangle(TcxCanvas* ACanvas, const TPoint (&P)[3], TColor AColor) {
  SetSolidColors(ACanvas, AColor);
  ACanvas->Polygon(P);
  ACanvas->FillRect({P[0].X, P[0].Y, P[0].X + 1, P[0].Y + 1});
}

// Odd sizes keep a triangle's apex on a pixel.
Int64 MakeOdd(Int64 A) { return A % 2 == 0 ? A + 1 : A; }

// A / 2 rounded as MulDiv rounds, halves away from zero.
Int64 HalfAwayFromZero(Int64 A) { return (A + (A < 0 ? -1 : 1)) / 2; }

}  // namespace

// ---------------------------------------------------------------------------
// Arrows.

void Base::CalculateArrowPoints(TRect R, TPoint (&P)[3], TcxArrowDirection AArrowDirection, bool AProportional) {
  // In 64 bits: a rectangle near an end of Integer has a size and a middle
  // though the sum of its edges does not fit.
  Int64 L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
  if (AProportional) {
    const Int64 d = (Rt - L) - (B - T);
    if (d < 1) {
      T -= d / 2;
      B += d / 2;
    } else {
      L += d / 2;
      Rt -= d / 2;
    }
  }
  Int64 w, h;
  if (AArrowDirection == adUp || AArrowDirection == adDown) {
    w = MakeOdd((Rt - L - 1) / 2);
    h = w / 2 + 1;
  } else {
    h = MakeOdd((B - T - 1) / 2);
    w = h / 2 + 1;
  }
  const Int64 y0 = HalfAwayFromZero(T + B - h);
  Int64 x[3], y[3];
  switch (AArrowDirection) {
    case adUp:
      x[0] = (L + Rt - 1) / 2, y[0] = y0;
      x[1] = (L + Rt - w) / 2, y[1] = y0 + h - 1;
      x[2] = x[1] + w - 1, y[2] = y[1];
      break;
    case adDown:
      x[0] = (L + Rt - w) / 2, y[0] = y0;
      x[1] = x[0] + w - 1, y[1] = y0;
      x[2] = (L + Rt - 1) / 2, y[2] = y0 + h - 1;
      break;
    case adLeft:
      x[0] = (L + Rt - w) / 2, y[0] = (T + B) / 2;
      x[1] = x[0] + w - 1, y[1] = y0;
      x[2] = x[1], y[2] = y0 + h - 1;
      break;
    case adRight:
      x[0] = (L + Rt - w) / 2, y[0] = y0;
      x[1] = x[0] + w - 1, y[1] = (T + B) / 2;
      x[2] = x[0], y[2] = y0 + h - 1;
      break;
  }
  for (int i = 0; i < 3; ++i) P[i] = cxPointHeld(x[i], y[i]);
}

void Base::DrawArrow(TcxCanvas* ACanvas, const TRect& R, TcxArrowDirection ADirection, TColor AColor) const {
  TPoint P[3];
  CalculateArrowPoints(R, P, ADirection, true);
  PaintTriangle(ACanvas, P, AColor);
}

void Base::DrawArrow(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, TcxArrowDirection ADirection,
                     bool ADrawBorder) const {
  TPoint P[3];
  CalculateArrowPoints(R, P, ADirection, false);
  if (ADrawBorder)
    DrawArrowBorder(ACanvas, R, AState);
  else
    FillSolid(ACanvas, R, ButtonColor(AState));
  PaintTriangle(ACanvas, P, ButtonSymbolColor(AState));
}

void Base::DrawArrowBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  FillSolid(ACanvas, R, ButtonColor(AState));
  DrawButtonBorder(ACanvas, R, AState);
}

void Base::DrawButtonArrow(TcxCanvas* ACanvas, const TRect& R, TColor AColor) const {
  const Int64 w = MakeOdd((Int64(R.Right) - R.Left) / 2), h = w / 2 + 1;
  const Int64 x0 = (Int64(R.Left) + R.Right - w) / 2, y0 = HalfAwayFromZero(Int64(R.Top) + R.Bottom - h);
  const TPoint P[3] = {cxPointHeld(x0 + w / 2, y0 + h - 1), cxPointHeld(x0, y0), cxPointHeld(x0 + w - 1, y0)};
  PaintTriangle(ACanvas, P, AColor);
}

void Base::DrawScrollBarArrow(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                              TcxArrowDirection ADirection) const {
  // The pressed glyph moves down and right: its points, held to the
  // surface's limits, move rather than the rectangle.
  TPoint P[3];
  CalculateArrowPoints(R, P, ADirection, true);
  if (AState == cxbsPressed)
    for (TPoint& p : P) p = cxPointOffset(p, ButtonTextShift(), ButtonTextShift());
  if (AState != cxbsDisabled) {
    PaintTriangle(ACanvas, P, ButtonSymbolColor(AState));
    return;
  }
  // Embossed: a light copy one pixel down and right under the dark glyph.
  TPoint shifted[3];
  for (int i = 0; i < 3; ++i) shifted[i] = cxPointOffset(P[i], 1, 1);
  PaintTriangle(ACanvas, shifted, clBtnHighlight);
  PaintTriangle(ACanvas, P, clBtnShadow);
}

// ---------------------------------------------------------------------------
// Control borders.

void Base::DrawBorder(TcxCanvas*, const TRect&) const {}

void Standard::DrawBorder(TcxCanvas* ACanvas, const TRect& R) const {
  ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
  ACanvas->DrawComplexFrame(Shrunk(R), cl3DDkShadow, cl3DLight);
}

void Flat::DrawBorder(TcxCanvas* ACanvas, const TRect& R) const { ACanvas->DrawEdge(R, true, true); }

void UltraFlat::DrawBorder(TcxCanvas* ACanvas, const TRect& R) const { ACanvas->FrameRect(R, clBtnShadow); }

// ---------------------------------------------------------------------------
// Button borders and push buttons.

void Base::DrawButtonBorder(TcxCanvas*, const TRect&, TcxButtonState) const {}

void Standard::DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  TRect r = R;
  if (AState == cxbsPressed) {
    ACanvas->FrameRect(r, clBlack);
    ACanvas->DrawComplexFrame(Shrunk(r), clBtnShadow, clBtnShadow);
    return;
  }
  if (AState == cxbsDefault) {
    ACanvas->FrameRect(r, clBlack);
    r = Shrunk(r);
  }
  ACanvas->DrawComplexFrame(r, clBtnHighlight, cl3DDkShadow);
  ACanvas->DrawComplexFrame(Shrunk(r), cl3DLight, clBtnShadow);
}

void Flat::DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  if (AState == cxbsPressed) {
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
    return;
  }
  TRect r = R;
  if (AState == cxbsDefault) {
    ACanvas->FrameRect(r, clBlack);
    r = Shrunk(r);
  }
  ACanvas->DrawComplexFrame(r, clBtnHighlight, clBtnShadow);
}

void UltraFlat::DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  switch (AState) {
    case cxbsDefault:
      ACanvas->FrameRect(R, clWindowFrame);
      ACanvas->FrameRect(Shrunk(R), clWindowFrame);
      break;
    case cxbsNormal: ACanvas->FrameRect(R, clBtnText); break;
    case cxbsDisabled: ACanvas->FrameRect(R, clBtnShadow); break;
    default: ACanvas->FrameRect(R, clHighlight); break;
  }
}

void Base::DrawButton(TcxCanvas* ACanvas, const TRect& R, const AnsiString& ACaption, TcxButtonState AState,
                      bool ADrawBorder, TColor AColor, TColor ATextColor) const {
  TRect r = cxRectHeld(R);
  if (ADrawBorder) {
    DrawButtonBorder(ACanvas, r, AState);
    r = Shrunk(r, ButtonBorderSize(AState));
  }
  FillSolid(ACanvas, r, AColor == clDefault ? ButtonColor(AState) : AColor);
  ACanvas->GetFont()->SetColor(ATextColor == clDefault ? ButtonSymbolColor(AState) : ATextColor);
  ACanvas->GetBrush()->SetStyle(bsClear);
  // An even text band centres the caption's glyphs the same way in every
  // button; low buttons take the band one pixel up, where the caption's
  // descent leaves room.
  if (cxRectHeight(r) % 2 != 0) --r.Bottom;
  if (cxRectHeight(r) < 18) r = cxRectOffset(r, 0, -1);
  if (AState == cxbsPressed) r = cxRectOffset(r, ButtonTextShift(), ButtonTextShift());
  if (!ACaption.empty())
    ACanvas->DrawTexT(ACaption, r, cxAlignHCenter | cxAlignVCenter | cxSingleLine | cxShowPrefix,
                      AState != cxbsDisabled);
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// Button groups.

void Base::DrawButtonInGroup(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, Integer, Integer,
                             TColor) const {
  DrawButton(ACanvas, R, "", AState);
}

void Base::DrawButtonGroupBorder(TcxCanvas*, const TRect&, bool, bool) const {}

void UltraFlat::DrawButtonInGroup(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, Integer AButtonCount,
                                  Integer AButtonIndex, TColor ABackgroundColor) const {
  const bool first = AButtonIndex == 0, last = AButtonIndex == AButtonCount - 1;
  TRect r = cxRectHeld(R);
  ++r.Top;
  --r.Bottom;
  if (first) ++r.Left;
  if (last) --r.Right;
  if (AState == cxbsNormal || AState == cxbsDisabled) {
    ACanvas->FrameRect(r, ABackgroundColor);
    r = Shrunk(r);
  } else {
    // Hot and pressed buttons are separated from their neighbours by a
    // highlighted line; the group's frame already closes the outer ends.
    ACanvas->GetBrush()->SetStyle(bsSolid);
    ACanvas->SetBrushColor(BorderHighlightColor());
    if (!first) {
      ACanvas->FillRect({r.Left, r.Top, r.Left + 1, r.Bottom});
      ++r.Left;
    }
    if (!last) {
      ACanvas->FillRect({r.Right - 1, r.Top, r.Right, r.Bottom});
      --r.Right;
    }
  }
  FillSolid(ACanvas, r, ButtonColor(AState));
}

void UltraFlat::DrawButtonGroupBorder(TcxCanvas* ACanvas, const TRect& R, bool AInGroup, bool AHasFocus) const {
  ACanvas->FrameRect(R, AInGroup ? clBtnText : AHasFocus ? BorderHighlightColor() : clBtnShadow);
}

// ---------------------------------------------------------------------------
// Expand buttons.

void Base::DrawExpandButtonCross(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) {
  const Int64 cx = GetRangeCenter(R.Left, R.Right), cy = GetRangeCenter(R.Top, R.Bottom);
  const Int64 k = (Int64(R.Right) - R.Left - 4) / 2;
  if (k < 0) return;
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(AColor);
  ACanvas->FillRect(cxRectHeld(cx - k, cy, cx + k + 1, cy + 1));
  if (!AExpanded) ACanvas->FillRect(cxRectHeld(cx, cy - k, cx + 1, cy + k + 1));
}

void Base::DrawExpandButton(TcxCanvas*, const TRect&, bool, TColor) const {}

void Standard::DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const {
  ACanvas->DrawEdge(R, false, false, {bLeft, bTop});
  ACanvas->DrawEdge(R, false, true, {bRight, bBottom});
  TRect r = Shrunk(R);
  ACanvas->DrawEdge(r, false, false, {bRight, bBottom});
  r = {r.Left, r.Top, ClampToInteger(Int64(r.Right) - 1), ClampToInteger(Int64(r.Bottom) - 1)};
  FillSolid(ACanvas, r, AColor == clDefault ? clBtnFace : AColor);
  DrawExpandButtonCross(ACanvas, r, AExpanded, clBtnText);
  ACanvas->ExcludeClipRect(R);
}

void Flat::DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const {
  DrawButton(ACanvas, R, "", cxbsNormal, true, AColor);
  DrawExpandButtonCross(ACanvas, Shrunk(R), AExpanded, clBtnText);
  ACanvas->ExcludeClipRect(R);
}

void UltraFlat::DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const {
  ACanvas->FrameRect(R, clBtnShadow);
  const TRect r = Shrunk(R);
  FillSolid(ACanvas, r, AColor == clDefault ? clBtnFace : AColor);
  DrawExpandButtonCross(ACanvas, r, AExpanded, clBtnText);
  ACanvas->ExcludeClipRect(R);
}

void Base::DrawSmallExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor ABorderColor,
                                 TColor AColor) const {
  ACanvas->FrameRect(R, ABorderColor);
  if (AColor != clDefault) FillSolid(ACanvas, Shrunk(R), AColor);
  DrawExpandButtonCross(ACanvas, R, AExpanded, clBtnText);
}

// Two chevrons, each two rows thick and 2n + 1 pixels wide, the second n - 1
// rows below the first; they point up when the group is expanded.
void Base::DrawGroupExpandButtonMark(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                     TcxButtonState AState) const {
  constexpr Integer n = 3;
  const Int64 x0 = (Int64(R.Left) + R.Right - (2 * n + 1)) / 2;
  const Int64 y0 = (Int64(R.Top) + R.Bottom - 2 * (n + 1)) / 2 - (AExpanded ? 0 : 1);
  ACanvas->GetPen()->SetStyle(psSolid);
  ACanvas->GetPen()->SetWidth(1);
  ACanvas->GetPen()->SetColor(ButtonSymbolColor(AState));
  for (Integer row = 0; row < 4; ++row) {
    const Int64 y = y0 + row + (row >= 2 ? n - 1 : 0);
    if (AExpanded) {
      // Apex on the row itself, arms going down.
      cxMoveToHeld(ACanvas, x0, y + n);
      cxLineToHeld(ACanvas, x0 + n, y);
      cxLineToHeld(ACanvas, x0 + 2 * n + 1, y + n + 1);
    } else {
      cxMoveToHeld(ACanvas, x0, y);
      cxLineToHeld(ACanvas, x0 + n, y + n);
      cxLineToHeld(ACanvas, x0 + 2 * n + 1, y - 1);
    }
  }
}

void Base::DrawGroupExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TcxButtonState AState) const {
  DrawButton(ACanvas, R, "", AState);
  DrawGroupExpandButtonMark(ACanvas, R, AExpanded, AState);
}

void Standard::DrawGroupExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                     TcxButtonState AState) const {
  TcxCustomLookAndFeelPainterClass(Flat::StaticClass())->DrawGroupExpandButton(ACanvas, R, AExpanded, AState);
}

// ---------------------------------------------------------------------------
// Scroll-bar parts.

TcxArrowDirection Base::GetArrowDirection(bool AHorizontal, TcxScrollBarPart APart) {
  if (AHorizontal) return APart == sbpLineUp ? adLeft : adRight;
  return APart == sbpLineUp ? adUp : adDown;
}

void Base::DrawScrollBarPageArea(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) {
  ACanvas->FillRect(R, cxScrollBarBitmap(AState == cxbsPressed ? 1 : 0));
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

void Base::DrawScrollBarPart(TcxCanvas*, bool, const TRect&, TcxScrollBarPart, TcxButtonState) const {}

namespace {

bool SkipsScrollBarPart(const TRect& R, TcxScrollBarPart APart, TcxButtonState AState) {
  return cxRectIsEmpty(R) || APart == sbpNone || (APart == sbpThumbnail && AState == cxbsDisabled);
}

}  // namespace

void Standard::DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R, TcxScrollBarPart APart,
                                 TcxButtonState AState) const {
  if (SkipsScrollBarPart(R, APart, AState)) return;
  if (AState == cxbsHot) AState = cxbsNormal;
  auto raisedFrame = [&](const TRect& r) {
    ACanvas->DrawComplexFrame(r, clBtnFace, cl3DDkShadow);
    ACanvas->DrawComplexFrame(Shrunk(r), clBtnHighlight, clBtnShadow);
  };
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown: {
      static constexpr win::UINT kKinds[] = {win::DFCS_SCROLLUP, win::DFCS_SCROLLDOWN, win::DFCS_SCROLLLEFT,
                                             win::DFCS_SCROLLRIGHT};
      win::UINT flags = kKinds[GetArrowDirection(AHorizontal, APart)];
      if (AState == cxbsDisabled) flags |= win::DFCS_INACTIVE;
      if (AState == cxbsPressed) flags |= win::DFCS_FLAT;
      if (AState == cxbsPressed) {
        // The pressed glyph moves down and right; what moves past the
        // button's rectangle is cut off rather than painted outside it.
        TcxRegion* clip = ACanvas->GetClipRegion();
        ACanvas->IntersectClipRect(R);
        TRect r = cxRectHeld(Int64(R.Left) + 1, Int64(R.Top) + 1, Int64(R.Right) + 1, Int64(R.Bottom) + 1);
        win::DrawFrameControl(ACanvas->GetHandle(), &r, win::DFC_SCROLL, flags);
        ACanvas->SetClipRegion(clip, roSet);
      } else {
        TRect r = R;
        win::DrawFrameControl(ACanvas->GetHandle(), &r, win::DFC_SCROLL, flags);
      }
      if (AState == cxbsPressed) {
        ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnShadow);
        ACanvas->DrawComplexFrame(Shrunk(R), clBtnFace, clBtnFace);
      } else {
        raisedFrame(R);
      }
      break;
    }
    case sbpThumbnail:
      raisedFrame(R);
      FillSolid(ACanvas, Shrunk(R, ButtonBorderSize(cxbsNormal)), clBtnFace);
      break;
    default: DrawScrollBarPageArea(ACanvas, R, AState); break;
  }
}

void Flat::DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R, TcxScrollBarPart APart,
                             TcxButtonState AState) const {
  if (SkipsScrollBarPart(R, APart, AState)) return;
  if (AState == cxbsHot) AState = cxbsNormal;
  if (APart == sbpPageUp || APart == sbpPageDown) {
    DrawScrollBarPageArea(ACanvas, R, AState);
    return;
  }
  DrawButton(ACanvas, R, "", AState);
  if (APart != sbpThumbnail)
    DrawScrollBarArrow(ACanvas, Shrunk(R, ButtonBorderSize(cxbsNormal)), AState,
                       GetArrowDirection(AHorizontal, APart));
}

void UltraFlat::DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R, TcxScrollBarPart APart,
                                  TcxButtonState AState) const {
  if (SkipsScrollBarPart(R, APart, AState)) return;
  if (APart == sbpPageUp || APart == sbpPageDown) {
    DrawScrollBarPageArea(ACanvas, R, AState);
    return;
  }
  DrawButton(ACanvas, R, "", AState);
  if (APart != sbpThumbnail) DrawScrollBarArrow(ACanvas, R, AState, GetArrowDirection(AHorizontal, APart));
}
