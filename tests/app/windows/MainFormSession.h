// The main window on the headless back end, in a temporary copy of the
// examples made the current directory, with the program's units started
// as the entry code starts them. Message boxes and the save dialog answer
// from the test hooks' scripts; the poll timer runs on the fake clock.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Examples.h"
#include "app/Orvanta.h"
#include "app/Tarvikui.h"
#include "platform/forms/Application.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/TestHooks.h"
#include "support/TempDir.h"

namespace app_test {

struct OrvantaUnitsListed {
  OrvantaUnitsListed() { RegisterOrvantaUnits(); }
};

class MainFormSession : public ::testing::Test, public OrvantaUnitsListed {
 protected:
  TempDir tmp;
  forms::test::Session session;
  std::unique_ptr<CurrentDirGuard> cd;
  TMainForm* form = nullptr;

  void TearDown() override {
    if (form) form->Free();
    Pump();
    cd.reset();
  }

  void CopyExamples() { app_test::CopyExamples(tmp); }

  // Makes the folder current, creates the window as the entry code does
  // and shows it.
  void Start() {
    cd = std::make_unique<CurrentDirGuard>(tmp.Path());
    form = New<TMainForm>(Application);
    form->Show();
    Pump();
  }

  // Clicks a file row as the grid reports it: the row takes the focus,
  // then the grid's click reaches the window.
  void PickFile(const std::string& relative) {
    TcxCustomRow* row = FileRow(relative);
    ASSERT_NE(row, nullptr) << relative;
    form->cxVGTerrainFiles->SetFocusedRow(row);
    form->cxVGTerrainFilesClick(form->cxVGTerrainFiles);
    Pump();
  }
  TcxEditorRow* FileRow(const std::string& relative) {
    TcxVerticalGridRows* rows = form->cxVGTerrainFiles->GetRows();
    for (Integer i = 0; i < rows->GetCount(); ++i)
      if (auto* row = dynamic_cast<TcxEditorRow*>(rows->GetRow(i)))
        if (row->GetProperties()->Hint == tmp / relative) return row;
    return nullptr;
  }
  // The value row captioned so, in any category.
  TcxEditorRow* ValueRow(const std::string& caption) {
    TcxVerticalGridRows* rows = form->cxVGTerrainValues->GetRows();
    for (Integer i = 0; i < rows->GetCount(); ++i)
      if (auto* row = dynamic_cast<TcxEditorRow*>(rows->GetRow(i)))
        if (row->GetProperties()->GetCaption() == caption) return row;
    return nullptr;
  }
  // The captions of the value grid's rows under their categories.
  std::string ValueOutline() {
    std::string text;
    TcxVerticalGridRows* rows = form->cxVGTerrainValues->GetRows();
    for (Integer i = 0; i < rows->GetCount(); ++i) {
      TcxCustomRow* row = rows->GetRow(i);
      if (!row->GetVisible()) continue;
      if (auto* editor = dynamic_cast<TcxEditorRow*>(row))
        text += "  " + editor->GetProperties()->GetCaption() + " = " + VarToStr(editor->GetProperties()->GetValue()) +
                "\n";
      else
        text += static_cast<TcxCategoryRow*>(row)->GetProperties()->GetCaption() + "\n";
    }
    return text;
  }

  // Types into a value row's editor the way a user does: focus the cell,
  // the editor opens, the keys go to it. The editor stays open.
  void TypeInto(const std::string& caption, const std::string& text) {
    TcxEditorRow* row = ValueRow(caption);
    ASSERT_NE(row, nullptr) << caption;
    form->cxVGTerrainValues->SetFocus();
    form->cxVGTerrainValues->SetFocusedRow(row);
    form->cxVGTerrainValues->ShowEdit();
    ASSERT_TRUE(form->cxVGTerrainValues->IsEditing());
    win::test::KeyPress(win::VK_END);
    for (int i = 0; i < 12; ++i) win::test::KeyPress(win::VK_BACK);
    win::test::TypeText(text);
    Pump();
  }

  // The enabled buttons, in tab order.
  std::string EnabledButtons() {
    std::string text;
    for (TcxButton* button : {form->RunBatchButton, form->SaveValuesButton, form->RunCurrentValuesButton,
                              form->ParameterHelpButton, form->SaveAsButton, form->DefaultsButton,
                              form->ClearLogButton, form->AboutButton})
      if (button->GetEnabled()) text += (text.empty() ? "" : ", ") + button->GetCaption();
    return text;
  }

  std::vector<std::string> Log() { return LogLines(form->LogWindow->GetHandle()); }

  std::vector<std::string> Boxes() {
    std::vector<std::string> boxes;
    for (const forms::test::MessageBoxCall& call : forms::test::MessageBoxLog())
      boxes.push_back(call.Caption + ": " + call.Text);
    return boxes;
  }

  static void Pump() { win::test::PumpUntilIdle(); }
};

}  // namespace app_test
