#include "platform/gdi/Geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace win::gdi {
namespace {

using i128 = __int128;

std::int64_t ISqrt(i128 v) {
  if (v <= 0) return 0;
  auto r = static_cast<std::int64_t>(std::sqrt(static_cast<long double>(v)));
  while (i128(r) * r > v) --r;
  while (i128(r + 1) * (r + 1) <= v) ++r;
  return r;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}
std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return -FloorDiv(-a, b); }

}  // namespace

RowSpan EllipseRow(const RECT& box, int y) {
  std::int64_t w = std::int64_t(box.Right) - box.Left, h = std::int64_t(box.Bottom) - box.Top;
  if (w <= 0 || h <= 0 || y < box.Top || y >= box.Bottom) return {y, 0, 0};
  // Doubled coordinates keep the centre and the pixel centres integral:
  // pixel x has centre 2x + 1, the ellipse centre is Left + Right and its
  // radii are w and h.
  std::int64_t cx2 = std::int64_t(box.Left) + box.Right, cy2 = std::int64_t(box.Top) + box.Bottom;
  i128 w2 = i128(w) * w, h2 = i128(h) * h;
  std::int64_t dy = 2 * std::int64_t(y) + 1 - cy2;
  i128 rem = w2 * h2 - i128(dy) * dy * w2;
  if (rem < 0) return {y, 0, 0};
  std::int64_t d = ISqrt(rem / h2);
  std::int64_t xl = CeilDiv(cx2 - d - 1, 2), xr = FloorDiv(cx2 + d - 1, 2);
  return {y, int(xl), int(xr + 1)};
}

void EllipseRows(const RECT& box, std::vector<RowSpan>& rows, RowWindow window) {
  rows.clear();
  if (box.Right <= box.Left || box.Bottom <= box.Top) return;
  int from = std::max(box.Top, window.From), to = std::min(box.Bottom, window.To);
  if (from >= to) return;
  rows.reserve(static_cast<std::size_t>(to - from));
  for (int y = from; y < to; ++y) rows.push_back(EllipseRow(box, y));
}

void RoundRectRows(const RECT& box, int ew, int eh, std::vector<RowSpan>& rows, RowWindow window) {
  rows.clear();
  int w = box.Right - box.Left, h = box.Bottom - box.Top;
  if (w <= 0 || h <= 0) return;
  ew = std::min(std::max(ew, 0), w);
  eh = std::min(std::max(eh, 0), h);
  bool corners = ew > 1 && eh > 1;
  RECT corner{0, 0, ew, eh};
  int half = eh / 2;
  int from = std::max(box.Top, window.From), to = std::min(box.Bottom, window.To);
  if (from >= to) return;
  rows.reserve(static_cast<std::size_t>(to - from));
  for (int y = from; y < to; ++y) {
    int inset = 0;
    if (corners) {
      int fromTop = y - box.Top, fromBottom = box.Bottom - 1 - y;
      if (fromTop < half) inset = EllipseRow(corner, fromTop).Left;
      else if (fromBottom < half) inset = EllipseRow(corner, eh - 1 - fromBottom).Left;
    }
    rows.push_back({y, box.Left + inset, box.Right - inset});
  }
}

void ScanPolygons(const POINT* pts, const INT* counts, int polygons, int mode, PolySpans& out, int unit,
                  RowWindow window) {
  out.RowStart.clear();
  out.Spans.clear();
  out.Top = out.Bottom = 0;
  struct Edge {
    std::int64_t X0, Y0, X1, Y1;
    int Dir;
  };
  thread_local std::vector<Edge> edges;
  edges.clear();
  std::int64_t top = INT32_MAX, bottom = INT32_MIN;
  int base = 0;
  for (int p = 0; p < polygons; ++p) {
    int n = counts[p];
    for (int i = 0; i < n; ++i) {
      const POINT& a = pts[base + i];
      const POINT& b = pts[base + (i + 1) % n];
      top = std::min<std::int64_t>(top, a.Y);
      bottom = std::max<std::int64_t>(bottom, a.Y);
      if (a.Y == b.Y) continue;
      if (a.Y < b.Y) edges.push_back({a.X, a.Y, b.X, b.Y, 1});
      else edges.push_back({b.X, b.Y, a.X, a.Y, -1});
    }
    base += n;
  }
  if (edges.empty() || top >= bottom) return;
  // Rows sample at y * unit: the first row at or below the top.
  top = std::max<std::int64_t>(CeilDiv(top, unit), window.From);
  bottom = std::min<std::int64_t>(CeilDiv(bottom, unit), window.To);
  if (top >= bottom) return;
  out.Top = int(top);
  out.Bottom = int(bottom);
  // Each row looks only at the edges that cross it: edges join the active
  // list in order of their tops and leave it below their bottoms, so a
  // polygon of many points over many rows costs its rows times the edges
  // a row crosses, not times all of them.
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.Y0 < b.Y0; });
  thread_local std::vector<const Edge*> active;
  active.clear();
  std::size_t joining = 0;
  thread_local std::vector<std::pair<std::int64_t, int>> xs;
  for (std::int64_t row = top; row < bottom; ++row) {
    std::int64_t y = row * unit;
    out.RowStart.push_back(int(out.Spans.size() / 2));
    while (joining < edges.size() && edges[joining].Y0 <= y) active.push_back(&edges[joining++]);
    active.erase(std::remove_if(active.begin(), active.end(), [y](const Edge* e) { return e->Y1 <= y; }), active.end());
    xs.clear();
    for (const Edge* edge : active) {
      const Edge& e = *edge;
      // The crossing's exact position is X0 + (y - Y0)(X1 - X0)/(Y1 - Y0);
      // only its ceiling matters for which whole pixels lie right of it.
      std::int64_t num = e.X0 * (e.Y1 - e.Y0) + (y - e.Y0) * (e.X1 - e.X0);
      xs.push_back({CeilDiv(num, (e.Y1 - e.Y0) * unit), e.Dir});
    }
    std::sort(xs.begin(), xs.end());
    int wind = 0;
    std::int64_t start = 0;
    for (std::size_t i = 0; i < xs.size(); ++i) {
      bool wasIn = mode == WINDING ? wind != 0 : (wind & 1) != 0;
      wind += mode == WINDING ? xs[i].second : 1;
      bool isIn = mode == WINDING ? wind != 0 : (wind & 1) != 0;
      if (!wasIn && isIn) {
        start = xs[i].first;
      } else if (wasIn && !isIn && xs[i].first > start) {
        std::size_t n = out.Spans.size();
        std::size_t rowFirst = std::size_t(out.RowStart.back()) * 2;
        if (n > rowFirst && out.Spans[n - 1] >= start) {
          out.Spans[n - 1] = int(std::max<std::int64_t>(out.Spans[n - 1], xs[i].first));
        } else {
          out.Spans.push_back(int(start));
          out.Spans.push_back(int(xs[i].first));
        }
      }
    }
  }
  out.RowStart.push_back(int(out.Spans.size() / 2));
}

void RingOfRows(const std::vector<RowSpan>& rows, std::vector<RowSpan>& ring) {
  ring.clear();
  auto span = [&](std::size_t i, int& l, int& r) {
    l = rows[i].Left;
    r = rows[i].Right;
    if (l >= r) l = 1, r = 0;  // empty
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    int l, r;
    span(i, l, r);
    if (l >= r) continue;
    int la = 1, ra = 0, lb = 1, rb = 0;
    if (i > 0) span(i - 1, la, ra);
    if (i + 1 < rows.size()) span(i + 1, lb, rb);
    int il = std::max({l + 1, la, lb}), ir = std::min({r - 1, ra, rb});
    if (il >= ir) {
      ring.push_back({rows[i].Y, l, r});
    } else {
      ring.push_back({rows[i].Y, l, il});
      ring.push_back({rows[i].Y, ir, r});
    }
  }
}

}  // namespace win::gdi
