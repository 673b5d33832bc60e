// Regions as exact y-x banded rectangle lists: rectangles sorted by top,
// then left; rectangles of one band share top and bottom and neither
// overlap nor touch; vertically adjacent bands with the same spans are
// merged. Every operation keeps this form, so equality is a comparison of
// the lists and clipping walks one band per scan line.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/rtl/Types.h"

namespace win::gdi {

class Region {
 public:
  Region() = default;
  explicit Region(const TRect& r) { SetRect(r); }

  void SetEmpty();
  // An empty or inverted rectangle gives the empty region.
  void SetRect(const TRect& r);

  bool IsEmpty() const { return Rects.empty(); }
  bool IsRect() const { return Rects.size() == 1; }
  const TRect& Box() const { return Bounds; }
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Kind() const;

  bool Contains(int x, int y) const;
  bool Intersects(const TRect& r) const;
  void Offset(int dx, int dy);
  bool operator==(const Region& o) const { return Rects == o.Rects; }

  // out = a op b for RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY; out may
  // be a or b. Answers the kind of the result.
  static int Combine(Region& out, const Region& a, const Region& b, int op);
  void IntersectRect(const TRect& r);

  // Index of the first rectangle whose band reaches below y.
  std::size_t FirstBandBelow(int y) const;

  // Builds a region band by band from the top down. Spans of a band come
  // left to right and may touch or overlap (they are merged).
  class Builder {
   public:
    explicit Builder(Region& target);
    void AddSpan(int top, int bottom, int x0, int x1);
    void Finish();

   private:
    void Flush();
    Region& Target;
    int CurTop = 0, CurBottom = 0;
    std::vector<int> Spans;  // pairs, pending for the current band
    std::size_t PrevBand = 0;
    bool Open = false;
  };

  std::vector<TRect> Rects;
  TRect Bounds{};

 private:
  friend class Builder;
  void AppendBand(int top, int bottom, const int* spans, std::size_t count, std::size_t& prevBand);
  void RecomputeBounds();
};

}  // namespace win::gdi
