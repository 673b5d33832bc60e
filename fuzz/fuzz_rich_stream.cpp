// Streams arbitrary bytes into a rich edit as rich or plain text, whole or
// into the selection, in rich or plain text mode, under a limit: it must
// never crash or hang, and what it holds must stay whole: the runs cover
// the text exactly, CR LF is the only line break, the limit holds, and the
// content written out as rich text reads back the same (a vertical tab as
// the line break it stands for there); pages measured from it always move
// on.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "WindowFuzzing.h"
#include "platform/controls/RichEditControl.h"
#include "platform/win/Messages.h"
#include "platform/win/Modules.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowProc.h"

using namespace win;

namespace {

struct Source {
  const char* data;
  std::size_t size;
  std::size_t at = 0;
  std::size_t chunk;
};

DWORD Read(DWORD_PTR cookie, BYTE* buffer, LONG cb, LONG* done) {
  auto* s = reinterpret_cast<Source*>(cookie);
  const std::size_t n = std::min({s->chunk, static_cast<std::size_t>(cb), s->size - s->at});
  std::memcpy(buffer, s->data + s->at, n);
  s->at += n;
  *done = static_cast<LONG>(n);
  return 0;
}

DWORD Write(DWORD_PTR cookie, BYTE* buffer, LONG cb, LONG* done) {
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(cb));
  *done = cb;
  return 0;
}

std::string TextOf(HWND rich) {
  const auto length = static_cast<int>(SendMessageA(rich, WM_GETTEXTLENGTH, 0, 0));
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  SendMessageA(rich, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

// The format of each character but the line breaks, as stretches of one
// format (two runs of one format side by side make one stretch).
struct Stretch {
  std::size_t count;
  DWORD effects;
  long color;
  std::string face;
  LONG height;
  bool SameFormat(const Stretch& o) const {
    return effects == o.effects && color == o.color && face == o.face && height == o.height;
  }
  bool operator==(const Stretch&) const = default;
};

std::vector<Stretch> Formats(HWND rich) {
  std::vector<Stretch> out;
  for (const auto& run : detail::RichRunsOf(rich)) {
    const auto count = static_cast<std::size_t>(
        std::count_if(run.text.begin(), run.text.end(), [](char c) { return c != '\r' && c != '\n' && c != '\v'; }));
    if (count == 0) continue;
    Stretch s{count, run.effects, run.autoColor ? -1 : static_cast<long>(run.color), run.face, run.height};
    if (!out.empty() && out.back().SameFormat(s)) out.back().count += count;
    else out.push_back(std::move(s));
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  window_fuzzing::OpenStage(300, 200);
  RegisterRichEditModules();
  if (!LoadLibraryA("Msftedit")) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  HWND parent = window_fuzzing::Parent();
  if (size < 2) return 0;
  const std::uint8_t flags = data[0];
  const int limit = data[1] * 8;
  HWND rich = CreateWindowExA(0, "RICHEDIT50A", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 200, 100, parent,
                              nullptr, nullptr, nullptr);
  if (flags & 1) SendMessageA(rich, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
  if (limit > 0) SendMessageA(rich, EM_EXLIMITTEXT, 0, limit);
  SetWindowTextA(rich, "before\r\nafter");
  SendMessageA(rich, EM_SETSEL, 3, 9);
  const WPARAM format = ((flags & 2) ? SF_TEXT : SF_RTF) | ((flags & 4) ? SFF_SELECTION : 0);
  Source source{reinterpret_cast<const char*>(data + 2), size - 2, 0, static_cast<std::size_t>(1 + (flags >> 3))};
  EDITSTREAM in{reinterpret_cast<DWORD_PTR>(&source), 0, &Read};
  SendMessageA(rich, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&in));

  const std::string text = TextOf(rich);
  const int cap = limit > 0 ? limit : 30000;
  if (in.dwError == 0 && static_cast<int>(text.size()) > std::max(cap, 13)) std::abort();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && !(i + 1 < text.size() && text[i + 1] == '\n')) std::abort();
    if (text[i] == '\n' && !(i > 0 && text[i - 1] == '\r')) std::abort();
  }
  std::string covered;
  for (const auto& run : detail::RichRunsOf(rich)) covered += run.text;
  if (covered != text) std::abort();

  // Written out and read back into another control: the same text and runs.
  std::string rtf;
  EDITSTREAM out{reinterpret_cast<DWORD_PTR>(&rtf), 0, &Write};
  SendMessageA(rich, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&out));
  HWND again = CreateWindowExA(0, "RICHEDIT50A", "", WS_CHILD, 0, 0, 200, 100, parent, nullptr, nullptr, nullptr);
  if (flags & 1) SendMessageA(again, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
  Source back{rtf.data(), rtf.size(), 0, 4096};
  EDITSTREAM in2{reinterpret_cast<DWORD_PTR>(&back), 0, &Read};
  SendMessageA(again, EM_EXLIMITTEXT, 0, 0);
  SendMessageA(again, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&in2));
  // A vertical tab is how rich text holds a line break inside a
  // paragraph: it comes back as a line break.
  std::string expected;
  for (char c : text) expected += c == '\v' ? std::string("\r\n") : std::string(1, c);
  if (in2.dwError != 0 || TextOf(again) != expected) std::abort();
  // Every character but the line breaks (whose format rich text does not
  // carry) keeps its format.
  if (Formats(rich) != Formats(again)) std::abort();

  // Pages: every measuring call moves on until the text is done.
  HDC dc = GetDC(rich);
  LONG from = 0;
  for (int pages = 0; from < static_cast<LONG>(text.size()); ++pages) {
    FORMATRANGE fr{dc, dc, {0, 0, 2880, 2880}, {0, 0, 2880, 2880}, {from, -1}};
    const auto next = static_cast<LONG>(SendMessageA(rich, EM_FORMATRANGE, FALSE, reinterpret_cast<LPARAM>(&fr)));
    if (next < from || pages > 100000) std::abort();
    if (next == from) break;  // a line taller than the page
    from = next;
  }
  SendMessageA(rich, EM_FORMATRANGE, FALSE, 0);
  ReleaseDC(rich, dc);
  DestroyWindow(again);
  DestroyWindow(rich);
  return 0;
}
