// The test control on a real X server: a value cell clicked, typed into and
// posted through XTest, and the window's pixels read back from the server.
// The read-back (snapshots/grid-on-x.png in the build folder) is for a
// person to look at; the story checks that the posted value is painted by
// the cell after the editor went.
#include <gtest/gtest.h>

#include <filesystem>

#include "X11Scene.h"

#include "library/grid/GridTestControl.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/x11/X11BackEnd.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"

using namespace grid_test;
using namespace win;

namespace {

using grid_x11::Scene;

TEST(GridOnX, AValueTypedInPlaceIsPaintedByItsCellOnTheServer) {
  if (!x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  x11::Xvfb server;
  ASSERT_TRUE(server.Running()) << "Xvfb did not start";
  GridUnitsListed units;
  forms::test::Session session;
  auto be = win::OpenX11BackEnd(server.Display());
  ASSERT_TRUE(be);
  Scene scene;
  scene.x = static_cast<x11::X11BackEnd*>(be.get());
  std::unique_ptr<win::IBackEnd> previous = win::SetBackEnd(std::move(be));
  x11::Probe probe(server.Display());
  ASSERT_TRUE(probe.Connected());
  scene.probe = &probe;
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

    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    const x11::XId window = scene.x->WindowOf(win::detail::Peek(form->GetHandle())->surface);
    ASSERT_TRUE(probe.Capture(window, pixels, width, height));
    win::RECT frame{};
    win::GetWindowRect(form->GetHandle(), &frame);
    auto at = [&](TPoint P) {
      const TPoint s = grid->ClientToScreen(P);
      return pixels.at(static_cast<std::size_t>(s.Y - frame.Top) * width + (s.X - frame.Left)) & 0xFFFFFF;
    };
    // The posted value's text over the focused cell's selection colour.
    const TTestCell* focused = grid->TestViewInfo()->Cell(0, 1);
    const TColor fill = ColorToRGB(focused->ViewParams.Color);
    const std::uint32_t background = (GetRValue(fill) << 16) | (GetGValue(fill) << 8) | GetBValue(fill);
    const TRect edit = focused->EditRect;
    EXPECT_EQ(at(TPoint(edit.Right - 20, edit.Top + 2)), background) << "the cell in the selection colour";
    bool text = false;
    for (Integer x = edit.Left; x < edit.Left + 16 && !text; ++x)
      for (Integer y = edit.Top; y < edit.Bottom && !text; ++y) text = at(TPoint(x, y)) != background;
    EXPECT_TRUE(text) << "the cell paints the posted value";
    std::filesystem::create_directories("snapshots");
    EXPECT_TRUE(win::SaveRowsPng(width, height,
                                 [&](int y, std::uint32_t* row) {
                                   for (int x = 0; x < width; ++x)
                                     row[x] = pixels[static_cast<std::size_t>(y) * width + x];
                                 },
                                 "snapshots/grid-on-x.png"));
  }
  Application->DestroyComponents();
  win::test::PumpUntilIdle();
  win::SetBackEnd(std::move(previous));
}

}  // namespace
