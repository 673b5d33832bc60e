#include "platform/rtl/FormatSettings.h"

#include "platform/rtl/Locale.h"

namespace {

char FirstOr(const AnsiString& s, char fallback) { return s.empty() ? fallback : s[0]; }

// The locale's date picture in the run-time spelling: the era has no
// meaning here and goes (with the blank that follows it); everything
// else reads the same.
AnsiString DatePictureToRtl(const AnsiString& picture) {
  AnsiString out;
  out.reserve(picture.size());
  bool quoted = false;
  for (std::size_t i = 0; i < picture.size(); ++i) {
    char c = picture[i];
    if (c == '\'') quoted = !quoted;
    if (!quoted && c == 'g') {
      while (i + 1 < picture.size() && picture[i + 1] == 'g') ++i;
      if (i + 1 < picture.size() && picture[i + 1] == ' ') ++i;
      continue;
    }
    out += c;
  }
  return out;
}

// The run-time time formats are built from the locale's hour flags: the
// hour with or without its leading zero, minutes, seconds, and the AMPM
// marker on the side the locale puts it when the clock is 12-hour.
AnsiString TimeFormat(const Locale& l, bool seconds) {
  AnsiString t = l.TimeLeadingZero ? "hh" : "h";
  t += ":mm";
  if (seconds) t += ":ss";
  if (l.TimeFormat24 == 0) t = l.TimeMarkerPosition ? "AMPM " + t : t + " AMPM";
  return t;
}

}  // namespace

TFormatSettings FormatSettingsFromLocale(const Locale& l) {
  TFormatSettings f;
  f.DecimalSeparator = FirstOr(l.DecimalSeparator, '.');
  f.ThousandSeparator = FirstOr(l.ThousandSeparator, ',');
  f.DateSeparator = FirstOr(l.DateSeparator, '/');
  f.TimeSeparator = FirstOr(l.TimeSeparator, ':');
  f.ListSeparator = FirstOr(l.ListSeparator, ',');
  f.CurrencyString = l.CurrencyString;
  f.CurrencyFormat = static_cast<Byte>(l.CurrencyFormat & 3);
  f.NegCurrFormat = static_cast<Byte>(l.NegCurrFormat >= 0 && l.NegCurrFormat <= 15 ? l.NegCurrFormat : 0);
  f.CurrencyDecimals = static_cast<Byte>(l.CurrencyDecimals >= 0 && l.CurrencyDecimals <= 18 ? l.CurrencyDecimals : 2);
  f.ShortDateFormat = DatePictureToRtl(l.ShortDateFormat);
  f.LongDateFormat = DatePictureToRtl(l.LongDateFormat);
  f.ShortTimeFormat = TimeFormat(l, false);
  f.LongTimeFormat = TimeFormat(l, true);
  f.TimeAMString = l.AMString;
  f.TimePMString = l.PMString;
  f.ShortMonthNames = l.ShortMonthNames;
  f.LongMonthNames = l.LongMonthNames;
  for (int i = 0; i < 7; ++i) {
    // The locale starts its week names with Monday, the run-time with Sunday.
    f.ShortDayNames[i] = l.ShortDayNames[(i + 6) % 7];
    f.LongDayNames[i] = l.LongDayNames[(i + 6) % 7];
  }
  f.TwoDigitYearCenturyWindow = static_cast<Word>(l.TwoDigitYearCenturyWindow);
  return f;
}

TFormatSettings& FormatSettings() {
  static TFormatSettings settings = FormatSettingsFromLocale(CurrentLocale());
  return settings;
}

void GetFormatSettings() { FormatSettings() = FormatSettingsFromLocale(CurrentLocale()); }

TSysLocale SysLocale() {
  TSysLocale s;
  s.DefaultLCID = static_cast<Integer>(CurrentLocale().Lcid);
  return s;
}
