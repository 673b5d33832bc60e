#include "platform/win/WindowPos.h"

#include <algorithm>

#include "platform/gdi/Regions.h"
#include "platform/win/BackEnd.h"
#include "platform/win/Focus.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowRegion.h"

namespace win {

// Flags carried only inside WM_WINDOWPOSCHANGED: the client area did not
// move or change size, so no WM_MOVE/WM_SIZE follows.
constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;

namespace detail {
namespace {

bool IsSpecialInsertAfter(HWND after) {
  return after == HWND_TOP || after == HWND_BOTTOM || after == HWND_TOPMOST || after == HWND_NOTOPMOST;
}

bool Contains(const RECT& r, POINT p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

// Topmost belongs to a window together with the windows it owns; taking it
// from an owned window takes it from its owners as well.
void SetTopmost(Window* w, bool on) {
  std::vector<Window*> group{w};
  if (!on)
    for (Window* o = w->owner; o && IsTopLevel(o); o = o->owner) group.push_back(o);
  for (std::size_t i = 0; i < group.size(); ++i)
    for (Window* t : TopLevels())
      if (t->owner == group[i] && std::find(group.begin(), group.end(), t) == group.end()) group.push_back(t);
  for (Window* x : group) x->exStyle = on ? x->exStyle | WS_EX_TOPMOST : x->exStyle & ~WS_EX_TOPMOST;
}

// Places w in its sibling list; answers whether the order changed.
bool Reorder(Window* w, HWND after) {
  auto& s = w->parent->children;
  std::vector<Window*> before = s;
  bool top = IsTopLevel(w);
  if (top) {
    Window* a = IsSpecialInsertAfter(after) ? nullptr : Peek(after);
    if (after == HWND_TOPMOST) SetTopmost(w, true);
    // Behind everything, or behind a window that is not topmost, is no
    // longer topmost.
    else if (after == HWND_NOTOPMOST || after == HWND_BOTTOM || (a && a->parent == w->parent && !(a->exStyle & WS_EX_TOPMOST)))
      SetTopmost(w, false);
  }
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

// Uncovered area of the parent: what the old rectangle (already in its
// client coordinates) covered and the window no longer does. Siblings that
// were underneath show again too.
void InvalidateInParent(Window* w, const RECT& old) {
  if (!w->parent || w->parent == Desktop()) return;
  gdi::Region uncovered(old);
  if (w->style & WS_VISIBLE) {
    gdi::Region now(w->window);
    gdi::Region::Combine(uncovered, uncovered, now, RGN_DIFF);
  }
  if (uncovered.IsEmpty()) return;
  HRGN rgn = gdi::NewRegionHandle(uncovered);
  RedrawWindow(w->parent->handle, nullptr, rgn, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  DeleteObject(rgn);
}

void SyncSurface(Window* w, bool moved, bool shown, bool hidden, bool activate) {
  if (!w->surface || !IsTopLevel(w)) return;
  IBackEnd& be = BackEnd();
  if (moved) be.MoveSurface(w->surface, w->window);
  if (shown) be.ShowSurface(w->surface, true, activate);
  if (hidden) be.ShowSurface(w->surface, false, false);
}

// Owned windows follow their owner out of sight when it is minimised and
// back when it is restored; an owner merely hidden leaves them shown.
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

// The ancestors hear it nearest first; a window styled WS_EX_NOPARENTNOTIFY
// ends the chain.
void ParentNotify(Window* w, UINT event) {
  WPARAM wp = MAKEWPARAM(event, static_cast<WORD>(w->id));
  LPARAM lp = reinterpret_cast<LPARAM>(w->handle);
  for (HWND h = w->handle;;) {
    Window* x = Peek(h);
    if (!x || !(x->style & WS_CHILD) || (x->exStyle & WS_EX_NOPARENTNOTIFY) || !x->parent || x->parent == Desktop())
      return;
    h = x->parent->handle;
    SendMessageA(h, WM_PARENTNOTIFY, wp, lp);
  }
}

bool HasSizingLimits(DWORD style) { return (style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD)); }

MINMAXINFO QueryMinMaxInfo(Window* w) {
  MINMAXINFO mm{};
  if (IsTopLevel(w) || !w->parent) {
    // Maximized, the frame lies just outside the work area.
    RECT work = PrimaryWorkArea();
    RECT in = FrameInsets(w->style & ~(WS_VSCROLL | WS_HSCROLL), w->exStyle, false);
    int fx = std::min(in.Left, in.Right), fy = std::min(in.Top, in.Bottom);
    mm.ptMaxPosition = {work.Left - fx, work.Top - fy};
    mm.ptMaxSize = {work.Width() + 2 * fx, work.Height() + 2 * fy};
  } else {
    mm.ptMaxSize = {w->parent->client.Width(), w->parent->client.Height()};
  }
  mm.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mm.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  SendMessageA(w->handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
  return mm;
}

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

namespace {

// SetWindowPos, and for SetParent a move that happened in any case: the
// same relative position under another parent is still a move.
BOOL PlaceWindow(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags, bool parentChanged) {
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
  // A change of state (minimised, maximised) names SWP_SHOWWINDOW whether
  // or not the window is visible; anywhere else it means a window appears.
  if ((flags & SWP_SHOWWINDOW) && visible && !(flags & SWP_STATECHANGED)) flags &= ~SWP_SHOWWINDOW;
  if ((flags & SWP_HIDEWINDOW) && !visible) flags &= ~SWP_HIDEWINDOW;
  if (x == w->window.Left && y == w->window.Top && !parentChanged) flags |= SWP_NOMOVE;
  if (cx == w->window.Width() && cy == w->window.Height()) flags |= SWP_NOSIZE;
  // Raising the front window changes nothing, though the window hears the
  // request as it was made.
  bool alreadyFront = false;
  if (!(flags & SWP_NOZORDER) && w->parent) {
    auto& s = w->parent->children;
    alreadyFront = !s.empty() && s.front() == w && insertAfter == HWND_TOP;
  }
  bool activate = IsTopLevel(w) && !(flags & SWP_NOACTIVATE) && ((w->style & WS_VISIBLE) || (flags & SWP_SHOWWINDOW)) &&
                  GetActiveWindow() != hwnd;
  constexpr UINT kChanges = SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED;
  const UINT unchanged = flags | (alreadyFront ? SWP_NOZORDER : 0);
  if ((unchanged & (SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER)) == (SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER) &&
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
    if (!(wp.flags & SWP_NOMOVE) && wp.x == w->window.Left && wp.y == w->window.Top && !parentChanged)
      wp.flags |= SWP_NOMOVE;
    if (!(wp.flags & SWP_NOSIZE) && wp.cx == w->window.Width() && wp.cy == w->window.Height()) wp.flags |= SWP_NOSIZE;
    if (wp.flags & SWP_NOMOVE) wp.x = w->window.Left, wp.y = w->window.Top;
    if (wp.flags & SWP_NOSIZE) wp.cx = w->window.Width(), wp.cy = w->window.Height();
  }
  UINT f = wp.flags;
  RECT oldWindow = w->window, oldClient = w->client;
  const bool showing = (f & SWP_SHOWWINDOW) && !visible;
  // A child that only moves takes its pixels along: what showed before and
  // still shows is copied, and only the rest is drawn again.
  const bool copyBits = !IsTopLevel(w) && visible && !(f & (SWP_NOCOPYBITS | SWP_NOREDRAW | SWP_SHOWWINDOW |
                                                             SWP_HIDEWINDOW | SWP_FRAMECHANGED)) &&
                        (f & SWP_NOSIZE) && !(f & SWP_NOMOVE) && Paintable(w);
  gdi::Region oldBits;
  RECT oldScreen{};
  if (copyBits) {
    VisibleTreeInRoot(w, oldBits);
    oldScreen = ScreenWindowRect(w);
  }

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
  bool clientMoved = w->client.Left != oldClient.Left || w->client.Top != oldClient.Top || parentChanged;
  if (!clientSized) f |= SWP_NOCLIENTSIZE;
  if (!clientMoved) f |= SWP_NOCLIENTMOVE;

  if (showing) w->style |= WS_VISIBLE;
  if (f & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
  SyncSurface(w, !(f & SWP_NOMOVE) || !(f & SWP_NOSIZE), showing, (f & SWP_HIDEWINDOW) != 0, activate);

  if (copyBits) {
    gdi::Region now, kept;
    VisibleTreeInRoot(w, now);
    RECT screen = ScreenWindowRect(w);
    const int dx = screen.Left - oldScreen.Left, dy = screen.Top - oldScreen.Top;
    kept = oldBits;
    kept.Offset(dx, dy);
    gdi::Region::Combine(kept, kept, now, RGN_AND);
    MoveRootPixels(Root(w), kept, dx, dy);
    // What shows now and did not before is drawn, frames included.
    gdi::Region fresh = now;
    gdi::Region::Combine(fresh, fresh, kept, RGN_DIFF);
    if (!fresh.IsEmpty()) {
      RECT root = ScreenWindowRect(Root(w)), client = ScreenClientRect(w);
      gdi::Region clientPart(RECT{client.Left - root.Left, client.Top - root.Top, client.Right - root.Left,
                                  client.Bottom - root.Top});
      gdi::Region ring = fresh;
      gdi::Region::Combine(ring, ring, clientPart, RGN_DIFF);
      fresh.Offset(root.Left - client.Left, root.Top - client.Top);
      HRGN rgn = gdi::NewRegionHandle(fresh);
      RedrawWindow(hwnd, nullptr, rgn, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | (ring.IsEmpty() ? 0 : RDW_FRAME));
      DeleteObject(rgn);
    }
    // A parent still to paint over its children paints over this one too
    // where it lands.
    Window* p = w->parent;
    if (Peek(hwnd) && !(p->style & WS_CLIPCHILDREN) && !p->update.IsEmpty()) {
      gdi::Region under = p->update;
      gdi::Region mine(w->window);
      gdi::Region::Combine(under, under, mine, RGN_AND);
      if (!under.IsEmpty()) {
        under.Offset(-w->client.Left, -w->client.Top);
        HRGN rgn = gdi::NewRegionHandle(under);
        RedrawWindow(hwnd, nullptr, rgn, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        DeleteObject(rgn);
      }
    }
  }
  if (!Peek(hwnd)) return TRUE;
  if (!(f & SWP_NOREDRAW)) {
    bool childMoved = !IsTopLevel(w) && (!(f & SWP_NOMOVE) || !(f & SWP_NOSIZE));
    const int oldW = oldClient.Width(), oldH = oldClient.Height();
    const bool wider = w->client.Width() != oldW, taller = w->client.Height() != oldH;
    // A window whose class asks to be redrawn on a change of width (or
    // height) is, when that changes; otherwise it keeps the pixels it had,
    // and only the area it gained, and its frame, are drawn.
    const UINT cls = w->cls->style;
    const bool whole = (f & SWP_FRAMECHANGED) || (wider && (cls & CS_HREDRAW)) || (taller && (cls & CS_VREDRAW));
    // A child that moves without its pixels is drawn again where it lands.
    const bool movedWithout = childMoved && !copyBits && (whole || !(f & SWP_NOMOVE) || (f & SWP_NOCOPYBITS));
    if (showing || ((w->style & WS_VISIBLE) && movedWithout)) {
      InvalidateTree(w);
    } else if (copyBits) {
      // Done above.
    } else if ((w->style & WS_VISIBLE) && whole) {
      RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    } else if ((w->style & WS_VISIBLE) && clientSized) {
      gdi::Region gained(RECT{0, 0, w->client.Width(), w->client.Height()});
      gdi::Region had(RECT{0, 0, oldW, oldH});
      gdi::Region::Combine(gained, gained, had, RGN_DIFF);
      HRGN rgn = gdi::NewRegionHandle(gained);
      RedrawWindow(hwnd, nullptr, rgn, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      DeleteObject(rgn);
      if (w->window.Width() != w->client.Width() || w->window.Height() != w->client.Height()) {
        HRGN none = CreateRectRgn(0, 0, 0, 0);
        RedrawWindow(hwnd, nullptr, none, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
        DeleteObject(none);
      }
    }
    bool nowVisible = (w->style & WS_VISIBLE) != 0;
    bool placed = !(f & SWP_NOMOVE) || !(f & SWP_NOSIZE);
    if ((f & SWP_HIDEWINDOW) || (nowVisible && placed)) InvalidateInParent(w, oldWindow);
    // A parent that paints over its children paints where one appears too;
    // one that moves or grows covers what it covers and draws itself.
    if (nowVisible && showing && !IsTopLevel(w) && !(w->parent->style & WS_CLIPCHILDREN))
      RedrawWindow(w->parent->handle, &w->window, nullptr, RDW_INVALIDATE | RDW_ERASE);
  }

  // Activation happens inside the call, before the window hears that it
  // moved: a window just shown or raised is active (and has the focus)
  // when WM_WINDOWPOSCHANGED arrives. Hiding changes neither activation
  // nor focus here; ShowWindow hands them on afterwards.
  bool top = IsTopLevel(w);
  if (!(f & SWP_HIDEWINDOW)) {
    if (activate && (w->style & WS_VISIBLE)) SetActiveWindow(hwnd);
    else if (!(f & SWP_NOACTIVATE) && (w->style & (WS_CHILD | WS_POPUP)) == WS_CHILD)
      SendMessageA(hwnd, WM_CHILDACTIVATE, 0, 0);
  }
  if (!Peek(hwnd)) return TRUE;
  // A top-level window that appears has its frame and background drawn at once.
  if (top && showing && !(f & SWP_NOREDRAW))
    RedrawWindow(hwnd, nullptr, nullptr, RDW_ERASENOW | RDW_NOCHILDREN);
  if (!Peek(hwnd)) return TRUE;

  wp.flags = f;
  SendMessageA(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  return TRUE;
}

}  // namespace

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  return PlaceWindow(hwnd, insertAfter, x, y, cx, cy, flags, false);
}

namespace detail {

// Puts a window into the minimised or maximised state, or back, and answers
// where it goes then; false when nothing changes (or the window is gone).
bool ChangeShowState(Window* w, bool minimize, bool maximize, bool restore, RECT& target) {
  HWND hwnd = w->handle;
  bool normal = !(w->style & (WS_MINIMIZE | WS_MAXIMIZE));
  if (minimize && !(w->style & WS_MINIMIZE)) {
    if (normal) w->restore = w->window;
    w->style = (w->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
    target = Bounds(-32000, -32000, GetSystemMetrics(SM_CXMINIMIZED), GetSystemMetrics(SM_CYMINIMIZED));
    return true;
  }
  if (maximize && !(w->style & WS_MAXIMIZE)) {
    if (normal) w->restore = w->window;
    w->style = (w->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
    MINMAXINFO mm = QueryMinMaxInfo(w);
    if (!Peek(hwnd)) return false;
    target = Bounds(mm.ptMaxPosition.X, mm.ptMaxPosition.Y, mm.ptMaxSize.X, mm.ptMaxSize.Y);
    return true;
  }
  if (restore && (w->style & (WS_MINIMIZE | WS_MAXIMIZE))) {
    w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
    target = w->restore;
    return true;
  }
  return false;
}

}  // namespace detail

BOOL ShowWindow(HWND hwnd, int cmd) {
  Window* w = Find(hwnd);
  if (!w || w == Desktop()) return FALSE;
  BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
  bool top = IsTopLevel(w);
  // A child of a hidden window only changes its style: nothing is placed.
  const bool unseen = !top && !VisibleChain(w->parent);
  if (cmd == SW_HIDE) {
    if (!wasVisible) return FALSE;
    SendMessageA(hwnd, WM_SHOWWINDOW, FALSE, 0);
    if (!Peek(hwnd)) return wasVisible;
    if (unseen) {
      w->style &= ~WS_VISIBLE;
    } else {
      // Hiding the active window may change the z-order and the activation.
      const bool active = top && GetActiveWindow() == hwnd;
      SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | (active ? 0 : SWP_NOACTIVATE | SWP_NOZORDER));
    }
    if (!Peek(hwnd)) return wasVisible;
    // The window has heard that it is hidden; now activation and focus move.
    if (top) ActiveWindowHidden(w);
    if (Peek(hwnd)) FocusWindowHidden(w);
    return wasVisible;
  }
  bool activate = false;
  bool minimize = false, maximize = false, restore = false;
  switch (cmd) {
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
  // A minimized window may refuse to open.
  if (restore && (w->style & WS_MINIMIZE) && (!SendMessageA(hwnd, WM_QUERYOPEN, 0, 0) || !Peek(hwnd)))
    return wasVisible;
  RECT target = w->window;
  const bool stateChange = ChangeShowState(w, minimize, maximize, restore, target);
  if (!Peek(hwnd)) return wasVisible;
  // WM_SHOWWINDOW tells of a window appearing as it is; a change of state
  // says so itself. SW_SHOWNA tells it even to a window already visible.
  if (!stateChange && (!wasVisible || cmd == SW_SHOWNA)) {
    SendMessageA(hwnd, WM_SHOWWINDOW, TRUE, 0);
    if (!Peek(hwnd)) return wasVisible;
  }
  if (unseen && !stateChange) {
    w->style |= WS_VISIBLE;
    return wasVisible;
  }
  UINT flags = 0;
  if (!stateChange) flags = SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | (wasVisible ? 0 : SWP_SHOWWINDOW);
  // Minimising names the window shown and its bits dropped; restoring and
  // maximising keep them for the frame to be redrawn around.
  else flags = SWP_FRAMECHANGED | SWP_STATECHANGED | (minimize ? SWP_SHOWWINDOW | SWP_NOCOPYBITS : 0) |
               (wasVisible ? 0 : SWP_SHOWWINDOW);
  if (!activate || !top) flags |= SWP_NOACTIVATE;
  SetWindowPos(hwnd, stateChange ? HWND_TOP : nullptr, target.Left, target.Top, target.Width(), target.Height(),
               flags);
  if (!Peek(hwnd)) return wasVisible;
  if (minimize && top) {
    FollowOwner(w, false);
    ActiveWindowHidden(w);
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
  HWND oldHandle = old->handle;
  bool wasTop = IsTopLevel(w);
  bool visible = (w->style & WS_VISIBLE) != 0;
  if (visible) ShowWindow(child, SW_HIDE);
  if (!Peek(child) || w->parent != old) return nullptr;
  auto& s = w->parent->children;
  s.erase(std::remove(s.begin(), s.end(), w), s.end());
  w->parent = p;
  p->children.insert(p->children.begin(), w);
  bool nowTop = IsTopLevel(w);
  if (wasTop && !nowTop) {
    if (w->surface) BackEnd().DestroySurface(w->surface);
    w->surface = 0;
    // The owner stays: a window made a child keeps it.
    for (Window* t : TopLevels())
      if (t->owner == w) t->owner = nullptr;
  } else if (!wasTop && nowTop) {
    NormalizeTopLevelOrder();
    SurfaceOptions so{w->style, w->exStyle, 0, (w->style & WS_POPUP) != 0};
    w->surface = BackEnd().CreateSurface(w->window, so);
    RestoreSurfaceLook(w);
  }
  // The same relative place under the new parent: the window moved. A child
  // hears WM_CHILDACTIVATE; a window made top-level is not activated by this.
  UINT flags = SWP_NOSIZE | (visible ? SWP_SHOWWINDOW : 0) | (nowTop ? SWP_NOACTIVATE : 0);
  PlaceWindow(child, HWND_TOP, w->window.Left, w->window.Top, 0, 0, flags, true);
  return oldHandle;
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
