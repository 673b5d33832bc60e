// Pens as objects and as strokes: what a plain and an extended pen read
// back, what they refuse, and how a geometric pen ends, joins, dashes and
// paints its lines.
#include <cstddef>
#include <cstring>

#include "GdiTestUtil.h"

using namespace win;
using namespace gdi_test;

namespace {

using Rows = std::vector<std::string>;

HPEN Geometric(DWORD flags, DWORD width, COLORREF color = kBlack) {
  LOGBRUSH lb{BS_SOLID, color, 0};
  return ExtCreatePen(PS_GEOMETRIC | flags, width, &lb, 0, nullptr);
}

// Draws the points as one polyline with the pen (which is deleted after).
void Stroke(Canvas& c, HPEN pen, std::vector<POINT> pts) {
  HGDIOBJ old = SelectObject(c.Dc, ToObj(pen));
  Polyline(c.Dc, pts.data(), int(pts.size()));
  SelectObject(c.Dc, old);
  DeleteObject(pen);
}

}  // namespace

TEST(Pens, PlainPensKeepThePlainStylesAndMakeEveryOtherSolid) {
  LOGPEN lp{};
  for (int style : {int(PS_USERSTYLE), int(PS_ALTERNATE), 9, -1, int(PS_GEOMETRIC | PS_DOT), int(PS_INSIDEFRAME)}) {
    HPEN p = CreatePen(style, 3, kBlue);
    ASSERT_EQ(GetObjectA(p, sizeof lp, &lp), int(sizeof lp)) << style;
    EXPECT_EQ(lp.lopnStyle, style == int(PS_INSIDEFRAME) ? PS_INSIDEFRAME : PS_SOLID) << style;
    EXPECT_EQ(lp.lopnWidth.X, 3);
    DeleteObject(p);
  }
}

TEST(Pens, DescriptionsAnswerTheirOwnSizeAndRefuseSmallerBuffers) {
  // A plain pen is described by the plain structure, however large the
  // buffer offered.
  HPEN plain = CreatePen(PS_DASH, 1, kRed);
  std::vector<std::uint8_t> buf(64, 0xCD);
  EXPECT_EQ(GetObjectA(plain, int(buf.size()), buf.data()), int(sizeof(LOGPEN)));
  EXPECT_EQ(buf[sizeof(LOGPEN)], 0xCD);
  std::fill(buf.begin(), buf.end(), 0xCD);
  SetLastError(0);
  EXPECT_EQ(GetObjectA(plain, int(sizeof(LOGPEN)) - 1, buf.data()), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(buf[0], 0xCD) << "nothing written";

  // An extended pen needs its structure with every style entry.
  const DWORD entries[4] = {3, 1, 0, 2};
  LOGBRUSH lb{BS_SOLID, kRed, 0};
  HPEN user = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_JOIN_BEVEL, 6, &lb, 4, entries);
  const int need = int(offsetof(EXTLOGPEN, elpStyleEntry) + sizeof entries);
  EXPECT_EQ(GetObjectA(user, 0, nullptr), need);
  SetLastError(0);
  EXPECT_EQ(GetObjectA(user, int(sizeof(LOGPEN)), buf.data()), 0) << "a plain structure's room is not enough";
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(GetObjectA(user, need - 1, buf.data()), 0);
  EXPECT_EQ(buf[0], 0xCD);
  ASSERT_EQ(GetObjectA(user, int(buf.size()), buf.data()), need);
  auto* e = reinterpret_cast<EXTLOGPEN*>(buf.data());
  EXPECT_EQ(e->elpPenStyle, PS_GEOMETRIC | PS_USERSTYLE | PS_JOIN_BEVEL);
  EXPECT_EQ(e->elpWidth, 6u);
  EXPECT_EQ(e->elpNumEntries, 4u);
  EXPECT_EQ(std::memcmp(e->elpStyleEntry, entries, sizeof entries), 0) << "zero entries are kept";
  DeleteObject(plain);
  DeleteObject(user);
}

TEST(Pens, ExtendedPensRefuseWhatTheirKindCannotDraw) {
  LOGBRUSH lb{BS_SOLID, kRed, 0};
  const DWORD negative[3] = {4, DWORD(-1), 2};
  auto refused = [&](DWORD style, DWORD width, DWORD count, const DWORD* entries, const LOGBRUSH* brush) {
    SetLastError(0);
    HPEN p = ExtCreatePen(style, width, brush, count, entries);
    if (p) DeleteObject(p);
    return !p && GetLastError() == DWORD(ERROR_INVALID_PARAMETER);
  };
  EXPECT_TRUE(refused(PS_GEOMETRIC | PS_USERSTYLE, 4, 3, negative, &lb)) << "a negative entry";
  EXPECT_TRUE(refused(PS_COSMETIC | PS_INSIDEFRAME, 1, 0, nullptr, &lb)) << "a frame belongs to wide pens";
  EXPECT_TRUE(refused(PS_GEOMETRIC | PS_ALTERNATE, 1, 0, nullptr, &lb)) << "alternate pixels to cosmetic ones";
  EXPECT_TRUE(refused(PS_COSMETIC | PS_SOLID, 2, 0, nullptr, &lb)) << "a cosmetic pen is one pixel wide";
  const LOGBRUSH badHatch{BS_HATCHED, kRed, 12}, badPattern{BS_PATTERN, 0, 0x1234};
  EXPECT_TRUE(refused(PS_GEOMETRIC | PS_SOLID, 4, 0, nullptr, &badHatch));
  EXPECT_TRUE(refused(PS_GEOMETRIC | PS_SOLID, 4, 0, nullptr, &badPattern));

  // A negative width is its size; a pen of no brush keeps its style and
  // draws nothing.
  EXTLOGPEN e{};
  HPEN wide = ExtCreatePen(PS_GEOMETRIC | PS_SOLID, DWORD(-7), &lb, 0, nullptr);
  ASSERT_EQ(GetObjectA(wide, sizeof e, &e), int(offsetof(EXTLOGPEN, elpStyleEntry)));
  EXPECT_EQ(e.elpWidth, 7u);
  const LOGBRUSH none{BS_NULL, kRed, 0};
  HPEN hollow = ExtCreatePen(PS_GEOMETRIC | PS_DASH, 5, &none, 0, nullptr);
  GetObjectA(hollow, sizeof e, &e);
  EXPECT_EQ(e.elpPenStyle, PS_GEOMETRIC | PS_DASH);
  EXPECT_EQ(e.elpBrushStyle, BS_NULL);
  Canvas c(10, 10);
  SelectObject(c.Dc, GetStockObject(NULL_BRUSH));
  SelectObject(c.Dc, hollow);
  MoveToEx(c.Dc, 0, 5, nullptr);
  LineTo(c.Dc, 10, 5);
  Rectangle(c.Dc, 1, 1, 9, 9);
  SelectObject(c.Dc, GetStockObject(BLACK_PEN));
  EXPECT_EQ(c.Count(kWhite), 100);
  DeleteObject(wide);
  DeleteObject(hollow);
}

TEST(Pens, EndCapsStopAtTheEndReachPastItOrRoundIt) {
  // A band five pixels high on rows 2 to 6: its top two rows tell the ends.
  auto ends = [](HPEN pen) {
    Canvas c(16, 9);
    Stroke(c, pen, {{3, 4}, {12, 4}});
    EXPECT_EQ(c.Bounds(kBlack).Top, 2);
    EXPECT_EQ(c.Bounds(kBlack).Bottom, 7);
    return c.Picture(kBlack, 0, 2, 16, 4);
  };
  EXPECT_EQ(ends(Geometric(PS_ENDCAP_FLAT, 5)), (Rows{"...#########....", "...#########...."}));
  EXPECT_EQ(ends(Geometric(PS_ENDCAP_SQUARE, 5)), (Rows{".##############.", ".##############."}));
  EXPECT_EQ(ends(Geometric(PS_ENDCAP_ROUND, 5)), (Rows{"..############..", ".##############."}));
  // A plain wide pen ends round.
  EXPECT_EQ(ends(CreatePen(PS_SOLID, 5, kBlack)), (Rows{"..############..", ".##############."}));
}

TEST(Pens, JoinsFillTheOuterCornerAsMadeWith) {
  // Right, then up: the outer corner is below and right of (8, 8).
  auto corner = [](DWORD join) {
    Canvas c(12, 12);
    Stroke(c, Geometric(PS_ENDCAP_FLAT | join, 5), {{0, 8}, {8, 8}, {8, 0}});
    return c.Picture(kBlack, 6, 6, 12, 12);
  };
  EXPECT_EQ(corner(PS_JOIN_MITER), (Rows{"#####.", "#####.", "#####.", "#####.", "#####.", "......"}));
  EXPECT_EQ(corner(PS_JOIN_BEVEL), (Rows{"#####.", "#####.", "#####.", "####..", "###...", "......"}));
  EXPECT_EQ(corner(PS_JOIN_ROUND), (Rows{"#####.", "#####.", "#####.", "#####.", "####..", "......"}));
  // A miter too sharp for the limit is bevelled: the turn back over a
  // twentieth of a pixel per pixel would reach far to the right.
  Canvas sharp(60, 12);
  Stroke(sharp, Geometric(PS_ENDCAP_FLAT | PS_JOIN_MITER, 4), {{0, 4}, {30, 5}, {0, 6}});
  EXPECT_LE(sharp.Bounds(kBlack).Right, 33);
}

TEST(Pens, GeometricDashesScaleWithTheWidthAndUserStylesAreLogicalUnits) {
  // Dashes of three widths and gaps of one, each dash flat-ended.
  Canvas c(26, 3);
  Stroke(c, Geometric(PS_DASH | PS_ENDCAP_FLAT, 2), {{0, 1}, {26, 1}});
  EXPECT_EQ(c.Picture(kBlack)[1], "######..######..######..##");
  // A user style's entries are lengths in logical units: 4 on, 2 off.
  const DWORD entries[2] = {4, 2};
  LOGBRUSH lb{BS_SOLID, kBlack, 0};
  Canvas u(20, 5);
  Stroke(u, ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, 3, &lb, 2, entries), {{0, 2}, {20, 2}});
  EXPECT_EQ(u.Picture(kBlack), (Rows{"....................", "####..####..####..##", "####..####..####..##",
                                     "####..####..####..##", "...................."}));
  // A plain wide pen of a broken style still draws solid.
  Canvas p(20, 5);
  Stroke(p, CreatePen(PS_DASH, 3, kBlack), {{2, 2}, {17, 2}});
  EXPECT_EQ(p.Picture(kBlack)[2], ".##################.");
  // Dashes run on round a corner and join there: the second dash of the
  // first leg goes on up the second leg, which then has a gap.
  Canvas j(12, 12);
  Stroke(j, Geometric(PS_DASH | PS_ENDCAP_FLAT | PS_JOIN_MITER, 2), {{0, 10}, {10, 10}, {10, 0}});
  EXPECT_EQ(j.Picture(kBlack, 8, 6, 12, 12), (Rows{".##.", ".##.", ".##.", "###.", "###.", "...."}));
  EXPECT_EQ(j.Picture(kBlack, 9, 0, 11, 6), (Rows{"##", "##", "##", "##", "..", ".."}));
}

TEST(Pens, BrushPensPaintWithTheirHatchOrPattern) {
  // A cross hatch in red over the background colour, or over what was
  // there when the background mode is transparent.
  LOGBRUSH hatch{BS_HATCHED, kRed, std::uintptr_t(HS_CROSS)};
  Canvas c(16, 16);
  SetBkColor(c.Dc, kBlue);
  Stroke(c, ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT, 8, &hatch, 0, nullptr), {{0, 4}, {16, 4}});
  EXPECT_EQ(c.Picture(kRed, 0, 0, 16, 8), (Rows{"....#.......#...", "....#.......#...", "....#.......#...",
                                                  "....#.......#...", "################", "....#.......#...",
                                                  "....#.......#...", "....#.......#..."}));
  EXPECT_EQ(c.Count(kBlue), 16 * 8 - 16 - 2 * 7);
  EXPECT_EQ(c.Count(kWhite), 16 * 8) << "only the band is painted";
  SetBkMode(c.Dc, TRANSPARENT);
  Stroke(c, ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT, 8, &hatch, 0, nullptr), {{0, 12}, {16, 12}});
  EXPECT_EQ(c.Count(kWhite), 16 * 8 - 16 - 2 * 7);

  // One pixel wide, the hatch shows along the steps of a slanted line.
  Canvas d(8, 8);
  SetBkColor(d.Dc, kBlue);
  Stroke(d, ExtCreatePen(PS_GEOMETRIC, 1, &hatch, 0, nullptr), {{0, 0}, {8, 8}});
  EXPECT_EQ(d.Bounds(kRed), (RECT{4, 4, 5, 5}));
  EXPECT_EQ(d.Count(kBlue), 7);

  // A pattern pen copies its bitmap, which may go at once.
  HBITMAP tile = CreateBitmap(2, 2, 1, 32, nullptr);
  {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ToObj(tile));
    SetPixel(dc, 0, 0, kRed);
    SetPixel(dc, 1, 0, kBlue);
    SetPixel(dc, 0, 1, kBlue);
    SetPixel(dc, 1, 1, kRed);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  LOGBRUSH pattern{BS_PATTERN, 0, reinterpret_cast<std::uintptr_t>(tile)};
  HPEN checker = ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT, 4, &pattern, 0, nullptr);
  DeleteObject(tile);
  Canvas p(6, 4);
  Stroke(p, checker, {{0, 2}, {6, 2}});
  EXPECT_EQ(p.Picture(kRed), (Rows{"#.#.#.", ".#.#.#", "#.#.#.", ".#.#.#"}));
  // Shapes outline with the brush too.
  Canvas r(10, 10);
  SelectObject(r.Dc, GetStockObject(NULL_BRUSH));
  HPEN frame = ExtCreatePen(PS_GEOMETRIC | PS_JOIN_MITER, 2, &hatch, 0, nullptr);
  SelectObject(r.Dc, frame);
  SetBkMode(r.Dc, TRANSPARENT);
  Rectangle(r.Dc, 2, 2, 9, 9);
  SelectObject(r.Dc, GetStockObject(BLACK_PEN));
  DeleteObject(frame);
  EXPECT_EQ(r.Picture(kRed), (Rows{"..........", "....#.....", "....#.....", "..........", ".##....##.",
                                   "..........", "..........", "....#.....", "....#.....", ".........."}));
}
