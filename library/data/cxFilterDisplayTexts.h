// The texts of a range's or a list's elements in a condition's display
// value, which joins them with ';'.
#pragma once

#include <vector>

#include "platform/rtl/Variant.h"

// The display's ';'-separated parts, trimmed. When AValue is a list whose
// elements the parts do not pair with one to one (a text that holds a ';'
// itself), each element's own text instead, so that no element is shown
// with another's text.
std::vector<AnsiString> cxFilterDisplayTexts(const AnsiString& ADisplayValue, const Variant& AValue);
