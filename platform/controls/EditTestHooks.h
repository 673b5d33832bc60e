// What a test sees of an edit, read through the control's own messages
// only, as a person would see it: the text, the selection, where the caret
// stands and where each character is drawn.
#pragma once

#include <string>
#include <vector>

#include "platform/win/Handles.h"

namespace controls::test {

struct EditSelection {
  int Start = 0;  // the lower end
  int End = 0;    // the higher end
  bool operator==(const EditSelection&) const = default;
};

std::string EditText(win::HWND edit);
EditSelection EditSel(win::HWND edit);
// The client x of the boundary before character index (EM_POSFROMCHAR),
// or -1 past the last character.
int EditCharX(win::HWND edit, int index);
// The boundary nearest to a client x (EM_CHARFROMPOS).
int EditCharAt(win::HWND edit, int x);
// The first character in view (EM_GETFIRSTVISIBLELINE).
int EditFirstVisible(win::HWND edit);
// Every line as EM_GETLINECOUNT and EM_GETLINE give them (a multi-line
// edit's wrapped lines each on their own).
std::vector<std::string> EditLines(win::HWND edit);

}  // namespace controls::test
