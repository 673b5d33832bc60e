// The grid program of docs/grid.md, compiled from the page by the build,
// run here headless: at its first idle moment the test reads the rows back,
// leaves grid-example.png for people to look at, steps the spin row's
// editor the way the page says (Ctrl+Up steps, Up and Down alone walk the
// rows) and closes the form.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

// The page's own headers first, so the renaming of its main below reaches
// nothing else.
#include "library/LibraryStartup.h"
#include "library/editors/cxCheckBox.h"
#include "library/editors/cxSpinEdit.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/UnitStartup.h"
#include "platform/win/Keyboard.h"
#include "platform/win/TestHooks.h"
#include "platform/x11/BackEndChoice.h"
#include "support/PageProgram.h"

#define main GridExampleMain
#include "grid_example.cpp"
#undef main

namespace {

struct Seen {
  bool shown = false;
  std::vector<AnsiString> rows;  // caption=value, categories by caption alone
  AnsiString summary;
  bool saved = false;
  AnsiString stepped;             // the spin's editor after Ctrl+Up
  AnsiString posted;              // the summary after Enter
  AnsiString focusedAfterDown;    // the row Down went to
  AnsiString widthAfterDown;
};

AnsiString RowText(TcxCustomRow* ARow) {
  if (auto* category = dynamic_cast<TcxCategoryRow*>(ARow)) return category->GetProperties()->GetCaption();
  auto* properties = static_cast<TcxEditorRow*>(ARow)->GetProperties();
  return properties->GetCaption() + "=" + VarToStr(properties->GetValue());
}

TcxEditorRow* RowCaptioned(TcxVerticalGrid* AGrid, const AnsiString& ACaption) {
  for (Integer i = 0; i < AGrid->GetRows()->GetCount(); ++i)
    if (auto* row = dynamic_cast<TcxEditorRow*>(AGrid->GetRows()->GetRow(i)))
      if (row->GetProperties()->GetCaption() == ACaption) return row;
  return nullptr;
}

Seen LookAndStep(TCustomForm* form) {
  Seen seen;
  seen.shown = form && form->GetVisible() && form->HandleAllocated();
  auto* grid = form ? page_program::Find<TcxVerticalGrid>(form, "TerrainGrid") : nullptr;
  auto* summary = form ? page_program::Find<TLabel>(form, "Summary") : nullptr;
  if (!grid || !summary) return seen;
  for (Integer i = 0; i < grid->GetRows()->GetCount(); ++i) seen.rows.push_back(RowText(grid->GetRows()->GetRow(i)));
  seen.summary = summary->GetCaption();
  seen.saved = page_program::SaveSnapshot(form, "grid-example.png");

  win::test::KeyPress(win::VK_F2);  // opens the focused row's editor
  Application->ProcessMessages();
  win::test::KeyDown(win::VK_CONTROL);
  win::test::KeyPress(win::VK_UP);
  win::test::KeyUp(win::VK_CONTROL);
  Application->ProcessMessages();
  if (grid->IsEditing()) seen.stepped = VarToStr(grid->GetInplaceEditor()->GetEditingValue());
  win::test::KeyPress(win::VK_RETURN);
  Application->ProcessMessages();
  seen.posted = summary->GetCaption();
  win::test::KeyPress(win::VK_DOWN);
  Application->ProcessMessages();
  if (auto* focused = dynamic_cast<TcxEditorRow*>(grid->GetFocusedRow()))
    seen.focusedAfterDown = focused->GetProperties()->GetCaption();
  seen.widthAfterDown = VarToStr(RowCaptioned(grid, "Map width")->GetProperties()->GetValue());
  return seen;
}

}  // namespace

TEST(GridExample, ThePageProgramShowsItsRowsAndTheSpinRowStepsWithCtrl) {
  setenv("ORVANTA_BACKEND", "headless", 1);
  Seen seen;
  page_program::LookAtFirstIdle([&](TCustomForm* form) { seen = LookAndStep(form); });
  EXPECT_EQ(GridExampleMain(), 0);

  EXPECT_TRUE(seen.shown);
  EXPECT_EQ(seen.rows, (std::vector<AnsiString>{"Terrain", "Map width=512", "Rivers=True", "Map name=Lowlands"}));
  EXPECT_EQ(seen.summary, "Lowlands, 512 wide, with rivers");
  EXPECT_TRUE(seen.saved);
  EXPECT_EQ(seen.stepped, "528") << "Ctrl+Up stepped the spin row's editor one increment up";
  EXPECT_EQ(seen.posted, "Lowlands, 528 wide, with rivers") << "Enter posted it";
  EXPECT_EQ(seen.focusedAfterDown, "Rivers") << "Down alone walks to the next row";
  EXPECT_EQ(seen.widthAfterDown, "528") << "and steps nothing";
  EXPECT_TRUE(StartedUnits().empty());
}
