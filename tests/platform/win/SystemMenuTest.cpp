// Trimming a window's system menu is accepted and leaves the window as it
// was; a window that is gone has no menu to trim.
#include "platform/win/SystemMenu.h"

#include "platform/win/Messages.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowProc.h"

using namespace win;

TEST(SystemMenu, EditsAreAcceptedAndChangeNothing) {
  test::Session session;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "MenuOwner";
  RegisterClassA(&wc);
  HWND form = CreateWindowExA(0, "MenuOwner", "Customize", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              nullptr, nullptr);
  HMENU menu = GetSystemMenu(form, FALSE);
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(DeleteMenu(menu, 7, MF_BYPOSITION));
  EXPECT_TRUE(DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND));
  EXPECT_TRUE(RemoveMenu(menu, 5, MF_BYPOSITION));
  EXPECT_EQ(GetSystemMenu(form, TRUE), nullptr);
  EXPECT_NE(GetWindowLongA(form, GWL_STYLE) & WS_MAXIMIZEBOX, 0u);  // the window itself is untouched
  DestroyWindow(form);
  EXPECT_EQ(GetSystemMenu(form, FALSE), nullptr);
  EXPECT_FALSE(DeleteMenu(nullptr, 0, MF_BYPOSITION));
}
