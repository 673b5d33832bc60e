#include "platform/win/ScrollBars.h"

#include <algorithm>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Edges.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/PenBrush.h"
#include "platform/gdi/SysColors.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"

namespace win {
namespace detail {
namespace {

// The thumb never gets shorter than this, however large the range.
constexpr int kMinThumb = 8;

ScrollBarData* DataOf(Window* w, int bar) {
  if (bar == SB_VERT) return &w->vbar;
  if (bar == SB_HORZ) return &w->hbar;
  return nullptr;
}

DWORD StyleOf(int bar) { return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL; }

// The highest position the thumb can reach.
int MaxPos(const ScrollBarData& d) { return d.max - std::max<int>(static_cast<int>(d.page) - 1, 0); }

bool Scrollable(const ScrollBarData& d) { return d.max - d.min + 1 > static_cast<int>(d.page) && d.max > d.min; }

void Clamp(ScrollBarData& d) {
  if (d.max < d.min) d.max = d.min;
  d.page = std::min<UINT>(d.page, static_cast<UINT>(d.max - d.min + 1));
  d.pos = std::clamp(d.pos, d.min, std::max(d.min, MaxPos(d)));
}

void FrameChanged(HWND hwnd) {
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The shaft's classic look: every other pixel in the highlight colour (the
// DC's text and background colours fill the pattern's two values).
HBRUSH NewShaftBrush() {
  static const BYTE bits[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
  HBITMAP bm = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH b = CreatePatternBrush(bm);
  DeleteObject(bm);
  return b;
}

}  // namespace

bool LayoutOf(const Window* w, bool vertical, BarLayout& out) {
  DWORD style = vertical ? WS_VSCROLL : WS_HSCROLL;
  if (!(w->style & style)) return false;
  const ScrollBarData& d = vertical ? w->vbar : w->hbar;
  // The bars sit against the client area, where WM_NCCALCSIZE left room.
  RECT c{w->client.Left - w->window.Left, w->client.Top - w->window.Top, w->client.Right - w->window.Left,
         w->client.Bottom - w->window.Top};
  out = BarLayout{};
  out.vertical = vertical;
  if (vertical) {
    out.bar = {c.Right, c.Top, c.Right + GetSystemMetrics(SM_CXVSCROLL), c.Bottom};
    out.length = out.bar.Height();
    out.arrow = GetSystemMetrics(SM_CYVSCROLL);
  } else {
    out.bar = {c.Left, c.Bottom, c.Right, c.Bottom + GetSystemMetrics(SM_CYHSCROLL)};
    out.length = out.bar.Width();
    out.arrow = GetSystemMetrics(SM_CXHSCROLL);
  }
  out.length = std::max(out.length, 0);
  out.enabled = d.arrowsDisabled != ESB_DISABLE_BOTH && Scrollable(d);
  // Too short for both arrows: they share the length and there is no thumb.
  if (out.length < 2 * out.arrow) {
    out.arrow = out.length / 2;
    return true;
  }
  int shaft = out.length - 2 * out.arrow;
  if (!out.enabled) return true;
  int range = d.max - d.min + 1;
  int thumb = d.page ? std::max(MulDiv(shaft, static_cast<int>(d.page), range), kMinThumb)
                     : GetSystemMetrics(vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
  if (thumb > shaft) return true;
  int span = MaxPos(d) - d.min;
  int at = d.tracking ? d.trackPos : d.pos;
  int offset = span > 0 ? MulDiv(at - d.min, shaft - thumb, span) : 0;
  out.thumbTop = out.arrow + std::clamp(offset, 0, shaft - thumb);
  out.thumbBottom = out.thumbTop + thumb;
  return true;
}

int PartAt(const BarLayout& l, POINT p) {
  if (p.X < l.bar.Left || p.X >= l.bar.Right || p.Y < l.bar.Top || p.Y >= l.bar.Bottom) return kPartNone;
  int along = l.vertical ? p.Y - l.bar.Top : p.X - l.bar.Left;
  if (along < l.arrow) return kPartLineUp;
  if (along >= l.length - l.arrow) return kPartLineDown;
  if (l.thumbBottom <= l.thumbTop) return l.enabled ? (along < l.length / 2 ? kPartPageUp : kPartPageDown) : kPartNone;
  if (along < l.thumbTop) return kPartPageUp;
  if (along >= l.thumbBottom) return kPartPageDown;
  return kPartThumb;
}

int PositionAtThumb(const Window* w, const BarLayout& l, int offset) {
  const ScrollBarData& d = l.vertical ? w->vbar : w->hbar;
  int thumb = l.thumbBottom - l.thumbTop;
  int room = l.length - 2 * l.arrow - thumb;
  int span = MaxPos(d) - d.min;
  if (room <= 0 || span <= 0) return d.min;
  int rel = std::clamp(offset - l.arrow, 0, room);
  return d.min + MulDiv(rel, span, room);
}

void DrawScrollBar(const Window* w, HDC dc, bool vertical) {
  BarLayout l;
  if (!LayoutOf(w, vertical, l) || l.length <= 0) return;
  const ScrollBarData& d = vertical ? w->vbar : w->hbar;
  auto along = [&](int from, int to) {
    return vertical ? RECT{l.bar.Left, l.bar.Top + from, l.bar.Right, l.bar.Top + to}
                    : RECT{l.bar.Left + from, l.bar.Top, l.bar.Left + to, l.bar.Bottom};
  };
  bool off = !l.enabled;
  UINT up = (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) |
            ((off || (d.arrowsDisabled & ESB_DISABLE_LTUP)) ? DFCS_INACTIVE : 0) |
            (d.pressedPart == kPartLineUp ? DFCS_PUSHED | DFCS_FLAT : 0);
  UINT down = (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) |
              ((off || (d.arrowsDisabled & ESB_DISABLE_RTDN)) ? DFCS_INACTIVE : 0) |
              (d.pressedPart == kPartLineDown ? DFCS_PUSHED | DFCS_FLAT : 0);
  RECT a = along(0, l.arrow);
  DrawFrameControl(dc, &a, DFC_SCROLL, up);
  RECT b = along(l.length - l.arrow, l.length);
  DrawFrameControl(dc, &b, DFC_SCROLL, down);
  if (l.length <= 2 * l.arrow) return;
  COLORREF oldText = SetTextColor(dc, GdiSysColor(COLOR_BTNFACE));
  COLORREF oldBk = SetBkColor(dc, GdiSysColor(COLOR_BTNHIGHLIGHT));
  RECT shaft = along(l.arrow, l.length - l.arrow);
  HBRUSH dither = NewShaftBrush();
  FillRect(dc, &shaft, dither);
  DeleteObject(dither);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBk);
  if (l.thumbBottom <= l.thumbTop) return;
  // A page part held down shows dark.
  if (d.pressedPart == kPartPageUp) {
    RECT p = along(l.arrow, l.thumbTop);
    FillRect(dc, &p, GetSysColorBrush(COLOR_3DDKSHADOW));
  } else if (d.pressedPart == kPartPageDown) {
    RECT p = along(l.thumbBottom, l.length - l.arrow);
    FillRect(dc, &p, GetSysColorBrush(COLOR_3DDKSHADOW));
  }
  RECT t = along(l.thumbTop, l.thumbBottom);
  DrawEdge(dc, &t, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

void RedrawScrollBar(Window* w, bool vertical) {
  if (!VisibleChain(w)) return;
  HDC dc = GetWindowDC(w->handle);
  DrawScrollBar(w, dc, vertical);
  ReleaseDC(w->handle, dc);
}

}  // namespace detail

using namespace detail;

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw) {
  Window* w = Find(hwnd);
  ScrollBarData* d = w ? DataOf(w, bar) : nullptr;
  if (!d || !info) {
    if (w) SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  UINT m = info->fMask;
  if (m & SIF_RANGE) {
    d->min = info->nMin;
    d->max = info->nMax;
  }
  if (m & SIF_PAGE) d->page = info->nPage;
  if (m & SIF_POS) d->pos = info->nPos;
  Clamp(*d);
  int pos = d->pos;
  DWORD style = StyleOf(bar);
  bool shown = (w->style & style) != 0;
  if (m & (SIF_RANGE | SIF_PAGE)) {
    if (!Scrollable(*d)) {
      if (m & SIF_DISABLENOSCROLL) {
        if (!d->arrowsDisabled) d->autoDisabled = true;
        d->arrowsDisabled = ESB_DISABLE_BOTH;
        if (!shown) ShowScrollBar(hwnd, bar, TRUE);
      } else if (shown) {
        ShowScrollBar(hwnd, bar, FALSE);
      }
    } else {
      if (d->autoDisabled) d->arrowsDisabled = ESB_ENABLE_BOTH;
      d->autoDisabled = false;
      if (!shown) ShowScrollBar(hwnd, bar, TRUE);
    }
  }
  if (redraw && (w = Peek(hwnd)) && (w->style & style)) RedrawScrollBar(w, bar == SB_VERT);
  return pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
  Window* w = Find(hwnd);
  ScrollBarData* d = w ? DataOf(w, bar) : nullptr;
  if (!d || !info || !(info->fMask & SIF_ALL)) return FALSE;
  if (info->fMask & SIF_RANGE) {
    info->nMin = d->min;
    info->nMax = d->max;
  }
  if (info->fMask & SIF_PAGE) info->nPage = d->page;
  if (info->fMask & SIF_POS) info->nPos = d->pos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = d->tracking ? d->trackPos : d->pos;
  return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  Window* w = Find(hwnd);
  ScrollBarData* d = w ? DataOf(w, bar) : nullptr;
  if (!d) return 0;
  int old = d->pos;
  SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, pos, 0};
  SetScrollInfo(hwnd, bar, &si, redraw);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  Window* w = Find(hwnd);
  ScrollBarData* d = w ? DataOf(w, bar) : nullptr;
  return d ? d->pos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw) {
  Window* w = Find(hwnd);
  if (!w || !DataOf(w, bar)) return FALSE;
  SCROLLINFO si{sizeof si, SIF_RANGE, min, max, 0, 0, 0};
  SetScrollInfo(hwnd, bar, &si, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max) {
  Window* w = Find(hwnd);
  ScrollBarData* d = w ? DataOf(w, bar) : nullptr;
  if (!d || !min || !max) return FALSE;
  *min = d->min;
  *max = d->max;
  return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
  Window* w = Find(hwnd);
  if (!w || (bar != SB_VERT && bar != SB_HORZ && bar != SB_BOTH)) return FALSE;
  DWORD bits = bar == SB_BOTH ? (WS_VSCROLL | WS_HSCROLL) : StyleOf(bar);
  DWORD style = show ? (w->style | bits) : (w->style & ~bits);
  if (style == w->style) return TRUE;
  w->style = style;
  FrameChanged(hwnd);
  return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
  Window* w = Find(hwnd);
  if (!w || (bar != SB_VERT && bar != SB_HORZ && bar != SB_BOTH) || arrows > ESB_DISABLE_BOTH) return FALSE;
  bool changed = false;
  for (int b : {SB_HORZ, SB_VERT}) {
    if (bar != SB_BOTH && static_cast<int>(bar) != b) continue;
    ScrollBarData* d = DataOf(w, b);
    d->autoDisabled = false;
    if (d->arrowsDisabled == arrows) continue;
    d->arrowsDisabled = arrows;
    changed = true;
    if (w->style & StyleOf(b)) RedrawScrollBar(w, b == SB_VERT);
  }
  return changed;
}

BOOL GetScrollBarInfo(HWND hwnd, LONG object, SCROLLBARINFO* info) {
  Window* w = Find(hwnd);
  if (!w || !info || info->cbSize != sizeof(SCROLLBARINFO) || (object != OBJID_VSCROLL && object != OBJID_HSCROLL)) {
    if (w) SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  bool vertical = object == OBJID_VSCROLL;
  const ScrollBarData& d = vertical ? w->vbar : w->hbar;
  BarLayout l;
  DWORD cb = info->cbSize;
  *info = SCROLLBARINFO{};
  info->cbSize = cb;
  if (!LayoutOf(w, vertical, l)) {
    info->rgstate[0] = STATE_SYSTEM_INVISIBLE;
    return TRUE;
  }
  POINT o = WindowOrigin(w);
  info->rcScrollBar = {l.bar.Left + o.X, l.bar.Top + o.Y, l.bar.Right + o.X, l.bar.Bottom + o.Y};
  info->dxyLineButton = l.arrow;
  info->xyThumbTop = l.thumbTop;
  info->xyThumbBottom = l.thumbBottom;
  if (!l.enabled) info->rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
  if (!VisibleChain(w)) info->rgstate[0] |= STATE_SYSTEM_INVISIBLE;
  if (l.length <= 0 || l.bar.Width() <= 0 || l.bar.Height() <= 0) info->rgstate[0] |= STATE_SYSTEM_OFFSCREEN;
  if (!l.enabled || (d.arrowsDisabled & ESB_DISABLE_LTUP)) info->rgstate[kPartLineUp] |= STATE_SYSTEM_UNAVAILABLE;
  if (!l.enabled || (d.arrowsDisabled & ESB_DISABLE_RTDN)) info->rgstate[kPartLineDown] |= STATE_SYSTEM_UNAVAILABLE;
  if (l.thumbBottom <= l.thumbTop) {
    for (int p : {kPartPageUp, kPartThumb, kPartPageDown}) info->rgstate[p] |= STATE_SYSTEM_INVISIBLE;
  }
  if (d.pressedPart) info->rgstate[d.pressedPart] |= STATE_SYSTEM_PRESSED;
  return TRUE;
}

}  // namespace win
