// Lines with the pen: MoveToEx, LineTo, Polyline, PolylineTo, and the
// stroker the shapes share.
//
// A one-pixel pen steps from pixel to pixel and leaves out the end point,
// so joined segments meet without painting a pixel twice; broken styles
// repeat their dash pattern along the stepped pixels, gaps painted in the
// background colour when the background mode is opaque. Wider pens cover
// the segment's band plus round caps and joins, painted once per call.
#pragma once

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Raster.h"

namespace win::gdi {

class Stroker {
 public:
  explicit Stroker(DC& dc);
  bool Null() const { return IsNull; }
  int Width() const { return PenWidth; }
  // A segment in surface coordinates.
  void Segment(int x0, int y0, int x1, int y1);
  // A single pixel with the pen (used where a shape degenerates).
  void Dot(int x, int y);
  // Paints what a wide pen collected.
  void Finish();

 private:
  DC& Dc;
  Paint Fg, Bg;
  bool IsNull = false, OpaqueGaps = false, Wide = false;
  const int* Dash = nullptr;
  int DashCount = 0, DashTotal = 0, Phase = 0;
  int PenWidth = 1;
  Region Acc;
};

}  // namespace win::gdi

namespace win {

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old);
BOOL LineTo(HDC hdc, int x, int y);
BOOL Polyline(HDC hdc, const POINT* points, int count);
BOOL PolylineTo(HDC hdc, const POINT* points, DWORD count);

}  // namespace win
