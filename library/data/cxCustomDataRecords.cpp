// Records and values of the data controller, and the entry points of the
// edit cycle.
#include <algorithm>

#include "library/data/cxCustomDataController.h"
#include "library/data/cxCustomDataSearch.h"
#include "platform/rtl/ScopeExit.h"

// ---------------------------------------------------------------------------
// Range checks

void TcxCustomDataController::CheckItemRange(Integer AItemIndex) {
  if (AItemIndex < 0 || AItemIndex >= GetItemCount()) cxDataInvalidOperation(cxSDataItemIndexError);
}

void TcxCustomDataController::CheckRecordRange(Integer ARecordIndex) {
  // Only the records that exist pass: -1 means "no record" and an internal
  // record counts only while it is the new-item record or the provider's
  // copy of the record under edit. A check allocates nothing.
  if (ARecordIndex >= 0 && ARecordIndex < GetRecordCount()) return;
  if (ARecordIndex < 0 && ARecordIndex != cxNullEditingRecordIndex &&
      (ARecordIndex == FNewItemRecordIndex || ARecordIndex == FProvider->GetSavedRecordIndex() ||
       ARecordIndex == FProvider->GetEditingRecordIndex()))
    return;
  cxDataInvalidOperation(cxSDataRecordIndexError);
}

void TcxCustomDataController::CheckRange(Integer ARecordIndex, Integer AItemIndex) {
  CheckRecordRange(ARecordIndex);
  CheckItemRange(AItemIndex);
}

// ---------------------------------------------------------------------------
// Counting and shaping records

Integer TcxCustomDataController::GetRecordCount() { return FDataStorage->GetRecordCount(); }

void TcxCustomDataController::SetRecordCount(Integer ACount) {
  if (IsGridMode()) return;
  if (ACount < 0) ACount = 0;
  if (ACount == GetRecordCount()) return;
  if (IsProviderMode()) {
    FProvider->SetRecordCount(ACount);
    return;
  }
  const Integer old = GetRecordCount();
  FDataStorage->SetRecordCount(ACount);
  if (GetRecordCount() == old) return;
  CheckSelectedCount(-1);
  CheckEditingRecordIndex(-1);
  if (FNewItemRecordIndex >= GetRecordCount()) FNewItemRecordIndex = 0;
  CheckBookmarkValid(-1);
  DataChanged(GetRecordCount() > old ? dcNew : dcDeleted, -1, -1);
}

Integer TcxCustomDataController::AppendRecord() {
  if (FSmartLoadRunning) return AppendInSmartLoad();
  if (IsProviderMode()) return FProvider->AppendRecord();
  const Integer index = FDataStorage->AppendRecord();
  DataChanged(dcNew, -1, -1);
  return index;
}

Integer TcxCustomDataController::InsertRecord(Integer ARecordIndex) {
  if (ARecordIndex < 0 || ARecordIndex > GetRecordCount()) cxDataInvalidOperation(cxSDataRecordIndexError);
  if (FSmartLoadRunning) return AppendInSmartLoad();
  if (IsProviderMode()) return FProvider->InsertRecord(ARecordIndex);
  FDataControllerInfo->RecordsMoving();
  FDataStorage->InsertRecord(ARecordIndex);
  FDataControllerInfo->RecordsMoved(ARecordIndex, 1);
  // Records from the index on moved down by one; so did the record under
  // edit and the bookmark.
  const Integer editing = FProvider->GetEditingRecordIndex();
  if (editing != cxNullEditingRecordIndex && editing >= ARecordIndex) FProvider->SetEditingRecordIndex(editing + 1);
  FProvider->CorrectNeighbours(ARecordIndex, 1);
  if (FBookmarkRecordIndex >= ARecordIndex) ++FBookmarkRecordIndex;
  CorrectAfterInsert(ARecordIndex);
  DataChanged(dcNew, -1, -1);
  return ARecordIndex;
}

void TcxCustomDataController::DeleteRecord(Integer ARecordIndex) {
  CheckRecordRange(ARecordIndex);
  if (IsSmartLoad() && FSmartLoadRunning) {
    DeleteInSmartLoad(ARecordIndex);
    return;
  }
  if (ARecordIndex == FProvider->GetEditingRecordIndex()) {
    // The record under edit goes away: its edit state goes with it.
    FProvider->SetEditingRecordIndex(cxNullEditingRecordIndex);
    FProvider->ResetEditing();
  }
  if (IsProviderMode() && ARecordIndex >= 0) {
    // The source's records are reloaded and renumbered: the bookmark
    // follows its record by handle, and goes when its record went.
    const TcxDataRecordHandle mark =
        IsBookmarkAvailable() && FBookmarkRecordIndex < GetRecordCount() ? GetRecordHandle(FBookmarkRecordIndex)
                                                                         : cxNullRecordHandle;
    if (mark != cxNullRecordHandle) FBookmarkRecordIndex = -1;
    FProvider->DeleteRecord(ARecordIndex);
    if (mark != cxNullRecordHandle) {
      FBookmarkRecordIndex = GetCustomDataSource()->GetRecordIndexByHandle(mark);
      if (FBookmarkRecordIndex == -1) Change({dccBookmark});
    }
    return;
  }
  CheckBookmarkValid(ARecordIndex);
  if (ARecordIndex >= 0) FDataControllerInfo->RecordsMoving();
  FDataStorage->DeleteRecord(ARecordIndex);
  if (ARecordIndex >= 0) FDataControllerInfo->RecordsMoved(ARecordIndex, -1);
  if (ARecordIndex >= 0) FProvider->CorrectNeighbours(ARecordIndex, -1);
  if (ARecordIndex >= 0 && FBookmarkRecordIndex > ARecordIndex) --FBookmarkRecordIndex;
  CorrectAfterDelete(ARecordIndex);
  CheckSelectedCount(ARecordIndex);
  if (FNewItemRecordIndex == ARecordIndex) FNewItemRecordIndex = 0;
  if (ARecordIndex >= 0) DataChanged(dcDeleted, -1, -1);
}

void TcxCustomDataController::CorrectAfterDelete(Integer ARecordIndex) {
  if (ARecordIndex >= 0) CheckEditingRecordIndex(ARecordIndex);
}

void TcxCustomDataController::CheckEditingRecordIndex(Integer ARecordIndex) {
  const Integer editing = FProvider->GetEditingRecordIndex();
  if (editing == cxNullEditingRecordIndex) return;
  // A record deleted in front of the one under edit moves it up by one, as
  // an insert in front moves it down: the edit and what is typed go on.
  // Only the edited record itself gone, or a count that cut it off, ends it.
  if (ARecordIndex >= 0 && ARecordIndex < editing) {
    FProvider->SetEditingRecordIndex(editing - 1);
    return;
  }
  if (ARecordIndex == editing || editing >= GetRecordCount()) FProvider->ResetEditing();
}

void TcxCustomDataController::CheckSelectedCount(Integer ARecordIndex) {
  if (ARecordIndex >= 0 && FSelectionDeletes) {
    // One of a list: the provider corrects the selection once for all.
    FSelectionDeletes->push_back(ARecordIndex);
    return;
  }
  if (ARecordIndex >= 0) SelectionRecordsDeleted({ARecordIndex});
  FDataControllerInfo->TruncateSelection();
}

void TcxCustomDataController::SelectionRecordsDeleted(const std::vector<Integer>& ADeleted) {
  TcxDataSelection* selection = FDataControllerInfo->GetSelection();
  if (ADeleted.empty() || selection->GetCount() == 0) return;
  bool changed = selection->RemoveIf([&ADeleted](const TcxDataSelectionItem& e) {
    return e.Level != -1 && std::binary_search(ADeleted.begin(), ADeleted.end(), e.RecordIndex);
  });
  for (Integer i = 0; i < selection->GetCount(); ++i) {
    const TcxDataSelectionItem& e = selection->GetItem(i);
    if (e.Level == -1) continue;
    const auto before = std::lower_bound(ADeleted.begin(), ADeleted.end(), e.RecordIndex) - ADeleted.begin();
    if (before > 0) {
      selection->SetRecordIndex(i, e.RecordIndex - static_cast<Integer>(before));
      changed = true;
    }
  }
  if (changed) selection->Changed();
}

void TcxCustomDataController::CopyRecord(Integer AFromRecordIndex, Integer AToRecordIndex) {
  TcxValueDefRecordReader reader(this, AFromRecordIndex);
  if (IsProviderMode() && AToRecordIndex >= 0) {
    FDataStorage->ReadRecordFrom(AFromRecordIndex, AToRecordIndex, &reader,
                                 [this](TcxValueDef* d, Integer f, Integer t, TcxValueDefReader* r) {
                                   ProviderValueDefSetProc(d, f, t, r);
                                 });
  } else {
    FDataStorage->ReadRecord(AToRecordIndex, &reader);
  }
  if (AToRecordIndex >= 0) DataChanged(dcRecord, -1, -1);
}

void TcxCustomDataController::ProviderValueDefSetProc(TcxValueDef* AValueDef, Integer AFromRecordIndex,
                                                      Integer AToRecordIndex, TcxValueDefReader*) {
  auto* field = dynamic_cast<TcxCustomDataField*>(AValueDef->GetLinkObject());
  if (!field || field->GetIsInternal()) return;
  FProvider->SetValue(AToRecordIndex, field, FDataStorage->GetValue(AFromRecordIndex, AValueDef));
  if (AValueDef->GetTextStored())
    FProvider->SetDisplayText(AToRecordIndex, field, FDataStorage->GetDisplayText(AFromRecordIndex, AValueDef));
}

void TcxCustomDataController::Refresh() {
  auto update = orv::UpdateScope(this);
  FDataControllerInfo->Refresh();
}

Integer TcxCustomDataController::GetNewItemRecordIndex() {
  if (FNewItemRecordIndex == 0) FNewItemRecordIndex = FDataStorage->AddInternalRecord();
  return FNewItemRecordIndex;
}

bool TcxCustomDataController::IsRecordID() { return IsUnboundMode() && UseRecordID(); }

TcxDataRecordHandle TcxCustomDataController::GetRecordHandle(Integer ARecordIndex) {
  if (!FRecordIDField || !FRecordIDField->GetValueDef()) return cxNullRecordHandle;
  const Variant v = FDataStorage->GetValue(ARecordIndex, FRecordIDField->GetValueDef());
  return VarIsNull(v) ? cxNullRecordHandle : static_cast<TcxDataRecordHandle>(v.AsInt64());
}

void TcxCustomDataController::SetRecordHandle(Integer ARecordIndex, TcxDataRecordHandle AHandle) {
  if (!FRecordIDField || !FRecordIDField->GetValueDef()) return;
  FDataStorage->SetValue(ARecordIndex, FRecordIDField->GetValueDef(), Variant(static_cast<Int64>(AHandle)));
}

Integer TcxCustomDataController::GetFilteredRecordCount() const {
  return FDataControllerInfo->GetInternalRecordCount();
}

Integer TcxCustomDataController::GetFilteredRecordIndex(Integer AIndex) const {
  return FDataControllerInfo->GetInternalRecordIndex(AIndex);
}

// ---------------------------------------------------------------------------
// Values

Variant TcxCustomDataController::GetValue(Integer ARecordIndex, Integer AItemIndex) {
  CheckRange(ARecordIndex, AItemIndex);
  return GetInternalValue(ARecordIndex, GetField(AItemIndex));
}

Variant TcxCustomDataController::GetInternalValue(Integer ARecordIndex, TcxCustomDataField* AField) {
  if (IsProviderMode() && ARecordIndex >= 0 && IsDataField(AField)) return FProvider->GetValue(ARecordIndex, AField);
  return GetStoredValue(ARecordIndex, AField);
}

Variant TcxCustomDataController::GetStoredValue(Integer ARecordIndex, TcxCustomDataField* AField) {
  if (IsGridMode() && IsDataField(AField)) return FProvider->GetExternalDataValue(ARecordIndex, AField);
  TcxValueDef* def = AField->GetValueDef();
  return def ? FDataStorage->GetValue(ARecordIndex, def) : Null();
}

AnsiString TcxCustomDataController::GetDisplayText(Integer ARecordIndex, Integer AItemIndex) {
  CheckRange(ARecordIndex, AItemIndex);
  return GetInternalDisplayText(ARecordIndex, GetField(AItemIndex));
}

AnsiString TcxCustomDataController::GetInternalDisplayText(Integer ARecordIndex, TcxCustomDataField* AField) {
  if (IsProviderMode() && ARecordIndex >= 0 && IsDataField(AField))
    return FProvider->GetDisplayText(ARecordIndex, AField);
  return GetStoredDisplayText(ARecordIndex, AField);
}

AnsiString TcxCustomDataController::GetStoredDisplayText(Integer ARecordIndex, TcxCustomDataField* AField) {
  if (IsGridMode() && IsDataField(AField)) return FProvider->GetExternalDataDisplayText(ARecordIndex, AField);
  TcxValueDef* def = AField->GetValueDef();
  return def ? FDataStorage->GetDisplayText(ARecordIndex, def) : AnsiString();
}

void TcxCustomDataController::SetStoredValue(Integer ARecordIndex, TcxCustomDataField* AField, const Variant& AValue) {
  if (TcxValueDef* def = AField->GetValueDef()) FDataStorage->SetValue(ARecordIndex, def, AValue);
}

void TcxCustomDataController::SetValue(Integer ARecordIndex, Integer AItemIndex, const Variant& AValue) {
  if (IsGridMode()) return;
  CheckRange(ARecordIndex, AItemIndex);
  TcxCustomDataField* field = GetField(AItemIndex);
  if (IsProviderMode() && ARecordIndex >= 0) {
    FProvider->SetValue(ARecordIndex, field, AValue);
    DataChanged(dcField, AItemIndex, ARecordIndex);
  } else if (field->GetValueDef()) {
    FDataControllerInfo->RecordChanging(ARecordIndex);
    SetStoredValue(ARecordIndex, field, AValue);
    DataChanged(dcField, AItemIndex, ARecordIndex);
  }
}

void TcxCustomDataController::SetDisplayText(Integer ARecordIndex, Integer AItemIndex, const AnsiString& AText) {
  if (IsGridMode()) return;
  CheckRange(ARecordIndex, AItemIndex);
  TcxCustomDataField* field = GetField(AItemIndex);
  if (IsProviderMode() && ARecordIndex >= 0) {
    FProvider->SetDisplayText(ARecordIndex, field, AText);
    DataChanged(dcField, AItemIndex, ARecordIndex);
  } else if (TcxValueDef* def = field->GetValueDef()) {
    FDataControllerInfo->RecordChanging(ARecordIndex);
    FDataStorage->SetDisplayText(ARecordIndex, def, AText);
    DataChanged(dcField, AItemIndex, ARecordIndex);
  }
}

Variant TcxCustomDataController::GetRecordId(Integer ARecordIndex) {
  if (ARecordIndex < 0 || ARecordIndex >= GetRecordCount()) cxDataInvalidOperation(cxSDataRecordIndexError);
  if (IsRecordID()) return Variant(FDataStorage->GetRecordID(ARecordIndex));
  if (IsProviderMode() && FProvider->IsRecordIdSupported()) return FProvider->GetRecordId(ARecordIndex);
  return Null();
}

Variant TcxCustomDataController::GetInternalRecordId(Integer ARecordIndex,
                                                    const std::vector<TcxCustomDataField*>& AKeyFields) {
  if (AKeyFields.empty()) return IsProviderMode() ? FProvider->GetRecordId(ARecordIndex) : Null();
  if (AKeyFields.size() == 1) return GetInternalValue(ARecordIndex, AKeyFields[0]);
  Variant result = VarArrayCreate({0, static_cast<Integer>(AKeyFields.size()) - 1}, varVariant);
  for (size_t i = 0; i < AKeyFields.size(); ++i)
    VarArrayPut(result, GetInternalValue(ARecordIndex, AKeyFields[i]), {static_cast<Integer>(i)});
  return result;
}

void TcxCustomDataController::GetGroupValues(Integer ARecordIndex, std::vector<Variant>& AValues) {
  TcxGroupingFieldList* grouping = FDataControllerInfo->GetGroupingFieldList();
  AValues.assign(static_cast<size_t>(grouping->GetCount()), Null());
  if (ARecordIndex < 0 || ARecordIndex >= GetRecordCount()) return;
  for (Integer i = 0; i < grouping->GetCount(); ++i)
    AValues[static_cast<size_t>(i)] = GetInternalValue(ARecordIndex, grouping->GetItem(i).Field);
}

// ---------------------------------------------------------------------------
// Edit cycle

void TcxCustomDataController::Append() {
  if (FProvider->CanAppend()) FProvider->Append();
}

void TcxCustomDataController::Insert() {
  if (FProvider->CanInsert()) FProvider->Insert();
}

void TcxCustomDataController::Edit() {
  if (FProvider->CanModify()) FProvider->Edit();
}

void TcxCustomDataController::Cancel() {
  if (FInCancel) return;
  auto guard = orv::TempValue(FInCancel, true);
  const Integer row = GetFocusedRowIndex();
  if (FProvider->IsEditing()) FProvider->Cancel();
  if (!FDataControllerInfo->IsInFocusCheck()) ChangeFocusedRowIndex(std::min(row, GetRowCount() - 1));
}

void TcxCustomDataController::Post() {
  TcxDataListenerLink* link = AddListenerLink();
  try {
    FCheckAfterFilter = true;
    if (FProvider->IsEditing()) FProvider->Post();
    if (link->Ref) FProvider->SetInsertedRecordIndex(-1);
  } catch (...) {
    if (link->Ref)
      RemoveListenerLink(link);
    else
      link->Free();
    throw;
  }
  if (link->Ref)
    RemoveListenerLink(link);
  else
    link->Free();
}

void TcxCustomDataController::PostEditingData() { FProvider->PostEditingData(); }

bool TcxCustomDataController::CanInitEditing(Integer AItemIndex) {
  CheckItemRange(AItemIndex);
  TcxCustomDataField* field = GetField(AItemIndex);
  if (!FProvider->CanModify() && !field->IsUnbound()) return false;
  if (!field->CanModify(GetItemValueSource(AItemIndex))) return false;
  return FProvider->CanInitEditing(GetEditingRecordIndex());
}

Variant TcxCustomDataController::GetEditValue(Integer AItemIndex, TcxDataEditValueSource AValueSource) {
  CheckItemRange(AItemIndex);
  if (FUseNewItemRowForEditing && GetNewItemRowFocused() && !FProvider->IsEditing()) return Null();
  return FProvider->GetEditValue(GetEditingRecordIndex(), GetField(AItemIndex), AValueSource);
}

bool TcxCustomDataController::SetEditValue(Integer AItemIndex, const Variant& AValue,
                                           TcxDataEditValueSource AValueSource) {
  if (!CanInitEditing(AItemIndex)) return false;
  const bool result = FProvider->SetEditValue(GetEditingRecordIndex(), GetField(AItemIndex), AValue, AValueSource);
  if (result && IsImmediatePost()) Post();
  return result;
}

Integer TcxCustomDataController::GetEditingRecordIndex() {
  const Integer index = FProvider->GetEditingRecordIndex();
  return index != cxNullEditingRecordIndex ? index : CalcEditingRecordIndex();
}

Integer TcxCustomDataController::CalcEditingRecordIndex() {
  if (GetNewItemRowFocused()) return GetNewItemRecordIndex();
  const Integer record = GetFocusedRecordIndex();
  return record != -1 ? record : cxNullEditingRecordIndex;
}

bool TcxCustomDataController::IsImmediatePost() {
  return FOptions.Contains(dcoImmediatePost) || FProvider->IsUnboundColumnMode();
}

bool TcxCustomDataController::GetIsEditing() {
  const TcxDataControllerEditState state = GetEditState();
  return (state.Contains(dceInsert) || state.Contains(dceEdit)) && FProvider->IsEditing();
}

TcxDataControllerEditState TcxCustomDataController::GetEditState() {
  TcxDataControllerEditState state;
  if (FProvider->IsInserting())
    state += dceInsert;
  else if (FProvider->IsEditing())
    state += dceEdit;
  if (!state.Empty()) {
    if (FProvider->IsChanging()) state += dceChanging;
    if (FProvider->IsModified()) state += dceModified;
  }
  return state;
}

TcxDataControllerEditOperations TcxCustomDataController::GetEditOperations() {
  TcxDataControllerEditOperations ops;
  if (FProvider->CanAppend()) ops += dceoAppend;
  if (FProvider->CanDelete()) ops += dceoDelete;
  if (FProvider->CanModify()) ops += dceoEdit;
  if (FProvider->CanInsert()) ops += dceoInsert;
  if (!(FProvider->IsDataSource() && !FProvider->IsSyncMode())) ops += dceoShowEdit;
  return ops;
}

void TcxCustomDataController::DeleteFocused() {
  const Integer row = GetFocusedRowIndex();
  if (row == -1 || !FProvider->CanDelete()) return;
  FProvider->BeginDeleting();
  try {
    const TcxRowInfo info = GetRowInfo(row);
    if (FDataControllerInfo->IsGrouped() && info.Level < FDataControllerInfo->GetDataGroups()->GetLevelCount()) {
      std::vector<Integer> list;
      FGroups->LoadRecordIndexesByRowIndex(list, row);
      DeleteRecords(list);
    } else {
      DeleteFocusedRecord();
    }
    ClearSelection();
  } catch (...) {
    FProvider->EndDeleting();
    throw;
  }
  FProvider->EndDeleting();
}

void TcxCustomDataController::DeleteSelection() {
  if (GetSelectedCount() < 1 || !FProvider->CanDelete()) return;
  FProvider->BeginDeleting();
  try {
    if (FMultiSelect)
      FProvider->DeleteSelection();
    else
      DeleteFocusedRecord();
  } catch (...) {
    FProvider->EndDeleting();
    throw;
  }
  FProvider->EndDeleting();
}

void TcxCustomDataController::DeleteFocusedRecord() {
  const Integer focused = GetFocusedRecordIndex();
  if (focused != -1 && FNearestFocusRecordIndex != -1 && focused <= FNearestFocusRecordIndex)
    --FNearestFocusRecordIndex;
  try {
    FProvider->Delete();
  } catch (...) {
    FNearestFocusRecordIndex = focused;
    throw;
  }
}

void TcxCustomDataController::DeleteRecords(std::vector<Integer> AList) {
  std::sort(AList.begin(), AList.end());
  AList.erase(std::unique(AList.begin(), AList.end()), AList.end());
  // A record that is not there fails the list before any record goes: the
  // list is deleted highest first, and a bad index at its low end (-1 for
  // "no record") would otherwise fail only after the rest were deleted.
  for (Integer r : AList) CheckRecordRange(r);
  if (FNearestFocusRecordIndex != -1) {
    const Integer before = static_cast<Integer>(
        std::upper_bound(AList.begin(), AList.end(), FNearestFocusRecordIndex) - AList.begin());
    FNearestFocusRecordIndex -= before;
  }
  try {
    FProvider->DeleteRecords(AList);
  } catch (...) {
    FNearestFocusRecordIndex = GetFocusedRecordIndex();
    throw;
  }
}

void TcxCustomDataController::DoAfterCancel() {
  if (AfterCancel) AfterCancel(this);
}
void TcxCustomDataController::DoAfterDelete() {
  if (AfterDelete) AfterDelete(this);
}
void TcxCustomDataController::DoAfterInsert() {
  if (AfterInsert) AfterInsert(this);
}
void TcxCustomDataController::DoAfterPost() {
  if (AfterPost) AfterPost(this);
}
void TcxCustomDataController::DoBeforeCancel() {
  if (BeforeCancel) BeforeCancel(this);
}
void TcxCustomDataController::DoBeforeDelete(Integer ARecordIndex) {
  if (BeforeDelete) BeforeDelete(this, ARecordIndex);
}
void TcxCustomDataController::DoBeforeInsert() {
  if (BeforeInsert) BeforeInsert(this);
}
void TcxCustomDataController::DoBeforePost() {
  if (BeforePost) BeforePost(this);
}
void TcxCustomDataController::DoNewRecord(Integer ARecordIndex) {
  if (OnNewRecord) OnNewRecord(this, ARecordIndex);
}

// ---------------------------------------------------------------------------
// Smart loading

void TcxCustomDataController::BeginSmartLoad() {
  FProvider->Freeze();
  FProvider->SavePos();
  FDataStorage->BeginLoad();
  FSmartLoadRunning = true;
}

void TcxCustomDataController::EndSmartLoad() {
  FSmartLoadRunning = false;
  FDataStorage->EndLoad();
  FProvider->RestorePos();
  FProvider->Unfreeze();
  UpdateFocused();
  FDataControllerInfo->Refresh();
}

void TcxCustomDataController::LoadRecord(TcxValueDefReader* AData) {
  if (IsProviderMode()) return;
  const Integer index = FDataStorage->AppendRecord();
  FDataStorage->ReadRecord(index, AData);
  DoReadRecord(index);
}

Integer TcxCustomDataController::AppendInSmartLoad() {
  const Integer index = FDataStorage->AppendRecord();
  TcxValueDefReader reader;
  FDataStorage->ReadRecord(index, &reader);
  DataChanged(dcNew, -1, -1);
  return index;
}

void TcxCustomDataController::DeleteInSmartLoad(Integer ARecordIndex) {
  FDataStorage->DeleteRecord(ARecordIndex);
  DataChanged(dcDeleted, -1, -1);
}
