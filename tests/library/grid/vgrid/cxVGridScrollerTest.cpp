// Stories of the vertical grid's scrolling: the scroll-bar actions and
// their limits, rows brought into view by focus, expansion and collapse,
// the vertical bar's range and hiding, the last record, and how many bands
// fit beside each other.
#include "library/grid/VGridSession.h"

// A bands layout whose bands have a width of their own, so that several
// stand side by side.
class TFixedBandsViewInfo : public TcxBandsViewInfo {
  ORV_CLASS(TFixedBandsViewInfo, TcxBandsViewInfo)
 public:
  explicit TFixedBandsViewInfo(TcxEditingControl* AControl) : TcxBandsViewInfo(AControl) {}
  static inline Integer BandWidth = 100;
  Integer GetViewBandWidth() override { return BandWidth; }
};

class TBandsGrid : public TTestVerticalGrid {
  ORV_CLASS(TBandsGrid, TTestVerticalGrid)
 public:
  explicit TBandsGrid(TComponent* AOwner) : TTestVerticalGrid(AOwner) {}
  TcxCustomControlViewInfoClass GetViewInfoClass() override {
    if (GetLayoutStyle() == ulsBandsView) return TFixedBandsViewInfo::StaticClass();
    return inherited::GetViewInfoClass();
  }
};

ORV_REGISTER(TFixedBandsViewInfo)
ORV_REGISTER(TBandsGrid)

namespace {

class Scrolling : public vgrid_test::Session {
 protected:
  TTestVerticalGrid* grid = nullptr;
  std::vector<TcxEditorRow*> rows;

  // ACount text rows in a grid of AHeight client pixels.
  void Build(Integer ACount, Integer AHeight) {
    grid = NewGrid(false);
    grid->SetBoundsRect({0, 0, 240, AHeight});
    grid->BeginUpdate();
    for (Integer i = 0; i < ACount; ++i)
      rows.push_back(AddValueRow(grid, nullptr, "row " + IntToStr(i), TcxStringValueType::Class(), Variant("v")));
    grid->EndUpdate();
    form->Show();
    Pump();
  }
  TcxvgScroller* Scroller() { return grid->GetVGController()->GetScroller(); }
  Integer Top() { return Scroller()->GetTopVisibleRowIndex(); }
  Integer Scroll(TScrollCode ACode, Integer APos = 0) {
    grid->GetVGController()->Scroll(sbVertical, ACode, APos);
    Pump();
    return APos;
  }
  // Rows as high as a text row that fit into the view info's bounds, each
  // with its line under it.
  Integer Fit() {
    TcxvgCustomViewInfo* viewInfo = grid->GetVGViewInfo();
    return (cxRectHeight(viewInfo->Bounds) - 1) / (viewInfo->MeasureRowHeight(rows.front()) + 1);
  }
  TcxControlScrollBar* Bar() { return grid->GetVScrollBar(); }
};

TEST_F(Scrolling, TheBarsActionsMoveTheTopRowWithinItsLimits) {
  Build(40, 200);
  const Integer fit = Fit();
  ASSERT_GT(fit, 3);
  ASSERT_TRUE(grid->GetVScrollBarVisible());
  EXPECT_EQ(Bar()->Data().Max, 39);
  EXPECT_EQ(Bar()->Data().PageSize, fit);

  EXPECT_EQ(Scroll(scLineDown), 1);
  EXPECT_EQ(Scroll(scLineUp), 0);
  EXPECT_EQ(Scroll(scLineUp), 0) << "nothing above the first row";
  EXPECT_EQ(Scroll(scPageDown), fit) << "a page is the rows that fit";
  EXPECT_EQ(Bar()->Data().Position, fit);
  EXPECT_EQ(Scroll(scPosition, 20), fit) << "the released thumb's position is not used";
  EXPECT_EQ(Scroll(scTrack, 20), 20) << "the thumb is followed";
  EXPECT_EQ(Scroll(scTrack, 39), 40 - fit) << "the last row stays at the bottom";
  EXPECT_EQ(Scroll(scPageDown), 40 - fit);
  EXPECT_EQ(Scroll(scPageUp), 40 - 2 * fit);
  TcxCustomRowViewInfo* last = grid->GetVGViewInfo()->GetRowsViewInfo().back();
  EXPECT_EQ(grid->GetVGViewInfo()->GetRowsViewInfo().front()->GetRow(), rows[size_t(40 - 2 * fit)]);
  EXPECT_LE(last->RowRect.Top, grid->GetVGViewInfo()->Bounds.Bottom);

  // Focusing a row below or above the rows shown scrolls just far enough.
  grid->SetFocusedRow(rows[39]);
  Pump();
  EXPECT_EQ(Top(), 40 - fit);
  grid->SetFocusedRow(rows[3]);
  Pump();
  EXPECT_EQ(Top(), 3);
  grid->SetFocusedRow(rows[5]);
  Pump();
  EXPECT_EQ(Top(), 3) << "a row in view leaves the top";

  // Removing rows so that space opens below the last one pulls the top
  // back at the next layout.
  Scroll(scTrack, 39);
  grid->BeginUpdate();
  for (Integer i = 39; i >= 30; --i) rows[size_t(i)]->Free();
  grid->EndUpdate();
  Pump();
  EXPECT_EQ(Top(), 30 - fit);

  // A grid narrower than the bar and two pixels shows none.
  grid->SetWidth(Bar()->GetWidth() + 1);
  Pump();
  EXPECT_FALSE(grid->GetVScrollBarVisible());
}

// A row's hint leaves with the row: once the grid scrolled, the hint that
// stood over a caption does not stay there with another row's text; the
// next move of the pointer shows the hint of the row now under it.
TEST_F(Scrolling, ARowsHintGoesWhenTheGridScrollsItAway) {
  Build(40, 200);
  for (size_t i = 0; i < rows.size(); ++i) rows[i]->GetProperties()->SetHint("About row " + IntToStr(Integer(i)));
  TcxHotTrackController* hints = grid->GetController()->GetHotTrackController();
  const TRect caption = grid->GetVGViewInfo()->GetRowViewInfo(rows[2])->GetHeaderInfo()->GetCaption(0)->HeaderCellBounds;
  const TPoint over = cxRectCenter(caption);
  win::test::MouseMove(grid->GetHandle(), {over.X - 1, over.Y});
  win::test::MouseMove(grid->GetHandle(), {over.X, over.Y});
  Pump();
  ASSERT_TRUE(hints->GetHintVisible());
  EXPECT_EQ(hints->GetHintText(), "About row 2");
  Scroll(scLineDown);
  EXPECT_FALSE(hints->GetHintVisible()) << "the hint stays over the caption of another row";
  win::test::MouseMove(grid->GetHandle(), {over.X + 1, over.Y});
  Pump();
  EXPECT_TRUE(hints->GetHintVisible());
  EXPECT_EQ(hints->GetHintText(), "About row 3");
}

TEST_F(Scrolling, FewRowsTallRowsExpandingAndCollapsingKeepTheRightRowsInView) {
  Build(3, 200);
  EXPECT_FALSE(grid->GetVScrollBarVisible()) << "fewer rows than fit";
  EXPECT_EQ(Scroll(scPageDown), 0);
  EXPECT_EQ(Scroll(scLineDown), 0);

  // A row taller than the client is a page of its own.
  rows[1]->SetHeight(400);
  Pump();
  ASSERT_TRUE(grid->GetVScrollBarVisible());
  EXPECT_EQ(Scroll(scLineDown), 1);
  EXPECT_EQ(Bar()->Data().PageSize, 1);
  EXPECT_EQ(Scroll(scPageDown), 2);
  rows[1]->SetHeight(-1);
  Pump();
  EXPECT_EQ(Top(), 0) << "space below the last row pulls the top back";

  // A collapsed category near the bottom: expanding it shows its last
  // child at the bottom; a subtree taller than the client puts the
  // category at the top.
  grid->Free();
  rows.clear();
  Build(1, 200);
  const Integer fit = Fit();
  grid->BeginUpdate();
  for (Integer i = 1; i < fit - 1; ++i)
    AddValueRow(grid, nullptr, "row " + IntToStr(i), TcxStringValueType::Class(), Variant("v"));
  TcxCategoryRow* small = AddCategory(grid, nullptr, "Small");
  for (Integer i = 0; i < 3; ++i) AddValueRow(grid, small, "child " + IntToStr(i), TcxStringValueType::Class(), Variant("v"));
  TcxCategoryRow* big = AddCategory(grid, nullptr, "Big");
  for (Integer i = 0; i < 2 * fit; ++i) AddValueRow(grid, big, "many " + IntToStr(i), TcxStringValueType::Class(), Variant("v"));
  small->SetExpanded(false);
  big->SetExpanded(false);
  grid->EndUpdate();
  Pump();
  EXPECT_EQ(Top(), 0);
  small->SetExpanded(true);
  grid->GetVGController()->GetScroller()->SetRowMaxVisible(small);
  Pump();
  // Just far enough: the last child is shown whole, and one row less
  // scrolled would push it and its line past the bottom.
  TcxvgCustomViewInfo* shown = grid->GetVGViewInfo();
  ASSERT_GT(Top(), 0);
  TcxCustomRowViewInfo* lastChild = shown->GetRowViewInfo(small->GetRow(2));
  ASSERT_NE(lastChild, nullptr);
  EXPECT_LE(lastChild->RowRect.Bottom, shown->Bounds.Bottom);
  EXPECT_GT(lastChild->RowRect.Bottom + shown->MeasureRowHeight(shown->GetVisibleRow(Top() - 1)) + 2,
            shown->Bounds.Bottom);
  big->SetExpanded(true);
  grid->GetVGController()->GetScroller()->SetRowMaxVisible(big);
  Pump();
  EXPECT_EQ(Top(), big->GetVisibleIndex()) << "the category at the top";

  // Collapsing frees space: the top comes back.
  Scroll(scTrack, 1000);
  big->SetExpanded(false);
  Pump();
  TcxvgCustomViewInfo* viewInfo = grid->GetVGViewInfo();
  const TRect lastRow = viewInfo->GetRowsViewInfo().back()->RowRect;
  EXPECT_EQ(viewInfo->GetRowsViewInfo().back()->GetRow(), big);
  EXPECT_LE(lastRow.Bottom, viewInfo->Bounds.Bottom);
  EXPECT_GT(Top(), 0);
  EXPECT_LT(viewInfo->Bounds.Bottom - lastRow.Bottom - 1, viewInfo->MeasureRowHeight(viewInfo->GetVisibleRow(Top() - 1)) + 1)
      << "the row above the top would not fit";
}

// Decided: the last record is found backward from the record count, so
// "go to last" focuses it rather than nothing.
TEST_F(Scrolling, GoingToTheLastRecordFocusesIt) {
  Build(2, 200);
  TcxCustomDataController* data = grid->GetDataController();
  data->SetRecordCount(5);
  Scroller()->GoToLast();
  EXPECT_EQ(data->GetFocusedRowIndex(), 4);
  Scroller()->GoToFirst();
  EXPECT_EQ(data->GetFocusedRowIndex(), 0);
  Scroller()->GoToNext();
  EXPECT_EQ(data->GetFocusedRowIndex(), 1);
  Scroller()->GoToPrev();
  Scroller()->GoToPrev();
  EXPECT_EQ(data->GetFocusedRowIndex(), 0) << "nothing before the first";
}

// Decided: the bands that fit whole with the gaps between them, n x width
// + (n - 1) x interval <= client width, at least one and at most the bands
// there are.
TEST_F(Scrolling, TheBandsThatFitStandWholeWithTheirGaps) {
  auto* bands = New<TBandsGrid>(form);
  bands->SetParent(form);
  bands->SetBoundsRect({0, 0, 402, 120});
  bands->SetLayoutStyle(ulsBandsView);
  // Scaled bands share the client whatever their width: these keep theirs.
  bands->GetOptionsView()->SetAutoScaleBands(false);
  form->Show();
  Pump();
  auto addRows = [&](Integer ACount) {
    bands->BeginUpdate();
    for (Integer i = 0; i < ACount; ++i)
      AddValueRow(bands, nullptr, "row " + IntToStr(i), TcxStringValueType::Class(), Variant("v"));
    bands->EndUpdate();
    Pump();
  };
  TcxvgCustomViewInfo* viewInfo = bands->GetVGViewInfo();
  TcxvgCustomScrollStrategy* strategy = bands->GetVGController()->GetScroller()->GetScrollStrategy();
  ASSERT_NE(dynamic_cast<TcxvgBandsScrollStrategy*>(strategy), nullptr);
  addRows(1);
  const Integer perBand =
      (cxRectHeight(viewInfo->Bounds) - 1) / (viewInfo->MeasureRowHeight(viewInfo->GetVisibleRow(0)) + 1);
  ASSERT_EQ(cxRectWidth(viewInfo->Bounds), 400);
  addRows(4 * perBand - 1);
  ASSERT_EQ(strategy->GetBandsInfo()->GetCount(), 4);
  struct Case {
    Integer Interval, Expected;
  };
  for (const Case c : {Case{10, 3}, Case{0, 4}, Case{34, 3}, Case{100, 2}}) {
    SCOPED_TRACE(c.Interval);
    bands->GetOptionsView()->SetBandsInterval(c.Interval);
    Pump();
    EXPECT_EQ(strategy->GetVisibleBandCount(), c.Expected);
  }
  // More bands than fit, and fewer.
  bands->GetOptionsView()->SetBandsInterval(10);
  addRows(96 * perBand);
  EXPECT_EQ(strategy->GetBandsInfo()->GetCount(), 100);
  EXPECT_EQ(strategy->GetVisibleBandCount(), 3);
  bands->ClearRows();
  addRows(2 * perBand);
  EXPECT_EQ(strategy->GetVisibleBandCount(), 2);

  // Scaled bands: another band only while all of them fit at their least
  // width with the gaps, so that none starts beyond the right edge.
  bands->GetOptionsView()->SetAutoScaleBands(true);
  const Integer least = viewInfo->GetMinBandWidth();
  const Integer room = 400 / (least + 10);
  EXPECT_TRUE(strategy->CanCalcRowsOnTheNextBand(400, room - 1));
  EXPECT_FALSE(strategy->CanCalcRowsOnTheNextBand(400, room + 1));
  bands->GetOptionsView()->SetAutoScaleBands(false);
  EXPECT_FALSE(strategy->CanCalcRowsOnTheNextBand(350, 1)) << "a band that would end past the client";
  EXPECT_TRUE(strategy->CanCalcRowsOnTheNextBand(100, 1));
}

}  // namespace
