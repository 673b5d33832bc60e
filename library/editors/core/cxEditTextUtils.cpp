#include "library/editors/core/cxEditTextUtils.h"

#include <algorithm>
#include <climits>
#include <tuple>
#include <utility>

#include "platform/forms/Graphics.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Numbers.h"

using namespace win;

namespace {

const char cxEllipsis[] = "...";
constexpr Integer cxEllipsisLength = 3;

// Sizes of rectangles that may reach the ends of the integer range (a
// measuring caller's open right edge) are taken without overflow.
Integer RectWidth(const TRect& R) { return ClampToInteger(Int64(R.Right) - R.Left); }
Integer RectHeight(const TRect& R) { return ClampToInteger(Int64(R.Bottom) - R.Top); }

bool IsJustified(TcxTextAlignX AAlignX) { return AAlignX == taJustifyX || AAlignX == taDistributeX; }

// Lead bytes exist only with a far-east system locale; then a lead byte and
// its trail byte are one character.
Integer CharBytes(const char* AText, Integer AIndex, Integer ALength, bool AFarEast) {
  return AFarEast && AIndex + 1 < ALength && IsLeadByte(AText[AIndex]) ? 2 : 1;
}

// The widths of a whole text, measured once: Prefix[i] is the extent of its
// first i characters. Every character advances a whole number of pixels, so
// the extent of any stretch is a difference of two entries, the same number
// the drawing tier answers when the stretch is measured on its own.
class TcxTextWidths {
 public:
  TcxTextWidths(HDC ADC, const char* AText, Integer ALength) {
    thread_local std::vector<int> Scratch;
    Scratch.resize(size_t(ALength) + 1);
    Scratch[0] = 0;
    if (ALength > 0) GetTextExtentExPointA(ADC, AText, ALength, 0, nullptr, Scratch.data() + 1, nullptr);
    FPrefix = Scratch.data();
    TEXTMETRICA tm{};
    GetTextMetricsA(ADC, &tm);
    FTabStep = std::max<Integer>(tm.tmAveCharWidth * 8, 1);
  }

  Integer Width(Integer AFrom, Integer ATo) const { return FPrefix[ATo] - FPrefix[AFrom]; }
  // The first tab stop right of APos (stops every eight average widths from
  // the row's start, as tabbed output places them).
  Integer NextTab(Integer APos) const { return (APos / FTabStep + 1) * FTabStep; }
  // The extent of [AFrom, ATo) with or without tab expansion.
  Integer Extent(const char* AText, Integer AFrom, Integer ATo, bool AExpandTabs) const {
    if (!AExpandTabs) return Width(AFrom, ATo);
    Integer x = 0;
    for (Integer i = AFrom; i < ATo; ++i) x = AText[i] == '\t' ? NextTab(x) : x + Width(i, i + 1);
    return x;
  }

 private:
  const int* FPrefix = nullptr;
  Integer FTabStep = 1;
};

// Breaks a text into rows one at a time.
class TcxTextRowMaker {
 public:
  TcxTextRowMaker(const char* AText, Integer ALength, Integer AWidth, const TcxTextParams& AParams,
                  const TcxTextWidths& AWidths)
      : FText(AText), FLength(ALength), FWidth(AWidth), FParams(AParams), FWidths(AWidths) {
    FCanWrap = !AParams.SingleLine && (AParams.WordBreak || IsJustified(AParams.AlignX));
    FCharWrap = FCanWrap && AParams.CharBreak;
    FFarEast = SysLocale().FarEast;
  }

  // Makes the row starting at ACursor; answers where the next row starts.
  Integer MakeRow(Integer ACursor, bool AIsLast, TcxTextRow& ARow) const {
    const TcxTextParams& P = FParams;
    const bool justified = IsJustified(P.AlignX);
    const bool rowEllipsis = AIsLast && P.EndEllipsis && !P.WholeRows && !P.NoClip && !justified;
    const bool measured = FCanWrap || rowEllipsis || P.SingleLine;
    const bool lineBreaks = !rowEllipsis && !P.SingleLine;
    const Integer start = ACursor;
    Integer end = start, breaks = 0, lastBreak = -1, x = 0;
    for (Integer i = start; i < FLength;) {
      const char c = FText[i];
      if (lineBreaks && (c == '\r' || c == '\n')) {
        if (P.AlignX == taJustifyX) breaks = 0;
        break;
      }
      end = i + CharBytes(FText, i, FLength, FFarEast);
      if (c == P.BreakChar || c == '\t') {
        ++breaks;
        lastBreak = end;
      }
      if (measured) {
        // The running width of the row, kept up as the walk goes: the
        // extent of the whole row so far, tabs at their stops.
        if (P.ExpandTabs)
          x = c == '\t' ? FWidths.NextTab(x) : x + FWidths.Width(i, end);
        else
          x = FWidths.Width(start, end);
        if (x > FWidth) {
          if (rowEllipsis || P.SingleLine) break;
          if (lastBreak >= 0) {
            end = lastBreak;
            break;
          }
          if (FCharWrap) {
            // The row ends before this character, but never empty: a
            // character wider than the row stands alone on it, clipped.
            if (i > start) end = i;
            break;
          }
        }
      }
      i = end;
    }

    Integer length = end - start;
    if (justified)
      while (length > 0 && (FText[start + length - 1] == P.BreakChar || FText[start + length - 1] == '\t')) {
        --length;
        if (breaks > 0) --breaks;
      }

    Integer cursor = start + length;
    while (cursor < FLength && FText[cursor] == P.BreakChar) ++cursor;
    if (cursor < FLength && FText[cursor] == '\t') ++cursor;
    bool paragraphEnd = false;
    if (cursor < FLength && FText[cursor] == '\r') {
      ++cursor;
      paragraphEnd = true;
    }
    if (cursor < FLength && FText[cursor] == '\n') {
      ++cursor;
      paragraphEnd = true;
    }
    // The last row of a paragraph keeps its natural spacing.
    if (P.AlignX == taJustifyX && (paragraphEnd || cursor >= FLength)) breaks = 0;

    ARow = TcxTextRow{};
    ARow.Text = FText + start;
    ARow.TextLength = length;
    ARow.BreakCount = breaks;
    ARow.StartIndex = start;
    ARow.Width = FWidths.Extent(FText, start, start + length, P.ExpandTabs);
    ARow.Height = P.ExpandTabs && length == 0 ? 0 : P.TextHeight;
    return cursor;
  }

 private:
  const char* FText;
  Integer FLength;
  Integer FWidth;
  const TcxTextParams& FParams;
  const TcxTextWidths& FWidths;
  bool FCanWrap = false;
  bool FCharWrap = false;
  bool FFarEast = false;
};

// The extent of a row's first ACount characters as its output draws them.
Integer RowPrefixExtent(HDC ADC, const TcxTextRow& ARow, Integer ACount, bool AExpandTabs) {
  if (ACount <= 0) return 0;
  TSize size;
  cxCalcTextExtents(ADC, ARow.Text, ACount, size, AExpandTabs);
  return size.cx;
}

void RowTextOut(HDC ADC, const TcxTextRow& ARow, Integer ALength, bool AExpandTabs) {
  if (AExpandTabs)
    TabbedTextOutA(ADC, ARow.Left, ARow.Top, ARow.Text, ALength, 0, nullptr, ARow.Left);
  else
    TextOutA(ADC, ARow.Left, ARow.Top, ARow.Text, ALength);
}

}  // namespace

TcxTextParams cxCalcTextParams(HDC ADC, Cardinal AFormat) {
  TEXTMETRICA tm{};
  GetTextMetricsA(ADC, &tm);
  TcxTextParams P;
  P.AlignX = TcxTextAlignX(AFormat & 7);
  if (P.AlignX > taDistributeX) P.AlignX = taLeft;
  P.AlignY = TcxTextAlignY((AFormat >> 4) & 3);
  P.WordBreak = AFormat & cxtfWordBreak;
  P.SingleLine = AFormat & cxtfSingleLine;
  P.ExpandTabs = AFormat & cxtfExpandTabs;
  P.EndEllipsis = AFormat & cxtfEndEllipsis;
  P.ExternalLeadingFlag = AFormat & cxtfExternalLeading;
  P.WholeRows = AFormat & cxtfWholeRows;
  P.NoClip = AFormat & cxtfNoClip;
  P.KeepLeft = AFormat & cxtfKeepLeft;
  P.KeepTop = AFormat & cxtfKeepTop;
  P.CharBreak = (AFormat & cxtfCharBreak) || SysLocale().FarEast;
  P.ReturnRowCount = AFormat & cxtfReturnRowCount;
  P.CalcRect = AFormat & cxtfCalcRect;
  P.TextHeight = tm.tmHeight;
  P.ExternalLeading = P.ExternalLeadingFlag ? tm.tmExternalLeading : 0;
  P.RowHeight = P.TextHeight + P.ExternalLeading;
  if (P.EndEllipsis) {
    SIZE size{};
    GetTextExtentPoint32A(ADC, cxEllipsis, cxEllipsisLength, &size);
    P.EllipsisWidth = size.cx;
  }
  P.BreakChar = char(tm.tmBreakChar);
  P.MaxCharWidth = tm.tmMaxCharWidth;
  P.CharSet = tm.tmCharSet;
  return P;
}

TcxTextParams cxCalcTextParams(TCanvas* ACanvas, Cardinal AFormat) {
  cxPrepareCanvas(ACanvas);
  return cxCalcTextParams(ACanvas->GetHandle(), AFormat);
}

void cxCalcTextExtents(HDC ADC, const char* AText, Integer ATextLength, TSize& ASize, bool AExpandTabs) {
  if (AExpandTabs) {
    const DWORD extent = GetTabbedTextExtentA(ADC, AText, ATextLength, 0, nullptr);
    ASize = {Integer(extent & 0xFFFF), Integer(extent >> 16)};
  } else {
    SIZE size{};
    GetTextExtentPoint32A(ADC, AText, ATextLength, &size);
    ASize = {size.cx, size.cy};
  }
}

void cxCalcTextRowExtents(HDC ADC, TcxTextRow& ARow, const TcxTextParams& ATextParams) {
  TSize size;
  cxCalcTextExtents(ADC, ARow.Text, ARow.TextLength, size, ATextParams.ExpandTabs);
  ARow.Width = size.cx;
  ARow.Height = size.cy;
}

bool cxMakeTextRows(HDC ADC, const AnsiString& AText, const TRect& R, const TcxTextParams& ATextParams,
                    TcxTextRows& ATextRows, Integer& ARowCount, Integer AMaxLineCount) {
  const TcxTextParams& P = ATextParams;
  ATextRows.clear();
  ARowCount = 0;
  const Integer length = ClampToInteger(Int64(AText.size()));
  if (length == 0) return true;
  if (P.CalcRect && P.SingleLine) {
    TcxTextRow row;
    row.Text = AText.data();
    row.TextLength = length;
    cxCalcTextRowExtents(ADC, row, P);
    ATextRows.push_back(row);
    ARowCount = 1;
    return true;
  }

  const TcxTextWidths widths(ADC, AText.data(), length);
  const TcxTextRowMaker maker(AText.data(), length, RectWidth(R), P, widths);
  const Int64 height = RectHeight(R);
  const bool heightStops = P.AlignY == taTop && !P.CalcRect;
  Int64 used = 0;
  Integer cursor = 0;
  bool stop = false;
  while (cursor < length && !stop) {
    ++ARowCount;
    used += P.RowHeight;
    if (P.SingleLine)
      stop = true;
    else if (heightStops)
      stop = P.WholeRows && !P.NoClip ? height < used + P.RowHeight : height < used;
    else
      stop = AMaxLineCount >= 1 && ARowCount == AMaxLineCount;
    TcxTextRow row;
    cursor = maker.MakeRow(cursor, stop, row);
    ATextRows.push_back(row);
  }
  // Cut by the line limit, drawn or measured: the caller shows the cut with
  // an ellipsis.
  return !(!P.SingleLine && AMaxLineCount >= 1 && ARowCount == AMaxLineCount && cursor < length);
}

bool cxMakeTextRows(TCanvas* ACanvas, const AnsiString& AText, const TRect& R, const TcxTextParams& ATextParams,
                    TcxTextRows& ATextRows, Integer& ARowCount, Integer AMaxLineCount) {
  cxPrepareCanvas(ACanvas);
  return cxMakeTextRows(ACanvas->GetHandle(), AText, R, ATextParams, ATextRows, ARowCount, AMaxLineCount);
}

void cxPlaceTextRows(HDC, const TRect& R, TcxTextParams& ATextParams, TcxTextRows& ATextRows, Integer ARowCount) {
  TcxTextParams& P = ATextParams;
  const Integer count = std::clamp<Integer>(ARowCount, 0, Integer(ATextRows.size()));
  const Int64 width = RectWidth(R), height = RectHeight(R);
  Integer extra = 0;
  if (P.AlignY == taDistributeY && count > 1) {
    const Int64 free = height - P.TextHeight, gaps = count - 1;
    if (Int64(P.TextHeight) * gaps < free) {
      P.RowHeight = ClampToInteger(free / gaps);
      extra = Integer(free % gaps);
    }
  }
  const Int64 rowsHeight = Int64(count) * P.RowHeight;
  Int64 top;
  switch (P.AlignY) {
    case taCenterY:
      top = R.Top + (height - rowsHeight) / 2;
      break;
    case taBottom:
      top = R.Bottom - rowsHeight + P.ExternalLeading;
      break;
    default:
      top = R.Top;
  }
  if (P.KeepTop) top = std::max<Int64>(top, R.Top);
  for (Integer i = 0; i < count; ++i) {
    TcxTextRow& row = ATextRows[i];
    Int64 left;
    switch (P.AlignX) {
      case taCenterX:
        left = R.Left + (width - row.Width) / 2;
        break;
      case taRight:
        left = Int64(R.Right) - row.Width;
        break;
      default:
        left = R.Left;
    }
    if (P.KeepLeft) left = std::max<Int64>(left, R.Left);
    row.Left = ClampToInteger(left);
    row.Top = ClampToInteger(top);
    top += P.RowHeight;
    if (extra > 0) {
      ++top;
      --extra;
    }
  }
}

void cxTextRowsOutHighlight(HDC ADC, const TRect& R, const TcxTextParams& ATextParams, const TcxTextRows& ATextRows,
                            Integer ARowCount, Integer ASelStart, Integer ASelLength, TColor ASelBkColor,
                            TColor ASelTextColor, bool AForceEndEllipsis) {
  const TcxTextParams& P = ATextParams;
  const Integer count = std::clamp<Integer>(ARowCount, 0, Integer(ATextRows.size()));
  const Integer width = RectWidth(R);
  const Int64 selEnd = Int64(ASelStart) + std::max(ASelLength, 0);
  const int oldBkMode = SetBkMode(ADC, TRANSPARENT);
  // Glyphs may hang out of their advance boxes (accents, overhangs), so
  // even rows that fit are kept inside the rectangle.
  const int savedCallState = P.NoClip || count == 0 ? 0 : SaveDC(ADC);
  if (savedCallState) IntersectClipRect(ADC, R.Left, R.Top, R.Right, R.Bottom);
  HBRUSH selBrush = ASelLength >= 1 ? CreateSolidBrush(COLORREF(ColorToRGB(ASelBkColor))) : nullptr;

  for (Integer i = 0; i < count; ++i) {
    const TcxTextRow& row = ATextRows[i];
    const bool isLast = i == count - 1;
    const Int64 rowTop = row.Top, rowBottom = rowTop + P.RowHeight;
    // A row wholly above or below the rectangle leaves no pixel behind.
    if (!P.NoClip && (rowBottom <= R.Top || rowTop >= R.Bottom)) continue;

    auto drawEllipsis = [&](Integer AShownLength) {
      const Int64 x = Int64(row.Left) + RowPrefixExtent(ADC, row, AShownLength, P.ExpandTabs);
      if (x >= R.Right) return;
      if (!P.NoClip && x + P.EllipsisWidth > R.Right) {
        ExtTextOutA(ADC, Integer(x), row.Top, ETO_CLIPPED, &R, cxEllipsis, cxEllipsisLength, nullptr);
      } else {
        TextOutA(ADC, Integer(x), row.Top, cxEllipsis, cxEllipsisLength);
      }
    };

    if (row.TextLength <= 0) {
      if (isLast && AForceEndEllipsis && P.EndEllipsis) drawEllipsis(0);
      continue;
    }
    const bool ellipsis = P.EndEllipsis && isLast && (row.Width > width || AForceEndEllipsis);
    const bool justify = IsJustified(P.AlignX) && !ellipsis && row.BreakCount > 0 && width - row.Width >= 1;
    if (justify) SetTextJustification(ADC, width - row.Width, row.BreakCount);
    const bool clipped = !P.NoClip && (row.Width > width || rowTop < R.Top || rowBottom > R.Bottom);
    int savedRowState = 0;
    if (clipped) {
      savedRowState = SaveDC(ADC);
      IntersectClipRect(ADC, R.Left, ClampToInteger(std::max<Int64>(rowTop, R.Top)), R.Right,
                        ClampToInteger(std::min<Int64>(rowBottom, R.Bottom)));
    }

    Integer shown = row.TextLength;
    if (ellipsis) {
      int fit = 0;
      const Integer room = width - P.EllipsisWidth;
      if (room >= 0) GetTextExtentExPointA(ADC, row.Text, row.TextLength, room, &fit, nullptr, nullptr);
      if (fit > 0) shown = fit;
    }
    RowTextOut(ADC, row, shown, P.ExpandTabs);

    // The selected part of the row: cut to what the row shows, and
    // highlighted where the row's own output put those characters.
    const Int64 from = std::max<Int64>(ASelStart, row.StartIndex);
    const Int64 to = std::min<Int64>(selEnd, Int64(row.StartIndex) + shown);
    if (selBrush && from < to) {
      Integer x1 = RowPrefixExtent(ADC, row, Integer(from - row.StartIndex), P.ExpandTabs);
      Integer x2 = RowPrefixExtent(ADC, row, Integer(to - row.StartIndex), P.ExpandTabs);
      if (cxGetWritingDirection(P.CharSet, AnsiString(row.Text, size_t(shown)))) {
        const Integer rowWidth = RowPrefixExtent(ADC, row, shown, P.ExpandTabs);
        std::tie(x1, x2) = std::pair(rowWidth - x2, rowWidth - x1);
      }
      const TRect selRect{ClampToInteger(Int64(row.Left) + x1), row.Top, ClampToInteger(Int64(row.Left) + x2),
                          ClampToInteger(rowBottom)};
      const int savedSelState = SaveDC(ADC);
      IntersectClipRect(ADC, selRect.Left, selRect.Top, selRect.Right, selRect.Bottom);
      FillRect(ADC, &selRect, selBrush);
      SetTextColor(ADC, COLORREF(ColorToRGB(ASelTextColor)));
      RowTextOut(ADC, row, shown, P.ExpandTabs);
      RestoreDC(ADC, savedSelState);
    }

    if (ellipsis) drawEllipsis(shown);
    if (justify) SetTextJustification(ADC, 0, 0);
    if (clipped) RestoreDC(ADC, savedRowState);
  }

  if (selBrush) DeleteObject(selBrush);
  if (savedCallState) RestoreDC(ADC, savedCallState);
  SetBkMode(ADC, oldBkMode);
}

Integer cxGetLongestTextRowWidth(const TcxTextRows& ATextRows, Integer ARowCount) {
  Integer result = 0;
  const Integer count = std::clamp<Integer>(ARowCount, 0, Integer(ATextRows.size()));
  for (Integer i = 0; i < count; ++i) result = std::max(result, ATextRows[i].Width);
  return result;
}

TRect cxPrepareRect(const TRect& R, const TcxTextParams&, Integer ALeftIndent, Integer ARightIndent) {
  TRect result = R;
  result.Left = ClampToInteger(Int64(R.Left) + ALeftIndent);
  result.Right = ClampToInteger(Int64(R.Right) - ARightIndent);
  return result;
}

Integer cxTextOut(HDC ADC, const AnsiString& AText, TRect& R, Cardinal AFormat, Integer ASelStart,
                  Integer ASelLength, TColor ASelBkColor, TColor ASelTextColor, Integer AMaxLineCount,
                  Integer ALeftIndent, Integer ARightIndent) {
  if (AText.empty()) return 0;
  TcxTextParams P = cxCalcTextParams(ADC, AFormat);
  TRect textRect = cxPrepareRect(R, P, ALeftIndent, ARightIndent);
  const bool hasRoom = P.CalcRect ? RectWidth(textRect) > 0 : RectWidth(textRect) > 0 && RectHeight(textRect) > 0;
  if (!hasRoom) return 0;

  TcxTextRows rows;
  Integer rowCount = 0;
  const bool fits = cxMakeTextRows(ADC, AText, textRect, P, rows, rowCount, AMaxLineCount);
  if (rowCount == 0) return 0;

  if (P.CalcRect) {
    if (AMaxLineCount > 0 && AMaxLineCount < rowCount) rowCount = AMaxLineCount;
    textRect.Right = ClampToInteger(Int64(textRect.Left) + cxGetLongestTextRowWidth(rows, rowCount));
    if (!P.SingleLine) cxMakeTextRows(ADC, AText, textRect, P, rows, rowCount, AMaxLineCount);
    cxPlaceTextRows(ADC, textRect, P, rows, rowCount);
    textRect.Bottom = ClampToInteger(Int64(rows[rowCount - 1].Top) + P.TextHeight);
    R = textRect;
    R.Left = ClampToInteger(Int64(R.Left) - ALeftIndent);
    R.Right = ClampToInteger(Int64(R.Right) + ARightIndent);
  } else {
    bool forceEndEllipsis = false;
    if (AMaxLineCount > 0 && AMaxLineCount <= rowCount) {
      rowCount = AMaxLineCount;
      forceEndEllipsis = !fits && P.EndEllipsis && P.WholeRows && !P.SingleLine;
    }
    cxPlaceTextRows(ADC, textRect, P, rows, rowCount);
    const Integer length = ClampToInteger(Int64(AText.size()));
    if (ASelStart < 0 || ASelStart >= length || ASelLength < 0)
      ASelLength = 0;
    else
      ASelLength = std::min(ASelLength, length - ASelStart);
    cxTextRowsOutHighlight(ADC, textRect, P, rows, rowCount, ASelStart, ASelLength, ASelBkColor, ASelTextColor,
                           forceEndEllipsis);
  }

  if (!P.ReturnRowCount) {
    const Integer height = ClampToInteger(Int64(rows[rowCount - 1].Top) + P.TextHeight - textRect.Top);
    if (height != 0) return height;
  }
  return rowCount;
}

Integer cxTextOut(TCanvas* ACanvas, const AnsiString& AText, TRect& R, Cardinal AFormat, Integer ASelStart,
                  Integer ASelLength, TColor ASelBkColor, TColor ASelTextColor, Integer AMaxLineCount,
                  Integer ALeftIndent, Integer ARightIndent) {
  cxPrepareCanvas(ACanvas);
  return cxTextOut(ACanvas->GetHandle(), AText, R, AFormat, ASelStart, ASelLength, ASelBkColor, ASelTextColor,
                   AMaxLineCount, ALeftIndent, ARightIndent);
}

Integer cxTextOut(TcxCanvas* ACanvas, const AnsiString& AText, TRect& R, Cardinal AFormat, Integer ASelStart,
                  Integer ASelLength, TColor ASelBkColor, TColor ASelTextColor, Integer AMaxLineCount,
                  Integer ALeftIndent, Integer ARightIndent) {
  return cxTextOut(ACanvas->GetCanvas(), AText, R, AFormat, ASelStart, ASelLength, ASelBkColor, ASelTextColor,
                   AMaxLineCount, ALeftIndent, ARightIndent);
}

Integer cxTextOut(HDC ADC, const AnsiString& AText, TRect& R, Cardinal AFormat, Integer AMaxLineCount,
                  Integer ALeftIndent, Integer ARightIndent) {
  return cxTextOut(ADC, AText, R, AFormat, 0, 0, TColor(GetTextColor(ADC)), 0, AMaxLineCount, ALeftIndent,
                   ARightIndent);
}

Integer cxTextOut(TCanvas* ACanvas, const AnsiString& AText, TRect& R, Cardinal AFormat, Integer AMaxLineCount,
                  Integer ALeftIndent, Integer ARightIndent) {
  return cxTextOut(ACanvas, AText, R, AFormat, 0, 0, ACanvas->GetFont()->GetColor(), 0, AMaxLineCount,
                   ALeftIndent, ARightIndent);
}

Integer cxTextOut(TcxCanvas* ACanvas, const AnsiString& AText, TRect& R, Cardinal AFormat, Integer AMaxLineCount,
                  Integer ALeftIndent, Integer ARightIndent) {
  return cxTextOut(ACanvas->GetCanvas(), AText, R, AFormat, AMaxLineCount, ALeftIndent, ARightIndent);
}
