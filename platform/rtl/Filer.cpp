#include "platform/rtl/Filer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <mutex>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Extended80.h"
#include "platform/rtl/ScopeExit.h"

static_assert(std::endian::native == std::endian::little, "stream values are little-endian");

ORV_REGISTER(TFiler)
ORV_REGISTER(TReader)
ORV_REGISTER(TWriter)

namespace {

const char* const kInvalidValue = "Invalid property value";
[[noreturn]] void BadValue() { throw EReadError(kInvalidValue); }

// The object whose property is read, as a message names it: a component by
// its name, anything else by its name path.
AnsiString ReadingName(TPersistent* AInstance) {
  if (auto* component = dynamic_cast<TComponent*>(AInstance)) return component->GetName();
  return AInstance->GetNamePath();
}
[[noreturn]] void ReadFault() { throw EReadError("Stream read error"); }

bool IsIntegerTag(TValueType t) { return t == vaInt8 || t == vaInt16 || t == vaInt32 || t == vaInt64; }

std::mutex& GlobalLock() {
  static std::mutex lock;
  return lock;
}
std::vector<TFindGlobalComponent>& GlobalProcs() {
  static std::vector<TFindGlobalComponent> procs;
  return procs;
}

// Counts nesting on the way in and out, whatever leaves the scope.
struct DepthGuard {
  int& Depth;
  explicit DepthGuard(int& depth, bool reading) : Depth(depth) {
    if (++Depth > MaxFilerNesting) {
      --Depth;
      if (reading) throw EReadError("Stream nesting too deep");
      throw EWriteError("Object nesting too deep");
    }
  }
  ~DepthGuard() { --Depth; }
};

}  // namespace

// ---------------------------------------------------------------------------
// Global component lookup for references to other roots.

void RegisterFindGlobalComponentProc(TFindGlobalComponent Proc) {
  std::lock_guard guard(GlobalLock());
  GlobalProcs().push_back(Proc);
}

void UnregisterFindGlobalComponentProc(TFindGlobalComponent Proc) {
  std::lock_guard guard(GlobalLock());
  auto& v = GlobalProcs();
  v.erase(std::remove(v.begin(), v.end(), Proc), v.end());
}

TComponent* FindGlobalComponent(const AnsiString& Name) {
  std::vector<TFindGlobalComponent> procs;
  {
    std::lock_guard guard(GlobalLock());
    procs = GlobalProcs();
  }
  for (auto p : procs)
    if (TComponent* c = p(Name)) return c;
  return nullptr;
}

// ---------------------------------------------------------------------------
// TStream's component helpers.

TComponent* TStream::ReadComponent(TComponent* instance) {
  TReader reader(this);
  return reader.ReadRootComponent(instance);
}

void TStream::WriteComponent(TComponent* instance) { WriteDescendent(instance, nullptr); }

void TStream::WriteDescendent(TComponent* instance, TComponent* ancestor) {
  TWriter writer(this);
  writer.WriteDescendent(instance, ancestor);
}

// ---------------------------------------------------------------------------
// TReader: primitives

void TReader::Need(Int64 count) {
  if (count < 0 || count > FStream->GetSize() - FStream->GetPosition()) ReadFault();
}

void TReader::ReadRaw(void* buffer, Int64 count) { FStream->ReadBuffer(buffer, count); }

Byte TReader::ReadByte() {
  Byte b;
  ReadRaw(&b, 1);
  return b;
}

Int64 TReader::ReadLength() {
  Integer n;
  ReadRaw(&n, 4);
  // A length beyond what the stream still holds is damage, not a reason to
  // allocate.
  Need(n);
  return n;
}

TValueType TReader::ReadValue() {
  Byte b = ReadByte();
  if (b > vaLastValue) BadValue();
  return static_cast<TValueType>(b);
}

TValueType TReader::NextValue() {
  TValueType t = ReadValue();
  FStream->Seek(-1, soCurrent);
  return t;
}

void TReader::CheckValue(TValueType Value) {
  if (ReadValue() != Value) BadValue();
}

// Also ends a run of object records, whose first byte is a length or a
// prefix rather than a value tag.
bool TReader::EndOfList() {
  Byte b = ReadByte();
  FStream->Seek(-1, soCurrent);
  return b == vaNull;
}

void TReader::ReadListBegin() { CheckValue(vaList); }
void TReader::ReadListEnd() { CheckValue(vaNull); }

Int64 TReader::ReadInt64() {
  switch (ReadValue()) {
    case vaInt8: {
      std::int8_t v;
      ReadRaw(&v, 1);
      return v;
    }
    case vaInt16: {
      std::int16_t v;
      ReadRaw(&v, 2);
      return v;
    }
    case vaInt32: {
      std::int32_t v;
      ReadRaw(&v, 4);
      return v;
    }
    case vaInt64: {
      Int64 v;
      ReadRaw(&v, 8);
      return v;
    }
    default:
      BadValue();
  }
}

Integer TReader::ReadInteger() {
  Int64 v = ReadInt64();
  if (v < INT32_MIN || v > INT32_MAX) BadValue();
  return static_cast<Integer>(v);
}

bool TReader::ReadBoolean() {
  TValueType t = ReadValue();
  if (t != vaTrue && t != vaFalse) BadValue();
  return t == vaTrue;
}

char TReader::ReadChar() {
  AnsiString s = ReadString();
  if (s.size() != 1) BadValue();
  return s[0];
}

Extended TReader::ReadFloat() {
  TValueType t = NextValue();
  if (IsIntegerTag(t)) return static_cast<Extended>(ReadInt64());
  ReadValue();
  switch (t) {
    case vaExtended: {
      Byte b[10];
      ReadRaw(b, 10);
      return Extended80ToDouble(b);
    }
    case vaSingle: {
      float f;
      ReadRaw(&f, 4);
      return f;
    }
    case vaDate: {
      double d;
      ReadRaw(&d, 8);
      return d;
    }
    case vaCurrency: {
      Int64 raw;
      ReadRaw(&raw, 8);
      return static_cast<Extended>(raw) / Currency::Scale;
    }
    default:
      BadValue();
  }
}

Single TReader::ReadSingle() { return static_cast<Single>(ReadFloat()); }

Currency TReader::ReadCurrency() {
  if (NextValue() == vaCurrency) {
    ReadValue();
    Int64 raw;
    ReadRaw(&raw, 8);
    return Currency::FromRaw(raw);
  }
  Extended v = ReadFloat();
  Extended scaled = std::nearbyint(v * Currency::Scale);
  if (!(scaled > -9.2e18 && scaled < 9.2e18)) BadValue();
  return Currency::FromRaw(static_cast<Int64>(scaled));
}

TDateTime TReader::ReadDate() { return TDateTime(ReadFloat()); }

AnsiString TReader::ReadStr() {
  Byte n = ReadByte();
  Need(n);
  AnsiString s(n, '\0');
  ReadRaw(s.data(), n);
  return s;
}

AnsiString TReader::ReadString() {
  switch (ReadValue()) {
    case vaString: return ReadStr();
    case vaLString: {
      Int64 n = ReadLength();
      AnsiString s(static_cast<std::size_t>(n), '\0');
      ReadRaw(s.data(), n);
      return s;
    }
    case vaUTF8String: {
      Int64 n = ReadLength();
      std::string s(static_cast<std::size_t>(n), '\0');
      ReadRaw(s.data(), n);
      return Utf8ToAnsi(s);
    }
    case vaWString: {
      FStream->Seek(-1, soCurrent);
      return WideToAnsi(ReadWideString());
    }
    default:
      BadValue();
  }
}

WideString TReader::ReadWideString() {
  if (NextValue() != vaWString) return AnsiToWide(ReadString());
  ReadValue();
  Integer n;
  ReadRaw(&n, 4);
  if (n < 0 || n > INT32_MAX / 2) ReadFault();
  Need(Int64(n) * 2);
  WideString s(static_cast<std::size_t>(n), u'\0');
  ReadRaw(s.data(), Int64(n) * 2);
  return s;
}

Variant TReader::ReadVariant() {
  switch (NextValue()) {
    case vaNil: ReadValue(); return Unassigned();
    case vaNull: ReadValue(); return Null();
    case vaInt8: {
      Int64 v = ReadInt64();
      return Variant(static_cast<ShortInt>(v));
    }
    case vaInt16: return Variant(static_cast<SmallInt>(ReadInt64()));
    case vaInt32: return Variant(static_cast<Integer>(ReadInt64()));
    case vaInt64: return Variant(ReadInt64());
    case vaFalse:
    case vaTrue: return Variant(ReadBoolean());
    case vaSingle: return Variant(static_cast<float>(ReadFloat()));
    case vaExtended: return Variant(static_cast<double>(ReadFloat()));
    case vaCurrency: return Variant(ReadCurrency());
    case vaDate: return Variant(ReadDate());
    case vaString:
    case vaLString: return Variant(ReadString());
    case vaWString:
    case vaUTF8String: return Variant(ReadWideString());
    default: BadValue();
  }
}

AnsiString TReader::ReadIdent() {
  switch (ReadValue()) {
    case vaIdent: return ReadStr();
    case vaFalse: return "False";
    case vaTrue: return "True";
    case vaNil: return "nil";
    case vaNull: return "Null";
    default: BadValue();
  }
}

void TReader::ReadSignature() {
  char sig[4];
  if (FStream->Read(sig, 4) != 4 || std::memcmp(sig, FilerSignature, 4) != 0)
    throw EReadError("Invalid stream format");
}

void TReader::ReadPrefix(TFilerFlags& Flags, Integer& AChildPos) {
  Flags = TFilerFlags();
  AChildPos = 0;
  Byte b = ReadByte();
  if ((b & 0xF0) != 0xF0) {
    FStream->Seek(-1, soCurrent);
    return;
  }
  if (b & 1) Flags.Include(ffInherited);
  if (b & 2) Flags.Include(ffChildPos);
  if (b & 4) Flags.Include(ffInline);
  if (Flags.Contains(ffChildPos)) AChildPos = ReadInteger();
}

std::vector<AnsiString> TReader::ReadSetNames() {
  std::vector<AnsiString> names;
  for (;;) {
    AnsiString s = ReadStr();
    if (s.empty()) break;
    names.push_back(std::move(s));
  }
  return names;
}

std::vector<Byte> TReader::ReadBinaryBytes() {
  Int64 n = ReadLength();
  std::vector<Byte> data(static_cast<std::size_t>(n));
  ReadRaw(data.data(), n);
  return data;
}

void TReader::SkipValue() {
  auto skip = [this](Int64 n) {
    Need(n);
    FStream->Seek(n, soCurrent);
  };
  switch (ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
      break;
    case vaList: {
      DepthGuard depth(FDepth, true);
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      break;
    }
    case vaInt8: skip(1); break;
    case vaInt16: skip(2); break;
    case vaInt32:
    case vaSingle: skip(4); break;
    case vaInt64:
    case vaCurrency:
    case vaDate: skip(8); break;
    case vaExtended: skip(10); break;
    case vaString:
    case vaIdent: skip(ReadByte()); break;
    case vaLString:
    case vaUTF8String:
    case vaBinary: skip(ReadLength()); break;
    case vaWString: {
      Integer n;
      ReadRaw(&n, 4);
      if (n < 0 || n > INT32_MAX / 2) ReadFault();
      skip(Int64(n) * 2);
      break;
    }
    case vaSet:
      while (ReadStr().size() != 0) {
      }
      break;
    case vaCollection: {
      DepthGuard depth(FDepth, true);
      while (!EndOfList()) {
        if (IsIntegerTag(NextValue())) ReadInt64();
        ReadListBegin();
        while (!EndOfList()) {
          ReadStr();
          SkipValue();
        }
        ReadListEnd();
      }
      ReadListEnd();
      break;
    }
  }
}

// ---------------------------------------------------------------------------
// TReader: objects

void TReader::DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc, bool) {
  if (FPropFound || FPropName.empty() || !SameText(Name, FPropName)) return;
  FPropFound = true;
  if (ReadData)
    ReadData(this);
  else
    SkipValue();
}

void TReader::DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc, bool) {
  if (FPropFound || FPropName.empty() || !SameText(Name, FPropName)) return;
  FPropFound = true;
  CheckValue(vaBinary);
  std::vector<Byte> data = ReadBinaryBytes();
  if (!ReadData) return;
  TMemoryStream* ms = New<TMemoryStream>();
  try {
    ms->WriteBuffer(data.data(), static_cast<Int64>(data.size()));
    ms->SetPosition(0);
    ReadData(ms);
  } catch (...) {
    ms->Free();
    throw;
  }
  ms->Free();
}

void TReader::PropertyError(const AnsiString& Name) { throw EReadError("Property %s does not exist", {Name}); }

TComponent* TReader::ReadRootComponent(TComponent* Root) {
  ReadSignature();
  FLoaded.clear();
  FFixups.clear();
  std::vector<TComponent*> created;
  FCreated = &created;
  bool ownRoot = false;
  try {
    TFilerFlags flags;
    Integer childPos;
    ReadPrefix(flags, childPos);
    AnsiString className = ReadStr();
    AnsiString name = ReadStr();
    if (!Root) {
      TClass cls = FindClass(className);
      if (!cls->InheritsFrom(TComponent::StaticClass())) throw EClassNotFound("Class %s not found", {className});
      Root = static_cast<TComponent*>(cls->Create(static_cast<TComponent*>(nullptr)));
      ownRoot = true;
    }
    FRoot = Root;
    FLookupRoot = Root;
    FOwner = Root;
    FParent = Root;
    Root->FComponentState += TComponentState{csLoading, csReading};
    FLoaded.push_back(Root);
    if (!name.empty() && Root->GetName() != name) Root->SetName(name);
    Root->ReadState(this);
    ResolveFixups();
  } catch (...) {
    FCreated = nullptr;
    // Free what this read made, newest first (children before the
    // containers that hold them), and forget the root's fields that
    // pointed at them.
    for (auto it = created.rbegin(); it != created.rend(); ++it) {
      TComponent* c = *it;
      for (const TFieldEntry* f : GetFieldList(Root->ClassType()))
        if (f->Get(Root) == c) f->Set(Root, nullptr);
      c->Free();
    }
    if (ownRoot)
      Root->Free();
    else if (Root)
      Root->FComponentState -= TComponentState{csLoading, csReading};
    FLoaded.clear();
    FFixups.clear();
    throw;
  }
  FCreated = nullptr;
  for (TComponent* c : FLoaded) c->FComponentState.Exclude(csReading);
  // Every component hears Loaded, even when an earlier one fails; the
  // first failure is reported afterwards.
  std::exception_ptr failure;
  std::vector<TComponent*> loaded;
  loaded.swap(FLoaded);
  for (TComponent* c : loaded) {
    try {
      c->Loaded();
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
    c->FComponentState.Exclude(csLoading);
  }
  if (failure) std::rethrow_exception(failure);
  return Root;
}

TComponent* TReader::ReadComponent(TComponent* Component) {
  DepthGuard depth(FDepth, true);
  TFilerFlags flags;
  Integer childPos;
  ReadPrefix(flags, childPos);
  AnsiString className = ReadStr();
  AnsiString name = ReadStr();
  TComponent* result = Component;
  if (!result && flags.Contains(ffInherited) && FOwner) {
    // The component came with the ancestor and already exists.
    result = FOwner->FindComponent(name);
    if (!result) throw EReadError("Ancestor for '%s' not found", {name});
    result->FComponentState += TComponentState{csLoading, csReading};
    if (std::find(FLoaded.begin(), FLoaded.end(), result) == FLoaded.end()) FLoaded.push_back(result);
  }
  if (!result) {
    TClass cls = FindClass(className);
    if (!cls->InheritsFrom(TComponent::StaticClass())) throw EClassNotFound("Class %s not found", {className});
    result = static_cast<TComponent*>(cls->Create(FOwner));
    if (FCreated) FCreated->push_back(result);
    FLoaded.push_back(result);
    result->FComponentState += TComponentState{csLoading, csReading};
    if (!name.empty()) {
      result->SetName(name);
      if (FRoot) {
        if (const TFieldEntry* f = FindFieldEntry(FRoot->ClassType(), name)) {
          if (!result->InheritsFrom(f->FieldClass)) BadValue();
          f->Set(FRoot, result);
        }
      }
    }
  }
  if (FParent && FParent != result) result->SetParentComponent(FParent);
  result->ReadState(this);
  result->FComponentState.Exclude(csReading);
  return result;
}

void TReader::ReadData(TComponent* Instance) {
  while (!EndOfList()) ReadProperty(Instance);
  ReadListEnd();
  TComponent* saved = FParent;
  FParent = Instance;
  try {
    while (!EndOfList()) ReadComponent(nullptr);
    ReadListEnd();
  } catch (...) {
    FParent = saved;
    throw;
  }
  FParent = saved;
}

void TReader::ReadProperty(TPersistent* Instance) {
  AnsiString fullName = ReadStr();
  TPersistent* obj = Instance;
  std::size_t start = 0;
  int parts = 0;
  for (;;) {
    std::size_t dot = fullName.find('.', start);
    AnsiString part = fullName.substr(start, dot == AnsiString::npos ? AnsiString::npos : dot - start);
    if (part.empty() || ++parts > MaxFilerNesting) PropertyError(fullName);
    const TPropInfo* prop = GetPropInfo(obj, part);
    if (dot == AnsiString::npos) {
      if (prop) {
        try {
          ReadPropValue(obj, prop);
        } catch (const EReadError& e) {
          // A value that does not fit names what it was meant for.
          if (e.GetMessage() != kInvalidValue) throw;
          throw EReadError("Error reading %s.%s: %s", {ReadingName(Instance), fullName, e.GetMessage()});
        }
        return;
      }
      // Not published: perhaps a value the object defines itself.
      FPropName = part;
      FPropFound = false;
      try {
        obj->DefineProperties(this);
      } catch (...) {
        FPropName.clear();
        throw;
      }
      FPropName.clear();
      if (!FPropFound) PropertyError(fullName);
      return;
    }
    if (!prop) PropertyError(fullName);
    if (prop->PropType->Kind != tkClass) throw EReadError("Invalid property path");
    // Read at each step: a setter earlier in the stream may have replaced
    // the object (EditPropertiesClassName before EditProperties.X).
    obj = dynamic_cast<TPersistent*>(GetObjectProp(obj, prop));
    if (!obj) throw EReadError("Invalid property path");
    start = dot + 1;
  }
}

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo* Prop) {
  const TTypeInfo* t = Prop->PropType;
  if (t->Kind == tkClass) {
    TValueType next = NextValue();
    if (next == vaCollection) {
      ReadValue();
      auto* coll = dynamic_cast<TCollection*>(GetObjectProp(Instance, Prop));
      if (!coll) BadValue();
      ReadCollection(coll);
      return;
    }
    if (!Prop->SetObj) throw EReadError("Property %s is read-only", {Prop->Name});
    if (next == vaNil) {
      ReadValue();
      SetObjectProp(Instance, Prop, nullptr);
      return;
    }
    if (next != vaIdent || !t->ClassType || !t->ClassType->InheritsFrom(TComponent::StaticClass())) BadValue();
    // References are bound once the whole tree exists.
    FFixups.push_back({Instance, Prop, ReadIdent()});
    return;
  }
  if (!Prop->IsWritable()) throw EReadError("Property %s is read-only", {Prop->Name});
  switch (t->Kind) {
    case tkInteger:
    case tkInt64:
    case tkChar:
    case tkWChar: {
      TValueType next = NextValue();
      Int64 v;
      if (next == vaIdent) {
        AnsiString ident = ReadIdent();
        if (!t->IdentToInt || !t->IdentToInt(ident, v)) BadValue();
      } else if (t->Kind == tkChar && (next == vaString || next == vaLString || next == vaUTF8String)) {
        v = static_cast<unsigned char>(ReadChar());
      } else if (t->Kind == tkWChar && (next == vaString || next == vaLString || next == vaWString)) {
        WideString w = ReadWideString();
        if (w.size() != 1) BadValue();
        v = w[0];
      } else {
        v = ReadInt64();
      }
      if (v < t->MinValue || v > t->MaxValue) BadValue();
      SetOrdProp(Instance, Prop, v);
      break;
    }
    case tkEnumeration: {
      Integer v = GetEnumValue(t, ReadIdent());
      if (v < 0) BadValue();
      SetOrdProp(Instance, Prop, v);
      break;
    }
    case tkSet: {
      CheckValue(vaSet);
      UInt64 bits = 0;
      for (const AnsiString& n : ReadSetNames()) {
        Integer v = t->CompType ? GetEnumValue(t->CompType, n) : -1;
        if (v < 0 || v >= 64) BadValue();
        bits |= UInt64(1) << v;
      }
      SetOrdProp(Instance, Prop, static_cast<Int64>(bits));
      break;
    }
    case tkFloat:
      if (t->FloatType == ftCurr && Prop->SetCurr)
        Prop->SetCurr(Instance, ReadCurrency());
      else
        SetFloatProp(Instance, Prop, ReadFloat());
      break;
    case tkString:
    case tkLString:
      SetStrProp(Instance, Prop, ReadString());
      break;
    case tkWString:
      SetWideStrProp(Instance, Prop, ReadWideString());
      break;
    case tkVariant:
      SetVariantProp(Instance, Prop, ReadVariant());
      break;
    case tkMethod: {
      if (NextValue() == vaNil) {
        ReadValue();
        SetMethodProp(Instance, Prop, TMethod{});
        break;
      }
      AnsiString name = ReadIdent();
      if (!BindMethodByName(Instance, Prop, FLookupRoot, name)) throw EMethodNotFound("Method %s not found", {name});
      break;
    }
    default:
      BadValue();
  }
}

void TReader::ReadCollection(TCollection* Collection) {
  DepthGuard depth(FDepth, true);
  auto update = orv::UpdateScope(Collection);
  // The stream holds the whole collection: what was there goes.
  Collection->Clear();
  while (!EndOfList()) {
    if (IsIntegerTag(NextValue())) ReadInt64();  // the item's position; items come in order
    TCollectionItem* item = Collection->Add();
    ReadListBegin();
    while (!EndOfList()) ReadProperty(item);
    ReadListEnd();
  }
  ReadListEnd();
}

TComponent* TReader::FindReference(const AnsiString& Name) {
  std::size_t dot = Name.find('.');
  AnsiString first = Name.substr(0, dot);
  TComponent* c = nullptr;
  if (FRoot && SameText(first, FRoot->GetName()))
    c = FRoot;
  else if (FRoot && (c = FRoot->FindComponent(first)))
    ;
  else
    c = FindGlobalComponent(first);
  while (c && dot != AnsiString::npos) {
    std::size_t next = Name.find('.', dot + 1);
    c = c->FindComponent(Name.substr(dot + 1, next == AnsiString::npos ? AnsiString::npos : next - dot - 1));
    dot = next;
  }
  return c;
}

void TReader::ResolveFixups() {
  // Find every target before setting any, so that a bad reference leaves
  // no property pointing at a component the failed read will free.
  std::vector<TComponent*> targets;
  targets.reserve(FFixups.size());
  for (const Fixup& f : FFixups) {
    TComponent* c = FindReference(f.Name);
    if (!c || !c->InheritsFrom(f.Prop->PropType->ClassType))
      throw EReadError("Error reading %s.%s: %s", {ReadingName(f.Instance), f.Prop->Name, AnsiString(kInvalidValue)});
    targets.push_back(c);
  }
  for (std::size_t i = 0; i < FFixups.size(); ++i) SetObjectProp(FFixups[i].Instance, FFixups[i].Prop, targets[i]);
  FFixups.clear();
}

// ---------------------------------------------------------------------------
// TWriter: primitives

void TWriter::WriteRaw(const void* buffer, Int64 count) { FStream->WriteBuffer(buffer, count); }

void TWriter::WriteValue(TValueType Value) {
  Byte b = Value;
  WriteRaw(&b, 1);
}

void TWriter::WriteListBegin() { WriteValue(vaList); }
void TWriter::WriteListEnd() { WriteValue(vaNull); }

void TWriter::WriteInteger(Int64 Value) {
  if (Value >= INT8_MIN && Value <= INT8_MAX) {
    WriteValue(vaInt8);
    std::int8_t v = static_cast<std::int8_t>(Value);
    WriteRaw(&v, 1);
  } else if (Value >= INT16_MIN && Value <= INT16_MAX) {
    WriteValue(vaInt16);
    std::int16_t v = static_cast<std::int16_t>(Value);
    WriteRaw(&v, 2);
  } else if (Value >= INT32_MIN && Value <= INT32_MAX) {
    WriteValue(vaInt32);
    std::int32_t v = static_cast<std::int32_t>(Value);
    WriteRaw(&v, 4);
  } else {
    WriteValue(vaInt64);
    WriteRaw(&Value, 8);
  }
}

void TWriter::WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }

void TWriter::WriteChar(char Value) { WriteString(AnsiString(1, Value)); }

void TWriter::WriteFloat(Extended Value) {
  WriteValue(vaExtended);
  TExtended80Bytes b = DoubleToExtended80(Value);
  WriteRaw(b.data(), 10);
}

void TWriter::WriteSingle(Single Value) {
  WriteValue(vaSingle);
  WriteRaw(&Value, 4);
}

void TWriter::WriteCurrency(Currency Value) {
  WriteValue(vaCurrency);
  WriteRaw(&Value.Value, 8);
}

void TWriter::WriteDate(TDateTime Value) {
  WriteValue(vaDate);
  WriteRaw(&Value.Value, 8);
}

namespace {
Integer LengthField(std::size_t n) {
  if (n > static_cast<std::size_t>(INT32_MAX)) throw EWriteError("Stream write error");
  return static_cast<Integer>(n);
}
}  // namespace

void TWriter::WriteString(const AnsiString& Value) {
  if (Value.size() <= 255) {
    WriteValue(vaString);
    WriteStr(Value);
    return;
  }
  WriteValue(vaLString);
  Integer n = LengthField(Value.size());
  WriteRaw(&n, 4);
  WriteRaw(Value.data(), n);
}

void TWriter::WriteWideString(const WideString& Value) {
  WriteValue(vaWString);
  Integer n = LengthField(Value.size());
  WriteRaw(&n, 4);
  WriteRaw(Value.data(), Int64(n) * 2);
}

void TWriter::WriteVariant(const Variant& Value) {
  switch (VarType(Value)) {
    case varEmpty: WriteValue(vaNil); break;
    case varNull: WriteValue(vaNull); break;
    case varShortInt:
    case varByte:
    case varSmallint:
    case varWord:
    case varInteger:
    case varLongWord:
    case varInt64: WriteInteger(Value.AsInt64()); break;
    case varBoolean: WriteBoolean(Value.AsBoolean()); break;
    case varSingle: WriteSingle(Value.RawSingle()); break;
    case varDouble: WriteFloat(Value.RawDouble()); break;
    case varCurrency: WriteCurrency(Value.AsCurrency()); break;
    case varDate: WriteDate(Value.AsDateTime()); break;
    case varString: WriteString(Value.RawAnsi()); break;
    case varOleStr: WriteWideString(Value.RawWide()); break;
    default: throw EWriteError("Invalid property value");
  }
}

void TWriter::WriteUTF8String(const std::string& Value) {
  WriteValue(vaUTF8String);
  Integer n = LengthField(Value.size());
  WriteRaw(&n, 4);
  WriteRaw(Value.data(), n);
}

void TWriter::WriteIdent(const AnsiString& Ident) {
  if (SameText(Ident, "False"))
    WriteValue(vaFalse);
  else if (SameText(Ident, "True"))
    WriteValue(vaTrue);
  else if (SameText(Ident, "nil"))
    WriteValue(vaNil);
  else if (SameText(Ident, "Null"))
    WriteValue(vaNull);
  else {
    WriteValue(vaIdent);
    WriteStr(Ident);
  }
}

void TWriter::WriteStr(const AnsiString& Value) {
  if (Value.size() > 255) throw EWriteError("Stream write error");
  Byte n = static_cast<Byte>(Value.size());
  WriteRaw(&n, 1);
  WriteRaw(Value.data(), n);
}

void TWriter::WriteSignature() { WriteRaw(FilerSignature, 4); }

void TWriter::WritePrefix(TFilerFlags Flags, Integer AChildPos) {
  if (Flags.Empty()) return;
  Byte b = 0xF0;
  if (Flags.Contains(ffInherited)) b |= 1;
  if (Flags.Contains(ffChildPos)) b |= 2;
  if (Flags.Contains(ffInline)) b |= 4;
  WriteRaw(&b, 1);
  if (Flags.Contains(ffChildPos)) WriteInteger(AChildPos);
}

void TWriter::WriteSet(const std::vector<AnsiString>& Names) {
  WriteValue(vaSet);
  for (const AnsiString& n : Names)
    if (!n.empty()) WriteStr(n);
  WriteStr(AnsiString());
}

void TWriter::WriteBinary(const void* Data, Int64 Size) {
  WriteValue(vaBinary);
  Integer n = LengthField(static_cast<std::size_t>(Size));
  WriteRaw(&n, 4);
  WriteRaw(Data, n);
}

void TWriter::WritePropName(const AnsiString& Name) { WriteStr(FPropPath + Name); }

// ---------------------------------------------------------------------------
// TWriter: objects

void TWriter::DefineProperty(const AnsiString& Name, TReaderProc, TWriterProc WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  WritePropName(Name);
  WriteData(this);
}

void TWriter::DefineBinaryProperty(const AnsiString& Name, TStreamProc, TStreamProc WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  TMemoryStream* ms = New<TMemoryStream>();
  try {
    WriteData(ms);
    WritePropName(Name);
    WriteBinary(ms->GetMemory(), ms->GetSize());
  } catch (...) {
    ms->Free();
    throw;
  }
  ms->Free();
}

void TWriter::WriteRootComponent(TComponent* Root) { WriteDescendent(Root, nullptr); }

void TWriter::WriteDescendent(TComponent* Root, TComponent* Ancestor) {
  FRoot = Root;
  FLookupRoot = Root;
  FRootAncestor = Ancestor;
  WriteSignature();
  WriteComponent(Root);
}

void TWriter::WriteComponent(TComponent* Component) {
  DepthGuard depth(FDepth, false);
  TPersistent* savedAncestor = FAncestor;
  TComponent* ancestor = nullptr;
  if (Component == FRoot)
    ancestor = FRootAncestor;
  else if (FRootAncestor && !Component->GetName().empty())
    ancestor = FRootAncestor->FindComponent(Component->GetName());
  FAncestor = ancestor;
  Component->FComponentState.Include(csWriting);
  try {
    TFilerFlags flags;
    if (ancestor && Component != FRoot) flags.Include(ffInherited);
    WritePrefix(flags, 0);
    WriteStr(Component->ClassName());
    WriteStr(Component->GetName());
    Component->WriteState(this);
  } catch (...) {
    Component->FComponentState.Exclude(csWriting);
    FAncestor = savedAncestor;
    throw;
  }
  Component->FComponentState.Exclude(csWriting);
  FAncestor = savedAncestor;
}

void TWriter::WriteData(TComponent* Instance) {
  WriteProperties(Instance);
  WriteListEnd();
  if (!FIgnoreChildren) Instance->GetChildren(TGetChildProc::Bind<&TWriter::WriteChildProc>(this), FRoot);
  WriteListEnd();
}

void TWriter::WriteProperties(TPersistent* Instance) {
  for (const TPropInfo* p : GetPropList(Instance)) WriteProperty(Instance, p);
  Instance->DefineProperties(this);
}

AnsiString TWriter::ReferenceName(TComponent* Component) {
  if (Component->GetName().empty()) return AnsiString();
  if (Component == FLookupRoot || Component->GetOwner() == FLookupRoot) return Component->GetName();
  AnsiString path = Component->GetName();
  for (TComponent* o = Component->GetOwner(); o; o = o->GetOwner()) {
    if (o->GetName().empty()) return AnsiString();
    path = o->GetName() + "." + path;
    if (o->GetOwner() == FLookupRoot) break;
  }
  return path;
}

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo* Prop) {
  if (!IsStoredProp(Instance, Prop)) return;
  const TTypeInfo* t = Prop->PropType;
  // The object this one is compared with: the ancestor's counterpart.
  const TObject* anc = FAncestor && FAncestor->ClassType() == Instance->ClassType() ? FAncestor : nullptr;
  switch (t->Kind) {
    case tkInteger:
    case tkInt64:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet: {
      if (!Prop->SetOrd) return;
      Int64 v = Prop->GetOrd(Instance);
      if (anc ? v == Prop->GetOrd(anc) : (Prop->DefaultValue != NoDefault && v == Prop->DefaultValue)) return;
      WritePropName(Prop->Name);
      AnsiString ident;
      switch (t->Kind) {
        case tkChar: WriteChar(static_cast<char>(v)); break;
        case tkWChar: WriteWideString(WideString(1, static_cast<char16_t>(v))); break;
        case tkEnumeration: WriteIdent(GetEnumName(t, v)); break;
        case tkSet: {
          std::vector<AnsiString> names;
          for (int i = 0; i < 64; ++i)
            if ((static_cast<UInt64>(v) >> i) & 1) names.push_back(GetEnumName(t->CompType, i));
          WriteSet(names);
          break;
        }
        default:
          if (t->IntToIdent && t->IntToIdent(v, ident))
            WriteIdent(ident);
          else
            WriteInteger(v);
      }
      return;
    }
    case tkFloat: {
      if (t->FloatType == ftCurr && Prop->GetCurr) {
        if (!Prop->SetCurr) return;
        Currency c = Prop->GetCurr(Instance);
        if (anc ? c == Prop->GetCurr(anc) : c.Value == 0) return;
        WritePropName(Prop->Name);
        WriteCurrency(c);
        return;
      }
      if (!Prop->SetFloat) return;
      Extended v = Prop->GetFloat(Instance);
      // Zero is the default only of a float without a stored test of its
      // own: a class that says when its float is stored (an increment that
      // starts at 1) means a zero too.
      if (anc ? std::bit_cast<UInt64>(v) == std::bit_cast<UInt64>(Prop->GetFloat(anc)) : v == 0 && !Prop->StoredFn)
        return;
      WritePropName(Prop->Name);
      if (t->FloatType == ftSingle)
        WriteSingle(static_cast<Single>(v));
      else if (t->Name == "TDateTime")
        WriteDate(v);
      else
        WriteFloat(v);
      return;
    }
    case tkString:
    case tkLString: {
      if (!Prop->SetStr) return;
      AnsiString s = Prop->GetStr(Instance);
      if (anc ? s == Prop->GetStr(anc) : s.empty()) return;
      WritePropName(Prop->Name);
      WriteString(s);
      return;
    }
    case tkWString: {
      if (!Prop->SetWStr) return;
      WideString s = Prop->GetWStr(Instance);
      if (anc ? s == Prop->GetWStr(anc) : s.empty()) return;
      WritePropName(Prop->Name);
      WriteWideString(s);
      return;
    }
    case tkVariant: {
      if (!Prop->SetAny) return;
      Variant v = GetVariantProp(Instance, Prop);
      if (anc ? VarSameValue(v, GetVariantProp(anc, Prop)) : VarIsEmpty(v)) return;
      WritePropName(Prop->Name);
      WriteVariant(v);
      return;
    }
    case tkMethod: {
      if (!Prop->SetMethod || !FLookupRoot) return;
      TMethod m = Prop->GetMethod(Instance);
      // Only a published method of the root can be named in a stream.
      const TMethodEntry* e = m.Code ? FindMethodEntryByCode(FLookupRoot->ClassType(), m.Code) : nullptr;
      if (e && e->DataOf(FLookupRoot) != m.Data) e = nullptr;
      if (anc) {
        TMethod am = Prop->GetMethod(anc);
        const TMethodEntry* ae = am.Code ? FindMethodEntryByCode(FLookupRoot->ClassType(), am.Code) : nullptr;
        if ((e ? e->Name : AnsiString()) == (ae ? ae->Name : AnsiString())) return;
        if (!e) {
          WritePropName(Prop->Name);
          WriteValue(vaNil);
          return;
        }
      }
      if (!e) return;
      WritePropName(Prop->Name);
      WriteIdent(e->Name);
      return;
    }
    case tkClass: {
      TObject* v = Prop->GetObj(Instance);
      TObject* av = anc ? Prop->GetObj(anc) : nullptr;
      auto* comp = dynamic_cast<TComponent*>(v);
      if (Prop->SetObj && (comp || !v)) {
        // A reference to a component, written by name.
        auto* acomp = dynamic_cast<TComponent*>(av);
        AnsiString name = comp ? ReferenceName(comp) : AnsiString();
        AnsiString aname = acomp ? ReferenceName(acomp) : AnsiString();
        if (comp && name.empty()) return;
        if (name == aname) return;
        WritePropName(Prop->Name);
        if (comp)
          WriteIdent(name);
        else
          WriteValue(vaNil);
        return;
      }
      if (auto* coll = dynamic_cast<TCollection*>(v)) {
        WritePropName(Prop->Name);
        WriteValue(vaCollection);
        WriteCollection(coll);
        return;
      }
      if (auto* sub = dynamic_cast<TPersistent*>(v)) {
        // An object the instance owns: its own properties, dotted.
        DepthGuard depth(FDepth, false);
        AnsiString savedPath = FPropPath;
        TPersistent* savedAncestor = FAncestor;
        FPropPath += Prop->Name + ".";
        FAncestor = dynamic_cast<TPersistent*>(av);
        try {
          WriteProperties(sub);
        } catch (...) {
          FPropPath = savedPath;
          FAncestor = savedAncestor;
          throw;
        }
        FPropPath = savedPath;
        FAncestor = savedAncestor;
      }
      return;
    }
    default:
      return;
  }
}

void TWriter::WriteCollection(TCollection* Collection) {
  DepthGuard depth(FDepth, false);
  AnsiString savedPath = FPropPath;
  TPersistent* savedAncestor = FAncestor;
  FPropPath.clear();
  FAncestor = nullptr;
  try {
    for (Integer i = 0; i < Collection->GetCount(); ++i) {
      WriteListBegin();
      WriteProperties(Collection->GetItem(i));
      WriteListEnd();
    }
    WriteListEnd();
  } catch (...) {
    FPropPath = savedPath;
    FAncestor = savedAncestor;
    throw;
  }
  FPropPath = savedPath;
  FAncestor = savedAncestor;
}
