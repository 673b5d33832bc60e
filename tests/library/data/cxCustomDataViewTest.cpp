#include "DataControllerFixture.h"
#include "library/data/cxCustomDataSearch.h"
#include "library/data/cxCustomDataSort.h"

using Rows = std::vector<std::string>;

// --- The quicksort -----------------------------------------------------------------

TEST(RecordQuickSort, KeepsItsOwnOrderAndStaysInsideTheList) {
  std::vector<NativeInt> equal(50, 7);
  cxQuickSortList(equal.data(), 0, 49, cxCompareIntegers, nullptr);
  EXPECT_EQ(equal, std::vector<NativeInt>(50, 7));

  std::vector<NativeInt> two{2, 1};
  cxQuickSortList(two.data(), 0, 1, cxCompareIntegers, nullptr);
  EXPECT_EQ(two, std::vector<NativeInt>({1, 2}));

  std::vector<NativeInt> list{5, 3, 9, 1, 5, 0, 8};
  cxQuickSortList(list.data(), 0, 6, cxCompareIntegers, nullptr);
  EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));

  // A comparison that contradicts itself ("less" in both orders) must not
  // walk off the list; the sanitizer watches the bounds.
  std::vector<NativeInt> liar{4, 1, 3, 2, 5, 0};
  cxQuickSortList(liar.data(), 0, 5, [](void*, NativeInt, NativeInt) -> Integer { return -1; }, nullptr);
  std::sort(liar.begin(), liar.end());
  EXPECT_EQ(liar, std::vector<NativeInt>({0, 1, 2, 3, 4, 5}));
  cxQuickSortList(liar.data(), 0, 5, [](void*, NativeInt, NativeInt) -> Integer { return 1; }, nullptr);
}

// --- Sorting -------------------------------------------------------------------------

TEST_F(DataControllerTest, SortingOrdersRowsAndBreaksTiesByRecord) {
  Fill({{3, "c"}, {1, "a"}, {2, "b"}, {1, "z"}});
  C->ChangeSorting(IntItem, soAscending);
  EXPECT_EQ(Rows(), ::Rows({"1", "3", "2", "0"}));
  C->ChangeSorting(IntItem, soDescending);
  EXPECT_EQ(Rows(), ::Rows({"0", "2", "1", "3"}));
  EXPECT_EQ(C->GetItemSortOrder(IntItem), soDescending);
  C->ClearSorting(false);
  EXPECT_EQ(Rows(), ::Rows({"0", "1", "2", "3"}));
}

TEST_F(DataControllerTest, AnEditedRecordKeepsItsPlaceUntilPosted) {
  Fill({{1, "a"}, {2, "b"}, {3, "c"}});
  C->ChangeSorting(IntItem, soAscending);
  C->ChangeFocusedRowIndex(2);  // the last row
  C->SetEditValue(IntItem, 0, evsValue);
  EXPECT_EQ(Rows(), ::Rows({"0", "1", "2"})) << "the edited last row stays last";
  C->Post();
  EXPECT_EQ(Rows(), ::Rows({"2", "0", "1"}));
  EXPECT_EQ(C->GetFocusedRecordIndex(), 2) << "the focus moved with the record";

  C->ChangeFocusedRowIndex(1);  // record 0, followed by record 1
  C->SetEditValue(IntItem, 99, evsValue);
  EXPECT_EQ(Rows(), ::Rows({"2", "0", "1"})) << "a middle row stays before its successor";
  C->Post();
  EXPECT_EQ(Rows(), ::Rows({"2", "1", "0"}));
}

TEST_F(DataControllerTest, CaseInsensitiveOptionComparesTextsAsEqual) {
  Fill({{1, "apple"}, {2, "APPLE"}, {3, "Banana"}});
  C->SetOptions(C->GetOptions() + dcoCaseInsensitive);
  C->ChangeSorting(StrItem, soAscending);
  C->GetDataControllerInfo()->PrepareSorting();
  EXPECT_EQ(C->CompareByField(0, 1, C->GetField(StrItem), dccmOther), 0);
  C->GetDataControllerInfo()->UnprepareSorting();
  EXPECT_EQ(Rows(), ::Rows({"0", "1", "2"}));
  const TcxDataSortInfo descending{C->GetField(StrItem), soDescending};
  EXPECT_EQ(C->CompareRecords(0, 1, descending, dccmSorting), 0);
}

// Wide text is text too: the case-insensitive and the collated orders take
// it as they take 8-bit text, never its code units ("APPLE" < "Banana" <
// "apple").
TEST_F(DataControllerTest, WideTextSortsByTheSameOptionsAsText) {
  const Integer wide = C->AddTypedItem(TcxWideStringValueType::Class());
  C->BeginUpdate();
  for (const char16_t* text : {u"apple", u"Banana", u"APPLE", u"banana"})
    C->SetValue(C->AppendRecord(), wide, WideString(text));
  C->EndUpdate();
  const TcxDataControllerOptions base = C->GetOptions();
  for (TcxDataControllerOptions options : {base + dcoCaseInsensitive, base + dcoAnsiSort + dcoCaseInsensitive}) {
    C->SetOptions(options);
    C->ChangeSorting(wide, soAscending);
    EXPECT_EQ(Rows(), ::Rows({"0", "2", "1", "3"}));
    C->ClearSorting(false);
  }
  C->SetOptions(base + dcoAnsiSort);
  C->ChangeSorting(wide, soAscending);
  EXPECT_EQ(Rows(), ::Rows({"0", "2", "3", "1"})) << "the locale's order: lower case first within a word";
  C->SetOptions(base);
  EXPECT_EQ(Rows(), ::Rows({"2", "1", "0", "3"})) << "without options: the code units";
}

// --- Grouping ------------------------------------------------------------------------

class GroupingTest : public DataControllerTest {
 protected:
  Integer CodeItem = -1;
  void SetUp() override {
    DataControllerTest::SetUp();
    CodeItem = C->AddTypedItem(TcxIntegerValueType::Class());
    // (Int, Str, Code): two top groups, each with subgroups.
    const std::vector<std::tuple<int, std::string, int>> rows{
        {1, "a", 1}, {1, "a", 2}, {1, "b", 1}, {2, "a", 1}, {2, "b", 1}, {2, "b", 2}};
    C->BeginUpdate();
    for (const auto& [i, s, k] : rows) {
      const Integer r = C->AppendRecord();
      C->SetValue(r, IntItem, i);
      C->SetValue(r, StrItem, AnsiString(s));
      C->SetValue(r, CodeItem, k);
    }
    C->EndUpdate();
  }
};

TEST_F(GroupingTest, ThreeCollapsedLevelsShowOneRowPerTopGroup) {
  C->BeginUpdate();
  C->GetGroups()->ChangeGrouping(IntItem, 0);
  C->GetGroups()->ChangeGrouping(StrItem, 1);
  C->GetGroups()->ChangeGrouping(CodeItem, 2);
  C->EndUpdate();
  EXPECT_EQ(C->GetRowCount(), 2);
  EXPECT_EQ(C->GetGroups()->GetChildCount(-1), 2);
  TcxDataGroups* groups = C->GetDataControllerInfo()->GetDataGroups();
  // Every descendant shares its top group's row.
  for (Integer g = 0; g < groups->GetItemCount(); ++g)
    EXPECT_EQ(groups->Item(g).RowIndex, groups->GetLevel(g) == 0 && g > 0 ? 1 : groups->Item(g).RowIndex);
  EXPECT_EQ(groups->GetChildRecordListIndex(0, 0), -1) << "an upper group has no records of its own";

  C->GetGroups()->FullExpand();
  EXPECT_EQ(Rows(), ::Rows({"g0:1", "g1:a", "g2:1", "0", "g2:2", "1", "g1:b", "g2:1", "2", "g0:2", "g1:a", "g2:1",
                            "3", "g1:b", "g2:1", "4", "g2:2", "5"}));
  EXPECT_TRUE(C->GetGroups()->HasAsParent(16, 13)) << "a deepest group inside the last top group";
  EXPECT_FALSE(C->GetGroups()->HasAsParent(16, 0));

  // A recursive collapse stops at the next top group.
  C->GetGroups()->ChangeExpanding(0, false, true);
  EXPECT_EQ(Rows(), ::Rows({"g0:1", "g0:2", "g1:a", "g2:1", "3", "g1:b", "g2:1", "4", "g2:2", "5"}));
  C->GetGroups()->ChangeExpanding(0, true, false);
  EXPECT_EQ(C->GetRowCount(), 12) << "its children stay collapsed";
}

TEST_F(GroupingTest, ExpandingTheLastDeepestGroupAddsItsRecords) {
  C->GetGroups()->ChangeGrouping(IntItem, 0);
  EXPECT_EQ(C->GetRowCount(), 2);
  C->GetGroups()->ChangeExpanding(1, true, false);
  EXPECT_EQ(C->GetRowCount(), 5);
  EXPECT_EQ(C->GetNearestRowIndex(4), 3);
}

TEST_F(GroupingTest, RegroupingBySameFieldsKeepsExpansionAndGroupSelection) {
  C->SetMultiSelect(true);
  C->GetGroups()->ChangeGrouping(IntItem, 0);
  C->GetGroups()->ChangeExpanding(1, true, false);
  C->ClearSelection();
  C->ChangeRowSelection(0, true);
  C->Refresh();  // a reload regroups by the same field
  EXPECT_EQ(C->GetRowCount(), 5);
  EXPECT_TRUE(C->IsRowSelected(0));
  // A record of group 2 now has value 3: a new group appears, the old stay.
  C->SetValue(5, IntItem, 3);
  EXPECT_EQ(Rows(), ::Rows({"g0:1", "g0:2", "3", "4", "g0:3"}));
  EXPECT_TRUE(C->IsRowSelected(0));
  // Grouping by another field clears a group selection.
  C->BeginUpdate();
  C->GetGroups()->ClearGrouping();
  C->GetGroups()->ChangeGrouping(StrItem, 0);
  C->EndUpdate();
  EXPECT_EQ(C->GetDataControllerInfo()->GetSelectedCount(), 0);
}

TEST_F(GroupingTest, CollapsingOverTheFocusedRowFocusesTheGroupRow) {
  C->GetGroups()->ChangeGrouping(IntItem, 0);
  C->GetGroups()->FullExpand();
  C->ChangeFocusedRecordIndex(4);
  EXPECT_EQ(C->GetFocusedRowIndex(), 6);
  C->GetGroups()->ChangeExpanding(4, false, false);
  EXPECT_EQ(C->GetFocusedRowIndex(), 4);
  EXPECT_EQ(C->GetFocusedRecordIndex(), 3);
}

TEST_F(GroupingTest, AnEditedRecordStaysInItsGroupUntilPosted) {
  C->GetGroups()->ChangeGrouping(IntItem, 0);
  C->GetGroups()->FullExpand();
  C->ChangeFocusedRecordIndex(0);
  C->SetEditValue(IntItem, 2, evsValue);
  C->Refresh();
  // (The group row shows its first record's current text.)
  EXPECT_EQ(Rows(), ::Rows({"g0:2", "0", "1", "2", "g0:2", "3", "4", "5"}));
  C->Post();
  C->GetGroups()->FullExpand();
  EXPECT_EQ(Rows(), ::Rows({"g0:1", "1", "2", "g0:2", "0", "3", "4", "5"}));
}

// --- Focus and navigation ------------------------------------------------------------

TEST_F(DataControllerTest, NavigationClampsToTheRows) {
  EXPECT_TRUE(C->IsBOF());
  EXPECT_TRUE(C->IsEOF());
  C->GotoPrev();
  EXPECT_EQ(C->GetFocusedRowIndex(), -1);
  C->SetMultiSelect(true);
  C->SelectAll();
  EXPECT_EQ(C->GetSelectedCount(), 0);
  C->SetMultiSelect(false);

  Fill({{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}, {5, "e"}});
  C->ChangeFocusedRowIndex(3);
  C->MoveBy(-10);
  EXPECT_EQ(C->GetFocusedRowIndex(), 0);
  EXPECT_TRUE(C->IsBOF());
  C->GotoLast();
  EXPECT_TRUE(C->IsEOF());
  C->GotoNext();
  EXPECT_EQ(C->GetFocusedRowIndex(), 4);
  EXPECT_EQ(C->GetNearestRowIndex(4), 3);
}

TEST_F(DataControllerTest, FocusNoticesCarryThePreviousAndNewRows) {
  Fill({{1, "a"}, {2, "b"}});
  C->Log.clear();
  C->ChangeFocusedRowIndex(1);
  EXPECT_EQ(C->Log, std::vector<std::string>({"focusrow -1>1", "focusrecord -1>1"}));
  C->Log.clear();
  C->ChangeSorting(IntItem, soDescending);  // the record moves to row 0
  EXPECT_EQ(C->GetFocusedRecordIndex(), 1);
  EXPECT_EQ(C->GetFocusedRowIndex(), 0);
  EXPECT_EQ(C->Only("focusrow"), std::vector<std::string>({"focusrow 1>0"}));
}

TEST_F(DataControllerTest, AFilteredOutPostedRecordMovesTheFocusToTheFirstRow) {
  Fill({{1, "a"}, {2, "b"}, {3, "c"}});
  C->ChangeFocusedRowIndex(1);
  C->OnFilterRecord = [this](TcxCustomDataController*, Integer r, bool& accept) {
    accept = C->GetValue(r, IntItem).AsInteger() < 10;
  };
  C->SetEditValue(IntItem, 20, evsValue);
  EXPECT_EQ(C->GetRowCount(), 3) << "a filter never removes the record under edit";
  C->Post();
  EXPECT_EQ(C->GetRowCount(), 2);
  EXPECT_EQ(C->GetFocusedRowIndex(), 0);
}

// --- Selection and bookmark -----------------------------------------------------------

TEST_F(DataControllerTest, MultiSelectionAndTheFocusedSelectedMode) {
  Fill({{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}, {5, "e"}, {6, "f"}});
  C->ChangeFocusedRowIndex(1);
  EXPECT_EQ(C->GetSelectedCount(), 1);
  EXPECT_EQ(C->GetSelectedRowIndex(0), 1);
  EXPECT_EQ(C->GetSelectedRowIndex(1), -1);
  C->Log.clear();
  C->SyncSelected(false);
  EXPECT_EQ(C->GetSelectedCount(), 0);
  EXPECT_EQ(C->Only("selection").size(), 1u);
  C->SyncSelected(true);

  C->SetMultiSelect(true);
  EXPECT_EQ(C->GetSelectedCount(), 1) << "turning multiple selection on selects the focused row";
  EXPECT_TRUE(C->IsRowSelected(1));
  C->SelectRows(5, 2);
  EXPECT_EQ(C->GetSelectedCount(), 5);
  C->SetSelectionAnchor(3);
  C->ChangeRowSelection(3, false);
  EXPECT_FALSE(C->IsSelectionAnchorExist()) << "deleting the anchor entry clears the anchor";
  EXPECT_THROW(C->SetSelectionAnchor(6), EcxInvalidDataControllerOperation);

  // Deleting the selection keeps the rest and focuses a surviving row.
  C->DeleteSelection();
  EXPECT_EQ(C->GetRecordCount(), 2);
  EXPECT_EQ(C->GetValue(0, IntItem).AsInteger(), 1);
  EXPECT_EQ(C->GetValue(1, IntItem).AsInteger(), 4);
}

TEST_F(DataControllerTest, BookmarkFollowsItsRecord) {
  Fill({{1, "a"}, {2, "b"}, {3, "c"}});
  C->ChangeFocusedRowIndex(2);
  C->Log.clear();
  C->SaveBookmark();
  C->SaveBookmark();
  EXPECT_EQ(C->Only("bookmark").size(), 1u);
  C->DeleteRecord(0);
  EXPECT_TRUE(C->IsBookmarkRow(1));
  C->ChangeFocusedRowIndex(0);
  C->GotoBookmark();
  EXPECT_EQ(C->GetFocusedRowIndex(), 1);
  C->DeleteRecord(1);
  EXPECT_FALSE(C->IsBookmarkAvailable());
}

// --- Incremental filter and finding records --------------------------------------------

TEST_F(DataControllerTest, IncrementalFilterMatchesBeginnings) {
  Fill({{1, "Abc"}, {2, "xab"}, {3, ""}, {4, "abd"}});
  EXPECT_EQ(C->SetIncrementalFilter(StrItem, "ab"), 0);
  EXPECT_EQ(Rows(), ::Rows({"0", "3"}));
  EXPECT_EQ(C->SetIncrementalFilter(StrItem, "q"), -1);
  EXPECT_EQ(C->GetRowCount(), 0);
  C->ResetIncrementalFilter();
  EXPECT_EQ(C->GetRowCount(), 4);
}

TEST_F(DataControllerTest, FindRecordIndexByTextWrapsWhenAskedTo) {
  Fill({{1, "x"}, {2, "a"}, {3, "b"}, {4, "c"}, {5, "d"}});
  EXPECT_EQ(C->FindRecordIndexByText(2, StrItem, "x", true, true, true), 0);
  EXPECT_EQ(C->FindRecordIndexByText(2, StrItem, "x", true, false, true), -1);
  EXPECT_EQ(C->FindRecordIndexByText(0, StrItem, "d", false, true, false), 4);
  EXPECT_EQ(C->FindRecordIndexByText(5, StrItem, "d", false, true, false), -1);
}

// --- Incremental search and locating ---------------------------------------------------

TEST_F(DataControllerTest, IncrementalSearchStartsAtTheFocusedRecord) {
  Fill({{1, "Alpha"}, {2, "Beta"}, {3, "Bravo"}});
  C->ChangeFocusedRowIndex(1);
  TcxDataControllerSearch* search = C->GetSearch();
  EXPECT_FALSE(search->Locate(StrItem, ""));
  EXPECT_FALSE(search->GetSearching());
  C->Log.clear();
  EXPECT_TRUE(search->Locate(StrItem, "br"));
  EXPECT_EQ(C->GetFocusedRecordIndex(), 2);
  EXPECT_TRUE(search->GetSearching());
  EXPECT_FALSE(search->LocateNext(true));
  EXPECT_TRUE(search->Locate(StrItem, "al"));
  EXPECT_EQ(C->GetFocusedRecordIndex(), 0) << "wraps to the top";
  C->Log.clear();
  C->ChangeFocusedRowIndex(1);
  EXPECT_FALSE(search->GetSearching()) << "a focus move ends the search";
  EXPECT_EQ(C->Only("search").size(), 1u);
  EXPECT_THROW(search->Locate(9, "a"), EcxInvalidDataControllerOperation);
}

TEST_F(DataControllerTest, KeyLocateAndValueReaders) {
  Fill({{1, "a"}, {2, "b"}, {3, "c"}});
  TcxDataControllerKeyLocateObject locate(C);
  locate.AddField(C->GetField(StrItem));
  EXPECT_EQ(locate.FindRecordIndex(), -1) << "nothing read yet";
  TcxValueDefUnboundReader reader;
  reader.SetValue(C->GetField(StrItem)->GetValueDef(), "b");
  locate.ReadData(&reader);
  EXPECT_EQ(locate.FindRecordIndex(), 1);

  reader.SetValue(C->GetField(IntItem)->GetValueDef(), 5);
  reader.SetValue(C->GetField(FloatItem)->GetValueDef(), 1.5);
  EXPECT_EQ(reader.GetCount(), 3);
  reader.Truncate(1);
  EXPECT_EQ(reader.GetValue(C->GetField(StrItem)->GetValueDef()).AsString(), "b");
  EXPECT_TRUE(VarIsNull(reader.GetValue(C->GetField(IntItem)->GetValueDef())));
}
