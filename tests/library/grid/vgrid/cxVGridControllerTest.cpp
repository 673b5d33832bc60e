#include "library/grid/vgrid/cxVGrid.h"

#include "library/grid/VGridSession.h"
#include "library/editors/core/cxDropDownEdit.h"
#include "platform/forms/MessageBox.h"
#include "platform/win/Keyboard.h"

namespace {

class Keys : public vgrid_test::Session {
 protected:
  TTestVerticalGrid* grid = nullptr;
  TcxCategoryRow* ok = nullptr;
  TcxEditorRow* width = nullptr;
  TcxEditorRow* height = nullptr;
  TcxCategoryRow* deep = nullptr;
  TcxCategoryRow* deeper = nullptr;
  TcxEditorRow* leaf = nullptr;
  TcxCategoryRow* unused = nullptr;
  TcxEditorRow* seed = nullptr;
  TcxEditorRow* tail = nullptr;

  // Ok Values: Width, Height, Deep (collapsed): Deeper (collapsed): Leaf;
  // Unused Values (collapsed): Seed; Tail.
  void SetUp() override {
    Session::SetUp();
    grid = NewGrid();
    grid->SetBounds(8, 8, 300, 240);
    ok = AddCategory(grid, nullptr, "Ok Values");
    width = AddValueRow(grid, ok, "Width", TcxIntegerValueType::Class(), Variant(100));
    height = AddValueRow(grid, ok, "Height", TcxIntegerValueType::Class(), Variant(50));
    deep = AddCategory(grid, ok, "Deep");
    deeper = AddCategory(grid, deep, "Deeper");
    leaf = AddValueRow(grid, deeper, "Leaf", TcxStringValueType::Class(), Variant("green"));
    unused = AddCategory(grid, nullptr, "Unused Values");
    seed = AddValueRow(grid, unused, "Seed", TcxIntegerValueType::Class(), Variant(7));
    tail = AddValueRow(grid, nullptr, "Tail", TcxStringValueType::Class(), Variant("end"));
    deeper->SetExpanded(false);
    deep->SetExpanded(false);
    unused->SetExpanded(false);
    Pump();
  }

  TcxvgController* Controller() { return static_cast<TcxvgController*>(grid->GetController()); }
  bool Editing() { return Controller()->GetIsEditing(); }
  static void Press(win::BYTE vk) {
    win::test::KeyPress(vk);
    Pump();
  }
  static void PressWith(win::BYTE modifier, win::BYTE vk) {
    win::test::KeyDown(modifier);
    win::test::KeyPress(vk);
    win::test::KeyUp(modifier);
    Pump();
  }
  std::string Focus() {
    TcxCustomRow* row = Controller()->GetFocusedRow();
    auto* properties = row ? dynamic_cast<TcxCaptionRowProperties*>(row->GetRowProperties()) : nullptr;
    return (properties ? properties->GetCaption() : AnsiString("none")) + "/" +
           std::to_string(Controller()->GetFocusedCellIndex());
  }
};

// Up and Down walk the rows on show, categories included (they take the
// focus without a cell); Left and Right fold and unfold where a row has a
// button, otherwise they move between cells.
TEST_F(Keys, ArrowsWalkTheRowsOnShowAndFoldCategories) {
  grid->SetFocusedRow(ok);
  Pump();
  EXPECT_EQ(Focus(), "Ok Values/-1");
  Press(win::VK_DOWN);
  EXPECT_EQ(Focus(), "Width/0");
  Press(win::VK_DOWN);
  Press(win::VK_DOWN);
  EXPECT_EQ(Focus(), "Deep/-1");
  // Deep is folded: Down skips its subtree.
  Press(win::VK_DOWN);
  EXPECT_EQ(Focus(), "Unused Values/-1");
  Press(win::VK_UP);
  EXPECT_EQ(Focus(), "Deep/-1");

  // Right unfolds the category.
  Press(win::VK_RIGHT);
  EXPECT_TRUE(deep->GetExpanded());
  EXPECT_EQ(Focus(), "Deep/-1");
  Press(win::VK_DOWN);
  EXPECT_EQ(Focus(), "Deeper/-1");
  Press(win::VK_DOWN);
  EXPECT_EQ(Focus(), "Unused Values/-1") << "Deeper is still folded";
  Press(win::VK_UP);
  Press(win::VK_RIGHT);
  Press(win::VK_DOWN);
  EXPECT_EQ(Focus(), "Leaf/0");
  Type("y");
  ASSERT_TRUE(Editing());
  Press(win::VK_ESCAPE);
  EXPECT_FALSE(Editing());
  EXPECT_EQ(VarToStr(leaf->GetProperties()->GetValue()), "green");

  // Left folds the focused category and stays on it.
  Press(win::VK_UP);
  Press(win::VK_LEFT);
  EXPECT_FALSE(deeper->GetExpanded());
  EXPECT_EQ(Focus(), "Deeper/-1");

  // Without buttons the arrows are the navigator's: a category has no cell
  // to move to, so nothing changes.
  grid->GetOptionsView()->SetShowButtons(false);
  Press(win::VK_RIGHT);
  EXPECT_FALSE(deeper->GetExpanded());
  EXPECT_EQ(Focus(), "Deeper/-1");

  // The last row stays the last: Down and Tab do not wrap.
  grid->GetOptionsBehavior()->SetGoToNextCellOnTab(true);
  grid->SetFocusedRow(tail);
  Pump();
  Press(win::VK_DOWN);
  EXPECT_EQ(Focus(), "Tail/0");
  Press(win::VK_TAB);
  EXPECT_EQ(Focus(), "Tail/0");
  PressWith(win::VK_SHIFT, win::VK_TAB);
  EXPECT_EQ(Focus(), "Unused Values/-1");
}

// A row the program takes off the screen while it has the focus and its
// editor is open (hidden, folded away with its category, moved under a
// folded category) keeps what was typed and hands the focus to the nearest
// row above it on show, as a fold by key does: the keys typed next go where
// the user sees them, and Down goes on from there.
TEST_F(Keys, ARowTakenOffTheScreenHandsTheFocusOn) {
  grid->SetFocusedRow(height);
  Pump();
  Press(win::VK_F2);
  Press(win::VK_END);
  Type("1");
  ASSERT_TRUE(Editing());
  height->SetVisible(false);
  Pump();
  EXPECT_FALSE(Editing());
  EXPECT_EQ(VarToStr(height->GetProperties()->GetValue()), "501");
  EXPECT_EQ(Focus(), "Ok Values/-1");
  Type("2");
  EXPECT_FALSE(Editing()) << "a category opens no editor";
  EXPECT_EQ(VarToStr(height->GetProperties()->GetValue()), "501");
  Press(win::VK_DOWN);
  EXPECT_EQ(Focus(), "Width/0");

  // Folded away with its category, inside a bracket of the grid's.
  Press(win::VK_F2);
  Press(win::VK_END);
  Type("3");
  grid->BeginUpdate();
  ok->SetExpanded(false);
  EXPECT_EQ(Focus(), "Width/0") << "nothing moves inside the bracket";
  grid->EndUpdate();
  Pump();
  EXPECT_FALSE(Editing());
  EXPECT_EQ(VarToStr(width->GetProperties()->GetValue()), "1003");
  EXPECT_EQ(Focus(), "Ok Values/-1");
  EXPECT_FALSE(ok->GetExpanded()) << "the category stays folded";

  // Moved under a folded category.
  grid->SetFocusedRow(tail);
  Pump();
  Press(win::VK_F2);
  Press(win::VK_END);
  Type("s");
  tail->SetParent(unused);
  Pump();
  EXPECT_FALSE(Editing());
  EXPECT_EQ(VarToStr(tail->GetProperties()->GetValue()), "ends");
  EXPECT_EQ(Focus(), "Unused Values/-1");

  // A value its editor refuses is dropped: hiding the row does not fail.
  ok->SetExpanded(true);
  width->GetProperties()->GetEditProperties()->OnValidate = [](TObject*, Variant&, AnsiString& AErrorText,
                                                                bool& AError) {
    AError = true;
    AErrorText = "Not a width";
  };
  grid->SetFocusedRow(width);
  Pump();
  Press(win::VK_F2);
  Type("9");
  ASSERT_TRUE(Editing());
  EXPECT_NO_THROW(width->SetVisible(false));
  Pump();
  EXPECT_FALSE(Editing());
  EXPECT_EQ(VarToStr(width->GetProperties()->GetValue()), "1003");
  EXPECT_EQ(Focus(), "Ok Values/-1");

  // A top-level row with no row above it to take the focus leaves none.
  tail->SetParent(nullptr);
  grid->SetFocusedRow(tail);
  Pump();
  tail->SetVisible(false);
  Pump();
  EXPECT_EQ(Focus(), "none/-1");
  Press(win::VK_DOWN);
  EXPECT_EQ(Focus(), "Ok Values/-1");
}

// An arrow makes no character: where Left or Right folds or unfolds
// nothing (a value row with the expand button option), the character typed
// next still starts editing with itself.
TEST_F(Keys, AnArrowOnARowWithoutChildrenSwallowsNoLaterCharacter) {
  grid->SetFocusedRow(tail);
  Pump();
  Press(win::VK_LEFT);
  Type("5");
  ASSERT_TRUE(Editing()) << "the 5 is not lost";
  auto* editor = dynamic_cast<TcxCustomTextEdit*>(grid->GetInplaceEditor());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->GetText(), "5");
  Press(win::VK_ESCAPE);
  Press(win::VK_RIGHT);
  Press(win::VK_RIGHT);
  Type("6");
  ASSERT_TRUE(Editing());
  EXPECT_EQ(editor->GetText(), "6");
  Press(win::VK_ESCAPE);
  EXPECT_EQ(VarToStr(tail->GetProperties()->GetValue()), "end");
}

// Numeric-pad keys fold the focused row (+ and -) or unfold its whole
// subtree (*); their characters never reach an editor, and with Ctrl they
// work from inside one.
TEST_F(Keys, NumericPadKeysFoldOneRowOrUnfoldTheSubtree) {
  grid->SetFocusedRow(deep);
  Pump();
  Press(win::VK_MULTIPLY);
  EXPECT_TRUE(deep->GetExpanded());
  EXPECT_TRUE(deeper->GetExpanded());
  Press(win::VK_SUBTRACT);
  EXPECT_FALSE(deep->GetExpanded());
  EXPECT_TRUE(deeper->GetExpanded()) << "- folds only the focused row";
  Press(win::VK_ADD);
  EXPECT_TRUE(deep->GetExpanded());

  // On an editor row the '+' would otherwise open the editor with it.
  grid->SetFocusedRow(width);
  Pump();
  Press(win::VK_ADD);
  EXPECT_FALSE(Editing());
  EXPECT_EQ(VarToStr(width->GetProperties()->GetValue()), "100");

  // Ctrl with a pad key reaches the grid from inside an open editor.
  Press(win::VK_F2);
  ASSERT_TRUE(Editing());
  PressWith(win::VK_CONTROL, win::VK_SUBTRACT);
  EXPECT_FALSE(width->GetExpanded());
  Press(win::VK_ESCAPE);
  EXPECT_EQ(VarToStr(width->GetProperties()->GetValue()), "100");
}

// Enter and F2 open the editor; Enter in it posts and, unless the grid goes
// on to the next cell, stays; with GoToNextCellOnEnter it moves on and
// opens the next row's editor.
TEST_F(Keys, EnterPostsAndStaysOrMovesOn) {
  grid->SetFocusedRow(width);
  Pump();
  Press(win::VK_RETURN);
  ASSERT_TRUE(Editing());
  Press(win::VK_END);
  Type("5");
  Press(win::VK_RETURN);
  EXPECT_FALSE(Editing());
  EXPECT_EQ(Focus(), "Width/0");
  EXPECT_EQ(VarToStr(width->GetProperties()->GetValue()), "1005");

  grid->GetOptionsBehavior()->SetGoToNextCellOnEnter(true);
  Press(win::VK_F2);
  ASSERT_TRUE(Editing());
  Press(win::VK_RETURN);
  EXPECT_EQ(Focus(), "Height/0");
  EXPECT_TRUE(Editing()) << "the next row's editor opens";
  Press(win::VK_RETURN);
  EXPECT_EQ(Focus(), "Deep/-1");
  EXPECT_FALSE(Editing()) << "a category has no editor";
}

// The value grid's open drop-down list takes the keys a user gives it:
// with the cell's editor open (F2) Alt+Down drops it, the arrows walk its items, Enter takes the highlighted
// one into the cell and closes it, Escape closes it keeping the old value.
TEST_F(Keys, TheDroppedListOfACellTakesEnterAndEscape) {
  TcxEditorRow* biome = vgrid_test::AddParameter(grid, nullptr, "Biome", TcxComboBoxProperties::StaticClass(),
                                                 TcxStringValueType::Class(), Variant("Desert"), 0);
  Pump();
  grid->SetFocusedRow(biome);
  Pump();
  auto dropped = [&] {
    auto* combo = dynamic_cast<TcxCustomDropDownEdit*>(grid->GetInplaceEditor());
    return combo && grid->IsEditing() && combo->GetDroppedDown();
  };
  Press(win::VK_F2);
  PressWith(win::VK_MENU, win::VK_DOWN);
  ASSERT_TRUE(dropped()) << "Alt+Down drops the list";
  Press(win::VK_DOWN);
  Press(win::VK_RETURN);
  EXPECT_FALSE(dropped()) << "Enter closes the list";
  ASSERT_TRUE(grid->IsEditing()) << "and only the list: the editor stays open";
  EXPECT_EQ(VarToStr(grid->GetInplaceEditor()->GetEditValue()), "Swamp");
  Press(win::VK_RETURN);
  EXPECT_EQ(VarToStr(biome->GetProperties()->GetValue()), "Swamp") << "the highlighted item reaches the cell";

  Press(win::VK_F2);
  PressWith(win::VK_MENU, win::VK_DOWN);
  ASSERT_TRUE(dropped());
  Press(win::VK_UP);
  Press(win::VK_ESCAPE);
  EXPECT_FALSE(dropped()) << "Escape closes the list";
  Press(win::VK_RETURN);
  EXPECT_EQ(VarToStr(biome->GetProperties()->GetValue()), "Swamp") << "Escape keeps the old value";
}

// What is typed into a cell's open list searches the list; the grid's own
// key handling (here a program that jumps to rows by a letter) never sees
// it while the list is open, and sees it again once the list is closed.
TEST_F(Keys, TypingIntoACellsOpenListSearchesTheListAndNeverReachesTheGrid) {
  TcxEditorRow* biome = vgrid_test::AddParameter(grid, nullptr, "Biome", TcxComboBoxProperties::StaticClass(),
                                                 TcxStringValueType::Class(), Variant("Desert"), 0);
  std::vector<std::string> seen;
  grid->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
    if (Key >= 'A' && Key <= 'Z') {
      seen.push_back(std::string(1, static_cast<char>(Key)));
      Key = 0;
    }
  };
  Pump();
  grid->SetFocusedRow(biome);
  Pump();
  auto combo = [&] { return dynamic_cast<TcxCustomDropDownEdit*>(grid->GetInplaceEditor()); };
  Press(win::VK_F2);
  PressWith(win::VK_MENU, win::VK_DOWN);
  ASSERT_TRUE(combo() && combo()->GetDroppedDown());
  Type("t");
  EXPECT_TRUE(seen.empty()) << "the open list keeps the letter";
  Press(win::VK_RETURN);
  ASSERT_FALSE(combo()->GetDroppedDown());
  EXPECT_EQ(VarToStr(combo()->GetEditValue()), "Tundra") << "the list found its item";
  Press(win::VK_RETURN);
  EXPECT_EQ(VarToStr(biome->GetProperties()->GetValue()), "Tundra");
  Press(win::VK_F2);
  ASSERT_TRUE(combo() && !combo()->GetDroppedDown());
  Type("h");
  EXPECT_EQ(seen, std::vector<std::string>{"H"}) << "with the list closed the grid has the letter first";
  Press(win::VK_ESCAPE);
  EXPECT_EQ(VarToStr(biome->GetProperties()->GetValue()), "Tundra");
}

// PgDn and PgUp move by a page of rows and stop at the ends; with Ctrl they
// go to the first and last row on show.
TEST_F(Keys, PagingStopsAtTheEndsAndCtrlGoesThere) {
  TcxCategoryRow* many = AddCategory(grid, nullptr, "Many");
  std::vector<TcxEditorRow*> rows;
  for (Integer i = 0; i < 40; ++i)
    rows.push_back(AddValueRow(grid, many, "Row " + std::to_string(i), TcxIntegerValueType::Class(), Variant(i)));
  Pump();
  grid->SetFocusedRow(ok);
  Pump();
  Press(win::VK_NEXT);
  const std::string afterOnePage = Focus();
  EXPECT_NE(afterOnePage, "Ok Values/-1");
  for (int i = 0; i < 10; ++i) Press(win::VK_NEXT);
  EXPECT_EQ(Focus(), "Row 39/0");
  PressWith(win::VK_CONTROL, win::VK_PRIOR);
  EXPECT_EQ(Focus(), "Ok Values/-1");
  PressWith(win::VK_CONTROL, win::VK_NEXT);
  EXPECT_EQ(Focus(), "Row 39/0");
  Press(win::VK_PRIOR);
  Press(win::VK_NEXT);
  EXPECT_EQ(Focus(), "Row 39/0");
}

// A click on a value cell opens its editor at once; a click handler that
// moves the focus elsewhere (back to the row of a file it will not leave,
// say) keeps it there: the end of that click does not open the cell under
// the pointer again. It used to, which put the focus back where the
// handler had just taken it from.
TEST_F(Keys, AClickHandlerThatMovesTheFocusKeepsItWhereItPutIt) {
  grid->SetFocus();
  grid->SetFocusedRow(width);
  Pump();
  const auto clickValueOf = [&](TcxEditorRow* row) {
    const TRect r = grid->GetVGViewInfo()->GetRowViewInfo(row)->ValuesRect;
    win::test::Click(grid->GetHandle(), cxRectCenter(r));
    Pump();
  };
  clickValueOf(height);
  EXPECT_EQ(Focus(), "Height/0");
  EXPECT_TRUE(Editing());

  int clicks = 0;
  grid->OnClick = [&](TObject*) {
    ++clicks;
    grid->SetFocusedRow(width);
  };
  clickValueOf(tail);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Focus(), "Width/0");
  EXPECT_FALSE(Editing());
  grid->OnClick = nullptr;
}

}  // namespace

// A grid with the multi-records controller over several records of its own.
class TTestRecordsGrid : public TcxVerticalGrid {
  ORV_CLASS(TTestRecordsGrid, TcxVerticalGrid)
 public:
  explicit TTestRecordsGrid(TComponent* AOwner) : TcxVerticalGrid(AOwner) {}
  TcxCustomControlControllerClass GetControllerClass() override {
    return TcxvgMultiRecordsController::StaticClass();
  }
  TcxControlOptionsDataClass GetOptionsDataClass() override { return TcxvgMultiRecordsOptionsData::StaticClass(); }
  TcxControlOptionsViewClass GetOptionsViewClass() override { return TcxvgMultiRecordsOptionsView::StaticClass(); }
  TcxControlOptionsBehaviorClass GetOptionsBehaviorClass() override {
    return TcxvgMultiRecordsOptionsBehavior::StaticClass();
  }

 protected:
  TcxvgLayoutStyle GetViewLayoutStyle() override { return lsMultiRecordView; }
};

ORV_REGISTER(TTestRecordsGrid)

namespace {

using Records = vgrid_test::Session;

// Insert adds a record; Delete asks "Delete record?" first when the options
// say so and deletes only on OK; a user who may not delete is not asked.
TEST_F(Records, InsertAddsAndDeleteAsksFirst) {
  auto* grid = New<TTestRecordsGrid>(form);
  grid->SetParent(form);
  grid->SetBounds(8, 8, 300, 200);
  form->Show();
  Pump();
  TcxEditorRow* row = AddValueRow(grid, nullptr, "Name", TcxStringValueType::Class(), Variant("a"));
  TcxCustomDataController* data = grid->GetDataController();
  data->AppendRecord();
  data->AppendRecord();
  grid->SetFocus();
  grid->SetFocusedRow(row);
  Pump();
  const Integer records = data->GetRecordCount();
  auto* options = static_cast<TcxvgMultiRecordsOptionsData*>(grid->GetOptionsData());

  forms::test::AnswerMessageBox(win::IDCANCEL);
  win::test::KeyPress(win::VK_DELETE);
  Pump();
  ASSERT_EQ(forms::test::MessageBoxLog().size(), 1u);
  const forms::test::MessageBoxCall asked = forms::test::MessageBoxLog().back();
  EXPECT_EQ(asked.Text, "Delete record?");
  EXPECT_EQ(asked.Caption, "Confirm");
  EXPECT_EQ(asked.Flags, static_cast<win::UINT>(win::MB_OKCANCEL | win::MB_ICONQUESTION));
  EXPECT_EQ(data->GetRecordCount(), records) << "Cancel keeps the record";

  forms::test::AnswerMessageBox(win::IDOK);
  win::test::KeyPress(win::VK_DELETE);
  Pump();
  EXPECT_EQ(data->GetRecordCount(), records - 1);

  options->SetDeleting(false);
  win::test::KeyPress(win::VK_DELETE);
  Pump();
  EXPECT_EQ(data->GetRecordCount(), records - 1);
  EXPECT_EQ(forms::test::MessageBoxLog().size(), 2u) << "nobody is asked about what may not happen";

  win::test::KeyPress(win::VK_INSERT);
  Pump();
  EXPECT_TRUE(data->GetEditState().Contains(dceInsert));
  data->Cancel();
  options->SetInserting(false);
  win::test::KeyPress(win::VK_INSERT);
  Pump();
  EXPECT_FALSE(data->GetEditState().Contains(dceInsert));
}

// Insert on the first record, then a click on another one: the new record,
// still empty, goes, and the record clicked takes the focus.
TEST_F(Records, AClickOnAnotherRecordDropsTheEmptyInsertAndFocusesThatRecord) {
  auto* grid = New<TTestRecordsGrid>(form);
  grid->SetParent(form);
  grid->SetBounds(8, 8, 400, 200);
  grid->GetOptionsView()->SetValueWidth(60);
  form->Show();
  TcxEditorRow* row = AddValueRow(grid, nullptr, "Name", TcxStringValueType::Class(), Variant("a"));
  TcxCustomDataController* data = grid->GetDataController();
  const Integer item = row->GetProperties()->GetItemIndex();
  while (data->GetRecordCount() < 3) data->AppendRecord();
  for (Integer r = 0; r < 3; ++r) data->SetValue(r, item, Variant(AnsiString(1, static_cast<char>('a' + r))));
  grid->SetFocus();
  grid->SetFocusedRow(row);
  data->SetFocusedRecordIndex(0);
  Pump();

  win::test::KeyPress(win::VK_INSERT);
  Pump();
  ASSERT_TRUE(data->GetEditState().Contains(dceInsert));
  ASSERT_EQ(data->GetRecordCount(), 4);
  const TcxRowValueInfo* last = nullptr;
  TcxValueInfoList* values = grid->GetVGViewInfo()->GetRowViewInfo(row)->GetValuesInfo();
  for (Integer i = 0; i < values->GetCount(); ++i)
    if (values->GetItem(i)->RecordIndex == 3) last = values->GetItem(i);
  ASSERT_NE(last, nullptr) << "the record of \"c\" is on show";
  win::test::Click(grid->GetHandle(), cxRectCenter(last->ClipRect));
  Pump();
  EXPECT_FALSE(data->GetEditState().Contains(dceInsert));
  EXPECT_EQ(data->GetRecordCount(), 3);
  ASSERT_NE(data->GetFocusedRecordIndex(), -1);
  EXPECT_EQ(VarToStr(data->GetValue(data->GetFocusedRecordIndex(), item)), "c");
}

}  // namespace
