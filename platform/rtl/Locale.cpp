#include "platform/rtl/Locale.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/rtl/FormatSettings.h"

namespace {

Locale EnglishUS() {
  Locale l;
  l.Name = "en-US";
  l.Lcid = 0x0409;
  l.DecimalSeparator = ".";
  l.ThousandSeparator = ",";
  l.ListSeparator = ",";
  l.DateSeparator = "/";
  l.TimeSeparator = ":";
  l.ShortDateFormat = "M/d/yyyy";
  l.LongDateFormat = "dddd, MMMM d, yyyy";
  l.ShortTimeFormat = "h:mm tt";
  l.LongTimeFormat = "h:mm:ss tt";
  l.AMString = "AM";
  l.PMString = "PM";
  l.TimeFormat24 = 0;
  l.TimeLeadingZero = 0;
  l.TimeMarkerPosition = 0;
  l.CurrencyString = "$";
  l.CurrencyFormat = 0;
  l.NegCurrFormat = 0;
  l.CurrencyDecimals = 2;
  l.LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                      "July",    "August",   "September", "October", "November", "December"};
  l.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  l.LongDayNames = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
  l.ShortDayNames = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
  l.FirstDayOfWeek = 6;
  l.FirstWeekOfYear = 0;
  l.TwoDigitYearCenturyWindow = 50;
  return l;
}

Locale EnglishUSMonday() {
  Locale l = EnglishUS();
  l.Name = "en-US-monday";
  l.FirstDayOfWeek = 0;
  return l;
}

Locale GermanDE() {
  Locale l;
  l.Name = "de-DE";
  l.Lcid = 0x0407;
  l.DecimalSeparator = ",";
  l.ThousandSeparator = ".";
  l.ListSeparator = ";";
  l.DateSeparator = ".";
  l.TimeSeparator = ":";
  l.ShortDateFormat = "dd.MM.yyyy";
  l.LongDateFormat = "dddd, d. MMMM yyyy";
  l.ShortTimeFormat = "HH:mm";
  l.LongTimeFormat = "HH:mm:ss";
  l.AMString = "";
  l.PMString = "";
  l.TimeFormat24 = 1;
  l.TimeLeadingZero = 1;
  l.TimeMarkerPosition = 0;
  l.CurrencyString = "\x80";  // the euro sign in code page 1252
  l.CurrencyFormat = 3;       // "1 €"
  l.NegCurrFormat = 8;        // "-1 €"
  l.CurrencyDecimals = 2;
  l.LongMonthNames = {"Januar", "Februar", "M\xE4rz",    "April",   "Mai",      "Juni",
                      "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
  l.ShortMonthNames = {"Jan", "Feb", "M\xE4r", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
  l.LongDayNames = {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"};
  l.ShortDayNames = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
  l.FirstDayOfWeek = 0;
  l.FirstWeekOfYear = 2;
  l.TwoDigitYearCenturyWindow = 50;
  return l;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (Lower(s[i]) != Lower(prefix[i])) return false;
  return true;
}

struct State {
  std::optional<Locale> current;
  std::vector<std::pair<LocaleListenerId, std::function<void()>>> listeners;
  LocaleListenerId nextId = 1;
};

State& S() {
  static State s;
  return s;
}

// --- Pictures -------------------------------------------------------------

struct Civil {
  int year, month, day, dayOfWeek;  // dayOfWeek 0 = Sunday
};

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysIn(int y, int m) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Day of week for a proleptic Gregorian date, 0 = Sunday.
int WeekDay(int y, int m, int d) {
  static const int t[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (m < 3) y -= 1;
  return (y + y / 4 - y / 100 + y / 400 + t[m - 1] + d) % 7;
}

bool ValidDate(const win::SYSTEMTIME& t) {
  return t.wYear >= 1 && t.wYear <= 9999 && t.wMonth >= 1 && t.wMonth <= 12 && t.wDay >= 1 &&
         t.wDay <= DaysIn(t.wYear, t.wMonth);
}

bool ValidTime(const win::SYSTEMTIME& t) {
  return t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 && t.wMilliseconds < 1000;
}

// The clock's local time broken down.
win::SYSTEMTIME LocalNow() {
  double v = Clock::LocalDateTime();
  double days = std::floor(v);
  auto ms = static_cast<std::int64_t>(std::llround((v - days) * 86'400'000.0));
  if (ms >= 86'400'000) ms = 86'399'999;
  // Days since 1899-12-30 to a civil date (days from 0000-03-01 based).
  std::int64_t z = static_cast<std::int64_t>(days) + 693'594 + 306;  // to days since 0000-03-01
  std::int64_t era = (z >= 0 ? z : z - 146'096) / 146'097;
  std::int64_t doe = z - era * 146'097;
  std::int64_t yoe = (doe - doe / 1460 + doe / 36'524 - doe / 146'096) / 365;
  std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  std::int64_t mp = (5 * doy + 2) / 153;
  int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  int y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  win::SYSTEMTIME t{};
  t.wYear = static_cast<win::WORD>(y);
  t.wMonth = static_cast<win::WORD>(m);
  t.wDay = static_cast<win::WORD>(d);
  t.wDayOfWeek = static_cast<win::WORD>(WeekDay(y, m, d));
  t.wHour = static_cast<win::WORD>(ms / 3'600'000);
  t.wMinute = static_cast<win::WORD>(ms / 60'000 % 60);
  t.wSecond = static_cast<win::WORD>(ms / 1000 % 60);
  t.wMilliseconds = static_cast<win::WORD>(ms % 1000);
  return t;
}

void Num(AnsiString& out, int v, int minDigits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", minDigits, v);
  out += buf;
}

// Copies a quoted run starting at fmt[i] == '\'' and moves i past it; ''
// inside (or on its own) is one quote.
void Quoted(std::string_view fmt, std::size_t& i, AnsiString& out) {
  if (i + 1 < fmt.size() && fmt[i + 1] == '\'') {
    out += '\'';
    i += 2;
    return;
  }
  ++i;
  while (i < fmt.size()) {
    if (fmt[i] == '\'') {
      if (i + 1 < fmt.size() && fmt[i + 1] == '\'') {
        out += '\'';
        i += 2;
        continue;
      }
      ++i;
      return;
    }
    out += fmt[i++];
  }
}

std::size_t RunLength(std::string_view fmt, std::size_t i) {
  std::size_t n = 1;
  while (i + n < fmt.size() && fmt[i + n] == fmt[i]) ++n;
  return n;
}

AnsiString DatePicture(const Locale& loc, std::string_view fmt, const win::SYSTEMTIME& t) {
  AnsiString out;
  std::size_t i = 0;
  const int dow = WeekDay(t.wYear, t.wMonth, t.wDay);  // 0 = Sunday
  const int locDay = (dow + 6) % 7;                      // 0 = Monday
  while (i < fmt.size()) {
    char c = fmt[i];
    if (c == '\'') {
      Quoted(fmt, i, out);
      continue;
    }
    std::size_t n = RunLength(fmt, i);
    switch (c) {
      case 'd':
        if (n == 1 || n == 2)
          Num(out, t.wDay, static_cast<int>(n));
        else
          out += n == 3 ? loc.ShortDayNames[locDay] : loc.LongDayNames[locDay];
        break;
      case 'M':
        if (n == 1 || n == 2)
          Num(out, t.wMonth, static_cast<int>(n));
        else
          out += n == 3 ? loc.ShortMonthNames[t.wMonth - 1] : loc.LongMonthNames[t.wMonth - 1];
        break;
      case 'y':
        if (n <= 2)
          Num(out, t.wYear % 100, static_cast<int>(n));
        else
          Num(out, t.wYear, 4);
        break;
      case 'g':
        out += loc.Lcid == 0x0407 ? "n. Chr." : "A.D.";
        break;
      default:
        out.append(n, c);
    }
    i += n;
  }
  return out;
}

AnsiString TimePicture(const Locale& loc, win::DWORD flags, std::string_view fmt, const win::SYSTEMTIME& t) {
  AnsiString out;
  std::size_t i = 0;
  std::size_t lastFieldEnd = 0;  // where the text after the last shown field starts
  const bool force24 = flags & win::TIME_FORCE24HOURFORMAT;
  const bool noMarker = flags & win::TIME_NOTIMEMARKER;
  const bool noSeconds = flags & (win::TIME_NOSECONDS | win::TIME_NOMINUTESORSECONDS);
  const bool noMinutes = flags & win::TIME_NOMINUTESORSECONDS;
  const AnsiString& marker = t.wHour < 12 ? loc.AMString : loc.PMString;
  while (i < fmt.size()) {
    char c = fmt[i];
    if (c == '\'') {
      Quoted(fmt, i, out);
      continue;
    }
    std::size_t n = RunLength(fmt, i);
    const int digits = n >= 2 ? 2 : 1;
    bool field = true;
    switch (c) {
      case 'h':
        if (force24)
          Num(out, t.wHour, digits);
        else
          Num(out, t.wHour % 12 == 0 ? 12 : t.wHour % 12, digits);
        break;
      case 'H':
        Num(out, t.wHour, digits);
        break;
      case 'm':
        if (noMinutes)
          out.resize(lastFieldEnd), field = false;
        else
          Num(out, t.wMinute, digits);
        break;
      case 's':
        if (noSeconds)
          out.resize(lastFieldEnd), field = false;
        else
          Num(out, t.wSecond, digits);
        break;
      case 't':
        if (noMarker || force24)
          out.resize(lastFieldEnd), field = false;
        else
          out += n == 1 ? marker.substr(0, 1) : marker;
        break;
      default:
        out.append(n, c);
        field = false;
    }
    i += n;
    if (field) lastFieldEnd = out.size();
  }
  return out;
}

// Copies text to a caller's buffer with the platform's size rules.
int Answer(const AnsiString& text, win::LPSTR buf, int cch) {
  const int need = static_cast<int>(text.size()) + 1;
  if (cch == 0) return need;
  if (cch < 0 || buf == nullptr) {
    win::SetLastError(win::ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (cch < need) {
    win::SetLastError(win::ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(buf, text.data(), text.size());
  buf[text.size()] = '\0';
  return need;
}

// The locale a query names, or null for one we do not have.
const Locale* Resolve(win::LCID lcid, Locale& scratch) {
  const Locale& cur = CurrentLocale();
  if (lcid == win::LOCALE_USER_DEFAULT || lcid == win::LOCALE_SYSTEM_DEFAULT || lcid == 0 || lcid == cur.Lcid)
    return &cur;
  if (lcid == 0x0409) return &(scratch = EnglishUS());
  if (lcid == 0x0407) return &(scratch = GermanDE());
  return nullptr;
}

std::optional<AnsiString> LocaleItem(const Locale& l, win::LCTYPE type) {
  using namespace win;
  type &= ~LOCALE_NOUSEROVERRIDE;
  if (type >= LOCALE_SDAYNAME1 && type <= LOCALE_SDAYNAME7) return l.LongDayNames[type - LOCALE_SDAYNAME1];
  if (type >= LOCALE_SABBREVDAYNAME1 && type <= LOCALE_SABBREVDAYNAME7)
    return l.ShortDayNames[type - LOCALE_SABBREVDAYNAME1];
  if (type >= LOCALE_SMONTHNAME1 && type <= LOCALE_SMONTHNAME12) return l.LongMonthNames[type - LOCALE_SMONTHNAME1];
  if (type >= LOCALE_SABBREVMONTHNAME1 && type <= LOCALE_SABBREVMONTHNAME12)
    return l.ShortMonthNames[type - LOCALE_SABBREVMONTHNAME1];
  switch (type) {
    case LOCALE_SLIST: return l.ListSeparator;
    case LOCALE_SDECIMAL: return l.DecimalSeparator;
    case LOCALE_STHOUSAND: return l.ThousandSeparator;
    case LOCALE_SCURRENCY: return l.CurrencyString;
    case LOCALE_ICURRDIGITS: return std::to_string(l.CurrencyDecimals);
    case LOCALE_ICURRENCY: return std::to_string(l.CurrencyFormat);
    case LOCALE_INEGCURR: return std::to_string(l.NegCurrFormat);
    case LOCALE_SDATE: return l.DateSeparator;
    case LOCALE_STIME: return l.TimeSeparator;
    case LOCALE_SSHORTDATE: return l.ShortDateFormat;
    case LOCALE_SLONGDATE: return l.LongDateFormat;
    case LOCALE_SSHORTTIME: return l.ShortTimeFormat;
    case LOCALE_STIMEFORMAT: return l.LongTimeFormat;
    case LOCALE_ITIME: return std::to_string(l.TimeFormat24);
    case LOCALE_ITLZERO: return std::to_string(l.TimeLeadingZero);
    case LOCALE_ITIMEMARKPOSN: return std::to_string(l.TimeMarkerPosition);
    case LOCALE_S1159: return l.AMString;
    case LOCALE_S2359: return l.PMString;
    case LOCALE_IFIRSTDAYOFWEEK: return std::to_string(l.FirstDayOfWeek);
    case LOCALE_IFIRSTWEEKOFYEAR: return std::to_string(l.FirstWeekOfYear);
    default: return std::nullopt;
  }
}

}  // namespace

Locale Locale::Builtin(std::string_view name) {
  if (StartsWithNoCase(name, "en-US-monday") || StartsWithNoCase(name, "en_US-monday")) return EnglishUSMonday();
  if (StartsWithNoCase(name, "de")) return GermanDE();
  return EnglishUS();
}

Locale Locale::FromEnvironment() {
  if (const char* v = std::getenv("ORVANTA_LOCALE"); v && *v) return Builtin(v);
  for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return Builtin(v);  // the first one set decides, as in POSIX
  }
  return EnglishUS();
}

const Locale& CurrentLocale() {
  State& s = S();
  if (!s.current) s.current = Locale::FromEnvironment();
  return *s.current;
}

void SetLocale(const Locale& locale) {
  State& s = S();
  s.current = locale;
  // A listener may add or remove listeners while it runs: walk a copy.
  auto listeners = s.listeners;
  for (auto& [id, fn] : listeners)
    if (fn) fn();
}

LocaleListenerId AddLocaleListener(std::function<void()> listener) {
  State& s = S();
  LocaleListenerId id = s.nextId++;
  s.listeners.emplace_back(id, std::move(listener));
  return id;
}

void RemoveLocaleListener(LocaleListenerId id) {
  auto& l = S().listeners;
  for (auto it = l.begin(); it != l.end(); ++it)
    if (it->first == id) {
      l.erase(it);
      return;
    }
}

ScopedLocale::ScopedLocale(const Locale& locale) : FPrevious(CurrentLocale()) {
  SetLocale(locale);
  GetFormatSettings();
}

ScopedLocale::~ScopedLocale() {
  SetLocale(FPrevious);
  GetFormatSettings();
}

bool EnsureCNumericLocale() {
  const char* cur = std::setlocale(LC_NUMERIC, nullptr);
  // "C.UTF-8" differs from "C" only in the character set; numbers are the same.
  if (cur && (std::strcmp(cur, "C") == 0 || std::strcmp(cur, "POSIX") == 0 || std::strncmp(cur, "C.", 2) == 0))
    return true;
  std::setlocale(LC_NUMERIC, "C");
  return false;
}

namespace win {

int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int cchData) {
  Locale scratch;
  const Locale* l = Resolve(locale, scratch);
  if (!l) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto item = LocaleItem(*l, type);
  if (!item) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  return Answer(*item, data, cchData);
}

int GetDateFormatA(LCID locale, DWORD flags, const SYSTEMTIME* date, LPCSTR format, LPSTR dateStr, int cchDate) {
  Locale scratch;
  const Locale* l = Resolve(locale, scratch);
  if (!l) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const DWORD picture = flags & (DATE_SHORTDATE | DATE_LONGDATE);
  if (picture == (DATE_SHORTDATE | DATE_LONGDATE) || (format && picture) || (flags & ~picture & ~LOCALE_NOUSEROVERRIDE)) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  SYSTEMTIME t = date ? *date : LocalNow();
  if (!ValidDate(t)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string_view fmt = format ? std::string_view(format)
                         : picture == DATE_LONGDATE ? std::string_view(l->LongDateFormat)
                                                    : std::string_view(l->ShortDateFormat);
  return Answer(DatePicture(*l, fmt, t), dateStr, cchDate);
}

int GetTimeFormatA(LCID locale, DWORD flags, const SYSTEMTIME* time, LPCSTR format, LPSTR timeStr, int cchTime) {
  Locale scratch;
  const Locale* l = Resolve(locale, scratch);
  if (!l) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const DWORD known = TIME_NOMINUTESORSECONDS | TIME_NOSECONDS | TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT |
                      LOCALE_NOUSEROVERRIDE;
  if (flags & ~known) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  SYSTEMTIME t = time ? *time : LocalNow();
  if (!ValidTime(t)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string_view fmt = format ? std::string_view(format) : std::string_view(l->LongTimeFormat);
  return Answer(TimePicture(*l, flags, fmt, t), timeStr, cchTime);
}

LCID GetThreadLocale() { return CurrentLocale().Lcid; }
LCID GetUserDefaultLCID() { return CurrentLocale().Lcid; }
LCID GetSystemDefaultLCID() { return CurrentLocale().Lcid; }

}  // namespace win
