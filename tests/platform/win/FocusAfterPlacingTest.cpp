// Where the activation, the focus and the foreground are after a window is
// placed, shown or hidden, hidden and owned windows included; what a
// window sized to nothing has left of a client area.
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
  HWND Popup(const char* name, DWORD style, HWND owner = nullptr, RECT r = {0, 0, 200, 100}) {
    return CreateWindowExA(0, "Recorder", name, WS_POPUP | style, r.Left, r.Top, r.Width(), r.Height(), owner,
                           nullptr, nullptr, nullptr);
  }
  // Active, focus and foreground, as one answer to compare.
  static std::vector<HWND> State() { return {GetActiveWindow(), GetFocus(), GetForegroundWindow()}; }
};

TEST_F(Placing, SetWindowPosWithoutNoActivateActivatesAndRaisesEvenAHiddenWindow) {
  HWND h = Popup("H", 0);
  HWND a = Popup("A", WS_VISIBLE);
  ASSERT_EQ(State(), (std::vector<HWND>{a, a, a}));
  ASSERT_EQ(GetTopWindow(nullptr), a);
  rec.Take();
  // Told not to activate, a hidden window only moves.
  SetWindowPos(h, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(State(), (std::vector<HWND>{a, a, a}));
  EXPECT_EQ(GetTopWindow(nullptr), a);
  EXPECT_EQ(rec.Take(), Seq({"H WM_WINDOWPOSCHANGING", "H WM_WINDOWPOSCHANGED", "H WM_MOVE"}));
  // Otherwise it is brought to the front and activated, hidden as it is,
  // and takes the focus, before it hears that it moved.
  SetWindowPos(h, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(rec.Take(), Seq({"H WM_WINDOWPOSCHANGING", "A WM_NCACTIVATE", "A WM_ACTIVATE", "H WM_NCACTIVATE",
                             "H WM_ACTIVATE", "A WM_KILLFOCUS", "H WM_SETFOCUS", "H WM_WINDOWPOSCHANGED",
                             "H WM_MOVE"}));
  EXPECT_EQ(State(), (std::vector<HWND>{h, h, h}));
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_EQ(GetTopWindow(nullptr), h);
  // Shown without activation, it stays as it is; A is not activated back.
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  EXPECT_EQ(State(), (std::vector<HWND>{h, h, h}));
}

TEST_F(Placing, AnOwnedWindowIsActivatedByPlacingOnlyWhenAskedHiddenOrNot) {
  HWND owner = Popup("Owner", WS_VISIBLE);
  HWND owned = Popup("Owned", 0, owner);
  ShowWindow(owned, SW_SHOWNA);
  ASSERT_EQ(State(), (std::vector<HWND>{owner, owner, owner}));
  SetWindowPos(owned, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(State(), (std::vector<HWND>{owner, owner, owner}));
  SetWindowPos(owned, nullptr, 6, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(State(), (std::vector<HWND>{owned, owned, owned}));
  // Hidden by SWP_HIDEWINDOW it keeps all three; placed again while hidden
  // and told nothing of activation, it is still the active one.
  SetWindowPos(owned, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
  EXPECT_EQ(State(), (std::vector<HWND>{owned, owned, owned}));
  SetActiveWindow(owner);
  ASSERT_EQ(State(), (std::vector<HWND>{owner, owner, owner}));
  SetWindowPos(owned, nullptr, 7, 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(State(), (std::vector<HWND>{owner, owner, owner}));
  SetWindowPos(owned, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(State(), (std::vector<HWND>{owned, owned, owned}));
  EXPECT_FALSE(IsWindowVisible(owned));
  // ShowWindow hiding the active window hands all three on to the owner.
  ShowWindow(owned, SW_SHOW);
  ShowWindow(owned, SW_HIDE);
  EXPECT_EQ(State(), (std::vector<HWND>{owner, owner, owner}));
}

TEST_F(Placing, AHiddenChildHandsOnTheFocusOnlyWhenItHasItItself) {
  HWND main = Popup("Main", WS_VISIBLE, nullptr, {0, 0, 300, 200});
  auto child = [&](HWND parent, const char* name) {
    return CreateWindowExA(0, "Recorder", name, WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, parent, nullptr, nullptr,
                           nullptr);
  };
  HWND panel = child(main, "Panel");
  HWND edit = child(panel, "Edit");
  // The focus deeper inside a hidden child stays where it is.
  SetFocus(edit);
  ShowWindow(panel, SW_HIDE);
  EXPECT_EQ(GetFocus(), edit);
  ShowWindow(panel, SW_SHOW);
  // The child holding it hands it to its parent, and only on ShowWindow:
  // SWP_HIDEWINDOW leaves it.
  SetFocus(panel);
  SetWindowPos(panel, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
  EXPECT_EQ(GetFocus(), panel);
  SetWindowPos(panel, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  rec.Take();
  ShowWindow(panel, SW_HIDE);
  EXPECT_EQ(rec.Take(), Seq({"Panel WM_SHOWWINDOW", "Panel WM_WINDOWPOSCHANGING", "Panel WM_WINDOWPOSCHANGED",
                             "Panel WM_KILLFOCUS", "Main WM_SETFOCUS"}));
  EXPECT_EQ(GetFocus(), main);
  EXPECT_EQ(GetActiveWindow(), main);
}

TEST_F(PaintTest, AWindowSizedToNothingHasAnEmptyClientAreaWhereItsFrameBegins) {
  HWND z = CreateWindowExA(WS_EX_CLIENTEDGE, "White", "Z", WS_POPUP | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL,
                           10, 10, 100, 80, nullptr, nullptr, nullptr, nullptr);
  test::PumpUntilIdle();
  rec.Take();
  SetWindowPos(z, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT r;
  GetClientRect(z, &r);
  EXPECT_EQ(r, R(0, 0, 0, 0));
  // Neither the client edge nor the bars have room: the client area is an
  // empty one just inside the border.
  POINT origin{0, 0};
  ClientToScreen(z, &origin);
  EXPECT_EQ(origin, Point(11, 11));
  // Its DC shows nothing, and nothing of it needs painting.
  HDC dc = GetDC(z);
  EXPECT_EQ(GetClipBox(dc, &r), NULLREGION);
  EXPECT_EQ(r, R(0, 0, 0, 0));
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
  origin = {0, 0};
  ClientToScreen(z, &origin);
  EXPECT_EQ(origin, Point(13, 13));
}

}  // namespace
