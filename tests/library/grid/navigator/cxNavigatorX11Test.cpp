// The navigator bar driving the data-bound grid on a real X server: the
// bar's glyphs read back from the server (black while a button can act,
// greyed when it cannot), clicks through XTest moving the grid's focused
// record, and the grid's new record painted. The read-back
// (snapshots/navigator-on-x.png in the build folder) is for a person to
// look at.
#include "library/grid/GridXScene.h"
#include "library/grid/NavigatorButtons.h"
#include "library/grid/VGridData.h"
#include "library/grid/GridStartup.h"

namespace {

using grid_test::GridXScene;

TEST(NavigatorOnX, TheBarDrivesTheDataGridOnTheServer) {
  if (!win::x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  RegisterGridUnits();
  GridXScene x;
  ASSERT_TRUE(x.Start());
  auto& scene = x.scene;
  {
    TForm* form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({40, 40, 520, 320});
    auto* grid = New<TcxVirtualVerticalGrid>(form);
    grid->SetParent(form);
    grid->SetBoundsRect({8, 8, 8 + 440, 8 + 180});
    grid->SetLayoutStyle(lsMultiRecordView);
    grid->GetOptionsView()->SetRowHeaderWidth(80);
    grid->GetOptionsView()->SetValueWidth(110);
    const vgrid_data::Fields fields = vgrid_data::FillGrid(grid, 30);
    auto* navigator = New<TcxNavigator>(form);
    navigator->SetParent(form);
    navigator->SetLeft(8);
    navigator->SetTop(196);
    navigator->SetControl(grid);
    form->Show();
    scene.Settle();
    grid->SetFocus();
    grid->SetFocusedRow(fields.Name);
    grid->SetFocusedRecordIndex(0);
    scene.Settle();

    auto button = [&](Integer AIndex) { return navigator_test::ButtonBounds(navigator, AIndex); };
    auto blackPixels = [&](Integer AIndex) {
      return navigator_test::BlackPixels(button(AIndex), [&](TPoint P) { return x.Pixel(navigator, P); });
    };

    // On the first record the backward buttons cannot act.
    ASSERT_TRUE(x.Capture(form));
    EXPECT_EQ(blackPixels(NBDI_PRIOR), 0);
    EXPECT_GT(blackPixels(NBDI_NEXT), 10);

    // Next, then next page: three record columns show, so three records on.
    const Integer columns = grid->GetVGController()->GetScroller()->GetVisibleValueCount();
    ASSERT_GE(columns, 3);
    scene.Click(navigator, cxRectCenter(button(NBDI_NEXT)));
    EXPECT_EQ(grid->GetFocusedRecordIndex(), 1);
    scene.Click(navigator, cxRectCenter(button(NBDI_NEXTPAGE)));
    EXPECT_EQ(grid->GetFocusedRecordIndex(), 1 + columns);
    scene.Click(navigator, cxRectCenter(button(NBDI_LAST)));
    EXPECT_EQ(grid->GetFocusedRecordIndex(), 29);
    scene.MoveTo(form, TPoint(300, 250));
    scene.Settle();
    ASSERT_TRUE(x.Capture(form));
    EXPECT_EQ(blackPixels(NBDI_NEXT), 0) << "greyed on the last record";
    EXPECT_GT(blackPixels(NBDI_PRIOR), 10);
    // The last record's name cell is painted: ink on the window colour.
    TcxRowValueInfo* cell = grid->GetVGViewInfo()->GetRowViewInfo(fields.Name)->GetValuesInfo()->Find(29, 0);
    ASSERT_NE(cell, nullptr);
    bool ink = false;
    for (Integer X = cell->DisplayRect.Left + 2; X < cell->DisplayRect.Left + 40 && !ink; ++X)
      for (Integer y = cell->DisplayRect.Top + 2; y < cell->DisplayRect.Bottom - 2 && !ink; ++y)
        ink = x.Pixel(grid, TPoint(X, y)) != GridXScene::Rgb(clWindow) &&
              x.Pixel(grid, TPoint(X, y)) != GridXScene::Rgb(clHighlight);
    EXPECT_TRUE(ink) << "Item 29 is drawn";
    EXPECT_TRUE(x.SavePng("navigator-on-x.png"));
  }
}

}  // namespace
