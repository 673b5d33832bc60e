#include "platform/gdi/Lines.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/gdi/Geometry.h"
#include "platform/gdi/MetafileRecorder.h"
#include "platform/gdi/Paths.h"
#include "platform/gdi/Recorder.h"

namespace win::gdi {

namespace {
const int kDash[] = {18, 6};
const int kDot[] = {3, 3};
const int kDashDot[] = {9, 6, 3, 6};
const int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
const int kAlternate[] = {1, 1};
}  // namespace

Stroker::Stroker(DC& dc) : Dc(dc) {
  const Pen* pen = dc.S.CurPen;
  if (!pen || pen->Style == PS_NULL) {
    IsNull = true;
    return;
  }
  std::uint8_t rop = Rop2ToRop3(dc.S.Rop2);
  SolidPaint(DevicePixel(dc, dc.PenColor()), rop, Fg);
  PenWidth = std::max(pen->Width, 1);  // a width of 0 is a hairline too
  Wide = PenWidth > 1;
  if (Wide || pen->Style == PS_SOLID || pen->Style == PS_INSIDEFRAME) return;
  SolidPaint(DevicePixel(dc, dc.S.BkColor), rop, Bg);
  OpaqueGaps = dc.S.BkMode == OPAQUE;
  switch (pen->Style) {
    case PS_DASH: Dash = kDash, DashCount = 2; break;
    case PS_DOT: Dash = kDot, DashCount = 2; break;
    case PS_DASHDOT: Dash = kDashDot, DashCount = 4; break;
    case PS_DASHDOTDOT: Dash = kDashDotDot, DashCount = 6; break;
    case PS_ALTERNATE: Dash = kAlternate, DashCount = 2; break;
    case PS_USERSTYLE: Dash = pen->Dashes.data(), DashCount = int(pen->Dashes.size()); break;
    default: break;
  }
  for (int i = 0; i < DashCount; ++i) DashTotal += Dash[i];
  if (DashTotal == 0) Dash = nullptr, DashCount = 0;  // a pattern of no length draws solid
}

void Stroker::Dot(int x, int y) {
  if (IsNull) return;
  if (Wide) {
    Segment(x, y, x, y);
    return;
  }
  PaintPixel(Dc, x, y, Fg);
}

void Stroker::Segment(int x0, int y0, int x1, int y1) {
  if (IsNull) return;
  if (Wide) {
    // The band of the segment plus a disc at each end. A pixel is in when
    // its centre is; measuring from pixel centres, the band's corners are
    // the end points moved by half the width, in sixteenths of a pixel.
    constexpr int U = 16;
    thread_local Region piece;
    thread_local std::vector<RowSpan> rows;
    auto addDisc = [&](int cx, int cy) {
      int h = PenWidth / 2;
      EllipseRows({cx - h, cy - h, cx - h + PenWidth, cy - h + PenWidth}, rows);
      Region::Builder b(piece);
      for (const RowSpan& r : rows) b.AddSpan(r.Y, r.Y + 1, r.Left, r.Right);
      b.Finish();
      Region::Combine(Acc, Acc, piece, RGN_OR);
    };
    addDisc(x0, y0);
    if (x0 != x1 || y0 != y1) {
      addDisc(x1, y1);
      double dx = x1 - x0, dy = y1 - y0, len = std::sqrt(dx * dx + dy * dy);
      double nx = -dy / len * PenWidth / 2.0, ny = dx / len * PenWidth / 2.0;
      POINT q[4] = {
          {int(std::lround((x0 + nx) * U)), int(std::lround((y0 + ny) * U))},
          {int(std::lround((x1 + nx) * U)), int(std::lround((y1 + ny) * U))},
          {int(std::lround((x1 - nx) * U)), int(std::lround((y1 - ny) * U))},
          {int(std::lround((x0 - nx) * U)), int(std::lround((y0 - ny) * U))},
      };
      thread_local PolySpans spans;
      INT four = 4;
      const TRect& clip = Dc.Eff.Box();
      ScanPolygons(q, &four, 1, WINDING, spans, U, {clip.Top, clip.Bottom});
      Region::Builder b(piece);
      for (int y = spans.Top; y < spans.Bottom; ++y) {
        int i0 = spans.RowStart[std::size_t(y - spans.Top)], i1 = spans.RowStart[std::size_t(y - spans.Top + 1)];
        for (int i = i0; i < i1; ++i)
          b.AddSpan(y, y + 1, spans.Spans[2 * std::size_t(i)], spans.Spans[2 * std::size_t(i) + 1]);
      }
      b.Finish();
      Region::Combine(Acc, Acc, piece, RGN_OR);
    }
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
    if (Dash) Phase = int((Phase + steps) % DashTotal);
    return;
  }
  const int m0 = xMajor ? x0 : y0, ms = xMajor ? sx : sy;
  const int lo = xMajor ? box.Left : box.Top, hi = xMajor ? box.Right : box.Bottom;
  long long first = ms > 0 ? (long long)lo - m0 : (long long)m0 - hi + 1;
  long long last = ms > 0 ? (long long)hi - m0 : (long long)m0 - lo + 1;  // exclusive
  if (first < 0) first = 0;
  if (last > steps) last = steps;
  // The pattern moves on by every step, seen or not.
  const int phaseAfter = Dash ? int((Phase + steps) % DashTotal) : 0;
  if (first >= last) {
    Phase = phaseAfter;
    return;
  }
  long long off = (2 * first * minor + major - 1) / (2 * (long long)major);
  long long err = -major + 2 * first * (long long)minor - 2 * (long long)major * off;
  if (Dash) Phase = int((Phase + first) % DashTotal);
  const bool plainRect = !Dash && Dc.Eff.IsRect() && Dc.Surf.Bpp == 32 && Fg.Rop == 0xF0;
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
      while (p >= Dash[k]) p -= Dash[k], ++k;
      on = (k & 1) == 0;
      if (++Phase == DashTotal) Phase = 0;
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
  if (!Wide || Acc.IsEmpty()) return;
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
