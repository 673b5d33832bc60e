#include "platform/win/Static.h"

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Blits.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Edges.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/Text.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

namespace win::detail {
namespace {

constexpr int kFontOffset = 0;
constexpr int kImageOffset = sizeof(HFONT);

HFONT FontOf(HWND hwnd) { return reinterpret_cast<HFONT>(GetWindowLongPtrA(hwnd, kFontOffset)); }
HBITMAP ImageOf(HWND hwnd) { return reinterpret_cast<HBITMAP>(GetWindowLongPtrA(hwnd, kImageOffset)); }

bool IsTextStyle(DWORD type) {
  return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

// The DrawText format of a label's style.
UINT TextFormat(DWORD style) {
  const DWORD type = style & SS_TYPEMASK;
  UINT fmt = DT_EXPANDTABS | DT_WORDBREAK;
  if (type == SS_CENTER) fmt |= DT_CENTER;
  else if (type == SS_RIGHT) fmt |= DT_RIGHT;
  else if (type == SS_LEFTNOWORDWRAP) fmt = DT_EXPANDTABS;
  else if (type == SS_SIMPLE) fmt = DT_SINGLELINE;
  if (style & SS_NOPREFIX) fmt |= DT_NOPREFIX;
  if (style & SS_EDITCONTROL) fmt |= DT_EDITCONTROL;
  if (style & SS_CENTERIMAGE) fmt = (fmt & ~UINT(DT_WORDBREAK)) | DT_SINGLELINE | DT_VCENTER;
  // An ellipsis keeps the text on one line.
  switch (style & SS_ELLIPSISMASK) {
    case SS_ENDELLIPSIS: fmt = (fmt & ~UINT(DT_WORDBREAK)) | DT_SINGLELINE | DT_END_ELLIPSIS; break;
    case SS_PATHELLIPSIS: fmt = (fmt & ~UINT(DT_WORDBREAK)) | DT_SINGLELINE | DT_PATH_ELLIPSIS; break;
    case SS_WORDELLIPSIS: fmt = (fmt & ~UINT(DT_WORDBREAK)) | DT_SINGLELINE | DT_WORD_ELLIPSIS; break;
    default: break;
  }
  return fmt;
}

void Notify(Window* w, int code) {
  if (!(w->style & SS_NOTIFY) || !(w->style & WS_CHILD) || !w->parent) return;
  SendMessageA(w->parent->handle, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(w->id), code),
               reinterpret_cast<LPARAM>(w->handle));
}

void PaintImage(Window* w, HDC dc, const RECT& rc) {
  BITMAP bm{};
  HBITMAP image = ImageOf(w->handle);
  if (!image || !GetObjectA(image, sizeof bm, &bm)) return;
  HDC src = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(src, ToObj(image));
  if (w->style & SS_REALSIZECONTROL) {
    StretchBlt(dc, rc.Left, rc.Top, rc.Width(), rc.Height(), src, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
  } else {
    const bool centre = w->style & SS_CENTERIMAGE;
    const int x = centre ? (rc.Left + rc.Right - bm.bmWidth) / 2 : rc.Left;
    const int y = centre ? (rc.Top + rc.Bottom - bm.bmHeight) / 2 : rc.Top;
    BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, src, 0, 0, SRCCOPY);
  }
  SelectObject(src, old);
  DeleteDC(src);
}

// STM_SETIMAGE: a bitmap for an SS_BITMAP control, which takes the
// bitmap's size unless it centres or stretches it. Answers the old one.
LRESULT SetImage(Window* w, WPARAM type, HBITMAP image) {
  const HWND hwnd = w->handle;
  if (type != IMAGE_BITMAP || (w->style & SS_TYPEMASK) != SS_BITMAP) return 0;
  const HBITMAP old = ImageOf(hwnd);
  SetWindowLongPtrA(hwnd, kImageOffset, reinterpret_cast<LONG_PTR>(image));
  BITMAP bm{};
  if (image && !(w->style & (SS_CENTERIMAGE | SS_REALSIZECONTROL)) && GetObjectA(image, sizeof bm, &bm)) {
    const RECT frame = FrameInsets(w->style, w->exStyle, false);
    SetWindowPos(hwnd, nullptr, 0, 0, bm.bmWidth + frame.Left + frame.Right, bm.bmHeight + frame.Top + frame.Bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (Peek(hwnd)) InvalidateRect(hwnd, nullptr, FALSE);
  return reinterpret_cast<LRESULT>(old);
}

void PaintLabel(Window* w, HDC dc) {
  const HWND hwnd = w->handle;
  RECT rc{0, 0, w->client.Width(), w->client.Height()};
  const DWORD type = w->style & SS_TYPEMASK;
  if (w->style & SS_SUNKEN) DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  switch (type) {
    case SS_BLACKRECT: FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME)); return;
    case SS_GRAYRECT: FillRect(dc, &rc, GetSysColorBrush(COLOR_BACKGROUND)); return;
    case SS_WHITERECT: FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW)); return;
    case SS_BLACKFRAME: FrameRect(dc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME)); return;
    case SS_GRAYFRAME: FrameRect(dc, &rc, GetSysColorBrush(COLOR_BACKGROUND)); return;
    case SS_WHITEFRAME: FrameRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW)); return;
    case SS_ETCHEDHORZ: DrawEdge(dc, &rc, EDGE_ETCHED, BF_TOP); return;
    case SS_ETCHEDVERT: DrawEdge(dc, &rc, EDGE_ETCHED, BF_LEFT); return;
    case SS_ETCHEDFRAME: DrawEdge(dc, &rc, EDGE_ETCHED, BF_RECT); return;
    default: break;
  }
  if (!IsTextStyle(type) && type != SS_BITMAP) return;
  // The parent picks the colours; one that leaves the message alone gets
  // the standard ones.
  const HWND to = (w->style & WS_CHILD) && w->parent ? w->parent->handle : hwnd;
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageA(to, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  if (!Peek(hwnd)) return;
  if (!brush)
    brush = reinterpret_cast<HBRUSH>(
        DefWindowProcA(to, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  FillRect(dc, &rc, brush);
  if (type == SS_BITMAP) {
    PaintImage(w, dc, rc);
    return;
  }
  if (w->text.empty()) return;
  HFONT font = FontOf(hwnd);
  HGDIOBJ oldFont = font ? SelectObject(dc, ToObj(font)) : nullptr;
  // A disabled label greys its text, except the simple kind.
  if ((w->style & WS_DISABLED) && type != SS_SIMPLE) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  const std::string text = w->text;  // the parent may change it while we draw
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rc, TextFormat(w->style));
  if (oldFont) SelectObject(dc, oldFont);
}

}  // namespace

LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Peek(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCHITTEST: return (w->style & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      PaintLabel(w, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
      if (IsTextStyle(w->style & SS_TYPEMASK)) InvalidateRect(hwnd, nullptr, FALSE);
      return r;
    }
    case WM_SETFONT:
      SetWindowLongPtrA(hwnd, kFontOffset, static_cast<LONG_PTR>(wParam));
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(FontOf(hwnd));
    case STM_SETIMAGE: return SetImage(w, wParam, reinterpret_cast<HBITMAP>(lParam));
    case STM_GETIMAGE:
      return wParam == IMAGE_BITMAP && (w->style & SS_TYPEMASK) == SS_BITMAP ? reinterpret_cast<LRESULT>(ImageOf(hwnd))
                                                                               : 0;
    case WM_ENABLE:
      Notify(w, wParam ? STN_ENABLE : STN_DISABLE);
      if (Peek(hwnd)) InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN: Notify(w, STN_CLICKED); return 0;
    case WM_LBUTTONDBLCLK: Notify(w, STN_DBLCLK); return 0;
    default: break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace win::detail
