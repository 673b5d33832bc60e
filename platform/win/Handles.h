// Handles and plain structures of the window API. Rectangles, points and
// sizes are the run-time library's own types, as the drawing tier has them,
// so both tiers pass them through without copying. Handle declarations may
// repeat in other tiers' headers: a repeated alias of the same type is legal.
#pragma once

#include "platform/rtl/Types.h"
#include "platform/rtl/WinTypes.h"

namespace win {

ORV_DECLARE_HANDLE(HWND)
ORV_DECLARE_HANDLE(HHOOK)
ORV_DECLARE_HANDLE(HMENU)
ORV_DECLARE_HANDLE(HDC)
ORV_DECLARE_HANDLE(HRGN)
ORV_DECLARE_HANDLE(HBRUSH)
ORV_DECLARE_HANDLE(HICON)
using HCURSOR = HICON;

using RECT = TRect;
using POINT = TPoint;
using SIZE = TSize;
using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using HOOKPROC = LRESULT (*)(int, WPARAM, LPARAM);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt{};
};
using LPMSG = MSG*;

constexpr WORD LOWORD(DWORD_PTR v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(DWORD_PTR v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int lo, int hi) {
  return static_cast<LPARAM>(static_cast<DWORD>((static_cast<DWORD>(lo) & 0xFFFF) | ((static_cast<DWORD>(hi) & 0xFFFF) << 16)));
}
constexpr WPARAM MAKEWPARAM(int lo, int hi) { return static_cast<WPARAM>(static_cast<DWORD>(MAKELPARAM(lo, hi))); }
constexpr LRESULT MAKELRESULT(int lo, int hi) { return MAKELPARAM(lo, hi); }
// Signed coordinates packed in an LPARAM (points left of or above a window
// are negative).
constexpr int GET_X_LPARAM(LPARAM l) { return static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(l))); }
constexpr int GET_Y_LPARAM(LPARAM l) { return static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(l))); }
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM w) { return static_cast<SHORT>(HIWORD(w)); }
constexpr WORD GET_KEYSTATE_WPARAM(WPARAM w) { return LOWORD(w); }

constexpr DWORD ERROR_INVALID_INDEX = 1413;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
constexpr DWORD ERROR_CLASS_HAS_WINDOWS = 1412;
constexpr DWORD ERROR_TLW_WITH_WSCHILD = 1406;
constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_INVALID_HOOK_HANDLE = 1404;
constexpr DWORD ERROR_INVALID_HOOK_FILTER = 1426;
constexpr DWORD ERROR_INVALID_FILTER_PROC = 1427;
constexpr DWORD ERROR_NO_SYSTEM_RESOURCES = 1450;
constexpr DWORD ERROR_NO_MORE_USER_HANDLES = 1158;
constexpr DWORD ERROR_INVALID_MESSAGE = 1002;

}  // namespace win
