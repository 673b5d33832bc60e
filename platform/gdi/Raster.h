// The rasteriser: raster operations on spans of pixels, clipped by the
// DC's effective clip region. Everything here works in surface
// coordinates; the drawing calls translate and then come here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/DeviceContext.h"

namespace win::gdi {

// A ternary raster operation's code byte (bit index = P*4 + S*2 + D).
constexpr std::uint8_t RopByte(DWORD rop) { return std::uint8_t(rop >> 16); }
// The ternary form of a binary (pen) raster operation R2_x.
inline std::uint8_t Rop2ToRop3(int rop2) {
  // Bit (P*4 + S*2 + D) of the ternary code repeats bit (P*2 + D) of the
  // binary table, whatever the source.
  static constexpr std::uint8_t table[16] = {0x00, 0x05, 0x0A, 0x0F, 0x50, 0x55, 0x5A, 0x5F,
                                             0xA0, 0xA5, 0xAA, 0xAF, 0xF0, 0xF5, 0xFA, 0xFF};
  if (rop2 < 1 || rop2 > 16) rop2 = 13;
  return table[rop2 - 1];
}
// Fills n pixels with one value, in wide stores.
void FillPixels(std::uint32_t* d, std::size_t n, std::uint32_t v);
// The result of a ternary raster operation on three pixel values.
std::uint32_t ApplyRop3(std::uint8_t rop, std::uint32_t p, std::uint32_t s, std::uint32_t d);

// What a span is painted with: a pattern (solid colour or brush tile, in
// the destination's pixel domain), the raster operation, and whether the
// operation reads a source.
struct Paint {
  std::uint8_t Rop = 0xF0;
  bool Solid = true;
  std::uint32_t Color = 0;
  const std::uint32_t* Tile = nullptr;  // TileW x TileH pixel values
  const std::uint8_t* Skip = nullptr;   // tile pixels left alone (transparent hatch background)
  int TileW = 0, TileH = 0;
  int OrgX = 0, OrgY = 0;  // surface position of the tile's corner
  std::uint32_t TileBuf[64];
  std::uint8_t SkipBuf[64];
  std::vector<std::uint32_t> TileBig;  // a larger tile (a pen's and a brush's may be in use at once)
};

// Sets up a paint from a brush as the DC realises it (pattern colours from
// the DC's text and background colours, monochrome targets get black or
// white). Answers false for a null brush.
bool BrushPaint(const DC& dc, const Brush* brush, std::uint8_t rop, Paint& paint);
// A paint of one colour (already a pixel value of the target).
void SolidPaint(std::uint32_t pixel, std::uint8_t rop, Paint& paint);
// The pixel value a colour has on the DC's surface.
std::uint32_t DevicePixel(const DC& dc, COLORREF color);

// The pattern's pixel value at a surface position.
inline std::uint32_t PatternPixel(const Paint& p, int x, int y) {
  if (p.Solid) return p.Color;
  int tx = (x - p.OrgX) % p.TileW, ty = (y - p.OrgY) % p.TileH;
  if (tx < 0) tx += p.TileW;
  if (ty < 0) ty += p.TileH;
  return p.Tile[ty * p.TileW + tx];
}

// Paints surface pixels [x0, x1) of row y, unclipped. `src` (or nullptr)
// holds the source pixel values for x0 .. x1 - 1.
void PaintSpan(const Surface& s, int y, int x0, int x1, const Paint& paint, const std::uint32_t* src);

// Calls f(x0, x1) for the parts of row y, [x0, x1), inside the clip.
template <class F>
void ForClipSpans(const Region& clip, int y, int x0, int x1, F&& f) {
  if (y < clip.Bounds.Top || y >= clip.Bounds.Bottom || x0 >= x1) return;
  if (clip.Rects.size() == 1) {
    const TRect& r = clip.Rects[0];
    int a = x0 > r.Left ? x0 : r.Left, b = x1 < r.Right ? x1 : r.Right;
    if (a < b) f(a, b);
    return;
  }
  for (std::size_t i = clip.FirstBandBelow(y); i < clip.Rects.size(); ++i) {
    const TRect& r = clip.Rects[i];
    if (r.Top > y || r.Left >= x1) break;
    int a = x0 > r.Left ? x0 : r.Left, b = x1 < r.Right ? x1 : r.Right;
    if (a < b) f(a, b);
  }
}

// Calls f(rect) for each part of the rectangle inside the clip.
template <class F>
void ForClipRects(const Region& clip, const TRect& rc, F&& f) {
  if (rc.Left >= rc.Right || rc.Top >= rc.Bottom) return;
  for (std::size_t i = clip.FirstBandBelow(rc.Top); i < clip.Rects.size(); ++i) {
    const TRect& r = clip.Rects[i];
    if (r.Top >= rc.Bottom) break;
    if (r.Right <= rc.Left || r.Left >= rc.Right) continue;
    TRect part{r.Left > rc.Left ? r.Left : rc.Left, r.Top > rc.Top ? r.Top : rc.Top,
               r.Right < rc.Right ? r.Right : rc.Right, r.Bottom < rc.Bottom ? r.Bottom : rc.Bottom};
    f(part);
  }
}

// Paints a rectangle (surface coordinates) through the DC's clip.
void PaintRect(DC& dc, const TRect& rc, const Paint& paint);
// Paints a span (surface coordinates) through the DC's clip.
void PaintClippedSpan(DC& dc, int y, int x0, int x1, const Paint& paint);
// Paints one pixel (surface coordinates) through the DC's clip.
void PaintPixel(DC& dc, int x, int y, const Paint& paint);

}  // namespace win::gdi
