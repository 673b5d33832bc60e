// The drawing tier's text internals: measuring and drawing one run of
// bytes with the DC's font and spacing. TextOut, ExtTextOut, TabbedTextOut
// and DrawText all end here.
#pragma once

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/GlyphCache.h"

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

// Tab stops: none (every `Step` pixels), one (every stops[0] pixels) or a
// list of positions (then every Step pixels after the last). Positions are
// relative to the tab origin.
struct TabStops {
  int Count = 0;
  const int* Stops = nullptr;
  int Step = 8;
  // The first stop to the right of pos.
  int Next(int pos) const {
    int step = Step;
    if (Count == 1 && Stops && Stops[0] != 0) step = Stops[0] < 0 ? -Stops[0] : Stops[0];
    if (Count > 1 && Stops) {
      for (int i = 0; i < Count; ++i) {
        int s = Stops[i] < 0 ? -Stops[i] : Stops[i];
        if (s > pos) return s;
      }
    }
    if (step <= 0) step = 1;
    int q = pos >= 0 ? pos / step : -((-pos + step - 1) / step);
    return (q + 1) * step;
  }
};

// Draws a run at the logical reference point; answers its width.
int DrawRun(DC& dc, int x, int y, const char* s, int n, const RunOptions& opt);

}  // namespace win::gdi
