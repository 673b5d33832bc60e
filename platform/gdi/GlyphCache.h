// Glyphs of one realised face, cached per 1252 byte: the whole-pixel
// advance (measured once, without rendering) and the coverage bitmap
// (rendered on first draw). A grid repaint draws the same few dozen
// characters hundreds of times; after the first cell every glyph is a table
// read.
#pragma once

#include <array>
#include <cstddef>
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

// Where a glyph's ink can lie, from the pen position (x rightwards, y
// downwards): at least the rendered bitmap's box, known before rendering.
struct InkBox {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// The box of a glyph's bitmap (Glyph's Left, Top, Width and Height); empty
// (all 0) for a glyph that inks nothing.
struct GlyphBox {
  int Left = 0, Top = 0, Width = 0, Height = 0;
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
  // Where the glyph of a byte can ink. Read from its outline, without
  // rendering: a glyph out of sight then costs no bitmap, which at the
  // largest sizes takes megabytes and milliseconds each.
  const InkBox& Ink(unsigned char ch) {
    const InkBox& b = Inks[ch];
    return Inked[ch] ? b : MeasureInk(ch);
  }
  // The box of the bitmap Get renders for a byte, read from the outline
  // without rendering it: measuring a character costs no bitmap at any
  // size.
  const GlyphBox& Box(unsigned char ch) {
    const GlyphBox& b = Boxes[ch];
    return Boxed[ch] ? b : MeasureBox(ch);
  }
  // The coverage rows of a glyph. Valid until the next Get.
  const std::uint8_t* Bits(const Glyph& g) const { return Pool.data() + g.Offset; }

  // What the rendered bitmaps of the face take, in bytes.
  std::size_t BitmapBytes() const { return Pool.size(); }
  // How many outlines the face has loaded, each hinted as it loads.
  std::size_t OutlineLoads() const { return Loads; }

  // The font's glyph index of a byte (the default glyph, 0, when the font
  // has no glyph for its character).
  unsigned GlyphIndex(unsigned char ch) const;

 private:
  int MeasureAdvance(unsigned char ch);
  const Glyph& Render(unsigned char ch);
  const InkBox& MeasureInk(unsigned char ch);
  const GlyphBox& MeasureBox(unsigned char ch);
  // Both boxes of a byte from one load of its outline.
  void MeasureOutline(unsigned char ch);
  void ReadOutline(unsigned char ch, InkBox& ink, GlyphBox& box);
  // Loads the outline of a byte as Render draws it; false when it has none.
  // The face's glyph slot keeps it: a glyph measured for its ink and then
  // drawn is loaded (and hinted) once.
  bool LoadOutline(unsigned char ch);

  FontFace& Face;
  std::array<int, 256> Advances;
  std::array<Glyph, 256> Glyphs{};
  std::array<InkBox, 256> Inks{};
  std::array<bool, 256> Inked{};
  std::array<GlyphBox, 256> Boxes{};
  std::array<bool, 256> Boxed{};
  std::vector<std::uint8_t> Pool;
  int Loaded = -1;  // the byte whose outline the glyph slot holds as LoadOutline left it
  std::size_t Loads = 0;
};

}  // namespace win::gdi
