// The rich text editor as a person uses it, through injected keys, mouse
// and its own context menu, and its value as a program keeps it: rich text
// that comes back with the runs it went in with, Null until the first
// change, plain text and memo mode, and an editor with no parent yet.
#include <gtest/gtest.h>

#include <functional>

#include "ConcreteEditorSession.h"
#include "library/editors/cxRichEdit.h"
#include "platform/controls/RichEditTestHooks.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/ScrollBars.h"
#include "platform/win/Window.h"

using namespace win;
using controls::test::RichRun;

namespace {

const char* const kLogRtf =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}"
    "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green128\\blue0;}"
    "\\f0\\fs20 plain {\\b bold} \\cf2 red\\cf0  caf\\'e9 \\u1046? \\cf4 green\\cf0\\par next line}";

class RichEdit : public edit_test::ConcreteEditorTest {
 protected:
  TcxRichEdit* MakeRich(TRect ABounds = {10, 10, 290, 160}) {
    auto* edit = Make<TcxRichEdit>(ABounds);
    edit->OnEditing = [this](TObject*, bool& CanEdit) {
      if (refuse) log.push_back("editing refused");
      CanEdit = !refuse;
    };
    return edit;
  }
  static std::string TextOf(TcxRichEdit* edit) { return edit->GetInnerRichEdit()->GetRichText(); }
  static std::vector<RichRun> RunsOf(TcxRichEdit* edit) {
    return controls::test::RichEditRuns(edit->GetInnerRichEdit()->GetHandle());
  }
  // The captions of the editor's own menu that can be chosen now.
  static std::vector<std::string> Enabled(TcxRichEdit* edit) {
    std::vector<std::string> names;
    TMenuItem* items = static_cast<TPopupMenu*>(edit->GetEditPopupMenuInstance())->GetItems();
    for (Integer i = 0; i < items->GetCount(); ++i)
      if (items->GetItems(i)->IsSelectable()) names.push_back(StripHotkey(items->GetItems(i)->GetCaption()));
    return names;
  }
  // Right-clicks the text and picks an item of the menu that opens.
  void Menu(TcxRichEdit* edit, const AnsiString& item) {
    forms::test::PickMenuItem(item);
    test::Click(edit->GetInnerRichEdit()->GetHandle(), {20, 10}, VK_RBUTTON);
    Pump();
  }
  bool refuse = false;
};

TEST_F(RichEdit, RichTextComesBackWithTheRunsItWentInWith) {
  TcxRichEdit* edit = MakeRich();
  Show();
  // Null until the person changes something; then rich text, even empty.
  edit->SetEditValue(Null());
  EXPECT_TRUE(VarIsNull(edit->GetEditValue()));
  Focus(edit);
  Type("x");
  const AnsiString typed = VarToStr(edit->GetEditValue());
  EXPECT_TRUE(IsRichText(typed));
  Press(VK_BACK);
  EXPECT_FALSE(VarIsNull(edit->GetEditValue()));
  EXPECT_TRUE(IsRichText(VarToStr(edit->GetEditValue())));

  edit->SetEditValue(Variant(AnsiString(kLogRtf)));
  EXPECT_FALSE(edit->GetModified());
  const std::vector<RichRun> runs = RunsOf(edit);
  ASSERT_GE(runs.size(), 5u);
  EXPECT_EQ(TextOf(edit), "plain bold red caf\xE9 ? green\r\nnext line");
  const auto bold = std::find_if(runs.begin(), runs.end(), [](const RichRun& r) { return r.Bold; });
  ASSERT_NE(bold, runs.end());
  EXPECT_EQ(bold->Text, "bold");
  const auto red = std::find_if(runs.begin(), runs.end(), [](const RichRun& r) { return r.Text == "red"; });
  ASSERT_NE(red, runs.end());
  EXPECT_FALSE(red->AutoColor);
  EXPECT_EQ(red->Color, 0x0000FFu);

  // What the editor answers loads into another editor as the same runs.
  const Variant value = edit->GetEditValue();
  TcxRichEdit* copy = MakeRich({10, 170, 290, 260});
  Pump();
  copy->SetEditValue(value);
  EXPECT_EQ(RunsOf(copy), runs);

  // Plain text with every kind of break is three lines.
  copy->SetEditValue(Variant(AnsiString("one\rtwo\nthree\r\n")));
  EXPECT_EQ(copy->GetLines()->GetCount(), 3);
  EXPECT_EQ(std::string(copy->GetLines()->Get(2)), "three");

  // Memo mode shows rich text as nothing, and does not read it.
  TOwned<TcxRichEditProperties> properties(New<TcxRichEditProperties>(nullptr));
  EXPECT_EQ(std::string(properties->GetDisplayText(Variant(AnsiString(kLogRtf)))), "plain bold red caf\xE9 ? green");
  properties->SetMemoMode(true);
  EXPECT_EQ(std::string(properties->GetDisplayText(Variant(AnsiString(kLogRtf)))), "");
  EXPECT_EQ(std::string(properties->GetDisplayText(Variant(AnsiString("memo\r\ntext")))), "memo");
}

TEST_F(RichEdit, AnEditorWithoutAParentKeepsItsFormattingUntilItHasOne) {
  auto* edit = New<TcxRichEdit>(form);
  edit->SetEditValue(Variant(AnsiString(kLogRtf)));
  EXPECT_EQ(VarToStr(edit->GetEditValue()), kLogRtf);
  edit->SetBoundsRect({10, 10, 290, 160});
  edit->SetParent(form);
  Show();
  // The window made now holds the value formatted.
  const std::vector<RichRun> runs = RunsOf(edit);
  EXPECT_TRUE(std::any_of(runs.begin(), runs.end(), [](const RichRun& r) { return r.Bold && r.Text == "bold"; }));
  const AnsiString value = VarToStr(edit->GetEditValue());
  EXPECT_TRUE(IsRichText(value));
  EXPECT_NE(value.find("\\b"), AnsiString::npos);
}

TEST_F(RichEdit, KeysTypeBreakMoveTheFocusAndSelect) {
  TcxRichEdit* edit = MakeRich();
  auto* sink = MakeRich({10, 170, 290, 260});
  Integer selectionChanges = 0, resizeRequests = 0;
  edit->GetProperties()->OnSelectionChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, edit);
    ++selectionChanges;
  };
  edit->GetProperties()->OnResizeRequest = [&](TObject*, const TRect&) { ++resizeRequests; };
  Show();
  Focus(edit);
  Type("first");
  Press(VK_RETURN);
  Type("second");
  EXPECT_EQ(TextOf(edit), "first\r\nsecond");
  // The second line asked for more room.
  EXPECT_GT(resizeRequests, 0);
  // Without WantReturns only Ctrl+Enter makes a line.
  edit->GetProperties()->SetWantReturns(false);
  Press(VK_RETURN);
  EXPECT_EQ(TextOf(edit), "first\r\nsecond");
  Chord(VK_CONTROL, VK_RETURN);
  Type("third");
  EXPECT_EQ(TextOf(edit), "first\r\nsecond\r\nthird");
  // Tab moves on when the editor does not want it.
  Press(VK_TAB);
  EXPECT_TRUE(sink->IsFocused());
  EXPECT_EQ(TextOf(edit), "first\r\nsecond\r\nthird");

  // Shift+arrows select; so does a drag of the mouse.
  Focus(edit);
  edit->SetSelStart(0);
  edit->SetSelLength(0);
  test::KeyDown(VK_SHIFT);
  test::KeyPress(VK_RIGHT);
  test::KeyPress(VK_RIGHT);
  test::KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(std::string(edit->GetSelText()), "fi");
  EXPECT_GT(selectionChanges, 0);
  const HWND inner = edit->GetInnerRichEdit()->GetHandle();
  test::MouseMove(inner, {2, 5});
  test::MouseDown();
  test::MouseMove(inner, {200, 5});
  test::MouseUp();
  Pump();
  EXPECT_EQ(std::string(edit->GetSelText()), "first");

  // The clipboard keys and Delete.
  Chord(VK_CONTROL, 'C');
  EXPECT_EQ(edit_test::ClipboardText(), "first");
  Chord(VK_CONTROL, 'X');
  EXPECT_EQ(TextOf(edit), "\r\nsecond\r\nthird");
  edit->SetSelStart(static_cast<Integer>(TextOf(edit).size()));
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(TextOf(edit), "\r\nsecond\r\nthirdfirst");
  edit->SetSelStart(0);
  edit->SetSelLength(2);
  Press(VK_DELETE);
  EXPECT_EQ(TextOf(edit), "second\r\nthirdfirst");
}

TEST_F(RichEdit, CtrlEnterIsAStepCtrlZTakesBackAndTheStepsBeforeItStay) {
  TcxRichEdit* edit = MakeRich();
  edit->GetProperties()->SetWantReturns(false);
  Show();
  Focus(edit);
  Type("first");
  Chord(VK_CONTROL, VK_RETURN);
  Type("second");
  EXPECT_EQ(TextOf(edit), "first\r\nsecond");
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(TextOf(edit), "first\r\n");
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(TextOf(edit), "first");
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(TextOf(edit), "");
  edit->GetInnerRichEdit()->Redo();
  EXPECT_EQ(TextOf(edit), "first");
}

TEST_F(RichEdit, TheContextMenuOffersWhatCanBeDoneAndOnEditingCanRefuseIt) {
  TcxRichEdit* edit = MakeRich();
  Show();
  Focus(edit);
  Type("alpha beta");
  edit_test::SetClipboardText("clip");
  // Nothing selected: no cut, copy or delete.
  Menu(edit, "Select All");
  EXPECT_EQ(edit->GetSelLength(), 10);
  const auto calls = forms::test::PopupMenuLog();
  ASSERT_EQ(calls.size(), 1u);
  TMenuItem* items = static_cast<TPopupMenu*>(edit->GetEditPopupMenuInstance())->GetItems();
  std::vector<std::string> captions;
  for (Integer i = 0; i < items->GetCount(); ++i) captions.push_back(items->GetItems(i)->GetCaption());
  EXPECT_EQ(captions, (std::vector<std::string>{"&Undo", "&Redo", "-", "Cu&t", "&Copy", "&Paste", "&Delete", "-",
                                                "Select &All"}));
  EXPECT_EQ(items->GetItems(2)->GetTag(), 2147483647);
  EXPECT_EQ(items->GetItems(8)->GetTag(), -7);
  EXPECT_EQ(Enabled(edit), (std::vector<std::string>{"Undo", "Paste", "Select All"}));

  edit->SetSelStart(0);
  edit->SetSelLength(5);
  Menu(edit, "Cut");
  EXPECT_EQ(Enabled(edit), (std::vector<std::string>{"Undo", "Cut", "Copy", "Paste", "Delete", "Select All"}));
  EXPECT_EQ(TextOf(edit), " beta");
  EXPECT_EQ(edit_test::ClipboardText(), "alpha");
  Menu(edit, "Undo");
  EXPECT_EQ(TextOf(edit), "alpha beta");
  Menu(edit, "Redo");
  EXPECT_EQ(TextOf(edit), " beta");
  Menu(edit, "Paste");
  EXPECT_EQ(TextOf(edit), "alpha beta");

  // Read-only: only what changes nothing. Cut there copies.
  edit->GetProperties()->SetReadOnly(true);
  edit->SetSelStart(6);
  edit->SetSelLength(4);
  Menu(edit, "Copy");
  EXPECT_EQ(Enabled(edit), (std::vector<std::string>{"Copy", "Select All"}));
  EXPECT_EQ(edit_test::ClipboardText(), "beta");
  edit->SetSelStart(0);
  edit->SetSelLength(5);
  SendMessageA(edit->GetInnerRichEdit()->GetHandle(), WM_CUT, 0, 0);
  EXPECT_EQ(edit_test::ClipboardText(), "alpha");
  EXPECT_EQ(TextOf(edit), "alpha beta");

  // Delete from the menu.
  edit->GetProperties()->SetReadOnly(false);
  edit->SetSelStart(5);
  edit->SetSelLength(5);
  Menu(edit, "Delete");
  EXPECT_EQ(TextOf(edit), "alpha");

  // OnEditing refuses each editing message, and is asked each time; a
  // refused cut still copies.
  refuse = true;
  const HWND inner = edit->GetInnerRichEdit()->GetHandle();
  const std::vector<std::function<void()>> edits = {
      [&] { SendMessageA(inner, WM_CLEAR, 0, 0); },
      [&] { SendMessageA(inner, WM_PASTE, 0, 0); },
      [&] { SendMessageA(inner, EM_REPLACESEL, 1, reinterpret_cast<LPARAM>("typed")); },
      [&] { SendMessageA(inner, WM_CUT, 0, 0); },
      [&] { Type("z"); },
      [&] { Press(VK_BACK); },
  };
  for (std::size_t i = 0; i < edits.size(); ++i) {
    SCOPED_TRACE(i);
    // A value set anew is unmodified: the next edit asks again.
    edit->SetEditValue(Variant(AnsiString("alpha")));
    edit_test::SetClipboardText("new");
    edit->SetSelStart(0);
    edit->SetSelLength(3);
    log.clear();
    edits[i]();
    EXPECT_EQ(TextOf(edit), "alpha");
    EXPECT_FALSE(log.empty());
  }
  EXPECT_EQ(edit_test::ClipboardText(), "new");
  SendMessageA(inner, WM_CUT, 0, 0);
  EXPECT_EQ(edit_test::ClipboardText(), "alp");
}

TEST_F(RichEdit, ModesMakeTheWindowAgainAndKeepTheText) {
  TcxRichEdit* edit = MakeRich();
  Show();
  edit->SetEditValue(Variant(AnsiString(kLogRtf)));
  TcxRichInnerEdit* inner = edit->GetInnerRichEdit();
  const HWND before = inner->GetHandle();
  // Memo mode: the window in plain-text mode, one format, the text kept.
  edit->GetProperties()->SetMemoMode(true);
  Pump();
  EXPECT_NE(inner->GetHandle(), before);
  EXPECT_EQ(SendMessageA(inner->GetHandle(), EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT, LRESULT(TM_PLAINTEXT));
  EXPECT_EQ(TextOf(edit), "plain bold red caf\xE9 ? green\r\nnext line");
  EXPECT_EQ(RunsOf(edit).size(), 1u);
  EXPECT_EQ(std::string(VarToStr(edit->GetEditValue())), "plain bold red caf\xE9 ? green\r\nnext line");
  // Back to rich mode, and plain text: the text stays, the value is text.
  edit->GetProperties()->SetMemoMode(false);
  Pump();
  EXPECT_EQ(SendMessageA(inner->GetHandle(), EM_GETTEXTMODE, 0, 0) & TM_RICHTEXT, LRESULT(TM_RICHTEXT));
  EXPECT_EQ(TextOf(edit), "plain bold red caf\xE9 ? green\r\nnext line");
  edit->GetProperties()->SetPlainText(true);
  EXPECT_FALSE(IsRichText(VarToStr(edit->GetEditValue())));
  // The selection bar makes the window again too.
  const HWND plain = inner->GetHandle();
  edit->GetProperties()->SetSelectionBar(true);
  Pump();
  EXPECT_NE(inner->GetHandle(), plain);
  EXPECT_TRUE(GetWindowLongPtrA(inner->GetHandle(), GWL_STYLE) & ES_SELECTIONBAR);
  EXPECT_EQ(inner->GetRichVersion(), 500);
}

TEST_F(RichEdit, TheBarsFollowTheWindow) {
  TcxRichEdit* edit = MakeRich({10, 10, 200, 90});
  edit->GetProperties()->SetScrollBars(ssBoth);
  edit->GetProperties()->SetWordWrap(false);
  Show();
  Focus(edit);
  for (int i = 0; i < 12; ++i) {
    Type("line " + std::to_string(i) + " with words that run past the right edge of the editor");
    Press(VK_RETURN);
  }
  Pump();
  TcxScrollBar* vert = edit->GetInnerScrollBar(sbVertical);
  TcxScrollBar* horz = edit->GetInnerScrollBar(sbHorizontal);
  ASSERT_TRUE(vert && horz);
  EXPECT_TRUE(vert->GetVisible());
  EXPECT_TRUE(horz->GetVisible());
  const HWND inner = edit->GetInnerRichEdit()->GetHandle();
  EXPECT_GT(vert->GetPosition(), 0);
  EXPECT_EQ(vert->GetPosition(), GetScrollPos(inner, SB_VERT));
  // The editor's bar scrolls the window.
  Integer pos = 0;
  vert->OnScroll(vert, scTrack, pos);
  vert->OnScroll(vert, scEndScroll, pos);
  Pump();
  EXPECT_EQ(GetScrollPos(inner, SB_VERT), 0);
  EXPECT_EQ(SendMessageA(inner, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

}  // namespace
