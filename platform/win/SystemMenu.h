// The system menu. Our windows have none (the non-client area draws no
// menu button), so the calls that edit one are accepted and change
// nothing: a program that trims its system menu runs as it would
// elsewhere.
#pragma once

#include "platform/win/Handles.h"

namespace win {

constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_ENABLED = 0x0000;

// A handle standing for the window's system menu (null for a window that
// does not exist); with bRevert the menu is "reset" and null is answered.
HMENU GetSystemMenu(HWND hwnd, BOOL bRevert);
// Each succeeds for a system-menu handle and does nothing.
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);

}  // namespace win
