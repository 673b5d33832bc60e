// The rich edit: the multi-line edit engine with runs of character formats
// (colour, bold, italic, underline, strike-out, protection, face, size)
// and paragraphs with their own format (alignment, indents, bullet, tab
// stops) over its text. Its classes exist once a rich-edit module is
// loaded: "Msftedit" registers "RICHEDIT50A" and "RICHEDIT50", "Riched20"
// "RICHEDIT20A" and "RICHEDIT20". The window is always multi-line; text,
// selection, lines and scrolling answer as in the memo. On top of that it
// streams its content in and out as plain or rich text, formats it onto
// any device context page by page, finds text, keeps an undo history with
// redo, and tells its parent what the event mask asks for through
// WM_NOTIFY. docs/platform-controls.md lists the answers.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/Fonts.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/win/Handles.h"
#include "platform/win/OwnerDraw.h"

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

constexpr DWORD CFM_BOLD = 0x00000001;
constexpr DWORD CFM_ITALIC = 0x00000002;
constexpr DWORD CFM_UNDERLINE = 0x00000004;
constexpr DWORD CFM_STRIKEOUT = 0x00000008;
constexpr DWORD CFM_PROTECTED = 0x00000010;
constexpr DWORD CFM_SIZE = 0x80000000;
constexpr DWORD CFM_COLOR = 0x40000000;
constexpr DWORD CFM_FACE = 0x20000000;
constexpr DWORD CFE_BOLD = 0x00000001;
constexpr DWORD CFE_ITALIC = 0x00000002;
constexpr DWORD CFE_UNDERLINE = 0x00000004;
constexpr DWORD CFE_STRIKEOUT = 0x00000008;
constexpr DWORD CFE_PROTECTED = 0x00000010;
constexpr DWORD CFE_AUTOCOLOR = 0x40000000;

constexpr WPARAM SCF_DEFAULT = 0x0000;
constexpr WPARAM SCF_SELECTION = 0x0001;
constexpr WPARAM SCF_ALL = 0x0004;

// Window styles of the rich edit. ES_SELECTIONBAR shares its bit with
// WS_MAXIMIZE, ES_DISABLENOSCROLL with ES_NUMBER.
constexpr DWORD ES_SELECTIONBAR = 0x01000000;
constexpr DWORD ES_DISABLENOSCROLL = 0x00002000;
// The width of the selection bar, in pixels.
constexpr int kSelectionBarWidth = 8;

// Text modes (EM_SETTEXTMODE, EM_GETTEXTMODE): one of each pair.
constexpr DWORD TM_PLAINTEXT = 0x01;
constexpr DWORD TM_RICHTEXT = 0x02;
constexpr DWORD TM_SINGLELEVELUNDO = 0x04;
constexpr DWORD TM_MULTILEVELUNDO = 0x08;
constexpr DWORD TM_SINGLECODEPAGE = 0x10;
constexpr DWORD TM_MULTICODEPAGE = 0x20;

struct GETTEXTEX {
  DWORD cb;     // bytes of the buffer, the terminating NUL included
  DWORD flags;  // GT_*
  UINT codepage;  // 0 or 1252 for bytes, 1200 for UTF-16
  LPCSTR lpDefaultChar;
  BOOL* lpUsedDefChar;
};
constexpr DWORD GT_DEFAULT = 0;
constexpr DWORD GT_USECRLF = 1;
constexpr DWORD GT_SELECTION = 2;

struct GETTEXTLENGTHEX {
  DWORD flags;  // GTL_*
  UINT codepage;
};
constexpr DWORD GTL_DEFAULT = 0;
constexpr DWORD GTL_USECRLF = 1;
constexpr DWORD GTL_PRECISE = 2;
constexpr DWORD GTL_CLOSE = 4;
constexpr DWORD GTL_NUMCHARS = 8;
constexpr DWORD GTL_NUMBYTES = 16;
constexpr UINT CP_UTF16 = 1200;

// Paragraph format. Indents and tab stops are in twips; dxStartIndent is
// where the first line starts, dxOffset where the others start relative
// to it.
constexpr int MAX_TAB_STOPS = 32;
struct PARAFORMAT {
  UINT cbSize;
  DWORD dwMask;
  WORD wNumbering;
  WORD wReserved;
  LONG dxStartIndent;
  LONG dxRightIndent;
  LONG dxOffset;
  WORD wAlignment;
  SHORT cTabCount;
  LONG rgxTabs[MAX_TAB_STOPS];
};
constexpr DWORD PFM_STARTINDENT = 0x00000001;
constexpr DWORD PFM_RIGHTINDENT = 0x00000002;
constexpr DWORD PFM_OFFSET = 0x00000004;
constexpr DWORD PFM_ALIGNMENT = 0x00000008;
constexpr DWORD PFM_TABSTOPS = 0x00000010;
constexpr DWORD PFM_NUMBERING = 0x00000020;
constexpr DWORD PFM_OFFSETINDENT = 0x80000000;  // dxStartIndent moves the indent by that much
constexpr WORD PFN_BULLET = 1;
constexpr WORD PFA_LEFT = 1;
constexpr WORD PFA_RIGHT = 2;
constexpr WORD PFA_CENTER = 3;
constexpr WORD PFA_JUSTIFY = 4;

// Streaming. The callback moves up to cb bytes and reports how many in
// *pcb; any answer but 0 is an error, which ends the stream and lands in
// dwError.
using EDITSTREAMCALLBACK = DWORD (*)(DWORD_PTR dwCookie, BYTE* pbBuff, LONG cb, LONG* pcb);
struct EDITSTREAM {
  DWORD_PTR dwCookie;
  DWORD dwError;
  EDITSTREAMCALLBACK pfnCallback;
};
constexpr WPARAM SF_TEXT = 0x0001;
constexpr WPARAM SF_RTF = 0x0002;
constexpr WPARAM SFF_SELECTION = 0x8000;
// dwError when the data is not what the format says (rich text that does
// not start with "{\rtf", nesting too deep, a control word too long) or
// the callback reported more bytes than it was given room for.
constexpr DWORD kStreamBadData = 0x0000000D;

// EM_FORMATRANGE: formats chrg onto hdc within rc (twips), measured for
// hdcTarget; the page is rcPage. On return rc.Bottom is where the text
// formatted ends.
struct FORMATRANGE {
  HDC hdc;
  HDC hdcTarget;
  RECT rc;
  RECT rcPage;
  CHARRANGE chrg;
};

struct FINDTEXTEXA {
  CHARRANGE chrg;
  LPCSTR lpstrText;
  CHARRANGE chrgText;  // what was found
};
using FINDTEXTEX = FINDTEXTEXA;
constexpr WPARAM FR_DOWN = 0x00000001;
constexpr WPARAM FR_WHOLEWORD = 0x00000002;
constexpr WPARAM FR_MATCHCASE = 0x00000004;

// The event mask: which notifications the parent hears.
constexpr DWORD ENM_NONE = 0x00000000;
constexpr DWORD ENM_CHANGE = 0x00000001;   // EN_CHANGE through WM_COMMAND
constexpr DWORD ENM_SCROLL = 0x00000004;   // EN_HSCROLL, EN_VSCROLL through WM_COMMAND
constexpr DWORD ENM_KEYEVENTS = 0x00010000;  // EN_MSGFILTER for keyboard messages
constexpr DWORD ENM_REQUESTRESIZE = 0x00040000;
constexpr DWORD ENM_SELCHANGE = 0x00080000;
constexpr DWORD ENM_PROTECTED = 0x00200000;

// WM_NOTIFY structures.
struct MSGFILTER {
  NMHDR nmhdr;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};
struct REQRESIZE {
  NMHDR nmhdr;
  RECT rc;
};
constexpr WORD SEL_EMPTY = 0x0000;
constexpr WORD SEL_TEXT = 0x0001;
constexpr WORD SEL_MULTICHAR = 0x0004;
struct SELCHANGE {
  NMHDR nmhdr;
  CHARRANGE chrg;
  WORD seltyp;
};
struct ENPROTECTED {
  NMHDR nmhdr;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  CHARRANGE chrg;
};
struct ENSAVECLIPBOARD {
  NMHDR nmhdr;
  LONG cObjects;
  LONG cch;
};

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
  DWORD effects = 0;  // CFE_BOLD, CFE_ITALIC, CFE_UNDERLINE, CFE_STRIKEOUT, CFE_PROTECTED
  std::string face;
  LONG height = 0;  // twips
};
// The runs of a rich edit, in order; empty for any other window.
std::vector<RichRun> RichRunsOf(HWND hwnd);
}  // namespace detail

}  // namespace win
