// The edit's messages against the table of answers in
// docs/platform-controls.md: text, selection, positions, limits, undo and
// the change notifications, corner cases included.
#include "EditTestUtil.h"

using namespace edit_test;

namespace {

using Sel = std::pair<int, int>;

TEST_F(EditStage, TextMessagesCopyWhatFitsAndNotifyEveryChange) {
  HWND edit = MakeEdit(ES_AUTOHSCROLL, "start");
  EXPECT_EQ(TextOf(edit), "start");
  EXPECT_TRUE(TakeHostLog().empty());  // the creation text is no change

  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(SendMessageA(edit, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(buffer)), 2);
  EXPECT_STREQ(buffer, "st");
  EXPECT_EQ(SendMessageA(edit, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_STREQ(buffer, "st");  // size 0 writes nothing
  EXPECT_EQ(SendMessageA(edit, WM_GETTEXT, 8, 0), 0);

  // WM_SETTEXT ignores the limit, puts the caret at 0, clears the modified
  // flag and the undo buffer, and says EN_CHANGE like any change.
  SendMessageA(edit, EM_LIMITTEXT, 3, 0);
  SendMessageA(edit, EM_SETMODIFY, TRUE, 0);
  SetSel(edit, 1, 2);
  EXPECT_EQ(SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("longer than three")), TRUE);
  EXPECT_EQ(TextOf(edit), "longer than three");
  EXPECT_EQ(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0), 17);
  EXPECT_EQ(SelOf(edit), Sel(0, 0));
  EXPECT_FALSE(SendMessageA(edit, EM_GETMODIFY, 0, 0));
  EXPECT_FALSE(SendMessageA(edit, EM_CANUNDO, 0, 0));
  SendMessageA(edit, WM_SETTEXT, 0, 0);  // null text empties
  EXPECT_EQ(TextOf(edit), "");
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"EN_CHANGE 7", "EN_CHANGE 7"}));
  // Case styles leave set text as given.
  HWND upper = MakeEdit(ES_AUTOHSCROLL | ES_UPPERCASE, "", {10, 40, 110, 60}, 8);
  SetWindowTextA(upper, "MiXed");
  EXPECT_EQ(TextOf(upper), "MiXed");
}

TEST_F(EditStage, SetSelTakesAnchorThenActiveEndWithMinusOneAndOutOfRangeRules) {
  HWND edit = MakeEdit(ES_AUTOHSCROLL, "abcdef");
  struct Case {
    int start, end;
    Sel expected;
  };
  const Case table[] = {
      {1, 4, {1, 4}},    {4, 1, {1, 4}},   {0, -1, {0, 6}},  {2, 99, {2, 6}}, {99, 2, {2, 6}},
      {-5, 0, {0, 6}},   {3, -7, {3, 6}},  {6, 6, {6, 6}},
  };
  for (const Case& c : table) {
    SetSel(edit, c.start, c.end);
    EXPECT_EQ(SelOf(edit), c.expected) << c.start << "," << c.end;
  }
  // The active end is the second number: start > end leaves the caret at
  // the start of the selection, and Shift+Right moves that end.
  SetFocus(edit);
  SetSel(edit, 4, 1);
  Chord(VK_SHIFT, VK_RIGHT);
  EXPECT_EQ(SelOf(edit), Sel(2, 4));
  // -1 as the start drops the selection where the caret is.
  SetSel(edit, 5, 3);
  SetSel(edit, -1, 0);
  EXPECT_EQ(SelOf(edit), Sel(3, 3));
  // On empty text everything collapses to 0.
  SetWindowTextA(edit, "");
  SetSel(edit, 0, -1);
  EXPECT_EQ(SelOf(edit), Sel(0, 0));
  SetSel(edit, 5, 2);
  EXPECT_EQ(SelOf(edit), Sel(0, 0));
  // EM_GETSEL packs both ends; either pointer may be null.
  SetWindowTextA(edit, "abcdef");
  SetSel(edit, 2, 5);
  EXPECT_EQ(SendMessageA(edit, EM_GETSEL, 0, 0), MAKELRESULT(2, 5));
}

TEST_F(EditStage, ReplaceSelHonoursLimitCaseAndLineBreaksAndMayBeUndone) {
  HWND edit = MakeEdit(ES_AUTOHSCROLL | ES_LOWERCASE, "abcd");
  SetSel(edit, 1, 3);
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("XY\r\nZ"));
  EXPECT_EQ(TextOf(edit), "axyd");
  EXPECT_EQ(SelOf(edit), Sel(3, 3));
  EXPECT_TRUE(SendMessageA(edit, EM_GETMODIFY, 0, 0));
  EXPECT_TRUE(SendMessageA(edit, EM_CANUNDO, 0, 0));
  EXPECT_EQ(SendMessageA(edit, EM_UNDO, 0, 0), TRUE);
  EXPECT_EQ(TextOf(edit), "abcd");
  EXPECT_EQ(SelOf(edit), Sel(1, 3));
  // Undo again redoes: one level that swaps.
  EXPECT_EQ(SendMessageA(edit, WM_UNDO, 0, 0), TRUE);
  EXPECT_EQ(TextOf(edit), "axyd");
  SendMessageA(edit, EM_EMPTYUNDOBUFFER, 0, 0);
  EXPECT_FALSE(SendMessageA(edit, EM_CANUNDO, 0, 0));
  EXPECT_EQ(SendMessageA(edit, EM_UNDO, 0, 0), FALSE);

  // The limit cuts what is put in; FALSE for "cannot undo" empties the buffer.
  SendMessageA(edit, EM_LIMITTEXT, 6, 0);
  EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 6);
  SetSel(edit, 4, 4);
  SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("12345"));
  EXPECT_EQ(TextOf(edit), "axyd12");
  EXPECT_FALSE(SendMessageA(edit, EM_CANUNDO, 0, 0));
  TakeHostLog();
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("more"));  // no room, nothing selected
  EXPECT_EQ(TextOf(edit), "axyd12");
  EXPECT_TRUE(TakeHostLog().empty());

  // Limits: 0 and negatives mean as much as there can be.
  SendMessageA(edit, EM_LIMITTEXT, 0, 0);
  EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), kEditNoLimit);
  SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(-3), 0);
  EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), kEditNoLimit);
  HWND fresh = MakeEdit(ES_AUTOHSCROLL, "", {10, 40, 110, 60}, 8);
  EXPECT_EQ(SendMessageA(fresh, EM_GETLIMITTEXT, 0, 0), kEditDefaultLimit);
}

TEST_F(EditStage, PositionsAndCharactersMapBothWaysAcrossScrolling) {
  HWND edit = MakeEdit(ES_AUTOHSCROLL, "abc def");
  const int step = Width(edit, "a");
  EXPECT_EQ(PosX(edit, 0), 0);
  EXPECT_EQ(PosX(edit, 3), Width(edit, "abc"));
  EXPECT_EQ(PosX(edit, 6), Width(edit, "abc de"));
  EXPECT_EQ(PosX(edit, 7), -1);  // the end is beyond the last character
  EXPECT_EQ(PosX(edit, 99), -1);
  EXPECT_EQ(PosX(edit, -1), -1);
  // Nearest boundary: left of a character's middle is before it.
  EXPECT_EQ(CharAt(edit, 0), 0);
  EXPECT_EQ(CharAt(edit, step / 2 - 1), 0);
  EXPECT_EQ(CharAt(edit, step - 1), 1);
  EXPECT_EQ(CharAt(edit, -50), 0);
  EXPECT_EQ(CharAt(edit, 500), 7);

  // Margins move the text; EM_GETMARGINS gives them back.
  SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(3, 1));
  EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(3, 1));
  EXPECT_EQ(PosX(edit, 0), 3);
  SendMessageA(edit, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(9, 4));
  EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(3, 4));

  // A long text scrolls to keep the caret in view; positions stay monotonic
  // and those scrolled off are negative.
  std::string longText(60, 'm');
  SetWindowTextA(edit, longText.c_str());
  SetSel(edit, 60, 60);
  const int first = static_cast<int>(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
  EXPECT_GT(first, 0);
  EXPECT_LT(PosX(edit, 0), 0);
  EXPECT_EQ(PosX(edit, first), 3);
  for (int i = 1; i < 60; ++i) EXPECT_GT(PosX(edit, i), PosX(edit, i - 1));
  // The last character ends inside the area less the right margin.
  EXPECT_LE(PosX(edit, 59) + Width(edit, "m"), 100 - 4);
  EXPECT_GT(PosX(edit, 59) + Width(edit, "m"), 100 - 4 - Width(edit, "m"));
  SetSel(edit, 0, 0);
  EXPECT_EQ(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  // Without automatic scrolling nothing scrolls.
  HWND fixed = MakeEdit(0, longText.c_str(), {10, 40, 110, 60}, 8);
  SetSel(fixed, 60, 60);
  EXPECT_EQ(SendMessageA(fixed, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(EditStage, PasswordReadOnlyModifiedAndDialogCodeAnswers) {
  HWND edit = MakeEdit(ES_AUTOHSCROLL | ES_PASSWORD, "secret");
  EXPECT_EQ(SendMessageA(edit, EM_GETPASSWORDCHAR, 0, 0), '*');
  // Positions are those of the masked text.
  EXPECT_EQ(PosX(edit, 3), Width(edit, "***"));
  SendMessageA(edit, EM_SETPASSWORDCHAR, '#', 0);
  EXPECT_EQ(PosX(edit, 3), Width(edit, "###"));
  // Copy and cut are blocked while the text is masked.
  SetClipboardText("before");
  SetSel(edit, 0, -1);
  SendMessageA(edit, WM_COPY, 0, 0);
  SendMessageA(edit, WM_CUT, 0, 0);
  EXPECT_EQ(ClipboardText(), "before");
  EXPECT_EQ(TextOf(edit), "secret");
  SendMessageA(edit, EM_SETPASSWORDCHAR, 0, 0);
  EXPECT_EQ(GetWindowLongPtrA(edit, GWL_STYLE) & ES_PASSWORD, 0);
  SendMessageA(edit, WM_COPY, 0, 0);
  EXPECT_EQ(ClipboardText(), "secret");

  // Read-only refuses the person's changes but not a program's.
  EXPECT_EQ(SendMessageA(edit, EM_SETREADONLY, TRUE, 0), TRUE);
  EXPECT_NE(GetWindowLongPtrA(edit, GWL_STYLE) & ES_READONLY, 0);
  SendMessageA(edit, WM_CUT, 0, 0);
  SendMessageA(edit, WM_CLEAR, 0, 0);
  SendMessageA(edit, WM_PASTE, 0, 0);
  EXPECT_EQ(TextOf(edit), "secret");
  SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("new"));
  EXPECT_EQ(TextOf(edit), "new");

  SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
  EXPECT_FALSE(SendMessageA(edit, EM_GETMODIFY, 0, 0));
  EXPECT_EQ(SendMessageA(edit, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL);
  EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 1);
  char name[16]{};
  GetClassNameA(edit, name, sizeof name);
  EXPECT_STREQ(name, "EDIT");
  WNDCLASSA wc{};
  GetClassInfoA(nullptr, "EDIT", &wc);
  EXPECT_EQ(wc.style, CS_DBLCLKS);
}

TEST_F(EditStage, FontMarginsAndScrollingAnswerTogether) {
  HWND edit = MakeEdit(ES_AUTOHSCROLL, "abc");
  SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(2, 0));
  HFONT big = CreateFontA(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
  EXPECT_EQ(SendMessageA(edit, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(big));
  EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(2, 0));  // the font keeps the margins
  EXPECT_EQ(PosX(edit, 2), 2 + Width(edit, "ab"));
  SetFocus(edit);
  SetSel(edit, 3, 3);
  EXPECT_EQ(CaretAt().X, 2 + Width(edit, "abc"));
  SendMessageA(edit, EM_SETMARGINS, EC_USEFONTINFO, MAKELPARAM(9, 9));
  EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), 0);
  // EM_SCROLLCARET brings back a caret a narrower window lost from view.
  SetWindowTextA(edit, "a long line of text in a big font");
  SetSel(edit, 33, 33);
  const auto first = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  EXPECT_GT(first, 0);
  SetSel(edit, -1, 0);
  EXPECT_EQ(SendMessageA(edit, EM_SCROLLCARET, 0, 0), TRUE);
  EXPECT_EQ(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), first);
  DestroyWindow(edit);
  DeleteObject(ToObj(big));
}

TEST_F(EditStage, KeysReadModifiersFromTheKeyboardStateNotFromLParam) {
  HWND edit = MakeEdit(ES_AUTOHSCROLL, "one two");
  SetFocus(edit);
  SetSel(edit, 7, 7);
  SendMessageA(edit, WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(SelOf(edit), Sel(6, 6));
  BYTE keys[256]{};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageA(edit, WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(SelOf(edit), Sel(4, 6));
  keys[VK_SHIFT] = keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  // Tab, DEL and the other control characters beep and change nothing.
  const int beeps = win::test::BeepCount();
  SendMessageA(edit, WM_CHAR, '\t', 0);
  SendMessageA(edit, WM_CHAR, 0x7F, 0);
  SendMessageA(edit, WM_CHAR, 0x01, 0);
  EXPECT_EQ(win::test::BeepCount(), beeps + 3);
  EXPECT_EQ(TextOf(edit), "one two");
  // Characters from the input method are typed like any other.
  SendMessageA(edit, WM_IME_CHAR, 0xE9, 0);
  EXPECT_EQ(TextOf(edit), "one \xe9o");
  EXPECT_EQ(SendMessageA(edit, WM_IME_COMPOSITION, 0, 0), 0);
}

TEST_F(EditStage, ContextMenuIsOfferedToTheParentAndHugeSelectionsDoNotPack) {
  static std::vector<HWND> asked;
  asked.clear();
  SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_CONTEXTMENU) asked.push_back(reinterpret_cast<HWND>(w));
    return DefWindowProcA(h, m, w, l);
  }));
  HWND edit = MakeEdit(ES_AUTOHSCROLL, "abc");
  SendMessageA(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit), MAKELPARAM(120, 120));
  EXPECT_EQ(asked, (std::vector<HWND>{edit}));

  std::string huge(70000, 'x');
  SetWindowTextA(edit, huge.c_str());
  EXPECT_EQ(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0), 70000);
  SetSel(edit, 10, 69999);
  DWORD start = 0, end = 0;
  EXPECT_EQ(SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)), -1);
  EXPECT_EQ(start, 10u);
  EXPECT_EQ(end, 69999u);
}

TEST_F(EditStage, ParentDestroyingTheEditFromItsNotificationIsSurvived) {
  HWND edit = MakeEdit(ES_AUTOHSCROLL, "abc");
  static HWND victim = nullptr;
  victim = edit;
  SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_COMMAND && HIWORD(w) == EN_CHANGE && IsWindow(victim)) DestroyWindow(victim);
    return DefWindowProcA(h, m, w, l);
  }));
  SetFocus(edit);
  Type("x");
  EXPECT_FALSE(IsWindow(edit));
  Pump();
}

}  // namespace
