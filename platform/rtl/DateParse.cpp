// Text to dates and times: the strict readers and the lenient one.
#include <cmath>
#include <vector>

#include "platform/rtl/Collation.h"
#include "platform/rtl/DateText.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"

namespace {

enum class Order { MDY, DMY, YMD };

char Up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

Order DateOrder() {
  const AnsiString& f = FormatSettings().ShortDateFormat;
  char quote = 0;
  for (char c : f) {
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '"' || c == '\'') quote = c;
    switch (Up(c)) {
      case 'D': return Order::DMY;
      case 'Y': return Order::YMD;
      case 'M': return Order::MDY;
      default: break;
    }
  }
  return Order::MDY;
}

Word CurrentYear() {
  Word y, m, d;
  DecodeDate(Date(), y, m, d);
  return y;
}

// A year written with at most two digits moves into the window. Longer
// years stay as written, however large, for the range check to refuse.
unsigned WindowYear(unsigned year, int digits) {
  if (digits > 2) return year;
  const Word window = FormatSettings().TwoDigitYearCenturyWindow;
  const int current = CurrentYear();
  if (window == 0) return static_cast<unsigned>(current / 100 * 100) + year;
  const int start = current - window;
  int y = start / 100 * 100 + static_cast<int>(year);
  if (y < start) y += 100;
  return static_cast<unsigned>(y);
}

// The parts as read (up to nine digits each) are checked before they are
// narrowed to the calendar's Word fields: 67536 must not pass as 2000.
bool TryDate(unsigned y, unsigned m, unsigned d, TDateTime& out) {
  if (y > 9999 || m > 12 || d > 31) return false;
  return TryEncodeDate(static_cast<Word>(y), static_cast<Word>(m), static_cast<Word>(d), out);
}

bool TryTime(unsigned h, unsigned m, unsigned s, unsigned ms, TDateTime& out) {
  if (h > 23 || m > 59 || s > 59 || ms > 999) return false;
  return TryEncodeTime(static_cast<Word>(h), static_cast<Word>(m), static_cast<Word>(s), static_cast<Word>(ms), out);
}

struct Cursor {
  std::string_view s;
  std::size_t i = 0;
  void SkipBlanks() {
    while (i < s.size() && IsBlank(s[i])) ++i;
  }
  bool AtEnd() const { return i >= s.size(); }
  bool Take(char c) {
    SkipBlanks();
    if (i < s.size() && s[i] == c) {
      ++i;
      return true;
    }
    return false;
  }
  // Up to 9 digits (so the value fits); more digits are invalid.
  bool Number(unsigned& v, int& digits) {
    SkipBlanks();
    v = 0;
    digits = 0;
    while (i < s.size() && IsDigit(s[i])) {
      if (++digits > 9) return false;
      v = v * 10 + static_cast<unsigned>(s[i++] - '0');
    }
    return digits > 0;
  }
  bool TakeWord(std::string_view w) {
    SkipBlanks();
    if (w.empty() || i + w.size() > s.size() || !SameText(s.substr(i, w.size()), w)) return false;
    i += w.size();
    return true;
  }
};

bool MakeDate(Order order, unsigned n[3], int digits[3], int count, TDateTime& out) {
  unsigned y, m, d;
  int yd = 4;
  if (count == 3) {
    switch (order) {
      case Order::MDY: m = n[0], d = n[1], y = n[2], yd = digits[2]; break;
      case Order::DMY: d = n[0], m = n[1], y = n[2], yd = digits[2]; break;
      default: y = n[0], m = n[1], d = n[2], yd = digits[0]; break;
    }
    y = WindowYear(y, yd);
  } else {
    y = CurrentYear();
    if (order == Order::DMY)
      d = n[0], m = n[1];
    else
      m = n[0], d = n[1];
  }
  return TryDate(y, m, d, out);
}

bool ScanDate(Cursor& c, TDateTime& out) {
  const char sep = FormatSettings().DateSeparator;
  unsigned n[3];
  int digits[3];
  int count = 0;
  if (!c.Number(n[0], digits[0])) return false;
  count = 1;
  if (!c.Take(sep) || !c.Number(n[1], digits[1])) return false;
  count = 2;
  const std::size_t save = c.i;
  if (c.Take(sep)) {
    if (!c.Number(n[2], digits[2])) return false;
    count = 3;
  } else {
    c.i = save;
  }
  return MakeDate(DateOrder(), n, digits, count, out);
}

// 0 none, 1 AM, 2 PM.
int ScanMarker(Cursor& c) {
  const TFormatSettings& fs = FormatSettings();
  if (c.TakeWord(fs.TimeAMString) || c.TakeWord("AM")) return 1;
  if (c.TakeWord(fs.TimePMString) || c.TakeWord("PM")) return 2;
  return 0;
}

// A 12-hour hour with its marker as a 24-hour one: 12 AM is midnight, 12 PM
// noon. Hour 0 before AM is that midnight hour written the 24-hour way;
// before PM it says two different things and is refused, as is any hour
// past 12.
bool HourWithMarker(unsigned& h, int marker) {
  if (h > 12 || (h == 0 && marker == 2)) return false;
  h = (h % 12) + (marker == 2 ? 12 : 0);
  return true;
}

bool ScanTime(Cursor& c, TDateTime& out) {
  const char sep = FormatSettings().TimeSeparator;
  const char msSep = FormatSettings().DecimalSeparator;  // milliseconds follow the seconds like a fraction
  int marker = ScanMarker(c);
  unsigned h, m = 0, s = 0, ms = 0;
  int dg;
  if (!c.Number(h, dg)) return false;
  bool separated = false;
  if (c.Take(sep)) {
    separated = true;
    if (!c.Number(m, dg)) return false;
    if (c.Take(sep)) {
      if (!c.Number(s, dg)) return false;
      if (c.Take(msSep)) {
        if (!c.Number(ms, dg)) return false;
      }
    }
  }
  if (marker == 0) marker = ScanMarker(c);
  if (!separated && marker == 0) return false;
  if (marker != 0 && !HourWithMarker(h, marker)) return false;
  return TryTime(h, m, s, ms, out);
}

double Combine(double date, double time) { return date >= 0 ? date + time : date - time; }

[[noreturn]] void Bad(const char* what, std::string_view text) { throw EConvertError(what, {text}); }

// --- lenient reading --------------------------------------------------------

const char* const kEnglishMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                        "July",    "August",   "September", "October", "November", "December"};
const char* const kEnglishDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

bool IsWordChar(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 0xC0 || u == 0x8A || u == 0x8C || u == 0x8E ||
         u == 0x9A || u == 0x9C || u == 0x9E || u == 0x9F;
}

// 1..12 for a month name, 0 for a day name, -1 for anything else.
int WordKind(std::string_view w) {
  const TFormatSettings& fs = FormatSettings();
  for (int i = 0; i < 12; ++i)
    if (SameText(w, fs.LongMonthNames[i]) || SameText(w, fs.ShortMonthNames[i])) return i + 1;
  for (int i = 0; i < 12; ++i) {
    std::string_view e = kEnglishMonths[i];
    if (SameText(w, e) || SameText(w, e.substr(0, 3))) return i + 1;
  }
  for (int i = 0; i < 7; ++i) {
    std::string_view e = kEnglishDays[i];
    if (SameText(w, fs.LongDayNames[i]) || SameText(w, fs.ShortDayNames[i]) || SameText(w, e) ||
        SameText(w, e.substr(0, 3)))
      return 0;
  }
  return -1;
}

int MarkerWord(std::string_view w) {
  const TFormatSettings& fs = FormatSettings();
  if ((!fs.TimeAMString.empty() && SameText(w, fs.TimeAMString)) || SameText(w, "AM") || SameText(w, "A"))
    return 1;
  if ((!fs.TimePMString.empty() && SameText(w, fs.TimePMString)) || SameText(w, "PM") || SameText(w, "P"))
    return 2;
  return 0;
}

}  // namespace

bool TryStrToDate(std::string_view text, TDateTime& value) {
  Cursor c{text};
  TDateTime d;
  if (!ScanDate(c, d)) return false;
  c.SkipBlanks();
  if (!c.AtEnd()) return false;
  value = d;
  return true;
}

bool TryStrToTime(std::string_view text, TDateTime& value) {
  Cursor c{text};
  TDateTime t;
  if (!ScanTime(c, t)) return false;
  c.SkipBlanks();
  if (!c.AtEnd()) return false;
  value = t;
  return true;
}

bool TryStrToDateTime(std::string_view text, TDateTime& value) {
  Cursor c{text};
  TDateTime d, t;
  if (ScanDate(c, d)) {
    c.SkipBlanks();
    if (c.AtEnd()) {
      value = d;
      return true;
    }
    if (!ScanTime(c, t)) return false;
    c.SkipBlanks();
    if (!c.AtEnd()) return false;
    value = TDateTime(Combine(d.Value, t.Value));
    return true;
  }
  return TryStrToTime(text, value);
}

TDateTime StrToDate(std::string_view text) {
  TDateTime v;
  if (!TryStrToDate(text, v)) Bad("'%s' is not a valid date", text);
  return v;
}

TDateTime StrToTime(std::string_view text) {
  TDateTime v;
  if (!TryStrToTime(text, v)) Bad("'%s' is not a valid time", text);
  return v;
}

TDateTime StrToDateTime(std::string_view text) {
  TDateTime v;
  if (!TryStrToDateTime(text, v)) Bad("'%s' is not a valid date and time", text);
  return v;
}

TDateTime StrToDateDef(std::string_view text, TDateTime def) {
  TDateTime v;
  return TryStrToDate(text, v) ? v : def;
}

TDateTime StrToDateTimeDef(std::string_view text, TDateTime def) {
  TDateTime v;
  return TryStrToDateTime(text, v) ? v : def;
}

bool TryTextToDateTime(std::string_view text, TDateTime& value) {
  const TFormatSettings& fs = FormatSettings();
  unsigned n[4];
  int digits[4];
  int count = 0;
  int month = 0;
  int marker = 0;
  bool hasTime = false;
  unsigned h = 0, mi = 0, s = 0, ms = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (IsBlank(c) || c == fs.DateSeparator || c == '/' || c == '-' || c == '.' || c == ',') {
      ++i;
      continue;
    }
    if (IsDigit(c)) {
      std::size_t start = i;
      while (i < text.size() && IsDigit(text[i])) ++i;
      if (i - start > 9) return false;
      unsigned v = 0;
      for (std::size_t k = start; k < i; ++k) v = v * 10 + static_cast<unsigned>(text[k] - '0');
      std::size_t j = i;
      while (j < text.size() && IsBlank(text[j])) ++j;
      if (j < text.size() && (text[j] == fs.TimeSeparator || text[j] == ':')) {
        // The time: hour, minutes, optional seconds and milliseconds.
        if (hasTime) return false;
        hasTime = true;
        Cursor cur{text, start};
        const char sep = text[j];
        int dg;
        cur.Number(h, dg);
        cur.Take(sep);
        if (!cur.Number(mi, dg)) return false;
        if (cur.Take(sep)) {
          if (!cur.Number(s, dg)) return false;
          if (cur.Take('.') && !cur.Number(ms, dg)) return false;
        }
        i = cur.i;
        continue;
      }
      if (count == 3) return false;
      n[count] = v;
      digits[count++] = static_cast<int>(i - start);
      continue;
    }
    if (IsWordChar(c)) {
      std::size_t start = i;
      while (i < text.size() && IsWordChar(text[i])) ++i;
      std::string_view w = text.substr(start, i - start);
      if (int mk = MarkerWord(w)) {
        if (marker) return false;
        marker = mk;
        continue;
      }
      int kind = WordKind(w);
      if (kind < 0 || (kind > 0 && month != 0)) return false;
      if (kind > 0) month = kind;
      continue;
    }
    return false;
  }
  if (marker && !hasTime) return false;
  double time = 0;
  if (hasTime) {
    if (marker && !HourWithMarker(h, marker)) return false;
    TDateTime t;
    if (!TryTime(h, mi, s, ms, t)) return false;
    time = t.Value;
  }
  double date = 0;
  const Order order = DateOrder();
  if (month) {
    unsigned y, d;
    int yd = 4;
    if (count == 0) return false;
    if (count == 1) {
      d = n[0];
      y = CurrentYear();
    } else if (count == 2) {
      auto yearLike = [&](int k) { return digits[k] >= 3 || n[k] > 31; };
      if (yearLike(0) || (!yearLike(1) && order == Order::YMD))
        y = n[0], yd = digits[0], d = n[1];
      else
        d = n[0], y = n[1], yd = digits[1];
      y = WindowYear(y, yd);
    } else {
      return false;
    }
    TDateTime dt;
    if (!TryDate(y, static_cast<unsigned>(month), d, dt)) return false;
    date = dt.Value;
  } else if (count == 3 || count == 2) {
    TDateTime dt;
    if (!MakeDate(count == 3 && digits[0] >= 3 ? Order::YMD : order, n, digits, count, dt)) return false;
    date = dt.Value;
  } else if (count != 0 || !hasTime) {
    return false;
  }
  value = TDateTime(Combine(date, time));
  return true;
}
