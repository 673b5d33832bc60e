// A controller whose records belong to a data source: an in-memory table
// that hands out stable record handles and logs every change asked of it.
// The stories check what the control sees and what reaches the table.
#include "DataControllerFixture.h"
#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxCustomDataProvider.h"

using Strings = std::vector<std::string>;

namespace {

// Records addressed by a serial number that never repeats, so a handle
// of a deleted record is recognisably stale.
class MemoryTable : public TcxCustomDataSource {
 public:
  struct Row {
    TcxDataRecordHandle Id;
    std::vector<Variant> Values;
    Integer Cell = 0;  // the Int value in the form native comparison reads
  };

  // Reports its own appends, inserts and deletes through DataChanged, as a
  // source that also changes its records on its own initiative might.
  bool NotifiesOwnChanges = false;
  // Compares the Int column itself: 1 hands out its cells, 2 only claims to.
  int NativeCompare = 0;
  std::vector<Row> Rows;
  Strings Calls;
  // Handles asked for that the table does not hold.
  Strings Stale;

  TcxDataRecordHandle Add(int AInt, const std::string& AStr) {
    Rows.push_back({FNextId++, {Variant(AInt), Variant(AnsiString(AStr))}});
    return Rows.back().Id;
  }
  Integer Find(TcxDataRecordHandle AHandle) const {
    for (size_t i = 0; i < Rows.size(); ++i)
      if (Rows[i].Id == AHandle) return static_cast<Integer>(i);
    return -1;
  }
  // The Int column in table order.
  std::vector<int> Ints() const {
    std::vector<int> out;
    for (const Row& r : Rows) out.push_back(VarIsNull(r.Values[0]) ? -1 : r.Values[0].AsInteger());
    return out;
  }

  Integer GetRecordCount() override { return static_cast<Integer>(Rows.size()); }
  TcxDataRecordHandle GetRecordHandle(Integer ARecordIndex) override {
    if (ARecordIndex < 0 || ARecordIndex >= GetRecordCount()) {
      Stale.push_back("index " + std::to_string(ARecordIndex));
      return cxNullRecordHandle;
    }
    ++HandleReads;
    return Rows[static_cast<size_t>(ARecordIndex)].Id;
  }
  int HandleReads = 0;
  Variant GetValue(TcxDataRecordHandle ARecordHandle, TcxDataItemHandle AItemHandle) override {
    const Integer i = Lookup(ARecordHandle);
    return i < 0 ? Null() : Rows[static_cast<size_t>(i)].Values.at(static_cast<size_t>(AItemHandle));
  }
  void SetValue(TcxDataRecordHandle ARecordHandle, TcxDataItemHandle AItemHandle, const Variant& AValue) override {
    const Integer i = Lookup(ARecordHandle);
    Calls.push_back("set #" + std::to_string(ARecordHandle) + "." + std::to_string(AItemHandle) + "=" +
                    (VarIsNull(AValue) ? std::string("null") : VarToStr(AValue)));
    if (i >= 0) Rows[static_cast<size_t>(i)].Values.at(static_cast<size_t>(AItemHandle)) = AValue;
  }
  TcxDataRecordHandle AppendRecord() override {
    Rows.push_back({FNextId++, {Null(), Null()}});
    Calls.push_back("append #" + std::to_string(Rows.back().Id));
    const TcxDataRecordHandle id = Rows.back().Id;
    if (NotifiesOwnChanges) DataChanged();
    return id;
  }
  TcxDataRecordHandle InsertRecord(TcxDataRecordHandle ABefore) override {
    const Integer at = Lookup(ABefore);
    const TcxDataRecordHandle id = FNextId++;
    Rows.insert(Rows.begin() + (at < 0 ? GetRecordCount() : at), Row{id, {Null(), Null()}});
    Calls.push_back("insert #" + std::to_string(id) + " before #" + std::to_string(ABefore));
    if (NotifiesOwnChanges) DataChanged();
    return id;
  }
  void DeleteRecord(TcxDataRecordHandle ARecordHandle) override {
    const Integer i = Lookup(ARecordHandle);
    Calls.push_back("delete #" + std::to_string(ARecordHandle));
    if (i >= 0) Rows.erase(Rows.begin() + i);
    if (NotifiesOwnChanges) DataChanged();
  }
  void SetRecordCount(Integer ACount) override {
    Calls.push_back("count " + std::to_string(ACount));
    while (GetRecordCount() > ACount) Rows.pop_back();
    while (GetRecordCount() < ACount) Rows.push_back({FNextId++, {Null(), Null()}});
  }
  bool IsNativeCompare() override { return NativeCompare != 0; }
  bool GetInfoForCompare(TcxDataRecordHandle ARecordHandle, TcxDataItemHandle AItemHandle, const void*& P) override {
    if (NativeCompare != 1 || AItemHandle != 0) return TcxCustomDataSource::GetInfoForCompare(ARecordHandle, AItemHandle, P);
    ++NativeCompares;
    Row& row = Rows[static_cast<size_t>(Lookup(ARecordHandle))];
    if (VarIsNull(row.Values[0])) return true;
    row.Cell = row.Values[0].AsInteger();
    P = &row.Cell;
    return false;
  }
  int NativeCompares = 0;
  bool IsRecordIdSupported() override { return true; }
  Variant GetRecordId(TcxDataRecordHandle ARecordHandle) override {
    return Lookup(ARecordHandle) < 0 ? Null() : Variant(static_cast<Integer>(ARecordHandle));
  }

 private:
  Integer Lookup(TcxDataRecordHandle AHandle) {
    const Integer i = Find(AHandle);
    if (i < 0) Stale.push_back("#" + std::to_string(AHandle));
    return i;
  }
  TcxDataRecordHandle FNextId = 1;
};

class ProviderModeTest : public ::testing::Test {
 protected:
  RecordingController* C = nullptr;
  MemoryTable* T = nullptr;
  Integer IntItem = -1, StrItem = -1;

  void SetUp() override {
    C = New<RecordingController>(nullptr);
    IntItem = C->AddTypedItem(TcxIntegerValueType::Class());
    StrItem = C->AddTypedItem(TcxStringValueType::Class());
    T = New<MemoryTable>();
  }
  void TearDown() override {
    EXPECT_EQ(T->Stale, Strings()) << "the controller asked for records the table does not hold";
    C->Free();
    if (T) T->Free();
  }

  // Fills the table and attaches it.
  void Attach(const std::vector<std::pair<int, std::string>>& ARows) {
    for (const auto& [i, s] : ARows) T->Add(i, s);
    C->SetCustomDataSource(T);
    C->Log.clear();
    T->Calls.clear();
  }
  // The Int column as the controller sees its records, in record order.
  std::vector<int> Ints() {
    std::vector<int> out;
    for (Integer r = 0; r < C->GetRecordCount(); ++r) {
      const Variant v = C->GetValue(r, IntItem);
      out.push_back(VarIsNull(v) ? -1 : v.AsInteger());
    }
    return out;
  }
  // The Str column's display texts in row order.
  Strings RowTexts() {
    Strings out;
    for (Integer row = 0; row < C->GetRowCount(); ++row)
      out.push_back(C->GetDisplayText(C->GetRowInfo(row).RecordIndex, StrItem));
    return out;
  }
  // Every controller record holds the handle of the table's record at the
  // same position.
  void ExpectHandlesInStep() {
    ASSERT_EQ(C->GetRecordCount(), T->GetRecordCount());
    for (Integer r = 0; r < C->GetRecordCount(); ++r)
      EXPECT_EQ(C->GetRecordHandle(r), T->Rows[static_cast<size_t>(r)].Id) << "record " << r;
  }
};

}  // namespace

// --- Loading and reading ------------------------------------------------------------

TEST_F(ProviderModeTest, AttachingATableShowsItsRecordsValuesAndTexts) {
  T->Add(10, "ten");
  T->Add(20, "twenty");
  T->Rows.push_back({99, {Null(), Null()}});
  C->SetCustomDataSource(T);
  EXPECT_TRUE(C->IsProviderMode());
  EXPECT_FALSE(C->IsUnboundMode());
  EXPECT_EQ(C->GetRecordCount(), 3);
  EXPECT_EQ(C->GetRowCount(), 3);
  ExpectHandlesInStep();
  EXPECT_EQ(C->GetValue(1, IntItem).AsInteger(), 20);
  EXPECT_EQ(C->GetDisplayText(1, IntItem), "20");
  EXPECT_EQ(C->GetDisplayText(0, StrItem), "ten");
  EXPECT_TRUE(VarIsNull(C->GetValue(2, StrItem)));
  EXPECT_EQ(C->GetDisplayText(2, StrItem), "");
  EXPECT_EQ(C->GetRecordId(2).AsInteger(), 99);
  EXPECT_EQ(T->HandleReads, 3) << "attaching loads the records once";
  EXPECT_THROW(C->GetValue(3, IntItem), EcxInvalidDataControllerOperation);

  // Detaching leaves an empty unbound controller; the table keeps its rows.
  C->SetCustomDataSource(nullptr);
  EXPECT_FALSE(C->IsProviderMode());
  EXPECT_EQ(C->GetRecordCount(), 0);
  EXPECT_EQ(T->GetRecordCount(), 3);
}

TEST_F(ProviderModeTest, AttachingInsideAnUpdateLoadsOnceAtItsEnd) {
  T->Add(10, "a");
  T->Add(20, "b");
  C->ChangeSorting(IntItem, soDescending);
  C->BeginUpdate();
  C->SetCustomDataSource(T);
  C->EndUpdate();
  EXPECT_EQ(T->HandleReads, 2);
  EXPECT_EQ(RowTexts(), Strings({"b", "a"}));
}

TEST_F(ProviderModeTest, FreeingTheTableFirstDetachesTheController) {
  Attach({{1, "a"}, {2, "b"}});
  T->Free();
  T = New<MemoryTable>();  // for TearDown
  EXPECT_FALSE(C->IsProviderMode());
  EXPECT_EQ(C->GetRecordCount(), 0);
}

TEST_F(ProviderModeTest, SetValueWritesThroughToTheTableAndNotesTheField) {
  Attach({{1, "a"}, {2, "b"}});
  C->SetValue(1, StrItem, AnsiString("bee"));
  EXPECT_EQ(T->Calls, Strings({"set #2.1=bee"}));
  EXPECT_EQ(C->GetDisplayText(1, StrItem), "bee");
  EXPECT_EQ(C->Only("data"), Strings({"data field 1 1"}));
}

// --- Append, insert and delete through the controller -------------------------------

TEST_F(ProviderModeTest, AppendAddsARecordToTheTableAndPostKeepsIt) {
  Attach({{10, "a"}, {20, "b"}});
  C->Append();
  ASSERT_TRUE(C->GetEditState().Contains(dceInsert));
  EXPECT_EQ(T->Calls, Strings({"append #3"}));
  ASSERT_EQ(C->GetRecordCount(), 3);
  EXPECT_EQ(C->GetEditingRecordIndex(), 2);
  EXPECT_EQ(C->GetFocusedRecordIndex(), 2);
  ExpectHandlesInStep();

  EXPECT_TRUE(C->SetEditValue(IntItem, 30, evsValue));
  EXPECT_TRUE(C->SetEditValue(StrItem, "c", evsText));
  C->Post();
  EXPECT_TRUE(C->GetEditState().Empty());
  EXPECT_EQ(T->Calls, Strings({"append #3", "set #3.0=30", "set #3.1=c"}));
  EXPECT_EQ(T->Ints(), std::vector<int>({10, 20, 30}));
  EXPECT_EQ(Ints(), std::vector<int>({10, 20, 30}));
  EXPECT_EQ(RowTexts(), Strings({"a", "b", "c"}));
}

TEST_F(ProviderModeTest, PostingAnUntouchedAppendDeletesItFromTheTable) {
  Attach({{10, "a"}, {20, "b"}});
  C->ChangeFocusedRowIndex(0);
  C->Append();
  C->Post();
  EXPECT_EQ(T->Calls, Strings({"append #3", "delete #3"}));
  EXPECT_EQ(T->GetRecordCount(), 2);
  EXPECT_EQ(C->GetRecordCount(), 2);
  EXPECT_TRUE(C->GetEditState().Empty());
  ExpectHandlesInStep();
}

TEST_F(ProviderModeTest, InsertPutsTheNewRecordInFrontOfTheFocusedOne) {
  Attach({{10, "a"}, {20, "b"}, {30, "c"}});
  C->ChangeFocusedRecordIndex(1);
  C->Insert();
  EXPECT_EQ(T->Calls, Strings({"insert #4 before #2"}));
  EXPECT_EQ(C->GetEditingRecordIndex(), 1);
  EXPECT_EQ(C->GetFocusedRecordIndex(), 1);
  ExpectHandlesInStep();
  C->SetEditValue(IntItem, 15, evsValue);
  C->Post();
  EXPECT_EQ(T->Ints(), std::vector<int>({10, 15, 20, 30}));
  EXPECT_EQ(Ints(), std::vector<int>({10, 15, 20, 30}));
}

TEST_F(ProviderModeTest, CancellingAnInsertRemovesTheRecordFromTheTable) {
  Attach({{10, "a"}, {20, "b"}});
  C->ChangeFocusedRecordIndex(1);
  C->Insert();
  C->SetEditValue(IntItem, 15, evsValue);
  C->Cancel();
  EXPECT_EQ(T->Calls, Strings({"insert #3 before #2", "set #3.0=15", "delete #3"}));
  EXPECT_EQ(T->Ints(), std::vector<int>({10, 20}));
  ExpectHandlesInStep();
  EXPECT_EQ(C->GetFocusedRecordIndex(), 1);
}

TEST_F(ProviderModeTest, DeleteFocusedRemovesTheRecordAndKeepsTheHandlesInStep) {
  Attach({{10, "a"}, {20, "b"}, {30, "c"}, {40, "d"}});
  C->ChangeFocusedRecordIndex(1);
  C->DeleteFocused();
  EXPECT_EQ(T->Calls, Strings({"delete #2"}));
  EXPECT_EQ(T->Ints(), std::vector<int>({10, 30, 40}));
  ExpectHandlesInStep();
  EXPECT_EQ(Ints(), std::vector<int>({10, 30, 40}));
  EXPECT_EQ(C->GetDisplayText(C->GetFocusedRecordIndex(), StrItem), "c") << "the focus moves to the next record";
  // Records behind the deleted one still answer with their own values.
  C->SetValue(2, IntItem, 41);
  EXPECT_EQ(T->Ints(), std::vector<int>({10, 30, 41}));
}

TEST_F(ProviderModeTest, DeleteSelectionRemovesEverySelectedRecordOnce) {
  Attach({{10, "a"}, {20, "b"}, {30, "c"}, {40, "d"}, {50, "e"}});
  C->SetMultiSelect(true);
  C->ChangeFocusedRowIndex(0);
  C->ChangeRowSelection(1, true);
  C->ChangeRowSelection(3, true);
  C->DeleteSelection();
  EXPECT_EQ(T->Calls, Strings({"delete #4", "delete #2"}));
  EXPECT_EQ(T->Ints(), std::vector<int>({10, 30, 50}));
  ExpectHandlesInStep();
  EXPECT_EQ(RowTexts(), Strings({"a", "c", "e"}));
  EXPECT_EQ(C->GetSelectedCount(), 0);
}

// --- Editing existing records --------------------------------------------------------

TEST_F(ProviderModeTest, CancelPutsTheEditedRecordBackInTheTable) {
  Attach({{10, "a"}, {20, "b"}});
  C->ChangeFocusedRecordIndex(1);
  C->SetEditValue(IntItem, 21, evsValue);
  C->SetEditValue(IntItem, 22, evsValue);
  C->SetEditValue(StrItem, "", evsText);
  EXPECT_EQ(C->GetEditState(), TcxDataControllerEditState({dceEdit, dceChanging, dceModified}));
  EXPECT_TRUE(VarIsNull(T->Rows[1].Values[1])) << "an empty text is stored as null";
  C->Cancel();
  EXPECT_TRUE(C->GetEditState().Empty());
  EXPECT_EQ(T->Ints(), std::vector<int>({10, 20}));
  EXPECT_EQ(C->GetDisplayText(1, StrItem), "b");
  EXPECT_EQ(T->Rows[0].Values[0].AsInteger(), 10) << "the neighbour is untouched";
}

TEST_F(ProviderModeTest, PostingAnEditKeepsTheTablesValuesAndReportsTheRecord) {
  Attach({{10, "a"}, {20, "b"}});
  C->ChangeFocusedRecordIndex(0);
  C->SetEditValue(StrItem, "alpha", evsValue);
  C->Log.clear();
  C->Post();
  EXPECT_TRUE(C->GetEditState().Empty());
  EXPECT_EQ(C->GetDisplayText(0, StrItem), "alpha");
  EXPECT_EQ(C->Only("data"), Strings({"data record -1 0"}));
}

// --- The table changes on its own ----------------------------------------------------

TEST_F(ProviderModeTest, DataChangedReloadsTheTableAndEndsTheEdit) {
  Attach({{10, "a"}, {20, "b"}});
  C->ChangeFocusedRecordIndex(0);
  C->SetEditValue(IntItem, 11, evsValue);
  T->Rows.erase(T->Rows.begin() + 1);
  T->Add(30, "c");
  T->Add(40, "d");
  C->Log.clear();
  T->DataChanged();
  EXPECT_TRUE(C->GetEditState().Empty()) << "the edit ends without posting";
  EXPECT_EQ(Ints(), std::vector<int>({11, 30, 40}));
  ExpectHandlesInStep();
  EXPECT_EQ(C->Only("data"), Strings({"data total -1 -1"}));
}

TEST_F(ProviderModeTest, AFrozenProviderDeliversTheChangeAtUnfreeze) {
  Attach({{10, "a"}, {20, "b"}});
  C->ChangeFocusedRecordIndex(0);
  C->Edit();
  ASSERT_FALSE(C->GetEditState().Empty());
  C->GetProvider()->Freeze();
  T->Add(30, "c");
  T->DataChanged();
  EXPECT_TRUE(C->GetEditState().Empty()) << "the edit is reset at once";
  EXPECT_EQ(C->GetRecordCount(), 2) << "the controller has not heard yet";
  EXPECT_EQ(C->Only("data"), Strings());
  C->GetProvider()->Unfreeze();
  EXPECT_EQ(Ints(), std::vector<int>({10, 20, 30}));
  ExpectHandlesInStep();
  EXPECT_EQ(C->Only("data"), Strings({"data total -1 -1"}));
  // Nothing more is pending after that.
  C->Log.clear();
  C->GetProvider()->Freeze();
  C->GetProvider()->Unfreeze();
  EXPECT_EQ(C->Only("data"), Strings());
}

// --- Sorting and filtering over the table's values -----------------------------------

TEST_F(ProviderModeTest, SortingAndFilteringUseTheTablesValues) {
  Attach({{30, "c"}, {10, "a"}, {40, "d"}, {20, "b"}});
  C->ChangeSorting(IntItem, soDescending);
  EXPECT_EQ(RowTexts(), Strings({"d", "c", "b", "a"}));
  C->GetFilter()->AddItem(C->Items[static_cast<size_t>(IntItem)], foGreater, 15, "15");
  C->GetFilter()->SetActive(true);
  EXPECT_EQ(RowTexts(), Strings({"d", "c", "b"}));

  // A value written through the controller re-sorts and re-filters.
  C->SetValue(1, IntItem, 50);
  EXPECT_EQ(RowTexts(), Strings({"a", "d", "c", "b"}));
  C->SetValue(2, IntItem, 5);
  EXPECT_EQ(RowTexts(), Strings({"a", "c", "b"}));

  // So does a change the table reports itself.
  T->Rows[3].Values[0] = 60;
  T->DataChanged();
  EXPECT_EQ(RowTexts(), Strings({"b", "a", "c"}));
  C->GetFilter()->SetActive(false);
  C->ChangeSorting(IntItem, soNone);
  C->ChangeSorting(StrItem, soAscending);
  EXPECT_EQ(RowTexts(), Strings({"a", "b", "c", "d"}));
}

// --- Streams ------------------------------------------------------------------------

TEST_F(ProviderModeTest, TheStoreIsNotStreamedInProviderMode) {
  Attach({{10, "a"}});
  TMemoryStream ms;
  EXPECT_THROW(C->SaveToStream(&ms), EcxInvalidDataControllerOperation);
  EXPECT_EQ(ms.GetSize(), 0);
  EXPECT_THROW(C->LoadFromStream(&ms), EcxInvalidDataControllerOperation);
  EXPECT_EQ(T->GetRecordCount(), 1);
}

// --- A table that reports its own changes ---------------------------------------------

TEST_F(ProviderModeTest, ATableThatReportsItsOwnChangesWorksTheSameWay) {
  T->NotifiesOwnChanges = true;
  Attach({{10, "a"}, {20, "b"}, {30, "c"}});
  C->ChangeFocusedRecordIndex(1);
  C->Insert();
  EXPECT_EQ(C->GetEditingRecordIndex(), 1);
  ASSERT_TRUE(C->GetEditState().Contains(dceInsert));
  C->SetEditValue(IntItem, 15, evsValue);
  C->Post();
  EXPECT_EQ(T->Ints(), std::vector<int>({10, 15, 20, 30}));
  ExpectHandlesInStep();

  C->Append();
  EXPECT_EQ(C->GetEditingRecordIndex(), 4);
  C->SetEditValue(IntItem, 40, evsValue);
  C->Post();
  EXPECT_EQ(T->Ints(), std::vector<int>({10, 15, 20, 30, 40}));

  C->ChangeFocusedRecordIndex(0);
  C->DeleteFocused();
  EXPECT_EQ(T->Ints(), std::vector<int>({15, 20, 30, 40}));
  ExpectHandlesInStep();
  EXPECT_EQ(Ints(), std::vector<int>({15, 20, 30, 40}));
}

// --- More ways in -------------------------------------------------------------------

TEST_F(ProviderModeTest, AppendRecordAndInsertRecordAnswerTheNewRecordsIndex) {
  Attach({{10, "a"}, {20, "b"}});
  EXPECT_EQ(C->AppendRecord(), 2);
  EXPECT_EQ(C->InsertRecord(0), 0);
  EXPECT_EQ(T->Calls, Strings({"append #3", "insert #4 before #1"}));
  ExpectHandlesInStep();
  // Inserting at the end position has no record to go in front of: it appends.
  EXPECT_EQ(C->InsertRecord(C->GetRecordCount()), 4);
  EXPECT_EQ(T->Calls.back(), "append #5");
  ExpectHandlesInStep();
  EXPECT_EQ(C->GetRowCount(), 5);
  EXPECT_THROW(C->InsertRecord(6), EcxInvalidDataControllerOperation);
}

TEST_F(ProviderModeTest, InsertIntoAnEmptyTableAppends) {
  Attach({});
  C->Insert();
  EXPECT_EQ(T->Calls, Strings({"append #1"}));
  EXPECT_EQ(C->GetEditingRecordIndex(), 0);
  C->SetEditValue(StrItem, "first", evsValue);
  C->Post();
  EXPECT_EQ(RowTexts(), Strings({"first"}));
}

TEST_F(ProviderModeTest, SetRecordCountLetsTheTableResizeAndFollowsIt) {
  Attach({{10, "a"}, {20, "b"}, {30, "c"}});
  C->SetRecordCount(1);
  EXPECT_EQ(T->Calls, Strings({"count 1"}));
  ExpectHandlesInStep();
  EXPECT_EQ(RowTexts(), Strings({"a"}));
  C->SetRecordCount(3);
  ExpectHandlesInStep();
  EXPECT_EQ(RowTexts(), Strings({"a", "", ""}));
}

TEST_F(ProviderModeTest, TheNewItemRowPostsARealRecordIntoTheTable) {
  for (bool notifies : {false, true}) {
    SCOPED_TRACE(notifies ? "reporting table" : "quiet table");
    T->NotifiesOwnChanges = notifies;
    T->Rows.clear();
    C->SetCustomDataSource(nullptr);
    Attach({{10, "a"}});
    C->SetUseNewItemRowForEditing(true);
    C->SetNewItemRowFocused(true);
    C->SetEditValue(IntItem, 20, evsValue);
    C->SetEditValue(StrItem, "b", evsValue);
    EXPECT_EQ(T->Calls, Strings()) << "nothing reaches the table before the post";
    EXPECT_EQ(C->GetRecordCount(), 1);
    C->Post();
    ASSERT_EQ(T->GetRecordCount(), 2);
    EXPECT_EQ(T->Ints(), std::vector<int>({10, 20}));
    EXPECT_EQ(T->Rows[1].Values[1].AsString(), "b");
    ExpectHandlesInStep();
    EXPECT_EQ(RowTexts(), Strings({"a", "b"}));
    EXPECT_TRUE(C->GetEditState().Empty());
    EXPECT_LE(C->GetDataStorage()->GetInternalRecordCount(), 1);
    C->SetUseNewItemRowForEditing(false);
  }
}

// --- Native comparison ----------------------------------------------------------------

TEST_F(ProviderModeTest, ATableThatComparesNativelyHandsOutItsCells) {
  T->NativeCompare = 1;
  Attach({{30, "c"}, {10, "a"}, {20, "b"}});
  T->Rows.push_back({50, {Null(), Variant(AnsiString("n"))}});
  T->DataChanged();
  C->ChangeSorting(IntItem, soAscending);
  EXPECT_GT(T->NativeCompares, 0);
  EXPECT_EQ(RowTexts(), Strings({"n", "a", "b", "c"})) << "null sorts first";
}

TEST_F(ProviderModeTest, ATableThatOnlyClaimsNativeComparisonIsReported) {
  T->NativeCompare = 2;
  Attach({{30, "c"}, {10, "a"}});
  EXPECT_THROW(C->ChangeSorting(IntItem, soAscending), EcxInvalidDataControllerOperation);
  // The controller is not left locked: once the sorting is taken off, later
  // changes reach the control again.
  EXPECT_NO_THROW(C->ChangeSorting(IntItem, soNone));
  EXPECT_EQ(C->GetRowCount(), 2);
  C->Log.clear();
  C->SetValue(0, StrItem, AnsiString("cc"));
  EXPECT_FALSE(C->Only("data").empty());
}

// --- View state across the table's changes --------------------------------------------

TEST_F(ProviderModeTest, TheBookmarkFollowsItsRecordOrGoesWithIt) {
  for (bool notifies : {false, true}) {
    SCOPED_TRACE(notifies ? "reporting table" : "quiet table");
    T->NotifiesOwnChanges = notifies;
    T->Rows.clear();
    C->SetCustomDataSource(nullptr);
    Attach({{10, "a"}, {20, "b"}, {30, "c"}, {40, "d"}});
    C->ChangeFocusedRecordIndex(2);
    C->SaveBookmark();
    C->ChangeFocusedRecordIndex(0);
    C->DeleteFocused();
    ASSERT_TRUE(C->IsBookmarkAvailable());
    C->GotoBookmark();
    EXPECT_EQ(C->GetDisplayText(C->GetFocusedRecordIndex(), StrItem), "c");

    C->Log.clear();
    C->DeleteFocused();
    EXPECT_FALSE(C->IsBookmarkAvailable()) << "the bookmarked record is gone";
    EXPECT_EQ(C->Only("bookmark"), Strings({"bookmark"}));
  }
}

TEST_F(ProviderModeTest, ARecordInsertedInAGroupTakesTheGroupsValue) {
  Attach({{10, "x"}, {20, "y"}, {30, "x"}});
  C->SetOptions(C->GetOptions() + dcoAssignGroupingValues);
  C->GetGroups()->ChangeGrouping(StrItem, 0);
  C->GetGroups()->FullExpand();
  // Rows: x, 10, 30, y, 20.
  C->ChangeFocusedRowIndex(4);
  ASSERT_EQ(C->GetDisplayText(C->GetFocusedRecordIndex(), IntItem), "20");
  C->Insert();
  C->SetEditValue(IntItem, 25, evsValue);
  C->Post();
  EXPECT_EQ(T->Rows[1].Values[1].AsString(), "y");
  EXPECT_EQ(T->Ints(), std::vector<int>({10, 25, 20, 30}));
  ExpectHandlesInStep();
}
