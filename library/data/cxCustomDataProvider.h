// The data provider: where a controller's records come from, and the edit
// cycle of one record (edit, insert, append, write values, post, cancel,
// delete). Without a data source the records live in the controller's
// value storage (unbound mode); with one, a user-written source owns them
// and is addressed by opaque record handles (provider mode).
#pragma once

#include <unordered_map>
#include <vector>

#include "library/data/cxCustomData.h"
#include "library/data/cxCustomDataTypes.h"

class TcxCustomDataProvider;

class TcxCustomDataSource : public TObject {
  ORV_CLASS(TcxCustomDataSource, TObject)
 public:
  TcxCustomDataSource() = default;
  // Detaches every provider still using it.
  ~TcxCustomDataSource() override;

  virtual TcxDataRecordHandle AppendRecord() { return cxNullRecordHandle; }
  virtual void CustomSort() {}
  virtual void DeleteRecord(TcxDataRecordHandle) {}
  virtual Variant GetDefaultItemID(Integer AItemIndex);
  virtual bool GetDetailHasChildren(Integer, Integer) { return false; }
  virtual AnsiString GetDisplayText(TcxDataRecordHandle ARecordHandle, TcxDataItemHandle AItemHandle);
  virtual bool GetInfoForCompare(TcxDataRecordHandle ARecordHandle, TcxDataItemHandle AItemHandle, const void*& P);
  virtual TcxDataItemHandle GetItemHandle(Integer AItemIndex) { return AItemIndex; }
  virtual Integer GetRecordCount() { return 0; }
  virtual Variant GetRecordId(TcxDataRecordHandle) { return Null(); }
  virtual TcxDataRecordHandle GetRecordHandle(Integer ARecordIndex) { return ARecordIndex; }
  virtual Variant GetValue(TcxDataRecordHandle, TcxDataItemHandle) { return Null(); }
  virtual TcxDataRecordHandle InsertRecord(TcxDataRecordHandle) { return AppendRecord(); }
  virtual bool IsCustomSorting() { return false; }
  virtual bool IsNativeCompare() { return false; }
  virtual bool IsNativeCompareFunc() { return false; }
  virtual bool IsRecordIdSupported() { return false; }
  virtual void LoadRecordHandles();
  virtual Integer NativeCompareFunc(TcxDataRecordHandle, TcxDataRecordHandle, TcxDataItemHandle) { return 0; }
  virtual void SetRecordCount(Integer) {}
  virtual void SetValue(TcxDataRecordHandle, TcxDataItemHandle, const Variant&) {}
  // The source's data changed behind the controller's back.
  virtual void DataChanged();

  TcxDataRecordHandle GetRecordHandleByIndex(Integer ARecordIndex);
  // The first record holding the handle, -1 when none. Answered from a map
  // of the handle field that is rebuilt only after the records changed.
  Integer GetRecordIndexByHandle(TcxDataRecordHandle AHandle);
  Integer AddRecordHandle(TcxDataRecordHandle AHandle);
  void AddProvider(TcxCustomDataProvider* AProvider);
  void RemoveProvider(TcxCustomDataProvider* AProvider);
  void RemoveFromProviders();
  TcxCustomDataProvider* GetProvider() const { return FCurrentProvider ? FCurrentProvider : FProvider; }
  void SetCurrentProvider(TcxCustomDataProvider* AProvider) { FCurrentProvider = AProvider; }
  TcxCustomDataController* GetDataController() const;
  // The records' handles changed; the next lookup rebuilds its map.
  void InvalidateHandleMap() { FHandleMapValid = false; }

 private:
  TcxCustomDataProvider* FCurrentProvider = nullptr;
  TcxCustomDataProvider* FProvider = nullptr;
  std::vector<TcxCustomDataProvider*> FProviders;
  bool FHandleMapValid = false;
  Integer FHandleMapCount = -1;
  std::unordered_map<TcxDataRecordHandle, Integer> FHandleMap;
};

class TcxCustomDataProvider : public TObject {
  ORV_CLASS(TcxCustomDataProvider, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomDataController*)>;
  explicit TcxCustomDataProvider(TcxCustomDataController* ADataController);
  ~TcxCustomDataProvider() override;

  virtual void CustomSort();
  virtual bool IsCustomDataSourceSupported() { return true; }
  virtual bool IsCustomSorting();
  virtual bool IsGridMode() { return false; }
  virtual bool IsDataSource() { return false; }
  virtual bool IsOtherInsert() { return false; }
  virtual bool IsRecordIdSupported();
  virtual bool IsSyncMode() { return false; }
  virtual bool IsActive() { return FCustomDataSource != nullptr; }
  virtual bool IsActiveDataSet() { return false; }
  virtual bool IsBOF() { return true; }
  virtual bool IsChanging() { return FChanging; }
  virtual bool IsEditing() { return FEditingRecordIndex != cxNullEditingRecordIndex; }
  virtual bool IsEOF() { return true; }
  virtual bool IsGridModeUpdating() { return false; }
  virtual bool IsInserting() { return IsEditing() && FInserting; }
  virtual bool IsModified() { return FModified; }
  virtual bool IsUnboundColumnMode() { return !CanModify(); }
  virtual void CorrectRecordIndex(Integer) {}
  virtual void First() {}
  virtual void Prev() {}
  virtual void Next() {}
  virtual void Last() {}
  virtual void MoveBy(Integer) {}
  virtual void Scroll(Integer) {}
  virtual void SavePos() {}
  virtual void RestorePos() {}
  virtual bool CanAppend() { return CanModify(); }
  virtual bool CanDelete();
  virtual bool CanInitEditing(Integer ARecordIndex);
  virtual bool CanInsert() { return CanModify(); }
  virtual bool CanModify() { return true; }
  virtual void Append() { InsertingRecord(true); }
  virtual void Cancel();
  virtual void DoUpdateData();
  virtual void Delete();
  virtual void DeleteRecords(const std::vector<Integer>& AList);
  virtual void DeleteSelection();
  virtual void Edit() { SetEditing(); }
  virtual Variant GetEditValue(Integer ARecordIndex, TcxCustomDataField* AField, TcxDataEditValueSource AValueSource);
  virtual void Insert() { InsertingRecord(false); }
  virtual void Post();
  virtual void PostEditingData();
  virtual bool SetEditValue(Integer ARecordIndex, TcxCustomDataField* AField, const Variant& AValue,
                            TcxDataEditValueSource AValueSource);
  virtual void BeginDeleting();
  virtual void EndDeleting();
  virtual void AssignItemValue(Integer ARecordIndex, TcxCustomDataField* AField, const Variant& AValue);
  virtual void DoInitInsertingRecord(Integer ARecordIndex, const std::vector<Variant>& AGroupValues);
  virtual void EditingRecord();
  virtual void InsertingRecord(bool AIsAppend);
  virtual void ResetChanging() { FChanging = false; }
  virtual void ResetEditing();
  virtual void ResetModified() { FModified = false; }
  virtual void SetChanging() { FChanging = true; }
  virtual void SetEditing() { EditingRecord(); }
  virtual void SetModified() { FModified = true; }
  virtual void BeginLocate() { ++FLocateCount; }
  virtual void EndLocate() { --FLocateCount; }
  virtual void Freeze() { ++FFreezeCount; }
  virtual void Unfreeze();
  virtual Integer AppendRecord();
  virtual void DeleteRecord(Integer ARecordIndex);
  virtual bool GetDetailHasChildren(Integer ARecordIndex, Integer ARelationIndex);
  virtual AnsiString GetDisplayText(Integer ARecordIndex, TcxCustomDataField* AField);
  virtual AnsiString GetExternalDataDisplayText(Integer, TcxCustomDataField*) { return AnsiString(); }
  virtual Variant GetExternalDataValue(Integer, TcxCustomDataField*) { return Null(); }
  virtual Variant GetRecordId(Integer ARecordIndex);
  virtual Integer GetRecordIndex() { return -1; }
  virtual Variant GetValue(Integer ARecordIndex, TcxCustomDataField* AField);
  virtual Integer InsertRecord(Integer ARecordIndex);
  virtual void LoadDataBuffer() {}
  virtual Integer NativeCompare(Integer ARecordIndex1, Integer ARecordIndex2, TcxCustomDataField* AField);
  virtual Integer NativeCompareFunc(Integer ARecordIndex1, Integer ARecordIndex2, TcxCustomDataField* AField);
  virtual void SetDisplayText(Integer ARecordIndex, TcxCustomDataField* AField, const AnsiString& AText);
  virtual void SetRecordCount(Integer ACount);
  virtual void SetValue(Integer ARecordIndex, TcxCustomDataField* AField, const Variant& AValue);
  virtual void ActiveChanged(bool AActive);
  virtual void DataChanged(TcxDataChange ADataChange, Integer AItemIndex, Integer ARecordIndex);
  virtual void DataScrolled(Integer ADistance);
  virtual void LayoutChanged(TcxDataLayoutChanges AChanges);

  void SetCustomDataSource(TcxCustomDataSource* ASource);
  Integer AddRecordHandle(TcxDataRecordHandle AHandle);
  void LoadRecordHandles();
  void CreateSavedRecord(Integer ARecordIndex);
  void ClearSavedRecord();

  TcxCustomDataController* GetDataController() const { return FDataController; }
  TcxCustomDataSource* GetCustomDataSource() const { return FCustomDataSource; }
  Integer GetEditingRecordIndex() const { return FEditingRecordIndex; }
  // Forgets the editing record without touching the storage (the record
  // itself is going away).
  void SetEditingRecordIndex(Integer Value) { FEditingRecordIndex = Value; }
  // Records were inserted (ADelta 1) or deleted (ADelta -1) at
  // ARecordIndex: the noted neighbours follow their records, and a deleted
  // neighbour is forgotten.
  void CorrectNeighbours(Integer ARecordIndex, Integer ADelta);
  Integer GetPrevNeighbourRecordIndex() const { return FPrevNeighbour; }
  Integer GetNextNeighbourRecordIndex() const { return FNextNeighbour; }
  Integer GetInsertedRecordIndex() const { return FInsertedRecordIndex; }
  void SetInsertedRecordIndex(Integer Value) { FInsertedRecordIndex = Value; }
  Integer GetSavedRecordIndex() const { return FSavedRecordIndex; }
  void ForgetSavedRecord() { FSavedRecordIndex = 0; }
  bool IsAppendingFromNewItem() const { return FAppendingFromNewItem; }
  bool IsLocating() const { return FLocateCount != 0; }
  bool IsFrozen() const { return FFreezeCount != 0; }
  bool GetGrouped() const { return FGrouped; }
  void SetGrouped(bool Value) { FGrouped = Value; }
  bool IsInsertingFlag() const { return FInserting; }

 protected:
  TcxDataRecordHandle RecordHandle(Integer ARecordIndex);
  TcxDataItemHandle ItemHandle(TcxCustomDataField* AField);
  TcxCustomDataSource* Source();
  // The controller holds as many records as the source.
  bool IsInStepWithSource();
  // Brings the controller's records in step with a source that changed
  // them at our request without reporting it.
  void ReloadFromSource();

  bool FChanging = false;
  TcxCustomDataSource* FCustomDataSource = nullptr;
  bool FAppendingFromNewItem = false;
  TcxCustomDataController* FDataController;
  Integer FEditingRecordIndex = cxNullEditingRecordIndex;
  Integer FPrevNeighbour = cxNullEditingRecordIndex;
  Integer FNextNeighbour = cxNullEditingRecordIndex;
  Integer FInsertedRecordIndex = -1;
  bool FInUpdateData = false;
  Integer FLocateCount = 0;
  Integer FFreezeCount = 0;
  // Data changes reported while frozen reach the controller at Unfreeze.
  bool FFrozenChangePending = false;
  bool FModified = false;
  Integer FSavedRecordIndex = 0;
  bool FInserting = false;
  bool FGrouped = false;
};

using TcxCustomDataProviderClass = TClassRef<TcxCustomDataProvider>;
