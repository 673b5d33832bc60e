// The test control on a real X server: a value cell clicked, typed into and
// posted through XTest, and the window's pixels read back from the server.
// The read-back (snapshots/grid-on-x.png in the build folder) is for a
// person to look at; the story checks that the posted value is painted by
// the cell after the editor went.
#include "library/grid/GridXScene.h"

using namespace grid_test;

namespace {

TEST(GridOnX, AValueTypedInPlaceIsPaintedByItsCellOnTheServer) {
  if (!win::x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  GridXScene x;
  ASSERT_TRUE(x.Start());
  auto& scene = x.scene;
  {
    TForm* form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({40, 40, 320, 200});
    auto* grid = New<TTestEditingControl>(form);
    grid->SetBoundsRect({10, 10, 250, 110});
    grid->SetParent(form);
    grid->GetDataController()->SetRecordCount(1);
    std::vector<TcxCustomInplaceEditContainer*> items;
    for (const char* type : {"String", "Integer"}) {
      auto* item = New<TcxCustomInplaceEditContainer>(form);
      item->SetEditingControl(grid);
      static_cast<TcxItemDataBinding*>(item->GetDataBinding())->SetValueType(type);
      items.push_back(item);
    }
    grid->GetDataController()->SetValue(0, 0, Variant("Mountain ridge"));
    grid->GetDataController()->SetValue(0, 1, Variant(42));
    grid->GetDataController()->ChangeFocusedRowIndex(0);
    form->Show();
    scene.Settle(30);

    TTestCell* cell = grid->TestViewInfo()->Cell(0, 1);
    scene.Click(grid, cxRectCenter(cell->DisplayRect));
    ASSERT_NE(grid->Editing()->GetEdit(), nullptr) << "the click opened the editor";
    scene.Key("7");
    scene.Key("3");
    scene.Key("Return");
    EXPECT_EQ(grid->Editing()->GetEdit(), nullptr);
    EXPECT_EQ(VarToStr(grid->GetDataController()->GetValue(0, 1)), "73");

    ASSERT_TRUE(x.Capture(form));
    auto at = [&](TPoint P) { return x.Pixel(grid, P); };
    // The posted value's text over the focused cell's selection colour.
    const TTestCell* focused = grid->TestViewInfo()->Cell(0, 1);
    const std::uint32_t background = GridXScene::Rgb(focused->ViewParams.Color);
    const TRect edit = focused->EditRect;
    EXPECT_EQ(at(TPoint(edit.Right - 20, edit.Top + 2)), background) << "the cell in the selection colour";
    bool text = false;
    for (Integer x = edit.Left; x < edit.Left + 16 && !text; ++x)
      for (Integer y = edit.Top; y < edit.Bottom && !text; ++y) text = at(TPoint(x, y)) != background;
    EXPECT_TRUE(text) << "the cell paints the posted value";
    EXPECT_TRUE(x.SavePng("grid-on-x.png"));
  }
}

}  // namespace
