// The edit tests' stage: a session with the units started, a host window
// that logs what the edit tells its parent (EN_CHANGE), and read-outs
// through the edit's own messages only (EditTestHooks.h).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ControlsUnits.h"
#include "platform/controls/Edit.h"
#include "platform/controls/EditControl.h"
#include "platform/controls/EditTestHooks.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/win/Caret.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Metrics.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

namespace edit_test {

using namespace win;

inline std::vector<std::string>& HostLog() {
  static std::vector<std::string> log;
  return log;
}

inline std::vector<std::string> TakeHostLog() {
  std::vector<std::string> out;
  out.swap(HostLog());
  return out;
}

// The parent of native edits: logs "EN_CHANGE <id>" and friends.
inline LRESULT HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND) {
    const int code = HIWORD(wParam);
    const char* name = code == EN_CHANGE    ? "EN_CHANGE"
                       : code == EN_VSCROLL ? "EN_VSCROLL"
                       : code == EN_HSCROLL ? "EN_HSCROLL"
                                            : nullptr;
    if (name) HostLog().push_back(std::string(name) + " " + std::to_string(LOWORD(wParam)));
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class EditStage : public ::testing::Test, private ControlsUnitsListed {
 protected:
  forms::test::Session session;
  HWND host = nullptr;

  void SetUp() override {
    HostLog().clear();
    // Starting the units made "EDIT" a system class and put the wrapper
    // in the registry layouts read from.
    ASSERT_EQ(GetClass("TEdit"), TEdit::StaticClass());
    WNDCLASSA edit{};
    ASSERT_TRUE(GetClassInfoA(nullptr, "EDIT", &edit));
    WNDCLASSA hostClass{};
    hostClass.lpfnWndProc = &HostProc;
    hostClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
    hostClass.lpszClassName = "EditHost";
    RegisterClassA(&hostClass);
    host = CreateWindowExA(0, "EditHost", "host", WS_POPUP | WS_VISIBLE, 100, 100, 400, 200, nullptr, nullptr,
                           nullptr, nullptr);
    SetTextRenderMode(TextRenderMode::Monochrome);
  }

  void TearDown() override {
    SetTextRenderMode(TextRenderMode::Grayscale);
    if (IsWindow(host)) DestroyWindow(host);
    EXPECT_TRUE(forms::test::RecordedExceptions().empty());
  }

  // A native edit on the host, 100 x 20 at (10, 10) unless told otherwise.
  HWND MakeEdit(DWORD style = ES_AUTOHSCROLL, const char* text = "", RECT bounds = {10, 10, 110, 30}, int id = 7) {
    return CreateWindowExA(0, "EDIT", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, bounds.Left, bounds.Top,
                           bounds.Width(), bounds.Height(), host,
                           reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
  }
};

// ---- Read-outs through the control's messages ----

inline std::string TextOf(HWND edit) { return controls::test::EditText(edit); }

// (start, end) as EM_GETSEL answers them.
inline std::pair<int, int> SelOf(HWND edit) {
  const auto sel = controls::test::EditSel(edit);
  return {sel.Start, sel.End};
}

inline void SetSel(HWND edit, int start, int end) {
  SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(start), end);
}

inline int PosX(HWND edit, int index) { return controls::test::EditCharX(edit, index); }
// The client y of a character's line (multi-line), or -1 past the end.
inline int PosY(HWND edit, int index) {
  const LRESULT r = SendMessageA(edit, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
  return r == -1 ? -1 : static_cast<short>(HIWORD(static_cast<DWORD_PTR>(r)));
}
inline int CharAt(HWND edit, int x) { return controls::test::EditCharAt(edit, x); }

inline POINT CaretAt() {
  POINT p{-1, -1};
  GetCaretPos(&p);
  return p;
}

// The width of text in the font of a window (its WM_GETFONT, or the DC's).
inline int Width(HWND edit, const std::string& text) {
  HDC dc = CreateCompatibleDC(nullptr);
  auto font = reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0));
  HGDIOBJ old = font ? SelectObject(dc, ToObj(font)) : nullptr;
  SIZE size{};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  if (old) SelectObject(dc, old);
  DeleteDC(dc);
  return size.cx;
}

// ---- Input ----

inline void Pump() { win::test::PumpUntilIdle(); }

inline void Type(const std::string& text) {
  win::test::TypeText(text);
  Pump();
}

inline void Press(BYTE vk) {
  win::test::KeyPress(vk);
  Pump();
}

// A key with a modifier held (VK_SHIFT, VK_CONTROL).
inline void Chord(BYTE modifier, BYTE vk, int times = 1) {
  win::test::KeyDown(modifier);
  for (int i = 0; i < times; ++i) win::test::KeyPress(vk);
  win::test::KeyUp(modifier);
  Pump();
}

inline std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return "<busy>";
  if (HANDLE block = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(block));
    GlobalUnlock(block);
  } else {
    text = "<none>";
  }
  CloseClipboard();
  return text;
}

inline void SetClipboardText(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, GlobalFromBytes(text.c_str(), text.size() + 1));
  CloseClipboard();
}

}  // namespace edit_test
