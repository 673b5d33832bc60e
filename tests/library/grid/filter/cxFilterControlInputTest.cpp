// The filter builder driven as a person drives it: keys, clicks, the
// action menu and the drop-down list build a filter, value editors store
// on Enter and restore on Escape, Ctrl+Delete removes, applying filters
// the control; without a link nothing opens.
#include "library/grid/FilterControlSession.h"

#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxCustomEdit.h"
#include "library/editors/core/cxEditPopupWindow.h"
#include "platform/controls/Buttons.h"
#include "platform/forms/Menus.h"

using namespace grid_test;
using Names = std::vector<std::string>;

namespace {

class FilterInput : public FilterSession {
 protected:
  void SetUp() override {
    FilterSession::SetUp();
    form->Show();
    Pump();
    builder->SetFocus();
    Pump();
  }
  void ClickAt(const TRect& R) {
    win::test::Click(builder->GetHandle(), cxRectCenter(R), 1);
    Pump();
  }
  TcxComboBox* Combo() { return builder->GetComboBox(); }
  // The focused part as "row:part[:value]".
  std::string Focus() {
    static const char* parts[] = {"none", "button", "bool", "item", "operator", "value", "add-condition", "add-value"};
    const auto& info = builder->GetFocusInfo();
    std::string text = std::to_string(builder->FocusedRowIndex()) + ":" + parts[static_cast<int>(info.HitTest)];
    if (info.HitTest == cxfc::fhtValue) text += ":" + std::to_string(info.ValueIndex);
    return text;
  }
};

TEST_F(FilterInput, KeysAndClicksBuildAFilterThatTheControlApplies) {
  // Insert on the root adds a condition on the first item, its item text
  // focused.
  Press(win::VK_INSERT);
  ASSERT_EQ(Rows(), (Names{"0:G AND", "1:C Name like [null|]"}));
  auto* condition = Condition(1);
  EXPECT_EQ(builder->GetFocusInfo().HitTest, cxfc::fhtItem);
  // A text item offers 14 operators; the list shows 12 rows at a time.
  ClickAt(condition->OperatorRect);
  ASSERT_TRUE(Combo()->GetDroppedDown());
  auto* comboProperties = static_cast<TcxComboBoxProperties*>(Combo()->GetProperties());
  EXPECT_EQ(comboProperties->GetItems()->GetCount(), 14);
  EXPECT_EQ(comboProperties->GetDropDownRows(), 12);
  Press(win::VK_ESCAPE);
  builder->SetFocusedRow(condition);

  // Enter opens the list of items over the item text; Down and Space take
  // "Count" (Space closes like Enter and types nothing). A number item
  // starts with "equals", the operator focused.
  Press(win::VK_RETURN);
  ASSERT_TRUE(Combo()->GetDroppedDown());
  EXPECT_EQ(builder->GetState(), fcsSelectingItem);
  EXPECT_EQ(static_cast<TcxComboBoxProperties*>(Combo()->GetProperties())->GetDropDownRows(), 5);
  Press(win::VK_DOWN);
  Press(win::VK_SPACE);
  EXPECT_FALSE(Combo()->GetDroppedDown());
  EXPECT_EQ(builder->GetState(), fcsNormal);
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Count equals [null|]"}));
  EXPECT_EQ(builder->GetFocusInfo().HitTest, cxfc::fhtOperator);

  // A click on the operator opens the operators; "between" is eight down.
  ClickAt(condition->OperatorRect);
  ASSERT_TRUE(Combo()->GetDroppedDown());
  for (int i = 0; i < 8; ++i) Press(win::VK_DOWN);
  Press(win::VK_RETURN);
  EXPECT_EQ(condition->Operator, fcoBetween);
  EXPECT_EQ(builder->GetFocusInfo().HitTest, cxfc::fhtValue);
  EXPECT_EQ(builder->GetFocusInfo().ValueIndex, 0);

  // Typing on a value opens its editor with the key; Enter stores.
  Type("13");
  ASSERT_NE(builder->GetValueEditor(), nullptr);
  EXPECT_EQ(builder->GetState(), fcsSelectingValue);
  Press(win::VK_RETURN);
  EXPECT_EQ(builder->GetValueEditor(), nullptr);
  EXPECT_TRUE(builder->Focused());
  Press(win::VK_RIGHT);
  EXPECT_EQ(builder->GetFocusInfo().ValueIndex, 1);
  EXPECT_EQ(builder->GetFocusInfo().HitTest, cxfc::fhtValue);
  Type("3");
  Press(win::VK_RETURN);
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Count between [13|13] [3|3]"}));

  // Escape restores the value the editor opened with.
  Type("99");
  Press(win::VK_ESCAPE);
  EXPECT_EQ(builder->GetValueEditor(), nullptr);
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Count between [13|13] [3|3]"}));

  // The action menu of the row adds a group (with a condition); its item
  // takes "Ratio" from the list, "is greater than" and 2.
  builder->SetFocusedRow(condition);
  forms::test::PickMenuItem("Add &Group");
  ClickAt(condition->ButtonRect);
  ASSERT_EQ(builder->GetRowCount(), 4);
  auto* inner = Condition(3);
  ClickAt(inner->ItemRect);
  Press(win::VK_DOWN);
  Press(win::VK_DOWN);
  Press(win::VK_RETURN);
  ClickAt(inner->OperatorRect);
  for (int i = 0; i < 4; ++i) Press(win::VK_DOWN);
  Press(win::VK_RETURN);
  Type("2");
  Press(win::VK_RETURN);
  // A third condition in the group, removed again with Ctrl+Delete from
  // its value editor.
  Press(win::VK_INSERT);
  ASSERT_EQ(builder->GetRowCount(), 5);
  Press(win::VK_RIGHT);
  Press(win::VK_RIGHT);
  Type("x");
  ASSERT_NE(builder->GetValueEditor(), nullptr);
  Chord(win::VK_CONTROL, win::VK_DELETE);
  EXPECT_EQ(builder->GetValueEditor(), nullptr);
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Count between [13|13] [3|3]", "1:G AND",
                           "2:C Ratio is greater than [2|2]"}));

  // Applying: Count 3..13 and Ratio > 2: gamma (13, 9.0) and alfalfa is
  // 1.5; beta 0.5; delta (7, 7.5).
  builder->ApplyFilter();
  EXPECT_EQ(target->Visible(), (Names{"gamma", "delta"}));

  // The root's menu offers "Clear &All" behind a line; it clears.
  builder->SetFocusedRow(builder->GetRoot());
  forms::test::PickMenuItem("Clear &All");
  ClickAt(builder->GetRoot()->ButtonRect);
  EXPECT_EQ(Rows(), (Names{"0:G AND"}));
  ASSERT_FALSE(forms::test::PopupMenuLog().empty());
  EXPECT_EQ(forms::test::PopupMenuLog().back().Items,
            (std::vector<AnsiString>{"Add Condition", "Add Group", "-", "Clear All"}));
  // On an empty root neither the line nor the fourth item shows.
  forms::test::DismissMenu();
  ClickAt(builder->GetRoot()->ButtonRect);
  EXPECT_EQ(forms::test::PopupMenuLog().back().Items, (std::vector<AnsiString>{"Add Condition", "Add Group"}));
  EXPECT_EQ(builder->GetState(), fcsNormal);
}

TEST_F(FilterInput, ADateItemOffersTheDateOperatorsFromItsList) {
  Forms.Win().Clock().SetDateTime(EncodeDate(2026, 12, 7).Value + 0.5);
  Press(win::VK_INSERT);
  auto* condition = Condition(1);
  ClickAt(condition->ItemRect);
  for (int i = 0; i < 3; ++i) Press(win::VK_DOWN);
  Press(win::VK_RETURN);
  EXPECT_EQ(condition->ItemText, "Since");
  EXPECT_TRUE(condition->GetSupportedOperators().Contains(fcoYesterday));
  EXPECT_TRUE(condition->GetSupportedOperators().Contains(fcoInFuture));
  ClickAt(condition->OperatorRect);
  ASSERT_TRUE(Combo()->GetDroppedDown());
  TStrings* items = static_cast<TcxComboBoxProperties*>(Combo()->GetProperties())->GetItems();
  const Integer from = items->IndexOf(condition->OperatorText);
  const Integer to = items->IndexOf("is yesterday");
  ASSERT_GE(to, from);
  for (Integer i = from; i < to; ++i) Press(win::VK_DOWN);
  Press(win::VK_RETURN);
  EXPECT_EQ(condition->Operator, fcoYesterday);
  EXPECT_FALSE(condition->HasDisplayValues());
  builder->ApplyFilter();
  EXPECT_EQ(target->Visible(), (Names{"gamma"}));
}

TEST_F(FilterInput, RemovingARowTakesItsChainOfSingleChildGroupsAndNothingOpensWithoutALink) {
  builder->AddCondition(nullptr);
  builder->AddGroup();
  builder->AddGroup();
  ASSERT_EQ(Rows(), (Names{"0:G AND", "1:C Name like [null|]", "1:G AND", "2:C Name like [null|]", "2:G AND",
                           "3:C Name like [null|]"}));
  // The condition of the innermost group: its group has one child, but
  // the group above has two, so only the innermost group goes.
  builder->SetFocusedRow(builder->GetRow(5));
  Chord(win::VK_CONTROL, win::VK_DELETE);
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Name like [null|]", "1:G AND", "2:C Name like [null|]"}));
  EXPECT_EQ(builder->GetFocusedRow(), builder->GetRow(3));
  // Now the last condition is alone in its group: both go.
  builder->SetFocusedRow(builder->GetRow(3));
  Chord(win::VK_CONTROL, win::VK_DELETE);
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Name like [null|]"}));

  // Without a link: disabled, Insert adds nothing, no list or menu opens.
  builder->SetLinkComponent(nullptr);
  EXPECT_EQ(Rows(), (Names{"0:G AND"}));
  Press(win::VK_INSERT);
  EXPECT_EQ(builder->GetRowCount(), 1);
  const size_t menus = forms::test::PopupMenuLog().size();
  ClickAt(builder->GetRoot()->ButtonRect);
  ClickAt(builder->GetRoot()->BoolOperatorRect);
  EXPECT_EQ(forms::test::PopupMenuLog().size(), menus);
  EXPECT_FALSE(Combo()->GetDroppedDown());
  EXPECT_EQ(builder->GetRoot()->ButtonState, cxbsDisabled);
  EXPECT_EQ(builder->GetViewInfo()->GetAddConditionButtonState(), cxbsDisabled);
}

// Rows added or removed while a value is being edited: the editor closes
// first, its value going to the value it was opened on (or, with its row,
// nowhere), and the builder goes on with no editor left open.
TEST_F(FilterInput, ChangingTheRowsWhileAValueIsEditedClosesItsEditorFirst) {
  Add(builder->GetRoot(), 1, fcoInList, {Variant(7)});
  auto editValue = [&](Integer AValue, const char* AText) {
    builder->SetFocus();
    builder->SetFocusedRow(Condition(1));
    Pump();
    for (Integer i = 0; i < AValue + 2; ++i) Press(win::VK_RIGHT);
    ASSERT_EQ(Focus(), "1:value:" + std::to_string(AValue));
    Type(AText);
    ASSERT_NE(builder->GetValueEditor(), nullptr);
  };
  editValue(0, "42");
  builder->AddValue();
  EXPECT_EQ(builder->GetValueEditor(), nullptr);
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Count in [42|42] [null|]"}));
  EXPECT_EQ(Focus(), "1:value:1");

  editValue(1, "5");
  builder->AddCondition(nullptr);
  EXPECT_EQ(builder->GetValueEditor(), nullptr);
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Count in [42|42] [5|5]", "1:C Name like [null|]"}));

  editValue(0, "9");
  builder->RemoveRow();
  EXPECT_EQ(builder->GetValueEditor(), nullptr);
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Name like [null|]"}));
  builder->SetFocus();
  Type("x");
  Press(win::VK_RETURN);
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Name like [null|]"}));
}

// Tab walks the parts of the rows only with WantTabs; without it, and
// with Ctrl+Tab, it leaves the builder for the next control of the form.
TEST_F(FilterInput, TabWalksThePartsWithWantTabsAndLeavesTheBuilderOtherwise) {
  auto* next = New<TButton>(form);
  next->SetBounds(10, 280, 80, 24);
  next->SetParent(form);
  Add(builder->GetRoot(), 1, fcoBetween, {Variant(3), Variant(13)});
  Add(builder->GetRoot(), 1, fcoInList, {Variant(7)});
  builder->SetFocus();
  builder->SetFocusedRow(Condition(1));
  Pump();

  // Without WantTabs the form moves the focus on.
  Press(win::VK_TAB);
  EXPECT_TRUE(next->Focused());
  builder->SetFocus();
  Pump();

  builder->SetWantTabs(true);
  std::vector<std::string> walk{Focus()};
  for (int i = 0; i < 9; ++i) {
    Press(win::VK_TAB);
    walk.push_back(Focus());
  }
  EXPECT_EQ(walk, (Names{"1:item", "1:operator", "1:value:0", "1:value:1", "2:button", "2:item", "2:operator",
                         "2:value:0", "2:add-value", "2:add-condition"}));
  EXPECT_TRUE(builder->Focused());
  // Shift+Tab walks back up from the add-condition button.
  walk.clear();
  for (int i = 0; i < 4; ++i) {
    Chord(win::VK_SHIFT, win::VK_TAB);
    walk.push_back(Focus());
  }
  EXPECT_EQ(walk, (Names{"2:add-value", "2:value:0", "2:operator", "2:item"}));

  // Tab in an open value editor stores its value and moves on.
  builder->SetFocusedRow(Condition(1));
  Press(win::VK_TAB);
  Press(win::VK_TAB);
  ASSERT_EQ(Focus(), "1:value:0");
  Type("5");
  ASSERT_NE(builder->GetValueEditor(), nullptr);
  Press(win::VK_TAB);
  EXPECT_EQ(builder->GetValueEditor(), nullptr);
  EXPECT_EQ(Focus(), "1:value:1");
  EXPECT_EQ(VarToStr(Condition(1)->GetValues()->GetValue(0)->Value), "5");
  EXPECT_TRUE(builder->Focused());

  // Ctrl+Tab leaves even with WantTabs.
  Chord(win::VK_CONTROL, win::VK_TAB);
  EXPECT_TRUE(next->Focused());
}

}  // namespace
