// A control's own scroll bars: visibility settled against the client room
// the bars take, a layout that would toggle forever, the style and lock,
// line scrolling by wheel, and the middle-button full-scroll mode driven
// on the fake clock.
#include <climits>
#include <string>
#include <vector>

#include "ControlsSession.h"
#include "library/foundation/cxControls.h"
#include "library/foundation/cxScrollBar.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/Clock.h"
#include "platform/win/Keyboard.h"
#include <functional>

namespace {

// Content of a given size, scrolled by pixels.
class TCanvasView : public TcxControl {
  ORV_CLASS(TCanvasView, TcxControl)
 public:
  explicit TCanvasView(TComponent* AOwner) : TcxControl(AOwner) {}
  TSize Content{0, 0};
  TPoint Origin{0, 0};
  bool Pixel = true;
  bool Toggling = false;
  bool Wide = false;
  int Inits = 0;
  std::vector<std::string> Log;
  std::function<void()> OnScrolled;

 protected:
  void InitScrollBarsParameters() override {
    ++Inits;
    if (Toggling) {
      // Needs the bar exactly while it is not on screen.
      SetScrollBarInfo(sbVertical, 0, 99, 1, 10, 0, true, true);
      if (GetVScrollBar()->GetVisible()) SetScrollBarInfo(sbVertical, 0, 99, 1, 200, 0, true, true);
      return;
    }
    const TRect r = GetClientBounds();
    if (Wide) {
      // Ranges of every position Integer has from 0, and of all of them.
      SetScrollBarInfo(sbHorizontal, 0, INT_MAX, 1, r.Width(), 0, true, true);
      SetScrollBarInfo(sbVertical, INT_MIN, INT_MAX, 1, r.Height(), 0, true, true);
      return;
    }
    SetScrollBarInfo(sbHorizontal, 0, Content.cx - 1, 1, r.Width(), Origin.X, true, true);
    SetScrollBarInfo(sbVertical, 0, Content.cy - 1, 1, r.Height(), Origin.Y, true, true);
  }
  bool IsPixelScrollBar(TScrollBarKind) override { return Pixel; }
  void Scroll(TScrollBarKind Kind, TScrollCode Code, Integer& Pos) override {
    Log.push_back(std::string(Kind == sbHorizontal ? "h " : "v ") + (Code == scLineUp ? "up " : "down ") +
                  std::to_string(Pos));
    if (OnScrolled) OnScrolled();
  }
};

class cxControlScrollBars : public ControlsSession {
 protected:
  TCanvasView* view = nullptr;
  void SetUp() override {
    ControlsSession::SetUp();
    ShowForm();
    view = Place<TCanvasView>({10, 10, 210, 110});  // 200 x 100
    win::test::PumpUntilIdle();
  }
  void Layout(TSize content) {
    view->Content = content;
    view->UpdateScrollBars();
    win::test::PumpUntilIdle();
  }
  std::string Bars() {
    auto state = [](TcxScrollBar* b) {
      return std::string(!b->GetVisible() ? "hidden" : (b->GetEnabled() ? "shown" : "disabled"));
    };
    return state(view->GetHScrollBar()) + "/" + state(view->GetVScrollBar());
  }
};

}  // namespace
ORV_REGISTER(TCanvasView)

TEST_F(cxControlScrollBars, BarsShowWhereTheContentDoesNotFitAndTakeClientRoom) {
  Layout({150, 80});
  EXPECT_EQ(Bars(), "hidden/hidden");
  Layout({150, 300});
  EXPECT_EQ(Bars(), "hidden/shown");
  EXPECT_EQ(view->GetClientBounds(), (TRect{0, 0, 184, 100}));
  EXPECT_EQ(view->GetVScrollBar()->GetBoundsRect(), (TRect{184, 0, 200, 100}));
  // Wider than the room the vertical bar leaves: both, and the grip.
  Layout({190, 300});
  EXPECT_EQ(Bars(), "shown/shown");
  EXPECT_TRUE(view->GetSizeGrip()->GetVisible());
  EXPECT_EQ(view->GetSizeGrip()->GetBoundsRect(), (TRect{184, 84, 200, 100}));
  EXPECT_EQ(view->GetVScrollBar()->GetPageSize(), 84);
  EXPECT_EQ(view->GetVScrollBar()->GetLargeChange(), 84);
}

TEST_F(cxControlScrollBars, ARangeAsWideAsIntegerShowsItsBars) {
  view->Wide = true;
  view->UpdateScrollBars();
  win::test::PumpUntilIdle();
  EXPECT_EQ(Bars(), "shown/shown");
  EXPECT_EQ(view->GetHScrollBar()->GetMax(), INT_MAX);
  EXPECT_EQ(view->GetVScrollBar()->GetMin(), INT_MIN);
}

TEST_F(cxControlScrollBars, StyleLockAndPositionRules) {
  view->SetScrollBars(ssNone);
  Layout({1000, 1000});
  EXPECT_EQ(Bars(), "hidden/hidden");
  view->SetScrollBars(ssVertical);
  EXPECT_EQ(Bars(), "hidden/shown");
  view->SetScrollBars(ssBoth);

  // A position below the minimum means the bar is not needed.
  view->Origin = {0, -5};
  Layout({100, 1000});
  EXPECT_EQ(Bars(), "hidden/hidden");
  view->Origin = {};

  view->Inits = 0;
  view->LockScrollBars();
  view->LockScrollBars();
  view->UpdateScrollBars();
  view->UpdateScrollBars();
  view->UnlockScrollBars();
  EXPECT_EQ(view->Inits, 0);
  view->UnlockScrollBars();
  EXPECT_GT(view->Inits, 0);
  const int once = view->Inits;
  view->UnlockScrollBars();  // nothing more
  EXPECT_EQ(view->Inits, once);
}

TEST_F(cxControlScrollBars, ALayoutThatWouldToggleForeverEndsWithTheBarShownDisabled) {
  view->Toggling = true;
  view->UpdateScrollBars();
  win::test::PumpUntilIdle();
  EXPECT_EQ(Bars(), "hidden/disabled");
}

TEST_F(cxControlScrollBars, TheWheelScrollsLinesOnlyWithAVerticalBar) {
  Layout({100, 1000});
  view->Log.clear();
  view->Perform(win::WM_MOUSEWHEEL, win::MAKEWPARAM(0, static_cast<win::WORD>(-120)), 0);
  EXPECT_EQ(view->Log, (std::vector<std::string>{"v down 0", "v down 0", "v down 0"}));
  Layout({1000, 50});  // a horizontal bar only: the wheel goes on
  view->Log.clear();
  int parent = 0;
  form->OnMouseWheel = [&](TObject*, TShiftState, Integer, TPoint, bool& Handled) {
    ++parent;
    Handled = true;
  };
  view->Perform(win::WM_MOUSEWHEEL, win::MAKEWPARAM(0, 120), 0);
  EXPECT_TRUE(view->Log.empty());
  EXPECT_EQ(parent, 1);
}

TEST_F(cxControlScrollBars, FullScrollWithAHorizontalBarScrollsSidewaysAtTheSpeedOfTheDistance) {
  Layout({1000, 50});
  ASSERT_EQ(Bars(), "shown/hidden");
  const TPoint anchor = view->ClientToScreen({100, 40});
  win::test::MouseMove(anchor);
  win::test::PumpUntilIdle();

  std::vector<std::uint64_t> times;
  view->OnScrolled = [&] {
    times.push_back(Clock::Milliseconds());
    if (times.size() == 3) win::test::MouseDown(win::VK_LBUTTON);  // any other button ends the mode
  };
  // Down-right, mostly down: with one bar only the sideways part counts:
  // 29 px is speed (29 - 14) div 5 + 1 = 4, a line every 13 - 4 = 9 ticks.
  win::test::OnNextModalLoop([&] {
    EXPECT_TRUE(view->GetIsScrollingContent());
    EXPECT_EQ(Screen->GetCursor(), crcxHorScroll);
    win::test::MouseMove({anchor.X + 29, anchor.Y + 100});
  });
  win::test::MouseDown(win::VK_MBUTTON);
  win::test::PumpUntilIdle();
  win::test::MouseUp(win::VK_MBUTTON);
  win::test::MouseUp(win::VK_LBUTTON);
  win::test::PumpUntilIdle();

  EXPECT_FALSE(view->GetIsScrollingContent());
  EXPECT_EQ(view->Log, (std::vector<std::string>{"h down 0", "h down 0", "h down 0"}));
  ASSERT_EQ(times.size(), 3u);
  EXPECT_EQ(times[1] - times[0], 180u);
  EXPECT_EQ(times[2] - times[1], 180u);
  EXPECT_EQ(win::test::Capture(), nullptr);
  EXPECT_EQ(Screen->GetCursor(), crDefault);
}

TEST_F(cxControlScrollBars, EscEndsFullScrollAndAModeWithoutBarsNeverStarts) {
  Layout({100, 50});
  win::test::MouseMove(view->ClientToScreen({50, 50}));
  win::test::MouseDown(win::VK_MBUTTON);
  win::test::PumpUntilIdle();  // no bars: no loop to wait in
  win::test::MouseUp(win::VK_MBUTTON);
  win::test::PumpUntilIdle();
  EXPECT_FALSE(view->GetIsScrollingContent());

  Layout({100, 1000});
  win::test::OnNextModalLoop([] { win::test::KeyPress(win::VK_ESCAPE); });
  win::test::MouseDown(win::VK_MBUTTON);
  win::test::PumpUntilIdle();
  win::test::MouseUp(win::VK_MBUTTON);
  win::test::PumpUntilIdle();
  EXPECT_FALSE(view->GetIsScrollingContent());
  EXPECT_TRUE(view->Log.empty());
}
