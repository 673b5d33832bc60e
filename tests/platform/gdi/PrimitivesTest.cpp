// Fills, lines and shapes pixel by pixel in their corner cases.
#include "GdiTestUtil.h"

using namespace win;
using namespace gdi_test;

using Rows = std::vector<std::string>;

TEST(Fills, RightAndBottomEdgesAreOutside) {
  Canvas c(6, 6);
  HBRUSH black = reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RECT r{1, 1, 4, 3};
  FillRect(c.Dc, &r, black);
  EXPECT_EQ(c.Bounds(kBlack), (RECT{1, 1, 4, 3}));
  EXPECT_EQ(c.Count(kBlack), 6);
  // Empty and inverted rectangles draw nothing; one pixel is one pixel.
  RECT empty{5, 5, 5, 6}, inverted{4, 4, 2, 2}, one{5, 5, 6, 6};
  FillRect(c.Dc, &empty, black);
  FillRect(c.Dc, &inverted, black);
  EXPECT_EQ(c.Count(kBlack), 6);
  FillRect(c.Dc, &one, black);
  EXPECT_EQ(c.Count(kBlack), 7);
  // Off the surface is clipped, not written past the rows.
  RECT huge{-100, -100, 100, 100};
  HBRUSH red = CreateSolidBrush(kRed);
  FillRect(c.Dc, &huge, red);
  EXPECT_EQ(c.Count(kRed), 36);
  DeleteObject(red);
}

TEST(Fills, FrameInvertAndPatBlt) {
  Canvas c(6, 5);
  HBRUSH black = reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RECT r{0, 0, 5, 4};
  FrameRect(c.Dc, &r, black);
  EXPECT_EQ(c.Picture(kBlack), (Rows{"#####.", "#...#.", "#...#.", "#####.", "......"}));
  RECT line{0, 4, 6, 5};
  FrameRect(c.Dc, &line, black);
  EXPECT_EQ(c.Picture(kBlack)[4], "######") << "a one-pixel-high frame is a line";
  RECT inv{1, 1, 4, 3};
  InvertRect(c.Dc, &inv);
  EXPECT_EQ(c.At(2, 2), kBlack);
  EXPECT_EQ(c.At(1, 1), kBlack);
  InvertRect(c.Dc, &inv);
  EXPECT_EQ(c.At(2, 2), kWhite) << "inverting twice restores";

  SelectObject(c.Dc, GetStockObject(BLACK_BRUSH));
  PatBlt(c.Dc, 0, 0, 6, 5, WHITENESS);
  EXPECT_EQ(c.Count(kWhite), 30);
  PatBlt(c.Dc, 4, 3, -2, -2, PATCOPY);  // negative extents run left and up
  EXPECT_EQ(c.Bounds(kBlack), (RECT{2, 1, 4, 3}));
  PatBlt(c.Dc, 0, 0, 6, 5, PATINVERT);
  EXPECT_EQ(c.Count(kBlack), 4) << "xor with a black pattern changes nothing";
  SelectObject(c.Dc, GetStockObject(WHITE_BRUSH));
  PatBlt(c.Dc, 0, 0, 6, 5, PATINVERT);
  EXPECT_EQ(c.Count(kBlack), 26);
  PatBlt(c.Dc, 0, 0, 6, 5, DSTINVERT);
  EXPECT_EQ(c.Count(kBlack), 4);
  PatBlt(c.Dc, 0, 0, 6, 5, BLACKNESS);
  EXPECT_EQ(c.Count(kBlack), 30);
  EXPECT_FALSE(PatBlt(c.Dc, 0, 0, 1, 1, SRCCOPY)) << "a source operation has no source here";
}

TEST(Fills, PixelsAndWindowOrigins) {
  Canvas c(5, 5);
  EXPECT_EQ(SetPixel(c.Dc, 2, 3, kRed), kRed);
  EXPECT_EQ(GetPixel(c.Dc, 2, 3), kRed);
  EXPECT_EQ(GetPixel(c.Dc, 5, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.Dc, -1, 0), CLR_INVALID);
  SetWindowOrgEx(c.Dc, 10, 0, nullptr);
  SetViewportOrgEx(c.Dc, 1, 1, nullptr);
  EXPECT_EQ(GetPixel(c.Dc, 11, 2), kRed) << "logical 11,2 is device 2,3";
  RECT r{10, 0, 11, 1};
  HBRUSH blue = CreateSolidBrush(kBlue);
  FillRect(c.Dc, &r, blue);
  EXPECT_EQ(c.At(1, 1), kBlue);
  OffsetViewportOrgEx(c.Dc, 2, 0, nullptr);
  FillRect(c.Dc, &r, blue);
  EXPECT_EQ(c.At(3, 1), kBlue);
  DeleteObject(blue);
}

TEST(Fills, HatchAndPatternBrushesFollowTheBrushOrigin) {
  Canvas c(8, 8);
  // An 8x8 monochrome pattern: bit 1 in the top-left pixel only.
  std::uint8_t bits[16] = {0x80};
  HBITMAP pat = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH b = CreatePatternBrush(pat);
  DeleteObject(pat);  // the brush keeps its own copy
  SetTextColor(c.Dc, kBlack);
  SetBkColor(c.Dc, kRed);
  RECT all{0, 0, 8, 8};
  FillRect(c.Dc, &all, b);
  EXPECT_EQ(c.Count(kRed), 1) << "1 bits take the background colour";
  EXPECT_EQ(c.At(0, 0), kRed);
  SetBrushOrgEx(c.Dc, 3, 2, nullptr);
  FillRect(c.Dc, &all, b);
  EXPECT_EQ(c.At(3, 2), kRed);
  EXPECT_EQ(c.Count(kRed), 1);
  DeleteObject(b);

  HBRUSH h = CreateHatchBrush(HS_HORIZONTAL, kBlue);
  SetBkMode(c.Dc, TRANSPARENT);
  FillRect(c.Dc, &all, h);
  EXPECT_EQ(c.Count(kBlue), 8) << "one hatch line";
  EXPECT_EQ(c.Count(kRed), 1) << "a transparent background leaves the rest";
  DeleteObject(h);
}

TEST(Lines, LastPixelExcludedAndExactDiagonals) {
  Canvas c(8, 8);
  MoveToEx(c.Dc, 1, 1, nullptr);
  LineTo(c.Dc, 5, 1);
  EXPECT_EQ(c.Picture(kBlack)[1], ".####...");
  LineTo(c.Dc, 5, 5);  // continues from the end point, which it now draws
  LineTo(c.Dc, 1, 1);  // back along the diagonal
  POINT pos;
  GetCurrentPositionEx(c.Dc, &pos);
  EXPECT_EQ(pos, (POINT{1, 1}));
  EXPECT_EQ(c.Picture(kBlack), (Rows{
                                   "........",
                                   ".#####..",
                                   "..#..#..",
                                   "...#.#..",
                                   "....##..",
                                   ".....#..",
                                   "........",
                                   "........",
                               }))
      << "each segment leaves out its end point; the next one starts there";
}

TEST(Lines, ShallowSlopesStepOncePerColumn) {
  Canvas c(12, 4);
  MoveToEx(c.Dc, 0, 0, nullptr);
  LineTo(c.Dc, 10, 3);
  Rows p = c.Picture(kBlack);
  int total = 0;
  for (int x = 0; x < 12; ++x) {
    int n = 0;
    for (int y = 0; y < 4; ++y) n += p[std::size_t(y)][std::size_t(x)] == '#';
    EXPECT_EQ(n, x < 10 ? 1 : 0) << "column " << x;
    total += n;
  }
  EXPECT_EQ(total, 10);
  EXPECT_EQ(c.At(0, 0), kBlack);
  EXPECT_EQ(c.At(9, 3), kBlack) << "one step before the end point";
}

TEST(Lines, DottedPensAndBackgroundGaps) {
  Canvas c(12, 2);
  HPEN dot = CreatePen(PS_DOT, 1, kBlack);
  SelectObject(c.Dc, dot);
  SetBkColor(c.Dc, kRed);
  MoveToEx(c.Dc, 0, 0, nullptr);
  LineTo(c.Dc, 12, 0);
  EXPECT_EQ(c.Picture(kBlack)[0], "###...###...");
  EXPECT_EQ(c.Picture(kRed)[0], "...###...###") << "opaque gaps in the background colour";
  SetBkMode(c.Dc, TRANSPARENT);
  MoveToEx(c.Dc, 0, 1, nullptr);
  LineTo(c.Dc, 12, 1);
  EXPECT_EQ(c.Picture(kWhite)[1], "...###...###") << "transparent gaps leave the pixels";
  SelectObject(c.Dc, GetStockObject(BLACK_PEN));
  DeleteObject(dot);
}

TEST(Lines, WidePensCoverTheirWidthWithRoundEnds) {
  Canvas c(18, 9);
  HPEN wide = CreatePen(PS_SOLID, 5, kBlack);
  SelectObject(c.Dc, wide);
  MoveToEx(c.Dc, 4, 4, nullptr);
  LineTo(c.Dc, 12, 4);
  EXPECT_EQ(c.Bounds(kBlack), (RECT{2, 2, 15, 7})) << "five rows centred on the line, ends past both points";
  EXPECT_EQ(c.At(2, 2), kWhite) << "round end";
  EXPECT_EQ(c.At(2, 4), kBlack);
  EXPECT_EQ(c.At(14, 6), kWhite);
  EXPECT_EQ(c.Count(kBlack), 3 + 5 + 10 * 5 + 3) << "columns 2..14: the caps taper to three pixels";
  SelectObject(c.Dc, GetStockObject(BLACK_PEN));
  DeleteObject(wide);
}

TEST(Lines, XorPenTwiceRestores) {
  Canvas c(10, 10, kRed);
  SetROP2(c.Dc, R2_XORPEN);
  HPEN white = reinterpret_cast<HPEN>(GetStockObject(WHITE_PEN));
  SelectObject(c.Dc, white);
  POINT pts[4] = {{0, 0}, {9, 3}, {2, 9}, {0, 0}};
  Polyline(c.Dc, pts, 4);
  EXPECT_GT(c.Count(RGB(0, 255, 255)), 10);
  Polyline(c.Dc, pts, 4);
  EXPECT_EQ(c.Count(kRed), 100);
}

TEST(Shapes, RectangleWithAndWithoutPen) {
  Canvas c(8, 8);
  HBRUSH red = CreateSolidBrush(kRed);
  SelectObject(c.Dc, red);
  Rectangle(c.Dc, 1, 1, 6, 5);
  EXPECT_EQ(c.Picture(kBlack), (Rows{"........", ".#####..", ".#...#..", ".#...#..", ".#####..", "........",
                                     "........", "........"}));
  EXPECT_EQ(c.Bounds(kRed), (RECT{2, 2, 5, 4}));
  PatBlt(c.Dc, 0, 0, 8, 8, WHITENESS);
  SelectObject(c.Dc, GetStockObject(NULL_PEN));
  Rectangle(c.Dc, 1, 1, 6, 5);
  EXPECT_EQ(c.Bounds(kRed), (RECT{1, 1, 5, 4})) << "without a pen one pixel smaller each way";
  PatBlt(c.Dc, 0, 0, 8, 8, WHITENESS);
  HPEN thick = CreatePen(PS_INSIDEFRAME, 2, kBlack);
  SelectObject(c.Dc, thick);
  Rectangle(c.Dc, 1, 1, 7, 7);
  EXPECT_EQ(c.Bounds(kBlack), (RECT{1, 1, 7, 7})) << "an inside-frame pen stays in the box";
  EXPECT_EQ(c.Bounds(kRed), (RECT{3, 3, 5, 5}));
  PatBlt(c.Dc, 0, 0, 8, 8, WHITENESS);
  HPEN centred = CreatePen(PS_SOLID, 3, kBlack);
  SelectObject(c.Dc, centred);
  Rectangle(c.Dc, 2, 2, 7, 7);
  EXPECT_EQ(c.Bounds(kBlack), (RECT{1, 1, 8, 8})) << "a wide pen is centred on the edge pixels";
  SelectObject(c.Dc, GetStockObject(BLACK_PEN));
  SelectObject(c.Dc, GetStockObject(WHITE_BRUSH));
  for (HGDIOBJ h : {ToObj(red), ToObj(thick), ToObj(centred)}) DeleteObject(h);
}

TEST(Shapes, EllipseAndRoundRectStayInTheirBoxAndAreSymmetric) {
  for (RECT box : {RECT{0, 0, 12, 12}, RECT{1, 2, 20, 9}, RECT{0, 0, 3, 3}, RECT{2, 2, 3, 10}}) {
    Canvas c(24, 14);
    HBRUSH red = CreateSolidBrush(kRed);
    SelectObject(c.Dc, red);
    Ellipse(c.Dc, box.Left, box.Top, box.Right, box.Bottom);
    RECT all = c.Bounds(kBlack);
    EXPECT_EQ(all, box) << "the outline touches every side of the box and stays inside";
    int w = box.Right - box.Left, h = box.Bottom - box.Top;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        COLORREF p = c.At(box.Left + x, box.Top + y);
        ASSERT_EQ(p, c.At(box.Right - 1 - x, box.Top + y)) << "mirror left-right";
        ASSERT_EQ(p, c.At(box.Left + x, box.Bottom - 1 - y)) << "mirror top-bottom";
      }
    DeleteObject(red);
  }
  Canvas c(12, 12);
  Ellipse(c.Dc, 0, 0, 12, 12);
  EXPECT_EQ(c.Picture(kBlack), (Rows{
                                   "....####....",
                                   "..##....##..",
                                   ".#........#.",
                                   ".#........#.",
                                   "#..........#",
                                   "#..........#",
                                   "#..........#",
                                   "#..........#",
                                   ".#........#.",
                                   ".#........#.",
                                   "..##....##..",
                                   "....####....",
                               }));
  Canvas r(10, 8);
  RoundRect(r.Dc, 0, 0, 10, 8, 4, 4);
  EXPECT_EQ(r.Picture(kBlack), (Rows{
                                   ".########.",
                                   "#........#",
                                   "#........#",
                                   "#........#",
                                   "#........#",
                                   "#........#",
                                   "#........#",
                                   ".########.",
                               }));
}

TEST(Shapes, PieAndChordKeepTheirSide) {
  Canvas c(21, 21);
  HBRUSH red = CreateSolidBrush(kRed);
  SelectObject(c.Dc, red);
  // The upper-right quarter: from the right (3 o'clock) to the top.
  Pie(c.Dc, 0, 0, 21, 21, 21, 10, 10, 0);
  RECT b = c.Bounds(kRed);
  EXPECT_GE(b.Left, 10);
  EXPECT_LE(b.Bottom, 11);
  EXPECT_EQ(c.At(5, 15), kWhite);
  EXPECT_EQ(c.At(14, 6), kRed);
  PatBlt(c.Dc, 0, 0, 21, 21, WHITENESS);
  // A chord across the middle keeps the upper half.
  Chord(c.Dc, 0, 0, 21, 21, 21, 10, 0, 10);
  EXPECT_EQ(c.At(10, 5), kRed);
  EXPECT_EQ(c.At(10, 15), kWhite);
  PatBlt(c.Dc, 0, 0, 21, 21, WHITENESS);
  Arc(c.Dc, 0, 0, 21, 21, 21, 10, 0, 10);
  EXPECT_EQ(c.Count(kRed), 0) << "an arc has no interior";
  EXPECT_EQ(c.At(10, 0), kBlack);
  EXPECT_EQ(c.At(10, 20), kWhite);
  DeleteObject(red);
}

TEST(Shapes, PolygonFillModes) {
  POINT star[5] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
  Canvas c(21, 21);
  HBRUSH red = CreateSolidBrush(kRed);
  SelectObject(c.Dc, red);
  SelectObject(c.Dc, GetStockObject(NULL_PEN));
  Polygon(c.Dc, star, 5);
  EXPECT_EQ(c.At(10, 10), kWhite) << "alternate leaves the centre out";
  SetPolyFillMode(c.Dc, WINDING);
  Polygon(c.Dc, star, 5);
  EXPECT_EQ(c.At(10, 10), kRed);
  // A square polygon's interior is half-open like a rectangle.
  PatBlt(c.Dc, 0, 0, 21, 21, WHITENESS);
  POINT sq[4] = {{2, 2}, {6, 2}, {6, 6}, {2, 6}};
  Polygon(c.Dc, sq, 4);
  EXPECT_EQ(c.Bounds(kRed), (RECT{2, 2, 6, 6}));
  SelectObject(c.Dc, GetStockObject(BLACK_PEN));
  PatBlt(c.Dc, 0, 0, 21, 21, WHITENESS);
  Polygon(c.Dc, sq, 4);
  EXPECT_EQ(c.Bounds(kBlack), (RECT{2, 2, 7, 7})) << "the outline runs through every vertex";
  DeleteObject(red);
}

TEST(Robustness, HugeCoordinatesNeitherOverflowNorStall) {
  Canvas c(16, 16);
  const int big = 2000000000;
  RECT all{-big, -big, big, big};
  HBRUSH red = CreateSolidBrush(kRed);
  FillRect(c.Dc, &all, red);
  EXPECT_EQ(c.Count(kRed), 256);
  SetWindowOrgEx(c.Dc, big, -big, nullptr);
  OffsetViewportOrgEx(c.Dc, big, big, nullptr);
  SetWindowOrgEx(c.Dc, 0, 0, nullptr);
  SetViewportOrgEx(c.Dc, 0, 0, nullptr);
  PatBlt(c.Dc, big, big, -big, -big, WHITENESS);
  EXPECT_EQ(c.Count(kWhite), 256);
  // Lines far longer than the surface draw exactly their visible pixels.
  MoveToEx(c.Dc, -1000000, -1000000, nullptr);
  LineTo(c.Dc, 1000000, 1000000);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(c.At(i, i), kBlack) << i;
  EXPECT_EQ(c.Count(kBlack), 16);
  HPEN dot = CreatePen(PS_DOT, 1, kBlue);
  SelectObject(c.Dc, dot);
  MoveToEx(c.Dc, -999999, 3, nullptr);
  LineTo(c.Dc, big, 3);
  // 999999 hidden steps put x = 0 three pixels into the six-pixel pattern.
  EXPECT_EQ(c.Picture(kBlue)[3], "...###...###...#") << "the dash pattern keeps its phase along the hidden part";
  SelectObject(c.Dc, GetStockObject(BLACK_PEN));
  DeleteObject(dot);
  SelectObject(c.Dc, red);
  Ellipse(c.Dc, -big, -big, big, big);
  Pie(c.Dc, -big, -big, big, big, big, 0, 0, -big);
  Chord(c.Dc, -100000, -100000, 100000, 100000, 1, 0, 0, 1);
  RoundRect(c.Dc, -big, -big, big, big, big, big);
  POINT tri[3] = {{-big, -big}, {big, 0}, {0, big}};
  Polygon(c.Dc, tri, 3);
  HPEN wide = CreatePen(PS_SOLID, 1000000, kBlue);
  SelectObject(c.Dc, wide);
  MoveToEx(c.Dc, -big, 5, nullptr);
  LineTo(c.Dc, big, 9);
  SelectObject(c.Dc, GetStockObject(BLACK_PEN));
  DeleteObject(wide);
  Canvas src(4, 4, kRed);
  StretchBlt(c.Dc, -big, -big, big, big, src.Dc, 0, 0, 4, 4, SRCCOPY);
  EXPECT_EQ(c.Count(kRed), 256);
  // A zigzag of a thousand corners in a pen a hundred thousand pixels wide:
  // each round corner costs the rows the surface shows, not its height.
  const COLORREF green = RGB(0, 160, 0);
  HPEN broad = CreatePen(PS_SOLID, 100000, green);
  SelectObject(c.Dc, broad);
  std::vector<POINT> zigzag;
  for (int i = 0; i < 1000; ++i) zigzag.push_back({i * 97 - 48000, (i % 2) * 90000 - 45000});
  Polyline(c.Dc, zigzag.data(), int(zigzag.size()));
  EXPECT_EQ(c.Count(green), 256);
  // A pie's radii in that pen: each row of the surface costs a search along
  // the radius, not a square of the pen's width at every step.
  Pie(c.Dc, -100000, -100000, 100000, 100000, 100000, 0, 0, -100000);
  EXPECT_EQ(c.Count(green), 256);
  SelectObject(c.Dc, GetStockObject(BLACK_PEN));
  DeleteObject(broad);
  HRGN r = CreateRectRgn(0, 0, 10, 10);
  OffsetRgn(r, big, big);
  OffsetRgn(r, big, big);
  RECT box;
  GetRgnBox(r, &box);
  EXPECT_LT(box.Left, box.Right) << "offsets saturate instead of wrapping";
  SetRectRgn(r, 0, 0, 16, 16);
  FrameRgn(c.Dc, r, red, big, big);
  DeleteObject(r);
  DeleteObject(red);
}
