// The data-bound grid over 300 records of five typed fields, driven by a
// navigator bar: every action, the buttons' states following the grid,
// paging by the record columns on show, the grid without records, and
// pictures of the multi-record and bands layouts with their navigator.
#include <filesystem>
#include <string>
#include <vector>

#include "library/grid/NavigatorButtons.h"
#include "library/grid/VGridData.h"
#include "library/grid/VGridSession.h"
#include "library/grid/filter/cxFilterControlDialog.h"
#include "library/grid/filter/cxFilterControlViewInfo.h"
#include "library/data/cxCustomDataFilter.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/Screen.h"
#include "support/TempDir.h"
#include "platform/theme/ThemeTestMode.h"


namespace {

class DataGrid : public vgrid_test::Session {
 protected:
  TcxVirtualVerticalGrid* grid = nullptr;
  TcxNavigator* navigator = nullptr;
  vgrid_data::Fields fields;

  void SetUp() override {
    Session::SetUp();
    form->SetBoundsRect({100, 100, 640, 420});
    grid = New<TcxVirtualVerticalGrid>(form);
    grid->SetParent(form);
    grid->SetBoundsRect({8, 8, 8 + 400, 8 + 200});
    fields = vgrid_data::FillGrid(grid, 300);
    navigator = New<TcxNavigator>(form);
    navigator->SetParent(form);
    navigator->SetLeft(8);
    navigator->SetTop(216);
    navigator->SetControl(grid);
    form->Show();
    Pump();
    grid->SetFocus();
    grid->SetFocusedRecordIndex(0);
    grid->SetFocusedRow(fields.Name);
    Pump();
  }
  AnsiString Value(Integer ARecord, TcxEditorRow* ARow) {
    return VarToStr(grid->GetDataController()->GetValue(ARecord, ARow->GetProperties()->GetItemIndex()));
  }
  void Click(Integer AIndex) {
    win::test::Click(navigator->GetHandle(), cxRectCenter(navigator_test::ButtonBounds(navigator, AIndex)));
    Pump();
  }
  // "1" for each enabled button, "." for each disabled one, in button order.
  std::string States() {
    std::string text;
    TcxNavigatorViewInfo* info = navigator->GetViewInfo();
    for (Integer i = 0; i < info->GetButtonCount(); ++i) text += info->GetButton(i)->Enabled ? '1' : '.';
    return text;
  }
  Integer Focused() { return grid->GetFocusedRecordIndex(); }
};

// Every navigator action on the grid, with the buttons following the
// grid's state after each one (button order: first, prior page, prior,
// next, next page, last, insert, delete, edit, post, cancel, refresh, save
// and go to bookmark, filter).
TEST_F(DataGrid, EveryNavigatorActionAndTheButtonStates) {
  ASSERT_EQ(navigator->GetViewInfo()->GetButtonCount(), 15) << "the grid supports every action";
  EXPECT_FALSE(grid->NavigatorIsActionSupported(15));
  EXPECT_EQ(States(), "...111111..11.1");

  Click(NBDI_NEXT);
  EXPECT_EQ(Focused(), 1);
  EXPECT_EQ(States(), "111111111..11.1");
  Click(NBDI_NEXTPAGE);
  EXPECT_EQ(Focused(), 2) << "one record a page in the single-record layout";
  Click(NBDI_LAST);
  EXPECT_EQ(Focused(), 299);
  // The value cell shown is the new record's; none is left of the first.
  TcxValueInfoList* cells = grid->GetVGViewInfo()->GetRowViewInfo(fields.Name)->GetValuesInfo();
  EXPECT_EQ(cells->GetCount(), 1);
  EXPECT_NE(cells->Find(299, 0), nullptr);
  EXPECT_EQ(States(), "111...111..11.1");
  Click(NBDI_PRIOR);
  Click(NBDI_PRIORPAGE);
  EXPECT_EQ(Focused(), 297);
  Click(NBDI_SAVEBOOKMARK);
  EXPECT_EQ(States(), "111111111..1111");
  Click(NBDI_FIRST);
  EXPECT_EQ(Focused(), 0);
  Click(NBDI_GOTOBOOKMARK);
  EXPECT_EQ(Focused(), 297);

  // Edit, change a value, cancel: nothing kept; edit, change, post: kept.
  TcxCustomDataController* data = grid->GetDataController();
  Click(NBDI_EDIT);
  EXPECT_TRUE(grid->IsEditing());
  EXPECT_EQ(States(), "11111111.111111") << "Post and Cancel while editing, no second Edit";
  win::test::TypeText("x");
  Click(NBDI_CANCEL);
  EXPECT_EQ(Value(297, fields.Name), "Item 297");
  EXPECT_FALSE(data->GetIsEditing());
  Click(NBDI_EDIT);
  win::test::KeyPress(win::VK_END);
  win::test::TypeText("!");
  Click(NBDI_POST);
  EXPECT_FALSE(data->GetIsEditing());
  EXPECT_EQ(Value(297, fields.Name), "Item 297!");

  // Insert and post a record; delete asks first and deletes only on OK.
  Click(NBDI_INSERT);
  EXPECT_TRUE(data->GetEditState().Contains(dceInsert));
  data->SetEditValue(fields.Name->GetProperties()->GetItemIndex(), Variant("New"), evsValue);
  Click(NBDI_POST);
  EXPECT_EQ(data->GetRecordCount(), 301);
  forms::test::AnswerMessageBox(win::IDCANCEL);
  Click(NBDI_DELETE);
  ASSERT_EQ(forms::test::MessageBoxLog().size(), 1u);
  EXPECT_EQ(forms::test::MessageBoxLog()[0].Text, "Delete record?");
  EXPECT_EQ(data->GetRecordCount(), 301);
  forms::test::AnswerMessageBox(win::IDOK);
  Click(NBDI_DELETE);
  EXPECT_EQ(data->GetRecordCount(), 300);
  Click(NBDI_REFRESH);
  EXPECT_EQ(data->GetRecordCount(), 300);

  // Options the buttons depend on.
  grid->GetMultiRecordsOptionsData()->SetDeleting(false);
  grid->GetMultiRecordsOptionsData()->SetInserting(false);
  Pump();
  EXPECT_EQ(States().substr(6, 2), "..");
  // An inactive data controller leaves only Filter enabled.
  data->ActiveChanged(false);
  grid->RefreshNavigators();
  EXPECT_EQ(States(), "..............1");
  data->ActiveChanged(true);
  grid->RefreshNavigators();

  // A button hidden on purpose stays hidden when the bar is bound again;
  // RestoreButtons gives the choice back to the grid.
  navigator->GetButtons()->GetRefresh()->SetVisible(false);
  navigator->SetControl(nullptr);
  navigator->SetControl(grid);
  EXPECT_EQ(navigator->GetViewInfo()->GetButtonCount(), 14);
  navigator->RestoreButtons();
  Pump();
  EXPECT_EQ(navigator->GetViewInfo()->GetButtonCount(), 15);

  // The grid going away unbinds the bar.
  grid->Free();
  grid = nullptr;
  Pump();
  EXPECT_EQ(navigator->GetControl(), nullptr);
  EXPECT_EQ(States(), "...............");
}

// Cancel on the bar while a cell's editor is open cancels what the editor
// holds with the record: the editor shows no cancelled text, and a value
// typed afterwards is edited anew and posted by Enter, in either layout.
TEST_F(DataGrid, CancelFromTheBarTakesTheOpenEditorsTextWithIt) {
  TcxCustomDataController* data = grid->GetDataController();
  Integer record = 5;
  for (TcxvgLayoutStyle style : {lsSingleRecordView, lsMultiRecordView}) {
    SCOPED_TRACE(static_cast<int>(style));
    grid->SetLayoutStyle(style);
    grid->SetFocusedRecordIndex(record);
    grid->SetFocusedRow(fields.Name);
    Pump();
    const AnsiString kept = "Item " + IntToStr(record);
    win::test::KeyPress(win::VK_F2);
    win::test::KeyPress(win::VK_END);
    Type("zz");
    ASSERT_TRUE(grid->IsEditing());
    Click(NBDI_CANCEL);
    EXPECT_FALSE(data->GetIsEditing());
    EXPECT_EQ(Value(record, fields.Name), kept);
    auto* editor = dynamic_cast<TcxCustomTextEdit*>(grid->GetInplaceEditor());
    EXPECT_TRUE(!editor || editor->GetText() == kept) << "no cancelled text on show";

    Type("New name");
    win::test::KeyPress(win::VK_RETURN);
    Pump();
    data->Post();
    EXPECT_EQ(Value(record, fields.Name), "New name");
    ++record;
  }
}

// Records deleted in front of the record whose cell is being typed into
// move it up, as records inserted in front move it down, in either layout:
// what was typed stays with the record, whose edit goes on; Post keeps it
// and Cancel puts the record back as it was.
TEST_F(DataGrid, RecordsDeletedInFrontOfAnEditedCellKeepWhatWasTyped) {
  TcxCustomDataController* data = grid->GetDataController();
  for (TcxvgLayoutStyle style : {lsSingleRecordView, lsMultiRecordView}) {
    SCOPED_TRACE(static_cast<int>(style));
    grid->SetLayoutStyle(style);
    for (bool post : {true, false}) {
      SCOPED_TRACE(post ? "post" : "cancel");
      grid->SetFocusedRecordIndex(5);
      grid->SetFocusedRow(fields.Name);
      Pump();
      const AnsiString before = Value(5, fields.Name);
      const AnsiString inFront = Value(4, fields.Name);
      win::test::KeyPress(win::VK_F2);
      win::test::KeyPress(win::VK_END);
      Type("zz");
      ASSERT_TRUE(grid->IsEditing());

      data->DeleteRecord(2);
      Pump();
      EXPECT_TRUE(data->GetIsEditing());
      EXPECT_EQ(data->GetEditingRecordIndex(), 4);
      EXPECT_EQ(Focused(), 4);
      EXPECT_EQ(Value(4, fields.Name), before + "zz");
      data->InsertRecord(0);
      data->DeleteRecord(1);
      data->DeleteRecord(0);
      Pump();
      EXPECT_TRUE(data->GetIsEditing());
      EXPECT_EQ(data->GetEditingRecordIndex(), 3);
      EXPECT_EQ(Focused(), 3);
      EXPECT_EQ(Value(3, fields.Name), before + "zz");

      if (post)
        data->Post();
      else
        data->Cancel();
      EXPECT_FALSE(data->GetIsEditing());
      EXPECT_EQ(Value(3, fields.Name), post ? before + "zz" : before);
      EXPECT_EQ(Value(2, fields.Name), inFront) << "the record in front keeps its own value";
    }
  }
}

// In the multi-record layout the page buttons move by the record columns
// the grid shows; the focused record change is told with both indexes.
TEST_F(DataGrid, PagesMoveByTheRecordColumnsOnShow) {
  std::vector<std::pair<Integer, Integer>> moves;
  grid->OnFocusedRecordChanged = [&](TObject*, Integer APrev, Integer ANew) { moves.emplace_back(APrev, ANew); };
  grid->SetLayoutStyle(lsMultiRecordView);
  grid->GetOptionsView()->SetRowHeaderWidth(100);
  grid->GetOptionsView()->SetValueWidth(90);
  Pump();
  const Integer columns = grid->GetVGController()->GetScroller()->GetVisibleValueCount();
  ASSERT_GE(columns, 3);
  Click(NBDI_NEXTPAGE);
  EXPECT_EQ(Focused(), columns);
  Click(NBDI_NEXTPAGE);
  Click(NBDI_PRIORPAGE);
  EXPECT_EQ(Focused(), columns);
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves.front(), std::make_pair(0, columns));
  EXPECT_FALSE(grid->GetCellAutoHeight()) << "never in the multi-record layout";
  EXPECT_TRUE(grid->CanBandSizing());
  grid->SetLayoutStyle(lsSingleRecordView);
  EXPECT_FALSE(grid->CanBandSizing());
}

// A filter leaves the multi-record layout the records that pass and no
// more: no column stands for a record past the last one, a click where
// such a column stood changes nothing, and the page buttons step by the
// columns those records fill.
TEST_F(DataGrid, AFilteredMultiRecordLayoutShowsOnlyTheRecordsThatPass) {
  grid->SetLayoutStyle(lsMultiRecordView);
  grid->GetOptionsView()->SetRowHeaderWidth(100);
  grid->GetOptionsView()->SetValueWidth(90);
  Pump();
  Click(NBDI_LAST);
  TcxCustomDataController* data = grid->GetDataController();
  auto filterCountsBelow = [&](Integer ALimit) {
    data->GetFilter()->Clear();
    data->GetFilter()->AddItem(fields.Count->GetProperties()->GetEditContainer(), foLess, Variant(ALimit),
                               IntToStr(ALimit));
    data->GetFilter()->SetActive(true);
    Pump();
  };
  auto shownRecords = [&] {
    std::string text;
    TcxValueInfoList* cells = grid->GetVGViewInfo()->GetRowViewInfo(fields.Count)->GetValuesInfo();
    for (Integer i = 0; i < cells->GetCount(); ++i) text += (i ? " " : "") + std::to_string(cells->GetItem(i)->RecordIndex);
    return text;
  };
  TcxvgScroller* scroller = grid->GetVGController()->GetScroller();
  filterCountsBelow(30);
  ASSERT_EQ(data->GetRowCount(), 10);
  Click(NBDI_LAST);
  EXPECT_EQ(Focused(), 9);
  EXPECT_EQ(shownRecords(), "7 8 9");
  const TRect last = grid->GetVGViewInfo()->GetRowViewInfo(fields.Count)->GetValuesInfo()->Find(9, 0)->ClipRect;
  TcxvgCustomViewInfo* viewInfo = grid->GetVGViewInfo();
  EXPECT_LE(viewInfo->Bounds.Left + viewInfo->ViewBandWidth, last.Right + 1) << "the band ends with the last record";
  win::test::Click(grid->GetHandle(), TPoint(last.Right + 8, cxRectCenter(last).Y));
  Pump();
  EXPECT_EQ(Focused(), 9);
  EXPECT_FALSE(grid->IsEditing());

  // Two records pass where four columns would fit.
  filterCountsBelow(6);
  ASSERT_EQ(data->GetRowCount(), 2);
  EXPECT_EQ(scroller->GetVisibleValueCount(), 2);
  EXPECT_EQ(shownRecords(), "0 1");
  Click(NBDI_FIRST);
  Click(NBDI_NEXTPAGE);
  EXPECT_EQ(Focused(), 1);

  // None passes: the one empty column of a grid without records.
  filterCountsBelow(0);
  ASSERT_EQ(data->GetRowCount(), 0);
  EXPECT_EQ(shownRecords(), "-1");
}

// Half a million records of wide values side by side: the band still
// ends at the client's edge, and the last record is reached and shown in
// the one column that fits.
TEST_F(DataGrid, ManyWideRecordsFillTheClientAndNoMore) {
  grid->SetLayoutStyle(lsMultiRecordView);
  grid->GetOptionsView()->SetValueWidth(5000);
  grid->GetDataController()->SetRecordCount(500000);
  Pump();
  TcxvgCustomViewInfo* viewInfo = grid->GetVGViewInfo();
  EXPECT_EQ(viewInfo->ViewBandWidth, cxRectWidth(viewInfo->Bounds));
  EXPECT_EQ(grid->GetVGController()->GetScroller()->GetVisibleValueCount(), 1);
  Click(NBDI_LAST);
  EXPECT_EQ(Focused(), 499999);
  TcxValueInfoList* values = viewInfo->GetRowViewInfo(fields.Count)->GetValuesInfo();
  ASSERT_EQ(values->GetCount(), 1);
  EXPECT_EQ(values->GetItem(0)->RecordIndex, 499999);
  EXPECT_LT(values->GetItem(0)->DisplayRect.Left, viewInfo->Bounds.Right);
}

// A text kind that cannot filter (no kind of the library is one).
class TNoFilterProperties : public TcxTextEditProperties {
  ORV_CLASS(TNoFilterProperties, TcxTextEditProperties)
 public:
  using TcxTextEditProperties::TcxTextEditProperties;
  TcxEditSupportedOperations GetSupportedOperations() const override {
    TcxEditSupportedOperations result = TcxTextEditProperties::GetSupportedOperations();
    result.Exclude(esoFiltering);
    return result;
  }
};

}  // namespace

ORV_REGISTER(TNoFilterProperties)

namespace {

// The filterable cells in flat order, the filter dialog from the Filter
// button applying through the grid, the dialog reopened showing the
// grid's filter, and a filter file saved from one grid loaded into a new
// grid built the same way (as after a restart).
TEST_F(DataGrid, FilteringThroughTheDialogAndAFilterFile) {
  TempDir dir;
  const std::string file = dir / "counts.flt";
  fields.Name->GetProperties()->GetOptions()->SetFiltering(false);
  fields.Ratio->GetProperties()->SetEditPropertiesClass(TNoFilterProperties::StaticClass());
  auto* pair = static_cast<TcxMultiEditorRow*>(grid->Add(TcxMultiEditorRow::StaticClass()));
  pair->SetIndex(0);
  TcxEditorRowItemProperties* hidden = pair->GetProperties()->GetEditors()->Add();
  hidden->SetCaption("Hidden");
  hidden->GetOptions()->SetFiltering(false);
  pair->GetProperties()->GetEditors()->Add()->SetCaption("Second");
  ASSERT_EQ(grid->GetFilterCount(), 4);
  EXPECT_EQ(grid->GetFilterCaption(0), "Second") << "the second editor of a row can be the first element";
  EXPECT_EQ(grid->GetFilterCaption(1), "Count");
  EXPECT_EQ(grid->GetFilterCaption(2), "Date");
  EXPECT_EQ(grid->GetFilterCaption(3), "Done");
  EXPECT_EQ(grid->GetFilterCaption(4), "");
  EXPECT_EQ(grid->GetFilterItemLink(4), nullptr);
  EXPECT_EQ(grid->GetFilterFieldName(1), "");
  EXPECT_EQ(grid->GetFilterItemLink(1), fields.Count->GetProperties()->GetEditContainer());
  EXPECT_EQ(grid->GetFilterValueType(1), TcxIntegerValueType::Class());

  auto dialog = [] { return dynamic_cast<TfmFilterControlDialog*>(Screen->GetActiveForm()); };
  auto click = [](TWinControl* AControl) {
    win::test::Click(AControl->GetHandle(), TPoint(AControl->GetWidth() / 2, AControl->GetHeight() / 2));
    Pump();
  };
  Integer shows = 0;
  grid->OnFilterControlDialogShow = [&](TObject*) { ++shows; };
  // Count = 42 through the dialog, saved to a file, applied with OK.
  win::test::OnNextModalLoop([&] {
    TfmFilterControlDialog* form = dialog();
    ASSERT_NE(form, nullptr);
    TcxFilterControl* builder = form->GetFilterControl();
    builder->AddCondition(nullptr);
    auto* condition = static_cast<cxfc::TcxConditionViewInfo*>(builder->GetFocusedRow());
    condition->SetItem(1);
    condition->GetValues()->GetValue(0)->Value = Variant(42);
    condition->GetValues()->GetValue(0)->ValueText = "42";
    forms::test::AnswerFileDialog(file);
    click(form->btSave);
    click(form->btOk);
  });
  Click(NBDI_FILTER);
  EXPECT_EQ(shows, 1);
  TcxCustomDataController* data = grid->GetDataController();
  ASSERT_EQ(data->GetFilteredRecordCount(), 1);
  EXPECT_EQ(Value(data->GetFilteredRecordIndex(0), fields.Name), "Item 14");
  EXPECT_TRUE(data->GetFilter()->GetActive());

  // Reopened, the dialog shows the grid's filter.
  std::string shown;
  win::test::OnNextModalLoop([&] {
    TcxFilterControl* builder = dialog()->GetFilterControl();
    ASSERT_EQ(builder->GetRowCount(), 2);
    auto* condition = static_cast<cxfc::TcxConditionViewInfo*>(builder->GetRow(1));
    shown = condition->ItemText + " " + std::to_string(condition->GetItemIndex()) + " " +
            VarToStr(condition->GetValues()->GetValue(0)->Value);
    click(dialog()->btCancel);
  });
  Click(NBDI_FILTER);
  EXPECT_EQ(shown, "Count 1 42");

  // A new grid built the same way loads the file and filters the same
  // record.
  auto* again = New<TcxVirtualVerticalGrid>(form);
  again->SetParent(form);
  again->SetBoundsRect({420, 8, 520, 100});
  const vgrid_data::Fields same = vgrid_data::FillGrid(again, 300);
  same.Name->GetProperties()->GetOptions()->SetFiltering(false);
  same.Ratio->GetProperties()->SetEditPropertiesClass(TNoFilterProperties::StaticClass());
  auto* pair2 = static_cast<TcxMultiEditorRow*>(again->Add(TcxMultiEditorRow::StaticClass()));
  pair2->SetIndex(0);
  pair2->GetProperties()->GetEditors()->Add()->GetOptions()->SetFiltering(false);
  pair2->GetProperties()->GetEditors()->Add()->SetCaption("Second");
  win::test::OnNextModalLoop([&] {
    forms::test::AnswerFileDialog(file);
    click(dialog()->btOpen);
    click(dialog()->btOk);
  });
  again->DoFilterDialog();
  Pump();
  TcxCustomDataController* second = again->GetDataController();
  ASSERT_EQ(second->GetFilteredRecordCount(), 1);
  EXPECT_EQ(VarToStr(second->GetValue(second->GetFilteredRecordIndex(0), same.Name->GetProperties()->GetItemIndex())),
            "Item 14");
}

// The filterable cells as the filter builder asks for them, one index at a
// time, after each change to the rows between two lookups: the list read
// next is the grid as it is then, locked for an update or not.
TEST_F(DataGrid, TheFilterElementsFollowTheRowsBetweenLookups) {
  auto captions = [this] {
    std::vector<std::string> text;
    for (Integer i = 0; i < grid->GetFilterCount(); ++i) text.push_back(grid->GetFilterCaption(i).c_str());
    return text;
  };
  using Captions = std::vector<std::string>;
  ASSERT_EQ(captions(), (Captions{"Name", "Count", "Ratio", "Date", "Done"}));

  fields.Count->GetProperties()->SetCaption("Amount");
  EXPECT_EQ(captions(), (Captions{"Name", "Amount", "Ratio", "Date", "Done"}));

  TcxEditorRow* extra = vgrid_data::AddField(grid, fields.Name->GetParent(), "Extra", TcxStringValueType::Class(),
                                             TcxTextEditProperties::StaticClass());
  EXPECT_EQ(captions(), (Captions{"Name", "Amount", "Ratio", "Extra", "Date", "Done"}));
  EXPECT_EQ(grid->GetFilterItemLink(3), extra->GetProperties()->GetEditContainer());
  EXPECT_EQ(grid->GetFilterProperties(3), extra->GetProperties()->GetEditContainer()->GetPropertiesValue());

  fields.Ratio->GetProperties()->GetOptions()->SetFiltering(false);
  EXPECT_EQ(captions(), (Captions{"Name", "Amount", "Extra", "Date", "Done"}));
  fields.Name->GetProperties()->SetEditPropertiesClass(TNoFilterProperties::StaticClass());
  EXPECT_EQ(captions(), (Captions{"Amount", "Extra", "Date", "Done"}));
  auto* pair = static_cast<TcxMultiEditorRow*>(grid->Add(TcxMultiEditorRow::StaticClass()));
  TcxEditorPropertiesCollection* editors = pair->GetProperties()->GetEditors();
  editors->Add()->SetCaption("Left");
  editors->Add()->SetCaption("Right");
  EXPECT_EQ(captions(), (Captions{"Amount", "Extra", "Date", "Done", "Left", "Right"}));

  // Inside an update the grid lays nothing out; the list still follows.
  grid->BeginUpdate();
  extra->SetIndex(0);
  EXPECT_EQ(captions(), (Captions{"Extra", "Amount", "Date", "Done", "Left", "Right"}));
  editors->GetItem(1)->SetIndex(0);
  EXPECT_EQ(captions(), (Captions{"Extra", "Amount", "Date", "Done", "Right", "Left"}));
  fields.Date->SetVisible(false);
  EXPECT_EQ(captions(), (Captions{"Extra", "Amount", "Date", "Done", "Right", "Left"}))
      << "a hidden row can still be filtered on";
  extra->Free();
  EXPECT_EQ(captions(), (Captions{"Amount", "Date", "Done", "Right", "Left"}));
  grid->EndUpdate();
  EXPECT_EQ(grid->GetFilterItemLink(0), fields.Count->GetProperties()->GetEditContainer());
}

// A data-bound grid without records: its cells show no editor, so
// nothing typed there reaches a record that is not there.
class EmptyDataGrid : public vgrid_test::Session {};

TEST_F(EmptyDataGrid, ACellOpensNoEditorAndKeysTypedThereDoNothing) {
  auto* grid = New<TcxVirtualVerticalGrid>(form);
  grid->SetParent(form);
  grid->SetBoundsRect({8, 8, 308, 208});
  TcxEditorRow* name =
      vgrid_data::AddField(grid, nullptr, "Name", TcxStringValueType::Class(), TcxTextEditProperties::StaticClass());
  form->Show();
  Pump();
  grid->SetFocus();
  grid->SetFocusedRow(name);
  Pump();
  ASSERT_EQ(grid->GetFocusedRow(), name);
  win::test::KeyPress(win::VK_F2);
  Pump();
  Type("q");
  grid->ShowEdit();
  Pump();
  EXPECT_FALSE(grid->GetController()->GetIsEditing());
  EXPECT_EQ(forms::test::RecordedExceptions(), std::vector<AnsiString>{});
  EXPECT_EQ(grid->GetDataController()->GetRecordCount(), 0);
  EXPECT_TRUE(VarIsNull(name->GetProperties()->GetValue()) || VarIsEmpty(name->GetProperties()->GetValue()));
}

class DataGridSnapshots : public grid_pixels::ThemeInstalled, public DataGrid {
 protected:
  void TearDown() override {
    DataGrid::TearDown();
    win::test::ResetThemeModule();
  }
};

// The multi-record and bands layouts with their navigator, in every look.
TEST_F(DataGridSnapshots, MultiRecordAndBandsWithNavigator) {
  std::filesystem::create_directories("snapshots");
  grid->GetOptionsView()->SetRowHeaderWidth(80);
  grid->GetOptionsView()->SetValueWidth(100);
  grid->FullExpand();
  for (const grid_pixels::Look& look : grid_pixels::kLooks) {
    SCOPED_TRACE(look.Name);
    for (TcxLookAndFeel* lf : {grid->GetLookAndFeel(), navigator->GetLookAndFeel()}) {
      lf->SetKind(look.Kind);
      lf->SetNativeStyle(look.Native);
    }
    grid->SetLayoutStyle(lsMultiRecordView);
    grid->GetMultiRecordsOptionsView()->SetRecordsInterval(4);
    grid->SetFocusedRecordIndex(1);
    Pump();
    EXPECT_TRUE(vgrid_test::Snapshot(form, std::string("datagrid-") + look.Name + "-multirecord", true));
    // The record frames stand where the columns are after a pass that
    // only moved the focus: no frame line crosses the first value cell.
    const TRect cell = grid->GetVGViewInfo()->GetRowViewInfo(fields.Ratio)->GetValuesInfo()->Find(0, 0)->DisplayRect;
    for (Integer x = cell.Left + 14; x < cell.Right - 2; ++x)
      EXPECT_EQ(vgrid_test::PixelAt(grid, {x, (cell.Top + cell.Bottom) / 2}), ColorToRGB(clWindow)) << x;
    grid->SetLayoutStyle(lsBandsView);
    grid->GetOptionsView()->SetAutoScaleBands(false);
    grid->SetHeight(120);
    Pump();
    EXPECT_TRUE(vgrid_test::Snapshot(form, std::string("datagrid-") + look.Name + "-bands", true));
    grid->SetHeight(200);
  }
}

}  // namespace
