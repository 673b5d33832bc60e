// Sorting, filtering and finding records: the quicksort's exact order
// against a plain rendering of the algorithm, the sorting entry points, the
// filters in their order, and text search over the shown records.
#include <limits>
#include <random>

#include "DataControllerFixture.h"
#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxCustomDataSearch.h"
#include "library/data/cxCustomDataSort.h"
#include "library/data/cxCustomDataSortKeys.h"

using Log = std::vector<std::string>;

namespace {

// The partition sort as the view defines it, written out plainly; its
// (unstable) order is what the view's ties rely on.
void ReferenceSort(std::vector<NativeInt>& a, int l, int r, const std::vector<int>& key) {
  auto cmp = [&](NativeInt x, NativeInt y) { return key[static_cast<size_t>(x)] - key[static_cast<size_t>(y)]; };
  int i;
  do {
    i = l;
    int j = r;
    const NativeInt p = a[static_cast<size_t>((l + r) >> 1)];
    do {
      while (cmp(a[static_cast<size_t>(i)], p) < 0) ++i;
      while (cmp(a[static_cast<size_t>(j)], p) > 0) --j;
      if (i <= j) {
        std::swap(a[static_cast<size_t>(i)], a[static_cast<size_t>(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (l < j) ReferenceSort(a, l, j, key);
    l = i;
  } while (i < r);
}

std::vector<int>* gKeys = nullptr;
Integer CompareByKey(void*, NativeInt a, NativeInt b) {
  return (*gKeys)[static_cast<size_t>(a)] - (*gKeys)[static_cast<size_t>(b)];
}

}  // namespace

TEST(RecordQuickSort, GivesTheSameUnstableOrderAsThePartitionAlgorithm) {
  std::mt19937 rng(5);
  for (int round = 0; round < 200; ++round) {
    const int n = 1 + static_cast<int>(rng() % 40);
    std::vector<int> keys(static_cast<size_t>(n));
    for (int& k : keys) k = static_cast<int>(rng() % 6);  // many ties
    std::vector<NativeInt> expected(static_cast<size_t>(n)), actual;
    for (int i = 0; i < n; ++i) expected[static_cast<size_t>(i)] = i;
    std::shuffle(expected.begin(), expected.end(), rng);
    actual = expected;
    if (n > 1) ReferenceSort(expected, 0, n - 1, keys);
    gKeys = &keys;
    cxQuickSortList(actual.data(), 0, n - 1, CompareByKey, nullptr);
    ASSERT_EQ(actual, expected) << "round " << round;
  }
}

// --- Sorting entry points ------------------------------------------------------------

TEST_F(DataControllerTest, SortingIndexesOrderTheKeys) {
  Fill({{2, "b"}, {1, "b"}, {2, "a"}, {1, "a"}});
  C->ChangeSorting(IntItem, soAscending);
  C->ChangeSorting(StrItem, soAscending);
  EXPECT_EQ(Rows(), std::vector<std::string>({"3", "1", "2", "0"}));
  C->Log.clear();
  C->ChangeItemSortingIndex(StrItem, 1);  // already there
  EXPECT_TRUE(C->Log.empty());
  C->ChangeItemSortingIndex(StrItem, 0);
  EXPECT_EQ(C->GetSortingItemIndex(0), StrItem);
  EXPECT_EQ(C->GetItemSortingIndex(IntItem), 1);
  EXPECT_EQ(Rows(), std::vector<std::string>({"3", "2", "1", "0"}));
  EXPECT_THROW(C->ChangeSorting(7, soAscending), EcxInvalidDataControllerOperation);
  // A grouped item enters the sorting list with its grouping order.
  C->ClearSorting(false);
  C->GetGroups()->ChangeGrouping(FloatItem, 0);
  C->ChangeItemSortingIndex(FloatItem, 0);
  EXPECT_EQ(C->GetItemSortingIndex(FloatItem), 0);
  EXPECT_EQ(C->GetItemSortOrder(FloatItem), soAscending);
}

TEST_F(DataControllerTest, SortingNoticesAndTheSortingEvent) {
  Fill({{2, "b"}, {1, "a"}});
  int sortingChanged = 0;
  C->OnSortingChanged = [&](TcxCustomDataController*) { ++sortingChanged; };
  C->ChangeSorting(IntItem, soAscending);
  C->ChangeSorting(IntItem, soAscending);  // no change
  EXPECT_EQ(sortingChanged, 1);
  // Sorting posts an edit in progress first.
  C->ChangeFocusedRowIndex(0);
  C->SetEditValue(IntItem, 9, evsValue);
  C->ChangeSorting(IntItem, soDescending);
  EXPECT_FALSE(C->GetIsEditing());
  EXPECT_EQ(Rows(), std::vector<std::string>({"1", "0"}));
  EXPECT_EQ(sortingChanged, 2);
}

TEST_F(DataControllerTest, AnOnCompareHandlerDecidesTheOrder) {
  Fill({{1, "bb"}, {2, "a"}, {3, "ccc"}});
  C->OnCompare = [](TcxCustomDataController*, Integer, Integer, Integer, const Variant& v1, const Variant& v2,
                    Integer& result) {
    result = static_cast<Integer>(VarToStr(v1).size()) - static_cast<Integer>(VarToStr(v2).size());
  };
  C->ChangeSorting(StrItem, soDescending);
  EXPECT_EQ(Rows(), std::vector<std::string>({"2", "0", "1"}));
}

TEST_F(DataControllerTest, NullsSortFirstAndDescendingNegatesTies) {
  Fill({{2, "b"}, {1, "a"}});
  C->AppendRecord();
  C->ChangeSorting(IntItem, soAscending);
  EXPECT_EQ(Rows(), std::vector<std::string>({"2", "1", "0"}));
  C->ChangeSorting(IntItem, soDescending);
  EXPECT_EQ(Rows(), std::vector<std::string>({"0", "1", "2"}));
  const TcxDataSortInfo descending{C->GetField(IntItem), soDescending};
  C->SetValue(1, IntItem, 2);
  EXPECT_EQ(C->CompareRecords(0, 1, descending, dccmOther), 0);
}

// A NaN among the numbers once compared equal to every value (and, through
// the values' comparison, greater than every value and every value greater
// than it): the numbers around it stayed unsorted, and a group it started
// took in every value after it. NaN (of either sign) now follows every
// number, -0 and 0 are one value, the per-record keys, the cells'
// comparison and the values' comparison agree, and a filter for the NaN
// group's value keeps that group.
TEST_F(DataControllerTest, NaNSortsAfterEveryNumberAndGroupsAlone) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  C->BeginUpdate();
  for (const Variant& v : {Variant(2.0), Variant(nan), Variant(-inf), Null(), Variant(-0.0), Variant(1.0), Variant(inf),
                           Variant(0.0), Variant(-nan), Variant(-3.0), Variant(2.0)})
    C->SetValue(C->AppendRecord(), FloatItem, v);
  C->EndUpdate();
  for (const char* way : {"per-record keys", "cells", "values"}) {
    SCOPED_TRACE(way);
    const std::string w = way;
    TcxRecordSortKeys::SetEnabled(w == "per-record keys");
    C->ChangeNeedConversion(FloatItem, w == "values");
    C->GetGroups()->ClearGrouping();
    C->ChangeSorting(FloatItem, soNone);
    C->ChangeSorting(FloatItem, soAscending);
    EXPECT_EQ(Rows(), std::vector<std::string>({"3", "2", "9", "4", "7", "5", "0", "10", "6", "1", "8"}));
    C->ChangeSorting(FloatItem, soDescending);
    EXPECT_EQ(Rows(), std::vector<std::string>({"1", "8", "6", "0", "10", "5", "4", "7", "9", "2", "3"}));
    C->GetGroups()->ChangeGrouping(FloatItem, 0);
    C->ChangeSorting(FloatItem, soAscending);
    std::vector<Integer> sizes;
    for (Integer row = 0; row < C->GetRowCount(); ++row)
      sizes.push_back(C->GetGroups()->GetChildCount(C->GetGroups()->GetDataGroupIndexByRowIndex(row)));
    EXPECT_EQ(sizes, std::vector<Integer>({1, 1, 1, 2, 1, 2, 1, 2})) << "null, -inf, -3, zeros, 1, 2, inf, NaN";
    EXPECT_EQ(C->GetGroups()->GetDataGroupIndexByGroupValue(-1, nan), C->GetGroups()->GetDataGroupIndexByRowIndex(7));
  }
  TcxRecordSortKeys::SetEnabled(true);
  C->ChangeNeedConversion(FloatItem, false);
  C->GetGroups()->ClearGrouping();
  C->ChangeSorting(FloatItem, soNone);
  TcxDataFilterCriteria* filter = C->GetFilter();
  for (const bool typed : {true, false}) {
    SCOPED_TRACE(typed ? "typed filter" : "general filter");
    TcxFilterCriteria::SetTypedChecksEnabled(typed);
    filter->BeginUpdate();
    filter->Clear();
    filter->AddItem(C->Items[static_cast<size_t>(FloatItem)], foEqual, nan, "NaN");
    filter->SetActive(true);
    filter->EndUpdate();
    EXPECT_EQ(Rows(), std::vector<std::string>({"1", "8"}));
    filter->BeginUpdate();
    filter->Clear();
    filter->AddItem(C->Items[static_cast<size_t>(FloatItem)], foLess, nan, "NaN");
    filter->EndUpdate();
    EXPECT_EQ(Rows(), std::vector<std::string>({"0", "2", "3", "4", "5", "6", "7", "9", "10"})) << "nulls come first";
  }
  TcxFilterCriteria::SetTypedChecksEnabled(true);
}

// --- Filters in their order ---------------------------------------------------------------

TEST_F(DataControllerTest, EventIncrementalAndCriteriaFiltersCombine) {
  Fill({{1, "apple"}, {2, "apricot"}, {3, "banana"}, {4, "avocado"}, {5, "apex"}});
  std::vector<Integer> asked;
  C->OnFilterRecord = [&](TcxCustomDataController*, Integer r, bool& accept) {
    asked.push_back(r);
    accept = r != 1;
  };
  C->GetFilter()->AddItem(C->Items[static_cast<size_t>(IntItem)], foNotEqual, 5, "5");
  C->GetFilter()->SetActive(true);
  EXPECT_EQ(Rows(), std::vector<std::string>({"0", "2", "3"}));
  EXPECT_EQ(C->SetIncrementalFilter(StrItem, "AP"), 0);
  EXPECT_EQ(Rows(), std::vector<std::string>({"0"}));
  EXPECT_TRUE(C->ChangeIncrementalFilterText("a"));
  EXPECT_FALSE(C->ChangeIncrementalFilterText("a"));
  EXPECT_EQ(Rows(), std::vector<std::string>({"0", "3"}));
  // The record under edit stays whatever the filters say.
  C->ChangeFocusedRecordIndex(3);
  C->SetEditValue(StrItem, "zzz", evsValue);
  C->Refresh();
  EXPECT_EQ(Rows(), std::vector<std::string>({"0", "3"}));
  C->Post();
  EXPECT_EQ(Rows(), std::vector<std::string>({"0"}));
  EXPECT_EQ(C->GetFocusedRowIndex(), 0) << "the posted record left: the first row takes the focus";
  C->ResetIncrementalFilter();
  C->GetFilter()->SetActive(false);
  C->OnFilterRecord = nullptr;
  C->Refresh();
  EXPECT_EQ(C->GetRowCount(), 5);
  EXPECT_FALSE(asked.empty());
}

// --- Finding records -----------------------------------------------------------------------

TEST_F(DataControllerTest, TextSearchRunsOverTheShownRecordsInViewOrder) {
  Fill({{5, "ab"}, {1, "xa"}, {3, "ac"}, {2, "b"}, {4, "ad"}});
  C->ChangeSorting(IntItem, soAscending);  // rows: 1 3 2 4 0
  // Positions are in the view's order.
  EXPECT_EQ(C->FindRecordIndexByText(0, StrItem, "a", true, false, true), 2);
  EXPECT_EQ(C->FindRecordIndexByText(3, StrItem, "ab", true, true, true), 0);
  EXPECT_EQ(C->FindRecordIndexByText(0, StrItem, "ab", true, true, false), 0) << "backward wraps to the end";
  EXPECT_EQ(C->FindRecordIndexByText(0, StrItem, "ab", true, false, false), -1);
  EXPECT_EQ(C->FindRecordIndexByText(-1, StrItem, "a", true, true, true), -1);
  EXPECT_EQ(C->FindRecordIndexByText(5, StrItem, "a", true, true, true), -1);
  EXPECT_EQ(C->FindRecordIndexByText(0, StrItem, "A", false, true, true), -1) << "whole text only";
  EXPECT_EQ(C->FindRecordIndexByText(0, StrItem, "B", false, true, true), 3);
}

TEST_F(DataControllerTest, FindingRecordsByFieldsAndByGroup) {
  Fill({{1, "a"}, {2, "b"}, {1, "a"}, {2, "a"}});
  const std::vector<TcxCustomDataField*> fields{C->GetField(IntItem), C->GetField(StrItem)};
  EXPECT_EQ(C->FindRecordByFields(2, fields), 0);
  EXPECT_EQ(C->FindRecordByFields(3, fields), 3);
  C->GetGroups()->ChangeGrouping(IntItem, 0);
  C->GetDataControllerInfo()->PrepareSorting();
  const Integer found = C->FindGroupRecord(3, 1);
  C->GetDataControllerInfo()->UnprepareSorting();
  ASSERT_NE(found, -1);
  EXPECT_EQ(C->GetValue(found, IntItem).AsInteger(), 2);
}

TEST_F(DataControllerTest, IncrementalSearchWalksForwardAndBack) {
  Fill({{1, "cat"}, {2, "cow"}, {3, "dog"}, {4, "crab"}});
  C->ChangeFocusedRowIndex(0);
  TcxDataControllerSearch* search = C->GetSearch();
  ASSERT_TRUE(search->Locate(StrItem, "c"));
  EXPECT_EQ(C->GetFocusedRecordIndex(), 0);
  EXPECT_TRUE(search->LocateNext(true));
  EXPECT_EQ(C->GetFocusedRecordIndex(), 1);
  EXPECT_TRUE(search->LocateNext(true));
  EXPECT_EQ(C->GetFocusedRecordIndex(), 3);
  EXPECT_FALSE(search->LocateNext(true)) << "no further match ahead";
  EXPECT_TRUE(search->LocateNext(false));
  EXPECT_EQ(C->GetFocusedRecordIndex(), 1);
  EXPECT_TRUE(search->GetSearching());
  EXPECT_EQ(search->GetSearchText(), "c");
  EXPECT_FALSE(search->Locate(StrItem, "cz"));
  EXPECT_EQ(C->GetFocusedRecordIndex(), 1) << "a failed search keeps the focus";
  search->Cancel();
  EXPECT_FALSE(search->GetSearching());
}
