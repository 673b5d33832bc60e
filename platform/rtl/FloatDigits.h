// Decimal digits of a number, the common ground of every number-to-text
// routine: a value becomes "0.<digits> x 10^Exponent", is rounded there
// (halves away from zero, on the decimal digits), and is then laid out by
// the caller. Doubles give at most 18 significant digits (the shortest
// 18-digit decimal of the binary value); Currency gives its exact digits.
#pragma once

#include "platform/rtl/Types.h"

struct TFloatRec {
  int Exponent = 0;      // value = 0.Digits x 10^Exponent
  bool Negative = false;
  bool NaN = false;
  bool Infinite = false;
  int Count = 0;         // significant digits; 0 for zero
  char Digits[24] = {};  // '0'..'9', no trailing zeros

  bool IsZero() const { return Count == 0 && !NaN && !Infinite; }
  bool IsSpecial() const { return NaN || Infinite; }
  // The digit at a position, '0' past the end.
  char Digit(int i) const { return i >= 0 && i < Count ? Digits[i] : '0'; }
};

TFloatRec DecimalDigits(double value);
TFloatRec DecimalDigits(Currency value);

// Keeps the first `keep` digits, rounding half away from zero on the next
// one; keep <= 0 may round up to a single '1' one place higher or to zero.
void RoundDigits(TFloatRec& rec, int keep);
inline void RoundSignificant(TFloatRec& rec, int precision) { RoundDigits(rec, precision); }
inline void RoundDecimals(TFloatRec& rec, int decimals) { RoundDigits(rec, rec.Exponent + decimals); }

// "NAN", "INF" or "-INF" for the special values.
AnsiString SpecialText(const TFloatRec& rec);
