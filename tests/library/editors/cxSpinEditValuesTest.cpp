// The spin editor's value rules, as tables: which bounds are in force and
// how they round, what a text reads as, which values pass as they are, and
// one step in each of the three ways of meeting a bound, up to the 64-bit
// extremes. A seeded random walk compares every step with the same rules
// computed directly in wider arithmetic; under the sanitizers no step may
// overflow on the way.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "library/editors/EditorSession.h"
#include "library/editors/cxSpinEdit.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/Owned.h"

namespace {

constexpr Int64 kMin = std::numeric_limits<Int64>::min();
constexpr Int64 kMax = std::numeric_limits<Int64>::max();

// A kind that stops at a bound instead of extending to it.
class TStoppingSpinProperties : public TcxSpinEditProperties {
  ORV_CLASS(TStoppingSpinProperties, TcxSpinEditProperties)
 public:
  using TcxSpinEditProperties::TcxSpinEditProperties;
  bool ExtendValueUpToBound() override { return false; }
};

}  // namespace

ORV_REGISTER(TStoppingSpinProperties)

namespace {

std::string Show(const Variant& V) {
  if (VarIsNull(V)) return "<null>";
  if (VarType(V) == varInt64) return "int " + std::to_string(V.AsInt64());
  if (VarType(V) == varDouble) return "float " + std::string(VarToStr(V));
  return "other " + std::string(VarToStr(V));
}

struct Bounds {
  bool HasMin = false;
  double Min = 0;
  bool HasMax = false;
  double Max = 0;
};

class SpinValues : public ::testing::Test, public edit_test::EditorSession {
 protected:
  TOwned<TcxSpinEditProperties> Make(TcxSpinEditValueType AType, Bounds ABounds = {},
                                     TcxSpinBoundsCheckingKind AKind = bckExtendToBound) {
    TcxSpinEditProperties* p = AKind == bckDoNotExceed ? New<TStoppingSpinProperties>(nullptr)
                                                       : New<TcxSpinEditProperties>(nullptr);
    p->SetValueType(AType);
    if (ABounds.HasMin) p->SetMinValue(ABounds.Min);
    if (ABounds.HasMax) p->SetMaxValue(ABounds.Max);
    p->SetCircular(AKind == bckCircular);
    return TOwned<TcxSpinEditProperties>(p);
  }
  // The value after one step, or "none".
  static std::string Step(TcxSpinEditProperties* P, const Variant& V, TcxSpinEditButton B, const Variant& D) {
    Variant result;
    return P->CalculateStep(V, B, D, result) ? Show(result) : "none";
  }
};

TEST_F(SpinValues, BoundsInForceFollowWhatWasAssignedAndRoundHalvesToEvenForIntegers) {
  struct Row {
    const char* Name;
    TcxSpinEditValueType Type;
    Bounds B;
    std::string Min, Max;
  };
  const Row rows[] = {
      {"nothing assigned", vtInt, {}, "int -9223372036854775808", "int 9223372036854775807"},
      {"only max 50", vtInt, {false, 0, true, 50}, "int 0", "int 50"},
      {"only max -5", vtInt, {false, 0, true, -5}, "int -9223372036854775808", "int -5"},
      {"min = max = 5", vtInt, {true, 5, true, 5}, "int -9223372036854775808", "int 9223372036854775807"},
      {"2.5 and 3.5", vtInt, {true, 2.5, true, 3.5}, "int 2", "int 4"},
      {"0.5 and 1e30", vtInt, {true, 0.5, true, 1e30}, "int 0", "int 9223372036854775807"},
      {"decimal nothing", vtFloat, {}, "float -1.7E308", "float 1.7E308"},
      {"decimal bounds", vtFloat, {true, -0.5, true, 2.25}, "float -0.5", "float 2.25"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    auto p = Make(row.Type, row.B);
    EXPECT_EQ(Show(p->InternalMinValue()), row.Min);
    EXPECT_EQ(Show(p->InternalMaxValue()), row.Max);
  }
  // Without an assigned type the bound data decides; without data, decimals.
  TOwned<TcxSpinEditProperties> free(New<TcxSpinEditProperties>(nullptr));
  EXPECT_EQ(free->GetValueType(), vtFloat);
}

TEST_F(SpinValues, OneStepMeetsABoundInEachOfTheThreeWaysUpToThe64BitExtremes) {
  struct Row {
    const char* Name;
    TcxSpinEditValueType Type;
    Bounds B;
    TcxSpinBoundsCheckingKind Kind;
    Variant Value;
    TcxSpinEditButton Button;
    Variant Increment;
    std::string Result;
  };
  const Bounds ten{true, 0, true, 10};
  const Row rows[] = {
      {"max forward stays", vtInt, {}, bckExtendToBound, Variant(kMax), sebForward, Variant(Int64(1)),
       "int 9223372036854775807"},
      {"min backward stays", vtInt, {}, bckExtendToBound, Variant(kMin), sebBackward, Variant(Int64(-1)),
       "int -9223372036854775808"},
      {"max forward stops", vtInt, {}, bckDoNotExceed, Variant(kMax), sebForward, Variant(Int64(1)), "none"},
      {"max forward wraps", vtInt, {}, bckCircular, Variant(kMax), sebForward, Variant(Int64(1)),
       "int -9223372036854775808"},
      {"a huge step from min", vtInt, {}, bckExtendToBound, Variant(kMin), sebFastForward, Variant(kMax),
       "int -1"},
      {"a huge step past max", vtInt, {}, bckExtendToBound, Variant(Int64(1)), sebFastForward, Variant(kMax),
       "int 9223372036854775807"},
      {"10 + 1 wraps", vtInt, ten, bckCircular, Variant(Int64(10)), sebForward, Variant(Int64(1)), "int 0"},
      {"10 + 1 stays", vtInt, ten, bckExtendToBound, Variant(Int64(10)), sebForward, Variant(Int64(1)), "int 10"},
      {"1 - 3 wraps", vtInt, ten, bckCircular, Variant(Int64(1)), sebBackward, Variant(Int64(-3)), "int 9"},
      {"9 + 3 wraps", vtInt, ten, bckCircular, Variant(Int64(9)), sebForward, Variant(Int64(3)), "int 1"},
      // More than one turn still lands within the bounds.
      {"1 - 30 wraps", vtInt, ten, bckCircular, Variant(Int64(1)), sebBackward, Variant(Int64(-30)), "int 4"},
      {"5 + 1000 wraps", vtInt, ten, bckCircular, Variant(Int64(5)), sebFastForward, Variant(Int64(1000)), "int 4"},
      {"8 + 5 extends", vtInt, ten, bckExtendToBound, Variant(Int64(8)), sebForward, Variant(Int64(5)), "int 10"},
      {"8 + 5 stops", vtInt, ten, bckDoNotExceed, Variant(Int64(8)), sebForward, Variant(Int64(5)), "none"},
      {"below, forward", vtInt, ten, bckExtendToBound, Variant(Int64(-5)), sebForward, Variant(Int64(1)), "int 0"},
      {"below, backward", vtInt, ten, bckExtendToBound, Variant(Int64(-5)), sebBackward, Variant(Int64(-1)), "none"},
      {"below, backward circular", vtInt, ten, bckCircular, Variant(Int64(-5)), sebBackward, Variant(Int64(-1)),
       "int 10"},
      {"above, forward", vtInt, ten, bckExtendToBound, Variant(Int64(15)), sebForward, Variant(Int64(1)), "none"},
      {"above, backward", vtInt, ten, bckExtendToBound, Variant(Int64(15)), sebBackward, Variant(Int64(-1)),
       "int 10"},
      {"decimal wraps", vtFloat, ten, bckCircular, Variant(9.5), sebForward, Variant(2.0), "float 0.5"},
      {"decimal limit", vtFloat, {}, bckExtendToBound, Variant(1.7e308), sebFastForward, Variant(1e308),
       "float 1.7E308"},
      {"decimal from the bottom", vtFloat, {}, bckExtendToBound, Variant(-1.7e308), sebFastForward,
       Variant(1.7e308), "float 0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    auto p = Make(row.Type, row.B, row.Kind);
    EXPECT_EQ(Step(p.get(), row.Value, row.Button, row.Increment), row.Result);
  }
}

TEST_F(SpinValues, TextReadsAsTheWholeNumberOfTheTypeInTheLocale) {
  auto integers = Make(vtInt);
  auto decimals = Make(vtFloat);
  struct Row {
    TcxSpinEditProperties* P;
    const char* Text;
    std::string Value;
  };
  const Row rows[] = {
      {integers.get(), "12", "int 12"},
      {integers.get(), "-9223372036854775808", "int -9223372036854775808"},
      {integers.get(), "9223372036854775808", "<null>"},
      {integers.get(), "1e3", "<null>"},
      {integers.get(), "1.5", "<null>"},
      {integers.get(), "12a", "<null>"},
      {decimals.get(), "1e5", "float 100000"},
      {decimals.get(), "-2.5", "float -2.5"},
      {decimals.get(), "1e400", "<null>"},
      {decimals.get(), "1.8e308", "<null>"},
      {decimals.get(), "abc", "<null>"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Text);
    Variant value(Int64(99));
    row.P->TryTextToValue(row.Text, value);
    EXPECT_EQ(Show(value), row.Value);
  }
  // Decimal text and the plain text of a read value follow the locale.
  ScopedLocale de("de-DE");
  Variant value;
  EXPECT_TRUE(decimals->TryTextToValue("1,5", value));
  EXPECT_EQ(Show(value), "float 1,5");
  EXPECT_FALSE(decimals->TryTextToValue("1.5", value));
  Variant text("1e5");
  EXPECT_TRUE(decimals->IsDisplayValueValid(text, true));
  EXPECT_EQ(VarToStr(text), "100000");
}

TEST_F(SpinValues, NumbersAreCheckedAsNumbersSoADecimalKeepsEveryDigitAndAnIntegerMustBeWhole) {
  auto integers = Make(vtInt);
  auto decimals = Make(vtFloat);
  const double sum = 0.1 + 0.2;  // 0.30000000000000004: more digits than a text shows
  Variant v(sum);
  ASSERT_TRUE(decimals->IsEditValueValid(v, true));
  EXPECT_EQ(v.AsDouble(), sum);
  struct Row {
    TcxSpinEditProperties* P;
    Variant Value;
    std::string Result;  // "invalid" or the value it becomes
  };
  const Row rows[] = {
      {integers.get(), Variant(1.5), "invalid"},
      {integers.get(), Variant(3.0), "int 3"},
      {integers.get(), Variant(Integer(7)), "int 7"},
      {integers.get(), Variant(1e19), "invalid"},
      {integers.get(), Variant("12"), "int 12"},
      {integers.get(), Variant("1.5"), "invalid"},
      {integers.get(), Variant(true), "invalid"},
      {integers.get(), Null(), "<null>"},
      {decimals.get(), Variant(1.75e308), "invalid"},
      {decimals.get(), Variant(kMax), "float 9.22337203685478E18"},
      {decimals.get(), Variant("1e400"), "invalid"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Show(row.Value));
    Variant value = row.Value;
    EXPECT_EQ(row.P->IsEditValueValid(value, true) ? Show(value) : "invalid", row.Result);
  }
}

// The rules of one step written out directly in 128-bit arithmetic.
std::string ReferenceStep(Int64 V, Int64 D, Int64 AMin, Int64 AMax, TcxSpinBoundsCheckingKind AKind, bool AForward) {
  auto show = [](__int128 r) { return "int " + std::to_string(static_cast<Int64>(r)); };
  if (V < AMin) return AForward ? show(AMin) : AKind == bckCircular ? show(AMax) : "none";
  if (V > AMax) return !AForward ? show(AMax) : AKind == bckCircular ? show(AMin) : "none";
  const __int128 t = static_cast<__int128>(V) + D;
  if (t >= AMin && t <= AMax) return show(t);
  if (AKind == bckDoNotExceed) return "none";
  if (AKind == bckExtendToBound) return show(t < AMin ? AMin : AMax);
  const __int128 ring = static_cast<__int128>(AMax) - AMin + 1;
  __int128 m = (t - AMin) % ring;
  if (m < 0) m += ring;
  return show(AMin + m);
}

TEST_F(SpinValues, ARandomWalkOfStepsMatchesTheRulesComputedInWiderArithmetic) {
  std::mt19937_64 random(20240517);
  const Int64 interesting[] = {kMin, kMin + 1, -1000, -1, 0, 1, 1000, kMax - 1, kMax};
  auto pick = [&]() -> Int64 {
    switch (random() % 3) {
      case 0: return interesting[random() % std::size(interesting)];
      case 1: return static_cast<Int64>(random());
      default: return static_cast<Int64>(random() % 2001) - 1000;
    }
  };
  const TcxSpinBoundsCheckingKind kinds[] = {bckDoNotExceed, bckExtendToBound, bckCircular};
  int checked = 0;
  for (int round = 0; round < 300; ++round) {
    const TcxSpinBoundsCheckingKind kind = kinds[round % 3];
    Int64 lo = pick(), hi = pick();
    if (lo > hi) std::swap(lo, hi);
    Bounds b;
    if (round % 5 != 0 && lo < hi) b = {true, static_cast<double>(lo), true, static_cast<double>(hi)};
    auto p = Make(vtInt, b, kind);
    const Int64 min = p->InternalMinValue().AsInt64(), max = p->InternalMaxValue().AsInt64();
    Int64 value = pick();
    for (int i = 0; i < 40; ++i) {
      const bool forward = random() % 2 == 0;
      Int64 step = pick();
      if (step == kMin) step = kMin + 1;
      step = forward ? (step < 0 ? -step : step) : (step > 0 ? -step : step);
      const TcxSpinEditButton button = forward ? sebForward : sebBackward;
      const std::string expected = ReferenceStep(value, step, min, max, kind, forward);
      const std::string actual = Step(p.get(), Variant(value), button, Variant(step));
      ASSERT_EQ(actual, expected) << "value " << value << " step " << step << " bounds " << min << ".." << max;
      ++checked;
      if (actual != "none") value = std::stoll(actual.substr(4));
    }
  }
  EXPECT_EQ(checked, 300 * 40);
}

TEST_F(SpinValues, ARandomWalkOfDecimalStepsStaysExactWhereDoublesAreExact) {
  std::mt19937_64 random(77);
  auto quarter = [&](Int64 ARange) { return static_cast<double>(static_cast<Int64>(random() % (2 * ARange + 1)) - ARange) / 4; };
  const TcxSpinBoundsCheckingKind kinds[] = {bckDoNotExceed, bckExtendToBound, bckCircular};
  for (int round = 0; round < 60; ++round) {
    const TcxSpinBoundsCheckingKind kind = kinds[round % 3];
    double lo = quarter(4000), hi = quarter(4000);
    if (lo >= hi) std::swap(lo, hi);
    if (lo == hi) hi += 1;
    auto p = Make(vtFloat, {true, lo, true, hi}, kind);
    double value = quarter(8000);
    for (int i = 0; i < 40; ++i) {
      const bool forward = random() % 2 == 0;
      const double step = std::abs(quarter(20000)) * (forward ? 1 : -1);
      long double expectedValue = 0;
      std::string expected;
      if (value < lo) expected = forward ? "=lo" : kind == bckCircular ? "=hi" : "none";
      else if (value > hi) expected = !forward ? "=hi" : kind == bckCircular ? "=lo" : "none";
      if (!expected.empty()) {
        if (expected == "=lo") expectedValue = lo;
        if (expected == "=hi") expectedValue = hi;
      } else {
        const long double t = static_cast<long double>(value) + step;
        if (t >= lo && t <= hi) expectedValue = t;
        else if (kind == bckDoNotExceed) expected = "none";
        else if (kind == bckExtendToBound) expectedValue = t < lo ? lo : hi;
        else {
          expectedValue = lo + std::fmod(std::fmod(t - lo, hi - lo + 1) + (hi - lo + 1), hi - lo + 1);
          // Between the last value and the next turn's first: the bound
          // the step heads for.
          if (expectedValue > hi) expectedValue = forward ? lo : hi;
        }
      }
      Variant result;
      const bool stepped = p->CalculateStep(Variant(value), forward ? sebForward : sebBackward, Variant(step), result);
      ASSERT_EQ(stepped, expected != "none") << value << " " << step;
      if (!stepped) continue;
      ASSERT_EQ(result.AsDouble(), static_cast<double>(expectedValue)) << value << " " << step << " " << lo << ".." << hi;
      ASSERT_GE(result.AsDouble(), lo);
      ASSERT_LE(result.AsDouble(), hi);
      value = result.AsDouble();
    }
  }
}

}  // namespace
