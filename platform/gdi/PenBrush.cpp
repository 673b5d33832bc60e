#include "platform/gdi/PenBrush.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Recorder.h"
#include "platform/gdi/SysColors.h"

namespace win::gdi {

int Pen::Describe(int size, void* buffer) const {
  // An extended pen answers with its extended structure, ending with as
  // many style entries as it has; a plain pen with the plain one. A buffer
  // too small for it is refused and left as it was.
  const std::size_t head = offsetof(EXTLOGPEN, elpStyleEntry);
  const int need = Extended ? static_cast<int>(head + StyleEntries.size() * sizeof(DWORD)) : int(sizeof(LOGPEN));
  if (!buffer) return need;
  if (size < need) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (Extended) {
    EXTLOGPEN p{};
    p.elpPenStyle = Style | Flags;
    p.elpWidth = static_cast<DWORD>(Width);
    p.elpBrushStyle = BrushStyle;
    p.elpColor = Color;
    p.elpHatch = Hatch;
    p.elpNumEntries = static_cast<DWORD>(StyleEntries.size());
    std::memcpy(buffer, &p, head);
    if (!StyleEntries.empty())
      std::memcpy(static_cast<std::uint8_t*>(buffer) + head, StyleEntries.data(), StyleEntries.size() * sizeof(DWORD));
    return need;
  }
  LOGPEN p{Style, {Width, 0}, Color};
  std::memcpy(buffer, &p, sizeof p);
  return need;
}

std::string Pen::Summary() const {
  static const char* names[] = {"solid", "dash", "dot", "dashdot", "dashdotdot", "null", "insideframe", "user", "alternate"};
  return std::string(Style < 9 ? names[Style] : "?") + "/" + std::to_string(Width) + "/" + ColorText(Color);
}

std::string Brush::Summary() const {
  switch (Style) {
    case BS_NULL: return "null";
    case BS_HATCHED: return "hatch" + std::to_string(Hatch) + "/" + ColorText(Color);
    case BS_PATTERN: return "pattern/" + std::to_string(PatWidth) + "x" + std::to_string(PatHeight);
    default: return (SysIndex >= 0 ? "sys" + std::to_string(SysIndex) + "/" : std::string("solid/")) + ColorText(CurrentColor());
  }
}

COLORREF Brush::CurrentColor() const { return SysIndex >= 0 ? GdiSysColor(SysIndex) : Color; }

int Brush::Describe(int size, void* buffer) const {
  int need = static_cast<int>(sizeof(LOGBRUSH));
  if (!buffer) return need;
  if (size < need) return 0;
  LOGBRUSH b{Style, CurrentColor(), static_cast<std::uintptr_t>(Hatch)};
  std::memcpy(buffer, &b, sizeof b);
  return need;
}

Brush* BrushArg(HBRUSH h) {
  auto v = reinterpret_cast<std::uintptr_t>(h);
  if (v >= 1 && v <= std::uintptr_t(SYSCOLOR_COUNT)) h = GetSysColorBrush(int(v) - 1);
  return LookupAs<Brush>(h);
}

const std::uint8_t* HatchBits(int style) {
  static const std::uint8_t bits[6][8] = {
      {0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00},  // HS_HORIZONTAL
      {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
      {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL
      {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL
      {0x08, 0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08},  // HS_CROSS
      {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
  };
  return bits[(style >= 0 && style <= 5) ? style : 0];
}

bool LoadPattern(HBITMAP hbm, Brush& b) {
  Bitmap* bm = LookupAs<Bitmap>(hbm);
  if (!bm || bm->Surf.Width <= 0 || bm->Surf.Height <= 0) return false;
  // The brush keeps its own copy: the bitmap may be deleted afterwards.
  b.Style = BS_PATTERN;
  b.Hatch = 0;
  const Surface& s = bm->Surf;
  b.PatWidth = s.Width;
  b.PatHeight = s.Height;
  b.PatMono = s.IsMono() && !bm->IsDib;
  b.Pattern.resize(std::size_t(s.Width) * s.Height);
  for (int y = 0; y < s.Height; ++y) LoadSpan(s, 0, y, s.Width, &b.Pattern[std::size_t(y) * s.Width]);
  if (b.PatMono)
    for (auto& v : b.Pattern) v &= 1;
  return true;
}

namespace {

Pen* MakeStockPen(COLORREF color, UINT style) {
  Pen* p = new Pen;
  p->Color = color;
  p->Style = style;
  return p;
}

Brush* MakeStockBrush(COLORREF color, UINT style) {
  Brush* b = new Brush;
  b->Color = color;
  b->Style = style;
  return b;
}

}  // namespace

void EnsureStockFonts();  // the text unit's stock fonts

void EnsureStockObjects() {
  static bool made = false;
  if (made) return;
  made = true;
  EnsureStockFonts();
  SetStockObject(WHITE_BRUSH, MakeStockBrush(RGB(255, 255, 255), BS_SOLID));
  SetStockObject(LTGRAY_BRUSH, MakeStockBrush(RGB(192, 192, 192), BS_SOLID));
  SetStockObject(GRAY_BRUSH, MakeStockBrush(RGB(128, 128, 128), BS_SOLID));
  SetStockObject(DKGRAY_BRUSH, MakeStockBrush(RGB(64, 64, 64), BS_SOLID));
  SetStockObject(BLACK_BRUSH, MakeStockBrush(RGB(0, 0, 0), BS_SOLID));
  SetStockObject(NULL_BRUSH, MakeStockBrush(0, BS_NULL));
  SetStockObject(WHITE_PEN, MakeStockPen(RGB(255, 255, 255), PS_SOLID));
  SetStockObject(BLACK_PEN, MakeStockPen(RGB(0, 0, 0), PS_SOLID));
  SetStockObject(NULL_PEN, MakeStockPen(0, PS_NULL));
  Brush* dcBrush = MakeStockBrush(RGB(255, 255, 255), BS_SOLID);
  dcBrush->DcBrush = true;
  SetStockObject(DC_BRUSH, dcBrush);
  Pen* dcPen = MakeStockPen(0, PS_SOLID);
  dcPen->DcPen = true;
  SetStockObject(DC_PEN, dcPen);
}

}  // namespace win::gdi

namespace win {

using namespace gdi;

HPEN CreatePen(int style, int width, COLORREF color) {
  // Every invisible pen is the same pen.
  if (style == static_cast<int>(PS_NULL)) return reinterpret_cast<HPEN>(GetStockObject(NULL_PEN));
  // A plain pen has the plain styles only: any other number (the extended
  // styles, cap, join or type bits) makes a solid pen.
  if (style < 0 || style > static_cast<int>(PS_INSIDEFRAME)) style = static_cast<int>(PS_SOLID);
  // A pen keeps the style and width it was asked for, which is what it
  // reads back: drawing takes a width of 0 as 1 and draws a wide pen of a
  // broken style solid. A negative width is taken as its size.
  Pen* p = new Pen;
  p->Style = static_cast<UINT>(style);
  const int size = width == INT32_MIN ? INT32_MAX : width < 0 ? -width : width;
  p->Width = size > 10000 ? 10000 : size;
  p->Color = color & 0x00FFFFFF;
  p->Flags = p->Width > 1 ? PS_GEOMETRIC : 0;
  return reinterpret_cast<HPEN>(Register(p));
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
  if (!lp) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreatePen(static_cast<int>(lp->lopnStyle), lp->lopnWidth.X, lp->lopnColor);
}

namespace {

// The brush a geometric pen paints with, when it is not a plain colour:
// a hatch (the six hatches; the next six numbers are solid, as for
// CreateHatchBrush) or a pattern bitmap's copy. False for a brush the pen
// cannot be made from.
bool PenFill(const LOGBRUSH& lb, std::unique_ptr<Brush>& fill) {
  switch (lb.lbStyle) {
    case BS_SOLID:
    case BS_NULL: return true;
    case BS_HATCHED:
      if (lb.lbHatch > 11) return false;
      if (lb.lbHatch > std::uintptr_t(HS_DIAGCROSS)) return true;
      fill = std::make_unique<Brush>();
      fill->Style = BS_HATCHED;
      fill->Hatch = static_cast<int>(lb.lbHatch);
      fill->Color = lb.lbColor & 0x00FFFFFF;
      return true;
    case BS_PATTERN:
      fill = std::make_unique<Brush>();
      return LoadPattern(reinterpret_cast<HBITMAP>(lb.lbHatch), *fill);
    default: return false;  // device-independent patterns are not drawn here
  }
}

}  // namespace

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* lb, DWORD styleCount, const DWORD* styles) {
  const UINT kind = style & PS_STYLE_MASK;
  const bool geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
  // A count of -1 is no count at all: refused without a reason.
  if (kind == PS_USERSTYLE && styleCount == DWORD(-1)) return nullptr;
  // Style entries belong to a user style only, which needs 1 to 16 of them:
  // none negative, and one at least of some length (a pattern of nothing
  // but gaps draws nothing and may never end).
  bool entriesOk = kind == PS_USERSTYLE ? styleCount >= 1 && styleCount <= kMaxStyleEntries && styles : styleCount == 0;
  if (entriesOk && kind == PS_USERSTYLE)
    entriesOk = std::none_of(styles, styles + styleCount, [](DWORD e) { return static_cast<std::int32_t>(e) < 0; }) &&
                std::any_of(styles, styles + styleCount, [](DWORD e) { return e != 0; });
  // A cosmetic pen is one pixel wide, except an invisible one, whose width
  // does not matter. Alternate pixels belong to cosmetic pens and a frame to
  // keep inside to geometric ones.
  const bool widthOk = geometric || width == 1 || kind == PS_NULL;
  const bool kindOk = kind <= PS_ALTERNATE && !(kind == PS_ALTERNATE && geometric) &&
                      !(kind == PS_INSIDEFRAME && !geometric);
  std::unique_ptr<Brush> fill;
  if (!lb || !kindOk || !entriesOk || !widthOk || (geometric && !PenFill(*lb, fill))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Pen* p = new Pen;
  p->Type = OBJ_EXTPEN;
  p->Extended = true;
  p->Style = kind;
  p->Flags = style & ~PS_STYLE_MASK;
  // A width is a size: a negative one (as a signed number) counts by its
  // magnitude.
  const std::int64_t size = std::abs(static_cast<std::int64_t>(static_cast<std::int32_t>(width)));
  p->Width = static_cast<int>(size > 10000 ? 10000 : size);
  p->BrushStyle = lb->lbStyle;
  p->Hatch = lb->lbHatch;
  p->Color = lb->lbStyle == BS_NULL ? 0 : (lb->lbColor & 0x00FFFFFF);
  p->Fill = std::move(fill);
  if (kind == PS_USERSTYLE) {
    p->StyleEntries.assign(styles, styles + styleCount);
    // Lengths are capped so a whole pattern's length stays countable.
    for (DWORD e : p->StyleEntries) p->Dashes.push_back(static_cast<int>(std::min<DWORD>(e, 1u << 20)));
    if (styleCount % 2) p->Dashes.insert(p->Dashes.end(), p->Dashes.begin(), p->Dashes.end());
  }
  return reinterpret_cast<HPEN>(Register(p));
}

HBRUSH CreateSolidBrush(COLORREF color) {
  Brush* b = new Brush;
  b->Color = color & 0x00FFFFFF;
  return reinterpret_cast<HBRUSH>(Register(b));
}

HBRUSH CreateHatchBrush(int style, COLORREF color) {
  // The six hatches; the next six numbers are accepted and make a solid
  // brush; any other number fails and leaves the last error alone.
  constexpr unsigned kLastSolidStyle = 11;
  if (static_cast<unsigned>(style) > kLastSolidStyle) return nullptr;
  if (style > HS_DIAGCROSS) return CreateSolidBrush(color);
  Brush* b = new Brush;
  b->Style = BS_HATCHED;
  b->Hatch = style;
  b->Color = color & 0x00FFFFFF;
  return reinterpret_cast<HBRUSH>(Register(b));
}

HBRUSH CreatePatternBrush(HBITMAP hbm) {
  Brush* b = new Brush;
  if (!LoadPattern(hbm, *b)) {
    delete b;
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return reinterpret_cast<HBRUSH>(Register(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
  if (!lb) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  switch (lb->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(lb->lbColor);
    case BS_NULL: return reinterpret_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(lb->lbHatch), lb->lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb->lbHatch));
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

HBRUSH GetSysColorBrush(int index) {
  static Brush* brushes[SYSCOLOR_COUNT] = {};
  if (index < 0 || index >= SYSCOLOR_COUNT) return nullptr;
  if (!brushes[index]) {
    Brush* b = new Brush;
    b->SysIndex = index;
    b->Stock = true;
    Register(b);
    brushes[index] = b;
  }
  return reinterpret_cast<HBRUSH>(brushes[index]->Handle);
}

}  // namespace win
