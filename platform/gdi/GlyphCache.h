// Glyphs of one realised face, cached per 1252 byte: the whole-pixel
// advance (measured once, without rendering) and the coverage bitmap
// (rendered on first draw). A grid repaint draws the same few dozen
// characters hundreds of times; after the first cell every glyph is a table
// read.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace win::gdi {

struct FontFace;

struct Glyph {
  bool Rendered = false;
  int Left = 0;    // from the pen position to the bitmap's left column
  int Top = 0;     // from the baseline up to the bitmap's top row
  int Width = 0;   // bitmap columns
  int Height = 0;  // bitmap rows
  std::uint32_t Offset = 0;  // coverage bytes (0..255, Width per row) in the cache's pool
};

class GlyphCache {
 public:
  explicit GlyphCache(FontFace& face) : Face(face) { Advances.fill(-1); }

  // The advance of a byte in whole pixels.
  int Advance(unsigned char ch) {
    int a = Advances[ch];
    return a >= 0 ? a : MeasureAdvance(ch);
  }
  // The rendered glyph of a byte (rendered now when it is the first use).
  const Glyph& Get(unsigned char ch) {
    const Glyph& g = Glyphs[ch];
    return g.Rendered ? g : Render(ch);
  }
  // The coverage rows of a glyph. Valid until the next Get.
  const std::uint8_t* Bits(const Glyph& g) const { return Pool.data() + g.Offset; }

  // The font's glyph index of a byte (the default glyph, 0, when the font
  // has no glyph for its character).
  unsigned GlyphIndex(unsigned char ch) const;

 private:
  int MeasureAdvance(unsigned char ch);
  const Glyph& Render(unsigned char ch);

  FontFace& Face;
  std::array<int, 256> Advances;
  std::array<Glyph, 256> Glyphs{};
  std::vector<std::uint8_t> Pool;
};

}  // namespace win::gdi
