// Text on the library canvas: measuring, drawing with the library's text
// flags (with the embossed disabled look) and splitting into lines.
#include <algorithm>

#include "library/foundation/cxGraphics.h"
#include "platform/gdi/Text.h"

using namespace win;

namespace {


// Drops the hot-key marks: "&x" shows as "x", "&&" as "&".
AnsiString StripPrefixes(const AnsiString& AText) {
  AnsiString result;
  result.reserve(AText.size());
  for (size_t i = 0; i < AText.size(); ++i) {
    if (AText[i] == '&' && i + 1 < AText.size()) ++i;
    result += AText[i];
  }
  return result;
}

}  // namespace

TSize TcxCanvas::TextExtent(const AnsiString& AText) { return FCanvas->TextExtent(AText); }

void TcxCanvas::TextExtent(const AnsiString& AText, TRect& R, Integer AFlags) {
  // Sizes in 64 bits: a rectangle across the whole range is wider than an
  // Integer holds, and the room it leaves is shared out exactly.
  const Int64 W0 = Int64{R.Right} - R.Left, H0 = Int64{R.Bottom} - R.Top;
  if (W0 <= 0 && !AText.empty()) R.Right = ClampToInteger(Int64{R.Left} + 1);
  RECT r = R;
  UINT format = (cxFlagsToDTFlags(AFlags) & ~DT_VCENTER) | DT_CALCRECT;
  DrawTextA(GetHandle(), AText.data(), static_cast<int>(AText.size()), &r, format);
  R = r;
  const Int64 spareW = W0 - cxRectWidth(R), spareH = H0 - cxRectHeight(R);
  if (AFlags & cxAlignHCenter)
    R = cxRectOffsetHorz(R, ClampToInteger(spareW / 2));
  else if (AFlags & cxAlignRight)
    R = cxRectOffsetHorz(R, ClampToInteger(spareW));
  if (AFlags & cxAlignVCenter)
    R = cxRectOffsetVert(R, ClampToInteger(spareH / 2));
  else if (AFlags & cxAlignBottom)
    R = cxRectOffsetVert(R, ClampToInteger(spareH));
}

void TcxCanvas::AlignMultiLineTextRectVertically(TRect& R, const AnsiString& AText, TcxAlignmentVert AAlignmentVert,
                                                 bool AWordBreak, bool AShowPrefix, bool AEnabled,
                                                 bool ADontBreakChars) {
  if (AAlignmentVert == vaTop) return;
  Integer flags = cxAlignLeft | cxAlignTop;
  if (AWordBreak) flags |= cxWordBreak;
  if (ADontBreakChars) flags |= cxDontBreakChars;
  if (AShowPrefix) flags |= cxShowPrefix;
  TRect measured = R;
  if (!AEnabled) --measured.Right;
  TextExtent(AText, measured, flags);
  const Integer textHeight = cxRectHeight(measured);
  if (AAlignmentVert == vaBottom)
    R.Top = ClampToInteger(Int64{R.Bottom} - textHeight);
  else
    R.Top = ClampToInteger(R.Top + (Int64{R.Bottom} - R.Top - textHeight) / 2);
}

void TcxCanvas::DrawTexT(const AnsiString& AText, const TRect& R, Integer AFlags, bool AEnabled) {
  if (AText.empty()) return;
  // Text that fits needs no clipping.
  TRect measured = R;
  TextExtent(AText, measured, AFlags & ~(cxAlignHCenter | cxAlignRight | cxAlignVCenter | cxAlignBottom));
  if (cxRectWidth(R) >= cxRectWidth(measured) && cxRectHeight(R) >= cxRectHeight(measured)) AFlags |= cxDontClip;

  const bool positioned = (AFlags & cxSingleLine) && !(AFlags & cxShowPrefix) &&
                          !(AFlags & (cxShowEndEllipsis | cxShowPathEllipsis));
  auto drawOnce = [&](TRect area) {
    if (positioned) {
      const TSize size = TextExtent(AText);
      Integer x = area.Left, y = area.Top;
      if (AFlags & cxAlignRight)
        x = area.Right - size.cx;
      else if (AFlags & cxAlignHCenter)
        x = (area.Left + area.Right - size.cx) / 2;
      if (AFlags & cxAlignBottom)
        y = area.Bottom - size.cy;
      else if (AFlags & cxAlignVCenter)
        y = (area.Top + area.Bottom - size.cy) / 2;
      RECT clip = area;
      cxPrepareCanvas(FCanvas);
      ExtTextOutA(GetHandle(), x, y, (AFlags & cxDontClip) ? 0 : ETO_CLIPPED, &clip, AText.data(),
                  static_cast<UINT>(AText.size()), nullptr);
      return;
    }
    if (!(AFlags & cxSingleLine) && (AFlags & (cxAlignBottom | cxAlignVCenter)))
      AlignMultiLineTextRectVertically(area, AText, (AFlags & cxAlignBottom) ? vaBottom : vaCenter,
                                       (AFlags & cxWordBreak) != 0, (AFlags & cxShowPrefix) != 0, AEnabled,
                                       (AFlags & cxDontBreakChars) != 0);
    RECT r = area;
    cxPrepareCanvas(FCanvas);
    DrawTextA(GetHandle(), AText.data(), static_cast<int>(AText.size()), &r, cxFlagsToDTFlags(AFlags));
  };

  if (AEnabled) {
    drawOnce(R);
    return;
  }
  // The embossed look: a highlight copy one pixel down and right, then the
  // shadow copy, both kept inside R.
  const TBrushStyle oldStyle = GetBrush()->GetStyle();
  const TColor oldColor = GetFont()->GetColor();
  GetBrush()->SetStyle(bsClear);
  GetFont()->SetColor(clBtnHighlight);
  drawOnce({R.Left + 1, R.Top + 1, R.Right, R.Bottom});
  GetFont()->SetColor(clBtnShadow);
  drawOnce({R.Left, R.Top, R.Right - 1, R.Bottom - 1});
  GetFont()->SetColor(oldColor);
  GetBrush()->SetStyle(oldStyle);
}

void TcxCanvas::GetTextStringsBounds(const AnsiString& AText, const TRect& R, Integer AFlags, bool AEnabled,
                                     std::vector<TRect>& ABounds) {
  ABounds.clear();
  AnsiString text = (AFlags & cxShowPrefix) ? StripPrefixes(AText) : AText;
  TRect area = R;
  if (!AEnabled) {
    --area.Right;
    --area.Bottom;
  }
  const Integer width = std::max<Integer>(cxRectWidth(area), 1);

  // Where the whole block starts vertically.
  Integer top = area.Top;
  if (AFlags & (cxAlignBottom | cxAlignVCenter)) {
    TRect whole = area;
    TextExtent(text, whole, (AFlags & (cxWordBreak | cxDontBreakChars | cxExpandTabs)) | cxAlignLeft | cxAlignTop);
    if (AFlags & cxAlignBottom)
      top = area.Bottom - cxRectHeight(whole);
    else
      top = area.Top + (cxRectHeight(area) - cxRectHeight(whole)) / 2;
  }

  cxPrepareCanvas(FCanvas);
  // Each line measures and searches only about as much text as it can
  // hold, and the text left is a view, not a copy: a long text costs in
  // proportion to its length, not to its length times its lines.
  std::string_view rest(text);
  std::size_t guess = 64;
  while (!rest.empty()) {
    int fit = 0;
    SIZE unused{};
    for (std::size_t measured = std::min(rest.size(), guess);; measured = std::min(rest.size(), 2 * measured)) {
      GetTextExtentExPointA(GetHandle(), rest.data(), static_cast<int>(measured), width, &fit, nullptr, &unused);
      if (static_cast<std::size_t>(fit) < measured || measured == rest.size()) break;
    }
    guess = 2 * static_cast<std::size_t>(fit) + 16;
    fit = std::max(fit, 1);
    AnsiString line;
    size_t consumed = 0;
    // A line break inside the part that fits ends the line; a CR LF or
    // LF CR pair counts as one break.
    size_t breakAt = rest.substr(0, static_cast<size_t>(fit)).find_first_of("\r\n");
    if (breakAt != AnsiString::npos && breakAt < static_cast<size_t>(fit)) {
      line = rest.substr(0, breakAt);
      consumed = breakAt + 1;
      if (consumed < rest.size() && (rest[consumed] == '\r' || rest[consumed] == '\n') && rest[consumed] != rest[breakAt])
        ++consumed;
    } else if (static_cast<size_t>(fit) < rest.size()) {
      // A space right after the part that fits ends a line as well as one
      // inside it.
      size_t space = rest.rfind(' ', static_cast<size_t>(fit));
      if (space != AnsiString::npos && space > 0) {
        const bool keepSpace = !(AFlags & (cxAlignRight | cxAlignHCenter));
        line = rest.substr(0, keepSpace ? space + 1 : space);
        consumed = space + 1;
      } else {
        line = rest.substr(0, static_cast<size_t>(fit));
        consumed = fit;
      }
    } else {
      line = rest;
      consumed = rest.size();
    }
    SIZE size{};
    GetTextExtentPoint32A(GetHandle(), line.data(), static_cast<int>(line.size()), &size);
    if (size.cy == 0) size.cy = TextHeight("Wg");
    Integer left = area.Left;
    if (AFlags & cxAlignRight)
      left = area.Right - size.cx;
    else if (AFlags & cxAlignHCenter)
      left = (area.Left + area.Right - size.cx) / 2;
    ABounds.push_back(cxRectBounds(left, top, size.cx, size.cy));
    top += size.cy;
    rest.remove_prefix(consumed);
  }
}
