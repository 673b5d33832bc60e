#include "library/grid/vgrid/cxVGridScroller.h"

#include <algorithm>

#include "library/grid/vgrid/cxVGrid.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxvgCustomScrollStrategy)
ORV_REGISTER(TcxvgSingleRecordScrollStrategy)
ORV_REGISTER(TcxvgMultiRecordsScrollStrategy)
ORV_REGISTER(TcxvgBandsScrollStrategy)
ORV_REGISTER(TcxvgScroller)

// ---------------------------------------------------------------------------
// The strategy

TcxvgCustomScrollStrategy::TcxvgCustomScrollStrategy(TcxvgScroller* AScroller)
    : FBandsInfo(New<TBandInfoList>()), FScroller(AScroller) {}

TcxvgCustomScrollStrategy::~TcxvgCustomScrollStrategy() { FreeAndNil(FBandsInfo); }

TcxvgCustomViewInfo* TcxvgCustomScrollStrategy::GetViewInfo() { return FScroller->GetViewInfo(); }

TcxCustomVerticalGrid* TcxvgCustomScrollStrategy::GetVerticalGrid() { return FScroller->GetVerticalGrid(); }

bool TcxvgCustomScrollStrategy::CanContinueForward(Integer AIndex) {
  return AIndex < GetViewInfo()->GetVisibleRowCount();
}

bool TcxvgCustomScrollStrategy::IsGridMode() { return GetVerticalGrid()->GetDataController()->IsGridMode(); }

Integer TcxvgCustomScrollStrategy::GetBandWidth() { return GetViewInfo()->ViewBandWidth; }

Integer TcxvgCustomScrollStrategy::RowHeight(TcxCustomRow* ARow) { return GetViewInfo()->MeasureRowHeight(ARow); }

Integer TcxvgCustomScrollStrategy::GetVisibleCount(Integer AIndex, Integer AHeight, Integer AStep, bool AForward) {
  if (GetBandWidth() <= 0) return 0;
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  const Integer L = viewInfo->GetHorzLineWidth();
  Integer H = L, count = 0, total = 0, band = 0;
  Integer left = viewInfo->Bounds.Left;
  for (Integer i = AIndex; AForward ? CanContinueForward(i) : CanContinueBackward(i); i += AStep) {
    TcxCustomRow* row = viewInfo->GetVisibleRow(i);
    if (!row) break;
    const Integer height = RowHeight(row);
    if (H + height + L > AHeight) {
      total += std::max(count, 1);
      const bool firstDoesNotFit = count == 0;
      count = 0;
      H = L;
      ++band;
      left += GetBandInterval() + GetBandWidth();
      if (!CanCalcRowsOnTheNextBand(left, band)) return total;
      // A row taller than the band counts as that band's one row.
      if (firstDoesNotFit) continue;
    }
    H += height + L;
    ++count;
  }
  return total + count;
}

Integer TcxvgCustomScrollStrategy::GetVisibleRowCount() {
  return GetVisibleCountFromTop(FTopVisibleRowIndex, cxRectHeight(GetViewInfo()->Bounds));
}

Integer TcxvgCustomScrollStrategy::CheckTopVisibleIndex(Integer AIndex, Integer) {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  const Integer N = viewInfo->GetVisibleRowCount();
  const Integer B = GetVisibleCountFromBottom(N - 1, cxRectHeight(viewInfo->Bounds));
  return std::clamp(AIndex, 0, std::max(0, N - B));
}

void TcxvgCustomScrollStrategy::CheckDecreaseTopIndex(Integer AHeight) {
  const Integer N = GetViewInfo()->GetVisibleRowCount();
  const Integer B = GetVisibleCountFromBottom(N - 1, AHeight);
  if (N - B < FTopVisibleRowIndex) FTopVisibleRowIndex = std::max(0, N - B);
}

void TcxvgCustomScrollStrategy::SetTopVisibleRowIndex(Integer AIndex) {
  if (AIndex == FTopVisibleRowIndex) return;
  FTopVisibleRowIndex = AIndex;
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  grid->LayoutChanged();
  grid->DoTopRowIndexChanged();
}

void TcxvgCustomScrollStrategy::ScrollV(TScrollCode ACode, Integer& APos) {
  const Integer top = FTopVisibleRowIndex;
  switch (ACode) {
    case scLineUp:
      FScroller->SetTopVisibleRowIndex(top - 1);
      break;
    case scLineDown:
      FScroller->SetTopVisibleRowIndex(top + 1);
      break;
    case scPageUp:
      FScroller->SetTopVisibleRowIndex(top - GetVisibleRowCount());
      break;
    case scPageDown:
      FScroller->SetTopVisibleRowIndex(top + GetVisibleRowCount());
      break;
    case scTrack:
      FScroller->SetTopVisibleRowIndex(APos);
      break;
    default:
      break;
  }
  APos = FTopVisibleRowIndex;
}

void TcxvgCustomScrollStrategy::InitVScrollBarParameters() {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  GetVerticalGrid()->SetScrollBarInfo(sbVertical, 0, viewInfo->GetVisibleRowCount() - 1, 1, GetVisibleRowCount(),
                                      FTopVisibleRowIndex, !IsHideVScrollBar(), true);
}

bool TcxvgCustomScrollStrategy::IsHideVScrollBar() {
  TcxControlScrollBar* bar = GetVerticalGrid()->GetVScrollBar();
  return bar && cxRectWidth(GetViewInfo()->Bounds) - 2 < bar->GetWidth();
}

bool TcxvgCustomScrollStrategy::IsHideHScrollBar() {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  TcxControlScrollBar* bar = grid->GetHScrollBar();
  if (bar && cxRectHeight(grid->GetClientBounds()) - 2 < bar->GetHeight()) return true;
  return IsRecordsScrollMode() && !grid->GetVGController()->CanChangeRecord();
}

Integer TcxvgCustomScrollStrategy::GetScrollBarOffsetBegin() {
  TcxCustomDataController* data = GetVerticalGrid()->GetDataController();
  return IsGridMode() && IsRecordsScrollMode() && !data->IsBOF() ? 1 : 0;
}

Integer TcxvgCustomScrollStrategy::GetScrollBarOffsetEnd() {
  TcxCustomDataController* data = GetVerticalGrid()->GetDataController();
  return IsGridMode() && IsRecordsScrollMode() && !data->IsEOF() ? 1 : 0;
}

void TcxvgCustomScrollStrategy::InitHScrollBarParameters() {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  const Integer count = GetScrollBarOffsetBegin() + grid->GetDataController()->GetRowCount() + GetScrollBarOffsetEnd();
  grid->SetScrollBarInfo(sbHorizontal, 0, count - 1, 1, GetVisibleValueCount(), GetScrollBarPos(),
                         !IsHideHScrollBar(), true);
}

Integer TcxvgCustomScrollStrategy::GetScrollBarPos() { return GetScrollBarOffsetBegin() + FLeftVisibleRecord; }

void TcxvgCustomScrollStrategy::SetScrollBarPos(Integer APos) {
  FScroller->SetLeftVisibleRecord(APos - GetScrollBarOffsetBegin());
}

void TcxvgCustomScrollStrategy::ScrollRecords(bool AForward) {
  FScroller->SetLeftVisibleRecord(FLeftVisibleRecord + (AForward ? 1 : -1));
}

void TcxvgCustomScrollStrategy::ScrollH(TScrollCode ACode, Integer& APos) {
  switch (ACode) {
    case scLineUp:
      ScrollRecords(false);
      break;
    case scLineDown:
      ScrollRecords(true);
      break;
    case scPageUp:
      FScroller->SetLeftVisibleRecord(FLeftVisibleRecord - GetVisibleValueCount());
      break;
    case scPageDown:
      FScroller->SetLeftVisibleRecord(FLeftVisibleRecord + GetVisibleValueCount());
      break;
    case scPosition:
      if (IsGridMode()) SetScrollBarPos(APos);
      break;
    case scTrack:
      if (!IsGridMode()) SetScrollBarPos(APos);
      break;
    default:
      break;
  }
  APos = GetScrollBarPos();
}

void TcxvgCustomScrollStrategy::CheckLeftVisibleRecord(Integer& AIndex) {
  if (FCheckGuard) return;
  auto guard = orv::TempValue(FCheckGuard, true);
  TcxCustomDataController* data = GetVerticalGrid()->GetDataController();
  const Integer R = data->GetRowCount();
  const bool gridMode = IsGridMode();
  if (AIndex < 0) {
    if (gridMode && !data->IsBOF()) data->Scroll(AIndex);
    AIndex = 0;
  }
  if (AIndex > R - 1) {
    if (gridMode && !data->IsEOF()) data->Scroll(AIndex - (R - 1));
    AIndex = std::max(0, R - 1);
  }
  const Integer visible = GetVisibleValueCount();
  if (AIndex > 0 && AIndex > R - visible) {
    if (gridMode && !data->IsEOF() && !data->GetEditState().Contains(dceInsert)) data->Scroll(AIndex - (R - visible));
    AIndex = std::max(0, R - visible);
  }
}

void TcxvgCustomScrollStrategy::SetLeftVisibleRecord(Integer AIndex) {
  CheckLeftVisibleRecord(AIndex);
  if (AIndex == FLeftVisibleRecord) return;
  FLeftVisibleRecord = AIndex;
  GetVerticalGrid()->LayoutChanged();
}

void TcxvgCustomScrollStrategy::RecalcBandsInfo() {
  FBandsInfo->Clear();
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  const Integer count = viewInfo->GetVisibleRowCount();
  FBandsInfo->Add(0, count, -1, 0);
}

TcxCustomRow* TcxvgCustomScrollStrategy::GetFirstRowByBandIndex(Integer ABandIndex) {
  if (ABandIndex < 0 || ABandIndex >= FBandsInfo->GetCount()) return nullptr;
  return GetViewInfo()->GetVisibleRow(FBandsInfo->GetItem(ABandIndex).FirstRow);
}

Integer TcxvgCustomScrollStrategy::GetFullRowHeight(TcxCustomRow* ARow, Integer& ADescendants) {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  const Integer L = viewInfo->GetHorzLineWidth();
  Integer height = RowHeight(ARow) + L;
  ADescendants = 0;
  const Integer limit = cxRectHeight(viewInfo->Bounds) * std::max(1, FBandsInfo->GetCount());
  for (Integer i = ARow->GetVisibleIndex() + 1;; ++i) {
    TcxCustomRow* row = viewInfo->GetVisibleRow(i);
    if (!row || !ARow->IsParent(row)) break;
    ++ADescendants;
    // Past the client the subtree does not fit whatever follows; the count
    // of descendants is still needed, the heights are not.
    if (height < limit) height += RowHeight(row) + L;
  }
  return height;
}

void TcxvgCustomScrollStrategy::SetRowMaxVisible(TcxCustomRow* ARow) {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  Integer descendants = 0;
  const Integer full = GetFullRowHeight(ARow, descendants);
  const Integer height = cxRectHeight(viewInfo->Bounds);
  if (height * std::max(1, FBandsInfo->GetCount()) > full) {
    // The last descendant comes to the bottom edge: the rows that fit
    // ending at it, counted with their own heights.
    const Integer last = ARow->GetVisibleIndex() + descendants;
    const Integer T = last - GetVisibleCountFromBottom(last, height) + 1;
    if (T > FTopVisibleRowIndex) FScroller->SetTopVisibleRowIndex(T);
  } else {
    FScroller->SetTopVisibleRowIndex(ARow->GetVisibleIndex());
  }
}

Integer TcxvgCustomScrollStrategy::FindNextCustomItem(Integer AIndex, Integer ACount, bool AForward) {
  if (ACount <= 0) return -1;
  Integer next = AIndex == -1 && AForward ? 0 : AIndex + (AForward ? 1 : -1);
  return next >= 0 && next < ACount ? next : -1;
}

Integer TcxvgCustomScrollStrategy::FindNextRecord(Integer AIndex, bool AForward) {
  TcxCustomDataController* data = GetVerticalGrid()->GetDataController();
  if (IsGridMode()) {
    // The window moved when it is no longer at the same end.
    if (!AForward && AIndex == 0 && !data->IsBOF()) {
      data->Scroll(-1);
      ++AIndex;
    } else if (AForward && AIndex == data->GetRowCount() - 1 && !data->IsEOF()) {
      data->Scroll(1);
      --AIndex;
    }
  }
  return FindNextCustomItem(AIndex, data->GetRowCount(), AForward);
}

bool TcxvgCustomScrollStrategy::FocusNextRecord(Integer AIndex, bool AForward) {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  TcxCustomDataController* data = grid->GetDataController();
  if (data->GetEditState().Contains(dceEdit) || data->GetEditState().Contains(dceInsert)) {
    grid->GetController()->GetEditingController()->UpdateValue();
    const TcxDataControllerEditState state = data->GetEditState();
    if (!state.Contains(dceModified)) {
      if (state == TcxDataControllerEditState{dceInsert} && data->IsEOF() != AForward) {
        data->Cancel();
        return true;
      }
    } else {
      data->Post();
      AIndex = data->GetFocusedRowIndex();
    }
  }
  if (IsGridMode() && AIndex == -1 && AForward) data->GotoFirst();
  const Integer next = FindNextRecord(AIndex, AForward);
  if (next < 0) return false;
  data->SetFocusedRowIndex(next);
  return true;
}

// ---- The multi-record layout ----

Integer TcxvgMultiRecordsScrollStrategy::GetVisibleValueCount() {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  const Integer V = viewInfo->GetVertLineWidth();
  Integer interval = 0;
  if (auto* options = dynamic_cast<TcxvgMultiRecordsOptionsView*>(GetVerticalGrid()->GetOptionsView()))
    interval = options->GetRecordsInterval();
  const Integer step = interval == 0 ? V : interval + 2 * V;
  const Integer count = std::max(1, (cxRectWidth(viewInfo->Bounds) - V - viewInfo->GetValueOffset() + (step - V)) /
                                        std::max(1, step + viewInfo->ViewValueWidth));
  return std::min(count, std::max(1, GetVerticalGrid()->GetDataController()->GetRowCount()));
}

void TcxvgMultiRecordsScrollStrategy::CheckDecreaseLeftIndex() {
  const Integer records = GetVerticalGrid()->GetDataController()->GetRowCount();
  if (FLeftVisibleRecord + GetVisibleValueCount() > records)
    FLeftVisibleRecord = std::max(0, records - GetVisibleValueCount());
}

// ---- The bands layout ----

Integer TcxvgBandsScrollStrategy::GetBandInterval() { return GetViewInfo()->GetBandsInterval(); }

bool TcxvgBandsScrollStrategy::IsRecordsScrollMode() { return GetVerticalGrid()->GetVGController()->CanChangeRecord(); }

void TcxvgBandsScrollStrategy::RecalcBandsInfo() {
  GetBandsInfo()->Clear();
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  viewInfo->ViewValueWidth = viewInfo->GetViewValueWidth();
  const Integer L = viewInfo->GetHorzLineWidth();
  const Integer limit = cxRectHeight(viewInfo->Bounds);
  const Integer count = viewInfo->GetVisibleRowCount();
  Integer H = L, first = 0, rows = 0;
  for (Integer i = 0; i < count; ++i) {
    TcxCustomRowViewInfo* rowViewInfo = viewInfo->EnsureRowViewInfo(viewInfo->GetVisibleRow(i));
    rowViewInfo->CalculatedHeight = viewInfo->GetRowHeight(rowViewInfo, viewInfo->ViewBandWidth);
    const Integer height = rowViewInfo->CalculatedHeight + L;
    if (rows > 0 && H + height > limit) {
      GetBandsInfo()->Add(GetBandsInfo()->GetCount(), rows, H, first);
      first = i;
      rows = 0;
      H = L;
    }
    H += height;
    ++rows;
  }
  if (rows > 0) GetBandsInfo()->Add(GetBandsInfo()->GetCount(), rows, H, first);
}

// n bands of width W with gaps I fit when n x W + (n - 1) x I <= client
// width, the placement the bands layout uses (each band at X, then
// X += W + I).
Integer TcxvgBandsScrollStrategy::GetVisibleBandCount() {
  const Integer B = GetBandsInfo()->GetCount();
  const Integer I = GetBandInterval();
  const Integer fit = std::max(1, (cxRectWidth(GetViewInfo()->Bounds) + I) / std::max(1, GetBandWidth() + I));
  return std::max(1, std::min(fit, B));
}

// With auto-scaled bands the bands share the client: another band starts
// only while the bands so far (ABandIndex of them) and a whole next one fit
// with their gaps, so the last band reaches the right edge and none begins
// beyond it. Without scaling, the next band must end inside the client.
bool TcxvgBandsScrollStrategy::CanCalcRowsOnTheNextBand(Integer ALeft, Integer ABandIndex) {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  const Integer right = viewInfo->Bounds.Right - viewInfo->GetVertLineWidth();
  if (ALeft + GetBandWidth() + GetBandInterval() + 1 < right) return true;
  if (!GetVerticalGrid()->GetOptionsView()->GetAutoScaleBands()) return false;
  const Integer minWidth = std::max(1, viewInfo->GetMinBandWidth());
  return (ABandIndex + 1) * minWidth + ABandIndex * GetBandInterval() <= cxRectWidth(viewInfo->Bounds);
}

Integer TcxvgBandsScrollStrategy::GetBandIndexByRowIndex(Integer ARowIndex) {
  TBandInfoList* bands = GetBandsInfo();
  for (Integer i = 0; i < bands->GetCount(); ++i) {
    const TBandInfo band = bands->GetItem(i);
    if (ARowIndex >= band.FirstRow && ARowIndex < band.FirstRow + band.RowsCount) return i;
  }
  return -1;
}

void TcxvgBandsScrollStrategy::SetLeftVisibleBand(Integer AIndex) {
  AIndex = std::clamp(AIndex, 0, std::max(0, GetBandsInfo()->GetCount() - GetVisibleBandCount()));
  if (AIndex == FLeftVisibleBand) return;
  FLeftVisibleBand = AIndex;
  TcxCustomRow* first = GetFirstRowByBandIndex(AIndex);
  FTopVisibleRowIndex = first ? first->GetVisibleIndex() : 0;
  GetVerticalGrid()->LayoutChanged();
}

Integer TcxvgBandsScrollStrategy::CheckTopVisibleIndex(Integer AIndex, Integer AStep) {
  Integer band = GetBandIndexByRowIndex(AIndex);
  if (band < 0) return AIndex;
  if (GetBandsInfo()->GetItem(band).FirstRow != AIndex)
    band = std::clamp(band + AStep, 0, GetBandsInfo()->GetCount() - 1);
  TcxCustomRow* first = GetFirstRowByBandIndex(band);
  if (band != FLeftVisibleBand) {
    FLeftVisibleBand = band;
    GetVerticalGrid()->DoLeftVisibleBandIndexChanged();
  }
  return first ? first->GetVisibleIndex() : AIndex;
}

void TcxvgBandsScrollStrategy::CheckDecreaseTopIndex(Integer) {
  const Integer last = std::max(0, GetBandsInfo()->GetCount() - GetVisibleBandCount());
  if (FLeftVisibleBand > last) {
    FLeftVisibleBand = last;
    GetVerticalGrid()->DoLeftVisibleBandIndexChanged();
  }
  TcxCustomRow* first = GetFirstRowByBandIndex(FLeftVisibleBand);
  FTopVisibleRowIndex = first ? first->GetVisibleIndex() : 0;
}

void TcxvgBandsScrollStrategy::InitHScrollBarParameters() {
  if (IsRecordsScrollMode()) {
    inherited::InitHScrollBarParameters();
    return;
  }
  GetVerticalGrid()->SetScrollBarInfo(sbHorizontal, 0, GetBandsInfo()->GetCount() - 1, 1, GetVisibleBandCount(),
                                      FLeftVisibleBand, !IsHideHScrollBar(), true);
}

void TcxvgBandsScrollStrategy::ScrollH(TScrollCode ACode, Integer& APos) {
  if (IsRecordsScrollMode()) {
    inherited::ScrollH(ACode, APos);
    return;
  }
  switch (ACode) {
    case scLineUp:
      SetLeftVisibleBand(FLeftVisibleBand - 1);
      break;
    case scLineDown:
      SetLeftVisibleBand(FLeftVisibleBand + 1);
      break;
    case scPageUp:
      SetLeftVisibleBand(FLeftVisibleBand - GetVisibleBandCount());
      break;
    case scPageDown:
      SetLeftVisibleBand(FLeftVisibleBand + GetVisibleBandCount());
      break;
    case scTrack:
      SetLeftVisibleBand(APos);
      break;
    default:
      break;
  }
  APos = FLeftVisibleBand;
}

void TcxvgBandsScrollStrategy::SetRowMaxVisible(TcxCustomRow* ARow) {
  TcxCustomRow* last = ARow->GetLastVisibleChild();
  const Integer r = GetBandIndexByRowIndex(ARow->GetVisibleIndex());
  const Integer c = last ? GetBandIndexByRowIndex(last->GetVisibleIndex()) : r;
  const Integer visible = GetVisibleBandCount();
  Integer top = ARow->GetVisibleIndex();
  if (last && visible >= c - r && c < visible + r) {
    TcxCustomRow* first = GetFirstRowByBandIndex(std::max(0, c - visible + 1));
    if (first) top = first->GetVisibleIndex();
  }
  SetTopVisibleRowIndexAndBand(top);
}

// ---------------------------------------------------------------------------
// The scroller

TcxvgScroller::~TcxvgScroller() { FreeAndNil(FScrollStrategy); }

TcxvgCustomScrollStrategy* TcxvgScroller::CreateScrollStrategy() {
  return TcxvgCustomScrollStrategyClass(FVerticalGrid->GetScrollStrategyClass()).Construct<TcxvgScroller*>(this);
}

TcxvgCustomScrollStrategy* TcxvgScroller::GetScrollStrategy() {
  if (!FScrollStrategy) FScrollStrategy = CreateScrollStrategy();
  return FScrollStrategy;
}

void TcxvgScroller::RecreateScrollStrategy() {
  FreeAndNil(FScrollStrategy);
  FScrollStrategy = CreateScrollStrategy();
}

TcxvgCustomViewInfo* TcxvgScroller::GetViewInfo() { return FVerticalGrid->GetVGViewInfo(); }

Integer TcxvgScroller::GetFocusedRecordIndex() { return FVerticalGrid->GetDataController()->GetFocusedRowIndex(); }

Integer TcxvgScroller::GetVisibleCountFromBottom(Integer AIndex) {
  return GetScrollStrategy()->GetVisibleCountFromBottom(AIndex, cxRectHeight(GetViewInfo()->Bounds));
}

void TcxvgScroller::InitScrollBarsParameters() {
  if (!GetViewInfo()) return;
  GetScrollStrategy()->InitHScrollBarParameters();
  GetScrollStrategy()->InitVScrollBarParameters();
}

void TcxvgScroller::SetTopVisibleRowIndex(Integer Value) {
  TcxvgCustomScrollStrategy* strategy = GetScrollStrategy();
  strategy->SetTopVisibleRowIndex(strategy->CheckTopVisibleIndex(Value, 0));
}

void TcxvgScroller::SetLeftVisibleRecord(Integer Value) {
  const Integer before = GetLeftVisibleRecord();
  GetScrollStrategy()->SetLeftVisibleRecord(Value);
  if (GetLeftVisibleRecord() != before) FVerticalGrid->DoLeftVisibleRecordIndexChanged();
}

void TcxvgScroller::Scroll(TScrollBarKind AKind, TScrollCode ACode, Integer& APos) {
  if (AKind == sbVertical)
    GetScrollStrategy()->ScrollV(ACode, APos);
  else
    GetScrollStrategy()->ScrollH(ACode, APos);
}

void TcxvgScroller::SetRowVisible(TcxCustomRow* ARow) {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  // Before the first layout there is nothing to scroll.
  if (!ARow || !viewInfo || viewInfo->ViewBandWidth <= 0 || cxRectIsEmpty(viewInfo->Bounds)) return;
  viewInfo->UpdateVisibleRows();
  const Integer V = ARow->GetVisibleIndex();
  if (V < 0) return;
  TcxvgCustomScrollStrategy* strategy = GetScrollStrategy();
  Integer T = strategy->GetTopVisibleRowIndex();
  if (V < T) {
    T = V;
  } else if (V >= T + GetVisibleRowCount()) {
    const Integer B = GetVisibleCountFromBottom(V);
    if (T < V + 1 - B) T = std::max(0, V - B + 1);
  }
  strategy->SetTopVisibleRowIndex(strategy->CheckTopVisibleIndex(T, 1));
}

void TcxvgScroller::SetRowMaxVisible(TcxCustomRow* ARow) {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  if (!ARow || !viewInfo || viewInfo->ViewBandWidth <= 0 || cxRectIsEmpty(viewInfo->Bounds)) return;
  viewInfo->UpdateVisibleRows();
  if (ARow->GetVisibleIndex() < 0) return;
  if (ARow->GetExpanded())
    GetScrollStrategy()->SetRowMaxVisible(ARow);
  else
    SetRowVisible(ARow);
}

bool TcxvgScroller::SetRecordVisible(Integer AIndex) {
  const Integer records = FVerticalGrid->GetDataController()->GetRowCount();
  if (AIndex < 0 || AIndex >= records) return false;
  const Integer L = GetLeftVisibleRecord();
  const Integer visible = GetVisibleValueCount();
  if (AIndex < L)
    SetLeftVisibleRecord(AIndex);
  else if (AIndex >= L + visible)
    SetLeftVisibleRecord(AIndex - visible + 1);
  return GetLeftVisibleRecord() != L;
}

Integer TcxvgScroller::GetBandIndexByRowIndex(Integer ARowIndex) {
  return GetScrollStrategy()->GetBandIndexByRowIndex(ARowIndex);
}

void TcxvgScroller::RecalcBandsInfo() {
  TcxvgCustomScrollStrategy* strategy = GetScrollStrategy();
  strategy->RecalcBandsInfo();
  if (FCheckDecreaseLeft) {
    FCheckDecreaseLeft = false;
    strategy->CheckDecreaseLeftIndex();
  }
  // The top is checked at every pass: rows that went (collapsed, hidden,
  // removed) or a taller window leave free space below the last row.
  FCheckDecreaseTop = false;
  if (strategy->GetTopVisibleRowIndex() != 0) strategy->CheckDecreaseTopIndex(cxRectHeight(GetViewInfo()->Bounds));
}

void TcxvgScroller::LayoutStyleChanged() {
  FVerticalGrid->BeginUpdate();
  orv::ScopeExit end([this] { FVerticalGrid->EndUpdate(); });
  RecreateScrollStrategy();
  if (TcxCustomRow* focused = FVerticalGrid->GetFocusedRow()) SetRowVisible(focused);
  if (FVerticalGrid->HandleAllocated())
    if (TcxvgCustomViewInfo* viewInfo = GetViewInfo()) viewInfo->IsInitializing = false;
}

void TcxvgScroller::GoToFirst() { GetScrollStrategy()->FocusNextRecord(-1, true); }

void TcxvgScroller::GoToLast() {
  GetScrollStrategy()->FocusNextRecord(FVerticalGrid->GetDataController()->GetRowCount(), false);
}

void TcxvgScroller::GoToNext() { GetScrollStrategy()->FocusNextRecord(GetFocusedRecordIndex(), true); }

void TcxvgScroller::GoToPrev() { GetScrollStrategy()->FocusNextRecord(GetFocusedRecordIndex(), false); }
