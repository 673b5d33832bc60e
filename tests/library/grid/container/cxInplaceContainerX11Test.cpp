// The test control on a real X server: a value cell clicked, typed into and
// posted through XTest, and the window's pixels read back from the server.
// The read-back (snapshots/grid-on-x.png in the build folder) is for a
// person to look at; the story checks that the posted value is painted by
// the cell after the editor went.
#include <gtest/gtest.h>

#include "library/grid/GridXScene.h"
#include "library/grid/container/cxInplaceContainerDragAndDrop.h"
#include "platform/forms/Bitmap.h"
#include "platform/rtl/Owned.h"

using namespace grid_test;
using namespace win;

namespace {

using GridOnX = grid_test::GridOnXTest;

TEST_F(GridOnX, AValueTypedInPlaceIsPaintedByItsCellOnTheServer) {
  auto& scene = onX->scene;
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
    scene.Settle();

    TTestCell* cell = grid->TestViewInfo()->Cell(0, 1);
    scene.Click(grid, cxRectCenter(cell->DisplayRect));
    ASSERT_NE(grid->Editing()->GetEdit(), nullptr) << "the click opened the editor";
    scene.Key("7");
    scene.Key("3");
    scene.Key("Return");
    EXPECT_EQ(grid->Editing()->GetEdit(), nullptr);
    EXPECT_EQ(VarToStr(grid->GetDataController()->GetValue(0, 1)), "73");

    ASSERT_TRUE(onX->Capture(form));
    auto at = [&](TPoint P) { return onX->Pixel(grid, P); };
    // The posted value's text over the focused cell's selection colour.
    const TTestCell* focused = grid->TestViewInfo()->Cell(0, 1);
    const std::uint32_t background = GridXScene::Rgb(focused->ViewParams.Color);
    const TRect edit = focused->EditRect;
    EXPECT_EQ(at(TPoint(edit.Right - 20, edit.Top + 2)), background) << "the cell in the selection colour";
    bool text = false;
    for (Integer x = edit.Left; x < edit.Left + 16 && !text; ++x)
      for (Integer y = edit.Top; y < edit.Bottom && !text; ++y) text = at(TPoint(x, y)) != background;
    EXPECT_TRUE(text) << "the cell paints the posted value";
    EXPECT_TRUE(onX->SavePng("grid-on-x.png"));
  }
}

// On a real display the image of a drag cannot be blended into the screen:
// a window of its own, topmost, taking neither focus nor clicks, shows it,
// blended over what our own windows show beneath it.
TEST_F(GridOnX, ADragImageShowsInAWindowOfItsOwnOverOurWindows) {
  auto& scene = onX->scene;
  {
    TForm* form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({40, 40, 320, 200});
    form->SetColor(clWhite);
    form->Show();
    scene.Settle();
    const HWND active = GetActiveWindow();
    const TPoint place = form->ClientToScreen({30, 20});
    {
      TcxDragImage image;
      image.Init(40, 20);
      image.GetImage()->GetCanvas()->GetBrush()->SetColor(clBlue);
      image.GetImage()->GetCanvas()->FillRect({0, 0, 40, 20});
      image.Show(place);
      scene.Settle();
      const HWND window = cxDragImageWindow();
      ASSERT_NE(window, nullptr);
      EXPECT_EQ(GetActiveWindow(), active) << "the image takes no focus";
      std::vector<std::uint32_t> pixels;
      int width = 0, height = 0;
      ASSERT_TRUE(scene.probe->Capture(scene.x->WindowOf(win::detail::Peek(window)->surface), pixels, width, height));
      ASSERT_EQ(width, 40);
      ASSERT_EQ(height, 20);
      // Blue at 200 of 255 over white.
      const std::uint32_t pixel = pixels[10 * 40 + 20] & 0xFFFFFF;
      EXPECT_NEAR(static_cast<int>(pixel & 0xFF), 255, 1);
      EXPECT_NEAR(static_cast<int>((pixel >> 8) & 0xFF), 55, 1);
      EXPECT_NEAR(static_cast<int>((pixel >> 16) & 0xFF), 55, 1);
      bool viewable = false;
      RECT at{};
      ASSERT_TRUE(scene.probe->Geometry(scene.x->WindowOf(win::detail::Peek(window)->surface), viewable, at));
      EXPECT_TRUE(viewable);
      EXPECT_EQ(at.Left, place.X);
      EXPECT_EQ(at.Top, place.Y);

      // A click where the image lies reaches the form under it.
      bool clicked = false;
      struct Listener : TObject {
        bool* Clicked = nullptr;
        void Click(TObject*) { *Clicked = true; }
      };
      TOwned<Listener> listener(New<Listener>());
      listener->Clicked = &clicked;
      form->OnClick = TNotifyEvent::Bind<&Listener::Click>(listener.get());
      scene.probe->MovePointer(place.X + 5, place.Y + 5);
      scene.Settle();
      scene.probe->Button(1, true);
      scene.Settle();
      scene.probe->Button(1, false);
      scene.Settle();
      EXPECT_TRUE(clicked);
      form->OnClick = nullptr;

      image.Hide(place);
      scene.Settle();
      EXPECT_EQ(cxDragImageWindow(), nullptr);
    }
  }
}

}  // namespace
