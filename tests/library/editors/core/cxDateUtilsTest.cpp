#include "library/editors/core/cxDateUtils.h"

#include "EngineFixtures.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxRegExpr.h"
#include "platform/rtl/DateText.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/ResourceStrings.h"
#include "platform/rtl/Variant.h"

using fixtures::EngineLocale;
using fixtures::kToday;

namespace {

double Smart(const AnsiString& text) {
  TDateTime d = -1.0;
  return SmartTextToDate(text, d) ? d.Value : -1.0;
}

double Typed(const AnsiString& text) {
  TDateTime d;
  return TextToDateEx(text, d) ? d.Value : -1.0;
}

double Day(int y, int m, int d) { return EncodeDate(static_cast<Word>(y), static_cast<Word>(m), static_cast<Word>(d)); }

}  // namespace

TEST(DateUtils, SmartWordsWithOffsets) {
  EngineLocale env(fixtures::UsLocale());
  EXPECT_EQ(Smart("Today+3"), kToday + 3);
  EXPECT_EQ(Smart("  TODAY + 3 "), kToday + 3);
  EXPECT_EQ(Smart("today -2"), kToday - 2);
  EXPECT_EQ(Smart("today+x"), kToday) << "an offset that does not convert leaves the word's date";
  EXPECT_EQ(Smart("today+"), kToday);
  // The offset's own sign: minus the lowest integer is a count of days.
  EXPECT_EQ(Smart("today--2"), kToday + 2);
  EXPECT_EQ(Smart("today--2147483648"), kToday + 2147483648.0);
  EXPECT_EQ(Smart("yesterday"), kToday - 1);
  EXPECT_EQ(Smart("tomorrow+1"), kToday + 2);
  EXPECT_EQ(Smart("bom"), Day(2008, 12, 1));
  EXPECT_EQ(Smart("eom"), Day(2008, 12, 31));
  EXPECT_EQ(Smart("now"), kToday + 0.5);
  EXPECT_EQ(Smart("someday"), -1.0);
}

TEST(DateUtils, WeekdayWordsFollowTheStartOfWeek) {
  EngineLocale env(fixtures::UsLocale());
  cxFormatController()->SetStartOfWeek(dMonday);
  EXPECT_EQ(Smart("first"), Day(2008, 12, 29));
  EXPECT_EQ(Smart("seventh"), Day(2009, 1, 4));
  EXPECT_EQ(Smart("Sunday"), Day(2009, 1, 4));
  EXPECT_EQ(Smart("wednesday"), kToday) << "today counts as the coming Wednesday";
  EXPECT_EQ(Smart("Tuesday"), Day(2009, 1, 6));
  cxFormatController()->SetStartOfWeek(dSunday);
  EXPECT_EQ(Smart("first"), Day(2008, 12, 28));
}

TEST(DateUtils, EndOfMonthInALeapFebruary) {
  EngineLocale env(fixtures::UsLocale(), Day(2008, 2, 10) + 0.25);
  EXPECT_EQ(Smart("eom"), Day(2008, 2, 29));
  EXPECT_EQ(GetEndDateOfMonth(Day(2008, 2, 10), false), Day(2008, 2, 29) + EncodeTime(23, 59, 59, 999).Value);
  EXPECT_EQ(GetEndDateOfYear(Day(2008, 2, 10), true), Day(2008, 12, 31));
  EXPECT_EQ(GetStartDateOfYear(Day(2008, 2, 10)), Day(2008, 1, 1));
}

TEST(DateUtils, WordsMustStandAloneOrTakeAnOffset) {
  EngineLocale env(fixtures::UsLocale());
  // A word that merely begins the text is no keyword: a long date that
  // starts with its weekday is read as that date.
  EXPECT_EQ(Smart("todayx"), -1.0);
  EXPECT_EQ(Smart("Friday, March 3, 2006"), -1.0);
  EXPECT_EQ(Typed("Friday, March 3, 2006"), Day(2006, 3, 3));
  EXPECT_EQ(Typed("Today+3"), kToday + 3);
}

TEST(DateUtils, ChangedWordTextsAndTheHookTakeEffect) {
  EngineLocale env(fixtures::UsLocale());
  RegisterResString(cxEditResModule, 65221, "heute");
  EXPECT_EQ(Smart("heute+1"), kToday + 1);
  EXPECT_EQ(Smart("today"), -1.0);
  RegisterResString(cxEditResModule, 65221, "today");

  SmartTextToDateFunc = [](const AnsiString& text, TDateTime& date) {
    if (text != "payday") return false;
    date = 40000.0;
    return true;
  };
  EXPECT_EQ(Smart("  payday "), 40000.0);
  EXPECT_EQ(Smart("today"), kToday) << "words come before the hook";
  SmartTextToDateFunc = nullptr;
  EXPECT_EQ(Smart("payday"), -1.0);
}

TEST(DateUtils, WeekNumbers) {
  EngineLocale env(fixtures::UsLocale());
  const double newYearsEve = Day(2008, 12, 31);
  EXPECT_EQ(GetWeekNumber(newYearsEve, dMonday, fwyFirstFourDays), 1);
  EXPECT_EQ(GetWeekNumber(newYearsEve, dMonday, fwyFirstFullWeek), 52);
  EXPECT_EQ(GetWeekNumber(newYearsEve, dMonday, fwyJan1), 1);
  for (int d : {6, 7, 13}) EXPECT_EQ(GetWeekNumber(Day(2008, 1, d), dMonday, fwyFirstFullWeek), 1) << d;
  EXPECT_EQ(GetWeekNumber(Day(2008, 1, 14), dMonday, fwyFirstFullWeek), 2);
  // The locale's rule: en-US counts from 1 January.
  EXPECT_EQ(GetWeekNumber(Day(2008, 1, 6), dSunday, fwySystem), 2);
  fixtures::SwitchLocale de(fixtures::GermanLocale());
  EXPECT_EQ(GetWeekNumber(newYearsEve, dMonday, fwySystem), 1);
}

TEST(DateUtils, MonthArithmetic) {
  Word y = 2000, m = 1;
  ChangeMonth(y, m, -1);
  EXPECT_EQ(y * 100 + m, 199912);
  y = 2000, m = 1;
  ChangeMonth(y, m, -13);
  EXPECT_EQ(y * 100 + m, 199812);
  y = 2000, m = 11;
  ChangeMonth(y, m, 14);
  EXPECT_EQ(y * 100 + m, 200201);
  y = 2000, m = 12;
  IncMonth(y, m);
  EXPECT_EQ(y * 100 + m, 200101);
  DecMonth(y, m);
  EXPECT_EQ(y * 100 + m, 200012);
  EXPECT_EQ(DaysPerMonth(1900, 2), 28);
  EXPECT_EQ(DaysPerMonth(2000, 2), 29);
  EXPECT_EQ(CheckDay(2001, 2, 31), 28);
  EXPECT_EQ(CheckDay(2001, 2, 0), 1);
  EXPECT_EQ(GetMonthNumber(Day(2008, 12, 31)), 2007 * 12 + 12);
  EXPECT_EQ(GetDateElement(Day(2008, 12, 31), deDay), 31);
  EXPECT_EQ(TimeOf(39813.75).Value, 0.75);
  EXPECT_EQ(DateOf(39813.75).Value, 39813.0);
}

TEST(DateUtils, TypedTextToDate) {
  EngineLocale env(fixtures::UsLocale());
  EXPECT_EQ(Typed("12/31/2008"), kToday);
  EXPECT_EQ(Typed(" Dec 31 2008 "), kToday);
  EXPECT_EQ(Typed("1/1/10000"), -1.0);
  EXPECT_EQ(Typed("12/31/0099"), -1.0) << "before the calendar's first year";
  EXPECT_EQ(Typed("today-800000"), -1.0);
  EXPECT_EQ(Typed("1/1/0100"), Day(100, 1, 1));
  EXPECT_EQ(Typed("12:30"), -1.0) << "a time alone names no day";
  EXPECT_EQ(Typed(""), -1.0);
  EXPECT_EQ(Typed("bogus"), -1.0);
  TDateTime d = 5.0;
  EXPECT_FALSE(TextToDateEx("bogus", d));
  EXPECT_EQ(d.Value, 0.0);
  {
    fixtures::SwitchLocale de(fixtures::GermanLocale());
    EXPECT_EQ(Typed("31.12.2008"), kToday);
    EXPECT_EQ(Typed("31.12.2008 13:30"), kToday + 13.5 / 24);
  }
  TDateTime out;
  EXPECT_TRUE(cxStrToDateTime("12/31/2008", true, out));
  EXPECT_EQ(out.Value, kToday);
  EXPECT_FALSE(cxStrToDateTime("nonsense", false, out));
  EXPECT_EQ(out.Value, NullDate);
  EXPECT_EQ(cxMinDateTime().Value, Day(100, 1, 1));
}

// 30 December 1899 is day 0 of the count, the day a time alone falls on:
// written out, it is still a date, with or without its time, in either
// reader; a time alone is none.
TEST(DateUtils, DayZeroWrittenOutIsADateAndATimeAloneIsNot) {
  EngineLocale env(fixtures::UsLocale());
  for (bool rtl : {false, true}) {
    cxFormatController()->SetUseRtlDateTimeFormats(rtl);
    EXPECT_EQ(Typed("12/30/1899"), 0.0) << rtl;
    EXPECT_EQ(Typed("12/30/1899 6:00 PM"), 0.75) << rtl;
    EXPECT_EQ(Typed("12/29/1899 6:00 AM"), -1.25) << rtl;
    EXPECT_EQ(Typed("12:30"), -1.0) << rtl;
    EXPECT_EQ(Typed("6:00 PM"), -1.0) << rtl;
  }
  cxFormatController()->SetUseRtlDateTimeFormats(false);
  EXPECT_EQ(Typed("December 30, 1899"), 0.0);
  EXPECT_EQ(Typed("Monday 12:30"), -1.0);
  EXPECT_EQ(Typed("today-39813"), 0.0) << "a smart word names its day";
  fixtures::SwitchLocale de(fixtures::GermanLocale());
  EXPECT_EQ(Typed("30.12.1899 13:30"), 13.5 / 24);
  EXPECT_EQ(Typed("13:30"), -1.0);
}

// Before day 0 a value's time counts down from its day's number: the last
// moment of a month or year, and the week of a day with a time, stay on
// that day.
TEST(DateUtils, EndsOfMonthsAndWeeksBeforeDayZeroStayOnTheirDay) {
  EngineLocale env(fixtures::UsLocale());
  const double lastMs = EncodeTime(23, 59, 59, 999).Value;
  EXPECT_EQ(GetEndDateOfMonth(Day(1850, 5, 10), false), Day(1850, 5, 31) - lastMs);
  EXPECT_EQ(GetEndDateOfYear(Day(1850, 5, 10), false), Day(1850, 12, 31) - lastMs);
  EXPECT_EQ(GetEndDateOfMonth(Day(1899, 12, 10), false), Day(1899, 12, 31) + lastMs);
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", GetEndDateOfMonth(Day(1850, 5, 10), false)),
            "1850-05-31 23:59:59.999");
  // Sunday 6 January 1850 at noon opens the second week counted from 1 January.
  EXPECT_EQ(GetWeekNumber(Day(1850, 1, 6), dSunday, fwyJan1), 2);
  EXPECT_EQ(GetWeekNumber(Day(1850, 1, 6) - 0.5, dSunday, fwyJan1), 2);
  EXPECT_EQ(GetWeekNumber(Day(1850, 1, 5) - 0.5, dSunday, fwyJan1), 1);
}

TEST(DateUtils, DatesAsText) {
  EngineLocale env(fixtures::UsLocale());
  EXPECT_EQ(DateTimeToText(NullDate), "");
  EXPECT_EQ(DateTimeToText(kToday), "12/31/2008");
  EXPECT_EQ(DateTimeToText(kToday + 0.5), "12/31/2008 12:00:00 PM");
  EXPECT_EQ(DateToLongDateStr(kToday), "Wednesday, December 31, 2008");
  {
    Locale shortYear = fixtures::UsLocale();
    shortYear.ShortDateFormat = "d/M/yy";
    fixtures::SwitchLocale env2(shortYear);
    EXPECT_EQ(DateTimeToText(kToday), "31/12/08");
    EXPECT_EQ(DateTimeToText(kToday, true), "31/12/2008");
  }
  {
    fixtures::SwitchLocale de(fixtures::GermanLocale());
    EXPECT_EQ(DateTimeToText(kToday, true), "31.12.2008");
    EXPECT_EQ(DateTimeToTextEx(kToday + 0.5, true, false), "31.12.2008");
    EXPECT_EQ(DateTimeToTextEx(kToday + 0.5, true, true), "31.12.2008 12:00:00");
  }
  EXPECT_EQ(DateTimeToTextEx(NullDate, true), "");
  cxFormatController()->SetUseRtlDateTimeFormats(true);
  EXPECT_EQ(MinYear, 1);
  EXPECT_EQ(DateTimeToText(kToday + 0.5), "12/31/2008 12:00:00 PM");
  cxFormatController()->SetUseRtlDateTimeFormats(false);
  EXPECT_EQ(MinYear, 100);
}

TEST(DateUtils, NullDateVariants) {
  EXPECT_TRUE(VarIsNullDate(Variant(TDateTime(NullDate))));
  EXPECT_TRUE(VarIsNullDate(Variant(-700000)));
  EXPECT_FALSE(VarIsNullDate(Variant(TDateTime(0.0))));
  EXPECT_FALSE(VarIsNullDate(Variant(AnsiString("-700000"))));
  EXPECT_FALSE(VarIsNullDate(Variant()));
}

TEST(DateUtils, SmartInputInADateMask) {
  EngineLocale env(fixtures::UsLocale());
  AnsiString mask = "\\d\\d";
  AddDateRegExprMaskSmartInput(mask, false);
  EXPECT_EQ(mask.substr(0, 20), "(\\d\\d)|('today'|'yes");
  EXPECT_TRUE(cxRegExpr::IsTextFullValid("12", mask));
  EXPECT_TRUE(cxRegExpr::IsTextFullValid("today+1234", mask));
  EXPECT_TRUE(cxRegExpr::IsTextFullValid("eom-1", mask));
  EXPECT_FALSE(cxRegExpr::IsTextFullValid("today+12345", mask));
  EXPECT_FALSE(cxRegExpr::IsTextFullValid("now", mask)) << "now only where a time can be typed";
  AnsiString withTime = "\\d\\d";
  AddDateRegExprMaskSmartInput(withTime, true);
  EXPECT_TRUE(cxRegExpr::IsTextFullValid("now", withTime));
  // A word with a quote stays a valid mask.
  RegisterResString(cxEditResModule, 65206, "b'o'm");
  AnsiString quoted = "\\d";
  AddDateRegExprMaskSmartInput(quoted, false);
  EXPECT_TRUE(cxRegExpr::IsTextFullValid("b'o'm+1", quoted));
  RegisterResString(cxEditResModule, 65206, "bom");
}
