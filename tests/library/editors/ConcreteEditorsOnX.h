// A real X server with the concrete editors' units started on it, XTest
// input and the read-back of a form's pixels, for the editors' scenes on
// X. A scene skips when Xvfb is not installed.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "library/editors/ConcreteEditorSession.h"
#include "library/editors/X11Input.h"
#include "platform/gdi/PngWriter.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/x11/X11BackEnd.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"

class ConcreteEditorsOnX : public ::testing::Test, protected edit_test::X11Input {
 protected:
  void SetUp() override {
    if (!win::x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
    server = std::make_unique<win::x11::Xvfb>();
    ASSERT_TRUE(server->Running()) << "Xvfb did not start";
    session = std::make_unique<edit_test::ConcreteSession>();
    auto be = win::OpenX11BackEnd(server->Display());
    ASSERT_TRUE(be);
    x = static_cast<win::x11::X11BackEnd*>(be.get());
    previous = win::SetBackEnd(std::move(be));
    ownedProbe = std::make_unique<win::x11::Probe>(server->Display());
    probe = ownedProbe.get();
    ASSERT_TRUE(probe->Connected());
  }
  void TearDown() override {
    if (!session) return;
    Application->DestroyComponents();
    win::test::PumpUntilIdle();
    if (previous) win::SetBackEnd(std::move(previous));
  }

  // The form's pixels as the server holds them.
  void Capture(TCustomForm* AForm) {
    form = AForm;
    const win::x11::XId window = x->WindowOf(win::detail::Peek(AForm->GetHandle())->surface);
    ASSERT_TRUE(probe->Capture(window, pixels, width, height));
  }
  std::uint32_t At(TControl* AControl, TPoint P) {
    const TPoint s = AControl->ClientToScreen(P);
    win::RECT w{};
    win::GetWindowRect(form->GetHandle(), &w);
    return pixels.at(static_cast<std::size_t>(s.Y - w.Top) * width + (s.X - w.Left)) & 0xFFFFFF;
  }
  bool Save(const char* AName) {
    return win::SaveRowsPng(
        width, height,
        [&](int y, std::uint32_t* row) {
          for (int i = 0; i < width; ++i) row[i] = pixels[static_cast<std::size_t>(y) * width + i];
        },
        AName);
  }

  std::unique_ptr<win::x11::Xvfb> server;
  std::unique_ptr<edit_test::ConcreteSession> session;
  std::unique_ptr<win::IBackEnd> previous;
  std::unique_ptr<win::x11::Probe> ownedProbe;
  TCustomForm* form = nullptr;
  std::vector<std::uint32_t> pixels;
  int width = 0, height = 0;
};
