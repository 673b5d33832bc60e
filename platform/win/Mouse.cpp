#include "platform/win/Mouse.h"

#include <cstdlib>
#include <utility>

#include "platform/rtl/Clock.h"
#include "platform/win/BackEnd.h"
#include "platform/win/Focus.h"
#include "platform/win/Hooks.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowData.h"

namespace win {
namespace detail {
namespace {

constexpr UINT kDefaultDoubleClickTime = 500;

struct LastClick {
  HWND hwnd = nullptr;
  LRESULT hit = HTNOWHERE;
  UINT type = 0;
  DWORD time = 0;
  POINT pt{};
};

struct MouseState {
  HWND capture = nullptr;
  POINT pos{};
  UINT doubleClickTime = kDefaultDoubleClickTime;
  LastClick last;
  // Every press taken, whoever got it, and the one before it.
  LastClick latest, previous;
  unsigned presses = 0;
  // A press whose double is taken (TakeDoublingPress), and the release
  // of a press taken so (0: none).
  LastClick doubled;
  UINT takenRelease = 0;
};

MouseState& S() {
  static MouseState s;
  return s;
}

bool InRange(UINT msg, UINT first, UINT last) { return (first == 0 && last == 0) || (msg >= first && msg <= last); }

bool IsDown(UINT t) { return t == WM_LBUTTONDOWN || t == WM_RBUTTONDOWN || t == WM_MBUTTONDOWN; }
bool IsUp(UINT t) { return t == WM_LBUTTONUP || t == WM_RBUTTONUP || t == WM_MBUTTONUP; }
int ButtonOf(UINT t) {
  switch (t) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: return VK_LBUTTON;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return VK_RBUTTON;
    default: return VK_MBUTTON;
  }
}

bool Doubles(const LastClick& second, const LastClick& first) {
  return second.type == first.type && second.time - first.time <= S().doubleClickTime &&
         std::abs(second.pt.X - first.pt.X) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
         std::abs(second.pt.Y - first.pt.Y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
}

// The class decides for its client area only: every frame hears double
// clicks. Both presses must land on the same part of the window.
bool IsDoubleClick(const MouseInput& in, Window* w, LRESULT hit) {
  const LastClick& l = S().last;
  if (hit == HTCLIENT && !(w->cls->style & CS_DBLCLKS)) return false;
  return l.hwnd == w->handle && l.hit == hit && Doubles({w->handle, hit, in.type, in.time, in.pt}, l);
}

}  // namespace

MouseInput AcceptMouse(UINT type, POINT screen, int delta) {
  MouseInput in{type, screen, delta, Clock::TickCount(), 0};
  S().pos = screen;
  if (IsDown(type)) SetButtonState(ButtonOf(type), true, true);
  if (IsUp(type)) SetButtonState(ButtonOf(type), false, true);
  in.keys = MouseKeyFlags(true);
  return in;
}

Route RouteMouse(const MouseInput& in, HWND filter, UINT first, UINT last, bool remove, MSG& out) {
  // The rest of a double click whose first press was all it took goes
  // nowhere; any other press ends the wait for it.
  if (IsDown(in.type) && S().doubled.type) {
    const LastClick first = std::exchange(S().doubled, LastClick{});
    if (Doubles({nullptr, HTNOWHERE, in.type, in.time, in.pt}, first)) {
      S().takenRelease = in.type + 1;  // WM_xBUTTONUP
      return Route::Drop;
    }
  }
  if (S().takenRelease && in.type == S().takenRelease) {
    S().takenRelease = 0;
    return Route::Drop;
  }
  Window* target = nullptr;
  LRESULT hit = HTCLIENT;
  if (in.type == WM_MOUSEWHEEL) {
    // The wheel turns what has the keyboard.
    target = Peek(GetFocus());
    if (!target) target = Peek(GetActiveWindow());
    if (!target) return Route::Drop;
  } else if (Window* c = Peek(S().capture)) {
    target = c;
  } else {
    std::vector<Window*> skip;
    for (int guard = 0; guard < 64; ++guard) {
      target = WindowAt(in.pt, skip);
      if (!target) return Route::Drop;
      HWND th = target->handle;
      hit = SendMessageA(th, WM_NCHITTEST, 0, MAKELPARAM(in.pt.X, in.pt.Y));
      if (!Peek(th)) return Route::Drop;
      if (hit != HTTRANSPARENT) break;
      skip.push_back(target);
      target = nullptr;
    }
    if (!target) return Route::Drop;
    if (!EnabledChain(target) || hit == HTERROR) return Route::Drop;
  }
  UINT msg = in.type;
  bool client = hit == HTCLIENT;
  bool dbl = IsDown(in.type) && IsDoubleClick(in, target, hit);
  if (dbl) msg += 2;  // WM_xBUTTONDBLCLK
  if (!client && in.type != WM_MOUSEWHEEL) msg = msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE;

  out = MSG{};
  out.hwnd = target->handle;
  out.message = msg;
  out.time = in.time;
  out.pt = in.pt;
  if (in.type == WM_MOUSEWHEEL) {
    out.wParam = MAKEWPARAM(static_cast<int>(in.keys), in.delta);
    out.lParam = MAKELPARAM(in.pt.X, in.pt.Y);
  } else if (client) {
    POINT o = ClientOrigin(target);
    out.wParam = in.keys;
    out.lParam = MAKELPARAM(in.pt.X - o.X, in.pt.Y - o.Y);
  } else {
    out.wParam = static_cast<WPARAM>(hit);
    out.lParam = MAKELPARAM(in.pt.X, in.pt.Y);
  }
  if (filter && filter != target->handle && !IsChild(filter, target->handle)) return Route::Skip;
  if (!InRange(msg, first, last)) return Route::Skip;
  if (!remove) return Route::Deliver;

  // Consumed: the handled-message state follows, then the hook, activation
  // and the cursor, in that order.
  if (IsDown(in.type)) SetButtonState(ButtonOf(in.type), true, false);
  if (IsUp(in.type)) SetButtonState(ButtonOf(in.type), false, false);
  if (IsDown(in.type)) {
    // A third click starts over rather than making another double click.
    if (dbl) S().last = LastClick{};
    else S().last = LastClick{target->handle, hit, in.type, in.time, in.pt};
    S().previous = S().latest;
    S().latest = LastClick{target->handle, hit, in.type, in.time, in.pt};
    ++S().presses;
  }
  HWND th = target->handle;
  MOUSEHOOKSTRUCT mh{in.pt, th, static_cast<UINT>(hit), 0};
  if (CallHooks(WH_MOUSE, HC_ACTION, msg, reinterpret_cast<LPARAM>(&mh))) return Route::Drop;
  if (!Peek(th)) return Route::Drop;
  if (IsDown(in.type) && !Peek(S().capture)) {
    Window* top = Root(target);
    if (GetActiveWindow() != top->handle && !(top->exStyle & WS_EX_NOACTIVATE)) {
      LRESULT ma = SendMessageA(th, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->handle), MAKELPARAM(static_cast<int>(hit), static_cast<int>(msg)));
      if (!Peek(th)) return Route::Drop;
      if (ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT) ActivateByClick(top);
      if (ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT) return Route::Drop;
      if (!Peek(th)) return Route::Drop;
    }
  }
  if (in.type != WM_MOUSEWHEEL && !Peek(S().capture)) {
    SendMessageA(th, WM_SETCURSOR, reinterpret_cast<WPARAM>(th), MAKELPARAM(static_cast<int>(hit), static_cast<int>(in.type)));
    if (!Peek(th)) return Route::Drop;
  }
  return Route::Deliver;
}

unsigned PressesTaken() { return S().presses; }

void TakeDoublingPress() { S().doubled = S().latest; }

bool LastPressDoubles(HWND hwnd, LRESULT hit, POINT& at) {
  const LastClick &first = S().previous, &second = S().latest;
  Window* w = Peek(hwnd);
  if (!w || first.hwnd != hwnd || first.hit != hit || !Doubles(second, first)) return false;
  if (SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(second.pt.X, second.pt.Y)) != hit) return false;
  at = second.pt;
  return true;
}

void MouseWindowDestroyed(HWND hwnd) {
  if (S().capture == hwnd) S().capture = nullptr;
  if (S().last.hwnd == hwnd) S().last = LastClick{};
}

void ResetMouse() { S() = MouseState{}; }

}  // namespace detail

using namespace detail;

HWND SetCapture(HWND hwnd) {
  HWND old = Peek(S().capture) ? S().capture : nullptr;
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  if (old == hwnd) return old;
  S().capture = hwnd;
  if (Window* top = Root(w); top->surface) BackEnd().GrabPointer(top->surface);
  if (old) SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

BOOL ReleaseCapture() {
  HWND old = Peek(S().capture) ? S().capture : nullptr;
  S().capture = nullptr;
  if (old) {
    BackEnd().UngrabPointer();
    SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
  }
  return TRUE;
}

HWND GetCapture() { return Peek(S().capture) ? S().capture : nullptr; }

BOOL GetCursorPos(LPPOINT pt) {
  if (!pt) return FALSE;
  *pt = S().pos;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  BackEnd().WarpPointer({x, y});
  PostInput(AcceptMouse(WM_MOUSEMOVE, {x, y}, 0));
  return TRUE;
}

UINT GetDoubleClickTime() { return S().doubleClickTime; }

BOOL SetDoubleClickTime(UINT ms) {
  S().doubleClickTime = ms ? ms : kDefaultDoubleClickTime;
  return TRUE;
}

}  // namespace win
