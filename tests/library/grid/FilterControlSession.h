// The filter builder's test double of a filtered control: the grid
// conformance control with six records over five typed items, offering
// IcxFilterControl over its data controller (item IDs are the controller's,
// the items' indexes), and a headless form with a builder linked to it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "library/grid/GridTestControl.h"
#include "library/grid/filter/cxFilterControl.h"
#include "library/grid/filter/cxFilterControlViewInfo.h"
#include "library/data/cxCustomDataFilter.h"
#include "platform/rtl/DateTime.h"

class TFilteredTestControl : public TTestEditingControl, public IcxFilterControl {
  ORV_CLASS(TFilteredTestControl, TTestEditingControl)
 public:
  explicit TFilteredTestControl(TComponent* AOwner) : TTestEditingControl(AOwner) {}
  std::vector<AnsiString> Captions;

  AnsiString GetFilterCaption(Integer AIndex) override { return Captions.at(static_cast<size_t>(AIndex)); }
  Integer GetFilterCount() override { return GetItemCount(); }
  TcxFilterCriteria* GetFilterCriteria() override { return GetDataController()->GetFilter(); }
  TObject* GetFilterItemLink(Integer AIndex) override { return GetItem(AIndex); }
  AnsiString GetFilterFieldName(Integer AIndex) override { return GetFilterCaption(AIndex); }
  TcxCustomEditProperties* GetFilterProperties(Integer AIndex) override {
    return GetItem(AIndex)->GetPropertiesValue();
  }
  TcxValueTypeClass GetFilterValueType(Integer AIndex) override {
    return GetDataController()->GetItemValueTypeClass(AIndex);
  }

  // The records the controller's filter lets through, by their Name.
  std::vector<std::string> Visible() {
    std::vector<std::string> names;
    auto* controller = GetDataController();
    for (Integer i = 0; i < controller->GetFilteredRecordCount(); ++i)
      names.push_back(VarToStrDef(controller->GetValue(controller->GetFilteredRecordIndex(i), 0), "<null>"));
    return names;
  }
};

inline ORV_REGISTER(TFilteredTestControl)

namespace grid_test {

// Six records over Name (String), Count (Integer), Ratio (Float), Since
// (DateTime) and Active (Boolean).
inline TFilteredTestControl* MakeFilteredControl(TComponent* AOwner, TWinControl* AParent) {
  auto* control = New<TFilteredTestControl>(AOwner);
  control->SetBoundsRect({0, 0, 10, 10});
  control->SetParent(AParent);
  struct Row {
    Variant Name, Count, Ratio, Since, Active;
  };
  const Row rows[] = {
      {Variant("alpha"), Variant(42), Variant(2.5), Variant(EncodeDate(2026, 1, 5)), Variant(true)},
      {Variant("beta"), Variant(7), Variant(0.5), Variant(EncodeDate(2025, 12, 1)), Variant(false)},
      {Variant("gamma"), Variant(13), Variant(9.0), Variant(EncodeDate(2026, 12, 6)), Variant(true)},
      {Variant("alfalfa"), Variant(3), Variant(1.5), Null(), Variant(false)},
      {Null(), Variant(20), Variant(4.0), Variant(EncodeDate(2026, 6, 1)), Variant(true)},
      {Variant("delta"), Variant(7), Variant(7.5), Variant(EncodeDate(2024, 1, 1)), Variant(false)},
  };
  const char* types[] = {"String", "Integer", "Float", "DateTime", "Boolean"};
  control->Captions = {"Name", "Count", "Ratio", "Since", "Active"};
  control->GetDataController()->SetRecordCount(6);
  for (int i = 0; i < 5; ++i) {
    auto* item = New<TcxCustomInplaceEditContainer>(AOwner);
    item->SetEditingControl(control);
    static_cast<TcxItemDataBinding*>(item->GetDataBinding())->SetValueType(types[i]);
  }
  for (Integer r = 0; r < 6; ++r) {
    const Variant* values = &rows[r].Name;
    for (Integer i = 0; i < 5; ++i) control->GetDataController()->SetValue(r, i, values[i]);
  }
  control->GetDataController()->GetFilter()->SetActive(true);
  return control;
}

// A headless form with the filtered double and a builder linked to it.
class FilterSession : public ::testing::Test, public edit_test::EditorSession, public GridUnitsListed {
 protected:
  TForm* form = nullptr;
  TFilteredTestControl* target = nullptr;
  TcxFilterControl* builder = nullptr;

  void SetUp() override {
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 640, 400});
    target = MakeFilteredControl(form, form);
    builder = New<TcxFilterControl>(form);
    builder->SetBoundsRect({10, 20, 510, 260});
    builder->SetParent(form);
    builder->SetLinkComponent(target);
  }
  void TearDown() override {
    if (form) form->Free();
    Pump();
  }

  cxfc::TcxConditionViewInfo* Condition(Integer ARow) {
    return dynamic_cast<cxfc::TcxConditionViewInfo*>(builder->GetRow(ARow));
  }
  // A new condition at the end of AGroup's children on AItem with
  // AOperator and the values given.
  cxfc::TcxConditionViewInfo* Add(cxfc::TcxCustomRowViewInfo* AGroup, Integer AItem,
                                  TcxFilterControlOperator AOperator, std::vector<Variant> AValues) {
    builder->AddCondition(AGroup);
    auto* condition = dynamic_cast<cxfc::TcxConditionViewInfo*>(builder->GetFocusedRow());
    condition->SetItem(AItem);
    condition->Operator = AOperator;
    condition->InitValues(false);
    while (condition->GetValues()->GetCount() < static_cast<Integer>(AValues.size())) condition->AddValue();
    for (size_t i = 0; i < AValues.size(); ++i) {
      condition->GetValues()->GetValue(static_cast<Integer>(i))->Value = AValues[i];
      condition->GetValues()->GetValue(static_cast<Integer>(i))->ValueText = VarToStr(AValues[i]);
    }
    return condition;
  }
  // A new group where AddGroup puts it, with ABoolOperator, holding one
  // condition on Name with AOperator and AText.
  cxfc::TcxConditionViewInfo* AddGroup(TcxFilterBoolOperatorKind ABoolOperator, TcxFilterControlOperator AOperator,
                                       const char* AText) {
    builder->AddGroup();
    static_cast<cxfc::TcxGroupViewInfo*>(builder->GetFocusedRow()->GetParent())->BoolOperator = ABoolOperator;
    auto* condition = static_cast<cxfc::TcxConditionViewInfo*>(builder->GetFocusedRow());
    condition->Operator = AOperator;
    condition->GetValues()->GetValue(0)->Value = Variant(AText);
    condition->GetValues()->GetValue(0)->ValueText = AText;
    return condition;
  }
  // Every row of the builder (or of ABuilder) as "level:kind text", kind
  // G (group with its operator) or C (item operator values).
  std::vector<std::string> Rows(TcxFilterControl* ABuilder = nullptr) {
    if (!ABuilder) ABuilder = builder;
    std::vector<std::string> rows;
    for (Integer i = 0; i < ABuilder->GetRowCount(); ++i) {
      cxfc::TcxCustomRowViewInfo* row = ABuilder->GetRow(i);
      Integer level = 0;
      for (auto* p = row->GetParent(); p; p = p->GetParent()) ++level;
      std::string text = std::to_string(level) + ":";
      if (auto* group = dynamic_cast<cxfc::TcxGroupViewInfo*>(row)) {
        text += "G " + cxfc::cxGetBoolOperatorText(group->BoolOperator);
      } else {
        auto* c = static_cast<cxfc::TcxConditionViewInfo*>(row);
        text += "C " + c->ItemText + " " + cxfc::cxGetConditionText(c->Operator);
        for (Integer v = 0; c->HasDisplayValues() && v < c->GetValues()->GetCount(); ++v)
          text += " [" + VarToStrDef(c->GetValues()->GetValue(v)->Value, "null") + "|" +
                  c->GetValues()->GetValue(v)->ValueText + "]";
      }
      rows.push_back(text);
    }
    return rows;
  }
  std::string CriteriaBytes(TcxFilterCriteria* ACriteria) {
    TMemoryStream ms;
    ACriteria->WriteData(&ms);
    return std::string(static_cast<const char*>(ms.GetMemory()), static_cast<size_t>(ms.GetSize()));
  }
};

}  // namespace grid_test
