// Actions and the controls linked to them: what the action shows reaches
// its controls unless a control changed it itself, a click runs the
// action, idle time updates it, and an action without a handler finds a
// target among the focused control and its parents.
#include "platform/forms/Actions.h"

#include "platform/forms/ExtCtrls.h"

#include "ControlLog.h"
#include "FormsTestUtil.h"

using namespace forms_test;

namespace {

// A toggle with a checked state of its own.
class TToggle : public TCustomControl, public ICheckedControl {
  ORV_CLASS(TToggle, TCustomControl)
 public:
  explicit TToggle(TComponent* AOwner) : TCustomControl(AOwner) {}
  bool GetChecked() override { return FChecked; }
  void SetChecked(bool Value) override { FChecked = Value; }
  void Press() { Click(); }

 private:
  bool FChecked = false;
};

ORV_REGISTER(TToggle)

// An action that acts on any toggle it is offered.
class TFlipAction : public TAction {
  ORV_CLASS(TFlipAction, TAction)
 public:
  using TAction::TAction;
  bool HandlesTarget(TObject* Target) override { return dynamic_cast<TToggle*>(Target) != nullptr; }
  void ExecuteTarget(TObject* Target) override {
    auto* t = static_cast<TToggle*>(Target);
    t->SetChecked(!t->GetChecked());
  }
  void UpdateTarget(TObject* Target) override { SetEnabled(static_cast<TToggle*>(Target)->GetVisible()); }
};

ORV_REGISTER(TFlipAction)

class Actions : public ::testing::Test {
 protected:
  forms::test::Session session;
  LeakCheck leaks;  // everything the test makes is gone by its end
  TForm* form = nullptr;
  TAction* save = nullptr;
  TToggle *a = nullptr, *b = nullptr;
  void SetUp() override {
    TakeLog();
    form = MakeForm("Form");
    save = New<TAction>(form);
    save->SetCaption("&Save");
    save->SetHint("Save the file");
    save->SetOnExecute([](TObject*) { Log().push_back("save runs"); });
    a = Make<TToggle>(form, "A", Bounds(10, 10, 60, 20));
    b = Make<TToggle>(form, "B", Bounds(10, 40, 60, 20));
    form->Show();
    win::test::PumpUntilIdle();
  }
  void TearDown() override {
    form->Free();
    EXPECT_TRUE(forms::test::RecordedExceptions().empty());
  }
};

TEST_F(Actions, WhatTheActionShowsFlowsToItsControlsUntilAControlChangesItItself) {
  a->SetAction(save);
  b->SetAction(save);
  EXPECT_EQ(a->GetCaption(), "&Save");
  EXPECT_EQ(a->GetHint(), "Save the file");
  EXPECT_EQ(save->GetClientCount(), 2);

  save->SetCaption("Save &all");
  save->SetEnabled(false);
  save->SetChecked(true);
  EXPECT_EQ(a->GetCaption(), "Save &all");
  EXPECT_FALSE(a->GetEnabled());
  EXPECT_TRUE(a->GetChecked());  // through the windowed control's link

  // B takes a caption of its own; the action no longer moves it.
  b->SetCaption("Keep");
  save->SetCaption("Store");
  save->SetChecked(false);
  save->SetVisible(false);
  EXPECT_EQ(a->GetCaption(), "Store");
  EXPECT_EQ(b->GetCaption(), "Keep");
  EXPECT_FALSE(a->GetChecked());
  EXPECT_FALSE(b->GetVisible());  // the rest still follows

  // Freed either way round, neither side is left pointing at the other.
  b->Free();
  EXPECT_EQ(save->GetClientCount(), 1);
  save->Free();
  EXPECT_EQ(a->GetAction(), nullptr);
  a->Press();  // the handler it was given stays
  EXPECT_EQ(TakeLog(), Seq({"save runs"}));
}

TEST_F(Actions, AClickRunsTheActionUnlessTheControlHasAHandlerOfItsOwn) {
  a->SetAction(save);
  a->Press();
  EXPECT_EQ(TakeLog(), Seq({"save runs"}));
  // A new handler on the action reaches a control that still had the old.
  save->SetOnExecute([](TObject*) { Log().push_back("save v2"); });
  a->Press();
  a->OnClick = [](TObject*) { Log().push_back("own click"); };
  a->Press();
  EXPECT_EQ(TakeLog(), Seq({"save v2", "own click"}));
  a->SetAction(nullptr);
  EXPECT_EQ(save->GetClientCount(), 0);
}

TEST_F(Actions, IdleTimeUpdatesTheActionsOfVisibleControls) {
  Integer updates = 0;
  save->OnUpdate = [&](TObject*) {
    ++updates;
    save->SetEnabled(updates < 2);
  };
  a->SetAction(save);
  b->SetAction(save);
  b->Hide();
  Application->OnIdle = [](TObject*, bool& done) { done = false; };
  win::test::PumpUntilIdle();
  Application->HandleMessage();  // nothing queued: idle
  EXPECT_EQ(updates, 1);         // A only: B is hidden
  win::test::PumpUntilIdle();
  Application->HandleMessage();
  EXPECT_EQ(updates, 2);
  EXPECT_FALSE(a->GetEnabled());
  Application->OnIdle = nullptr;
}

TEST_F(Actions, AnActionWithoutAHandlerActsOnTheFocusedControlOrItsParents) {
  auto* flip = New<TFlipAction>(form);
  b->SetFocus();
  win::test::PumpUntilIdle();
  EXPECT_TRUE(flip->Execute());
  EXPECT_TRUE(b->GetChecked());
  EXPECT_FALSE(a->GetChecked());
  b->Hide();
  a->SetFocus();
  win::test::PumpUntilIdle();
  EXPECT_TRUE(flip->Update());  // offered to A, which is visible
  EXPECT_TRUE(flip->GetEnabled());
}

TEST_F(Actions, ALayoutLinksAControlToItsActionByName) {
  auto* f = static_cast<TForm*>(forms::test::BuildFromText(
      "object Box: TForm\n"
      "  object Top: TPanel\n"
      "    Action = Open\n"
      "  end\n"
      "  object Open: TAction\n"
      "    Caption = '&Open'\n"
      "    Enabled = False\n"
      "  end\n"
      "end\n"));
  auto* p = static_cast<TPanel*>(f->FindComponent("Top"));
  auto* open = static_cast<TAction*>(f->FindComponent("Open"));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->GetAction(), open);
  EXPECT_EQ(p->GetCaption(), "&Open");
  EXPECT_FALSE(p->GetEnabled());
  f->Free();
}

}  // namespace
