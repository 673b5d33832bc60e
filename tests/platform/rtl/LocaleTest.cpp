#include <clocale>
#include <cstdio>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Locale.h"

using namespace win;

namespace {

AnsiString Info(LCTYPE type, LCID lcid = LOCALE_USER_DEFAULT) {
  char buf[128];
  int n = GetLocaleInfoA(lcid, type, buf, sizeof buf);
  return n > 0 ? AnsiString(buf, n - 1) : AnsiString("<error>");
}

SYSTEMTIME At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(y);
  t.wMonth = static_cast<WORD>(mo);
  t.wDay = static_cast<WORD>(d);
  t.wHour = static_cast<WORD>(h);
  t.wMinute = static_cast<WORD>(mi);
  t.wSecond = static_cast<WORD>(s);
  return t;
}

AnsiString Date(const SYSTEMTIME& t, DWORD flags, const char* pic = nullptr) {
  char buf[128];
  int n = GetDateFormatA(LOCALE_USER_DEFAULT, flags, &t, pic, buf, sizeof buf);
  return n > 0 ? AnsiString(buf, n - 1) : AnsiString("<error>");
}

AnsiString Time(const SYSTEMTIME& t, DWORD flags = 0, const char* pic = nullptr) {
  char buf[128];
  int n = GetTimeFormatA(LOCALE_USER_DEFAULT, flags, &t, pic, buf, sizeof buf);
  return n > 0 ? AnsiString(buf, n - 1) : AnsiString("<error>");
}

}  // namespace

TEST(LocaleInfo, GermanFixtureAnswersItsItems) {
  ScopedLocale de("de-DE");
  EXPECT_EQ(Info(LOCALE_SDECIMAL), ",");
  EXPECT_EQ(Info(LOCALE_STHOUSAND), ".");
  EXPECT_EQ(Info(LOCALE_SCURRENCY), "\x80");
  EXPECT_EQ(Info(LOCALE_SSHORTDATE), "dd.MM.yyyy");
  EXPECT_EQ(Info(LOCALE_IFIRSTDAYOFWEEK), "0");
  EXPECT_EQ(Info(LOCALE_ITIME), "1");
  EXPECT_EQ(Info(LOCALE_SMONTHNAME3), "M\xE4rz");
  EXPECT_EQ(Info(LOCALE_SABBREVDAYNAME7), "So");
  EXPECT_EQ(GetThreadLocale(), 0x0407u);
  EXPECT_EQ(GetUserDefaultLCID(), 0x0407u);
  // Another known locale can still be asked by its id.
  EXPECT_EQ(Info(LOCALE_SDECIMAL, 0x0409), ".");
}

TEST(LocaleInfo, BufferRulesAndFailures) {
  ScopedLocale us("en-US");
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME9, nullptr, 0), 10);  // "September" + zero
  char small[4];
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME9, small, sizeof small), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(GetLocaleInfoA(0x0411, LOCALE_SDECIMAL, small, sizeof small), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, 0x7777, small, sizeof small), 0);
  EXPECT_EQ(Info(LOCALE_SDECIMAL | LOCALE_NOUSEROVERRIDE), ".");
}

TEST(LocaleInfo, MondayVariantDiffersOnlyInTheWeek) {
  ScopedLocale mon("en-US-monday");
  EXPECT_EQ(Info(LOCALE_IFIRSTDAYOFWEEK), "0");
  EXPECT_EQ(Info(LOCALE_SSHORTDATE), "M/d/yyyy");
  EXPECT_EQ(Info(LOCALE_S1159), "AM");
}

TEST(LocalePictures, DatesInBothFixtures) {
  const SYSTEMTIME t = At(2024, 3, 5, 14, 7, 9);
  {
    ScopedLocale us("en-US");
    EXPECT_EQ(Date(t, DATE_SHORTDATE), "3/5/2024");
    EXPECT_EQ(Date(t, DATE_LONGDATE), "Tuesday, March 5, 2024");
    EXPECT_EQ(Date(t, 0, "ddd dd MMM yy 'o''clock' ''"), "Tue 05 Mar 24 o'clock '");
    EXPECT_EQ(Date(t, DATE_SHORTDATE, "d"), "<error>");  // a picture and a flag together
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
    SYSTEMTIME bad = At(2023, 2, 29);
    EXPECT_EQ(Date(bad, DATE_SHORTDATE), "<error>");
  }
  ScopedLocale de("de-DE");
  EXPECT_EQ(Date(t, DATE_SHORTDATE), "05.03.2024");
  EXPECT_EQ(Date(t, DATE_LONGDATE), "Dienstag, 5. M\xE4rz 2024");
}

TEST(LocalePictures, TimesWithMarkersAndFlags) {
  ScopedLocale us("en-US");
  EXPECT_EQ(Time(At(2024, 1, 1, 0, 5, 9)), "12:05:09 AM");
  EXPECT_EQ(Time(At(2024, 1, 1, 13, 5, 9)), "1:05:09 PM");
  EXPECT_EQ(Time(At(2024, 1, 1, 13, 5, 9), 0, "HH'h'mm t"), "13h05 P");
  EXPECT_EQ(Time(At(2024, 1, 1, 13, 5, 9), TIME_NOSECONDS), "1:05 PM");
  EXPECT_EQ(Time(At(2024, 1, 1, 13, 5, 9), TIME_FORCE24HOURFORMAT), "13:05:09");
  EXPECT_EQ(Time(At(2024, 1, 1, 13, 5, 9), TIME_NOMINUTESORSECONDS | TIME_NOTIMEMARKER), "1");
  SYSTEMTIME bad = At(2024, 1, 1, 24);
  EXPECT_EQ(Time(bad), "<error>");
}

TEST(LocaleService, ReplacementTellsListenersInOrderUntilRemoved) {
  std::vector<AnsiString> log;
  LocaleListenerId a = AddLocaleListener([&] { log.push_back("a:" + CurrentLocale().Name); });
  LocaleListenerId b = AddLocaleListener([&] { log.push_back("b:" + CurrentLocale().Name); });
  {
    ScopedLocale de("de-DE");
    RemoveLocaleListener(a);
  }
  RemoveLocaleListener(b);
  SetLocale(CurrentLocale());
  EXPECT_EQ(log, (std::vector<AnsiString>{"a:de-DE", "b:de-DE", "b:" + CurrentLocale().Name}));
}

TEST(LocaleService, EnvironmentNamesChooseTables) {
  EXPECT_EQ(Locale::Builtin("de_DE.UTF-8").Name, "de-DE");
  EXPECT_EQ(Locale::Builtin("de_AT@euro").Name, "de-DE");
  EXPECT_EQ(Locale::Builtin("C").Name, "en-US");
  EXPECT_EQ(Locale::Builtin("fr_FR.UTF-8").Name, "en-US");
  EXPECT_EQ(Locale::Builtin("en-US-monday").FirstDayOfWeek, 0);
}

TEST(FormatSettingsTest, RunTimeSpellingsComeFromThePictures) {
  {
    ScopedLocale us("en-US");
    const TFormatSettings& f = FormatSettings();
    EXPECT_EQ(f.LongTimeFormat, "h:mm:ss AMPM");
    EXPECT_EQ(f.ShortTimeFormat, "h:mm AMPM");
    EXPECT_EQ(f.ShortDateFormat, "M/d/yyyy");
    EXPECT_EQ(f.ShortDayNames[0], "Sun");
    EXPECT_EQ(f.LongDayNames[1], "Monday");
    EXPECT_EQ(f.DecimalSeparator, '.');
  }
  ScopedLocale de("de-DE");
  const TFormatSettings& f = FormatSettings();
  EXPECT_EQ(f.LongTimeFormat, "hh:mm:ss");
  EXPECT_EQ(f.ShortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(f.DecimalSeparator, ',');
  EXPECT_EQ(f.ThousandSeparator, '.');
  EXPECT_EQ(f.CurrencyString, "\x80");
  EXPECT_EQ(f.LongDayNames[0], "Sonntag");
  EXPECT_EQ(f.DateSeparator, '.');
}

TEST(FormatSettingsTest, StayACopyUntilReRead) {
  ScopedLocale us("en-US");
  Locale odd = Locale::Builtin("en-US");
  odd.DecimalSeparator = "#";
  SetLocale(odd);
  EXPECT_EQ(FormatSettings().DecimalSeparator, '.');
  GetFormatSettings();
  EXPECT_EQ(FormatSettings().DecimalSeparator, '#');
}

TEST(NumericLocale, CFormattingIsPutBack) {
  ASSERT_TRUE(EnsureCNumericLocale());
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale installed";
  EXPECT_FALSE(EnsureCNumericLocale());
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.3f", 1.5);
  EXPECT_STREQ(buf, "1.500");
}
