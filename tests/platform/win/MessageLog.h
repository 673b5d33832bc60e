// A window procedure that records every message it gets, for tests that
// assert whole message sequences. Windows are named by their creation
// text; a test may give one window extra behaviour per message.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/Messages.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowProc.h"

namespace wintest {

using namespace win;

inline std::string MessageName(UINT m) {
  static const std::map<UINT, const char*> names = {
      {WM_NULL, "WM_NULL"}, {WM_CREATE, "WM_CREATE"}, {WM_DESTROY, "WM_DESTROY"}, {WM_MOVE, "WM_MOVE"},
      {WM_SIZE, "WM_SIZE"}, {WM_ACTIVATE, "WM_ACTIVATE"}, {WM_SETFOCUS, "WM_SETFOCUS"},
      {WM_KILLFOCUS, "WM_KILLFOCUS"}, {WM_ENABLE, "WM_ENABLE"}, {WM_SETTEXT, "WM_SETTEXT"},
      {WM_GETTEXT, "WM_GETTEXT"}, {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"}, {WM_PAINT, "WM_PAINT"},
      {WM_CLOSE, "WM_CLOSE"}, {WM_QUIT, "WM_QUIT"}, {WM_ERASEBKGND, "WM_ERASEBKGND"},
      {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"}, {WM_CANCELMODE, "WM_CANCELMODE"},
      {WM_SETCURSOR, "WM_SETCURSOR"}, {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"}, {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_CONTEXTMENU, "WM_CONTEXTMENU"}, {WM_STYLECHANGING, "WM_STYLECHANGING"},
      {WM_STYLECHANGED, "WM_STYLECHANGED"}, {WM_NCCREATE, "WM_NCCREATE"}, {WM_NCDESTROY, "WM_NCDESTROY"},
      {WM_NCCALCSIZE, "WM_NCCALCSIZE"}, {WM_NCHITTEST, "WM_NCHITTEST"}, {WM_NCPAINT, "WM_NCPAINT"},
      {WM_NCACTIVATE, "WM_NCACTIVATE"}, {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"},
      {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"}, {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"}, {WM_NCLBUTTONDBLCLK, "WM_NCLBUTTONDBLCLK"},
      {WM_NCRBUTTONDOWN, "WM_NCRBUTTONDOWN"}, {WM_NCRBUTTONUP, "WM_NCRBUTTONUP"},
      {WM_NCRBUTTONDBLCLK, "WM_NCRBUTTONDBLCLK"}, {WM_KEYDOWN, "WM_KEYDOWN"},
      {WM_KEYUP, "WM_KEYUP"}, {WM_CHAR, "WM_CHAR"}, {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
      {WM_SYSKEYUP, "WM_SYSKEYUP"}, {WM_SYSCHAR, "WM_SYSCHAR"}, {WM_COMMAND, "WM_COMMAND"},
      {WM_SYSCOMMAND, "WM_SYSCOMMAND"}, {WM_TIMER, "WM_TIMER"}, {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
      {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"}, {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
      {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"}, {WM_RBUTTONUP, "WM_RBUTTONUP"}, {WM_RBUTTONDBLCLK, "WM_RBUTTONDBLCLK"},
      {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"}, {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
      {WM_SYSCOLORCHANGE, "WM_SYSCOLORCHANGE"}, {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
      {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"}, {WM_CHILDACTIVATE, "WM_CHILDACTIVATE"}, {WM_QUERYOPEN, "WM_QUERYOPEN"}, {WM_USER, "WM_USER"}, {WM_USER + 1, "WM_USER+1"},
      {WM_USER + 2, "WM_USER+2"}, {WM_APP, "WM_APP"}};
  auto it = names.find(m);
  if (it != names.end()) return it->second;
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%04X", m);
  return buf;
}

using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

struct Recorder {
  std::vector<std::string> log;
  std::map<HWND, std::string> names;
  std::map<std::string, Handler> handlers;  // by window name
  std::vector<UINT> ignored{WM_NCHITTEST, WM_SETCURSOR, WM_GETTEXT, WM_GETTEXTLENGTH};
  bool detailed = false;  // add wParam to each entry

  static Recorder*& Current() {
    static Recorder* r = nullptr;
    return r;
  }
  Recorder() { Current() = this; }
  ~Recorder() { Current() = nullptr; }

  std::vector<std::string> Take() {
    std::vector<std::string> out;
    out.swap(log);
    return out;
  }
  std::string Name(HWND h) const {
    auto it = names.find(h);
    return it == names.end() ? "?" : it->second;
  }
};

inline LRESULT CALLBACK_Record(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Recorder* r = Recorder::Current();
  if (!r) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    r->names[hwnd] = cs->lpszName ? cs->lpszName : "";
  }
  std::string name = r->Name(hwnd);
  if (std::find(r->ignored.begin(), r->ignored.end(), msg) == r->ignored.end()) {
    std::string e = name + " " + MessageName(msg);
    if (r->detailed) e += " " + std::to_string(wParam);
    r->log.push_back(e);
  }
  if (auto it = r->handlers.find(name); it != r->handlers.end() && it->second) {
    Handler h = it->second;
    if (auto res = h(hwnd, msg, wParam, lParam)) return *res;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

inline void RegisterRecorderClass(const char* name = "Recorder", UINT style = 0) {
  WNDCLASSA wc{};
  wc.style = style;
  wc.lpfnWndProc = CALLBACK_Record;
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

inline std::vector<std::string> Seq(std::initializer_list<const char*> items) {
  return std::vector<std::string>(items.begin(), items.end());
}

}  // namespace wintest
