// Feeds arbitrary bytes to the image editor's picture values: each input is
// an edit value loaded by every registered graphic class, as it comes and
// behind the 8-byte database header. Loading never raises and never ends
// the process; bytes a class refuses leave an empty picture, and a picture
// that loads draws and gives a value that loads again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "library/editors/cxImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string header = {1, 0, 0, 1};
  for (int i = 0; i < 4; ++i) header += static_cast<char>((size >> (8 * i)) & 0xFF);
  TPicture* picture = New<TPicture>();
  TPicture* again = New<TPicture>();
  for (const TGraphicClass& cls : GetRegisteredGraphicClasses())
    for (const std::string& value : {bytes, header + bytes}) {
      try {
        LoadPicture(picture, cls, Variant(AnsiString(value)));
      } catch (...) {
        std::abort();
      }
      if (IsPictureEmpty(picture)) continue;
      TBitmap* target = New<TBitmap>();
      target->SetSize(16, 16);
      target->GetCanvas()->StretchDraw(TRect(0, 0, 16, 16), picture->GetGraphic());
      target->Free();
      AnsiString saved;
      SavePicture(picture, saved);
      LoadPicture(again, cls, Variant(saved));
      if (IsPictureEmpty(again)) std::abort();
    }
  again->Free();
  picture->Free();
  return 0;
}
