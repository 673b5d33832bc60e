#include "library/editors/core/cxEditTextUtils.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Fills.h"

using namespace win;

namespace {

// A white 32-bit page on a memory DC with an 11-pixel sans font; glyph
// pixels are compared in the monochrome text mode.
struct Page {
  explicit Page(int W = 200, int H = 120, BYTE ACharSet = DEFAULT_CHARSET) : Width(W), Height(H) {
    SetTextRenderMode(TextRenderMode::Monochrome);
    Dc = CreateCompatibleDC(nullptr);
    Bmp = CreateBitmap(W, H, 1, 32, nullptr);
    OldBmp = SelectObject(Dc, Bmp);
    Font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ACharSet, 0, 0, 0, 0, "Tahoma");
    OldFont = SelectObject(Dc, Font);
    HBRUSH white = CreateSolidBrush(0xFFFFFF);
    const RECT all{0, 0, W, H};
    FillRect(Dc, &all, white);
    DeleteObject(white);
    T = cxCalcTextParams(Dc, 0).TextHeight;
  }
  ~Page() {
    SelectObject(Dc, OldFont);
    SelectObject(Dc, OldBmp);
    DeleteObject(Font);
    DeleteObject(Bmp);
    DeleteDC(Dc);
    SetTextRenderMode(TextRenderMode::Grayscale);
  }
  COLORREF At(int X, int Y) const {
    auto* bm = gdi::LookupAs<gdi::Bitmap>(Bmp);
    return gdi::PixelToColor(gdi::ReadPixel(bm->Surf, X, Y)) & 0xFFFFFF;
  }
  std::vector<COLORREF> Pixels(int ATop = 0, int ABottom = -1) const {
    std::vector<COLORREF> result;
    for (int y = ATop; y < (ABottom < 0 ? Height : ABottom); ++y)
      for (int x = 0; x < Width; ++x) result.push_back(At(x, y));
    return result;
  }
  int TextWidth(const AnsiString& S) {
    SIZE size{};
    GetTextExtentPoint32A(Dc, S.data(), int(S.size()), &size);
    return size.cx;
  }
  // The box of pixels (in the rows from ATop to ABottom) whose colour
  // passes the test; empty when none do.
  template <class Pred>
  TRect Box(Pred APred, int ATop = 0, int ABottom = -1) const {
    TRect box{Width, Height, 0, 0};
    for (int y = ATop; y < (ABottom < 0 ? Height : ABottom); ++y)
      for (int x = 0; x < Width; ++x)
        if (APred(At(x, y))) box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                                    std::max(box.Bottom, y + 1)};
    return box.Left < box.Right ? box : TRect{};
  }
  TRect Ink(int ATop = 0, int ABottom = -1) const {
    return Box([](COLORREF c) { return c != 0xFFFFFF; }, ATop, ABottom);
  }

  int Width, Height, T = 0;
  HDC Dc;
  HBITMAP Bmp, OldBmp;
  HFONT Font, OldFont;
};

constexpr Cardinal kLeftTop = cxMakeFormat(taLeft, taTop);

Integer RowCount(Page& P, const AnsiString& AText, TRect R, Cardinal AFormat, Integer AMaxLineCount = 0) {
  return cxTextOut(P.Dc, AText, R, AFormat | cxtfReturnRowCount, AMaxLineCount);
}

}  // namespace

TEST(cxTextOutRows, LineBreaksRowCountsAndWholeRows) {
  Page p;
  const TRect R{0, 0, 200, 120};
  TRect r = R;
  EXPECT_EQ(cxTextOut(p.Dc, "", r, kLeftTop | cxtfReturnRowCount), 0);
  EXPECT_EQ(cxTextOut(p.Dc, "", r, kLeftTop | cxtfCalcRect), 0);
  EXPECT_EQ(r, R);
  EXPECT_EQ(p.Ink(), TRect{});

  EXPECT_EQ(RowCount(p, "ab\r\ncd", R, kLeftTop), 2);  // CR LF ends one row, not two
  EXPECT_EQ(RowCount(p, "ab\n\rcd", R, kLeftTop), 3);
  EXPECT_EQ(RowCount(p, "ab\r\n\r\ncd", R, kLeftTop), 3);
  EXPECT_EQ(RowCount(p, "ab\r\ncd", R, kLeftTop | cxtfSingleLine), 1);

  // Two and a half rows of room: the third row is drawn cut, unless only
  // whole rows are wanted.
  Page q;
  const TRect twoAndHalf{0, 0, 200, q.T * 5 / 2};
  EXPECT_EQ(RowCount(q, "a\r\nb\r\nc", twoAndHalf, kLeftTop), 3);
  Page whole;
  r = twoAndHalf;
  EXPECT_EQ(cxTextOut(whole.Dc, "a\r\nb\r\nc", r, kLeftTop | cxtfWholeRows | cxtfReturnRowCount), 2);
  EXPECT_GT(q.Ink().Bottom, 2 * q.T);
  EXPECT_LE(whole.Ink().Bottom, 2 * whole.T);
}

TEST(cxTextOutRows, NarrowRectanglesAlwaysMoveOn) {
  Page p;
  // A character wider than the rectangle stands alone on its row, so
  // measuring ends with one row per character.
  for (int width : {1, p.TextWidth("W") - 1}) {
    TRect r{10, 10, 10 + width, 10};
    EXPECT_EQ(cxTextOut(p.Dc, "WWW", r, kLeftTop | cxtfWordBreak | cxtfCharBreak | cxtfCalcRect), 3 * p.T);
    EXPECT_EQ(r, (TRect{10, 10, 10 + p.TextWidth("W"), 10 + 3 * p.T}));
  }
  TRect pixel{5, 5, 6, 6};
  EXPECT_EQ(cxTextOut(p.Dc, "W W\tW\r\nW", pixel, kLeftTop | cxtfWordBreak | cxtfCharBreak | cxtfExpandTabs), p.T);
  const TRect ink = p.Ink();
  EXPECT_TRUE(ink == TRect{} || ink == pixel);
}

TEST(cxTextOutRows, OneLongWordStaysOnItsRowClippedAndEndsInAnEllipsis) {
  const AnsiString word = "Incomprehensibilities";
  const TRect R{4, 4, 64, 4 + 40};
  Page p, expected;
  TRect r = R;
  EXPECT_EQ(cxTextOut(p.Dc, word, r, kLeftTop | cxtfWordBreak | cxtfReturnRowCount), 1);
  EXPECT_EQ(p.Ink().Right, R.Right);

  // The word, cut to what fits beside "...", then "..." clipped at the edge.
  Page q;
  r = R;
  cxTextOut(q.Dc, word, r, kLeftTop | cxtfWordBreak | cxtfEndEllipsis);
  int fit = 0;
  GetTextExtentExPointA(expected.Dc, word.data(), int(word.size()), R.Width() - expected.TextWidth("..."), &fit,
                        nullptr, nullptr);
  SetBkMode(expected.Dc, TRANSPARENT);
  TextOutA(expected.Dc, R.Left, R.Top, word.data(), fit);
  const int x = R.Left + expected.TextWidth(word.substr(0, fit));
  ExtTextOutA(expected.Dc, x, R.Top, ETO_CLIPPED, &R, "...", 3, nullptr);
  EXPECT_EQ(q.Pixels(), expected.Pixels());
}

TEST(cxTextOutRows, RowsCutByTheLineLimitEndInAnEllipsisWhenOnlyWholeRowsAreDrawn) {
  const AnsiString text = "a\r\nb\r\nc";
  const Cardinal format = cxMakeFormat(taLeft, taCenterY) | cxtfEndEllipsis | cxtfWholeRows;
  for (Integer limit : {2, 3}) {
    Page p, expected;
    const TRect R{0, 0, 100, 3 * p.T};
    TRect r = R;
    cxTextOut(p.Dc, text, r, format, limit);
    // The rows centred; the last one shown ends in "..." when a row was left out.
    SetBkMode(expected.Dc, TRANSPARENT);
    const int top = (R.Height() - limit * p.T) / 2;
    for (int i = 0; i < limit; ++i) TextOutA(expected.Dc, 0, top + i * p.T, text.data() + 3 * i, 1);
    if (limit == 2) TextOutA(expected.Dc, expected.TextWidth("b"), top + p.T, "...", 3);
    EXPECT_EQ(p.Pixels(), expected.Pixels()) << limit;
  }
}

TEST(cxTextOutPlacing, JustifiedParagraphsKeepTheirLastRowNatural) {
  Page p, natural;
  const AnsiString text = "aa bb cc dd ee\r\nff gg hh ii jj\r\nkk";
  const TRect R{0, 0, natural.TextWidth("aa bb cc") + 4, 120};
  TcxTextParams params = cxCalcTextParams(p.Dc, cxMakeFormat(taJustifyX, taTop) | cxtfWordBreak);
  TcxTextRows rows;
  Integer count = 0;
  cxMakeTextRows(p.Dc, text, R, params, rows, count);
  ASSERT_EQ(count, 5);
  cxPlaceTextRows(p.Dc, R, params, rows, count);
  cxTextRowsOutHighlight(p.Dc, R, params, rows, count, 0, 0, 0, 0, false);
  SetBkMode(natural.Dc, TRANSPARENT);
  for (const TcxTextRow& row : rows) TextOutA(natural.Dc, row.Left, row.Top, row.Text, row.TextLength);
  // Rows that wrapped are stretched to the right edge; the last row of each
  // paragraph is drawn as it is.
  for (int i : {0, 2}) {
    ASSERT_GT(rows[i].BreakCount, 0) << i;
    EXPECT_EQ(p.Ink(rows[i].Top, rows[i].Top + p.T).Right,
              natural.Ink(rows[i].Top, rows[i].Top + p.T).Right + R.Width() - rows[i].Width);
  }
  for (int i : {1, 3, 4}) {
    EXPECT_EQ(rows[i].BreakCount, 0) << i;
    EXPECT_EQ(p.Pixels(rows[i].Top, rows[i].Top + p.T), natural.Pixels(rows[i].Top, rows[i].Top + p.T)) << i;
  }
}

TEST(cxTextOutPlacing, MeasuringWithTwoRowsAndDistributedRows) {
  Page p;
  TRect r{3, 7, 200, 7};
  EXPECT_EQ(cxTextOut(p.Dc, "one\r\ntwo three\r\nfour", r, kLeftTop | cxtfCalcRect, 2), 2 * p.T);
  EXPECT_EQ(r, (TRect{3, 7, 3 + p.TextWidth("two three"), 7 + 2 * p.T}));

  // The free height goes to the gaps, the remainder one pixel per gap from
  // the top.
  const AnsiString threeRows = "a\r\nb\r\nc";
  for (int spare : {10, 11}) {
    const TRect R{0, 0, 100, 3 * p.T + spare};
    TcxTextParams params = cxCalcTextParams(p.Dc, cxMakeFormat(taLeft, taDistributeY));
    TcxTextRows rows;
    Integer count = 0;
    cxMakeTextRows(p.Dc, threeRows, R, params, rows, count);
    ASSERT_EQ(count, 3);
    cxPlaceTextRows(p.Dc, R, params, rows, count);
    const int gap = spare / 2, extra = spare % 2;
    EXPECT_EQ(rows[0].Top, 0);
    EXPECT_EQ(rows[1].Top, p.T + gap + extra);
    EXPECT_EQ(rows[2].Top, 2 * p.T + spare);
  }
}

TEST(cxTextOutSelection, HighlightCoversTheSelectedCharactersWhereTheyAreDrawn) {
  const AnsiString text = "Hello world";
  auto highlight = [](const Page& APage) {
    return APage.Box([](COLORREF c) { return c == 0xFF0000 || c == 0x00FFFF; });
  };
  auto draw = [&](Page& APage, Integer AStart, Integer ALength) {
    TRect r{10, 5, 190, 40};
    cxTextOut(APage.Dc, text, r, kLeftTop, AStart, ALength, clBlue, clYellow);
  };
  Page p, cut, beyond, atEnd, plain;
  draw(p, 6, 5);
  EXPECT_EQ(highlight(p), (TRect{10 + p.TextWidth("Hello "), 5, 10 + p.TextWidth(text), 5 + p.T}));
  draw(cut, 6, 100);
  EXPECT_EQ(cut.Pixels(), p.Pixels());
  draw(beyond, 20, 3);
  draw(atEnd, 11, 3);
  draw(plain, 0, 0);
  EXPECT_EQ(beyond.Pixels(), plain.Pixels());
  EXPECT_EQ(atEnd.Pixels(), plain.Pixels());
  EXPECT_EQ(highlight(plain), TRect{});

  // Right-to-left text (by the font's character set) is highlighted from
  // the row's right end.
  const AnsiString arabic = "\xC7\xE1\xD3\xE1\xC7\xE3";
  Page rtl(200, 40, ARABIC_CHARSET);
  TRect r{10, 5, 190, 40};
  cxTextOut(rtl.Dc, arabic, r, kLeftTop, 0, 2, clBlue, clYellow);
  const int rowWidth = rtl.TextWidth(arabic);
  EXPECT_EQ(highlight(rtl), (TRect{10 + rowWidth - rtl.TextWidth(arabic.substr(0, 2)), 5, 10 + rowWidth, 5 + rtl.T}));
}

namespace {

// Rows made the slow way: every width asked of the drawing tier, the fit
// found by halving and bisecting, and past the fit the row measured again
// at every character. The engine must make the very same rows.
struct SlowRows {
  HDC Dc;
  const TcxTextParams& P;
  const AnsiString& Text;
  int W;

  int Extent(int AFrom, int ACount, bool ATabs) {
    TSize size;
    cxCalcTextExtents(Dc, Text.data() + AFrom, ACount, size, ATabs);
    return size.cx;
  }
  int Fit(int AFrom, int ARest) {
    const int w = std::max(W, 1);
    if (Extent(AFrom, ARest, false) > 8 * W) return 1;
    int n = ARest, tooWide = ARest + 1;
    while (n > 1 && Extent(AFrom, n, P.ExpandTabs) > w) tooWide = n, n /= 2;
    if (Extent(AFrom, n, P.ExpandTabs) > w) return 1;
    while (tooWide - n > 1) {
      const int mid = (n + tooWide) / 2;
      (Extent(AFrom, mid, P.ExpandTabs) <= w ? n : tooWide) = mid;
    }
    return n;
  }
  int Row(int AStart, bool AIsLast, TcxTextRow& ARow) {
    const int length = int(Text.size());
    const bool justified = P.AlignX == taJustifyX || P.AlignX == taDistributeX;
    const bool rowEllipsis = AIsLast && P.EndEllipsis && !P.WholeRows && !P.NoClip && !justified;
    const bool canWrap = !P.SingleLine && (P.WordBreak || justified);
    const int fit = Fit(AStart, length - AStart);
    int end = AStart, breaks = 0, lastBreak = -1, sum = 0;
    for (int i = AStart; i < length; i = end) {
      const char c = Text[i];
      if (!rowEllipsis && !P.SingleLine && (c == '\r' || c == '\n')) {
        if (P.AlignX == taJustifyX) breaks = 0;
        break;
      }
      end = i + 1;
      if (c == ' ' || c == '\t') ++breaks, lastBreak = end;
      sum += Extent(i, 1, false);
      if ((canWrap || rowEllipsis || P.SingleLine) && end - AStart >= fit &&
          (P.ExpandTabs ? Extent(AStart, end - AStart, true) : sum) > W) {
        if (rowEllipsis || P.SingleLine) break;
        if (lastBreak >= 0) {
          end = lastBreak;
          break;
        }
        if (canWrap && P.CharBreak) {
          end = std::max(i, AStart + 1);
          break;
        }
      }
    }
    int n = end - AStart;
    while (justified && n > 0 && (Text[AStart + n - 1] == ' ' || Text[AStart + n - 1] == '\t'))
      --n, breaks = std::max(breaks - 1, 0);
    int cursor = AStart + n;
    while (cursor < length && Text[cursor] == ' ') ++cursor;
    bool paragraphEnd = false;
    if (cursor < length && Text[cursor] == '\t') ++cursor;
    if (cursor < length && Text[cursor] == '\r') ++cursor, paragraphEnd = true;
    if (cursor < length && Text[cursor] == '\n') ++cursor, paragraphEnd = true;
    if (P.AlignX == taJustifyX && (paragraphEnd || cursor >= length)) breaks = 0;
    ARow = {Text.data() + AStart, n, 0, 0, breaks, 0, 0, AStart};
    cxCalcTextRowExtents(Dc, ARow, P);
    return cursor;
  }
};

}  // namespace

TEST(cxTextOutRows, WidthsSummedOnceMakeTheRowsOfTheSlowWay) {
  Page p;
  std::mt19937 random(20261207);
  const char alphabet[] = "aaaaWWiI.,   \t\t\r\n";
  for (int round = 0; round < 300; ++round) {
    AnsiString text;
    for (int n = random() % 120; n > 0; --n) text += alphabet[random() % (sizeof alphabet - 1)];
    Cardinal format = Cardinal(random() % 5) | (random() % 2 ? Cardinal(taCenterY) * 16 : 0);
    for (Cardinal option : {cxtfWordBreak, cxtfCharBreak, cxtfExpandTabs, cxtfEndEllipsis, cxtfWholeRows,
                            cxtfNoClip, cxtfSingleLine})
      if (random() % 3 == 0) format |= option;
    const int width = 1 + int(random() % 120), maxLines = int(random() % 6);
    const TRect R{0, 0, width, 1 << 20};
    TcxTextParams params = cxCalcTextParams(p.Dc, format);
    TcxTextRows rows;
    Integer count = 0;
    cxMakeTextRows(p.Dc, text, R, params, rows, count, maxLines);

    SlowRows slow{p.Dc, params, text, width};
    int cursor = 0, made = 0;
    bool stop = false;
    while (cursor < int(text.size()) && !stop) {
      ++made;
      stop = params.SingleLine || (params.AlignY != taTop && maxLines >= 1 && made == maxLines);
      TcxTextRow row;
      cursor = slow.Row(cursor, stop, row);
      ASSERT_LT(made - 1, count) << round;
      const TcxTextRow& fast = rows[made - 1];
      ASSERT_EQ(std::tie(fast.StartIndex, fast.TextLength, fast.Width, fast.BreakCount),
                std::tie(row.StartIndex, row.TextLength, row.Width, row.BreakCount))
          << "round " << round << " row " << made - 1;
    }
    EXPECT_EQ(count, made) << round;
  }
}

TEST(cxTextOutRows, CanvasFormsLayOutWithTheCanvasFont) {
  TBitmap* bitmap = New<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(100, 20);
  TcxCanvas canvas(bitmap->GetCanvas());
  canvas.GetFont()->SetName("Tahoma");
  canvas.GetFont()->SetHeight(-30);
  const AnsiString text = "Wide";
  TRect r{0, 0, 1000, 0};
  EXPECT_EQ(cxTextOut(&canvas, text, r, kLeftTop | cxtfCalcRect), canvas.GetCanvas()->TextHeight(text));
  EXPECT_EQ(r.Right, canvas.GetCanvas()->TextWidth(text));
  bitmap->Free();
}
