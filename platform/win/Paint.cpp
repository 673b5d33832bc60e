#include "platform/win/Paint.h"

#include <algorithm>

#include "platform/win/Messages.h"
#include "platform/win/Queue.h"
#include "platform/win/WindowData.h"

namespace win {
namespace detail {
namespace {

RECT Unite(const RECT& a, const RECT& b) {
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

bool Paintable(const Window* w) {
  for (const Window* x = w; x; x = x->parent)
    if (!(x->style & WS_VISIBLE) || x->noRedraw) return false;
  return true;
}

Window* Search(Window* w, HWND filter, bool inFilter) {
  bool in = inFilter || !filter || w->handle == filter;
  if (in && w != Desktop() && w->updatePending && Paintable(w)) return w;
  if (!(w->style & WS_VISIBLE)) return nullptr;
  for (Window* c : w->children)
    if (Window* found = Search(c, filter, in)) return found;
  return nullptr;
}

void Invalidate(Window* w, const RECT* rect, bool erase) {
  RECT client{0, 0, w->client.Width(), w->client.Height()};
  RECT r = client;
  if (rect) {
    r = {std::max(rect->Left, 0), std::max(rect->Top, 0), std::min(rect->Right, client.Right),
         std::min(rect->Bottom, client.Bottom)};
  }
  if (r.Left >= r.Right || r.Top >= r.Bottom) return;
  w->update = w->updatePending ? Unite(w->update, r) : r;
  w->updatePending = true;
  w->erasePending = w->erasePending || erase;
}

}  // namespace

bool TakeErase(HWND hwnd) {
  Window* w = Peek(hwnd);
  if (!w || !w->erasePending) return false;
  w->erasePending = false;
  return true;
}

Window* NextToPaint(HWND filter) { return Search(Desktop(), filter, false); }

}  // namespace detail

using namespace detail;

BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase) {
  if (!hwnd) {
    for (Window* t : TopLevels()) Invalidate(t, nullptr, erase);
    return TRUE;
  }
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  Invalidate(w, rect, erase);
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, LPCRECT rect) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  // Only what is covered may be dropped; a part validated leaves the box
  // as it was, so nothing that needs painting is ever lost.
  if (!rect || (rect->Left <= w->update.Left && rect->Top <= w->update.Top && rect->Right >= w->update.Right &&
                rect->Bottom >= w->update.Bottom)) {
    w->updatePending = false;
    w->erasePending = false;
    w->update = {};
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (rect) *rect = w->updatePending ? w->update : RECT{};
  return w->updatePending;
}

BOOL UpdateWindow(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (w->updatePending && VisibleChain(w) && !w->noRedraw) SendMessageA(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}

}  // namespace win
