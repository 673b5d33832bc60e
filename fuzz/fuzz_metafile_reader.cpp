// Feeds arbitrary bytes to the metafile reader and player through a
// metafile: see GraphicFuzzing.h for what each input must satisfy. A
// metafile that loads is also played into a canvas with a clip and moved
// origins, where the picture's own clips, saved states and mapping records
// must keep inside that clip and give the canvas its state back.
#include "GraphicFuzzing.h"
#include "platform/forms/Metafile.h"

#include <cstdlib>

#include "platform/gdi/Gdi.h"

namespace {

// A placeable metafile of bounds (0, 0)-(10, 10) holding only its end.
std::string GoodMetafile() {
  const unsigned char bytes[] = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 10, 0, 10, 0, 96, 0, 0, 0, 0, 0,
                                 0x71, 0x57,                                  // check sum
                                 1, 0, 9, 0, 0, 3, 12, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0,  // header
                                 3, 0, 0, 0, 0, 0};                           // end
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

void PlayClipped(const std::uint8_t* data, std::size_t size) {
  TMetafile* m = New<TMetafile>();
  TStringStream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    m->LoadFromStream(&in);
  } catch (const EInvalidGraphic&) {
    m->Free();
    return;
  }
  if (!m->Empty()) {
    TBitmap* target = New<TBitmap>();
    target->SetSize(16, 16);
    TCanvas* canvas = target->GetCanvas();
    win::HDC dc = canvas->GetHandle();
    win::SetWindowOrgEx(dc, 3, -2, nullptr);
    win::IntersectClipRect(dc, 4, 0, 14, 9);
    win::HRGN before = win::CreateRectRgn(0, 0, 0, 0);
    win::GetClipRgn(dc, before);
    canvas->StretchDraw(Rect(-4, -4, 20, 12), m);
    win::HRGN after = win::CreateRectRgn(0, 0, 0, 0);
    win::POINT org{};
    win::GetWindowOrgEx(dc, &org);
    if (win::GetClipRgn(dc, after) != 1 || !win::EqualRgn(before, after) || org.X != 3 || org.Y != -2) std::abort();
    win::DeleteObject(before);
    win::DeleteObject(after);
    target->Free();
  }
  m->Free();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string good = GoodMetafile();
  // Playing makes pens, brushes, fonts and regions: every one goes again.
  const int objects = win::GdiLiveObjectCount();
  CheckGraphicReader<TMetafile>(data, size, good);
  PlayClipped(data, size);
  if (win::GdiLiveObjectCount() != objects) std::abort();
  return 0;
}
