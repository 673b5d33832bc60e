#include "platform/win/Window.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/gdi/SysColors.h"
#include "platform/rtl/EraseNearEnd.h"
#include "platform/win/BackEnd.h"
#include "platform/win/Focus.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/Mouse.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/SystemMenu.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"

namespace win {
namespace detail {
namespace {

struct Tree {
  // Made once, out of line, so that T() stays small enough to inline: every
  // call on a handle starts here.
  [[gnu::noinline]] Tree() {}
  Window desktop;
  std::unordered_map<HWND, Window*> live;
  // The last window found: calls come in runs on one window (a message and
  // all its handler asks of that window). Forgotten when it leaves.
  HWND lastHandle = nullptr;
  Window* lastWindow = nullptr;
  // Handles are never reused, so a stale handle can never reach a new window.
  std::uintptr_t nextHandle = 0x10020;
  int defaultPlacement = 0;
};

Tree& T() {
  static Tree t;
  return t;
}

HWND NewHandle() {
  HWND h = reinterpret_cast<HWND>(T().nextHandle);
  T().nextHandle += 4;
  return h;
}

COLORREF SysColorForDrawing(int index) { return GetSysColor(index); }

void SetupDesktop() {
  // The drawing tier's COLOR_x brushes follow this system's colour table.
  SetSysColorLookup(SysColorForDrawing);
  Window& d = T().desktop;
  if (!d.handle) d.handle = NewHandle();
  d.style = WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  d.window = d.client = VirtualScreen();
  T().live[d.handle] = &d;
}

void FreeWindow(Window* w) {
  if (w->callDepth == 0) delete w;
}

// Removes a window from the tree for good once WM_NCDESTROY is through.
void Unlink(Window* w) {
  // The deque moves the nearer side: windows taken down front first (with
  // their parent) or oldest first (the last of a list) each cost what
  // their place costs.
  if (w->parent) orv::EraseNearEnd(w->parent->children, w);
  // Children may keep an owner too (SetParent leaves it).
  if (w->owns)
    for (auto& [h, x] : T().live)
      if (x->owner == w) SetOwner(x, nullptr);
  SetOwner(w, nullptr);
  T().live.erase(w->handle);
  if (T().lastHandle == w->handle) T().lastHandle = nullptr;
  TimersWindowDestroyed(w->handle);
  SystemMenuWindowDestroyed(w->handle);
  QueueWindowDestroyed(w->handle);
  MouseWindowDestroyed(w->handle);
  if (w->surface) BackEnd().DestroySurface(w->surface);
  w->surface = 0;
  ReleaseClass(w->cls);
  w->destroyed = true;
  w->parent = nullptr;
  w->children.clear();
}

void CollectPreOrder(Window* w, std::vector<HWND>& out) {
  out.push_back(w->handle);
  for (Window* c : w->children) CollectPreOrder(c, out);
}

void CollectPostOrder(Window* w, std::vector<HWND>& out) {
  for (Window* c : w->children) CollectPostOrder(c, out);
  out.push_back(w->handle);
}

void MarkDestroying(Window* w) {
  w->destroying = true;
  for (Window* c : w->children) MarkDestroying(c);
}

LRESULT Send(Window* w, UINT msg, WPARAM wp, LPARAM lp) { return Deliver(w, msg, wp, lp, true); }

void EnumDescendants(Window* w, std::vector<HWND>& out) {
  for (Window* c : w->children) {
    out.push_back(c->handle);
    EnumDescendants(c, out);
  }
}

}  // namespace

Window* Desktop() {
  if (!T().desktop.handle) SetupDesktop();
  return &T().desktop;
}

Window* Peek(HWND hwnd) {
  if (!hwnd) return nullptr;
  Tree& t = T();
  // The last answer stands for a window found before (the tree was there).
  if (hwnd == t.lastHandle) return t.lastWindow;
  Desktop();
  auto it = t.live.find(hwnd);
  if (it == t.live.end()) return nullptr;
  t.lastHandle = hwnd;
  t.lastWindow = it->second;
  return it->second;
}

Window* Find(HWND hwnd) {
  Window* w = Peek(hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

bool IsTopLevel(const Window* w) { return w && w->parent == Desktop(); }

void SetOwner(Window* w, Window* owner) {
  if (w->owner) --w->owner->owns;
  w->owner = owner;
  if (owner) ++owner->owns;
}

Window* Root(Window* w) {
  while (w && w->parent && w->parent != Desktop()) w = w->parent;
  return w;
}

bool IsDescendant(const Window* w, const Window* ancestor) {
  for (; w; w = w->parent)
    if (w == ancestor) return true;
  return false;
}

std::vector<Window*> TopLevels() { return {Desktop()->children.begin(), Desktop()->children.end()}; }

POINT ClientOrigin(const Window* w) {
  POINT p{0, 0};
  for (; w && w != Desktop(); w = w->parent) {
    p.X += w->client.Left;
    p.Y += w->client.Top;
  }
  return p;
}

POINT WindowOrigin(const Window* w) {
  if (!w || w == Desktop()) return {Desktop()->window.Left, Desktop()->window.Top};
  POINT p = ClientOrigin(w->parent);
  return {p.X + w->window.Left, p.Y + w->window.Top};
}

RECT ScreenWindowRect(const Window* w) {
  if (w == Desktop()) return w->window;
  POINT o = ClientOrigin(w->parent);
  return {w->window.Left + o.X, w->window.Top + o.Y, w->window.Right + o.X, w->window.Bottom + o.Y};
}

RECT ScreenClientRect(const Window* w) {
  if (w == Desktop()) return w->client;
  POINT o = ClientOrigin(w->parent);
  return {w->client.Left + o.X, w->client.Top + o.Y, w->client.Right + o.X, w->client.Bottom + o.Y};
}

bool VisibleChain(const Window* w) {
  for (; w; w = w->parent)
    if (!(w->style & WS_VISIBLE)) return false;
  return true;
}

bool EnabledChain(const Window* w) {
  for (; w; w = w->parent)
    if (w->style & WS_DISABLED) return false;
  return true;
}

void SyncSurfaceOwner(Window* w) {
  if (!w->surface || !IsTopLevel(w)) return;
  Window* owner = w->owner ? Root(w->owner) : nullptr;
  if (owner == Desktop()) owner = nullptr;
  const bool modal = owner && (owner->style & WS_DISABLED) && !(w->style & WS_DISABLED);
  BackEnd().SetSurfaceOwner(w->surface, owner ? owner->surface : 0, modal);
}

void SyncOwnedSurfaces(Window* w) {
  if (!IsTopLevel(w)) return;
  SyncSurfaceOwner(w);
  for (Window* t : TopLevels())
    if (t->owner && Root(t->owner) == w) SyncSurfaceOwner(t);
}

Pin::Pin(Window* w) : w_(w) { ++w_->callDepth; }
Pin::~Pin() {
  if (--w_->callDepth == 0 && w_->destroyed) delete w_;
}

void ResetWindows() {
  // Destroy what a previous session left, front to back, without asking
  // anyone: the procedures may belong to a test that is gone.
  std::vector<Window*> all;
  std::function<void(Window*)> collect = [&](Window* w) {
    for (Window* c : w->children) collect(c);
    if (w != &T().desktop) all.push_back(w);
  };
  if (T().desktop.handle) collect(&T().desktop);
  for (Window* w : all) {
    if (w->surface) BackEnd().DestroySurface(w->surface);
    w->destroyed = true;
    if (w->callDepth == 0) delete w;
  }
  T().desktop.children.clear();
  T().live.clear();
  T().lastHandle = nullptr;
  T().defaultPlacement = 0;
  SetupDesktop();
}

}  // namespace detail

using namespace detail;

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parentHandle, HMENU menu, HINSTANCE instance, LPVOID param) {
  ClassData* cls = FindClass(className);
  if (!cls) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  Window* parent = Desktop();
  Window* owner = nullptr;
  // A child needs a parent, unless it is a popup too: then it is one.
  if ((style & WS_CHILD) && !parentHandle && (style & WS_POPUP)) style &= ~WS_CHILD;
  if (style & WS_CHILD) {
    if (!parentHandle) {
      SetLastError(ERROR_TLW_WITH_WSCHILD);
      return nullptr;
    }
    parent = Find(parentHandle);
    if (!parent) return nullptr;
    // A window on its way out takes no new children: its tree is already
    // being taken down, and one made now would outlive it.
    if (parent->destroying) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
  } else if (parentHandle && parentHandle != Desktop()->handle) {
    Window* o = Find(parentHandle);
    if (!o) return nullptr;
    owner = Root(o);
  }
  if (!(style & WS_CHILD)) {
    // A top-level window placed by the system: cascade on the work area.
    RECT work = PrimaryWorkArea();
    if (x == CW_USEDEFAULT) {
      int step = 26 * (detail::T().defaultPlacement++ % 8);
      x = work.Left + step;
      y = work.Top + step;
    }
    if (width == CW_USEDEFAULT) {
      width = work.Width() * 3 / 4;
      height = work.Height() * 3 / 4;
    }
    // Plain overlapped windows always carry a caption.
    if (!(style & WS_POPUP)) style |= WS_CLIPSIBLINGS | WS_CAPTION;
  } else {
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
  }
  x = ClampCoordinate(x);
  y = ClampCoordinate(y);
  width = std::max(ClampCoordinate(width), 0);
  height = std::max(ClampCoordinate(height), 0);
  if (!(style & WS_CHILD)) KeepToScreenSize(width, height);

  auto* w = new Window;
  w->handle = detail::NewHandle();
  w->cls = cls;
  ++cls->windowCount;
  w->parent = parent;
  SetOwner(w, owner);
  w->style = style & ~WS_VISIBLE;
  // The windows of a topmost owner are topmost with it.
  w->exStyle = owner && (owner->exStyle & WS_EX_TOPMOST) ? exStyle | WS_EX_TOPMOST : exStyle;
  w->id = (style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(menu) : 0;
  w->proc = cls->proc;
  w->instance = instance;
  w->extra.assign(static_cast<std::size_t>(cls->cbWndExtra), 0);
  w->window = w->client = Bounds(x, y, width, height);
  w->vbar.made = (style & WS_VSCROLL) != 0;
  w->hbar.made = (style & WS_HSCROLL) != 0;
  if (!w->vbar.made) w->vbar.max = 0;
  if (!w->hbar.made) w->hbar.max = 0;
  if (IsTopLevel(w)) {
    // In front of its band: a topmost window before all others, another
    // behind the topmost ones. That is all the order asks of a new window
    // (it owns nothing yet, and an owner is behind it or topmost with it),
    // so making one does not walk all the others.
    auto& s = parent->children;
    auto at = s.begin();
    if (!(w->exStyle & WS_EX_TOPMOST))
      while (at != s.end() && ((*at)->exStyle & WS_EX_TOPMOST)) ++at;
    s.insert(at, w);
  } else {
    parent->children.push_back(w);
  }
  detail::T().live[w->handle] = w;
  HWND h = w->handle;
  // A window with size limits hears them first, and is made no larger.
  if (HasSizingLimits(style)) {
    MINMAXINFO mm = QueryMinMaxInfo(w);
    if (!Peek(h)) return nullptr;
    width = std::min(width, std::max(mm.ptMaxTrackSize.X, 0));
    height = std::min(height, std::max(mm.ptMaxTrackSize.Y, 0));
    w->window = w->client = Bounds(x, y, width, height);
  }
  w->restore = w->window;
  if (IsTopLevel(w)) {
    SurfaceOptions so{style, exStyle, owner ? owner->surface : 0, (style & WS_POPUP) != 0};
    w->surface = BackEnd().CreateSurface(w->window, so);
    // Made over an owner that waits: modal to it from the start.
    if (owner && (owner->style & WS_DISABLED)) SyncSurfaceOwner(w);
  }

  CREATESTRUCTA cs{param, instance, menu, parentHandle, height, width, y, x, static_cast<LONG>(style),
                   windowName, className, exStyle};
  if (!SendMessageA(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (Peek(h)) {
      // Children it made meanwhile were made whole, and go as such; it
      // takes no more from now on.
      w->destroying = true;
      std::vector<HWND> made;
      for (Window* c : w->children) made.push_back(c->handle);
      for (HWND c : made) DestroyWindow(c);
    }
    if (Peek(h)) {
      MarkDestroying(w);
      SendMessageA(h, WM_NCDESTROY, 0, 0);
      Unlink(w);
      detail::FreeWindow(w);
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!Peek(h)) return nullptr;
  RECT rc = w->window;
  SendMessageA(h, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rc));
  if (!Peek(h)) return nullptr;
  w->client = ClampClientArea(rc);
  if (SendMessageA(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(h);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!Peek(h)) return nullptr;
  // An overlapped window's creation ends here: it hears its size and place
  // when it is first shown. Popups and children hear them now.
  w->needSize = !(style & (WS_POPUP | WS_CHILD));
  if (!w->needSize) {
    SendMessageA(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->client.Width(), w->client.Height()));
    if (!Peek(h)) return nullptr;
    SendMessageA(h, WM_MOVE, 0, MAKELPARAM(w->client.Left, w->client.Top));
    if (!Peek(h)) return nullptr;
  }
  // A window made minimised or maximised is put in that state while it is
  // made, before its parent hears of it. Only a window with a frame to
  // maximise is maximised: a control's own style bits may share that bit
  // (ES_SELECTIONBAR does).
  const bool framed = IsTopLevel(w) || (style & (WS_CAPTION | WS_THICKFRAME));
  const bool minimize = (style & WS_MINIMIZE) != 0, maximize = !minimize && (style & WS_MAXIMIZE) && framed;
  if (minimize || maximize) {
    w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
    RECT target{};
    UINT flags = SWP_FRAMECHANGED | SWP_NOACTIVATE;
    if (EnterShowState(w, minimize ? ShowState::Minimized : ShowState::Maximized, target, flags))
      SetWindowPos(h, HWND_TOP, target.Left, target.Top, target.Width(), target.Height(), flags);
    if (!Peek(h)) return nullptr;
  }
  ParentNotify(w, WM_CREATE);
  if (!Peek(h)) return nullptr;
  if (style & WS_VISIBLE) ShowWindow(h, minimize ? SW_SHOWMINIMIZED : maximize ? SW_SHOWMAXIMIZED : SW_SHOW);
  return Peek(h) ? h : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w || w == Desktop()) return FALSE;
  if (w->destroying) return TRUE;

  // Owned windows go first, as they could not outlive their owner.
  if (IsTopLevel(w) && w->owns) {
    std::vector<HWND> owned;
    for (Window* t : TopLevels())
      if (t->owner == w) owned.push_back(t->handle);
    for (HWND o : owned) DestroyWindow(o);
    if (!Peek(hwnd) || w->destroying) return TRUE;
  }
  ParentNotify(w, WM_DESTROY);
  if (!Peek(hwnd) || w->destroying) return TRUE;
  MarkDestroying(w);
  // Only a child hears that it is hidden; a top-level window just goes.
  if ((w->style & WS_VISIBLE) && !IsTopLevel(w))
    ShowWindow(hwnd, SW_HIDE);
  else if (w->style & WS_VISIBLE)
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
  if (!Peek(hwnd)) return TRUE;
  // Out of sight, it hands the activation on, then the focus.
  if (IsTopLevel(w)) ActiveWindowHidden(w);
  if (!Peek(hwnd)) return TRUE;
  FocusWindowLeaving(w);

  std::vector<HWND> order;
  CollectPreOrder(w, order);
  for (HWND h : order)
    if (Window* x = Peek(h)) detail::Send(x, WM_DESTROY, 0, 0);
  if (!Peek(hwnd)) return TRUE;
  CaptureWindowLeaving(w);
  if (!Peek(hwnd)) return TRUE;
  order.clear();
  CollectPostOrder(w, order);
  for (HWND h : order) {
    Window* x = Peek(h);
    if (!x) continue;
    {
      Pin pin(x);
      detail::Send(x, WM_NCDESTROY, 0, 0);
      if (Peek(h)) detail::Unlink(x);
    }
  }
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return Peek(hwnd) != nullptr; }

HWND GetDesktopWindow() { return Desktop()->handle; }

HWND GetParent(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  // The style as it is now decides, whatever the window was created as: a
  // popup names its owner, a child its parent, an overlapped window nothing.
  if (w->style & WS_POPUP) return w->owner ? w->owner->handle : nullptr;
  if (w->style & WS_CHILD) return w->parent ? w->parent->handle : nullptr;
  return nullptr;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  Window* w = Find(hwnd);
  if (!w || w == Desktop()) return nullptr;
  switch (flags) {
    case GA_PARENT: return w->parent ? w->parent->handle : nullptr;
    case GA_ROOT: return Root(w)->handle;
    case GA_ROOTOWNER: {
      // The last window GetParent leads to: an owned overlapped window ends
      // the walk, as it names no parent.
      HWND r = hwnd;
      for (HWND p = GetParent(r); p && p != Desktop()->handle; p = GetParent(r)) r = p;
      return r;
    }
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  // Siblings are walked one after another: each remembers where it stood,
  // and the one handed on where it stands, so a walk over n windows costs n
  // steps. A sibling come or gone before it moves it by one at most.
  auto sibling = [&](int delta) -> HWND {
    if (!w->parent) return nullptr;
    auto& s = w->parent->children;
    const std::size_t n = s.size(), hint = w->placeHint;
    std::size_t at = n;
    for (std::size_t c : {hint, hint + 1, hint - 1})
      if (c < n && s[c] == w) {
        at = c;
        break;
      }
    if (at == n) at = static_cast<std::size_t>(std::find(s.begin(), s.end(), w) - s.begin());
    w->placeHint = at;
    const std::size_t i = at + static_cast<std::size_t>(delta);
    if (i >= n) return nullptr;
    s[i]->placeHint = i;
    return s[i]->handle;
  };
  switch (cmd) {
    case GW_HWNDFIRST: return w->parent && !w->parent->children.empty() ? w->parent->children.front()->handle : nullptr;
    case GW_HWNDLAST: return w->parent && !w->parent->children.empty() ? w->parent->children.back()->handle : nullptr;
    case GW_HWNDNEXT: return sibling(1);
    case GW_HWNDPREV: return sibling(-1);
    case GW_OWNER: return w->owner ? w->owner->handle : nullptr;
    case GW_CHILD: return w->children.empty() ? nullptr : w->children.front()->handle;
    case GW_ENABLEDPOPUP:
      for (Window* t : TopLevels())
        if (t->owner == w && (t->style & WS_VISIBLE) && !(t->style & WS_DISABLED)) return t->handle;
      return nullptr;
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

HWND GetTopWindow(HWND hwnd) {
  Window* w = hwnd ? Find(hwnd) : Desktop();
  if (!w || w->children.empty()) return nullptr;
  return w->children.front()->handle;
}

BOOL IsChild(HWND parent, HWND hwnd) {
  Window* p = Peek(parent);
  Window* w = Peek(hwnd);
  if (!p || !w || p == w) return FALSE;
  // Only a chain of child windows counts; ownership does not.
  for (; w && (w->style & WS_CHILD); w = w->parent)
    if (w->parent == p) return TRUE;
  return FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
  Window* w = Peek(hwnd);
  return w && VisibleChain(w);
}

BOOL IsWindowEnabled(HWND hwnd) {
  Window* w = Peek(hwnd);
  return w && !(w->style & WS_DISABLED);
}

BOOL IsIconic(HWND hwnd) {
  Window* w = Peek(hwnd);
  return w && (w->style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND hwnd) {
  Window* w = Peek(hwnd);
  return w && (w->style & WS_MAXIMIZE);
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
  if (enable && wasDisabled) {
    w->style &= ~WS_DISABLED;
    SendMessageA(hwnd, WM_ENABLE, TRUE, 0);
  } else if (!enable && !wasDisabled) {
    // Whatever mode the window was in (a drag, a capture) ends first.
    SendMessageA(hwnd, WM_CANCELMODE, 0, 0);
    if (!(w = Peek(hwnd))) return FALSE;
    w->style |= WS_DISABLED;
    // A disabled window keeps neither the keyboard nor the mouse.
    Window* f = Peek(GetFocus());
    if (f && IsDescendant(f, w)) SetFocus(nullptr);
    Window* c = Peek(GetCapture());
    if (c && IsDescendant(c, w)) ReleaseCapture();
    if (Peek(hwnd)) SendMessageA(hwnd, WM_ENABLE, FALSE, 0);
  }
  if ((w = Peek(hwnd)) && wasDisabled != ((w->style & WS_DISABLED) != 0)) SyncOwnedSurfaces(w);
  return wasDisabled;
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWL_STYLE: return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(w->exStyle);
    case GWLP_ID: return w->id;
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_USERDATA: return w->userData;
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: {
      Window* p = IsTopLevel(w) ? w->owner : w->parent;
      return reinterpret_cast<LONG_PTR>(p ? p->handle : nullptr);
    }
    default: break;
  }
  if (index < 0 || static_cast<std::size_t>(index) + sizeof(LONG_PTR) > w->extra.size()) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  LONG_PTR v;
  std::memcpy(&v, w->extra.data() + index, sizeof v);
  return v;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  Window* w = Find(hwnd);
  if (!w || w == Desktop()) return 0;
  LONG_PTR old = 0;
  switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE: {
      DWORD& field = index == GWL_STYLE ? w->style : w->exStyle;
      old = static_cast<LONG_PTR>(field);
      // Every bit is written as asked, the minimized one included.
      DWORD wanted = static_cast<DWORD>(value);
      STYLESTRUCT ss{field, wanted};
      SendMessageA(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
      if (!Peek(hwnd)) return old;
      ss.styleOld = field;
      field = ss.styleNew;
      if (index == GWL_EXSTYLE && (ss.styleOld & WS_EX_LAYERED) && !(field & WS_EX_LAYERED)) LayeredStyleDropped(w);
      if (index == GWL_STYLE && ((ss.styleOld ^ ss.styleNew) & WS_DISABLED)) SyncOwnedSurfaces(w);
      SendMessageA(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
      return old;
    }
    case GWLP_ID: old = w->id; w->id = value; return old;
    case GWLP_WNDPROC:
      if (!value) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      old = reinterpret_cast<LONG_PTR>(w->proc);
      w->proc = reinterpret_cast<WNDPROC>(value);
      return old;
    case GWLP_USERDATA: old = w->userData; w->userData = value; return old;
    case GWLP_HINSTANCE: old = reinterpret_cast<LONG_PTR>(w->instance); w->instance = reinterpret_cast<HINSTANCE>(value); return old;
    case GWLP_HWNDPARENT: {
      // Under a window, the slot is the parent; under the desktop, the owner,
      // taken exactly as given.
      if (!IsTopLevel(w)) return reinterpret_cast<LONG_PTR>(SetParent(hwnd, reinterpret_cast<HWND>(value)));
      old = reinterpret_cast<LONG_PTR>(w->owner ? w->owner->handle : nullptr);
      Window* o = value ? Find(reinterpret_cast<HWND>(value)) : nullptr;
      if (value && !o) return 0;
      if (o == Desktop()) o = nullptr;
      // Parents and owners may never lead back to the window itself.
      for (Window* x = o; x; x = IsTopLevel(x) ? x->owner : x->parent)
        if (x == w) {
          SetLastError(ERROR_INVALID_PARAMETER);
          return 0;
        }
      SetOwner(w, o);
      NormalizeTopLevelOrder();
      SyncSurfaceOwner(w);
      return old;
    }
    default: break;
  }
  if (index < 0 || static_cast<std::size_t>(index) + sizeof(LONG_PTR) > w->extra.size()) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  std::memcpy(&old, w->extra.data() + index, sizeof old);
  std::memcpy(w->extra.data() + index, &value, sizeof value);
  return old;
}

LONG GetWindowLongA(HWND hwnd, int index) {
  if (index >= 0) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    if (static_cast<std::size_t>(index) + sizeof(LONG) > w->extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    LONG v;
    std::memcpy(&v, w->extra.data() + index, sizeof v);
    return v;
  }
  return static_cast<LONG>(GetWindowLongPtrA(hwnd, index));
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value) {
  if (index >= 0) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    if (static_cast<std::size_t>(index) + sizeof(LONG) > w->extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    LONG old;
    std::memcpy(&old, w->extra.data() + index, sizeof old);
    std::memcpy(w->extra.data() + index, &value, sizeof value);
    return old;
  }
  LONG_PTR v = (index == GWL_STYLE || index == GWL_EXSTYLE) ? static_cast<LONG_PTR>(static_cast<DWORD>(value)) : value;
  return static_cast<LONG>(SetWindowLongPtrA(hwnd, index, v));
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int maxCount) {
  if (!buffer || maxCount <= 0) return 0;
  buffer[0] = 0;
  if (!Find(hwnd)) return 0;
  LRESULT n = SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(buffer));
  // A procedure answering more than fits must not make callers read past the buffer.
  n = std::clamp<LRESULT>(n, 0, maxCount - 1);
  buffer[n] = 0;
  return static_cast<int>(n);
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
  if (!Find(hwnd)) return FALSE;
  return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) != 0;
}

int GetWindowTextLengthA(HWND hwnd) {
  if (!Find(hwnd)) return 0;
  return static_cast<int>(std::max<LRESULT>(0, SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0)));
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM param) {
  if (!proc) return FALSE;
  std::vector<HWND> list;
  for (Window* t : TopLevels()) list.push_back(t->handle);
  for (HWND h : list)
    if (Peek(h) && !proc(h, param)) return FALSE;
  return TRUE;
}

BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM param) {
  if (threadId != GetCurrentThreadId()) return FALSE;
  return EnumWindows(proc, param);
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param) {
  Window* p = parent ? Find(parent) : Desktop();
  if (!p || !proc) return FALSE;
  std::vector<HWND> list;
  detail::EnumDescendants(p, list);
  // Nothing to enumerate is not a success.
  if (list.empty()) return FALSE;
  for (HWND h : list)
    if (Peek(h) && !proc(h, param)) return FALSE;
  return TRUE;
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }
DWORD GetCurrentThreadId() {
  static const DWORD id = static_cast<DWORD>(::getpid());
  return id;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId) {
  if (!Find(hwnd)) return 0;
  if (processId) *processId = GetCurrentProcessId();
  return GetCurrentThreadId();
}

}  // namespace win
