// Pictures of the front end's value grid for people to look at, in every
// look and feel (and the native style with the theme module on) and both
// paint styles: a focused editor row, a focused and a collapsed category,
// a hot row, an open spin and text editor, the vertical scroll bar, a
// caption cut with an ellipsis, row images, headers hidden, no grid lines,
// and the explorer-style category with the theme module on and off. Each
// goes to snapshots/grid-<look>-<style>-<state>.png in the build folder;
// the pixels that must hold are asserted here, the pictures are not
// compared.
#include <filesystem>

#include "library/grid/VGridSession.h"
#include "platform/theme/ThemeBinding.h"
#include "platform/theme/ThemeState.h"
#include "platform/theme/ThemeTestMode.h"

namespace {

using grid_pixels::Look;
using grid_pixels::ThemeInstalled;

using grid_pixels::kLooks;

class VGridSnapshots : public ThemeInstalled, public vgrid_test::Session {
 protected:
  TTestVerticalGrid* grid = nullptr;
  vgrid_test::ValueRows rows;
  TImageList* images = nullptr;

  void SetUp() override {
    Session::SetUp();
    std::filesystem::create_directories("snapshots");
    form->SetBoundsRect({100, 100, 460, 360});
    grid = NewGrid(false);
    grid->SetBoundsRect({8, 8, 8 + 313, 8 + 225});
    grid->GetOptionsView()->SetRowHeaderWidth(190);
    rows = vgrid_test::AddValueRows(grid);
    images = New<TImageList>(form);
    images->SetWidth(12);
    images->SetHeight(12);
    auto* strip = New<TBitmap>();
    strip->SetWidth(24);
    strip->SetHeight(12);
    strip->GetCanvas()->GetBrush()->SetColor(TColor(0x2080E0));
    strip->GetCanvas()->FillRect(TRect(0, 0, 12, 12));
    strip->GetCanvas()->GetBrush()->SetColor(TColor(0x40A040));
    strip->GetCanvas()->FillRect(TRect(12, 0, 24, 12));
    images->Add(strip, nullptr);
    strip->Free();
    form->Show();
    Pump();
    grid->SetFocus();
    Pump();
  }
  void TearDown() override {
    Session::TearDown();
    win::test::ResetThemeModule();
  }
  void Shot(const Look& ALook, const char* AStyle, const std::string& AState) {
    Pump();
    EXPECT_TRUE(vgrid_test::Snapshot(grid, std::string("grid-") + ALook.Name + "-" + AStyle + "-" + AState));
  }
  TcxCustomRowViewInfo* Placed(TcxCustomRow* ARow) { return grid->GetVGViewInfo()->GetRowViewInfo(ARow); }
  TPoint ValueCenter(TcxCustomRow* ARow) { return cxRectCenter(Placed(ARow)->ValuesRect); }
};

TEST_F(VGridSnapshots, TheValueGridInEveryLookAndBothPaintStyles) {
  for (const Look& look : kLooks) {
    for (TcxvgPaintStyle style : {psdotNet, psDelphi}) {
      const char* styleName = style == psdotNet ? "dotnet" : "3d";
      SCOPED_TRACE(std::string(look.Name) + " " + styleName);
      grid->GetLookAndFeel()->SetKind(look.Kind);
      grid->GetLookAndFeel()->SetNativeStyle(look.Native);
      grid->GetOptionsView()->SetPaintStyle(style);
      grid->FullExpand();
      win::test::MouseMove(grid->GetHandle(), TPoint(-20, -20));

      grid->SetFocusedRow(rows.Ratio);
      Shot(look, styleName, "focused-row");
      // The value cell of an unfocused row shows its value on the content
      // colour.
      const TcxRowValueInfo* width = Placed(rows.Width)->GetValuesInfo()->GetItem(0);
      EXPECT_EQ(ColorToRGB(vgrid_test::PixelAt(grid, TPoint(width->DisplayRect.Right - 3, width->DisplayRect.Top + 3))),
                ColorToRGB(width->ViewParams.Color));

      rows.Unused->SetExpanded(false);
      grid->SetFocusedRow(rows.Ok);
      Shot(look, styleName, "focused-category");
      TcxCustomRowHeaderInfo* ok = Placed(rows.Ok)->GetHeaderInfo();
      if (style == psdotNet) {
        EXPECT_EQ(ok->GetCaptionViewParams().Color, grid->GetStyles()->GetSelectionParams().Color)
            << "a focused category takes the selection colour";
      }
      rows.Unused->SetExpanded(true);

      win::test::MouseMove(grid->GetHandle(), ValueCenter(rows.Biome));
      Shot(look, styleName, "hot");
      win::test::MouseMove(grid->GetHandle(), TPoint(-20, -20));

      win::test::Click(grid->GetHandle(), ValueCenter(rows.Width));
      Pump();
      ASSERT_TRUE(grid->IsEditing()) << "a click opens the spin editor";
      Shot(look, styleName, "editing-spin");
      grid->HideEdit();
      win::test::Click(grid->GetHandle(), ValueCenter(rows.Seed));
      Pump();
      ASSERT_TRUE(grid->IsEditing()) << "a click opens the text editor";
      Shot(look, styleName, "editing-text");
      grid->HideEdit();

      // More rows than fit: the vertical scroll bar.
      grid->BeginUpdate();
      for (Integer i = 0; i < 8; ++i)
        vgrid_test::AddParameter(grid, rows.Unknown, "extra " + IntToStr(i), TcxTextEditProperties::StaticClass(),
                                 TcxStringValueType::Class(), Variant("value"), 0);
      grid->EndUpdate();
      Pump();
      EXPECT_TRUE(grid->GetVScrollBarVisible());
      Integer pos = 0;
      grid->GetVGController()->Scroll(sbVertical, scLineDown, pos);
      Shot(look, styleName, "scrolled");
      while (rows.Unknown->GetCount() > 1) rows.Unknown->GetRow(rows.Unknown->GetCount() - 1)->Free();
      Pump();
    }
  }
}

TEST_F(VGridSnapshots, CaptionsImagesHeadersLinesAndExplorerCategories) {
  for (const Look& look : kLooks) {
    SCOPED_TRACE(look.Name);
    grid->GetLookAndFeel()->SetKind(look.Kind);
    grid->GetLookAndFeel()->SetNativeStyle(look.Native);
    grid->GetOptionsView()->SetPaintStyle(psdotNet);
    grid->SetFocusedRow(rows.Rivers);

    // A caption wider than its cell, cut with an ellipsis; images beside
    // the captions, the place kept for a row whose index is past the list.
    grid->GetOptionsView()->SetCellEndEllipsis(true);
    rows.Climate->GetProperties()->SetCaption("A caption much too long for its header cell");
    grid->GetOptionsView()->SetRowHeaderWidth(120);
    grid->SetImages(images);
    rows.Width->GetProperties()->SetImageIndex(0);
    rows.Ratio->GetProperties()->SetImageIndex(1);
    rows.Rivers->GetProperties()->SetImageIndex(7);
    grid->GetOptionsView()->SetShowEmptyRowImage(true);
    Shot(look, "dotnet", "ellipsis-images");
    grid->SetImages(nullptr);
    grid->GetOptionsView()->SetShowEmptyRowImage(false);
    grid->GetOptionsView()->SetCellEndEllipsis(false);
    rows.Climate->GetProperties()->SetCaption("Climate");
    grid->GetOptionsView()->SetRowHeaderWidth(190);

    grid->GetOptionsView()->SetShowHeaders(false);
    Shot(look, "dotnet", "headers-hidden");
    grid->GetOptionsView()->SetShowHeaders(true);

    for (TcxvgPaintStyle style : {psdotNet, psDelphi}) {
      grid->GetOptionsView()->SetPaintStyle(style);
      grid->GetOptionsView()->SetGridLines(vglNone);
      Shot(look, style == psdotNet ? "dotnet" : "3d", "lines-none");
      grid->GetOptionsView()->SetGridLines(vglBoth);
    }
    grid->GetOptionsView()->SetPaintStyle(psdotNet);

    grid->GetOptionsView()->SetCategoryExplorerStyle(true);
    grid->SetFocusedRow(rows.Unused);
    Shot(look, "dotnet", "explorer-theme-on");
    EXPECT_TRUE(grid->GetVGViewInfo()->GetUseCategoryExplorerStyle());
    win::SetThemesActive(false);
    grid->LayoutChanged();
    Shot(look, "dotnet", "explorer-theme-off");
    EXPECT_FALSE(grid->GetVGViewInfo()->GetUseCategoryExplorerStyle()) << "without themes a plain category";
    win::SetThemesActive(true);
    grid->GetOptionsView()->SetCategoryExplorerStyle(false);
  }
}

}  // namespace
