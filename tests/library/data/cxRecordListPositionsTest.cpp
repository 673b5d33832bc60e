// A view's record -> position map followed through moves of one record at
// a time: after every move each record must be found where the list holds
// it, whether the move is short or long, forward or back, repeated for the
// same record, and across the points where the noted moves are written out
// (enough of them, or lookups that have spent enough on them).
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "library/data/cxRecordListPositions.h"

namespace {

// Every record of ACount is found at its place in AList, or not at all
// when the list lacks it.
void ExpectAllFound(const std::vector<Integer>& AList, const TcxRecordListPositions& APositions, Integer ACount,
                    int AStep) {
  std::vector<Integer> expected(static_cast<size_t>(ACount), -1);
  for (size_t i = 0; i < AList.size(); ++i) expected[static_cast<size_t>(AList[i])] = static_cast<Integer>(i);
  for (Integer r = 0; r < ACount; ++r)
    ASSERT_EQ(APositions.Find(AList, ACount, r), expected[static_cast<size_t>(r)]) << "record " << r << ", move " << AStep;
}

TEST(RecordListPositionsTest, RecordsAreFoundWhereTheirMovesPutThem) {
  // A filtered view: the list holds some of the records, shuffled.
  constexpr Integer kCount = 2500;
  std::mt19937 random(11);
  std::vector<Integer> list(kCount);
  std::iota(list.begin(), list.end(), 0);
  std::shuffle(list.begin(), list.end(), random);
  list.resize(2000);
  TcxRecordListPositions positions;
  const Integer size = static_cast<Integer>(list.size());
  ASSERT_NO_FATAL_FAILURE(ExpectAllFound(list, positions, kCount, -1));
  Integer recent = 0;
  for (int step = 0; step < 3 * static_cast<int>(TcxRecordListPositions::MaxShifts(list.size())) + 5; ++step) {
    Integer from = static_cast<Integer>(random() % static_cast<unsigned>(size));
    Integer to = static_cast<Integer>(random() % static_cast<unsigned>(size));
    // Mostly short moves far apart, whose spans do not overlap.
    switch (step % 6) {
      case 0: from = recent; break;  // the record moved last moves again
      case 1: to = from == 0 ? size - 1 : 0; break;  // end to end
      case 2: break;
      default: to = std::clamp(from + static_cast<Integer>(random() % 7) - 3, 0, size - 1); break;
    }
    positions.Move(list, from, to);
    recent = to;
    // Lookups write the noted moves out once they have cost as much: most
    // steps look up a few records, so that moves gather between.
    if (step % 16 == 15) {
      ASSERT_NO_FATAL_FAILURE(ExpectAllFound(list, positions, kCount, step));
    } else {
      for (Integer at : {to, from, static_cast<Integer>(random() % static_cast<unsigned>(size))})
        ASSERT_EQ(positions.Find(list, kCount, list[static_cast<size_t>(at)]), at) << "move " << step;
    }
  }
  // A list changed another way is mapped anew.
  std::reverse(list.begin(), list.end());
  positions.Invalidate();
  ASSERT_NO_FATAL_FAILURE(ExpectAllFound(list, positions, kCount, -2));
}

}  // namespace
