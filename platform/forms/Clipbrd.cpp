#include "platform/forms/Clipbrd.h"

#include "platform/forms/Bitmap.h"
#include "platform/forms/Icon.h"
#include "platform/forms/JpegImage.h"
#include "platform/forms/Metafile.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Clipboard.h"

using namespace win;

ORV_REGISTER(TClipboard)

Word CF_PICTURE() {
  static const Word format = static_cast<Word>(RegisterClipboardFormatA("Orvanta Picture"));
  return format;
}

TClipboard* Clipboard() {
  static TClipboard* clipboard = New<TClipboard>();
  return clipboard;
}

namespace {

// The formats a graphic class reads, in the order they are preferred.
std::vector<Word> FormatsOf(TClass AClass) {
  if (AClass->InheritsFrom(TMetafile::StaticClass()))
    return {static_cast<Word>(CF_ENHMETAFILE), static_cast<Word>(CF_METAFILEPICT)};
  if (AClass->InheritsFrom(TBitmap::StaticClass()) || AClass->InheritsFrom(TJPEGImage::StaticClass()))
    return {static_cast<Word>(CF_BITMAP)};
  return {};
}

// Every format a picture can be made from, in the clipboard's order.
std::vector<Word> PictureFormatsAvailable() {
  std::vector<Word> found;
  if (!OpenClipboard(nullptr)) return found;
  orv::ScopeExit close([] { CloseClipboard(); });
  for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f))
    if (TPicture::SupportsClipboardFormat(static_cast<Word>(f))) found.push_back(static_cast<Word>(f));
  return found;
}

}  // namespace

bool TClipboard::HasFormat(Word AFormat) {
  if (AFormat == CF_PICTURE()) return !PictureFormatsAvailable().empty();
  return IsClipboardFormatAvailable(AFormat);
}

void TClipboard::Clear() {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  CloseClipboard();
}

void TClipboard::DoAssign(TPersistent* Source) {
  TGraphic* graphic = nullptr;
  if (auto* picture = dynamic_cast<TPicture*>(Source))
    graphic = picture->GetGraphic();
  else if (auto* g = dynamic_cast<TGraphic*>(Source))
    graphic = g;
  else {
    TPersistent::DoAssign(Source);
    return;
  }
  Word format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  // Made before the clipboard opens: a graphic that cannot go there (an
  // icon) leaves what is there.
  if (graphic && !graphic->Empty()) graphic->SaveToClipboardFormat(format, data, palette);
  auto release = [&] {
    if (!data) return;
    if (format == CF_BITMAP)
      DeleteObject(reinterpret_cast<HBITMAP>(data));
    else
      GlobalFree(data);
  };
  if (!OpenClipboard(nullptr)) {
    release();
    throw EInvalidGraphic("Cannot open the clipboard");
  }
  orv::ScopeExit close([] { CloseClipboard(); });
  EmptyClipboard();
  if (data && !SetClipboardData(format, data)) release();
}

void TClipboard::AssignTo(TPersistent* Dest) {
  std::vector<Word> formats;
  if (auto* graphic = dynamic_cast<TGraphic*>(Dest)) {
    for (Word f : FormatsOf(graphic->ClassType()))
      if (IsClipboardFormatAvailable(f)) formats.push_back(f);
  } else if (dynamic_cast<TPicture*>(Dest)) {
    formats = PictureFormatsAvailable();
  } else {
    TPersistent::AssignTo(Dest);
    return;
  }
  if (formats.empty()) throw EInvalidGraphic("The clipboard holds no picture of a known format");
  if (!OpenClipboard(nullptr)) throw EInvalidGraphic("Cannot open the clipboard");
  orv::ScopeExit close([] { CloseClipboard(); });
  HANDLE data = GetClipboardData(formats.front());
  if (!data) throw EInvalidGraphic("The clipboard holds no picture of a known format");
  if (auto* picture = dynamic_cast<TPicture*>(Dest))
    picture->LoadFromClipboardFormat(formats.front(), data, nullptr);
  else
    static_cast<TGraphic*>(Dest)->LoadFromClipboardFormat(formats.front(), data, nullptr);
}
