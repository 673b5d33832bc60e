// Minimising, maximising and restoring: the messages in order, the flags
// the window is told, where it goes and who has the activation and the
// focus afterwards; an overlapped window made and first shown.
#include "platform/win/Focus.h"
#include "platform/win/Metrics.h"
#include "platform/win/TestHooks.h"
#include "platform/win/WindowPos.h"
#include "platform/win/MessageLog.h"

using namespace win;
using namespace wintest;

namespace {

class ShowStates : public ::testing::Test {
 protected:
  test::Session session;
  Recorder rec;
  std::vector<UINT> changing;        // WM_WINDOWPOSCHANGING flags, in order
  std::vector<std::string> sizes;    // WM_SIZE as "kind width height"

  void SetUp() override {
    RegisterRecorderClass();
    rec.ignored.push_back(WM_ACTIVATEAPP);
  }
  HWND Top(const char* name, DWORD style = WS_OVERLAPPEDWINDOW, RECT r = {100, 100, 400, 300}) {
    return CreateWindowExA(0, "Recorder", name, style, r.Left, r.Top, r.Width(), r.Height(), nullptr, nullptr,
                           nullptr, nullptr);
  }
  HWND Child(HWND parent, const char* name, RECT r, DWORD style) {
    return CreateWindowExA(0, "Recorder", name, WS_CHILD | style, r.Left, r.Top, r.Width(), r.Height(), parent,
                           nullptr, nullptr, nullptr);
  }
  // Notes what the window named is told of its placement and size.
  void Watch(const char* name) {
    rec.handlers[name] = [this](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
      if (m == WM_WINDOWPOSCHANGING) changing.push_back(reinterpret_cast<WINDOWPOS*>(l)->flags);
      if (m == WM_SIZE)
        sizes.push_back(std::to_string(w) + " " + std::to_string(LOWORD(l)) + " " + std::to_string(HIWORD(l)));
      return std::nullopt;
    };
  }
  static RECT WindowRect(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
  }
};

TEST_F(ShowStates, AnOverlappedWindowIsMadeWithoutItsSizeAndHearsItWhenFirstShown) {
  Watch("Main");
  HWND main = Top("Main");
  EXPECT_EQ(rec.Take(), Seq({"? WM_GETMINMAXINFO", "Main WM_NCCREATE", "Main WM_NCCALCSIZE", "Main WM_CREATE"}));
  // Popups and children hear their size and place as they are made.
  HWND popup = Top("Popup", WS_POPUP);
  EXPECT_EQ(rec.Take(), Seq({"Popup WM_NCCREATE", "Popup WM_NCCALCSIZE", "Popup WM_CREATE", "Popup WM_SIZE",
                             "Popup WM_MOVE"}));
  // Shown minimised first, the overlapped window hears the minimised kind
  // twice: as its state changes, and as its first size, which is none.
  ShowWindow(main, SW_SHOWMINIMIZED);
  EXPECT_EQ(sizes, Seq({"1 0 0", "1 0 0"}));
  auto log = rec.Take();
  EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()), Seq({"Main WM_SIZE", "Main WM_MOVE"}));
  // Hidden, it leaves no window active; opened without activation, none.
  ShowWindow(main, SW_HIDE);
  ShowWindow(main, SW_SHOWNOACTIVATE);
  EXPECT_EQ(sizes.size(), 3u) << "the first showing only";
  EXPECT_EQ(GetActiveWindow(), nullptr);
  DestroyWindow(popup);
  rec.Take();

  // Made visible and maximised: maximised as it is made, then shown
  // maximised, which says nothing of showing and no state change.
  changing.clear();
  sizes.clear();
  Watch("Big");
  HWND big = Top("Big", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_MAXIMIZE);
  EXPECT_EQ(rec.Take(), Seq({"? WM_GETMINMAXINFO", "Big WM_NCCREATE", "Big WM_NCCALCSIZE", "Big WM_CREATE",
                             "Big WM_GETMINMAXINFO", "Big WM_WINDOWPOSCHANGING", "Big WM_GETMINMAXINFO",
                             "Big WM_NCCALCSIZE", "Big WM_WINDOWPOSCHANGED", "Big WM_MOVE", "Big WM_SIZE",
                             "Big WM_GETMINMAXINFO", "Big WM_WINDOWPOSCHANGING", "Big WM_NCCALCSIZE",
                             "Big WM_NCACTIVATE", "Big WM_ACTIVATE", "Big WM_SETFOCUS", "Big WM_NCPAINT",
                             "Big WM_ERASEBKGND", "Big WM_WINDOWPOSCHANGED", "Big WM_SIZE", "Big WM_MOVE"}));
  EXPECT_EQ(changing, (std::vector<UINT>{SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_STATECHANGED,
                                         SWP_FRAMECHANGED | SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE}));
  EXPECT_EQ(sizes.front().substr(0, 2), "2 ");
  EXPECT_EQ(sizes.back().substr(0, 2), "2 ");
  EXPECT_TRUE(IsZoomed(big));
  EXPECT_EQ(GetActiveWindow(), big);
}

TEST_F(ShowStates, MinimisingGivesUpTheFocusHandsTheActivationOnAndRestoringBringsBothBack) {
  HWND a = Top("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 200});
  HWND b = Top("B", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {300, 0, 600, 200});
  HWND edit = Child(b, "Edit", {10, 10, 100, 30}, WS_VISIBLE);
  SetFocus(edit);
  test::PumpUntilIdle();
  Watch("B");
  rec.Take();

  // The focus first leaves the window minimised when it holds it itself.
  SetFocus(b);
  rec.Take();
  ShowWindow(b, SW_MINIMIZE);
  // Minimised, the window still hears its size limits (only the largest
  // holds for it), tells no size, and hands the activation to the next.
  EXPECT_EQ(rec.Take(), Seq({"B WM_KILLFOCUS", "B WM_WINDOWPOSCHANGING", "B WM_GETMINMAXINFO", "B WM_NCCALCSIZE",
                             "B WM_NCPAINT", "B WM_WINDOWPOSCHANGED", "B WM_MOVE", "B WM_SIZE", "B WM_NCACTIVATE",
                             "B WM_ACTIVATE", "A WM_WINDOWPOSCHANGING", "A WM_WINDOWPOSCHANGED", "A WM_NCACTIVATE",
                             "A WM_ACTIVATE", "A WM_SETFOCUS"}));
  EXPECT_EQ(changing, (std::vector<UINT>{SWP_NOACTIVATE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS |
                                         SWP_STATECHANGED}));
  EXPECT_EQ(sizes, Seq({"1 0 0"}));
  EXPECT_EQ(WindowRect(b), Rect(-32000, -32000, -32000 + 160, -32000 + 24));
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);

  // Restored: asked first, activated inside the call, and told once more
  // that it is active after the focus came to it.
  changing.clear();
  sizes.clear();
  ShowWindow(b, SW_RESTORE);
  EXPECT_EQ(rec.Take(), Seq({"B WM_QUERYOPEN", "B WM_WINDOWPOSCHANGING", "B WM_GETMINMAXINFO", "B WM_NCCALCSIZE",
                             "A WM_NCACTIVATE", "A WM_ACTIVATE", "B WM_NCACTIVATE", "B WM_ACTIVATE",
                             "A WM_KILLFOCUS", "B WM_SETFOCUS", "B WM_NCPAINT", "B WM_ERASEBKGND",
                             "B WM_WINDOWPOSCHANGED", "B WM_MOVE", "B WM_SIZE", "B WM_ACTIVATE"}));
  EXPECT_EQ(changing, (std::vector<UINT>{SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_STATECHANGED}));
  EXPECT_EQ(WindowRect(b), Rect(300, 0, 600, 200));
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(GetFocus(), b);

  // With the focus in a child, the child has it again once restored: the
  // window takes it as it opens and hands it back when told it is active.
  SetFocus(edit);
  ShowWindow(b, SW_MINIMIZE);
  EXPECT_EQ(GetFocus(), a);
  rec.Take();
  ShowWindow(b, SW_RESTORE);
  auto log = rec.Take();
  EXPECT_EQ(std::vector<std::string>(log.end() - 6, log.end()),
            Seq({"B WM_SIZE", "Edit WM_KILLFOCUS", "B WM_SETFOCUS", "B WM_ACTIVATE", "B WM_KILLFOCUS",
                 "Edit WM_SETFOCUS"}));
  EXPECT_EQ(GetFocus(), edit);
}

TEST_F(ShowStates, AWindowShownMinimisedIsActiveWithoutTheFocusAndTakesItWhenRestored) {
  Top("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 200});
  HWND h = Top("H", WS_OVERLAPPEDWINDOW, {300, 0, 600, 200});
  test::PumpUntilIdle();
  Watch("H");
  rec.Take();
  // No WM_SHOWWINDOW: the change of state says it.
  ShowWindow(h, SW_SHOWMINIMIZED);
  EXPECT_EQ(rec.Take(), Seq({"H WM_WINDOWPOSCHANGING", "H WM_GETMINMAXINFO", "H WM_NCCALCSIZE", "A WM_NCACTIVATE",
                             "A WM_ACTIVATE", "H WM_NCACTIVATE", "H WM_ACTIVATE", "A WM_KILLFOCUS",
                             "H WM_NCPAINT", "H WM_WINDOWPOSCHANGED", "H WM_MOVE", "H WM_SIZE", "H WM_SIZE",
                             "H WM_MOVE"}));
  EXPECT_EQ(changing, (std::vector<UINT>{SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_STATECHANGED}));
  EXPECT_TRUE(IsIconic(h));
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_EQ(GetActiveWindow(), h);
  EXPECT_EQ(GetForegroundWindow(), h);
  EXPECT_EQ(GetFocus(), nullptr);

  // Already active, restoring activates nothing; the focus comes with the
  // opening, and WM_ACTIVATE once more.
  changing.clear();
  ShowWindow(h, SW_RESTORE);
  EXPECT_EQ(rec.Take(), Seq({"H WM_QUERYOPEN", "H WM_WINDOWPOSCHANGING", "H WM_GETMINMAXINFO", "H WM_NCCALCSIZE",
                             "H WM_NCPAINT", "H WM_ERASEBKGND", "H WM_WINDOWPOSCHANGED", "H WM_MOVE", "H WM_SIZE",
                             "H WM_SETFOCUS", "H WM_ACTIVATE"}));
  EXPECT_EQ(changing, (std::vector<UINT>{SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_STATECHANGED}));
  EXPECT_EQ(GetFocus(), h);
  EXPECT_EQ(WindowRect(h), Rect(300, 0, 600, 200));
}

TEST_F(ShowStates, AWindowMinimisedFromMaximisedIsMaximisedAgainAndEveryChangeOfStateTellsItsSize) {
  HWND main = Top("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  RECT maxRect{100, 100, 400, 300};  // the maximised place is where it stands
  rec.handlers["Main"] = [&](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_GETMINMAXINFO) {
      auto* mm = reinterpret_cast<MINMAXINFO*>(l);
      mm->ptMaxPosition = {maxRect.Left, maxRect.Top};
      mm->ptMaxSize = {maxRect.Width(), maxRect.Height()};
    }
    if (m == WM_SIZE) sizes.push_back(std::to_string(w) + " " + std::to_string(LOWORD(l)));
    return std::nullopt;
  };
  // Maximised in place: the client area keeps its size, yet the window is
  // told its new state with its size.
  ShowWindow(main, SW_SHOWMAXIMIZED);
  EXPECT_EQ(sizes, Seq({"2 292"}));
  EXPECT_TRUE(IsZoomed(main));

  maxRect = {0, 0, 500, 400};
  ShowWindow(main, SW_RESTORE);
  ShowWindow(main, SW_SHOWMAXIMIZED);
  ShowWindow(main, SW_MINIMIZE);
  sizes.clear();
  ShowWindow(main, SW_RESTORE);
  EXPECT_TRUE(IsZoomed(main));
  EXPECT_EQ(WindowRect(main), Rect(0, 0, 500, 400));
  EXPECT_EQ(sizes, Seq({"2 492"}));
  // Restored from there, it has its normal place back.
  ShowWindow(main, SW_RESTORE);
  EXPECT_FALSE(IsZoomed(main));
  EXPECT_EQ(WindowRect(main), Rect(100, 100, 400, 300));
  EXPECT_EQ(sizes, Seq({"2 492", "0 292"}));
}

TEST_F(ShowStates, AChildUnderAHiddenParentIsPlacedForItsStateAndMinimisedAlongItsParentsBottom) {
  HWND parent = Top("Parent", WS_POPUP, {0, 0, 500, 300});
  HWND c = Child(parent, "C", {10, 10, 110, 110}, WS_CAPTION | WS_THICKFRAME);
  HWND d = Child(parent, "D", {20, 20, 120, 120}, WS_CAPTION | WS_THICKFRAME);
  Watch("C");
  rec.Take();
  // Maximised, the child fills its parent's client area with its frame
  // just outside, is activated as a child and hears its size, though
  // nothing of it can be seen.
  ShowWindow(c, SW_SHOWMAXIMIZED);
  EXPECT_EQ(rec.Take(), Seq({"C WM_GETMINMAXINFO", "C WM_WINDOWPOSCHANGING", "C WM_GETMINMAXINFO", "C WM_NCCALCSIZE",
                             "C WM_CHILDACTIVATE", "C WM_WINDOWPOSCHANGED", "C WM_MOVE", "C WM_SIZE"}));
  const int frame = GetSystemMetrics(SM_CXFRAME);
  EXPECT_EQ(WindowRect(c), Rect(-frame, -frame, 500 + frame, 300 + frame));
  EXPECT_TRUE(GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(IsWindowVisible(parent));

  // Minimised, it goes to the bottom left of the parent's client area; the
  // next one minimised goes beside it.
  changing.clear();
  ShowWindow(c, SW_MINIMIZE);
  EXPECT_EQ(rec.Take(), Seq({"C WM_WINDOWPOSCHANGING", "C WM_GETMINMAXINFO", "C WM_NCCALCSIZE",
                             "C WM_WINDOWPOSCHANGED", "C WM_MOVE", "C WM_SIZE"}));
  EXPECT_EQ(changing, (std::vector<UINT>{SWP_NOACTIVATE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS |
                                         SWP_STATECHANGED}));
  EXPECT_EQ(WindowRect(c), Rect(0, 300 - 24, 160, 300));
  ShowWindow(d, SW_SHOWMINNOACTIVE);
  EXPECT_EQ(WindowRect(d), Rect(160, 300 - 24, 320, 300));
  EXPECT_TRUE(IsIconic(d));
  EXPECT_EQ(GetActiveWindow(), nullptr);
}

}  // namespace
