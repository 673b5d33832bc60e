// Headers, header-control sections, footers, the indicator, filter buttons,
// tabs and calendar parts: composites built from the primitive operations,
// called virtually so that a painter that changes a primitive keeps them.
#include "library/foundation/cxLookAndFeelPainters.h"
#include "library/foundation/cxPaintBounds.h"

using Base = TcxCustomLookAndFeelPainter;
using Standard = TcxStandardLookAndFeelPainter;
using Flat = TcxFlatLookAndFeelPainter;
using UltraFlat = TcxUltraFlatLookAndFeelPainter;

namespace {

void FillSolid(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(AColor);
  ACanvas->FillRect(R);
}

void SetPixel(TcxCanvas* ACanvas, Integer X, Integer Y, TColor AColor) { ACanvas->SetPixel(X, Y, ColorToRGB(AColor)); }

void SetPenColor(TcxCanvas* ACanvas, TColor AColor) {
  ACanvas->GetPen()->SetStyle(psSolid);
  ACanvas->GetPen()->SetWidth(1);
  ACanvas->GetPen()->SetColor(AColor);
}

Integer TextFlags(TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis) {
  static constexpr Integer kHorz[] = {cxAlignLeft, cxAlignRight, cxAlignHCenter};
  static constexpr Integer kVert[] = {cxAlignTop, cxAlignBottom, cxAlignVCenter};
  Integer flags = kHorz[AAlignmentHorz] | kVert[AAlignmentVert];
  flags |= AMultiLine ? cxWordBreak : cxSingleLine;
  if (AShowEndEllipsis) flags |= cxShowEndEllipsis;
  return flags;
}

// The standard and flat header border: a raised one-pixel edge, with the
// pixels next to a neighbour recoloured so that adjacent headers join
// without notches.
void DrawRaisedHeaderBorder(TcxCanvas* ACanvas, const TRect& AGiven, TcxNeighbors ANeighbors, TcxBorders ABorders) {
  const TRect R = cxRectHeld(AGiven);
  ACanvas->DrawEdge(R, false, false, ABorders);
  if (ANeighbors.Contains(nLeft)) {
    SetPixel(ACanvas, R.Left, R.Top + 1, clBtnFace);
    SetPixel(ACanvas, R.Left, R.Bottom - 2, clBtnFace);
  }
  if (ANeighbors.Contains(nRight)) {
    SetPixel(ACanvas, R.Right - 1, R.Top, clBtnHighlight);
    SetPixel(ACanvas, R.Right - 1, R.Top + 1, clBtnFace);
    SetPixel(ACanvas, R.Right - 1, R.Bottom - 2, clBtnFace);
  }
}

// One side of a tab. The dark side is the one facing away from the page
// (bottom for horizontal tabs, right for vertical ones). A side stops two
// pixels short of a neighbouring drawn side and a light pixel on the
// diagonal rounds the corner between them.
void DrawTabSide(TcxCanvas* ACanvas, const TRect& AGiven, TcxBorder ABorder, TcxBorders ABorders, bool AVertical,
                 TColor ALightColor, TColor ADarkColor) {
  const TRect R = cxRectHeld(AGiven);
  const bool dark = ABorder == (AVertical ? bRight : bBottom);
  const Integer inLeft = ABorders.Contains(bLeft) ? 2 : 0, inTop = ABorders.Contains(bTop) ? 2 : 0;
  const Integer inRight = ABorders.Contains(bRight) ? 2 : 0, inBottom = ABorders.Contains(bBottom) ? 2 : 0;
  TRect line;
  switch (ABorder) {
    case bLeft: line = {R.Left, R.Top + inTop, R.Left + 1, R.Bottom - inBottom}; break;
    case bTop: line = {R.Left + inLeft, R.Top, R.Right - inRight, R.Top + 1}; break;
    case bRight: line = {R.Right - 1, R.Top + inTop, R.Right, R.Bottom - inBottom}; break;
    default: line = {R.Left + inLeft, R.Bottom - 1, R.Right - inRight, R.Bottom}; break;
  }
  FillSolid(ACanvas, line, dark ? ADarkColor : ALightColor);
  if (dark) return;
  // The corners this light side shares with drawn sides.
  auto corner = [&](TcxBorder AOther, Integer X, Integer Y) {
    if (ABorders.Contains(AOther)) FillSolid(ACanvas, {X, Y, X + 1, Y + 1}, ALightColor);
  };
  switch (ABorder) {
    case bLeft:
      corner(bTop, R.Left + 1, R.Top + 1);
      corner(bBottom, R.Left + 1, R.Bottom - 2);
      break;
    case bTop:
      corner(bLeft, R.Left + 1, R.Top + 1);
      corner(bRight, R.Right - 2, R.Top + 1);
      break;
    case bRight:
      corner(bTop, R.Right - 2, R.Top + 1);
      corner(bBottom, R.Right - 2, R.Bottom - 2);
      break;
    default:
      corner(bLeft, R.Left + 1, R.Bottom - 2);
      corner(bRight, R.Right - 2, R.Bottom - 2);
      break;
  }
}

// The scheduler's splitter: line pairs along both long sides, then the
// fill. Pairs are drawn outside in; each pair is light above (left of) the
// splitter and dark below (right of) it.
void DrawSplitter(TcxCanvas* ACanvas, const TRect& R, bool AIsHorizontal, std::initializer_list<TColor> APairs,
                  TColor AFillColor) {
  const TcxBorders sides = AIsHorizontal ? TcxBorders{bTop, bBottom} : TcxBorders{bLeft, bRight};
  TRect r = R;
  for (auto it = APairs.begin(); it != APairs.end(); it += 2) {
    ACanvas->DrawComplexFrame(r, it[0], it[1], sides);
    r = AIsHorizontal ? cxRectInflate(r, 0, -1) : cxRectInflate(r, -1, 0);
  }
  FillSolid(ACanvas, r, AFillColor);
}

}  // namespace

// ---------------------------------------------------------------------------
// Headers.

void Base::DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                      TcxBorders ABorders, TcxButtonState AState, TAlignment AAlignmentHorz,
                      TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis, const AnsiString& AText,
                      TFont* AFont, TColor ATextColor, TColor ABkColor,
                      const TcxDrawBackgroundEvent& AOnDrawBackground, bool) const {
  DrawHeaderBorder(ACanvas, ABounds, ANeighbors, ABorders);
  DrawContent(ACanvas, HeaderContentBounds(ABounds, ABorders), ATextAreaBounds, AState, AAlignmentHorz,
              AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, AOnDrawBackground);
}

void Base::DrawHeaderEx(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                        TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                        TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                        bool AShowEndEllipsis, const AnsiString& AText, TFont* AFont, TColor ATextColor,
                        TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsLast) const {
  DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz, AAlignmentVert,
             AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, AOnDrawBackground, AIsLast);
}

void UltraFlat::DrawHeaderEx(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                             TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                             TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                             bool AShowEndEllipsis, const AnsiString& AText, TFont* AFont, TColor ATextColor,
                             TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground, bool) const {
  DrawContent(ACanvas, cxRectShrunk(ABounds, 1), ATextAreaBounds, AState, AAlignmentHorz, AAlignmentVert,
              AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, AOnDrawBackground);
  DrawHeaderBorder(ACanvas, ABounds, ANeighbors, ABorders);
}

void Base::DrawHeaderBorder(TcxCanvas*, const TRect&, TcxNeighbors, TcxBorders) const {}

void Standard::DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                                TcxBorders ABorders) const {
  DrawRaisedHeaderBorder(ACanvas, R, ANeighbors, ABorders);
}

void Flat::DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors, TcxBorders ABorders) const {
  DrawRaisedHeaderBorder(ACanvas, R, ANeighbors, ABorders);
}

void UltraFlat::DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& AGiven, TcxNeighbors, TcxBorders ABorders) const {
  const TRect R = cxRectHeld(AGiven);
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(clBtnText);
  if (ABorders.Contains(bLeft)) ACanvas->FillRect({R.Left, R.Top, R.Left + 1, R.Bottom});
  if (ABorders.Contains(bTop)) ACanvas->FillRect({R.Left, R.Top, R.Right, R.Top + 1});
  ACanvas->FillRect({R.Right - 1, R.Top, R.Right, R.Bottom});
  ACanvas->FillRect({R.Left, R.Bottom - 1, R.Right, R.Bottom});
}

void Base::DrawHeaderPressed(TcxCanvas* ACanvas, const TRect& ABounds) const {
  ACanvas->InvertRect(cxRectHeld(ABounds));
}

// ---------------------------------------------------------------------------
// Sorting marks.

void Base::DrawSortingArrow(TcxCanvas* ACanvas, const TRect& R, TColor AColor1, TColor AColor2,
                            bool AAscendingSorting) const {
  const TSize size = SortingMarkSize();
  const Integer w = size.cx, h = size.cy, d = AAscendingSorting ? 1 : -1;
  // The middle in 64 bits: near an end of Integer the edges' sum does not fit.
  const Int64 x = (Int64(R.Left) + R.Right) / 2 - (w % 2 == 0 ? 1 : 0);
  const Int64 y = AAscendingSorting ? (Int64(R.Top) + R.Bottom - h) / 2 : (Int64(R.Top) + R.Bottom + h) / 2 - 1;
  const Integer a = w / 2, a1 = w % 2 == 0 ? a - 1 : a;
  SetPenColor(ACanvas, AColor1);
  cxMoveToHeld(ACanvas, x + a, y + (h - 2) * d);
  cxLineToHeld(ACanvas, x + a - a1, y);
  cxLineToHeld(ACanvas, x + a, y + (h - 1) * d);
  SetPenColor(ACanvas, AAscendingSorting ? AColor1 : AColor2);
  cxLineToHeld(ACanvas, x - a1, y + (h - 1) * d);
  SetPenColor(ACanvas, AColor2);
  cxLineToHeld(ACanvas, x, y);
  cxLineToHeld(ACanvas, x - a1, y + (h - w % 2) * d);
}

void Base::DrawSortingMark(TcxCanvas*, const TRect&, bool) const {}

void Standard::DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const {
  DrawSortingArrow(ACanvas, R, clBtnHighlight, clBtnShadow, AAscendingSorting);
}

void Flat::DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const {
  DrawSortingArrow(ACanvas, R, clBtnHighlight, clBtnShadow, AAscendingSorting);
}

void UltraFlat::DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const {
  DrawSortingArrow(ACanvas, R, clBtnShadow, clBtnShadow, AAscendingSorting);
}

// ---------------------------------------------------------------------------
// Header-control sections.

void Base::DrawHeaderControlSection(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                                    TcxNeighbors, TcxBorders ABorders, TcxButtonState AState,
                                    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                    const AnsiString& AText, TFont* AFont, TColor ATextColor, TColor ABkColor) const {
  DrawHeaderControlSectionBorder(ACanvas, ABounds, ABorders, AState);
  DrawHeaderControlSectionContent(ACanvas, HeaderControlSectionContentBounds(ABounds, AState), ATextAreaBounds,
                                  AState, AAlignmentHorz, AAlignmentVert, AText, AFont, ATextColor, ABkColor);
}

void Base::DrawHeaderControlSectionBorder(TcxCanvas*, const TRect&, TcxBorders, TcxButtonState) const {}

void Standard::DrawHeaderControlSectionBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                                              TcxButtonState AState) const {
  TRect r = R;
  if (AState != cxbsPressed) {
    ACanvas->DrawComplexFrame(r, clBtnHighlight, cl3DDkShadow, ABorders);
    r = cxRectShrunk(r, 1);
  }
  ACanvas->DrawComplexFrame(r, AState == cxbsPressed ? clBtnShadow : cl3DLight, clBtnShadow, ABorders);
}

void Flat::DrawHeaderControlSectionBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                                          TcxButtonState AState) const {
  if (AState == cxbsPressed)
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight, ABorders);
  else
    ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow, ABorders);
}

void UltraFlat::DrawHeaderControlSectionBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                                               TcxButtonState AState) const {
  const TColor color = AState == cxbsDisabled ? clBtnShadow : clBlack;
  ACanvas->DrawComplexFrame(R, color, color, ABorders);
}

void Base::DrawHeaderControlSectionContent(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                                           TcxButtonState AState, TAlignment AAlignmentHorz,
                                           TcxAlignmentVert AAlignmentVert, const AnsiString& AText, TFont* AFont,
                                           TColor ATextColor, TColor ABkColor) const {
  FillSolid(ACanvas, ABounds, ABkColor);
  DrawHeaderControlSectionText(ACanvas, HeaderControlSectionTextAreaBounds(ATextAreaBounds, AState), AState,
                               AAlignmentHorz, AAlignmentVert, false, true, AText, AFont, ATextColor);
}

void UltraFlat::DrawHeaderControlSectionContent(TcxCanvas* ACanvas, const TRect& ABounds,
                                                const TRect& ATextAreaBounds, TcxButtonState AState,
                                                TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                                const AnsiString& AText, TFont* AFont, TColor ATextColor,
                                                TColor ABkColor) const {
  FillSolid(ACanvas, ABounds, AState == cxbsDefault || AState == cxbsNormal ? ABkColor : ButtonColor(AState));
  DrawHeaderControlSectionText(ACanvas, HeaderControlSectionTextAreaBounds(ATextAreaBounds, AState), AState,
                               AAlignmentHorz, AAlignmentVert, false, true, AText, AFont, ATextColor);
}

void Base::DrawHeaderControlSectionText(TcxCanvas* ACanvas, const TRect& ATextAreaBounds, TcxButtonState AState,
                                        TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                        bool AShowEndEllipsis, const AnsiString& AText, TFont* AFont,
                                        TColor AColor) const {
  const Integer flags = TextFlags(AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis);
  ACanvas->GetBrush()->SetStyle(bsClear);
  if (AFont) ACanvas->GetFont()->Assign(AFont);
  if (AState == cxbsDisabled) {
    ACanvas->GetFont()->SetColor(clBtnHighlight);
    ACanvas->DrawTexT(AText, cxRectOffset(ATextAreaBounds, 1, 1), flags);
    ACanvas->GetFont()->SetColor(clBtnShadow);
  } else {
    ACanvas->GetFont()->SetColor(AColor);
  }
  ACanvas->DrawTexT(AText, ATextAreaBounds, flags);
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// Footers.

void Base::DrawFooterCell(TcxCanvas* ACanvas, const TRect& ABounds, TAlignment AAlignmentHorz,
                          TcxAlignmentVert AAlignmentVert, bool AMultiLine, const AnsiString& AText, TFont* AFont,
                          TColor ATextColor, TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  DrawFooterCellBorder(ACanvas, ABounds);
  DrawContent(ACanvas, FooterCellContentBounds(ABounds), FooterCellTextAreaBounds(ABounds), cxbsNormal,
              AAlignmentHorz, AAlignmentVert, AMultiLine, false, AText, AFont, ATextColor, ABkColor, AOnDrawBackground,
              true);
}

void Base::DrawFooterBorder(TcxCanvas*, const TRect&) const {}
void Base::DrawFooterCellBorder(TcxCanvas*, const TRect&) const {}
void Base::DrawFooterSeparator(TcxCanvas* ACanvas, const TRect& R) const { FillSolid(ACanvas, R, FooterSeparatorColor()); }

void Standard::DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const { ACanvas->DrawEdge(R, false, false); }
void Standard::DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const { ACanvas->DrawEdge(R, true, true); }
void Flat::DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const { ACanvas->DrawEdge(R, false, false); }
void Flat::DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const { ACanvas->DrawEdge(R, true, true); }

void UltraFlat::DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const {
  ACanvas->FrameRect(R, FooterSeparatorColor(), 1, {bRight, bBottom});
}

void UltraFlat::DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const {
  ACanvas->FrameRect(R, FooterSeparatorColor(), 1, FooterBorders());
}

// ---------------------------------------------------------------------------
// Indicator.

void Base::DrawIndicatorImage(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind) {
  if (AKind == ikNone) return;
  TCustomImageList* images = cxIndicatorImages();
  const TPoint at = cxPointHeld(R.Left + (Int64(R.Right) - R.Left - images->GetWidth()) / 2,
                                R.Top + (Int64(R.Bottom) - R.Top - images->GetHeight()) / 2);
  ACanvas->DrawImage(images, at.X, at.Y, AKind - 1);
}

void Base::DrawIndicatorItem(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor AColor,
                             const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsLast) const {
  DrawHeader(ACanvas, R, R, {}, HeaderBorders({}), cxbsNormal, taLeftJustify, vaTop, false, false, "", nullptr, clNone,
             AColor, AOnDrawBackground, AIsLast);
  DrawIndicatorImage(ACanvas, R, AKind);
}

void Base::DrawIndicatorItemEx(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor AColor,
                               const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsLast) const {
  DrawHeaderEx(ACanvas, R, R, {}, HeaderBorders({}), cxbsNormal, taLeftJustify, vaTop, false, false, "", nullptr,
               clNone, AColor, AOnDrawBackground, AIsLast);
  DrawIndicatorImage(ACanvas, R, AKind);
}

// ---------------------------------------------------------------------------
// Filter buttons.

void Base::DrawFilterActivateButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, bool AChecked) const {
  DrawCheckButton(ACanvas, R, AState, AChecked);
}

void Base::DrawButtonCross(TcxCanvas* ACanvas, const TRect& R, TColor AColor, TcxButtonState AState) const {
  Integer n = FilterCloseButtonSize().cx / 2;
  if (n % 2 == 0) --n;
  const Integer shift = AState == cxbsPressed ? 1 : 0;
  const TPoint at = cxPointHeld((Int64(R.Left) + R.Right - n) / 2 + shift, (Int64(R.Top) + R.Bottom - n) / 2 + shift);
  const Integer x = at.X, y = at.Y;
  SetPenColor(ACanvas, AColor);
  for (Integer dx = 0; dx < 2; ++dx) {
    ACanvas->MoveTo(x + dx, y);
    ACanvas->LineTo(x + dx + n, y + n);
    ACanvas->MoveTo(x + dx, y + n - 1);
    ACanvas->LineTo(x + dx + n, y - 1);
  }
}

void Base::DrawFilterCloseButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  DrawButtonBorder(ACanvas, R, AState);
  const Integer W = ButtonBorderSize(AState);
  const TRect r = cxRectShrunk(R, W);
  FillSolid(ACanvas, r, ButtonColor(AState));
  DrawButtonCross(ACanvas, r, ButtonSymbolColor(AState), ButtonSymbolState(AState));
}

void Base::DrawFilterDropDownButton(TcxCanvas*, const TRect&, TcxButtonState, bool) const {}

namespace {

// The raised two-pixel ring of the standard and flat drop-down buttons.
void DrawRaisedDropDownButton(const TcxCustomLookAndFeelPainter* APainter, TcxCanvas* ACanvas, const TRect& R,
                              bool AIsFilterActive) {
  ACanvas->DrawEdge(R, false, true);
  TRect r = cxRectShrunk(R, 1);
  ACanvas->DrawEdge(r, false, false);
  r = cxRectShrunk(r, 1);
  FillSolid(ACanvas, r, clBtnFace);
  APainter->DrawButtonArrow(ACanvas, r, AIsFilterActive ? clBlue : clBtnText);
}

}  // namespace

void Standard::DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState,
                                        bool AIsFilterActive) const {
  DrawRaisedDropDownButton(this, ACanvas, R, AIsFilterActive);
}

void Flat::DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState, bool AIsFilterActive) const {
  DrawRaisedDropDownButton(this, ACanvas, R, AIsFilterActive);
}

void UltraFlat::DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                         bool AIsFilterActive) const {
  ACanvas->FrameRect(R, FilterDropDownButtonBorderColor(AState));
  const TRect r = cxRectShrunk(R, 1);
  FillSolid(ACanvas, r, ButtonColor(AState));
  DrawButtonArrow(ACanvas, r, AIsFilterActive ? clBlue : ButtonSymbolColor(AState));
}

// ---------------------------------------------------------------------------
// Tabs.

void Base::DrawTab(TcxCanvas*, const TRect&, TcxBorders, const AnsiString&, TcxButtonState, bool, TFont*, TColor,
                   TColor, bool) const {}
void Base::DrawTabBorder(TcxCanvas*, const TRect&, TcxBorder, TcxBorders, bool) const {}
void Base::DrawTabsRoot(TcxCanvas*, const TRect&, TcxBorders, bool) const {}

void Standard::DrawTabBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorder ABorder, TcxBorders ABorders,
                             bool AVertical) const {
  DrawTabSide(ACanvas, R, ABorder, ABorders, AVertical, clBtnHighlight, clBtnShadow);
}

void Flat::DrawTabBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorder ABorder, TcxBorders ABorders,
                         bool AVertical) const {
  DrawTabSide(ACanvas, R, ABorder, ABorders, AVertical, clBtnHighlight, clBtnShadow);
}

void UltraFlat::DrawTabBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorder ABorder, TcxBorders ABorders,
                              bool AVertical) const {
  DrawTabSide(ACanvas, R, ABorder, ABorders, AVertical, TabBorderHighlightColor(), TabBorderDarkColor());
}

void Standard::DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, bool) const {
  ACanvas->DrawEdge(R, false, false, ABorders);
}

void Flat::DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, bool) const {
  ACanvas->DrawEdge(R, false, false, ABorders);
}

void UltraFlat::DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, bool) const {
  ACanvas->DrawComplexFrame(R, TabBorderHighlightColor(), TabBorderDarkColor(), ABorders);
}

// ---------------------------------------------------------------------------
// Calendar and scheduler parts.

void Base::DrawMonthHeaderArrows(TcxCanvas* ACanvas, const TRect& ABounds, TcxHeaderArrows AArrows,
                                 Integer ASideWidth, TColor AColor) {
  if (AArrows == haNone || ASideWidth <= 0) return;
  auto draw = [&](const TRect& ASide, TcxArrowDirection ADirection) {
    // A triangle about half as high as the header, centred in its side.
    TPoint P[3];
    CalculateArrowPoints(ASide, P, ADirection, true);
    ACanvas->GetBrush()->SetStyle(bsSolid);
    ACanvas->SetBrushColor(AColor);
    SetPenColor(ACanvas, AColor);
    ACanvas->Polygon(P);
  };
  if (AArrows == haLeft || AArrows == haBoth)
    draw({ABounds.Left, ABounds.Top, ABounds.Left + ASideWidth, ABounds.Bottom}, adLeft);
  if (AArrows == haRight || AArrows == haBoth)
    draw({ABounds.Right - ASideWidth, ABounds.Top, ABounds.Right, ABounds.Bottom}, adRight);
}

void Base::DrawMonthHeader(TcxCanvas* ACanvas, const TRect& ABounds, const AnsiString& AText, TcxNeighbors ANeighbors,
                           const TcxViewParams& AViewParams, TcxHeaderArrows AArrows, Integer ASideWidth,
                           const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  const TcxBorders borders = HeaderBorders(ANeighbors);
  DrawHeader(ACanvas, ABounds, HeaderContentBounds(ABounds, borders), ANeighbors, borders, cxbsNormal, taCenter,
             vaCenter, false, false, AText, AViewParams.Font, AViewParams.TextColor, AViewParams.Color,
             AOnDrawBackground);
  DrawMonthHeaderArrows(ACanvas, ABounds, AArrows, ASideWidth, clWindowText);
}

void Standard::DrawMonthHeader(TcxCanvas* ACanvas, const TRect& ABounds, const AnsiString& AText,
                               TcxNeighbors ANeighbors, const TcxViewParams& AViewParams, TcxHeaderArrows AArrows,
                               Integer ASideWidth, const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  TcxBorders frame = cxBordersAll;
  if (ANeighbors.Contains(nLeft)) frame.Exclude(bLeft);
  if (ANeighbors.Contains(nRight)) frame.Exclude(bRight);
  ACanvas->FrameRect(ABounds, clBlack, 1, frame);
  const TRect r = HeaderContentBounds(ABounds, frame);
  DrawHeader(ACanvas, r, HeaderContentBounds(r, cxBordersAll), ANeighbors, cxBordersAll, cxbsNormal, taCenter,
             vaCenter, false, false, AText, AViewParams.Font, AViewParams.TextColor, AViewParams.Color,
             AOnDrawBackground);
  DrawMonthHeaderArrows(ACanvas, r, AArrows, ASideWidth, clWindowText);
}

void Base::DrawSchedulerBorder(TcxCanvas* ACanvas, const TRect& R) const { DrawBorder(ACanvas, R); }

void Base::DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  DrawButton(ACanvas, R, "", AState);
}

void Base::DrawSchedulerSplitterBorder(TcxCanvas*, const TRect&, const TcxViewParams&, bool) const {}

void Standard::DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, const TRect& R, const TcxViewParams& AViewParams,
                                           bool AIsHorizontal) const {
  DrawSplitter(ACanvas, R, AIsHorizontal, {clBtnFace, cl3DDkShadow, clBtnHighlight, clBtnShadow}, AViewParams.Color);
}

void Flat::DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, const TRect& R, const TcxViewParams& AViewParams,
                                       bool AIsHorizontal) const {
  DrawSplitter(ACanvas, R, AIsHorizontal, {clBtnHighlight, clBtnShadow, clBtnHighlight, clBtnShadow},
               AViewParams.Color);
}

void UltraFlat::DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, const TRect& R, const TcxViewParams& AViewParams,
                                            bool AIsHorizontal) const {
  const TColor c = DefaultSchedulerBorderColor();
  DrawSplitter(ACanvas, R, AIsHorizontal, {c, c, c, c}, AViewParams.Color);
}
