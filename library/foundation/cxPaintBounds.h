// Where a painter draws: the rectangles it is given held to what a surface
// holds, and the part of a rectangle a DC can show.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/rtl/Types.h"

// R with each coordinate beyond what any surface holds moved to that limit,
// as the drawing tier draws it: the sizes and middles of the result fit in
// an Integer. Painters take the rectangles they are given so.
TRect cxRectHeld(const TRect& R);

// The part of R a drawing on the DC can show: R within the clip box on a
// screen or bitmap (empty when none of it shows), all of R on a metafile,
// which records whatever it is given. Repeated decorations (tiles, dots)
// draw only there, so their cost is what the DC shows.
TRect cxPaintableArea(win::HDC ADC, const TRect& R);
