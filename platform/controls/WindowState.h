// The state of a native control window lives in its first extra slot and
// outlives WM_NCDESTROY until the outermost call of the window's procedure
// has returned: a parent told of a change may destroy the control from
// inside one of its handlers, and the handler must not then work on freed
// state.
#pragma once

#include "platform/rtl/ScopeExit.h"
#include "platform/win/Messages.h"
#include "platform/win/Window.h"
#include "platform/win/WindowProc.h"

namespace win::detail {

// Runs Handle(*state) for the message, or lets the state go with the
// window: Release frees it once no call is under way. A window without
// state gets the default procedure.
template <class State, class Release, class Handle>
LRESULT DispatchToWindowState(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, State* state, Release release,
                              Handle handle) {
  if (!state) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    state->dead = true;
    SetWindowLongPtrA(hwnd, 0, 0);
    LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
    if (state->depth == 0) release(state);
    return r;
  }
  ++state->depth;
  auto leave = orv::ScopeExit([&] {
    if (--state->depth == 0 && state->dead) release(state);
  });
  return handle(*state);
}

}  // namespace win::detail
