// Input to a scene on a real X server through XTest, each step handled
// by the server and the window system before the next (support/XCatchUp.h).
#pragma once

#include "platform/forms/Controls.h"
#include "platform/win/TestHooks.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"
#include "support/Eventually.h"
#include "support/XCatchUp.h"

namespace edit_test {

struct X11Input {
  win::x11::X11BackEnd* x = nullptr;
  win::x11::Probe* probe = nullptr;

  void Settle() { CatchUp(*x, probe); }
  // Until what another client does in its own time (a window manager, an
  // input method) has come; between asks the scene takes in the news.
  bool Eventually(const std::function<bool()>& done) {
    return ::Eventually(done, [&] {
      x->WaitForEvent(10);
      Settle();
    });
  }
  // The pointer to P in AControl's client coordinates.
  void MoveTo(TControl* AControl, TPoint P) {
    const TPoint s = AControl->ClientToScreen(P);
    probe->MovePointer(s.X, s.Y);
    Settle();
  }
  // A left click there.
  void Click(TControl* AControl, TPoint P) {
    MoveTo(AControl, P);
    probe->Button(1, true);
    Settle();
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
