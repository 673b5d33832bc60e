// The front end's value grid on a real X server: its categories, rows and
// values painted, a value clicked, typed into and posted through XTest,
// the grid scrolled by its bar's arrow, and the window's pixels read back
// from the server. The read-back (snapshots/vgrid-on-x.png in the build
// folder) is for a person to look at.
#include "library/grid/VGridSession.h"
#include "library/grid/GridXScene.h"

using namespace win;

namespace {

using VGridOnX = grid_test::GridOnXTest;

TEST_F(VGridOnX, TheValueGridIsPaintedEditedAndScrolledOnTheServer) {
  auto& scene = onX->scene;
  {
    TForm* form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({40, 40, 380, 300});
    auto* grid = New<TTestVerticalGrid>(form);
    grid->SetParent(form);
    grid->SetBoundsRect({8, 8, 8 + 305, 8 + 185});
    grid->GetOptionsView()->SetRowHeaderWidth(245);
    const vgrid_test::ValueRows rows = vgrid_test::AddValueRows(grid);
    // Unknown values from a generator's answer: more than the grid shows.
    for (const char* name : {"erosion", "lakes", "caves", "roads"})
      vgrid_test::AddParameter(grid, rows.Unknown, name, TcxTextEditProperties::StaticClass(),
                               TcxStringValueType::Class(), Variant("1"), 0);
    form->Show();
    scene.Settle();

    auto capture = [&] { ASSERT_TRUE(onX->Capture(form)); };
    auto at = [&](TPoint P) { return onX->Pixel(grid, P); };
    auto rgb = &grid_test::GridXScene::Rgb;
    auto placed = [&](TcxCustomRow* ARow) { return grid->GetVGViewInfo()->GetRowViewInfo(ARow); };

    // The category's band in its colour with its caption's ink on it.
    capture();
    const TRect ok = placed(rows.Ok)->RowRect;
    const std::uint32_t categoryColor = rgb(placed(rows.Ok)->GetHeaderInfo()->ViewParams.Color);
    EXPECT_EQ(at(TPoint(ok.Right - 4, ok.Top + 2)), categoryColor);
    bool ink = false;
    const TRect caption = placed(rows.Ok)->GetHeaderInfo()->GetCaption(0)->CaptionTextRect;
    for (Integer x = caption.Left; x < caption.Left + 40 && !ink; ++x)
      for (Integer y = caption.Top; y < caption.Bottom && !ink; ++y) ink = at(TPoint(x, y)) != categoryColor;
    EXPECT_TRUE(ink) << "the caption is drawn";
    // The divider between a row's header and its value.
    const TRect widthHeader = placed(rows.Width)->GetHeaderInfo()->HeaderRect;
    EXPECT_EQ(at(TPoint(widthHeader.Right, widthHeader.Top + 3)), rgb(grid->GetOptionsView()->GetGridLineColor()));

    // A value clicked, typed and posted is painted by its cell; focusing
    // its row first scrolls it into view.
    grid->SetFocusedRow(rows.Seed);
    scene.Settle();
    ASSERT_NE(placed(rows.Seed), nullptr);
    const TRect seed = placed(rows.Seed)->ValuesRect;
    scene.Click(grid, TPoint(seed.Left + 20, cxRectCenter(seed).Y));
    ASSERT_TRUE(grid->IsEditing()) << "the click opened the editor";
    scene.Key("End");
    scene.Key("9");
    scene.Key("Return");
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(rows.Seed->GetProperties()->GetValue(), Variant("129"));

    // Back at the top, the bar's down arrow scrolls one row.
    Integer pos = 0;
    grid->GetVGController()->Scroll(sbVertical, scTrack, pos);
    scene.Settle();
    ASSERT_TRUE(grid->GetVScrollBarVisible());
    const TRect bar = grid->GetVScrollBar()->GetBoundsRect();
    scene.Click(grid, TPoint(cxRectCenter(bar).X, bar.Bottom - 4));
    capture();
    const TcxCustomRowViewInfo* first = grid->GetVGViewInfo()->GetRowsViewInfo().front();
    EXPECT_EQ(first->GetRow()->GetVisibleIndex(), grid->GetVGController()->GetScroller()->GetTopVisibleRowIndex());
    EXPECT_EQ(first->GetRow()->GetVisibleIndex(), 1) << "one row scrolled";
    EXPECT_NE(at(TPoint(first->RowRect.Right - 4, first->RowRect.Top + 2)), categoryColor) << "the category went";
    EXPECT_TRUE(onX->SavePng("vgrid-on-x.png"));
  }
}

}  // namespace
