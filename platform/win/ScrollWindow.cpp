#include "platform/win/ScrollWindow.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "platform/gdi/Regions.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/Paint.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"

namespace win {

using namespace detail;

namespace {

// Moves the pixels of the region dest (client coordinates) from dest less
// (dx, dy).
void MovePixels(Window* w, const gdi::Region& dest, int dx, int dy) {
  if (dest.IsEmpty()) return;
  Window* root = Root(w);
  RECT rr = ScreenWindowRect(root), cr = ScreenClientRect(w);
  gdi::Region inRoot = dest;
  inRoot.Offset(cr.Left - rr.Left, cr.Top - rr.Top);
  MoveRootPixels(root, inRoot, dx, dy);
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
    // Under a parent that clips them the children's pixels stayed where
    // they were, and go along with each child; otherwise they have been
    // scrolled already and the children are drawn again.
    const UINT copy = (w->style & WS_CLIPCHILDREN) ? 0 : SWP_NOCOPYBITS;
    // Added wide: a delta near the end of the range would wrap a child
    // round to the other side; placing it limits the result in any case.
    auto shifted = [](int v, int d) { return ClampToInteger(static_cast<long long>(v) + d); };
    for (HWND k : kids)
      if (Window* c = Peek(k))
        SetWindowPos(k, nullptr, shifted(c->window.Left, dx), shifted(c->window.Top, dy), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | copy);
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
