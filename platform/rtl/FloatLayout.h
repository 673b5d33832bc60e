// Laying out decimal digits (FloatDigits.h) as text; shared by the float
// and currency routines and by Format.
#pragma once

#include "platform/rtl/FloatDigits.h"
#include "platform/rtl/FloatText.h"

// The integer digits of the record ("0" when it has none), grouped by
// `thousands` unless that is '\0'.
void AppendIntegerPart(AnsiString& out, const TFloatRec& rec, char thousands);
// The separator and exactly `decimals` fraction digits (nothing for 0).
void AppendFractionPart(AnsiString& out, const TFloatRec& rec, int decimals, char decimalSeparator);
// The general form with `precision` significant digits and at least
// `expDigits` exponent digits.
AnsiString GeneralText(TFloatRec rec, int precision, int expDigits, char decimalSeparator);
// FloatToStrF's forms over a digit record; precision clamped to
// 1..maxPrecision.
AnsiString FormatDigits(const TFloatRec& rec, TFloatFormat format, int precision, int digits, int maxPrecision);
