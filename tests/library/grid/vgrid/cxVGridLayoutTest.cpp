// Stories of the bands layout, several records side by side and
// multi-editor rows, with their pictures in every look and feel
// (snapshots/grid-<look>-<layout>.png in the build folder).
#include <filesystem>
#include <limits>

#include "library/grid/VGridSession.h"
#include "library/grid/vgrid/cxVGridMultiEditorViewInfo.h"
#include "platform/theme/ThemeBinding.h"
#include "platform/theme/ThemeState.h"
#include "platform/theme/ThemeTestMode.h"

// A grid showing its records side by side.
class TRecordsGrid : public TTestVerticalGrid {
  ORV_CLASS(TRecordsGrid, TTestVerticalGrid)
 public:
  explicit TRecordsGrid(TComponent* AOwner) : TTestVerticalGrid(AOwner) {}
  TcxControlOptionsViewClass GetOptionsViewClass() override { return TcxvgMultiRecordsOptionsView::StaticClass(); }

 protected:
  TcxvgLayoutStyle GetViewLayoutStyle() override { return lsMultiRecordView; }
};

ORV_REGISTER(TRecordsGrid)

namespace {

struct Look {
  const char* Name;
  TcxLookAndFeelKind Kind;
  bool Native;
};

constexpr Look kLooks[] = {{"flat", lfFlat, false},
                           {"standard", lfStandard, false},
                           {"ultraflat", lfUltraFlat, false},
                           {"office11", lfOffice11, false},
                           {"native", lfUltraFlat, true}};

class Layouts : public vgrid_test::Session {
 protected:
  void SetUp() override {
    win::InstallThemeModule();
    win::SetThemesActive(true);
    Session::SetUp();
    std::filesystem::create_directories("snapshots");
    form->SetBoundsRect({100, 100, 560, 420});
    form->Show();
    Pump();
  }
  void TearDown() override {
    Session::TearDown();
    win::test::ResetThemeModule();
  }
  template <class T>
  T* Grid(TRect ABounds) {
    auto* grid = New<T>(form);
    grid->SetParent(form);
    grid->SetBoundsRect(ABounds);
    Pump();
    return grid;
  }
  static TcxCustomRowViewInfo* Placed(TcxCustomVerticalGrid* AGrid, TcxCustomRow* ARow) {
    return AGrid->GetVGViewInfo()->GetRowViewInfo(ARow);
  }
  static TcxMultiEditorRow* AddMulti(TcxCustomVerticalGrid* AGrid, std::initializer_list<Integer> AWidths) {
    auto* row = static_cast<TcxMultiEditorRow*>(AGrid->Add(TcxMultiEditorRow::StaticClass()));
    Integer i = 0;
    for (Integer width : AWidths) {
      auto* editor = static_cast<TcxEditorRowItemProperties*>(row->GetProperties()->GetEditors()->Add());
      editor->SetCaption("Edge " + std::string(1, static_cast<char>('A' + i)));
      editor->GetDataBinding()->SetValueTypeClass(TcxIntegerValueType::Class());
      editor->SetEditPropertiesClass(TcxTextEditProperties::StaticClass());
      editor->SetValue(Variant(10 * ++i));
      editor->SetWidth(width);
    }
    return row;
  }
  static void Shoot(TcxCustomVerticalGrid* AGrid, const std::string& ALayout) {
    for (const Look& look : kLooks) {
      AGrid->GetLookAndFeel()->SetKind(look.Kind);
      AGrid->GetLookAndFeel()->SetNativeStyle(look.Native);
      AGrid->Invalidate();
      Pump();
      EXPECT_TRUE(vgrid_test::Snapshot(AGrid, std::string("grid-") + look.Name + "-" + ALayout));
    }
  }
};

// Rows wrap into bands; a row taller than the grid still takes a band of
// its own. Scaled bands fill the client to its right edge and cannot be
// sized; bands of their own width can, at their right edge.
TEST_F(Layouts, BandsWrapTheRowsAndScaledBandsFillTheClient) {
  auto* grid = Grid<TTestVerticalGrid>({8, 8, 448, 128});
  grid->SetLayoutStyle(ulsBandsView);
  grid->GetOptionsView()->SetAutoScaleBands(false);
  grid->GetOptionsView()->SetValueWidth(80);
  grid->GetOptionsBehavior()->SetBandSizing(true);
  TcxEditorRow* tall = AddValueRow(grid, nullptr, "Tall", TcxIntegerValueType::Class(), Variant(1));
  tall->SetHeight(400);
  std::vector<TcxEditorRow*> rows;
  for (Integer i = 0; i < 6; ++i)
    rows.push_back(AddValueRow(grid, nullptr, "Row " + std::to_string(i), TcxIntegerValueType::Class(), Variant(i)));
  Pump();
  TcxvgCustomViewInfo* viewInfo = grid->GetVGViewInfo();
  ASSERT_NE(Placed(grid, tall), nullptr);
  EXPECT_EQ(Placed(grid, tall)->BandIndex, 0);
  ASSERT_NE(Placed(grid, rows[0]), nullptr);
  EXPECT_EQ(Placed(grid, rows[0])->BandIndex, 1) << "the tall row fills its band alone";
  TcxRectList* bands = viewInfo->GetViewRects()->GetBandRects();
  ASSERT_GE(bands->GetCount(), 2);
  EXPECT_EQ(cxRectHeight(bands->GetRect(0)), cxRectHeight(viewInfo->Bounds)) << "cut at the grid's bottom";
  auto* hitTest = static_cast<TcxvgController*>(grid->GetController())->GetHitTest();
  const TRect sizing = viewInfo->GetBandSizeableRect(bands->GetRect(0));
  hitTest->ReCalculate(cxRectCenter(sizing));
  EXPECT_TRUE(hitTest->GetState(vghc_HitAtBandSizing));
  EXPECT_EQ(grid->GetController()->GetCursor(cxRectCenter(sizing).X, cxRectCenter(sizing).Y), crHSplit);
  tall->SetHeight(-1);
  Pump();
  Shoot(grid, "bands");

  grid->GetOptionsView()->SetAutoScaleBands(true);
  Pump();
  bands = viewInfo->GetViewRects()->GetBandRects();
  ASSERT_GE(bands->GetCount(), 1);
  EXPECT_EQ(bands->GetRect(bands->GetCount() - 1).Right, viewInfo->Bounds.Right);
  EXPECT_TRUE(cxRectIsEmpty(viewInfo->GetBandSizeableRect(bands->GetRect(0))));
  for (Integer x = bands->GetRect(0).Left; x < viewInfo->Bounds.Right; x += 3) {
    hitTest->ReCalculate({x, 10});
    ASSERT_FALSE(hitTest->GetState(vghc_HitAtBandSizing)) << x;
  }
  Shoot(grid, "bands-scaled");
}

// Heights, widths and gaps past any screen are held to the grid's largest
// extent, and every layout still places its first rows: bands of rows each
// taller than the client, records and editors as wide as the grid allows.
TEST_F(Layouts, ExtentsPastAnyScreenAreHeldToTheLargestTheGridKeeps) {
  constexpr Integer huge = std::numeric_limits<Integer>::max();
  auto* bandsGrid = Grid<TTestVerticalGrid>({8, 8, 448, 128});
  bandsGrid->SetLayoutStyle(ulsBandsView);
  TcxvgOptionsView* options = bandsGrid->GetOptionsView();
  options->SetAutoScaleBands(false);
  options->SetRowHeaderWidth(huge);
  options->SetValueWidth(huge);
  options->SetBandsInterval(huge);
  options->SetRowHeight(huge);
  EXPECT_EQ(options->GetValueWidth(), cxvgMaxExtent);
  EXPECT_EQ(options->GetBandsInterval(), cxvgMaxExtent);
  EXPECT_EQ(options->GetRowHeight(), cxvgMaxExtent);
  EXPECT_LE(options->GetRowHeaderWidth(), cxvgMaxExtent);
  bandsGrid->BeginUpdate();
  std::vector<TcxEditorRow*> rows;
  for (Integer i = 0; i < 1200; ++i) {
    rows.push_back(
        AddValueRow(bandsGrid, nullptr, "Row " + std::to_string(i), TcxIntegerValueType::Class(), Variant(i)));
    rows.back()->SetHeight(huge);
  }
  bandsGrid->EndUpdate();
  Pump();
  EXPECT_EQ(rows[0]->GetHeight(), cxvgMaxExtent);
  ASSERT_NE(Placed(bandsGrid, rows[0]), nullptr);
  EXPECT_EQ(Placed(bandsGrid, rows[0])->BandIndex, 0);
  EXPECT_EQ(bandsGrid->GetVGViewInfo()->GetViewRects()->GetBandRects()->GetCount(), 1) << "one band on show";
  bandsGrid->SetFocusedRow(rows.back());
  Pump();
  ASSERT_NE(Placed(bandsGrid, rows.back()), nullptr) << "the last band is scrolled to";

  auto* records = Grid<TRecordsGrid>({8, 8, 448, 200});
  AddValueRow(records, nullptr, "Width", TcxIntegerValueType::Class(), Variant(640));
  for (Integer i = 0; i < 3; ++i) records->GetDataController()->AppendRecord();
  static_cast<TcxvgMultiRecordsOptionsView*>(records->GetOptionsView())->SetRecordsInterval(huge);
  records->GetOptionsView()->SetValueWidth(huge);
  Pump();
  TcxvgCustomViewInfo* viewInfo = records->GetVGViewInfo();
  EXPECT_EQ(viewInfo->ViewBandWidth, cxRectWidth(viewInfo->Bounds));
  EXPECT_EQ(records->GetVGController()->GetScroller()->GetVisibleValueCount(), 1);

  TcxMultiEditorRow* multi = AddMulti(bandsGrid, {huge, huge, huge});
  auto* editor = static_cast<TcxEditorRowItemProperties*>(multi->GetProperties()->GetEditors()->GetItem(0));
  EXPECT_EQ(editor->GetWidth(), cxvgMaxExtent);
  TcxRectList* cells = TcxMultiEditorRowViewInfo::GetCellRects(multi, {0, 0, 300, 20}, 0);
  ASSERT_NE(cells, nullptr);
  EXPECT_EQ(cells->GetCount(), 3);
  EXPECT_EQ(cxRectWidth(cells->GetRect(0)), 100) << "equal editors share the row equally";
  cells->Free();
}

// Records stand side by side: joined by one line without an interval,
// each framed on its own with the gap between them left to the
// background with one.
TEST_F(Layouts, RecordsStandSideBySideJoinedOrFramed) {
  auto* grid = Grid<TRecordsGrid>({8, 8, 448, 200});
  grid->GetOptionsView()->SetRowHeaderWidth(100);
  grid->GetOptionsView()->SetValueWidth(80);
  TcxCategoryRow* category = AddCategory(grid, nullptr, "Terrain");
  TcxEditorRow* width = AddValueRow(grid, category, "Width", TcxIntegerValueType::Class(), Variant(640));
  AddValueRow(grid, category, "Height", TcxIntegerValueType::Class(), Variant(480));
  TcxCustomDataController* data = grid->GetDataController();
  for (Integer i = 1; i < 4; ++i) {
    const Integer record = data->AppendRecord();
    data->SetValue(record, 0, Variant(100 * i));
  }
  grid->LayoutChanged();
  Pump();
  TcxvgCustomViewInfo* viewInfo = grid->GetVGViewInfo();
  const Integer V = viewInfo->GetVertLineWidth();
  TcxValueInfoList* values = Placed(grid, width)->GetValuesInfo();
  ASSERT_GE(values->GetCount(), 3);
  EXPECT_EQ(values->GetItem(1)->DisplayRect.Left, values->GetItem(0)->DisplayRect.Right + V);
  EXPECT_EQ(values->GetItem(1)->RecordIndex, 1);
  Shoot(grid, "records");

  static_cast<TcxvgMultiRecordsOptionsView*>(grid->GetOptionsView())->SetRecordsInterval(12);
  Pump();
  values = Placed(grid, width)->GetValuesInfo();
  const TRect first = values->GetItem(0)->DisplayRect, second = values->GetItem(1)->DisplayRect;
  EXPECT_EQ(second.Left, first.Right + 2 * V + 12);
  // The gap is background: it is one of the empty areas, and painted so.
  const TPoint gap{first.Right + V + 6, cxRectCenter(first).Y};
  bool listed = false;
  TcxRectList* empty = viewInfo->GetViewRects()->GetEmptyRects();
  for (Integer i = 0; i < empty->GetCount(); ++i) listed = listed || cxRectPtIn(empty->GetRect(i), gap);
  EXPECT_TRUE(listed);
  const TPoint outside{viewInfo->Bounds.Right - 3, viewInfo->Bounds.Bottom - 3};
  EXPECT_EQ(vgrid_test::PixelAt(grid, gap), vgrid_test::PixelAt(grid, outside));
  // The whole gap, not only its middle, is background, and each record
  // column is framed by its own border line.
  const TColor background = vgrid_test::PixelAt(grid, outside);
  for (Integer x = first.Right + V; x < second.Left - V; ++x)
    for (Integer y = first.Top; y < first.Bottom; ++y)
      ASSERT_EQ(vgrid_test::PixelAt(grid, {x, y}), background) << x << "," << y;
  EXPECT_NE(vgrid_test::PixelAt(grid, {second.Left - V, cxRectCenter(second).Y}), background);
  Shoot(grid, "records-framed");
}

// A multi-editor row's cells follow its editors as they move, go while
// one is being edited, or all go at once: every cell shows its own
// editor's value, and none outlives its editor.
TEST_F(Layouts, MultiEditorCellsFollowTheirEditorsAsTheyMoveAndGo) {
  auto* grid = Grid<TTestVerticalGrid>({8, 8, 448, 160});
  TcxMultiEditorRow* row = AddMulti(grid, {50, 50, 50});
  AddValueRow(grid, nullptr, "Plain", TcxIntegerValueType::Class(), Variant(1));
  grid->SetFocus();
  Pump();
  TcxEditorPropertiesCollection* editors = row->GetProperties()->GetEditors();
  auto shown = [&] {
    std::string text;
    TcxValueInfoList* values = Placed(grid, row)->GetValuesInfo();
    for (Integer j = 0; j < row->GetEditContainerCount(); ++j) {
      TcxRowValueInfo* cell = values->Find(0, j);
      if (!cell || cell->EditContainer() != row->GetEditContainer(j)) return text + "<wrong cell>";
      text += (j ? " " : "") + std::string(VarToStr(cell->GetDisplayValue()).c_str());
    }
    return text;
  };
  EXPECT_EQ(shown(), "10 20 30");
  editors->GetItem(2)->SetIndex(0);
  Pump();
  EXPECT_EQ(shown(), "30 10 20");

  grid->GetVGController()->SetFocusedRowAndCell(row, 2);
  grid->ShowEdit();
  Pump();
  ASSERT_TRUE(grid->GetVGController()->GetIsEditing());
  editors->Delete(2);
  Pump();
  EXPECT_FALSE(grid->GetVGController()->GetIsEditing());
  EXPECT_EQ(shown(), "30 10");

  grid->GetVGController()->SetFocusedRowAndCell(row, 1);
  grid->ShowEdit();
  Pump();
  editors->Clear();
  Pump();
  EXPECT_EQ(row->GetEditContainerCount(), 0);
  EXPECT_EQ(Placed(grid, row)->GetValuesInfo()->GetCount(), 0);
  grid->Repaint();
}

// A multi-editor row spreads its editors by their widths: scaled to the
// row, never below the least header width, or kept (Fixed) with the last
// cell cut at the row's edge; line or string separators part them, and a
// row without editors is a plain header strip.
TEST_F(Layouts, MultiEditorRowsSpreadTheirEditorsAndSeparateThem) {
  auto* grid = Grid<TTestVerticalGrid>({8, 8, 448, 160});
  grid->GetOptionsView()->SetRowHeaderWidth(200);
  TcxMultiEditorRow* row = AddMulti(grid, {100, 50, 50});
  TcxMultiEditorRow* none = AddMulti(grid, {});
  AddValueRow(grid, nullptr, "Plain", TcxIntegerValueType::Class(), Variant(1));
  Pump();
  auto widths = [&](const TRect& R) {
    std::vector<Integer> result;
    TcxRectList* cells = TcxMultiEditorRowViewInfo::GetCellRects(row, R, 0);
    for (Integer i = 0; cells && i < cells->GetCount(); ++i) result.push_back(cxRectWidth(cells->GetRect(i)));
    if (cells) cells->Free();
    return result;
  };
  EXPECT_EQ(widths({0, 0, 400, 20}), (std::vector<Integer>{200, 100, 100}));
  const Integer least = grid->GetOptionsView()->GetRowHeaderMinWidth();
  const std::vector<Integer> narrow = widths({0, 0, 3 * least + 2, 20});
  ASSERT_EQ(narrow.size(), 3u);
  EXPECT_GE(narrow[0], least);
  EXPECT_GE(narrow[1], least);
  EXPECT_EQ(narrow[0] + narrow[1] + narrow[2], 3 * least + 2) << "the last cell ends at the edge";
  row->GetProperties()->SetFixed(true);
  EXPECT_EQ(widths({0, 0, 120, 20}), (std::vector<Integer>{100, 20})) << "kept, the last cut";
  row->GetProperties()->SetFixed(false);
  Pump();

  auto* placed = static_cast<TcxMultiEditorRowViewInfo*>(Placed(grid, row));
  ASSERT_NE(placed, nullptr);
  EXPECT_EQ(placed->GetHeaderInfo()->GetCaptionCount(), 3);
  EXPECT_EQ(placed->GetValuesInfo()->GetCount(), 3);
  EXPECT_EQ(placed->GetMultiHeaderInfo()->GetSeparatorRects()->GetCount(), 0) << "lines are lines";
  TcxCustomRowViewInfo* empty = Placed(grid, none);
  ASSERT_NE(empty, nullptr);
  bool strip = false;
  TLineInfoList* lines = empty->GetHeaderInfo()->GetLinesInfo();
  for (Integer i = 0; i < lines->GetCount(); ++i) strip = strip || lines->GetItem(i).Rect == empty->RowRect;
  EXPECT_TRUE(strip) << "a row without editors is filled like a header";
  Shoot(grid, "multieditor-lines");

  row->GetProperties()->SetSeparatorKind(skString);
  row->GetProperties()->SetSeparatorString("x");
  Pump();
  placed = static_cast<TcxMultiEditorRowViewInfo*>(Placed(grid, row));
  EXPECT_EQ(placed->GetMultiHeaderInfo()->GetSeparatorRects()->GetCount(), 2);
  EXPECT_EQ(placed->GetSeparatorRects()->GetCount(), 2);
  const TRect gap = placed->GetSeparatorRects()->GetRect(0);
  EXPECT_GT(cxRectWidth(gap), 0);
  EXPECT_EQ(placed->GetValuesInfo()->GetItem(1)->DisplayRect.Left, gap.Right);
  Shoot(grid, "multieditor-strings");
}

}  // namespace
