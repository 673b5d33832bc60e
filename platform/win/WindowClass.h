// Window classes: a name (compared without case) or atom bound to a
// procedure, class styles, extra bytes, cursor and background brush.
#pragma once

#include "platform/win/WindowStyles.h"

namespace win {

struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;  // a brush, or COLOR_x + 1
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
};

struct WNDCLASSEXA {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
  HICON hIconSm;
};

// A class name given as an atom rather than text.
inline LPCSTR MAKEINTATOM(ATOM atom) { return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(atom)); }

ATOM RegisterClassA(const WNDCLASSA* wc);
// Adds a class the system provides from now on, in this and every later
// session, under a fixed atom: how the native controls of the tiers above
// the window system join "STATIC" and "SCROLLBAR". name must outlive the
// process (a literal); cursor is a stock cursor id (null: the arrow).
// Adding the same class again succeeds; a name the system already
// provides otherwise fails.
BOOL RegisterSystemClass(LPCSTR name, ATOM atom, UINT style, WNDPROC proc, int cbWndExtra, LPCSTR cursor = nullptr);
ATOM RegisterClassExA(const WNDCLASSEXA* wc);
// Fails while windows of the class exist.
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* wc);
BOOL GetClassInfoExA(HINSTANCE instance, LPCSTR className, WNDCLASSEXA* wc);
// Copies the class name of a window; answers the length copied.
int GetClassNameA(HWND hwnd, LPSTR buffer, int maxCount);
LONG_PTR GetClassLongPtrA(HWND hwnd, int index);

inline ATOM RegisterClass(const WNDCLASSA* wc) { return RegisterClassA(wc); }
inline BOOL UnregisterClass(LPCSTR name, HINSTANCE inst) { return UnregisterClassA(name, inst); }
inline BOOL GetClassInfo(HINSTANCE inst, LPCSTR name, WNDCLASSA* wc) { return GetClassInfoA(inst, name, wc); }
inline int GetClassName(HWND hwnd, LPSTR buffer, int maxCount) { return GetClassNameA(hwnd, buffer, maxCount); }

}  // namespace win
