// Text to floating-point and currency numbers.
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/FormatSettings.h"

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' ' && c != '\0'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The parts of a number as the syntax accepts it; the digits stay in the
// text (views into it).
struct Scanned {
  bool negative = false;
  std::string_view intDigits;
  std::string_view fracDigits;
  Int64 exponent = 0;  // saturated far beyond any meaningful value
};

bool Scan(std::string_view s, Scanned& out) {
  const char dec = FormatSettings().DecimalSeparator;
  std::size_t i = 0, n = s.size();
  while (i < n && IsBlank(s[i])) ++i;
  if (i < n && (s[i] == '+' || s[i] == '-')) out.negative = s[i++] == '-';
  std::size_t start = i;
  while (i < n && IsDigit(s[i])) ++i;
  out.intDigits = s.substr(start, i - start);
  if (i < n && s[i] == dec) {
    start = ++i;
    while (i < n && IsDigit(s[i])) ++i;
    out.fracDigits = s.substr(start, i - start);
  }
  if (out.intDigits.empty() && out.fracDigits.empty()) return false;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool expNeg = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) expNeg = s[i++] == '-';
    if (i >= n || !IsDigit(s[i])) return false;
    Int64 e = 0;
    while (i < n && IsDigit(s[i])) {
      if (e < 1'000'000'000) e = e * 10 + (s[i] - '0');
      ++i;
    }
    out.exponent = expNeg ? -e : e;
  }
  while (i < n && IsBlank(s[i])) ++i;
  return i == n;
}

// The decimal exponent of the leading significant digit, or INT64_MIN for
// a zero mantissa.
Int64 Magnitude(const Scanned& sc) {
  std::size_t lead = sc.intDigits.find_first_not_of('0');
  if (lead != std::string_view::npos) return static_cast<Int64>(sc.intDigits.size() - lead) + sc.exponent;
  std::size_t fl = sc.fracDigits.find_first_not_of('0');
  if (fl == std::string_view::npos) return std::numeric_limits<Int64>::min();
  return -static_cast<Int64>(fl) + sc.exponent;
}

// The nearest value of the binary type T (double or float) to the text,
// read in one rounding: a single read through a double would round twice
// and may land on the neighbour of the nearest one.
template <class T>
bool ToBinary(std::string_view text, T& value, bool* underflow = nullptr) {
  if (underflow) *underflow = false;
  Scanned sc;
  if (!Scan(text, sc)) return false;
  const Int64 mag = Magnitude(sc);
  if (mag == std::numeric_limits<Int64>::min()) {
    value = sc.negative ? T(-0.0) : T(0.0);
    return true;
  }
  if (mag > 400) return false;
  if (mag < -400) {
    if (underflow) *underflow = true;
    value = sc.negative ? T(-0.0) : T(0.0);
    return true;
  }
  // Rewrite in the C syntax for the correctly rounding converter.
  char small[128];
  AnsiString large;
  const std::size_t need = sc.intDigits.size() + sc.fracDigits.size() + 32;
  char* buf = small;
  if (need > sizeof small) {
    large.resize(need);
    buf = large.data();
  }
  char* p = buf;
  std::memcpy(p, sc.intDigits.data(), sc.intDigits.size());
  p += sc.intDigits.size();
  if (sc.intDigits.empty()) *p++ = '0';
  if (!sc.fracDigits.empty()) {
    *p++ = '.';
    std::memcpy(p, sc.fracDigits.data(), sc.fracDigits.size());
    p += sc.fracDigits.size();
  }
  *p++ = 'e';
  p = std::to_chars(p, buf + need, sc.exponent).ptr;
  T v = 0;
  auto res = std::from_chars(buf, p, v);
  if (res.ec == std::errc::result_out_of_range) {
    if (mag > 0) return false;
    if (underflow) *underflow = true;
    v = 0;
  } else if (res.ec != std::errc() || res.ptr != p || std::isinf(v)) {
    return false;
  }
  value = sc.negative ? -v : v;
  return true;
}

// value x 10^4 rounded halves to even; false when it leaves the Int64 range.
bool ToCurrency(std::string_view text, Currency& value) {
  Scanned sc;
  if (!Scan(text, sc)) return false;
  const Int64 mag = Magnitude(sc);
  if (mag == std::numeric_limits<Int64>::min()) {
    value = Currency{0};
    return true;
  }
  if (mag > 16) return false;  // at least 10^16 x 10^4 leaves Int64
  // Digits as one run; the scaled value keeps those up to position
  // (int digits + exponent + 4), the rest decide the rounding.
  auto digitAt = [&](std::size_t k) -> char {
    return k < sc.intDigits.size() ? sc.intDigits[k] : sc.fracDigits[k - sc.intDigits.size()];
  };
  const std::size_t total = sc.intDigits.size() + sc.fracDigits.size();
  const Int64 keep = static_cast<Int64>(sc.intDigits.size()) + sc.exponent + 4;
  unsigned __int128 acc = 0;
  const unsigned __int128 limit = static_cast<unsigned __int128>(std::numeric_limits<Int64>::max()) + 1;
  for (Int64 k = 0; k < keep; ++k) {
    const char c = static_cast<std::size_t>(k) < total ? digitAt(static_cast<std::size_t>(k)) : '0';
    acc = acc * 10 + static_cast<unsigned>(c - '0');
    if (acc > limit) return false;
  }
  if (keep < static_cast<Int64>(total)) {
    const std::size_t first = keep < 0 ? 0 : static_cast<std::size_t>(keep);
    // Digits between the kept ones and the first dropped one count as zeros
    // when keep is negative: the value is then below half a unit.
    if (keep >= 0) {
      const char d = digitAt(first);
      bool rest = false;
      for (std::size_t k = first + 1; k < total && !rest; ++k) rest = digitAt(k) != '0';
      if (d > '5' || (d == '5' && (rest || (acc & 1))) ) ++acc;
    }
  }
  if (sc.negative) {
    if (acc > limit) return false;
    value = Currency{static_cast<Int64>(0 - static_cast<UInt64>(acc))};
  } else {
    if (acc >= limit) return false;
    value = Currency{static_cast<Int64>(acc)};
  }
  return true;
}

[[noreturn]] void BadFloat(std::string_view text) {
  throw EConvertError("'%s' is not a valid floating point value", {text});
}

}  // namespace

bool TryStrToFloat(std::string_view text, Extended& value) { return ToBinary(text, value); }

bool TryStrToFloat(std::string_view text, Extended& value, bool& AUnderflow) {
  return ToBinary(text, value, &AUnderflow);
}

bool TryStrToFloat(std::string_view text, Single& value) { return ToBinary(text, value); }

Extended StrToFloat(std::string_view text) {
  double v;
  if (!ToBinary(text, v)) BadFloat(text);
  return v;
}

Extended StrToFloatDef(std::string_view text, Extended def) {
  double v;
  return ToBinary(text, v) ? v : def;
}

bool TextToFloat(const char* text, Extended& value) { return text && ToBinary(text, value); }
bool TextToFloat(const char* text, Currency& value) { return text && ToCurrency(text, value); }

bool TryStrToCurr(std::string_view text, Currency& value) { return ToCurrency(text, value); }

Currency StrToCurr(std::string_view text) {
  Currency c;
  if (!ToCurrency(text, c)) BadFloat(text);
  return c;
}

Currency StrToCurrDef(std::string_view text, Currency def) {
  Currency c;
  return ToCurrency(text, c) ? c : def;
}
