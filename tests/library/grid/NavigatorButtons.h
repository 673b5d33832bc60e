// Where a navigator shows a button, and how much black ink lies on it.
#pragma once

#include <gtest/gtest.h>

#include "library/grid/navigator/cxNavigator.h"

namespace navigator_test {

// The bounds of the button with default index AIndex (empty when hidden).
inline TRect ButtonBounds(TcxCustomNavigator* ANavigator, Integer AIndex) {
  TcxNavigatorViewInfo* info = ANavigator->GetViewInfo();
  for (Integer i = 0; i < info->GetButtonCount(); ++i)
    if (info->GetButton(i)->Button->GetDefaultIndex() == AIndex) return info->GetButton(i)->Bounds;
  ADD_FAILURE() << "button " << AIndex << " not shown";
  return {};
}

// The black pixels inside R as APixel reads them (0x00BBGGRR or 0xRRGGBB:
// black is 0 either way).
template <class F>
Integer BlackPixels(const TRect& R, F APixel) {
  Integer count = 0;
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x) count += APixel(TPoint(x, y)) == 0 ? 1 : 0;
  return count;
}

}  // namespace navigator_test
