// Writing what a DC or bitmap holds as a PNG file, for failed pixel tests
// to leave a picture behind. Uncompressed (stored) deflate blocks keep the
// writer small; the files are for people to look at.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/gdi/GdiTypes.h"

namespace win {

// Rows of pixels as 0x00RRGGBB values, fetched one row at a time, as an
// RGB PNG; false when the size is empty or the file cannot be written. The
// path is a name like any other here (code page 1252); the file is
// replaced whole or not at all.
bool SaveRowsPng(int width, int height, const std::function<void(int y, std::uint32_t* row)>& loadRow,
                 const std::string& path);

// The bitmap's pixels as an RGB PNG; false when the handle is not a bitmap
// or the file cannot be written.
bool SaveBitmapPng(HBITMAP bitmap, const std::string& path);
// The pixels of the bitmap selected into a memory DC.
bool SaveDCPng(HDC hdc, const std::string& path);

}  // namespace win
