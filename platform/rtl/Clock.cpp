#include "platform/rtl/Clock.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

namespace Clock {
namespace {

struct State {
  bool fake = false;
  std::uint64_t fakeMs = 0;
  double fakeDateTime = 0;      // wall time when fakeMs was fakeBaseMs
  std::uint64_t fakeBaseMs = 0;
  std::vector<IClockListener*> listeners;
};

State& S() {
  static State s;
  return s;
}

}  // namespace

std::uint64_t Milliseconds() {
  if (S().fake) return S().fakeMs;
  using namespace std::chrono;
  return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

double LocalDateTime() {
  State& s = S();
  if (s.fake) return s.fakeDateTime + static_cast<double>(s.fakeMs - s.fakeBaseMs) / 86'400'000.0;
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  // Days from 1899-12-30 to 1970-01-01 are 25569; local seconds come from
  // the broken-down time so that the zone and daylight saving apply.
  std::int64_t localSeconds = static_cast<std::int64_t>(t) + local.tm_gmtoff;
  return 25569.0 + (static_cast<double>(localSeconds) + static_cast<double>(ms) / 1000.0) / 86400.0;
}

void AddListener(IClockListener* listener) {
  auto& l = S().listeners;
  if (std::find(l.begin(), l.end(), listener) == l.end()) l.push_back(listener);
}

void RemoveListener(IClockListener* listener) {
  auto& l = S().listeners;
  l.erase(std::remove(l.begin(), l.end(), listener), l.end());
}

FakeClock::FakeClock(std::uint64_t startMs, double startDateTime) {
  State& s = S();
  s.fake = true;
  s.fakeMs = startMs;
  s.fakeBaseMs = startMs;
  s.fakeDateTime = startDateTime;
}

FakeClock::~FakeClock() { S().fake = false; }

void FakeClock::Advance(std::uint64_t ms) {
  State& s = S();
  const std::uint64_t target = s.fakeMs + ms;
  for (;;) {
    // The earliest listener due at or before the target acts first; a
    // listener may add or remove listeners while it acts.
    IClockListener* next = nullptr;
    std::uint64_t due = UINT64_MAX;
    for (IClockListener* l : s.listeners) {
      std::uint64_t d = l->NextDue();
      if (d < due) {
        due = d;
        next = l;
      }
    }
    if (!next || due > target) break;
    if (due > s.fakeMs) s.fakeMs = due;
    next->DueReached(s.fakeMs);
  }
  s.fakeMs = target;
}

void FakeClock::SetDateTime(double localDateTime) {
  State& s = S();
  s.fakeDateTime = localDateTime;
  s.fakeBaseMs = s.fakeMs;
}

std::uint64_t FakeClock::Now() const { return S().fakeMs; }

bool IsFake() { return S().fake; }

}  // namespace Clock
