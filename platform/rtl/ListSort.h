// The sort behind the lists' Sort methods: a stable merge sort that stays
// inside its array whatever the comparison answers, so a careless compare
// function can give a strange order but never a crash.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace orv {

// Sorts [first, first + n) by less(a, b); stable; O(n log n).
template <class T, class Less>
void StableSort(T* first, std::size_t n, Less less) {
  constexpr std::size_t kRun = 12;
  if (n < 2) return;
  // Short runs by insertion, each step bounded by the run's start.
  for (std::size_t lo = 0; lo < n; lo += kRun) {
    std::size_t hi = lo + kRun < n ? lo + kRun : n;
    for (std::size_t i = lo + 1; i < hi; ++i) {
      T v = std::move(first[i]);
      std::size_t j = i;
      while (j > lo && less(v, first[j - 1])) {
        first[j] = std::move(first[j - 1]);
        --j;
      }
      first[j] = std::move(v);
    }
  }
  if (n <= kRun) return;
  // Then merge runs of doubling width between the array and a buffer.
  std::vector<T> buffer(n);
  T* from = first;
  T* to = buffer.data();
  for (std::size_t width = kRun; width < n; width *= 2) {
    for (std::size_t lo = 0; lo < n; lo += 2 * width) {
      std::size_t mid = lo + width < n ? lo + width : n;
      std::size_t hi = lo + 2 * width < n ? lo + 2 * width : n;
      std::size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) to[k++] = less(from[j], from[i]) ? std::move(from[j++]) : std::move(from[i++]);
      while (i < mid) to[k++] = std::move(from[i++]);
      while (j < hi) to[k++] = std::move(from[j++]);
    }
    std::swap(from, to);
  }
  if (from != first)
    for (std::size_t i = 0; i < n; ++i) first[i] = std::move(from[i]);
}

}  // namespace orv
