#include "platform/gdi/Bitmaps.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>

#include "platform/gdi/DeviceContext.h"

namespace win::gdi {

namespace {
constexpr std::int64_t kMaxPixels = std::int64_t(1) << 28;  // 1 GiB at 32 bits

void SetMonoColors(Bitmap* b) {
  // Kept for GetDIBits only: the surface itself stays strictly monochrome.
  b->Colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
}

// The sixteen standard colours: the colours of a 4-bit device-dependent
// bitmap's indices, and the table a 4-bit DIB read from a bitmap of another
// depth comes with.
constexpr RGBQUAD kStandard16[16] = {
    {0, 0, 0, 0},       {0, 0, 128, 0},     {0, 128, 0, 0},   {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0},   {128, 128, 0, 0}, {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},     {0, 255, 0, 0},   {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0},   {255, 255, 0, 0}, {255, 255, 255, 0},
};
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
      const bool green6 = Surf.Green6;
      ds.dsBitfields[0] = Surf.Bpp == 32 ? 0x00FF0000 : green6 ? 0xF800 : 0x7C00;
      ds.dsBitfields[1] = Surf.Bpp == 32 ? 0x0000FF00 : green6 ? 0x07E0 : 0x03E0;
      ds.dsBitfields[2] = Surf.Bpp == 32 ? 0x000000FF : 0x001F;
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
  if (width <= 0 || height <= 0 || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32))
    return nullptr;
  if (std::int64_t(width) * height > kMaxPixels) return nullptr;
  Bitmap* b = new Bitmap;
  // Rows are padded to 16 bits, as the platform's device-dependent bitmaps
  // are (a 32-bit row always is).
  std::size_t stride = (std::size_t(width) * std::size_t(bpp) + 15) / 16 * 2;
  b->Storage.Allocate(stride * std::size_t(height));
  b->Surf.Row0 = b->Storage.data();
  b->Surf.Stride = static_cast<std::ptrdiff_t>(stride);
  b->Surf.Width = width;
  b->Surf.Height = height;
  b->Surf.Bpp = bpp;
  if (bpp == 1) SetMonoColors(b);
  if (bpp == 4 || bpp == 8) {
    // The standard colours; an 8-bit bitmap has them first and black after.
    b->Colors.assign(std::begin(kStandard16), std::end(kStandard16));
    b->Colors.resize(std::size_t(1) << bpp, RGBQUAD{0, 0, 0, 0});
    b->Surf.Palette = b->Colors.data();
    b->Surf.PaletteSize = static_cast<int>(b->Colors.size());
  }
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

namespace {

// The channel masks a BI_BITFIELDS DIB may have here: 8-8-8 in 32 bits,
// 5-5-5 or 5-6-5 in 16 (green6 tells which).
bool MasksSupported(int bpp, const DWORD* masks, bool& green6) {
  green6 = false;
  if (bpp == 32) return masks[0] == 0x00FF0000 && masks[1] == 0x0000FF00 && masks[2] == 0x000000FF;
  if (bpp != 16 || masks[2] != 0x001F) return false;
  green6 = masks[0] == 0xF800 && masks[1] == 0x07E0;
  return green6 || (masks[0] == 0x7C00 && masks[1] == 0x03E0);
}

const DWORD kMasks565[3] = {0xF800, 0x07E0, 0x001F};

}  // namespace

bool DibView(const BITMAPINFO* info, const void* bits, std::int64_t rows, Surface& out,
             std::vector<RGBQUAD>& palette) {
  if (!info || !bits) return false;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (!DibHeaderSizeOk(h) || h.biPlanes != 1) return false;
  int bpp = h.biBitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32))) return false;
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
    if (!MasksSupported(bpp, masks, out.Green6)) return false;
  } else {
    out.Green6 = false;
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
  if (bitCount == 15) bitCount = 16;  // 16-bit bitmaps are 5-5-5
  if (planes != 1 || (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
                      bitCount != 32)) {
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
  bool okDepth = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
  // 16 bits are 5-5-5 with BI_RGB; with BI_BITFIELDS the masks say how.
  bool okCompression = h.biCompression == BI_RGB;
  bool green6 = false;
  if (h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32) && DibHeaderSizeOk(h)) {
    DWORD masks[3];
    std::memcpy(masks, reinterpret_cast<const std::uint8_t*>(info) + sizeof(BITMAPINFOHEADER), sizeof masks);
    okCompression = MasksSupported(bpp, masks, green6);
  }
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
  // The memory comes in whole pages, so a write rounded up to one stays in it.
  constexpr std::size_t kPage = 4096;
  b->Storage.Allocate((stride * std::size_t(height) + kPage - 1) / kPage * kPage);
  if (bpp <= 8) {
    std::size_t n = h.biClrUsed && h.biClrUsed < (1u << bpp) ? h.biClrUsed : (std::size_t(1) << bpp);
    const RGBQUAD* colors = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const std::uint8_t*>(info) + h.biSize);
    b->Colors.assign(colors, colors + n);
  }
  Surface& s = b->Surf;
  s.Width = h.biWidth;
  s.Height = static_cast<int>(height);
  s.Bpp = bpp;
  s.Green6 = green6;
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

// The colour table a DIB of `bpp` bits read from the bitmap comes with: the
// bitmap's own table when it has one of that depth, else the depth's
// standard table. Empty when the depth has none, or none can be chosen.
bool DibColorTable(const Bitmap& b, int bpp, std::vector<RGBQUAD>& table) {
  table.clear();
  if (bpp > 8) return true;
  const Surface& s = b.Surf;
  if (s.Palette && s.Bpp == bpp) {
    table.assign(s.Palette, s.Palette + s.PaletteSize);
  } else if (bpp == 1) {
    table = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
  } else if (bpp == 4) {
    table.assign(std::begin(kStandard16), std::end(kStandard16));
  } else {
    return false;  // an 8-bit table only comes from an 8-bit bitmap
  }
  table.resize(std::size_t(1) << bpp, RGBQUAD{0, 0, 0, 0});
  return true;
}

}  // namespace

int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
  Bitmap* b = LookupAs<Bitmap>(hbm);
  if (!b || !LookupDC(hdc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  // The colour table goes after the header, so its size must be one a
  // header can have (up to the largest, 124 bytes).
  constexpr DWORD kLargestHeader = 124;
  if (!info || usage != DIB_RGB_COLORS || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) ||
      info->bmiHeader.biSize > kLargestHeader) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  BITMAPINFOHEADER& h = info->bmiHeader;
  const Surface& s = b->Surf;
  auto* afterHeader = reinterpret_cast<std::uint8_t*>(info) + h.biSize;
  if (h.biBitCount == 0) {
    // Only the header is asked for: the bitmap's own format.
    if (b->IsDib) {
      const DWORD size = h.biSize;
      h = b->DibHeader;
      h.biSize = size;
    } else {
      h.biWidth = s.Width;
      h.biHeight = s.Height;
      h.biPlanes = 1;
      h.biBitCount = static_cast<WORD>(s.Bpp);
      h.biCompression = BI_RGB;
      h.biSizeImage = static_cast<DWORD>(DibStride(s.Width, s.Bpp) * std::size_t(s.Height));
      h.biClrUsed = 0;
    }
    return 1;
  }
  const int bpp = h.biBitCount;
  const bool okDepth = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
  // 16 bits come as 5-5-5 with BI_RGB and as 5-6-5 with BI_BITFIELDS.
  const bool okCompression = h.biCompression == BI_RGB || (h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32));
  std::vector<RGBQUAD> table;
  if (!okDepth || !okCompression || h.biWidth <= 0 || h.biWidth > (1 << 28) || h.biHeight == 0 ||
      h.biHeight == std::numeric_limits<LONG>::min() || !DibColorTable(*b, bpp, table)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::int64_t dibHeight = h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight;
  const std::size_t stride = DibStride(h.biWidth, bpp);
  if (std::int64_t(h.biWidth) * dibHeight > kMaxPixels) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  h.biSizeImage = static_cast<DWORD>(stride * std::size_t(dibHeight));
  if (bpp <= 8) {
    h.biClrUsed = 0;
    std::memcpy(afterHeader, table.data(), table.size() * sizeof(RGBQUAD));
  } else if (h.biCompression == BI_BITFIELDS) {
    const DWORD masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
    std::memcpy(afterHeader, bpp == 16 ? kMasks565 : masks, sizeof masks);
  }
  if (!bits) return 1;
  if (lines == 0) return 1;  // the colour table was all that was wanted
  if (start >= static_cast<UINT>(s.Height)) return 1;

  // The DIB lies over the bitmap from its top-left corner. Scan lines count
  // from the DIB's bottom whichever way up it is stored, and the band is
  // written in the DIB's own row order; a row of the band below the bitmap
  // (a DIB taller than it) is zeros.
  Surface dst{};
  dst.Width = h.biWidth;
  dst.Height = 1;
  dst.Bpp = bpp;
  dst.Green6 = bpp == 16 && h.biCompression == BI_BITFIELDS;
  dst.Stride = static_cast<std::ptrdiff_t>(stride);
  dst.Palette = bpp == 1 ? nullptr : table.empty() ? nullptr : table.data();  // 1 bit: black and white
  dst.PaletteSize = static_cast<int>(table.size());
  const bool sameIndices = bpp <= 8 && s.Palette && s.Bpp == bpp && s.Width == h.biWidth;
  const int w = std::min<int>(s.Width, h.biWidth);
  std::vector<std::uint32_t> row(static_cast<std::size_t>(w));
  const std::int64_t end = std::min<std::int64_t>(std::int64_t(start) + lines, dibHeight);
  int copied = 0;
  for (std::int64_t k = start; k < end; ++k) {
    const std::int64_t y = dibHeight - 1 - k;  // the bitmap row under scan line k
    const std::int64_t slot = h.biHeight < 0 ? end - 1 - k : k - start;
    dst.Row0 = static_cast<std::uint8_t*>(bits) + stride * std::size_t(slot);
    if (y >= s.Height) {
      std::memset(dst.Row0, 0, stride);
      continue;
    }
    if (sameIndices) {
      // The bitmap's own indices, even where its table repeats a colour.
      std::memcpy(dst.Row0, s.Row(static_cast<int>(y)), (std::size_t(w) * std::size_t(bpp) + 7) / 8);
    } else {
      LoadSpan(s, 0, static_cast<int>(y), w, row.data());
      if (bpp == 1 && !s.IsMono())
        for (auto& v : row) v = ColorToMono(PixelToColor(v));
      StoreSpan(dst, 0, 0, w, row.data());
    }
    ++copied;
  }
  return copied;
}

namespace {

// Unpacks 8-bit run-length data of `size` bytes into bottom-up rows of
// `width` pixels: runs of one index, absolute runs, line ends, jumps and the
// end mark. `set` marks the pixels the data gives (those it skips or never
// reaches keep what they had); pixels past the rows are dropped. False when
// the data ends inside an escape.
bool UnpackRle8(const std::uint8_t* data, std::size_t size, int width, int rows, std::vector<std::uint8_t>& out,
                std::vector<bool>& set) {
  if (!size) return false;
  const std::size_t count = std::size_t(width) * std::size_t(rows);
  out.assign(count, 0);
  set.assign(count, false);
  std::int64_t x = 0, y = 0;
  auto put = [&](std::uint8_t index) {
    if (x < width && y < rows) {
      out[std::size_t(y) * std::size_t(width) + std::size_t(x)] = index;
      set[std::size_t(y) * std::size_t(width) + std::size_t(x)] = true;
    }
    ++x;
  };
  std::size_t i = 0;
  while (i + 2 <= size && y < rows) {
    const std::uint8_t n = data[i], c = data[i + 1];
    i += 2;
    if (n) {
      for (int k = 0; k < n; ++k) put(c);
      continue;
    }
    switch (c) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of bitmap
        return true;
      case 2:  // jump right and up
        if (i + 2 > size) return false;
        x += data[i];
        y += data[i + 1];
        i += 2;
        break;
      default:  // c indices follow as they are, padded to an even count
        if (i + c > size) return false;
        for (int k = 0; k < c; ++k) put(data[i + std::size_t(k)]);
        i += (std::size_t(c) + 1) & ~std::size_t(1);
        break;
    }
  }
  return true;
}

// Run-length data describes the whole bitmap whatever band was asked for,
// and draws only the pixels it gives; the answer is its height.
int SetRle8Bits(Bitmap& b, UINT lines, const void* bits, const BITMAPINFO* info) {
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biBitCount != 8 || h.biHeight < 0 || !DibHeaderSizeOk(h) || std::int64_t(h.biWidth) * h.biHeight > kMaxPixels) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (lines == 0) return 0;
  std::vector<std::uint8_t> indices;
  std::vector<bool> set;
  const int rows = static_cast<int>(h.biHeight);
  if (!UnpackRle8(static_cast<const std::uint8_t*>(bits), h.biSizeImage, h.biWidth, rows, indices, set)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::size_t colors = h.biClrUsed && h.biClrUsed < 256 ? h.biClrUsed : 256;
  const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const std::uint8_t*>(info) + h.biSize);
  const Surface& s = b.Surf;
  const int w = std::min(s.Width, static_cast<int>(h.biWidth));
  std::vector<std::uint32_t> row(static_cast<std::size_t>(std::max(w, 0)));
  for (int r = 0; r < rows; ++r) {
    // Row r from the bottom of the DIB lies over the bitmap's row from its top.
    const int y = rows - 1 - r;
    if (y >= s.Height || w <= 0) continue;
    LoadSpan(s, 0, y, w, row.data());
    bool touched = false;
    for (int x = 0; x < w; ++x) {
      const std::size_t i = std::size_t(r) * std::size_t(h.biWidth) + std::size_t(x);
      if (!set[i]) continue;
      const unsigned index = indices[i];
      const RGBQUAD q = index < colors ? table[index] : RGBQUAD{0, 0, 0, 0};
      std::uint32_t v = (std::uint32_t(q.rgbRed) << 16) | (std::uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
      row[std::size_t(x)] = s.IsMono() ? ColorToMono(PixelToColor(v)) : v;
      touched = true;
    }
    if (touched) StoreSpan(s, 0, y, w, row.data());
  }
  return rows;
}

}  // namespace

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
  if (h.biCompression == BI_RLE8) return SetRle8Bits(*b, lines, bits, info);
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
