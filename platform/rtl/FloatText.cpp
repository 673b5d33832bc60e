#include "platform/rtl/FloatText.h"

#include <algorithm>

#include "platform/rtl/FloatDigits.h"
#include "platform/rtl/FloatLayout.h"
#include "platform/rtl/FormatSettings.h"

namespace {

void AppendExponent(AnsiString& out, int e, bool alwaysSign, int minDigits) {
  if (e < 0) {
    out += '-';
    e = -e;
  } else if (alwaysSign) {
    out += '+';
  }
  char buf[12];
  int n = 0;
  do {
    buf[n++] = static_cast<char>('0' + e % 10);
    e /= 10;
  } while (e > 0);
  for (int i = n; i < minDigits; ++i) out += '0';
  while (n > 0) out += buf[--n];
}

constexpr const char* kPosCurr[4] = {"$n", "n$", "$ n", "n $"};
constexpr const char* kNegCurr[16] = {"($n)", "-$n", "$-n", "$n-", "(n$)", "-n$", "n-$", "n$-",
                                      "-n $", "-$ n", "n $-", "$ n-", "$ -n", "n- $", "($ n)", "(n $)"};

}  // namespace

void AppendIntegerPart(AnsiString& out, const TFloatRec& rec, char thousands) {
  if (rec.Exponent <= 0) {
    out += '0';
    return;
  }
  for (int i = 0; i < rec.Exponent; ++i) {
    out += rec.Digit(i);
    const int fromRight = rec.Exponent - 1 - i;
    if (thousands && fromRight > 0 && fromRight % 3 == 0) out += thousands;
  }
}

void AppendFractionPart(AnsiString& out, const TFloatRec& rec, int decimals, char decimalSeparator) {
  if (decimals <= 0) return;
  out += decimalSeparator;
  for (int i = 0; i < decimals; ++i) out += rec.Digit(rec.Exponent + i);
}

AnsiString GeneralText(TFloatRec rec, int precision, int expDigits, char decimalSeparator) {
  if (rec.IsSpecial()) return SpecialText(rec);
  RoundSignificant(rec, precision);
  if (rec.IsZero()) return "0";
  AnsiString out;
  if (rec.Negative) out += '-';
  if (rec.Exponent > precision || rec.Exponent < -4) {
    out += rec.Digits[0];
    if (rec.Count > 1) {
      out += decimalSeparator;
      out.append(rec.Digits + 1, rec.Count - 1);
    }
    out += 'E';
    AppendExponent(out, rec.Exponent - 1, false, expDigits);
  } else if (rec.Exponent <= 0) {
    out += '0';
    out += decimalSeparator;
    out.append(-rec.Exponent, '0');
    out.append(rec.Digits, rec.Count);
  } else {
    for (int i = 0; i < rec.Exponent; ++i) out += rec.Digit(i);
    if (rec.Count > rec.Exponent) {
      out += decimalSeparator;
      out.append(rec.Digits + rec.Exponent, rec.Count - rec.Exponent);
    }
  }
  return out;
}

AnsiString FormatDigits(const TFloatRec& source, TFloatFormat format, int precision, int digits, int maxPrecision) {
  const TFormatSettings& fs = FormatSettings();
  if (source.IsSpecial()) return SpecialText(source);
  precision = std::clamp(precision, 1, maxPrecision);
  TFloatRec rec = source;
  switch (format) {
    case ffExponent: {
      digits = std::clamp(digits, 0, 4);
      RoundSignificant(rec, precision);
      AnsiString out;
      if (rec.Negative && !rec.IsZero()) out += '-';
      out += rec.Digit(0);
      if (precision > 1) {
        out += fs.DecimalSeparator;
        for (int i = 1; i < precision; ++i) out += rec.Digit(i);
      }
      out += 'E';
      AppendExponent(out, rec.IsZero() ? 0 : rec.Exponent - 1, true, digits);
      return out;
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      digits = std::clamp(digits, 0, 18);
      RoundDigits(rec, std::min(precision, rec.Exponent + digits));
      if (rec.Exponent > precision) return GeneralText(source, precision, 0, fs.DecimalSeparator);
      AnsiString number;
      AppendIntegerPart(number, rec, format == ffFixed ? '\0' : fs.ThousandSeparator);
      AppendFractionPart(number, rec, digits, fs.DecimalSeparator);
      const bool negative = rec.Negative && !rec.IsZero();
      if (format != ffCurrency) return negative ? "-" + number : number;
      const char* pattern = negative ? kNegCurr[fs.NegCurrFormat & 15] : kPosCurr[fs.CurrencyFormat & 3];
      AnsiString out;
      for (const char* p = pattern; *p; ++p) {
        if (*p == '$')
          out += fs.CurrencyString;
        else if (*p == 'n')
          out += number;
        else
          out += *p;
      }
      return out;
    }
    default:
      return GeneralText(rec, precision, std::clamp(digits, 0, 4), fs.DecimalSeparator);
  }
}

AnsiString FloatToStr(Extended value) {
  return GeneralText(DecimalDigits(value), 15, 0, FormatSettings().DecimalSeparator);
}

AnsiString FloatToStrF(Extended value, TFloatFormat format, int precision, int digits) {
  return FormatDigits(DecimalDigits(value), format, precision, digits, 18);
}

AnsiString CurrToStr(Currency value) {
  return GeneralText(DecimalDigits(value), 19, 0, FormatSettings().DecimalSeparator);
}

AnsiString CurrToStrF(Currency value, TFloatFormat format, int digits) {
  return FormatDigits(DecimalDigits(value), format, 19, digits, 19);
}
