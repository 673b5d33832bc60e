// A scene on a real X server for the grid's tests: pumps until the server
// has caught up, and clicks and keys through XTest.
#pragma once

#include "platform/forms/Controls.h"
#include "platform/win/TestHooks.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"

namespace grid_x11 {

struct Scene {
  win::x11::X11BackEnd* x = nullptr;
  win::x11::Probe* probe = nullptr;

  void Settle(int rounds = 10) {
    for (int i = 0; i < rounds; ++i) {
      win::test::PumpUntilIdle();
      x->WaitForEvent(10);
    }
    win::test::PumpUntilIdle();
  }
  void Click(TControl* AControl, TPoint P) {
    const TPoint s = AControl->ClientToScreen(P);
    probe->MovePointer(s.X, s.Y);
    Settle(3);
    probe->Button(1, true);
    Settle(3);
    probe->Button(1, false);
    Settle();
  }
  void Key(const char* keysym) {
    probe->Key(keysym, true);
    probe->Key(keysym, false);
    Settle();
  }
};

}  // namespace grid_x11
