// Ends the test program when the guarded piece of a test has not come back
// within the guard's time (30 s by default): a read that waits for good on
// a named pipe fails the test there and then instead of holding the suite.
// The time is a guard only; what is tested comes back at once.
#pragma once

#include <unistd.h>

class HangGuard {
 public:
  explicit HangGuard(unsigned seconds = 30) { alarm(seconds); }
  ~HangGuard() { alarm(0); }
  HangGuard(const HangGuard&) = delete;
  HangGuard& operator=(const HangGuard&) = delete;
};
