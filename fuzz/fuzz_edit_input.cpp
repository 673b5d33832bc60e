// Feeds arbitrary clipboard bytes (no terminator promised), typed
// characters and the Delete keys to an edit of any style and limit,
// single- or multi-line: it must never crash or hang, and what it holds
// must stay within its rules:
// within the limit, the selection inside the text, positions increasing;
// one line, or lines that tile the text with CR LF as the only break.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "WindowFuzzing.h"
#include "platform/controls/EditControl.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

using namespace win;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  window_fuzzing::OpenStage(200, 40);
  RegisterEditClass();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  HWND parent = window_fuzzing::Parent();
  if (size < 2) return 0;
  const std::uint8_t flags = data[0];
  const int limit = data[1];
  DWORD style = WS_CHILD | WS_VISIBLE;
  if (flags & 1) style |= ES_AUTOHSCROLL;
  if (flags & 2) style |= ES_UPPERCASE;
  if (flags & 4) style |= ES_LOWERCASE;
  if (flags & 8) style |= ES_PASSWORD;
  if (flags & 16) style |= ES_READONLY;
  const bool multi = (flags & 32) != 0;
  if (multi) style |= ES_MULTILINE;
  if (flags & 64) style |= WS_VSCROLL | WS_HSCROLL;
  HWND edit = CreateWindowExA(0, "EDIT", "", style, 0, 0, 120, multi ? 40 : 20, parent, nullptr, nullptr, nullptr);
  SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
  SetFocus(edit);

  const char* rest = reinterpret_cast<const char*>(data + 2);
  const std::size_t restSize = size - 2;
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    if (restSize > 0) SetClipboardData(CF_TEXT, GlobalFromBytes(rest, restSize));
    CloseClipboard();
  }
  SendMessageA(edit, WM_PASTE, 0, 0);
  for (std::size_t i = 0; i < restSize && i < 64; ++i) {
    const auto c = static_cast<unsigned char>(rest[i]);
    if (c == 22) continue;  // pasting again is covered above
    SendMessageA(edit, WM_CHAR, c, 0);
    if (c % 7 == 0) SendMessageA(edit, WM_KEYDOWN, VK_LEFT + c % 4, 0);
    if (c % 11 == 0) SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(static_cast<int>(c) - 128), c);
    if (c % 13 == 0) {
      // A Delete key, with Shift, Ctrl, both or neither held.
      BYTE keys[256] = {};
      keys[VK_SHIFT] = (c & 16) ? 0x80 : 0;
      keys[VK_CONTROL] = (c & 32) ? 0x80 : 0;
      SetKeyboardState(keys);
      SendMessageA(edit, WM_KEYDOWN, VK_DELETE, 0);
      static const BYTE kNoneHeld[256] = {};
      SetKeyboardState(kNoneHeld);
    }
  }

  const auto length = static_cast<int>(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0));
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  SendMessageA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  const int cap = limit == 0 ? kEditNoLimit : limit;
  if (length > cap) std::abort();
  if (!multi && text.find_first_of("\r\n") != std::string::npos) std::abort();
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (start > end || end > static_cast<DWORD>(length)) std::abort();
  if (!multi) {
    int last = -100000;
    for (int i = 0; i < length; ++i) {
      const auto x = static_cast<short>(LOWORD(static_cast<DWORD_PTR>(SendMessageA(edit, EM_POSFROMCHAR, i, 0))));
      if (x < last) std::abort();
      last = x;
    }
  } else {
    // Each line starts where the one before ended, or after its CR LF.
    const auto lines = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
    int expected = 0;
    for (int n = 0; n < lines; ++n) {
      const auto first = static_cast<int>(SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(n), 0));
      if (first != expected && !(first == expected + 2 && text.compare(static_cast<std::size_t>(expected), 2, "\r\n") == 0))
        std::abort();
      expected = first + static_cast<int>(SendMessageA(edit, EM_LINELENGTH, static_cast<WPARAM>(first), 0));
      const std::size_t brk = text.find_first_of("\r\n", static_cast<std::size_t>(first));
      if (brk != std::string::npos && brk < static_cast<std::size_t>(expected)) std::abort();
    }
    if (expected != length) std::abort();
    // The lines kept in step with each edit are the lines laid out afresh:
    // every character where it was, relative to the first (the view may
    // have moved).
    auto places = [&] {
      std::vector<std::pair<int, int>> out;
      for (int i = 0; i < length; ++i) {
        const auto r = static_cast<DWORD_PTR>(SendMessageA(edit, EM_POSFROMCHAR, i, 0));
        out.emplace_back(static_cast<short>(LOWORD(r)), static_cast<short>(HIWORD(r)));
      }
      for (std::size_t i = out.size(); i-- > 0;) {
        out[i].first -= out[0].first;
        out[i].second -= out[0].second;
      }
      return out;
    };
    const auto kept = places();
    SetWindowPos(edit, nullptr, 0, 0, 121, 40, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowPos(edit, nullptr, 0, 0, 120, 40, SWP_NOMOVE | SWP_NOZORDER);
    if (places() != kept) std::abort();
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && !(i + 1 < text.size() && text[i + 1] == '\n')) std::abort();
      if (text[i] == '\n' && !(i > 0 && text[i - 1] == '\r')) std::abort();
    }
  }
  DestroyWindow(edit);
  // Nothing of this input is left for the next: what it put on the
  // clipboard is freed here (libFuzzer runs an input again when it ends
  // with more blocks than it began with).
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  return 0;
}
