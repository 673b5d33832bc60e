#include "library/foundation/cxWindowHelpers.h"

#include "library/foundation/cxGeometry.h"
#include "platform/gdi/Regions.h"
#include "platform/win/Mouse.h"
#include "platform/win/Paint.h"
#include "platform/win/WindowRegion.h"

using namespace win;

void InternalInvalidate(HWND AWnd, const TRect& R, const TRect& AExcludedRect, bool AErase) {
  if (!AWnd || cxRectIsEmpty(R)) return;
  HRGN area = CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
  if (!cxRectIsEmpty(AExcludedRect)) {
    HRGN excluded = CreateRectRgn(AExcludedRect.Left, AExcludedRect.Top, AExcludedRect.Right, AExcludedRect.Bottom);
    CombineRgn(area, area, excluded, RGN_DIFF);
    DeleteObject(excluded);
  }
  InvalidateRgn(AWnd, area, AErase);
  DeleteObject(area);
}

void InternalInvalidateRect(TWinControl* AControl, const TRect& R, bool AErase) {
  if (AControl && AControl->HandleAllocated()) InvalidateRect(AControl->GetHandle(), &R, AErase);
}

TPoint InternalGetCursorPos() {
  TPoint p{};
  GetCursorPos(&p);
  return p;
}

void SetWindowShadowRegion(HWND AWnd, const TRect& ABounds, bool ANativeStyle, const TRect& ANoShadowRect,
                           bool AShadow) {
  if (!AWnd) return;
  if (ANativeStyle || !AShadow) {
    SetWindowRgn(AWnd, nullptr, TRUE);
    return;
  }
  const Integer S = cxPopupShadowWidth;
  HRGN shape = CreateRectRgn(ABounds.Left, ABounds.Top, ABounds.Right, ABounds.Bottom);
  HRGN shadow = CreateRectRgn(ABounds.Right, ABounds.Top + S, ABounds.Right + S, ABounds.Bottom + S);
  HRGN bottom = CreateRectRgn(ABounds.Left + S, ABounds.Bottom, ABounds.Right + S, ABounds.Bottom + S);
  CombineRgn(shadow, shadow, bottom, RGN_OR);
  if (!cxRectIsEmpty(ANoShadowRect)) {
    HRGN none = CreateRectRgn(ANoShadowRect.Left, ANoShadowRect.Top, ANoShadowRect.Right, ANoShadowRect.Bottom);
    CombineRgn(shadow, shadow, none, RGN_DIFF);
    DeleteObject(none);
  }
  CombineRgn(shape, shape, shadow, RGN_OR);
  DeleteObject(shadow);
  DeleteObject(bottom);
  // The window owns the region from here.
  SetWindowRgn(AWnd, shape, TRUE);
}

void AssignFonts(TFont* ADest, TFont* ASource) {
  if (ADest && ASource && ADest != ASource) ADest->Assign(ASource);
}

bool AreVisualStylesMustBeUsed(bool ANativeStyle, TdxThemedObjectType AType) {
  return ANativeStyle && AreVisualStylesAvailable(AType);
}
