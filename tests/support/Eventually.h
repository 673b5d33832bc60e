// Waiting for something another party does: a child process, the X
// server, a window manager, the program's own loop on another thread. A
// story waits for the event itself; the guard only ends a wait for what
// never comes, so that a fault fails the story instead of hanging the
// suite. It never judges speed: on a busy machine any wait may be long.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

inline constexpr std::chrono::seconds kEventGuard{30};

// Asks `done` until it holds and answers true; false once the guard ran
// out first. Between two asks runs `meanwhile`: the loop whose news `done`
// waits for, or by default a short pause that lets other threads and
// processes on. A wait for work that takes the longer the slower the
// machine is (a big transfer) names its `progress`, a figure that changes
// as the work moves on: the guard then counts from its last change, so
// only work that stands still for the guard's time ends the wait.
inline bool Eventually(const std::function<bool()>& done, const std::function<void()>& meanwhile = {},
                       const std::function<std::uint64_t()>& progress = {}) {
  auto guard = std::chrono::steady_clock::now() + kEventGuard;
  std::uint64_t seen = progress ? progress() : 0;
  for (;;) {
    if (done()) return true;
    if (progress) {
      const std::uint64_t now = progress();
      if (now != seen) {
        seen = now;
        guard = std::chrono::steady_clock::now() + kEventGuard;
      }
    }
    if (std::chrono::steady_clock::now() > guard) return false;
    if (meanwhile)
      meanwhile();
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}
