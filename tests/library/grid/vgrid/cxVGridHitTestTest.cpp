#include "library/grid/vgrid/cxVGrid.h"

#include "library/grid/VGridSession.h"
#include "library/grid/container/cxInplaceContainerDragAndDrop.h"
#include "library/grid/vgrid/cxVGridRowViewInfo.h"
#include "platform/forms/Bitmap.h"
#include "platform/rtl/Owned.h"
#include "platform/forms/Controls.h"
#include "platform/win/Keyboard.h"

namespace {

class Mouse : public vgrid_test::Session {
 protected:
  TTestVerticalGrid* grid = nullptr;
  TcxCategoryRow* ok = nullptr;
  TcxEditorRow* width = nullptr;
  TcxEditorRow* height = nullptr;
  TcxCategoryRow* unused = nullptr;
  TcxEditorRow* seed = nullptr;

  // Ok Values: Width, Height; Unused Values: Seed.
  void SetUp() override {
    Session::SetUp();
    grid = NewGrid();
    grid->SetBounds(8, 8, 300, 240);
    ok = AddCategory(grid, nullptr, "Ok Values");
    width = AddValueRow(grid, ok, "Width", TcxIntegerValueType::Class(), Variant(100));
    height = AddValueRow(grid, ok, "Height", TcxIntegerValueType::Class(), Variant(50));
    unused = AddCategory(grid, nullptr, "Unused Values");
    seed = AddValueRow(grid, unused, "Seed", TcxIntegerValueType::Class(), Variant(7));
    Pump();
  }

  TcxvgController* Controller() { return static_cast<TcxvgController*>(grid->GetController()); }
  TcxvgHitTest* HitTest() { return Controller()->GetHitTest(); }
  TcxvgCustomViewInfo* ViewInfo() { return grid->GetVGViewInfo(); }
  TcxCustomRowViewInfo* Placed(TcxCustomRow* ARow) { return ViewInfo()->GetRowViewInfo(ARow); }
  // The hit codes at P, as a list of names.
  std::string At(TPoint P) {
    HitTest()->ReCalculate(P);
    static const std::pair<Integer, const char*> kCodes[] = {
        {vghc_HitAtBandSizing, "band sizing"}, {vghc_HitAtButton, "button"},   {vghc_HitAtCaption, "caption"},
        {vghc_HitAtDivider, "divider"},        {vghc_HitAtEmpty, "empty"},     {vghc_HitAtImage, "image"},
        {vghc_HitAtIndent, "header"},          {vghc_HitAtRowSizing, "row sizing"}, {vghc_HitAtValue, "value"}};
    std::string text;
    for (const auto& [code, name] : kCodes)
      if (HitTest()->GetState(code)) text += (text.empty() ? "" : ", ") + std::string(name);
    const TCursor cursor = Controller()->GetCursor(P.X, P.Y);
    if (cursor == crHSplit) text += " <->";
    if (cursor == crVSplit) text += " ^v";
    return text;
  }
  void Click(TPoint P, bool ADouble = false) {
    win::test::MouseMove(grid->GetHandle(), P);
    win::test::MouseDown();
    win::test::MouseUp();
    if (ADouble) {
      win::test::MouseDown();
      win::test::MouseUp();
    }
    Pump();
  }
  void Drag(TPoint AFrom, const std::vector<TPoint>& AThrough, std::vector<Integer>* AWidths = nullptr) {
    win::test::MouseMove(grid->GetHandle(), AFrom);
    win::test::MouseDown();
    Pump();
    for (const TPoint& P : AThrough) {
      win::test::MouseMove(grid->GetHandle(), P);
      Pump();
      if (AWidths) AWidths->push_back(grid->GetOptionsView()->GetRowHeaderWidth());
    }
    win::test::MouseUp();
    Pump();
  }
  std::string Focus() {
    TcxCustomRow* row = Controller()->GetFocusedRow();
    auto* properties = row ? dynamic_cast<TcxCaptionRowProperties*>(row->GetRowProperties()) : nullptr;
    return properties ? properties->GetCaption() : AnsiString("none");
  }
};

// Every part of the grid under the pointer answers with its code and the
// sizing zones with their cursors.
TEST_F(Mouse, EveryZoneAnswersWithItsCodeAndCursor) {
  TcxCustomRowViewInfo* w = Placed(width);
  ASSERT_NE(w, nullptr);
  TcxCustomRowHeaderInfo* header = w->GetHeaderInfo();
  const TRect caption = header->GetCaption(0)->HeaderCellBounds;
  EXPECT_EQ(At(cxRectCenter(caption)), "caption");
  EXPECT_EQ(HitTest()->GetHitRow(), width);
  EXPECT_EQ(HitTest()->GetHitInfo(), header->GetCaption(0));
  EXPECT_EQ(At({header->HeaderRect.Left + 2, cxRectCenter(caption).Y}), "header") << "the indent of a child row";
  const TRect value = w->GetValuesInfo()->GetItem(0)->ClipRect;
  EXPECT_EQ(At(cxRectCenter(value)), "value");
  EXPECT_TRUE(HitTest()->IsItemEditCell());
  EXPECT_EQ(HitTest()->GetHitCellIndex(), 0);
  const TRect button = Placed(ok)->GetHeaderInfo()->ButtonRect;
  ASSERT_FALSE(cxRectIsEmpty(button));
  EXPECT_EQ(At(cxRectCenter(button)), "button");
  EXPECT_EQ(HitTest()->GetHitRow(), ok);
  const TRect last = Placed(seed)->RowRect;
  EXPECT_EQ(At({last.Left + 20, last.Bottom + 10}), "empty");

  // The divider's zone is two pixels wider than the divider itself.
  const Integer divider = ViewInfo()->GetViewRects()->GetBandRects()->GetRect(0).Left + ViewInfo()->ViewHeaderWidth;
  const Integer zone = ViewInfo()->GetDividerWidth() + 2;
  const Integer y = cxRectCenter(value).Y;
  EXPECT_EQ(At({divider, y}), "caption, divider <->") << "the zone starts on the header's last pixel";
  EXPECT_EQ(At({divider + zone - 1, y}), "divider, value <->");
  EXPECT_EQ(At({divider + zone, y}), "value");
  grid->GetOptionsBehavior()->SetHeaderSizing(false);
  EXPECT_EQ(At({divider, y}).find("divider"), std::string::npos);
  grid->GetOptionsBehavior()->SetHeaderSizing(true);

  // Row sizing only when asked: a strip over the row's bottom edge, cut at
  // the bounds.
  EXPECT_EQ(At({value.Left + 5, w->RowRect.Bottom}), "") << "the line under a row: the row, none of its parts";
  EXPECT_EQ(HitTest()->GetHitRow(), width);
  grid->GetOptionsBehavior()->SetRowSizing(true);
  Pump();
  EXPECT_EQ(At({value.Left + 5, w->RowRect.Bottom - 1}), "row sizing ^v");
  EXPECT_EQ(HitTest()->GetHitRow(), width);
  EXPECT_EQ(At({value.Left + 5, w->RowRect.Bottom}), "row sizing ^v");
  EXPECT_EQ(At({value.Left + 5, w->RowRect.Bottom + 1}), "value") << "the next row";
  width->GetOptions()->SetCanResized(false);
  EXPECT_EQ(At({value.Left + 5, w->RowRect.Bottom - 1}), "value");
}

// The header divider follows the mouse pixel by pixel; a row dragged by
// its bottom edge never gets lower than the grid's minimal row height.
TEST_F(Mouse, SizingFollowsThePointerAndKeepsTheMinimum) {
  const Integer start = grid->GetOptionsView()->GetRowHeaderWidth();
  const Integer divider = ViewInfo()->GetViewRects()->GetBandRects()->GetRect(0).Left + ViewInfo()->ViewHeaderWidth;
  const Integer y = cxRectCenter(Placed(width)->RowRect).Y;
  std::vector<Integer> widths;
  Drag({divider, y}, {{divider + 1, y}, {divider + 2, y}, {divider + 3, y}, {divider - 7, y}}, &widths);
  EXPECT_EQ(widths, (std::vector<Integer>{start + 1, start + 2, start + 3, start - 7}));

  grid->GetOptionsBehavior()->SetRowSizing(true);
  Pump();
  const TRect row = Placed(height)->RowRect;
  Drag({row.Left + 150, row.Bottom - 1}, {{row.Left + 150, row.Bottom + 9}});
  EXPECT_EQ(height->GetHeight(), row.Height() + 10);
  win::test::PumpFor(600);  // not a double click
  const TRect taller = Placed(height)->RowRect;
  Drag({taller.Left + 150, taller.Bottom - 1}, {{taller.Left + 150, taller.Top + 2}, {taller.Left + 150, -40}});
  EXPECT_EQ(height->GetHeight(), ViewInfo()->GetMinRowHeight());
}

// A row freed while its bottom edge is being dragged (the application
// rebuilds its rows meanwhile) ends that sizing without touching it; the
// other rows keep their heights.
TEST_F(Mouse, ARowFreedWhileSizedEndsItsSizing) {
  grid->GetOptionsBehavior()->SetRowSizing(true);
  Pump();
  const TRect row = Placed(height)->RowRect;
  win::test::MouseMove(grid->GetHandle(), {row.Left + 150, row.Bottom - 1});
  win::test::MouseDown();
  Pump();
  win::test::MouseMove(grid->GetHandle(), {row.Left + 150, row.Bottom + 4});
  Pump();
  height->Free();
  height = nullptr;
  Pump();
  win::test::MouseMove(grid->GetHandle(), {row.Left + 150, row.Bottom + 9});
  Pump();
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(grid->GetDragAndDropState(), ddsNone);
  EXPECT_EQ(width->GetHeight(), -1);
  EXPECT_EQ(seed->GetHeight(), -1);
  EXPECT_EQ(grid->GetRows()->GetCount(), 4);
}

// Clicks focus rows and open cells; the button folds and unfolds, and a
// category folded over its focused child takes the focus.
TEST_F(Mouse, ClicksFocusFoldAndOpenCells) {
  Click(cxRectCenter(Placed(height)->GetHeaderInfo()->GetCaption(0)->HeaderCellBounds));
  EXPECT_EQ(Focus(), "Height");
  EXPECT_FALSE(Controller()->GetIsEditing());

  Click(cxRectCenter(Placed(ok)->GetHeaderInfo()->ButtonRect));
  EXPECT_FALSE(ok->GetExpanded());
  EXPECT_EQ(Focus(), "Ok Values") << "the focused child went out of sight";
  Click(cxRectCenter(Placed(ok)->GetHeaderInfo()->ButtonRect));
  EXPECT_TRUE(ok->GetExpanded());

  // A double click on a caption folds a row with children.
  Click(cxRectCenter(Placed(unused)->GetHeaderInfo()->GetCaption(0)->HeaderCellBounds), true);
  EXPECT_FALSE(unused->GetExpanded());

  // Into a value cell: focused at once, the editor opens on release.
  Click(cxRectCenter(Placed(width)->GetValuesInfo()->GetItem(0)->ClipRect));
  EXPECT_EQ(Focus(), "Width");
  win::test::PumpFor(600);
  Pump();
  EXPECT_TRUE(Controller()->GetIsEditing());
  Type("7");
  win::test::KeyPress(win::VK_RETURN);
  Pump();
  EXPECT_EQ(VarToStr(width->GetProperties()->GetValue()), "7");
}

// With the button held the focus follows the pointer; past the bottom
// edge a timer walks on (at the window system's shortest interval, 10 ms),
// and the release stops it.
TEST_F(Mouse, RowTrackingFollowsThePointerAndWalksPastTheEdge) {
  grid->SetBounds(8, 8, 300, 60);
  Pump();
  const TRect first = Placed(ok)->RowRect;
  win::test::MouseMove(grid->GetHandle(), {first.Left + 40, first.Top + 3});
  win::test::MouseDown();
  Pump();
  ASSERT_TRUE(Controller()->GetRowTracking());
  const TRect second = Placed(width)->RowRect;
  win::test::MouseMove(grid->GetHandle(), {second.Left + 40, second.Top + 3});
  Pump();
  EXPECT_EQ(Focus(), "Width");
  win::test::MouseMove(grid->GetHandle(), {second.Left + 40, 200});
  Pump();
  EXPECT_TRUE(Controller()->GetScrollTimerActive());
  win::test::PumpFor(10);
  Pump();
  EXPECT_EQ(Focus(), "Height");
  win::test::PumpFor(10);
  Pump();
  EXPECT_EQ(Focus(), "Unused Values");
  win::test::MouseUp();
  Pump();
  EXPECT_FALSE(Controller()->GetScrollTimerActive());
  EXPECT_FALSE(Controller()->GetRowTracking());

  // A click that scrolls (onto the partly shown last row) starts neither
  // tracking nor a row drag.
  grid->SetBounds(8, 8, 300, 70);
  grid->SetFocusedRow(ok);
  Pump();
  win::test::PumpFor(600);  // not a double click
  const std::vector<TcxCustomRowViewInfo*>& placed = ViewInfo()->GetRowsViewInfo();
  TcxCustomRowViewInfo* cut = placed.back();
  ASSERT_GT(cut->RowRect.Bottom, ViewInfo()->Bounds.Bottom) << "the last placed row is cut";
  const TRect caption = cut->GetHeaderInfo()->GetCaption(0)->HeaderCellBounds;
  const TPoint P{cxRectCenter(caption).X, (cut->RowRect.Top + ViewInfo()->Bounds.Bottom) / 2};
  win::test::MouseMove(grid->GetHandle(), P);
  win::test::MouseDown();
  Pump();
  EXPECT_TRUE(Controller()->GetTopRowMovedByClick());
  EXPECT_FALSE(Controller()->GetRowTracking());
  EXPECT_EQ(Controller()->GetDragRow(), nullptr);
  grid->SetDragMode(dmAutomatic);
  EXPECT_FALSE(Controller()->CanDrag(P.X, P.Y)) << "nor may the press drag the row";
  win::test::MouseUp();
  Pump();
}

// A row dragged onto another's caption becomes its child, onto the empty
// area the last top-level row; never into its own subtree.
TEST_F(Mouse, RowsAreDraggedButNeverIntoTheirOwnSubtree) {
  grid->SetDragMode(dmAutomatic);
  Pump();
  bool accept = true;
  Controller()->SetDragRow(ok);
  const TRect child = Placed(width)->GetHeaderInfo()->GetCaption(0)->HeaderCellBounds;
  Controller()->DragOver(grid, cxRectCenter(child).X, cxRectCenter(child).Y, accept);
  EXPECT_FALSE(accept) << "a row's own descendant";
  const TRect other = Placed(unused)->GetHeaderInfo()->GetCaption(0)->HeaderCellBounds;
  Controller()->DragOver(grid, cxRectCenter(other).X, cxRectCenter(other).Y, accept);
  EXPECT_TRUE(accept);
  Controller()->SetDragRow(nullptr);

  const TRect source = Placed(height)->GetHeaderInfo()->GetCaption(0)->HeaderCellBounds;
  const TRect target = Placed(unused)->GetHeaderInfo()->GetCaption(0)->HeaderCellBounds;
  win::test::OnNextModalLoop([&] {
    win::test::MouseMove(grid->GetHandle(), cxRectCenter(target));
    win::test::MouseMove(grid->GetHandle(), {cxRectCenter(target).X + 1, cxRectCenter(target).Y});
    win::test::MouseUp();
  });
  win::test::MouseMove(grid->GetHandle(), cxRectCenter(source));
  win::test::MouseDown();
  win::test::MouseMove(grid->GetHandle(), {cxRectCenter(source).X + 10, cxRectCenter(source).Y + 10});
  Pump();
  EXPECT_EQ(height->GetParent(), unused);
}


// A dragged row shows its header under the pointer, framed in the band's
// border colour and blended over what the screen showed: the picture keeps
// its place relative to the pointer that grabbed it. The screen here is
// the grid's own picture copied onto the virtual screen, as a display
// would show it (snapshots/grid-<look>-row-drag-image.png).
TEST_F(Mouse, ADraggedRowShowsItsHeaderUnderThePointer) {
  win::InstallThemeModule();
  win::SetThemesActive(true);
  grid->SetDragMode(dmAutomatic);
  grid->GetOptionsBehavior()->SetDragDropImages(true);
  struct Watch : TObject {
    TTestVerticalGrid* Grid = nullptr;
    TPoint Start{};
    std::string Look;
    std::vector<std::string> Faults;
    bool Seen = false;
    void DragOver(TObject*, TObject*, Integer, Integer, TDragState, bool&) {
      TcxDragImageHelper* helper = Grid->GetDragImageHelper();
      if (Seen || !helper || !helper->GetDragImageVisible()) return;
      Seen = true;
      const TRect R = Grid->DragDropImageDisplayRect();
      TBitmap* image = helper->GetDragImage().GetImage();
      if (R.Width() < 40 || image->GetWidth() != R.Width() || image->GetHeight() != R.Height())
        Faults.push_back("the image is not the header's size");
      // Where the header was, moved by as much as the pointer moved.
      const TPoint pointer = GetMouseCursorPos();
      const TPoint header = Grid->ClientToScreen(TPoint(R.Left, R.Top));
      if (helper->GetPosition() != TPoint(header.X + pointer.X - Start.X, header.Y + pointer.Y - Start.Y))
        Faults.push_back("the image left the pointer's grip");
      // The frame in the border colour, the caption's letters inside it.
      TCanvas* canvas = image->GetCanvas();
      const TColor border = ColorToRGB(Grid->GetVGViewInfo()->GetBandBorderColor());
      if (canvas->GetPixels(0, R.Height() / 2) != border) Faults.push_back("no frame");
      const TColor fill = canvas->GetPixels(R.Width() - 3, R.Height() / 2);
      Integer ink = 0;
      for (Integer y = 1; y < R.Height() - 1; ++y)
        for (Integer x = 1; x < R.Width() - 1; ++x) ink += canvas->GetPixels(x, y) != fill;
      if (ink < 20) Faults.push_back("no caption");
      const TPoint topLeft = Grid->ClientToScreen(TPoint(0, 0));
      win::HDC screen = win::GetDC(nullptr);
      grid_pixels::SnapshotOf(screen, cxRectOffset(Grid->GetClientRect(), topLeft.X, topLeft.Y),
                             "grid-" + Look + "-row-drag-image");
      win::ReleaseDC(nullptr, screen);
    }
  };
  for (const grid_pixels::Look& look : grid_pixels::kLooks) {
    grid->GetLookAndFeel()->SetKind(look.Kind);
    grid->GetLookAndFeel()->SetNativeStyle(look.Native);
    grid->SetFocusedRow(height);
    grid->Invalidate();
    win::test::PumpFor(600);  // no double click with the last look's press
    // The display shows the grid.
    const TPoint topLeft = grid->ClientToScreen(TPoint(0, 0));
    win::HDC screen = win::GetDC(nullptr);
    win::HDC window = win::GetDC(grid->GetHandle());
    win::BitBlt(screen, topLeft.X, topLeft.Y, grid->GetClientWidth(), grid->GetClientHeight(), window, 0, 0,
                win::SRCCOPY);
    win::ReleaseDC(grid->GetHandle(), window);
    win::ReleaseDC(nullptr, screen);

    TOwned<Watch> watch(New<Watch>());
    watch->Grid = grid;
    watch->Look = look.Name;
    grid->OnDragOver = TDragOverEvent::Bind<&Watch::DragOver>(watch.get());
    const TPoint from = cxRectCenter(Placed(height)->GetHeaderInfo()->GetCaption(0)->HeaderCellBounds);
    const TPoint to{from.X + 40, Placed(seed)->RowRect.Top + 3};
    watch->Start = grid->ClientToScreen(from);
    win::test::OnNextModalLoop([&] {
      win::test::MouseMove(grid->GetHandle(), to);
      win::test::MouseMove(grid->GetHandle(), {to.X + 1, to.Y});
      win::test::KeyPress(win::VK_ESCAPE);
    });
    win::test::MouseMove(grid->GetHandle(), from);
    win::test::MouseDown();
    win::test::MouseMove(grid->GetHandle(), {from.X + 10, from.Y + 10});
    Pump();
    win::test::MouseUp();
    Pump();
    grid->OnDragOver = nullptr;
    EXPECT_TRUE(watch->Seen) << look.Name << ": the drag showed no image";
    EXPECT_EQ(watch->Faults, std::vector<std::string>()) << look.Name;
    EXPECT_EQ(height->GetParent(), ok) << "Escape drops nothing";
  }
}

}  // namespace
