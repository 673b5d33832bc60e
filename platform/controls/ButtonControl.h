// The "BUTTON" window class: push buttons (the default one framed), owner-
// drawn buttons (the parent paints them through WM_DRAWITEM, everything
// else as a push button), radio buttons and check boxes. A press of the
// left button takes the focus and holds the button down while the pointer
// stays on it; releasing it there, or releasing Space, clicks: the parent
// hears BN_CLICKED through WM_COMMAND. A double click on a radio or owner-
// drawn button is BN_DOUBLECLICKED instead of a second press. Push buttons
// are drawn in the classic look with DrawFrameControl.
#pragma once

#include "platform/win/Handles.h"

namespace win {

constexpr DWORD BS_PUSHBUTTON = 0x00000000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x00000001;
constexpr DWORD BS_CHECKBOX = 0x00000002;
constexpr DWORD BS_AUTOCHECKBOX = 0x00000003;
constexpr DWORD BS_RADIOBUTTON = 0x00000004;
constexpr DWORD BS_3STATE = 0x00000005;
constexpr DWORD BS_AUTO3STATE = 0x00000006;
constexpr DWORD BS_GROUPBOX = 0x00000007;
constexpr DWORD BS_AUTORADIOBUTTON = 0x00000009;
constexpr DWORD BS_OWNERDRAW = 0x0000000B;
constexpr DWORD BS_TYPEMASK = 0x0000000F;
constexpr DWORD BS_LEFTTEXT = 0x00000020;
constexpr DWORD BS_MULTILINE = 0x00002000;
constexpr DWORD BS_NOTIFY = 0x00004000;

// Makes "BUTTON" a class of the system (atom 0x80) from now on; called
// when the controls tier starts. Calling it again does nothing.
void RegisterButtonClass();

namespace detail {
LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
}  // namespace detail

}  // namespace win
