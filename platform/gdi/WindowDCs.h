// The DCs the window tier hands out (GetDC, GetWindowDC, BeginPaint): they
// belong to their window until ReleaseDC gives them back, so DeleteDC
// leaves them alone.
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace win {

// Marks a DC as a window's.
void HoldWindowDC(HDC hdc);
// True for a DC a window holds.
bool IsWindowDC(HDC hdc);
// Frees a window's DC once its window has released it.
BOOL ReleaseWindowDC(HDC hdc);

}  // namespace win
