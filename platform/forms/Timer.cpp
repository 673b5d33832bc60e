#include "platform/forms/Timer.h"

#include "platform/forms/Application.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/Timers.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowProc.h"

using namespace win;

namespace {
constexpr const char* kTimerWindowClass = "TTimerWindow";
constexpr UINT_PTR kTimerId = 1;
}  // namespace

ORV_REGISTER(TTimer, ORV_PROP(Enabled).Default(true), ORV_PROP(Interval).Default(1000),
             ORV_PROP_RW(OnTimer, GetOnTimer, SetOnTimer))

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
  if (FWindow && IsWindow(FWindow)) {
    KillTimer(FWindow, kTimerId);
    SetWindowLongPtrA(FWindow, GWLP_USERDATA, 0);
    DestroyWindow(FWindow);
  }
}

void TTimer::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
  if (FInterval == Value) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
  FOnTimer = Value;
  UpdateTimer();
}

void TTimer::Loaded() {
  inherited::Loaded();
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (FRunning && FWindow && IsWindow(FWindow)) KillTimer(FWindow, kTimerId);
  FRunning = false;
  if (GetComponentState().Contains(csLoading)) return;
  if (FInterval == 0 || !FEnabled || !FOnTimer) return;
  if (!FWindow || !IsWindow(FWindow)) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(nullptr, kTimerWindowClass, &wc)) {
      wc.lpfnWndProc = &TTimer::TimerWindowProc;
      wc.lpszClassName = kTimerWindowClass;
      RegisterClassA(&wc);
    }
    FWindow = CreateWindowExA(WS_EX_TOOLWINDOW, kTimerWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              nullptr, nullptr);
    SetWindowLongPtrA(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  if (!SetTimer(FWindow, kTimerId, FInterval, nullptr)) throw EOutOfResources("Not enough timers available");
  FRunning = true;
}

void TTimer::Timer() {
  if (FOnTimer) FOnTimer(this);
}

LRESULT TTimer::TimerWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (timer && msg == WM_TIMER && wParam == kTimerId) {
    try {
      timer->Timer();
    } catch (...) {
      if (Application)
        Application->HandleException(timer);
      else
        throw;
    }
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
