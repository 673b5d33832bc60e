// The most memory this process has held at once. Stories of sizes far
// past the screen check that drawing took a screenful, not the size: the
// growth is read as the peak after less the peak before, so the bound
// needs room only for the sanitizers' own bookkeeping.
#pragma once

#include <sys/resource.h>

// The process's peak resident memory, in megabytes.
inline long PeakMegabytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024;
}

// Far more than a screen's worth of pixels (a few megabytes), far less
// than a window or picture past the screen takes (gigabytes).
inline constexpr long kScreenfulMegabytes = 200;
