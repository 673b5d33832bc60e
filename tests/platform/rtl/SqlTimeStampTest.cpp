#include <cmath>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SqlTimeStamp.h"

namespace {
TSQLTimeStamp Stamp(int y, int m, int d, int h = 0, int n = 0, int s = 0, int ms = 0) {
  return TSQLTimeStamp{static_cast<SmallInt>(y), static_cast<Word>(m), static_cast<Word>(d), static_cast<Word>(h),
                       static_cast<Word>(n), static_cast<Word>(s), static_cast<Cardinal>(ms)};
}
}  // namespace

TEST(SqlTimeStamp, ConvertsToDateTimeAroundTheEpoch) {
  struct Case {
    TSQLTimeStamp ts;
    double dt;
  } cases[] = {
      {Stamp(1899, 12, 30), 0.0},
      {Stamp(1899, 12, 30, 12), 0.5},
      {Stamp(1900, 1, 1), 2.0},
      {Stamp(2000, 2, 29, 6), 36585.25},
      // Before the epoch the time still runs forward inside its day.
      {Stamp(1899, 12, 29, 6), -1.25},
      {Stamp(1899, 12, 28, 18), -2.75},
      {Stamp(1, 1, 1), -693593.0},
      {Stamp(9999, 12, 31), 2958465.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dt);
    EXPECT_DOUBLE_EQ(SQLTimeStampToDateTime(c.ts).Value, c.dt);
    EXPECT_EQ(DateTimeToSQLTimeStamp(c.dt), c.ts);
  }
}

TEST(SqlTimeStamp, MillisecondsRoundAndCarryIntoTheNextDay) {
  TSQLTimeStamp ts = Stamp(2024, 3, 15, 13, 45, 30, 250);
  TSQLTimeStamp back = DateTimeToSQLTimeStamp(SQLTimeStampToDateTime(ts));
  EXPECT_EQ(back, ts);
  // A hair before midnight rounds to the next calendar day. Before the
  // epoch the time runs forward too: -1.9999999999 is the very end of
  // 1899-12-29, and -0.9999999999 the end of 1899-12-30.
  EXPECT_EQ(DateTimeToSQLTimeStamp(2.0 - 1e-10), Stamp(1900, 1, 1));
  EXPECT_EQ(DateTimeToSQLTimeStamp(-1.0 - (1.0 - 1e-10)), Stamp(1899, 12, 30));
  EXPECT_EQ(DateTimeToSQLTimeStamp(-(1.0 - 1e-10)), Stamp(1899, 12, 31));
  // The end of the first day of the calendar is still inside it.
  EXPECT_EQ(DateTimeToSQLTimeStamp(-693593.0 - (1.0 - 1e-10)), Stamp(1, 1, 2));
}

TEST(SqlTimeStamp, InvalidStampsAndDatesAreRefused) {
  TDateTime dt;
  EXPECT_FALSE(TrySQLTimeStampToDateTime(Stamp(2023, 2, 29), dt));
  EXPECT_TRUE(TrySQLTimeStampToDateTime(Stamp(2024, 2, 29), dt));
  EXPECT_FALSE(TrySQLTimeStampToDateTime(Stamp(2024, 13, 1), dt));
  EXPECT_FALSE(TrySQLTimeStampToDateTime(Stamp(2024, 1, 1, 24), dt));
  EXPECT_FALSE(TrySQLTimeStampToDateTime(Stamp(2024, 1, 1, 0, 0, 0, 1000), dt));
  EXPECT_FALSE(TrySQLTimeStampToDateTime(Stamp(0, 1, 1), dt));
  EXPECT_THROW(SQLTimeStampToDateTime(Stamp(2024, 4, 31)), EConvertError);
  EXPECT_THROW(DateTimeToSQLTimeStamp(3e6), EConvertError);
  EXPECT_THROW(DateTimeToSQLTimeStamp(std::nan("")), EConvertError);
}

TEST(SqlTimeStamp, FieldOrderIsChronological) {
  EXPECT_LT(Stamp(2024, 1, 31, 23, 59, 59, 999), Stamp(2024, 2, 1));
  EXPECT_LT(Stamp(2023, 12, 31), Stamp(2024, 1, 1));
  EXPECT_EQ(Stamp(2024, 1, 1, 1), Stamp(2024, 1, 1, 1));
}
