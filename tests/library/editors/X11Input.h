// Input to a scene on a real X server through XTest, each step pumped
// until the server has caught up with it.
#pragma once

#include "platform/forms/Controls.h"
#include "platform/win/TestHooks.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"

namespace edit_test {

struct X11Input {
  win::x11::X11BackEnd* x = nullptr;
  win::x11::Probe* probe = nullptr;

  void Settle(int rounds = 10) {
    for (int i = 0; i < rounds; ++i) {
      win::test::PumpUntilIdle();
      x->WaitForEvent(10);
    }
    win::test::PumpUntilIdle();
  }
  // The pointer to P in AControl's client coordinates.
  void MoveTo(TControl* AControl, TPoint P) {
    const TPoint s = AControl->ClientToScreen(P);
    probe->MovePointer(s.X, s.Y);
    Settle(3);
  }
  // A left click there.
  void Click(TControl* AControl, TPoint P) {
    MoveTo(AControl, P);
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

}  // namespace edit_test
