// Minimising, maximising and restoring: the messages in order with the
// flags the window is told, where it goes, and who has the activation and
// the focus afterwards; an overlapped window made and first shown.
#include "platform/win/Focus.h"
#include "platform/win/Metrics.h"
#include "platform/win/TestHooks.h"
#include "platform/win/WindowPos.h"
#include "platform/win/MessageLog.h"

using namespace win;
using namespace wintest;

namespace {

constexpr UINT kMinimize = SWP_NOACTIVATE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_STATECHANGED;

class ShowStates : public ::testing::Test {
 protected:
  test::Session session;
  Recorder rec;
  std::vector<UINT> changing;      // WM_WINDOWPOSCHANGING flags, in order
  std::vector<std::string> sizes;  // WM_SIZE as "kind width"

  void SetUp() override {
    RegisterRecorderClass();
    rec.ignored.push_back(WM_ACTIVATEAPP);
  }
  HWND Make(const char* name, DWORD style, RECT r, HWND parent = nullptr) {
    return CreateWindowExA(0, "Recorder", name, style, r.Left, r.Top, r.Width(), r.Height(), parent, nullptr,
                           nullptr, nullptr);
  }
  // Notes what the window named is told of its placement and size.
  void Watch(const char* name) {
    rec.handlers[name] = [this](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
      if (m == WM_WINDOWPOSCHANGING) changing.push_back(reinterpret_cast<WINDOWPOS*>(l)->flags);
      if (m == WM_SIZE) sizes.push_back(std::to_string(w) + " " + std::to_string(LOWORD(l)));
      return std::nullopt;
    };
  }
  static RECT WindowRect(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
  }
};

TEST_F(ShowStates, AnOverlappedWindowShownMinimisedFirstHearsItsSizeThenAndTheFocusWhenRestored) {
  Watch("Main");
  HWND main = Make("Main", WS_OVERLAPPEDWINDOW, {100, 100, 400, 300});
  // Its creation ends with WM_CREATE: no size yet.
  EXPECT_EQ(rec.Take(), Seq({"? WM_GETMINMAXINFO", "Main WM_NCCREATE", "Main WM_NCCALCSIZE", "Main WM_CREATE"}));
  // No WM_SHOWWINDOW: the change of state says it. Active without the
  // focus, it is told the minimised kind as its state changes and as its
  // first size, which is none.
  ShowWindow(main, SW_SHOWMINIMIZED);
  EXPECT_EQ(rec.Take(), Seq({"Main WM_WINDOWPOSCHANGING", "Main WM_GETMINMAXINFO", "Main WM_NCCALCSIZE",
                             "Main WM_NCACTIVATE", "Main WM_ACTIVATE", "Main WM_NCPAINT", "Main WM_WINDOWPOSCHANGED",
                             "Main WM_MOVE", "Main WM_SIZE", "Main WM_SIZE", "Main WM_MOVE"}));
  EXPECT_EQ(changing, (std::vector<UINT>{SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_STATECHANGED}));
  EXPECT_EQ(sizes, Seq({"1 0", "1 0"}));
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(GetForegroundWindow(), main);
  EXPECT_EQ(GetFocus(), nullptr);
  // Restored, it is asked first, takes the focus as it opens and hears
  // WM_ACTIVATE once more; the first size is not told again.
  changing.clear();
  ShowWindow(main, SW_RESTORE);
  EXPECT_EQ(rec.Take(), Seq({"Main WM_QUERYOPEN", "Main WM_WINDOWPOSCHANGING", "Main WM_GETMINMAXINFO",
                             "Main WM_NCCALCSIZE", "Main WM_NCPAINT", "Main WM_ERASEBKGND",
                             "Main WM_WINDOWPOSCHANGED", "Main WM_MOVE", "Main WM_SIZE", "Main WM_SETFOCUS",
                             "Main WM_ACTIVATE"}));
  EXPECT_EQ(changing, (std::vector<UINT>{SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_STATECHANGED}));
  EXPECT_EQ(GetFocus(), main);
  EXPECT_EQ(WindowRect(main), Rect(100, 100, 400, 300));
}

TEST_F(ShowStates, MinimisingHandsTheActivationOnAndRestoringBringsItBackWithTheFocusInTheChild) {
  HWND a = Make("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 200});
  HWND b = Make("B", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {300, 0, 600, 200});
  HWND edit = Make("Edit", WS_CHILD | WS_VISIBLE, {10, 10, 100, 30}, b);
  test::PumpUntilIdle();
  Watch("B");
  rec.Take();
  // The window holding the focus gives it up first; minimised, it is still
  // asked for its size limits, tells no size and hands the activation on.
  ShowWindow(b, SW_MINIMIZE);
  EXPECT_EQ(rec.Take(), Seq({"B WM_KILLFOCUS", "B WM_WINDOWPOSCHANGING", "B WM_GETMINMAXINFO", "B WM_NCCALCSIZE",
                             "B WM_NCPAINT", "B WM_WINDOWPOSCHANGED", "B WM_MOVE", "B WM_SIZE", "B WM_NCACTIVATE",
                             "B WM_ACTIVATE", "A WM_WINDOWPOSCHANGING", "A WM_WINDOWPOSCHANGED", "A WM_NCACTIVATE",
                             "A WM_ACTIVATE", "A WM_SETFOCUS"}));
  EXPECT_EQ(changing, (std::vector<UINT>{kMinimize}));
  // No window manager holds it: it stands at the bottom left of the screen.
  EXPECT_EQ(WindowRect(b), Rect(0, 768 - 24, 160, 768));

  // Minimised with the focus in its child, restored it is activated inside
  // the call, takes the focus as it opens and, told once more that it is
  // active, hands it back to the child.
  ShowWindow(b, SW_RESTORE);
  SetFocus(edit);
  ShowWindow(b, SW_MINIMIZE);
  EXPECT_EQ(GetFocus(), a);
  rec.Take();
  ShowWindow(b, SW_RESTORE);
  EXPECT_EQ(rec.Take(), Seq({"B WM_QUERYOPEN", "B WM_WINDOWPOSCHANGING", "B WM_GETMINMAXINFO", "B WM_NCCALCSIZE",
                             "A WM_NCACTIVATE", "A WM_ACTIVATE", "B WM_NCACTIVATE", "B WM_ACTIVATE",
                             "A WM_KILLFOCUS", "Edit WM_SETFOCUS", "B WM_NCPAINT", "B WM_ERASEBKGND",
                             "B WM_WINDOWPOSCHANGED", "B WM_MOVE", "B WM_SIZE", "Edit WM_KILLFOCUS",
                             "B WM_SETFOCUS", "B WM_ACTIVATE", "B WM_KILLFOCUS", "Edit WM_SETFOCUS"}));
  EXPECT_EQ(GetFocus(), edit);
}

TEST_F(ShowStates, AWindowMinimisedFromMaximisedIsMaximisedAgainAndEveryChangeOfStateTellsItsSize) {
  HWND main = Make("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 300});
  RECT maxRect{100, 100, 400, 300};  // maximised where it stands
  rec.handlers["Main"] = [&](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_GETMINMAXINFO) {
      auto* mm = reinterpret_cast<MINMAXINFO*>(l);
      mm->ptMaxPosition = {maxRect.Left, maxRect.Top};
      mm->ptMaxSize = {maxRect.Width(), maxRect.Height()};
    }
    if (m == WM_SIZE) sizes.push_back(std::to_string(w) + " " + std::to_string(LOWORD(l)));
    return std::nullopt;
  };
  // The client area keeps its size, yet the new state is told with it.
  ShowWindow(main, SW_SHOWMAXIMIZED);
  EXPECT_EQ(sizes, Seq({"2 292"}));

  maxRect = {0, 0, 500, 400};
  ShowWindow(main, SW_RESTORE);
  ShowWindow(main, SW_SHOWMAXIMIZED);
  ShowWindow(main, SW_MINIMIZE);
  sizes.clear();
  ShowWindow(main, SW_RESTORE);
  EXPECT_TRUE(IsZoomed(main));
  EXPECT_EQ(WindowRect(main), Rect(0, 0, 500, 400));
  ShowWindow(main, SW_RESTORE);
  EXPECT_EQ(WindowRect(main), Rect(100, 100, 400, 300));
  EXPECT_EQ(sizes, Seq({"2 492", "0 292"}));
}

TEST_F(ShowStates, AChildUnderAHiddenParentIsPlacedForItsStateAndMinimisedAlongItsParentsBottom) {
  HWND parent = Make("Parent", WS_POPUP, {0, 0, 500, 300});
  HWND c = Make("C", WS_CHILD | WS_CAPTION | WS_THICKFRAME, {10, 10, 110, 110}, parent);
  HWND d = Make("D", WS_CHILD | WS_CAPTION | WS_THICKFRAME, {20, 20, 120, 120}, parent);
  Watch("C");
  rec.Take();
  // Maximised, it fills the parent's client area with its frame just
  // outside, is activated as a child and hears its size, though nothing of
  // it can be seen.
  ShowWindow(c, SW_SHOWMAXIMIZED);
  EXPECT_EQ(rec.Take(), Seq({"C WM_GETMINMAXINFO", "C WM_WINDOWPOSCHANGING", "C WM_GETMINMAXINFO", "C WM_NCCALCSIZE",
                             "C WM_CHILDACTIVATE", "C WM_WINDOWPOSCHANGED", "C WM_MOVE", "C WM_SIZE"}));
  const int frame = GetSystemMetrics(SM_CXFRAME);
  EXPECT_EQ(WindowRect(c), Rect(-frame, -frame, 500 + frame, 300 + frame));
  EXPECT_TRUE(GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE);
  // Minimised, it goes to the bottom left of the client area; the next one
  // minimised goes beside it.
  changing.clear();
  ShowWindow(c, SW_MINIMIZE);
  EXPECT_EQ(changing, (std::vector<UINT>{kMinimize}));
  EXPECT_EQ(WindowRect(c), Rect(0, 300 - 24, 160, 300));
  ShowWindow(d, SW_SHOWMINNOACTIVE);
  EXPECT_EQ(WindowRect(d), Rect(160, 300 - 24, 320, 300));
}

}  // namespace
