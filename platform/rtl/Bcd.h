// TBcd: a decimal number of up to 64 digits with a sign and a scale (the
// digits after the point), for values that must not pass through binary
// floating point. Text uses the decimal separator of the format settings.
//
//   TBcd b = StrToBcd("-12.50");   // precision 4, scale 2, negative
//   BcdToStr(b)                    // "-12.5"
//   BcdCompare(b, DoubleToBcd(-12.5))  // 0
#pragma once

#include <string_view>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/Types.h"

ORV_EXCEPTION(EBcdException, Exception)
ORV_EXCEPTION(EBcdOverflowException, EBcdException)

constexpr int MaxFMTBcdDigits = 64;

struct TBcd {
  Byte Precision = 1;          // digits held, 1..64
  Byte SignSpecialPlaces = 0;  // bit 7: negative; bits 0..5: scale
  Byte Fraction[32] = {};      // digits, two per byte, most significant first
};

// Digits after the point, and the sign.
inline int BcdScale(const TBcd& b) { return b.SignSpecialPlaces & 0x3F; }
inline bool IsBcdNegative(const TBcd& b) { return (b.SignSpecialPlaces & 0x80) != 0; }
inline int BcdPrecision(const TBcd& b) { return b.Precision; }

// Text: blanks around, a sign, digits with at most one decimal separator,
// an optional exponent ("1.5E-3"). The digits are kept as written, trailing
// zeros included; more than 64 digits or 63 decimals round the fraction
// (halves to even), more than 64 before the point overflow. Invalid text raises EBcdException
// "'%s' is not a valid BCD value"; overflow EBcdOverflowException.
TBcd StrToBcd(std::string_view s);
bool TryStrToBcd(std::string_view s, TBcd& out);

// The plain decimal form: "-12.5", "0.001", "100"; no trailing zeros after
// the point, no thousands separators, no exponent.
AnsiString BcdToStr(const TBcd& b);

// Float-format shapes on the exact digits: ffGeneral rounds to Precision
// significant digits and goes scientific only when the integer digits
// exceed Precision or the value is below 0.00001 (Digits is then the least
// number of exponent digits); ffFixed and ffNumber show Digits decimals
// (ffNumber with thousands separators) and fall back to the general form
// when the integer digits exceed Precision; ffExponent shows Precision
// digits and an exponent of at least Digits digits. Digits are rounded half
// away from zero, as the float formats do. ffCurrency goes through
// FloatToStrF on the nearest double.
AnsiString BcdToStrF(const TBcd& b, TFloatFormat format, int precision, int digits);

// The nearest double.
double BcdToDouble(const TBcd& b);
// The shortest digits that read back as the same double; values beyond 64
// integer digits, NaN and infinities raise EBcdOverflowException, values
// smaller than the 64th decimal place round to zero.
TBcd DoubleToBcd(double v);

TBcd IntegerToBcd(Int64 v);
// Rounded to an integer with halves to even; EBcdOverflowException when
// outside Int64.
Int64 BcdToInt64(const TBcd& b);
TBcd CurrToBcd(Currency c);
// Rounded to four decimals with halves to even; false when out of range.
bool BcdToCurr(const TBcd& b, Currency& out);

// -1, 0 or 1 by numeric value (1.50 equals 1.5; -0 equals 0).
int BcdCompare(const TBcd& a, const TBcd& b);

// Exact sums, differences and products, rounded to 64 digits (and 63
// decimals) with halves to even when they grow; EBcdOverflowException when
// more than 64 digits are left before the point.
TBcd BcdAdd(const TBcd& a, const TBcd& b);
TBcd BcdSubtract(const TBcd& a, const TBcd& b);
TBcd BcdMultiply(const TBcd& a, const TBcd& b);
