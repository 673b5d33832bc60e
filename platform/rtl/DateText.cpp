// Date and time formatting.
#include "platform/rtl/DateText.h"

#include <cmath>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"

namespace {

// Nested formats (c, ddddd, t...) may name each other; two levels are
// enough for every sensible setting and stop a format that names itself.
constexpr int kMaxDepth = 3;

char Up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool MatchNoCase(std::string_view s, std::size_t i, std::string_view word) {
  if (i + word.size() > s.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k)
    if (Up(s[i + k]) != Up(word[k])) return false;
  return true;
}

void Num(AnsiString& out, unsigned v, int minDigits) {
  char buf[12];
  int n = 0;
  do {
    buf[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v > 0);
  for (int i = n; i < minDigits; ++i) out += '0';
  while (n > 0) out += buf[--n];
}

// Whether an am/pm token appears in the rest of the format (outside quotes).
bool MarkerAhead(std::string_view f, std::size_t i) {
  char quote = 0;
  for (; i < f.size(); ++i) {
    char c = f[i];
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '"' || c == '\'') quote = c;
    else if (MatchNoCase(f, i, "am/pm") || MatchNoCase(f, i, "a/p") || MatchNoCase(f, i, "ampm")) return true;
  }
  return false;
}

struct Parts {
  Word year, month, day, hour, min, sec, msec, dow;
  bool hasTime;
};

void Emit(AnsiString& out, std::string_view f, const Parts& p, int depth) {
  if (depth > kMaxDepth) return;
  const TFormatSettings& fs = FormatSettings();
  bool afterHour = false;
  std::size_t i = 0;
  while (i < f.size()) {
    const char c = f[i];
    const char u = Up(c);
    std::size_t n = 1;
    while (i + n < f.size() && Up(f[i + n]) == u && u >= 'A' && u <= 'Z') ++n;
    bool hourToken = false;
    switch (u) {
      case '"':
      case '\'': {
        std::size_t end = f.find(c, i + 1);
        if (end == std::string_view::npos) end = f.size();
        out.append(f.substr(i + 1, end - i - 1));
        i = end + 1;
        continue;
      }
      case 'C':
        Emit(out, fs.ShortDateFormat, p, depth + 1);
        if (p.hasTime) {
          out += ' ';
          Emit(out, fs.LongTimeFormat, p, depth + 1);
        }
        n = 1;
        break;
      case 'D':
        if (n == 1 || n == 2)
          Num(out, p.day, static_cast<int>(n));
        else if (n == 3)
          out += fs.ShortDayNames[p.dow - 1];
        else if (n == 4)
          out += fs.LongDayNames[p.dow - 1];
        else if (n == 5)
          Emit(out, fs.ShortDateFormat, p, depth + 1);
        else
          Emit(out, fs.LongDateFormat, p, depth + 1), n = 6;
        break;
      case 'M':
        if (afterHour && n <= 2)
          Num(out, p.min, static_cast<int>(n));
        else if (n <= 2)
          Num(out, p.month, static_cast<int>(n));
        else if (n == 3)
          out += fs.ShortMonthNames[p.month - 1];
        else
          out += fs.LongMonthNames[p.month - 1], n = 4;
        break;
      case 'Y':
        if (n <= 2)
          Num(out, p.year % 100, 2);
        else
          Num(out, p.year, 4);
        break;
      case 'H': {
        if (n > 2) n = 2;
        unsigned h = p.hour;
        if (MarkerAhead(f, i + n)) {
          h %= 12;
          if (h == 0) h = 12;
        }
        Num(out, h, static_cast<int>(n));
        hourToken = true;
        break;
      }
      case 'N':
        if (n > 2) n = 2;
        Num(out, p.min, static_cast<int>(n));
        break;
      case 'S':
        if (n > 2) n = 2;
        Num(out, p.sec, static_cast<int>(n));
        break;
      case 'Z':
        if (n >= 3) n = 3;
        Num(out, p.msec, n == 3 ? 3 : 1);
        break;
      case 'T':
        if (n >= 2) {
          n = 2;
          Emit(out, fs.LongTimeFormat, p, depth + 1);
        } else {
          Emit(out, fs.ShortTimeFormat, p, depth + 1);
        }
        break;
      case 'A':
        if (MatchNoCase(f, i, "am/pm")) {
          const bool lower = f[i] >= 'a';
          out += p.hour < 12 ? (lower ? "am" : "AM") : (lower ? "pm" : "PM");
          n = 5;
        } else if (MatchNoCase(f, i, "a/p")) {
          const bool lower = f[i] >= 'a';
          out += p.hour < 12 ? (lower ? 'a' : 'A') : (lower ? 'p' : 'P');
          n = 3;
        } else if (MatchNoCase(f, i, "ampm")) {
          out += p.hour < 12 ? fs.TimeAMString : fs.TimePMString;
          n = 4;
        } else {
          out += c;
          n = 1;
        }
        break;
      case '/':
        out += fs.DateSeparator;
        n = 1;
        break;
      case ':':
        out += fs.TimeSeparator;
        n = 1;
        break;
      default:
        out.append(f.substr(i, n));
    }
    // Only letters that name a part move the "after an hour" state.
    if (u >= 'A' && u <= 'Z' && u != 'M') afterHour = hourToken;
    if (u == 'M') afterHour = false;
    i += n;
  }
}

Parts Split(TDateTime v) {
  Parts p{};
  DecodeDate(v, p.year, p.month, p.day);
  DecodeTime(v, p.hour, p.min, p.sec, p.msec);
  if (p.year == 0) p.year = p.month = p.day = 1;  // outside the calendar: show something, never index out of range
  p.dow = DayOfWeek(TDateTime(static_cast<double>(std::trunc(v.Value))));
  const double frac = std::fabs(v.Value - std::trunc(v.Value));
  p.hasTime = frac != 0;
  return p;
}

}  // namespace

AnsiString FormatDateTime(std::string_view format, TDateTime value) {
  if (!std::isfinite(value.Value) || std::fabs(value.Value) > 2958466.0) return AnsiString();
  AnsiString out;
  const Parts p = Split(value);
  Emit(out, format.empty() ? std::string_view("c") : format, p, 0);
  return out;
}

AnsiString DateToStr(TDateTime value) { return FormatDateTime("ddddd", value); }
AnsiString TimeToStr(TDateTime value) { return FormatDateTime("tt", value); }
AnsiString DateTimeToStr(TDateTime value) { return FormatDateTime("c", value); }
