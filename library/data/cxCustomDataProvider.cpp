#include "library/data/cxCustomDataProvider.h"

#include <algorithm>

#include "library/data/cxCustomDataController.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxCustomDataSource)
ORV_REGISTER(TcxCustomDataProvider)

// ---------------------------------------------------------------------------
// TcxCustomDataSource

TcxCustomDataSource::~TcxCustomDataSource() {
  for (TcxCustomDataProvider* p : std::vector<TcxCustomDataProvider*>(FProviders))
    if (p->GetCustomDataSource() == this) p->SetCustomDataSource(nullptr);
  if (FProvider && FProvider->GetCustomDataSource() == this) FProvider->SetCustomDataSource(nullptr);
}

TcxCustomDataController* TcxCustomDataSource::GetDataController() const {
  TcxCustomDataProvider* p = GetProvider();
  return p ? p->GetDataController() : nullptr;
}

Variant TcxCustomDataSource::GetDefaultItemID(Integer AItemIndex) {
  TcxCustomDataController* c = GetDataController();
  return c ? Variant(c->GetItemID(c->GetItem(AItemIndex))) : Null();
}

AnsiString TcxCustomDataSource::GetDisplayText(TcxDataRecordHandle ARecordHandle, TcxDataItemHandle AItemHandle) {
  return VarToStr(GetValue(ARecordHandle, AItemHandle));
}

bool TcxCustomDataSource::GetInfoForCompare(TcxDataRecordHandle, TcxDataItemHandle, const void*&) {
  cxDataInvalidOperation(cxSDataCustomDataSourceInvalidCompare);
}

void TcxCustomDataSource::LoadRecordHandles() {
  TcxCustomDataProvider* provider = GetProvider();
  TcxCustomDataController* c = GetDataController();
  if (!c) return;
  TcxDataStorage* storage = c->GetDataStorage();
  storage->Clear(provider->IsAppendingFromNewItem());
  storage->SetRecordCount(GetRecordCount());
  FHandleMapValid = false;
  for (Integer i = 0; i < c->GetRecordCount(); ++i) c->SetRecordHandle(i, GetRecordHandle(i));
}

void TcxCustomDataSource::DataChanged() {
  TcxCustomDataProvider* provider = GetProvider();
  if (!provider) return;
  FHandleMapValid = false;
  auto update = orv::FullUpdateScope(provider->GetDataController());
  provider->DataChanged(dcTotal, -1, -1);
}

TcxDataRecordHandle TcxCustomDataSource::GetRecordHandleByIndex(Integer ARecordIndex) {
  TcxCustomDataController* c = GetDataController();
  return c ? c->GetRecordHandle(ARecordIndex) : cxNullRecordHandle;
}

Integer TcxCustomDataSource::GetRecordIndexByHandle(TcxDataRecordHandle AHandle) {
  TcxCustomDataController* c = GetDataController();
  if (!c) return -1;
  const Integer count = c->GetRecordCount();
  if (!FHandleMapValid || FHandleMapCount != count) {
    FHandleMap.clear();
    FHandleMap.reserve(static_cast<size_t>(count));
    // Walking backwards leaves the first record of a repeated handle.
    for (Integer i = count - 1; i >= 0; --i) FHandleMap[c->GetRecordHandle(i)] = i;
    FHandleMapValid = true;
    FHandleMapCount = count;
  }
  auto it = FHandleMap.find(AHandle);
  if (it != FHandleMap.end() && c->GetRecordHandle(it->second) == AHandle) return it->second;
  return -1;
}

Integer TcxCustomDataSource::AddRecordHandle(TcxDataRecordHandle AHandle) {
  TcxCustomDataController* c = GetDataController();
  if (!c) return -1;
  const Integer index = c->GetDataStorage()->AppendRecord();
  c->SetRecordHandle(index, AHandle);
  if (FHandleMapValid && FHandleMapCount == index) {
    FHandleMap.emplace(AHandle, index);
    FHandleMapCount = index + 1;
  } else {
    FHandleMapValid = false;
  }
  return index;
}

void TcxCustomDataSource::AddProvider(TcxCustomDataProvider* AProvider) {
  if (!FProvider) FProvider = AProvider;
  if (std::find(FProviders.begin(), FProviders.end(), AProvider) == FProviders.end()) FProviders.push_back(AProvider);
}

void TcxCustomDataSource::RemoveProvider(TcxCustomDataProvider* AProvider) {
  FProviders.erase(std::remove(FProviders.begin(), FProviders.end(), AProvider), FProviders.end());
  if (FCurrentProvider == AProvider) FCurrentProvider = nullptr;
  if (FProvider == AProvider) FProvider = FProviders.empty() ? nullptr : FProviders.front();
  FHandleMapValid = false;
}

void TcxCustomDataSource::RemoveFromProviders() {
  for (TcxCustomDataProvider* p : std::vector<TcxCustomDataProvider*>(FProviders)) p->SetCustomDataSource(nullptr);
}

// ---------------------------------------------------------------------------
// TcxCustomDataProvider

TcxCustomDataProvider::TcxCustomDataProvider(TcxCustomDataController* ADataController)
    : FDataController(ADataController) {}

TcxCustomDataProvider::~TcxCustomDataProvider() {
  ClearSavedRecord();
  if (FCustomDataSource) FCustomDataSource->RemoveProvider(this);
  FCustomDataSource = nullptr;
}

TcxCustomDataSource* TcxCustomDataProvider::Source() {
  if (FCustomDataSource) FCustomDataSource->SetCurrentProvider(this);
  return FCustomDataSource;
}

TcxDataRecordHandle TcxCustomDataProvider::RecordHandle(Integer ARecordIndex) {
  return FDataController->GetRecordHandle(ARecordIndex);
}

TcxDataItemHandle TcxCustomDataProvider::ItemHandle(TcxCustomDataField* AField) {
  return Source()->GetItemHandle(AField->GetIndex());
}

void TcxCustomDataProvider::CustomSort() {
  if (Source()) FCustomDataSource->CustomSort();
}

bool TcxCustomDataProvider::IsCustomSorting() { return Source() && FCustomDataSource->IsCustomSorting(); }

bool TcxCustomDataProvider::IsRecordIdSupported() { return Source() && FCustomDataSource->IsRecordIdSupported(); }

bool TcxCustomDataProvider::CanDelete() { return FDataController->GetRecordCount() > 0; }

bool TcxCustomDataProvider::CanInitEditing(Integer ARecordIndex) {
  FDataController->CheckRecordRange(ARecordIndex);
  if (!IsEditing()) SetEditing();
  if (IsEditing()) SetChanging();
  return true;
}

void TcxCustomDataProvider::Unfreeze() {
  if (FFreezeCount > 0) --FFreezeCount;
  // Changes reported while frozen were held back; now they reach the
  // controller, or the view would keep showing the old data.
  if (FFreezeCount == 0 && FFrozenChangePending) {
    FFrozenChangePending = false;
    FDataController->DataChanged(dcTotal, -1, -1);
  }
}

void TcxCustomDataProvider::EditingRecord() {
  TcxCustomDataController* c = FDataController;
  if (c->GetUseNewItemRowForEditing() && c->GetNewItemRowFocused() && !IsInserting()) {
    Insert();
    return;
  }
  FEditingRecordIndex = c->CalcEditingRecordIndex();
  if (FEditingRecordIndex >= 0) {
    FPrevNeighbour = FNextNeighbour = cxNullEditingRecordIndex;
    const Integer row = c->GetFocusedRowIndex();
    if (row != -1) {
      if (row >= c->GetRowCount() - 1)
        FPrevNeighbour = c->GetRowInfo(row > 0 ? row - 1 : row).RecordIndex;
      else
        FNextNeighbour = c->GetRowInfo(row + 1).RecordIndex;
    }
  }
  if (FEditingRecordIndex != cxNullEditingRecordIndex) {
    if (!IsInserting()) CreateSavedRecord(FEditingRecordIndex);
    c->Change({dccUpdateRecord});
  }
}

void TcxCustomDataProvider::CorrectNeighbours(Integer ARecordIndex, Integer ADelta) {
  for (Integer* n : {&FPrevNeighbour, &FNextNeighbour}) {
    if (*n == cxNullEditingRecordIndex || *n < 0) continue;
    if (ADelta < 0 && *n == ARecordIndex)
      *n = cxNullEditingRecordIndex;
    else if (*n > ARecordIndex || (ADelta > 0 && *n == ARecordIndex))
      *n += ADelta;
  }
}

void TcxCustomDataProvider::CreateSavedRecord(Integer ARecordIndex) {
  TcxDataStorage* storage = FDataController->GetDataStorage();
  if (FSavedRecordIndex == 0) FSavedRecordIndex = storage->AddInternalRecord();
  FDataController->CopyRecord(ARecordIndex, FSavedRecordIndex);
}

void TcxCustomDataProvider::ClearSavedRecord() {
  if (FSavedRecordIndex != 0) {
    TcxDataStorage* storage = FDataController->GetDataStorage();
    if (storage && !storage->IsDestroying()) storage->DeleteRecord(FSavedRecordIndex);
  }
  FSavedRecordIndex = 0;
}

void TcxCustomDataProvider::InsertingRecord(bool AIsAppend) {
  TcxCustomDataController* c = FDataController;
  if (!IsDataSource() && IsInserting() && !IsChanging() && !IsModified()) return;
  if (IsEditing() && (IsChanging() || IsModified()) && !IsDataSource()) {
    if (IsChanging()) PostEditingData();
    Post();
  }
  c->DoBeforeInsert();
  std::vector<Variant> groupValues;
  {
    auto update = orv::UpdateScope(c);
    if (c->GetUseNewItemRowForEditing()) {
      Integer r = c->GetFocusedRecordIndex();
      if (r == -1 && c->GetRowCount() > 0) r = c->GetRowInfo(0).RecordIndex;
      FEditingRecordIndex = c->GetNewItemRecordIndex();
      c->FNewItemRowFocused = true;
      c->GetGroupValues(r, groupValues);
    } else {
      if (!AIsAppend) c->ClearSelection();
      if (IsGridMode()) {
        c->GetGroupValues(c->GetActiveRecordIndex(), groupValues);
        FEditingRecordIndex = c->GetActiveRecordIndex();
      } else if (AIsAppend) {
        const Integer last = c->GetLastRecordIndex();
        c->GetGroupValues(last, groupValues);
        FEditingRecordIndex = c->AppendRecord();
        FPrevNeighbour = last;
      } else {
        Integer r = c->GetFocusedRecordIndex();
        if (r == -1) r = 0;
        c->GetGroupValues(r, groupValues);
        FEditingRecordIndex = c->InsertRecord(std::min(r, c->GetRecordCount()));
        FNextNeighbour = r >= FEditingRecordIndex ? r + 1 : r;
      }
    }
    DoInitInsertingRecord(FEditingRecordIndex, groupValues);
    ResetChanging();
    FInserting = true;
  }
  c->ChangeFocusedRecordIndex(FEditingRecordIndex);
  c->DoAfterInsert();
}

void TcxCustomDataProvider::DoInitInsertingRecord(Integer ARecordIndex, const std::vector<Variant>& AGroupValues) {
  TcxCustomDataController* c = FDataController;
  TcxGroupingFieldList* grouping = c->GetDataControllerInfo()->GetGroupingFieldList();
  if (FGrouped && c->GetOptions().Contains(dcoAssignGroupingValues))
    for (Integer i = 0; i < grouping->GetCount() && i < static_cast<Integer>(AGroupValues.size()); ++i)
      AssignItemValue(ARecordIndex, grouping->GetItem(i).Field, AGroupValues[static_cast<size_t>(i)]);
  c->DoNewRecord(ARecordIndex);
}

void TcxCustomDataProvider::AssignItemValue(Integer ARecordIndex, TcxCustomDataField* AField, const Variant& AValue) {
  FDataController->SetValue(ARecordIndex, AField->GetIndex(), AValue);
}

bool TcxCustomDataProvider::SetEditValue(Integer ARecordIndex, TcxCustomDataField* AField, const Variant& AValue,
                                         TcxDataEditValueSource AValueSource) {
  if (AValueSource == evsText && VarToStr(AValue).empty())
    FDataController->SetValue(ARecordIndex, AField->GetIndex(), Null());
  else
    FDataController->SetValue(ARecordIndex, AField->GetIndex(), AValue);
  SetModified();
  return true;
}

Variant TcxCustomDataProvider::GetEditValue(Integer ARecordIndex, TcxCustomDataField* AField,
                                            TcxDataEditValueSource) {
  if (ARecordIndex == cxNullEditingRecordIndex) cxDataInvalidOperation(cxSDataRecordIndexError);
  return FDataController->GetInternalValue(ARecordIndex, AField);
}

void TcxCustomDataProvider::DoUpdateData() {
  if (FInUpdateData) return;
  auto guard = orv::TempValue(FInUpdateData, true);
  if (IsChanging()) FDataController->UpdateData();
}

void TcxCustomDataProvider::PostEditingData() {
  DoUpdateData();
  ResetChanging();
}

void TcxCustomDataProvider::Post() {
  TcxCustomDataController* c = FDataController;
  // The link tells whether the controller outlived the handlers called below.
  TcxDataListenerLink* link = c->AddListenerLink();
  orv::ScopeExit dropLink([c, link] {
    if (link->Ref)
      c->RemoveListenerLink(link);
    else
      link->Free();
  });
  c->BeginFullUpdate();
  orv::ScopeExit endUpdate([c, link] {
    if (link->Ref) c->EndFullUpdate();
  });
  bool afterPost = false;
  Integer reported = -1;
  DoUpdateData();
  if (IsInserting() && !IsModified()) {
    Cancel();
    reported = -1;
  } else {
    c->DoBeforePost();
    reported = FEditingRecordIndex;
    if (IsInserting() && c->GetUseNewItemRowForEditing() && FEditingRecordIndex != cxNullEditingRecordIndex) {
      const Integer newItem = FEditingRecordIndex;
      {
        auto appending = orv::TempValue(FAppendingFromNewItem, FCustomDataSource != nullptr);
        FInsertedRecordIndex = c->AppendRecord();
      }
      reported = FInsertedRecordIndex;
      if (reported >= 0) c->CopyRecord(newItem, reported);
    }
    ResetEditing();
    afterPost = true;
  }
  c->DataChanged(dcRecord, -1, reported);
  if (afterPost) c->DoAfterPost();
}

void TcxCustomDataProvider::Cancel() {
  TcxCustomDataController* c = FDataController;
  c->DoBeforeCancel();
  {
    auto update = orv::UpdateScope(c);
    if (IsEditing() && (FEditingRecordIndex >= 0 || FEditingRecordIndex == c->FNewItemRecordIndex)) {
      if (IsInserting() && FEditingRecordIndex >= 0) {
        const Integer focused = c->GetFocusedRecordIndex();
        {
          auto smart = orv::TempValue(c->FSmartLoadOperation, c->IsSmartLoad());
          const Integer index = FEditingRecordIndex;
          FEditingRecordIndex = cxNullEditingRecordIndex;
          c->DeleteRecord(index);
        }
        if (!c->IsInCancel() && focused != -1 && focused >= c->GetRecordCount() && focused > 0)
          c->ChangeFocusedRecordIndex(focused - 1);
      } else if (!IsInserting() && FSavedRecordIndex != 0) {
        c->CopyRecord(FSavedRecordIndex, FEditingRecordIndex);
      }
    }
    ResetEditing();
  }
  c->DoAfterCancel();
}

void TcxCustomDataProvider::ResetEditing() {
  TcxCustomDataController* c = FDataController;
  if (FEditingRecordIndex != cxNullEditingRecordIndex && FEditingRecordIndex == c->FNewItemRecordIndex &&
      FEditingRecordIndex < 0) {
    c->GetDataStorage()->DeleteRecord(FEditingRecordIndex);
    c->FNewItemRecordIndex = 0;
  }
  FEditingRecordIndex = FPrevNeighbour = FNextNeighbour = cxNullEditingRecordIndex;
  FInserting = false;
  ResetChanging();
  ResetModified();
  ClearSavedRecord();
}

void TcxCustomDataProvider::Delete() {
  TcxCustomDataController* c = FDataController;
  const Integer r = c->GetFocusedRecordIndex();
  if (r == -1) return;
  c->DoBeforeDelete(r);
  if (c->IsProviderMode()) c->SaveKeys();
  try {
    c->DeleteRecord(r);
    c->CheckNearestFocusRow();
  } catch (...) {
    if (c->IsProviderMode()) c->RestoreKeys();
    throw;
  }
  if (c->IsProviderMode()) c->RestoreKeys();
  c->DoAfterDelete();
}

void TcxCustomDataProvider::DeleteRecords(const std::vector<Integer>& AList) {
  TcxCustomDataController* c = FDataController;
  const bool provider = c->IsProviderMode();
  if (provider) c->SaveKeys();
  try {
    {
      auto update = orv::FullUpdateScope(c);
      // The storage takes the records out of its list in one pass once
      // they are all gone (or something reads past them), not one move of
      // the records behind each.
      TcxDataStorage* storage = provider ? nullptr : c->GetDataStorage();
      if (storage) storage->BeginDeleting();
      orv::ScopeExit settle([storage] {
        if (storage) storage->EndDeleting();
      });
      // The records go highest first, so each keeps the index it had in
      // the list: the selection is corrected once for a run of them
      // instead of walked once a record. A handler sees it corrected.
      std::vector<Integer> deleted;
      auto correct = [&] {
        if (deleted.empty()) return;
        std::reverse(deleted.begin(), deleted.end());
        c->SelectionRecordsDeleted(deleted);
        deleted.clear();
        c->FDataControllerInfo->TruncateSelection();
      };
      try {
        for (auto it = AList.rbegin(); it != AList.rend(); ++it) {
          if (c->BeforeDelete || (!deleted.empty() && *it >= deleted.back())) correct();
          c->DoBeforeDelete(*it);
          {
            auto batch = orv::TempValue(c->FSelectionDeletes, provider ? nullptr : &deleted);
            c->DeleteRecord(*it);
          }
          if (c->AfterDelete) correct();
          c->DoAfterDelete();
        }
      } catch (...) {
        correct();
        throw;
      }
      correct();
      if (c->IsDeletingSelection()) c->ClearSelection();
    }
    c->CheckNearestFocusRow();
  } catch (...) {
    if (provider) c->RestoreKeys();
    throw;
  }
  if (provider) c->RestoreKeys();
}

void TcxCustomDataProvider::DeleteSelection() {
  TcxCustomDataController* c = FDataController;
  std::vector<Integer> list;
  for (Integer i = 0; i < c->GetSelectedCount(); ++i) {
    const Integer row = c->GetSelectedRowIndex(i);
    if (row < 0 || row >= c->GetRowCount()) continue;
    const TcxRowInfo info = c->GetRowInfo(row);
    if (info.Level < c->GetDataControllerInfo()->GetDataGroups()->GetLevelCount())
      c->GetGroups()->LoadRecordIndexesByRowIndex(list, row);
    else
      list.push_back(info.RecordIndex);
  }
  auto deleting = orv::TempValue(c->FDeletingSelection, true);
  c->DeleteRecords(list);
}

void TcxCustomDataProvider::BeginDeleting() {
  TcxCustomDataController* c = FDataController;
  if (IsGridMode()) return;
  const Integer row = c->GetFocusedRowIndex();
  if (row == -1) return;
  Integer target;
  if (c->GetMultiSelect() && !c->IsRowSelected(row) && c->GetSelectedCount() > 0)
    target = row;
  else
    target = c->GetNearestRowIndex(row);
  c->SetRecordToFocusAfterDeleting(target >= 0 ? c->GetRowInfo(target).RecordIndex : -1);
}

void TcxCustomDataProvider::EndDeleting() { FDataController->SetRecordToFocusAfterDeleting(-1); }

bool TcxCustomDataProvider::IsInStepWithSource() {
  return FDataController->GetRecordCount() == FCustomDataSource->GetRecordCount();
}

void TcxCustomDataProvider::ReloadFromSource() {
  // What the source's DataChanged does, also while frozen: the record was
  // asked for by the controller, which must know it to go on with it.
  FCustomDataSource->InvalidateHandleMap();
  {
    auto update = orv::FullUpdateScope(FDataController);
    FDataController->DataChanged(dcTotal, -1, -1);
  }
  if (FAppendingFromNewItem)
    ResetChanging();
  else
    ResetEditing();
}

Integer TcxCustomDataProvider::AppendRecord() {
  if (!Source()) return -1;
  const TcxDataRecordHandle handle = FCustomDataSource->AppendRecord();
  if (handle == cxNullRecordHandle) return -1;
  // A source that reported its new record has been reloaded already. For
  // one that did not, a record added at its end only needs its handle
  // added here; anything else reloads every handle.
  Integer index = FCustomDataSource->GetRecordIndexByHandle(handle);
  if (index >= 0 && IsInStepWithSource()) return index;
  const Integer count = FDataController->GetRecordCount();
  if (index < 0 && FCustomDataSource->GetRecordCount() == count + 1 &&
      FCustomDataSource->GetRecordHandle(count) == handle) {
    index = AddRecordHandle(handle);
    FDataController->DataChanged(dcNew, -1, -1);
    return index;
  }
  ReloadFromSource();
  return FCustomDataSource->GetRecordIndexByHandle(handle);
}

void TcxCustomDataProvider::DeleteRecord(Integer ARecordIndex) {
  if (!Source()) return;
  FCustomDataSource->DeleteRecord(RecordHandle(ARecordIndex));
  FCustomDataSource->InvalidateHandleMap();
  // The controller's record must go too, or it would go on asking the
  // source for a handle that no longer exists.
  if (!IsInStepWithSource()) ReloadFromSource();
}

bool TcxCustomDataProvider::GetDetailHasChildren(Integer ARecordIndex, Integer ARelationIndex) {
  return Source() && FCustomDataSource->GetDetailHasChildren(ARecordIndex, ARelationIndex);
}

AnsiString TcxCustomDataProvider::GetDisplayText(Integer ARecordIndex, TcxCustomDataField* AField) {
  if (!Source()) return AnsiString();
  return FCustomDataSource->GetDisplayText(RecordHandle(ARecordIndex), ItemHandle(AField));
}

Variant TcxCustomDataProvider::GetRecordId(Integer ARecordIndex) {
  if (!Source()) return Null();
  return FCustomDataSource->GetRecordId(RecordHandle(ARecordIndex));
}

Variant TcxCustomDataProvider::GetValue(Integer ARecordIndex, TcxCustomDataField* AField) {
  if (!Source()) return Null();
  return FCustomDataSource->GetValue(RecordHandle(ARecordIndex), ItemHandle(AField));
}

Integer TcxCustomDataProvider::InsertRecord(Integer ARecordIndex) {
  if (!Source()) return -1;
  TcxDataRecordHandle handle;
  // At the end position there is no record to go in front of.
  if (FCustomDataSource->GetRecordCount() > 0 && ARecordIndex < FDataController->GetRecordCount())
    handle = FCustomDataSource->InsertRecord(RecordHandle(ARecordIndex));
  else
    handle = FCustomDataSource->AppendRecord();
  if (handle == cxNullRecordHandle) return -1;
  FCustomDataSource->InvalidateHandleMap();
  // The records behind the new one moved: unless the source reported the
  // change itself, the controller reloads the handles in their new order.
  if (!IsInStepWithSource()) ReloadFromSource();
  return FCustomDataSource->GetRecordIndexByHandle(handle);
}

Integer TcxCustomDataProvider::NativeCompare(Integer ARecordIndex1, Integer ARecordIndex2, TcxCustomDataField* AField) {
  TcxDataStorage* storage = FDataController->GetDataStorage();
  TcxValueDef* def = AField->GetValueDef();
  if (!def) return 0;
  if (ARecordIndex1 < 0 && ARecordIndex2 < 0) return storage->CompareRecords(ARecordIndex1, ARecordIndex2, def);
  const void* p[2] = {nullptr, nullptr};
  bool isNull[2];
  const Integer records[2] = {ARecordIndex1, ARecordIndex2};
  for (int i = 0; i < 2; ++i) {
    if (records[i] < 0)
      isNull[i] = storage->GetCompareInfo(records[i], def, p[i]);
    else if (Source())
      isNull[i] = FCustomDataSource->GetInfoForCompare(RecordHandle(records[i]), ItemHandle(AField), p[i]);
    else
      isNull[i] = storage->GetCompareInfo(records[i], def, p[i]);
  }
  return def->CompareValues(isNull[0], isNull[1], p[0], p[1]);
}

Integer TcxCustomDataProvider::NativeCompareFunc(Integer ARecordIndex1, Integer ARecordIndex2,
                                                 TcxCustomDataField* AField) {
  if (!Source()) return 0;
  return FCustomDataSource->NativeCompareFunc(RecordHandle(ARecordIndex1), RecordHandle(ARecordIndex2),
                                              ItemHandle(AField));
}

void TcxCustomDataProvider::SetDisplayText(Integer, TcxCustomDataField*, const AnsiString&) {}

void TcxCustomDataProvider::SetRecordCount(Integer ACount) {
  if (!Source()) return;
  FCustomDataSource->SetRecordCount(ACount);
  if (!IsInStepWithSource()) ReloadFromSource();
}

void TcxCustomDataProvider::SetValue(Integer ARecordIndex, TcxCustomDataField* AField, const Variant& AValue) {
  if (Source()) FCustomDataSource->SetValue(RecordHandle(ARecordIndex), ItemHandle(AField), AValue);
}

void TcxCustomDataProvider::ActiveChanged(bool AActive) {
  FDataController->ActiveChanged(AActive);
  ResetEditing();
}

void TcxCustomDataProvider::DataChanged(TcxDataChange ADataChange, Integer AItemIndex, Integer ARecordIndex) {
  if (FFreezeCount == 0)
    FDataController->DataChanged(ADataChange, AItemIndex, ARecordIndex);
  else
    FFrozenChangePending = true;
  if (FAppendingFromNewItem)
    ResetChanging();
  else
    ResetEditing();
}

void TcxCustomDataProvider::DataScrolled(Integer ADistance) {
  FDataController->DataScrolled(ADistance);
  ResetChanging();
}

void TcxCustomDataProvider::LayoutChanged(TcxDataLayoutChanges AChanges) { FDataController->LayoutChanged(AChanges); }

void TcxCustomDataProvider::SetCustomDataSource(TcxCustomDataSource* ASource) {
  if (!IsCustomDataSourceSupported() || FCustomDataSource == ASource) return;
  if (FCustomDataSource) FCustomDataSource->RemoveProvider(this);
  FCustomDataSource = ASource;
  if (ASource) ASource->AddProvider(this);
  if (!FDataController->IsDestroying()) {
    auto changing = orv::TempValue(FDataController->FChangingDataSource, true);
    FDataController->RestructData();
  }
}

Integer TcxCustomDataProvider::AddRecordHandle(TcxDataRecordHandle AHandle) {
  return Source() ? FCustomDataSource->AddRecordHandle(AHandle) : -1;
}

void TcxCustomDataProvider::LoadRecordHandles() {
  if (Source()) FCustomDataSource->LoadRecordHandles();
}
