// Sorting entry points, the incremental filter, finding records and the
// comparison of records by field.
#include <algorithm>

#include "library/data/cxCustomDataController.h"
#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxCustomDataSummary.h"
#include "platform/rtl/BinarySearch.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/ScopeExit.h"

// ---------------------------------------------------------------------------
// Sorting

TcxDataSortOrder TcxCustomDataController::GetItemSortOrder(Integer AItemIndex) {
  CheckItemRange(AItemIndex);
  TcxCustomDataField* field = GetField(AItemIndex);
  TcxCustomDataControllerInfo* info = FDataControllerInfo;
  if (info->GetSortingFieldList()->Find(field) >= 0) return info->GetSortingFieldList()->SortOrderByField(field);
  return info->GetGroupingFieldList()->SortOrderByField(field);
}

Integer TcxCustomDataController::GetItemSortingIndex(Integer AItemIndex) {
  CheckItemRange(AItemIndex);
  return FDataControllerInfo->GetSortingFieldList()->Find(GetField(AItemIndex));
}

Integer TcxCustomDataController::GetSortingItemCount() { return FDataControllerInfo->GetSortingFieldList()->GetCount(); }

Integer TcxCustomDataController::GetSortingItemIndex(Integer AIndex) {
  return FDataControllerInfo->GetSortingFieldList()->GetItem(AIndex).Field->GetIndex();
}

void TcxCustomDataController::BeforeSorting() {
  if (GetIsEditing()) Post();
}

void TcxCustomDataController::ChangeSorting(Integer AItemIndex, TcxDataSortOrder ASortOrder) {
  CheckItemRange(AItemIndex);
  TcxCustomDataField* field = GetField(AItemIndex);
  if (FDataControllerInfo->GetSortingFieldList()->SortOrderByField(field) == ASortOrder) return;
  BeforeSorting();
  FSortingChanged = true;
  FDataControllerInfo->ChangeSorting(field, ASortOrder);
}

void TcxCustomDataController::ChangeItemSortingIndex(Integer AItemIndex, Integer ASortingIndex) {
  CheckItemRange(AItemIndex);
  if (GetItemSortingIndex(AItemIndex) == ASortingIndex) return;
  auto update = orv::UpdateScope(this);
  TcxCustomDataField* field = GetField(AItemIndex);
  const bool grouped = FDataControllerInfo->GetGroupingFieldList()->Find(field) >= 0;
  if (grouped && GetItemSortOrder(AItemIndex) == soAscending && ASortingIndex == -1) {
    ChangeSorting(AItemIndex, soNone);
  } else {
    if (GetItemSortingIndex(AItemIndex) < 0) ChangeSorting(AItemIndex, GetItemSortOrder(AItemIndex));
    if (GetItemSortOrder(AItemIndex) != soNone) FDataControllerInfo->ChangeSortIndex(field, ASortingIndex);
  }
}

void TcxCustomDataController::ClearSorting(bool AKeepGroupedItems) { FDataControllerInfo->ClearSorting(AKeepGroupedItems); }

Integer TcxCustomDataController::GetSortBySummaryDataItemIndex() const {
  return FSortBySummaryField ? FSortBySummaryField->GetIndex() : -1;
}

void TcxCustomDataController::SetSortBySummaryDataItemIndex(Integer AIndex) {
  if (AIndex == GetSortBySummaryDataItemIndex()) return;
  if (AIndex == -1) {
    FSortBySummaryField = nullptr;
  } else {
    CheckItemRange(AIndex);
    FSortBySummaryField = GetField(AIndex);
  }
  DoSortBySummaryChanged();
}

TcxDataSortOrder TcxCustomDataController::GetSortBySummarySortOrder() {
  return FSortBySummaryField ? GetItemSortOrder(FSortBySummaryField->GetIndex()) : soNone;
}

void TcxCustomDataController::DoSortBySummaryChanged() {
  FSortBySummaryChanged = true;
  Change({dccGrouping});
}

bool TcxCustomDataController::TakeFullRegroup() {
  const bool result = FSortBySummaryChanged;
  FSortBySummaryChanged = false;
  return result;
}

void TcxCustomDataController::BeforeGroupingNotification() { NotifyControl(New<TcxGroupingChangingInfo>()); }

// ---------------------------------------------------------------------------
// Incremental filter

Integer TcxCustomDataController::SetIncrementalFilter(Integer AItemIndex, const AnsiString& AText) {
  CheckItemRange(AItemIndex);
  FIncrementalFilterField = GetField(AItemIndex);
  FIncrementalFilterText = AText;
  Refresh();
  return GetFilteredRecordCount() > 0 ? GetFilteredRecordIndex(0) : -1;
}

void TcxCustomDataController::ResetIncrementalFilter() {
  const bool active = IsIncrementalFilter();
  FIncrementalFilterField = nullptr;
  FIncrementalFilterText.clear();
  if (active && !IsDestroying()) Refresh();
}

bool TcxCustomDataController::ChangeIncrementalFilterText(const AnsiString& AText) {
  if (!FIncrementalFilterField || FIncrementalFilterText == AText) return false;
  SetIncrementalFilter(FIncrementalFilterField->GetIndex(), AText);
  return true;
}

bool TcxCustomDataController::DoIncrementalFilterRecord(Integer ARecordIndex) {
  return DataCompareText(GetInternalDisplayText(ARecordIndex, FIncrementalFilterField), FIncrementalFilterText, true);
}

bool TcxCustomDataController::DoFilterRecord(Integer ARecordIndex) {
  bool accept = true;
  if (OnFilterRecord) OnFilterRecord(this, ARecordIndex, accept);
  return accept;
}

void TcxCustomDataController::SetOnFilterRecord(const TcxDataFilterRecordEvent& AValue) {
  if (OnFilterRecord == AValue) return;
  OnFilterRecord = AValue;
  Refresh();
}

bool TcxCustomDataController::IsFilterItemSortByDisplayText(Integer AItemIndex) {
  if (GetItemSortByDisplayText(AItemIndex, true)) return true;
  TcxValueTypeClass type = GetField(AItemIndex)->GetValueTypeClass();
  return FOptions.Contains(dcoAnsiSort) && type && type->IsString();
}

// ---------------------------------------------------------------------------
// Finding records

Integer TcxCustomDataController::FindRecordIndexByText(Integer AStartIndex, Integer AItemIndex,
                                                       const AnsiString& AText, bool APartialCompare, bool ACircular,
                                                       bool AForward) {
  CheckItemRange(AItemIndex);
  const Integer count = GetFilteredRecordCount();
  if (AStartIndex < 0 || AStartIndex >= count) return -1;
  TcxCustomDataField* field = GetField(AItemIndex);
  auto match = [&](Integer pos) {
    return DataCompareText(GetInternalDisplayText(GetFilteredRecordIndex(pos), field), AText, APartialCompare);
  };
  if (AForward) {
    for (Integer i = AStartIndex; i < count; ++i)
      if (match(i)) return GetFilteredRecordIndex(i);
    if (AStartIndex != 0 && ACircular)
      for (Integer i = 0; i < AStartIndex; ++i)
        if (match(i)) return GetFilteredRecordIndex(i);
  } else {
    for (Integer i = AStartIndex; i >= 0; --i)
      if (match(i)) return GetFilteredRecordIndex(i);
    if (ACircular)
      for (Integer i = count - 1; i > AStartIndex; --i)
        if (match(i)) return GetFilteredRecordIndex(i);
  }
  return -1;
}

Integer TcxCustomDataController::FindRecordByFields(Integer ARecordIndex,
                                                    const std::vector<TcxCustomDataField*>& AFields) {
  FDataControllerInfo->PrepareSorting();
  Integer result = -1;
  try {
    for (Integer r = 0; r < GetRecordCount() && result == -1; ++r) {
      bool equal = true;
      for (TcxCustomDataField* f : AFields)
        if (CompareByField(ARecordIndex, r, f, dccmOther) != 0) {
          equal = false;
          break;
        }
      if (equal) result = r;
    }
  } catch (...) {
    FDataControllerInfo->UnprepareSorting();
    throw;
  }
  FDataControllerInfo->UnprepareSorting();
  return result;
}

Integer TcxCustomDataController::FindGroupRecord(Integer ARecordIndex, Integer ALevelCount) {
  if (ALevelCount < 1) return -1;
  // The answer is the record of the group the halving meets first, not the
  // group's first record.
  Integer met = -1;
  orv::BinarySearch(Integer(0), GetFilteredRecordCount(), [&](Integer I) {
    const Integer r = GetFilteredRecordIndex(I);
    Integer c = 0;
    for (Integer level = 0; level < ALevelCount && c == 0; ++level)
      c = FDataControllerInfo->CompareGroupRecords(r, ARecordIndex, level);
    if (c == 0 && met < 0) met = r;
    return c;
  });
  return met;
}

// ---------------------------------------------------------------------------
// Comparison

Integer TcxCustomDataController::NativeCompare(Integer ARecordIndex1, Integer ARecordIndex2,
                                               TcxCustomDataField* AField) {
  if (!AField->GetValueDef()) return 0;
  if (IsProviderMode()) return FProvider->NativeCompare(ARecordIndex1, ARecordIndex2, AField);
  return FDataStorage->CompareRecords(ARecordIndex1, ARecordIndex2, AField->GetValueDef());
}

Integer TcxCustomDataController::CompareByField(Integer ARecordIndex1, Integer ARecordIndex2,
                                                TcxCustomDataField* AField, TcxDataControllerComparisonMode) {
  const bool userCompare = OnCompare.Assigned() && !AField->GetIsInternal();
  if (!userCompare && !IsConversionNeededForCompare(AField)) return NativeCompare(ARecordIndex1, ARecordIndex2, AField);
  if (!OnCompare.Assigned() && IsProviderMode() && GetCustomDataSource()->IsNativeCompareFunc() &&
      ARecordIndex1 >= 0 && ARecordIndex2 >= 0)
    return FProvider->NativeCompareFunc(ARecordIndex1, ARecordIndex2, AField);
  const Variant v1 = GetComparedValue(ARecordIndex1, AField);
  const Variant v2 = GetComparedValue(ARecordIndex2, AField);
  if (OnCompare.Assigned()) {
    Integer result = 0;
    OnCompare(this, ARecordIndex1, ARecordIndex2, AField->GetIndex(), v1, v2, result);
    return result;
  }
  if (VarIsStr(v1) && VarIsStr(v2)) {
    // Wide text takes the same orders as the 8-bit text it shows.
    AnsiString held1, held2;
    const AnsiString& s1 = v1.VType() == varString ? v1.RawAnsi() : (held1 = VarToStr(v1));
    const AnsiString& s2 = v2.VType() == varString ? v2.RawAnsi() : (held2 = VarToStr(v2));
    if (FOptions.Contains(dcoAnsiSort)) {
      const int c = orv::CollateAnsi(s1, s2, FOptions.Contains(dcoCaseInsensitive));
      return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    if (FOptions.Contains(dcoCaseInsensitive)) {
      const AnsiString u1 = AnsiUpperCase(s1), u2 = AnsiUpperCase(s2);
      const size_t n = std::min(u1.size(), u2.size());
      for (size_t i = 0; i < n; ++i)
        if (u1[i] != u2[i]) return static_cast<Integer>(static_cast<Byte>(u1[i])) - static_cast<Byte>(u2[i]);
      return static_cast<Integer>(u1.size()) - static_cast<Integer>(u2.size());
    }
  }
  return VarCompare(v1, v2);
}

Integer TcxCustomDataController::CompareRecords(Integer ARecordIndex1, Integer ARecordIndex2,
                                                const TcxDataSortInfo& ASortInfo,
                                                TcxDataControllerComparisonMode AMode) {
  const Integer result = CompareByField(ARecordIndex1, ARecordIndex2, ASortInfo.Field, AMode);
  return ASortInfo.SortOrder == soDescending ? -result : result;
}

Variant TcxCustomDataController::GetComparedValue(Integer ARecordIndex, TcxCustomDataField* AField) {
  if (AField->GetCompareMode() == 2) return Variant(GetInternalDisplayText(ARecordIndex, AField));
  return GetInternalValue(ARecordIndex, AField);
}

bool TcxCustomDataController::IsConversionNeededForCompare(TcxCustomDataField* AField) {
  const Integer mode = AField->GetCompareMode();
  if (mode > 0) return true;
  if (mode == -1) return false;
  if (IsItemNeedConversion(AField) || IsStringConversionNeeded(AField) || IsSortByDisplayTextNeeded(AField))
    return true;
  return IsProviderMode() && !GetCustomDataSource()->IsNativeCompare();
}

bool TcxCustomDataController::IsStringConversionNeeded(TcxCustomDataField* AField) {
  TcxValueTypeClass type = AField->GetValueTypeClass();
  return (FOptions.Contains(dcoAnsiSort) || FOptions.Contains(dcoCaseInsensitive)) && type && type->IsString();
}

bool TcxCustomDataController::IsSortByDisplayTextNeeded(TcxCustomDataField* AField) {
  if (FLocatingGroup || AField->GetIsInternal()) return false;
  return GetItemSortByDisplayText(AField->GetIndex(), FOptions.Contains(dcoSortByDisplayText));
}
