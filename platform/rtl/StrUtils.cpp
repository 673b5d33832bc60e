#include "platform/rtl/StrUtils.h"

#include <algorithm>

#include "platform/rtl/Collation.h"

namespace {

bool Blank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

AnsiString Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && Blank(s[b])) ++b;
  while (e > b && Blank(s[e - 1])) --e;
  return AnsiString(s.substr(b, e - b));
}

AnsiString TrimLeft(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && Blank(s[b])) ++b;
  return AnsiString(s.substr(b));
}

AnsiString TrimRight(std::string_view s) {
  std::size_t e = s.size();
  while (e > 0 && Blank(s[e - 1])) --e;
  return AnsiString(s.substr(0, e));
}

Integer Pos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  std::size_t p = s.find(sub);
  return p == std::string_view::npos ? 0 : static_cast<Integer>(p + 1);
}

AnsiString Copy(std::string_view s, Integer index, Integer count) {
  if (index < 1) index = 1;
  const auto len = static_cast<Int64>(s.size());
  if (count <= 0 || index > len) return AnsiString();
  const Int64 n = std::min<Int64>(count, len - index + 1);
  return AnsiString(s.substr(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(n)));
}

void Delete(AnsiString& s, Integer index, Integer count) {
  const auto len = static_cast<Int64>(s.size());
  if (index < 1 || index > len || count <= 0) return;
  const Int64 n = std::min<Int64>(count, len - index + 1);
  s.erase(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(n));
}

void Insert(std::string_view source, AnsiString& s, Integer index) {
  if (index < 1) index = 1;
  const std::size_t at = std::min<std::size_t>(static_cast<std::size_t>(index - 1), s.size());
  s.insert(at, source);
}

Integer LastDelimiter(std::string_view delimiters, std::string_view s) {
  std::size_t p = s.find_last_of(delimiters);
  return p == std::string_view::npos ? 0 : static_cast<Integer>(p + 1);
}

AnsiString StringOfChar(char c, Integer count) { return count > 0 ? AnsiString(static_cast<std::size_t>(count), c) : AnsiString(); }

AnsiString StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                         TReplaceFlags flags) {
  if (oldPattern.empty()) return AnsiString(s);
  // With ignore-case the search runs on upper-cased copies of the same
  // length (1252 upper-casing maps byte to byte), the text comes from s.
  AnsiString upperS, upperOld;
  std::string_view hay = s, needle = oldPattern;
  if (flags.Contains(rfIgnoreCase)) {
    upperS = AnsiUpperCase(s);
    upperOld = AnsiUpperCase(oldPattern);
    hay = upperS;
    needle = upperOld;
  }
  AnsiString out;
  std::size_t from = 0;
  for (;;) {
    std::size_t p = hay.find(needle, from);
    if (p == std::string_view::npos) break;
    out.append(s.substr(from, p - from));
    out.append(newPattern);
    from = p + needle.size();
    if (!flags.Contains(rfReplaceAll)) break;
  }
  out.append(s.substr(from));
  return out;
}

AnsiString AnsiQuotedStr(std::string_view s, char quote) {
  AnsiString out;
  out.reserve(s.size() + 2);
  out += quote;
  for (char c : s) {
    out += c;
    if (c == quote) out += quote;
  }
  out += quote;
  return out;
}

AnsiString QuotedStr(std::string_view s) { return AnsiQuotedStr(s, '\''); }

bool IsValidIdent(std::string_view s) {
  if (s.empty()) return false;
  auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!alpha(s[0])) return false;
  for (char c : s.substr(1))
    if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}
