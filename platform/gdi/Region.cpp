#include "platform/gdi/Region.h"

#include <algorithm>
#include <climits>

#include "platform/gdi/GdiTypes.h"

namespace win::gdi {

void Region::SetEmpty() {
  Rects.clear();
  Bounds = {};
}

void Region::SetRect(const TRect& r) {
  Rects.clear();
  if (r.Left >= r.Right || r.Top >= r.Bottom) {
    Bounds = {};
    return;
  }
  Rects.push_back(r);
  Bounds = r;
}

int Region::Kind() const {
  if (Rects.empty()) return NULLREGION;
  return Rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

std::size_t Region::FirstBandBelow(int y) const {
  // Bands are sorted by top and do not overlap, so bottoms are sorted too.
  auto it = std::upper_bound(Rects.begin(), Rects.end(), y,
                             [](int v, const TRect& r) { return v < r.Bottom; });
  return static_cast<std::size_t>(it - Rects.begin());
}

bool Region::Contains(int x, int y) const {
  if (x < Bounds.Left || x >= Bounds.Right || y < Bounds.Top || y >= Bounds.Bottom) return false;
  for (std::size_t i = FirstBandBelow(y); i < Rects.size(); ++i) {
    const TRect& r = Rects[i];
    if (r.Top > y) break;
    if (x < r.Left) return false;
    if (x < r.Right) return true;
  }
  return false;
}

bool Region::Intersects(const TRect& q) const {
  if (q.Left >= q.Right || q.Top >= q.Bottom) return false;
  if (q.Right <= Bounds.Left || q.Left >= Bounds.Right || q.Bottom <= Bounds.Top || q.Top >= Bounds.Bottom)
    return false;
  for (std::size_t i = FirstBandBelow(q.Top); i < Rects.size(); ++i) {
    const TRect& r = Rects[i];
    if (r.Top >= q.Bottom) break;
    if (r.Right > q.Left && r.Left < q.Right) return true;
  }
  return false;
}

void Region::Offset(int dx, int dy) {
  if (Rects.empty() || (dx == 0 && dy == 0)) return;
  // Saturating: a region pushed past the coordinate range would wrap.
  auto add = [](int v, int d) {
    long long s = static_cast<long long>(v) + d;
    return s > INT_MAX / 2 ? INT_MAX / 2 : s < INT_MIN / 2 ? INT_MIN / 2 : int(s);
  };
  bool clipped = false;
  for (TRect& r : Rects) {
    TRect o = r;
    r = {add(r.Left, dx), add(r.Top, dy), add(r.Right, dx), add(r.Bottom, dy)};
    // Compared wide: a rectangle spanning the whole range has no int width.
    auto span = [](int lo, int hi) { return static_cast<long long>(hi) - lo; };
    clipped |= span(r.Left, r.Right) != span(o.Left, o.Right) || span(r.Top, r.Bottom) != span(o.Top, o.Bottom);
  }
  if (clipped) {
    // Squeezed at the edge of the range: rebuild the banded form. Holding
    // at the edge keeps every edge's order, so the rectangles still come
    // band by band from the top and left to right; the builder drops what
    // lost its width or height and joins what now touches, in one pass
    // (adding them one by one cost the square of their number).
    std::vector<TRect> rects;
    rects.swap(Rects);
    Builder rebuilt(*this);
    for (const TRect& r : rects) rebuilt.AddSpan(r.Top, r.Bottom, r.Left, r.Right);
    rebuilt.Finish();
    return;
  }
  Bounds = {add(Bounds.Left, dx), add(Bounds.Top, dy), add(Bounds.Right, dx), add(Bounds.Bottom, dy)};
}

void Region::RecomputeBounds() {
  if (Rects.empty()) {
    Bounds = {};
    return;
  }
  TRect b{INT_MAX, Rects.front().Top, INT_MIN, Rects.back().Bottom};
  for (const TRect& r : Rects) {
    b.Left = std::min(b.Left, r.Left);
    b.Right = std::max(b.Right, r.Right);
  }
  Bounds = b;
}

// Appends a band of disjoint, sorted spans; merges it into the previous
// band when that one ends where this begins with the same spans.
void Region::AppendBand(int top, int bottom, const int* spans, std::size_t count, std::size_t& prevBand) {
  if (count == 0 || top >= bottom) return;
  std::size_t n = count / 2;
  if (!Rects.empty()) {
    std::size_t prevCount = Rects.size() - prevBand;
    if (Rects[prevBand].Bottom == top && prevCount == n) {
      bool same = true;
      for (std::size_t i = 0; i < n && same; ++i)
        same = Rects[prevBand + i].Left == spans[2 * i] && Rects[prevBand + i].Right == spans[2 * i + 1];
      if (same) {
        for (std::size_t i = prevBand; i < Rects.size(); ++i) Rects[i].Bottom = bottom;
        return;
      }
    }
  }
  prevBand = Rects.size();
  for (std::size_t i = 0; i < n; ++i) Rects.push_back({spans[2 * i], top, spans[2 * i + 1], bottom});
}

namespace {

// Combines two sorted lists of disjoint spans (pairs) with a boolean
// operation by sweeping their boundaries.
void CombineSpans(const TRect* a, std::size_t na, const TRect* b, std::size_t nb, int op, std::vector<int>& out) {
  out.clear();
  std::size_t ia = 0, ib = 0;
  bool inA = false, inB = false, inOut = false;
  int start = 0;
  auto edge = [](const TRect* r, std::size_t n, std::size_t i, bool in) {
    if (i >= n) return INT_MAX;
    return in ? r[i].Right : r[i].Left;
  };
  for (;;) {
    int xa = edge(a, na, ia, inA);
    int xb = edge(b, nb, ib, inB);
    int x = std::min(xa, xb);
    if (x == INT_MAX) break;
    if (xa == x) {
      if (inA) ++ia;
      inA = !inA;
    }
    if (xb == x) {
      if (inB) ++ib;
      inB = !inB;
    }
    bool r;
    switch (op) {
      case RGN_AND: r = inA && inB; break;
      case RGN_OR: r = inA || inB; break;
      case RGN_XOR: r = inA != inB; break;
      default: r = inA && !inB; break;
    }
    if (r != inOut) {
      if (r) {
        // Touching spans of the result join into one.
        if (!out.empty() && out.back() == x)
          out.pop_back();
        else
          out.push_back(x);
      } else {
        out.push_back(x);
      }
      (void)start;
      inOut = r;
    }
  }
}

struct BandCursor {
  const std::vector<TRect>& R;
  std::size_t Begin = 0, End = 0;
  explicit BandCursor(const std::vector<TRect>& r) : R(r) { Load(0); }
  void Load(std::size_t i) {
    Begin = End = i;
    while (End < R.size() && R[End].Top == R[Begin].Top) ++End;
  }
  bool Done() const { return Begin >= R.size(); }
  int Top() const { return R[Begin].Top; }
  int Bottom() const { return R[Begin].Bottom; }
  void Next() { Load(End); }
};

}  // namespace

int Region::Combine(Region& out, const Region& a, const Region& b, int op) {
  if (op == RGN_COPY) {
    if (&out != &a) out = a;
    return out.Kind();
  }
  if (op < RGN_AND || op > RGN_DIFF) return ERROR;

  // Cheap cases that need no sweep.
  if (op == RGN_AND && a.IsRect() && b.IsRect()) {
    const TRect &p = a.Rects[0], &q = b.Rects[0];
    out.SetRect({std::max(p.Left, q.Left), std::max(p.Top, q.Top), std::min(p.Right, q.Right),
                 std::min(p.Bottom, q.Bottom)});
    return out.Kind();
  }
  // A rectangle that holds all of the other region is their union: a
  // window already invalid all over is invalidated again at every change.
  auto holds = [](const Region& r, const Region& o) {
    if (!r.IsRect()) return false;
    const TRect& p = r.Rects[0];
    const TRect& q = o.Bounds;
    return p.Left <= q.Left && p.Top <= q.Top && q.Right <= p.Right && q.Bottom <= p.Bottom;
  };
  if (op == RGN_OR && !a.IsEmpty() && !b.IsEmpty() && (holds(a, b) || holds(b, a))) {
    const Region& pick = holds(a, b) ? a : b;
    if (&out != &pick) out = pick;
    return out.Kind();
  }
  if (a.IsEmpty() || b.IsEmpty()) {
    const Region* pick;
    if (op == RGN_AND) pick = nullptr;
    else if (op == RGN_DIFF) pick = a.IsEmpty() ? nullptr : &a;
    else pick = a.IsEmpty() ? &b : &a;
    if (!pick) out.SetEmpty();
    else if (&out != pick) out = *pick;
    return out.Kind();
  }

  // Scratch kept per thread; plain pointers need no guard on access.
  thread_local Region* scratch = nullptr;
  thread_local std::vector<int>* spanScratch = nullptr;
  if (!scratch) {
    scratch = new Region;
    spanScratch = new std::vector<int>;
  }
  Region& result = *scratch;
  std::vector<int>& spans = *spanScratch;
  std::vector<TRect>& out_ = result.Rects;
  out_.clear();
  out_.reserve(a.Rects.size() + b.Rects.size());
  std::size_t prevBand = 0;
  bool havePrev = false;

  // Ends the band that starts at `first` in the output: merges it into the
  // previous band when that one touches it with the same spans.
  auto closeBand = [&](std::size_t first) {
    std::size_t n = out_.size() - first;
    if (n == 0) return;
    if (havePrev && first - prevBand == n && out_[prevBand].Bottom == out_[first].Top) {
      bool same = true;
      for (std::size_t i = 0; i < n && same; ++i)
        same = out_[prevBand + i].Left == out_[first + i].Left && out_[prevBand + i].Right == out_[first + i].Right;
      if (same) {
        int bottom = out_[first].Bottom;
        for (std::size_t i = prevBand; i < first; ++i) out_[i].Bottom = bottom;
        out_.resize(first);
        return;
      }
    }
    prevBand = first;
    havePrev = true;
  };
  // The spans of one band copied for the rows [top, bottom).
  auto copySpans = [&](const TRect* r, const TRect* e, int top, int bottom) {
    for (; r < e; ++r) out_.push_back({r->Left, top, r->Right, bottom});
  };

  BandCursor ca(a.Rects), cb(b.Rects);
  int y = std::min(ca.Top(), cb.Top());
  while (!ca.Done() || !cb.Done()) {
    bool activeA = !ca.Done() && ca.Top() <= y;
    bool activeB = !cb.Done() && cb.Top() <= y;
    if (!activeA && !activeB) {
      // A gap in both: jump to the next band top.
      y = std::min(ca.Done() ? INT_MAX : ca.Top(), cb.Done() ? INT_MAX : cb.Top());
      continue;
    }
    int next = INT_MAX;
    if (!ca.Done()) next = std::min(next, activeA ? ca.Bottom() : ca.Top());
    if (!cb.Done()) next = std::min(next, activeB ? cb.Bottom() : cb.Top());

    const TRect *pa = &a.Rects[0] + ca.Begin, *ea = &a.Rects[0] + ca.End;
    const TRect *pb = cb.Done() ? nullptr : &b.Rects[0] + cb.Begin, *eb = cb.Done() ? nullptr : &b.Rects[0] + cb.End;
    std::size_t first = out_.size();
    if (activeA && activeB) {
      switch (op) {
        case RGN_AND:
          while (pa < ea && pb < eb) {
            int l = std::max(pa->Left, pb->Left), r = std::min(pa->Right, pb->Right);
            if (l < r) out_.push_back({l, y, r, next});
            if (pa->Right < pb->Right) ++pa;
            else ++pb;
          }
          break;
        case RGN_OR: {
          // Merge by left edge, joining what overlaps or touches. The
          // band has room for every input span; unused room is dropped.
          std::size_t w = out_.size();
          out_.resize(w + std::size_t(ea - pa) + std::size_t(eb - pb));
          TRect* o = out_.data() + w;
          const TRect* t = pa->Left <= pb->Left ? pa++ : pb++;
          int cl = t->Left, cr = t->Right;
          auto take = [&](const TRect* q) {
            if (q->Left <= cr) {
              if (q->Right > cr) cr = q->Right;
            } else {
              *o++ = {cl, y, cr, next};
              cl = q->Left;
              cr = q->Right;
            }
          };
          while (pa < ea && pb < eb) take(pa->Left <= pb->Left ? pa++ : pb++);
          while (pa < ea) take(pa++);
          while (pb < eb) take(pb++);
          *o++ = {cl, y, cr, next};
          out_.resize(std::size_t(o - out_.data()));
          break;
        }
        case RGN_DIFF:
          for (; pa < ea; ++pa) {
            int l = pa->Left;
            while (pb < eb && pb->Right <= l) ++pb;
            const TRect* q = pb;
            while (q < eb && q->Left < pa->Right) {
              if (q->Left > l) out_.push_back({l, y, q->Left, next});
              l = std::max(l, q->Right);
              if (l >= pa->Right) break;
              ++q;
            }
            if (l < pa->Right) out_.push_back({l, y, pa->Right, next});
          }
          break;
        default:
          CombineSpans(pa, std::size_t(ea - pa), pb, std::size_t(eb - pb), op, spans);
          for (std::size_t i = 0; i + 1 < spans.size(); i += 2) out_.push_back({spans[i], y, spans[i + 1], next});
          break;
      }
    } else if (activeA) {
      if (op != RGN_AND) copySpans(pa, ea, y, next);
    } else if (op == RGN_OR || op == RGN_XOR) {
      copySpans(pb, eb, y, next);
    }
    closeBand(first);

    y = next;
    if (activeA && ca.Bottom() <= y) ca.Next();
    if (activeB && cb.Bottom() <= y) cb.Next();
    if (op == RGN_AND && (ca.Done() || cb.Done())) break;
    if (op == RGN_DIFF && ca.Done()) break;
  }
  result.RecomputeBounds();
  std::swap(out.Rects, result.Rects);
  out.Bounds = result.Bounds;
  return out.Kind();
}

void Region::IntersectRect(const TRect& r) {
  if (IsEmpty()) return;
  if (r.Left <= Bounds.Left && r.Top <= Bounds.Top && r.Right >= Bounds.Right && r.Bottom >= Bounds.Bottom) return;
  thread_local Region tmp;
  tmp.SetRect(r);
  Combine(*this, *this, tmp, RGN_AND);
}

Region::Builder::Builder(Region& target) : Target(target) { Target.Rects.clear(); }

void Region::Builder::Flush() {
  if (!Open) return;
  // Sort and merge overlapping or touching spans of the band.
  std::size_t n = Spans.size() / 2;
  bool sorted = true;
  for (std::size_t i = 1; i < n && sorted; ++i) sorted = Spans[2 * i] >= Spans[2 * i - 2];
  if (!sorted) {
    std::vector<std::pair<int, int>> tmp(n);
    for (std::size_t i = 0; i < n; ++i) tmp[i] = {Spans[2 * i], Spans[2 * i + 1]};
    std::sort(tmp.begin(), tmp.end());
    for (std::size_t i = 0; i < n; ++i) Spans[2 * i] = tmp[i].first, Spans[2 * i + 1] = tmp[i].second;
  }
  std::size_t w = 0;
  for (std::size_t i = 0; i < n; ++i) {
    int l = Spans[2 * i], r = Spans[2 * i + 1];
    if (l >= r) continue;
    if (w > 0 && l <= Spans[w - 1]) {
      Spans[w - 1] = std::max(Spans[w - 1], r);
    } else {
      Spans[w++] = l;
      Spans[w++] = r;
    }
  }
  Target.AppendBand(CurTop, CurBottom, Spans.data(), w, PrevBand);
  Spans.clear();
  Open = false;
}

void Region::Builder::AddSpan(int top, int bottom, int x0, int x1) {
  if (top >= bottom || x0 >= x1) return;
  if (Open && (top != CurTop || bottom != CurBottom)) Flush();
  if (!Open) {
    // Bands must come top-down; an out-of-order band is dropped rather
    // than breaking the banded form.
    if (!Target.Rects.empty() && top < Target.Rects.back().Bottom) return;
    CurTop = top;
    CurBottom = bottom;
    Open = true;
  }
  Spans.push_back(x0);
  Spans.push_back(x1);
}

void Region::Builder::Finish() {
  Flush();
  Target.RecomputeBounds();
}

}  // namespace win::gdi
