// Stories of the vertical grid's painting, read back from the window: the
// focused row and its repaint, a focused category's colour down the indents
// of its rows, the 3-D style's sunken focused row (also without grid
// lines), the custom-draw hooks, the grids of a form painting through
// one shared buffer, and styles freed while updates are held.
#include "library/grid/VGridSession.h"
#include "platform/gdi/Regions.h"
#include "platform/win/Paint.h"

#include <cstdint>
#include <map>
#include <vector>

namespace {

class Painting : public vgrid_test::Session {
 protected:
  TTestVerticalGrid* grid = nullptr;
  vgrid_test::ValueRows rows;

  void SetUp() override {
    Session::SetUp();
    grid = NewGrid(false);
    grid->SetBoundsRect({8, 8, 8 + 313, 8 + 260});
    grid->GetOptionsView()->SetRowHeaderWidth(190);
    rows = vgrid_test::AddValueRows(grid);
    form->Show();
    Pump();
    grid->SetFocus();
    Pump();
  }
  TcxCustomRowViewInfo* Placed(TcxCustomRow* ARow) { return grid->GetVGViewInfo()->GetRowViewInfo(ARow); }
  TColor Pixel(TPoint P) { return ColorToRGB(vgrid_test::PixelAt(grid, P)); }
  // What a change left to repaint, before it is painted.
  bool Pending(TPoint P) {
    win::HRGN region = win::CreateRectRgn(0, 0, 0, 0);
    win::GetUpdateRgn(grid->GetHandle(), region, false);
    const bool inside = win::PtInRegion(region, P.X, P.Y);
    win::DeleteObject(win::ToObj(region));
    return inside;
  }
  // The middle of a row's own indent cell (where no button is).
  TPoint IndentOf(TcxCustomRow* ARow) {
    const TcxCustomRowHeaderInfo* header = Placed(ARow)->GetHeaderInfo();
    return cxRectCenter(header->GetCategoryIndents()->GetItem(0).Bounds);
  }
};

TEST_F(Painting, AFocusMoveRepaintsItsTwoRowsAndAFocusedCategoryColoursItsRowsIndents) {
  grid->SetFocusedRow(rows.Width);
  Pump();
  const TColor selection = ColorToRGB(grid->GetStyles()->GetSelectionParams().Color);
  const TRect widthHeader = Placed(rows.Width)->GetHeaderInfo()->HeaderCellsRect;
  EXPECT_EQ(Pixel(TPoint(widthHeader.Right - 4, widthHeader.Top + 3)), selection)
      << "the focused row's header in the selection colour";
  const TcxRowValueInfo* value = Placed(rows.Width)->GetValuesInfo()->GetItem(0);
  EXPECT_FALSE(cxRectIsEmpty(value->FocusRect)) << "the focused value has its focus rectangle";

  // Moving on to Rivers repaints Width and Rivers, not Ratio between them.
  grid->SetFocusedRow(rows.Rivers);
  EXPECT_TRUE(Pending(cxRectCenter(Placed(rows.Width)->RowRect)));
  EXPECT_TRUE(Pending(cxRectCenter(Placed(rows.Rivers)->RowRect)));
  EXPECT_FALSE(Pending(cxRectCenter(Placed(rows.Ratio)->RowRect)));
  EXPECT_FALSE(Pending(cxRectCenter(Placed(rows.Seed)->RowRect)));
  Pump();
  EXPECT_NE(Pixel(TPoint(widthHeader.Right - 4, widthHeader.Top + 3)), selection) << "Width lost the colour";

  // The indents of a category's rows carry the category's colour; focusing
  // the category turns them to the selection and repaints those headers.
  const TColor category = ColorToRGB(Placed(rows.Ok)->GetHeaderInfo()->ViewParams.Color);
  EXPECT_EQ(Pixel(IndentOf(rows.Ratio)), category);
  grid->SetFocusedRow(rows.Ok);
  EXPECT_TRUE(Pending(IndentOf(rows.Ratio))) << "a row of the category";
  EXPECT_FALSE(Pending(IndentOf(rows.Climate))) << "a row of another category";
  Pump();
  EXPECT_EQ(Pixel(IndentOf(rows.Ratio)), selection);
  EXPECT_EQ(Pixel(IndentOf(rows.Rivers)), selection);
  EXPECT_EQ(Pixel(IndentOf(rows.Climate)), ColorToRGB(Placed(rows.Unused)->GetHeaderInfo()->ViewParams.Color));
  EXPECT_FALSE(cxRectIsEmpty(Placed(rows.Ok)->GetHeaderInfo()->FocusRect)) << "around the caption";
  grid->SetFocusedRow(rows.Seed);
  Pump();
  EXPECT_EQ(Pixel(IndentOf(rows.Ratio)), category) << "restored when the focus leaves";

  // A category without a caption shows no focus rectangle.
  rows.Ok->GetProperties()->SetCaption("");
  grid->SetFocusedRow(rows.Ok);
  Pump();
  EXPECT_TRUE(cxRectIsEmpty(Placed(rows.Ok)->GetHeaderInfo()->FocusRect));
}

TEST_F(Painting, TheThreeDStyleSinksTheFocusedRowWithAndWithoutGridLines) {
  grid->GetOptionsView()->SetPaintStyle(psDelphi);
  for (TcxvgGridLines lines : {vglBoth, vglNone}) {
    SCOPED_TRACE(Integer(lines));
    grid->GetOptionsView()->SetGridLines(lines);
    grid->SetFocusedRow(rows.Ratio);
    Pump();
    const TRect r = Placed(rows.Ratio)->RowRect;
    const TRect above = Placed(rows.Width)->RowRect;
    EXPECT_EQ(Pixel(TPoint(r.Left, r.Top + 2)), ColorToRGB(cl3DDkShadow)) << "the dark left edge";
    EXPECT_EQ(Pixel(TPoint(r.Left + 1, r.Top + 2)), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Pixel(TPoint(r.Left + 20, r.Bottom)), ColorToRGB(clBtnHighlight)) << "the light bottom edge";
    EXPECT_EQ(Pixel(TPoint(r.Left + 20, above.Bottom - 1)), ColorToRGB(cl3DDkShadow)) << "the row above's dark edge";
    // Moving the focus takes the frame along.
    grid->SetFocusedRow(rows.Rivers);
    Pump();
    EXPECT_NE(Pixel(TPoint(r.Left, r.Top + 2)), ColorToRGB(cl3DDkShadow));
    const TRect now = Placed(rows.Rivers)->RowRect;
    EXPECT_EQ(Pixel(TPoint(now.Left, now.Top + 2)), ColorToRGB(cl3DDkShadow));
  }
}

TEST_F(Painting, CustomDrawHooksDrawTheirPartAndTheRowKeepsItsLines) {
  std::vector<std::string> log;
  const TColor mark = TColor(0x00FF00);
  grid->OnDrawValue = [&](TObject*, TcxCanvas* ACanvas, TObject*, TObject* AValueInfo, bool& Done) {
    auto* value = static_cast<TcxRowValueInfo*>(AValueInfo);
    if (value->Row != rows.Climate) return;
    log.push_back("value Climate");
    ACanvas->SetBrushColor(mark);
    ACanvas->FillRect(value->DisplayRect);
    Done = true;
  };
  grid->OnDrawRowHeader = [&](TObject*, TcxCanvas* ACanvas, TObject*, TObject* AHeader, bool& Done) {
    auto* header = static_cast<TcxCustomRowHeaderInfo*>(AHeader);
    if (header->GetRow() != rows.Seed) return;
    log.push_back("header seed");
    ACanvas->SetBrushColor(mark);
    ACanvas->FillRect(header->HeaderRect);
    Done = true;
  };
  grid->OnDrawBackground = [&](TObject*, TcxCanvas* ACanvas, const TRect& R, const TcxViewParams&, bool& Done) {
    log.push_back("background");
    ACanvas->SetBrushColor(mark);
    ACanvas->FillRect(R);
    Done = true;
  };
  grid->Invalidate();
  Pump();
  EXPECT_EQ(log, std::vector<std::string>({"background", "value Climate", "header seed"}));
  const TRect climate = Placed(rows.Climate)->ValuesRect;
  EXPECT_EQ(Pixel(cxRectCenter(climate)), ColorToRGB(mark));
  EXPECT_EQ(Pixel(TPoint(climate.Left + 5, climate.Bottom)), ColorToRGB(grid->GetOptionsView()->GetGridLineColor()))
      << "the line under the value stays";
  const TRect seed = Placed(rows.Seed)->GetHeaderInfo()->HeaderRect;
  EXPECT_EQ(Pixel(cxRectCenter(seed)), ColorToRGB(mark));
  EXPECT_EQ(Pixel(TPoint(seed.Right, seed.Top + 2)), ColorToRGB(grid->GetOptionsView()->GetGridLineColor()))
      << "the divider stays";
  const TRect empty = grid->GetVGViewInfo()->GetViewRects()->GetEmptyRects()->GetRect(0);
  EXPECT_EQ(Pixel(TPoint(empty.Left + 5, empty.Bottom - 3)), ColorToRGB(mark));
}

// A control's client pixels as the window shows them.
std::vector<std::uint32_t> ClientPixels(TWinControl* AControl) {
  const int w = AControl->GetClientWidth(), h = AControl->GetClientHeight();
  win::BITMAPINFO info{};
  info.bmiHeader = {sizeof(win::BITMAPINFOHEADER), w, -h, 1, 32, win::BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  win::HBITMAP bitmap = win::CreateDIBSection(nullptr, &info, win::DIB_RGB_COLORS, &bits, nullptr, 0);
  win::HDC memory = win::CreateCompatibleDC(nullptr);
  win::HGDIOBJ old = win::SelectObject(memory, win::ToObj(bitmap));
  win::HDC window = win::GetDC(AControl->GetHandle());
  win::BitBlt(memory, 0, 0, w, h, window, 0, 0, win::SRCCOPY);
  win::ReleaseDC(AControl->GetHandle(), window);
  const auto* first = static_cast<const std::uint32_t*>(bits);
  std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(w) * h);
  win::SelectObject(memory, old);
  win::DeleteDC(memory);
  win::DeleteObject(win::ToObj(bitmap));
  return pixels;
}

// Two grids of different sizes on one form paint through one off-screen
// buffer, and each shows only its own picture: a full paint, a part of
// the taller one repainted after the smaller one drew in the buffer, and
// the smaller one painted from inside the taller one's paint (which takes
// a buffer of its own for that paint).
TEST_F(Painting, TheGridsOfAFormPaintThroughOneBufferAndEachShowsOnlyItsOwnPicture) {
  form->SetBoundsRect({100, 100, 700, 420});
  auto* other = NewGrid(false);
  other->SetBoundsRect({330, 8, 330 + 200, 8 + 240});
  vgrid_test::AddValueRows(other);
  Pump();
  const std::vector<std::uint32_t> gridAlone = ClientPixels(grid), otherAlone = ClientPixels(other);
  ASSERT_TRUE(grid_pixels::Snapshot(form, "VGridTwoGridsOneBuffer"));

  std::map<TObject*, win::HDC> drawnOn;
  auto noteFor = [&](TObject* AGrid) {
    return [&drawnOn, AGrid](TObject*, TcxCanvas* ACanvas, const TRect&, const TcxViewParams&, bool&) {
      drawnOn[AGrid] = ACanvas->GetHandle();
    };
  };
  grid->OnDrawBackground = noteFor(grid);
  other->OnDrawBackground = noteFor(other);
  grid->Invalidate();
  other->Invalidate();
  Pump();
  ASSERT_EQ(drawnOn.size(), 2u);
  EXPECT_EQ(drawnOn[grid], drawnOn[other]) << "one buffer for both";
  EXPECT_TRUE(ClientPixels(grid) == gridAlone);
  EXPECT_TRUE(ClientPixels(other) == otherAlone);

  const TRect lower(0, grid->GetClientHeight() / 2, grid->GetClientWidth(), grid->GetClientHeight());
  other->Invalidate();
  other->Update();
  grid->InvalidateRect(lower, false);
  Pump();
  EXPECT_TRUE(ClientPixels(grid) == gridAlone) << "nothing of the other grid in the repainted part";

  drawnOn.clear();
  bool nested = false;
  grid->OnDrawBackground = [&](TObject*, TcxCanvas* ACanvas, const TRect&, const TcxViewParams&, bool&) {
    drawnOn[grid] = ACanvas->GetHandle();
    if (nested) return;
    nested = true;
    other->Invalidate();
    other->Update();
  };
  grid->Invalidate();
  Pump();
  ASSERT_EQ(drawnOn.size(), 2u) << "the other grid painted inside";
  EXPECT_NE(drawnOn[grid], drawnOn[other]) << "a paint inside a paint has a buffer of its own";
  EXPECT_TRUE(ClientPixels(grid) == gridAlone);
  EXPECT_TRUE(ClientPixels(other) == otherAlone);
}

// Where the text of a cell starts on the screen: the first column and the
// top of the first glyph of dark ink inside the cell (its focus frame left
// out), read from a copy of the window, an open editor included.
TPoint InkOrigin(TcxCustomVerticalGrid* AGrid, const TRect& ACell) {
  const int w = ACell.Width(), h = ACell.Height();
  win::HDC window = win::GetDC(AGrid->GetHandle());
  win::HDC memory = win::CreateCompatibleDC(window);
  win::HBITMAP bitmap = win::CreateCompatibleBitmap(window, w, h);
  win::HGDIOBJ old = win::SelectObject(memory, win::ToObj(bitmap));
  win::BitBlt(memory, 0, 0, w, h, window, ACell.Left, ACell.Top, win::SRCCOPY);
  auto dark = [memory](Integer X, Integer Y) {
    const COLORREF c = win::GetPixel(memory, X, Y);
    return win::GetRValue(c) + win::GetGValue(c) + win::GetBValue(c) < 300;
  };
  TPoint first(-1, -1);
  for (Integer x = 2; x < w - 2 && first.X < 0; ++x)
    for (Integer y = 2; y < h - 2; ++y)
      if (dark(x, y)) {
        first.X = x;
        break;
      }
  // A caret further on does not count.
  for (Integer y = 2; y < h - 2 && first.X >= 0 && first.Y < 0; ++y)
    for (Integer x = first.X; x < first.X + 3; ++x)
      if (dark(x, y)) {
        first.Y = y;
        break;
      }
  win::SelectObject(memory, old);
  win::DeleteObject(win::ToObj(bitmap));
  win::DeleteDC(memory);
  win::ReleaseDC(AGrid->GetHandle(), window);
  return first;
}

// The user reads on where the text was: opening a cell's editor moves
// neither the text nor the spin buttons by a pixel.
TEST_F(Painting, ACellsTextStaysWhereItWasWhenItsEditorOpens) {
  for (TcxEditorRow* row : {rows.Seed, rows.Width}) {
    grid->SetFocusedRow(row);
    Pump();
    const TRect cell = Placed(row)->GetValuesInfo()->GetItem(0)->DisplayRect;
    const TPoint painted = InkOrigin(grid, cell);
    ASSERT_GE(painted.X, 0);
    grid->ShowEdit();
    Pump();
    auto* editor = dynamic_cast<TcxCustomTextEdit*>(grid->GetInplaceEditor());
    ASSERT_NE(editor, nullptr);
    editor->SetSelStart(static_cast<Integer>(editor->GetText().size()));
    Pump();
    const TPoint editing = InkOrigin(grid, cell);
    EXPECT_EQ(editing.X, painted.X) << row->GetProperties()->GetCaption();
    EXPECT_EQ(editing.Y, painted.Y) << row->GetProperties()->GetCaption();
    grid->CancelEdit();
    Pump();
  }
}

// A style freed inside BeginUpdate / EndUpdate, while something makes the
// grid paint before the update ends (a progress message pumped, Update):
// a style of the grid's and a style of a row's own.
TEST_F(Painting, AStyleFreedWhileUpdatesAreHeldIsNeverPaintedAndTheEndRepaints) {
  auto* repository = New<TcxStyleRepository>(form);
  // A point inside the Unused category's header, wherever the layout puts it.
  auto inCategory = [&] {
    const TRect header = Placed(rows.Unused)->GetHeaderInfo()->HeaderCellsRect;
    return TPoint(header.Right - 4, header.Top + 3);
  };
  const TPoint before = inCategory();
  const TColor plain = Pixel(before);
  for (bool ofTheGrid : {true, false}) {
    SCOPED_TRACE(ofTheGrid ? "the grid's category style" : "the row's header style");
    auto* style = static_cast<TcxStyle*>(repository->CreateItem(TcxStyle::StaticClass()));
    style->SetColor(clYellow);
    style->GetFont()->SetName("Courier New");
    style->GetFont()->SetSize(12);
    if (ofTheGrid)
      grid->GetStyles()->SetCategory(style);
    else
      static_cast<TcxCategoryRowStyles*>(rows.Unused->GetStyles())->SetHeader(style);
    Pump();
    const TPoint styled = inCategory();
    ASSERT_EQ(Pixel(styled), ColorToRGB(clYellow));

    grid->BeginUpdate();
    style->Free();
    grid->Invalidate();
    grid->Update();
    EXPECT_NE(Pixel(styled), ColorToRGB(clYellow));
    grid->EndUpdate();
    Pump();
    EXPECT_EQ(inCategory(), before);
    EXPECT_EQ(Pixel(before), plain);
  }
}

}  // namespace
