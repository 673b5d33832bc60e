#include "platform/win/SystemMenu.h"

#include "platform/win/Window.h"

namespace win {

HMENU GetSystemMenu(HWND hwnd, BOOL bRevert) {
  if (!IsWindow(hwnd) || bRevert) return nullptr;
  // The window's own handle value names its (absent) menu.
  return reinterpret_cast<HMENU>(hwnd);
}

BOOL DeleteMenu(HMENU menu, UINT, UINT) { return menu ? TRUE : FALSE; }
BOOL RemoveMenu(HMENU menu, UINT, UINT) { return menu ? TRUE : FALSE; }
BOOL EnableMenuItem(HMENU menu, UINT, UINT) { return menu ? MF_ENABLED : static_cast<BOOL>(-1); }

}  // namespace win
