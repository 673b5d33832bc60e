// The rich edit: the multi-line edit engine with runs of character formats
// over its text (colour, bold, italic, underline, strike-out, face and
// size). Its classes exist once a rich-edit module is loaded: "Msftedit"
// registers "RICHEDIT50A" and "RICHEDIT50", "Riched20" "RICHEDIT20A" and
// "RICHEDIT20". The window is always multi-line. Runs are set through
// EM_SETCHARFORMAT and read through EM_GETCHARFORMAT; text, selection,
// lines and scrolling answer as in the memo.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/Fonts.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/win/Handles.h"

namespace win {

struct CHARRANGE {
  LONG cpMin;
  LONG cpMax;
};

struct CHARFORMATA {
  UINT cbSize;
  DWORD dwMask;
  DWORD dwEffects;
  LONG yHeight;  // twips
  LONG yOffset;
  COLORREF crTextColor;
  BYTE bCharSet;
  BYTE bPitchAndFamily;
  char szFaceName[LF_FACESIZE];
};
using CHARFORMAT = CHARFORMATA;

struct GETTEXTLENGTHEX {
  DWORD flags;
  UINT codepage;
};

constexpr DWORD CFM_BOLD = 0x00000001;
constexpr DWORD CFM_ITALIC = 0x00000002;
constexpr DWORD CFM_UNDERLINE = 0x00000004;
constexpr DWORD CFM_STRIKEOUT = 0x00000008;
constexpr DWORD CFM_SIZE = 0x80000000;
constexpr DWORD CFM_COLOR = 0x40000000;
constexpr DWORD CFM_FACE = 0x20000000;
constexpr DWORD CFE_BOLD = 0x00000001;
constexpr DWORD CFE_ITALIC = 0x00000002;
constexpr DWORD CFE_UNDERLINE = 0x00000004;
constexpr DWORD CFE_STRIKEOUT = 0x00000008;
constexpr DWORD CFE_AUTOCOLOR = 0x40000000;

constexpr WPARAM SCF_DEFAULT = 0x0000;
constexpr WPARAM SCF_SELECTION = 0x0001;
constexpr WPARAM SCF_ALL = 0x0004;

constexpr DWORD GTL_DEFAULT = 0;
constexpr DWORD GTL_USECRLF = 1;

// Lets the rich-edit modules register their classes when they are loaded;
// called when the controls tier starts.
void RegisterRichEditModules();

namespace detail {
LRESULT RichEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// One run of equally formatted characters, as data.
struct RichRun {
  std::string text;
  bool autoColor = true;
  COLORREF color = 0;
  DWORD effects = 0;  // CFE_BOLD, CFE_ITALIC, CFE_UNDERLINE, CFE_STRIKEOUT
  std::string face;
  LONG height = 0;  // twips
};
// The runs of a rich edit, in order; empty for any other window.
std::vector<RichRun> RichRunsOf(HWND hwnd);
}  // namespace detail

}  // namespace win
