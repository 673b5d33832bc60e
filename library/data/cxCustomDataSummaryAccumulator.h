// Order-independent accumulation of summary values over number fields.
//
// A sum kept this way does not depend on the order its values came in, and
// taking a value out again gives exactly what never adding it gives. So a
// single edited record can be replaced in the footer and in its groups
// without walking the other records, and the result has the same bits as a
// full calculation. Integer and Currency sums are kept in a 128-bit integer,
// Float sums in an exact fixed-point number rounded once when read.
#pragma once

#include <span>
#include <vector>

#include "library/data/cxCustomDataSummary.h"

// Data groups of fewer records keep no accumulators: an edit in one of them
// calculates it anew from its records, which costs about as much as
// replacing the record would.
constexpr Integer cxKeptGroupRecords = 64;

// The exact sum of doubles: a fixed-point number whose lowest bit is the
// smallest subnormal (2^-1074), kept as 32-bit digits in signed 64-bit
// limbs so that an addition touches three limbs and never carries; carries
// are settled before a limb could overflow and when the value is read.
// Only the limbs between the lowest and the highest digit in use are kept.
// Values whose bits all lie between 2^-64 and 2^32 (the common amounts,
// counts and measures) go instead to a 128-bit fixed-point window whose
// lowest bit is 2^-64: one addition, and a sum of window values alone is
// read with one conversion. The window joins the limbs when both are used.
class TcxExactSum {
 public:
  // Adds (ASign 1) or takes out (ASign -1) a value. NaN and infinities are
  // counted apart; a negative zero is remembered for the sign of a zero sum.
  void Add(double AValue, int ASign = 1);
  void Clear();
  // The exact sum rounded to the nearest double, halves to even: NaN when a
  // NaN or both infinities took part, an infinity when one did; otherwise
  // an infinity only when the exact sum is beyond the double range
  // (Overflowed). A zero sum is negative only when every value was -0.
  // AScaleDown reads the sum times 2^-AScaleDown, rounded the same once
  // while that is a normal double: a sum beyond the range read smaller.
  double Value(Integer AScaleDown = 0);
  bool Overflowed();

 private:
  void AddToLimbs(UInt64 AMantissa, Integer APosition, bool ANegative);
  void FoldWindow();
  void Normalize();
  void Reach(Integer ALow, Integer AHigh);
  bool Bit(std::span<const Int64> ADigits, Int64 AIndex) const;

  __int128 FWindow = 0;
  // Window additions since it was last folded: 2^30 of values below 2^96
  // window units cannot overflow it.
  Integer FWindowAdds = 0;
  std::vector<Int64> FLimbs;
  Integer FLow = 0;    // digit index of FLimbs[0]
  Int64 FTop = 0;      // sign above the limbs once settled: 0 or -1
  Integer FPending = 0;
  Int64 FNaNs = 0, FPositiveInfinities = 0, FNegativeInfinities = 0;
  Int64 FFinite = 0, FNegativeZeros = 0;
};

// What a summary item of a number field has gathered: its count, and the
// exact sum or the extreme of the values. Values are given raw: an
// Integer, a Currency's units or a Float's bits.
enum TcxSummaryNumber { snNone, snInteger, snFloat, snCurrency };

struct TcxSummaryAccumulator {
  TcxSummaryKind Kind = skNone;
  TcxSummaryNumber Number = snNone;
  // Entries counted (values and counted nulls), and how many were nulls.
  Integer Count = 0;
  Integer Nulls = 0;
  Integer Values = 0;
  __int128 Whole = 0;  // Integer values, or Currency units
  TcxExactSum Real;
  // Min and Max: the extreme so far, valid while Values > 0; how many
  // values have its very bits (taking out one of several keeps it), how
  // many equal it with other bits (signed zeros), and how many are NaN.
  // Equal values of other bits and NaN are unordered: the first in record
  // order decides, so taking out a value then needs the values in order.
  Int64 ExtremeWhole = 0;
  double ExtremeReal = 0;
  Integer ExtremeCount = 0;
  Integer Ties = 0;
  Integer NaNs = 0;

  void Reset(TcxSummaryKind AKind, TcxSummaryNumber ANumber);
  void AddNull(int ASign = 1) {
    Count += ASign;
    Nulls += ASign;
  }
  // A value met in record order, as a full calculation meets them: Min and
  // Max keep the first of equal extremes.
  void Accumulate(UInt64 ARaw);
  // A run of gathered cells in record order, as Accumulate and AddNull one
  // by one would take them: per cell 0 (no record), 1 (null) or 2 (a value).
  void AccumulateRun(const Byte* AStates, const UInt64* ACells, size_t ACount, bool ANullIgnore);
  // A value joins or leaves out of order; false when Min or Max can no
  // longer tell its result without the values in order (the caller
  // recalculates): the extreme left, or an equal one with other bits came.
  bool Insert(UInt64 ARaw);
  bool Remove(UInt64 ARaw);
  // The value the summary shows, as the variant arithmetic would give it;
  // Null for a sum beyond its type's range (see ResultOf).
  Variant Result();
};

// One field's values in a run of positions as every kind of item reads
// them: the Sum, Count, Average, Min and Max items of a field take their
// results from one walk. Min and Max are the first of equal values in
// position order, as an accumulator taking the values in order has them.
struct TcxSummaryTotals {
  Integer Values = 0;
  Integer Nulls = 0;  // counted nulls: none when nulls are ignored
  double RealSum = 0;
  __int128 WholeSum = 0;
  UInt64 Min = 0, Max = 0;  // raw, valid while Values > 0

  // Walks the gathered cells (per cell 0 no record, 1 null, 2 a value);
  // false when the sum leaves its type's range: an accumulator, which
  // keeps such a sum exactly, then gives the results.
  bool Walk(const Byte* AStates, const UInt64* ACells, size_t ACount, TcxSummaryNumber ANumber, bool ANullIgnore);
  // The item's value, the one an accumulator of the same values gives.
  Variant Result(TcxSummaryKind AKind, TcxSummaryNumber ANumber) const;
};
