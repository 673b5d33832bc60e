// What the grid's fuzz targets share: the grid's units started once for
// the run (they stop at exit) under a headless session, and a check that
// stops the run where a property the target asserts does not hold.
#pragma once

#include <cstdlib>

#include "library/grid/GridStartup.h"
#include "platform/forms/TestHooks.h"

namespace grid_fuzzing {

inline void StartGridUnits() {
  static const bool listed = [] {
    RegisterGridUnits();
    return true;
  }();
  static forms::test::Session session;
  (void)listed;
}

inline void Check(bool ACondition) {
  if (!ACondition) std::abort();
}

}  // namespace grid_fuzzing
