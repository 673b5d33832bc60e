// Variant conversions: VarAsType, the As... readers and the text forms.
#include <charconv>
#include <cmath>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/CurrencyMath.h"
#include "platform/rtl/DateText.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/Variant.h"
#include "platform/rtl/VariantBoxes.h"

namespace {

[[noreturn]] void CastError(Word from, Word to) {
  throw EVariantTypeCastError("Could not convert variant of type (%s) into type (%s)",
                              {VarTypeAsText(from), VarTypeAsText(to)});
}

[[noreturn]] void OverflowError(Word from, Word to) {
  throw EVariantOverflowError("Overflow while converting variant of type (%s) into type (%s)",
                              {VarTypeAsText(from), VarTypeAsText(to)});
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

// Integer text: blanks around, a sign, decimal digits or "$"/"0x" hex.
bool orv::variant_detail::ParseIntegerText(std::string_view s, Int64& out) {
  size_t i = 0, n = s.size();
  while (i < n && IsBlank(s[i])) ++i;
  while (n > i && IsBlank(s[n - 1])) --n;
  bool neg = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  int base = 10;
  if (i < n && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= n) return false;
  UInt64 mag = 0;
  auto [p, ec] = std::from_chars(s.data() + i, s.data() + n, mag, base);
  if (ec != std::errc() || p != s.data() + n) return false;
  if (base == 16 && !neg) {
    out = static_cast<Int64>(mag);  // hex spells the bits: $FFFFFFFFFFFFFFFF is -1
    return true;
  }
  if (neg ? mag > static_cast<UInt64>(INT64_MAX) + 1 : mag > static_cast<UInt64>(INT64_MAX)) return false;
  out = neg ? static_cast<Int64>(0 - mag) : static_cast<Int64>(mag);
  return true;
}

namespace {

using orv::variant_detail::ParseIntegerText;

AnsiString NarrowText(const Variant& v) {
  return v.VType() == varString ? v.RawAnsi() : WideToAnsi(v.RawWide());
}

bool TextToDouble(const Variant& v, double& out) {
  if (v.VType() == varString) return TryStrToFloat(v.RawAnsi(), out);
  return TryStrToFloat(WideToAnsi(v.RawWide()), out);
}

TDateTime TimeStampToDate(const Variant& v, Word to) {
  TDateTime dt;
  if (!TrySQLTimeStampToDateTime(v.RawTimeStamp(), dt)) CastError(v.VType(), to);
  return dt;
}

// Any scalar as a whole number: floats round halves to even.
Int64 ToInt64(const Variant& v, Word to) {
  Word t = v.VType();
  switch (t) {
    case varEmpty: return 0;
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
    case varLongWord: case varInt64:
      return v.RawInt();
    case varBoolean: return v.RawInt() ? -1 : 0;
    case varCurrency: return CurrToInt64(Currency::FromRaw(v.RawInt()));
    case varSingle: case varDouble: case varDate: case varSQLTimeStamp: {
      double d = t == varSingle ? v.RawSingle() : t == varSQLTimeStamp ? TimeStampToDate(v, to).Value : v.RawDouble();
      Int64 r;
      if (!orv::RoundHalfEven(d, r)) {
        if (std::isnan(d)) CastError(t, to);
        OverflowError(t, to);
      }
      return r;
    }
    case varString: case varOleStr: {
      Int64 r;
      if (ParseIntegerText(NarrowText(v), r)) return r;
      double d;
      if (!TextToDouble(v, d)) CastError(t, to);
      if (!orv::RoundHalfEven(d, r)) OverflowError(t, to);
      return r;
    }
    case varFMTBcd:
      try {
        return BcdToInt64(v.RawBcd());
      } catch (const EBcdException&) {
        OverflowError(t, to);
      }
    default:
      CastError(t, to);
  }
}

double ToDouble(const Variant& v, Word to) {
  Word t = v.VType();
  switch (t) {
    case varEmpty: return 0.0;
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
    case varLongWord: case varInt64:
      return static_cast<double>(v.RawInt());
    case varBoolean: return v.RawInt() ? -1.0 : 0.0;
    case varSingle: return v.RawSingle();
    case varDouble: case varDate: return v.RawDouble();
    case varCurrency: return CurrToDouble(Currency::FromRaw(v.RawInt()));
    case varString: case varOleStr: {
      double d;
      if (!TextToDouble(v, d)) CastError(t, to);
      return d;
    }
    case varFMTBcd: return BcdToDouble(v.RawBcd());
    case varSQLTimeStamp: return TimeStampToDate(v, to).Value;
    default: CastError(t, to);
  }
}

Currency ToCurrency(const Variant& v, Word to) {
  Word t = v.VType();
  Currency c;
  switch (t) {
    case varCurrency: return Currency::FromRaw(v.RawInt());
    case varString: case varOleStr:
      if (!TryStrToCurr(NarrowText(v), c)) {
        // Text that is a number but too large for Currency overflows;
        // anything else is not a number at all.
        double d;
        if (TextToDouble(v, d)) OverflowError(t, to);
        CastError(t, to);
      }
      return c;
    case varFMTBcd:
      if (!BcdToCurr(v.RawBcd(), c)) OverflowError(t, to);
      return c;
    case varSingle: case varDouble: case varDate: case varSQLTimeStamp: {
      double d = ToDouble(v, to);
      if (std::isnan(d)) CastError(t, to);
      if (!TryCurrFromDouble(d, c)) OverflowError(t, to);
      return c;
    }
    default: {
      Int64 i = ToInt64(v, to);
      if (i > INT64_MAX / Currency::Scale || i < INT64_MIN / Currency::Scale) OverflowError(t, to);
      return Currency::FromRaw(i * Currency::Scale);
    }
  }
}

TDateTime ToDate(const Variant& v, Word to) {
  Word t = v.VType();
  switch (t) {
    case varDate: return TDateTime(v.RawDouble());
    case varSQLTimeStamp: return TimeStampToDate(v, to);
    case varString: case varOleStr: {
      TDateTime dt;
      // The exact short date and time formats first, then the looser
      // shapes people type (month names, AM/PM).
      AnsiString text = NarrowText(v);
      if (!TryStrToDateTime(text, dt) && !TryTextToDateTime(text, dt)) CastError(t, to);
      return dt;
    }
    default: {
      double d = ToDouble(v, to);
      if (!std::isfinite(d)) CastError(t, to);
      return TDateTime(d);
    }
  }
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

bool ToBoolean(const Variant& v, Word to) {
  Word t = v.VType();
  switch (t) {
    case varEmpty: return false;
    case varBoolean: case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
    case varLongWord: case varInt64: case varCurrency:
      return v.RawInt() != 0;
    case varSingle: return v.RawSingle() != 0;
    case varDouble: case varDate: return v.RawDouble() != 0;
    case varString: case varOleStr: {
      AnsiString s = NarrowText(v);
      std::string_view trimmed = s;
      while (!trimmed.empty() && IsBlank(trimmed.front())) trimmed.remove_prefix(1);
      while (!trimmed.empty() && IsBlank(trimmed.back())) trimmed.remove_suffix(1);
      if (SameTextAscii(trimmed, "True")) return true;
      if (SameTextAscii(trimmed, "False")) return false;
      Int64 i;
      if (ParseIntegerText(s, i)) return i != 0;
      double d;
      if (TryStrToFloat(s, d)) return d != 0;
      CastError(t, to);
    }
    case varFMTBcd: return BcdCompare(v.RawBcd(), IntegerToBcd(0)) != 0;
    case varSQLTimeStamp: return TimeStampToDate(v, to).Value != 0;
    default: CastError(t, to);
  }
}

TBcd ToBcd(const Variant& v, Word to) {
  Word t = v.VType();
  try {
    switch (t) {
      case varFMTBcd: return v.RawBcd();
      case varCurrency: return CurrToBcd(Currency::FromRaw(v.RawInt()));
      case varString: case varOleStr: {
        TBcd b;
        if (!TryStrToBcd(NarrowText(v), b)) CastError(t, to);
        return b;
      }
      case varSingle: case varDouble: case varDate: case varSQLTimeStamp: {
        double d = ToDouble(v, to);
        if (std::isnan(d)) CastError(t, to);
        return DoubleToBcd(d);
      }
      default: return IntegerToBcd(ToInt64(v, to));
    }
  } catch (const EBcdOverflowException&) {
    OverflowError(t, to);
  }
}

TSQLTimeStamp ToTimeStamp(const Variant& v, Word to) {
  if (v.VType() == varSQLTimeStamp) return v.RawTimeStamp();
  TSQLTimeStamp ts;
  if (!TryDateTimeToSQLTimeStamp(ToDate(v, to), ts)) OverflowError(v.VType(), to);
  return ts;
}

AnsiString IntText(Int64 v) {
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  (void)ec;
  return AnsiString(buf, end);
}

AnsiString ToText(const Variant& v, Word to) {
  Word t = v.VType();
  switch (t) {
    case varEmpty: case varNull: return AnsiString();
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
    case varLongWord: case varInt64:
      return IntText(v.RawInt());
    case varBoolean: return v.RawInt() ? "True" : "False";
    case varSingle: return FloatToStr(v.RawSingle());
    case varDouble: return FloatToStr(v.RawDouble());
    case varCurrency: return CurrToStr(Currency::FromRaw(v.RawInt()));
    case varDate: return DateTimeToStr(TDateTime(v.RawDouble()));
    case varSQLTimeStamp: return DateTimeToStr(TimeStampToDate(v, to));
    case varString: return v.RawAnsi();
    case varOleStr: return WideToAnsi(v.RawWide());
    case varFMTBcd: return BcdToStr(v.RawBcd());
    default: CastError(t, to);
  }
}

}  // namespace

Variant VarAsType(const Variant& v, Word varType) {
  Word from = v.VType();
  if (from == varType) return v;
  if (v.IsArray() || (varType & varArray) != 0 || !VarTypeIsValid(varType)) CastError(from, varType);
  if (varType == varEmpty) return Variant();
  if (varType == varNull) return Null();
  if (varType == varVariant) return v;
  if (from == varNull) CastError(from, varType);
  switch (varType) {
    // The narrow integer kinds keep the low bits of the whole number.
    case varSmallint: return static_cast<SmallInt>(static_cast<UInt64>(ToInt64(v, varType)));
    case varWord: return static_cast<Word>(static_cast<UInt64>(ToInt64(v, varType)));
    case varShortInt: return static_cast<ShortInt>(static_cast<UInt64>(ToInt64(v, varType)));
    case varByte: return static_cast<Byte>(static_cast<UInt64>(ToInt64(v, varType)));
    case varLongWord: return static_cast<Cardinal>(static_cast<UInt64>(ToInt64(v, varType)));
    case varInteger: {
      Int64 i = ToInt64(v, varType);
      if (i < INT32_MIN || i > INT32_MAX) OverflowError(from, varType);
      return static_cast<Integer>(i);
    }
    case varInt64: return ToInt64(v, varType);
    case varSingle: {
      // Text goes to the nearest single at once: through a double it would
      // round twice. What reads as a double but not as a single is too large.
      if (from == varString || from == varOleStr) {
        float f;
        if (TryStrToFloat(NarrowText(v), f)) return f;
        double d;
        if (TextToDouble(v, d)) OverflowError(from, varType);
        CastError(from, varType);
      }
      double d = ToDouble(v, varType);
      // Half a unit above the largest single still rounds down to it; from
      // there on a value would become an infinity.
      constexpr double kBeyondSingle = 0x1.ffffffp127;
      if (std::isfinite(d) && std::fabs(d) >= kBeyondSingle) OverflowError(from, varType);
      return static_cast<float>(d);
    }
    case varDouble: return ToDouble(v, varType);
    case varCurrency: return ToCurrency(v, varType);
    case varDate: return ToDate(v, varType);
    case varBoolean: return ToBoolean(v, varType);
    case varString: return ToText(v, varType);
    case varOleStr: return from == varString ? Variant(AnsiToWide(v.RawAnsi())) : Variant(AnsiToWide(ToText(v, varType)));
    case varFMTBcd: return ToBcd(v, varType);
    case varSQLTimeStamp: return ToTimeStamp(v, varType);
    default: CastError(from, varType);
  }
}

Integer Variant::AsInteger() const {
  if (FType == varInteger) return static_cast<Integer>(FInt);
  return static_cast<Integer>(VarAsType(*this, varInteger).RawInt());
}

Int64 Variant::AsInt64() const {
  if (FType == varNull) CastError(FType, varInt64);
  return ToInt64(*this, varInt64);
}

double Variant::AsDouble() const {
  if (FType == varNull) CastError(FType, varDouble);
  return ToDouble(*this, varDouble);
}

float Variant::AsSingle() const { return VarAsType(*this, varSingle).RawSingle(); }

Currency Variant::AsCurrency() const {
  if (FType == varNull) CastError(FType, varCurrency);
  return ToCurrency(*this, varCurrency);
}

TDateTime Variant::AsDateTime() const {
  if (FType == varNull) CastError(FType, varDate);
  return ToDate(*this, varDate);
}

bool Variant::AsBoolean() const {
  if (FType == varNull) CastError(FType, varBoolean);
  return ToBoolean(*this, varBoolean);
}

AnsiString Variant::AsString() const {
  if (FType == varNull) CastError(FType, varString);
  return ToText(*this, varString);
}

WideString Variant::AsWideString() const {
  if (FType == varNull) CastError(FType, varOleStr);
  return VarToWideStr(*this);
}

TBcd Variant::AsBcd() const {
  if (FType == varNull) CastError(FType, varFMTBcd);
  return ToBcd(*this, varFMTBcd);
}

TSQLTimeStamp Variant::AsSQLTimeStamp() const {
  if (FType == varNull) CastError(FType, varSQLTimeStamp);
  return ToTimeStamp(*this, varSQLTimeStamp);
}

AnsiString VarToStr(const Variant& v) { return ToText(v, varString); }

AnsiString VarToStrDef(const Variant& v, const AnsiString& defaultValue) {
  return v.VType() == varNull ? defaultValue : ToText(v, varString);
}

WideString VarToWideStr(const Variant& v) {
  if (v.VType() == varOleStr) return v.RawWide();
  return AnsiToWide(ToText(v, varOleStr));
}

TDateTime VarToDateTime(const Variant& v) { return v.AsDateTime(); }
