#include "library/foundation/cxStorage.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "library/foundation/cxLibraryStrs.h"
#include "library/foundation/cxStorageValues.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/NumberText.h"
#include "platform/rtl/StringList.h"

ORV_REGISTER(TcxCustomReader)
ORV_REGISTER(TcxCustomWriter)
ORV_REGISTER(TcxStorage)
ORV_REGISTER(EcxStorage)
ORV_REGISTER(EcxHexStringConvertError)

void TcxCustomReader::ReadChildren(const AnsiString&, const AnsiString&, TStrings*, TStrings*) {}
void TcxCustomReader::ReadProperties(const AnsiString&, const AnsiString&, TStrings*) {}
Variant TcxCustomReader::ReadProperty(const AnsiString&, const AnsiString&, const AnsiString&) { return {}; }

void TcxCustomWriter::BeginWriteObject(const AnsiString&, const AnsiString&) {}
void TcxCustomWriter::EndWriteObject(const AnsiString&, const AnsiString&) {}
void TcxCustomWriter::WriteProperty(const AnsiString&, const AnsiString&, const AnsiString&, const Variant&) {}

namespace {

[[noreturn]] void ConvertError(const AnsiString& AText) {
  throw EPropertyConvertError(cxLibraryString(scxInvalidPropertyElement), {AText});
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxStorage: entry points

TcxStorage::TcxStorage(const AnsiString& AStorageName) : FStorageName(AStorageName) {}

TcxStorage::TcxStorage(TStream* AStream) : FStorageStream(AStream) {}

void TcxStorage::StoreToRegistry(TObject* AObject) { StoreTo(AObject, TcxRegistryWriter::StaticClass()); }

void TcxStorage::StoreToIni(TObject* AObject) { StoreTo(AObject, TcxIniFileWriter::StaticClass()); }

void TcxStorage::StoreToStream(TObject* AObject) {
  if (!FStorageStream) return;
  TOwned<TcxCustomWriter> writer(New<TcxStreamWriter>(FStorageStream));
  StoreWithExistingWriter(AObject, writer.get());
}

void TcxStorage::RestoreFromRegistry(TObject* AObject) { RestoreFrom(AObject, TcxRegistryReader::StaticClass()); }

void TcxStorage::RestoreFromIni(TObject* AObject) {
  if (FileExists(FStorageName)) RestoreFrom(AObject, TcxIniFileReader::StaticClass());
}

void TcxStorage::RestoreFromStream(TObject* AObject) {
  if (!FStorageStream || FStorageStream->GetSize() == 0) return;
  TOwned<TcxCustomReader> reader(New<TcxStreamReader>(FStorageStream));
  RestoreWithExistingReader(AObject, reader.get());
}

void TcxStorage::StoreTo(TObject* AObject, TcxCustomWriterClass AWriterClass) {
  TOwned<TcxCustomWriter> writer(AWriterClass.Construct<AnsiString, bool>(FStorageName, FReCreate));
  StoreWithExistingWriter(AObject, writer.get());
}

void TcxStorage::RestoreFrom(TObject* AObject, TcxCustomReaderClass AReaderClass) {
  TOwned<TcxCustomReader> reader(AReaderClass.Construct<AnsiString>(FStorageName));
  RestoreWithExistingReader(AObject, reader.get());
}

void TcxStorage::StoreWithExistingWriter(TObject* AObject, TcxCustomWriter* AWriter) {
  if (!AWriter) return;
  FStoredObject = AObject;
  InternalStoreTo(AWriter, AnsiString());
  AWriter->EndWrite();
}

void TcxStorage::RestoreWithExistingReader(TObject* AObject, TcxCustomReader* AReader) {
  if (!AReader) return;
  FStoredObject = AObject;
  AReader->BeginRead();
  InternalRestoreFrom(AReader, AnsiString());
}

// ---------------------------------------------------------------------------
// TcxStorage: the walk

TcxStorageModes TcxStorage::EffectiveModes() {
  return OnGetStorageModes.Assigned() ? OnGetStorageModes(this) : FStorageModes;
}

bool TcxStorage::EffectiveUseInterfaceOnly() {
  return OnGetUseInterfaceOnly.Assigned() ? OnGetUseInterfaceOnly(this) : FUseInterfaceOnly;
}

AnsiString TcxStorage::GetObjectName(TObject* AObject) {
  if (!AObject) AObject = FStoredObject;
  if (auto* stored = dynamic_cast<IcxStoredObject*>(AObject)) return stored->GetObjectName();
  if (auto* component = dynamic_cast<TComponent*>(AObject)) return component->GetName();
  return "Object";
}

void TcxStorage::GetProperties(TStrings* AProperties) {
  if (auto* stored = dynamic_cast<IcxStoredObject*>(FStoredObject))
    if (stored->GetProperties(AProperties)) return;
  AProperties->Clear();
  for (const TPropInfo* prop : GetPropList(FStoredObject))
    if (prop->PropType && prop->PropType->Kind != tkMethod) AProperties->Add(prop->Name);
}

Variant TcxStorage::GetPropertyValue(const AnsiString& AName) {
  Variant value;
  bool handled = false;
  const TPropInfo* prop = EffectiveUseInterfaceOnly() ? nullptr : GetPropInfo(FStoredObject, AName);
  if (prop && prop->PropType) {
    handled = true;
    switch (prop->PropType->Kind) {
      case tkInteger:
      case tkChar:
      case tkWChar: value = orv::storage::IntegerValue(GetOrdProp(FStoredObject, prop)); break;
      case tkEnumeration: value = GetEnumProp(FStoredObject, prop); break;
      case tkFloat: value = static_cast<double>(GetFloatProp(FStoredObject, prop)); break;
      case tkString:
      case tkLString: value = GetStrProp(FStoredObject, prop); break;
      case tkSet: value = GetSetProp(FStoredObject, prop, true); break;
      case tkWString: value = GetWideStrProp(FStoredObject, prop); break;
      case tkVariant: value = GetVariantProp(FStoredObject, prop); break;
      case tkInt64: value = GetInt64Prop(FStoredObject, prop); break;
      case tkClass:
        handled = FStoreComponentsByName;
        if (handled)
          if (auto* component = dynamic_cast<TComponent*>(GetObjectProp(FStoredObject, prop)))
            value = component->GetName();
        break;
      default: handled = false; break;
    }
  }
  if (!handled)
    if (auto* stored = dynamic_cast<IcxStoredObject*>(FStoredObject)) stored->GetPropertyValue(AName, value);
  if (VarType(value) == varBoolean) value = AnsiString(value.AsBoolean() ? "True" : "False");
  return value;
}

void TcxStorage::SetPropertyValue(const AnsiString& AName, const Variant& AValue) {
  if (VarIsEmpty(AValue)) return;
  const TPropInfo* prop = EffectiveUseInterfaceOnly() ? nullptr : GetPropInfo(FStoredObject, AName);
  if (prop && prop->PropType && prop->IsWritable()) {
    const TTypeInfo* type = prop->PropType;
    switch (type->Kind) {
      case tkInteger:
      case tkChar:
      case tkWChar: {
        const Int64 value = AValue.AsInt64();
        // A stored number the property cannot hold would be cut silently.
        if (value < type->MinValue || value > type->MaxValue) ConvertError(VarToStr(AValue));
        SetOrdProp(FStoredObject, prop, value);
        return;
      }
      case tkEnumeration: {
        const Integer value = GetEnumValue(type, VarToStr(AValue));
        if (value < 0) ConvertError(VarToStr(AValue));
        SetOrdProp(FStoredObject, prop, value);
        return;
      }
      case tkFloat: SetFloatProp(FStoredObject, prop, AValue.AsDouble()); return;
      case tkString:
      case tkLString: SetStrProp(FStoredObject, prop, VarToStr(AValue)); return;
      case tkSet: {
        const TTypeInfo* element = type->CompType;
        if (!element) break;
        std::uint32_t bits = 0;
        StringToSet(VarToStr(AValue), &bits, sizeof(bits), element->EnumNames);
        SetOrdProp(FStoredObject, prop, bits);
        return;
      }
      case tkWString: SetWideStrProp(FStoredObject, prop, AValue.AsWideString()); return;
      case tkVariant: SetVariantProp(FStoredObject, prop, AValue); return;
      case tkInt64: SetInt64Prop(FStoredObject, prop, AValue.AsInt64()); return;
      case tkClass:
        if (FStoreComponentsByName && VarIsStr(AValue) && type->ClassType &&
            type->ClassType->InheritsFrom(TComponent::StaticClass())) {
          if (OnGetComponentByName.Assigned())
            if (TComponent* component = OnGetComponentByName(this, VarToStr(AValue)))
              SetObjectProp(FStoredObject, prop, component);
          return;
        }
        break;
      default: break;
    }
  }
  if (auto* stored = dynamic_cast<IcxStoredObject*>(FStoredObject)) stored->SetPropertyValue(AName, AValue);
}

void TcxStorage::GetChildren(TChildList& AChildren) {
  auto* parent = dynamic_cast<IcxStoredParent*>(FStoredObject);
  if (parent) {
    TStringList list;
    parent->GetStoredChildren(&list);
    for (Integer i = 0; i < list.GetCount(); ++i) AChildren.emplace_back(list[i], list.GetObject(i));
  }
  if (!EffectiveModes().Contains(smSavePublishedClassProperties)) return;
  if (auto* collection = dynamic_cast<TCollection*>(FStoredObject); collection && !parent)
    for (Integer i = 0; i < collection->GetCount(); ++i) AChildren.emplace_back(IntToStr(i), collection->GetItem(i));
  for (const TPropInfo* prop : GetPropList(FStoredObject)) {
    if (!prop->PropType || prop->PropType->Kind != tkClass || !prop->GetObj) continue;
    TObject* child = GetObjectProp(FStoredObject, prop);
    if (child && (!OnTestClassProperty.Assigned() || OnTestClassProperty(this, prop->Name, child)))
      AChildren.emplace_back(prop->Name, child);
  }
}

TObject* TcxStorage::CreateChild(const AnsiString& AObjectName, const AnsiString& AClassName) {
  TObject* child = nullptr;
  if (auto* parent = dynamic_cast<IcxStoredParent*>(FStoredObject))
    child = parent->CreateChild(AObjectName, AClassName);
  if (!child)
    if (auto* collection = dynamic_cast<TCollection*>(FStoredObject)) child = collection->Add();
  return child;
}

void TcxStorage::DeleteChild(const AnsiString& AObjectName, TObject* AObject) {
  if (auto* parent = dynamic_cast<IcxStoredParent*>(FStoredObject))
    parent->DeleteChild(AObjectName, AObject);
  else if (dynamic_cast<TCollection*>(FStoredObject))
    AObject->Free();
}

TOwned<TcxStorage> TcxStorage::CreateChildStorage(TObject* AChild, const AnsiString& AFullName) {
  TOwned<TcxStorage> storage(New<TcxStorage>(FStorageName));
  storage->FObjectNamePrefix = AFullName + "/";
  storage->FStoredObject = AChild;
  storage->FStorageStream = FStorageStream;
  // The walk goes on under the modes it started with, whoever answered them.
  storage->FStorageModes = EffectiveModes();
  storage->FStoreComponentsByName = FStoreComponentsByName;
  storage->OnGetComponentByName = OnGetComponentByName;
  storage->OnTestClassProperty = OnTestClassProperty;
  return storage;
}

void TcxStorage::FullName(const AnsiString& AObjectName, AnsiString& AFullName, AnsiString& AClassName) {
  AnsiString name = AObjectName.empty() ? GetObjectName() : AObjectName;
  if (!FNamePrefix.empty()) name = FNamePrefix + "." + name;
  AFullName = FObjectNamePrefix + name;
  AClassName = FStoredObject->ClassName();
}

void TcxStorage::InternalStoreTo(TcxCustomWriter* AWriter, const AnsiString& AObjectName) {
  if (!FStoredObject) return;
  AnsiString fullName, className;
  FullName(AObjectName, fullName, className);
  AWriter->BeginWriteObject(fullName, className);
  TStringList properties;
  GetProperties(&properties);
  for (Integer i = 0; i < properties.GetCount(); ++i) {
    const Variant value = GetPropertyValue(properties[i]);
    if (!VarIsNull(value)) AWriter->WriteProperty(fullName, className, properties[i], value);
  }
  TChildList children;
  GetChildren(children);
  for (const auto& [name, child] : children) {
    if (!child) continue;
    CreateChildStorage(child, fullName)->InternalStoreTo(AWriter, name);
  }
  AWriter->EndWriteObject(fullName, className);
}

void TcxStorage::InternalRestoreFrom(TcxCustomReader* AReader, const AnsiString& AObjectName) {
  if (!FStoredObject) return;
  AnsiString fullName, className;
  FullName(AObjectName, fullName, className);
  TStringList properties;
  AReader->ReadProperties(fullName, className, &properties);
  for (Integer i = 0; i < properties.GetCount(); ++i) {
    if (properties[i].empty()) continue;
    const Variant value = AReader->ReadProperty(fullName, className, properties[i]);
    if (!VarIsNull(value)) SetPropertyValue(properties[i], value);
  }
  TStringList storedNames, storedClasses;
  AReader->ReadChildren(fullName, className, &storedNames, &storedClasses);

  TChildList existing;
  GetChildren(existing);
  for (auto& [name, child] : existing)
    if (name.empty() && child) name = GetObjectName(child);

  // Each stored child meets the first existing one of its name not met
  // yet; those never met are the ones a restore may delete.
  // unmet holds the first of each name, sameName[k] the next one after k.
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::unordered_map<AnsiString, std::size_t> unmet;
  std::vector<std::size_t> sameName(existing.size(), kNone);
  for (std::size_t k = existing.size(); k-- > 0;) {
    auto [it, added] = unmet.try_emplace(existing[k].first, k);
    if (!added) sameName[k] = std::exchange(it->second, k);
  }
  std::vector<bool> met(existing.size(), false);

  const TcxStorageModes modes = EffectiveModes();
  for (Integer i = 0; i < storedNames.GetCount(); ++i) {
    const AnsiString name = storedNames[i];
    TObject* child = nullptr;
    auto found = unmet.find(name);
    if (found != unmet.end() && found->second != kNone) {
      const std::size_t k = found->second;
      found->second = sameName[k];
      met[k] = true;
      child = existing[k].second;
    } else if (modes.Contains(smChildrenCreating)) {
      child = CreateChild(name, i < storedClasses.GetCount() ? storedClasses[i] : AnsiString());
    }
    if (child) CreateChildStorage(child, fullName)->InternalRestoreFrom(AReader, name);
  }
  if (modes.Contains(smChildrenDeleting))
    for (std::size_t k = 0; k < existing.size(); ++k)
      if (!met[k] && existing[k].second) DeleteChild(existing[k].first, existing[k].second);
}

// ---------------------------------------------------------------------------
// Text conversions

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

AnsiString StringToHexString(const AnsiString& AText) {
  AnsiString hex;
  hex.reserve(AText.size() * 2);
  for (unsigned char c : AText) {
    hex += HexDigits[c >> 4];
    hex += HexDigits[c & 15];
  }
  return hex;
}

AnsiString HexStringToString(const AnsiString& AText) {
  AnsiString bytes;
  bytes.reserve(AText.size() / 2);
  for (std::size_t i = 0; i + 1 < AText.size(); i += 2) {
    const int high = HexValue(AText[i]);
    const int low = HexValue(AText[i + 1]);
    if (high < 0 || low < 0)
      throw EcxHexStringConvertError("'%s' is not a valid hexadecimal value", {AText.substr(i, 2)});
    bytes += static_cast<char>(high * 16 + low);
  }
  return bytes;
}

AnsiString StreamToString(TStream* AStream) {
  if (!AStream || AStream->GetSize() == 0) return AnsiString();
  AnsiString bytes(static_cast<std::size_t>(AStream->GetSize()), '\0');
  AStream->SetPosition(0);
  AStream->ReadBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
  return "Hex:" + StringToHexString(bytes);
}

void StringToStream(const AnsiString& AText, TStream* AStream) {
  if (!AStream || AText.size() < 6) return;
  const AnsiString bytes = HexStringToString(AText.substr(4));
  AStream->WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
}

bool StringToBoolean(const AnsiString& AText) {
  const AnsiString text = UpperCase(AText);
  if (text == "TRUE") return true;
  if (text == "FALSE") return false;
  ConvertError(AText);
}

AnsiString EnumerationToString(Integer AValue, const std::vector<AnsiString>& ANames) {
  if (AValue < 0 || AValue >= static_cast<Integer>(ANames.size())) ConvertError(IntToStr(AValue));
  return ANames[AValue];
}

Integer StringToEnumeration(const AnsiString& AText, const std::vector<AnsiString>& ANames) {
  for (std::size_t i = 0; i < ANames.size(); ++i)
    if (SameText(ANames[i], AText)) return static_cast<Integer>(i);
  ConvertError(AText);
}

namespace {
Integer SetBits(Integer ASize) { return std::clamp(ASize, 0, 4) * 8; }
}  // namespace

AnsiString SetToString(const void* ASet, Integer ASize, const std::vector<AnsiString>& ANames) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, ASet, static_cast<std::size_t>(SetBits(ASize) / 8));
  AnsiString text = "[";
  bool first = true;
  for (Integer bit = 0; bit < SetBits(ASize); ++bit) {
    if (!((bits >> bit) & 1)) continue;
    if (bit >= static_cast<Integer>(ANames.size())) ConvertError(IntToStr(bit));
    if (!first) text += ",";
    text += ANames[bit];
    first = false;
  }
  return text + "]";
}

void StringToSet(const AnsiString& AText, void* ASet, Integer ASize, const std::vector<AnsiString>& ANames) {
  if (AText.size() < 2 || AText.front() != '[' || AText.back() != ']') ConvertError(AText);
  std::uint32_t bits = 0;
  const AnsiString inner = AText.substr(1, AText.size() - 2);
  std::size_t start = 0;
  while (!inner.empty()) {
    const std::size_t comma = inner.find(',', start);
    const AnsiString element = inner.substr(start, comma == AnsiString::npos ? AnsiString::npos : comma - start);
    for (std::size_t i = 0; i < ANames.size() && i < 32; ++i)
      if (SameText(ANames[i], element)) {
        bits |= std::uint32_t(1) << i;
        break;
      }
    if (comma == AnsiString::npos) break;
    start = comma + 1;
  }
  std::memcpy(ASet, &bits, static_cast<std::size_t>(SetBits(ASize) / 8));
}
