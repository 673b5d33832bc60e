// Variant arithmetic for sums, averages and the like.
#include <cmath>

#include "platform/rtl/CurrencyMath.h"
#include "platform/rtl/Variant.h"

namespace {

enum class Op { Add, Sub, Mul, Div };

enum class Cat { Int, Float, Curr, Date, Bcd };

[[noreturn]] void InvalidOp() { throw EVariantInvalidOpError("Invalid variant operation"); }

[[noreturn]] void Overflow(Word a, Word b) {
  throw EVariantOverflowError("Arithmetic overflow between variants of type (%s) and (%s)",
                              {VarTypeAsText(a), VarTypeAsText(b)});
}

bool IsText(Word t) { return t == varString || t == varOleStr; }

Cat CategoryOf(Word t) {
  switch (t) {
    case varSingle: case varDouble: return Cat::Float;
    case varCurrency: return Cat::Curr;
    case varDate: case varSQLTimeStamp: return Cat::Date;
    case varFMTBcd: return Cat::Bcd;
    default: return Cat::Int;  // integers, Boolean (-1/0), Empty (0)
  }
}

// Text next to a number becomes a number of the kind that keeps it exact
// where the other side is exact.
Variant Numeric(const Variant& text, const Variant& other) {
  switch (CategoryOf(other.VType())) {
    case Cat::Curr: return VarAsType(text, varCurrency);
    case Cat::Bcd: return VarAsType(text, varFMTBcd);
    default: return VarAsType(text, varDouble);
  }
}

Int64 IntOf(const Variant& v) {
  if (v.VType() == varEmpty) return 0;
  if (v.VType() == varBoolean) return v.RawInt() ? -1 : 0;
  return v.RawInt();
}

Variant DoubleResult(double r, double x, double y, Op op, Word ta, Word tb, bool asDate) {
  if (op == Op::Div && y == 0) throw EZeroDivide("Floating point division by zero");
  if (std::isinf(r) && std::isfinite(x) && std::isfinite(y)) Overflow(ta, tb);
  if (asDate) return TDateTime(r);
  return r;
}

double Apply(double x, double y, Op op) {
  switch (op) {
    case Op::Add: return x + y;
    case Op::Sub: return x - y;
    case Op::Mul: return x * y;
    case Op::Div: return x / y;
  }
  return 0;
}

Variant Arith(const Variant& a0, const Variant& b0, Op op) {
  Word ta = a0.VType(), tb = b0.VType();
  // The pairs summaries meet most, without the general dispatch.
  if (ta == tb && op != Op::Div) {
    if (ta == varInteger) {
      Int64 x = a0.RawInt(), y = b0.RawInt();
      Int64 r = op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;  // cannot overflow 64 bits
      if (r >= INT32_MIN && r <= INT32_MAX) return static_cast<Integer>(r);
      return r;
    }
    if (ta == varDouble) {
      double x = a0.RawDouble(), y = b0.RawDouble();
      return DoubleResult(Apply(x, y, op), x, y, op, ta, tb, false);
    }
  }
  if ((ta | tb) & varArray) InvalidOp();
  if (ta == varNull || tb == varNull) return Null();
  if (IsText(ta) && IsText(tb)) {
    // Adding text is refused rather than concatenated: a sum that meets
    // text must fail, not produce a string.
    if (op == Op::Add) InvalidOp();
    return Arith(VarAsType(a0, varDouble), VarAsType(b0, varDouble), op);
  }
  if (IsText(ta)) return Arith(Numeric(a0, b0), b0, op);
  if (IsText(tb)) return Arith(a0, Numeric(b0, a0), op);

  const Variant& a = a0;
  const Variant& b = b0;
  Cat ca = CategoryOf(ta), cb = CategoryOf(tb);

  if (op == Op::Div) {
    double x = a.AsDouble(), y = b.AsDouble();
    return DoubleResult(x / y, x, y, op, ta, tb, false);
  }
  // A date moved by a number (or a span) stays a date.
  if (ca == Cat::Date || cb == Cat::Date) {
    double x = a.AsDouble(), y = b.AsDouble();
    return DoubleResult(Apply(x, y, op), x, y, op, ta, tb, op != Op::Mul);
  }
  if (ca == Cat::Float || cb == Cat::Float) {
    double x = a.AsDouble(), y = b.AsDouble();
    return DoubleResult(Apply(x, y, op), x, y, op, ta, tb, false);
  }
  if (ca == Cat::Bcd || cb == Cat::Bcd) {
    try {
      if (op == Op::Add) return BcdAdd(a.AsBcd(), b.AsBcd());
      if (op == Op::Sub) return BcdSubtract(a.AsBcd(), b.AsBcd());
      return BcdMultiply(a.AsBcd(), b.AsBcd());
    } catch (const EBcdOverflowException&) {
      Overflow(ta, tb);
    }
  }
  if (ca == Cat::Curr || cb == Cat::Curr) {
    try {
      if (op == Op::Mul && ca == Cat::Int) return b.AsCurrency() * IntOf(a);
      if (op == Op::Mul && cb == Cat::Int) return a.AsCurrency() * IntOf(b);
      Currency x = a.AsCurrency(), y = b.AsCurrency();
      return op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;
    } catch (const EOverflow&) {
      Overflow(ta, tb);
    }
  }
  // Integers: Integer while the result fits (and no Int64 took part), then
  // Int64, then Double.
  __int128 x = IntOf(a), y = IntOf(b);
  __int128 r = op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;
  bool wide = ta == varInt64 || tb == varInt64;
  if (!wide && r >= INT32_MIN && r <= INT32_MAX) return static_cast<Integer>(r);
  if (r >= INT64_MIN && r <= INT64_MAX) return static_cast<Int64>(r);
  return static_cast<double>(r);
}

}  // namespace

Variant operator+(const Variant& a, const Variant& b) { return Arith(a, b, Op::Add); }
Variant operator-(const Variant& a, const Variant& b) { return Arith(a, b, Op::Sub); }
Variant operator*(const Variant& a, const Variant& b) { return Arith(a, b, Op::Mul); }
Variant operator/(const Variant& a, const Variant& b) { return Arith(a, b, Op::Div); }
