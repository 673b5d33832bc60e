// The SQL time stamp: a calendar date and a time of day with milliseconds,
// kept as separate fields so that no binary rounding touches them.
#pragma once

#include <compare>

#include "platform/rtl/Types.h"

struct TSQLTimeStamp {
  SmallInt Year = 0;
  Word Month = 0;
  Word Day = 0;
  Word Hour = 0;
  Word Minute = 0;
  Word Second = 0;
  Cardinal Fractions = 0;  // milliseconds, 0..999

  // Field order is chronological order for valid stamps.
  constexpr bool operator==(const TSQLTimeStamp&) const = default;
  constexpr auto operator<=>(const TSQLTimeStamp&) const = default;
};

// Whether every field is in its range (years 1..9999).
bool IsValidSQLTimeStamp(const TSQLTimeStamp& ts);
// Days since 1899-12-30 plus the time as the fraction; before that day
// the time is still added as a positive fraction of the day's own length
// (1899-12-29 06:00 is -1.25). An invalid stamp raises EConvertError.
TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& ts);
bool TrySQLTimeStampToDateTime(const TSQLTimeStamp& ts, TDateTime& out);
// The nearest millisecond; a value outside years 1..9999, NaN or an
// infinity raises EConvertError.
TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime dt);
bool TryDateTimeToSQLTimeStamp(TDateTime dt, TSQLTimeStamp& out);
