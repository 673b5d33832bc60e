// The filter builder on a real X server: a condition added with Insert,
// its operator picked from the dropped list and its value typed, all
// through XTest, and the window's pixels read back from the server; and
// the filter dialog run there in its modal loop. The read-backs
// (snapshots/filter-on-x.png and filter-dialog-on-x.png in the build
// folder) are for a person to look at; the stories check the dotted level
// line, the stored value, the value painted in its colour and what Apply
// and Escape do.
#include "library/grid/FilterControlSession.h"
#include "library/grid/GridXScene.h"

#include <algorithm>

#include "library/foundation/cxButtons.h"
#include "library/grid/filter/cxFilterControlDialog.h"
#include "platform/forms/Screen.h"

using namespace grid_test;

namespace {

// Name starts with "like"; the list of operators opens over it and Home
// takes its first entry, "equals"; the keys then type the value and Enter
// stores it.
void EqualsTyped(edit_test::X11Input& AScene, TcxFilterControl* ABuilder, cxfc::TcxConditionViewInfo* ACondition,
                 std::initializer_list<const char*> AKeys) {
  AScene.Click(ABuilder, cxRectCenter(ACondition->OperatorRect));
  AScene.Key("Home");
  AScene.Key("Return");
  EXPECT_EQ(ACondition->Operator, fcoEqual);
  for (const char* key : AKeys) AScene.Key(key);
  AScene.Key("Return");
}

TEST(FilterOnX, AConditionBuiltWithKeysAndTheListIsDrawnOnTheServer) {
  if (!win::x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  GridXScene x;
  ASSERT_TRUE(x.Start());
  auto& scene = x.scene;
  {
    TForm* form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({40, 40, 480, 260});
    TFilteredTestControl* target = MakeFilteredControl(form, form);
    target->SetVisible(false);
    auto* builder = New<TcxFilterControl>(form);
    builder->SetBoundsRect({10, 10, 430, 200});
    builder->SetParent(form);
    builder->SetLinkComponent(target);
    form->Show();
    scene.Settle();
    scene.Click(builder, cxRectCenter(builder->GetRoot()->BoolOperatorRect));
    scene.Key("Escape");
    scene.Key("Insert");
    ASSERT_EQ(builder->GetRowCount(), 2);
    auto* condition = static_cast<cxfc::TcxConditionViewInfo*>(builder->GetRow(1));
    EqualsTyped(scene, builder, condition, {"g", "a"});
    ASSERT_EQ(condition->GetValues()->GetCount(), 1);
    EXPECT_EQ(VarToStr(condition->GetValues()->GetValue(0)->Value), "ga");
    scene.Settle();

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

TEST(FilterOnX, TheDialogBuildsAppliesAndClosesOnTheServer) {
  if (!win::x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  GridXScene x;
  ASSERT_TRUE(x.Start());
  auto& scene = x.scene;
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  TFilteredTestControl* target = MakeFilteredControl(form, form);
  bool ran = false;
  win::test::OnNextModalLoop([&] {
    auto* dialog = dynamic_cast<TfmFilterControlDialog*>(Screen->GetActiveForm());
    ASSERT_NE(dialog, nullptr);
    ran = true;
    scene.Settle();
    TcxFilterControl* builder = dialog->GetFilterControl();
    scene.Click(builder, cxRectCenter(builder->GetViewInfo()->GetAddConditionRect()));
    ASSERT_EQ(builder->GetRowCount(), 2);
    auto* condition = static_cast<cxfc::TcxConditionViewInfo*>(builder->GetRow(1));
    EqualsTyped(scene, builder, condition, {"b", "e", "t", "a"});
    scene.Click(dialog->btApply, TPoint(dialog->btApply->GetWidth() / 2, dialog->btApply->GetHeight() / 2));
    EXPECT_EQ(target->Visible(), (std::vector<std::string>{"beta"})) << "Apply filtered the control";
    EXPECT_TRUE(dialog->GetVisible()) << "Apply leaves the dialog open";
    scene.Settle();

    // Applying rebuilt the rows from the control: the value is painted in
    // the value font's blue (smoothed at its edges by the server's fonts).
    ASSERT_TRUE(x.Capture(dialog));
    condition = static_cast<cxfc::TcxConditionViewInfo*>(builder->GetRow(1));
    const TRect value = condition->GetValues()->GetValue(0)->ValueRect;
    ASSERT_EQ(ColorToRGB(builder->GetFontValue()->GetColor()), ColorToRGB(clBlue));
    int inked = 0;
    for (Integer y = value.Top; y < value.Bottom; ++y)
      for (Integer px = value.Left; px < value.Right; ++px) {
        const std::uint32_t c = x.Pixel(builder, TPoint(px, y));
        const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        inked += b - std::max(r, g) > 160;
      }
    EXPECT_GE(inked, 10) << "the value's text on the server";
    EXPECT_TRUE(x.SavePng("filter-dialog-on-x.png"));
    scene.Key("Escape");
  });
  EXPECT_FALSE(ExecuteFilterControlDialog(target));
  EXPECT_TRUE(ran);
  EXPECT_EQ(target->Visible(), (std::vector<std::string>{"beta"})) << "Escape cancels, the apply stays";
}

}  // namespace
