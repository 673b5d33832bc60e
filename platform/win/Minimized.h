// Minimised windows the window system shows itself. A minimised window
// has no client area: it stands as a small caption bar of the minimised
// size (NonClient.cpp draws it), a child in its parent's client area and
// a top-level window on the screen, unless a window manager holds it as
// its own icon. The window system arranges them from the bottom-left
// corner of the area to the right, one slot every minimised spacing and a
// row higher when a row is full, each in the first slot no other
// minimised window takes.
#pragma once

#include "platform/win/Handles.h"

namespace win::detail {

struct Window;

// Whether the window, minimised, is held by a window manager (a top-level
// window whose surface the back end says so of).
bool HeldMinimizedByManager(const Window* w);
// Whether the window stands as a caption of the window system's own:
// minimised, visible and not held by a manager.
bool ShownAsIcon(const Window* w);
// Where a window being minimised goes: a slot of the arrangement, or off
// the screen when a manager holds it.
RECT MinimizedPlace(const Window* w);

}  // namespace win::detail
