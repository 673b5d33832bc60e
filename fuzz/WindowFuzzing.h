// The stage of a fuzz target that drives windows: a headless session and
// one shown top-level parent for the whole run, made before the first
// input (a shown top-level window costs more to make than most inputs cost
// to run) and destroyed when the program ends, so no window is left over.
// Each input makes its own controls on the parent and destroys them.
#pragma once

#include <cstdlib>

#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"

namespace window_fuzzing {

inline win::HWND& Parent() {
  static win::HWND parent = nullptr;
  return parent;
}

inline void OpenStage(int width, int height) {
  static auto* session = new win::test::Session;
  (void)session;
  Parent() = win::CreateWindowExA(0, "STATIC", "", win::WS_POPUP | win::WS_VISIBLE, 0, 0, width, height, nullptr,
                                  nullptr, nullptr, nullptr);
  std::atexit([] { win::DestroyWindow(Parent()); });
}

}  // namespace window_fuzzing
