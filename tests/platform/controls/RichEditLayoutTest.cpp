// How a rich edit lays its content out, told in pixels: paragraphs drawn
// left, centred and right, indents and bullets, the selection bar, its
// own background, scroll bars that hide, and pages formatted onto another
// device context, measured and rendered.
#include "ListButtonTestUtil.h"
#include "RichTestUtil.h"

#include "platform/gdi/Bitmaps.h"
#include "platform/win/ScrollBars.h"

using namespace rich_test;

namespace {

// The leftmost and rightmost dark pixel in rows [top, bottom) of a DC.
struct Ink {
  int left = -1, right = -1;
  bool Any() const { return left >= 0; }
};

Ink InkIn(HDC dc, int width, int top, int bottom) {
  Ink ink;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < width; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128) {
        if (ink.left < 0 || x < ink.left) ink.left = x;
        ink.right = std::max(ink.right, x);
      }
    }
  return ink;
}

Ink WindowInk(HWND h, int top, int bottom) {
  UpdateWindow(h);
  RECT rc{};
  GetClientRect(h, &rc);
  HDC dc = GetDC(h);
  const Ink ink = InkIn(dc, rc.Right, top, bottom);
  ReleaseDC(h, dc);
  return ink;
}

// The client area as a PNG, for a person to look at, once it is painted.
void Snapshot(HWND h, const std::string& path) {
  UpdateWindow(h);
  lb_test::Snapshot(h, path);
}

void Align(HWND rich, int at, WORD alignment) {
  SetSel(rich, at, at);
  PARAFORMAT pf = Para(PFM_ALIGNMENT);
  pf.wAlignment = alignment;
  SetPara(rich, pf);
}

TEST_F(RichStage, ParagraphsAreDrawnLeftCentredAndRight) {
  HWND rich = MakeRich("mmm\r\nmmm\r\nmmm", 0, {10, 10, 250, 110});
  Align(rich, 5, PFA_CENTER);
  Align(rich, 10, PFA_RIGHT);
  const int lh = PosY(rich, 5);
  ASSERT_GT(lh, 0);
  const Ink left = WindowInk(rich, 0, lh);
  const Ink centre = WindowInk(rich, lh, 2 * lh);
  const Ink right = WindowInk(rich, 2 * lh, 3 * lh);
  ASSERT_TRUE(left.Any() && centre.Any() && right.Any());
  const int width = left.right - left.left;
  EXPECT_LE(left.left, 2);
  EXPECT_NEAR(centre.left + centre.right, 240 - 1, 4);  // the middle of the line is the middle of the area
  EXPECT_GE(right.right, 240 - 3);
  EXPECT_NEAR(right.right - right.left, width, 1);
  // The characters say the same as the pixels.
  EXPECT_EQ(PosX(rich, 0), 0);
  const int w = PosX(rich, 3) - PosX(rich, 0);
  EXPECT_EQ(PosX(rich, 5), (240 - w) / 2);
  EXPECT_EQ(PosX(rich, 10), 240 - w);

  // Indents in twips: 1,440 is an inch, 96 pixels; the other lines of a
  // wrapped paragraph start at the offset, and a bullet hangs in front.
  SetWindowTextA(rich, "one two three four five six seven eight nine ten eleven twelve");
  SetSel(rich, 0, 0);
  PARAFORMAT indent = Para(PFM_STARTINDENT | PFM_OFFSET | PFM_RIGHTINDENT);
  indent.dxStartIndent = 1440;
  indent.dxOffset = -720;
  indent.dxRightIndent = 720;
  SetPara(rich, indent);
  EXPECT_EQ(PosX(rich, 0), 96);
  const auto second = static_cast<int>(SendMessageA(rich, EM_LINEINDEX, 1, 0));
  ASSERT_GT(second, 0);
  EXPECT_EQ(PosX(rich, second), 48);
  const Ink firstLine = WindowInk(rich, 0, lh);
  EXPECT_GE(firstLine.left, 96);
  EXPECT_LE(firstLine.right, 240 - 48);
  PARAFORMAT bullet = Para(PFM_NUMBERING);
  bullet.wNumbering = PFN_BULLET;
  SetPara(rich, bullet);
  EXPECT_GT(PosX(rich, 0), 96);
  const Ink bulleted = WindowInk(rich, 0, lh);
  EXPECT_GE(bulleted.left, 96);
  EXPECT_LT(bulleted.left, PosX(rich, 0));
}

TEST_F(RichStage, JustifiedParagraphsReachBothEdgesButTheirLastLine) {
  // 240 pixels of room; the paragraph wraps into several lines.
  const char* words =
      "one two three four five six seven eight nine ten eleven twelve thirteen fourteen fifteen sixteen seventeen";
  HWND rich = MakeRich(words, 0, {10, 10, 250, 110});
  Align(rich, 0, PFA_JUSTIFY);
  EXPECT_EQ(GetPara(rich).wAlignment, PFA_JUSTIFY);
  const auto second = static_cast<int>(SendMessageA(rich, EM_LINEINDEX, 1, 0));
  const auto last = static_cast<int>(SendMessageA(rich, EM_LINEINDEX, SendMessageA(rich, EM_GETLINECOUNT, 0, 0) - 1, 0));
  ASSERT_GT(second, 0);
  ASSERT_GT(last, second);
  const std::string text = words;
  // The first line's last word ends at the right edge (its hanging blank
  // starts there), and its blanks share the room: they differ by a pixel
  // at most.
  EXPECT_EQ(PosX(rich, 0), 0);
  EXPECT_EQ(PosX(rich, second - 1), 240);
  std::vector<int> gaps;
  for (int i = 0; i < second - 1; ++i)
    if (text[static_cast<std::size_t>(i)] == ' ') gaps.push_back(PosX(rich, i + 1) - PosX(rich, i));
  ASSERT_GE(gaps.size(), 2u);
  EXPECT_LE(*std::max_element(gaps.begin(), gaps.end()) - *std::min_element(gaps.begin(), gaps.end()), 1);
  EXPECT_GT(gaps.front(), Width(rich, " ")) << "the blanks grew";
  // The pixels agree, and a click finds the stretched words.
  const int lh = PosY(rich, second);
  const Ink first = WindowInk(rich, 0, lh);
  EXPECT_LE(first.left, 2);
  EXPECT_GE(first.right, 240 - 3);
  const auto word = text.find("two");
  EXPECT_EQ(CharAt(rich, PosX(rich, static_cast<int>(word)) + 1), static_cast<int>(word));
  // The paragraph's last line stays at the left with plain blanks.
  const auto blank = text.find(' ', static_cast<std::size_t>(last));
  ASSERT_NE(blank, std::string::npos);
  EXPECT_EQ(PosX(rich, last), 0);
  EXPECT_EQ(PosX(rich, static_cast<int>(blank) + 1) - PosX(rich, static_cast<int>(blank)), Width(rich, " "));
  const Ink end = WindowInk(rich, PosY(rich, last), PosY(rich, last) + lh);
  EXPECT_LT(end.right, 200);
  Snapshot(rich, "RichEditJustified.png");

  // Written as \qj and read back justified.
  const std::string rtf = StreamOut(rich, SF_RTF);
  EXPECT_NE(rtf.find("\\qj"), std::string::npos);
  HWND other = MakeRich("", 0, {10, 120, 250, 220});
  Feed feed{rtf};
  StreamIn(other, SF_RTF, feed);
  EXPECT_EQ(GetPara(other).wAlignment, PFA_JUSTIFY);
  EXPECT_EQ(PosX(other, second - 1), 240);
}

TEST_F(RichStage, TheSelectionBarBackgroundAndScrollBarsAreTheControlsOwn) {
  HWND rich = MakeRich("first line\r\nsecond line", ES_SELECTIONBAR | WS_VSCROLL, {10, 10, 210, 110});
  EXPECT_EQ(PosX(rich, 0), kSelectionBarWidth);
  const int lh = PosY(rich, 12);
  // A press in the bar selects the line beside it.
  win::test::MouseMove(rich, {2, lh + 2});
  win::test::MouseDown();
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(SelOf(rich), (std::pair<int, int>(12, 23)));

  // Its own background, instead of what the parent would choose.
  EXPECT_EQ(SendMessageA(rich, EM_SETBKGNDCOLOR, 0, RGB(0, 128, 255)), static_cast<LRESULT>(GetSysColor(COLOR_WINDOW)));
  UpdateWindow(rich);
  HDC dc = GetDC(rich);
  EXPECT_EQ(GetPixel(dc, 150, 3 * lh), RGB(0, 128, 255));
  ReleaseDC(rich, dc);
  EXPECT_EQ(SendMessageA(rich, EM_SETBKGNDCOLOR, 1, 0), static_cast<LRESULT>(RGB(0, 128, 255)));

  // The vertical bar hides while everything fits and comes when it does
  // not; EM_SHOWSCROLLBAR hides it outright.
  auto barShown = [&] { return (GetWindowLongPtrA(rich, GWL_STYLE) & WS_VSCROLL) != 0; };
  EXPECT_FALSE(barShown());
  SetWindowTextA(rich, "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10");
  EXPECT_TRUE(barShown());
  SendMessageA(rich, EM_SHOWSCROLLBAR, SB_VERT, FALSE);
  EXPECT_FALSE(barShown());
  SendMessageA(rich, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_FALSE(barShown());
  SendMessageA(rich, EM_SHOWSCROLLBAR, SB_VERT, TRUE);
  EXPECT_TRUE(barShown());
  // With ES_DISABLENOSCROLL it stays, disabled, while everything fits.
  HWND kept = MakeRich("short", WS_VSCROLL | ES_DISABLENOSCROLL, {10, 120, 210, 220});
  EXPECT_TRUE(GetWindowLongPtrA(kept, GWL_STYLE) & WS_VSCROLL);
}

// Past the first 65,536 characters a press in the selection bar still
// selects the line beside it, with Shift from the anchor to it.
TEST_F(RichStage, TheSelectionBarSelectsTheLineBesideItDeepInALongText) {
  std::string text;
  for (int i = 0; i < 9000; ++i) text += "line " + std::to_string(10000 + i) + "\r\n";
  text += "last";
  ASSERT_GT(text.size(), 0x10000u);
  HWND rich = MakeRich(text.c_str(), ES_SELECTIONBAR | WS_VSCROLL, {10, 10, 210, 110});
  const int lastLine = static_cast<int>(SendMessageA(rich, EM_GETLINECOUNT, 0, 0)) - 1;
  SetFocus(rich);
  SetSel(rich, static_cast<int>(text.size()), static_cast<int>(text.size()));  // the view follows the caret
  const int first = static_cast<int>(SendMessageA(rich, EM_GETFIRSTVISIBLELINE, 0, 0));
  ASSERT_GT(first, 8000);
  const auto lineStart = [&](int line) { return static_cast<int>(SendMessageA(rich, EM_LINEINDEX, line, 0)); };
  const int lh = PosY(rich, lineStart(first + 1)) - PosY(rich, lineStart(first));
  auto pressAt = [&](int y, bool shift) {
    if (shift) win::test::KeyDown(VK_SHIFT);
    win::test::MouseMove(rich, {2, y});
    win::test::MouseDown();
    win::test::MouseUp();
    if (shift) win::test::KeyUp(VK_SHIFT);
    Pump();
  };
  pressAt(lh + 2, false);
  EXPECT_EQ(SelOf(rich), (std::pair<int, int>(lineStart(first + 1), lineStart(first + 2))));
  // Below the last line the last line is taken.
  pressAt(95, true);
  EXPECT_EQ(SelOf(rich), (std::pair<int, int>(lineStart(first + 1), static_cast<int>(text.size()))));
  EXPECT_EQ(lineStart(lastLine), static_cast<int>(text.size()) - 4);
}

// A line cut inside a word ends where the next starts: selected from the
// bar, it keeps the caret at its end, and Shift with End or Down goes on
// from there.
TEST_F(RichStage, TheSelectionBarLeavesTheCaretAtTheEndOfALineCutInsideAWord) {
  const std::string word(200, 'w');
  HWND rich = MakeRich(word.c_str(), ES_SELECTIONBAR);
  const auto lineStart = [&](int line) { return static_cast<int>(SendMessageA(rich, EM_LINEINDEX, line, 0)); };
  const int cut = lineStart(1), cut2 = lineStart(2), cut3 = lineStart(3);
  ASSERT_GT(cut3, cut2);
  const int right = 2 * PosX(rich, cut - 1) - PosX(rich, cut - 2);  // one 'w' past the last
  auto caretIs = [](int x, int y) {
    POINT caret{};
    GetCaretPos(&caret);
    return caret.X == x && caret.Y == y;
  };
  SetFocus(rich);
  win::test::Click(rich, {2, PosY(rich, cut) + 2});
  Pump();
  EXPECT_EQ(SelOf(rich), (std::pair<int, int>(cut, cut2)));
  EXPECT_TRUE(caretIs(right, PosY(rich, cut)));
  EXPECT_EQ(SendMessageA(rich, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 1);
  Chord(VK_SHIFT, VK_END);
  EXPECT_EQ(SelOf(rich), (std::pair<int, int>(cut, cut2)));
  Chord(VK_SHIFT, VK_DOWN);
  EXPECT_EQ(SelOf(rich), (std::pair<int, int>(cut, cut3)));
  EXPECT_TRUE(caretIs(right, PosY(rich, cut2)));
}

// A long text on pages two inches wide and one inch tall, on a memory DC.
class RichPages : public RichStage {
 protected:
  HWND rich = nullptr;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;

  void SetUp() override {
    RichStage::SetUp();
    std::string text;
    for (int i = 0; i < 40; ++i) text += "Line " + std::to_string(i) + " of the text\r\n";
    rich = MakeRich(text.c_str());
    dc = CreateCompatibleDC(nullptr);
    HDC screen = GetDC(nullptr);  // a colour bitmap, as the screen's
    bitmap = CreateCompatibleBitmap(screen, 240, 240);
    ReleaseDC(nullptr, screen);
    old = SelectObject(dc, ToObj(bitmap));
    RECT all{0, 0, 240, 240};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &all, white);
    DeleteObject(white);
  }
  void TearDown() override {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    RichStage::TearDown();
  }
  LRESULT Format(bool render, LONG from, LONG to, RECT& rc) {
    FORMATRANGE fr{dc, dc, rc, rc, {from, to}};
    const LRESULT next = SendMessageA(rich, EM_FORMATRANGE, render, reinterpret_cast<LPARAM>(&fr));
    rc = fr.rc;
    return next;
  }
};

TEST_F(RichPages, MeasuringWalksThePagesOfALongText) {
  const int len = static_cast<int>(SendMessageA(rich, WM_GETTEXTLENGTH, 0, 0));
  const int lh = PosY(rich, 21) - PosY(rich, 0);
  ASSERT_GT(lh, 0);
  const int perPage = 96 / lh;  // lines on a page an inch tall
  int from = 0, pages = 0, lines = 0;
  while (from < len) {
    RECT rc{0, 0, 2880, 1440};
    const auto next = static_cast<int>(Format(false, from, -1, rc));
    ASSERT_GT(next, from) << "page " << pages;
    // Each page ends at a line's start and says how much of it was used.
    const auto line = static_cast<int>(SendMessageA(rich, EM_LINEFROMCHAR, static_cast<WPARAM>(next), 0));
    EXPECT_TRUE(next == len || SendMessageA(rich, EM_LINEINDEX, static_cast<WPARAM>(line), 0) == next);
    EXPECT_LE(rc.Bottom, 1440);
    lines += static_cast<int>(rc.Bottom) * 96 / 1440 / lh;
    from = next;
    ++pages;
  }
  EXPECT_EQ(pages, (40 + perPage - 1) / perPage);
  EXPECT_EQ(lines, 40);
  // Measuring draws nothing.
  EXPECT_FALSE(InkIn(dc, 240, 0, 240).Any());
  // A range ends where it says; a page too small for one line takes none.
  RECT rc{0, 0, 2880, 1440};
  EXPECT_EQ(Format(false, 0, 3, rc), 3);
  RECT tiny{0, 0, 2880, 15};
  EXPECT_EQ(Format(false, 0, -1, tiny), 0);
  // The layout kept between calls follows a change of the text, and a
  // call without a range clears it.
  SetWindowTextA(rich, "short");
  rc = {0, 0, 2880, 1440};
  EXPECT_EQ(Format(false, 0, -1, rc), 5);
  EXPECT_EQ(SendMessageA(rich, EM_FORMATRANGE, FALSE, 0), 0);
}

TEST_F(RichPages, JustifiedParagraphsFillThePagesWidth) {
  SetWindowTextA(rich, "one two three four five six seven eight nine ten eleven twelve");
  PARAFORMAT pf = Para(PFM_ALIGNMENT);
  pf.wAlignment = PFA_JUSTIFY;
  SetSel(rich, 0, 0);
  SetPara(rich, pf);
  // A page an inch and a half wide (144 pixels), at the left.
  RECT rc{0, 0, 2160, 2880};
  Format(true, 0, -1, rc);
  const int lh = PosY(rich, static_cast<int>(SendMessageA(rich, EM_LINEINDEX, 1, 0)));
  ASSERT_GT(lh, 0);
  const Ink first = InkIn(dc, 240, 0, lh / 2 + 2);
  ASSERT_TRUE(first.Any());
  EXPECT_GE(first.right, 144 - 3) << "the first line reaches the page's right edge";
  EXPECT_LT(first.right, 144);
  const Ink all = InkIn(dc, 240, 0, 240);
  EXPECT_LT(all.right, 144);
}

TEST_F(RichPages, RenderingDrawsThePageWhereTheRectangleSays) {
  SetWindowTextA(rich, "Wide\r\nWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
  SetSel(rich, 0, 4);
  SetCharFormat(rich, SCF_SELECTION, CharFormat(CFM_COLOR, 0, RGB(0, 0, 160)));
  // Half an inch from the left and a quarter from the top, an inch wide.
  RECT rc{720, 360, 2160, 3240};
  const auto next = static_cast<int>(Format(true, 0, -1, rc));
  EXPECT_EQ(next, 46);
  const Ink ink = InkIn(dc, 240, 0, 240);
  ASSERT_TRUE(ink.Any());
  EXPECT_GE(ink.left, 48);
  EXPECT_LE(ink.right, 48 + 96);  // the long word was cut at the page's edge
  EXPECT_FALSE(InkIn(dc, 240, 0, 24).Any());
  // The first line is in its own colour.
  bool blue = false;
  for (int y = 24; y < 24 + 20 && !blue; ++y)
    for (int x = 48; x < 100 && !blue; ++x) blue = GetPixel(dc, x, y) == RGB(0, 0, 160);
  EXPECT_TRUE(blue);
  // rc.Bottom tells where the text ended.
  EXPECT_GT(rc.Bottom, 360);
  EXPECT_FALSE(InkIn(dc, 240, (rc.Bottom * 96 + 1439) / 1440, 240).Any());
}

}  // namespace
