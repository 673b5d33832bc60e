// Look-and-feel painters: stateless classes that draw every standard part
// of the library's controls (buttons, borders, arrows, check boxes, radio
// buttons, expand buttons, headers, footers, indicator cells, filter
// buttons, tabs, scroll-bar parts, calendar parts) and answer their sizes
// and default colours.
//
// A painter is a class, never an instance: controls hold a
// TcxCustomLookAndFeelPainterClass and call its class methods through "->",
// which dispatches through the virtual table of the referenced class. Every
// operation is therefore a const virtual member function, and composite
// elements call the primitive ones virtually, so a descendant that changes
// one primitive (a border) keeps the composites built on it.
//
// Colours follow the class library's convention: a fixed 0x00BBGGRR value,
// a system colour (clBtnFace ...), clDefault (ask the painter) or clNone.
#pragma once

#include "library/foundation/cxClasses.h"
#include "library/foundation/cxGraphics.h"
#include "library/foundation/dxUxTheme.h"
#include "platform/rtl/Events.h"

ORV_ENUM(TcxButtonState, cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled)
ORV_ENUM(TcxArrowDirection, adUp, adDown, adLeft, adRight)
ORV_ENUM(TcxScrollBarPart, sbpNone, sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp, sbpPageDown)
ORV_ENUM(TcxIndicatorKind, ikNone, ikArrow, ikEdit, ikInsert, ikMultiDot, ikMultiArrow, ikFilter)
ORV_ENUM(TcxNeighbor, nLeft, nTop, nRight, nBottom)
using TcxNeighbors = Set<TcxNeighbor>;
ORV_ENUM(TcxHeaderArrows, haNone, haLeft, haRight, haBoth)
ORV_ENUM(TcxPopupBorderStyle, pbsNone, pbsUltraFlat, pbsFlat, pbs3D)
ORV_ENUM(TcxLookAndFeelStyle, lfsFlat, lfsStandard, lfsUltraFlat, lfsNative, lfsOffice11)

// Paints the background of an element in place of the painter; answers
// whether it did (the painter then leaves the background alone).
using TcxDrawBackgroundEvent = Event<bool(TcxCanvas* ACanvas, const TRect& ABounds)>;

class TcxCustomLookAndFeelPainter;
using TcxCustomLookAndFeelPainterClass = TClassRef<TcxCustomLookAndFeelPainter>;

class TcxCustomLookAndFeelPainter : public TObject {
  ORV_CLASS(TcxCustomLookAndFeelPainter, TObject)
 public:
  // --- Content and footer text.
  // The drop-down triangle of a combo button.
  virtual void DrawButtonArrow(TcxCanvas* ACanvas, const TRect& R, TColor AColor) const;
  // Fills a cell (unless the background event painted it) and writes its
  // text in the text area. AIsFooter tells footer cells from header cells
  // for painters that fill the two differently.
  virtual void DrawContent(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                           TcxButtonState AState, TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                           bool AMultiLine, bool AShowEndEllipsis, const AnsiString& AText, TFont* AFont,
                           TColor ATextColor, TColor ABkColor,
                           const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr, bool AIsFooter = false) const;
  virtual TRect FooterCellContentBounds(const TRect& ABounds) const;
  virtual TRect FooterCellTextAreaBounds(const TRect& ABounds) const;
  virtual TcxLookAndFeelStyle LookAndFeelStyle() const;

  // --- Default colours.
  virtual TColor DefaultContentColor() const;
  virtual TColor DefaultContentTextColor() const;
  virtual TColor DefaultFilterBoxColor() const;
  virtual TColor DefaultFilterBoxTextColor() const;
  virtual TColor DefaultFixedSeparatorColor() const;
  virtual TColor DefaultFooterColor() const;
  virtual TColor DefaultFooterTextColor() const;
  virtual TColor DefaultGridLineColor() const;
  virtual TColor DefaultGroupColor() const;
  virtual TColor DefaultGroupTextColor() const;
  virtual TColor DefaultGroupByBoxColor() const;
  virtual TColor DefaultGroupByBoxTextColor() const;
  virtual TColor DefaultHeaderColor() const;
  virtual TColor DefaultHeaderTextColor() const;
  virtual TColor DefaultHeaderBackgroundColor() const;
  virtual TColor DefaultHeaderBackgroundTextColor() const;
  virtual TColor DefaultHyperlinkTextColor() const;
  virtual TColor DefaultInactiveColor() const;
  virtual TColor DefaultInactiveTextColor() const;
  virtual TColor DefaultPreviewTextColor() const;
  virtual TColor DefaultRecordSeparatorColor() const;
  virtual TColor DefaultDateNavigatorHeaderColor() const;
  virtual TColor DefaultDateNavigatorSelectionColor() const;
  virtual TColor DefaultDateNavigatorSelectionTextColor() const;
  virtual TColor DefaultSchedulerBackgroundColor() const;
  virtual TColor DefaultSchedulerTextColor() const;
  virtual TColor DefaultSchedulerBorderColor() const;
  virtual TColor DefaultSchedulerControlColor() const;
  virtual TColor DefaultSchedulerViewContentColor() const;
  virtual TColor DefaultSchedulerViewTextColor() const;
  virtual TColor DefaultSelectionColor() const;
  virtual TColor DefaultSelectionTextColor() const;
  virtual TColor DefaultSeparatorColor() const;
  virtual TColor DefaultTabColor() const;
  virtual TColor DefaultTabTextColor() const;
  virtual TColor DefaultTabsBackgroundColor() const;
  virtual TColor DefaultTimeGridMajorScaleColor() const;
  virtual TColor DefaultTimeGridMajorScaleTextColor() const;
  virtual TColor DefaultTimeGridMinorScaleColor() const;
  virtual TColor DefaultTimeGridMinorScaleTextColor() const;
  virtual TColor DefaultTimeGridSelectionBarColor() const;
  virtual TColor DefaultChartDiagramValueBorderColor() const;
  virtual TColor DefaultChartDiagramValueCaptionTextColor() const;
  virtual TColor DefaultChartHistogramAxisColor() const;
  virtual TColor DefaultChartHistogramGridLineColor() const;
  virtual TColor DefaultChartHistogramPlotColor() const;
  virtual TColor DefaultChartPieDiagramSeriesSiteBorderColor() const;
  virtual TColor DefaultChartPieDiagramSeriesSiteCaptionColor() const;
  virtual TColor DefaultChartPieDiagramSeriesSiteCaptionTextColor() const;
  virtual TColor DefaultChartToolBoxDataLevelInfoBorderColor() const;
  virtual TColor DefaultChartToolBoxItemSeparatorColor() const;

  // --- Arrows.
  // A solid triangle in the colour, made square about R's centre.
  virtual void DrawArrow(TcxCanvas* ACanvas, const TRect& R, TcxArrowDirection ADirection, TColor AColor) const;
  // An arrow button: its border (or a plain fill) and the glyph.
  virtual void DrawArrow(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, TcxArrowDirection ADirection,
                         bool ADrawBorder = true) const;
  virtual void DrawArrowBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const;
  // The glyph of a scroll-bar line button; embossed when disabled.
  virtual void DrawScrollBarArrow(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                  TcxArrowDirection ADirection) const;

  // --- Borders and buttons.
  virtual Integer BorderSize() const;
  // A control's outer border.
  virtual void DrawBorder(TcxCanvas* ACanvas, const TRect& R) const;
  virtual TRect AdjustGroupButtonDisplayRect(const TRect& R, Integer AButtonCount, Integer AButtonIndex) const;
  virtual Integer ButtonBorderSize(TcxButtonState AState = cxbsNormal) const;
  virtual TColor ButtonColor(TcxButtonState AState) const;
  virtual TRect ButtonFocusRect(TcxCanvas* ACanvas, const TRect& R) const;
  // The widths of the four borders (Left, Top, Right, Bottom) of one button
  // of a group.
  virtual TRect ButtonGroupBorderSizes(Integer AButtonCount, Integer AButtonIndex) const;
  virtual Integer ButtonTextOffset() const;
  // Pixels the caption moves right and down while the button is pressed.
  virtual Integer ButtonTextShift() const;
  virtual TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor = clDefault) const;
  // The state a button's symbol is drawn in.
  virtual TcxButtonState ButtonSymbolState(TcxButtonState AState) const;
  virtual void DrawButton(TcxCanvas* ACanvas, const TRect& R, const AnsiString& ACaption, TcxButtonState AState,
                          bool ADrawBorder = true, TColor AColor = clDefault, TColor ATextColor = clDefault) const;
  virtual void DrawButtonInGroup(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, Integer AButtonCount,
                                 Integer AButtonIndex, TColor ABackgroundColor) const;
  virtual void DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const;
  // The frame around a group of buttons: strongest when the group sits in
  // a larger control, highlighted when it has the focus.
  virtual void DrawButtonGroupBorder(TcxCanvas* ACanvas, const TRect& R, bool AInGroup, bool AHasFocus) const;

  // --- Expand buttons.
  // A tree box with a plus (collapsed) or minus (expanded) sign.
  virtual void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                TColor AColor = clDefault) const;
  // True when the expand button is drawn before the tree lines.
  virtual bool DrawExpandButtonFirst() const;
  // A button with a double chevron, pointing up when expanded.
  virtual void DrawGroupExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                     TcxButtonState AState) const;
  virtual void DrawSmallExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor ABorderColor,
                                     TColor AColor = clDefault) const;
  virtual Integer ExpandButtonSize() const;
  virtual Integer GroupExpandButtonSize() const;
  virtual bool IsButtonHotTrack() const;
  virtual bool IsPointOverGroupExpandButton(const TRect& R, const TPoint& P) const;
  virtual Integer SmallExpandButtonSize() const;

  // --- Check boxes and radio buttons.
  virtual Integer CheckBorderSize() const;
  virtual TColor CheckButtonColor(TcxButtonState AState) const;
  virtual TSize CheckButtonSize() const;
  // The square inside a check box, and the tick when checked.
  virtual void DrawCheck(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, bool AChecked,
                         TColor AColor) const;
  virtual void DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const;
  virtual void DrawCheckButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, bool AChecked) const;
  // A radio button with its top-left corner at (X, Y). With a background
  // colour other than clDefault the pixels around the circle take it.
  // AIsDesigning highlights the ring of the ultra-flat kinds as if focused.
  virtual void DrawRadioButton(TcxCanvas* ACanvas, Integer X, Integer Y, TcxButtonState AButtonState,
                               bool AChecked, bool AFocused, TColor ABrushColor, bool AIsDesigning = false) const;
  virtual TSize RadioButtonSize() const;

  // --- Headers.
  virtual void DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                          TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                          TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                          bool AShowEndEllipsis, const AnsiString& AText, TFont* AFont, TColor ATextColor,
                          TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr,
                          bool AIsLast = false) const;
  virtual void DrawHeaderEx(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                            TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                            TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                            bool AShowEndEllipsis, const AnsiString& AText, TFont* AFont, TColor ATextColor,
                            TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr,
                            bool AIsLast = false) const;
  virtual void DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                                TcxBorders ABorders) const;
  virtual void DrawHeaderPressed(TcxCanvas* ACanvas, const TRect& ABounds) const;
  virtual void DrawHeaderControlSection(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                                        TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                        TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                        const AnsiString& AText, TFont* AFont, TColor ATextColor,
                                        TColor ABkColor) const;
  virtual void DrawHeaderControlSectionBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                                              TcxButtonState AState) const;
  virtual void DrawHeaderControlSectionContent(TcxCanvas* ACanvas, const TRect& ABounds,
                                               const TRect& ATextAreaBounds, TcxButtonState AState,
                                               TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                               const AnsiString& AText, TFont* AFont, TColor ATextColor,
                                               TColor ABkColor) const;
  virtual void DrawHeaderControlSectionText(TcxCanvas* ACanvas, const TRect& ATextAreaBounds,
                                            TcxButtonState AState, TAlignment AAlignmentHorz,
                                            TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                            bool AShowEndEllipsis, const AnsiString& AText, TFont* AFont,
                                            TColor AColor) const;
  virtual void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const;
  // The borders a header draws itself, given its neighbours.
  virtual TcxBorders HeaderBorders(TcxNeighbors ANeighbors) const;
  virtual Integer HeaderBorderSize() const;
  virtual TRect HeaderBounds(const TRect& ABounds, TcxNeighbors ANeighbors,
                             TcxBorders ABorders = cxBordersAll) const;
  virtual TRect HeaderContentBounds(const TRect& ABounds, TcxBorders ABorders) const;
  virtual bool HeaderDrawCellsFirst() const;
  virtual Integer HeaderHeight(Integer AFontHeight) const;
  virtual Integer HeaderControlSectionBorderSize(TcxButtonState AState = cxbsNormal) const;
  virtual TRect HeaderControlSectionTextAreaBounds(const TRect& ABounds, TcxButtonState AState) const;
  virtual TRect HeaderControlSectionContentBounds(const TRect& ABounds, TcxButtonState AState) const;
  virtual Integer HeaderWidth(TcxCanvas* ACanvas, TcxBorders ABorders, const AnsiString& AText,
                              TFont* AFont) const;
  virtual bool IsHeaderHotTrack() const;
  virtual TSize SortingMarkAreaSize() const;
  virtual TSize SortingMarkSize() const;

  // --- Footers.
  virtual void DrawFooterCell(TcxCanvas* ACanvas, const TRect& ABounds, TAlignment AAlignmentHorz,
                              TcxAlignmentVert AAlignmentVert, bool AMultiLine, const AnsiString& AText,
                              TFont* AFont, TColor ATextColor, TColor ABkColor,
                              const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const;
  virtual TcxBorders FooterBorders() const;
  virtual Integer FooterBorderSize() const;
  virtual Integer FooterCellBorderSize() const;
  virtual Integer FooterCellOffset() const;
  virtual bool FooterDrawCellsFirst() const;
  virtual TColor FooterSeparatorColor() const;
  virtual Integer FooterSeparatorSize() const;
  virtual void DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const;
  virtual void DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const;
  virtual void DrawFooterSeparator(TcxCanvas* ACanvas, const TRect& R) const;

  // --- Filter buttons.
  virtual void DrawFilterActivateButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                        bool AChecked) const;
  virtual void DrawFilterCloseButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const;
  // The arrow turns blue while a filter is active.
  virtual void DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                        bool AIsFilterActive) const;
  virtual TSize FilterActivateButtonSize() const;
  virtual TSize FilterCloseButtonSize() const;
  // The height is 0: the button takes the height of its row.
  virtual TSize FilterDropDownButtonSize() const;

  // --- Popups.
  virtual TcxPopupBorderStyle PopupBorderStyle() const;

  // --- Tabs.
  virtual void DrawTab(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, const AnsiString& AText,
                       TcxButtonState AState, bool AVertical, TFont* AFont, TColor ATextColor, TColor ABkColor,
                       bool AShowPrefix = false) const;
  // One side (ABorder) of a tab whose drawn sides are ABorders.
  virtual void DrawTabBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorder ABorder, TcxBorders ABorders,
                             bool AVertical) const;
  virtual void DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, bool AVertical) const;
  virtual bool IsDrawTabImplemented(bool AVertical) const;
  virtual bool IsTabHotTrack(bool AVertical) const;
  virtual Integer TabBorderSize(bool AVertical) const;

  // --- Indicator.
  virtual void DrawIndicatorItem(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor AColor,
                                 const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr,
                                 bool AIsLast = false) const;
  virtual void DrawIndicatorItemEx(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor AColor,
                                   const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr,
                                   bool AIsLast = false) const;
  virtual bool IndicatorDrawItemsFirst() const;

  // --- Scroll bars.
  virtual void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R, TcxScrollBarPart APart,
                                 TcxButtonState AState) const;

  // --- Scheduler and calendar parts.
  virtual void DrawMonthHeader(TcxCanvas* ACanvas, const TRect& ABounds, const AnsiString& AText,
                               TcxNeighbors ANeighbors, const TcxViewParams& AViewParams, TcxHeaderArrows AArrows,
                               Integer ASideWidth, const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const;
  virtual void DrawSchedulerBorder(TcxCanvas* ACanvas, const TRect& R) const;
  virtual void DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const;
  virtual void DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, const TRect& R, const TcxViewParams& AViewParams,
                                           bool AIsHorizontal) const;
  virtual Integer ChartToolBoxDataLevelInfoBorderSize() const;

  // --- Shared drawing routines (not virtual).
  // The three corners of an arrow in R. Proportional arrows are fitted to
  // the square about R's centre.
  static void CalculateArrowPoints(TRect R, TPoint (&P)[3], TcxArrowDirection AArrowDirection,
                                   bool AProportional);
  // The plus or minus sign of an expand button.
  static void DrawExpandButtonCross(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor);
  // An outlined triangle, light on one side and dark on the other.
  void DrawSortingArrow(TcxCanvas* ACanvas, const TRect& R, TColor AColor1, TColor AColor2,
                        bool AAscendingSorting) const;
  // The diagonal cross of a filter close button.
  void DrawButtonCross(TcxCanvas* ACanvas, const TRect& R, TColor AColor, TcxButtonState AState) const;
  // The image of the kind centred in R; nothing for ikNone.
  static void DrawIndicatorImage(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind);
  // The arrows of a month header, in the header's side areas.
  static void DrawMonthHeaderArrows(TcxCanvas* ACanvas, const TRect& ABounds, TcxHeaderArrows AArrows,
                                    Integer ASideWidth, TColor AColor);
  // The arrow of a scroll bar's line button.
  static TcxArrowDirection GetArrowDirection(bool AHorizontal, TcxScrollBarPart APart);

 protected:
  // The double chevron of a group expand button.
  void DrawGroupExpandButtonMark(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                 TcxButtonState AState) const;
  // Fills a scroll bar's page area with the checker pattern.
  static void DrawScrollBarPageArea(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState);
};

// Raised three-dimensional look with two-pixel edges.
class TcxStandardLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
  ORV_CLASS(TcxStandardLookAndFeelPainter, TcxCustomLookAndFeelPainter)
 public:
  TcxLookAndFeelStyle LookAndFeelStyle() const override;
  TColor DefaultSchedulerViewContentColor() const override;

  Integer BorderSize() const override;
  void DrawBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  Integer ButtonBorderSize(TcxButtonState AState = cxbsNormal) const override;
  Integer ButtonTextOffset() const override;
  Integer ButtonTextShift() const override;
  void DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;

  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                        TColor AColor = clDefault) const override;
  Integer ExpandButtonSize() const override;

  void DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;

  void DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  void DrawHeaderControlSectionBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                                      TcxButtonState AState) const override;
  void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const override;
  Integer HeaderBorderSize() const override;
  Integer HeaderControlSectionBorderSize(TcxButtonState AState = cxbsNormal) const override;
  TSize SortingMarkSize() const override;

  void DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  Integer FooterBorderSize() const override;
  Integer FooterCellBorderSize() const override;
  Integer FooterCellOffset() const override;

  void DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                bool AIsFilterActive) const override;

  void DrawTabBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorder ABorder, TcxBorders ABorders,
                     bool AVertical) const override;
  void DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, bool AVertical) const override;
  Integer TabBorderSize(bool AVertical) const override;

  void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R, TcxScrollBarPart APart,
                         TcxButtonState AState) const override;

  void DrawMonthHeader(TcxCanvas* ACanvas, const TRect& ABounds, const AnsiString& AText, TcxNeighbors ANeighbors,
                       const TcxViewParams& AViewParams, TcxHeaderArrows AArrows, Integer ASideWidth,
                       const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const override;
  void DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, const TRect& R, const TcxViewParams& AViewParams,
                                   bool AIsHorizontal) const override;

  void DrawGroupExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                             TcxButtonState AState) const override;
};

// One-pixel three-dimensional edges.
class TcxFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
  ORV_CLASS(TcxFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter)
 public:
  TcxLookAndFeelStyle LookAndFeelStyle() const override;

  Integer BorderSize() const override;
  void DrawBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  Integer ButtonBorderSize(TcxButtonState AState = cxbsNormal) const override;
  Integer ButtonTextOffset() const override;
  Integer ButtonTextShift() const override;
  void DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;

  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                        TColor AColor = clDefault) const override;
  Integer ExpandButtonSize() const override;

  void DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;

  void DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  void DrawHeaderControlSectionBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                                      TcxButtonState AState) const override;
  void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const override;
  Integer HeaderBorderSize() const override;
  TSize SortingMarkSize() const override;

  void DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  Integer FooterBorderSize() const override;
  Integer FooterCellBorderSize() const override;
  Integer FooterCellOffset() const override;

  void DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                bool AIsFilterActive) const override;

  void DrawTabBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorder ABorder, TcxBorders ABorders,
                     bool AVertical) const override;
  void DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, bool AVertical) const override;
  Integer TabBorderSize(bool AVertical) const override;

  void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R, TcxScrollBarPart APart,
                         TcxButtonState AState) const override;

  void DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, const TRect& R, const TcxViewParams& AViewParams,
                                   bool AIsHorizontal) const override;
};

// Single-colour one-pixel frames, hot tracking and highlight colours.
class TcxUltraFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
  ORV_CLASS(TcxUltraFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter)
 public:
  TcxLookAndFeelStyle LookAndFeelStyle() const override;
  TColor DefaultSchedulerBorderColor() const override;

  Integer BorderSize() const override;
  void DrawBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  Integer ButtonBorderSize(TcxButtonState AState = cxbsNormal) const override;
  TColor ButtonColor(TcxButtonState AState) const override;
  TRect ButtonFocusRect(TcxCanvas* ACanvas, const TRect& R) const override;
  TRect ButtonGroupBorderSizes(Integer AButtonCount, Integer AButtonIndex) const override;
  Integer ButtonTextOffset() const override;
  Integer ButtonTextShift() const override;
  TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor = clDefault) const override;
  TcxButtonState ButtonSymbolState(TcxButtonState AState) const override;
  void DrawButtonInGroup(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, Integer AButtonCount,
                         Integer AButtonIndex, TColor ABackgroundColor) const override;
  void DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
  void DrawButtonGroupBorder(TcxCanvas* ACanvas, const TRect& R, bool AInGroup, bool AHasFocus) const override;

  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                        TColor AColor = clDefault) const override;
  Integer ExpandButtonSize() const override;
  bool IsButtonHotTrack() const override;

  void DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;

  void DrawHeaderEx(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                    TcxBorders ABorders, TcxButtonState AState, TAlignment AAlignmentHorz,
                    TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis, const AnsiString& AText,
                    TFont* AFont, TColor ATextColor, TColor ABkColor,
                    const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr, bool AIsLast = false) const override;
  void DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  void DrawHeaderControlSectionBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                                      TcxButtonState AState) const override;
  void DrawHeaderControlSectionContent(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                                       TcxButtonState AState, TAlignment AAlignmentHorz,
                                       TcxAlignmentVert AAlignmentVert, const AnsiString& AText, TFont* AFont,
                                       TColor ATextColor, TColor ABkColor) const override;
  void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const override;
  TcxBorders HeaderBorders(TcxNeighbors ANeighbors) const override;
  Integer HeaderBorderSize() const override;
  TSize SortingMarkSize() const override;

  void DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  TcxBorders FooterBorders() const override;
  Integer FooterBorderSize() const override;
  Integer FooterCellBorderSize() const override;
  Integer FooterCellOffset() const override;

  void DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                bool AIsFilterActive) const override;
  TSize FilterCloseButtonSize() const override;

  void DrawTabBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorder ABorder, TcxBorders ABorders,
                     bool AVertical) const override;
  void DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, bool AVertical) const override;
  Integer TabBorderSize(bool AVertical) const override;

  void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R, TcxScrollBarPart APart,
                         TcxButtonState AState) const override;

  void DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, const TRect& R, const TcxViewParams& AViewParams,
                                   bool AIsHorizontal) const override;

  // Colours of the ultra-flat family.
  virtual TColor FilterDropDownButtonBorderColor(TcxButtonState AState) const;
  virtual TColor TabBorderHighlightColor() const;
  virtual TColor TabBorderDarkColor() const;
  virtual TColor BorderHighlightColor() const;
};

// ---------------------------------------------------------------------------
// Process-wide resources and helpers. The resources are made on first use
// and freed by cxLookAndFeelPaintersFinalize.

// The indicator glyphs, in TcxIndicatorKind order from ikArrow to ikFilter.
TCustomImageList* cxIndicatorImages();
// The 8 x 8 patterns of scroll-bar page areas: 0 normal, 1 pressed.
TBitmap* cxScrollBarBitmap(Integer AIndex);
// Refills the scroll-bar patterns from the current system colours.
void UpdateScrollBarBitmaps();
// The 16 x 16 pins of auto-hiding panels (white is transparent).
TBitmap* cxAutoHideOnBitmap();
TBitmap* cxAutoHideOffBitmap();
// The size of one glyph cell of the system check-box bitmap.
TSize cxCheckButtonCellSize();
// Makes the radio-button images when they do not exist yet.
void PrepareRadioButtonImageList();

// The painters' reaction to a system colour change: the scroll-bar patterns
// and the radio-button images (when they exist) take the new colours. The
// system-palette notifier of the look-and-feel unit calls it before any
// control repaints.
void cxLookAndFeelPaintersSystemPaletteChanged();

// The radio-button images of the lfsOffice11 kind take their colours from
// this painter's ButtonColor, BorderHighlightColor and disabled symbol
// colour; the Office-11 painter registers itself here. Until one is
// registered those images take the ultra-flat colours. Registering a
// different class rebuilds existing images.
void cxSetOffice11RadioButtonPainter(TcxCustomLookAndFeelPainterClass APainter);

// The unit's shut-down step: frees the resources above.
void cxLookAndFeelPaintersFinalize();

// The painter a control without a look-and-feel draws with.
TcxCustomLookAndFeelPainterClass GetCurrentPainterClass();
// The text area of a cell: R shrunk by 2 on every side.
TRect cxTextRect(const TRect& R);
// The theme's push-button state of a button state (1 normal .. 5 default).
Integer BtnStateToXPBtnState(TcxButtonState AState);

// ---------------------------------------------------------------------------
// The theme-based painter. Every element asks the theme manager for the
// theme of its class and, when that class has no theme, draws as the
// standard painter does, so the look degrades element by element. A theme
// query that fails leaves the standard answer.
class TcxWinXPLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
  ORV_CLASS(TcxWinXPLookAndFeelPainter, TcxStandardLookAndFeelPainter)
 public:
  using TcxCustomLookAndFeelPainter::DrawArrow;

  TcxLookAndFeelStyle LookAndFeelStyle() const override;
  TColor DefaultSchedulerBorderColor() const override;
  TColor DefaultSchedulerViewContentColor() const override;

  Integer BorderSize() const override;
  void DrawBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawArrow(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, TcxArrowDirection ADirection,
                 bool ADrawBorder = true) const override;
  void DrawArrowBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
  TRect AdjustGroupButtonDisplayRect(const TRect& R, Integer AButtonCount, Integer AButtonIndex) const override;
  Integer ButtonBorderSize(TcxButtonState AState = cxbsNormal) const override;
  TColor ButtonColor(TcxButtonState AState) const override;
  TRect ButtonFocusRect(TcxCanvas* ACanvas, const TRect& R) const override;
  TRect ButtonGroupBorderSizes(Integer AButtonCount, Integer AButtonIndex) const override;
  Integer ButtonTextOffset() const override;
  Integer ButtonTextShift() const override;
  TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor = clDefault) const override;
  void DrawButton(TcxCanvas* ACanvas, const TRect& R, const AnsiString& ACaption, TcxButtonState AState,
                  bool ADrawBorder = true, TColor AColor = clDefault, TColor ATextColor = clDefault) const override;
  bool IsButtonHotTrack() const override;

  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                        TColor AColor = clDefault) const override;
  bool DrawExpandButtonFirst() const override;
  void DrawGroupExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                             TcxButtonState AState) const override;
  void DrawSmallExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor ABorderColor,
                             TColor AColor = clDefault) const override;
  Integer ExpandButtonSize() const override;
  Integer GroupExpandButtonSize() const override;
  bool IsPointOverGroupExpandButton(const TRect& R, const TPoint& P) const override;
  Integer SmallExpandButtonSize() const override;

  Integer CheckBorderSize() const override;
  TSize CheckButtonSize() const override;
  void DrawCheck(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, bool AChecked,
                 TColor AColor) const override;
  void DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
  void DrawRadioButton(TcxCanvas* ACanvas, Integer X, Integer Y, TcxButtonState AButtonState, bool AChecked,
                       bool AFocused, TColor ABrushColor, bool AIsDesigning = false) const override;
  TSize RadioButtonSize() const override;

  void DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                  TcxBorders ABorders, TcxButtonState AState, TAlignment AAlignmentHorz,
                  TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis, const AnsiString& AText,
                  TFont* AFont, TColor ATextColor, TColor ABkColor,
                  const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr, bool AIsLast = false) const override;
  void DrawHeaderPressed(TcxCanvas* ACanvas, const TRect& ABounds) const override;
  void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const override;
  Integer HeaderBorderSize() const override;
  Integer HeaderControlSectionBorderSize(TcxButtonState AState = cxbsNormal) const override;
  TRect HeaderControlSectionContentBounds(const TRect& ABounds, TcxButtonState AState) const override;
  bool HeaderDrawCellsFirst() const override;
  bool IsHeaderHotTrack() const override;
  TSize SortingMarkSize() const override;

  void DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawFooterCell(TcxCanvas* ACanvas, const TRect& ABounds, TAlignment AAlignmentHorz,
                      TcxAlignmentVert AAlignmentVert, bool AMultiLine, const AnsiString& AText, TFont* AFont,
                      TColor ATextColor, TColor ABkColor,
                      const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const override;
  Integer FooterCellBorderSize() const override;
  bool FooterDrawCellsFirst() const override;

  void DrawFilterCloseButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
  void DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                bool AIsFilterActive) const override;
  TSize FilterActivateButtonSize() const override;
  TSize FilterCloseButtonSize() const override;

  void DrawTab(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, const AnsiString& AText,
               TcxButtonState AState, bool AVertical, TFont* AFont, TColor ATextColor, TColor ABkColor,
               bool AShowPrefix = false) const override;
  void DrawTabBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorder ABorder, TcxBorders ABorders,
                     bool AVertical) const override;
  void DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, bool AVertical) const override;
  bool IsDrawTabImplemented(bool AVertical) const override;
  bool IsTabHotTrack(bool AVertical) const override;

  void DrawIndicatorItem(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor AColor,
                         const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr,
                         bool AIsLast = false) const override;
  void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R, TcxScrollBarPart APart,
                         TcxButtonState AState) const override;
  void DrawMonthHeader(TcxCanvas* ACanvas, const TRect& ABounds, const AnsiString& AText, TcxNeighbors ANeighbors,
                       const TcxViewParams& AViewParams, TcxHeaderArrows AArrows, Integer ASideWidth,
                       const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const override;
  void DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
  void DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, const TRect& R, const TcxViewParams& AViewParams,
                                   bool AIsHorizontal) const override;

 protected:
  // Text drawn by the theme in a part's state: aligned, on one line or
  // word-broken, with an end ellipsis when asked; nothing for empty text.
  static void DrawThemedContent(TcxCanvas* ACanvas, win::HTHEME ATheme, Integer APartId, Integer AStateId,
                                const TRect& ATextAreaBounds, TAlignment AAlignmentHorz,
                                TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
                                const AnsiString& AText, TFont* AFont, TColor ATextColor, bool AShowPrefix = false);
};

// ---------------------------------------------------------------------------
// The Office-11 painter: the ultra-flat geometry in the colours of the
// Office-11 palette (dxOffice11.h, built by whoever creates the palette),
// with gradient headers and bitmap expand buttons. Scroll bars are drawn
// by the theme-based painter when the scroll-bar theme is available and by
// the standard painter otherwise.
class TcxOffice11LookAndFeelPainter : public TcxUltraFlatLookAndFeelPainter {
  ORV_CLASS(TcxOffice11LookAndFeelPainter, TcxUltraFlatLookAndFeelPainter)
 public:
  using TcxCustomLookAndFeelPainter::DrawArrow;

  TcxLookAndFeelStyle LookAndFeelStyle() const override;

  TColor DefaultDateNavigatorHeaderColor() const override;
  TColor DefaultDateNavigatorSelectionColor() const override;
  TColor DefaultDateNavigatorSelectionTextColor() const override;
  TColor DefaultFilterBoxColor() const override;
  TColor DefaultFilterBoxTextColor() const override;
  TColor DefaultFooterColor() const override;
  TColor DefaultFooterTextColor() const override;
  TColor DefaultGroupColor() const override;
  TColor DefaultGroupByBoxColor() const override;
  TColor DefaultGroupByBoxTextColor() const override;
  TColor DefaultHeaderColor() const override;
  TColor DefaultHeaderBackgroundColor() const override;
  TColor DefaultSchedulerBorderColor() const override;
  TColor DefaultSchedulerControlColor() const override;
  TColor DefaultTabColor() const override;
  TColor DefaultTabsBackgroundColor() const override;
  TColor DefaultTimeGridMinorScaleColor() const override;
  TColor DefaultTimeGridSelectionBarColor() const override;
  TColor BorderHighlightColor() const override;
  TColor FooterSeparatorColor() const override;
  TColor TabBorderHighlightColor() const override;
  TColor FilterDropDownButtonBorderColor(TcxButtonState AState) const override;

  TColor ButtonColor(TcxButtonState AState) const override;
  TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor = clDefault) const override;
  TColor CheckButtonColor(TcxButtonState AState) const override;
  void DrawBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;

  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                        TColor AColor = clDefault) const override;
  bool DrawExpandButtonFirst() const override;
  void DrawSmallExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor ABorderColor,
                             TColor AColor = clDefault) const override;
  Integer ExpandButtonSize() const override;
  Integer SmallExpandButtonSize() const override;

  void DrawRadioButton(TcxCanvas* ACanvas, Integer X, Integer Y, TcxButtonState AButtonState, bool AChecked,
                       bool AFocused, TColor ABrushColor, bool AIsDesigning = false) const override;

  void DrawContent(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds, TcxButtonState AState,
                   TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                   bool AShowEndEllipsis, const AnsiString& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
                   const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr, bool AIsFooter = false) const override;
  void DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                  TcxBorders ABorders, TcxButtonState AState, TAlignment AAlignmentHorz,
                  TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis, const AnsiString& AText,
                  TFont* AFont, TColor ATextColor, TColor ABkColor,
                  const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr, bool AIsLast = false) const override;
  void DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  void DrawHeaderControlSection(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                                TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, const AnsiString& AText,
                                TFont* AFont, TColor ATextColor, TColor ABkColor) const override;
  void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const override;
  TcxBorders HeaderBorders(TcxNeighbors ANeighbors) const override;
  bool IsHeaderHotTrack() const override;

  void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R, TcxScrollBarPart APart,
                         TcxButtonState AState) const override;
  void DrawMonthHeader(TcxCanvas* ACanvas, const TRect& ABounds, const AnsiString& AText, TcxNeighbors ANeighbors,
                       const TcxViewParams& AViewParams, TcxHeaderArrows AArrows, Integer ASideWidth,
                       const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const override;
  void DrawSchedulerBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;

  // Header colours of the Office-11 look.
  virtual TColor HeaderBottomColor() const;
  virtual TColor HeaderDarkEdgeColor() const;
  virtual TColor HeaderHighlightEdgeColor() const;
  virtual TColor HeaderTopColor() const;
};
