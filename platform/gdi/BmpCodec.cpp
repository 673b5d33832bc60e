#include "platform/gdi/BmpCodec.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/gdi/Bitmaps.h"

namespace win {

using namespace gdi;

namespace {

[[noreturn]] void Bad(const char* why) { throw EInvalidGraphic("Invalid bitmap: %s", {why}); }

std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
std::int32_t S32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }

struct Channel {
  std::uint32_t Mask = 0;
  int Shift = 0;
  std::uint32_t Max = 0;
  void Set(std::uint32_t mask) {
    Mask = mask;
    Shift = 0;
    Max = 0;
    if (!mask) return;
    while (!((mask >> Shift) & 1)) ++Shift;
    Max = mask >> Shift;
  }
  std::uint32_t Get(std::uint32_t v) const {
    if (!Mask) return 0;
    std::uint64_t c = (v & Mask) >> Shift;
    return std::uint32_t((c * 255 + Max / 2) / Max);
  }
};

// Decodes the DIB whose header starts at `dib` (dibSize bytes from there to
// the end of the data); `bits`, when not null, is where the pixel data
// starts (from the file header's offset), else it follows the colour table.
BmpImage DecodeDib(const std::uint8_t* dib, std::size_t dibSize, const std::uint8_t* bitsStart,
                   const std::uint8_t* end) {
  if (dibSize < 4) Bad("truncated header");
  std::uint32_t hsize = U32(dib);
  if (hsize != 12 && hsize != 40 && hsize != 52 && hsize != 56 && hsize != 108 && hsize != 124)
    Bad("unknown header size");
  if (dibSize < hsize) Bad("truncated header");
  std::int64_t width, height;
  int planes, bpp;
  std::uint32_t compression = BI_RGB, clrUsed = 0;
  bool core = hsize == 12;
  if (core) {
    width = U16(dib + 4);
    height = U16(dib + 6);
    planes = U16(dib + 8);
    bpp = U16(dib + 10);
  } else {
    width = S32(dib + 4);
    height = S32(dib + 8);
    planes = U16(dib + 12);
    bpp = U16(dib + 14);
    compression = U32(dib + 16);
    clrUsed = U32(dib + 32);
  }
  if (planes != 1) Bad("plane count");
  bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0) Bad("size");
  if (width * height > kBmpMaxPixels) Bad("too large");
  switch (bpp) {
    case 1: case 4: case 8: case 24: break;
    case 16: case 32:
      if (core) Bad("bit count");
      break;
    default: Bad("bit count");
  }
  switch (compression) {
    case BI_RGB: break;
    case BI_RLE8: if (bpp != 8 || topDown) Bad("compression"); break;
    case BI_RLE4: if (bpp != 4 || topDown) Bad("compression"); break;
    case BI_BITFIELDS: if (bpp != 16 && bpp != 32) Bad("compression"); break;
    default: Bad("compression");
  }

  const std::uint8_t* p = dib + hsize;
  // Masks: inside a V2+ header, or following a 40-byte header.
  Channel r, g, b, a;
  if (compression == BI_BITFIELDS) {
    const std::uint8_t* m;
    if (hsize >= 52) {
      m = dib + 40;
    } else {
      if (std::size_t(end - p) < 12) Bad("truncated masks");
      m = p;
      p += 12;
    }
    r.Set(U32(m));
    g.Set(U32(m + 4));
    b.Set(U32(m + 8));
    if (hsize >= 56) a.Set(U32(m + 12));
    if (!r.Mask && !g.Mask && !b.Mask) Bad("masks");
  } else if (bpp == 16) {
    r.Set(0x7C00);
    g.Set(0x03E0);
    b.Set(0x001F);
  } else if (bpp == 32) {
    r.Set(0x00FF0000);
    g.Set(0x0000FF00);
    b.Set(0x000000FF);
  }

  // Colour table.
  std::vector<std::uint32_t> palette;
  if (bpp <= 8) {
    std::uint32_t maxColors = 1u << bpp;
    std::uint32_t n = clrUsed ? clrUsed : maxColors;
    if (core) n = maxColors;
    if (n > maxColors) Bad("colour count");
    std::size_t entry = core ? 3 : 4;
    if (std::size_t(end - p) / entry < n) Bad("truncated colour table");
    palette.resize(n);
    for (std::uint32_t i = 0; i < n; ++i, p += entry)
      palette[i] = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
  } else if (clrUsed) {
    // Colour tables of deep formats are hints only; they must still fit.
    if (clrUsed > 256 || std::size_t(end - p) / 4 < clrUsed) Bad("colour count");
    p += std::size_t(clrUsed) * 4;
  }
  if (bitsStart) {
    if (bitsStart < p || bitsStart > end) Bad("pixel offset");
    p = bitsStart;
  }
  const std::size_t avail = std::size_t(end - p);
  const bool runs = compression == BI_RLE8 || compression == BI_RLE4;
  // The picture is allocated only once the file can hold it: every row of
  // uncompressed pixels, or runs enough to paint it. A run paints at most
  // 255 pixels in two bytes; moves and line ends may skip pixels, but a
  // picture far larger than its runs is a file that claims what it is not.
  const std::size_t stride = std::size_t(((width * bpp + 31) / 32) * 4);
  if (!runs && (stride == 0 || avail / stride < std::size_t(height))) Bad("truncated pixel data");
  constexpr std::int64_t kPixelsPerRunByte = 128, kSmallPicture = std::int64_t(1) << 16;
  if (runs && width * height > kSmallPicture && width * height / kPixelsPerRunByte > std::int64_t(avail))
    Bad("runs too short for the picture");

  BmpImage img;
  img.Width = int(width);
  img.Height = int(height);
  img.BitCount = bpp;
  img.Pixels.assign(std::size_t(width) * std::size_t(height), 0);
  auto color = [&](unsigned index) { return index < palette.size() ? palette[index] : 0u; };
  auto rowOf = [&](std::int64_t fileRow) { return topDown ? fileRow : height - 1 - fileRow; };

  if (runs) {
    // Runs: (count, value) pairs; escapes 0 0 end of line, 0 1 end of
    // picture, 0 2 dx dy move, 0 n literal n pixels (padded to a word).
    // Pixels no run reaches keep colour index 0.
    std::fill(img.Pixels.begin(), img.Pixels.end(), color(0));
    std::size_t i = 0;
    std::int64_t x = 0, y = 0;
    const bool four = compression == BI_RLE4;
    auto put = [&](unsigned index) {
      if (x >= width || y >= height) Bad("run outside the picture");
      img.Pixels[std::size_t(rowOf(y)) * std::size_t(width) + std::size_t(x)] = color(index);
      ++x;
    };
    for (;;) {
      if (avail - i < 2) Bad("truncated runs");
      unsigned count = p[i], value = p[i + 1];
      i += 2;
      if (count) {
        if (x + count > width) Bad("run too long");
        for (unsigned k = 0; k < count; ++k) put(four ? ((k & 1) ? (value & 0xF) : (value >> 4)) : value);
        continue;
      }
      if (value == 0) {
        x = 0;
        ++y;
        if (y > height) Bad("too many lines");
      } else if (value == 1) {
        break;
      } else if (value == 2) {
        if (avail - i < 2) Bad("truncated move");
        x += p[i];
        y += p[i + 1];
        i += 2;
        if (x > width || y > height) Bad("move outside the picture");
      } else {
        std::size_t bytes = four ? (value + 1) / 2 : value;
        std::size_t padded = (bytes + 1) & ~std::size_t(1);
        if (avail - i < padded) Bad("truncated literal");
        if (x + value > width) Bad("literal too long");
        for (unsigned k = 0; k < value; ++k) {
          unsigned byte = p[i + (four ? k / 2 : k)];
          put(four ? ((k & 1) ? (byte & 0xF) : (byte >> 4)) : byte);
        }
        i += padded;
      }
    }
    return img;
  }

  bool anyAlpha = false;
  for (std::int64_t fy = 0; fy < height; ++fy) {
    const std::uint8_t* row = p + std::size_t(fy) * stride;
    std::uint32_t* out = &img.Pixels[std::size_t(rowOf(fy)) * std::size_t(width)];
    for (std::int64_t x = 0; x < width; ++x) {
      std::uint32_t v;
      switch (bpp) {
        case 1: v = color((row[x >> 3] >> (7 - (x & 7))) & 1); break;
        case 4: v = color((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF); break;
        case 8: v = color(row[x]); break;
        case 24: v = row[3 * x] | (std::uint32_t(row[3 * x + 1]) << 8) | (std::uint32_t(row[3 * x + 2]) << 16); break;
        case 16: {
          std::uint32_t px = U16(row + 2 * x);
          v = (r.Get(px) << 16) | (g.Get(px) << 8) | b.Get(px) | (a.Get(px) << 24);
          break;
        }
        default: {
          std::uint32_t px = U32(row + 4 * x);
          std::uint32_t alpha = compression == BI_RGB ? px >> 24 : a.Get(px);
          v = (r.Get(px) << 16) | (g.Get(px) << 8) | b.Get(px) | (alpha << 24);
          anyAlpha |= alpha != 0;
          break;
        }
      }
      out[x] = v;
    }
  }
  img.HasAlpha = anyAlpha;
  return img;
}

void Put16(std::vector<std::uint8_t>& o, std::uint32_t v) {
  o.push_back(std::uint8_t(v));
  o.push_back(std::uint8_t(v >> 8));
}
void Put32(std::vector<std::uint8_t>& o, std::uint32_t v) {
  Put16(o, v & 0xFFFF);
  Put16(o, v >> 16);
}

std::vector<std::uint8_t> WriteSurface(const Surface& s, int bpp, const std::vector<RGBQUAD>& palette) {
  std::size_t stride = DibStride(s.Width, bpp);
  std::size_t colors = bpp <= 8 ? palette.size() : 0;
  std::size_t offset = 14 + 40 + colors * 4;
  std::size_t total = offset + stride * std::size_t(s.Height);
  if (total > std::numeric_limits<std::uint32_t>::max()) throw EInvalidGraphic("Bitmap too large to write");
  std::vector<std::uint8_t> o;
  o.reserve(total);
  o.push_back('B');
  o.push_back('M');
  Put32(o, std::uint32_t(total));
  Put32(o, 0);
  Put32(o, std::uint32_t(offset));
  Put32(o, 40);
  Put32(o, std::uint32_t(s.Width));
  Put32(o, std::uint32_t(s.Height));  // bottom-up
  Put16(o, 1);
  Put16(o, std::uint16_t(bpp));
  Put32(o, BI_RGB);
  Put32(o, std::uint32_t(stride * std::size_t(s.Height)));
  Put32(o, 3780);
  Put32(o, 3780);
  Put32(o, std::uint32_t(colors));
  Put32(o, 0);
  for (std::size_t i = 0; i < colors; ++i) {
    o.push_back(palette[i].rgbBlue);
    o.push_back(palette[i].rgbGreen);
    o.push_back(palette[i].rgbRed);
    o.push_back(0);
  }
  std::vector<std::uint32_t> row(std::size_t(s.Width));
  std::vector<std::uint8_t> packed(stride);
  Surface out{};
  out.Row0 = packed.data();
  out.Stride = std::ptrdiff_t(stride);
  out.Width = s.Width;
  out.Height = 1;
  out.Bpp = bpp;
  out.Palette = (bpp <= 8 && s.Bpp == bpp && s.Palette) ? s.Palette : nullptr;
  out.PaletteSize = out.Palette ? s.PaletteSize : 0;
  for (int y = s.Height - 1; y >= 0; --y) {
    std::fill(packed.begin(), packed.end(), 0);
    if (bpp <= 8 && s.Bpp == bpp) {
      // Same depth: copy the indices as they are.
      std::memcpy(packed.data(), s.Row(y), (std::size_t(s.Width) * std::size_t(bpp) + 7) / 8);
    } else {
      LoadSpan(s, 0, y, s.Width, row.data());
      StoreSpan(out, 0, 0, s.Width, row.data());
    }
    o.insert(o.end(), packed.begin(), packed.end());
  }
  return o;
}

}  // namespace

BmpImage ReadDib(const void* data, std::size_t size) {
  if (!data) Bad("no data");
  auto* d = static_cast<const std::uint8_t*>(data);
  return DecodeDib(d, size, nullptr, d + size);
}

BmpImage ReadBmp(const void* data, std::size_t size) {
  if (!data || size < 14 + 12) Bad("truncated file");
  auto* d = static_cast<const std::uint8_t*>(data);
  if (d[0] != 'B' || d[1] != 'M') Bad("not a bitmap");
  std::uint32_t offBits = U32(d + 10);
  if (offBits < 14 + 12 || offBits > size) Bad("pixel offset");
  return DecodeDib(d + 14, size - 14, d + offBits, d + size);
}

std::vector<std::uint8_t> WriteBmp(const BmpImage& image, int bitCount) {
  if ((bitCount != 24 && bitCount != 32) || image.Width <= 0 || image.Height <= 0 ||
      image.Pixels.size() != std::size_t(image.Width) * std::size_t(image.Height))
    throw EInvalidGraphic("Cannot write this bitmap");
  Surface s{};
  s.Row0 = reinterpret_cast<std::uint8_t*>(const_cast<std::uint32_t*>(image.Pixels.data()));
  s.Stride = std::ptrdiff_t(image.Width) * 4;
  s.Width = image.Width;
  s.Height = image.Height;
  s.Bpp = 32;
  return WriteSurface(s, bitCount, {});
}

std::vector<std::uint8_t> WriteBmp(HBITMAP hbm) {
  Bitmap* b = LookupAs<Bitmap>(hbm);
  if (!b) throw EInvalidGraphic("Invalid bitmap handle");
  const Surface& s = b->Surf;
  if (s.IsMono()) return WriteSurface(s, 1, {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}});
  if (s.Bpp <= 8) return WriteSurface(s, s.Bpp, b->Colors);
  return WriteSurface(s, s.Bpp == 24 ? 24 : 32, {});
}

HBITMAP BmpImageToBitmap(const BmpImage& image) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = image.Width;
  bi.bmiHeader.biHeight = -image.Height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP h = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (h && bits) std::memcpy(bits, image.Pixels.data(), image.Pixels.size() * 4);
  return h;
}

}  // namespace win
