// Feeds arbitrary bytes to the rich text reader: it must never crash or
// hang, and whatever it reads must write to text that reads back as the
// very same document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/controls/Rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  orv::rtf::Document doc;
  if (orv::rtf::Read(text, doc) != orv::rtf::ReadStatus::Ok) return 0;
  if (doc.Paragraphs.empty()) std::abort();
  const AnsiString written = orv::rtf::Write(doc);
  orv::rtf::Document again;
  if (orv::rtf::Read(written, again) != orv::rtf::ReadStatus::Ok) std::abort();
  if (!(again == doc)) std::abort();
  if (orv::rtf::Write(again) != written) std::abort();
  return 0;
}
