// What DefWindowProc draws for a window: the non-client frame (border,
// dialog frame, client edge, caption band, scroll bars and the corner
// between them with its size grip) and the background of the client area.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/win/Handles.h"

namespace win::detail {

struct Window;

// WM_NCPAINT: region 1 (or null) means the whole frame, else a region in
// screen coordinates the frame drawing is cut to.
void PaintNonClient(Window* w, HRGN region);
// WM_ERASEBKGND: fills with the class brush (a brush, or COLOR_x + 1) and
// answers whether there was one.
BOOL EraseBackground(Window* w, HDC dc);

}  // namespace win::detail
