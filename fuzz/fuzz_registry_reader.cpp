// Feeds arbitrary bytes to the registry store's file reader: it must
// never crash or allocate by an unchecked count, and whatever it accepts
// must encode to exactly the bytes it read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/rtl/Registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Most inputs would fail at the signature; start most of them with it so
  // that the fuzzer spends its time on the tree.
  std::string bytes;
  if (size > 0 && data[0] & 1) bytes = "ORVREG1\n";
  if (size > 0) bytes.append(reinterpret_cast<const char*>(data + 1), size - 1);
  orv::registry::Key root;
  if (orv::registry::Decode(bytes, root) && orv::registry::Encode(root) != bytes) std::abort();
  return 0;
}
