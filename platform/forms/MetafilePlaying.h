// The metafile player's own parts, shared by its two record formats
// (MetafileEnhancedRecords.cpp, MetafilePlaceableRecords.cpp): how the
// picture's coordinates reach the target, the DIBs records carry, and the
// player, which keeps the records' objects, the picture's clip and its
// saved states on the target DC. MetafilePlayer.h tells what is played.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/gdi/Fonts.h"
#include "platform/gdi/MetafileRecords.h"

namespace forms::metafile {

// Little-endian values of a record.
inline std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
inline std::int16_t S16(const std::uint8_t* p) { return static_cast<std::int16_t>(U16(p)); }
inline std::uint32_t U32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
inline std::int32_t S32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }

// The most objects a metafile's table may hold while it plays.
constexpr std::size_t kMaxObjects = 65535;
// Wider pens are drawn this wide: the cost of a stroke grows with the
// square of its width, and no picture needs more.
constexpr int kMaxPenWidth = 1024;
// Taller fonts are drawn this tall, for the same reason.
constexpr int kMaxFontHeight = 2048;

// Maps record coordinates to the target: the picture's own mapping into
// the units of its device, then a linear map on each axis from the
// picture's frame or bounds to the rectangle drawn into.
struct Transform {
  win::MetaMapping Meta;
  double Scale[2] = {1, 1};
  double Offset[2] = {0, 0};

  void Axis(int i, double from0, double from1, double to0, double to1) {
    Scale[i] = (to1 - to0) / (from1 - from0);
    Offset[i] = to0 - from0 * Scale[i];
  }
  int X(double x) const { return Round(Meta.ToDevice(0, x) * Scale[0] + Offset[0], 1e8); }
  int Y(double y) const { return Round(Meta.ToDevice(1, y) * Scale[1] + Offset[1], 1e8); }
  // Device units (clip regions) to the target.
  int DeviceX(double x) const { return Round(x * Scale[0] + Offset[0], 1e8); }
  int DeviceY(double y) const { return Round(y * Scale[1] + Offset[1], 1e8); }
  // Target pixels per logical unit on an axis, signed.
  double Total(int axis) const { return Meta.Scale(axis) * Scale[axis]; }
  // Pen widths scale with the horizontal axis.
  int Width(double w) const { return Round(std::fabs(w * Total(0)), kMaxPenWidth); }
  // Lengths on an axis (corner sizes, frame widths, offsets), signed.
  int Length(int axis, double v) const { return Round(v * Total(axis), 1e8); }
  // Coordinates far outside any target are all the same to drawing;
  // nonsense from a degenerate header counts as 0.
  static int Round(double v, double limit) {
    return std::isfinite(v) ? static_cast<int>(std::lround(std::clamp(v, -limit, limit))) : 0;
  }
};

// A DIB taken out of a record into aligned storage.
struct Dib {
  std::vector<std::uint32_t> Info, Bits;
  const win::BITMAPINFO* Header() const { return reinterpret_cast<const win::BITMAPINFO*>(Info.data()); }
};
// False when the header is not one the drawing tier reads or the bits do
// not hold the rows it says.
bool ReadDib(const std::uint8_t* bmi, std::size_t bmiSize, const std::uint8_t* bits, std::size_t bitsSize, Dib& out);

// The 8-bit text of UTF-16 units: characters outside the code page
// become '?'.
std::string FromWide(const std::uint8_t* p, std::size_t count);

// The rectangles of an RGNDATA block; false when it does not hold them.
bool RegionData(const std::uint8_t* p, std::size_t size, std::vector<win::RECT>& rects);

// Plays records onto a DC: the objects the records make live in a table
// of their own and are deleted at the end; the DC gets its own state back.
class Player {
 public:
  // Saves the DC's state and sets the one a picture starts from.
  Player(win::HDC dc, const Transform& t);
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  // ---- Objects ----
  void Keep(std::size_t index, win::HGDIOBJ object);
  // An object of the table, or (in enhanced records) a stock object.
  win::HGDIOBJ Object(std::uint32_t index, bool stock) const;
  void Select(std::uint32_t index, bool stock);
  void Delete(std::size_t index);
  // The lowest free slot, as the older format numbers its objects.
  std::size_t FreeSlot() const;
  win::HPEN Pen(win::UINT style, double width, COLORREF color);
  win::HBRUSH Brush(win::UINT style, COLORREF color, std::uint32_t hatch);
  win::HBRUSH PatternBrush(const Dib& dib);
  // A font of a description in the picture's units.
  win::HFONT Font(win::LOGFONTA lf);

  // ---- Regions and clipping ----
  // A region of rectangles in picture coordinates: logical units (of the
  // drawing calls, answered in the target's logical units) or device units
  // (of clip regions, answered in the target's device units).
  win::HRGN RegionOf(const std::vector<win::RECT>& rects, bool device) const;
  // Combines the picture's clip with a region, in target device units or
  // (logical) in its logical ones; null with RGN_COPY: no clip of the
  // picture's own.
  void SelectClip(win::HRGN rgn, int mode, bool logical);
  // A clip rectangle in logical units, kept (intersect) or cut out.
  void ClipRect(bool intersect, double l, double t, double r, double b);
  void OffsetClip(double dx, double dy);

  // ---- Saved states ----
  void Save();
  // Back `levels` saved states.
  void Restore(int levels);
  std::size_t Depth() const { return States.size(); }

  win::HDC Dc;
  Transform T;
  win::POINT Origin{};  // the target's device position of its logical (0, 0)

 private:
  void ApplyClip();

  struct State {
    win::MetaMapping Meta;
    win::HRGN Clip;
  };
  int Saved;
  std::map<std::size_t, win::HGDIOBJ> Objects;
  win::HRGN Initial = nullptr;  // the DC's clip when the picture started
  win::HRGN Clip = nullptr;     // the picture's own, target device units
  std::vector<State> States;
};

// Text drawn at a logical point with per-character advances in logical
// units (or none), scaled so that the characters land where the advances
// put them.
void Text(Player& p, double x, double y, win::UINT options, const win::RECT* rect, const std::string& s,
          const std::vector<double>& advances);
// A DIB drawn into a logical rectangle from a rectangle of its own.
void DrawDib(Player& p, const Dib& dib, double x, double y, double w, double h, int xSrc, int ySrc, int wSrc,
             int hSrc, win::DWORD rop);
// A pattern blit into a logical rectangle.
void PatternFill(Player& p, double x, double y, double w, double h, win::DWORD rop);

// The mapping records: a mode, and a window or viewport extent (a zero
// one, or one the mode does not take, changes nothing).
void SetMapping(Player& p, int mode);
void SetExtent(Player& p, bool window, double x, double y);
void ScaleExtent(Player& p, bool window, double xNum, double xDenom, double yNum, double yDenom);

// The records that set one value of the DC's state, alike in both formats:
// colours lose their top byte, the text alignment keeps the flags drawing
// knows, a two-way mode not the other one is the default, and a mode out
// of the call's range changes nothing.
enum class DcValue { BkMode, TextColor, BkColor, TextAlign, Rop2, PolyFillMode, StretchBltMode, ArcDirection };
void SetDcValue(win::HDC dc, DcValue which, std::int32_t value);

// One record of each format: rec and length the whole enhanced record;
// r and n the parameters of a record of the older format.
void PlayEnhancedRecord(Player& p, std::uint32_t type, const std::uint8_t* rec, std::size_t length);
void PlayPlaceableRecord(Player& p, std::uint16_t function, const std::uint8_t* r, std::size_t n);

}  // namespace forms::metafile
