// Icons made from a colour image and a monochrome mask, drawn masked: the
// mask is ANDed onto the target (1 keeps what is there), then the colour
// image is XORed over it. So a pixel with mask 1 and colour black is
// see-through, one with mask 1 and a colour inverts what is below, and one
// with mask 0 shows its colour.
//
// Icons share the handle type of cursors; the cursor functions take only
// cursors, the icon functions only icons, and GetIconInfo answers for both.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/win/Cursors.h"

namespace win {

constexpr UINT DI_MASK = 0x0001;
constexpr UINT DI_IMAGE = 0x0002;
constexpr UINT DI_NORMAL = DI_MASK | DI_IMAGE;

constexpr DWORD ERROR_INVALID_ICON_HANDLE = 1414;

// Copies the bitmaps (the caller keeps its own). With a colour bitmap the
// icon has its size and the mask must be as wide and at least as high;
// without one the mask holds the AND mask above the XOR mask, so the icon
// is half as high. fIcon and the hot spot are kept for GetIconInfo.
HICON CreateIconIndirect(PICONINFO info);
// Frees an icon made here; FALSE for anything else.
BOOL DestroyIcon(HICON icon);
// Draws the icon's parts chosen by flags stretched to cx x cy (0: the
// icon's own size). step and flicker are accepted and ignored.
BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flicker, UINT flags);
inline BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) {
  return DrawIconEx(hdc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

namespace detail {
// GetIconInfo for icons made here: FALSE (and nothing set) for other
// handles.
BOOL GetCreatedIconInfo(HICON icon, PICONINFO info);
}  // namespace detail

}  // namespace win
