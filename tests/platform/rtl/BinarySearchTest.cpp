// The halving search every sorted list of the library goes through: the
// first place not before a key, equal keys found at the first of their run,
// a missing key at the place it would be inserted, and no item read outside
// the range searched.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rtl/BinarySearch.h"

namespace {

// Searches `items` for `key` over [first, last), logging every index read.
template <class Index>
orv::SearchResult<Index> Search(const std::vector<int>& items, Index first, Index last, int key,
                                std::vector<Index>* asked = nullptr) {
  return orv::BinarySearch(first, last, [&](Index i) {
    if (asked) asked->push_back(i);
    return items[static_cast<std::size_t>(i)] - key;
  });
}

TEST(BinarySearch, EveryKeyFindsTheFirstOfItsRunOrItsInsertionPlace) {
  const std::vector<int> items{1, 3, 3, 3, 5, 8, 8};
  for (int key = 0; key <= 9; ++key) {
    const auto hit = Search(items, 0, static_cast<int>(items.size()), key);
    const auto place = std::lower_bound(items.begin(), items.end(), key) - items.begin();
    EXPECT_EQ(hit.Index, place) << "key " << key;
    EXPECT_EQ(hit.Found, place < static_cast<long>(items.size()) && items[static_cast<std::size_t>(place)] == key)
        << "key " << key;
  }
  EXPECT_EQ(Search(items, 0, 7, 3).Index, 1) << "the first of three equal items";
  EXPECT_EQ(Search(items, 0, 7, 9).Index, 7) << "after the last item";
  // The halving starts at the lower middle: a search that stops at the
  // first equal item it meets sees the same items in the same order.
  std::vector<int> asked;
  Search(items, 0, 6, 8, &asked);
  EXPECT_EQ(asked, (std::vector<int>{2, 4, 5}));
}

TEST(BinarySearch, ASubRangeIsSearchedWithoutReadingAroundIt) {
  // Only [2, 5) is sorted; the items around it would mislead a search that
  // strayed out of it.
  const std::vector<int> items{9, 9, 2, 4, 6, 0, 0};
  for (int key : {1, 2, 3, 4, 5, 6, 7}) {
    std::vector<std::size_t> asked;
    const auto hit = Search(items, std::size_t{2}, std::size_t{5}, key, &asked);
    EXPECT_GE(hit.Index, 2u);
    EXPECT_LE(hit.Index, 5u);
    EXPECT_EQ(hit.Found, key == 2 || key == 4 || key == 6) << "key " << key;
    for (std::size_t i : asked) {
      EXPECT_GE(i, 2u) << "key " << key;
      EXPECT_LT(i, 5u) << "key " << key;
    }
    EXPECT_LE(asked.size(), 2u) << "three items take two halvings";
  }
  EXPECT_EQ(Search(items, std::size_t{2}, std::size_t{5}, 7).Index, 5u);
  std::vector<std::size_t> asked;
  const auto empty = Search(items, std::size_t{3}, std::size_t{3}, 4, &asked);
  EXPECT_EQ(empty.Index, 3u);
  EXPECT_FALSE(empty.Found);
  EXPECT_TRUE(asked.empty()) << "an empty range reads nothing";
}

TEST(BinarySearch, InsertingAtTheAnswerKeepsAListSortedAndPutsANewcomerBeforeItsEquals) {
  // Entries of (key, arrival); inserted where the search answers, and only
  // when the key is new, as the registries and the string list do.
  std::vector<std::pair<int, int>> unique, all;
  const int keys[] = {5, 2, 8, 2, 5, 1, 9, 5};
  for (int arrival = 0; arrival < 8; ++arrival) {
    const int key = keys[arrival];
    auto compare = [&](const std::vector<std::pair<int, int>>& list) {
      return [&list, key](std::size_t i) { return list[i].first - key; };
    };
    const auto u = orv::BinarySearch(std::size_t{0}, unique.size(), compare(unique));
    if (!u.Found) unique.insert(unique.begin() + static_cast<std::ptrdiff_t>(u.Index), {key, arrival});
    const auto a = orv::BinarySearch(std::size_t{0}, all.size(), compare(all));
    all.insert(all.begin() + static_cast<std::ptrdiff_t>(a.Index), {key, arrival});
  }
  EXPECT_EQ(unique, (std::vector<std::pair<int, int>>{{1, 5}, {2, 1}, {5, 0}, {8, 2}, {9, 6}}))
      << "a key already there is found, not added, and keeps its first entry";
  EXPECT_EQ(all, (std::vector<std::pair<int, int>>{{1, 5}, {2, 3}, {2, 1}, {5, 7}, {5, 4}, {5, 0}, {8, 2}, {9, 6}}))
      << "each newcomer stands before the equal entries that came earlier";
}

}  // namespace
