// Feeds arbitrary bytes to the typed stream readers: a tagged variant
// first, then strings and wide strings. A read either succeeds or raises
// EReadError and leaves its target as it was; whatever was read writes
// out and reads back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "library/data/cxVariants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream in;
  if (size) in.WriteBuffer(data, static_cast<Int64>(size));
  in.SetPosition(0);
  Variant v = "sentinel";
  try {
    ReadVariantProc(&in, v);
  } catch (const EReadError&) {
    if (VarType(v) != varString || v.RawAnsi() != "sentinel") std::abort();
    return 0;
  }
  // What was read must survive its own round trip.
  TMemoryStream first, second;
  WriteVariantProc(&first, v);
  first.SetPosition(0);
  Variant back = ReadVariantFunc(&first);
  WriteVariantProc(&second, back);
  if (first.GetSize() != second.GetSize() ||
      std::memcmp(first.GetMemory(), second.GetMemory(), static_cast<size_t>(first.GetSize())) != 0)
    std::abort();
  try {
    AnsiString s = ReadStringFunc(&in);
    WideString w = ReadWideStringFunc(&in);
    (void)s;
    (void)w;
  } catch (const EReadError&) {
  }
  return 0;
}
