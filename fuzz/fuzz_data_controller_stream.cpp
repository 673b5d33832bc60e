// Feeds arbitrary bytes to a data controller's "DataController1" reader,
// with a String, an Integer and a Variant item and two records. A load
// either succeeds or raises (the stream's read error, or "Invalid stream
// format" for another structure) and leaves the records as they were; a
// loaded table saves to bytes that load back to the same table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "library/data/cxData.h"

namespace {

std::vector<Byte> Save(TcxCustomDataController* AController) {
  TMemoryStream ms;
  AController->SaveToStream(&ms);
  auto* p = static_cast<const Byte*>(ms.GetMemory());
  return std::vector<Byte>(p, p + ms.GetSize());
}

TcxDataController* MakeController() {
  TcxDataController* c = New<TcxDataController>(nullptr);
  const TcxValueTypeClass types[] = {TcxStringValueType::Class(), TcxIntegerValueType::Class(),
                                     TcxVariantValueType::Class()};
  for (TcxValueTypeClass t : types) {
    c->AddItem(nullptr);
    c->ChangeValueTypeClass(c->GetItemCount() - 1, t);
  }
  c->AppendRecord();
  c->AppendRecord();
  c->SetValue(0, 0, "before");
  c->SetValue(1, 1, 42);
  c->SetValue(1, 2, 2.5);
  return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TcxDataController* c = MakeController();
  const std::vector<Byte> before = Save(c);
  TMemoryStream in;
  if (size) in.WriteBuffer(data, static_cast<Int64>(size));
  in.SetPosition(0);
  bool loaded = true;
  try {
    c->LoadFromStream(&in);
  } catch (const EReadError&) {
    loaded = false;
  } catch (const EcxInvalidDataControllerOperation&) {
    loaded = false;
  }
  const std::vector<Byte> after = Save(c);
  if (!loaded && after != before) std::abort();
  if (loaded) {
    TMemoryStream again;
    again.WriteBuffer(after.data(), static_cast<Int64>(after.size()));
    again.SetPosition(0);
    c->LoadFromStream(&again);
    if (Save(c) != after) std::abort();
  }
  c->Free();
  return 0;
}
