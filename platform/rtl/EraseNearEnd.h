// Removing one item from a list that keeps its order, looked for from both
// ends at once: lists are mostly emptied from one end (children freed last
// first with their parent, the oldest window closed first), and each such
// removal then costs what its place costs instead of the whole list.
#pragma once

#include <cstddef>
#include <iterator>

namespace orv {

// Erases the first match found walking in from both ends; false when none.
template <class List, class T>
bool EraseNearEnd(List& list, const T& item) {
  const std::size_t n = list.size();
  for (std::size_t i = 0; i < n - i; ++i) {
    if (list[i] == item) {
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
      return true;
    }
    if (list[n - 1 - i] == item) {
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(n - 1 - i));
      return true;
    }
  }
  return false;
}

}  // namespace orv
