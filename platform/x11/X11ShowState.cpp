// Minimised and maximised windows under a window manager. The manager
// shows a decorated surface minimised as its icon (moved off the screen,
// the window would be lost to the user), and maximises a resizable one
// itself, so that its frame knows the state and nothing fights over the
// place. It also minimises, opens, maximises and restores surfaces by
// itself, which the window system hears as requests. Without a manager
// the window system's own places are all there is.
#include "platform/x11/X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform/win/WindowStyles.h"

namespace win::x11 {

void X11BackEnd::SetSurfaceState(SurfaceId id, ShowState state) {
  Surface* s = Find(id);
  if (!s || !s->managed) return;
  // Minimised, the maximised state stays with the window for when it opens.
  if (state != ShowState::Minimized) SetZoomed(*s, state == ShowState::Maximized);
  SetMinimized(id, *s, state == ShowState::Minimized);
  XFlush(dpy);
}

void X11BackEnd::SetMinimized(SurfaceId id, Surface& s, bool minimized) {
  if (s.iconic == minimized) return;
  s.iconic = minimized;
  // A window not given to the manager yet starts in the state it has.
  ApplyWmHints(s);
  s.stateAsked = s.given;
  if (s.given && minimized) {
    s.mapPending = false;
    XIconifyWindow(dpy, s.window, screen);
  } else if (s.given) {
    // Mapped again with its next picture, at the place it is given in the
    // meantime; active again if the window system made it so.
    s.mapPending = true;
    if (reportedFocus == id) activateOnMap = id;
  }
}

// The manager holds the windows it frames as its icons. One it leaves
// undecorated (a popup) it shows no icon for: the window system shows
// that one minimised itself, as it does every window without a manager.
bool X11BackEnd::ManagesMinimized(SurfaceId id) {
  Surface* s = Find(id);
  return s && s->managed;
}

// A window the user cannot size, or without a maximise button, is one the
// manager will not maximise: the window system places it itself.
bool X11BackEnd::Zoomable(const Surface& s) const {
  return s.managed && (s.options.style & WS_THICKFRAME) && (s.options.style & WS_MAXIMIZEBOX);
}

void X11BackEnd::SetZoomed(Surface& s, bool zoomed) {
  if (!Zoomable(s) || s.zoomed == zoomed) return;
  s.zoomed = zoomed;
  if (!s.given) {
    // Read when the manager takes the window on.
    s.wmZoomed = zoomed;
    ApplyStateHint(s);
    return;
  }
  // The window system answering the manager's own change: nothing to ask.
  if (s.wmZoomed == zoomed) {
    s.zoomAsked = false;
    return;
  }
  AskZoom(s);
}

// Asks the manager for the window system's maximised state.
void X11BackEnd::AskZoom(Surface& s) {
  s.zoomAsked = true;
  // The manager places the window it restores where it was before: one
  // move of its own, which is no news to the window system.
  if (!s.zoomed) ++s.pendingConfigures;
  AskWindowManager(s.window, atoms.netWmState,
                   {s.zoomed ? 1L : 0L /* add or remove */, static_cast<long>(atoms.stateMaxVert),
                    static_cast<long>(atoms.stateMaxHorz), 1L /* from an application */});
}

// The manager changes a window by itself before the program hears of it.
// A program that turns the change down (its procedure keeps SC_MAXIMIZE
// from DefWindowProc) leaves the window as it was: the manager is asked
// back to that state, or its frame would show one the window has not.
// Only after the program has answered: meanwhile the manager's state is
// the request itself.
void X11BackEnd::SurfaceStateAnswered(SurfaceId id, ShowState state) {
  Surface* s = Find(id);
  if (!s || !s->managed) return;
  // An icon the manager made was taken as the window's (OnWmState): the
  // window system's own state opens it again.
  SetSurfaceState(id, state);
  if (state != ShowState::Minimized && Zoomable(*s) && s->given && !s->zoomAsked && s->wmZoomed != s->zoomed)
    AskZoom(*s);
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
  const std::vector<long> items = PropertyLongs(s->window, atoms.wmState, atoms.wmState, 2);
  const long state = items.empty() ? WithdrawnState : items[0];
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

void X11BackEnd::OnNetWmState(XEvent& e) {
  if (e.xproperty.atom != atoms.netWmState) return;
  const SurfaceId id = SurfaceOfWindow(e.xproperty.window);
  if (Surface* s = Find(id)) ReadZoom(id, *s);
}

// Whether the manager shows the window maximised, as it stands now. Our
// own requests are add and remove, carried out in order: one not shown yet
// settles by itself, and what the manager shows meanwhile is a step on the
// way. Anything else is the manager's own doing, a request to the window
// system, whose answer is the state the window has already.
void X11BackEnd::ReadZoom(SurfaceId id, Surface& s) {
  if (!Zoomable(s) || !s.given) return;
  bool vert = false, horz = false;
  for (long a : PropertyLongs(s.window, atoms.netWmState, XA_ATOM, 64)) {
    vert = vert || static_cast<XId>(static_cast<unsigned long>(a)) == atoms.stateMaxVert;
    horz = horz || static_cast<XId>(static_cast<unsigned long>(a)) == atoms.stateMaxHorz;
  }
  const bool zoomed = vert && horz;
  if (zoomed == s.wmZoomed) return;
  s.wmZoomed = zoomed;
  if (zoomed == s.zoomed) {
    s.zoomAsked = false;
    ZoomSettled(id, s);
    return;
  }
  if (s.zoomAsked) return;
  BackEndEvent be;
  be.kind = zoomed ? BackEndEvent::MaximizeRequest : BackEndEvent::UnmaximizeRequest;
  be.surface = id;
  pending.push_back(be);
}

// The window system and the manager agree again: maximised, the place is
// the manager's, and the window system takes it; restored, the place is
// the window system's again.
void X11BackEnd::ZoomSettled(SurfaceId id, Surface& s) {
  if (s.iconic) return;
  const RECT x = XRectOf(s, s.rect);
  if (s.requested == x) return;
  if (s.zoomed) {
    BackEndEvent be;
    be.kind = BackEndEvent::Moved;
    be.surface = id;
    be.rect = {s.requested.Left - s.inset.Left, s.requested.Top - s.inset.Top, s.requested.Right + s.inset.Right,
               s.requested.Bottom + s.inset.Bottom};
    pending.push_back(be);
    return;
  }
  RequestGeometry(s, x);
  XFlush(dpy);
}

}  // namespace win::x11
