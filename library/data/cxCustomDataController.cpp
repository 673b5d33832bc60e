// The controller's construction, its collaborators, update brackets and
// the delivery of changes to the control and the listeners.
#include "library/data/cxCustomDataController.h"

#include <algorithm>

#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxCustomDataRelations.h"
#include "library/data/cxCustomDataSearch.h"
#include "library/data/cxCustomDataSummary.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxDataListenerLink)
ORV_REGISTER(TcxCustomDataController)
ORV_REGISTER(TcxDataControllerNotifier)

// ---------------------------------------------------------------------------
// Life cycle

TcxCustomDataController::TcxCustomDataController(TComponent* AOwner) : FOwner(AOwner) {}

void TcxCustomDataController::AfterConstruction() {
  // The collaborators come from virtual class getters, so they are made
  // once the whole object exists.
  TPersistent::AfterConstruction();
  FFocusedRowSelected = true;
  FOptions = cxDataControllerDefaultOptions;
  FDataStorage = New<TcxDataStorage>();
  FGroups = New<TcxDataControllerGroups>(this);
  FFields = New<TcxCustomDataFieldList>(this);
  FFilterList = New<TcxDataFilterList>();
  FFilter = GetFilterCriteriaClass().Construct<TcxCustomDataController*>(this);
  FSearch = GetSearchClass().Construct<TcxCustomDataController*>(this);
  FSummary = GetSummaryClass().Construct<TcxCustomDataController*>(this);
  FProvider = GetDataProviderClass().Construct<TcxCustomDataController*>(this);
  FDataControllerInfo = New<TcxCustomDataControllerInfo>(this);
  FMasterRecordIndex = -1;
  FBookmarkRecordIndex = -1;
  FNearestFocusRecordIndex = -1;
  ResetDataChanged();
  FNotifier = New<TcxDataControllerNotifier>(this);
  FDataStorage->OnClearInternalRecords = [this](TObject* Sender) { DataStorageClearInternalRecords(Sender); };
  FDataStorage->SetUseRecordID(IsRecordID());
}

void TcxCustomDataController::BeforeDestruction() {
  FDestroying = true;
  // Freeing the fields would end an active search, which reports a change
  // through the view pipeline freed before them.
  if (FSearch) FSearch->Abandon();
  ReleaseMasterRelation();
  TPersistent::BeforeDestruction();
}

TcxCustomDataController::~TcxCustomDataController() {
  FDestroying = true;
  FreeAndNil(FNotifier);
  FreeAndNil(FRelations);
  FreeAndNil(FDataControllerInfo);
  FreeAndNil(FSummary);
  FreeAndNil(FFilter);
  FreeAndNil(FFilterList);
  if (FDataStorage) FDataStorage->Clear(false);
  FreeAndNil(FGroups);
  FreeAndNil(FSaveObject);
  FreeAndNil(FProvider);
  FreeAndNil(FFields);
  FreeAndNil(FDataStorage);
  FreeAndNil(FSearch);
  FDataChangedListeners.clear();
  ReleaseListenerLinks();
}

void TcxCustomDataController::ReleaseListenerLinks() {
  for (TcxDataListenerLink* link : FListenerLinks) link->Ref = nullptr;
  FListenerLinks.clear();
}

void TcxCustomDataController::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomDataController*>(Source);
  if (!source) {
    TPersistent::DoAssign(Source);
    return;
  }
  SetOptions(source->FOptions);
  FFilter->Assign(source->FFilter);
  FSummary->Assign(source->FSummary);
  AfterCancel = source->AfterCancel;
  AfterDelete = source->AfterDelete;
  AfterInsert = source->AfterInsert;
  AfterPost = source->AfterPost;
  BeforeCancel = source->BeforeCancel;
  BeforeDelete = source->BeforeDelete;
  BeforeInsert = source->BeforeInsert;
  BeforePost = source->BeforePost;
  SetOnFilterRecord(source->OnFilterRecord);
  OnNewRecord = source->OnNewRecord;
  OnCompare = source->OnCompare;
  OnDataChanged = source->OnDataChanged;
  OnDetailCollapsing = source->OnDetailCollapsing;
  OnDetailCollapsed = source->OnDetailCollapsed;
  OnDetailExpanding = source->OnDetailExpanding;
  OnDetailExpanded = source->OnDetailExpanded;
  OnGroupingChanged = source->OnGroupingChanged;
  OnRecordChanged = source->OnRecordChanged;
  OnSortingChanged = source->OnSortingChanged;
}

HRESULT TcxCustomDataController::QueryInterface(const TGUID& iid, void** obj) {
  const HRESULT result = TPersistent::QueryInterface(iid, obj);
  return result == S_OK ? S_OK : E_NOINTERFACE;
}

// ---------------------------------------------------------------------------
// Class factories

TcxCustomDataProviderClass TcxCustomDataController::GetDataProviderClass() {
  return TcxCustomDataProvider::StaticClass();
}
TcxDataSelectionClass TcxCustomDataController::GetDataSelectionClass() { return TcxDataSelection::StaticClass(); }
TcxCustomDataFieldClass TcxCustomDataController::GetFieldClass() { return TcxCustomDataField::StaticClass(); }
TcxDataFilterCriteriaClass TcxCustomDataController::GetFilterCriteriaClass() {
  return TcxDataFilterCriteria::StaticClass();
}
TcxCustomDataRelationClass TcxCustomDataController::GetRelationClass() {
  return TcxCustomDataRelation::StaticClass();
}
TcxDataControllerSearchClass TcxCustomDataController::GetSearchClass() {
  return TcxDataControllerSearch::StaticClass();
}
TcxDataSummaryClass TcxCustomDataController::GetSummaryClass() { return TcxDataSummary::StaticClass(); }
TcxDataSummaryItemClass TcxCustomDataController::GetSummaryItemClass() { return TcxDataSummaryItem::StaticClass(); }
TcxDataSummaryGroupItemLinkClass TcxCustomDataController::GetSummaryGroupItemLinkClass() {
  return TcxDataSummaryGroupItemLink::StaticClass();
}

// ---------------------------------------------------------------------------
// State

bool TcxCustomDataController::IsProviderMode() { return FProvider && FProvider->GetCustomDataSource() != nullptr; }

bool TcxCustomDataController::IsUnboundMode() {
  return FProvider->IsCustomDataSourceSupported() && FProvider->GetCustomDataSource() == nullptr;
}

bool TcxCustomDataController::IsDestroying() {
  return FDestroying || (FOwner && FOwner->GetComponentState().Contains(csDestroying));
}

bool TcxCustomDataController::IsLoading() { return FOwner && FOwner->GetComponentState().Contains(csLoading); }

bool TcxCustomDataController::IsReading() { return FOwner && FOwner->GetComponentState().Contains(csReading); }

TObject* TcxCustomDataController::GetNotifier() { return FNotifier; }

void TcxCustomDataController::SetOptions(TcxDataControllerOptions Value) {
  if (FOptions == Value) return;
  const TcxDataControllerOptions changed = (FOptions - Value) + (Value - FOptions);
  FOptions = Value;
  // Options that change the order or the expansion of the rows rebuild them.
  const TcxDataControllerOptions viewOptions{dcoAnsiSort, dcoCaseInsensitive, dcoSortByDisplayText,
                                             dcoGroupsAlwaysExpanded};
  if (!(changed * viewOptions).Empty() && FDataControllerInfo) Refresh();
}

TcxSummaryOptions TcxCustomDataController::GetSummaryOptions() const {
  return FSummary ? FSummary->GetOptions() : TcxSummaryOptions{};
}

TcxCustomDataRelationList* TcxCustomDataController::GetRelations() {
  if (!FRelations) FRelations = New<TcxCustomDataRelationList>(this);
  return FRelations;
}

TcxDataFilterCriteria* TcxCustomDataController::CreateFilter() {
  TcxDataFilterCriteria* filter = GetFilterCriteriaClass().Construct<TcxCustomDataController*>(this);
  FFilterList->Add(filter);
  return filter;
}

// ---------------------------------------------------------------------------
// Items and fields

TObject* TcxCustomDataController::FindItemByInternalID(Integer AID) {
  for (Integer i = 0; i < GetItemCount(); ++i) {
    TObject* item = GetItem(i);
    if (GetItemID(item) == AID) return item;
  }
  return nullptr;
}

TcxCustomDataField* TcxCustomDataController::AddField() {
  TcxCustomDataField* field = GetFieldClass().Construct<TcxCustomDataFieldList*>(FFields);
  FFields->Add(field);
  return field;
}

TcxCustomDataField* TcxCustomDataController::AddInternalField() {
  TcxCustomDataField* field = GetFieldClass().Construct<TcxCustomDataFieldList*>(FFields);
  field->SetIsInternal(true);
  FFields->Add(field);
  return field;
}

void TcxCustomDataController::AddItem(TObject* AItem) {
  if (AItem && FFields->FieldByItem(AItem)) cxDataInvalidOperation(cxSDataItemExistError);
  TcxCustomDataField* field = AddField();
  field->SetItem(AItem);
}

void TcxCustomDataController::RemoveItem(TObject* AItem) {
  TcxCustomDataField* field = FFields->FieldByItem(AItem);
  if (!field) return;
  auto update = orv::UpdateScope(this);
  FDataControllerInfo->RemoveField(field);
  field->Free();
}

void TcxCustomDataController::UpdateItemIndexes() {
  for (Integer i = 0; i < GetItemCount(); ++i) {
    TObject* item = GetItem(i);
    if (TcxCustomDataField* field = FFields->FieldByItem(item)) {
      const Integer index = field->GetIndex();
      if (index != i && i < FFields->GetItemCount()) FFields->Move(index, i);
    }
  }
  Change({dccLayout});
}

bool TcxCustomDataController::ItemPropertiesChanged(Integer AItemIndex) {
  if (AItemIndex == -1 || GetItemSortOrder(AItemIndex) != soNone) {
    Refresh();
    return true;
  }
  return false;
}

bool TcxCustomDataController::GetItemTextStored(Integer AItemIndex) {
  CheckItemRange(AItemIndex);
  return GetField(AItemIndex)->GetTextStored();
}

TcxValueTypeClass TcxCustomDataController::GetItemValueTypeClass(Integer AItemIndex) {
  CheckItemRange(AItemIndex);
  return GetField(AItemIndex)->GetValueTypeClass();
}

void TcxCustomDataController::ChangeNeedConversion(Integer AItemIndex, bool ANeedConversion) {
  CheckItemRange(AItemIndex);
  TcxCustomDataField* field = GetField(AItemIndex);
  const bool current = field->GetCompareMode() == 0 && IsItemNeedConversion(field);
  if (current == ANeedConversion) return;
  FNeedConversion.resize(std::max<size_t>(FNeedConversion.size(), static_cast<size_t>(FFields->GetCount())));
  FNeedConversion[static_cast<size_t>(AItemIndex)] = ANeedConversion;
  FDataControllerInfo->UpdateField(field);
  FDataControllerInfo->CheckChanges();
}

bool TcxCustomDataController::IsItemNeedConversion(TcxCustomDataField* AField) const {
  const Integer index = AField->GetIndex();
  return index >= 0 && index < static_cast<Integer>(FNeedConversion.size()) && FNeedConversion[static_cast<size_t>(index)];
}

void TcxCustomDataController::ChangeTextStored(Integer AItemIndex, bool ATextStored) {
  CheckItemRange(AItemIndex);
  TcxCustomDataField* field = GetField(AItemIndex);
  if (field->GetTextStored() == ATextStored) return;
  field->SetTextStored(ATextStored);
  FDataControllerInfo->UpdateField(field);
  FDataControllerInfo->CheckChanges();
}

void TcxCustomDataController::ChangeValueTypeClass(Integer AItemIndex, TcxValueTypeClass AValueTypeClass) {
  CheckItemRange(AItemIndex);
  TcxCustomDataField* field = GetField(AItemIndex);
  if (field->GetValueTypeClass() == AValueTypeClass) return;
  // The column is rebuilt for the new type; the records keep the values
  // the new type can hold (a text "12" becomes the number), the others
  // become Null. A data source reloads its own records.
  const bool keep = !IsProviderMode() && !IsGridMode() && field->GetValueDef() && AValueTypeClass;
  std::vector<Variant> kept;
  if (keep)
    for (Integer r = 0; r < GetRecordCount(); ++r) kept.push_back(GetStoredValue(r, field));
  {
    auto update = orv::UpdateScope(this);
    field->SetValueTypeClass(AValueTypeClass);
    for (size_t r = 0; r < kept.size(); ++r) {
      Variant value = kept[r];
      bool valid = false;
      try {
        valid = !VarIsNull(value) && AValueTypeClass->IsValueValid(value);
      } catch (...) {
        valid = false;
      }
      if (valid) SetStoredValue(static_cast<Integer>(r), field, value);
    }
    FDataControllerInfo->UpdateField(field);
    if (IsProviderMode()) RestructData();
  }
  DoValueTypeClassChanged(AItemIndex);
}

void TcxCustomDataController::RemoveField(TcxCustomDataField* AField) {
  if (FRecordIDField == AField) FRecordIDField = nullptr;
  if (FRelations) FRelations->RemoveDataField(AField);
  if (FFilterList) FFilterList->RemoveItemByField(AField);
  if (FFilter) FFilter->RemoveItemByField(AField);
  if (FSummary) FSummary->RemoveField(AField);
  if (FDataControllerInfo) FDataControllerInfo->RemoveField(AField);
  if (FIncrementalFilterField == AField) ResetIncrementalFilter();
  if (FSortBySummaryField == AField) FSortBySummaryField = nullptr;
  if (FSearch) FSearch->RemoveField(AField);
}

bool TcxCustomDataController::IsDataField(TcxCustomDataField* AField) {
  return !AField->GetIsInternal() || (AField->GetReferenceField() && !AField->GetReferenceField()->GetIsInternal());
}

void TcxCustomDataController::FieldStructureChanged() {
  if (FProvider && !FProvider->IsFrozen()) FProvider->LayoutChanged({lcStructure});
}

// ---------------------------------------------------------------------------
// Update brackets and delivery

void TcxCustomDataController::BeginUpdate() { FDataControllerInfo->BeginUpdate(); }

void TcxCustomDataController::EndUpdate() {
  FDataControllerInfo->EndUpdate();
  // Changes noted inside the bracket that gave the view nothing to do.
  CheckChanges();
}

Integer TcxCustomDataController::GetLockCount() const { return FDataControllerInfo->GetLockCount(); }

void TcxCustomDataController::Change(TcxDataControllerChanges AChanges) {
  FChanges += AChanges;
  CheckChanges();
}

void TcxCustomDataController::CheckChanges() {
  if (GetLockCount() != 0) return;
  Unlocked();
  if (FChanges.Empty()) return;
  if (FDeferredStructureChange) {
    FDeferredStructureChange = false;
    LayoutChanged({lcStructure});
  }
  Update();
}

void TcxCustomDataController::Update() {
  const TcxDataControllerChanges changes = FChanges;
  FChanges.Clear();
  if (changes.Contains(dccData))
    DataNotification();
  else if (changes.Contains(dccLayout) || changes.Contains(dccDetail) || changes.Contains(dccSummary))
    LayoutNotification();
  else if (changes.Contains(dccUpdateRecord))
    UpdateRecordNotification();
  if (changes.Contains(dccFocus)) FocusedNotification();
  if (changes.Contains(dccSelection)) SelectionNotification();
  if (changes.Contains(dccSearch)) NotifyControl(New<TcxSearchChangedInfo>());
  if (changes.Contains(dccBookmark)) NotifyControl(New<TcxBookmarkChangedInfo>());
  if (changes.Contains(dccGrouping)) DoGroupingChanged();
  if (changes.Contains(dccSorting)) DoSortingChanged();
}

void TcxCustomDataController::NotifyControl(TcxUpdateControlInfo* AInfo) {
  auto notify = orv::TempValue(FInNotifyControl, true);
  try {
    UpdateControl(AInfo);
  } catch (...) {
    AInfo->Free();
    throw;
  }
  AInfo->Free();
}

void TcxCustomDataController::UpdateControl(TcxUpdateControlInfo* AInfo) {
  if (OnUpdateControl) OnUpdateControl(AInfo);
}

void TcxCustomDataController::DataNotification() {
  if (FNotedKind == dcField && FNotedItemIndex == -1) FNotedKind = dcRecord;
  if ((FNotedKind == dcField || FNotedKind == dcRecord) && FNotedRecordIndex == -1 &&
      !(FNewItemRecordIndex == -1))
    FNotedKind = dcTotal;
  const TcxDataChange kind = FNotedKind;
  const Integer item = FNotedItemIndex, record = FNotedRecordIndex;
  try {
    NotifyControl(New<TcxDataChangedInfo>(kind, item, record));
    DoDataChanged();
  } catch (...) {
    ResetDataChanged();
    throw;
  }
  ResetDataChanged();
}

void TcxCustomDataController::LayoutNotification() { NotifyControl(New<TcxLayoutChangedInfo>()); }

void TcxCustomDataController::UpdateRecordNotification() {
  NotifyControl(New<TcxUpdateRecordInfo>(GetFocusedRecordIndex()));
  CancelSearch();
}

void TcxCustomDataController::FocusedNotification() {
  TcxCustomDataControllerInfo* info = FDataControllerInfo;
  TcxDataFocusingInfo* prev = info->GetPrevFocusingInfo();
  const Integer prevRow = prev->RowIndex, row = info->GetFocusedRowIndex();
  if (prevRow != row) NotifyControl(New<TcxFocusedRowChangedInfo>(prevRow, row));
  const Integer prevRecord = prev->RecordIndex, record = info->GetFocusedRecordIndex();
  if (prevRecord < 0 && record < 0 && !prev->NewItemRowFocusingChanged) {
    prev->Assign(info->GetFocusingInfo());
    return;
  }
  NotifyControl(New<TcxFocusedRecordChangedInfo>(prevRecord, record, prevRow, row, prev->NewItemRowFocusingChanged));
  CancelSearch();
  prev->Assign(info->GetFocusingInfo());
}

void TcxCustomDataController::SelectionNotification() {
  const Integer count = GetSelectedCount();
  Integer row1 = -1, row2 = -1;
  Integer single = -1;
  if (count < 2) {
    single = count == 1 ? GetSelectedRowIndex(0) : -1;
    if (FPrevSelectedCount < 2) {
      row1 = FPrevSelectedCount == 1 ? FPrevSelectedRowIndex : -1;
      row2 = single;
    }
  }
  NotifyControl(New<TcxSelectionChangedInfo>(row1, row2));
  FPrevSelectedCount = count;
  FPrevSelectedRowIndex = single;
}

void TcxCustomDataController::CorrectPrevSelectionChangedInfo() {
  if (FPrevSelectedCount == 1) FPrevSelectedRowIndex = GetSelectedRowIndex(0);
}

void TcxCustomDataController::DoGroupingChanged() {
  if (IsReading()) return;
  if (OnGroupingChanged) OnGroupingChanged(this);
}

void TcxCustomDataController::DoSortingChanged() {
  if (IsReading() || FInSortingChanged) return;
  auto guard = orv::TempValue(FInSortingChanged, true);
  if (OnSortingChanged) OnSortingChanged(this);
}

void TcxCustomDataController::ClearPipelineFlags() {
  FGroupingChanged = false;
  FSortingChanged = false;
  FCheckFocusAfterFilter = false;
  FSortBySummaryChanged = false;
}

void TcxCustomDataController::DataChanged(TcxDataChange AKind, Integer AItemIndex, Integer ARecordIndex) {
  TcxDataChange kind = AKind;
  Integer item = AItemIndex;
  if (FDataChangeNoted) {
    // The rules of noting: another record makes it total; another field of
    // the same record makes it a record change.
    if (IsNotedRecord(FNotedRecordIndex) && ARecordIndex != FNotedRecordIndex) {
      kind = dcTotal;
    } else if (AKind == dcField && FNotedItemIndex != -1 && FNotedItemIndex != AItemIndex) {
      kind = dcRecord;
      item = -1;
    }
    // A noted change only ever widens: a later change of one field must not
    // narrow an earlier notice of other records or fields, or the control
    // would never hear of them.
    TcxDataChange noted = FNotedKind;
    if ((noted == dcField || noted == dcRecord) && !IsNotedRecord(FNotedRecordIndex)) noted = dcTotal;
    auto isCount = [](TcxDataChange k) { return k == dcNew || k == dcDeleted; };
    if (noted == dcTotal || kind == dcTotal) {
      kind = dcTotal;
    } else if (isCount(noted) || isCount(kind)) {
      if (noted != kind) kind = dcTotal;
    } else if (noted == dcRecord || kind == dcRecord) {
      kind = dcRecord;
      item = -1;
    }
  }
  FDataChangeNoted = true;
  FNotedKind = kind;
  FNotedItemIndex = item;
  FNotedRecordIndex = ARecordIndex;
  if (AKind == dcTotal) {
    UpdateStorage(false);
  } else if (AKind == dcNew || AKind == dcDeleted) {
    FDataControllerInfo->FocusedRecordChanged(false);
    FDataControllerInfo->Refresh();
  } else if (ARecordIndex >= 0) {
    FDataControllerInfo->RecordChanged(ARecordIndex,
                                       AKind == dcField && AItemIndex >= 0 && AItemIndex < GetItemCount() ? GetField(AItemIndex) : nullptr);
  } else {
    FDataControllerInfo->Refresh();
  }
}

void TcxCustomDataController::DoDataChanged() {
  if (IsDestroying() || !IsDataChangedListenersExist()) return;
  if (IsLoading()) {
    FDataChangedWhileLoading = true;
    return;
  }
  FDataChangedWhileLoading = false;
  NotifyDataChangedListeners();
}

void TcxCustomDataController::NotifyDataChangedListeners() {
  if (!FIsPattern) {
    if ((FNotedKind == dcField || FNotedKind == dcRecord) && IsNotedRecord(FNotedRecordIndex) && OnRecordChanged)
      OnRecordChanged(this, FNotedRecordIndex, FNotedItemIndex);
    if (OnDataChanged) OnDataChanged(this);
  }
  if (IsGridMode() && FProvider->IsLocating()) return;
  for (const ListenerItem& item : std::vector<ListenerItem>(FDataChangedListeners)) item.Event(this);
}

void TcxCustomDataController::AddDataChangedListener(TObject* AObject, const TNotifyEvent& AEvent) {
  FDataChangedListeners.push_back({AObject, AEvent});
}

void TcxCustomDataController::RemoveDataChangedListener(TObject* AObject, const TNotifyEvent& AEvent) {
  for (auto it = FDataChangedListeners.begin(); it != FDataChangedListeners.end(); ++it)
    if (it->Object == AObject && it->Event == AEvent) {
      FDataChangedListeners.erase(it);
      return;
    }
}

bool TcxCustomDataController::IsDataChangedListenersExist() const {
  return OnDataChanged.Assigned() || OnRecordChanged.Assigned() || !FDataChangedListeners.empty();
}

TcxDataListenerLink* TcxCustomDataController::AddListenerLink() {
  auto* link = New<TcxDataListenerLink>();
  link->Ref = this;
  FListenerLinks.push_back(link);
  return link;
}

void TcxCustomDataController::RemoveListenerLink(TcxDataListenerLink* ALink) {
  if (ALink->Ref) {
    auto& links = ALink->Ref->FListenerLinks;
    links.erase(std::remove(links.begin(), links.end(), ALink), links.end());
  }
  ALink->Free();
}

void TcxCustomDataController::LockGridModeNotify() {
  ++FGridModeNotifyLockCount;
  FProvider->BeginLocate();
}

// An unlock without its lock would leave the provider locating less than
// never: it changes nothing.
void TcxCustomDataController::UnlockGridModeNotify() {
  if (FGridModeNotifyLockCount == 0) return;
  --FGridModeNotifyLockCount;
  FProvider->EndLocate();
}

void TcxCustomDataController::Loaded() {
  if (FDataChangedWhileLoading) DoDataChanged();
  if (FSummary) FSummary->Loaded();
}

void TcxCustomDataController::BeginUpdateFields() { ++FFieldsUpdateLockCount; }

void TcxCustomDataController::EndUpdateFields() {
  if (FFieldsUpdateLockCount > 0) --FFieldsUpdateLockCount;
  if (FFieldsUpdateLockCount == 0 && FFieldsChangedWhileLocked) {
    FFieldsChangedWhileLocked = false;
    LayoutChanged({lcStructure});
  }
}

void TcxCustomDataController::SaveKeys() {
  if (FSaveKeysCount++ == 0) {
    BeginFullUpdate();
    FSaveObject = New<TcxSaveObject>();
    FSaveObject->Save(this);
  }
}

void TcxCustomDataController::RestoreKeys() {
  if (FSaveKeysCount == 0) return;
  if (--FSaveKeysCount == 0) {
    TcxSaveObject* save = FSaveObject;
    FSaveObject = nullptr;
    orv::ScopeExit endUpdate([this] { EndFullUpdate(); });
    orv::ScopeExit freeSave([save] { save->Free(); });
    save->Restore(this);
  }
}

void TcxCustomDataController::CancelSearch() {
  if (FSearch) FSearch->Cancel();
}

// ---------------------------------------------------------------------------
// Structure

void TcxCustomDataController::LayoutChanged(TcxDataLayoutChanges) { UpdateItems(FProvider->IsActive()); }

void TcxCustomDataController::UpdateItems(bool AUpdateFields) {
  if (FInUpdateItems) return;
  auto guard = orv::TempValue(FInUpdateItems, true);
  if (GetLockCount() != 0) FDeferredStructureChange = true;
  if (IsProviderDataSource()) UpdateStorage(AUpdateFields);
}

void TcxCustomDataController::UpdateStorage(bool AUpdateFields) {
  auto update = orv::FullUpdateScope(this);
  if (IsProviderDataSource()) {
    if (AUpdateFields || FProvider->IsActiveDataSet()) {
      if (FFieldsUpdateLockCount != 0)
        FFieldsChangedWhileLocked = true;
      else if (!(FProvider->IsGridModeUpdating() && GetEditState().Contains(dceInsert)))
        UpdateFields();
    }
    if (!FDeferredStructureChange) LoadStorage();
  }
  FDataControllerInfo->Refresh();
}

void TcxCustomDataController::UpdateFields() {
  std::vector<TcxCustomDataField*> prepared;
  for (int pass = 0; pass < 64; ++pass) {
    bool changed = false;
    const Integer count = FFields->GetCount();
    for (Integer i = 0; i < FFields->GetCount(); ++i) {
      TcxCustomDataField* f = FFields->GetItem(i);
      if (std::find(prepared.begin(), prepared.end(), f) != prepared.end()) continue;
      PrepareField(f);
      prepared.push_back(f);
      if (FFields->GetCount() != count) {
        changed = true;
        break;
      }
    }
    if (!changed) break;
  }
}

void TcxCustomDataController::RestructData() {
  auto update = orv::FullUpdateScope(this);
  FProvider->ResetEditing();
  if (!IsUnboundMode() || (FChangingDataSource && !FProvider->GetCustomDataSource()))
    FDataStorage->Clear(false);
  ClearBookmark();
  CheckSelectedCount(-1);
  FDataStorage->SetStoredValuesOnly(IsProviderMode() || IsGridMode());
  FDataStorage->SetUseRecordID(IsRecordID());
  if (!FProvider->GetCustomDataSource()) {
    if (FRecordIDField) {
      TcxCustomDataField* f = FRecordIDField;
      FRecordIDField = nullptr;
      f->Free();
    }
  } else if (!FRecordIDField) {
    FRecordIDField = AddInternalField();
    FRecordIDField->SetValueTypeClass(TcxLargeIntValueType::Class());
  }
  LayoutChanged({lcData});
}

void TcxCustomDataController::LoadStorage() {
  if (!FSmartLoadRunning) FDataStorage->Clear(FProvider->IsAppendingFromNewItem());
  if (FProvider->IsActive() && !IsSmartLoad() && !FIsPattern) {
    FProvider->Freeze();
    FProvider->SavePos();
    try {
      FProvider->First();
      FDataStorage->BeginLoad();
      if (IsProviderMode()) FProvider->LoadRecordHandles();
      FDataStorage->EndLoad();
    } catch (...) {
      FProvider->RestorePos();
      FProvider->Unfreeze();
      throw;
    }
    FProvider->RestorePos();
    FProvider->Unfreeze();
  }
  CheckSelectedCount(-1);
  Change({dccData});
  SyncMasterPos();
}

void TcxCustomDataController::CheckMode() {
  FProvider->SetGrouped(FDataControllerInfo->GetGroupingFieldList()->GetCount() > 0);
}

bool TcxCustomDataController::GetIsRowInfoValid() const { return !FDataControllerInfo->IsInUpdate(); }

void TcxCustomDataController::ActiveChanged(bool AActive) {
  FActive = AActive;
  UpdateItems(FProvider->IsActive());
}

void TcxCustomDataController::FilterChanged() {
  FCheckAfterFilter = true;
  Cancel();
  {
    auto shown = FDataControllerInfo->ShownRecordsScope();
    Refresh();
  }
  CheckBookmarkValid(-1);
  if (FPrevSelectedCount == 1) {
    FPrevSelectedCount = GetSelectedCount();
    FPrevSelectedRowIndex = FPrevSelectedCount == 1 ? GetSelectedRowIndex(0) : -1;
  }
}

void TcxCustomDataController::SummaryChanged(bool ARedrawOnly) { FDataControllerInfo->RefreshSummary(ARedrawOnly); }

void TcxCustomDataController::DataStorageClearInternalRecords(TObject*) {
  FNewItemRecordIndex = 0;
  if (FProvider) FProvider->ForgetSavedRecord();
}

void TcxCustomDataController::UpdateFocused() {
  if (FProvider->IsLocating() && FDataControllerInfo->IsInFocusChange()) return;
  FDataControllerInfo->RefreshFocused();
}

void TcxDataControllerNotifier::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent != this && FDataController)
    FDataController->GetFields()->RemoveNotification(AComponent);
}
