// The default window procedure and calling a procedure directly.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/win/Handles.h"

namespace win {

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Calls a procedure as it is, without hooks: how a subclassing procedure
// hands a message on to the one it replaced.
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

namespace detail {
// A control that keeps its own text keeps the window's text (what the
// default procedure answers, and a top-level window's title) in step:
// [at, at + removed) of the old text became [at, at + inserted) of text,
// which is now whole. A change costs what it changes, not the whole text.
void FollowWindowText(HWND hwnd, std::string_view text, std::size_t at, std::size_t removed, std::size_t inserted);
}  // namespace detail

inline LRESULT DefWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
inline LRESULT CallWindowProc(WNDPROC p, HWND h, UINT m, WPARAM w, LPARAM l) { return CallWindowProcA(p, h, m, w, l); }

}  // namespace win
