#include "platform/gdi/Surface.h"

#include <cstring>

namespace win::gdi {
namespace {

std::uint32_t PaletteColor(const Surface& s, unsigned index) {
  if (!s.Palette || index >= static_cast<unsigned>(s.PaletteSize)) return 0;
  const RGBQUAD& q = s.Palette[index];
  return (std::uint32_t(q.rgbRed) << 16) | (std::uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}

unsigned NearestIndex(const Surface& s, std::uint32_t v) {
  int r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
  unsigned best = 0;
  int bestDist = 1 << 30;
  for (int i = 0; i < s.PaletteSize; ++i) {
    const RGBQUAD& q = s.Palette[i];
    int dr = r - q.rgbRed, dg = g - q.rgbGreen, db = b - q.rgbBlue;
    int d = dr * dr + dg * dg + db * db;
    if (d < bestDist) {
      bestDist = d;
      best = static_cast<unsigned>(i);
      if (d == 0) break;
    }
  }
  return best;
}

}  // namespace

void LoadSpan(const Surface& s, int x, int y, int n, std::uint32_t* out) {
  const std::uint8_t* row = s.Row(y);
  switch (s.Bpp) {
    case 32:
      std::memcpy(out, row + 4 * x, 4 * std::size_t(n));
      break;
    case 24:
      for (int i = 0; i < n; ++i) {
        const std::uint8_t* p = row + 3 * (x + i);
        out[i] = p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
      }
      break;
    case 16:
      // 5 bits per channel (green 6 in 5-6-5); each widened by repeating
      // its top bits.
      for (int i = 0; i < n; ++i) {
        const std::uint8_t* p = row + 2 * (x + i);
        unsigned v = p[0] | (unsigned(p[1]) << 8);
        unsigned r, g, b = v & 0x1F;
        if (s.Green6) {
          r = (v >> 11) & 0x1F;
          g = (v >> 5) & 0x3F;
          g = (g << 2) | (g >> 4);
        } else {
          r = (v >> 10) & 0x1F;
          g = (v >> 5) & 0x1F;
          g = (g << 3) | (g >> 2);
        }
        out[i] = (((r << 3) | (r >> 2)) << 16) | (g << 8) | ((b << 3) | (b >> 2));
      }
      break;
    case 8:
      for (int i = 0; i < n; ++i) out[i] = PaletteColor(s, row[x + i]);
      break;
    case 4:
      for (int i = 0; i < n; ++i) {
        int px = x + i;
        unsigned v = (row[px >> 1] >> ((px & 1) ? 0 : 4)) & 0xF;
        out[i] = PaletteColor(s, v);
      }
      break;
    case 1:
      if (s.Palette) {
        for (int i = 0; i < n; ++i) {
          int px = x + i;
          out[i] = PaletteColor(s, (row[px >> 3] >> (7 - (px & 7))) & 1);
        }
      } else {
        for (int i = 0; i < n; ++i) {
          int px = x + i;
          out[i] = (row[px >> 3] & (0x80 >> (px & 7))) ? kMonoWhite : 0;
        }
      }
      break;
    default:
      std::memset(out, 0, 4 * std::size_t(n));
  }
}

void StoreSpan(const Surface& s, int x, int y, int n, const std::uint32_t* in) {
  std::uint8_t* row = s.Row(y);
  switch (s.Bpp) {
    case 32:
      std::memcpy(row + 4 * x, in, 4 * std::size_t(n));
      break;
    case 24:
      for (int i = 0; i < n; ++i) {
        std::uint8_t* p = row + 3 * (x + i);
        p[0] = std::uint8_t(in[i]);
        p[1] = std::uint8_t(in[i] >> 8);
        p[2] = std::uint8_t(in[i] >> 16);
      }
      break;
    case 16:
      for (int i = 0; i < n; ++i) {
        std::uint32_t c = in[i];
        unsigned v = s.Green6 ? ((c >> 19) & 0x1F) << 11 | ((c >> 10) & 0x3F) << 5 | ((c >> 3) & 0x1F)
                              : ((c >> 19) & 0x1F) << 10 | ((c >> 11) & 0x1F) << 5 | ((c >> 3) & 0x1F);
        row[2 * (x + i)] = std::uint8_t(v);
        row[2 * (x + i) + 1] = std::uint8_t(v >> 8);
      }
      break;
    case 8:
      for (int i = 0; i < n; ++i) row[x + i] = std::uint8_t(NearestIndex(s, in[i]));
      break;
    case 4:
      for (int i = 0; i < n; ++i) {
        int px = x + i;
        unsigned v = NearestIndex(s, in[i]) & 0xF;
        std::uint8_t& b = row[px >> 1];
        b = (px & 1) ? std::uint8_t((b & 0xF0) | v) : std::uint8_t((b & 0x0F) | (v << 4));
      }
      break;
    case 1:
      for (int i = 0; i < n; ++i) {
        int px = x + i;
        std::uint8_t mask = std::uint8_t(0x80 >> (px & 7));
        bool set = s.Palette ? NearestIndex(s, in[i]) != 0 : (in[i] & 1) != 0;
        if (set) row[px >> 3] |= mask;
        else row[px >> 3] &= std::uint8_t(~mask);
      }
      break;
    default:
      break;
  }
}

}  // namespace win::gdi
