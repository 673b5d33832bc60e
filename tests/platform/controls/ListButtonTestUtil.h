// The list box and button tests' stage: a session with the units started,
// a host window that logs what its native children tell it (WM_COMMAND
// notifications, owner-draw requests), forms for the wrappers, and the
// pixels a person would see, with a PNG of them for looking at.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ControlsUnits.h"
#include "platform/controls/ButtonControl.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/ControlsStartup.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/ListBoxControl.h"
#include "platform/controls/ListBoxTestHooks.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PngWriter.h"
#include "platform/gdi/Text.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Metrics.h"
#include "platform/win/OwnerDraw.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/ScrollBars.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

namespace lb_test {

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

// How tall the host makes owner-drawn items: item i is 10 + i pixels.
inline UINT HostItemHeight(UINT item) { return 10 + item; }

// The parent of native controls: logs notifications ("LBN_SELCHANGE 7"),
// measures owner-drawn items and fills them in a colour of their state.
inline LRESULT HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& log = HostLog();
  switch (msg) {
    case WM_COMMAND: {
      const int code = HIWORD(wParam);
      char cls[16] = {};
      GetClassNameA(reinterpret_cast<HWND>(lParam), cls, sizeof cls);
      const bool list = std::string(cls) == "LISTBOX";
      std::string name = list ? (code == LBN_SELCHANGE   ? "LBN_SELCHANGE"
                                 : code == LBN_DBLCLK    ? "LBN_DBLCLK"
                                 : code == LBN_SETFOCUS  ? "LBN_SETFOCUS"
                                 : code == LBN_KILLFOCUS ? "LBN_KILLFOCUS"
                                                         : "LBN_?")
                              : (code == BN_CLICKED         ? "BN_CLICKED"
                                 : code == BN_DOUBLECLICKED ? "BN_DOUBLECLICKED"
                                                            : "BN_?");
      log.push_back(name + " " + std::to_string(LOWORD(wParam)));
      return 0;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      mis->itemHeight = HostItemHeight(mis->itemID);
      log.push_back("MEASURE " + std::to_string(mis->itemID));
      return TRUE;
    }
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      std::string line = "DRAW " + std::to_string(static_cast<int>(dis->itemID));
      line += dis->itemAction == ODA_DRAWENTIRE ? " entire" : dis->itemAction == ODA_SELECT ? " select" : " focus";
      if (dis->itemState & ODS_SELECTED) line += " selected";
      if (dis->itemState & ODS_FOCUS) line += " focus";
      if (dis->itemState & ODS_DISABLED) line += " disabled";
      if (dis->itemState & ODS_DEFAULT) line += " default";
      log.push_back(line);
      HBRUSH brush = CreateSolidBrush((dis->itemState & ODS_SELECTED) ? RGB(0, 128, 0) : RGB(255, 255, 0));
      FillRect(dis->hDC, &dis->rcItem, brush);
      DeleteObject(brush);
      return TRUE;
    }
    default: break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class Stage : public ::testing::Test, private ControlsUnitsListed {
 protected:
  forms::test::Session session;
  HWND host = nullptr;

  void SetUp() override {
    HostLog().clear();
    // Starting the units made the native classes system classes and put
    // the wrappers in the registry layouts read from.
    ASSERT_EQ(GetClass("TListBox"), TListBox::StaticClass());
    ASSERT_EQ(GetClass("TButton"), TButton::StaticClass());
    WNDCLASSA hostClass{};
    hostClass.lpfnWndProc = &HostProc;
    hostClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
    hostClass.lpszClassName = "ListButtonHost";
    RegisterClassA(&hostClass);
    host = CreateWindowExA(0, "ListButtonHost", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, 400, 300,
                           nullptr, nullptr, nullptr, nullptr);
    SetTextRenderMode(TextRenderMode::Monochrome);
  }

  void TearDown() override {
    SetTextRenderMode(TextRenderMode::Grayscale);
    if (IsWindow(host)) DestroyWindow(host);
    EXPECT_TRUE(forms::test::RecordedExceptions().empty());
  }

  HWND MakeChild(const char* cls, DWORD style, RECT bounds, int id, const char* text = "") {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, bounds.Left, bounds.Top,
                           bounds.Width(), bounds.Height(), host,
                           reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
  }
  HWND MakeList(DWORD style = LBS_NOTIFY | WS_VSCROLL, RECT bounds = {10, 10, 110, 90}, int id = 7) {
    return MakeChild("LISTBOX", style, bounds, id);
  }
};

// ---- Input ----

inline void Pump() { win::test::PumpUntilIdle(); }

inline void Press(BYTE vk) {
  win::test::KeyPress(vk);
  Pump();
}

inline void ClickAt(HWND hwnd, POINT p) {
  win::test::Click(hwnd, p);
  Pump();
}

// ---- Reading through the list box's messages ----

inline int Count(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); }
inline int CurSel(HWND list) { return controls::test::ListSelection(list); }
inline int TopIndex(HWND list) { return controls::test::ListTopIndex(list); }
inline std::vector<std::string> Items(HWND list) { return controls::test::ListItems(list); }
inline std::string ItemText(HWND list, int index) {
  const auto items = Items(list);
  return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(index)] : "<err>";
}
inline LRESULT Add(HWND list, const char* text) {
  return SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}
inline RECT ItemRectOf(HWND list, int index) {
  RECT r{-1, -1, -1, -1};
  SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

// ---- Pixels ----

// What the window shows at a client point, as 0x00BBGGRR.
inline COLORREF PixelAt(HWND hwnd, int x, int y) {
  HDC dc = GetDC(hwnd);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return c;
}

// A PNG of the window's client area with its children, for a person to
// look at.
inline void Snapshot(HWND hwnd, const std::string& path) {
  RECT rc{};
  GetClientRect(hwnd, &rc);
  // Reading through the children needs a DC that does not clip them out.
  const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
  SetWindowLongPtrA(hwnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CLIPCHILDREN));
  HDC dc = GetDC(hwnd);
  SaveRowsPng(
      rc.Right, rc.Bottom,
      [dc, &rc](int y, std::uint32_t* row) {
        for (int x = 0; x < rc.Right; ++x) {
          const COLORREF c = GetPixel(dc, x, y);
          row[x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
      },
      path);
  ReleaseDC(hwnd, dc);
  SetWindowLongPtrA(hwnd, GWL_STYLE, style);
}

// ---- Forms ----

template <class T>
T* Make(TWinControl* parent, const char* name, TRect bounds) {
  T* c = New<T>(static_cast<TComponent*>(parent));
  c->SetName(name);
  c->SetBoundsRect(bounds);
  c->SetParent(parent);
  return c;
}

inline TForm* MakeForm(const char* name, TRect bounds = Bounds(100, 100, 300, 200)) {
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  form->SetName(name);
  form->SetBorderStyle(bsSingle);
  form->SetPosition(poDesigned);
  form->SetBoundsRect(bounds);
  return form;
}

}  // namespace lb_test
