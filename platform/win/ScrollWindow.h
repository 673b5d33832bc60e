// Scrolling a window's contents: the pixels that stay visible move, the
// part left behind is invalidated, and the update region already pending
// moves with the contents.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/win/Handles.h"

namespace win {

constexpr UINT SW_SCROLLCHILDREN = 0x0001;
constexpr UINT SW_INVALIDATE = 0x0002;
constexpr UINT SW_ERASE = 0x0004;
constexpr UINT SW_SMOOTHSCROLL = 0x0010;

// scroll: the part that moves (null: the client area); clip: where pixels
// may land (null: the client area). updateRgn and updateRect receive what
// was uncovered (client coordinates). Answers the kind of that region, or
// ERROR.
int ScrollWindowEx(HWND hwnd, int dx, int dy, LPCRECT scroll, LPCRECT clip, HRGN updateRgn, LPRECT updateRect,
                   UINT flags);
// Invalidates and erases what was uncovered; without a scroll rectangle
// the children move along.
BOOL ScrollWindow(HWND hwnd, int dx, int dy, LPCRECT scroll, LPCRECT clip);

}  // namespace win
