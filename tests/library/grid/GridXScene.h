// A grid scene on a real X server: Xvfb, the grid's units and a session on
// the X11 back end with XTest input and pixel read-back, put back as they
// were when the scene goes (after every component of the application).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "library/editors/X11Input.h"
#include "library/grid/GridTestControl.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/x11/X11BackEnd.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"

namespace grid_test {

class GridXScene {
 public:
  win::x11::Xvfb server;
  edit_test::X11Input scene;

  // False (with the reason recorded as a test failure) when the server
  // or the back end did not come up.
  bool Start() {
    if (!server.Running()) {
      ADD_FAILURE() << "Xvfb did not start";
      return false;
    }
    session_ = std::make_unique<forms::test::Session>();
    auto be = win::OpenX11BackEnd(server.Display());
    if (!be) {
      ADD_FAILURE() << "no X11 back end";
      return false;
    }
    scene.x = static_cast<win::x11::X11BackEnd*>(be.get());
    previous_ = win::SetBackEnd(std::move(be));
    probe_ = std::make_unique<win::x11::Probe>(server.Display());
    scene.probe = probe_.get();
    return probe_->Connected();
  }
  ~GridXScene() {
    if (!previous_) return;
    Application->DestroyComponents();
    win::test::PumpUntilIdle();
    win::SetBackEnd(std::move(previous_));
  }

  // The form's window as the server shows it; Pixel reads a point of
  // AControl's client area from it.
  bool Capture(TForm* AForm) {
    const win::x11::XId window = scene.x->WindowOf(win::detail::Peek(AForm->GetHandle())->surface);
    win::GetWindowRect(AForm->GetHandle(), &frame_);
    return probe_->Capture(window, pixels, width, height);
  }
  std::uint32_t Pixel(TControl* AControl, TPoint P) const {
    const TPoint s = AControl->ClientToScreen(P);
    return pixels.at(static_cast<std::size_t>(s.Y - frame_.Top) * width + (s.X - frame_.Left)) & 0xFFFFFF;
  }
  bool SavePng(const char* AName) const {
    std::filesystem::create_directories("snapshots");
    return win::SaveRowsPng(width, height,
                            [&](int y, std::uint32_t* row) {
                              for (int x = 0; x < width; ++x) row[x] = pixels[static_cast<std::size_t>(y) * width + x];
                            },
                            std::string("snapshots/") + AName);
  }
  static std::uint32_t Rgb(TColor AColor) {
    const TColor c = ColorToRGB(AColor);
    return (win::GetRValue(c) << 16) | (win::GetGValue(c) << 8) | win::GetBValue(c);
  }

  std::vector<std::uint32_t> pixels;
  int width = 0, height = 0;

 private:
  GridUnitsListed units_;
  std::unique_ptr<forms::test::Session> session_;
  std::unique_ptr<win::IBackEnd> previous_;
  std::unique_ptr<win::x11::Probe> probe_;
  win::RECT frame_{};
};

// A story's fixture on X: skipped where Xvfb is not installed, failed where
// the scene does not come up.
class GridOnXTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!win::x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
    onX = std::make_unique<GridXScene>();
    ASSERT_TRUE(onX->Start());
  }
  void TearDown() override { onX.reset(); }

  std::unique_ptr<GridXScene> onX;
};

}  // namespace grid_test
