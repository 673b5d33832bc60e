// A headless class-library session with the editor library's units (and
// the foundation's before them) started, for tests that need the default
// edit style controller, the screen or the editors' start-up.
#pragma once

#include <string>

#include "library/editors/core/EditorsStartup.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/TestHooks.h"

namespace edit_test {

// The units are listed before the session starts them.
struct EditorUnitsListed {
  EditorUnitsListed() { RegisterEditorUnits(); }
};

struct EditorSession : EditorUnitsListed {
  forms::test::Session Forms;

  // Input as a person gives it, each step pumped until the queue is idle.
  static void Pump() { win::test::PumpUntilIdle(); }
  static void Press(win::BYTE vk) {
    win::test::KeyPress(vk);
    Pump();
  }
  // A key pressed while a modifier is held.
  static void Chord(win::BYTE modifier, win::BYTE vk) {
    win::test::KeyDown(modifier);
    win::test::KeyPress(vk);
    win::test::KeyUp(modifier);
    Pump();
  }
  static void Type(const std::string& text) {
    win::test::TypeText(text);
    Pump();
  }
};

}  // namespace edit_test
