// Size, position, z-order and showing of windows, and the coordinate
// arithmetic between screen, window and client space.
#pragma once

#include "platform/win/WindowStyles.h"

namespace win {

// Answers whether the window was visible before.
BOOL ShowWindow(HWND hwnd, int cmdShow);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL BringWindowToTop(HWND hwnd);

BOOL GetWindowRect(HWND hwnd, LPRECT rect);   // screen coordinates
BOOL GetClientRect(HWND hwnd, LPRECT rect);   // origin 0,0
BOOL ClientToScreen(HWND hwnd, LPPOINT pt);
BOOL ScreenToClient(HWND hwnd, LPPOINT pt);
// Answers the offset packed as MAKELONG(dx, dy); 0 for a null window means screen.
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
inline BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }

HWND WindowFromPoint(POINT pt);
HWND ChildWindowFromPoint(HWND parent, POINT pt);              // client coordinates of parent
HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags);

}  // namespace win
