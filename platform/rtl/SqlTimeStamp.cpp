#include "platform/rtl/SqlTimeStamp.h"

#include <cmath>

#include "platform/rtl/Exceptions.h"

namespace {

constexpr Int64 kMsPerDay = 86'400'000;

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Days from 0000-03-01 based civil arithmetic: proleptic Gregorian.
Int64 DaysFromCivil(Int64 y, unsigned m, unsigned d) {
  y -= m <= 2;
  Int64 era = (y >= 0 ? y : y - 399) / 400;
  unsigned yoe = static_cast<unsigned>(y - era * 400);
  unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<Int64>(doe) - 719468;
}

void CivilFromDays(Int64 z, int& y, unsigned& m, unsigned& d) {
  z += 719468;
  Int64 era = (z >= 0 ? z : z - 146096) / 146097;
  unsigned doe = static_cast<unsigned>(z - era * 146097);
  unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  Int64 yy = static_cast<Int64>(yoe) + era * 400;
  unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(yy + (m <= 2));
}

const Int64 kEpoch = DaysFromCivil(1899, 12, 30);
// 0001-01-01 and 9999-12-31 as day numbers of TDateTime.
const Int64 kMinDay = DaysFromCivil(1, 1, 1) - kEpoch;
const Int64 kMaxDay = DaysFromCivil(9999, 12, 31) - kEpoch;

}  // namespace

bool IsValidSQLTimeStamp(const TSQLTimeStamp& ts) {
  return ts.Year >= 1 && ts.Year <= 9999 && ts.Month >= 1 && ts.Month <= 12 && ts.Day >= 1 &&
         ts.Day <= DaysInMonth(ts.Year, ts.Month) && ts.Hour < 24 && ts.Minute < 60 && ts.Second < 60 &&
         ts.Fractions < 1000;
}

bool TrySQLTimeStampToDateTime(const TSQLTimeStamp& ts, TDateTime& out) {
  if (!IsValidSQLTimeStamp(ts)) return false;
  double days = static_cast<double>(DaysFromCivil(ts.Year, ts.Month, ts.Day) - kEpoch);
  Int64 ms = ((static_cast<Int64>(ts.Hour) * 60 + ts.Minute) * 60 + ts.Second) * 1000 + ts.Fractions;
  double time = static_cast<double>(ms) / kMsPerDay;
  out = TDateTime(days < 0 ? days - time : days + time);
  return true;
}

TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& ts) {
  TDateTime dt;
  if (!TrySQLTimeStampToDateTime(ts, dt))
    throw EConvertError("Invalid time stamp %d-%d-%d %d:%d:%d.%d",
                        {ts.Year, ts.Month, ts.Day, ts.Hour, ts.Minute, ts.Second, ts.Fractions});
  return dt;
}

bool TryDateTimeToSQLTimeStamp(TDateTime dt, TSQLTimeStamp& out) {
  double v = dt.Value;
  if (!std::isfinite(v)) return false;
  double whole = std::trunc(v);
  if (whole < static_cast<double>(kMinDay) - 1 || whole > static_cast<double>(kMaxDay) + 1) return false;
  Int64 day = static_cast<Int64>(whole);
  // Before the epoch the fraction still counts forward within the day, so
  // a time that rounds to midnight is the start of the next calendar day
  // on both sides (-1.9999999999 is 1899-12-29 23:59:59.99999, which is
  // 1899-12-30, not 1899-12-28).
  Int64 ms = std::llround(std::fabs(v - whole) * kMsPerDay);
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    ++day;
  }
  if (day < kMinDay || day > kMaxDay) return false;
  int y;
  unsigned m, d;
  CivilFromDays(day + kEpoch, y, m, d);
  out.Year = static_cast<SmallInt>(y);
  out.Month = static_cast<Word>(m);
  out.Day = static_cast<Word>(d);
  out.Hour = static_cast<Word>(ms / 3'600'000);
  out.Minute = static_cast<Word>(ms / 60'000 % 60);
  out.Second = static_cast<Word>(ms / 1000 % 60);
  out.Fractions = static_cast<Cardinal>(ms % 1000);
  return true;
}

TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime dt) {
  TSQLTimeStamp ts;
  if (!TryDateTimeToSQLTimeStamp(dt, ts)) throw EConvertError("Invalid argument to time stamp conversion");
  return ts;
}
