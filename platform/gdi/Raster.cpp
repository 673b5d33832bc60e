#include "platform/gdi/Raster.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/gdi/SysColors.h"

namespace win::gdi {

void FillPixels(std::uint32_t* d, std::size_t n, std::uint32_t v) {
  if (n < 8) {
    for (std::size_t i = 0; i < n; ++i) d[i] = v;
    return;
  }
#if defined(__SSE2__)
  const __m128i w = _mm_set1_epi32(static_cast<int>(v));
  std::size_t i = 0;
  // Unaligned head, then 64-byte steps.
  _mm_storeu_si128(reinterpret_cast<__m128i*>(d), w);
  std::size_t head = (16 - (reinterpret_cast<std::uintptr_t>(d) & 15)) & 15;
  i = head / 4;
  for (; i + 16 <= n; i += 16) {
    __m128i* p = reinterpret_cast<__m128i*>(d + i);
    _mm_store_si128(p, w);
    _mm_store_si128(p + 1, w);
    _mm_store_si128(p + 2, w);
    _mm_store_si128(p + 3, w);
  }
  for (; i + 4 <= n; i += 4) _mm_store_si128(reinterpret_cast<__m128i*>(d + i), w);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(d + n - 4), w);
#else
  for (std::size_t i = 0; i < n; ++i) d[i] = v;
#endif
}

std::uint32_t ApplyRop3(std::uint8_t rop, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t r = 0;
  if (rop & 0x01) r |= ~(p | s | d);
  if (rop & 0x02) r |= ~(p | s) & d;
  if (rop & 0x04) r |= ~p & s & ~d;
  if (rop & 0x08) r |= ~p & s & d;
  if (rop & 0x10) r |= p & ~(s | d);
  if (rop & 0x20) r |= p & ~s & d;
  if (rop & 0x40) r |= p & s & ~d;
  if (rop & 0x80) r |= p & s & d;
  return r;
}

std::uint32_t DevicePixel(const DC& dc, COLORREF color) {
  color &= 0x00FFFFFF;
  return dc.Surf.IsMono() ? ColorToMono(color) : ColorToPixel(color);
}

void SolidPaint(std::uint32_t pixel, std::uint8_t rop, Paint& paint) {
  paint.Rop = rop;
  paint.Solid = true;
  paint.Color = pixel;
  paint.Tile = nullptr;
  paint.Skip = nullptr;
}

bool BrushPaint(const DC& dc, const Brush* brush, std::uint8_t rop, Paint& paint) {
  paint.Rop = rop;
  paint.Skip = nullptr;
  paint.Tile = nullptr;
  paint.Solid = true;
  if (!brush || brush->Style == BS_NULL) return false;
  paint.OrgX = dc.S.BrushOrg.X + dc.Origin.X;
  paint.OrgY = dc.S.BrushOrg.Y + dc.Origin.Y;
  switch (brush->Style) {
    case BS_HATCHED: {
      const std::uint8_t* bits = HatchBits(brush->Hatch);
      std::uint32_t fg = DevicePixel(dc, brush->Color), bg = DevicePixel(dc, dc.S.BkColor);
      bool transparent = dc.S.BkMode == TRANSPARENT;
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
          bool on = (bits[y] >> (7 - x)) & 1;
          paint.TileBuf[y * 8 + x] = on ? fg : bg;
          paint.SkipBuf[y * 8 + x] = (!on && transparent) ? 1 : 0;
        }
      paint.Solid = false;
      paint.Tile = paint.TileBuf;
      paint.Skip = transparent ? paint.SkipBuf : nullptr;
      paint.TileW = paint.TileH = 8;
      return true;
    }
    case BS_PATTERN: {
      std::size_t n = brush->Pattern.size();
      std::uint32_t* tile = paint.TileBuf;
      if (n > 64) {
        paint.TileBig.resize(n);
        tile = paint.TileBig.data();
      }
      if (brush->PatMono) {
        // Bits of a monochrome pattern take the text colour (0) and the
        // background colour (1).
        std::uint32_t fg = DevicePixel(dc, dc.S.TextColor), bg = DevicePixel(dc, dc.S.BkColor);
        for (std::size_t i = 0; i < n; ++i) tile[i] = brush->Pattern[i] ? bg : fg;
      } else if (dc.Surf.IsMono()) {
        for (std::size_t i = 0; i < n; ++i) tile[i] = ColorToMono(PixelToColor(brush->Pattern[i]));
      } else {
        std::memcpy(tile, brush->Pattern.data(), n * 4);
      }
      paint.Solid = false;
      paint.Tile = tile;
      paint.TileW = brush->PatWidth;
      paint.TileH = brush->PatHeight;
      return true;
    }
    default: {
      COLORREF c = brush->DcBrush ? dc.S.DcBrushColor : brush->CurrentColor();
      paint.Color = DevicePixel(dc, c);
      return true;
    }
  }
}

namespace {

inline int Mod(int a, int m) {
  int r = a % m;
  return r < 0 ? r + m : r;
}

// The general case over a buffer of destination pixels d[0..n) that lie at
// surface x0.. of row y.
void RopBuffer(std::uint32_t* d, int n, int x0, int y, const Paint& p, const std::uint32_t* src) {
  const std::uint8_t rop = p.Rop;
  if (p.Solid) {
    const std::uint32_t pat = p.Color;
    switch (rop) {
      case 0xF0: FillPixels(d, std::size_t(n), pat); return;
      case 0x00: std::fill_n(d, n, 0u); return;
      case 0xFF: std::fill_n(d, n, 0xFFFFFFFFu); return;
      case 0x55: for (int i = 0; i < n; ++i) d[i] = ~d[i]; return;
      case 0x5A: for (int i = 0; i < n; ++i) d[i] ^= pat; return;
      case 0xAA: return;
      default: break;
    }
    // Without a source the source reads as 0: the general case below.
    if (src) {
      switch (rop) {
        case 0xCC: std::memcpy(d, src, std::size_t(n) * 4); return;
        case 0x33: for (int i = 0; i < n; ++i) d[i] = ~src[i]; return;
        case 0x66: for (int i = 0; i < n; ++i) d[i] ^= src[i]; return;
        case 0x88: for (int i = 0; i < n; ++i) d[i] &= src[i]; return;
        case 0xEE: for (int i = 0; i < n; ++i) d[i] |= src[i]; return;
        default: break;
      }
    }
    if (src)
      for (int i = 0; i < n; ++i) d[i] = ApplyRop3(rop, pat, src[i], d[i]);
    else
      for (int i = 0; i < n; ++i) d[i] = ApplyRop3(rop, pat, 0, d[i]);
    return;
  }
  const int tw = p.TileW, th = p.TileH;
  const int ty = Mod(y - p.OrgY, th);
  const std::uint32_t* row = p.Tile + std::size_t(ty) * tw;
  const std::uint8_t* skip = p.Skip ? p.Skip + std::size_t(ty) * tw : nullptr;
  int tx = Mod(x0 - p.OrgX, tw);
  if (rop == 0xF0 && !skip) {  // the pattern as it is: scroll bar tracks, dithered fills
    for (int i = 0; i < n; ++i) {
      d[i] = row[tx];
      if (++tx == tw) tx = 0;
    }
    return;
  }
  for (int i = 0; i < n; ++i) {
    if (!skip || !skip[tx]) d[i] = ApplyRop3(rop, row[tx], src ? src[i] : 0, d[i]);
    if (++tx == tw) tx = 0;
  }
}

}  // namespace

void PaintSpan(const Surface& s, int y, int x0, int x1, const Paint& paint, const std::uint32_t* src) {
  int n = x1 - x0;
  if (n <= 0) return;
  if (s.Bpp == 32) {
    RopBuffer(reinterpret_cast<std::uint32_t*>(s.Row(y)) + x0, n, x0, y, paint, src);
    return;
  }
  thread_local std::vector<std::uint32_t> buf;
  if (buf.size() < std::size_t(n)) buf.resize(std::size_t(n));
  LoadSpan(s, x0, y, n, buf.data());
  RopBuffer(buf.data(), n, x0, y, paint, src);
  StoreSpan(s, x0, y, n, buf.data());
}

void PaintRect(DC& dc, const TRect& rc, const Paint& paint) {
  const Surface& s = dc.Surf;
  if (s.Bpp == 32 && paint.Solid && paint.Rop == 0xF0) {
    const std::uint32_t v = paint.Color;
    ForClipRects(dc.Eff, rc, [&](const TRect& r) {
      for (int y = r.Top; y < r.Bottom; ++y)
        FillPixels(reinterpret_cast<std::uint32_t*>(s.Row(y)) + r.Left, std::size_t(r.Right - r.Left), v);
    });
    return;
  }
  ForClipRects(dc.Eff, rc, [&](const TRect& r) {
    for (int y = r.Top; y < r.Bottom; ++y) PaintSpan(s, y, r.Left, r.Right, paint, nullptr);
  });
}

void PaintClippedSpan(DC& dc, int y, int x0, int x1, const Paint& paint) {
  ForClipSpans(dc.Eff, y, x0, x1, [&](int a, int b) { PaintSpan(dc.Surf, y, a, b, paint, nullptr); });
}

void PaintPixel(DC& dc, int x, int y, const Paint& paint) {
  if (!dc.Eff.Contains(x, y)) return;
  PaintSpan(dc.Surf, y, x, x + 1, paint, nullptr);
}

}  // namespace win::gdi
