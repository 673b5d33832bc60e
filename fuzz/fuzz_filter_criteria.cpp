// Feeds arbitrary bytes to the filter criteria's binary reader, the form
// of filter files. A read either succeeds or raises EReadError and leaves
// the criteria as they were; criteria that were read write out and read
// back to the same bytes, and their texts can be built.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "library/data/cxFilter.h"

namespace {

class TFuzzCriteria : public TcxFilterCriteria {
  ORV_CLASS(TFuzzCriteria, TcxFilterCriteria)
 public:
  TObject Links[4];
  Integer GetIDByItemLink(TObject* AItemLink) override {
    for (Integer i = 0; i < 4; ++i)
      if (&Links[i] == AItemLink) return i;
    return -1;
  }
  TObject* GetItemLinkByID(Integer AID) override { return AID >= 0 && AID < 4 ? &Links[AID] : nullptr; }
};

std::string Bytes(TcxFilterCriteria& c) {
  TMemoryStream ms;
  c.WriteData(&ms);
  return std::string(static_cast<const char*>(ms.GetMemory()), static_cast<size_t>(ms.GetSize()));
}

}  // namespace

ORV_REGISTER(TFuzzCriteria)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzCriteria criteria;
  criteria.AddItem(&criteria.Links[1], foEqual, 1, "1");
  const std::string before = Bytes(criteria);
  TMemoryStream in;
  if (size) in.WriteBuffer(data, static_cast<Int64>(size));
  in.SetPosition(0);
  try {
    criteria.ReadData(&in);
  } catch (const EReadError&) {
    if (Bytes(criteria) != before) std::abort();
    return 0;
  }
  const std::string first = Bytes(criteria);
  TFuzzCriteria copy;
  TMemoryStream again;
  again.WriteBuffer(first.data(), static_cast<Int64>(first.size()));
  again.SetPosition(0);
  copy.ReadData(&again);
  if (Bytes(copy) != first) std::abort();
  try {
    criteria.GetFilterText();
    criteria.GetFilterCaption();
  } catch (const Exception&) {
    // Values that a text form cannot show (a date that does not exist).
  }
  return 0;
}
