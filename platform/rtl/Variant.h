// Variant: one value of any of the run-time library's kinds, with value
// semantics, conversions, comparison and arithmetic.
//
//   Variant v = 42;                    // varInteger
//   Variant s = AnsiString("3,5");     // varString (binary-safe bytes)
//   v = v + s;                         // 45.5 in de-DE: text meets a number
//   VarToStr(Null())                   // ""
//   VarAsType(true, varInteger)        // -1
//
// The kind codes are part of the interface (streams and editors compare
// them), so every integer width keeps its own code. Numbers live inside the
// 16-byte value itself; strings, decimals, time stamps and arrays live in
// shared immutable boxes, so a copy never allocates and an array is copied
// only when a shared one is written to.
//
// Conversions follow the current format settings (decimal separator, date
// formats). A conversion that cannot be made raises EVariantTypeCastError,
// one whose result does not fit raises EVariantOverflowError; both are
// EVariantErrors, ordinary exceptions that comparison helpers catch.
#pragma once

#include <initializer_list>
#include <string_view>
#include <type_traits>

#include "platform/rtl/Bcd.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/TypeInfo.h"
#include "platform/rtl/Types.h"

// Kind codes.
constexpr Word varEmpty = 0x0000;
constexpr Word varNull = 0x0001;
constexpr Word varSmallint = 0x0002;
constexpr Word varInteger = 0x0003;
constexpr Word varSingle = 0x0004;
constexpr Word varDouble = 0x0005;
constexpr Word varCurrency = 0x0006;
constexpr Word varDate = 0x0007;
constexpr Word varOleStr = 0x0008;  // wide (UTF-16) string
constexpr Word varBoolean = 0x000B;
constexpr Word varVariant = 0x000C;  // element kind of arrays
constexpr Word varShortInt = 0x0010;
constexpr Word varByte = 0x0011;
constexpr Word varWord = 0x0012;
constexpr Word varLongWord = 0x0013;
constexpr Word varInt64 = 0x0014;
constexpr Word varString = 0x0100;  // 8-bit string
// Our own kinds; streams never carry these codes (they write the value as
// text or as a date instead).
constexpr Word varFMTBcd = 0x0110;
constexpr Word varSQLTimeStamp = 0x0111;
constexpr Word varTypeMask = 0x0FFF;
constexpr Word varArray = 0x2000;

namespace orv::variant_detail {
// A shared immutable payload. Reference counts are atomic so that values
// may be read from several threads at once.
struct Box;
struct ArrayData;
}  // namespace orv::variant_detail

class Variant {
 public:
  Variant() noexcept : FType(varEmpty), FInt(0) {}
  Variant(const Variant& other) noexcept;
  Variant(Variant&& other) noexcept : FType(other.FType), FInt(other.FInt) {
    other.FType = varEmpty;
    other.FInt = 0;
  }
  Variant& operator=(const Variant& other) noexcept;
  Variant& operator=(Variant&& other) noexcept;
  ~Variant() {
    if (IsBoxedType(FType)) Release();
  }

  // Scalars: each C++ integer type keeps the kind of its width.
  Variant(bool v) noexcept : FType(varBoolean), FInt(v ? 1 : 0) {}
  template <class I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, bool> && !std::is_same_v<I, char> &&
             !std::is_same_v<I, char16_t> && !std::is_same_v<I, char32_t> && !std::is_same_v<I, wchar_t>)
  Variant(I v) : FType(IntegerKind<I>()), FInt(static_cast<Int64>(v)) {
    if constexpr (std::is_unsigned_v<I> && sizeof(I) == 8)
      if (v > static_cast<I>(INT64_MAX)) ThrowUnsignedOverflow();
  }
  Variant(float v) noexcept : FType(varSingle), FInt(0) { FSingle = v; }
  Variant(double v) noexcept : FType(varDouble), FInt(0) { FDouble = v; }
  Variant(Currency v) noexcept : FType(varCurrency), FInt(v.Value) {}
  Variant(TDateTime v) noexcept : FType(varDate), FInt(0) { FDouble = v.Value; }
  // Text: a char is a one-character 8-bit string.
  Variant(char c);
  Variant(const char* s);
  Variant(std::string_view s);
  Variant(const AnsiString& s);
  Variant(AnsiString&& s);
  Variant(const char16_t* s);
  Variant(const WideString& s);
  Variant(WideString&& s);
  Variant(const TBcd& v);
  Variant(const TSQLTimeStamp& v);

  static Variant MakeNull() noexcept {
    Variant v;
    v.FType = varNull;
    return v;
  }

  // The kind code (with varArray for arrays).
  Word VType() const noexcept { return FType; }
  void Clear() noexcept;
  bool IsArray() const noexcept { return (FType & varArray) != 0; }

  // Direct reads without conversion, for code that has checked the kind.
  Int64 RawInt() const noexcept { return FInt; }  // integer kinds, Boolean (0/1), Currency units
  double RawDouble() const noexcept { return FDouble; }  // varDouble, varDate
  float RawSingle() const noexcept { return FSingle; }
  const AnsiString& RawAnsi() const;         // varString
  const WideString& RawWide() const;         // varOleStr
  const TBcd& RawBcd() const;                // varFMTBcd
  const TSQLTimeStamp& RawTimeStamp() const;  // varSQLTimeStamp

  // Conversions (see VarAsType for the rules).
  Integer AsInteger() const;
  Int64 AsInt64() const;
  double AsDouble() const;
  float AsSingle() const;
  Currency AsCurrency() const;
  TDateTime AsDateTime() const;
  bool AsBoolean() const;
  AnsiString AsString() const;  // VarToStr rules, but Null raises
  WideString AsWideString() const;
  TBcd AsBcd() const;
  TSQLTimeStamp AsSQLTimeStamp() const;

  explicit operator Integer() const { return AsInteger(); }
  explicit operator Int64() const { return AsInt64(); }
  explicit operator double() const { return AsDouble(); }
  explicit operator bool() const { return AsBoolean(); }
  explicit operator AnsiString() const { return AsString(); }
  explicit operator WideString() const { return AsWideString(); }
  explicit operator Currency() const { return AsCurrency(); }
  explicit operator TDateTime() const { return AsDateTime(); }

  // Element of a one-dimensional array (EVariantBadIndexError outside the
  // bounds); VarArrayPut writes.
  const Variant& operator[](Integer index) const;

  Variant& operator+=(const Variant& v);
  Variant& operator-=(const Variant& v);
  Variant& operator*=(const Variant& v);
  Variant& operator/=(const Variant& v);

 private:
  friend struct orv::variant_detail::ArrayData;
  friend Variant VarArrayCreate(std::initializer_list<Integer> bounds, Word elementType);
  friend void VarArrayPut(Variant& array, const Variant& value, std::initializer_list<Integer> indices);
  friend const orv::variant_detail::ArrayData& VarArrayData(const Variant& v);

  static constexpr bool IsBoxedType(Word t) noexcept {
    return t == varString || t == varOleStr || t == varFMTBcd || t == varSQLTimeStamp || (t & varArray) != 0;
  }
  template <class I>
  static constexpr Word IntegerKind() {
    if constexpr (std::is_signed_v<I>)
      return sizeof(I) == 1 ? varShortInt : sizeof(I) == 2 ? varSmallint : sizeof(I) == 4 ? varInteger : varInt64;
    else
      return sizeof(I) == 1 ? varByte : sizeof(I) == 2 ? varWord : sizeof(I) == 4 ? varLongWord : varInt64;
  }
  [[noreturn]] static void ThrowUnsignedOverflow();
  void Release() noexcept;
  void SetBox(Word type, orv::variant_detail::Box* box) noexcept {
    FType = type;
    FBox = box;
  }
  orv::variant_detail::Box* BoxPtr() const noexcept { return FBox; }

  Word FType;
  union {
    Int64 FInt;
    double FDouble;
    float FSingle;
    orv::variant_detail::Box* FBox;
  };
};

static_assert(sizeof(Variant) == 16, "numbers must fit the value itself");

inline Variant Null() noexcept { return Variant::MakeNull(); }
inline Variant Unassigned() noexcept { return Variant(); }

// ---------------------------------------------------------------------------
// Kind tests.

inline Word VarType(const Variant& v) noexcept { return v.VType(); }
inline bool VarIsNull(const Variant& v) noexcept { return v.VType() == varNull; }
inline bool VarIsEmpty(const Variant& v) noexcept { return v.VType() == varEmpty; }
inline bool VarIsClear(const Variant& v) noexcept { return v.VType() == varEmpty; }
inline bool VarIsArray(const Variant& v) noexcept { return v.IsArray(); }
// Kinds 8 and 256.
inline bool VarIsStr(const Variant& v) noexcept { return v.VType() == varOleStr || v.VType() == varString; }
// The integer kinds and Boolean.
bool VarIsOrdinal(const Variant& v) noexcept;
// Single, double and Currency.
bool VarIsFloat(const Variant& v) noexcept;
// Ordinal or float: Boolean counts as a number (-1 or 0).
bool VarIsNumeric(const Variant& v) noexcept;
// Whether the kind code is one of ours (arrays: of the element kind).
bool VarTypeIsValid(Word varType) noexcept;
// The kind's name as conversion errors spell it ("Integer", "String"...).
AnsiString VarTypeAsText(Word varType);

// ---------------------------------------------------------------------------
// Conversions.
//
// Into int16, uint16, int8, uint8 and uint32 the value becomes an integer
// and keeps its low bits, as the narrow cells that read these kinds
// expect; into int32 and int64 a value that does not fit raises
// EVariantOverflowError. Floats round to the nearest integer with halves to
// even; Boolean counts -1 for true; text is parsed with the locale's
// decimal separator. Empty converts as 0, "" or false; Null converts only
// to Null or Empty. Arrays convert to nothing but arrays.
Variant VarAsType(const Variant& v, Word varType);

// Null and Empty give ""; numbers as described above; Boolean "True" or
// "False"; dates in the short date format, followed by the long time format
// when the time of day is not 0; wide text narrowed to code page 1252.
AnsiString VarToStr(const Variant& v);
AnsiString VarToStrDef(const Variant& v, const AnsiString& defaultValue);  // for Null
WideString VarToWideStr(const Variant& v);
TDateTime VarToDateTime(const Variant& v);

// ---------------------------------------------------------------------------
// Comparison.
//
// Numbers of every kind, Currency, dates and Boolean (-1 / 0) compare by
// value; two strings compare ordinally (bytes, or UTF-16 units when one of
// them is wide), case-sensitively. A string against a number, date or
// Boolean is converted to that kind first; when it cannot be, the variant
// error propagates. Null equals only Null and is neither less nor greater
// than anything. Arrays are not compared here (EVariantInvalidOpError).

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

// vrNotEqual when exactly one side is Null.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
bool VarSameValue(const Variant& a, const Variant& b);

bool operator==(const Variant& a, const Variant& b);
bool operator<(const Variant& a, const Variant& b);
inline bool operator>(const Variant& a, const Variant& b) { return b < a; }
bool operator<=(const Variant& a, const Variant& b);
inline bool operator>=(const Variant& a, const Variant& b) { return b <= a; }

// ---------------------------------------------------------------------------
// Arithmetic.
//
// Null on either side gives Null. Integers stay integers (Integer while the
// result fits, then Int64, then Double); Currency with integers or Currency
// stays Currency; a date plus or minus a number or a date stays a date;
// anything with a Double (or Single) gives Double; "/" always gives Double.
// A string next to a number is converted to a number; "+" of two strings is
// refused with EVariantInvalidOpError rather than concatenated. Division by
// zero raises EZeroDivide.

Variant operator+(const Variant& a, const Variant& b);
Variant operator-(const Variant& a, const Variant& b);
Variant operator*(const Variant& a, const Variant& b);
Variant operator/(const Variant& a, const Variant& b);

// ---------------------------------------------------------------------------
// Arrays.
//
// Bounds come in pairs, one per dimension: {0, 9} or {1, 3, 0, 4}. The
// element kind is varVariant or a scalar kind; elements start as Empty (or
// that kind's zero) and values written are converted to the element kind.

Variant VarArrayCreate(std::initializer_list<Integer> bounds, Word elementType);
// A zero-based one-dimensional array of varVariant elements.
Variant VarArrayOf(std::initializer_list<Variant> values);
Integer VarArrayDimCount(const Variant& v);  // 0 for a non-array
Integer VarArrayLowBound(const Variant& v, Integer dim);  // dims count from 1
Integer VarArrayHighBound(const Variant& v, Integer dim);
Variant VarArrayGet(const Variant& array, std::initializer_list<Integer> indices);
void VarArrayPut(Variant& array, const Variant& value, std::initializer_list<Integer> indices);

// ---------------------------------------------------------------------------
// Type information: published Variant properties.

inline const TTypeInfo* TypeInfoOf(Variant*) { return orv::MakeSimpleInfo(tkVariant, "Variant"); }
// Each raises EPropertyError when the property is not of the Variant kind.
Variant GetVariantProp(const TObject* obj, const TPropInfo* prop);
void SetVariantProp(TObject* obj, const TPropInfo* prop, const Variant& value);
Variant GetVariantProp(const TObject* obj, const AnsiString& name);
void SetVariantProp(TObject* obj, const AnsiString& name, const Variant& value);
