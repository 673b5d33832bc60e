// Timers, driven by the process clock. A due timer makes one WM_TIMER when
// the queue has nothing else to give; a timer is never pending twice, so a
// slow handler sees one WM_TIMER rather than a backlog. Under the fake
// clock every due time is reached in order as the clock advances.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win/Handles.h"

namespace win {

// Periods are held between these bounds.
constexpr UINT USER_TIMER_MINIMUM = 0x0000000A;
constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;

// Window timers answer the id they were given (replacing a timer of the
// same window and id); thread timers (hwnd 0) answer a fresh id. Past
// 10,000 live timers a new one fails (ERROR_NO_MORE_USER_HANDLES).
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

namespace detail {

struct TimerInfo {
  HWND hwnd;
  UINT_PTR id;
  UINT interval;
  TIMERPROC proc;
  std::uint64_t nextDue;
  bool pending;
};
std::vector<TimerInfo> LiveTimers();
// Marks the timers due by now as pending.
void UpdateTimers(std::uint64_t now);
// The earliest pending timer within the filter, oldest due first; with
// remove it is no longer pending afterwards.
bool TakeTimer(HWND filter, bool remove, MSG& out);
bool IsTimerProc(HWND hwnd, UINT_PTR id, TIMERPROC proc);
std::uint64_t NextTimerDue();  // UINT64_MAX for none
bool AnyTimerPending();

}  // namespace detail

}  // namespace win
