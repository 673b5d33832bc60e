// Integers as text and back, and Booleans as text.
//
// StrToInt accepts leading blanks, a sign, then decimal digits or
// hexadecimal digits after '$' or "0x"; nothing may follow the number.
// Decimal text must fit the type; hexadecimal text may use every bit
// ("$FFFFFFFF" is -1 for StrToInt).
#pragma once

#include <string_view>

#include "platform/rtl/Types.h"

AnsiString IntToStr(Integer value);
AnsiString IntToStr(Int64 value);
// Upper-case hexadecimal with at least `digits` digits; negative numbers in
// two's complement of their own width.
AnsiString IntToHex(Integer value, int digits);
AnsiString IntToHex(Int64 value, int digits);

Integer StrToInt(std::string_view text);  // EConvertError "'%s' is not a valid integer value"
Integer StrToIntDef(std::string_view text, Integer def);
bool TryStrToInt(std::string_view text, Integer& value);
Int64 StrToInt64(std::string_view text);  // EConvertError as StrToInt
Int64 StrToInt64Def(std::string_view text, Int64 def);
bool TryStrToInt64(std::string_view text, Int64& value);

// "True"/"False" with useBoolStrs, otherwise "-1"/"0".
AnsiString BoolToStr(bool value, bool useBoolStrs = false);
// "True"/"False" in any case, or an integer (non-zero is true).
bool StrToBool(std::string_view text);  // EConvertError "'%s' is not a valid boolean value"
bool TryStrToBool(std::string_view text, bool& value);
