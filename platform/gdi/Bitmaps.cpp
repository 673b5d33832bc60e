#include "platform/gdi/Bitmaps.h"

#include <cstring>
#include <limits>

#include "platform/gdi/DeviceContext.h"

namespace win::gdi {

namespace {
constexpr std::int64_t kMaxPixels = std::int64_t(1) << 28;  // 1 GiB at 32 bits

void SetMonoColors(Bitmap* b) {
  // Kept for GetDIBits only: the surface itself stays strictly monochrome.
  b->Colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
}
}  // namespace

int Bitmap::Describe(int size, void* buffer) const {
  BITMAP bm{};
  bm.bmType = 0;
  bm.bmWidth = Surf.Width;
  bm.bmHeight = Surf.Height;
  bm.bmWidthBytes = static_cast<LONG>(Surf.Stride < 0 ? -Surf.Stride : Surf.Stride);
  bm.bmPlanes = 1;
  bm.bmBitsPixel = static_cast<WORD>(Surf.Bpp);
  bm.bmBits = IsDib ? const_cast<std::uint8_t*>(Storage.data()) : nullptr;
  if (IsDib && size >= static_cast<int>(sizeof(DIBSECTION))) {
    if (!buffer) return sizeof(DIBSECTION);
    DIBSECTION ds{};
    ds.dsBm = bm;
    ds.dsBmih = DibHeader;
    if (DibHeader.biCompression == BI_BITFIELDS) {
      ds.dsBitfields[0] = 0x00FF0000;
      ds.dsBitfields[1] = 0x0000FF00;
      ds.dsBitfields[2] = 0x000000FF;
    }
    std::memcpy(buffer, &ds, sizeof ds);
    return sizeof(DIBSECTION);
  }
  if (!buffer) return sizeof(BITMAP);
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  std::memcpy(buffer, &bm, sizeof bm);
  return sizeof(BITMAP);
}

std::size_t DibStride(std::int64_t width, int bpp) {
  if (width <= 0 || width > (std::int64_t(1) << 28)) return 0;
  return static_cast<std::size_t>(((width * bpp + 31) / 32) * 4);
}

Bitmap* NewBitmap(int width, int height, int bpp) {
  if (width <= 0 || height <= 0 || (bpp != 1 && bpp != 32)) return nullptr;
  if (std::int64_t(width) * height > kMaxPixels) return nullptr;
  Bitmap* b = new Bitmap;
  // Monochrome rows are padded to 16 bits, as the platform's bitmaps are.
  std::size_t stride = bpp == 1 ? std::size_t((width + 15) / 16) * 2 : std::size_t(width) * 4;
  b->Storage.assign(stride * std::size_t(height), 0);
  b->Surf.Row0 = b->Storage.data();
  b->Surf.Stride = static_cast<std::ptrdiff_t>(stride);
  b->Surf.Width = width;
  b->Surf.Height = height;
  b->Surf.Bpp = bpp;
  if (bpp == 1) SetMonoColors(b);
  return b;
}

GdiObject* DefaultBitmap() {
  static Bitmap* def = nullptr;
  if (!def) {
    def = NewBitmap(1, 1, 1);
    def->Stock = true;
    Register(def);
  }
  return def;
}

bool DibHeaderSizeOk(const BITMAPINFOHEADER& h) {
  // The header grew over time; its size says which one the caller wrote, and
  // nothing past the largest is ever read.
  constexpr DWORD kLargestHeader = 124;
  return h.biSize >= sizeof(BITMAPINFOHEADER) && h.biSize <= kLargestHeader;
}

bool DibView(const BITMAPINFO* info, const void* bits, std::int64_t rows, Surface& out,
             std::vector<RGBQUAD>& palette) {
  if (!info || !bits) return false;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (!DibHeaderSizeOk(h) || h.biPlanes != 1) return false;
  int bpp = h.biBitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
  if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && bpp == 32)) return false;
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == std::numeric_limits<LONG>::min()) return false;
  if (rows <= 0) return false;
  if (std::int64_t(h.biWidth) * rows > kMaxPixels) return false;
  std::size_t stride = DibStride(h.biWidth, bpp);
  if (!stride) return false;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(info);
  palette.clear();
  if (bpp <= 8) {
    std::size_t n = h.biClrUsed ? h.biClrUsed : (std::size_t(1) << bpp);
    if (n > (std::size_t(1) << bpp)) n = std::size_t(1) << bpp;
    const auto* colors = reinterpret_cast<const RGBQUAD*>(bytes + h.biSize);
    palette.assign(colors, colors + n);
  }
  if (h.biCompression == BI_BITFIELDS) {
    // Masks follow the smallest header, or sit inside the larger ones at the
    // same offset.
    DWORD masks[3];
    std::memcpy(masks, bytes + sizeof(BITMAPINFOHEADER), sizeof masks);
    if (masks[0] != 0x00FF0000 || masks[1] != 0x0000FF00 || masks[2] != 0x000000FF) return false;
  }
  std::int64_t height = rows;
  auto* base = const_cast<std::uint8_t*>(static_cast<const std::uint8_t*>(bits));
  out.Width = h.biWidth;
  out.Height = static_cast<int>(height);
  out.Bpp = bpp;
  if (h.biHeight < 0) {
    out.Row0 = base;
    out.Stride = static_cast<std::ptrdiff_t>(stride);
  } else {
    out.Row0 = base + stride * std::size_t(height - 1);
    out.Stride = -static_cast<std::ptrdiff_t>(stride);
  }
  out.Palette = palette.empty() ? nullptr : palette.data();
  out.PaletteSize = static_cast<int>(palette.size());
  return true;
}

}  // namespace win::gdi

namespace win {

using namespace gdi;

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits) {
  if (planes != 1 || (bitCount != 1 && bitCount != 32)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // A zero-sized request answers the default 1 x 1 monochrome bitmap.
  if (width == 0 || height == 0) return reinterpret_cast<HBITMAP>(DefaultBitmap()->Handle);
  Bitmap* b = NewBitmap(width, height, static_cast<int>(bitCount));
  if (!b) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (bits) std::memcpy(b->Storage.data(), bits, b->Storage.size());
  return reinterpret_cast<HBITMAP>(Register(b));
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (width == 0 || height == 0) return reinterpret_cast<HBITMAP>(DefaultBitmap()->Handle);
  Bitmap* b = NewBitmap(width, height, dc->Surf.IsMono() ? 1 : 32);
  if (!b) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return reinterpret_cast<HBITMAP>(Register(b));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
  if (bits) *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const BITMAPINFOHEADER& h = info->bmiHeader;
  int bpp = h.biBitCount;
  bool okDepth = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32;
  bool okCompression = h.biCompression == BI_RGB || (h.biCompression == BI_BITFIELDS && bpp == 32);
  if (!DibHeaderSizeOk(h) || h.biPlanes != 1 || !okDepth || !okCompression || h.biWidth <= 0 ||
      h.biHeight == 0 || h.biHeight == std::numeric_limits<LONG>::min()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::int64_t height = h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight;
  if (std::int64_t(h.biWidth) * height > kMaxPixels) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::size_t stride = DibStride(h.biWidth, bpp);
  Bitmap* b = new Bitmap;
  b->IsDib = true;
  b->DibHeader = h;
  b->DibHeader.biSize = sizeof(BITMAPINFOHEADER);
  b->DibHeader.biSizeImage = static_cast<DWORD>(stride * std::size_t(height));
  b->Storage.assign(stride * std::size_t(height), 0);
  if (bpp <= 8) {
    std::size_t n = h.biClrUsed && h.biClrUsed < (1u << bpp) ? h.biClrUsed : (std::size_t(1) << bpp);
    const RGBQUAD* colors = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const std::uint8_t*>(info) + h.biSize);
    b->Colors.assign(colors, colors + n);
  }
  Surface& s = b->Surf;
  s.Width = h.biWidth;
  s.Height = static_cast<int>(height);
  s.Bpp = bpp;
  if (h.biHeight < 0) {
    s.Row0 = b->Storage.data();
    s.Stride = static_cast<std::ptrdiff_t>(stride);
  } else {
    s.Row0 = b->Storage.data() + stride * std::size_t(height - 1);
    s.Stride = -static_cast<std::ptrdiff_t>(stride);
  }
  s.Palette = b->Colors.empty() ? nullptr : b->Colors.data();
  s.PaletteSize = static_cast<int>(b->Colors.size());
  if (bits) *bits = b->Storage.data();
  return reinterpret_cast<HBITMAP>(Register(b));
}

namespace {

// Fills a colour table for a DIB of bpp bits read from the bitmap.
void WriteColorTable(const Bitmap& b, BITMAPINFO* info, int bpp) {
  RGBQUAD* out = info->bmiColors;
  int n = 1 << bpp;
  for (int i = 0; i < n; ++i) out[i] = RGBQUAD{0, 0, 0, 0};
  if (b.Surf.Palette && b.Surf.Bpp == bpp) {
    for (int i = 0; i < b.Surf.PaletteSize && i < n; ++i) out[i] = b.Surf.Palette[i];
  } else if (bpp == 1) {
    out[1] = RGBQUAD{255, 255, 255, 0};
  }
}

}  // namespace

int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
  Bitmap* b = LookupAs<Bitmap>(hbm);
  if (!b || !LookupDC(hdc) || !info || usage != DIB_RGB_COLORS ||
      info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) {
    SetLastError(b ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return 0;
  }
  BITMAPINFOHEADER& h = info->bmiHeader;
  const Surface& s = b->Surf;
  if (!bits && h.biBitCount == 0) {
    // Only the header is asked for.
    h.biWidth = s.Width;
    h.biHeight = s.Height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(s.Bpp);
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(DibStride(s.Width, s.Bpp) * std::size_t(s.Height));
    h.biClrUsed = 0;
    return 1;
  }
  int bpp = h.biBitCount;
  if ((bpp != 1 && bpp != 24 && bpp != 32) || h.biCompression != BI_RGB || h.biWidth != s.Width ||
      h.biHeight == 0 || h.biHeight == std::numeric_limits<LONG>::min()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (bpp == 1) WriteColorTable(*b, info, 1);
  if (!bits) return static_cast<int>(s.Height);
  bool topDown = h.biHeight < 0;
  std::int64_t height = topDown ? -std::int64_t(h.biHeight) : h.biHeight;
  if (height != s.Height || start >= static_cast<UINT>(s.Height)) return 0;
  UINT count = lines;
  if (count > static_cast<UINT>(s.Height) - start) count = static_cast<UINT>(s.Height) - start;
  std::size_t stride = DibStride(s.Width, bpp);
  Surface dst{};
  dst.Width = s.Width;
  dst.Height = static_cast<int>(count);
  dst.Bpp = bpp;
  dst.Stride = static_cast<std::ptrdiff_t>(stride);
  dst.Row0 = static_cast<std::uint8_t*>(bits);
  std::vector<std::uint32_t> row(std::size_t(s.Width));
  for (UINT i = 0; i < count; ++i) {
    // Scan line start + i counts from the bottom for a bottom-up request.
    UINT line = start + i;
    int srcY = topDown ? static_cast<int>(line) : s.Height - 1 - static_cast<int>(line);
    LoadSpan(s, 0, srcY, s.Width, row.data());
    if (bpp == 1 && !s.IsMono())
      for (auto& v : row) v = ColorToMono(PixelToColor(v));
    if (bpp == 32 && s.IsMono())
      for (auto& v : row) v &= 0xFFFFFF;
    int dstY = static_cast<int>(i);
    StoreSpan(dst, 0, dstY, s.Width, row.data());
  }
  return static_cast<int>(count);
}

int SetDIBits(HDC, HBITMAP hbm, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
  Bitmap* b = LookupAs<Bitmap>(hbm);
  if (!b || !bits || !info || usage != DIB_RGB_COLORS) {
    SetLastError(b ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return 0;
  }
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biHeight == 0 || h.biHeight == std::numeric_limits<LONG>::min() || h.biWidth <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::int64_t fullHeight = h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight;
  if (start >= fullHeight) return 0;
  std::int64_t count = std::min<std::int64_t>(lines, fullHeight - start);
  // The caller's buffer holds `count` rows starting at scan line `start`.
  Surface src{};
  std::vector<RGBQUAD> palette;
  if (!DibView(info, bits, count, src, palette)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const Surface& s = b->Surf;
  int w = std::min(s.Width, src.Width);
  std::vector<std::uint32_t> row(std::size_t(src.Width));
  for (std::int64_t i = 0; i < count; ++i) {
    // Row i of the view is scan line start + i from the top for a top-down
    // DIB, from the bottom otherwise.
    std::int64_t line = h.biHeight < 0 ? start + i : start + (count - 1 - i);
    std::int64_t dstY = h.biHeight < 0 ? line : fullHeight - 1 - line;
    if (dstY < 0 || dstY >= s.Height) continue;
    LoadSpan(src, 0, static_cast<int>(i), src.Width, row.data());
    if (s.IsMono() && src.Bpp != 1)
      for (auto& v : row) v = ColorToMono(PixelToColor(v));
    StoreSpan(s, 0, static_cast<int>(dstY), w, row.data());
  }
  return static_cast<int>(count);
}

BOOL GetBitmapDimensionEx(HBITMAP hbm, SIZE* size) {
  if (!LookupAs<Bitmap>(hbm) || !size) return FALSE;
  *size = {0, 0};
  return TRUE;
}

}  // namespace win
