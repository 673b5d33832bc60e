// A see-through form on a real X display, without a window manager and
// under openbox: its opacity reaches the server as the standard
// window-opacity property (which a compositing manager honours), its key
// colour as the window's shape, which follows what the form paints. Made
// opaque again, the property is gone and the window is whole.
#include <gtest/gtest.h>

#include <memory>

#include "platform/forms/Application.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/x11/X11BackEnd.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"
#include "support/Eventually.h"
#include "support/XCatchUp.h"

using namespace win;

namespace {

// Whether the window's shape (X window coordinates) holds the point.
bool Shows(const std::vector<RECT>& shape, POINT p) {
  for (const RECT& r : shape)
    if (p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom) return true;
  return false;
}

void SeeThroughFormOn(const std::string& display) {
  forms::test::Session session;
  auto be = OpenX11BackEnd(display);
  ASSERT_TRUE(be);
  auto* x = static_cast<x11::X11BackEnd*>(be.get());
  std::unique_ptr<IBackEnd> previous = SetBackEnd(std::move(be));
  x11::Probe probe(display);
  ASSERT_TRUE(probe.Connected());
  auto settle = [&] { CatchUp(*x, &probe); };
  auto mapped = [&](x11::XId window) { return EventuallyMapped(*x, probe, window); };
  {
    TForm* form = TCustomForm::CreateNew<TForm>(Application);
    form->SetCaption("See-through");
    form->SetBoundsRect({100, 100, 420, 320});
    auto* spot = New<TPanel>(form);
    spot->SetBevelOuter(bvNone);
    spot->SetParentBackground(false);
    spot->SetColor(clLime);
    spot->SetBoundsRect({20, 20, 80, 60});
    spot->SetParent(form);
    form->Show();
    settle();
    const x11::XId window = x->WindowOf(detail::Peek(form->GetHandle())->surface);
    ASSERT_TRUE(mapped(window)) << "the form never showed";
    bool viewable = false;
    RECT onRoot{};
    ASSERT_TRUE(probe.Geometry(window, viewable, onRoot));
    // A screen point in the X window's coordinates.
    auto inWindow = [&](TPoint screen) { return POINT{screen.X - onRoot.Left, screen.Y - onRoot.Top}; };
    const TPoint inSpot = spot->ClientToScreen(TPoint(30, 20)), beside = spot->ClientToScreen(TPoint(100, 20));
    EXPECT_TRUE(probe.Property32(window, "_NET_WM_WINDOW_OPACITY").empty());

    form->SetAlphaBlend(true);
    form->SetAlphaBlendValue(128);
    settle();
    const std::vector<long> opacity = probe.Property32(window, "_NET_WM_WINDOW_OPACITY");
    ASSERT_EQ(opacity.size(), 1u);
    EXPECT_EQ(static_cast<unsigned long>(opacity[0]) & 0xFFFFFFFFUL, 0x80808080UL);

    form->SetTransparentColor(true);
    form->SetTransparentColorValue(clLime);
    settle();
    std::vector<RECT> shape = probe.ShapeRects(window);
    EXPECT_FALSE(Shows(shape, inWindow(inSpot))) << "the lime spot is a hole";
    EXPECT_TRUE(Shows(shape, inWindow(beside)));

    // The hole follows the spot.
    spot->SetLeft(spot->GetLeft() + 100);
    settle();
    shape = probe.ShapeRects(window);
    EXPECT_TRUE(Shows(shape, inWindow(inSpot)));
    EXPECT_FALSE(Shows(shape, inWindow(beside)));

    form->SetAlphaBlend(false);
    form->SetTransparentColor(false);
    settle();
    EXPECT_TRUE(probe.Property32(window, "_NET_WM_WINDOW_OPACITY").empty());
    shape = probe.ShapeRects(window);
    ASSERT_EQ(shape.size(), 1u) << "whole again";
    EXPECT_EQ(shape[0].Width(), onRoot.Width());
    EXPECT_EQ(shape[0].Height(), onRoot.Height());
  }
  Application->DestroyComponents();
  test::PumpUntilIdle();
  SetBackEnd(std::move(previous));
}

TEST(X11Translucency, WithoutAWindowManagerTheOpacityAndTheKeyColourReachTheServer) {
  if (!x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  x11::Xvfb server;
  ASSERT_TRUE(server.Running()) << "Xvfb did not start";
  SeeThroughFormOn(server.Display());
}

TEST(X11Translucency, UnderOpenboxTheClientWindowCarriesThemAsWell) {
  if (!x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  if (!x11::WindowManager::Installed())
    GTEST_SKIP() << "openbox is not installed: the form under a window manager is not checked (scripts/setup "
                    "installs the openbox package)";
  x11::Xvfb server;
  ASSERT_TRUE(server.Running()) << "Xvfb did not start";
  x11::WindowManager openbox(server.Display());
  ASSERT_TRUE(openbox.Running()) << "openbox did not take over the display";
  SeeThroughFormOn(server.Display());
}

}  // namespace
