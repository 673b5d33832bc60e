#include "library/data/cxCustomDataViewPipeline.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "library/data/cxCustomDataController.h"
#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxCustomDataSearch.h"
#include "library/data/cxCustomDataSort.h"
#include "library/data/cxCustomDataSortKeys.h"
#include "library/data/cxCustomDataSummary.h"
#include "platform/rtl/BinarySearch.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxCustomDataControllerInfo)

namespace {
// Changed records beyond this many take the full pass.
constexpr size_t cxMaxMovedRecords = 64;
}  // namespace

TcxCustomDataControllerInfo::TcxCustomDataControllerInfo(TcxCustomDataController* ADataController)
    : FDataController(ADataController),
      FDataGroups(New<TcxDataGroups>()),
      FExpandingInfos(New<TcxDataExpandingInfos>()),
      FFocusingInfo(New<TcxDataFocusingInfo>(this)),
      FGroupingFieldList(New<TcxGroupingFieldList>()),
      FPrevFocusingInfo(New<TcxDataFocusingInfo>(this)),
      FSelection(ADataController->GetDataSelectionClass().Construct<TcxCustomDataController*>(ADataController)),
      FSortingFieldList(New<TcxSortingFieldList>()),
      FTotalSortingFieldList(New<TcxSortingFieldList>()) {
  FGroupingFieldList->OnChanged = [this] { GroupingChanged(); };
  FSortingFieldList->OnChanged = [this] { SortingChanged(); };
  FSelection->OnChanged = [this] { SelectionChanged(); };
}

TcxCustomDataControllerInfo::~TcxCustomDataControllerInfo() {
  FTotalSortingFieldList->Free();
  FSortingFieldList->Free();
  FSelection->Free();
  FPrevFocusingInfo->Free();
  FGroupingFieldList->Free();
  FFocusingInfo->Free();
  FExpandingInfos->Free();
  FDataGroups->Free();
}

// ---------------------------------------------------------------------------
// Change entry points

void TcxCustomDataControllerInfo::Refresh() {
  ++FDataVersion;
  if (!std::exchange(FShownRecordsOnly, false)) ++FValuesVersion;
  TcxDataControllerInfoChanges changes{dcicLoad};
  if (!FDataController->LockOnAfterSummary()) changes += dcicSummary;
  if (FSortingFieldList->GetCount() > 0) changes += dcicSorting;
  if (FGroupingFieldList->GetCount() > 0) changes += dcicGrouping;
  if (FInUpdate) {
    FDeferred += changes;
    FDeferredFullReload = true;
    return;
  }
  FFullReload = true;
  FChanges += changes;
  CheckChanges();
}

void TcxCustomDataControllerInfo::RecordsMoving() {
  // Once saved in a bracket, the first (correct) reading is kept: the pass
  // that follows asks for the same states and leaves it alone.
  if (FInUpdate || !FExpandingInfos->SaveStates.Empty() || !IsGrouped()) return;
  const TcxDataControllerInfoChanges pending = FChanges;
  FChanges += dcicLoad;
  try {
    SaveInfo();
  } catch (...) {
    FChanges = pending;
    throw;
  }
  FChanges = pending;
}

void TcxCustomDataControllerInfo::RecordsMoved(Integer ARecordIndex, Integer ADelta) {
  ++FDataVersion;
  ++FValuesVersion;
  auto shift = [&](Integer& r) {
    if (r < 0) return;
    if (ADelta > 0 ? r >= ARecordIndex : r > ARecordIndex) r += ADelta;
  };
  for (TcxDataFocusingInfo* info : {FFocusingInfo, FPrevFocusingInfo}) {
    shift(info->RecordIndex);
    shift(info->SavedRecordIndex);
  }
  shift(FFocusTargetRecord);
  // Deletes correct the selection themselves (CheckSelectedCount).
  if (ADelta > 0) {
    bool changed = false;
    for (Integer i = 0; i < FSelection->GetCount(); ++i) {
      const TcxDataSelectionItem& e = FSelection->GetItem(i);
      if (e.Level != -1 && e.RecordIndex >= ARecordIndex) {
        FSelection->SetRecordIndex(i, e.RecordIndex + ADelta);
        changed = true;
      }
    }
    if (changed) FSelection->Changed();
  }
}

void TcxCustomDataControllerInfo::RecordChanging(Integer ARecordIndex) {
  if (!FInUpdate) FDataController->GetSummary()->RecordChanging(ARecordIndex);
}

void TcxCustomDataControllerInfo::RecordChanged(Integer ARecordIndex, TcxCustomDataField* AField) {
  ++FDataVersion;
  ++FValuesVersion;
  FDataController->GetSummary()->RecordChanged(ARecordIndex);
  if (!AField || FSortingFieldList->Find(AField) >= 0 || FGroupingFieldList->Find(AField) >= 0) FChangedKeys = true;
  if (FInUpdate) {
    Refresh();
    return;
  }
  if (std::find(FChangedRecords.begin(), FChangedRecords.end(), ARecordIndex) == FChangedRecords.end()) {
    if (FChangedRecords.size() >= cxMaxMovedRecords)
      FFullReload = true;
    else
      FChangedRecords.push_back(ARecordIndex);
  }
  FChanges += dcicLoad;
  if (!FDataController->LockOnAfterSummary()) FChanges += dcicSummary;
  if (FSortingFieldList->GetCount() > 0) FChanges += dcicSorting;
  if (FGroupingFieldList->GetCount() > 0) FChanges += dcicGrouping;
  CheckChanges();
}

void TcxCustomDataControllerInfo::RefreshFocused() {
  FChanges += dcicResetFocusedRow;
  FFocusingInfo->ResetPos();
  CheckChanges();
}

void TcxCustomDataControllerInfo::RefreshSummary(bool ARecalcOnly) {
  const bool bySummary = IsSortBySummary();
  if (!ARecalcOnly || bySummary)
    FChanges += dcicSummary;
  else
    FChanges += dcicView;
  if (bySummary) FChanges += dcicGrouping;
  CheckChanges();
}

void TcxCustomDataControllerInfo::ExpandingChanged() {
  FChanges += dcicExpanding;
  FRecalcSelection = true;
}

void TcxCustomDataControllerInfo::FocusedRecordChanged(bool ANewItemRowChanged) {
  FChanges += dcicFocusedRecord;
  if (ANewItemRowChanged) FPrevFocusingInfo->NewItemRowFocusingChanged = true;
}

void TcxCustomDataControllerInfo::GroupingChanged() {
  FFullReload = true;
  FChanges += TcxDataControllerInfoChanges{dcicGrouping, dcicSorting, dcicSummary};
}

void TcxCustomDataControllerInfo::SortingChanged() {
  FFullReload = true;
  FChanges += dcicSorting;
}

void TcxCustomDataControllerInfo::SelectionChanged() {
  FChanges += dcicSelection;
  const TcxSummaryOptions options = FDataController->GetSummaryOptions();
  if (options.Contains(soSelectedRecords) || options.Contains(soMultipleSelectedRecords)) FChanges += dcicSummary;
}

void TcxCustomDataControllerInfo::ChangeSorting(TcxCustomDataField* AField, TcxDataSortOrder ASortOrder) {
  FSortingFieldList->ChangeSorting(AField, ASortOrder);
  FGroupingFieldList->UpdateSorting(FSortingFieldList);
  CheckChanges();
}

void TcxCustomDataControllerInfo::ChangeSortIndex(TcxCustomDataField* AField, Integer AIndex) {
  const Integer index = FSortingFieldList->Find(AField);
  if (index < 0) return;
  AIndex = std::clamp(AIndex, 0, FSortingFieldList->GetCount() - 1);
  if (index == AIndex) return;
  FDataController->BeforeSorting();
  FDataController->SetSortingChangedFlag();
  FSortingFieldList->Move(index, AIndex);
  CheckChanges();
}

void TcxCustomDataControllerInfo::ClearSorting(bool AKeepGroupedFields) {
  const Integer count = FSortingFieldList->GetCount();
  if (AKeepGroupedFields) {
    for (Integer i = FSortingFieldList->GetCount() - 1; i >= 0; --i)
      if (FGroupingFieldList->Find(FSortingFieldList->GetItem(i).Field) < 0) FSortingFieldList->Delete(i);
  } else {
    FSortingFieldList->Clear();
    FGroupingFieldList->UpdateSorting(FSortingFieldList);
  }
  if (FSortingFieldList->GetCount() != count) {
    FDataController->BeforeSorting();
    FDataController->SetSortingChangedFlag();
  }
  CheckChanges();
}

void TcxCustomDataControllerInfo::ChangeGrouping(TcxCustomDataField* AField, Integer AGroupIndex) {
  FGroupingFieldList->ChangeGrouping(AField, AGroupIndex);
  FGroupingFieldList->UpdateSorting(FSortingFieldList);
  CheckChanges();
}

void TcxCustomDataControllerInfo::ClearGrouping() {
  FGroupingFieldList->Clear();
  CheckChanges();
}

void TcxCustomDataControllerInfo::ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive) {
  CheckRowIndex(ARowIndex);
  if (!IsGrouped() || IsAlwaysExpanded()) return;
  const Integer focused = GetFocusedRowIndex();
  if (!AExpanded && focused != -1 && FDataController->GetGroups()->HasAsParent(focused, ARowIndex))
    FDataController->CheckBrowseMode();
  FDataGroups->ChangeExpanding(ARowIndex, AExpanded, ARecursive);
  ExpandingChanged();
  auto update = orv::UpdateScope(this);
  if (!AExpanded) CheckAfterCollapsing();
}

void TcxCustomDataControllerInfo::FullExpand() {
  auto update = orv::UpdateScope(this);
  if (IsGrouped() && !IsAlwaysExpanded()) {
    FDataGroups->FullExpanding(true);
    ExpandingChanged();
  }
}

void TcxCustomDataControllerInfo::FullCollapse() {
  auto update = orv::UpdateScope(this);
  if (IsGrouped() && !IsAlwaysExpanded()) {
    FDataGroups->FullExpanding(false);
    ExpandingChanged();
    CheckAfterCollapsing();
  }
}

void TcxCustomDataControllerInfo::RemoveField(TcxCustomDataField* AField) {
  ++FValuesVersion;
  FSortingFieldList->Remove(AField);
  FTotalSortingFieldList->Remove(AField);
  if (FGroupingFieldList->Find(AField) >= 0) FSelection->Clear();
  FGroupingFieldList->Remove(AField);
  FGroupingFieldList->UpdateSorting(FSortingFieldList);
  FExpandingInfos->CheckField(AField);
  // The group table must not keep a field that is going away.
  for (Integer i = 0; i < FDataGroups->GetFieldCount(); ++i)
    if (FDataGroups->GetField(i) == AField) {
      FDataGroups->Clear();
      FChanges += dcicGrouping;
      break;
    }
}

void TcxCustomDataControllerInfo::UpdateField(TcxCustomDataField* AField) {
  ++FValuesVersion;
  FChanges += dcicView;
  FSortingFieldList->CheckField(AField);
  FGroupingFieldList->CheckField(AField);
  if (FGroupingFieldList->Find(AField) >= 0) FSelection->Clear();
  FExpandingInfos->CheckField(AField);
}

void TcxCustomDataControllerInfo::EndUpdate() {
  if (FLockCount > 0) --FLockCount;
  CheckChanges();
}

void TcxCustomDataControllerInfo::CheckChanges() {
  if (FLockCount != 0 || FInUpdate) return;
  // A change noted while the pass delivered its notices runs a pass of its own.
  for (int guard = 0; guard < 16 && !FChanges.Empty() && FLockCount == 0 && !FInUpdate; ++guard) Update();
}

// ---------------------------------------------------------------------------
// The pass

void TcxCustomDataControllerInfo::Update() {
  TcxCustomDataController* c = FDataController;
  {
    auto inUpdate = orv::TempValue(FInUpdate, true);
    c->CheckMode();
    if (c->TakeFullRegroup()) FChanges += TcxDataControllerInfoChanges{dcicGrouping, dcicSorting, dcicSummary};
    const bool summary = FChanges.Contains(dcicSummary) && !c->IsReading() && !c->IsDestroying();
    const UInt64 values = FValuesVersion;
    FRecalcSelection = false;
    SaveInfo();
    bool moved = false;
    FMoved = MovedRecord();
    FPassKeys.Clear();
    FPassKeysValid = false;
    FPassChanges.clear();
    if (FChanges.Contains(dcicLoad)) {
      if (CanMoveChangedRecords()) {
        MoveChangedRecords();
        moved = true;
      } else {
        DoLoad();
        DoFilter();
      }
    }
    FChangedRecords.clear();
    FChangedKeys = false;
    FFullReload = false;
    // One record that stayed in its groups: the group table stands, and the
    // summaries replace that record's values where they can. A table that
    // expansion is not saved for is built anew, as it always was.
    const bool keepGroups = moved && FMoved.KeepsGroups &&
                            (FGroupingFieldList->GetCount() == 0 || IsAlwaysExpanded() ||
                             c->GetOptions().Contains(dcoSaveExpanding));
    const bool replaceSummary = summary && keepGroups && !IsSortBySummary();
    if (summary && !replaceSummary) DoBeginSummary();
    if ((FChanges.Contains(dcicGrouping) || FChanges.Contains(dcicSorting)) && !moved) DoSort();
    if (FChanges.Contains(dcicGrouping) && !keepGroups) {
      c->BeforeGroupingNotification();
      FGroupsValuesVersion = ~UInt64{0};
      DoGrouping();
      FGroupsValuesVersion = values;
    }
    if (FChanges.Contains(dcicGrouping) || FChanges.Contains(dcicSorting)) ResetFocusing();
    if (summary) {
      TcxDataSummary* s = c->GetSummary();
      if (!replaceSummary ||
          !s->UpdateChangedRecord(FMoved.Record, FMoved.WasShown, FMoved.IsShown, FMoved.Groups, FMoved.Left,
                                  FMoved.Joined)) {
        if (replaceSummary) DoBeginSummary();
        DoEndSummary();
      }
    }
    c->GetSummary()->PassDone(summary, FChanges.Contains(dcicLoad) || FChanges.Contains(dcicGrouping) ||
                                           FChanges.Contains(dcicSorting));
    if (IsSortBySummary()) DoSortBySummary();
    CheckInfo();
    ClearInfo();
    FPassKeys.Clear();
    FPassKeysValid = false;
    FPassChanges.clear();
    if (FRecalcSelection) RecalcSelection();
    if (FChanges.Contains(dcicSorting) || FChanges.Contains(dcicExpanding)) c->CorrectPrevSelectionChangedInfo();
  }
  ForwardChanges();
  if (!FDeferred.Empty()) {
    FChanges += FDeferred;
    FFullReload = FFullReload || FDeferredFullReload;
    FDeferred.Clear();
    FDeferredFullReload = false;
  }
}

void TcxCustomDataControllerInfo::ForwardChanges() {
  TcxCustomDataController* c = FDataController;
  TcxDataControllerChanges changes;
  const bool layout = FChanges.Contains(dcicSorting) || FChanges.Contains(dcicView);
  if (layout) changes += dccLayout;
  if (FChanges.Contains(dcicLoad) || FChanges.Contains(dcicGrouping) || FChanges.Contains(dcicExpanding))
    changes += dccData;
  if (FChanges.Contains(dcicFocusedRow) || FChanges.Contains(dcicResetFocusedRow) ||
      FChanges.Contains(dcicFocusedRecord))
    changes += dccFocus;
  if (FChanges.Contains(dcicSelection)) changes += dccSelection;
  if (FChanges.Contains(dcicSummary)) changes += dccSummary;
  if (c->IsGroupingChangedFlag()) changes += dccGrouping;
  if (c->IsSortingChangedFlag()) changes += dccSorting;
  FChanges.Clear();
  c->ClearPipelineFlags();
  c->Change(changes);
}

void TcxCustomDataControllerInfo::DoLoad() {
  const Integer count = FDataController->GetRecordCount();
  // The list of all records in record order is written by the DoFilter
  // that follows, unless a column filter writes the kept records instead.
  FLoadedRecordCount = count;
  FListIndex.Invalidate();
  FLoadOrder = true;
}

void TcxCustomDataControllerInfo::FillLoadOrder() {
  if (!std::exchange(FLoadOrder, false)) return;
  const Integer count = std::max(FLoadedRecordCount, 0);
  FRecordList.resize(static_cast<size_t>(count));
  std::iota(FRecordList.begin(), FRecordList.end(), 0);
}

bool TcxCustomDataControllerInfo::IsRecordFiltered(Integer ARecordIndex, bool AIncremental, bool ACriteria,
                                                   bool AEvent) {
  TcxCustomDataController* c = FDataController;
  if (AEvent && !c->DoFilterRecord(ARecordIndex)) return false;
  if (AIncremental && !c->DoIncrementalFilterRecord(ARecordIndex)) return false;
  if (ACriteria && !c->GetFilter()->DoFilterRecord(ARecordIndex)) return false;
  return true;
}

void TcxCustomDataControllerInfo::DoFilter() {
  TcxCustomDataController* c = FDataController;
  const bool incremental = c->IsIncrementalFilter();
  const bool criteria = c->GetFilter()->IsFiltering();
  const bool event = !c->IsGridMode() && c->IsFilterRecord();
  if (!incremental && !criteria && !event) {
    FillLoadOrder();
    return;
  }
  const Integer editing = c->GetProvider()->GetEditingRecordIndex();
  bool removed = false;
  // The criteria's conditions are prepared once for the whole pass.
  struct PassScope {
    TcxDataFilterCriteria* Filter;
    ~PassScope() {
      if (Filter) Filter->EndPass();
    }
  } scope{criteria ? c->GetFilter() : nullptr};
  if (scope.Filter) scope.Filter->BeginPass();
  // A lone typed condition with a column picks the kept records in one
  // scan of the column; any other lone typed condition answers for all
  // records in one call, and the records it leaves open are asked one by
  // one below, as are all records under any other filter.
  // Records taken in load order are written straight into the list, whose
  // memory is kept: the list of all records comes back at that size when
  // the filter goes, and giving its pages back and taking them again costs
  // more than the scan itself.
  std::vector<Integer> kept;
  const bool loadOrder = FLoadOrder;
  const size_t all = loadOrder ? static_cast<size_t>(std::max(FLoadedRecordCount, 0)) : FRecordList.size();
  if (loadOrder) FRecordList.clear();
  std::vector<Integer>& into = loadOrder ? FRecordList : kept;
  bool selected = false;
  try {
    selected = criteria && !incremental && !event &&
               scope.Filter->SelectRecords(loadOrder ? nullptr : FRecordList.data(), all, editing,
                                           [this](Integer ARecord) { return IsRecordFiltered(ARecord, false, true, false); },
                                           into);
  } catch (...) {
    // The list is whole, as a failed pass always left it.
    FillLoadOrder();
    throw;
  }
  if (selected) {
    FLoadOrder = false;
    if (!loadOrder) FRecordList.swap(kept);
    if (FRecordList.size() == all) return;
  } else {
    FillLoadOrder();
    // Positions are tested from the last to the first, as the records were
    // always asked; the survivors are compacted in one pass afterwards.
    std::vector<signed char> keep(FRecordList.size(), -1);
    if (criteria && !incremental && !event)
      scope.Filter->CheckRecords(FRecordList.data(), FRecordList.size(), keep.data());
    for (Integer i = static_cast<Integer>(FRecordList.size()) - 1; i >= 0; --i) {
      const Integer r = FRecordList[static_cast<size_t>(i)];
      signed char& k = keep[static_cast<size_t>(i)];
      if (r == editing)
        k = 1;
      else if (k < 0)
        k = IsRecordFiltered(r, incremental, criteria, event) ? 1 : 0;
      removed = removed || k == 0;
    }
    if (!removed) return;
    size_t out = 0;
    for (size_t i = 0; i < FRecordList.size(); ++i)
      if (keep[i]) FRecordList[out++] = FRecordList[i];
    FRecordList.resize(out);
  }
  FListIndex.Invalidate();
  FSelection->CheckAfterFiltering();
  if (c->IsFilterChanged()) {
    c->FCheckAfterFilter = false;
    c->SetCheckFocusAfterFilter(true);
  }
}

bool TcxCustomDataControllerInfo::CanMoveChangedRecords() const {
  TcxCustomDataController* c = FDataController;
  if (FFullReload || FChangedRecords.empty()) return false;
  if (c->IsGridMode() || c->IsProviderMode() || c->OnCompare.Assigned() || c->IsFilterRecord()) return false;
  if (c->GetProvider()->IsCustomSorting()) return false;
  const Integer count = c->GetRecordCount();
  // The list must have been built from the records as they are now.
  if (count != FLoadedRecordCount) return false;
  TcxCustomDataProvider* p = c->GetProvider();
  for (Integer r : FChangedRecords) {
    if (r < 0 || r >= count) return false;
    // The edited record sorts as its next neighbour; when that one moves,
    // the edited record moves with it.
    if (p->IsEditing() && r == p->GetNextNeighbourRecordIndex() && r != p->GetEditingRecordIndex()) return false;
  }
  return true;
}

void TcxCustomDataControllerInfo::MoveChangedRecords() {
  TcxCustomDataController* c = FDataController;
  // The total sorting list is what the last full sort left: the sorting
  // and grouping lists did not change since (they force the full pass).
  const bool incremental = c->IsIncrementalFilter();
  const bool criteria = c->GetFilter()->IsFiltering();
  const Integer editing = c->GetProvider()->GetEditingRecordIndex();
  // A full pass sorts only while something is sorted or grouped; otherwise
  // the list stays in record order.
  const bool sorted = FSortingFieldList->GetCount() > 0 || FGroupingFieldList->GetCount() > 0;
  const bool single = FChangedRecords.size() == 1;
  FMoved = MovedRecord();
  PrepareSorting();
  try {
    for (Integer r : FChangedRecords) {
      const Integer pos = GetInternalRecordListIndex(r);
      // A lone record that stays in its deepest group leaves the group
      // table as it is: it must share the group with another record.
      Integer group = -1, member = -1;
      if (single && pos >= 0 && IsGrouped()) {
        group = FDataGroups->FindByIndex(pos, FDataGroups->GetLevelCount() - 1);
        if (group >= 0 && FChangedKeys) {
          const TcxDataGroupInfo& g = FDataGroups->Item(group);
          const Integer other = g.First != pos ? g.First : g.First + 1;
          if (other <= g.Last) member = FRecordList[static_cast<size_t>(other)];
        }
      }
      const bool keep = r == editing || IsRecordFiltered(r, incremental, criteria, false);
      if (single) {
        FMoved.Record = r;
        FMoved.WasShown = pos >= 0;
        FMoved.IsShown = keep;
      }
      if (!keep) {
        if (pos >= 0) {
          FRecordList.erase(FRecordList.begin() + pos);
          FListIndex.Invalidate();
        }
        continue;
      }
      // Every record differs from every other in the record order (ties go
      // by record index), so the sorted place of one record is unique. The
      // search runs over the list without the record.
      const size_t count = FRecordList.size() - (pos >= 0 ? 1 : 0);
      auto at = [&](size_t i) { return FRecordList[pos >= 0 && i >= static_cast<size_t>(pos) ? i + 1 : i]; };
      size_t lo = 0, hi = count;
      // A value that neither sorts nor groups leaves the record where it is;
      // most other edits leave it between its neighbours.
      if (pos >= 0 && !FChangedKeys) {
        lo = hi = static_cast<size_t>(pos);
      } else if (pos >= 0) {
        const size_t p = static_cast<size_t>(pos);
        const bool afterPrevious = p == 0 || !sorted || CompareRecords(FRecordList[p - 1], r) < 0;
        if (afterPrevious && (p + 1 == FRecordList.size() || !sorted || CompareRecords(FRecordList[p + 1], r) > 0))
          lo = hi = p;
      }
      const auto place = orv::BinarySearch(lo, hi, [&](size_t i) {
        const Integer other = at(i);
        return sorted ? CompareRecords(other, r) : other - r;
      });
      const Integer to = static_cast<Integer>(place.Index);
      if (pos < 0) {
        FRecordList.insert(FRecordList.begin() + to, r);
        FListIndex.Invalidate();
      } else if (to != pos) {
        // Only the records between the old and the new place move.
        FListIndex.Move(FRecordList, pos, to);
      }
      if (group >= 0 && !FChangedKeys) {
        FMoved.KeepsGroups = true;
        for (Integer k = group; k >= 0; k = FDataGroups->GetParentIndex(k)) FMoved.Groups.push_back(k);
      } else if (member >= 0) {
        const TcxDataGroupInfo& g = FDataGroups->Item(group);
        bool same = to >= g.First && to <= g.Last;
        for (Integer level = 0; same && level < FDataGroups->GetLevelCount(); ++level)
          same = CompareGroupRecords(member, r, level) == 0;
        if (same) {
          FMoved.KeepsGroups = true;
          for (Integer k = group; k >= 0; k = FDataGroups->GetParentIndex(k)) FMoved.Groups.push_back(k);
        } else {
          MoveToNeighbourGroup(group, pos, to);
        }
      }
    }
  } catch (...) {
    UnprepareSorting();
    FMoved = MovedRecord();
    DoLoad();
    DoFilter();
    throw;
  }
  UnprepareSorting();
  if (FGroupingFieldList->GetCount() == 0) FMoved.KeepsGroups = single;
  // A full pass drops filtered records whenever any record is filtered out.
  if (static_cast<Integer>(FRecordList.size()) < c->GetRecordCount()) {
    FSelection->CheckAfterFiltering();
    if (c->IsFilterChanged()) {
      c->FCheckAfterFilter = false;
      c->SetCheckFocusAfterFilter(true);
    }
  }
}

void TcxCustomDataControllerInfo::MoveToNeighbourGroup(Integer AGroup, Integer AFrom, Integer ATo) {
  // The record left AGroup (which keeps other records) for position ATo. A
  // neighbour there that shares every group value with it is in the group
  // it joins; otherwise a group would be made, and the full pass makes it.
  const Integer r = FRecordList[static_cast<size_t>(ATo)];
  const Integer levels = FDataGroups->GetLevelCount();
  // The place a record now at AIndex had before the move.
  auto before = [&](Integer AIndex) {
    if (AFrom < ATo && AIndex >= AFrom && AIndex < ATo) return AIndex + 1;
    if (ATo < AFrom && AIndex > ATo && AIndex <= AFrom) return AIndex - 1;
    return AIndex;
  };
  Integer joined = -1;
  for (Integer neighbour : {ATo - 1, ATo + 1}) {
    if (neighbour < 0 || neighbour >= static_cast<Integer>(FRecordList.size())) continue;
    const Integer other = FRecordList[static_cast<size_t>(neighbour)];
    bool same = true;
    for (Integer level = 0; same && level < levels; ++level) same = CompareGroupRecords(other, r, level) == 0;
    if (same) {
      joined = FDataGroups->FindByIndex(before(neighbour), levels - 1);
      break;
    }
  }
  if (joined < 0 || joined == AGroup) return;
  std::vector<Integer> left, entered;
  for (Integer k = AGroup; k >= 0; k = FDataGroups->GetParentIndex(k)) left.push_back(k);
  for (Integer k = joined; k >= 0; k = FDataGroups->GetParentIndex(k)) entered.push_back(k);
  // The ancestors both chains share keep the record.
  while (!left.empty() && !entered.empty() && left.back() == entered.back()) {
    FMoved.Groups.push_back(left.back());
    left.pop_back();
    entered.pop_back();
  }
  FDataGroups->MoveRecord(AGroup, joined);
  FMoved.KeepsGroups = true;
  FMoved.Left = std::move(left);
  FMoved.Joined = std::move(entered);
}

void TcxCustomDataControllerInfo::DoSort() {
  TcxCustomDataController* c = FDataController;
  FTotalSortingFieldList->Clear();
  FTotalSortingFieldList->AppendFrom(FGroupingFieldList);
  FTotalSortingFieldList->AppendFrom(FSortingFieldList);
  if (c->IsGridMode() || c->GetRecordCount() == 0) return;
  PrepareSorting();
  try {
    if (c->IsProviderMode() && c->GetProvider()->IsCustomSorting())
      c->GetProvider()->CustomSort();
    else if (FRecordList.size() > 1) {
      TcxRecordSortKeys& keys = FPassKeys;
      if (keys.Build(c, FTotalSortingFieldList, FRecordList)) {
        // The grouping that follows in this pass takes its boundaries from
        // the sort.
        const Integer levels = FChanges.Contains(dcicGrouping) ? FGroupingFieldList->GetCount() : 0;
        keys.Sort(FRecordList.data(), static_cast<Integer>(FRecordList.size()), levels,
                  levels > 0 ? &FPassChanges : nullptr);
        FPassChangeLevels = levels;
        FPassKeysValid = true;
        FPassKeysVersion = FDataVersion;
      } else
        cxQuickSort(FRecordList.data(), 0, static_cast<Integer>(FRecordList.size()) - 1,
                    [this](Integer a, Integer b) { return CompareRecords(a, b); });
    }
  } catch (...) {
    UnprepareSorting();
    FListIndex.Invalidate();
    throw;
  }
  UnprepareSorting();
  FListIndex.Invalidate();
}

void TcxCustomDataControllerInfo::PrepareSorting() {
  TcxCustomDataController* c = FDataController;
  for (Integer i = 0; i < FTotalSortingFieldList->GetCount(); ++i) {
    TcxCustomDataField* f = FTotalSortingFieldList->GetItem(i).Field;
    f->SetCompareMode(0);
    Integer mode = -1;
    if (c->IsConversionNeededForCompare(f)) mode = c->IsSortByDisplayTextNeeded(f) ? 2 : 1;
    f->SetCompareMode(mode);
  }
}

void TcxCustomDataControllerInfo::UnprepareSorting() {
  for (Integer i = 0; i < FTotalSortingFieldList->GetCount(); ++i)
    FTotalSortingFieldList->GetItem(i).Field->SetCompareMode(0);
}

Integer TcxCustomDataControllerInfo::CompareRecords(Integer R1, Integer R2) {
  if (R1 == R2) return 0;
  TcxCustomDataController* c = FDataController;
  TcxCustomDataProvider* p = c->GetProvider();
  if (p->IsEditing()) {
    const Integer e = p->GetEditingRecordIndex();
    if (p->GetPrevNeighbourRecordIndex() != cxNullEditingRecordIndex) {
      if (e == R1) return 1;
      if (e == R2) return -1;
    } else if (p->GetNextNeighbourRecordIndex() != cxNullEditingRecordIndex) {
      const Integer n = p->GetNextNeighbourRecordIndex();
      if (e == R1) {
        if (R2 == n) return -1;
        R1 = n;
      } else if (e == R2) {
        if (R1 == n) return 1;
        R2 = n;
      }
      if (R1 == R2) return 0;
    }
  }
  for (Integer i = 0; i < FTotalSortingFieldList->GetCount(); ++i) {
    const Integer r = c->CompareRecords(R1, R2, FTotalSortingFieldList->GetItem(i), dccmSorting);
    if (r != 0) return r;
  }
  return c->CompareEqualRecords(R1, R2);
}

Integer TcxCustomDataControllerInfo::CompareGroupRecords(Integer R1, Integer R2, Integer ALevel) {
  if (R1 == R2) return 0;
  TcxCustomDataController* c = FDataController;
  TcxCustomDataProvider* p = c->GetProvider();
  if (p->IsEditing()) {
    const Integer e = p->GetEditingRecordIndex();
    if (p->GetSavedRecordIndex() != 0) {
      // An edited value does not move its record to another group before
      // it is posted.
      if (R1 == e) R1 = p->GetSavedRecordIndex();
      if (R2 == e) R2 = p->GetSavedRecordIndex();
    } else if (p->GetPrevNeighbourRecordIndex() != cxNullEditingRecordIndex) {
      if (R1 == e || R2 == e) return 0;
    } else if (p->GetNextNeighbourRecordIndex() != cxNullEditingRecordIndex) {
      const Integer n = p->GetNextNeighbourRecordIndex();
      if (e == R1) {
        if (R2 == n) return 0;
        R1 = n;
      } else if (e == R2) {
        if (R1 == n) return 0;
        R2 = n;
      }
    }
  }
  if (ALevel < 0 || ALevel >= FTotalSortingFieldList->GetCount()) return 0;
  return c->CompareRecords(R1, R2, FTotalSortingFieldList->GetItem(ALevel), dccmGrouping);
}

void TcxCustomDataControllerInfo::FindGroupChanges(bool AReuseKeys, std::vector<Integer>& AChange) {
  const Integer count = static_cast<Integer>(FRecordList.size());
  const Integer levels = FGroupingFieldList->GetCount();
  AChange.assign(static_cast<size_t>(count), 0);
  const Integer* list = FRecordList.data();
  PrepareSorting();
  try {
    TcxRecordSortKeys built;
    const TcxRecordSortKeys& keys = AReuseKeys ? FPassKeys : built;
    const bool keyed = levels <= FTotalSortingFieldList->GetCount() &&
                       (AReuseKeys || built.Build(FDataController, FTotalSortingFieldList, FRecordList, levels));
    if (keyed) {
      // The keys order the list: equal values are neighbours, and a value
      // equals its group's first one where it equals the one before.
      for (Integer i = 1; i < count; ++i) {
        Integer level = 0;
        while (level < levels && keys.CompareField(level, list[i - 1], list[i]) == 0) ++level;
        AChange[static_cast<size_t>(i)] = level;
      }
    } else {
      // The general comparison may see the edited record equal to either
      // neighbour: each record is compared with its group's first.
      std::vector<Integer> opening(static_cast<size_t>(levels), list[0]);
      for (Integer i = 1; i < count; ++i) {
        const Integer r = list[i];
        Integer level = 0;
        while (level < levels && CompareGroupRecords(opening[static_cast<size_t>(level)], r, level) == 0) ++level;
        AChange[static_cast<size_t>(i)] = level;
        for (Integer l = level; l < levels; ++l) opening[static_cast<size_t>(l)] = r;
      }
    }
  } catch (...) {
    UnprepareSorting();
    throw;
  }
  UnprepareSorting();
}

void TcxCustomDataControllerInfo::DoGrouping() {
  FDataGroups->Clear();
  for (Integer i = 0; i < FGroupingFieldList->GetCount(); ++i) FDataGroups->AddField(FGroupingFieldList->GetItem(i).Field);
  const Integer count = static_cast<Integer>(FRecordList.size());
  const Integer levels = FDataGroups->GetFieldCount();
  if (count == 0 || levels == 0) return;
  // Per position, the first level whose value differs from the position
  // before (levels: none), found first; the groups are built from it. The
  // sort of this pass took the keys of the same records and fields (the
  // grouping fields lead the sorting list), and when it noted the changes,
  // nothing changed since.
  const bool reuse = FPassKeysValid && FPassKeysVersion == FDataVersion && FPassKeys.FieldCount() >= levels;
  std::vector<Integer> change;
  if (reuse && FPassChangeLevels == levels && FPassChanges.size() == static_cast<size_t>(count))
    change.swap(FPassChanges);
  else
    FindGroupChanges(reuse, change);
  // The table in pre-order: a change at a level closes the open groups
  // from that level down and opens new ones.
  size_t total = static_cast<size_t>(levels);
  for (Integer i = 1; i < count; ++i)
    if (change[static_cast<size_t>(i)] < levels) total += static_cast<size_t>(levels - change[static_cast<size_t>(i)]);
  FDataGroups->Reserve(total);
  std::vector<Integer> openGroup(static_cast<size_t>(levels));
  Integer top = 0;
  TcxDataGroupInfo g;
  for (Integer i = 0; i < count; ++i) {
    const Integer level = i == 0 ? 0 : change[static_cast<size_t>(i)];
    if (level >= levels) continue;
    if (i > 0) {
      if (level == 0) ++top;
      for (Integer l = level; l < levels; ++l)
        FDataGroups->Item(openGroup[static_cast<size_t>(l)]).Last =
            l < levels - 1 ? FDataGroups->GetItemCount() - 1 : i - 1;
    }
    for (Integer l = level; l < levels; ++l) {
      g.RowIndex = top;
      g.Level = l;
      g.First = l < levels - 1 ? FDataGroups->GetItemCount() + 1 : i;
      openGroup[static_cast<size_t>(l)] = FDataGroups->Add(g);
    }
  }
  for (Integer l = 0; l < levels; ++l) {
    TcxDataGroupInfo& open = FDataGroups->Item(openGroup[static_cast<size_t>(l)]);
    open.Last = l < levels - 1 ? FDataGroups->GetItemCount() - 1 : count - 1;
  }
  FListIndex.Invalidate();
}

bool TcxCustomDataControllerInfo::IsSortBySummary() const {
  TcxDataSummary* summary = FDataController->GetSummary();
  if (!summary) return false;
  for (Integer level = 0; level < FGroupingFieldList->GetCount(); ++level)
    if (summary->GetSortBySummaryItemIndex(level) != -1) return true;
  return false;
}

void TcxCustomDataControllerInfo::DoSortBySummary() {
  TcxCustomDataController* c = FDataController;
  std::vector<TcxSortBySummaryHelper::LevelInfo> levels;
  for (Integer level = 0; level < FGroupingFieldList->GetCount(); ++level) {
    TcxSortBySummaryHelper::LevelInfo info;
    info.SummaryItemIndex = c->GetSummary()->GetSortBySummaryItemIndex(level);
    info.SortOrder = c->GetSortBySummaryDataItemIndex() == -1 ? FGroupingFieldList->GetItem(level).SortOrder
                                                               : c->GetSortBySummarySortOrder();
    levels.push_back(info);
  }
  TcxSortBySummaryHelper helper(this);
  helper.Sort(levels);
}

void TcxCustomDataControllerInfo::DoBeginSummary() {
  TcxCustomDataController* c = FDataController;
  const TcxSummaryOptions options = c->GetSummaryOptions();
  const bool selected = options.Contains(soSelectedRecords) ||
                        (options.Contains(soMultipleSelectedRecords) && c->GetSelectedCount() >= 2);
  if (!selected) c->GetSummary()->BeginCalculate();
}

void TcxCustomDataControllerInfo::DoEndSummary() {
  TcxCustomDataController* c = FDataController;
  const TcxSummaryOptions options = c->GetSummaryOptions();
  const bool selected = options.Contains(soSelectedRecords) ||
                        (options.Contains(soMultipleSelectedRecords) && c->GetSelectedCount() >= 2);
  c->GetSummary()->Calculate(selected);
}

void TcxCustomDataControllerInfo::ResetFocusing() {
  TcxCustomDataController* c = FDataController;
  if (c->IsInNotifyControl() || !c->GetOptions().Contains(dcoFocusTopRowAfterSorting)) return;
  if (!c->IsSortingOrGroupingRequested()) return;
  FFocusingInfo->Clear();
  DoChangeFocusedRow(0, true);
  if (FSelection->GetCount() > 0) FSelection->Clear();
}

void TcxCustomDataControllerInfo::CheckInfo() {
  CheckExpanding();
  CheckFocusing();
  FDataController->CheckBookmarkValid(-1);
}

void TcxCustomDataControllerInfo::ClearInfo() { FExpandingInfos->Clear(); }

// ---------------------------------------------------------------------------
// Rows

Integer TcxCustomDataControllerInfo::GetRowCount() const {
  return IsGrouped() ? FDataGroups->GetRowCount() : static_cast<Integer>(FRecordList.size());
}

void TcxCustomDataControllerInfo::CheckRowIndex(Integer ARowIndex) const {
  if (ARowIndex < 0 || ARowIndex >= GetRowCount()) cxDataInvalidOperation(cxSDataRowIndexError);
}

TcxRowInfo TcxCustomDataControllerInfo::GetRowInfo(Integer ARowIndex) const {
  CheckRowIndex(ARowIndex);
  TcxRowInfo info;
  if (!IsGrouped()) {
    info.RecordIndex = FRecordList[static_cast<size_t>(ARowIndex)];
    return info;
  }
  Integer position = 0;
  FDataGroups->GetRowInfo(ARowIndex, info.Expanded, info.Level, position);
  info.RecordIndex = GetInternalRecordIndex(position);
  return info;
}

Integer TcxCustomDataControllerInfo::GetInternalRecordIndex(Integer AListIndex) const {
  if (AListIndex < 0 || AListIndex >= GetInternalRecordCount()) return -1;
  return FRecordList[static_cast<size_t>(AListIndex)];
}

Integer TcxCustomDataControllerInfo::GetInternalRecordListIndex(Integer ARecordIndex) const {
  return FListIndex.Find(FRecordList, FDataController->GetRecordCount(), ARecordIndex);
}

bool TcxCustomDataControllerInfo::IsAlwaysExpanded() const {
  return FDataController->GetOptions().Contains(dcoGroupsAlwaysExpanded);
}

Integer TcxCustomDataControllerInfo::GetRowIndexByRecordIndex(Integer ARecordIndex, bool AMakeVisible) {
  const Integer pos = GetInternalRecordListIndex(ARecordIndex);
  if (!IsGrouped() || pos < 0) return pos;
  const Integer group = FDataGroups->FindByIndex(pos, FDataGroups->GetLevelCount() - 1);
  if (group < 0) return -1;
  const bool wasExpanding = FChanges.Contains(dcicExpanding);
  const Integer row = LocateDetail(group, pos, AMakeVisible);
  if (AMakeVisible && !wasExpanding && FChanges.Contains(dcicExpanding)) CheckChanges();
  return row;
}

Integer TcxCustomDataControllerInfo::GetNearestRowIndex(Integer ARowIndex) const {
  CheckRowIndex(ARowIndex);
  const Integer count = GetRowCount();
  if (!IsGrouped()) return ARowIndex + 1 < count ? ARowIndex + 1 : ARowIndex - 1;
  const Integer level = GetRowInfo(ARowIndex).Level;
  if (ARowIndex + 1 < count && GetRowInfo(ARowIndex + 1).Level == level) return ARowIndex + 1;
  if (ARowIndex - 1 >= 0 && GetRowInfo(ARowIndex - 1).Level == level) return ARowIndex - 1;
  if (ARowIndex + 1 < count) return ARowIndex + 1;
  if (ARowIndex - 1 >= 0) return ARowIndex - 1;
  return ARowIndex;
}

void TcxCustomDataControllerInfo::TruncateSelection() {
  if (FSelection->GetCount() == 0) return;
  TcxCustomDataController* c = FDataController;
  const Integer count = c->GetRecordCount();
  if (count == 0) {
    FSelection->Clear();
    return;
  }
  if (c->IsDeletingSelection()) return;
  if (c->IsKeyNavigation() && !c->IsSmartRefresh()) return;
  if (FSelection->RemoveIf([count](const TcxDataSelectionItem& e) { return e.Level != -1 && e.RecordIndex >= count; }))
    FSelection->Changed();
}

// ---------------------------------------------------------------------------
// Focus

Integer TcxCustomDataControllerInfo::GetFocusedRecordIndex() const {
  const Integer row = FFocusingInfo->RowIndex;
  if (row < 0 || row >= GetRowCount()) return -1;
  return GetRowInfo(row).RecordIndex;
}

void TcxCustomDataControllerInfo::SetFocusedRowIndex(Integer ARowIndex) {
  auto update = orv::FullUpdateScope(FDataController);
  DoChangeFocusedRow(ARowIndex, false);
}

void TcxCustomDataControllerInfo::CorrectFocusedRow(Integer ARowIndex) {
  FFocusingInfo->Clear();
  DoChangeFocusedRow(ARowIndex, false);
}

bool TcxCustomDataControllerInfo::CanFocusedRowChanging(Integer ARowIndex) {
  auto check = orv::TempValue(FInFocusCheck, true);
  const Integer record = ARowIndex >= 0 && ARowIndex < GetRowCount() ? GetRowInfo(ARowIndex).RecordIndex : -1;
  return FDataController->CanFocusRecord(record);
}

void TcxCustomDataControllerInfo::DoChangeFocusedRow(Integer ARowIndex, bool AForce) {
  const Integer count = GetRowCount();
  ARowIndex = std::clamp(ARowIndex, -1, count - 1);
  if (ARowIndex == FFocusingInfo->RowIndex) return;
  auto change = orv::TempValue(FInFocusChange, true);
  if (!FChanges.Contains(dcicFocusedRow)) FPrevFocusingInfo->Assign(FFocusingInfo);
  const Integer prevRow = FFocusingInfo->RowIndex;
  // Leaving a record may post or cancel its edit, and an empty inserted
  // record that goes moves the records after it up: the row asked for then
  // holds another record until the rows are built anew. The record is
  // what was asked for, so it is followed.
  const Integer target = ARowIndex >= 0 ? GetRowInfo(ARowIndex).RecordIndex : -1;
  auto following = orv::TempValue(FFocusTargetRecord, target);
  const bool allowed = AForce || CanFocusedRowChanging(ARowIndex);
  TcxCustomDataController* c = FDataController;
  if (allowed) {
    c->DoBeforeFocusedRowChange(ARowIndex);
    FFocusingInfo->RowIndex = ARowIndex;
  }
  const Integer last = GetRowCount() - 1;
  if (FFocusingInfo->RowIndex > last) FFocusingInfo->RowIndex = -1;
  if (FPrevFocusingInfo->RowIndex > last) FPrevFocusingInfo->RowIndex = -1;
  if (prevRow != -1 || allowed) {
    FFocusingInfo->SavePos();
    if (allowed && target >= 0 && FFocusTargetRecord != target)
      FFocusingInfo->RecordIndex = FFocusingInfo->SavedRecordIndex = FFocusTargetRecord;
    const Integer row = FFocusingInfo->RowIndex;
    const Integer rowRecord = row >= 0 && row <= last ? GetRowInfo(row).RecordIndex : -1;
    if (rowRecord != FFocusingInfo->RecordIndex) {
      FFocusingInfo->RowIndex = std::clamp(FindFocusedRow(false), -1, GetRowCount() - 1);
    }
  }
  if (!FFocusingInfo->IsEqual(FPrevFocusingInfo)) {
    FChanges += dcicFocusedRow;
    FChanges += dcicFocusedRecord;
    const TcxSummaryOptions options = c->GetSummaryOptions();
    if (c->IsFocusedSelectedMode() &&
        (options.Contains(soSelectedRecords) || options.Contains(soMultipleSelectedRecords)))
      FChanges += dcicSummary;
    c->ResetNewItemRowFocused();
    c->CheckDataSetCurrent();
    c->SyncSelected(true);
  }
}

Integer TcxCustomDataControllerInfo::FindFocusedRow(bool AExpand) {
  const Integer record = FFocusingInfo->RecordIndex;
  if (record < 0) return -1;
  const Integer pos = GetInternalRecordListIndex(record);
  if (!IsGrouped() || pos < 0) return pos;
  const Integer levels = FDataGroups->GetLevelCount();
  const Integer g = FDataGroups->FindByIndex(pos, levels - 1);
  if (g < 0) return -1;
  Integer level = FFocusingInfo->Level;
  const bool first = pos == FDataGroups->Item(g).First;
  if (!AExpand) {
    if (level == levels) return LocateDetail(g, pos, true);
    if (first) return LocateGroupByLevel(g, level);
    return LocateDetail(g, pos, true);
  }
  Integer t = g;
  FDataGroups->GetTopVisibleItem(FDataGroups->Item(g).RowIndex, t);
  if (level == levels) {
    if (t == g && FDataGroups->Item(g).Expanded) return FDataGroups->Item(t).RowIndex + (pos - FDataGroups->Item(t).First + 1);
    --level;
  }
  if (level < 0 && t == g) return FDataGroups->Item(t).RowIndex;
  for (Integer i = g; i >= 0; --i)
    if (FDataGroups->Item(i).Level == level) return FDataGroups->Item(i).RowIndex;
  return -1;
}

Integer TcxCustomDataControllerInfo::LocateGroupByLevel(Integer AGroupIndex, Integer ALevel) {
  Integer g = AGroupIndex;
  while (FDataGroups->Item(g).Level != ALevel) {
    const Integer parent = FDataGroups->GetParentIndex(g);
    if (parent < 0 || FDataGroups->Item(parent).First != g) break;
    g = parent;
  }
  if (FDataGroups->MakeVisible(g, false)) ExpandingChanged();
  return FDataGroups->Item(g).RowIndex;
}

Integer TcxCustomDataControllerInfo::LocateDetail(Integer AGroupIndex, Integer AListIndex, bool AMakeVisible) {
  if (!AMakeVisible) {
    if (!FDataGroups->IsVisible(AGroupIndex) || !FDataGroups->Item(AGroupIndex).Expanded) return -1;
  } else if (FDataGroups->MakeVisible(AGroupIndex, true)) {
    ExpandingChanged();
  }
  const TcxDataGroupInfo& g = FDataGroups->Item(AGroupIndex);
  return g.RowIndex + AListIndex - g.First + 1;
}

void TcxCustomDataControllerInfo::CheckFocusing() {
  const Integer r = FindFocusedRow(false);
  const Integer focused = FFocusingInfo->RowIndex;
  if (r != focused) {
    const bool valid = focused >= 0 && focused < GetRowCount() &&
                       GetRowInfo(focused).RecordIndex == FFocusingInfo->RecordIndex;
    if (!valid) DoChangeFocusedRow(r, true);
  }
  if (FChanges.Contains(dcicFocusedRow) && FPrevFocusingInfo->RowIndex >= GetRowCount())
    FPrevFocusingInfo->RowIndex = -1;
  if (FDataController->GetCheckFocusAfterFilter()) CheckFocusingAfterFilter();
}

void TcxCustomDataControllerInfo::CheckFocusingAfterFilter() {
  TcxCustomDataController* c = FDataController;
  if (GetFocusedRowIndex() == -1 && !c->GetNewItemRowFocused()) {
    c->SetCheckFocusAfterFilter(false);
    if (!c->GetProvider()->IsLocating()) CorrectFocusedRow(0);
  }
}

void TcxCustomDataControllerInfo::CheckAfterCollapsing() {
  const Integer r = FindFocusedRow(true);
  if (r == GetFocusedRowIndex()) return;
  if (FDataController->IsSmartRefresh())
    CorrectFocusedRow(r);
  else
    DoChangeFocusedRow(r, false);
}

void TcxCustomDataControllerInfo::CheckFocusedRowAfterDataChange() { CheckFocusing(); }

// ---------------------------------------------------------------------------
// Expansion and selection across a pass

void TcxCustomDataControllerInfo::SaveInfo() {
  const TcxDataControllerOptions options = FDataController->GetOptions();
  if (!options.Contains(dcoSaveExpanding) && FSelection->GetCount() == 0) {
    SaveExpanding({});
    return;
  }
  TcxDataExpandingInfoStateSet states;
  const bool regroup = FChanges.Contains(dcicLoad) || FChanges.Contains(dcicGrouping);
  if (options.Contains(dcoSaveExpanding) && regroup) states += eisExpanded;
  if (FSelection->GetCount() > 0 &&
      (regroup || FChanges.Contains(dcicSorting) || FChanges.Contains(dcicExpanding)))
    states += eisSelected;
  SaveExpanding(states);
}

void TcxCustomDataControllerInfo::SaveExpanding(TcxDataExpandingInfoStateSet AStates) {
  if (AStates == FExpandingInfos->SaveStates) return;
  TcxCustomDataController* c = FDataController;
  bool complete = FDataGroups->GetFieldCount() == FGroupingFieldList->GetCount() && c->GetRecordCount() > 0;
  for (Integer i = 0; complete && i < FDataGroups->GetFieldCount(); ++i)
    complete = FDataGroups->GetField(i) == FGroupingFieldList->GetItem(i).Field;
  if (AStates.Empty() || !complete) {
    FExpandingInfos->Clear();
    FExpandingInfos->SaveStates = AStates;
    return;
  }
  FExpandingInfos->Clear();
  FExpandingInfos->SaveStates = AStates;
  for (Integer i = 0; i < FDataGroups->GetFieldCount(); ++i) FExpandingInfos->AddField(FDataGroups->GetField(i));
  if (!IsGrouped()) return;
  // Where every group of the table the pass makes stands in this one, the
  // fewer of the expanded and the collapsed groups are kept: a view with
  // every group expanded keeps none.
  if (AStates == TcxDataExpandingInfoStateSet{eisExpanded} && !IsAlwaysExpanded() && GroupsHoldEveryRecord() &&
      SaveCollapsedGroups())
    return;
  const bool saveSelected = AStates.Contains(eisSelected);
  const Integer count = c->GetRecordCount();
  // The selected group rows, looked up by group: asking the selection
  // group by group would walk it once a group.
  std::vector<bool> selectedGroups;
  if (saveSelected) selectedGroups = SelectedGroups();
  // A group is known by its value, read from one of its records. A record
  // changed since the last pass may hold another group's value by now (a
  // record stays in its group while it is edited, and until this pass
  // moves it): the first record of the group that did not change is read,
  // where the group has one among its first records.
  auto valueRecord = [this](Integer AGroup) {
    const Integer first = FDataGroups->GetFirstListIndex(AGroup);
    if (FChangedRecords.empty()) return GetInternalRecordIndex(first);
    const TcxDataGroupInfo& g = FDataGroups->Item(AGroup);
    const Integer last = std::min(FDataGroups->IsDeepest(AGroup) ? g.Last : FDataGroups->Item(g.Last).Last,
                                  first + static_cast<Integer>(FChangedRecords.size()));
    for (Integer pos = first; pos <= last; ++pos) {
      const Integer r = GetInternalRecordIndex(pos);
      if (std::find(FChangedRecords.begin(), FChangedRecords.end(), r) == FChangedRecords.end()) return r;
    }
    return GetInternalRecordIndex(first);
  };
  Integer i = 0;
  while (i < FDataGroups->GetItemCount()) {
    const TcxDataGroupInfo& g = FDataGroups->Item(i);
    if (g.Expanded || saveSelected) {
      const Integer r = valueRecord(i);
      if (r >= 0 && r < count) {
        TcxDataExpandingInfoStateSet state;
        if (g.Expanded && (FSelection->GetCount() > 0 || !IsAlwaysExpanded())) state += eisExpanded;
        if (saveSelected && selectedGroups[static_cast<size_t>(i)]) state += eisSelected;
        if (!state.Empty())
          FExpandingInfos->AddItem(g.Level, c->GetComparedValue(r, FDataGroups->GetField(g.Level)), state);
      }
    }
    // Only groups whose ancestors are all expanded are visited.
    if (g.Expanded || FDataGroups->IsDeepest(i))
      ++i;
    else
      i = g.Last + 1;
  }
}

bool TcxCustomDataControllerInfo::GroupsHoldEveryRecord() const {
  const Integer count = static_cast<Integer>(FRecordList.size());
  if (!FInUpdate || FLoadOrder || FGroupsValuesVersion != FValuesVersion || !FChangedRecords.empty() ||
      IsSortBySummary() || count != FDataController->GetRecordCount() || !IsGrouped())
    return false;
  const TcxDataGroupInfo& last = FDataGroups->Item(FDataGroups->GetItemCount() - 1);
  return FDataGroups->GetFirstListIndex(0) == 0 && FDataGroups->IsDeepest(FDataGroups->GetItemCount() - 1) &&
         last.Last == count - 1;
}

bool TcxCustomDataControllerInfo::SaveCollapsedGroups() {
  // The groups a save visits are those whose ancestors are all expanded;
  // one walk counts the expanded ones and notes the collapsed ones. Either
  // way of saving gives the same groups back: a view whose first part shows
  // as many groups collapsed as expanded is taken for a collapsed one, and
  // not walked twice.
  std::vector<Integer> collapsed;
  Integer expanded = 0;
  const Integer count = FDataGroups->GetItemCount();
  Integer probe = std::max<Integer>(count / 16, 1024);
  for (Integer i = 0; i < count;) {
    if (i >= probe) {
      if (static_cast<Integer>(collapsed.size()) >= expanded) return false;
      probe = count;
    }
    const TcxDataGroupInfo& g = FDataGroups->Item(i);
    if (g.Expanded) {
      ++expanded;
      ++i;
    } else {
      collapsed.push_back(i);
      i = FDataGroups->IsDeepest(i) ? i + 1 : g.Last + 1;
    }
  }
  if (static_cast<Integer>(collapsed.size()) >= expanded) return false;
  TcxCustomDataController* c = FDataController;
  FExpandingInfos->Collapsed = true;
  // A collapsed group's item follows those of its ancestors (without a
  // state), which give the values of its upper levels.
  std::vector<Integer> held(static_cast<size_t>(FDataGroups->GetLevelCount()), -1);
  std::vector<Integer> ancestors;
  auto add = [&](Integer AGroup, TcxDataExpandingInfoStateSet AState) {
    const Integer level = FDataGroups->Item(AGroup).Level;
    FExpandingInfos->AddItem(level, c->GetComparedValue(GetInternalRecordIndex(FDataGroups->GetFirstListIndex(AGroup)),
                                                       FDataGroups->GetField(level)),
                             AState);
    held[static_cast<size_t>(level)] = AGroup;
    std::fill(held.begin() + level + 1, held.end(), -1);
  };
  for (const Integer i : collapsed) {
    ancestors.clear();
    for (Integer a = FDataGroups->GetParentIndex(i); a >= 0; a = FDataGroups->GetParentIndex(a)) ancestors.push_back(a);
    for (auto a = ancestors.rbegin(); a != ancestors.rend(); ++a)
      if (held[static_cast<size_t>(FDataGroups->Item(*a).Level)] != *a) add(*a, {});
    add(i, {eisExpanded});
  }
  return true;
}

std::vector<bool> TcxCustomDataControllerInfo::SelectedGroups() const {
  std::vector<bool> selected(static_cast<size_t>(std::max(FDataGroups->GetItemCount(), 0)), false);
  for (Integer k = 0; k < FSelection->GetCount(); ++k) {
    const TcxDataSelectionItem& e = FSelection->GetItem(k);
    if (e.Level == -1 && e.RecordIndex >= 0 && static_cast<size_t>(e.RecordIndex) < selected.size())
      selected[static_cast<size_t>(e.RecordIndex)] = true;
  }
  return selected;
}

void TcxCustomDataControllerInfo::CheckExpanding() {
  if (IsGrouped() && IsAlwaysExpanded()) FDataGroups->FullExpanding(true);
  const TcxDataExpandingInfoStateSet states = FExpandingInfos->SaveStates;
  if (states.Empty()) return;
  bool same = FExpandingInfos->GetFieldCount() == FGroupingFieldList->GetCount();
  for (Integer i = 0; same && i < FExpandingInfos->GetFieldCount(); ++i)
    same = FExpandingInfos->GetField(i) == FGroupingFieldList->GetItem(i).Field;
  if (!same) {
    if (states.Contains(eisSelected) && FSelection->GetCount() > 0) FSelection->Clear();
  } else {
    const Integer levels = FGroupingFieldList->GetCount();
    FSelection->RemoveIf([levels](const TcxDataSelectionItem& e) { return e.Level == -1 || e.Level != levels; });
    if (!IsGrouped()) {
      if (states.Contains(eisSelected)) {
        for (Integer i = 0; i < FSelection->GetCount(); ++i)
          FSelection->SetRowIndex(i, GetInternalRecordListIndex(FSelection->GetItem(i).RecordIndex));
        FSelection->Sort();
      }
    } else {
      std::exception_ptr failure;
      std::vector<bool> selectedGroups = SelectedGroups();
      // Saved as the collapsed groups: every other group is expanded.
      const bool collapsed = FExpandingInfos->Collapsed && states.Contains(eisExpanded);
      if (collapsed)
        for (Integer g = 0; g < FDataGroups->GetItemCount(); ++g) FDataGroups->Item(g).Expanded = true;
      try {
        TcxDataControllerGroupLocateObject locate(FDataController);
        TcxValueDefUnboundReader reader;
        for (Integer k = 0; k < FExpandingInfos->GetCount(); ++k) {
          const TcxDataExpandingInfo& e = FExpandingInfos->GetItem(k);
          if (e.Level < 0 || e.Level >= levels) continue;
          reader.Truncate(e.Level);
          reader.SetValue(FExpandingInfos->GetField(e.Level)->GetValueDef(), e.Value);
          if (e.State.Empty()) continue;
          locate.ReadData(&reader);
          locate.SetLevel(e.Level);
          const Integer r = locate.FindRecordIndex();
          if (r < 0) continue;
          const Integer group = FDataGroups->FindByIndex(GetInternalRecordListIndex(r), e.Level);
          if (group < 0) continue;
          if (e.State.Contains(eisExpanded) && states.Contains(eisExpanded)) {
            // A collapsed group hides its descendants, which were not saved.
            const Integer last = collapsed && !FDataGroups->IsDeepest(group) ? FDataGroups->Item(group).Last : group;
            for (Integer k = group; k <= last; ++k) FDataGroups->Item(k).Expanded = !collapsed;
          }
          if (e.State.Contains(eisSelected) && static_cast<size_t>(group) < selectedGroups.size() &&
              !selectedGroups[static_cast<size_t>(group)]) {
            FSelection->InternalAdd(-1, -1, -1, group);
            selectedGroups[static_cast<size_t>(group)] = true;
          }
        }
      } catch (...) {
        failure = std::current_exception();
      }
      if (!IsAlwaysExpanded() && states.Contains(eisExpanded)) FDataGroups->Rebuild();
      RecalcGroupedSelectionRows();
      if (failure) std::rethrow_exception(failure);
    }
  }
  const Integer anchor = FSelection->GetAnchorRowIndex();
  if (anchor != -1) {
    Integer index;
    if (!FSelection->FindByRowIndex(anchor, index)) FSelection->ClearAnchor();
  }
}

void TcxCustomDataControllerInfo::RecalcGroupedSelectionRows() {
  const Integer levels = FDataGroups->GetLevelCount();
  FSelection->RemoveIf([&](const TcxDataSelectionItem& e) {
    if (e.Level == -1) return false;
    const Integer pos = GetInternalRecordListIndex(e.RecordIndex);
    if (pos < 0) return true;
    const Integer g = FDataGroups->FindByIndex(pos, levels - 1);
    // A data entry keeps its row only inside a shown, expanded group.
    return g < 0 || !FDataGroups->Item(g).Expanded || !FDataGroups->IsVisible(g);
  });
  for (Integer i = 0; i < FSelection->GetCount(); ++i) {
    const TcxDataSelectionItem& e = FSelection->GetItem(i);
    if (e.Level == -1) {
      FSelection->SetRowIndex(i, e.RecordIndex >= 0 && e.RecordIndex < FDataGroups->GetItemCount()
                                     ? FDataGroups->Item(e.RecordIndex).RowIndex
                                     : -1);
    } else {
      const Integer pos = GetInternalRecordListIndex(e.RecordIndex);
      const Integer g = FDataGroups->FindByIndex(pos, levels - 1);
      FSelection->SetRowIndex(i, FDataGroups->Item(g).RowIndex + pos - FDataGroups->Item(g).First + 1);
    }
  }
  FSelection->Sort();
}

void TcxCustomDataControllerInfo::RecalcSelection() {
  for (Integer i = 0; i < FSelection->GetCount(); ++i) {
    const TcxDataSelectionItem& e = FSelection->GetItem(i);
    if (e.Level == -1)
      FSelection->SetRowIndex(i, e.RecordIndex >= 0 && e.RecordIndex < FDataGroups->GetItemCount()
                                     ? FDataGroups->Item(e.RecordIndex).RowIndex
                                     : -1);
    else
      FSelection->SetRowIndex(i, GetRowIndexByRecordIndex(e.RecordIndex, false));
  }
  // Rows keep their relative order across an expansion, but entries whose
  // rows were hidden now hold -1; the lookup by row halves an ordered list.
  FSelection->Sort();
}

void TcxCustomDataControllerInfo::ChangeRowSelection(Integer ARowIndex, bool ASelect) {
  CheckRowIndex(ARowIndex);
  Integer index;
  const bool found = FSelection->FindByRowIndex(ARowIndex, index);
  if (found && !ASelect) {
    FSelection->Delete(index);
  } else if (!found && ASelect && FDataController->CanSelectRow(ARowIndex)) {
    const TcxRowInfo info = GetRowInfo(ARowIndex);
    if (IsGrouped() && info.Level < FDataGroups->GetLevelCount())
      FSelection->Add(index, ARowIndex, -1, FDataGroups->GetIndexByRowIndex(ARowIndex));
    else
      FSelection->Add(index, ARowIndex, info.Level, info.RecordIndex);
  }
  CheckChanges();
}

void TcxCustomDataControllerInfo::SelectRows(Integer AFirstRow, Integer ALastRow) {
  CheckRowIndex(AFirstRow);
  // Rows above a selected part of a long selection would each move that
  // part when added one by one: the new entries are merged in at once.
  std::vector<TcxDataSelectionItem> added;
  const Integer last = std::min(ALastRow, GetRowCount() - 1);
  Integer index;
  for (Integer row = AFirstRow; row <= last; ++row) {
    if (FSelection->FindByRowIndex(row, index) || !FDataController->CanSelectRow(row)) continue;
    const TcxRowInfo info = GetRowInfo(row);
    if (IsGrouped() && info.Level < FDataGroups->GetLevelCount())
      added.push_back({-1, FDataGroups->GetIndexByRowIndex(row), row});
    else
      added.push_back({info.Level, info.RecordIndex, row});
  }
  if (!added.empty()) {
    FSelection->InternalAddSorted(added);
    FSelection->Changed();
  }
  CheckChanges();
  // A range past the last row selects up to it and then fails.
  CheckRowIndex(ALastRow);
}

void TcxCustomDataControllerInfo::ClearSelection() {
  if (FSelection->GetCount() > 0) FSelection->Clear();
  CheckChanges();
}

void TcxCustomDataControllerInfo::ClearSelectionAnchor() { FSelection->ClearAnchor(); }

Integer TcxCustomDataControllerInfo::GetSelectedRowIndex(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= FSelection->GetCount()) return -1;
  return FSelection->GetItem(AIndex).RowIndex;
}

bool TcxCustomDataControllerInfo::IsRowSelected(Integer ARowIndex) const {
  CheckRowIndex(ARowIndex);
  return FSelection->IsRowSelected(ARowIndex);
}
