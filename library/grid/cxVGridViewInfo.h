// The vertical grid's view info and its paint-style calculators. The view
// info turns the row tree, the options and the bounds into geometry; the
// calculator of the paint style gives the style's divider and indent
// widths and the default colours that the grid's styles fall back on.
// TcxInspectorViewInfo is the single-record layout, TcxBandsViewInfo the
// bands layout.
#pragma once

#include "library/grid/cxVGridControl.h"
#include "library/grid/cxVGridUtils.h"

class TcxvgCustomViewInfo;

// ---------------------------------------------------------------------------
// Paint-style calculators.

class TcxvgCustomPaintStyleCalcHelper : public TObject {
  ORV_CLASS(TcxvgCustomPaintStyleCalcHelper, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxvgCustomViewInfo*)>;
  explicit TcxvgCustomPaintStyleCalcHelper(TcxvgCustomViewInfo* AViewInfo);

  // The grid's line colour.
  virtual TColor GetBandBorderColor();
  virtual TBrush* CreateHorzLineBrush() = 0;
  virtual TBrush* CreateVertLineBrush() = 0;
  virtual Integer GetDividerWidth() = 0;
  virtual Integer GetIndentWidth() = 0;
  virtual TColor GetCategoryColor() = 0;
  virtual TColor GetCategoryTextColor() = 0;
  virtual TColor GetContentColor(bool AFocused) = 0;
  virtual TColor GetContentTextColor() = 0;
  virtual TColor GetHeaderColor() = 0;
  virtual TColor GetHeaderTextColor() = 0;
  virtual bool IsDrawValueFocusRect() = 0;

  TcxvgCustomViewInfo* GetViewInfo() const { return FViewInfo; }
  TcxCustomVerticalGrid* GetVerticalGrid() const { return FVerticalGrid; }

 protected:
  TcxCustomLookAndFeelPainterClass Painter();

 private:
  TcxvgCustomViewInfo* FViewInfo;
  TcxCustomVerticalGrid* FVerticalGrid;
};

using TcxvgCustomPaintStyleCalcHelperClass = TClassRef<TcxvgCustomPaintStyleCalcHelper>;

// The flat look: solid lines, a one-pixel divider.
class TcxvgDotNetStyleCalcHelper : public TcxvgCustomPaintStyleCalcHelper {
  ORV_CLASS(TcxvgDotNetStyleCalcHelper, TcxvgCustomPaintStyleCalcHelper)
 public:
  explicit TcxvgDotNetStyleCalcHelper(TcxvgCustomViewInfo* AViewInfo) : TcxvgCustomPaintStyleCalcHelper(AViewInfo) {}
  TBrush* CreateHorzLineBrush() override;
  TBrush* CreateVertLineBrush() override;
  Integer GetDividerWidth() override { return 1; }
  Integer GetIndentWidth() override;
  TColor GetCategoryColor() override;
  TColor GetCategoryTextColor() override { return clGrayText; }
  TColor GetContentColor(bool AFocused) override;
  TColor GetContentTextColor() override;
  TColor GetHeaderColor() override;
  TColor GetHeaderTextColor() override;
  bool IsDrawValueFocusRect() override { return true; }
};

// The three-dimensional look: half-tone lines, a two-pixel divider.
class TcxvgStyle3DCalcHelper : public TcxvgCustomPaintStyleCalcHelper {
  ORV_CLASS(TcxvgStyle3DCalcHelper, TcxvgCustomPaintStyleCalcHelper)
 public:
  explicit TcxvgStyle3DCalcHelper(TcxvgCustomViewInfo* AViewInfo) : TcxvgCustomPaintStyleCalcHelper(AViewInfo) {}
  TBrush* CreateHorzLineBrush() override;
  TBrush* CreateVertLineBrush() override;
  Integer GetDividerWidth() override { return 2; }
  Integer GetIndentWidth() override;
  TColor GetCategoryColor() override;
  TColor GetCategoryTextColor() override;
  TColor GetContentColor(bool AFocused) override;
  TColor GetContentTextColor() override { return clNavy; }
  TColor GetHeaderColor() override;
  TColor GetHeaderTextColor() override;
  bool IsDrawValueFocusRect() override { return false; }
};

// ---------------------------------------------------------------------------
// The view info. What it computes here is what the grid's options and
// header width need: the calculator, the divider and the minimal widths;
// the rows are laid out by the layouts built on it.

class TcxvgCustomViewInfo : public TcxCustomControlViewInfo {
  ORV_CLASS(TcxvgCustomViewInfo, TcxCustomControlViewInfo)
 public:
  explicit TcxvgCustomViewInfo(TcxEditingControl* AControl) : TcxCustomControlViewInfo(AControl) {}
  // The calculator comes from the grid's class factory.
  void AfterConstruction() override;
  ~TcxvgCustomViewInfo() override;

  Integer CalculateDefaultEditHeight() override;
  void DoCalculate() override;

  // Line widths, divider and indent from the options and the calculator.
  virtual void CalcLayoutGeneral();
  // Lowers a header width so that the values keep their room; the base
  // lowers nothing.
  virtual void CheckMaxRowHeaderWidth(Integer&, Integer) {}
  // One indent (and line) per level shown, and one pixel.
  virtual Integer GetViewMinHeaderWidth();
  virtual void LayoutStyleChanged() {}
  // The rows on show changed while the grid was locked.
  virtual void UpdateVisibleRows() {}
  // The value cell the focused item is edited in: until the rows are laid
  // out, one cell in the value column of the first line, made for the item
  // on demand.
  virtual TcxEditCellViewInfo* GetFocusedValueCell(TcxCustomInplaceEditContainer* AItem);

  TcxvgCustomPaintStyleCalcHelper* GetCalcHelper() const { return FCalcHelper; }
  TcxCustomVerticalGrid* GetVerticalGrid() const;
  Integer GetDividerWidth() const { return FDividerWidth; }
  Integer GetHorzLineWidth() const { return FHorzLineWidth; }
  Integer GetVertLineWidth() const { return FVertLineWidth; }
  Integer GetIndentWidth() const { return FIndentWidth; }
  // The band width of the last layout; 0 before the first.
  Integer ViewBandWidth = 0;
  // The deepest Level among the rows shown.
  Integer MaxVisibleLevel = 0;
  // True until the grid has its window, and again while it loads.
  bool IsInitializing = true;

 private:
  TcxvgCustomPaintStyleCalcHelper* FCalcHelper = nullptr;
  Integer FDividerWidth = 0;
  Integer FHorzLineWidth = 1;
  Integer FVertLineWidth = 1;
  Integer FIndentWidth = 0;
  void PlaceFocusedValueCell(TcxEditCellViewInfo* ACell);
};

using TcxvgCustomViewInfoClass = TClassRef<TcxvgCustomViewInfo>;

class TcxInspectorViewInfo : public TcxvgCustomViewInfo {
  ORV_CLASS(TcxInspectorViewInfo, TcxvgCustomViewInfo)
 public:
  explicit TcxInspectorViewInfo(TcxEditingControl* AControl) : TcxvgCustomViewInfo(AControl) {}
  // At least max(AValueMinWidth, 4) pixels stay for the value column once
  // a band width is known.
  void CheckMaxRowHeaderWidth(Integer& AWidth, Integer AValueMinWidth) override;
};

class TcxBandsViewInfo : public TcxvgCustomViewInfo {
  ORV_CLASS(TcxBandsViewInfo, TcxvgCustomViewInfo)
 public:
  explicit TcxBandsViewInfo(TcxEditingControl* AControl) : TcxvgCustomViewInfo(AControl) {}
};
