#include "platform/gdi/Text.h"
#include "platform/gdi/TextRun.h"

namespace win {

using namespace gdi;

namespace {

DC* TextDC(HDC hdc) {
  DC* dc = LookupDC(hdc);
  if (!dc) SetLastError(ERROR_INVALID_HANDLE);
  return dc;
}

}  // namespace

BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* tm) {
  DC* dc = TextDC(hdc);
  if (!dc) return FALSE;
  if (!tm) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const Font& font = CurrentFont(*dc);
  FontFace& f = DcFace(*dc);
  *tm = TEXTMETRICA{};
  tm->tmHeight = f.Height();
  tm->tmAscent = f.Ascent;
  tm->tmDescent = f.Descent;
  tm->tmInternalLeading = f.InternalLeading;
  tm->tmExternalLeading = f.ExternalLeading;
  tm->tmAveCharWidth = f.AveCharWidth;
  tm->tmMaxCharWidth = f.MaxCharWidth;
  tm->tmWeight = font.Log.lfWeight <= 0 ? FW_NORMAL : font.Log.lfWeight;
  tm->tmOverhang = 0;
  tm->tmDigitizedAspectX = 96;
  tm->tmDigitizedAspectY = 96;
  tm->tmFirstChar = 0x20;
  tm->tmLastChar = 0xFF;
  tm->tmDefaultChar = 0x1F;
  tm->tmBreakChar = 0x20;
  tm->tmItalic = font.Log.lfItalic ? 1 : 0;
  tm->tmUnderlined = font.Log.lfUnderline ? 1 : 0;
  tm->tmStruckOut = font.Log.lfStrikeOut ? 1 : 0;
  // Every face here is scalable; the low bit means "not fixed pitch".
  BYTE family = f.FixedPitch ? FF_MODERN : (font.Log.lfPitchAndFamily & 0xF0 ? font.Log.lfPitchAndFamily & 0xF0 : FF_SWISS);
  tm->tmPitchAndFamily = BYTE(family | TMPF_TRUETYPE | TMPF_VECTOR | (f.FixedPitch ? 0 : TMPF_FIXED_PITCH));
  tm->tmCharSet = font.Log.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : font.Log.lfCharSet;
  return TRUE;
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR str, int count, SIZE* size) {
  DC* dc = TextDC(hdc);
  if (!dc) return FALSE;
  if (!size || count < 0 || (count > 0 && !str)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  FontFace& f = DcFace(*dc);
  size->cx = RunWidth(*dc, f, str, count);
  size->cy = f.Height();
  return TRUE;
}

BOOL GetTextExtentPointA(HDC hdc, LPCSTR str, int count, SIZE* size) {
  return GetTextExtentPoint32A(hdc, str, count, size);
}

BOOL GetTextExtentExPointA(HDC hdc, LPCSTR str, int count, int maxExtent, int* fit, int* dx, SIZE* size) {
  DC* dc = TextDC(hdc);
  if (!dc) return FALSE;
  if (count < 0 || (count > 0 && !str) || (fit && maxExtent < 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  FontFace& f = DcFace(*dc);
  GlyphCache& g = *f.Glyphs;
  long long w = 0;
  int fitted = 0, breaks = 0;
  for (int i = 0; i < count; ++i) {
    w += SpacedAdvance(*dc, g, static_cast<unsigned char>(str[i]), breaks);
    if (fitted == i && w <= maxExtent) fitted = i + 1;
    if (dx) dx[i] = ClampCoord(w);
  }
  if (fit) *fit = fitted;
  if (size) *size = {ClampCoord(w), f.Height()};
  return TRUE;
}

DWORD GetTabbedTextExtentA(HDC hdc, LPCSTR str, int count, int tabCount, const int* tabStops) {
  DC* dc = TextDC(hdc);
  if (!dc) return 0;
  if (count < 0 || (count > 0 && !str)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  FontFace& f = DcFace(*dc);
  // Nothing to measure still has the font's height.
  if (count == 0) return DWORD(f.Height()) << 16;
  const TabStops stops{tabCount, tabStops, f.AveCharWidth * 8};
  const int end = LayOutTabbed(*dc, f, str, count, stops, 0, 0, [](int, int, int) {}, [](int, int) {});
  return (DWORD(f.Height()) << 16) | DWORD(end & 0xFFFF);
}

BOOL GetCharWidth32A(HDC hdc, UINT first, UINT last, int* widths) {
  DC* dc = TextDC(hdc);
  if (!dc) return FALSE;
  if (!widths || first > last || last > 0xFF) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  GlyphCache& g = *DcFace(*dc).Glyphs;
  for (UINT c = first; c <= last; ++c) widths[c - first] = g.Advance(static_cast<unsigned char>(c));
  return TRUE;
}

BOOL GetCharWidthA(HDC hdc, UINT first, UINT last, int* widths) { return GetCharWidth32A(hdc, first, last, widths); }

BOOL GetCharABCWidthsA(HDC hdc, UINT first, UINT last, ABC* abc) {
  DC* dc = TextDC(hdc);
  if (!dc) return FALSE;
  if (!abc || first > last || last > 0xFF) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The bitmap's box, not the bitmap: a range of characters at a large
  // size would otherwise render megabytes nobody draws.
  GlyphCache& g = *DcFace(*dc).Glyphs;
  for (UINT c = first; c <= last; ++c) {
    auto ch = static_cast<unsigned char>(c);
    const int adv = g.Advance(ch);
    const GlyphBox& box = g.Box(ch);
    ABC& out = abc[c - first];
    if (box.Width == 0) {
      out = {0, UINT(adv), 0};
    } else {
      out.abcA = box.Left;
      out.abcB = UINT(box.Width);
      out.abcC = adv - box.Left - box.Width;
    }
  }
  return TRUE;
}

}  // namespace win
