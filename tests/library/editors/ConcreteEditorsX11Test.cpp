// Small scenes on a real X server: a spin editor and three check boxes on
// a form, clicked and typed into through XTest; a radio group and a group
// box with a turned caption, an item chosen by a click and the next by
// the arrow key. The windows' pixels are read back from the server (the
// read-backs ConcreteEditorsOnX.png and RadioGroupOnX.png in the build
// folder are for a person to look at); the stories check that the toggled
// check shows its mark, the stepped spin editor its number and the chosen
// radio button its dot.
#include <gtest/gtest.h>

#include <chrono>

#include "library/editors/ConcreteEditorSession.h"
#include "library/editors/cxCheckBox.h"
#include "library/editors/cxRadioGroup.h"
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

TEST(ConcreteEditorsOnX, AChosenRadioButtonShowsItsDotInTheServersPixels) {
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
    form->SetBoundsRect({40, 40, 380, 220});
    auto* group = New<TcxRadioGroup>(form);
    group->SetBoundsRect({12, 12, 172, 132});
    group->SetCaption("&Quality");
    for (const char* caption : {"Draft", "Normal", "Fine"})
      group->GetProperties()->GetItems()->Add()->SetCaption(caption);
    group->SetParent(form);
    auto* box = New<TcxGroupBox>(form);
    box->SetBoundsRect({184, 12, 324, 132});
    box->SetCaption("Sides");
    box->SetAlignment(alLeftCenter);
    box->SetParent(form);
    auto* inner = New<TcxRadioGroup>(form);
    inner->SetBoundsRect({24, 8, 132, 100});
    inner->GetStyle()->SetBorderStyle(cbsNone);
    inner->GetProperties()->GetItems()->Add()->SetCaption("Left");
    inner->GetProperties()->GetItems()->Add()->SetCaption("Right");
    inner->SetItemIndex(1);
    inner->SetParent(box);
    form->Show();
    scene.Settle(30);

    TWinControl* normal = group->GetButton(1);
    scene.Click(normal, TPoint(normal->GetWidth() / 2, normal->GetHeight() / 2));
    EXPECT_EQ(group->GetItemIndex(), 1);
    scene.Key("Down");
    EXPECT_EQ(group->GetItemIndex(), 2);
    const TPoint away = form->ClientToScreen(TPoint(330, 160));
    probe.MovePointer(away.X, away.Y);
    scene.Settle();
    // The session's clock moves only when told: the leave-watch ticks.
    test::PumpFor(50);
    scene.Settle();

    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    const x11::XId window = scene.x->WindowOf(detail::Peek(form->GetHandle())->surface);
    ASSERT_TRUE(probe.Capture(window, pixels, width, height));
    auto at = [&](TControl* AControl, TPoint P) {
      const TPoint s = AControl->ClientToScreen(P);
      RECT w{};
      GetWindowRect(form->GetHandle(), &w);
      return pixels.at(static_cast<std::size_t>(s.Y - w.Top) * width + (s.X - w.Left)) & 0xFFFFFF;
    };
    // The chosen button's glyph holds its dot; the others are empty inside.
    auto dot = [&](Integer AIndex) {
      auto* button = static_cast<TcxRadioButton*>(group->GetButton(AIndex));
      return at(button, Center(button->GetGlyphRect()));
    };
    EXPECT_NE(dot(2), dot(0));
    EXPECT_EQ(dot(0), dot(1));
    EXPECT_TRUE(SaveRowsPng(width, height,
                            [&](int y, std::uint32_t* row) {
                              for (int x = 0; x < width; ++x) row[x] = pixels[static_cast<std::size_t>(y) * width + x];
                            },
                            "RadioGroupOnX.png"));
  }
  Application->DestroyComponents();
  test::PumpUntilIdle();
  SetBackEnd(std::move(previous));
}

}  // namespace
