// Built from the objects of every library of the project (see
// CMakeLists.txt): that it links at all is the main check.
#include <gtest/gtest.h>

#include "platform/rtl/DateTime.h"

TEST(AllLibrariesTest, EveryLibraryLinksIntoOneProgram) {
  // The shared date helpers answer the same in every library that uses them.
  EXPECT_EQ(DateOf(TDateTime(39813.75)).Value, 39813.0);
  EXPECT_EQ(TimeOf(TDateTime(39813.75)).Value, 0.75);
  EXPECT_EQ(DateOf(TDateTime(-1.25)).Value + TimeOf(TDateTime(-1.25)).Value, -1.25);
}
