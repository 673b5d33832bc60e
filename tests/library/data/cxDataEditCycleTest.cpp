// The edit cycle of one record seen from the control: what the rows, the
// focus and the edit state are after each step, and which notices arrive.
#include "DataControllerFixture.h"

using Log = std::vector<std::string>;

namespace {

class EditCycleTest : public DataControllerTest {
 protected:
  std::vector<int> Ints() {
    std::vector<int> out;
    for (Integer r = 0; r < C->GetRecordCount(); ++r) {
      const Variant v = C->GetValue(r, IntItem);
      out.push_back(VarIsNull(v) ? -1 : v.AsInteger());
    }
    return out;
  }
  std::vector<int> RowInts() {
    std::vector<int> out;
    for (Integer row = 0; row < C->GetRowCount(); ++row) {
      const Variant v = C->GetValue(C->GetRowInfo(row).RecordIndex, IntItem);
      out.push_back(VarIsNull(v) ? -1 : v.AsInteger());
    }
    return out;
  }
};

}  // namespace

// --- Cancel puts the record back as it was ----------------------------------------

// A record deleted in front of the one under edit moves it up one index, as
// an insert in front moves it down: the edit goes on with what was typed so
// far, Cancel still puts the record back as it was, and Post keeps the new
// values. Only deleting the edited record itself ends its edit.
TEST_F(EditCycleTest, DeletingARecordInFrontOfTheEditKeepsTheEditGoing) {
  Fill({{10, "a"}, {20, "b"}, {30, "c"}, {40, "d"}});
  C->ChangeFocusedRecordIndex(2);
  C->SetEditValue(IntItem, 99, evsValue);
  C->SetEditValue(StrItem, "zz", evsValue);
  ASSERT_TRUE(C->CanInitEditing(StrItem));
  ASSERT_EQ(C->GetEditState(), TcxDataControllerEditState({dceEdit, dceChanging, dceModified}));

  C->DeleteRecord(0);
  EXPECT_EQ(C->GetEditState(), TcxDataControllerEditState({dceEdit, dceChanging, dceModified}))
      << "the edit and what the editor holds go on";
  EXPECT_EQ(C->GetEditingRecordIndex(), 1);
  EXPECT_EQ(C->GetFocusedRecordIndex(), 1);
  EXPECT_EQ(C->GetEditValue(IntItem, evsValue).AsInteger(), 99);
  EXPECT_EQ(VarToStr(C->GetEditValue(StrItem, evsValue)), "zz");
  EXPECT_EQ(Ints(), std::vector<int>({20, 99, 40}));
  C->Cancel();
  EXPECT_EQ(Ints(), std::vector<int>({20, 30, 40})) << "the edited record itself is put back";
  EXPECT_EQ(C->GetDisplayText(1, StrItem), "c");

  // Again, now posted; a delete behind the edit leaves its index alone.
  C->ChangeFocusedRecordIndex(1);
  C->SetEditValue(IntItem, 31, evsValue);
  C->DeleteRecord(2);
  EXPECT_EQ(C->GetEditingRecordIndex(), 1);
  C->DeleteRecord(0);
  EXPECT_EQ(C->GetEditingRecordIndex(), 0);
  EXPECT_TRUE(C->GetEditState().Contains(dceModified));
  C->Post();
  EXPECT_TRUE(C->GetEditState().Empty());
  EXPECT_EQ(Ints(), std::vector<int>({31}));
  EXPECT_EQ(C->GetDisplayText(0, StrItem), "c");

  // The edited record itself deleted: its edit ends, nothing to cancel.
  Fill({{50, "e"}});
  C->ChangeFocusedRecordIndex(1);
  C->SetEditValue(IntItem, 51, evsValue);
  C->DeleteRecord(1);
  EXPECT_FALSE(C->GetIsEditing());
  EXPECT_EQ(C->GetProvider()->GetSavedRecordIndex(), 0);
  C->Cancel();
  EXPECT_EQ(Ints(), std::vector<int>({31}));
}

TEST_F(EditCycleTest, CancelAfterAnInsertInFrontOfTheEditedRecordRestoresTheRightRecord) {
  Fill({{10, "a"}, {20, "b"}});
  C->ChangeFocusedRecordIndex(1);
  C->SetEditValue(IntItem, 77, evsValue);
  C->InsertRecord(0);
  C->SetValue(0, IntItem, 5);
  EXPECT_EQ(Ints(), std::vector<int>({5, 10, 77}));
  C->Cancel();
  EXPECT_EQ(Ints(), std::vector<int>({5, 10, 20}));
}

TEST_F(EditCycleTest, DeletingTheInsertedRecordLeavesNoInsertBehind) {
  Fill({{10, "a"}, {20, "b"}});
  C->Append();
  ASSERT_TRUE(C->GetEditState().Contains(dceInsert));
  C->SetEditValue(IntItem, 30, evsValue);
  C->DeleteRecord(2);
  EXPECT_TRUE(C->GetEditState().Empty()) << "no insert of a record that is gone";
  EXPECT_EQ(C->GetRecordCount(), 2);
  // The next Append starts a fresh record rather than reusing a ghost.
  C->Append();
  EXPECT_EQ(C->GetRecordCount(), 3);
  C->SetEditValue(IntItem, 40, evsValue);
  C->Post();
  EXPECT_EQ(Ints(), std::vector<int>({10, 20, 40}));
  // Cancel of a plain edit later must not resurrect anything.
  C->ChangeFocusedRecordIndex(0);
  C->SetEditValue(IntItem, 11, evsValue);
  C->Cancel();
  EXPECT_EQ(Ints(), std::vector<int>({10, 20, 40}));
}

// --- Append, Insert and Post --------------------------------------------------------

TEST_F(EditCycleTest, AppendedRecordIsPostedWhereTheUserSawIt) {
  Fill({{30, "c"}, {10, "a"}, {20, "b"}});
  C->ChangeSorting(IntItem, soAscending);
  EXPECT_EQ(RowInts(), std::vector<int>({10, 20, 30}));
  C->Log.clear();
  C->Append();
  EXPECT_EQ(C->GetRecordCount(), 4);
  EXPECT_EQ(C->GetFocusedRowIndex(), 3) << "the new record shows last";
  EXPECT_EQ(C->GetFocusedRecordIndex(), 3);
  C->SetEditValue(IntItem, 15, evsValue);
  EXPECT_EQ(C->GetFocusedRowIndex(), 3) << "still last while being edited";
  C->Post();
  EXPECT_EQ(RowInts(), std::vector<int>({10, 15, 20, 30}));
  EXPECT_EQ(C->GetFocusedRecordIndex(), 3);
  EXPECT_EQ(C->GetFocusedRowIndex(), 1);
  ASSERT_FALSE(C->Only("data").empty());
  EXPECT_EQ(C->Only("data").back(), "data record -1 3");
}

TEST_F(EditCycleTest, InsertWithoutAFocusedRowGoesInFront) {
  Fill({{10, "a"}, {20, "b"}});
  ASSERT_EQ(C->GetFocusedRowIndex(), -1);
  C->Insert();
  EXPECT_EQ(C->GetRecordCount(), 3);
  EXPECT_EQ(C->GetEditingRecordIndex(), 0);
  EXPECT_EQ(C->GetFocusedRecordIndex(), 0);
  EXPECT_EQ(C->GetProvider()->GetNextNeighbourRecordIndex(), 1) << "the record that moved down";
  C->Cancel();
  EXPECT_EQ(Ints(), std::vector<int>({10, 20}));
  EXPECT_EQ(C->GetRecordCount(), 2);
}

TEST_F(EditCycleTest, AppendWhileEditingAModifiedRecordPostsItFirst) {
  Fill({{10, "a"}, {20, "b"}});
  C->ChangeFocusedRecordIndex(0);
  C->SetEditValue(IntItem, 11, evsValue);
  std::vector<std::string> events;
  C->BeforePost = [&](TcxCustomDataController*) { events.push_back("beforepost"); };
  C->AfterPost = [&](TcxCustomDataController*) { events.push_back("afterpost"); };
  C->BeforeInsert = [&](TcxCustomDataController*) { events.push_back("beforeinsert"); };
  C->AfterInsert = [&](TcxCustomDataController*) { events.push_back("afterinsert"); };
  C->OnNewRecord = [&](TcxCustomDataController*, Integer r) { events.push_back("new " + std::to_string(r)); };
  C->Append();
  EXPECT_EQ(events, Log({"beforepost", "afterpost", "beforeinsert", "new 2", "afterinsert"}));
  C->Cancel();
  EXPECT_EQ(Ints(), std::vector<int>({11, 20})) << "the posted value stays after the insert is cancelled";
}

TEST_F(EditCycleTest, EditStateFlagsFollowTheCycle) {
  Fill({{10, "a"}});
  C->ChangeFocusedRecordIndex(0);
  EXPECT_TRUE(C->GetEditState().Empty());
  C->Edit();
  EXPECT_EQ(C->GetEditState(), TcxDataControllerEditState({dceEdit}));
  EXPECT_TRUE(C->CanInitEditing(IntItem));
  EXPECT_TRUE(C->GetEditState().Contains(dceChanging));
  C->PostEditingData();
  EXPECT_FALSE(C->GetEditState().Contains(dceChanging));
  C->SetEditValue(IntItem, 5, evsValue);
  EXPECT_TRUE(C->GetEditState().Contains(dceModified));
  C->Post();
  EXPECT_TRUE(C->GetEditState().Empty());
  EXPECT_EQ(C->GetValue(0, IntItem).AsInteger(), 5);
}

TEST_F(EditCycleTest, EmptyTextEditOfANumberStoresNull) {
  Fill({{10, "a"}});
  C->ChangeFocusedRecordIndex(0);
  C->SetEditValue(IntItem, "", evsText);
  EXPECT_TRUE(VarIsNull(C->GetValue(0, IntItem)));
  EXPECT_EQ(C->GetDisplayText(0, IntItem), "");
  C->SetEditValue(IntItem, "12", evsText);
  EXPECT_EQ(C->GetValue(0, IntItem).AsInteger(), 12);
  C->Cancel();
  EXPECT_EQ(C->GetValue(0, IntItem).AsInteger(), 10);
}

// --- The new-item row ------------------------------------------------------------------

TEST_F(EditCycleTest, NewItemRowEditsAHiddenRecordAndPostAppendsACopy) {
  Fill({{10, "a"}, {20, "b"}});
  C->SetUseNewItemRowForEditing(true);
  C->SetNewItemRowFocused(true);
  EXPECT_TRUE(C->GetNewItemRowFocused());
  EXPECT_EQ(C->GetFocusedRowIndex(), -1);
  EXPECT_TRUE(VarIsNull(C->GetEditValue(IntItem, evsValue))) << "nothing to show before the edit starts";

  C->SetEditValue(IntItem, 30, evsValue);
  C->SetEditValue(StrItem, "c", evsValue);
  EXPECT_TRUE(C->GetEditState().Contains(dceInsert));
  EXPECT_EQ(C->GetRecordCount(), 2) << "the new-item record is not one of the records";
  EXPECT_EQ(C->GetRowCount(), 2);
  EXPECT_EQ(C->GetEditValue(IntItem, evsValue).AsInteger(), 30);

  C->Log.clear();
  C->Post();
  EXPECT_EQ(C->GetRecordCount(), 3);
  EXPECT_EQ(Ints(), std::vector<int>({10, 20, 30}));
  EXPECT_EQ(C->GetDisplayText(2, StrItem), "c");
  ASSERT_FALSE(C->Only("data").empty());
  const std::string last = C->Only("data").back();
  EXPECT_TRUE(last == "data record -1 2" || last == "data total -1 2") << last;
  // At most the (reusable) hidden record of the still focused new-item row.
  EXPECT_LE(C->GetDataStorage()->GetInternalRecordCount(), 1);
  EXPECT_EQ(C->GetProvider()->GetSavedRecordIndex(), 0);

  // Cancelling a second new-item entry leaves the records untouched.
  C->SetNewItemRowFocused(true);
  C->SetEditValue(IntItem, 40, evsValue);
  C->Cancel();
  EXPECT_EQ(Ints(), std::vector<int>({10, 20, 30}));
  EXPECT_LE(C->GetDataStorage()->GetInternalRecordCount(), 1);
  // Leaving the new-item row drops its hidden record.
  C->ChangeFocusedRowIndex(0);
  EXPECT_FALSE(C->GetNewItemRowFocused());
  EXPECT_EQ(C->GetRecordCount(), 3);
}

TEST_F(EditCycleTest, InsertOnNewItemRowFocusingStartsARecord) {
  Fill({{10, "a"}});
  C->SetOptions(C->GetOptions() + dcoInsertOnNewItemRowFocusing);
  C->SetUseNewItemRowForEditing(true);
  C->SetNewItemRowFocused(true);
  EXPECT_TRUE(C->GetEditState().Contains(dceInsert));
  // Leaving the new-item row without typing drops the empty record.
  C->ChangeFocusedRowIndex(0);
  EXPECT_FALSE(C->GetNewItemRowFocused());
  EXPECT_TRUE(C->GetEditState().Empty());
  EXPECT_EQ(C->GetRecordCount(), 1);
}

// --- Grouped inserts take the group's values ---------------------------------------------

TEST_F(EditCycleTest, InsertIntoAGroupTakesTheGroupValues) {
  Fill({{1, "a"}, {2, "b"}, {1, "c"}});
  C->SetOptions(C->GetOptions() + dcoAssignGroupingValues);
  C->GetGroups()->ChangeGrouping(IntItem, 0);
  C->GetGroups()->FullExpand();
  C->ChangeFocusedRecordIndex(1);  // in group 2
  C->Insert();
  const Integer r = C->GetEditingRecordIndex();
  ASSERT_GE(r, 0);
  EXPECT_EQ(C->GetValue(r, IntItem).AsInteger(), 2);
  C->SetEditValue(StrItem, "new", evsValue);
  C->Post();
  C->GetGroups()->FullExpand();
  EXPECT_EQ(Rows(), std::vector<std::string>({"g0:1", "0", "3", "g0:2", "1", "2"}));
}

// --- Values outside the edit ----------------------------------------------------------------

TEST_F(EditCycleTest, SetValueOutsideAnEditRefreshesASortedView) {
  Fill({{30, "c"}, {10, "a"}, {20, "b"}});
  C->ChangeSorting(IntItem, soAscending);
  C->ChangeFocusedRecordIndex(1);
  C->Log.clear();
  C->SetValue(1, IntItem, 40);
  EXPECT_EQ(RowInts(), std::vector<int>({20, 30, 40}));
  EXPECT_EQ(C->GetFocusedRecordIndex(), 1);
  EXPECT_EQ(C->GetFocusedRowIndex(), 2) << "the focus went along with the record";
  EXPECT_EQ(C->Only("focusrow"), Log({"focusrow 0>2"}));
}

TEST_F(EditCycleTest, CopyRecordCopiesEveryValue) {
  Fill({{10, "a"}, {20, "b"}});
  C->SetValue(0, FloatItem, 1.5);
  C->CopyRecord(0, 1);
  EXPECT_EQ(C->GetValue(1, IntItem).AsInteger(), 10);
  EXPECT_EQ(C->GetDisplayText(1, StrItem), "a");
  EXPECT_EQ(C->GetValue(1, FloatItem).AsDouble(), 1.5);
}

TEST_F(EditCycleTest, SettingTheRecordCountKeepsOrDropsTheTail) {
  Fill({{10, "a"}, {20, "b"}, {30, "c"}});
  C->SetMultiSelect(true);
  C->SelectAll();
  C->ChangeFocusedRowIndex(2);
  C->SaveBookmark();
  C->SetRecordCount(1);
  EXPECT_EQ(Ints(), std::vector<int>({10}));
  EXPECT_EQ(C->GetRowCount(), 1);
  EXPECT_FALSE(C->IsBookmarkAvailable()) << "the bookmarked record went away";
  EXPECT_LE(C->GetSelectedCount(), 1);
  EXPECT_LE(C->GetFocusedRowIndex(), 0);
  C->SetRecordCount(3);
  EXPECT_EQ(Ints(), std::vector<int>({10, -1, -1})) << "new records start empty";
}
