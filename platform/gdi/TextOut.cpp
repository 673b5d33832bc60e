#include <cmath>
#include <cstring>
#include <string>

#include "platform/gdi/MetafileRecorder.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Recorder.h"
#include "platform/gdi/Text.h"
#include "platform/gdi/TextRun.h"

namespace win::gdi {

namespace {

// Blends a coverage value of the text colour into a pixel value.
inline std::uint32_t Blend(std::uint32_t dst, std::uint32_t src, unsigned cov) {
  const unsigned inv = 255 - cov;
  std::uint32_t out = src & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    unsigned s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
    out |= std::uint32_t((s * cov + d * inv + 127) / 255) << shift;
  }
  return out;
}

// Draws a glyph's coverage at a surface position in one pixel value.
void BlitGlyph(DC& dc, const Region& clip, const std::uint8_t* bits, int w, int h, int ox, int oy, std::uint32_t px) {
  const Surface& surf = dc.Surf;
  for (int r = 0; r < h; ++r) {
    const int y = oy + r;
    const std::uint8_t* cov = bits + std::size_t(r) * std::size_t(w);
    ForClipSpans(clip, y, ox, ox + w, [&](int a, int b) {
      if (surf.Bpp == 32) {
        auto* d = reinterpret_cast<std::uint32_t*>(surf.Row(y));
        for (int x = a; x < b; ++x) {
          unsigned c = cov[x - ox];
          if (c == 255) d[x] = px;
          else if (c) d[x] = Blend(d[x], px, c);
        }
      } else if (surf.IsMono()) {
        // One bit per pixel: a pixel is text when at least half covered.
        for (int x = a; x < b; ++x)
          if (cov[x - ox] >= 128) WritePixel(surf, x, y, px);
      } else {
        for (int x = a; x < b; ++x) {
          unsigned c = cov[x - ox];
          if (c == 255) WritePixel(surf, x, y, px);
          else if (c) WritePixel(surf, x, y, Blend(ReadPixel(surf, x, y), px, c));
        }
      }
    });
  }
}

// Fills a surface rectangle with a pixel value through a clip.
void FillClipped(DC& dc, const Region& clip, const TRect& rc, std::uint32_t px) {
  Paint p;
  SolidPaint(px, 0xF0, p);
  ForClipRects(clip, rc, [&](const TRect& part) {
    for (int y = part.Top; y < part.Bottom; ++y) PaintSpan(dc.Surf, y, part.Left, part.Right, p, nullptr);
  });
}

// Maps a rectangle in run space (u along the baseline from the origin,
// v downwards from the baseline) to the surface for quarter-turn
// escapements; answers false for other angles.
bool RunRect(int esc, int ox, int oy, int u0, int u1, int v0, int v1, TRect& out) {
  switch (esc) {
    case 0: out = {ox + u0, oy + v0, ox + u1, oy + v1}; return true;
    case 900: out = {ox + v0, oy - u1, ox + v1, oy - u0}; return true;
    case 1800: out = {ox - u1, oy - v1, ox - u0, oy - v0}; return true;
    case 2700: out = {ox - v1, oy + u0, ox - v0, oy + u1}; return true;
    default: return false;
  }
}

}  // namespace

int RunWidth(const DC& dc, FontFace& face, const char* s, int n) {
  GlyphCache& g = *face.Glyphs;
  long long w = 0;
  int breaks = 0;
  for (int i = 0; i < n; ++i) w += SpacedAdvance(dc, g, static_cast<unsigned char>(s[i]), breaks);
  return ClampCoord(w);
}

int DrawRun(DC& dc, int x, int y, const char* s, int n, const RunOptions& opt) {
  if (dc.Meta) return dc.Meta->Text(dc, x, y, s, n, opt);
  FontFace& face = DcFace(dc);
  GlyphCache& glyphs = *face.Glyphs;
  const Font& font = CurrentFont(dc);

  // The advance of each character, and the run's width. Positions, the
  // rectangle and the width are held within the coordinate range, as the
  // other drawing calls hold theirs: a run placed or spaced out near the
  // ends of the 32-bit range then never overflows on its way to the surface.
  int width = 0;
  if (opt.Dx) {
    long long sum = 0;
    for (int i = 0; i < n; ++i) sum += opt.Dx[i];
    width = ClampCoord(sum);
  } else {
    width = RunWidth(dc, face, s, n);
  }

  const UINT align = opt.UseDcAlign ? dc.S.TextAlign : opt.Align;
  const bool updateCp = opt.UseDcAlign && (align & TA_UPDATECP);
  if (updateCp) {
    x = dc.S.CurPos.X;
    y = dc.S.CurPos.Y;
  }
  x = ClampCoord(x), y = ClampCoord(y);

  // The reference point, in run space, of the run's origin (left end of
  // the baseline).
  int u = 0, v = 0;
  switch (align & (TA_CENTER)) {
    case TA_RIGHT: u = -width; break;
    case TA_CENTER: u = -(width / 2); break;
    default: break;
  }
  switch (align & TA_BASELINE) {
    case TA_BASELINE: v = 0; break;
    case TA_BOTTOM: v = -face.Descent; break;
    default: v = face.Ascent; break;
  }
  // Run space -> surface: rotate (u, v) by the escapement.
  const int esc = face.Escapement;
  const double cosA = face.Matrix[0] / 65536.0, sinA = face.Matrix[2] / 65536.0;
  auto toSurfX = [&](double uu, double vv) { return int(std::lround(uu * cosA + vv * sinA)); };
  auto toSurfY = [&](double uu, double vv) { return int(std::lround(-uu * sinA + vv * cosA)); };
  const int refX = x + dc.OffX, refY = y + dc.OffY;
  const int originX = refX + toSurfX(u, v), originY = refY + toSurfY(u, v);

  // The clip: the DC's, narrowed to the rectangle with ETO_CLIPPED.
  const Region* clip = &dc.Eff;
  thread_local Region narrowed;
  TRect optRect{};
  if (opt.Rect) {
    optRect = {ClampCoord(opt.Rect->Left) + dc.OffX, ClampCoord(opt.Rect->Top) + dc.OffY,
               ClampCoord(opt.Rect->Right) + dc.OffX, ClampCoord(opt.Rect->Bottom) + dc.OffY};
    if (opt.Options & ETO_CLIPPED) {
      narrowed = dc.Eff;
      narrowed.IntersectRect(optRect);
      clip = &narrowed;
    }
  }

  const std::uint32_t bkPx = DevicePixel(dc, dc.S.BkColor);
  if (opt.Rect && (opt.Options & ETO_OPAQUE)) FillClipped(dc, *clip, optRect, bkPx);
  TRect cell;
  if (dc.S.BkMode == OPAQUE && n > 0 && RunRect(esc, originX, originY, 0, width, -face.Ascent, face.Descent, cell))
    FillClipped(dc, *clip, cell, bkPx);

  const std::uint32_t textPx = DevicePixel(dc, dc.S.TextColor);
  const TRect bounds = clip->Box();
  int pen = 0, breaks = 0;
  int ulStart = 0, ulEnd = 0;
  for (int i = 0; i < n; ++i) {
    auto ch = static_cast<unsigned char>(s[i]);
    int adv;
    if (opt.Dx) {
      adv = opt.Dx[i];
    } else {
      adv = SpacedAdvance(dc, glyphs, ch, breaks);
    }
    if (i == opt.UnderlineIndex) {
      ulStart = pen;
      ulEnd = pen + glyphs.Advance(ch);
    }
    // Only a glyph that can reach the clip is rendered: a long run in a
    // large font mostly lies out of sight, and each of its bitmaps would
    // cost as much as one in sight.
    const int px = originX + toSurfX(pen, 0), py = originY + toSurfY(pen, 0);
    const InkBox& ink = glyphs.Ink(ch);
    if (px + ink.Right > bounds.Left && px + ink.Left < bounds.Right && py + ink.Bottom > bounds.Top &&
        py + ink.Top < bounds.Bottom) {
      const Glyph& g = glyphs.Get(ch);
      if (g.Width > 0) BlitGlyph(dc, *clip, glyphs.Bits(g), g.Width, g.Height, px + g.Left, py - g.Top, textPx);
    }
    pen = HeldSum(pen, adv);
  }

  // Lines the platform draws itself: underline, strike-out, the prefix.
  auto line = [&](int u0, int u1, int v0, int thickness) {
    TRect rc;
    if (u0 < u1 && RunRect(esc, originX, originY, u0, u1, v0, v0 + thickness, rc)) FillClipped(dc, *clip, rc, textPx);
  };
  if (font.Log.lfUnderline) line(0, pen, face.UnderlinePos, face.UnderlineThickness);
  if (font.Log.lfStrikeOut) line(0, pen, -face.StrikeoutPos, face.StrikeoutThickness);
  if (opt.UnderlineIndex >= 0 && !font.Log.lfUnderline) line(ulStart, ulEnd, face.UnderlinePos, face.UnderlineThickness);

  if (updateCp) {
    if ((align & TA_CENTER) == TA_LEFT) dc.S.CurPos.X = x + width;
    else if ((align & TA_CENTER) == TA_RIGHT) dc.S.CurPos.X = x - width;
  }
  return width;
}

}  // namespace win::gdi

namespace win {

using namespace gdi;

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR str, UINT count, const int* dx) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (count > 0 && !str) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (count > 0x7FFFFFFF) count = 0x7FFFFFFF;
  ORV_GDI_LOG(dc, "ExtTextOut", "%d,%d opts=%u rect=%s \"%.*s\"%s", x, y, options,
              rect ? (std::to_string(rect->Left) + "," + std::to_string(rect->Top) + "," +
                      std::to_string(rect->Right) + "," + std::to_string(rect->Bottom))
                         .c_str()
                   : "none",
              int(count), str ? str : "", dx ? " dx" : "");
  RunOptions opt;
  opt.Options = options;
  opt.Rect = (options & (ETO_OPAQUE | ETO_CLIPPED)) ? rect : nullptr;
  opt.Dx = dx;
  DrawRun(*dc, x, y, str, int(count), opt);
  return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR str, int count) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (count < 0 || (count > 0 && !str)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ORV_GDI_LOG(dc, "TextOut", "%d,%d \"%.*s\"", x, y, count, str ? str : "");
  DrawRun(*dc, x, y, str, count, RunOptions{});
  return TRUE;
}

LONG TabbedTextOutA(HDC hdc, int x, int y, LPCSTR str, int count, int tabCount, const int* tabStops, int tabOrigin) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (count < 0 || (count > 0 && !str)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  ORV_GDI_LOG(dc, "TabbedTextOut", "%d,%d \"%.*s\" tabs=%d origin=%d", x, y, count, str ? str : "", tabCount,
              tabOrigin);
  FontFace& face = DcFace(*dc);
  // Nothing to draw still answers the font's height.
  if (count == 0) return LONG(DWORD(face.Height()) << 16);
  x = ClampCoord(x), y = ClampCoord(y);  // as every run's position is held
  const TabStops stops{tabCount, tabStops, face.AveCharWidth * 8};
  // Pieces between tabs are drawn left-aligned at the places the stops
  // give them; the gaps are filled like the text's background.
  RunOptions opt;
  opt.UseDcAlign = false;
  opt.Align = TA_LEFT | (dc->S.TextAlign & TA_BASELINE);
  const int end = LayOutTabbed(
      *dc, face, str, count, stops, x, tabOrigin, [&](int left, int from, int n) { DrawRun(*dc, left, y, str + from, n, opt); },
      [&](int from, int to) {
        if (dc->S.BkMode != OPAQUE || to <= from) return;
        RECT gap{from, y, to, y + face.Height()};
        RunOptions fill = opt;
        fill.Options = ETO_OPAQUE;
        fill.Rect = &gap;
        DrawRun(*dc, from, y, "", 0, fill);
      });
  return LONG((DWORD(face.Height()) << 16) | DWORD((end - x) & 0xFFFF));
}

BOOL SetTextJustification(HDC hdc, int extra, int breaks) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (extra == 0 || breaks <= 0) {
    dc->S.BreakExtra = 0;
    dc->S.BreakCount = 0;
  } else {
    dc->S.BreakExtra = ClampCoord(extra);  // see SpacedAdvance
    dc->S.BreakCount = breaks;
  }
  return TRUE;
}

int SetTextCharacterExtra(HDC hdc, int extra) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return int(0x80000000);
  }
  int old = dc->S.CharExtra;
  dc->S.CharExtra = ClampCoord(extra);  // see SpacedAdvance
  return old;
}

int GetTextCharacterExtra(HDC hdc) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return int(0x80000000);
  }
  return dc->S.CharExtra;
}

}  // namespace win
