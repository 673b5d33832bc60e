// One value's road through the editing framework: shown by its edit view
// info without a window, opened in place by a click, a key or a typed
// character, typed into, and posted into the data controller's edit cycle
// only when the editor closes with acceptance; cancelled, refused and left
// the way a user expects.
#include "library/grid/GridTestControl.h"

#include "platform/controls/Buttons.h"
#include "platform/controls/Edit.h"
#include "platform/rtl/NumberText.h"
#include "platform/win/Clipboard.h"
#include "platform/win/GlobalMemory.h"

using namespace grid_test;

namespace {

std::string ClipboardText() {
  std::string text;
  if (!win::OpenClipboard(nullptr)) return "<busy>";
  if (win::HANDLE block = win::GetClipboardData(win::CF_TEXT)) {
    text = static_cast<const char*>(win::GlobalLock(block));
    win::GlobalUnlock(block);
  }
  win::CloseClipboard();
  return text;
}

void SetClipboardText(const std::string& text) {
  ASSERT_TRUE(win::OpenClipboard(nullptr));
  win::EmptyClipboard();
  win::SetClipboardData(win::CF_TEXT, win::GlobalFromBytes(text.c_str(), text.size() + 1));
  win::CloseClipboard();
}

// A control that writes every edit notice to the log.
class TLoggingControl : public TTestEditingControl {
  ORV_CLASS(TLoggingControl, TTestEditingControl)
 public:
  explicit TLoggingControl(TComponent* AOwner) : TTestEditingControl(AOwner) {}
  Log* Events = nullptr;
  void DoInitEdit(TcxCustomInplaceEditContainer* AItem, TcxCustomEdit* AEdit) override {
    Note("init");
    inherited::DoInitEdit(AItem, AEdit);
  }
  void DoEditChanged(TcxCustomInplaceEditContainer* AItem) override {
    Note("changed");
    inherited::DoEditChanged(AItem);
  }
  void DoEditValueChanged(TcxCustomInplaceEditContainer* AItem) override {
    Note("value changed " + std::string(Stored(AItem)));
    inherited::DoEditValueChanged(AItem);
  }
  void DoEdited(TcxCustomInplaceEditContainer* AItem) override {
    Note("edited");
    inherited::DoEdited(AItem);
  }

 private:
  void Note(const std::string& s) {
    if (Events) Events->push_back(s);
  }
  AnsiString Stored(TcxCustomInplaceEditContainer* AItem) {
    return VarToStr(GetDataController()->GetValue(0, AItem->GetItemIndex()));
  }
};

// An item that tells when it is asked whether editing may begin and when
// the value reaches it.
class TLoggingItem : public TcxCustomInplaceEditContainer {
  ORV_CLASS(TLoggingItem, TcxCustomInplaceEditContainer)
 public:
  explicit TLoggingItem(TComponent* AOwner) : TcxCustomInplaceEditContainer(AOwner) {}
  Log* Events = nullptr;
  bool StopEditingOnPost = false;
  bool CanInitEditing() override {
    if (Events) Events->push_back("check");
    return inherited::CanInitEditing();
  }
  void SetEditValue(const Variant& Value) override {
    if (Events) Events->push_back("post " + std::string(VarToStr(Value)));
    inherited::SetEditValue(Value);
    if (StopEditingOnPost) SetEditing(false);
  }
};

}  // namespace

ORV_REGISTER(TLoggingControl)
ORV_REGISTER(TLoggingItem)

namespace {

class InplaceEditing : public GridSession {
 protected:
  TLoggingItem* logged = nullptr;

  TTestEditingControl* CreateControl(TForm* AForm) override {
    auto* control = New<TLoggingControl>(AForm);
    control->Events = &log;
    return control;
  }

  // The count row again, as an item that writes to the log.
  void LogCount() {
    logged = New<TLoggingItem>(form);
    logged->Events = &log;
    logged->SetEditingControl(grid);
    static_cast<TcxItemDataBinding*>(logged->GetDataBinding())->SetValueType("Integer");
    grid->GetDataController()->SetValue(0, logged->GetItemIndex(), Variant(42));
  }

  bool EditorFocused() {
    TcxCustomEdit* edit = Editor();
    return edit && edit->IsFocused();
  }
  AnsiString EditorText() { return Editor() ? VarToStr(Editor()->GetDisplayValue()) : AnsiString("<closed>"); }
  // Where an open editor stands: where its cell draws its content.
  static TRect EditorPlace(TcxEditCellViewInfo* ACell) { return cxRectInflate(ACell->EditRect, ACell->ContentOffset()); }
};

TEST_F(InplaceEditing, CellsShowTheirValuesWithoutAWindowAndAClickEditsOneInPlace) {
  Show();
  EXPECT_EQ(Shown(name), "alpha");
  EXPECT_EQ(Shown(count), "42");
  EXPECT_EQ(Shown(ratio), "2.5");
  EXPECT_EQ(grid->Editing()->GetEditList()->GetCount(), 0) << "painting made no editor";

  Click(count);
  ASSERT_NE(Editor(), nullptr) << "ImmediateEditor opens the editor on the press";
  EXPECT_TRUE(Editor()->GetVisible());
  EXPECT_EQ(Editor()->GetParent(), grid);
  EXPECT_EQ(Editor()->GetBoundsRect(), EditorPlace(grid->TestViewInfo()->Cell(0, 1)));
  EXPECT_TRUE(EditorFocused());
  EXPECT_EQ(EditorText(), "42");

  log.clear();
  Type("7");
  EXPECT_EQ(EditorText(), "7") << "the value was selected on entry";
  EXPECT_EQ(Stored(count), "42") << "the data sees nothing before the post";
  Type("3");
  EXPECT_EQ(log, Log({"changed", "changed"})) << "every change is told";

  Press(win::VK_RETURN);
  EXPECT_EQ(Stored(count), "73");
  EXPECT_EQ(log, Log({"changed", "changed", "value changed 42", "edited"}))
      << "the new value is told before it is posted";
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Shown(count), "73") << "the cell paints the posted value";
  EXPECT_TRUE(grid->Focused()) << "the focus went back to the control";

  // The pooled editor serves the next cell of its kind.
  TcxCustomEdit* pooled = grid->Editing()->GetEditList()->GetEdit(name->GetPropertiesValue());
  Click(name);
  EXPECT_EQ(Editor(), pooled);
  EXPECT_EQ(EditorText(), "alpha");
  EXPECT_EQ(Editor()->GetBoundsRect(), EditorPlace(grid->TestViewInfo()->Cell(0, 0)));
}

// The open editor, asked as the window control it is, is focused while
// its inner edit holds the keyboard; once it closes the grid is.
TEST_F(InplaceEditing, TheOpenEditorIsFocusedWhileItsInnerEditHasTheKeyboard) {
  Show();
  Click(count);
  ASSERT_NE(Editor(), nullptr);
  TWinControl* asked = Editor();
  ASSERT_NE(Editor()->GetInnerControl(), nullptr);
  ASSERT_EQ(win::GetFocus(), Editor()->GetInnerControl()->GetHandle());
  EXPECT_TRUE(asked->Focused());
  EXPECT_FALSE(grid->Focused()) << "the grid's own window has not the keyboard";
  EXPECT_TRUE(grid->GetIsFocused());

  Press(win::VK_RETURN);
  ASSERT_EQ(Editor(), nullptr);
  EXPECT_FALSE(asked->Focused());
  EXPECT_TRUE(grid->Focused());
}

TEST_F(InplaceEditing, OneEditTellsItsStepsInOrder) {
  LogCount();
  Show();
  Click(logged);
  ASSERT_NE(Editor(), nullptr);
  EXPECT_EQ(log, Log({"init"}));
  Type("5");
  Press(win::VK_RETURN);
  EXPECT_EQ(log, Log({"init", "check", "changed", "value changed 42", "post 5", "edited"}));
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Stored(logged), "5");
}

TEST_F(InplaceEditing, ARefusedValueKeepsTheEditorOpenWithItsTextAndPostsNothing) {
  count->SetPropertiesClass(TcxTextEditProperties::StaticClass());
  count->GetProperties()->OnValidate = [](TObject*, Variant& AValue, AnsiString& AText, bool& AError) {
    AnsiString text = VarToStr(AValue);
    Integer number = 0;
    if (!TryStrToInt(text, number)) {
      AError = true;
      AText = "Not a number: " + text;
    }
  };
  Show();
  Click(count);
  Type("abc");
  log.clear();
  Press(win::VK_RETURN);
  EXPECT_EQ(forms::test::RecordedExceptions(), std::vector<AnsiString>({"EcxEditValidationError: Not a number: abc"}));
  ASSERT_NE(Editor(), nullptr) << "the editor stays";
  EXPECT_TRUE(Editor()->GetVisible());
  EXPECT_EQ(EditorText(), "abc");
  EXPECT_TRUE(EditorFocused());
  EXPECT_EQ(Stored(count), "42");
  EXPECT_TRUE(log.empty()) << log.front();

  // A click on another cell cannot take the focus past it either.
  Click(name);
  EXPECT_EQ(forms::test::RecordedExceptions().size(), 2u);
  EXPECT_EQ(EditorText(), "abc");
  EXPECT_TRUE(EditorFocused());
  EXPECT_EQ(Stored(count), "42");
  EXPECT_EQ(grid->GetController()->GetFocusedItem(), count);

  // Corrected, it goes.
  Chord(win::VK_CONTROL, 'A');
  Type("9");
  Press(win::VK_RETURN);
  EXPECT_EQ(Stored(count), "9");
  EXPECT_EQ(Editor(), nullptr);
}

TEST_F(InplaceEditing, EscapeCancelsAndReachesTheFormOnlyWhenNothingWasChanged) {
  auto* cancel = New<TButton>(form);
  cancel->SetParent(form);
  cancel->SetBoundsRect({230, 10, 300, 35});
  cancel->SetCancel(true);
  cancel->OnClick = [this](TObject*) { log.push_back("form cancel"); };
  Show();

  Click(name);
  Type("beta");
  log.clear();
  Press(win::VK_ESCAPE);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Stored(name), "alpha") << "nothing posted";
  EXPECT_EQ(Shown(name), "alpha");
  EXPECT_EQ(log, Log({"edited"})) << "the edit session ended, and the editor kept the key";
  EXPECT_TRUE(grid->Focused());

  log.clear();
  Press(win::VK_ESCAPE);
  EXPECT_EQ(log, Log({"form cancel"})) << "with no editor open Escape goes on to the form";

  Click(name);
  log.clear();
  Press(win::VK_ESCAPE);
  EXPECT_EQ(Editor(), nullptr) << "an unchanged editor closes too";
  EXPECT_EQ(log, Log({"edited", "form cancel"})) << "and lets Escape go on to the form";
}

TEST_F(InplaceEditing, KeysOpenTheFocusedCellsEditorAndTypedCharactersReachIt) {
  Show();
  grid->GetController()->SetFocusedRecordItem(0, count);
  Pump();

  Press(win::VK_RETURN);
  ASSERT_NE(Editor(), nullptr) << "Enter opens";
  Press(win::VK_ESCAPE);
  EXPECT_EQ(Editor(), nullptr);
  Press(win::VK_F2);
  ASSERT_NE(Editor(), nullptr) << "F2 opens";
  Press(win::VK_ESCAPE);

  Chord(win::VK_SHIFT, win::VK_RETURN);
  EXPECT_EQ(Editor(), nullptr) << "Shift+Enter opens nothing";
  Chord(win::VK_CONTROL, win::VK_F2);
  EXPECT_EQ(Editor(), nullptr) << "Ctrl+F2 opens nothing";
  Chord(win::VK_CONTROL, 'Z');
  EXPECT_EQ(Editor(), nullptr) << "Ctrl+Z opens nothing";

  Type("8");
  ASSERT_NE(Editor(), nullptr) << "a printable character opens";
  EXPECT_EQ(EditorText(), "8") << "and is typed into the editor";
  Press(win::VK_ESCAPE);

  Press(win::VK_BACK);
  ASSERT_NE(Editor(), nullptr) << "Backspace opens";
  EXPECT_EQ(EditorText(), "") << "and deletes the selected value";
  Press(win::VK_ESCAPE);

  SetClipboardText("615");
  Chord(win::VK_CONTROL, 'V');
  ASSERT_NE(Editor(), nullptr) << "Ctrl+V opens";
  EXPECT_EQ(EditorText(), "615") << "and pastes";
  Press(win::VK_ESCAPE);

  Chord(win::VK_CONTROL, 'X');
  ASSERT_NE(Editor(), nullptr) << "Ctrl+X opens";
  EXPECT_EQ(EditorText(), "") << "and cuts the selected value";
  EXPECT_EQ(ClipboardText(), "42");
  Press(win::VK_ESCAPE);
  EXPECT_EQ(Stored(count), "42");
}

TEST_F(InplaceEditing, WithoutImmediateEditorASecondClickOpensAfterTheDoubleClickTime) {
  grid->GetOptionsBehavior()->SetImmediateEditor(false);
  Show();
  Click(count);
  EXPECT_EQ(Editor(), nullptr) << "the first click only focuses the cell";
  EXPECT_EQ(grid->GetController()->GetFocusedItem(), count);
  win::test::PumpFor(600);

  Click(count);
  EXPECT_EQ(Editor(), nullptr) << "not yet";
  ASSERT_NE(grid->Editing()->GetEditShowingTimer(), nullptr);
  win::test::PumpFor(499);
  EXPECT_EQ(Editor(), nullptr);
  win::test::PumpFor(1);
  ASSERT_NE(Editor(), nullptr) << "the double-click time passed";
  EXPECT_EQ(grid->Editing()->GetEditShowingTimer(), nullptr);
  Press(win::VK_ESCAPE);
  win::test::PumpFor(600);

  // A double click on the focused cell starts no timer and opens nothing.
  Click(count);
  Click(count);
  EXPECT_EQ(grid->Editing()->GetEditShowingTimer(), nullptr);
  win::test::PumpFor(1000);
  EXPECT_EQ(Editor(), nullptr);

  // A click on a cell that was not focused opens nothing later either.
  win::test::PumpFor(600);
  Click(name);
  win::test::PumpFor(1000);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(grid->GetController()->GetFocusedItem(), name);
}

TEST_F(InplaceEditing, EnterWithGoToNextCellOnEnterPostsMovesAndOpensTheNextCell) {
  grid->GetOptionsBehavior()->SetGoToNextCellOnEnter(true);
  Show();
  Click(name);
  Type("beta");
  Press(win::VK_RETURN);
  EXPECT_EQ(Stored(name), "beta");
  EXPECT_EQ(grid->GetController()->GetFocusedItem(), count);
  ASSERT_NE(Editor(), nullptr);
  EXPECT_EQ(grid->Editing()->GetEditingItem(), count);
  EXPECT_EQ(EditorText(), "42");
  EXPECT_EQ(Editor()->GetBoundsRect(), EditorPlace(grid->TestViewInfo()->Cell(0, 1)));
}

TEST_F(InplaceEditing, LeavingTheControlPostsTheOpenEditorAndAnUntouchedNewRecordIsCancelled) {
  auto* other = New<TEdit>(form);
  other->SetParent(form);
  other->SetBoundsRect({230, 10, 300, 30});
  Show();
  Click(ratio);
  Type("3.75");
  other->SetFocus();
  Pump();
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Stored(ratio), "3.75");
  EXPECT_TRUE(other->Focused());

  // A record inserted and not touched goes again when the focus leaves.
  grid->SetFocus();
  Pump();
  TcxCustomDataController* data = grid->GetDataController();
  data->Insert();
  ASSERT_EQ(data->GetRecordCount(), 2);
  other->SetFocus();
  Pump();
  EXPECT_EQ(data->GetRecordCount(), 1) << "OptionsData.CancelOnExit cancels the untouched insert";

  // And so does an editor opened on it with nothing typed: it closes
  // without posting.
  grid->SetFocus();
  Pump();
  data->Insert();
  grid->LayoutChanged();  // the fixture lays out new records only when asked
  ASSERT_EQ(grid->GetController()->GetFocusedRecordIndex(), 0) << "the new record comes first";
  Click(name);
  ASSERT_NE(Editor(), nullptr);
  log.clear();
  other->SetFocus();
  Pump();
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(data->GetRecordCount(), 1);
  EXPECT_EQ(log, Log({"edited"})) << "nothing posted";
}

TEST_F(InplaceEditing, ALayoutChangeMovesTheEditorAtTheNextPaintAndParksItWhileItsCellIsOutOfSight) {
  Show();
  Click(ratio);
  Type("3.5");
  const TRect before = Editor()->GetBoundsRect();
  grid->SetBoundsRect({10, 10, 160, 110});
  EXPECT_EQ(Editor()->GetBoundsRect(), before) << "not before the next paint";
  Pump();
  EXPECT_EQ(Editor()->GetBoundsRect(), EditorPlace(grid->TestViewInfo()->Cell(0, 2)));
  EXPECT_EQ(Editor()->GetWidth(), before.Width() - 50);

  grid->SetBoundsRect({10, 10, 160, 30});
  Pump();
  EXPECT_EQ(Editor()->GetLeft(), cxInvisibleEditLeft) << "its cell is below the control's bottom";
  EXPECT_EQ(grid->Editing()->GetEditingItem(), ratio) << "still editing";

  grid->SetBoundsRect({10, 10, 210, 110});
  Pump();
  EXPECT_EQ(Editor()->GetBoundsRect(), EditorPlace(grid->TestViewInfo()->Cell(0, 2)));
  EXPECT_EQ(EditorText(), "3.5") << "nothing typed was lost";
  EXPECT_EQ(Stored(ratio), "2.5") << "nor posted";
}

TEST_F(InplaceEditing, TurningEditingOffOrChangingTheLookCloseTheEditorAsAUserExpects) {
  Show();
  Click(count);
  Type("11");
  grid->GetLookAndFeel()->SetKind(lfFlat);
  Pump();
  EXPECT_EQ(Stored(count), "11") << "the look changed: the value was posted";
  ASSERT_NE(Editor(), nullptr) << "and the editor opened again";
  EXPECT_EQ(EditorText(), "11");

  Type("12");
  grid->GetOptionsData()->SetEditing(false);
  Pump();
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Stored(count), "11") << "closing by the option cancels";
  Click(count);
  EXPECT_EQ(Editor(), nullptr) << "nothing opens while editing is off";
}

// Decided: an item that stops being edited while its value is posted
// still loses its editor, which gives every handler back.
TEST_F(InplaceEditing, AnEditorWhoseItemVanishedWhilePostingIsStillHiddenAndReleased) {
  LogCount();
  logged->StopEditingOnPost = true;
  Show();
  Click(logged);
  TcxCustomEdit* edit = Editor();
  ASSERT_NE(edit, nullptr);
  TcxCustomEditProperties* editProperties = edit->GetActiveProperties();
  Type("6");
  log.clear();
  Press(win::VK_RETURN);
  EXPECT_EQ(Stored(logged), "6");
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_FALSE(edit->GetVisible()) << "the editor went";
  EXPECT_FALSE(edit->OnKeyDown) << "its events are no longer routed to the control";
  EXPECT_FALSE(edit->OnPostEditValue);
  EXPECT_FALSE(editProperties->OnChange) << "the properties' own handlers came back (none here)";
  EXPECT_EQ(log, Log({"value changed 42", "post 6"})) << "no edited notice for the item no longer edited";
  EXPECT_TRUE(grid->Focused());
}

}  // namespace
