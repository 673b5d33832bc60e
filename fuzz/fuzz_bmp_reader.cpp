// Feeds arbitrary bytes to the BMP reader, as a file and as a packed DIB:
// it either decodes a picture whose pixel count matches its size or raises
// EInvalidGraphic, and never reads outside the bytes it was given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/BmpCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (int asFile = 0; asFile < 2; ++asFile) {
    try {
      win::BmpImage img = asFile ? win::ReadBmp(data, size) : win::ReadDib(data, size);
      if (img.Width <= 0 || img.Height <= 0 ||
          img.Pixels.size() != std::size_t(img.Width) * std::size_t(img.Height))
        std::abort();
    } catch (const EInvalidGraphic&) {
    }
  }
  return 0;
}
