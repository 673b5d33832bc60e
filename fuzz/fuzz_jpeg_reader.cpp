// Feeds arbitrary bytes to the JPEG reader (libjpeg behind our error
// manager) through a JPEG picture: see GraphicFuzzing.h for what each
// input must satisfy. No input may end the process from inside libjpeg.
#include "GraphicFuzzing.h"
#include "platform/forms/JpegImage.h"

namespace {

// A 2 x 2 picture compressed by the graphic itself.
std::string GoodJpeg() {
  TBitmap* b = New<TBitmap>();
  b->SetSize(2, 2);
  TJPEGImage* j = New<TJPEGImage>();
  j->Assign(b);
  TStringStream s("");
  j->SaveToStream(&s);
  j->Free();
  b->Free();
  return s.GetDataString();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string good = GoodJpeg();
  CheckGraphicReader<TJPEGImage>(data, size, good);
  return 0;
}
