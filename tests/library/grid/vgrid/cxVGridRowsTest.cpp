#include "library/grid/vgrid/cxVGridRows.h"

#include "library/grid/VGridSession.h"
#include "platform/rtl/NumberText.h"

// A window whose layout holds a grid with nested rows.
class TLayoutForm : public TForm {
  ORV_CLASS(TLayoutForm, TForm)
 public:
  using TForm::TForm;
  TcxVerticalGrid* Grid = nullptr;
  TcxEditorRow* NameRow = nullptr;
  TcxMultiEditorRow* SizeRow = nullptr;
  void NameRowGetDisplayText(TcxCustomEditorRowProperties*, Integer, AnsiString& AText) { AText = "<" + AText + ">"; }
};

ORV_REGISTER(TLayoutForm, ORV_FIELD(Grid), ORV_FIELD(NameRow), ORV_FIELD(SizeRow), ORV_METHOD(NameRowGetDisplayText))

namespace {

using RowTree = vgrid_test::Session;

TEST_F(RowTree, ParentsIndexesAndLevelsNeverFormALoop) {
  auto* grid = NewGrid(false);
  TcxCategoryRow* world = AddCategory(grid, nullptr, "World");
  TcxCategoryRow* land = AddCategory(grid, world, "Land");
  TcxEditorRow* hills = AddValueRow(grid, land, "Hills", TcxIntegerValueType::Class(), Variant(4));
  TcxEditorRow* lakes = AddValueRow(grid, land, "Lakes", TcxIntegerValueType::Class(), Variant(2));
  TcxEditorRow* seed = AddValueRow(grid, nullptr, "Seed", TcxStringValueType::Class(), Variant("x"));
  EXPECT_EQ(Outline(grid), "World\n  Land\n    Hills\n    Lakes\nSeed\n");
  EXPECT_EQ(hills->GetLevel(), 2);
  EXPECT_EQ(lakes->GetAbsoluteIndex(), 3);
  EXPECT_TRUE(world->IsParent(lakes));
  EXPECT_TRUE(lakes->IsChild(world));
  EXPECT_FALSE(lakes->IsChild(nullptr));

  // A row below the row itself, or the row itself, is no parent: nothing
  // changes and nobody hears of it.
  const Integer heard = grid->RowsChangedCount;
  world->SetParent(hills);
  world->SetParent(land);
  world->SetParent(world);
  EXPECT_EQ(Outline(grid), "World\n  Land\n    Hills\n    Lakes\nSeed\n");
  EXPECT_EQ(grid->RowsChangedCount, heard);
  EXPECT_EQ(world->GetParent(), nullptr);

  // A real move renumbers both sides.
  hills->SetParent(seed);
  EXPECT_EQ(Outline(grid), "World\n  Land\n    Lakes\nSeed\n  Hills\n");
  EXPECT_EQ(lakes->GetIndex(), 0);
  EXPECT_EQ(hills->GetIndex(), 0);
  hills->SetParent(nullptr);
  EXPECT_TRUE(hills->IsRootLevel());
  EXPECT_EQ(hills->GetLevel(), 0);
  EXPECT_EQ(hills->GetParent(), nullptr);

  // Indexes out of range change nothing; the children list raises the
  // grid's index error.
  hills->SetIndex(0);
  EXPECT_EQ(Outline(grid), "Hills\nWorld\n  Land\n    Lakes\nSeed\n");
  hills->SetIndex(7);
  lakes->SetIndex(-1);
  EXPECT_EQ(hills->GetIndex(), 0);
  EXPECT_EQ(seed->GetCount(), 0);
  EXPECT_EQ(seed->IndexOf(hills), -1);
  for (auto call : {+[](TcxCustomRow* r) { r->GetRow(0); }, +[](TcxCustomRow* r) { r->Delete(0); }}) {
    try {
      call(seed);
      ADD_FAILURE() << "no error";
    } catch (const EcxVerticalGridError& e) {
      EXPECT_STREQ(e.what(), "Index error");
    }
  }

  // Heights below -1 mean automatic; a leaf expands without a layout.
  hills->SetHeight(-5);
  EXPECT_EQ(hills->GetHeight(), -1);
  hills->Collapse(false);
  const Integer layouts = grid->RowsChangedCount;
  hills->Expand(true);
  EXPECT_EQ(grid->RowsChangedCount, layouts) << "a row without children only keeps the flag";
  EXPECT_TRUE(hills->GetExpanded());

  // IDs: the root is -1, every row its own; a stored name nobody has gives
  // the root.
  TcxVerticalGridRows* rows = grid->GetRows();
  EXPECT_EQ(rows->FindRowByID(-1), grid->GetRoot());
  EXPECT_EQ(rows->FindRowByID(lakes->GetID()), lakes);
  EXPECT_EQ(rows->FindRowByID(999), nullptr);
  EXPECT_EQ(rows->FindRowByStoredName("nobody"), grid->GetRoot());
  EXPECT_EQ(rows->FindRowByStoredName(IntToStr(seed->GetID())), seed);

  // A batch of changes reaches the grid once.
  const Integer before = grid->RowsChangedCount;
  rows->BeginUpdate();
  lakes->SetVisible(false);
  seed->SetHeight(40);
  land->SetExpanded(false);
  rows->EndUpdate();
  EXPECT_EQ(grid->RowsChangedCount, before + 1);
}

// The front end empties and fills its categories inside the grid's own
// update bracket: the rows' changes reach the grid once, as the bracket
// ends, and the header width then fits the rows that are left.
TEST_F(RowTree, RowChangesInsideTheGridsBracketReachTheGridOnceAsItEnds) {
  auto* grid = NewGrid();
  grid->SetBounds(0, 0, 380, 280);
  TcxCategoryRow* world = AddCategory(grid, nullptr, "World");
  for (const char* caption : {"Hills", "Lakes", "Rivers"})
    AddValueRow(grid, world, caption, TcxStringValueType::Class(), Variant("x"));
  TcxvgOptionsView* view = grid->GetOptionsView();
  view->SetRowHeaderWidth(1);
  const Integer narrow = view->GetRowHeaderWidth();
  const Integer heard = grid->RowsChangedCount;
  auto addChain = [&] {
    TcxCustomRow* parent = world;
    for (int level = 0; level < 6; ++level) parent = AddCategory(grid, parent, "Deep");
  };

  grid->BeginUpdate();
  while (world->GetCount() > 0) world->GetRow(world->GetCount() - 1)->Free();
  addChain();
  world->GetRow(0)->Free();
  AddValueRow(grid, world, "Seas", TcxStringValueType::Class(), Variant("y"));
  EXPECT_EQ(grid->RowsChangedCount, heard) << "nothing reaches the grid inside its bracket";
  grid->EndUpdate();
  EXPECT_EQ(grid->RowsChangedCount, heard + 1);
  EXPECT_EQ(Outline(grid), "World\n  Seas\n");
  EXPECT_EQ(view->GetRowHeaderWidth(), narrow) << "a tree that came and went inside the bracket leaves no trace";

  // A deeper tree left by the bracket widens the header as it ends.
  grid->BeginUpdate();
  addChain();
  EXPECT_EQ(view->GetRowHeaderWidth(), narrow);
  grid->EndUpdate();
  EXPECT_GT(view->GetRowHeaderWidth(), narrow);
  EXPECT_EQ(grid->RowsChangedCount, heard + 2);
}

TEST_F(RowTree, FreeingARowTakesItsSubtreeTheFocusAndItsValuesButNoOtherRow) {
  const Int64 live = Baseline();
  auto* grid = NewGrid();
  TcxCategoryRow* land = AddCategory(grid, nullptr, "Land");
  TcxEditorRow* hills = AddValueRow(grid, land, "Hills", TcxIntegerValueType::Class(), Variant(4));
  TcxEditorRow* seed = AddValueRow(grid, nullptr, "Seed", TcxStringValueType::Class(), Variant("x"));
  grid->SetFocusedRow(hills);
  grid->ShowEdit();
  ASSERT_TRUE(grid->IsEditing());

  land->Free();
  EXPECT_EQ(grid->GetFocusedRow(), nullptr) << "the focus went before the row";
  EXPECT_FALSE(grid->IsEditing());
  EXPECT_EQ(Outline(grid), "Seed\n");
  EXPECT_EQ(grid->GetItemCount(), 1) << "the row's value column left the grid";
  EXPECT_EQ(seed->GetProperties()->GetValue(), Variant("x"));
  EXPECT_TRUE(RecordFocused(grid));

  // Copies keep classes, IDs, captions, values and the tree.
  TcxCategoryRow* sea = AddCategory(grid, nullptr, "Sea");
  AddValueRow(grid, sea, "Depth", TcxIntegerValueType::Class(), Variant(90));
  auto* copy = NewGrid(false);
  copy->AssignRows(grid);
  EXPECT_EQ(Outline(copy), "Seed\nSea\n  Depth\n");
  EXPECT_EQ(copy->GetRows()->GetRow(2)->GetID(), grid->GetRows()->GetRow(2)->GetID());
  EXPECT_EQ(static_cast<TcxEditorRow*>(copy->GetRows()->GetRow(2))->GetProperties()->GetValue(), Variant(90));
  EXPECT_THROW(copy->GetRows()->AssignRows(nullptr), EcxVerticalGridError);
  copy->Free();
  grid->Free();
  Pump();
  EXPECT_EQ(TObject::LiveCount(), live);
}

// A copied row keeps what the user switched off on the row and on its
// editors: a read-only value stays read-only in the copy.
TEST_F(RowTree, CopiedRowsKeepTheOptionsOfTheRowAndOfItsEditors) {
  auto* grid = NewGrid(false);
  TcxCategoryRow* land = AddCategory(grid, nullptr, "Land");
  land->GetOptions()->SetFocusing(false);
  land->GetOptions()->SetMoving(false);
  TcxEditorRow* hills = AddValueRow(grid, land, "Hills", TcxIntegerValueType::Class(), Variant(4));
  hills->GetOptions()->SetCanResized(false);
  hills->GetProperties()->GetOptions()->SetEditing(false);
  hills->GetProperties()->GetOptions()->SetShowEditButtons(eisbNever);
  auto* size = static_cast<TcxMultiEditorRow*>(grid->AddChild(nullptr, TcxMultiEditorRow::StaticClass()));
  TcxEditorRowItemProperties* width = size->GetProperties()->GetEditors()->Add();
  width->GetOptions()->SetEditing(false);
  width->GetOptions()->SetTabStop(false);

  auto* copy = NewGrid(false);
  copy->AssignRows(grid);
  ASSERT_EQ(Outline(copy), Outline(grid));
  auto* landCopy = static_cast<TcxCategoryRow*>(copy->GetRows()->GetRow(0));
  EXPECT_FALSE(landCopy->GetOptions()->GetFocusing());
  EXPECT_FALSE(landCopy->GetOptions()->GetMoving());
  EXPECT_TRUE(landCopy->GetOptions()->GetTabStop());
  auto* hillsCopy = static_cast<TcxEditorRow*>(copy->GetRows()->GetRow(1));
  EXPECT_FALSE(hillsCopy->GetOptions()->GetCanResized());
  EXPECT_FALSE(hillsCopy->GetProperties()->GetOptions()->GetEditing());
  EXPECT_EQ(hillsCopy->GetProperties()->GetOptions()->GetShowEditButtons(), eisbNever);
  EXPECT_TRUE(hillsCopy->GetProperties()->GetOptions()->GetFocusing());
  auto* sizeCopy = static_cast<TcxMultiEditorRow*>(copy->GetRows()->GetRow(2));
  ASSERT_EQ(sizeCopy->GetProperties()->GetEditors()->GetCount(), 1);
  TcxCustomEditContainerItemOptions* widthCopy = sizeCopy->GetProperties()->GetEditors()->GetItem(0)->GetOptions();
  EXPECT_FALSE(widthCopy->GetEditing());
  EXPECT_FALSE(widthCopy->GetTabStop());
}

// ---------------------------------------------------------------------------
// Form layouts.

const char* const kLayout =
    "object LayoutForm: TLayoutForm\n"
    "  object Grid: TcxVerticalGrid\n"
    "    OptionsView.PaintStyle = psDelphi\n"
    "    OptionsView.RowHeaderWidth = 150\n"
    "    object GeneralCategory: TcxCategoryRow\n"
    "      Properties.Caption = 'General'\n"
    "      object NameRow: TcxEditorRow\n"
    "        Properties.Caption = 'Name'\n"
    "        Properties.HeaderAlignmentHorz = taRightJustify\n"
    "        Properties.EditPropertiesClassName = 'TcxTextEditProperties'\n"
    "        Properties.EditProperties.MaxLength = 12\n"
    "        Properties.Value = 'Dune'\n"
    "        Properties.OnGetDisplayText = NameRowGetDisplayText\n"
    "      end\n"
    "      object SizeCategory: TcxCategoryRow\n"
    "        Expanded = False\n"
    "        Properties.Caption = 'Size'\n"
    "        object SizeRow: TcxMultiEditorRow\n"
    "          Height = 30\n"
    "          Properties.Editors = <\n"
    "            item\n"
    "              Caption = 'Width'\n"
    "              DataBinding.ValueType = 'Integer'\n"
    "              Value = 640\n"
    "              Width = 80\n"
    "            end\n"
    "            item\n"
    "              Caption = 'Height'\n"
    "              DataBinding.ValueType = 'Integer'\n"
    "              Value = 480\n"
    "            end>\n"
    "          Properties.SeparatorKind = skString\n"
    "          Properties.SeparatorString = 'x'\n"
    "        end\n"
    "      end\n"
    "    end\n"
    "    object HiddenRow: TcxEditorRow\n"
    "      Properties.Caption = 'Hidden'\n"
    "      Visible = False\n"
    "    end\n"
    "  end\n"
    "end\n";

using Layouts = vgrid_test::Session;

TEST_F(Layouts, ANestedGridLoadsThroughTheRegisteredClassesAndWritesBackTheSame) {
  const Int64 live = Baseline();
  auto* window = TCustomForm::CreateNew<TLayoutForm>(Application);
  ReadComponentFromText(kLayout, window);
  TcxVerticalGrid* grid = window->Grid;
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(Outline(grid), "General\n  Name\n  Size (collapsed)\n    Width|Height\nHidden (hidden)\n");
  EXPECT_EQ(grid->GetRows()->GetRow(3), window->SizeRow);
  EXPECT_EQ(window->NameRow->GetOwner(), window) << "rows belong to the form";
  // Loaded saw the whole grid: the 3-D style shows its editors.
  EXPECT_TRUE(grid->GetOptionsBehavior()->GetAlwaysShowEditor());
  EXPECT_EQ(grid->GetOptionsView()->GetRowHeaderWidth(), 150);

  // The edit properties were made from their class name before their
  // values were set; the handler was bound by name.
  TcxEditorRowProperties* name = window->NameRow->GetProperties();
  auto* text = dynamic_cast<TcxTextEditProperties*>(name->GetEditProperties());
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->GetMaxLength(), 12);
  EXPECT_EQ(name->GetHeaderAlignmentHorz(), taRightJustify);
  EXPECT_EQ(name->GetValue(), Variant("Dune"));
  EXPECT_EQ(name->GetDisplayText(0), "<Dune>");

  // The editors of the multi-editor row are value columns of the grid.
  TcxMultiEditorRowProperties* size = window->SizeRow->GetProperties();
  ASSERT_EQ(size->GetEditors()->GetCount(), 2);
  EXPECT_EQ(window->SizeRow->GetEditContainerCount(), 2);
  EXPECT_EQ(window->SizeRow->GetEditContainer(5), nullptr);
  EXPECT_EQ(size->GetEditors()->GetItem(0)->GetValue(), Variant(640));
  EXPECT_EQ(size->GetEditors()->GetItem(1)->GetValue(), Variant(480));
  EXPECT_EQ(size->GetEditors()->GetItem(0)->GetWidth(), 80);
  EXPECT_EQ(static_cast<TcxCellEdit*>(window->SizeRow->GetEditContainer(1))->CellIndex, 1);
  EXPECT_EQ(grid->GetItemCount(), 4) << "Name, Width, Height and Hidden";
  EXPECT_EQ(grid->RowByCaption("height"), window->SizeRow) << "any editor's caption finds the row";
  EXPECT_EQ(window->SizeRow->GetHeight(), 30);

  // Written back and read again, the same text.
  const AnsiString written = ComponentToText(window);
  auto* again = TCustomForm::CreateNew<TLayoutForm>(nullptr);
  ReadComponentFromText(written, again);
  EXPECT_EQ(Outline(again->Grid), Outline(grid));
  EXPECT_EQ(ComponentToText(again), written);
  EXPECT_EQ(again->SizeRow->GetProperties()->GetEditors()->GetItem(1)->GetValue(), Variant(480));
  again->Free();
  window->Free();
  Pump();
  EXPECT_EQ(TObject::LiveCount(), live);
}

TEST_F(Layouts, ADamagedLayoutNamesWhatIsWrongAndLeavesNoHalfBuiltGrid) {
  const Int64 live = Baseline();
  auto refused = [&](const AnsiString& from, const AnsiString& to) -> std::string {
    AnsiString text = kLayout;
    const size_t at = text.find(from);
    EXPECT_NE(at, AnsiString::npos) << from;
    text.replace(at, from.size(), to);
    auto* window = TCustomForm::CreateNew<TLayoutForm>(Application);
    std::string message = "no error";
    try {
      ReadComponentFromText(text, window);
    } catch (const Exception& e) {
      message = e.GetMessage();
    }
    EXPECT_EQ(window->Grid, nullptr) << "the failed read freed the grid and forgot it";
    EXPECT_EQ(window->GetComponentCount(), 0);
    window->Free();
    return message;
  };
  EXPECT_EQ(refused("SizeRow: TcxMultiEditorRow", "SizeRow: TcxWobblyRow"), "Class TcxWobblyRow not found");
  EXPECT_EQ(refused("Properties.SeparatorKind", "Properties.SeparatorShape"),
            "Property Properties.SeparatorShape does not exist");
  EXPECT_EQ(refused("Height = 30", "Height = 'tall'"), "Error reading SizeRow.Height: Invalid property value");
  EXPECT_EQ(refused("Expanded = False", "Expanded = Perhaps"),
            "Error reading SizeCategory.Expanded: Invalid property value");
  EXPECT_EQ(refused("Properties.OnGetDisplayText = NameRowGetDisplayText",
                    "Properties.OnGetDisplayText = NoSuchHandler"),
            "Method NoSuchHandler not found");
  // A row that lies in the form instead of a grid has no place.
  EXPECT_EQ(refused("    object HiddenRow: TcxEditorRow\n      Properties.Caption = 'Hidden'\n      Visible = False\n"
                    "    end\n  end\n",
                    "  end\n  object HiddenRow: TcxEditorRow\n  end\n"),
            "Row HiddenRow lies outside a vertical grid");
  Pump();
  EXPECT_EQ(TObject::LiveCount(), live);
}

}  // namespace
