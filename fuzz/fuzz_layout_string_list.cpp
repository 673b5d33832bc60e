// Feeds arbitrary layouts to components holding string lists, the form in
// which memos and list boxes keep their lines ("Lines.Strings = (...)").
// Text goes through ObjectTextToBinary first; input starting with the
// binary signature is read as it is. A read either succeeds or raises one
// of the library's exceptions and leaves nothing behind; what was read
// writes out and reads back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/Component.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ObjectText.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/TypeInfo.h"

namespace {

class TFuzzLines : public TComponent {
  ORV_CLASS(TFuzzLines, TComponent)
 public:
  explicit TFuzzLines(TComponent* AOwner) : TComponent(AOwner) {}
  ~TFuzzLines() override {
    FLines->Free();
    FItems->Free();
  }
  TStringList* GetLines() const { return FLines; }
  TStringList* GetItems() const { return FItems; }

 private:
  TStringList* FLines = New<TStringList>();
  TStringList* FItems = New<TStringList>();
};

AnsiString TextOf(TComponent* c) {
  TMemoryStream binary;
  binary.WriteComponent(c);
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(binary, text);
  return text.GetDataString();
}

}  // namespace

ORV_REGISTER(TFuzzLines, ORV_PROP_RO(Lines), ORV_PROP_RO(Items))

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool registered = [] {
    RegisterClass(TFuzzLines::StaticClass());
    return true;
  }();
  (void)registered;

  const AnsiString input(reinterpret_cast<const char*>(data), size);
  const bool binary = size >= 4 && std::memcmp(data, FilerSignature, 4) == 0;
  const Int64 live = TObject::LiveCount();
  TFuzzLines* root = New<TFuzzLines>(nullptr);
  const Int64 withRoot = TObject::LiveCount();
  bool read = false;
  try {
    if (binary) {
      TStringStream in(input);
      in.ReadComponent(root);
    } else {
      ReadComponentFromText(input, root);
    }
    read = true;
  } catch (const Exception&) {
  }
  if (!read && (root->GetComponentCount() != 0 || TObject::LiveCount() != withRoot)) std::abort();
  if (read) {
    const AnsiString text = TextOf(root);
    TFuzzLines* again = New<TFuzzLines>(nullptr);
    try {
      ReadComponentFromText(text, again);
    } catch (const Exception&) {
      std::abort();  // what was written must read back
    }
    if (TextOf(again) != text) std::abort();
    again->Free();
  }
  root->Free();
  if (TObject::LiveCount() != live) std::abort();
  return 0;
}
