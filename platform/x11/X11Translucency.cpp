// Translucent surfaces through the standard window-opacity property, which
// a compositing manager honours; without one the window shows opaque. A
// fully opaque window carries no property at all.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "platform/x11/X11Connection.h"

namespace win::x11 {

void X11BackEnd::SetSurfaceOpacity(SurfaceId id, BYTE alpha) {
  Surface* s = Find(id);
  if (!s) return;
  const Atom opacity = XInternAtom(dpy, "_NET_WM_WINDOW_OPACITY", False);
  if (alpha == 255) {
    XDeleteProperty(dpy, s->window, opacity);
  } else {
    // 0 is transparent, 0xFFFFFFFF opaque.
    long value = static_cast<long>(static_cast<unsigned long>(alpha) * 0x01010101UL);
    XChangeProperty(dpy, s->window, opacity, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&value), 1);
  }
  XFlush(dpy);
}

}  // namespace win::x11
