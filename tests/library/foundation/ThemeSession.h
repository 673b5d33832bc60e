// A window-system session with the theme module installed and reset, and
// the library's theme binding and manager started for it (and shut down
// after, leaving no theme handle open).
#pragma once

#include <gtest/gtest.h>

#include "library/foundation/dxThemeManager.h"
#include "library/foundation/dxUxTheme.h"
#include "platform/theme/ThemeBinding.h"
#include "platform/theme/ThemeState.h"
#include "platform/theme/ThemeTestMode.h"
#include "platform/win/TestHooks.h"

class ThemeSession : public ::testing::Test {
 protected:
  win::test::Session session;

  void SetUp() override {
    win::InstallThemeModule();
    win::test::ResetThemeModule();
    win::SetThemesActive(true);
    Start();
  }
  void TearDown() override {
    Stop();
    EXPECT_EQ(win::test::OpenThemeCount(), 0) << "a theme handle was left open";
    win::test::ResetThemeModule();
  }

  // The library's start-up and shut-down steps, for tests that change the
  // module before the library binds it.
  static void Start() {
    dxUxThemeInitialize();
    dxThemeManagerInitialize();
  }
  static void Stop() {
    dxThemeManagerFinalize();
    dxUxThemeFinalize();
  }
  static void Restart() {
    Stop();
    Start();
  }

  // The logged calls of one function, as lines.
  static std::vector<std::string> Calls(const std::string& function) {
    std::vector<std::string> lines;
    for (const auto& c : win::test::ThemeCalls())
      if (c.Function == function) lines.push_back(c.ToString());
    return lines;
  }
};
