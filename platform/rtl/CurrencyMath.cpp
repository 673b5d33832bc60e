#include "platform/rtl/CurrencyMath.h"

#include <cmath>

#include "platform/rtl/Exceptions.h"

namespace {

constexpr __int128 kInt64Min = INT64_MIN;
constexpr __int128 kInt64Max = INT64_MAX;

[[noreturn]] void Overflow() { throw EOverflow("Floating point overflow"); }

Int64 Checked(__int128 v) {
  if (v < kInt64Min || v > kInt64Max) Overflow();
  return static_cast<Int64>(v);
}

// Rounds the exact value hi + lo (hi = fl(hi + lo), |lo| tiny) to an
// integer with halves to even. Works on the exact sum so that the error of
// the multiplication that produced hi does not decide a tie.
bool RoundExact(double hi, double lo, Int64& out) {
  if (!std::isfinite(hi)) return false;
  double f = std::floor(hi);
  // Anything at or beyond 2^63 does not fit; -2^63 itself does.
  if (f >= 9223372036854775808.0 || f < -9223372036854775808.0) return false;
  double frac = (hi - f) + lo;  // hi - f is exact; the sum is in [-1, 2)
  __int128 r = static_cast<__int128>(f);
  if (frac < 0) {
    // lo pulled the value below floor(hi).
    r -= 1;
    frac += 1.0;
  } else if (frac >= 1.0) {
    r += 1;
    frac -= 1.0;
  }
  if (frac > 0.5 || (frac == 0.5 && (r & 1) != 0)) r += 1;
  if (r < kInt64Min || r > kInt64Max) return false;
  out = static_cast<Int64>(r);
  return true;
}

}  // namespace

namespace orv {

Int64 DivRoundHalfEven(__int128 n, __int128 d) {
  if (d == 0) throw EZeroDivide("Floating point division by zero");
  if (d < 0) {
    n = -n;
    d = -d;
  }
  __int128 q = n / d;
  __int128 r = n % d;  // same sign as n
  if (r != 0) {
    __int128 twice = (r < 0 ? -r : r) * 2;
    if (twice > d || (twice == d && (q & 1) != 0)) q += (n < 0 ? -1 : 1);
  }
  return Checked(q);
}

bool RoundHalfEven(double v, Int64& out) { return RoundExact(v, 0.0, out); }

}  // namespace orv

bool TryCurrFromDouble(double v, Currency& out) {
  double hi = v * 10000.0;
  double lo = std::fma(v, 10000.0, -hi);  // the rounding error of hi, exactly
  Int64 raw;
  if (!RoundExact(hi, std::isfinite(lo) ? lo : 0.0, raw)) return false;
  out = Currency::FromRaw(raw);
  return true;
}

Currency CurrFromDouble(double v) {
  Currency c;
  if (!TryCurrFromDouble(v, c)) Overflow();
  return c;
}

double CurrToDouble(Currency c) {
  // One correctly rounded division: 0.1 in units (1000) gives exactly the
  // double nearest to 0.1.
  return static_cast<double>(c.Value) / 10000.0;
}

Currency CurrFromInt64(Int64 v) { return Currency::FromRaw(Checked(static_cast<__int128>(v) * Currency::Scale)); }

Int64 CurrToInt64(Currency c) { return orv::DivRoundHalfEven(c.Value, Currency::Scale); }

Currency operator+(Currency a, Currency b) {
  return Currency::FromRaw(Checked(static_cast<__int128>(a.Value) + b.Value));
}
Currency operator-(Currency a, Currency b) {
  return Currency::FromRaw(Checked(static_cast<__int128>(a.Value) - b.Value));
}
Currency operator-(Currency a) { return Currency::FromRaw(Checked(-static_cast<__int128>(a.Value))); }
Currency operator*(Currency a, Currency b) {
  return Currency::FromRaw(orv::DivRoundHalfEven(static_cast<__int128>(a.Value) * b.Value, Currency::Scale));
}
Currency operator/(Currency a, Currency b) {
  return Currency::FromRaw(orv::DivRoundHalfEven(static_cast<__int128>(a.Value) * Currency::Scale, b.Value));
}
Currency operator*(Currency a, Int64 b) { return Currency::FromRaw(Checked(static_cast<__int128>(a.Value) * b)); }
Currency operator*(Int64 a, Currency b) { return b * a; }
Currency operator/(Currency a, Int64 b) { return Currency::FromRaw(orv::DivRoundHalfEven(a.Value, b)); }
