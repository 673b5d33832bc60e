#include "library/grid/cxVGridViewInfo.h"

#include <algorithm>

#include "library/grid/cxVGrid.h"

ORV_REGISTER(TcxvgCustomPaintStyleCalcHelper)
ORV_REGISTER(TcxvgDotNetStyleCalcHelper)
ORV_REGISTER(TcxvgStyle3DCalcHelper)
ORV_REGISTER(TcxvgCustomViewInfo)
ORV_REGISTER(TcxInspectorViewInfo)
ORV_REGISTER(TcxBandsViewInfo)

// ---------------------------------------------------------------------------
// Paint-style calculators

TcxvgCustomPaintStyleCalcHelper::TcxvgCustomPaintStyleCalcHelper(TcxvgCustomViewInfo* AViewInfo)
    : FViewInfo(AViewInfo), FVerticalGrid(AViewInfo->GetVerticalGrid()) {}

TcxCustomLookAndFeelPainterClass TcxvgCustomPaintStyleCalcHelper::Painter() {
  return FVerticalGrid->GetLookAndFeelPainter();
}

TColor TcxvgCustomPaintStyleCalcHelper::GetBandBorderColor() {
  return FVerticalGrid->GetOptionsView()->GetGridLineColor();
}

namespace {
TBrush* SolidBrush(TColor AColor) {
  auto* brush = New<TBrush>();
  brush->SetColor(AColor);
  return brush;
}
}  // namespace

TBrush* TcxvgDotNetStyleCalcHelper::CreateHorzLineBrush() { return SolidBrush(GetBandBorderColor()); }
TBrush* TcxvgDotNetStyleCalcHelper::CreateVertLineBrush() { return SolidBrush(GetBandBorderColor()); }
Integer TcxvgDotNetStyleCalcHelper::GetIndentWidth() { return Painter()->ExpandButtonSize() + 4; }
TColor TcxvgDotNetStyleCalcHelper::GetCategoryColor() { return Painter()->DefaultHeaderColor(); }
TColor TcxvgDotNetStyleCalcHelper::GetContentColor(bool) { return Painter()->DefaultContentColor(); }
TColor TcxvgDotNetStyleCalcHelper::GetContentTextColor() { return Painter()->DefaultContentTextColor(); }
TColor TcxvgDotNetStyleCalcHelper::GetHeaderColor() { return Painter()->DefaultContentColor(); }
TColor TcxvgDotNetStyleCalcHelper::GetHeaderTextColor() { return Painter()->DefaultContentTextColor(); }

TBrush* TcxvgStyle3DCalcHelper::CreateHorzLineBrush() {
  return cxCreateHalftoneBrush(GetBandBorderColor(), clBtnFace);
}
TBrush* TcxvgStyle3DCalcHelper::CreateVertLineBrush() {
  return cxCreateHalftoneBrush(GetBandBorderColor(), clBtnFace);
}
Integer TcxvgStyle3DCalcHelper::GetIndentWidth() { return Painter()->ExpandButtonSize() + 4; }
TColor TcxvgStyle3DCalcHelper::GetCategoryColor() { return Painter()->DefaultHeaderColor(); }
TColor TcxvgStyle3DCalcHelper::GetCategoryTextColor() { return Painter()->DefaultHeaderTextColor(); }
TColor TcxvgStyle3DCalcHelper::GetContentColor(bool AFocused) {
  return AFocused ? Painter()->DefaultContentColor() : Painter()->DefaultHeaderColor();
}
TColor TcxvgStyle3DCalcHelper::GetHeaderColor() { return Painter()->DefaultHeaderColor(); }
TColor TcxvgStyle3DCalcHelper::GetHeaderTextColor() { return Painter()->DefaultHeaderTextColor(); }

// ---------------------------------------------------------------------------
// The view info

TcxCustomVerticalGrid* TcxvgCustomViewInfo::GetVerticalGrid() const {
  return static_cast<TcxCustomVerticalGrid*>(GetControl());
}

void TcxvgCustomViewInfo::AfterConstruction() {
  inherited::AfterConstruction();
  FCalcHelper =
      TcxvgCustomPaintStyleCalcHelperClass(GetVerticalGrid()->GetCalcHelperClass()).Construct<TcxvgCustomViewInfo*>(this);
  CalcLayoutGeneral();
}

TcxvgCustomViewInfo::~TcxvgCustomViewInfo() { FreeAndNil(FCalcHelper); }

void TcxvgCustomViewInfo::CalcLayoutGeneral() {
  TcxvgOptionsView* options = GetVerticalGrid()->GetOptionsView();
  if (!options) return;
  const TcxvgGridLines lines = options->GetGridLines();
  FHorzLineWidth = lines == vglHorizontal || lines == vglBoth ? 1 : 0;
  FVertLineWidth = lines == vglVertical || lines == vglBoth ? 1 : 0;
  FDividerWidth = FVertLineWidth >= 1 && options->GetShowHeaders() ? FCalcHelper->GetDividerWidth() : 0;
  FIndentWidth = FCalcHelper->GetIndentWidth();
}

Integer TcxvgCustomViewInfo::CalculateDefaultEditHeight() {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  Integer height = cxScreenCanvas()->FontHeight(grid->GetFont()) + 4;
  if (TcxvgOptionsView* options = grid->GetOptionsView())
    if (options->GetRowHeight() >= 0) height = std::max(height, options->GetRowHeight());
  return height;
}

void TcxvgCustomViewInfo::DoCalculate() {
  CalcLayoutGeneral();
  for (TcxEditCellViewInfo* cell : std::vector<TcxEditCellViewInfo*>(FEditCellViewInfoList)) PlaceFocusedValueCell(cell);
}

TcxEditCellViewInfo* TcxvgCustomViewInfo::GetFocusedValueCell(TcxCustomInplaceEditContainer* AItem) {
  if (!AItem) return nullptr;
  for (TcxEditCellViewInfo* cell : FEditCellViewInfoList)
    if (cell->GetEditContainer() == AItem) return cell;
  ClearEditCellViewInfos();
  TcxEditCellViewInfo* cell = AddEditCellViewInfo(TcxEditCellViewInfo::StaticClass(), AItem);
  PlaceFocusedValueCell(cell);
  return cell;
}

void TcxvgCustomViewInfo::PlaceFocusedValueCell(TcxEditCellViewInfo* ACell) {
  TcxvgOptionsView* options = GetVerticalGrid()->GetOptionsView();
  const Integer left = Bounds.Left + (options->GetShowHeaders() ? options->GetRowHeaderWidth() + FDividerWidth : 0);
  const TRect line(std::min(left, Bounds.Right), Bounds.Top, Bounds.Right, Bounds.Top + CalculateDefaultEditHeight());
  ACell->Visible = true;
  ACell->SetBounds(line, Bounds);
  ACell->EditRect = ACell->InnerRect;
}

Integer TcxvgCustomViewInfo::GetViewMinHeaderWidth() {
  return (FIndentWidth + FVertLineWidth) * (MaxVisibleLevel + 1) + 1;
}

void TcxInspectorViewInfo::CheckMaxRowHeaderWidth(Integer& AWidth, Integer AValueMinWidth) {
  if (ViewBandWidth > 0) AWidth = std::min(AWidth, ViewBandWidth - std::max(AValueMinWidth, 4));
}
