#include "platform/win/Minimized.h"

#include <algorithm>

#include "platform/win/BackEnd.h"
#include "platform/win/Metrics.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowStyles.h"

namespace win::detail {
namespace {

bool Overlap(const RECT& a, const RECT& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

}  // namespace

bool HeldMinimizedByManager(const Window* w) {
  return IsTopLevel(w) && w->surface && BackEnd().ManagesMinimized(w->surface);
}

bool ShownAsIcon(const Window* w) {
  return (w->style & WS_MINIMIZE) && (w->style & WS_VISIBLE) && !HeldMinimizedByManager(w);
}

RECT MinimizedPlace(const Window* w) {
  const int cx = GetSystemMetrics(SM_CXMINIMIZED), cy = GetSystemMetrics(SM_CYMINIMIZED);
  // The manager's icon stands for the window, which keeps out of sight.
  if (HeldMinimizedByManager(w)) return Bounds(-32000, -32000, cx, cy);
  const Window* p = w->parent;
  const RECT area = IsTopLevel(w) ? PrimaryWorkArea() : RECT{0, 0, p->client.Width(), p->client.Height()};
  const int sx = std::max(GetSystemMetrics(SM_CXMINSPACING), cx);
  const int sy = std::max(GetSystemMetrics(SM_CYMINSPACING), cy);
  const std::size_t perRow = static_cast<std::size_t>(std::max(1, area.Width() / sx));
  auto taken = [&](const RECT& slot) {
    for (const Window* s : p->children)
      if (s != w && (s->style & WS_MINIMIZE) && Overlap(s->window, slot)) return true;
    return false;
  };
  // A window moved off its slot may block up to four: past that many
  // slots for every sibling one is free.
  const std::size_t last = 4 * p->children.size();
  for (std::size_t i = 0;; ++i) {
    const int column = static_cast<int>(i % perRow), row = static_cast<int>(i / perRow);
    const RECT slot = Bounds(area.Left + column * sx, area.Bottom - cy - row * sy, cx, cy);
    if (i >= last || !taken(slot)) return slot;
  }
}

}  // namespace win::detail
