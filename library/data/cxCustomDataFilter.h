// Filter criteria bound to a data controller: conditions refer to the
// controller's fields, values are read from its records, a change refilters
// the view, and the value lists offer a field's values for a drop-down.
#pragma once

#include <vector>

#include "library/data/cxCustomData.h"
#include "library/data/cxCustomDataTypes.h"
#include "library/data/cxFilter.h"

class TcxDataFilterValueList;
class TcxDataFilterCriteria;

using TcxDataFilterGetValueListEvent =
    Event<void(TcxFilterCriteria* Sender, Integer AItemIndex, TcxDataFilterValueList* AValueList)>;

class TcxDataFilterCriteriaItem : public TcxFilterCriteriaItem {
  ORV_CLASS(TcxDataFilterCriteriaItem, TcxFilterCriteriaItem)
 public:
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
  Variant GetDataValue(void* AData) override;
  AnsiString GetFieldCaption() override;
  AnsiString GetFieldName() override;
  TObject* GetItemLink() const override;
  TcxCustomDataField* GetField() const;
  TcxCustomDataController* GetDataController() const;
};

class TcxDataFilterValueList : public TcxFilterValueList {
  ORV_CLASS(TcxDataFilterValueList, TcxFilterValueList)
 public:
  explicit TcxDataFilterValueList(TcxDataFilterCriteria* ACriteria);
  void Load(Integer AItemIndex, bool AInitSortByDisplayText, bool AUseFilteredValues);
  TcxCustomDataController* GetDataController() const;

 private:
  TcxDataFilterCriteria* FDataCriteria;
};

class TcxDataFilterCriteria : public TcxFilterCriteria {
  ORV_CLASS(TcxDataFilterCriteria, TcxFilterCriteria)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomDataController*)>;
  explicit TcxDataFilterCriteria(TcxCustomDataController* ADataController);
  ~TcxDataFilterCriteria() override;

  TcxFilterCriteriaItem* AddItem(TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
                                 TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
                                 const AnsiString& ADisplayValue) override;
  using TcxFilterCriteria::AddItem;
  TcxFilterCriteriaItem* FindItemByItemLink(TObject* AItemLink) override;
  void AssignEvents(TcxFilterCriteria* ASource) override;
  void DefineProperties(TFiler* Filer) override;
  Integer GetIDByItemLink(TObject* AItemLink) override;
  TObject* GetItemLinkByID(Integer AID) override;
  TcxFilterCriteriaItemClass GetItemClass() override;
  void Update() override;
  // Typed checks read the stored values the way GetFilterDataValue,
  // PrepareValue and ValueIsNull treat them; a descendant changing one of
  // those returns nullptr here.
  std::unique_ptr<TcxFilterTypedCheck> CreateTypedCheck(TcxFilterCriteriaItem* AItem,
                                                        const Variant& ACondition) override;
  virtual TcxDataFilterValueList* CreateValueList();
  virtual bool IsFiltering();

  void RemoveItemByField(TcxCustomDataField* AField) { RemoveItemByItemLink(AField); }
  bool DoFilterRecord(Integer ARecordIndex);
  bool IsDestroying() const;
  bool IsInternal() const;
  bool IsLoading() const;
  bool GetActive() const { return FActive; }
  void SetActive(bool Value);
  TcxCustomDataController* GetDataController() const { return FDataController; }

  TcxDataFilterGetValueListEvent OnGetValueList;

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  void ReadCriteria(TStream* AStream) { ReadData(AStream); }
  void WriteCriteria(TStream* AStream) { WriteData(AStream); }
  TObject* TranslateLink(TObject* AItemLink) const;
  // The storage keeps the column of every stored field a condition names
  // from the time it is named (the column then follows the records' edits,
  // inserts and deletes), so the passes of the filter's first activation
  // read a contiguous column like the later ones.
  void KeepColumns();

  bool FActive = false;
  TcxCustomDataController* FDataController;
  bool FDestroying = false;
};

// The additional criteria of a controller (made by its CreateFilter).
class TcxDataFilterList : public TObject {
  ORV_CLASS(TcxDataFilterList, TObject)
 public:
  ~TcxDataFilterList() override { Clear(); }
  void Add(TcxDataFilterCriteria* ACriteria) { FItems.push_back(ACriteria); }
  void Remove(TcxDataFilterCriteria* ACriteria);
  void Clear();
  void RemoveItemByField(TcxCustomDataField* AField);
  bool Contains(const TcxDataFilterCriteria* ACriteria) const;
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxDataFilterCriteria* GetItem(Integer Index) const { return FItems.at(static_cast<size_t>(Index)); }

 private:
  std::vector<TcxDataFilterCriteria*> FItems;
};

// The part of a Between or InList display value that starts at APosition
// (1-based): up to the next ';', trimmed; APosition moves past the ';'.
AnsiString ExtractFilterDisplayValue(const AnsiString& AText, Integer& APosition);
