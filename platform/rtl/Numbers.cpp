#include "platform/rtl/Numbers.h"

#include <cmath>
#include <limits>

#include "platform/rtl/Exceptions.h"

namespace {

// 2^63 as a double: the first value that no longer fits Int64.
constexpr double kTwo63 = 9223372036854775808.0;

Int64 Checked(double v) {
  if (!(v >= -kTwo63 && v < kTwo63)) throw EInvalidOp("Invalid floating point operation");
  return static_cast<Int64>(v);
}

template <class T>
void CheckDivisor(T a, T b) {
  if (b == 0) throw EDivByZero("Division by zero");
  if (b == -1 && a == std::numeric_limits<T>::min()) throw EIntOverflow("Integer overflow");
}

}  // namespace

Int64 Round(double value) {
  // nearbyint follows the rounding mode, which the process leaves at
  // to-nearest-even.
  return Checked(std::nearbyint(value));
}

Int64 Trunc(double value) { return Checked(std::trunc(value)); }

double Frac(double value) { return value - std::trunc(value); }

Integer MulDiv(Integer a, Integer b, Integer c) {
  if (c == 0) return -1;
  const Int64 p = static_cast<Int64>(a) * b;  // at most 2^62 in magnitude
  Int64 q = p / c;
  const Int64 r = p % c;
  // Halves away from zero: the remainder's double reaches the divisor.
  if (r != 0 && 2 * (r < 0 ? -r : r) >= (c < 0 ? -static_cast<Int64>(c) : c)) q += ((p < 0) == (c < 0)) ? 1 : -1;
  if (q < std::numeric_limits<Integer>::min() || q > std::numeric_limits<Integer>::max()) return -1;
  return static_cast<Integer>(q);
}

Integer IntDiv(Integer a, Integer b) {
  CheckDivisor(a, b);
  return a / b;
}

Integer IntMod(Integer a, Integer b) {
  if (b == 0) throw EDivByZero("Division by zero");
  return b == -1 ? 0 : a % b;
}

Int64 IntDiv(Int64 a, Int64 b) {
  CheckDivisor(a, b);
  return a / b;
}

Int64 IntMod(Int64 a, Int64 b) {
  if (b == 0) throw EDivByZero("Division by zero");
  return b == -1 ? 0 : a % b;
}

Integer FloorDiv(Integer a, Integer b) {
  CheckDivisor(a, b);
  Integer q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

Integer FloorMod(Integer a, Integer b) {
  if (b == 0) throw EDivByZero("Division by zero");
  if (b == -1) return 0;
  Integer r = a % b;
  if (r != 0 && ((r < 0) != (b < 0))) r += b;
  return r;
}
