// What needs painting. Each window keeps the bounding box of its invalid
// client area; WM_PAINT is made for it when nothing else is queued. The
// drawing tier's BeginPaint/EndPaint validate through ValidateRect, and a
// later tier may replace the box with a true region behind this interface.
#pragma once

#include "platform/win/Handles.h"

namespace win {

// A null rectangle means the whole client area.
BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, LPCRECT rect);
// Copies the box to rect (client coordinates) and answers whether any.
BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase);
// Sends WM_PAINT at once when the window needs painting.
BOOL UpdateWindow(HWND hwnd);

namespace detail {
struct Window;
// Takes and clears the erase request of a window (for BeginPaint).
bool TakeErase(HWND hwnd);
// The first window in the tree (front to back, parents first) that needs
// painting and may receive it, within the filter (nullptr for all).
Window* NextToPaint(HWND filter);
}  // namespace detail

}  // namespace win
