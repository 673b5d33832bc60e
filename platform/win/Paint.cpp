#include "platform/win/Paint.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Regions.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"

namespace win {
namespace detail {
namespace {

HWND lockedHandle = nullptr;

// The desktop's client coordinates are screen coordinates.
RECT ClientBounds(const Window* w) {
  return w == Desktop() ? w->client : RECT{0, 0, w->client.Width(), w->client.Height()};
}

bool NeedsPaint(const Window* w) { return !w->update.IsEmpty() || w->internalPaint || w->framePending; }

bool IncludesChildren(const Window* w, UINT flags) {
  // A minimised window shows none of its children.
  if (w->style & WS_MINIMIZE) return false;
  if (flags & RDW_ALLCHILDREN) return true;
  if (flags & RDW_NOCHILDREN) return false;
  return !(w->style & WS_CLIPCHILDREN);
}

// Is w, or a window it lies in, hidden by WM_SETREDRAW? Nothing is
// collected for it then (shown again by other means, it collects again).
bool RedrawOff(const Window* w) {
  for (; w; w = w->parent)
    if (w->noRedraw && !(w->style & WS_VISIBLE)) return true;
  return false;
}

// area: client coordinates of w, or null for all of it. frame: the
// non-client part is touched too.
void Mark(Window* w, const gdi::Region* area, UINT flags, bool frame) {
  if ((flags & RDW_INVALIDATE) && RedrawOff(w)) return;
  gdi::Region part(ClientBounds(w));
  if (area) gdi::Region::Combine(part, part, *area, RGN_AND);
  if (w == Desktop()) {
    // Nothing paints the desktop itself; only its children may collect.
  } else if (flags & RDW_INVALIDATE) {
    if (!part.IsEmpty()) {
      gdi::Region::Combine(w->update, w->update, part, RGN_OR);
      if (flags & RDW_ERASE) w->erasePending = true;
    }
    if (frame) w->framePending = true;
    if (flags & RDW_INTERNALPAINT) w->internalPaint = true;
  } else if (flags & RDW_VALIDATE) {
    if (area) gdi::Region::Combine(w->update, w->update, part, RGN_DIFF);
    else w->update.SetEmpty();
    if (!area || (flags & RDW_NOFRAME)) w->framePending = false;
    if (flags & RDW_NOERASE) w->erasePending = false;
    if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
    if (w->update.IsEmpty()) w->erasePending = false;
  }
  if (!IncludesChildren(w, flags)) return;
  // A child the invalid area reaches is drawn again there whole: its frame
  // and its background as well.
  const UINT childFlags = (flags & RDW_INVALIDATE) ? flags | RDW_ERASE : flags;
  const bool frameToo = (flags & RDW_INVALIDATE) != 0;
  for (Window* c : w->children) {
    if (!(c->style & WS_VISIBLE)) continue;
    if (!area) {
      Mark(c, nullptr, childFlags, frameToo);
      continue;
    }
    if (!area->Intersects(c->window)) continue;
    gdi::Region inChild = *area;
    inChild.Offset(-c->client.Left, -c->client.Top);
    Mark(c, &inChild, childFlags, frameToo);
  }
}

// The box of what a DC of the window may draw of a region (client
// coordinates): empty where none of it shows.
RECT VisibleBox(HWND h, const gdi::Region& area, HDC* keep) {
  HDC dc = GetDCEx(h, gdi::NewRegionHandle(area), DCX_INTERSECTRGN);
  RECT box{};
  if (dc && GetClipBox(dc, &box) == NULLREGION) box = RECT{};
  if (keep) *keep = dc;
  else ReleaseDC(h, dc);
  return box;
}

void EraseNow(Window* w) {
  HWND h = w->handle;
  if (w->framePending) {
    w->framePending = false;
    SendMessageA(h, WM_NCPAINT, 1, 0);
    if (!Peek(h)) return;
  }
  if (w->erasePending && !w->update.IsEmpty()) {
    w->erasePending = false;
    // Nothing is erased where nothing of it shows.
    HDC dc = nullptr;
    RECT box = VisibleBox(h, w->update, &dc);
    if (box.Left < box.Right) SendMessageA(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(h, dc);
  }
}

// Will a parent still to paint draw over the window (its painting covers
// its children where it lacks WS_CLIPCHILDREN)?
bool PaintedOver(const Window* w) {
  for (; w->parent && w->parent != Desktop(); w = w->parent) {
    const Window* p = w->parent;
    if (!(p->style & WS_CLIPCHILDREN) && p->update.Intersects(w->window)) return true;
  }
  return false;
}

void EraseTree(Window* w) {
  HWND h = w->handle;
  if (!Paintable(w) || PaintedOver(w)) return;
  if (w->erasePending || w->framePending) EraseNow(w);
  if (!(w = Peek(h)) || (w->style & WS_MINIMIZE)) return;
  std::vector<HWND> kids;
  for (Window* c : w->children)
    if (c->style & WS_VISIBLE) kids.push_back(c->handle);
  for (HWND k : kids)
    if (Window* c = Peek(k)) EraseTree(c);
}

void UpdateNow(Window* w, UINT flags) {
  HWND h = w->handle;
  if (Paintable(w)) {
    if ((flags & RDW_UPDATENOW) && NeedsPaint(w)) {
      // A child painted now is not to be painted over later by a parent
      // that draws across its children: that share of the parent is done.
      Window* p = w->parent;
      if (p && p != Desktop() && !(p->style & WS_CLIPCHILDREN) && (w->style & WS_CHILD)) {
        gdi::Region mine(w->window);
        gdi::Region::Combine(p->update, p->update, mine, RGN_DIFF);
        if (p->update.IsEmpty()) p->erasePending = false;
      }
      SendMessageA(h, WM_PAINT, 0, 0);
    } else if (flags & RDW_ERASENOW) {
      EraseNow(w);
    }
  }
  w = Peek(h);
  if (!w || !IncludesChildren(w, flags)) return;
  std::vector<HWND> kids;
  for (Window* c : w->children) kids.push_back(c->handle);
  for (HWND k : kids)
    if (Window* c = Peek(k)) UpdateNow(c, flags);
}

Window* Search(Window* w, HWND filter, bool inFilter) {
  bool in = inFilter || !filter || w->handle == filter;
  // A window still to be painted goes first: its children wait for it,
  // even when only they were asked for.
  if (w != Desktop() && NeedsPaint(w) && Paintable(w)) return in ? w : nullptr;
  if (!(w->style & WS_VISIBLE) || (w->style & WS_MINIMIZE)) return nullptr;
  for (Window* c : w->children)
    if (Window* found = Search(c, filter, in)) return found;
  return nullptr;
}

// A null window is the desktop, whose area is the screen; like any window
// clipping its children, it reaches the top-level windows only with
// RDW_ALLCHILDREN.
BOOL RedrawRegion(HWND hwnd, const gdi::Region* area, UINT flags) {
  Window* w = hwnd ? Find(hwnd) : Desktop();
  if (!w) return FALSE;
  if (flags & (RDW_INVALIDATE | RDW_VALIDATE)) {
    bool frame = (flags & RDW_FRAME) && (flags & RDW_INVALIDATE);
    Mark(w, area, flags, frame);
  }
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) UpdateNow(w, flags);
  return TRUE;
}

}  // namespace

bool Paintable(const Window* w) {
  Window* locked = Peek(lockedHandle);
  for (const Window* x = w; x; x = x->parent) {
    if (!(x->style & WS_VISIBLE) || x == locked) return false;
  }
  return true;
}

Window* LockedWindow() { return Peek(lockedHandle); }

Window* NextToPaint(HWND filter) { return Search(Desktop(), filter, false); }

// The default handling is the visibility bit alone: off clears WS_VISIBLE
// without hiding (no message, focus and place stay), so the window and its
// children neither paint nor collect nor take the mouse; on sets it, even
// on a window that was hidden, and repaints nothing: the caller invalidates
// what changed meanwhile. Controls that hide (a closed drop-down list)
// keep a flag of their own instead.
void SetRedraw(Window* w, bool on) {
  w->noRedraw = !on;
  if (on) w->style |= WS_VISIBLE;
  else w->style &= ~WS_VISIBLE;
}

void EraseTreeNow(Window* w) {
  if (w && w != Desktop()) EraseTree(w);
}

void PaintDispatched(HWND hwnd) {
  Window* w = Peek(hwnd);
  if (w && w->framePending && Paintable(w)) EraseNow(w);
}

void ResetPaint() { lockedHandle = nullptr; }

}  // namespace detail

using namespace detail;

BOOL RedrawWindow(HWND hwnd, LPCRECT rect, HRGN rgn, UINT flags) {
  if (rgn) {
    auto* r = gdi::LookupAs<gdi::RegionObject>(rgn);
    if (!r) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    return RedrawRegion(hwnd, &r->R, flags);
  }
  if (rect) {
    gdi::Region area(*rect);
    return RedrawRegion(hwnd, &area, flags);
  }
  return RedrawRegion(hwnd, nullptr, flags);
}

// Invalidating "no window" repaints every window on the screen, frames
// and backgrounds before the call returns.
constexpr UINT kInvalidateScreen = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ERASENOW | RDW_ALLCHILDREN;

BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase) {
  if (!hwnd) return RedrawWindow(nullptr, rect, nullptr, kInvalidateScreen);
  return RedrawWindow(hwnd, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
  if (!hwnd) return RedrawWindow(nullptr, nullptr, rgn, kInvalidateScreen);
  // Only InvalidateRect takes "nothing" for the whole window.
  if (!rgn) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return RedrawWindow(hwnd, nullptr, rgn, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hwnd, LPCRECT rect) {
  // "No window" is the screen, which has nothing to validate: every window
  // on it is drawn again instead, frames and backgrounds before the call
  // returns, as InvalidateRect of no window does.
  if (!hwnd) return RedrawWindow(nullptr, nullptr, nullptr, kInvalidateScreen);
  // Children share the parent's validation where they share its painting.
  return RedrawWindow(hwnd, rect, nullptr, RDW_VALIDATE);
}

BOOL ValidateRgn(HWND hwnd, HRGN rgn) {
  if (!hwnd) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  // Null is the whole client area; children share it as with ValidateRect.
  return RedrawWindow(hwnd, nullptr, rgn, RDW_VALIDATE);
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (erase && (w->erasePending || w->framePending) && Paintable(w)) EraseNow(w);
  if (!(w = Peek(hwnd))) return FALSE;
  if (rect) *rect = w->update.IsEmpty() ? RECT{} : w->update.Box();
  return !w->update.IsEmpty();
}

int GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
  Window* w = Find(hwnd);
  auto* r = gdi::LookupAs<gdi::RegionObject>(rgn);
  if (!w || !r) return ERROR;
  if (erase && (w->erasePending || w->framePending) && Paintable(w)) EraseNow(w);
  if (!(w = Peek(hwnd))) return ERROR;
  r->R = w->update;
  return r->R.Kind();
}

BOOL UpdateWindow(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (NeedsPaint(w) && Paintable(w)) SendMessageA(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  if (!ps) {
    // Nowhere to hand the DC: the painting is still done with, so
    // WM_PAINT does not come back for ever.
    PAINTSTRUCT local;
    if (BeginPaint(hwnd, &local)) EndPaint(hwnd, &local);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Pin pin(w);
  gdi::Region area;
  area.SetRect(ClientBounds(w));
  gdi::Region::Combine(area, area, w->update, RGN_AND);
  w->update.SetEmpty();
  w->internalPaint = false;
  bool frame = w->framePending, erase = w->erasePending;
  w->framePending = w->erasePending = false;
  if (frame) SendMessageA(hwnd, WM_NCPAINT, 1, 0);
  if (w->destroyed) return nullptr;
  *ps = PAINTSTRUCT{};
  // A CS_PARENTDC window has its parent's visible area, cut like any other
  // to what it has to paint. What it is to paint is what of that shows: a
  // child partly outside its parent paints only its part inside, and one
  // that shows nothing of it erases nothing.
  HDC dc = nullptr;
  ps->rcPaint = VisibleBox(hwnd, area, &dc);
  if (erase && ps->rcPaint.Left < ps->rcPaint.Right)
    ps->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
  ps->hdc = dc;
  return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  if (!ps) return FALSE;
  ReleaseDC(hwnd, ps->hdc);
  return TRUE;
}

BOOL LockWindowUpdate(HWND hwnd) {
  if (hwnd) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (Peek(lockedHandle) && lockedHandle != hwnd) return FALSE;
    lockedHandle = hwnd;
    return TRUE;
  }
  Window* was = Peek(lockedHandle);
  lockedHandle = nullptr;
  if (!was) return FALSE;
  RedrawWindow(was->handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return TRUE;
}

}  // namespace win
