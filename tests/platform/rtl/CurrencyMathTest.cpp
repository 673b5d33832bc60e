#include <cmath>
#include <limits>

#include "platform/rtl/CurrencyMath.h"
#include "platform/rtl/Exceptions.h"

namespace {
Currency Units(Int64 raw) { return Currency::FromRaw(raw); }
}  // namespace

TEST(CurrencyMath, DoubleConversionRoundsTheExactValueHalvesToEven) {
  struct Case {
    double in;
    Int64 units;
  } cases[] = {
      {1.23, 12300},         // 1.2299999999999999822 is nearest to 12300 units
      {0.03125, 312},        // exactly 312.5 units: even neighbour below
      {0.09375, 938},        // exactly 937.5 units: even neighbour above
      {-0.03125, -312},
      {-0.09375, -938},
      {0.00005, 1},          // the double lies a hair above the half
      {0.00015, 1},          // and this one a hair below
      {-2.5, -25000},
      {0.0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(CurrFromDouble(c.in).Value, c.units) << c.in;
}

TEST(CurrencyMath, DoubleConversionRefusesWhatDoesNotFit) {
  EXPECT_THROW(CurrFromDouble(1e15), EOverflow);
  EXPECT_THROW(CurrFromDouble(-1e15), EOverflow);
  EXPECT_THROW(CurrFromDouble(std::numeric_limits<double>::infinity()), EOverflow);
  EXPECT_THROW(CurrFromDouble(std::nan("")), EOverflow);
  EXPECT_EQ(CurrFromDouble(922337203685477.0).Value, 9223372036854770000);
  Currency c;
  EXPECT_FALSE(TryCurrFromDouble(1e300, c));
}

TEST(CurrencyMath, IntegerConversionsBothWays) {
  EXPECT_EQ(CurrFromInt64(-7).Value, -70000);
  EXPECT_THROW(CurrFromInt64(922337203685478), EOverflow);
  EXPECT_EQ(CurrToInt64(Units(25000)), 2);    // 2.5 -> 2
  EXPECT_EQ(CurrToInt64(Units(35000)), 4);    // 3.5 -> 4
  EXPECT_EQ(CurrToInt64(Units(-25000)), -2);
  EXPECT_EQ(CurrToInt64(Units(-25001)), -3);
  EXPECT_EQ(CurrToDouble(Units(1000)), 0.1);  // the double nearest to 0.1
}

TEST(CurrencyMath, ArithmeticIsExactAndRoundsProductsAndQuotients) {
  EXPECT_EQ((Units(15000) + Units(2500)).Value, 17500);
  EXPECT_EQ((Units(15000) - Units(25000)).Value, -10000);
  EXPECT_EQ((-Units(5)).Value, -5);
  // 1.5 * 2.5 = 3.75 exactly.
  EXPECT_EQ((Units(15000) * Units(25000)).Value, 37500);
  // 0.0001 * 0.5 = 0.00005: a tie between 0 and 0.0001, even is 0.
  EXPECT_EQ((Units(1) * Units(5000)).Value, 0);
  // 0.0003 * 0.5 = 0.00015: a tie, even is 0.0002.
  EXPECT_EQ((Units(3) * Units(5000)).Value, 2);
  // 1 / 3 = 0.3333; 2 / 3 = 0.6667.
  EXPECT_EQ((Units(10000) / Units(30000)).Value, 3333);
  EXPECT_EQ((Units(20000) / Units(30000)).Value, 6667);
  EXPECT_EQ((Units(-20000) / Units(30000)).Value, -6667);
  EXPECT_EQ((Units(12345) * Int64{3}).Value, 37035);
  EXPECT_EQ((Units(10000) / Int64{8}).Value, 1250);
  EXPECT_EQ((Units(1) / Int64{2}).Value, 0);  // 0.00005 ties to even
  Currency sum = Units(1);
  sum += Units(2);
  sum *= Units(20000);
  EXPECT_EQ(sum.Value, 6);
}

TEST(CurrencyMath, OverflowAndDivisionByZeroAreReported) {
  Currency max = Units(INT64_MAX);
  EXPECT_THROW(max + Units(1), EOverflow);
  EXPECT_THROW(Units(INT64_MIN) - Units(1), EOverflow);
  EXPECT_THROW(-Units(INT64_MIN), EOverflow);
  EXPECT_THROW(max * Units(20000), EOverflow);
  EXPECT_THROW(max * Int64{2}, EOverflow);
  EXPECT_THROW(Units(10000) / Units(0), EZeroDivide);
  EXPECT_THROW(Units(10000) / Int64{0}, EZeroDivide);
  // A product whose intermediate exceeds 64 bits but whose result fits.
  EXPECT_EQ((Units(900000000000000000) * Units(100)).Value, 9000000000000000);
}
