// FormatFloat: a number laid out by a picture of digit placeholders.
#include <algorithm>

#include "platform/rtl/FloatLayout.h"
#include "platform/rtl/FormatSettings.h"

namespace {

// What one section of the picture asks for.
struct Section {
  std::string_view text;
  int intPlaces = 0;     // 0 and # before the decimal point
  int minInt = 0;        // integer digits always shown
  int minDec = 0;        // decimals always shown
  int maxDec = 0;        // decimals at most
  bool thousands = false;
  bool scientific = false;
};

// Splits at ';' outside quotes; at most three sections.
int SplitSections(std::string_view fmt, std::string_view out[3]) {
  int n = 0;
  std::size_t start = 0;
  char quote = 0;
  for (std::size_t i = 0; i < fmt.size(); ++i) {
    char c = fmt[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';' && n < 2) {
      out[n++] = fmt.substr(start, i - start);
      start = i + 1;
    }
  }
  out[n++] = fmt.substr(start);
  return n;
}

bool IsExponentAt(std::string_view s, std::size_t i) {
  return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

Section Analyse(std::string_view text) {
  Section s;
  s.text = text;
  bool point = false;
  int firstZero = -1;
  int decPlaces = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"' || c == '\'') {
      std::size_t end = text.find(c, i + 1);
      i = end == std::string_view::npos ? text.size() : end;
      continue;
    }
    if (IsExponentAt(text, i)) {
      s.scientific = true;
      break;  // what follows is the exponent and literals
    }
    if (c == '0' || c == '#') {
      if (point) {
        ++decPlaces;
        if (c == '0') s.minDec = decPlaces;
      } else {
        if (c == '0' && firstZero < 0) firstZero = s.intPlaces;
        ++s.intPlaces;
      }
    } else if (c == '.') {
      point = true;
    } else if (c == ',' && !point) {
      s.thousands = true;
    }
  }
  s.maxDec = decPlaces;
  s.minInt = firstZero >= 0 ? s.intPlaces - firstZero : 0;
  return s;
}

// The digits to show: integer and fraction text and, for the scientific
// form, the exponent.
struct Digits {
  AnsiString intPart;
  AnsiString fracPart;
  int exponent = 0;
};

Digits Prepare(const Section& s, TFloatRec rec) {
  Digits d;
  rec.Negative = false;  // the section carries the sign
  int intDigits;
  if (s.scientific) {
    const int mantissaInt = s.intPlaces;
    RoundSignificant(rec, std::max(1, std::min(18, mantissaInt + s.maxDec)));
    d.exponent = rec.IsZero() ? 0 : rec.Exponent - mantissaInt;
    intDigits = mantissaInt;
    for (int i = 0; i < intDigits; ++i) d.intPart += rec.Digit(i);
    // Placeholders with nothing significant in them stay empty.
    std::size_t lead = d.intPart.find_first_not_of('0');
    d.intPart.erase(0, lead == AnsiString::npos ? d.intPart.size() : lead);
    for (int i = 0; i < s.maxDec; ++i) d.fracPart += rec.Digit(intDigits + i);
  } else {
    RoundDecimals(rec, s.maxDec);
    for (int i = 0; i < rec.Exponent; ++i) d.intPart += rec.Digit(i);
    for (int i = 0; i < s.maxDec; ++i) d.fracPart += rec.Digit(rec.Exponent + i);
  }
  if (static_cast<int>(d.intPart.size()) < s.minInt) d.intPart.insert(0, s.minInt - d.intPart.size(), '0');
  while (static_cast<int>(d.fracPart.size()) > s.minDec && d.fracPart.back() == '0') d.fracPart.pop_back();
  return d;
}

AnsiString Emit(const Section& s, const Digits& d) {
  const TFormatSettings& fs = FormatSettings();
  AnsiString out;
  const int len = static_cast<int>(d.intPart.size());
  auto putInt = [&](int index) {  // index into intPart
    out += d.intPart[index];
    const int fromRight = len - 1 - index;
    if (s.thousands && fromRight > 0 && fromRight % 3 == 0) out += fs.ThousandSeparator;
  };
  int intSeen = 0, decSeen = 0;
  bool point = false;
  auto flushIntIfNone = [&] {
    // A picture with only decimal places still shows the integer digits.
    if (s.intPlaces == 0 && len > 0 && intSeen == 0) {
      for (int i = 0; i < len; ++i) putInt(i);
      intSeen = -1;
    }
  };
  const std::string_view t = s.text;
  for (std::size_t i = 0; i < t.size(); ++i) {
    char c = t[i];
    if (c == '"' || c == '\'') {
      std::size_t end = t.find(c, i + 1);
      if (end == std::string_view::npos) end = t.size();
      out.append(t.substr(i + 1, end - i - 1));
      i = end;
      continue;
    }
    if (s.scientific && IsExponentAt(t, i)) {
      flushIntIfNone();
      out += c;
      const bool always = t[i + 1] == '+';
      ++i;
      // Every placeholder right after the sign belongs to the exponent; the
      // zeros among them set its least number of digits.
      int minDigits = 0;
      while (i + 1 < t.size() && (t[i + 1] == '0' || t[i + 1] == '#')) minDigits += t[++i] == '0';
      int e = d.exponent;
      AnsiString digits = std::to_string(e < 0 ? -e : e);
      if (e < 0)
        out += '-';
      else if (always)
        out += '+';
      if (static_cast<int>(digits.size()) < minDigits) out.append(minDigits - digits.size(), '0');
      out += digits;
      continue;
    }
    if (c == '0' || c == '#') {
      if (point) {
        if (decSeen < static_cast<int>(d.fracPart.size())) out += d.fracPart[decSeen];
        ++decSeen;
      } else {
        if (intSeen == 0) {
          for (int j = 0; j < len - s.intPlaces; ++j) putInt(j);  // digits beyond the placeholders
        }
        // Placeholders past those counted (after an exponent) show nothing.
        const int fromRight = s.intPlaces - 1 - intSeen;
        if (fromRight >= 0 && fromRight < len) putInt(len - 1 - fromRight);
        ++intSeen;
      }
      continue;
    }
    if (c == '.') {
      if (!point) {
        flushIntIfNone();
        point = true;
        if (!d.fracPart.empty()) out += fs.DecimalSeparator;
      }
      continue;
    }
    if (c == ',') continue;
    out += c;
  }
  return out;
}

// The picture over a number's digits; `general` lays out the number when
// the chosen section is empty.
template <class General>
AnsiString FormatDigitsByPicture(std::string_view format, const TFloatRec& rec, General general) {
  if (rec.IsSpecial()) return SpecialText(rec);
  std::string_view sections[3];
  const int count = SplitSections(format, sections);
  const bool negative = rec.Negative && !rec.IsZero();
  const bool hasNeg = count >= 2 && !sections[1].empty();
  const bool hasZero = count >= 3 && !sections[2].empty();
  std::string_view chosen = negative && hasNeg ? sections[1] : sections[0];
  if (rec.IsZero() && hasZero) chosen = sections[2];
  if (chosen.empty()) return general();

  // The section and the sign follow the value itself, not its rounded text:
  // -0.001 with "0.00" is "-0.00", and only a true zero takes the zero section.
  const Section s = Analyse(chosen);
  AnsiString out = Emit(s, Prepare(s, rec));
  if (negative && !hasNeg) out.insert(0, 1, '-');
  return out;
}

}  // namespace

AnsiString FormatFloat(std::string_view format, Extended value) {
  return FormatDigitsByPicture(format, DecimalDigits(value), [&] { return FloatToStrF(value, ffGeneral, 15, 0); });
}

AnsiString FormatCurr(std::string_view format, Currency value) {
  return FormatDigitsByPicture(format, DecimalDigits(value), [&] { return CurrToStr(value); });
}
