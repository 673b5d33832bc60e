// Feeds arbitrary bytes to the ICO reader through an icon: see
// GraphicFuzzing.h for what each input must satisfy.
#include "GraphicFuzzing.h"
#include "platform/forms/Icon.h"

namespace {

// A 1 x 1 icon at 32 bits.
std::string GoodIcon() {
  const unsigned char bytes[] = {0, 0, 1, 0, 1, 0,                                     // directory
                                 1, 1, 0, 0, 1, 0, 32, 0, 48, 0, 0, 0, 22, 0, 0, 0,    // entry
                                 40, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 32, 0,     // header
                                 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 0, 0, 0, 0, 0, 0, 0, 0,
                                 0, 0, 255, 255,                                       // a red pixel
                                 0, 0, 0, 0};                                          // its mask row
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string good = GoodIcon();
  CheckGraphicReader<TIcon>(data, size, good);
  return 0;
}
