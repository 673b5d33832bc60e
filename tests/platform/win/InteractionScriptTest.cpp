// A whole interaction under the headless back end: a form with children,
// a click and typed text, time passing on the fake clock, a modal dialog
// run from a click and ended by a scripted action, and WM_QUIT at the end.
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/ModalLoop.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Timers.h"
#include "platform/win/WindowPos.h"
#include "platform/win/MessageLog.h"

using namespace win;
using namespace wintest;

namespace {

TEST(InteractionScript, FormClickTypeModalDialogAndQuit) {
  test::Session session;
  Recorder rec;
  RegisterRecorderClass();
  std::string typed;
  int blinks = 0;
  bool dialogClosed = false;
  bool clickOnOwnerDuringModal = false;
  HWND form = nullptr, dialog = nullptr;

  rec.handlers["Edit"] = [&](HWND h, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_LBUTTONDOWN) SetFocus(h);
    if (m == WM_SETFOCUS) SetTimer(h, 1, 530, nullptr);
    if (m == WM_TIMER) ++blinks;
    if (m == WM_CHAR) typed += static_cast<char>(w);
    return std::nullopt;
  };
  rec.handlers["Ok"] = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_LBUTTONUP) dialogClosed = true;
    return std::nullopt;
  };
  rec.handlers["Form"] = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_LBUTTONDOWN && dialog) clickOnOwnerDuringModal = true;
    return std::nullopt;
  };
  rec.handlers["Button"] = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_LBUTTONUP) return std::nullopt;
    // What a modal form does: an owned window, the owner disabled, a loop.
    dialog = CreateWindowExA(WS_EX_DLGMODALFRAME, "Recorder", "Dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE, 200,
                             200, 200, 120, form, nullptr, nullptr, nullptr);
    CreateWindowExA(0, "Recorder", "Ok", WS_CHILD | WS_VISIBLE, 10, 10, 60, 24, dialog, nullptr, nullptr, nullptr);
    EnableWindow(form, FALSE);
    RunModalLoop([&] { return dialogClosed; });
    EnableWindow(form, TRUE);
    DestroyWindow(dialog);
    dialog = nullptr;
    PostQuitMessage(42);
    return 0;
  };

  form = CreateWindowExA(0, "Recorder", "Form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                         nullptr, nullptr, nullptr);
  HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "Recorder", "Edit", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 150,
                              22, form, nullptr, nullptr, nullptr);
  HWND button = CreateWindowExA(0, "Recorder", "Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 50, 75, 25, form,
                                nullptr, nullptr, nullptr);
  EXPECT_EQ(GetActiveWindow(), form);

  test::Click(edit, {5, 5});
  test::TypeText("Hi!");
  test::PumpUntilIdle();
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(typed, "Hi!");
  test::PumpFor(1100);
  EXPECT_EQ(blinks, 2);

  // Inside the dialog's loop: the owner is disabled, so a click on it is
  // dropped; then OK is clicked.
  test::OnNextModalLoop([&] {
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(IsWindowEnabled(form));
    EXPECT_EQ(GetActiveWindow(), dialog);
    test::Click(form, {300, 200});
    test::Click(GetWindow(dialog, GW_CHILD), {5, 5});
  });
  test::Click(button, {5, 5});
  MSG msg;
  int loops = 0;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0 && ++loops < 10000) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 42u);
  EXPECT_TRUE(dialogClosed);
  EXPECT_FALSE(clickOnOwnerDuringModal);
  EXPECT_TRUE(IsWindowEnabled(form));
  // The owner is active again once the dialog has gone.
  EXPECT_EQ(GetActiveWindow(), form);
  EXPECT_EQ(test::DumpTree(),
            "Recorder \"Form\" [100,100,500,400] style=14CF0000 ex=00000000 visible enabled\n"
            "  Recorder \"Edit\" [114,133,264,155] style=50010000 ex=00000200 visible enabled\n"
            "  Recorder \"Button\" [114,173,189,198] style=50010000 ex=00000000 visible enabled\n");
  EXPECT_EQ(ModalLoopDepth(), 0);
}

}  // namespace
