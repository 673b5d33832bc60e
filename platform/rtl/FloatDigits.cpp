#include "platform/rtl/FloatDigits.h"

#include <charconv>
#include <cmath>

namespace {

void StripTrailingZeros(TFloatRec& rec) {
  while (rec.Count > 0 && rec.Digits[rec.Count - 1] == '0') --rec.Count;
  if (rec.Count == 0) rec.Exponent = 0;
}

}  // namespace

TFloatRec DecimalDigits(double value) {
  TFloatRec rec;
  rec.Negative = std::signbit(value);
  if (std::isnan(value)) {
    rec.NaN = true;
    rec.Negative = false;
    return rec;
  }
  if (std::isinf(value)) {
    rec.Infinite = true;
    return rec;
  }
  if (value == 0) return rec;
  // d.ddddddddddddddddde[+-]x: 18 significant digits, correctly rounded.
  char buf[40];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 17);
  const char* p = buf;
  rec.Digits[rec.Count++] = *p++;
  if (*p == '.') ++p;
  while (p < res.ptr && *p != 'e') rec.Digits[rec.Count++] = *p++;
  ++p;  // 'e'
  int exp = 0;
  std::from_chars(*p == '+' ? p + 1 : p, res.ptr, exp);  // the text is not zero-terminated
  rec.Exponent = exp + 1;
  StripTrailingZeros(rec);
  return rec;
}

TFloatRec DecimalDigits(Currency value) {
  TFloatRec rec;
  rec.Negative = value.Value < 0;
  UInt64 u = rec.Negative ? 0 - static_cast<UInt64>(value.Value) : static_cast<UInt64>(value.Value);
  if (u == 0) {
    rec.Negative = false;
    return rec;
  }
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, u);
  int n = static_cast<int>(res.ptr - buf);
  for (int i = 0; i < n; ++i) rec.Digits[i] = buf[i];
  rec.Count = n;
  rec.Exponent = n - 4;  // four of the digits are the fraction
  StripTrailingZeros(rec);
  return rec;
}

void RoundDigits(TFloatRec& rec, int keep) {
  if (rec.IsSpecial() || keep >= rec.Count) return;
  if (keep < 0) {
    rec.Count = 0;
    rec.Exponent = 0;
    return;
  }
  const bool up = rec.Digits[keep] >= '5';
  rec.Count = keep;
  if (up) {
    int i = keep - 1;
    while (i >= 0 && rec.Digits[i] == '9') --i;
    if (i < 0) {
      // All nines (or nothing kept): the value becomes 1 one place higher.
      rec.Digits[0] = '1';
      rec.Count = 1;
      rec.Exponent += 1;
      return;
    }
    ++rec.Digits[i];
    rec.Count = i + 1;
  }
  StripTrailingZeros(rec);
}

AnsiString SpecialText(const TFloatRec& rec) {
  if (rec.NaN) return "NAN";
  return rec.Negative ? "-INF" : "INF";
}
