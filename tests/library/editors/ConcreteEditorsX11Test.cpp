// A small scene on a real X server: a spin editor and three check boxes on
// a form, clicked and typed into through XTest, and the window's pixels
// read back from the server. The read-back (ConcreteEditorsOnX.png in the
// build folder) is for a person to look at; the story checks that the
// toggled check shows its mark and the stepped spin editor its number.
#include <gtest/gtest.h>

#include <chrono>

#include "library/editors/ConcreteEditorSession.h"
#include "library/editors/cxCheckBox.h"
#include "library/editors/cxSpinEdit.h"
#include "platform/gdi/PngWriter.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/x11/X11BackEnd.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"

using namespace win;

namespace {

TPoint Center(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }

struct Scene {
  x11::X11BackEnd* x = nullptr;
  x11::Probe* probe = nullptr;
  TForm* form = nullptr;

  // Pumps until the server has caught up.
  void Settle(int rounds = 10) {
    for (int i = 0; i < rounds; ++i) {
      test::PumpUntilIdle();
      x->WaitForEvent(10);
    }
    test::PumpUntilIdle();
  }
  static TPoint OnScreen(TControl* AControl, TPoint P) { return AControl->ClientToScreen(P); }
  void Click(TControl* AControl, TPoint P) {
    const TPoint s = OnScreen(AControl, P);
    probe->MovePointer(s.X, s.Y);
    Settle(3);
    probe->Button(1, true);
    Settle(3);
    probe->Button(1, false);
    Settle();
  }
  void Key(const char* keysym) {
    probe->Key(keysym, true);
    probe->Key(keysym, false);
    Settle();
  }
};

TEST(ConcreteEditorsOnX, ClickedAndTypedEditorsShowTheirNewStateInTheServersPixels) {
  if (!x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  x11::Xvfb server;
  ASSERT_TRUE(server.Running()) << "Xvfb did not start";
  edit_test::ConcreteSession session;
  auto be = OpenX11BackEnd(server.Display());
  ASSERT_TRUE(be);
  Scene scene;
  scene.x = static_cast<x11::X11BackEnd*>(be.get());
  std::unique_ptr<IBackEnd> previous = SetBackEnd(std::move(be));
  x11::Probe probe(server.Display());
  ASSERT_TRUE(probe.Connected());
  scene.probe = &probe;
  {
    TForm* form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({40, 40, 300, 200});
    auto* spin = New<TcxSpinEdit>(form);
    spin->SetBoundsRect({12, 12, 132, 33});
    spin->SetParent(form);
    spin->GetProperties()->SetValueType(vtInt);
    auto* box = New<TcxCheckBox>(form);
    box->SetBoundsRect({12, 44, 160, 61});
    box->SetCaption("Loud");
    box->SetParent(form);
    auto* checked = New<TcxCheckBox>(form);
    checked->SetBoundsRect({12, 68, 160, 85});
    checked->SetCaption("Quiet");
    checked->SetChecked(true);
    checked->SetParent(form);
    auto* disabled = New<TcxCheckBox>(form);
    disabled->SetBoundsRect({12, 92, 160, 109});
    disabled->SetCaption("Muted");
    disabled->SetState(cbsGrayed);
    disabled->SetEnabled(false);
    disabled->SetParent(form);
    form->Show();
    scene.Settle(30);

    scene.Click(box, Center(box->GetViewInfo()->CheckBoxRect));
    EXPECT_TRUE(box->GetChecked());
    scene.Click(spin, Center(spin->GetViewInfo()->ButtonInfos[sebForward]->Bounds));
    EXPECT_EQ(spin->GetText(), "1");
    scene.Key("Up");
    EXPECT_EQ(spin->GetText(), "2");

    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    const x11::XId window = scene.x->WindowOf(detail::Peek(form->GetHandle())->surface);
    ASSERT_TRUE(probe.Capture(window, pixels, width, height));
    auto at = [&](TControl* AControl, TPoint P) {
      const TPoint s = AControl->ClientToScreen(P);
      RECT w{};
      GetWindowRect(form->GetHandle(), &w);
      const int x = s.X - w.Left, y = s.Y - w.Top;
      return pixels.at(static_cast<std::size_t>(y) * width + x) & 0xFFFFFF;
    };
    // The toggled check's mark: its third row starts with a mark pixel and
    // has the fill beside it.
    const TRect check = box->GetViewInfo()->CheckBoxRect;
    EXPECT_EQ(at(box, TPoint(check.Left + 3, check.Top + 5)), 0x000000u);
    EXPECT_EQ(at(box, TPoint(check.Left + 4, check.Top + 5)), 0xFFFFFFu);
    EXPECT_TRUE(SaveRowsPng(width, height,
                            [&](int y, std::uint32_t* row) {
                              for (int x = 0; x < width; ++x) row[x] = pixels[static_cast<std::size_t>(y) * width + x];
                            },
                            "ConcreteEditorsOnX.png"));
  }
  Application->DestroyComponents();
  test::PumpUntilIdle();
  SetBackEnd(std::move(previous));
}

}  // namespace
