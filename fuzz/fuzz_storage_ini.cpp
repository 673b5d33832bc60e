// Feeds arbitrary text as a property-storage INI file: reading every
// section's values and restoring an object tree from it (creating and
// deleting children as the file says) must never crash; values that do
// not suit their properties raise one of the library's exceptions.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "library/foundation/cxStorage.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/StringList.h"

namespace {

ORV_ENUM(TFuzzShape, fsCircle, fsSquare)

class TFuzzIniItem : public TCollectionItem {
  ORV_CLASS(TFuzzIniItem, TCollectionItem)
 public:
  explicit TFuzzIniItem(TCollection* ACollection) : TCollectionItem(ACollection) {}
  Set<TFuzzShape> GetShapes() const { return FShapes; }
  void SetShapes(Set<TFuzzShape> Value) { FShapes = Value; }
  TDateTime GetStamp() const { return FStamp; }
  void SetStamp(TDateTime Value) { FStamp = Value; }

 private:
  Set<TFuzzShape> FShapes;
  TDateTime FStamp;
};

class TFuzzIniRoot : public TComponent {
  ORV_CLASS(TFuzzIniRoot, TComponent)
 public:
  explicit TFuzzIniRoot(TComponent* AOwner)
      : TComponent(AOwner), FItems(New<TCollection>(TFuzzIniItem::StaticClass())) {}
  ~TFuzzIniRoot() override { FItems->Free(); }
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer Value) { FWidth = Value; }
  TFuzzShape GetShape() const { return FShape; }
  void SetShape(TFuzzShape Value) { FShape = Value; }
  Word GetSmall() const { return FSmall; }
  void SetSmall(Word Value) { FSmall = Value; }
  double GetRatio() const { return FRatio; }
  void SetRatio(double Value) { FRatio = Value; }
  AnsiString GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& Value) { FCaption = Value; }
  TCollection* GetItems() const { return FItems; }
  void SetItems(TCollection* Value) { FItems->Assign(Value); }

 private:
  Integer FWidth = 0;
  TFuzzShape FShape = fsCircle;
  Word FSmall = 0;
  double FRatio = 0;
  AnsiString FCaption;
  TCollection* FItems;
};

// Walks every section reachable from the root, within a budget. A child
// with an empty name under the root has the root's own path: walking it
// again would only repeat the root's reads until the budget ran out.
void ReadTree(TcxIniFileReader& AReader, const AnsiString& APath, const AnsiString& AClassName, int& ABudget) {
  if (--ABudget < 0) return;
  TStringList names, children, classes;
  AReader.ReadProperties(APath, AClassName, &names);
  for (Integer i = 0; i < names.GetCount(); ++i) (void)AReader.ReadProperty(APath, AClassName, names[i]);
  AReader.ReadChildren(APath, AClassName, &children, &classes);
  for (Integer i = 0; i < children.GetCount(); ++i) {
    const AnsiString path = APath.empty() ? children[i] : APath + "/" + children[i];
    if (path != APath) ReadTree(AReader, path, classes[i], ABudget);
  }
}

}  // namespace

ORV_REGISTER(TFuzzIniItem, ORV_PROP(Shapes), ORV_PROP(Stamp))
ORV_REGISTER(TFuzzIniRoot, ORV_PROP(Width), ORV_PROP(Shape), ORV_PROP(Small), ORV_PROP(Ratio), ORV_PROP(Caption),
             ORV_PROP(Items))

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file = "/tmp/orvanta-fuzz-storage-" + std::to_string(getpid()) + ".ini";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  {
    TcxIniFileReader reader(file);
    int budget = 256;
    ReadTree(reader, AnsiString(), AnsiString(), budget);
  }
  auto* root = New<TFuzzIniRoot>(nullptr);
  root->SetName("Root");
  TcxStorage storage(file);
  storage.SetStorageModes(TcxStorageModes{smChildrenCreating, smChildrenDeleting, smSavePublishedClassProperties});
  try {
    storage.RestoreFromIni(root);
  } catch (const Exception&) {
    // Values that do not suit their properties end the restore.
  }
  root->Free();
  unlink(file.c_str());
  return 0;
}
