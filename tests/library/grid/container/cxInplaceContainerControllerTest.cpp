// The control controller, its cell navigator and hit test, and the
// hot-track controller's cell hints: which clicks focus and open, how the
// keys move between cells and records, incremental search, and hints that
// show at once, go after the hide pause and never cover the edited cell.
#include "library/grid/GridTestControl.h"

#include "library/editors/core/cxButtonEdit.h"
#include "platform/controls/Edit.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"

using namespace grid_test;

namespace {

class ControlInput : public GridSession {
 protected:
  // Two more records: "bravo" 7 1.5 and "brick" 9 0.25.
  void AddRecords() {
    TcxCustomDataController* data = grid->GetDataController();
    data->SetRecordCount(3);
    data->SetValue(1, 0, Variant("bravo"));
    data->SetValue(1, 1, Variant(7));
    data->SetValue(2, 0, Variant("brick"));
    data->SetValue(2, 1, Variant(9));
  }
  TcxCustomControlController* Controller() { return grid->GetController(); }
  static TPoint Right(TPoint P, Integer D) { return TPoint(P.X + D, P.Y); }
  // The cell hint on screen: its text, empty when none shows.
  AnsiString CellHint() {
    THintWindow* window = Controller()->GetHotTrackController()->GetHintWindow();
    return window && window->IsHintShowing() ? window->GetCaption() : AnsiString();
  }
  TRect CellHintRect() { return Controller()->GetHotTrackController()->GetHintWindow()->GetBoundsRect(); }
  Integer FocusedRecord() { return Controller()->GetFocusedRecordIndex(); }
  TcxCustomInplaceEditContainer* FocusedItem() { return Controller()->GetFocusedItem(); }
};

TEST_F(ControlInput, WhichButtonsFocusACellAndWhichOpenItsEditor) {
  AddRecords();
  Show();
  Controller()->SetFocusedRecordItem(0, name);
  Pump();

  Click(count, 1, win::VK_MBUTTON);
  EXPECT_EQ(FocusedRecord(), 0);
  EXPECT_EQ(FocusedItem(), name) << "a middle click never moves the focus";
  EXPECT_EQ(Editor(), nullptr);

  Click(count, 1, win::VK_RBUTTON);
  EXPECT_EQ(FocusedRecord(), 1);
  EXPECT_EQ(FocusedItem(), count) << "a right click focuses the cell";
  EXPECT_EQ(Editor(), nullptr) << "but opens nothing";

  grid->SetDragMode(dmAutomatic);
  EXPECT_FALSE(Controller()->GetImmediateEditor()) << "a control that drags itself opens no editor on a press";
  grid->SetDragMode(dmManual);
  EXPECT_TRUE(Controller()->GetImmediateEditor());

  // An input method starting its composition opens the editor.
  win::SendMessageA(grid->GetHandle(), win::WM_IME_STARTCOMPOSITION, 0, 0);
  Pump();
  ASSERT_NE(Editor(), nullptr);
  EXPECT_EQ(grid->Editing()->GetEditingItem(), count);
}

TEST_F(ControlInput, APressOnAnEditorButtonOfAnUnfocusedCellOpensTheEditorWithThatPress) {
  ratio->SetPropertiesClass(TcxButtonEditProperties::StaticClass());
  ratio->GetProperties()->OnButtonClick = [this](TObject*, Integer AIndex) {
    log.push_back("button " + std::to_string(AIndex));
  };
  grid->GetOptionsView()->SetShowEditButtons(ecsbAlways);
  grid->GetOptionsBehavior()->SetImmediateEditor(false);
  Show();
  Controller()->SetFocusedRecordItem(0, name);
  Pump();

  TTestCell* cell = grid->TestViewInfo()->Cell(0, 2);
  ASSERT_EQ(cell->EditViewInfo->GetButtonCount(), 1);
  const TRect button = cxRectOffset(cell->EditViewInfo->ButtonInfos[0]->Bounds, cell->EditViewInfo->Left,
                                    cell->EditViewInfo->Top);
  win::test::Click(grid->GetHandle(), cxRectCenter(button));
  Pump();
  EXPECT_EQ(FocusedItem(), ratio);
  ASSERT_NE(Editor(), nullptr) << "a press on a part that reacts opens the editor at once";
  EXPECT_EQ(log, Log({"button 0"})) << "and the same press clicks the button";

  // Elsewhere on an unfocused cell the press only focuses it.
  Press(win::VK_ESCAPE);
  Click(count);
  EXPECT_EQ(Editor(), nullptr);
}

TEST_F(ControlInput, ArrowsMoveBetweenCellsAndRecordsAndCycleOnlyWhenAsked) {
  AddRecords();
  Show();
  Controller()->SetFocusedRecordItem(0, ratio);
  Pump();

  Press(win::VK_RIGHT);
  EXPECT_EQ(FocusedRecord(), 0);
  EXPECT_EQ(FocusedItem(), ratio) << "without FocusCellOnCycle the focus stays at the end of the row";

  grid->GetOptionsBehavior()->SetFocusCellOnCycle(true);
  count->GetOptions()->SetFocusing(false);
  Press(win::VK_RIGHT);
  EXPECT_EQ(FocusedRecord(), 1);
  EXPECT_EQ(FocusedItem(), name) << "the next row's first focusable cell";
  Press(win::VK_RIGHT);
  EXPECT_EQ(FocusedItem(), ratio) << "a cell that cannot take the focus is passed over";
  Press(win::VK_LEFT);
  EXPECT_EQ(FocusedItem(), name);
  Press(win::VK_LEFT);
  EXPECT_EQ(FocusedRecord(), 0);
  EXPECT_EQ(FocusedItem(), ratio) << "and back to the previous row's last";

  Press(win::VK_DOWN);
  Press(win::VK_DOWN);
  EXPECT_EQ(FocusedRecord(), 2);
  EXPECT_EQ(FocusedItem(), ratio) << "Down keeps the cell";
  Press(win::VK_DOWN);
  EXPECT_EQ(FocusedRecord(), 2) << "no wrap past the last row";

  // A row without cells takes the focus only when the navigator allows.
  grid->Navigator()->EmptyRow = 1;
  Press(win::VK_UP);
  EXPECT_EQ(FocusedRecord(), 2);
  grid->Navigator()->EmptyRowsMayFocus = true;
  Press(win::VK_UP);
  EXPECT_EQ(FocusedRecord(), 1);
  EXPECT_EQ(Editor(), nullptr);
}

TEST_F(ControlInput, TabMovesBetweenCellsOnlyWhenTheControlAsksForIt) {
  auto* other = New<TEdit>(form);
  other->SetParent(form);
  other->SetBoundsRect({230, 10, 300, 30});
  Show();
  Controller()->SetFocusedRecordItem(0, name);
  Pump();

  grid->GetOptionsBehavior()->SetGoToNextCellOnTab(true);
  EXPECT_TRUE(grid->GetKeys().Contains(kTab));
  Press(win::VK_TAB);
  EXPECT_EQ(FocusedItem(), count);
  EXPECT_TRUE(grid->Focused());

  grid->GetOptionsBehavior()->SetGoToNextCellOnTab(false);
  EXPECT_FALSE(grid->GetKeys().Contains(kTab));
  Press(win::VK_TAB);
  EXPECT_EQ(FocusedItem(), count);
  EXPECT_TRUE(other->Focused()) << "Tab leaves the control";

  // An editor that is always shown keeps the control's own window from
  // taking the focus, but never keeps another control from it.
  grid->GetOptionsBehavior()->SetAlwaysShowEditor(true);
  grid->SetFocus();
  Pump();
  ASSERT_NE(Editor(), nullptr) << "AlwaysShowEditor opens an editor when the control is entered";
  EXPECT_FALSE(grid->MayFocus());
  Type("5");
  Press(win::VK_TAB);
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(Stored(count), "5") << "leaving posted the value";
  EXPECT_NE(Editor(), nullptr) << "the editor is always shown, also without the focus";
  win::test::Click(other->GetHandle(), {5, 5});
  Pump();
  EXPECT_TRUE(other->Focused());
}

TEST_F(ControlInput, EscapeWithoutAnEditorCancelsThePendingInsert) {
  Show();
  TcxCustomDataController* data = grid->GetDataController();
  data->Insert();
  Pump();
  ASSERT_EQ(data->GetRecordCount(), 2);
  Press(win::VK_ESCAPE);
  EXPECT_EQ(data->GetRecordCount(), 1);
}

TEST_F(ControlInput, IncrementalSearchTakesTheTypingAndNeverOpensTheEditor) {
  AddRecords();
  grid->GetOptionsBehavior()->SetIncSearch(true);
  Show();
  Controller()->SetFocusedRecordItem(0, name);
  Pump();

  Type("b");
  EXPECT_EQ(Editor(), nullptr) << "the typing goes to the search";
  EXPECT_EQ(FocusedRecord(), 1);
  EXPECT_EQ(Controller()->GetIncSearchingText(), "b");
  Type("ri");
  EXPECT_EQ(FocusedRecord(), 2);
  EXPECT_EQ(Controller()->GetIncSearchingText(), "bri");
  Press(win::VK_BACK);
  EXPECT_EQ(Controller()->GetIncSearchingText(), "br");
  Chord(win::VK_CONTROL, win::VK_UP);
  EXPECT_EQ(FocusedRecord(), 1) << "Ctrl+Up finds the previous match";
  Chord(win::VK_CONTROL, win::VK_DOWN);
  EXPECT_EQ(FocusedRecord(), 2) << "Ctrl+Down the next";

  // The cell shows the typed prefix selected, in the cell's own colours
  // inverted.
  TcxEditCellViewInfo* cell = grid->TestViewInfo()->Cell(2, 0);
  auto* text = dynamic_cast<TcxCustomTextEditViewInfo*>(cell->EditViewInfo);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->SelLength, 2);
  EXPECT_EQ(text->SelBackgroundColor, ColorToRGB(cell->ViewParams.Color) ^ 0xFFFFFF);
  EXPECT_EQ(text->SelTextColor, ColorToRGB(cell->ViewParams.TextColor) ^ 0xFFFFFF);

  Press(win::VK_ESCAPE);
  EXPECT_FALSE(Controller()->GetIsIncSearching());
  EXPECT_EQ(FocusedRecord(), 2);
  Type("x");
  EXPECT_EQ(Editor(), nullptr) << "a character that finds nothing still belongs to the search";
  EXPECT_EQ(FocusedRecord(), 2);

  grid->GetOptionsBehavior()->SetIncSearch(false);
  Type("x");
  ASSERT_NE(Editor(), nullptr) << "without the search a character opens the editor";
}

TEST_F(ControlInput, ALockedControlKeepsItsLastHitItem) {
  Show();
  TcxCustomHitTestController* hitTest = Controller()->GetHitTestController();
  hitTest->ReCalculate(Center(name));
  ASSERT_EQ(hitTest->GetHitTestItem(), grid->TestViewInfo()->Cell(0, 0));
  grid->BeginUpdate();
  hitTest->ReCalculate(Center(ratio));
  EXPECT_EQ(hitTest->GetHitTestItem(), grid->TestViewInfo()->Cell(0, 0));
  EXPECT_EQ(hitTest->GetHitPoint(), Center(name));
  grid->EndUpdate();
  hitTest->ReCalculate(Center(ratio));
  EXPECT_EQ(hitTest->GetHitTestItem(), grid->TestViewInfo()->Cell(0, 2));
  hitTest->ReCalculate(TPoint(5, 95));
  EXPECT_EQ(hitTest->GetHitTestItem(), nullptr) << "below the cells";
}

TEST_F(ControlInput, AClippedTextShowsItsHintAtOnceUntilTheHidePause) {
  grid->GetDataController()->SetValue(0, 0, Variant("a name far too long to fit into the one cell of this small grid"));
  grid->GetOptionsBehavior()->SetCellHints(true);
  Show();
  MoveTo(Center(count));
  EXPECT_EQ(CellHint(), "") << "a text that fits needs no hint";

  MoveTo(Center(name));
  EXPECT_EQ(CellHint(), "a name far too long to fit into the one cell of this small grid") << "at once, no pause";
  const TRect hint = CellHintRect();
  const TPoint origin = grid->ClientToScreen(grid->TestViewInfo()->Cell(0, 0)->GetOrigin());
  EXPECT_LE(std::abs(hint.Left - origin.X), 4) << "over the cell's text";
  EXPECT_LE(std::abs(hint.Top - origin.Y), 4);
  MoveTo(Right(Center(name), 3));
  EXPECT_NE(CellHint(), "") << "moving within the cell keeps it";

  win::test::PumpFor(2499);
  EXPECT_NE(CellHint(), "");
  win::test::PumpFor(1);
  EXPECT_EQ(CellHint(), "") << "gone after the application's hint-hide pause";
  MoveTo(Right(Center(name), 6));
  EXPECT_EQ(CellHint(), "") << "and not back while the mouse stays on the cell";

  // Never while a button is down.
  MoveTo(Center(count));
  win::test::MouseDown(win::VK_RBUTTON);
  Pump();
  MoveTo(Center(name));
  EXPECT_EQ(CellHint(), "");
  win::test::MouseUp(win::VK_RBUTTON);
  Pump();

  // Never over the cell being edited.
  MoveTo(Center(count));
  Click(name);
  ASSERT_NE(Editor(), nullptr);
  MoveTo(Center(count));
  MoveTo(Center(name));
  EXPECT_EQ(CellHint(), "");
}

}  // namespace
