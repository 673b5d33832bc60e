#include "platform/win/ScrollBarControl.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/win/Focus.h"
#include "platform/win/Messages.h"
#include "platform/win/Paint.h"
#include "platform/win/ScrollBars.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

namespace win::detail {
namespace {

// SBM_SETRANGE answers the old position when the new range moved it.
LRESULT SetRange(Window* w, WPARAM min, LPARAM max, bool redraw) {
  const int before = w->ctlBar.pos;
  SCROLLINFO si{sizeof si, SIF_RANGE, static_cast<int>(min), static_cast<int>(max), 0, 0, 0};
  const int after = SetBarInfo(w, SB_CTL, si, redraw);
  return after != before ? before : 0;
}

}  // namespace

LRESULT ScrollBarControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Peek(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE:
      w->ctlBar = ScrollBarData{};
      w->ctlBar.max = 0;
      break;
    case WM_ERASEBKGND: return 1;  // the bar covers the whole client area
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      // The bar is laid out in window coordinates.
      SetWindowOrgEx(dc, w->client.Left - w->window.Left, w->client.Top - w->window.Top, nullptr);
      DrawScrollBar(w, dc, SB_CTL);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (w->style & WS_TABSTOP) SetFocus(hwnd);
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hwnd, &p);
      TrackScrollBar(hwnd, SB_CTL, p);
      return 0;
    }
    case SBM_SETPOS: {
      const int old = w->ctlBar.pos;
      SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, static_cast<int>(wParam), 0};
      SetBarInfo(w, SB_CTL, si, lParam != 0);
      return old;
    }
    case SBM_GETPOS: return w->ctlBar.pos;
    case SBM_SETRANGE: return SetRange(w, wParam, lParam, false);
    case SBM_SETRANGEREDRAW: return SetRange(w, wParam, lParam, true);
    case SBM_GETRANGE:
      if (wParam) *reinterpret_cast<int*>(wParam) = w->ctlBar.min;
      if (lParam) *reinterpret_cast<int*>(lParam) = w->ctlBar.max;
      return 0;
    case SBM_ENABLE_ARROWS: return wParam <= ESB_DISABLE_BOTH ? EnableBarArrows(w, SB_CTL, static_cast<UINT>(wParam)) : FALSE;
    case SBM_SETSCROLLINFO: {
      auto* info = reinterpret_cast<const SCROLLINFO*>(lParam);
      return info ? SetBarInfo(w, SB_CTL, *info, wParam != 0) : w->ctlBar.pos;
    }
    case SBM_GETSCROLLINFO: {
      auto* info = reinterpret_cast<SCROLLINFO*>(lParam);
      return info ? GetBarInfo(w, SB_CTL, *info) : FALSE;
    }
    default: break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace win::detail
