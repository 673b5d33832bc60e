// Feeds arbitrary bytes to a data controller's filter in its file form: a
// component stream around the criteria (LoadFromStream), as saved filters
// are kept. Text input is converted to the binary form first. A load either
// succeeds or raises one of the library's exceptions, leaving the criteria
// (settings and conditions) as they were and nothing behind; criteria that
// were loaded save and load back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/FilterFuzzing.h"
#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxData.h"
#include "library/data/cxDataStorageValueTypes.h"
#include "platform/rtl/ObjectText.h"

namespace {

TFuzzController* MakeController(bool AWithCondition) {
  auto* c = New<TFuzzController>(nullptr);
  const TcxValueTypeClass types[] = {TcxStringValueType::Class(), TcxIntegerValueType::Class(),
                                     TcxFloatValueType::Class()};
  for (Integer i = 0; i < 3; ++i) {
    c->AddItem(&c->Items[i]);
    c->ChangeValueTypeClass(i, types[i]);
  }
  if (AWithCondition) c->GetFilter()->AddItem(nullptr, &c->Items[1], foGreater, 2, "2");
  return c;
}

std::string Saved(TcxFilterCriteria* c) {
  TMemoryStream ms;
  c->SaveToStream(&ms);
  return std::string(static_cast<const char*>(ms.GetMemory()), static_cast<size_t>(ms.GetSize()));
}

// One load of the input and its round trip.
void LoadOnce(const uint8_t* data, size_t size) {
  TFuzzController* c = MakeController(true);
  TcxFilterCriteria* filter = c->GetFilter();
  const std::string before = Saved(filter);
  TMemoryStream in;
  const bool binary = size >= 4 && std::memcmp(data, FilerSignature, 4) == 0;
  bool read = false;
  try {
    if (binary) {
      in.WriteBuffer(data, static_cast<Int64>(size));
    } else {
      TMemoryStream text;
      if (size) text.WriteBuffer(data, static_cast<Int64>(size));
      text.SetPosition(0);
      ObjectTextToBinary(text, in);
    }
    in.SetPosition(0);
    filter->LoadFromStream(&in);
    read = true;
  } catch (const Exception&) {
    if (Saved(filter) != before) std::abort();
  }
  if (read) {
    const std::string first = Saved(filter);
    // Loading replaces the conditions, even with a filter saved empty.
    TFuzzController* copy = MakeController(true);
    TMemoryStream again;
    again.WriteBuffer(first.data(), static_cast<Int64>(first.size()));
    again.SetPosition(0);
    copy->GetFilter()->LoadFromStream(&again);
    if (Saved(copy->GetFilter()) != first) std::abort();
    copy->Free();
  }
  c->Free();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The library's shared objects (value types, class prototypes) come to
  // life on first use and stay, so the count is taken after a first load:
  // a second load of the same input must leave nothing behind.
  LoadOnce(data, size);
  const Int64 live = TObject::LiveCount();
  LoadOnce(data, size);
  if (TObject::LiveCount() != live) std::abort();
  return 0;
}
