// Variant comparison and tests shared by the whole data layer, and the
// typed binary encoding of values on a stream.
//
// Stream forms are little-endian. Strings are a 4-byte length and the
// bytes, wide strings a 4-byte character count and UTF-16LE units, a
// variant one tag byte and its payload (integers in the smallest form that
// fits). Streams may come from files the user picked: every length, count
// and nesting depth read is checked against what the stream still holds,
// and a bad stream raises EReadError "Stream read error" without touching
// the output variable.
#pragma once

#include <vector>

#include "platform/rtl/Streams.h"
#include "platform/rtl/Variant.h"

using TVariantArray = std::vector<Variant>;

// Negative, zero or positive. Null sorts before every other value; a pair
// the platform cannot compare (text against a number) gives -1 in either
// order. Arrays compare by length, then element by element.
Integer VarCompare(const Variant& V1, const Variant& V2);
bool VarEquals(const Variant& V1, const Variant& V2);
// Equality that never lets a Boolean equal a number: a Boolean is compared
// as its text ("True"/"False") with the other side's text.
bool VarEqualsExact(const Variant& V1, const Variant& V2);
// VarEquals, or both null-or-empty-text.
bool VarEqualsSoft(const Variant& V1, const Variant& V2);
Integer VarIndex(const TVariantArray& AArray, const Variant& AValue);

bool VarIsDate(const Variant& V);
bool VarIsNumericEx(const Variant& V);
bool VarIsSoftNull(const Variant& V);
bool VarTypeIsCurrency(Word AVarType);

void VarBetweenArrayCreate(Variant& AResult, const Variant& AValue1, const Variant& AValue2);
void VarListArrayCreate(Variant& AResult, const Variant& AValue);
void VarListArrayAddValue(Variant& AArray, const Variant& AValue);

// Tags of the variant encoding.
namespace cxVariantTag {
constexpr Byte Null = 0, List = 1, Int8 = 2, Int16 = 3, Int32 = 4, Extended = 5, ShortString = 6, False = 8,
               True = 9, LongString = 12, Empty = 13, Single = 15, Currency = 16, Date = 17, WideString = 18,
               Int64 = 19;
}  // namespace cxVariantTag

// Lists deeper than this are refused when read (and when written, so that
// everything written can be read back).
constexpr int cxMaxVariantNesting = 64;

// The bytes a stream still holds after its position.
Int64 cxStreamRemaining(TStream* AStream);
// Raises the read error unless ACount items of AItemSize bytes each can
// still be read (a negative count is refused too).
void cxCheckStreamCount(TStream* AStream, Int64 ACount, Int64 AItemSize);

#define CX_STREAM_ROUTINES(Name, Type)                      \
  Type Read##Name##Func(TStream* AStream);                  \
  void Read##Name##Proc(TStream* AStream, Type& AValue);    \
  void Write##Name##Proc(TStream* AStream, const Type& AValue);

CX_STREAM_ROUTINES(Boolean, bool)
CX_STREAM_ROUTINES(Char, AnsiChar)
CX_STREAM_ROUTINES(Byte, Byte)
CX_STREAM_ROUTINES(ShortInt, ShortInt)
CX_STREAM_ROUTINES(Word, Word)
CX_STREAM_ROUTINES(SmallInt, SmallInt)
CX_STREAM_ROUTINES(Integer, Integer)
CX_STREAM_ROUTINES(Cardinal, Cardinal)
CX_STREAM_ROUTINES(LargeInt, Int64)
CX_STREAM_ROUTINES(Single, Single)
CX_STREAM_ROUTINES(Float, Extended)
CX_STREAM_ROUTINES(Currency, Currency)
CX_STREAM_ROUTINES(DateTime, TDateTime)
CX_STREAM_ROUTINES(String, AnsiString)
CX_STREAM_ROUTINES(WideString, WideString)
CX_STREAM_ROUTINES(Variant, Variant)

#undef CX_STREAM_ROUTINES

// A stream kept (not owned) for the reader and the writer below.
class TcxFiler : public TObject {
  ORV_CLASS(TcxFiler, TObject)
 public:
  explicit TcxFiler(TStream* AStream) : FStream(AStream) {}
  TStream* GetStream() const { return FStream; }

 protected:
  TStream* FStream;
};

class TcxReader : public TcxFiler {
  ORV_CLASS(TcxReader, TcxFiler)
 public:
  using TcxFiler::TcxFiler;
  bool ReadBoolean() { return ReadBooleanFunc(FStream); }
  Byte ReadByte() { return ReadByteFunc(FStream); }
  Cardinal ReadCardinal() { return ReadCardinalFunc(FStream); }
  AnsiChar ReadChar() { return ReadCharFunc(FStream); }
  Currency ReadCurrency() { return ReadCurrencyFunc(FStream); }
  TDateTime ReadDateTime() { return ReadDateTimeFunc(FStream); }
  Extended ReadFloat() { return ReadFloatFunc(FStream); }
  Integer ReadInteger() { return ReadIntegerFunc(FStream); }
  Int64 ReadLargeInt() { return ReadLargeIntFunc(FStream); }
  ShortInt ReadShortInt() { return ReadShortIntFunc(FStream); }
  Single ReadSingle() { return ReadSingleFunc(FStream); }
  SmallInt ReadSmallInt() { return ReadSmallIntFunc(FStream); }
  AnsiString ReadString() { return ReadStringFunc(FStream); }
  Variant ReadVariant() { return ReadVariantFunc(FStream); }
  WideString ReadWideString() { return ReadWideStringFunc(FStream); }
  Word ReadWord() { return ReadWordFunc(FStream); }
};

class TcxWriter : public TcxFiler {
  ORV_CLASS(TcxWriter, TcxFiler)
 public:
  using TcxFiler::TcxFiler;
  void WriteBoolean(bool AValue) { WriteBooleanProc(FStream, AValue); }
  void WriteByte(Byte AValue) { WriteByteProc(FStream, AValue); }
  void WriteCardinal(Cardinal AValue) { WriteCardinalProc(FStream, AValue); }
  void WriteChar(AnsiChar AValue) { WriteCharProc(FStream, AValue); }
  void WriteCurrency(Currency AValue) { WriteCurrencyProc(FStream, AValue); }
  void WriteDateTime(TDateTime AValue) { WriteDateTimeProc(FStream, AValue); }
  void WriteFloat(Extended AValue) { WriteFloatProc(FStream, AValue); }
  void WriteInteger(Integer AValue) { WriteIntegerProc(FStream, AValue); }
  void WriteLargeInt(Int64 AValue) { WriteLargeIntProc(FStream, AValue); }
  void WriteShortInt(ShortInt AValue) { WriteShortIntProc(FStream, AValue); }
  void WriteSingle(Single AValue) { WriteSingleProc(FStream, AValue); }
  void WriteSmallInt(SmallInt AValue) { WriteSmallIntProc(FStream, AValue); }
  void WriteString(const AnsiString& AValue) { WriteStringProc(FStream, AValue); }
  void WriteVariant(const Variant& AValue) { WriteVariantProc(FStream, AValue); }
  void WriteWideString(const WideString& AValue) { WriteWideStringProc(FStream, AValue); }
  void WriteWord(Word AValue) { WriteWordProc(FStream, AValue); }
};
