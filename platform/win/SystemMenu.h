// The system menu of a window: Restore, Move, Size, Minimize, Maximize and
// Close, made the first time it is asked for. A program trims it, greys
// its items and reads it back through its handle. Where the window system
// draws the window's caption itself, a press on the small icon or
// Alt+Space shows it (the styles and the window's state grey what cannot
// be done) and the item chosen comes back as WM_SYSCOMMAND; where a window
// manager frames the window, the manager's own menu stands and the edits
// are only kept.
#pragma once

#include "platform/win/Handles.h"

namespace win {

constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_SEPARATOR = 0x0800;

// The window's system menu (null for a window that does not exist); with
// bRevert the menu goes back to the standard one and null is answered.
HMENU GetSystemMenu(HWND hwnd, BOOL bRevert);
BOOL IsMenu(HMENU menu);
// Take an item out, found by command or by position (flags). An item that
// is not there fails.
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
// Enables, greys or disables an item; answers its state before (MF_ENABLED,
// MF_GRAYED, MF_DISABLED), or -1 when there is no such item.
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);

// ---- Reading a menu ----
// -1 for a handle that names no menu.
int GetMenuItemCount(HMENU menu);
// The command of the item at a position (0 for a separator), or
// 0xFFFFFFFF for none.
UINT GetMenuItemID(HMENU menu, int position);
// MF_SEPARATOR, MF_GRAYED and MF_DISABLED of an item, or 0xFFFFFFFF for
// none.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
// Copies the item's text (with its '&' marks and a tab before a shortcut's
// name) and answers the characters copied; without a buffer answers the
// length. 0 for no such item.
int GetMenuStringA(HMENU menu, UINT item, LPSTR text, int maxCount, UINT flags);
inline int GetMenuString(HMENU menu, UINT item, LPSTR text, int maxCount, UINT flags) {
  return GetMenuStringA(menu, item, text, maxCount, flags);
}

namespace detail {
// Shows the window's system menu under its small icon, if the window
// system draws its caption, and posts the command chosen (DefWindowProc's
// SC_MOUSEMENU and SC_KEYMENU with a space).
void TrackSystemMenu(HWND hwnd);
// Whether the window's system menu offers Close, enabled (a program may
// have taken it out or greyed it; CS_NOCLOSE greys it).
bool SystemMenuCanClose(HWND hwnd);
// The window goes: so does its menu.
void SystemMenuWindowDestroyed(HWND hwnd);
void ResetSystemMenus();
}  // namespace detail

}  // namespace win
