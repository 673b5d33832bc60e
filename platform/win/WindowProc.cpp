#include "platform/win/WindowProc.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "platform/gdi/DeviceContext.h"
#include "platform/win/BackEnd.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Layered.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/ModalLoop.h"
#include "platform/win/Mouse.h"
#include "platform/win/NonClient.h"
#include "platform/win/Paint.h"
#include "platform/win/ScrollBars.h"
#include "platform/win/Queue.h"
#include "platform/win/Seams.h"
#include "platform/win/SystemMenu.h"
#include "platform/win/Window.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"

namespace win {
namespace {

// Standard cursor ids, as the cursor tier numbers them.
constexpr int kIdcArrow = 32512;
constexpr int kIdcSizeNWSE = 32642;
constexpr int kIdcSizeNESW = 32643;
constexpr int kIdcSizeWE = 32644;
constexpr int kIdcSizeNS = 32645;

HCURSOR currentCursor = nullptr;

bool In(const RECT& r, POINT p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

LRESULT HitTest(detail::Window* w, POINT screen) {
  RECT wr = detail::ScreenWindowRect(w);
  if (!In(wr, screen)) return HTNOWHERE;
  RECT cr = detail::ScreenClientRect(w);
  if (In(cr, screen)) return HTCLIENT;
  // A minimised window is all caption, its frame included: it is moved,
  // clicked and opened there.
  if (w->style & WS_MINIMIZE) {
    const int caption = detail::CaptionHit(w, {screen.X - wr.Left, screen.Y - wr.Top});
    return caption != HTNOWHERE ? caption : HTCAPTION;
  }
  // Scroll bars sit between the client area and the client edge.
  RECT in = detail::FrameInsets(w->style & ~(WS_VSCROLL | WS_HSCROLL), w->exStyle, false);
  RECT inner{wr.Left + in.Left, wr.Top + in.Top, wr.Right - in.Right, wr.Bottom - in.Bottom};
  bool v = (w->style & WS_VSCROLL) != 0, h = (w->style & WS_HSCROLL) != 0;
  if (In(inner, screen)) {
    bool inV = v && screen.X >= cr.Right;
    bool inH = h && screen.Y >= cr.Bottom;
    if (inV && inH) return HTGROWBOX;
    if (inV) return HTVSCROLL;
    if (inH) return HTHSCROLL;
    return HTBORDER;
  }
  RECT frame = detail::FrameInsets(w->style & ~(WS_VSCROLL | WS_HSCROLL | WS_CAPTION), w->exStyle & ~WS_EX_CLIENTEDGE,
                                   false);
  if (int caption = detail::CaptionHit(w, {screen.X - wr.Left, screen.Y - wr.Top}); caption != HTNOWHERE)
    return caption;
  if (w->style & WS_THICKFRAME) {
    int corner = GetSystemMetrics(SM_CYCAPTION);
    bool left = screen.X < wr.Left + frame.Left, right = screen.X >= wr.Right - frame.Right;
    bool top = screen.Y < wr.Top + frame.Top, bottom = screen.Y >= wr.Bottom - frame.Bottom;
    bool nearLeft = screen.X < wr.Left + corner, nearRight = screen.X >= wr.Right - corner;
    bool nearTop = screen.Y < wr.Top + corner, nearBottom = screen.Y >= wr.Bottom - corner;
    if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
    if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
    if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
    if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
  }
  return HTBORDER;
}

LRESULT SetCursorDefault(HWND hwnd, detail::Window* w, WPARAM wParam, LPARAM lParam) {
  // The parent decides first; a parent that handles it ends the matter.
  if ((w->style & WS_CHILD) && w->parent && w->parent != detail::Desktop()) {
    if (SendMessageA(w->parent->handle, WM_SETCURSOR, wParam, lParam)) return TRUE;
  }
  int hit = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam)));
  if (reinterpret_cast<HWND>(wParam) != hwnd && hit == HTCLIENT) return FALSE;
  switch (hit) {
    case HTCLIENT:
      if (w->cls->cursor) detail::ApplyCursor(w->cls->cursor);
      return FALSE;
    case HTLEFT:
    case HTRIGHT: detail::ApplyCursor(detail::StandardCursor(kIdcSizeWE)); return TRUE;
    case HTTOP:
    case HTBOTTOM: detail::ApplyCursor(detail::StandardCursor(kIdcSizeNS)); return TRUE;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: detail::ApplyCursor(detail::StandardCursor(kIdcSizeNWSE)); return TRUE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: detail::ApplyCursor(detail::StandardCursor(kIdcSizeNESW)); return TRUE;
    case HTERROR: {
      UINT mouseMsg = HIWORD(static_cast<DWORD_PTR>(lParam));
      if (mouseMsg == WM_LBUTTONDOWN || mouseMsg == WM_RBUTTONDOWN || mouseMsg == WM_MBUTTONDOWN) MessageBeep(0);
      return FALSE;
    }
    default: detail::ApplyCursor(detail::StandardCursor(kIdcArrow)); return FALSE;
  }
}

HWND RootHandle(detail::Window* w) { return detail::Root(w)->handle; }

// Runs a loop of its own on the mouse until the left button comes up;
// each move reaches moved() with the screen point. The window keeps the
// capture meanwhile and hears none of those mouse messages.
void TrackMouse(HWND hwnd, const std::function<void(POINT)>& moved) {
  RunCaptureLoop(
      hwnd,
      [&](const MSG& m) {
        if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
          moved(m.pt);
          return CaptureStep::Drop;
        }
        if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) return CaptureStep::End;
        if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) return CaptureStep::Drop;
        return CaptureStep::Dispatch;
      },
      [&] { return detail::Peek(hwnd) != nullptr; });
}

// A caption button held down: drawn pushed while the pointer is on it; let
// go on it, it sends its command.
void PressCaptionButton(HWND hwnd, int hit) {
  detail::Window* w = detail::Peek(hwnd);
  detail::CaptionLayout c;
  if (!w || !detail::LayoutCaption(w, c)) return;
  if ((hit == HTCLOSE && !c.closeEnabled) || (hit == HTMAXBUTTON && !c.maximizeEnabled) ||
      (hit == HTMINBUTTON && !c.minimizeEnabled))
    return;
  auto draw = [&](bool pushed) {
    if (detail::Window* now = detail::Peek(hwnd)) {
      HDC dc = GetWindowDC(hwnd);
      detail::DrawCaptionButton(now, dc, hit, pushed);
      ReleaseDC(hwnd, dc);
    }
  };
  auto on = [&](POINT screen) {
    detail::Window* now = detail::Peek(hwnd);
    if (!now) return false;
    RECT wr = detail::ScreenWindowRect(now);
    return detail::CaptionHit(now, {screen.X - wr.Left, screen.Y - wr.Top}) == hit;
  };
  bool pushed = true;
  draw(true);
  POINT last{};
  GetCursorPos(&last);
  TrackMouse(hwnd, [&](POINT p) {
    last = p;
    if (on(p) != pushed) draw(pushed = !pushed);
  });
  if (!detail::Peek(hwnd)) return;
  draw(false);
  if (!on(last)) return;
  WPARAM command = SC_CLOSE;
  if (hit == HTMAXBUTTON) command = (w->style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE;
  if (hit == HTMINBUTTON) command = (w->style & WS_MINIMIZE) ? SC_RESTORE : SC_MINIMIZE;
  SendMessageA(hwnd, WM_SYSCOMMAND, command, MAKELPARAM(last.X, last.Y));
}

// SC_MOVE from the caption: the window follows the pointer until the
// button comes up. A minimised window stays where it is until the pointer
// leaves the drag rectangle: let go before that, the press was a click,
// which opens it (and the press that doubles it, the second half of a
// double click, is taken with it rather than landing on the window opened).
void MoveWithMouse(HWND hwnd, POINT start) {
  detail::Window* w = detail::Peek(hwnd);
  if (!w || (w->style & WS_MAXIMIZE)) return;
  RECT from = detail::ScreenWindowRect(w);
  bool moving = !(w->style & WS_MINIMIZE);
  SendMessageA(hwnd, WM_ENTERSIZEMOVE, 0, 0);
  TrackMouse(hwnd, [&](POINT p) {
    moving = moving || std::abs(p.X - start.X) > GetSystemMetrics(SM_CXDRAG) / 2 ||
             std::abs(p.Y - start.Y) > GetSystemMetrics(SM_CYDRAG) / 2;
    if (moving)
      SetWindowPos(hwnd, nullptr, from.Left + p.X - start.X, from.Top + p.Y - start.Y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  });
  if (!detail::Peek(hwnd)) return;
  SendMessageA(hwnd, WM_EXITSIZEMOVE, 0, 0);
  if (moving || !detail::Peek(hwnd)) return;
  detail::TakeDoublingPress();
  SendMessageA(hwnd, WM_SYSCOMMAND, SC_RESTORE, MAKELPARAM(start.X, start.Y));
}

// Shift held, without Ctrl or Alt.
bool ShiftOnly() { return GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0; }

}  // namespace

TierSeams& Seams() {
  static TierSeams s;
  return s;
}

HCURSOR CurrentCursor() { return currentCursor; }

namespace detail {

void ApplyCursor(HCURSOR cursor) {
  currentCursor = cursor;
  if (Seams().setCursor) Seams().setCursor(cursor);
}

HCURSOR StandardCursor(int id) {
  if (Seams().standardCursor) return Seams().standardCursor(id);
  return reinterpret_cast<HCURSOR>(static_cast<std::intptr_t>(id));
}

RECT FrameInsets(DWORD style, DWORD exStyle, bool withScrollBars) {
  RECT in{0, 0, 0, 0};
  int fx = 0, fy = 0;
  if (style & WS_THICKFRAME) {
    fx = GetSystemMetrics(SM_CXFRAME);
    fy = GetSystemMetrics(SM_CYFRAME);
  } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
    fx = GetSystemMetrics(SM_CXDLGFRAME);
    fy = GetSystemMetrics(SM_CYDLGFRAME);
  } else if (style & WS_BORDER) {
    fx = GetSystemMetrics(SM_CXBORDER);
    fy = GetSystemMetrics(SM_CYBORDER);
  }
  in = {fx, fy, fx, fy};
  if ((style & WS_CAPTION) == WS_CAPTION)
    in.Top += GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
  if (exStyle & WS_EX_CLIENTEDGE) {
    int ex = GetSystemMetrics(SM_CXEDGE), ey = GetSystemMetrics(SM_CYEDGE);
    in.Left += ex, in.Right += ex, in.Top += ey, in.Bottom += ey;
  }
  if (withScrollBars) {
    if (style & WS_VSCROLL) in.Right += GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL) in.Bottom += GetSystemMetrics(SM_CYHSCROLL);
  }
  return in;
}

bool InsideRegion(const Window* w, POINT windowPt) {
  // The key colour of a layered window is a hole: the mouse finds what
  // shows through it.
  if ((w->layeredFlags & LWA_COLORKEY) && !w->keyShape.Contains(windowPt.X, windowPt.Y)) return false;
  return !w->hasRegion || w->region.Contains(windowPt.X, windowPt.Y);
}

void FollowWindowText(HWND hwnd, std::string_view text, std::size_t at, std::size_t removed, std::size_t inserted) {
  Window* w = Peek(hwnd);
  if (!w) return;
  // The window's text ends at a NUL, as WM_SETTEXT leaves it: with one in
  // the old text or the new part, the whole is taken again.
  const std::string_view added = text.substr(at, inserted);
  if (w->text.size() + inserted == text.size() + removed && added.find('\0') == std::string_view::npos)
    w->text.replace(at, removed, added);
  else
    w->text.assign(text.substr(0, text.find('\0')));
  if (w->surface) BackEnd().SetTitle(w->surface, w->text);
}

}  // namespace detail

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!proc) return 0;
  detail::Window* w = detail::Peek(hwnd);
  if (!w) return proc(hwnd, msg, wParam, lParam);
  detail::Pin pin(w);
  return proc(hwnd, msg, wParam, lParam);
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  detail::Window* w = detail::Peek(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      if (cs && cs->lpszName) w->text = cs->lpszName;
      if (w->surface && !w->text.empty()) BackEnd().SetTitle(w->surface, w->text);
      return TRUE;
    }
    case WM_NCCALCSIZE: {
      RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
      if (!r) return 0;
      if (w->style & WS_MINIMIZE) {
        r->Right = r->Left;
        r->Bottom = r->Top;
        return 0;
      }
      RECT in = detail::FrameInsets(w->style, w->exStyle & ~WS_EX_CLIENTEDGE, false);
      r->Left += in.Left;
      r->Top += in.Top;
      r->Right -= in.Right;
      r->Bottom -= in.Bottom;
      // The client edge and the bars take their room only where there is
      // room for them: a window too small for them shows none.
      const int ex = GetSystemMetrics(SM_CXEDGE), ey = GetSystemMetrics(SM_CYEDGE);
      if ((w->exStyle & WS_EX_CLIENTEDGE) && r->Right - r->Left > 2 * ex && r->Bottom - r->Top > 2 * ey)
        *r = {r->Left + ex, r->Top + ey, r->Right - ex, r->Bottom - ey};
      const int barW = GetSystemMetrics(SM_CXVSCROLL), barH = GetSystemMetrics(SM_CYHSCROLL);
      if ((w->style & WS_VSCROLL) && r->Right - r->Left >= barW) r->Right -= barW;
      if ((w->style & WS_HSCROLL) && r->Bottom - r->Top > barH) r->Bottom -= barH;
      // Sized below its frame, the window has an empty client area where
      // the frame begins.
      r->Right = std::max(r->Left, r->Right);
      r->Bottom = std::max(r->Top, r->Bottom);
      return 0;
    }
    case WM_NCHITTEST: return HitTest(w, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT: detail::PaintNonClient(w, reinterpret_cast<HRGN>(wParam)); return 0;
    case WM_NCACTIVATE:
      // The frame shows the state it is told, and only a change is drawn.
      if (w->frameActive != (wParam != 0)) {
        w->frameActive = wParam != 0;
        if (detail::ShowsCaption(w) && detail::VisibleChain(w)) detail::PaintNonClient(w, nullptr);
      }
      return TRUE;
    case WM_SETICON: {
      HICON& slot = wParam == ICON_BIG ? w->iconBig : w->iconSmall;
      HICON old = slot;
      slot = reinterpret_cast<HICON>(lParam);
      if (old != slot && detail::ShowsCaption(w) && detail::VisibleChain(w))
        RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON:
      return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? w->iconBig : w->iconSmall);
    case WM_ERASEBKGND: return detail::EraseBackground(w, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_NCLBUTTONDOWN:
      if (wParam == HTVSCROLL || wParam == HTHSCROLL)
        detail::TrackScrollBar(hwnd, wParam == HTVSCROLL ? SB_VERT : SB_HORZ, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      else if (wParam == HTCLOSE || wParam == HTMAXBUTTON || wParam == HTMINBUTTON)
        PressCaptionButton(hwnd, static_cast<int>(wParam));
      else if (wParam == HTCAPTION)
        SendMessageA(hwnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
      else if (wParam == HTSYSMENU)
        SendMessageA(hwnd, WM_SYSCOMMAND, SC_MOUSEMENU | HTSYSMENU, lParam);
      return 0;
    case WM_NCLBUTTONDBLCLK:
      switch (wParam) {
        case HTCAPTION:
          if (w->style & (WS_MAXIMIZE | WS_MINIMIZE))
            SendMessageA(hwnd, WM_SYSCOMMAND, SC_RESTORE, lParam);
          else if (w->style & WS_MAXIMIZEBOX)
            SendMessageA(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, lParam);
          return 0;
        case HTSYSMENU:
          if (detail::SystemMenuCanClose(hwnd)) SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
          return 0;
        default:
          // Elsewhere a quick second press does what the first did: a bar
          // scrolls again, a caption button is pressed again.
          return DefWindowProcA(hwnd, WM_NCLBUTTONDOWN, wParam, lParam);
      }

    case WM_SETTEXT:
      w->text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
      if (w->surface) BackEnd().SetTitle(w->surface, w->text);
      return TRUE;
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<LPSTR>(lParam);
      if (!buf || wParam == 0) return 0;
      std::size_t n = std::min<std::size_t>(w->text.size(), wParam - 1);
      std::memcpy(buf, w->text.data(), n);
      buf[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_SETCURSOR: return SetCursorDefault(hwnd, w, wParam, lParam);
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE: SendMessageA(hwnd, WM_CLOSE, 0, 0); return 0;
        case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); return 0;
        case SC_MAXIMIZE: ShowWindow(hwnd, SW_SHOWMAXIMIZED); return 0;
        case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); return 0;
        case SC_MOVE:
          if ((wParam & 0x000F) == HTCAPTION) MoveWithMouse(hwnd, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
          return 0;
        case SC_MOUSEMENU: {
          // The menu the press opened takes the next press: on the icon
          // again and quick, it is the double click the window would
          // have heard.
          const unsigned presses = detail::PressesTaken();
          detail::TrackSystemMenu(hwnd);
          POINT at{};
          if (detail::PressesTaken() == presses + 1 && detail::LastPressDoubles(hwnd, HTSYSMENU, at))
            detail::PostOwed(hwnd, WM_NCLBUTTONDBLCLK, HTSYSMENU, MAKELPARAM(at.X, at.Y));
          return 0;
        }
        case SC_KEYMENU:
          // Alt+Space asks for the system menu; there is no menu bar.
          if (lParam == ' ') detail::TrackSystemMenu(hwnd);
          return 0;
        default: return 0;  // keyboard move and size arrive with later tiers
      }
    case WM_MOUSEACTIVATE:
      if ((w->style & WS_CHILD) && w->parent && w->parent != detail::Desktop()) {
        LRESULT r = SendMessageA(w->parent->handle, WM_MOUSEACTIVATE, wParam, lParam);
        if (r) return r;
      }
      return MA_ACTIVATE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !(w->style & WS_MINIMIZE)) {
        // The focus goes back to the child that had it, also from the
        // window itself (restoring from minimised hands it there first).
        detail::Window* f = detail::Peek(GetFocus());
        if (f && f != w && detail::IsDescendant(f, w)) return 0;
        detail::Window* last = detail::Peek(w->lastFocus);
        if (last && detail::IsDescendant(last, w) && detail::EnabledChain(last) && detail::VisibleChain(last))
          SetFocus(last->handle);
        else
          SetFocus(hwnd);
      }
      return 0;
    case WM_CANCELMODE:
      if (GetCapture() == hwnd) ReleaseCapture();
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && (lParam & (1 << 29))) SendMessageA(RootHandle(w), WM_SYSCOMMAND, SC_CLOSE, 0);
      // Shift+F10 asks for the context menu of the window with the focus;
      // (-1, -1) tells that it came from the keyboard.
      if (wParam == VK_F10 && ShiftOnly())
        SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(-1, -1));
      return 0;
    case WM_SYSKEYUP:
    case WM_KEYUP:
      // So does the menu key, when it is let go.
      if (wParam == VK_APPS) {
        SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(-1, -1));
        return 0;
      }
      // Alt or F10 pressed and released alone asks for the menu bar.
      if ((wParam == VK_MENU || (wParam == VK_F10 && !ShiftOnly())) && detail::LastKeyWasAlone())
        SendMessageA(RootHandle(w), WM_SYSCOMMAND, SC_KEYMENU, 0);
      return 0;
    case WM_SYSCHAR:
      // Enter opens a minimised window, which hears keys as system keys.
      if (wParam == VK_RETURN && (w->style & WS_MINIMIZE)) {
        SendMessageA(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        return 0;
      }
      if (wParam != VK_RETURN && wParam != VK_ESCAPE && wParam != VK_TAB)
        SendMessageA(RootHandle(w), WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
      return 0;
    case WM_RBUTTONUP: {
      // A right click asks for a context menu at the pointer, in screen
      // coordinates; a child that does not answer hands it to its parent.
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hwnd, &p);
      SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(p.X, p.Y));
      return 0;
    }
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      if ((w->style & WS_CHILD) && w->parent && w->parent != detail::Desktop())
        return SendMessageA(w->parent->handle, msg, wParam, lParam);
      return 0;
    case WM_GETDLGCODE: return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      // The standard colours: window text on the window colour for edits
      // and lists, on the face colour for the rest.
      auto dc = reinterpret_cast<HDC>(wParam);
      const bool onWindow = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
      const int back = msg == WM_CTLCOLORSCROLLBAR ? COLOR_SCROLLBAR : onWindow ? COLOR_WINDOW : COLOR_BTNFACE;
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(onWindow ? COLOR_WINDOW : COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
    }
    case WM_SETREDRAW: detail::SetRedraw(w, wParam != 0); return 0;
    case WM_WINDOWPOSCHANGING: {
      // Sizing keeps within the limits the window gives.
      // A minimised window is asked as well and kept under the largest
      // size; only the smallest does not hold for it.
      auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
      if (!wp || (wp->flags & SWP_NOSIZE) || !detail::HasSizingLimits(w->style)) return 0;
      MINMAXINFO mm = detail::QueryMinMaxInfo(w);
      wp->cx = std::min(wp->cx, mm.ptMaxTrackSize.X);
      wp->cy = std::min(wp->cy, mm.ptMaxTrackSize.Y);
      if (!(w->style & WS_MINIMIZE)) {
        wp->cx = std::max(wp->cx, mm.ptMinTrackSize.X);
        wp->cy = std::max(wp->cy, mm.ptMinTrackSize.Y);
      }
      return 0;
    }
    case WM_WINDOWPOSCHANGED: {
      auto* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (!wp) return 0;
      if (!(wp->flags & 0x1000))  // the client area moved
        SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(w->client.Left, w->client.Top));
      // The client area changed size, or the window its state: a minimised
      // window tells no size.
      if ((!(wp->flags & 0x0800) || (wp->flags & SWP_STATECHANGED)) && detail::Peek(hwnd)) {
        if (w->style & WS_MINIMIZE)
          SendMessageA(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
        else
          SendMessageA(hwnd, WM_SIZE, (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED,
                       MAKELPARAM(w->client.Width(), w->client.Height()));
      }
      return 0;
    }
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN: return TRUE;
    default: return 0;
  }
}

}  // namespace win
