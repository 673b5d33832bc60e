#include "platform/rtl/Variant.h"

#include "platform/rtl/TypeInfo.h"
#include "platform/rtl/VariantBoxes.h"

using orv::variant_detail::ArrayData;
using orv::variant_detail::Box;
using orv::variant_detail::Unbox;
using orv::variant_detail::ValueBox;

// ---------------------------------------------------------------------------
// Storage.

Variant::Variant(const Variant& other) noexcept : FType(other.FType), FInt(other.FInt) {
  if (IsBoxedType(FType)) FBox->Refs.fetch_add(1, std::memory_order_relaxed);
}

Variant& Variant::operator=(const Variant& other) noexcept {
  if (IsBoxedType(other.FType)) other.FBox->Refs.fetch_add(1, std::memory_order_relaxed);
  if (IsBoxedType(FType)) Release();
  FType = other.FType;
  FInt = other.FInt;
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    if (IsBoxedType(FType)) Release();
    FType = other.FType;
    FInt = other.FInt;
    other.FType = varEmpty;
    other.FInt = 0;
  }
  return *this;
}

void Variant::Release() noexcept {
  if (FBox->Refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete FBox;
}

void Variant::Clear() noexcept {
  if (IsBoxedType(FType)) Release();
  FType = varEmpty;
  FInt = 0;
}

void Variant::ThrowUnsignedOverflow() {
  throw EVariantOverflowError("Overflow while converting variant of type (%s) into type (%s)", {"UInt64", "Int64"});
}

Variant::Variant(char c) : Variant(AnsiString(1, c)) {}
Variant::Variant(const char* s) : Variant(AnsiString(s ? s : "")) {}
Variant::Variant(std::string_view s) : Variant(AnsiString(s)) {}
Variant::Variant(const AnsiString& s) : Variant(AnsiString(s)) {}
Variant::Variant(AnsiString&& s) : FType(varString) { FBox = new ValueBox<AnsiString>(std::move(s)); }
Variant::Variant(const char16_t* s) : Variant(WideString(s ? s : u"")) {}
Variant::Variant(const WideString& s) : Variant(WideString(s)) {}
Variant::Variant(WideString&& s) : FType(varOleStr) { FBox = new ValueBox<WideString>(std::move(s)); }
Variant::Variant(const TBcd& v) : FType(varFMTBcd) { FBox = new ValueBox<TBcd>(v); }
Variant::Variant(const TSQLTimeStamp& v) : FType(varSQLTimeStamp) { FBox = new ValueBox<TSQLTimeStamp>(v); }

namespace {
[[noreturn]] void WrongKind(Word have, const char* want) {
  throw EVariantInvalidOpError("Variant of type (%s) read as %s", {VarTypeAsText(have), want});
}
}  // namespace

const AnsiString& Variant::RawAnsi() const {
  if (FType != varString) WrongKind(FType, "String");
  return Unbox<AnsiString>(FBox);
}
const WideString& Variant::RawWide() const {
  if (FType != varOleStr) WrongKind(FType, "OleStr");
  return Unbox<WideString>(FBox);
}
const TBcd& Variant::RawBcd() const {
  if (FType != varFMTBcd) WrongKind(FType, "FMTBcd");
  return Unbox<TBcd>(FBox);
}
const TSQLTimeStamp& Variant::RawTimeStamp() const {
  if (FType != varSQLTimeStamp) WrongKind(FType, "SQLTimeStamp");
  return Unbox<TSQLTimeStamp>(FBox);
}

Variant& Variant::operator+=(const Variant& v) { return *this = *this + v; }
Variant& Variant::operator-=(const Variant& v) { return *this = *this - v; }
Variant& Variant::operator*=(const Variant& v) { return *this = *this * v; }
Variant& Variant::operator/=(const Variant& v) { return *this = *this / v; }

// ---------------------------------------------------------------------------
// Kinds.

bool VarIsOrdinal(const Variant& v) noexcept {
  switch (v.VType()) {
    case varSmallint: case varInteger: case varBoolean: case varShortInt: case varByte:
    case varWord: case varLongWord: case varInt64:
      return true;
    default:
      return false;
  }
}

bool VarIsFloat(const Variant& v) noexcept {
  Word t = v.VType();
  return t == varSingle || t == varDouble || t == varCurrency;
}

bool VarIsNumeric(const Variant& v) noexcept { return VarIsOrdinal(v) || VarIsFloat(v); }

bool VarTypeIsValid(Word varType) noexcept {
  Word base = varType & varTypeMask;
  if ((varType & ~(varTypeMask | varArray)) != 0) return false;
  switch (base) {
    case varEmpty: case varNull: case varSmallint: case varInteger: case varSingle: case varDouble:
    case varCurrency: case varDate: case varOleStr: case varBoolean: case varShortInt: case varByte:
    case varWord: case varLongWord: case varInt64: case varString: case varFMTBcd: case varSQLTimeStamp:
      return true;
    case varVariant:
      return (varType & varArray) != 0;
    default:
      return false;
  }
}

AnsiString VarTypeAsText(Word varType) {
  const char* name;
  switch (varType & varTypeMask) {
    case varEmpty: name = "Empty"; break;
    case varNull: name = "Null"; break;
    case varSmallint: name = "Smallint"; break;
    case varInteger: name = "Integer"; break;
    case varSingle: name = "Single"; break;
    case varDouble: name = "Double"; break;
    case varCurrency: name = "Currency"; break;
    case varDate: name = "Date"; break;
    case varOleStr: name = "OleStr"; break;
    case varBoolean: name = "Boolean"; break;
    case varVariant: name = "Variant"; break;
    case varShortInt: name = "ShortInt"; break;
    case varByte: name = "Byte"; break;
    case varWord: name = "Word"; break;
    case varLongWord: name = "LongWord"; break;
    case varInt64: name = "Int64"; break;
    case varString: name = "String"; break;
    case varFMTBcd: name = "FMTBcd"; break;
    case varSQLTimeStamp: name = "SQLTimeStamp"; break;
    default: return Format("Unknown($%.4x)", {varType});
  }
  return (varType & varArray) ? AnsiString("Array ") + name : AnsiString(name);
}

// ---------------------------------------------------------------------------
// Published Variant properties.

namespace {
const TPropInfo* VariantPropOrThrow(const TPropInfo* prop, bool forWrite) {
  if (!prop || !prop->PropType || prop->PropType->Kind != tkVariant || !prop->GetAny)
    throw EPropertyError("Invalid property type: %s", {prop ? prop->Name : AnsiString("(none)")});
  if (forWrite && !prop->SetAny) throw EPropertyError("Property %s is read-only", {prop->Name});
  return prop;
}
const TPropInfo* FindProp(const TObject* obj, const AnsiString& name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p) throw EPropertyError("Property %s does not exist", {name});
  return p;
}
}  // namespace

Variant GetVariantProp(const TObject* obj, const TPropInfo* prop) {
  Variant v;
  VariantPropOrThrow(prop, false)->GetAny(obj, &v);
  return v;
}

void SetVariantProp(TObject* obj, const TPropInfo* prop, const Variant& value) {
  VariantPropOrThrow(prop, true)->SetAny(obj, &value);
}

Variant GetVariantProp(const TObject* obj, const AnsiString& name) { return GetVariantProp(obj, FindProp(obj, name)); }

void SetVariantProp(TObject* obj, const AnsiString& name, const Variant& value) {
  SetVariantProp(obj, FindProp(obj, name), value);
}
