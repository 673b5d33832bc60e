#include "library/grid/vgrid/cxVGrid.h"

#include "library/grid/VGridSession.h"
#include "library/editors/core/cxComboBox.h"
#include "library/editors/cxCheckBox.h"
#include "library/editors/cxSpinEdit.h"
#include "platform/forms/Screen.h"
#include "platform/win/Cursors.h"
#include "support/DeclaredDefaults.h"
#include "support/TempDir.h"

// The value grid's window as the front end has it: a form layout with the
// grid and its three designed categories, and a handler bound by name.
class TTerrainValuesForm : public TForm {
  ORV_CLASS(TTerrainValuesForm, TForm)
 public:
  using TForm::TForm;
  TTestVerticalGrid* cxVGTerrainValues = nullptr;
  TcxCategoryRow* cxOkValuesCategoryRow = nullptr;
  TcxCategoryRow* cxUnusedValuesCategoryRow = nullptr;
  TcxCategoryRow* cxUnknownValuesCategoryRow = nullptr;
  std::vector<std::string> Log;
  // The stored value of the changed row when the grid says it changed.
  void cxVGTerrainValuesEditValueChanged(TObject*, TcxCustomEditorRowProperties* ARowProperties) {
    Log.push_back("changed " + ARowProperties->GetCaption() + ", stored " + VarToStr(ARowProperties->GetValue()));
  }
};

ORV_REGISTER(TTerrainValuesForm, ORV_FIELD(cxVGTerrainValues), ORV_FIELD(cxOkValuesCategoryRow),
             ORV_FIELD(cxUnusedValuesCategoryRow), ORV_FIELD(cxUnknownValuesCategoryRow),
             ORV_METHOD(cxVGTerrainValuesEditValueChanged))

namespace {

const char* const kTerrainValuesLayout =
    "object TerrainValuesForm: TTerrainValuesForm\n"
    "  Left = 120\n"
    "  Top = 80\n"
    "  Width = 400\n"
    "  Height = 320\n"
    "  object cxVGTerrainValues: TTestVerticalGrid\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 313\n"
    "    Height = 225\n"
    "    OptionsView.RowHeaderWidth = 190\n"
    "    OnEditValueChanged = cxVGTerrainValuesEditValueChanged\n"
    "    object cxOkValuesCategoryRow: TcxCategoryRow\n"
    "      Properties.Caption = 'Ok Values'\n"
    "    end\n"
    "    object cxUnusedValuesCategoryRow: TcxCategoryRow\n"
    "      Properties.Caption = 'Unused Values'\n"
    "    end\n"
    "    object cxUnknownValuesCategoryRow: TcxCategoryRow\n"
    "      Properties.Caption = 'Unknown Values'\n"
    "    end\n"
    "  end\n"
    "end\n";

using FrontEnd = vgrid_test::Session;
using vgrid_test::AddParameter;

TEST_F(FrontEnd, TheValueGridIsBuiltReadWrittenRetypedAndClearedThroughTheRowsApi) {
  const Int64 live = Baseline();
  auto* window = TCustomForm::CreateNew<TTerrainValuesForm>(Application);
  ReadComponentFromText(kTerrainValuesLayout, window);
  TTestVerticalGrid* grid = window->cxVGTerrainValues;
  ASSERT_NE(grid, nullptr);
  window->Show();
  Pump();
  grid->SetFocus();
  Pump();
  ASSERT_TRUE(RecordFocused(grid)) << "the unbound grid focuses its one record from the start";
  EXPECT_EQ(grid->GetOptionsView()->GetRowHeaderWidth(), 190);
  ASSERT_EQ(grid->GetRows()->GetCount(), 3);
  EXPECT_EQ(grid->GetRows()->GetRow(1), window->cxUnusedValuesCategoryRow);
  EXPECT_EQ(window->cxOkValuesCategoryRow->GetProperties()->GetCaption(), "Ok Values");

  // The rebuild: one bracket, the focus taken away first. The radio group
  // is still to come: a text row stands in for it.
  const Integer layoutsBefore = grid->LayoutCount;
  grid->BeginUpdate();
  grid->SetFocusedRow(nullptr);
  TcxCategoryRow* ok = window->cxOkValuesCategoryRow;
  TcxCategoryRow* unused = window->cxUnusedValuesCategoryRow;
  TcxCategoryRow* unknown = window->cxUnknownValuesCategoryRow;
  auto* width = AddParameter(grid, ok, "Width", TcxSpinEditProperties::StaticClass(), TcxIntegerValueType::Class(),
                             Variant(640), 0);
  auto* ratio = AddParameter(grid, ok, "Ratio", TcxSpinEditProperties::StaticClass(), TcxFloatValueType::Class(),
                             Variant("2.5"), 1);
  auto* rivers = AddParameter(grid, ok, "Rivers", TcxCheckBoxProperties::StaticClass(), TcxIntegerValueType::Class(),
                              Variant(1), 2);
  auto* climate = AddParameter(grid, unused, "Climate", TcxTextEditProperties::StaticClass(),
                               TcxIntegerValueType::Class(), Variant(3), 3);
  auto* biome = AddParameter(grid, unused, "Biome", TcxComboBoxProperties::StaticClass(),
                             TcxStringValueType::Class(), Variant("Desert"), 4);
  auto* seed = AddParameter(grid, unknown, "seed", TcxTextEditProperties::StaticClass(),
                            TcxStringValueType::Class(), Variant("12"), 0);
  for (TcxCategoryRow* category : {ok, unused, unknown}) category->SetVisible(category->HasChildren());
  EXPECT_EQ(grid->LayoutCount, layoutsBefore) << "nothing is laid out inside the bracket";
  grid->EndUpdate();
  EXPECT_EQ(grid->LayoutCount, layoutsBefore + 1) << "the bracket ends in one layout pass";

  // Every level, parents before their children, children in the order
  // they were added.
  ASSERT_EQ(grid->GetRows()->GetCount(), 9);
  const std::vector<TcxCustomRow*> flat = {ok, width, ratio, rivers, unused, climate, biome, unknown, seed};
  for (Integer i = 0; i < 9; ++i) EXPECT_EQ(grid->GetRows()->GetRow(i), flat[static_cast<size_t>(i)]) << i;
  EXPECT_THROW(grid->GetRows()->GetRow(9), EcxVerticalGridError);
  EXPECT_EQ(ok->GetCount(), 3);
  EXPECT_EQ(ratio->GetParent(), ok);
  EXPECT_EQ(ok->GetParent(), nullptr) << "a category is a top-level row";
  EXPECT_EQ(climate->GetTag(), 3);
  EXPECT_EQ(ratio->GetProperties()->Hint, "Hint of Ratio");
  // The window tells its rows apart by their exact class.
  for (Integer i = 0; i < grid->GetRows()->GetCount(); ++i) {
    TcxCustomRow* row = grid->GetRows()->GetRow(i);
    const bool category = row == ok || row == unused || row == unknown;
    EXPECT_EQ(row->ClassType() == TcxCategoryRow::StaticClass(), category) << i;
    EXPECT_EQ(row->ClassType() == TcxEditorRow::StaticClass(), !category) << i;
  }

  // Values come back in their row's type.
  EXPECT_EQ(width->GetProperties()->GetValue(), Variant(640));
  EXPECT_EQ(VarType(ratio->GetProperties()->GetValue()), varDouble) << "the text is converted by the Float type";
  EXPECT_DOUBLE_EQ(ratio->GetProperties()->GetValue().AsDouble(), 2.5);
  EXPECT_EQ(biome->GetProperties()->GetValue(), Variant("Desert"));
  EXPECT_EQ(rivers->GetProperties()->GetValue(), Variant(1));
  EXPECT_EQ(rivers->GetProperties()->GetDisplayText(0), "1") << "the check box shows its checked text";
  EXPECT_EQ(static_cast<TcxSpinEditProperties*>(width->GetProperties()->GetEditProperties())->GetIncrement(), 1.0);
  EXPECT_EQ(biome->GetProperties()->GetOptions()->GetShowEditButtons(), eisbAlways);
  // Retyping a text row to Integer converts what it holds.
  seed->GetProperties()->GetDataBinding()->SetValueTypeClass(TcxIntegerValueType::Class());
  EXPECT_EQ(VarType(seed->GetProperties()->GetValue()), varInteger);
  EXPECT_EQ(seed->GetProperties()->GetValue(), Variant(12));
  EXPECT_TRUE(RecordFocused(grid)) << "retyping keeps the one record focused";

  // A collapsed category opens again with the whole tree.
  ok->SetExpanded(false);
  unused->Collapse(true);
  grid->FullExpand();
  EXPECT_TRUE(ok->GetExpanded() && unused->GetExpanded());
  EXPECT_TRUE(grid->IsRowVisible(climate));

  // The focus follows the row set and goes when cleared.
  grid->SetFocusedRow(rivers);
  EXPECT_EQ(grid->GetFocusedRow(), rivers);
  EXPECT_TRUE(rivers->GetFocused());
  grid->SetFocusedRow(nullptr);
  EXPECT_EQ(grid->GetFocusedRow(), nullptr);

  // The edited value is told to the window before it reaches the record;
  // leaving the editor posts it.
  grid->SetFocusedRow(climate);
  grid->ShowEdit();
  ASSERT_TRUE(grid->IsEditing());
  ASSERT_NE(grid->GetInplaceEditor(), nullptr);
  Type("7");
  EXPECT_EQ(climate->GetProperties()->GetValue(), Variant(3)) << "nothing is posted while typing";
  grid->HideEdit();
  EXPECT_EQ(window->Log, std::vector<std::string>({"changed Climate, stored 3"}));
  EXPECT_EQ(climate->GetProperties()->GetValue(), Variant(7));

  // Clearing the rows with an editor open ends the editing and the focus,
  // and leaves the one record focused.
  grid->SetFocusedRow(width);
  grid->ShowEdit();
  ASSERT_TRUE(grid->IsEditing());
  grid->ClearRows();
  EXPECT_FALSE(grid->IsEditing());
  EXPECT_EQ(grid->GetFocusedRow(), nullptr);
  EXPECT_EQ(grid->GetRows()->GetCount(), 0);
  EXPECT_TRUE(RecordFocused(grid));

  window->Free();
  Pump();
  EXPECT_EQ(TObject::LiveCount(), live);
}

}  // namespace

namespace {

using Grid = vgrid_test::Session;

TEST_F(Grid, OptionsStartAtTheirDefaultsAndKeepTheirBounds) {
  // The start-up put the row-dragging cursors of their own into the
  // screen's table.
  for (TCursor cursor : {crcxVGInsert, crcxVGAddChild, crcxVGAdd, crcxVGHide, crcxVGNoDrag}) {
    win::CursorImage image;
    ASSERT_TRUE(win::GetCursorImage(Screen->GetCursors(cursor), image)) << cursor;
    EXPECT_NE(Screen->GetCursors(cursor), Screen->GetCursors(crArrow)) << cursor;
    EXPECT_EQ(image.hotSpot, TPoint(0, 0));
  }
  auto* grid = NewGrid(false);
  EXPECT_EQ(grid->GetWidth(), 200);
  EXPECT_EQ(grid->GetHeight(), 150);
  TcxvgOptionsView* view = grid->GetOptionsView();
  TcxvgOptionsBehavior* behavior = grid->GetOptionsBehavior();
  EXPECT_EQ(view->GetRowHeaderWidth(), 100);
  EXPECT_EQ(view->GetValueWidth(), 100);
  EXPECT_EQ(view->GetBandsInterval(), 2);
  EXPECT_EQ(view->GetRowHeight(), -1);
  EXPECT_EQ(view->GetGridLines(), vglBoth);
  EXPECT_EQ(view->GetGridLineColor(), clBtnFace);
  EXPECT_TRUE(behavior->GetImmediateEditor() && behavior->GetCellHints() && behavior->GetRowTracking());
  EXPECT_FALSE(behavior->GetRowSizing());
  const TcxViewParams search = grid->GetStyles()->GetIncSearchParams();
  EXPECT_EQ(search.Color, clDefault);
  EXPECT_EQ(search.TextColor, clDefault);
  EXPECT_TRUE(grid->GetStyles()->GetCategoryParams(nullptr).Font->GetStyle().Contains(fsBold));

  view->SetRowHeaderWidth(10);
  EXPECT_EQ(view->GetRowHeaderWidth(), 24) << "never below RowHeaderMinWidth";
  view->SetValueMinWidth(5);
  EXPECT_EQ(view->GetValueMinWidth(), 20);
  view->SetValueWidth(3);
  EXPECT_EQ(view->GetValueWidth(), 20);
  view->SetRowHeight(-9);
  EXPECT_EQ(view->GetRowHeight(), -1);
  view->SetBandsInterval(-3);
  EXPECT_EQ(view->GetBandsInterval(), 0);

  // The 3-D style shows its editors until the option is set, and again
  // once the defaults come back.
  EXPECT_FALSE(behavior->GetAlwaysShowEditor());
  view->SetPaintStyle(psDelphi);
  EXPECT_TRUE(behavior->GetAlwaysShowEditor());
  EXPECT_EQ(view->GetGridLineColor(), clBtnShadow);
  EXPECT_NE(dynamic_cast<TcxvgStyle3DCalcHelper*>(grid->GetVGViewInfo()->GetCalcHelper()), nullptr);
  behavior->SetAlwaysShowEditor(false);
  view->SetPaintStyle(psdotNet);
  view->SetPaintStyle(psDelphi);
  EXPECT_FALSE(behavior->GetAlwaysShowEditor()) << "set explicitly, it stays";
  grid->RestoreDefaults();
  EXPECT_TRUE(behavior->GetAlwaysShowEditor());
}

// A grid keeps its place in the Tab order and its dragging cursor through
// its written layout, also at their declared defaults.
TEST_F(Grid, SettingsAtTheirDeclaredDefaultsSurviveTheLayout) {
  auto* grid = NewGrid(false);
  EXPECT_EQ(LostAtDeclaredDefaults(grid, form, {"TabStop", "DragCursor"}), std::vector<std::string>{});
}

TEST_F(Grid, RowsAreAddedFoundFocusedAndEditedByTheRules) {
  auto* grid = NewGrid();
  EXPECT_THROW(grid->AddChild(nullptr, TcxCustomEditorRow::StaticClass()), EcxVerticalGridError);
  EXPECT_THROW(grid->Add(nullptr), EcxVerticalGridError);
  try {
    grid->Add(TcxCustomRow::StaticClass());
  } catch (const EcxVerticalGridError& e) {
    EXPECT_STREQ(e.what(), "Can't create row");
  }
  TcxCategoryRow* land = AddCategory(grid, nullptr, "Land");
  TcxEditorRow* hills = AddValueRow(grid, land, "Hills", TcxIntegerValueType::Class(), Variant(4));
  TcxEditorRow* seed = AddValueRow(grid, nullptr, "Seed", TcxStringValueType::Class(), Variant("x"));
  hills->SetName("HillsRow");
  EXPECT_EQ(grid->RowByCaption("HILLS"), hills);
  EXPECT_EQ(grid->RowByName("hillsrow"), hills);
  EXPECT_EQ(grid->NextRow(land), hills);
  EXPECT_EQ(grid->PrevRow(nullptr), seed);
  EXPECT_EQ(grid->LastVisibleRow(), seed);

  grid->FullCollapse();
  EXPECT_EQ(grid->NextVisibleRow(land), seed) << "top-level rows stay in sight";
  EXPECT_FALSE(grid->IsRowVisible(hills));
  // Focusing a row inside a collapsed category opens the category.
  grid->SetFocusedRow(hills);
  EXPECT_TRUE(land->GetExpanded());
  // The paint style's new view info keeps the focus.
  grid->GetOptionsView()->SetPaintStyle(psDelphi);
  EXPECT_EQ(grid->GetFocusedRow(), hills);

  // A hidden row's caption changes without a layout; a shown one's with.
  seed->SetVisible(false);
  const Integer layouts = grid->LayoutCount;
  seed->GetProperties()->SetCaption("Seed!");
  EXPECT_EQ(grid->LayoutCount, layouts);
  hills->GetProperties()->SetCaption("Hills!");
  EXPECT_EQ(grid->LayoutCount, layouts + 1);
  // An empty caption is assigned but not written.
  land->GetProperties()->RestoreDefaults();
  land->GetProperties()->SetCaption("");
  EXPECT_TRUE(land->GetProperties()->GetCaptionAssigned());
  EXPECT_FALSE(land->GetProperties()->IsCaptionStored());

  // Without editing nothing opens.
  grid->GetOptionsData()->SetEditing(false);
  grid->ShowEdit();
  EXPECT_FALSE(grid->IsEditing());
  grid->GetOptionsData()->SetEditing(true);

  // While the record is being edited a value goes through the edit buffer,
  // which the grid's own record takes at once.
  TcxCustomDataController* data = grid->GetDataController();
  data->Edit();
  ASSERT_TRUE(data->GetEditState().Contains(dceEdit));
  hills->GetProperties()->SetValue(9);
  EXPECT_EQ(data->GetValue(0, hills->GetProperties()->GetItemIndex()), Variant(9));
  data->Post();
  EXPECT_EQ(hills->GetProperties()->GetValue(), Variant(9));

  // A multi-editor row's editor is never narrower than 20.
  auto* size = static_cast<TcxMultiEditorRow*>(grid->Add(TcxMultiEditorRow::StaticClass()));
  TcxEditorRowItemProperties* editor = size->GetProperties()->GetEditors()->Add();
  editor->SetWidth(5);
  EXPECT_EQ(editor->GetWidth(), 20);
  EXPECT_EQ(editor->GetEditContainer()->GetEditingControl(), grid);
}

// The unbound grid's one record stays focused whatever is done to it: the
// front end writes every value through it, and a grid that lost it would
// show every row empty without an error.
// Rows named after the grid follow its new name, once each, also when the
// new name only extends the old one ("Grid" to "Grid2"), which used to
// rename the grid itself over and over until the stack ran out.
TEST_F(Grid, RenamingTheGridRenamesItsRowsOnce) {
  auto* grid = NewGrid(false);
  grid->SetName("Grid");
  TcxEditorRow* hills = AddValueRow(grid, nullptr, "Hills", TcxIntegerValueType::Class(), Variant(4));
  hills->SetName("GridHills");
  TcxCategoryRow* land = AddCategory(grid, nullptr, "Land");
  land->SetName("LandRow");
  grid->SetName("Grid2");
  EXPECT_EQ(grid->GetName(), "Grid2");
  EXPECT_EQ(hills->GetName(), "Grid2Hills");
  EXPECT_EQ(land->GetName(), "LandRow");
  grid->SetName("Grid2Main");
  EXPECT_EQ(grid->GetName(), "Grid2Main");
  EXPECT_EQ(hills->GetName(), "Grid2MainHills");
  grid->SetName("Values");
  EXPECT_EQ(hills->GetName(), "ValuesHills");
}

TEST_F(Grid, TheUnboundGridKeepsItsOneRecordFocused) {
  auto* grid = NewGrid();
  ASSERT_TRUE(RecordFocused(grid));
  TempDir dir;
  TcxCategoryRow* land = AddCategory(grid, nullptr, "Land");
  TcxEditorRow* hills = AddValueRow(grid, land, "Hills", TcxIntegerValueType::Class(), Variant(4));
  grid->StoreToIniFile(dir / "layout.ini");
  auto step = [&](const char* what, auto&& action) {
    action();
    EXPECT_TRUE(RecordFocused(grid)) << what;
  };
  step("a bracket", [&] {
    grid->BeginUpdate();
    AddValueRow(grid, land, "Lakes", TcxStringValueType::Class(), Variant("2"));
    grid->EndUpdate();
  });
  step("retyping", [&] { hills->GetProperties()->GetDataBinding()->SetValueTypeClass(TcxFloatValueType::Class()); });
  step("restoring", [&] { grid->RestoreFromIniFile(dir / "layout.ini"); });
  step("the layout style", [&] { grid->SetLayoutStyle(ulsBandsView); });
  step("removing the value rows", [&] {
    grid->Remove(hills);
    land->RemoveAll();
  });
  step("clearing", [&] { grid->ClearRows(); });
  TcxEditorRow* fresh = AddValueRow(grid, nullptr, "Fresh", TcxIntegerValueType::Class(), Variant(5));
  EXPECT_EQ(fresh->GetProperties()->GetValue(), Variant(5)) << "a row added after all that still takes its value";
}

}  // namespace
