// The window helpers: what they leave to be painted, the shape a popup
// takes with its shadow, and when native drawing applies.
#include <gtest/gtest.h>

#include "library/foundation/cxClasses.h"
#include "library/foundation/cxWindowHelpers.h"
#include "library/foundation/dxUxTheme.h"
#include "platform/gdi/Regions.h"
#include "platform/theme/ThemeBinding.h"
#include "platform/theme/ThemeState.h"
#include "platform/theme/ThemeTestMode.h"
#include "library/foundation/cxGeometry.h"
#include "platform/win/Paint.h"
#include "platform/win/WindowProc.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowRegion.h"

using namespace win;

namespace {

HWND MakePopup(TRect r) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "HelperPopup";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "HelperPopup", "", WS_POPUP | WS_VISIBLE, r.Left, r.Top, r.Width(), r.Height(),
                         nullptr, nullptr, nullptr, nullptr);
}

// The boxes of a region, as a readable list.
TRect Box(HRGN rgn) {
  TRect box{};
  GetRgnBox(rgn, &box);
  return box;
}

}  // namespace

TEST(cxWindowHelpers, InvalidationLeavesTheExcludedPartAlone) {
  test::Session session;
  HWND popup = MakePopup({0, 0, 100, 50});
  test::PumpUntilIdle();
  InternalInvalidate(popup, {0, 0, 100, 50}, {0, 0, 60, 50});
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(popup, update, FALSE);
  EXPECT_EQ(Box(update), (TRect{60, 0, 100, 50}));
  EXPECT_FALSE(PtInRegion(update, 10, 10));
  DeleteObject(update);
  DestroyWindow(popup);
}

TEST(cxWindowHelpers, APopupsShadowLiesRightAndBelowExceptOverItsOwner) {
  test::Session session;
  HWND popup = MakePopup({10, 10, 110, 60});
  SetWindowShadowRegion(popup, {0, 0, 97, 47}, false, {0, 47, 30, 50}, true);
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(popup, shape), ERROR);
  EXPECT_TRUE(PtInRegion(shape, 50, 20));    // the window itself
  EXPECT_TRUE(PtInRegion(shape, 98, 30));    // the right shadow
  EXPECT_FALSE(PtInRegion(shape, 98, 1));    // starts three pixels down
  EXPECT_TRUE(PtInRegion(shape, 50, 48));    // the bottom shadow
  EXPECT_FALSE(PtInRegion(shape, 10, 48));   // none over the owner
  EXPECT_FALSE(PtInRegion(shape, 1, 48));
  SetWindowShadowRegion(popup, {0, 0, 97, 47}, false, cxNullRect, false);
  EXPECT_EQ(GetWindowRgn(popup, shape), ERROR);  // no shape any more
  DeleteObject(shape);
  DestroyWindow(popup);
}

TEST(cxWindowHelpers, NativeDrawingNeedsAskingAndAnOpenTheme) {
  test::Session session;
  InstallThemeModule();
  test::ResetThemeModule();
  SetThemesActive(true);
  dxUxThemeInitialize();
  dxThemeManagerInitialize();
  EXPECT_TRUE(AreVisualStylesMustBeUsed(true, totButton));
  EXPECT_FALSE(AreVisualStylesMustBeUsed(false, totButton));
  EXPECT_FALSE(AreVisualStylesMustBeUsed(true, totClock));  // a class the module does not draw
  dxThemeManagerFinalize();
  dxUxThemeFinalize();
  test::ResetThemeModule();
}

TEST(cxWindowHelpers, TextComparisonWithAndWithoutCase) {
  EXPECT_TRUE(InternalCompareString("Grid", "Grid", true));
  EXPECT_FALSE(InternalCompareString("Grid", "GRID", true));
  EXPECT_TRUE(InternalCompareString("Grid", "GRID", false));
  EXPECT_TRUE(InternalCompareString("\xe9t\xe9", "\xc9T\xc9", false));  // accented letters fold too
}
