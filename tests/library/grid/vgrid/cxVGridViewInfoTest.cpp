// Stories of the vertical grid's layout: the front end's two grids laid out
// and edited in place, the geometry the options decide (lines, divider,
// headers, row heights, indents, expand buttons, images), and the fast
// layout compared with a plain reference pass over random trees.
#include <random>

#include "library/grid/VGridSession.h"
#include "library/editors/core/cxComboBox.h"

namespace {

using Layout = vgrid_test::Session;

TcxvgCustomViewInfo* ViewInfoOf(TcxCustomVerticalGrid* AGrid) { return AGrid->GetVGViewInfo(); }

TcxCustomRowViewInfo* Placed(TcxCustomVerticalGrid* AGrid, TcxCustomRow* ARow) {
  return AGrid->GetVGViewInfo()->GetRowViewInfo(ARow);
}

// The lines of a list as rectangles.
std::vector<TRect> Lines(TLineInfoList* AList) {
  std::vector<TRect> lines;
  for (Integer i = 0; i < AList->GetCount(); ++i) lines.push_back(AList->GetItem(i).Rect);
  return lines;
}

bool HasLine(TLineInfoList* AList, const TRect& R) {
  for (const TRect& line : Lines(AList))
    if (line == R) return true;
  return false;
}

TEST_F(Layout, TheFrontEndsTwoGridsLayOutEveryKindAndOpenEachEditorOverItsCell) {
  struct Window {
    Integer Width, Height, HeaderWidth;
  };
  for (const Window window : {Window{305, 185, 245}, Window{313, 225, 190}}) {
    SCOPED_TRACE(window.Width);
    auto* grid = NewGrid(false);
    grid->SetBoundsRect({8, 8, 8 + window.Width, 8 + window.Height});
    grid->GetOptionsView()->SetRowHeaderWidth(window.HeaderWidth);
    const vgrid_test::ValueRows rows = vgrid_test::AddValueRows(grid);
    form->Show();
    Pump();
    grid->SetFocus();
    Pump();
    TcxvgCustomViewInfo* viewInfo = ViewInfoOf(grid);
    const TRect bounds = viewInfo->Bounds;
    EXPECT_EQ(viewInfo->GetVisibleRowCount(), 9);

    // One band from the top: each row one line below the previous one,
    // inside the band's side lines, the last one cut by the bounds.
    Integer y = bounds.Top + 1;
    const auto& placed = viewInfo->GetRowsViewInfo();
    ASSERT_FALSE(placed.empty());
    for (size_t i = 0; i < placed.size(); ++i) {
      TcxCustomRowViewInfo* row = placed[i];
      SCOPED_TRACE(i);
      EXPECT_EQ(row->GetRow(), viewInfo->GetVisibleRow(viewInfo->GetScroller()->GetTopVisibleRowIndex() + Integer(i)));
      EXPECT_EQ(row->RowRect, TRect(bounds.Left + 1, y, bounds.Right - 1, y + row->CalculatedHeight));
      const TcxCustomRowHeaderInfo* header = row->GetHeaderInfo();
      if (dynamic_cast<TcxCategoryRow*>(row->GetRow())) {
        EXPECT_EQ(header->HeaderRect, row->RowRect) << "a category is all header";
        EXPECT_EQ(row->GetValuesInfo()->GetCount(), 0);
        EXPECT_TRUE(header->GetCaption(0)->ViewParams.Font->GetStyle().Contains(fsBold))
            << "a category's caption is bold";
        EXPECT_EQ(header->GetCaption(0)->ViewParams.Font->GetName(), grid->GetFont()->GetName());
      } else {
        EXPECT_EQ(header->HeaderRect, TRect(row->RowRect.Left, y, row->RowRect.Left + viewInfo->ViewHeaderWidth,
                                            row->RowRect.Bottom));
        EXPECT_EQ(row->ValuesRect.Left, header->HeaderRect.Right + 1) << "after the one-pixel divider";
        ASSERT_EQ(row->GetValuesInfo()->GetCount(), 1);
        TcxRowValueInfo* value = row->GetValuesInfo()->GetItem(0);
        EXPECT_EQ(value->DisplayRect, row->ValuesRect);
        ASSERT_NE(value->EditViewInfo, nullptr);
        EXPECT_EQ(value->EditViewInfo->ClassType(), value->Properties->GetViewInfoClass())
            << "each kind paints its own value";
        // The divider and the value's bottom line.
        EXPECT_TRUE(HasLine(header->GetLinesInfo(), TRect(header->HeaderRect.Right, y, header->HeaderRect.Right + 1,
                                                          row->RowRect.Bottom + 1)));
        EXPECT_TRUE(HasLine(viewInfo->GetLinesInfo(),
                            TRect(row->ValuesRect.Left, row->RowRect.Bottom, row->ValuesRect.Right,
                                  row->RowRect.Bottom + 1)));
      }
      y = row->RowRect.Bottom + 1;
    }
    EXPECT_EQ(viewInfo->ViewHeaderWidth, window.HeaderWidth);
    TcxRectList* bands = viewInfo->GetViewRects()->GetBandRects();
    ASSERT_EQ(bands->GetCount(), 1);
    EXPECT_EQ(bands->GetRect(0), TRect(bounds.Left, bounds.Top, bounds.Right, std::min(y, bounds.Bottom)));
    TcxRectList* empty = viewInfo->GetViewRects()->GetEmptyRects();
    if (y < bounds.Bottom) {
      ASSERT_EQ(empty->GetCount(), 1);
      EXPECT_EQ(empty->GetRect(0), TRect(bounds.Left, y, bounds.Right, bounds.Bottom)) << "the area below the rows";
    } else {
      EXPECT_EQ(empty->GetCount(), 0);
      EXPECT_TRUE(grid->GetVScrollBarVisible()) << "rows below the bounds: the bar shows";
    }

    // A click on a value focuses its row and opens its editor exactly over
    // the cell; rows below the bounds are scrolled to first.
    for (TcxEditorRow* row : {rows.Width, rows.Ratio, rows.Rivers, rows.Climate, rows.Biome, rows.Seed}) {
      SCOPED_TRACE(row->GetProperties()->GetCaption());
      grid->SetFocusedRow(row);
      Pump();
      TcxCustomRowViewInfo* rowViewInfo = Placed(grid, row);
      ASSERT_NE(rowViewInfo, nullptr) << "focusing a row scrolls it into view";
      EXPECT_LE(rowViewInfo->RowRect.Bottom, bounds.Bottom);
      const TPoint click(rowViewInfo->ValuesRect.Left + 6, cxRectCenter(rowViewInfo->ValuesRect).Y);
      win::test::Click(grid->GetHandle(), click);
      Pump();
      ASSERT_TRUE(grid->IsEditing());
      TcxRowValueInfo* cell = Placed(grid, row)->GetValuesInfo()->GetItem(0);
      EXPECT_EQ(grid->GetInplaceEditor()->GetBoundsRect(), cxRectInflate(cell->EditRect, cell->ContentOffset()));
      EXPECT_TRUE(cxRectContain(cell->DisplayRect, cell->EditRect));
      grid->HideEdit();
    }
    grid->Free();
    Pump();
  }
}

TEST_F(Layout, LinesHeadersHeightsIndentsButtonsAndImagesFollowTheOptions) {
  auto* grid = NewGrid();
  grid->SetBoundsRect({0, 0, 300, 200});
  Pump();
  TcxvgCustomViewInfo* viewInfo = ViewInfoOf(grid);

  // No rows: a band of no height at the top, the whole bounds empty, the
  // divider down the empty grid.
  EXPECT_EQ(viewInfo->GetViewRects()->GetBandRects()->GetRect(0),
            TRect(viewInfo->Bounds.Left, viewInfo->Bounds.Top, viewInfo->Bounds.Right, viewInfo->Bounds.Top));
  EXPECT_EQ(viewInfo->GetViewRects()->GetEmptyRects()->GetRect(0), viewInfo->Bounds);
  const Integer header = viewInfo->Bounds.Left + viewInfo->ViewHeaderWidth;
  EXPECT_TRUE(HasLine(viewInfo->GetLinesInfo(),
                      TRect(header, viewInfo->Bounds.Top, header + 1, viewInfo->Bounds.Bottom + 1)));
  const TColor background = grid->GetStyles()->GetBackgroundParams().Color;
  EXPECT_EQ(ColorToRGB(vgrid_test::PixelAt(grid, TPoint(header, 50))), ColorToRGB(grid->GetOptionsView()->GetGridLineColor()));
  EXPECT_EQ(ColorToRGB(vgrid_test::PixelAt(grid, TPoint(header + 5, 50))), ColorToRGB(background));

  // A category, a row under it, a row under that and one more level: one
  // indent cell per level.
  TcxCategoryRow* top = AddCategory(grid, nullptr, "Top");
  TcxEditorRow* a = AddValueRow(grid, top, "A", TcxStringValueType::Class(), Variant("a"));
  TcxEditorRow* b = AddValueRow(grid, a, "B", TcxStringValueType::Class(), Variant("b"));
  TcxCategoryRow* inner = AddCategory(grid, b, "Inner");
  TcxEditorRow* c = AddValueRow(grid, inner, "C", TcxStringValueType::Class(), Variant("c"));
  TcxEditorRow* plain = AddValueRow(grid, nullptr, "Plain", TcxStringValueType::Class(), Variant("p"));
  Pump();
  const Integer indent = viewInfo->GetIndentWidth();
  ASSERT_EQ(c->GetLevel(), 4);
  const TcxCustomRowHeaderInfo* cHeader = Placed(grid, c)->GetHeaderInfo();
  // Top (category), the run A..B, Inner (category), then C's own cell.
  EXPECT_EQ(cHeader->GetCategoryIndents()->GetCount(), 2);
  EXPECT_EQ(cHeader->GetRowIndents()->GetCount(), 2) << "A and B share one cell";
  EXPECT_EQ(cxRectWidth(cHeader->GetRowIndents()->GetItem(0).Bounds), 2 * indent + 1);
  // Five cells, the line after each category and the one closing the run.
  EXPECT_EQ(cxRectWidth(cHeader->IndentBounds), 5 * indent + 3);
  // Expand buttons: only for rows with visible children, with buttons on.
  EXPECT_FALSE(cxRectIsEmpty(Placed(grid, top)->GetHeaderInfo()->ButtonRect));
  EXPECT_FALSE(cxRectIsEmpty(Placed(grid, b)->GetHeaderInfo()->ButtonRect));
  EXPECT_TRUE(cxRectIsEmpty(cHeader->ButtonRect));
  EXPECT_TRUE(cxRectIsEmpty(Placed(grid, plain)->GetHeaderInfo()->ButtonRect));
  c->SetVisible(false);
  Pump();
  EXPECT_TRUE(cxRectIsEmpty(Placed(grid, inner)->GetHeaderInfo()->ButtonRect)) << "no visible children";
  c->SetVisible(true);
  grid->GetOptionsView()->SetShowButtons(false);
  EXPECT_TRUE(cxRectIsEmpty(Placed(grid, top)->GetHeaderInfo()->ButtonRect));
  grid->GetOptionsView()->SetShowButtons(true);
  const TRect button = Placed(grid, top)->GetHeaderInfo()->ButtonRect;
  EXPECT_EQ(cxRectWidth(button), grid->GetLookAndFeelPainter()->ExpandButtonSize());
  EXPECT_NE(ColorToRGB(vgrid_test::PixelAt(grid, cxRectCenter(button))),
            ColorToRGB(Placed(grid, top)->GetHeaderInfo()->ViewParams.Color))
      << "the button is drawn over its indent";

  // Row heights: the font's, a fixed height, never below the images.
  const Integer fontHeight = cxScreenCanvas()->FontHeight(grid->GetFont()) + 4;
  EXPECT_EQ(viewInfo->GetMinRowHeight(), fontHeight);
  grid->GetOptionsView()->SetRowHeight(40);
  EXPECT_EQ(Placed(grid, a)->CalculatedHeight, 40);
  grid->GetOptionsView()->SetRowHeight(-1);

  // Images: shown by index, none past the list, the place kept on request.
  auto* images = New<TImageList>(form);
  images->SetWidth(10);
  images->SetHeight(24);
  auto* strip = New<TBitmap>();
  strip->SetWidth(10);
  strip->SetHeight(24);
  images->Add(strip, nullptr);
  strip->Free();
  grid->SetImages(images);
  a->GetProperties()->SetImageIndex(0);
  b->GetProperties()->SetImageIndex(3);
  Pump();
  EXPECT_EQ(viewInfo->GetMinRowHeight(), std::max(fontHeight, 26)) << "the image height and two";
  const TcxRowCaptionInfo* aCaption = Placed(grid, a)->GetHeaderInfo()->GetCaption(0);
  const TcxRowCaptionInfo* bCaption = Placed(grid, b)->GetHeaderInfo()->GetCaption(0);
  EXPECT_EQ(aCaption->ImageIndex, 0);
  EXPECT_EQ(cxRectWidth(aCaption->ImageRect), 10);
  EXPECT_EQ(aCaption->CaptionTextRect.Left, aCaption->ImageRect.Right + 3);
  EXPECT_EQ(bCaption->ImageIndex, -1) << "an index past the list shows none";
  EXPECT_EQ(cxRectWidth(bCaption->ImageRect), 0);
  grid->GetOptionsView()->SetShowEmptyRowImage(true);
  bCaption = Placed(grid, b)->GetHeaderInfo()->GetCaption(0);
  EXPECT_EQ(cxRectWidth(bCaption->ImageRect), 10) << "the place is kept";
  EXPECT_EQ(bCaption->CaptionTextRect.Left, bCaption->ImageRect.Right + 3);
  grid->SetImages(nullptr);

  // Hints: a caption cut by its cell shows whole; the row's own hint goes
  // at the cell's top-left whatever the caption's width.
  plain->GetProperties()->SetCaption("A caption far wider than its header cell");
  TcxRowCaptionInfo* caption = Placed(grid, plain)->GetHeaderInfo()->GetCaption(0);
  AnsiString text;
  bool multiLine = true, offset = true;
  TRect hint;
  EXPECT_TRUE(caption->IsNeedHint(cxScreenCanvas(), cxRectCenter(caption->HeaderCellBounds), text, multiLine, hint, offset));
  EXPECT_EQ(text, "A caption far wider than its header cell");
  EXPECT_FALSE(multiLine);
  plain->GetProperties()->SetHint("The plain row");
  EXPECT_TRUE(caption->IsNeedHint(cxScreenCanvas(), cxRectCenter(caption->HeaderCellBounds), text, multiLine, hint, offset));
  EXPECT_EQ(text, "The plain row");
  EXPECT_EQ(hint.TopLeft(), caption->HeaderCellBounds.TopLeft());
  plain->GetProperties()->SetHint("");
  plain->GetProperties()->SetCaption("Plain");
  caption = Placed(grid, plain)->GetHeaderInfo()->GetCaption(0);
  EXPECT_FALSE(caption->IsNeedHint(cxScreenCanvas(), cxRectCenter(caption->HeaderCellBounds), text, multiLine, hint, offset));

  // Edit buttons shown in the focused cell only.
  grid->GetOptionsView()->SetShowEditButtons(ecsbFocused);
  grid->SetFocusedRow(a);
  EXPECT_EQ(Placed(grid, a)->GetValuesInfo()->GetItem(0)->GetButtonTransparency(), ebtNone);
  EXPECT_EQ(Placed(grid, b)->GetValuesInfo()->GetItem(0)->GetButtonTransparency(), ebtHideInactive);

  // Grid lines: both, one kind, none (no divider either).
  struct LinesCase {
    TcxvgGridLines Lines;
    Integer Horz, Vert, Divider;
  };
  for (const LinesCase& lines : {LinesCase{vglBoth, 1, 1, 1}, LinesCase{vglHorizontal, 1, 0, 0},
                                 LinesCase{vglVertical, 0, 1, 1}, LinesCase{vglNone, 0, 0, 0}}) {
    SCOPED_TRACE(Integer(lines.Lines));
    grid->GetOptionsView()->SetGridLines(lines.Lines);
    EXPECT_EQ(viewInfo->GetHorzLineWidth(), lines.Horz);
    EXPECT_EQ(viewInfo->GetVertLineWidth(), lines.Vert);
    EXPECT_EQ(viewInfo->GetDividerWidth(), lines.Divider);
    TcxCustomRowViewInfo* row = Placed(grid, plain);
    EXPECT_EQ(row->ValuesRect.Left, row->RowRect.Left + viewInfo->ViewHeaderWidth + lines.Divider);
    bool horizontal = false, vertical = false;
    for (const TRect& line : Lines(viewInfo->GetLinesInfo())) {
      horizontal = horizontal || (cxRectHeight(line) == 1 && cxRectWidth(line) > 1);
      vertical = vertical || (cxRectWidth(line) == 1 && cxRectHeight(line) > 1);
    }
    EXPECT_EQ(horizontal, lines.Horz == 1);
    EXPECT_EQ(vertical, lines.Vert == 1);
    if (lines.Lines == vglNone) {
      EXPECT_EQ(viewInfo->GetLinesInfo()->GetCount(), 0);
      EXPECT_EQ(Placed(grid, plain)->GetHeaderInfo()->GetLinesInfo()->GetCount(), 0);
    }
  }
  grid->GetOptionsView()->SetGridLines(vglBoth);

  // Headers hidden: no header, no divider, the values across the row.
  grid->GetOptionsView()->SetShowHeaders(false);
  TcxCustomRowViewInfo* row = Placed(grid, a);
  EXPECT_EQ(viewInfo->GetDividerWidth(), 0);
  EXPECT_EQ(viewInfo->GetValueOffset(), 0);
  EXPECT_EQ(cxRectWidth(row->GetHeaderInfo()->HeaderRect), 0);
  EXPECT_EQ(row->ValuesRect, row->RowRect);
  EXPECT_TRUE(cxRectIsEmpty(row->GetHeaderInfo()->ButtonRect));
  EXPECT_EQ(row->GetHeaderInfo()->GetRowIndents()->GetCount() + row->GetHeaderInfo()->GetCategoryIndents()->GetCount(), 0);
}

// The layout walks only what shows: a plain pass over every row (each row's
// visibility by its ancestors, every height summed from the top) must give
// the same rows, places and scroll range.
TEST_F(Layout, TheFastLayoutPlacesWhatAPlainPassOverEveryRowPlaces) {
  auto* grid = NewGrid();
  grid->SetBoundsRect({0, 0, 260, 300});
  Pump();
  std::mt19937 random(7);
  std::vector<TcxCustomRow*> all;
  auto pick = [&]() -> TcxCustomRow* { return all.empty() ? nullptr : all[random() % all.size()]; };
  for (Integer round = 0; round < 60; ++round) {
    SCOPED_TRACE(round);
    // Grow and reshape the tree: appends at the end, inserts in the
    // middle, hiding, collapsing, moving, scrolling and sizing rows.
    const unsigned action = random() % 8;
    if (action < 3 || all.size() < 5) {
      TcxCustomRow* parent = random() % 3 == 0 ? nullptr : pick();
      if (parent && parent->GetLevel() > 3) parent = nullptr;
      all.push_back(random() % 3 == 0 ? static_cast<TcxCustomRow*>(AddCategory(grid, parent, "cat"))
                                      : AddValueRow(grid, parent, "row", TcxStringValueType::Class(), Variant("v")));
    } else if (action == 3) {
      pick()->SetVisible(random() % 2 == 0);
    } else if (action == 4) {
      pick()->SetExpanded(random() % 2 == 0);
    } else if (action == 5) {
      pick()->SetHeight(random() % 3 == 0 ? 30 : -1);
    } else if (action == 6) {
      Integer pos = 0;
      grid->GetVGController()->Scroll(sbVertical, random() % 2 ? scPageDown : scLineUp, pos);
    } else {
      TcxCustomRow* row = pick();
      if (row->GetParentRow() && row->GetParentRow()->GetCount() > 1) row->SetIndex(0);
    }
    Pump();

    TcxvgCustomViewInfo* viewInfo = ViewInfoOf(grid);
    std::vector<TcxCustomRow*> shown;
    for (Integer i = 0; i < grid->GetRows()->GetCount(); ++i)
      if (grid->IsRowVisible(grid->GetRows()->GetRow(i))) shown.push_back(grid->GetRows()->GetRow(i));
    ASSERT_EQ(viewInfo->GetVisibleRowCount(), Integer(shown.size()));
    Integer maxLevel = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
      ASSERT_EQ(viewInfo->GetVisibleRow(Integer(i)), shown[i]);
      ASSERT_EQ(shown[i]->GetVisibleIndex(), Integer(i));
      maxLevel = std::max(maxLevel, shown[i]->GetLevel());
    }
    EXPECT_EQ(viewInfo->MaxVisibleLevel, maxLevel);
    for (TcxCustomRow* row : all) {
      if (!grid->IsRowVisible(row)) {
        ASSERT_EQ(row->GetVisibleIndex(), -1);
      }
    }

    const Integer top = viewInfo->GetScroller()->GetTopVisibleRowIndex();
    Integer y = viewInfo->Bounds.Top + 1;
    size_t placed = 0;
    for (size_t i = size_t(top); i < shown.size() && y < viewInfo->Bounds.Bottom; ++i, ++placed) {
      const Integer height =
          std::max(shown[i]->GetRealHeight(), viewInfo->GetMinRowHeight());
      ASSERT_LT(placed, viewInfo->GetRowsViewInfo().size());
      TcxCustomRowViewInfo* row = viewInfo->GetRowsViewInfo()[placed];
      ASSERT_EQ(row->GetRow(), shown[i]);
      ASSERT_EQ(row->RowRect.Top, y);
      ASSERT_EQ(cxRectHeight(row->RowRect), height);
      y += height + 1;
    }
    EXPECT_EQ(viewInfo->GetRowsViewInfo().size(), placed);
    // No free space below the last row while rows are scrolled away.
    if (top > 0) {
      EXPECT_GE(y, viewInfo->Bounds.Bottom);
    }
  }
}

}  // namespace
