// Points where later tiers plug in: the drawing tier paints frames and
// backgrounds, the cursor tier owns cursor shapes. Until they are
// installed the window system keeps its own minimal behaviour, noted at
// each entry, so every message sequence is already complete.
#pragma once

#include "platform/win/Handles.h"

namespace win {

struct TierSeams {
  // WM_NCPAINT default: borders, client edge and scroll bars. None: nothing drawn.
  void (*ncPaint)(HWND hwnd, HRGN region) = nullptr;
  // WM_ERASEBKGND default: fills the client area with the class brush
  // (a brush or COLOR_x + 1) and answers whether it erased. None: answers
  // whether the class has a brush.
  BOOL (*eraseBackground)(HWND hwnd, HDC dc, HBRUSH classBrush) = nullptr;
  // WM_PAINT default: BeginPaint/EndPaint. None: the window is validated.
  void (*defaultPaint)(HWND hwnd) = nullptr;
  // WM_NCACTIVATE default: redraws the caption active or inactive.
  void (*ncActivate)(HWND hwnd, BOOL active) = nullptr;
  // The shared cursor of a standard id (IDC_ARROW...). None: the id itself
  // serves as the handle.
  HCURSOR (*standardCursor)(int id) = nullptr;
  // Makes a cursor current. None: it is only remembered (CurrentCursor).
  void (*setCursor)(HCURSOR cursor) = nullptr;
  // Window regions: whether a point in window coordinates is inside the
  // region set on the window. None: every window is rectangular.
  bool (*regionContains)(HWND hwnd, POINT windowPt) = nullptr;
};

TierSeams& Seams();

// The cursor DefWindowProc last made current, whichever tier shows it.
HCURSOR CurrentCursor();

namespace detail {
void ApplyCursor(HCURSOR cursor);
HCURSOR StandardCursor(int id);
}  // namespace detail

}  // namespace win
