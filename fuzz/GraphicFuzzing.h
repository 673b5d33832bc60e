// The check every picture reader's fuzz target makes: bytes either load
// into a graphic that already held a good picture, or are refused with
// EInvalidGraphic leaving that picture and the stream position as they
// were. A picture that loads is drawn (at its own size and stretched) and
// written back as the very bytes it was read from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/forms/Bitmap.h"

template <class G>
void CheckGraphicReader(const std::uint8_t* data, std::size_t size, const std::string& good) {
  G* graphic = New<G>();
  {
    TStringStream first(good);
    graphic->LoadFromStream(&first);
  }
  TStringStream in(std::string(reinterpret_cast<const char*>(data), size));
  bool loaded = true;
  try {
    graphic->LoadFromStream(&in);
  } catch (const EInvalidGraphic&) {
    loaded = false;
  }
  TStringStream out("");
  graphic->SaveToStream(&out);
  const std::string& saved = out.GetDataString();
  if (!loaded) {
    if (saved != good || in.GetPosition() != 0) std::abort();
  } else {
    // A reader may stop where its header says the picture ends.
    if (saved.size() != std::size_t(in.GetPosition()) || std::memcmp(saved.data(), data, saved.size()) != 0)
      std::abort();
    if (!graphic->Empty()) {
      TBitmap* target = New<TBitmap>();
      target->SetSize(24, 24);
      target->GetCanvas()->Draw(1, 1, graphic);
      target->GetCanvas()->StretchDraw(Rect(0, 0, 24, 7), graphic);
      target->Free();
    }
  }
  graphic->Free();
}
