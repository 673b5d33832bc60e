#include "platform/win/WindowPos.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/gdi/Regions.h"
#include "platform/win/BackEnd.h"
#include "platform/win/Focus.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/Minimized.h"
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
  const std::deque<Window*> before = s;
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

// Invalidates an area of a window's tree given in its root's window
// coordinates, with the frame where the area reaches it.
void InvalidateRootArea(Window* w, gdi::Region area) {
  if (area.IsEmpty()) return;
  RECT root = ScreenWindowRect(Root(w)), client = ScreenClientRect(w);
  gdi::Region clientPart(
      RECT{client.Left - root.Left, client.Top - root.Top, client.Right - root.Left, client.Bottom - root.Top});
  gdi::Region ring = area;
  gdi::Region::Combine(ring, ring, clientPart, RGN_DIFF);
  area.Offset(root.Left - client.Left, root.Top - client.Top);
  HRGN rgn = gdi::NewRegionHandle(area);
  RedrawWindow(w->handle, nullptr, rgn, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | (ring.IsEmpty() ? 0 : RDW_FRAME));
  DeleteObject(rgn);
}

IBackEnd::ShowState SurfaceState(const Window* w) {
  return (w->style & WS_MINIMIZE)   ? IBackEnd::ShowState::Minimized
         : (w->style & WS_MAXIMIZE) ? IBackEnd::ShowState::Maximized
                                    : IBackEnd::ShowState::Normal;
}

void SyncSurface(Window* w, bool moved, bool shown, bool hidden, bool activate) {
  if (!w->surface || !IsTopLevel(w)) return;
  IBackEnd& be = BackEnd();
  be.SetSurfaceState(w->surface, SurfaceState(w));
  if (moved) be.MoveSurface(w->surface, w->window);
  if (shown) be.ShowSurface(w->surface, true, activate);
  if (hidden) be.ShowSurface(w->surface, false, false);
}

// A frame the display draws is one it sizes itself: it is told the limits
// the window gives. Only then are they asked for, so elsewhere a window
// hears nothing new.
void TellSurfaceLimits(Window* w) {
  if (!w->surface || !HasSizingLimits(w->style) || !BackEnd().Decorated(w->surface)) return;
  const HWND hwnd = w->handle;
  MINMAXINFO mm = QueryMinMaxInfo(w);
  // Limits past the screen are not the window's: it is held to the screen.
  KeepToScreenSize(mm.ptMinTrackSize.X, mm.ptMinTrackSize.Y);
  KeepToScreenSize(mm.ptMaxTrackSize.X, mm.ptMaxTrackSize.Y);
  if (Peek(hwnd) && w->surface) BackEnd().SetSurfaceLimits(w->surface, mm.ptMinTrackSize, mm.ptMaxTrackSize);
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

gdi::Region CoverInParent(const Window* w, const RECT& at) {
  gdi::Region cover(at);
  if (w->hasRegion) {
    gdi::Region shape = w->region;
    shape.Offset(at.Left, at.Top);
    gdi::Region::Combine(cover, cover, shape, RGN_AND);
  }
  return cover;
}

void InvalidateInParent(Window* w, const gdi::Region& covered) {
  if (!w->parent || w->parent == Desktop()) return;
  gdi::Region uncovered = covered;
  if (w->style & WS_VISIBLE) {
    gdi::Region now = CoverInParent(w, w->window);
    gdi::Region::Combine(uncovered, uncovered, now, RGN_DIFF);
  }
  if (uncovered.IsEmpty()) return;
  HRGN rgn = gdi::NewRegionHandle(uncovered);
  RedrawWindow(w->parent->handle, nullptr, rgn, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  DeleteObject(rgn);
}

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

RECT MaximizedPlace(const MINMAXINFO& mm) {
  return Bounds(mm.ptMaxPosition.X, mm.ptMaxPosition.Y, mm.ptMaxSize.X, mm.ptMaxSize.Y);
}

bool HasSizingLimits(DWORD style) { return (style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD)); }

MINMAXINFO QueryMinMaxInfo(Window* w) {
  MINMAXINFO mm{};
  // Maximized, the frame lies just outside the work area, or for a child
  // just outside its parent's client area.
  const bool top = IsTopLevel(w) || !w->parent;
  const RECT area = top ? PrimaryWorkArea() : RECT{0, 0, w->parent->client.Width(), w->parent->client.Height()};
  RECT in = FrameInsets(w->style & ~(WS_VSCROLL | WS_HSCROLL), w->exStyle, false);
  int fx = std::min(in.Left, in.Right), fy = std::min(in.Top, in.Bottom);
  mm.ptMaxPosition = {area.Left - fx, area.Top - fy};
  mm.ptMaxSize = {area.Width() + 2 * fx, area.Height() + 2 * fy};
  mm.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mm.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  SendMessageA(w->handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
  return mm;
}

// A top-level window keeps its pixels, and the back end its surface, at
// the window's whole size: one larger than the screen would take memory
// for pixels nobody can see (32767 pixels square are 4 GB). However it is
// asked (a caller, a stored layout, a handler's answer, limits larger than
// the screen), it is no larger than the system's largest tracking size,
// the virtual screen with a sizing frame on each side.
void KeepToScreenSize(int& cx, int& cy) {
  cx = std::min(cx, std::max(GetSystemMetrics(SM_CXMAXTRACK), 0));
  cy = std::min(cy, std::max(GetSystemMetrics(SM_CYMAXTRACK), 0));
}

void NormalizeTopLevelOrder() {
  auto& s = Desktop()->children;
  std::stable_partition(s.begin(), s.end(), [](Window* w) { return (w->exStyle & WS_EX_TOPMOST) != 0; });
  // Each owned window found behind its owner moves to just in front of it,
  // those of one owner in the order they had, each with the windows moved
  // in front of itself. A window moved forward may leave windows it owns
  // behind it: passes repeat until none is (as many as the longest chain
  // of owners, which is short). Every pass looks at each window once.
  std::unordered_map<const Window*, std::vector<Window*>> inFront;
  std::deque<Window*> order;
  std::vector<std::pair<Window*, std::size_t>> pending;
  for (;;) {
    for (std::size_t i = 0; i < s.size(); ++i) s[i]->zPlace = i;
    auto behindOwner = [&](std::size_t i) {
      const Window* o = s[i]->owner;
      return o && IsTopLevel(o) && o->zPlace < i;
    };
    inFront.clear();
    for (std::size_t i = 0; i < s.size(); ++i)
      if (behindOwner(i)) inFront[s[i]->owner].push_back(s[i]);
    if (inFront.empty()) return;
    order.clear();
    for (std::size_t i = 0; i < s.size(); ++i) {
      if (behindOwner(i)) continue;
      // The window, preceded by those moved in front of it (and theirs).
      pending.push_back({s[i], 0});
      while (!pending.empty()) {
        Window* w = pending.back().first;
        auto it = inFront.find(w);
        if (it != inFront.end() && pending.back().second < it->second.size()) {
          Window* next = it->second[pending.back().second++];
          pending.push_back({next, 0});
          continue;
        }
        order.push_back(w);
        pending.pop_back();
      }
    }
    s.swap(order);
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
  x = ClampCoordinate(x);
  y = ClampCoordinate(y);
  cx = ClampCoordinate(cx);
  cy = ClampCoordinate(cy);
  if (flags & SWP_NOMOVE) {
    x = w->window.Left;
    y = w->window.Top;
  }
  if (flags & SWP_NOSIZE) {
    cx = w->window.Width();
    cy = w->window.Height();
  }
  const bool top = IsTopLevel(w);
  if (top && !(flags & SWP_NOSIZE)) KeepToScreenSize(cx, cy);
  bool visible = (w->style & WS_VISIBLE) != 0;
  // What the caller asked, before the flags are made to say what happens:
  // it decides what is erased before the call returns.
  const UINT asked = flags;
  if ((flags & SWP_SHOWWINDOW) && visible) flags &= ~SWP_SHOWWINDOW;
  if ((flags & SWP_HIDEWINDOW) && !visible) flags &= ~SWP_HIDEWINDOW;
  if (x == w->window.Left && y == w->window.Top && !parentChanged) flags |= SWP_NOMOVE;
  if (cx == w->window.Width() && cy == w->window.Height()) flags |= SWP_NOSIZE;
  // A top-level window placed to be activated goes to the front, hidden or
  // not (a topmost request keeps its own place).
  if (top && !(flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) &&
      ((flags & SWP_NOZORDER) || (insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST))) {
    flags &= ~SWP_NOZORDER;
    insertAfter = HWND_TOP;
  }
  // Raising the front window changes nothing, though the window hears the
  // request as it was made.
  bool alreadyFront = false;
  if (!(flags & SWP_NOZORDER) && w->parent) {
    auto& s = w->parent->children;
    alreadyFront = !s.empty() && s.front() == w && insertAfter == HWND_TOP;
  }
  const bool activate = top && !(flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) && GetActiveWindow() != hwnd;
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
    // The handler's answer is held to the range the caller's was.
    wp.x = ClampCoordinate(wp.x);
    wp.y = ClampCoordinate(wp.y);
    wp.cx = std::max(ClampCoordinate(wp.cx), 0);
    wp.cy = std::max(ClampCoordinate(wp.cy), 0);
    if (top && !(wp.flags & SWP_NOSIZE)) KeepToScreenSize(wp.cx, wp.cy);
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
  const gdi::Region oldCover = CoverInParent(w, w->window);
  // A change of z-order among children that clip their siblings shows
  // each what comes out from under a window now behind it: what each
  // shows is kept to compare (the window itself when it stays in place).
  std::vector<std::pair<HWND, gdi::Region>> stacked;
  if (!(f & (SWP_NOZORDER | SWP_NOREDRAW)) && !top && visible && Paintable(w->parent)) {
    for (Window* sib : w->parent->children) {
      if (!(sib->style & WS_VISIBLE) || !(sib->style & WS_CLIPSIBLINGS) || (sib == w && !(f & SWP_NOMOVE))) continue;
      stacked.emplace_back(sib->handle, gdi::Region());
      VisibleTreeInRoot(sib, stacked.back().second);
    }
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
    w->client = ClampClientArea(p.rgrc[0]);
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
  if (top && (showing || (f & SWP_FRAMECHANGED))) {
    TellSurfaceLimits(w);
    if (!Peek(hwnd)) return FALSE;
  }
  FollowWindowDCs();

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
    InvalidateRootArea(w, fresh);
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
    const bool framed = (f & SWP_FRAMECHANGED) != 0;
    const bool whole = framed || (wider && (cls & CS_HREDRAW)) || (taller && (cls & CS_VREDRAW));
    // A child that moves without its pixels is drawn again where it lands.
    const bool movedWithout = childMoved && !copyBits && (whole || !(f & SWP_NOMOVE) || (f & SWP_NOCOPYBITS));
    if (showing || ((w->style & WS_VISIBLE) && movedWithout)) {
      InvalidateTree(w);
    } else if (copyBits) {
      // Done above.
    } else if ((w->style & WS_VISIBLE) && whole) {
      // A new frame is drawn with all that lies inside it, children too.
      RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | (framed ? RDW_ALLCHILDREN : 0));
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
    if ((f & SWP_HIDEWINDOW) || (nowVisible && placed)) InvalidateInParent(w, oldCover);
    // A parent that paints over its children paints where one appears too;
    // one that moves or grows covers what it covers and draws itself.
    if (nowVisible && showing && !IsTopLevel(w) && !(w->parent->style & WS_CLIPCHILDREN))
      RedrawWindow(w->parent->handle, &w->window, nullptr, RDW_INVALIDATE | RDW_ERASE);
    for (auto& [h, before] : stacked) {
      Window* sib = Peek(h);
      if (!sib || !(sib->style & WS_VISIBLE)) continue;
      gdi::Region after;
      VisibleTreeInRoot(sib, after);
      gdi::Region::Combine(after, after, before, RGN_DIFF);
      InvalidateRootArea(sib, after);
    }
  }

  // Activation happens inside the call, before the window hears that it
  // moved: a window just shown or raised is active (and has the focus)
  // when WM_WINDOWPOSCHANGED arrives. Hiding changes neither activation
  // nor focus here; ShowWindow hands them on afterwards.
  if (!(f & SWP_HIDEWINDOW)) {
    if (activate) SetActiveWindow(hwnd);
    else if (!(f & SWP_NOACTIVATE) && (w->style & (WS_CHILD | WS_POPUP)) == WS_CHILD)
      SendMessageA(hwnd, WM_CHILDACTIVATE, 0, 0);
  }
  if (!Peek(hwnd)) return TRUE;
  // Then the frames and backgrounds due are drawn, unless the caller
  // defers that to the painting: where a window was hidden, moved, sized,
  // restacked or reframed, its parent's (a top-level window's own); a
  // window shown (or shown in a new state) itself.
  if (!(asked & SWP_DEFERERASE)) {
    constexpr UINT kStill = SWP_NOMOVE | SWP_NOSIZE | SWP_NOCLIENTMOVE | SWP_NOCLIENTSIZE | SWP_NOZORDER;
    const bool changed = (f & kStill) != kStill || (f & SWP_FRAMECHANGED);
    if ((asked & SWP_HIDEWINDOW) || (!(asked & SWP_SHOWWINDOW) && changed))
      EraseTreeNow(top ? w : w->parent);
    else if (asked & SWP_SHOWWINDOW)
      EraseTreeNow(w);
  }
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

void SystemCommandHandled(HWND hwnd, WPARAM command) {
  const WPARAM c = command & 0xFFF0;
  if (c != SC_MINIMIZE && c != SC_MAXIMIZE && c != SC_RESTORE) return;
  Window* w = Peek(hwnd);
  if (w && w->surface && IsTopLevel(w)) BackEnd().SurfaceStateAnswered(w->surface, SurfaceState(w));
}

void SurfaceReframed(Window* w) {
  if (!w->surface || !IsTopLevel(w)) return;
  const HWND hwnd = w->handle;
  RECT target = w->window;
  if (w->style & WS_MINIMIZE) {
    target = MinimizedPlace(w);
  } else if (w->style & WS_MAXIMIZE) {
    const MINMAXINFO mm = QueryMinMaxInfo(w);
    if (!(w = Peek(hwnd))) return;
    target = MaximizedPlace(mm);
  }
  if (target == w->window) {
    BackEnd().SetSurfaceState(w->surface, SurfaceState(w));
  } else {
    // The move tells the display the state with the place.
    SetWindowPos(hwnd, nullptr, target.Left, target.Top, target.Width(), target.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (!(w = Peek(hwnd)) || !w->surface) return;
  }
  TellSurfaceLimits(w);
  if ((w = Peek(hwnd)) && w->backing) w->backing->presentAll = true;
}

bool EnterShowState(Window* w, ShowState state, RECT& target, UINT& flags) {
  HWND hwnd = w->handle;
  const DWORD was = w->style;
  const bool normal = !(was & (WS_MINIMIZE | WS_MAXIMIZE));
  // Leaving the minimised state, the window's old pixels are of no use.
  if ((was & WS_MINIMIZE) && state != ShowState::Minimized) flags |= SWP_NOCOPYBITS;
  if (state == ShowState::Restored && (was & WS_MINIMIZE) && w->restoreMaximized) state = ShowState::Maximized;
  switch (state) {
    case ShowState::Minimized:
      if (!(was & WS_MINIMIZE)) w->restoreMaximized = (was & WS_MAXIMIZE) != 0;
      // A window minimised with the focus in it gives it up first: a child
      // to its parent, a top-level window to nobody, keeping the child that
      // had it for when it opens.
      if (Window* f = Peek(GetFocus()); f && IsDescendant(f, w)) {
        const bool child = (w->style & WS_CHILD) && !IsTopLevel(w);
        if (!child && f != w) w->lastFocus = f->handle;
        SetFocus(child ? w->parent->handle : nullptr);
        if (!Peek(hwnd)) return false;
      }
      if (normal) w->restore = w->window;
      w->style = (w->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
      target = MinimizedPlace(w);
      flags |= SWP_NOCOPYBITS;
      break;
    case ShowState::Maximized: {
      // The limits are asked for while the window is still in its old state.
      MINMAXINFO mm = QueryMinMaxInfo(w);
      if (!Peek(hwnd)) return false;
      if (normal) w->restore = w->window;
      w->style = (w->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
      target = MaximizedPlace(mm);
      break;
    }
    case ShowState::Restored:
      w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
      target = w->restore;
      break;
  }
  if ((was & (WS_MINIMIZE | WS_MAXIMIZE)) != (w->style & (WS_MINIMIZE | WS_MAXIMIZE))) flags |= SWP_STATECHANGED;
  return true;
}

}  // namespace detail

BOOL ShowWindow(HWND hwnd, int cmd) {
  Window* w = Find(hwnd);
  if (!w || w == Desktop()) return FALSE;
  const BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
  const DWORD oldStyle = w->style;
  const bool top = IsTopLevel(w);
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

  // What the command asks: a state (minimised, maximised, restored), or
  // only to be shown as the window is.
  std::optional<ShowState> state;
  UINT flags = 0;
  bool activate = false;
  switch (cmd) {
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: flags |= SWP_NOACTIVATE | SWP_NOZORDER; [[fallthrough]];
    case SW_SHOWMINIMIZED:
      if ((oldStyle & WS_MINIMIZE) && wasVisible) return wasVisible;
      flags |= SWP_SHOWWINDOW | SWP_FRAMECHANGED;
      state = ShowState::Minimized;
      break;
    case SW_SHOWMAXIMIZED:
      if ((oldStyle & WS_MAXIMIZE) && wasVisible) return wasVisible;
      flags |= SWP_SHOWWINDOW | SWP_FRAMECHANGED;
      state = ShowState::Maximized;
      break;
    case SW_SHOWNOACTIVATE: flags |= SWP_NOACTIVATE | SWP_NOZORDER; [[fallthrough]];
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
      if (oldStyle & (WS_MINIMIZE | WS_MAXIMIZE)) {
        flags |= SWP_SHOWWINDOW | SWP_FRAMECHANGED;
        state = ShowState::Restored;
      } else {
        if (wasVisible) return wasVisible;
        activate = cmd != SW_SHOWNOACTIVATE;
      }
      break;
    case SW_SHOW: activate = true; break;
    case SW_SHOWNA: break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return wasVisible;
  }

  RECT target = w->window;
  bool opened = false;  // out of the minimised state
  if (state) {
    // A minimised window asked to open may refuse: then it is only shown
    // (and activated, as the command says).
    const bool opening = (oldStyle & WS_MINIMIZE) && *state != ShowState::Minimized;
    if (opening && !SendMessageA(hwnd, WM_QUERYOPEN, 0, 0)) {
      if (!Peek(hwnd)) return wasVisible;
      flags |= SWP_NOMOVE | SWP_NOSIZE;
    } else {
      if (!Peek(hwnd) || !EnterShowState(w, *state, target, flags)) return wasVisible;
      opened = opening;
    }
    // A child restored is not activated, unless its state changed.
    if (*state == ShowState::Restored && (w->style & WS_CHILD) && !(flags & SWP_STATECHANGED))
      flags |= SWP_NOACTIVATE | SWP_NOZORDER;
  } else {
    flags = SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | (activate && top ? 0 : SWP_NOACTIVATE);
  }
  const bool stateChanged = (flags & SWP_STATECHANGED) != 0;
  // WM_SHOWWINDOW tells of a window appearing as it is; a change of state
  // says so itself, and so does maximising. SW_SHOWNA tells it even to a
  // window already visible.
  if ((!wasVisible || cmd == SW_SHOWNA) && cmd != SW_SHOWMAXIMIZED && !stateChanged) {
    SendMessageA(hwnd, WM_SHOWWINDOW, TRUE, 0);
    if (!Peek(hwnd)) return wasVisible;
  }
  if (unseen && !stateChanged) {
    w->style |= WS_VISIBLE;
    return wasVisible;
  }
  SetWindowPos(hwnd, HWND_TOP, target.Left, target.Top, target.Width(), target.Height(), flags);
  if (!Peek(hwnd)) return wasVisible;

  const bool minimized = (w->style & WS_MINIMIZE) != 0, wasMinimized = (oldStyle & WS_MINIMIZE) != 0;
  if (top && minimized != wasMinimized) FollowOwner(w, !minimized);
  // Only SW_MINIMIZE hands the activation on; the other minimising
  // commands leave it (SW_SHOWMINIMIZED has just activated the window).
  if (top && cmd == SW_MINIMIZE) ActiveWindowHidden(w);
  if (!Peek(hwnd)) return wasVisible;
  // An overlapped window hears its size and place when it is first shown.
  if (w->needSize) {
    w->needSize = false;
    const WPARAM kind = minimized ? SIZE_MINIMIZED : (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
    SendMessageA(hwnd, WM_SIZE, kind, minimized ? 0 : MAKELPARAM(w->client.Width(), w->client.Height()));
    if (!Peek(hwnd)) return wasVisible;
    SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(w->client.Left, w->client.Top));
    if (!Peek(hwnd)) return wasVisible;
  }
  // A window opened from the minimised state to be active takes the focus,
  // and a top-level one hears WM_ACTIVATE once more, active before or not,
  // so it can hand the focus on to the child that had it.
  if (opened && !(flags & SWP_NOACTIVATE)) {
    Window* f = Peek(GetFocus());
    if (f && f != w && IsDescendant(f, w)) w->lastFocus = f->handle;
    SetFocus(hwnd);
    if (Peek(hwnd) && top) SendMessageA(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
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
  // A window can never become its own ancestor, nor join a tree on its way out.
  auto takes = [&](Window* p) {
    if (!p) return false;
    if (IsDescendant(p, w) || p->destroying) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return false;
    }
    return true;
  };
  Window* p = newParent ? Find(newParent) : Desktop();
  if (!takes(p)) return nullptr;
  Window* old = w->parent;
  if (old == p) return old->handle;
  HWND oldHandle = old->handle;
  bool wasTop = IsTopLevel(w);
  bool visible = (w->style & WS_VISIBLE) != 0;
  if (visible) ShowWindow(child, SW_HIDE);
  if (!Peek(child) || w->parent != old) return nullptr;
  // Hiding ran the window's handlers: the new parent is asked again.
  if (visible && !takes(p = newParent ? Find(newParent) : Desktop())) return nullptr;
  auto& s = w->parent->children;
  s.erase(std::remove(s.begin(), s.end(), w), s.end());
  w->parent = p;
  p->children.insert(p->children.begin(), w);
  bool nowTop = IsTopLevel(w);
  // A child made top-level takes a surface of its own, no larger than the
  // screen can show: it hears the new size with the move.
  int cx = w->window.Width(), cy = w->window.Height();
  if (nowTop) KeepToScreenSize(cx, cy);
  const bool resized = cx != w->window.Width() || cy != w->window.Height();
  if (wasTop && !nowTop) {
    if (w->surface) BackEnd().DestroySurface(w->surface);
    w->surface = 0;
    // The owner stays: a window made a child keeps it.
    if (w->owns)
      for (Window* t : TopLevels())
        if (t->owner == w) SetOwner(t, nullptr);
  } else if (!wasTop && nowTop) {
    NormalizeTopLevelOrder();
    SurfaceOptions so{w->style, w->exStyle, 0, (w->style & WS_POPUP) != 0};
    w->surface = BackEnd().CreateSurface(Bounds(w->window.Left, w->window.Top, cx, cy), so);
    SyncSurfaceOwner(w);  // a child made top-level keeps its owner
    RestoreSurfaceLook(w);
  }
  // The same relative place under the new parent: the window moved. A child
  // hears WM_CHILDACTIVATE; a window made top-level is not activated by this.
  UINT flags = (resized ? 0 : SWP_NOSIZE) | (visible ? SWP_SHOWWINDOW : 0) | (nowTop ? SWP_NOACTIVATE : 0);
  PlaceWindow(child, HWND_TOP, w->window.Left, w->window.Top, cx, cy, flags, true);
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
