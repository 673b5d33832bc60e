#include "library/data/cxCustomDataGroups.h"

#include <algorithm>

#include "library/data/cxCustomDataController.h"
#include "library/data/cxCustomDataViewPipeline.h"

ORV_REGISTER(TcxDataGroups)
ORV_REGISTER(TcxDataControllerGroups)

// ---------------------------------------------------------------------------
// TcxDataGroups

Integer TcxDataGroups::Add(const TcxDataGroupInfo& AInfo) {
  FItems.push_back(AInfo);
  FCacheValid = false;
  return GetItemCount() - 1;
}

Integer TcxDataGroups::AddEmpty() { return Add(TcxDataGroupInfo{}); }

void TcxDataGroups::Clear() {
  FFields.clear();
  FItems.clear();
  FCacheValid = false;
}

void TcxDataGroups::SetItem(Integer AIndex, const TcxDataGroupInfo& AInfo) {
  FItems.at(static_cast<size_t>(AIndex)) = AInfo;
  FCacheValid = false;
}

void TcxDataGroups::CheckCache() const {
  if (FCacheValid) return;
  const size_t n = FItems.size();
  FParents.assign(n, -1);
  FFirstLevel.clear();
  FDeepestByFirst.clear();
  // The nearest earlier group of each level, for the parents.
  std::vector<Integer> open(static_cast<size_t>(std::max(GetLevelCount(), 1)), -1);
  for (size_t i = 0; i < n; ++i) {
    const Integer level = FItems[i].Level;
    if (level < 0 || level >= static_cast<Integer>(open.size())) continue;
    if (level == 0)
      FFirstLevel.push_back(static_cast<Integer>(i));
    else
      FParents[i] = open[static_cast<size_t>(level - 1)];
    open[static_cast<size_t>(level)] = static_cast<Integer>(i);
    if (level == GetLevelCount() - 1) FDeepestByFirst.push_back(static_cast<Integer>(i));
  }
  // Sorting by summary reorders groups but not the records, so the deepest
  // groups are looked up by their first position, not by table order.
  std::stable_sort(FDeepestByFirst.begin(), FDeepestByFirst.end(),
                   [this](Integer a, Integer b) { return Item(a).First < Item(b).First; });
  FCacheValid = true;
}

void TcxDataGroups::Walk(Integer ALevel, bool AVisible, Integer& ARow, Integer& AIndex) {
  // The index advances once on entry; each later pass of the loop starts
  // at the group after the one just walked.
  ++AIndex;
  const Integer deepest = GetLevelCount() - 1;
  while (AIndex < GetItemCount()) {
    TcxDataGroupInfo& g = Item(AIndex);
    if (g.Level != ALevel) {
      if (AVisible) --ARow;
      --AIndex;
      return;
    }
    g.RowIndex = ARow;
    if (AVisible && g.Expanded && g.Level == deepest) {
      ARow += g.Last - g.First + 1;
    } else {
      if (AVisible && g.Expanded) ++ARow;
      Walk(ALevel + 1, AVisible && g.Expanded, ARow, AIndex);
    }
    ++AIndex;
    if (AVisible) ++ARow;
  }
}

void TcxDataGroups::Rebuild() {
  Integer row = 0, index = -1;
  if (!FItems.empty()) Walk(0, true, row, index);
}

void TcxDataGroups::MoveRecord(Integer AFrom, Integer ATo) {
  if (AFrom == ATo) return;
  // Forward, the record's old place closes and the groups up to its new
  // one move back a position; backward, they move on one.
  const Integer step = AFrom < ATo ? -1 : 1;
  for (Integer g = std::min(AFrom, ATo) + 1; g < std::max(AFrom, ATo); ++g)
    if (IsDeepest(g)) {
      FItems[static_cast<size_t>(g)].First += step;
      FItems[static_cast<size_t>(g)].Last += step;
    }
  if (step < 0) {
    --FItems[static_cast<size_t>(AFrom)].Last;
    --FItems[static_cast<size_t>(ATo)].First;
  } else {
    ++FItems[static_cast<size_t>(ATo)].Last;
    ++FItems[static_cast<size_t>(AFrom)].First;
  }
  FCacheValid = false;
  Rebuild();
}

void TcxDataGroups::ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive) {
  Integer info = -1;
  const Integer index = Find(ARowIndex, info);
  if (index < 0) return;
  Item(index).Expanded = AExpanded;
  if (ARecursive && !IsDeepest(index)) {
    const Integer level = Item(index).Level;
    for (Integer i = index + 1; i < GetItemCount() && Item(i).Level > level; ++i) Item(i).Expanded = AExpanded;
  }
  Rebuild();
}

void TcxDataGroups::FullExpanding(bool AExpanded) {
  for (TcxDataGroupInfo& g : FItems) g.Expanded = AExpanded;
  Rebuild();
}

Integer TcxDataGroups::Find(Integer ARowIndex, Integer& AInfoIndex) const {
  AInfoIndex = -1;
  // The first group whose row is not below ARowIndex.
  auto it = std::lower_bound(FItems.begin(), FItems.end(), ARowIndex,
                             [](const TcxDataGroupInfo& g, Integer row) { return g.RowIndex < row; });
  const Integer pos = static_cast<Integer>(it - FItems.begin());
  if (it != FItems.end() && it->RowIndex == ARowIndex) {
    // The groups sharing a row are a collapsed group and its descendants;
    // start from the last of them and climb to the one the row shows.
    auto end = std::upper_bound(FItems.begin(), FItems.end(), ARowIndex,
                                [](Integer row, const TcxDataGroupInfo& g) { return row < g.RowIndex; });
    Integer index = static_cast<Integer>(end - FItems.begin()) - 1;
    GetTopVisibleItem(ARowIndex, index);
    AInfoIndex = index;
    return index;
  }
  AInfoIndex = pos - 1;
  return -1;
}

Integer TcxDataGroups::GetTopVisibleItem(Integer ARowIndex, Integer& AIndex) const {
  Integer answer = AIndex;
  Integer lowest = Item(AIndex).Level;
  for (Integer i = AIndex; i >= 0 && Item(i).RowIndex == ARowIndex; --i) {
    const TcxDataGroupInfo& g = Item(i);
    if (g.Level < lowest || i == AIndex) {
      lowest = g.Level;
      if (!g.Expanded) answer = i;
    }
    if (g.Level == 0) break;
  }
  AIndex = answer;
  return answer;
}

Integer TcxDataGroups::FindByIndex(Integer AListIndex, Integer ALevel) const {
  if (FItems.empty() || ALevel < 0 || ALevel >= GetLevelCount()) return -1;
  CheckCache();
  auto it = std::upper_bound(FDeepestByFirst.begin(), FDeepestByFirst.end(), AListIndex,
                             [this](Integer pos, Integer g) { return pos < Item(g).First; });
  if (it == FDeepestByFirst.begin()) return -1;
  Integer index = *(it - 1);
  if (AListIndex > Item(index).Last) return -1;
  while (index >= 0 && Item(index).Level > ALevel) index = FParents[static_cast<size_t>(index)];
  return index;
}

Integer TcxDataGroups::GetChildCount(Integer AIndex) const {
  if (AIndex == -1) return GetFirstLevelCount();
  if (AIndex < 0 || AIndex >= GetItemCount()) return 0;
  const TcxDataGroupInfo& g = Item(AIndex);
  if (IsDeepest(AIndex)) return g.Last - g.First + 1;
  Integer count = 0;
  for (Integer i = g.First; i <= g.Last && i < GetItemCount(); ++i)
    if (Item(i).Level == g.Level + 1) ++count;
  return count;
}

Integer TcxDataGroups::GetChildIndex(Integer AIndex, Integer AChildIndex) const {
  if (AIndex == -1) return GetFirstLevelIndex(AChildIndex);
  if (AIndex < 0 || AIndex >= GetItemCount() || AChildIndex < 0 || IsDeepest(AIndex)) return -1;
  const TcxDataGroupInfo& g = Item(AIndex);
  Integer count = 0;
  for (Integer i = g.First; i <= g.Last && i < GetItemCount(); ++i)
    if (Item(i).Level == g.Level + 1 && count++ == AChildIndex) return i;
  return -1;
}

Integer TcxDataGroups::GetChildRecordListIndex(Integer AIndex, Integer AChildIndex) const {
  if (AIndex < 0 || AIndex >= GetItemCount() || !IsDeepest(AIndex)) return -1;
  const TcxDataGroupInfo& g = Item(AIndex);
  if (AChildIndex < 0 || AChildIndex > g.Last - g.First) return -1;
  return g.First + AChildIndex;
}

Integer TcxDataGroups::GetFirstLevelCount() const {
  CheckCache();
  return static_cast<Integer>(FFirstLevel.size());
}

Integer TcxDataGroups::GetFirstLevelIndex(Integer AIndex) const {
  CheckCache();
  if (AIndex < 0 || AIndex >= static_cast<Integer>(FFirstLevel.size())) return -1;
  return FFirstLevel[static_cast<size_t>(AIndex)];
}

Integer TcxDataGroups::GetIndexByRowIndexLevel(Integer ARowIndex, Integer ALevel) const {
  Integer info = -1;
  Integer index = Find(ARowIndex, info);
  if (index < 0) index = info;
  if (index < 0 || ALevel < 0) return index;
  if (ALevel <= Item(index).Level) {
    while (index >= 0 && Item(index).Level != ALevel) --index;
  } else {
    while (index < GetItemCount() && Item(index).Level != ALevel) ++index;
    if (index >= GetItemCount()) index = -1;
  }
  return index;
}

Integer TcxDataGroups::GetLevel(Integer AIndex) const {
  return AIndex < 0 || AIndex >= GetItemCount() ? -1 : Item(AIndex).Level;
}

Integer TcxDataGroups::GetParentIndex(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetItemCount()) return -1;
  CheckCache();
  return FParents[static_cast<size_t>(AIndex)];
}

Integer TcxDataGroups::GetRowCount() const {
  if (FItems.empty()) return 0;
  Integer index = GetItemCount() - 1;
  const Integer row = Item(index).RowIndex;
  GetTopVisibleItem(row, index);
  Integer count = row + 1;
  const TcxDataGroupInfo& g = Item(index);
  if (g.Expanded && IsDeepest(index)) count += g.Last - g.First + 1;
  return count;
}

Integer TcxDataGroups::GetFirstListIndex(Integer AIndex) const {
  while (AIndex >= 0 && AIndex < GetItemCount() && !IsDeepest(AIndex)) AIndex = Item(AIndex).First;
  return AIndex >= 0 && AIndex < GetItemCount() ? Item(AIndex).First : 0;
}

void TcxDataGroups::GetRowInfo(Integer ARowIndex, bool& AExpanded, Integer& ALevel, Integer& AListIndex) const {
  AExpanded = false;
  ALevel = 0;
  AListIndex = 0;
  Integer info = -1;
  const Integer index = Find(ARowIndex, info);
  if (index >= 0) {
    AExpanded = Item(index).Expanded;
    ALevel = Item(index).Level;
    AListIndex = GetFirstListIndex(index);
  } else if (info >= 0) {
    ALevel = GetLevelCount();
    AListIndex = Item(info).First + (ARowIndex - Item(info).RowIndex - 1);
  }
}

bool TcxDataGroups::IsVisible(Integer AIndex) const {
  Integer index = AIndex;
  return GetTopVisibleItem(Item(AIndex).RowIndex, index) == AIndex;
}

bool TcxDataGroups::MakeVisible(Integer AIndex, bool AExpandSelf) {
  bool changed = false;
  Integer index = AIndex;
  bool self = true;
  while (index >= 0) {
    TcxDataGroupInfo& g = Item(index);
    if ((!self || AExpandSelf) && !g.Expanded) {
      g.Expanded = true;
      changed = true;
    }
    self = false;
    index = GetParentIndex(index);
  }
  if (changed) Rebuild();
  return changed;
}

// ---------------------------------------------------------------------------
// TcxDataControllerGroups

TcxCustomDataControllerInfo* TcxDataControllerGroups::GetDataControllerInfo() const {
  return FDataController->GetDataControllerInfo();
}

TcxDataGroups* TcxDataControllerGroups::GetDataGroups() const { return GetDataControllerInfo()->GetDataGroups(); }

void TcxDataControllerGroups::ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive) {
  GetDataControllerInfo()->ChangeExpanding(ARowIndex, AExpanded, ARecursive);
}

void TcxDataControllerGroups::ChangeGrouping(Integer AItemIndex, Integer AGroupIndex) {
  FDataController->CheckItemRange(AItemIndex);
  if (AGroupIndex < 0) AGroupIndex = -1;
  if (GetItemGroupIndex(AItemIndex) == AGroupIndex) return;
  FDataController->BeforeSorting();
  FDataController->SetGroupingChangedFlag();
  GetDataControllerInfo()->ChangeGrouping(FDataController->GetField(AItemIndex), AGroupIndex);
}

void TcxDataControllerGroups::ClearGrouping() {
  if (GetGroupingItemCount() > 0) {
    FDataController->BeforeSorting();
    FDataController->SetGroupingChangedFlag();
  }
  GetDataControllerInfo()->ClearGrouping();
}

void TcxDataControllerGroups::FullCollapse() { GetDataControllerInfo()->FullCollapse(); }
void TcxDataControllerGroups::FullExpand() { GetDataControllerInfo()->FullExpand(); }

Integer TcxDataControllerGroups::GetDataGroupIndexByGroupValue(Integer AParentDataGroupIndex, const Variant& AValue) {
  TcxCustomDataControllerInfo* info = GetDataControllerInfo();
  info->PrepareSorting();
  Integer result = -1;
  try {
    const Integer count = GetChildCount(AParentDataGroupIndex);
    if (AParentDataGroupIndex == -1 || !GetDataGroups()->IsDeepest(AParentDataGroupIndex))
      for (Integer i = 0; i < count; ++i) {
        const Integer child = GetChildDataGroupIndex(AParentDataGroupIndex, i);
        if (child >= 0 && VarEquals(GetGroupValue(child), AValue)) {
          result = child;
          break;
        }
      }
  } catch (...) {
    info->UnprepareSorting();
    throw;
  }
  info->UnprepareSorting();
  return result;
}

bool TcxDataControllerGroups::HasAsParent(Integer ARowIndex, Integer AParentRowIndex) const {
  TcxDataGroups* groups = GetDataGroups();
  if (groups->Empty()) return false;
  const Integer index = groups->GetIndexByRowIndex(ARowIndex);
  const Integer parent = groups->GetIndexByRowIndex(AParentRowIndex);
  if (index < 0 || parent < 0) return false;
  if (index == parent) return true;
  const TcxDataGroupInfo& p = groups->Item(parent);
  return p.Level < groups->Item(index).Level && !groups->IsDeepest(parent) && index >= p.First &&
         index <= p.Last;
}

void TcxDataControllerGroups::LoadRecordIndexes(std::vector<Integer>& AList, Integer ADataGroupIndex) const {
  TcxDataGroups* groups = GetDataGroups();
  if (ADataGroupIndex < 0 || ADataGroupIndex >= groups->GetItemCount()) return;
  TcxCustomDataControllerInfo* info = GetDataControllerInfo();
  auto loadDeepest = [&](Integer g) {
    for (Integer p = groups->Item(g).First; p <= groups->Item(g).Last; ++p) AList.push_back(info->GetInternalRecordIndex(p));
  };
  if (groups->IsDeepest(ADataGroupIndex)) {
    loadDeepest(ADataGroupIndex);
    return;
  }
  const TcxDataGroupInfo& g = groups->Item(ADataGroupIndex);
  for (Integer i = g.First; i <= g.Last && i < groups->GetItemCount(); ++i)
    if (groups->IsDeepest(i)) loadDeepest(i);
}

void TcxDataControllerGroups::LoadRecordIndexesByRowIndex(std::vector<Integer>& AList, Integer ARowIndex) const {
  LoadRecordIndexes(AList, GetDataGroupIndexByRowIndex(ARowIndex));
}

Integer TcxDataControllerGroups::GetGroupRecordIndex(Integer ADataGroupIndex) const {
  TcxDataGroups* groups = GetDataGroups();
  if (ADataGroupIndex < 0 || ADataGroupIndex >= groups->GetItemCount()) return -1;
  return GetDataControllerInfo()->GetInternalRecordIndex(groups->GetFirstListIndex(ADataGroupIndex));
}

Integer TcxDataControllerGroups::GetChildCount(Integer ADataGroupIndex) const {
  return GetDataGroups()->GetChildCount(ADataGroupIndex);
}

Integer TcxDataControllerGroups::GetChildDataGroupIndex(Integer ADataGroupIndex, Integer AChildIndex) const {
  return GetDataGroups()->GetChildIndex(ADataGroupIndex, AChildIndex);
}

Integer TcxDataControllerGroups::GetChildRecordIndex(Integer ADataGroupIndex, Integer AChildIndex) const {
  const Integer pos = GetDataGroups()->GetChildRecordListIndex(ADataGroupIndex, AChildIndex);
  return pos < 0 ? -1 : GetDataControllerInfo()->GetInternalRecordIndex(pos);
}

Integer TcxDataControllerGroups::GetDataGroupIndexByRowIndex(Integer ARowIndex) const {
  return GetDataGroups()->GetIndexByRowIndex(ARowIndex);
}

Integer TcxDataControllerGroups::GetLevel(Integer ADataGroupIndex) const {
  return GetDataGroups()->GetLevel(ADataGroupIndex);
}

Integer TcxDataControllerGroups::GetParentDataGroupIndex(Integer ADataGroupIndex) const {
  return GetDataGroups()->GetParentIndex(ADataGroupIndex);
}

Integer TcxDataControllerGroups::GetFieldGroupIndex(TcxCustomDataField* AField) const {
  return GetDataControllerInfo()->GetGroupingFieldList()->GroupIndexByField(AField);
}

Integer TcxDataControllerGroups::GetItemGroupIndex(Integer AItemIndex) const {
  FDataController->CheckItemRange(AItemIndex);
  return GetFieldGroupIndex(FDataController->GetField(AItemIndex));
}

Integer TcxDataControllerGroups::GetGroupingItemCount() const {
  return GetDataControllerInfo()->GetGroupingFieldList()->GetCount();
}

Integer TcxDataControllerGroups::GetGroupingItemIndex(Integer ALevel) const {
  return GetDataControllerInfo()->GetGroupingFieldList()->GetItem(ALevel).Field->GetIndex();
}

AnsiString TcxDataControllerGroups::GetGroupDisplayText(Integer ADataGroupIndex) const {
  const Integer level = GetLevel(ADataGroupIndex);
  if (level < 0) return AnsiString();
  return FDataController->GetDisplayText(GetGroupRecordIndex(ADataGroupIndex), GetGroupingItemIndex(level));
}

Variant TcxDataControllerGroups::GetGroupValue(Integer ADataGroupIndex) const {
  const Integer level = GetLevel(ADataGroupIndex);
  if (level < 0) return Null();
  return FDataController->GetComparedValue(GetGroupRecordIndex(ADataGroupIndex),
                                           GetDataControllerInfo()->GetGroupingFieldList()->GetItem(level).Field);
}
