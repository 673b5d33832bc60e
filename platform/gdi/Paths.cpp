#include "platform/gdi/Paths.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "platform/gdi/Geometry.h"
#include "platform/gdi/Lines.h"
#include "platform/gdi/MetafileRecorder.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Recorder.h"
#include "platform/gdi/Regions.h"

namespace win::gdi {

namespace {

constexpr int U = Path::kUnit;
// Path points stay this many pixels from the device origin at most, so
// their sixteenths fit 32 bits with room for a pen's width around them.
constexpr long long kPathLimit = 1 << 23;
// Curves are flattened until a piece strays at most this far from its
// chord, in sixteenths of a pixel.
constexpr double kFlatness = 2.0;
// The most pieces one curve becomes.
constexpr int kMaxPieces = 1024;
// The magic number of a quarter ellipse drawn as a cubic Bézier.
constexpr double kQuarter = 0.5522847498307936;
// Regions made from paths are scanned over at most these rows, as
// shapes made into regions are.
constexpr RowWindow kRegionRows{-(1 << 20), 1 << 20};
// Widening keeps the rows of the DC's surface and at least these many
// above and below the device origin (what 16-bit coordinates reach), and
// a broken pen's dashes as many columns to either side: a path far
// longer is widened only there, where anything can be drawn, so its cost
// stays that of what can show.
constexpr int kWideningRows = 1 << 15;
// A miter longer than this many pen widths becomes a bevel.
constexpr double kMiterLimit = 10.0;

struct PointF {
  double X, Y;
};

// A logical coordinate in sixteenths of a device pixel.
int SubX(const DC& dc, long long x) {
  return int(std::clamp<long long>(ClampCoord(x) + dc.S.ViewportOrg.X - dc.S.WindowOrg.X, -kPathLimit, kPathLimit) *
             U);
}
int SubY(const DC& dc, long long y) {
  return int(std::clamp<long long>(ClampCoord(y) + dc.S.ViewportOrg.Y - dc.S.WindowOrg.Y, -kPathLimit, kPathLimit) *
             U);
}
POINT Sub(const DC& dc, int x, int y) { return {SubX(dc, x), SubY(dc, y)}; }

POINT Rounded(PointF p) { return {int(std::lround(p.X)), int(std::lround(p.Y))}; }

// Adds the curve from p0 in even steps of its parameter: with n steps a
// cubic strays from its chords by at most an eighth of its second
// difference's size over n squared, which settles n.
void AddCurve(Path& path, PointF p0, PointF p1, PointF p2, PointF p3) {
  auto norm = [](double x, double y) { return std::sqrt(x * x + y * y); };
  const double dd = std::max(norm(p0.X - 2 * p1.X + p2.X, p0.Y - 2 * p1.Y + p2.Y),
                             norm(p1.X - 2 * p2.X + p3.X, p1.Y - 2 * p2.Y + p3.Y));
  const double steps = std::ceil(std::sqrt(6.0 * dd / (8.0 * kFlatness)));
  const int n = std::isfinite(steps) ? std::clamp(int(steps), 1, kMaxPieces) : kMaxPieces;
  for (int i = 1; i < n; ++i) {
    const double t = double(i) / n, s = 1 - t;
    const double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
    path.Add(Rounded({a * p0.X + b * p1.X + c * p2.X + d * p3.X, a * p0.Y + b * p1.Y + c * p2.Y + d * p3.Y}));
  }
  path.Add(Rounded(p3));
}

// The pixel a path point falls in, when lines are drawn through it (the
// shift divides by sixteen rounding down).
static_assert(U == 16);
POINT Pixel(POINT p) { return {(p.X + U / 2) >> 4, (p.Y + U / 2) >> 4}; }

// A figure's points as whole pixels, repeats left out (and the last one
// of a closed figure when it is the first again).
void PixelsOf(const Path& path, std::size_t base, int count, bool closed, std::vector<POINT>& out) {
  out.clear();
  for (int i = 0; i < count; ++i) {
    POINT q = Pixel(path.Points[base + std::size_t(i)]);
    if (out.empty() || out.back() != q) out.push_back(q);
  }
  if (closed && out.size() > 1 && out.back() == out.front()) out.pop_back();
}

// ---- Widening ----

// What a pen's stroke is made of around its lines.
struct PenShape {
  int Width = 1;
  UINT Cap = PS_ENDCAP_ROUND;
  UINT Join = PS_JOIN_ROUND;
};

PenShape ShapeOf(const Pen& pen) {
  PenShape s;
  s.Width = std::max(pen.Width, 1);
  if (pen.Extended && (pen.Flags & PS_TYPE_MASK) == PS_GEOMETRIC) {
    s.Cap = pen.Flags & PS_ENDCAP_MASK;
    s.Join = pen.Flags & PS_JOIN_MASK;
  }
  return s;
}

// Collects the pieces of a stroke: discs as pixel rows, everything else
// as polygons in sixteenths, all turned the same way so that their union
// is what the winding rule fills.
class StrokeBuilder {
 public:
  StrokeBuilder(const PenShape& shape, RowWindow window) : Shape(shape), Window(window) {}

  // The same disc a wide pen puts at the ends of its lines.
  void Disc(DPoint p) {
    const int w = Shape.Width, h = w / 2;
    const POINT c{int(std::lround(p.X)), int(std::lround(p.Y))};
    EllipseRows({c.X - h, c.Y - h, c.X - h + w, c.Y - h + w}, Rows, Window);
    for (const RowSpan& r : Rows)
      if (r.Left < r.Right) Spans.push_back(r);
  }

  void Polygon(std::initializer_list<PointF> pts) {
    double area = 0;
    const PointF* p = pts.begin();
    const std::size_t n = pts.size();
    for (std::size_t i = 0; i < n; ++i) {
      const PointF& a = p[i];
      const PointF& b = p[(i + 1) % n];
      area += a.X * b.Y - b.X * a.Y;
    }
    if (area == 0 || !std::isfinite(area)) return;
    for (std::size_t i = 0; i < n; ++i) {
      const PointF& q = area > 0 ? p[i] : p[n - 1 - i];
      Points.push_back({int(std::lround(q.X * U)), int(std::lround(q.Y * U))});
    }
    Counts.push_back(INT(n));
  }

  // The band of a line: its ends moved sideways by half the width, as a
  // wide pen draws it, and along it by the given lengths (a square end).
  void Band(DPoint a, DPoint b, double extendA, double extendB) {
    const double dx = b.X - a.X, dy = b.Y - a.Y, len = std::sqrt(dx * dx + dy * dy);
    const double ux = dx / len, uy = dy / len;
    const double nx = -uy * Shape.Width / 2.0, ny = ux * Shape.Width / 2.0;
    const double x0 = a.X - ux * extendA, y0 = a.Y - uy * extendA, x1 = b.X + ux * extendB, y1 = b.Y + uy * extendB;
    Polygon({{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}});
  }

  // A lone point: a round dot, a square one, or nothing for flat ends.
  void Dot(DPoint p) {
    if (Shape.Cap == PS_ENDCAP_FLAT) return;
    if (Shape.Cap != PS_ENDCAP_SQUARE) return Disc(p);
    const double h = Shape.Width / 2.0;
    Polygon({{p.X - h, p.Y - h}, {p.X + h, p.Y - h}, {p.X + h, p.Y + h}, {p.X - h, p.Y + h}});
  }

  // The join at v of the line arriving from a and the one leaving to b.
  void Join(DPoint a, DPoint v, DPoint b) {
    if (Shape.Join == PS_JOIN_ROUND) return Disc(v);
    double x1 = v.X - a.X, y1 = v.Y - a.Y, x2 = b.X - v.X, y2 = b.Y - v.Y;
    const double l1 = std::sqrt(x1 * x1 + y1 * y1), l2 = std::sqrt(x2 * x2 + y2 * y2);
    x1 /= l1, y1 /= l1, x2 /= l2, y2 /= l2;
    const double cross = x1 * y2 - y1 * x2, dot = x1 * x2 + y1 * y2;
    if (cross == 0) return;  // straight on, or straight back: nothing sticks out
    // The outer side is away from the turn.
    const double h = Shape.Width / 2.0, s = cross > 0 ? -h : h;
    const PointF p1{v.X - y1 * s, v.Y + x1 * s}, p2{v.X - y2 * s, v.Y + x2 * s};
    const bool miter = Shape.Join == PS_JOIN_MITER && std::sqrt(2.0 / (1.0 + dot)) <= kMiterLimit;
    if (!miter) return Polygon({{v.X, v.Y}, p1, p2});
    const double k = 1.0 / (1.0 + dot);
    const PointF m{v.X + (-y1 - y2) * s * k, v.Y + (x1 + x2) * s * k};
    Polygon({{v.X, v.Y}, p1, m, p2});
  }

  void Figure(std::vector<DPoint>& pts, bool closed) {
    pts.erase(std::unique(pts.begin(), pts.end()), pts.end());
    if (closed && pts.size() > 1 && pts.front() == pts.back()) pts.pop_back();
    const std::size_t n = pts.size();
    if (n == 0) return;
    if (n == 1) return Dot(pts[0]);
    const bool round = Shape.Cap == PS_ENDCAP_ROUND && Shape.Join == PS_JOIN_ROUND;
    // Square ends lengthen the first and last lines by half the width.
    const double h = !closed && Shape.Cap == PS_ENDCAP_SQUARE ? Shape.Width / 2.0 : 0.0;
    const std::size_t segments = closed ? n : n - 1;
    for (std::size_t i = 0; i < segments; ++i) {
      const DPoint& a = pts[i];
      const DPoint& b = pts[(i + 1) % n];
      Band(a, b, i == 0 ? h : 0.0, i + 1 == segments ? h : 0.0);
      // Round ends and joins: a disc at both ends of every line, as lines
      // drawn with a wide pen have them.
      if (round) Disc(a), Disc(b);
    }
    if (round) return;
    for (std::size_t i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i)
      Join(pts[(i + n - 1) % n], pts[i], pts[(i + 1) % n]);
    if (!closed && Shape.Cap == PS_ENDCAP_ROUND) Disc(pts[0]), Disc(pts[n - 1]);
  }

  void Finish(Region& out) {
    if (!Counts.empty()) {
      ScanPolygons(Points.data(), Counts.data(), int(Counts.size()), WINDING, Scan, U, Window);
      for (int y = Scan.Top; y < Scan.Bottom; ++y) {
        const int i0 = Scan.RowStart[std::size_t(y - Scan.Top)], i1 = Scan.RowStart[std::size_t(y - Scan.Top + 1)];
        for (int i = i0; i < i1; ++i) Spans.push_back({y, Scan.Spans[2 * std::size_t(i)], Scan.Spans[2 * std::size_t(i) + 1]});
      }
    }
    std::sort(Spans.begin(), Spans.end(), [](const RowSpan& a, const RowSpan& b) {
      return a.Y != b.Y ? a.Y < b.Y : a.Left < b.Left;
    });
    Region::Builder builder(out);
    for (const RowSpan& r : Spans) builder.AddSpan(r.Y, r.Y + 1, r.Left, r.Right);
    builder.Finish();
  }

 private:
  PenShape Shape;
  RowWindow Window;
  std::vector<RowSpan> Rows, Spans;
  std::vector<POINT> Points;
  std::vector<INT> Counts;
  PolySpans Scan;
};

// The pixels stroking the path with a pen wider than one pixel paints,
// in device coordinates, over the given rows. A geometric pen's dashes
// are figures of their own, as its lines have them; only those near the
// given columns are made, so a long path's dashes cost what can show.
void WidenedRegion(const Path& path, const Pen& pen, RowWindow rows, RowWindow columns, Region& out) {
  StrokeBuilder stroke(ShapeOf(pen), rows);
  const DashPattern dashes = DashesOf(pen);
  const double margin = pen.Width + 2.0;
  const DPoint lo{columns.From - margin, rows.From - margin}, hi{columns.To + margin, rows.To + margin};
  std::vector<POINT> pixels;
  std::vector<DPoint> pts;
  std::size_t base = 0;
  for (std::size_t f = 0; f < path.Counts.size(); ++f) {
    const bool closed = path.Closed[f];
    PixelsOf(path, base, path.Counts[f], closed, pixels);
    base += std::size_t(path.Counts[f]);
    pts.clear();
    for (const POINT& p : pixels) pts.push_back({double(p.X), double(p.Y)});
    if (dashes && pts.size() > 1)
      WalkDashes(pts, closed && pts.size() > 2, dashes, lo, hi,
                 [&stroke](std::vector<DPoint>& dash) { stroke.Figure(dash, false); });
    else
      stroke.Figure(pts, closed);
  }
  stroke.Finish(out);
}

// The outline of a region as closed figures along its pixel edges, each
// turned so that the inside lies to its right on the screen: filled
// under either rule they give the region's pixels again.
void OutlineOf(const Region& region, Path& out) {
  struct Edge {
    int X0, Y0, X1, Y1;
  };
  std::vector<Edge> edges;
  const std::vector<TRect>& rects = region.Rects;
  for (const TRect& r : rects) {
    edges.push_back({r.Left, r.Bottom, r.Left, r.Top});
    edges.push_back({r.Right, r.Top, r.Right, r.Bottom});
  }
  // Horizontal edges lie where a band's spans are not matched by the
  // touching band's: the tops of the lower band's, the bottoms of the
  // upper one's.
  auto spansOf = [&](std::size_t from, std::size_t to) {
    std::vector<std::pair<int, int>> s;
    for (std::size_t i = from; i < to; ++i) s.push_back({rects[i].Left, rects[i].Right});
    return s;
  };
  auto minus = [](const std::vector<std::pair<int, int>>& a, const std::vector<std::pair<int, int>>& b) {
    std::vector<std::pair<int, int>> out;
    std::size_t j = 0;
    for (auto [l, r] : a) {
      int x = l;
      while (j < b.size() && b[j].second <= x) ++j;
      for (std::size_t k = j; k < b.size() && b[k].first < r; ++k) {
        if (b[k].first > x) out.push_back({x, b[k].first});
        x = std::max(x, b[k].second);
      }
      if (x < r) out.push_back({x, r});
    }
    return out;
  };
  std::vector<std::pair<int, int>> above;
  int aboveBottom = 0;
  bool haveAbove = false;
  for (std::size_t i = 0; i < rects.size();) {
    std::size_t j = i;
    while (j < rects.size() && rects[j].Top == rects[i].Top) ++j;
    const int top = rects[i].Top, bottom = rects[i].Bottom;
    std::vector<std::pair<int, int>> band = spansOf(i, j);
    const std::vector<std::pair<int, int>> none;
    const bool touching = haveAbove && aboveBottom == top;
    if (haveAbove && !touching)
      for (auto [l, r] : above) edges.push_back({r, aboveBottom, l, aboveBottom});
    for (auto [l, r] : minus(band, touching ? above : none)) edges.push_back({l, top, r, top});
    if (touching)
      for (auto [l, r] : minus(above, band)) edges.push_back({r, top, l, top});
    above = std::move(band);
    aboveBottom = bottom;
    haveAbove = true;
    i = j;
  }
  if (haveAbove)
    for (auto [l, r] : above) edges.push_back({r, aboveBottom, l, aboveBottom});

  // Every corner has as many edges leaving as arriving, so following
  // unused edges from any edge comes back to where it started.
  auto key = [](int x, int y) { return (std::uint64_t(std::uint32_t(y)) << 32) | std::uint32_t(x); };
  std::vector<std::pair<std::uint64_t, std::size_t>> starts;
  starts.reserve(edges.size());
  for (std::size_t i = 0; i < edges.size(); ++i) starts.push_back({key(edges[i].X0, edges[i].Y0), i});
  std::sort(starts.begin(), starts.end());
  std::vector<bool> used(edges.size(), false);
  std::vector<POINT> loop;
  for (std::size_t first = 0; first < edges.size(); ++first) {
    if (used[first]) continue;
    loop.clear();
    std::size_t e = first;
    for (;;) {
      used[e] = true;
      loop.push_back({edges[e].X0, edges[e].Y0});
      const std::uint64_t k = key(edges[e].X1, edges[e].Y1);
      auto it = std::lower_bound(starts.begin(), starts.end(), std::make_pair(k, std::size_t(0)));
      while (it != starts.end() && it->first == k && used[it->second]) ++it;
      if (it == starts.end() || it->first != k) break;
      e = it->second;
    }
    // Corners only: a point between two edges in one line goes.
    std::vector<POINT> corners;
    const std::size_t n = loop.size();
    for (std::size_t i = 0; i < n; ++i) {
      const POINT& a = loop[(i + n - 1) % n];
      const POINT& b = loop[i];
      const POINT& c = loop[(i + 1) % n];
      if ((a.X == b.X && b.X == c.X) || (a.Y == b.Y && b.Y == c.Y)) continue;
      corners.push_back(b);
    }
    if (corners.size() < 3) continue;
    out.StartFigure({corners[0].X * U, corners[0].Y * U});
    for (std::size_t i = 1; i < corners.size(); ++i) out.Add({corners[i].X * U, corners[i].Y * U});
    out.CloseFigure();
  }
}

// The path's interior under a fill mode, over the given rows; the points
// are moved by (dx, dy) pixels first.
void ScanPath(const Path& path, int mode, int dx, int dy, RowWindow window, PolySpans& spans) {
  thread_local std::vector<POINT> pts;
  pts.resize(path.Points.size());
  for (std::size_t i = 0; i < pts.size(); ++i) pts[i] = {path.Points[i].X + dx * U, path.Points[i].Y + dy * U};
  ScanPolygons(pts.data(), path.Counts.data(), int(path.Counts.size()), mode, spans, U, window);
}

void FillFigures(DC& dc, const Path& path) {
  Paint paint;
  if (path.Points.empty() || dc.Eff.IsEmpty() || !BrushPaint(dc, dc.S.CurBrush, Rop2ToRop3(dc.S.Rop2), paint)) return;
  thread_local PolySpans spans;
  ScanPath(path, dc.S.FillMode, dc.Origin.X, dc.Origin.Y, {dc.Eff.Box().Top, dc.Eff.Box().Bottom}, spans);
  for (int y = spans.Top; y < spans.Bottom; ++y) {
    const int i0 = spans.RowStart[std::size_t(y - spans.Top)], i1 = spans.RowStart[std::size_t(y - spans.Top + 1)];
    for (int i = i0; i < i1; ++i)
      PaintClippedSpan(dc, y, spans.Spans[2 * std::size_t(i)], spans.Spans[2 * std::size_t(i) + 1], paint);
  }
}

void StrokeFigures(DC& dc, const Path& path) {
  const Pen* pen = dc.S.CurPen;
  if (!pen || pen->Style == PS_NULL || dc.Eff.IsEmpty()) return;
  if (pen->Width > 1) {
    // Wide pens paint what widening the path gives, so a widened path
    // filled and the path stroked agree to the pixel; with the pen's own
    // paint, as its lines have it (a geometric pen's brush, or nothing).
    Paint paint;
    if (!PenPaint(dc, Rop2ToRop3(dc.S.Rop2), paint)) return;
    const TRect& clip = dc.Eff.Box();
    thread_local Region stroke;
    WidenedRegion(path, *pen, {clip.Top - dc.Origin.Y, clip.Bottom - dc.Origin.Y},
                  {clip.Left - dc.Origin.X, clip.Right - dc.Origin.X}, stroke);
    stroke.Offset(dc.Origin.X, dc.Origin.Y);
    for (const TRect& r : stroke.Rects) PaintRect(dc, r, paint);
    return;
  }
  Stroker st(dc);
  std::vector<POINT> pts;
  std::size_t base = 0;
  for (std::size_t f = 0; f < path.Counts.size(); ++f) {
    const bool closed = path.Closed[f];
    PixelsOf(path, base, path.Counts[f], closed, pts);
    base += std::size_t(path.Counts[f]);
    const std::size_t n = pts.size();
    const std::size_t segments = n < 2 ? 0 : closed ? n : n - 1;
    for (std::size_t i = 0; i < segments; ++i) {
      const POINT& a = pts[i];
      const POINT& b = pts[(i + 1) % n];
      st.Segment(a.X + dc.Origin.X, a.Y + dc.Origin.Y, b.X + dc.Origin.X, b.Y + dc.Origin.Y);
    }
  }
  st.Finish();
}

DC* PathDC(HDC hdc) {
  DC* dc = LookupDC(hdc);
  if (!dc) SetLastError(ERROR_INVALID_HANDLE);
  return dc;
}

// The DC's path when its bracket has been closed; fails otherwise.
Path* ClosedPath(DC& dc) {
  if (!dc.CurPath || dc.CurPath->Open) {
    SetLastError(ERROR_CAN_NOT_COMPLETE);
    return nullptr;
  }
  return dc.CurPath;
}

// The DC's path while its bracket is open; fails otherwise.
Path* OpenPath(DC& dc) {
  if (!PathOpen(dc)) {
    SetLastError(ERROR_CAN_NOT_COMPLETE);
    return nullptr;
  }
  return dc.CurPath;
}

void ForgetPath(DC& dc) {
  delete dc.CurPath;
  dc.CurPath = nullptr;
}

}  // namespace

void Path::Clear() {
  Open = InFigure = false;
  Points.clear();
  Counts.clear();
  Closed.clear();
}

void Path::StartFigure(POINT p) {
  Points.push_back(p);
  Counts.push_back(1);
  Closed.push_back(false);
  InFigure = true;
}

void Path::Add(POINT p) {
  if (!InFigure) return StartFigure(p);
  if (Points.back() == p) return;
  Points.push_back(p);
  ++Counts.back();
}

void Path::CloseFigure() {
  if (!InFigure) return;
  Closed.back() = true;
  InFigure = false;
}

void Path::AddBezier(POINT c1, POINT c2, POINT end) {
  const POINT& s = Points.back();
  AddCurve(*this, {double(s.X), double(s.Y)}, {double(c1.X), double(c1.Y)}, {double(c2.X), double(c2.Y)},
           {double(end.X), double(end.Y)});
}

void PathMoveTo(DC& dc) { dc.CurPath->InFigure = false; }

void PathLineTo(DC& dc, int x, int y) {
  Path& path = *dc.CurPath;
  if (!path.InFigure) path.StartFigure(Sub(dc, dc.S.CurPos.X, dc.S.CurPos.Y));
  path.Add(Sub(dc, x, y));
  dc.S.CurPos = {ClampCoord(x), ClampCoord(y)};
}

void PathPolyline(DC& dc, const POINT* pts, int count, bool fromCurrent) {
  // No points draw no line: not even the dot a figure of one point is.
  if (count <= 0) return;
  Path& path = *dc.CurPath;
  int i = 0;
  if (!fromCurrent) {
    path.StartFigure(Sub(dc, pts[0].X, pts[0].Y));
    i = 1;
  } else if (!path.InFigure) {
    path.StartFigure(Sub(dc, dc.S.CurPos.X, dc.S.CurPos.Y));
  }
  for (; i < count; ++i) path.Add(Sub(dc, pts[i].X, pts[i].Y));
  if (!fromCurrent) path.InFigure = false;
  else if (count > 0) dc.S.CurPos = {ClampCoord(pts[count - 1].X), ClampCoord(pts[count - 1].Y)};
}

void PathPolygons(DC& dc, const POINT* pts, const INT* counts, int polygons) {
  Path& path = *dc.CurPath;
  for (int p = 0; p < polygons; ++p) {
    path.StartFigure(Sub(dc, pts[0].X, pts[0].Y));
    for (int i = 1; i < counts[p]; ++i) path.Add(Sub(dc, pts[i].X, pts[i].Y));
    path.CloseFigure();
    pts += counts[p];
  }
}

void PathRectangle(DC& dc, int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  // The corners the outline runs through.
  const int l = SubX(dc, left), t = SubY(dc, top), r = SubX(dc, right - 1LL), b = SubY(dc, bottom - 1LL);
  Path& path = *dc.CurPath;
  path.StartFigure({l, t});
  if (dc.S.ArcDirection == AD_CLOCKWISE) {
    path.Add({r, t});
    path.Add({r, b});
    path.Add({l, b});
  } else {
    path.Add({l, b});
    path.Add({r, b});
    path.Add({r, t});
  }
  path.CloseFigure();
}

void PathEllipse(DC& dc, int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  const double l = SubX(dc, left), t = SubY(dc, top), r = SubX(dc, right - 1LL), b = SubY(dc, bottom - 1LL);
  const double cx = (l + r) / 2, cy = (t + b) / 2, rx = (r - l) / 2, kx = rx * kQuarter;
  // Counter-clockwise on the screen runs upwards from the right end.
  const double ry = dc.S.ArcDirection == AD_CLOCKWISE ? (b - t) / 2 : -(b - t) / 2, ky = ry * kQuarter;
  Path& path = *dc.CurPath;
  path.StartFigure(Rounded({cx + rx, cy}));
  AddCurve(path, {cx + rx, cy}, {cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry});
  AddCurve(path, {cx, cy + ry}, {cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy});
  AddCurve(path, {cx - rx, cy}, {cx - rx, cy - ky}, {cx - kx, cy - ry}, {cx, cy - ry});
  AddCurve(path, {cx, cy - ry}, {cx + kx, cy - ry}, {cx + rx, cy - ky}, {cx + rx, cy});
  path.CloseFigure();
}

void PathRoundRect(DC& dc, int left, int top, int right, int bottom, int width, int height) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  const double l = SubX(dc, left), t = SubY(dc, top), r = SubX(dc, right - 1LL), b = SubY(dc, bottom - 1LL);
  // A corner's ellipse runs along its box as PathEllipse's does: a pixel
  // less than its size across, and no larger than the shape.
  auto radius = [](long long size, long long extent, double span) {
    size = std::clamp<long long>(size, 0, extent);
    return std::min(double(std::max<long long>(size - 1, 0)) * U / 2, span / 2);
  };
  const double rx = radius(width, static_cast<long long>(right) - left, r - l);
  const double ry = radius(height, static_cast<long long>(bottom) - top, b - t);
  const double kx = rx * kQuarter, ky = ry * kQuarter;
  // Clockwise on the screen from the top edge's left end; the other way
  // round the same points backwards.
  Path shape;
  shape.StartFigure(Rounded({l + rx, t}));
  shape.Add(Rounded({r - rx, t}));
  AddCurve(shape, {r - rx, t}, {r - rx + kx, t}, {r, t + ry - ky}, {r, t + ry});
  shape.Add(Rounded({r, b - ry}));
  AddCurve(shape, {r, b - ry}, {r, b - ry + ky}, {r - rx + kx, b}, {r - rx, b});
  shape.Add(Rounded({l + rx, b}));
  AddCurve(shape, {l + rx, b}, {l + rx - kx, b}, {l, b - ry + ky}, {l, b - ry});
  shape.Add(Rounded({l, t + ry}));
  AddCurve(shape, {l, t + ry}, {l, t + ry - ky}, {l + rx - kx, t}, {l + rx, t});
  std::vector<POINT>& pts = shape.Points;
  if (pts.size() > 1 && pts.back() == pts.front()) pts.pop_back();
  if (dc.S.ArcDirection != AD_CLOCKWISE) std::reverse(pts.begin() + 1, pts.end());
  Path& path = *dc.CurPath;
  path.StartFigure(pts[0]);
  for (std::size_t i = 1; i < pts.size(); ++i) path.Add(pts[i]);
  path.CloseFigure();
}

void PathArc(DC& dc, ArcFigure kind, int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  // The ellipse PathEllipse takes, a point at parameter a on it being
  // (cx + rx cos a, cy + ry sin a): the angle grows clockwise on the screen.
  const double l = SubX(dc, left), t = SubY(dc, top), r = SubX(dc, right - 1LL), b = SubY(dc, bottom - 1LL);
  const double cx = (l + r) / 2, cy = (t + b) / 2, rx = (r - l) / 2, ry = (b - t) / 2;
  // A radial's point on the ellipse has the parameter whose cosine and
  // sine go as dx / rx and dy / ry; both scaled by rx ry, a flat ellipse
  // needs no division.
  auto parameter = [&](int x, int y, bool& centre) {
    const double dx = SubX(dc, x) - cx, dy = SubY(dc, y) - cy;
    centre = dx == 0 && dy == 0;
    return std::atan2(dy * rx, dx * ry);
  };
  bool centre1 = false, centre2 = false;
  const double a0 = parameter(x1, y1, centre1), a1 = parameter(x2, y2, centre2);
  constexpr double kTurn = 2 * 3.14159265358979323846;
  // Counter-clockwise on the screen is the parameter going down.
  double sweep = dc.S.ArcDirection == AD_CLOCKWISE ? a1 - a0 : a0 - a1;
  sweep = std::fmod(sweep, kTurn);
  if (sweep < 0) sweep += kTurn;
  const bool full = centre1 || centre2 || sweep == 0;
  if (full) sweep = kTurn;
  if (dc.S.ArcDirection != AD_CLOCKWISE) sweep = -sweep;
  auto at = [&](double a) { return PointF{cx + rx * std::cos(a), cy + ry * std::sin(a)}; };
  Path& path = *dc.CurPath;
  path.StartFigure(Rounded(at(a0)));
  // Pieces of at most a quarter turn, each a Bézier whose control points
  // lie along the ends' tangents.
  const int pieces = std::max(1, int(std::ceil(std::abs(sweep) / (kTurn / 4) - 1e-9)));
  const double step = sweep / pieces, k = 4.0 / 3.0 * std::tan(step / 4);
  for (int i = 0; i < pieces; ++i) {
    const double from = a0 + step * i, to = i + 1 == pieces ? a0 + sweep : from + step;
    const PointF p0 = at(from), p3 = at(to);
    const PointF p1{p0.X - k * rx * std::sin(from), p0.Y + k * ry * std::cos(from)};
    const PointF p2{p3.X + k * rx * std::sin(to), p3.Y - k * ry * std::cos(to)};
    AddCurve(path, p0, p1, p2, p3);
  }
  // A whole ellipse has no radials to draw, as Pie draws it.
  if (kind == ArcFigure::Pie && !full) path.Add(Rounded({cx, cy}));
  if (kind == ArcFigure::Arc) path.InFigure = false;
  else path.CloseFigure();
}

}  // namespace win::gdi

namespace win {

using namespace gdi;

BOOL BeginPath(HDC hdc) {
  DC* dc = PathDC(hdc);
  if (!dc) return FALSE;
  ORV_GDI_LOG(dc, "BeginPath", "%s", "");
  if (dc->Meta) dc->Meta->PathCall(*dc, EMR_BEGINPATH);
  if (!dc->CurPath) dc->CurPath = new Path;
  dc->CurPath->Clear();
  dc->CurPath->Open = true;
  return TRUE;
}

BOOL EndPath(HDC hdc) {
  DC* dc = PathDC(hdc);
  Path* path = dc ? OpenPath(*dc) : nullptr;
  if (!path) return FALSE;
  ORV_GDI_LOG(dc, "EndPath", "%zu figures", path->Counts.size());
  if (dc->Meta) dc->Meta->PathCall(*dc, EMR_ENDPATH);
  path->Open = false;
  path->InFigure = false;
  return TRUE;
}

BOOL AbortPath(HDC hdc) {
  DC* dc = PathDC(hdc);
  if (!dc) return FALSE;
  if (dc->Meta) dc->Meta->PathCall(*dc, EMR_ABORTPATH);
  ForgetPath(*dc);
  return TRUE;
}

BOOL CloseFigure(HDC hdc) {
  DC* dc = PathDC(hdc);
  Path* path = dc ? OpenPath(*dc) : nullptr;
  if (!path) return FALSE;
  if (dc->Meta) dc->Meta->PathCall(*dc, EMR_CLOSEFIGURE);
  path->CloseFigure();
  return TRUE;
}

namespace {

BOOL Beziers(HDC hdc, const POINT* points, DWORD count, bool fromCurrent) {
  DC* dc = PathDC(hdc);
  if (!dc) return FALSE;
  const DWORD first = fromCurrent ? 0 : 1;
  if ((!points && count) || count < first || (count - first) % 3 != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ORV_GDI_LOG(dc, fromCurrent ? "PolyBezierTo" : "PolyBezier", "%u points", unsigned(count));
  if (dc->Meta) {
    const INT n = INT(count);
    if (n > 0) dc->Meta->Poly(*dc, fromCurrent ? EMR_POLYBEZIERTO : EMR_POLYBEZIER, points, &n, 1);
    return TRUE;
  }
  // No curves draw nothing: not even the dot a figure of one point is. A
  // start point alone still ends the figure being drawn, as any start does.
  if (count == first) {
    if (!fromCurrent && PathOpen(*dc)) dc->CurPath->InFigure = false;
    return TRUE;
  }
  // Outside a bracket the curves go through a path of their own.
  Path own;
  Path& path = PathOpen(*dc) ? *dc->CurPath : own;
  if (fromCurrent) {
    if (!path.InFigure) path.StartFigure(Sub(*dc, dc->S.CurPos.X, dc->S.CurPos.Y));
  } else {
    path.StartFigure(Sub(*dc, points[0].X, points[0].Y));
  }
  for (DWORD i = first; i + 2 < count; i += 3)
    path.AddBezier(Sub(*dc, points[i].X, points[i].Y), Sub(*dc, points[i + 1].X, points[i + 1].Y),
                   Sub(*dc, points[i + 2].X, points[i + 2].Y));
  if (fromCurrent) dc->S.CurPos = {ClampCoord(points[count - 1].X), ClampCoord(points[count - 1].Y)};
  if (&path == &own) StrokeFigures(*dc, own);
  else if (!fromCurrent) path.InFigure = false;
  return TRUE;
}

}  // namespace

BOOL PolyBezier(HDC hdc, const POINT* points, DWORD count) { return Beziers(hdc, points, count, false); }

BOOL PolyBezierTo(HDC hdc, const POINT* points, DWORD count) { return Beziers(hdc, points, count, true); }

namespace {

// Fills the closed path, strokes it or both, then lets it go.
BOOL DrawPath(HDC hdc, const char* call, DWORD type, bool fill, bool stroke) {
  DC* dc = PathDC(hdc);
  Path* path = dc ? ClosedPath(*dc) : nullptr;
  if (!path) return FALSE;
  if (fill) ORV_GDI_LOG(dc, call, "%zu figures mode=%d", path->Counts.size(), dc->S.FillMode);
  else ORV_GDI_LOG(dc, call, "%zu figures", path->Counts.size());
  if (dc->Meta) dc->Meta->PathCall(*dc, type);
  if (fill) FillFigures(*dc, *path);
  if (stroke) StrokeFigures(*dc, *path);
  ForgetPath(*dc);
  return TRUE;
}

}  // namespace

BOOL FillPath(HDC hdc) { return DrawPath(hdc, "FillPath", EMR_FILLPATH, true, false); }

BOOL StrokePath(HDC hdc) { return DrawPath(hdc, "StrokePath", EMR_STROKEPATH, false, true); }

BOOL StrokeAndFillPath(HDC hdc) { return DrawPath(hdc, "StrokeAndFillPath", EMR_STROKEANDFILLPATH, true, true); }

BOOL WidenPath(HDC hdc) {
  DC* dc = PathDC(hdc);
  Path* path = dc ? ClosedPath(*dc) : nullptr;
  if (!path) return FALSE;
  const Pen* pen = dc->S.CurPen;
  if (!pen || pen->Style == PS_NULL || pen->Width <= 1) {
    SetLastError(ERROR_CAN_NOT_COMPLETE);
    return FALSE;
  }
  ORV_GDI_LOG(dc, "WidenPath", "%zu figures", path->Counts.size());
  if (dc->Meta) dc->Meta->PathCall(*dc, EMR_WIDENPATH);
  Region stroke;
  const RowWindow rows{std::min(-kWideningRows, -dc->Origin.Y), std::max(kWideningRows, dc->Surf.Height - dc->Origin.Y)};
  const RowWindow columns{std::min(-kWideningRows, -dc->Origin.X), std::max(kWideningRows, dc->Surf.Width - dc->Origin.X)};
  WidenedRegion(*path, *pen, rows, columns, stroke);
  path->Clear();
  OutlineOf(stroke, *path);
  path->InFigure = false;
  return TRUE;
}

HRGN PathToRegion(HDC hdc) {
  DC* dc = PathDC(hdc);
  Path* path = dc ? ClosedPath(*dc) : nullptr;
  if (!path) return nullptr;
  Region interior;
  if (!path->Points.empty()) {
    thread_local PolySpans spans;
    ScanPath(*path, dc->S.FillMode, 0, 0, kRegionRows, spans);
    Region::Builder builder(interior);
    for (int y = spans.Top; y < spans.Bottom; ++y) {
      const int i0 = spans.RowStart[std::size_t(y - spans.Top)], i1 = spans.RowStart[std::size_t(y - spans.Top + 1)];
      for (int i = i0; i < i1; ++i)
        builder.AddSpan(y, y + 1, spans.Spans[2 * std::size_t(i)], spans.Spans[2 * std::size_t(i) + 1]);
    }
    builder.Finish();
  }
  ForgetPath(*dc);
  return NewRegionHandle(interior);
}

}  // namespace win
