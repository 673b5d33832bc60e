// The standard scroll bars of a window with WS_VSCROLL or WS_HSCROLL: the
// range, page and position they show, their place in the non-client area,
// their classic drawing, and the mouse on them (WM_VSCROLL/WM_HSCROLL with
// auto-repeat while a part is held).
//
// A bar shows while its range is larger than its page. A range that fits
// hides the bar, or with SIF_DISABLENOSCROLL leaves it disabled.
//
// The same code serves the "SCROLLBAR" control (ScrollBarControl.h): SB_CTL
// calls go to the control as SBM_* messages, and it draws and tracks its
// client area as one bar.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/win/Handles.h"

namespace win {

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};
using LPSCROLLINFO = SCROLLINFO*;
using LPCSCROLLINFO = const SCROLLINFO*;

constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

constexpr UINT ESB_ENABLE_BOTH = 0x0000;
constexpr UINT ESB_DISABLE_LTUP = 0x0001;
constexpr UINT ESB_DISABLE_RTDN = 0x0002;
constexpr UINT ESB_DISABLE_BOTH = 0x0003;
constexpr UINT ESB_DISABLE_LEFT = ESB_DISABLE_LTUP;
constexpr UINT ESB_DISABLE_UP = ESB_DISABLE_LTUP;
constexpr UINT ESB_DISABLE_RIGHT = ESB_DISABLE_RTDN;
constexpr UINT ESB_DISABLE_DOWN = ESB_DISABLE_RTDN;

constexpr LONG OBJID_HSCROLL = static_cast<LONG>(0xFFFFFFFA);
constexpr LONG OBJID_VSCROLL = static_cast<LONG>(0xFFFFFFFB);
constexpr LONG OBJID_CLIENT = static_cast<LONG>(0xFFFFFFFC);

constexpr DWORD STATE_SYSTEM_UNAVAILABLE = 0x00000001;
constexpr DWORD STATE_SYSTEM_PRESSED = 0x00000008;
constexpr DWORD STATE_SYSTEM_INVISIBLE = 0x00008000;
constexpr DWORD STATE_SYSTEM_OFFSCREEN = 0x00010000;
constexpr int CCHILDREN_SCROLLBAR = 5;

struct SCROLLBARINFO {
  DWORD cbSize = sizeof(SCROLLBARINFO);
  RECT rcScrollBar{};        // screen coordinates
  int dxyLineButton = 0;     // arrow button length
  int xyThumbTop = 0;        // thumb, from the bar's top (left) edge
  int xyThumbBottom = 0;
  int reserved = 0;
  // The bar, then: line up, page up, thumb, page down, line down.
  DWORD rgstate[CCHILDREN_SCROLLBAR + 1]{};
};

// SB_HORZ, SB_VERT, or SB_CTL with the handle of a "SCROLLBAR" control.
// Answers the position after the change.
int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info);
// Answers the previous position.
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max);
// SB_VERT, SB_HORZ or SB_BOTH; SB_CTL shows or hides the control itself.
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
// Answers FALSE when nothing changed.
BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
BOOL GetScrollBarInfo(HWND hwnd, LONG object, SCROLLBARINFO* info);
// The thumb position a WM_VSCROLL or WM_HSCROLL of the window's own bar
// (SB_VERT, SB_HORZ) means. The message carries its low 16 bits only;
// the bar holds all of them while its thumb is dragged, so when the bar's
// position is one those bits stand for, that is the one meant. Anything
// else is the 16 bits as sent, signed. Whoever sends a thumb message for
// a position past 16 bits puts it in the bar first.
int ThumbPosition(HWND hwnd, int bar, WPARAM wParam);

namespace detail {
struct Window;
struct ScrollBarData;

enum ScrollPart { kPartNone = 0, kPartLineUp = 1, kPartPageUp = 2, kPartThumb = 3, kPartPageDown = 4, kPartLineDown = 5 };

// Where a bar lies (window coordinates) and its parts along its length,
// measured from the bar's top or left edge.
struct BarLayout {
  RECT bar{};
  bool vertical = true;
  int length = 0;      // along the bar
  int arrow = 0;       // each arrow button
  int thumbTop = 0;    // thumb; thumbTop == thumbBottom when it has none
  int thumbBottom = 0;
  bool enabled = true;
  bool operator==(const BarLayout&) const = default;
};

// The data of a bar (SB_HORZ, SB_VERT, or SB_CTL for a control's own),
// or nullptr.
ScrollBarData* BarData(Window* w, int bar);
// False when the window shows no such bar.
bool LayoutOf(const Window* w, int bar, BarLayout& out);
int PartAt(const BarLayout& l, POINT windowPt);
// The position a thumb whose top (left) edge lies at offset stands for.
int PositionAtThumb(const Window* w, int bar, const BarLayout& l, int offset);
// Draws a bar into a DC whose origin is the window's top-left corner; its
// arrow buttons too unless told they are drawn as they stand.
void DrawScrollBar(const Window* w, HDC windowDc, int bar, bool arrows = true);
// Draws one bar again now.
void RedrawScrollBar(Window* w, int bar, bool arrows = true);
// The mouse went down on a bar (screen point): tracks it until released.
// A control's scroll messages go to its parent, with its handle.
void TrackScrollBar(HWND hwnd, int bar, POINT screen);
// The SB_CTL calls, as the control answers its SBM_* messages.
int SetBarInfo(Window* w, int bar, const SCROLLINFO& info, bool redraw);
BOOL GetBarInfo(Window* w, int bar, SCROLLINFO& info);
BOOL EnableBarArrows(Window* w, int bar, UINT arrows);
}  // namespace detail

}  // namespace win
