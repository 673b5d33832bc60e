// Where the activation, the focus and the foreground are after a window is
// placed or hidden, hidden and owned windows included; what a window sized
// to nothing has left of a client area.
#include "platform/win/Focus.h"
#include "platform/win/TestHooks.h"
#include "platform/win/WindowPos.h"
#include "PaintFixture.h"

using namespace win;
using namespace wintest;

namespace {

class Placing : public ::testing::Test {
 protected:
  test::Session session;
  Recorder rec;
  void SetUp() override {
    RegisterRecorderClass();
    rec.ignored.insert(rec.ignored.end(), {WM_ACTIVATEAPP, WM_NCPAINT, WM_ERASEBKGND, WM_PAINT});
  }
  HWND Make(const char* name, DWORD style, HWND parent = nullptr) {
    return CreateWindowExA(0, "Recorder", name, style, 0, 0, 200, 100, parent, nullptr, nullptr, nullptr);
  }
  // Active, focus and foreground, as one answer to compare.
  static std::vector<HWND> State() { return {GetActiveWindow(), GetFocus(), GetForegroundWindow()}; }
  static std::vector<HWND> All(HWND h) { return {h, h, h}; }
};

TEST_F(Placing, SetWindowPosWithoutNoActivateActivatesAndRaisesEvenAHiddenOrOwnedWindow) {
  HWND h = Make("H", WS_POPUP);
  HWND a = Make("A", WS_POPUP | WS_VISIBLE);
  HWND owned = Make("Owned", WS_POPUP, a);
  ASSERT_EQ(State(), All(a));
  rec.Take();
  // Told not to activate, a hidden window only moves.
  SetWindowPos(h, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(State(), All(a));
  EXPECT_EQ(rec.Take(), Seq({"H WM_WINDOWPOSCHANGING", "H WM_WINDOWPOSCHANGED", "H WM_MOVE"}));
  // Otherwise it comes to the front and is activated, hidden as it is, and
  // takes the focus, before it hears that it moved.
  SetWindowPos(h, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(rec.Take(), Seq({"H WM_WINDOWPOSCHANGING", "A WM_NCACTIVATE", "A WM_ACTIVATE", "H WM_NCACTIVATE",
                             "H WM_ACTIVATE", "A WM_KILLFOCUS", "H WM_SETFOCUS", "H WM_WINDOWPOSCHANGED",
                             "H WM_MOVE"}));
  EXPECT_EQ(State(), All(h));
  EXPECT_EQ(GetTopWindow(nullptr), h);
  EXPECT_FALSE(IsWindowVisible(h));
  // An owned window likewise; hidden by ShowWindow it hands all three on
  // to its owner.
  SetActiveWindow(a);
  SetWindowPos(owned, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(State(), All(a));
  SetWindowPos(owned, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(State(), All(owned));
  ShowWindow(owned, SW_SHOW);
  ShowWindow(owned, SW_HIDE);
  EXPECT_EQ(State(), All(a));
}

TEST_F(Placing, AHiddenChildHandsOnTheFocusOnlyWhenItHasItItself) {
  HWND main = Make("Main", WS_POPUP | WS_VISIBLE);
  HWND panel = Make("Panel", WS_CHILD | WS_VISIBLE, main);
  HWND edit = Make("Edit", WS_CHILD | WS_VISIBLE, panel);
  // The focus deeper inside the hidden child stays where it is.
  SetFocus(edit);
  ShowWindow(panel, SW_HIDE);
  EXPECT_EQ(GetFocus(), edit);
  ShowWindow(panel, SW_SHOW);
  SetFocus(panel);
  rec.Take();
  ShowWindow(panel, SW_HIDE);
  EXPECT_EQ(rec.Take(), Seq({"Panel WM_SHOWWINDOW", "Panel WM_WINDOWPOSCHANGING", "Panel WM_WINDOWPOSCHANGED",
                             "Panel WM_KILLFOCUS", "Main WM_SETFOCUS"}));
  EXPECT_EQ(State(), All(main));
}

TEST_F(PaintTest, AWindowSizedToNothingHasAnEmptyClientAreaWhereItsFrameBegins) {
  HWND z = CreateWindowExA(WS_EX_CLIENTEDGE, "White", "Z", WS_POPUP | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL,
                           10, 10, 100, 80, nullptr, nullptr, nullptr, nullptr);
  test::PumpUntilIdle();
  rec.Take();
  SetWindowPos(z, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Neither the client edge nor the bars have room: the client area is an
  // empty one just inside the border, its DCs show nothing and nothing of
  // it is to paint.
  RECT r;
  GetClientRect(z, &r);
  EXPECT_EQ(r, R(0, 0, 0, 0));
  POINT origin{0, 0};
  ClientToScreen(z, &origin);
  EXPECT_EQ(origin, Point(11, 11));
  HDC dc = GetDC(z);
  EXPECT_EQ(GetClipBox(dc, &r), NULLREGION);
  ReleaseDC(z, dc);
  InvalidateRect(z, nullptr, TRUE);
  EXPECT_FALSE(GetUpdateRect(z, nullptr, FALSE));
  test::PumpUntilIdle();
  auto log = rec.Take();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Z WM_PAINT"), 0);
  // Sized back, it has its edge and its bars again.
  SetWindowPos(z, nullptr, 0, 0, 100, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetClientRect(z, &r);
  EXPECT_EQ(r, R(0, 0, 100 - 2 - 4 - 16, 80 - 2 - 4 - 16));
}

}  // namespace
