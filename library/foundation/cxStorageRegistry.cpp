// The registry store: one key per object under "\<storage name>", typed
// values, the class name in a "[ClassName]" subkey.
#include <cstring>

#include "library/foundation/cxLibraryStrs.h"
#include "library/foundation/cxStorage.h"
#include "library/foundation/cxStorageValues.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/NumberText.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"

ORV_REGISTER(TcxRegistryWriter)
ORV_REGISTER(TcxRegistryReader)

namespace {

constexpr const char* ClassNameKey = "[ClassName]";
constexpr const char* ClassNameValue = "ClassName";

AnsiString StorageKey(const AnsiString& AStorageName) {
  return !AStorageName.empty() && AStorageName.front() == '\\' ? AStorageName : "\\" + AStorageName;
}

// The key of an object: the storage key and every piece of the path.
AnsiString ObjectKey(const AnsiString& AStorageKey, const AnsiString& AObjectFullName) {
  AnsiString key = AStorageKey;
  for (const AnsiString& piece : orv::storage::SplitPath(AObjectFullName)) key += "\\" + piece;
  return key;
}

AnsiString ParentKey(const AnsiString& AStorageKey, const AnsiString& AObjectFullName) {
  std::vector<AnsiString> pieces = orv::storage::SplitPath(AObjectFullName);
  AnsiString key = AStorageKey;
  for (std::size_t i = 0; i + 1 < pieces.size(); ++i) key += "\\" + pieces[i];
  return key;
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxRegistryWriter

TcxRegistryWriter::TcxRegistryWriter(AnsiString AStorageName, bool AReCreate)
    : TcxCustomWriter(std::move(AStorageName), AReCreate), FRegistry(New<TRegistry>()) {
  FKey = StorageKey(GetStorageName());
  if (AReCreate && !GetStorageName().empty()) FRegistry->DeleteKey(FKey);
}

TcxRegistryWriter::~TcxRegistryWriter() { FRegistry->Free(); }

void TcxRegistryWriter::OpenStorageKey() {
  if (FStorageKeyOpened) return;
  bool created = FRegistry->KeyExists(FKey);
  if (!created) {
    try {
      created = FRegistry->CreateKey(FKey);
    } catch (const ERegistryException&) {
      created = false;
    }
  }
  if (!created || !FRegistry->OpenKey(FKey, false))
    throw EcxStorage(cxLibraryString(scxCantCreateRegistryKey), {GetStorageName()});
  FStorageKeyOpened = true;
}

void TcxRegistryWriter::BeginWriteObject(const AnsiString& AObjectFullName, const AnsiString& AClassName) {
  OpenStorageKey();
  const AnsiString key = ObjectKey(FKey, AObjectFullName);
  if (!FRegistry->OpenKey(key + "\\" + ClassNameKey, true))
    throw EcxStorage(cxLibraryString(scxCantCreateRegistryKey), {key});
  FRegistry->WriteString(ClassNameValue, AClassName);
  FRegistry->OpenKey(key, false);
}

void TcxRegistryWriter::EndWriteObject(const AnsiString& AObjectFullName, const AnsiString&) {
  FRegistry->CloseKey();
  FRegistry->OpenKey(ParentKey(FKey, AObjectFullName), false);
}

void TcxRegistryWriter::WriteProperty(const AnsiString&, const AnsiString&, const AnsiString& APropertyName,
                                      const Variant& AValue) {
  using orv::storage::ValueForm;
  switch (orv::storage::FormOf(AValue)) {
    case ValueForm::Whole: {
      const Int64 value = AValue.AsInt64();
      // A DWORD would cut the value; unquoted decimal text reads back whole.
      if (value < INT32_MIN || value > INT32_MAX)
        FRegistry->WriteString(APropertyName, IntToStr(value));
      else
        FRegistry->WriteInteger(APropertyName, static_cast<Integer>(value));
      break;
    }
    case ValueForm::Fraction:
    case ValueForm::DateTime: {
      const double value = AValue.AsDouble();
      FRegistry->WriteBinaryData(APropertyName, &value, sizeof(value));
      break;
    }
    case ValueForm::Boolean: FRegistry->WriteBool(APropertyName, AValue.AsBoolean()); break;
    case ValueForm::Text: FRegistry->WriteString(APropertyName, orv::storage::Quote(VarToStr(AValue))); break;
    case ValueForm::None: break;
  }
}

void TcxRegistryWriter::EndWrite() { FRegistry->CloseKey(); }

// ---------------------------------------------------------------------------
// TcxRegistryReader

TcxRegistryReader::TcxRegistryReader(AnsiString AStorageName)
    : TcxCustomReader(std::move(AStorageName)), FRegistry(New<TRegistry>()) {
  FKey = StorageKey(GetStorageName());
  FRegistry->OpenKeyReadOnly(FKey);
}

TcxRegistryReader::~TcxRegistryReader() { FRegistry->Free(); }

bool TcxRegistryReader::OpenObjectKey(const AnsiString& AObjectFullName) {
  if (FObjectOpened && FOpenObject == AObjectFullName) return true;
  FObjectOpened = FRegistry->OpenKeyReadOnly(ObjectKey(FKey, AObjectFullName));
  FOpenObject = AObjectFullName;
  return FObjectOpened;
}

void TcxRegistryReader::ReadProperties(const AnsiString& AObjectFullName, const AnsiString&, TStrings* APropertyList) {
  FObjectOpened = false;
  if (OpenObjectKey(AObjectFullName)) FRegistry->GetValueNames(APropertyList);
}

void TcxRegistryReader::ReadChildren(const AnsiString& AObjectFullName, const AnsiString&, TStrings* AChildrenNames,
                                     TStrings* AChildrenClassNames) {
  // Only the object's own key has its children; a key that is not there
  // has none (never those of a key opened before).
  if (!OpenObjectKey(AObjectFullName)) return;
  TStringList keys;
  FRegistry->GetKeyNames(&keys);
  for (Integer i = 0; i < keys.GetCount(); ++i)
    if (SameText(keys[i], ClassNameKey)) {
      keys.Delete(i);
      break;
    }
  const AnsiString objectKey = ObjectKey(FKey, AObjectFullName);
  for (Integer i = 0; i < keys.GetCount(); ++i) {
    AnsiString className;
    if (FRegistry->OpenKeyReadOnly(objectKey + "\\" + keys[i] + "\\" + ClassNameKey) &&
        FRegistry->GetDataType(ClassNameValue) == rdString)
      className = FRegistry->ReadString(ClassNameValue);
    AChildrenNames->Add(keys[i]);
    AChildrenClassNames->Add(className);
  }
  FObjectOpened = false;
  OpenObjectKey(AObjectFullName);
}

Variant TcxRegistryReader::ReadProperty(const AnsiString& AObjectFullName, const AnsiString&,
                                        const AnsiString& APropertyName) {
  if (!OpenObjectKey(AObjectFullName)) return {};
  switch (FRegistry->GetDataType(APropertyName)) {
    case rdString:
    case rdExpandString: return orv::storage::TextToValue(FRegistry->ReadString(APropertyName));
    case rdInteger: return Variant(FRegistry->ReadInteger(APropertyName));
    case rdBinary: {
      // Only the 8 bytes of a double are a value of ours.
      if (FRegistry->GetDataSize(APropertyName) != static_cast<Integer>(sizeof(double))) return {};
      double value;
      FRegistry->ReadBinaryData(APropertyName, &value, sizeof(value));
      return Variant(value);
    }
    default: return {};
  }
}
