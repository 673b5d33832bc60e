// Layered windows on the headless screen, as a person would see them: a
// window over another shows blended with it by its opacity, and its pixels
// of the key colour show the window beneath, which takes the clicks there.
// The see-through part follows what the window paints; without
// WS_EX_LAYERED it is whole and opaque again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/win/Layered.h"
#include "platform/win/Messages.h"
#include "platform/win/Paint.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"
#include "platform/win/WindowStyles.h"

using namespace win;

namespace {

constexpr COLORREF kRed = RGB(200, 0, 0), kBlue = RGB(0, 0, 200), kGreen = RGB(0, 255, 0);

std::vector<std::string> gClicks;
RECT gSquare{20, 20, 60, 60};  // where the front window paints green

LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_LBUTTONDOWN) {
    char text[32] = {};
    GetWindowTextA(h, text, sizeof text);
    gClicks.push_back(text);
  }
  if (m == WM_PAINT && GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_LAYERED) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    HBRUSH green = CreateSolidBrush(kGreen);
    FillRect(dc, &gSquare, green);
    DeleteObject(green);
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

// 0x00RRGGBB, as the screen reads.
std::uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
std::uint32_t Blend(COLORREF over, COLORREF under, unsigned alpha) {
  auto mix = [&](unsigned a, unsigned b) { return (a * alpha + b * (255 - alpha) + 127) / 255; };
  return (mix(GetRValue(over), GetRValue(under)) << 16) | (mix(GetGValue(over), GetGValue(under)) << 8) |
         mix(GetBValue(over), GetBValue(under));
}

// The classes' brushes outlive the windows that paint with them.
struct Brushes {
  std::vector<HBRUSH> made;
  ~Brushes() {
    for (HBRUSH b : made) DeleteObject(b);
  }
};

class LayeredWindows : public ::testing::Test {
 protected:
  Brushes brushes;
  test::Session session;
  HWND beneath = nullptr, glass = nullptr;

  HWND Make(const char* name, COLORREF colour, DWORD exStyle, RECT r) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = name;
    wc.hbrBackground = CreateSolidBrush(colour);
    brushes.made.push_back(wc.hbrBackground);
    RegisterClassA(&wc);
    return CreateWindowExA(exStyle, name, name, WS_POPUP | WS_VISIBLE, r.Left, r.Top, r.Width(), r.Height(), nullptr,
                           nullptr, nullptr, nullptr);
  }
  void SetUp() override {
    gClicks.clear();
    gSquare = {20, 20, 60, 60};
    beneath = Make("Beneath", kRed, 0, {100, 100, 300, 250});
    // In front whichever is active: a click on the window beneath raises it.
    glass = Make("Glass", kBlue, WS_EX_LAYERED | WS_EX_TOPMOST, {150, 150, 350, 300});
    test::PumpUntilIdle();
  }
  // The screen point of a client point of the glass window.
  static POINT OnGlass(int x, int y) { return {150 + x, 150 + y}; }
};

TEST_F(LayeredWindows, AnOpacityBlendsTheWindowWithWhatLiesBeneath) {
  EXPECT_EQ(test::ScreenPixel(OnGlass(50, 80)), Rgb(kBlue)) << "layered, but nothing set yet: opaque";
  ASSERT_TRUE(SetLayeredWindowAttributes(glass, 0, 128, LWA_ALPHA));
  EXPECT_EQ(test::ScreenPixel(OnGlass(50, 80)), Blend(kBlue, kRed, 128)) << "over the red window";
  EXPECT_EQ(test::ScreenPixel(OnGlass(180, 120)), Blend(kBlue, 0, 128)) << "over the empty (black) desktop";
  EXPECT_EQ(test::ScreenPixel({120, 120}), Rgb(kRed)) << "the window beneath itself is untouched";
  HDC dc = GetDC(glass);
  EXPECT_EQ(GetPixel(dc, 50, 80), kBlue) << "the window's own pixels stay as painted";
  ReleaseDC(glass, dc);

  COLORREF key = 1;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(glass, &key, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_EQ(flags, LWA_ALPHA);

  // Only windows of their own with the layered style take it.
  EXPECT_FALSE(SetLayeredWindowAttributes(beneath, 0, 128, LWA_ALPHA));
  HWND child = CreateWindowExA(WS_EX_LAYERED, "Beneath", "child", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, beneath,
                               nullptr, nullptr, nullptr);
  EXPECT_FALSE(SetLayeredWindowAttributes(child, 0, 128, LWA_ALPHA));
}

TEST_F(LayeredWindows, TheKeyColourIsAHoleThatFollowsThePaintingAndTakesNoClicks) {
  ASSERT_TRUE(SetLayeredWindowAttributes(glass, kGreen, 255, LWA_COLORKEY));
  test::PumpUntilIdle();
  EXPECT_EQ(test::ScreenPixel(OnGlass(40, 40)), Rgb(kRed)) << "the green square shows the window beneath";
  EXPECT_EQ(test::ScreenPixel(OnGlass(10, 10)), Rgb(kBlue));
  EXPECT_EQ(test::ScreenPixel(OnGlass(30, 130)), Rgb(kBlue));

  test::Click(glass, {40, 40});
  test::Click(glass, {10, 10});
  test::PumpUntilIdle();
  EXPECT_EQ(gClicks, (std::vector<std::string>{"Beneath", "Glass"})) << "a click in the hole goes beneath";

  // The square moves: the hole goes with it at the next presentation.
  gSquare = {20, 70, 60, 95};
  InvalidateRect(glass, nullptr, TRUE);
  test::PumpUntilIdle();
  EXPECT_EQ(test::ScreenPixel(OnGlass(40, 40)), Rgb(kBlue));
  EXPECT_EQ(test::ScreenPixel(OnGlass(40, 80)), Rgb(kRed));

  // Opacity and key together: the hole stays a hole, the rest blends.
  ASSERT_TRUE(SetLayeredWindowAttributes(glass, kGreen, 64, LWA_COLORKEY | LWA_ALPHA));
  EXPECT_EQ(test::ScreenPixel(OnGlass(40, 80)), Rgb(kRed));
  EXPECT_EQ(test::ScreenPixel(OnGlass(10, 10)), Blend(kBlue, kRed, 64));

  // Without the style the window is whole and opaque again.
  SetWindowLongA(glass, GWL_EXSTYLE, GetWindowLongA(glass, GWL_EXSTYLE) & ~static_cast<LONG>(WS_EX_LAYERED));
  test::PumpUntilIdle();
  EXPECT_EQ(test::ScreenPixel(OnGlass(40, 80)), Rgb(kGreen));
  EXPECT_EQ(test::ScreenPixel(OnGlass(10, 10)), Rgb(kBlue));
  EXPECT_FALSE(GetLayeredWindowAttributes(glass, nullptr, nullptr, nullptr));
  EXPECT_TRUE(session.Screen().Find(detail::Peek(glass)->surface)->shape.empty());
}

}  // namespace
