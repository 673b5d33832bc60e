// Floating-point and currency numbers as text and back, with the separators
// and currency forms of the format settings.
//
// Shapes (en-US): FloatToStr(2.0) "2", (0.1) "0.1", (1E20) "1E20",
// (1.5E-10) "1.5E-10"; FloatToStrF(1234.5, ffNumber, 15, 2) "1,234.50";
// FormatFloat("#,##0.00;(#,##0.00);zero", -1234.5) "(1,234.50)".
// Decimal digits are rounded halves away from zero; NaN and infinities
// read "NAN", "INF", "-INF".
#pragma once

#include <string_view>

#include "platform/rtl/Types.h"

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// General: up to 15 significant digits, fixed notation unless there are
// more integer digits than that or the magnitude is below 0.00001.
AnsiString FloatToStr(Extended value);
// Precision: significant digits (1..18). Digits: for ffGeneral and
// ffExponent the least number of exponent digits (0..4), for the others
// the decimals (0..18). ffFixed, ffNumber and ffCurrency fall back to the
// general form when the integer digits exceed the precision.
AnsiString FloatToStrF(Extended value, TFloatFormat format, int precision, int digits);
// Sections "positive;negative;zero" of: 0 (digit), # (optional digit),
// . (decimal separator), , (thousands grouping), E+ E- e+ e- (exponent),
// 'text' or "text" (literal); anything else is copied.
AnsiString FormatFloat(std::string_view format, Extended value);
// The same pictures over the exact digits of a Currency, so that amounts
// beyond what a double holds to the cent keep their last decimals; an empty
// section gives CurrToStr's text.
AnsiString FormatCurr(std::string_view format, Currency value);

// Blanks around, an optional sign, digits with at most one decimal
// separator (the settings' one), an optional exponent. No thousands
// separators. Out-of-range values are rejected.
Extended StrToFloat(std::string_view text);  // EConvertError "'%s' is not a valid floating point value"
Extended StrToFloatDef(std::string_view text, Extended def);
bool TryStrToFloat(std::string_view text, Extended& value);
bool TryStrToFloat(std::string_view text, Single& value);
// The same reading, telling besides whether a text that is not zero came
// out as 0 because its magnitude lies below the smallest double (an 80-bit
// reader would still have it). Such a text answers true with 0 and
// AUnderflow set, as the two-argument form does without telling.
bool TryStrToFloat(std::string_view text, Extended& value, bool& AUnderflow);
bool TextToFloat(const char* text, Extended& value);
bool TextToFloat(const char* text, Currency& value);

// Currency: the exact value with up to four decimals ("1.5", "-0.0001").
AnsiString CurrToStr(Currency value);
AnsiString CurrToStrF(Currency value, TFloatFormat format, int digits);
// Same syntax as StrToFloat; rounds to four decimals, halves to even.
Currency StrToCurr(std::string_view text);  // EConvertError as StrToFloat
Currency StrToCurrDef(std::string_view text, Currency def);
bool TryStrToCurr(std::string_view text, Currency& value);

