// The non-client area: client rectangles for each border style, the frame
// pixels DefWindowProc draws, and the standard scroll bars: their
// messages from mouse clicks with auto-repeat on the fake clock, thumb
// tracking, and the rectangles and states GetScrollBarInfo reports.
#include <climits>

#include "platform/win/Focus.h"
#include "platform/win/Mouse.h"
#include "platform/win/ScrollBars.h"
#include "platform/win/Timers.h"
#include "PaintFixture.h"

using namespace win;
using namespace wintest;

namespace {

SIZE ClientSize(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  return {r.Width(), r.Height()};
}

TEST_F(PaintTest, ClientRectangleOfEachBorderStyle) {
  struct Case {
    DWORD style, ex;
    SIZE client;
    POINT origin;
  };
  const Case cases[] = {
      {0, 0, {100, 80}, {0, 0}},
      {WS_BORDER, 0, {98, 78}, {1, 1}},
      {0, WS_EX_CLIENTEDGE, {96, 76}, {2, 2}},
      {WS_BORDER, WS_EX_CLIENTEDGE, {94, 74}, {3, 3}},
      {WS_DLGFRAME, 0, {94, 74}, {3, 3}},
      {WS_VSCROLL, 0, {84, 80}, {0, 0}},
      {WS_VSCROLL | WS_HSCROLL, 0, {84, 64}, {0, 0}},
      {WS_VSCROLL | WS_BORDER, WS_EX_CLIENTEDGE, {78, 74}, {3, 3}},
  };
  for (const Case& c : cases) {
    HWND h = Child(main, "Framed", R(10, 10, 110, 90), c.style, c.ex);
    EXPECT_EQ(ClientSize(h), c.client) << std::hex << c.style << " " << c.ex;
    POINT p{0, 0};
    MapWindowPoints(h, main, &p, 1);
    EXPECT_EQ(p, (POINT{10 + c.origin.X, 10 + c.origin.Y})) << std::hex << c.style << " " << c.ex;
    DestroyWindow(h);
  }
}

TEST_F(PaintTest, FrameBorderClientEdgeAndScrollBarsArePainted) {
  Child(main, "Framed", R(10, 10, 110, 90), WS_BORDER | WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE);
  test::PumpUntilIdle();
  const COLORREF face = RGB(212, 208, 200), shadow = RGB(128, 128, 128), dark = RGB(64, 64, 64);
  EXPECT_EQ(Held({10, 10}), kBlack);    // border: window frame colour
  EXPECT_EQ(Held({109, 89}), kBlack);
  EXPECT_EQ(Held({11, 11}), shadow);    // sunken edge, outer then inner
  EXPECT_EQ(Held({12, 12}), dark);
  EXPECT_EQ(Held({108, 88}), kWhite);
  EXPECT_EQ(Held({107, 87}), face);
  // Bars inside the edge: vertical x 91..107, y 13..71; horizontal below.
  EXPECT_EQ(Held({99, 79}), face);      // the corner between them
  COLORREF a = Held({95, 50}), b = Held({96, 50});  // below the thumb
  EXPECT_NE(a, b);                      // the shaft's dither
  EXPECT_TRUE((a == kWhite && b == face) || (a == face && b == kWhite));
  // The thumb: default range 0..100 at 0, 16 pixels below the up arrow.
  EXPECT_EQ(Held({92, 30}), kWhite);    // raised edge
  EXPECT_EQ(Held({106, 44}), dark);
  EXPECT_EQ(Held({105, 43}), shadow);
  EXPECT_EQ(Shown({106, 44}), dark);
  // A disabled bar loses its thumb: only the dither remains there.
  EnableScrollBar(GetWindow(main, GW_CHILD), SB_VERT, ESB_DISABLE_BOTH);
  EXPECT_NE(Held({106, 44}), dark);
}

// A bar drawn again as its thumb moves and grows (the arrows left as they
// are, the shaft filled around the thumb) looks at each step as a fresh
// bar that was given that state before it was first painted.
TEST_F(PaintTest, ABarRedrawnAsItsThumbMovesLooksAsAFreshOne) {
  HWND stepped = Child(main, "Framed", R(0, 0, 100, 80), WS_VSCROLL | WS_HSCROLL);
  test::PumpUntilIdle();
  auto set = [](HWND h, int max, int page, int pos) {
    for (int bar : {SB_VERT, SB_HORZ}) {
      SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, max, static_cast<UINT>(page),
                    pos, 0};
      SetScrollInfo(h, bar, &si, TRUE);
    }
  };
  // The bars of a 100 x 80 window at x0: x 84..100 and y 64..80.
  auto bars = [&](int x0) {
    std::vector<COLORREF> out;
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 100; ++x)
        if (x >= 84 || y >= 64) out.push_back(Held({x0 + x, y}));
    return out;
  };
  struct Step {
    int max, page, pos;
  };
  const Step steps[] = {{100, 10, 0}, {100, 10, 40}, {100, 30, 40}, {300, 30, 250}, {5, 10, 0}, {100, 10, 90}};
  for (const Step& s : steps) {
    set(stepped, s.max, s.page, s.pos);
    HWND fresh = Child(main, "Framed", R(100, 0, 200, 80), WS_VSCROLL | WS_HSCROLL);
    ShowWindow(fresh, SW_HIDE);
    set(fresh, s.max, s.page, s.pos);
    ShowWindow(fresh, SW_SHOW);
    test::PumpUntilIdle();
    EXPECT_EQ(bars(0), bars(100)) << s.max << " " << s.page << " " << s.pos;
    DestroyWindow(fresh);
  }
}

class ScrollBarTest : public PaintTest {
 protected:
  HWND bar = nullptr;
  std::vector<std::string> codes;
  std::vector<int> trackSeen;

  void SetUp() override {
    PaintTest::SetUp();
    // A window 100 x 100 at screen (110, 60); its bar at x 84..100.
    bar = Child(main, "Bar", R(10, 10, 110, 110), WS_VSCROLL);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
    SetScrollInfo(bar, SB_VERT, &si, TRUE);
    rec.handlers["Bar"] = [this](HWND h, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
      if (m != WM_VSCROLL) return std::nullopt;
      static const char* names[] = {"LINEUP",   "LINEDOWN", "PAGEUP", "PAGEDOWN", "THUMBPOSITION",
                                    "THUMBTRACK", "TOP",    "BOTTOM", "ENDSCROLL"};
      int code = LOWORD(w), pos = GetScrollPos(h, SB_VERT);
      std::string e = names[code];
      if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) e += " " + std::to_string(HIWORD(w));
      codes.push_back(e);
      if (code == SB_LINEDOWN) SetScrollPos(h, SB_VERT, pos + 1, TRUE);
      if (code == SB_LINEUP) SetScrollPos(h, SB_VERT, pos - 1, TRUE);
      if (code == SB_PAGEDOWN) SetScrollPos(h, SB_VERT, pos + 10, TRUE);
      if (code == SB_THUMBTRACK) {
        SCROLLINFO t{sizeof t, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(h, SB_VERT, &t);
        trackSeen.push_back(t.nTrackPos);
      }
      if (code == SB_THUMBPOSITION) SetScrollPos(h, SB_VERT, HIWORD(w), TRUE);
      return 0;
    };
    test::PumpUntilIdle();
  }

  static void PressAt(POINT screen) {
    test::MouseMove(screen);
    test::MouseDown();
  }

  // Lets the button go after ms, from inside the bar's own loop.
  void ReleaseAfter(UINT ms) {
    static UINT_PTR id;
    id = SetTimer(nullptr, 0, ms, [](HWND, UINT, UINT_PTR, DWORD) {
      KillTimer(nullptr, id);
      test::MouseUp();
    });
  }

  static std::vector<std::string> Repeat(const char* s, int n, std::initializer_list<const char*> tail) {
    std::vector<std::string> out(static_cast<std::size_t>(n), s);
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
  }
};

TEST_F(ScrollBarTest, ArrowClickScrollsOnceAndEnds) {
  PressAt({110 + 92, 60 + 92});
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_EQ(codes, Seq({"LINEDOWN", "ENDSCROLL"}));
  EXPECT_EQ(GetScrollPos(bar, SB_VERT), 1);
  EXPECT_EQ(GetCapture(), nullptr);
  // The window heard no mouse message of the bar's own loop.
  for (const auto& e : rec.Take()) EXPECT_EQ(e.find("BUTTONUP"), std::string::npos) << e;
  // A second click as quick is a double click on the frame: it scrolls too.
  codes.clear();
  PressAt({110 + 92, 60 + 92});
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_EQ(codes, Seq({"LINEDOWN", "ENDSCROLL"}));
  EXPECT_EQ(GetScrollPos(bar, SB_VERT), 2);
}

TEST_F(ScrollBarTest, HeldArrowRepeatsAfterTheDelayAtTheRate) {
  ReleaseAfter(950);
  PressAt({110 + 92, 60 + 92});
  test::PumpUntilIdle();
  // At 0, then 400 and every 100 until 900.
  EXPECT_EQ(codes, Repeat("LINEDOWN", 7, {"ENDSCROLL"}));
  EXPECT_EQ(GetScrollPos(bar, SB_VERT), 7);
}

TEST_F(ScrollBarTest, HeldPageStopsWhenTheThumbReachesThePointer) {
  ReleaseAfter(1500);
  PressAt({110 + 92, 60 + 80});
  test::PumpUntilIdle();
  EXPECT_EQ(codes, Repeat("PAGEDOWN", 9, {"ENDSCROLL"}));
  EXPECT_EQ(GetScrollPos(bar, SB_VERT), 90);
}

TEST_F(ScrollBarTest, DisabledArrowIgnoresTheMouse) {
  EnableScrollBar(bar, SB_VERT, ESB_DISABLE_DOWN);
  PressAt({110 + 92, 60 + 92});
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_TRUE(codes.empty());
  PressAt({110 + 92, 60 + 5});
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_EQ(codes, Seq({"LINEUP", "ENDSCROLL"}));
}

TEST_F(ScrollBarTest, DraggingTheThumbTracksThenSetsThePosition) {
  PressAt({110 + 92, 60 + 20});             // thumb 16..24, grabbed 4 below its top
  test::MouseMove({110 + 92, 60 + 50});     // top at 46: 30 of 60 pixels = 45
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_EQ(codes, Seq({"THUMBTRACK 45", "THUMBPOSITION 45", "ENDSCROLL"}));
  EXPECT_EQ(trackSeen, std::vector<int>{45});
  EXPECT_EQ(GetScrollPos(bar, SB_VERT), 45);
  SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
  GetScrollInfo(bar, SB_VERT, &si);
  EXPECT_EQ(si.nTrackPos, 45);  // tracking over: the position itself
}

TEST_F(ScrollBarTest, ARangeAcrossAllTheIntegersKeepsItsPageAndDragsFromEndToEnd) {
  SCROLLINFO wide{sizeof wide, SIF_RANGE | SIF_PAGE | SIF_POS, INT_MIN, INT_MAX, 1u << 31, INT_MIN, 0};
  SetScrollInfo(bar, SB_VERT, &wide, TRUE);
  SCROLLINFO got{sizeof got, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(bar, SB_VERT, &got));
  EXPECT_EQ(got.nPage, 1u << 31);  // half the range's positions
  EXPECT_EQ(got.nPos, INT_MIN);
  SCROLLBARINFO info;
  ASSERT_TRUE(GetScrollBarInfo(bar, OBJID_VSCROLL, &info));
  EXPECT_EQ(info.xyThumbTop, 16);
  EXPECT_EQ(info.xyThumbBottom, 50);  // half the 68-pixel shaft
  // Dragged to the bottom, it tracks to the last position a page leaves.
  PressAt({110 + 92, 60 + 20});
  test::MouseMove({110 + 92, 60 + 95});
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_EQ(trackSeen, std::vector<int>{0});
  EXPECT_EQ(GetScrollPos(bar, SB_VERT), 0);
  GetScrollBarInfo(bar, OBJID_VSCROLL, &info);
  EXPECT_EQ(info.xyThumbBottom, 84);
}

TEST_F(ScrollBarTest, BarInfoRectanglesAndStates) {
  SCROLLBARINFO info;
  ASSERT_TRUE(GetScrollBarInfo(bar, OBJID_VSCROLL, &info));
  EXPECT_EQ(info.rcScrollBar, R(110 + 84, 60, 110 + 100, 160));
  EXPECT_EQ(info.dxyLineButton, 16);
  EXPECT_EQ(info.xyThumbTop, 16);
  EXPECT_EQ(info.xyThumbBottom, 24);  // 68 * 10 / 100 is under the 8-pixel minimum
  EXPECT_EQ(info.rgstate[0], 0u);
  SetScrollPos(bar, SB_VERT, 500, FALSE);  // clamped to max - page + 1
  EXPECT_EQ(GetScrollPos(bar, SB_VERT), 90);
  GetScrollBarInfo(bar, OBJID_VSCROLL, &info);
  EXPECT_EQ(info.xyThumbTop, 76);
  EXPECT_EQ(info.xyThumbBottom, 84);
  // No horizontal bar; a wrong size is refused.
  ASSERT_TRUE(GetScrollBarInfo(bar, OBJID_HSCROLL, &info));
  EXPECT_EQ(info.rgstate[0], STATE_SYSTEM_INVISIBLE);
  SCROLLBARINFO bad;
  bad.cbSize = 12;
  EXPECT_FALSE(GetScrollBarInfo(bar, OBJID_VSCROLL, &bad));

  EXPECT_TRUE(EnableScrollBar(bar, SB_VERT, ESB_DISABLE_BOTH));
  EXPECT_FALSE(EnableScrollBar(bar, SB_VERT, ESB_DISABLE_BOTH));
  GetScrollBarInfo(bar, OBJID_VSCROLL, &info);
  EXPECT_EQ(info.rgstate[0], STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(info.rgstate[1], STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(info.rgstate[3], STATE_SYSTEM_INVISIBLE);
  EnableScrollBar(bar, SB_VERT, ESB_ENABLE_BOTH);

  // A range that fits the page: hidden, or disabled with SIF_DISABLENOSCROLL.
  SCROLLINFO fits{sizeof fits, SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 5, 10, 0, 0};
  SetScrollInfo(bar, SB_VERT, &fits, TRUE);
  GetScrollBarInfo(bar, OBJID_VSCROLL, &info);
  EXPECT_EQ(info.rgstate[0], STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(ClientSize(bar), (SIZE{84, 100}));
  fits.fMask = SIF_RANGE | SIF_PAGE;
  SetScrollInfo(bar, SB_VERT, &fits, TRUE);
  GetScrollBarInfo(bar, OBJID_VSCROLL, &info);
  EXPECT_EQ(info.rgstate[0], STATE_SYSTEM_INVISIBLE);
  EXPECT_EQ(ClientSize(bar), (SIZE{100, 100}));
  // A range that needs scrolling brings the bar back, enabled.
  SetScrollRange(bar, SB_VERT, 0, 200, TRUE);
  GetScrollBarInfo(bar, OBJID_VSCROLL, &info);
  EXPECT_EQ(info.rgstate[0], 0u);
  EXPECT_EQ(ClientSize(bar), (SIZE{84, 100}));
  ShowScrollBar(bar, SB_VERT, FALSE);
  EXPECT_EQ(ClientSize(bar), (SIZE{100, 100}));
  // Hit testing follows: the bar's place is client area again.
  EXPECT_EQ(SendMessageA(bar, WM_NCHITTEST, 0, MAKELPARAM(110 + 92, 60 + 50)), HTCLIENT);
}

}  // namespace
