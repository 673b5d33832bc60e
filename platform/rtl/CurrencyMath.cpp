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

// Rounds v * scale exactly (the binary value of v, not a rounded product)
// to an integer with halves to even. v = m * 2^e with an integer m of at
// most 53 bits, so m * scale fits 128 bits and the division by a power of
// two is exact arithmetic.
bool RoundScaled(double v, Int64 scale, Int64& out) {
  if (!std::isfinite(v)) return false;
  if (v == 0) {
    out = 0;
    return true;
  }
  int k;
  double f = std::frexp(v, &k);  // v = f * 2^k, 0.5 <= |f| < 1
  __int128 n = static_cast<__int128>(static_cast<Int64>(std::ldexp(f, 53))) * scale;
  int e = k - 53;
  __int128 r;
  if (e >= 0) {
    if (e > 63) return false;
    r = n;
    for (int i = 0; i < e; ++i) {
      r *= 2;
      if (r > kInt64Max || r < kInt64Min) return false;
    }
  } else if (e <= -120) {
    r = 0;  // |v * scale| < 2^67 * 2^-120: far below a half
  } else {
    __int128 d = static_cast<__int128>(1) << -e;
    __int128 mag = n < 0 ? -n : n;
    __int128 q = mag / d, rest = mag % d;
    if (rest * 2 > d || (rest * 2 == d && (q & 1) != 0)) ++q;
    r = n < 0 ? -q : q;
  }
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

bool RoundHalfEven(double v, Int64& out) { return RoundScaled(v, 1, out); }

}  // namespace orv

bool TryCurrFromDouble(double v, Currency& out) {
  Int64 raw;
  if (!RoundScaled(v, Currency::Scale, raw)) return false;
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
