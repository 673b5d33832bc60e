// Window regions: the shape of a window inside its rectangle. Painting of
// the window and of its children is cut to it, and the mouse finds the
// window only inside it. Top-level windows keep a rectangular surface on
// back ends that cannot shape one; what lies outside the region is then
// simply never painted.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/win/Handles.h"

namespace win {

// The region is in window coordinates and belongs to the window from now
// on (it is deleted; the caller must not use it again). Null removes it.
int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw);
// Copies the window's region into rgn; answers its kind, or ERROR when the
// window has none.
int GetWindowRgn(HWND hwnd, HRGN rgn);

namespace detail {
struct Window;
// Tells the back end the shape of a top-level window's surface (its region,
// or the whole rectangle); nothing for a window without a surface.
void ShapeSurface(Window* w);
}  // namespace detail

}  // namespace win
