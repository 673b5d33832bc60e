#include "platform/forms/MetafilePlayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/forms/MetafilePlaying.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/CodePage.h"

using namespace win;

namespace forms::metafile {

namespace {

// States saved deeper than this are not saved.
constexpr std::size_t kMaxSavedStates = 1024;
// A clip region's "everything" when the picture has set none.
constexpr int kEverything = 1 << 27;

}  // namespace

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

std::string FromWide(const std::uint8_t* p, std::size_t count) {
  std::string s(count, '?');
  for (std::size_t i = 0; i < count; ++i) {
    const int c = orv::cp1252::FromUnicode(U16(p + 2 * i));
    if (c >= 0) s[i] = static_cast<char>(c);
  }
  return s;
}

Player::Player(HDC dc, const Transform& t) : Dc(dc), T(t), Saved(SaveDC(dc)) {
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

Player::~Player() {
  RestoreDC(Dc, Saved);
  for (auto& [index, object] : Objects) DeleteObject(object);
  for (State& s : States)
    if (s.Clip) DeleteObject(s.Clip);
  if (Clip) DeleteObject(Clip);
  if (Initial) DeleteObject(Initial);
}

void Player::Keep(std::size_t index, HGDIOBJ object) {
  if (!object) return;
  if (index >= kMaxObjects) {
    DeleteObject(object);
    return;
  }
  if (auto it = Objects.find(index); it != Objects.end()) DeleteObject(it->second);
  Objects[index] = object;
}

HGDIOBJ Player::Object(std::uint32_t index, bool stock) const {
  if (stock && (index & kEmfStockObject)) {
    const auto n = index & ~kEmfStockObject;
    return n <= STOCK_LAST ? GetStockObject(static_cast<int>(n)) : nullptr;
  }
  auto it = Objects.find(index);
  return it == Objects.end() ? nullptr : it->second;
}

void Player::Select(std::uint32_t index, bool stock) {
  HGDIOBJ obj = Object(index, stock);
  if (!obj) return;
  // The older format selects a region as the clip.
  if (GetObjectType(obj) == OBJ_REGION) return SelectClip(reinterpret_cast<HRGN>(obj), RGN_COPY, true);
  SelectObject(Dc, obj);
}

void Player::Delete(std::size_t index) {
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

std::size_t Player::FreeSlot() const {
  std::size_t i = 0;
  for (auto& [index, object] : Objects) {
    if (index != i) break;
    ++i;
  }
  return i;
}

HPEN Player::Pen(UINT style, double width, COLORREF color) {
  style &= PS_STYLE_MASK;
  if (style > PS_INSIDEFRAME) style = PS_SOLID;
  return CreatePen(static_cast<int>(style), T.Width(width), color & 0xFFFFFF);
}

HBRUSH Player::Brush(UINT style, COLORREF color, std::uint32_t hatch) {
  LOGBRUSH lb{BS_SOLID, color & 0xFFFFFF, 0};
  if (style == BS_NULL) lb.lbStyle = BS_NULL;
  if (style == BS_HATCHED && hatch <= HS_DIAGCROSS) lb.lbStyle = BS_HATCHED, lb.lbHatch = hatch;
  return CreateBrushIndirect(&lb);
}

HBRUSH Player::PatternBrush(const Dib& dib) {
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

HFONT Player::Font(LOGFONTA lf) {
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

HRGN Player::RegionOf(const std::vector<RECT>& rects, bool device) const {
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

void Player::SelectClip(HRGN rgn, int mode, bool logical) {
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

void Player::ClipRect(bool intersect, double l, double t, double r, double b) {
  int x0 = T.X(l) + Origin.X, y0 = T.Y(t) + Origin.Y, x1 = T.X(r) + Origin.X, y1 = T.Y(b) + Origin.Y;
  HRGN rect = CreateRectRgn(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1));
  SelectClip(rect, intersect ? RGN_AND : RGN_DIFF, false);
  DeleteObject(rect);
}

void Player::OffsetClip(double dx, double dy) {
  if (!Clip) return;
  OffsetRgn(Clip, T.Length(0, dx), T.Length(1, dy));
  ApplyClip();
}

void Player::Save() {
  if (States.size() >= kMaxSavedStates) return;
  SaveDC(Dc);
  State s{T.Meta, nullptr};
  if (Clip) {
    s.Clip = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(s.Clip, Clip, nullptr, RGN_COPY);
  }
  States.push_back(s);
}

void Player::Restore(int levels) {
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

void Player::ApplyClip() {
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

void SetDcValue(HDC dc, DcValue which, std::int32_t value) {
  const auto colour = static_cast<COLORREF>(value) & 0xFFFFFF;
  switch (which) {
    case DcValue::BkMode: SetBkMode(dc, value == OPAQUE ? OPAQUE : TRANSPARENT); break;
    case DcValue::TextColor: SetTextColor(dc, colour); break;
    case DcValue::BkColor: SetBkColor(dc, colour); break;
    case DcValue::TextAlign: SetTextAlign(dc, UINT(value) & (TA_UPDATECP | TA_CENTER | TA_BASELINE)); break;
    case DcValue::Rop2:
      if (value >= R2_BLACK && value <= R2_WHITE) SetROP2(dc, value);
      break;
    case DcValue::PolyFillMode: SetPolyFillMode(dc, value == WINDING ? WINDING : ALTERNATE); break;
    case DcValue::StretchBltMode:
      if (value >= BLACKONWHITE && value <= HALFTONE) SetStretchBltMode(dc, value);
      break;
    case DcValue::ArcDirection: SetArcDirection(dc, value == AD_CLOCKWISE ? AD_CLOCKWISE : AD_COUNTERCLOCKWISE); break;
  }
}

}  // namespace forms::metafile

using namespace forms::metafile;

namespace {

constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kWmfHeaderSize = 18;

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
