// Pictures of the test control for people to look at: a value cell
// normal, hot, focused and with its editor open, in each look and feel
// and in the native style with the theme module on. Each picture goes to
// snapshots/ in the build tree (grid-<look>-<state>.png); pixels that must
// hold are asserted here, the pictures themselves are not compared.
#include "library/grid/GridTestControl.h"

#include "library/grid/WindowPixels.h"

#include <filesystem>

#include "library/editors/core/cxButtonEdit.h"
#include "platform/controls/Edit.h"
#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Blits.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/theme/ThemeBinding.h"
#include "platform/theme/ThemeState.h"
#include "platform/theme/ThemeTestMode.h"
#include "platform/win/WindowDC.h"

using namespace grid_test;

namespace {

using grid_pixels::Look;
using grid_pixels::ThemeInstalled;

class GridSnapshots : public ThemeInstalled, public GridSession {
 protected:
  TcxCustomInplaceEditContainer* path = nullptr;
  TEdit* other = nullptr;

  void SetUp() override {
    GridSession::SetUp();
    form->SetBoundsRect({100, 100, 420, 300});
    grid->SetBoundsRect({10, 10, 250, 110});
    grid->GetDataController()->SetValue(0, name->GetItemIndex(), Variant("Mountain ridge"));
    path = AddItem("String", Variant("maps/north.tt"));
    path->SetPropertiesClass(TcxButtonEditProperties::StaticClass());
    grid->GetOptionsView()->SetShowEditButtons(ecsbAlways);
    other = New<TEdit>(form);
    other->SetParent(form);
    other->SetBoundsRect({260, 10, 310, 30});
    std::filesystem::create_directories("snapshots");
  }
  void TearDown() override {
    GridSession::TearDown();
    win::test::ResetThemeModule();
  }

  void Snapshot(const std::string& ALook, const std::string& AState) {
    Pump();
    EXPECT_TRUE(grid_pixels::Snapshot(grid, "grid-" + ALook + "-" + AState));
  }
  TColor PixelAt(TPoint P) { return grid_pixels::PixelAt(grid, P); }
};

TEST_F(GridSnapshots, AValueCellNormalHotFocusedAndEditingInEveryLook) {
  form->Show();
  Pump();
  for (const Look& look : grid_pixels::kLooks) {
    SCOPED_TRACE(look.Name);
    grid->GetLookAndFeel()->SetKind(look.Kind);
    grid->GetLookAndFeel()->SetNativeStyle(look.Native);
    other->SetFocus();
    grid->GetController()->SetFocusedRecordItem(0, ratio);
    MoveTo(TPoint(-20, -20));
    Pump();
    Snapshot(look.Name, "normal");
    TTestCell* cell = grid->TestViewInfo()->Cell(0, 0);
    EXPECT_EQ(ColorToRGB(PixelAt(TPoint(cell->DisplayRect.Right - 3, cell->DisplayRect.Top + 3))),
              ColorToRGB(cell->ViewParams.Color))
        << "the cell's background";

    MoveTo(TPoint(grid->TestViewInfo()->Cell(0, 3)->DisplayRect.Right - 8, Center(path).Y));
    Snapshot(look.Name, "hot");

    grid->SetFocus();
    grid->GetController()->SetFocusedRecordItem(0, name);
    MoveTo(TPoint(-20, -20));
    Snapshot(look.Name, "focused");
    const TColor selection = grid->GetViewInfo()->GetSelectionParams().Color;
    EXPECT_EQ(ColorToRGB(PixelAt(TPoint(cell->DisplayRect.Right - 3, cell->DisplayRect.Top + 3))),
              ColorToRGB(selection))
        << "the focused cell in the selection colour";

    Click(path);
    ASSERT_NE(Editor(), nullptr);
    Snapshot(look.Name, "editing");
    Press(win::VK_ESCAPE);
  }
}

}  // namespace
