#include "library/foundation/cxPaintBounds.h"

#include "library/foundation/cxGeometry.h"
#include "platform/gdi/Gdi.h"

using namespace win;

TRect cxRectHeld(const TRect& R) {
  using gdi::ClampCoord;
  return {ClampCoord(R.Left), ClampCoord(R.Top), ClampCoord(R.Right), ClampCoord(R.Bottom)};
}

TRect cxPaintableArea(HDC ADC, const TRect& R) {
  if (GetDeviceCaps(ADC, TECHNOLOGY) == DT_METAFILE) return R;
  RECT clip;
  const int kind = GetClipBox(ADC, &clip);
  TRect area = R;
  if (kind == NULLREGION || (kind != ERROR && !cxRectIntersect(area, R, clip))) area = cxNullRect;
  return area;
}
