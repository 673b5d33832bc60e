#include "platform/win/Icons.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace win {

namespace {

// Icon handles come from a range of their own, far above the cursors'.
constexpr std::uintptr_t kFirstIcon = 0x40000000;

struct Icon {
  BOOL isIcon = TRUE;
  POINT hotSpot{};
  int width = 0;
  int height = 0;
  HBITMAP color = nullptr;  // 32 bits, width x height; null for monochrome icons
  HBITMAP mask = nullptr;   // 1 bit, width x height, or twice as high without colour
};

struct Icons {
  std::map<std::uintptr_t, Icon> all;
  std::uintptr_t next = kFirstIcon;
};

Icons& Table() {
  static Icons icons;
  return icons;
}

Icon* Find(HICON h) {
  auto& all = Table().all;
  auto it = all.find(reinterpret_cast<std::uintptr_t>(h));
  return it == all.end() ? nullptr : &it->second;
}

// A copy of a bitmap's top-left w x h pixels at the given depth, read from
// the pixels themselves: the bitmap may be selected into a DC (a picture's
// canvas holds its handle while it draws) or be of a depth no DC takes, and
// going through a DC of its own would then copy the DC's empty bitmap.
// Colour becomes monochrome as a blit makes it: white is 1, all else 0.
HBITMAP CopyBitmap(HBITMAP from, int w, int h, int bpp) {
  gdi::Bitmap* source = gdi::LookupAs<gdi::Bitmap>(from);
  if (!source) return nullptr;
  HBITMAP to = CreateBitmap(w, h, 1, static_cast<UINT>(bpp), nullptr);
  if (!to) return nullptr;
  const gdi::Surface& src = source->Surf;
  const gdi::Surface& dst = gdi::LookupAs<gdi::Bitmap>(to)->Surf;
  const int cw = std::min(w, src.Width), ch = std::min(h, src.Height);
  std::vector<std::uint32_t> row(static_cast<std::size_t>(std::max(cw, 0)));
  for (int y = 0; y < ch && cw > 0; ++y) {
    gdi::LoadSpan(src, 0, y, cw, row.data());
    if (dst.IsMono() && !src.IsMono())
      for (std::uint32_t& v : row) v = (v & 0xFFFFFF) == 0xFFFFFF ? gdi::kMonoWhite : 0;
    gdi::StoreSpan(dst, 0, y, cw, row.data());
  }
  return to;
}

bool SizeOf(HBITMAP h, BITMAP& bm) { return h && GetObjectA(h, sizeof bm, &bm) == sizeof bm; }

}  // namespace

HICON CreateIconIndirect(PICONINFO info) {
  BITMAP mask{}, color{};
  if (!info || !SizeOf(info->hbmMask, mask) || (info->hbmColor && !SizeOf(info->hbmColor, color))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Icon icon;
  icon.isIcon = info->fIcon;
  icon.hotSpot = POINT{static_cast<Integer>(info->xHotspot), static_cast<Integer>(info->yHotspot)};
  if (info->hbmColor) {
    icon.width = color.bmWidth;
    icon.height = color.bmHeight;
  } else {
    icon.width = mask.bmWidth;
    icon.height = mask.bmHeight / 2;
  }
  if (icon.width <= 0 || icon.height <= 0 || mask.bmWidth != icon.width ||
      mask.bmHeight < (info->hbmColor ? icon.height : icon.height * 2)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  icon.mask = CopyBitmap(info->hbmMask, icon.width, info->hbmColor ? icon.height : icon.height * 2, 1);
  if (info->hbmColor) icon.color = CopyBitmap(info->hbmColor, icon.width, icon.height, 32);
  if (!icon.mask || (info->hbmColor && !icon.color)) {
    if (icon.mask) DeleteObject(icon.mask);
    if (icon.color) DeleteObject(icon.color);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto id = Table().next++;
  Table().all[id] = icon;
  return reinterpret_cast<HICON>(id);
}

BOOL DestroyIcon(HICON h) {
  Icon* icon = Find(h);
  if (!icon) {
    SetLastError(ERROR_INVALID_ICON_HANDLE);
    return FALSE;
  }
  DeleteObject(icon->mask);
  if (icon->color) DeleteObject(icon->color);
  Table().all.erase(reinterpret_cast<std::uintptr_t>(h));
  return TRUE;
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON h, int cx, int cy, UINT, HBRUSH, UINT flags) {
  Icon* icon = Find(h);
  if (!icon) {
    SetLastError(ERROR_INVALID_ICON_HANDLE);
    return FALSE;
  }
  if (cx <= 0) cx = icon->width;
  if (cy <= 0) cy = icon->height;
  HDC src = CreateCompatibleDC(nullptr);
  if (!src) return FALSE;
  // Monochrome masks paint 0 as the target's text colour and 1 as its
  // background colour: black and white here, whatever the target holds.
  COLORREF text = SetTextColor(hdc, RGB(0, 0, 0));
  COLORREF back = SetBkColor(hdc, RGB(255, 255, 255));
  int oldMode = SetStretchBltMode(hdc, COLORONCOLOR);
  HGDIOBJ old = SelectObject(src, ToObj(icon->mask));
  if (flags & DI_MASK) StretchBlt(hdc, x, y, cx, cy, src, 0, 0, icon->width, icon->height, SRCAND);
  if (flags & DI_IMAGE) {
    DWORD rop = flags & DI_MASK ? SRCINVERT : SRCCOPY;
    if (icon->color) {
      SelectObject(src, ToObj(icon->color));
      StretchBlt(hdc, x, y, cx, cy, src, 0, 0, icon->width, icon->height, rop);
    } else {
      StretchBlt(hdc, x, y, cx, cy, src, 0, icon->height, icon->width, icon->height, rop);
    }
  }
  SelectObject(src, old);
  DeleteDC(src);
  SetStretchBltMode(hdc, oldMode);
  SetTextColor(hdc, text);
  SetBkColor(hdc, back);
  return TRUE;
}

namespace detail {

BOOL GetCreatedIconInfo(HICON h, PICONINFO info) {
  Icon* icon = Find(h);
  if (!icon || !info) return FALSE;
  BITMAP mask{};
  SizeOf(icon->mask, mask);
  ICONINFO out{icon->isIcon, DWORD(icon->hotSpot.X), DWORD(icon->hotSpot.Y), nullptr, nullptr};
  out.hbmMask = CopyBitmap(icon->mask, mask.bmWidth, mask.bmHeight, 1);
  if (icon->color) out.hbmColor = CopyBitmap(icon->color, icon->width, icon->height, 32);
  if (!out.hbmMask || (icon->color && !out.hbmColor)) {
    if (out.hbmMask) DeleteObject(out.hbmMask);
    if (out.hbmColor) DeleteObject(out.hbmColor);
    return FALSE;
  }
  *info = out;
  return TRUE;
}

}  // namespace detail

}  // namespace win
