// The one order of doubles the data layer sorts, groups and compares by.
#pragma once

#include <cmath>

#include "platform/rtl/Types.h"

// -1, 0 or 1: -0 equals 0, and NaN, whatever its bits, equals NaN and
// follows every number. operator< alone leaves NaN unordered, and a sort,
// grouping or search through such a comparison has no order to keep: the
// numbers around a NaN stay unsorted and a group it starts takes in every
// value after it.
inline Integer cxCompareDoubles(double A, double B) {
  if (A < B) return -1;
  if (B < A) return 1;
  const bool nanA = std::isnan(A), nanB = std::isnan(B);
  return nanA == nanB ? 0 : nanA ? 1 : -1;
}
