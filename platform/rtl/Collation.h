// String comparison: the locale-aware collation of 8-bit text and the
// ordinal and ASCII comparisons beside it.
//
// The collation is one fixed table for code page 1252, the same on every
// machine (no host locale, no library version can change an order that
// tests and stored sort orders depend on). Strings compare on three levels:
//   1. the base character: accents folded ("é" sorts with "e"); blanks and
//      punctuation before digits, digits before letters; ligatures (æ, œ, ß)
//      and þ, µ sort as letters of their own after their first letter;
//   2. the accent: "e" < "é" < "è" < "ê" < "ë" where the base letters tie;
//   3. the case: lower before upper (dropped when ignoring case).
// Two strings are equal only when their bytes are equal (or, ignoring case,
// equal after 1252 upper-casing); other ties fall back to the byte order.
#pragma once

#include <string_view>

#include "platform/rtl/Types.h"
#include "platform/rtl/WinTypes.h"

namespace win {

constexpr DWORD NORM_IGNORECASE = 0x00000001;

constexpr int CSTR_LESS_THAN = 1;
constexpr int CSTR_EQUAL = 2;
constexpr int CSTR_GREATER_THAN = 3;

// Compares cchCount1 bytes of lpString1 with cchCount2 bytes of lpString2
// (a negative count: up to the terminating zero). Flags are 0 or
// NORM_IGNORECASE; the locale is accepted and does not change the order.
// Answers CSTR_LESS_THAN, CSTR_EQUAL or CSTR_GREATER_THAN, or 0 with the
// last error ERROR_INVALID_FLAGS or ERROR_INVALID_PARAMETER.
int CompareStringA(LCID Locale, DWORD dwCmpFlags, LPCSTR lpString1, int cchCount1, LPCSTR lpString2,
                   int cchCount2);

}  // namespace win

namespace orv {
// The collation itself: <0, 0 or >0. No allocation, no error path.
int CollateAnsi(std::string_view s1, std::string_view s2, bool ignoreCase);
}  // namespace orv

// Locale-aware (1252 collation): -1, 0 or 1.
Integer AnsiCompareStr(std::string_view S1, std::string_view S2);
Integer AnsiCompareText(std::string_view S1, std::string_view S2);
bool AnsiSameStr(std::string_view S1, std::string_view S2);
bool AnsiSameText(std::string_view S1, std::string_view S2);
// 1252 case mapping of every letter.
AnsiString AnsiUpperCase(std::string_view S);
AnsiString AnsiLowerCase(std::string_view S);

// Ordinal: the difference of the first differing bytes (as unsigned
// values), else of the lengths.
Integer CompareStr(std::string_view S1, std::string_view S2);
// Ordinal after mapping 'a'..'z' to upper case; other bytes as they are.
Integer CompareText(std::string_view S1, std::string_view S2);
bool SameText(std::string_view S1, std::string_view S2);
// Only 'a'..'z' / 'A'..'Z' change.
AnsiString UpperCase(std::string_view S);
AnsiString LowerCase(std::string_view S);
