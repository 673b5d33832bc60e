#include "platform/win/TestHooks.h"

#include <cstdio>

#include "platform/rtl/Exceptions.h"
#include "platform/win/Focus.h"
#include "platform/win/Caret.h"
#include "platform/win/Hooks.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/ModalLoop.h"
#include "platform/win/Mouse.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/Seams.h"
#include "platform/win/SystemMenu.h"
#include "platform/win/Window.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"

namespace win::test {
namespace {

Session* current = nullptr;

constexpr int kPumpLimit = 100000;

void ResetAll() {
  detail::ResetCaret();
  detail::ResetWindowDCs();
  detail::ResetPaint();
  detail::ResetHooks();
  detail::ResetWindows();
  detail::ResetClasses();
  detail::ResetQueue();
  detail::ResetTimers();
  detail::ResetSystemMenus();
  detail::ResetKeyboard();
  detail::ResetMouse();
  detail::ResetFocus();
  detail::ResetMetrics();
  detail::ResetModal();
}

void Button(int button, bool down) {
  POINT p;
  GetCursorPos(&p);
  UINT base = button == VK_RBUTTON ? WM_RBUTTONDOWN : button == VK_MBUTTON ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
  detail::PostInput(detail::AcceptMouse(down ? base : base + 1, p, 0));
}

void Key(BYTE vk, bool down, char ch = 0) {
  detail::PostInput(detail::AcceptKey(detail::KeyInput{vk, 0, false, down, ch, false, std::nullopt}));
}

// With the fake clock an empty queue cannot wait: time moves to the next
// timer, and with none a loop waiting for input would wait forever.
void IdleOnFakeClock(std::uint64_t nextDue) {
  if (!current) return;
  std::uint64_t now = current->Clock().Now();
  if (nextDue == UINT64_MAX)
    throw EInvalidOperation("The message loop waits for input that will never come (no timer, nothing queued)");
  current->Clock().Advance(nextDue > now ? nextDue - now : 0);
}

}  // namespace

Session::Session(std::vector<MonitorInfo> monitors) {
  auto screen = std::make_unique<HeadlessBackEnd>(std::move(monitors));
  screen_ = screen.get();
  Start(std::move(screen));
}

Session::Session(std::unique_ptr<IBackEnd> display) { Start(std::move(display)); }

void Session::Start(std::unique_ptr<IBackEnd> backEnd) {
  previous_ = SetBackEnd(std::move(backEnd));
  ResetAll();
  detail::SetIdleWaiter(IdleOnFakeClock);
  current = this;
}

Session::~Session() {
  ResetAll();
  current = nullptr;
  SetBackEnd(std::move(previous_));
}

void MouseMove(POINT screen) { detail::PostInput(detail::AcceptMouse(WM_MOUSEMOVE, screen, 0)); }

void MouseMove(HWND hwnd, POINT client) {
  ClientToScreen(hwnd, &client);
  MouseMove(client);
}

void MouseDown(int button) { Button(button, true); }
void MouseUp(int button) { Button(button, false); }

void Click(HWND hwnd, POINT client, int button) {
  MouseMove(hwnd, client);
  MouseDown(button);
  MouseUp(button);
}

void Wheel(int delta) {
  POINT p;
  GetCursorPos(&p);
  detail::PostInput(detail::AcceptMouse(WM_MOUSEWHEEL, p, delta));
}

void KeyDown(BYTE vk) { Key(vk, true); }
void KeyUp(BYTE vk) { Key(vk, false); }
void KeyPress(BYTE vk) {
  KeyDown(vk);
  KeyUp(vk);
}

void KeyRepeat(BYTE vk, int count) {
  for (int i = 0; i < count; ++i) KeyDown(vk);
}

void TypeText(const std::string& text) {
  for (char c : text) {
    BYTE vk;
    bool shift;
    detail::KeyForChar(c, vk, shift);
    if (!vk) {
      Key(VK_PACKET, true, c);
      Key(VK_PACKET, false, c);
      continue;
    }
    bool held = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
    if (shift && !held) KeyDown(VK_SHIFT);
    KeyPress(vk);
    if (shift && !held) KeyUp(VK_SHIFT);
  }
}

int PumpUntilIdle() {
  MSG msg;
  int count = 0;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (++count > kPumpLimit)
      throw EInvalidOperation("The queue never went idle: a window that never validates, or a message posting itself");
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return count;
}

void PumpFor(std::uint64_t ms) {
  if (!current) throw EInvalidOperation("PumpFor needs a test session");
  Clock::FakeClock& clock = current->Clock();
  const std::uint64_t target = clock.Now() + ms;
  PumpUntilIdle();
  for (;;) {
    std::uint64_t next = detail::NextTimerDue();
    if (next > target) break;
    std::uint64_t now = clock.Now();
    clock.Advance(next > now ? next - now : 0);
    PumpUntilIdle();
  }
  if (clock.Now() < target) clock.Advance(target - clock.Now());
  PumpUntilIdle();
}

void OnNextModalLoop(std::function<void()> action) { detail::ArmModalScript(std::move(action)); }

std::vector<std::uint32_t> ScreenPixels(const RECT& area) {
  detail::PresentPending();
  std::vector<SurfaceId> stack;
  for (detail::Window* t : detail::TopLevels())
    if (t->surface) stack.insert(stack.begin(), t->surface);
  return current->Screen().Compose(stack, area);
}

std::uint32_t ScreenPixel(POINT screen) { return ScreenPixels({screen.X, screen.Y, screen.X + 1, screen.Y + 1})[0]; }

HWND Focus() { return GetFocus(); }
HWND Active() { return GetActiveWindow(); }
HWND Capture() { return GetCapture(); }
HCURSOR Cursor() { return CurrentCursor(); }
std::vector<MSG> QueuedMessages() { return detail::PostedMessages(); }
std::vector<detail::TimerInfo> Timers() { return detail::LiveTimers(); }
int BeepCount() { return detail::BeepCount(); }
int HookCount(int type) { return detail::HookCount(type); }

std::string DumpTree() {
  std::string out;
  std::function<void(detail::Window*, int)> dump = [&](detail::Window* w, int depth) {
    char line[512];
    RECT r = detail::ScreenWindowRect(w);
    std::snprintf(line, sizeof line, "%*s%s \"%s\" [%d,%d,%d,%d] style=%08X ex=%08X %s %s\n", depth * 2, "",
                  w->cls->name.c_str(), w->text.c_str(), r.Left, r.Top, r.Right, r.Bottom, w->style, w->exStyle,
                  (w->style & WS_VISIBLE) ? "visible" : "hidden", (w->style & WS_DISABLED) ? "disabled" : "enabled");
    out += line;
    for (detail::Window* c : w->children) dump(c, depth + 1);
  };
  for (detail::Window* t : detail::TopLevels()) dump(t, 0);
  return out;
}

void SetSystemMetric(int index, int value) { detail::SetSystemMetric(index, value); }

void SetMonitors(std::vector<MonitorInfo> monitors) {
  if (current) current->Screen().SetMonitors(std::move(monitors));
  detail::Desktop()->window = detail::Desktop()->client = VirtualScreen();
}

}  // namespace win::test
