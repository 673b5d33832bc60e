// The classic elements: three-dimensional edges, frame controls (check
// boxes, radio buttons, push buttons, scroll arrows, the size grip) and
// the dotted focus rectangle. Colours come from the system colour table.
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace win {

BOOL DrawEdge(HDC hdc, RECT* rect, UINT edge, UINT flags);
BOOL DrawFrameControl(HDC hdc, RECT* rect, UINT type, UINT state);
// Inverts every other pixel of the rectangle's one-pixel frame (the
// phase follows the device position), so a second call restores it.
BOOL DrawFocusRect(HDC hdc, const RECT* rect);

}  // namespace win
