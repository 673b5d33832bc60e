// The connection: opening the display, the atoms, the event pump that turns
// X events into the window system's events, and the wait of the message
// loop on the connection's descriptor (plus a pipe that WakeUp writes to).
#include "platform/x11/X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>

#include "platform/x11/X11BackEnd.h"

namespace win {
namespace x11 {
namespace {

// Requests on windows that a window manager has just taken over, or that
// went away meanwhile, fail harmlessly; Xlib's default handler would end
// the process.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

// The screen's own visual where it is true colour: what is drawn needs no
// conversion by the server and no compositing. Only where it is not (a
// palette screen) a 24- or 32-bit one is asked for.
bool FindVisual(Display* dpy, int screen, Visual*& visual, int& depth) {
  XVisualInfo info;
  info.visualid = XVisualIDFromVisual(DefaultVisual(dpy, screen));
  int count = 0;
  if (XVisualInfo* own = XGetVisualInfo(dpy, VisualIDMask, &info, &count)) {
    const bool usable = count > 0 && own->c_class == TrueColor && own->depth >= 15;
    if (usable) {
      visual = own->visual;
      depth = own->depth;
    }
    XFree(own);
    if (usable) return true;
  }
  for (int d : {24, 32}) {
    if (XMatchVisualInfo(dpy, screen, d, TrueColor, &info)) {
      visual = info.visual;
      depth = info.depth;
      return true;
    }
  }
  return false;
}

}  // namespace



X11BackEnd::~X11BackEnd() {
  if (!dpy) return;
  std::vector<SurfaceId> ids;
  for (auto& [id, s] : surfaces) ids.push_back(id);
  for (SurfaceId id : ids) DestroySurface(id);
  for (auto& [h, c] : cursors) XFreeCursor(dpy, c);
  if (blankCursor) XFreeCursor(dpy, blankCursor);
  if (im) XCloseIM(static_cast<XIM>(im));
  if (helper) XDestroyWindow(dpy, helper);
  if (colormap) XFreeColormap(dpy, colormap);
  // Images the window system still holds are let go without the server.
  *open = false;
  XCloseDisplay(dpy);
  if (wakeRead >= 0) close(wakeRead);
  if (wakeWrite >= 0) close(wakeWrite);
}

std::unique_ptr<X11BackEnd> X11BackEnd::Open(const std::string& display) {
  std::unique_ptr<X11BackEnd> be(new X11BackEnd);
  if (!be->Connect(display)) return nullptr;
  return be;
}

bool X11BackEnd::Connect(const std::string& name) {
  dpy = XOpenDisplay(name.empty() ? nullptr : name.c_str());
  if (!dpy) return false;
  XSetErrorHandler(IgnoreErrors);
  screen = DefaultScreen(dpy);
  root = RootWindow(dpy, screen);
  Visual* v = nullptr;
  if (!FindVisual(dpy, screen, v, depth)) return false;
  visual = v;
  // The screen's own visual goes with the screen's own colormap. A private
  // one, though equal, marks our windows as another visual's: tools that
  // read the screen then take them one by one and show a dialog over a
  // form as black.
  colormap = v == DefaultVisual(dpy, screen) ? 0 : XCreateColormap(dpy, root, v, AllocNone);

  struct Name {
    XId* atom;
    const char* text;
  } names[] = {
      {&atoms.wmProtocols, "WM_PROTOCOLS"},
      {&atoms.wmDeleteWindow, "WM_DELETE_WINDOW"},
      {&atoms.wmName, "WM_NAME"},
      {&atoms.netWmName, "_NET_WM_NAME"},
      {&atoms.utf8String, "UTF8_STRING"},
      {&atoms.netWmPid, "_NET_WM_PID"},
      {&atoms.wmClientMachine, "WM_CLIENT_MACHINE"},
      {&atoms.motifWmHints, "_MOTIF_WM_HINTS"},
      {&atoms.netWmWindowType, "_NET_WM_WINDOW_TYPE"},
      {&atoms.typeNormal, "_NET_WM_WINDOW_TYPE_NORMAL"},
      {&atoms.typeDialog, "_NET_WM_WINDOW_TYPE_DIALOG"},
      {&atoms.typeUtility, "_NET_WM_WINDOW_TYPE_UTILITY"},
      {&atoms.typeCombo, "_NET_WM_WINDOW_TYPE_COMBO"},
      {&atoms.typeDropdownMenu, "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU"},
      {&atoms.typeTooltip, "_NET_WM_WINDOW_TYPE_TOOLTIP"},
      {&atoms.netWmState, "_NET_WM_STATE"},
      {&atoms.stateAbove, "_NET_WM_STATE_ABOVE"},
      {&atoms.stateModal, "_NET_WM_STATE_MODAL"},
      {&atoms.stateMaxVert, "_NET_WM_STATE_MAXIMIZED_VERT"},
      {&atoms.stateMaxHorz, "_NET_WM_STATE_MAXIMIZED_HORZ"},
      {&atoms.wmState, "WM_STATE"},
      {&atoms.netActiveWindow, "_NET_ACTIVE_WINDOW"},
      {&atoms.netWorkarea, "_NET_WORKAREA"},
      {&atoms.netSupportingWmCheck, "_NET_SUPPORTING_WM_CHECK"},
      {&atoms.clipboard, "CLIPBOARD"},
      {&atoms.targets, "TARGETS"},
      {&atoms.textPlainUtf8, "text/plain;charset=utf-8"},
      {&atoms.string, "STRING"},
      {&atoms.incr, "INCR"},
      {&atoms.transferProperty, "ORVANTA_SELECTION"},
      {&atoms.atom, "ATOM"},
      {&atoms.cardinal, "CARDINAL"},
  };
  // Asked for all at once: one round trip to the server instead of one a
  // name, which at start-up is most of the time spent on the connection.
  constexpr int kNames = sizeof(names) / sizeof(names[0]);
  char* texts[kNames];
  Atom found[kNames] = {};
  for (int i = 0; i < kNames; ++i) texts[i] = const_cast<char*>(names[i].text);
  XInternAtoms(dpy, texts, kNames, False, found);
  for (int i = 0; i < kNames; ++i) *names[i].atom = found[i];

  // Every question here is a round trip that the first picture waits for:
  // whether the server shares memory is asked (its version is not needed),
  // the Shape extension is looked for when a window is first cut to a
  // region, and auto-repeat is made detectable when a window first takes
  // the keyboard.
  shm = XShmQueryExtension(dpy) && !std::getenv("ORVANTA_X11_NOSHM");

  XSetWindowAttributes wa{};
  wa.event_mask = PropertyChangeMask;
  helper = XCreateWindow(dpy, root, -10, -10, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent, CWEventMask, &wa);
  // The root's properties are watched before the manager's is read: one
  // that comes meanwhile is heard.
  XSelectInput(dpy, root, StructureNotifyMask | PropertyChangeMask);
  FollowWindowManager();

  // Characters come through the input method, opened at the first key;
  // without one the key symbols are converted directly. The locale of the
  // characters is the process's, taken once: the C library keeps (and,
  // with LOCPATH, leaks) what each later setting builds.
  static const bool characterLocale = std::setlocale(LC_CTYPE, "") != nullptr;
  (void)characterLocale;

  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  wakeRead = fds[0];
  wakeWrite = fds[1];
  XFlush(dpy);
  return true;
}

Surface* X11BackEnd::Find(SurfaceId id) {
  auto it = surfaces.find(id);
  return it == surfaces.end() ? nullptr : &it->second;
}

SurfaceId X11BackEnd::SurfaceOfWindow(XId window) const {
  for (auto& [id, s] : surfaces)
    if (s.window == window) return id;
  return 0;
}

XId X11BackEnd::WindowOf(SurfaceId surface) const {
  auto it = surfaces.find(surface);
  return it == surfaces.end() ? 0 : it->second.window;
}

bool X11BackEnd::Sync() {
  XSync(dpy, False);
  return !pending.empty() || XEventsQueued(dpy, QueuedAlready) > 0;
}

void X11BackEnd::Translate(XEvent& e) {
  switch (e.type) {
    case Expose: {
      SurfaceId id = SurfaceOfWindow(e.xexpose.window);
      if (Surface* s = Find(id); s && s->image) {
        RECT r{e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width, e.xexpose.y + e.xexpose.height};
        if (!Lent(*s)) {
          // Served from the backing buffer: the window system never hears of it.
          PutImage(*s, r);
        } else {
          // The window system's own pixels, which hold the caret only while
          // they are presented: it presents them again, caret and all.
          BackEndEvent be;
          be.kind = BackEndEvent::Exposed;
          be.surface = id;
          be.rect = {r.Left + s->inset.Left, r.Top + s->inset.Top, r.Right + s->inset.Left, r.Bottom + s->inset.Top};
          pending.push_back(be);
        }
      }
      break;
    }
    case ConfigureNotify: OnConfigure(e); break;
    case ReparentNotify:
      if (Surface* s = Find(SurfaceOfWindow(e.xreparent.window))) {
        s->parent = e.xreparent.parent;
        // The frame's moves, to follow the window's place (ReadPlace).
        if (s->parent != root) XSelectInput(dpy, s->parent, StructureNotifyMask);
        ReadPlace(SurfaceOfWindow(e.xreparent.window), *s);
      }
      break;
    case MapNotify:
      if (Surface* s = Find(SurfaceOfWindow(e.xmap.window))) {
        s->mapped = true;
        ReadPlace(SurfaceOfWindow(e.xmap.window), *s);
      }
      break;
    case UnmapNotify:
      if (Surface* s = Find(SurfaceOfWindow(e.xunmap.window))) s->mapped = false;
      break;
    case KeyPress:
    case KeyRelease: OnKey(e); break;
    case ButtonPress:
    case ButtonRelease: OnButton(e); break;
    case MotionNotify: {
      lastTime = e.xmotion.time;
      BackEndEvent be;
      be.kind = BackEndEvent::MouseMove;
      be.surface = SurfaceOfWindow(e.xmotion.window);
      be.pt = {e.xmotion.x_root, e.xmotion.y_root};
      pending.push_back(be);
      break;
    }
    case EnterNotify:
    case LeaveNotify: OnCrossing(e); break;
    case FocusIn:
    case FocusOut: OnFocus(e); break;
    case ClientMessage:
      if (e.xclient.message_type == atoms.wmProtocols &&
          static_cast<XId>(e.xclient.data.l[0]) == atoms.wmDeleteWindow) {
        if (SurfaceId id = SurfaceOfWindow(e.xclient.window)) {
          BackEndEvent be;
          be.kind = BackEndEvent::CloseRequest;
          be.surface = id;
          pending.push_back(be);
        }
      }
      break;
    case SelectionRequest: OnSelectionRequest(e); break;
    case SelectionClear: OnSelectionClear(e); break;
    case DestroyNotify:
      if (TellsOfManager(e)) FollowWindowManager();
      ForgetRequestor(e.xdestroywindow.window);
      break;
    case PropertyNotify:
      if (TellsOfManager(e)) FollowWindowManager();
      SendNextPart(e);
      OnWmState(e);
      OnNetWmState(e);
      if (e.xproperty.window == root && e.xproperty.atom == atoms.netWorkarea) monitorsValid = false;
      if (e.xproperty.window == root && e.xproperty.atom == atoms.netActiveWindow) ActiveWindowChanged();
      break;
    case MappingNotify:
      if (e.xmapping.request != MappingPointer) XRefreshKeyboardMapping(&e.xmapping);
      break;
    default: break;
  }
  if (e.type == ConfigureNotify && e.xconfigure.window == root) monitorsValid = false;
}

std::vector<long> X11BackEnd::PropertyLongs(XId window, XId property, XId type, long most) const {
  std::vector<long> items;
  Atom actual = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(dpy, window, property, 0, most, False, type, &actual, &format, &count, &after, &data) ==
          Success &&
      data) {
    // Xlib hands 32-bit items over as longs.
    if (format == 32) items.assign(reinterpret_cast<const long*>(data), reinterpret_cast<const long*>(data) + count);
    XFree(data);
  }
  return items;
}

void X11BackEnd::AskWindowManager(XId window, XId message, std::initializer_list<long> items) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = message;
  e.xclient.format = 32;
  int i = 0;
  for (long item : items)
    if (i < 5) e.xclient.data.l[i++] = item;
  XSendEvent(dpy, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

void X11BackEnd::PrepareKeyInput(XId AWindow) {
  if (!imOpened) {
    imOpened = true;
    // The modifiers name the input method (XMODIFIERS); setting them reads
    // Xlib's locale tables, which only the input method needs.
    XSetLocaleModifiers("");
    im = XOpenIM(dpy, nullptr, nullptr, nullptr);
    // A method named there but not running (its daemon not started, or a
    // session that took the variable along to another machine) opens as
    // none: then Xlib's own method composes, as it would with no name, and
    // a dead key still accents the next.
    if (!im) {
      XSetLocaleModifiers("@im=none");
      im = XOpenIM(dpy, nullptr, nullptr, nullptr);
    }
  }
  if (!im) return;
  Surface* s = Find(SurfaceOfWindow(AWindow));
  if (s && !s->ic)
    s->ic = XCreateIC(static_cast<XIM>(im), XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow,
                      s->window, XNFocusWindow, s->window, nullptr);
}

bool X11BackEnd::PollEvent(BackEndEvent& event) {
  if (pending.empty()) {
    // Another program may have put something on the clipboard since.
    foreignFetched = false;
    XEvent e;
    while (pending.empty() && XPending(dpy)) {
      XNextEvent(dpy, &e);
      const bool key = e.type == KeyPress || e.type == KeyRelease;
      if (key) PrepareKeyInput(e.xkey.window);
      // The method may hand the event back changed (its composed text, as
      // an event of no key): the key is the one that came.
      XEvent came = e;
      if (XFilterEvent(&e, 0)) {
        // A key the input method took still went down or up: a release
        // the window system did not hear would leave the key held for it.
        if (key && came.xkey.keycode != 0) OnKey(came, true);
        continue;
      }
      Translate(e);
      if (!XPending(dpy)) SettleFocus();
    }
    SettleFocus();
  }
  if (pending.empty()) return false;
  event = pending.front();
  pending.pop_front();
  return true;
}

bool X11BackEnd::WaitReadable(int timeoutMs) const {
  XFlush(dpy);
  if (XEventsQueued(dpy, QueuedAlready)) return true;
  pollfd fds[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {wakeRead, POLLIN, 0}};
  int n = poll(fds, 2, timeoutMs);
  if (n > 0 && (fds[1].revents & POLLIN)) {
    char buffer[64];
    while (read(wakeRead, buffer, sizeof buffer) > 0) {
    }
  }
  return n > 0 && (fds[0].revents & POLLIN);
}

void X11BackEnd::WaitForEvent(std::uint64_t timeoutMs) {
  // Everything painted has been presented by now: a window shown that
  // drew nothing goes on the screen as it is.
  for (auto& [id, s] : surfaces)
    if (s.mapPending) MapShown(id, s);
  if (!pending.empty()) return;
  int ms = timeoutMs > 0x7FFFFFFF ? -1 : static_cast<int>(timeoutMs);
  WaitReadable(ms);
}

void X11BackEnd::WakeUp() {
  // Only write(): safe from any thread and from signal handlers.
  const char byte = 1;
  ssize_t ignored = write(wakeWrite, &byte, 1);
  (void)ignored;
}

void X11BackEnd::Beep(UINT) {
  XBell(dpy, 0);
  XFlush(dpy);
}

}  // namespace x11

std::unique_ptr<IBackEnd> OpenX11BackEnd(const std::string& display) { return x11::X11BackEnd::Open(display); }

void RegisterX11BackEnd() {
  RegisterBackEnd("x11", [] { return OpenX11BackEnd(); });
}

}  // namespace win
