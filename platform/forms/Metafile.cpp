#include "platform/forms/Metafile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/Clipboard.h"

using namespace win;

namespace {

[[noreturn]] void Bad(const char* why) { throw EInvalidGraphic("Invalid metafile: %s", {AnsiString(why)}); }

std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::int16_t S16(const std::uint8_t* p) { return static_cast<std::int16_t>(U16(p)); }
std::uint32_t U32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
std::int32_t S32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }
void Set16(std::uint8_t* p, std::uint32_t v) {
  p[0] = std::uint8_t(v);
  p[1] = std::uint8_t(v >> 8);
}
void Set32(std::uint8_t* p, std::uint32_t v) {
  Set16(p, v & 0xFFFF);
  Set16(p + 2, v >> 16);
}

constexpr std::uint32_t kEmfSignature = 0x464D4520;
constexpr std::size_t kEmfHeaderSize = 88;
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kWmfHeaderSize = 18;
constexpr int kHundredthsPerInch = 2540;
constexpr int kPixelsPerInch = 96;

// Enhanced records.
constexpr std::uint32_t EMR_HEADER = 1;
constexpr std::uint32_t EMR_POLYGON16 = 86;
constexpr std::uint32_t EMR_POLYLINE16 = 87;
constexpr std::uint32_t EMR_SETBKMODE = 18;
constexpr std::uint32_t EMR_SETTEXTCOLOR = 24;
constexpr std::uint32_t EMR_SETBKCOLOR = 25;
constexpr std::uint32_t EMR_MOVETOEX = 27;
constexpr std::uint32_t EMR_SELECTOBJECT = 37;
constexpr std::uint32_t EMR_CREATEPEN = 38;
constexpr std::uint32_t EMR_CREATEBRUSHINDIRECT = 39;
constexpr std::uint32_t EMR_DELETEOBJECT = 40;
constexpr std::uint32_t EMR_ELLIPSE = 42;
constexpr std::uint32_t EMR_RECTANGLE = 43;
constexpr std::uint32_t EMR_LINETO = 54;
constexpr std::uint32_t EMR_EOF = 14;

// Records of the older format (function numbers).
constexpr std::uint16_t META_EOF = 0x0000;
constexpr std::uint16_t META_SETBKCOLOR = 0x0201;
constexpr std::uint16_t META_SETWINDOWORG = 0x020B;
constexpr std::uint16_t META_SETWINDOWEXT = 0x020C;
constexpr std::uint16_t META_SETBKMODE = 0x0102;
constexpr std::uint16_t META_SETTEXTCOLOR = 0x0209;
constexpr std::uint16_t META_LINETO = 0x0213;
constexpr std::uint16_t META_MOVETO = 0x0214;
constexpr std::uint16_t META_ELLIPSE = 0x0418;
constexpr std::uint16_t META_RECTANGLE = 0x041B;
constexpr std::uint16_t META_POLYGON = 0x0324;
constexpr std::uint16_t META_POLYLINE = 0x0325;
constexpr std::uint16_t META_SELECTOBJECT = 0x012D;
constexpr std::uint16_t META_DELETEOBJECT = 0x01F0;
constexpr std::uint16_t META_CREATEPENINDIRECT = 0x02FA;
constexpr std::uint16_t META_CREATEBRUSHINDIRECT = 0x02FC;

// The most objects a metafile's table may hold while it plays.
constexpr std::size_t kMaxObjects = 65535;
// Wider pens are drawn this wide: the cost of a stroke grows with the
// square of its width, and no picture needs more.
constexpr int kMaxPenWidth = 1024;

std::size_t CheckEnhanced(const std::uint8_t* d, std::size_t size) {
  if (size < kEmfHeaderSize) Bad("truncated header");
  std::uint32_t headerSize = U32(d + 4), total = U32(d + 48);
  if (U32(d + 40) != kEmfSignature) Bad("signature");
  if (headerSize < kEmfHeaderSize || headerSize % 4 || headerSize > total) Bad("header size");
  if (total > size) Bad("truncated file");
  // The frame's edges may lie anywhere, but its size must be a number the
  // picture can answer for its width and height.
  const std::int64_t frameWidth = std::int64_t(S32(d + 32)) - S32(d + 24);
  const std::int64_t frameHeight = std::int64_t(S32(d + 36)) - S32(d + 28);
  if (frameWidth <= 0 || frameHeight <= 0 || frameWidth > INT32_MAX || frameHeight > INT32_MAX) Bad("frame");
  for (std::size_t at = headerSize;;) {
    if (at == total) return total;  // the end without an end record: tolerated
    if (total - at < 8) Bad("truncated record");
    std::uint32_t type = U32(d + at), length = U32(d + at + 4);
    if (length < 8 || length % 4 || length > total - at) Bad("record size");
    at += length;
    if (type == EMR_EOF) return total;
  }
}

std::size_t CheckPlaceable(const std::uint8_t* d, std::size_t size) {
  if (size < kPlaceableSize + kWmfHeaderSize) Bad("truncated header");
  if (S16(d + 10) <= S16(d + 6) || S16(d + 12) <= S16(d + 8)) Bad("bounds");
  if (U16(d + 14) == 0) Bad("units per inch");
  const std::uint8_t* w = d + kPlaceableSize;
  if ((U16(w) != 1 && U16(w) != 2) || U16(w + 2) != kWmfHeaderSize / 2) Bad("header");
  std::uint64_t total = kPlaceableSize + std::uint64_t(U32(w + 6)) * 2;
  if (total < kPlaceableSize + kWmfHeaderSize) Bad("header size");
  if (total > size) Bad("truncated file");
  for (std::size_t at = kPlaceableSize + kWmfHeaderSize;;) {
    if (at == total) return std::size_t(total);
    if (total - at < 6) Bad("truncated record");
    std::uint64_t length = std::uint64_t(U32(d + at)) * 2;
    if (length < 6 || length > total - at) Bad("record size");
    std::uint16_t function = U16(d + at + 4);
    at += std::size_t(length);
    if (function == META_EOF) return std::size_t(total);
  }
}

// Maps record coordinates to the target: a linear map on each axis from
// the picture's bounds to the rectangle drawn into.
struct Mapping {
  double Scale[2] = {1, 1};
  double Offset[2] = {0, 0};
  void Axis(int i, double from0, double from1, double to0, double to1) {
    Scale[i] = (to1 - to0) / (from1 - from0);
    Offset[i] = to0 - from0 * Scale[i];
  }
  int X(double x) const { return Round(x * Scale[0] + Offset[0], 1e8); }
  int Y(double y) const { return Round(y * Scale[1] + Offset[1], 1e8); }
  // Pen widths scale with the horizontal axis.
  int Width(double w) const { return Round(std::fabs(w * Scale[0]), kMaxPenWidth); }
  // Coordinates far outside any target are all the same to drawing;
  // nonsense from a degenerate header counts as 0.
  static int Round(double v, double limit) {
    return std::isfinite(v) ? static_cast<int>(std::lround(std::clamp(v, -limit, limit))) : 0;
  }
};

// Plays records onto a DC: the objects the records make live in a table
// of their own and are deleted at the end; the DC gets its own state back.
class Player {
 public:
  Player(HDC dc, const Mapping& map) : Dc(dc), Map(map), Saved(SaveDC(dc)) {
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
  }
  ~Player() {
    RestoreDC(Dc, Saved);
    for (auto& [index, object] : Objects) DeleteObject(object);
  }
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  void Keep(std::size_t index, HGDIOBJ object) {
    if (!object) return;
    if (auto it = Objects.find(index); it != Objects.end()) DeleteObject(it->second);
    Objects[index] = object;
  }
  void Select(std::size_t index) {
    if (auto it = Objects.find(index); it != Objects.end()) SelectObject(Dc, it->second);
  }
  void Delete(std::size_t index) {
    auto it = Objects.find(index);
    if (it == Objects.end()) return;
    // Deleting the pen or brush in use puts the stock one back first.
    HGDIOBJ obj = it->second;
    if (GetCurrentObject(Dc, OBJ_PEN) == obj) SelectObject(Dc, GetStockObject(BLACK_PEN));
    if (GetCurrentObject(Dc, OBJ_BRUSH) == obj) SelectObject(Dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(obj);
    Objects.erase(it);
  }
  // The lowest free slot, as the older format numbers its objects.
  std::size_t FreeSlot() const {
    std::size_t i = 0;
    for (auto& [index, object] : Objects) {
      if (index != i) break;
      ++i;
    }
    return i;
  }
  HPEN Pen(UINT style, double width, COLORREF color) {
    style &= 0x0F;
    if (style > PS_NULL) style = PS_SOLID;
    return CreatePen(static_cast<int>(style), Map.Width(width), color & 0xFFFFFF);
  }
  HBRUSH Brush(UINT style, COLORREF color) {
    LOGBRUSH lb{style == BS_NULL ? BS_NULL : BS_SOLID, color & 0xFFFFFF, 0};
    return CreateBrushIndirect(&lb);
  }

  HDC Dc;
  Mapping Map;

 private:
  int Saved;
  std::map<std::size_t, HGDIOBJ> Objects;
};

void PlayEnhanced(const std::uint8_t* d, HDC dc, const TRect& rect) {
  // Record coordinates are in the reference device's pixels; its size in
  // pixels and millimetres relates them to the frame, which fills rect.
  double frame[4] = {double(S32(d + 24)), double(S32(d + 28)), double(S32(d + 32)), double(S32(d + 36))};
  std::int32_t devW = S32(d + 72), devH = S32(d + 76), mmW = S32(d + 80), mmH = S32(d + 84);
  double perX = devW > 0 && mmW > 0 ? 100.0 * mmW / devW : 2540.0 / kPixelsPerInch;
  double perY = devH > 0 && mmH > 0 ? 100.0 * mmH / devH : 2540.0 / kPixelsPerInch;
  Mapping map;
  map.Axis(0, frame[0] / perX, frame[2] / perX, rect.Left, rect.Right);
  map.Axis(1, frame[1] / perY, frame[3] / perY, rect.Top, rect.Bottom);
  Player p(dc, map);
  std::size_t total = U32(d + 48);
  std::vector<POINT> points;
  for (std::size_t at = U32(d + 4); at + 8 <= total;) {
    std::uint32_t type = U32(d + at);
    std::size_t length = U32(d + at + 4);
    const std::uint8_t* r = d + at + 8;
    std::size_t n = length - 8;  // parameter bytes; framing was checked on reading
    at += length;
    auto X = [&](std::size_t off) { return map.X(S32(r + off)); };
    auto Y = [&](std::size_t off) { return map.Y(S32(r + off)); };
    switch (type) {
      case EMR_EOF: return;
      case EMR_MOVETOEX:
        if (n >= 8) MoveToEx(dc, X(0), Y(4), nullptr);
        break;
      case EMR_LINETO:
        if (n >= 8) LineTo(dc, X(0), Y(4));
        break;
      case EMR_RECTANGLE:
        if (n >= 16) Rectangle(dc, X(0), Y(4), X(8), Y(12));
        break;
      case EMR_ELLIPSE:
        if (n >= 16) Ellipse(dc, X(0), Y(4), X(8), Y(12));
        break;
      case EMR_POLYGON16:
      case EMR_POLYLINE16: {
        // Bounds (16 bytes), a count, then 16-bit points.
        if (n < 20) break;
        std::size_t count = U32(r + 16);
        if (count > (n - 20) / 4) break;
        points.resize(count);
        for (std::size_t i = 0; i < count; ++i)
          points[i] = POINT{map.X(S16(r + 20 + i * 4)), map.Y(S16(r + 22 + i * 4))};
        if (type == EMR_POLYGON16)
          Polygon(dc, points.data(), static_cast<int>(count));
        else
          Polyline(dc, points.data(), static_cast<int>(count));
        break;
      }
      case EMR_SETBKMODE:
        if (n >= 4) SetBkMode(dc, S32(r) == OPAQUE ? OPAQUE : TRANSPARENT);
        break;
      case EMR_SETTEXTCOLOR:
        if (n >= 4) SetTextColor(dc, U32(r) & 0xFFFFFF);
        break;
      case EMR_SETBKCOLOR:
        if (n >= 4) SetBkColor(dc, U32(r) & 0xFFFFFF);
        break;
      case EMR_CREATEPEN:
        // Index, style, width (a point), colour.
        if (n >= 20 && U32(r) < kMaxObjects) p.Keep(U32(r), ToObj(p.Pen(U32(r + 4), S32(r + 8), U32(r + 16))));
        break;
      case EMR_CREATEBRUSHINDIRECT:
        // Index, style, colour, hatch.
        if (n >= 16 && U32(r) < kMaxObjects) p.Keep(U32(r), ToObj(p.Brush(U32(r + 4), U32(r + 8))));
        break;
      case EMR_SELECTOBJECT:
        if (n >= 4) {
          std::uint32_t index = U32(r);
          if (index & 0x80000000u) {
            if (HGDIOBJ stock = GetStockObject(static_cast<int>(index & 0x7FFFFFFF))) SelectObject(dc, stock);
          } else {
            p.Select(index);
          }
        }
        break;
      case EMR_DELETEOBJECT:
        if (n >= 4) p.Delete(U32(r));
        break;
      default: break;  // not drawn
    }
  }
}

void PlayPlaceable(const std::uint8_t* d, HDC dc, const TRect& rect) {
  Mapping map;
  map.Axis(0, S16(d + 6), S16(d + 10), rect.Left, rect.Right);
  map.Axis(1, S16(d + 8), S16(d + 12), rect.Top, rect.Bottom);
  Player p(dc, map);
  std::size_t total = kPlaceableSize + std::size_t(U32(d + kPlaceableSize + 6)) * 2;
  std::vector<POINT> points;
  for (std::size_t at = kPlaceableSize + kWmfHeaderSize; at + 6 <= total;) {
    std::size_t length = std::size_t(U32(d + at)) * 2;
    std::uint16_t function = U16(d + at + 4);
    const std::uint8_t* r = d + at + 6;
    std::size_t n = length - 6;
    at += length;
    // Parameters come in reverse order: the last argument first.
    auto W = [&](std::size_t i) { return S16(r + i * 2); };
    switch (function) {
      case META_EOF: return;
      case META_MOVETO:
        if (n >= 4) MoveToEx(dc, map.X(W(1)), map.Y(W(0)), nullptr);
        break;
      case META_LINETO:
        if (n >= 4) LineTo(dc, map.X(W(1)), map.Y(W(0)));
        break;
      case META_RECTANGLE:
        if (n >= 8) Rectangle(dc, map.X(W(3)), map.Y(W(2)), map.X(W(1)), map.Y(W(0)));
        break;
      case META_ELLIPSE:
        if (n >= 8) Ellipse(dc, map.X(W(3)), map.Y(W(2)), map.X(W(1)), map.Y(W(0)));
        break;
      case META_POLYGON:
      case META_POLYLINE: {
        if (n < 2) break;
        std::size_t count = U16(r);
        if (count > (n - 2) / 4) break;
        points.resize(count);
        for (std::size_t i = 0; i < count; ++i) points[i] = POINT{map.X(W(1 + i * 2)), map.Y(W(2 + i * 2))};
        if (function == META_POLYGON)
          Polygon(dc, points.data(), static_cast<int>(count));
        else
          Polyline(dc, points.data(), static_cast<int>(count));
        break;
      }
      case META_SETBKMODE:
        if (n >= 2) SetBkMode(dc, W(0) == OPAQUE ? OPAQUE : TRANSPARENT);
        break;
      case META_SETTEXTCOLOR:
        if (n >= 4) SetTextColor(dc, U32(r) & 0xFFFFFF);
        break;
      case META_SETBKCOLOR:
        if (n >= 4) SetBkColor(dc, U32(r) & 0xFFFFFF);
        break;
      case META_CREATEPENINDIRECT:
        // Style, width (a point), colour.
        if (n >= 10) p.Keep(p.FreeSlot(), ToObj(p.Pen(U16(r), S16(r + 2), U32(r + 6))));
        break;
      case META_CREATEBRUSHINDIRECT:
        // Style, colour, hatch.
        if (n >= 6) p.Keep(p.FreeSlot(), ToObj(p.Brush(U16(r), U32(r + 2))));
        break;
      case META_SELECTOBJECT:
        if (n >= 2) p.Select(U16(r));
        break;
      case META_DELETEOBJECT:
        if (n >= 2) p.Delete(U16(r));
        break;
      default: break;  // not drawn
    }
  }
}

// The window extent a metafile's records set, if any: the size of its
// drawing in its own units.
bool WindowExtent(const std::uint8_t* records, std::size_t size, int& w, int& h, int& x, int& y) {
  bool found = false;
  x = y = 0;
  for (std::size_t at = kWmfHeaderSize; at + 6 <= size;) {
    std::size_t length = std::size_t(U32(records + at)) * 2;
    if (length < 6 || length > size - at) break;
    std::uint16_t function = U16(records + at + 4);
    if (function == META_SETWINDOWEXT && length >= 10) {  // height, width
      h = S16(records + at + 6);
      w = S16(records + at + 8);
      found = w != 0 && h != 0;
    } else if (function == META_SETWINDOWORG && length >= 10) {  // y, x
      y = S16(records + at + 6);
      x = S16(records + at + 8);
    } else if (function == META_EOF) {
      break;
    }
    at += length;
  }
  return found;
}

void CheckSum(std::vector<std::uint8_t>& d) {
  std::uint16_t sum = 0;
  for (std::size_t i = 0; i < 20; i += 2) sum ^= U16(d.data() + i);
  Set16(d.data() + 20, sum);
}

// The length of the metafile at the start of the bytes, checked record by
// record.
std::size_t CheckMetafile(const void* Data, std::size_t Size, bool& Enhanced) {
  const auto* d = static_cast<const std::uint8_t*>(Data);
  if (!d || Size < 4) Bad("truncated header");
  Enhanced = U32(d) == EMR_HEADER;
  if (Enhanced) return CheckEnhanced(d, Size);
  if (U32(d) == kPlaceableKey) return CheckPlaceable(d, Size);
  Bad("not a metafile");
}

}  // namespace

// ---- TMetafile ----

void TMetafile::Assign(TPersistent* Source) {
  if (!Source) {
    if (FData.empty()) return;
    FData.clear();
    FEnhanced = false;
    Changed(this);
  } else if (auto* m = dynamic_cast<TMetafile*>(Source)) {
    if (m == this) return;
    FData = m->FData;
    FEnhanced = m->FEnhanced;
    FTransparent = m->FTransparent;
    Changed(this);
  } else {
    inherited::Assign(Source);
  }
}

void TMetafile::LoadFromStream(TStream* Stream) {
  std::vector<std::uint8_t> bytes;
  bool enhanced = false;
  if (!ReadPicture(Stream, bytes, [&enhanced](const Byte* data, std::size_t size) {
        return CheckMetafile(data, size, enhanced);
      }))
    return;
  FData = std::move(bytes);
  FEnhanced = enhanced;
  Changed(this);
}

void TMetafile::SaveToStream(TStream* Stream) {
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<Int64>(FData.size()));
}

namespace {

// The pixels between two edges of the header, worked out in 64 bits: the
// edges are the file's own numbers and their distance need not fit 32.
Integer EdgesToPixels(std::int64_t from, std::int64_t to, std::int64_t unitsPerInch) {
  if (unitsPerInch <= 0) return 0;
  const std::int64_t units = to - from;
  const std::int64_t half = unitsPerInch / 2;
  const std::int64_t pixels = (units * kPixelsPerInch + (units < 0 ? -half : half)) / unitsPerInch;
  return static_cast<Integer>(std::clamp<std::int64_t>(pixels, INT32_MIN, INT32_MAX));
}

}  // namespace

Integer TMetafile::GetWidth() const {
  if (FData.empty()) return 0;
  const std::uint8_t* d = FData.data();
  if (FEnhanced) return EdgesToPixels(S32(d + 24), S32(d + 32), kHundredthsPerInch);
  return EdgesToPixels(S16(d + 6), S16(d + 10), U16(d + 14));
}

Integer TMetafile::GetHeight() const {
  if (FData.empty()) return 0;
  const std::uint8_t* d = FData.data();
  if (FEnhanced) return EdgesToPixels(S32(d + 28), S32(d + 36), kHundredthsPerInch);
  return EdgesToPixels(S16(d + 8), S16(d + 12), U16(d + 14));
}

void TMetafile::SetWidth(Integer Value) { SetSize(Value, GetHeight()); }

void TMetafile::SetHeight(Integer Value) { SetSize(GetWidth(), Value); }

void TMetafile::SetSize(Integer AWidth, Integer AHeight) {
  if (FData.empty() || (AWidth == GetWidth() && AHeight == GetHeight())) return;
  if (AWidth <= 0 || AHeight <= 0) throw EInvalidGraphic("Invalid metafile size");
  std::uint8_t* d = FData.data();
  if (FEnhanced) {
    const std::int64_t width = std::int64_t(AWidth) * kHundredthsPerInch / kPixelsPerInch;
    const std::int64_t height = std::int64_t(AHeight) * kHundredthsPerInch / kPixelsPerInch;
    const std::int64_t right = S32(d + 24) + width, bottom = S32(d + 28) + height;
    // The frame must stay one this reader takes back.
    if (width > INT32_MAX || height > INT32_MAX || right > INT32_MAX || bottom > INT32_MAX)
      throw EInvalidGraphic("Invalid metafile size");
    Set32(d + 32, std::uint32_t(right));
    Set32(d + 36, std::uint32_t(bottom));
  } else {
    int inch = U16(d + 14);
    int right = S16(d + 6) + MulDiv(AWidth, inch, kPixelsPerInch);
    int bottom = S16(d + 8) + MulDiv(AHeight, inch, kPixelsPerInch);
    if (right > 32767 || bottom > 32767 || right <= S16(d + 6) || bottom <= S16(d + 8))
      throw EInvalidGraphic("Invalid metafile size");
    Set16(d + 10, std::uint32_t(right));
    Set16(d + 12, std::uint32_t(bottom));
    CheckSum(FData);
  }
  Changed(this);
}

void TMetafile::LoadFromClipboardFormat(Word AFormat, HANDLE AData, HPALETTE) {
  if (AFormat != CF_METAFILEPICT && AFormat != CF_ENHMETAFILE) throw EInvalidGraphic("Unsupported clipboard format");
  std::size_t size = GlobalSize(AData);
  auto* block = static_cast<const std::uint8_t*>(GlobalLock(AData));
  if (!block) throw EInvalidGraphic("Invalid clipboard data");
  std::vector<std::uint8_t> bytes;
  bool enhanced = false;
  try {
    if (AFormat == CF_ENHMETAFILE) {
      bytes.assign(block, block + CheckMetafile(block, size, enhanced));
      if (!enhanced) Bad("not an enhanced metafile");
    } else {
      // Give the records the placeable header they lack, sized from the
      // extents (hundredths of a millimetre) or else from the window
      // extent the records set, taken as pixels.
      METAFILEPICT pict{};
      if (size < sizeof pict) Bad("truncated picture");
      std::memcpy(&pict, block, sizeof pict);
      const std::uint8_t* records = block + sizeof pict;
      std::size_t recordsSize = size - sizeof pict;
      int w = 0, h = 0, x = 0, y = 0, inch = kPixelsPerInch;
      bool window = WindowExtent(records, recordsSize, w, h, x, y);
      if (pict.xExt > 0 && pict.yExt > 0) {
        if (window && w > 0 && h > 0) {
          inch = std::max(1, MulDiv(w, kHundredthsPerInch, pict.xExt));
        } else {
          x = y = 0;
          w = std::min<LONG>(pict.xExt, 32767);
          h = std::min<LONG>(pict.yExt, 32767);
          inch = kHundredthsPerInch;
        }
      } else if (!window || w <= 0 || h <= 0) {
        Bad("no size");
      }
      if (inch > 0xFFFF || x + w > 32767 || y + h > 32767) Bad("size");
      bytes.assign(kPlaceableSize, 0);
      std::uint8_t* p = bytes.data();
      Set32(p, kPlaceableKey);
      Set16(p + 6, std::uint32_t(x));
      Set16(p + 8, std::uint32_t(y));
      Set16(p + 10, std::uint32_t(x + w));
      Set16(p + 12, std::uint32_t(y + h));
      Set16(p + 14, std::uint32_t(inch));
      CheckSum(bytes);
      bytes.insert(bytes.end(), records, records + recordsSize);
      bytes.resize(CheckMetafile(bytes.data(), bytes.size(), enhanced));
    }
  } catch (...) {
    GlobalUnlock(AData);
    throw;
  }
  GlobalUnlock(AData);
  FData = std::move(bytes);
  FEnhanced = enhanced;
  Changed(this);
}

void TMetafile::SaveToClipboardFormat(Word& AFormat, HANDLE& AData, HPALETTE& APalette) {
  AFormat = 0;
  AData = nullptr;
  APalette = nullptr;
  if (FData.empty()) return;
  if (FEnhanced) {
    AData = GlobalFromBytes(FData.data(), FData.size());
    AFormat = static_cast<Word>(CF_ENHMETAFILE);
  } else {
    std::vector<std::uint8_t> block(sizeof(METAFILEPICT));
    METAFILEPICT pict{MM_ANISOTROPIC, MulDiv(GetWidth(), kHundredthsPerInch, kPixelsPerInch),
                      MulDiv(GetHeight(), kHundredthsPerInch, kPixelsPerInch), nullptr};
    std::memcpy(block.data(), &pict, sizeof pict);
    // The records without the placeable header, which held their bounds:
    // window origin and extent records say it instead, first thing.
    const std::uint8_t* d = FData.data();
    std::int16_t bounds[4] = {S16(d + 6), S16(d + 8), S16(d + 10), S16(d + 12)};
    std::uint8_t window[20] = {};
    Set32(window, 5);
    Set16(window + 4, META_SETWINDOWORG);
    Set16(window + 6, std::uint16_t(bounds[1]));
    Set16(window + 8, std::uint16_t(bounds[0]));
    Set32(window + 10, 5);
    Set16(window + 14, META_SETWINDOWEXT);
    Set16(window + 16, std::uint16_t(bounds[3] - bounds[1]));
    Set16(window + 18, std::uint16_t(bounds[2] - bounds[0]));
    std::size_t header = block.size();
    block.insert(block.end(), FData.begin() + kPlaceableSize, FData.begin() + kPlaceableSize + kWmfHeaderSize);
    Set32(block.data() + header + 6, U32(block.data() + header + 6) + sizeof window / 2);
    block.insert(block.end(), window, window + sizeof window);
    block.insert(block.end(), FData.begin() + kPlaceableSize + kWmfHeaderSize, FData.end());
    AData = GlobalFromBytes(block.data(), block.size());
    AFormat = static_cast<Word>(CF_METAFILEPICT);
  }
  if (!AData) {
    AFormat = 0;
    throw EOutOfResources("Out of system resources");
  }
}

void TMetafile::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (FData.empty() || Rect.Width() == 0 || Rect.Height() == 0) return;
  HDC dc = CanvasDC(ACanvas);
  if (FEnhanced)
    PlayEnhanced(FData.data(), dc, Rect);
  else
    PlayPlaceable(FData.data(), dc, Rect);
  // The records changed what the DC holds; the canvas selects its tools
  // again on its next call.
  ACanvas->Refresh();
}

ORV_REGISTER(TMetafile)
