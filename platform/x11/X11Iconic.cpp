// Minimised windows under a window manager: the manager shows a decorated
// surface minimised as its icon (moved off the screen, the window would
// be lost to the user), and minimises and opens surfaces itself, which the
// window system hears as requests. Without a manager the window system's
// own off-screen place for a minimised window is all there is.
#include "platform/x11/X11Connection.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace win::x11 {

void X11BackEnd::SetSurfaceMinimized(SurfaceId id, bool minimized) {
  Surface* s = Find(id);
  if (!s || !s->managed || s->iconic == minimized) return;
  s->iconic = minimized;
  // A window not given to the manager yet starts in the state it has.
  ApplyWmHints(*s);
  s->stateAsked = s->given;
  if (s->given && minimized) {
    s->mapPending = false;
    XIconifyWindow(dpy, s->window, screen);
  } else if (s->given) {
    // Mapped again with its next picture, at the place it is given in the
    // meantime; active again if the window system made it so.
    s->mapPending = true;
    if (reportedFocus == id) activateOnMap = id;
  }
  XFlush(dpy);
}

void X11BackEnd::OnWmState(XEvent& e) {
  if (e.xproperty.atom != atoms.wmState) return;
  const SurfaceId id = SurfaceOfWindow(e.xproperty.window);
  Surface* s = Find(id);
  // The manager makes owned windows icons with their owner: the window
  // system takes them out of sight and back with it.
  if (!s || !s->managed || !s->given || s->options.owner) return;
  // The state as it stands now: one already replaced is news no more.
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  long state = WithdrawnState;
  if (XGetWindowProperty(dpy, s->window, atoms.wmState, 0, 2, False, atoms.wmState, &type, &format, &count, &after,
                         &data) == Success && data) {
    if (format == 32 && count >= 1) state = reinterpret_cast<const long*>(data)[0];
    XFree(data);
  }
  if (state != NormalState && state != IconicState) return;
  const bool iconic = state == IconicState;
  if (iconic == s->iconic) {
    s->stateAsked = false;
    return;
  }
  if (s->stateAsked) {
    // A request of ours overtook an earlier one that the manager carries
    // out only now: the latest is asked again.
    if (s->iconic) XIconifyWindow(dpy, s->window, screen);
    else XMapWindow(dpy, s->window);
    XFlush(dpy);
    return;
  }
  // The manager's own doing: the window system hears it as a request, and
  // the state it then sets is the one the window has already.
  s->iconic = iconic;
  ApplyWmHints(*s);
  if (!iconic) s->mapPending = false;
  BackEndEvent be;
  be.kind = iconic ? BackEndEvent::MinimizeRequest : BackEndEvent::RestoreRequest;
  be.surface = id;
  pending.push_back(be);
}

}  // namespace win::x11
