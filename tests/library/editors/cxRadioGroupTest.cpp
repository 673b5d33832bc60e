// The radio group on a headless form, driven by injected input: clicks,
// the arrows along the columns, Tab through the group, the focus message,
// a read-only group and a refused edit; its button windows made and freed
// one at a time; values and their items (the windows behind the items
// included); loading a layout; in place, the grid's activating click and
// the front end's list rows; the filter row's helper and the unit.
#include <gtest/gtest.h>

#include <algorithm>

#include "ConcreteEditorSession.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/core/cxFilterControlUtils.h"
#include "library/editors/cxRadioGroup.h"
#include "platform/controls/Edit.h"
#include "platform/rtl/ObjectText.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"

using namespace win;
using edit_test::Log;
using edit_test::Text;

namespace {

class RadioGroup : public edit_test::ConcreteEditorTest {
 protected:
  // The form's first control, which takes the focus when the form shows:
  // the focus arriving at a radio button would choose it.
  void SetUp() override {
    ConcreteEditorTest::SetUp();
    Make<TEdit>({300, 250, 390, 270});
  }
  // A group of the items (a caption each, and the value when not Null) in
  // AColumns columns, its events written to the log.
  TcxRadioGroup* MakeGroup(std::vector<Variant> AValues, Integer AColumns = 1, TRect ABounds = {10, 10, 210, 110}) {
    auto* group = Make<TcxRadioGroup>(ABounds);
    group->SetCaption("Size");
    TcxRadioGroupProperties* properties = group->GetProperties();
    properties->SetColumns(AColumns);
    for (std::size_t i = 0; i < AValues.size(); ++i) {
      TcxRadioGroupItem* item = properties->GetItems()->Add();
      item->SetCaption("Item " + std::to_string(i));
      item->SetValue(AValues[i]);
    }
    group->OnClick = [this](TObject*) { log.push_back("click"); };
    properties->OnChange = [this](TObject*) { log.push_back("change"); };
    properties->OnEditValueChanged = [this, group](TObject*) { log.push_back("value " + Text(group->GetEditValue())); };
    group->OnEditing = [this](TObject*, bool& CanEdit) {
      if (refuseEditing) log.push_back("editing refused");
      CanEdit = !refuseEditing;
    };
    return group;
  }
  static void ClickButton(TcxRadioGroup* AGroup, Integer AIndex) {
    TWinControl* button = AGroup->GetButton(AIndex);
    test::Click(button->GetHandle(), {button->GetWidth() / 2, button->GetHeight() / 2});
    Pump();
  }
  static Integer FocusedButton(TcxRadioGroup* AGroup) { return AGroup->GetFocusedButtonIndex(); }
  static std::string Checks(TcxRadioGroup* AGroup) {
    std::string s;
    for (Integer i = 0; i < AGroup->GetButtonCount(); ++i) s += AGroup->GetRadioButton(i)->GetChecked() ? 'x' : '.';
    return s;
  }
  static Integer ButtonWindows() {
    const std::string tree = test::DumpTree();
    Integer count = 0;
    for (std::size_t at = tree.find("TcxCustomRadioGroupButton"); at != std::string::npos;
         at = tree.find("TcxCustomRadioGroupButton", at + 1))
      ++count;
    return count;
  }
};

TEST_F(RadioGroup, AClickOnAnUncheckedButtonChecksItRaisesClickAndChangesTheValue) {
  TcxRadioGroup* group = MakeGroup({Variant(10), Variant(11), Variant(12)});
  Show();
  ClickButton(group, 1);
  EXPECT_EQ(log, (Log{"click", "change", "value 11"}));
  EXPECT_EQ(Checks(group), ".x.");
  EXPECT_EQ(group->GetItemIndex(), 1);
  log.clear();
  // The checked one again: nothing.
  ClickButton(group, 1);
  EXPECT_EQ(log, Log{});
  ClickButton(group, 2);
  EXPECT_EQ(log, (Log{"click", "change", "value 12"}));
  EXPECT_EQ(Checks(group), "..x");
}

TEST_F(RadioGroup, ArrowsMoveAlongTheColumnsWithoutWrappingAndTheFocusChecks) {
  // Five items in two columns: 0-2 in the first, 3-4 in the second.
  TcxRadioGroup* group = MakeGroup({Variant(0), Variant(1), Variant(2), Variant(3), Variant(4)}, 2);
  Show();
  ClickButton(group, 4);
  Press(VK_DOWN);
  EXPECT_EQ(FocusedButton(group), 4);
  Press(VK_UP);
  EXPECT_EQ(FocusedButton(group), 3);
  EXPECT_EQ(Text(group->GetEditValue()), "3");
  ClickButton(group, 2);
  Press(VK_RIGHT);
  EXPECT_EQ(FocusedButton(group), 2) << "item 5 does not exist";
  Press(VK_DOWN);
  EXPECT_EQ(FocusedButton(group), 2) << "the last row of its column";
  ClickButton(group, 3);
  log.clear();
  Press(VK_LEFT);
  EXPECT_EQ(FocusedButton(group), 0);
  EXPECT_EQ(Checks(group), "x....");
  EXPECT_EQ(log, (Log{"click", "change", "value 0"}));
  Press(VK_LEFT);
  Press(VK_UP);
  EXPECT_EQ(FocusedButton(group), 0);
}

// Asked as a window control, the group is focused while one of its
// buttons is; as a container it then leaves the focused look to the button.
TEST_F(RadioGroup, TheGroupIsFocusedWhileOneOfItsButtonsHasTheKeyboard) {
  TcxRadioGroup* group = MakeGroup({Variant(1), Variant(2)});
  auto* after = Make<TEdit>({10, 150, 110, 170});
  Show();
  TWinControl* asked = group;
  EXPECT_FALSE(asked->Focused());
  ClickButton(group, 1);
  ASSERT_EQ(FocusedButton(group), 1);
  EXPECT_TRUE(asked->Focused());
  EXPECT_FALSE(group->IsContainerFocused());
  after->SetFocus();
  Pump();
  EXPECT_FALSE(asked->Focused());
}

TEST_F(RadioGroup, TabReachesTheButtonsOnlyWhileAnItemIsChosen) {
  auto* before = Make<TEdit>({10, 120, 110, 140});
  TcxRadioGroup* group = MakeGroup({Variant(1), Variant(2), Variant(3)});
  auto* after = Make<TEdit>({10, 150, 110, 170});
  Show();
  before->SetFocus();
  Pump();
  Press(VK_TAB);
  EXPECT_EQ(test::Focus(), after->GetHandle()) << "no item chosen: the group is skipped";
  group->SetItemIndex(1);
  before->SetFocus();
  Pump();
  Press(VK_TAB);
  EXPECT_EQ(FocusedButton(group), 1);
  Press(VK_TAB);
  EXPECT_EQ(test::Focus(), after->GetHandle());
  Chord(VK_SHIFT, VK_TAB);
  EXPECT_EQ(FocusedButton(group), 1);
  Chord(VK_SHIFT, VK_TAB);
  EXPECT_EQ(test::Focus(), before->GetHandle());
  EXPECT_EQ(Checks(group), ".x.");
}

TEST_F(RadioGroup, TheFocusMessageChecksAndAReadOnlyOrRefusingGroupKeepsItsChoice) {
  TcxRadioGroup* group = MakeGroup({Variant(1), Variant(2), Variant(3)});
  Show();
  // The focus arriving other than by a click checks the button.
  SendMessageA(group->GetHandle(), DXM_FOCUSRADIOBUTTON, 2, 0);
  Pump();
  EXPECT_EQ(FocusedButton(group), 2);
  EXPECT_EQ(log, (Log{"click", "change", "value 3"}));
  for (WPARAM outside : {WPARAM(3), WPARAM(-1)}) SendMessageA(group->GetHandle(), DXM_FOCUSRADIOBUTTON, outside, 0);
  Pump();
  EXPECT_EQ(FocusedButton(group), 2);

  log.clear();
  group->GetProperties()->SetReadOnly(true);
  SendMessageA(group->GetHandle(), DXM_FOCUSRADIOBUTTON, 0, 0);
  Pump();
  EXPECT_EQ(FocusedButton(group), 0);
  Press(VK_SPACE);
  Press(VK_BACK);
  ClickButton(group, 1);
  EXPECT_EQ(Checks(group), "..x");
  EXPECT_EQ(Text(group->GetEditValue()), "3");
  EXPECT_EQ(log, Log{});

  group->GetProperties()->SetReadOnly(false);
  refuseEditing = true;
  ClickButton(group, 1);
  EXPECT_EQ(Checks(group), "..x");
  EXPECT_EQ(std::count(log.begin(), log.end(), "editing refused"), static_cast<long>(log.size()));
  EXPECT_FALSE(log.empty());
}

TEST_F(RadioGroup, ButtonWindowsAreMadeAndFreedOneAtATime) {
  // The shared things the first shown group makes (images, the screen
  // canvas, painter prototypes) stay for the whole run.
  Show();
  TcxRadioGroup* first = MakeGroup({Variant(0)});
  Pump();
  first->Free();
  Pump();
  const Int64 objects = TObject::LiveCount();
  const Integer windows = ButtonWindows();
  TcxRadioGroup* group = MakeGroup({Variant(1), Variant(2), Variant(3)});
  Show();
  EXPECT_EQ(ButtonWindows(), windows + 3);
  std::vector<HWND> handles;
  for (Integer i = 0; i < 3; ++i) handles.push_back(group->GetButton(i)->GetHandle());
  group->SetItemIndex(2);

  TcxRadioGroupItems* items = group->GetProperties()->GetItems();
  items->Add()->SetCaption("Item 3");
  Pump();
  EXPECT_EQ(ButtonWindows(), windows + 4);
  for (Integer i = 0; i < 3; ++i) EXPECT_EQ(group->GetButton(i)->GetHandle(), handles[i]) << i;
  // Removing item 1 frees that item's window only; the choice stays on
  // the button of its index.
  items->Delete(1);
  Pump();
  EXPECT_EQ(ButtonWindows(), windows + 3);
  EXPECT_FALSE(IsWindow(handles[1]));
  EXPECT_EQ(group->GetButton(0)->GetHandle(), handles[0]);
  EXPECT_EQ(group->GetButton(1)->GetHandle(), handles[2]);
  EXPECT_EQ(group->GetRadioButton(1)->GetCaption(), "Item 2");
  EXPECT_EQ(Checks(group), "..x");
  // A batch of changes leaves as many windows as items.
  items->BeginUpdate();
  items->Add();
  items->Add();
  items->Delete(0);
  items->EndUpdate();
  Pump();
  EXPECT_EQ(group->GetButtonCount(), 4);
  EXPECT_EQ(ButtonWindows(), windows + 4);

  group->Free();
  Pump();
  EXPECT_EQ(ButtonWindows(), windows);
  EXPECT_EQ(TObject::LiveCount(), objects);
}

TEST_F(RadioGroup, ValuesFindTheirItemsByValueOrByCaptionAndOutOfRangeChoicesAreClamped) {
  TcxRadioGroup* group = MakeGroup({Variant(10), Variant(11), Variant(12)});
  TcxRadioGroupProperties* properties = group->GetProperties();
  properties->SetDefaultCaption(u"(none)");
  Show();
  group->SetEditValue(Variant(11));
  EXPECT_EQ(Checks(group), ".x.");
  EXPECT_EQ(properties->GetDisplayText(group->GetEditValue()), "Item 1");
  group->SetEditValue(Variant(13));
  EXPECT_EQ(Checks(group), "...");
  EXPECT_EQ(properties->GetDisplayText(group->GetEditValue()), "(none)");
  // -1 is DefaultValue, Null until set; 99 is the last item.
  group->SetItemIndex(-1);
  EXPECT_TRUE(VarIsNull(group->GetEditValue()));
  properties->SetDefaultValue(Variant(7));
  group->SetItemIndex(-5);
  EXPECT_EQ(Text(group->GetEditValue()), "7");
  group->SetItemIndex(99);
  EXPECT_EQ(group->GetItemIndex(), 2);
  EXPECT_EQ(Text(group->GetEditValue()), "12");

  // An item without a value stands for its caption, letter for letter;
  // the first of equal items wins.
  TOwned<TcxRadioGroupProperties> words(New<TcxRadioGroupProperties>(nullptr));
  for (const char* caption : {"Yes", "No", "Yes"}) words->GetItems()->Add()->SetCaption(caption);
  EXPECT_EQ(words->GetRadioGroupItemIndex(Variant("Yes")), 0);
  EXPECT_EQ(words->GetRadioGroupItemIndex(Variant("yes")), -1);
  EXPECT_EQ(words->GetRadioGroupItemIndex(Null()), -1);
  words->GetItems()->Add();
  EXPECT_EQ(words->GetRadioGroupItemIndex(Null()), 3) << "Null is the empty caption of an item without a value";

  // Columns: the radio group's own rule and the button group's balanced one.
  properties->SetColumns(3);
  properties->GetItems()->Add()->SetValue(Variant(13));
  EXPECT_EQ(properties->GetColumnCount(), 3);
  TOwned<TcxCustomButtonGroupProperties> balanced(New<TcxCustomButtonGroupProperties>(nullptr));
  for (int i = 0; i < 4; ++i) balanced->GetItems()->Add();
  balanced->SetColumns(3);
  EXPECT_EQ(balanced->GetColumnCount(), 2);
  balanced->SetColumns(0);
  EXPECT_EQ(balanced->GetColumns(), 1);
}

TEST_F(RadioGroup, AValueSetWhileTheWindowsAreBehindTheItemsChecksTheRightButtonLater) {
  // Items being changed: the value names item 2, which has no window yet.
  TcxRadioGroup* group = MakeGroup({Variant(1)});
  Show();
  TcxRadioGroupItems* items = group->GetProperties()->GetItems();
  items->BeginUpdate();
  items->Add()->SetValue(Variant(2));
  items->Add()->SetValue(Variant(3));
  group->SetEditValue(Variant(3));
  EXPECT_EQ(group->GetButtonCount(), 1);
  EXPECT_EQ(Checks(group), ".");
  EXPECT_EQ(Text(group->GetEditValue()), "3");
  items->EndUpdate();
  Pump();
  EXPECT_EQ(Checks(group), "..x");
  EXPECT_EQ(Text(group->GetEditValue()), "3");

  // Before the group has a window, and with its items copied in as one
  // change.
  auto* later = New<TcxRadioGroup>(form);
  later->GetProperties()->BeginUpdate();
  later->GetProperties()->Assign(group->GetProperties());
  later->SetEditValue(Variant(2));
  later->GetProperties()->EndUpdate();
  later->SetBoundsRect({220, 10, 380, 110});
  later->SetParent(form);
  Pump();
  EXPECT_EQ(Checks(later), ".x.");
}

TEST_F(RadioGroup, ALayoutGivesDefaultValueThenTheStoredIndexAndStoresNoButtons) {
  RegisterClasses({TcxRadioGroup::StaticClass()});
  const char* const text =
      "object Form1: TForm\n"
      "  object Group1: TcxRadioGroup\n"
      "    Left = 10\n"
      "    Properties.DefaultValue = 5\n"
      "    Properties.Items = <\n"
      "      item\n"
      "        Caption = 'Small'\n"
      "        Value = 1\n"
      "      end\n"
      "      item\n"
      "        Caption = 'Large'\n"
      "        Value = 2\n"
      "      end>\n"
      "    ItemIndex = 1\n"
      "  end\n"
      "  object Group2: TcxRadioGroup\n"
      "    Top = 120\n"
      "    Properties.DefaultValue = 5\n"
      "    Properties.Items = <\n"
      "      item\n"
      "        Caption = 'Small'\n"
      "      end>\n"
      "  end\n"
      "end\n";
  TForm* loaded = TCustomForm::CreateNew<TForm>(Application);
  ReadComponentFromText(text, loaded);
  auto* group1 = static_cast<TcxRadioGroup*>(loaded->FindComponent("Group1"));
  auto* group2 = static_cast<TcxRadioGroup*>(loaded->FindComponent("Group2"));
  EXPECT_EQ(group1->GetItemIndex(), 1);
  EXPECT_EQ(Text(group1->GetEditValue()), "2");
  EXPECT_EQ(group2->GetItemIndex(), -1);
  EXPECT_EQ(Text(group2->GetEditValue()), "5");
  EXPECT_EQ(group1->GetButtonCount(), 2);
  const AnsiString written = ComponentToText(loaded);
  EXPECT_EQ(written.find("TcxCustomRadioGroupButton"), AnsiString::npos) << written;
  EXPECT_NE(written.find("ItemIndex = 1"), AnsiString::npos) << written;
  loaded->Free();
}

TEST_F(RadioGroup, InPlaceTheActivatingClickReachesTheButtonUnderTheMouse) {
  // The front end's list row: values Min + j, DefaultValue Min, one column.
  auto* row = Row<TcxRadioGroupProperties>();
  row->SetDefaultValue(Variant(3));
  for (Integer j = 0; j < 4; ++j) {
    TcxRadioGroupItem* item = row->GetItems()->Add();
    item->SetCaption("Level " + std::to_string(j));
    item->SetValue(Variant(3 + j));
  }
  TcxCustomEdit* editor = Open(row, Variant(4));
  auto* group = static_cast<TcxRadioGroup*>(editor);
  ASSERT_EQ(group->GetButtonCount(), 4);
  EXPECT_EQ(FocusedButton(group), 1);
  // The grid's press over the third item, in the grid's coordinates.
  const TRect third = group->GetViewInfo()->ButtonInfos[2]->Bounds;
  const TPoint p(editor->GetLeft() + (third.Left + third.Right) / 2, editor->GetTop() + (third.Top + third.Bottom) / 2);
  TcxCustomEditData* data = nullptr;
  group->ActivateByMouse({ssLeft}, p.X, p.Y, data);
  Pump();
  EXPECT_EQ(FocusedButton(group), 2);
  EXPECT_EQ(test::Capture(), nullptr) << "the press the grid saw is over";
  Close(editor);
  // The arrows move on; Down on the last row is the grid's.
  editor = Open(row, Variant(5));
  Press(VK_DOWN);
  EXPECT_EQ(FocusedButton(group), 3);
  Press(VK_DOWN);
  EXPECT_EQ(FocusedButton(group), 3);
  Close(editor);
  EXPECT_EQ(log, (Log{"take 5", "take 6"}));
  // Under ImmediatePost each choice posts at once.
  row->SetImmediatePost(true);
  log.clear();
  editor = Open(row, Variant(3));
  Press(VK_DOWN);
  EXPECT_EQ(log, (Log{"post 4"}));
  Close(editor);

  // A value of no item checks nothing and shows the default caption.
  group->SetEditValue(Variant(42));
  EXPECT_EQ(Checks(group), "....");
  EXPECT_EQ(row->GetDisplayText(Variant(42)), "");
  group->SetItemIndex(-1);
  EXPECT_EQ(Text(group->GetEditValue()), "3");
  group->SetItemIndex(99);
  EXPECT_EQ(Text(group->GetEditValue()), "6");
}

TEST_F(RadioGroup, InPlaceOpeningACellOfNoItemChoosesNothingUntilTheUserDoes) {
  // The front end's list rows keep a number outside their items (and an
  // empty cell) as it stands: opening the cell and leaving it must give it
  // back unchanged, though the first button takes the focus.
  auto* row = Row<TcxRadioGroupProperties>();
  row->SetDefaultValue(Variant(3));
  for (Integer j = 0; j < 3; ++j) {
    TcxRadioGroupItem* item = row->GetItems()->Add();
    item->SetCaption("Level " + std::to_string(j));
    item->SetValue(Variant(3 + j));
  }
  for (const Variant& outside : {Variant(7), Null()}) {
    SCOPED_TRACE(Text(outside));
    log.clear();
    TcxCustomEdit* editor = Open(row, outside);
    auto* group = static_cast<TcxRadioGroup*>(editor);
    EXPECT_EQ(FocusedButton(group), 0);
    EXPECT_EQ(Checks(group), "...");
    EXPECT_FALSE(editor->GetModifiedAfterEnter());
    Close(editor);
    EXPECT_EQ(log, Log{"take " + Text(outside)});
  }
  // The user's choice still counts: Space on the focused button, or an
  // arrow to the next one.
  log.clear();
  TcxCustomEdit* editor = Open(row, Variant(7));
  Press(VK_SPACE);
  EXPECT_EQ(Checks(static_cast<TcxRadioGroup*>(editor)), "x..");
  Close(editor);
  editor = Open(row, Variant(7));
  Press(VK_DOWN);
  EXPECT_EQ(Checks(static_cast<TcxRadioGroup*>(editor)), ".x.");
  Close(editor);
  EXPECT_EQ(log, (Log{"take 3", "take 4"}));

  // The Space that opens the cell is such a choice too, and the only one:
  // the focused button is chosen once, the value a read-only row holds is
  // kept, and opening by another key chooses nothing.
  log.clear();
  for (char key : {' ', 'a'}) {
    TcxCustomEdit* opened = pool->GetEdit(row);
    opened->SetEditValue(Variant(7));
    TcxCustomEditData* data = nullptr;
    opened->ActivateByKey(key, data);
    Pump();
    EXPECT_EQ(Checks(static_cast<TcxRadioGroup*>(opened)), key == ' ' ? "x.." : "...") << key;
    Close(opened);
  }
  row->SetReadOnly(true);
  TcxCustomEdit* locked = pool->GetEdit(row);
  locked->SetEditValue(Variant(7));
  TcxCustomEditData* data = nullptr;
  locked->ActivateByKey(' ', data);
  Pump();
  EXPECT_EQ(Checks(static_cast<TcxRadioGroup*>(locked)), "...");
  Close(locked);
  EXPECT_EQ(log, (Log{"take 3", "take 7", "take 7"}));
}

TEST_F(RadioGroup, TheFilterRowChoosesAmongTheCaptionsAndTheUnitRegistersTheKind) {
  TOwned<TcxRadioGroupProperties> p(New<TcxRadioGroupProperties>(nullptr));
  for (Integer i = 0; i < 3; ++i) {
    TcxRadioGroupItem* item = p->GetItems()->Add();
    item->SetCaption(i == 1 ? "mid" : "end " + std::to_string(i));
    if (i != 2) item->SetValue(Variant(i * 10));
  }
  p->SetDefaultValue(Variant(-1));
  p->SetDefaultCaption(u"none");
  TcxCustomFilterEditHelperClass helper = FilterEditsController()->FindHelper(TcxRadioGroupProperties::StaticClass());
  ASSERT_EQ(static_cast<TClass>(helper), TcxFilterRadioGroupHelper::StaticClass());
  EXPECT_EQ(helper->GetSupportedFilterOperators(p.get(), nullptr, false),
            (TcxFilterControlOperators{fcoEqual, fcoNotEqual, fcoBlanks, fcoNonBlanks}));
  EXPECT_TRUE(helper->GetSupportedFilterOperators(p.get(), nullptr, true).Contains(fcoNotInList));
  TOwned<TcxCustomEdit> edit(helper->GetFilterEdit(p.get()));
  auto* combo = dynamic_cast<TcxCustomComboBox*>(edit.get());
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->GetActiveProperties()->GetDropDownListStyle(), lsFixedList);
  EXPECT_EQ(combo->GetActiveProperties()->GetItems()->GetText(), "end 0\r\nmid\r\nend 2\r\n");
  Variant value;
  AnsiString text;
  for (const Variant& given : {Variant(10), Variant("end 2"), Variant(99)}) {
    helper->SetFilterValue(edit.get(), p.get(), given);
    helper->GetFilterValue(edit.get(), p.get(), value, text);
    log.push_back(Text(value) + " " + std::string(text));
  }
  EXPECT_EQ(log, (Log{"10 mid", "<null> end 2", "-1 none"}));

  TcxRegisteredClasses* kinds = GetRegisteredEditProperties();
  const Integer index = kinds->GetIndexByClass(TcxRadioGroupProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(kinds->GetDescription(index), "RadioGroup");
  EXPECT_EQ(kinds->GetHint(index), "Represents a group of radio buttons");
  cxRadioGroupFinalize();
  EXPECT_EQ(static_cast<TClass>(FilterEditsController()->FindHelper(TcxRadioGroupProperties::StaticClass())),
            nullptr);
  cxRadioGroupInitialize();
}

}  // namespace
