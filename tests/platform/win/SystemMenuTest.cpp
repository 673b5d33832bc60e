// A window's system menu: the standard items, a program's edits to them,
// and where our own caption is on the screen, the menu a press on the
// small icon or Alt+Space shows, greyed as the styles and the state say,
// with the chosen item coming back as WM_SYSCOMMAND. Under a window
// manager's frame the manager's menu stands: nothing of ours shows, and
// the edits are kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/win/Icons.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/NonClient.h"
#include "platform/win/Seams.h"
#include "platform/win/SystemMenu.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"
#include "platform/win/WindowStyles.h"

using namespace win;

namespace {

std::vector<std::string> gLog;

LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_SYSCOMMAND) gLog.push_back("WM_SYSCOMMAND " + std::to_string(w & 0xFFF0));
  if (m == WM_INITMENU) gLog.push_back("WM_INITMENU");
  if (m == WM_INITMENUPOPUP) gLog.push_back("WM_INITMENUPOPUP system=" + std::to_string(HIWORD(l)));
  if (m == WM_CLOSE) {
    gLog.push_back("WM_CLOSE");
    return 0;  // asked only: the test still looks at the window
  }
  return DefWindowProcA(h, m, w, l);
}

// What the menu showed: each item's text, "(grey)" after a greyed one.
struct Shown {
  std::vector<std::string> items;
  POINT at{};
};
std::vector<Shown> gShown;
UINT gChoose = 0;

UINT RecordMenu(HMENU menu, POINT at, LONG, HWND) {
  Shown s;
  s.at = at;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    s.items.push_back((state & MF_SEPARATOR) ? std::string("-")
                                             : std::string(text) + ((state & MF_GRAYED) ? " (grey)" : ""));
  }
  gShown.push_back(s);
  gLog.push_back("menu shown");
  return gChoose;
}

// A display whose window manager frames the windows itself.
class FramedScreen : public HeadlessBackEnd {
 public:
  bool Decorated(SurfaceId) override { return true; }
};

class SystemMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    session = std::make_unique<test::Session>();
    Start();
  }
  void Start() {
    saved = Seams().trackMenu;
    Seams().trackMenu = RecordMenu;
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = "MenuOwner";
    // A small icon for the caption to show: a black square.
    HBITMAP mask = CreateBitmap(16, 32, 1, 1, nullptr);
    ICONINFO info{TRUE, 0, 0, mask, nullptr};
    if (!icon) icon = CreateIconIndirect(&info);
    wc.hIcon = icon;
    DeleteObject(mask);
    RegisterClassA(&wc);
    form = CreateWindowExA(0, "MenuOwner", "Terrain batch", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 40, 300, 200,
                           nullptr, nullptr, nullptr, nullptr);
    test::PumpUntilIdle();
    gLog.clear();
    gShown.clear();
    gChoose = 0;
  }
  void TearDown() override {
    Seams().trackMenu = saved;
    session.reset();
    DestroyIcon(icon);
  }
  POINT IconCentre() {
    detail::CaptionLayout c;
    EXPECT_TRUE(detail::LayoutCaption(detail::Peek(form), c));
    RECT wr;
    GetWindowRect(form, &wr);
    return {wr.Left + (c.icon.Left + c.icon.Right) / 2, wr.Top + (c.icon.Top + c.icon.Bottom) / 2};
  }
  void ClickIcon() {
    test::MouseMove(IconCentre());
    test::MouseDown();
    test::MouseUp();
    test::PumpUntilIdle();
  }
  static std::vector<std::string> Items(HMENU menu) {
    std::vector<std::string> out;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      char text[64] = {};
      GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
      out.push_back(GetMenuItemID(menu, i) == 0 ? "-" : text);
    }
    return out;
  }

  std::unique_ptr<test::Session> session;
  UINT (*saved)(HMENU, POINT, LONG, HWND) = nullptr;
  HWND form = nullptr;
  HICON icon = nullptr;
};

using Strings = std::vector<std::string>;

TEST_F(SystemMenus, TheStandardItemsTakeAProgramsEditsAndGoWithTheWindow) {
  HMENU menu = GetSystemMenu(form, FALSE);
  ASSERT_TRUE(IsMenu(menu));
  EXPECT_EQ(GetSystemMenu(form, FALSE), menu) << "one menu per window";
  EXPECT_EQ(Items(menu), (Strings{"&Restore", "&Move", "&Size", "Mi&nimize", "Ma&ximize", "-", "&Close\tAlt+F4"}));
  EXPECT_EQ(GetMenuItemID(menu, 6), SC_CLOSE);
  EXPECT_EQ(GetMenuStringA(menu, SC_MOVE, nullptr, 0, MF_BYCOMMAND), 5);

  // What the customization form does: positions 7 (there is none) and 5,
  // then three commands.
  EXPECT_FALSE(DeleteMenu(menu, 7, MF_BYPOSITION));
  EXPECT_TRUE(DeleteMenu(menu, 5, MF_BYPOSITION));
  EXPECT_TRUE(DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND));
  EXPECT_TRUE(RemoveMenu(menu, SC_MINIMIZE, MF_BYCOMMAND));
  EXPECT_TRUE(DeleteMenu(menu, SC_RESTORE, MF_BYCOMMAND));
  EXPECT_FALSE(DeleteMenu(menu, SC_RESTORE, MF_BYCOMMAND)) << "gone already";
  EXPECT_EQ(Items(menu), (Strings{"&Move", "&Size", "&Close\tAlt+F4"}));

  EXPECT_EQ(EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED), static_cast<BOOL>(MF_ENABLED));
  EXPECT_EQ(EnableMenuItem(menu, 1, MF_BYPOSITION | MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
  EXPECT_EQ(EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED), -1) << "no such item";
  EXPECT_EQ(GetMenuState(menu, 9, MF_BYPOSITION), 0xFFFFFFFFu);

  // Reverting brings the standard menu back under a new handle.
  EXPECT_EQ(GetSystemMenu(form, TRUE), nullptr);
  EXPECT_FALSE(IsMenu(menu));
  HMENU again = GetSystemMenu(form, FALSE);
  EXPECT_NE(again, menu);
  EXPECT_EQ(GetMenuItemCount(again), 7);

  DestroyWindow(form);
  EXPECT_FALSE(IsMenu(again)) << "the menu goes with its window";
  EXPECT_EQ(GetSystemMenu(form, FALSE), nullptr);
  EXPECT_EQ(GetMenuItemCount(again), -1);
  EXPECT_FALSE(DeleteMenu(nullptr, 0, MF_BYPOSITION));
}

TEST_F(SystemMenus, APressOnTheIconShowsTheMenuUnderItAndTheChoiceComesAsASystemCommand) {
  gChoose = SC_CLOSE;
  ClickIcon();
  EXPECT_EQ(gLog, (Strings{"WM_SYSCOMMAND " + std::to_string(SC_MOUSEMENU), "WM_INITMENU", "WM_INITMENUPOPUP system=1",
                           "menu shown", "WM_SYSCOMMAND " + std::to_string(SC_CLOSE), "WM_CLOSE"}));
  ASSERT_EQ(gShown.size(), 1u);
  // A normal sizeable window: nothing to restore.
  EXPECT_EQ(gShown[0].items, (Strings{"&Restore (grey)", "&Move", "&Size", "Mi&nimize", "Ma&ximize", "-",
                                      "&Close\tAlt+F4"}));
  detail::CaptionLayout c;
  detail::LayoutCaption(detail::Peek(form), c);
  RECT wr;
  GetWindowRect(form, &wr);
  EXPECT_EQ(gShown[0].at.X, wr.Left + c.icon.Left);
  EXPECT_EQ(gShown[0].at.Y, wr.Top + c.area.Bottom) << "just under the caption";
}

TEST_F(SystemMenus, AltSpaceShowsItGreyedByTheStateAndTheProgramsEditsShow) {
  ShowWindow(form, SW_SHOWMAXIMIZED);
  HMENU menu = GetSystemMenu(form, FALSE);
  DeleteMenu(menu, SC_MINIMIZE, MF_BYCOMMAND);
  EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  test::PumpUntilIdle();
  gLog.clear();
  gChoose = SC_RESTORE;
  test::KeyDown(VK_MENU);
  test::KeyPress(VK_SPACE);
  test::KeyUp(VK_MENU);
  test::PumpUntilIdle();
  ASSERT_EQ(gShown.size(), 1u);
  // Maximized: only Restore of the state's items can be done; the
  // program's greyed Close stays greyed.
  EXPECT_EQ(gShown[0].items, (Strings{"&Restore", "&Move (grey)", "&Size (grey)", "Ma&ximize (grey)", "-",
                                      "&Close\tAlt+F4 (grey)"}));
  EXPECT_FALSE(IsZoomed(form)) << "Restore was chosen";

  // A dialog frame without boxes: moving and closing only.
  HWND dialog = CreateWindowExA(WS_EX_DLGMODALFRAME, "MenuOwner", "Options",
                                WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 80, 80, 200, 120, form, nullptr,
                                nullptr, nullptr);
  test::PumpUntilIdle();
  SendMessageA(dialog, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  ASSERT_EQ(gShown.size(), 2u);
  EXPECT_EQ(gShown[1].items, (Strings{"&Restore (grey)", "&Move", "&Size (grey)", "Mi&nimize (grey)",
                                      "Ma&ximize (grey)", "-", "&Close\tAlt+F4"}));

  // Alt with another key, or a window without a system menu, shows nothing.
  SendMessageA(form, WM_SYSCOMMAND, SC_KEYMENU, 'f');
  HWND bare = CreateWindowExA(0, "MenuOwner", "Bare", WS_CAPTION | WS_VISIBLE, 10, 10, 100, 80, nullptr, nullptr,
                              nullptr, nullptr);
  SendMessageA(bare, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  EXPECT_EQ(gShown.size(), 2u);
}

TEST_F(SystemMenus, UnderAWindowManagersFrameItsOwnMenuStandsAndTheEditsAreKept) {
  Seams().trackMenu = saved;
  session.reset();
  session = std::make_unique<test::Session>(std::make_unique<FramedScreen>());
  Start();
  HMENU menu = GetSystemMenu(form, FALSE);
  EXPECT_TRUE(DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND));
  SendMessageA(form, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  SendMessageA(form, WM_SYSCOMMAND, SC_MOUSEMENU | HTSYSMENU, 0);
  EXPECT_TRUE(gShown.empty());
  EXPECT_EQ(GetMenuItemCount(menu), 6);
}

}  // namespace
