// The one clock of the process: local wall time for Now and Date, and a
// monotonic millisecond counter for timers and GetTickCount. Tests install
// a fake clock that moves only when told; advancing it lets the listeners
// (the timer service) act at every due time in order.
#pragma once

#include <cstdint>
#include <functional>

namespace Clock {

// Milliseconds since an arbitrary start; never goes back.
std::uint64_t Milliseconds();
// The 32-bit counter the platform calls the tick count; it wraps.
inline std::uint32_t TickCount() { return static_cast<std::uint32_t>(Milliseconds()); }
// Local wall time as days since 1899-12-30 with the time as the fraction.
double LocalDateTime();

// Something that acts when time passes: it names its next due time and is
// told when the clock reaches it.
class IClockListener {
 public:
  virtual ~IClockListener() = default;
  // The earliest due time in Milliseconds(), or UINT64_MAX for none.
  virtual std::uint64_t NextDue() const = 0;
  virtual void DueReached(std::uint64_t now) = 0;
};
void AddListener(IClockListener* listener);
void RemoveListener(IClockListener* listener);

// While alive, the clock stands still at the given times and moves only by
// Advance, which stops at every due time of a listener on the way.
class FakeClock {
 public:
  explicit FakeClock(std::uint64_t startMs = 1'000'000, double startDateTime = 46000.5);
  ~FakeClock();
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;

  void Advance(std::uint64_t ms);
  void SetDateTime(double localDateTime);
  std::uint64_t Now() const;
};

bool IsFake();

}  // namespace Clock
