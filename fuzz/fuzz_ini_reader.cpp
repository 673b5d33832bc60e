// Feeds arbitrary bytes to the INI parser: it must never crash, and the
// text it writes back must parse to a document that writes the same text
// (nothing changes or gets lost on a second load and save).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/rtl/IniFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  orv::IniDocument doc;
  doc.Parse(text);
  const AnsiString once = doc.Text();
  orv::IniDocument again;
  again.Parse(once);
  if (again.Text() != once) std::abort();
  for (const auto& section : doc.Sections()) {
    if (!again.Find(section.Name)) std::abort();
  }
  return 0;
}
