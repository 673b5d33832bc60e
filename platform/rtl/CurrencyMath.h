// Arithmetic on Currency (an Int64 holding the value times 10,000) and its
// conversions. Results are exact where the scale allows and otherwise
// rounded to the nearest 1/10,000 with halves going to the even neighbour.
// A result outside the Int64 range raises EOverflow; a division by zero
// raises EZeroDivide; neither ever wraps silently.
#pragma once

#include "platform/rtl/Types.h"

// Conversions. From a double the exact binary value is rounded, so a value
// such as 0.03125 (312.5 units) goes to 312 and 0.09375 to 938.
Currency CurrFromDouble(double v);      // EOverflow, also for NaN and infinities
double CurrToDouble(Currency c);        // nearest double
Currency CurrFromInt64(Int64 v);        // EOverflow beyond +-922,337,203,685,477
Int64 CurrToInt64(Currency c);          // rounded, halves to even
bool TryCurrFromDouble(double v, Currency& out);

Currency operator+(Currency a, Currency b);
Currency operator-(Currency a, Currency b);
Currency operator-(Currency a);
Currency operator*(Currency a, Currency b);
Currency operator/(Currency a, Currency b);
Currency operator*(Currency a, Int64 b);
Currency operator*(Int64 a, Currency b);
Currency operator/(Currency a, Int64 b);

inline Currency& operator+=(Currency& a, Currency b) { return a = a + b; }
inline Currency& operator-=(Currency& a, Currency b) { return a = a - b; }
inline Currency& operator*=(Currency& a, Currency b) { return a = a * b; }
inline Currency& operator/=(Currency& a, Currency b) { return a = a / b; }

namespace orv {
// Rounds a quotient n / d (d > 0) to the nearest integer, halves to even.
Int64 DivRoundHalfEven(__int128 n, __int128 d);  // EOverflow when outside Int64
// Rounds a double to the nearest integer, halves to even; false when the
// result does not fit an Int64 (or v is NaN or infinite).
bool RoundHalfEven(double v, Int64& out);
}  // namespace orv
