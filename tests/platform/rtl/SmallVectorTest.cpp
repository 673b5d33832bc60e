// The vector components keep their members and partners in: the first
// values in place, the rest on the heap, and every edit giving what a
// std::vector would give as the values cross from one to the other and
// back.
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rtl/SmallVector.h"

namespace {

template <class T, std::size_t N>
std::vector<T> Values(const SmallVector<T, N>& list) {
  return std::vector<T>(list.begin(), list.end());
}

TEST(SmallVector, ValuesStayInPlaceUpToTheInlineCountThenMoveOut) {
  SmallVector<int*, 1> list;
  int a = 0, b = 0, c = 0;
  list.push_back(&a);
  EXPECT_EQ(list.capacity(), 1u) << "one value takes no memory of its own";
  list.push_back(&b);
  list.push_back(&c);
  EXPECT_GE(list.capacity(), 3u);
  EXPECT_EQ(Values(list), (std::vector<int*>{&a, &b, &c}));
  list.erase(list.begin());
  list.insert(list.begin() + 1, &a);
  EXPECT_EQ(Values(list), (std::vector<int*>{&b, &a, &c}));
  EXPECT_EQ(list.back(), &c);
  EXPECT_EQ(*list.rbegin(), &c);
  list.resize(1);
  EXPECT_EQ(Values(list), (std::vector<int*>{&b}));
  list.resize(3);
  EXPECT_EQ(Values(list), (std::vector<int*>{&b, nullptr, nullptr})) << "growing adds empty values";
}

// Random edits against std::vector, across the inline count many times.
TEST(SmallVector, RandomEditsMatchAStandardVector) {
  std::mt19937 random(7);
  SmallVector<long, 2> list;
  std::vector<long> model;
  for (int step = 0; step < 20000; ++step) {
    const long value = step;
    switch (random() % 6) {
      case 0:
      case 1:
        list.push_back(value);
        model.push_back(value);
        break;
      case 2:
        if (!model.empty()) {
          list.pop_back();
          model.pop_back();
        }
        break;
      case 3: {
        const std::size_t at = random() % (model.size() + 1);
        EXPECT_EQ(*list.insert(list.begin() + at, value), value);
        model.insert(model.begin() + static_cast<long>(at), value);
        break;
      }
      case 4:
        if (!model.empty()) {
          const std::size_t at = random() % model.size();
          list.erase(list.begin() + at);
          model.erase(model.begin() + static_cast<long>(at));
        }
        break;
      case 5:
        if (random() % 50 == 0) {
          list.clear();
          model.clear();
        }
        break;
    }
    ASSERT_EQ(Values(list), model) << "after step " << step;
  }
}

}  // namespace
