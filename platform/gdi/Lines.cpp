#include "platform/gdi/Lines.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>

#include "platform/gdi/Geometry.h"
#include "platform/gdi/MetafileRecorder.h"
#include "platform/gdi/Paths.h"
#include "platform/gdi/Recorder.h"

namespace win::gdi {

namespace {
// Cosmetic patterns, in pixels.
const int kDash[] = {18, 6};
const int kDot[] = {3, 3};
const int kDashDot[] = {9, 6, 3, 6};
const int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
const int kAlternate[] = {1, 1};
// Geometric patterns, in multiples of the pen's width.
const int kGeoDash[] = {3, 1};
const int kGeoDot[] = {1, 1};
const int kGeoDashDot[] = {3, 1, 1, 1};
const int kGeoDashDotDot[] = {3, 1, 1, 1, 1, 1};

// The longest a miter may reach, as a multiple of the pen's width, before
// the join is bevelled instead (the DC's default limit).
constexpr double kMiterLimit = 10.0;
// Sub-pixel steps of the wide outlines' corner points.
constexpr int kUnit = 16;
}  // namespace

bool PenPaint(const DC& dc, std::uint8_t rop, Paint& paint) {
  const Pen* pen = dc.S.CurPen;
  if (!pen || pen->Invisible()) return false;
  if (pen->Geometric() && pen->Fill) return BrushPaint(dc, pen->Fill.get(), rop, paint);
  SolidPaint(DevicePixel(dc, dc.PenColor()), rop, paint);
  return true;
}

DashPattern DashesOf(const Pen& pen) {
  DashPattern p;
  // A plain pen draws its broken styles only one pixel wide.
  const bool geometric = pen.Geometric();
  if ((pen.Width > 1 && !geometric) || pen.Style == PS_SOLID || pen.Style == PS_INSIDEFRAME) return p;
  std::span<const int> table;
  switch (pen.Style) {
    case PS_DASH: table = geometric ? std::span<const int>(kGeoDash) : kDash; break;
    case PS_DOT: table = geometric ? std::span<const int>(kGeoDot) : kDot; break;
    case PS_DASHDOT: table = geometric ? std::span<const int>(kGeoDashDot) : kDashDot; break;
    case PS_DASHDOTDOT: table = geometric ? std::span<const int>(kGeoDashDotDot) : kDashDotDot; break;
    case PS_ALTERNATE: table = kAlternate; break;
    case PS_USERSTYLE: table = pen.Dashes; break;
    default: return p;
  }
  // A geometric pen's own styles count in multiples of its width.
  const int scale = geometric && pen.Style != PS_USERSTYLE ? std::max(pen.Width, 1) : 1;
  p.Count = int(std::min(table.size(), std::size(p.Lengths)));
  for (int i = 0; i < p.Count; ++i) p.Total += p.Lengths[i] = table[std::size_t(i)] * scale;
  if (p.Total == 0) p.Count = 0;  // a pattern of no length draws solid
  return p;
}

Stroker::Stroker(DC& dc) : Dc(dc) {
  const Pen* pen = dc.S.CurPen;
  std::uint8_t rop = Rop2ToRop3(dc.S.Rop2);
  if (!PenPaint(dc, rop, Fg)) {
    IsNull = true;
    return;
  }
  PenWidth = std::max(pen->Width, 1);  // a width of 0 is a hairline too
  Wide = PenWidth > 1;
  Cap = pen->EndCap();
  JoinKind = pen->Join();
  Dash = DashesOf(*pen);
  if (!Dash) return;
  SolidPaint(DevicePixel(dc, dc.S.BkColor), rop, Bg);
  OpaqueGaps = dc.S.BkMode == OPAQUE;
}

void Stroker::Close() {
  if (Wide) EndFigure(true);
}

void Stroker::AddPolygon(const DPoint* pts, int n) {
  thread_local std::vector<POINT> q;
  thread_local PolySpans spans;
  thread_local Region piece;
  q.resize(std::size_t(n));
  for (int i = 0; i < n; ++i)
    q[std::size_t(i)] = {int(std::lround(pts[i].X * kUnit)), int(std::lround(pts[i].Y * kUnit))};
  INT count = n;
  const TRect& clip = Dc.Eff.Box();
  ScanPolygons(q.data(), &count, 1, WINDING, spans, kUnit, {clip.Top, clip.Bottom});
  Region::Builder b(piece);
  for (int y = spans.Top; y < spans.Bottom; ++y) {
    int i0 = spans.RowStart[std::size_t(y - spans.Top)], i1 = spans.RowStart[std::size_t(y - spans.Top + 1)];
    for (int i = i0; i < i1; ++i)
      b.AddSpan(y, y + 1, spans.Spans[2 * std::size_t(i)], spans.Spans[2 * std::size_t(i) + 1]);
  }
  b.Finish();
  Region::Combine(Acc, Acc, piece, RGN_OR);
}

void Stroker::AddDisc(DPoint c) {
  // A pixel is in when its centre is: the disc's box is the pen's width
  // square around the point's pixel.
  thread_local Region piece;
  thread_local std::vector<RowSpan> rows;
  // Only the rows the clip reaches: a wide pen's discs would otherwise
  // cost their whole height at every vertex.
  const int cx = int(std::lround(c.X)), cy = int(std::lround(c.Y)), h = PenWidth / 2;
  const TRect& clip = Dc.Eff.Box();
  EllipseRows({cx - h, cy - h, cx - h + PenWidth, cy - h + PenWidth}, rows, {clip.Top, clip.Bottom});
  Region::Builder b(piece);
  for (const RowSpan& r : rows) b.AddSpan(r.Y, r.Y + 1, r.Left, r.Right);
  b.Finish();
  Region::Combine(Acc, Acc, piece, RGN_OR);
}

void Stroker::AddBand(DPoint a, DPoint b, double extendA, double extendB) {
  // Measuring from pixel centres, the band's corners are the end points
  // moved by half the width across the segment (and along it by a square
  // cap's half width).
  double dx = b.X - a.X, dy = b.Y - a.Y, len = std::sqrt(dx * dx + dy * dy);
  double nx = -dy / len * PenWidth / 2.0, ny = dx / len * PenWidth / 2.0;
  double ux = dx / len, uy = dy / len;
  const double x0 = a.X - ux * extendA, y0 = a.Y - uy * extendA;
  const double x1 = b.X + ux * extendB, y1 = b.Y + uy * extendB;
  const DPoint q[4] = {{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}};
  AddPolygon(q, 4);
}

void Stroker::AddJoin(DPoint prev, DPoint v, DPoint next) {
  if (JoinKind == PS_JOIN_ROUND) {
    AddDisc(v);
    return;
  }
  double d0x = v.X - prev.X, d0y = v.Y - prev.Y, d1x = next.X - v.X, d1y = next.Y - v.Y;
  const double l0 = std::sqrt(d0x * d0x + d0y * d0y), l1 = std::sqrt(d1x * d1x + d1y * d1y);
  d0x /= l0, d0y /= l0, d1x /= l1, d1y /= l1;
  const double h = PenWidth / 2.0;
  // The bands' corners on the outer side of the turn (a straight run or a
  // full turn back has none to fill).
  const double turn = -d0y * d1x + d0x * d1y;
  if (turn == 0) return;
  const double side = turn > 0 ? -1.0 : 1.0;
  const DPoint c0{v.X - d0y * h * side, v.Y + d0x * h * side};
  const DPoint c1{v.X - d1y * h * side, v.Y + d1x * h * side};
  const double cosTurn = d0x * d1x + d0y * d1y;
  // The miter reaches 1 / cos(turn / 2) widths from the inner corner.
  if (JoinKind == PS_JOIN_MITER && 2.0 / (1.0 + cosTurn) <= kMiterLimit * kMiterLimit) {
    const DPoint tip{v.X + (c0.X - v.X + c1.X - v.X) / (1.0 + cosTurn), v.Y + (c0.Y - v.Y + c1.Y - v.Y) / (1.0 + cosTurn)};
    const DPoint q[4] = {v, c0, tip, c1};
    AddPolygon(q, 4);
    return;
  }
  const DPoint q[3] = {v, c0, c1};
  AddPolygon(q, 3);
}

void Stroker::StrokeFigure(std::vector<DPoint>& pts, bool closed) {
  pts.erase(std::unique(pts.begin(), pts.end()), pts.end());
  if (closed && pts.size() > 1 && pts.front() == pts.back()) pts.pop_back();
  const std::size_t n = pts.size();
  if (n == 0) return;
  const double h = PenWidth / 2.0;
  if (n == 1) {
    // A figure of one point is its caps alone.
    if (Cap == PS_ENDCAP_ROUND) {
      AddDisc(pts[0]);
    } else if (Cap == PS_ENDCAP_SQUARE) {
      const DPoint& p = pts[0];
      const DPoint q[4] = {{p.X - h, p.Y - h}, {p.X + h, p.Y - h}, {p.X + h, p.Y + h}, {p.X - h, p.Y + h}};
      AddPolygon(q, 4);
    }
    return;
  }
  if (closed && n == 2) closed = false;  // there and back: two ends, not a shape
  const std::size_t segments = closed ? n : n - 1;
  const bool square = !closed && Cap == PS_ENDCAP_SQUARE;
  for (std::size_t i = 0; i < segments; ++i)
    AddBand(pts[i], pts[(i + 1) % n], square && i == 0 ? h : 0.0, square && i + 1 == segments ? h : 0.0);
  if (!closed && Cap == PS_ENDCAP_ROUND) {
    AddDisc(pts.front());
    AddDisc(pts.back());
  }
  for (std::size_t i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i)
    AddJoin(pts[(i + n - 1) % n], pts[i], pts[(i + 1) % n]);
}

void WalkDashes(const std::vector<DPoint>& pts, bool closed, const DashPattern& pattern, DPoint lo, DPoint hi,
                const std::function<void(std::vector<DPoint>&)>& emit) {
  int k = 0;
  double left = pattern.Lengths[0];
  auto skip = [&](double d) {
    if (d < left) {
      left -= d;
      return;
    }
    d -= left;
    k = (k + 1) % pattern.Count;
    left = pattern.Lengths[k];
    d = std::fmod(d, double(pattern.Total));
    while (d >= left) {
      d -= left;
      k = (k + 1) % pattern.Count;
      left = pattern.Lengths[k];
    }
    left -= d;
  };
  thread_local std::vector<DPoint> dash;
  dash.clear();
  bool open = false;
  auto flush = [&]() {
    if (open) emit(dash);
    dash.clear();
    open = false;
  };
  const double boxLo[2] = {lo.X, lo.Y}, boxHi[2] = {hi.X, hi.Y};
  const std::size_t n = pts.size(), segments = closed ? n : n - 1;
  for (std::size_t s = 0; s < segments; ++s) {
    const DPoint a = pts[s], b = pts[(s + 1) % n];
    const double dx = b.X - a.X, dy = b.Y - a.Y, len = std::sqrt(dx * dx + dy * dy);
    if (len == 0) continue;
    // The part of the segment inside the box, as lengths.
    double t0 = 0, t1 = len;
    const double p[2] = {a.X, a.Y}, d[2] = {dx / len, dy / len};
    for (int axis = 0; axis < 2 && t0 <= t1; ++axis) {
      if (d[axis] == 0) {
        if (p[axis] < boxLo[axis] || p[axis] > boxHi[axis]) t0 = len + 1;
        continue;
      }
      double e0 = (boxLo[axis] - p[axis]) / d[axis], e1 = (boxHi[axis] - p[axis]) / d[axis];
      if (e0 > e1) std::swap(e0, e1);
      t0 = std::max(t0, e0);
      t1 = std::min(t1, e1);
    }
    auto at = [&](double t) { return DPoint{a.X + d[0] * t, a.Y + d[1] * t}; };
    if (t0 > t1) {
      flush();
      skip(len);
      continue;
    }
    if (t0 > 0) {
      flush();
      skip(t0);
    }
    double pos = t0;
    while (true) {
      const bool on = (k & 1) == 0;
      if (on && !open) {
        dash.push_back(at(pos));
        open = true;
      }
      if (left > t1 - pos) {
        // The entry goes on past the walked stretch.
        left -= t1 - pos;
        pos = t1;
        if (on) dash.push_back(at(pos));
        break;
      }
      pos += left;
      if (on) {
        dash.push_back(at(pos));
        flush();
      }
      k = (k + 1) % pattern.Count;
      left = pattern.Lengths[k];
      if (pos >= t1 && left > 0) break;
    }
    if (t1 < len) {
      flush();
      skip(len - t1);
    }
  }
  flush();
}

void Stroker::DashFigure(const std::vector<DPoint>& pts, bool closed) {
  // Each dash is a figure of its own, with caps at its ends and joins at
  // the corners it spans; only the stretch near the clip is walked.
  const TRect& box = Dc.Eff.Box();
  const double margin = PenWidth + 2.0;
  WalkDashes(pts, closed, Dash, {box.Left - margin, box.Top - margin}, {box.Right + margin, box.Bottom + margin},
             [this](std::vector<DPoint>& dash) { StrokeFigure(dash, false); });
}

void Stroker::EndFigure(bool closed) {
  if (Figure.empty()) return;
  thread_local std::vector<DPoint> pts;
  pts.assign(Figure.begin(), Figure.end());
  Figure.clear();
  if (Dash) {
    pts.erase(std::unique(pts.begin(), pts.end()), pts.end());
    if (closed && pts.size() > 1 && pts.front() == pts.back()) pts.pop_back();
    if (pts.size() > 1) {
      DashFigure(pts, closed && pts.size() > 2);
      return;
    }
  }
  StrokeFigure(pts, closed);
}

void Stroker::Segment(int x0, int y0, int x1, int y1) {
  if (IsNull) return;
  if (Wide) {
    const DPoint from{double(x0), double(y0)}, to{double(x1), double(y1)};
    if (Figure.empty() || !(Figure.back() == from)) {
      EndFigure(false);
      Figure.push_back(from);
    }
    Figure.push_back(to);
    return;
  }

  int dx = x1 - x0, dy = y1 - y0;
  int adx = std::abs(dx), ady = std::abs(dy);
  int steps = adx > ady ? adx : ady;
  if (steps == 0) return;
  int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;

  if (!Dash) {
    // Solid hairlines: whole spans for the straight cases.
    if (dy == 0) {
      int a = dx > 0 ? x0 : x1 + 1, b = dx > 0 ? x1 : x0 + 1;
      PaintClippedSpan(Dc, y0, a, b, Fg);
      return;
    }
  }

  // Stepping along the major axis; the minor coordinate is the exact one
  // rounded, halves toward the start: off(i) = floor((2 i minor + major - 1)
  // / (2 major)). Only the steps whose major coordinate lies in the clip box
  // are walked, so a line far longer than the surface costs no more than
  // one across it.
  const bool xMajor = adx >= ady;
  const int major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
  const TRect& box = Dc.Eff.Box();
  if (Dc.Eff.IsEmpty()) {
    if (Dash) Phase = int((Phase + steps) % Dash.Total);
    return;
  }
  const int m0 = xMajor ? x0 : y0, ms = xMajor ? sx : sy;
  const int lo = xMajor ? box.Left : box.Top, hi = xMajor ? box.Right : box.Bottom;
  long long first = ms > 0 ? (long long)lo - m0 : (long long)m0 - hi + 1;
  long long last = ms > 0 ? (long long)hi - m0 : (long long)m0 - lo + 1;  // exclusive
  if (first < 0) first = 0;
  if (last > steps) last = steps;
  // The pattern moves on by every step, seen or not.
  const int phaseAfter = Dash ? int((Phase + steps) % Dash.Total) : 0;
  if (first >= last) {
    Phase = phaseAfter;
    return;
  }
  long long off = (2 * first * minor + major - 1) / (2 * (long long)major);
  long long err = -major + 2 * first * (long long)minor - 2 * (long long)major * off;
  if (Dash) Phase = int((Phase + first) % Dash.Total);
  const bool plainRect = !Dash && Fg.Solid && Dc.Eff.IsRect() && Dc.Surf.Bpp == 32 && Fg.Rop == 0xF0;
  for (long long i = first; i < last; ++i) {
    int x = xMajor ? x0 + int(i) * sx : x0 + int(off) * sx;
    int y = xMajor ? y0 + int(off) * sy : y0 + int(i) * sy;
    if (plainRect) {
      if (x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom)
        reinterpret_cast<std::uint32_t*>(Dc.Surf.Row(y))[x] = Fg.Color;
      err += 2 * minor;
      if (err > 0) {
        ++off;
        err -= 2 * major;
      }
      continue;
    }
    bool on = true;
    if (Dash) {
      int p = Phase, k = 0;
      while (p >= Dash.Lengths[k]) p -= Dash.Lengths[k], ++k;
      on = (k & 1) == 0;
      if (++Phase == Dash.Total) Phase = 0;
    }
    if (on) PaintPixel(Dc, x, y, Fg);
    else if (OpaqueGaps) PaintPixel(Dc, x, y, Bg);
    err += 2 * minor;
    if (err > 0) {
      ++off;
      err -= 2 * major;
    }
  }
  Phase = phaseAfter;
}

void Stroker::Finish() {
  if (!Wide) return;
  EndFigure(false);
  if (Acc.IsEmpty()) return;
  for (const TRect& r : Acc.Rects) PaintRect(Dc, r, Fg);
  Acc.SetEmpty();
}

}  // namespace win::gdi

namespace win {

using namespace gdi;

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (old) *old = dc->S.CurPos;
  dc->S.CurPos = {ClampCoord(x), ClampCoord(y)};
  if (PathOpen(*dc)) PathMoveTo(*dc);
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  x = ClampCoord(x), y = ClampCoord(y);
  ORV_GDI_LOG(dc, "LineTo", "%d,%d->%d,%d", dc->S.CurPos.X, dc->S.CurPos.Y, x, y);
  if (dc->Meta) {
    dc->Meta->LineTo(*dc, x, y);
    return TRUE;
  }
  if (PathOpen(*dc)) {
    PathLineTo(*dc, x, y);
    return TRUE;
  }
  // Horizontal hairlines with a plain pen are most of what grids draw: one
  // clipped fill, no stroker.
  const Pen* pen = dc->S.CurPen;
  if (y == dc->S.CurPos.Y && pen && pen->Width <= 1 && (pen->Style == PS_SOLID || pen->Style == PS_INSIDEFRAME) &&
      !pen->Invisible() && !(pen->Geometric() && pen->Fill) &&
      dc->S.Rop2 == R2_COPYPEN && dc->Surf.Bpp == 32 && dc->Eff.IsRect()) {
    int x0 = dc->S.CurPos.X, sy = y + dc->OffY;
    int a = (x > x0 ? x0 : x + 1) + dc->OffX, b = (x > x0 ? x : x0 + 1) + dc->OffX;
    const TRect& c = dc->Eff.Rects[0];
    if (x != x0 && sy >= c.Top && sy < c.Bottom) {
      a = a > c.Left ? a : c.Left;
      b = b < c.Right ? b : c.Right;
      if (a < b)
        FillPixels(reinterpret_cast<std::uint32_t*>(dc->Surf.Row(sy)) + a, std::size_t(b - a),
                   ColorToPixel(dc->PenColor()));
    }
    dc->S.CurPos = {x, y};
    return TRUE;
  }
  Stroker st(*dc);
  st.Segment(dc->S.CurPos.X + dc->OffX, dc->S.CurPos.Y + dc->OffY, x + dc->OffX, y + dc->OffY);
  st.Finish();
  dc->S.CurPos = {x, y};
  return TRUE;
}

namespace {
void LogPoints(DC* dc, const char* call, const POINT* pts, int n) {
  if (!dc->Rec) return;
  std::string s;
  for (int i = 0; i < n && i < 32; ++i) {
    if (i) s += ' ';
    s += std::to_string(pts[i].X) + "," + std::to_string(pts[i].Y);
  }
  if (n > 32) s += " ...";
  dc->Rec->Log(*dc, call, "%s", s.c_str());
}
}  // namespace

BOOL Polyline(HDC hdc, const POINT* pts, int count) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!pts || count < 2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  LogPoints(dc, "Polyline", pts, count);
  if (dc->Meta) {
    dc->Meta->Poly(*dc, EMR_POLYLINE, pts, &count, 1);
    return TRUE;
  }
  if (PathOpen(*dc)) {
    PathPolyline(*dc, pts, count, false);
    return TRUE;
  }
  Stroker st(*dc);
  auto sx = [&](int i) { return ClampCoord(pts[i].X) + dc->OffX; };
  auto sy = [&](int i) { return ClampCoord(pts[i].Y) + dc->OffY; };
  for (int i = 0; i + 1 < count; ++i) st.Segment(sx(i), sy(i), sx(i + 1), sy(i + 1));
  st.Finish();
  return TRUE;
}

BOOL PolylineTo(HDC hdc, const POINT* pts, DWORD count) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!pts && count) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  LogPoints(dc, "PolylineTo", pts, int(count));
  if (dc->Meta) {
    const INT n = INT(count);
    if (n > 0) dc->Meta->Poly(*dc, EMR_POLYLINETO, pts, &n, 1);
    return TRUE;
  }
  if (PathOpen(*dc)) {
    PathPolyline(*dc, pts, int(count), true);
    return TRUE;
  }
  Stroker st(*dc);
  POINT cur = dc->S.CurPos;
  for (DWORD i = 0; i < count; ++i) {
    POINT p{ClampCoord(pts[i].X), ClampCoord(pts[i].Y)};
    st.Segment(cur.X + dc->OffX, cur.Y + dc->OffY, p.X + dc->OffX, p.Y + dc->OffY);
    cur = p;
  }
  st.Finish();
  dc->S.CurPos = cur;
  return TRUE;
}

}  // namespace win
