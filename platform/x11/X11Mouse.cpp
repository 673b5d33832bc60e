// Pointer input: buttons 1, 2 and 3 are left, middle and right; 4 and 5 turn
// the wheel by one notch each way; 6 and 7 (sideways) are not ours. The
// pointer is grabbed while the window system holds a capture, so drags that
// leave the window keep reporting.
#include <X11/Xlib.h>

#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"
#include "platform/x11/X11Connection.h"

namespace win::x11 {

void X11BackEnd::OnButton(XEvent& e) {
  XButtonEvent& b = e.xbutton;
  lastTime = b.time;
  BackEndEvent be;
  be.surface = SurfaceOfWindow(b.window);
  be.pt = {b.x_root, b.y_root};
  bool down = e.type == ButtonPress;
  switch (b.button) {
    case Button1: be.button = VK_LBUTTON; break;
    case Button2: be.button = VK_MBUTTON; break;
    case Button3: be.button = VK_RBUTTON; break;
    case Button4:
    case Button5:
      if (!down) return;  // a notch is one press; its release says nothing
      be.kind = BackEndEvent::Wheel;
      be.delta = b.button == Button4 ? static_cast<int>(WHEEL_DELTA) : -static_cast<int>(WHEEL_DELTA);
      pending.push_back(be);
      return;
    default: return;
  }
  be.kind = down ? BackEndEvent::ButtonDown : BackEndEvent::ButtonUp;
  pending.push_back(be);
}

void X11BackEnd::OnCrossing(XEvent& e) {
  XCrossingEvent& c = e.xcrossing;
  lastTime = c.time;
  // Crossings caused by grabs say nothing about where the pointer is.
  if (c.mode != NotifyNormal) return;
  // Leaving reports the position outside, so the window system sees the
  // pointer go (and tells the window it left).
  BackEndEvent be;
  be.kind = BackEndEvent::MouseMove;
  be.surface = SurfaceOfWindow(c.window);
  be.pt = {c.x_root, c.y_root};
  pending.push_back(be);
}

bool X11BackEnd::GrabPointer(SurfaceId id) {
  Surface* s = Find(id);
  if (!s) return false;
  if (s->mapPending) {
    grabOnMap = id;
    return true;
  }
  unsigned int mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask;
  int result = XGrabPointer(dpy, s->window, True, mask, GrabModeAsync, GrabModeAsync, None, None,
                            lastTime ? lastTime : CurrentTime);
  if (result != GrabSuccess) return false;
  grabbed = id;
  return true;
}

void X11BackEnd::UngrabPointer() {
  grabOnMap = 0;
  if (!grabbed) return;
  XUngrabPointer(dpy, CurrentTime);
  XFlush(dpy);
  grabbed = 0;
}

void X11BackEnd::WarpPointer(POINT p) {
  XWarpPointer(dpy, None, root, 0, 0, 0, 0, p.X, p.Y);
  XFlush(dpy);
}

}  // namespace win::x11
