#include "platform/rtl/DateTime.h"

#include <cmath>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"

namespace {

// Days since 0000-03-01 of the proleptic Gregorian calendar.
Int64 DaysFromCivil(Int64 y, int m, int d) {
  y -= m <= 2;
  const Int64 era = (y >= 0 ? y : y - 399) / 400;
  const Int64 yoe = y - era * 400;
  const Int64 doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const Int64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe;
}

const Int64 kEpoch = DaysFromCivil(1899, 12, 30);

void CivilFromDays(Int64 z, int& y, int& m, int& d) {
  const Int64 era = (z >= 0 ? z : z - 146096) / 146097;
  const Int64 doe = z - era * 146097;
  const Int64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const Int64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const Int64 mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

// The whole days of a value: toward zero, as the time is the absolute fraction.
Int64 DayPart(double v) {
  if (!std::isfinite(v) || std::fabs(v) > 3.0e6) throw EConvertError("Invalid argument to date encode");
  return static_cast<Int64>(std::trunc(v));
}

}  // namespace

const Word MonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                               {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

TDateTime Now() { return TDateTime(Clock::LocalDateTime()); }
TDateTime Date() { return TDateTime(std::floor(Clock::LocalDateTime())); }
TDateTime Time() {
  const double v = Clock::LocalDateTime();
  return TDateTime(v - std::floor(v));
}

TDateTime DateOf(TDateTime date) { return TDateTime(std::trunc(date.Value)); }
TDateTime TimeOf(TDateTime date) { return TDateTime(date.Value - std::trunc(date.Value)); }

bool IsLeapYear(Word year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

Word DaysInAMonth(Word year, Word month) {
  if (month < 1 || month > 12) return 0;
  return MonthDays[IsLeapYear(year)][month - 1];
}

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month)) return false;
  date = TDateTime(static_cast<double>(DaysFromCivil(year, month, day) - kEpoch));
  return true;
}

TDateTime EncodeDate(Word year, Word month, Word day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d)) throw EConvertError("Invalid argument to date encode");
  return d;
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time) {
  if (hour >= 24 || min >= 60 || sec >= 60 || msec >= 1000) return false;
  time = TDateTime((((hour * 60.0 + min) * 60.0 + sec) * 1000.0 + msec) / 86'400'000.0);
  return true;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
  TDateTime t;
  if (!TryEncodeTime(hour, min, sec, msec, t)) throw EConvertError("Invalid argument to time encode");
  return t;
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) {
  int y, m, d;
  CivilFromDays(DayPart(date.Value) + kEpoch, y, m, d);
  if (y < 1 || y > 9999) {
    year = month = day = 0;  // outside the calendar the date has no parts
    return;
  }
  year = static_cast<Word>(y);
  month = static_cast<Word>(m);
  day = static_cast<Word>(d);
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec) {
  const double v = std::fabs(time.Value);
  const double frac = std::isfinite(v) ? v - std::trunc(v) : 0.0;
  auto ms = static_cast<Int64>(std::llround(frac * 86'400'000.0));
  if (ms >= 86'400'000) ms = 86'399'999;  // never roll into the next day
  hour = static_cast<Word>(ms / 3'600'000);
  min = static_cast<Word>(ms / 60'000 % 60);
  sec = static_cast<Word>(ms / 1000 % 60);
  msec = static_cast<Word>(ms % 1000);
}

Word DayOfWeek(TDateTime date) {
  // 1899-12-30 was a Saturday (7).
  const Int64 d = DayPart(date.Value);
  return static_cast<Word>(((d + 6) % 7 + 7) % 7 + 1);
}

TDateTime IncMonth(TDateTime date, Integer months) {
  Word y, m, d;
  DecodeDate(date, y, m, d);
  if (y == 0) throw EConvertError("Invalid argument to date encode");
  Int64 total = static_cast<Int64>(y) * 12 + (m - 1) + months;
  const Int64 ny = total >= 0 ? total / 12 : (total - 11) / 12;
  const int nm = static_cast<int>(total - ny * 12) + 1;
  if (ny < 1 || ny > 9999) throw EConvertError("Invalid argument to date encode");
  const Word days = DaysInAMonth(static_cast<Word>(ny), static_cast<Word>(nm));
  TDateTime result = EncodeDate(static_cast<Word>(ny), static_cast<Word>(nm), d > days ? days : d);
  const double frac = std::fabs(date.Value - std::trunc(date.Value));
  return TDateTime(result.Value >= 0 ? result.Value + frac : result.Value - frac);
}
