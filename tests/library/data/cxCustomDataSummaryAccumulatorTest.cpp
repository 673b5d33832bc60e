// The exact sum of doubles: any order gives the same bits, taking a value
// out gives what never adding it gives, and the result is the exact sum
// rounded once (checked against 128-bit integer sums of scaled values).
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "library/data/cxCustomDataSummaryAccumulator.h"

namespace {

UInt64 Bits(double AValue) { return std::bit_cast<UInt64>(AValue); }

std::string Describe(const Variant& AValue) {
  if (VarType(AValue) == varDouble) return std::to_string(Bits(AValue.RawDouble()));
  return VarIsNull(AValue) ? "null" : VarToStr(AValue);
}

double SumOf(const std::vector<double>& AValues) {
  TcxExactSum sum;
  for (double v : AValues) sum.Add(v);
  return sum.Value();
}

TEST(ExactSumTest, RoundsTheExactSumOnceWhateverTheOrder) {
  std::mt19937_64 random(17);
  for (int round = 0; round < 200; ++round) {
    // k * 2^e with |k| < 2^40: the exact sum is a 128-bit integer times
    // 2^e, and its conversion to double rounds once, halves to even.
    const int exponent = static_cast<int>(random() % 2000) - 1074;
    std::vector<double> values;
    __int128 exact = 0;
    const int n = 1 + static_cast<int>(random() % 60);
    for (int i = 0; i < n; ++i) {
      const Int64 k = static_cast<Int64>(random() % (UInt64{1} << 40)) - (Int64{1} << 39);
      const int shift = static_cast<int>(random() % 60);
      const double v = std::ldexp(static_cast<double>(k), exponent + shift);
      if (!std::isfinite(v) || (v != 0 && std::fabs(v) < std::numeric_limits<double>::denorm_min())) continue;
      // Keep only values exact at this scale.
      if (std::ldexp(v, -exponent) != std::ldexp(static_cast<double>(k), shift)) continue;
      values.push_back(v);
      exact += static_cast<__int128>(k) << shift;
    }
    const double expected = std::ldexp(static_cast<double>(exact), exponent);
    if (!std::isfinite(expected)) continue;
    // A subnormal result must come from the exact scaled sum, which the
    // double conversion above already rounded: only compare normal ranges.
    if (expected != 0 && std::fabs(expected) < std::numeric_limits<double>::min() * 0x1p60) continue;
    EXPECT_EQ(Bits(SumOf(values)), Bits(expected)) << "round " << round;
    std::shuffle(values.begin(), values.end(), random);
    EXPECT_EQ(Bits(SumOf(values)), Bits(expected)) << "round " << round << " shuffled";
  }
}

// Amounts between 2^-64 and 2^32 take a short way; values above, below
// and between them in one sum still round once, in any order, and taking
// the wide ones out leaves the short way's sum alone.
TEST(ExactSumTest, CommonAmountsAndWideValuesTogetherRoundOnce) {
  std::mt19937_64 random(29);
  for (int round = 0; round < 300; ++round) {
    // k * 2^(shift - 80) with |k| < 2^20: from 2^-80 up to 2^40, exact in
    // a 128-bit integer at the scale 2^-80.
    std::vector<double> values, wide;
    __int128 exact = 0, common = 0;
    const int n = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < n; ++i) {
      const Int64 k = static_cast<Int64>(random() % (UInt64{1} << 20)) - (Int64{1} << 19);
      const int shift = static_cast<int>(random() % 101);
      const double v = std::ldexp(static_cast<double>(k), shift - 80);
      values.push_back(v);
      exact += static_cast<__int128>(k) * (static_cast<__int128>(1) << shift);
      const bool inWindow = v == 0 || (std::fabs(v) < 0x1p32 && std::ldexp(v, 64) == std::trunc(std::ldexp(v, 64)));
      if (inWindow)
        common += static_cast<__int128>(k) * (static_cast<__int128>(1) << shift);
      else
        wide.push_back(v);
    }
    const double expected = std::ldexp(static_cast<double>(exact), -80);
    EXPECT_EQ(Bits(SumOf(values)), Bits(expected)) << "round " << round;
    std::shuffle(values.begin(), values.end(), random);
    TcxExactSum sum;
    for (double v : values) sum.Add(v);
    EXPECT_EQ(Bits(sum.Value()), Bits(expected)) << "round " << round << " shuffled";
    for (double v : wide) sum.Add(v, -1);
    const double commonSum = std::ldexp(static_cast<double>(common), -80);
    EXPECT_EQ(Bits(sum.Value()), Bits(commonSum == 0 ? 0.0 : commonSum)) << "round " << round << " wide ones out";
  }
  // Far more common amounts than a 64-bit sum could hold in cents.
  TcxExactSum many;
  for (int i = 0; i < 100000; ++i) many.Add(4294967295.75);
  many.Add(0x1p-70);
  EXPECT_EQ(many.Value(), 429496729575000.0);
}

TEST(ExactSumTest, CancellationLeftToRightLosesWhatTheExactSumKeeps) {
  EXPECT_EQ(SumOf({1e100, 1.0, -1e100}), 1.0);
  // 0.1 + 0.2 - 0.3 over the doubles as they are is exactly 2^-55; left
  // to right gives 2^-54.
  EXPECT_EQ(SumOf({0.1, 0.2, -0.3}), 0x1p-55);
  EXPECT_EQ(SumOf({-0.3, 0.2, 0.1}), 0x1p-55);
  // Ties round to even: 2^53 + 1 lies halfway between 2^53 and 2^53 + 2.
  EXPECT_EQ(SumOf({0x1p53, 1.0}), 0x1p53);
  EXPECT_EQ(SumOf({0x1p53, 1.0, 0x1p-60}), 0x1p53 + 2);
  EXPECT_EQ(SumOf({0x1p53 + 2, 1.0}), 0x1p53 + 4);
  EXPECT_EQ(SumOf({0x1p53, 1.0, 0x1p-20}), 0x1p53 + 2);
  EXPECT_EQ(SumOf({-0x1p53, -1.0, -0x1p-20}), -0x1p53 - 2);
  EXPECT_EQ(SumOf({0x1p80, 0x1p27, -0x1p-10}), 0x1p80);
  // The smallest subnormals add exactly.
  const double tiny = std::numeric_limits<double>::denorm_min();
  EXPECT_EQ(SumOf({tiny, tiny, tiny}), 3 * tiny);
  EXPECT_EQ(SumOf({-tiny, 0x1p-1022}), 0x1p-1022 - tiny);
}

TEST(ExactSumTest, TakingValuesOutGivesWhatNeverAddingThemGives) {
  std::mt19937_64 random(5);
  const double samples[] = {0.1, -0.0, 1e300, -1e300, 1e-300, 7.0, -2.5, 3.75e-5, 123456.789, 0x1p-1074};
  for (int round = 0; round < 100; ++round) {
    std::vector<double> kept, removed;
    TcxExactSum sum;
    for (int i = 0; i < 40; ++i) {
      const double v = samples[random() % 10] * static_cast<double>(1 + random() % 5);
      sum.Add(v);
      (random() % 3 ? kept : removed).push_back(v);
    }
    for (double v : removed) sum.Add(v, -1);
    EXPECT_EQ(Bits(sum.Value()), Bits(SumOf(kept))) << "round " << round;
  }
}

TEST(ExactSumTest, SpecialValuesZerosAndOverflow) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(Bits(SumOf({-0.0, -0.0})), Bits(-0.0));
  EXPECT_EQ(Bits(SumOf({-0.0, 0.0})), Bits(0.0));
  EXPECT_EQ(Bits(SumOf({-1.0, 1.0})), Bits(0.0));
  EXPECT_EQ(SumOf({inf, 1.0}), inf);
  EXPECT_EQ(SumOf({-inf, 1.0}), -inf);
  EXPECT_TRUE(std::isnan(SumOf({inf, -inf})));
  EXPECT_TRUE(std::isnan(SumOf({nan, 1.0})));
  TcxExactSum sum;
  sum.Add(nan);
  sum.Add(nan, -1);
  sum.Add(2.0);
  EXPECT_EQ(sum.Value(), 2.0);
  // Beyond the range only in the middle: the exact sum is back in range.
  EXPECT_EQ(SumOf({1.5e308, 1.5e308, -1.5e308}), 1.5e308);
  TcxExactSum big;
  big.Add(1.5e308);
  big.Add(1.5e308);
  EXPECT_TRUE(big.Overflowed());
  big.Add(inf);
  EXPECT_FALSE(big.Overflowed());
}

// The accumulator gives the values the variant arithmetic gives: Integer
// while the sum fits, nulls alone summing to Integer 0, averages in Double.
TEST(SummaryAccumulatorTest, ResultsKeepTheVariantTypes) {
  TcxSummaryAccumulator a;
  a.Reset(skSum, snInteger);
  EXPECT_TRUE(VarIsNull(a.Result()));
  a.AddNull();
  EXPECT_EQ(VarType(a.Result()), varInteger);
  a.Accumulate(static_cast<Cardinal>(2147483647));
  a.Accumulate(1);
  EXPECT_EQ(VarType(a.Result()), varInt64);
  a.Remove(1);
  EXPECT_EQ(VarType(a.Result()), varInteger);

  a.Reset(skAverage, snCurrency);
  a.Accumulate(static_cast<UInt64>(Int64{15000}));
  a.AddNull();
  EXPECT_EQ(VarType(a.Result()), varDouble);
  EXPECT_EQ(a.Result().AsDouble(), 0.75);

  // A sum beyond its type shows no value; its average, which fits, shows.
  a.Reset(skSum, snCurrency);
  a.Accumulate(static_cast<UInt64>(INT64_MAX));
  a.Accumulate(1);
  EXPECT_TRUE(VarIsNull(a.Result()));
  a.Kind = skAverage;
  EXPECT_EQ(a.Result().AsDouble(), 0x1p63 / 10000 / 2);
}

TEST(SummaryAccumulatorTest, ExtremesAskForARecalculationOnlyWhenTheyMayHaveGone) {
  TcxSummaryAccumulator a;
  a.Reset(skMin, snFloat);
  for (double v : {5.0, 2.0, 2.0, 9.0}) a.Accumulate(Bits(v));
  EXPECT_TRUE(a.Remove(Bits(9.0)));
  EXPECT_TRUE(a.Remove(Bits(2.0)));   // another 2 remains
  EXPECT_FALSE(a.Remove(Bits(2.0)));  // the last one
  a.Reset(skMax, snFloat);
  a.Accumulate(Bits(0.0));
  // Equal values of other bits: the order of the records decides.
  EXPECT_FALSE(a.Insert(Bits(-0.0)));
  a.Reset(skMax, snInteger);
  a.Accumulate(3);
  EXPECT_TRUE(a.Insert(3));
  EXPECT_TRUE(a.Remove(3));
  EXPECT_EQ(a.Result().AsInteger(), 3);
}

// Out-of-order changes against the values in order: whenever Insert or
// Remove keep their answer, it is the one accumulating the new list in
// order gives (signed zeros, NaN and repeated extremes included).
TEST(SummaryAccumulatorTest, OutOfOrderChangesAgreeWithTheValuesInOrder) {
  std::mt19937 random(23);
  const double pool[] = {-0.0, 0.0, 1.0, 2.0, std::numeric_limits<double>::quiet_NaN()};
  int kept = 0;
  for (int round = 0; round < 4000; ++round) {
    const TcxSummaryKind kind = round % 2 ? skMin : skMax;
    std::vector<UInt64> values;
    for (int i = 0, n = 1 + static_cast<int>(random() % 6); i < n; ++i) values.push_back(Bits(pool[random() % 5]));
    TcxSummaryAccumulator a, b;
    a.Reset(kind, snFloat);
    for (UInt64 v : values) a.Accumulate(v);
    const size_t at = random() % values.size();
    bool same;
    if (random() % 2) {
      same = a.Remove(values[at]);
      values.erase(values.begin() + static_cast<std::ptrdiff_t>(at));
    } else {
      const UInt64 v = Bits(pool[random() % 5]);
      same = a.Insert(v);
      values.insert(values.begin() + static_cast<std::ptrdiff_t>(at), v);
    }
    if (!same) continue;
    ++kept;
    b.Reset(kind, snFloat);
    for (UInt64 v : values) b.Accumulate(v);
    EXPECT_EQ(Describe(a.Result()), Describe(b.Result())) << "round " << round;
  }
  EXPECT_GT(kept, 1000);
}

// The totals of one walk give every kind the result an accumulator taking
// the same cells in order gives: nulls counted or ignored, positions
// without a record, signed zeros, NaN, repeated extremes, sums that leave
// Integer, and ranges without a value.
TEST(SummaryTotalsTest, EveryKindAsTheAccumulatorGivesIt) {
  std::mt19937 random(31);
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double reals[] = {-0.0, 0.0, 1.5, -2.25, 1e300, 0x1p-70, nan, -nan, inf, -inf};
  const Int64 wholes[] = {0, 1, -7, 2147483647, -2147483647, 922337203685477LL};
  for (int round = 0; round < 3000; ++round) {
    const auto number = static_cast<TcxSummaryNumber>(1 + round % 3);
    const bool nullIgnore = random() % 2;
    std::vector<Byte> states;
    std::vector<UInt64> cells;
    for (int i = 0, n = static_cast<int>(random() % 8); i < n; ++i) {
      const Byte state = static_cast<Byte>(random() % 5 == 0 ? random() % 2 : 2);
      states.push_back(state);
      UInt64 cell = 0;
      if (state == 2) {
        if (number == snFloat)
          cell = Bits(reals[random() % 10]);
        else if (number == snInteger)
          cell = static_cast<Cardinal>(static_cast<Integer>(wholes[random() % 5]));
        else
          cell = static_cast<UInt64>(wholes[random() % 6]);
      }
      cells.push_back(cell);
    }
    TcxSummaryTotals totals;
    ASSERT_TRUE(totals.Walk(states.data(), cells.data(), states.size(), number, nullIgnore));
    for (TcxSummaryKind kind : {skSum, skCount, skAverage, skMin, skMax}) {
      TcxSummaryAccumulator a;
      a.Reset(kind, number);
      for (size_t k = 0; k < states.size(); ++k)
        if (states[k] == 2)
          a.Accumulate(cells[k]);
        else if (states[k] == 1 && !nullIgnore)
          a.AddNull();
      EXPECT_EQ(Describe(totals.Result(kind, number)), Describe(a.Result()))
          << "round " << round << " kind " << kind;
      TcxSummaryAccumulator run;
      run.Reset(kind, number);
      run.AccumulateRun(states.data(), cells.data(), states.size(), nullIgnore);
      EXPECT_EQ(Describe(run.Result()), Describe(a.Result())) << "round " << round << " kind " << kind;
    }
  }
  // A sum beyond its type's range is told, for the accumulator to report.
  const UInt64 huge[] = {Bits(1.5e308), Bits(1.5e308)};
  const Byte both[] = {2, 2};
  TcxSummaryTotals totals;
  EXPECT_FALSE(totals.Walk(both, huge, 2, snFloat, false));
  const UInt64 units[] = {static_cast<UInt64>(INT64_MAX), 1};
  EXPECT_FALSE(totals.Walk(both, units, 2, snCurrency, false));
}

}  // namespace
