#include "library/grid/vgrid/cxVGridViewInfo.h"

#include <algorithm>

#include "library/foundation/dxThemeManager.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxvgCustomPaintStyleCalcHelper)
ORV_REGISTER(TcxvgDotNetStyleCalcHelper)
ORV_REGISTER(TcxvgStyle3DCalcHelper)
ORV_REGISTER(TcxvgCustomViewInfo)
ORV_REGISTER(TcxInspectorViewInfo)

namespace {

// The explorer bar's parts: the group head and the group's expand glyph.
constexpr int kExplorerGroupExpand = 7;

TBrush* SolidBrush(TColor AColor) {
  auto* brush = New<TBrush>();
  brush->SetColor(AColor);
  return brush;
}

TcxCustomRowViewInfo* RowViewInfoOf(TcxCustomRow* ARow) {
  return ARow ? static_cast<TcxCustomRowViewInfo*>(ARow->GetViewInfo()) : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Paint-style calculators

TcxvgCustomPaintStyleCalcHelper::TcxvgCustomPaintStyleCalcHelper(TcxvgCustomViewInfo* AViewInfo)
    : FViewInfo(AViewInfo), FVerticalGrid(AViewInfo->GetVerticalGrid()) {}

TcxCustomLookAndFeelPainterClass TcxvgCustomPaintStyleCalcHelper::Painter() {
  return FVerticalGrid->GetLookAndFeelPainter();
}

TcxvgScroller* TcxvgCustomPaintStyleCalcHelper::GetScroller() const { return FViewInfo->GetScroller(); }

TColor TcxvgCustomPaintStyleCalcHelper::GetBandBorderColor() {
  return FVerticalGrid->GetOptionsView()->GetGridLineColor();
}

TBrush* TcxvgDotNetStyleCalcHelper::CreateHorzLineBrush() { return SolidBrush(GetBandBorderColor()); }
TBrush* TcxvgDotNetStyleCalcHelper::CreateVertLineBrush() { return SolidBrush(GetBandBorderColor()); }
Integer TcxvgDotNetStyleCalcHelper::GetIndentWidth() { return Painter()->ExpandButtonSize() + 4; }
TColor TcxvgDotNetStyleCalcHelper::GetCategoryColor() { return Painter()->DefaultHeaderColor(); }
TColor TcxvgDotNetStyleCalcHelper::GetContentColor(bool) { return Painter()->DefaultContentColor(); }
TColor TcxvgDotNetStyleCalcHelper::GetContentTextColor() { return Painter()->DefaultContentTextColor(); }
TColor TcxvgDotNetStyleCalcHelper::GetHeaderColor() { return Painter()->DefaultContentColor(); }
TColor TcxvgDotNetStyleCalcHelper::GetHeaderTextColor() { return Painter()->DefaultContentTextColor(); }

// The line under the captions, from the indents to the header's right.
void TcxvgDotNetStyleCalcHelper::AddBoundHeaderLines(TcxCustomRowHeaderInfo* H) {
  H->AddBottomHorzLine(TRect(H->IndentBounds.Right, H->IndentBounds.Top, H->HeaderRect.Right,
                             H->IndentBounds.Bottom));
}

void TcxvgDotNetStyleCalcHelper::AddDivider(TLineInfoList* ALines, const TRect& R, TColor, bool) {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  if (viewInfo->GetDividerWidth() < 1) return;
  ALines->Add(R.Right, R.Top, viewInfo->GetVertLineWidth(), cxRectHeight(R) + viewInfo->GetHorzLineWidth(),
              viewInfo->GetVertLineBrush());
}

void TcxvgDotNetStyleCalcHelper::AddHeaderIndentLines(TcxCustomRowHeaderInfo* H, const TRect& R,
                                                      const TcxViewParams& AViewParams, bool, bool AUnderline,
                                                      bool ARightLine) {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  if (!viewInfo->GetShowHeaders()) return;
  const Integer V = viewInfo->GetVertLineWidth(), HL = viewInfo->GetHorzLineWidth();
  TLineInfoList* lines = H->GetLinesInfo();
  if (ARightLine && V >= 1) lines->Add(R.Right - V, R.Top, V, cxRectHeight(R) + HL, viewInfo->GetVertLineBrush());
  if (HL < 1) return;
  const Integer W = cxRectWidth(R) - (ARightLine ? V : 0);
  if (AUnderline)
    lines->Add(R.Left, R.Bottom, W, HL, viewInfo->GetHorzLineBrush());
  else if (AViewParams.Bitmap && !AViewParams.Bitmap->Empty())
    // The strip continues the indent's picture into the next row.
    H->GetRowIndents()->Add(cxRectBounds(R.Left, R.Bottom, W, HL), AViewParams);
  else
    lines->Add(R.Left, R.Bottom, W, HL, AViewParams.Color);
}

TcxViewParams TcxvgDotNetStyleCalcHelper::GetIndentViewParams(TcxCustomRow* ARow, TcxCustomRow* AIndentRow) {
  TcxCustomRowViewInfo* rowViewInfo = RowViewInfoOf(AIndentRow);
  if (!rowViewInfo) rowViewInfo = GetViewInfo()->EnsureRowViewInfo(AIndentRow);
  TcxCustomRowHeaderInfo* header = rowViewInfo->GetHeaderInfo();
  if (AIndentRow == ARow) return header->GetCaptionViewParams();
  // An ancestor above the top row was not laid out in this pass.
  if (AIndentRow->GetVisibleIndex() < GetScroller()->GetTopVisibleRowIndex() || !rowViewInfo->Placed)
    header->CalcViewParams(false);
  return header->GetCaptionViewParams();
}

TRect TcxvgDotNetStyleCalcHelper::GetCategoryFocusRect(TcxCustomRowHeaderInfo* H) {
  if (!H->Focused || H->GetCaptionCount() == 0) return cxNullRect;
  TcxRowCaptionInfo* caption = H->GetCaption(0);
  if (caption->Caption.empty()) return cxNullRect;
  TRect T = caption->CaptionTextRect;
  TcxCanvas* canvas = cxScreenCanvas();
  canvas->SetFont(caption->ViewParams.Font);
  const TSize extent = canvas->TextExtent(caption->Caption);
  const Integer align = caption->TextFlags & 3;
  if (align == 0)
    T.Right = T.Left + extent.cx;
  else if (align == 2)
    T.Left = T.Right - extent.cx;
  else
    T = cxRectSetXPos(T, T.Left + (cxRectWidth(T) - extent.cx) / 2, T.Left + (cxRectWidth(T) - extent.cx) / 2 + extent.cx);
  const Integer valign = caption->TextFlags & 0x30;
  if (valign == 0)
    T.Bottom = T.Top + extent.cy;
  else if (valign == 0x20)
    T.Top = T.Bottom - extent.cy;
  else
    T = cxRectSetYPos(T, T.Top + (cxRectHeight(T) - extent.cy) / 2, T.Top + (cxRectHeight(T) - extent.cy) / 2 + extent.cy);
  TRect result;
  if (!cxRectIntersect(result, cxRectInflate(T, 1, 1), H->HeaderRect)) return cxNullRect;
  return result;
}

// The two rows are laid out again where they are; once a category's header
// changed colour, its rows on show below it follow (their indents carry
// the category's colour).
void TcxvgDotNetStyleCalcHelper::ChangeFocusedRow(TcxCustomRow* ANewRow, TcxCustomRow* AOldRow, TRect& R) {
  R = cxNullRect;
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  bool categoryChanged = false;
  for (TcxCustomRow* row : {ANewRow, AOldRow}) {
    TcxCustomRowViewInfo* rowViewInfo = viewInfo->GetRowViewInfo(row);
    if (!rowViewInfo) continue;
    const TColor before = rowViewInfo->GetHeaderInfo()->GetCaptionViewParams().Color;
    R = cxRectIsEmpty(R) ? rowViewInfo->RowRect : cxRectUnion(R, rowViewInfo->RowRect);
    viewInfo->AddChangedRect(rowViewInfo->RowRect);
    TcxCustomRow* next = viewInfo->GetVisibleRow(row->GetVisibleIndex() + 1);
    rowViewInfo->Calc(rowViewInfo->RowRect, viewInfo, next);
    if (dynamic_cast<TcxCategoryRow*>(row) && rowViewInfo->GetHeaderInfo()->GetCaptionViewParams().Color != before)
      categoryChanged = true;
    if (!categoryChanged) continue;
    for (Integer i = row->GetVisibleIndex() + 1;; ++i) {
      TcxCustomRow* child = viewInfo->GetVisibleRow(i);
      if (!child || !row->IsParent(child)) break;
      TcxCustomRowViewInfo* childViewInfo = viewInfo->GetRowViewInfo(child);
      if (!childViewInfo) {
        if (child->GetVisibleIndex() >= GetScroller()->GetTopVisibleRowIndex()) break;
        continue;
      }
      childViewInfo->GetHeaderInfo()->Calc(childViewInfo->GetHeaderInfo()->HeaderRect, viewInfo,
                                           viewInfo->GetVisibleRow(i + 1), true);
      R = cxRectUnion(R, childViewInfo->GetHeaderInfo()->HeaderRect);
      viewInfo->AddChangedRect(childViewInfo->GetHeaderInfo()->HeaderRect);
    }
  }
}

TBrush* TcxvgStyle3DCalcHelper::CreateHorzLineBrush() { return cxCreateHalftoneBrush(GetBandBorderColor(), clBtnFace); }
TBrush* TcxvgStyle3DCalcHelper::CreateVertLineBrush() { return cxCreateHalftoneBrush(GetBandBorderColor(), clBtnFace); }
Integer TcxvgStyle3DCalcHelper::GetIndentWidth() { return Painter()->ExpandButtonSize() + 4; }
TColor TcxvgStyle3DCalcHelper::GetCategoryColor() { return Painter()->DefaultHeaderColor(); }
TColor TcxvgStyle3DCalcHelper::GetCategoryTextColor() { return Painter()->DefaultHeaderTextColor(); }
TColor TcxvgStyle3DCalcHelper::GetContentColor(bool AFocused) {
  return AFocused ? Painter()->DefaultContentColor() : Painter()->DefaultHeaderColor();
}
TColor TcxvgStyle3DCalcHelper::GetHeaderColor() { return Painter()->DefaultHeaderColor(); }
TColor TcxvgStyle3DCalcHelper::GetHeaderTextColor() { return Painter()->DefaultHeaderTextColor(); }

// The line under the whole header, indents included.
void TcxvgStyle3DCalcHelper::AddBoundHeaderLines(TcxCustomRowHeaderInfo* H) {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  const Integer HL = viewInfo->GetHorzLineWidth();
  if (HL >= 1)
    H->GetLinesInfo()->Add(H->HeaderRect.Left, H->HeaderRect.Bottom, cxRectWidth(H->HeaderRect), HL,
                           viewInfo->GetHorzLineBrush());
}

// A raised divider: shadow, then highlight; as a separator between cells,
// shorter, with squares of the cell colour at its ends.
void TcxvgStyle3DCalcHelper::AddDivider(TLineInfoList* ALines, const TRect& R, TColor AColor, bool AIsSeparator) {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  if (viewInfo->GetDividerWidth() <= 0) return;
  const Integer HL = viewInfo->GetHorzLineWidth();
  if (!AIsSeparator) {
    ALines->Add(R.Right, R.Top, 1, cxRectHeight(R) + HL, clBtnShadow);
    ALines->Add(R.Right + 1, R.Top, 1, cxRectHeight(R) + HL, clBtnHighlight);
    return;
  }
  ALines->Add(R.Right, R.Top, 2, 2, AColor);
  ALines->Add(R.Right, R.Bottom - 2, 2, 2, AColor);
  ALines->Add(R.Right, R.Top + 2, 1, cxRectHeight(R) + HL - 5, clBtnShadow);
  ALines->Add(R.Right + 1, R.Top + 2, 1, cxRectHeight(R) + HL - 5, clBtnHighlight);
}

void TcxvgStyle3DCalcHelper::CalcPaintViewParamsLines(TcxCustomRowViewInfo* ARowViewInfo, TcxCustomRow* ANextRow) {
  TcxCustomRow* focused = GetVerticalGrid()->GetFocusedRow();
  if (!focused) return;
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  TLineInfoList* lines = viewInfo->GetFocusLinesInfo();
  const TRect& r = ARowViewInfo->RowRect;
  const Integer W = cxRectWidth(r);
  if (ANextRow == focused &&
      GetScroller()->GetBandIndexByRowIndex(ANextRow->GetVisibleIndex()) == ARowViewInfo->BandIndex) {
    lines->Add(r.Left, r.Bottom - 1, W, 1, cl3DDkShadow);
    lines->Add(r.Left + 1, r.Bottom, W - 1, 1, clBtnShadow);
  }
  if (ARowViewInfo->GetRow() == focused) {
    lines->Add(r.Left, r.Bottom - 1, W, 1, clBtnFace);
    lines->Add(r.Left, r.Bottom, W, 1, clBtnHighlight);
    lines->Add(r.Left, r.Top - 1, 1, r.Bottom - r.Top + 1, cl3DDkShadow);
    lines->Add(r.Left + 1, r.Top, 1, r.Bottom - r.Top - 1, clBtnShadow);
  }
}

TcxViewParams TcxvgStyle3DCalcHelper::GetIndentViewParams(TcxCustomRow* ARow, TcxCustomRow*) {
  TcxCustomRowViewInfo* rowViewInfo = RowViewInfoOf(ARow);
  if (!rowViewInfo) rowViewInfo = GetViewInfo()->EnsureRowViewInfo(ARow);
  return rowViewInfo->GetHeaderInfo()->GetCaptionViewParams();
}

// The focus lines are worked out again for the two rows and the rows
// above them, which draw the dark edge over a focused row.
void TcxvgStyle3DCalcHelper::ChangeFocusedRow(TcxCustomRow* ANewRow, TcxCustomRow* AOldRow, TRect& R) {
  R = cxNullRect;
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  viewInfo->GetFocusLinesInfo()->Clear();
  auto place = [&](TcxCustomRowViewInfo* ARowViewInfo) {
    R = cxRectIsEmpty(R) ? ARowViewInfo->RowRect : cxRectUnion(R, ARowViewInfo->RowRect);
    viewInfo->AddChangedRect(ARowViewInfo->RowRect);
    TcxCustomRow* next = viewInfo->GetVisibleRow(ARowViewInfo->GetRow()->GetVisibleIndex() + 1);
    ARowViewInfo->Calc(ARowViewInfo->RowRect, viewInfo, next);
  };
  for (TcxCustomRow* row : {ANewRow, AOldRow}) {
    TcxCustomRowViewInfo* rowViewInfo = viewInfo->GetRowViewInfo(row);
    if (!rowViewInfo) continue;
    place(rowViewInfo);
    if (TcxCustomRowViewInfo* previous = viewInfo->GetRowViewInfo(viewInfo->GetVisibleRow(row->GetVisibleIndex() - 1)))
      place(previous);
  }
  // The focus lines of the rows that did not move are kept by the list
  // being emptied: lay out every placed row's lines again.
  for (TcxCustomRowViewInfo* rowViewInfo : viewInfo->GetRowsViewInfo())
    if (rowViewInfo->GetRow() != ANewRow && rowViewInfo->GetRow() != AOldRow)
      CalcPaintViewParamsLines(rowViewInfo, viewInfo->GetVisibleRow(rowViewInfo->GetRow()->GetVisibleIndex() + 1));
  if (viewInfo->GetHorzLineWidth() == 0) ++R.Bottom;
}

// ---------------------------------------------------------------------------
// The view info

TcxvgCustomViewInfo::TcxvgCustomViewInfo(TcxEditingControl* AControl) : TcxCustomControlViewInfo(AControl) {
  FRowsViewInfo.reserve(1024);
}

TcxCustomVerticalGrid* TcxvgCustomViewInfo::GetVerticalGrid() const {
  return static_cast<TcxCustomVerticalGrid*>(GetControl());
}

void TcxvgCustomViewInfo::AfterConstruction() {
  inherited::AfterConstruction();
  FLinesInfo = New<TLineInfoList>();
  FFocusLinesInfo = New<TLineInfoList>();
  FViewRects = New<TViewRects>();
  FCalcHelper =
      TcxvgCustomPaintStyleCalcHelperClass(GetVerticalGrid()->GetCalcHelperClass()).Construct<TcxvgCustomViewInfo*>(this);
  CalcLayoutGeneral();
}

TcxvgCustomViewInfo::~TcxvgCustomViewInfo() {
  Clear();
  // No row keeps geometry of a layout that is gone.
  while (!FLiveRowViewInfos.empty()) FLiveRowViewInfos.back()->Free();
  DestroyBrushes();
  FreeAndNil(FCalcHelper);
  FreeAndNil(FLinesInfo);
  FreeAndNil(FFocusLinesInfo);
  FreeAndNil(FViewRects);
}

TcxvgScroller* TcxvgCustomViewInfo::GetScroller() {
  TcxvgController* controller = GetVerticalGrid()->GetVGController();
  return controller ? controller->GetScroller() : nullptr;
}

void TcxvgCustomViewInfo::RowViewInfoCreated(TcxCustomRowViewInfo* ARowViewInfo) {
  FLiveRowViewInfos.push_back(ARowViewInfo);
}

void TcxvgCustomViewInfo::RowViewInfoDestroying(TcxCustomRowViewInfo* ARowViewInfo) {
  auto live = std::find(FLiveRowViewInfos.begin(), FLiveRowViewInfos.end(), ARowViewInfo);
  if (live != FLiveRowViewInfos.end()) FLiveRowViewInfos.erase(live);
  auto placed = std::find(FRowsViewInfo.begin(), FRowsViewInfo.end(), ARowViewInfo);
  if (placed != FRowsViewInfo.end()) FRowsViewInfo.erase(placed);
}

TcxCustomRowViewInfo* TcxvgCustomViewInfo::EnsureRowViewInfo(TcxCustomRow* ARow) {
  if (!ARow) return nullptr;
  auto* rowViewInfo = static_cast<TcxCustomRowViewInfo*>(ARow->CreateViewInfo());
  if (rowViewInfo && rowViewInfo->ViewInfo != this) rowViewInfo->ViewInfo = this;
  return rowViewInfo;
}

TcxCustomRowViewInfo* TcxvgCustomViewInfo::GetRowViewInfo(TcxCustomRow* ARow) {
  TcxCustomRowViewInfo* rowViewInfo = RowViewInfoOf(ARow);
  return rowViewInfo && rowViewInfo->Placed && rowViewInfo->ViewInfo == this ? rowViewInfo : nullptr;
}

Integer TcxvgCustomViewInfo::CalculateDefaultEditHeight() { return GetMinRowHeightValue(); }

void TcxvgCustomViewInfo::UpdateSelection() {
  inherited::UpdateSelection();
  if (TcxvgController* controller = GetVerticalGrid()->GetVGController()) controller->RefreshFocusedRow();
}

void TcxvgCustomViewInfo::Reset() {
  TcxCustomControlController* controller = GetVerticalGrid()->GetController();
  if (TcxEditCellViewInfo* editing = controller ? controller->GetEditingViewInfo() : nullptr) {
    editing->EditRect = cxNullRect;
    editing->Visible = false;
  }
}

void TcxvgCustomViewInfo::DoCalculate() {
  Reset();
  CalcLayoutGeneral();
  UpdateVisibleRows();
  if (TcxvgScroller* scroller = GetScroller()) scroller->RecalcBandsInfo();
  CalcBandWidth();
  Clear();
  CalcViewRects();
  CalcRowsViewInfo();
  AddEmptyRects();
  ReleaseUnplacedRows();
}

void TcxvgCustomViewInfo::Clear() {
  FLinesInfo->Clear();
  FFocusLinesInfo->Clear();
  for (TcxCustomRowViewInfo* rowViewInfo : FRowsViewInfo) rowViewInfo->Placed = false;
  FRowsViewInfo.clear();
}

// The ancestors of the top row keep theirs: their headers give the rows
// below them the colours of their indents at every pass.
void TcxvgCustomViewInfo::ReleaseUnplacedRows() {
  TcxCustomRow* top = FRowsViewInfo.empty() ? nullptr : FRowsViewInfo.front()->GetRow();
  for (size_t i = FLiveRowViewInfos.size(); i-- > 0;) {
    if (i >= FLiveRowViewInfos.size()) continue;
    TcxCustomRowViewInfo* rowViewInfo = FLiveRowViewInfos[i];
    if (!rowViewInfo->Placed && !(top && rowViewInfo->GetRow()->IsParent(top))) rowViewInfo->Free();
  }
}

void TcxvgCustomViewInfo::CalcLayoutGeneral() {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  TcxvgOptionsView* options = grid->GetOptionsView();
  if (!options) return;
  FClientRect = cxRectInflate(Bounds, -FVertLineWidth, -FHorzLineWidth);
  const TcxvgGridLines lines = options->GetGridLines();
  FHorzLineWidth = lines == vglHorizontal || lines == vglBoth ? 1 : 0;
  FVertLineWidth = lines == vglVertical || lines == vglBoth ? 1 : 0;
  FBandsInterval = options->GetBandsInterval();
  FRowHeaderMinWidth = options->GetRowHeaderMinWidth();
  FShowHeaders = options->GetShowHeaders();
  FExpandButtonSize = LookAndFeelPainter()->ExpandButtonSize();
  FImageSize = grid->GetImages() ? TSize{grid->GetImages()->GetWidth(), grid->GetImages()->GetHeight()} : TSize{0, 0};
  FDividerWidth = FVertLineWidth >= 1 && FShowHeaders ? FCalcHelper->GetDividerWidth() : 0;
  FBandBorderColor = FCalcHelper->GetBandBorderColor();
  FIndentWidth = FCalcHelper->GetIndentWidth();
  FMinBandWidth = options->GetValueMinWidth() + FRowHeaderMinWidth + FDividerWidth;
  FMinRowHeight = GetMinRowHeightValue();
  FValueOffset = FShowHeaders ? GetViewHeaderWidth() + FDividerWidth : 0;
  CreateBrushes();
  CalcCategoryExplorerStyle();
}

void TcxvgCustomViewInfo::CalcCategoryExplorerStyle() {
  FUseCategoryExplorerStyle = GetVerticalGrid()->GetOptionsView()->GetCategoryExplorerStyle() &&
                              AreVisualStylesAvailable(totExplorerBar);
  FExplorerButtonSize = {FExpandButtonSize, FExpandButtonSize};
  if (!FUseCategoryExplorerStyle) return;
  TdxTheme theme = OpenTheme(totExplorerBar);
  if (!theme) {
    FUseCategoryExplorerStyle = false;
    return;
  }
  win::SIZE size{};
  if (GetThemePartSize(theme, cxScreenCanvas()->GetHandle(), kExplorerGroupExpand, 1, win::TS_TRUE, &size) == 0)
    FExplorerButtonSize = {size.cx, size.cy};
}

void TcxvgCustomViewInfo::CreateBrushes() {
  DestroyBrushes();
  FHorzLineBrush = FCalcHelper->CreateHorzLineBrush();
  FVertLineBrush = FCalcHelper->CreateVertLineBrush();
}

void TcxvgCustomViewInfo::DestroyBrushes() {
  for (TBrush** brush : {&FHorzLineBrush, &FVertLineBrush}) {
    if (!*brush) continue;
    TBitmap* bitmap = (*brush)->GetBitmap();
    FreeAndNil(*brush);
    if (bitmap) bitmap->Free();
  }
}

Integer TcxvgCustomViewInfo::GetMinRowHeightValue() {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  Integer height = cxScreenCanvas()->FontHeight(grid->GetFont()) + 4;
  if (TcxvgOptionsView* options = grid->GetOptionsView())
    if (options->GetRowHeight() >= 0 && height < options->GetRowHeight()) height = options->GetRowHeight();
  if (grid->GetImages() && height < grid->GetImages()->GetHeight() + 2) height = grid->GetImages()->GetHeight() + 2;
  return height;
}

// ---- The rows on show ----

bool TcxvgCustomViewInfo::IsShowableRow(TcxCustomRow* ARow) {
  if (!ARow->GetVisible()) return false;
  TcxCustomRow* parent = ARow->GetParentRow();
  if (!parent || parent == GetVerticalGrid()->GetRoot()) return true;
  return parent->GetExpanded() && parent->GetVisibleIndex() >= 0;
}

// Walks the tree order from AFrom (the first row not yet walked) to its end.
void TcxvgCustomViewInfo::AppendVisibleRows(TcxCustomRow* AFrom) {
  TcxCustomRow* root = GetVerticalGrid()->GetRoot();
  TcxCustomRow* row = AFrom;
  while (row) {
    FLastWalkedRow = row;
    const bool shown = IsShowableRow(row);
    if (shown) {
      row->SetVisibleIndex(static_cast<Integer>(FVisibleRows.size()));
      FVisibleRows.push_back(row);
      MaxVisibleLevel = std::max(MaxVisibleLevel, row->GetLevel());
    } else {
      row->SetVisibleIndex(-1);
    }
    // A hidden or collapsed row's subtree is off screen whole: its rows
    // keep no index of this list and are skipped.
    if (shown && row->GetExpanded() && row->HasChildren()) {
      row = row->GetRow(0);
      continue;
    }
    while (row && row != root) {
      TcxCustomRow* parent = row->GetParentRow();
      if (parent && row->GetIndex() + 1 < parent->GetCount()) {
        row = parent->GetRow(row->GetIndex() + 1);
        break;
      }
      row = parent;
    }
    if (row == root) row = nullptr;
  }
}

void TcxvgCustomViewInfo::UpdateVisibleRows() {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  TcxVerticalGridRows* rows = grid->GetRows();
  if (!rows) return;
  const Integer version = rows->GetVersion();
  if (version == FVisibleRowsVersion) return;
  const bool appendOnly = FVisibleRowsVersion >= rows->GetReshapedVersion() && FVisibleRowsVersion >= 0;
  FVisibleRowsVersion = version;
  TcxCustomRow* root = grid->GetRoot();
  if (appendOnly && FLastWalkedRow) {
    // The rows after the last one walked are the appended ones: the next
    // in tree order is the last walked row's first child, or the next
    // sibling of it or of one of its ancestors.
    TcxCustomRow* next = nullptr;
    TcxCustomRow* row = FLastWalkedRow;
    if (row->GetVisibleIndex() >= 0 && row->GetExpanded() && row->HasChildren()) {
      next = row->GetRow(0);
    } else {
      while (row && row != root && !next) {
        TcxCustomRow* parent = row->GetParentRow();
        if (parent && row->GetIndex() + 1 < parent->GetCount())
          next = parent->GetRow(row->GetIndex() + 1);
        else
          row = parent;
      }
    }
    if (next) AppendVisibleRows(next);
    return;
  }
  ++grid->VisibleRowsStamp;
  FVisibleRows.clear();
  MaxVisibleLevel = 0;
  FLastWalkedRow = nullptr;
  if (root->HasChildren()) AppendVisibleRows(root->GetRow(0));
}

TcxCustomRow* TcxvgCustomViewInfo::GetVisibleRow(Integer AIndex) {
  UpdateVisibleRows();
  if (AIndex < 0 || AIndex >= static_cast<Integer>(FVisibleRows.size())) return nullptr;
  return FVisibleRows[static_cast<size_t>(AIndex)];
}

Integer TcxvgCustomViewInfo::GetVisibleRowCount() {
  UpdateVisibleRows();
  return static_cast<Integer>(FVisibleRows.size());
}

Integer TcxvgCustomViewInfo::GetFirstVisibleRecordIndex() {
  if (GetVerticalGrid()->GetDataController()->GetRowCount() == 0) return -1;
  TcxvgScroller* scroller = GetScroller();
  return scroller ? scroller->GetLeftVisibleRecord() : 0;
}

Integer TcxvgCustomViewInfo::CalcRowHeight(TcxCustomRow* ARow) {
  return GetRowHeight(EnsureRowViewInfo(ARow), ViewValueWidth);
}

Integer TcxvgCustomViewInfo::MeasureRowHeight(TcxCustomRow* ARow) {
  if (TcxCustomRowViewInfo* placed = GetRowViewInfo(ARow)) return placed->CalculatedHeight;
  if (!GetRowAutoHeight(ARow)) return std::max(ARow->GetRealHeight(), FMinRowHeight);
  return GetRowHeight(EnsureRowViewInfo(ARow), ViewBandWidth);
}

// ---- Widths ----

void TcxvgCustomViewInfo::CalcBandWidth() {
  ViewBandWidth = GetViewBandWidth();
  ViewHeaderWidth = GetViewHeaderWidth();
  ViewValueWidth = GetViewValueWidth();
}

Integer TcxvgCustomViewInfo::GetViewBandWidth() { return cxRectWidth(Bounds); }

Integer TcxvgCustomViewInfo::GetViewMinHeaderWidth() {
  UpdateVisibleRows();
  return (FIndentWidth + FVertLineWidth) * (MaxVisibleLevel + 1) + 1;
}

Integer TcxvgCustomViewInfo::GetViewHeaderWidth() {
  if (!FShowHeaders) return 0;
  return std::max(GetViewMinHeaderWidth(), GetVerticalGrid()->GetOptionsView()->GetRowHeaderWidth());
}

Integer TcxvgCustomViewInfo::GetViewValueWidth() { return GetVerticalGrid()->GetOptionsView()->GetValueWidth(); }

Integer TcxvgCustomViewInfo::GetVisibleValueCount() { cxAbstractError(); }

void TcxvgCustomViewInfo::AddEmptyRects() { cxAbstractError(); }

void TcxvgCustomViewInfo::SetDividerPos(Integer X) {
  TcxvgOptionsView* options = GetVerticalGrid()->GetOptionsView();
  if (X == options->GetRowHeaderWidth()) return;
  if (ViewBandWidth - (FDividerWidth + X) < options->GetValueMinWidth()) X = ViewBandWidth - options->GetValueMinWidth();
  options->SetRowHeaderWidth(X);
}

void TcxvgCustomViewInfo::SetValueWidth(Integer W) { GetVerticalGrid()->GetOptionsView()->SetValueWidth(W); }

TRectScaler* TcxvgCustomViewInfo::ScaleRowRects(TcxCustomRowViewInfo* ARowViewInfo) {
  auto* scaler = New<TRectScaler>();
  scaler->Add(ViewHeaderWidth, FRowHeaderMinWidth, FDividerWidth);
  scaler->Add(ViewBandWidth - ViewHeaderWidth, FMinBandWidth);
  scaler->ScaleRect(ARowViewInfo->RowRect);
  return scaler;
}

TRect TcxvgCustomViewInfo::GetBandSizeableRect(const TRect& ABandRect) {
  return TRect(ABandRect.Right - 1, ABandRect.Top, ABandRect.Right + 2, Bounds.Bottom);
}

void TcxvgCustomViewInfo::LayoutStyleChanged() {
  if (TcxvgScroller* scroller = GetScroller()) scroller->LayoutStyleChanged();
}

// ---- Bands and empty areas ----

void TcxvgCustomViewInfo::CalcViewRects() {
  FViewRects->Clear();
  if (GetVisibleRowCount() == 0) {
    FViewRects->GetBandRects()->Add(TRect(Bounds.Left, Bounds.Top, Bounds.Right, Bounds.Top));
    FViewRects->GetEmptyRects()->Add(Bounds);
    return;
  }
  CalcBandRects();
}

// The rows below the bounds are never placed, so the sum stops there.
void TcxvgCustomViewInfo::CalcBandRects() {
  Integer H = FHorzLineWidth;
  const Integer limit = cxRectHeight(Bounds);
  TcxvgScroller* scroller = GetScroller();
  const Integer count = GetVisibleRowCount();
  for (Integer i = scroller ? scroller->GetTopVisibleRowIndex() : 0; i < count && H < limit; ++i) {
    TcxCustomRowViewInfo* rowViewInfo = EnsureRowViewInfo(FVisibleRows[static_cast<size_t>(i)]);
    rowViewInfo->CalculatedHeight = GetRowHeight(rowViewInfo, ViewBandWidth);
    H += rowViewInfo->CalculatedHeight + FHorzLineWidth;
  }
  CreateBand(H, ViewBandWidth);
}

void TcxvgCustomViewInfo::CreateBand(Integer AHeight, Integer AWidth) {
  TcxRectList* bands = FViewRects->GetBandRects();
  const Integer X = bands->GetCount() > 0 ? bands->GetRect(bands->GetCount() - 1).Right : Bounds.Left;
  const TRect band = cxRectBounds(X, Bounds.Top, AWidth, std::min(AHeight, cxRectHeight(Bounds)));
  bands->Add(band);
  if (band.Bottom < Bounds.Bottom)
    FViewRects->GetEmptyRects()->Add(TRect(band.Left, band.Bottom, band.Right, Bounds.Bottom));
}

void TcxvgCustomViewInfo::CalcRowsViewInfo() {
  TcxvgScroller* scroller = GetScroller();
  Integer R = scroller ? scroller->GetTopVisibleRowIndex() : 0;
  TcxRectList* bands = FViewRects->GetBandRects();
  if (GetVisibleRowCount() == 0) {
    CalcEmpty();
    return;
  }
  TBandInfoList* bandsInfo = scroller ? scroller->GetBandsInfo() : nullptr;
  const Integer left = scroller ? scroller->GetLeftVisibleBand() : 0;
  const Integer bandCount = bandsInfo ? bandsInfo->GetCount() : 1;
  for (Integer band = left; band < std::max(bandCount, left + 1); ++band) {
    const Integer place = band - left;
    if (place >= bands->GetCount()) break;
    const TRect rect = bands->GetRect(place);
    if (rect.Left > Bounds.Right) break;
    CalcBandRowsViewInfo(R, rect, band);
  }
}

void TcxvgCustomViewInfo::CalcBandRowsViewInfo(Integer& ARowIndex, const TRect& ABandRect, Integer ABandIndex) {
  Integer Y = ABandRect.Top + FHorzLineWidth;
  const Integer W = cxRectWidth(ABandRect) - 2 * FVertLineWidth;
  if (W < 1) return;
  Integer position = 0;
  const Integer count = GetVisibleRowCount();
  while (ARowIndex < count) {
    TcxCustomRow* row = FVisibleRows[static_cast<size_t>(ARowIndex)];
    TcxCustomRowViewInfo* rowViewInfo = EnsureRowViewInfo(row);
    if (rowViewInfo->CalculatedHeight <= 0) rowViewInfo->CalculatedHeight = GetRowHeight(rowViewInfo, ViewBandWidth);
    const TRect rowRect = cxRectBounds(ABandRect.Left + FVertLineWidth, Y, W, rowViewInfo->CalculatedHeight);
    if (!CanAddRowToBand(rowRect, ABandRect, position)) break;
    rowViewInfo->BandIndex = ABandIndex;
    rowViewInfo->BandRowIndex = position;
    rowViewInfo->Placed = true;
    FRowsViewInfo.push_back(rowViewInfo);
    rowViewInfo->Calc(rowRect, this, GetVisibleRow(ARowIndex + 1));
    Y += rowViewInfo->CalculatedHeight + FHorzLineWidth;
    ++ARowIndex;
    ++position;
  }
  if (position > 0) AddBandRowsLines(ABandRect);
}

bool TcxvgCustomViewInfo::CanAddRowToBand(const TRect& ARowRect, const TRect& ABandRect, Integer) {
  return ARowRect.Top < ABandRect.Bottom;
}

void TcxvgCustomViewInfo::CalcEmpty() {
  if (FShowHeaders)
    FCalcHelper->AddDivider(FLinesInfo, TRect(Bounds.Left, Bounds.Top, Bounds.Left + ViewHeaderWidth, Bounds.Bottom),
                            clNone, false);
}

void TcxvgCustomViewInfo::CalcRowRects(TcxCustomRowViewInfo* ARowViewInfo) {
  if (!CheckShowRowHeader(ARowViewInfo)) return;
  const TRect& r = ARowViewInfo->RowRect;
  ARowViewInfo->GetHeaderInfo()->HeaderRect = TRect(r.Left, r.Top, r.Left + ViewHeaderWidth, r.Bottom);
  ARowViewInfo->ValuesRect = TRect(r.Left + ViewHeaderWidth + FDividerWidth, r.Top, r.Right, r.Bottom);
}

bool TcxvgCustomViewInfo::CheckShowRowHeader(TcxCustomRowViewInfo* ARowViewInfo) {
  if (FShowHeaders) return true;
  const TRect& r = ARowViewInfo->RowRect;
  ARowViewInfo->GetHeaderInfo()->HeaderRect = TRect(r.Left, r.Top, r.Left, r.Bottom);
  ARowViewInfo->ValuesRect = r;
  return false;
}

TRect TcxvgCustomViewInfo::GetValuesRect(TcxCustomRowViewInfo* ARowViewInfo) {
  const TRect& r = ARowViewInfo->RowRect;
  return TRect(r.Left + ViewHeaderWidth + FDividerWidth, r.Top, r.Right, r.Bottom);
}

TRect TcxvgCustomViewInfo::GetValueRect(Integer, TcxCustomRowViewInfo* ARowViewInfo) {
  const TRect& r = ARowViewInfo->RowRect;
  return TRect(ARowViewInfo->ValuesRect.Left, r.Top, r.Right, r.Bottom);
}

Integer TcxvgCustomViewInfo::GetDefaultGridModeBufferCount() { return GetVisibleValueCount(); }

// ---- Row heights ----

bool TcxvgCustomViewInfo::GetRowAutoHeight(TcxCustomRow* ARow) {
  TcxvgOptionsView* options = GetVerticalGrid()->GetOptionsView();
  if (!ARow) return options->GetCellAutoHeight();
  return options->GetCellAutoHeight() && ARow->GetOptions()->GetCanAutoHeight() && ARow->GetHeight() < 0;
}

Integer TcxvgCustomViewInfo::GetRowHeight(TcxCustomRowViewInfo* ARowViewInfo, Integer) {
  TcxCustomRow* row = ARowViewInfo->GetRow();
  Integer H = std::max(row->GetRealHeight(), FMinRowHeight);
  if (GetRowAutoHeight(row))
    H = std::max(H, ARowViewInfo->GetValueHeight(GetFirstVisibleRecordIndex(), ViewValueWidth, this));
  return H;
}

// ---- Lines ----

void TcxvgCustomViewInfo::AddRectValueLines(const TRect& R, bool ALast) {
  TRect r = R;
  if (ALast) {
    if (r.Left >= FClientRect.Right) return;
    r.Right = std::min(r.Right, FClientRect.Right);
  }
  AddBottomValueSide(r);
  AddRightValueSide(r, ALast);
}

void TcxvgCustomViewInfo::AddBottomValueSide(const TRect& R) {
  if (FHorzLineWidth > 0) FLinesInfo->Add(R.Left, R.Bottom, cxRectWidth(R), FHorzLineWidth, FHorzLineBrush);
}

void TcxvgCustomViewInfo::AddRightValueSide(const TRect& R, bool ALast) {
  if (FVertLineWidth <= 0) return;
  if (ALast)
    FLinesInfo->Add(R.Right, R.Top, FVertLineWidth, cxRectHeight(R) + FHorzLineWidth, FBandBorderColor);
  else
    FLinesInfo->Add(R.Right, R.Top, FVertLineWidth, cxRectHeight(R) + FHorzLineWidth, FVertLineBrush);
}

void TcxvgCustomViewInfo::AddBandRowsLines(const TRect& B) {
  const Integer HL = FHorzLineWidth, V = FVertLineWidth;
  if (HL > 0) {
    FLinesInfo->Add(B.Left, B.Top, cxRectWidth(B), HL, FBandBorderColor);
    FLinesInfo->Add(B.Left + V, B.Bottom - HL, cxRectWidth(B) - 2 * V, HL, FBandBorderColor);
  }
  if (V > 0) FLinesInfo->Add(B.Left, B.Top + HL, V, cxRectHeight(B) - HL, FBandBorderColor);
}

// ---- Cells and single-row updates ----

void TcxvgCustomViewInfo::CalcEditCell(const TRect& ABounds, TcxRowValueInfo* AValueInfo) {
  if (AValueInfo) AValueInfo->SetBounds(ABounds, FClientRect);
}

void TcxvgCustomViewInfo::ChangeFocusedRow(TcxCustomRow* ANewRow, TcxCustomRow* AOldRow) {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  if (grid->IsLocked() || GetState(cvis_IsDirty)) return;
  TRect R;
  FChangedRects.clear();
  FLinesInfo->SetLocked(true);
  {
    orv::ScopeExit unlock([this] { FLinesInfo->SetLocked(false); });
    FCalcHelper->ChangeFocusedRow(ANewRow, AOldRow, R);
  }
  if (cxRectIsEmpty(R)) return;
  // The line under each row (and, without lines, the 3-D edge below it)
  // goes with it.
  const Integer below = std::max(FHorzLineWidth, 1);
  for (TRect changed : FChangedRects) {
    changed.Bottom += below;
    grid->InvalidateRect(changed, false);
  }
}

void TcxvgCustomViewInfo::UpdateRecord(Integer ARecordIndex) {
  if (ARecordIndex < 0 || GetVerticalGrid()->IsLocked()) return;
  for (TcxCustomRowViewInfo* rowViewInfo : std::vector<TcxCustomRowViewInfo*>(FRowsViewInfo))
    rowViewInfo->UpdateRecord(ARecordIndex);
}

// ---------------------------------------------------------------------------
// The layouts

void TcxInspectorViewInfo::CheckMaxRowHeaderWidth(Integer& AWidth, Integer AValueMinWidth) {
  if (ViewBandWidth > 0) AWidth = std::min(AWidth, ViewBandWidth - std::max(AValueMinWidth, 4));
}

Integer TcxInspectorViewInfo::GetViewValueWidth() {
  return ViewBandWidth - ViewHeaderWidth - GetDividerWidth() - 2 * GetVertLineWidth();
}

