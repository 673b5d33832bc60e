// The system bitmaps, synthesised on request: OBM_CHECKBOXES (a 4 x 3 grid
// of 13 x 13 check box and radio glyphs) and OBM_CHECK (a monochrome strip
// two check widths wide whose halves differ exactly on the mark).
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace win {

// Instance 0 with an integer id: a system bitmap. Any other instance: the
// program's embedded BMP resource of that name ("#id" for an integer id).
// Anything else answers null. Each call makes a new bitmap the caller
// deletes.
HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name);
inline HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name) { return LoadBitmapA(instance, name); }
inline LPCSTR MAKEINTRESOURCEA(int id) { return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(id & 0xFFFF)); }

// The size of one check mark cell of OBM_CHECK.
constexpr int kCheckCell = 13;

}  // namespace win
