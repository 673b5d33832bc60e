// A window system session with the theme module installed and reset, and
// a small colour bitmap to draw on.
#pragma once

#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/theme/ThemeApi.h"
#include "platform/theme/ThemeBinding.h"
#include "platform/theme/ThemeState.h"
#include "platform/theme/ThemeTestMode.h"
#include "platform/win/Modules.h"
#include "platform/win/TestHooks.h"

namespace themetest {

using namespace win;

constexpr COLORREF kBackground = RGB(10, 200, 30);  // a colour no part uses

class ThemeTest : public ::testing::Test {
 protected:
  test::Session session;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ oldBitmap = nullptr;

  void SetUp() override {
    InstallThemeModule();
    test::ResetThemeModule();
    SetThemesActive(true);
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateBitmap(120, 60, 1, 32, nullptr);
    oldBitmap = SelectObject(dc, ToObj(bitmap));
    Clear();
  }
  void TearDown() override {
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EXPECT_EQ(test::OpenThemeCount(), 0) << "a test left a theme handle open";
    test::ResetThemeModule();
  }

  void Clear(COLORREF c = kBackground) {
    HBRUSH b = CreateSolidBrush(c);
    RECT all{0, 0, 120, 60};
    FillRect(dc, &all, b);
    DeleteObject(b);
  }

  // Every pixel of the bitmap, row by row.
  std::vector<COLORREF> Pixels() {
    std::vector<COLORREF> p;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 120; ++x) p.push_back(GetPixel(dc, x, y));
    return p;
  }
};

// An open theme that closes itself.
struct Theme {
  HTHEME h;
  explicit Theme(const char16_t* cls) : h(OpenThemeData(nullptr, cls)) {}
  ~Theme() {
    if (h) CloseThemeData(h);
  }
  operator HTHEME() const { return h; }
};

}  // namespace themetest
