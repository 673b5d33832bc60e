// The "STATIC" window class: a label that draws its window text with
// DrawText as its SS_ style says (alignment, wrapping, prefixes, ellipses,
// vertical centring of one line), a bitmap set with STM_SETIMAGE (the
// control takes its size unless SS_CENTERIMAGE centres it or
// SS_REALSIZECONTROL stretches it), or a decoration (filled rectangles,
// frames, etched lines). The parent chooses the label's colours and
// background brush through WM_CTLCOLORSTATIC. Clicks pass through to the
// parent unless SS_NOTIFY asks for STN_* notifications.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/win/Handles.h"

namespace win {

constexpr DWORD SS_LEFT = 0x00000000;
constexpr DWORD SS_CENTER = 0x00000001;
constexpr DWORD SS_RIGHT = 0x00000002;
constexpr DWORD SS_ICON = 0x00000003;
constexpr DWORD SS_BLACKRECT = 0x00000004;
constexpr DWORD SS_GRAYRECT = 0x00000005;
constexpr DWORD SS_WHITERECT = 0x00000006;
constexpr DWORD SS_BLACKFRAME = 0x00000007;
constexpr DWORD SS_GRAYFRAME = 0x00000008;
constexpr DWORD SS_WHITEFRAME = 0x00000009;
constexpr DWORD SS_USERITEM = 0x0000000A;
constexpr DWORD SS_SIMPLE = 0x0000000B;
constexpr DWORD SS_LEFTNOWORDWRAP = 0x0000000C;
constexpr DWORD SS_OWNERDRAW = 0x0000000D;
constexpr DWORD SS_BITMAP = 0x0000000E;
constexpr DWORD SS_ENHMETAFILE = 0x0000000F;
constexpr DWORD SS_ETCHEDHORZ = 0x00000010;
constexpr DWORD SS_ETCHEDVERT = 0x00000011;
constexpr DWORD SS_ETCHEDFRAME = 0x00000012;
constexpr DWORD SS_TYPEMASK = 0x0000001F;
constexpr DWORD SS_REALSIZECONTROL = 0x00000040;
constexpr DWORD SS_NOPREFIX = 0x00000080;
constexpr DWORD SS_NOTIFY = 0x00000100;
constexpr DWORD SS_CENTERIMAGE = 0x00000200;
constexpr DWORD SS_SUNKEN = 0x00001000;
constexpr DWORD SS_EDITCONTROL = 0x00002000;
constexpr DWORD SS_ENDELLIPSIS = 0x00004000;
constexpr DWORD SS_PATHELLIPSIS = 0x00008000;
constexpr DWORD SS_WORDELLIPSIS = 0x0000C000;
constexpr DWORD SS_ELLIPSISMASK = 0x0000C000;

namespace detail {
// Window extra bytes of the class: the font set with WM_SETFONT and the
// bitmap set with STM_SETIMAGE.
constexpr int kStaticExtraBytes = sizeof(HFONT) + sizeof(HBITMAP);
LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
}  // namespace detail

}  // namespace win
