#include "platform/gdi/SysBitmaps.h"

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/BmpCodec.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Edges.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/SysColors.h"
#include "platform/rtl/Resources.h"

namespace win {

using namespace gdi;

namespace {

HBITMAP MakeCheckBoxes() {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateBitmap(52, 39, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, ToObj(bm));
  RECT all{0, 0, 52, 39};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  // Rows: check boxes, radio buttons, three-state boxes; columns: normal,
  // checked, pushed, pushed and checked.
  const UINT rows[3] = {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO, DFCS_BUTTON3STATE};
  const UINT cols[4] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_PUSHED | DFCS_CHECKED};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) {
      RECT cell{c * 13, r * 13, c * 13 + 13, r * 13 + 13};
      DrawFrameControl(dc, &cell, DFC_BUTTON, rows[r] | cols[c]);
    }
  SelectObject(dc, old);
  DeleteDC(dc);
  return bm;
}

HBITMAP MakeCheck() {
  // White background; the right half carries the mark in black.
  Bitmap* b = NewBitmap(2 * kCheckCell, kCheckCell, 1);
  if (!b) return nullptr;
  for (int y = 0; y < kCheckCell; ++y)
    for (int x = 0; x < 2 * kCheckCell; ++x) WritePixel(b->Surf, x, y, kMonoWhite);
  static const char* const mark[7] = {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."};
  int ox = kCheckCell + (kCheckCell - 7) / 2, oy = (kCheckCell - 7) / 2;
  for (int j = 0; j < 7; ++j)
    for (int i = 0; i < 7; ++i)
      if (mark[j][i] == '#') WritePixel(b->Surf, ox + i, oy + j, 0);
  return reinterpret_cast<HBITMAP>(Register(b));
}

// A program's bitmap: the BMP file embedded as resource "BITMAP" under its
// name, or "#id" for an integer id.
HBITMAP LoadResourceBitmap(LPCSTR name) {
  auto id = reinterpret_cast<std::uintptr_t>(name);
  const TResourceData* data =
      name ? FindResourceData(id <= 0xFFFF ? "#" + std::to_string(id) : AnsiString(name), "BITMAP") : nullptr;
  if (!data) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  try {
    return BmpImageToBitmap(ReadBmp(data->Data, data->Size));
  } catch (const EInvalidGraphic&) {
    SetLastError(ERROR_BAD_FORMAT);
    return nullptr;
  }
}

}  // namespace

HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name) {
  auto id = reinterpret_cast<std::uintptr_t>(name);
  if (instance) return LoadResourceBitmap(name);
  if (id > 0xFFFF) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  switch (int(id)) {
    case OBM_CHECKBOXES: return MakeCheckBoxes();
    case OBM_CHECK: return MakeCheck();
    default:
      SetLastError(ERROR_FILE_NOT_FOUND);
      return nullptr;
  }
}

}  // namespace win
