#include "platform/rtl/Clock.h"
#include "platform/rtl/DateText.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Locale.h"

namespace {

TDateTime At(Word y, Word mo, Word d, Word h = 0, Word mi = 0, Word s = 0, Word ms = 0) {
  return TDateTime(EncodeDate(y, mo, d).Value + EncodeTime(h, mi, s, ms).Value);
}

// The clock stands on 2025-06-15 12:00 for window tests.
struct InJune2025 {
  Clock::FakeClock clock{1'000'000, EncodeDate(2025, 6, 15).Value + 0.5};
};

}  // namespace

TEST(Calendar, EncodeDecodeRoundTripsAndLimits) {
  EXPECT_EQ(EncodeDate(1899, 12, 30).Value, 0);
  EXPECT_EQ(EncodeDate(2000, 1, 1).Value, 36526);
  EXPECT_EQ(EncodeDate(1, 1, 1).Value, -693593);
  EXPECT_EQ(EncodeDate(9999, 12, 31).Value, 2958465);
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  for (double v : {-693593.0, -1.0, 0.0, 59.0, 60.0, 61.0, 36526.0, 45000.0, 2958465.0}) {
    Word y, m, d;
    DecodeDate(v, y, m, d);
    EXPECT_EQ(EncodeDate(y, m, d).Value, v);
  }
  Word y, m, d, h, mi, s, ms;
  DecodeDate(-1.25, y, m, d);
  DecodeTime(-1.25, h, mi, s, ms);
  EXPECT_EQ((std::vector<int>{y, m, d, h, mi}), (std::vector<int>{1899, 12, 29, 6, 0}));
  DecodeTime(EncodeTime(23, 59, 59, 999), h, mi, s, ms);
  EXPECT_EQ((std::vector<int>{h, mi, s, ms}), (std::vector<int>{23, 59, 59, 999}));
}

TEST(Calendar, WeekdaysLeapYearsAndMonthSteps) {
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 3)), 1);    // Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 24)), 1);  // negative day numbers too
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_EQ(DaysInAMonth(2024, 2), 29);
  EXPECT_EQ(MonthDays[0][1], 28);
  EXPECT_EQ(IncMonth(At(2024, 1, 31, 6)).Value, At(2024, 2, 29, 6).Value);
  EXPECT_EQ(IncMonth(EncodeDate(2024, 3, 15), -14).Value, EncodeDate(2023, 1, 15).Value);
  EXPECT_EQ(IncMonth(EncodeDate(2024, 12, 1), 1).Value, EncodeDate(2025, 1, 1).Value);
}

TEST(Calendar, NowDateAndTimeFollowTheClock) {
  Clock::FakeClock clock(1000, 45000.75);
  EXPECT_EQ(Now().Value, 45000.75);
  EXPECT_EQ(Date().Value, 45000);
  EXPECT_EQ(Time().Value, 0.75);
  clock.Advance(6 * 3600 * 1000);
  EXPECT_EQ(Date().Value, 45001);
}

TEST(DateFormatting, EnglishTokens) {
  ScopedLocale us("en-US");
  const TDateTime v = At(2024, 3, 5, 14, 7, 9, 45);
  EXPECT_EQ(DateTimeToStr(v), "3/5/2024 2:07:09 PM");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5)), "3/5/2024");  // no time part, no time
  EXPECT_EQ(DateToStr(v), "3/5/2024");
  EXPECT_EQ(TimeToStr(v), "2:07:09 PM");
  EXPECT_EQ(FormatDateTime("d dd ddd dddd", v), "5 05 Tue Tuesday");
  EXPECT_EQ(FormatDateTime("m mm mmm mmmm yy yyyy", v), "3 03 Mar March 24 2024");
  EXPECT_EQ(FormatDateTime("h hh n nn s ss z zzz", v), "14 14 7 07 9 09 45 045");
  EXPECT_EQ(FormatDateTime("hh:mm", v), "14:07");          // m after an hour is minutes
  EXPECT_EQ(FormatDateTime("h:nn am/pm", v), "2:07 pm");
  EXPECT_EQ(FormatDateTime("h:nn AM/PM", At(2024, 1, 1, 0, 5)), "12:05 AM");
  EXPECT_EQ(FormatDateTime("h a/p|h A/P", v), "2 p|2 P");
  EXPECT_EQ(FormatDateTime("hh:nn ampm", v), "02:07 PM");
  EXPECT_EQ(FormatDateTime("t|tt", v), "2:07 PM|2:07:09 PM");
  EXPECT_EQ(FormatDateTime("ddddd|dddddd", v), "3/5/2024|Tuesday, March 5, 2024");
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd", v), "2024/03/05");
  EXPECT_EQ(FormatDateTime("'d' \"m\" d", v), "d m 5");
  EXPECT_EQ(FormatDateTime("c", 0.5), "12/30/1899 12:00:00 PM");
  EXPECT_EQ(FormatDateTime("c", -1.25), "12/29/1899 6:00:00 AM");
}

TEST(DateFormatting, GermanFixture) {
  ScopedLocale de("de-DE");
  const TDateTime v = At(2024, 3, 5, 14, 7, 9);
  EXPECT_EQ(DateTimeToStr(v), "05.03.2024 14:07:09");
  EXPECT_EQ(FormatDateTime("dddddd", v), "Dienstag, 5. M\xE4rz 2024");
  EXPECT_EQ(FormatDateTime("dd/mm/yy hh:nn", v), "05.03.24 14:07");  // '/' is the date separator
  EXPECT_EQ(FormatDateTime("ampm", v), "");
}

TEST(DateFormatting, SelfNamingFormatsStop) {
  Locale l = Locale::Builtin("en-US");
  l.ShortDateFormat = "ddddd c";  // names itself twice over
  ScopedLocale fx(l);
  EXPECT_NO_THROW(DateTimeToStr(At(2024, 3, 5)));
}

TEST(DateParsing, OrderSeparatorsAndTwoDigitYears) {
  InJune2025 now;
  {
    ScopedLocale us("en-US");
    EXPECT_EQ(StrToDate("3/5/2024").Value, EncodeDate(2024, 3, 5).Value);
    EXPECT_EQ(StrToDate(" 3 / 5 / 2024 ").Value, EncodeDate(2024, 3, 5).Value);
    EXPECT_EQ(StrToDate("3/5").Value, EncodeDate(2025, 3, 5).Value);  // the current year
    EXPECT_EQ(StrToDate("3/5/24").Value, EncodeDate(2024, 3, 5).Value);
    EXPECT_EQ(StrToDate("3/5/74").Value, EncodeDate(2074, 3, 5).Value);  // window 1975..2074
    EXPECT_EQ(StrToDate("3/5/75").Value, EncodeDate(1975, 3, 5).Value);
    EXPECT_EQ(StrToDate("3/5/0024").Value, EncodeDate(24, 3, 5).Value);  // four digits are literal
    TDateTime v = 99;
    for (const char* bad : {"", "3", "3/", "13/5/2024", "2/30/2024", "3-5-2024", "3/5/2024x", "3/5/2024 10:00",
                            "3//5", "99999999999/1/1", "0/0/0"}) {
      EXPECT_FALSE(TryStrToDate(bad, v)) << bad;
    }
    EXPECT_EQ(v.Value, 99);
    try {
      StrToDate("31/12/2024");
      FAIL();
    } catch (const EConvertError& e) {
      EXPECT_STREQ(e.what(), "'31/12/2024' is not a valid date");
    }
  }
  ScopedLocale de("de-DE");
  EXPECT_EQ(StrToDate("31.12.2024").Value, EncodeDate(2024, 12, 31).Value);
  EXPECT_EQ(StrToDateDef("1.2.", -7).Value, -7);  // a separator with nothing after it
  EXPECT_EQ(StrToDate("1.2").Value, EncodeDate(2025, 2, 1).Value);
  TDateTime v;
  EXPECT_FALSE(TryStrToDate("12/31/2024", v));
}

TEST(DateParsing, TimesAndDateTimes) {
  ScopedLocale us("en-US");
  EXPECT_EQ(StrToTime("14:07").Value, EncodeTime(14, 7, 0, 0).Value);
  EXPECT_EQ(StrToTime("2:07:09 PM").Value, EncodeTime(14, 7, 9, 0).Value);
  EXPECT_EQ(StrToTime("12:00 am").Value, 0);
  EXPECT_EQ(StrToTime("PM 1:00").Value, EncodeTime(13, 0, 0, 0).Value);
  EXPECT_EQ(StrToTime("10 AM").Value, EncodeTime(10, 0, 0, 0).Value);
  EXPECT_EQ(StrToTime("1:02:03.456").Value, EncodeTime(1, 2, 3, 456).Value);
  TDateTime v;
  {
    // Milliseconds follow the settings' decimal separator.
    Locale comma = Locale::Builtin("en-US");
    comma.DecimalSeparator = ",";
    ScopedLocale fx(comma);
    EXPECT_EQ(StrToTime("12:34:45,789").Value, EncodeTime(12, 34, 45, 789).Value);
    EXPECT_EQ(StrToTime("1:4:55,4").Value, EncodeTime(1, 4, 55, 4).Value);
    EXPECT_EQ(StrToTime("1: 4:55,12").Value, EncodeTime(1, 4, 55, 12).Value);
    EXPECT_FALSE(TryStrToTime("12:34:45.789", v));
  }

  // Midnight's hour with a marker: 12 AM, or 0 AM as a 24-hour habit
  // writes it; 0 PM says two things and stays refused.
  for (const char* midnight : {"12:30 AM", "0:30 AM", "00:30:00 am", "AM 0:30"}) {
    EXPECT_TRUE(TryStrToTime(midnight, v) && v.Value == EncodeTime(0, 30, 0, 0).Value) << midnight;
    EXPECT_TRUE(TryTextToDateTime(midnight, v) && v.Value == EncodeTime(0, 30, 0, 0).Value) << midnight;
  }
  EXPECT_EQ(StrToTime("12:30 PM").Value, EncodeTime(12, 30, 0, 0).Value);
  EXPECT_EQ(StrToDateTime("3/5/2024 0:30 AM").Value, At(2024, 3, 5, 0, 30).Value);
  EXPECT_FALSE(TryTextToDateTime("0:30 PM", v));
  for (const char* bad : {"10", "25:00", "13:00 PM", "0:30 PM", "1:60", "1:00 XM", "1:00:"})
    EXPECT_FALSE(TryStrToTime(bad, v)) << bad;
  EXPECT_EQ(StrToDateTime("3/5/2024 2:07:09 PM").Value, At(2024, 3, 5, 14, 7, 9).Value);
  EXPECT_EQ(StrToDateTime("3/5/2024").Value, EncodeDate(2024, 3, 5).Value);
  EXPECT_EQ(StrToDateTime("6:00").Value, 0.25);
  EXPECT_EQ(StrToDateTime("12/29/1899 6:00").Value, -1.25);  // negative dates keep the time positive
  EXPECT_THROW(StrToDateTime("3/5/2024 x"), EConvertError);
  // What is written can be read back.
  const TDateTime t = At(2031, 11, 30, 23, 59, 58);
  EXPECT_EQ(StrToDateTime(DateTimeToStr(t)).Value, t.Value);
}

TEST(LenientDates, NamesOrdersAndTimes) {
  InJune2025 now;
  ScopedLocale us("en-US");
  TDateTime v;
  auto read = [&](const char* text) { return TryTextToDateTime(text, v) ? v.Value : -1e9; };
  EXPECT_EQ(read("March 5, 2024"), EncodeDate(2024, 3, 5).Value);
  EXPECT_EQ(read("5 mar 2024"), EncodeDate(2024, 3, 5).Value);
  EXPECT_EQ(read("2024 Mar 5"), EncodeDate(2024, 3, 5).Value);
  EXPECT_EQ(read("Tuesday, March 5, 2024 2:07 PM"), At(2024, 3, 5, 14, 7).Value);
  EXPECT_EQ(read("2024-03-05"), EncodeDate(2024, 3, 5).Value);
  EXPECT_EQ(read("3/5/24"), EncodeDate(2024, 3, 5).Value);
  EXPECT_EQ(read("3-5"), EncodeDate(2025, 3, 5).Value);
  EXPECT_EQ(read("Dec 24"), EncodeDate(2025, 12, 24).Value);
  EXPECT_EQ(read("14:30"), EncodeTime(14, 30, 0, 0).Value);
  for (const char* bad : {"", "  ", "5", "1/2/3/4", "Smarch 5 2024", "March April 5", "PM", "2/30/2024", "3/5 25:00"})
    EXPECT_EQ(read(bad), -1e9) << bad;
  ScopedLocale de("de-DE");
  EXPECT_EQ(read("5. M\xE4rz 2024"), EncodeDate(2024, 3, 5).Value);
  EXPECT_EQ(read("05.03.2024 14:07"), At(2024, 3, 5, 14, 7).Value);
}

// A year, minute or second too large for the calendar is refused, not
// wrapped to 16 bits: 67536 is 65536 + 2000 and 65537 minutes is 65536 + 1.
TEST(DateParsing, PartsBeyondTheCalendarAreRefusedNotWrapped) {
  InJune2025 now;
  ScopedLocale us("en-US");
  TDateTime v = 99;
  EXPECT_FALSE(TryStrToDate("1/1/67536", v));
  EXPECT_FALSE(TryStrToDateTime("1/1/67536 10:00", v));
  EXPECT_FALSE(TryTextToDateTime("1/1/67536", v));
  EXPECT_FALSE(TryTextToDateTime("January 1 67536", v));
  EXPECT_FALSE(TryTextToDateTime("10:65537", v));
  EXPECT_FALSE(TryTextToDateTime("10:30:65540", v));
  EXPECT_FALSE(TryTextToDateTime("3/5/2024 10:60", v));
  EXPECT_EQ(v.Value, 99);
  EXPECT_THROW(StrToDate("1/1/67536"), EConvertError);
  // The largest parts the calendar has still pass.
  EXPECT_EQ(StrToDate("12/31/9999").Value, EncodeDate(9999, 12, 31).Value);
  ASSERT_TRUE(TryTextToDateTime("December 31 9999 23:59:59", v));
  EXPECT_EQ(v.Value, At(9999, 12, 31, 23, 59, 59).Value);
}
