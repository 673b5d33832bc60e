#include "platform/forms/MetafilePlayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/MetafileRecords.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/CodePage.h"

using namespace win;

namespace {

std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::int16_t S16(const std::uint8_t* p) { return static_cast<std::int16_t>(U16(p)); }
std::uint32_t U32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
std::int32_t S32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }

constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kWmfHeaderSize = 18;
// The most objects a metafile's table may hold while it plays.
constexpr std::size_t kMaxObjects = 65535;
// Wider pens are drawn this wide: the cost of a stroke grows with the
// square of its width, and no picture needs more.
constexpr int kMaxPenWidth = 1024;
// Taller fonts are drawn this tall, for the same reason.
constexpr int kMaxFontHeight = 2048;
// States saved deeper than this are not saved.
constexpr std::size_t kMaxSavedStates = 1024;
// A clip region's "everything" when the picture has set none.
constexpr int kEverything = 1 << 27;

// Maps record coordinates to the target: the picture's own mapping into
// the units of its device, then a linear map on each axis from the
// picture's frame or bounds to the rectangle drawn into.
struct Transform {
  MetaMapping Meta;
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

// A DIB taken out of a record into aligned storage, checked against what
// its header says it holds.
struct Dib {
  std::vector<std::uint32_t> Info, Bits;
  const BITMAPINFO* Header() const { return reinterpret_cast<const BITMAPINFO*>(Info.data()); }
};

bool ReadDib(const std::uint8_t* bmi, std::size_t bmiSize, const std::uint8_t* bits, std::size_t bitsSize, Dib& out) {
  if (bmiSize < 40) return false;
  const std::uint32_t headerSize = U32(bmi);
  const std::int32_t width = S32(bmi + 4), height = S32(bmi + 8);
  const unsigned bpp = U16(bmi + 14);
  const std::uint32_t compression = U32(bmi + 16), used = U32(bmi + 32);
  if (headerSize < 40 || headerSize > 124 || headerSize > bmiSize) return false;
  if (width <= 0 || height == 0 || height == INT32_MIN || U16(bmi + 12) != 1) return false;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  std::size_t need = headerSize;
  if (compression == BI_BITFIELDS && (bpp == 16 || bpp == 32)) {
    if (headerSize == 40) need += 12;
  } else if (compression != BI_RGB) {
    return false;
  }
  if (bpp <= 8) need += 4 * std::size_t(used && used < (1u << bpp) ? used : 1u << bpp);
  if (need > bmiSize) return false;
  const std::uint64_t rows = height < 0 ? std::uint64_t(-std::int64_t(height)) : std::uint64_t(height);
  const std::uint64_t stride = (std::uint64_t(width) * bpp + 31) / 32 * 4;
  if (rows * stride > bitsSize) return false;
  out.Info.assign((need + 3) / 4, 0);
  std::memcpy(out.Info.data(), bmi, need);
  out.Bits.assign(std::size_t((rows * stride + 3) / 4), 0);
  std::memcpy(out.Bits.data(), bits, std::size_t(rows * stride));
  return true;
}

// The 8-bit text of UTF-16 units: characters outside the code page
// become '?'.
std::string FromWide(const std::uint8_t* p, std::size_t count) {
  std::string s(count, '?');
  for (std::size_t i = 0; i < count; ++i) {
    const int c = orv::cp1252::FromUnicode(U16(p + 2 * i));
    if (c >= 0) s[i] = static_cast<char>(c);
  }
  return s;
}

// Plays records onto a DC: the objects the records make live in a table
// of their own and are deleted at the end; the DC gets its own state back.
class Player {
 public:
  Player(HDC dc, const Transform& t) : Dc(dc), T(t), Saved(SaveDC(dc)) {
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, OPAQUE);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SetROP2(dc, R2_COPYPEN);
    SetPolyFillMode(dc, ALTERNATE);
    SetStretchBltMode(dc, BLACKONWHITE);
    SetArcDirection(dc, AD_COUNTERCLOCKWISE);
    MoveToEx(dc, T.X(0), T.Y(0), nullptr);
    POINT origin{0, 0};
    LPtoDP(dc, &origin, 1);
    Origin = origin;
    Initial = CreateRectRgn(0, 0, 0, 0);
    if (GetClipRgn(dc, Initial) != 1) {
      DeleteObject(Initial);
      Initial = nullptr;
    }
  }
  ~Player() {
    RestoreDC(Dc, Saved);
    for (auto& [index, object] : Objects) DeleteObject(object);
    for (State& s : States)
      if (s.Clip) DeleteObject(s.Clip);
    if (Clip) DeleteObject(Clip);
    if (Initial) DeleteObject(Initial);
  }
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  // ---- Objects ----

  void Keep(std::size_t index, HGDIOBJ object) {
    if (!object) return;
    if (index >= kMaxObjects) {
      DeleteObject(object);
      return;
    }
    if (auto it = Objects.find(index); it != Objects.end()) DeleteObject(it->second);
    Objects[index] = object;
  }
  // An object of the table, or (in enhanced records) a stock object.
  HGDIOBJ Object(std::uint32_t index, bool stock) const {
    if (stock && (index & kEmfStockObject)) {
      const auto n = index & ~kEmfStockObject;
      return n <= STOCK_LAST ? GetStockObject(static_cast<int>(n)) : nullptr;
    }
    auto it = Objects.find(index);
    return it == Objects.end() ? nullptr : it->second;
  }
  void Select(std::uint32_t index, bool stock) {
    HGDIOBJ obj = Object(index, stock);
    if (!obj) return;
    // The older format selects a region as the clip.
    if (GetObjectType(obj) == OBJ_REGION) return SelectClip(reinterpret_cast<HRGN>(obj), RGN_COPY, true);
    SelectObject(Dc, obj);
  }
  void Delete(std::size_t index) {
    auto it = Objects.find(index);
    if (it == Objects.end()) return;
    // Deleting what is in use puts the stock object back first.
    HGDIOBJ obj = it->second;
    if (GetCurrentObject(Dc, OBJ_PEN) == obj) SelectObject(Dc, GetStockObject(BLACK_PEN));
    if (GetCurrentObject(Dc, OBJ_BRUSH) == obj) SelectObject(Dc, GetStockObject(WHITE_BRUSH));
    if (GetCurrentObject(Dc, OBJ_FONT) == obj) SelectObject(Dc, GetStockObject(SYSTEM_FONT));
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
    style &= PS_STYLE_MASK;
    if (style > PS_INSIDEFRAME) style = PS_SOLID;
    return CreatePen(static_cast<int>(style), T.Width(width), color & 0xFFFFFF);
  }
  HBRUSH Brush(UINT style, COLORREF color, std::uint32_t hatch) {
    LOGBRUSH lb{BS_SOLID, color & 0xFFFFFF, 0};
    if (style == BS_NULL) lb.lbStyle = BS_NULL;
    if (style == BS_HATCHED && hatch <= HS_DIAGCROSS) lb.lbStyle = BS_HATCHED, lb.lbHatch = hatch;
    return CreateBrushIndirect(&lb);
  }
  HBRUSH PatternBrush(const Dib& dib) {
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(Dc, dib.Header(), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bm) return nullptr;
    const BITMAPINFOHEADER& h = dib.Header()->bmiHeader;
    const std::size_t stride = (std::size_t(h.biWidth) * h.biBitCount + 31) / 32 * 4;
    std::memcpy(bits, dib.Bits.data(), stride * std::size_t(h.biHeight < 0 ? -h.biHeight : h.biHeight));
    HBRUSH brush = CreatePatternBrush(bm);
    DeleteObject(bm);
    return brush;
  }
  // A font of a description in the picture's units.
  HFONT Font(LOGFONTA lf) {
    auto scale = [](LONG v, double s, int limit) {
      const int magnitude = Transform::Round(std::fabs(v * s), limit);
      return LONG(v < 0 ? -std::max(magnitude, 1) : v > 0 ? std::max(magnitude, 1) : 0);
    };
    lf.lfHeight = scale(lf.lfHeight, T.Total(1), kMaxFontHeight);
    lf.lfWidth = scale(lf.lfWidth, T.Total(0), kMaxFontHeight);
    lf.lfWeight = std::clamp<LONG>(lf.lfWeight, 0, 1000);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
    return CreateFontIndirectA(&lf);
  }

  // ---- Regions and clipping ----

  // A region of rectangles in picture coordinates: logical units (of the
  // drawing calls, answered in the target's logical units) or device units
  // (of clip regions, answered in the target's device units).
  HRGN RegionOf(const std::vector<RECT>& rects, bool device) const {
    std::vector<HRGN> parts;
    for (const RECT& r : rects) {
      int l, t, rr, b;
      if (device) {
        l = T.DeviceX(r.Left) + Origin.X, t = T.DeviceY(r.Top) + Origin.Y;
        rr = T.DeviceX(r.Right) + Origin.X, b = T.DeviceY(r.Bottom) + Origin.Y;
      } else {
        l = T.X(r.Left), t = T.Y(r.Top), rr = T.X(r.Right), b = T.Y(r.Bottom);
      }
      if (l != rr && t != b) parts.push_back(CreateRectRgn(l, t, rr, b));
    }
    if (parts.empty()) return CreateRectRgn(0, 0, 0, 0);
    // Joined in pairs, so many rectangles cost n log n.
    while (parts.size() > 1) {
      std::size_t out = 0;
      for (std::size_t i = 0; i < parts.size(); i += 2) {
        if (i + 1 < parts.size()) {
          CombineRgn(parts[i], parts[i], parts[i + 1], RGN_OR);
          DeleteObject(parts[i + 1]);
        }
        parts[out++] = parts[i];
      }
      parts.resize(out);
    }
    return parts[0];
  }
  // Combines the picture's clip with a region (target device units; null
  // with RGN_COPY: no clip of the picture's own).
  void SelectClip(HRGN rgn, int mode, bool logical) {
    HRGN device = nullptr;
    if (rgn && logical) {
      device = CreateRectRgn(0, 0, 0, 0);
      CombineRgn(device, rgn, nullptr, RGN_COPY);
      OffsetRgn(device, Origin.X, Origin.Y);
      rgn = device;
    }
    if (mode == RGN_COPY) {
      if (Clip) DeleteObject(Clip);
      Clip = nullptr;
      if (rgn) {
        Clip = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(Clip, rgn, nullptr, RGN_COPY);
      }
    } else if (rgn && mode >= RGN_AND && mode <= RGN_DIFF) {
      if (!Clip) Clip = CreateRectRgn(-kEverything, -kEverything, kEverything, kEverything);
      CombineRgn(Clip, Clip, rgn, mode);
    }
    if (device) DeleteObject(device);
    ApplyClip();
  }
  // A clip rectangle in logical units, kept (intersect) or cut out.
  void ClipRect(bool intersect, double l, double t, double r, double b) {
    int x0 = T.X(l) + Origin.X, y0 = T.Y(t) + Origin.Y, x1 = T.X(r) + Origin.X, y1 = T.Y(b) + Origin.Y;
    HRGN rect = CreateRectRgn(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1));
    SelectClip(rect, intersect ? RGN_AND : RGN_DIFF, false);
    DeleteObject(rect);
  }
  void OffsetClip(double dx, double dy) {
    if (!Clip) return;
    OffsetRgn(Clip, T.Length(0, dx), T.Length(1, dy));
    ApplyClip();
  }

  // ---- Saved states ----

  void Save() {
    if (States.size() >= kMaxSavedStates) return;
    SaveDC(Dc);
    State s{T.Meta, nullptr};
    if (Clip) {
      s.Clip = CreateRectRgn(0, 0, 0, 0);
      CombineRgn(s.Clip, Clip, nullptr, RGN_COPY);
    }
    States.push_back(s);
  }
  // Back `levels` saved states.
  void Restore(int levels) {
    if (levels < 1 || std::size_t(levels) > States.size()) return;
    RestoreDC(Dc, -levels);
    const std::size_t keep = States.size() - std::size_t(levels);
    T.Meta = States[keep].Meta;
    if (Clip) DeleteObject(Clip);
    Clip = States[keep].Clip;
    States[keep].Clip = nullptr;
    for (std::size_t i = keep; i < States.size(); ++i)
      if (States[i].Clip) DeleteObject(States[i].Clip);
    States.resize(keep);
  }
  std::size_t Depth() const { return States.size(); }

  HDC Dc;
  Transform T;
  POINT Origin{};  // the target's device position of its logical (0, 0)

 private:
  void ApplyClip() {
    if (!Clip) {
      SelectClipRgn(Dc, Initial);
      return;
    }
    if (!Initial) {
      SelectClipRgn(Dc, Clip);
      return;
    }
    HRGN both = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(both, Clip, Initial, RGN_AND);
    SelectClipRgn(Dc, both);
    DeleteObject(both);
  }

  struct State {
    MetaMapping Meta;
    HRGN Clip;
  };
  int Saved;
  std::map<std::size_t, HGDIOBJ> Objects;
  HRGN Initial = nullptr;  // the DC's clip when the picture started
  HRGN Clip = nullptr;     // the picture's own, target device units
  std::vector<State> States;
};

// Text drawn at a logical point with per-character advances in logical
// units (or none), scaled so that the characters land where the advances
// put them.
void Text(Player& p, double x, double y, UINT options, const RECT* rect, const std::string& s,
          const std::vector<double>& advances) {
  const Transform& t = p.T;
  RECT target{};
  if (rect && (options & (ETO_OPAQUE | ETO_CLIPPED))) {
    const int l = t.X(rect->Left), tp = t.Y(rect->Top), r = t.X(rect->Right), b = t.Y(rect->Bottom);
    target = {std::min(l, r), std::min(tp, b), std::max(l, r), std::max(tp, b)};
  } else {
    options &= ~(ETO_OPAQUE | ETO_CLIPPED);
  }
  std::vector<int> dx;
  if (!advances.empty()) {
    const double scale = std::fabs(t.Total(0));
    dx.resize(s.size());
    double at = 0;
    int drawn = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
      at += advances[i];
      const int next = Transform::Round(at * scale, 1e8);
      dx[i] = next - drawn;
      drawn = next;
    }
  }
  ExtTextOutA(p.Dc, t.X(x), t.Y(y), options & (ETO_OPAQUE | ETO_CLIPPED), options ? &target : nullptr, s.data(),
              static_cast<UINT>(s.size()), dx.empty() ? nullptr : dx.data());
}

// A DIB drawn into a logical rectangle from a rectangle of its own.
void DrawDib(Player& p, const Dib& dib, double x, double y, double w, double h, int xSrc, int ySrc, int wSrc, int hSrc,
             DWORD rop) {
  const Transform& t = p.T;
  const int x0 = t.X(x), y0 = t.Y(y), x1 = t.X(x + w), y1 = t.Y(y + h);
  StretchDIBits(p.Dc, x0, y0, x1 - x0, y1 - y0, xSrc, ySrc, wSrc, hSrc, dib.Bits.data(), dib.Header(), DIB_RGB_COLORS,
                rop);
}

void PatternFill(Player& p, double x, double y, double w, double h, DWORD rop) {
  const Transform& t = p.T;
  const int x0 = t.X(x), y0 = t.Y(y), x1 = t.X(x + w), y1 = t.Y(y + h);
  PatBlt(p.Dc, x0, y0, x1 - x0, y1 - y0, rop);
}

// The rectangles of an RGNDATA block.
bool RegionData(const std::uint8_t* p, std::size_t size, std::vector<RECT>& rects) {
  rects.clear();
  if (size < 32) return false;
  const std::uint32_t header = U32(p), count = U32(p + 8);
  if (header < 32 || header > size || count > (size - header) / 16) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint8_t* r = p + header + 16 * std::size_t(i);
    rects.push_back({S32(r), S32(r + 4), S32(r + 8), S32(r + 12)});
  }
  return true;
}

void SetMapping(Player& p, int mode) {
  if (MetaMapping::Known(mode)) p.T.Meta.Mode = mode;
}
// A window or viewport extent; a zero one is refused.
void SetExtent(Player& p, bool window, double x, double y) {
  if (x == 0 || y == 0 || !p.T.Meta.UsesExtents()) return;
  double* ext = window ? p.T.Meta.WindowExt : p.T.Meta.ViewportExt;
  ext[0] = x, ext[1] = y;
}
void ScaleExtent(Player& p, bool window, double xNum, double xDenom, double yNum, double yDenom) {
  if (xDenom == 0 || yDenom == 0) return;
  const double* ext = window ? p.T.Meta.WindowExt : p.T.Meta.ViewportExt;
  SetExtent(p, window, std::trunc(ext[0] * xNum / xDenom), std::trunc(ext[1] * yNum / yDenom));
}

// ---- Enhanced records ----

void PlayPoints(Player& p, std::uint32_t type, const std::uint8_t* r, std::size_t n) {
  const bool small = type >= EMR_POLYBEZIER16;
  const std::size_t size = small ? 4 : 8;
  const bool multi = type == EMR_POLYPOLYGON || type == EMR_POLYPOLYGON16;
  // Bounds, then the counts, then the points.
  const std::size_t head = multi ? 24 : 20;
  if (n < head) return;
  const std::size_t polys = multi ? U32(r + 16) : 1, count = U32(r + (multi ? 20 : 16));
  if (polys == 0 || polys > (n - head) / 4) return;
  const std::size_t pointsAt = head + (multi ? 4 * polys : 0);
  if (pointsAt > n || count > (n - pointsAt) / size) return;
  std::vector<INT> counts;
  std::size_t sum = 0;
  if (multi) {
    for (std::size_t i = 0; i < polys; ++i) {
      counts.push_back(INT(std::min<std::uint32_t>(U32(r + head + 4 * i), 0x7FFFFFFF)));
      sum += std::size_t(counts.back());
    }
    if (sum != count) return;
  } else {
    counts.push_back(INT(count));
  }
  std::vector<POINT> pts(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* q = r + pointsAt + i * size;
    pts[i] = small ? POINT{p.T.X(S16(q)), p.T.Y(S16(q + 2))} : POINT{p.T.X(S32(q)), p.T.Y(S32(q + 4))};
  }
  const int c = static_cast<int>(count);
  switch (type) {
    case EMR_POLYGON:
    case EMR_POLYGON16: Polygon(p.Dc, pts.data(), c); break;
    case EMR_POLYLINE:
    case EMR_POLYLINE16: Polyline(p.Dc, pts.data(), c); break;
    case EMR_POLYLINETO:
    case EMR_POLYLINETO16: PolylineTo(p.Dc, pts.data(), DWORD(c)); break;
    case EMR_POLYBEZIER:
    case EMR_POLYBEZIER16: PolyBezier(p.Dc, pts.data(), DWORD(c)); break;
    case EMR_POLYBEZIERTO:
    case EMR_POLYBEZIERTO16: PolyBezierTo(p.Dc, pts.data(), DWORD(c)); break;
    default: PolyPolygon(p.Dc, pts.data(), counts.data(), static_cast<int>(polys)); break;
  }
}

void PlayEnhancedText(Player& p, std::uint32_t type, const std::uint8_t* rec, std::size_t length) {
  // Bounds, graphics mode and scales, then the text: reference point,
  // count, string offset, options, rectangle, advances offset.
  if (length < 76) return;
  const std::uint8_t* r = rec + 8;
  const std::size_t count = U32(r + 36), stringAt = U32(r + 40), dxAt = U32(r + 64);
  const UINT options = U32(r + 44);
  const std::size_t unit = type == EMR_EXTTEXTOUTW ? 2 : 1;
  if (stringAt > length || count > (length - stringAt) / unit) return;
  const std::string text = unit == 2 ? FromWide(rec + stringAt, count)
                                     : std::string(reinterpret_cast<const char*>(rec + stringAt), count);
  // Advances (pairs of x and y with ETO_PDY) when they lie in the record.
  constexpr UINT ETO_PDY = 0x2000;
  const std::size_t step = (options & ETO_PDY) ? 8 : 4;
  std::vector<double> advances;
  if (dxAt && dxAt <= length && count <= (length - dxAt) / step)
    for (std::size_t i = 0; i < count; ++i) advances.push_back(S32(rec + dxAt + i * step));
  const RECT rect{S32(r + 48), S32(r + 52), S32(r + 56), S32(r + 60)};
  Text(p, S32(r + 28), S32(r + 32), options, &rect, text, advances);
}

void PlayEnhancedBlit(Player& p, std::uint32_t type, const std::uint8_t* rec, std::size_t length) {
  const std::uint8_t* r = rec + 8;
  const std::size_t n = length - 8;
  std::int32_t x, y, w, h, xSrc, ySrc, wSrc, hSrc;
  std::uint32_t rop, offBmi, cbBmi, offBits, cbBits;
  if (type == EMR_STRETCHDIBITS) {
    if (n < 72) return;
    x = S32(r + 16), y = S32(r + 20), xSrc = S32(r + 24), ySrc = S32(r + 28), wSrc = S32(r + 32), hSrc = S32(r + 36);
    offBmi = U32(r + 40), cbBmi = U32(r + 44), offBits = U32(r + 48), cbBits = U32(r + 52);
    if (U32(r + 56) != DIB_RGB_COLORS) return;
    rop = U32(r + 60), w = S32(r + 64), h = S32(r + 68);
  } else {
    if (n < (type == EMR_STRETCHBLT ? 100u : 92u)) return;
    x = S32(r + 16), y = S32(r + 20), w = S32(r + 24), h = S32(r + 28), rop = U32(r + 32);
    xSrc = S32(r + 36), ySrc = S32(r + 40);
    if (U32(r + 72) != DIB_RGB_COLORS && U32(r + 80) != 0) return;
    offBmi = U32(r + 76), cbBmi = U32(r + 80), offBits = U32(r + 84), cbBits = U32(r + 88);
    wSrc = type == EMR_STRETCHBLT ? S32(r + 92) : w;
    hSrc = type == EMR_STRETCHBLT ? S32(r + 96) : h;
    if (cbBmi == 0) return PatternFill(p, x, y, w, h, rop);
  }
  if (offBmi > length || cbBmi > length - offBmi || offBits > length || cbBits > length - offBits) return;
  Dib dib;
  if (!ReadDib(rec + offBmi, cbBmi, rec + offBits, cbBits, dib)) return;
  DrawDib(p, dib, x, y, w, h, xSrc, ySrc, wSrc, hSrc, rop);
}

void PlayEnhancedRegion(Player& p, std::uint32_t type, const std::uint8_t* r, std::size_t n) {
  std::vector<RECT> rects;
  if (type == EMR_EXTSELECTCLIPRGN) {
    if (n < 8) return;
    const std::uint32_t size = U32(r), mode = U32(r + 4);
    if (size == 0) {
      if (mode == RGN_COPY) p.SelectClip(nullptr, RGN_COPY, false);
      return;
    }
    if (size > n - 8 || !RegionData(r + 8, size, rects)) return;
    HRGN rgn = p.RegionOf(rects, true);
    p.SelectClip(rgn, static_cast<int>(mode), false);
    DeleteObject(rgn);
    return;
  }
  // Bounds, the data's size, the brush and the frame's size where the
  // record has them, then the data.
  const std::size_t head = type == EMR_FILLRGN ? 24 : type == EMR_FRAMERGN ? 32 : 20;
  if (n < head) return;
  const std::uint32_t size = U32(r + 16);
  if (size > n - head || !RegionData(r + head, size, rects)) return;
  HRGN rgn = p.RegionOf(rects, false);
  HBRUSH brush = reinterpret_cast<HBRUSH>(type == EMR_FILLRGN || type == EMR_FRAMERGN ? p.Object(U32(r + 20), true)
                                                                                       : nullptr);
  switch (type) {
    case EMR_FILLRGN:
      if (brush) FillRgn(p.Dc, rgn, brush);
      break;
    case EMR_FRAMERGN:
      if (brush)
        FrameRgn(p.Dc, rgn, brush, std::max(1, std::abs(p.T.Length(0, S32(r + 24)))),
                 std::max(1, std::abs(p.T.Length(1, S32(r + 28)))));
      break;
    case EMR_INVERTRGN: InvertRgn(p.Dc, rgn); break;
    default: PaintRgn(p.Dc, rgn); break;
  }
  DeleteObject(rgn);
}

void PlayEnhancedObject(Player& p, std::uint32_t type, const std::uint8_t* rec, std::size_t length) {
  const std::uint8_t* r = rec + 8;
  const std::size_t n = length - 8;
  if (n < 4) return;
  const std::uint32_t index = U32(r);
  if (index == 0 || index >= kMaxObjects) return;  // 0 is the metafile itself
  switch (type) {
    case EMR_CREATEPEN:
      // Style, width (a point), colour.
      if (n >= 20) p.Keep(index, ToObj(p.Pen(U32(r + 4), S32(r + 8), U32(r + 16))));
      break;
    case EMR_EXTCREATEPEN: {
      // A pattern's DIB (not used: pens draw in their colour), then the
      // style, width, brush, hatch and style entries.
      if (n < 44) break;
      const std::uint32_t style = U32(r + 20), entries = U32(r + 40);
      if (entries > (n - 44) / 4) break;
      std::vector<DWORD> styles(entries);
      for (std::uint32_t i = 0; i < entries; ++i) styles[i] = U32(r + 44 + 4 * std::size_t(i));
      const bool geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
      const UINT brushStyle = U32(r + 28) == BS_NULL ? BS_NULL : BS_SOLID;
      LOGBRUSH lb{brushStyle, U32(r + 32) & 0xFFFFFF, 0};
      const DWORD width = geometric ? DWORD(std::max(p.T.Width(S32(r + 24)), 1)) : 1;
      p.Keep(index, ToObj(ExtCreatePen(style, width, &lb, entries, entries ? styles.data() : nullptr)));
      break;
    }
    case EMR_CREATEBRUSHINDIRECT:
      // Style, colour, hatch.
      if (n >= 16) p.Keep(index, ToObj(p.Brush(U32(r + 4), U32(r + 8), U32(r + 12))));
      break;
    case EMR_CREATEDIBPATTERNBRUSHPT: {
      if (n < 24) break;
      const std::uint32_t offBmi = U32(r + 8), cbBmi = U32(r + 12), offBits = U32(r + 16), cbBits = U32(r + 20);
      if (U32(r + 4) != DIB_RGB_COLORS || offBmi > length || cbBmi > length - offBmi || offBits > length ||
          cbBits > length - offBits)
        break;
      Dib dib;
      if (ReadDib(rec + offBmi, cbBmi, rec + offBits, cbBits, dib)) p.Keep(index, ToObj(p.PatternBrush(dib)));
      break;
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
      // The description: five numbers, eight bytes, the face in UTF-16.
      if (n < 4 + 28 + 64) break;
      LOGFONTA lf{};
      const std::uint8_t* f = r + 4;
      lf.lfHeight = S32(f), lf.lfWidth = S32(f + 4), lf.lfEscapement = S32(f + 8), lf.lfOrientation = S32(f + 12);
      lf.lfWeight = S32(f + 16);
      lf.lfItalic = f[20], lf.lfUnderline = f[21], lf.lfStrikeOut = f[22], lf.lfCharSet = f[23];
      lf.lfOutPrecision = f[24], lf.lfClipPrecision = f[25], lf.lfQuality = f[26], lf.lfPitchAndFamily = f[27];
      std::size_t len = 0;
      while (len < LF_FACESIZE - 1 && U16(f + 28 + 2 * len)) ++len;
      const std::string face = FromWide(f + 28, len);
      std::memcpy(lf.lfFaceName, face.data(), face.size());
      p.Keep(index, ToObj(p.Font(lf)));
      break;
    }
    default: break;
  }
}

void PlayEnhancedRecord(Player& p, std::uint32_t type, const std::uint8_t* rec, std::size_t length) {
  const HDC dc = p.Dc;
  const Transform& t = p.T;
  const std::uint8_t* r = rec + 8;
  const std::size_t n = length - 8;  // parameter bytes; framing was checked on reading
  auto X = [&](std::size_t off) { return t.X(S32(r + off)); };
  auto Y = [&](std::size_t off) { return t.Y(S32(r + off)); };
  switch (type) {
    case EMR_MOVETOEX:
      if (n >= 8) MoveToEx(dc, X(0), Y(4), nullptr);
      break;
    case EMR_LINETO:
      if (n >= 8) LineTo(dc, X(0), Y(4));
      break;
    case EMR_SETPIXELV:
      if (n >= 12) SetPixelV(dc, X(0), Y(4), U32(r + 8) & 0xFFFFFF);
      break;
    case EMR_RECTANGLE:
      if (n >= 16) Rectangle(dc, X(0), Y(4), X(8), Y(12));
      break;
    case EMR_ELLIPSE:
      if (n >= 16) Ellipse(dc, X(0), Y(4), X(8), Y(12));
      break;
    case EMR_ROUNDRECT:
      if (n >= 24) RoundRect(dc, X(0), Y(4), X(8), Y(12), std::abs(t.Length(0, S32(r + 16))), std::abs(t.Length(1, S32(r + 20))));
      break;
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE: {
      if (n < 32) break;
      auto shape = type == EMR_ARC ? Arc : type == EMR_CHORD ? Chord : Pie;
      shape(dc, X(0), Y(4), X(8), Y(12), X(16), Y(20), X(24), Y(28));
      break;
    }
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
    case EMR_POLYPOLYGON:
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16:
    case EMR_POLYPOLYGON16: PlayPoints(p, type, r, n); break;
    case EMR_BEGINPATH: BeginPath(dc); break;
    case EMR_ENDPATH: EndPath(dc); break;
    case EMR_CLOSEFIGURE: CloseFigure(dc); break;
    case EMR_FILLPATH: FillPath(dc); break;
    case EMR_STROKEANDFILLPATH: StrokeAndFillPath(dc); break;
    case EMR_STROKEPATH: StrokePath(dc); break;
    case EMR_WIDENPATH: WidenPath(dc); break;
    case EMR_ABORTPATH: AbortPath(dc); break;
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW: PlayEnhancedText(p, type, rec, length); break;
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_STRETCHDIBITS: PlayEnhancedBlit(p, type, rec, length); break;
    case EMR_FILLRGN:
    case EMR_FRAMERGN:
    case EMR_INVERTRGN:
    case EMR_PAINTRGN:
    case EMR_EXTSELECTCLIPRGN: PlayEnhancedRegion(p, type, r, n); break;
    case EMR_INTERSECTCLIPRECT:
    case EMR_EXCLUDECLIPRECT:
      if (n >= 16) p.ClipRect(type == EMR_INTERSECTCLIPRECT, S32(r), S32(r + 4), S32(r + 8), S32(r + 12));
      break;
    case EMR_OFFSETCLIPRGN:
      if (n >= 8) p.OffsetClip(S32(r), S32(r + 4));
      break;
    case EMR_SAVEDC: p.Save(); break;
    case EMR_RESTOREDC:
      // Counted back from the last saved state.
      if (n >= 4 && S32(r) < 0) p.Restore(-std::max(S32(r), -0x7FFFFFFF));
      break;
    case EMR_SETMAPMODE:
      if (n >= 4) SetMapping(p, S32(r));
      break;
    case EMR_SETWINDOWEXTEX:
    case EMR_SETVIEWPORTEXTEX:
      if (n >= 8) SetExtent(p, type == EMR_SETWINDOWEXTEX, S32(r), S32(r + 4));
      break;
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTORGEX:
      if (n >= 8) {
        double* org = type == EMR_SETWINDOWORGEX ? p.T.Meta.WindowOrg : p.T.Meta.ViewportOrg;
        org[0] = S32(r), org[1] = S32(r + 4);
      }
      break;
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX:
      if (n >= 16) ScaleExtent(p, type == EMR_SCALEWINDOWEXTEX, S32(r), S32(r + 4), S32(r + 8), S32(r + 12));
      break;
    case EMR_SETBKMODE:
      if (n >= 4) SetBkMode(dc, S32(r) == OPAQUE ? OPAQUE : TRANSPARENT);
      break;
    case EMR_SETTEXTCOLOR:
      if (n >= 4) SetTextColor(dc, U32(r) & 0xFFFFFF);
      break;
    case EMR_SETBKCOLOR:
      if (n >= 4) SetBkColor(dc, U32(r) & 0xFFFFFF);
      break;
    case EMR_SETTEXTALIGN:
      if (n >= 4) SetTextAlign(dc, U32(r) & (TA_UPDATECP | TA_CENTER | TA_BASELINE));
      break;
    case EMR_SETROP2:
      if (n >= 4 && S32(r) >= R2_BLACK && S32(r) <= R2_WHITE) SetROP2(dc, S32(r));
      break;
    case EMR_SETPOLYFILLMODE:
      if (n >= 4) SetPolyFillMode(dc, S32(r) == WINDING ? WINDING : ALTERNATE);
      break;
    case EMR_SETSTRETCHBLTMODE:
      if (n >= 4 && S32(r) >= BLACKONWHITE && S32(r) <= HALFTONE) SetStretchBltMode(dc, S32(r));
      break;
    case EMR_SETARCDIRECTION:
      if (n >= 4) SetArcDirection(dc, S32(r) == AD_CLOCKWISE ? AD_CLOCKWISE : AD_COUNTERCLOCKWISE);
      break;
    case EMR_SETBRUSHORGEX:
      if (n >= 8) SetBrushOrgEx(dc, X(0) + p.Origin.X, Y(4) + p.Origin.Y, nullptr);
      break;
    case EMR_CREATEPEN:
    case EMR_EXTCREATEPEN:
    case EMR_CREATEBRUSHINDIRECT:
    case EMR_CREATEDIBPATTERNBRUSHPT:
    case EMR_EXTCREATEFONTINDIRECTW: PlayEnhancedObject(p, type, rec, length); break;
    case EMR_SELECTOBJECT:
      if (n >= 4) p.Select(U32(r), true);
      break;
    case EMR_DELETEOBJECT:
      if (n >= 4) p.Delete(U32(r));
      break;
    default: break;  // not drawn
  }
}

// ---- Records of the older format ----

// Parameters come in reverse order: the last argument first.
struct Words {
  const std::uint8_t* R;
  std::size_t N;
  std::int16_t operator()(std::size_t i) const { return S16(R + i * 2); }
};

// The region object of the older format: a header, then scans, each a
// band of rows with pairs of left and right edges.
bool WmfRegion(const std::uint8_t* r, std::size_t n, std::vector<RECT>& rects) {
  rects.clear();
  if (n < 22) return false;
  const std::size_t scans = U16(r + 10);
  std::size_t at = 22;
  for (std::size_t i = 0; i < scans; ++i) {
    if (n - at < 6) return false;
    const std::size_t count = U16(r + at);
    const int top = S16(r + at + 2), bottom = S16(r + at + 4);
    if (count % 2 || (n - at - 6) / 2 < count + 1) return false;
    for (std::size_t k = 0; k + 1 < count; k += 2)
      rects.push_back({S16(r + at + 6 + 2 * k), top, S16(r + at + 8 + 2 * k), bottom});
    at += 6 + 2 * count + 2;
  }
  return true;
}

// A packed DIB at the end of a record.
bool WmfDib(const std::uint8_t* p, std::size_t size, Dib& out) {
  if (size < 40) return false;
  const std::uint32_t headerSize = U32(p);
  const unsigned bpp = U16(p + 14);
  const std::uint32_t used = U32(p + 32);
  if (headerSize < 40 || headerSize > size) return false;
  std::size_t bmi = headerSize;
  if (U32(p + 16) == BI_BITFIELDS && headerSize == 40) bmi += 12;
  if (bpp <= 8) bmi += 4 * std::size_t(used && used < (1u << bpp) ? used : 1u << bpp);
  if (bmi > size) return false;
  return ReadDib(p, bmi, p + bmi, size - bmi, out);
}

void PlayPlaceableRecord(Player& p, std::uint16_t function, const std::uint8_t* r, std::size_t n) {
  const HDC dc = p.Dc;
  const Transform& t = p.T;
  Words w{r, n};
  auto keepRegion = [&](const std::vector<RECT>& rects) { p.Keep(p.FreeSlot(), ToObj(p.RegionOf(rects, false))); };
  auto region = [&](std::size_t i) { return reinterpret_cast<HRGN>(p.Object(U16(r + 2 * i), false)); };
  switch (function) {
    case META_MOVETO:
      if (n >= 4) MoveToEx(dc, t.X(w(1)), t.Y(w(0)), nullptr);
      break;
    case META_LINETO:
      if (n >= 4) LineTo(dc, t.X(w(1)), t.Y(w(0)));
      break;
    case META_RECTANGLE:
      if (n >= 8) Rectangle(dc, t.X(w(3)), t.Y(w(2)), t.X(w(1)), t.Y(w(0)));
      break;
    case META_ELLIPSE:
      if (n >= 8) Ellipse(dc, t.X(w(3)), t.Y(w(2)), t.X(w(1)), t.Y(w(0)));
      break;
    case META_POLYGON:
    case META_POLYLINE: {
      if (n < 2) break;
      std::size_t count = U16(r);
      if (count > (n - 2) / 4) break;
      std::vector<POINT> points(count);
      for (std::size_t i = 0; i < count; ++i) points[i] = POINT{t.X(w(1 + i * 2)), t.Y(w(2 + i * 2))};
      if (function == META_POLYGON)
        Polygon(dc, points.data(), static_cast<int>(count));
      else
        Polyline(dc, points.data(), static_cast<int>(count));
      break;
    }
    case META_TEXTOUT: {
      // Length, the string (padded to a word), y, x.
      if (n < 2) break;
      const std::size_t len = U16(r), padded = (len + 1) & ~std::size_t(1);
      if (n < 2 + padded + 4) break;
      Text(p, S16(r + 4 + padded), S16(r + 2 + padded), 0, nullptr,
           std::string(reinterpret_cast<const char*>(r + 2), len), {});
      break;
    }
    case META_EXTTEXTOUT: {
      // y, x, length, options, a rectangle when the options use one, the
      // string (padded to a word), the advances if any.
      if (n < 8) break;
      const std::size_t len = U16(r + 4);
      const UINT options = U16(r + 6);
      std::size_t at = 8;
      RECT rect{};
      if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
        if (n < 16) break;
        rect = {S16(r + 8), S16(r + 10), S16(r + 12), S16(r + 14)};
        at = 16;
      }
      const std::size_t padded = (len + 1) & ~std::size_t(1);
      if (n - at < len) break;
      std::vector<double> advances;
      if (n - at >= padded && (n - at - padded) / 2 >= len)
        for (std::size_t i = 0; i < len; ++i) advances.push_back(S16(r + at + padded + 2 * i));
      Text(p, S16(r + 2), S16(r), options, &rect, std::string(reinterpret_cast<const char*>(r + at), len), advances);
      break;
    }
    case META_DIBBITBLT:
    case META_DIBSTRETCHBLT:
    case META_STRETCHDIB: {
      // The raster operation, then the rectangles (reversed), then the DIB;
      // without a DIB a word is reserved and the pattern is used.
      const std::size_t words = function == META_DIBBITBLT ? 6 : function == META_DIBSTRETCHBLT ? 8 : 9;
      const bool usage = function == META_STRETCHDIB;
      const std::size_t fixed = 4 + 2 * words;
      if (n < fixed) break;
      const DWORD rop = U32(r);
      const std::uint8_t* q = r + 4;  // the words after the operation
      auto at = [&](std::size_t i) { return S16(q + 2 * i); };
      if (usage && U16(q) != DIB_RGB_COLORS) break;
      const std::size_t base = usage ? 1 : 0;
      std::int16_t hSrc, wSrc, ySrc, xSrc, h, wd, y, x;
      if (function == META_DIBBITBLT) {
        const bool none = n == fixed + 2;
        const std::size_t k = none ? 1 : 0;
        ySrc = at(0), xSrc = at(1), h = at(2 + k), wd = at(3 + k), y = at(4 + k), x = at(5 + k);
        hSrc = h, wSrc = wd;
        if (none) {
          PatternFill(p, x, y, wd, h, rop);
          break;
        }
      } else {
        const bool none = !usage && n == fixed + 2;
        const std::size_t k = none ? 1 : 0;
        hSrc = at(base), wSrc = at(base + 1), ySrc = at(base + 2), xSrc = at(base + 3);
        h = at(base + 4 + k), wd = at(base + 5 + k), y = at(base + 6 + k), x = at(base + 7 + k);
        if (none) {
          PatternFill(p, x, y, wd, h, rop);
          break;
        }
      }
      Dib dib;
      if (!WmfDib(r + fixed, n - fixed, dib)) break;
      DrawDib(p, dib, x, y, wd, h, xSrc, ySrc, wSrc, hSrc, rop);
      break;
    }
    case META_CREATEREGION: {
      std::vector<RECT> rects;
      if (WmfRegion(r, n, rects)) keepRegion(rects);
      break;
    }
    case META_SELECTCLIPREGION:
      if (n >= 2) {
        if (HRGN rgn = region(0); rgn && GetObjectType(ToObj(rgn)) == OBJ_REGION) p.SelectClip(rgn, RGN_COPY, true);
      }
      break;
    case META_FILLREGION:
    case META_FRAMEREGION: {
      // Region, brush (and the frame's height and width).
      if (n < (function == META_FILLREGION ? 4u : 8u)) break;
      HRGN rgn = region(0);
      HGDIOBJ brush = p.Object(U16(r + 2), false);
      if (!rgn || !brush || GetObjectType(ToObj(rgn)) != OBJ_REGION || GetObjectType(brush) != OBJ_BRUSH) break;
      if (function == META_FILLREGION)
        FillRgn(dc, rgn, reinterpret_cast<HBRUSH>(brush));
      else
        FrameRgn(dc, rgn, reinterpret_cast<HBRUSH>(brush), std::max(1, std::abs(t.Length(0, w(3)))),
                 std::max(1, std::abs(t.Length(1, w(2)))));
      break;
    }
    case META_PAINTREGION:
    case META_INVERTREGION:
      if (n >= 2) {
        HRGN rgn = region(0);
        if (!rgn || GetObjectType(ToObj(rgn)) != OBJ_REGION) break;
        if (function == META_PAINTREGION) PaintRgn(dc, rgn);
        else InvertRgn(dc, rgn);
      }
      break;
    case META_INTERSECTCLIPRECT:
    case META_EXCLUDECLIPRECT:
      if (n >= 8) p.ClipRect(function == META_INTERSECTCLIPRECT, w(3), w(2), w(1), w(0));
      break;
    case META_OFFSETCLIPRGN:
      if (n >= 4) p.OffsetClip(w(1), w(0));
      break;
    case META_SAVEDC: p.Save(); break;
    case META_RESTOREDC:
      // Counted back from the last saved state, or a level counted from
      // the first.
      if (n >= 2) {
        const int level = w(0);
        p.Restore(level < 0 ? -level : static_cast<int>(p.Depth()) - level + 1);
      }
      break;
    case META_SETMAPMODE:
      if (n >= 2) SetMapping(p, w(0));
      break;
    case META_SETWINDOWEXT:
    case META_SETVIEWPORTEXT:
      if (n >= 4) SetExtent(p, function == META_SETWINDOWEXT, w(1), w(0));
      break;
    case META_SETWINDOWORG:
    case META_SETVIEWPORTORG:
      if (n >= 4) {
        double* org = function == META_SETWINDOWORG ? p.T.Meta.WindowOrg : p.T.Meta.ViewportOrg;
        org[0] = w(1), org[1] = w(0);
      }
      break;
    case META_OFFSETWINDOWORG:
    case META_OFFSETVIEWPORTORG:
      if (n >= 4) {
        double* org = function == META_OFFSETWINDOWORG ? p.T.Meta.WindowOrg : p.T.Meta.ViewportOrg;
        org[0] += w(1), org[1] += w(0);
      }
      break;
    case META_SCALEWINDOWEXT:
    case META_SCALEVIEWPORTEXT:
      // y denominator, y numerator, x denominator, x numerator.
      if (n >= 8) ScaleExtent(p, function == META_SCALEWINDOWEXT, w(3), w(2), w(1), w(0));
      break;
    case META_SETBKMODE:
      if (n >= 2) SetBkMode(dc, w(0) == OPAQUE ? OPAQUE : TRANSPARENT);
      break;
    case META_SETTEXTCOLOR:
      if (n >= 4) SetTextColor(dc, U32(r) & 0xFFFFFF);
      break;
    case META_SETBKCOLOR:
      if (n >= 4) SetBkColor(dc, U32(r) & 0xFFFFFF);
      break;
    case META_SETTEXTALIGN:
      if (n >= 2) SetTextAlign(dc, U16(r) & (TA_UPDATECP | TA_CENTER | TA_BASELINE));
      break;
    case META_SETROP2:
      if (n >= 2 && w(0) >= R2_BLACK && w(0) <= R2_WHITE) SetROP2(dc, w(0));
      break;
    case META_SETPOLYFILLMODE:
      if (n >= 2) SetPolyFillMode(dc, w(0) == WINDING ? WINDING : ALTERNATE);
      break;
    case META_SETSTRETCHBLTMODE:
      if (n >= 2 && w(0) >= BLACKONWHITE && w(0) <= HALFTONE) SetStretchBltMode(dc, w(0));
      break;
    case META_CREATEPENINDIRECT:
      // Style, width (a point), colour.
      if (n >= 10) p.Keep(p.FreeSlot(), ToObj(p.Pen(U16(r), S16(r + 2), U32(r + 6))));
      break;
    case META_CREATEBRUSHINDIRECT:
      // Style, colour, hatch.
      if (n >= 8) p.Keep(p.FreeSlot(), ToObj(p.Brush(U16(r), U32(r + 2), U16(r + 6))));
      else if (n >= 6) p.Keep(p.FreeSlot(), ToObj(p.Brush(U16(r), U32(r + 2), 0)));
      break;
    case META_CREATEFONTINDIRECT: {
      // Height, width, escapement, orientation, weight, eight bytes, face.
      if (n < 18) break;
      LOGFONTA lf{};
      lf.lfHeight = S16(r), lf.lfWidth = S16(r + 2), lf.lfEscapement = S16(r + 4), lf.lfOrientation = S16(r + 6);
      lf.lfWeight = S16(r + 8);
      lf.lfItalic = r[10], lf.lfUnderline = r[11], lf.lfStrikeOut = r[12], lf.lfCharSet = r[13];
      lf.lfOutPrecision = r[14], lf.lfClipPrecision = r[15], lf.lfQuality = r[16], lf.lfPitchAndFamily = r[17];
      std::size_t len = 0;
      while (len < LF_FACESIZE - 1 && 18 + len < n && r[18 + len]) ++len;
      std::memcpy(lf.lfFaceName, r + 18, len);
      p.Keep(p.FreeSlot(), ToObj(p.Font(lf)));
      break;
    }
    case META_SELECTOBJECT:
      if (n >= 2) p.Select(U16(r), false);
      break;
    case META_DELETEOBJECT:
      if (n >= 2) p.Delete(U16(r));
      break;
    default: break;  // not drawn
  }
}

}  // namespace

void PlayEnhancedMetafile(const std::uint8_t* d, HDC dc, const TRect& rect) {
  // Record coordinates are in the reference device's pixels; its size in
  // pixels and millimetres relates them to the frame, which fills rect.
  const double frame[4] = {double(S32(d + 24)), double(S32(d + 28)), double(S32(d + 32)), double(S32(d + 36))};
  const std::int32_t devW = S32(d + 72), devH = S32(d + 76), mmW = S32(d + 80), mmH = S32(d + 84);
  const double perX = devW > 0 && mmW > 0 ? 100.0 * mmW / devW : 2540.0 / 96;
  const double perY = devH > 0 && mmH > 0 ? 100.0 * mmH / devH : 2540.0 / 96;
  Transform t;
  t.Axis(0, frame[0] / perX, frame[2] / perX, rect.Left, rect.Right);
  t.Axis(1, frame[1] / perY, frame[3] / perY, rect.Top, rect.Bottom);
  t.Meta.PixelsPerMm[0] = 100.0 / perX;
  t.Meta.PixelsPerMm[1] = 100.0 / perY;
  Player p(dc, t);
  const std::size_t total = U32(d + 48);
  for (std::size_t at = U32(d + 4); at + 8 <= total;) {
    const std::uint32_t type = U32(d + at);
    const std::size_t length = U32(d + at + 4);
    const std::uint8_t* rec = d + at;
    at += length;
    if (type == EMR_EOF) return;
    PlayEnhancedRecord(p, type, rec, length);
  }
}

void PlayPlaceableMetafile(const std::uint8_t* d, HDC dc, const TRect& rect) {
  // The bounds are the picture's device, in units of the header's units
  // per inch; the records' window starts as those bounds.
  const double bounds[4] = {double(S16(d + 6)), double(S16(d + 8)), double(S16(d + 10)), double(S16(d + 12))};
  Transform t;
  t.Axis(0, bounds[0], bounds[2], rect.Left, rect.Right);
  t.Axis(1, bounds[1], bounds[3], rect.Top, rect.Bottom);
  t.Meta.Mode = MM_ANISOTROPIC;
  for (int i = 0; i < 2; ++i) {
    t.Meta.WindowOrg[i] = t.Meta.ViewportOrg[i] = bounds[i];
    t.Meta.WindowExt[i] = t.Meta.ViewportExt[i] = bounds[i + 2] - bounds[i];
    t.Meta.PixelsPerMm[i] = U16(d + 14) / 25.4;
  }
  Player p(dc, t);
  const std::size_t total = kPlaceableSize + std::size_t(U32(d + kPlaceableSize + 6)) * 2;
  for (std::size_t at = kPlaceableSize + kWmfHeaderSize; at + 6 <= total;) {
    const std::size_t length = std::size_t(U32(d + at)) * 2;
    const std::uint16_t function = U16(d + at + 4);
    const std::uint8_t* r = d + at + 6;
    at += length;
    if (function == META_EOF) return;
    PlayPlaceableRecord(p, function, r, length - 6);
  }
}
