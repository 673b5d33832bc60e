// How large a window may be. A top-level window keeps its pixels, and the
// back end its surface, at the window's whole size, so it is held to what
// the screen can show however it is asked to grow; a child draws into its
// top-level window's pixels and keeps only the coordinate range.

#include <climits>

#include "platform/win/Metrics.h"
#include "platform/win/Paint.h"
#include "platform/win/TestHooks.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/win/MessageLog.h"
#include "support/PeakMemory.h"

using namespace win;
using namespace wintest;

namespace {

class ScreenSize : public ::testing::Test {
 protected:
  test::Session session;
  Recorder rec;
  void SetUp() override { RegisterRecorderClass(); }

  HWND Make(const char* name, DWORD style, HWND parent = nullptr, int cx = 200, int cy = 150) {
    return CreateWindowExA(0, "Recorder", name, style, 10, 10, cx, cy, parent, nullptr, nullptr, nullptr);
  }
  RECT WindowRect(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
  }
  // The size the back end keeps the window's surface at, from its pixels.
  SIZE SurfaceSize(HWND h) {
    const HeadlessBackEnd::Surface* s = session.Screen().Find(detail::Peek(h)->surface);
    if (!s) return {-1, -1};
    const int width = s->rect.Width();
    return {width, width > 0 ? static_cast<int>(s->pixels.size() / 4 / static_cast<std::size_t>(width)) : 0};
  }
  static SIZE ScreenLimit() { return {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)}; }
};

TEST_F(ScreenSize, ATopLevelWindowSizedPastTheScreenIsHeldToWhatTheScreenCanShow) {
  // The largest tracking size: the 1024 x 768 screen with a sizing frame on
  // each side.
  ASSERT_EQ(ScreenLimit().cx, 1032);
  ASSERT_EQ(ScreenLimit().cy, 776);
  // A framed window asks its limits; a dialog (a popup with a caption)
  // and a bare popup have none of their own, and are held all the same.
  for (DWORD style : {DWORD(WS_OVERLAPPEDWINDOW), DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU), DWORD(WS_POPUP)}) {
    SCOPED_TRACE(style);
    HWND h = Make("Big", style | WS_VISIBLE);
    test::PumpUntilIdle();
    const long before = PeakMegabytes();
    ASSERT_TRUE(SetWindowPos(h, nullptr, 0, 0, 32768, 40000, SWP_NOMOVE | SWP_NOZORDER));
    test::PumpUntilIdle();  // painted whole: every pixel it keeps is written
    EXPECT_EQ(WindowRect(h), (RECT{10, 10, 10 + 1032, 10 + 776}));
    EXPECT_EQ(SurfaceSize(h).cx, 1032);
    EXPECT_EQ(SurfaceSize(h).cy, 776);
    EXPECT_LT(PeakMegabytes() - before, kScreenfulMegabytes);
    // MoveWindow is the same call.
    MoveWindow(h, -5, -5, INT_MAX, INT_MAX, TRUE);
    EXPECT_EQ(WindowRect(h), (RECT{-5, -5, -5 + 1032, -5 + 776}));
    DestroyWindow(h);
  }
}

TEST_F(ScreenSize, NeitherLimitsNorAHandlerNorCreationMakeATopLevelWindowLargerThanTheScreen) {
  // Limits answered past the screen.
  rec.handlers["Generous"] = [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_GETMINMAXINFO) {
      auto* mm = reinterpret_cast<MINMAXINFO*>(l);
      mm->ptMaxTrackSize = {100000, 100000};
      mm->ptMinTrackSize = {40000, 40000};
    }
    return std::nullopt;
  };
  HWND generous = Make("Generous", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  SetWindowPos(generous, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(WindowRect(generous), (RECT{10, 10, 1042, 786}));

  // A handler growing the window as it is placed.
  rec.handlers["Grower"] = [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_WINDOWPOSCHANGING) {
      auto* wp = reinterpret_cast<WINDOWPOS*>(l);
      wp->cx = 50000;
      wp->cy = 30000;
      return 0;  // the default handling is not asked
    }
    return std::nullopt;
  };
  HWND grower = Make("Grower", WS_POPUP | WS_VISIBLE);
  SetWindowPos(grower, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(WindowRect(grower), (RECT{10, 10, 1042, 786}));

  // Nobody asked at all.
  HWND quiet = Make("Quiet", WS_POPUP | WS_VISIBLE);
  SetWindowPos(quiet, nullptr, 0, 0, 32767, 32767, SWP_NOMOVE | SWP_NOZORDER | SWP_NOSENDCHANGING);
  EXPECT_EQ(WindowRect(quiet), (RECT{10, 10, 1042, 786}));

  // Made past the screen, the window and its surface start held; its
  // creation hears the size it got.
  int created = 0;
  rec.handlers["Made"] = [&](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_CREATE) created = reinterpret_cast<const CREATESTRUCTA*>(l)->cx;
    return std::nullopt;
  };
  HWND made = Make("Made", WS_POPUP | WS_CAPTION, nullptr, 32768, 40000);
  EXPECT_EQ(created, 1032);
  EXPECT_EQ(WindowRect(made), (RECT{10, 10, 1042, 786}));
  EXPECT_EQ(SurfaceSize(made).cx, 1032);
  EXPECT_EQ(SurfaceSize(made).cy, 776);

  // Limits smaller than the screen still decide.
  rec.handlers["Small"] = [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(l)->ptMaxTrackSize = {400, 300};
    return std::nullopt;
  };
  HWND small = Make("Small", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  SetWindowPos(small, nullptr, 0, 0, 32768, 40000, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(WindowRect(small), (RECT{10, 10, 410, 310}));
}

TEST_F(ScreenSize, WhatTheScreenCanShowFollowsTheMonitors) {
  test::SetMonitors({MonitorInfo{{0, 0, 1024, 768}, {0, 0, 1024, 740}, true},
                     MonitorInfo{{1024, 0, 2304, 1024}, {1024, 0, 2304, 1024}, false}});
  HWND h = Make("Wide", WS_POPUP | WS_VISIBLE);
  SetWindowPos(h, nullptr, 0, 0, 32768, 40000, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(WindowRect(h), (RECT{10, 10, 10 + 2304 + 8, 10 + 1024 + 8}));
}

TEST_F(ScreenSize, AChildKeepsItsSizeButTakesNoPixelsOfItsOwn) {
  HWND top = Make("Top", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND child = Make("Child", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL, top);
  test::PumpUntilIdle();
  const long before = PeakMegabytes();
  SetWindowPos(child, nullptr, 0, 0, 32768, 40000, SWP_NOMOVE | SWP_NOZORDER);
  RECT client{};
  GetClientRect(child, &client);
  EXPECT_EQ(WindowRect(child).Right - WindowRect(child).Left, 32767) << "only the coordinate range holds";
  InvalidateRect(child, nullptr, TRUE);
  test::PumpUntilIdle();  // frame, bars and background drawn where they show
  EXPECT_EQ(SurfaceSize(top).cx, 200);
  EXPECT_LT(PeakMegabytes() - before, kScreenfulMegabytes);

  // Made top-level, it takes a surface held to the screen and hears its
  // new size.
  int heard = 0;
  rec.handlers["Child"] = [&](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_SIZE) heard = LOWORD(l);
    return std::nullopt;
  };
  SetWindowLongA(child, GWL_STYLE, static_cast<LONG>((GetWindowLongA(child, GWL_STYLE) & ~WS_CHILD) | WS_POPUP));
  SetParent(child, nullptr);
  test::PumpUntilIdle();
  EXPECT_EQ(WindowRect(child).Right - WindowRect(child).Left, 1032);
  EXPECT_EQ(SurfaceSize(child).cx, 1032);
  EXPECT_EQ(SurfaceSize(child).cy, 776);
  EXPECT_GT(heard, 0);
  EXPECT_LT(heard, 1032);
  EXPECT_LT(PeakMegabytes() - before, kScreenfulMegabytes);
}

}  // namespace
