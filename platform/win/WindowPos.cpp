#include "platform/win/WindowPos.h"

#include <algorithm>

#include "platform/win/BackEnd.h"
#include "platform/win/Focus.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowRegion.h"

namespace win {

// Flags carried only inside WM_WINDOWPOSCHANGED: the client area did not
// move or change size, so no WM_MOVE/WM_SIZE follows.
constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;

namespace detail {
namespace {

bool Contains(const RECT& r, POINT p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

// Places w in its sibling list; answers whether the order changed.
bool Reorder(Window* w, HWND after) {
  auto& s = w->parent->children;
  std::vector<Window*> before = s;
  bool top = IsTopLevel(w);
  if (top && after == HWND_TOPMOST) w->exStyle |= WS_EX_TOPMOST;
  if (top && (after == HWND_NOTOPMOST || after == HWND_BOTTOM)) w->exStyle &= ~WS_EX_TOPMOST;
  s.erase(std::remove(s.begin(), s.end(), w), s.end());
  if (after == HWND_BOTTOM) {
    s.push_back(w);
  } else if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    auto pos = s.begin();
    // A window that is not topmost stays behind the topmost band.
    if (top && !(w->exStyle & WS_EX_TOPMOST))
      while (pos != s.end() && ((*pos)->exStyle & WS_EX_TOPMOST)) ++pos;
    s.insert(pos, w);
  } else {
    Window* a = Peek(after);
    auto it = a ? std::find(s.begin(), s.end(), a) : s.end();
    if (it == s.end()) s.insert(s.begin(), w);
    else s.insert(it + 1, w);
  }
  if (top) NormalizeTopLevelOrder();
  return before != s;
}

void InvalidateTree(Window* w) {
  RedrawWindow(w->handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// Uncovered area of the parent: the old rectangle is already in its client
// coordinates. Siblings that were underneath show again too.
void InvalidateInParent(Window* w, const RECT& r) {
  if (!w->parent || w->parent == Desktop()) return;
  RedrawWindow(w->parent->handle, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void SyncSurface(Window* w, bool moved, bool shown, bool hidden, bool activate) {
  if (!w->surface || !IsTopLevel(w)) return;
  IBackEnd& be = BackEnd();
  if (moved) be.MoveSurface(w->surface, w->window);
  if (shown) be.ShowSurface(w->surface, true, activate);
  if (hidden) be.ShowSurface(w->surface, false, false);
}

// Owned windows follow their owner out of sight and back.
void FollowOwner(Window* owner, bool show) {
  std::vector<HWND> owned;
  for (Window* t : TopLevels())
    if (t->owner == owner) owned.push_back(t->handle);
  for (HWND h : owned) {
    Window* t = Peek(h);
    if (!t) continue;
    if (!show && (t->style & WS_VISIBLE)) {
      t->hiddenByOwner = true;
      SendMessageA(h, WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
      SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    } else if (show && t->hiddenByOwner && !(t->style & WS_VISIBLE)) {
      t->hiddenByOwner = false;
      SendMessageA(h, WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
      SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    }
  }
}

}  // namespace

void NormalizeTopLevelOrder() {
  auto& s = Desktop()->children;
  std::stable_partition(s.begin(), s.end(), [](Window* w) { return (w->exStyle & WS_EX_TOPMOST) != 0; });
  // Each owned window sits directly in front of its owner when it has
  // fallen behind it; repeat until stable (owner chains are short).
  for (int pass = 0; pass < 8; ++pass) {
    bool moved = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
      Window* w = s[i];
      if (!w->owner) continue;
      auto ownerIt = std::find(s.begin(), s.end(), w->owner);
      if (ownerIt == s.end() || ownerIt - s.begin() > static_cast<long>(i)) continue;
      s.erase(s.begin() + static_cast<long>(i));
      ownerIt = std::find(s.begin(), s.end(), w->owner);
      s.insert(ownerIt, w);
      moved = true;
      break;
    }
    if (!moved) break;
  }
}

Window* WindowAt(POINT screen, const std::vector<Window*>& skip) {
  auto skipped = [&](Window* w) { return std::find(skip.begin(), skip.end(), w) != skip.end(); };
  auto inside = [&](Window* w) {
    RECT r = ScreenWindowRect(w);
    if (!Contains(r, screen)) return false;
    return InsideRegion(w, {screen.X - r.Left, screen.Y - r.Top});
  };
  Window* found = nullptr;
  for (Window* t : TopLevels()) {
    if ((t->style & WS_VISIBLE) && !skipped(t) && inside(t)) {
      found = t;
      break;
    }
  }
  if (!found) return nullptr;
  for (;;) {
    if (!Contains(ScreenClientRect(found), screen)) return found;
    Window* next = nullptr;
    for (Window* c : found->children) {
      if ((c->style & WS_VISIBLE) && !skipped(c) && inside(c)) {
        next = c;
        break;
      }
    }
    if (!next || (next->style & WS_DISABLED)) return found;
    found = next;
  }
}

}  // namespace detail

using namespace detail;

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Window* w = Find(hwnd);
  if (!w || w == Desktop()) return FALSE;
  // Positions and sizes are 16-bit quantities to the window system.
  x = std::clamp(x, -32768, 32767);
  y = std::clamp(y, -32768, 32767);
  cx = std::clamp(cx, -32768, 32767);
  cy = std::clamp(cy, -32768, 32767);
  if (flags & SWP_NOMOVE) {
    x = w->window.Left;
    y = w->window.Top;
  }
  if (flags & SWP_NOSIZE) {
    cx = w->window.Width();
    cy = w->window.Height();
  }
  bool visible = (w->style & WS_VISIBLE) != 0;
  if ((flags & SWP_SHOWWINDOW) && visible) flags &= ~SWP_SHOWWINDOW;
  if ((flags & SWP_HIDEWINDOW) && !visible) flags &= ~SWP_HIDEWINDOW;
  if (x == w->window.Left && y == w->window.Top) flags |= SWP_NOMOVE;
  if (cx == w->window.Width() && cy == w->window.Height()) flags |= SWP_NOSIZE;
  if (!(flags & SWP_NOZORDER) && w->parent) {
    auto& s = w->parent->children;
    bool alreadyFront = !s.empty() && s.front() == w && insertAfter == HWND_TOP;
    if (alreadyFront) flags |= SWP_NOZORDER;
  }
  bool activate = IsTopLevel(w) && !(flags & SWP_NOACTIVATE) && ((w->style & WS_VISIBLE) || (flags & SWP_SHOWWINDOW)) &&
                  GetActiveWindow() != hwnd;
  constexpr UINT kChanges = SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED;
  if ((flags & (SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER)) == (SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER) &&
      !(flags & kChanges)) {
    if (activate) SetActiveWindow(hwnd);
    return TRUE;
  }

  WINDOWPOS wp{hwnd, insertAfter, x, y, std::max(cx, 0), std::max(cy, 0), flags};
  if (!(flags & SWP_NOSENDCHANGING)) {
    SendMessageA(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (!Peek(hwnd)) return FALSE;
    wp.cx = std::max(wp.cx, 0);
    wp.cy = std::max(wp.cy, 0);
    // What the handler left decides; it may also have cancelled parts.
    if (!(wp.flags & SWP_NOMOVE) && wp.x == w->window.Left && wp.y == w->window.Top) wp.flags |= SWP_NOMOVE;
    if (!(wp.flags & SWP_NOSIZE) && wp.cx == w->window.Width() && wp.cy == w->window.Height()) wp.flags |= SWP_NOSIZE;
    if (wp.flags & SWP_NOMOVE) wp.x = w->window.Left, wp.y = w->window.Top;
    if (wp.flags & SWP_NOSIZE) wp.cx = w->window.Width(), wp.cy = w->window.Height();
  }
  UINT f = wp.flags;
  RECT oldWindow = w->window, oldClient = w->client;

  if (!(f & SWP_NOZORDER) && w->parent) {
    if (!Reorder(w, wp.hwndInsertAfter)) f |= SWP_NOZORDER;
  }
  w->window = Bounds(wp.x, wp.y, wp.cx, wp.cy);
  bool sized = !(f & SWP_NOSIZE);
  if (sized || (f & SWP_FRAMECHANGED)) {
    NCCALCSIZE_PARAMS p{{w->window, oldWindow, oldClient}, &wp};
    SendMessageA(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&p));
    if (!Peek(hwnd)) return FALSE;
    RECT c = p.rgrc[0];
    if (c.Right < c.Left) c.Right = c.Left;
    if (c.Bottom < c.Top) c.Bottom = c.Top;
    w->client = c;
  } else {
    int dx = w->window.Left - oldWindow.Left, dy = w->window.Top - oldWindow.Top;
    w->client = {oldClient.Left + dx, oldClient.Top + dy, oldClient.Right + dx, oldClient.Bottom + dy};
  }
  bool clientSized = w->client.Width() != oldClient.Width() || w->client.Height() != oldClient.Height();
  bool clientMoved = w->client.Left != oldClient.Left || w->client.Top != oldClient.Top;
  if (!clientSized) f |= SWP_NOCLIENTSIZE;
  if (!clientMoved) f |= SWP_NOCLIENTMOVE;

  if (f & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (f & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
  SyncSurface(w, !(f & SWP_NOMOVE) || !(f & SWP_NOSIZE), (f & SWP_SHOWWINDOW) != 0, (f & SWP_HIDEWINDOW) != 0,
              activate);

  if (!(f & SWP_NOREDRAW)) {
    bool childMoved = !IsTopLevel(w) && (!(f & SWP_NOMOVE) || !(f & SWP_NOSIZE));
    // A child window that moves is drawn again where it lands: its pixels
    // live in its top-level window's surface and are not carried along.
    if ((f & SWP_SHOWWINDOW) || ((w->style & WS_VISIBLE) && childMoved)) InvalidateTree(w);
    else if ((w->style & WS_VISIBLE) && (clientSized || (f & SWP_FRAMECHANGED)))
      RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    bool nowVisible = (w->style & WS_VISIBLE) != 0;
    if ((f & SWP_HIDEWINDOW) || (nowVisible && (!(f & SWP_NOMOVE) || !(f & SWP_NOSIZE))))
      InvalidateInParent(w, oldWindow);
  }

  wp.flags = f;
  SendMessageA(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  if (!Peek(hwnd)) return TRUE;

  if (f & SWP_HIDEWINDOW) {
    FocusWindowHidden(w);
    if (IsTopLevel(w)) FollowOwner(w, false);
  } else if (f & SWP_SHOWWINDOW) {
    if (IsTopLevel(w)) FollowOwner(w, true);
  }
  if (activate && Peek(hwnd) && (w->style & WS_VISIBLE)) SetActiveWindow(hwnd);
  return TRUE;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  Window* w = Find(hwnd);
  if (!w || w == Desktop()) return FALSE;
  BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
  bool top = IsTopLevel(w);
  UINT flags = SWP_NOZORDER;
  bool activate = false;
  bool minimize = false, maximize = false, restore = false;
  switch (cmd) {
    case SW_HIDE:
      if (!wasVisible) return FALSE;
      SendMessageA(hwnd, WM_SHOWWINDOW, FALSE, 0);
      if (!Peek(hwnd)) return wasVisible;
      SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
      return wasVisible;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT: restore = true; activate = true; break;
    case SW_SHOWNOACTIVATE: restore = true; break;
    case SW_SHOW: activate = true; break;
    case SW_SHOWNA: break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE: minimize = true; break;
    case SW_SHOWMAXIMIZED: maximize = true; activate = true; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return wasVisible;
  }
  RECT target = w->window;
  bool stateChange = false;
  bool normal = !(w->style & (WS_MINIMIZE | WS_MAXIMIZE));
  if (minimize && !(w->style & WS_MINIMIZE)) {
    if (normal) w->restore = w->window;
    w->style = (w->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
    target = Bounds(-32000, -32000, GetSystemMetrics(SM_CXMINIMIZED), GetSystemMetrics(SM_CYMINIMIZED));
    stateChange = true;
  } else if (maximize && !(w->style & WS_MAXIMIZE)) {
    if (normal) w->restore = w->window;
    w->style = (w->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
    if (top) {
      // The frame lies just outside the work area, as on a maximized window.
      RECT work = PrimaryWorkArea();
      RECT in = FrameInsets(w->style & ~(WS_VSCROLL | WS_HSCROLL), w->exStyle, false);
      int fx = std::min(in.Left, in.Right), fy = std::min(in.Left, in.Bottom);
      target = {work.Left - fx, work.Top - fy, work.Right + fx, work.Bottom + fy};
    } else if (w->parent) {
      target = {0, 0, w->parent->client.Width(), w->parent->client.Height()};
    }
    stateChange = true;
  } else if (restore && (w->style & (WS_MINIMIZE | WS_MAXIMIZE))) {
    w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
    target = w->restore;
    stateChange = true;
  }
  if (!wasVisible) {
    SendMessageA(hwnd, WM_SHOWWINDOW, TRUE, 0);
    if (!Peek(hwnd)) return wasVisible;
    flags |= SWP_SHOWWINDOW;
  }
  if (!stateChange) flags |= SWP_NOMOVE | SWP_NOSIZE;
  else flags |= SWP_FRAMECHANGED;
  if (!activate || !top) flags |= SWP_NOACTIVATE;
  SetWindowPos(hwnd, nullptr, target.Left, target.Top, target.Width(), target.Height(), flags);
  if (!Peek(hwnd)) return wasVisible;
  if (minimize && top) {
    FollowOwner(w, false);
    if (GetActiveWindow() == hwnd) FocusWindowHidden(w);
  } else if (stateChange && restore && top) {
    FollowOwner(w, true);
  }
  return wasVisible;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) { return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

HWND SetParent(HWND child, HWND newParent) {
  Window* w = Find(child);
  if (!w || w == Desktop()) return nullptr;
  Window* p = newParent ? Find(newParent) : Desktop();
  if (!p) return nullptr;
  // A window can never become its own ancestor.
  if (IsDescendant(p, w)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Window* old = w->parent;
  if (old == p) return old->handle;
  bool wasTop = IsTopLevel(w);
  bool visible = (w->style & WS_VISIBLE) != 0;
  if (visible)
    SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
  if (!Peek(child)) return nullptr;
  auto& s = w->parent->children;
  s.erase(std::remove(s.begin(), s.end(), w), s.end());
  w->parent = p;
  p->children.insert(p->children.begin(), w);
  bool nowTop = IsTopLevel(w);
  if (wasTop && !nowTop) {
    if (w->surface) BackEnd().DestroySurface(w->surface);
    w->surface = 0;
    w->owner = nullptr;
    for (Window* t : TopLevels())
      if (t->owner == w) t->owner = nullptr;
  } else if (!wasTop && nowTop) {
    NormalizeTopLevelOrder();
    SurfaceOptions so{w->style, w->exStyle, 0, (w->style & WS_POPUP) != 0};
    w->surface = BackEnd().CreateSurface(w->window, so);
    if (w->hasRegion) ShapeSurface(w);
  }
  if (visible)
    SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  return old->handle;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
  Window* w = Find(hwnd);
  if (!w || !rect) return FALSE;
  *rect = ScreenWindowRect(w);
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
  Window* w = Find(hwnd);
  if (!w || !rect) return FALSE;
  *rect = {0, 0, w->client.Width(), w->client.Height()};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT pt) {
  Window* w = Find(hwnd);
  if (!w || !pt) return FALSE;
  POINT o = ClientOrigin(w);
  pt->X += o.X;
  pt->Y += o.Y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT pt) {
  Window* w = Find(hwnd);
  if (!w || !pt) return FALSE;
  POINT o = ClientOrigin(w);
  pt->X -= o.X;
  pt->Y -= o.Y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  Window* a = from ? Find(from) : Desktop();
  Window* b = to ? Find(to) : Desktop();
  if (!a || !b) return 0;
  POINT oa = ClientOrigin(a), ob = ClientOrigin(b);
  int dx = oa.X - ob.X, dy = oa.Y - ob.Y;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].X += dx;
    points[i].Y += dy;
  }
  SetLastError(ERROR_SUCCESS);
  return static_cast<int>(MAKELPARAM(dx, dy));
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD exStyle) {
  if (!rect) return FALSE;
  RECT in = FrameInsets(style, exStyle, false);
  rect->Left -= in.Left;
  rect->Top -= in.Top;
  rect->Right += in.Right;
  rect->Bottom += in.Bottom;
  return TRUE;
}

HWND WindowFromPoint(POINT pt) {
  Window* w = WindowAt(pt, {});
  return w ? w->handle : nullptr;
}

HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags) {
  Window* p = Find(parent);
  if (!p) return nullptr;
  if (pt.X < 0 || pt.Y < 0 || pt.X >= p->client.Width() || pt.Y >= p->client.Height()) return nullptr;
  for (Window* c : p->children) {
    if ((flags & CWP_SKIPINVISIBLE) && !(c->style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (c->style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (c->exStyle & WS_EX_TRANSPARENT)) continue;
    if (Contains(c->window, pt) && InsideRegion(c, {pt.X - c->window.Left, pt.Y - c->window.Top})) return c->handle;
  }
  return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT pt) { return ChildWindowFromPointEx(parent, pt, CWP_ALL); }

}  // namespace win
