#include "platform/win/ModalLoop.h"

#include <deque>
#include <vector>

#include "platform/win/Focus.h"
#include "platform/win/Messages.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"

namespace win {
namespace detail {
namespace {

struct ModalState {
  std::vector<std::function<void()>> frames;  // the action of each running loop
  std::deque<std::function<void()>> armed;
};

ModalState& S() {
  static ModalState s;
  return s;
}

}  // namespace

void ArmModalScript(std::function<void()> action) { S().armed.push_back(std::move(action)); }

bool RunModalIdle() {
  auto& f = S().frames;
  if (f.empty() || !f.back()) return false;
  auto action = std::move(f.back());
  f.back() = nullptr;
  action();
  return true;
}

void ResetModal() {
  S().armed.clear();
  S().frames.clear();
}

}  // namespace detail

ModalLoopScope::ModalLoopScope() {
  auto& s = detail::S();
  std::function<void()> action;
  if (!s.armed.empty()) {
    action = std::move(s.armed.front());
    s.armed.pop_front();
  }
  s.frames.push_back(std::move(action));
  if (HWND f = GetFocus()) SendMessageA(f, WM_CANCELMODE, 0, 0);
}

ModalLoopScope::~ModalLoopScope() {
  auto& f = detail::S().frames;
  if (!f.empty()) f.pop_back();
}

int ModalLoopDepth() { return static_cast<int>(detail::S().frames.size()); }

bool RunModalLoop(const std::function<bool()>& done) {
  ModalLoopScope scope;
  MSG msg;
  while (!done || !done()) {
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (r < 0) return false;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

void RunCaptureLoop(HWND hwnd, const std::function<CaptureStep(const MSG&)>& step,
                    const std::function<bool()>& goOn) {
  {
    ModalLoopScope scope;
    SetCapture(hwnd);
    MSG msg{};
    while (GetCapture() == hwnd && (!goOn || goOn())) {
      const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
      if (got == -1) break;
      if (!got) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      const CaptureStep next = step(msg);
      if (next == CaptureStep::End) break;
      if (next == CaptureStep::Drop) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      if (next == CaptureStep::DispatchAndEnd) break;
    }
  }
  if (GetCapture() == hwnd) ReleaseCapture();
}

}  // namespace win
