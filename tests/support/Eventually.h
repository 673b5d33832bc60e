// Waiting for something another party does: a child process, the X
// server, a window manager, the program's own loop on another thread. A
// story waits for the event itself; the guard only ends a wait for what
// never comes, so that a fault fails the story instead of hanging the
// suite. It never judges speed: on a busy machine any wait may be long.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

inline constexpr std::chrono::seconds kEventGuard{30};

// Asks `done` until it holds and answers true; false once the guard ran
// out first. Between two asks runs `meanwhile`: the loop whose news `done`
// waits for, or by default a short pause that lets other threads and
// processes on.
inline bool Eventually(const std::function<bool()>& done, const std::function<void()>& meanwhile = {}) {
  const auto guard = std::chrono::steady_clock::now() + kEventGuard;
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() > guard) return false;
    if (meanwhile)
      meanwhile();
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}
