// The vocabulary of the data controller: its options, the kinds of change
// it collects and delivers, the edit states of its provider, the messages
// it hands to the bound control, and its error class.
#pragma once

#include <vector>

#include "library/data/cxDataConsts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Sets.h"
#include "platform/rtl/TypeInfo.h"

class TcxCustomDataController;

// Internal records of the storage have negative indexes, so -1 can be a
// record under edit; "no record" in the provider's fields is this marker.
constexpr Integer cxNullEditingRecordIndex = static_cast<Integer>(0x80000001u);

// A record handle of a data source: opaque and pointer-sized.
using TcxDataRecordHandle = NativeInt;
using TcxDataItemHandle = NativeInt;
constexpr TcxDataRecordHandle cxNullRecordHandle = -1;  // all bits set

ORV_ENUM(TcxDataControllerOption, dcoAnsiSort, dcoCaseInsensitive, dcoAssignGroupingValues, dcoAssignMasterDetailKeys,
         dcoSaveExpanding, dcoSortByDisplayText, dcoFocusTopRowAfterSorting, dcoGroupsAlwaysExpanded, dcoImmediatePost,
         dcoInsertOnNewItemRowFocusing)
using TcxDataControllerOptions = Set<TcxDataControllerOption, 16>;
// The options a controller starts with (the set value 28).
inline const TcxDataControllerOptions cxDataControllerDefaultOptions{dcoAssignGroupingValues,
                                                                     dcoAssignMasterDetailKeys, dcoSaveExpanding};

ORV_ENUM(TcxDataControllerChange, dccLayout, dccData, dccFocus, dccSelection, dccDetail, dccSummary, dccSearch,
         dccSorting, dccGrouping, dccSyncMasterPos, dccBookmark, dccUpdateRecord)
using TcxDataControllerChanges = Set<TcxDataControllerChange, 16>;

ORV_ENUM(TcxDataChange, dcField, dcRecord, dcNew, dcDeleted, dcTotal)
ORV_ENUM(TcxDataLayoutChange, lcStructure, lcData)
using TcxDataLayoutChanges = Set<TcxDataLayoutChange, 8>;
ORV_ENUM(TcxDataControllerEditKind, dceInsert, dceEdit, dceChanging, dceModified)
using TcxDataControllerEditState = Set<TcxDataControllerEditKind, 8>;
ORV_ENUM(TcxDataControllerEditOperation, dceoAppend, dceoDelete, dceoEdit, dceoInsert, dceoShowEdit)
using TcxDataControllerEditOperations = Set<TcxDataControllerEditOperation, 8>;
ORV_ENUM(TcxDataControllerDetailMode, dcdmNone, dcdmPattern, dcdmClone)
ORV_ENUM(TcxDataControllerComparisonMode, dccmSorting, dccmGrouping, dccmOther)

ORV_ENUM(TcxDataControllerInfoChange, dcicLoad, dcicGrouping, dcicSorting, dcicFocusedRow, dcicView, dcicExpanding,
         dcicResetFocusedRow, dcicSelection, dcicSummary, dcicFocusedRecord)
using TcxDataControllerInfoChanges = Set<TcxDataControllerInfoChange, 16>;

ORV_ENUM(TcxSummaryOption, soNullIgnore, soSelectedRecords, soMultipleSelectedRecords)
using TcxSummaryOptions = Set<TcxSummaryOption, 8>;

ORV_EXCEPTION(EcxInvalidDataControllerOperation, Exception)

// Raises EcxInvalidDataControllerOperation with the resource text.
[[noreturn]] void cxDataInvalidOperation(const TResStringRec& AMessage);

// What a row of the view is.
struct TcxRowInfo {
  bool Expanded = false;
  // The group level of a group row; the number of grouping levels for a
  // data row (0 in an ungrouped view).
  Integer Level = 0;
  // For a group row, the first record of the group.
  Integer RecordIndex = -1;
};

// One message to the bound control; the controller frees it after the call.
class TcxUpdateControlInfo : public TObject {
  ORV_CLASS(TcxUpdateControlInfo, TObject)
};

class TcxDataChangedInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxDataChangedInfo, TcxUpdateControlInfo)
 public:
  TcxDataChangedInfo(TcxDataChange AKind, Integer AItemIndex, Integer ARecordIndex)
      : Kind(AKind), ItemIndex(AItemIndex), RecordIndex(ARecordIndex) {}
  TcxDataChange Kind;
  Integer ItemIndex;
  Integer RecordIndex;
};

class TcxLayoutChangedInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxLayoutChangedInfo, TcxUpdateControlInfo)
};

class TcxUpdateRecordInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxUpdateRecordInfo, TcxUpdateControlInfo)
 public:
  explicit TcxUpdateRecordInfo(Integer ARecordIndex) : RecordIndex(ARecordIndex) {}
  Integer RecordIndex;
};

class TcxFocusedRowChangedInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxFocusedRowChangedInfo, TcxUpdateControlInfo)
 public:
  TcxFocusedRowChangedInfo(Integer APrevFocusedRowIndex, Integer AFocusedRowIndex)
      : PrevFocusedRowIndex(APrevFocusedRowIndex), FocusedRowIndex(AFocusedRowIndex) {}
  Integer PrevFocusedRowIndex;
  Integer FocusedRowIndex;
};

class TcxFocusedRecordChangedInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxFocusedRecordChangedInfo, TcxUpdateControlInfo)
 public:
  TcxFocusedRecordChangedInfo(Integer APrevRecord, Integer ARecord, Integer APrevRow, Integer ARow,
                              bool ANewItemRowFocusingChanged)
      : PrevFocusedRecordIndex(APrevRecord),
        FocusedRecordIndex(ARecord),
        PrevFocusedRowIndex(APrevRow),
        FocusedRowIndex(ARow),
        NewItemRowFocusingChanged(ANewItemRowFocusingChanged) {}
  Integer PrevFocusedRecordIndex;
  Integer FocusedRecordIndex;
  Integer PrevFocusedRowIndex;
  Integer FocusedRowIndex;
  bool NewItemRowFocusingChanged;
};

// The rows whose selection changed; an empty list means any row may have.
class TcxSelectionChangedInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxSelectionChangedInfo, TcxUpdateControlInfo)
 public:
  TcxSelectionChangedInfo(Integer ARowIndex1, Integer ARowIndex2);
  Integer GetCount() const { return static_cast<Integer>(FRowIndexes.size()); }
  Integer GetRowIndex(Integer Index) const { return FRowIndexes.at(static_cast<size_t>(Index)); }

 private:
  std::vector<Integer> FRowIndexes;
};

class TcxSearchChangedInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxSearchChangedInfo, TcxUpdateControlInfo)
};

class TcxBookmarkChangedInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxBookmarkChangedInfo, TcxUpdateControlInfo)
};

class TcxGroupingChangingInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxGroupingChangingInfo, TcxUpdateControlInfo)
};
