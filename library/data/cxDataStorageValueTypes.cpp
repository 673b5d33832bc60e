#include "library/data/cxDataStorageValueTypes.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "library/data/cxDataConsts.h"
#include "library/data/cxDoubleOrder.h"
#include "platform/rtl/DateText.h"
#include "platform/rtl/SqlTimeStamp.h"

ORV_REGISTER(TcxValueType)
ORV_REGISTER(TcxStringValueType)
ORV_REGISTER(TcxWideStringValueType)
ORV_REGISTER(TcxSmallintValueType)
ORV_REGISTER(TcxIntegerValueType)
ORV_REGISTER(TcxWordValueType)
ORV_REGISTER(TcxBooleanValueType)
ORV_REGISTER(TcxFloatValueType)
ORV_REGISTER(TcxCurrencyValueType)
ORV_REGISTER(TcxDateTimeValueType)
ORV_REGISTER(TcxLargeIntValueType)
ORV_REGISTER(TcxFMTBcdValueType)
ORV_REGISTER(TcxSQLTimeStampValueType)
ORV_REGISTER(TcxVariantValueType)
ORV_REGISTER(TcxObjectValueType)
ORV_REGISTER(TcxValueTypeClassList)

namespace {

// Cells are not aligned: every access copies bytes.
template <class T>
T Load(const void* P) {
  T v;
  std::memcpy(&v, P, sizeof v);
  return v;
}

template <class T>
void Store(void* P, const T& v) {
  std::memcpy(P, &v, sizeof v);
}

template <class T>
T* Holder(const void* P) {
  return Load<T*>(P);
}

template <class T>
Integer Order(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

template <class T>
Integer CompareHolders(const T* a, const T* b) {
  if (!a) return b ? -1 : 0;
  if (!b) return 1;
  Integer r = a->compare(*b);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

}  // namespace

// ---------------------------------------------------------------------------
// Base.

Integer TcxValueType::Compare(const void* P1, const void* P2) const { return CompareValues(P1, P2); }

void TcxValueType::FreeTextBuffer(void* P) const {
  delete Holder<AnsiString>(P);
  Store<AnsiString*>(P, nullptr);
}

void TcxValueType::GetDataValue(const void*, Variant& V) const { V = Null(); }

AnsiString TcxValueType::GetDefaultDisplayText(const void* P) const {
  Variant v;
  GetDataValue(P, v);
  try {
    return VarToStr(v);
  } catch (const EVariantError&) {
    return AnsiString();
  }
}

AnsiString TcxValueType::GetDisplayText(const void* P) const {
  const AnsiString* s = Holder<AnsiString>(P);
  return s ? *s : AnsiString();
}

void TcxValueType::ReadDataValue(void* P, TStream* AStream) const {
  Variant v = ReadVariantFunc(AStream);
  SetDataValue(P, v);
}

void TcxValueType::ReadDisplayText(void* P, TStream* AStream) const { SetDisplayText(P, ReadStringFunc(AStream)); }

void TcxValueType::SetDataValue(void*, const Variant&) const {}

void TcxValueType::SetDisplayText(void* P, const AnsiString& S) const {
  if (AnsiString* s = Holder<AnsiString>(P))
    *s = S;
  else
    Store<AnsiString*>(P, new AnsiString(S));
}

void TcxValueType::WriteDataValue(const void* P, TStream* AStream) const {
  Variant v;
  GetDataValue(P, v);
  WriteVariantProc(AStream, v);
}

void TcxValueType::WriteDisplayText(const void* P, TStream* AStream) const {
  const AnsiString* s = Holder<AnsiString>(P);
  WriteStringProc(AStream, s ? *s : AnsiString());
}

AnsiString TcxValueType::Caption() const {
  AnsiString name = ClassName();
  if (name.compare(0, 3, "Tcx") == 0) name.erase(0, 3);
  auto pos = name.find("ValueType");
  if (pos != AnsiString::npos) name.erase(pos, 9);
  return name;
}

Integer TcxValueType::CompareValues(const void* P1, const void* P2) const {
  Variant v1, v2;
  GetDataValue(P1, v1);
  GetDataValue(P2, v2);
  return VarCompare(v1, v2);
}

Variant TcxValueType::GetValue(const void* P) const {
  Variant v;
  GetDataValue(P, v);
  return v;
}

bool TcxValueType::IsValueValid(Variant& V) const {
  if (VarIsNull(V) || GetVarType() == varVariant) return true;
  try {
    V = VarAsType(V, GetVarType());
    return true;
  } catch (const EVariantError&) {
    return false;
  }
}

// ---------------------------------------------------------------------------
// String and WideString: the same cells (a pointer to a text held apart,
// null for Null) over 8-bit and wide text.

namespace {

template <class S>
struct TextTraits;

template <>
struct TextTraits<AnsiString> {
  static constexpr Word VarType = varString;
  static const AnsiString& Raw(const Variant& V) { return V.RawAnsi(); }
  static AnsiString Read(TStream* AStream) { return ReadStringFunc(AStream); }
  static void Write(TStream* AStream, const AnsiString& S) { WriteStringProc(AStream, S); }
};

template <>
struct TextTraits<WideString> {
  static constexpr Word VarType = varOleStr;
  static const WideString& Raw(const Variant& V) { return V.RawWide(); }
  static WideString Read(TStream* AStream) { return ReadWideStringFunc(AStream); }
  static void Write(TStream* AStream, const WideString& S) { WriteWideStringProc(AStream, S); }
};

template <class S>
struct TextCell {
  using T = TextTraits<S>;
  static void Free(void* P) {
    delete Holder<S>(P);
    Store<S*>(P, nullptr);
  }
  static void Get(const void* P, Variant& V) {
    const S* s = Holder<S>(P);
    V = s ? Variant(*s) : Null();
  }
  static void Set(void* P, const Variant& V) {
    S text = VarType(V) == T::VarType ? T::Raw(V) : T::Raw(VarAsType(V, T::VarType));
    if (S* s = Holder<S>(P))
      *s = std::move(text);
    else
      Store<S*>(P, new S(std::move(text)));
  }
  static void Read(void* P, TStream* AStream) { Set(P, Variant(T::Read(AStream))); }
  static void Write(const void* P, TStream* AStream) {
    const S* s = Holder<S>(P);
    T::Write(AStream, s ? *s : S());
  }
  // On the holders themselves (PrepareValueBuffer's answer).
  static Integer Compare(const void* P1, const void* P2) {
    return CompareHolders(static_cast<const S*>(P1), static_cast<const S*>(P2));
  }
  static Variant Value(const void* P) {
    const auto* s = static_cast<const S*>(P);
    return s ? Variant(*s) : Null();
  }
};

using AnsiCell = TextCell<AnsiString>;
using WideCell = TextCell<WideString>;

}  // namespace

// The wide type differs only in its variant type; every cell operation
// picks the cell kind by it.
bool TcxStringValueType::IsWide() const { return GetVarType() == varOleStr; }

Integer TcxStringValueType::Compare(const void* P1, const void* P2) const {
  return CompareValues(PrepareValueBuffer(P1), PrepareValueBuffer(P2));
}
void TcxStringValueType::FreeBuffer(void* P) const { IsWide() ? WideCell::Free(P) : AnsiCell::Free(P); }
void TcxStringValueType::GetDataValue(const void* P, Variant& V) const {
  IsWide() ? WideCell::Get(P, V) : AnsiCell::Get(P, V);
}
void TcxStringValueType::ReadDataValue(void* P, TStream* AStream) const {
  IsWide() ? WideCell::Read(P, AStream) : AnsiCell::Read(P, AStream);
}
void TcxStringValueType::SetDataValue(void* P, const Variant& V) const {
  IsWide() ? WideCell::Set(P, V) : AnsiCell::Set(P, V);
}
void TcxStringValueType::WriteDataValue(const void* P, TStream* AStream) const {
  IsWide() ? WideCell::Write(P, AStream) : AnsiCell::Write(P, AStream);
}
Integer TcxStringValueType::CompareValues(const void* P1, const void* P2) const {
  return IsWide() ? WideCell::Compare(P1, P2) : AnsiCell::Compare(P1, P2);
}
Variant TcxStringValueType::GetValue(const void* P) const {
  return IsWide() ? WideCell::Value(P) : AnsiCell::Value(P);
}
const void* TcxStringValueType::PrepareValueBuffer(const void* P) const { return Load<const void*>(P); }

// ---------------------------------------------------------------------------
// Fixed-width numbers.

void TcxSmallintValueType::GetDataValue(const void* P, Variant& V) const { V = Load<SmallInt>(P); }
void TcxSmallintValueType::ReadDataValue(void* P, TStream* AStream) const {
  SetDataValue(P, Variant(ReadSmallIntFunc(AStream)));
}
void TcxSmallintValueType::SetDataValue(void* P, const Variant& V) const {
  Store<SmallInt>(P, static_cast<SmallInt>(VarAsType(V, varSmallint).RawInt()));
}
void TcxSmallintValueType::WriteDataValue(const void* P, TStream* AStream) const {
  WriteSmallIntProc(AStream, Load<SmallInt>(P));
}
Integer TcxSmallintValueType::CompareValues(const void* P1, const void* P2) const {
  return Integer(Load<SmallInt>(P1)) - Integer(Load<SmallInt>(P2));
}

void TcxIntegerValueType::GetDataValue(const void* P, Variant& V) const { V = Load<Integer>(P); }
void TcxIntegerValueType::ReadDataValue(void* P, TStream* AStream) const {
  SetDataValue(P, Variant(ReadIntegerFunc(AStream)));
}
void TcxIntegerValueType::SetDataValue(void* P, const Variant& V) const {
  Store<Integer>(P, static_cast<Integer>(VarAsType(V, varInteger).RawInt()));
}
void TcxIntegerValueType::WriteDataValue(const void* P, TStream* AStream) const {
  WriteIntegerProc(AStream, Load<Integer>(P));
}
Integer TcxIntegerValueType::CompareValues(const void* P1, const void* P2) const {
  return Order(Load<Integer>(P1), Load<Integer>(P2));
}

void TcxWordValueType::GetDataValue(const void* P, Variant& V) const { V = Load<Word>(P); }
void TcxWordValueType::ReadDataValue(void* P, TStream* AStream) const { SetDataValue(P, Variant(ReadWordFunc(AStream))); }
void TcxWordValueType::SetDataValue(void* P, const Variant& V) const {
  Store<Word>(P, static_cast<Word>(VarAsType(V, varWord).RawInt()));
}
void TcxWordValueType::WriteDataValue(const void* P, TStream* AStream) const { WriteWordProc(AStream, Load<Word>(P)); }
Integer TcxWordValueType::CompareValues(const void* P1, const void* P2) const {
  return Integer(Load<Word>(P1)) - Integer(Load<Word>(P2));
}

void TcxBooleanValueType::GetDataValue(const void* P, Variant& V) const { V = Load<Byte>(P) != 0; }
AnsiString TcxBooleanValueType::GetDefaultDisplayText(const void* P) const {
  return Load<Byte>(P) ? "True" : "False";
}
void TcxBooleanValueType::ReadDataValue(void* P, TStream* AStream) const {
  SetDataValue(P, Variant(ReadBooleanFunc(AStream)));
}
void TcxBooleanValueType::SetDataValue(void* P, const Variant& V) const { Store<Byte>(P, V.AsBoolean() ? 1 : 0); }
void TcxBooleanValueType::WriteDataValue(const void* P, TStream* AStream) const {
  WriteBooleanProc(AStream, Load<Byte>(P) != 0);
}
Integer TcxBooleanValueType::CompareValues(const void* P1, const void* P2) const {
  return Integer(Load<Byte>(P1)) - Integer(Load<Byte>(P2));
}

void TcxFloatValueType::GetDataValue(const void* P, Variant& V) const { V = Load<double>(P); }
void TcxFloatValueType::ReadDataValue(void* P, TStream* AStream) const { Store<double>(P, ReadFloatFunc(AStream)); }
void TcxFloatValueType::SetDataValue(void* P, const Variant& V) const { Store<double>(P, V.AsDouble()); }
void TcxFloatValueType::WriteDataValue(const void* P, TStream* AStream) const {
  WriteFloatProc(AStream, Load<double>(P));
}
Integer TcxFloatValueType::CompareValues(const void* P1, const void* P2) const {
  return cxCompareDoubles(Load<double>(P1), Load<double>(P2));
}

void TcxCurrencyValueType::GetDataValue(const void* P, Variant& V) const {
  V = Currency::FromRaw(Load<Int64>(P));
}
void TcxCurrencyValueType::ReadDataValue(void* P, TStream* AStream) const {
  SetDataValue(P, Variant(ReadCurrencyFunc(AStream)));
}
void TcxCurrencyValueType::SetDataValue(void* P, const Variant& V) const { Store<Int64>(P, V.AsCurrency().Value); }
void TcxCurrencyValueType::WriteDataValue(const void* P, TStream* AStream) const {
  WriteCurrencyProc(AStream, Currency::FromRaw(Load<Int64>(P)));
}
Integer TcxCurrencyValueType::CompareValues(const void* P1, const void* P2) const {
  return Order(Load<Int64>(P1), Load<Int64>(P2));
}

void TcxDateTimeValueType::GetDataValue(const void* P, Variant& V) const { V = TDateTime(Load<double>(P)); }
AnsiString TcxDateTimeValueType::GetDefaultDisplayText(const void* P) const {
  return DateTimeToStr(TDateTime(Load<double>(P)));
}
void TcxDateTimeValueType::ReadDataValue(void* P, TStream* AStream) const {
  SetDataValue(P, Variant(ReadDateTimeFunc(AStream)));
}
void TcxDateTimeValueType::SetDataValue(void* P, const Variant& V) const { Store<double>(P, V.AsDateTime().Value); }
void TcxDateTimeValueType::WriteDataValue(const void* P, TStream* AStream) const {
  WriteDateTimeProc(AStream, TDateTime(Load<double>(P)));
}
Integer TcxDateTimeValueType::CompareValues(const void* P1, const void* P2) const {
  return cxCompareDoubles(Load<double>(P1), Load<double>(P2));
}

void TcxLargeIntValueType::GetDataValue(const void* P, Variant& V) const { V = Load<Int64>(P); }
void TcxLargeIntValueType::ReadDataValue(void* P, TStream* AStream) const { Store<Int64>(P, ReadLargeIntFunc(AStream)); }
void TcxLargeIntValueType::SetDataValue(void* P, const Variant& V) const { Store<Int64>(P, V.AsInt64()); }
void TcxLargeIntValueType::WriteDataValue(const void* P, TStream* AStream) const {
  AStream->WriteBuffer(P, 8);
}
Integer TcxLargeIntValueType::CompareValues(const void* P1, const void* P2) const {
  return Order(Load<Int64>(P1), Load<Int64>(P2));
}

// ---------------------------------------------------------------------------
// Decimals and time stamps.

void TcxFMTBcdValueType::GetDataValue(const void* P, Variant& V) const { V = Load<TBcd>(P); }
AnsiString TcxFMTBcdValueType::GetDefaultDisplayText(const void* P) const { return BcdToStr(Load<TBcd>(P)); }
void TcxFMTBcdValueType::SetDataValue(void* P, const Variant& V) const { Store<TBcd>(P, V.AsBcd()); }
Integer TcxFMTBcdValueType::CompareValues(const void* P1, const void* P2) const {
  return BcdCompare(Load<TBcd>(P1), Load<TBcd>(P2));
}

void TcxSQLTimeStampValueType::GetDataValue(const void* P, Variant& V) const {
  TDateTime dt;
  if (TrySQLTimeStampToDateTime(Load<TSQLTimeStamp>(P), dt))
    V = dt;
  else
    V = Null();
}
void TcxSQLTimeStampValueType::SetDataValue(void* P, const Variant& V) const {
  Store<TSQLTimeStamp>(P, V.AsSQLTimeStamp());
}
Integer TcxSQLTimeStampValueType::CompareValues(const void* P1, const void* P2) const {
  auto a = Load<TSQLTimeStamp>(P1), b = Load<TSQLTimeStamp>(P2);
  auto r = a <=> b;
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

// ---------------------------------------------------------------------------
// Variant and Object.

Integer TcxVariantValueType::Compare(const void* P1, const void* P2) const {
  return CompareValues(PrepareValueBuffer(P1), PrepareValueBuffer(P2));
}
void TcxVariantValueType::FreeBuffer(void* P) const {
  delete Holder<Variant>(P);
  Store<Variant*>(P, nullptr);
}
void TcxVariantValueType::GetDataValue(const void* P, Variant& V) const {
  const Variant* v = Holder<Variant>(P);
  V = v ? *v : Null();
}
void TcxVariantValueType::SetDataValue(void* P, const Variant& V) const {
  if (Variant* v = Holder<Variant>(P))
    *v = V;
  else
    Store<Variant*>(P, new Variant(V));
}
Integer TcxVariantValueType::CompareValues(const void* P1, const void* P2) const {
  const auto* a = static_cast<const Variant*>(P1);
  const auto* b = static_cast<const Variant*>(P2);
  if (!a) return b ? -1 : 0;
  if (!b) return 1;
  return VarCompare(*a, *b);
}
Variant TcxVariantValueType::GetValue(const void* P) const {
  const auto* v = static_cast<const Variant*>(P);
  return v ? *v : Null();
}
const void* TcxVariantValueType::PrepareValueBuffer(const void* P) const { return Load<const void*>(P); }

TObject* TcxObjectValueType::GetObject(const void* P) {
  return reinterpret_cast<TObject*>(static_cast<NativeInt>(Load<Int64>(P)));
}
void TcxObjectValueType::FreeBuffer(void* P) const {
  TObject* obj = GetObject(P);
  Store<Int64>(P, 0);
  if (obj) obj->Free();
}

// ---------------------------------------------------------------------------
// Registry.

void TcxValueTypeClassList::RegisterItem(TcxValueTypeClass AClass) {
  if (AClass && std::find(FItems.begin(), FItems.end(), AClass) == FItems.end()) FItems.push_back(AClass);
}

void TcxValueTypeClassList::UnregisterItem(TcxValueTypeClass AClass) {
  auto it = std::find(FItems.begin(), FItems.end(), AClass);
  if (it != FItems.end()) FItems.erase(it);
}

TcxValueTypeClass TcxValueTypeClassList::GetItem(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) throw EListError("List index out of bounds (%d)", {Index});
  return FItems[static_cast<size_t>(Index)];
}

TcxValueTypeClass TcxValueTypeClassList::ItemByCaption(const AnsiString& ACaption) const {
  for (TcxValueTypeClass c : FItems)
    if (c->Caption() == ACaption) return c;
  return nullptr;
}

TcxValueTypeClassList* cxValueTypeClassList() {
  static TcxValueTypeClassList* list = [] {
    auto* l = New<TcxValueTypeClassList>();
    for (TcxValueTypeClass c :
         {TcxStringValueType::Class(), TcxWideStringValueType::Class(), TcxSmallintValueType::Class(),
          TcxIntegerValueType::Class(), TcxWordValueType::Class(), TcxBooleanValueType::Class(),
          TcxFloatValueType::Class(), TcxCurrencyValueType::Class(), TcxDateTimeValueType::Class(),
          TcxLargeIntValueType::Class(), TcxFMTBcdValueType::Class(), TcxSQLTimeStampValueType::Class(),
          TcxVariantValueType::Class(), TcxObjectValueType::Class()})
      l->RegisterItem(c);
    return l;
  }();
  return list;
}
