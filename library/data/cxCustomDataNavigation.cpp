// Focus, navigation, selection and the bookmark of the data controller.
#include <algorithm>

#include "library/data/cxCustomDataController.h"
#include "library/data/cxCustomDataSummary.h"
#include "platform/rtl/ScopeExit.h"

bool TcxCustomDataController::ChangeFocusedRowIndex(Integer ARowIndex) {
  if (FProvider->IsSyncMode() && ARowIndex != GetFocusedRowIndex() && !CheckMasterBrowseMode()) return false;
  if (ARowIndex != GetFocusedRowIndex()) CheckDetailsBrowseMode();
  FDataControllerInfo->SetFocusedRowIndex(ARowIndex);
  return true;
}

void TcxCustomDataController::ChangeFocusedRecordIndex(Integer ARecordIndex) {
  ChangeFocusedRowIndex(ARecordIndex == -1 ? -1 : GetRowIndexByRecordIndex(ARecordIndex, true));
}

Integer TcxCustomDataController::GetFocusedRowIndex() const {
  const Integer row = FDataControllerInfo->GetFocusedRowIndex();
  return row < FDataControllerInfo->GetRowCount() ? row : -1;
}

Integer TcxCustomDataController::GetFocusedRecordIndex() const { return FDataControllerInfo->GetFocusedRecordIndex(); }

Integer TcxCustomDataController::GetRowCount() const { return FDataControllerInfo->GetRowCount(); }

void TcxCustomDataController::GetRowInfo(Integer ARowIndex, TcxRowInfo& ARowInfo) const {
  ARowInfo = FDataControllerInfo->GetRowInfo(ARowIndex);
}

TcxRowInfo TcxCustomDataController::GetRowInfo(Integer ARowIndex) const {
  return FDataControllerInfo->GetRowInfo(ARowIndex);
}

Integer TcxCustomDataController::GetRowIndexByRecordIndex(Integer ARecordIndex, bool AMakeVisible) {
  CheckRecordRange(ARecordIndex);
  return FDataControllerInfo->GetRowIndexByRecordIndex(ARecordIndex, AMakeVisible);
}

Integer TcxCustomDataController::GetNearestRowIndex(Integer ARowIndex) const {
  return FDataControllerInfo->GetNearestRowIndex(ARowIndex);
}

void TcxCustomDataController::GotoFirst() {
  if (IsGridMode())
    FProvider->First();
  else
    ChangeFocusedRowIndex(0);
}

void TcxCustomDataController::GotoLast() {
  if (IsGridMode())
    FProvider->Last();
  else
    ChangeFocusedRowIndex(GetRowCount() - 1);
}

void TcxCustomDataController::GotoNext() {
  if (IsGridMode())
    FProvider->Next();
  else
    ChangeFocusedRowIndex(GetFocusedRowIndex() + 1);
}

void TcxCustomDataController::GotoPrev() {
  if (IsGridMode())
    FProvider->Prev();
  else
    ChangeFocusedRowIndex(std::max(GetFocusedRowIndex() - 1, 0));
}

void TcxCustomDataController::MoveBy(Integer ADistance) {
  if (IsGridMode()) {
    FProvider->MoveBy(ADistance);
    return;
  }
  // A distance up to the ends of Integer ("as far as it goes") stops at
  // the first or the last row.
  const Int64 target = Int64{GetFocusedRowIndex()} + ADistance;
  ChangeFocusedRowIndex(static_cast<Integer>(std::clamp<Int64>(target, 0, std::max(GetRowCount() - 1, 0))));
}

void TcxCustomDataController::Scroll(Integer ADistance) {
  if (IsGridMode()) FProvider->Scroll(ADistance);
}

bool TcxCustomDataController::IsBOF() {
  if (IsGridMode()) return FProvider->IsBOF();
  return GetRowCount() == 0 || GetFocusedRowIndex() == 0;
}

bool TcxCustomDataController::IsEOF() {
  if (IsGridMode()) return FProvider->IsEOF();
  return GetRowCount() == 0 || GetFocusedRowIndex() == GetRowCount() - 1;
}

void TcxCustomDataController::CheckFocusedRow() {
  if (GetFocusedRowIndex() == -1 && !GetNewItemRowFocused()) ChangeFocusedRowIndex(0);
}

bool TcxCustomDataController::CanFocusRecord(Integer ARecordIndex) {
  if (!FProvider->IsDataSource() && ARecordIndex != FProvider->GetEditingRecordIndex() && FProvider->IsEditing())
    Post();
  return true;
}

Integer TcxCustomDataController::GetRecordIndex() {
  if (FProvider->IsDataSource() && FProvider->IsSyncMode()) return FProvider->GetRecordIndex();
  return GetFocusedRecordIndex();
}

Integer TcxCustomDataController::GetLastRecordIndex() const {
  const Integer count = GetRowCount();
  return count > 0 ? GetRowInfo(count - 1).RecordIndex : -1;
}

void TcxCustomDataController::CheckNearestFocusRow() {
  if (FNearestFocusRecordIndex == -1) {
    if (GetLockCount() == 0 && GetFocusedRecordIndex() == -1 && GetRowCount() > 0)
      ChangeFocusedRecordIndex(GetLastRecordIndex());
  } else if (FNearestFocusRecordIndex < GetRecordCount()) {
    ChangeFocusedRecordIndex(FNearestFocusRecordIndex);
  }
}

void TcxCustomDataController::SaveDataSetPos() { FProvider->SavePos(); }
void TcxCustomDataController::RestoreDataSetPos() { FProvider->RestorePos(); }

// ---------------------------------------------------------------------------
// New-item row

bool TcxCustomDataController::GetNewItemRowFocused() const {
  return FNewItemRowFocused && FUseNewItemRowForEditing && GetFocusedRecordIndex() == -1;
}

void TcxCustomDataController::SetNewItemRowFocused(bool AValue) {
  if (FNewItemRowFocused == AValue) return;
  {
    auto update = orv::UpdateScope(this);
    if (AValue)
      ChangeFocusedRowIndex(-1);
    else if (!IsDestroying())
      Post();
    FDataControllerInfo->FocusedRecordChanged(true);
    FNewItemRowFocused = AValue;
  }
  if (FOptions.Contains(dcoInsertOnNewItemRowFocusing) && GetNewItemRowFocused() && !FProvider->IsInserting())
    Insert();
}

void TcxCustomDataController::ResetNewItemRowFocused() {
  if (FNewItemRowFocused) FDataControllerInfo->GetPrevFocusingInfo()->NewItemRowFocusingChanged = true;
  FNewItemRowFocused = false;
}

void TcxCustomDataController::SetUseNewItemRowForEditing(bool AValue) {
  if (FUseNewItemRowForEditing == AValue) return;
  Cancel();
  ClearSelection();
  FUseNewItemRowForEditing = AValue;
  Change({dccData});
}

// ---------------------------------------------------------------------------
// Selection

Integer TcxCustomDataController::GetSelectedCount() {
  if (IsFocusedSelectedMode()) return FFocusedRowSelected && GetFocusedRowIndex() != -1 ? 1 : 0;
  return FDataControllerInfo->GetSelectedCount();
}

Integer TcxCustomDataController::GetSelectedRowIndex(Integer AIndex) {
  if (IsFocusedSelectedMode()) return AIndex == 0 && FFocusedRowSelected ? GetFocusedRowIndex() : -1;
  return FDataControllerInfo->GetSelectedRowIndex(AIndex);
}

bool TcxCustomDataController::IsRowSelected(Integer ARowIndex) {
  if (IsFocusedSelectedMode()) return FFocusedRowSelected && ARowIndex != -1 && ARowIndex == GetFocusedRowIndex();
  return FDataControllerInfo->IsRowSelected(ARowIndex);
}

void TcxCustomDataController::ChangeRowSelection(Integer ARowIndex, bool ASelection) {
  if (!FMultiSelect) return;
  FDataControllerInfo->ChangeRowSelection(ARowIndex, ASelection);
}

void TcxCustomDataController::SelectRows(Integer AStartRowIndex, Integer AEndRowIndex) {
  if (!FMultiSelect) return;
  if (AStartRowIndex > AEndRowIndex) std::swap(AStartRowIndex, AEndRowIndex);
  auto update = orv::UpdateScope(this);
  FDataControllerInfo->SelectRows(AStartRowIndex, AEndRowIndex);
}

void TcxCustomDataController::SelectAll() {
  if (GetRowCount() > 0) SelectRows(0, GetRowCount() - 1);
}

void TcxCustomDataController::ClearSelection() { FDataControllerInfo->ClearSelection(); }

void TcxCustomDataController::CheckFocusedSelected() {
  if (!FMultiSelect) return;
  SyncSelectionFocusedRecord();
}

void TcxCustomDataController::SyncSelectionFocusedRecord() {
  auto update = orv::UpdateScope(this);
  ClearSelection();
  if (GetFocusedRowIndex() != -1) ChangeRowSelection(GetFocusedRowIndex(), true);
}

void TcxCustomDataController::SyncSelected(bool ASelected) {
  if (!IsFocusedSelectedMode() || FFocusedRowSelected == ASelected) return;
  FFocusedRowSelected = ASelected;
  if (GetFocusedRowIndex() != -1) {
    FPrevSelectedCount = 1;
    FPrevSelectedRowIndex = GetFocusedRowIndex();
  }
  Change({dccSelection});
}

void TcxCustomDataController::SetSelectionAnchor(Integer ARowIndex) {
  FDataControllerInfo->CheckRowIndex(ARowIndex);
  FDataControllerInfo->GetSelection()->SetAnchorRowIndex(ARowIndex);
}

Integer TcxCustomDataController::GetSelectionAnchorRowIndex() const {
  return FDataControllerInfo->GetSelection()->GetAnchorRowIndex();
}

void TcxCustomDataController::ClearSelectionAnchor() { FDataControllerInfo->ClearSelectionAnchor(); }

void TcxCustomDataController::SelectFromAnchor(Integer ARowIndex, bool AKeepSelection) {
  if (!IsSelectionAnchorExist()) return;
  const Integer anchor = GetSelectionAnchorRowIndex();
  auto update = orv::UpdateScope(this);
  if (!AKeepSelection) {
    // Clearing the selection must not forget the anchor it starts from.
    FDataControllerInfo->ClearSelection();
    FDataControllerInfo->GetSelection()->SetAnchorRowIndex(anchor);
  }
  SelectRows(anchor, ARowIndex);
}

bool TcxCustomDataController::FocusSelectedRow(Integer ASelectedIndex) {
  // A selected index that names no row leaves the focus where it is.
  const Integer row = GetSelectedRowIndex(ASelectedIndex);
  if (row == -1) return false;
  ChangeFocusedRowIndex(row);
  return GetFocusedRowIndex() == row;
}

void TcxCustomDataController::SetMultiSelect(bool AValue) {
  if (FMultiSelect == AValue) return;
  FMultiSelect = AValue;
  FFocusedRowSelected = true;
  {
    auto update = orv::UpdateScope(this);
    if (!AValue)
      FDataControllerInfo->ClearSelection();
    else if (GetFocusedRowIndex() != -1)
      FDataControllerInfo->ChangeRowSelection(GetFocusedRowIndex(), true);
  }
  const TcxSummaryOptions options = GetSummaryOptions();
  if (options.Contains(soSelectedRecords) || options.Contains(soMultipleSelectedRecords)) SummaryChanged(false);
}

void TcxCustomDataController::ForEachRow(bool ASelectedOnly, const TcxEachRowProc& AProc) {
  if (ASelectedOnly) {
    for (Integer i = 0; i < GetSelectedCount(); ++i) {
      const Integer row = GetSelectedRowIndex(i);
      if (row >= 0 && row < GetRowCount()) AProc(row, GetRowInfo(row));
    }
  } else {
    for (Integer row = 0; row < GetRowCount(); ++row) AProc(row, GetRowInfo(row));
  }
}

// The new-item record is an internal (negative) record; 0 in the field
// means none has been made, and record 0 is an ordinary record.
static bool IsNewItemRecordOf(Integer ANewItemRecordIndex, Integer ARecordIndex) {
  return ANewItemRecordIndex < 0 && ARecordIndex == ANewItemRecordIndex;
}

Variant TcxCustomDataController::GetRowValue(const TcxRowInfo& ARowInfo, Integer AItemIndex) {
  TcxGroupingFieldList* grouping = FDataControllerInfo->GetGroupingFieldList();
  if (ARowInfo.Level < grouping->GetCount() && !IsNewItemRecordOf(FNewItemRecordIndex, ARowInfo.RecordIndex))
    AItemIndex = grouping->GetItem(ARowInfo.Level).Field->GetIndex();
  return GetValue(ARowInfo.RecordIndex, AItemIndex);
}

AnsiString TcxCustomDataController::GetRowDisplayText(const TcxRowInfo& ARowInfo, Integer& AItemIndex) {
  TcxGroupingFieldList* grouping = FDataControllerInfo->GetGroupingFieldList();
  if (ARowInfo.Level < grouping->GetCount() && !IsNewItemRecordOf(FNewItemRecordIndex, ARowInfo.RecordIndex))
    AItemIndex = grouping->GetItem(ARowInfo.Level).Field->GetIndex();
  return GetDisplayText(ARowInfo.RecordIndex, AItemIndex);
}

// ---------------------------------------------------------------------------
// Bookmark

bool TcxCustomDataController::InternalSaveBookmark() {
  const Integer record = GetFocusedRecordIndex();
  if (record == FBookmarkRecordIndex) return false;
  FBookmarkRecordIndex = record;
  return true;
}

void TcxCustomDataController::SaveBookmark() {
  if (InternalSaveBookmark()) Change({dccBookmark});
}

void TcxCustomDataController::GotoBookmark() {
  if (IsBookmarkAvailable()) InternalGotoBookmark();
}

void TcxCustomDataController::ClearBookmark() {
  const bool existed = IsBookmarkAvailable();
  InternalClearBookmark();
  if (existed) Change({dccBookmark});
}

bool TcxCustomDataController::IsBookmarkRow(Integer ARowIndex) {
  return IsBookmarkAvailable() && GetRowInfo(ARowIndex).RecordIndex == FBookmarkRecordIndex;
}

bool TcxCustomDataController::InternalCheckBookmark(Integer ARecordIndex) {
  if (ARecordIndex != -1 && ARecordIndex == FBookmarkRecordIndex) return false;
  return FDataControllerInfo->GetInternalRecordListIndex(FBookmarkRecordIndex) != -1;
}

void TcxCustomDataController::CheckBookmarkValid(Integer ARecordIndex) {
  if (!IsBookmarkAvailable() || !FDataControllerInfo) return;
  if (FDataControllerInfo->IsInUpdate() && ARecordIndex == -1) {
    if (InternalCheckBookmark(ARecordIndex)) return;
  } else if (ARecordIndex != -1) {
    if (InternalCheckBookmark(ARecordIndex)) return;
  } else if (FDataControllerInfo->GetLockCount() == 0 && InternalCheckBookmark(ARecordIndex)) {
    return;
  } else if (FDataControllerInfo->GetLockCount() != 0) {
    // The record list is rebuilt at the end of the bracket; the pass checks.
    return;
  }
  InternalClearBookmark();
  Change({dccBookmark});
}
