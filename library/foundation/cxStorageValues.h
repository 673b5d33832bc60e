// Value texts shared by the property storage's text stores (registry and
// INI file). Internal to the storage unit.
#pragma once

#include <vector>

#include "platform/rtl/Types.h"
#include "platform/rtl/Variant.h"

namespace orv::storage {

// The pieces of a path cut at every "/": the parents, then the object.
std::vector<AnsiString> SplitPath(const AnsiString& APath);

AnsiString Quote(const AnsiString& AText);

// Numbers and dates in one notation that reads back under every locale:
// the shortest text that gives back the same double ("1.5", "2.0", "1e+20")
// and "yyyy-mm-dd hh:nn:ss.zzz" (the time only when there is one).
AnsiString FloatText(double AValue);
AnsiString DateTimeText(TDateTime AValue);

// The kinds of value a store keeps, numbered as the stream store writes
// them; vkNone for a value no store keeps (empty, null, arrays, objects).
enum ValueKind : Integer {
  vkNone,
  vkBoolean,
  vkByte,
  vkCurrency,
  vkDateTime,
  vkFloat,
  vkInteger,
  vkSingle,
  vkString,
  vkWideString,
};
ValueKind KindOf(const Variant& AValue);

// The kinds as the text stores (INI file, registry) write them.
enum class ValueForm { None, Boolean, Whole, Fraction, DateTime, Text };
ValueForm FormOf(const Variant& AValue);

// An integer value as a variant of the smallest of Integer and Int64.
Variant IntegerValue(Int64 AValue);

// A stored text as a value: the text between double quotes as a string;
// else a decimal integer, a floating-point number, a date and time (the
// fixed notation first, then the locale's), else the text as a string.
Variant TextToValue(const AnsiString& AText);

}  // namespace orv::storage
