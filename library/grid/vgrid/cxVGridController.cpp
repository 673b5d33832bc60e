#include "library/grid/vgrid/cxVGridController.h"

#include "library/grid/vgrid/cxVGrid.h"
#include "platform/rtl/ScopeExit.h"


TcxvgController::TcxvgController(TcxEditingControl* AControl)
    : TcxCustomControlController(AControl),
      FScroller(New<TcxvgScroller>(static_cast<TcxCustomVerticalGrid*>(AControl))) {}

TcxvgController::~TcxvgController() {
  StopScrollTimer();
  if (FDragAutoScroll) FDragAutoScroll->Free();
  FreeAndNil(FScroller);
}

TcxCustomVerticalGrid* TcxvgController::GetVerticalGrid() const {
  return static_cast<TcxCustomVerticalGrid*>(GetEditingControl());
}

void TcxvgController::Clear() {
  inherited::Clear();
  // A new view info keeps the focus; clearing the rows drops it.
  if (GetVerticalGrid()->IsRecreatingViewInfo()) return;
  SetEditingItem(nullptr);
  {
    auto focusing = orv::TempValue(FFocusingRowAndCell, true);
    SetFocusedItem(nullptr);
  }
  InternalSetRowAndCell(nullptr, -1);
}

void TcxvgController::InternalSetRowAndCell(TcxCustomRow* ARow, Integer ACellIndex) {
  FFocusedRow = ARow;
  FFocusedCellIndex = ARow ? ACellIndex : -1;
}

void TcxvgController::RowDestroying(TcxCustomRow* ARow) {
  if (!ARow) return;
  // A row may go while the mouse still sizes or drags it (the application
  // rebuilds its rows meanwhile): the rest of that gesture finds no row.
  if (ARow == FSizingRow) FSizingRow = nullptr;
  if (ARow == FDragRow) FDragRow = nullptr;
  if (ARow != FFocusedRow) return;
  if (GetIsEditing()) GetEditingController()->HideEdit(false);
  {
    auto focusing = orv::TempValue(FFocusingRowAndCell, true);
    SetFocusedItem(nullptr);
  }
  InternalSetRowAndCell(nullptr, -1);
}

void TcxvgController::SetFocusedRowAndCell(TcxCustomRow* ARow, Integer ACellIndex) {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  if (grid->GetIsDesigning()) return;
  if (ARow && !ARow->CanFocus()) return;
  const Integer count = ARow ? ARow->GetEditContainerCount() : 0;
  // A row without cells (a category) has no focused cell.
  if (count == 0)
    ACellIndex = -1;
  else if (ACellIndex < 0 || ACellIndex >= count)
    ACellIndex = 0;
  if (count >= 1 && !ARow->GetEditContainer(ACellIndex)->CanFocus()) {
    ACellIndex = 0;
    for (Integer i = 0; i < count; ++i)
      if (ARow->GetEditContainer(i)->CanFocus()) {
        ACellIndex = i;
        break;
      }
  }
  if (ARow == FFocusedRow && ACellIndex == FFocusedCellIndex) return;
  {
    auto focusing = orv::TempValue(FFocusingRowAndCell, true);
    TcxCustomInplaceEditContainer* item = ARow ? ARow->GetEditContainer(ACellIndex) : nullptr;
    if (item != GetFocusedItem()) SetFocusedItem(item);
  }
  SetAllowCheckEdit(true);
  DoUpdateRowAndCell(ARow, ACellIndex);
}

void TcxvgController::DoUpdateRowAndCell(TcxCustomRow* ARow, Integer ACellIndex) {
  TcxCustomRow* oldRow = FFocusedRow;
  const Integer oldCell = FFocusedCellIndex;
  if (ARow != FFocusedRow) {
    InternalSetRowAndCell(ARow, ACellIndex);
    if (TcxvgCustomViewInfo* viewInfo = GetVerticalGrid()->GetVGViewInfo()) viewInfo->ChangeFocusedRow(ARow, oldRow);
  } else if (ACellIndex != FFocusedCellIndex) {
    FFocusedCellIndex = FFocusedRow ? ACellIndex : -1;
    RefreshFocusedRow();
  }
  MakeFocusedItemVisible();
  if (oldRow != FFocusedRow || oldCell != FFocusedCellIndex) GetVerticalGrid()->DoItemChanged(oldRow, oldCell);
  if (!GetVerticalGrid()->IsLocked()) {
    SetAllowCheckEdit(true);
    CheckEdit();
  }
}

void TcxvgController::FocusedItemChanged(TcxCustomInplaceEditContainer* APrevFocusedItem) {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  if (grid->GetIsLoading() || grid->GetIsDestroying()) return;
  if (!RefreshingSearchItem) CancelIncSearching();
  if (APrevFocusedItem && GetPostDataOnChangeItem()) {
    TcxCustomDataController* data = GetDataController();
    const TcxDataControllerEditState state = data->GetEditState();
    if (state.Contains(dceEdit) || state.Contains(dceModified)) data->Post();
  }
  SetAllowCheckEdit(false);
  if (FFocusingRowAndCell) return;
  if (auto* cell = dynamic_cast<TcxCellEdit*>(GetFocusedItem()))
    DoUpdateRowAndCell(cell->GetRow(), cell->CellIndex);
  else
    DoUpdateRowAndCell(FFocusedRow && !FFocusedRow->IsDestroying() ? FFocusedRow : nullptr, FFocusedCellIndex);
}

void TcxvgController::SetFocusedCellEdit(TcxCellEdit* ACellEdit) {
  if (!ACellEdit) {
    SetFocusedRowAndCell(nullptr, 0);
    return;
  }
  TcxCustomRow* row = ACellEdit->GetRow();
  Integer index = 0;
  for (Integer i = 0; i < row->GetEditContainerCount(); ++i)
    if (row->GetEditContainer(i) == ACellEdit) index = i;
  SetFocusedRowAndCell(row, index);
}

TcxEditCellViewInfo* TcxvgController::GetFocusedCellViewInfo(TcxCustomInplaceEditContainer* AItem) {
  TcxvgCustomViewInfo* viewInfo = GetVerticalGrid()->GetVGViewInfo();
  if (!AItem || !viewInfo || FFocusedCellIndex < 0 || !FFocusedRow) return nullptr;
  TcxCustomRowViewInfo* rowViewInfo = viewInfo->GetRowViewInfo(FFocusedRow);
  if (!rowViewInfo) return nullptr;
  return rowViewInfo->GetValuesInfo()->Find(GetFocusedRecordIndex(), FFocusedCellIndex);
}

void TcxvgController::RefreshFocusedRow() {
  if (FFocusingRowAndCell || !FFocusedRow || FFocusedRow->IsDestroying()) return;
  if (TcxvgCustomViewInfo* viewInfo = GetVerticalGrid()->GetVGViewInfo())
    if (TcxCustomRowViewInfo* rowViewInfo = viewInfo->GetRowViewInfo(FFocusedRow)) rowViewInfo->Update();
}

void TcxvgController::UpdatePaintStyle() {
  if (TcxvgCustomViewInfo* viewInfo = GetVerticalGrid()->GetVGViewInfo()) viewInfo->LayoutStyleChanged();
}

void TcxvgController::UpdateRecord(Integer ARecordIndex) {
  if (GetVerticalGrid()->IsLocked()) return;
  if (TcxvgCustomViewInfo* viewInfo = GetVerticalGrid()->GetVGViewInfo()) viewInfo->UpdateRecord(ARecordIndex);
}

void TcxvgController::InitScrollBarsParameters() {
  if (GetVerticalGrid()->HandleAllocated()) FScroller->InitScrollBarsParameters();
}

void TcxvgController::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  FScroller->Scroll(AScrollBarKind, AScrollCode, AScrollPos);
}

void TcxvgController::MakeRecordVisible(Integer AIndex) { FScroller->SetRecordVisible(AIndex); }

void TcxvgController::MakeFocusedRecordVisible() { MakeRecordVisible(GetFocusedRecordIndex()); }

// The cells to refresh are the view info's cells of the focused record:
// walking them, rather than every row's item, costs what is laid out.
void TcxvgController::RefreshFocusedRecord() {
  TcxvgCustomViewInfo* viewInfo = GetVerticalGrid()->GetVGViewInfo();
  if (!viewInfo) return;
  TcxEditingControl* control = GetEditingControl();
  bool changed = false;
  control->SetLockCount(control->GetLockCount() + 1);
  {
    orv::ScopeExit unlock([control] { control->SetLockCount(control->GetLockCount() - 1); });
    for (TcxEditCellViewInfo* cell : std::vector<TcxEditCellViewInfo*>(viewInfo->GetEditCellViewInfoList()))
      if (GetFocusedCellViewInfo(cell->GetEditContainer()) == cell && cell->Refresh(true)) {
        changed = true;
        break;
      }
  }
  if (changed && !control->IsLocked()) {
    control->BeforeUpdate();
    control->LayoutChanged();
  }
}

bool TcxvgController::GetCancelEditingOnExit() {
  const TcxDataControllerEditState state = GetDataController()->GetEditState();
  return !state.Contains(dceEdit) && !state.Contains(dceModified);
}

bool TcxvgController::GetImmediateEditor() {
  TcxControlOptionsBehavior* behavior = GetOptions()->GetOptionsBehavior();
  return behavior->GetImmediateEditor() || behavior->GetAlwaysShowEditor();
}

void TcxvgController::MakeFocusedItemVisible() {
  if (FFocusingRowAndCell || !FFocusedRow) return;
  MakeRecordVisible(GetFocusedRecordIndex());
  MakeRowVisible(FFocusedRow);
}

void TcxvgController::MakeRowVisible(TcxCustomRow* ARow) {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  if (!ARow) return;
  if (!grid->IsRowVisible(ARow)) {
    auto showing = orv::TempValue(FShowingRow, true);
    grid->BeginUpdate();
    orv::ScopeExit end([grid] { grid->EndUpdate(); });
    for (TcxCustomRow* row = ARow->GetParent(); row; row = row->GetParent()) {
      row->SetVisible(true);
      row->SetExpanded(true);
    }
  }
  FScroller->SetRowVisible(ARow);
}
