// A control without a background of its own shows its parent's behind it:
// the parent, and the siblings before the control, paint into the
// control's canvas at the control's place.
#include <gtest/gtest.h>

#include "library/foundation/cxGraphics.h"
#include "library/foundation/dxUxTheme.h"
#include "platform/theme/ThemeBinding.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/rtl/Owned.h"
#include "platform/win/TestHooks.h"
#include "support/PlaceControl.h"

namespace {

// A windowed control that paints its client area in one colour.
class TSwatch : public TCustomControl {
  ORV_CLASS(TSwatch, TCustomControl)
 public:
  explicit TSwatch(TComponent* AOwner) : TCustomControl(AOwner) {}
  TColor Colour = clBlue;
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    GetCanvas()->GetBrush()->SetColor(Colour);
    GetCanvas()->FillRect(GetClientRect());
  }
};

}  // namespace
ORV_REGISTER(TSwatch)

TEST(cxTransparentBackground, TheParentAndEarlierSiblingsPaintBehindTheControl) {
  forms::test::Session session;
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  form->SetBoundsRect({0, 0, 200, 150});
  form->SetColor(clRed);
  auto* elsewhere = Place<TSwatch>(form, {150, 0, 190, 30});  // earlier, but not behind the control
  auto* beneath = Place<TSwatch>(form, {20, 20, 60, 60});     // overlaps the control's top-left
  auto* control = Place<TSwatch>(form, {40, 40, 100, 100});
  auto* after = Place<TSwatch>(form, {80, 80, 120, 120});
  after->Colour = clLime;
  form->Show();
  win::test::PumpUntilIdle();

  TOwned<TBitmap> buffer(New<TBitmap>());
  buffer->SetPixelFormat(pf32bit);
  buffer->SetSize(60, 60);
  const int elsewherePaints = elsewhere->Paints, beneathPaints = beneath->Paints;
  cxDrawTransparentControlBackground(control, buffer->GetCanvas(), {0, 0, 60, 60});
  EXPECT_EQ(beneath->Paints, beneathPaints + 1);
  EXPECT_EQ(elsewhere->Paints, elsewherePaints);  // all of it would be clipped away
  EXPECT_EQ(buffer->GetCanvas()->GetPixels(5, 5), clBlue);   // the earlier sibling
  EXPECT_EQ(buffer->GetCanvas()->GetPixels(30, 30), clRed);  // the parent's colour
  EXPECT_EQ(buffer->GetCanvas()->GetPixels(50, 50), clRed);  // a later sibling is not behind it

  buffer->GetCanvas()->GetBrush()->SetColor(clWhite);
  buffer->GetCanvas()->FillRect({0, 0, 60, 60});
  cxDrawTransparentControlBackground(control, buffer->GetCanvas(), {0, 0, 60, 60}, false);
  EXPECT_EQ(buffer->GetCanvas()->GetPixels(5, 5), clRed);
  form->Free();
}

TEST(cxTransparentBackground, TheThemedParentBackgroundGoesThroughTheThemeLibrary) {
  forms::test::Session session;
  win::InstallThemeModule();
  dxUxThemeInitialize();
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  form->SetBoundsRect({0, 0, 200, 150});
  form->SetColor(clRed);
  Place<TSwatch>(form, {20, 20, 60, 60});
  auto* control = Place<TSwatch>(form, {40, 40, 100, 100});
  form->Show();
  win::test::PumpUntilIdle();

  // The theme library asks the parent alone.
  TOwned<TBitmap> buffer(New<TBitmap>());
  buffer->SetPixelFormat(pf32bit);
  buffer->SetSize(60, 60);
  cxDrawThemeParentBackground(control, buffer->GetCanvas(), {0, 0, 60, 60});
  EXPECT_EQ(buffer->GetCanvas()->GetPixels(30, 30), clRed);
  EXPECT_EQ(buffer->GetCanvas()->GetPixels(5, 5), clRed);

  // A double-buffered parent paints itself, the siblings before the
  // control included.
  form->SetDoubleBuffered(true);
  cxDrawThemeParentBackground(control, buffer->GetCanvas(), {0, 0, 60, 60});
  EXPECT_EQ(buffer->GetCanvas()->GetPixels(5, 5), clBlue);
  form->Free();
  dxUxThemeFinalize();
}
