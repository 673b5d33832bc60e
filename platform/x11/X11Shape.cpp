// Window regions of top-level windows through the Shape extension. Without
// it the window stays rectangular.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

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
    for (const RECT& r : rects) {
      // Surface coordinates start at the window's corner; the X window
      // starts inside the window manager's frame.
      int l = r.Left - s->inset.Left, t = r.Top - s->inset.Top;
      if (r.Right <= r.Left || r.Bottom <= r.Top) continue;
      xr.push_back({static_cast<short>(l), static_cast<short>(t), static_cast<unsigned short>(r.Width()),
                    static_cast<unsigned short>(r.Height())});
    }
    XShapeCombineRectangles(dpy, s->window, ShapeBounding, 0, 0, xr.data(), static_cast<int>(xr.size()), ShapeSet,
                            Unsorted);
  }
  XFlush(dpy);
}

}  // namespace win::x11
