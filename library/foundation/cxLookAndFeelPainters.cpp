// The painters' operation set: default colours, sizes, flags, derived
// geometry and cell content. Drawing of the element families lives in the
// files named after them.
#include "library/foundation/cxLookAndFeelPainters.h"

#include "library/foundation/cxPaintBounds.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/TypeInfo.h"

ORV_REGISTER(TcxCustomLookAndFeelPainter)
ORV_REGISTER(TcxStandardLookAndFeelPainter)
ORV_REGISTER(TcxFlatLookAndFeelPainter)
ORV_REGISTER(TcxUltraFlatLookAndFeelPainter)

using Base = TcxCustomLookAndFeelPainter;
using Standard = TcxStandardLookAndFeelPainter;
using Flat = TcxFlatLookAndFeelPainter;
using UltraFlat = TcxUltraFlatLookAndFeelPainter;

// ---------------------------------------------------------------------------
// Cell content.

void Base::DrawContent(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds, TcxButtonState,
                       TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                       bool AShowEndEllipsis, const AnsiString& AText, TFont* AFont, TColor ATextColor,
                       TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground, bool) const {
  if (!AOnDrawBackground.Assigned() || !AOnDrawBackground(ACanvas, ABounds)) {
    ACanvas->GetBrush()->SetStyle(bsSolid);
    ACanvas->SetBrushColor(ABkColor);
    ACanvas->FillRect(ABounds);
  }
  if (AText.empty()) return;
  static constexpr Integer kHorz[] = {cxAlignLeft, cxAlignRight, cxAlignHCenter};
  static constexpr Integer kVert[] = {cxAlignTop, cxAlignBottom, cxAlignVCenter};
  Integer flags = kHorz[AAlignmentHorz] | kVert[AAlignmentVert];
  flags |= AMultiLine ? cxWordBreak : cxSingleLine;
  if (AShowEndEllipsis) flags |= cxShowEndEllipsis;
  ACanvas->GetBrush()->SetStyle(bsClear);
  if (AFont) ACanvas->GetFont()->Assign(AFont);
  ACanvas->GetFont()->SetColor(ATextColor);
  ACanvas->DrawTexT(AText, ATextAreaBounds, flags);
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

TRect Base::FooterCellContentBounds(const TRect& ABounds) const {
  const Integer W = FooterCellBorderSize();
  return cxRectShrunk(ABounds, W);
}

TRect Base::FooterCellTextAreaBounds(const TRect& ABounds) const {
  return cxRectInflate(FooterCellContentBounds(ABounds), -2, -2);
}

TcxLookAndFeelStyle Base::LookAndFeelStyle() const { return lfsStandard; }
TcxLookAndFeelStyle Standard::LookAndFeelStyle() const { return lfsStandard; }
TcxLookAndFeelStyle Flat::LookAndFeelStyle() const { return lfsFlat; }
TcxLookAndFeelStyle UltraFlat::LookAndFeelStyle() const { return lfsUltraFlat; }

// ---------------------------------------------------------------------------
// Default colours.

TColor Base::DefaultContentColor() const { return clWindow; }
TColor Base::DefaultContentTextColor() const { return clWindowText; }
TColor Base::DefaultFilterBoxColor() const { return clBtnShadow; }
TColor Base::DefaultFilterBoxTextColor() const { return clBtnHighlight; }
TColor Base::DefaultFixedSeparatorColor() const { return clBtnText; }
TColor Base::DefaultFooterColor() const { return clBtnFace; }
TColor Base::DefaultFooterTextColor() const { return clBtnText; }
TColor Base::DefaultGridLineColor() const { return clBtnShadow; }
TColor Base::DefaultGroupColor() const { return clBtnFace; }
TColor Base::DefaultGroupTextColor() const { return clBtnText; }
TColor Base::DefaultGroupByBoxColor() const { return clBtnShadow; }
TColor Base::DefaultGroupByBoxTextColor() const { return clBtnFace; }
TColor Base::DefaultHeaderColor() const { return clBtnFace; }
TColor Base::DefaultHeaderTextColor() const { return clBtnText; }
TColor Base::DefaultHeaderBackgroundColor() const { return clBtnShadow; }
TColor Base::DefaultHeaderBackgroundTextColor() const { return clBtnFace; }
TColor Base::DefaultHyperlinkTextColor() const { return clBlue; }
TColor Base::DefaultInactiveColor() const { return clBtnFace; }
TColor Base::DefaultInactiveTextColor() const { return clBtnText; }
TColor Base::DefaultPreviewTextColor() const { return clBlue; }
TColor Base::DefaultRecordSeparatorColor() const { return DefaultGridLineColor(); }
TColor Base::DefaultDateNavigatorHeaderColor() const { return clBtnFace; }
TColor Base::DefaultDateNavigatorSelectionColor() const { return clHighlight; }
TColor Base::DefaultDateNavigatorSelectionTextColor() const { return clHighlightText; }
TColor Base::DefaultSchedulerBackgroundColor() const { return clWindow; }
TColor Base::DefaultSchedulerTextColor() const { return clWindowText; }
TColor Base::DefaultSchedulerBorderColor() const { return clRed; }
TColor Base::DefaultSchedulerControlColor() const { return clBtnFace; }
TColor Base::DefaultSchedulerViewContentColor() const { return 0xD5FFFF; }
TColor Base::DefaultSchedulerViewTextColor() const { return clWindowText; }
TColor Base::DefaultSelectionColor() const { return clHighlight; }
TColor Base::DefaultSelectionTextColor() const { return clHighlightText; }
TColor Base::DefaultSeparatorColor() const { return clBtnFace; }
TColor Base::DefaultTabColor() const { return clBtnFace; }
TColor Base::DefaultTabTextColor() const { return clBtnText; }
TColor Base::DefaultTabsBackgroundColor() const { return clBtnFace; }
TColor Base::DefaultTimeGridMajorScaleColor() const { return clWhite; }
TColor Base::DefaultTimeGridMajorScaleTextColor() const { return clBlack; }
TColor Base::DefaultTimeGridMinorScaleColor() const { return clBtnFace; }
TColor Base::DefaultTimeGridMinorScaleTextColor() const { return clBtnText; }
TColor Base::DefaultTimeGridSelectionBarColor() const { return clWhite; }
TColor Base::DefaultChartDiagramValueBorderColor() const { return clBlack; }
TColor Base::DefaultChartDiagramValueCaptionTextColor() const { return clBlack; }
TColor Base::DefaultChartHistogramAxisColor() const { return clBlack; }
TColor Base::DefaultChartHistogramGridLineColor() const { return 0xCFCFCF; }
TColor Base::DefaultChartHistogramPlotColor() const { return clWhite; }
TColor Base::DefaultChartPieDiagramSeriesSiteBorderColor() const { return clBtnShadow; }
TColor Base::DefaultChartPieDiagramSeriesSiteCaptionColor() const { return 0xF0CAA6; }
TColor Base::DefaultChartPieDiagramSeriesSiteCaptionTextColor() const { return clNavy; }
TColor Base::DefaultChartToolBoxDataLevelInfoBorderColor() const { return clBtnShadow; }
TColor Base::DefaultChartToolBoxItemSeparatorColor() const { return clBtnShadow; }

TColor Standard::DefaultSchedulerViewContentColor() const { return clWindow; }
TColor UltraFlat::DefaultSchedulerBorderColor() const { return clBtnShadow; }

TColor UltraFlat::FilterDropDownButtonBorderColor(TcxButtonState AState) const {
  return AState == cxbsNormal ? clBtnShadow : clHighlight;
}
TColor UltraFlat::TabBorderHighlightColor() const { return clBtnShadow; }
TColor UltraFlat::TabBorderDarkColor() const { return clBtnText; }
TColor UltraFlat::BorderHighlightColor() const { return clHighlight; }

// ---------------------------------------------------------------------------
// Buttons: colours, sizes and group geometry.

Integer Base::BorderSize() const { return 0; }
Integer Standard::BorderSize() const { return 2; }
Integer Flat::BorderSize() const { return 1; }
Integer UltraFlat::BorderSize() const { return 1; }

TRect Base::AdjustGroupButtonDisplayRect(const TRect& R, Integer, Integer) const { return R; }

Integer Base::ButtonBorderSize(TcxButtonState) const { return 0; }
Integer Standard::ButtonBorderSize(TcxButtonState AState) const { return AState == cxbsDefault ? 3 : 2; }
Integer Flat::ButtonBorderSize(TcxButtonState AState) const { return AState == cxbsDefault ? 2 : 1; }
Integer UltraFlat::ButtonBorderSize(TcxButtonState AState) const { return AState == cxbsDefault ? 2 : 1; }

TColor Base::ButtonColor(TcxButtonState) const { return clBtnFace; }

TColor UltraFlat::ButtonColor(TcxButtonState AState) const {
  switch (AState) {
    case cxbsHot: return GetLightSelColor();
    case cxbsPressed: return GetLightDownedSelColor();
    default: return clBtnFace;
  }
}

TRect Base::ButtonFocusRect(TcxCanvas*, const TRect& R) const {
  const TRect result = cxRectShrunk(R, 4);
  return cxRectIsEmpty(result) ? R : result;
}

TRect UltraFlat::ButtonFocusRect(TcxCanvas*, const TRect& R) const {
  const TRect result = cxRectShrunk(R, 3);
  return cxRectIsEmpty(result) ? R : result;
}

TRect Base::ButtonGroupBorderSizes(Integer, Integer) const {
  const Integer W = ButtonBorderSize(cxbsNormal);
  return {W, W, W, W};
}

TRect UltraFlat::ButtonGroupBorderSizes(Integer AButtonCount, Integer AButtonIndex) const {
  TRect result{1, 2, 1, 2};
  if (AButtonIndex == 0) ++result.Left;
  if (AButtonIndex == AButtonCount - 1) ++result.Right;
  return result;
}

Integer Base::ButtonTextOffset() const { return 0; }
Integer Standard::ButtonTextOffset() const { return 1; }
Integer Flat::ButtonTextOffset() const { return 1; }
Integer UltraFlat::ButtonTextOffset() const { return 2; }

Integer Base::ButtonTextShift() const { return 0; }
Integer Standard::ButtonTextShift() const { return 1; }
Integer Flat::ButtonTextShift() const { return 1; }
Integer UltraFlat::ButtonTextShift() const { return 0; }

TColor Base::ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) const {
  if (AState == cxbsDisabled) return clBtnShadow;
  return ADefaultColor == clDefault ? clBtnText : ADefaultColor;
}

TColor UltraFlat::ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) const {
  if (AState == cxbsPressed) return clHighlightText;
  return inherited::ButtonSymbolColor(AState, ADefaultColor);
}

TcxButtonState Base::ButtonSymbolState(TcxButtonState AState) const { return AState; }
TcxButtonState UltraFlat::ButtonSymbolState(TcxButtonState) const { return cxbsNormal; }

// ---------------------------------------------------------------------------
// Expand buttons: sizes and flags.

bool Base::DrawExpandButtonFirst() const { return true; }
Integer Base::ExpandButtonSize() const { return 0; }
Integer Standard::ExpandButtonSize() const { return 12; }
Integer Flat::ExpandButtonSize() const { return 11; }
Integer UltraFlat::ExpandButtonSize() const { return 11; }
Integer Base::GroupExpandButtonSize() const { return 15; }
Integer Base::SmallExpandButtonSize() const { return 9; }
bool Base::IsButtonHotTrack() const { return false; }
bool UltraFlat::IsButtonHotTrack() const { return true; }
bool Base::IsPointOverGroupExpandButton(const TRect& R, const TPoint& P) const { return cxRectPtIn(R, P); }

// ---------------------------------------------------------------------------
// Check boxes and radio buttons: sizes and colours.

Integer Base::CheckBorderSize() const { return 2; }

TColor Base::CheckButtonColor(TcxButtonState AState) const {
  return AState == cxbsPressed || AState == cxbsDisabled ? clBtnFace : clWindow;
}

TSize Base::CheckButtonSize() const { return cxCheckButtonCellSize(); }

// ---------------------------------------------------------------------------
// Headers: sizes, borders and derived geometry.

TcxBorders Base::HeaderBorders(TcxNeighbors) const { return cxBordersAll; }

TcxBorders UltraFlat::HeaderBorders(TcxNeighbors ANeighbors) const {
  TcxBorders result = cxBordersAll;
  if (ANeighbors.Contains(nLeft)) result.Exclude(bLeft);
  if (ANeighbors.Contains(nTop)) result.Exclude(bTop);
  return result;
}

Integer Base::HeaderBorderSize() const { return 0; }
Integer Standard::HeaderBorderSize() const { return 1; }
Integer Flat::HeaderBorderSize() const { return 1; }
Integer UltraFlat::HeaderBorderSize() const { return 1; }

TRect Base::HeaderBounds(const TRect& ABounds, TcxNeighbors ANeighbors, TcxBorders ABorders) const {
  const Integer W = HeaderBorderSize();
  const TcxBorders own = HeaderBorders(ANeighbors);
  TRect result = ABounds;
  // Summed in 64 bits and held to Integer, as at the ends of Integer.
  if (ABorders.Contains(bLeft) && !own.Contains(bLeft)) result.Left = ClampToInteger(Int64(result.Left) - W);
  if (ABorders.Contains(bTop) && !own.Contains(bTop)) result.Top = ClampToInteger(Int64(result.Top) - W);
  if (ABorders.Contains(bRight) && !own.Contains(bRight)) result.Right = ClampToInteger(Int64(result.Right) + W);
  if (ABorders.Contains(bBottom) && !own.Contains(bBottom)) result.Bottom = ClampToInteger(Int64(result.Bottom) + W);
  return result;
}

TRect Base::HeaderContentBounds(const TRect& ABounds, TcxBorders ABorders) const {
  const Integer W = HeaderBorderSize();
  TRect result = ABounds;
  const TRect inside = cxRectShrunk(ABounds, W);
  if (ABorders.Contains(bLeft)) result.Left = inside.Left;
  if (ABorders.Contains(bTop)) result.Top = inside.Top;
  if (ABorders.Contains(bRight)) result.Right = inside.Right;
  if (ABorders.Contains(bBottom)) result.Bottom = inside.Bottom;
  return result;
}

bool Base::HeaderDrawCellsFirst() const { return true; }

Integer Base::HeaderHeight(Integer AFontHeight) const { return 2 * (HeaderBorderSize() + 2) + AFontHeight; }

Integer Base::HeaderControlSectionBorderSize(TcxButtonState) const { return 1; }
Integer Standard::HeaderControlSectionBorderSize(TcxButtonState AState) const {
  return AState == cxbsPressed ? 1 : 2;
}

TRect Base::HeaderControlSectionTextAreaBounds(const TRect& ABounds, TcxButtonState AState) const {
  if (AState != cxbsPressed) return ABounds;
  // One pixel down and right, held to Integer at its ends.
  return {ClampToInteger(Int64(ABounds.Left) + 1), ClampToInteger(Int64(ABounds.Top) + 1),
          ClampToInteger(Int64(ABounds.Right) + 1), ClampToInteger(Int64(ABounds.Bottom) + 1)};
}

TRect Base::HeaderControlSectionContentBounds(const TRect& ABounds, TcxButtonState AState) const {
  return cxRectShrunk(ABounds, HeaderControlSectionBorderSize(AState));
}

// A header is as wide as its text plus the text margins plus the borders
// it draws on either side, so both side borders add their width.
Integer Base::HeaderWidth(TcxCanvas* ACanvas, TcxBorders ABorders, const AnsiString& AText, TFont* AFont) const {
  if (AFont) ACanvas->GetFont()->Assign(AFont);
  Integer result = ACanvas->TextWidth(AText) + 4;
  if (ABorders.Contains(bLeft)) result += HeaderBorderSize();
  if (ABorders.Contains(bRight)) result += HeaderBorderSize();
  return result;
}

bool Base::IsHeaderHotTrack() const { return false; }

TSize Base::SortingMarkAreaSize() const { return {16, SortingMarkSize().cy}; }
TSize Base::SortingMarkSize() const { return {0, 0}; }
TSize Standard::SortingMarkSize() const { return {8, 7}; }
TSize Flat::SortingMarkSize() const { return {8, 7}; }
TSize UltraFlat::SortingMarkSize() const { return {7, 8}; }

// ---------------------------------------------------------------------------
// Footers.

TcxBorders Base::FooterBorders() const { return cxBordersAll; }
TcxBorders UltraFlat::FooterBorders() const { return {bRight, bBottom}; }
Integer Base::FooterBorderSize() const { return 0; }
Integer Standard::FooterBorderSize() const { return 1; }
Integer Flat::FooterBorderSize() const { return 1; }
Integer UltraFlat::FooterBorderSize() const { return 1; }
Integer Base::FooterCellBorderSize() const { return 0; }
Integer Standard::FooterCellBorderSize() const { return 1; }
Integer Flat::FooterCellBorderSize() const { return 1; }
Integer UltraFlat::FooterCellBorderSize() const { return 1; }
Integer Base::FooterCellOffset() const { return 0; }
Integer Standard::FooterCellOffset() const { return 1; }
Integer Flat::FooterCellOffset() const { return 1; }
Integer UltraFlat::FooterCellOffset() const { return 2; }
bool Base::FooterDrawCellsFirst() const { return true; }
TColor Base::FooterSeparatorColor() const { return clBtnShadow; }
Integer Base::FooterSeparatorSize() const { return 1; }

// ---------------------------------------------------------------------------
// Filter buttons, popups, tabs, indicator, charts.

TSize Base::FilterActivateButtonSize() const { return {13, 13}; }
TSize Base::FilterCloseButtonSize() const { return {16, 14}; }
TSize UltraFlat::FilterCloseButtonSize() const { return {16, 15}; }
TSize Base::FilterDropDownButtonSize() const { return {15, 0}; }

TcxPopupBorderStyle Base::PopupBorderStyle() const { return pbsUltraFlat; }

bool Base::IsDrawTabImplemented(bool) const { return false; }
bool Base::IsTabHotTrack(bool) const { return false; }
Integer Base::TabBorderSize(bool) const { return 0; }
Integer Standard::TabBorderSize(bool) const { return 1; }
Integer Flat::TabBorderSize(bool) const { return 1; }
Integer UltraFlat::TabBorderSize(bool) const { return 1; }

bool Base::IndicatorDrawItemsFirst() const { return true; }

Integer Base::ChartToolBoxDataLevelInfoBorderSize() const { return 1; }

// ---------------------------------------------------------------------------
// Helpers.

TcxCustomLookAndFeelPainterClass GetCurrentPainterClass() { return UltraFlat::StaticClass(); }

TRect cxTextRect(const TRect& R) { return cxRectShrunk(R, 2); }

Integer BtnStateToXPBtnState(TcxButtonState AState) {
  static constexpr Integer kStates[] = {5, 1, 2, 3, 4};
  return kStates[AState];
}
