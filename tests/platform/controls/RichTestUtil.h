// The rich edit tests' stage: the edit stage with a rich edit on a host
// that logs every notification it hears (WM_COMMAND and WM_NOTIFY) as a
// line of text and answers them as the test says, and streams that feed
// or take data in chunks of a chosen size and may fail on a chosen call.
#pragma once

#include "EditTestUtil.h"

#include <cstring>
#include <functional>

#include "platform/controls/RichEdit.h"
#include "platform/controls/RichEditControl.h"
#include "platform/controls/RichEditTestHooks.h"
#include "platform/win/Modules.h"

namespace rich_test {

using namespace edit_test;

// What the host answers.
struct HostAnswers {
  LRESULT filter = 0;     // EN_MSGFILTER: non-zero stops the key
  LRESULT protect = 0;    // EN_PROTECTED: non-zero refuses the change
  LRESULT clipboard = 0;  // EN_SAVECLIPBOARD: non-zero drops the clipboard
  std::function<void(HWND)> onChange;  // run on EN_CHANGE
};

inline HostAnswers& Answers() {
  static HostAnswers answers;
  return answers;
}

inline std::vector<std::string>& RichLog() {
  static std::vector<std::string> log;
  return log;
}

inline std::vector<std::string> TakeRichLog() {
  std::vector<std::string> out;
  out.swap(RichLog());
  return out;
}

inline LRESULT RichHostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND) {
    const int code = HIWORD(wParam);
    if (code == EN_CHANGE) {
      RichLog().push_back("EN_CHANGE");
      if (Answers().onChange) Answers().onChange(reinterpret_cast<HWND>(lParam));
    }
    if (code == EN_VSCROLL) RichLog().push_back("EN_VSCROLL");
    return 0;
  }
  if (msg == WM_NOTIFY) {
    const auto* h = reinterpret_cast<const NMHDR*>(lParam);
    const auto range = [](const CHARRANGE& r) { return std::to_string(r.cpMin) + "-" + std::to_string(r.cpMax); };
    switch (h->code) {
      case EN_MSGFILTER: {
        const auto* f = reinterpret_cast<const MSGFILTER*>(h);
        const char* name = f->msg == WM_KEYDOWN ? "WM_KEYDOWN"
                           : f->msg == WM_KEYUP ? "WM_KEYUP"
                           : f->msg == WM_CHAR  ? "WM_CHAR"
                                                : "other";
        RichLog().push_back(std::string("EN_MSGFILTER ") + name + " " + std::to_string(f->wParam));
        return Answers().filter;
      }
      case EN_SELCHANGE: {
        const auto* s = reinterpret_cast<const SELCHANGE*>(h);
        RichLog().push_back("EN_SELCHANGE " + range(s->chrg) + " " + std::to_string(s->seltyp));
        return 0;
      }
      case EN_REQUESTRESIZE: {
        const auto* r = reinterpret_cast<const REQRESIZE*>(h);
        RichLog().push_back("EN_REQUESTRESIZE " + std::to_string(r->rc.Bottom));
        return 0;
      }
      case EN_PROTECTED: {
        const auto* p = reinterpret_cast<const ENPROTECTED*>(h);
        RichLog().push_back("EN_PROTECTED " + range(p->chrg));
        return Answers().protect;
      }
      case EN_SAVECLIPBOARD: {
        const auto* c = reinterpret_cast<const ENSAVECLIPBOARD*>(h);
        RichLog().push_back("EN_SAVECLIPBOARD " + std::to_string(c->cch));
        return Answers().clipboard;
      }
      default: return 0;
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class RichStage : public EditStage {
 protected:
  HWND richHost = nullptr;

  void SetUp() override {
    EditStage::SetUp();
    RichLog().clear();
    Answers() = {};
    if (!GetModuleHandleA("Msftedit")) {
      ASSERT_TRUE(LoadLibraryA("Msftedit"));
    }
    WNDCLASSA hostClass{};
    hostClass.lpfnWndProc = &RichHostProc;
    hostClass.lpszClassName = "RichHost";
    RegisterClassA(&hostClass);
    richHost = CreateWindowExA(0, "RichHost", "host", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr,
                               nullptr, nullptr);
  }

  void TearDown() override {
    Answers() = {};
    if (IsWindow(richHost)) DestroyWindow(richHost);
    EditStage::TearDown();
  }

  HWND MakeRich(const char* text = "", DWORD style = 0, RECT bounds = {10, 10, 210, 110}) {
    return CreateWindowExA(0, "RICHEDIT50A", text, WS_CHILD | WS_VISIBLE | style, bounds.Left, bounds.Top,
                           bounds.Width(), bounds.Height(), richHost, reinterpret_cast<HMENU>(7), nullptr, nullptr);
  }
};

// ---- Streams ----

// Feeds data chunk bytes at a time; the call numbered failAt (from 1)
// reports error instead.
struct Feed {
  std::string data;
  std::size_t chunk = 7;
  int failAt = 0;
  DWORD error = 0x1234;
  std::size_t at = 0;
  int calls = 0;
  LONG claim = -1;  // when set, what the callback claims to have moved

  static DWORD Read(DWORD_PTR cookie, BYTE* buffer, LONG size, LONG* done) {
    auto* f = reinterpret_cast<Feed*>(cookie);
    if (++f->calls == f->failAt) return f->error;
    const std::size_t n = std::min({f->chunk, static_cast<std::size_t>(size), f->data.size() - f->at});
    std::memcpy(buffer, f->data.data() + f->at, n);
    f->at += n;
    *done = f->claim >= 0 ? f->claim : static_cast<LONG>(n);
    return 0;
  }
  static DWORD Write(DWORD_PTR cookie, BYTE* buffer, LONG size, LONG* done) {
    auto* f = reinterpret_cast<Feed*>(cookie);
    if (++f->calls == f->failAt) return f->error;
    const std::size_t n = std::min(f->chunk, static_cast<std::size_t>(size));
    f->data.append(reinterpret_cast<const char*>(buffer), n);
    *done = static_cast<LONG>(n);
    return 0;
  }
};

// Streams in; answers the count and leaves the stream's error in error.
inline LRESULT StreamIn(HWND rich, WPARAM format, Feed& feed, DWORD* error = nullptr) {
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&feed), 0xFFFF, &Feed::Read};
  const LRESULT r = SendMessageA(rich, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
  if (error) *error = es.dwError;
  return r;
}

inline std::string StreamOut(HWND rich, WPARAM format, std::size_t chunk = 5, DWORD* error = nullptr,
                             int failAt = 0) {
  Feed feed;
  feed.chunk = chunk;
  feed.failAt = failAt;
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&feed), 0xFFFF, &Feed::Write};
  SendMessageA(rich, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&es));
  if (error) *error = es.dwError;
  return feed.data;
}

inline PARAFORMAT Para(DWORD mask) {
  PARAFORMAT pf{};
  pf.cbSize = sizeof pf;
  pf.dwMask = mask;
  return pf;
}

inline LRESULT SetPara(HWND rich, PARAFORMAT pf) {
  return SendMessageA(rich, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
}

inline PARAFORMAT GetPara(HWND rich) {
  PARAFORMAT pf = Para(0);
  SendMessageA(rich, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  return pf;
}

inline CHARFORMATA CharFormat(DWORD mask, DWORD effects = 0, COLORREF colour = 0) {
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = mask;
  cf.dwEffects = effects;
  cf.crTextColor = colour;
  return cf;
}

inline LRESULT SetCharFormat(HWND rich, WPARAM scope, CHARFORMATA cf) {
  return SendMessageA(rich, EM_SETCHARFORMAT, scope, reinterpret_cast<LPARAM>(&cf));
}

}  // namespace rich_test
