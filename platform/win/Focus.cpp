#include "platform/win/Focus.h"

#include "platform/win/BackEnd.h"
#include "platform/win/Messages.h"
#include "platform/win/Minimized.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"

namespace win {
namespace detail {
namespace {

struct FocusState {
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND lastActive = nullptr;  // to give back when the process is activated again
  bool appActive = false;
};

FocusState& S() {
  static FocusState s;
  return s;
}

bool CanActivate(Window* w) {
  return w && IsTopLevel(w) && !w->destroying && !(w->exStyle & WS_EX_NOACTIVATE) && !(w->style & WS_DISABLED);
}

void SendActivateApp(bool active) {
  std::vector<HWND> tops;
  for (Window* t : TopLevels()) tops.push_back(t->handle);
  for (HWND h : tops)
    if (Peek(h)) SendMessageA(h, WM_ACTIVATEAPP, active, static_cast<LPARAM>(GetCurrentThreadId()));
}

// Deactivates the active window in favour of next (which may be null).
// Answers false when the active window refused to let go.
bool Deactivate(Window* next) {
  Window* old = Peek(S().active);
  if (!old) {
    S().active = nullptr;
    return true;
  }
  // The window may go while it hears that it is no longer active (a
  // drop-down closing itself): it is asked for by its handle from then on.
  const HWND oldHandle = old->handle;
  HWND nextHandle = next ? next->handle : nullptr;
  if (!SendMessageA(oldHandle, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(nextHandle)) && Peek(oldHandle) &&
      !old->destroying)
    return false;
  if (Peek(oldHandle))
    SendMessageA(oldHandle, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(oldHandle) ? 1 : 0),
                 reinterpret_cast<LPARAM>(nextHandle));
  if (Window* f = Peek(S().focus); f && Peek(oldHandle) && IsDescendant(f, old)) old->lastFocus = f->handle;
  if (S().active == oldHandle) S().active = nullptr;
  return true;
}

bool Activate(Window* top, int how) {
  if (top && S().active == top->handle) return true;
  if (top && !CanActivate(top)) return false;
  Window* old = Peek(S().active);
  HWND oldHandle = old ? old->handle : nullptr;
  // The window losing the activation may take the one gaining it along
  // (or disable it) while it hears of the change.
  const HWND h = top ? top->handle : nullptr;
  if (!Deactivate(top)) return false;
  if (h && (!Peek(h) || !CanActivate(top))) return false;
  if (!top) {
    // No window of ours takes over: the process itself is no longer active.
    if (S().appActive) {
      S().appActive = false;
      SendActivateApp(false);
    }
    if (S().focus) SetFocus(nullptr);
    return true;
  }
  S().active = h;
  S().lastActive = h;
  if (!S().appActive) {
    S().appActive = true;
    SendActivateApp(true);
    if (!Peek(h)) return false;
  }
  auto& s = Desktop()->children;
  if (!s.empty() && s.front() != top && (top->style & WS_VISIBLE))
    SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (Peek(h)) SendMessageA(h, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(oldHandle));
  if (Peek(h))
    SendMessageA(h, WM_ACTIVATE, MAKEWPARAM(how, IsIconic(h) ? 1 : 0), reinterpret_cast<LPARAM>(oldHandle));
  if (Peek(h) && top->surface) BackEnd().RequestActivation(top->surface);
  // The focus may not stay in a window that is no longer active.
  Window* f = Peek(S().focus);
  if (f && S().active == h && Peek(h) && !IsDescendant(f, top)) SetFocus(nullptr);
  return S().active == h;
}

// Picks who becomes active when w goes away or out of sight: its owner or
// else the frontmost window that is open. With none, a minimised window
// the window system shows as its caption holds the keyboard (it hears
// keys as system keys), w itself when it has just become one; only
// without such a window is the process no longer active.
void ActivateOther(Window* w) {
  auto eligible = [w](Window* t, bool icon) {
    if (!t || !CanActivate(t) || !(t->style & WS_VISIBLE)) return false;
    if (icon) return ShownAsIcon(t);
    return t != w && !(t->style & WS_MINIMIZE) && !IsDescendant(t, w);
  };
  Window* next = nullptr;
  for (bool icon : {false, true}) {
    next = eligible(w->owner, icon) ? w->owner : nullptr;
    for (Window* t : TopLevels())
      if (!next && eligible(t, icon)) next = t;
    if (next) break;
  }
  Activate(next, WA_ACTIVE);
}

}  // namespace

bool ActivateByClick(Window* top) { return Activate(top, WA_CLICKACTIVE); }

void AppActivation(bool active, Window* preferred) {
  if (active == S().appActive) return;
  if (!active) {
    HWND last = S().active;
    Deactivate(nullptr);
    S().active = nullptr;
    S().appActive = false;
    SendActivateApp(false);
    if (Peek(S().focus)) {
      HWND f = S().focus;
      S().focus = nullptr;
      SendMessageA(f, WM_KILLFOCUS, 0, 0);
    }
    S().lastActive = last;
  } else {
    Window* last = Peek(S().lastActive);
    if (preferred && CanActivate(preferred) && (preferred->style & WS_VISIBLE)) {
      Activate(preferred, WA_ACTIVE);
    } else if (last && CanActivate(last)) {
      Activate(last, WA_ACTIVE);
    } else {
      S().appActive = true;
      SendActivateApp(true);
    }
  }
}

void SurfaceActivation(Window* top) {
  if (!S().appActive) {
    AppActivation(true, top);
    return;
  }
  // A window that may not be active (disabled under a modal dialog) leaves
  // the active one as it is.
  if (top && CanActivate(top) && (top->style & WS_VISIBLE)) Activate(top, WA_ACTIVE);
}

bool AppActive() { return S().appActive; }

void CaptureWindowLeaving(Window* w) {
  if (Window* c = Peek(GetCapture()); c && IsDescendant(c, w)) ReleaseCapture();
}

void FocusWindowLeaving(Window* w) {
  if (Window* f = Peek(S().focus); f && IsDescendant(f, w)) {
    Window* p = w->parent;
    if (!IsTopLevel(w) && p && !p->destroying && EnabledChain(p)) SetFocus(p->handle);
    else SetFocus(nullptr);
  }
  if (Window* a = Peek(S().active); a && IsDescendant(a, w)) ActivateOther(w);
  if (S().lastActive == w->handle) S().lastActive = nullptr;
}

// Only the focus window itself hands the focus to its parent: a focus
// deeper inside a hidden child stays where it is.
void FocusWindowHidden(Window* w) {
  if (Peek(S().focus) == w && !IsTopLevel(w)) {
    Window* p = w->parent;
    SetFocus(p && EnabledChain(p) && !p->destroying ? p->handle : nullptr);
  }
}

void ActiveWindowHidden(Window* w) {
  if (Window* a = Peek(S().active); a && a == w) ActivateOther(w);
}

void ResetFocus() { S() = FocusState{}; }

}  // namespace detail

using namespace detail;

HWND SetFocus(HWND hwnd) {
  FocusState& s = S();
  HWND old = Peek(s.focus) ? s.focus : nullptr;
  if (!hwnd) {
    if (old) {
      s.focus = nullptr;
      SendMessageA(old, WM_KILLFOCUS, 0, 0);
    }
    s.focus = Peek(s.focus) ? s.focus : nullptr;
    return old;
  }
  Window* w = Find(hwnd);
  if (!w || w == Desktop() || w->destroying || !EnabledChain(w)) return nullptr;
  if (s.focus == hwnd) return hwnd;
  Window* top = Root(w);
  if (s.active != top->handle) {
    if (!Activate(top, WA_ACTIVE)) return nullptr;
    if (!Peek(hwnd) || w->destroying || !EnabledChain(w)) return nullptr;
    if (s.focus == hwnd) return old;
  }
  old = Peek(s.focus) ? s.focus : nullptr;
  if (old) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (!Peek(hwnd) || w->destroying || !EnabledChain(w) || s.active != top->handle) return old;
  s.focus = hwnd;
  SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() { return Peek(S().focus) ? S().focus : nullptr; }

HWND SetActiveWindow(HWND hwnd) {
  HWND old = GetActiveWindow();
  if (!hwnd) {
    Activate(nullptr, WA_ACTIVE);
    return old;
  }
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  Window* top = Root(w);
  if (!Activate(top, WA_ACTIVE)) return nullptr;
  return old;
}

HWND GetActiveWindow() { return Peek(S().active) ? S().active : nullptr; }

BOOL SetForegroundWindow(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  return Activate(Root(w), WA_ACTIVE);
}

HWND GetForegroundWindow() { return S().appActive ? GetActiveWindow() : nullptr; }

}  // namespace win
