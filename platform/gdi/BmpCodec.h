// The BMP format: reading a file (file header and DIB) or a packed DIB of
// any of the usual kinds, and writing uncompressed files. Pictures come
// from data and style files, so the reader trusts nothing: every size,
// offset, colour count and run is checked against the bytes at hand, and
// a bad file raises EInvalidGraphic without reading past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/GdiTypes.h"
#include "platform/rtl/Exceptions.h"

namespace win {

// A decoded picture: top-down pixel values 0xAARRGGBB. Formats without
// alpha leave the alpha byte 0, as drawing does.
struct BmpImage {
  int Width = 0;
  int Height = 0;
  int BitCount = 0;  // the depth the file had
  bool HasAlpha = false;
  std::vector<std::uint32_t> Pixels;
};

// The largest picture the reader accepts, in pixels.
constexpr std::int64_t kBmpMaxPixels = std::int64_t(1) << 26;

BmpImage ReadBmp(const void* data, std::size_t size);
// A packed DIB: header, colour table or masks, then the bits.
BmpImage ReadDib(const void* data, std::size_t size);

// Writes a file of 24 or 32 bits (BI_RGB).
std::vector<std::uint8_t> WriteBmp(const BmpImage& image, int bitCount);
// Writes a bitmap at its own depth: 1 bit for monochrome bitmaps, the DIB
// section's depth and colour table, else 32 bits.
std::vector<std::uint8_t> WriteBmp(HBITMAP bitmap);

// A 32-bit top-down DIB section holding the picture.
HBITMAP BmpImageToBitmap(const BmpImage& image);

}  // namespace win
