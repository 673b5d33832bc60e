#include <climits>
#include <cstring>

#include "TextFixture.h"

using namespace win;

class DrawTextTest : public TextFixture {
 protected:
  // The rectangle DT_CALCRECT answers for a text in a starting rectangle.
  RECT Calc(const std::string& s, UINT fmt, RECT r = {10, 10, 110, 10}) {
    DrawTextA(Dc, s.c_str(), -1, &r, fmt | DT_CALCRECT);
    return r;
  }
  int Lines(const std::string& s, UINT fmt, int width) {
    RECT r = Calc(s, fmt, {0, 0, width, 0});
    return r.Bottom / 13;
  }
};

TEST_F(DrawTextTest, CalcRectMeasuresAndDrawsNothing) {
  RECT r = Calc("Run Current Values", DT_SINGLELINE);
  EXPECT_EQ((RECT{10, 10, 106, 23}), r);
  EXPECT_EQ(TRect(), InkBox());
  // Narrow start rectangles widen, wide ones narrow; lines stack.
  r = Calc("ab\r\nlonger line\nc", 0, {0, 0, 5, 0});
  EXPECT_EQ(TextWidth("longer line"), r.Right);
  EXPECT_EQ(3 * 13, r.Bottom);
  // The answer is the height.
  RECT q{0, 0, 100, 0};
  EXPECT_EQ(26, DrawTextA(Dc, "a\nb", -1, &q, DT_CALCRECT));
}

TEST_F(DrawTextTest, EmptyTextsMeasureNoWidthAndOneLineOnlyAsOneLine) {
  // An empty text measures as nothing at the rectangle's corner, and
  // answers a line's height all the same.
  RECT r{10, 20, 110, 90};
  EXPECT_EQ(13, DrawTextA(Dc, "", -1, &r, DT_CALCRECT));
  EXPECT_EQ((RECT{10, 20, 10, 20}), r);
  r = {10, 20, 110, 90};
  EXPECT_EQ(13, DrawTextA(Dc, "", -1, &r, DT_CALCRECT | DT_WORDBREAK));
  EXPECT_EQ((RECT{10, 20, 10, 20}), r);
  // As one line it is that line: the rectangle is as high as the answer.
  r = {10, 20, 110, 90};
  EXPECT_EQ(13, DrawTextA(Dc, "", -1, &r, DT_CALCRECT | DT_SINGLELINE));
  EXPECT_EQ((RECT{10, 20, 10, 33}), r);
  // No text at all measures the same, without complaint.
  r = {10, 20, 110, 90};
  EXPECT_EQ(13, DrawTextA(Dc, nullptr, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER));
  EXPECT_EQ((RECT{10, 20, 10, 33}), r);
  // A count of 0 does nothing at all, with or without a text: the
  // rectangle stays, the answer is 0.
  for (const char* text : {"text", static_cast<const char*>(nullptr)}) {
    r = {10, 20, 110, 90};
    EXPECT_EQ(0, DrawTextA(Dc, text, 0, &r, DT_CALCRECT | DT_SINGLELINE));
    EXPECT_EQ((RECT{10, 20, 110, 90}), r);
  }
  // Drawn, an empty text paints nothing, leaves the rectangle and still
  // answers the height.
  r = {0, 0, 50, 20};
  EXPECT_EQ(13, DrawTextA(Dc, "", -1, &r, DT_LEFT | DT_SINGLELINE));
  EXPECT_EQ((RECT{0, 0, 50, 20}), r);
  EXPECT_EQ(TRect(), InkBox());
  EXPECT_EQ(0, DrawTextA(Dc, "x", -2, &r, DT_LEFT)) << "a count below -1 is refused";
}

TEST_F(DrawTextTest, CalculatedRectanglesAreAsHighAsTheAnswer) {
  TEXTMETRICA tm{};
  GetTextMetricsA(Dc, &tm);
  struct Case {
    const char* Text;
    UINT Format;
    int Width;
  };
  const Case cases[] = {
      {"", DT_SINGLELINE | DT_VCENTER, 100},
      {"", DT_SINGLELINE | DT_WORDBREAK, 0},
      {"centred\r\nand low", DT_SINGLELINE | DT_VCENTER | DT_CENTER, 100},
      {"alpha beta gamma", DT_WORDBREAK, 40},
      {"a\tb\tc\r\nd", DT_EXPANDTABS | DT_WORDBREAK, 30},
      {"last line\n", DT_BOTTOM | DT_WORDBREAK, 100},
  };
  for (const Case& c : cases) {
    RECT r{5, 7, 5 + c.Width, 200};
    const int h = DrawTextA(Dc, c.Text, -1, &r, c.Format | DT_CALCRECT);
    EXPECT_EQ(h, r.Bottom - r.Top) << c.Text;
    EXPECT_EQ(7, r.Top) << c.Text;
    EXPECT_EQ(0, h % tm.tmHeight) << c.Text;
    EXPECT_GT(h, 0) << c.Text;
  }
}

TEST_F(DrawTextTest, WordBreaksAtBlanksAndBreaksLongWordsOnlyInEditControlMode) {
  const int w = TextWidth("alpha beta");
  EXPECT_EQ(1, Lines("alpha beta", DT_WORDBREAK, w));
  EXPECT_EQ(2, Lines("alpha beta", DT_WORDBREAK, w - 1));
  EXPECT_EQ(3, Lines("alpha beta gamma", DT_WORDBREAK, TextWidth("gamma")));
  // Blanks at a break do not count towards either line.
  RECT r = Calc("alpha     beta", DT_WORDBREAK, {0, 0, TextWidth("alpha "), 0});
  EXPECT_EQ(TextWidth("alpha"), r.Right);
  EXPECT_EQ(26, r.Bottom);

  // A word wider than the line stays whole: the rectangle widens.
  const std::string word = "Unbreakableword";
  r = Calc(word + " x", DT_WORDBREAK, {0, 0, 40, 0});
  EXPECT_EQ(TextWidth(word), r.Right);
  EXPECT_EQ(26, r.Bottom);
  // In edit-control mode it is broken where it stops fitting.
  r = Calc(word, DT_WORDBREAK | DT_EDITCONTROL, {0, 0, 40, 0});
  EXPECT_LE(r.Right, 40);
  EXPECT_EQ(13 * ((TextWidth(word) + 39) / 40), r.Bottom - (r.Bottom % 13));
  EXPECT_GE(r.Bottom, 26);
  // Single-line mode ignores breaks and line ends.
  EXPECT_EQ(13, Calc("alpha beta\ngamma", DT_WORDBREAK | DT_SINGLELINE, {0, 0, 10, 0}).Bottom);
}

TEST_F(DrawTextTest, PrefixesUnderlineTheNextCharacter) {
  EXPECT_EQ(TextWidth("File"), Calc("&File", DT_SINGLELINE).Right - 10);
  EXPECT_EQ(TextWidth("&File"), Calc("&File", DT_SINGLELINE | DT_NOPREFIX).Right - 10);
  EXPECT_EQ(TextWidth("Save & Close"), Calc("Save && Close", DT_SINGLELINE).Right - 10);

  // The underline sits under the 'F' only: a row of the text colour as
  // wide as the glyph's advance, below the baseline.
  TEXTMETRICA tm{};
  GetTextMetricsA(Dc, &tm);
  RECT r{0, 0, 100, 20};
  DrawTextA(Dc, "&File", -1, &r, DT_SINGLELINE);
  const int fw = TextWidth("F");
  bool row = false;
  for (int y = tm.tmAscent; y < tm.tmHeight && !row; ++y)
    row = CountColor(0, {0, y, fw, y + 1}) == fw && CountColor(0, {fw, y, 100, y + 1}) == 0;
  EXPECT_TRUE(row) << "no underline row under the prefixed character";

  // Hidden prefixes draw the same text without the line.
  Clear(RGB_WHITE);
  DrawTextA(Dc, "&File", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
  TRect hidden = InkBox();
  Clear(RGB_WHITE);
  DrawTextA(Dc, "File", -1, &r, DT_SINGLELINE);
  EXPECT_EQ(InkBox(), hidden);
}

TEST_F(DrawTextTest, TabsExpandToStopsOfEightAverageCharacters) {
  TEXTMETRICA tm{};
  GetTextMetricsA(Dc, &tm);
  EXPECT_EQ(8 * tm.tmAveCharWidth + TextWidth("b"), Calc("a\tb", DT_EXPANDTABS | DT_SINGLELINE).Right - 10);
  // A tab length in the second byte (which then carries no other flags).
  RECT d{0, 0, 200, 20};
  DrawTextA(Dc, "a\tb", -1, &d, DT_EXPANDTABS | DT_TABSTOP | (4 << 8) | DT_SINGLELINE);
  EXPECT_GT(InkBox().Right, 4 * tm.tmAveCharWidth);
  EXPECT_LE(InkBox().Right, 4 * tm.tmAveCharWidth + TextWidth("b"));
  DRAWTEXTPARAMS p{sizeof p, 2, 3, 5, 0};
  char text[] = "a\tb";
  RECT r{0, 0, 100, 0};
  DrawTextExA(Dc, text, -1, &r, DT_EXPANDTABS | DT_SINGLELINE | DT_CALCRECT, &p);
  EXPECT_EQ(3 + 2 * tm.tmAveCharWidth + TextWidth("b") + 5, r.Right);
  EXPECT_EQ(3u, p.uiLengthDrawn);
}

TEST_F(DrawTextTest, EveryAlignmentPlacesTheLineInsideItsCell) {
  const std::string s = "Wide";
  const int w = TextWidth(s);
  const RECT box{20, 10, 200, 70};
  struct Case {
    UINT fmt;
    int x, y;
  } cases[] = {
      {DT_SINGLELINE, 20, 10},
      {DT_SINGLELINE | DT_CENTER, 20 + (180 - w) / 2, 10},
      {DT_SINGLELINE | DT_RIGHT, 200 - w, 10},
      {DT_SINGLELINE | DT_VCENTER, 20, (10 + 70 - 13) / 2},
      {DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, 200 - w, 70 - 13},
      {DT_SINGLELINE | DT_VCENTER | DT_CENTER, 20 + (180 - w) / 2, (10 + 70 - 13) / 2},
      {DT_BOTTOM, 20, 10},  // vertical placement needs single-line mode
  };
  for (const Case& c : cases) {
    Clear(RGB_WHITE);
    RECT r = box;
    int h = DrawTextA(Dc, s.c_str(), -1, &r, c.fmt);
    TRect ink = InkBox();
    SCOPED_TRACE(c.fmt);
    EXPECT_GE(ink.Left, c.x);
    EXPECT_LE(ink.Right, c.x + w);
    EXPECT_GE(ink.Top, c.y);
    EXPECT_LE(ink.Bottom, c.y + 13);
    EXPECT_GT(ink.Right - ink.Left, w / 2);
    EXPECT_EQ(c.y - 10 + 13, h);
  }
}

TEST_F(DrawTextTest, TextStaysInsideTheRectangleUnlessToldNotTo) {
  const std::string s = "A long caption that overflows";
  RECT r{10, 10, 60, 30};
  DrawTextA(Dc, s.c_str(), -1, &r, DT_SINGLELINE);
  TRect ink = InkBox();
  EXPECT_GE(ink.Left, 10);
  EXPECT_LE(ink.Right, 60);
  Clear(RGB_WHITE);
  DrawTextA(Dc, s.c_str(), -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(InkBox().Right, 60);

  // The DC's own clip still applies inside the rectangle.
  Clear(RGB_WHITE);
  IntersectClipRect(Dc, 0, 0, 30, 100);
  DrawTextA(Dc, s.c_str(), -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_LE(InkBox().Right, 30);
  SelectClipRgn(Dc, nullptr);
}

TEST_F(DrawTextTest, EditControlModeLeavesOutAPartlyVisibleLastLine) {
  RECT r{0, 0, 100, 20};  // one full line and 7 pixels of the next
  DrawTextA(Dc, "first\nsecond", -1, &r, 0);
  EXPECT_GT(InkBox().Bottom, 13);
  Clear(RGB_WHITE);
  DrawTextA(Dc, "first\nsecond", -1, &r, DT_EDITCONTROL);
  EXPECT_LE(InkBox().Bottom, 13);
  EXPECT_NE(TRect(), InkBox());
}

TEST_F(DrawTextTest, EllipsesShortenWhatDoesNotFit) {
  const int limit = 70;
  char text[] = "Customer accounts receivable";
  RECT r{0, 0, limit, 13};
  DrawTextExA(Dc, text, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_NOPREFIX, nullptr);
  std::string shown = text;
  ASSERT_GE(shown.size(), 4u);
  EXPECT_EQ("...", shown.substr(shown.size() - 3));
  EXPECT_EQ(0u, std::string("Customer accounts receivable").find(shown.substr(0, shown.size() - 3)));
  EXPECT_LE(TextWidth(shown), limit);
  EXPECT_GT(TextWidth(shown + "x"), limit - TextWidth("x") - 1);
  EXPECT_LE(InkBox().Right, limit);
  // A text that fits is left alone.
  char fits[] = "Short";
  DrawTextExA(Dc, fits, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  EXPECT_STREQ("Short", fits);
  // A shortened text longer than the buffer given is not written back.
  char tiny[] = "ab";
  RECT narrow{0, 0, 3, 13};
  DrawTextExA(Dc, tiny, 2, &narrow, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  EXPECT_STREQ("ab", tiny);

  // Path ellipsis keeps the drive and the file name.
  char path[] = "C:\\Projects\\Orders\\Archive\\2024\\report.txt";
  const int pathLimit = TextWidth("C:\\Pro...\\report.txt");
  RECT pr{0, 0, pathLimit, 13};
  DrawTextExA(Dc, path, -1, &pr, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_NOPREFIX, nullptr);
  std::string p = path;
  EXPECT_EQ("\\report.txt", p.substr(p.size() - 11));
  EXPECT_EQ(0u, p.find("C:\\"));
  EXPECT_NE(std::string::npos, p.find("..."));
  EXPECT_LE(TextWidth(p), pathLimit);

  // A line a million characters long is shortened as one of a hundred is.
  std::string shortLine(100, 'a'), longLine(1000000, 'a');
  DrawTextExA(Dc, shortLine.data(), -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_NOPREFIX, nullptr);
  DrawTextExA(Dc, longLine.data(), -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_NOPREFIX, nullptr);
  ASSERT_EQ("...", std::string(shortLine.c_str()).substr(std::strlen(shortLine.c_str()) - 3));
  EXPECT_STREQ(shortLine.c_str(), longLine.c_str());
  std::string longPath = "C:\\" + std::string(1000000, 'p') + "\\report.txt";
  DrawTextExA(Dc, longPath.data(), -1, &r, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_NOPREFIX, nullptr);
  EXPECT_LE(TextWidth(longPath.c_str()), limit);

  // With ellipsis, the measured rectangle is the shortened line's.
  RECT c{0, 0, limit, 0};
  DrawTextA(Dc, "Customer accounts receivable", -1, &c, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
  EXPECT_LE(c.Right, limit);
}

TEST_F(DrawTextTest, RectanglesReachingTheEndsOfTheRange) {
  // Measured from a corner near the end of the range, the answer stops at
  // the end rather than wrapping round below the corner.
  RECT far{INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX};
  DrawTextA(Dc, "abc\nd", -1, &far, DT_CALCRECT);
  EXPECT_EQ((RECT{INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX}), far);
  // A rectangle that means "no limit" centres the text on the origin.
  RECT all{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  DrawTextA(Dc, "WWWW", -1, &all, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  EXPECT_LE(InkBox().Left, 1);
  EXPECT_EQ(0, InkBox().Top);
  EXPECT_GT(InkBox().Right, TextWidth("W"));
  EXPECT_LE(InkBox().Right, TextWidth("WW") + 1);
  Clear(RGB_WHITE);
  DrawTextA(Dc, "WWWW WWWW", -1, &all, DT_WORDBREAK | DT_CENTER);
  EXPECT_EQ(TRect(), InkBox()) << "far off to the top";
}

TEST_F(DrawTextTest, ATextTallerThanAnIntReachesAnswersTheEndOfTheRange) {
  // A million lines in the largest font are taller than an int reaches:
  // measured or drawn, the height stops at the end of the range instead of
  // wrapping round to a negative one.
  UseFont("Tahoma", 100000);
  const std::string lines = "W" + std::string(1000000, '\n');
  RECT calc{0, 10, 100, 10};
  EXPECT_EQ(INT_MAX, DrawTextA(Dc, lines.data(), int(lines.size()), &calc, DT_CALCRECT));
  EXPECT_EQ(INT_MAX, calc.Bottom);
  RECT box{0, 0, Width, Height};
  EXPECT_EQ(INT_MAX, DrawTextA(Dc, lines.data(), int(lines.size()), &box, 0));
}

TEST_F(DrawTextTest, BadArgumentsAnswerZero) {
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(0, DrawTextA(Dc, "x", -1, nullptr, 0));
  EXPECT_EQ(0, DrawTextA(Dc, "x", -5, &r, 0));
  EXPECT_EQ(0, DrawTextA(Dc, nullptr, 4, &r, 0));
  EXPECT_EQ(0, DrawTextA(nullptr, "x", 1, &r, 0));
  DRAWTEXTPARAMS p{};
  char t[] = "x";
  EXPECT_EQ(0, DrawTextExA(Dc, t, -1, &r, 0, &p));  // cbSize not set
}
