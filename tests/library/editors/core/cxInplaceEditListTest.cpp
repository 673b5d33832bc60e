// The in-place editor pool as a grid uses it: rows of one kind share one
// hidden editor that takes each row's settings, but neither the last row's
// value nor the change events the copy causes, kinds that differ by derivation get their own,
// and the pool frees exactly its editors, also when a grid took one along.
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
  // A row whose change handlers write "<name> change" and "<name> value".
  template <class P = TPoolKindProperties>
  P* Row(const std::string& name) {
    P* row = New<P>(nullptr);
    row->OnChange = [this, name](TObject*) { log.push_back(name + " change"); };
    row->OnEditValueChanged = [this, name](TObject*) { log.push_back(name + " value"); };
    rows.push_back(row);
    return row;
  }
  TcxInplaceEditList* pool = nullptr;
  std::vector<TcxCustomEditProperties*> rows;
};

TEST_F(InplaceEditPool, RowsOfOneKindShareAHiddenEditorThatTakesEachRowsSettingsWithoutItsChangeEvents) {
  TPoolKindProperties* first = Row("first");
  first->SetClearKey(46);
  first->SetReadOnly(true);
  TPoolKindProperties* second = Row("second");

  TcxCustomEdit* edit = pool->GetEdit(first);
  EXPECT_EQ(edit->GetProperties()->GetClearKey(), 46);
  EXPECT_NE(edit->GetProperties(), first) << "the editor must keep its own properties";
  EXPECT_FALSE(edit->GetVisible());
  EXPECT_EQ(edit->GetOwner(), nullptr);
  EXPECT_TRUE(edit->IsInplace());

  edit->SetEditValue(Variant("first's"));
  log.clear();

  EXPECT_EQ(pool->GetEdit(second), edit);
  EXPECT_EQ(edit->GetProperties()->GetClearKey(), 0) << "the first row's settings stayed behind";
  EXPECT_TRUE(VarIsNull(edit->GetEditValue())) << "and so did its value";
  EXPECT_FALSE(edit->GetProperties()->GetReadOnly());
  EXPECT_TRUE(log.empty()) << log.front();
  // The lock is gone: a real change reaches the row now served, once.
  edit->SetEditValue(Variant("x"));
  EXPECT_EQ(log, edit_test::Log({"second value", "second change"}));

  // A derived kind has an editor of its own.
  EXPECT_NE(pool->GetEdit(Row<TPoolKindChildProperties>("child")), edit);
  EXPECT_EQ(pool->FindItem(TPoolKindChildProperties::StaticClass()), 1);
  EXPECT_EQ(pool->FindItem(TTestKindProperties::StaticClass()), -1);

  // A copy that raises leaves the editor unlocked and silent.
  static_cast<TPoolKindEdit*>(edit)->RaiseOnSettings = true;
  log.clear();
  EXPECT_THROW(pool->GetEdit(first), EcxEditError);
  EXPECT_FALSE(edit->AreChangeEventsLocked());
  EXPECT_TRUE(log.empty());
}

TEST_F(InplaceEditPool, RemovingAndDestroyingFreeThePoolsEditorsAndNothingElse) {
  TPoolKindProperties* row = Row("row");
  TPoolKindChildProperties* child = Row<TPoolKindChildProperties>("child");
  TTestKindProperties* other = Row<TTestKindProperties>("other");
  auto* grid = New<TTestGrid>(form);
  grid->SetParent(form);
  // An editor reads its row's settings, and the row's properties make the
  // parts they make on first need then: those stay with the rows.
  pool->GetEdit(row);
  pool->GetEdit(child);
  pool->DestroyItems();
  Int64 live = TObject::LiveCount();
  pool->GetEdit(row)->SetParent(grid);
  pool->GetEdit(child);

  pool->RemoveItem(other);
  pool->RemoveItem(-1);
  EXPECT_THROW(pool->RemoveItem(2), EListError);
  EXPECT_EQ(pool->GetCount(), 2);

  pool->RemoveItem(row);
  EXPECT_EQ(pool->FindItem(TPoolKindChildProperties::StaticClass()), 0);
  EXPECT_EQ(grid->GetControlCount(), 0) << "the removed editor is still on the grid";
  pool->GetEdit(row);
  pool->DestroyItems();
  EXPECT_EQ(pool->GetCount(), 0);
  EXPECT_EQ(TObject::LiveCount(), live);
}

TEST_F(InplaceEditPool, AnEditorThatGoesWithItsGridLeavesThePool) {
  auto* grid = New<TTestGrid>(nullptr);
  grid->SetParent(form);
  pool->GetEdit(Row("row"))->SetParent(grid);
  pool->GetEdit(Row<TPoolKindChildProperties>("child"));

  grid->Free();
  EXPECT_EQ(pool->FindItem(TPoolKindProperties::StaticClass()), -1);
  EXPECT_EQ(pool->GetCount(), 1);
  // The pool's end frees the other editor once (the sanitizer watches).
  FreeAndNil(pool);
}

}  // namespace
