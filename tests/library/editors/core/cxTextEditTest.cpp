// The text editor on a headless form, alone and in place, driven by
// injected keys, mouse and clipboard only: typing and the caret, selecting,
// the clipboard with its refusals, the length limit's head rule, the text
// messages, Esc, Enter and Tab, when the inner edit is shown at all, the
// editor's popup menu over the inner edit, a filter condition typed in a
// text editor, and the pool's text editor activated over a grid cell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/editors/EditorSession.h"
#include "library/editors/core/CustomEditFixtures.h"
#include "library/editors/core/cxInplaceEditList.h"
#include "library/editors/core/cxTextEdit.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/gdi/Region.h"
#include "platform/win/Caret.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Focus.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/TestHooks.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowRegion.h"

using namespace win;

namespace {

using Log = std::vector<std::string>;

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return "<busy>";
  if (HANDLE block = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(block));
    GlobalUnlock(block);
  } else {
    text = "<none>";
  }
  CloseClipboard();
  return text;
}

void SetClipboardText(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, GlobalFromBytes(text.c_str(), text.size() + 1));
  CloseClipboard();
}

// An editor's own popup menu; Ctrl+M is its shortcut.
class TLoggingMenu : public TComponent, public IcxPopupMenu {
  ORV_CLASS(TLoggingMenu, TComponent)
 public:
  explicit TLoggingMenu(TComponent* AOwner) : TComponent(AOwner) {}
  Log* Heard = nullptr;
  bool IsShortCut(TMessage& Message) override {
    if (Message.WParam != 'M' || GetKeyState(VK_CONTROL) >= 0) return false;
    Heard->push_back("menu shortcut");
    return true;
  }
  void Popup(Integer X, Integer Y) override {
    Heard->push_back("popup at " + std::to_string(X) + "," + std::to_string(Y));
  }
};

// A text editor that keeps the context menu of its inner edit to itself.
class TMenuKeepingTextEdit : public TcxTextEdit {
  ORV_CLASS(TMenuKeepingTextEdit, TcxTextEdit)
 public:
  explicit TMenuKeepingTextEdit(TComponent* AOwner) : TcxTextEdit(AOwner) {}
  Log* Heard = nullptr;
  bool InnerControlDefaultHandler(TMessage& Message) override {
    if (Message.Msg != WM_CONTEXTMENU) return false;
    Heard->push_back("kept context menu");
    return true;
  }
};

}  // namespace

ORV_REGISTER(TLoggingMenu)
ORV_REGISTER(TMenuKeepingTextEdit)

namespace {

class TextEdit : public ::testing::Test, public edit_test::EditorSession {
 protected:
  TForm* form = nullptr;
  Log log;
  bool refuseEditing = false;
  int editingAsked = 0;

  void SetUp() override {
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 500, 400});
  }
  void TearDown() override {
    if (form) form->Free();
    Pump();
  }


  TcxTextEdit* MakeEdit(TRect bounds = {10, 10, 160, 31}, bool inplace = false) {
    auto* edit = static_cast<TcxTextEdit*>(
        TcxTextEdit::StaticClass()->Construct<TComponent*, bool>(inplace ? nullptr : form, inplace));
    edit->SetBoundsRect(bounds);
    edit->SetParent(form);
    edit->OnEditing = [this](TObject*, bool& CanEdit) {
      ++editingAsked;
      CanEdit = !refuseEditing;
    };
    // Every key that changed nothing goes on; the host cares for the
    // ones that leave the editor.
    edit->OnAfterKeyDown = [this](TObject*, Word& Key, TShiftState) {
      if ((Key >= VK_PRIOR && Key <= VK_DOWN) || Key == VK_RETURN || Key == VK_TAB)
        log.push_back("after key " + std::to_string(Key));
    };
    edit->OnPostEditValue = [this, edit](TObject*) { log.push_back("post " + VarToStr(edit->GetEditValue())); };
    return edit;
  }
  void ShowAndFocus(TcxTextEdit* edit) {
    form->Show();
    Pump();
    edit->SetFocus();
    Pump();
    log.clear();
  }
  static HWND Inner(TcxTextEdit* edit) { return edit->GetInnerControl()->GetHandle(); }
  static std::pair<int, int> Sel(TcxTextEdit* edit) {
    return {edit->GetSelStart(), edit->GetSelStart() + edit->GetSelLength()};
  }
  static int CharX(TcxTextEdit* edit, int index) {
    return static_cast<int16_t>(LOWORD(SendMessageA(Inner(edit), EM_POSFROMCHAR, static_cast<WPARAM>(index), 0)));
  }
};

TEST_F(TextEdit, TypingEditsTheTextAndTheCaretStandsWhereTheKeysPutIt) {
  auto* edit = MakeEdit();
  ShowAndFocus(edit);
  EXPECT_EQ(edit->GetCursorPos(), 0);  // an empty text
  Type("hello");
  EXPECT_EQ(edit->GetText(), "hello");
  EXPECT_TRUE(edit->GetModifiedAfterEnter());
  EXPECT_EQ(edit->GetCursorPos(), 5);
  Press(VK_BACK);
  Press(VK_HOME);
  EXPECT_EQ(edit->GetCursorPos(), 0);
  Press(VK_DELETE);
  EXPECT_EQ(edit->GetText(), "ell");
  Press(VK_RIGHT);
  Press(VK_RIGHT);
  EXPECT_EQ(edit->GetCursorPos(), edit->GetSelStart());
  Type("\t");  // Tab never types
  EXPECT_EQ(edit->GetText(), "ell");
  EXPECT_EQ(log, Log{"after key " + std::to_string(VK_TAB)});

  // Keys that move nothing leave the editor for whoever hosts it.
  edit->SetFocus();
  Pump();
  Press(VK_END);
  EXPECT_EQ(edit->GetCursorPos(), 3);

  // A text far wider than 16-bit coordinates reach: the caret is still
  // found, at the end, at the start and in the middle.
  const std::string wide(20000, 'W');
  edit->SetText(wide);
  Press(VK_END);
  EXPECT_EQ(edit->GetCursorPos(), 20000);
  Press(VK_HOME);
  EXPECT_EQ(edit->GetCursorPos(), 0);
  SendMessageA(Inner(edit), EM_SETSEL, 12345, 12345);
  EXPECT_EQ(edit->GetCursorPos(), 12345);
  edit->SetText("ell");
  Press(VK_END);
  log.clear();
  Press(VK_RIGHT);
  Press(VK_HOME);
  Press(VK_RIGHT);
  Press(VK_RIGHT);
  Press(VK_LEFT);  // at 2: moves
  EXPECT_EQ(log, Log{"after key " + std::to_string(VK_RIGHT)});
  Press(VK_LEFT);
  Press(VK_LEFT);  // at 0: nothing to move
  EXPECT_EQ(log, (Log{"after key " + std::to_string(VK_RIGHT), "after key " + std::to_string(VK_LEFT)}));
  EXPECT_EQ(edit->GetText(), "ell");
}

TEST_F(TextEdit, ShiftArrowsDragsAndDoubleClicksSelect) {
  auto* edit = MakeEdit();
  ShowAndFocus(edit);
  Type("alpha beta");
  Press(VK_HOME);
  Chord(VK_SHIFT, VK_RIGHT);
  Chord(VK_SHIFT, VK_RIGHT);
  EXPECT_EQ(Sel(edit), std::make_pair(0, 2));
  EXPECT_EQ(edit->GetSelText(), "al");
  // Left collapses the selection to its start and is spent there.
  log.clear();
  Press(VK_LEFT);
  EXPECT_EQ(Sel(edit), std::make_pair(0, 0));
  EXPECT_EQ(log, Log{});

  const int y = 5;
  win::test::MouseMove(Inner(edit), {CharX(edit, 1), y});
  win::test::MouseDown();
  win::test::MouseMove(Inner(edit), {CharX(edit, 4), y});
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(Sel(edit), std::make_pair(1, 4));

  win::test::PumpFor(1000);
  const POINT inBeta{CharX(edit, 7) + 1, y};
  win::test::Click(Inner(edit), inBeta);
  win::test::Click(Inner(edit), inBeta);
  Pump();
  EXPECT_EQ(edit->GetSelText(), "beta");
}

TEST_F(TextEdit, ClipboardKeysCopyCutAndPasteAndRefusedOrPasswordCutsLoseNothing) {
  auto* edit = MakeEdit();
  ShowAndFocus(edit);
  Type("one two");
  Chord(VK_SHIFT, VK_LEFT);
  Chord(VK_SHIFT, VK_LEFT);
  Chord(VK_SHIFT, VK_LEFT);
  Chord(VK_CONTROL, 'C');
  EXPECT_EQ(ClipboardText(), "two");
  Chord(VK_CONTROL, 'X');
  EXPECT_EQ(edit->GetText(), "one ");
  Chord(VK_CONTROL, 'V');
  Chord(VK_SHIFT, VK_INSERT);
  EXPECT_EQ(edit->GetText(), "one twotwo");
  EXPECT_EQ(edit->GetSelStart(), 10);

  // Only the first line of the clipboard arrives; Tab and 0x01 are text.
  SetClipboardText("a\tb\x01" "c\r\nsecond");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(edit->GetText(), "one twotwoa\tb\x01" "c");

  // Refused by OnEditing: text, caret and clipboard stay.
  edit->SetText("fixed");
  Pump();
  edit->SetSelection(2, 0);
  SetClipboardText("zz");
  refuseEditing = true;
  Chord(VK_CONTROL, 'V');
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->GetText(), "fixed");
  EXPECT_EQ(Sel(edit), std::make_pair(2, 2));
  EXPECT_EQ(ClipboardText(), "zz");
  refuseEditing = false;

  // A password editor copies and cuts nothing, focused or not.
  edit->GetProperties()->SetEchoMode(eemPassword);
  Pump();
  edit->SelectAll();
  Chord(VK_CONTROL, 'X');
  edit->CutToClipboard();
  EXPECT_EQ(edit->GetText(), "fixed");
  EXPECT_EQ(ClipboardText(), "zz");
  auto* other = MakeEdit({10, 50, 160, 71});
  other->SetFocus();
  Pump();
  edit->SelectAll();
  edit->CutToClipboard();
  EXPECT_EQ(edit->GetText(), "fixed");
  EXPECT_EQ(ClipboardText(), "zz");

  // Unfocused and echoing normally: the cut copies, then clears.
  edit->GetProperties()->SetEchoMode(eemNormal);
  Pump();
  edit->SetSelection(0, 3);
  edit->CutToClipboard();
  EXPECT_EQ(ClipboardText(), "fix");
  EXPECT_EQ(edit->GetText(), "ed");
}

TEST_F(TextEdit, OutsideTextObeysTheLengthLimitsHeadRuleAndALongPasteArrivesWhole) {
  auto* edit = MakeEdit();
  ShowAndFocus(edit);
  edit->GetProperties()->SetMaxLength(3);
  Type("abc");
  edit->SetSelText("d");  // focused: a user action
  EXPECT_EQ(edit->GetText(), "abc");
  EXPECT_EQ(edit->GetSelStart(), 3);
  edit->SetSelection(0, 2);
  edit->SetSelText("xyz");
  EXPECT_EQ(edit->GetText(), "xyz");
  EXPECT_EQ(edit->GetSelStart(), 3);
  edit->GetProperties()->SetMaxLength(2);
  edit->SetSelection(3, 0);
  edit->SetSelText("q");
  EXPECT_EQ(edit->GetText(), "xyz");  // the caret stands beyond the limit

  const std::string big(1000000, 'p');
  edit->GetProperties()->SetMaxLength(0);
  edit->SetText("");
  SetClipboardText(big);
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(edit->GetText().size(), big.size());
  EXPECT_EQ(edit->GetSelStart(), 1000000);
  edit->GetProperties()->SetMaxLength(10);
  edit->SetText("");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(edit->GetText(), std::string(10, 'p'));
}

// Handing an editor its own settings (Properties := Properties) changes
// nothing: copying them onto themselves must not first forget what was set.
TEST_F(TextEdit, GivenItsOwnSettingsAnEditorKeepsThem) {
  auto* edit = MakeEdit();
  edit->GetProperties()->SetMaxLength(3);
  edit->GetProperties()->SetReadOnly(true);
  edit->SetProperties(edit->GetProperties());
  EXPECT_EQ(edit->GetProperties()->GetMaxLength(), 3);
  EXPECT_TRUE(edit->GetProperties()->GetReadOnly());
  EXPECT_TRUE(edit->GetProperties()->IsReadOnlyStored());
}

TEST_F(TextEdit, TextMessagesAnswerWithinTheBufferAndSettingTextFromOutsideIsNoModification) {
  auto* edit = MakeEdit();
  ShowAndFocus(edit);
  Type("x");
  EXPECT_TRUE(edit->GetModifiedAfterEnter());
  SendMessageA(edit->GetHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("hello"));
  EXPECT_FALSE(edit->GetModified());
  EXPECT_EQ(VarToStr(edit->GetEditValue()), "hello");

  char buffer[8] = "#######";
  EXPECT_EQ(SendMessageA(edit->GetHandle(), WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);
  EXPECT_STREQ(buffer, "hel");
  EXPECT_EQ(SendMessageA(edit->GetHandle(), WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(buffer[0], 'h');
  EXPECT_EQ(SendMessageA(edit->GetHandle(), WM_GETTEXTLENGTH, 0, 0), 5);
}

TEST_F(TextEdit, EscResetsEnterValidatesOnlyWhenAskedAndBeepsOnlyStandAloneAndTabLeaves) {
  auto* edit = MakeEdit();
  auto* next = MakeEdit({10, 50, 160, 71});
  edit->SetEditValue(Variant(AnsiString("start")));
  ShowAndFocus(edit);
  Press(VK_END);
  Type("ed");
  Press(VK_ESCAPE);
  EXPECT_EQ(edit->GetText(), "start");
  EXPECT_EQ(VarToStr(edit->GetEditValue()), "start");

  int beeps = win::test::BeepCount();
  Press(VK_END);
  Type("!");
  Press(VK_RETURN);
  EXPECT_EQ(win::test::BeepCount(), beeps + 1);  // the platform edit's beep
  edit->SetBeepOnEnter(false);
  Press(VK_RETURN);
  EXPECT_EQ(win::test::BeepCount(), beeps + 1);
  edit->GetProperties()->SetValidateOnEnter(true);
  Press(VK_RETURN);
  EXPECT_EQ(VarToStr(edit->GetEditValue()), "start!");
  EXPECT_EQ(win::test::BeepCount(), beeps + 1);

  Press(VK_TAB);
  EXPECT_EQ(GetFocus(), Inner(next));
  EXPECT_EQ(edit->GetText(), "start!");

  // In place, Enter belongs to the grid: the edit never hears it.
  auto* inplace = MakeEdit({10, 90, 160, 111}, true);
  inplace->SetFocus();
  Pump();
  beeps = win::test::BeepCount();
  Press(VK_RETURN);
  Press(VK_ESCAPE);
  EXPECT_EQ(win::test::BeepCount(), beeps);
  EXPECT_NE(SendMessageA(Inner(inplace), WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, 0);
  win::test::KeyDown(VK_CONTROL);
  Pump();
  EXPECT_EQ(SendMessageA(Inner(edit), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, 0u);
  win::test::KeyUp(VK_CONTROL);
  Pump();
  EXPECT_NE(SendMessageA(Inner(edit), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, 0);
  inplace->Free();
}

TEST_F(TextEdit, TheFocusStateFollowsTheFocusBetweenTwoEditorsByTabAndByClick) {
  auto* first = MakeEdit();
  auto* second = MakeEdit({10, 50, 160, 71});
  ShowAndFocus(first);
  EXPECT_TRUE(first->InternalFocused());
  EXPECT_FALSE(second->InternalFocused());

  Press(VK_TAB);
  ASSERT_EQ(GetFocus(), Inner(second));
  EXPECT_FALSE(first->InternalFocused());
  EXPECT_TRUE(second->InternalFocused());

  win::test::Click(Inner(first), {5, 5});
  Pump();
  ASSERT_EQ(GetFocus(), Inner(first));
  EXPECT_TRUE(first->InternalFocused());
  EXPECT_FALSE(second->InternalFocused());
}

// Whoever asks an editor whether it is focused, as the window control it
// is, hears the editor's answer: its inner edit holding the keyboard
// counts. Its window made again gives the keyboard back to the edit.
TEST_F(TextEdit, AnEditorIsFocusedWhileItsInnerEditHasTheKeyboard) {
  auto* first = MakeEdit();
  auto* second = MakeEdit({10, 50, 160, 71});
  ShowAndFocus(first);
  ASSERT_EQ(GetFocus(), Inner(first));
  TWinControl* asked = first;
  EXPECT_TRUE(first->GetInnerControl()->Focused());
  EXPECT_TRUE(asked->Focused());
  EXPECT_FALSE(static_cast<TWinControl*>(second)->Focused());

  Press(VK_TAB);
  ASSERT_EQ(GetFocus(), Inner(second));
  EXPECT_FALSE(asked->Focused());
  EXPECT_TRUE(static_cast<TWinControl*>(second)->Focused());

  second->RecreateWnd();
  Pump();
  EXPECT_EQ(GetFocus(), Inner(second));
  EXPECT_TRUE(static_cast<TWinControl*>(second)->Focused());
}

TEST_F(TextEdit, ARightAlignedEditorShowsItsEditOnlyWhileActiveAndAlignmentKeepsTextSelectionAndFocus) {
  auto* left = MakeEdit();
  auto* right = MakeEdit({10, 50, 160, 71});
  right->GetProperties()->GetAlignment()->SetHorz(taRightJustify);
  right->GetProperties()->SetUseLeftAlignmentOnEditing(false);
  right->SetEditValue(Variant(AnsiString("right")));
  ShowAndFocus(left);
  auto shown = [](TcxTextEdit* edit) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(Inner(edit), rgn);
    RECT box{};
    GetRgnBox(rgn, &box);
    DeleteObject(rgn);
    return kind == ERROR || box.Right > box.Left;
  };
  EXPECT_FALSE(shown(right));
  EXPECT_TRUE(shown(left));
  right->SetFocus();
  Pump();
  EXPECT_TRUE(shown(right));

  // A new alignment makes a new window that keeps what the user had.
  Press(VK_END);
  Chord(VK_SHIFT, VK_LEFT);
  const HWND before = Inner(right);
  right->GetProperties()->GetAlignment()->SetHorz(taCenter);
  Pump();
  EXPECT_NE(Inner(right), before);
  EXPECT_EQ(right->GetText(), "right");
  EXPECT_EQ(Sel(right), std::make_pair(4, 5));
  EXPECT_EQ(GetFocus(), Inner(right));
}

TEST_F(TextEdit, AnImeCharacterReplacesTheSelectionAndCompositionAsksForEditingFirst) {
  auto* edit = MakeEdit();
  ShowAndFocus(edit);
  refuseEditing = true;
  editingAsked = 0;
  SendMessageA(Inner(edit), WM_IME_COMPOSITION, 0, 0);
  EXPECT_EQ(editingAsked, 1);
  refuseEditing = false;
  Type("abc");
  edit->SetSelection(1, 1);
  SendMessageA(Inner(edit), WM_IME_CHAR, 0x82A0, 0);
  Pump();
  EXPECT_EQ(edit->GetText(), "a\xA0" "c");
  // Once the character is in, the selection reads as the edit has it.
  EXPECT_EQ(edit->GetSelStart(), 2);
  EXPECT_EQ(edit->GetSelLength(), 0);
  EXPECT_EQ(edit->GetInnerTextEdit()->GetImeLastChar(), '\0');
  Press(VK_LEFT);
  EXPECT_EQ(edit->GetSelStart(), 1);
}

TEST_F(TextEdit, TheEchoCharacterDrawsInPlaceOfTheText) {
  auto* edit = MakeEdit();
  ShowAndFocus(edit);
  Type("pw");
  auto echo = [edit] { return static_cast<char>(SendMessageA(Inner(edit), EM_GETPASSWORDCHAR, 0, 0)); };
  EXPECT_EQ(echo(), '\0');
  edit->GetProperties()->SetEchoMode(eemPassword);
  EXPECT_EQ(echo(), '*');
  edit->GetProperties()->SetPasswordChar('#');
  EXPECT_EQ(echo(), '#');
  edit->GetProperties()->SetEchoMode(eemNormal);
  EXPECT_EQ(echo(), '\0');
  EXPECT_EQ(edit->GetText(), "pw");
}

// An editor has one AutoSize flag: read through the platform's control
// (as a stored layout reads it) it is the editor's.
TEST_F(TextEdit, AutoSizeReadsTheSameThroughThePlatformControl) {
  auto* edit = MakeEdit();
  TControl* control = edit;
  EXPECT_TRUE(control->GetAutoSize());
  edit->SetAutoSize(false);
  EXPECT_FALSE(control->GetAutoSize());
  control->SetAutoSize(true);
  EXPECT_TRUE(edit->GetAutoSize());
  EXPECT_FALSE(static_cast<TControl*>(MakeEdit({10, 40, 160, 61}, true))->GetAutoSize()) << "in place: never";
}

TEST_F(TextEdit, TheEditSitsAtTheTopTheBottomOrHalfwayInATallEditor) {
  auto* edit = MakeEdit({10, 10, 160, 70});
  edit->SetAutoSize(false);
  edit->SetHeight(60);
  ShowAndFocus(edit);
  TcxEditAlignment* alignment = edit->GetProperties()->GetAlignment();
  auto topOf = [edit] { return edit->GetInnerControl()->GetTop(); };
  alignment->SetVert(taTopJustify);
  Pump();
  const int top = topOf();
  alignment->SetVert(taBottomJustify);
  Pump();
  const int bottom = topOf();
  alignment->SetVert(taVCenter);
  Pump();
  const int middle = topOf();
  EXPECT_LT(top, middle);
  EXPECT_LT(middle, bottom);
  EXPECT_EQ(middle - top, (bottom - top) / 2);
  EXPECT_LE(edit->GetInnerControl()->GetTop() + edit->GetInnerControl()->GetHeight(), edit->GetHeight());
}

TEST_F(TextEdit, TheEditorsPopupMenuAnswersAClickOrItsShortcutInTheInnerEdit) {
  auto* edit = MakeEdit();
  auto* menu = New<TLoggingMenu>(form);
  menu->Heard = &log;
  edit->SetPopupMenu(menu);
  edit->SetText("abc");
  ShowAndFocus(edit);
  Press(VK_END);

  test::Click(Inner(edit), {4, 5}, VK_RBUTTON);
  Pump();
  POINT at{4, 5};
  ClientToScreen(Inner(edit), &at);
  EXPECT_EQ(log, Log{"popup at " + std::to_string(at.X) + "," + std::to_string(at.Y)});

  log.clear();
  Chord(VK_CONTROL, 'M');
  EXPECT_EQ(log, Log{"menu shortcut"});
  EXPECT_EQ(edit->GetText(), "abc") << "the menu's shortcut reached the text";

  // A descendant may take the inner edit's context menu before the
  // platform passes it up.
  auto* keeper = New<TMenuKeepingTextEdit>(form);
  keeper->SetBoundsRect({10, 50, 160, 71});
  keeper->SetParent(form);
  keeper->SetPopupMenu(menu);
  keeper->Heard = &log;
  Pump();
  log.clear();
  test::Click(Inner(keeper), {4, 5}, VK_RBUTTON);
  Pump();
  EXPECT_EQ(log, Log{"kept context menu"});
}

// The filter builder's condition on a text column: the text editor the
// unit registered, set up for typing a condition, taking a condition's
// value as text, and the builder's check of what was typed.
TEST_F(TextEdit, ATextConditionIsTypedInAPlainTextEditorAndChecked) {
  const TcxCustomFilterEditHelperClass helper = FilterEditsController()->FindHelper(TcxTextEditProperties::StaticClass());
  ASSERT_EQ(helper, TcxFilterTextEditHelper::StaticClass());

  auto* column = New<TcxTextEditProperties>(nullptr);
  column->SetViewStyle(vsHideCursor);
  column->SetAutoSelect(false);
  column->SetHideSelection(false);
  column->SetMaxLength(5);
  column->GetAlignment()->SetHorz(taRightJustify);
  auto* edit = dynamic_cast<TcxTextEdit*>(helper->GetFilterEdit(column));
  ASSERT_NE(edit, nullptr);
  TcxTextEditProperties* props = edit->GetProperties();
  EXPECT_EQ(props->GetViewStyle(), vsNormal);
  EXPECT_TRUE(props->GetAutoSelect() && props->GetHideSelection());
  EXPECT_EQ(props->GetAlignment()->GetHorz(), taLeftJustify);
  EXPECT_EQ(props->GetMaxLength(), 5);
  EXPECT_EQ(column->GetViewStyle(), vsHideCursor) << "the column lost its own settings";

  helper->SetFilterValue(edit, column, Variant(42));
  EXPECT_EQ(VarType(edit->GetEditValue()), varString);
  EXPECT_EQ(edit->GetText(), "42");
  helper->SetFilterValue(edit, column, Null());
  EXPECT_EQ(edit->GetText(), "");

  EXPECT_TRUE(helper->GetSupportedFilterOperators(props, TcxStringValueType::Class()).Contains(fcoLike));
  EXPECT_FALSE(helper->GetSupportedFilterOperators(props, TcxIntegerValueType::Class()).Contains(fcoLike));

  // An empty text is no condition on a number, but it is one on a text.
  Variant value("");
  FilterControlValidateValue(edit, value, fcoEqual, TcxIntegerValueType::Class(), helper);
  EXPECT_TRUE(VarIsNull(value));
  value = Variant("");
  FilterControlValidateValue(edit, value, fcoEqual, TcxStringValueType::Class(), helper);
  EXPECT_EQ(VarToStr(value), "");
  EXPECT_FALSE(VarIsNull(value));

  // Text that is no number is refused and stays in the focused editor.
  edit->SetParent(form);
  edit->SetBoundsRect({10, 10, 160, 31});
  auto* other = MakeEdit({10, 50, 160, 71});
  ShowAndFocus(other);
  edit->SetFocus();
  Pump();
  Type("12abc");
  other->SetFocus();
  Pump();
  EXPECT_EQ(edit->GetText(), "12abc");
  value = Variant(edit->GetText());
  EXPECT_THROW(FilterControlValidateValue(edit, value, fcoEqual, TcxIntegerValueType::Class(), helper),
               EcxFilterControlError);
  Pump();
  EXPECT_EQ(GetFocus(), Inner(edit));
  EXPECT_EQ(edit->GetText(), "12abc");
  value = Variant("12");
  FilterControlValidateValue(edit, value, fcoEqual, TcxIntegerValueType::Class(), helper);
  EXPECT_EQ(VarType(value), varInteger);
  edit->Free();
  column->Free();
}

// A grid's text rows share one in-place text editor from the pool; the
// grid stand-in hosts it and hears the keys that leave it.
class InplaceTextEdit : public TextEdit {
 protected:
  void SetUp() override {
    TextEdit::SetUp();
    grid = New<TTestGrid>(form);
    grid->SetBoundsRect({10, 10, 310, 160});
    grid->SetParent(form);
    pool = New<TcxInplaceEditList>();
    row = New<TcxTextEditProperties>(nullptr);
  }
  void TearDown() override {
    pool->Free();
    row->Free();
    TextEdit::TearDown();
  }
  // The row's editor over a cell holding "hello", on a shown form.
  TcxTextEdit* Cell() {
    auto* edit = dynamic_cast<TcxTextEdit*>(pool->GetEdit(row));
    if (!edit) return nullptr;
    edit->SetBoundsRect({20, 20, 170, 41});
    edit->SetParent(grid);
    edit->SetEditValue(Variant(AnsiString("hello")));
    edit->OnAfterKeyDown = [this](TObject*, Word& Key, TShiftState) { log.push_back("after key " + std::to_string(Key)); };
    form->Show();
    Pump();
    log.clear();
    return edit;
  }
  TTestGrid* grid = nullptr;
  TcxInplaceEditList* pool = nullptr;
  TcxTextEditProperties* row = nullptr;
};

TEST_F(InplaceTextEdit, ThePoolHandsOutATextEditorThatAKeyOrAClickActivatesWithTheKeyTypedOrTheCaretPlaced) {
  TcxTextEdit* edit = Cell();
  ASSERT_NE(edit, nullptr) << "the pool made no text editor for a text row";
  EXPECT_TRUE(edit->IsInplace());
  EXPECT_EQ(pool->GetEdit(row), edit);

  TcxCustomEditData* data = nullptr;
  edit->ActivateByKey('x', data);
  Pump();
  EXPECT_EQ(GetFocus(), Inner(edit));
  EXPECT_EQ(edit->GetText(), "x") << "the typed key replaces the selected cell text";
  EXPECT_EQ(edit->GetCursorPos(), 1);
  Type("yz");
  EXPECT_EQ(edit->GetText(), "xyz");

  // A press on the cell activates the editor with its text selected; a
  // later click between the second and the third letter puts the caret
  // there.
  edit->SetEditValue(Variant(AnsiString("hello")));
  grid->SetFocus();
  Pump();
  ASSERT_EQ(edit->GetText(), "hello");
  edit->ActivateByMouse({ssLeft}, 60, 25, data);
  Pump();
  EXPECT_EQ(GetFocus(), Inner(edit));
  EXPECT_EQ(Sel(edit), (std::pair<int, int>{0, 5}));
  test::PumpFor(GetDoubleClickTime() + 10);
  test::Click(Inner(edit), {CharX(edit, 2), 5});
  Pump();
  EXPECT_EQ(Sel(edit), (std::pair<int, int>{2, 2}));
  Type("_");
  EXPECT_EQ(edit->GetText(), "he_llo");
}

TEST_F(InplaceTextEdit, EscRestoresTheCellEnterAndTabGoToTheGridAndNoKeyReachesTheEditAsACharacter) {
  TcxTextEdit* edit = Cell();
  ASSERT_NE(edit, nullptr);
  TcxCustomEditData* data = nullptr;
  edit->Activate(data);
  Pump();
  Press(VK_END);
  Type("!");
  const int beeps = test::BeepCount();
  Press(VK_ESCAPE);
  EXPECT_EQ(edit->GetText(), "hello");
  EXPECT_EQ(VarToStr(edit->GetEditValue()), "hello");

  Press(VK_END);
  Type("?");
  log.clear();
  Press(VK_RETURN);
  Press(VK_TAB);
  EXPECT_EQ(log, (Log{"after key " + std::to_string(VK_RETURN), "after key " + std::to_string(VK_TAB)}));
  EXPECT_EQ(edit->GetText(), "hello?") << "Enter or Tab typed into the cell";
  EXPECT_EQ(GetFocus(), Inner(edit)) << "the grid decides where the focus goes";
  EXPECT_EQ(test::BeepCount(), beeps) << "the platform edit heard Enter or Esc";
}

}  // namespace
