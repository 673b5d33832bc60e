#include "DataControllerFixture.h"
#include "library/data/cxCustomDataFilter.h"

using Log = std::vector<std::string>;

// --- The front end's value road ---------------------------------------------

TEST_F(DataControllerTest, OneRecordValueGridTakesValuesThroughTheEditCycle) {
  C->AppendRecord();
  C->ChangeFocusedRecordIndex(0);
  ASSERT_EQ(C->GetFocusedRecordIndex(), 0);
  C->Log.clear();

  // Outside an edit: stored at once, one field notice.
  C->SetValue(0, IntItem, 42);
  EXPECT_EQ(C->GetDisplayText(0, IntItem), "42");
  EXPECT_EQ(C->Only("data"), Log({"data field 0 0"}));

  // While editing: the edit path, then Post ends the edit and notes the record.
  C->Log.clear();
  EXPECT_TRUE(C->SetEditValue(StrItem, "abc", evsValue));
  EXPECT_TRUE(C->GetEditState().Contains(dceEdit));
  EXPECT_TRUE(C->GetEditState().Contains(dceModified));
  EXPECT_EQ(C->GetDisplayText(0, StrItem), "abc");
  EXPECT_EQ(C->GetEditValue(StrItem, evsValue).AsString(), "abc");
  C->SetEditValue(FloatItem, 2.5, evsValue);
  EXPECT_EQ(C->GetDisplayText(0, FloatItem), "2.5");
  C->Post();
  EXPECT_TRUE(C->GetEditState().Empty());
  EXPECT_EQ(C->GetDisplayText(0, StrItem), "abc");
  EXPECT_EQ(C->Only("data"), Log({"data field 1 0", "data field 2 0", "data record -1 0"}));
  EXPECT_EQ(C->Only("updaterecord"), Log({"updaterecord 0"}));

  // Cancel puts back every value the edit changed.
  C->SetEditValue(IntItem, 7, evsValue);
  C->SetEditValue(StrItem, "zzz", evsValue);
  C->SetEditValue(StrItem, "yyy", evsValue);
  C->Cancel();
  EXPECT_EQ(C->GetValue(0, IntItem).AsInteger(), 42);
  EXPECT_EQ(C->GetDisplayText(0, StrItem), "abc");
  EXPECT_FALSE(C->GetIsEditing());

  // Text edits: an empty text is null, an empty value is an empty string.
  C->SetEditValue(StrItem, "", evsText);
  EXPECT_TRUE(VarIsNull(C->GetValue(0, StrItem)));
  C->SetEditValue(StrItem, "", evsValue);
  EXPECT_EQ(C->GetValue(0, StrItem).VType(), varString);
  C->Post();
  EXPECT_EQ(C->GetRecordCount(), 1);
}

TEST_F(DataControllerTest, RetypingAnItemConvertsWhatItHolds) {
  C->AppendRecord();
  C->SetValue(0, StrItem, "12");
  C->ChangeValueTypeClass(StrItem, TcxIntegerValueType::Class());
  EXPECT_EQ(C->GetItemValueTypeClass(StrItem), TcxIntegerValueType::Class());
  C->SetValue(0, StrItem, "13");
  EXPECT_EQ(C->GetValue(0, StrItem).AsInteger(), 13);
}

// A retyped item's column moves to the end of the records, the edit copies'
// twin with it, whichever column it was (the last one stays where it is);
// the records stay laid out end to end and the other items keep theirs.
TEST_F(DataControllerTest, ARetypedItemTakesTheLastColumn) {
  Fill({{1, "12"}, {2, "x"}});
  TcxValueDefs* defs = C->GetField(IntItem)->GetValueDef()->GetValueDefs();
  const TcxInternalValueDefs* twins = defs->GetDataStorage()->GetInternalValueDefs();
  auto last = [&](Integer AItem) {
    const TcxValueDef* def = C->GetField(AItem)->GetValueDef();
    return defs->IndexOf(def) == defs->GetCount() - 1 &&
           twins->IndexOf(twins->FindByLinkObject(def)) == twins->GetCount() - 1;
  };
  auto endToEnd = [](const TcxValueDefs* ADefs) {
    Integer offset = ADefs->GetStartOffset();
    for (Integer i = 0; i < ADefs->GetCount(); ++i) {
      if (ADefs->GetItem(i)->GetOffset() != offset) return false;
      offset += ADefs->GetItem(i)->GetBufferSize();
    }
    return ADefs->GetRecordSize() == offset;
  };
  C->ChangeValueTypeClass(StrItem, TcxIntegerValueType::Class());
  EXPECT_TRUE(last(StrItem));
  EXPECT_EQ(C->GetValue(0, StrItem).AsInteger(), 12);
  EXPECT_TRUE(VarIsNull(C->GetValue(1, StrItem)));
  C->ChangeValueTypeClass(StrItem, TcxStringValueType::Class());
  EXPECT_TRUE(last(StrItem));
  EXPECT_EQ(C->GetValue(0, StrItem).AsString(), "12");
  EXPECT_TRUE(endToEnd(defs));
  EXPECT_TRUE(endToEnd(twins));
  for (Integer r : {0, 1}) EXPECT_EQ(C->GetValue(r, IntItem).AsInteger(), r + 1);
  C->SetValue(1, StrItem, "y");
  EXPECT_EQ(C->GetValue(1, StrItem).AsString(), "y");
  // An item edited in place keeps its edit copy in the twin column.
  C->ChangeFocusedRecordIndex(1);
  EXPECT_TRUE(C->SetEditValue(StrItem, "z", evsValue));
  C->Post();
  EXPECT_EQ(C->GetValue(1, StrItem).AsString(), "z");
}

// --- Change notification -----------------------------------------------------

TEST_F(DataControllerTest, NotedChangesWidenWithinABracket) {
  Fill({{1, "a"}, {2, "b"}});
  C->Log.clear();
  C->BeginUpdate();
  C->SetValue(0, IntItem, 5);
  C->SetValue(0, StrItem, "x");
  C->EndUpdate();
  EXPECT_EQ(C->Only("data"), Log({"data record -1 0"}));

  C->Log.clear();
  C->BeginUpdate();
  C->SetValue(1, IntItem, 5);
  C->SetValue(1, IntItem, 6);
  C->EndUpdate();
  EXPECT_EQ(C->Only("data"), Log({"data field 0 1"}));

  C->Log.clear();
  C->BeginUpdate();
  C->SetValue(0, IntItem, 1);
  C->SetValue(1, IntItem, 2);
  C->EndUpdate();
  EXPECT_EQ(C->Only("data"), Log({"data total 0 1"}));

  // Two records, then the second again: the first record's change must not
  // be narrowed away to a field notice of the second.
  C->Log.clear();
  C->BeginUpdate();
  C->SetValue(0, IntItem, 3);
  C->SetValue(1, IntItem, 3);
  C->SetValue(1, IntItem, 4);
  C->EndUpdate();
  ASSERT_EQ(C->Only("data").size(), 1u);
  EXPECT_EQ(C->Only("data")[0].substr(0, 10), "data total");

  // Two fields of one record, then the first again: still a record notice.
  C->Log.clear();
  C->BeginUpdate();
  C->SetValue(0, IntItem, 8);
  C->SetValue(0, StrItem, "q");
  C->SetValue(0, IntItem, 9);
  C->EndUpdate();
  EXPECT_EQ(C->Only("data"), Log({"data record -1 0"}));
}

TEST_F(DataControllerTest, BracketsDeliverOnceInTheFixedOrder) {
  Fill({{1, "a"}, {2, "b"}, {3, "c"}});
  C->Log.clear();
  C->BeginUpdate();
  C->BeginUpdate();
  C->EndUpdate();
  EXPECT_TRUE(C->Log.empty());
  C->EndUpdate();
  EXPECT_TRUE(C->Log.empty()) << "nothing pending, nothing delivered";

  C->SetMultiSelect(true);
  C->Log.clear();
  C->BeginUpdate();
  C->SetValue(1, IntItem, 9);
  C->ChangeFocusedRowIndex(2);
  C->ChangeRowSelection(0, true);
  C->SaveBookmark();
  C->ChangeSorting(IntItem, soDescending);
  EXPECT_TRUE(C->Log.empty());
  C->EndUpdate();
  // Data (which implies the layout), focus, selection, bookmark, then the
  // sorting event.
  std::vector<std::string> kinds;
  for (const std::string& s : C->Log) kinds.push_back(s.substr(0, s.find(' ')));
  EXPECT_EQ(kinds, Log({"data", "focusrow", "focusrecord", "selection", "bookmark"}));
}

TEST_F(DataControllerTest, ListenersAndEventsHearDataChanges) {
  Fill({{1, "a"}});
  std::vector<std::string> heard;
  TObject listener;
  TNotifyEvent event = [&](TObject*) { heard.push_back("listener"); };
  C->AddDataChangedListener(&listener, event);
  C->OnRecordChanged = [&](TcxCustomDataController*, Integer r, Integer i) {
    heard.push_back("record " + std::to_string(r) + " " + std::to_string(i));
  };
  C->OnDataChanged = [&](TcxCustomDataController*) { heard.push_back("data"); };
  C->SetValue(0, StrItem, "b");
  EXPECT_EQ(heard, Log({"record 0 1", "data", "listener"}));

  TNotifyEvent other = [](TObject*) {};
  C->RemoveDataChangedListener(&listener, other);  // unknown: nothing happens
  heard.clear();
  C->SetValue(0, StrItem, "c");
  EXPECT_EQ(heard.size(), 3u);
  C->RemoveDataChangedListener(&listener, event);
  heard.clear();
  C->SetValue(0, StrItem, "d");
  EXPECT_EQ(heard, Log({"record 0 1", "data"}));
}

TEST_F(DataControllerTest, AThrowingControlDoesNotLeaveTheBracketRaised) {
  Fill({{1, "a"}});
  C->BeforePost = [](TcxCustomDataController*) { throw EAbort("stop"); };
  C->ChangeFocusedRowIndex(0);
  C->SetEditValue(IntItem, 5, evsValue);
  EXPECT_THROW(C->Post(), EAbort);
  EXPECT_EQ(C->GetLockCount(), 0);
  C->BeforePost = nullptr;
  C->Log.clear();
  C->Post();
  EXPECT_FALSE(C->Only("data").empty());
}

TEST_F(DataControllerTest, AControllerFreedDuringPostIsNotTouchedAfterwards) {
  Fill({{1, "a"}});
  C->ChangeFocusedRowIndex(0);
  C->SetEditValue(IntItem, 5, evsValue);
  C->AfterPost = [this](TcxCustomDataController*) {
    TcxCustomDataController* c = C;
    C = nullptr;
    c->Free();  // frees this handler too: nothing after this line
  };
  C->Post();  // the sanitizer catches any use after the free
  EXPECT_EQ(C, nullptr);
  C = New<RecordingController>(nullptr);
}

// --- Records and values --------------------------------------------------------

TEST_F(DataControllerTest, RecordRangesAreCheckedBeforeAnythingChanges) {
  Fill({{1, "a"}, {2, "b"}});
  EXPECT_THROW(C->GetValue(-1, 0), EcxInvalidDataControllerOperation);
  EXPECT_THROW(C->SetValue(-1, 0, 5), EcxInvalidDataControllerOperation);
  EXPECT_THROW(C->GetValue(2, 0), EcxInvalidDataControllerOperation);
  EXPECT_THROW(C->GetValue(0, 3), EcxInvalidDataControllerOperation);
  try {
    C->GetValue(0, -1);
  } catch (const EcxInvalidDataControllerOperation& e) {
    EXPECT_EQ(e.GetMessage(), "ItemIndex out of range");
  }
  EXPECT_EQ(C->GetDataStorage()->GetInternalRecordCount(), 0) << "a check allocates nothing";
  EXPECT_THROW(C->InsertRecord(3), EcxInvalidDataControllerOperation);
  EXPECT_THROW(C->InsertRecord(-1), EcxInvalidDataControllerOperation);
  EXPECT_EQ(C->InsertRecord(2), 2);
  EXPECT_EQ(C->GetRecordCount(), 3);
  EXPECT_THROW(C->GetRecordId(-1), EcxInvalidDataControllerOperation);
  EXPECT_TRUE(VarIsNull(C->GetRecordId(0)));
}

TEST_F(DataControllerTest, RecordCountsAndDeletions) {
  for (int i = 0; i < 6; ++i) C->AppendRecord();
  for (int i = 0; i < 6; ++i) C->SetValue(i, IntItem, i * 10);
  C->DeleteRecords({5, 3, 5});
  EXPECT_EQ(C->GetRecordCount(), 4);
  std::vector<int> left;
  for (int i = 0; i < 4; ++i) left.push_back(C->GetValue(i, IntItem).AsInteger());
  EXPECT_EQ(left, std::vector<int>({0, 10, 20, 40}));
  // A list naming a record that is not there deletes nothing.
  for (const std::vector<Integer>& bad : {std::vector<Integer>{-1, 1, 2}, std::vector<Integer>{0, 4}}) {
    EXPECT_THROW(C->DeleteRecords(bad), EcxInvalidDataControllerOperation);
    EXPECT_EQ(C->GetRecordCount(), 4);
  }

  C->Log.clear();
  C->SetRecordCount(-5);
  EXPECT_EQ(C->GetRecordCount(), 0);
  EXPECT_EQ(C->Only("data"), Log({"data deleted -1 -1"}));
  EXPECT_EQ(C->GetRowCount(), 0);
}

TEST_F(DataControllerTest, GroupValuesFollowTheGroupingLevels) {
  Fill({{1, "a"}, {2, "b"}});
  std::vector<Variant> values;
  C->GetGroupValues(0, values);
  EXPECT_TRUE(values.empty());
  C->GetGroups()->ChangeGrouping(StrItem, 0);
  C->GetGroupValues(1, values);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].AsString(), "b");
  C->GetGroupValues(7, values);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_TRUE(VarIsNull(values[0]));
}

// --- The edit cycle -------------------------------------------------------------

TEST_F(DataControllerTest, PostingAnUntouchedAppendedRecordDropsIt) {
  Fill({{1, "a"}});
  C->Append();
  EXPECT_EQ(C->GetRecordCount(), 2);
  EXPECT_TRUE(C->GetEditState().Contains(dceInsert));
  EXPECT_EQ(C->GetFocusedRecordIndex(), 1);
  C->Log.clear();
  C->Post();
  EXPECT_EQ(C->GetRecordCount(), 1);
  ASSERT_FALSE(C->Only("data").empty());
  EXPECT_EQ(C->Only("data").back(), "data total -1 -1");
}

TEST_F(DataControllerTest, InsertReusesAnUntouchedNewRecordAndPostsAModifiedOne) {
  Fill({{1, "a"}, {2, "b"}});
  C->ChangeFocusedRowIndex(1);
  C->Insert();
  EXPECT_EQ(C->GetRecordCount(), 3);
  EXPECT_EQ(C->GetProvider()->GetEditingRecordIndex(), 1);
  EXPECT_EQ(C->GetProvider()->GetNextNeighbourRecordIndex(), 2) << "the record that moved down";
  C->Insert();
  EXPECT_EQ(C->GetRecordCount(), 3);
  C->SetEditValue(IntItem, 9, evsValue);
  C->Insert();
  EXPECT_EQ(C->GetRecordCount(), 4);
  EXPECT_EQ(C->GetValue(2, IntItem).AsInteger(), 9) << "posted before the next insert, which went in front of it";
}

TEST_F(DataControllerTest, CancellingAnInsertedLastRecordFocusesThePreviousOne) {
  Fill({{1, "a"}, {2, "b"}});
  C->Append();
  EXPECT_EQ(C->GetFocusedRecordIndex(), 2);
  C->GetProvider()->Cancel();
  EXPECT_EQ(C->GetRecordCount(), 2);
  EXPECT_EQ(C->GetFocusedRecordIndex(), 1);
}

TEST_F(DataControllerTest, DeletingTheEditingRecordEndsTheEdit) {
  Fill({{1, "a"}, {2, "b"}});
  C->ChangeFocusedRowIndex(1);
  C->Edit();
  ASSERT_TRUE(C->GetIsEditing());
  C->DeleteRecord(1);
  EXPECT_FALSE(C->GetProvider()->IsEditing());
  EXPECT_EQ(C->GetProvider()->GetSavedRecordIndex(), 0);
  EXPECT_EQ(C->GetDataStorage()->GetInternalRecordCount() == 0 ||
                !C->GetDataStorage()->HasBuffer(-1),
            true);
}

TEST_F(DataControllerTest, FrozenProviderHoldsChangesUntilUnfrozen) {
  Fill({{1, "a"}});
  C->GetProvider()->Freeze();
  C->Log.clear();
  C->GetProvider()->DataChanged(dcTotal, -1, -1);
  EXPECT_TRUE(C->Only("data").empty());
  C->GetProvider()->Unfreeze();
  EXPECT_EQ(C->Only("data").size(), 1u);
}

TEST_F(DataControllerTest, ImmediatePostWritesAtOnce) {
  Fill({{1, "a"}});
  C->SetOptions(C->GetOptions() + dcoImmediatePost);
  C->ChangeFocusedRowIndex(0);
  C->SetEditValue(IntItem, 77, evsValue);
  EXPECT_FALSE(C->GetIsEditing());
  EXPECT_EQ(C->GetValue(0, IntItem).AsInteger(), 77);
}

// --- Filter criteria bound to the controller ------------------------------------

TEST_F(DataControllerTest, BoundCriteriaFilterOnlyWhileActive) {
  Fill({{1, "a"}, {2, "b"}, {3, "a"}});
  TcxDataFilterCriteria* filter = C->GetFilter();
  TcxFilterCriteriaItem* item = filter->AddItem(C->Items[static_cast<size_t>(StrItem)], foEqual, "a", "a");
  EXPECT_EQ(item->GetItemLink(), C->Items[static_cast<size_t>(StrItem)]);
  EXPECT_EQ(C->GetRowCount(), 3);
  filter->SetActive(true);
  EXPECT_EQ(C->GetRowCount(), 2);
  EXPECT_EQ(C->GetFilteredRecordCount(), 2);
  EXPECT_EQ(C->GetFilteredRecordIndex(1), 2);

  TcxDataFilterCriteria* extra = C->CreateFilter();
  extra->AddItem(C->Items[static_cast<size_t>(IntItem)], foEqual, 1, "1");
  extra->SetActive(true);
  EXPECT_EQ(C->GetRowCount(), 2) << "an additional criteria never refilters";

  // Changing the criteria during an edit posts the edit first.
  C->ChangeFocusedRowIndex(0);
  C->SetEditValue(IntItem, 50, evsValue);
  filter->SetActive(false);
  EXPECT_FALSE(C->GetIsEditing());
  EXPECT_EQ(C->GetValue(0, IntItem).AsInteger(), 50);
  EXPECT_EQ(C->GetRowCount(), 3);
}

TEST_F(DataControllerTest, ValueListOfAnAllNullField) {
  for (int i = 0; i < 3; ++i) C->AppendRecord();
  TcxDataFilterValueList* list = C->GetFilter()->CreateValueList();
  list->Load(FloatItem, true, false);
  std::vector<TcxFilterValueItemKind> kinds;
  for (Integer i = 0; i < list->GetCount(); ++i) kinds.push_back(list->GetItem(i).Kind);
  EXPECT_EQ(kinds, std::vector<TcxFilterValueItemKind>({fviAll, fviCustom, fviBlanks, fviNonBlanks}));
  EXPECT_EQ(list->GetItem(2).DisplayText, "(Blanks)");
  list->Free();
}

TEST(ExtractFilterDisplayValue, SplitsAtSemicolons) {
  Integer pos = 1;
  EXPECT_EQ(ExtractFilterDisplayValue(" 10 ; 20", pos), "10");
  EXPECT_EQ(pos, 6);
  EXPECT_EQ(ExtractFilterDisplayValue(" 10 ; 20", pos), "20");
  EXPECT_EQ(ExtractFilterDisplayValue(" 10 ; 20", pos), "");
}

// Adds ACount items to the controller, each with a field of its own.
static void AddFieldItems(RecordingController* AController, int ACount) {
  for (int i = 0; i < ACount; ++i) {
    AController->Items.push_back(New<TestItem>());
    AController->AddItem(AController->Items.back());
  }
}

// A thousand items come and go, the last ones first as a grid's rows do:
// each finds its own field at its place, one that left finds none, a field
// given another item answers for that one, and where two fields share an
// item the first in the list's order answers until it leaves.
TEST(DataFields, EachItemFindsItsFieldWhileItemsComeAndGo) {
  auto* c = New<RecordingController>(nullptr);
  AddFieldItems(c, 1000);
  const std::vector<TestItem*> items = c->Items;
  TcxCustomDataFieldList* fields = c->GetFields();
  for (int i : {0, 1, 499, 999}) EXPECT_EQ(fields->FieldByItem(items[i]), c->GetField(i)) << i;
  EXPECT_THROW(c->AddItem(items[7]), EcxInvalidDataControllerOperation) << "an item has one field of its own";

  for (int i = 999; i >= 0; i -= 2) c->RemoveItem(items[static_cast<size_t>(i)]);
  ASSERT_EQ(c->GetItemCount(), 500);
  for (int i = 0; i < 1000; ++i) {
    TcxCustomDataField* f = fields->FieldByItem(items[static_cast<size_t>(i)]);
    if (i % 2) {
      EXPECT_EQ(f, nullptr) << i;
      continue;
    }
    ASSERT_NE(f, nullptr) << i;
    EXPECT_EQ(f->GetItem(), items[static_cast<size_t>(i)]);
    EXPECT_EQ(f->GetIndex(), i / 2);
  }

  TcxCustomDataField* moved = c->GetField(10);
  moved->SetItem(items[1]);
  EXPECT_EQ(fields->FieldByItem(items[20]), nullptr);
  EXPECT_EQ(fields->FieldByItem(items[1]), moved);

  TcxCustomDataField* shared = c->GetField(300);
  shared->SetItem(items[1]);
  EXPECT_EQ(fields->FieldByItem(items[600]), nullptr);
  EXPECT_EQ(fields->FieldByItem(items[1]), moved) << "the earlier of the two";
  fields->Move(300, 5);
  EXPECT_EQ(fields->FieldByItem(items[1]), shared) << "now the earlier one";
  c->RemoveItem(items[1]);
  EXPECT_EQ(fields->FieldByItem(items[1]), moved);
  EXPECT_EQ(c->GetItemCount(), 499);

  for (TestItem* item : items) c->RemoveItem(item);
  EXPECT_EQ(c->GetItemCount(), 0);
  EXPECT_EQ(fields->FieldByItem(items[0]), nullptr);
  c->AddItem(items[0]);
  EXPECT_EQ(fields->FieldByItem(items[0]), c->GetField(0)) << "and the list serves again once empty";
  c->Free();
}

// The last field is found without the index only while no other field has
// its item: where an earlier one shares it, the earlier answers.
TEST(DataFields, TheLastFieldAnswersForItsItemOnlyWhileItIsTheOnlyOne) {
  auto* c = New<RecordingController>(nullptr);
  AddFieldItems(c, 100);
  const std::vector<TestItem*> items = c->Items;
  TcxCustomDataFieldList* fields = c->GetFields();
  TcxCustomDataField* last = c->GetField(99);
  TcxCustomDataField* earlier = c->GetField(40);

  last->SetItem(items[40]);
  EXPECT_EQ(fields->FieldByItem(items[40]), earlier) << "the earlier of the two";
  EXPECT_EQ(fields->FieldByItem(items[99]), nullptr);
  earlier->SetItem(items[99]);
  EXPECT_EQ(fields->FieldByItem(items[40]), last) << "the only one again";
  EXPECT_EQ(fields->FieldByItem(items[99]), earlier);
  c->Free();
}

// Fields that leave from the middle leave room in the index that it takes
// back as it grows; every field keeps track of its own place through that,
// so those that leave afterwards take nobody else's with them.
TEST(DataFields, ItemsFindTheirFieldsAfterTheIndexGrowsOverFieldsThatLeft) {
  auto* c = New<RecordingController>(nullptr);
  AddFieldItems(c, 1000);
  for (size_t i = 0; i < 1000; ++i)
    if (i % 3) c->RemoveItem(c->Items[i]);
  AddFieldItems(c, 2000);
  const std::vector<TestItem*> items = c->Items;
  for (size_t i = 0; i < items.size(); i += 5)
    if (i >= 1000 || i % 3 == 0) c->RemoveItem(items[i]);

  TcxCustomDataFieldList* fields = c->GetFields();
  Integer expected = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const bool kept = (i >= 1000 || i % 3 == 0) && i % 5 != 0;
    TcxCustomDataField* f = fields->FieldByItem(items[i]);
    if (!kept) {
      EXPECT_EQ(f, nullptr) << i;
      continue;
    }
    ASSERT_NE(f, nullptr) << i;
    EXPECT_EQ(f->GetItem(), items[i]) << i;
    EXPECT_EQ(f->GetIndex(), expected++) << i;
  }
  EXPECT_EQ(c->GetItemCount(), expected);
  c->Free();
}
