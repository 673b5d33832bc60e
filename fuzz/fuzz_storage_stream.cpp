// Feeds arbitrary bytes to the property storage's stream reader. It either
// reads a whole tree or raises EcxStorage with the stream back where it
// was; a tree it reads writes out to bytes that read back to the same
// bytes, and restoring it into an object tree never crashes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "library/foundation/cxStorage.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/StringList.h"

namespace {

class TFuzzItem : public TCollectionItem {
  ORV_CLASS(TFuzzItem, TCollectionItem)
 public:
  explicit TFuzzItem(TCollection* ACollection) : TCollectionItem(ACollection) {}
  AnsiString GetText() const { return FText; }
  void SetText(const AnsiString& Value) { FText = Value; }
  double GetRatio() const { return FRatio; }
  void SetRatio(double Value) { FRatio = Value; }

 private:
  AnsiString FText;
  double FRatio = 0;
};

class TFuzzRoot : public TComponent {
  ORV_CLASS(TFuzzRoot, TComponent)
 public:
  explicit TFuzzRoot(TComponent* AOwner) : TComponent(AOwner), FItems(New<TCollection>(TFuzzItem::StaticClass())) {}
  ~TFuzzRoot() override { FItems->Free(); }
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer Value) { FWidth = Value; }
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  Int64 GetBig() const { return FBig; }
  void SetBig(Int64 Value) { FBig = Value; }
  WideString GetTitle() const { return FTitle; }
  void SetTitle(const WideString& Value) { FTitle = Value; }
  TCollection* GetItems() const { return FItems; }
  void SetItems(TCollection* Value) { FItems->Assign(Value); }

 private:
  Integer FWidth = 0;
  bool FVisible = false;
  Int64 FBig = 0;
  WideString FTitle;
  TCollection* FItems;
};

// Hands a read tree to a writer, object by object, under the full names the
// storage gives them: the parent's full name, "/", the name. A root without
// a name still adds its "/", or its children's children would be taken for
// its children.
void Replay(const TcxStreamObjectData& AObject, const AnsiString& APath, TcxStreamWriter& AWriter) {
  AWriter.BeginWriteObject(APath, AObject.ClassName);
  for (const TcxStreamPropertyData& prop : AObject.Properties)
    AWriter.WriteProperty(APath, AObject.ClassName, prop.Name, prop.Value);
  for (const auto& child : AObject.Children) Replay(*child, APath + "/" + child->Name, AWriter);
}

std::string Bytes(TMemoryStream& AStream) {
  return std::string(static_cast<const char*>(AStream.GetMemory()), static_cast<std::size_t>(AStream.GetSize()));
}

bool HasSlash(const TcxStreamObjectData& AObject) {
  if (AObject.Name.find('/') != AnsiString::npos) return true;
  for (const auto& child : AObject.Children)
    if (HasSlash(*child)) return true;
  return false;
}

}  // namespace

ORV_REGISTER(TFuzzItem, ORV_PROP(Text), ORV_PROP(Ratio))
ORV_REGISTER(TFuzzRoot, ORV_PROP(Width), ORV_PROP(Visible), ORV_PROP(Big), ORV_PROP(Title), ORV_PROP(Items))

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<Int64>(size));
  stream.SetPosition(0);
  TcxStreamReader reader(&stream);
  try {
    reader.BeginRead();
  } catch (const EcxStorage&) {
    if (stream.GetPosition() != 0 || reader.GetRoot()) std::abort();
    return 0;
  }
  // Names with "/" cannot be found again by path; the rest must write
  // back to bytes that are stable from then on.
  if (!HasSlash(*reader.GetRoot())) {
    TMemoryStream once;
    TcxStreamWriter writer(&once);
    Replay(*reader.GetRoot(), reader.GetRoot()->Name, writer);
    writer.EndWrite();
    once.SetPosition(0);
    TcxStreamReader again(&once);
    again.BeginRead();
    TMemoryStream twice;
    TcxStreamWriter second(&twice);
    Replay(*again.GetRoot(), again.GetRoot()->Name, second);
    second.EndWrite();
    if (Bytes(once) != Bytes(twice)) std::abort();
  }

  auto* root = New<TFuzzRoot>(nullptr);
  root->SetName(reader.GetRoot()->Name.empty() || !TComponent::IsValidComponentName(reader.GetRoot()->Name)
                    ? AnsiString("Root")
                    : reader.GetRoot()->Name);
  stream.SetPosition(0);
  TcxStorage storage(&stream);
  storage.SetStorageModes(TcxStorageModes{smChildrenCreating, smChildrenDeleting, smSavePublishedClassProperties});
  try {
    storage.RestoreFromStream(root);
  } catch (const Exception&) {
    // Values that do not suit their properties end the restore.
  }
  root->Free();
  return 0;
}
