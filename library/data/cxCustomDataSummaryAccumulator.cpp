#include "library/data/cxCustomDataSummaryAccumulator.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>

namespace {

constexpr Int64 cxDigitMask = 0xFFFFFFFF;
// Additions a limb takes before its carries are settled: each adds less
// than 2^32, so a limb stays below 2^62.
constexpr Integer cxMaxPendingAdds = 1 << 30;

// A Float sum beyond the double range is read this much smaller, which
// keeps any sum of up to 2^31 doubles, divided by its count, a normal double.
constexpr Integer cxBeyondScale = 64;

double RealOf(UInt64 ARaw) { return std::bit_cast<double>(ARaw); }
Int64 WholeOf(TcxSummaryNumber ANumber, UInt64 ARaw) {
  // Integer cells are 4 bytes; Currency cells are the 8-byte units.
  return ANumber == snInteger ? static_cast<Int64>(static_cast<Integer>(static_cast<Cardinal>(ARaw)))
                              : static_cast<Int64>(ARaw);
}

}  // namespace

// ---------------------------------------------------------------------------
// The exact sum

void TcxExactSum::Clear() {
  FWindow = 0;
  FWindowAdds = 0;
  FLimbs.clear();
  FLow = 0;
  FTop = 0;
  FPending = 0;
  FNaNs = FPositiveInfinities = FNegativeInfinities = FFinite = FNegativeZeros = 0;
}

void TcxExactSum::Reach(Integer ALow, Integer AHigh) {
  // A zero sum has no digits and may start anywhere.
  if (FLimbs.empty() && FTop == 0) FLow = ALow;
  if (ALow < FLow) {
    FLimbs.insert(FLimbs.begin(), static_cast<size_t>(FLow - ALow), 0);
    FLow = ALow;
  }
  const Integer high = FLow + static_cast<Integer>(FLimbs.size()) - 1;
  // Digits above the window repeat the sign.
  if (AHigh > high) FLimbs.insert(FLimbs.end(), static_cast<size_t>(AHigh - high), FTop & cxDigitMask);
}

void TcxExactSum::Add(double AValue, int ASign) {
  if (std::isnan(AValue)) {
    FNaNs += ASign;
    return;
  }
  if (std::isinf(AValue)) {
    (AValue > 0 ? FPositiveInfinities : FNegativeInfinities) += ASign;
    return;
  }
  FFinite += ASign;
  if (AValue == 0) {
    if (std::signbit(AValue)) FNegativeZeros += ASign;
    return;
  }
  const UInt64 bits = std::bit_cast<UInt64>(AValue);
  const Integer exponent = static_cast<Integer>((bits >> 52) & 0x7FF);
  UInt64 mantissa = bits & ((UInt64{1} << 52) - 1);
  const bool negative = std::signbit(AValue) != (ASign < 0);
  // The value is mantissa * 2^(position - 1074).
  Integer position = 0;
  if (exponent != 0) {
    mantissa |= UInt64{1} << 52;
    position = exponent - 1;
  }
  // In window units (2^-64) the value is mantissa * 2^shift; below 2^32 the
  // shift is at most 43, and a negative one must drop only zero bits.
  const Integer shift = position - 1010;
  if (exponent != 0 && shift <= 43 && (shift >= 0 || std::countr_zero(mantissa) >= -shift)) {
    if (FWindowAdds >= cxMaxPendingAdds) FoldWindow();
    const unsigned __int128 fixed =
        shift >= 0 ? static_cast<unsigned __int128>(mantissa) << shift : mantissa >> -shift;
    FWindow += negative ? -static_cast<__int128>(fixed) : static_cast<__int128>(fixed);
    ++FWindowAdds;
    return;
  }
  AddToLimbs(mantissa, position, negative);
}

void TcxExactSum::AddToLimbs(UInt64 AMantissa, Integer APosition, bool ANegative) {
  const UInt64 mantissa = AMantissa;
  const Integer position = APosition;
  const bool negative = ANegative;
  const Integer digit = position / 32;
  const unsigned __int128 shifted = static_cast<unsigned __int128>(mantissa) << (position % 32);
  const Int64 pieces[3] = {static_cast<Int64>(shifted & cxDigitMask), static_cast<Int64>((shifted >> 32) & cxDigitMask),
                           static_cast<Int64>(shifted >> 64)};
  if (FPending >= cxMaxPendingAdds) Normalize();
  Reach(digit, digit + 2);
  Int64* limbs = &FLimbs[static_cast<size_t>(digit - FLow)];
  for (int k = 0; k < 3; ++k) limbs[k] += negative ? -pieces[k] : pieces[k];
  ++FPending;
}

void TcxExactSum::FoldWindow() {
  // The window's lowest bit is 2^-64, bit 1010 of the limbs' fixed point:
  // its magnitude goes in as mantissas of up to 53 bits at their places.
  const bool negative = FWindow < 0;
  unsigned __int128 magnitude =
      negative ? -static_cast<unsigned __int128>(FWindow) : static_cast<unsigned __int128>(FWindow);
  FWindow = 0;
  FWindowAdds = 0;
  for (Integer position = 1010; magnitude != 0; position += 52, magnitude >>= 52) {
    const UInt64 part = static_cast<UInt64>(magnitude) & ((UInt64{1} << 52) - 1);
    if (part != 0) AddToLimbs(part, position, negative);
  }
}

void TcxExactSum::Normalize() {
  Int64 carry = 0;
  for (Int64& limb : FLimbs) {
    const Int64 v = limb + carry;
    limb = v & cxDigitMask;
    carry = v >> 32;
  }
  carry += FTop;
  while (carry != 0 && carry != -1) {
    FLimbs.push_back(carry & cxDigitMask);
    carry >>= 32;
  }
  FTop = carry;
  const Int64 sign = FTop & cxDigitMask;
  while (!FLimbs.empty() && FLimbs.back() == sign) FLimbs.pop_back();
  size_t zeros = 0;
  while (zeros < FLimbs.size() && FLimbs[zeros] == 0) ++zeros;
  FLimbs.erase(FLimbs.begin(), FLimbs.begin() + static_cast<std::ptrdiff_t>(zeros));
  FLow += static_cast<Integer>(zeros);
  FPending = 0;
}

bool TcxExactSum::Bit(std::span<const Int64> ADigits, Int64 AIndex) const {
  const Int64 k = (AIndex >> 5) - FLow;
  if (AIndex < 0 || k < 0 || k >= static_cast<Int64>(ADigits.size())) return false;
  return (ADigits[static_cast<size_t>(k)] >> (AIndex & 31)) & 1;
}

double TcxExactSum::Value(Integer AScaleDown) {
  if (FNaNs > 0 || (FPositiveInfinities > 0 && FNegativeInfinities > 0))
    return std::numeric_limits<double>::quiet_NaN();
  if (FPositiveInfinities > 0) return std::numeric_limits<double>::infinity();
  if (FNegativeInfinities > 0) return -std::numeric_limits<double>::infinity();
  // A window alone converts with one rounding, halves to even; scaling by
  // 2^-64 is exact, the result being at least that.
  if (FLimbs.empty() && FTop == 0) {
    if (FWindow != 0) return std::ldexp(static_cast<double>(FWindow), -64 - AScaleDown);
  } else if (FWindow != 0) {
    FoldWindow();
  }
  Normalize();
  if (FLimbs.empty() && FTop == 0) return FFinite > 0 && FNegativeZeros == FFinite ? -0.0 : 0.0;
  // Up to three digits (and the sign) make a 128-bit integer, whose
  // conversion rounds once, halves to even; scaling it is exact while its
  // lowest digit weighs at least the smallest normal double.
  const Int64 scale = 32 * static_cast<Int64>(FLow) - 1074 - AScaleDown;
  if (FLimbs.size() <= 3 && scale >= -1022) {
    __int128 whole = FTop;
    for (auto it = FLimbs.rbegin(); it != FLimbs.rend(); ++it) whole = whole * (Int64{1} << 32) + *it;
    return std::ldexp(static_cast<double>(whole), static_cast<int>(scale));
  }
  // The magnitude, one digit wider for the negative sign's carry.
  const bool negative = FTop < 0;
  // The window never grows past the double range plus the carries'
  // headroom: about 70 digits.
  std::array<Int64, 80> buffer;
  const std::span<Int64> digits(buffer.data(), FLimbs.size() + 1);
  std::copy(FLimbs.begin(), FLimbs.end(), digits.begin());
  digits.back() = FTop & cxDigitMask;
  if (negative) {
    Int64 carry = 1;
    for (Int64& d : digits) {
      const Int64 v = (d ^ cxDigitMask) + carry;
      d = v & cxDigitMask;
      carry = v >> 32;
    }
  }
  size_t high = digits.size() - 1;
  while (digits[high] == 0) --high;
  const Int64 top = 32 * (static_cast<Int64>(FLow) + static_cast<Int64>(high)) + 31 -
                    std::countl_zero(static_cast<Cardinal>(digits[high]));
  // The 53 bits from the top, then the round bit and whether any bit below it is set.
  const Int64 lowest = std::max<Int64>(top - 52, 0);
  UInt64 q = 0;
  for (Int64 b = top; b >= lowest; --b) q = (q << 1) | (Bit(digits, b) ? 1 : 0);
  if (top > 52 && Bit(digits, top - 53)) {
    const Int64 below = top - 54;
    bool sticky = false;
    for (size_t k = 0; k < digits.size() && !sticky && below >= 0; ++k) {
      const Int64 first = 32 * (static_cast<Int64>(FLow) + static_cast<Int64>(k));
      if (first > below) break;
      const Int64 bitsIn = std::min<Int64>(below - first + 1, 32);
      sticky = (digits[k] & ((Int64{1} << bitsIn) - 1)) != 0;
    }
    if (sticky || (q & 1)) ++q;
  }
  const double magnitude = std::ldexp(static_cast<double>(q), static_cast<int>(lowest - 1074 - AScaleDown));
  return negative ? -magnitude : magnitude;
}

bool TcxExactSum::Overflowed() {
  if (FNaNs > 0 || FPositiveInfinities > 0 || FNegativeInfinities > 0) return false;
  return std::isinf(Value());
}

// ---------------------------------------------------------------------------
// An item's accumulation

void TcxSummaryAccumulator::Reset(TcxSummaryKind AKind, TcxSummaryNumber ANumber) {
  Kind = AKind;
  Number = ANumber;
  Count = Nulls = Values = 0;
  Whole = 0;
  Real.Clear();
  ExtremeWhole = 0;
  ExtremeReal = 0;
  ExtremeCount = 0;
  Ties = 0;
  NaNs = 0;
}

namespace {

// How a value stands to the extreme: 1 beyond it, 0 the same bits, -1
// short of it, 2 equal with other bits or unordered (signed zeros, NaN).
int Against(const TcxSummaryAccumulator& A, UInt64 ARaw) {
  const bool min = A.Kind == skMin;
  if (A.Number == snFloat) {
    const double v = RealOf(ARaw);
    if (min ? v < A.ExtremeReal : v > A.ExtremeReal) return 1;
    if (min ? A.ExtremeReal < v : A.ExtremeReal > v) return -1;
    return ARaw == std::bit_cast<UInt64>(A.ExtremeReal) ? 0 : 2;
  }
  const Int64 v = WholeOf(A.Number, ARaw);
  if (v == A.ExtremeWhole) return 0;
  return (min ? v < A.ExtremeWhole : v > A.ExtremeWhole) ? 1 : -1;
}

void SetExtreme(TcxSummaryAccumulator& A, UInt64 ARaw) {
  if (A.Number == snFloat)
    A.ExtremeReal = RealOf(ARaw);
  else
    A.ExtremeWhole = WholeOf(A.Number, ARaw);
  A.ExtremeCount = 1;
  A.Ties = 0;
}

}  // namespace

void TcxSummaryAccumulator::Accumulate(UInt64 ARaw) {
  ++Count;
  ++Values;
  switch (Kind) {
    case skSum:
    case skAverage:
      if (Number == snFloat)
        Real.Add(RealOf(ARaw));
      else
        Whole += WholeOf(Number, ARaw);
      break;
    case skMin:
    case skMax:
      if (Number == snFloat && std::isnan(RealOf(ARaw))) ++NaNs;
      if (Values == 1) {
        SetExtreme(*this, ARaw);
      } else {
        // The first of equal extremes stays.
        switch (Against(*this, ARaw)) {
          case 1: SetExtreme(*this, ARaw); break;
          case 0: ++ExtremeCount; break;
          case 2: ++Ties; break;
          default: break;
        }
      }
      break;
    default:
      break;
  }
}

void TcxSummaryAccumulator::AccumulateRun(const Byte* AStates, const UInt64* ACells, size_t ACount,
                                          bool ANullIgnore) {
  // Sums and counts do not depend on the order: a loop per kind and number
  // type. Min and Max keep the first of equal extremes: value by value.
  Integer values = 0, nulls = 0;
  switch (Kind) {
    case skSum:
    case skAverage:
      for (size_t k = 0; k < ACount; ++k) {
        if (AStates[k] == 2) {
          ++values;
          if (Number == snFloat)
            Real.Add(RealOf(ACells[k]));
          else
            Whole += WholeOf(Number, ACells[k]);
        } else {
          nulls += AStates[k];
        }
      }
      break;
    case skMin:
    case skMax:
      for (size_t k = 0; k < ACount; ++k) {
        if (AStates[k] == 2)
          Accumulate(ACells[k]);
        else if (AStates[k] == 1 && !ANullIgnore)
          AddNull();
      }
      return;
    default:
      for (size_t k = 0; k < ACount; ++k) {
        values += AStates[k] >> 1;
        nulls += AStates[k] & 1;
      }
      break;
  }
  if (ANullIgnore) nulls = 0;
  Count += values + nulls;
  Values += values;
  Nulls += nulls;
}

bool TcxSummaryAccumulator::Insert(UInt64 ARaw) {
  if (Kind != skMin && Kind != skMax) {
    Accumulate(ARaw);
    return true;
  }
  ++Count;
  ++Values;
  // An extreme that is NaN was the first value; a NaN coming is unordered.
  if (Number == snFloat && (std::isnan(RealOf(ARaw)) || (Values > 1 && std::isnan(ExtremeReal)))) return false;
  if (Values == 1) {
    SetExtreme(*this, ARaw);
    return true;
  }
  switch (Against(*this, ARaw)) {
    case 1: SetExtreme(*this, ARaw); return true;
    case 0: ++ExtremeCount; return true;
    case -1: return true;
    default: return false;
  }
}

bool TcxSummaryAccumulator::Remove(UInt64 ARaw) {
  --Count;
  --Values;
  switch (Kind) {
    case skSum:
    case skAverage:
      if (Number == snFloat)
        Real.Add(RealOf(ARaw), -1);
      else
        Whole -= WholeOf(Number, ARaw);
      return true;
    case skMin:
    case skMax:
      if (Values == 0) return true;
      // Any value may have been the first, which decides while NaN follow.
      if (NaNs > 0) return false;
      // The extreme stays while the value was short of it, or was one of
      // several copies of it with no equal value of other bits.
      switch (Against(*this, ARaw)) {
        case -1: return true;
        case 0: return Ties == 0 && --ExtremeCount > 0;
        default: return false;
      }
    default:
      return true;
  }
}

namespace {

// An average over a sum its type cannot hold: the in-range formula (the
// sum as a double divided by the count) on the wider sum, Null when even
// that is beyond the double range. A Sum item shows no value.
Variant BeyondRange(TcxSummaryKind AKind, double AAverage) {
  if (AKind != skAverage || std::isinf(AAverage)) return Null();
  return Variant(AAverage);
}

// The value of an item from what it gathered; ARealSum is the rounded
// exact sum of Float values, scaled down by 2^cxBeyondScale when
// ARealBeyond (the sum is beyond the double range).
//
// A sum beyond its type's range has no value to show: the item shows none
// (Null), as over no values, rather than a wrapped number or an error that
// would fail every later calculation, and with it every edit of the
// records. The exact sum is still kept, so the value returns once an edit
// brings the sum back into range.
Variant ResultOf(TcxSummaryKind AKind, TcxSummaryNumber ANumber, Integer ACount, Integer ANulls, Integer AValues,
                 double ARealSum, bool ARealBeyond, __int128 AWholeSum, double AExtremeReal, Int64 AExtremeWhole) {
  switch (AKind) {
    case skCount:
      return Variant(ACount);
    case skMin:
    case skMax:
      if (AValues == 0) return Null();
      if (ANumber == snFloat) return Variant(AExtremeReal);
      if (ANumber == snCurrency) return Variant(Currency::FromRaw(AExtremeWhole));
      return Variant(static_cast<Integer>(AExtremeWhole));
    case skSum:
    case skAverage: {
      if (ACount == 0) return Null();
      // Nulls alone sum to Integer 0.
      Variant sum = Variant(0);
      if (AValues > 0) {
        if (ANumber == snFloat) {
          if (ARealBeyond)
            return BeyondRange(AKind, std::ldexp(ARealSum / static_cast<double>(ACount), cxBeyondScale));
          double v = ARealSum;
          // A counted null starts the sum at 0, and 0 + -0 is +0.
          if (v == 0 && ANulls > 0) v = 0.0;
          sum = Variant(v);
        } else if (ANumber == snCurrency) {
          if (AWholeSum < INT64_MIN || AWholeSum > INT64_MAX)
            return BeyondRange(AKind, static_cast<double>(AWholeSum) / static_cast<double>(Currency::Scale) /
                                          static_cast<double>(ACount));
          sum = Variant(Currency::FromRaw(static_cast<Int64>(AWholeSum)));
        } else if (AWholeSum >= INT32_MIN && AWholeSum <= INT32_MAX) {
          sum = Variant(static_cast<Integer>(AWholeSum));
        } else if (AWholeSum >= INT64_MIN && AWholeSum <= INT64_MAX) {
          sum = Variant(static_cast<Int64>(AWholeSum));
        } else {
          sum = Variant(static_cast<double>(AWholeSum));
        }
      }
      if (AKind == skAverage) sum = sum / Variant(ACount);
      return sum;
    }
    default:
      return Null();
  }
}

}  // namespace

Variant TcxSummaryAccumulator::Result() {
  double real = 0;
  bool beyond = false;
  if ((Kind == skSum || Kind == skAverage) && Number == snFloat && Values > 0 && Count > 0) {
    real = Real.Value();
    if (std::isinf(real) && Real.Overflowed()) {
      beyond = true;
      real = Real.Value(cxBeyondScale);
    }
  }
  return ResultOf(Kind, Number, Count, Nulls, Values, real, beyond, Whole, ExtremeReal, ExtremeWhole);
}

// ---------------------------------------------------------------------------
// One walk for every kind

bool TcxSummaryTotals::Walk(const Byte* AStates, const UInt64* ACells, size_t ACount, TcxSummaryNumber ANumber,
                            bool ANullIgnore) {
  Values = Nulls = 0;
  WholeSum = 0;
  RealSum = 0;
  Min = Max = 0;
  size_t k = 0;
  while (k < ACount && AStates[k] != 2) Nulls += AStates[k++];
  if (k < ACount) Min = Max = ACells[k];
  if (ANumber == snFloat) {
    // One addition of two doubles is their exact sum rounded once: the
    // exact sum is needed from the third value on.
    TcxExactSum sum;
    double low = RealOf(Min), high = low, pair[2] = {0, 0};
    for (; k < ACount; ++k) {
      if (AStates[k] != 2) {
        Nulls += AStates[k];
        continue;
      }
      const double v = RealOf(ACells[k]);
      if (Values < 2) {
        pair[Values] = v;
      } else {
        if (Values == 2) sum.Add(pair[0]), sum.Add(pair[1]);
        sum.Add(v);
      }
      ++Values;
      // Unordered and equal values of other bits leave the first.
      if (v < low) low = v, Min = ACells[k];
      if (v > high) high = v, Max = ACells[k];
    }
    if (Values > 2) {
      RealSum = sum.Value();
      if (std::isinf(RealSum) && sum.Overflowed()) return false;
    } else if (Values > 0) {
      RealSum = Values == 1 ? pair[0] : pair[0] + pair[1];
      if (std::isinf(RealSum) && !std::isinf(pair[0]) && !std::isinf(pair[1])) return false;
      // The exact sum's NaN has one form, whatever NaN took part.
      if (std::isnan(RealSum)) RealSum = std::numeric_limits<double>::quiet_NaN();
    }
  } else {
    Int64 low = WholeOf(ANumber, Min), high = low;
    for (; k < ACount; ++k) {
      if (AStates[k] != 2) {
        Nulls += AStates[k];
        continue;
      }
      const Int64 v = WholeOf(ANumber, ACells[k]);
      ++Values;
      WholeSum += v;
      if (v < low) low = v, Min = ACells[k];
      if (v > high) high = v, Max = ACells[k];
    }
    if (ANumber == snCurrency && (WholeSum < INT64_MIN || WholeSum > INT64_MAX)) return false;
  }
  if (ANullIgnore) Nulls = 0;
  return true;
}

Variant TcxSummaryTotals::Result(TcxSummaryKind AKind, TcxSummaryNumber ANumber) const {
  const UInt64 extreme = AKind == skMin ? Min : Max;
  const double real = ANumber == snFloat ? RealOf(extreme) : 0;
  const Int64 whole = ANumber == snFloat ? 0 : WholeOf(ANumber, extreme);
  return ResultOf(AKind, ANumber, Values + Nulls, Nulls, Values, RealSum, false, WholeSum, real, whole);
}
