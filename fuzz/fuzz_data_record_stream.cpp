// Feeds arbitrary bytes to the value storage's per-record stream, with a
// column of every value type and record IDs on. A read either succeeds or
// raises EReadError and leaves the record as it was; a record that was
// read writes out to the bytes it was read from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "library/data/cxDataStorage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TcxDataStorage storage;
  storage.SetUseRecordID(true);
  TcxValueTypeClassList* types = cxValueTypeClassList();
  for (Integer i = 0; i < types->GetCount(); ++i) {
    // Objects are never streamed from outside: an address read back would
    // be freed by the storage.
    if (types->GetItem(i) == TcxObjectValueType::Class()) continue;
    storage.GetValueDefs()->Add(types->GetItem(i), true, i % 3 == 0, nullptr);
  }
  storage.AppendRecord();
  TMemoryStream before;
  storage.WriteData(0, &before);

  TMemoryStream in;
  if (size) in.WriteBuffer(data, static_cast<Int64>(size));
  in.SetPosition(0);
  try {
    storage.ReadData(0, &in);
  } catch (const EReadError&) {
    TMemoryStream after;
    storage.WriteData(0, &after);
    if (after.GetSize() != before.GetSize() ||
        std::memcmp(after.GetMemory(), before.GetMemory(), static_cast<size_t>(after.GetSize())) != 0)
      std::abort();
    return 0;
  }
  TMemoryStream out;
  storage.WriteData(0, &out);
  TMemoryStream again;
  out.SetPosition(0);
  storage.ReadData(0, &out);
  storage.WriteData(0, &again);
  if (out.GetSize() != again.GetSize() ||
      std::memcmp(out.GetMemory(), again.GetMemory(), static_cast<size_t>(out.GetSize())) != 0)
    std::abort();
  return 0;
}
