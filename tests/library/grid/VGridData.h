// A data-bound grid's records filled from outside: five typed fields
// under two categories.
#pragma once

#include "library/editors/core/cxTextEdit.h"
#include "library/editors/cxCheckBox.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "platform/rtl/NumberText.h"

namespace vgrid_data {

struct Fields {
  TcxEditorRow* Name = nullptr;
  TcxEditorRow* Count = nullptr;
  TcxEditorRow* Ratio = nullptr;
  TcxEditorRow* Date = nullptr;
  TcxEditorRow* Done = nullptr;
};

inline TcxEditorRow* AddField(TcxVirtualVerticalGrid* AGrid, TcxCustomRow* AParent, const AnsiString& ACaption,
                              TcxValueTypeClass AType, TClass AProperties) {
  auto* row = static_cast<TcxEditorRow*>(AGrid->AddChild(AParent, TcxEditorRow::StaticClass()));
  row->GetProperties()->SetCaption(ACaption);
  row->GetProperties()->GetDataBinding()->SetValueTypeClass(AType);
  row->GetProperties()->SetEditPropertiesClass(AProperties);
  return row;
}

// Five typed fields under two categories, and ARecords records filled from
// outside: "Item n", n * 3, n / 4, a day per record, every third done.
inline Fields FillGrid(TcxVirtualVerticalGrid* AGrid, Integer ARecords) {
  Fields f;
  AGrid->BeginUpdate();
  auto* general = static_cast<TcxCategoryRow*>(AGrid->Add(TcxCategoryRow::StaticClass()));
  general->GetProperties()->SetCaption("General");
  f.Name = AddField(AGrid, general, "Name", TcxStringValueType::Class(), TcxTextEditProperties::StaticClass());
  f.Count = AddField(AGrid, general, "Count", TcxIntegerValueType::Class(), TcxTextEditProperties::StaticClass());
  f.Ratio = AddField(AGrid, general, "Ratio", TcxFloatValueType::Class(), TcxTextEditProperties::StaticClass());
  auto* state = static_cast<TcxCategoryRow*>(AGrid->Add(TcxCategoryRow::StaticClass()));
  state->GetProperties()->SetCaption("State");
  f.Date = AddField(AGrid, state, "Date", TcxDateTimeValueType::Class(), TcxTextEditProperties::StaticClass());
  f.Done = AddField(AGrid, state, "Done", TcxBooleanValueType::Class(), TcxCheckBoxProperties::StaticClass());
  AGrid->EndUpdate();
  TcxCustomDataController* data = AGrid->GetDataController();
  data->BeginUpdate();
  data->SetRecordCount(ARecords);
  for (Integer r = 0; r < ARecords; ++r) {
    data->SetValue(r, f.Name->GetProperties()->GetItemIndex(), Variant("Item " + IntToStr(r)));
    data->SetValue(r, f.Count->GetProperties()->GetItemIndex(), Variant(r * 3));
    data->SetValue(r, f.Ratio->GetProperties()->GetItemIndex(), Variant(r / 4.0));
    data->SetValue(r, f.Date->GetProperties()->GetItemIndex(), Variant(TDateTime(46000.0 + r)));
    data->SetValue(r, f.Done->GetProperties()->GetItemIndex(), Variant(r % 3 == 0));
  }
  data->EndUpdate();
  return f;
}

}  // namespace vgrid_data
