#include "platform/win/ScrollWindow.h"

#include <cstring>
#include <vector>

#include "platform/gdi/Regions.h"
#include "platform/win/Paint.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"

namespace win {

using namespace detail;

namespace {

// Moves the pixels of the region dest (client coordinates) from dest less
// (dx, dy), through a copy of their source so overlapping moves are safe.
void MovePixels(Window* w, const gdi::Region& dest, int dx, int dy) {
  if (dest.IsEmpty()) return;
  Window* root = Root(w);
  Backing& b = BackingOf(root);
  RECT rr = ScreenWindowRect(root), cr = ScreenClientRect(w);
  int ox = cr.Left - rr.Left, oy = cr.Top - rr.Top;
  RECT box = dest.Box();
  int bw = box.Width(), bh = box.Height();
  std::vector<std::uint32_t> copy(static_cast<std::size_t>(bw) * bh);
  for (int y = 0; y < bh; ++y) {
    int sy = box.Top + y - dy + oy;
    int sx = box.Left - dx + ox;
    for (int x = 0; x < bw; ++x) {
      int px = sx + x;
      bool inside = px >= 0 && px < b.width && sy >= 0 && sy < b.height;
      copy[static_cast<std::size_t>(y) * bw + x] = inside ? b.pixels[static_cast<std::size_t>(sy) * b.width + px] : 0;
    }
  }
  for (const RECT& r : dest.Rects) {
    for (int y = r.Top; y < r.Bottom; ++y) {
      int ty = y + oy;
      if (ty < 0 || ty >= b.height) continue;
      for (int x = r.Left; x < r.Right; ++x) {
        int tx = x + ox;
        if (tx < 0 || tx >= b.width) continue;
        b.pixels[static_cast<std::size_t>(ty) * b.width + tx] =
            copy[static_cast<std::size_t>(y - box.Top) * bw + (x - box.Left)];
      }
    }
  }
  MarkDirty(root, {box.Left + ox, box.Top + oy, box.Right + ox, box.Bottom + oy});
}

}  // namespace

int ScrollWindowEx(HWND hwnd, int dx, int dy, LPCRECT scroll, LPCRECT clip, HRGN updateRgn, LPRECT updateRect,
                   UINT flags) {
  Window* w = Find(hwnd);
  auto* out = updateRgn ? gdi::LookupAs<gdi::RegionObject>(updateRgn) : nullptr;
  if (!w || (updateRgn && !out)) return ERROR;
  RECT client{0, 0, w->client.Width(), w->client.Height()};
  gdi::Region area(scroll ? *scroll : client);
  area.IntersectRect(client);
  gdi::Region limit(clip ? *clip : client);
  limit.IntersectRect(client);
  gdi::Region::Combine(area, area, limit, RGN_AND);

  // Valid pixels land where both source and target show.
  gdi::Region vis;
  VisibleRegion(w, false, 0, vis);
  gdi::Region source = area;
  gdi::Region::Combine(source, source, vis, RGN_AND);
  gdi::Region dest = source;
  dest.Offset(dx, dy);
  gdi::Region::Combine(dest, dest, area, RGN_AND);
  gdi::Region::Combine(dest, dest, vis, RGN_AND);
  if (Paintable(w)) MovePixels(w, dest, dx, dy);
  else dest.SetEmpty();

  // What was already invalid inside the moving part moves along.
  gdi::Region pending = w->update;
  gdi::Region::Combine(pending, pending, area, RGN_AND);
  if (!pending.IsEmpty()) {
    gdi::Region::Combine(w->update, w->update, pending, RGN_DIFF);
    pending.Offset(dx, dy);
    gdi::Region::Combine(pending, pending, area, RGN_AND);
    gdi::Region::Combine(w->update, w->update, pending, RGN_OR);
  }
  gdi::Region uncovered = area;
  gdi::Region::Combine(uncovered, uncovered, dest, RGN_DIFF);
  if (out) out->R = uncovered;
  if (updateRect) *updateRect = uncovered.IsEmpty() ? RECT{} : uncovered.Box();
  int kind = uncovered.Kind();

  if (flags & SW_SCROLLCHILDREN) {
    RECT moving = scroll ? *scroll : client;
    std::vector<HWND> kids;
    for (Window* c : w->children) {
      RECT cw = c->window;
      bool hit = !scroll || (cw.Left < moving.Right && moving.Left < cw.Right && cw.Top < moving.Bottom &&
                             moving.Top < cw.Bottom);
      if (hit) kids.push_back(c->handle);
    }
    for (HWND k : kids)
      if (Window* c = Peek(k))
        SetWindowPos(k, nullptr, c->window.Left + dx, c->window.Top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if ((flags & (SW_INVALIDATE | SW_ERASE)) && !uncovered.IsEmpty() && Peek(hwnd)) {
    HRGN h = gdi::NewRegionHandle(uncovered);
    RedrawWindow(hwnd, nullptr, h, RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0) |
                                       ((flags & SW_SCROLLCHILDREN) ? RDW_ALLCHILDREN : 0));
    DeleteObject(h);
  }
  return kind;
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, LPCRECT scroll, LPCRECT clip) {
  UINT flags = SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN);
  return ScrollWindowEx(hwnd, dx, dy, scroll, clip, nullptr, nullptr, flags) != ERROR;
}

}  // namespace win
