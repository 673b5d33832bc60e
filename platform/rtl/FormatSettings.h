// The run-time library's format settings: separators, formats and names
// in the run-time library's own spelling ("h:mm:ss AMPM" where the locale
// says "h:mm:ss tt"). They are a copy: GetFormatSettings re-reads them
// from the current locale (the application does so when the user's
// settings change). Number and date text routines read them.
#pragma once

#include <array>

#include "platform/rtl/Types.h"

struct TFormatSettings {
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  char DateSeparator = '/';
  char TimeSeparator = ':';
  char ListSeparator = ',';
  AnsiString CurrencyString = "$";
  Byte CurrencyFormat = 0;   // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
  Byte NegCurrFormat = 0;    // 0..15, the locale's negative currency forms
  Byte CurrencyDecimals = 2;
  AnsiString ShortDateFormat = "M/d/yyyy";
  AnsiString LongDateFormat = "dddd, MMMM d, yyyy";
  AnsiString ShortTimeFormat = "h:mm AMPM";
  AnsiString LongTimeFormat = "h:mm:ss AMPM";
  AnsiString TimeAMString = "AM";
  AnsiString TimePMString = "PM";
  std::array<AnsiString, 12> ShortMonthNames;
  std::array<AnsiString, 12> LongMonthNames;
  // Day names start with Sunday.
  std::array<AnsiString, 7> ShortDayNames;
  std::array<AnsiString, 7> LongDayNames;
  // Two-digit years are read into the hundred years that start this many
  // years before the current one; 0 means the current century.
  Word TwoDigitYearCenturyWindow = 50;
};

// The process's settings, read from the current locale on first use.
TFormatSettings& FormatSettings();
// Re-reads the settings from the current locale.
void GetFormatSettings();
// The settings a locale gives (without installing them).
TFormatSettings FormatSettingsFromLocale(const class Locale& locale);

// The single-byte answers of the system locale: no far-east or
// middle-east handling, no lead bytes.
struct TSysLocale {
  Integer DefaultLCID = 0x0409;
  bool FarEast = false;
  bool MiddleEast = false;
};
TSysLocale SysLocale();
inline bool IsLeadByte(char) { return false; }
