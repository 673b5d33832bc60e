// Scoped ownership of class-library objects: a unique_ptr that releases its
// object with Free(), so BeforeDestruction runs as it does for every other
// way an object goes.
#pragma once

#include <memory>
#include <utility>

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

// New<T>(args...) held by a TOwned<T> from the start.
template <class T, class... A>
TOwned<T> MakeOwned(A&&... args) {
  return TOwned<T>(New<T>(std::forward<A>(args)...));
}
