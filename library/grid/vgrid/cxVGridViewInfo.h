// The vertical grid's view info and its paint-style calculators. The view
// info turns the row tree, the options and the bounds into geometry: the
// rows on show, the band with the empty area below it, one row view info
// per placed row (cxVGridRowViewInfo) and the grid lines as filled
// rectangles. The calculator of the paint style gives the style's widths,
// line brushes, default colours and style-specific lines. The painter
// (cxVGridPainter) only fills and draws what the view info holds.
//
// A layout pass costs what is on screen: the list of rows on show is kept
// until the tree changes (an append at the end of the tree only extends
// it), rows are measured only until the band is full, and the geometry of
// a row that leaves the screen goes with it.
#pragma once

#include <vector>

#include "library/grid/vgrid/cxVGridControl.h"
#include "library/grid/vgrid/cxVGridUtils.h"

class TcxvgCustomViewInfo;
class TcxCustomRowViewInfo;
class TcxCustomRowHeaderInfo;
class TcxRowValueInfo;
class TcxvgScroller;

// ---------------------------------------------------------------------------
// Paint-style calculators.

class TcxvgCustomPaintStyleCalcHelper : public TObject {
  ORV_CLASS(TcxvgCustomPaintStyleCalcHelper, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxvgCustomViewInfo*)>;
  explicit TcxvgCustomPaintStyleCalcHelper(TcxvgCustomViewInfo* AViewInfo);

  virtual TBrush* CreateHorzLineBrush() = 0;
  virtual TBrush* CreateVertLineBrush() = 0;
  // The grid's line colour.
  virtual TColor GetBandBorderColor();
  virtual Integer GetDividerWidth() = 0;
  virtual Integer GetIndentWidth() = 0;
  virtual void AddBoundHeaderLines(TcxCustomRowHeaderInfo* AHeaderInfo) = 0;
  virtual void AddDivider(TLineInfoList* ALines, const TRect& R, TColor AColor, bool AIsSeparator) = 0;
  virtual void AddHeaderIndentLines(TcxCustomRowHeaderInfo* AHeaderInfo, const TRect& R,
                                    const TcxViewParams& AViewParams, bool AIsCategory, bool AUnderline,
                                    bool ARightLine) = 0;
  virtual void CalcPaintViewParamsLines(TcxCustomRowViewInfo* ARowViewInfo, TcxCustomRow* ANextRow) = 0;
  // Recalculates the rows a focus move touches; R is what to repaint.
  virtual void ChangeFocusedRow(TcxCustomRow* ANewRow, TcxCustomRow* AOldRow, TRect& R) = 0;
  virtual TColor GetCategoryColor() = 0;
  virtual TRect GetCategoryFocusRect(TcxCustomRowHeaderInfo* AHeaderInfo) = 0;
  virtual TColor GetCategoryTextColor() = 0;
  virtual TColor GetContentColor(bool AFocused) = 0;
  virtual TColor GetContentTextColor() = 0;
  virtual TColor GetHeaderColor() = 0;
  virtual TColor GetHeaderTextColor() = 0;
  // The view parameters of the indent cell that AIndentRow (ARow or one
  // of its ancestors) gives ARow's header.
  virtual TcxViewParams GetIndentViewParams(TcxCustomRow* ARow, TcxCustomRow* AIndentRow) = 0;
  virtual bool IsDrawValueFocusRect() = 0;

  TcxvgCustomViewInfo* GetViewInfo() const { return FViewInfo; }
  TcxCustomVerticalGrid* GetVerticalGrid() const { return FVerticalGrid; }
  TcxvgScroller* GetScroller() const;

 protected:
  TcxCustomLookAndFeelPainterClass Painter();

 private:
  TcxvgCustomViewInfo* FViewInfo;
  TcxCustomVerticalGrid* FVerticalGrid;
};

using TcxvgCustomPaintStyleCalcHelperClass = TClassRef<TcxvgCustomPaintStyleCalcHelper>;

// The flat look: solid lines, a one-pixel divider, the focused row's
// header in the selection colour (a focused category's colour runs down
// the indents of its rows), themed explorer-bar categories when asked.
class TcxvgDotNetStyleCalcHelper : public TcxvgCustomPaintStyleCalcHelper {
  ORV_CLASS(TcxvgDotNetStyleCalcHelper, TcxvgCustomPaintStyleCalcHelper)
 public:
  explicit TcxvgDotNetStyleCalcHelper(TcxvgCustomViewInfo* AViewInfo) : TcxvgCustomPaintStyleCalcHelper(AViewInfo) {}
  TBrush* CreateHorzLineBrush() override;
  TBrush* CreateVertLineBrush() override;
  Integer GetDividerWidth() override { return 1; }
  Integer GetIndentWidth() override;
  void AddBoundHeaderLines(TcxCustomRowHeaderInfo* AHeaderInfo) override;
  void AddDivider(TLineInfoList* ALines, const TRect& R, TColor AColor, bool AIsSeparator) override;
  void AddHeaderIndentLines(TcxCustomRowHeaderInfo* AHeaderInfo, const TRect& R, const TcxViewParams& AViewParams,
                            bool AIsCategory, bool AUnderline, bool ARightLine) override;
  void CalcPaintViewParamsLines(TcxCustomRowViewInfo*, TcxCustomRow*) override {}
  void ChangeFocusedRow(TcxCustomRow* ANewRow, TcxCustomRow* AOldRow, TRect& R) override;
  TColor GetCategoryColor() override;
  // The caption's text extent inside its text rectangle, by the caption's
  // alignment, grown by one pixel; empty unless the category is focused
  // and has a caption.
  TRect GetCategoryFocusRect(TcxCustomRowHeaderInfo* AHeaderInfo) override;
  TColor GetCategoryTextColor() override { return clGrayText; }
  TColor GetContentColor(bool AFocused) override;
  TColor GetContentTextColor() override;
  TColor GetHeaderColor() override;
  TColor GetHeaderTextColor() override;
  TcxViewParams GetIndentViewParams(TcxCustomRow* ARow, TcxCustomRow* AIndentRow) override;
  bool IsDrawValueFocusRect() override { return true; }
};

// The three-dimensional look: half-tone lines, a raised two-pixel divider
// and a sunken focused row.
class TcxvgStyle3DCalcHelper : public TcxvgCustomPaintStyleCalcHelper {
  ORV_CLASS(TcxvgStyle3DCalcHelper, TcxvgCustomPaintStyleCalcHelper)
 public:
  explicit TcxvgStyle3DCalcHelper(TcxvgCustomViewInfo* AViewInfo) : TcxvgCustomPaintStyleCalcHelper(AViewInfo) {}
  TBrush* CreateHorzLineBrush() override;
  TBrush* CreateVertLineBrush() override;
  Integer GetDividerWidth() override { return 2; }
  Integer GetIndentWidth() override;
  void AddBoundHeaderLines(TcxCustomRowHeaderInfo* AHeaderInfo) override;
  void AddDivider(TLineInfoList* ALines, const TRect& R, TColor AColor, bool AIsSeparator) override;
  void AddHeaderIndentLines(TcxCustomRowHeaderInfo*, const TRect&, const TcxViewParams&, bool, bool, bool) override {}
  void CalcPaintViewParamsLines(TcxCustomRowViewInfo* ARowViewInfo, TcxCustomRow* ANextRow) override;
  void ChangeFocusedRow(TcxCustomRow* ANewRow, TcxCustomRow* AOldRow, TRect& R) override;
  TColor GetCategoryColor() override;
  TRect GetCategoryFocusRect(TcxCustomRowHeaderInfo*) override { return cxNullRect; }
  TColor GetCategoryTextColor() override;
  TColor GetContentColor(bool AFocused) override;
  TColor GetContentTextColor() override { return clNavy; }
  TColor GetHeaderColor() override;
  TColor GetHeaderTextColor() override;
  TcxViewParams GetIndentViewParams(TcxCustomRow* ARow, TcxCustomRow* AIndentRow) override;
  bool IsDrawValueFocusRect() override { return false; }
};

// ---------------------------------------------------------------------------
// The view info.

class TcxvgCustomViewInfo : public TcxCustomControlViewInfo {
  ORV_CLASS(TcxvgCustomViewInfo, TcxCustomControlViewInfo)
 public:
  explicit TcxvgCustomViewInfo(TcxEditingControl* AControl);
  // The calculator comes from the grid's class factory; the scroller takes
  // a new strategy for the new view info.
  void AfterConstruction() override;
  ~TcxvgCustomViewInfo() override;

  // The minimal row height.
  Integer CalculateDefaultEditHeight() override;
  // The whole layout: general values, the rows on show, widths, the band
  // and the empty area, the placed rows and their lines.
  void DoCalculate() override;
  void UpdateSelection() override;

  // ---- The layout's steps, in the order descendants meet them ----
  virtual void AddBandRowsLines(const TRect& ABandRect);
  // The empty areas beside the bands; the single-record layout has none.
  virtual void AddEmptyRects();
  virtual void AddRightValueSide(const TRect& R, bool ALast);
  virtual void CalcBandRects();
  virtual void CalcBandRowsViewInfo(Integer& ARowIndex, const TRect& ABandRect, Integer ABandIndex);
  virtual void CalcBandWidth();
  // The header/value divider down a grid without rows.
  virtual void CalcEmpty();
  virtual void CalcLayoutGeneral();
  virtual void CalcRowRects(TcxCustomRowViewInfo* ARowViewInfo);
  virtual void CalcRowsViewInfo();
  virtual void CalcViewRects();
  // A partly visible last row is placed.
  virtual bool CanAddRowToBand(const TRect& ARowRect, const TRect& ABandRect, Integer ABandRowIndex);
  // Lowers a header width so that the values keep their room; the base
  // lowers nothing.
  virtual void CheckMaxRowHeaderWidth(Integer&, Integer) {}
  // Empties the lines and the placed rows.
  virtual void Clear();
  virtual void CreateBand(Integer AHeight, Integer AWidth);
  virtual void CreateBrushes();
  virtual void DestroyBrushes();
  virtual TRect GetBandSizeableRect(const TRect& ABandRect);
  virtual bool GetRowAutoHeight(TcxCustomRow* ARow);
  virtual Integer GetRowHeight(TcxCustomRowViewInfo* ARowViewInfo, Integer ABandWidth);
  virtual Integer GetViewBandWidth();
  virtual Integer GetViewHeaderWidth();
  // One indent (and line) per level shown, and one pixel.
  virtual Integer GetViewMinHeaderWidth();
  virtual Integer GetViewValueWidth();
  virtual Integer GetVisibleValueCount();
  virtual void LayoutStyleChanged();
  // The editor's cell is no longer laid out: hidden until placed again.
  virtual void Reset();
  // The header and the value parts of a row spread over its rectangle;
  // the caller frees the scaler.
  virtual TRectScaler* ScaleRowRects(TcxCustomRowViewInfo* ARowViewInfo);
  virtual void SetDividerPos(Integer X);
  virtual void SetValueWidth(Integer W);
  virtual void CalcEditCell(const TRect& ABounds, TcxRowValueInfo* AValueInfo);
  // Recalculates the two rows (and what hangs on them) and repaints them
  // without a new layout.
  virtual void ChangeFocusedRow(TcxCustomRow* ANewRow, TcxCustomRow* AOldRow);
  virtual Integer GetDefaultGridModeBufferCount();
  virtual TRect GetValueRect(Integer AValueIndex, TcxCustomRowViewInfo* ARowViewInfo);
  virtual TRect GetValuesRect(TcxCustomRowViewInfo* ARowViewInfo);
  virtual void UpdateRecord(Integer ARecordIndex);

  // ---- The rows on show ----
  // Brings the list of rows on show and their visible indexes up to date:
  // nothing when the tree did not change, an extension when rows were
  // only appended at its end, else a walk of the tree.
  void UpdateVisibleRows();
  TcxCustomRow* GetVisibleRow(Integer AIndex);
  Integer GetVisibleRowCount();
  // The placed row view info of a row; none when the row is not placed.
  TcxCustomRowViewInfo* GetRowViewInfo(TcxCustomRow* ARow);
  // The row's view info, made when it has none (for measuring a row that
  // is not placed).
  TcxCustomRowViewInfo* EnsureRowViewInfo(TcxCustomRow* ARow);
  Integer GetFirstVisibleRecordIndex();
  TcxvgScroller* GetScroller();
  Integer CalcRowHeight(TcxCustomRow* ARow);
  // The row's height in this layout: as placed, else measured (a row view
  // info is made only when the row's value decides its height).
  Integer MeasureRowHeight(TcxCustomRow* ARow);

  // A rectangle a focus move laid out again; each is repainted on its own,
  // so that the rows between two focused rows are left alone.
  void AddChangedRect(const TRect& R) { FChangedRects.push_back(R); }

  // ---- Row view infos register here, so that none outlives the layout ----
  void RowViewInfoCreated(TcxCustomRowViewInfo* ARowViewInfo);
  void RowViewInfoDestroying(TcxCustomRowViewInfo* ARowViewInfo);

  // ---- What the layout worked out ----
  TcxvgCustomPaintStyleCalcHelper* GetCalcHelper() const { return FCalcHelper; }
  TcxCustomVerticalGrid* GetVerticalGrid() const;
  Integer GetDividerWidth() const { return FDividerWidth; }
  Integer GetHorzLineWidth() const { return FHorzLineWidth; }
  Integer GetVertLineWidth() const { return FVertLineWidth; }
  Integer GetIndentWidth() const { return FIndentWidth; }
  Integer GetMinRowHeight() const { return FMinRowHeight; }
  TBrush* GetHorzLineBrush() const { return FHorzLineBrush; }
  TBrush* GetVertLineBrush() const { return FVertLineBrush; }
  TColor GetBandBorderColor() const { return FBandBorderColor; }
  TLineInfoList* GetLinesInfo() const { return FLinesInfo; }
  TLineInfoList* GetFocusLinesInfo() const { return FFocusLinesInfo; }
  TViewRects* GetViewRects() const { return FViewRects; }
  const std::vector<TcxCustomRowViewInfo*>& GetRowsViewInfo() const { return FRowsViewInfo; }
  const TRect& GetClientRect() const { return FClientRect; }
  const TSize& GetImageSize() const { return FImageSize; }
  const TSize& GetExplorerButtonSize() const { return FExplorerButtonSize; }
  bool GetUseCategoryExplorerStyle() const { return FUseCategoryExplorerStyle; }
  bool GetShowHeaders() const { return FShowHeaders; }
  Integer GetExpandButtonSize() const { return FExpandButtonSize; }
  Integer GetValueOffset() const { return FValueOffset; }
  Integer GetBandsInterval() const { return FBandsInterval; }
  Integer GetRowHeaderMinWidth() const { return FRowHeaderMinWidth; }
  Integer GetMinBandWidth() const { return FMinBandWidth; }

  // The band, header and value widths of the last layout; 0 before it.
  Integer ViewBandWidth = 0;
  Integer ViewHeaderWidth = 0;
  Integer ViewValueWidth = 0;
  // The deepest Level among the rows shown.
  Integer MaxVisibleLevel = 0;
  // True until the grid has its window, and again while it loads.
  bool IsInitializing = true;

  // The bottom and right lines of a value cell; the last one is cut at the
  // client's right edge.
  void AddRectValueLines(const TRect& R, bool ALast);

 protected:
  void AddBottomValueSide(const TRect& R);
  void CalcCategoryExplorerStyle();
  bool CheckShowRowHeader(TcxCustomRowViewInfo* ARowViewInfo);
  virtual Integer GetMinRowHeightValue();
  // Frees the geometry of rows that were not placed in this pass.
  void ReleaseUnplacedRows();

 private:
  friend class TcxCustomRowViewInfo;
  void AppendVisibleRows(TcxCustomRow* AFrom);
  bool IsShowableRow(TcxCustomRow* ARow);

  TColor FBandBorderColor = clNone;
  Integer FMinBandWidth = 0;
  Integer FBandsInterval = 0;
  Integer FExpandButtonSize = 0;
  TcxvgCustomPaintStyleCalcHelper* FCalcHelper = nullptr;
  TRect FClientRect{};
  Integer FDividerWidth = 0;
  TSize FExplorerButtonSize{};
  bool FUseCategoryExplorerStyle = false;
  TLineInfoList* FFocusLinesInfo = nullptr;
  Integer FValueOffset = 0;
  TBrush* FHorzLineBrush = nullptr;
  Integer FHorzLineWidth = 1;
  TSize FImageSize{};
  TLineInfoList* FLinesInfo = nullptr;
  Integer FRowHeaderMinWidth = 0;
  Integer FIndentWidth = 0;
  Integer FMinRowHeight = 0;
  std::vector<TcxCustomRowViewInfo*> FRowsViewInfo;
  bool FShowHeaders = true;
  TBrush* FVertLineBrush = nullptr;
  Integer FVertLineWidth = 1;
  TViewRects* FViewRects = nullptr;
  std::vector<TcxCustomRow*> FVisibleRows;
  std::vector<TRect> FChangedRects;
  // Every row view info alive; those not placed by a pass go after it.
  std::vector<TcxCustomRowViewInfo*> FLiveRowViewInfos;
  // The tree versions the visible rows were worked out at, and the last
  // row of the tree order seen then.
  Integer FVisibleRowsVersion = -1;
  TcxCustomRow* FLastWalkedRow = nullptr;
};

using TcxvgCustomViewInfoClass = TClassRef<TcxvgCustomViewInfo>;

// The single-record layout: one band of rows with one value column.
class TcxInspectorViewInfo : public TcxvgCustomViewInfo {
  ORV_CLASS(TcxInspectorViewInfo, TcxvgCustomViewInfo)
 public:
  explicit TcxInspectorViewInfo(TcxEditingControl* AControl) : TcxvgCustomViewInfo(AControl) {}
  void AddEmptyRects() override {}
  // At least max(AValueMinWidth, 4) pixels stay for the value column once
  // a band width is known.
  void CheckMaxRowHeaderWidth(Integer& AWidth, Integer AValueMinWidth) override;
  // What the band leaves after the header, the divider and the two sides.
  Integer GetViewValueWidth() override;
  Integer GetVisibleValueCount() override { return 1; }
};

// The bands and multi-record layouts are in cxVGridLayoutViewInfo.h.
