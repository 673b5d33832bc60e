// The halving search behind every sorted list: the first place in a range
// whose item does not sort before a key. Lists with duplicates find the
// first of the equal ones, and a key that is missing finds the place it
// would be inserted at.
#pragma once

namespace orv {

template <class T>
struct SearchResult {
  T Index;     // in [first, last]
  bool Found;  // the item at Index compares equal to the key
};

// Searches [first, last), ordered by compare(i): the item at i against the
// key, negative when it sorts before the key, 0 when equal, positive after.
// The answer is the first index whose item is not before the key (last when
// none is), and whether that item equals the key. compare is asked only
// for indices inside the range, about log2(last - first) times, first at
// the lower middle, first + (last - first - 1) / 2.
template <class Index, class Compare>
SearchResult<Index> BinarySearch(Index first, Index last, Compare compare) {
  bool found = false;
  while (first < last) {
    const Index mid = first + (last - first - 1) / 2;
    const auto c = compare(mid);
    if (c < 0) {
      first = mid + 1;
    } else {
      // The range ends here now; the last such end is the answer, so the
      // answer's own comparison is the last one made here.
      last = mid;
      found = c == 0;
    }
  }
  return {first, found};
}

}  // namespace orv
