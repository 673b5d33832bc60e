#include "platform/gdi/GlyphCache.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H

#include <cstdlib>

#include "platform/gdi/Fonts.h"
#include "platform/rtl/CodePage.h"

namespace win::gdi {

unsigned GlyphCache::GlyphIndex(unsigned char ch) const {
  auto face = static_cast<FT_Face>(Face.FtFace);
  return FT_Get_Char_Index(face, orv::cp1252::ToUnicode[ch]);
}

int GlyphCache::MeasureAdvance(unsigned char ch) {
  auto face = static_cast<FT_Face>(Face.FtFace);
  Loaded = -1;  // an advance may be read through the glyph slot
  // The unhinted advance rounded once per character: the same in both
  // render modes, and an extent is then exactly the sum of its characters.
  // A rotated face measures along its baseline, unrotated.
  if (Face.Escapement) FT_Set_Transform(face, nullptr, nullptr);
  FT_Fixed adv = 0;
  int a = 0;
  if (FT_Get_Advance(face, GlyphIndex(ch), FT_LOAD_NO_HINTING, &adv) == 0) a = int((adv + 0x8000) >> 16);
  if (Face.Escapement) {
    FT_Matrix m{Face.Matrix[0], Face.Matrix[1], Face.Matrix[2], Face.Matrix[3]};
    FT_Set_Transform(face, &m, nullptr);
  }
  if (Face.SynthBold && a > 0) ++a;
  if (a < 0) a = 0;
  Advances[ch] = a;
  return a;
}

bool GlyphCache::LoadOutline(unsigned char ch) {
  if (Loaded == ch) return true;
  Loaded = -1;
  auto face = static_cast<FT_Face>(Face.FtFace);
  FT_Int32 flags = FT_LOAD_NO_BITMAP | (Face.Mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT);
  ++Loads;
  if (FT_Load_Glyph(face, GlyphIndex(ch), flags) != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  if (Face.SynthItalic) FT_GlyphSlot_Oblique(slot);
  if (Face.SynthBold) FT_GlyphSlot_Embolden(slot);
  Loaded = ch;
  return true;
}

const InkBox& GlyphCache::MeasureInk(unsigned char ch) {
  MeasureOutline(ch);
  return Inks[ch];
}

const GlyphBox& GlyphCache::MeasureBox(unsigned char ch) {
  if (const Glyph& g = Glyphs[ch]; g.Rendered) {
    Boxes[ch] = {g.Left, g.Top, g.Width, g.Height};
    Boxed[ch] = true;
    return Boxes[ch];
  }
  MeasureOutline(ch);
  return Boxes[ch];
}

void GlyphCache::MeasureOutline(unsigned char ch) {
  InkBox ink;
  GlyphBox box;
  ReadOutline(ch, ink, box);
  // What is known already stays as it was measured.
  if (!Inked[ch]) Inks[ch] = ink;
  if (!Boxed[ch]) Boxes[ch] = box;
  Inked[ch] = Boxed[ch] = true;
}

void GlyphCache::ReadOutline(unsigned char ch, InkBox& ink, GlyphBox& b) {
  if (!LoadOutline(ch)) return;
  FT_GlyphSlot slot = static_cast<FT_Face>(Face.FtFace)->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) {
    // No outline to read: the rendered bitmap tells.
    const Glyph& g = Get(ch);
    ink = {g.Left, -g.Top, g.Left + g.Width, g.Height - g.Top};
    b = {g.Left, g.Top, g.Width, g.Height};
    return;
  }
  FT_BBox box;
  FT_Outline_Get_CBox(&slot->outline, &box);
  if (slot->outline.n_points > 0) {
    // Whole pixels outwards and one more on each side: the rasteriser
    // rounds the box its own way and widens glyphs too thin to show.
    ink.Left = int(box.xMin >> 6) - 1;
    ink.Right = int((box.xMax + 63) >> 6) + 1;
    ink.Top = -(int((box.yMax + 63) >> 6) + 1);
    ink.Bottom = -(int(box.yMin >> 6) - 1);
  }
  // The rasteriser's own rounding of the outline's box to pixels: outwards
  // when it smooths; in two colours, to the pixels whose centres the box
  // covers, a box that covers none (an empty outline's too) taking one
  // pixel on the side it reaches further past.
  auto mono = [](FT_Pos low, FT_Pos high, FT_Pos& outLow, FT_Pos& outHigh) {
    outLow = (low >> 6) + (((low & 63) + 31) >> 6);
    outHigh = (high >> 6) + (((high & 63) + 32) >> 6);
    if (outLow == outHigh) {
      if ((((low & 63) + 31) & 63) - 31 + (((high & 63) + 32) & 63) - 32 < 0) --outLow;
      else ++outHigh;
    }
  };
  FT_Pos left = 0, right = 0, bottom = 0, top = 0;
  if (Face.Mono) {
    mono(box.xMin, box.xMax, left, right);
    mono(box.yMin, box.yMax, bottom, top);
  } else {
    left = box.xMin >> 6;
    right = (box.xMax + 63) >> 6;
    bottom = box.yMin >> 6;
    top = (box.yMax + 63) >> 6;
  }
  // A box with no area renders nothing.
  if (right <= left || top <= bottom) return;
  b = {int(left), int(top), int(right - left), int(top - bottom)};
}

const Glyph& GlyphCache::Render(unsigned char ch) {
  Glyph& g = Glyphs[ch];
  g = Glyph{};
  g.Rendered = true;
  auto face = static_cast<FT_Face>(Face.FtFace);
  const bool mono = Face.Mono;
  if (!LoadOutline(ch)) return g;
  FT_GlyphSlot slot = face->glyph;
  Loaded = -1;  // rendering turns the slot's outline into a bitmap
  if (FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return g;
  const FT_Bitmap& bm = slot->bitmap;
  g.Left = slot->bitmap_left;
  g.Top = slot->bitmap_top;
  g.Width = int(bm.width);
  g.Height = int(bm.rows);
  g.Offset = static_cast<std::uint32_t>(Pool.size());
  if (g.Width == 0 || g.Height == 0) {
    g.Width = g.Height = 0;
    return g;
  }
  Pool.resize(Pool.size() + std::size_t(g.Width) * std::size_t(g.Height));
  std::uint8_t* out = Pool.data() + g.Offset;
  for (int y = 0; y < g.Height; ++y) {
    const unsigned char* row = bm.buffer + std::ptrdiff_t(y) * bm.pitch;
    std::uint8_t* o = out + std::size_t(y) * std::size_t(g.Width);
    if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
      for (int x = 0; x < g.Width; ++x) o[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
    } else {
      for (int x = 0; x < g.Width; ++x) o[x] = row[x];
    }
  }
  return g;
}

}  // namespace win::gdi
