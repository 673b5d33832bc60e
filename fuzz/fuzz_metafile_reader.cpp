// Feeds arbitrary bytes to the metafile reader and player through a
// metafile: see GraphicFuzzing.h for what each input must satisfy.
#include "GraphicFuzzing.h"
#include "platform/forms/Metafile.h"

namespace {

// A placeable metafile of bounds (0, 0)-(10, 10) holding only its end.
std::string GoodMetafile() {
  const unsigned char bytes[] = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 10, 0, 10, 0, 96, 0, 0, 0, 0, 0,
                                 0x71, 0x57,                                  // check sum
                                 1, 0, 9, 0, 0, 3, 12, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0,  // header
                                 3, 0, 0, 0, 0, 0};                           // end
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string good = GoodMetafile();
  CheckGraphicReader<TMetafile>(data, size, good);
  return 0;
}
