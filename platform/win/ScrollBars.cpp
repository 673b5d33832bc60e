#include "platform/win/ScrollBars.h"

#include <algorithm>
#include <cstdlib>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Edges.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/PenBrush.h"
#include "platform/gdi/SysColors.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/Queue.h"
#include "platform/win/ScrollBarControl.h"
#include "platform/win/Window.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"

namespace win {
namespace detail {
namespace {

// The thumb never gets shorter than this, however large the range.
constexpr int kMinThumb = 8;

ScrollBarData* DataOf(Window* w, int bar) { return bar == SB_VERT || bar == SB_HORZ ? BarData(w, bar) : nullptr; }

const ScrollBarData& BarOf(const Window* w, int bar) {
  return bar == SB_CTL ? w->ctlBar : bar == SB_VERT ? w->vbar : w->hbar;
}

bool IsVertical(const Window* w, int bar) { return bar == SB_CTL ? (w->style & SBS_VERT) != 0 : bar == SB_VERT; }

// A control's SB_CTL calls go to it as messages, so a subclass sees them.
bool IsControlCall(HWND hwnd, int bar) { return bar == SB_CTL && Find(hwnd); }

DWORD StyleOf(int bar) { return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL; }

// How many positions the range holds, and the distances between them,
// are counted wide: a range across all the integers (or from 0 to the
// largest) holds more than an int counts.
long long Positions(const ScrollBarData& d) { return static_cast<long long>(d.max) - d.min + 1; }

// The highest position the thumb can reach.
int MaxPos(const ScrollBarData& d) {
  return static_cast<int>(std::max<long long>(d.max - std::max<long long>(static_cast<long long>(d.page) - 1, 0), d.min));
}

bool Scrollable(const ScrollBarData& d) { return Positions(d) > static_cast<long long>(d.page) && d.max > d.min; }

void Clamp(ScrollBarData& d) {
  if (d.max < d.min) d.max = d.min;
  d.page = static_cast<UINT>(std::min<long long>(d.page, Positions(d)));
  d.pos = std::clamp(d.pos, d.min, MaxPos(d));
}

// a * b / c rounded half away from zero, as MulDiv does, for the wide
// counts above (a pixel length times a count stays far from 2^63).
long long ScaleWide(long long a, long long b, long long c) {
  const long long p = a * b;
  long long q = p / c;
  const long long r = p % c;
  if (r != 0 && 2 * (r < 0 ? -r : r) >= (c < 0 ? -c : c)) q += ((p < 0) == (c < 0)) ? 1 : -1;
  return q;
}

void FrameChanged(HWND hwnd) {
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The shaft's classic look: every other pixel in the highlight colour (the
// DC's text and background colours fill the pattern's two values). One
// brush serves every bar for the process (a bar is drawn again whenever
// its thumb moves), freed when the program ends.
HBRUSH ShaftBrush() {
  static const HBRUSH brush = [] {
    std::atexit([] { DeleteObject(ShaftBrush()); });
    static const BYTE bits[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
    HBITMAP bm = CreateBitmap(8, 8, 1, 1, bits);
    HBRUSH b = CreatePatternBrush(bm);
    DeleteObject(bm);
    return b;
  }();
  return brush;
}

// A control asks its parent for the shaft's brush; the standard answer
// keeps the classic look.
HBRUSH ControlShaftBrush(const Window* w, HDC dc) {
  const HWND to = (w->style & WS_CHILD) && w->parent ? w->parent->handle : w->handle;
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageA(to, WM_CTLCOLORSCROLLBAR, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(w->handle)));
  return brush == GetSysColorBrush(COLOR_SCROLLBAR) ? nullptr : brush;
}

}  // namespace

ScrollBarData* BarData(Window* w, int bar) {
  switch (bar) {
    case SB_VERT: return &w->vbar;
    case SB_HORZ: return &w->hbar;
    case SB_CTL: return &w->ctlBar;
    default: return nullptr;
  }
}

bool LayoutOf(const Window* w, int bar, BarLayout& out) {
  if (bar != SB_CTL && !(w->style & StyleOf(bar))) return false;
  const bool vertical = IsVertical(w, bar);
  const ScrollBarData& d = BarOf(w, bar);
  // The bars sit against the client area, where WM_NCCALCSIZE left room; a
  // control's bar is its client area.
  RECT c{w->client.Left - w->window.Left, w->client.Top - w->window.Top, w->client.Right - w->window.Left,
         w->client.Bottom - w->window.Top};
  out = BarLayout{};
  out.vertical = vertical;
  if (bar == SB_CTL) {
    out.bar = c;
    out.length = vertical ? c.Height() : c.Width();
    out.arrow = GetSystemMetrics(vertical ? SM_CYVSCROLL : SM_CXHSCROLL);
  } else if (vertical) {
    // No room inside the frame, no bar.
    if (c.Right + GetSystemMetrics(SM_CXVSCROLL) > w->window.Width() - FrameInsets(w->style, w->exStyle, false).Right)
      return false;
    out.bar = {c.Right, c.Top, c.Right + GetSystemMetrics(SM_CXVSCROLL), c.Bottom};
    out.length = out.bar.Height();
    out.arrow = GetSystemMetrics(SM_CYVSCROLL);
  } else {
    if (c.Bottom + GetSystemMetrics(SM_CYHSCROLL) > w->window.Height() - FrameInsets(w->style, w->exStyle, false).Bottom)
      return false;
    out.bar = {c.Left, c.Bottom, c.Right, c.Bottom + GetSystemMetrics(SM_CYHSCROLL)};
    out.length = out.bar.Width();
    out.arrow = GetSystemMetrics(SM_CXHSCROLL);
  }
  out.length = std::max(out.length, 0);
  out.enabled = d.arrowsDisabled != ESB_DISABLE_BOTH && Scrollable(d) && (bar != SB_CTL || !(w->style & WS_DISABLED));
  // Too short for both arrows: they share the length and there is no thumb.
  if (out.length < 2 * out.arrow) {
    out.arrow = out.length / 2;
    return true;
  }
  int shaft = out.length - 2 * out.arrow;
  if (!out.enabled) return true;
  int thumb = d.page ? std::max(static_cast<int>(ScaleWide(shaft, d.page, Positions(d))), kMinThumb)
                     : GetSystemMetrics(vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
  if (thumb > shaft) return true;
  const long long span = static_cast<long long>(MaxPos(d)) - d.min;
  const int at = d.tracking ? d.trackPos : d.pos;
  const int offset = span > 0 ? static_cast<int>(ScaleWide(static_cast<long long>(at) - d.min, shaft - thumb, span)) : 0;
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

int PositionAtThumb(const Window* w, int bar, const BarLayout& l, int offset) {
  const ScrollBarData& d = BarOf(w, bar);
  int thumb = l.thumbBottom - l.thumbTop;
  int room = l.length - 2 * l.arrow - thumb;
  const long long span = static_cast<long long>(MaxPos(d)) - d.min;
  if (room <= 0 || span <= 0) return d.min;
  int rel = std::clamp(offset - l.arrow, 0, room);
  return static_cast<int>(d.min + ScaleWide(rel, span, room));
}

void DrawScrollBar(const Window* w, HDC dc, int bar, bool arrows) {
  HBRUSH own = nullptr;
  if (bar == SB_CTL) {
    const HWND hwnd = w->handle;
    own = ControlShaftBrush(w, dc);
    if (!Peek(hwnd)) return;
  }
  BarLayout l;
  if (!LayoutOf(w, bar, l) || l.length <= 0) return;
  const bool vertical = l.vertical;
  const ScrollBarData& d = BarOf(w, bar);
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
  if (arrows) {
    RECT a = along(0, l.arrow);
    DrawFrameControl(dc, &a, DFC_SCROLL, up);
    RECT b = along(l.length - l.arrow, l.length);
    DrawFrameControl(dc, &b, DFC_SCROLL, down);
  }
  if (l.length <= 2 * l.arrow) return;
  // The shaft on either side of the thumb (which covers its own part),
  // dark where a page part is held down.
  const bool thumb = l.thumbBottom > l.thumbTop;
  auto shaft = [&](int from, int to, bool pressed) {
    if (from >= to) return;
    RECT r = along(from, to);
    if (pressed || own) {
      FillRect(dc, &r, pressed ? GetSysColorBrush(COLOR_3DDKSHADOW) : own);
      return;
    }
    const COLORREF oldText = SetTextColor(dc, GdiSysColor(COLOR_BTNFACE));
    const COLORREF oldBk = SetBkColor(dc, GdiSysColor(COLOR_BTNHIGHLIGHT));
    FillRect(dc, &r, ShaftBrush());
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
  };
  shaft(l.arrow, thumb ? l.thumbTop : l.length - l.arrow, thumb && d.pressedPart == kPartPageUp);
  if (!thumb) return;
  shaft(l.thumbBottom, l.length - l.arrow, d.pressedPart == kPartPageDown);
  RECT t = along(l.thumbTop, l.thumbBottom);
  DrawEdge(dc, &t, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

void RedrawScrollBar(Window* w, int bar, bool arrows) {
  if (!VisibleChain(w)) return;
  HDC dc = GetWindowDC(w->handle);
  DrawScrollBar(w, dc, bar, arrows);
  ReleaseDC(w->handle, dc);
}

int SetBarInfo(Window* w, int bar, const SCROLLINFO& info, bool redraw) {
  ScrollBarData* d = BarData(w, bar);
  d->made = true;
  const HWND hwnd = w->handle;
  const ScrollBarData was = *d;
  const DWORD styleWas = w->style;
  UINT m = info.fMask;
  if (m & SIF_RANGE) {
    d->min = info.nMin;
    d->max = info.nMax;
  }
  if (m & SIF_PAGE) d->page = info.nPage;
  if (m & SIF_POS) d->pos = info.nPos;
  Clamp(*d);
  int pos = d->pos;
  // A range that fits hides a window's bar (or disables it, on request); a
  // control stays where it is and only disables on request.
  bool shown = bar == SB_CTL || (w->style & StyleOf(bar)) != 0;
  if (m & (SIF_RANGE | SIF_PAGE)) {
    if (!Scrollable(*d)) {
      if (m & SIF_DISABLENOSCROLL) {
        if (!d->arrowsDisabled) d->autoDisabled = true;
        d->arrowsDisabled = ESB_DISABLE_BOTH;
        if (!shown) ShowScrollBar(hwnd, bar, TRUE);
      } else if (shown && bar != SB_CTL) {
        ShowScrollBar(hwnd, bar, FALSE);
      }
    } else {
      if (d->autoDisabled) d->arrowsDisabled = ESB_ENABLE_BOTH;
      d->autoDisabled = false;
      if (!shown) ShowScrollBar(hwnd, bar, TRUE);
    }
  }
  if (!redraw || !(w = Peek(hwnd)) || !(bar == SB_CTL || (w->style & StyleOf(bar)))) return pos;
  // A bar that looks as it did is not drawn again: controls set their bars
  // after every change (an edit after every typed character), and most
  // changes move neither the thumb nor the arrows' state, such as a longer
  // range on a bar that stays disabled.
  if (w->style != styleWas || d->arrowsDisabled != was.arrowsDisabled) {
    RedrawScrollBar(w, bar);
    return pos;
  }
  if (d->min == was.min && d->max == was.max && d->page == was.page && d->pos == was.pos) return pos;
  BarLayout looks, looked;
  const ScrollBarData now = *d;
  *d = was;  // the bar as it was drawn
  const bool hadLook = LayoutOf(w, bar, looked);
  *d = now;
  if (!hadLook || !LayoutOf(w, bar, looks)) {
    RedrawScrollBar(w, bar);
    return pos;
  }
  if (looked == looks) return pos;
  // Where only the thumb moved or grew, the arrows are left as drawn.
  const bool arrowsAlike = looked.bar == looks.bar && looked.vertical == looks.vertical &&
                           looked.length == looks.length && looked.arrow == looks.arrow &&
                           looked.enabled == looks.enabled;
  RedrawScrollBar(w, bar, !arrowsAlike);
  return pos;
}

BOOL GetBarInfo(Window* w, int bar, SCROLLINFO& info) {
  const ScrollBarData& d = BarOf(w, bar);
  if (!(info.fMask & SIF_ALL)) return FALSE;
  if (info.fMask & SIF_RANGE) {
    info.nMin = d.min;
    info.nMax = d.max;
  }
  if (info.fMask & SIF_PAGE) info.nPage = d.page;
  if (info.fMask & SIF_POS) info.nPos = d.pos;
  if (info.fMask & SIF_TRACKPOS) info.nTrackPos = d.tracking ? d.trackPos : d.pos;
  return TRUE;
}

BOOL EnableBarArrows(Window* w, int bar, UINT arrows) {
  ScrollBarData* d = BarData(w, bar);
  d->made = true;
  d->autoDisabled = false;
  if (d->arrowsDisabled == arrows) return FALSE;
  d->arrowsDisabled = arrows;
  if (bar == SB_CTL || (w->style & StyleOf(bar))) RedrawScrollBar(w, bar);
  return TRUE;
}

}  // namespace detail

using namespace detail;

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw) {
  if (IsControlCall(hwnd, bar))
    return static_cast<int>(SendMessageA(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(info)));
  Window* w = Find(hwnd);
  if (!w || !DataOf(w, bar) || !info) {
    if (w) SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return SetBarInfo(w, bar, *info, redraw);
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
  if (IsControlCall(hwnd, bar))
    return static_cast<BOOL>(SendMessageA(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)));
  Window* w = Find(hwnd);
  if (!w || !DataOf(w, bar) || !info || !DataOf(w, bar)->made) return FALSE;
  return GetBarInfo(w, bar, *info);
}

int ThumbPosition(HWND hwnd, int bar, WPARAM wParam) {
  const WORD sent = HIWORD(static_cast<DWORD_PTR>(wParam));
  SCROLLINFO si;
  si.fMask = SIF_TRACKPOS;
  if (GetScrollInfo(hwnd, bar, &si) && static_cast<WORD>(si.nTrackPos & 0xFFFF) == sent) return si.nTrackPos;
  return static_cast<SHORT>(sent);
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  if (IsControlCall(hwnd, bar)) return static_cast<int>(SendMessageA(hwnd, SBM_SETPOS, static_cast<WPARAM>(pos), redraw));
  Window* w = Find(hwnd);
  ScrollBarData* d = w ? DataOf(w, bar) : nullptr;
  if (!d) return 0;
  int old = d->pos;
  SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, pos, 0};
  SetBarInfo(w, bar, si, redraw);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  if (IsControlCall(hwnd, bar)) return static_cast<int>(SendMessageA(hwnd, SBM_GETPOS, 0, 0));
  Window* w = Find(hwnd);
  ScrollBarData* d = w ? DataOf(w, bar) : nullptr;
  return d ? d->pos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw) {
  if (IsControlCall(hwnd, bar)) {
    SendMessageA(hwnd, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(min), max);
    return TRUE;
  }
  Window* w = Find(hwnd);
  if (!w || !DataOf(w, bar)) return FALSE;
  SCROLLINFO si{sizeof si, SIF_RANGE, min, max, 0, 0, 0};
  SetBarInfo(w, bar, si, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max) {
  if (IsControlCall(hwnd, bar)) {
    if (!min || !max) return FALSE;
    SendMessageA(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(min), reinterpret_cast<LPARAM>(max));
    return TRUE;
  }
  Window* w = Find(hwnd);
  ScrollBarData* d = w ? DataOf(w, bar) : nullptr;
  if (!d || !min || !max) return FALSE;
  *min = d->min;
  *max = d->max;
  return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
  Window* w = Find(hwnd);
  if (w && bar == SB_CTL) {
    ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
    return TRUE;
  }
  if (!w || (bar != SB_VERT && bar != SB_HORZ && bar != SB_BOTH)) return FALSE;
  DWORD bits = bar == SB_BOTH ? (WS_VSCROLL | WS_HSCROLL) : StyleOf(bar);
  if (show) {
    if (bits & WS_VSCROLL) w->vbar.made = true;
    if (bits & WS_HSCROLL) w->hbar.made = true;
  }
  DWORD style = show ? (w->style | bits) : (w->style & ~bits);
  if (style == w->style) return TRUE;
  w->style = style;
  FrameChanged(hwnd);
  return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
  if (arrows > ESB_DISABLE_BOTH) return FALSE;
  if (IsControlCall(hwnd, static_cast<int>(bar))) {
    // Both arrows off is the bar window off, and both on is it on again.
    if (arrows == ESB_DISABLE_BOTH || arrows == ESB_ENABLE_BOTH) EnableWindow(hwnd, arrows == ESB_ENABLE_BOTH);
    if (!IsWindow(hwnd)) return FALSE;
    return static_cast<BOOL>(SendMessageA(hwnd, SBM_ENABLE_ARROWS, arrows, 0));
  }
  Window* w = Find(hwnd);
  if (!w || (bar != SB_VERT && bar != SB_HORZ && bar != SB_BOTH)) return FALSE;
  bool changed = false;
  for (int b : {SB_HORZ, SB_VERT}) {
    if (bar != SB_BOTH && static_cast<int>(bar) != b) continue;
    if (EnableBarArrows(w, b, arrows)) changed = true;
  }
  return changed;
}

BOOL GetScrollBarInfo(HWND hwnd, LONG object, SCROLLBARINFO* info) {
  Window* w = Find(hwnd);
  if (!w || !info || info->cbSize != sizeof(SCROLLBARINFO) || (object != OBJID_VSCROLL && object != OBJID_HSCROLL)) {
    if (w) SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const int bar = object == OBJID_VSCROLL ? SB_VERT : SB_HORZ;
  const ScrollBarData& d = BarOf(w, bar);
  BarLayout l;
  DWORD cb = info->cbSize;
  *info = SCROLLBARINFO{};
  info->cbSize = cb;
  if (!LayoutOf(w, bar, l)) {
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
