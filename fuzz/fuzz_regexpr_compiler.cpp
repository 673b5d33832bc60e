// Compiles arbitrary bytes as a mask and, when it compiles, types the same
// bytes into it with forced insertion on and steps back over all of them.
// A broken mask must end in its compile error, never in a crash or a hang.
#include <cstddef>
#include <cstdint>

#include "library/editors/core/cxRegExpr.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  AnsiString pattern(reinterpret_cast<const char*>(data), size);
  TcxRegExpr re;
  try {
    TStringStream source(pattern);
    re.Compile(&source);
  } catch (const EcxRegExprError& e) {
    if (e.GetErrors().Count() == 0) __builtin_trap();  // a failure must say why
    return 0;
  } catch (const EConvertError&) {
    return 0;  // a count beyond the integer range
  }
  re.SetUpdateOn(true);
  re.SetCaseInsensitive(size % 2 == 1);
  for (std::size_t i = 0; i < size && i < 256; ++i) {
    char c = static_cast<char>(data[i]);
    re.Next(c);
  }
  while (re.Prev()) {
  }
  re.Reset();
  if (!re.IsStart()) __builtin_trap();
  return 0;
}
