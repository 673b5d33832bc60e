// The records of enhanced metafiles, played (MetafilePlayer.h).
#include <algorithm>
#include <cstring>

#include "platform/forms/MetafilePlaying.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"

using namespace win;

namespace forms::metafile {

namespace {

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

}  // namespace

void PlayEnhancedRecord(Player& p, std::uint32_t type, const std::uint8_t* rec, std::size_t length) {
  const HDC dc = p.Dc;
  const Transform& t = p.T;
  const std::uint8_t* r = rec + 8;
  const std::size_t n = length - 8;  // parameter bytes; framing was checked on reading
  auto X = [&](std::size_t off) { return t.X(S32(r + off)); };
  auto Y = [&](std::size_t off) { return t.Y(S32(r + off)); };
  // Each value of the DC's state in one parameter of four bytes.
  auto setValue = [&](DcValue which) {
    if (n >= 4) SetDcValue(dc, which, S32(r));
  };
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
    case EMR_SETBKMODE: setValue(DcValue::BkMode); break;
    case EMR_SETTEXTCOLOR: setValue(DcValue::TextColor); break;
    case EMR_SETBKCOLOR: setValue(DcValue::BkColor); break;
    case EMR_SETTEXTALIGN: setValue(DcValue::TextAlign); break;
    case EMR_SETROP2: setValue(DcValue::Rop2); break;
    case EMR_SETPOLYFILLMODE: setValue(DcValue::PolyFillMode); break;
    case EMR_SETSTRETCHBLTMODE: setValue(DcValue::StretchBltMode); break;
    case EMR_SETARCDIRECTION: setValue(DcValue::ArcDirection); break;
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

}  // namespace forms::metafile
