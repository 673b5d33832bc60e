// The view pipeline: turns a controller's records into the rows of the
// view (load, filter, sort, group), keeps focus, expansion and selection
// across each pass, and tells the controller what changed.
#pragma once

#include <vector>

#include "library/data/cxCustomDataGroups.h"
#include "library/data/cxCustomDataSelection.h"
#include "library/data/cxCustomDataSortKeys.h"
#include "library/data/cxRecordListPositions.h"
#include "platform/rtl/ScopeExit.h"

class TcxCustomDataControllerInfo : public TObject {
  ORV_CLASS(TcxCustomDataControllerInfo, TObject)
 public:
  explicit TcxCustomDataControllerInfo(TcxCustomDataController* ADataController);
  ~TcxCustomDataControllerInfo() override;

  virtual void TruncateSelection();
  virtual void Update();

  // Change entry points.
  void Refresh();
  // While the scope this answers lasts, the next refresh changes which
  // records are shown (a filter's change), not the records or their values.
  [[nodiscard]] auto ShownRecordsScope() { return orv::TempValue(FShownRecordsOnly, true); }
  void RefreshFocused();
  void RefreshSummary(bool ARecalcOnly);
  void ExpandingChanged();
  void FocusedRecordChanged(bool ANewItemRowChanged);
  void GroupingChanged();
  void SortingChanged();
  void SelectionChanged();
  void ChangeSorting(TcxCustomDataField* AField, TcxDataSortOrder ASortOrder);
  void ChangeSortIndex(TcxCustomDataField* AField, Integer AIndex);
  void ClearSorting(bool AKeepGroupedFields);
  void ChangeGrouping(TcxCustomDataField* AField, Integer AGroupIndex);
  void ClearGrouping();
  void ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive);
  void FullExpand();
  void FullCollapse();
  void RemoveField(TcxCustomDataField* AField);
  void UpdateField(TcxCustomDataField* AField);
  // One record's values changed. When nothing but this can move (no bracket
  // rebuilt the list meanwhile, unbound records, no user comparison), the
  // next pass moves the record alone instead of loading, filtering and
  // sorting everything; the rows come out the same.
  // AField names the one field that changed, none when any may have.
  void RecordChanged(Integer ARecordIndex, TcxCustomDataField* AField = nullptr);
  // Comes before a record's stored values change, so that the summaries
  // can take the old values out of their sums on the next pass.
  void RecordChanging(Integer ARecordIndex);
  // Records from ARecordIndex on are about to move by ADelta (an insert or
  // a delete in the store): the state kept by group value is read now,
  // while the record list of the last pass still names the right records.
  void RecordsMoving();
  // ... and have moved: the focus and the selected records follow them.
  void RecordsMoved(Integer ARecordIndex, Integer ADelta);

  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  Integer GetLockCount() const { return FLockCount; }
  void CheckChanges();
  bool IsInUpdate() const { return FInUpdate; }
  TcxDataControllerInfoChanges GetChanges() const { return FChanges; }

  // Rows.
  Integer GetRowCount() const;
  TcxRowInfo GetRowInfo(Integer ARowIndex) const;
  Integer GetRowIndexByRecordIndex(Integer ARecordIndex, bool AMakeVisible);
  Integer GetNearestRowIndex(Integer ARowIndex) const;
  Integer GetInternalRecordCount() const { return static_cast<Integer>(FRecordList.size()); }
  Integer GetInternalRecordIndex(Integer AListIndex) const;
  Integer GetInternalRecordListIndex(Integer ARecordIndex) const;
  bool IsGrouped() const { return !FDataGroups->Empty(); }
  bool IsAlwaysExpanded() const;
  void CheckRowIndex(Integer ARowIndex) const;

  // Focus and selection.
  Integer GetFocusedRowIndex() const { return FFocusingInfo->RowIndex; }
  Integer GetFocusedRecordIndex() const;
  Integer GetPrevFocusedRowIndex() const { return FPrevFocusingInfo->RowIndex; }
  Integer GetPrevFocusedRecordIndex() const { return FPrevFocusingInfo->RecordIndex; }
  bool GetNewItemRowFocusingChanged() const { return FPrevFocusingInfo->NewItemRowFocusingChanged; }
  void SetFocusedRowIndex(Integer ARowIndex);
  void CorrectFocusedRow(Integer ARowIndex);
  void DoChangeFocusedRow(Integer ARowIndex, bool AForce);
  bool CanFocusedRowChanging(Integer ARowIndex);
  bool IsInFocusCheck() const { return FInFocusCheck; }
  bool IsInFocusChange() const { return FInFocusChange; }
  void ChangeRowSelection(Integer ARowIndex, bool ASelect);
  // Selects the rows AFirstRow to ALastRow, as ChangeRowSelection would
  // one by one, with one pass over the selection.
  void SelectRows(Integer AFirstRow, Integer ALastRow);
  void ClearSelection();
  void ClearSelectionAnchor();
  Integer GetSelectedCount() const { return FSelection->GetCount(); }
  Integer GetSelectedRowIndex(Integer AIndex) const;
  bool IsRowSelected(Integer ARowIndex) const;
  void SaveExpanding(TcxDataExpandingInfoStateSet AStates);
  void CheckFocusedRowAfterDataChange();

  // Sorting.
  void PrepareSorting();
  void UnprepareSorting();
  Integer CompareRecords(Integer ARecordIndex1, Integer ARecordIndex2);
  Integer CompareGroupRecords(Integer ARecordIndex1, Integer ARecordIndex2, Integer ALevel);
  bool IsSortBySummary() const;

  TcxCustomDataController* GetDataController() const { return FDataController; }
  TcxDataGroups* GetDataGroups() const { return FDataGroups; }
  TcxDataExpandingInfos* GetExpandingInfos() const { return FExpandingInfos; }
  TcxDataFocusingInfo* GetFocusingInfo() const { return FFocusingInfo; }
  TcxDataFocusingInfo* GetPrevFocusingInfo() const { return FPrevFocusingInfo; }
  TcxGroupingFieldList* GetGroupingFieldList() const { return FGroupingFieldList; }
  TcxSortingFieldList* GetSortingFieldList() const { return FSortingFieldList; }
  TcxSortingFieldList* GetTotalSortingFieldList() const { return FTotalSortingFieldList; }
  TcxDataSelection* GetSelection() const { return FSelection; }
  const std::vector<Integer>& GetRecordList() const { return FRecordList; }

  // Focus repair (used by the controller too).
  Integer FindFocusedRow(bool AExpand);
  Integer LocateGroupByLevel(Integer AGroupIndex, Integer ALevel);
  Integer LocateDetail(Integer AGroupIndex, Integer AListIndex, bool AMakeVisible);
  void CheckFocusing();
  void CheckFocusingAfterFilter();
  void CheckAfterCollapsing();
  void RecalcSelection();

 private:
  void SaveInfo();
  void CheckExpanding();
  // Per data group, whether the selection holds its group row.
  std::vector<bool> SelectedGroups() const;
  void RecalcGroupedSelectionRows();
  void CheckInfo();
  void ClearInfo();
  void DoLoad();
  void DoFilter();
  bool IsRecordFiltered(Integer ARecordIndex, bool AIncremental, bool ACriteria, bool AEvent);
  void DoSort();
  void DoGrouping();
  // Per position of the record list, the first grouping level whose value
  // differs from the position before (the level count where none does),
  // compared through the keys the pass's sort took (AReuseKeys), keys
  // taken for it, or the general comparison.
  void FindGroupChanges(bool AReuseKeys, std::vector<Integer>& AChange);
  void DoSortBySummary();
  void DoBeginSummary();
  void DoEndSummary();
  void ResetFocusing();
  void ForwardChanges();
  bool CanMoveChangedRecords() const;
  void MoveChangedRecords();

  TcxDataControllerInfoChanges FChanges;
  TcxCustomDataController* FDataController;
  TcxDataGroups* FDataGroups;
  TcxDataExpandingInfos* FExpandingInfos;
  bool FRecalcSelection = false;
  bool FInFocusChange = false;
  TcxDataFocusingInfo* FFocusingInfo;
  TcxGroupingFieldList* FGroupingFieldList;
  bool FInFocusCheck = false;
  // The record of the row a focus change is headed for, kept current while
  // the change asks whether it may happen (RecordsMoved shifts it).
  Integer FFocusTargetRecord = -1;
  bool FInUpdate = false;
  Integer FLockCount = 0;
  TcxDataFocusingInfo* FPrevFocusingInfo;
  std::vector<Integer> FRecordList;
  TcxDataSelection* FSelection;
  TcxSortingFieldList* FSortingFieldList;
  TcxSortingFieldList* FTotalSortingFieldList;
  // Record -> record-list position, rebuilt lazily after the list changed.
  TcxRecordListPositions FListIndex;
  // DoLoad left the list of all records in record order to be written:
  // FillLoadOrder writes it.
  bool FLoadOrder = false;
  void FillLoadOrder();
  // Records changed since the last pass, for the single-record path.
  std::vector<Integer> FChangedRecords;
  // Whether a changed value may order or group its record anew.
  bool FChangedKeys = false;
  bool FFullReload = false;
  Integer FLoadedRecordCount = -1;
  // Reloads asked for while a pass runs; they get a pass of their own.
  TcxDataControllerInfoChanges FDeferred;
  bool FDeferredFullReload = false;
  // The lone record the last move handled: whether it was and is shown,
  // and whether it stayed in its data groups (Groups: deepest first).
  struct MovedRecord {
    Integer Record = -1;
    bool WasShown = false;
    bool IsShown = false;
    bool KeepsGroups = false;
    // The groups it stays in; with KeepsGroups, those it left and joined
    // when it moved to another group of the table.
    std::vector<Integer> Groups;
    std::vector<Integer> Left;
    std::vector<Integer> Joined;
  };
  MovedRecord FMoved;
  // A lone moved record that left its deepest group AGroup (position AFrom)
  // for position ATo joins the group of a neighbour there with the same
  // group values: the table is adjusted and FMoved says so.
  void MoveToNeighbourGroup(Integer AGroup, Integer AFrom, Integer ATo);
  // The keys the pass's sort took, for its grouping; valid while no data
  // change came in between (FDataVersion counts them). When the pass
  // groups, the sort also noted per position the first grouping level
  // whose value differs from the position before (FPassChanges).
  TcxRecordSortKeys FPassKeys;
  bool FPassKeysValid = false;
  std::vector<Integer> FPassChanges;
  Integer FPassChangeLevels = 0;
  UInt64 FPassKeysVersion = 0;
  UInt64 FDataVersion = 0;
  // Counts the changes of the records and their values, which FDataVersion
  // counts too, but not a filter's change (FShownRecordsOnly). The group
  // table was built from the values of FGroupsValuesVersion.
  UInt64 FValuesVersion = 0;
  UInt64 FGroupsValuesVersion = ~UInt64{0};
  bool FShownRecordsOnly = false;
  // The group table holds every record with the values it was built from,
  // and a pass restores what it saves: every group of the pass's table
  // stood in this one.
  bool GroupsHoldEveryRecord() const;
  // Saves the collapsed groups where they are fewer than the expanded ones.
  bool SaveCollapsedGroups();
};
