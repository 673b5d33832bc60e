// The multi-line edit's messages against the answers table in
// docs/platform-controls.md: lines over a CR LF text, word wrap, the line
// and page keys, Enter and Tab, and scrolling both ways with the standard
// bars and the EN_VSCROLL/EN_HSCROLL notifications.
#include <climits>

#include "EditTestUtil.h"

#include "platform/win/ScrollBars.h"

using namespace edit_test;
using controls::test::EditLines;

namespace {

using Sel = std::pair<int, int>;
using Lines = std::vector<std::string>;

class Memo : public EditStage {
 protected:
  HWND MakeMemo(DWORD style, const char* text, RECT bounds = {10, 10, 210, 110}) {
    return MakeEdit(ES_MULTILINE | style, text, bounds);
  }
  static int LineHeight(HWND memo) {
    const LRESULT second = SendMessageA(memo, EM_LINEINDEX, 1, 0);
    return PosY(memo, static_cast<int>(second)) - PosY(memo, 0);
  }
};

TEST_F(Memo, LineMessagesReadACrLfText) {
  //                            0123 4 5678901234 5 6 7 8901
  HWND memo = MakeMemo(ES_AUTOHSCROLL, "one\r\ntwo words\r\n\r\nlast");
  EXPECT_EQ(SendMessageA(memo, EM_GETLINECOUNT, 0, 0), 4);
  EXPECT_EQ(EditLines(memo), (Lines{"one", "two words", "", "last"}));
  struct Case {
    UINT msg;
    int arg;
    LRESULT expected;
  };
  const Case table[] = {
      {EM_LINEINDEX, 0, 0},     {EM_LINEINDEX, 1, 5},     {EM_LINEINDEX, 3, 18},    {EM_LINEINDEX, 4, -1},
      {EM_LINEINDEX, -7, -1},   {EM_LINELENGTH, 0, 3},    {EM_LINELENGTH, 6, 9},    {EM_LINELENGTH, 16, 0},
      {EM_LINELENGTH, 21, 4},   {EM_LINELENGTH, 22, 4},   {EM_LINELENGTH, 99, 0},   {EM_LINEFROMCHAR, 3, 0},
      {EM_LINEFROMCHAR, 5, 1},  {EM_LINEFROMCHAR, 16, 2}, {EM_LINEFROMCHAR, 99, 3},
  };
  for (const Case& c : table)
    EXPECT_EQ(SendMessageA(memo, c.msg, static_cast<WPARAM>(c.arg), 0), c.expected) << c.msg << " " << c.arg;
  // -1 asks about the caret's line; EM_LINELENGTH then counts what the
  // selection leaves of the lines it touches.
  SetSel(memo, 7, 7);
  EXPECT_EQ(SendMessageA(memo, EM_LINEINDEX, static_cast<WPARAM>(-1), 0), 5);
  EXPECT_EQ(SendMessageA(memo, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 1);
  EXPECT_EQ(SendMessageA(memo, EM_LINELENGTH, static_cast<WPARAM>(-1), 0), 9);
  SetSel(memo, 1, 7);
  EXPECT_EQ(SendMessageA(memo, EM_LINELENGTH, static_cast<WPARAM>(-1), 0), 1 + 7);
  // EM_GETLINE copies at most the size in the buffer's first word, no NUL.
  char buffer[16];
  std::memset(buffer, 'x', sizeof buffer);
  *reinterpret_cast<WORD*>(buffer) = 4;
  EXPECT_EQ(SendMessageA(memo, EM_GETLINE, 1, reinterpret_cast<LPARAM>(buffer)), 4);
  EXPECT_EQ(std::string(buffer, 6), "two xx");
  *reinterpret_cast<WORD*>(buffer) = 0;
  EXPECT_EQ(SendMessageA(memo, EM_GETLINE, 1, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(SendMessageA(memo, EM_GETLINE, 4, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(SendMessageA(memo, EM_GETLINE, 0, 0), 0);
  // No boundary falls inside a line break.
  SetSel(memo, 4, 4);
  EXPECT_EQ(SelOf(memo), Sel(3, 3));
  // Positions carry the line: y in the low... high word, x in the low.
  const int lh = LineHeight(memo);
  EXPECT_GT(lh, 0);
  EXPECT_EQ(PosX(memo, 5), PosX(memo, 0));
  EXPECT_EQ(PosY(memo, 18), 3 * lh);
  EXPECT_EQ(SendMessageA(memo, EM_CHARFROMPOS, 0, MAKELPARAM(PosX(memo, 7) + 1, lh + 1)), MAKELRESULT(7, 1));
  EXPECT_EQ(SendMessageA(memo, EM_CHARFROMPOS, 0, MAKELPARAM(150, 2 * lh + 1)), MAKELRESULT(16, 2));
  // Breaks a program puts in become CR LF; a final break leaves an empty
  // last line; empty text is one empty line.
  SetSel(memo, 0, -1);
  SendMessageA(memo, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("a\nb\rc\r\n"));
  EXPECT_EQ(TextOf(memo), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(EditLines(memo), (Lines{"a", "b", "c", ""}));
  SetWindowTextA(memo, "");
  EXPECT_EQ(EditLines(memo), (Lines{""}));
  // The limit never splits a line break.
  SendMessageA(memo, EM_LIMITTEXT, 3, 0);
  SendMessageA(memo, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("ab\r\ncd"));
  EXPECT_EQ(TextOf(memo), "ab");
  EXPECT_EQ(SendMessageA(memo, EM_LINEINDEX, 0, 0), 0);
}

TEST_F(Memo, WrapsAtBlanksCutsLongWordsAndFollowsTheWidth) {
  HWND memo = MakeMemo(0, "alpha beta gamma delta epsilon", {10, 10, 110, 110});
  RECT rc{};
  GetClientRect(memo, &rc);
  const int area = static_cast<int>(rc.Right) - 2;  // a pixel of margin on each side
  const Lines lines = EditLines(memo);
  ASSERT_GT(lines.size(), 1u);
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    joined += lines[i];
    // Every line but the last ends at a blank that hangs past the edge;
    // what shows fits.
    if (i + 1 < lines.size()) {
      EXPECT_EQ(lines[i].back(), ' ') << i;
      EXPECT_LE(Width(memo, lines[i].substr(0, lines[i].size() - 1)), area) << i;
      // The next word would not have fitted.
      const std::string next = lines[i + 1].substr(0, lines[i + 1].find(' '));
      EXPECT_GT(Width(memo, lines[i] + next), area) << i;
    }
  }
  EXPECT_EQ(joined, "alpha beta gamma delta epsilon");  // wrapping adds nothing to the text
  // A word wider than the area is cut where it reaches the edge.
  const std::string word(40, 'w');
  SetWindowTextA(memo, word.c_str());
  const Lines pieces = EditLines(memo);
  ASSERT_GT(pieces.size(), 1u);
  EXPECT_LE(Width(memo, pieces[0]), area);
  EXPECT_GT(Width(memo, pieces[0] + "w"), area);
  // Wider, it takes fewer lines; with horizontal scrolling it never wraps.
  SetWindowTextA(memo, "alpha beta gamma delta epsilon");
  SetWindowPos(memo, nullptr, 0, 0, 400, 100, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(EditLines(memo), (Lines{"alpha beta gamma delta epsilon"}));
  HWND wide = MakeMemo(ES_AUTOHSCROLL, "alpha beta gamma delta epsilon", {10, 10, 60, 110});
  EXPECT_EQ(SendMessageA(wide, EM_GETLINECOUNT, 0, 0), 1);
}

TEST_F(Memo, EndReachesTheEndOfAWrappedLineAndTheCaretShowsThere) {
  // A word three lines long: where it is cut, one line's end is the same
  // boundary as the next line's start.
  const std::string word(40, 'w');
  HWND memo = MakeMemo(0, word.c_str(), {10, 10, 110, 110});
  SetFocus(memo);
  const int lh = LineHeight(memo);
  const Lines lines = EditLines(memo);
  ASSERT_GE(lines.size(), 3u);
  const int cut = static_cast<int>(lines[0].size());
  const int cut2 = cut + static_cast<int>(lines[1].size());
  const int right = PosX(memo, 0) + Width(memo, lines[0]);
  auto caretIs = [&](int x, int y) { return CaretAt().X == x && CaretAt().Y == y; };
  // End takes the caret past the last character, shown on the upper line;
  // Home, Shift+Home and Shift+End keep to that line.
  Press(VK_END);
  EXPECT_EQ(SelOf(memo), Sel(cut, cut));
  EXPECT_TRUE(caretIs(right, 0));
  EXPECT_EQ(SendMessageA(memo, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 0);
  Chord(VK_SHIFT, VK_HOME);
  EXPECT_EQ(SelOf(memo), Sel(0, cut));
  EXPECT_TRUE(caretIs(PosX(memo, 0), 0));
  Chord(VK_SHIFT, VK_END);
  EXPECT_EQ(SelOf(memo), Sel(cut, cut));
  Press(VK_HOME);
  Chord(VK_SHIFT, VK_END);
  EXPECT_EQ(SelOf(memo), Sel(0, cut));
  EXPECT_TRUE(caretIs(right, 0));
  // Down and Up keep to the ends of the lines; a click past the end lands
  // there too.
  Press(VK_DOWN);
  EXPECT_EQ(SelOf(memo), Sel(cut2, cut2));
  EXPECT_TRUE(caretIs(right, lh));
  Press(VK_UP);
  EXPECT_EQ(SelOf(memo), Sel(cut, cut));
  EXPECT_TRUE(caretIs(right, 0));
  SetSel(memo, 0, 0);
  win::test::Click(memo, {right, lh + 2});
  Pump();
  EXPECT_EQ(SelOf(memo), Sel(cut2, cut2));
  EXPECT_TRUE(caretIs(right, lh));
  // Reached any other way the same boundary starts the lower line: Home
  // there, or Right across the break.
  SetSel(memo, cut + 2, cut + 2);
  Press(VK_HOME);
  EXPECT_EQ(SelOf(memo), Sel(cut, cut));
  EXPECT_TRUE(caretIs(PosX(memo, 0), lh));
  Chord(VK_SHIFT, VK_END);
  EXPECT_EQ(SelOf(memo), Sel(cut, cut2));
  SetSel(memo, cut - 1, cut - 1);
  Press(VK_RIGHT);
  EXPECT_TRUE(caretIs(PosX(memo, 0), lh));
  // Delete at the upper line's end leaves the caret there; what is typed
  // there follows the upper line's last character.
  SetSel(memo, 0, 0);
  Press(VK_END);
  Press(VK_DELETE);
  EXPECT_EQ(SelOf(memo), Sel(cut, cut));
  EXPECT_TRUE(caretIs(right, 0));
  Type("X");
  EXPECT_EQ(TextOf(memo), word.substr(0, static_cast<std::size_t>(cut)) + "X" +
                              word.substr(static_cast<std::size_t>(cut) + 1));
  // Where the text wraps at blanks, End and a click past the end stop
  // after the line's last word, before the blanks hanging past the edge.
  SetWindowTextA(memo, ("alpha   " + word).c_str());
  ASSERT_EQ(EditLines(memo)[0], "alpha   ");
  SetSel(memo, 1, 1);
  Press(VK_END);
  EXPECT_EQ(SelOf(memo), Sel(5, 5));
  EXPECT_TRUE(caretIs(PosX(memo, 5), 0));
  SetSel(memo, 1, 1);
  win::test::PumpFor(1000);  // not a double click
  win::test::Click(memo, {right, 2});
  Pump();
  EXPECT_EQ(SelOf(memo), Sel(5, 5));
}

TEST_F(Memo, LineAndPageKeysEnterTabAndLineBreaksAsOneStep) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + (i < 29 ? "\r\n" : "");
  HWND memo = MakeMemo(ES_AUTOHSCROLL | ES_WANTRETURN, text.c_str());
  SetFocus(memo);
  const int lh = LineHeight(memo);
  RECT rc{};
  GetClientRect(memo, &rc);
  const int page = rc.Bottom / lh;
  auto line = [&] { return static_cast<int>(SendMessageA(memo, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0)); };
  auto column = [&] { return SelOf(memo).second - static_cast<int>(SendMessageA(memo, EM_LINEINDEX, static_cast<WPARAM>(-1), 0)); };
  // Down and Up keep the column; End and Home stay on the line.
  Press(VK_END);
  Press(VK_DOWN);
  EXPECT_EQ(line(), 1);
  EXPECT_EQ(column(), 6);
  Press(VK_HOME);
  EXPECT_EQ(column(), 0);
  Press(VK_UP);
  Press(VK_UP);  // nothing above the first line
  EXPECT_EQ(line(), 0);
  // Page Down moves the caret and the view a page; Ctrl+End goes to the
  // end, the view following so the last line is at the bottom.
  Press(VK_NEXT);
  EXPECT_EQ(line(), page);
  EXPECT_EQ(controls::test::EditFirstVisible(memo), page);
  Press(VK_PRIOR);
  EXPECT_EQ(line(), 0);
  EXPECT_EQ(controls::test::EditFirstVisible(memo), 0);
  Chord(VK_CONTROL, VK_END);
  EXPECT_EQ(SelOf(memo), Sel(static_cast<int>(text.size()), static_cast<int>(text.size())));
  EXPECT_EQ(controls::test::EditFirstVisible(memo), 30 - page);
  EXPECT_EQ(CaretAt().Y, (page - 1) * lh);
  Chord(VK_SHIFT, VK_UP);  // Shift keeps the anchor
  EXPECT_EQ(SelOf(memo).second, static_cast<int>(text.size()));
  EXPECT_EQ(line(), 28);
  Chord(VK_CONTROL, VK_HOME);
  EXPECT_EQ(SelOf(memo), Sel(0, 0));
  EXPECT_EQ(controls::test::EditFirstVisible(memo), 0);
  EXPECT_TRUE(TakeHostLog().empty());  // the view followed the caret: no scroll notification
  // Enter breaks the line with CR LF; Right, Left, Backspace and Delete
  // take a line break as one step.
  SetWindowTextA(memo, "ab");
  SetSel(memo, 1, 1);
  Press(VK_RETURN);
  EXPECT_EQ(TextOf(memo), "a\r\nb");
  EXPECT_EQ(SelOf(memo), Sel(3, 3));
  Press(VK_LEFT);
  EXPECT_EQ(SelOf(memo), Sel(1, 1));
  Press(VK_RIGHT);
  EXPECT_EQ(SelOf(memo), Sel(3, 3));
  Press(VK_BACK);
  EXPECT_EQ(TextOf(memo), "ab");
  Press(VK_RETURN);
  Press(VK_LEFT);
  Press(VK_DELETE);
  EXPECT_EQ(TextOf(memo), "ab");
  Press(VK_TAB);
  EXPECT_EQ(TextOf(memo), "a\tb");
  // A tab reaches the next stop, the same one from different starts.
  HWND tabs = MakeMemo(ES_AUTOHSCROLL, "a\tb\r\nabc\tb", {10, 120, 210, 180});
  EXPECT_EQ(PosX(tabs, 2), PosX(tabs, 9));
  EXPECT_GT(PosX(tabs, 2), PosX(tabs, 1) + Width(tabs, "abc"));
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(TextOf(memo), "ab");
  // Want-returns asks the dialog for every key; without it, as a single line.
  const UINT base = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
  EXPECT_EQ(SendMessageA(memo, WM_GETDLGCODE, 0, 0), static_cast<LRESULT>(base | DLGC_WANTALLKEYS));
  HWND plain = MakeMemo(0, "");
  EXPECT_EQ(SendMessageA(plain, WM_GETDLGCODE, 0, 0), static_cast<LRESULT>(base));
  // A single-line edit still refuses Enter.
  HWND single = MakeEdit(ES_AUTOHSCROLL, "x", {10, 150, 110, 170}, 9);
  SetFocus(single);
  Press(VK_RETURN);
  EXPECT_EQ(TextOf(single), "x");
}

TEST_F(Memo, ScrollsBothWaysByBarsMessagesAndWheelTellingTheParent) {
  std::string text;
  for (int i = 0; i < 20; ++i) text += std::string(i == 7 ? 60 : 3, static_cast<char>('a' + i)) + "\r\n";
  text += "end";
  HWND memo = MakeMemo(ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL, text.c_str());
  const int lh = LineHeight(memo);
  RECT rc{};
  GetClientRect(memo, &rc);
  const int page = rc.Bottom / lh;
  EXPECT_EQ(rc.Right, 200 - GetSystemMetrics(SM_CXVSCROLL));  // both bars show
  auto vbar = [&] {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(memo, SB_VERT, &si);
    return std::vector<int>{si.nMin, si.nMax, static_cast<int>(si.nPage), si.nPos};
  };
  EXPECT_EQ(vbar(), (std::vector<int>{0, 20, page, 0}));
  TakeHostLog();
  SendMessageA(memo, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(controls::test::EditFirstVisible(memo), 1);
  SendMessageA(memo, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(controls::test::EditFirstVisible(memo), 1 + page);
  SendMessageA(memo, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 3), 0);
  EXPECT_EQ(controls::test::EditFirstVisible(memo), 3);
  SendMessageA(memo, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(controls::test::EditFirstVisible(memo), 21 - page);  // never past the last line
  SendMessageA(memo, WM_VSCROLL, SB_LINEDOWN, 0);  // nothing moves: no word to the parent
  EXPECT_EQ(vbar()[3], 21 - page);
  EXPECT_EQ(PosY(memo, 0), -(21 - page) * lh);
  EXPECT_EQ(TakeHostLog(), (Lines{"EN_VSCROLL 7", "EN_VSCROLL 7", "EN_VSCROLL 7", "EN_VSCROLL 7"}));
  // EM_SCROLL answers how many lines went by; EM_LINESCROLL moves by
  // lines and characters; the wheel three lines a notch.
  const LRESULT r = SendMessageA(memo, EM_SCROLL, SB_LINEUP, 0);
  EXPECT_EQ(static_cast<short>(LOWORD(static_cast<DWORD_PTR>(r))), -1);
  EXPECT_EQ(HIWORD(static_cast<DWORD_PTR>(r)), TRUE);
  EXPECT_EQ(SendMessageA(memo, EM_SCROLL, SB_TOP, 0), FALSE);
  EXPECT_EQ(SendMessageA(memo, EM_LINESCROLL, 0, -100), TRUE);
  EXPECT_EQ(controls::test::EditFirstVisible(memo), 0);
  // Counts of any size go as far as the text goes, from any line.
  SendMessageA(memo, EM_LINESCROLL, 0, 1);
  EXPECT_EQ(SendMessageA(memo, EM_LINESCROLL, 0, INT_MAX), TRUE);
  EXPECT_EQ(controls::test::EditFirstVisible(memo), 21 - page);
  EXPECT_EQ(SendMessageA(memo, EM_LINESCROLL, 0, INT_MIN), TRUE);
  EXPECT_EQ(controls::test::EditFirstVisible(memo), 0);
  SendMessageA(memo, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(controls::test::EditFirstVisible(memo), 3);
  // The bar's own arrow, clicked: one line down.
  TakeHostLog();
  win::test::Click(memo, {rc.Right + 8, rc.Bottom - 8});
  Pump();
  EXPECT_EQ(controls::test::EditFirstVisible(memo), 4);
  EXPECT_EQ(TakeHostLog(), (Lines{"EN_VSCROLL 7"}));
  // Sideways: the long line scrolls, the parent hears EN_HSCROLL, and the
  // view stops where the end of the widest line shows.
  const int x0 = PosX(memo, 0);
  SendMessageA(memo, WM_HSCROLL, SB_LINERIGHT, 0);
  const int step = x0 - PosX(memo, 0);
  EXPECT_GT(step, 0);
  SendMessageA(memo, WM_HSCROLL, SB_RIGHT, 0);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(memo, SB_HORZ, &si);
  EXPECT_EQ(si.nPos, x0 - PosX(memo, 0));
  EXPECT_EQ(si.nPos + static_cast<int>(si.nPage), si.nMax + 1);
  SendMessageA(memo, WM_HSCROLL, SB_LEFT, 0);
  EXPECT_EQ(PosX(memo, 0), x0);
  EXPECT_EQ(TakeHostLog(), (Lines{"EN_HSCROLL 7", "EN_HSCROLL 7", "EN_HSCROLL 7"}));
  // Sideways by characters, as many as an int holds, from any column.
  SendMessageA(memo, EM_LINESCROLL, 1, 0);
  SendMessageA(memo, EM_LINESCROLL, static_cast<WPARAM>(INT_MAX), 0);
  EXPECT_EQ(x0 - PosX(memo, 0), si.nPos);
  SendMessageA(memo, EM_LINESCROLL, static_cast<WPARAM>(INT_MIN), 0);
  EXPECT_EQ(PosX(memo, 0), x0);
  EXPECT_EQ(TakeHostLog(), (Lines{"EN_HSCROLL 7", "EN_HSCROLL 7", "EN_HSCROLL 7"}));
  // The range follows the widest line as lines change: the long line cut
  // short gives its width back, a longer one put at the end takes more,
  // each time as a memo made afresh with the same text has it.
  auto range = [](HWND m) {
    SCROLLINFO r;
    r.fMask = SIF_RANGE;
    GetScrollInfo(m, SB_HORZ, &r);
    return r.nMax;
  };
  auto afresh = [&] {
    HWND again = MakeMemo(ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL, TextOf(memo).c_str(), {10, 120, 210, 220});
    const int r = range(again);
    DestroyWindow(again);
    return r;
  };
  const int wide = range(memo);
  const auto at7 = static_cast<int>(SendMessageA(memo, EM_LINEINDEX, 7, 0));
  SetSel(memo, at7 + 3, at7 + 60);
  SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
  EXPECT_LT(range(memo), wide);
  EXPECT_EQ(range(memo), afresh());
  const int end = static_cast<int>(TextOf(memo).size());
  SetSel(memo, end, end);
  SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(("\r\n" + std::string(80, 'w')).c_str()));
  EXPECT_GT(range(memo), wide);
  EXPECT_EQ(range(memo), afresh());
  TakeHostLog();
  // A wrapping memo has nothing to scroll sideways.
  HWND wrapping = MakeMemo(WS_VSCROLL, text.c_str(), {10, 120, 210, 180});
  const int before = PosX(wrapping, 0);
  SendMessageA(wrapping, WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(PosX(wrapping, 0), before);
  EXPECT_TRUE(TakeHostLog().empty());
}

// A scroll message carries 16 bits of the thumb's position: a log of
// 40,000 lines, or a line wider than 32,767 pixels, is dragged through by
// the bar's own position, to its end and no further.
TEST_F(Memo, ThumbsDraggedPastSixteenBitsReachTheEndOfALongText) {
  std::string text;
  for (int i = 0; i < 40000; ++i) text += "x\r\n";
  text += std::string(6000, 'w');
  HWND memo = MakeMemo(ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL, text.c_str());
  RECT wr{};
  GetWindowRect(memo, &wr);
  const int arrow = GetSystemMetrics(SM_CYVSCROLL);
  auto bar = [&](int which) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(memo, which, &si);
    return si;
  };
  ASSERT_GT(bar(SB_HORZ).nMax, 0xFFFF);  // the widest line takes more than 16 bits of pixels
  auto drag = [](POINT from, POINT to) {
    win::test::MouseMove(from);
    win::test::MouseDown();
    win::test::MouseMove({(from.X + to.X) / 2, (from.Y + to.Y) / 2});
    win::test::MouseMove(to);
    win::test::MouseUp();
    Pump();
  };
  // Down the right edge, from the top of the vertical bar to its bottom.
  const int vx = wr.Right - arrow / 2;
  drag({vx, wr.Top + arrow + 2}, {vx, wr.Bottom - 2 * arrow - 2});
  const SCROLLINFO v = bar(SB_VERT);
  EXPECT_EQ(controls::test::EditFirstVisible(memo), v.nMax + 1 - static_cast<int>(v.nPage));
  EXPECT_GT(v.nPos, 0x7FFF);
  // Along the bottom, from the left of the horizontal bar to its right.
  const int hy = wr.Bottom - arrow / 2;
  drag({wr.Left + arrow + 2, hy}, {wr.Right - 2 * arrow - 2, hy});
  const SCROLLINFO h = bar(SB_HORZ);
  EXPECT_EQ(h.nPos, h.nMax + 1 - static_cast<int>(h.nPage));
  RECT rc{};
  GetClientRect(memo, &rc);
  const int last = PosX(memo, static_cast<int>(text.size()) - 1);  // the end of the long line shows
  EXPECT_GE(last, 0);
  EXPECT_LE(last + Width(memo, "w"), rc.Right);
  // A program's own thumb message still means the 16 bits it sends.
  SendMessageA(memo, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), 0);
  EXPECT_EQ(controls::test::EditFirstVisible(memo), 3);
}

TEST_F(Memo, RedrawOffHoldsItsPaintingButNeverShowsOrHidesIt) {
  HWND memo = MakeMemo(WS_VSCROLL, "one");
  Pump();
  // Off: the memo stays visible and takes changes without invalidating.
  SendMessageA(memo, WM_SETREDRAW, FALSE, 0);
  EXPECT_TRUE(IsWindowVisible(memo));
  SetWindowTextA(memo, "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12");
  EXPECT_FALSE(GetUpdateRect(memo, nullptr, FALSE));
  SCROLLINFO si{sizeof si, SIF_RANGE};
  ASSERT_TRUE(GetScrollInfo(memo, SB_VERT, &si));
  EXPECT_EQ(si.nMax, 11) << "the bar follows, undrawn";
  // On: text and bars are drawn again.
  SendMessageA(memo, WM_SETREDRAW, TRUE, 0);
  EXPECT_TRUE(GetUpdateRect(memo, nullptr, FALSE));
  Pump();
  // A hidden memo updated in a bracket stays hidden.
  ShowWindow(memo, SW_HIDE);
  SendMessageA(memo, WM_SETREDRAW, FALSE, 0);
  SendMessageA(memo, WM_SETREDRAW, TRUE, 0);
  EXPECT_FALSE(IsWindowVisible(memo));
}

// A log puts its caret at the end before and after each line: a selection
// set to what it is draws nothing, unless bringing the caret into view
// moves the view.
TEST_F(Memo, ASelectionSetToWhatItIsOnlyBringsTheCaretIntoView) {
  HWND memo = MakeMemo(WS_VSCROLL, "");
  std::string text;
  for (int i = 0; i < 40; ++i) text += "line " + std::to_string(i) + "\r\n";
  SetWindowTextA(memo, text.c_str());
  const auto end = static_cast<WPARAM>(text.size());
  SendMessageA(memo, EM_SETSEL, end, static_cast<LPARAM>(end));
  const LRESULT bottom = SendMessageA(memo, EM_GETFIRSTVISIBLELINE, 0, 0);
  EXPECT_GT(bottom, 0);
  Pump();
  SendMessageA(memo, EM_SETSEL, end, static_cast<LPARAM>(end));
  SendMessageA(memo, EM_SCROLLCARET, 0, 0);
  EXPECT_FALSE(GetUpdateRect(memo, nullptr, FALSE));
  // Scrolled away, the same selection brings the caret back, drawn.
  SendMessageA(memo, EM_LINESCROLL, 0, -100);
  EXPECT_EQ(SendMessageA(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  Pump();
  SendMessageA(memo, EM_SETSEL, end, static_cast<LPARAM>(end));
  EXPECT_EQ(SendMessageA(memo, EM_GETFIRSTVISIBLELINE, 0, 0), bottom);
  EXPECT_TRUE(GetUpdateRect(memo, nullptr, FALSE));
  SCROLLINFO si{sizeof si, SIF_POS};
  ASSERT_TRUE(GetScrollInfo(memo, SB_VERT, &si));
  EXPECT_EQ(si.nPos, bottom) << "the bar follows";
  Pump();
  SendMessageA(memo, EM_LINESCROLL, 0, -100);
  Pump();
  SendMessageA(memo, EM_SCROLLCARET, 0, 0);
  EXPECT_EQ(SendMessageA(memo, EM_GETFIRSTVISIBLELINE, 0, 0), bottom);
  EXPECT_TRUE(GetUpdateRect(memo, nullptr, FALSE));
}

TEST_F(Memo, MouseSelectsAcrossLinesScrollsPastTheBottomAndPicksWords) {
  std::string text;
  for (int i = 0; i < 20; ++i) text += "row " + std::to_string(i) + " text\r\n";
  HWND memo = MakeMemo(ES_AUTOHSCROLL, text.c_str(), {10, 10, 210, 70});
  const int lh = LineHeight(memo);
  RECT rc{};
  GetClientRect(memo, &rc);
  const int page = rc.Bottom / lh;
  auto lineStart = [&](int n) { return static_cast<int>(SendMessageA(memo, EM_LINEINDEX, static_cast<WPARAM>(n), 0)); };
  // Press on line 0, drag onto line 1: the selection follows the pointer.
  win::test::MouseMove(memo, {PosX(memo, 4), 2});
  win::test::MouseDown();
  win::test::MouseMove(memo, {PosX(memo, lineStart(1) + 3), lh + 2});
  Pump();
  EXPECT_EQ(SelOf(memo), Sel(4, lineStart(1) + 3));
  // Below the area the view moves a line a tick, the caret with it.
  win::test::MouseMove(memo, {PosX(memo, 0), rc.Bottom + 20});
  Pump();
  EXPECT_EQ(SendMessageA(memo, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), page - 1);
  win::test::PumpFor(300);
  EXPECT_EQ(SendMessageA(memo, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), page + 2);
  EXPECT_EQ(controls::test::EditFirstVisible(memo), 3);
  win::test::MouseUp();
  Pump();
  win::test::PumpFor(500);
  EXPECT_EQ(controls::test::EditFirstVisible(memo), 3);  // released: no more scrolling
  EXPECT_EQ(SelOf(memo).first, 4);
  // A double click on a line selects the word under the pointer there.
  const int word = lineStart(4) + 4;  // "4" of "row 4 text"
  win::test::PumpFor(1000);
  win::test::Click(memo, {PosX(memo, word) + 1, PosY(memo, word) + 2});
  win::test::Click(memo, {PosX(memo, word) + 1, PosY(memo, word) + 2});
  Pump();
  EXPECT_EQ(SelOf(memo), Sel(word, word + 2));
}

TEST_F(Memo, ADoubleClickKeepsToTheLineItIsMadeOn) {
  //                                 0123456 7 8901234567 8 9 0 1234567
  HWND memo = MakeMemo(ES_AUTOHSCROLL, "one two\r\nthree   \r\n\r\n  four", {10, 10, 210, 110});
  const int lh = LineHeight(memo);
  auto doubleClick = [&](POINT at) {
    win::test::PumpFor(1000);  // apart from the last pair
    win::test::Click(memo, at);
    win::test::Click(memo, at);
    Pump();
  };
  auto onChar = [&](int i) { return POINT{PosX(memo, i) + 1, PosY(memo, i) + 2}; };
  // The last word of a line, and the blanks ending one, stop at its break;
  // blanks starting a line stop at the break before them.
  doubleClick(onChar(5));
  EXPECT_EQ(SelOf(memo), Sel(4, 7));
  doubleClick(onChar(15));
  EXPECT_EQ(SelOf(memo), Sel(14, 17));
  doubleClick(onChar(21));
  EXPECT_EQ(SelOf(memo), Sel(21, 23));
  doubleClick(onChar(24));
  EXPECT_EQ(SelOf(memo), Sel(23, 27));
  // Past a line's end the last word; an empty line has none.
  doubleClick({190, 2});
  EXPECT_EQ(SelOf(memo), Sel(4, 7));
  doubleClick({50, 2 * lh + 2});
  EXPECT_EQ(SelOf(memo), Sel(19, 19));
  // Typing over a word picked so keeps the lines apart.
  doubleClick(onChar(5));
  Type("2");
  EXPECT_EQ(TextOf(memo), "one 2\r\nthree   \r\n\r\n  four");
}

}  // namespace
