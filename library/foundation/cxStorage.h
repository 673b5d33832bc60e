// Property storage: saves the state of an object tree (an object, its
// published properties and, recursively, its child objects) to a store and
// restores it later, creating and deleting children as the stored tree
// demands. TcxStorage walks the tree; a writer or reader maps the walk onto
// a store: a registry key, an INI file or a stream. Objects take part
// through their published properties or through IcxStoredObject and
// IcxStoredParent.
//
// Objects are named by their full path in the store: the names from the
// root joined by "/" (Grid/Rows/0). Values travel as variants; the text
// stores quote strings so that a reader tells them from numbers, and write
// numbers and dates in one fixed notation ("1.5", "2024-03-01 12:30:00")
// whatever the locale, reading the locale's own notation too.
#pragma once

#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "library/foundation/cxClasses.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Owned.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Variant.h"

class TRegistry;
class TMemIniFile;
class TStringList;

ORV_ENUM(TcxStorageMode, smChildrenCreating, smChildrenDeleting, smSavePublishedClassProperties)
using TcxStorageModes = Set<TcxStorageMode>;

ORV_EXCEPTION(EcxStorage, Exception)
ORV_EXCEPTION(EcxHexStringConvertError, Exception)

// An object that names itself and lists and moves its own values.
class IcxStoredObject {
 public:
  virtual ~IcxStoredObject() = default;
  virtual AnsiString GetObjectName() = 0;
  // Fills the names of the properties to store; false asks for every
  // published property instead.
  virtual bool GetProperties(TStrings* AProperties) = 0;
  virtual void GetPropertyValue(const AnsiString& AName, Variant& AValue) = 0;
  virtual void SetPropertyValue(const AnsiString& AName, const Variant& AValue) = 0;
};

// An object whose children are stored with it.
class IcxStoredParent {
 public:
  virtual ~IcxStoredParent() = default;
  // The new child, or null.
  virtual TObject* CreateChild(const AnsiString& AObjectName, const AnsiString& AClassName) = 0;
  virtual void DeleteChild(const AnsiString& AObjectName, TObject* AObject) = 0;
  // Names, each with its child as the entry's object; a name may be empty.
  virtual void GetStoredChildren(TStringList* AChildren) = 0;
};

// ---------------------------------------------------------------------------
// Readers and writers.

class TcxCustomReader : public TObject {
  ORV_CLASS(TcxCustomReader, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(AnsiString)>;
  explicit TcxCustomReader(AnsiString AStorageName) : FStorageName(std::move(AStorageName)) {}

  // Called once before the first object is read.
  virtual void BeginRead() {}
  virtual void ReadChildren(const AnsiString& AObjectFullName, const AnsiString& AClassName, TStrings* AChildrenNames,
                            TStrings* AChildrenClassNames);
  virtual void ReadProperties(const AnsiString& AObjectFullName, const AnsiString& AClassName,
                              TStrings* APropertyList);
  virtual Variant ReadProperty(const AnsiString& AObjectFullName, const AnsiString& AClassName,
                               const AnsiString& APropertyName);

  const AnsiString& GetStorageName() const { return FStorageName; }

 private:
  AnsiString FStorageName;
};

class TcxCustomWriter : public TObject {
  ORV_CLASS(TcxCustomWriter, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(AnsiString, bool)>;
  TcxCustomWriter(AnsiString AStorageName, bool AReCreate)
      : FStorageName(std::move(AStorageName)), FReCreate(AReCreate) {}

  virtual void BeginWriteObject(const AnsiString& AObjectFullName, const AnsiString& AClassName);
  virtual void EndWriteObject(const AnsiString& AObjectFullName, const AnsiString& AClassName);
  virtual void WriteProperty(const AnsiString& AObjectFullName, const AnsiString& AClassName,
                             const AnsiString& APropertyName, const Variant& AValue);
  // Called once after the last object: puts what was collected into the
  // store, raising when that fails.
  virtual void EndWrite() {}

  const AnsiString& GetStorageName() const { return FStorageName; }
  bool GetReCreate() const { return FReCreate; }

 private:
  AnsiString FStorageName;
  bool FReCreate;
};

using TcxCustomReaderClass = TClassRef<TcxCustomReader>;
using TcxCustomWriterClass = TClassRef<TcxCustomWriter>;

// The registry under HKEY_CURRENT_USER: key "\<storage name>" holds the
// root object's key; each object's key holds one value per property and a
// subkey "[ClassName]" whose string value "ClassName" is the class name;
// children's keys lie inside their parent's.
class TcxRegistryWriter : public TcxCustomWriter {
  ORV_CLASS(TcxRegistryWriter, TcxCustomWriter)
 public:
  // With AReCreate the whole storage key goes first.
  TcxRegistryWriter(AnsiString AStorageName, bool AReCreate);
  ~TcxRegistryWriter() override;

  void BeginWriteObject(const AnsiString& AObjectFullName, const AnsiString& AClassName) override;
  void EndWriteObject(const AnsiString& AObjectFullName, const AnsiString& AClassName) override;
  // Integers as DWORD (a 64-bit value beyond 32 bits as unquoted decimal
  // text), single, double, currency and dates as an 8-byte binary double,
  // Booleans as DWORD 0 or 1, strings in double quotes.
  void WriteProperty(const AnsiString& AObjectFullName, const AnsiString& AClassName, const AnsiString& APropertyName,
                     const Variant& AValue) override;
  void EndWrite() override;

 private:
  void OpenStorageKey();
  TRegistry* FRegistry;
  AnsiString FKey;
  bool FStorageKeyOpened = false;
};

class TcxRegistryReader : public TcxCustomReader {
  ORV_CLASS(TcxRegistryReader, TcxCustomReader)
 public:
  explicit TcxRegistryReader(AnsiString AStorageName);
  ~TcxRegistryReader() override;

  // An object whose key does not open has no children.
  void ReadChildren(const AnsiString& AObjectFullName, const AnsiString& AClassName, TStrings* AChildrenNames,
                    TStrings* AChildrenClassNames) override;
  void ReadProperties(const AnsiString& AObjectFullName, const AnsiString& AClassName,
                      TStrings* APropertyList) override;
  Variant ReadProperty(const AnsiString& AObjectFullName, const AnsiString& AClassName,
                       const AnsiString& APropertyName) override;

 private:
  bool OpenObjectKey(const AnsiString& AObjectFullName);
  TRegistry* FRegistry;
  AnsiString FKey;
  AnsiString FOpenObject;
  bool FObjectOpened = false;
};

// An INI file: one section "<full path>: <class name>" per object, opened
// by an empty key ("=" line), then one key per property.
class TcxIniFileWriter : public TcxCustomWriter {
  ORV_CLASS(TcxIniFileWriter, TcxCustomWriter)
 public:
  // With AReCreate everything the file held is dropped.
  TcxIniFileWriter(AnsiString AStorageName, bool AReCreate);
  ~TcxIniFileWriter() override;

  void BeginWriteObject(const AnsiString& AObjectFullName, const AnsiString& AClassName) override;
  void WriteProperty(const AnsiString& AObjectFullName, const AnsiString& AClassName, const AnsiString& APropertyName,
                     const Variant& AValue) override;
  // Writes the file.
  void EndWrite() override;

 private:
  TMemIniFile* FIniFile;
};

class TcxIniFileReader : public TcxCustomReader {
  ORV_CLASS(TcxIniFileReader, TcxCustomReader)
 public:
  explicit TcxIniFileReader(AnsiString AStorageName);
  ~TcxIniFileReader() override;

  // Sections whose path (compared without regard to case) lies directly
  // below the object's, in file order.
  void ReadChildren(const AnsiString& AObjectFullName, const AnsiString& AClassName, TStrings* AChildrenNames,
                    TStrings* AChildrenClassNames) override;
  void ReadProperties(const AnsiString& AObjectFullName, const AnsiString& AClassName,
                      TStrings* APropertyList) override;
  Variant ReadProperty(const AnsiString& AObjectFullName, const AnsiString& AClassName,
                       const AnsiString& APropertyName) override;

 private:
  struct Section {
    AnsiString ParentPath;  // upper-cased, each parent followed by "/"
    AnsiString ObjectName;
    AnsiString ClassName;
  };
  void BuildSections();
  TMemIniFile* FIniFile;
  std::vector<Section> FSections;
  // The sections below each parent path, in file order.
  std::unordered_map<AnsiString, std::vector<std::size_t>> FChildren;
  bool FSectionsBuilt = false;
};

// The in-memory tree of the stream store.
struct TcxStreamPropertyData {
  AnsiString Name;
  Variant Value;
};

struct TcxStreamObjectData {
  AnsiString Name;
  AnsiString ClassName;
  std::vector<TcxStreamPropertyData> Properties;
  std::vector<std::unique_ptr<TcxStreamObjectData>> Children;
};

// Finds a node's child by name (the first of that name) without walking
// its siblings: a node's children are indexed on the first look-up among
// them, and children added later join the index.
class TcxStreamChildIndex {
 public:
  TcxStreamObjectData* Find(TcxStreamObjectData* AParent, const AnsiString& AName);
  // AChild was just put at the end of AParent's children.
  void Added(TcxStreamObjectData* AParent, TcxStreamObjectData* AChild);
  void Clear() { FIndex.clear(); }

 private:
  std::unordered_map<const TcxStreamObjectData*, std::unordered_map<AnsiString, TcxStreamObjectData*>> FIndex;
};

// The largest buffer the stream store hands to the stream at once.
constexpr Integer cxBufferSize = 500000;

// A binary stream, depth first and without a header: name, class name,
// property count, then per property its name, kind (1-9) and value, then
// child count and the children, all as component-stream value items.
class TcxStreamWriter : public TcxCustomWriter {
  ORV_CLASS(TcxStreamWriter, TcxCustomWriter)
 public:
  explicit TcxStreamWriter(TStream* AStream) : TcxCustomWriter(AnsiString(), false), FStream(AStream) {}

  void BeginWriteObject(const AnsiString& AObjectFullName, const AnsiString& AClassName) override;
  void WriteProperty(const AnsiString& AObjectFullName, const AnsiString& AClassName, const AnsiString& APropertyName,
                     const Variant& AValue) override;
  // Writes the collected tree at the stream's position and forgets it.
  void EndWrite() override;

  const TcxStreamObjectData* GetRoot() const { return FRoot.get(); }

 private:
  TStream* FStream;
  std::unique_ptr<TcxStreamObjectData> FRoot;
  TcxStreamObjectData* FCurrent = nullptr;
  TcxStreamChildIndex FChildren;
};

class TcxStreamReader : public TcxCustomReader {
  ORV_CLASS(TcxStreamReader, TcxCustomReader)
 public:
  explicit TcxStreamReader(TStream* AStream) : TcxCustomReader(AnsiString()), FStream(AStream) {}

  // Reads the whole tree from the stream's position. A stream that does
  // not hold a whole, well-formed tree raises EcxStorage; the stream goes
  // back to where it was and the reader keeps no tree.
  void BeginRead() override;
  void ReadChildren(const AnsiString& AObjectFullName, const AnsiString& AClassName, TStrings* AChildrenNames,
                    TStrings* AChildrenClassNames) override;
  void ReadProperties(const AnsiString& AObjectFullName, const AnsiString& AClassName,
                      TStrings* APropertyList) override;
  Variant ReadProperty(const AnsiString& AObjectFullName, const AnsiString& AClassName,
                       const AnsiString& APropertyName) override;

  const TcxStreamObjectData* GetRoot() const { return FRoot.get(); }

 private:
  const TcxStreamObjectData* FindObject(const AnsiString& AObjectFullName);
  TStream* FStream;
  std::unique_ptr<TcxStreamObjectData> FRoot;
  AnsiString FLastPath;
  const TcxStreamObjectData* FLastObject = nullptr;
  TcxStreamChildIndex FChildren;
  // The properties of the object last read from, by name (the first of
  // each): a restore reads every property of an object in turn, and a walk
  // along the list for each would cost the square of their count.
  const TcxStreamObjectData* FIndexedObject = nullptr;
  std::unordered_map<AnsiString, const Variant*> FPropertyIndex;
};

// ---------------------------------------------------------------------------
// The storage.

using TcxGetStorageModesEvent = Event<TcxStorageModes(TObject* Sender)>;
using TcxGetComponentByNameEvent = Event<TComponent*(TObject* Sender, const AnsiString& AName)>;
using TcxTestClassPropertyEvent = Event<bool(TObject* Sender, const AnsiString& AName, TObject* AObject)>;
using TcxGetUseInterfaceOnlyEvent = Event<bool(TObject* Sender)>;

class TcxStorage : public TObject {
  ORV_CLASS(TcxStorage, TObject)
 public:
  // A registry key or an INI file name.
  explicit TcxStorage(const AnsiString& AStorageName);
  explicit TcxStorage(TStream* AStream);

  void StoreToRegistry(TObject* AObject);
  void StoreToIni(TObject* AObject);
  // Only with a stream set.
  void StoreToStream(TObject* AObject);
  void RestoreFromRegistry(TObject* AObject);
  // Only when the file exists.
  void RestoreFromIni(TObject* AObject);
  // Only with a stream set that is not empty.
  void RestoreFromStream(TObject* AObject);

  virtual void StoreTo(TObject* AObject, TcxCustomWriterClass AWriterClass);
  virtual void RestoreFrom(TObject* AObject, TcxCustomReaderClass AReaderClass);
  // With a writer or reader the caller keeps (nothing for null).
  virtual void StoreWithExistingWriter(TObject* AObject, TcxCustomWriter* AWriter);
  virtual void RestoreWithExistingReader(TObject* AObject, TcxCustomReader* AReader);

  const AnsiString& GetNamePrefix() const { return FNamePrefix; }
  void SetNamePrefix(const AnsiString& Value) { FNamePrefix = Value; }
  TcxStorageModes GetStorageModes() const { return FStorageModes; }
  void SetStorageModes(TcxStorageModes Value) { FStorageModes = Value; }
  bool GetReCreate() const { return FReCreate; }
  void SetReCreate(bool Value) { FReCreate = Value; }
  const AnsiString& GetStorageName() const { return FStorageName; }
  void SetStorageName(const AnsiString& Value) { FStorageName = Value; }
  TStream* GetStorageStream() const { return FStorageStream; }
  void SetStorageStream(TStream* Value) { FStorageStream = Value; }
  TObject* GetStoredObject() const { return FStoredObject; }
  void SetStoredObject(TObject* Value) { FStoredObject = Value; }
  bool GetStoreComponentsByName() const { return FStoreComponentsByName; }
  void SetStoreComponentsByName(bool Value) { FStoreComponentsByName = Value; }
  bool GetUseInterfaceOnly() const { return FUseInterfaceOnly; }
  void SetUseInterfaceOnly(bool Value) { FUseInterfaceOnly = Value; }

  TcxGetStorageModesEvent OnGetStorageModes;
  TcxGetComponentByNameEvent OnGetComponentByName;
  TcxTestClassPropertyEvent OnTestClassProperty;
  TcxGetUseInterfaceOnlyEvent OnGetUseInterfaceOnly;

 protected:
  virtual void InternalRestoreFrom(TcxCustomReader* AReader, const AnsiString& AObjectName);
  virtual void InternalStoreTo(TcxCustomWriter* AWriter, const AnsiString& AObjectName);

  // The object's name in the store (the stored object's for null).
  AnsiString GetObjectName(TObject* AObject = nullptr);
  void GetProperties(TStrings* AProperties);
  Variant GetPropertyValue(const AnsiString& AName);
  void SetPropertyValue(const AnsiString& AName, const Variant& AValue);

 private:
  using TChildList = std::vector<std::pair<AnsiString, TObject*>>;
  TcxStorageModes EffectiveModes();
  bool EffectiveUseInterfaceOnly();
  void GetChildren(TChildList& AChildren);
  TObject* CreateChild(const AnsiString& AObjectName, const AnsiString& AClassName);
  void DeleteChild(const AnsiString& AObjectName, TObject* AObject);
  TOwned<TcxStorage> CreateChildStorage(TObject* AChild, const AnsiString& AFullName);
  void FullName(const AnsiString& AObjectName, AnsiString& AFullName, AnsiString& AClassName);

  AnsiString FNamePrefix;
  TcxStorageModes FStorageModes;
  AnsiString FObjectNamePrefix;  // the parent's full path and "/" for a child
  bool FReCreate = true;
  AnsiString FStorageName;
  TStream* FStorageStream = nullptr;
  TObject* FStoredObject = nullptr;
  bool FStoreComponentsByName = false;
  bool FUseInterfaceOnly = false;
};

// ---------------------------------------------------------------------------
// Text conversions.

// "Hex:" and the whole stream from position 0 in upper-case hexadecimal;
// empty for no stream or an empty one.
AnsiString StreamToString(TStream* AStream);
// Drops the first four characters and writes the decoded rest at the
// stream's position (texts shorter than six characters write nothing).
void StringToStream(const AnsiString& AText, TStream* AStream);
AnsiString StringToHexString(const AnsiString& AText);
// Pairs of digits; a trailing odd digit is ignored; any other character
// raises EcxHexStringConvertError.
AnsiString HexStringToString(const AnsiString& AText);
// "TRUE" or "FALSE" in any case; anything else raises EPropertyConvertError.
bool StringToBoolean(const AnsiString& AText);
AnsiString EnumerationToString(Integer AValue, const std::vector<AnsiString>& ANames);
Integer StringToEnumeration(const AnsiString& AText, const std::vector<AnsiString>& ANames);
// The bits of the first ASize bytes (at most 32 bits) as "[name,name]".
AnsiString SetToString(const void* ASet, Integer ASize, const std::vector<AnsiString>& ANames);
// "[name,...]" (brackets required; elements as they stand, names without
// regard to case, unknown ones ignored) into the first ASize bytes of ASet.
void StringToSet(const AnsiString& AText, void* ASet, Integer ASize, const std::vector<AnsiString>& ANames);
