// A headless session with the grid's units started and a form on which the
// vertical grid stories build their grids. TTestVerticalGrid counts what
// reaches the grid from its rows (RowsChanged) and its layout passes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/editors/cxCheckBox.h"
#include "library/editors/cxRadioGroup.h"
#include "library/editors/cxSpinEdit.h"
#include "library/grid/GridStartup.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "WindowPixels.h"
#include "platform/rtl/NumberText.h"
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

// One editor row as the window sets it up: edit properties first, then the
// value type, the kind's settings, the value and the settings after it.
inline TcxEditorRow* AddParameter(TcxCustomVerticalGrid* AGrid, TcxCustomRow* ACategory, const AnsiString& ACaption,
                           TClass AEditProperties, TcxValueTypeClass AType, const Variant& AValue, NativeInt ATag) {
  auto* row = static_cast<TcxEditorRow*>(AGrid->AddChild(ACategory, TcxEditorRow::StaticClass()));
  row->SetTag(ATag);
  TcxEditorRowProperties* properties = row->GetProperties();
  properties->SetCaption(ACaption);
  properties->Hint = "Hint of " + ACaption;
  properties->SetEditPropertiesClass(AEditProperties);
  properties->GetDataBinding()->SetValueTypeClass(AType);
  TcxCustomEditProperties* kind = properties->GetEditProperties();
  auto* spin = dynamic_cast<TcxSpinEditProperties*>(kind);
  if (spin) {
    const bool decimal = AType == TcxFloatValueType::Class();
    spin->SetValueType(decimal ? vtFloat : vtInt);
    spin->SetMinValue(0);
    spin->SetMaxValue(decimal ? 9 : 4096);
  }
  if (auto* check = dynamic_cast<TcxCheckBoxProperties*>(kind)) {
    check->SetAllowGrayed(false);
    check->SetDisplayUnchecked(u"0");
    check->SetValueUnchecked(0);
    check->SetDisplayChecked(u"1");
    check->SetValueChecked(1);
  }
  // A short list: one radio button per item, valued from 0.
  if (auto* radio = dynamic_cast<TcxRadioGroupProperties*>(kind)) {
    Integer value = 0;
    for (const char* caption : {"Arid", "Temperate", "Cold"}) {
      TcxRadioGroupItem* item = radio->GetItems()->Add();
      item->SetCaption(caption);
      item->SetValue(Variant(value++));
    }
  }
  auto* combo = dynamic_cast<TcxComboBoxProperties*>(kind);
  if (combo) {
    combo->SetDropDownListStyle(lsFixedList);
    for (const char* item : {"Plains", "Hills", "Desert", "Swamp", "Tundra"}) combo->GetItems()->Add(item);
  }
  properties->SetValue(AValue);
  if (spin) {
    spin->SetIncrement(AType == TcxFloatValueType::Class() ? 0.1 : 1.0);
    spin->SetLargeIncrement(10 * spin->GetIncrement());
    spin->SetUseCtrlIncrement(true);
  }
  if (combo) properties->GetOptions()->SetShowEditButtons(eisbAlways);
  return row;
}


struct GridUnitsListed {
  GridUnitsListed() { RegisterGridUnits(); }
};

// The front end's value grid: three categories with the kinds of rows the
// window makes.
struct ValueRows {
  TcxCategoryRow* Ok = nullptr;
  TcxCategoryRow* Unused = nullptr;
  TcxCategoryRow* Unknown = nullptr;
  TcxEditorRow* Width = nullptr;
  TcxEditorRow* Ratio = nullptr;
  TcxEditorRow* Rivers = nullptr;
  TcxEditorRow* Climate = nullptr;
  TcxEditorRow* Biome = nullptr;
  TcxEditorRow* Seed = nullptr;
};

inline ValueRows AddValueRows(TcxCustomVerticalGrid* AGrid) {
  ValueRows rows;
  AGrid->BeginUpdate();
  auto category = [AGrid](const AnsiString& ACaption) {
    auto* row = static_cast<TcxCategoryRow*>(AGrid->Add(TcxCategoryRow::StaticClass()));
    row->GetProperties()->SetCaption(ACaption);
    return row;
  };
  rows.Ok = category("Ok Values");
  rows.Unused = category("Unused Values");
  rows.Unknown = category("Unknown Values");
  rows.Width = AddParameter(AGrid, rows.Ok, "Width", TcxSpinEditProperties::StaticClass(), TcxIntegerValueType::Class(),
                            Variant(640), 0);
  rows.Ratio = AddParameter(AGrid, rows.Ok, "Ratio", TcxSpinEditProperties::StaticClass(), TcxFloatValueType::Class(),
                            Variant("2.5"), 1);
  rows.Rivers = AddParameter(AGrid, rows.Ok, "Rivers", TcxCheckBoxProperties::StaticClass(),
                             TcxIntegerValueType::Class(), Variant(1), 2);
  rows.Climate = AddParameter(AGrid, rows.Unused, "Climate", TcxRadioGroupProperties::StaticClass(),
                              TcxIntegerValueType::Class(), Variant(1), 3);
  rows.Biome = AddParameter(AGrid, rows.Unused, "Biome", TcxComboBoxProperties::StaticClass(),
                            TcxStringValueType::Class(), Variant("Desert"), 4);
  rows.Seed = AddParameter(AGrid, rows.Unknown, "seed", TcxTextEditProperties::StaticClass(),
                           TcxStringValueType::Class(), Variant("12"), 0);
  AGrid->EndUpdate();
  return rows;
}

using grid_pixels::PixelAt;
using grid_pixels::Snapshot;

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
