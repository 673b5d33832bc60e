// TListBox on a form: items kept across windows, the person's choices as
// Click, owner-drawn items through the reflected CN_MEASUREITEM and
// CN_DRAWITEM, the wheel, and typed-prefix search timed by the clock.
#include "ListButtonTestUtil.h"
#include "platform/forms/Menus.h"

using namespace lb_test;

namespace {

class ListBoxWrapper : public Stage {
 protected:
  TForm* form = nullptr;
  TListBox* list = nullptr;
  int clicks = 0;

  void SetUp() override {
    Stage::SetUp();
    form = MakeForm("Main");
    list = Make<TListBox>(form, "List", Bounds(10, 10, 120, 80));
    list->OnClick = [this](TObject*) { ++clicks; };
  }
  void TearDown() override {
    form->Free();
    Stage::TearDown();
  }
  HWND Handle() { return list->GetHandle(); }
};

TEST_F(ListBoxWrapper, ItemsSelectionAndScrollOutliveTheWindow) {
  TObject* tag = New<TObject>();
  // Before there is a window.
  list->GetItems()->Add("one");
  list->GetItems()->AddObject("two", tag);
  list->GetItems()->Insert(0, "zero");
  list->SetItemIndex(2);
  EXPECT_FALSE(list->HandleAllocated());
  EXPECT_EQ(list->GetCount(), 3);
  EXPECT_EQ(list->GetItemIndex(), 2);
  EXPECT_THROW(list->GetItems()->Get(3), EStringListError);

  // The window gets them, as its own messages tell.
  form->Show();
  EXPECT_EQ(Items(Handle()), (std::vector<std::string>{"zero", "one", "two"}));
  EXPECT_EQ(CurSel(Handle()), 2);
  EXPECT_EQ(SendMessageA(Handle(), LB_GETITEMDATA, 2, 0), reinterpret_cast<LRESULT>(tag));
  EXPECT_EQ(list->GetItems()->GetObject(2), tag);
  EXPECT_EQ(list->GetItems()->IndexOf("ONE"), 1);
  EXPECT_EQ(clicks, 0);

  for (int i = 3; i < 30; ++i) list->GetItems()->Add("item " + std::to_string(i));
  list->SetTopIndex(10);
  list->SetScrollWidth(400);
  // A new window (the style changes) starts where the old one was.
  list->SetStyle(lbOwnerDrawFixed);
  EXPECT_TRUE(GetWindowLongPtrA(Handle(), GWL_STYLE) & LBS_OWNERDRAWFIXED);
  EXPECT_EQ(list->GetCount(), 30);
  EXPECT_EQ(list->GetItems()->Get(29), "item 29");
  EXPECT_EQ(list->GetItemIndex(), 2);
  EXPECT_EQ(list->GetItems()->GetObject(2), tag);
  EXPECT_EQ(list->GetTopIndex(), 10);
  EXPECT_EQ(list->GetScrollWidth(), 400);
  EXPECT_EQ(list->GetItemHeight(), 16);
  EXPECT_EQ(SendMessageA(Handle(), LB_GETITEMHEIGHT, 0, 0), 16);

  // Deleting the selected item clears the selection; Clear empties it all.
  list->GetItems()->Delete(2);
  EXPECT_EQ(list->GetItemIndex(), -1);
  list->Clear();
  EXPECT_EQ(Count(Handle()), 0);
  EXPECT_EQ(clicks, 0);
  tag->Free();
}

TEST_F(ListBoxWrapper, ThePersonsChoiceIsClickAndTheWheelScrolls) {
  for (int i = 0; i < 20; ++i) list->GetItems()->Add("row " + std::to_string(i));
  form->Show();
  const TRect second = list->ItemRect(1);
  EXPECT_EQ(list->ItemAtPos(TPoint{5, second.Top + 1}, true), 1);
  EXPECT_EQ(list->ItemRect(20).Top, list->ItemRect(19).Bottom);

  ClickAt(Handle(), {5, second.Top + 1});
  EXPECT_EQ(GetFocus(), Handle());
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  Press(VK_DOWN);
  EXPECT_EQ(list->GetItemIndex(), 2);
  EXPECT_EQ(clicks, 2);
  list->SetItemIndex(5);  // a program's choice is no click
  EXPECT_EQ(clicks, 2);

  win::test::MouseMove(Handle(), {5, 5});
  win::test::Wheel(-120);
  Pump();
  EXPECT_EQ(list->GetTopIndex(), 3);
  // An OnMouseWheel handler that takes the wheel keeps the list still.
  list->OnMouseWheel = [](TObject*, TShiftState, Integer, TPoint, bool& handled) { handled = true; };
  win::test::Wheel(-120);
  Pump();
  EXPECT_EQ(list->GetTopIndex(), 3);

  // Few items: below the last one is no item, or Count when asked so.
  list->Clear();
  list->GetItems()->Add("only");
  EXPECT_EQ(list->ItemAtPos(TPoint{5, 60}, true), -1);
  EXPECT_EQ(list->ItemAtPos(TPoint{5, 60}, false), 1);
  EXPECT_EQ(list->ItemAtPos(TPoint{500, 5}, true), -1);
}

// A long list scrolled far down: the item under a point is the one drawn
// there, past item 65,535 too, as a click there chooses it.
TEST_F(ListBoxWrapper, TheItemAtAPointPastItem65535IsTheOneShownThere) {
  list->GetItems()->BeginUpdate();
  for (int i = 0; i < 70000; ++i) list->GetItems()->Add("row " + std::to_string(i));
  list->GetItems()->EndUpdate();
  form->Show();
  list->SetTopIndex(66000);
  ASSERT_EQ(list->GetTopIndex(), 66000);
  const TRect third = list->ItemRect(66002);
  EXPECT_EQ(list->ItemAtPos(TPoint{5, 1}, true), 66000);
  EXPECT_EQ(list->ItemAtPos(TPoint{5, third.Top + 1}, true), 66002);
  ClickAt(Handle(), {5, third.Top + 1});
  EXPECT_EQ(list->GetItemIndex(), 66002);

  list->SetTopIndex(69999);  // the last rows fill the view
  const TRect last = list->ItemRect(69999);
  EXPECT_EQ(list->ItemAtPos(TPoint{5, last.Top + 1}, true), 69999);
}

TEST_F(ListBoxWrapper, OwnerDrawnItemsGoThroughTheWrappersEvents) {
  std::vector<std::string> log;
  list->SetStyle(lbOwnerDrawVariable);
  list->OnMeasureItem = [&log](TWinControl*, Integer index, Integer& height) {
    height = 12 + 2 * index;
    log.push_back("measure " + std::to_string(index));
  };
  list->OnDrawItem = [&log, this](TWinControl* control, Integer index, TRect rect, TOwnerDrawState state) {
    EXPECT_EQ(control, list);
    std::string line = "draw " + std::to_string(index) + " h" + std::to_string(rect.Height());
    if (state.Contains(odSelected)) line += " selected";
    if (state.Contains(odFocused)) line += " focused";
    log.push_back(line);
    // The canvas comes with the selection's colours.
    list->GetCanvas()->FillRect(rect);
  };
  form->Show();
  for (const char* s : {"a", "b", "c"}) list->GetItems()->Add(s);
  EXPECT_EQ(log, (std::vector<std::string>{"measure 0", "measure 1", "measure 2"}));
  EXPECT_EQ(list->ItemRect(2).Top, 12 + 14);
  log.clear();
  UpdateWindow(Handle());
  // Showing the form focused the list: its caret item has the focus.
  EXPECT_EQ(GetFocus(), Handle());
  EXPECT_EQ(log, (std::vector<std::string>{"draw 0 h12 focused", "draw 1 h14", "draw 2 h16"}));

  log.clear();
  ClickAt(Handle(), {5, 13});
  EXPECT_EQ(log, (std::vector<std::string>{"draw 0 h12", "draw 1 h14 selected focused"}));
  EXPECT_EQ(clicks, 1);
  // Selected in the highlight colour, with the focus rectangle drawn over it.
  EXPECT_EQ(PixelAt(Handle(), 50, 12 + 7), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_NE(PixelAt(Handle(), 0, 12), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(PixelAt(Handle(), 50, 5), GetSysColor(COLOR_WINDOW));
  Snapshot(Handle(), "ListBoxOwnerDrawn.png");

  // A second owner-drawn list on the same form is asked about its own items.
  auto* other = Make<TListBox>(form, "Other", Bounds(150, 10, 100, 80));
  other->SetStyle(lbOwnerDrawVariable);
  std::vector<Integer> otherMeasured;
  other->OnMeasureItem = [&otherMeasured](TWinControl*, Integer index, Integer& height) {
    otherMeasured.push_back(index);
    height = 30;
  };
  log.clear();
  other->GetItems()->Add("x");
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(otherMeasured, std::vector<Integer>{0});
  EXPECT_EQ(other->ItemRect(0).Height(), 30);
}

TEST_F(ListBoxWrapper, TypingSearchesByPrefixWithinTheDelay) {
  for (const char* s : {"apple", "Apricot", "banana", "blueberry", "cherry"}) list->GetItems()->Add(s);
  form->Show();
  list->SetFocus();
  auto type = [this](const char* text) {
    win::test::TypeText(text);
    Pump();
    session.Win().Clock().Advance(100);
  };
  type("a");
  EXPECT_EQ(list->GetItemIndex(), 0);
  type("p");
  type("r");  // "apr", each key within the delay of the one before
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_EQ(clicks, 2);
  session.Win().Clock().Advance(500);  // a pause starts afresh
  type("b");
  EXPECT_EQ(list->GetItemIndex(), 2);
  type("l");
  EXPECT_EQ(list->GetItemIndex(), 3);
  type("x");  // no item starts "blx": the selection stays
  EXPECT_EQ(list->GetItemIndex(), 3);
  win::test::KeyPress(VK_BACK);  // takes the "x" back
  Pump();
  type("u");
  EXPECT_EQ(list->GetItemIndex(), 3);
  EXPECT_EQ(clicks, 4);

  // Without AutoComplete the native control's own first-letter search runs.
  list->SetAutoComplete(false);
  session.Win().Clock().Advance(1000);
  type("c");
  EXPECT_EQ(list->GetItemIndex(), 4);
  type("h");
  EXPECT_EQ(list->GetItemIndex(), 4);
  EXPECT_EQ(clicks, 5);
}

TEST_F(ListBoxWrapper, SeveralSelectedItemsOutliveTheWindowAndTypingChoosesOneAlone) {
  for (const char* s : {"alder", "birch", "cedar", "dogwood", "elm"}) list->GetItems()->Add(s);
  auto selected = [this] {
    std::vector<int> out;
    for (Integer i = 0; i < list->GetCount(); ++i)
      if (list->GetSelected(i)) out.push_back(i);
    return out;
  };
  // Chosen before there is a window.
  list->SetMultiSelect(true);
  list->SetSelected(1, true);
  list->SetSelected(3, true);
  list->SetItemIndex(3);
  EXPECT_EQ(list->GetSelCount(), 2);
  EXPECT_THROW(list->GetSelected(5), EStringListError);
  form->Show();
  EXPECT_TRUE(GetWindowLongPtrA(Handle(), GWL_STYLE) & LBS_EXTENDEDSEL);
  EXPECT_EQ(controls::test::ListSelectedItems(Handle()), (std::vector<int>{1, 3}));
  EXPECT_EQ(list->GetItemIndex(), 3);  // the caret item

  // A person's Shift-click is a Click; the range runs from the anchor.
  const int h = list->ItemRect(1).Top;
  win::test::KeyDown(VK_SHIFT);
  Pump();
  ClickAt(Handle(), {5, 4 * h + 2});
  win::test::KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(selected(), (std::vector<int>{3, 4}));
  EXPECT_EQ(clicks, 1);

  // Simple multiple selection: a new window with the same selection; a
  // click turns one more item on.
  list->SetExtendedSelect(false);
  EXPECT_TRUE(GetWindowLongPtrA(Handle(), GWL_STYLE) & LBS_MULTIPLESEL);
  EXPECT_EQ(selected(), (std::vector<int>{3, 4}));
  session.Win().Clock().Advance(1000);
  ClickAt(Handle(), {5, 2});
  EXPECT_EQ(selected(), (std::vector<int>{0, 3, 4}));
  EXPECT_EQ(list->GetItemIndex(), 0);

  // Single again: the item index, being selected, stays the selection.
  list->SetMultiSelect(false);
  EXPECT_EQ(list->GetItemIndex(), 0);
  EXPECT_EQ(selected(), std::vector<int>{0});
  EXPECT_EQ(list->GetSelCount(), 1);
  list->SetSelected(2, true);
  EXPECT_EQ(list->GetItemIndex(), 2);
  list->SetSelected(2, false);
  EXPECT_EQ(list->GetItemIndex(), -1);
  EXPECT_EQ(list->GetSelCount(), 0);

  // Typing chooses the item found, alone, as a person's choice.
  list->SetMultiSelect(true);
  list->SetExtendedSelect(true);
  list->SetSelected(0, true);
  list->SetSelected(4, true);
  list->SetFocus();
  const int before = clicks;
  win::test::TypeText("ce");
  Pump();
  EXPECT_EQ(selected(), std::vector<int>{2});
  EXPECT_EQ(list->GetItemIndex(), 2);
  EXPECT_EQ(clicks, before + 1);  // "ce" finds what "c" found
  list->ClearSelection();
  EXPECT_EQ(list->GetSelCount(), 0);
}

TEST_F(ListBoxWrapper, AMenuAskedForFromTheKeyboardOpensUnderTheFocusedItem) {
  for (int i = 0; i < 20; ++i) list->GetItems()->Add("row " + std::to_string(i));
  auto* menu = New<TPopupMenu>(form);
  auto* item = New<TMenuItem>(form);
  item->SetCaption("Copy");
  menu->GetItems()->Add(item);
  list->SetPopupMenu(menu);
  form->Show();
  list->SetFocus();
  list->SetItemIndex(3);
  auto shiftF10 = [] {
    forms::test::DismissMenu();
    win::test::KeyDown(VK_SHIFT);
    win::test::KeyPress(VK_F10);
    win::test::KeyUp(VK_SHIFT);
    Pump();
  };
  shiftF10();
  // Scrolled out of sight, the item gives way to the list's corner.
  list->SetTopIndex(10);
  shiftF10();
  const auto calls = forms::test::PopupMenuLog();
  ASSERT_EQ(calls.size(), 2u);
  const TRect third = list->ItemRect(3);  // as it was shown before the scroll
  EXPECT_EQ(calls[0].Pos, list->ClientToScreen({0, 4 * (third.Height())}));
  EXPECT_EQ(calls[1].Pos, list->ClientToScreen({0, 0}));
}

TEST_F(ListBoxWrapper, LoadsFromALayout) {
  TComponent* built = forms::test::BuildFromText(
      "object Box: TForm\n"
      "  object Names: TListBox\n"
      "    Left = 4\n"
      "    Top = 4\n"
      "    Items.Strings = (\n"
      "      'first'\n"
      "      'second')\n"
      "    ItemIndex = 1\n"
      "  end\n"
      "end\n");
  auto* box = dynamic_cast<TForm*>(built);
  ASSERT_NE(box, nullptr);
  auto* names = dynamic_cast<TListBox*>(box->FindComponent("Names"));
  ASSERT_NE(names, nullptr);
  EXPECT_EQ(names->GetCount(), 2);
  EXPECT_EQ(names->GetItemIndex(), 1);
  box->Free();
}

}  // namespace
