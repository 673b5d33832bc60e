// Keyboard focus and activation. One top-level window is active while the
// process has the input focus; the focus window is it or one of its
// descendants. Windows styled WS_EX_NOACTIVATE never become active and
// disabled windows never take the focus.
#pragma once

#include "platform/win/Handles.h"

namespace win {

// Answers the window that had the focus, or 0 when the call fails.
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();

namespace detail {
struct Window;
// Activation by a click in the window (WA_CLICKACTIVE).
bool ActivateByClick(Window* top);
// The process gained or lost the input focus (from the back end). On
// gaining it, the window the display gave the focus to becomes active when
// it can (preferred), else the one that was active last.
void AppActivation(bool active, Window* preferred = nullptr);
// The display moved the focus to another of our top-level windows while the
// process kept it.
void SurfaceActivation(Window* top);
bool AppActive();
}  // namespace detail

}  // namespace win
