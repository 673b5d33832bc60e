// A headless session with the grid's units started and a form on which the
// vertical grid stories build their grids. TTestVerticalGrid counts what
// reaches the grid from its rows (RowsChanged) and its layout passes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/grid/GridStartup.h"
#include "library/grid/cxVGrid.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/rtl/ObjectText.h"
#include "platform/win/TestHooks.h"

class TTestVerticalGrid : public TcxVerticalGrid {
  ORV_CLASS(TTestVerticalGrid, TcxVerticalGrid)
 public:
  explicit TTestVerticalGrid(TComponent* AOwner) : TcxVerticalGrid(AOwner) {}
  Integer RowsChangedCount = 0;
  Integer LayoutCount = 0;
  void RowsChanged() override {
    ++RowsChangedCount;
    inherited::RowsChanged();
  }
  void DoLayoutChanged() override {
    ++LayoutCount;
    inherited::DoLayoutChanged();
  }
};

inline ORV_REGISTER(TTestVerticalGrid)

namespace vgrid_test {

struct GridUnitsListed {
  GridUnitsListed() { RegisterGridUnits(); }
};

class Session : public ::testing::Test, public GridUnitsListed {
 protected:
  forms::test::Session session;
  TForm* form = nullptr;

  void SetUp() override {
    RegisterClass(TTestVerticalGrid::StaticClass());
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 500, 400});
  }
  void TearDown() override {
    if (form) form->Free();
    Pump();
  }

  // A grid on the form, shown and focused when asked.
  TTestVerticalGrid* NewGrid(bool AShow = true) {
    auto* grid = New<TTestVerticalGrid>(form);
    grid->SetParent(form);
    if (AShow) {
      form->Show();
      Pump();
      grid->SetFocus();
      Pump();
    }
    return grid;
  }

  // An editor row under AParent (none: the top level) holding a value.
  static TcxEditorRow* AddValueRow(TcxCustomVerticalGrid* AGrid, TcxCustomRow* AParent, const AnsiString& ACaption,
                                   TcxValueTypeClass AType, const Variant& AValue) {
    auto* row = static_cast<TcxEditorRow*>(AGrid->AddChild(AParent, TcxEditorRow::StaticClass()));
    row->GetProperties()->SetCaption(ACaption);
    row->GetProperties()->GetDataBinding()->SetValueTypeClass(AType);
    row->GetProperties()->SetEditPropertiesClass(TcxTextEditProperties::StaticClass());
    row->GetProperties()->SetValue(AValue);
    return row;
  }
  static TcxCategoryRow* AddCategory(TcxCustomVerticalGrid* AGrid, TcxCustomRow* AParent, const AnsiString& ACaption) {
    auto* row = static_cast<TcxCategoryRow*>(AGrid->AddChild(AParent, TcxCategoryRow::StaticClass()));
    row->GetProperties()->SetCaption(ACaption);
    return row;
  }

  // The captions of the rows in flat order, each indented by its level.
  static std::string Outline(TcxCustomVerticalGrid* AGrid) {
    std::string text;
    for (Integer i = 0; i < AGrid->GetRows()->GetCount(); ++i) {
      TcxCustomRow* row = AGrid->GetRows()->GetRow(i);
      AnsiString caption;
      if (auto* properties = dynamic_cast<TcxCaptionRowProperties*>(row->GetRowProperties()))
        caption = properties->GetCaption();
      if (auto* multi = dynamic_cast<TcxMultiEditorRowProperties*>(row->GetRowProperties()))
        for (Integer j = 0; j < multi->GetEditors()->GetCount(); ++j)
          caption += (j ? "|" : "") + multi->GetEditors()->GetItem(j)->GetCaption();
      text += std::string(static_cast<size_t>(2 * row->GetLevel()), ' ') + caption +
              (row->GetVisible() ? "" : " (hidden)") + (row->GetExpanded() ? "" : " (collapsed)") + "\n";
    }
    return text;
  }

  // The count of live objects once the session's shared objects (the
  // screen canvas, the default editors of the value types, the editor
  // pool's first editors) exist: a grid that was built, edited and freed
  // leaves none of its own behind.
  Int64 Baseline() {
    auto* grid = NewGrid();
    TcxCategoryRow* category = AddCategory(grid, nullptr, "Warm");
    for (TcxValueTypeClass type : {TcxStringValueType::Class(), TcxIntegerValueType::Class(),
                                   TcxFloatValueType::Class(), TcxBooleanValueType::Class()}) {
      TcxEditorRow* row = AddValueRow(grid, category, "Warm", type, Variant(1));
      grid->SetFocusedRow(row);
      grid->ShowEdit();
      grid->HideEdit();
    }
    grid->Free();
    Pump();
    return TObject::LiveCount();
  }

  // The unbound grid's one record is there and focused.
  static bool RecordFocused(TcxCustomVerticalGrid* AGrid) {
    TcxCustomDataController* data = AGrid->GetDataController();
    return data->GetRecordCount() == 1 && data->GetRowCount() == 1 && data->GetFocusedRowIndex() == 0;
  }

  static void Pump() { win::test::PumpUntilIdle(); }
  static void Type(const std::string& text) {
    win::test::TypeText(text);
    Pump();
  }
};

}  // namespace vgrid_test
