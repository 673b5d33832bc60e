// What a test reads of a rich edit beyond its messages: its runs as data,
// one entry per run of equally formatted characters, in order.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/GdiTypes.h"
#include "platform/win/Handles.h"

namespace controls::test {

struct RichRun {
  std::string Text;
  bool AutoColor = true;  // the control's own text colour
  COLORREF Color = 0;
  bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
  bool operator==(const RichRun&) const = default;
};

// Empty for a window that is no rich edit.
std::vector<RichRun> RichEditRuns(win::HWND edit);

// The bytes a stream callback is offered per call; 0 restores 4,096.
void SetRichStreamChunk(win::LONG bytes);

}  // namespace controls::test
