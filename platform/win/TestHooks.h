// Driving the window system from tests: a session with a headless back end
// and a fake clock, input injected through the same queue and hooks as
// real input, pumping, acting inside modal loops, and state queries.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/win/HeadlessBackEnd.h"
#include "platform/win/Timers.h"

namespace win::test {

// While alive: a fresh window system on a headless back end (one 1024x768
// monitor unless given) and a fake clock. Everything is torn down after.
class Session {
 public:
  explicit Session(std::vector<MonitorInfo> monitors = {});
  // The same on another back end (a real display); Screen() is then unusable.
  explicit Session(std::unique_ptr<IBackEnd> display);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Clock::FakeClock& Clock() { return clock_; }
  HeadlessBackEnd& Screen() { return *screen_; }

 private:
  void Start(std::unique_ptr<IBackEnd> backEnd);

  Clock::FakeClock clock_;
  HeadlessBackEnd* screen_ = nullptr;
  std::unique_ptr<IBackEnd> previous_;
};

// ---- Input (screen coordinates unless a window is named) ----
void MouseMove(POINT screen);
void MouseMove(HWND hwnd, POINT client);
void MouseDown(int button = 1);  // VK_LBUTTON, VK_RBUTTON, VK_MBUTTON at the pointer
void MouseUp(int button = 1);
void Click(HWND hwnd, POINT client, int button = 1);
void Wheel(int delta);
void KeyDown(BYTE vk);
void KeyUp(BYTE vk);
void KeyPress(BYTE vk);
// Auto-repeat: count further key downs while the key is held.
void KeyRepeat(BYTE vk, int count);
// Types text as key strokes (Shift where needed); characters without a key
// come as VK_PACKET. Each turns into WM_CHAR through TranslateMessage.
void TypeText(const std::string& text1252);

// ---- Pumping ----
// Retrieves, translates and dispatches until nothing is left; stops at
// WM_QUIT (left posted). Answers the number of messages dispatched. A queue
// that never empties (a window that never validates) throws.
int PumpUntilIdle();
// Moves the fake clock on by ms, stopping at every due timer in order and
// pumping there.
void PumpFor(std::uint64_t ms);

// ---- Modal loops ----
// When the next modal loop starts, this runs inside it once it is idle.
void OnNextModalLoop(std::function<void()> action);

// ---- State ----
HWND Focus();
HWND Active();
HWND Capture();
HCURSOR Cursor();
std::vector<MSG> QueuedMessages();
std::vector<detail::TimerInfo> Timers();
int BeepCount();
int HookCount(int type = -100);
// One line per window, indented by depth, front to back:
// class "text" [l,t,r,b] style=... ex=... visible|hidden enabled|disabled
std::string DumpTree();

// ---- The headless screen ----
// What a person would see there (HeadlessBackEnd::Compose over the shown
// top-level windows, stacked as the window system stacks them), as
// 0x00RRGGBB pixels of the area a row after the other, or one pixel.
std::vector<std::uint32_t> ScreenPixels(const RECT& area);
std::uint32_t ScreenPixel(POINT screen);

// ---- Environment ----
void SetSystemMetric(int index, int value);
void SetMonitors(std::vector<MonitorInfo> monitors);

}  // namespace win::test
