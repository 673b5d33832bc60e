#include "library/grid/vgrid/cxVGridMultiRecordsController.h"

#include "library/grid/vgrid/cxVGrid.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Keyboard.h"

ORV_REGISTER(TcxvgMultiRecordsController)

namespace {

TcxvgMultiRecordsOptionsData* OptionsData(TcxCustomVerticalGrid* AGrid) {
  return dynamic_cast<TcxvgMultiRecordsOptionsData*>(AGrid->GetOptionsData());
}

}  // namespace

bool TcxvgMultiRecordsController::CanChangeRecord() {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  auto* behavior = dynamic_cast<TcxvgMultiRecordsOptionsBehavior*>(grid->GetOptionsBehavior());
  return (behavior && behavior->GetAllowChangeRecord()) || grid->GetViewLayoutStyle() == lsMultiRecordView;
}

bool TcxvgMultiRecordsController::CanInsert(bool AByUser) {
  if (!GetDataController()->GetEditOperations().Contains(dceoInsert)) return false;
  TcxvgMultiRecordsOptionsData* options = OptionsData(GetVerticalGrid());
  return !AByUser || (options && options->GetInserting());
}

bool TcxvgMultiRecordsController::CanDelete(bool AByUser) {
  if (!GetDataController()->GetEditOperations().Contains(dceoDelete)) return false;
  TcxvgMultiRecordsOptionsData* options = OptionsData(GetVerticalGrid());
  if (AByUser && !(options && options->GetDeleting())) return false;
  return GetDataController()->GetRowCount() >= 1;
}

void TcxvgMultiRecordsController::InsertRecord() {
  if (!CanInsert(false)) return;
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  if (grid->GetOptionsBehavior()->GetFocusFirstCellOnNewRecord()) SetFocusedRow(cxvgVisibleRow(grid, 0));
  GetDataController()->Insert();
}

void TcxvgMultiRecordsController::DeleteSelection() {
  if (!CanDelete(false)) return;
  TcxvgMultiRecordsOptionsData* options = OptionsData(GetVerticalGrid());
  if (options && options->GetDeletingConfirmation() &&
      !cxConfirmMessageBox(LoadResString(cxSvgDeletingFocusedConfirmationText),
                           LoadResString(cxSvgDeletingConfirmationCaption)))
    return;
  GetDataController()->DeleteFocused();
}

bool TcxvgMultiRecordsController::GetCancelEditingOnExit() {
  TcxControlOptionsData* options = GetVerticalGrid()->GetOptionsData();
  const TcxDataControllerEditState state = GetDataController()->GetEditState();
  return options->GetCancelOnExit() && state.Contains(dceInsert) && !state.Contains(dceChanging) &&
         !state.Contains(dceModified);
}

void TcxvgMultiRecordsController::SetFocusedRecordIndex(Integer AIndex) {
  TcxCustomDataController* data = GetDataController();
  if (AIndex >= 0 && AIndex < data->GetRowCount())
    if (!CanFocusedRecordIndex(AIndex) || !data->ChangeFocusedRowIndex(AIndex)) return;
  if (GetFocusedRecordIndex() == AIndex) MakeFocusedRecordVisible();
}

void TcxvgMultiRecordsController::FocusedRecordChanged(Integer APrevFocusedRowIndex, Integer AFocusedRowIndex) {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  if (APrevFocusedRowIndex != -1 && GetIsEditing()) GetEditingController()->HideEdit(true);
  if (!cxvgMakeRecordVisible(grid, AFocusedRowIndex)) {
    if (grid->GetCellAutoHeight()) {
      grid->LayoutChanged();
    } else {
      UpdateRecord(APrevFocusedRowIndex);
      UpdateRecord(AFocusedRowIndex);
    }
  }
  grid->UpdateScrollBars();
  CheckEdit();
  GetEditingController()->UpdateEditValue();
  grid->DoFocusedRecordChanged(APrevFocusedRowIndex, AFocusedRowIndex);
  grid->Invalidate();
}

Word TcxvgMultiRecordsController::IncSearchKeyDown(Word AKey, TShiftState AShift) {
  TcxCustomInplaceEditContainer* item = GetItemForIncSearching();
  if (!item) return AKey;
  switch (AKey) {
    case win::VK_UP:
    case win::VK_DOWN:
      return AKey;
    case win::VK_LEFT:
    case win::VK_RIGHT:
      if (AShift == TShiftState{ssCtrl}) {
        SearchLocateNext(item, AKey == win::VK_RIGHT);
        return 0;
      }
      CancelIncSearching();
      return AKey;
    default:
      return inherited::IncSearchKeyDown(AKey, AShift);
  }
}

void TcxvgMultiRecordsController::RefreshIncSearchItem() {
  if (!GetIsIncSearching()) return;
  auto* cell = dynamic_cast<TcxCellEdit*>(GetIncSearchingItem());
  if (!cell) return;
  auto refreshing = orv::TempValue(RefreshingSearchItem, true);
  SetFocusedCellEdit(cell);
}
