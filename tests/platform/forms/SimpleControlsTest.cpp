// The timer's rhythm under the fake clock, and the label, bevel and image
// as they appear on screen.
#include "platform/forms/Bitmap.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Timer.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/WindowDC.h"
#include "ControlLog.h"

using namespace forms_test;

namespace {

class SimpleControls : public ::testing::Test {
 protected:
  forms::test::Session session;
  TForm* form = nullptr;
  void SetUp() override {
    form = MakeForm("Form");
    form->SetColor(clWhite);
  }
  void TearDown() override {
    form->Free();
    EXPECT_TRUE(forms::test::RecordedExceptions().empty());
  }
  TColor At(int x, int y) {
    HDC dc = GetDC(form->GetHandle());
    auto c = static_cast<TColor>(GetPixel(dc, x, y));
    ReleaseDC(form->GetHandle(), dc);
    return c;
  }
  void ShowAndPaint() {
    form->Show();
    win::test::PumpUntilIdle();
  }
};

TEST_F(SimpleControls, TimerFiresEveryIntervalWhileItHasAllItNeeds) {
  auto* timer = New<TTimer>(form);
  timer->SetInterval(200);
  std::vector<std::uint64_t> ticks;
  auto& clock = session.Win().Clock();
  std::uint64_t start = clock.Now();
  EXPECT_FALSE(timer->IsRunning());  // no handler, no timer
  timer->SetOnTimer([&](TObject*) { ticks.push_back(clock.Now() - start); });
  EXPECT_TRUE(timer->IsRunning());
  win::test::PumpFor(650);
  EXPECT_EQ(ticks, (std::vector<std::uint64_t>{200, 400, 600}));

  // Enabling again starts a full interval from now.
  timer->SetEnabled(false);
  win::test::PumpFor(50);  // now 700
  timer->SetEnabled(true);
  ticks.clear();
  win::test::PumpFor(250);
  EXPECT_EQ(ticks, (std::vector<std::uint64_t>{900}));

  timer->SetInterval(0);
  EXPECT_FALSE(timer->IsRunning());
  ticks.clear();
  win::test::PumpFor(1000);
  EXPECT_TRUE(ticks.empty());
  timer->SetOnTimer(nullptr);
  timer->Free();
}

TEST_F(SimpleControls, LabelSizesItselfToItsCaptionAndFocusesItsControlOnItsMnemonic) {
  auto* edit = Make<TLogControl>(form, "Edit", Bounds(100, 10, 60, 20));
  auto* other = Make<TLogControl>(form, "Other", Bounds(100, 40, 60, 20));
  auto* label = Make<TLabel>(form, "Label", Bounds(10, 10, 5, 5));
  label->SetCaption("&Name:");
  label->SetFocusControl(edit);
  // The size DrawText measures for the caption without the '&'.
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ToObj(label->GetFont()->GetHandle()));
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, "&Name:", -1, &r, DT_CALCRECT | DT_EXPANDTABS);
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_EQ(label->GetWidth(), r.Width());
  EXPECT_EQ(label->GetHeight(), r.Height());
  label->SetAutoSize(false);
  label->SetCaption("A much longer caption");
  EXPECT_EQ(label->GetWidth(), r.Width());
  label->SetCaption("&Name:");

  ShowAndPaint();
  other->SetFocus();
  win::test::KeyDown(VK_MENU);
  win::test::KeyPress('N');
  win::test::KeyUp(VK_MENU);
  win::test::PumpUntilIdle();
  EXPECT_EQ(GetFocus(), edit->GetHandle());
}

TEST_F(SimpleControls, LabelPaintsItsBackgroundUnlessTransparent) {
  auto* label = Make<TLabel>(form, "Label", Bounds(10, 10, 5, 5));
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 40, 20);
  label->SetCaption("");
  label->SetColor(clYellow);
  ShowAndPaint();
  EXPECT_EQ(At(12, 12), clYellow);
  label->SetTransparent(true);
  win::test::PumpUntilIdle();
  EXPECT_EQ(At(12, 12), clWhite);
}

TEST_F(SimpleControls, BevelDrawsShadowAndHighlightByStyle) {
  auto* box = Make<TBevel>(form, "Box", Bounds(10, 10, 20, 20));
  auto* line = Make<TBevel>(form, "Line", Bounds(40, 10, 30, 2));
  line->SetShape(bsTopLine);
  ShowAndPaint();
  TColor shadow = ColorToRGB(clBtnShadow), highlight = ColorToRGB(clBtnHighlight);
  EXPECT_EQ(At(10, 15), shadow);     // left edge
  EXPECT_EQ(At(15, 10), shadow);     // top edge
  EXPECT_EQ(At(29, 15), highlight);  // right edge
  EXPECT_EQ(At(15, 29), highlight);  // bottom edge
  EXPECT_EQ(At(15, 15), clWhite);    // the inside shows the parent
  EXPECT_EQ(At(50, 10), shadow);
  EXPECT_EQ(At(50, 11), highlight);
  box->SetStyle(bsRaised);
  win::test::PumpUntilIdle();
  EXPECT_EQ(At(10, 15), highlight);
  EXPECT_EQ(At(29, 15), shadow);
}

TEST_F(SimpleControls, ImageDrawsItsPicturePlacedAndSizedAsAsked) {
  auto* image = Make<TImage>(form, "Image", Bounds(10, 10, 40, 40));
  TBitmap* bitmap = image->GetPicture()->GetBitmap();
  bitmap->SetSize(10, 10);
  bitmap->GetCanvas()->GetBrush()->SetColor(clRed);
  bitmap->GetCanvas()->FillRect(Rect(0, 0, 10, 10));
  ShowAndPaint();
  EXPECT_EQ(At(10, 10), clRed);
  EXPECT_EQ(At(19, 19), clRed);
  EXPECT_EQ(At(25, 25), clWhite);
  image->SetCenter(true);
  win::test::PumpUntilIdle();
  EXPECT_EQ(At(10, 10), clWhite);
  EXPECT_EQ(At(30, 30), clRed);
  EXPECT_EQ(image->DestRect(), Bounds(15, 15, 10, 10));
  image->SetStretch(true);
  win::test::PumpUntilIdle();
  EXPECT_EQ(At(10, 10), clRed);
  EXPECT_EQ(At(49, 49), clRed);
  image->SetAutoSize(true);
  EXPECT_EQ(image->GetWidth(), 10);
  EXPECT_EQ(image->GetHeight(), 10);
}

}  // namespace
