// Closed shapes: outline with the pen, interior with the brush, both
// through the binary raster operation. Bounding boxes are half-open: the
// shape lies in [Left, Right) x [Top, Bottom). A null pen leaves the shape
// one pixel smaller in each direction (the outline's room goes too);
// PS_INSIDEFRAME keeps a wide outline inside the box.
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace win {

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height);
BOOL Pie(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2);
BOOL Chord(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2);
BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2);
BOOL Polygon(HDC hdc, const POINT* points, int count);
BOOL PolyPolygon(HDC hdc, const POINT* points, const INT* counts, int polygons);

}  // namespace win
