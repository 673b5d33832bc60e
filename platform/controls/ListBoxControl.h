// The "LISTBOX" window class: a column of items, each a string with a
// pointer-sized value, drawn by the control itself or by its parent
// (owner-drawn, with one height for all items or one per item), a vertical
// bar shown when the items do not fit and a horizontal one over the extent
// a program sets. One item is selected at a time, or several with
// LBS_EXTENDEDSEL (Shift and Ctrl with the mouse and keys) or
// LBS_MULTIPLESEL (each click turns an item over). The mouse and the keys
// move the selection; with LBS_NOTIFY the parent hears LBN_SELCHANGE and LBN_DBLCLK through
// WM_COMMAND. The parent colours it through WM_CTLCOLORLISTBOX. It draws
// no border of its own: its container does.
#pragma once

#include "platform/win/Handles.h"

namespace win {

constexpr DWORD LBS_NOTIFY = 0x0001;
constexpr DWORD LBS_SORT = 0x0002;
constexpr DWORD LBS_NOREDRAW = 0x0004;
constexpr DWORD LBS_MULTIPLESEL = 0x0008;
constexpr DWORD LBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD LBS_OWNERDRAWVARIABLE = 0x0020;
constexpr DWORD LBS_HASSTRINGS = 0x0040;
constexpr DWORD LBS_USETABSTOPS = 0x0080;
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
constexpr DWORD LBS_MULTICOLUMN = 0x0200;
constexpr DWORD LBS_WANTKEYBOARDINPUT = 0x0400;
constexpr DWORD LBS_EXTENDEDSEL = 0x0800;
constexpr DWORD LBS_DISABLENOSCROLL = 0x1000;
constexpr DWORD LBS_NODATA = 0x2000;

// The most an item may be tall (LB_SETITEMHEIGHT).
constexpr int kListBoxMaxItemHeight = 255;

// Makes "LISTBOX" a class of the system (atom 0x83) from now on; called
// when the controls tier starts. Calling it again does nothing.
void RegisterListBoxClass();

namespace detail {
LRESULT ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
}  // namespace detail

}  // namespace win
