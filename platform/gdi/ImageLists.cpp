#include "platform/gdi/ImageLists.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Recorder.h"
#include "platform/gdi/SysColors.h"

namespace win::gdi {

namespace {

struct ImageList {
  int Cx = 0, Cy = 0;
  UINT Flags = 0;
  int Grow = 4;
  COLORREF Bk = CLR_NONE;
  int Count = 0;
  std::vector<COLORREF> Pixels;     // Count images of Cx * Cy, row by row
  std::vector<std::uint8_t> Mask;   // 1 = transparent
  std::size_t ImageSize() const { return std::size_t(Cx) * std::size_t(Cy); }
};

std::unordered_set<ImageList*>& Live() {
  static std::unordered_set<ImageList*> live;
  return live;
}

ImageList* LookupList(HIMAGELIST h) {
  auto* l = reinterpret_cast<ImageList*>(h);
  if (!l || !Live().count(l)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return l;
}

// Reads the images a bitmap holds into slots starting at `first`; the
// mask comes from a second bitmap, a colour, or nothing (all opaque).
// Answers the number of images read.
int ReadImages(ImageList& l, int first, int maxImages, Bitmap* image, Bitmap* mask, const COLORREF* maskColor) {
  const Surface& s = image->Surf;
  int n = s.Width / l.Cx;
  if (maxImages >= 0 && n > maxImages) n = maxImages;
  if (n <= 0 || s.Height < l.Cy) return 0;
  if (mask && (mask->Surf.Width < n * l.Cx || mask->Surf.Height < l.Cy)) return 0;
  const std::size_t need = std::size_t(first + n) * l.ImageSize();
  if (l.Pixels.size() < need) {
    l.Pixels.resize(need);
    l.Mask.resize(need);
  }
  std::vector<std::uint32_t> row(std::size_t(n) * std::size_t(l.Cx));
  std::vector<std::uint32_t> mrow(row.size());
  const bool masked = l.Flags & ILC_MASK;
  for (int y = 0; y < l.Cy; ++y) {
    LoadSpan(s, 0, y, int(row.size()), row.data());
    if (mask) LoadSpan(mask->Surf, 0, y, int(mrow.size()), mrow.data());
    for (int i = 0; i < n; ++i)
      for (int x = 0; x < l.Cx; ++x) {
        const std::size_t src = std::size_t(i * l.Cx + x);
        const std::size_t dst = std::size_t(first + i) * l.ImageSize() + std::size_t(y * l.Cx + x);
        COLORREF c = s.IsMono() ? (row[src] ? RGB(255, 255, 255) : 0) : PixelToColor(row[src]) & 0xFFFFFF;
        bool transparent = false;
        if (masked && mask) transparent = (mrow[src] & 0xFFFFFF) != 0;
        else if (masked && maskColor) transparent = c == (*maskColor & 0xFFFFFF);
        l.Pixels[dst] = c;
        l.Mask[dst] = transparent ? 1 : 0;
      }
  }
  return n;
}

COLORREF Mix(COLORREF a, COLORREF b, int weightB) {
  auto ch = [&](int shift) {
    int x = int((a >> shift) & 0xFF), y = int((b >> shift) & 0xFF);
    return COLORREF((x * (256 - weightB) + y * weightB) >> 8) << shift;
  };
  return ch(0) | ch(8) | ch(16);
}

// Calls put(surfaceX, surfaceY, image pixel index) for every pixel of the
// drawn part that lies inside the DC's clip.
template <class F>
void ForImagePixels(DC& dc, const ImageList& l, int x, int y, int w, int h, F&& put) {
  const int sx = x + dc.OffX, sy = y + dc.OffY;
  for (int r = 0; r < h; ++r)
    ForClipSpans(dc.Eff, sy + r, sx, sx + w, [&](int a, int b) {
      for (int px = a; px < b; ++px) put(px, sy + r, std::size_t(r * l.Cx + (px - sx)));
    });
}

}  // namespace

}  // namespace win::gdi

namespace win {

using namespace gdi;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
  if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096 || initial < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* l = new ImageList;
  l->Cx = cx;
  l->Cy = cy;
  l->Flags = flags;
  l->Grow = grow > 0 ? grow : 4;
  // The initial count is a hint: room for it is made up to a budget, so
  // that many large images asked for up front (a thousand of 4096 x 4096
  // would be 80 GB) cost nothing until they are added.
  constexpr std::size_t kReservedPixels = std::size_t(1) << 22;
  const std::size_t reserve = std::min(std::size_t(initial) * l->ImageSize(), kReservedPixels);
  l->Pixels.reserve(reserve);
  l->Mask.reserve(reserve);
  Live().insert(l);
  return reinterpret_cast<HIMAGELIST>(l);
}

BOOL ImageList_Destroy(HIMAGELIST himl) {
  ImageList* l = LookupList(himl);
  if (!l) return FALSE;
  Live().erase(l);
  delete l;
  return TRUE;
}

int ImageList_Add(HIMAGELIST himl, HBITMAP image, HBITMAP mask) {
  ImageList* l = LookupList(himl);
  if (!l) return -1;
  Bitmap* bm = LookupAs<Bitmap>(image);
  Bitmap* mk = mask ? LookupAs<Bitmap>(mask) : nullptr;
  if (!bm || (mask && !mk)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return -1;
  }
  int n = ReadImages(*l, l->Count, -1, bm, mk, nullptr);
  if (n == 0) return -1;
  int first = l->Count;
  l->Count += n;
  return first;
}

int ImageList_AddMasked(HIMAGELIST himl, HBITMAP image, COLORREF maskColor) {
  ImageList* l = LookupList(himl);
  if (!l) return -1;
  Bitmap* bm = LookupAs<Bitmap>(image);
  if (!bm) {
    SetLastError(ERROR_INVALID_HANDLE);
    return -1;
  }
  int n = ReadImages(*l, l->Count, -1, bm, nullptr, &maskColor);
  if (n == 0) return -1;
  int first = l->Count;
  l->Count += n;
  return first;
}

BOOL ImageList_Replace(HIMAGELIST himl, int index, HBITMAP image, HBITMAP mask) {
  ImageList* l = LookupList(himl);
  if (!l) return FALSE;
  Bitmap* bm = LookupAs<Bitmap>(image);
  Bitmap* mk = mask ? LookupAs<Bitmap>(mask) : nullptr;
  if (index < 0 || index >= l->Count || !bm || (mask && !mk)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return ReadImages(*l, index, 1, bm, mk, nullptr) == 1 ? TRUE : FALSE;
}

BOOL ImageList_Remove(HIMAGELIST himl, int index) {
  ImageList* l = LookupList(himl);
  if (!l) return FALSE;
  if (index == -1) {
    l->Count = 0;
    l->Pixels.clear();
    l->Mask.clear();
    return TRUE;
  }
  if (index < 0 || index >= l->Count) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto at = std::ptrdiff_t(std::size_t(index) * l->ImageSize());
  const auto size = std::ptrdiff_t(l->ImageSize());
  l->Pixels.erase(l->Pixels.begin() + at, l->Pixels.begin() + at + size);
  l->Mask.erase(l->Mask.begin() + at, l->Mask.begin() + at + size);
  --l->Count;
  return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST himl) {
  ImageList* l = LookupList(himl);
  return l ? l->Count : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy) {
  ImageList* l = LookupList(himl);
  if (!l || !cx || !cy) return FALSE;
  *cx = l->Cx;
  *cy = l->Cy;
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF color) {
  ImageList* l = LookupList(himl);
  if (!l) return CLR_NONE;
  COLORREF old = l->Bk;
  l->Bk = color;
  return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST himl) {
  ImageList* l = LookupList(himl);
  return l ? l->Bk : CLR_NONE;
}

BOOL ImageList_Draw(HIMAGELIST himl, int index, HDC hdc, int x, int y, UINT style) {
  return ImageList_DrawEx(himl, index, hdc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

BOOL ImageList_DrawEx(HIMAGELIST himl, int index, HDC hdc, int x, int y, int dx, int dy, COLORREF bk,
                      COLORREF fg, UINT style) {
  ImageList* l = LookupList(himl);
  if (!l) return FALSE;
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (index < 0 || index >= l->Count) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ORV_GDI_LOG(dc, "ImageList_Draw", "#%d %d,%d style=0x%X", index, x, y, style);
  x = ClampCoord(x), y = ClampCoord(y);  // the image's far edge then stays in range
  const int w = dx > 0 && dx < l->Cx ? dx : l->Cx;
  const int h = dy > 0 && dy < l->Cy ? dy : l->Cy;
  const COLORREF* pixels = l->Pixels.data() + std::size_t(index) * l->ImageSize();
  const std::uint8_t* mask = l->Mask.data() + std::size_t(index) * l->ImageSize();
  const Surface& surf = dc->Surf;

  if (style & ILD_MASK) {
    // The mask itself: white where transparent, black where the image is.
    const std::uint32_t white = DevicePixel(*dc, RGB(255, 255, 255)), black = DevicePixel(*dc, 0);
    ForImagePixels(*dc, *l, x, y, w, h, [&](int px, int py, std::size_t i) {
      WritePixel(surf, px, py, mask[i] ? white : black);
    });
    return TRUE;
  }
  if (bk == CLR_DEFAULT) bk = l->Bk;
  const bool keepBehind = (style & ILD_TRANSPARENT) || bk == CLR_NONE;
  int blend = 0;
  if (style & ILD_BLEND50) blend = 128;
  else if (style & ILD_BLEND25) blend = 64;
  if (fg == CLR_DEFAULT) fg = GdiSysColor(COLOR_HIGHLIGHT);
  if (fg == CLR_NONE) blend = 0;
  ForImagePixels(*dc, *l, x, y, w, h, [&](int px, int py, std::size_t i) {
    if (mask[i]) {
      if (!keepBehind) WritePixel(surf, px, py, DevicePixel(*dc, bk));
      return;
    }
    COLORREF c = pixels[i];
    if (blend) c = Mix(c, fg, blend);
    WritePixel(surf, px, py, DevicePixel(*dc, c));
  });
  return TRUE;
}

BOOL ImageList_DrawDisabled(HIMAGELIST himl, int index, HDC hdc, int x, int y) {
  ImageList* l = LookupList(himl);
  if (!l) return FALSE;
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (index < 0 || index >= l->Count) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ORV_GDI_LOG(dc, "ImageList_DrawDisabled", "#%d %d,%d", index, x, y);
  x = ClampCoord(x), y = ClampCoord(y);
  const COLORREF* pixels = l->Pixels.data() + std::size_t(index) * l->ImageSize();
  const std::uint8_t* mask = l->Mask.data() + std::size_t(index) * l->ImageSize();
  const Surface& surf = dc->Surf;
  // The shape is what a monochrome copy of the image keeps: its opaque
  // pixels that are not white (white parts fall away, as they always
  // have in this look).
  auto inShape = [&](std::size_t i) { return !mask[i] && pixels[i] != RGB(255, 255, 255); };
  const std::uint32_t hi = DevicePixel(*dc, GdiSysColor(COLOR_BTNHIGHLIGHT));
  const std::uint32_t sh = DevicePixel(*dc, GdiSysColor(COLOR_BTNSHADOW));
  ForImagePixels(*dc, *l, x + 1, y + 1, l->Cx, l->Cy, [&](int px, int py, std::size_t i) {
    if (inShape(i)) WritePixel(surf, px, py, hi);
  });
  ForImagePixels(*dc, *l, x, y, l->Cx, l->Cy, [&](int px, int py, std::size_t i) {
    if (inShape(i)) WritePixel(surf, px, py, sh);
  });
  return TRUE;
}

int ImageListLiveCount() { return int(Live().size()); }

}  // namespace win
