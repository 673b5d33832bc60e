// A form laid out at its designed client size shows that client area on a
// real X display as it does headless: the window system's frame is the
// same, and the X window is as large as the window.
#include <gtest/gtest.h>

#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/x11/X11BackEnd.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"
#include "support/XCatchUp.h"

using namespace win;

namespace {

struct Shown {
  RECT client{};
  RECT window{};
};

// The main window and the about box as their layouts give them.
Shown ShowForm(TFormBorderStyle border, Integer clientWidth, Integer clientHeight, HWND* handle = nullptr) {
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  form->SetBorderStyle(border);
  form->SetPosition(poDesktopCenter);
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(clientHeight);
  form->Show();
  test::PumpUntilIdle();
  Shown s;
  GetClientRect(form->GetHandle(), &s.client);
  GetWindowRect(form->GetHandle(), &s.window);
  if (handle) *handle = form->GetHandle();
  return s;
}

TEST(X11Forms, DesignedClientSizesAreTheSameOnXAsHeadless) {
  if (!x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  x11::Xvfb server;
  ASSERT_TRUE(server.Running()) << "Xvfb did not start";
  struct Case {
    TFormBorderStyle border;
    Integer w, h;
  };
  for (Case c : {Case{bsSingle, 588, 519}, Case{bsDialog, 341, 214}}) {
    Shown headless;
    {
      forms::test::Session session;
      headless = ShowForm(c.border, c.w, c.h);
    }
    EXPECT_EQ(headless.client, Rect(0, 0, c.w, c.h));

    forms::test::Session session;
    auto be = OpenX11BackEnd(server.Display());
    ASSERT_TRUE(be);
    auto* x = static_cast<x11::X11BackEnd*>(be.get());
    std::unique_ptr<IBackEnd> previous = SetBackEnd(std::move(be));
    HWND handle = nullptr;
    Shown onX = ShowForm(c.border, c.w, c.h, &handle);
    EXPECT_EQ(onX.client, headless.client);
    EXPECT_EQ(onX.window.Width(), headless.window.Width());
    EXPECT_EQ(onX.window.Height(), headless.window.Height());
    // X shows a window of that size (no window manager: our own frame).
    x11::Probe probe(server.Display());
    ASSERT_TRUE(probe.Connected());
    x11::XId window = x->WindowOf(detail::Peek(handle)->surface);
    ASSERT_NE(window, 0u);
    // Shown once the server has what the window system sent it.
    CatchUp(*x, &probe);
    bool viewable = false;
    RECT root{};
    EXPECT_TRUE(probe.Geometry(window, viewable, root));
    EXPECT_TRUE(viewable);
    EXPECT_EQ(root.Width(), headless.window.Width());
    EXPECT_EQ(root.Height(), headless.window.Height());
    Application->DestroyComponents();
    test::PumpUntilIdle();
    SetBackEnd(std::move(previous));
  }
}

}  // namespace
