// The filter builder on a real X server: a condition added with Insert,
// its operator picked from the dropped list and its value typed, all
// through XTest, and the window's pixels read back from the server. The
// read-back (snapshots/filter-on-x.png in the build folder) is for a person
// to look at; the story checks the dotted level line and the stored value.
#include <gtest/gtest.h>

#include <filesystem>

#include "library/editors/X11Input.h"
#include "library/grid/FilterControlSession.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/x11/X11BackEnd.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"

using namespace grid_test;
using namespace win;

namespace {

using Scene = edit_test::X11Input;

TEST(FilterOnX, AConditionBuiltWithKeysAndTheListIsDrawnOnTheServer) {
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
    form->SetBoundsRect({40, 40, 480, 260});
    TFilteredTestControl* target = MakeFilteredControl(form, form);
    auto* builder = New<TcxFilterControl>(form);
    builder->SetBoundsRect({10, 10, 430, 200});
    builder->SetParent(form);
    builder->SetLinkComponent(target);
    form->Show();
    scene.Settle(30);
    scene.Click(builder, cxRectCenter(builder->GetRoot()->BoolOperatorRect));
    scene.Key("Escape");
    scene.Key("Insert");
    ASSERT_EQ(builder->GetRowCount(), 2);
    auto* condition = static_cast<cxfc::TcxConditionViewInfo*>(builder->GetRow(1));
    // Name starts with "like"; the list of operators opens over it and
    // Home takes its first entry, "equals".
    scene.Click(builder, cxRectCenter(condition->OperatorRect));
    scene.Key("Home");
    scene.Key("Return");
    EXPECT_EQ(condition->Operator, fcoEqual);
    scene.Key("g");
    scene.Key("a");
    scene.Key("Return");
    ASSERT_EQ(condition->GetValues()->GetCount(), 1);
    EXPECT_EQ(VarToStr(condition->GetValues()->GetValue(0)->Value), "ga");
    scene.Settle(10);

    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    const x11::XId window = scene.x->WindowOf(win::detail::Peek(form->GetHandle())->surface);
    ASSERT_TRUE(probe.Capture(window, pixels, width, height));
    win::RECT frame{};
    win::GetWindowRect(form->GetHandle(), &frame);
    auto at = [&](TPoint P) {
      const TPoint s = builder->ClientToScreen(P);
      return pixels.at(static_cast<std::size_t>(s.Y - frame.Top) * width + (s.X - frame.Left)) & 0xFFFFFF;
    };
    const TColor dark = ColorToRGB(cl3DDkShadow);
    const std::uint32_t dot = (GetRValue(dark) << 16) | (GetGValue(dark) << 8) | GetBValue(dark);
    const Integer x = builder->GetRoot()->ButtonRect.Left + condition->ButtonRect.Width() / 2;
    int dots = 0;
    for (Integer y = condition->RowRect.Top; y < condition->RowRect.Top + condition->RowRect.Height() / 2; ++y)
      dots += at(TPoint(x, y)) == dot;
    EXPECT_GE(dots, 3) << "the dotted level line on the server";
    std::filesystem::create_directories("snapshots");
    EXPECT_TRUE(win::SaveRowsPng(width, height,
                                 [&](int y, std::uint32_t* row) {
                                   for (int c = 0; c < width; ++c)
                                     row[c] = pixels[static_cast<std::size_t>(y) * width + c];
                                 },
                                 "snapshots/filter-on-x.png"));
  }
  Application->DestroyComponents();
  win::test::PumpUntilIdle();
  win::SetBackEnd(std::move(previous));
}

}  // namespace
