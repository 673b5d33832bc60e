// The process's activation follows X's keyboard focus: focus arriving at
// any of our windows activates the process, focus leaving all of them
// deactivates it, and focus moving from one of our windows to another (the
// window manager's doing: a click, a switcher) activates that window. Such a
// move comes as an out and an in; the window system hears only the net
// change, once the queue of X events has been read to its end.
//
// A window manager activates a window we ask it to in steps of its own: it
// may take the focus from our active window, park it on a window of its
// own, and only then give it to ours. On a busy machine we read those
// steps apart; the moment without focus would deactivate the process and
// close its popups (the popup being activated among them). So while such a
// request is open, focus leaving our windows is not reported: the request
// ends when focus comes to one of ours, or when the manager names another
// program's window active (then the loss is reported at once).
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "platform/x11/X11Connection.h"

namespace win::x11 {

void X11BackEnd::MakeRepeatDetectable() {
  // Keys held down repeat as presses alone, without a release between
  // them. Asked for when the keyboard first comes to a window of ours (or
  // at the first key, should no focus event come before it), not while
  // the first picture waits.
  if (repeatDetectable) return;
  repeatDetectable = true;
  Bool detectable = False;
  XkbSetDetectableAutoRepeat(dpy, True, &detectable);
}

void X11BackEnd::OnFocus(XEvent& e) {
  XFocusChangeEvent& f = e.xfocus;
  // The keyboard comes back, from another program or from a window
  // manager's grab: modifiers may have been let go or pressed meanwhile.
  if (e.type == FocusIn && f.detail != NotifyInferior && SurfaceOfWindow(f.window)) SyncHeldModifiers();
  // Keyboard grabs (a window manager's switcher) and moves inside the
  // window change nothing.
  if (f.mode == NotifyGrab || f.mode == NotifyUngrab || f.detail == NotifyInferior) return;
  // Under a window manager the keyboard following the pointer (the focus
  // fell back to the pointer's window when the focused one went) is a step
  // between two of the manager's: it names no window the user chose, and
  // following it would activate the window that happens to lie under the
  // pointer instead of the one the manager is about to focus.
  if (windowManager && f.detail == NotifyPointer) return;
  SurfaceId id = SurfaceOfWindow(f.window);
  if (!id) return;
  if (e.type == FocusIn) {
    handOverPending = false;
    xFocus = id;
    focusSerial = f.serial;
    focusChanged = true;
    MakeRepeatDetectable();
    // Caps Lock and Num Lock may have changed while another program had the keyboard.
    XkbStateRec state;
    if (XkbGetState(dpy, XkbUseCoreKbd, &state) == Success) SyncToggles(state.locked_mods);
  } else if (xFocus == id) {
    // Without a window manager our own request decides where the focus
    // goes: focus that left before the server saw the latest one (a window
    // hidden, then the next one activated in the same step) is on its way
    // to the window asked for, and the program does not go inactive between.
    if (!windowManager && f.serial < activationSerial && reportedFocus != id && Find(reportedFocus)) return;
    xFocus = 0;
    focusChanged = true;
  }
}

void X11BackEnd::SettleFocus() {
  if (!focusChanged) return;
  focusChanged = false;
  bool active = xFocus != 0;
  if (!active && reportedActive && handOverPending) {
    focusChanged = true;  // settled again once the hand-over ends
    return;
  }
  BackEndEvent be;
  be.surface = xFocus;
  if (active != reportedActive) {
    reportedActive = active;
    be.kind = active ? BackEndEvent::AppActivated : BackEndEvent::AppDeactivated;
  } else if (active && xFocus != reportedFocus && focusSerial >= activationSerial) {
    // Focus that moved before the server saw our latest request is the
    // echo of an earlier one: following it would undo the program's own
    // choice, and two quick activations could chase each other for ever.
    be.kind = BackEndEvent::SurfaceActivated;
  } else {
    return;
  }
  reportedFocus = xFocus;
  pending.push_back(be);
}

void X11BackEnd::RequestActivation(SurfaceId id) {
  Surface* s = Find(id);
  if (!s || s->overrideRedirect) return;
  // The window system has made it active already; only focus that moves
  // after this request is news to it.
  reportedFocus = id;
  activationSerial = NextRequest(dpy);
  activateOnMap = 0;
  // The manager would open an icon to activate it.
  if (s->mapPending || s->iconic) {
    // Asked again once the window is on the screen.
    activateOnMap = id;
    return;
  }
  if (windowManager) {
    handOverPending = true;
    // Asked of the window manager, which decides (and may only flash the
    // task bar entry).
    AskWindowManager(s->window, atoms.netActiveWindow, {1L /* from an application */, static_cast<long>(lastTime)});
  } else {
    // Without one the window just mapped is viewable at once; a window not
    // shown yet fails harmlessly.
    XRaiseWindow(dpy, s->window);
    XSetInputFocus(dpy, s->window, RevertToParent, CurrentTime);
  }
  XFlush(dpy);
}

void X11BackEnd::ActiveWindowChanged() {
  const std::vector<long> named = PropertyLongs(root, atoms.netActiveWindow, XA_WINDOW, 1);
  const XId active = named.size() == 1 ? static_cast<XId>(static_cast<unsigned long>(named[0])) : 0;
  // Kept for when the manager goes (ManagerLeft).
  if (active != 0) managerActive = active;
  if (!handOverPending) return;
  // None is a step of the hand-over; a window of another program ends it.
  if (active != 0 && !SurfaceOfWindow(active)) {
    handOverPending = false;
    focusChanged = true;
  }
}

}  // namespace win::x11
