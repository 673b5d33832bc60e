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

// What a capture loop does with a message it retrieved: dispatch it (after
// TranslateMessage) and go on, dispatch it and end, end without
// dispatching it, or drop it and go on.
enum class CaptureStep { Dispatch, DispatchAndEnd, End, Drop };

// A modal loop with the mouse captured by hwnd: each message is shown to
// step first. The loop also ends when the capture goes elsewhere, when
// goOn (asked before each message) answers false, or at WM_QUIT (posted
// again). hwnd lets the capture go at the end if it still holds it.
void RunCaptureLoop(HWND hwnd, const std::function<CaptureStep(const MSG&)>& step,
                    const std::function<bool()>& goOn = {});

namespace detail {
// Arms an action for the next modal loop that starts.
void ArmModalScript(std::function<void()> action);
// Runs the action armed for the innermost loop, once; answers whether it ran.
bool RunModalIdle();
void ResetModal();
}  // namespace detail

}  // namespace win
