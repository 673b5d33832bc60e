// The pointer: capture, position, double clicks, and turning raw pointer
// input into the mouse message for the right window. A message goes to the
// capture window when there is one, else to the deepest visible window
// under the pointer that is not disabled (a disabled child's parent gets
// it; input for a disabled top-level window is dropped).
#pragma once

#include "platform/win/Handles.h"

namespace win {

HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL GetCursorPos(LPPOINT pt);
// Moves the pointer; a WM_MOUSEMOVE follows as for real movement.
BOOL SetCursorPos(int x, int y);
UINT GetDoubleClickTime();
// 0 restores the default (500 ms).
BOOL SetDoubleClickTime(UINT ms);

namespace detail {

struct MouseInput {
  UINT type = 0;  // WM_MOUSEMOVE, WM_xBUTTONDOWN/UP, WM_MOUSEWHEEL
  POINT pt{};     // screen
  int delta = 0;
  DWORD time = 0;
  WPARAM keys = 0;  // MK_* when it happened
};

MouseInput AcceptMouse(UINT type, POINT screen, int delta);

enum class Route { Deliver, Skip, Drop };
// Finds the window and message for queued pointer input. With remove the
// input is consumed: the mouse hook, activation by click and WM_SETCURSOR
// run, and Drop may be answered after all.
Route RouteMouse(const MouseInput& in, HWND filter, UINT first, UINT last, bool remove, MSG& out);

// For a loop that a press starts and the next press may end (a menu under
// the small icon): the presses taken so far, and whether the last one
// doubles the one before it, which hwnd took on the part hit, landing on
// that part again (at: where, on the screen).
unsigned PressesTaken();
bool LastPressDoubles(HWND hwnd, LRESULT hit, POINT& at);
// The last press has done its work, which took the window it landed on
// away from under the pointer (a minimised window opened by a click): the
// next press, when it doubles that one, is the rest of a double click and
// goes nowhere, with its release.
void TakeDoublingPress();

}  // namespace detail

}  // namespace win
