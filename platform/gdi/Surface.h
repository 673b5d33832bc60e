// Pixel storage of bitmaps and window surfaces, and the pixel values the
// rasteriser works in. Colour surfaces hold 32-bit B, G, R, A pixels; a
// pixel value is the little-endian word 0xAARRGGBB. Monochrome surfaces
// hold one bit per pixel, most significant bit first; the rasteriser sees
// their pixels as 0 (bit clear) or 0x00FFFFFF (bit set). DIB sections of
// 4, 8 and 24 bits (and 16-bit DIB rows, 5-5-5 or 5-6-5) keep their own
// layout and are read and written through conversions.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gdi/GdiTypes.h"

namespace win::gdi {

struct Surface {
  std::uint8_t* Row0 = nullptr;  // first (top) row
  std::ptrdiff_t Stride = 0;     // bytes from a row to the one below (negative when stored bottom-up)
  int Width = 0;
  int Height = 0;
  int Bpp = 32;  // 1, 4, 8, 16, 24 or 32
  bool Green6 = false;  // 16 bits as 5-6-5 (six bits of green) rather than 5-5-5
  const RGBQUAD* Palette = nullptr;
  int PaletteSize = 0;

  std::uint8_t* Row(int y) const { return Row0 + Stride * y; }
  // A monochrome surface in the strict sense: one bit per pixel and no
  // colour table (a 1-bit DIB section has one and behaves as a palette
  // surface).
  bool IsMono() const { return Bpp == 1 && !Palette; }
};

constexpr std::uint32_t kMonoWhite = 0x00FFFFFF;

constexpr std::uint32_t ColorToPixel(COLORREF c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr COLORREF PixelToColor(std::uint32_t p) {
  return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}
// The monochrome pixel a colour becomes when drawn on a monochrome
// surface: the nearer of black and white.
constexpr std::uint32_t ColorToMono(COLORREF c) {
  unsigned sum = GetRValue(c) * 30u + GetGValue(c) * 59u + GetBValue(c) * 11u;
  return sum >= 128u * 100u ? kMonoWhite : 0u;
}

// Reads pixels [x, x + n) of row y as pixel values (monochrome as 0 or
// kMonoWhite, palette formats through the palette).
void LoadSpan(const Surface& s, int x, int y, int n, std::uint32_t* out);
// Writes pixel values back (monochrome: bit 0 of the value; palette
// formats: the nearest palette entry).
void StoreSpan(const Surface& s, int x, int y, int n, const std::uint32_t* in);

inline std::uint32_t ReadPixel(const Surface& s, int x, int y) {
  if (s.Bpp == 32) return reinterpret_cast<const std::uint32_t*>(s.Row(y))[x];
  std::uint32_t v;
  LoadSpan(s, x, y, 1, &v);
  return v;
}
inline void WritePixel(const Surface& s, int x, int y, std::uint32_t v) {
  if (s.Bpp == 32) {
    reinterpret_cast<std::uint32_t*>(s.Row(y))[x] = v;
    return;
  }
  StoreSpan(s, x, y, 1, &v);
}

}  // namespace win::gdi
