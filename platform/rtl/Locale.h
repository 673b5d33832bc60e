// The locale service: one current Locale for the process, taken at start
// from built-in tables (ORVANTA_LOCALE, else LC_ALL / LC_NUMERIC / LANG,
// else en-US) and replaceable at run time. Replacing it tells every
// listener; the window tier turns that into a settings-change broadcast.
//
// The tables hold the picture spellings of the locale API ("M/d/yyyy",
// "h:mm:ss tt"); the run-time library derives its own spellings from them
// (FormatSettings.h). Text is code page 1252: the euro sign is byte 0x80.
//
//   ScopedLocale de(Locale::Builtin("de-DE"));   // tests: install a fixture
//   win::GetLocaleInfoA(win::LOCALE_USER_DEFAULT, win::LOCALE_SDECIMAL, buf, n);
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "platform/rtl/Types.h"
#include "platform/rtl/WinTypes.h"

class Locale {
 public:
  AnsiString Name;        // "en-US", "de-DE", "en-US-monday"
  win::LCID Lcid = 0x0409;

  AnsiString DecimalSeparator;   // LOCALE_SDECIMAL
  AnsiString ThousandSeparator;  // LOCALE_STHOUSAND
  AnsiString ListSeparator;      // LOCALE_SLIST
  AnsiString DateSeparator;      // LOCALE_SDATE
  AnsiString TimeSeparator;      // LOCALE_STIME
  AnsiString ShortDateFormat;    // picture, LOCALE_SSHORTDATE
  AnsiString LongDateFormat;     // picture, LOCALE_SLONGDATE
  AnsiString ShortTimeFormat;    // picture, LOCALE_SSHORTTIME
  AnsiString LongTimeFormat;     // picture, LOCALE_STIMEFORMAT
  AnsiString AMString;           // LOCALE_S1159
  AnsiString PMString;           // LOCALE_S2359
  int TimeFormat24 = 0;          // LOCALE_ITIME: 0 12-hour, 1 24-hour
  int TimeLeadingZero = 0;       // LOCALE_ITLZERO: 1 pads the hour
  int TimeMarkerPosition = 0;    // LOCALE_ITIMEMARKPOSN: 0 after, 1 before
  AnsiString CurrencyString;     // LOCALE_SCURRENCY
  int CurrencyFormat = 0;        // LOCALE_ICURRENCY 0..3
  int NegCurrFormat = 0;         // LOCALE_INEGCURR 0..15
  int CurrencyDecimals = 2;      // LOCALE_ICURRDIGITS
  std::array<AnsiString, 12> LongMonthNames;
  std::array<AnsiString, 12> ShortMonthNames;
  // Day names start with Monday, as the locale API numbers them.
  std::array<AnsiString, 7> LongDayNames;
  std::array<AnsiString, 7> ShortDayNames;
  int FirstDayOfWeek = 6;        // LOCALE_IFIRSTDAYOFWEEK: 0 Monday .. 6 Sunday
  int FirstWeekOfYear = 0;       // LOCALE_IFIRSTWEEKOFYEAR: 0, 1 or 2
  // Two-digit years fall in the hundred years starting this many years
  // before the current year.
  int TwoDigitYearCenturyWindow = 50;

  // The built-in tables by name ("en-US", "de-DE", "en-US-monday"; POSIX
  // spellings such as "de_DE.UTF-8" are understood). Unknown names give
  // en-US.
  static Locale Builtin(std::string_view name);
  // The table the environment asks for.
  static Locale FromEnvironment();
};

// The current locale; chosen from the environment on first use.
const Locale& CurrentLocale();
// Replaces the current locale and tells the listeners, in the order they
// were added.
void SetLocale(const Locale& locale);

using LocaleListenerId = int;
LocaleListenerId AddLocaleListener(std::function<void()> listener);
void RemoveLocaleListener(LocaleListenerId id);

// Test fixture: installs a locale (and re-reads the format settings) for
// its lifetime, then puts the previous locale and settings back.
class ScopedLocale {
 public:
  explicit ScopedLocale(const Locale& locale);
  explicit ScopedLocale(std::string_view builtinName) : ScopedLocale(Locale::Builtin(builtinName)) {}
  ~ScopedLocale();
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

 private:
  Locale FPrevious;
};

// The process formats with the C library ("%.3f" must write '.'), so
// LC_NUMERIC has to stay "C". Called at start-up: answers true when it
// was; otherwise it puts "C" back and answers false so the caller can
// report the intruder.
bool EnsureCNumericLocale();

namespace win {

using LCTYPE = DWORD;

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;  // 0 = Sunday
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;

constexpr LCTYPE LOCALE_NOUSEROVERRIDE = 0x80000000;
constexpr LCTYPE LOCALE_SLIST = 0x0000000C;
constexpr LCTYPE LOCALE_SDECIMAL = 0x0000000E;
constexpr LCTYPE LOCALE_STHOUSAND = 0x0000000F;
constexpr LCTYPE LOCALE_SCURRENCY = 0x00000014;
constexpr LCTYPE LOCALE_ICURRDIGITS = 0x00000019;
constexpr LCTYPE LOCALE_ICURRENCY = 0x0000001B;
constexpr LCTYPE LOCALE_INEGCURR = 0x0000001C;
constexpr LCTYPE LOCALE_SDATE = 0x0000001D;
constexpr LCTYPE LOCALE_STIME = 0x0000001E;
constexpr LCTYPE LOCALE_SSHORTDATE = 0x0000001F;
constexpr LCTYPE LOCALE_SLONGDATE = 0x00000020;
constexpr LCTYPE LOCALE_ITIME = 0x00000023;
constexpr LCTYPE LOCALE_ITLZERO = 0x00000025;
constexpr LCTYPE LOCALE_S1159 = 0x00000028;
constexpr LCTYPE LOCALE_S2359 = 0x00000029;
constexpr LCTYPE LOCALE_SDAYNAME1 = 0x0000002A;  // Monday; ..7 follow
constexpr LCTYPE LOCALE_SDAYNAME2 = 0x0000002B;
constexpr LCTYPE LOCALE_SDAYNAME3 = 0x0000002C;
constexpr LCTYPE LOCALE_SDAYNAME4 = 0x0000002D;
constexpr LCTYPE LOCALE_SDAYNAME5 = 0x0000002E;
constexpr LCTYPE LOCALE_SDAYNAME6 = 0x0000002F;
constexpr LCTYPE LOCALE_SDAYNAME7 = 0x00000030;
constexpr LCTYPE LOCALE_SABBREVDAYNAME1 = 0x00000031;
constexpr LCTYPE LOCALE_SABBREVDAYNAME2 = 0x00000032;
constexpr LCTYPE LOCALE_SABBREVDAYNAME3 = 0x00000033;
constexpr LCTYPE LOCALE_SABBREVDAYNAME4 = 0x00000034;
constexpr LCTYPE LOCALE_SABBREVDAYNAME5 = 0x00000035;
constexpr LCTYPE LOCALE_SABBREVDAYNAME6 = 0x00000036;
constexpr LCTYPE LOCALE_SABBREVDAYNAME7 = 0x00000037;
constexpr LCTYPE LOCALE_SMONTHNAME1 = 0x00000038;  // January; ..12 follow
constexpr LCTYPE LOCALE_SMONTHNAME2 = 0x00000039;
constexpr LCTYPE LOCALE_SMONTHNAME3 = 0x0000003A;
constexpr LCTYPE LOCALE_SMONTHNAME4 = 0x0000003B;
constexpr LCTYPE LOCALE_SMONTHNAME5 = 0x0000003C;
constexpr LCTYPE LOCALE_SMONTHNAME6 = 0x0000003D;
constexpr LCTYPE LOCALE_SMONTHNAME7 = 0x0000003E;
constexpr LCTYPE LOCALE_SMONTHNAME8 = 0x0000003F;
constexpr LCTYPE LOCALE_SMONTHNAME9 = 0x00000040;
constexpr LCTYPE LOCALE_SMONTHNAME10 = 0x00000041;
constexpr LCTYPE LOCALE_SMONTHNAME11 = 0x00000042;
constexpr LCTYPE LOCALE_SMONTHNAME12 = 0x00000043;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME1 = 0x00000044;  // ..12 follow
constexpr LCTYPE LOCALE_SABBREVMONTHNAME2 = 0x00000045;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME3 = 0x00000046;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME4 = 0x00000047;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME5 = 0x00000048;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME6 = 0x00000049;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME7 = 0x0000004A;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME8 = 0x0000004B;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME9 = 0x0000004C;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME10 = 0x0000004D;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME11 = 0x0000004E;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME12 = 0x0000004F;
constexpr LCTYPE LOCALE_SSHORTTIME = 0x00000079;
constexpr LCTYPE LOCALE_STIMEFORMAT = 0x00001003;
constexpr LCTYPE LOCALE_ITIMEMARKPOSN = 0x00001005;
constexpr LCTYPE LOCALE_IFIRSTDAYOFWEEK = 0x0000100C;
constexpr LCTYPE LOCALE_IFIRSTWEEKOFYEAR = 0x0000100D;

constexpr DWORD DATE_SHORTDATE = 0x00000001;
constexpr DWORD DATE_LONGDATE = 0x00000002;
constexpr DWORD TIME_NOMINUTESORSECONDS = 0x00000001;
constexpr DWORD TIME_NOSECONDS = 0x00000002;
constexpr DWORD TIME_NOTIMEMARKER = 0x00000004;
constexpr DWORD TIME_FORCE24HOURFORMAT = 0x00000008;

constexpr DWORD ERROR_INVALID_FLAGS = 1004;

// The item of the locale (LOCALE_USER_DEFAULT, LOCALE_SYSTEM_DEFAULT or the
// current locale's id) as text. Answers the characters written including
// the terminating zero; with cchData 0 the size needed. Fails with 0 and
// the last error for an unknown locale or item, or a short buffer.
int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int cchData);

// A date or time in a picture (d dd ddd dddd M MM MMM MMMM y yy yyyy gg;
// h hh H HH m mm s ss t tt; text in single quotes, '' for a quote), or
// with format null the locale's own (DATE_SHORTDATE / DATE_LONGDATE, or
// the long time format). A null time means now. Sizes as GetLocaleInfoA.
int GetDateFormatA(LCID locale, DWORD flags, const SYSTEMTIME* date, LPCSTR format, LPSTR dateStr, int cchDate);
int GetTimeFormatA(LCID locale, DWORD flags, const SYSTEMTIME* time, LPCSTR format, LPSTR timeStr, int cchTime);

LCID GetThreadLocale();
LCID GetUserDefaultLCID();
LCID GetSystemDefaultLCID();

}  // namespace win
