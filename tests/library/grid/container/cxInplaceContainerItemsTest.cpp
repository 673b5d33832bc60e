// An item's properties in force and its data binding: named value types,
// the default editor of a type, repository items coming and going, values
// and edit values, and lifetimes in any order without a leak, a double
// free or a handler left pointing at an item that is gone.
#include "library/grid/GridTestControl.h"

using namespace grid_test;

namespace {

class ItemBinding : public GridSession {
 protected:
  TcxItemDataBinding* Binding(TcxCustomInplaceEditContainer* AItem) {
    return static_cast<TcxItemDataBinding*>(AItem->GetDataBinding());
  }
};

TEST_F(ItemBinding, ValueTypesAreNamedWithoutRegardToCaseAndChangingOneConvertsTheStoredValues) {
  EXPECT_EQ(Binding(name)->GetValueType(), "String");
  EXPECT_FALSE(Binding(name)->IsValueTypeStored());
  EXPECT_EQ(Binding(count)->GetValueType(), "Integer");

  grid->GetDataController()->SetValue(0, name->GetItemIndex(), Variant("12"));
  // A mark on the view data in force: view data made again lack it.
  const TRect mark = Rect(1, 2, 3, 4);
  name->GetEditViewData()->ContentOffset = mark;
  Binding(name)->SetValueType("iNtEgEr");
  EXPECT_EQ(Binding(name)->GetValueTypeClass(), TcxIntegerValueType::Class());
  const Variant stored = grid->GetDataController()->GetValue(0, name->GetItemIndex());
  EXPECT_EQ(VarType(stored), varInteger) << "the data controller converted the stored value";
  EXPECT_EQ(stored.AsInteger(), 12);
  EXPECT_NE(name->GetEditViewData()->ContentOffset, mark) << "the properties in force were taken again";
  EXPECT_EQ(name->GetEditViewData()->GetProperties(), name->GetPropertiesValue()) << "with view data of their own";

  Binding(name)->SetValueType("LargeInt");
  EXPECT_EQ(Binding(name)->GetValueTypeClass(), TcxIntegerValueType::Class()) << "no such name: nothing changes";
  Binding(name)->SetValueTypeClass(TcxLargeIntValueType::Class());
  EXPECT_EQ(Binding(name)->GetValueType(), "") << "a type without a name reads as empty text";
  EXPECT_TRUE(Binding(name)->IsValueTypeStored());

  // An item without properties of its own shows its type's default editor.
  EXPECT_EQ(count->GetPropertiesValue(),
            GetDefaultEditDataRepositoryItems()->GetItem(TcxIntegerValueType::Class())->GetProperties());
  EXPECT_TRUE(dynamic_cast<TcxTextEditProperties*>(count->GetPropertiesValue()));
  count->SetPropertiesClassName("TcxTextEditProperties");
  ASSERT_NE(count->GetProperties(), nullptr);
  EXPECT_EQ(count->GetPropertiesValue(), count->GetProperties());
  count->SetPropertiesClassName("TcxNoSuchProperties");
  EXPECT_EQ(count->GetProperties(), nullptr);
  EXPECT_EQ(count->GetPropertiesClassName(), "");
}

TEST_F(ItemBinding, EditValuesExistOnlyWhileAnItemIsEditedAndNothingEditsWithoutRecords) {
  Show();
  EXPECT_TRUE(VarIsEmpty(count->GetEditValue())) << "Unassigned while not edited";
  count->SetEditValue(Variant(5));
  EXPECT_EQ(Stored(count), "42") << "writing while not edited does nothing";
  EXPECT_TRUE(count->CanEdit());

  Click(count);
  ASSERT_TRUE(count->GetEditing());
  EXPECT_EQ(VarToStr(count->GetEditValue()), "42");
  Press(win::VK_ESCAPE);

  grid->GetDataController()->SetRecordCount(0);
  Pump();
  EXPECT_FALSE(count->CanEdit()) << "no records: nothing to edit, whatever the options";
  count->SetEditing(true);
  EXPECT_FALSE(count->GetEditing());
  EXPECT_EQ(Editor(), nullptr);
}

TEST_F(ItemBinding, ARepositoryItemLentAndTakenBackLeavesNoEditorBehind) {
  auto* repository = New<TcxEditRepository>(form);
  auto* shared = static_cast<TcxEditRepositoryTextItem*>(
      repository->CreateItem(TcxEditRepositoryTextItem::StaticClass()));
  shared->GetProperties()->SetMaxLength(3);
  count->SetRepositoryItem(shared);
  EXPECT_EQ(count->GetPropertiesValue(), shared->GetProperties());
  Show();
  Click(count);
  ASSERT_NE(Editor(), nullptr);
  Type("12345");
  EXPECT_EQ(VarToStr(Editor()->GetDisplayValue()), "123") << "the shared settings are in force";
  Press(win::VK_RETURN);

  TcxInplaceEditList* pool = grid->Editing()->GetEditList();
  ASSERT_NE(pool->FindItem(TcxTextEditProperties::StaticClass()), -1);
  count->SetRepositoryItem(nullptr);
  EXPECT_EQ(pool->FindItem(TcxTextEditProperties::StaticClass()), -1) << "its pooled editor went";
  EXPECT_EQ(shared->GetListenerCount(), 0);

  // A repository item that goes takes its properties out of the items.
  name->SetRepositoryItem(shared);
  Click(name);
  ASSERT_TRUE(name->GetEditing());
  shared->Free();
  EXPECT_EQ(name->GetRepositoryItem(), nullptr);
  EXPECT_FALSE(name->GetEditing()) << "the editor of the properties that went is closed";
  EXPECT_NE(name->GetPropertiesValue(), nullptr);
  Pump();
  EXPECT_EQ(Shown(name), "alpha");
}

// Decided: properties that an item pointed at itself because they had no
// change handler are handed back when the item goes.
TEST_F(ItemBinding, SharedPropertiesNeverCallAnItemThatIsGone) {
  auto* repository = New<TcxEditRepository>(form);
  TcxEditRepositoryItem* shared = repository->CreateItem(TcxEditRepositoryTextItem::StaticClass());
  TcxCustomEditProperties* properties = shared->GetProperties();
  properties->OnPropertiesChanged = nullptr;  // shared, and nobody listens

  auto* first = New<TcxCustomInplaceEditContainer>(form);
  first->SetEditingControl(grid);
  first->SetRepositoryItem(shared);
  EXPECT_EQ(first->GetPropertiesHandlerTarget(), properties);
  count->SetRepositoryItem(shared);
  EXPECT_EQ(count->GetPropertiesHandlerTarget(), nullptr) << "one handler: the first item keeps it";

  first->Free();
  EXPECT_FALSE(properties->OnPropertiesChanged) << "the handler left with its item";
  Show();
  static_cast<TcxTextEditProperties*>(properties)->SetMaxLength(2);  // must reach nobody that is gone
  Pump();
  EXPECT_EQ(Shown(count), "42");
}

TEST(InplaceContainerLifetimes, ControlsItemsAndRepositoryItemsGoInAnyOrder) {
  GridUnitsListed units;
  forms::test::Session session;
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  form->SetBoundsRect({100, 100, 420, 300});
  form->Show();
  win::test::PumpUntilIdle();
  Int64 baseline = 0;

  auto build = [&](TcxEditRepositoryItem** AShared, std::vector<TcxCustomInplaceEditContainer*>& AItems) {
    auto* grid = New<TTestEditingControl>(form);
    grid->SetBoundsRect({10, 10, 210, 110});
    grid->SetParent(form);
    grid->GetDataController()->SetRecordCount(1);
    auto* repository = New<TcxEditRepository>(form);
    *AShared = repository->CreateItem(TcxEditRepositoryTextItem::StaticClass());
    for (Integer i = 0; i < 3; ++i) {
      auto* item = New<TcxCustomInplaceEditContainer>(i == 2 ? static_cast<TComponent*>(grid) : form);
      item->SetEditingControl(grid);
      if (i == 1) item->SetRepositoryItem(*AShared);
      if (i == 2) item->SetPropertiesClass(TcxTextEditProperties::StaticClass());
      AItems.push_back(item);
    }
    grid->GetDataController()->ChangeFocusedRowIndex(0);
    win::test::PumpUntilIdle();
    grid->SetFocus();
    grid->GetController()->SetFocusedRecordItem(0, AItems[1]);
    AItems[1]->SetEditing(true);  // an editor is open
    win::test::PumpUntilIdle();
    EXPECT_TRUE(AItems[1]->GetEditing());
    return grid;
  };

  // The first round makes what the process keeps (the default editors,
  // the screen canvas, shared brushes); the count is taken after it.
  for (Integer order = -1; order < 3; ++order) {
    TcxEditRepositoryItem* shared = nullptr;
    std::vector<TcxCustomInplaceEditContainer*> items;
    TTestEditingControl* grid = build(&shared, items);
    TcxEditRepository* repository = shared->GetRepository();
    switch (order) {
      case -1:
      case 0:  // the control first: the items it did not own stay behind
        grid->Free();
        EXPECT_EQ(items[0]->GetEditingControl(), nullptr);
        items[0]->Free();
        items[1]->Free();
        repository->Free();
        break;
      case 1:  // the repository item under an open editor, then the edited item
        shared->Free();
        items[1]->Free();
        items[0]->Free();
        grid->Free();
        repository->Free();
        break;
      default:  // the edited item, then the rest
        items[1]->Free();
        EXPECT_EQ(grid->Editing()->GetEditingItem(), nullptr);
        win::test::PumpUntilIdle();
        repository->Free();
        grid->Free();
        items[0]->Free();
        break;
    }
    win::test::PumpUntilIdle();
    if (order < 0)
      baseline = TObject::LiveCount();
    else
      EXPECT_EQ(TObject::LiveCount(), baseline) << "order " << order;
  }
  form->Free();
  win::test::PumpUntilIdle();
}

}  // namespace
