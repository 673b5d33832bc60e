// Variant equality and ordering.
#include <cmath>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/CurrencyMath.h"
#include "platform/rtl/Variant.h"
#include "platform/rtl/VariantBoxes.h"

namespace {

// What a value compares as.
enum class Cat { Null, Empty, Int, Float, Curr, Date, Bcd, Str, Array };

Cat CategoryOf(Word t) {
  if (t & varArray) return Cat::Array;
  switch (t) {
    case varNull: return Cat::Null;
    case varEmpty: return Cat::Empty;
    case varSingle: case varDouble: return Cat::Float;
    case varCurrency: return Cat::Curr;
    case varDate: case varSQLTimeStamp: return Cat::Date;
    case varFMTBcd: return Cat::Bcd;
    case varString: case varOleStr: return Cat::Str;
    default: return Cat::Int;  // the integer kinds and Boolean
  }
}

constexpr int kUnordered = 2;

template <class T>
int Sign3(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareDoubles(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return kUnordered;
  return Sign3(a, b);
}

// Exact: a large Int64 and the double next to it are not mistaken for
// equal just because the conversion rounds.
int CompareIntDouble(Int64 i, double d) {
  if (std::isnan(d)) return kUnordered;
  if (d >= 9223372036854775808.0) return -1;
  if (d < -9223372036854775808.0) return 1;
  double fl = std::floor(d);
  Int64 whole = static_cast<Int64>(fl);
  if (i != whole) return i < whole ? -1 : 1;
  return fl == d ? 0 : -1;  // i == floor(d) < d when d has a fraction
}

Int64 IntValue(const Variant& v) {
  if (v.VType() == varEmpty) return 0;
  if (v.VType() == varBoolean) return v.RawInt() ? -1 : 0;
  return v.RawInt();
}

AnsiString Narrow(const Variant& v) { return v.VType() == varString ? v.RawAnsi() : WideToAnsi(v.RawWide()); }

int CompareStrings(const Variant& a, const Variant& b) {
  if (a.VType() == varString && b.VType() == varString) return Sign3(a.RawAnsi(), b.RawAnsi());
  if (a.VType() == varOleStr && b.VType() == varOleStr) return Sign3(a.RawWide(), b.RawWide());
  // One of each: compare UTF-16 units.
  WideString wa = a.VType() == varOleStr ? a.RawWide() : AnsiToWide(a.RawAnsi());
  WideString wb = b.VType() == varOleStr ? b.RawWide() : AnsiToWide(b.RawAnsi());
  return Sign3(wa, wb);
}

// The kind text is brought to when it meets a value of category `other`.
Word TextTarget(const Variant& other) {
  switch (CategoryOf(other.VType())) {
    case Cat::Curr: return varCurrency;
    case Cat::Date: return varDate;
    case Cat::Bcd: return varFMTBcd;
    default: return other.VType() == varBoolean ? varBoolean : varDouble;
  }
}

int CompareNumbers(const Variant& a, const Variant& b) {
  Cat ca = CategoryOf(a.VType()), cb = CategoryOf(b.VType());
  if (ca == Cat::Empty) ca = Cat::Int;
  if (cb == Cat::Empty) cb = Cat::Int;

  if (ca == Cat::Date && cb == Cat::Date && a.VType() == varSQLTimeStamp && b.VType() == varSQLTimeStamp) {
    auto c = a.RawTimeStamp() <=> b.RawTimeStamp();
    return c < 0 ? -1 : c > 0 ? 1 : 0;
  }
  if (ca == Cat::Bcd || cb == Cat::Bcd) {
    // Exact unless a binary float takes part.
    if (ca == Cat::Float || cb == Cat::Float || ca == Cat::Date || cb == Cat::Date)
      return CompareDoubles(a.AsDouble(), b.AsDouble());
    return BcdCompare(a.AsBcd(), b.AsBcd());
  }
  if (ca == Cat::Float || cb == Cat::Float || ca == Cat::Date || cb == Cat::Date) {
    if (ca == Cat::Int) return CompareIntDouble(IntValue(a), b.AsDouble());
    if (cb == Cat::Int) {
      int c = CompareIntDouble(IntValue(b), a.AsDouble());
      return c == kUnordered ? c : -c;
    }
    return CompareDoubles(a.AsDouble(), b.AsDouble());
  }
  if (ca == Cat::Curr || cb == Cat::Curr) {
    auto units = [](const Variant& v) -> __int128 {
      return v.VType() == varCurrency ? static_cast<__int128>(v.RawInt())
                                      : static_cast<__int128>(IntValue(v)) * Currency::Scale;
    };
    return Sign3(units(a), units(b));
  }
  return Sign3(IntValue(a), IntValue(b));
}

int Compare(const Variant& a, const Variant& b) {
  if (a.VType() == b.VType()) {
    switch (a.VType()) {
      case varInteger: case varInt64: return Sign3(a.RawInt(), b.RawInt());
      case varDouble: return CompareDoubles(a.RawDouble(), b.RawDouble());
      case varString: return Sign3(a.RawAnsi(), b.RawAnsi());
      default: break;
    }
  }
  Cat ca = CategoryOf(a.VType()), cb = CategoryOf(b.VType());
  if (ca == Cat::Array || cb == Cat::Array) throw EVariantInvalidOpError("Invalid variant operation");
  if (ca == Cat::Null || cb == Cat::Null) return ca == cb ? 0 : kUnordered;
  if (ca == Cat::Str && cb == Cat::Str) return CompareStrings(a, b);
  if (ca == Cat::Empty && cb == Cat::Empty) return 0;
  // Empty next to text is the empty text; text next to anything else takes
  // that value's kind.
  if (ca == Cat::Empty && cb == Cat::Str) return Compare(Variant(AnsiString()), b);
  if (ca == Cat::Str && cb == Cat::Empty) return Compare(a, Variant(AnsiString()));
  // Integer text next to an integer compares in full precision, which a
  // detour through Double would lose beyond 2^53.
  if (ca == Cat::Str && cb == Cat::Int && b.VType() != varBoolean) {
    Int64 i;
    if (orv::variant_detail::ParseIntegerText(Narrow(a), i)) return Sign3(i, IntValue(b));
  }
  if (cb == Cat::Str && ca == Cat::Int && a.VType() != varBoolean) {
    Int64 i;
    if (orv::variant_detail::ParseIntegerText(Narrow(b), i)) return Sign3(IntValue(a), i);
  }
  if (ca == Cat::Str) return Compare(VarAsType(a, TextTarget(b)), b);
  if (cb == Cat::Str) return Compare(a, VarAsType(b, TextTarget(a)));
  return CompareNumbers(a, b);
}

}  // namespace

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
  switch (Compare(a, b)) {
    case -1: return vrLessThan;
    case 0: return vrEqual;
    case 1: return vrGreaterThan;
    default: return vrNotEqual;
  }
}

bool VarSameValue(const Variant& a, const Variant& b) { return Compare(a, b) == 0; }
bool operator==(const Variant& a, const Variant& b) { return Compare(a, b) == 0; }
bool operator<(const Variant& a, const Variant& b) { return Compare(a, b) == -1; }
bool operator<=(const Variant& a, const Variant& b) {
  int c = Compare(a, b);
  return c == -1 || c == 0;
}
