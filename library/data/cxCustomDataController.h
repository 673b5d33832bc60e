// The data controller: the record and row model behind every grid-like
// control. It owns the value storage, the fields, the provider with its
// edit cycle, the view pipeline, the filter, the incremental search and
// the summaries, and it turns every change of data or view into one
// batched delivery to its control and to its data-changed listeners.
#pragma once

#include <functional>
#include <vector>

#include "library/data/cxCustomDataProvider.h"
#include "library/data/cxCustomDataSort.h"
#include "library/data/cxCustomDataViewPipeline.h"
#include "platform/rtl/Component.h"

class TcxDataFilterCriteria;
class TcxDataFilterList;
class TcxDataControllerSearch;
class TcxDataSummary;
class TcxDataSummaryItem;
class TcxDataSummaryGroupItemLink;
class TcxCustomDataRelation;
class TcxCustomDataRelationList;
class TcxDataControllerNotifier;
class TcxDataListenerLink;

using TcxDataFilterCriteriaClass = TClassRef<TcxDataFilterCriteria>;
using TcxDataControllerSearchClass = TClassRef<TcxDataControllerSearch>;
using TcxDataSummaryClass = TClassRef<TcxDataSummary>;
using TcxDataSummaryItemClass = TClassRef<TcxDataSummaryItem>;
using TcxDataSummaryGroupItemLinkClass = TClassRef<TcxDataSummaryGroupItemLink>;
using TcxCustomDataRelationClass = TClassRef<TcxCustomDataRelation>;
using TcxCustomDataFieldClass = TClassRef<TcxCustomDataField>;

using TcxDataControllerNotifyEvent = Event<void(TcxCustomDataController* ADataController)>;
using TcxDataControllerRecordEvent = Event<void(TcxCustomDataController* ADataController, Integer ARecordIndex)>;
using TcxDataFilterRecordEvent =
    Event<void(TcxCustomDataController* ADataController, Integer ARecordIndex, bool& Accept)>;
using TcxDataControllerCompareEvent =
    Event<void(TcxCustomDataController* ADataController, Integer ARecordIndex1, Integer ARecordIndex2,
               Integer AItemIndex, const Variant& V1, const Variant& V2, Integer& Compare)>;
using TcxDataDetailExpandingEvent =
    Event<void(TcxCustomDataController* ADataController, Integer ARecordIndex, bool& AAllow)>;
using TcxDataDetailExpandedEvent = Event<void(TcxCustomDataController* ADataController, Integer ARecordIndex)>;
using TcxDataRecordChangedEvent =
    Event<void(TcxCustomDataController* ADataController, Integer ARecordIndex, Integer AItemIndex)>;
using TcxUpdateControlEvent = Event<void(TcxUpdateControlInfo* AInfo)>;
using TcxEachRowProc = std::function<void(Integer ARowIndex, const TcxRowInfo& ARowInfo)>;

// A reference to a controller that is cleared when the controller goes,
// for callers whose call may destroy it.
class TcxDataListenerLink : public TObject {
  ORV_CLASS(TcxDataListenerLink, TObject)
 public:
  TcxCustomDataController* Ref = nullptr;
};

class TcxCustomDataController : public TPersistent, public IcxDataFieldController {
  ORV_CLASS(TcxCustomDataController, TPersistent)
 public:
  explicit TcxCustomDataController(TComponent* AOwner);
  ~TcxCustomDataController() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;
  HRESULT QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() { return -1; }
  Integer _Release() { return -1; }

  // --- Class factories ------------------------------------------------------
  virtual TcxCustomDataProviderClass GetDataProviderClass();
  virtual TcxDataSelectionClass GetDataSelectionClass();
  virtual TcxCustomDataFieldClass GetFieldClass();
  virtual TcxDataFilterCriteriaClass GetFilterCriteriaClass();
  virtual TcxCustomDataRelationClass GetRelationClass();
  virtual TcxDataControllerSearchClass GetSearchClass();
  virtual TcxDataSummaryClass GetSummaryClass();
  virtual TcxDataSummaryItemClass GetSummaryItemClass();
  virtual TcxDataSummaryGroupItemLinkClass GetSummaryGroupItemLinkClass();

  // --- IcxDataFieldController -----------------------------------------------
  TcxValueDefs* GetFieldValueDefs() override { return FDataStorage->GetValueDefs(); }
  bool IsProviderMode() override;
  void FieldStructureChanged() override;
  void FieldRemoved(TcxCustomDataField* AField) override { RemoveField(AField); }
  TObject* GetNotifier() override;

  // --- Items and fields -----------------------------------------------------
  virtual TObject* GetItem(Integer AIndex) = 0;
  virtual Integer GetItemID(TObject*) { return -1; }
  virtual TObject* FindItemByInternalID(Integer AID);
  virtual TObject* FindProperItemLink(TObject* AItem) { return FindItemByInternalID(GetItemID(AItem)); }
  virtual TcxDataEditValueSource GetItemValueSource(Integer) { return evsText; }
  virtual void AddItem(TObject* AItem);
  virtual void RemoveItem(TObject* AItem);
  virtual void UpdateItemIndexes();
  virtual bool ItemPropertiesChanged(Integer AItemIndex);
  virtual Integer GetItemCount() { return FFields->GetItemCount(); }
  virtual bool GetItemNeedConversion(Integer) { return false; }
  virtual bool GetItemTextStored(Integer AItemIndex);
  TcxValueTypeClass GetItemValueTypeClass(Integer AItemIndex);
  virtual void ChangeNeedConversion(Integer AItemIndex, bool ANeedConversion);
  virtual void ChangeTextStored(Integer AItemIndex, bool ATextStored);
  virtual void ChangeValueTypeClass(Integer AItemIndex, TcxValueTypeClass AValueTypeClass);
  virtual bool IsDisplayFormatDefined(Integer, bool) { return false; }
  virtual TcxCustomDataField* AddField();
  virtual TcxCustomDataField* AddInternalField();
  virtual void RemoveField(TcxCustomDataField* AField);
  virtual bool IsDataField(TcxCustomDataField* AField);
  virtual void GetKeyFields(std::vector<TcxCustomDataField*>&) {}
  TcxCustomDataField* GetField(Integer AItemIndex) const { return FFields->GetItem(AItemIndex); }
  TcxCustomDataFieldList* GetFields() const { return FFields; }
  Integer GetItemIndexByField(TcxCustomDataField* AField) const { return AField ? AField->GetIndex() : -1; }
  TcxCustomDataField* FieldByItem(TObject* AItem) const { return FFields->FieldByItem(AItem); }
  bool IsItemNeedConversion(TcxCustomDataField* AField) const;

  // --- Update brackets and change delivery ----------------------------------
  void BeginUpdate();
  void EndUpdate();
  virtual void BeginFullUpdate() { BeginUpdate(); }
  virtual void EndFullUpdate() { EndUpdate(); }
  Integer GetLockCount() const;
  void Change(TcxDataControllerChanges AChanges);
  void CheckChanges();
  void BeginUpdateFields();
  void EndUpdateFields();
  void SaveKeys();
  void RestoreKeys();
  void AddDataChangedListener(TObject* AObject, const TNotifyEvent& AEvent);
  void RemoveDataChangedListener(TObject* AObject, const TNotifyEvent& AEvent);
  bool IsDataChangedListenersExist() const;
  TcxDataListenerLink* AddListenerLink();
  void RemoveListenerLink(TcxDataListenerLink* ALink);
  void LockDataChangedNotify() { ++FDataChangedNotifyLockCount; }
  void UnlockDataChangedNotify() { --FDataChangedNotifyLockCount; }
  virtual bool DataChangedNotifyLocked() { return FDataChangedNotifyLockCount != 0; }
  // Counted; while held the provider is locating, so in grid mode the
  // data-changed listeners stay silent and a filtered-out post leaves the
  // focus where it was.
  void LockGridModeNotify();
  void UnlockGridModeNotify();
  Integer GetGridModeNotifyLockCount() const { return FGridModeNotifyLockCount; }
  virtual void Loaded();
  virtual void UpdateControl(TcxUpdateControlInfo* AInfo);
  virtual void Unlocked() {}
  virtual void DoDataChanged();
  virtual void DataChanged(TcxDataChange AKind, Integer AItemIndex, Integer ARecordIndex);
  virtual void LayoutChanged(TcxDataLayoutChanges AChanges);
  virtual void ActiveChanged(bool AActive);
  virtual void DataScrolled(Integer) { SyncMasterPos(); }
  virtual void FilterChanged();
  virtual void SummaryChanged(bool ARedrawOnly);
  virtual void RestructData();
  virtual void LoadStorage();
  virtual void UpdateFields();
  virtual void PrepareField(TcxCustomDataField*) {}
  virtual void UpdateFocused();
  virtual void UpdateRelations(TcxCustomDataRelation* ARelation);
  virtual void SyncMasterPos();
  virtual void NotifyDataControllers() {}
  virtual void DataStorageClearInternalRecords(TObject* Sender);
  void UpdateItems(bool AUpdateFields);
  void UpdateStorage(bool AUpdateFields);
  void CheckMode();
  bool GetIsRowInfoValid() const;
  // Where the noted change stands (for tests of the noting rules).
  TcxDataChange GetNotedChangeKind() const { return FNotedKind; }

  // --- Records and values ---------------------------------------------------
  void CheckItemRange(Integer AItemIndex);
  void CheckRecordRange(Integer ARecordIndex);
  void CheckRange(Integer ARecordIndex, Integer AItemIndex);
  virtual Integer GetRecordCount();
  virtual void SetRecordCount(Integer ACount);
  Integer AppendRecord();
  Integer InsertRecord(Integer ARecordIndex);
  void DeleteRecord(Integer ARecordIndex);
  virtual void CorrectAfterInsert(Integer) {}
  virtual void CorrectAfterDelete(Integer ARecordIndex);
  virtual void CheckEditingRecordIndex(Integer ARecordIndex);
  virtual void CopyRecord(Integer AFromRecordIndex, Integer AToRecordIndex);
  virtual void ProviderValueDefSetProc(TcxValueDef* AValueDef, Integer AFromRecordIndex, Integer AToRecordIndex,
                                       TcxValueDefReader* AReader);
  virtual void Refresh();
  virtual Variant GetValue(Integer ARecordIndex, Integer AItemIndex);
  virtual void SetValue(Integer ARecordIndex, Integer AItemIndex, const Variant& AValue);
  virtual AnsiString GetDisplayText(Integer ARecordIndex, Integer AItemIndex);
  virtual void SetDisplayText(Integer ARecordIndex, Integer AItemIndex, const AnsiString& AText);
  virtual Variant GetInternalValue(Integer ARecordIndex, TcxCustomDataField* AField);
  virtual AnsiString GetInternalDisplayText(Integer ARecordIndex, TcxCustomDataField* AField);
  Variant GetStoredValue(Integer ARecordIndex, TcxCustomDataField* AField);
  AnsiString GetStoredDisplayText(Integer ARecordIndex, TcxCustomDataField* AField);
  void SetStoredValue(Integer ARecordIndex, TcxCustomDataField* AField, const Variant& AValue);
  virtual Variant GetRecordId(Integer ARecordIndex);
  virtual Variant GetInternalRecordId(Integer ARecordIndex, const std::vector<TcxCustomDataField*>& AKeyFields);
  Variant GetRowId(Integer ARowIndex) { return Variant(ARowIndex); }
  virtual Variant GetGroupValue(Integer ARecordIndex, TcxCustomDataField* AField) {
    return GetInternalValue(ARecordIndex, AField);
  }
  virtual void GetGroupValues(Integer ARecordIndex, std::vector<Variant>& AValues);
  virtual Variant GetFilterDataValue(Integer ARecordIndex, TcxCustomDataField* AField) {
    return GetInternalValue(ARecordIndex, AField);
  }
  // Whether GetFilterDataValue gives the stored value as it is, so that a
  // filter pass may read the storage directly. A descendant that changes
  // GetFilterDataValue answers false.
  virtual bool IsFilterDataValueStored() { return !IsProviderMode() && !IsGridMode(); }
  virtual Integer GetNewItemRecordIndex();
  virtual bool UseRecordID() { return false; }
  bool IsRecordID();
  // Provider mode: the handle of a record, kept in the record-handle field.
  TcxDataRecordHandle GetRecordHandle(Integer ARecordIndex);
  void SetRecordHandle(Integer ARecordIndex, TcxDataRecordHandle AHandle);
  TcxCustomDataField* GetRecordIDField() const { return FRecordIDField; }
  // The filtered records: the record-list position -> record and its count.
  Integer GetFilteredRecordCount() const;
  Integer GetFilteredRecordIndex(Integer AIndex) const;

  // --- Edit cycle -----------------------------------------------------------
  virtual void Append();
  virtual void Insert();
  virtual void Edit();
  virtual void Cancel();
  virtual void Post();
  virtual void PostEditingData();
  virtual bool CanInitEditing(Integer AItemIndex);
  virtual Variant GetEditValue(Integer AItemIndex, TcxDataEditValueSource AValueSource);
  virtual bool SetEditValue(Integer AItemIndex, const Variant& AValue, TcxDataEditValueSource AValueSource);
  virtual Integer GetEditingRecordIndex();
  virtual Integer CalcEditingRecordIndex();
  virtual bool IsImmediatePost();
  bool GetIsEditing();
  virtual TcxDataControllerEditState GetEditState();
  virtual TcxDataControllerEditOperations GetEditOperations();
  virtual void DeleteFocused();
  virtual void DeleteSelection();
  void DeleteFocusedRecord();
  void DeleteRecords(std::vector<Integer> AList);
  virtual void UpdateData() {}
  virtual void CheckBrowseMode() {}
  virtual void RefreshExternalData() {}
  virtual void DoAfterCancel();
  virtual void DoAfterDelete();
  virtual void DoAfterInsert();
  virtual void DoAfterPost();
  virtual void DoBeforeCancel();
  virtual void DoBeforeDelete(Integer ARecordIndex);
  virtual void DoBeforeInsert();
  virtual void DoBeforePost();
  virtual void DoNewRecord(Integer ARecordIndex);
  virtual void DoReadRecord(Integer) {}
  virtual void BeginSmartLoad();
  virtual void EndSmartLoad();
  virtual void LoadRecord(TcxValueDefReader* AData);
  virtual void BeginReadRecord() {}
  virtual void EndReadRecord() {}
  virtual bool IsSmartLoad() { return false; }
  virtual bool IsSmartRefresh() { return false; }
  virtual Integer AppendInSmartLoad();
  virtual void DeleteInSmartLoad(Integer ARecordIndex);
  Integer GetRecordToFocusAfterDeleting() const { return FNearestFocusRecordIndex; }
  void SetRecordToFocusAfterDeleting(Integer Value) { FNearestFocusRecordIndex = Value; }
  bool IsDeletingSelection() const { return FDeletingSelection; }

  // --- Focus, navigation, selection and bookmark ----------------------------
  bool ChangeFocusedRowIndex(Integer ARowIndex);
  void ChangeFocusedRecordIndex(Integer ARecordIndex);
  Integer GetFocusedRowIndex() const;
  void SetFocusedRowIndex(Integer ARowIndex) { ChangeFocusedRowIndex(ARowIndex); }
  Integer GetFocusedRecordIndex() const;
  void SetFocusedRecordIndex(Integer ARecordIndex) { ChangeFocusedRecordIndex(ARecordIndex); }
  Integer GetRowCount() const;
  void GetRowInfo(Integer ARowIndex, TcxRowInfo& ARowInfo) const;
  TcxRowInfo GetRowInfo(Integer ARowIndex) const;
  Integer GetRowIndexByRecordIndex(Integer ARecordIndex, bool AMakeVisible);
  Integer GetNearestRowIndex(Integer ARowIndex) const;
  void GotoFirst();
  void GotoLast();
  void GotoNext();
  void GotoPrev();
  void MoveBy(Integer ADistance);
  void Scroll(Integer ADistance);
  bool IsBOF();
  bool IsEOF();
  void CheckFocusedRow();
  virtual bool CanFocusRecord(Integer ARecordIndex);
  virtual bool CanSelectRow(Integer) { return true; }
  virtual Integer GetActiveRecordIndex() { return GetFocusedRecordIndex(); }
  virtual Integer GetRecordIndex();
  Integer GetLastRecordIndex() const;
  void MakeRecordVisible(Integer ARecordIndex) { GetRowIndexByRecordIndex(ARecordIndex, true); }
  void CheckNearestFocusRow();
  virtual void SaveDataSetPos();
  virtual void RestoreDataSetPos();
  virtual void SetFocus() {}
  virtual bool FocusControl(Integer, bool&) { return false; }
  virtual bool CheckMasterBrowseMode() { return true; }
  virtual void CheckDetailsBrowseMode();
  virtual bool SyncDetailsFocusWithMaster() { return false; }
  virtual void CheckDataSetCurrent() {}
  virtual void DoBeforeFocusedRowChange(Integer) {}
  virtual void DoValueTypeClassChanged(Integer) {}
  bool GetNewItemRowFocused() const;
  void SetNewItemRowFocused(bool AValue);
  void ResetNewItemRowFocused();
  bool GetUseNewItemRowForEditing() const { return FUseNewItemRowForEditing; }
  void SetUseNewItemRowForEditing(bool AValue);
  virtual bool IsFocusedSelectedMode() { return !FMultiSelect; }
  bool GetMultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool AValue);
  Integer GetSelectedCount();
  Integer GetSelectedRowIndex(Integer AIndex);
  bool IsRowSelected(Integer ARowIndex);
  void ChangeRowSelection(Integer ARowIndex, bool ASelection);
  void SelectRows(Integer AStartRowIndex, Integer AEndRowIndex);
  void SelectAll();
  void ClearSelection();
  void CheckFocusedSelected();
  void SyncSelectionFocusedRecord();
  void SyncSelected(bool ASelected);
  void SetSelectionAnchor(Integer ARowIndex);
  Integer GetSelectionAnchorRowIndex() const;
  bool IsSelectionAnchorExist() const { return GetSelectionAnchorRowIndex() != -1; }
  void ClearSelectionAnchor();
  void SelectFromAnchor(Integer ARowIndex, bool AKeepSelection);
  bool FocusSelectedRow(Integer ASelectedIndex);
  void CheckSelectedCount(Integer ARecordIndex);
  // The selection after the records of ADeleted (ascending, distinct,
  // numbered as before any of them went) were deleted: their entries go,
  // the entries of later records move up by the records gone before them.
  void SelectionRecordsDeleted(const std::vector<Integer>& ADeleted);
  void ForEachRow(bool ASelectedOnly, const TcxEachRowProc& AProc);
  Variant GetRowValue(const TcxRowInfo& ARowInfo, Integer AItemIndex);
  AnsiString GetRowDisplayText(const TcxRowInfo& ARowInfo, Integer& AItemIndex);
  void SaveBookmark();
  void GotoBookmark();
  void ClearBookmark();
  bool IsBookmarkAvailable() const { return FBookmarkRecordIndex != -1; }
  bool IsBookmarkRow(Integer ARowIndex);
  void CheckBookmarkValid(Integer ARecordIndex);
  virtual bool InternalCheckBookmark(Integer ARecordIndex);
  virtual void InternalClearBookmark() { FBookmarkRecordIndex = -1; }
  virtual void InternalGotoBookmark() { ChangeFocusedRecordIndex(FBookmarkRecordIndex); }
  virtual bool InternalSaveBookmark();
  Integer GetBookmarkRecordIndex() const { return FBookmarkRecordIndex; }

  // --- Sorting, grouping, filtering, comparison -----------------------------
  TcxDataSortOrder GetItemSortOrder(Integer AItemIndex);
  Integer GetItemSortingIndex(Integer AItemIndex);
  Integer GetSortingItemCount();
  Integer GetSortingItemIndex(Integer AIndex);
  void ChangeSorting(Integer AItemIndex, TcxDataSortOrder ASortOrder);
  void ChangeItemSortingIndex(Integer AItemIndex, Integer ASortingIndex);
  void ClearSorting(bool AKeepGroupedItems);
  void SortByDisplayTextChanged() { Refresh(); }
  virtual bool GetItemSortByDisplayText(Integer, bool) { return false; }
  Integer GetSortBySummaryDataItemIndex() const;
  void SetSortBySummaryDataItemIndex(Integer AIndex);
  TcxDataSortOrder GetSortBySummarySortOrder();
  void DoSortBySummaryChanged();
  bool TakeFullRegroup();
  void BeforeSorting();
  void BeforeGroupingNotification();
  void SetGroupingChangedFlag() { FGroupingChanged = true; }
  void SetSortingChangedFlag() { FSortingChanged = true; }
  Integer SetIncrementalFilter(Integer AItemIndex, const AnsiString& AText);
  void ResetIncrementalFilter();
  bool IsIncrementalFilter() const { return FIncrementalFilterField && !FIncrementalFilterText.empty(); }
  const AnsiString& GetIncrementalFilterText() const { return FIncrementalFilterText; }
  TcxCustomDataField* GetIncrementalFilterField() const { return FIncrementalFilterField; }
  bool ChangeIncrementalFilterText(const AnsiString& AText);
  virtual bool DoIncrementalFilterRecord(Integer ARecordIndex);
  virtual bool DoFilterRecord(Integer ARecordIndex);
  virtual bool IsFilterRecord() { return OnFilterRecord.Assigned(); }
  void SetOnFilterRecord(const TcxDataFilterRecordEvent& AValue);
  virtual AnsiString GetFilterDisplayText(Integer ARecordIndex, Integer AItemIndex) {
    return GetDisplayText(ARecordIndex, AItemIndex);
  }
  virtual AnsiString GetIncrementalSearchText(Integer ARecordIndex, Integer AItemIndex) {
    return GetDisplayText(ARecordIndex, AItemIndex);
  }
  virtual AnsiString GetFilterItemFieldCaption(TObject*) { return AnsiString(); }
  virtual AnsiString GetFilterItemFieldName(TObject* AItem) { return GetFilterItemFieldCaption(AItem); }
  virtual bool IsFilterItemSortByDisplayText(Integer AItemIndex);
  Integer FindRecordIndexByText(Integer AStartIndex, Integer AItemIndex, const AnsiString& AText,
                                bool APartialCompare, bool ACircular, bool AForward);
  Integer FindRecordByFields(Integer ARecordIndex, const std::vector<TcxCustomDataField*>& AFields);
  Integer FindGroupRecord(Integer ARecordIndex, Integer ALevelCount);
  virtual Integer CompareByField(Integer ARecordIndex1, Integer ARecordIndex2, TcxCustomDataField* AField,
                                 TcxDataControllerComparisonMode AMode);
  virtual Integer CompareEqualRecords(Integer ARecordIndex1, Integer ARecordIndex2) {
    return ARecordIndex1 - ARecordIndex2;
  }
  virtual Integer CompareRecords(Integer ARecordIndex1, Integer ARecordIndex2, const TcxDataSortInfo& ASortInfo,
                                 TcxDataControllerComparisonMode AMode);
  virtual Variant GetComparedValue(Integer ARecordIndex, TcxCustomDataField* AField);
  virtual bool IsConversionNeededForCompare(TcxCustomDataField* AField);
  virtual bool IsStringConversionNeeded(TcxCustomDataField* AField);
  virtual bool IsSortByDisplayTextNeeded(TcxCustomDataField* AField);
  Integer NativeCompare(Integer ARecordIndex1, Integer ARecordIndex2, TcxCustomDataField* AField);
  bool IsLocatingGroup() const { return FLocatingGroup; }
  void SetLocatingGroup(bool Value) { FLocatingGroup = Value; }
  bool IsFilterChanged() const { return FCheckAfterFilter; }
  void SetCheckFocusAfterFilter(bool Value) { FCheckFocusAfterFilter = Value; }
  bool GetCheckFocusAfterFilter() const { return FCheckFocusAfterFilter; }
  // Whether a sort or regroup came from a user request (for dcoFocusTopRowAfterSorting).
  bool IsSortingOrGroupingRequested() const { return FGroupingChanged || FSortingChanged; }
  void ClearPipelineFlags();
  bool IsGroupingChangedFlag() const { return FGroupingChanged; }
  bool IsSortingChangedFlag() const { return FSortingChanged; }
  void CorrectPrevSelectionChangedInfo();

  // --- Filters --------------------------------------------------------------
  TcxDataFilterCriteria* GetFilter() const { return FFilter; }
  TcxDataFilterList* GetFilterList() const { return FFilterList; }
  TcxDataFilterCriteria* CreateFilter();

  // --- Search and summaries -------------------------------------------------
  TcxDataControllerSearch* GetSearch() const { return FSearch; }
  TcxDataSummary* GetSummary() const { return FSummary; }
  virtual bool LockOnAfterSummary() { return false; }
  TcxSummaryOptions GetSummaryOptions() const;
  virtual bool DoSearchInGridMode(const AnsiString&, bool, bool) { return false; }

  // --- Relations (master-detail) --------------------------------------------
  TcxCustomDataRelationList* GetRelations();
  virtual Integer GetDefaultActiveRelationIndex() { return 0; }
  TcxCustomDataController* GetMasterDataController() const;
  TcxCustomDataRelation* GetMasterRelation() const { return FMasterRelation; }
  TcxCustomDataController* GetRootDataController();
  TcxCustomDataController* GetPatternDataController();
  TcxDataControllerDetailMode GetDetailMode() const;
  void SetMasterRelation(TcxCustomDataRelation* ARelation, Integer ARecordIndex);
  void SetMasterMode(TcxCustomDataRelation* ARelation, bool AIsPattern);
  void SetIsPattern(bool AValue);
  void AddDataChangeRefCount();
  void RemoveDataChangeRefCount();
  Integer GetDataChangeRefCount() const { return FDataChangeRefCount; }
  void ResetRelationByItem(TObject* AItem);
  void ClearDetailsMasterRelation(TcxCustomDataRelation* ARelation);
  bool IsDetailDataControllerExist(Integer ARecordIndex, Integer ARelationIndex);
  TObject* GetDetailLinkObject(Integer ARecordIndex, Integer ARelationIndex);
  virtual TObject* CreateDetailLinkObject(TcxCustomDataRelation*, Integer) { return nullptr; }
  TcxCustomDataController* GetDetailDataController(Integer ARecordIndex, Integer ARelationIndex);
  virtual TcxCustomDataController* GetDetailDataControllerByLinkObject(TObject*) { return nullptr; }
  Integer GetDetailActiveRelationIndex(Integer ARecordIndex);
  void ChangeDetailActiveRelationIndex(Integer ARecordIndex, Integer ARelationIndex);
  bool GetDetailExpanding(Integer ARecordIndex);
  bool ChangeDetailExpanding(Integer ARecordIndex, bool AExpanded);
  virtual bool CanChangeDetailExpanding(Integer ARecordIndex, bool AExpanded);
  void CollapseDetails();
  void ClearDetails();
  void ClearDetailLinkObject(Integer ARecordIndex, Integer ARelationIndex);
  bool GetDetailHasChildren(Integer ARecordIndex, Integer ARelationIndex);
  void ResetHasChildrenFlag();
  void ResetMasterHasChildrenFlag();
  void FocusDetails(Integer ARecordIndex);
  void ForEachDetail(TcxCustomDataRelation* AMasterRelation,
                     const std::function<void(TcxCustomDataController*)>& AProc);
  virtual bool DoDetailExpanding(Integer ARecordIndex);
  virtual bool DoDetailCollapsing(Integer ARecordIndex);
  virtual void DoDetailExpanded(Integer ARecordIndex);
  virtual void DoDetailCollapsed(Integer ARecordIndex);

  // --- Stream of the records ------------------------------------------------
  // "DataController1": the value types of the items and every record.
  void SaveToStream(TStream* AStream);
  // Checks the whole stream before it changes anything; a stream that does
  // not fit raises and leaves the records as they were.
  void LoadFromStream(TStream* AStream);

  // --- State ----------------------------------------------------------------
  TComponent* GetOwnerComponent() const { return FOwner; }
  TcxDataStorage* GetDataStorage() const { return FDataStorage; }
  TcxCustomDataProvider* GetProvider() const { return FProvider; }
  TcxCustomDataControllerInfo* GetDataControllerInfo() const { return FDataControllerInfo; }
  TcxDataControllerGroups* GetGroups() const { return FGroups; }
  TcxDataControllerOptions GetOptions() const { return FOptions; }
  void SetOptions(TcxDataControllerOptions Value);
  bool GetActive() const { return FActive; }
  TcxCustomDataSource* GetCustomDataSource() const { return FProvider->GetCustomDataSource(); }
  void SetCustomDataSource(TcxCustomDataSource* Value) { FProvider->SetCustomDataSource(Value); }
  bool IsChangingDataSource() const { return FChangingDataSource; }
  void SetChangingDataSource(bool Value) { FChangingDataSource = Value; }
  virtual bool IsDestroying();
  virtual bool IsLoading();
  virtual bool IsReading();
  virtual bool IsUnboundMode();
  // The records come from the provider (a data source or a data set): a
  // total data change reloads them.
  virtual bool IsProviderDataSource() { return IsProviderMode() || FProvider->IsDataSource(); }
  virtual bool IsKeyNavigation() { return IsProviderMode() && FProvider->IsRecordIdSupported(); }
  bool IsGridMode() const { return FProvider->IsGridMode(); }
  bool IsPattern() const { return FIsPattern; }
  bool IsKeysSavingBlocked() const { return FKeysSavingBlocked; }
  bool IsInNotifyControl() const { return FInNotifyControl; }
  bool IsInCancel() const { return FInCancel; }
  Integer GetMasterRecordIndex() const { return FMasterRecordIndex; }
  bool IsDetailMode() const { return FMasterRelation != nullptr; }

  // --- Events ---------------------------------------------------------------
  TcxDataControllerNotifyEvent AfterCancel, AfterDelete, AfterInsert, AfterPost, BeforeCancel;
  TcxDataControllerRecordEvent BeforeDelete;
  TcxDataControllerNotifyEvent BeforeInsert, BeforePost;
  TcxDataFilterRecordEvent OnFilterRecord;
  TcxDataControllerRecordEvent OnNewRecord;
  TcxDataControllerCompareEvent OnCompare;
  TcxDataControllerNotifyEvent OnDataChanged;
  TcxDataDetailExpandingEvent OnDetailCollapsing;
  TcxDataDetailExpandedEvent OnDetailCollapsed;
  TcxDataDetailExpandingEvent OnDetailExpanding;
  TcxDataDetailExpandedEvent OnDetailExpanded;
  TcxDataControllerNotifyEvent OnGroupingChanged;
  TcxDataRecordChangedEvent OnRecordChanged;
  TcxDataControllerNotifyEvent OnSortingChanged;
  TcxUpdateControlEvent OnUpdateControl;

 protected:
  void DoAssign(TPersistent* Source) override;

  void NotifyControl(TcxUpdateControlInfo* AInfo);
  void Update();
  void DataNotification();
  void LayoutNotification();
  void UpdateRecordNotification();
  void FocusedNotification();
  void SelectionNotification();
  void DoGroupingChanged();
  void DoSortingChanged();
  void NotifyDataChangedListeners();
  void ResetDataChanged() {
    FNotedKind = dcTotal, FNotedItemIndex = -1, FNotedRecordIndex = -1;
    FDataChangeNoted = false;
  }
  bool IsNotedRecord(Integer ARecordIndex) const {
    return ARecordIndex != -1 || FNewItemRecordIndex == -1;
  }
  void CancelSearch();
  void ReleaseListenerLinks();

 private:
  friend class TcxCustomDataProvider;
  friend class TcxCustomDataControllerInfo;

  struct ListenerItem {
    TObject* Object;
    TNotifyEvent Event;
  };

  bool FActive = false;
  Integer FBookmarkRecordIndex = -1;
  bool FDataChangedWhileLoading = false;
  Integer FDataChangedNotifyLockCount = 0;
  Integer FGridModeNotifyLockCount = 0;
  TcxDataControllerChanges FChanges;
  bool FCheckAfterFilter = false;
  bool FCheckFocusAfterFilter = false;
  std::vector<ListenerItem> FDataChangedListeners;
  TcxCustomDataControllerInfo* FDataControllerInfo = nullptr;
  TcxDataStorage* FDataStorage = nullptr;
  TcxDataControllerGroups* FGroups = nullptr;
  TcxCustomDataFieldList* FFields = nullptr;
  TcxDataFilterCriteria* FFilter = nullptr;
  TcxDataFilterList* FFilterList = nullptr;
  bool FFocusedRowSelected = true;
  TcxCustomDataField* FIncrementalFilterField = nullptr;
  AnsiString FIncrementalFilterText;
  bool FInCancel = false;
  bool FInNotifyControl = false;
  bool FInSortingChanged = false;
  bool FIsPattern = false;
  bool FChangingDataSource = false;
  bool FSmartLoadRunning = false;
  bool FSmartLoadOperation = false;
  std::vector<TcxDataListenerLink*> FListenerLinks;
  Integer FFieldsUpdateLockCount = 0;
  bool FFieldsChangedWhileLocked = false;
  Integer FNewItemRecordIndex = 0;
  bool FNewItemRowFocused = false;
  Integer FMasterRecordIndex = -1;
  bool FMultiSelect = false;
  TcxDataControllerNotifier* FNotifier = nullptr;
  TcxDataControllerOptions FOptions = cxDataControllerDefaultOptions;
  TComponent* FOwner;
  Integer FPrevSelectedCount = 0;
  Integer FPrevSelectedRowIndex = -1;
  TcxCustomDataProvider* FProvider = nullptr;
  TcxCustomDataField* FRecordIDField = nullptr;
  TcxCustomDataRelationList* FRelations = nullptr;
  TcxSaveObject* FSaveObject = nullptr;
  Integer FSaveKeysCount = 0;
  TcxDataControllerSearch* FSearch = nullptr;
  bool FSortBySummaryChanged = false;
  TcxCustomDataField* FSortBySummaryField = nullptr;
  bool FDeferredStructureChange = false;
  bool FInUpdateItems = false;
  bool FUseNewItemRowForEditing = false;
  TcxDataSummary* FSummary = nullptr;
  TcxDataChange FNotedKind = dcTotal;
  Integer FNotedItemIndex = -1;
  Integer FNotedRecordIndex = -1;
  bool FDeletingSelection = false;
  // While the provider deletes a list of records, highest first: the
  // records deleted, for one correction of the selection for all of them.
  std::vector<Integer>* FSelectionDeletes = nullptr;
  Integer FNearestFocusRecordIndex = -1;
  bool FGroupingChanged = false;
  bool FSortingChanged = false;
  bool FLocatingGroup = false;
  bool FKeysSavingBlocked = false;
  bool FDestroying = false;
  std::vector<bool> FNeedConversion;
  bool FDataChangeNoted = false;
  // Master-detail state: what this controller is the detail of, the pattern
  // request and the users that keep it from being a pattern, and guards.
  TcxCustomDataRelation* FMasterRelation = nullptr;
  bool FPatternRequested = false;
  Integer FDataChangeRefCount = 0;
  bool FCreatingLinkObject = false;
  bool FInDetailExpandingChange = false;
  bool FFocusingDetails = false;
  void UpdatePatternFlag();
  void ReleaseMasterRelation();
};

// The ownerless component that hears when components the fields refer to
// are freed.
class TcxDataControllerNotifier : public TComponent {
  ORV_CLASS(TcxDataControllerNotifier, TComponent)
 public:
  explicit TcxDataControllerNotifier(TcxCustomDataController* ADataController)
      : TComponent(nullptr), FDataController(ADataController) {}
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TcxCustomDataController* FDataController;
};
