// The filter dialog driven inside its modal loop: its caption, Save As and
// Open through the scripted file dialogs, Apply that leaves it open, OK
// that applies and closes, Cancel that keeps earlier applies, Escape that
// closes only a dropped list, and a second dialog where the first closed.
#include "library/grid/FilterControlSession.h"
#include "library/grid/WindowPixels.h"

#include "library/editors/core/cxComboBox.h"
#include "library/foundation/cxButtons.h"
#include "library/grid/filter/cxFilterControlDialog.h"
#include "platform/forms/Screen.h"
#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Blits.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/win/WindowDC.h"
#include "platform/rtl/OsEdge.h"
#include "support/TempDir.h"

using namespace grid_test;
using Names = std::vector<std::string>;

namespace {

class FilterDialog : public FilterSession {
 protected:
  TempDir dir;

  static TfmFilterControlDialog* Dialog() {
    return dynamic_cast<TfmFilterControlDialog*>(Screen->GetActiveForm());
  }
  static void ClickButton(TcxButton* AButton) {
    win::test::Click(AButton->GetHandle(), TPoint(AButton->GetWidth() / 2, AButton->GetHeight() / 2), 1);
    Pump();
  }
  static void SnapshotDialog(TfmFilterControlDialog* ADialog) {
    EXPECT_TRUE(grid_pixels::Snapshot(ADialog, "filter-dialog-standard-open", true));
  }
};

TEST_F(FilterDialog, ApplySaveOpenOkCancelEscapeAndWhereTheNextDialogOpens) {
  const std::string file = dir / "counts.flt";
  Names captions;
  bool result = true;
  // First dialog: a condition, Apply (stays open), Save As, Escape over
  // the dropped list closes only the list, then Cancel keeps the apply.
  win::test::OnNextModalLoop([&] {
    TfmFilterControlDialog* dialog = Dialog();
    ASSERT_NE(dialog, nullptr);
    captions.push_back(dialog->GetCaption());
    TcxFilterControl* builder = dialog->GetFilterControl();
    builder->AddCondition(nullptr);
    auto* condition = static_cast<cxfc::TcxConditionViewInfo*>(builder->GetFocusedRow());
    condition->SetItem(1);
    condition->GetValues()->GetValue(0)->Value = Variant(7);
    condition->GetValues()->GetValue(0)->ValueText = "7";
    ClickButton(dialog->btApply);
    EXPECT_TRUE(dialog->GetVisible());
    EXPECT_EQ(target->Visible(), (Names{"beta", "delta"}));

    forms::test::AnswerFileDialog(file);
    ClickButton(dialog->btSave);
    captions.push_back(dialog->GetCaption());
    ASSERT_FALSE(forms::test::FileDialogLog().empty());
    EXPECT_EQ(forms::test::FileDialogLog().back().Title, "Save the active filter to file");
    EXPECT_EQ(forms::test::FileDialogLog().back().FileName, "untitled.flt");
    EXPECT_EQ(forms::test::FileDialogLog().back().Filter, "Filters (*.flt)|*.flt");

    EXPECT_EQ(dialog->SaveDialog->GetFileName(), file) << "the next Save As proposes the saved name";
    Pump();
    SnapshotDialog(dialog);
    // Applying rebuilt the rows from the control.
    condition = static_cast<cxfc::TcxConditionViewInfo*>(builder->GetRow(1));
    builder->SetFocusedRow(condition);
    win::test::Click(builder->GetHandle(), cxRectCenter(condition->OperatorRect), 1);
    Pump();
    ASSERT_TRUE(builder->GetComboBox()->GetDroppedDown());
    Press(win::VK_ESCAPE);
    EXPECT_FALSE(builder->GetComboBox()->GetDroppedDown());
    EXPECT_TRUE(dialog->GetVisible()) << "only the list closed";
    dialog->SetBounds(40, 30, 600, 400);
    ClickButton(dialog->btCancel);
  });
  result = ExecuteFilterControlDialog(target);
  EXPECT_FALSE(result);
  EXPECT_EQ(target->Visible(), (Names{"beta", "delta"})) << "Cancel keeps what Apply did";
  EXPECT_EQ(captions, (Names{"Filter builder - [untitled.flt]", "Filter builder - [" + file + "]"}));

  // The filter is cleared on the control; the second dialog opens where
  // the first closed, with its size; Open reads the file, OK applies and
  // closes.
  target->GetFilterCriteria()->Clear();
  EXPECT_EQ(target->Visible().size(), 6u);
  TRect bounds;
  win::test::OnNextModalLoop([&] {
    TfmFilterControlDialog* dialog = Dialog();
    ASSERT_NE(dialog, nullptr);
    bounds = dialog->GetBoundsRect();
    // A file cut short: the error is shown, the rows and the title stay.
    TcxFilterControl* builder = dialog->GetFilterControl();
    const Names rows = Rows(builder);
    std::string whole;
    bool missing = false;
    ASSERT_TRUE(orv::os::ReadWholeFile(file, whole, missing));
    const std::string cut = dir / "cut.flt";
    ASSERT_TRUE(orv::os::WriteFileAtomically(cut, whole.substr(0, whole.size() - 3)));
    const size_t errors = forms::test::RecordedExceptions().size();
    forms::test::AnswerFileDialog(cut);
    ClickButton(dialog->btOpen);
    ASSERT_EQ(forms::test::RecordedExceptions().size(), errors + 1);
    EXPECT_NE(forms::test::RecordedExceptions().back().find("Stream read error"), std::string::npos);
    EXPECT_EQ(dialog->GetCaption(), "Filter builder - [untitled.flt]");
    EXPECT_EQ(Rows(builder), rows);
    forms::test::AnswerFileDialog(file);
    ClickButton(dialog->btOpen);
    captions.push_back(dialog->GetCaption());
    ClickButton(dialog->btOk);
  });
  result = ExecuteFilterControlDialog(target);
  EXPECT_TRUE(result);
  EXPECT_EQ(bounds, TRect(40, 30, 640, 430));
  EXPECT_EQ(captions.back(), "Filter builder - [" + file + "]");
  EXPECT_EQ(target->Visible(), (Names{"beta", "delta"}));
}

}  // namespace
