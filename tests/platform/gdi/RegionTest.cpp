// Regions against a brute-force model: every combination is compared
// pixel by pixel with the same operation on sets of points, and the result
// must keep the banded form (sorted, disjoint, non-touching, merged bands).
#include <climits>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "GdiTestUtil.h"
#include "platform/gdi/Region.h"

using namespace win;
using namespace gdi_test;

namespace {

using Points = std::set<std::pair<int, int>>;

Points PointsOf(HRGN h) {
  Points p;
  auto* r = gdi::LookupAs<gdi::RegionObject>(h);
  for (const TRect& rc : r->R.Rects)
    for (int y = rc.Top; y < rc.Bottom; ++y)
      for (int x = rc.Left; x < rc.Right; ++x) p.insert({x, y});
  return p;
}

void ExpectBanded(HRGN h) {
  const auto& rects = gdi::LookupAs<gdi::RegionObject>(h)->R.Rects;
  for (std::size_t i = 0; i < rects.size(); ++i) {
    const TRect& r = rects[i];
    ASSERT_LT(r.Left, r.Right);
    ASSERT_LT(r.Top, r.Bottom);
    if (i == 0) continue;
    const TRect& p = rects[i - 1];
    if (p.Top == r.Top) {
      ASSERT_EQ(p.Bottom, r.Bottom) << "a band shares top and bottom";
      ASSERT_LT(p.Right, r.Left) << "rectangles of a band neither overlap nor touch";
    } else {
      ASSERT_LE(p.Bottom, r.Top) << "bands do not overlap";
    }
  }
  // Two touching bands with the same spans would have been merged.
  std::size_t i = 0;
  while (i < rects.size()) {
    std::size_t j = i;
    while (j < rects.size() && rects[j].Top == rects[i].Top) ++j;
    std::size_t k = j;
    while (k < rects.size() && rects[k].Top == rects[j < rects.size() ? j : i].Top) ++k;
    if (j < rects.size() && rects[j].Top == rects[i].Bottom && k - j == j - i) {
      bool same = true;
      for (std::size_t n = 0; n < j - i; ++n)
        same = same && rects[i + n].Left == rects[j + n].Left && rects[i + n].Right == rects[j + n].Right;
      ASSERT_FALSE(same) << "mergeable bands left apart";
    }
    i = j;
  }
}

HRGN RandomRegion(Rng& rng) {
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  int n = rng.In(1, 6);
  for (int i = 0; i < n; ++i) {
    int x = rng.In(0, 30), y = rng.In(0, 30);
    HRGN piece = CreateRectRgn(x, y, x + rng.In(1, 12), y + rng.In(1, 12));
    CombineRgn(r, r, piece, rng.In(0, 1) ? RGN_OR : RGN_XOR);
    DeleteObject(piece);
  }
  return r;
}

}  // namespace

TEST(Regions, CombinationsMatchPointSetsAndStayBanded) {
  Rng rng(7);
  for (int round = 0; round < 300; ++round) {
    HRGN a = RandomRegion(rng), b = RandomRegion(rng), d = CreateRectRgn(0, 0, 0, 0);
    Points pa = PointsOf(a), pb = PointsOf(b);
    for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF}) {
      int kind = CombineRgn(d, a, b, mode);
      Points all = pa, want;
      all.insert(pb.begin(), pb.end());
      for (auto& p : all) {
        bool ia = pa.count(p) != 0, ib = pb.count(p) != 0;
        bool in = mode == RGN_AND ? ia && ib : mode == RGN_OR ? ia || ib : mode == RGN_XOR ? ia != ib : ia && !ib;
        if (in) want.insert(p);
      }
      ASSERT_EQ(PointsOf(d), want) << "mode " << mode << " round " << round;
      ExpectBanded(d);
      int rects = int(gdi::LookupAs<gdi::RegionObject>(d)->R.Rects.size());
      EXPECT_EQ(kind, rects == 0 ? NULLREGION : rects == 1 ? SIMPLEREGION : COMPLEXREGION);
    }
    // The result may be one of the operands.
    HRGN c = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(c, a, nullptr, RGN_COPY);
    CombineRgn(c, c, b, RGN_XOR);
    CombineRgn(d, a, b, RGN_XOR);
    EXPECT_TRUE(EqualRgn(c, d));
    for (HRGN h : {a, b, c, d}) DeleteObject(h);
  }
}

TEST(Regions, QueriesAndKinds) {
  HRGN r = CreateRectRgn(10, 10, 20, 20);
  HRGN hole = CreateRectRgn(12, 12, 14, 14);
  EXPECT_EQ(CombineRgn(r, r, hole, RGN_DIFF), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(r, 10, 10));
  EXPECT_FALSE(PtInRegion(r, 20, 10)) << "right edge outside";
  EXPECT_FALSE(PtInRegion(r, 12, 12));
  EXPECT_TRUE(PtInRegion(r, 14, 12));
  RECT inHole{12, 12, 14, 14}, touching{12, 12, 15, 14}, outside{20, 20, 30, 30};
  EXPECT_FALSE(RectInRegion(r, &inHole));
  EXPECT_TRUE(RectInRegion(r, &touching));
  EXPECT_FALSE(RectInRegion(r, &outside));
  RECT box;
  EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{10, 10, 20, 20}));
  EXPECT_EQ(OffsetRgn(r, -10, 5), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(r, 0, 15));
  EXPECT_FALSE(PtInRegion(r, 2, 17));

  HRGN empty = CreateRectRgn(5, 5, 5, 9);
  EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
  HRGN flipped = CreateRectRgn(9, 9, 5, 5);
  EXPECT_EQ(GetRgnBox(flipped, &box), SIMPLEREGION) << "corners are put in order";
  EXPECT_EQ(box, (RECT{5, 5, 9, 9}));
  EXPECT_TRUE(SetRectRgn(flipped, 0, 0, 0, 0));
  EXPECT_TRUE(EqualRgn(flipped, empty));
  EXPECT_EQ(CombineRgn(r, r, hole, 99), ERROR);
  for (HRGN h : {r, hole, empty, flipped}) DeleteObject(h);
  EXPECT_EQ(CombineRgn(r, r, r, RGN_OR), ERROR) << "deleted handles fail cleanly";
}

TEST(Regions, FillPaintAndInvertDrawTheRegionEachWithItsOwnPaint) {
  Canvas c(6, 5);
  // A plus: three rectangles, one to a band.
  HRGN plus = CreateRectRgn(2, 0, 4, 5);
  HRGN bar = CreateRectRgn(0, 2, 6, 3);
  CombineRgn(plus, plus, bar, RGN_OR);
  const std::vector<std::string> shape{"..##..", "..##..", "######", "..##..", "..##.."};
  GdiStartRecording(c.Dc);
  HBRUSH red = CreateSolidBrush(kRed);
  EXPECT_TRUE(FillRgn(c.Dc, plus, red));
  EXPECT_EQ(c.Picture(kRed), shape);
  // PaintRgn takes the DC's brush through its mix mode: blue merged over red.
  HBRUSH blue = CreateSolidBrush(kBlue);
  HGDIOBJ old = SelectObject(c.Dc, ToObj(blue));
  SetROP2(c.Dc, R2_MERGEPEN);
  EXPECT_TRUE(PaintRgn(c.Dc, plus));
  EXPECT_EQ(c.Picture(RGB(255, 0, 255)), shape);
  EXPECT_TRUE(InvertRgn(c.Dc, plus));
  EXPECT_EQ(c.Picture(RGB(0, 255, 0)), shape);
  EXPECT_EQ(c.Count(kWhite), 30 - 14) << "nothing outside the region is touched";

  // A missing brush, region or DC fails as a bad handle and draws nothing.
  DeleteObject(bar);
  SetLastError(0);
  EXPECT_FALSE(FillRgn(c.Dc, plus, nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  SetLastError(0);
  EXPECT_FALSE(PaintRgn(c.Dc, bar));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  SetLastError(0);
  EXPECT_FALSE(InvertRgn(nullptr, plus));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  EXPECT_EQ(c.Picture(RGB(0, 255, 0)), shape);

  // Each drawing call is logged once, FillRgn with its brush.
  std::vector<std::string> calls;
  const std::string log = GdiRecording(c.Dc);
  for (std::size_t at = 0, end; (end = log.find('\n', at)) != std::string::npos; at = end + 1)
    calls.push_back(log.substr(at, log.find(')', at) + 1 - at));
  EXPECT_EQ(calls, (std::vector<std::string>{"FillRgn(box=0,0,6,5 rects=3 brush=solid/#FF0000)",
                                             "PaintRgn(box=0,0,6,5 rects=3)", "InvertRgn(box=0,0,6,5 rects=3)"}));
  SelectObject(c.Dc, old);
  for (HGDIOBJ o : {ToObj(plus), ToObj(red), ToObj(blue)}) DeleteObject(o);
}

TEST(Regions, FrameRgnPaintsThePixelsNearTheOutsideWhateverTheFrameSize) {
  // The model: a pixel of the region is framed when some pixel of its
  // width x height neighbourhood (dx < width, dy < height) is outside.
  Rng rng(11);
  for (int round = 0; round < 120; ++round) {
    HRGN shape = RandomRegion(rng);
    bool in[48][48] = {};
    for (auto [x, y] : PointsOf(shape)) in[y][x] = true;
    auto outside = [&](int x, int y) { return x < 0 || y < 0 || x >= 48 || y >= 48 || !in[y][x]; };
    const int width = rng.In(1, 9), height = rng.In(1, 9);
    Canvas c(48, 48);
    HBRUSH red = CreateSolidBrush(kRed);
    ASSERT_TRUE(FrameRgn(c.Dc, shape, red, width, height));
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x) {
        bool framed = false;
        if (in[y][x])
          for (int dy = -height + 1; dy < height && !framed; ++dy)
            for (int dx = -width + 1; dx < width && !framed; ++dx) framed = outside(x + dx, y + dy);
        ASSERT_EQ(c.At(x, y) == kRed, framed) << "round " << round << " frame " << width << "x" << height
                                               << " at " << x << "," << y;
      }
    DeleteObject(red);
    DeleteObject(shape);
  }

  // A frame thousands of pixels wide on a ring 10,000 pixels across: its
  // middle, further than the frame from either edge, is not framed; near
  // the hole it is, as near the outside.
  Canvas c(64, 64);
  HRGN ring = CreateEllipticRgn(-15000, -15000, 15000, 15000);
  HRGN hole = CreateEllipticRgn(-5000, -5000, 5000, 5000);
  CombineRgn(ring, ring, hole, RGN_DIFF);
  OffsetRgn(ring, -10000, 32);
  HBRUSH red = CreateSolidBrush(kRed);
  ASSERT_TRUE(FrameRgn(c.Dc, ring, red, 2000, 2000));
  EXPECT_EQ(c.Count(kRed), 0);
  // Now the hole's right edge runs down the middle of the canvas.
  OffsetRgn(ring, 5032, 0);
  ASSERT_TRUE(FrameRgn(c.Dc, ring, red, 2000, 2000));
  EXPECT_EQ(c.At(20, 32), kWhite) << "in the hole";
  EXPECT_EQ(c.At(44, 32), kRed) << "within the frame of the hole's edge";
  EXPECT_EQ(c.Count(kRed) + c.Count(kWhite), 64 * 64);
  for (HGDIOBJ o : {ToObj(ring), ToObj(hole), ToObj(red)}) DeleteObject(o);
}

TEST(Regions, EllipticRegionHoldsExactlyTheEllipsePixels) {
  for (RECT box : {RECT{0, 0, 12, 12}, RECT{3, 2, 30, 11}, RECT{1, 1, 2, 9}, RECT{0, 0, 7, 8}}) {
    Canvas c(40, 20);
    SelectObject(c.Dc, GetStockObject(NULL_PEN));
    SelectObject(c.Dc, GetStockObject(BLACK_BRUSH));
    // With a null pen the shape is one pixel smaller, so ask for one more.
    Ellipse(c.Dc, box.Left, box.Top, box.Right + 1, box.Bottom + 1);
    HRGN r = CreateEllipticRgnIndirect(&box);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 40; ++x) ASSERT_EQ(PtInRegion(r, x, y) != 0, c.At(x, y) == kBlack) << x << "," << y;
    ExpectBanded(r);
    DeleteObject(r);
  }
}

TEST(Regions, CircleOfTwelveHasTheClassicRows) {
  HRGN r = CreateEllipticRgn(0, 0, 12, 12);
  auto& rects = gdi::LookupAs<gdi::RegionObject>(r)->R.Rects;
  // Row widths top to bottom: a flat top of four, then widening.
  std::vector<int> widths;
  for (int y = 0; y < 12; ++y) {
    int w = 0;
    for (const TRect& rc : rects)
      if (rc.Top <= y && y < rc.Bottom) w += rc.Right - rc.Left;
    widths.push_back(w);
  }
  EXPECT_EQ(widths, (std::vector<int>{4, 8, 10, 10, 12, 12, 12, 12, 10, 10, 8, 4}));
  DeleteObject(r);
}

TEST(Regions, PolygonFillModesAndRoundRectangles) {
  // A pentagram: the centre is inside under WINDING, outside under ALTERNATE.
  POINT star[5] = {{20, 0}, {32, 38}, {0, 14}, {40, 14}, {8, 38}};
  HRGN alt = CreatePolygonRgn(star, 5, ALTERNATE);
  HRGN wind = CreatePolygonRgn(star, 5, WINDING);
  EXPECT_FALSE(PtInRegion(alt, 20, 20));
  EXPECT_TRUE(PtInRegion(wind, 20, 20));
  EXPECT_TRUE(PtInRegion(alt, 20, 5));
  // A square polygon covers [0, 10) x [0, 10): top-left edges in, right and
  // bottom out.
  POINT sq[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  HRGN s = CreatePolygonRgn(sq, 4, ALTERNATE);
  HRGN rr = CreateRectRgn(0, 0, 10, 10);
  EXPECT_TRUE(EqualRgn(s, rr));
  EXPECT_EQ(CreatePolygonRgn(sq, 1, ALTERNATE), nullptr);
  HRGN round = CreateRoundRectRgn(0, 0, 20, 10, 6, 6);
  EXPECT_FALSE(PtInRegion(round, 0, 0));
  EXPECT_TRUE(PtInRegion(round, 3, 0));
  EXPECT_TRUE(PtInRegion(round, 0, 5));
  EXPECT_FALSE(PtInRegion(round, 19, 9));
  ExpectBanded(round);
  for (HRGN h : {alt, wind, s, rr, round}) DeleteObject(h);
}

TEST(Regions, APolygonOfManyPointsOverManyRowsCostsWhatItsRowsCost) {
  // A circle of 200,000 points, 400,000 rows tall: each row crosses two of
  // its edges, and only those are looked at.
  const int n = 200000;
  std::vector<POINT> circle(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    const double a = 2 * 3.141592653589793 * i / n;
    circle[std::size_t(i)] = {int(std::lround(n * std::cos(a))), int(std::lround(n * std::sin(a)))};
  }
  HRGN r = CreatePolygonRgn(circle.data(), n, ALTERNATE);
  ASSERT_NE(r, nullptr);
  RECT box{};
  EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
  EXPECT_EQ(box.Top, -n);
  EXPECT_EQ(box.Bottom, n);
  EXPECT_TRUE(PtInRegion(r, 0, 0));
  EXPECT_TRUE(PtInRegion(r, n - 2, 0));
  EXPECT_FALSE(PtInRegion(r, n + 1, 0));
  EXPECT_FALSE(PtInRegion(r, n * 3 / 4, n * 3 / 4)) << "outside the circle, inside its box";
  DeleteObject(r);
}

TEST(Regions, ARegionOfManyBandsMovedPartlyPastTheEndOfTheRangeKeepsWhatStillFits) {
  // A saw tooth 200,000 rows tall: every row a band of its own, 10 and 20
  // pixels wide by turns.
  const int n = 200000;
  std::vector<POINT> saw;
  saw.push_back({0, 0});
  for (int y = 0; y < n; ++y) {
    const int right = y % 2 ? 20 : 10;
    saw.push_back({right, y});
    saw.push_back({right, y + 1});
  }
  saw.push_back({0, n});
  HRGN r = CreatePolygonRgn(saw.data(), int(saw.size()), ALTERNATE);
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(gdi::LookupAs<gdi::RegionObject>(r)->R.Rects.size(), std::size_t(n));
  // Moved down until its lower half lies past the end of the range: that
  // half is squeezed to nothing, the upper half stays as it was, and the
  // rebuild costs the bands once each.
  const int edge = INT_MAX / 2;
  for (int i = 0; i < 7; ++i) OffsetRgn(r, 0, 1 << 27);
  EXPECT_EQ(OffsetRgn(r, 0, edge - 7 * (1 << 27) - n / 2), COMPLEXREGION);
  RECT box{};
  GetRgnBox(r, &box);
  EXPECT_EQ(box, (RECT{0, edge - n / 2, 20, edge}));
  EXPECT_EQ(gdi::LookupAs<gdi::RegionObject>(r)->R.Rects.size(), std::size_t(n / 2));
  EXPECT_FALSE(PtInRegion(r, 15, edge - n / 2));
  EXPECT_TRUE(PtInRegion(r, 15, edge - n / 2 + 1));
  EXPECT_TRUE(PtInRegion(r, 5, edge - 1));
  ExpectBanded(r);

  // Squeezed sideways, a band that was wider than the one above it becomes
  // the same and the two are one rectangle.
  HRGN steps = CreateRectRgn(0, 0, 10, 1), wider = CreateRectRgn(0, 1, 30, 2);
  CombineRgn(steps, steps, wider, RGN_OR);
  for (int i = 0; i < 7; ++i) OffsetRgn(steps, 1 << 27, 0);
  EXPECT_EQ(OffsetRgn(steps, edge - 7 * (1 << 27) - 10, 0), SIMPLEREGION);
  GetRgnBox(steps, &box);
  EXPECT_EQ(box, (RECT{edge - 10, 0, edge, 2}));
  for (HRGN h : {r, steps, wider}) DeleteObject(h);
}

TEST(Regions, ShapesAndFramesReachingTheEndsOfTheCoordinateRange) {
  // A triangle with its corners at the ends of the 32-bit range keeps its
  // diagonal: what lies right of it and below is inside.
  POINT corners[3] = {{INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}};
  HRGN triangle = CreatePolygonRgn(corners, 3, ALTERNATE);
  ASSERT_NE(triangle, nullptr);
  EXPECT_TRUE(PtInRegion(triangle, 10, 10));
  EXPECT_TRUE(PtInRegion(triangle, -100, 200));
  EXPECT_FALSE(PtInRegion(triangle, -10, -10));
  EXPECT_FALSE(PtInRegion(triangle, 100, -200));
  ExpectBanded(triangle);

  // A region moved out to both ends spans nearly the whole range; a frame
  // wider than half of it is all of it.
  HRGN wide = CreateRectRgn(0, 0, 1 << 27, 64);
  HRGN left = CreateRectRgn(-(1 << 27), 0, 0, 64);
  for (int i = 0; i < 7; ++i) OffsetRgn(wide, 1 << 27, 0), OffsetRgn(left, -(1 << 27), 0);
  HRGN middle = CreateRectRgn(0, 0, 32, 64);
  CombineRgn(wide, wide, left, RGN_OR);
  CombineRgn(wide, wide, middle, RGN_OR);
  RECT box{};
  GetRgnBox(wide, &box);
  ASSERT_EQ(std::int64_t(box.Right) - box.Left, std::int64_t(INT_MAX)) << "spans the range";
  Canvas c(64, 64);
  HBRUSH red = CreateSolidBrush(kRed);
  ASSERT_TRUE(FrameRgn(c.Dc, wide, red, INT_MAX, 1));
  EXPECT_EQ(c.Count(kRed), 32 * 64);
  EXPECT_EQ(c.At(31, 40), kRed);
  EXPECT_EQ(c.At(32, 40), kWhite);
  for (HGDIOBJ o : {ToObj(triangle), ToObj(wide), ToObj(left), ToObj(middle), ToObj(red)}) DeleteObject(o);
}
