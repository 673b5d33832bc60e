// The group table of a grouped view and the controller's grouping face.
//
// The groups of all levels are kept in one flat table in pre-order (every
// group is followed by its descendants). A group of the deepest level owns
// a contiguous range of record-list positions; an upper group owns a range
// of table indexes. Row numbers follow from the groups' expansion and are
// assigned in one walk by Rebuild.
#pragma once

#include <vector>

#include "library/data/cxCustomData.h"
#include "library/data/cxCustomDataTypes.h"

struct TcxDataGroupInfo {
  // A group hidden under a collapsed ancestor carries that ancestor's row.
  Integer RowIndex = 0;
  bool Expanded = false;
  Integer Level = 0;
  // Deepest level: record-list positions; upper levels: table indexes of
  // the first child and the last descendant.
  Integer First = 0;
  Integer Last = 0;
  // The group summary values, indexed by group summary item.
  Variant SummaryValues;
  // While not -1, the values are still the totals the summary's last
  // calculation kept for this group (from this index); the summary makes
  // them into SummaryValues when they are first read.
  Integer SummaryTotals = -1;
};

class TcxDataGroups : public TObject {
  ORV_CLASS(TcxDataGroups, TObject)
 public:
  Integer Add(const TcxDataGroupInfo& AInfo);
  Integer AddEmpty();
  // Room for ACount groups, for a table built in one go.
  void Reserve(size_t ACount) { FItems.reserve(ACount); }
  void AddField(TcxCustomDataField* AField) { FFields.push_back(AField); }
  void Clear();
  void ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive);
  void FullExpanding(bool AExpanded);
  // The group whose row is ARowIndex (the outermost collapsed one of the
  // groups sharing it), or -1 with AInfoIndex the group row above a data row.
  Integer Find(Integer ARowIndex, Integer& AInfoIndex) const;
  Integer FindByIndex(Integer AListIndex, Integer ALevel) const;
  Integer GetChildCount(Integer AIndex) const;
  Integer GetChildIndex(Integer AIndex, Integer AChildIndex) const;
  Integer GetChildRecordListIndex(Integer AIndex, Integer AChildIndex) const;
  Integer GetFirstLevelCount() const;
  Integer GetFirstLevelIndex(Integer AIndex) const;
  Integer GetIndexByRowIndex(Integer ARowIndex) const { return GetIndexByRowIndexLevel(ARowIndex, -1); }
  Integer GetIndexByRowIndexLevel(Integer ARowIndex, Integer ALevel) const;
  Integer GetLevel(Integer AIndex) const;
  Integer GetParentIndex(Integer AIndex) const;
  Integer GetRowCount() const;
  // Expanded, level and the record-list position of the row.
  void GetRowInfo(Integer ARowIndex, bool& AExpanded, Integer& ALevel, Integer& AListIndex) const;
  Integer GetTopVisibleItem(Integer ARowIndex, Integer& AIndex) const;
  bool IsVisible(Integer AIndex) const;
  bool MakeVisible(Integer AIndex, bool AExpandSelf);
  void Rebuild();
  // One record moved from deepest group AFrom to deepest group ATo, both of
  // which keep records: the positions of the groups from one to the other
  // shift by one and the rows are numbered anew.
  void MoveRecord(Integer AFrom, Integer ATo);
  void SetItem(Integer AIndex, const TcxDataGroupInfo& AInfo);
  // The first record-list position of the group's first deepest descendant.
  Integer GetFirstListIndex(Integer AIndex) const;
  bool IsDeepest(Integer AIndex) const { return FItems[static_cast<size_t>(AIndex)].Level == GetLevelCount() - 1; }

  Integer GetFieldCount() const { return static_cast<Integer>(FFields.size()); }
  TcxCustomDataField* GetField(Integer Index) const { return FFields.at(static_cast<size_t>(Index)); }
  Integer GetLevelCount() const { return GetFieldCount(); }
  Integer GetItemCount() const { return static_cast<Integer>(FItems.size()); }
  TcxDataGroupInfo& Item(Integer Index) { return FItems[static_cast<size_t>(Index)]; }
  const TcxDataGroupInfo& Item(Integer Index) const { return FItems[static_cast<size_t>(Index)]; }
  bool Empty() const { return FItems.empty(); }

 private:
  void Walk(Integer ALevel, bool AVisible, Integer& ARow, Integer& AIndex);
  void CheckCache() const;

  std::vector<TcxCustomDataField*> FFields;
  std::vector<TcxDataGroupInfo> FItems;
  // Derived from the table, rebuilt when it changed.
  mutable bool FCacheValid = false;
  mutable std::vector<Integer> FParents;
  mutable std::vector<Integer> FFirstLevel;
  mutable std::vector<Integer> FDeepestByFirst;
};

class TcxCustomDataControllerInfo;

// The controller's public face of grouping. Data-group index = index in
// the group table; row arguments are view rows.
class TcxDataControllerGroups : public TObject {
  ORV_CLASS(TcxDataControllerGroups, TObject)
 public:
  explicit TcxDataControllerGroups(TcxCustomDataController* ADataController) : FDataController(ADataController) {}

  void ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive);
  void ChangeGrouping(Integer AItemIndex, Integer AGroupIndex);
  void ClearGrouping();
  void FullCollapse();
  void FullExpand();
  Integer GetDataGroupIndexByGroupValue(Integer AParentDataGroupIndex, const Variant& AValue);
  bool HasAsParent(Integer ARowIndex, Integer AParentRowIndex) const;
  void LoadRecordIndexes(std::vector<Integer>& AList, Integer ADataGroupIndex) const;
  void LoadRecordIndexesByRowIndex(std::vector<Integer>& AList, Integer ARowIndex) const;
  Integer GetGroupRecordIndex(Integer ADataGroupIndex) const;
  Integer GetChildCount(Integer ADataGroupIndex) const;
  Integer GetChildDataGroupIndex(Integer ADataGroupIndex, Integer AChildIndex) const;
  Integer GetChildRecordIndex(Integer ADataGroupIndex, Integer AChildIndex) const;
  Integer GetDataGroupIndexByRowIndex(Integer ARowIndex) const;
  Integer GetLevel(Integer ADataGroupIndex) const;
  Integer GetParentDataGroupIndex(Integer ADataGroupIndex) const;
  Integer GetFieldGroupIndex(TcxCustomDataField* AField) const;
  Integer GetItemGroupIndex(Integer AItemIndex) const;
  Integer GetGroupingItemCount() const;
  Integer GetGroupingItemIndex(Integer ALevel) const;
  AnsiString GetGroupDisplayText(Integer ADataGroupIndex) const;
  Variant GetGroupValue(Integer ADataGroupIndex) const;
  TcxCustomDataControllerInfo* GetDataControllerInfo() const;
  TcxDataGroups* GetDataGroups() const;

 private:
  TcxCustomDataController* FDataController;
};
