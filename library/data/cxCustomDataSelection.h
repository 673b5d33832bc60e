// Where the user is in the view: the focused row and record, the groups'
// expansion and selection saved by group value across a pipeline pass, and
// the selected rows.
#pragma once

#include <vector>

#include "library/data/cxCustomData.h"
#include "library/data/cxCustomDataTypes.h"

class TcxCustomDataControllerInfo;

class TcxDataFocusingInfo : public TObject {
  ORV_CLASS(TcxDataFocusingInfo, TObject)
 public:
  explicit TcxDataFocusingInfo(TcxCustomDataControllerInfo* AInfo) : FInfo(AInfo) {}
  void Assign(const TcxDataFocusingInfo* ASource);
  void Clear();
  bool IsEqual(const TcxDataFocusingInfo* AOther) const;
  void ResetPos();
  void SavePos();

  bool NewItemRowFocusingChanged = false;
  Integer Level = -1;
  bool Changed = false;
  Integer SavedRecordIndex = -1;
  Integer RecordIndex = -1;
  Integer RowIndex = -1;

 private:
  TcxCustomDataControllerInfo* FInfo;
};

ORV_ENUM(TcxDataExpandingInfoState, eisExpanded, eisSelected)
using TcxDataExpandingInfoStateSet = Set<TcxDataExpandingInfoState, 8>;

struct TcxDataExpandingInfo {
  Integer Level;
  Variant Value;
  TcxDataExpandingInfoStateSet State;
};

class TcxDataExpandingInfos : public TObject {
  ORV_CLASS(TcxDataExpandingInfos, TObject)
 public:
  void AddField(TcxCustomDataField* AField);
  void AddItem(Integer ALevel, const Variant& AValue, TcxDataExpandingInfoStateSet AState);
  void CheckField(TcxCustomDataField* AField);
  void Clear();
  void ClearFields() { FFields.clear(); }
  void ClearValues() { FItems.clear(); }
  Integer Find(TcxCustomDataField* AField) const;
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  bool Empty() const { return FItems.empty() || FFields.empty(); }
  Integer GetFieldCount() const { return static_cast<Integer>(FFields.size()); }
  TcxCustomDataField* GetField(Integer Index) const { return FFields.at(static_cast<size_t>(Index)); }
  const TcxDataExpandingInfo& GetItem(Integer Index) const { return FItems.at(static_cast<size_t>(Index)); }

  TcxDataExpandingInfoStateSet SaveStates;
  // The items whose state holds eisExpanded name the groups that are
  // collapsed, and every other group is expanded: kept where those are
  // fewer and the groups after the pass all stood in the table before.
  bool Collapsed = false;

 private:
  std::vector<TcxCustomDataField*> FFields;
  std::vector<TcxDataExpandingInfo> FItems;
};

struct TcxDataSelectionItem {
  // -1 for a selected group row; otherwise the row level of a data row.
  Integer Level;
  // The record, or for a group row the data-group index.
  Integer RecordIndex;
  Integer RowIndex;
};

// The selected rows, kept in ascending row order.
class TcxDataSelection : public TObject {
  ORV_CLASS(TcxDataSelection, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomDataController*)>;
  explicit TcxDataSelection(TcxCustomDataController* ADataController) : FDataController(ADataController) {}

  virtual void ClearAnchor() { FAnchorRowIndex = -1; }
  virtual void InternalAdd(Integer AIndex, Integer ARowIndex, Integer ALevel, Integer ARecordIndex);
  virtual void InternalClear();
  virtual void InternalDelete(Integer AIndex);
  virtual void SetInternalCount(Integer ACount);
  virtual void Add(Integer AIndex, Integer ARowIndex, Integer ALevel, Integer ARecordIndex);
  // Adds entries given in ascending row order, whose rows are not selected
  // yet, in one pass over the selection; no notice.
  void InternalAddSorted(const std::vector<TcxDataSelectionItem>& AItems);
  virtual bool FindByRowIndex(Integer ARowIndex, Integer& AIndex) const;

  void AddField(TcxCustomDataField* AField) { FFields.push_back(AField); }
  void ClearFields() { FFields.clear(); }
  void Clear();
  void ClearAll();
  void Delete(Integer AIndex);
  Integer FindByGroupIndex(Integer AGroupIndex) const;
  Integer FindByRecordIndex(Integer ARecordIndex) const;
  bool IsRecordSelected(Integer ARecordIndex) const { return FindByRecordIndex(ARecordIndex) != -1; }
  bool IsRowSelected(Integer ARowIndex) const {
    Integer index;
    return FindByRowIndex(ARowIndex, index);
  }
  void Sort();
  void Changed();
  // Drops the data entries whose records the filter removed.
  void CheckAfterFiltering();

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  const TcxDataSelectionItem& GetItem(Integer Index) const { return FItems.at(static_cast<size_t>(Index)); }
  // Direct updates used while the pipeline recomputes rows; no notice.
  void SetRowIndex(Integer Index, Integer ARowIndex) { FItems.at(static_cast<size_t>(Index)).RowIndex = ARowIndex; }
  void SetRecordIndex(Integer Index, Integer ARecordIndex) {
    FItems.at(static_cast<size_t>(Index)).RecordIndex = ARecordIndex;
  }
  // Deletes, without a notice per entry, every entry the predicate names,
  // in one pass: a filter or a delete may take most of a long selection,
  // and taking the entries out one by one would move the rest each time.
  template <class Pred>
  bool RemoveIf(Pred&& APred) {
    size_t kept = 0;
    for (size_t i = 0; i < FItems.size(); ++i) {
      if (APred(FItems[i])) {
        if (FItems[i].RowIndex == FAnchorRowIndex) ClearAnchor();
        continue;
      }
      if (kept != i) FItems[kept] = FItems[i];
      ++kept;
    }
    const bool removed = kept != FItems.size();
    FItems.resize(kept);
    return removed;
  }
  Integer GetFieldCount() const { return static_cast<Integer>(FFields.size()); }
  TcxCustomDataField* GetField(Integer Index) const { return FFields.at(static_cast<size_t>(Index)); }
  Integer GetAnchorRowIndex() const { return FAnchorRowIndex; }
  void SetAnchorRowIndex(Integer Value) { FAnchorRowIndex = Value; }
  TcxCustomDataController* GetDataController() const { return FDataController; }

  Event<void()> OnChanged;

 protected:
  Integer FAnchorRowIndex = -1;
  TcxCustomDataController* FDataController;
  std::vector<TcxDataSelectionItem> FItems;
  std::vector<TcxCustomDataField*> FFields;
};

using TcxDataSelectionClass = TClassRef<TcxDataSelection>;
