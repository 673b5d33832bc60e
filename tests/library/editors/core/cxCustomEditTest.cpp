// The editor control on a headless form, driven by injected input: change
// events and their lock, the modified flags, each key of the pipeline
// alone and in place, validation failures end to end, repository items,
// and the locks and replaced window procedures left behind by a raising
// handler.
#include "CustomEditFixtures.h"

#include "library/editors/core/cxEditConsts.h"
#include "platform/forms/TestHooks.h"

using namespace win;
using edit_test::Log;

namespace {

class CustomEdit : public CustomEditSession {};

// A base editor: its properties cannot compare values.
class TBaseEdit : public TcxCustomEdit {
  ORV_CLASS(TBaseEdit, TcxCustomEdit)
 public:
  explicit TBaseEdit(TComponent* AOwner) : TcxCustomEdit(AOwner) {}
};

}  // namespace

ORV_REGISTER(TBaseEdit)

TEST_F(CustomEdit, OnlyComparingKindsReportSetValuesAndTheLockFiresEachEventOnceAtTheOutermostRelease) {
  auto* base = New<TBaseEdit>(form);
  base->GetProperties()->OnChange = [this](TObject*) { log.push_back("base change"); };
  base->GetProperties()->OnEditValueChanged = [this](TObject*) { log.push_back("base value changed"); };
  base->SetEditValue(Variant(5));
  EXPECT_EQ(log, Log{});  // such kinds find their changes themselves

  auto* edit = MakeEdit(form, {10, 10, 150, 31});
  Show();
  log.clear();
  edit->SetEditValue(Variant(5));
  edit->SetEditValue(Variant(5));     // same type, same value
  edit->SetEditValue(Variant(5.0));   // same value, another type
  EXPECT_EQ(log, (Log{"value changed", "change", "value changed", "change"}));

  log.clear();
  edit->LockChangeEvents(true);
  edit->LockChangeEvents(true);
  edit->SetEditValue(Variant(6));
  edit->SetEditValue(Variant(7));
  edit->LockChangeEvents(false);
  EXPECT_EQ(log, Log{});
  edit->LockChangeEvents(false);
  EXPECT_EQ(log, (Log{"change", "value changed"}));

  log.clear();
  edit->LockChangeEvents(true);
  edit->SetEditValue(Variant(8));
  edit->LockChangeEvents(false, false);  // dropped
  edit->LockChangeEvents(false);         // no lock left: nothing
  EXPECT_EQ(log, Log{});
  EXPECT_FALSE(edit->AreChangeEventsLocked());
}

TEST_F(CustomEdit, ModifiedFlagsNestAndEscapeBringsBackTheValueTakenOnEntering) {
  auto* edit = MakeEdit(form, {10, 10, 150, 31});
  edit->SetEditValue(Variant(AnsiString("x")));
  Show();
  Focus(edit);

  edit->SaveModified();
  edit->SetModifiedAfterEnter(true);
  edit->SaveModified();
  edit->SetModified(false);
  EXPECT_FALSE(edit->GetModified());
  edit->RestoreModified();
  EXPECT_TRUE(edit->GetModified());
  EXPECT_TRUE(edit->GetModifiedAfterEnter());
  edit->RestoreModified();
  EXPECT_FALSE(edit->GetModifiedAfterEnter());
  edit->RestoreModified();  // nothing saved: nothing changes
  EXPECT_FALSE(edit->GetModifiedAfterEnter());

  // Esc with nothing typed is the inner control's.
  Press(VK_ESCAPE);
  EXPECT_EQ(edit->Inner()->Keys, (Log{"down 27", "char 27"}));

  edit->Inner()->Keys.clear();
  Type("ab");
  EXPECT_EQ(edit->Inner()->GetText(), "ab");  // the focus selected "x"
  EXPECT_TRUE(edit->GetModifiedAfterEnter());
  Press(VK_ESCAPE);
  EXPECT_EQ(edit_test::Text(edit->GetEditValue()), "x");
  EXPECT_EQ(edit->Inner()->GetText(), "x");
  EXPECT_TRUE(edit->GetModified());
  EXPECT_FALSE(edit->GetModifiedAfterEnter());
  // Only the character of the Esc that reset the value is swallowed.
  EXPECT_EQ(edit->Inner()->Keys, (Log{"down 65", "char 97", "down 66", "char 98"}));
  Press(VK_ESCAPE);
  EXPECT_EQ(edit->Inner()->Keys.back(), "char 27");
}
