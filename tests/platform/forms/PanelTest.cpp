// The panel on screen: its bevels read pixel by pixel, aligned children
// kept inside them, its caption placed by its alignment, and a panel read
// from a layout.
#include "platform/forms/ExtCtrls.h"

#include "platform/forms/Graphics.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Window.h"
#include "platform/win/WindowDC.h"
#include "ControlLog.h"
#include "FormsTestUtil.h"

using namespace forms_test;

namespace {

class Panels : public ::testing::Test {
 protected:
  forms::test::Session session;
  LeakCheck leaks;  // everything the test makes is gone by its end
  TForm* form = nullptr;
  TPanel* panel = nullptr;
  void SetUp() override {
    form = MakeForm("Form");
    form->SetColor(clWhite);
    panel = Make<TPanel>(form, "Panel", Bounds(10, 10, 100, 60));
    form->Show();
    win::test::PumpUntilIdle();
  }
  void TearDown() override {
    form->Free();
    EXPECT_TRUE(forms::test::RecordedExceptions().empty());
  }
  TColor At(int x, int y) {
    HDC dc = GetDC(panel->GetHandle());
    auto c = static_cast<TColor>(GetPixel(dc, x, y));
    ReleaseDC(panel->GetHandle(), dc);
    return c;
  }
  // The colours along the top-left to centre diagonal, one per pixel.
  std::vector<TColor> Diagonal(int n) {
    win::test::PumpUntilIdle();
    std::vector<TColor> out;
    for (int i = 0; i < n; ++i) out.push_back(At(i, i));
    return out;
  }
  std::vector<TColor> Bottom(int n) {
    std::vector<TColor> out;
    for (int i = 1; i <= n; ++i) out.push_back(At(panel->GetClientWidth() - i, panel->GetClientHeight() - i));
    return out;
  }
};

TEST_F(Panels, BevelsFrameThePanelOuterThenInnerEachBevelWidthWide) {
  TColor hi = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow), face = ColorToRGB(clBtnFace);
  // Raised outer bevel by default: light top-left, dark bottom-right.
  EXPECT_EQ(Diagonal(2), (std::vector<TColor>{hi, face}));
  EXPECT_EQ(Bottom(2), (std::vector<TColor>{sh, face}));

  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(2);
  EXPECT_EQ(Diagonal(5), (std::vector<TColor>{hi, hi, sh, sh, face}));
  EXPECT_EQ(Bottom(5), (std::vector<TColor>{sh, sh, hi, hi, face}));

  // A space bevel takes room in the face colour; none takes none.
  panel->SetBevelOuter(bvSpace);
  panel->SetBevelInner(bvNone);
  panel->SetBevelWidth(0);  // at least one pixel
  EXPECT_EQ(panel->GetBevelWidth(), 1);
  panel->SetColor(clYellow);
  EXPECT_EQ(Diagonal(2), (std::vector<TColor>{clYellow, clYellow}));

  // With its parent's background the face is the form's white.
  panel->SetParentBackground(true);
  panel->Invalidate();
  EXPECT_EQ(Diagonal(2), (std::vector<TColor>{clWhite, clWhite}));
}

TEST_F(Panels, AlignedChildrenSitInsideTheBevelsAndTheBorder) {
  auto* child = Make<TLogControl>(panel, "Child", Bounds(0, 0, 10, 10));
  child->SetAlign(alClient);
  EXPECT_EQ(child->GetBoundsRect(), Rect(1, 1, 99, 59));
  panel->SetBevelInner(bvRaised);
  panel->SetBevelWidth(3);
  EXPECT_EQ(child->GetBoundsRect(), Rect(6, 6, 94, 54));

  // A single border is a sunken client edge around all of it.
  panel->SetBorderStyle(bsSingle);
  win::test::PumpUntilIdle();
  EXPECT_EQ(panel->GetClientWidth(), 96);
  EXPECT_EQ(child->GetBoundsRect(), Rect(6, 6, 90, 50));
  EXPECT_TRUE(GetWindowLongA(panel->GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

// Bevels of the widest width leave no room inside, and the panel still
// paints and aligns.
TEST_F(Panels, TheWidestBevelsLeaveNoRoomInside) {
  auto* child = Make<TLogControl>(panel, "Child", Bounds(0, 0, 10, 10));
  child->SetAlign(alClient);
  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(std::numeric_limits<Integer>::max());
  EXPECT_EQ(child->GetWidth(), 0);
  EXPECT_EQ(child->GetHeight(), 0);
  win::test::PumpUntilIdle();
  EXPECT_EQ(At(0, 0), ColorToRGB(clBtnHighlight));
}

TEST_F(Panels, TheCaptionSitsWhereItsAlignmentSays) {
  panel->GetFont()->SetColor(clRed);
  panel->SetCaption("MMM");
  auto inkColumns = [&]() {
    win::test::PumpUntilIdle();
    int first = -1, last = -1;
    for (int x = 0; x < panel->GetClientWidth(); ++x)
      for (int y = 0; y < panel->GetClientHeight(); ++y)
        if (At(x, y) == clRed) {
          if (first < 0) first = x;
          last = x;
        }
    return std::pair<int, int>{first, last};
  };
  auto [cl, cr] = inkColumns();
  ASSERT_GE(cl, 0);
  EXPECT_NEAR(cl + cr, 100, 3);  // centred
  panel->SetAlignment(taLeftJustify);
  EXPECT_LE(inkColumns().first, 3);
  panel->SetAlignment(taRightJustify);
  EXPECT_GE(inkColumns().second, 95);
  panel->SetEnabled(false);
  EXPECT_EQ(inkColumns().first, -1);  // grey now
}

TEST_F(Panels, APanelFromALayoutKeepsItsProperties) {
  auto* f = static_cast<TForm*>(forms::test::BuildFromText(
      "object Box: TForm\n"
      "  object Top: TPanel\n"
      "    Left = 0\n    Top = 0\n    Width = 200\n    Height = 30\n"
      "    Align = alTop\n    BevelInner = bvLowered\n    BevelOuter = bvNone\n    BevelWidth = 2\n"
      "    BorderStyle = bsSingle\n    Alignment = taLeftJustify\n    Caption = 'Title'\n"
      "  end\n"
      "end\n"));
  auto* p = static_cast<TPanel*>(f->FindComponent("Top"));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->GetAlign(), alTop);
  EXPECT_EQ(p->GetBevelInner(), bvLowered);
  EXPECT_EQ(p->GetBevelOuter(), bvNone);
  EXPECT_EQ(p->GetBevelWidth(), 2);
  EXPECT_EQ(p->GetBorderStyle(), bsSingle);
  EXPECT_EQ(p->GetAlignment(), taLeftJustify);
  EXPECT_EQ(p->GetCaption(), "Title");
  f->Free();
}

}  // namespace
