// Shared fixtures for the drawing tests: a memory DC over a fresh 32-bit
// bitmap, pixel read-back, and pictures of small areas as text rows
// ('#' where a pixel has the given colour, '.' elsewhere) so a failure
// shows the shape.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace gdi_test {

using namespace win;

class Canvas {
 public:
  Canvas(int w, int h, COLORREF fill = RGB(255, 255, 255), int bpp = 32) : W(w), H(h) {
    Dc = CreateCompatibleDC(nullptr);
    Bmp = CreateBitmap(w, h, 1, bpp, nullptr);
    Old = SelectObject(Dc, ToObj(Bmp));
    RECT r{0, 0, w, h};
    HBRUSH b = CreateSolidBrush(fill);
    FillRect(Dc, &r, b);
    DeleteObject(b);
  }
  ~Canvas() {
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    DeleteObject(Bmp);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // The colour at a bitmap position, whatever the DC's origins and clip.
  COLORREF At(int x, int y) const {
    auto* bm = gdi::LookupAs<gdi::Bitmap>(Bmp);
    std::uint32_t v = gdi::ReadPixel(bm->Surf, x, y);
    if (bm->Surf.IsMono()) return v ? RGB(255, 255, 255) : 0;
    return gdi::PixelToColor(v) & 0xFFFFFF;
  }
  // Rows of the area [x0, x1) x [y0, y1): '#' = colour c.
  std::vector<std::string> Picture(COLORREF c, int x0, int y0, int x1, int y1) const {
    std::vector<std::string> rows;
    for (int y = y0; y < y1; ++y) {
      std::string s;
      for (int x = x0; x < x1; ++x) s += At(x, y) == c ? '#' : '.';
      rows.push_back(s);
    }
    return rows;
  }
  std::vector<std::string> Picture(COLORREF c) const { return Picture(c, 0, 0, W, H); }
  int Count(COLORREF c) const {
    int n = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) n += At(x, y) == c;
    return n;
  }
  // The bounding box of the pixels of colour c (empty when none).
  RECT Bounds(COLORREF c) const {
    RECT r{W, H, 0, 0};
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (At(x, y) == c) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    if (r.Left >= r.Right) r = {};
    return r;
  }

  int W, H;
  HDC Dc;
  HBITMAP Bmp;
  HGDIOBJ Old;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A tiny deterministic generator so stored checksums never depend on the
// standard library's distributions.
struct Rng {
  std::uint64_t S;
  explicit Rng(std::uint64_t seed) : S(seed * 2862933555777941757ull + 3037000493ull) {}
  std::uint32_t Next() {
    S ^= S << 13;
    S ^= S >> 7;
    S ^= S << 17;
    return std::uint32_t(S >> 16);
  }
  int In(int lo, int hi) { return lo + int(Next() % std::uint32_t(hi - lo + 1)); }
};

}  // namespace gdi_test
