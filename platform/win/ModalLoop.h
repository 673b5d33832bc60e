// Modal loops. Any handler may run a loop of its own (a modal form, a
// message box, a popup or a drag); the loop runs inside a ModalLoopScope
// so the system knows: the focus window gets WM_CANCELMODE as it starts,
// and a test can act inside it once it is idle. A loop that retrieves
// WM_QUIT posts it again and ends, so every enclosing loop ends as well.
#pragma once

#include <functional>

#include "platform/win/Handles.h"

namespace win {

class ModalLoopScope {
 public:
  ModalLoopScope();
  ~ModalLoopScope();
  ModalLoopScope(const ModalLoopScope&) = delete;
  ModalLoopScope& operator=(const ModalLoopScope&) = delete;
};

int ModalLoopDepth();

// Retrieves, translates and dispatches until done() answers true (checked
// before each message) or WM_QUIT arrives. Answers false when WM_QUIT
// ended it; the quit is posted again for the enclosing loop.
bool RunModalLoop(const std::function<bool()>& done);

namespace detail {
// Arms an action for the next modal loop that starts.
void ArmModalScript(std::function<void()> action);
// Runs the action armed for the innermost loop, once; answers whether it ran.
bool RunModalIdle();
void ResetModal();
}  // namespace detail

}  // namespace win
