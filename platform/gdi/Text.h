// Text: metrics, output and formatted drawing with the DC's font.
//
// Strings are code page 1252 bytes; each byte is one character, mapped to
// its Unicode code point for the glyph lookup. Every character advances a
// whole number of pixels, so an extent is the sum of its characters'
// widths, and fit counts, caret positions and drawn text agree.
#pragma once

#include "platform/gdi/Fonts.h"

namespace win {

// ---- Metrics ----
constexpr BYTE TMPF_FIXED_PITCH = 0x01;  // set for VARIABLE pitch, as the platform names it
constexpr BYTE TMPF_VECTOR = 0x02;
constexpr BYTE TMPF_TRUETYPE = 0x04;
constexpr BYTE TMPF_DEVICE = 0x08;

struct TEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};
using TEXTMETRIC = TEXTMETRICA;

struct ABC {
  int abcA;
  UINT abcB;
  int abcC;
};

BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* tm);
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR str, int count, SIZE* size);
BOOL GetTextExtentPointA(HDC hdc, LPCSTR str, int count, SIZE* size);
// How many characters fit in maxExtent (when fit is non-null) and the
// extent of each prefix (when dx is non-null: dx[i] = width of the first
// i + 1 characters, filled for every character). size is the whole string.
BOOL GetTextExtentExPointA(HDC hdc, LPCSTR str, int count, int maxExtent, int* fit, int* dx, SIZE* size);
// Width (low word) and height (high word) with tabs expanded to the stops
// given, or every 8 average character widths without any.
DWORD GetTabbedTextExtentA(HDC hdc, LPCSTR str, int count, int tabCount, const int* tabStops);
BOOL GetCharWidth32A(HDC hdc, UINT first, UINT last, int* widths);
BOOL GetCharWidthA(HDC hdc, UINT first, UINT last, int* widths);
BOOL GetCharABCWidthsA(HDC hdc, UINT first, UINT last, ABC* abc);

// ---- Output ----
constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;
constexpr UINT ETO_RTLREADING = 0x0080;

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR str, int count);
BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR str, UINT count, const int* dx);
// Answers the width (low word) and height (high word) drawn.
LONG TabbedTextOutA(HDC hdc, int x, int y, LPCSTR str, int count, int tabCount, const int* tabStops, int tabOrigin);
// Spreads `extra` pixels over the next `breaks` break characters of each
// output until reset with 0.
BOOL SetTextJustification(HDC hdc, int extra, int breaks);
int SetTextCharacterExtra(HDC hdc, int extra);
int GetTextCharacterExtra(HDC hdc);

// ---- Formatted text ----
constexpr UINT DT_TOP = 0x00000000;
constexpr UINT DT_LEFT = 0x00000000;
constexpr UINT DT_CENTER = 0x00000001;
constexpr UINT DT_RIGHT = 0x00000002;
constexpr UINT DT_VCENTER = 0x00000004;
constexpr UINT DT_BOTTOM = 0x00000008;
constexpr UINT DT_WORDBREAK = 0x00000010;
constexpr UINT DT_SINGLELINE = 0x00000020;
constexpr UINT DT_EXPANDTABS = 0x00000040;
constexpr UINT DT_TABSTOP = 0x00000080;
constexpr UINT DT_NOCLIP = 0x00000100;
constexpr UINT DT_EXTERNALLEADING = 0x00000200;
constexpr UINT DT_CALCRECT = 0x00000400;
constexpr UINT DT_NOPREFIX = 0x00000800;
constexpr UINT DT_INTERNAL = 0x00001000;
constexpr UINT DT_EDITCONTROL = 0x00002000;
constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
constexpr UINT DT_END_ELLIPSIS = 0x00008000;
constexpr UINT DT_MODIFYSTRING = 0x00010000;
constexpr UINT DT_RTLREADING = 0x00020000;
constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;
constexpr UINT DT_NOFULLWIDTHCHARBREAK = 0x00080000;
constexpr UINT DT_HIDEPREFIX = 0x00100000;
constexpr UINT DT_PREFIXONLY = 0x00200000;

struct DRAWTEXTPARAMS {
  UINT cbSize;
  int iTabLength;    // in average character widths
  int iLeftMargin;   // pixels
  int iRightMargin;  // pixels
  UINT uiLengthDrawn;
};

// Draws (or with DT_CALCRECT measures) text in a rectangle. count -1 means
// up to the terminating zero. Answers the height of the text (with
// DT_VCENTER or DT_BOTTOM, from the rectangle's top to the text's bottom),
// or 0 on failure. DT_MODIFYSTRING writes the shortened text back only
// when it fits in the characters given.
int DrawTextA(HDC hdc, LPCSTR text, int count, RECT* rect, UINT format);
int DrawTextExA(HDC hdc, LPSTR text, int count, RECT* rect, UINT format, DRAWTEXTPARAMS* params);

}  // namespace win
