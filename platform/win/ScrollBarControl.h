// The "SCROLLBAR" window class: a scroll bar standing on its own as a child
// window. Its client area is one bar, horizontal or (SBS_VERT) vertical,
// drawn and tracked by the same code as a window's standard bars. It
// answers the SBM_* messages, which the SB_CTL forms of the scroll-bar
// calls send it, and tells its parent of the mouse on it with
// WM_HSCROLL/WM_VSCROLL carrying its handle. Its range starts empty
// (0 to 0).
#pragma once

#include "platform/win/Handles.h"

namespace win {

constexpr DWORD SBS_HORZ = 0x0000;
constexpr DWORD SBS_VERT = 0x0001;

namespace detail {
LRESULT ScrollBarControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
}  // namespace detail

}  // namespace win
