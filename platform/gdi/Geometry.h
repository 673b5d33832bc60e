// Scan conversion of the shapes: which pixels an ellipse, a rounded
// rectangle or a polygon covers, row by row. Drawing and region creation
// share these so that a region of a shape holds exactly the shape's pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/GdiTypes.h"

namespace win::gdi {

// One row of a convex shape: pixels [Left, Right) of row Y; Left >= Right
// when the row is empty.
struct RowSpan {
  int Y, Left, Right;
};

// Rows [From, To) are all a caller can see: shapes larger than the clip
// are scanned only where they can show.
struct RowWindow {
  int From = INT32_MIN;
  int To = INT32_MAX;
};

// The pixels of an ellipse inscribed in the half-open box: a pixel belongs
// when its centre lies inside. One span per row of the box (in the window).
void EllipseRows(const RECT& box, std::vector<RowSpan>& rows, RowWindow window = {});
// The span of one row of that ellipse.
RowSpan EllipseRow(const RECT& box, int y);

// A rectangle whose corners are quarter ellipses of the given full width
// and height (clamped to the box).
void RoundRectRows(const RECT& box, int ellipseWidth, int ellipseHeight, std::vector<RowSpan>& rows,
                   RowWindow window = {});

// Spans of the polygons (point lists closed implicitly) under the fill
// mode, with the top-left rule: a pixel belongs when its corner point
// (x, y) is inside, left and top edges included. Spans are appended per
// row as pairs in `spans` with `rowStart` giving each row's first pair.
struct PolySpans {
  int Top = 0, Bottom = 0;             // rows [Top, Bottom)
  std::vector<int> RowStart;           // Bottom - Top + 1 entries, indices into Spans (pairs)
  std::vector<int> Spans;              // x0, x1 pairs
};
// `unit` is the number of coordinate steps per pixel (1 for whole pixels;
// the wide-pen outlines pass sub-pixel points).
void ScanPolygons(const POINT* points, const INT* counts, int polygons, int mode, PolySpans& out, int unit = 1,
                  RowWindow window = {});

// The outline ring of a convex shape given by its rows: the pixels of a row
// that have no neighbour above or below inside the shape (one-pixel ring,
// eight-connected). Appends up to two spans per row as (y, x0, x1).
void RingOfRows(const std::vector<RowSpan>& rows, std::vector<RowSpan>& ring);

}  // namespace win::gdi
