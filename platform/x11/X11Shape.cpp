// Window regions of top-level windows through the Shape extension. Without
// it the window stays rectangular.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <climits>

#include "platform/x11/X11Connection.h"

namespace win::x11 {

void X11BackEnd::SetSurfaceShape(SurfaceId id, const std::vector<RECT>& rects) {
  Surface* s = Find(id);
  if (!s) return;
  if (!shapeAsked) {
    shapeAsked = true;
    int eventBase = 0, errorBase = 0;
    shapeExt = XShapeQueryExtension(dpy, &eventBase, &errorBase);
  }
  if (!shapeExt) return;
  if (rects.empty()) {
    XShapeCombineMask(dpy, s->window, ShapeBounding, 0, 0, None, ShapeSet);
  } else {
    std::vector<XRectangle> xr;
    xr.reserve(rects.size());
    // X speaks of a shape in 16-bit positions, and no window reaches past
    // them: a rectangle beyond is cut to them, not wrapped around to
    // somewhere else (a region larger than the window would leave it
    // nothing to show).
    auto cut = [](long long v) { return std::clamp<long long>(v, SHRT_MIN, SHRT_MAX); };
    for (const RECT& r : rects) {
      // Surface coordinates start at the window's corner; the X window
      // starts inside the window manager's frame.
      const long long l = cut(static_cast<long long>(r.Left) - s->inset.Left),
                      t = cut(static_cast<long long>(r.Top) - s->inset.Top),
                      rr = cut(static_cast<long long>(r.Right) - s->inset.Left),
                      b = cut(static_cast<long long>(r.Bottom) - s->inset.Top);
      if (rr <= l || b <= t) continue;
      xr.push_back({static_cast<short>(l), static_cast<short>(t), static_cast<unsigned short>(rr - l),
                    static_cast<unsigned short>(b - t)});
    }
    XShapeCombineRectangles(dpy, s->window, ShapeBounding, 0, 0, xr.data(), static_cast<int>(xr.size()), ShapeSet,
                            Unsorted);
  }
  XFlush(dpy);
}

}  // namespace win::x11
