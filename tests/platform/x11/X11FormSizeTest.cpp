// A form laid out at its designed client size shows that client area on a
// real X display as it does headless: the window system's frame is the
// same, and the X window is as large as the window. Without a window
// manager a double click on that frame's caption sizes the X window.
#include <gtest/gtest.h>

#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/Metrics.h"
#include "platform/win/NonClient.h"
#include "platform/win/Window.h"
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

// Forms shown through the X back end for as long as it lives, and the
// test's own connection to the server that looks at them; the forms go
// before the back end does.
class FormsOnX {
 public:
  explicit FormsOnX(const std::string& display) : user(display) {
    std::unique_ptr<IBackEnd> be = OpenX11BackEnd(display);
    if (!be) return;
    x = static_cast<x11::X11BackEnd*>(be.get());
    previous_ = SetBackEnd(std::move(be));
  }
  ~FormsOnX() {
    if (!x) return;
    Application->DestroyComponents();
    test::PumpUntilIdle();
    SetBackEnd(std::move(previous_));
  }
  FormsOnX(const FormsOnX&) = delete;
  TForm* NewSizeableForm() {
    TForm* form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBorderStyle(bsSizeable);
    return form;
  }
  FormsOnX& operator=(const FormsOnX&) = delete;

  x11::X11BackEnd* x = nullptr;
  x11::Probe user;

 private:
  forms::test::Session session_;
  std::unique_ptr<IBackEnd> previous_;
};

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

    FormsOnX onX11(server.Display());
    ASSERT_TRUE(onX11.x && onX11.user.Connected());
    x11::X11BackEnd* x = onX11.x;
    HWND handle = nullptr;
    Shown onX = ShowForm(c.border, c.w, c.h, &handle);
    EXPECT_EQ(onX.client, headless.client);
    EXPECT_EQ(onX.window.Width(), headless.window.Width());
    EXPECT_EQ(onX.window.Height(), headless.window.Height());
    // X shows a window of that size (no window manager: our own frame).
    x11::Probe& probe = onX11.user;
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
  }
}

// Our own caption, double-clicked on the server as a person would: the X
// window fills the screen, and another double click on the caption, now at
// the top, gives it back its size and place.
TEST(X11Forms, ADoubleClickOnOurCaptionMaximisesTheXWindowAndAnotherRestoresIt) {
  if (!x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  x11::Xvfb server;
  ASSERT_TRUE(server.Running()) << "Xvfb did not start";
  FormsOnX onX11(server.Display());
  ASSERT_TRUE(onX11.x && onX11.user.Connected());
  x11::X11BackEnd* x = onX11.x;
  x11::Probe& user = onX11.user;
  TForm* form = onX11.NewSizeableForm();
  form->SetCaption("Terrain batch");
  form->SetBoundsRect({100, 100, 420, 320});
  form->Show();
  const HWND handle = form->GetHandle();
  const x11::XId window = x->WindowOf(detail::Peek(handle)->surface);
  ASSERT_TRUE(EventuallyMapped(*x, user, window));

  auto doubleClickCaption = [&] {
    detail::CaptionLayout c;
    EXPECT_TRUE(detail::LayoutCaption(detail::Peek(handle), c));
    RECT wr;
    GetWindowRect(handle, &wr);
    user.MovePointer(wr.Left + (c.band.Left + c.band.Right) / 2, wr.Top + (c.band.Top + c.band.Bottom) / 2);
    for (int i = 0; i < 2; ++i) {
      user.Button(1, true);
      user.Button(1, false);
    }
    CatchUp(*x, &user);
  };
  bool viewable = false;
  RECT onX{};
  doubleClickCaption();
  ASSERT_TRUE(user.Geometry(window, viewable, onX));
  // The sizing frame goes past the screen's edges, as on every maximised
  // window with one.
  const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
  EXPECT_EQ(onX, Rect(-fx, -fy, GetSystemMetrics(SM_CXSCREEN) + fx, GetSystemMetrics(SM_CYSCREEN) + fy));
  EXPECT_TRUE(IsZoomed(handle));

  doubleClickCaption();
  ASSERT_TRUE(user.Geometry(window, viewable, onX));
  EXPECT_EQ(onX, Rect(100, 100, 420, 320));
  EXPECT_FALSE(IsZoomed(handle));
}

// A form the user may size that is never smaller than it opens (the file
// dialogs): under a window manager the manager knows its limits, so a
// request from outside for a smaller size stops there, and a limit changed
// on the shown form reaches the manager. A manager that reads no limits
// still leaves the X window as large as the form keeps itself.
TEST(X11Forms, ASizeableFormKeepsItsLimitsUnderAWindowManager) {
  if (!x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  if (!x11::WindowManager::Installed())
    GTEST_SKIP() << "openbox is not installed (scripts/setup installs the openbox package)";
  x11::Xvfb server;
  ASSERT_TRUE(server.Running()) << "Xvfb did not start";
  x11::WindowManager openbox(server.Display());
  ASSERT_TRUE(openbox.Running()) << "openbox did not take over the display";
  FormsOnX onX11(server.Display());
  ASSERT_TRUE(onX11.x && onX11.user.Connected());
  x11::X11BackEnd* x = onX11.x;
  x11::Probe& user = onX11.user;
  TForm* form = onX11.NewSizeableForm();
  form->SetPosition(poDesktopCenter);
  form->SetClientWidth(430);
  form->SetClientHeight(270);
  form->GetConstraints()->SetMinWidth(form->GetWidth());
  form->GetConstraints()->SetMinHeight(form->GetHeight());
  form->Show();
  const HWND handle = form->GetHandle();
  const x11::XId window = x->WindowOf(detail::Peek(handle)->surface);
  ASSERT_TRUE(EventuallyMapped(*x, user, window));
  ASSERT_TRUE(user.WindowManagerCaughtUp());
  CatchUp(*x, &user);

  RECT client{}, onX{};
  bool viewable = false;
  auto hints = [&] {
    TSize minimum, maximum;
    bool userPosition = false;
    return user.SizeHints(window, minimum, maximum, userPosition) ? minimum : TSize{};
  };
  // The manager's frame is the form's frame: the X window is the client
  // area, and both have one size.
  auto agree = [&] {
    GetClientRect(handle, &client);
    return user.Geometry(window, viewable, onX) && onX.Width() == client.Width() && onX.Height() == client.Height();
  };
  EXPECT_EQ(hints(), (TSize{430, 270}));

  user.AskSize(window, 280, 170);
  ASSERT_TRUE(user.WindowManagerCaughtUp());
  EXPECT_TRUE(EventuallySettled(*x, user, agree)) << onX.Width() << "x" << onX.Height() << " on X";
  EXPECT_EQ(client, Rect(0, 0, 430, 270));

  form->GetConstraints()->SetMinWidth(form->GetWidth() + 40);
  CatchUp(*x, &user);
  EXPECT_EQ(hints(), (TSize{470, 270}));
  EXPECT_TRUE(EventuallySettled(*x, user, agree)) << onX.Width() << "x" << onX.Height() << " on X";
  EXPECT_EQ(client, Rect(0, 0, 470, 270));

  user.DropSizeHints(window);
  user.AskSize(window, 280, 170);
  ASSERT_TRUE(user.WindowManagerCaughtUp());
  CatchUp(*x, &user);
  EXPECT_TRUE(EventuallySettled(*x, user, agree)) << onX.Width() << "x" << onX.Height() << " on X";
  EXPECT_EQ(client, Rect(0, 0, 470, 270));
}

}  // namespace
