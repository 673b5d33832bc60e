// Scoped ownership of class-library objects: a unique_ptr that releases its
// object with Free(), so BeforeDestruction runs as it does for every other
// way an object goes.
#pragma once

#include <memory>

#include "platform/rtl/Object.h"

namespace orv {
struct FreeDeleter {
  void operator()(TObject* p) const {
    if (p) p->Free();
  }
};
}  // namespace orv

template <class T>
using TOwned = std::unique_ptr<T, orv::FreeDeleter>;
