// Whether a window manager runs, followed for as long as the connection
// stands. A manager names a check window of its own on the root
// (_NET_SUPPORTING_WM_CHECK), and the check window names itself the same
// way. One that ends leaves the root's property behind, naming a window
// that is gone: only a named window that exists and names itself stands
// for a running manager. The root's property and the check window's end
// are watched, so a manager that comes or goes while the program runs is
// noticed.
//
// A manager that comes frames the windows shown after it; the ones it
// finds keep the frame of ours they have (one frame either way). A
// manager that goes gives its windows back: each takes its whole place
// with our frame again, and the window system places a minimised or a
// maximised one anew (Reframed).
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "platform/x11/X11Connection.h"

namespace win::x11 {

XId X11BackEnd::RunningManagerCheck() {
  const std::vector<long> named = PropertyLongs(root, atoms.netSupportingWmCheck, XA_WINDOW, 1);
  if (named.size() != 1 || named[0] == 0) return 0;
  const auto check = static_cast<XId>(static_cast<unsigned long>(named[0]));
  // A window of ours is no manager's (and keeps the events it selects).
  if (check == helper || SurfaceOfWindow(check)) return 0;
  // Watched before it is read: a window that goes after the read still
  // reports its end. A window that is gone already fails both harmlessly.
  if (check != wmCheck) XSelectInput(dpy, check, StructureNotifyMask | PropertyChangeMask);
  wmCheck = check;
  const std::vector<long> self = PropertyLongs(check, atoms.netSupportingWmCheck, XA_WINDOW, 1);
  return self.size() == 1 && static_cast<XId>(static_cast<unsigned long>(self[0])) == check ? check : 0;
}

void X11BackEnd::FollowWindowManager() {
  const bool was = windowManager;
  windowManager = RunningManagerCheck() != 0;
  if (was && !windowManager) ManagerLeft();
}

bool X11BackEnd::TellsOfManager(const XEvent& e) const {
  if (e.type == DestroyNotify) return wmCheck && e.xdestroywindow.window == wmCheck;
  if (e.type != PropertyNotify || e.xproperty.atom != atoms.netSupportingWmCheck) return false;
  return e.xproperty.window == root || (wmCheck && e.xproperty.window == wmCheck);
}

void X11BackEnd::ManagerLeft() {
  for (auto& [id, s] : surfaces)
    if (s.managed) Unmanage(id, s);
  // A hand-over the manager was to finish never ends now.
  handOverPending = false;
  focusChanged = true;
  // Leaving, a manager may hand the keyboard to nobody (the pointer's
  // window then has it): the window of ours it last named active, or else
  // our active one, takes it back.
  ::Window focus = None;
  int revert = 0;
  XGetInputFocus(dpy, &focus, &revert);
  const bool nobodys = focus == None || focus == PointerRoot || focus == root;
  SurfaceId last = SurfaceOfWindow(managerActive);
  if (!last && reportedActive) last = reportedFocus;
  if (Surface* s = Find(last); s && nobodys && s->given) RequestActivation(last);
  managerActive = 0;
  XFlush(dpy);
}

// The manager put the window back on the root, mapped, where its client
// part was. It takes its whole place again, our frame drawn in it, and a
// state of the manager's (its icon, its maximised place) is the window
// system's own to show from now on.
void X11BackEnd::Unmanage(SurfaceId id, Surface& s) {
  s.managed = false;
  s.inset = {};
  s.parent = root;
  s.iconic = false;
  s.stateAsked = false;
  s.zoomed = s.wmZoomed = s.zoomAsked = false;
  ApplyHints(s);
  // A window the program shows is on the screen again, with its next
  // picture; the manager may have left an icon unmapped.
  if (s.given && !s.mapped) s.mapPending = true;
  RequestGeometry(s, XRectOf(s, s.rect));
  if (s.image && !Lent(s)) CreateImage(s);
  BackEndEvent be;
  be.kind = BackEndEvent::Reframed;
  be.surface = id;
  pending.push_back(be);
}

}  // namespace win::x11
