// The program on a private Xvfb display, driven the way a user drives it:
// pointer and keys through XTest, windows found and read back through a
// second X connection. The driver runs on a thread of its own; whatever
// it reads of the program (the log's runs, a control's place on screen,
// the rows) it reads on the program's own thread, through a 20-ms timer
// that takes its questions, so modal boxes and dialogs answer it too.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "Examples.h"
#include "platform/forms/Controls.h"
#include "platform/gdi/PngWriter.h"
#include "platform/win/BackEnd.h"
#include "platform/win/Timers.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"
#include "support/Eventually.h"

namespace app_test {

// Closures handed from the driver's thread to the program's, answered
// from the program's timer.
class GuiBridge {
 public:
  void Install() {
    Active() = this;
    timer_ = win::SetTimer(nullptr, 0, 20, &Tick);
  }
  void Remove() {
    win::KillTimer(nullptr, timer_);
    Active() = nullptr;
  }
  // Runs f on the program's thread and answers its result; false/empty
  // when the program has ended meanwhile.
  template <class F>
  auto Run(F f) -> decltype(f()) {
    using R = decltype(f());
    R result{};
    std::unique_lock lock(mutex_);
    if (ended_) return result;
    bool done = false;
    queue_.push_back([&] {
      result = f();
      done = true;
    });
    cv_.wait(lock, [&] { return done || ended_; });
    return result;
  }
  bool Ended() {
    std::lock_guard lock(mutex_);
    return ended_;
  }
  void End() {
    std::lock_guard lock(mutex_);
    ended_ = true;
    queue_.clear();
    cv_.notify_all();
  }

 private:
  static GuiBridge*& Active() {
    static GuiBridge* active = nullptr;
    return active;
  }
  static void Tick(win::HWND, win::UINT, win::UINT_PTR, win::DWORD) {
    GuiBridge* self = Active();
    if (!self) return;
    std::deque<std::function<void()>> work;
    {
      std::lock_guard lock(self->mutex_);
      work.swap(self->queue_);
    }
    for (auto& f : work) f();
    std::lock_guard lock(self->mutex_);
    self->cv_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> queue_;
  bool ended_ = false;
  win::UINT_PTR timer_ = 0;
};

// What a user does, in the terms of the X server.
class XUser {
 public:
  XUser(win::x11::Probe& probe, GuiBridge& gui) : probe_(probe), gui_(gui) {}

  // Until the condition holds, asked on the program's thread.
  bool Eventually(const std::function<bool()>& condition) {
    return ::Eventually([&] { return gui_.Run([&] { return condition(); }); });
  }
  // The mapped top-level window whose title is this, once there is one
  // and it holds the keyboard, so keys typed next go to it.
  unsigned long WindowTitled(const std::string& title) {
    unsigned long found = 0;
    ::Eventually([&] {
      for (unsigned long w : probe_.Stacking())
        if (probe_.Property8(w, "WM_NAME") == title) found = w;
      return found != 0 && probe_.KeyboardFocus() == found;
    });
    return found;
  }
  // Once the window is off the screen and no longer holds the keyboard.
  bool Gone(unsigned long window) {
    return ::Eventually([&] {
      const std::vector<unsigned long> stack = probe_.Stacking();
      return std::find(stack.begin(), stack.end(), window) == stack.end() && probe_.KeyboardFocus() != window;
    });
  }
  // The topmost mapped window once it is another than this one.
  unsigned long TopWindowAbove(unsigned long window) {
    unsigned long top = 0;
    ::Eventually([&] { return (top = TopWindow()) != window && top != 0; });
    return top != window ? top : 0;
  }
  // The program has taken in and handled everything sent to it so far:
  // the server has handled the input (the probe's round trip), the
  // program's connection has read every event sent before (its round
  // trip, on its own thread), its loop has handled them (it takes input
  // before it turns to timers, which answer Run), and the server has
  // handled what the program asked of it meanwhile (a second round trip),
  // such as the focus given back to a window when a box closes.
  void CatchUp() {
    probe_.Sync();
    for (int turn = 0; turn < 2; ++turn)
      gui_.Run([] {
        static_cast<win::x11::X11BackEnd&>(win::BackEnd()).Sync();
        return true;
      });
  }

  void ClickAt(TPoint screen) {
    probe_.MovePointer(screen.X, screen.Y);
    CatchUp();
    probe_.Button(1, true);
    CatchUp();
    probe_.Button(1, false);
    CatchUp();
  }
  // Clicks the middle of a control the program names.
  void Click(const std::function<TControl*()>& control) {
    const TPoint at = gui_.Run([&] {
      TControl* c = control();
      return c->ClientToScreen(TPoint(c->GetWidth() / 2, c->GetHeight() / 2));
    });
    ClickAt(at);
  }
  // Clicks the middle of a rectangle of a control's client area (the
  // program names both).
  void Click(TControl* control, const std::function<TRect()>& rect) {
    const TPoint at = gui_.Run([&] {
      const TRect r = rect();
      return control->ClientToScreen(TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    });
    ClickAt(at);
  }
  // Turns the wheel over the middle of a control the program names:
  // notches down when positive, up when negative.
  void Wheel(const std::function<TControl*()>& control, int notches) {
    const TPoint at = gui_.Run([&] {
      TControl* c = control();
      return c->ClientToScreen(TPoint(c->GetWidth() / 2, c->GetHeight() / 2));
    });
    probe_.MovePointer(at.X, at.Y);
    CatchUp();
    for (int i = 0; i < std::abs(notches); ++i) {
      probe_.Button(notches > 0 ? 5 : 4, true);
      probe_.Button(notches > 0 ? 5 : 4, false);
      CatchUp();
    }
  }
  void Key(const char* keysym) {
    probe_.Key(keysym, true);
    probe_.Key(keysym, false);
    CatchUp();
  }
  void Type(const std::string& text) {
    for (char c : text) {
      const std::string keysym = c == '.' ? "period" : c == ' ' ? "space" : c == '-' ? "minus" : std::string(1, c);
      const bool shift = c >= 'A' && c <= 'Z';
      if (shift) probe_.Key("Shift_L", true);
      Key(keysym.c_str());
      if (shift) probe_.Key("Shift_L", false);
    }
  }
  // The window's pixels as the server holds them, into the test's build
  // folder's snapshots/. With popups, the screen over the window's place,
  // so what stands above it shows too.
  void Shot(unsigned long window, const std::string& name, bool withPopups = false) {
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(probe_.Capture(window, pixels, width, height)) << name;
    bool viewable = false;
    win::RECT place{};
    std::vector<std::uint32_t> screen;
    int sw = 0, sh = 0;
    if (withPopups && probe_.Geometry(window, viewable, place) && probe_.Capture(probe_.Root(), screen, sw, sh))
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
          if (place.Left + x < sw && place.Top + y < sh)
            pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] =
                screen[std::size_t(place.Top + y) * std::size_t(sw) + std::size_t(place.Left + x)];
    std::filesystem::create_directories(kSnapshotsDir);
    EXPECT_TRUE(win::SaveRowsPng(width, height,
                                 [&](int y, std::uint32_t* row) {
                                   for (int x = 0; x < width; ++x)
                                     row[x] = pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
                                 },
                                 kSnapshotsDir + "/" + name + ".png"));
  }
  win::x11::Probe& Probe() { return probe_; }
  GuiBridge& Gui() { return gui_; }
  // The topmost mapped window.
  unsigned long TopWindow() {
    const std::vector<unsigned long> stack = probe_.Stacking();
    return stack.empty() ? 0 : stack.back();
  }

 private:
  win::x11::Probe& probe_;
  GuiBridge& gui_;
};

}  // namespace app_test
