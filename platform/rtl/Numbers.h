// Rounding and integer arithmetic with the run-time library's rules.
#pragma once

#include <limits>

#include "platform/rtl/Types.h"

// To the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4). NaN,
// infinities and values outside Int64 raise EInvalidOp.
Int64 Round(double value);
// Toward zero; the same errors as Round.
Int64 Trunc(double value);
// The part after the point, with the value's sign (Frac(-1.25) = -0.25).
double Frac(double value);

// a * b / c with a 64-bit product, rounded to the nearest integer with
// halves away from zero; c = 0 or a result outside Integer gives -1.
Integer MulDiv(Integer a, Integer b, Integer c);

// ClampToInteger lives beside the geometry records in Types.h.

// Division and remainder truncated toward zero (the language's div and
// mod): EDivByZero for b = 0, EIntOverflow for the one quotient that does
// not fit (minimum / -1).
Integer IntDiv(Integer a, Integer b);
Integer IntMod(Integer a, Integer b);
Int64 IntDiv(Int64 a, Int64 b);
Int64 IntMod(Int64 a, Int64 b);
// Division rounded toward minus infinity and its remainder, which has the
// divisor's sign (FloorDiv(-7, 2) = -4, FloorMod(-7, 2) = 1); the same
// errors as IntDiv.
Integer FloorDiv(Integer a, Integer b);
Integer FloorMod(Integer a, Integer b);
