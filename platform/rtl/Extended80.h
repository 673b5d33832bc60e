// The 10-byte extended float of typed streams: little-endian, a 64-bit
// mantissa with an explicit integer bit, then a 15-bit exponent biased by
// 16383 with the sign in the top bit. Arithmetic stays in double; the
// codec works on the bits alone, so it behaves the same on every machine
// whatever its own long double is.
#pragma once

#include <array>

#include "platform/rtl/Types.h"

using TExtended80Bytes = std::array<Byte, 10>;

// Exact: every double, subnormals included, has an extended form.
TExtended80Bytes DoubleToExtended80(double v);

// Narrows to the nearest double, halves to even. Values beyond the double
// range become infinities, values below half the smallest subnormal become
// zeros of the same sign; NaNs stay NaNs with the top bits of their
// payload.
double Extended80ToDouble(const Byte* bytes);
inline double Extended80ToDouble(const TExtended80Bytes& bytes) { return Extended80ToDouble(bytes.data()); }
