// The painter-drawn scroll bar: part rectangles in the corner cases, a page
// that covers the whole range, auto-repeat timing on the fake clock, thumb
// dragging with its tolerance, parameters that change nothing, and a
// contact sheet of every look-and-feel kind and state (scrollbars.png in
// the test's folder).
#include <climits>
#include <set>
#include <string>
#include <vector>

#include "ControlsSession.h"
#include "library/foundation/cxScrollBar.h"
#include "platform/gdi/Blits.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/PngWriter.h"
#include "platform/rtl/Owned.h"
#include "platform/theme/ThemeState.h"
#include "platform/theme/ThemeTestMode.h"
#include "platform/win/Paint.h"
#include "platform/win/WindowDC.h"

namespace {

const char* const kCodes[] = {"line up", "line down", "page up", "page down", "position",
                              "track",   "top",       "bottom",  "end"};

class cxScrollBarTest : public ControlsSession {
 protected:
  TcxScrollBar* bar = nullptr;
  std::vector<std::string> log;

  void SetUp() override {
    ControlsSession::SetUp();
    ShowForm();
    bar = Place<TcxScrollBar>({10, 10, 210, 27});
    bar->OnScroll = [this](TObject*, TScrollCode Code, Integer& Pos) {
      log.push_back(std::string(kCodes[Code]) + " " + std::to_string(Pos));
    };
    win::test::PumpUntilIdle();
  }
  // A vertical bar of the system width at (x, y): turning a bar swaps its
  // sides, so its place is set after.
  TcxScrollBar* PlaceVertical(Integer x, Integer y, Integer height) {
    auto* b = Place<TcxScrollBar>({x, y, x + 17, y + height});
    b->SetKind(sbVertical);
    b->SetBounds(x, y, 17, height);
    return b;
  }
  void Down(TPoint p) {
    win::test::MouseMove(bar->GetHandle(), p);
    win::test::MouseDown();
    win::test::PumpUntilIdle();
  }
  void MoveTo(TPoint p) {
    win::test::MouseMove(bar->GetHandle(), p);
    win::test::PumpUntilIdle();
  }
  void Up() {
    win::test::MouseUp();
    win::test::PumpUntilIdle();
  }
};

}  // namespace

TEST_F(cxScrollBarTest, PartRectanglesInTheCornerCases) {
  // 200 x 17: arrows of the system size, a thumb for a page of 10 in 0..99.
  bar->SetScrollParams(0, 99, 0, 10);
  EXPECT_EQ(bar->GetLineUpRect(), (TRect{0, 0, 16, 17}));
  EXPECT_EQ(bar->GetLineDownRect(), (TRect{184, 0, 200, 17}));
  EXPECT_EQ(bar->GetThumbnailRect(), (TRect{16, 0, 33, 17}));  // 10/100 of 168, rounded
  EXPECT_EQ(bar->GetPageDownRect(), (TRect{33, 0, 184, 17}));

  // Nothing to scroll: no thumb, the whole track is page.
  bar->SetScrollParams(5, 5, 5, 1);
  EXPECT_TRUE(cxRectIsEmpty(bar->GetThumbnailRect()));
  EXPECT_EQ(bar->GetScrollBarPart({100, 8}), sbpNone);

  // Shorter than two arrows: two half-length arrows and no thumb.
  bar->SetScrollParams(0, 99, 0, 10);
  bar->SetBounds(10, 10, 20, 17);
  EXPECT_EQ(bar->GetLineUpRect(), (TRect{0, 0, 10, 17}));
  EXPECT_EQ(bar->GetLineDownRect(), (TRect{10, 0, 20, 17}));
  EXPECT_TRUE(cxRectIsEmpty(bar->GetThumbnailRect()));

  // A track shorter than the smallest thumb: no thumb.
  bar->SetBounds(10, 10, 39, 17);
  EXPECT_TRUE(cxRectIsEmpty(bar->GetThumbnailRect()));
  bar->SetBounds(10, 10, 40, 17);
  EXPECT_FALSE(cxRectIsEmpty(bar->GetThumbnailRect()));

  bar->SetKind(sbVertical);
  EXPECT_EQ(bar->GetWidth(), 17);
  EXPECT_EQ(bar->GetHeight(), 40);
  EXPECT_EQ(bar->GetLineDownRect(), (TRect{0, 24, 17, 40}));
}

TEST_F(cxScrollBarTest, APageCoveringTheWholeRangeKeepsTheThumbOnTheTrackAndThePositionInRange) {
  // The range left to scroll is 0: the thumb fills the track from its start.
  bar->SetScrollParams(5, 14, 5, 10);
  EXPECT_EQ(bar->GetThumbnailRect(), (TRect{16, 0, 184, 17}));
  Down({100, 8});
  MoveTo({150, 8});
  Up();
  EXPECT_EQ(bar->GetPosition(), 5);
  for (const std::string& line : log) EXPECT_EQ(line.substr(line.rfind(' ') + 1), "5") << line;
}

TEST_F(cxScrollBarTest, HoldingAnArrowRepeatsAfter400msThenEvery60msWhileThePointerStaysOnIt) {
  bar->SetScrollParams(0, 1000, 500, 0);
  Down({190, 8});  // the line-down arrow
  EXPECT_EQ(log, std::vector<std::string>{"line down 501"});
  win::test::PumpFor(399);
  EXPECT_EQ(log.size(), 1u);
  win::test::PumpFor(1);
  EXPECT_EQ(log.size(), 2u);
  win::test::PumpFor(120);
  EXPECT_EQ(log.size(), 4u);
  MoveTo({100, 8});  // off the arrow: the repeat pauses
  win::test::PumpFor(300);
  EXPECT_EQ(log.size(), 4u);
  MoveTo({190, 8});
  win::test::PumpFor(60);
  EXPECT_EQ(log.size(), 5u);
  Up();
  EXPECT_EQ(log.back(), "end 505");
  EXPECT_EQ(bar->GetPosition(), 505);
}

TEST_F(cxScrollBarTest, TheDraggedThumbSnapsBackOutsideTheToleranceAndResumesInside) {
  bar->SetScrollParams(0, 99, 0, 10);
  Down({20, 8});
  MoveTo({60, 8});
  const Integer tracked = bar->GetPosition();
  EXPECT_GT(tracked, 0);
  MoveTo({60, 8 + 17 + 137});  // too far below the bar
  EXPECT_EQ(bar->GetPosition(), 0);
  MoveTo({60, 8 + 17 + 100});  // back inside
  EXPECT_EQ(bar->GetPosition(), tracked);
  Up();
  EXPECT_EQ(log.back(), "end " + std::to_string(tracked));

  log.clear();
  bar->SetUnlimitedTracking(true);
  bar->SetPosition(0);
  Down({20, 8});
  MoveTo({60, 400});
  EXPECT_EQ(bar->GetPosition(), tracked);
  Up();
}

TEST_F(cxScrollBarTest, ParametersThatChangeNothingRaiseNoChangeAndBadOnesChangeNothing) {
  int changes = 0;
  bar->OnChange = [&](TObject*) { ++changes; };
  bar->SetScrollParams(0, 50, 10, 5);
  EXPECT_EQ(changes, 1);
  win::test::PumpUntilIdle();
  bar->SetScrollParams(0, 50, 10, 5);
  EXPECT_EQ(changes, 0 + 1);
  win::RECT dirty{};
  EXPECT_FALSE(win::GetUpdateRect(bar->GetHandle(), &dirty, false));

  bar->SetEnabled(false);
  bar->SetPosition(20);  // a position change enables the bar again
  EXPECT_TRUE(bar->GetEnabled());
  EXPECT_EQ(changes, 2);

  try {
    bar->SetScrollParams(10, 5, 7, 0);
    FAIL() << "no error";
  } catch (const EInvalidOperation& E) {
    EXPECT_EQ(E.GetMessage(), "Scrollbar property out of range");
  }
  EXPECT_THROW(bar->SetPageSize(51), EInvalidOperation);
  EXPECT_EQ(bar->GetMin(), 0);
  EXPECT_EQ(bar->GetMax(), 50);
  EXPECT_EQ(bar->GetPageSize(), 5);

  bar->SetLargeChange(0);
  EXPECT_EQ(bar->GetLargeChange(), 1);
  bar->SetLargeChange(70000);
  EXPECT_EQ(bar->GetLargeChange(), 32767);
}

TEST_F(cxScrollBarTest, ARangeAsWideAsIntegerKeepsItsThumbInPlaceAndItsEndsWhereTheyAre) {
  // A step past either end stops there instead of wrapping round to the
  // other end.
  bar->SetScrollParams(0, INT_MAX, INT_MAX - 1, 0);
  Down({190, 8});
  Up();
  Down({190, 8});
  Up();
  EXPECT_EQ(bar->GetPosition(), INT_MAX);
  bar->SetScrollParams(INT_MIN, 0, INT_MIN + 1, 0);
  Down({5, 8});
  Up();
  Down({5, 8});
  Up();
  EXPECT_EQ(bar->GetPosition(), INT_MIN);

  // The whole of Integer: position 0 puts the thumb in the middle of the
  // 168-pixel track, a page of a quarter gives a quarter of the track.
  bar->SetScrollParams(INT_MIN, INT_MAX, 0, 0);
  const TRect middle = bar->GetThumbnailRect();
  EXPECT_EQ(middle.Left - 16, 184 - middle.Right);
  bar->SetScrollParams(INT_MIN, INT_MAX, INT_MIN, 1 << 30);
  EXPECT_EQ(bar->GetThumbnailRect(), (TRect{16, 0, 58, 17}));
  bar->SetPosition(INT_MAX);
  EXPECT_EQ(bar->GetThumbnailRect(), (TRect{142, 0, 184, 17}));

  // Dragged to the start, the thumb gives the first position.
  log.clear();
  Down({150, 8});
  MoveTo({0, 8});
  Up();
  EXPECT_EQ(bar->GetPosition(), INT_MIN);
  EXPECT_EQ(log.back(), "end " + std::to_string(INT_MIN));
}

TEST_F(cxScrollBarTest, ContactSheetOfEveryKindAndState) {
  form->SetBoundsRect({0, 0, 700, 500});
  bar->SetBounds(10, 10, 160, 17);
  bar->SetScrollParams(0, 99, 30, 25);
  auto* vbar = PlaceVertical(190, 10, 100);
  vbar->SetScrollParams(0, 99, 60, 25);
  win::test::PumpUntilIdle();

  constexpr Integer kCellW = 230, kCellH = 120;
  const char* const states[] = {"normal", "hot arrow", "pressed thumb", "pressed page", "disabled"};
  const TcxLookAndFeelKind kinds[] = {lfFlat, lfStandard, lfUltraFlat, lfOffice11};
  TOwned<TBitmap> sheet(New<TBitmap>());
  sheet->SetPixelFormat(pf32bit);
  sheet->SetSize(kCellW * 5, kCellH * 5);

  auto snap = [&](Integer col, Integer row) {
    win::test::PumpUntilIdle();
    for (TcxScrollBar* b : {bar, vbar}) {
      win::HDC dc = win::GetDC(b->GetHandle());
      win::BitBlt(sheet->GetCanvas()->GetHandle(), col * kCellW + b->GetLeft(), row * kCellH + b->GetTop(),
                  b->GetWidth(), b->GetHeight(), dc, 0, 0, win::SRCCOPY);
      win::ReleaseDC(b->GetHandle(), dc);
    }
  };
  for (Integer row = 0; row < 5; ++row) {
    const bool native = row == 4;
    for (TcxScrollBar* b : {bar, vbar}) {
      b->GetLookAndFeel()->SetKind(native ? lfStandard : kinds[row]);
      b->GetLookAndFeel()->SetNativeStyle(native);
    }
    for (Integer col = 0; col < 5; ++col) {
      const std::string state = states[col];
      win::test::MouseMove({650, 450});
      win::test::PumpUntilIdle();
      if (state == "hot arrow") {
        MoveTo({150, 8});
        win::test::MouseMove(vbar->GetHandle(), {8, 5});
      } else if (state == "pressed thumb") {
        Down({bar->GetThumbnailRect().Left + 5, 8});
      } else if (state == "pressed page") {
        win::test::MouseMove(vbar->GetHandle(), {8, 95});  // over the page-down area, pressed
        win::test::PumpUntilIdle();
        vbar->Perform(win::WM_LBUTTONDOWN, win::MK_LBUTTON, win::MAKELPARAM(8, 80));
      } else if (state == "disabled") {
        bar->SetEnabled(false);
        vbar->SetEnabled(false);
      }
      snap(col, row);
      if (state == "pressed thumb") Up();
      if (state == "pressed page") vbar->Perform(win::WM_LBUTTONUP, 0, win::MAKELPARAM(8, 80));
      bar->SetEnabled(true);
      vbar->SetEnabled(true);
      bar->SetScrollParams(0, 99, 30, 25);
      vbar->SetScrollParams(0, 99, 60, 25);
      win::test::PumpFor(600);
    }
  }
  EXPECT_TRUE(win::SaveBitmapPng(sheet->GetHandle(), "scrollbars.png"));
  // The disabled bars have no thumb; the others show one.
  EXPECT_FALSE(cxRectIsEmpty(bar->GetThumbnailRect()));
}

TEST_F(cxScrollBarTest, AThemedThumbIsNoShorterThanItsGripperNeeds) {
  auto* vbar = PlaceVertical(0, 0, 200);
  EXPECT_EQ(bar->GetMinThumbnailSize(), 8);
  win::test::StartThemeCallLog();
  bar->GetLookAndFeel()->SetNativeStyle(true);
  vbar->GetLookAndFeel()->SetNativeStyle(true);
  std::vector<int> parts;
  for (const auto& c : win::test::ThemeCalls())
    if (c.Function == "GetThemePartSize") parts.push_back(c.Part);
  win::test::StopThemeCallLog();
  // The gripper of a horizontal thumb is part 8, of a vertical one part 9;
  // asked for the least and the true size.
  EXPECT_EQ(parts, (std::vector<int>{8, 8, 9, 9}));
  // The true size of 8 and 4 pixels around it.
  EXPECT_EQ(bar->GetMinThumbnailSize(), 12);
  EXPECT_EQ(vbar->GetMinThumbnailSize(), 12);
}

// The bar's buffer follows its size when painted: a bar painted, grown
// and turned over shows on screen exactly what a bar made at the new size
// and kind shows.
TEST_F(cxScrollBarTest, ABarResizedAfterItsFirstPaintPaintsWhatANewBarOfThatSizePaints) {
  form->SetBoundsRect({0, 0, 400, 400});
  bar->SetScrollParams(0, 99, 30, 25);
  win::test::PumpUntilIdle();  // painted at 200 x 17
  bar->SetKind(sbVertical);
  bar->SetBounds(10, 10, 17, 300);
  auto* fresh = PlaceVertical(40, 10, 300);
  fresh->SetScrollParams(0, 99, 30, 25);
  win::test::PumpUntilIdle();

  auto pixels = [](TcxScrollBar* b) {
    std::vector<COLORREF> out;
    win::HDC dc = win::GetDC(b->GetHandle());
    for (Integer y = 0; y < b->GetHeight(); ++y)
      for (Integer x = 0; x < b->GetWidth(); ++x) out.push_back(win::GetPixel(dc, x, y));
    win::ReleaseDC(b->GetHandle(), dc);
    return out;
  };
  const std::vector<COLORREF> resized = pixels(bar), made = pixels(fresh);
  ASSERT_EQ(resized.size(), 17u * 300u);
  EXPECT_EQ(resized, made);
  // The arrow at the far end of the grown bar was drawn, not left blank.
  std::set<COLORREF> arrow(resized.end() - 16 * 17, resized.end());
  EXPECT_GE(arrow.size(), 2u);
}
