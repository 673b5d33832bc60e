// The drawing tier's text internals: measuring and drawing one run of
// bytes with the DC's font and spacing. TextOut, ExtTextOut, TabbedTextOut
// and DrawText all end here.
#pragma once

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/GlyphCache.h"
#include "platform/rtl/Numbers.h"

namespace win::gdi {

// The realised font of the DC.
inline FontFace& DcFace(const DC& dc) { return Realize(CurrentFont(dc)); }

// The justification pixels of break number `index` of an output: the
// first (extra mod breaks) breaks get one pixel more.
inline int BreakPixels(const DC& dc, int index) {
  const int count = dc.S.BreakCount, extra = dc.S.BreakExtra;
  if (count <= 0 || extra == 0 || index >= count) return 0;
  int each = extra / count, rest = extra % count;
  if (rest < 0) rest = -rest;
  return each + (index < rest ? (extra < 0 ? -1 : 1) : 0);
}

// Widths are held within the coordinate range, as positions are: the
// character extra and the justification are held there when set, so one
// advance fits an int with room to spare, and sums of advances are made
// in 64 bits or held at each step. A run that wide lies off any surface
// all the same.
inline int HeldSum(int a, int b) { return ClampCoord(static_cast<long long>(a) + b); }

// A character's advance as output spaces it; `breaks` counts the break
// characters met so far in the output.
inline int SpacedAdvance(const DC& dc, GlyphCache& g, unsigned char ch, int& breaks) {
  int a = g.Advance(ch) + dc.S.CharExtra;
  if (ch == ' ') a += BreakPixels(dc, breaks++);
  return a;
}

// Width of a run as output draws it: advances, the character extra and
// the justification pixels of its break characters.
int RunWidth(const DC& dc, FontFace& face, const char* s, int n);

struct RunOptions {
  UINT Options = 0;             // ETO_OPAQUE, ETO_CLIPPED
  const RECT* Rect = nullptr;   // logical; for the options above
  const int* Dx = nullptr;      // per-character advances
  UINT Align = TA_LEFT | TA_TOP;
  bool UseDcAlign = true;       // false: Align above, no current position
  int UnderlineIndex = -1;      // one character to underline (a '&' prefix)
};

// Tab stops: none (every `Step` pixels), one (every |stops[0]| pixels) or a
// list of positions (then every Step pixels after the last). Positions are
// relative to the tab origin. A negative stop right-aligns the text after
// the tab at the stop's magnitude.
struct TabStops {
  int Count = 0;
  const int* Stops = nullptr;
  int Step = 8;

  // The first stop to the right of pos, every stop taken as left-aligned.
  int Next(int pos) const { return Place(pos, 0, true); }

  // Where the `width` pixels of text after a tab at pos begin: at the first
  // left-aligned stop to the right of pos, or so that they end at the first
  // right-aligned stop they can end at without starting before pos. Worked
  // out in 64 bits, as stops may be any int, and held in the coordinate
  // range.
  int Place(long long pos, int width, bool allLeft = false) const {
    auto magnitude = [](int v) { return v < 0 ? -static_cast<long long>(v) : static_cast<long long>(v); };
    auto floorDiv = [](long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); };
    long long step = Step;
    bool right = false;
    if (Count == 1 && Stops && Stops[0] != 0) {
      step = magnitude(Stops[0]);
      right = Stops[0] < 0 && !allLeft;
    } else if (Count > 1 && Stops) {
      for (int i = 0; i < Count; ++i) {
        const long long s = magnitude(Stops[i]);
        if (Stops[i] >= 0 || allLeft) {
          if (s > pos) return ClampCoord(s);
        } else if (s > pos && s - width >= pos) {
          return ClampCoord(s - width);
        }
      }
    }
    if (step <= 0) step = 1;
    // The first multiple of the step to the right of pos (and, right-aligned,
    // at least `width` beyond it).
    long long k = floorDiv(pos, step) + 1;
    if (right) {
      const long long need = floorDiv(pos + width + step - 1, step);
      if (need > k) k = need;
      return ClampCoord(k * step - width);
    }
    return ClampCoord(k * step);
  }
};

// Lays out text with tabs from x: calls piece(left, from, n) for each run
// between tabs (the first at x) and gap(from, to) for the space a tab
// spans; answers where the text ends.
template <class Piece, class Gap>
int LayOutTabbed(const DC& dc, FontFace& face, const char* s, int count, const TabStops& stops, int x, int origin,
                 Piece&& piece, Gap&& gap) {
  int pos = x, start = 0;
  for (int i = 0; i <= count; ++i) {
    if (i < count && s[i] != '\t') continue;
    const int w = RunWidth(dc, face, s + start, i - start);
    int left = pos;
    if (start > 0) {
      // This run follows a tab.
      left = HeldSum(stops.Place(static_cast<long long>(pos) - origin, w), origin);
      gap(pos, left);
    }
    piece(left, start, i - start);
    pos = HeldSum(left, w);
    start = i + 1;
  }
  return pos;
}

// Draws a run at the logical reference point; answers its width.
int DrawRun(DC& dc, int x, int y, const char* s, int n, const RunOptions& opt);

}  // namespace win::gdi
