#include "platform/gdi/MetafileRecorder.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/GlyphCache.h"
#include "platform/gdi/PenBrush.h"
#include "platform/gdi/Text.h"
#include "platform/gdi/TextRun.h"
#include "platform/rtl/CodePage.h"

namespace win::gdi {

namespace {

// The picture's device: 96 pixels per inch.
constexpr std::int32_t kDevicePixels = 960, kDeviceMillimetres = 254;

class EnhMetaFile : public GdiObject {
 public:
  static constexpr DWORD kType = OBJ_ENHMETAFILE;
  EnhMetaFile() : GdiObject(OBJ_ENHMETAFILE) {}
  std::vector<std::uint8_t> Bytes;
};

void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
  b.push_back(std::uint8_t(v));
  b.push_back(std::uint8_t(v >> 8));
}
void PutRect(std::vector<std::uint8_t>& b, const RECT& r) {
  for (LONG v : {r.Left, r.Top, r.Right, r.Bottom}) Put32(b, std::uint32_t(v));
}
void Pad4(std::vector<std::uint8_t>& b) {
  while (b.size() % 4) b.push_back(0);
}
void Set32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}
std::string Bytes(const std::vector<std::uint8_t>& b) { return std::string(b.begin(), b.end()); }

int StockIndex(const GdiObject* o) {
  for (int i = 0; i <= STOCK_LAST; ++i)
    if (i != DC_BRUSH && i != DC_PEN && StockObject(i) == o) return i;
  return -1;
}

// RGNDATA of a region: header, then its rectangles.
void PutRegion(std::vector<std::uint8_t>& b, const Region& r) {
  Put32(b, 32);
  Put32(b, 1);
  Put32(b, std::uint32_t(r.Rects.size()));
  Put32(b, std::uint32_t(r.Rects.size() * 16));
  PutRect(b, r.Box());
  for (const TRect& rc : r.Rects) PutRect(b, rc);
}

// The create record's body (without the object's index) of the DC's pen.
std::string PenCreate(const DC& dc, DWORD& type) {
  const Pen* p = dc.S.CurPen;
  std::vector<std::uint8_t> b;
  if (!p->Extended) {
    type = EMR_CREATEPEN;
    Put32(b, p->Style | p->Flags);
    Put32(b, std::uint32_t(p->Width));
    Put32(b, 0);
    Put32(b, dc.PenColor());
  } else {
    type = EMR_EXTCREATEPEN;
    for (int i = 0; i < 4; ++i) Put32(b, 0);  // no pattern of its own
    Put32(b, p->Style | p->Flags);
    Put32(b, std::uint32_t(p->Width));
    Put32(b, p->BrushStyle);
    Put32(b, dc.PenColor());
    Put32(b, std::uint32_t(p->Hatch));
    Put32(b, std::uint32_t(p->StyleEntries.size()));
    for (DWORD e : p->StyleEntries) Put32(b, e);
  }
  return Bytes(b);
}

std::string FontCreate(const Font& f) {
  std::vector<std::uint8_t> b;
  const LOGFONTA& lf = f.Log;
  for (LONG v : {lf.lfHeight, lf.lfWidth, lf.lfEscapement, lf.lfOrientation, lf.lfWeight}) Put32(b, std::uint32_t(v));
  for (BYTE v : {lf.lfItalic, lf.lfUnderline, lf.lfStrikeOut, lf.lfCharSet, lf.lfOutPrecision, lf.lfClipPrecision,
                 lf.lfQuality, lf.lfPitchAndFamily})
    b.push_back(v);
  for (int i = 0; i < LF_FACESIZE; ++i) {
    const unsigned char c = static_cast<unsigned char>(lf.lfFaceName[i]);
    Put16(b, i == LF_FACESIZE - 1 || !c ? 0 : orv::cp1252::ToUnicode[c]);
    if (!c) {
      for (++i; i < LF_FACESIZE; ++i) Put16(b, 0);
      break;
    }
  }
  return Bytes(b);
}

// A packed DIB of 32-bit pixels, top-down: the header, then the rows.
void PutDibHeader(std::vector<std::uint8_t>& b, int width, int height) {
  Put32(b, 40);
  Put32(b, std::uint32_t(width));
  Put32(b, std::uint32_t(-height));
  Put16(b, 1);
  Put16(b, 32);
  for (int i = 0; i < 6; ++i) Put32(b, 0);
}

// The start of a blit record: no bounds of its own, the destination, the
// raster operation, then the source's origin and its identity transform.
void PutBltHead(std::vector<std::uint8_t>& b, int x, int y, int width, int height, DWORD rop) {
  PutRect(b, {0, 0, -1, -1});
  for (int v : {x, y, width, height}) Put32(b, std::uint32_t(v));
  Put32(b, rop);
  Put32(b, 0);
  Put32(b, 0);
  const float unit = 1.0f, zero = 0.0f;
  for (float f : {unit, zero, zero, unit, zero, zero}) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    Put32(b, bits);
  }
}

}  // namespace

MetaRecorder::MetaRecorder(const RECT* frame, LPCSTR description) {
  if (frame) {
    HasFrame = true;
    Frame = *frame;
  }
  if (description)
    for (const char* c = description; *c; ++c) Description += orv::cp1252::ToUnicode[static_cast<unsigned char>(*c)];
  // What the player starts from.
  Last.Pen = "s" + std::to_string(BLACK_PEN);
  Last.Brush = "s" + std::to_string(WHITE_BRUSH);
  Last.Font = "s" + std::to_string(SYSTEM_FONT);
  Last.Text = RGB(0, 0, 0);
  Last.Bk = RGB(255, 255, 255);
  Last.BkMode = OPAQUE;
  Last.Rop2 = R2_COPYPEN;
  Last.FillMode = ALTERNATE;
  Last.StretchMode = BLACKONWHITE;
  Last.ArcDirection = AD_COUNTERCLOCKWISE;
  Last.Align = TA_LEFT | TA_TOP;
  Map.PixelsPerMm[0] = Map.PixelsPerMm[1] = double(kDevicePixels) / kDeviceMillimetres;
}

void MetaRecorder::Seal() {
  if (Open < Records.size()) Set32(Records, Open + 4, std::uint32_t(Records.size() - Open));
}

std::vector<std::uint8_t>& MetaRecorder::Begin(DWORD type) {
  Seal();
  Pad4(Records);
  Open = Records.size();
  Put32(Records, type);
  Put32(Records, 0);
  ++Count;
  return Records;
}

void MetaRecorder::Simple(DWORD type, std::initializer_list<std::uint32_t> values) {
  auto& b = Begin(type);
  for (std::uint32_t v : values) Put32(b, v);
}

MetaMapping MetaRecorder::Mapping(const DC& dc) const {
  MetaMapping m = Map;
  m.WindowOrg[0] = dc.S.WindowOrg.X, m.WindowOrg[1] = dc.S.WindowOrg.Y;
  m.ViewportOrg[0] = dc.S.ViewportOrg.X, m.ViewportOrg[1] = dc.S.ViewportOrg.Y;
  return m;
}

void MetaRecorder::Bound(const DC& dc, double x, double y) {
  const MetaMapping m = Mapping(dc);
  const double dx = m.ToDevice(0, x), dy = m.ToDevice(1, y);
  if (!std::isfinite(dx) || !std::isfinite(dy)) return;
  if (!HasBounds) {
    Bounds[0] = Bounds[2] = dx;
    Bounds[1] = Bounds[3] = dy;
    HasBounds = true;
    return;
  }
  Bounds[0] = std::min(Bounds[0], dx), Bounds[1] = std::min(Bounds[1], dy);
  Bounds[2] = std::max(Bounds[2], dx), Bounds[3] = std::max(Bounds[3], dy);
}

void MetaRecorder::BoundBox(const DC& dc, double left, double top, double right, double bottom) {
  Bound(dc, left, top);
  Bound(dc, right, bottom);
}

void MetaRecorder::SelectKey(const std::string& key, const std::string& create, std::string& played) {
  if (key == played) return;
  played = key;
  if (key[0] == 's') {
    Simple(EMR_SELECTOBJECT, {kEmfStockObject | std::uint32_t(std::stoi(key.substr(1)))});
    return;
  }
  auto it = Objects.find(key);
  if (it == Objects.end()) {
    // The key is the record type, then the create record's body.
    DWORD type = 0;
    std::memcpy(&type, key.data() + 1, 4);
    auto& b = Begin(type);
    Put32(b, NextObject);
    b.insert(b.end(), create.begin(), create.end());
    it = Objects.emplace(key, NextObject++).first;
  }
  Simple(EMR_SELECTOBJECT, {it->second});
}

std::string MetaRecorder::BrushKey(const DC& dc, const Brush* brush, std::string& create) const {
  create.clear();
  if (!brush->DcBrush)
    if (int stock = StockIndex(brush); stock >= 0) return "s" + std::to_string(stock);
  std::vector<std::uint8_t> b;
  DWORD type = EMR_CREATEBRUSHINDIRECT;
  if (brush->Style == BS_PATTERN || brush->Style == BS_DIBPATTERN) {
    // The tile as a DIB: 32 bits for a coloured pattern; one bit per pixel
    // for a monochrome one, whose colours are the DC's text and background
    // colours as they stand (a change of them makes another object).
    type = EMR_CREATEDIBPATTERNBRUSHPT;
    const int w = brush->PatWidth, h = brush->PatHeight, bpp = brush->PatMono ? 1 : 32;
    const std::size_t stride = DibStride(w, bpp);
    const std::uint32_t bmi = 40 + (bpp == 1 ? 8 : 0);
    Put32(b, DIB_RGB_COLORS);
    Put32(b, 32);  // offsets from the record's start: 8 + index + these four
    Put32(b, bmi);
    Put32(b, 32 + bmi);
    Put32(b, std::uint32_t(stride * std::size_t(h)));
    Put32(b, 40);
    Put32(b, std::uint32_t(w));
    Put32(b, std::uint32_t(-h));
    Put16(b, 1);
    Put16(b, std::uint32_t(bpp));
    for (int i = 0; i < 6; ++i) Put32(b, 0);
    if (bpp == 1) {
      Put32(b, ColorToPixel(dc.S.TextColor));
      Put32(b, ColorToPixel(dc.S.BkColor));
    }
    for (int y = 0; y < h; ++y) {
      const std::size_t row = b.size();
      b.resize(row + stride, 0);
      for (int x = 0; x < w; ++x) {
        const std::uint32_t v = brush->Pattern[std::size_t(y) * std::size_t(w) + std::size_t(x)];
        if (bpp == 1) {
          if (v & 1) b[row + std::size_t(x) / 8] |= std::uint8_t(0x80 >> (x % 8));
        } else {
          std::memcpy(&b[row + std::size_t(x) * 4], &v, 4);
        }
      }
    }
  } else {
    const COLORREF colour = brush->DcBrush ? dc.S.DcBrushColor : brush->CurrentColor();
    Put32(b, brush->Style == BS_NULL || brush->Style == BS_HATCHED ? brush->Style : BS_SOLID);
    Put32(b, colour & 0xFFFFFF);
    Put32(b, std::uint32_t(brush->Hatch));
  }
  create = Bytes(b);
  std::string key = "o";
  key.append(reinterpret_cast<const char*>(&type), 4);
  return key + create;
}

void MetaRecorder::SelectBrush(DC& dc, const Brush* brush) {
  std::string create;
  const std::string key = BrushKey(dc, brush, create);
  SelectKey(key, create, Last.Brush);
}

void MetaRecorder::Sync(DC& dc, bool position) {
  const DcState& s = dc.S;
  if (s.WindowOrg != Last.WindowOrg) {
    Simple(EMR_SETWINDOWORGEX, {std::uint32_t(s.WindowOrg.X), std::uint32_t(s.WindowOrg.Y)});
    Last.WindowOrg = s.WindowOrg;
  }
  if (s.ViewportOrg != Last.ViewportOrg) {
    Simple(EMR_SETVIEWPORTORGEX, {std::uint32_t(s.ViewportOrg.X), std::uint32_t(s.ViewportOrg.Y)});
    Last.ViewportOrg = s.ViewportOrg;
  }
  auto setting = [&](auto value, auto& played, DWORD type) {
    if (value == played) return;
    Simple(type, {std::uint32_t(value)});
    played = value;
  };
  setting(s.TextColor & 0xFFFFFF, Last.Text, EMR_SETTEXTCOLOR);
  setting(s.BkColor & 0xFFFFFF, Last.Bk, EMR_SETBKCOLOR);
  setting(s.BkMode, Last.BkMode, EMR_SETBKMODE);
  setting(s.Rop2, Last.Rop2, EMR_SETROP2);
  setting(s.FillMode, Last.FillMode, EMR_SETPOLYFILLMODE);
  setting(s.StretchMode, Last.StretchMode, EMR_SETSTRETCHBLTMODE);
  setting(s.ArcDirection, Last.ArcDirection, EMR_SETARCDIRECTION);
  setting(s.TextAlign, Last.Align, EMR_SETTEXTALIGN);
  if (s.BrushOrg != Last.BrushOrg) {
    Simple(EMR_SETBRUSHORGEX, {std::uint32_t(s.BrushOrg.X), std::uint32_t(s.BrushOrg.Y)});
    Last.BrushOrg = s.BrushOrg;
  }
  if (s.CurPen) {
    std::string key, create;
    if (int stock = s.CurPen->DcPen ? -1 : StockIndex(s.CurPen); stock >= 0) {
      key = "s" + std::to_string(stock);
    } else {
      DWORD type = 0;
      create = PenCreate(dc, type);
      key = "o";
      key.append(reinterpret_cast<const char*>(&type), 4);
      key += create;
    }
    SelectKey(key, create, Last.Pen);
  }
  if (s.CurBrush) SelectBrush(dc, s.CurBrush);
  if (s.CurFont) {
    std::string key, create;
    if (int stock = StockIndex(s.CurFont); stock >= 0) {
      key = "s" + std::to_string(stock);
    } else if (s.CurFont->Type == OBJ_FONT) {
      create = FontCreate(*static_cast<const Font*>(s.CurFont));
      const DWORD type = EMR_EXTCREATEFONTINDIRECTW;
      key = "o";
      key.append(reinterpret_cast<const char*>(&type), 4);
      key += create;
    }
    if (!key.empty()) SelectKey(key, create, Last.Font);
  }
  if (position && s.CurPos != Last.Pos) {
    Simple(EMR_MOVETOEX, {std::uint32_t(s.CurPos.X), std::uint32_t(s.CurPos.Y)});
    Last.Pos = s.CurPos;
  }
}

// ---- Drawing ----

void MetaRecorder::LineTo(DC& dc, int x, int y) {
  Sync(dc, true);
  Simple(EMR_LINETO, {std::uint32_t(x), std::uint32_t(y)});
  BoundBox(dc, dc.S.CurPos.X, dc.S.CurPos.Y, x, y);
  dc.S.CurPos = Last.Pos = {x, y};
}

void MetaRecorder::Poly(DC& dc, DWORD type, const POINT* pts, const INT* counts, int polys) {
  const bool fromCurrent = type == EMR_POLYLINETO || type == EMR_POLYBEZIERTO;
  Sync(dc, fromCurrent);
  std::size_t total = 0;
  for (int i = 0; i < polys; ++i) total += std::size_t(counts[i]);
  bool small = true;
  for (std::size_t i = 0; i < total; ++i) {
    small = small && pts[i].X >= -32768 && pts[i].X <= 32767 && pts[i].Y >= -32768 && pts[i].Y <= 32767;
    Bound(dc, pts[i].X, pts[i].Y);
  }
  // The 16-bit forms when every point fits them.
  DWORD written = type;
  if (small) {
    switch (type) {
      case EMR_POLYBEZIER: written = EMR_POLYBEZIER16; break;
      case EMR_POLYGON: written = EMR_POLYGON16; break;
      case EMR_POLYLINE: written = EMR_POLYLINE16; break;
      case EMR_POLYBEZIERTO: written = EMR_POLYBEZIERTO16; break;
      case EMR_POLYLINETO: written = EMR_POLYLINETO16; break;
      case EMR_POLYPOLYGON: written = EMR_POLYPOLYGON16; break;
      default: break;
    }
  }
  auto& b = Begin(written);
  PutRect(b, {0, 0, -1, -1});
  if (type == EMR_POLYPOLYGON) Put32(b, std::uint32_t(polys));
  Put32(b, std::uint32_t(total));
  if (type == EMR_POLYPOLYGON)
    for (int i = 0; i < polys; ++i) Put32(b, std::uint32_t(counts[i]));
  for (std::size_t i = 0; i < total; ++i) {
    if (small) {
      Put16(b, std::uint32_t(pts[i].X));
      Put16(b, std::uint32_t(pts[i].Y));
    } else {
      Put32(b, std::uint32_t(pts[i].X));
      Put32(b, std::uint32_t(pts[i].Y));
    }
  }
  if (fromCurrent && total) dc.S.CurPos = Last.Pos = pts[total - 1];
}

void MetaRecorder::Box(DC& dc, DWORD type, const RECT& box) {
  Sync(dc, false);
  auto& b = Begin(type);
  PutRect(b, box);
  BoundBox(dc, box.Left, box.Top, box.Right, box.Bottom);
}

void MetaRecorder::RoundRect(DC& dc, const RECT& box, int width, int height) {
  Sync(dc, false);
  auto& b = Begin(EMR_ROUNDRECT);
  PutRect(b, box);
  Put32(b, std::uint32_t(width));
  Put32(b, std::uint32_t(height));
  BoundBox(dc, box.Left, box.Top, box.Right, box.Bottom);
}

void MetaRecorder::Arc(DC& dc, DWORD type, const RECT& box, POINT start, POINT end) {
  Sync(dc, false);
  auto& b = Begin(type);
  PutRect(b, box);
  for (LONG v : {start.X, start.Y, end.X, end.Y}) Put32(b, std::uint32_t(v));
  BoundBox(dc, box.Left, box.Top, box.Right, box.Bottom);
}

int MetaRecorder::Text(DC& dc, int x, int y, const char* s, int n, const RunOptions& opt) {
  FontFace& face = DcFace(dc);
  GlyphCache& glyphs = *face.Glyphs;
  std::vector<int> dx(std::size_t(std::max(n, 0)));
  // The width as drawing holds it (see DrawRun): summed in 64 bits and held
  // within the coordinate range, however far the advances reach.
  long long sum = 0;
  int breaks = 0;
  for (int i = 0; i < n; ++i) {
    dx[std::size_t(i)] = opt.Dx ? opt.Dx[i] : SpacedAdvance(dc, glyphs, static_cast<unsigned char>(s[i]), breaks);
    sum += dx[std::size_t(i)];
  }
  const int width = ClampCoord(sum);
  const UINT align = opt.UseDcAlign ? dc.S.TextAlign : opt.Align;
  const bool updateCp = opt.UseDcAlign && (align & TA_UPDATECP);
  Sync(dc, updateCp);
  if (align != Last.Align) {
    Simple(EMR_SETTEXTALIGN, {align});
    Last.Align = align;
  }
  if (updateCp) x = dc.S.CurPos.X, y = dc.S.CurPos.Y;
  const UINT options = opt.Rect ? opt.Options & (ETO_OPAQUE | ETO_CLIPPED) : 0;
  const std::uint32_t stringAt = 76, dxAt = stringAt + ((2 * std::uint32_t(n) + 3) & ~3u);
  auto& b = Begin(EMR_EXTTEXTOUTW);
  PutRect(b, {0, 0, -1, -1});
  Put32(b, 1);  // compatible graphics mode
  Put32(b, 0);  // no scales: the font's own
  Put32(b, 0);
  Put32(b, std::uint32_t(x));
  Put32(b, std::uint32_t(y));
  Put32(b, std::uint32_t(n));
  Put32(b, stringAt);
  Put32(b, options);
  PutRect(b, options ? *opt.Rect : RECT{});
  Put32(b, dxAt);
  for (int i = 0; i < n; ++i) Put16(b, orv::cp1252::ToUnicode[static_cast<unsigned char>(s[i])]);
  Pad4(b);
  for (int d : dx) Put32(b, std::uint32_t(d));
  const int h = face.Height();
  BoundBox(dc, double(x) - width, double(y) - h, double(x) + width, double(y) + h);
  if (options) BoundBox(dc, opt.Rect->Left, opt.Rect->Top, opt.Rect->Right, opt.Rect->Bottom);
  if (updateCp) {
    if ((align & TA_CENTER) == TA_LEFT) dc.S.CurPos.X = ClampCoord(x) + width;
    else if ((align & TA_CENTER) == TA_RIGHT) dc.S.CurPos.X = ClampCoord(x) - width;
    Last.Pos = dc.S.CurPos;
  }
  return width;
}

void MetaRecorder::PatBlt(DC& dc, int x, int y, int width, int height, DWORD rop) {
  Sync(dc, false);
  WritePatBlt(dc, x, y, width, height, rop);
}

void MetaRecorder::WritePatBlt(const DC& dc, int x, int y, int width, int height, DWORD rop) {
  auto& b = Begin(EMR_BITBLT);
  PutBltHead(b, x, y, width, height, rop);
  for (int i = 0; i < 6; ++i) Put32(b, 0);  // background colour, usage, no bitmap
  BoundBox(dc, x, y, double(x) + width, double(y) + height);
}

void MetaRecorder::FillRect(DC& dc, const RECT& rect, const Brush* brush) {
  Sync(dc, false);
  SelectBrush(dc, brush);  // the DC's own brush comes back with the next record
  WritePatBlt(dc, rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top, PATCOPY);
}

void MetaRecorder::FrameRect(DC& dc, const RECT& r, const Brush* brush) {
  if (r.Left >= r.Right || r.Top >= r.Bottom) return;
  Sync(dc, false);
  SelectBrush(dc, brush);
  for (const RECT& part : {RECT{r.Left, r.Top, r.Right, r.Top + 1}, RECT{r.Left, r.Bottom - 1, r.Right, r.Bottom},
                           RECT{r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1},
                           RECT{r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}})
    if (part.Left < part.Right && part.Top < part.Bottom)
      WritePatBlt(dc, part.Left, part.Top, part.Right - part.Left, part.Bottom - part.Top, PATCOPY);
}

void MetaRecorder::Blt(DC& dc, int x, int y, int width, int height, const DC& src, int xSrc, int ySrc, int wSrc,
                       int hSrc, DWORD rop, bool stretch) {
  if (!stretch) {
    // A copy runs rightwards and downwards whatever the signs said.
    if (width < 0) x += width, xSrc += width, width = -width;
    if (height < 0) y += height, ySrc += height, height = -height;
    wSrc = width, hSrc = height;
  }
  // The source rectangle as far as the source has pixels.
  const int sx0 = std::min(xSrc, xSrc + wSrc) + src.OffX, sy0 = std::min(ySrc, ySrc + hSrc) + src.OffY;
  const int sx1 = std::max(xSrc, xSrc + wSrc) + src.OffX, sy1 = std::max(ySrc, ySrc + hSrc) + src.OffY;
  const int cx0 = std::max(sx0, 0), cy0 = std::max(sy0, 0);
  const int cx1 = std::min(sx1, src.Surf.Width), cy1 = std::min(sy1, src.Surf.Height);
  if (cx0 >= cx1 || cy0 >= cy1) return;
  if (!stretch) {
    // A plain copy keeps to the pixels the source has.
    x += cx0 - sx0, y += cy0 - sy0;
    width = cx1 - cx0, height = cy1 - cy0;
  } else {
    // The source goes in as it stands; a source running leftwards or
    // upwards turns the destination round instead.
    if (wSrc < 0) x += width, width = -width;
    if (hSrc < 0) y += height, height = -height;
  }
  const int w = cx1 - cx0, h = cy1 - cy0;
  Sync(dc, false);
  auto& b = Begin(stretch ? EMR_STRETCHBLT : EMR_BITBLT);
  const std::uint32_t fixed = stretch ? 108 : 100;
  PutBltHead(b, x, y, width, height, rop);
  Put32(b, src.S.BkColor & 0xFFFFFF);
  Put32(b, DIB_RGB_COLORS);
  Put32(b, fixed);
  Put32(b, 40);
  Put32(b, fixed + 40);
  Put32(b, std::uint32_t(w) * std::uint32_t(h) * 4);
  if (stretch) {
    Put32(b, std::uint32_t(w));
    Put32(b, std::uint32_t(h));
  }
  PutDibHeader(b, w, h);
  // A monochrome source shows its 0 bits in the text colour and its 1
  // bits in the background colour of the DC drawn on.
  const std::uint32_t fore = ColorToPixel(dc.S.TextColor), back = ColorToPixel(dc.S.BkColor);
  for (int yy = cy0; yy < cy1; ++yy)
    for (int xx = cx0; xx < cx1; ++xx) {
      std::uint32_t v = ReadPixel(src.Surf, xx, yy);
      if (src.Surf.IsMono()) v = v ? back : fore;
      Put32(b, v & 0xFFFFFF);
    }
  BoundBox(dc, x, y, double(x) + width, double(y) + height);
}

int MetaRecorder::DibBlt(DC& dc, int x, int y, int width, int height, int xSrc, int ySrc, int wSrc, int hSrc,
                         const void* bits, const BITMAPINFO* info, DWORD rop) {
  Surface view;
  std::vector<RGBQUAD> palette;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const std::int64_t rows = h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight;
  if (!DibView(info, bits, rows, view, palette)) return 0;
  std::uint32_t header = h.biSize;
  if (h.biCompression == BI_BITFIELDS && header == 40) header += 12;
  const std::uint32_t bmiSize = header + std::uint32_t(palette.size()) * 4;
  const std::size_t bitsSize = DibStride(h.biWidth, h.biBitCount) * std::size_t(rows);
  Sync(dc, false);
  auto& b = Begin(EMR_STRETCHDIBITS);
  PutRect(b, {0, 0, -1, -1});
  for (int v : {x, y, xSrc, ySrc, wSrc, hSrc}) Put32(b, std::uint32_t(v));
  Put32(b, 80);
  Put32(b, bmiSize);
  Put32(b, 80 + bmiSize);
  Put32(b, std::uint32_t(bitsSize));
  Put32(b, DIB_RGB_COLORS);
  Put32(b, rop);
  Put32(b, std::uint32_t(width));
  Put32(b, std::uint32_t(height));
  const auto* bmi = reinterpret_cast<const std::uint8_t*>(info);
  b.insert(b.end(), bmi, bmi + header);
  for (const RGBQUAD& q : palette) {
    b.push_back(q.rgbBlue);
    b.push_back(q.rgbGreen);
    b.push_back(q.rgbRed);
    b.push_back(q.rgbReserved);
  }
  const auto* p = static_cast<const std::uint8_t*>(bits);
  b.insert(b.end(), p, p + bitsSize);
  BoundBox(dc, x, y, double(x) + width, double(y) + height);
  return int(rows);
}

void MetaRecorder::Pixel(DC& dc, int x, int y, COLORREF color) {
  Sync(dc, false);
  Simple(EMR_SETPIXELV, {std::uint32_t(x), std::uint32_t(y), color & 0xFFFFFF});
  BoundBox(dc, x, y, x + 1.0, y + 1.0);
}

void MetaRecorder::RegionDraw(DC& dc, DWORD type, const Region& region, const Brush* brush, int width,
                              int height) {
  Sync(dc, false);
  DWORD index = 0;
  if (brush) {
    // The region's brush is named by the record, not selected.
    std::string create;
    const std::string key = BrushKey(dc, brush, create);
    if (key[0] == 's') {
      index = kEmfStockObject | std::uint32_t(std::stoi(key.substr(1)));
    } else {
      auto it = Objects.find(key);
      if (it == Objects.end()) {
        DWORD createType = 0;
        std::memcpy(&createType, key.data() + 1, 4);
        auto& c = Begin(createType);
        Put32(c, NextObject);
        c.insert(c.end(), create.begin(), create.end());
        it = Objects.emplace(key, NextObject++).first;
      }
      index = it->second;
    }
  }
  auto& b = Begin(type);
  const TRect& box = region.Box();
  PutRect(b, box);
  Put32(b, std::uint32_t(32 + region.Rects.size() * 16));
  if (type == EMR_FILLRGN || type == EMR_FRAMERGN) Put32(b, index);
  if (type == EMR_FRAMERGN) {
    Put32(b, std::uint32_t(width));
    Put32(b, std::uint32_t(height));
  }
  PutRegion(b, region);
  if (!region.IsEmpty()) BoundBox(dc, box.Left, box.Top, box.Right, box.Bottom);
}

void MetaRecorder::PathCall(DC& dc, DWORD type) {
  Sync(dc, false);
  auto& b = Begin(type);
  if (type == EMR_FILLPATH || type == EMR_STROKEPATH || type == EMR_STROKEANDFILLPATH) PutRect(b, {0, 0, -1, -1});
}

// ---- State ----

void MetaRecorder::SelectClip(DC& dc, const Region* device, int mode) {
  Sync(dc, false);
  auto& b = Begin(EMR_EXTSELECTCLIPRGN);
  Put32(b, device ? std::uint32_t(32 + device->Rects.size() * 16) : 0);
  Put32(b, std::uint32_t(mode));
  if (device) PutRegion(b, *device);
}

void MetaRecorder::ClipRect(DC& dc, DWORD type, int left, int top, int right, int bottom) {
  Sync(dc, false);
  auto& b = Begin(type);
  PutRect(b, {left, top, right, bottom});
}

void MetaRecorder::OffsetClip(DC& dc, int dx, int dy) {
  Sync(dc, false);
  Simple(EMR_OFFSETCLIPRGN, {std::uint32_t(dx), std::uint32_t(dy)});
}

void MetaRecorder::SaveDC(DC&) {
  Simple(EMR_SAVEDC, {});
  Saved.push_back(Last);
  SavedMaps.push_back(Map);
}

void MetaRecorder::RestoreDC(DC&, int popped) {
  if (popped <= 0 || std::size_t(popped) > Saved.size()) return;
  Simple(EMR_RESTOREDC, {std::uint32_t(-popped)});
  Last = Saved[Saved.size() - std::size_t(popped)];
  Map = SavedMaps[SavedMaps.size() - std::size_t(popped)];
  Saved.resize(Saved.size() - std::size_t(popped));
  SavedMaps.resize(SavedMaps.size() - std::size_t(popped));
}

int MetaRecorder::SetMapMode(DC& dc, int mode) {
  const int old = Map.Mode;
  if (!MetaMapping::Known(mode)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Sync(dc, false);
  Simple(EMR_SETMAPMODE, {std::uint32_t(mode)});
  Map.Mode = mode;
  return old;
}

BOOL MetaRecorder::SetExtent(DC& dc, bool window, int x, int y, SIZE* old) {
  if (old) *old = Extent(window);
  if (x == 0 || y == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // Modes of their own scale ignore extents, as the player does.
  if (!Map.UsesExtents()) return TRUE;
  Sync(dc, false);
  Simple(window ? EMR_SETWINDOWEXTEX : EMR_SETVIEWPORTEXTEX, {std::uint32_t(x), std::uint32_t(y)});
  double* ext = window ? Map.WindowExt : Map.ViewportExt;
  ext[0] = x, ext[1] = y;
  return TRUE;
}

SIZE MetaRecorder::Extent(bool window) const {
  const double* ext = window ? Map.WindowExt : Map.ViewportExt;
  return {LONG(ext[0]), LONG(ext[1])};
}

std::vector<std::uint8_t> MetaRecorder::Finish() {
  Simple(EMR_EOF, {0, 16, 20});
  Seal();
  // Bounds in device pixels, both edges inside; the frame in hundredths
  // of a millimetre, from the pixels' outer edges. A mapping may scale
  // drawing far past what the header's 32-bit fields hold: those stop at
  // their ends.
  auto held = [](double v) { return LONG(std::clamp(v, double(INT_MIN) + 1, double(INT_MAX) - 1)); };
  RECT bounds{0, 0, -1, -1};
  if (HasBounds)
    bounds = {held(std::floor(Bounds[0])), held(std::floor(Bounds[1])), held(std::ceil(Bounds[2])) - 1,
              held(std::ceil(Bounds[3])) - 1};
  RECT frame = Frame;
  if (!HasFrame) {
    const double per = 100.0 * kDeviceMillimetres / kDevicePixels;
    const RECT px = HasBounds && bounds.Right >= bounds.Left && bounds.Bottom >= bounds.Top
                        ? RECT{bounds.Left, bounds.Top, bounds.Right + 1, bounds.Bottom + 1}
                        : RECT{0, 0, 1, 1};
    frame = {held(std::round(px.Left * per)), held(std::round(px.Top * per)), held(std::round(px.Right * per)),
             held(std::round(px.Bottom * per))};
  }
  std::vector<std::uint8_t> out;
  Put32(out, EMR_HEADER);
  Put32(out, 0);
  PutRect(out, bounds);
  PutRect(out, frame);
  Put32(out, kEmfSignature);
  Put32(out, 0x10000);
  Put32(out, 0);  // bytes, set below
  Put32(out, Count + 1);
  Put16(out, NextObject);
  Put16(out, 0);
  Put32(out, Description.empty() ? 0 : std::uint32_t(Description.size() + 1));
  Put32(out, Description.empty() ? 0 : std::uint32_t(kEmfHeaderSize));
  Put32(out, 0);
  for (std::int32_t v : {kDevicePixels, kDevicePixels, kDeviceMillimetres, kDeviceMillimetres})
    Put32(out, std::uint32_t(v));
  if (!Description.empty()) {
    for (char16_t c : Description) Put16(out, c);
    Put16(out, 0);
    Pad4(out);
  }
  Set32(out, 4, std::uint32_t(out.size()));
  out.insert(out.end(), Records.begin(), Records.end());
  Set32(out, 48, std::uint32_t(out.size()));
  return out;
}

}  // namespace win::gdi

namespace win {

using namespace gdi;

HDC CreateEnhMetaFileA(HDC reference, LPCSTR file, const RECT* frame, LPCSTR description) {
  if (reference && !LookupDC(reference)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (file) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  if (frame && (frame->Right <= frame->Left || frame->Bottom <= frame->Top)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HDC hdc = CreateCompatibleDC(nullptr);
  if (DC* dc = LookupDC(hdc)) dc->Meta = new MetaRecorder(frame, description);
  return hdc;
}

HENHMETAFILE CloseEnhMetaFile(HDC hdc) {
  DC* dc = LookupDC(hdc);
  if (!dc || !dc->Meta) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  auto* emf = new EnhMetaFile;
  emf->Bytes = dc->Meta->Finish();
  DeleteDC(hdc);
  return reinterpret_cast<HENHMETAFILE>(Register(emf));
}

UINT GetEnhMetaFileBits(HENHMETAFILE h, UINT size, BYTE* data) {
  auto* emf = LookupAs<EnhMetaFile>(h);
  if (!emf) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const auto n = UINT(emf->Bytes.size());
  if (!data) return n;
  if (size < n) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(data, emf->Bytes.data(), n);
  return n;
}

BOOL DeleteEnhMetaFile(HENHMETAFILE h) {
  if (!LookupAs<EnhMetaFile>(h)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return DeleteObject(ToObj(h));
}

namespace {

// The window and viewport extents mean something only while a metafile
// records; elsewhere the mapping is one to one.
BOOL SetExtent(HDC hdc, bool window, int x, int y, SIZE* old) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (dc->Meta) return dc->Meta->SetExtent(*dc, window, x, y, old);
  if (old) *old = {1, 1};
  return TRUE;
}

BOOL GetExtent(HDC hdc, bool window, SIZE* ext) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (ext) *ext = dc->Meta ? dc->Meta->Extent(window) : SIZE{1, 1};
  return TRUE;
}

}  // namespace

BOOL SetWindowExtEx(HDC hdc, int x, int y, SIZE* old) { return SetExtent(hdc, true, x, y, old); }

BOOL GetWindowExtEx(HDC hdc, SIZE* ext) { return GetExtent(hdc, true, ext); }

BOOL SetViewportExtEx(HDC hdc, int x, int y, SIZE* old) { return SetExtent(hdc, false, x, y, old); }

BOOL GetViewportExtEx(HDC hdc, SIZE* ext) { return GetExtent(hdc, false, ext); }

}  // namespace win
