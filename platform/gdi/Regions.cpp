#include "platform/gdi/Regions.h"

#include <algorithm>
#include <optional>

#include "platform/gdi/Geometry.h"
#include "platform/gdi/MetafileRecorder.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Recorder.h"

namespace win::gdi {

HRGN NewRegionHandle(const Region& r) {
  auto* o = new RegionObject;
  o->R = r;
  return reinterpret_cast<HRGN>(Register(o));
}

namespace {

RegionObject* GetRgn(HRGN h) {
  RegionObject* r = LookupAs<RegionObject>(h);
  if (!r) SetLastError(ERROR_INVALID_HANDLE);
  return r;
}

// Shapes made into regions are scanned over at most these rows.
constexpr RowWindow kRegionRows{-(1 << 20), 1 << 20};

TRect Normalized(int l, int t, int r, int b) {
  l = ClampCoord(l), t = ClampCoord(t), r = ClampCoord(r), b = ClampCoord(b);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  return {l, t, r, b};
}

HRGN RegionOfRows(const std::vector<RowSpan>& rows) {
  auto* o = new RegionObject;
  Region::Builder b(o->R);
  for (const RowSpan& s : rows) b.AddSpan(s.Y, s.Y + 1, s.Left, s.Right);
  b.Finish();
  return reinterpret_cast<HRGN>(Register(o));
}

}  // namespace

}  // namespace win::gdi

namespace win {

using namespace gdi;

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return NewRegionHandle(Region(Normalized(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateRectRgn(rect->Left, rect->Top, rect->Right, rect->Bottom);
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  thread_local std::vector<RowSpan> rows;
  EllipseRows(Normalized(left, top, right, bottom), rows, kRegionRows);
  return RegionOfRows(rows);
}

HRGN CreateEllipticRgnIndirect(const RECT* rect) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateEllipticRgn(rect->Left, rect->Top, rect->Right, rect->Bottom);
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
  thread_local std::vector<RowSpan> rows;
  RoundRectRows(Normalized(left, top, right, bottom), width, height, rows, kRegionRows);
  return RegionOfRows(rows);
}

HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int mode) {
  if (!points || !counts || polygons <= 0 || (mode != ALTERNATE && mode != WINDING)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  for (int i = 0; i < polygons; ++i)
    if (counts[i] < 2) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
  // Points are held within the coordinate range first, as drawing a
  // polygon holds them: the scan's arithmetic on edges between points at
  // the ends of the 32-bit range would overflow.
  std::size_t total = 0;
  for (int i = 0; i < polygons; ++i) total += std::size_t(counts[i]);
  thread_local std::vector<POINT> held;
  held.resize(total);
  for (std::size_t i = 0; i < total; ++i) held[i] = {ClampCoord(points[i].X), ClampCoord(points[i].Y)};
  thread_local PolySpans spans;
  ScanPolygons(held.data(), counts, polygons, mode, spans, 1, kRegionRows);
  auto* o = new RegionObject;
  Region::Builder b(o->R);
  for (int y = spans.Top; y < spans.Bottom; ++y) {
    int i0 = spans.RowStart[std::size_t(y - spans.Top)], i1 = spans.RowStart[std::size_t(y - spans.Top + 1)];
    for (int i = i0; i < i1; ++i) b.AddSpan(y, y + 1, spans.Spans[2 * std::size_t(i)], spans.Spans[2 * std::size_t(i) + 1]);
  }
  b.Finish();
  return reinterpret_cast<HRGN>(Register(o));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int mode) {
  INT n = count;
  return CreatePolyPolygonRgn(points, &n, 1, mode);
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
  RegionObject* r = GetRgn(rgn);
  if (!r) return FALSE;
  r->R.SetRect(Normalized(left, top, right, bottom));
  return TRUE;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  RegionObject* d = GetRgn(dest);
  RegionObject* a = GetRgn(src1);
  if (!d || !a) return ERROR;
  if (mode == RGN_COPY) {
    d->R = a->R;
    return d->R.Kind();
  }
  RegionObject* b = GetRgn(src2);
  if (!b || mode < RGN_AND || mode > RGN_DIFF) return ERROR;
  return Region::Combine(d->R, a->R, b->R, mode);
}

BOOL EqualRgn(HRGN a, HRGN b) {
  RegionObject* ra = GetRgn(a);
  RegionObject* rb = GetRgn(b);
  if (!ra || !rb) return ERROR;
  return ra->R == rb->R ? TRUE : FALSE;
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  RegionObject* r = GetRgn(rgn);
  if (!r) return ERROR;
  r->R.Offset(ClampCoord(dx), ClampCoord(dy));
  return r->R.Kind();
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
  RegionObject* r = GetRgn(rgn);
  return r && r->R.Contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN rgn, const RECT* rect) {
  RegionObject* r = GetRgn(rgn);
  if (!r || !rect) return FALSE;
  return r->R.Intersects(Normalized(rect->Left, rect->Top, rect->Right, rect->Bottom)) ? TRUE : FALSE;
}

int GetRgnBox(HRGN rgn, RECT* rect) {
  RegionObject* r = GetRgn(rgn);
  if (!r || !rect) return ERROR;
  *rect = r->R.Box();
  return r->R.Kind();
}

namespace {

// Paints every rectangle of a region (logical coordinates) with a paint.
void PaintRegion(DC& dc, const Region& rgn, const Paint& paint) {
  for (const TRect& r : rgn.Rects)
    PaintRect(dc, {ClampCoord(r.Left) + dc.OffX, ClampCoord(r.Top) + dc.OffY, ClampCoord(r.Right) + dc.OffX,
                   ClampCoord(r.Bottom) + dc.OffY},
              paint);
}

// FillRgn, PaintRgn and InvertRgn alike: the handles checked (FillRgn's
// brush too; the others take none), the call logged, and on a metafile DC
// the region recorded as `record`. Otherwise setup(dc, brush, paint) makes
// the paint, and the region is painted with it unless setup answers false.
template <class Setup>
BOOL DrawRegion(HDC hdc, HRGN rgn, std::optional<HBRUSH> brush, const char* call, DWORD record, Setup setup) {
  DC* dc = LookupDC(hdc);
  RegionObject* r = GetRgn(rgn);
  Brush* b = brush ? BrushArg(*brush) : nullptr;
  if (!dc || !r || (brush && !b)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  ORV_GDI_LOG(dc, call, "box=%d,%d,%d,%d rects=%zu%s%s", r->R.Box().Left, r->R.Box().Top, r->R.Box().Right,
              r->R.Box().Bottom, r->R.Rects.size(), b ? " brush=" : "", b ? b->Summary().c_str() : "");
  if (dc->Meta) {
    dc->Meta->RegionDraw(*dc, record, r->R, b, 0, 0);
    return TRUE;
  }
  Paint p;
  if (setup(*dc, b, p)) PaintRegion(*dc, r->R, p);
  return TRUE;
}

// The pixels p of r whose run p, p + 1, ..., p + n - 1 along one axis lies
// wholly in r. Runs double in length and join (a run of a + b is one of a
// and one of b moved by a), so a frame n pixels wide costs some 2 log2 n
// combinations where one per pixel of width let a picture's wide frame on
// a large region run for seconds.
Region RunsInside(const Region& r, int n, bool across) {
  auto moved = [across](Region g, int by) {
    g.Offset(across ? -by : 0, across ? 0 : -by);
    return g;
  };
  Region result, run = r;
  int resultLength = 0, runLength = 1;
  for (;;) {
    if (n & 1) {
      if (resultLength == 0) result = run;
      else Region::Combine(result, result, moved(run, resultLength), RGN_AND);
      resultLength += runLength;
    }
    n >>= 1;
    if (n == 0) return result;
    Region::Combine(run, run, moved(run, runLength), RGN_AND);
    runLength *= 2;
  }
}

}  // namespace

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush) {
  return DrawRegion(hdc, rgn, brush, "FillRgn", EMR_FILLRGN,
                    [](DC& dc, Brush* b, Paint& p) { return BrushPaint(dc, b, 0xF0, p); });
}

BOOL PaintRgn(HDC hdc, HRGN rgn) {
  return DrawRegion(hdc, rgn, std::nullopt, "PaintRgn", EMR_PAINTRGN, [](DC& dc, Brush*, Paint& p) {
    return BrushPaint(dc, dc.S.CurBrush, Rop2ToRop3(dc.S.Rop2), p);
  });
}

BOOL InvertRgn(HDC hdc, HRGN rgn) {
  return DrawRegion(hdc, rgn, std::nullopt, "InvertRgn", EMR_INVERTRGN, [](DC&, Brush*, Paint& p) {
    SolidPaint(0, 0x55, p);
    return true;
  });
}

BOOL FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int width, int height) {
  DC* dc = LookupDC(hdc);
  RegionObject* r = GetRgn(rgn);
  Brush* b = BrushArg(brush);
  if (!dc || !r || !b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (width <= 0 || height <= 0) return FALSE;
  if (dc->Meta) {
    dc->Meta->RegionDraw(*dc, EMR_FRAMERGN, r->R, b, width, height);
    return TRUE;
  }
  // A frame wider than half the region is all of it.
  width = std::min(width, r->R.Box().Width() / 2 + 2);
  height = std::min(height, r->R.Box().Height() / 2 + 2);
  ORV_GDI_LOG(dc, "FrameRgn", "box=%d,%d,%d,%d rects=%zu brush=%s w=%d h=%d", r->R.Box().Left, r->R.Box().Top,
              r->R.Box().Right, r->R.Box().Bottom, r->R.Rects.size(), b->Summary().c_str(), width, height);
  // The frame is the region less the region shrunk by the frame size: a
  // pixel stays inside only when its whole width x height neighbourhood
  // does, across and then down.
  // Runs longer than the region is wide or tall leave nothing inside: the
  // frame is all of it. Compared in 64 bits, as a region moved far enough
  // out spans nearly the whole 32-bit range.
  Region frame;
  if (2LL * width - 1 > r->R.Box().Width() || 2LL * height - 1 > r->R.Box().Height()) {
    frame = r->R;
  } else {
    Region inner = RunsInside(r->R, 2 * width - 1, true);
    inner.Offset(width - 1, 0);
    inner = RunsInside(inner, 2 * height - 1, false);
    inner.Offset(0, height - 1);
    Region::Combine(frame, r->R, inner, RGN_DIFF);
  }
  Paint p;
  if (BrushPaint(*dc, b, 0xF0, p)) PaintRegion(*dc, frame, p);
  return TRUE;
}

}  // namespace win
