#include "library/grid/container/cxInplaceContainerDragAndDrop.h"

#include <cstdlib>

#include "library/grid/VGridSession.h"
#include "platform/forms/Bitmap.h"
#include "platform/gdi/Fills.h"
#include "platform/rtl/Owned.h"
#include "platform/win/Hooks.h"
#include "platform/win/Messages.h"
#include "platform/win/WindowDC.h"

namespace {

using DragImages = vgrid_test::Session;

// The screen's own picture: every pixel tells where it is.
TColor Pattern(int x, int y) { return static_cast<TColor>(win::RGB(x % 256, y % 256, 90)); }

void PaintPattern(win::HDC dc, const TRect& R) {
  for (int y = R.Top; y < R.Bottom; ++y)
    for (int x = R.Left; x < R.Right; ++x) win::SetPixel(dc, x, y, Pattern(x, y));
}

// Red at alpha 200 over the pattern, within rounding.
bool Blended(win::HDC dc, int x, int y) {
  const TColor under = Pattern(x, y), got = static_cast<TColor>(win::GetPixel(dc, x, y));
  auto near = [](int got, int src, int dst) { return std::abs(got - (src * 200 + dst * 55) / 255) <= 1; };
  return near(win::GetRValue(got), 255, win::GetRValue(under)) && near(win::GetGValue(got), 0, win::GetGValue(under)) &&
         near(win::GetBValue(got), 0, win::GetBValue(under));
}

bool Untouched(win::HDC dc, int x, int y) { return static_cast<TColor>(win::GetPixel(dc, x, y)) == Pattern(x, y); }

// The image saves what lies under it, blends itself over it, and moves by
// copying only the strips it uncovers and covers: pixels under the shared
// part are never written twice, a move of nothing writes nothing, and a
// jump too far for any overlap restores the old place whole.
TEST_F(DragImages, TheImageBlendsOverTheScreenAndMovesByStrips) {
  win::HDC screen = win::GetDC(nullptr);
  PaintPattern(screen, {0, 0, 200, 200});
  {
    TcxDragImage image;
    image.Init(20, 10);
    image.GetImage()->GetCanvas()->GetBrush()->SetColor(clRed);
    image.GetImage()->GetCanvas()->FillRect({0, 0, 20, 10});

    image.Show({50, 50});
    EXPECT_TRUE(Blended(screen, 50, 50));
    EXPECT_TRUE(Blended(screen, 69, 59));
    EXPECT_TRUE(Untouched(screen, 70, 59));
    EXPECT_TRUE(Untouched(screen, 49, 50));

    // Something drawn over the image stays through a move of nothing.
    win::SetPixel(screen, 60, 55, win::RGB(0, 0, 255));
    image.Move({50, 50}, {50, 50});
    EXPECT_EQ(win::GetPixel(screen, 60, 55), win::RGB(0, 0, 255));

    // Three right, two down: the uncovered strips get the pattern back.
    image.Move({50, 50}, {53, 52});
    for (int y = 50; y < 60; ++y) EXPECT_TRUE(Untouched(screen, 52, y)) << y;
    for (int x = 50; x < 70; ++x) EXPECT_TRUE(Untouched(screen, x, 51)) << x;
    EXPECT_TRUE(Blended(screen, 53, 52));
    EXPECT_TRUE(Blended(screen, 72, 61));
    EXPECT_TRUE(Blended(screen, 60, 55)) << "the shared part is blended over the saved pattern";
    EXPECT_TRUE(Untouched(screen, 73, 61));

    // Far away: nothing overlaps, the old place comes back whole.
    image.Move({53, 52}, {120, 130});
    for (int y = 52; y < 62; ++y)
      for (int x = 53; x < 73; ++x) ASSERT_TRUE(Untouched(screen, x, y)) << x << "," << y;
    EXPECT_TRUE(Blended(screen, 120, 130));
    EXPECT_TRUE(Blended(screen, 139, 139));

    image.Hide({120, 130});
    EXPECT_TRUE(Untouched(screen, 120, 130));
    EXPECT_TRUE(Untouched(screen, 139, 139));
  }
  win::ReleaseDC(nullptr, screen);
}

// A drag between controls shows its image through a thread mouse hook that
// exists only while the drag runs: the first button release, the right one
// included, takes the image and the hook away.
TEST_F(DragImages, TheFirstButtonReleaseEndsThePlatformDragImage) {
  const Int64 baseline = Baseline();
  TTestVerticalGrid* grid = NewGrid();
  grid->SetBounds(8, 8, 240, 200);
  grid->GetOptionsBehavior()->SetDragDropImages(true);
  Pump();
  const int hooks = win::test::HookCount(win::WH_MOUSE);
  // What each move over the grid finds while the drag runs.
  std::vector<std::string> seen;
  struct Watch : TObject {
    std::vector<std::string>* Seen = nullptr;
    TTestVerticalGrid* Grid = nullptr;
    int Hooks = 0;
    void DragOver(TObject*, TObject*, Integer, Integer, TDragState, bool& Accept) {
      Accept = false;
      Seen->push_back(std::string(Grid->GetDragImageHelper() ? "image" : "no image") + ", hook " +
                      std::to_string(win::test::HookCount(win::WH_MOUSE) - Hooks));
    }
  };
  TOwned<Watch> watch(New<Watch>());
  watch->Seen = &seen;
  watch->Grid = grid;
  watch->Hooks = hooks;
  grid->OnDragOver = TDragOverEvent::Bind<&Watch::DragOver>(watch.get());
  win::test::MouseMove(grid->GetHandle(), {40, 40});
  win::test::OnNextModalLoop([&] {
    win::test::MouseMove(grid->GetHandle(), {60, 50});
    // A release of the right button alone: the drag goes on, its image
    // and hook do not.
    win::test::MouseUp(win::VK_RBUTTON);
    win::test::MouseMove(grid->GetHandle(), {70, 60});
    win::test::KeyPress(win::VK_ESCAPE);
  });
  grid->BeginDrag(true);
  Pump();
  EXPECT_FALSE(grid->Dragging());
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen.front(), "image, hook 1");
  EXPECT_EQ(seen.back(), "no image, hook 0");
  EXPECT_EQ(cxDragImageControl(), nullptr);
  grid->OnDragOver = nullptr;
  watch.reset();
  grid->Free();
  Pump();
  EXPECT_EQ(TObject::LiveCount(), baseline);
}

}  // namespace

namespace {

// What a sizing drag applied, in order.
class TSizingRecorder : public TObject, public IcxDragSizing {
  ORV_CLASS(TSizingRecorder, TObject)
 public:
  bool Dynamic = false;
  Integer Increment = 1;
  std::vector<Integer> Applied;
  bool CanSizing(TcxDragSizingDirection) override { return true; }
  TRect GetSizingBoundsRect(TcxDragSizingDirection) override { return {10, 0, 200, 150}; }
  Integer GetSizingIncrement(TcxDragSizingDirection) override { return Increment; }
  bool IsDynamicUpdate() override { return Dynamic; }
  void SetSizeDelta(TcxDragSizingDirection, Integer ADelta) override { Applied.push_back(ADelta); }
};

ORV_REGISTER(TSizingRecorder)

class Sizing : public vgrid_test::Session {
 protected:
  TTestVerticalGrid* grid = nullptr;
  TSizingRecorder* recorder = nullptr;
  void SetUp() override {
    Session::SetUp();
    grid = NewGrid();
    grid->SetBounds(8, 8, 240, 160);
    recorder = New<TSizingRecorder>();
    grid->GetController()->DragItem = recorder;
    Pump();
  }
  void TearDown() override {
    grid->GetController()->DragItem = nullptr;
    recorder->Free();
    Session::TearDown();
  }
  // A drag from x = 100 through the points given, ended as asked.
  TcxSizingDragAndDropObject* Begin() {
    win::test::MouseMove(grid->GetHandle(), {100, 50});
    auto* drag = New<TcxSizingDragAndDropObject>(grid);
    drag->DoBeginDragAndDrop();
    return drag;
  }
  void Move(TcxSizingDragAndDropObject* ADrag, Integer X) {
    bool accepted = true;
    ADrag->DoDragAndDrop({X, 50}, accepted);
  }
  TColor Pixel(Integer X) {
    win::HDC dc = win::GetDC(grid->GetHandle());
    const auto color = static_cast<TColor>(win::GetPixel(dc, X, 20));
    win::ReleaseDC(grid->GetHandle(), dc);
    return color;
  }
};

// Without live update the drag shows an inverted line that moves by
// inverting twice, stays put outside the sizing bounds and is applied
// once, as the nearest whole step, on release; a release where it started
// and a drag ended by Escape apply nothing.
TEST_F(Sizing, TheInvertedLineIsAppliedOnceOnRelease) {
  const TColor face = Pixel(60);
  TcxSizingDragAndDropObject* drag = Begin();
  EXPECT_NE(Pixel(99), face) << "the line starts under the pointer";
  Move(drag, 130);
  EXPECT_EQ(Pixel(99), face);
  EXPECT_NE(Pixel(129), face);
  Move(drag, 250);
  EXPECT_NE(Pixel(129), face) << "outside the bounds the line stays";
  EXPECT_EQ(drag->GetDragPosition().X, 130);
  drag->DoEndDragAndDrop(true);
  drag->Free();
  EXPECT_EQ(Pixel(129), face);
  EXPECT_EQ(recorder->Applied, std::vector<Integer>{30});

  recorder->Applied.clear();
  drag = Begin();
  Move(drag, 140);
  Move(drag, 100);
  drag->DoEndDragAndDrop(true);
  drag->Free();
  EXPECT_TRUE(recorder->Applied.empty());
  EXPECT_EQ(Pixel(99), face);

  drag = Begin();
  Move(drag, 120);
  grid->GetController()->EscapePressed = true;
  drag->DoEndDragAndDrop(false);
  grid->GetController()->EscapePressed = false;
  drag->Free();
  EXPECT_TRUE(recorder->Applied.empty());

  // Steps of 10: halves go to the even step.
  recorder->Increment = 10;
  drag = Begin();
  Move(drag, 114);
  EXPECT_EQ(drag->GetDragPosition().X, 110);
  Move(drag, 125);
  EXPECT_EQ(drag->GetDragPosition().X, 120);
  Move(drag, 135);
  EXPECT_EQ(drag->GetDragPosition().X, 140);
  drag->DoEndDragAndDrop(true);
  drag->Free();
  EXPECT_EQ(recorder->Applied, std::vector<Integer>{4});

  // The line over rows, in each look (snapshots/grid-<look>-sizing-line.png).
  TcxCategoryRow* category = AddCategory(grid, nullptr, "Terrain");
  AddValueRow(grid, category, "Width", TcxIntegerValueType::Class(), Variant(640));
  AddValueRow(grid, category, "Height", TcxIntegerValueType::Class(), Variant(480));
  grid_pixels::ThemeInstalled theme;
  for (const grid_pixels::Look& look : grid_pixels::kLooks) {
    grid->GetLookAndFeel()->SetKind(look.Kind);
    grid->GetLookAndFeel()->SetNativeStyle(look.Native);
    Pump();
    drag = Begin();
    Move(drag, 130);
    EXPECT_TRUE(vgrid_test::Snapshot(grid, std::string("grid-") + look.Name + "-sizing-line"));
    grid->GetController()->EscapePressed = true;
    drag->DoEndDragAndDrop(false);
    grid->GetController()->EscapePressed = false;
    drag->Free();
  }
}

// Live sizing applies each move's own whole steps at once and draws no
// line; a move of less than a step applies nothing.
TEST_F(Sizing, LiveSizingAppliesEachMovesSteps) {
  recorder->Dynamic = true;
  recorder->Increment = 2;
  const TColor face = Pixel(99);
  TcxSizingDragAndDropObject* drag = Begin();
  EXPECT_EQ(Pixel(99), face);
  Move(drag, 101);
  Move(drag, 106);
  Move(drag, 97);
  drag->DoEndDragAndDrop(true);
  drag->Free();
  EXPECT_EQ(recorder->Applied, (std::vector<Integer>{3, -4}));
}

}  // namespace
