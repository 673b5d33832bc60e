#include "platform/win/WindowRegion.h"

#include "platform/gdi/Regions.h"
#include "platform/win/BackEnd.h"
#include "platform/win/Layered.h"
#include "platform/win/Paint.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"

namespace win {

using namespace detail;

int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw) {
  Window* w = Find(hwnd);
  auto* r = rgn ? gdi::LookupAs<gdi::RegionObject>(rgn) : nullptr;
  if (!w || w == Desktop() || (rgn && !r)) {
    if (w && rgn && !r) SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const gdi::Region before = CoverInParent(w, w->window);
  w->hasRegion = r != nullptr;
  if (r) w->region = r->R;
  else w->region.SetEmpty();
  if (rgn) DeleteObject(rgn);
  ShapeSurface(w);
  // What the old shape covered and the new one does not shows the parent
  // again; the window hears of its new shape as of a new frame, and with
  // a redraw is drawn whole in it.
  if (redraw && (w->style & WS_VISIBLE)) InvalidateInParent(w, before);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | (redraw ? 0 : SWP_NOREDRAW));
  return 1;
}

int GetWindowRgn(HWND hwnd, HRGN rgn) {
  Window* w = Find(hwnd);
  auto* r = gdi::LookupAs<gdi::RegionObject>(rgn);
  if (!w || !r || !w->hasRegion) return ERROR;
  r->R = w->region;
  return r->R.Kind();
}

namespace detail {

void ShapeSurface(Window* w) {
  if (!w->surface) return;
  // The window region, less the pixels of a layered window's key colour.
  const bool keyed = (w->layeredFlags & LWA_COLORKEY) != 0;
  std::vector<RECT> rects;
  if (w->hasRegion || keyed) {
    gdi::Region shape = keyed ? w->keyShape : w->region;
    if (keyed && w->hasRegion) gdi::Region::Combine(shape, shape, w->region, RGN_AND);
    rects = shape.Rects;
    // An empty shape hides the window; an empty list would show it whole.
    if (rects.empty()) rects.push_back(RECT{});
  }
  BackEnd().SetSurfaceShape(w->surface, rects);
}

}  // namespace detail

}  // namespace win
