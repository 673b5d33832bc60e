// A scene of this process on a real X server, caught up with the server:
// the input a probe sent (XTest) has been handled by the server, every
// request of the back end too, and every event that came of either has
// been handled by the window system, windows shown included (they go on
// the screen with their first picture). This takes round trips, not time.
// What a window manager or another program does in its own time is not
// part of it: wait for that with Eventually, catching up meanwhile.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "platform/win/TestHooks.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"
#include "support/Eventually.h"

inline void CatchUp(win::x11::X11BackEnd& x, win::x11::Probe* probe = nullptr) {
  if (probe) probe->Sync();
  // Each round hands the server what the last one's events made; a scene
  // that never comes to rest is a fault of its own.
  for (int round = 0; round < 1000; ++round) {
    win::test::PumpUntilIdle();
    x.WaitForEvent(0);  // maps the windows shown and painted
    if (!x.Sync()) return;
  }
  ADD_FAILURE() << "the scene never came to rest with the X server";
}

// Whether done comes to hold, catching up with the server meanwhile: for
// what a window manager does in its own time.
inline bool EventuallySettled(win::x11::X11BackEnd& x, win::x11::Probe& probe, const std::function<bool()>& done) {
  return Eventually(done, [&] {
    x.WaitForEvent(10);
    CatchUp(x, &probe);
  });
}

// Whether the window has come on the screen: a window manager maps a
// window in its own time.
inline bool EventuallyMapped(win::x11::X11BackEnd& x, win::x11::Probe& probe, win::x11::XId window) {
  return EventuallySettled(x, probe, [&] {
    bool viewable = false;
    win::RECT r{};
    return probe.Geometry(window, viewable, r) && viewable;
  });
}
