// What a test sees of a list box or a button, read through the controls'
// own messages only, as a person would see it: the items, which one is
// selected, which one is at the top, and whether a button is checked or
// held down.
#pragma once

#include <string>
#include <vector>

#include "platform/win/Handles.h"

namespace controls::test {

// Every item's text (LB_GETTEXT), top to bottom.
std::vector<std::string> ListItems(win::HWND list);
// The selected item (LB_GETCURSEL), -1 for none.
int ListSelection(win::HWND list);
// Every selected item of a list of several (LB_GETSELITEMS), in order.
std::vector<int> ListSelectedItems(win::HWND list);
// The item at the top of the view (LB_GETTOPINDEX).
int ListTopIndex(win::HWND list);
// BM_GETSTATE: the check (0, 1, 2) with BST_PUSHED and BST_FOCUS.
unsigned ButtonState(win::HWND button);

}  // namespace controls::test
