#include "platform/gdi/Shapes.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/gdi/Geometry.h"
#include "platform/gdi/Lines.h"
#include "platform/gdi/MetafileRecorder.h"
#include "platform/gdi/Paths.h"
#include "platform/gdi/Recorder.h"

namespace win {

using namespace gdi;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct ShapeSetup {
  DC* Dc = nullptr;
  Paint PenPaint, BrushPaintV;
  bool HasPen = false, HasBrush = false, Styled = false, Geometric = false;
  int Width = 1;
  bool InsideFrame = false;
};

bool Setup(HDC hdc, ShapeSetup& s) {
  s.Dc = LookupDC(hdc);
  if (!s.Dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  DC& dc = *s.Dc;
  std::uint8_t rop = Rop2ToRop3(dc.S.Rop2);
  const Pen* pen = dc.S.CurPen;
  s.HasPen = PenPaint(dc, rop, s.PenPaint);
  if (s.HasPen) {
    s.Width = std::max(pen->Width, 1);  // a width of 0 is a hairline too
    s.InsideFrame = pen->Style == PS_INSIDEFRAME;
    s.Styled = pen->Width <= 1 && pen->Style != PS_SOLID && pen->Style != PS_INSIDEFRAME;
    s.Geometric = pen->Geometric();
  }
  s.HasBrush = BrushPaint(dc, dc.S.CurBrush, rop, s.BrushPaintV);
  return true;
}

TRect SurfaceBox(const DC& dc, int l, int t, int r, int b) {
  l = ClampCoord(l), t = ClampCoord(t), r = ClampCoord(r), b = ClampCoord(b);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  return {l + dc.OffX, t + dc.OffY, r + dc.OffX, b + dc.OffY};
}

// The box the outline's outer edge follows: a one-pixel pen runs along the
// box's own edge pixels; a wider one is centred on them unless it is kept
// inside the frame.
TRect OuterBox(const ShapeSetup& s, const TRect& box) {
  int w = s.Width;
  if (w <= 1 || s.InsideFrame) return box;
  int h = w / 2;
  return {box.Left - h, box.Top - h, box.Right - 1 - h + w, box.Bottom - 1 - h + w};
}

TRect Deflate(const TRect& r, int d) { return {r.Left + d, r.Top + d, r.Right - d, r.Bottom - d}; }

void PaintRows(DC& dc, const std::vector<RowSpan>& rows, const Paint& p) {
  for (const RowSpan& r : rows)
    if (r.Left < r.Right) PaintClippedSpan(dc, r.Y, r.Left, r.Right, p);
}

// Splits the rows of a convex shape into outline (pen) and interior
// (brush) for a pen of width w: one pixel wide it is the ring of pixels
// next to the outside; wider it is the shape less the shape shrunk by w.
template <class RowsFn>
void RingAndInterior(const TRect& outer, int w, RowsFn rowsOf, std::vector<RowSpan>& ring,
                     std::vector<RowSpan>& interior, RowWindow window) {
  thread_local std::vector<RowSpan> rows, inner;
  rowsOf(outer, rows, window);
  ring.clear();
  interior.clear();
  if (w <= 1) {
    RingOfRows(rows, ring);
    // Interior = the row less its ring spans.
    std::size_t k = 0;
    for (const RowSpan& r : rows) {
      if (r.Left >= r.Right) continue;
      int lo = r.Left, hi = r.Right;
      // Ring spans of this row: one covering all, or a left and a right piece.
      if (k < ring.size() && ring[k].Y == r.Y) {
        if (ring[k].Left == r.Left && ring[k].Right == r.Right) {
          lo = hi;
          ++k;
        } else {
          lo = ring[k].Right;
          ++k;
          if (k < ring.size() && ring[k].Y == r.Y) hi = ring[k++].Left;
        }
      }
      if (lo < hi) interior.push_back({r.Y, lo, hi});
    }
    return;
  }
  TRect in = Deflate(outer, w);
  if (in.Left < in.Right && in.Top < in.Bottom) rowsOf(in, inner, window);
  else inner.clear();
  std::size_t k = 0;
  for (const RowSpan& r : rows) {
    if (r.Left >= r.Right) continue;
    while (k < inner.size() && inner[k].Y < r.Y) ++k;
    if (k < inner.size() && inner[k].Y == r.Y && inner[k].Left < inner[k].Right) {
      const RowSpan& i = inner[k];
      if (r.Left < i.Left) ring.push_back({r.Y, r.Left, i.Left});
      interior.push_back(i);
      if (i.Right < r.Right) ring.push_back({r.Y, i.Right, r.Right});
    } else {
      ring.push_back(r);
    }
  }
}

template <class RowsFn>
BOOL ConvexShape(HDC hdc, const char* name, int l, int t, int r, int b, RowsFn rowsOf, int extra1 = 0,
                 int extra2 = 0) {
  ShapeSetup s;
  if (!Setup(hdc, s)) return FALSE;
  DC& dc = *s.Dc;
  ORV_GDI_LOG(&dc, name, "%d,%d,%d,%d %d,%d", l, t, r, b, extra1, extra2);
  TRect box = SurfaceBox(dc, l, t, r, b);
  thread_local std::vector<RowSpan> ring, interior, rows;
  if (dc.Eff.IsEmpty()) return TRUE;
  // Rows beyond the clip are not scanned; one more on each side keeps the
  // outline of the visible rows right.
  RowWindow window{dc.Eff.Box().Top - 1, dc.Eff.Box().Bottom + 1};
  if (!s.HasPen) {
    if (s.HasBrush) {
      rowsOf({box.Left, box.Top, box.Right - 1, box.Bottom - 1}, rows, window);
      PaintRows(dc, rows, s.BrushPaintV);
    }
    return TRUE;
  }
  RingAndInterior(OuterBox(s, box), s.Width, rowsOf, ring, interior, window);
  if (s.HasBrush) PaintRows(dc, interior, s.BrushPaintV);
  PaintRows(dc, ring, s.PenPaint);
  return TRUE;
}

// Pie, chord and arc: the ellipse's pixels are sorted into outline and
// interior, kept when inside the angular sector (pie, arc) or on the arc's
// side of the chord, and the radial or chord lines are added to the
// outline. A mask of the box makes each pixel paint once.
enum class ArcKind { Arc, Chord, Pie };

BOOL ArcShape(HDC hdc, ArcKind kind, const char* name, int l, int t, int r, int b, int xr1, int yr1, int xr2,
              int yr2) {
  ShapeSetup s;
  if (!Setup(hdc, s)) return FALSE;
  DC& dc = *s.Dc;
  if (dc.Meta) {
    const DWORD type = kind == ArcKind::Pie ? EMR_PIE : kind == ArcKind::Chord ? EMR_CHORD : EMR_ARC;
    dc.Meta->Arc(dc, type, {l, t, r, b}, {xr1, yr1}, {xr2, yr2});
    return TRUE;
  }
  ORV_GDI_LOG(&dc, name, "%d,%d,%d,%d %d,%d %d,%d", l, t, r, b, xr1, yr1, xr2, yr2);
  if (PathOpen(dc)) {
    const ArcFigure figure =
        kind == ArcKind::Pie ? ArcFigure::Pie : kind == ArcKind::Chord ? ArcFigure::Chord : ArcFigure::Arc;
    PathArc(dc, figure, l, t, r, b, xr1, yr1, xr2, yr2);
    return TRUE;
  }
  TRect box = SurfaceBox(dc, l, t, r, b);
  if (box.Left >= box.Right || box.Top >= box.Bottom) return TRUE;
  if (kind == ArcKind::Arc && !s.HasPen) return TRUE;
  bool withPen = s.HasPen;
  TRect outer = withPen ? OuterBox(s, box) : TRect{box.Left, box.Top, box.Right - 1, box.Bottom - 1};
  if (outer.Left >= outer.Right || outer.Top >= outer.Bottom || dc.Eff.IsEmpty()) return TRUE;
  const TRect& clip = dc.Eff.Box();
  RowWindow window{clip.Top - 1, clip.Bottom + 1};
  thread_local std::vector<RowSpan> ring, interior;
  auto rowsOf = [](const TRect& b, std::vector<RowSpan>& rows, RowWindow w) { EllipseRows(b, rows, w); };
  if (withPen) {
    RingAndInterior(outer, s.Width, rowsOf, ring, interior, window);
  } else {
    EllipseRows(outer, interior, window);
    ring.clear();
  }
  // The mask covers only the part of the shape the clip lets show.
  TRect area{std::max(outer.Left, clip.Left), std::max(outer.Top, clip.Top), std::min(outer.Right, clip.Right),
             std::min(outer.Bottom, clip.Bottom)};
  if (area.Left >= area.Right || area.Top >= area.Bottom) return TRUE;
  int mw = area.Right - area.Left, mh = area.Bottom - area.Top;
  thread_local std::vector<std::uint8_t> mask;
  mask.assign(std::size_t(mw) * std::size_t(mh), 0);
  auto cell = [&](int x, int y) -> std::uint8_t* {
    if (x < area.Left || x >= area.Right || y < area.Top || y >= area.Bottom) return nullptr;
    return &mask[std::size_t(y - area.Top) * std::size_t(mw) + std::size_t(x - area.Left)];
  };

  // Geometry in continuous coordinates (pixel x covers [x, x + 1)).
  double cx = (box.Left + box.Right) / 2.0, cy = (box.Top + box.Bottom) / 2.0;
  double ra = (box.Right - box.Left) / 2.0, rb = (box.Bottom - box.Top) / 2.0;
  double sx = ClampCoord(xr1) + dc.OffX - cx, sy = ClampCoord(yr1) + dc.OffY - cy;
  double ex = ClampCoord(xr2) + dc.OffX - cx, ey = ClampCoord(yr2) + dc.OffY - cy;
  if (dc.S.ArcDirection == AD_CLOCKWISE) std::swap(sx, ex), std::swap(sy, ey);
  auto angle = [](double x, double y) { return std::atan2(-y, x); };  // counter-clockwise on screen
  auto wrap = [](double a) {
    while (a < 0) a += 2 * kPi;
    while (a >= 2 * kPi) a -= 2 * kPi;
    return a;
  };
  double a0 = angle(sx, sy), sweep = wrap(angle(ex, ey) - a0);
  bool full = (sx == 0 && sy == 0) || (ex == 0 && ey == 0) || sweep == 0;
  if (full) sweep = 2 * kPi;
  auto onEllipse = [&](double dx, double dy, double& px, double& py) {
    double k = std::sqrt((dx * dx) / (ra * ra) + (dy * dy) / (rb * rb));
    if (k == 0) k = 1;
    px = cx + dx / k;
    py = cy + dy / k;
  };
  double p1x, p1y, p2x, p2y;
  onEllipse(sx, sy, p1x, p1y);
  onEllipse(ex, ey, p2x, p2y);
  double mid = a0 + sweep / 2, mx, my;
  onEllipse(std::cos(mid), -std::sin(mid), mx, my);
  double chordSide = (p2x - p1x) * (my - p1y) - (p2y - p1y) * (mx - p1x);

  auto inside = [&](int x, int y) {
    double vx = x + 0.5 - cx, vy = y + 0.5 - cy;
    if (full) return true;
    if (kind == ArcKind::Chord) {
      double c = (p2x - p1x) * (y + 0.5 - p1y) - (p2y - p1y) * (x + 0.5 - p1x);
      return c == 0 || (c > 0) == (chordSide > 0);
    }
    return wrap(angle(vx, vy) - a0) <= sweep;
  };
  auto mark = [&](const std::vector<RowSpan>& rows, std::uint8_t v) {
    for (const RowSpan& rs : rows) {
      if (rs.Y < area.Top || rs.Y >= area.Bottom) continue;
      for (int x = std::max(rs.Left, area.Left); x < std::min(rs.Right, area.Right); ++x)
        if (inside(x, rs.Y)) *cell(x, rs.Y) = v;
    }
  };
  if (kind != ArcKind::Arc && s.HasBrush) mark(interior, 1);
  if (withPen) mark(ring, 2);
  // Radial or chord lines, end points included: a pen-wide square at each
  // step of the line. The steps whose squares reach a row form one run (y
  // moves one way), and their squares one span (x moves at most a pixel a
  // step), so each row of the mask costs two searches whatever the pen's
  // width.
  auto line = [&](double fx, double fy, double tx, double ty) {
    const int x0 = std::clamp(int(std::floor(fx)), outer.Left, outer.Right - 1);
    const int y0 = std::clamp(int(std::floor(fy)), outer.Top, outer.Bottom - 1);
    const int x1 = std::clamp(int(std::floor(tx)), outer.Left, outer.Right - 1);
    const int y1 = std::clamp(int(std::floor(ty)), outer.Top, outer.Bottom - 1);
    const long long n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    const int w = s.Width, h = w / 2;
    auto xAt = [&](long long i) { return n ? int(x0 + (x1 - x0) * i / n) : x0; };
    auto yAt = [&](long long i) { return n ? int(y0 + (y1 - y0) * i / n) : y0; };
    // The first step from which pred holds; pred goes from false to true.
    auto firstStep = [n](auto pred) {
      long long lo = 0, hi = n + 1;
      while (lo < hi) {
        long long m = lo + (hi - lo) / 2;
        if (pred(m)) hi = m;
        else lo = m + 1;
      }
      return lo;
    };
    const bool down = y1 >= y0;
    const int top = std::max(area.Top, std::min(y0, y1) - h), bottom = std::min(area.Bottom, std::max(y0, y1) - h + w);
    for (int yy = top; yy < bottom; ++yy) {
      // A step's square covers row yy when its y is in [yy + h - w + 1, yy + h].
      const int lowY = yy + h - w + 1, highY = yy + h;
      const long long from = down ? firstStep([&](long long i) { return yAt(i) >= lowY; })
                                  : firstStep([&](long long i) { return yAt(i) <= highY; });
      const long long to = down ? firstStep([&](long long i) { return yAt(i) > highY; })
                                : firstStep([&](long long i) { return yAt(i) < lowY; });
      if (from >= to) continue;
      const int xa = xAt(from), xb = xAt(to - 1);
      const int left = std::max(std::min(xa, xb) - h, area.Left);
      const int right = std::min(std::max(xa, xb) - h + w, area.Right);
      for (int xx = left; xx < right; ++xx) *cell(xx, yy) = 2;
    }
  };
  if (withPen && !full) {
    if (kind == ArcKind::Pie) {
      line(cx, cy, p1x, p1y);
      line(cx, cy, p2x, p2y);
    } else if (kind == ArcKind::Chord) {
      line(p1x, p1y, p2x, p2y);
    }
  }
  for (int y = 0; y < mh; ++y) {
    const std::uint8_t* row = &mask[std::size_t(y) * mw];
    int x = 0;
    while (x < mw) {
      std::uint8_t v = row[x];
      int start = x;
      while (x < mw && row[x] == v) ++x;
      if (v == 1) PaintClippedSpan(dc, area.Top + y, area.Left + start, area.Left + x, s.BrushPaintV);
      else if (v == 2) PaintClippedSpan(dc, area.Top + y, area.Left + start, area.Left + x, s.PenPaint);
    }
  }
  return TRUE;
}

}  // namespace

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  ShapeSetup s;
  if (!Setup(hdc, s)) return FALSE;
  DC& dc = *s.Dc;
  ORV_GDI_LOG(&dc, "Rectangle", "%d,%d,%d,%d", left, top, right, bottom);
  if (dc.Meta) {
    dc.Meta->Box(dc, EMR_RECTANGLE, {left, top, right, bottom});
    return TRUE;
  }
  if (PathOpen(dc)) {
    PathRectangle(dc, left, top, right, bottom);
    return TRUE;
  }
  TRect box = SurfaceBox(dc, left, top, right, bottom);
  if (!s.HasPen) {
    if (s.HasBrush) PaintRect(dc, {box.Left, box.Top, box.Right - 1, box.Bottom - 1}, s.BrushPaintV);
    return TRUE;
  }
  if (box.Left >= box.Right || box.Top >= box.Bottom) return TRUE;
  TRect outer = OuterBox(s, box);
  TRect inner = Deflate(outer, s.Width);
  bool hasInner = inner.Left < inner.Right && inner.Top < inner.Bottom;
  if (s.HasBrush && hasInner) PaintRect(dc, inner, s.BrushPaintV);
  if (s.Geometric && s.Width > 1 && !s.InsideFrame) {
    // A geometric pen's corners are its joins, and its dashes run around.
    Stroker st(dc);
    int l = box.Left, t = box.Top, r = box.Right - 1, b = box.Bottom - 1;
    st.Segment(l, t, r, t);
    st.Segment(r, t, r, b);
    st.Segment(r, b, l, b);
    st.Segment(l, b, l, t);
    st.Close();
    st.Finish();
    return TRUE;
  }
  if (s.Styled) {
    Stroker st(dc);
    int l = box.Left, t = box.Top, r = box.Right - 1, b = box.Bottom - 1;
    if (l == r || t == b) {
      st.Segment(l, t, r + 1, t);
      return TRUE;
    }
    st.Segment(l, t, r, t);
    st.Segment(r, t, r, b);
    st.Segment(r, b, l, b);
    st.Segment(l, b, l, t);
    return TRUE;
  }
  if (!hasInner) {
    PaintRect(dc, outer, s.PenPaint);
    return TRUE;
  }
  PaintRect(dc, {outer.Left, outer.Top, outer.Right, inner.Top}, s.PenPaint);
  PaintRect(dc, {outer.Left, inner.Bottom, outer.Right, outer.Bottom}, s.PenPaint);
  PaintRect(dc, {outer.Left, inner.Top, inner.Left, inner.Bottom}, s.PenPaint);
  PaintRect(dc, {inner.Right, inner.Top, outer.Right, inner.Bottom}, s.PenPaint);
  return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  if (DC* dc = LookupDC(hdc); dc && dc->Meta) {
    dc->Meta->Box(*dc, EMR_ELLIPSE, {left, top, right, bottom});
    return TRUE;
  }
  if (DC* dc = LookupDC(hdc); dc && PathOpen(*dc)) {
    ORV_GDI_LOG(dc, "Ellipse", "%d,%d,%d,%d 0,0", left, top, right, bottom);
    PathEllipse(*dc, left, top, right, bottom);
    return TRUE;
  }
  return ConvexShape(hdc, "Ellipse", left, top, right, bottom,
                     [](const TRect& b, std::vector<RowSpan>& rows, RowWindow w) { EllipseRows(b, rows, w); });
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
  if (DC* dc = LookupDC(hdc); dc && dc->Meta) {
    dc->Meta->RoundRect(*dc, {left, top, right, bottom}, width, height);
    return TRUE;
  }
  if (DC* dc = LookupDC(hdc); dc && PathOpen(*dc)) {
    ORV_GDI_LOG(dc, "RoundRect", "%d,%d,%d,%d %d,%d", left, top, right, bottom, width, height);
    PathRoundRect(*dc, left, top, right, bottom, width, height);
    return TRUE;
  }
  return ConvexShape(
      hdc, "RoundRect", left, top, right, bottom,
      [width, height](const TRect& b, std::vector<RowSpan>& rows, RowWindow w) {
        RoundRectRows(b, width, height, rows, w);
      },
      width,
      height);
}

BOOL Pie(HDC hdc, int l, int t, int r, int b, int xr1, int yr1, int xr2, int yr2) {
  return ArcShape(hdc, ArcKind::Pie, "Pie", l, t, r, b, xr1, yr1, xr2, yr2);
}

BOOL Chord(HDC hdc, int l, int t, int r, int b, int xr1, int yr1, int xr2, int yr2) {
  return ArcShape(hdc, ArcKind::Chord, "Chord", l, t, r, b, xr1, yr1, xr2, yr2);
}

BOOL Arc(HDC hdc, int l, int t, int r, int b, int xr1, int yr1, int xr2, int yr2) {
  return ArcShape(hdc, ArcKind::Arc, "Arc", l, t, r, b, xr1, yr1, xr2, yr2);
}

BOOL PolyPolygon(HDC hdc, const POINT* points, const INT* counts, int polygons) {
  ShapeSetup s;
  if (!Setup(hdc, s)) return FALSE;
  DC& dc = *s.Dc;
  if (!points || !counts || polygons <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  int total = 0;
  for (int i = 0; i < polygons; ++i) {
    if (counts[i] < 2) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    total += counts[i];
  }
  if (dc.Rec) {
    std::string pts;
    for (int i = 0; i < total && i < 32; ++i)
      pts += (i ? " " : "") + std::to_string(points[i].X) + "," + std::to_string(points[i].Y);
    dc.Rec->Log(dc, "Polygon", "%s mode=%d", pts.c_str(), dc.S.FillMode);
  }
  if (dc.Meta) {
    dc.Meta->Poly(dc, polygons == 1 ? EMR_POLYGON : EMR_POLYPOLYGON, points, counts, polygons);
    return TRUE;
  }
  if (PathOpen(dc)) {
    PathPolygons(dc, points, counts, polygons);
    return TRUE;
  }
  thread_local std::vector<POINT> dev;
  dev.resize(std::size_t(total));
  for (int i = 0; i < total; ++i)
    dev[std::size_t(i)] = {ClampCoord(points[i].X) + dc.OffX, ClampCoord(points[i].Y) + dc.OffY};
  if (s.HasBrush && !dc.Eff.IsEmpty()) {
    thread_local PolySpans spans;
    ScanPolygons(dev.data(), counts, polygons, dc.S.FillMode, spans, 1, {dc.Eff.Box().Top, dc.Eff.Box().Bottom});
    for (int y = spans.Top; y < spans.Bottom; ++y) {
      int i0 = spans.RowStart[std::size_t(y - spans.Top)], i1 = spans.RowStart[std::size_t(y - spans.Top + 1)];
      for (int i = i0; i < i1; ++i)
        PaintClippedSpan(dc, y, spans.Spans[2 * std::size_t(i)], spans.Spans[2 * std::size_t(i) + 1], s.BrushPaintV);
    }
  }
  if (s.HasPen) {
    Stroker st(dc);
    int base = 0;
    for (int p = 0; p < polygons; ++p) {
      int n = counts[p];
      for (int i = 0; i < n; ++i) {
        const POINT& a = dev[std::size_t(base + i)];
        const POINT& b = dev[std::size_t(base + (i + 1) % n)];
        st.Segment(a.X, a.Y, b.X, b.Y);
      }
      st.Close();
      base += n;
    }
    st.Finish();
  }
  return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* points, int count) {
  INT n = count;
  return PolyPolygon(hdc, points, &n, 1);
}

}  // namespace win
