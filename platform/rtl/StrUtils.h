// String helpers with the run-time library's 1-based positions. They exist
// for code ported line by line; new code uses std::string members.
// Comparison and case mapping live in Collation.h.
#pragma once

#include <string_view>

#include "platform/rtl/Sets.h"
#include "platform/rtl/Types.h"

// Blanks and control characters (everything up to ' ') removed.
AnsiString Trim(std::string_view s);
AnsiString TrimLeft(std::string_view s);
AnsiString TrimRight(std::string_view s);

// 1-based position of the first occurrence, 0 when absent or sub is empty.
Integer Pos(std::string_view sub, std::string_view s);
// `count` characters from 1-based `index`; out-of-range parts are cut off.
AnsiString Copy(std::string_view s, Integer index, Integer count);
// Removes `count` characters at `index`; nothing when index is outside.
void Delete(AnsiString& s, Integer index, Integer count);
// Inserts before `index` (clamped to the ends).
void Insert(std::string_view source, AnsiString& s, Integer index);
// 1-based position of the last character that is one of `delimiters`, or 0.
Integer LastDelimiter(std::string_view delimiters, std::string_view s);
AnsiString StringOfChar(char c, Integer count);

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = Set<TReplaceFlag>;
// Replaces the first (or every) occurrence; with rfIgnoreCase letters match
// in either case (code page 1252). An empty pattern replaces nothing.
AnsiString StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                         TReplaceFlags flags);

// The text in single quotes with every quote doubled: It's -> 'It''s'.
AnsiString QuotedStr(std::string_view s);
AnsiString AnsiQuotedStr(std::string_view s, char quote);
// A letter or '_' followed by letters, digits and '_' (ASCII).
bool IsValidIdent(std::string_view s);
