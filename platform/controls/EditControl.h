// The "EDIT" window class, single-line: one line of text with a selection
// between an anchor and an active end (where the caret is), typing,
// deleting and selecting by keys and mouse, the clipboard, one level of
// undo, a password character, case conversion, a length limit and
// horizontal scrolling that keeps the caret in view. The parent chooses
// the colours through WM_CTLCOLOREDIT and hears EN_CHANGE through
// WM_COMMAND after every change of the text. The control draws no border
// of its own: its container does. docs/platform-controls.md lists how
// each message answers in the corner cases.
#pragma once

#include "platform/win/Handles.h"

namespace win {

constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_OEMCONVERT = 0x0400;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD ES_NUMBER = 0x2000;

// EM_SETMARGINS flags.
constexpr WPARAM EC_LEFTMARGIN = 0x0001;
constexpr WPARAM EC_RIGHTMARGIN = 0x0002;
constexpr WPARAM EC_USEFONTINFO = 0xFFFF;

// The limit a new control has, and the one EM_LIMITTEXT(0) sets.
constexpr int kEditDefaultLimit = 30000;
constexpr int kEditNoLimit = 0x7FFFFFFE;

// Makes "EDIT" a class of the system (atom 0x81) from now on; called when
// the controls tier starts. Calling it again does nothing.
void RegisterEditClass();

namespace detail {
LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
}  // namespace detail

}  // namespace win
