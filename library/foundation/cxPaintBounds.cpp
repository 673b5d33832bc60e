#include "library/foundation/cxPaintBounds.h"

#include "library/foundation/cxGeometry.h"
#include "library/foundation/cxGraphics.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Numbers.h"

using namespace win;

namespace {

int Held(Int64 V) { return gdi::ClampCoord(static_cast<long long>(V)); }

}  // namespace

TRect cxRectHeld(Int64 ALeft, Int64 ATop, Int64 ARight, Int64 ABottom) {
  return {Held(ALeft), Held(ATop), Held(ARight), Held(ABottom)};
}

TRect cxRectHeld(const TRect& R) { return cxRectHeld(R.Left, R.Top, R.Right, R.Bottom); }

TPoint cxPointHeld(Int64 X, Int64 Y) { return {Held(X), Held(Y)}; }

void cxMoveToHeld(TcxCanvas* ACanvas, Int64 X, Int64 Y) { ACanvas->MoveTo(Held(X), Held(Y)); }
void cxLineToHeld(TcxCanvas* ACanvas, Int64 X, Int64 Y) { ACanvas->LineTo(Held(X), Held(Y)); }

TRect cxRectShrunk(const TRect& R, Integer D) {
  return {ClampToInteger(Int64(R.Left) + D), ClampToInteger(Int64(R.Top) + D), ClampToInteger(Int64(R.Right) - D),
          ClampToInteger(Int64(R.Bottom) - D)};
}

TRect cxPaintableArea(HDC ADC, const TRect& R) {
  if (GetDeviceCaps(ADC, TECHNOLOGY) == DT_METAFILE) return R;
  RECT clip;
  const int kind = GetClipBox(ADC, &clip);
  TRect area = R;
  if (kind == NULLREGION || (kind != ERROR && !cxRectIntersect(area, R, clip))) area = cxNullRect;
  return area;
}
