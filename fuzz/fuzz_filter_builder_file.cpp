// Feeds arbitrary bytes to the filter builder as a filter file. Whatever
// the bytes hold, the load either shows them or raises one of the library's
// exceptions; a refused file leaves the builder's rows and criteria exactly
// as they were, and a shown one saves to bytes that load back to the same
// rows and save again to the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FilterFuzzing.h"
#include "fuzz/GridFuzzing.h"
#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxData.h"
#include "library/data/cxDataStorageValueTypes.h"
#include "library/grid/filter/cxFilterControl.h"
#include "library/grid/filter/cxFilterControlRows.h"

namespace {

using grid_fuzzing::Check;

// A filtered control over the stand-in controller.
class TFuzzFiltered : public TComponent, public IcxFilterControl {
  ORV_CLASS(TFuzzFiltered, TComponent)
 public:
  explicit TFuzzFiltered(TComponent* AOwner) : TComponent(AOwner) {
    FController = New<TFuzzController>(nullptr);
    const TcxValueTypeClass types[] = {TcxStringValueType::Class(), TcxIntegerValueType::Class(),
                                       TcxDateTimeValueType::Class()};
    for (Integer i = 0; i < 3; ++i) {
      FController->AddItem(&FController->Items[i]);
      FController->ChangeValueTypeClass(i, types[i]);
    }
  }
  ~TFuzzFiltered() override { FController->Free(); }
  AnsiString GetFilterCaption(Integer AIndex) override { return "Item" + std::to_string(AIndex); }
  Integer GetFilterCount() override { return 3; }
  TcxFilterCriteria* GetFilterCriteria() override { return FController->GetFilter(); }
  TObject* GetFilterItemLink(Integer AIndex) override { return &FController->Items[AIndex]; }
  AnsiString GetFilterFieldName(Integer) override { return AnsiString(); }
  TcxCustomEditProperties* GetFilterProperties(Integer) override { return nullptr; }
  TcxValueTypeClass GetFilterValueType(Integer AIndex) override {
    return FController->GetItemValueTypeClass(AIndex);
  }

 private:
  TFuzzController* FController;
};

std::string Contents(TMemoryStream& AStream) {
  return std::string(static_cast<const char*>(AStream.GetMemory()), static_cast<size_t>(AStream.GetSize()));
}

std::string Bytes(TcxFilterCriteria* ACriteria) {
  TMemoryStream ms;
  ACriteria->WriteData(&ms);
  return Contents(ms);
}

// A value as its type and text; an array as its elements. Whole numbers
// travel in the fewest bytes that hold them, so their width may change.
std::string Describe(const Variant& AValue) {
  if (VarIsArray(AValue)) {
    std::string text = "(";
    for (Integer i = VarArrayLowBound(AValue, 1); i <= VarArrayHighBound(AValue, 1); ++i)
      text += Describe(AValue[i]) + ",";
    return text + ")";
  }
  const bool whole = VarIsOrdinal(AValue) && VarType(AValue) != varBoolean;
  std::string text = whole ? std::string("int:") : std::to_string(VarType(AValue)) + ":";
  try {
    text += VarToStr(AValue);
  } catch (const Exception&) {
    text += "?";
  }
  return text;
}

// What the rows show: each row's depth, a group's operator, a condition's
// item, operator and values. A range is its two ends in either order (the
// builder stores the smaller first).
std::string Rows(TcxCustomFilterControl* ABuilder) {
  std::string rows;
  for (Integer i = 0; i < ABuilder->GetRowCount(); ++i) {
    cxfc::TcxCustomRowViewInfo* row = ABuilder->GetRow(i);
    for (auto* p = row->GetParent(); p; p = p->GetParent()) rows += ".";
    if (auto* group = dynamic_cast<cxfc::TcxGroupViewInfo*>(row)) {
      rows += "G" + std::to_string(group->BoolOperator) + ";";
      continue;
    }
    auto* c = static_cast<cxfc::TcxConditionViewInfo*>(row);
    rows += "C" + std::to_string(c->ItemIndex) + " " + std::to_string(c->Operator);
    std::vector<std::string> values;
    for (Integer v = 0; c->HasDisplayValues() && v < c->GetValues()->GetCount(); ++v) {
      const cxfc::TcxValueInfo* value = c->GetValues()->GetValue(v);
      // Null and empty values save with the blank text, whatever text the
      // file gave them.
      const bool blank = VarIsNull(value->Value) || VarIsEmpty(value->Value) ||
                         (VarIsStr(value->Value) && VarToStr(value->Value).empty());
      values.push_back(" [" + Describe(value->Value) + "|" + (blank ? AnsiString() : value->ValueText) + "]");
    }
    if (cxfc::IsBetweenOperator(c->Operator)) std::sort(values.begin(), values.end());
    for (const std::string& value : values) rows += value;
    rows += ";";
  }
  return rows;
}

void Load(TcxCustomFilterControl* ABuilder, const void* AData, size_t ASize) {
  TMemoryStream in;
  if (ASize) in.WriteBuffer(AData, static_cast<Int64>(ASize));
  in.SetPosition(0);
  ABuilder->LoadFromStream(&in);
}

std::string Save(TcxCustomFilterControl* ABuilder) {
  TMemoryStream ms;
  ABuilder->SaveToStream(&ms);
  return Contents(ms);
}

}  // namespace

ORV_REGISTER(TFuzzFiltered)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  grid_fuzzing::StartGridUnits();

  auto* filtered = New<TFuzzFiltered>(nullptr);
  auto* builder = New<TcxFilterControl>(nullptr);
  builder->SetLinkComponent(filtered);
  // A condition shown before the load: a refused file must keep it.
  static const char kOne[] = "\xFF\xFF\xFF\xFF\x00\x01\x00\x00\x00\x00\x00\x01\x00\x00\x00\x35\x65\x00\x00\x00\x02\x05";
  Load(builder, kOne, sizeof kOne - 1);
  const std::string criteria = Bytes(builder->GetCriteria());
  const std::string rows = Rows(builder);
  bool shown = false;
  try {
    Load(builder, data, size);
    shown = true;
  } catch (const Exception&) {
    Check(Bytes(builder->GetCriteria()) == criteria);
    Check(Rows(builder) == rows);
  }
  if (shown) {
    const std::string shownRows = Rows(builder);
    const std::string saved = Save(builder);
    Load(builder, saved.data(), saved.size());
    Check(Rows(builder) == shownRows);
    Check(Save(builder) == saved);
  }
  builder->Free();
  filtered->Free();
  return 0;
}
