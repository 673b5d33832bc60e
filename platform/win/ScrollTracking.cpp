// The mouse on a standard scroll bar. Pressing an arrow or the shaft
// scrolls once at once and then repeats while the button stays down over
// that part (the page part stops once the thumb reaches the pointer);
// dragging the thumb reports each new track position. The bar holds the
// mouse in a loop of its own, so the window hears WM_VSCROLL/WM_HSCROLL
// but none of the mouse messages that drive them, and ends with
// SB_ENDSCROLL. A "SCROLLBAR" control tells its parent instead, passing its
// own handle.
#include "platform/win/Messages.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/ScrollBars.h"
#include "platform/win/Timers.h"
#include "platform/win/WindowData.h"

namespace win::detail {
namespace {

// Held parts repeat after this long, then at the faster rate.
constexpr UINT kRepeatDelayMs = 400;
constexpr UINT kRepeatRateMs = 100;

void NoOp(HWND, UINT, UINT_PTR, DWORD) {}

int CodeOf(int part) {
  switch (part) {
    case kPartLineUp: return SB_LINEUP;
    case kPartPageUp: return SB_PAGEUP;
    case kPartPageDown: return SB_PAGEDOWN;
    case kPartLineDown: return SB_LINEDOWN;
    default: return SB_ENDSCROLL;
  }
}

bool ArrowDisabled(const ScrollBarData& d, int part) {
  return (part == kPartLineUp && (d.arrowsDisabled & ESB_DISABLE_LTUP)) ||
         (part == kPartLineDown && (d.arrowsDisabled & ESB_DISABLE_RTDN));
}

// A client point of the capture window in its window coordinates.
POINT ClientToWindowPoint(const Window* w, LPARAM lParam) {
  return {GET_X_LPARAM(lParam) + w->client.Left - w->window.Left, GET_Y_LPARAM(lParam) + w->client.Top - w->window.Top};
}

}  // namespace

void TrackScrollBar(HWND hwnd, int bar, POINT screen) {
  Window* w = Find(hwnd);
  BarLayout l;
  if (!w || !LayoutOf(w, bar, l) || !l.enabled) return;
  POINT origin = WindowOrigin(w);
  POINT at{screen.X - origin.X, screen.Y - origin.Y};
  int part = PartAt(l, at);
  ScrollBarData& d = *BarData(w, bar);
  if (part == kPartNone || ArrowDisabled(d, part)) return;
  const bool vertical = l.vertical;
  UINT msg = vertical ? WM_VSCROLL : WM_HSCROLL;
  HWND target = hwnd;
  LPARAM from = 0;
  if (bar == SB_CTL) {
    target = w->parent && w->parent != Desktop() ? w->parent->handle : w->owner ? w->owner->handle : nullptr;
    from = reinterpret_cast<LPARAM>(hwnd);
  }
  auto send = [&](int code, int pos) {
    if (target) SendMessageA(target, msg, MAKEWPARAM(code, pos), from);
  };
  auto along = [&](POINT p) { return vertical ? p.Y - l.bar.Top : p.X - l.bar.Left; };

  SetCapture(hwnd);
  d.pressedPart = part;
  int grab = along(at) - l.thumbTop;
  UINT_PTR timer = 0;
  if (part == kPartThumb) {
    d.tracking = true;
    d.trackPos = d.pos;
    RedrawScrollBar(w, bar);
  } else {
    RedrawScrollBar(w, bar);
    send(CodeOf(part), 0);
    timer = SetTimer(nullptr, 0, kRepeatDelayMs, NoOp);
  }
  POINT pointer = at;
  bool repeating = false;
  MSG m;
  while ((w = Peek(hwnd)) && GetCapture() == hwnd) {
    if (!GetMessageA(&m, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (m.message == WM_TIMER && !m.hwnd && m.wParam == timer) {
      if (!repeating) {
        KillTimer(nullptr, timer);
        timer = SetTimer(nullptr, 0, kRepeatRateMs, NoOp);
        repeating = true;
      }
      // Only while the pointer stays on the part held (the thumb may have
      // moved up to the pointer by now).
      if (LayoutOf(w, bar, l) && PartAt(l, pointer) == part) send(CodeOf(part), 0);
      continue;
    }
    if (m.hwnd == hwnd && m.message == WM_MOUSEMOVE) {
      pointer = ClientToWindowPoint(w, m.lParam);
      if (!LayoutOf(w, bar, l)) break;
      if (part == kPartThumb) {
        int pos = PositionAtThumb(w, bar, l, along(pointer) - grab);
        if (pos != d.trackPos) {
          d.trackPos = pos;
          RedrawScrollBar(w, bar);
          send(SB_THUMBTRACK, pos);
        }
      } else {
        int shown = PartAt(l, pointer) == part ? part : kPartNone;
        if (shown != d.pressedPart) {
          d.pressedPart = shown;
          RedrawScrollBar(w, bar);
        }
      }
      continue;
    }
    if (m.hwnd == hwnd && m.message == WM_LBUTTONUP) break;
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  if (timer) KillTimer(nullptr, timer);
  if (!(w = Peek(hwnd))) return;
  ScrollBarData& end = *BarData(w, bar);
  end.pressedPart = kPartNone;
  if (part == kPartThumb) send(SB_THUMBPOSITION, end.trackPos);
  if (!(w = Peek(hwnd))) return;
  end.tracking = false;
  send(SB_ENDSCROLL, 0);
  if (GetCapture() == hwnd) ReleaseCapture();
  if ((w = Peek(hwnd))) RedrawScrollBar(w, bar);
}

}  // namespace win::detail
