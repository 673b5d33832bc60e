// Where a painter draws: the rectangles it is given held to what a surface
// holds, and the part of a rectangle a DC can show.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/rtl/Types.h"

class TcxCanvas;

// R with each coordinate beyond what any surface holds moved to that limit,
// as the drawing tier draws it: the sizes and middles of the result fit in
// an Integer. Painters take the rectangles they are given so.
TRect cxRectHeld(const TRect& R);
// Corners worked out in 64 bits (a glyph's, from a rectangle near an end of
// Integer whose middle and size fit though the sum of its edges does not),
// held the same way, so they reach the drawing tier as it would hold them.
TPoint cxPointHeld(Int64 X, Int64 Y);
TRect cxRectHeld(Int64 ALeft, Int64 ATop, Int64 ARight, Int64 ABottom);
// The pen moved, or a line drawn, to such a corner.
void cxMoveToHeld(TcxCanvas* ACanvas, Int64 X, Int64 Y);
void cxLineToHeld(TcxCanvas* ACanvas, Int64 X, Int64 Y);
// R less D pixels on every side, summed in 64 bits and held to Integer.
TRect cxRectShrunk(const TRect& R, Integer D);

// The part of R a drawing on the DC can show: R within the clip box on a
// screen or bitmap (empty when none of it shows), all of R on a metafile,
// which records whatever it is given. Repeated decorations (tiles, dots)
// draw only there, so their cost is what the DC shows.
TRect cxPaintableArea(win::HDC ADC, const TRect& R);
