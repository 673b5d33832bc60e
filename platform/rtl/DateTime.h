// Dates and times as TDateTime: days since 1899-12-30 with the time of
// day as the fraction. Before that day the value is negative and the time
// is still its absolute fraction (-1.25 is 1899-12-29 06:00).
#pragma once

#include "platform/rtl/Types.h"

TDateTime Now();   // local date and time, from the clock
TDateTime Date();  // today, time 0
TDateTime Time();  // the time of day, date 0

bool IsLeapYear(Word year);
// Days in a month (1..12) of a year; 0 for a month out of range.
Word DaysInAMonth(Word year, Word month);
// The days of each month, [leap][month - 1].
extern const Word MonthDays[2][12];

// Years 1..9999; EConvertError "Invalid argument to date encode" /
// "Invalid argument to time encode" for values out of range.
TDateTime EncodeDate(Word year, Word month, Word day);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date);
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time);
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);
// 1 = Sunday .. 7 = Saturday.
Word DayOfWeek(TDateTime date);
// The same day `months` later (or earlier), clamped to the month's length;
// the time is kept.
TDateTime IncMonth(TDateTime date, Integer months = 1);
// The date part (truncated toward zero) and what is left of the value, so
// DateOf(d) + TimeOf(d) == d on both sides of day 0.
TDateTime DateOf(TDateTime date);
TDateTime TimeOf(TDateTime date);
