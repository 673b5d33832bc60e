// Rectangle fills and single pixels. Rectangles are half-open: the right
// column and the bottom row are outside.
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace win {

// `brush` may also be a system colour index plus one (COLOR_x + 1).
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC hdc, const RECT* rect);
// Raster operations that use the pattern and the destination only.
BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop);

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color);
// CLR_INVALID outside the surface or the clip.
COLORREF GetPixel(HDC hdc, int x, int y);

}  // namespace win
