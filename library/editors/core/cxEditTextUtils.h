// The editors' text layout: multi-line text in a rectangle on a device
// context, with word and character wrapping, horizontal alignment (justified
// and distributed text included), vertical alignment (distributed rows
// included), an end ellipsis, tab expansion, a highlighted selection and a
// measuring mode. Editors and grid cells draw all their text through
// cxTextOut, so it lays out in time linear in the text's length.
//
// The work is split into steps callers can run on their own and keep the
// results of: parameters from the font (cxCalcTextParams), rows
// (cxMakeTextRows), positions (cxPlaceTextRows) and drawing
// (cxTextRowsOutHighlight).
#pragma once

#include <vector>

#include "library/foundation/cxGraphics.h"
#include "platform/forms/Canvas.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/TypeInfo.h"

ORV_ENUM(TcxTextAlignX, taLeft, taCenterX, taRight, taJustifyX, taDistributeX)
ORV_ENUM(TcxTextAlignY, taTop, taCenterY, taBottom, taDistributeY)

// The format word: AlignX in bits 0-2, AlignY in bits 4-5, and these options.
constexpr Cardinal cxtfKeepLeft = 64;           // a row never starts left of the rectangle
constexpr Cardinal cxtfKeepTop = 128;           // the first row never starts above it
constexpr Cardinal cxtfWordBreak = 256;         // rows wrap at word ends
constexpr Cardinal cxtfSingleLine = 512;        // one row; line breaks are ordinary characters
constexpr Cardinal cxtfExpandTabs = 1024;       // tabs advance to the next stop
constexpr Cardinal cxtfEndEllipsis = 2048;      // "..." ends a cut last row
constexpr Cardinal cxtfExternalLeading = 8192;  // rows are the font's external leading apart
constexpr Cardinal cxtfWholeRows = 16384;       // only rows that fit whole follow the first
constexpr Cardinal cxtfNoClip = 32768;          // nothing is clipped to the rectangle
constexpr Cardinal cxtfCharBreak = 131072;      // wrapping may break inside a word
constexpr Cardinal cxtfCalcRect = 1048576;      // measure: the rectangle is adjusted, nothing drawn
constexpr Cardinal cxtfReturnRowCount = 2097152;  // cxTextOut answers the row count

constexpr Cardinal cxMakeFormat(TcxTextAlignX AAlignX, TcxTextAlignY AAlignY) {
  return Cardinal(AAlignX) + Cardinal(AAlignY) * 16;
}

// What the layout needs to know of the font and the format word.
struct TcxTextParams {
  Integer TextHeight = 0;
  Integer ExternalLeading = 0;  // 0 unless cxtfExternalLeading
  Integer RowHeight = 0;        // TextHeight + ExternalLeading; distributed rows widen it
  Integer EllipsisWidth = 0;    // of "..." with cxtfEndEllipsis, else 0
  char BreakChar = ' ';
  TcxTextAlignX AlignX = taLeft;
  TcxTextAlignY AlignY = taTop;
  bool WordBreak = false;
  bool SingleLine = false;
  bool ExpandTabs = false;
  bool EndEllipsis = false;
  bool ExternalLeadingFlag = false;
  bool WholeRows = false;
  bool NoClip = false;
  bool KeepLeft = false;
  bool KeepTop = false;
  bool CharBreak = false;
  bool ReturnRowCount = false;
  bool CalcRect = false;
  Integer MaxCharWidth = 0;
  Byte CharSet = 0;
};

// One row: a stretch of the text it was made from (Text points into it).
struct TcxTextRow {
  const char* Text = nullptr;
  Integer TextLength = 0;
  Integer Width = 0;
  Integer Height = 0;
  Integer BreakCount = 0;  // break characters that justification may widen
  Integer Left = 0;
  Integer Top = 0;
  Integer StartIndex = 0;  // of the row's first character in the whole text
};
using TcxTextRows = std::vector<TcxTextRow>;

TcxTextParams cxCalcTextParams(win::HDC ADC, Cardinal AFormat);
// Makes the canvas's handle, font and brush ready first.
TcxTextParams cxCalcTextParams(TCanvas* ACanvas, Cardinal AFormat);

// The extent of the first ATextLength characters, with tabs at every eight
// average character widths when AExpandTabs.
void cxCalcTextExtents(win::HDC ADC, const char* AText, Integer ATextLength, TSize& ASize, bool AExpandTabs);
// Fills the row's Width and Height.
void cxCalcTextRowExtents(win::HDC ADC, TcxTextRow& ARow, const TcxTextParams& ATextParams);

// Breaks AText into rows that fit R. The rows point into AText, which must
// outlive them. Answers false only when the rows stopped at AMaxLineCount
// with text left over.
bool cxMakeTextRows(win::HDC ADC, const AnsiString& AText, const TRect& R, const TcxTextParams& ATextParams,
                    TcxTextRows& ATextRows, Integer& ARowCount, Integer AMaxLineCount = 0);
bool cxMakeTextRows(TCanvas* ACanvas, const AnsiString& AText, const TRect& R, const TcxTextParams& ATextParams,
                    TcxTextRows& ATextRows, Integer& ARowCount, Integer AMaxLineCount = 0);
// Rows of a temporary text would point into freed memory.
bool cxMakeTextRows(win::HDC, AnsiString&&, const TRect&, const TcxTextParams&, TcxTextRows&, Integer&,
                    Integer = 0) = delete;
bool cxMakeTextRows(TCanvas*, AnsiString&&, const TRect&, const TcxTextParams&, TcxTextRows&, Integer&,
                    Integer = 0) = delete;

// Sets every row's Left and Top in R; distributed rows change RowHeight.
void cxPlaceTextRows(win::HDC ADC, const TRect& R, TcxTextParams& ATextParams, TcxTextRows& ATextRows,
                     Integer ARowCount);

// Draws the first ARowCount rows with the characters [ASelStart, ASelStart +
// ASelLength) of the whole text highlighted in the selection colours.
void cxTextRowsOutHighlight(win::HDC ADC, const TRect& R, const TcxTextParams& ATextParams,
                            const TcxTextRows& ATextRows, Integer ARowCount, Integer ASelStart, Integer ASelLength,
                            TColor ASelBkColor, TColor ASelTextColor, bool AForceEndEllipsis);

// The widest of the first ARowCount rows; 0 when there are none.
Integer cxGetLongestTextRowWidth(const TcxTextRows& ATextRows, Integer ARowCount);

// R narrowed by the indents.
TRect cxPrepareRect(const TRect& R, const TcxTextParams& ATextParams, Integer ALeftIndent, Integer ARightIndent);

// Lays out and draws AText in R, or with cxtfCalcRect sets R to the
// rectangle the text needs. Answers the text's height, or the row count
// with cxtfReturnRowCount; 0 for an empty text. AMaxLineCount > 0 limits the
// rows. The indents narrow R for the layout only.
Integer cxTextOut(win::HDC ADC, const AnsiString& AText, TRect& R, Cardinal AFormat, Integer ASelStart,
                  Integer ASelLength, TColor ASelBkColor, TColor ASelTextColor, Integer AMaxLineCount = 0,
                  Integer ALeftIndent = 0, Integer ARightIndent = 0);
Integer cxTextOut(TCanvas* ACanvas, const AnsiString& AText, TRect& R, Cardinal AFormat, Integer ASelStart,
                  Integer ASelLength, TColor ASelBkColor, TColor ASelTextColor, Integer AMaxLineCount = 0,
                  Integer ALeftIndent = 0, Integer ARightIndent = 0);
Integer cxTextOut(TcxCanvas* ACanvas, const AnsiString& AText, TRect& R, Cardinal AFormat, Integer ASelStart,
                  Integer ASelLength, TColor ASelBkColor, TColor ASelTextColor, Integer AMaxLineCount = 0,
                  Integer ALeftIndent = 0, Integer ARightIndent = 0);
// Without a selection.
Integer cxTextOut(win::HDC ADC, const AnsiString& AText, TRect& R, Cardinal AFormat, Integer AMaxLineCount = 0,
                  Integer ALeftIndent = 0, Integer ARightIndent = 0);
Integer cxTextOut(TCanvas* ACanvas, const AnsiString& AText, TRect& R, Cardinal AFormat, Integer AMaxLineCount = 0,
                  Integer ALeftIndent = 0, Integer ARightIndent = 0);
Integer cxTextOut(TcxCanvas* ACanvas, const AnsiString& AText, TRect& R, Cardinal AFormat, Integer AMaxLineCount = 0,
                  Integer ALeftIndent = 0, Integer ARightIndent = 0);
