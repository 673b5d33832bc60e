#include "library/data/cxVariants.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "library/data/cxDataConsts.h"
#include "library/data/cxDoubleOrder.h"
#include "platform/rtl/Extended80.h"
#include "platform/rtl/SqlTimeStamp.h"

static_assert(std::endian::native == std::endian::little, "the stream forms are written from memory as they are");

ORV_REGISTER(TcxFiler)
ORV_REGISTER(TcxReader)
ORV_REGISTER(TcxWriter)

// ---------------------------------------------------------------------------
// Comparison and tests.

namespace {

bool IsNaN(const Variant& V) {
  switch (V.VType()) {
    case varSingle:
    case varDouble:
    case varDate: return std::isnan(V.AsDouble());
    default: return false;
  }
}

Integer CompareScalars(const Variant& V1, const Variant& V2) {
  try {
    if (V1 == V2) return 0;
    if (VarIsNull(V1)) return -1;
    if (VarIsNull(V2)) return 1;
    // NaN is neither less than nor equal to anything to the operators: here
    // it equals NaN and follows every other value, as the cells of Float and
    // date fields order it (cxDoubleOrder.h), where it would come out
    // greater than every value and every value greater than it.
    const bool nan1 = IsNaN(V1), nan2 = IsNaN(V2);
    if (nan1 || nan2) return nan1 == nan2 ? 0 : nan1 ? 1 : -1;
    return V1 < V2 ? -1 : 1;
  } catch (const EVariantError&) {
    return -1;
  }
}

}  // namespace

Integer VarCompare(const Variant& V1, const Variant& V2) {
  const bool a1 = V1.IsArray(), a2 = V2.IsArray();
  if (!a1 && !a2) return CompareScalars(V1, V2);
  if (a1 && !a2) return 1;
  if (!a1) return -1;
  if (VarArrayDimCount(V1) != 1 || VarArrayDimCount(V2) != 1) return VarArrayDimCount(V1) - VarArrayDimCount(V2);
  const Integer low1 = VarArrayLowBound(V1, 1), high1 = VarArrayHighBound(V1, 1);
  const Integer low2 = VarArrayLowBound(V2, 1), high2 = VarArrayHighBound(V2, 1);
  if (high1 != high2) return high1 - high2;
  // Equal high bounds: compare the common run of elements from each low bound.
  const Integer count = std::min(high1 - low1, high2 - low2) + 1;
  for (Integer i = 0; i < count; ++i) {
    Integer r = VarCompare(V1[low1 + i], V2[low2 + i]);
    if (r != 0) return r;
  }
  return 0;
}

bool VarEquals(const Variant& V1, const Variant& V2) { return VarCompare(V1, V2) == 0; }

bool VarEqualsExact(const Variant& V1, const Variant& V2) {
  const Word t1 = VarType(V1), t2 = VarType(V2);
  if (t1 != varNull && t2 != varNull && (t1 == varBoolean || t2 == varBoolean)) {
    try {
      return VarAsType(V1, varString) == VarAsType(V2, varString);
    } catch (const EVariantError&) {
      return false;
    }
  }
  return VarEquals(V1, V2);
}

bool VarIsSoftNull(const Variant& V) {
  switch (VarType(V)) {
    case varNull:
      return true;
    case varString:
      return V.RawAnsi().empty();
    case varOleStr:
      return V.RawWide().empty();
    default:
      return false;
  }
}

bool VarEqualsSoft(const Variant& V1, const Variant& V2) {
  return VarEquals(V1, V2) || (VarIsSoftNull(V1) && VarIsSoftNull(V2));
}

Integer VarIndex(const TVariantArray& AArray, const Variant& AValue) {
  for (size_t i = 0; i < AArray.size(); ++i)
    if (VarEquals(AArray[i], AValue)) return static_cast<Integer>(i);
  return -1;
}

bool VarIsDate(const Variant& V) { return VarType(V) == varDate || VarType(V) == varSQLTimeStamp; }
bool VarIsNumericEx(const Variant& V) { return VarIsNumeric(V) || VarType(V) == varFMTBcd; }
bool VarTypeIsCurrency(Word AVarType) { return AVarType == varCurrency || AVarType == varFMTBcd; }

void VarBetweenArrayCreate(Variant& AResult, const Variant& AValue1, const Variant& AValue2) {
  Variant result = VarArrayCreate({0, 1}, varVariant);
  VarArrayPut(result, AValue1, {0});
  VarArrayPut(result, AValue2, {1});
  AResult = std::move(result);
}

void VarListArrayCreate(Variant& AResult, const Variant& AValue) {
  Variant result = VarArrayCreate({0, 0}, varVariant);
  VarArrayPut(result, AValue, {0});
  AResult = std::move(result);
}

void VarListArrayAddValue(Variant& AArray, const Variant& AValue) {
  const Integer low = VarArrayLowBound(AArray, 1), high = VarArrayHighBound(AArray, 1);
  const Integer count = high - low + 1;
  Variant result = VarArrayCreate({0, count}, varVariant);
  for (Integer i = 0; i < count; ++i) VarArrayPut(result, AArray[low + i], {i});
  VarArrayPut(result, AValue, {count});
  AArray = std::move(result);
}

// ---------------------------------------------------------------------------
// Fixed-width forms.

Int64 cxStreamRemaining(TStream* AStream) {
  Int64 rest = AStream->GetSize() - AStream->GetPosition();
  return rest < 0 ? 0 : rest;
}

void cxCheckStreamCount(TStream* AStream, Int64 ACount, Int64 AItemSize) {
  if (ACount < 0) cxDataReadError();
  if (ACount == 0) return;
  if (ACount > cxStreamRemaining(AStream) / (AItemSize > 0 ? AItemSize : 1)) cxDataReadError();
}

namespace {

template <class T>
T ReadRaw(TStream* S) {
  T v;
  S->ReadBuffer(&v, sizeof v);
  return v;
}

template <class T>
void WriteRaw(TStream* S, const T& v) {
  S->WriteBuffer(&v, sizeof v);
}

}  // namespace

#define CX_FIXED_ROUTINES(Name, Type, Raw)                                                            \
  Type Read##Name##Func(TStream* AStream) { return static_cast<Type>(ReadRaw<Raw>(AStream)); }      \
  void Read##Name##Proc(TStream* AStream, Type& AValue) { AValue = Read##Name##Func(AStream); }    \
  void Write##Name##Proc(TStream* AStream, const Type& AValue) { WriteRaw<Raw>(AStream, static_cast<Raw>(AValue)); }

CX_FIXED_ROUTINES(Char, AnsiChar, AnsiChar)
CX_FIXED_ROUTINES(Byte, Byte, Byte)
CX_FIXED_ROUTINES(ShortInt, ShortInt, ShortInt)
CX_FIXED_ROUTINES(Word, Word, Word)
CX_FIXED_ROUTINES(SmallInt, SmallInt, SmallInt)
CX_FIXED_ROUTINES(Integer, Integer, Integer)
CX_FIXED_ROUTINES(Cardinal, Cardinal, Cardinal)
CX_FIXED_ROUTINES(LargeInt, Int64, Int64)
CX_FIXED_ROUTINES(Single, Single, Single)

#undef CX_FIXED_ROUTINES

bool ReadBooleanFunc(TStream* AStream) { return ReadRaw<Byte>(AStream) != 0; }
void ReadBooleanProc(TStream* AStream, bool& AValue) { AValue = ReadBooleanFunc(AStream); }
void WriteBooleanProc(TStream* AStream, const bool& AValue) { WriteRaw<Byte>(AStream, AValue ? 1 : 0); }

Extended ReadFloatFunc(TStream* AStream) {
  Byte bytes[10];
  AStream->ReadBuffer(bytes, sizeof bytes);
  return Extended80ToDouble(bytes);
}
void ReadFloatProc(TStream* AStream, Extended& AValue) { AValue = ReadFloatFunc(AStream); }
void WriteFloatProc(TStream* AStream, const Extended& AValue) {
  TExtended80Bytes bytes = DoubleToExtended80(AValue);
  AStream->WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
}

Currency ReadCurrencyFunc(TStream* AStream) { return Currency::FromRaw(ReadRaw<Int64>(AStream)); }
void ReadCurrencyProc(TStream* AStream, Currency& AValue) { AValue = ReadCurrencyFunc(AStream); }
void WriteCurrencyProc(TStream* AStream, const Currency& AValue) { WriteRaw<Int64>(AStream, AValue.Value); }

TDateTime ReadDateTimeFunc(TStream* AStream) { return TDateTime(ReadRaw<double>(AStream)); }
void ReadDateTimeProc(TStream* AStream, TDateTime& AValue) { AValue = ReadDateTimeFunc(AStream); }
void WriteDateTimeProc(TStream* AStream, const TDateTime& AValue) { WriteRaw<double>(AStream, AValue.Value); }

// ---------------------------------------------------------------------------
// Strings.

AnsiString ReadStringFunc(TStream* AStream) {
  Integer length = ReadRaw<Integer>(AStream);
  cxCheckStreamCount(AStream, length, 1);
  AnsiString s(static_cast<size_t>(length), '\0');
  if (length > 0) AStream->ReadBuffer(s.data(), length);
  return s;
}
void ReadStringProc(TStream* AStream, AnsiString& AValue) { AValue = ReadStringFunc(AStream); }
void WriteStringProc(TStream* AStream, const AnsiString& AValue) {
  if (AValue.size() > 0x7FFFFFFFu) cxDataWriteError();
  WriteRaw<Integer>(AStream, static_cast<Integer>(AValue.size()));
  if (!AValue.empty()) AStream->WriteBuffer(AValue.data(), static_cast<Int64>(AValue.size()));
}

WideString ReadWideStringFunc(TStream* AStream) {
  Integer length = ReadRaw<Integer>(AStream);
  cxCheckStreamCount(AStream, length, 2);
  WideString s(static_cast<size_t>(length), u'\0');
  if (length > 0) AStream->ReadBuffer(s.data(), static_cast<Int64>(length) * 2);
  return s;
}
void ReadWideStringProc(TStream* AStream, WideString& AValue) { AValue = ReadWideStringFunc(AStream); }
void WriteWideStringProc(TStream* AStream, const WideString& AValue) {
  if (AValue.size() > 0x3FFFFFFFu) cxDataWriteError();
  WriteRaw<Integer>(AStream, static_cast<Integer>(AValue.size()));
  if (!AValue.empty()) AStream->WriteBuffer(AValue.data(), static_cast<Int64>(AValue.size()) * 2);
}

// ---------------------------------------------------------------------------
// Tagged variants.

namespace {

void WriteTag(TStream* S, Byte tag) { WriteRaw<Byte>(S, tag); }

void WriteTaggedInteger(TStream* S, Int64 v) {
  if (v >= -128 && v <= 127) {
    WriteTag(S, cxVariantTag::Int8);
    WriteRaw<ShortInt>(S, static_cast<ShortInt>(v));
  } else if (v >= -32768 && v <= 32767) {
    WriteTag(S, cxVariantTag::Int16);
    WriteRaw<SmallInt>(S, static_cast<SmallInt>(v));
  } else if (v >= INT32_MIN && v <= INT32_MAX) {
    WriteTag(S, cxVariantTag::Int32);
    WriteRaw<Integer>(S, static_cast<Integer>(v));
  } else {
    WriteTag(S, cxVariantTag::Int64);
    WriteRaw<Int64>(S, v);
  }
}

void WriteAnsi(TStream* S, const AnsiString& s) {
  if (s.size() <= 255) {
    WriteTag(S, cxVariantTag::ShortString);
    WriteRaw<Byte>(S, static_cast<Byte>(s.size()));
    if (!s.empty()) S->WriteBuffer(s.data(), static_cast<Int64>(s.size()));
  } else {
    WriteTag(S, cxVariantTag::LongString);
    WriteStringProc(S, s);
  }
}

void WriteVariantAt(TStream* S, const Variant& V, int depth) {
  if (V.IsArray()) {
    if (VarArrayDimCount(V) != 1 || depth >= cxMaxVariantNesting) cxDataWriteError();
    const Integer low = VarArrayLowBound(V, 1), high = VarArrayHighBound(V, 1);
    WriteTag(S, cxVariantTag::List);
    WriteTaggedInteger(S, static_cast<Int64>(high) - low + 1);
    for (Integer i = low; i <= high; ++i) WriteVariantAt(S, V[i], depth + 1);
    return;
  }
  switch (VarType(V) & varTypeMask) {
    case varEmpty:
      WriteTag(S, cxVariantTag::Empty);
      break;
    case varNull:
      WriteTag(S, cxVariantTag::Null);
      break;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      WriteTaggedInteger(S, V.RawInt());
      break;
    case varSingle:
      WriteTag(S, cxVariantTag::Single);
      WriteRaw<Single>(S, V.RawSingle());
      break;
    case varDouble:
      WriteTag(S, cxVariantTag::Extended);
      WriteFloatProc(S, V.RawDouble());
      break;
    case varCurrency:
      WriteTag(S, cxVariantTag::Currency);
      WriteRaw<Int64>(S, V.RawInt());
      break;
    case varDate:
      WriteTag(S, cxVariantTag::Date);
      WriteRaw<double>(S, V.RawDouble());
      break;
    case varOleStr:
      WriteTag(S, cxVariantTag::WideString);
      WriteWideStringProc(S, V.RawWide());
      break;
    case varBoolean:
      WriteTag(S, V.RawInt() ? cxVariantTag::True : cxVariantTag::False);
      break;
    case varString:
      WriteAnsi(S, V.RawAnsi());
      break;
    case varSQLTimeStamp: {
      TDateTime dt;
      if (!TrySQLTimeStampToDateTime(V.RawTimeStamp(), dt)) cxDataWriteError();
      WriteTag(S, cxVariantTag::Date);
      WriteRaw<double>(S, dt.Value);
      break;
    }
    default: {
      // Decimals and anything else travel as their text.
      AnsiString text;
      try {
        text = VarToStr(V);
      } catch (const Exception&) {
        cxDataWriteError();
      }
      WriteAnsi(S, text);
      break;
    }
  }
}

// reserved: the bytes the lists around this value still need after it, at
// least one for each element they have not read yet. A list's elements
// must fit in what is left beyond that, so nested lists cannot each claim
// the rest of the stream: together they hold no more elements than the
// stream has bytes.
Variant ReadVariantAt(TStream* S, int depth, Int64 reserved) {
  const Byte tag = ReadRaw<Byte>(S);
  switch (tag) {
    case cxVariantTag::Null:
      return Null();
    case cxVariantTag::Empty:
      return Variant();
    case cxVariantTag::List: {
      if (depth >= cxMaxVariantNesting) cxDataReadError();
      const Byte countTag = ReadRaw<Byte>(S);
      Int64 count;
      switch (countTag) {
        case cxVariantTag::Int8: count = ReadRaw<ShortInt>(S); break;
        case cxVariantTag::Int16: count = ReadRaw<SmallInt>(S); break;
        case cxVariantTag::Int32: count = ReadRaw<Integer>(S); break;
        default: count = ReadRaw<Int64>(S); break;
      }
      // Every element takes at least its tag byte.
      if (count < 0 || count > cxStreamRemaining(S) - reserved || count > 0x7FFFFFFF) cxDataReadError();
      Variant result = VarArrayCreate({0, static_cast<Integer>(count - 1)}, varVariant);
      for (Integer i = 0; i < count; ++i)
        VarArrayPut(result, ReadVariantAt(S, depth + 1, reserved + (count - 1 - i)), {i});
      return result;
    }
    case cxVariantTag::Int8:
      return Variant(ReadRaw<ShortInt>(S));
    case cxVariantTag::Int16:
      return Variant(ReadRaw<SmallInt>(S));
    case cxVariantTag::Int32:
      return Variant(ReadRaw<Integer>(S));
    case cxVariantTag::Int64:
      return Variant(ReadRaw<Int64>(S));
    case cxVariantTag::Extended:
      return Variant(static_cast<double>(ReadFloatFunc(S)));
    case cxVariantTag::ShortString: {
      const Byte length = ReadRaw<Byte>(S);
      AnsiString s(length, '\0');
      if (length) S->ReadBuffer(s.data(), length);
      return Variant(std::move(s));
    }
    case cxVariantTag::LongString:
      return Variant(ReadStringFunc(S));
    case cxVariantTag::False:
      return Variant(false);
    case cxVariantTag::True:
      return Variant(true);
    case cxVariantTag::Single:
      return Variant(ReadRaw<Single>(S));
    case cxVariantTag::Currency:
      return Variant(Currency::FromRaw(ReadRaw<Int64>(S)));
    case cxVariantTag::Date:
      return Variant(TDateTime(ReadRaw<double>(S)));
    case cxVariantTag::WideString:
      return Variant(ReadWideStringFunc(S));
    default:
      cxDataReadError();
  }
}

}  // namespace

Variant ReadVariantFunc(TStream* AStream) { return ReadVariantAt(AStream, 0, 0); }
void ReadVariantProc(TStream* AStream, Variant& AValue) { AValue = ReadVariantAt(AStream, 0, 0); }
void WriteVariantProc(TStream* AStream, const Variant& AValue) { WriteVariantAt(AStream, AValue, 0); }
