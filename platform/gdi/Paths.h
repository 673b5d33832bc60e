// Paths: between BeginPath and EndPath the lines, polylines, Béziers,
// polygons, rectangles, rounded rectangles, ellipses, arcs, chords and
// pies drawn on a DC are kept as figures
// instead of drawn; the closed path is then filled, stroked, widened or
// made into a region.
//
// Figures are kept in device coordinates (the origins in force when each
// call came), in sixteenths of a pixel so that curves keep their shape;
// Béziers and ellipses are flattened into lines as they are added. A
// rectangle or an ellipse takes the box a pen's outline runs along
// (right and bottom edges one pixel in), so filling and stroking a path
// paints what the shape drawn directly paints. Fills follow the polygon
// rule (a pixel belongs when its top-left corner is inside) under the
// DC's fill mode; strokes follow the pen as lines do. Widening makes the
// path the outline of what stroking it would paint.
#pragma once

#include <vector>

#include "platform/gdi/DeviceContext.h"

namespace win {

constexpr DWORD ERROR_CAN_NOT_COMPLETE = 1003;

}  // namespace win

namespace win::gdi {

class Path {
 public:
  // Sixteenths of a pixel per pixel.
  static constexpr int kUnit = 16;

  bool Open = false;      // between BeginPath and EndPath
  bool InFigure = false;  // the last figure takes the next line from its last point
  std::vector<POINT> Points;  // every figure's points in turn
  std::vector<INT> Counts;    // points per figure
  std::vector<bool> Closed;   // per figure

  void Clear();
  void StartFigure(POINT p);
  void Add(POINT p);
  void CloseFigure();
  // Adds a cubic Bézier from the last point, flattened.
  void AddBezier(POINT c1, POINT c2, POINT end);
};

// True while the DC's path bracket is open: the drawing calls then add to
// the path and draw nothing.
inline bool PathOpen(const DC& dc) { return dc.CurPath && dc.CurPath->Open; }

// The drawing calls' additions to an open path, in logical coordinates.
// MoveTo ends the figure being drawn; LineTo and PolylineTo go on from
// the current position; Polyline starts a figure of its own.
void PathMoveTo(DC& dc);
void PathLineTo(DC& dc, int x, int y);
void PathPolyline(DC& dc, const POINT* pts, int count, bool fromCurrent);
void PathPolygons(DC& dc, const POINT* pts, const INT* counts, int polygons);
void PathRectangle(DC& dc, int left, int top, int right, int bottom);
void PathEllipse(DC& dc, int left, int top, int right, int bottom);
// Corners a quarter of an ellipse width by height each, as RoundRect
// draws them.
void PathRoundRect(DC& dc, int left, int top, int right, int bottom, int width, int height);
// The ellipse's arc between the radials through (x1, y1) and (x2, y2) in
// the DC's arc direction (all of it when they coincide or one is the
// centre), as the shape calls draw it: an arc is an open figure of its
// own, a chord closes it with a line, a pie through the centre.
enum class ArcFigure { Arc, Chord, Pie };
void PathArc(DC& dc, ArcFigure kind, int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);

}  // namespace win::gdi

namespace win {

BOOL BeginPath(HDC hdc);
BOOL EndPath(HDC hdc);
// Forgets the path, open or closed.
BOOL AbortPath(HDC hdc);
// Closes the figure being drawn with a line back to its first point.
BOOL CloseFigure(HDC hdc);

// Cubic Béziers: a start point then three points (two control points and
// an end) per curve. PolyBezierTo starts at the current position and
// moves it to the last end point.
BOOL PolyBezier(HDC hdc, const POINT* points, DWORD count);
BOOL PolyBezierTo(HDC hdc, const POINT* points, DWORD count);

// These take a closed path (after EndPath) and fail with
// ERROR_CAN_NOT_COMPLETE otherwise. Filling closes open figures and uses
// the brush and the fill mode; stroking uses the pen; both use the
// raster operation. All but WidenPath forget the path afterwards.
BOOL FillPath(HDC hdc);
BOOL StrokePath(HDC hdc);
BOOL StrokeAndFillPath(HDC hdc);
// Makes the path the outline of what StrokePath would paint with the
// selected pen: a pen wider than a pixel (its end caps and joins when
// made by ExtCreatePen as a geometric pen). A one-pixel pen fails with
// ERROR_CAN_NOT_COMPLETE and leaves the path as it was.
BOOL WidenPath(HDC hdc);
// The path's interior under the fill mode, in device coordinates.
HRGN PathToRegion(HDC hdc);

}  // namespace win
