// The "SCROLLBAR" class: the SB_CTL calls reach the control as SBM_*
// messages, the control keeps its own range (empty at first) without ever
// hiding itself, tells its parent of the mouse with its own handle, and
// draws exactly as a window's standard bar with the same values, but for a
// shaft its parent may colour.
#include "platform/win/ScrollBarControl.h"

#include "PaintFixture.h"
#include "platform/win/Metrics.h"
#include "platform/win/ScrollBars.h"

using namespace win;
using namespace wintest;

namespace {

std::vector<std::string>* g_sbm = nullptr;
WNDPROC g_original = nullptr;

// A subclass that notes the SBM_* messages the control gets.
LRESULT SbmLogger(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  static const std::map<UINT, const char*> names = {
      {SBM_SETPOS, "SETPOS"},           {SBM_GETPOS, "GETPOS"},
      {SBM_SETRANGE, "SETRANGE"},       {SBM_GETRANGE, "GETRANGE"},
      {SBM_ENABLE_ARROWS, "ENABLE_ARROWS"}, {SBM_SETRANGEREDRAW, "SETRANGEREDRAW"},
      {SBM_SETSCROLLINFO, "SETSCROLLINFO"}, {SBM_GETSCROLLINFO, "GETSCROLLINFO"}};
  if (auto it = names.find(msg); it != names.end() && g_sbm) g_sbm->push_back(it->second);
  return CallWindowProcA(g_original, hwnd, msg, wParam, lParam);
}

class ScrollBarControlTest : public PaintTest {
 protected:
  std::vector<std::string> sbm;
  std::vector<std::string> scrolls;  // what the parent heard
  HWND ctl = nullptr;

  void SetUp() override {
    PaintTest::SetUp();
    g_sbm = &sbm;
    // A vertical control 16 x 100 at (10, 10) of main, at screen (110, 60).
    ctl = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 10, 10, 16, 100, main, nullptr,
                          nullptr, nullptr);
    g_original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(ctl, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(static_cast<WNDPROC>(SbmLogger))));
    rec.handlers["Main"] = [this](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
      if (m != WM_VSCROLL) return std::nullopt;
      const int code = LOWORD(w);
      std::string e = code == SB_LINEDOWN ? "LINEDOWN" : code == SB_ENDSCROLL ? "ENDSCROLL" : std::to_string(code);
      if (reinterpret_cast<HWND>(l) != ctl) e += " (not from the control)";
      scrolls.push_back(e);
      if (code == SB_LINEDOWN) SetScrollPos(ctl, SB_CTL, GetScrollPos(ctl, SB_CTL) + 1, TRUE);
      return 0;
    };
    test::PumpUntilIdle();
  }
  void TearDown() override { g_sbm = nullptr; }
};

}  // namespace

TEST_F(ScrollBarControlTest, ControlCallsArriveAsMessagesAndTheRangeStartsEmpty) {
  int min = -1, max = -1;
  EXPECT_TRUE(GetScrollRange(ctl, SB_CTL, &min, &max));
  EXPECT_EQ(min, 0);
  EXPECT_EQ(max, 0);
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 30, 0};
  EXPECT_EQ(SetScrollInfo(ctl, SB_CTL, &si, TRUE), 30);
  EXPECT_EQ(SetScrollPos(ctl, SB_CTL, 500, FALSE), 30) << "the previous position";
  EXPECT_EQ(GetScrollPos(ctl, SB_CTL), 90) << "clamped to max - page + 1";
  EXPECT_TRUE(SetScrollRange(ctl, SB_CTL, 0, 50, TRUE));
  EXPECT_EQ(GetScrollPos(ctl, SB_CTL), 41);
  SCROLLINFO got{sizeof got, SIF_ALL, 0, 0, 0, 0, 0};
  EXPECT_TRUE(GetScrollInfo(ctl, SB_CTL, &got));
  EXPECT_EQ(got.nMax, 50);
  EXPECT_EQ(got.nPage, 10u);
  EXPECT_TRUE(EnableScrollBar(ctl, SB_CTL, ESB_DISABLE_BOTH));
  EXPECT_FALSE(IsWindowEnabled(ctl)) << "both arrows off is the bar window off";
  EXPECT_FALSE(EnableScrollBar(ctl, SB_CTL, ESB_DISABLE_BOTH)) << "nothing changed";
  EXPECT_EQ(sbm, Seq({"GETRANGE", "SETSCROLLINFO", "SETPOS", "GETPOS", "SETRANGEREDRAW", "GETPOS", "GETSCROLLINFO",
                      "ENABLE_ARROWS", "ENABLE_ARROWS"}));
  EnableScrollBar(ctl, SB_CTL, ESB_ENABLE_BOTH);
  EXPECT_TRUE(IsWindowEnabled(ctl));
  // SBM_SETRANGE answers the old position only when the range moved it.
  EXPECT_EQ(SendMessageA(ctl, SBM_SETRANGE, 0, 200), 0);
  EXPECT_EQ(SendMessageA(ctl, SBM_SETRANGE, 0, 20), 41);
  // A range that fits leaves the control shown; ShowScrollBar shows and hides it.
  SetScrollRange(ctl, SB_CTL, 0, 0, TRUE);
  EXPECT_TRUE(IsWindowVisible(ctl));
  EXPECT_TRUE(ShowScrollBar(ctl, SB_CTL, FALSE));
  EXPECT_FALSE(IsWindowVisible(ctl));
  EXPECT_TRUE(ShowScrollBar(ctl, SB_CTL, TRUE));
  EXPECT_TRUE(IsWindowVisible(ctl));
  // SB_CTL on a window that is no scroll bar changes nothing of its own bars.
  EXPECT_EQ(SetScrollPos(main, SB_CTL, 5, FALSE), 0);
  EXPECT_EQ(GetScrollPos(main, SB_VERT), 0);
  // A window made without a bar has none to ask about, until one is set.
  min = max = -1;
  EXPECT_TRUE(GetScrollRange(main, SB_VERT, &min, &max));
  EXPECT_EQ(max, 0);
  EXPECT_FALSE(GetScrollInfo(main, SB_VERT, &got));
  SetScrollRange(main, SB_VERT, 0, 5, FALSE);
  EXPECT_TRUE(GetScrollInfo(main, SB_VERT, &got));
  // A window too narrow for its bar shows none and keeps its width.
  HWND thin = CreateWindowExA(0, "White", "Thin", WS_POPUP | WS_VSCROLL, 0, 0, 10, 100, nullptr, nullptr, nullptr,
                              nullptr);
  RECT client{};
  GetClientRect(thin, &client);
  EXPECT_EQ(client.Right, 10);
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof bar;
  ASSERT_TRUE(GetScrollBarInfo(thin, OBJID_VSCROLL, &bar));
  EXPECT_NE(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE, 0u);
  DestroyWindow(thin);
}

TEST_F(ScrollBarControlTest, TheParentHearsTheMouseWithTheControlsHandle) {
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
  SetScrollInfo(ctl, SB_CTL, &si, TRUE);
  // The down arrow: the bottom 16 pixels.
  test::MouseMove({110 + 8, 60 + 92});
  test::MouseDown();
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_EQ(scrolls, Seq({"LINEDOWN", "ENDSCROLL"}));
  EXPECT_EQ(GetScrollPos(ctl, SB_CTL), 1);
}

TEST_F(ScrollBarControlTest, DrawsAsAWindowsStandardBar) {
  // A window whose standard bar has the control's place and values.
  HWND win = Child(main, "Bar", R(100, 10, 116, 110), WS_VSCROLL, 0, "Recorder");
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 20, 40, 0};
  SetScrollInfo(ctl, SB_CTL, &si, TRUE);
  SetScrollInfo(win, SB_VERT, &si, TRUE);
  // The parent clips no children: its own pending paint (the new child
  // made it due) goes first, or its background would cover the bar.
  test::PumpUntilIdle();
  RedrawWindow(win, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  test::PumpUntilIdle();
  auto differences = [&](int height) {
    int diff = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < 16; ++x) diff += Held({10 + x, 10 + y}) != Held({100 + x, 10 + y});
    return diff;
  };
  EXPECT_EQ(differences(100), 0);
  EXPECT_EQ(Held({10 + 8, 10 + 50}), GetSysColor(COLOR_BTNFACE)) << "the thumb is drawn";
  EXPECT_EQ(Held({10 + 8, 10 + 20}), Held({10 + 9, 10 + 21})) << "the classic dithered shaft";
  EXPECT_NE(Held({10 + 8, 10 + 20}), Held({10 + 9, 10 + 20}));
  // Grown, every part moves along.
  MoveWindow(ctl, 10, 10, 16, 130, TRUE);
  MoveWindow(win, 100, 10, 16, 130, TRUE);
  test::PumpUntilIdle();
  EXPECT_EQ(differences(130), 0);
}

TEST_F(ScrollBarControlTest, TheParentMayColourTheShaft) {
  HBRUSH red = CreateSolidBrush(kRed);
  HWND asked = nullptr;
  rec.handlers["Main"] = [&](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m != WM_CTLCOLORSCROLLBAR) return std::nullopt;
    asked = reinterpret_cast<HWND>(l);
    return reinterpret_cast<LRESULT>(red);
  };
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 20, 0, 0};
  SetScrollInfo(ctl, SB_CTL, &si, TRUE);
  EXPECT_EQ(asked, ctl);
  EXPECT_EQ(Held({10 + 8, 10 + 60}), kRed);
  EXPECT_NE(Held({10 + 8, 10 + 20}), kRed) << "the thumb is not shaft";
  DestroyWindow(ctl);
  DeleteObject(red);
}
