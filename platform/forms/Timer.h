// TTimer: OnTimer every Interval milliseconds while Enabled, through the
// window system's timers on a hidden window of its own. No interval (0)
// or no handler means no timer; enabling it again starts the interval
// afresh.
#pragma once

#include "platform/rtl/Component.h"
#include "platform/win/Handles.h"

class TTimer : public TComponent {
  ORV_CLASS(TTimer, TComponent)
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  Cardinal GetInterval() const { return FInterval; }
  void SetInterval(Cardinal Value);
  TNotifyEvent GetOnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent Value);
  // Whether a window-system timer is running now.
  bool IsRunning() const { return FRunning; }

 protected:
  virtual void Timer();
  void Loaded() override;

 private:
  void UpdateTimer();
  static win::LRESULT TimerWindowProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);

  bool FEnabled = true;
  Cardinal FInterval = 1000;
  TNotifyEvent FOnTimer;
  win::HWND FWindow = nullptr;
  bool FRunning = false;
};
