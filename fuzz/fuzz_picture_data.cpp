// Feeds arbitrary bytes to the picture readers: as a BMP stream into a
// bitmap, and as the "Data" value of a picture (a class name, then the
// graphic's own data) inside a component stream. Each read either loads or
// raises an exception of the library; a refused read leaves the bitmap or
// picture as it was and never reads outside the bytes given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/forms/Bitmap.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Filer.h"

namespace {

class TFuzzHolder : public TComponent {
  ORV_CLASS(TFuzzHolder, TComponent)
 public:
  explicit TFuzzHolder(TComponent* AOwner) : TComponent(AOwner) {}
  ~TFuzzHolder() override { FPicture->Free(); }
  TPicture* GetPicture() const { return FPicture; }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }

 private:
  TPicture* FPicture = New<TPicture>();
};

void ShortString(std::string& out, const std::string& s) {
  out += static_cast<char>(s.size());
  out += s;
}

}  // namespace

ORV_REGISTER(TFuzzHolder, ORV_PROP(Picture))

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TBitmap* bitmap = New<TBitmap>();
  bitmap->SetSize(2, 2);
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<Int64>(size));
  stream.SetPosition(0);
  try {
    bitmap->LoadFromStream(&stream);
  } catch (const Exception&) {
    if (bitmap->GetWidth() != 2 || bitmap->GetHeight() != 2) std::abort();
  }
  bitmap->Free();

  // object : TFuzzHolder  Picture.Data = {bytes}  end
  std::string layout("TPF0", 4);
  ShortString(layout, "TFuzzHolder");
  ShortString(layout, "");
  ShortString(layout, "Picture.Data");
  layout += static_cast<char>(vaBinary);
  auto length = static_cast<std::uint32_t>(size);
  layout.append(reinterpret_cast<const char*>(&length), 4);
  layout.append(reinterpret_cast<const char*>(data), size);
  layout += std::string(2, static_cast<char>(vaNull));
  TFuzzHolder* holder = New<TFuzzHolder>(nullptr);
  TStringStream input(layout);
  try {
    input.ReadComponent(holder);
  } catch (const Exception&) {
    if (holder->GetPicture()->GetGraphic()) std::abort();
  }
  holder->Free();
  return 0;
}
