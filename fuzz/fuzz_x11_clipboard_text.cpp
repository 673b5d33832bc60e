// Feeds arbitrary bytes, as another program's clipboard answer, to the
// conversions into the program's text: UTF8_STRING (any bytes, valid UTF-8
// or not) and STRING (Latin-1). Neither may crash; every line ends in CR LF
// inside, no Latin-1 control character survives as a 1252 letter, and text
// whose only CRs end lines goes out and comes back unchanged. (A CR just
// before a line end cannot survive: outside, CR LF is read as a line end.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/x11/X11Text.h"

namespace {

bool LinesEndInCrLf(const std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i)
    if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) return false;
  return true;
}

// Every CR is the start of a line end.
bool OnlyLineEndCrs(const std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i)
    if (s[i] == '\r' && (i + 1 == s.size() || s[i + 1] != '\n')) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace win::x11;
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  const std::string fromUtf8 = ClipboardFromUtf8(bytes);
  if (!LinesEndInCrLf(fromUtf8)) std::abort();
  if (OnlyLineEndCrs(fromUtf8) && ClipboardFromUtf8(ClipboardToUtf8(fromUtf8)) != fromUtf8) std::abort();

  const std::string fromLatin1 = ClipboardFromLatin1(bytes);
  if (!LinesEndInCrLf(fromLatin1)) std::abort();
  for (char c : fromLatin1) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x80 && b < 0xA0) std::abort();
  }
  if (OnlyLineEndCrs(fromLatin1) && ClipboardFromLatin1(ClipboardToLatin1(fromLatin1)) != fromLatin1) std::abort();
  return 0;
}
