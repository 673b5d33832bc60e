#include "platform/rtl/NumberText.h"

#include <charconv>
#include <limits>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatText.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Parses into a 64-bit value; `bits` is the width of the target type
// (32 or 64): decimal text must fit it as a signed number, hexadecimal text
// ('$', 'x' or '0x' before it) may fill all its bits. A NUL byte ends the
// text, as it ends a C string handed over from elsewhere.
bool ParseInt(std::string_view s, int bits, Int64& out) {
  s = s.substr(0, s.find('\0'));
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n && s[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i >= n) return false;
  auto isX = [](char c) { return c == 'x' || c == 'X'; };
  if (s[i] == '$' || isX(s[i]) || (s[i] == '0' && i + 1 < n && isX(s[i + 1]))) {
    i += s[i] == '0' ? 2 : 1;
    if (i >= n) return false;
    UInt64 v = 0;
    const int maxDigits = bits / 4;
    int significant = 0;
    for (; i < n; ++i) {
      int d = HexValue(s[i]);
      if (d < 0) return false;
      if (v != 0 || d != 0) ++significant;
      if (significant > maxDigits) return false;
      v = v * 16 + static_cast<unsigned>(d);
    }
    if (bits == 32) {
      const std::uint32_t w = static_cast<std::uint32_t>(v);
      out = static_cast<std::int32_t>(negative ? 0u - w : w);
    } else {
      out = static_cast<Int64>(negative ? 0 - v : v);
    }
    return true;
  }
  UInt64 v = 0;
  const UInt64 limit = bits == 32 ? (negative ? 2147483648ull : 2147483647ull)
                                  : (negative ? 9223372036854775808ull : 9223372036854775807ull);
  std::size_t start = i;
  for (; i < n; ++i) {
    char c = s[i];
    if (c < '0' || c > '9') return false;
    const unsigned d = static_cast<unsigned>(c - '0');
    if (v > (limit - d) / 10) return false;
    v = v * 10 + d;
  }
  if (i == start) return false;
  out = negative ? static_cast<Int64>(0 - v) : static_cast<Int64>(v);
  return true;
}

[[noreturn]] void BadInt(std::string_view text) { throw EConvertError("'%s' is not a valid integer value", {text}); }

AnsiString Hex(UInt64 v, int digits) {
  char buf[17];
  auto res = std::to_chars(buf, buf + sizeof buf, v, 16);
  AnsiString s(buf, res.ptr);
  for (char& c : s)
    if (c >= 'a') c = static_cast<char>(c - 32);
  if (digits > 16) digits = 16;
  if (static_cast<int>(s.size()) < digits) s.insert(0, digits - s.size(), '0');
  return s;
}

}  // namespace

AnsiString IntToStr(Integer value) { return std::to_string(value); }
AnsiString IntToStr(Int64 value) { return std::to_string(value); }

AnsiString IntToHex(Integer value, int digits) { return Hex(static_cast<std::uint32_t>(value), digits); }
AnsiString IntToHex(Int64 value, int digits) { return Hex(static_cast<UInt64>(value), digits); }

bool TryStrToInt(std::string_view text, Integer& value) {
  Int64 v;
  if (!ParseInt(text, 32, v)) return false;
  value = static_cast<Integer>(v);
  return true;
}

Integer StrToInt(std::string_view text) {
  Integer v;
  if (!TryStrToInt(text, v)) BadInt(text);
  return v;
}

Integer StrToIntDef(std::string_view text, Integer def) {
  Integer v;
  return TryStrToInt(text, v) ? v : def;
}

bool TryStrToInt64(std::string_view text, Int64& value) { return ParseInt(text, 64, value); }

Int64 StrToInt64(std::string_view text) {
  Int64 v;
  if (!ParseInt(text, 64, v)) BadInt(text);
  return v;
}

Int64 StrToInt64Def(std::string_view text, Int64 def) {
  Int64 v;
  return ParseInt(text, 64, v) ? v : def;
}

AnsiString BoolToStr(bool value, bool useBoolStrs) {
  if (useBoolStrs) return value ? "True" : "False";
  return value ? "-1" : "0";
}

bool TryStrToBool(std::string_view text, bool& value) {
  auto same = [&](std::string_view word) {
    if (text.size() != word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
      if ((text[i] | 0x20) != (word[i] | 0x20)) return false;
    return true;
  };
  if (same("true")) return value = true, true;
  if (same("false")) return value = false, true;
  // Any number is a truth value: zero is false, everything else true.
  Int64 n;
  if (ParseInt(text, 64, n)) return value = n != 0, true;
  double d;
  if (TryStrToFloat(text, d)) return value = d != 0, true;
  return false;
}

bool StrToBool(std::string_view text) {
  bool v;
  if (!TryStrToBool(text, v)) throw EConvertError("'%s' is not a valid boolean value", {text});
  return v;
}
