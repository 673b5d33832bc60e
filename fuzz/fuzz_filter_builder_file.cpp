// Feeds arbitrary bytes to the filter builder as a filter file. Whatever
// the bytes hold, the load either shows them or raises one of the library's
// exceptions; a refused file leaves the builder's rows and criteria exactly
// as they were, and a shown one saves to bytes that load back to the same
// rows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/FilterFuzzing.h"
#include "fuzz/GridFuzzing.h"
#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxData.h"
#include "library/data/cxDataStorageValueTypes.h"
#include "library/grid/cxFilterControl.h"

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

std::string Bytes(TcxFilterCriteria* ACriteria) {
  TMemoryStream ms;
  ACriteria->WriteData(&ms);
  return std::string(static_cast<const char*>(ms.GetMemory()), static_cast<size_t>(ms.GetSize()));
}

std::string Rows(TcxCustomFilterControl* ABuilder) {
  std::string rows;
  for (Integer i = 0; i < ABuilder->GetRowCount(); ++i) rows += ABuilder->GetRow(i)->ClassName() + ";";
  return rows;
}

void Load(TcxCustomFilterControl* ABuilder, const void* AData, size_t ASize) {
  TMemoryStream in;
  if (ASize) in.WriteBuffer(AData, static_cast<Int64>(ASize));
  in.SetPosition(0);
  ABuilder->LoadFromStream(&in);
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
    TMemoryStream saved;
    builder->SaveToStream(&saved);
    const std::string again(static_cast<const char*>(saved.GetMemory()), static_cast<size_t>(saved.GetSize()));
    const std::string shownRows = Rows(builder);
    Load(builder, again.data(), again.size());
    Check(Rows(builder) == shownRows);
  }
  builder->Free();
  filtered->Free();
  return 0;
}
