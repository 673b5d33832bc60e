// Region objects (HRGN) and the region calls.
#pragma once

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Region.h"

namespace win::gdi {

class RegionObject : public GdiObject {
 public:
  static constexpr DWORD kType = OBJ_REGION;
  RegionObject() : GdiObject(OBJ_REGION) {}
  Region R;
};

HRGN NewRegionHandle(const Region& r);

}  // namespace win::gdi

namespace win {

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(const RECT* rect);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height);
HRGN CreatePolygonRgn(const POINT* points, int count, int mode);
HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int mode);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
BOOL EqualRgn(HRGN a, HRGN b);
int OffsetRgn(HRGN rgn, int dx, int dy);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* rect);
int GetRgnBox(HRGN rgn, RECT* rect);

// Drawing with regions (logical coordinates).
BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush);
BOOL FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int width, int height);
BOOL PaintRgn(HDC hdc, HRGN rgn);
BOOL InvertRgn(HDC hdc, HRGN rgn);

}  // namespace win
