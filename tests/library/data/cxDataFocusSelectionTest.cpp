// Focus, selection and bookmark as the control sees them: which row is
// focused and selected after each user step, and the notices it receives.
#include <limits>

#include "DataControllerFixture.h"
#include "library/data/cxCustomDataFilter.h"
#include "platform/rtl/NumberText.h"

using Log = std::vector<std::string>;

namespace {

class FocusSelectionTest : public DataControllerTest {
 protected:
  void SetUp() override {
    DataControllerTest::SetUp();
    Fill({{50, "e"}, {10, "a"}, {40, "d"}, {20, "b"}, {30, "c"}});
  }
  // The records of the selected rows, in selection order.
  std::vector<Integer> SelectedRecords() {
    std::vector<Integer> out;
    for (Integer i = 0; i < C->GetSelectedCount(); ++i)
      out.push_back(C->GetRowInfo(C->GetSelectedRowIndex(i)).RecordIndex);
    return out;
  }
};

}  // namespace

TEST_F(FocusSelectionTest, SelectedRecordsStaySelectedWhenTheViewIsResorted) {
  C->SetMultiSelect(true);
  C->ChangeFocusedRowIndex(0);
  C->SelectRows(1, 2);  // records 1 and 2; focusing selects nothing here
  C->ChangeRowSelection(0, true);
  EXPECT_EQ(SelectedRecords(), std::vector<Integer>({0, 1, 2}));
  C->Log.clear();
  C->ChangeSorting(IntItem, soAscending);
  // Rows: 1(10) 3(20) 4(30) 2(40) 0(50).
  EXPECT_EQ(SelectedRecords(), std::vector<Integer>({1, 2, 0}));
  EXPECT_TRUE(C->IsRowSelected(0));
  EXPECT_TRUE(C->IsRowSelected(3));
  EXPECT_TRUE(C->IsRowSelected(4));
  EXPECT_EQ(C->GetFocusedRowIndex(), 4) << "the focused record moved to the end";
  // ForEachRow over the selection visits the rows in ascending order.
  std::vector<Integer> visited;
  C->ForEachRow(true, [&](Integer row, const TcxRowInfo&) { visited.push_back(row); });
  EXPECT_EQ(visited, std::vector<Integer>({0, 3, 4}));
}

TEST_F(FocusSelectionTest, FilteringDropsHiddenRecordsFromTheSelection) {
  C->SetMultiSelect(true);
  C->SelectAll();
  EXPECT_EQ(C->GetSelectedCount(), 5);
  C->OnFilterRecord = [this](TcxCustomDataController*, Integer r, bool& accept) {
    accept = C->GetValue(r, IntItem).AsInteger() >= 30;
  };
  C->Refresh();
  EXPECT_EQ(C->GetRowCount(), 3);
  EXPECT_EQ(SelectedRecords(), std::vector<Integer>({0, 2, 4}));
  // Deleting the selection deletes exactly the visible selected records.
  C->DeleteSelection();
  EXPECT_EQ(C->GetRecordCount(), 2);
  EXPECT_EQ(C->GetValue(0, IntItem).AsInteger(), 10);
  EXPECT_EQ(C->GetValue(1, IntItem).AsInteger(), 20);
}

TEST_F(FocusSelectionTest, AnchorSelectionExtendsOrReplaces) {
  C->SetMultiSelect(true);
  C->ChangeFocusedRowIndex(1);
  C->SetSelectionAnchor(1);
  C->SelectFromAnchor(3, false);
  EXPECT_EQ(SelectedRecords(), std::vector<Integer>({1, 2, 3}));
  C->SelectFromAnchor(0, false);
  EXPECT_EQ(SelectedRecords(), std::vector<Integer>({0, 1}));
  C->ChangeRowSelection(4, true);
  C->SelectFromAnchor(2, true);
  EXPECT_EQ(SelectedRecords(), std::vector<Integer>({0, 1, 2, 4}));
  EXPECT_TRUE(C->FocusSelectedRow(3));
  EXPECT_EQ(C->GetFocusedRowIndex(), 4);
  EXPECT_FALSE(C->FocusSelectedRow(9));
  EXPECT_EQ(C->GetFocusedRowIndex(), 4) << "a selected index that names no row moves nothing";
  // Switching multiple selection off leaves only the focused row selected.
  C->SetMultiSelect(false);
  EXPECT_EQ(C->GetSelectedCount(), 1);
  EXPECT_EQ(C->GetSelectedRowIndex(0), 4);
}

TEST_F(FocusSelectionTest, DeletingTheFocusedRecordFocusesItsNeighbour) {
  C->ChangeSorting(IntItem, soAscending);  // 1 3 4 2 0
  C->ChangeFocusedRowIndex(2);            // record 4 (30)
  C->DeleteFocused();
  EXPECT_EQ(C->GetRecordCount(), 4);
  EXPECT_EQ(C->GetFocusedRowIndex(), 2);
  EXPECT_EQ(C->GetValue(C->GetFocusedRecordIndex(), IntItem).AsInteger(), 40) << "the next row's record";
  C->GotoLast();
  C->DeleteFocused();
  EXPECT_EQ(C->GetValue(C->GetFocusedRecordIndex(), IntItem).AsInteger(), 40) << "the last row falls back";
  EXPECT_TRUE(C->IsEOF());
}

TEST_F(FocusSelectionTest, AnUnselectedFocusedRowSurvivesDeletingTheSelection) {
  C->SetMultiSelect(true);
  C->ChangeFocusedRowIndex(2);
  C->ClearSelection();
  C->ChangeRowSelection(0, true);
  C->ChangeRowSelection(4, true);
  C->DeleteSelection();
  EXPECT_EQ(C->GetRecordCount(), 3);
  EXPECT_EQ(C->GetValue(C->GetFocusedRecordIndex(), IntItem).AsInteger(), 40);
}

// Deleting many records walks the selection once for the list, not once a
// record: a long selection with most of its records deleted stays quick.
// The selected records that stay keep their selection, and a delete
// handler sees the selection as it stands after the records already gone.
TEST_F(FocusSelectionTest, DeletingAListCorrectsTheSelectionOnceForAllItsRecords) {
  C->BeginUpdate();
  C->SetRecordCount(0);
  for (Integer i = 0; i < 300; ++i) C->SetValue(C->AppendRecord(), IntItem, i);
  C->EndUpdate();
  C->SetMultiSelect(true);
  C->SelectRows(0, 149);
  ASSERT_EQ(C->GetSelectedCount(), 150);
  std::vector<Integer> gone;
  for (Integer r = 0; r < 300; r += 3) gone.push_back(r);
  TcxDataSelection* selection = C->GetDataControllerInfo()->GetSelection();
  const auto heard = selection->OnChanged;
  int corrections = 0;
  selection->OnChanged = [&] {
    ++corrections;
    heard();
  };
  C->DeleteRecords(gone);
  selection->OnChanged = heard;
  EXPECT_EQ(corrections, 1);
  std::vector<Integer> values, expected;
  for (Integer r : SelectedRecords()) values.push_back(C->GetValue(r, IntItem).AsInteger());
  for (Integer v = 0; v < 150; ++v)
    if (v % 3 != 0) expected.push_back(v);
  EXPECT_EQ(values, expected);

  // With a handler: before each record goes, the selected entries name the
  // records that are left, and their values are those still selected.
  C->SelectRows(0, C->GetRowCount() - 1);
  std::vector<std::string> seen;
  C->BeforeDelete = [&](TcxCustomDataController*, Integer ARecordIndex) {
    Integer selected = 0;
    for (Integer i = 0; i < selection->GetCount(); ++i) {
      const Integer r = selection->GetItem(i).RecordIndex;
      if (r < 0 || r >= C->GetRecordCount()) return seen.push_back("stale entry before " + std::to_string(ARecordIndex));
      ++selected;
    }
    if (selected != C->GetRecordCount()) seen.push_back("count before " + std::to_string(ARecordIndex));
  };
  // The handlers read the records as each delete left them.
  std::vector<std::string> read;
  C->AfterDelete = [&](TcxCustomDataController*) {
    read.push_back(std::to_string(C->GetRecordCount()) + ": " + VarToStr(C->GetValue(9, IntItem)) + " " +
                   VarToStr(C->GetValue(C->GetRecordCount() - 1, IntItem)));
  };
  C->DeleteRecords({0, 5, 9});
  C->BeforeDelete = nullptr;
  C->AfterDelete = nullptr;
  EXPECT_EQ(seen, std::vector<std::string>());
  EXPECT_EQ(read, std::vector<std::string>({"199: 16 299", "198: 17 299", "197: 19 299"}));
  EXPECT_EQ(C->GetSelectedCount(), C->GetRecordCount());
}

// Selecting a range above rows already selected (select all, or a shift
// click upwards that keeps the selection) adds the new rows at once, not
// one by one in front of the selected ones.
TEST_F(FocusSelectionTest, SelectingARangeAddsItsRowsAtOnce) {
  C->BeginUpdate();
  C->SetRecordCount(300);
  for (Integer i = 0; i < 300; ++i) C->SetValue(i, IntItem, i);
  C->EndUpdate();
  C->ChangeSorting(IntItem, soDescending);
  C->SetMultiSelect(true);
  C->ClearSelection();
  C->SelectRows(150, 299);
  C->ChangeRowSelection(20, true);
  TcxDataSelection* selection = C->GetDataControllerInfo()->GetSelection();
  const auto heard = selection->OnChanged;
  int changes = 0;
  selection->OnChanged = [&] {
    ++changes;
    heard();
  };
  C->SelectAll();
  selection->OnChanged = heard;
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(C->GetSelectedCount(), 300);
  for (Integer i = 0; i < 300; ++i) {
    ASSERT_EQ(C->GetSelectedRowIndex(i), i);
    ASSERT_EQ(C->GetRowInfo(i).RecordIndex, 299 - i);
  }
  // The entries name their records: a resort keeps them selected.
  C->ChangeSorting(IntItem, soAscending);
  EXPECT_EQ(C->GetSelectedCount(), 300);
}

TEST_F(FocusSelectionTest, MovingTheFocusPostsTheEditFirst) {
  C->ChangeFocusedRowIndex(1);
  C->SetEditValue(IntItem, 11, evsValue);
  std::vector<std::string> events;
  C->AfterPost = [&](TcxCustomDataController*) { events.push_back("post"); };
  C->GotoNext();
  EXPECT_EQ(events, Log({"post"}));
  EXPECT_FALSE(C->GetIsEditing());
  EXPECT_EQ(C->GetValue(1, IntItem).AsInteger(), 11);
  // Refocusing the same row is no move: no notice, no post.
  C->Log.clear();
  C->ChangeFocusedRowIndex(2);
  EXPECT_TRUE(C->Log.empty());
}

TEST_F(FocusSelectionTest, NavigationBeyondTheEndsIsClamped) {
  C->ChangeFocusedRowIndex(99);
  EXPECT_EQ(C->GetFocusedRowIndex(), 4);
  C->MoveBy(2);
  EXPECT_EQ(C->GetFocusedRowIndex(), 4);
  C->GotoFirst();
  C->GotoPrev();
  EXPECT_EQ(C->GetFocusedRowIndex(), 0);
  // Distances at the ends of Integer go as far as the rows go.
  C->ChangeFocusedRowIndex(2);
  C->MoveBy(std::numeric_limits<Integer>::max());
  EXPECT_EQ(C->GetFocusedRowIndex(), 4);
  C->MoveBy(std::numeric_limits<Integer>::min());
  EXPECT_EQ(C->GetFocusedRowIndex(), 0);
  C->ChangeFocusedRowIndex(-1);
  C->MoveBy(std::numeric_limits<Integer>::min());
  EXPECT_EQ(C->GetFocusedRowIndex(), 0);
  C->ChangeFocusedRowIndex(-1);
  EXPECT_EQ(C->GetFocusedRowIndex(), -1);
  EXPECT_EQ(C->GetSelectedCount(), 0);
  C->CheckFocusedRow();
  EXPECT_EQ(C->GetFocusedRowIndex(), 0);
  EXPECT_EQ(C->GetLastRecordIndex(), 4);
}

TEST_F(FocusSelectionTest, FocusNoticesDuringABracketAreDeliveredOnce) {
  C->Log.clear();
  C->BeginUpdate();
  C->ChangeFocusedRowIndex(1);
  C->ChangeFocusedRowIndex(3);
  C->ChangeFocusedRowIndex(2);
  C->EndUpdate();
  EXPECT_EQ(C->Only("focusrow"), Log({"focusrow -1>2"}));
  EXPECT_EQ(C->Only("focusrecord"), Log({"focusrecord -1>2"}));
}

TEST_F(FocusSelectionTest, FocusTopRowAfterSortingOption) {
  C->SetOptions(C->GetOptions() + dcoFocusTopRowAfterSorting);
  C->ChangeFocusedRowIndex(3);
  C->ChangeSorting(IntItem, soAscending);
  EXPECT_EQ(C->GetFocusedRowIndex(), 0);
  EXPECT_EQ(C->GetFocusedRecordIndex(), 1);
  // A data change that re-sorts is no user request: the focus stays put.
  C->ChangeFocusedRowIndex(2);
  C->SetValue(0, IntItem, 5);
  EXPECT_EQ(C->GetFocusedRecordIndex(), 4);
}

TEST_F(FocusSelectionTest, BookmarkLeavesWithItsFilteredRecord) {
  C->ChangeFocusedRowIndex(2);
  C->SaveBookmark();
  C->Log.clear();
  TcxDataFilterCriteria* filter = C->GetFilter();
  filter->AddItem(C->Items[static_cast<size_t>(IntItem)], foLess, 40, "40");
  filter->SetActive(true);
  EXPECT_FALSE(C->IsBookmarkAvailable()) << "its record is no longer shown";
  EXPECT_EQ(C->Only("bookmark").size(), 1u);
  C->ClearBookmark();
  EXPECT_EQ(C->Only("bookmark").size(), 1u) << "nothing to clear: no notice";
}

TEST_F(FocusSelectionTest, GroupRowsInTheSelectionAndRowValues) {
  C->SetMultiSelect(true);
  C->SetValue(1, StrItem, "e");  // records 0 and 1 share "e"
  C->GetGroups()->ChangeGrouping(StrItem, 0);
  C->ClearSelection();
  C->SelectAll();
  EXPECT_EQ(C->GetSelectedCount(), C->GetRowCount());
  const TcxRowInfo group = C->GetRowInfo(C->GetRowCount() - 1);
  Integer item = IntItem;
  EXPECT_EQ(C->GetRowDisplayText(group, item), "e");
  EXPECT_EQ(item, StrItem) << "a group row shows its grouping item";
  EXPECT_EQ(C->GetRowValue(group, IntItem).AsString(), "e");
  // Expanding the selected group keeps it selected; its data rows are not.
  C->GetGroups()->ChangeExpanding(C->GetRowCount() - 1, true, false);
  EXPECT_TRUE(C->IsRowSelected(C->GetRowCount() - 3));
  EXPECT_FALSE(C->IsRowSelected(C->GetRowCount() - 1));
  // Deleting the selection deletes the records of every selected group.
  C->DeleteSelection();
  EXPECT_EQ(C->GetRecordCount(), 0);
  EXPECT_EQ(C->GetRowCount(), 0);
  EXPECT_EQ(C->GetFocusedRowIndex(), -1);
}

TEST_F(FocusSelectionTest, AFilterThatHidesTheFocusedRecordFocusesTheFirstRowUnlessGridNoticesAreLocked) {
  TcxDataFilterCriteria* filter = C->GetFilter();
  auto hideFocused = [&](Integer ABelow) {
    filter->BeginUpdate();
    filter->Clear();
    filter->AddItem(C->Items[static_cast<size_t>(IntItem)], foLess, ABelow, IntToStr(ABelow));
    filter->SetActive(true);
    filter->EndUpdate();
  };
  // Record 0 (50) is focused; hiding it, the controller comes to rest on
  // the first row left.
  C->ChangeFocusedRowIndex(0);
  hideFocused(50);
  EXPECT_EQ(C->GetFocusedRowIndex(), 0);
  EXPECT_EQ(C->GetFocusedRecordIndex(), 1);

  // While the grid's notices are locked the provider is locating: the
  // focus stays unset for the locating code to place; the locks nest.
  filter->SetActive(false);
  C->ChangeFocusedRecordIndex(2);  // 40
  C->LockGridModeNotify();
  C->LockGridModeNotify();
  EXPECT_TRUE(C->GetProvider()->IsLocating());
  hideFocused(40);
  EXPECT_EQ(C->GetFocusedRowIndex(), -1);
  C->UnlockGridModeNotify();
  EXPECT_TRUE(C->GetProvider()->IsLocating());
  C->UnlockGridModeNotify();
  C->UnlockGridModeNotify();  // one too many changes nothing
  EXPECT_FALSE(C->GetProvider()->IsLocating());
  EXPECT_EQ(C->GetGridModeNotifyLockCount(), 0);
}
