// The check box on a headless form, driven by injected input: Space held
// and released, clicks (quick ones too), the caption's accelerator, the
// grayed cycle, posting at once, a refused edit, loading a layout with and
// without an action, the state values that must stay apart, the filter
// row's helper, and the front end's Boolean rows opened in place.
#include <gtest/gtest.h>

#include "ConcreteEditorSession.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/core/cxFilterControlUtils.h"
#include "library/editors/cxCheckBox.h"
#include "platform/rtl/ObjectText.h"
#include "platform/win/Keyboard.h"

using namespace win;
using edit_test::Log;
using edit_test::Text;

namespace {

class CheckBox : public edit_test::ConcreteEditorTest {
 protected:
  TcxCheckBox* MakeBox(const char* ACaption = "Loud") {
    auto* box = Make<TcxCheckBox>({10, 10, 130, 31});
    box->SetCaption(ACaption);
    box->OnClick = [this](TObject*) { log.push_back("click"); };
    box->GetProperties()->OnChange = [this](TObject*) { log.push_back("change"); };
    box->GetProperties()->OnEditValueChanged = [this, box](TObject*) {
      log.push_back("value " + Text(box->GetEditValue()));
    };
    box->OnDblClick = [this](TObject*) { log.push_back("double click"); };
    box->OnEditing = [this](TObject*, bool& CanEdit) { CanEdit = !refuseEditing; };
    return box;
  }
  TPoint CheckCenter(TcxCheckBox* box) { return Center(box->GetViewInfo()->CheckBoxRect); }
};

TEST_F(CheckBox, ValuesShowTheirStateAndOnlyTheThreeStateValuesAreValid) {
  TOwned<TcxCheckBoxProperties> p(New<TcxCheckBoxProperties>(nullptr));
  struct Row {
    Variant Value;
    TcxCheckBoxState State;
    const char* Text;
    bool Valid;
  };
  const Row rows[] = {
      {Variant(true), cbsChecked, "True", true},   {Variant(false), cbsUnchecked, "False", true},
      {Null(), cbsGrayed, "", true},               {Variant(1), cbsGrayed, "", false},
      {Variant("True"), cbsChecked, "True", false}, {Variant(-1), cbsGrayed, "", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Text(row.Value));
    EXPECT_EQ(p->GetState(row.Value), row.State);
    EXPECT_EQ(p->GetDisplayText(row.Value), row.Text);
    Variant value = row.Value;
    EXPECT_EQ(p->IsEditValueValid(value, false), row.Valid);
    Variant display;
    p->PrepareDisplayValue(row.Value, display, false);
    EXPECT_EQ(display.AsInteger(), static_cast<Integer>(row.State));
  }
}

TEST_F(CheckBox, StateValuesStayApartAsGetStateComparesThem) {
  TOwned<TcxCheckBoxProperties> p(New<TcxCheckBoxProperties>(nullptr));
  // Taken only when apart from the other two; Null and arrays where not
  // allowed are refused without a word.
  p->SetValueChecked(Variant(false));
  p->SetValueChecked(Null());
  p->SetValueChecked(VarArrayOf({Variant(1), Variant(2)}));
  p->SetValueGrayed(VarArrayOf({Variant(1)}));
  EXPECT_EQ(Text(p->GetValueChecked()), "True");
  EXPECT_TRUE(VarIsNull(p->GetValueGrayed()));
  // The text 'True' and the Boolean True read the same to GetState: once
  // one of them means checked, the other cannot mean unchecked.
  p->SetValueChecked(Variant("True"));
  EXPECT_EQ(VarType(p->GetValueChecked()), varString);
  p->SetValueUnchecked(Variant(true));
  EXPECT_EQ(Text(p->GetValueUnchecked()), "False");
  EXPECT_EQ(p->GetState(p->GetValueUnchecked()), cbsUnchecked);
  p->SetValueGrayed(Variant(2));
  EXPECT_EQ(Text(p->GetValueGrayed()), "2");

  // Copying takes all three, also when the values trade places.
  TOwned<TcxCheckBoxProperties> swapped(New<TcxCheckBoxProperties>(nullptr));
  swapped->SetValueUnchecked(Variant(7));
  swapped->SetValueChecked(Variant(false));
  swapped->SetValueUnchecked(Variant(true));
  p->Assign(swapped.get());
  EXPECT_EQ(Text(p->GetValueChecked()), "False");
  EXPECT_EQ(Text(p->GetValueUnchecked()), "True");
  EXPECT_TRUE(VarIsNull(p->GetValueGrayed()));
}

TEST_F(CheckBox, HeldSpaceShowsThePressedCheckAndTheReleaseTogglesOnceAlsoUnderTheMouse) {
  TcxCheckBox* box = MakeBox();
  Show();
  Focus(box);
  Hover(box, CheckCenter(box));
  EXPECT_EQ(box->GetViewInfo()->CheckBoxCheckState, ecsHot);
  test::KeyDown(VK_SPACE);
  test::KeyRepeat(VK_SPACE, 3);
  Pump();
  EXPECT_EQ(box->GetViewInfo()->CheckBoxCheckState, ecsPressed);
  EXPECT_EQ(log, Log{});
  test::KeyUp(VK_SPACE);
  Pump();
  EXPECT_EQ(log, (Log{"click", "change", "value True"}));
  Hover(box, TPoint(CheckCenter(box).X + 1, CheckCenter(box).Y));
  Hover(box, CheckCenter(box));
  EXPECT_TRUE(box->GetChecked());
  EXPECT_EQ(log.size(), 3u);
}

TEST_F(CheckBox, APressAndReleaseTogglesOnceAndAQuickSecondClickIsAnotherToggle) {
  TcxCheckBox* box = MakeBox();
  Show();
  Focus(box);
  test::Click(box->GetHandle(), {20, 10});
  Pump();
  EXPECT_EQ(log, (Log{"click", "change", "value True"}));
  log.clear();
  test::PumpFor(50);
  test::Click(box->GetHandle(), {20, 10});
  Pump();
  EXPECT_EQ(log, (Log{"click", "change", "value False"}));
  log.clear();
  // Pressed, then released outside: nothing.
  Hover(box, {20, 10});
  test::MouseDown();
  Pump();
  EXPECT_EQ(box->GetViewInfo()->CheckBoxCheckState, ecsPressed);
  test::MouseMove(form->GetHandle(), {300, 250});
  test::MouseUp();
  Pump();
  EXPECT_EQ(log, Log{});
}

TEST_F(CheckBox, TheCaptionsAcceleratorFocusesAndToggles) {
  TcxCheckBox* box = MakeBox("&Loud");
  auto* other = MakeBox("Quiet");
  other->SetTop(50);
  Show();
  Focus(other);
  test::KeyDown(VK_MENU);
  test::KeyPress('L');
  test::KeyUp(VK_MENU);
  Pump();
  EXPECT_TRUE(box->IsFocused());
  EXPECT_TRUE(box->GetChecked());
  EXPECT_FALSE(other->GetChecked());
}

TEST_F(CheckBox, AllowGrayedCyclesThroughGrayedAndARefusedEditKeepsTheValue) {
  TcxCheckBox* box = MakeBox();
  box->GetProperties()->SetAllowGrayed(true);
  Show();
  Focus(box);
  std::vector<TcxCheckBoxState> states;
  for (int i = 0; i < 4; ++i) {
    Press(VK_SPACE);
    states.push_back(box->GetState());
  }
  EXPECT_EQ(states, (std::vector<TcxCheckBoxState>{cbsGrayed, cbsChecked, cbsUnchecked, cbsGrayed}));
  log.clear();
  refuseEditing = true;
  box->SetModifiedAfterEnter(false);
  Press(VK_SPACE);
  test::Click(box->GetHandle(), {20, 10});
  Pump();
  EXPECT_EQ(box->GetState(), cbsGrayed);
  EXPECT_EQ(log, Log{});
}

TEST_F(CheckBox, LoadingTakesTheStoredStateOrTheLinkedActionsAndAnActionChecksWithoutAClick) {
  RegisterClasses({TcxCheckBox::StaticClass(), TAction::StaticClass()});
  const char* const plain =
      "object Form1: TForm\n"
      "  object Box1: TcxCheckBox\n"
      "    Left = 10\n"
      "    Caption = 'Loud'\n"
      "    State = cbsChecked\n"
      "  end\n"
      "  object Box2: TcxCheckBox\n"
      "    Left = 10\n"
      "    Top = 40\n"
      "    Caption = 'Quiet'\n"
      "  end\n"
      "end\n";
  TForm* loaded = TCustomForm::CreateNew<TForm>(Application);
  ReadComponentFromText(plain, loaded);
  auto* box1 = static_cast<TcxCheckBox*>(loaded->FindComponent("Box1"));
  auto* box2 = static_cast<TcxCheckBox*>(loaded->FindComponent("Box2"));
  EXPECT_EQ(box1->GetState(), cbsChecked);
  EXPECT_EQ(box2->GetState(), cbsUnchecked);
  // The unchecked state is the default: only the checked box stores one.
  EXPECT_EQ(ComponentToText(loaded).find("State ="), ComponentToText(loaded).rfind("State ="));
  loaded->Free();

  const char* const withAction =
      "object Form1: TForm\n"
      "  object Act1: TAction\n"
      "    Caption = 'Loud'\n"
      "    Checked = True\n"
      "  end\n"
      "  object Box1: TcxCheckBox\n"
      "    Action = Act1\n"
      "  end\n"
      "end\n";
  loaded = TCustomForm::CreateNew<TForm>(Application);
  ReadComponentFromText(withAction, loaded);
  box1 = static_cast<TcxCheckBox*>(loaded->FindComponent("Box1"));
  auto* action = static_cast<TAction*>(loaded->FindComponent("Act1"));
  EXPECT_TRUE(box1->GetChecked());
  EXPECT_EQ(box1->GetCaption(), "Loud");
  // The state follows the action, so it is not stored.
  EXPECT_FALSE(box1->IsStateStored());
  Log clicks;
  box1->OnClick = [&clicks](TObject*) { clicks.push_back("click"); };
  action->SetChecked(false);
  EXPECT_FALSE(box1->GetChecked());
  EXPECT_EQ(clicks, Log{});
  loaded->Free();
}

TEST_F(CheckBox, TheFilterRowChoosesBetweenTheCheckedAndTheUncheckedText) {
  TOwned<TcxCheckBoxProperties> p(New<TcxCheckBoxProperties>(nullptr));
  p->SetValueUnchecked(Variant(0));
  p->SetValueChecked(Variant(5));
  p->SetDisplayChecked(u"on");
  p->SetDisplayUnchecked(u"off");
  TcxCustomFilterEditHelperClass helper = FilterEditsController()->FindHelper(TcxCheckBoxProperties::StaticClass());
  ASSERT_EQ(static_cast<TClass>(helper), TcxFilterCheckBoxHelper::StaticClass());
  EXPECT_EQ(helper->GetSupportedFilterOperators(p.get(), nullptr, true),
            (TcxFilterControlOperators{fcoEqual, fcoNotEqual, fcoBlanks, fcoNonBlanks}));
  TOwned<TcxCustomEdit> edit(helper->GetFilterEdit(p.get()));
  auto* combo = dynamic_cast<TcxCustomComboBox*>(edit.get());
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->GetActiveProperties()->GetDropDownListStyle(), lsFixedList);
  EXPECT_EQ(combo->GetActiveProperties()->GetItems()->GetText(), "on\r\noff\r\n");
  Variant value;
  AnsiString text;
  helper->SetFilterValue(edit.get(), p.get(), Variant(0));
  helper->GetFilterValue(edit.get(), p.get(), value, text);
  EXPECT_EQ(Text(value) + " " + text, "0 off");
  helper->SetFilterValue(edit.get(), p.get(), Variant(3));
  helper->GetFilterValue(edit.get(), p.get(), value, text);
  EXPECT_TRUE(VarIsNull(value));
  EXPECT_EQ(text, "");
}

TEST_F(CheckBox, TheFrontEndsBooleanRowsPostTheirTwoIntegers) {
  auto* row = Row<TcxCheckBoxProperties>();
  row->SetAllowGrayed(false);
  row->SetDisplayUnchecked(u"0");
  row->SetValueUnchecked(Variant(0));
  row->SetDisplayChecked(u"5");
  row->SetValueChecked(Variant(5));
  // Opened by Space: the character toggles at once.
  TcxCustomEdit* box = Open(row, Variant(0));
  TcxCustomEditData* data = nullptr;
  box->ActivateByKey(' ', data);
  Pump();
  Close(box);
  box = Open(row, Variant(5));
  box->ActivateByKey(' ', data);
  Pump();
  Close(box);
  // An empty cell becomes checked on the first toggle.
  box = Open(row, Null());
  box->ActivateByKey(' ', data);
  Pump();
  Close(box);
  EXPECT_EQ(log, (Log{"take 5", "take 0", "take 5"}));

  // With ImmediatePost each toggle posts on its own.
  row->SetImmediatePost(true);
  log.clear();
  box = Open(row, Variant(0));
  Press(VK_SPACE);
  Press(VK_SPACE);
  EXPECT_EQ(log, (Log{"post 5", "post 0"}));
  Close(box);
  // The row's display texts are plain settings: a write needs no notice.
  row->LockUpdate(true);
  row->SetDisplayChecked(u"yes");
  row->LockUpdate(false);
  EXPECT_EQ(row->GetDisplayText(Variant(5)), "yes");
}

TEST_F(CheckBox, InPlaceTheOpeningSpaceTogglesOnceAlsoWithTheMouseOnTheBox) {
  // The grid opens the cell by the space the user typed while the mouse
  // rests on the check: the box is hot, not held, and the space toggles.
  auto* row = Row<TcxCheckBoxProperties>();
  TcxCustomEdit* editor = Open(row, Variant(false));
  auto* box = static_cast<TcxCheckBox*>(editor);
  const TPoint check = CheckCenter(box);
  Close(editor);
  log.clear();
  editor = pool->GetEdit(row);
  editor->SetEditValue(Variant(false));
  editor->SetVisible(true);
  Hover(editor, check);
  ASSERT_EQ(box->GetViewInfo()->CheckBoxCheckState, ecsHot);
  TcxCustomEditData* data = nullptr;
  editor->ActivateByKey(' ', data);
  Pump();
  EXPECT_TRUE(box->GetChecked());
  // Its release toggles nothing more; a space pressed there is one toggle.
  test::KeyUp(VK_SPACE);
  Pump();
  EXPECT_TRUE(box->GetChecked());
  Press(VK_SPACE);
  EXPECT_FALSE(box->GetChecked());
  Close(editor);
  EXPECT_EQ(log, Log{"take False"});
  if (data) data->Free();
}

TEST_F(CheckBox, TheUnitRegistersTheKindAndItsFilterHelper) {
  TcxRegisteredClasses* kinds = GetRegisteredEditProperties();
  const Integer index = kinds->GetIndexByClass(TcxCheckBoxProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(kinds->GetDescription(index), "CheckBox");
  EXPECT_EQ(kinds->GetHint(index), "Represents a check box control that allows selecting an option");
  EXPECT_NE(cxEditCheckMarkMask(), nullptr);
  cxCheckBoxFinalize();
  EXPECT_LT(kinds->GetIndexByClass(TcxCheckBoxProperties::StaticClass()), 0);
  EXPECT_EQ(cxEditCheckMarkMask(), nullptr);
  cxCheckBoxInitialize();
}

}  // namespace
