// Points where a later tier plugs in: the cursor tier owns cursor shapes,
// the class library's menus show menus. Until one is installed the window
// system keeps its own minimal behaviour, noted at each entry, so every
// message sequence is already complete.
#pragma once

#include "platform/win/Handles.h"

namespace win {

struct TierSeams {
  // The shared cursor of a standard id (IDC_ARROW...). None: the id itself
  // serves as the handle.
  HCURSOR (*standardCursor)(int id) = nullptr;
  // Makes a cursor current. None: it is only remembered (CurrentCursor).
  void (*setCursor)(HCURSOR cursor) = nullptr;
  // Shows a menu's items with its top-left corner at a screen point, for
  // a window, and answers the command chosen once the menu is gone (0:
  // none). The point stands under a band whose top is `over` (a window's
  // caption): a menu with no room below the point goes above the band,
  // not over it.
  // None: nothing shows and nothing is chosen.
  UINT (*trackMenu)(HMENU menu, POINT screen, LONG over, HWND owner) = nullptr;
};

TierSeams& Seams();

// The cursor DefWindowProc last made current, whichever tier shows it.
HCURSOR CurrentCursor();

namespace detail {
void ApplyCursor(HCURSOR cursor);
HCURSOR StandardCursor(int id);
}  // namespace detail

}  // namespace win
