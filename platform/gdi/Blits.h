// Block transfers between DCs: BitBlt with every ternary raster operation,
// StretchBlt, MaskBlt, TransparentBlt, AlphaBlend, and drawing packed DIBs
// with StretchDIBits and SetDIBitsToDevice.
//
// A monochrome source on a colour destination paints its 0 bits in the
// destination's text colour and its 1 bits in its background colour; a
// colour source on a monochrome destination gives 1 where the pixel equals
// the source DC's background colour.
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace win {

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
                DWORD rop);
BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, HBITMAP mask, int xMask,
             int yMask, DWORD rop4);
BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
                    UINT transparent);
BOOL AlphaBlend(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
                BLENDFUNCTION blend);
int StretchDIBits(HDC dest, int x, int y, int width, int height, int xSrc, int ySrc, int wSrc, int hSrc,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
int SetDIBitsToDevice(HDC dest, int x, int y, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);

}  // namespace win
