// What needs painting, and painting it. Each window keeps an update region
// in client coordinates plus two requests: erase the background and redraw
// the non-client frame. WM_PAINT is made for a window whose region is not
// empty when nothing else is queued; BeginPaint sends WM_NCPAINT and
// WM_ERASEBKGND first when they are due, hands out a DC clipped to the
// update region and validates it.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/win/Handles.h"

namespace win {

constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_INTERNALPAINT = 0x0002;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_VALIDATE = 0x0008;
constexpr UINT RDW_NOINTERNALPAINT = 0x0010;
constexpr UINT RDW_NOERASE = 0x0020;
constexpr UINT RDW_NOCHILDREN = 0x0040;
constexpr UINT RDW_ALLCHILDREN = 0x0080;
constexpr UINT RDW_UPDATENOW = 0x0100;
constexpr UINT RDW_ERASENOW = 0x0200;
constexpr UINT RDW_FRAME = 0x0400;
constexpr UINT RDW_NOFRAME = 0x0800;

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;   // the background still needs erasing (WM_ERASEBKGND answered 0)
  RECT rcPaint{};        // client coordinates: the box of what is being painted
  BOOL fRestore = FALSE;
  BOOL fIncUpdate = FALSE;
  BYTE rgbReserved[32]{};
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

// A null rectangle means the whole client area; a null window every
// top-level window. Children are included when the window lacks
// WS_CLIPCHILDREN (its painting would cover them).
BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND hwnd, LPCRECT rect);
BOOL ValidateRgn(HWND hwnd, HRGN rgn);
// The box of the update region (client coordinates); erase sends the due
// WM_ERASEBKGND now. Answers whether anything needs painting.
BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase);
// Copies the update region into rgn; answers its kind (ERROR for a bad call).
int GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase);
// Sends WM_PAINT at once when the window needs painting.
BOOL UpdateWindow(HWND hwnd);
// rect or rgn (client coordinates) or, with neither, the whole client area.
BOOL RedrawWindow(HWND hwnd, LPCRECT rect, HRGN rgn, UINT flags);

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);

// While a window is locked neither it nor its descendants paint or draw
// through GetDC; unlocking repaints it whole. One window at a time; null
// unlocks.
BOOL LockWindowUpdate(HWND hwnd);

namespace detail {
struct Window;
// The first window in the tree (front to back, parents first) that needs
// painting and may receive it, within the filter (nullptr for all).
Window* NextToPaint(HWND filter);
// May the window paint now (visible, not locked)?
bool Paintable(const Window* w);
// The locked window, if any.
Window* LockedWindow();
// WM_SETREDRAW: off clears WS_VISIBLE (nothing collects or paints), on
// sets it and repaints nothing.
void SetRedraw(Window* w, bool on);
// After a WM_PAINT handler: a frame still due is drawn now (with the
// background, when that is due too).
void PaintDispatched(HWND hwnd);
// The frames and backgrounds due in a window and its visible descendants
// are drawn now, parents first; a child its parent is still to paint over
// waits for its own painting.
void EraseTreeNow(Window* w);
void ResetPaint();
}  // namespace detail

}  // namespace win
