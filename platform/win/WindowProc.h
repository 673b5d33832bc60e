// The default window procedure and calling a procedure directly.
#pragma once

#include "platform/win/Handles.h"

namespace win {

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Calls a procedure as it is, without hooks: how a subclassing procedure
// hands a message on to the one it replaced.
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

inline LRESULT DefWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
inline LRESULT CallWindowProc(WNDPROC p, HWND h, UINT m, WPARAM w, LPARAM l) { return CallWindowProcA(p, h, m, w, l); }

}  // namespace win
