// The customization window: shown beside the grid inside the work area,
// rows dragged out of the grid hidden and listed, dragged back shown where
// they land, the window following the application's minimizing, new
// categories from the dialog; and pictures of both pages and the dialog.
#include <filesystem>
#include <limits>
#include <string>

#include "library/grid/VGridSession.h"
#include "platform/theme/ThemeTestMode.h"
#include "platform/win/Focus.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"
#include "platform/win/SystemMenu.h"
#include "platform/win/Window.h"

namespace {

class Customizing : public vgrid_test::Session {
 protected:
  TTestVerticalGrid* grid = nullptr;
  vgrid_test::ValueRows rows;

  void SetUp() override {
    Session::SetUp();
    // A task bar of 40 pixels at the bottom of the one 1024 x 768 screen.
    win::test::SetMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 728}, true}});
    form->SetBoundsRect({600, 100, 1000, 500});
    grid = NewGrid(false);
    grid->SetBoundsRect({8, 8, 8 + 360, 8 + 300});
  }
  TcxVerticalGridCustomizing* Customization() { return grid->GetCustomizing(); }
  TcxvgController* Controller() { return grid->GetVGController(); }
  // The captions a list shows, "|" between them.
  static std::string Listed(TcxVerticalGridItemsCustomizeListBox* AList) {
    std::string text;
    for (Integer i = 0; i < AList->GetCount(); ++i) text += (i ? "|" : "") + AList->GetItems()->Get(i);
    return text;
  }
  TPoint CaptionCenter(TcxCustomRow* ARow) {
    return cxRectCenter(grid->GetVGViewInfo()->GetRowViewInfo(ARow)->GetHeaderInfo()->GetCaption(0)->HeaderCellBounds);
  }
  // Presses at AFrom's client point, drags past the threshold and drops
  // over ATo (screen). The grid detects the drag in a loop of its own
  // before the drag's loop; the list starts dragging on the move itself.
  void Drag(TWinControl* AFrom, TPoint AFromPoint, TPoint AToScreen) {
    const TPoint start = AFrom->ClientToScreen(TPoint(AFromPoint.X + 12, AFromPoint.Y + 12));
    auto drop = [AToScreen] {
      win::test::MouseMove(AToScreen);
      win::test::MouseMove(TPoint(AToScreen.X + 1, AToScreen.Y));
      win::test::MouseUp();
    };
    const bool detects = AFrom == grid;
    if (detects) {
      win::test::OnNextModalLoop([start, drop] {
        win::test::OnNextModalLoop(drop);
        win::test::MouseMove(start);
      });
    } else {
      win::test::OnNextModalLoop(drop);
    }
    win::test::MouseMove(AFrom->GetHandle(), AFromPoint);
    win::test::MouseDown();
    if (!detects) win::test::MouseMove(start);
    Pump();
  }
};

// Without rows there is nothing to show; with rows the window opens beside
// the grid, pulled left into the work area, without taking the focus.
// Dragging a row out hides it and lists it; a row that may not go is
// refused; dragging it back shows it where it lands; minimizing the
// application hides the window and restoring shows it again.
TEST_F(Customizing, RowsGoToTheWindowAndComeBack) {
  form->Show();
  Pump();
  Customization()->SetVisible(true);
  EXPECT_FALSE(Customization()->GetVisible()) << "a grid without rows";
  EXPECT_EQ(Customization()->GetForm(), nullptr);

  rows = vgrid_test::AddValueRows(grid);
  rows.Seed->GetOptions()->SetShowInCustomizationForm(false);
  rows.Seed->SetVisible(false);
  rows.Rivers->GetOptions()->SetCanMovedToCustomizationForm(false);
  grid->SetFocus();
  Pump();
  std::vector<std::string> events;
  grid->OnCustomizationFormVisibleChanged = [&](TObject*) {
    events.push_back(Customization()->GetVisible() ? "shown" : "closed");
  };
  Customization()->SetVisible(true);
  Pump();
  TcxVerticalGridCustomizationForm* window = Customization()->GetForm();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(win::IsWindowVisible(window->GetHandle()));
  EXPECT_EQ(events, std::vector<std::string>({"shown"}));
  EXPECT_EQ(window->GetCaption(), "Customize");
  EXPECT_EQ(grid->GetDragMode(), dmAutomatic);
  const TPoint gridRight = grid->ClientToScreen(TPoint(grid->GetWidth(), 0));
  EXPECT_EQ(window->GetBoundsRect().Right, 1024) << "pulled left to fit the screen";
  EXPECT_LT(window->GetLeft(), gridRight.X);
  EXPECT_EQ(window->GetTop(), gridRight.Y);
  EXPECT_EQ(win::GetActiveWindow(), form->GetHandle()) << "the grid's form keeps the activation";
  EXPECT_EQ(Customization()->GetRowListBox()->GetCount(), 0) << "a hidden row not meant for the window";
  EXPECT_EQ(Customization()->GetPageControl()->GetActivePage(), Customization()->GetRowsSheet());
  // Its system menu keeps moving, sizing and closing; Alt+Space shows it
  // there, and its Move or Close are the form's to choose.
  win::HMENU sysMenu = win::GetSystemMenu(window->GetHandle(), win::FALSE);
  ASSERT_EQ(win::GetMenuItemCount(sysMenu), 3);
  EXPECT_EQ(win::GetMenuItemID(sysMenu, 0), win::SC_MOVE);
  EXPECT_EQ(win::GetMenuItemID(sysMenu, 1), win::SC_SIZE);
  EXPECT_EQ(win::GetMenuItemID(sysMenu, 2), win::SC_CLOSE);
  forms::test::DismissMenu();
  win::SendMessageA(window->GetHandle(), win::WM_SYSCOMMAND, win::SC_KEYMENU, ' ');
  ASSERT_FALSE(forms::test::PopupMenuLog().empty());
  EXPECT_EQ(forms::test::PopupMenuLog().back().Items, (std::vector<AnsiString>{"Move", "Size", "Close"}));

  // Out of the grid onto the rows list. Where the window lies over the
  // grid, the grid's hit test answers the customization form's code.
  TcxVerticalGridItemsCustomizeListBox* list = Customization()->GetRowListBox();
  const TPoint overList = list->ClientToScreen(TPoint(20, 30));
  Controller()->GetHitTest()->ReCalculate(grid->ScreenToClient(overList));
  EXPECT_TRUE(Controller()->GetHitTest()->GetState(vghc_HitAtCustomize));
  EXPECT_EQ(Controller()->GetHitTest()->GetHitRow(), nullptr);
  Drag(grid, CaptionCenter(rows.Width), overList);
  EXPECT_FALSE(rows.Width->GetVisible());
  EXPECT_EQ(Listed(list), "Width");
  Drag(grid, CaptionCenter(rows.Rivers), overList);
  EXPECT_TRUE(rows.Rivers->GetVisible()) << "may not go to the window";
  EXPECT_EQ(Listed(list), "Width");

  // A category goes to its own page; its children that may go are hidden
  // with it, the one that may not stays in the grid a level up.
  Drag(grid, CaptionCenter(rows.Ok), overList);
  EXPECT_EQ(Customization()->GetPageControl()->GetActivePage(), Customization()->GetCategoriesSheet());
  EXPECT_FALSE(rows.Ok->GetVisible());
  EXPECT_EQ(Listed(Customization()->GetCategoryListBox()), "Ok Values");
  EXPECT_EQ(Listed(list), "Width|Ratio");
  EXPECT_TRUE(rows.Rivers->GetVisible());
  EXPECT_EQ(rows.Rivers->GetParent(), nullptr) << "at the top level";

  // Back from the list onto the caption of "Unused Values": a child of it.
  Customization()->MakeRowSheetVisible();
  Pump();
  list->SetItemIndex(-1);
  const TRect first = list->ItemRect(0);
  Drag(list, cxRectCenter(first), grid->ClientToScreen(CaptionCenter(rows.Unused)));
  EXPECT_TRUE(rows.Width->GetVisible());
  EXPECT_EQ(rows.Width->GetParent(), rows.Unused);
  EXPECT_EQ(Listed(list), "Ratio");

  // The application minimized hides the window; restored shows it again
  // without taking the activation.
  Application->Minimize();
  win::test::PumpFor(150);
  EXPECT_FALSE(win::IsWindowVisible(window->GetHandle()));
  Application->Restore();
  form->SetFocus();
  Pump();
  win::test::PumpFor(150);
  EXPECT_TRUE(win::IsWindowVisible(window->GetHandle()));
  EXPECT_EQ(win::GetActiveWindow(), form->GetHandle());

  // Closing the window: the grid hears of it and gets its drag mode back.
  window->Close();
  Pump();
  EXPECT_FALSE(Customization()->GetVisible());
  EXPECT_EQ(Customization()->GetForm(), nullptr);
  EXPECT_EQ(events, std::vector<std::string>({"shown", "closed"}));
  EXPECT_EQ(grid->GetDragMode(), dmManual);
}

// A window asked for more rows than any screen holds opens no taller than
// the grid's largest extent, and still lists its rows.
TEST_F(Customizing, AWindowOfCountlessRowsOpensAtTheLargestHeight) {
  form->Show();
  rows = vgrid_test::AddValueRows(grid);
  rows.Seed->SetVisible(false);
  Pump();
  Customization()->SetRowCount(std::numeric_limits<Integer>::max());
  Customization()->SetVisible(true);
  Pump();
  TcxVerticalGridCustomizationForm* window = Customization()->GetForm();
  ASSERT_NE(window, nullptr);
  EXPECT_GT(window->GetClientHeight(), 10 * Customization()->GetRowListBox()->GetItemHeight());
  EXPECT_LE(window->GetClientHeight(), cxvgMaxExtent);
  EXPECT_EQ(Listed(Customization()->GetRowListBox()), "seed");
}

// "&New..." asks for a caption; an empty one cannot be confirmed; the new
// category is hidden and listed at once, and "&Delete" frees it.
TEST_F(Customizing, NewCategoriesFromTheDialog) {
  rows = vgrid_test::AddValueRows(grid);
  form->Show();
  Pump();
  Customization()->SetVisible(true);
  Customization()->MakeCategorySheetVisible();
  Pump();
  TcxButton* create = Customization()->GetNewButton();
  ASSERT_NE(create, nullptr);
  EXPECT_EQ(create->GetCaption(), "&New...");
  EXPECT_FALSE(Customization()->GetDeleteButton()->GetEnabled());

  bool emptyRefused = false;
  win::test::OnNextModalLoop([&] {
    auto* dialog = dynamic_cast<TfmCreateCategory*>(forms::test::ActiveForm());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetCaption(), "New Category");
    EXPECT_EQ(dialog->GetClientWidth(), 279);
    EXPECT_EQ(dialog->GetClientHeight(), 87);
    win::test::KeyPress(win::VK_RETURN);
    Pump();
    emptyRefused = dialog->GetModalResult() == mrNone && !dialog->btOK->GetEnabled();
    win::test::TypeText("Vegetation");
    Pump();
    EXPECT_TRUE(dialog->btOK->GetEnabled());
    win::test::KeyPress(win::VK_RETURN);
  });
  win::test::Click(create->GetHandle(), TPoint(10, 10));
  Pump();
  EXPECT_TRUE(emptyRefused) << "Enter on an empty caption confirms nothing";
  TcxCustomRow* added = grid->RowByCaption("Vegetation");
  ASSERT_NE(added, nullptr);
  EXPECT_TRUE(dynamic_cast<TcxCategoryRow*>(added));
  EXPECT_FALSE(added->GetVisible());
  EXPECT_EQ(added->GetName().substr(0, 3), "Tcx");
  EXPECT_EQ(Listed(Customization()->GetCategoryListBox()), "Vegetation");

  TcxVerticalGridItemsCustomizeListBox* categories = Customization()->GetCategoryListBox();
  win::test::Click(categories->GetHandle(), cxRectCenter(categories->ItemRect(0)));
  Pump();
  EXPECT_TRUE(Customization()->GetDeleteButton()->GetEnabled());
  const Integer live = TObject::LiveCount();
  win::test::Click(Customization()->GetDeleteButton()->GetHandle(), TPoint(10, 10));
  Pump();
  EXPECT_EQ(grid->RowByCaption("Vegetation"), nullptr);
  EXPECT_EQ(categories->GetCount(), 0);
  EXPECT_LT(TObject::LiveCount(), live) << "the row is freed";
  EXPECT_FALSE(Customization()->GetDeleteButton()->GetEnabled());
}

class CustomizingSnapshots : public grid_pixels::ThemeInstalled, public Customizing {
 protected:
  void TearDown() override {
    Customizing::TearDown();
    win::test::ResetThemeModule();
  }
};

// Both pages with hidden rows in every look, and the new-category dialog.
TEST_F(CustomizingSnapshots, BothPagesAndTheDialog) {
  std::filesystem::create_directories("snapshots");
  rows = vgrid_test::AddValueRows(grid);
  form->Show();
  Pump();
  for (TcxCustomRow* row : {static_cast<TcxCustomRow*>(rows.Ratio), static_cast<TcxCustomRow*>(rows.Biome),
                            static_cast<TcxCustomRow*>(rows.Unknown)})
    row->SetVisible(false);
  Customization()->SetVisible(true);
  Pump();
  TcxVerticalGridCustomizationForm* window = Customization()->GetForm();
  for (const grid_pixels::Look& look : grid_pixels::kLooks) {
    SCOPED_TRACE(look.Name);
    grid->GetLookAndFeel()->SetKind(look.Kind);
    grid->GetLookAndFeel()->SetNativeStyle(look.Native);
    Customization()->MakeRowSheetVisible();
    Customization()->GetRowListBox()->SetItemIndex(1);
    Pump();
    EXPECT_TRUE(vgrid_test::Snapshot(window, std::string("customize-") + look.Name + "-rows", true));
    Customization()->MakeCategorySheetVisible();
    Pump();
    EXPECT_TRUE(vgrid_test::Snapshot(window, std::string("customize-") + look.Name + "-categories", true));
  }
  EXPECT_EQ(Listed(Customization()->GetRowListBox()), "Ratio|Biome");
  win::test::OnNextModalLoop([&] {
    auto* dialog = dynamic_cast<TfmCreateCategory*>(forms::test::ActiveForm());
    ASSERT_NE(dialog, nullptr);
    win::test::TypeText("Vegetation");
    Pump();
    EXPECT_TRUE(vgrid_test::Snapshot(dialog, "customize-new-category", true));
    win::test::KeyPress(win::VK_ESCAPE);
  });
  Customization()->CreateCategoryRow();
  Pump();
  EXPECT_EQ(grid->RowByCaption("Vegetation"), nullptr) << "cancelled";
}

}  // namespace
