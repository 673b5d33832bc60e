// The filter builder on a real X server: a condition added with Insert,
// its operator picked from the dropped list and its value typed, all
// through XTest, and the window's pixels read back from the server. The
// read-back (snapshots/filter-on-x.png in the build folder) is for a person
// to look at; the story checks the dotted level line and the stored value.
#include "library/grid/FilterControlSession.h"
#include "library/grid/GridXScene.h"

using namespace grid_test;

namespace {

TEST(FilterOnX, AConditionBuiltWithKeysAndTheListIsDrawnOnTheServer) {
  if (!win::x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  GridXScene x;
  ASSERT_TRUE(x.Start());
  auto& scene = x.scene;
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

    ASSERT_TRUE(x.Capture(form));
    const std::uint32_t dot = GridXScene::Rgb(cl3DDkShadow);
    const Integer column = builder->GetRoot()->ButtonRect.Left + condition->ButtonRect.Width() / 2;
    int dots = 0;
    for (Integer y = condition->RowRect.Top; y < condition->RowRect.Top + condition->RowRect.Height() / 2; ++y)
      dots += x.Pixel(builder, TPoint(column, y)) == dot;
    EXPECT_GE(dots, 3) << "the dotted level line on the server";
    EXPECT_TRUE(x.SavePng("filter-on-x.png"));
  }
}

}  // namespace
