// Data fields: one per item of the bound control plus the controller's
// internal fields, each binding its item to a column of the value storage;
// and the lists of fields that define the view's sort order and grouping.
#pragma once

#include <cstdint>
#include <vector>

#include "library/data/cxDataStorage.h"
#include "library/data/cxDataUtils.h"

class TcxCustomDataField;

// What the fields need of their data controller.
class IcxDataFieldController {
 public:
  virtual ~IcxDataFieldController() = default;
  // The definitions of the controller's value storage.
  virtual TcxValueDefs* GetFieldValueDefs() = 0;
  // Whether a data source stands behind the records.
  virtual bool IsProviderMode() = 0;
  // The structure of the fields changed; the controller ignores it while
  // its provider is frozen.
  virtual void FieldStructureChanged() = 0;
  // A field left the list.
  virtual void FieldRemoved(TcxCustomDataField* AField) = 0;
  // The object that tells the controller's listeners.
  virtual TObject* GetNotifier() { return nullptr; }
};

class TcxCustomDataFieldList;

class TcxCustomDataField : public TObject {
  ORV_CLASS(TcxCustomDataField, TObject)
 public:
  // Controllers make their fields through a class reference.
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomDataFieldList*)>;
  // The list's Add inserts the field.
  explicit TcxCustomDataField(TcxCustomDataFieldList* AFieldList) : FFieldList(AFieldList) {}
  // Leaves the list (fields referring to it take over its data) and drops
  // its storage column.
  ~TcxCustomDataField() override;

  virtual void Reassign(TcxCustomDataField* ASource);
  virtual void RemoveNotification(TComponent*) {}
  virtual bool CanModify(TcxDataEditValueSource AEditValueSource);
  virtual bool IsUnbound() { return false; }
  virtual bool IsValueDefInternal() { return FIsInternal; }

  void Changed();
  void ClearData();
  void CreateData();
  void BeginRecreateData();
  void EndRecreateData();

  TcxCustomDataFieldList* GetFieldList() const { return FFieldList; }
  IcxDataFieldController* GetDataController() const;
  TObject* GetNotifier() const;
  Integer GetIndex() const;
  void SetIndex(Integer Value);
  bool GetIsInternal() const { return FIsInternal; }
  void SetIsInternal(bool Value);
  TObject* GetItem() const { return FItem; }
  void SetItem(TObject* Value);
  Integer GetCompareMode() const { return FCompareMode; }
  void SetCompareMode(Integer Value) { FCompareMode = Value; }
  TcxCustomDataField* GetReferenceField() const { return FReferenceField; }
  void SetReferenceField(TcxCustomDataField* Value);
  // These follow the reference chain to its end.
  bool GetTextStored() const { return Data()->FTextStored; }
  TcxValueDef* GetValueDef() const { return Data()->FValueDef; }
  TcxValueTypeClass GetValueTypeClass() const { return Data()->FValueTypeClass; }
  // No effect on a field that refers to another.
  void SetTextStored(bool Value);
  void SetValueTypeClass(TcxValueTypeClass Value);

 private:
  friend class TcxCustomDataFieldList;
  const TcxCustomDataField* Data() const;

  TcxCustomDataFieldList* FFieldList;
  bool FIsInternal = false;
  TObject* FItem = nullptr;
  Integer FRecreateLock = 0;
  Integer FCompareMode = 0;
  TcxCustomDataField* FReferenceField = nullptr;
  // How many fields refer to this one.
  Integer FReferenceCount = 0;
  bool FListed = false;
  bool FTextStored = false;
  TcxValueDef* FValueDef = nullptr;
  TcxValueTypeClass FValueTypeClass = nullptr;
  // This field's entry in the list's item index, while it has an item.
  std::uint32_t FByItemEntry = 0;
};

class TcxCustomDataFieldList : public TObject {
  ORV_CLASS(TcxCustomDataFieldList, TObject)
 public:
  explicit TcxCustomDataFieldList(IcxDataFieldController* AController) : FController(AController) {}
  ~TcxCustomDataFieldList() override;

  // Ordinary fields go before the internal ones.
  void Add(TcxCustomDataField* AField);
  void Clear();
  TcxCustomDataField* FieldByItem(TObject* AItem) const;
  void RemoveField(TcxCustomDataField* AField);
  void ReassignFields(TcxCustomDataField* AField);
  void RemoveNotification(TComponent* AComponent);
  void Update();
  void Move(Integer ACurIndex, Integer ANewIndex);

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxCustomDataField* GetItem(Integer Index) const;
  Integer IndexOf(const TcxCustomDataField* AField) const;
  // The ordinary fields: the controller's items.
  Integer GetItemCount() const { return GetCount() - FInternalCount; }
  IcxDataFieldController* GetController() const { return FController; }
  bool IsRemoving() const { return FRemoving; }

 private:
  friend class TcxCustomDataField;
  // An entry of the item index: an item and its field, chained with the
  // entries of the same bucket. A field that leaves only clears its
  // entry's Field; the entries left empty go when the index grows.
  struct TByItemEntry {
    TcxCustomDataField* Field;
    std::uint32_t Next;  // 1 + the next entry's place, 0 at the chain's end
    // The top half of the item's hash: the entry's bucket at any size, and
    // a field worth reading only where it matches.
    std::uint32_t Hash;
  };

  void ItemChanged(TcxCustomDataField* AField, TObject* AOldItem);
  static std::uint32_t ItemHash(const TObject* AItem);
  std::uint32_t& Bucket(std::uint32_t AHash) { return FByItem[AHash >> FByItemShift]; }
  std::uint32_t Bucket(std::uint32_t AHash) const { return FByItem[AHash >> FByItemShift]; }
  void IndexByItem(TcxCustomDataField* AField);
  void UnindexByItem(TcxCustomDataField* AField, const TObject* AItem);
  void RebuildIndex(std::size_t ABucketCount);
  bool HasOtherField(std::uint32_t AHash, const TObject* AItem, const TcxCustomDataField* AField) const;
  IcxDataFieldController* FController;
  bool FRemoving = false;
  Integer FInternalCount = 0;
  std::vector<TcxCustomDataField*> FItems;
  // The fields with an item, in buckets by the item's address, so that an
  // item's field is found at once; indexing one asks the heap for nothing
  // but room in two lists. The entries lie in the order the fields were
  // indexed, so fields that leave last first clear entries side by side
  // instead of touching buckets all over the index. An item has one
  // field, unless a caller gave two the same item.
  std::vector<TByItemEntry> FByItemEntries;
  std::vector<std::uint32_t> FByItem;  // 1 + a chain's first entry, 0 for none
  std::size_t FIndexedCount = 0;
  unsigned FByItemShift = 32;
  // Fields whose item another field of the index has as well.
  std::size_t FSharedItems = 0;
};

ORV_ENUM(TcxDataSortOrder, soNone, soAscending, soDescending)

struct TcxDataSortInfo {
  TcxCustomDataField* Field;
  TcxDataSortOrder SortOrder;
};

class TcxSortingFieldList : public TObject {
  ORV_CLASS(TcxSortingFieldList, TObject)
 public:
  virtual void ChangeSorting(TcxCustomDataField* AField, TcxDataSortOrder ASortOrder);

  void Add(TcxCustomDataField* AField, TcxDataSortOrder ASortOrder);
  void Insert(Integer AIndex, TcxCustomDataField* AField, TcxDataSortOrder ASortOrder);
  void Delete(Integer AIndex);
  void Remove(TcxCustomDataField* AField);
  void Clear();
  void Move(Integer AFromIndex, Integer AToIndex);
  Integer Find(TcxCustomDataField* AField) const;
  Integer SortIndexByField(TcxCustomDataField* AField) const { return Find(AField); }
  TcxDataSortOrder SortOrderByField(TcxCustomDataField* AField) const;
  void SetSortOrder(Integer AIndex, TcxDataSortOrder ASortOrder);
  void AppendFrom(const TcxSortingFieldList* AList);
  void CheckField(TcxCustomDataField* AField);
  void Changed();

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  const TcxDataSortInfo& GetItem(Integer Index) const;

  Event<void()> OnChanged;

 protected:
  void CheckIndex(Integer AIndex, Integer ACount) const;
  std::vector<TcxDataSortInfo> FItems;
};

// The order of the entries is the order of the grouping levels.
class TcxGroupingFieldList : public TcxSortingFieldList {
  ORV_CLASS(TcxGroupingFieldList, TcxSortingFieldList)
 public:
  // A grouping field is always sorted: soNone keeps it ascending.
  void ChangeSorting(TcxCustomDataField* AField, TcxDataSortOrder ASortOrder) override;
  void ChangeGrouping(TcxCustomDataField* AField, Integer AGroupIndex);
  Integer GroupIndexByField(TcxCustomDataField* AField) const { return Find(AField); }
  void UpdateSorting(const TcxSortingFieldList* ASortingList);
};
