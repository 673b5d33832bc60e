// The window tree: creation and destruction, relations, visibility and
// enabled state, window longs and text. Windows live in one tree under the
// desktop window; a top-level window is a child of the desktop and may have
// an owner, which it stays above and hides with.
#pragma once

#include "platform/win/WindowStyles.h"

namespace win {

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
inline HWND CreateWindowA(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
                          HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  return CreateWindowExA(0, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);

HWND GetDesktopWindow();
HWND GetParent(HWND hwnd);             // the parent of a child, the owner of a popup, else null
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetTopWindow(HWND hwnd);          // the front child (of the desktop for 0)
HWND SetParent(HWND child, HWND newParent);
BOOL IsChild(HWND parent, HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsWindowEnabled(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
// Answers whether the window was disabled before.
BOOL EnableWindow(HWND hwnd, BOOL enable);

LONG GetWindowLongA(HWND hwnd, int index);
LONG SetWindowLongA(HWND hwnd, int index, LONG value);
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);

int GetWindowTextA(HWND hwnd, LPSTR buffer, int maxCount);
BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
int GetWindowTextLengthA(HWND hwnd);

BOOL EnumWindows(WNDENUMPROC proc, LPARAM param);
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM param);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param);

// Every window belongs to the one GUI thread of the process.
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);

inline LONG GetWindowLong(HWND h, int i) { return GetWindowLongA(h, i); }
inline LONG SetWindowLong(HWND h, int i, LONG v) { return SetWindowLongA(h, i, v); }
inline LONG_PTR GetWindowLongPtr(HWND h, int i) { return GetWindowLongPtrA(h, i); }
inline LONG_PTR SetWindowLongPtr(HWND h, int i, LONG_PTR v) { return SetWindowLongPtrA(h, i, v); }
inline int GetWindowText(HWND h, LPSTR b, int n) { return GetWindowTextA(h, b, n); }
inline BOOL SetWindowText(HWND h, LPCSTR t) { return SetWindowTextA(h, t); }
inline int GetWindowTextLength(HWND h) { return GetWindowTextLengthA(h); }

}  // namespace win
