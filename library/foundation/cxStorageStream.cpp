// The stream store: the tree collected in memory, written depth first as
// component-stream value items, and read back whole before any of it is
// used.
#include <cfloat>
#include <cmath>

#include "library/foundation/cxStorage.h"
#include "library/foundation/cxStorageValues.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/StringList.h"

ORV_REGISTER(TcxStreamWriter)
ORV_REGISTER(TcxStreamReader)

using namespace orv::storage;

namespace {

// A tree deeper than this is damage, not data: reading it would only
// exhaust the stack.
constexpr int MaxObjectDepth = 256;
// The fewest bytes a property (name, kind, value) and an object (name,
// class name, two counts) take, to tell a count from damage.
constexpr Int64 MinPropertyBytes = 5;
constexpr Int64 MinObjectBytes = 8;

bool IsAscii(std::string_view AText) {
  for (unsigned char c : AText)
    if (c >= 0x80) return false;
  return true;
}

std::string WideToUtf8(const WideString& AText) {
  if (AText.empty()) return {};
  const auto* source = reinterpret_cast<win::LPCWSTR>(AText.data());
  const int length = static_cast<int>(AText.size());
  const int size = win::WideCharToMultiByte(win::CP_UTF8, 0, source, length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) win::WideCharToMultiByte(win::CP_UTF8, 0, source, length, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

// ---------------------------------------------------------------------------
// Writing

class TTreeWriter {
 public:
  explicit TTreeWriter(TStream* AStream) : FWriter(AStream) {}

  void WriteObject(const TcxStreamObjectData& AObject) {
    WriteText(AObject.Name);
    WriteText(AObject.ClassName);
    FWriter.WriteInteger(static_cast<Int64>(AObject.Properties.size()));
    for (const TcxStreamPropertyData& prop : AObject.Properties) {
      WriteText(prop.Name);
      const Integer kind = KindOf(prop.Value);
      FWriter.WriteInteger(kind);
      WriteValue(kind, prop.Value);
    }
    FWriter.WriteInteger(static_cast<Int64>(AObject.Children.size()));
    for (const auto& child : AObject.Children) WriteObject(*child);
  }

 private:
  // Text that UTF-8 would change goes as UTF-8.
  void WriteText(const AnsiString& AText) {
    if (IsAscii(AText))
      FWriter.WriteString(AText);
    else
      FWriter.WriteUTF8String(AnsiToUtf8(AText));
  }

  void WriteWideText(const WideString& AText) {
    const std::string utf8 = WideToUtf8(AText);
    if (utf8.size() >= AText.size() * 2)
      FWriter.WriteWideString(AText);
    else if (IsAscii(utf8))
      FWriter.WriteString(utf8);
    else
      FWriter.WriteUTF8String(utf8);
  }

  void WriteValue(Integer AKind, const Variant& AValue) {
    switch (AKind) {
      case vkBoolean: FWriter.WriteBoolean(AValue.AsBoolean()); break;
      // A byte travels as a one-character string.
      case vkByte: WriteText(AnsiString(1, static_cast<char>(AValue.RawInt()))); break;
      case vkCurrency: FWriter.WriteCurrency(AValue.AsCurrency()); break;
      case vkDateTime: FWriter.WriteDate(AValue.AsDateTime()); break;
      case vkFloat: FWriter.WriteFloat(AValue.RawDouble()); break;
      // The smallest integer item that holds the value, 64 bits included.
      case vkInteger: FWriter.WriteInteger(AValue.AsInt64()); break;
      case vkSingle: FWriter.WriteSingle(AValue.RawSingle()); break;
      case vkString: WriteText(AValue.RawAnsi()); break;
      case vkWideString: WriteWideText(AValue.RawWide()); break;
      default: break;
    }
  }

  TWriter FWriter;
};

// ---------------------------------------------------------------------------
// Reading

class TTreeReader {
 public:
  explicit TTreeReader(TStream* AStream) : FStream(AStream), FReader(AStream) {}

  std::unique_ptr<TcxStreamObjectData> ReadObject(int ADepth) {
    if (ADepth > MaxObjectDepth) Damaged();
    auto object = std::make_unique<TcxStreamObjectData>();
    object->Name = FReader.ReadString();
    object->ClassName = FReader.ReadString();
    const Integer propertyCount = ReadCount(MinPropertyBytes);
    for (Integer i = 0; i < propertyCount; ++i) {
      TcxStreamPropertyData prop;
      prop.Name = FReader.ReadString();
      prop.Value = ReadValue(FReader.ReadInteger());
      object->Properties.push_back(std::move(prop));
    }
    const Integer childCount = ReadCount(MinObjectBytes);
    for (Integer i = 0; i < childCount; ++i) object->Children.push_back(ReadObject(ADepth + 1));
    return object;
  }

 private:
  [[noreturn]] static void Damaged() { throw EReadError("Invalid stream format"); }

  Int64 Remaining() { return FStream->GetSize() - FStream->GetPosition(); }

  Integer ReadCount(Int64 AMinBytes) {
    const Integer count = FReader.ReadInteger();
    if (count < 0 || count > Remaining() / AMinBytes) Damaged();
    return count;
  }

  WideString ReadWideText() {
    if (FReader.NextValue() != vaUTF8String) return FReader.ReadWideString();
    // UTF-8 goes straight to UTF-16: through the 8-bit code page it would
    // lose every character outside it.
    FReader.ReadValue();
    Integer size;
    FStream->ReadBuffer(&size, sizeof(size));
    if (size < 0 || size > Remaining()) Damaged();
    std::string utf8(static_cast<std::size_t>(size), '\0');
    FStream->ReadBuffer(utf8.data(), size);
    if (utf8.empty()) return {};
    const int length = win::MultiByteToWideChar(win::CP_UTF8, win::MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length <= 0) Damaged();
    WideString text(static_cast<std::size_t>(length), u'\0');
    win::MultiByteToWideChar(win::CP_UTF8, win::MB_ERR_INVALID_CHARS, utf8.data(), size,
                             reinterpret_cast<win::LPWSTR>(text.data()), length);
    return text;
  }

  Variant ReadValue(Integer AKind) {
    switch (AKind) {
      case vkBoolean: return Variant(FReader.ReadBoolean());
      case vkByte: {
        const TValueType tag = FReader.NextValue();
        if (tag == vaInt8 || tag == vaInt16 || tag == vaInt32 || tag == vaInt64) {
          const Int64 value = FReader.ReadInt64();
          if (value < 0 || value > 255) Damaged();
          return Variant(static_cast<Byte>(value));
        }
        const AnsiString text = FReader.ReadString();
        if (text.size() != 1) Damaged();
        return Variant(static_cast<Byte>(text[0]));
      }
      case vkCurrency: return Variant(FReader.ReadCurrency());
      case vkDateTime: return Variant(FReader.ReadDate());
      case vkFloat: return Variant(static_cast<double>(FReader.ReadFloat()));
      case vkInteger: return IntegerValue(FReader.ReadInt64());
      case vkSingle: {
        const double value = FReader.ReadFloat();
        if (std::isfinite(value) && std::fabs(value) > FLT_MAX) Damaged();
        return Variant(static_cast<float>(value));
      }
      case vkString: return Variant(FReader.ReadString());
      case vkWideString: return Variant(ReadWideText());
      default: Damaged();
    }
  }

  TStream* FStream;
  TReader FReader;
};

}  // namespace

// ---------------------------------------------------------------------------
// TcxStreamChildIndex

TcxStreamObjectData* TcxStreamChildIndex::Find(TcxStreamObjectData* AParent, const AnsiString& AName) {
  auto [entry, fresh] = FIndex.try_emplace(AParent);
  auto& byName = entry->second;
  if (fresh)
    for (const auto& child : AParent->Children) byName.try_emplace(child->Name, child.get());
  auto found = byName.find(AName);
  return found == byName.end() ? nullptr : found->second;
}

void TcxStreamChildIndex::Added(TcxStreamObjectData* AParent, TcxStreamObjectData* AChild) {
  if (auto entry = FIndex.find(AParent); entry != FIndex.end()) entry->second.try_emplace(AChild->Name, AChild);
}

// ---------------------------------------------------------------------------
// TcxStreamWriter

void TcxStreamWriter::BeginWriteObject(const AnsiString& AObjectFullName, const AnsiString& AClassName) {
  const std::vector<AnsiString> pieces = orv::storage::SplitPath(AObjectFullName);
  auto object = std::make_unique<TcxStreamObjectData>();
  object->Name = pieces.back();
  object->ClassName = AClassName;
  if (!FRoot) {
    // The first object is the root; one with parents has none to go into.
    if (pieces.size() != 1) return;
    FRoot = std::move(object);
    FCurrent = FRoot.get();
    return;
  }
  TcxStreamObjectData* parent = FRoot.get();
  for (std::size_t i = 1; parent && i + 1 < pieces.size(); ++i) parent = FChildren.Find(parent, pieces[i]);
  FCurrent = nullptr;
  if (!parent) return;
  parent->Children.push_back(std::move(object));
  FCurrent = parent->Children.back().get();
  FChildren.Added(parent, FCurrent);
}

void TcxStreamWriter::WriteProperty(const AnsiString&, const AnsiString&, const AnsiString& APropertyName,
                                    const Variant& AValue) {
  if (FCurrent && KindOf(AValue) != vkNone) FCurrent->Properties.push_back({APropertyName, AValue});
}

void TcxStreamWriter::EndWrite() {
  if (!FRoot || !FStream) return;
  // The whole tree first, so that a failure leaves the stream untouched.
  TMemoryStream buffer;
  TTreeWriter(&buffer).WriteObject(*FRoot);
  FStream->WriteBuffer(buffer.GetMemory(), buffer.GetSize());
  FRoot.reset();
  FCurrent = nullptr;
  FChildren.Clear();
}

// ---------------------------------------------------------------------------
// TcxStreamReader

void TcxStreamReader::BeginRead() {
  FChildren.Clear();
  FRoot.reset();
  FLastPath.clear();
  FLastObject = nullptr;
  FIndexedObject = nullptr;
  FPropertyIndex.clear();
  if (!FStream) return;
  const Int64 start = FStream->GetPosition();
  try {
    FRoot = TTreeReader(FStream).ReadObject(0);
  } catch (const Exception& e) {
    FRoot.reset();
    FStream->SetPosition(start);
    throw EcxStorage("The stored properties cannot be read: %s", {e.GetMessage()});
  }
}

const TcxStreamObjectData* TcxStreamReader::FindObject(const AnsiString& AObjectFullName) {
  if (FLastObject && FLastPath == AObjectFullName) return FLastObject;
  TcxStreamObjectData* node = FRoot.get();
  const std::vector<AnsiString> pieces = orv::storage::SplitPath(AObjectFullName);
  for (std::size_t i = 1; node && i < pieces.size(); ++i) node = FChildren.Find(node, pieces[i]);
  if (node && node->Name != pieces.back()) node = nullptr;
  FLastPath = AObjectFullName;
  FLastObject = node;
  return node;
}

void TcxStreamReader::ReadChildren(const AnsiString& AObjectFullName, const AnsiString&, TStrings* AChildrenNames,
                                   TStrings* AChildrenClassNames) {
  if (const TcxStreamObjectData* object = FindObject(AObjectFullName))
    for (const auto& child : object->Children) {
      AChildrenNames->Add(child->Name);
      AChildrenClassNames->Add(child->ClassName);
    }
}

void TcxStreamReader::ReadProperties(const AnsiString& AObjectFullName, const AnsiString&, TStrings* APropertyList) {
  if (const TcxStreamObjectData* object = FindObject(AObjectFullName))
    for (const TcxStreamPropertyData& prop : object->Properties) APropertyList->Add(prop.Name);
}

Variant TcxStreamReader::ReadProperty(const AnsiString& AObjectFullName, const AnsiString&,
                                      const AnsiString& APropertyName) {
  const TcxStreamObjectData* object = FindObject(AObjectFullName);
  if (!object) return {};
  if (object != FIndexedObject) {
    FPropertyIndex.clear();
    for (const TcxStreamPropertyData& prop : object->Properties) FPropertyIndex.try_emplace(prop.Name, &prop.Value);
    FIndexedObject = object;
  }
  auto found = FPropertyIndex.find(APropertyName);
  return found == FPropertyIndex.end() ? Variant() : *found->second;
}
