#include "platform/win/Timers.h"

#include <algorithm>

#include "platform/rtl/Clock.h"
#include "platform/win/Messages.h"
#include "platform/win/WindowData.h"

namespace win {
namespace detail {
namespace {

// Timers are a finite resource of the process, as window handles are.
constexpr std::size_t kMaxTimers = 10000;

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT interval;
  TIMERPROC proc;
  std::uint64_t nextDue;
  bool pending = false;
  std::uint64_t pendingSince = 0;  // the due time that made it pending
  std::uint64_t serial = 0;        // creation order breaks ties
};

struct TimerTable;
TimerTable& T();

// The timer service as the clock sees it: the next due time and the
// moment the clock reaches it.
class Listener : public Clock::IClockListener {
 public:
  std::uint64_t NextDue() const override { return NextTimerDue(); }
  void DueReached(std::uint64_t now) override { UpdateTimers(now); }
};

struct TimerTable {
  std::vector<Timer> timers;
  UINT_PTR nextThreadId = 1;
  std::uint64_t serial = 0;
  Listener listener;
  bool listening = false;
};

TimerTable& T() {
  static TimerTable t;
  return t;
}

void Listen() {
  if (!T().listening) {
    Clock::AddListener(&T().listener);
    T().listening = true;
  }
}

bool ThreadIdInUse(UINT_PTR id) {
  for (auto& t : T().timers)
    if (!t.hwnd && t.id == id) return true;
  return false;
}

}  // namespace

std::vector<TimerInfo> LiveTimers() {
  std::vector<TimerInfo> out;
  for (auto& t : T().timers) out.push_back({t.hwnd, t.id, t.interval, t.proc, t.nextDue, t.pending});
  return out;
}

void UpdateTimers(std::uint64_t now) {
  for (auto& t : T().timers) {
    if (t.nextDue > now) continue;
    if (!t.pending) {
      t.pending = true;
      t.pendingSince = t.nextDue;
    }
    // The next period starts now: a late timer does not catch up in a burst.
    t.nextDue = now + t.interval;
  }
}

bool TakeTimer(HWND filter, bool remove, MSG& out) {
  UpdateTimers(Clock::Milliseconds());
  Timer* best = nullptr;
  for (auto& t : T().timers) {
    if (!t.pending || (filter && t.hwnd != filter)) continue;
    if (!best || t.pendingSince < best->pendingSince ||
        (t.pendingSince == best->pendingSince && t.serial < best->serial))
      best = &t;
  }
  if (!best) return false;
  out = MSG{best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc), Clock::TickCount(), {}};
  if (remove) best->pending = false;
  return true;
}

bool IsTimerProc(HWND hwnd, UINT_PTR id, TIMERPROC proc) {
  for (auto& t : T().timers)
    if (t.hwnd == hwnd && t.id == id && t.proc == proc) return true;
  return false;
}

std::uint64_t NextTimerDue() {
  std::uint64_t due = UINT64_MAX;
  for (auto& t : T().timers) due = std::min(due, t.nextDue);
  return due;
}

bool AnyTimerPending() {
  UpdateTimers(Clock::Milliseconds());
  for (auto& t : T().timers)
    if (t.pending) return true;
  return false;
}

void TimersWindowDestroyed(HWND hwnd) {
  auto& v = T().timers;
  v.erase(std::remove_if(v.begin(), v.end(), [hwnd](const Timer& t) { return t.hwnd == hwnd; }), v.end());
}

void ResetTimers() {
  T().timers.clear();
  T().nextThreadId = 1;
  Listen();
}

}  // namespace detail

using namespace detail;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
  if (hwnd && !Find(hwnd)) return 0;
  Listen();
  UINT interval = std::clamp<UINT>(elapseMs, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  std::uint64_t now = Clock::Milliseconds();
  if (!hwnd && (id == 0 || !ThreadIdInUse(id))) {
    do {
      id = T().nextThreadId++;
    } while (ThreadIdInUse(id) || id == 0);
  }
  for (auto& t : T().timers) {
    if (t.hwnd == hwnd && t.id == id) {
      t.interval = interval;
      t.proc = proc;
      t.nextDue = now + interval;
      t.pending = false;
      return hwnd && id == 0 ? 1 : id;
    }
  }
  if (T().timers.size() >= kMaxTimers) {
    SetLastError(ERROR_NO_MORE_USER_HANDLES);
    return 0;
  }
  T().timers.push_back(Timer{hwnd, id, interval, proc, now + interval, false, 0, T().serial++});
  return hwnd && id == 0 ? 1 : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto& v = T().timers;
  auto it = std::find_if(v.begin(), v.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == v.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  v.erase(it);
  return TRUE;
}

}  // namespace win
