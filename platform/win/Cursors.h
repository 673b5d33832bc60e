// Cursors: the standard shapes, cursors loaded from embedded resources or
// made from masks, the current cursor and its visibility count.
//
// A cursor is two monochrome masks and a hot spot. Per pixel the AND bit
// and the XOR bit give: 0/0 black, 0/1 white, 1/0 transparent, 1/1 the
// screen inverted. The standard cursors are shared: their handle is their
// id (IDC_ARROW is the handle of the arrow), so DefWindowProc and the class
// cursors agree without loading anything. Cursors drawn in resources use a
// small text format of our own (ParseCursorText).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gdi/GdiTypes.h"
#include "platform/win/Handles.h"

namespace win {

inline LPCSTR MakeIntCursorId(int id) { return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(id)); }

inline const LPCSTR IDC_ARROW = MakeIntCursorId(32512);
inline const LPCSTR IDC_IBEAM = MakeIntCursorId(32513);
inline const LPCSTR IDC_WAIT = MakeIntCursorId(32514);
inline const LPCSTR IDC_CROSS = MakeIntCursorId(32515);
inline const LPCSTR IDC_UPARROW = MakeIntCursorId(32516);
inline const LPCSTR IDC_SIZENWSE = MakeIntCursorId(32642);
inline const LPCSTR IDC_SIZENESW = MakeIntCursorId(32643);
inline const LPCSTR IDC_SIZEWE = MakeIntCursorId(32644);
inline const LPCSTR IDC_SIZENS = MakeIntCursorId(32645);
inline const LPCSTR IDC_SIZEALL = MakeIntCursorId(32646);
inline const LPCSTR IDC_NO = MakeIntCursorId(32648);
inline const LPCSTR IDC_HAND = MakeIntCursorId(32649);
inline const LPCSTR IDC_APPSTARTING = MakeIntCursorId(32650);
inline const LPCSTR IDC_HELP = MakeIntCursorId(32651);

constexpr DWORD ERROR_INVALID_CURSOR_HANDLE = 1402;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;

struct ICONINFO {
  BOOL fIcon;
  DWORD xHotspot;
  DWORD yHotspot;
  HBITMAP hbmMask;   // monochrome, twice as high as the cursor: AND mask above, XOR mask below
  HBITMAP hbmColor;  // null for monochrome cursors
};
using PICONINFO = ICONINFO*;

// instance 0 with an IDC_x id: the shared standard cursor. Otherwise the
// cursor resource of that name or id (MAKEINTRESOURCE); loading the same
// resource again answers the same shared handle.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
inline HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name) { return LoadCursorA(instance, name); }
// Masks are monochrome rows padded to 16 bits, most significant bit first.
HCURSOR CreateCursor(HINSTANCE instance, int xHotSpot, int yHotSpot, int width, int height, const void* andPlane,
                     const void* xorPlane);
// Shared cursors are never destroyed (answers TRUE and keeps them).
// Destroying the current cursor makes the arrow current.
BOOL DestroyCursor(HCURSOR cursor);
// Makes a cursor current (null: no cursor) and answers the previous one.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// Counts up and down; the cursor shows while the count is 0 or more.
int ShowCursor(BOOL show);
// The caller deletes the bitmaps it receives.
BOOL GetIconInfo(HICON icon, PICONINFO info);

// A cursor's pixels, for back ends that build a native shape.
struct CursorImage {
  int width = 0;
  int height = 0;
  POINT hotSpot{};
  std::vector<std::uint8_t> andMask;  // one byte a pixel, rows top down: 1 = AND bit set
  std::vector<std::uint8_t> xorMask;  // likewise for the XOR bit
};
bool GetCursorImage(HCURSOR cursor, CursorImage& image);

// The text form of a cursor drawing:
//   hotspot <x> <y>
//   size <width> <height>        (optional: 32 x 32)
//   then one line per row: '.' transparent, '#' black, 'o' white,
//   '~' inverted; short rows and missing rows are transparent (a clear
//   row between others is written "."). Empty lines and lines starting
//   with ';' are skipped. Throws EParserError on bad input.
CursorImage ParseCursorText(std::string_view text);

namespace detail {
void ResetCursors();
}  // namespace detail

}  // namespace win
