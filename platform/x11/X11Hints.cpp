// What the window manager is told about a surface: its name in UTF-8 and
// in Latin-1, class and process, the size it may take (fixed frames keep
// the designed client size, others the window system's sizing limits),
// decorations, owner, type, stay-on-top and modal state, the close
// protocol and the position the program chose.
#include "platform/x11/X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "platform/rtl/CodePage.h"
#include "platform/win/WindowStyles.h"
#include "platform/x11/X11Text.h"

namespace win::x11 {
namespace {

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
constexpr long kMwmFunctions = 1, kMwmDecorations = 2;
constexpr long kFuncAll = 1, kFuncResize = 2, kFuncMove = 4, kFuncMinimize = 8, kFuncClose = 32;
constexpr long kDecorAll = 1, kDecorBorder = 2, kDecorTitle = 8, kDecorMenu = 16, kDecorMinimize = 32;

std::string ProgramName() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "orvanta";
  path[n] = 0;
  const char* base = std::strrchr(path, '/');
  return base ? base + 1 : path;
}

void SetAtoms(Display* dpy, ::Window w, Atom property, const std::vector<Atom>& values) {
  if (values.empty()) {
    XDeleteProperty(dpy, w, property);
    return;
  }
  XChangeProperty(dpy, w, property, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(values.data()), static_cast<int>(values.size()));
}

}  // namespace

void X11BackEnd::ApplyHints(Surface& s) {
  ::Window w = s.window;
  const SurfaceOptions& o = s.options;
  bool fixed = !(o.style & WS_THICKFRAME);
  RECT x = XRectOf(s, s.rect);

  XSizeHints* size = XAllocSizeHints();
  // The position the program computed (centred on the desktop or on the
  // owner) is the user's wish, not a suggestion.
  size->flags = USPosition | PPosition | USSize | PSize;
  // The position is the X window's own, inside the manager's frame: a
  // window manager moving it down by its title bar would put a dialog
  // centred over its owner off the centre.
  size->flags |= PWinGravity;
  size->win_gravity = StaticGravity;
  size->x = x.Left;
  size->y = x.Top;
  size->width = x.Width();
  size->height = x.Height();
  if (fixed && s.managed) {
    size->flags |= PMinSize | PMaxSize;
    size->min_width = size->max_width = x.Width();
    size->min_height = size->max_height = x.Height();
  } else if (s.managed && s.limited) {
    // The window system's limits are the whole window's; the manager's
    // frame stands in for ours around the X window.
    const int dx = s.inset.Left + s.inset.Right, dy = s.inset.Top + s.inset.Bottom;
    size->flags |= PMinSize | PMaxSize;
    size->min_width = std::max(s.smallest.X - dx, 1);
    size->min_height = std::max(s.smallest.Y - dy, 1);
    size->max_width = std::max(s.largest.X - dx, size->min_width);
    size->max_height = std::max(s.largest.Y - dy, size->min_height);
  }
  XSetWMNormalHints(dpy, w, size);
  XFree(size);

  Atom type = atoms.typeNormal;
  if (o.exStyle & WS_EX_TOOLWINDOW) type = atoms.typeUtility;
  else if (o.owner || (o.exStyle & WS_EX_DLGMODALFRAME)) type = atoms.typeDialog;
  if (s.overrideRedirect) {
    // Hints are disabled popups; drop-downs stay on top; anything else is a menu.
    if (o.style & WS_DISABLED) type = atoms.typeTooltip;
    else if (o.exStyle & WS_EX_TOPMOST) type = atoms.typeCombo;
    else type = atoms.typeDropdownMenu;
  }
  SetAtoms(dpy, w, atoms.netWmWindowType, {type});
  ApplyStateHint(s);

  if (s.overrideRedirect) return;

  static const std::string name = ProgramName();
  std::string klass = name;
  if (!klass.empty()) klass[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(klass[0])));
  XClassHint* hint = XAllocClassHint();
  hint->res_name = const_cast<char*>(name.c_str());
  hint->res_class = const_cast<char*>(klass.c_str());
  XSetClassHint(dpy, w, hint);
  XFree(hint);

  long pid = static_cast<long>(getpid());
  XChangeProperty(dpy, w, atoms.netWmPid, XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&pid),
                  1);
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) == 0)
    XChangeProperty(dpy, w, atoms.wmClientMachine, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<unsigned char*>(host), static_cast<int>(std::strlen(host)));

  Atom protocols[] = {atoms.wmDeleteWindow};
  XSetWMProtocols(dpy, w, protocols, 1);

  long motif[5] = {kMwmFunctions | kMwmDecorations, 0, 0, 0, 0};
  if (!s.managed) {
    motif[1] = kFuncMove | kFuncClose;  // no frame at all: ours is drawn inside
  } else if (fixed) {
    motif[1] = kFuncMove | kFuncClose | ((o.style & WS_MINIMIZEBOX) ? kFuncMinimize : 0);
    // Everything but the resize handles and the maximise button.
    motif[2] = kDecorBorder | kDecorTitle | kDecorMenu | ((o.style & WS_MINIMIZEBOX) ? kDecorMinimize : 0);
  } else {
    motif[1] = kFuncAll;
    motif[2] = kDecorAll;
    if (!(o.style & WS_MAXIMIZEBOX)) motif[1] = kFuncResize | kFuncMove | kFuncMinimize | kFuncClose;
  }
  XChangeProperty(dpy, w, atoms.motifWmHints, atoms.motifWmHints, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(motif), 5);

  if (Surface* owner = o.owner ? Find(o.owner) : nullptr)
    XSetTransientForHint(dpy, w, owner->window);
  else
    XDeleteProperty(dpy, w, XA_WM_TRANSIENT_FOR);

  ApplyWmHints(s);
}

void X11BackEnd::SetSurfaceLimits(SurfaceId id, POINT smallest, POINT largest) {
  Surface* s = Find(id);
  if (!s || (s->limited && s->smallest == smallest && s->largest == largest)) return;
  s->limited = true;
  s->smallest = smallest;
  s->largest = largest;
  // A manager that has the window reads them again when they change.
  ApplyHints(*s);
  XFlush(dpy);
}

// The states a window manager gives the window when it is mapped. Once it
// has the window the property is its own: changes are asked of it.
void X11BackEnd::ApplyStateHint(Surface& s) {
  if (s.given) return;
  const SurfaceOptions& o = s.options;
  std::vector<Atom> state;
  if (o.exStyle & WS_EX_TOPMOST) state.push_back(atoms.stateAbove);
  if (s.modal) state.push_back(atoms.stateModal);
  if (s.zoomed) {
    state.push_back(atoms.stateMaxVert);
    state.push_back(atoms.stateMaxHorz);
  }
  SetAtoms(dpy, s.window, atoms.netWmState, state);
}

// The state a window manager gives the window when it is mapped: a window
// shown minimised starts as its icon.
void X11BackEnd::ApplyWmHints(Surface& s) {
  XWMHints* wm = XAllocWMHints();
  wm->flags = InputHint | StateHint;
  wm->input = True;
  wm->initial_state = s.iconic ? IconicState : NormalState;
  XSetWMHints(dpy, s.window, wm);
  XFree(wm);
}

// A window manager reads the hints of a window when it takes it on; one it
// has on the screen follows WM_TRANSIENT_FOR, but changes its state only
// when asked.
void X11BackEnd::SetSurfaceOwner(SurfaceId id, SurfaceId owner, bool modal) {
  Surface* s = Find(id);
  if (!s || (s->options.owner == owner && s->modal == modal)) return;
  const bool modalChanged = s->modal != modal;
  s->options.owner = owner;
  s->modal = modal;
  ApplyHints(*s);
  if (modalChanged && s->given && windowManager && !s->overrideRedirect) {
    AskWindowManager(s->window, atoms.netWmState,
                     {modal ? 1L : 0L /* add or remove */, static_cast<long>(atoms.stateModal), 0L,
                      1L /* from an application */});
  }
  XFlush(dpy);
}

void X11BackEnd::SetTitle(SurfaceId id, const std::string& text1252) {
  Surface* s = Find(id);
  if (!s) return;
  std::string utf8 = TitleUtf8(text1252);
  XChangeProperty(dpy, s->window, atoms.netWmName, atoms.utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
  std::string latin1 = TitleLatin1(text1252);
  XChangeProperty(dpy, s->window, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(latin1.data()), static_cast<int>(latin1.size()));
  XFlush(dpy);
}

}  // namespace win::x11
