// A form's system menu on a real X display. Without a window manager our
// own caption is what a person sees: Alt+Space typed on the server shows
// the menu there as a window of its own, and Escape puts it away. Under
// openbox the manager frames the form and its own menu stands: ours never
// shows, even when asked for directly, and the program's edits to it are
// kept.
#include <gtest/gtest.h>

#include <memory>

#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"
#include "platform/win/SystemMenu.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/x11/X11BackEnd.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"
#include "support/Eventually.h"
#include "support/XCatchUp.h"

using namespace win;

namespace {

// Whether the menu showed on the server while it was open.
bool SystemMenuOn(const std::string& display, bool underManager) {
  forms::test::Session session;
  auto be = OpenX11BackEnd(display);
  EXPECT_TRUE(be);
  if (!be) return false;
  auto* x = static_cast<x11::X11BackEnd*>(be.get());
  std::unique_ptr<IBackEnd> previous = SetBackEnd(std::move(be));
  x11::Probe probe(display);
  EXPECT_TRUE(probe.Connected());
  auto settle = [&] { CatchUp(*x, &probe); };
  auto mapped = [&](x11::XId window) { return EventuallyMapped(*x, probe, window); };
  bool shown = false;
  {
    TForm* form = TCustomForm::CreateNew<TForm>(Application);
    form->SetCaption("Terrain batch");
    form->SetBoundsRect({100, 100, 420, 320});
    form->Show();
    settle();
    const x11::XId window = x->WindowOf(detail::Peek(form->GetHandle())->surface);
    EXPECT_TRUE(mapped(window)) << "the form never showed";
    probe.GiveFocus(window);
    settle();
    HMENU menu = GetSystemMenu(form->GetHandle(), FALSE);
    DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);

    test::OnNextModalLoop([&] {
      HWND open = forms::test::OpenMenuWindow();
      if (!open) return;
      const x11::XId onServer = x->WindowOf(detail::Peek(open)->surface);
      bool viewable = false;
      RECT at{};
      shown = probe.Geometry(onServer, viewable, at) && viewable && probe.OverrideRedirect(onServer);
      RECT expected;
      GetWindowRect(open, &expected);
      EXPECT_EQ(at, expected) << "where the window system put it";
      probe.Key("Escape", true);
      probe.Key("Escape", false);
    });
    probe.Key("Alt_L", true);
    probe.Key("space", true);
    probe.Key("space", false);
    probe.Key("Alt_L", false);
    settle();
    if (underManager) {
      // The manager's menu may have taken the keys: put it away.
      probe.Key("Escape", true);
      probe.Key("Escape", false);
      settle();
      forms::test::DismissMenu();
      SendMessageA(form->GetHandle(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
      EXPECT_TRUE(forms::test::PopupMenuLog().empty()) << "asked directly, ours stays away too";
      EXPECT_EQ(forms::test::PendingMenuAnswers(), 1);
    }
    EXPECT_EQ(GetMenuItemCount(menu), 6) << "the edit is kept";
    EXPECT_TRUE(form->GetVisible());
  }
  Application->DestroyComponents();
  test::PumpUntilIdle();
  SetBackEnd(std::move(previous));
  return shown;
}

TEST(X11SystemMenu, WithoutAWindowManagerAltSpaceShowsOurMenuOnTheServer) {
  if (!x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  x11::Xvfb server;
  ASSERT_TRUE(server.Running()) << "Xvfb did not start";
  EXPECT_TRUE(SystemMenuOn(server.Display(), false));
}

TEST(X11SystemMenu, UnderOpenboxTheManagersMenuStandsAndOursNeverShows) {
  if (!x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  if (!x11::WindowManager::Installed())
    GTEST_SKIP() << "openbox is not installed: the menu under a window manager is not checked (scripts/setup "
                    "installs the openbox package)";
  x11::Xvfb server;
  ASSERT_TRUE(server.Running()) << "Xvfb did not start";
  x11::WindowManager openbox(server.Display());
  ASSERT_TRUE(openbox.Running()) << "openbox did not take over the display";
  EXPECT_FALSE(SystemMenuOn(server.Display(), true));
}

}  // namespace
