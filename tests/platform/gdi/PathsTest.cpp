// Paths: figures drawn between BeginPath and EndPath are filled, stroked,
// widened and made into regions with the pixels the shapes themselves
// paint, under both fill rules.
#include "GdiTestUtil.h"

#include <cmath>

using namespace win;
using namespace gdi_test;

using Rows = std::vector<std::string>;

namespace {

// The pixels of a region as rows over [0, w) x [0, h).
Rows RegionPicture(HRGN rgn, int w, int h) {
  Rows rows;
  for (int y = 0; y < h; ++y) {
    std::string s;
    for (int x = 0; x < w; ++x) s += PtInRegion(rgn, x, y) ? '#' : '.';
    rows.push_back(s);
  }
  return rows;
}

// How many pixels of colour c in `traced` have no pixel of that colour in
// `other` beside or under them (the eight around and itself).
int PixelsApart(const Canvas& traced, const Canvas& other, COLORREF c) {
  int apart = 0;
  for (int y = 0; y < traced.H; ++y)
    for (int x = 0; x < traced.W; ++x)
      if (traced.At(x, y) == c) {
        bool near = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            near = near || (nx >= 0 && ny >= 0 && nx < other.W && ny < other.H && other.At(nx, ny) == c);
          }
        apart += !near;
      }
  return apart;
}

// The figure drawn with the pen of `drawn`, and recorded as a path on
// each of the others.
void DrawAndRecord(HDC drawn, std::initializer_list<HDC> recorded, const POINT* pts, int n) {
  Polyline(drawn, pts, n);
  for (HDC dc : recorded) {
    BeginPath(dc);
    Polyline(dc, pts, n);
    EndPath(dc);
  }
}

}  // namespace

TEST(Paths, FilledAndStrokedShapesPaintWhatTheShapesPaint) {
  const int live = GdiLiveObjectCount();
  {
    const POINT triangle[] = {{8, 1}, {13, 4}, {9, 11}};
    // Each shape once directly and once through a path, filled without
    // a pen and then with both.
    auto draw = [&](HDC dc, bool path, bool withPen) {
      SelectObject(dc, GetStockObject(BLACK_BRUSH));
      SelectObject(dc, GetStockObject(withPen ? BLACK_PEN : NULL_PEN));
      if (path) BeginPath(dc);
      Rectangle(dc, 1, 1, 7, 5);
      Polygon(dc, triangle, 3);
      if (!path) return;
      EndPath(dc);
      if (withPen) StrokeAndFillPath(dc);
      else FillPath(dc);
    };
    for (bool withPen : {false, true}) {
      Canvas direct(14, 13), traced(14, 13);
      draw(direct.Dc, false, withPen);
      draw(traced.Dc, true, withPen);
      EXPECT_EQ(traced.Picture(kBlack), direct.Picture(kBlack)) << (withPen ? "with the pen" : "without a pen");
    }
    Canvas c(8, 6);
    SelectObject(c.Dc, GetStockObject(BLACK_BRUSH));
    BeginPath(c.Dc);
    Rectangle(c.Dc, 1, 1, 7, 5);
    EndPath(c.Dc);
    FillPath(c.Dc);
    EXPECT_EQ(c.Picture(kBlack), (Rows{"........", ".#####..", ".#####..", ".#####..", "........", "........"}))
        << "a filled rectangle stops where the outline's room begins";

    // Lines: an open figure strokes as a polyline, a closed one comes
    // back to its start.
    Canvas lines(10, 8), poly(10, 8);
    BeginPath(lines.Dc);
    MoveToEx(lines.Dc, 1, 1, nullptr);
    LineTo(lines.Dc, 8, 1);
    LineTo(lines.Dc, 8, 6);
    CloseFigure(lines.Dc);
    MoveToEx(lines.Dc, 1, 6, nullptr);
    LineTo(lines.Dc, 5, 6);
    EndPath(lines.Dc);
    EXPECT_EQ(lines.Count(kBlack), 0) << "nothing is drawn while the path is recorded";
    StrokePath(lines.Dc);
    const POINT closed[] = {{1, 1}, {8, 1}, {8, 6}, {1, 1}};
    const POINT open[] = {{1, 6}, {5, 6}};
    Polyline(poly.Dc, closed, 4);
    Polyline(poly.Dc, open, 2);
    EXPECT_EQ(lines.Picture(kBlack), poly.Picture(kBlack));
    EXPECT_EQ(lines.At(4, 6), kBlack);
    EXPECT_EQ(lines.At(5, 6), kWhite) << "the open figure leaves out its last point, as a line does";
    EXPECT_EQ(lines.At(1, 5), kWhite) << "and is not closed";
  }
  EXPECT_EQ(GdiLiveObjectCount(), live);
}

TEST(Paths, FillRulesDecideAboutOverlaps) {
  // Two squares run the same way: the alternate rule leaves the inner one
  // out, the winding rule fills it.
  for (int mode : {ALTERNATE, WINDING}) {
    Canvas c(12, 12);
    SelectObject(c.Dc, GetStockObject(BLACK_BRUSH));
    SetPolyFillMode(c.Dc, mode);
    BeginPath(c.Dc);
    Rectangle(c.Dc, 1, 1, 11, 11);
    Rectangle(c.Dc, 4, 4, 8, 8);
    EndPath(c.Dc);
    FillPath(c.Dc);
    EXPECT_EQ(c.Count(kBlack), mode == ALTERNATE ? 81 - 9 : 81);
    EXPECT_EQ(c.At(5, 5), mode == ALTERNATE ? kWhite : kBlack);
    EXPECT_EQ(c.At(1, 1), kBlack);
    EXPECT_EQ(c.At(10, 10), kWhite);
  }
  // The brush, the raster operation and the clip apply as to any fill.
  Canvas c(12, 12);
  SelectObject(c.Dc, GetStockObject(BLACK_BRUSH));
  IntersectClipRect(c.Dc, 0, 0, 6, 12);
  SetROP2(c.Dc, R2_NOT);
  BeginPath(c.Dc);
  Rectangle(c.Dc, 1, 1, 11, 11);
  EndPath(c.Dc);
  FillPath(c.Dc);
  EXPECT_EQ(c.Count(kBlack), 5 * 9);
}

TEST(Paths, RegionsAreInDeviceCoordinatesAndTheirPathGoes) {
  Canvas c(20, 20);
  SetWindowOrgEx(c.Dc, 10, 0, nullptr);
  SetViewportOrgEx(c.Dc, 0, 2, nullptr);
  EXPECT_EQ(PathToRegion(c.Dc), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CAN_NOT_COMPLETE) << "no path yet";
  EXPECT_FALSE(FillPath(c.Dc));
  BeginPath(c.Dc);
  const POINT triangle[] = {{12, 0}, {22, 0}, {12, 10}};
  Polygon(c.Dc, triangle, 3);
  EXPECT_EQ(PathToRegion(c.Dc), nullptr) << "an open bracket has no path to give";
  EndPath(c.Dc);
  HRGN rgn = PathToRegion(c.Dc);
  ASSERT_NE(rgn, nullptr);
  const POINT device[] = {{2, 2}, {12, 2}, {2, 12}};
  HRGN expected = CreatePolygonRgn(device, 3, ALTERNATE);
  EXPECT_TRUE(EqualRgn(rgn, expected)) << "the polygon's own region, moved by the origins";
  EXPECT_EQ(RegionPicture(rgn, 6, 5), (Rows{"......", "......", "..####", "..####", "..####"}));
  EXPECT_FALSE(StrokePath(c.Dc)) << "the path was used up";
  DeleteObject(expected);
  DeleteObject(rgn);

  // A path begun again starts empty; an aborted one is gone.
  BeginPath(c.Dc);
  Rectangle(c.Dc, 10, 0, 14, 4);
  BeginPath(c.Dc);
  EndPath(c.Dc);
  rgn = PathToRegion(c.Dc);
  RECT box{};
  EXPECT_EQ(GetRgnBox(rgn, &box), NULLREGION);
  DeleteObject(rgn);
  BeginPath(c.Dc);
  EndPath(c.Dc);
  AbortPath(c.Dc);
  EXPECT_FALSE(FillPath(c.Dc));
}

TEST(Paths, BeziersAndEllipsesAreFlattenedCloseToTheirCurves) {
  // A straight Bézier is its line; a curved one passes through the point
  // half-way along its parameter.
  Canvas c(40, 40);
  const POINT straight[] = {{2, 2}, {10, 2}, {20, 2}, {30, 2}};
  PolyBezier(c.Dc, straight, 4);
  EXPECT_EQ(c.Bounds(kBlack), (RECT{2, 2, 30, 3})) << "drawn with the pen outside a path, last point left out";
  const POINT curve[] = {{2, 30}, {2, 10}, {22, 10}, {22, 30}};
  PolyBezier(c.Dc, curve, 4);
  // B(1/2) = (P0 + 3 P1 + 3 P2 + P3) / 8 = (12, 15).
  EXPECT_EQ(c.At(12, 15), kBlack);
  EXPECT_EQ(c.At(12, 14), kWhite);
  EXPECT_EQ(c.At(12, 16), kWhite);
  EXPECT_FALSE(PolyBezier(c.Dc, curve, 3)) << "a curve needs three points after the start";
  POINT pos{};
  const POINT rest[] = {{30, 20}, {34, 20}, {38, 30}};
  MoveToEx(c.Dc, 26, 30, nullptr);
  PolyBezierTo(c.Dc, rest, 3);
  GetCurrentPositionEx(c.Dc, &pos);
  EXPECT_EQ(pos, (POINT{38, 30}));

  // A circle of radius 10 about (10, 10): whatever lies more than a pixel
  // inside is filled, whatever lies more than a pixel outside is not.
  Canvas e(24, 24);
  SelectObject(e.Dc, GetStockObject(BLACK_BRUSH));
  BeginPath(e.Dc);
  Ellipse(e.Dc, 0, 0, 21, 21);
  EndPath(e.Dc);
  FillPath(e.Dc);
  int wrong = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      const double d = std::hypot(x - 10.0, y - 10.0);
      if ((d < 9 && e.At(x, y) != kBlack) || (d > 11 && e.At(x, y) != kWhite)) ++wrong;
    }
  EXPECT_EQ(wrong, 0);
  SaveDCPng(e.Dc, "paths_circle.png");
  // With the pen the outline lies where the ellipse's own does.
  Canvas traced(24, 24), direct(24, 24);
  BeginPath(traced.Dc);
  Ellipse(traced.Dc, 2, 3, 21, 15);
  EndPath(traced.Dc);
  StrokePath(traced.Dc);
  Ellipse(direct.Dc, 2, 3, 21, 15);
  EXPECT_EQ(traced.Bounds(kBlack), direct.Bounds(kBlack));
  EXPECT_EQ(PixelsApart(traced, direct, kBlack), 0) << "every stroked pixel touches the drawn outline";
}

TEST(Paths, WideningGivesWhatTheWidePenPaints) {
  const int live = GdiLiveObjectCount();
  {
    HPEN wide = CreatePen(PS_SOLID, 5, kBlack);
    const POINT zigzag[] = {{6, 30}, {16, 8}, {26, 30}, {36, 12}, {40, 12}};
    // The wide pen's own line, the path stroked, the widened path filled
    // and the widened path's region agree pixel for pixel.
    Canvas line(48, 40), stroked(48, 40), widened(48, 40);
    for (HDC dc : {line.Dc, stroked.Dc, widened.Dc}) {
      SelectObject(dc, ToObj(wide));
      SelectObject(dc, GetStockObject(BLACK_BRUSH));
      SetROP2(dc, R2_NOT);  // a pixel painted twice would come back white
    }
    DrawAndRecord(line.Dc, {stroked.Dc, widened.Dc}, zigzag, 5);
    StrokePath(stroked.Dc);
    EXPECT_TRUE(WidenPath(widened.Dc));
    Canvas region(48, 40);
    SelectObject(region.Dc, ToObj(wide));
    BeginPath(region.Dc);
    Polyline(region.Dc, zigzag, 5);
    EndPath(region.Dc);
    WidenPath(region.Dc);
    HRGN rgn = PathToRegion(region.Dc);
    FillPath(widened.Dc);
    EXPECT_GT(line.Count(kBlack), 200);
    EXPECT_EQ(stroked.Picture(kBlack), line.Picture(kBlack));
    EXPECT_EQ(widened.Picture(kBlack), line.Picture(kBlack));
    EXPECT_EQ(RegionPicture(rgn, 48, 40), line.Picture(kBlack));
    SaveDCPng(widened.Dc, "paths_widened.png");
    DeleteObject(rgn);

    // A one-pixel pen cannot widen; the path stays.
    Canvas thin(10, 10);
    BeginPath(thin.Dc);
    Rectangle(thin.Dc, 1, 1, 8, 8);
    EndPath(thin.Dc);
    EXPECT_FALSE(WidenPath(thin.Dc));
    EXPECT_EQ(GetLastError(), ERROR_CAN_NOT_COMPLETE);
    SelectObject(thin.Dc, GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(FillPath(thin.Dc));
    EXPECT_EQ(thin.Count(kBlack), 36);

    // A widened frame keeps its hole under either rule.
    for (int mode : {ALTERNATE, WINDING}) {
      Canvas frame(30, 30);
      SelectObject(frame.Dc, ToObj(wide));
      SetPolyFillMode(frame.Dc, mode);
      BeginPath(frame.Dc);
      Rectangle(frame.Dc, 5, 5, 26, 26);
      EndPath(frame.Dc);
      WidenPath(frame.Dc);
      HRGN r = PathToRegion(frame.Dc);
      EXPECT_FALSE(PtInRegion(r, 15, 15)) << mode;
      EXPECT_TRUE(PtInRegion(r, 5, 15)) << mode;
      EXPECT_TRUE(PtInRegion(r, 3, 15)) << mode;
      EXPECT_FALSE(PtInRegion(r, 2, 15)) << mode;
      DeleteObject(r);
    }
    // A line far longer than any surface is widened over the rows a DC
    // can show: its surface's, and 2^15 on either side of the origin.
    Canvas tall(10, 10);
    SelectObject(tall.Dc, ToObj(wide));
    BeginPath(tall.Dc);
    MoveToEx(tall.Dc, 5, -1000000, nullptr);
    LineTo(tall.Dc, 5, 1000000);
    EndPath(tall.Dc);
    EXPECT_TRUE(WidenPath(tall.Dc));
    HRGN band = PathToRegion(tall.Dc);
    RECT box{};
    EXPECT_EQ(GetRgnBox(band, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{3, -32768, 8, 32768}));
    DeleteObject(band);
    // So are a dashed line's dashes, as many columns to either side.
    LOGBRUSH solid{BS_SOLID, kBlack, 0};
    HPEN dashes = ExtCreatePen(PS_GEOMETRIC | PS_DOT | PS_ENDCAP_FLAT, 3, &solid, 0, nullptr);
    SelectObject(tall.Dc, ToObj(dashes));
    BeginPath(tall.Dc);
    MoveToEx(tall.Dc, -4000000, 5, nullptr);
    LineTo(tall.Dc, 4000000, 5);
    EndPath(tall.Dc);
    EXPECT_TRUE(WidenPath(tall.Dc));
    HRGN dotted = PathToRegion(tall.Dc);
    EXPECT_EQ(GetRgnBox(dotted, &box), COMPLEXREGION);
    EXPECT_LE(std::abs(box.Left + 32768), 6) << box.Left;
    EXPECT_LE(std::abs(box.Right - 32768), 6) << box.Right;
    EXPECT_FALSE(PtInRegion(dotted, 2, 5) && PtInRegion(dotted, 5, 5)) << "a gap every three pixels";
    DeleteObject(dotted);
    SelectObject(tall.Dc, GetStockObject(BLACK_PEN));
    DeleteObject(dashes);

    SelectObject(line.Dc, GetStockObject(BLACK_PEN));
    SelectObject(stroked.Dc, GetStockObject(BLACK_PEN));
    SelectObject(widened.Dc, GetStockObject(BLACK_PEN));
    SelectObject(region.Dc, GetStockObject(BLACK_PEN));
    DeleteObject(wide);
  }
  EXPECT_EQ(GdiLiveObjectCount(), live);
}

TEST(Paths, GeometricPensWidenWithTheirCapsAndJoins) {
  const POINT corner[] = {{10, 30}, {10, 10}, {30, 10}};
  auto widen = [&](DWORD style, const POINT* pts, int n) {
    LOGBRUSH lb{BS_SOLID, kBlack, 0};
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | style, 6, &lb, 0, nullptr);
    Canvas c(1, 1);
    SelectObject(c.Dc, ToObj(pen));
    BeginPath(c.Dc);
    Polyline(c.Dc, pts, n);
    EndPath(c.Dc);
    WidenPath(c.Dc);
    HRGN rgn = PathToRegion(c.Dc);
    SelectObject(c.Dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
    return rgn;
  };
  auto box = [](HRGN r) {
    RECT b{};
    GetRgnBox(r, &b);
    return b;
  };
  auto kind = [](HRGN r) {
    RECT b{};
    return GetRgnBox(r, &b);
  };
  // A straight line six pixels wide: flat ends stop at its points, square
  // ones reach half the width beyond them.
  const POINT line[] = {{10, 10}, {30, 10}};
  HRGN flat = widen(PS_ENDCAP_FLAT, line, 2);
  EXPECT_EQ(box(flat), (RECT{10, 7, 30, 13}));
  EXPECT_EQ(kind(flat), SIMPLEREGION) << "exactly the rectangle";
  HRGN square = widen(PS_ENDCAP_SQUARE, line, 2);
  EXPECT_EQ(box(square), (RECT{7, 7, 33, 13}));
  // Joins: a miter fills the outer corner, a bevel cuts it, a round join
  // rounds it.
  HRGN miter = widen(PS_ENDCAP_FLAT | PS_JOIN_MITER, corner, 3);
  HRGN bevel = widen(PS_ENDCAP_FLAT | PS_JOIN_BEVEL, corner, 3);
  HRGN round = widen(PS_ENDCAP_FLAT | PS_JOIN_ROUND, corner, 3);
  EXPECT_EQ(box(miter), (RECT{7, 7, 30, 30}));
  EXPECT_TRUE(PtInRegion(miter, 7, 7));
  EXPECT_FALSE(PtInRegion(bevel, 7, 7));
  EXPECT_TRUE(PtInRegion(bevel, 9, 9)) << "the bevel's diagonal runs from (7, 10) to (10, 7)";
  EXPECT_FALSE(PtInRegion(bevel, 8, 8));
  EXPECT_FALSE(PtInRegion(round, 7, 7));
  EXPECT_TRUE(PtInRegion(round, 8, 8));
  for (HRGN r : {flat, square, miter, bevel, round}) DeleteObject(r);
}

TEST(Paths, ArcsChordsAndPiesAreRecordedAsTheirFigures) {
  // A circle of radius 10 about (10, 10); the radials point right and up,
  // so the shapes take the upper-right quarter (counter-clockwise from
  // the right) or the other three (clockwise).
  enum Kind { kArc, kChord, kPie };
  auto trace = [](Canvas& c, Kind kind, int direction) {
    SetArcDirection(c.Dc, direction);
    BeginPath(c.Dc);
    if (kind == kArc) Arc(c.Dc, 0, 0, 21, 21, 20, 10, 10, 0);
    if (kind == kChord) Chord(c.Dc, 0, 0, 21, 21, 20, 10, 10, 0);
    if (kind == kPie) Pie(c.Dc, 0, 0, 21, 21, 20, 10, 10, 0);
    EndPath(c.Dc);
  };
  for (Kind kind : {kArc, kChord, kPie}) {
    Canvas c(24, 24);
    SelectObject(c.Dc, GetStockObject(BLACK_BRUSH));
    trace(c, kind, AD_COUNTERCLOCKWISE);
    EXPECT_EQ(c.Count(kBlack), 0) << "nothing is drawn while the path is recorded (" << kind << ")";
    HRGN rgn = PathToRegion(c.Dc);
    ASSERT_NE(rgn, nullptr) << kind;
    RECT box{};
    GetRgnBox(rgn, &box);
    if (kind == kArc) {
      // Filled, the open arc closes on its chord.
      EXPECT_TRUE(PtInRegion(rgn, 16, 4));
      EXPECT_FALSE(PtInRegion(rgn, 13, 7)) << "inside the pie, not beyond the chord";
    } else if (kind == kChord) {
      EXPECT_TRUE(PtInRegion(rgn, 16, 4));
      EXPECT_FALSE(PtInRegion(rgn, 13, 7));
    } else {
      EXPECT_TRUE(PtInRegion(rgn, 16, 4));
      EXPECT_TRUE(PtInRegion(rgn, 13, 7)) << "the pie reaches the centre";
    }
    EXPECT_GE(box.Left, 9) << kind;
    EXPECT_LE(box.Bottom, 12) << kind;
    EXPECT_GE(box.Right, 19) << kind;
    EXPECT_LE(box.Top, 1) << kind;
    DeleteObject(rgn);
  }

  // Filled, a pie is its quarter of the disc: whatever lies more than a
  // pixel inside is painted, whatever lies more than a pixel outside not.
  for (int direction : {AD_COUNTERCLOCKWISE, AD_CLOCKWISE}) {
    Canvas c(24, 24);
    SelectObject(c.Dc, GetStockObject(BLACK_BRUSH));
    trace(c, kPie, direction);
    FillPath(c.Dc);
    int wrong = 0;
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x) {
        const double d = std::hypot(x - 10.0, y - 10.0);
        const bool quarter = x > 11 && y < 9, others = x < 9 || y > 11;
        const bool in = direction == AD_COUNTERCLOCKWISE ? quarter : others;
        const bool out = direction == AD_COUNTERCLOCKWISE ? others : quarter;
        if ((d < 9 && in && c.At(x, y) != kBlack) || ((d > 11 || out) && c.At(x, y) != kWhite)) ++wrong;
      }
    EXPECT_EQ(wrong, 0) << (direction == AD_CLOCKWISE ? "clockwise" : "counter-clockwise");
  }

  // Stroked, the arc lies where the arc drawn directly does, and the
  // figure after it starts at the current position as after any arc.
  Canvas traced(24, 24), direct(24, 24);
  MoveToEx(traced.Dc, 2, 22, nullptr);
  BeginPath(traced.Dc);
  Arc(traced.Dc, 0, 0, 21, 21, 20, 10, 10, 0);
  LineTo(traced.Dc, 6, 22);
  EndPath(traced.Dc);
  StrokePath(traced.Dc);
  Arc(direct.Dc, 0, 0, 21, 21, 20, 10, 10, 0);
  MoveToEx(direct.Dc, 2, 22, nullptr);
  LineTo(direct.Dc, 6, 22);
  EXPECT_GT(traced.Count(kBlack), 15);
  EXPECT_EQ(PixelsApart(traced, direct, kBlack), 0) << "every stroked pixel touches the drawn arc or line";
  EXPECT_EQ(traced.Picture(kBlack, 0, 22, 8, 23), direct.Picture(kBlack, 0, 22, 8, 23));

  // Radials that coincide take the whole ellipse.
  Canvas whole(24, 24);
  SelectObject(whole.Dc, GetStockObject(BLACK_BRUSH));
  BeginPath(whole.Dc);
  Pie(whole.Dc, 0, 0, 21, 21, 20, 10, 20, 10);
  EndPath(whole.Dc);
  FillPath(whole.Dc);
  EXPECT_EQ(whole.At(3, 10), kBlack);
  EXPECT_EQ(whole.At(10, 17), kBlack);
  EXPECT_EQ(whole.At(17, 10), kBlack);
}

TEST(Paths, RoundedRectanglesAreRecordedWithTheirCorners) {
  auto region = [](auto draw) {
    Canvas c(40, 40);
    BeginPath(c.Dc);
    draw(c.Dc);
    EXPECT_EQ(c.Count(kBlack), 0) << "nothing is drawn while the path is recorded";
    EndPath(c.Dc);
    return PathToRegion(c.Dc);
  };
  // Corners of nothing are a rectangle's; corners the size of the box
  // are an ellipse's.
  HRGN square = region([](HDC dc) { RoundRect(dc, 2, 3, 30, 20, 0, 0); });
  HRGN box = region([](HDC dc) { Rectangle(dc, 2, 3, 30, 20); });
  EXPECT_TRUE(EqualRgn(square, box));
  HRGN full = region([](HDC dc) { RoundRect(dc, 2, 3, 30, 20, 28, 17); });
  HRGN oval = region([](HDC dc) { Ellipse(dc, 2, 3, 30, 20); });
  EXPECT_TRUE(EqualRgn(full, oval));
  // Corners of 12 by 8 cut the box's corners and leave its edges.
  HRGN round = region([](HDC dc) { RoundRect(dc, 2, 3, 30, 20, 12, 8); });
  EXPECT_FALSE(PtInRegion(round, 3, 4));
  EXPECT_FALSE(PtInRegion(round, 28, 18));
  EXPECT_TRUE(PtInRegion(round, 15, 3));
  EXPECT_TRUE(PtInRegion(round, 2, 11));
  EXPECT_TRUE(PtInRegion(round, 8, 8));
  RECT bounds{};
  GetRgnBox(round, &bounds);
  EXPECT_EQ(bounds, (RECT{2, 3, 29, 19})) << "the box less the outline's room, as a rectangle's";
  for (HRGN r : {square, box, full, oval, round}) DeleteObject(r);
}

TEST(Paths, StrokingPaintsWithWhatThePenPaints) {
  const int live = GdiLiveObjectCount();
  {
    const POINT corner[] = {{5, 5}, {30, 5}, {30, 25}};
    // A wide pen of a null brush draws nothing, and one of a hatch draws
    // the hatch, stroked along a path as along its lines.
    LOGBRUSH none{BS_NULL, kBlack, 0}, hatch{BS_HATCHED, kBlack, HS_CROSS};
    for (const LOGBRUSH& lb : {none, hatch}) {
      HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID, 7, &lb, 0, nullptr);
      ASSERT_NE(pen, nullptr);
      Canvas line(40, 32), stroked(40, 32);
      for (HDC dc : {line.Dc, stroked.Dc}) SelectObject(dc, ToObj(pen));
      DrawAndRecord(line.Dc, {stroked.Dc}, corner, 3);
      StrokePath(stroked.Dc);
      EXPECT_EQ(stroked.Picture(kBlack), line.Picture(kBlack)) << (lb.lbStyle == BS_NULL ? "null" : "hatch");
      EXPECT_EQ(stroked.Count(kWhite), line.Count(kWhite));
      for (HDC dc : {line.Dc, stroked.Dc}) SelectObject(dc, GetStockObject(BLACK_PEN));
      DeleteObject(pen);
    }

    // A geometric pen's dashes break a stroked or widened path where they
    // break its lines, caps and joins and all.
    const POINT zigzag[] = {{4, 28}, {14, 6}, {26, 28}, {40, 10}, {52, 10}};
    const DWORD dashed[] = {PS_DASH | PS_ENDCAP_FLAT | PS_JOIN_MITER, PS_DASHDOT | PS_ENDCAP_FLAT | PS_JOIN_ROUND,
                            PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, PS_USERSTYLE | PS_ENDCAP_ROUND};
    const DWORD user[] = {5, 7};
    for (DWORD style : dashed) {
      LOGBRUSH solid{BS_SOLID, kBlack, 0};
      const bool own = (style & PS_STYLE_MASK) == PS_USERSTYLE;
      HPEN pen = ExtCreatePen(PS_GEOMETRIC | style, 3, &solid, own ? 2 : 0, own ? user : nullptr);
      Canvas line(58, 34), stroked(58, 34), widened(58, 34);
      for (HDC dc : {line.Dc, stroked.Dc, widened.Dc}) {
        SelectObject(dc, ToObj(pen));
        SelectObject(dc, GetStockObject(BLACK_BRUSH));
      }
      DrawAndRecord(line.Dc, {stroked.Dc, widened.Dc}, zigzag, 5);
      StrokePath(stroked.Dc);
      EXPECT_TRUE(WidenPath(widened.Dc));
      FillPath(widened.Dc);
      EXPECT_GT(line.Count(kWhite), 58 * 34 - 230) << "the line is broken: " << style;
      EXPECT_EQ(stroked.Picture(kBlack), line.Picture(kBlack)) << style;
      EXPECT_EQ(widened.Picture(kBlack), line.Picture(kBlack)) << style;
      if (style == dashed[1]) SaveDCPng(stroked.Dc, "paths_dashed_stroke.png");
      for (HDC dc : {line.Dc, stroked.Dc, widened.Dc}) SelectObject(dc, GetStockObject(BLACK_PEN));
      DeleteObject(pen);
    }

    // Calls with no lines or curves add nothing: a wide pen's round ends
    // would otherwise leave a dot at their point.
    HPEN wide = CreatePen(PS_SOLID, 9, kBlack);
    Canvas c(40, 40);
    SelectObject(c.Dc, ToObj(wide));
    const POINT start[] = {{10, 10}};
    MoveToEx(c.Dc, 20, 20, nullptr);
    PolyBezierTo(c.Dc, nullptr, 0);
    PolylineTo(c.Dc, nullptr, 0);
    PolyBezier(c.Dc, start, 1);
    BeginPath(c.Dc);
    PolylineTo(c.Dc, nullptr, 0);
    PolyBezierTo(c.Dc, nullptr, 0);
    PolyBezier(c.Dc, start, 1);
    EndPath(c.Dc);
    StrokePath(c.Dc);
    EXPECT_EQ(c.Count(kBlack), 0);
    SelectObject(c.Dc, GetStockObject(BLACK_PEN));
    DeleteObject(wide);
  }
  EXPECT_EQ(GdiLiveObjectCount(), live);
}
