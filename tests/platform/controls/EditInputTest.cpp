// The edit driven as a person drives it: keys and characters injected
// through the queue, the mouse pressed, dragged and double-clicked, the
// clipboard keys and undo.
#include "EditTestUtil.h"

using namespace edit_test;

namespace {

using Sel = std::pair<int, int>;

class EditInput : public EditStage {
 protected:
  HWND edit = nullptr;
  void SetUp() override {
    EditStage::SetUp();
    edit = MakeEdit(ES_AUTOHSCROLL);
    SetFocus(edit);
    Pump();
  }
  // A client point of the edit at the boundary before character i.
  POINT At(int i) { return {PosX(edit, i), 5}; }
};

TEST_F(EditInput, TypingInsertsReplacesTheSelectionAndBackspaceDeletes) {
  Type("hello world");
  EXPECT_EQ(TextOf(edit), "hello world");
  EXPECT_EQ(SelOf(edit), Sel(11, 11));
  EXPECT_EQ(TakeHostLog().size(), 11u);  // one EN_CHANGE per character
  Chord(VK_SHIFT, VK_LEFT, 5);
  EXPECT_EQ(SelOf(edit), Sel(6, 11));
  Type("there");
  EXPECT_EQ(TextOf(edit), "hello there");
  Press(VK_BACK);
  Press(VK_BACK);
  EXPECT_EQ(TextOf(edit), "hello the");
  Press(VK_HOME);
  Press(VK_BACK);  // nothing before the caret
  EXPECT_EQ(TextOf(edit), "hello the");
  Press(VK_DELETE);
  EXPECT_EQ(TextOf(edit), "ello the");
  Chord(VK_SHIFT, VK_END);
  Press(VK_DELETE);
  EXPECT_EQ(TextOf(edit), "");
  Press(VK_DELETE);  // nothing after the caret
  EXPECT_EQ(TextOf(edit), "");
  EXPECT_TRUE(SendMessageA(edit, EM_GETMODIFY, 0, 0));
}

TEST_F(EditInput, ArrowsMoveTheActiveEndFromTheAnchorAndCtrlJumpsWords) {
  Type("one two  three");
  Press(VK_HOME);
  Chord(VK_CONTROL, VK_RIGHT);
  EXPECT_EQ(SelOf(edit), Sel(4, 4));
  Chord(VK_CONTROL, VK_RIGHT);
  EXPECT_EQ(SelOf(edit), Sel(9, 9));  // blanks after a word belong to it
  Chord(VK_CONTROL, VK_RIGHT);
  EXPECT_EQ(SelOf(edit), Sel(14, 14));
  Chord(VK_CONTROL, VK_LEFT);
  EXPECT_EQ(SelOf(edit), Sel(9, 9));
  Chord(VK_CONTROL, VK_LEFT);
  EXPECT_EQ(SelOf(edit), Sel(4, 4));
  // Shift extends from the anchor across it: the caret goes left of the
  // anchor, and the selection follows.
  Press(VK_RIGHT);
  Chord(VK_SHIFT, VK_RIGHT, 2);
  EXPECT_EQ(SelOf(edit), Sel(5, 7));
  Chord(VK_SHIFT, VK_LEFT, 4);
  EXPECT_EQ(SelOf(edit), Sel(3, 5));
  EXPECT_EQ(CaretAt().X, PosX(edit, 3));
  // Shift+Ctrl extends by words; Shift+Home to the start.
  win::test::KeyDown(VK_SHIFT);
  win::test::KeyDown(VK_CONTROL);
  win::test::KeyPress(VK_RIGHT);
  win::test::KeyUp(VK_CONTROL);
  win::test::KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(SelOf(edit), Sel(4, 5));
  Chord(VK_SHIFT, VK_HOME);
  EXPECT_EQ(SelOf(edit), Sel(0, 5));
  // A plain arrow drops the selection, moving from the caret.
  Press(VK_RIGHT);
  EXPECT_EQ(SelOf(edit), Sel(1, 1));
  Press(VK_END);
  Press(VK_RIGHT);
  EXPECT_EQ(SelOf(edit), Sel(14, 14));
  Press(VK_UP);  // one line: up is left
  EXPECT_EQ(SelOf(edit), Sel(13, 13));
}

TEST_F(EditInput, ClipboardKeysAndOneLevelUndo) {
  Type("copy me");
  Chord(VK_SHIFT, VK_LEFT, 2);
  TakeHostLog();
  Chord(VK_CONTROL, 'C');
  EXPECT_EQ(ClipboardText(), "me");
  EXPECT_TRUE(TakeHostLog().empty());  // copying changes nothing
  Press(VK_HOME);
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(TextOf(edit), "mecopy me");
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(TextOf(edit), "copy me");
  Chord(VK_SHIFT, VK_END);
  Chord(VK_CONTROL, 'X');
  EXPECT_EQ(TextOf(edit), "");
  EXPECT_EQ(ClipboardText(), "copy me");
  // Paste, undo and cut each told the parent once.
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"EN_CHANGE 7", "EN_CHANGE 7", "EN_CHANGE 7"}));
  Chord(VK_SHIFT, VK_INSERT);
  Chord(VK_SHIFT, VK_INSERT);
  EXPECT_EQ(TextOf(edit), "copy mecopy me");
  Chord(VK_SHIFT, VK_LEFT, 2);
  Chord(VK_SHIFT, VK_DELETE);
  EXPECT_EQ(TextOf(edit), "copy mecopy ");
  TakeHostLog();
  Chord(VK_SHIFT, VK_LEFT);
  SendMessageA(edit, WM_CLEAR, 0, 0);
  SendMessageA(edit, WM_CLEAR, 0, 0);  // nothing selected: no change
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"EN_CHANGE 7"}));
  EXPECT_EQ(TextOf(edit), "copy mecopy");
  Type(" ");
  SetClipboardText("x");
  Chord(VK_SHIFT, VK_HOME);
  Chord(VK_CONTROL, VK_INSERT);
  EXPECT_EQ(ClipboardText(), "copy mecopy ");
  // A run of typing is one undo step; undoing twice brings it back.
  Press(VK_END);
  Type("abc");
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(TextOf(edit), "copy mecopy ");
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(TextOf(edit), "copy mecopy abc");
  // Pasted text stops at its first line break and respects the limit.
  SendMessageA(edit, EM_LIMITTEXT, 18, 0);
  SetClipboardText("12345\r\nnext");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(TextOf(edit), "copy mecopy abc123");
}

// The Delete keys as the system's edit has them. Without a selection:
// Delete takes the character after the caret, Shift+Delete the one before
// it, Ctrl+Delete the rest of the line (in a multi-line edit, of the
// caret's line), Shift+Ctrl+Delete nothing. With one: Shift+Delete cuts,
// Delete clears.
TEST_F(EditInput, TheDeleteKeysDeleteAroundTheCaretOrCutAndClearTheSelection) {
  auto shiftCtrlDelete = [] {
    win::test::KeyDown(VK_SHIFT);
    Chord(VK_CONTROL, VK_DELETE);
    win::test::KeyUp(VK_SHIFT);
    Pump();
  };
  Type("abcdef");
  SendMessageA(edit, EM_SETSEL, 3, 3);
  Chord(VK_SHIFT, VK_DELETE);
  EXPECT_EQ(TextOf(edit), "abdef");
  EXPECT_EQ(SelOf(edit), Sel(2, 2));
  shiftCtrlDelete();
  EXPECT_EQ(TextOf(edit), "abdef");
  Chord(VK_CONTROL, VK_DELETE);
  EXPECT_EQ(TextOf(edit), "ab");
  EXPECT_EQ(SelOf(edit), Sel(2, 2));
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(TextOf(edit), "abdef");

  SetClipboardText("kept");
  SendMessageA(edit, EM_SETSEL, 1, 3);
  shiftCtrlDelete();
  EXPECT_EQ(TextOf(edit), "abdef");
  Chord(VK_CONTROL, VK_DELETE);
  EXPECT_EQ(TextOf(edit), "aef");
  EXPECT_EQ(ClipboardText(), "kept");  // cleared, not cut
  SendMessageA(edit, EM_SETSEL, 0, 2);
  Chord(VK_SHIFT, VK_DELETE);
  EXPECT_EQ(TextOf(edit), "f");
  EXPECT_EQ(ClipboardText(), "ae");

  HWND memo = MakeEdit(ES_MULTILINE, "one two\r\nthree", {10, 40, 210, 140});
  SetFocus(memo);
  SendMessageA(memo, EM_SETSEL, 4, 4);
  Chord(VK_CONTROL, VK_DELETE);
  EXPECT_EQ(TextOf(memo), "one \r\nthree");
  Chord(VK_SHIFT, VK_DELETE);
  EXPECT_EQ(TextOf(memo), "one\r\nthree");
  SendMessageA(memo, EM_SETREADONLY, TRUE, 0);
  for (BYTE modifier : {BYTE(VK_SHIFT), BYTE(VK_CONTROL)}) Chord(modifier, VK_DELETE);
  Press(VK_DELETE);
  EXPECT_EQ(TextOf(memo), "one\r\nthree");
}

// Whoever subclasses an edit sees every clipboard key as the edit's own
// copy, cut and paste message, and can refuse it there.
TEST_F(EditInput, ClipboardKeysArriveAsTheEditsOwnMessages) {
  static std::vector<UINT> seen;
  static WNDPROC original = nullptr;
  static bool refusePaste = false;
  seen.clear();
  original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_WNDPROC));
  SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_COPY || m == WM_CUT || m == WM_PASTE) {
      seen.push_back(m);
      if (m == WM_PASTE && refusePaste) return 0;
    }
    return CallWindowProcA(original, h, m, w, l);
  }));
  Type("abc");
  Chord(VK_SHIFT, VK_LEFT);
  Chord(VK_CONTROL, 'C');
  Chord(VK_CONTROL, VK_INSERT);
  Chord(VK_CONTROL, 'X');
  Chord(VK_CONTROL, 'V');
  Chord(VK_SHIFT, VK_INSERT);
  Chord(VK_SHIFT, VK_LEFT);
  Chord(VK_SHIFT, VK_DELETE);
  EXPECT_EQ(seen, (std::vector<UINT>{WM_COPY, WM_COPY, WM_CUT, WM_PASTE, WM_PASTE, WM_CUT}));
  EXPECT_EQ(TextOf(edit), "abc");
  refusePaste = true;
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(TextOf(edit), "abc");  // the subclass kept the paste
  refusePaste = false;
  SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
}

TEST_F(EditInput, LimitCaseAndReadOnlyRefuseOrConvertTypedCharactersWithBeeps) {
  SendMessageA(edit, EM_LIMITTEXT, 3, 0);
  const int beeps = win::test::BeepCount();
  Type("abcd");
  EXPECT_EQ(TextOf(edit), "abc");
  EXPECT_EQ(win::test::BeepCount(), beeps + 1);
  // A selection makes room.
  Chord(VK_SHIFT, VK_LEFT);
  Type("Z");
  EXPECT_EQ(TextOf(edit), "abZ");
  // Enter and Esc beep in a single-line edit and change nothing.
  Press(VK_RETURN);
  Press(VK_ESCAPE);
  EXPECT_EQ(win::test::BeepCount(), beeps + 3);
  EXPECT_EQ(TextOf(edit), "abZ");

  HWND upper = MakeEdit(ES_AUTOHSCROLL | ES_UPPERCASE, "", {10, 40, 110, 60}, 8);
  SetFocus(upper);
  Type("MixEd \xe9t\xe9");
  EXPECT_EQ(TextOf(upper), "MIXED \xc9T\xc9");
  SetClipboardText("paste");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(TextOf(upper), "MIXED \xc9T\xc9PASTE");

  SendMessageA(upper, EM_SETREADONLY, TRUE, 0);
  const int before = win::test::BeepCount();
  Type("q");
  Press(VK_BACK);
  EXPECT_EQ(win::test::BeepCount(), before + 2);
  Press(VK_DELETE);
  Chord(VK_CONTROL, 'X');
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(TextOf(upper), "MIXED \xc9T\xc9PASTE");
  Press(VK_HOME);
  Chord(VK_SHIFT, VK_RIGHT, 3);  // selecting still works
  EXPECT_EQ(SelOf(upper), Sel(0, 3));

  // Without automatic scrolling the text may not grow past the width.
  HWND fixed = MakeEdit(0, "", {10, 70, 40, 90}, 9);
  SetFocus(fixed);
  Type("wwwwwwwwwwwwwwwwwwww");
  const std::string kept = TextOf(fixed);
  EXPECT_LT(kept.size(), 20u);
  EXPECT_LE(Width(fixed, kept), 30);
  EXPECT_GT(Width(fixed, kept + "w"), 30);
}

TEST_F(EditInput, PressPlacesTheCaretAndCapturesDragExtendsAndScrolls) {
  SetWindowTextA(edit, "abcdefghij");
  HWND other = MakeEdit(ES_AUTOHSCROLL, "", {10, 40, 110, 60}, 8);
  SetFocus(other);
  // A press focuses and puts the caret at the nearest boundary.
  win::test::MouseMove(edit, {At(3).X + 1, 5});
  win::test::MouseDown();
  Pump();
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(win::test::Capture(), edit);
  EXPECT_EQ(SelOf(edit), Sel(3, 3));
  win::test::MouseMove(edit, {At(6).X - 1, 5});
  Pump();
  EXPECT_EQ(SelOf(edit), Sel(3, 6));
  win::test::MouseMove(edit, {At(1).X, 5});
  Pump();
  EXPECT_EQ(SelOf(edit), Sel(1, 3));
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(win::test::Capture(), nullptr);
  // Shift+press extends from the anchor.
  win::test::KeyDown(VK_SHIFT);
  win::test::Click(edit, At(8));
  win::test::KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(SelOf(edit), Sel(3, 8));

  // Dragging past the right edge scrolls one character per tick.
  SetWindowTextA(edit, std::string(40, 'm').c_str());
  win::test::MouseMove(edit, {2, 5});
  win::test::MouseDown();
  Pump();
  win::test::MouseMove(edit, {150, 5});
  Pump();
  const auto visibleEnd = SelOf(edit).second;
  EXPECT_EQ(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  win::test::PumpFor(300);
  EXPECT_EQ(SelOf(edit), Sel(0, visibleEnd + 3));
  EXPECT_GT(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  win::test::PumpFor(4000);
  EXPECT_EQ(SelOf(edit), Sel(0, 40));  // stops at the end
  // Past the left edge the caret goes to the first character in view, then
  // scrolls back one per tick.
  const auto first = static_cast<int>(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
  win::test::MouseMove(edit, {-30, 5});
  Pump();
  EXPECT_EQ(SelOf(edit), Sel(0, first));
  win::test::PumpFor(200);
  EXPECT_EQ(SelOf(edit), Sel(0, first - 2));
  EXPECT_EQ(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), first - 2);
  win::test::MouseUp();
  Pump();
  win::test::PumpFor(500);
  EXPECT_EQ(SelOf(edit), Sel(0, first - 2));  // released: no more scrolling
}

TEST_F(EditInput, DoubleClickSelectsTheWordAndItsTrailingBlanks) {
  SetWindowTextA(edit, "alpha  beta gamma");
  const POINT inBeta{PosX(edit, 8) + 1, 5};
  win::test::Click(edit, inBeta);
  win::test::Click(edit, inBeta);
  Pump();
  EXPECT_EQ(SelOf(edit), Sel(7, 12));
  const POINT inBlanks{PosX(edit, 6) + 1, 5};
  win::test::PumpFor(1000);  // not a double click with the last one
  win::test::Click(edit, inBlanks);
  win::test::Click(edit, inBlanks);
  Pump();
  EXPECT_EQ(SelOf(edit), Sel(5, 7));
  const POINT pastEnd{95, 5};
  win::test::PumpFor(1000);
  win::test::Click(edit, pastEnd);
  win::test::Click(edit, pastEnd);
  Pump();
  EXPECT_EQ(SelOf(edit), Sel(12, 17));
}

}  // namespace
