#include <climits>

#include "TextFixture.h"
#include "platform/gdi/GlyphCache.h"
#include "platform/gdi/Recorder.h"
#include "platform/gdi/Regions.h"
#include "platform/gdi/TextRun.h"

using namespace win;

class TextOutTest : public TextFixture {
 protected:
  void SetUp() override {
    TextFixture::SetUp();
    GetTextMetricsA(Dc, &Tm);
  }
  // Only black and white: monochrome glyphs in black on white.
  bool OnlyBlackAndWhite() {
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x)
        if (Pixel(x, y) != 0 && Pixel(x, y) != RGB_WHITE) return false;
    return true;
  }
  TEXTMETRICA Tm{};
};

TEST_F(TextOutTest, GlyphsLandInTheTextCellForEveryAlignment) {
  SetBkMode(Dc, TRANSPARENT);
  const std::string s = "Hello";
  const int w = TextWidth(s);
  struct Case {
    UINT align;
    int left, top;
  } cases[] = {
      {TA_LEFT | TA_TOP, 50, 40},
      {TA_RIGHT | TA_TOP, 50 - w, 40},
      {TA_CENTER | TA_TOP, 50 - w / 2, 40},
      {TA_LEFT | TA_BASELINE, 50, 40 - Tm.tmAscent},
      {TA_LEFT | TA_BOTTOM, 50, 40 - Tm.tmHeight},
  };
  for (const Case& c : cases) {
    Clear(RGB_WHITE);
    SetTextAlign(Dc, c.align);
    ASSERT_TRUE(TextOutA(Dc, 50, 40, s.data(), int(s.size())));
    TRect ink = InkBox();
    SCOPED_TRACE(c.align);
    EXPECT_GE(ink.Left, c.left);
    EXPECT_LE(ink.Right, c.left + w);
    EXPECT_GE(ink.Top, c.top);
    EXPECT_LE(ink.Bottom, c.top + Tm.tmHeight);
    EXPECT_GE(ink.Bottom, c.top + Tm.tmAscent - 1);  // 'H' stands on the baseline
  }
  EXPECT_TRUE(OnlyBlackAndWhite());
}

TEST_F(TextOutTest, OpaqueModeFillsTheCellAndTransparentModeDoesNot) {
  const COLORREF bk = RGB(255, 0, 0);
  SetBkColor(Dc, bk);
  const int w = TextWidth("Cell");
  TextOutA(Dc, 10, 10, "Cell", 4);
  const TRect cell{10, 10, 10 + w, 10 + Tm.tmHeight};
  const int ink = CountColor(0, cell);
  EXPECT_GT(ink, 0);
  EXPECT_EQ(w * Tm.tmHeight, ink + CountColor(bk, cell));
  EXPECT_EQ(cell, InkBox());

  Clear(RGB_WHITE);
  SetBkMode(Dc, TRANSPARENT);
  TextOutA(Dc, 10, 10, "Cell", 4);
  EXPECT_EQ(0, CountColor(bk, {0, 0, Width, Height}));
  EXPECT_EQ(ink, CountColor(0, cell));

  // ETO_OPAQUE fills its rectangle whatever the mode.
  Clear(RGB_WHITE);
  RECT r{5, 5, 100, 40};
  ExtTextOutA(Dc, 10, 10, ETO_OPAQUE, &r, "Cell", 4, nullptr);
  EXPECT_EQ(95 * 35 - ink, CountColor(bk, {5, 5, 100, 40}));
  EXPECT_EQ((TRect{5, 5, 100, 40}), InkBox());
}

TEST_F(TextOutTest, ClippingByRectangleAndByTheDcClip) {
  SetBkMode(Dc, TRANSPARENT);
  const std::string s = "WWWWWWWWWW";
  RECT r{20, 0, 40, 30};
  ExtTextOutA(Dc, 10, 10, ETO_CLIPPED, &r, s.data(), UINT(s.size()), nullptr);
  TRect ink = InkBox();
  EXPECT_EQ(20, ink.Left);
  EXPECT_EQ(40, ink.Right);

  // Without ETO_CLIPPED the rectangle is ignored.
  Clear(RGB_WHITE);
  ExtTextOutA(Dc, 10, 10, 0, &r, s.data(), UINT(s.size()), nullptr);
  EXPECT_LT(InkBox().Left, 20);

  // A region clip with a hole: nothing drawn in the hole.
  Clear(RGB_WHITE);
  ExcludeClipRect(Dc, 30, 0, 50, 100);
  TextOutA(Dc, 10, 10, s.data(), int(s.size()));
  EXPECT_EQ(0, CountColor(0, {30, 0, 50, 100}));
  EXPECT_GT(CountColor(0, {10, 0, 30, 100}), 0);
  EXPECT_GT(CountColor(0, {50, 0, Width, 100}), 0);
  SelectClipRgn(Dc, nullptr);

  // Window origins move text like everything else.
  Clear(RGB_WHITE);
  SetWindowOrgEx(Dc, 5, 5, nullptr);
  TextOutA(Dc, 10, 10, "W", 1);
  EXPECT_GE(InkBox().Left, 5);
  EXPECT_LE(InkBox().Right, 5 + TextWidth("W"));
}

TEST_F(TextOutTest, RunsAtTheEndsOfTheRangeDrawNothingHere) {
  // Placed at either end, aligned any way, opaque or clipped: nothing
  // reaches the bitmap.
  SetViewportOrgEx(Dc, 3, 3, nullptr);
  RECT farRect{INT_MAX - 10, INT_MAX - 10, INT_MAX, INT_MAX};
  for (UINT align : {TA_LEFT | TA_TOP, TA_CENTER | TA_BASELINE, TA_RIGHT | TA_BOTTOM}) {
    SetTextAlign(Dc, align);
    TextOutA(Dc, INT_MAX - 2, INT_MAX - 2, "WWWW", 4);
    TextOutA(Dc, INT_MIN, INT_MIN, "WWWW", 4);
    ExtTextOutA(Dc, INT_MAX - 2, 0, ETO_CLIPPED | ETO_OPAQUE, &farRect, "WWW", 3, nullptr);
  }
  EXPECT_EQ(TRect(), InkBox());
  // Advances far beyond the range put the characters after the first out
  // of sight.
  SetTextAlign(Dc, TA_LEFT | TA_TOP);
  const int dx[3] = {INT_MAX, INT_MAX, INT_MAX};
  ExtTextOutA(Dc, 0, 0, 0, nullptr, "WWW", 3, dx);
  const TRect three = InkBox();
  Clear(RGB_WHITE);
  TextOutA(Dc, 0, 0, "W", 1);
  EXPECT_EQ(InkBox(), three);
}

TEST_F(TextOutTest, AdvancesJustificationAndCurrentPosition) {
  SetBkMode(Dc, TRANSPARENT);
  // Explicit advances put each character where asked.
  const int dx[] = {40, 40, 40};
  ExtTextOutA(Dc, 0, 0, 0, nullptr, "lll", 3, dx);
  for (int i = 0; i < 3; ++i) EXPECT_GT(CountColor(0, {i * 40, 0, i * 40 + 10, Tm.tmHeight}), 0) << i;
  EXPECT_EQ(0, CountColor(0, {12, 0, 38, Tm.tmHeight}));

  // Justification widens the blanks of the output and the extent alike.
  Clear(RGB_WHITE);
  const std::string s = "a b";
  const int plain = TextWidth(s);
  SetTextJustification(Dc, 20, 1);
  EXPECT_EQ(plain + 20, TextWidth(s));
  TextOutA(Dc, 0, 0, s.data(), int(s.size()));
  EXPECT_GT(InkBox().Right, plain + 15);
  SetTextJustification(Dc, 0, 0);

  // TA_UPDATECP draws at and moves the current position.
  Clear(RGB_WHITE);
  SetTextAlign(Dc, TA_UPDATECP);
  POINT start{};
  GetCurrentPositionEx(Dc, &start);
  TextOutA(Dc, 100, 100, "ab", 2);
  POINT after{};
  GetCurrentPositionEx(Dc, &after);
  EXPECT_EQ(start.X + TextWidth("ab"), after.X);
  EXPECT_LT(InkBox().Bottom, Tm.tmHeight + 1);  // drawn at the position, not at (100, 100)

  // Tabbed output answers its extent.
  SetTextAlign(Dc, TA_LEFT | TA_TOP);
  LONG ext = TabbedTextOutA(Dc, 0, 50, "a\tb", 3, 0, nullptr, 0);
  EXPECT_EQ(8 * Tm.tmAveCharWidth + TextWidth("b"), ext & 0xFFFF);
  EXPECT_EQ(Tm.tmHeight, ext >> 16);
}

TEST_F(TextOutTest, TabbedOutputPlacesTextAtItsStopsFromTheTabOrigin) {
  SetBkMode(Dc, TRANSPARENT);
  // "bb" right-aligned on 100, "c" left-aligned on 150; stops count from
  // the tab origin 10.
  const int stops[] = {-90, 140};
  LONG ext = TabbedTextOutA(Dc, 10, 0, "a\tbb\tc", 6, 2, stops, 10);
  EXPECT_EQ(150 + TextWidth("c") - 10, ext & 0xFFFF);
  const TRect bb = InkBox(RGB_WHITE, {40, 0, 140, Height});
  EXPECT_GE(bb.Left, 100 - TextWidth("bb"));
  EXPECT_LE(bb.Right, 100);
  EXPECT_GE(bb.Right, 100 - 2);
  const TRect c = InkBox(RGB_WHITE, {140, 0, Width, Height});
  EXPECT_GE(c.Left, 150);
  EXPECT_LE(c.Left, 151);
  // Nothing to draw draws nothing and answers no width but a line's height.
  Clear(RGB_WHITE);
  SetBkMode(Dc, OPAQUE);
  SetBkColor(Dc, RGB(0, 0, 255));
  EXPECT_EQ(LONG(Tm.tmHeight) << 16, TabbedTextOutA(Dc, 0, 0, "a\tb", 0, 0, nullptr, 0));
  EXPECT_EQ(TRect(), InkBox());
}

TEST_F(TextOutTest, UnderlineStrikeOutAndTheDefaultGlyph) {
  SetBkMode(Dc, TRANSPARENT);
  const int w = TextWidth("ab");
  auto fullRows = [&] {
    int rows = 0;
    for (int y = 0; y < Tm.tmHeight; ++y) rows += CountColor(0, {0, y, w, y + 1}) == w;
    return rows;
  };
  TextOutA(Dc, 0, 0, "ab", 2);
  EXPECT_EQ(0, fullRows());
  UseFont("Tahoma", -11, FW_NORMAL, true, false);
  Clear(RGB_WHITE);
  TextOutA(Dc, 0, 0, "ab", 2);
  EXPECT_EQ(1, fullRows());
  UseFont("Tahoma", -11, FW_NORMAL, true, true);
  Clear(RGB_WHITE);
  TextOutA(Dc, 0, 0, "ab", 2);
  EXPECT_EQ(2, fullRows());

  // A byte the font has no glyph for is drawn as the default glyph, not
  // skipped; the same byte always looks the same.
  UseFont("Tahoma", -11);
  Clear(RGB_WHITE);
  const char missing[] = {char(0x81)};
  TextOutA(Dc, 0, 0, missing, 1);
  TRect first = InkBox();
  EXPECT_NE(TRect(), first);
  const int inkCount = CountColor(0, {0, 0, Width, Height});
  Clear(RGB_WHITE);
  TextOutA(Dc, 0, 0, missing, 1);
  EXPECT_EQ(first, InkBox());
  EXPECT_EQ(inkCount, CountColor(0, {0, 0, Width, Height}));
  // 1252 bytes above 0x7F are their own characters: the euro sign has ink.
  Clear(RGB_WHITE);
  const char euro[] = {char(0x80)};
  TextOutA(Dc, 0, 0, euro, 1);
  EXPECT_NE(inkCount, CountColor(0, {0, 0, Width, Height}));
}

TEST_F(TextOutTest, QuarterTurnsRunUpAndDown) {
  SetBkMode(Dc, TRANSPARENT);
  const std::string s = "Rotated";
  const int w = TextWidth(s);
  UseFont("Arial", -11, FW_NORMAL, false, false, 900);
  EXPECT_EQ(w, TextWidth(s));  // measured along the baseline
  TextOutA(Dc, 50, 100, s.data(), int(s.size()));
  TRect up = InkBox();
  EXPECT_GT(up.Bottom - up.Top, up.Right - up.Left);
  EXPECT_LE(up.Bottom, 100);  // the text runs upwards from the reference
  EXPECT_GE(up.Top, 100 - w);
  EXPECT_GE(up.Left, 50);

  Clear(RGB_WHITE);
  UseFont("Arial", -11, FW_NORMAL, false, false, 2700);
  TextOutA(Dc, 50, 10, s.data(), int(s.size()));
  TRect down = InkBox();
  EXPECT_GT(down.Bottom - down.Top, down.Right - down.Left);
  EXPECT_GE(down.Top, 10);
  EXPECT_LE(down.Right, 50);
}

TEST_F(TextOutTest, AHugeFontRendersOnlyTheGlyphsInSight) {
  // At the largest size one character fills the bitmap and the rest of the
  // run lies far beyond it, straight or turned: the picture is the first
  // character's alone, and so are the bitmaps the face had to render (each
  // of the others would be megabytes).
  SetBkMode(Dc, TRANSPARENT);
  SetTextAlign(Dc, TA_LEFT | TA_BASELINE);
  const std::string run = "EABCDFGHIJKLMNOPQRSTUVWXYZ!";
  struct Case {
    int Escapement, X, Y;  // where the first character's stem is in sight
  };
  for (const Case& c : {Case{0, -100, 100}, Case{450, 0, 200}, Case{2700, 200, -100}}) {
    SCOPED_TRACE(c.Escapement);
    // Two heights past the largest size: the same glyphs in two faces.
    UseFont("Tahoma", -100000, FW_NORMAL, false, false, c.Escapement);
    Clear(RGB_WHITE);
    TextOutA(Dc, c.X, c.Y, run.data(), int(run.size()));
    const std::size_t runBytes = gdi::DcFace(*gdi::LookupDC(Dc)).Glyphs->BitmapBytes();
    const TRect runInk = InkBox();
    const int runBlack = CountColor(0, runInk);

    UseFont("Tahoma", -100001, FW_NORMAL, false, false, c.Escapement);
    Clear(RGB_WHITE);
    TextOutA(Dc, c.X, c.Y, "E", 1);
    EXPECT_NE(TRect(), InkBox());
    EXPECT_EQ(runInk, InkBox());
    EXPECT_EQ(runBlack, CountColor(0, runInk));
    EXPECT_EQ(gdi::DcFace(*gdi::LookupDC(Dc)).Glyphs->BitmapBytes(), runBytes);
  }
}

TEST_F(TextOutTest, AGlyphIsLoadedOnceWhetherMeasuredDrawnOrBoth) {
  // Its outline is read for where it can ink and then rendered from the
  // same load. Measured first, its one load gives both its box and where
  // it can ink, so drawing it takes one more, to render. Once rendered it
  // is never loaded again.
  SetBkMode(Dc, TRANSPARENT);
  for (bool measureFirst : {false, true}) {
    SCOPED_TRACE(measureFirst);
    UseFont("Tahoma", measureFirst ? -24 : -23, FW_NORMAL, false, false, 0);  // faces of their own
    gdi::GlyphCache& glyphs = *gdi::DcFace(*gdi::LookupDC(Dc)).Glyphs;
    const std::size_t before = glyphs.OutlineLoads();
    const std::size_t measured = measureFirst ? 3 : 0;
    if (measureFirst) {
      ABC widths[3];
      ASSERT_TRUE(GetCharABCWidthsA(Dc, 'a', 'c', widths));
      EXPECT_EQ(glyphs.OutlineLoads() - before, measured);
    }
    Clear(RGB_WHITE);
    TextOutA(Dc, 5, 5, "abcab", 5);
    EXPECT_EQ(glyphs.OutlineLoads() - before, measured + 3);
    EXPECT_GT(CountColor(0, InkBox()), 0);
    TextOutA(Dc, 5, 30, "cab", 3);
    EXPECT_EQ(glyphs.OutlineLoads() - before, measured + 3);
  }
}

TEST_F(TextOutTest, RecordedCallsAndBadArguments) {
  GdiStartRecording(Dc);
  TextOutA(Dc, 3, 4, "log me", 6);
  std::string log = GdiRecording(Dc);
  EXPECT_NE(std::string::npos, log.find("TextOut(3,4 \"log me\")")) << log;
  EXPECT_NE(std::string::npos, log.find("font=\"Tahoma\" -11")) << log;
  GdiStopRecording(Dc);

  EXPECT_FALSE(TextOutA(nullptr, 0, 0, "a", 1));
  EXPECT_FALSE(TextOutA(Dc, 0, 0, nullptr, 2));
  EXPECT_FALSE(TextOutA(Dc, 0, 0, "a", -1));
  EXPECT_TRUE(TextOutA(Dc, 0, 0, nullptr, 0));
  EXPECT_FALSE(ExtTextOutA(Dc, 0, 0, 0, nullptr, nullptr, 3, nullptr));
}
