#include "platform/controls/ListBoxTestHooks.h"

#include "platform/win/Messages.h"
#include "platform/win/Queue.h"

namespace controls::test {

using namespace win;

std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const LRESULT copied =
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    items.push_back(std::move(text));
  }
  return items;
}

int ListSelection(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); }

std::vector<int> ListSelectedItems(HWND list) {
  const LRESULT count = SendMessageA(list, LB_GETSELCOUNT, 0, 0);
  std::vector<INT> items(static_cast<std::size_t>(count > 0 ? count : 0));
  const LRESULT got = SendMessageA(list, LB_GETSELITEMS, items.size(), reinterpret_cast<LPARAM>(items.data()));
  items.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return {items.begin(), items.end()};
}

int ListTopIndex(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0)); }

unsigned ButtonState(HWND button) { return static_cast<unsigned>(SendMessageA(button, BM_GETSTATE, 0, 0)); }

}  // namespace controls::test
