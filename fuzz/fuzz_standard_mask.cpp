// Compiles the first half of the input as a classic edit mask and formats
// and validates the second half with it: every result must keep the
// mask's length rules.
#include <cstddef>
#include <cstdint>

#include "library/editors/core/cxStandardMask.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t half = size / 2;
  AnsiString mask(reinterpret_cast<const char*>(data), half);
  AnsiString text(reinterpret_cast<const char*>(data) + half, size - half);
  TcxStandardMask m;
  m.Compile(mask);
  const std::size_t count = static_cast<std::size_t>(m.GetCount());
  if (count > mask.size()) __builtin_trap();
  AnsiString display = text;
  m.Format(display, true, size % 2 == 0);
  if (display.size() != count) __builtin_trap();
  AnsiString full = display;
  m.IsValid(full);
  AnsiString edit = display;
  m.Format2(edit);
  if (edit.size() > count) __builtin_trap();
  if (m.GetFullEmptyString().size() != count) __builtin_trap();
  AnsiString empty = m.GetFullEmptyString();
  if (!m.IsValid(empty)) __builtin_trap();  // the empty display text is always a valid start
  AnsiString t = text;
  m.IsFullValid(t);
  return 0;
}
