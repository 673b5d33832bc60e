// A headless class-library session with the editor library's units (and
// the foundation's before them) started, for tests that need the default
// edit style controller, the screen or the editors' start-up.
#pragma once

#include "library/editors/core/EditorsStartup.h"
#include "platform/forms/TestHooks.h"

namespace edit_test {

// The units are listed before the session starts them.
struct EditorUnitsListed {
  EditorUnitsListed() { RegisterEditorUnits(); }
};

struct EditorSession : EditorUnitsListed {
  forms::test::Session Forms;
};

}  // namespace edit_test
