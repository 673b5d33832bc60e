// Pens and brushes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/GdiObjects.h"

namespace win::gdi {

class Brush : public GdiObject {
 public:
  static constexpr DWORD kType = OBJ_BRUSH;
  Brush() : GdiObject(OBJ_BRUSH) {}
  int Describe(int size, void* buffer) const override;
  std::string Summary() const override;

  UINT Style = BS_SOLID;
  COLORREF Color = 0;
  int Hatch = 0;
  int SysIndex = -1;     // a system colour brush follows the colour table
  bool DcBrush = false;  // the DC_BRUSH stock brush: colour from the DC
  // Pattern brushes: the tile, monochrome (0/1 per pixel, coloured with the
  // DC's text and background colours when used) or colour pixel values.
  int PatWidth = 0, PatHeight = 0;
  bool PatMono = false;
  std::vector<std::uint32_t> Pattern;

  COLORREF CurrentColor() const;
};

// The most entries a user style may have.
constexpr DWORD kMaxStyleEntries = 16;

class Pen : public GdiObject {
 public:
  static constexpr DWORD kType = OBJ_PEN;
  Pen() : GdiObject(OBJ_PEN) {}
  int Describe(int size, void* buffer) const override;
  std::string Summary() const override;

  UINT Style = PS_SOLID;  // PS_SOLID ... PS_ALTERNATE (the style bits only)
  UINT Flags = 0;         // end cap, join and type bits
  int Width = 1;
  COLORREF Color = 0;
  bool Extended = false;  // made by ExtCreatePen
  bool DcPen = false;     // the DC_PEN stock pen: colour from the DC
  // Extended pens: the brush they were made from, and a user style's
  // entries as given (Dashes: the on/off lengths lines are drawn with,
  // an odd-length list taken twice so on and off keep alternating).
  UINT BrushStyle = BS_SOLID;
  std::uintptr_t Hatch = 0;
  std::vector<DWORD> StyleEntries;
  std::vector<int> Dashes;
  // A geometric pen made from a hatched or pattern brush paints with its
  // own copy of that brush (the bitmap may go once the pen exists).
  std::unique_ptr<Brush> Fill;

  bool Geometric() const { return Extended && (Flags & PS_TYPE_MASK) == PS_GEOMETRIC; }
  // Draws nothing: the null style, or an extended pen of a null brush.
  bool Invisible() const { return Style == PS_NULL || (Extended && BrushStyle == BS_NULL); }
  UINT EndCap() const { return Extended ? Flags & PS_ENDCAP_MASK : PS_ENDCAP_ROUND; }
  UINT Join() const { return Extended ? Flags & PS_JOIN_MASK : PS_JOIN_ROUND; }
};

// A brush argument of a fill call: a live brush, or a system colour index
// plus one (COLOR_x + 1, as window classes give their background).
Brush* BrushArg(HBRUSH h);

// Copies a bitmap's pixels into a pattern brush; false for a bad or empty
// bitmap.
bool LoadPattern(HBITMAP bitmap, Brush& brush);

// The 8 x 8 bits of a hatch style (bit set = hatch line), row by row.
const std::uint8_t* HatchBits(int style);

}  // namespace win::gdi

namespace win {

HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* lp);
HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* lb, DWORD styleCount, const DWORD* styles);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int style, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb);

}  // namespace win
