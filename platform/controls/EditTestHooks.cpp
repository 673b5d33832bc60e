#include "platform/controls/EditTestHooks.h"

#include <algorithm>
#include <cstring>

#include "platform/win/Messages.h"
#include "platform/win/Queue.h"

namespace controls::test {

using namespace win;

std::string EditText(HWND edit) {
  const LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
  std::string buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  const LRESULT copied = SendMessageA(edit, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  buffer.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return buffer;
}

EditSelection EditSel(HWND edit) {
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

int EditCharX(HWND edit, int index) {
  const LRESULT r = SendMessageA(edit, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
  return r == -1 ? -1 : static_cast<short>(LOWORD(static_cast<DWORD_PTR>(r)));
}

int EditCharAt(HWND edit, int x) {
  return LOWORD(static_cast<DWORD_PTR>(SendMessageA(edit, EM_CHARFROMPOS, 0, MAKELPARAM(x, 0))));
}

std::vector<std::string> EditLines(HWND edit) {
  std::vector<std::string> lines;
  const auto count = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
  for (int n = 0; n < count; ++n) {
    const LRESULT start = SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(n), 0);
    const auto length = static_cast<std::size_t>(SendMessageA(edit, EM_LINELENGTH, static_cast<WPARAM>(start), 0));
    std::string line(std::max<std::size_t>(length, 2), '\0');
    const auto size = static_cast<WORD>(length);
    std::memcpy(line.data(), &size, sizeof size);
    line.resize(static_cast<std::size_t>(
        SendMessageA(edit, EM_GETLINE, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(line.data()))));
    lines.push_back(line);
  }
  return lines;
}

int EditFirstVisible(HWND edit) { return static_cast<int>(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0)); }

}  // namespace controls::test
