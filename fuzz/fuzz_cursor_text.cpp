// Feeds arbitrary text to the cursor drawing reader: it answers a whole
// cursor or raises EParserError, never crashes, and what it answers holds
// together (masks of width x height pixels, the hot spot on the cursor,
// bits only 0 or 1).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/rtl/Exceptions.h"
#include "platform/win/Cursors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  win::CursorImage image;
  try {
    image = win::ParseCursorText(text);
  } catch (const EParserError&) {
    return 0;
  }
  if (image.width < 1 || image.height < 1 || image.width > 256 || image.height > 256) std::abort();
  const std::size_t pixels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
  if (image.andMask.size() != pixels || image.xorMask.size() != pixels) std::abort();
  if (image.hotSpot.X < 0 || image.hotSpot.Y < 0 || image.hotSpot.X >= image.width || image.hotSpot.Y >= image.height)
    std::abort();
  for (std::size_t i = 0; i < pixels; ++i)
    if (image.andMask[i] > 1 || image.xorMask[i] > 1) std::abort();
  return 0;
}
