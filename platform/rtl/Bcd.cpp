#include "platform/rtl/Bcd.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/TypeInfo.h"

ORV_REGISTER(EBcdException)
ORV_REGISTER(EBcdOverflowException)

namespace {

constexpr int kMaxScale = 63;  // six bits of SignSpecialPlaces

// A decimal being worked on: Count digits (values 0..9, most significant
// first), the last Scale of them after the point. Wide enough for the sum
// of two full-width values before it is rounded back to 64 digits.
struct Dec {
  bool Neg = false;
  int Scale = 0;
  int Count = 0;
  Byte D[160] = {};

  int IntDigits() const { return Count - Scale; }
  bool IsZero() const {
    for (int i = 0; i < Count; ++i)
      if (D[i]) return false;
    return true;
  }
  void Push(int digit) { D[Count++] = static_cast<Byte>(digit); }
  // Removes leading zeros before the point (keeps the digits after it).
  void TrimLeading() {
    int lead = 0;
    while (lead < IntDigits() && D[lead] == 0) ++lead;
    if (lead) {
      std::memmove(D, D + lead, Count - lead);
      Count -= lead;
    }
  }
  // Removes zeros after the point that change nothing.
  void TrimTrailing() {
    while (Scale > 0 && D[Count - 1] == 0) {
      --Count;
      --Scale;
    }
  }
  // Adds one unit in the last place, growing at the front on a carry.
  void Increment() {
    int i = Count - 1;
    while (i >= 0 && D[i] == 9) D[i--] = 0;
    if (i >= 0) {
      ++D[i];
    } else {
      std::memmove(D + 1, D, Count);
      D[0] = 1;
      ++Count;
    }
  }
  // Drops `drop` digits after the point. halfEven: ties go to the even
  // neighbour; otherwise ties go away from zero.
  void DropFraction(int drop, bool halfEven) {
    if (drop > Scale) drop = Scale;
    if (drop <= 0) return;  // nothing after the point: there is nothing to round
    int first = Count - drop;
    int head = D[first];
    bool rest = false;
    for (int i = first + 1; i < Count; ++i) rest = rest || D[i] != 0;
    Count -= drop;
    Scale -= drop;
    bool up = head > 5 || (head == 5 && (rest || !halfEven || (Count > 0 && (D[Count - 1] & 1))));
    if (up) Increment();
  }
  // Pads or rounds to exactly `scale` digits after the point.
  void SetScale(int scale, bool halfEven) {
    if (scale < Scale) DropFraction(Scale - scale, halfEven);
    while (Scale < scale) {
      Push(0);
      ++Scale;
    }
  }
};

Dec Unpack(const TBcd& b) {
  Dec d;
  d.Neg = IsBcdNegative(b);
  d.Scale = BcdScale(b);
  int n = b.Precision;
  if (n < 1 || n > MaxFMTBcdDigits) n = 1;  // a damaged record reads as its first digit
  for (int i = 0; i < n; ++i) {
    Byte pair = b.Fraction[i / 2];
    int digit = (i % 2 == 0) ? pair >> 4 : pair & 0x0F;
    d.Push(digit > 9 ? 0 : digit);
  }
  if (d.Scale > d.Count) d.Scale = d.Count;
  return d;
}

bool Pack(Dec d, TBcd& out) {
  d.TrimLeading();
  // One rounding at the first place that cannot be kept, whichever limit
  // sets it: rounding at the 63rd decimal and then again at the 64th digit
  // would round twice (x.00014999... to x.00015 to x.0002).
  const int drop = std::max(d.Scale - kMaxScale, d.Count - MaxFMTBcdDigits);
  if (drop > 0) d.DropFraction(drop, true);
  // Rounding the fraction away can carry a digit in front of all nines
  // (9.95 to 10.0): round again, dropping what are zeros by then.
  while (d.Count > MaxFMTBcdDigits && d.Scale > 0) d.DropFraction(d.Count - MaxFMTBcdDigits, true);
  d.TrimLeading();  // a carry cannot add zeros, but dropping may leave "0.x"
  if (d.IntDigits() > MaxFMTBcdDigits) return false;
  if (d.Count == 0) d.Push(0);
  out = TBcd{};
  out.Precision = static_cast<Byte>(d.Count);
  out.SignSpecialPlaces = static_cast<Byte>(d.Scale | (d.Neg && !d.IsZero() ? 0x80 : 0));
  for (int i = 0; i < d.Count; ++i) out.Fraction[i / 2] |= static_cast<Byte>(i % 2 == 0 ? d.D[i] << 4 : d.D[i]);
  return true;
}

TBcd PackOrThrow(const Dec& d) {
  TBcd out;
  if (!Pack(d, out)) throw EBcdOverflowException("BCD overflow");
  return out;
}

char DecimalSep() { return FormatSettings().DecimalSeparator; }

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

enum class Read { Ok, Invalid, Overflow };

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits with an optional separator and exponent; `sep` is the decimal
// separator accepted. The exponent places the digits before any is kept,
// so a text of any length keeps what packing needs, whatever the exponent:
// every integer digit (more than 64 overflow), the decimals up to two
// places past the last one packing keeps, and a final 1 when anything
// non-zero follows them (it decides a tie and is rounded away).
Read ParseDec(std::string_view s, char sep, Dec& d) {
  size_t i = 0, n = s.size();
  while (i < n && IsBlank(s[i])) ++i;
  while (n > i && IsBlank(s[n - 1])) --n;
  if (i < n && (s[i] == '+' || s[i] == '-')) d.Neg = s[i++] == '-';
  size_t from = i;
  while (i < n && IsDigit(s[i])) ++i;
  std::string_view intDigits = s.substr(from, i - from);
  std::string_view fracDigits;
  if (i < n && s[i] == sep) {
    from = ++i;
    while (i < n && IsDigit(s[i])) ++i;
    fracDigits = s.substr(from, i - from);
  }
  if (intDigits.empty() && fracDigits.empty()) return Read::Invalid;
  Int64 exponent = 0;
  if (i < n && (s[i] == 'E' || s[i] == 'e')) {
    ++i;
    bool negExp = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) negExp = s[i++] == '-';
    if (i >= n || !IsDigit(s[i])) return Read::Invalid;
    for (; i < n && IsDigit(s[i]); ++i)
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (s[i] - '0');  // far past any place kept
    if (negExp) exponent = -exponent;
  }
  if (i != n) return Read::Invalid;

  // Leading zeros before the point carry no information.
  const size_t lead = intDigits.find_first_not_of('0');
  intDigits = lead == std::string_view::npos ? std::string_view() : intDigits.substr(lead);
  const Int64 intLen = static_cast<Int64>(intDigits.size());
  const Int64 len = intLen + static_cast<Int64>(fracDigits.size());
  const bool zero = intDigits.empty() && fracDigits.find_first_not_of('0') == std::string_view::npos;
  // The value's digits as the exponent lays them out: zeros in front when
  // the point moves before the first written digit, the written digits,
  // zeros behind when it moves past the last (a zero grows none).
  const Int64 point = intLen + exponent;
  const Int64 front = point < 0 ? -point : 0;
  const Int64 back = !zero && point > len ? point - len : 0;
  const Int64 count = front + len + back;
  const Int64 intCount = std::clamp<Int64>(point, 0, count);
  auto at = [&](Int64 k) -> int {
    k -= front;
    if (k < 0 || k >= len) return 0;
    return (k < intLen ? intDigits[k] : fracDigits[k - intLen]) - '0';
  };
  Int64 first = 0;
  while (first < intCount && at(first) == 0) ++first;  // only written digits can be zeros here
  if (intCount - first > MaxFMTBcdDigits) return Read::Overflow;
  const Int64 kept = std::min(count, intCount + kMaxScale + 2);
  for (Int64 k = first; k < kept; ++k) d.Push(at(k));
  d.Scale = static_cast<int>(kept - intCount);
  for (Int64 k = std::max(kept, front); k < front + len; ++k) {
    if (at(k) != 0) {
      d.Push(1);
      ++d.Scale;
      break;
    }
  }
  return Read::Ok;
}

AnsiString DigitsText(const Dec& d, int from, int to) {
  AnsiString s;
  for (int i = from; i < to; ++i) s.push_back(static_cast<char>('0' + d.D[i]));
  return s;
}

// Rounds to `sig` significant digits (half away from zero) and answers the
// decimal exponent e with value = 0.d1d2... x 10^e, or 0 for zero.
int RoundSignificant(Dec& d, int sig) {
  d.TrimLeading();
  int first = 0;
  while (first < d.Count && d.D[first] == 0) ++first;
  if (first == d.Count) return 0;
  int exponent = d.IntDigits() - first;
  int keepAfterPoint = sig - exponent;  // may be negative
  if (keepAfterPoint < d.Scale) {
    if (keepAfterPoint >= 0) {
      d.DropFraction(d.Scale - keepAfterPoint, false);
    } else {
      // Rounding happens before the point: turn the integer digits into
      // fraction digits, round, then restore the magnitude.
      int shift = -keepAfterPoint;
      d.Scale += shift;
      d.DropFraction(d.Scale - 0, false);
      for (int k = 0; k < shift; ++k) d.Push(0);
    }
  }
  d.TrimLeading();
  first = 0;
  while (first < d.Count && d.D[first] == 0) ++first;
  return d.IntDigits() - first;
}

AnsiString Scientific(const Dec& rounded, int exponent, int mantissaDigits, bool trimZeros, bool plusSign,
                      int minExpDigits) {
  int first = 0;
  while (first < rounded.Count && rounded.D[first] == 0) ++first;
  AnsiString digits = DigitsText(rounded, first, rounded.Count);
  if (digits.empty()) digits.push_back('0');
  digits.resize(mantissaDigits, '0');
  if (trimZeros)
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  AnsiString s = rounded.Neg ? "-" : "";
  s.push_back(digits[0]);
  if (digits.size() > 1) {
    s.push_back(DecimalSep());
    s.append(digits, 1);
  }
  int e = exponent - 1;
  s += 'E';
  if (e < 0)
    s += '-';
  else if (plusSign)
    s += '+';
  AnsiString ed = std::to_string(e < 0 ? -e : e);
  if (static_cast<int>(ed.size()) < minExpDigits) s.append(minExpDigits - ed.size(), '0');
  s += ed;
  return s;
}

AnsiString Fixed(const Dec& d, bool thousands) {
  AnsiString intPart = DigitsText(d, 0, d.IntDigits());
  size_t lead = 0;
  while (lead + 1 < intPart.size() && intPart[lead] == '0') ++lead;
  intPart.erase(0, lead);
  if (intPart.empty()) intPart.push_back('0');
  if (thousands) {
    char sep = FormatSettings().ThousandSeparator;
    for (int pos = static_cast<int>(intPart.size()) - 3; pos > 0; pos -= 3) intPart.insert(intPart.begin() + pos, sep);
  }
  AnsiString s = d.Neg && !d.IsZero() ? "-" : "";
  s += intPart;
  if (d.Scale > 0) {
    s.push_back(DecimalSep());
    s += DigitsText(d, d.IntDigits(), d.Count);
  }
  return s;
}

}  // namespace

bool TryStrToBcd(std::string_view s, TBcd& out) {
  Dec d;
  if (ParseDec(s, DecimalSep(), d) != Read::Ok) return false;
  return Pack(d, out);
}

TBcd StrToBcd(std::string_view s) {
  Dec d;
  const Read read = ParseDec(s, DecimalSep(), d);
  if (read == Read::Invalid) throw EBcdException("'%s' is not a valid BCD value", {s});
  if (read == Read::Overflow) throw EBcdOverflowException("BCD overflow");
  return PackOrThrow(d);
}

AnsiString BcdToStr(const TBcd& b) {
  Dec d = Unpack(b);
  d.TrimTrailing();
  return Fixed(d, false);
}

AnsiString BcdToStrF(const TBcd& b, TFloatFormat format, int precision, int digits) {
  if (precision < 1 || precision > MaxFMTBcdDigits) precision = MaxFMTBcdDigits;
  if (digits < 0) digits = 0;
  Dec d = Unpack(b);
  switch (format) {
    case ffGeneral: {
      if (d.IsZero()) return "0";
      int e = RoundSignificant(d, precision);
      if (e > precision || e < -4) return Scientific(d, e, precision, true, false, std::min(digits, 4));
      d.TrimTrailing();
      return Fixed(d, false);
    }
    case ffExponent: {
      if (d.IsZero()) {
        d.Neg = false;
        return Scientific(d, 1, precision, false, true, std::min(digits, 4));
      }
      int e = RoundSignificant(d, precision);
      return Scientific(d, e, precision, false, true, std::min(digits, 4));
    }
    case ffFixed:
    case ffNumber: {
      Dec probe = d;
      probe.TrimLeading();
      if (probe.IntDigits() > precision) {
        int e = RoundSignificant(d, precision);
        return Scientific(d, e, precision, true, false, 0);
      }
      d.SetScale(std::min(digits, 160 - d.IntDigits() - 1), false);
      return Fixed(d, format == ffNumber);
    }
    case ffCurrency:
      return FloatToStrF(BcdToDouble(b), ffCurrency, precision, digits);
  }
  return BcdToStr(b);
}

double BcdToDouble(const TBcd& b) {
  Dec d = Unpack(b);
  char buf[200];
  int n = 0;
  if (d.Neg) buf[n++] = '-';
  for (int i = 0; i < d.Count; ++i) buf[n++] = static_cast<char>('0' + d.D[i]);
  if (d.Count == 0) buf[n++] = '0';
  buf[n++] = 'e';
  auto [end, ec] = std::to_chars(buf + n, buf + sizeof buf, -d.Scale);
  (void)ec;
  double v = 0;
  std::from_chars(buf, end, v);  // correctly rounded; immune to LC_NUMERIC
  return v;
}

TBcd DoubleToBcd(double v) {
  if (!std::isfinite(v)) throw EBcdOverflowException("BCD overflow");
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
  (void)ec;
  Dec d;
  const Read read = ParseDec(std::string_view(buf, end - buf), '.', d);
  if (read == Read::Invalid) throw EBcdException("BCD conversion failed");
  if (read == Read::Overflow) throw EBcdOverflowException("BCD overflow");
  return PackOrThrow(d);
}

TBcd IntegerToBcd(Int64 v) {
  Dec d;
  d.Neg = v < 0;
  UInt64 mag = d.Neg ? 0 - static_cast<UInt64>(v) : static_cast<UInt64>(v);
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, mag);
  (void)ec;
  for (char* p = buf; p < end; ++p) d.Push(*p - '0');
  return PackOrThrow(d);
}

Int64 BcdToInt64(const TBcd& b) {
  Dec d = Unpack(b);
  d.SetScale(0, true);
  d.TrimLeading();
  if (d.Count > 19) throw EBcdOverflowException("BCD overflow");
  __int128 v = 0;
  for (int i = 0; i < d.Count; ++i) v = v * 10 + d.D[i];
  if (d.Neg) v = -v;
  if (v < INT64_MIN || v > INT64_MAX) throw EBcdOverflowException("BCD overflow");
  return static_cast<Int64>(v);
}

TBcd CurrToBcd(Currency c) {
  TBcd b = IntegerToBcd(c.Value);
  Dec d = Unpack(b);
  // Four implied decimals: the same digits with the point moved.
  while (d.Count < 5) {
    std::memmove(d.D + 1, d.D, d.Count);
    d.D[0] = 0;
    ++d.Count;
  }
  d.Scale = 4;
  return PackOrThrow(d);
}

bool BcdToCurr(const TBcd& b, Currency& out) {
  Dec d = Unpack(b);
  d.SetScale(4, true);
  d.TrimLeading();
  if (d.Count > 19) return false;
  __int128 v = 0;
  for (int i = 0; i < d.Count; ++i) v = v * 10 + d.D[i];
  if (d.Neg) v = -v;
  if (v < INT64_MIN || v > INT64_MAX) return false;
  out = Currency::FromRaw(static_cast<Int64>(v));
  return true;
}

namespace {

// Compares magnitudes of two decimals brought to the same scale.
int CompareMagnitude(Dec a, Dec b) {
  int scale = std::max(a.Scale, b.Scale);
  a.SetScale(scale, true);
  b.SetScale(scale, true);
  a.TrimLeading();
  b.TrimLeading();
  if (a.Count != b.Count) return a.Count < b.Count ? -1 : 1;
  for (int i = 0; i < a.Count; ++i)
    if (a.D[i] != b.D[i]) return a.D[i] < b.D[i] ? -1 : 1;
  return 0;
}

Dec AddSigned(Dec a, Dec b, bool negateB) {
  if (negateB) b.Neg = !b.Neg;
  int scale = std::max(a.Scale, b.Scale);
  a.SetScale(scale, true);
  b.SetScale(scale, true);
  int width = std::max(a.IntDigits(), b.IntDigits()) + 1 + scale;
  auto digitAt = [width](const Dec& x, int pos) {  // pos from the left of a width-wide frame
    int offset = width - x.Count;
    return pos < offset ? 0 : x.D[pos - offset];
  };
  Dec r;
  r.Scale = scale;
  r.Count = width;
  if (a.Neg == b.Neg) {
    int carry = 0;
    for (int pos = width - 1; pos >= 0; --pos) {
      int s = digitAt(a, pos) + digitAt(b, pos) + carry;
      r.D[pos] = static_cast<Byte>(s % 10);
      carry = s / 10;
    }
    r.Neg = a.Neg;
  } else {
    const Dec* big = &a;
    const Dec* small = &b;
    if (CompareMagnitude(a, b) < 0) std::swap(big, small);
    int borrow = 0;
    for (int pos = width - 1; pos >= 0; --pos) {
      int s = digitAt(*big, pos) - digitAt(*small, pos) - borrow;
      borrow = s < 0;
      r.D[pos] = static_cast<Byte>(s < 0 ? s + 10 : s);
    }
    r.Neg = big->Neg;
  }
  return r;
}

}  // namespace

int BcdCompare(const TBcd& a, const TBcd& b) {
  Dec x = Unpack(a), y = Unpack(b);
  bool xz = x.IsZero(), yz = y.IsZero();
  if (xz && yz) return 0;
  bool xn = x.Neg && !xz, yn = y.Neg && !yz;
  if (xn != yn) return xn ? -1 : 1;
  int m = CompareMagnitude(x, y);
  return xn ? -m : m;
}

TBcd BcdAdd(const TBcd& a, const TBcd& b) { return PackOrThrow(AddSigned(Unpack(a), Unpack(b), false)); }
TBcd BcdSubtract(const TBcd& a, const TBcd& b) { return PackOrThrow(AddSigned(Unpack(a), Unpack(b), true)); }

TBcd BcdMultiply(const TBcd& a, const TBcd& b) {
  const Dec x = Unpack(a), y = Unpack(b);
  // Long multiplication of the digit runs: at most 64 + 64 digits, whose
  // last x.Scale + y.Scale lie after the point; packing rounds once.
  int column[2 * MaxFMTBcdDigits] = {};
  for (int i = 0; i < x.Count; ++i)
    for (int j = 0; j < y.Count; ++j) column[i + j + 1] += x.D[i] * y.D[j];
  Dec r;
  r.Neg = x.Neg != y.Neg;
  r.Count = x.Count + y.Count;
  r.Scale = x.Scale + y.Scale;
  int carry = 0;
  for (int k = r.Count - 1; k >= 0; --k) {
    const int v = column[k] + carry;
    r.D[k] = static_cast<Byte>(v % 10);
    carry = v / 10;
  }
  return PackOrThrow(r);
}
