// The records of placeable metafiles (the older format behind a header
// giving its size), played (MetafilePlayer.h).
#include <algorithm>
#include <cstring>

#include "platform/forms/MetafilePlaying.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"

using namespace win;

namespace forms::metafile {

namespace {


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

}  // namespace

void PlayPlaceableRecord(Player& p, std::uint16_t function, const std::uint8_t* r, std::size_t n) {
  const HDC dc = p.Dc;
  const Transform& t = p.T;
  Words w{r, n};
  auto keepRegion = [&](const std::vector<RECT>& rects) { p.Keep(p.FreeSlot(), ToObj(p.RegionOf(rects, false))); };
  auto region = [&](std::size_t i) { return reinterpret_cast<HRGN>(p.Object(U16(r + 2 * i), false)); };
  // Each value of the DC's state in one word, but for colours in two.
  auto setValue = [&](DcValue which) {
    const bool colour = which == DcValue::TextColor || which == DcValue::BkColor;
    if (n >= (colour ? 4u : 2u)) SetDcValue(dc, which, colour ? S32(r) : w(0));
  };
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
    case META_SETBKMODE: setValue(DcValue::BkMode); break;
    case META_SETTEXTCOLOR: setValue(DcValue::TextColor); break;
    case META_SETBKCOLOR: setValue(DcValue::BkColor); break;
    case META_SETTEXTALIGN: setValue(DcValue::TextAlign); break;
    case META_SETROP2: setValue(DcValue::Rop2); break;
    case META_SETPOLYFILLMODE: setValue(DcValue::PolyFillMode); break;
    case META_SETSTRETCHBLTMODE: setValue(DcValue::StretchBltMode); break;
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


}  // namespace forms::metafile
