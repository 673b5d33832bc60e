#include "platform/controls/RichEditTestHooks.h"

#include "platform/controls/RichEditControl.h"
#include "platform/controls/RichEditState.h"

namespace controls::test {

std::vector<RichRun> RichEditRuns(win::HWND edit) {
  std::vector<RichRun> runs;
  for (const auto& run : win::detail::RichRunsOf(edit))
    runs.push_back({run.text, run.autoColor, run.color, (run.effects & win::CFE_BOLD) != 0,
                    (run.effects & win::CFE_ITALIC) != 0, (run.effects & win::CFE_UNDERLINE) != 0,
                    (run.effects & win::CFE_STRIKEOUT) != 0});
  return runs;
}

void SetRichStreamChunk(win::LONG bytes) { win::rich::StreamChunk = bytes > 0 ? bytes : 4096; }

}  // namespace controls::test
