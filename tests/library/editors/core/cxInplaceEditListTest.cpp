// The in-place editor pool as a grid uses it: rows of one editor kind
// share one hidden editor, each hand-out brings that row's settings and
// none of its change events, kinds that differ by derivation get their own
// editors, and removing or destroying frees exactly the pool's editors,
// also when a grid took one with it.
#include <gtest/gtest.h>

#include "library/editors/core/CustomEditFixtures.h"
#include "library/editors/core/cxInplaceEditList.h"
#include "platform/rtl/Lists.h"

namespace {

// A kind whose shown value follows its settings (as a check box's follows
// its checked value): every settings change is a change of the editor.
class TPoolKindEdit : public TTestKindEdit {
  ORV_CLASS(TPoolKindEdit, TTestKindEdit)
 public:
  using TTestKindEdit::TTestKindEdit;
  bool RaiseOnSettings = false;
  void PropertiesChanged(TObject* Sender) override {
    TTestKindEdit::PropertiesChanged(Sender);
    if (RaiseOnSettings) throw EcxEditError("settings refused");
    DoChange();
    DoEditValueChanged();
  }
};

class TPoolKindProperties : public TTestKindProperties {
  ORV_CLASS(TPoolKindProperties, TTestKindProperties)
 public:
  using TTestKindProperties::TTestKindProperties;
  TClass GetContainerClass() const override { return TPoolKindEdit::StaticClass(); }
};

class TPoolKindChildProperties : public TPoolKindProperties {
  ORV_CLASS(TPoolKindChildProperties, TPoolKindProperties)
 public:
  using TPoolKindProperties::TPoolKindProperties;
};

}  // namespace

ORV_REGISTER(TPoolKindEdit)
ORV_REGISTER(TPoolKindProperties)
ORV_REGISTER(TPoolKindChildProperties)

namespace {

class InplaceEditPool : public CustomEditSession {
 protected:
  void SetUp() override {
    CustomEditSession::SetUp();
    pool = New<TcxInplaceEditList>();
  }
  void TearDown() override {
    for (TcxCustomEditProperties* row : rows) row->Free();
    Free(pool);
    CustomEditSession::TearDown();
  }
  // A row's properties whose change handlers write "<name> change" and
  // "<name> value changed".
  template <class P = TPoolKindProperties>
  P* Row(const std::string& name) {
    P* row = New<P>(nullptr);
    row->OnChange = [this, name](TObject*) { log.push_back(name + " change"); };
    row->OnEditValueChanged = [this, name](TObject*) { log.push_back(name + " value changed"); };
    rows.push_back(row);
    return row;
  }
  TcxInplaceEditList* pool = nullptr;
  std::vector<TcxCustomEditProperties*> rows;
};

TEST_F(InplaceEditPool, RowsOfOneKindShareAnEditorThatTakesEachRowsSettingsWithoutItsChangeEvents) {
  TPoolKindProperties* first = Row("first");
  first->SetClearKey(46);
  first->SetReadOnly(true);
  TPoolKindProperties* second = Row("second");
  second->SetValidateOnEnter(true);

  TcxCustomEdit* edit = pool->GetEdit(first);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->GetProperties()->GetClearKey(), 46);
  EXPECT_TRUE(edit->GetProperties()->GetReadOnly());
  EXPECT_NE(edit->GetProperties(), first) << "the editor must keep its own properties";

  EXPECT_EQ(pool->GetEdit(second), edit);
  EXPECT_EQ(pool->GetCount(), 1);
  // Nothing of the first row stays behind.
  EXPECT_EQ(edit->GetProperties()->GetClearKey(), 0);
  EXPECT_FALSE(edit->GetProperties()->GetReadOnly());
  EXPECT_TRUE(edit->GetProperties()->GetValidateOnEnter());
  EXPECT_TRUE(log.empty()) << log.front();

  // The lock is gone: a real change reaches the row now served, once.
  EXPECT_FALSE(edit->AreChangeEventsLocked());
  edit->SetEditValue(Variant("x"));
  EXPECT_EQ(log, edit_test::Log({"second value changed", "second change"}));
}

TEST_F(InplaceEditPool, ACopyThatRaisesLeavesTheEditorUnlockedAndSilent) {
  TPoolKindProperties* row = Row("row");
  auto* edit = static_cast<TPoolKindEdit*>(pool->GetEdit(TPoolKindProperties::StaticClass()));
  edit->RaiseOnSettings = true;
  row->SetClearKey(46);
  EXPECT_THROW(pool->GetEdit(row), EcxEditError);
  EXPECT_FALSE(edit->AreChangeEventsLocked());
  EXPECT_TRUE(log.empty());

  edit->RaiseOnSettings = false;
  EXPECT_EQ(pool->GetEdit(row), edit);
  EXPECT_FALSE(edit->AreChangeEventsLocked());
}

TEST_F(InplaceEditPool, EachPropertiesClassHasItsOwnHiddenOwnerlessEditorInPlace) {
  TPoolKindProperties* row = Row("row");
  row->SetClearKey(46);
  TcxCustomEdit* edit = pool->GetEdit(row);
  TcxCustomEdit* child = pool->GetEdit(Row<TPoolKindChildProperties>("child"));
  EXPECT_NE(child, edit) << "classes that differ by derivation share an editor";
  EXPECT_EQ(pool->GetCount(), 2);
  EXPECT_EQ(pool->FindItem(TPoolKindProperties::StaticClass()), 0);
  EXPECT_EQ(pool->FindItem(TPoolKindChildProperties::StaticClass()), 1);
  EXPECT_EQ(pool->FindItem(TTestKindProperties::StaticClass()), -1);

  for (TcxCustomEdit* e : {edit, child}) {
    EXPECT_EQ(e->ClassType(), TPoolKindEdit::StaticClass());
    EXPECT_FALSE(e->GetVisible());
    EXPECT_EQ(e->GetOwner(), nullptr);
    EXPECT_EQ(e->GetParent(), nullptr);
    EXPECT_TRUE(e->IsInplace());
  }
  // Asking by class hands the editor out as it is.
  EXPECT_EQ(pool->GetEdit(TPoolKindProperties::StaticClass()), edit);
  EXPECT_EQ(edit->GetProperties()->GetClearKey(), 46);
}

TEST_F(InplaceEditPool, RemovingAndDestroyingFreeThePoolsEditorsAndNothingElse) {
  TPoolKindProperties* row = Row("row");
  TPoolKindChildProperties* child = Row<TPoolKindChildProperties>("child");
  TTestKindProperties* other = Row<TTestKindProperties>("other");
  auto* grid = New<TTestGrid>(form);
  grid->SetParent(form);
  Int64 live = TObject::LiveCount();

  TcxCustomEdit* edit = pool->GetEdit(row);
  edit->SetParent(grid);
  pool->GetEdit(child);
  ASSERT_EQ(pool->GetCount(), 2);

  // Nothing to remove: nothing happens.
  pool->RemoveItem(other);
  pool->RemoveItem(-1);
  EXPECT_EQ(pool->GetCount(), 2);
  EXPECT_THROW(pool->RemoveItem(2), EListError);
  EXPECT_EQ(pool->GetCount(), 2);

  pool->RemoveItem(row);
  EXPECT_EQ(pool->GetCount(), 1);
  EXPECT_EQ(grid->GetControlCount(), 0) << "the removed editor is still on the grid";
  EXPECT_EQ(pool->FindItem(TPoolKindChildProperties::StaticClass()), 0);

  pool->GetEdit(row);
  pool->DestroyItems();
  EXPECT_EQ(pool->GetCount(), 0);
  EXPECT_EQ(TObject::LiveCount(), live);
}

TEST_F(InplaceEditPool, AnEditorThatGoesWithItsGridLeavesThePool) {
  auto* grid = New<TTestGrid>(nullptr);
  grid->SetParent(form);
  TcxCustomEdit* edit = pool->GetEdit(Row("row"));
  edit->SetParent(grid);
  pool->GetEdit(Row<TPoolKindChildProperties>("child"));

  grid->Free();
  EXPECT_EQ(pool->GetCount(), 1);
  EXPECT_EQ(pool->FindItem(TPoolKindProperties::StaticClass()), -1);
  // The pool's own end frees the other editor once (the sanitizer watches).
  FreeAndNil(pool);
}

}  // namespace
