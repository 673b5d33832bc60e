// The editors' layout helpers: text-flag conversion, the hot-track colour,
// default button widths, and the themed part and state of a button.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditPaintFixture.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/Owned.h"
#include "platform/theme/ThemeState.h"
#include "platform/win/Metrics.h"

using namespace edit_paint_test;

namespace {

class cxEditUtils : public EditPaintSession {};

TEST_F(cxEditUtils, TextFlagsConvertValueByValueAndTheLineModesDoNotRoundTrip) {
  using namespace win;
  EXPECT_EQ(cxTextOutFlagsToDrawTextFlags(1), DT_VCENTER);
  EXPECT_EQ(cxTextOutFlagsToDrawTextFlags(2), DT_RIGHT);
  EXPECT_EQ(cxTextOutFlagsToDrawTextFlags(16), DT_SINGLELINE);
  EXPECT_EQ(cxTextOutFlagsToDrawTextFlags(32), DT_WORDBREAK);
  EXPECT_EQ(cxTextOutFlagsToDrawTextFlags(512 | 256), DT_EXPANDTABS | DT_CALCRECT);
  EXPECT_EQ(DrawTextFlagsTocxTextOutFlags(DT_VCENTER | DT_RIGHT), 1u | 2u);
  EXPECT_EQ(DrawTextFlagsTocxTextOutFlags(DT_WORDBREAK), 16u);
  EXPECT_EQ(DrawTextFlagsTocxTextOutFlags(DT_SINGLELINE), 32u);
  EXPECT_EQ(DrawTextFlagsTocxTextOutFlags(DT_EXPANDTABS | DT_CALCRECT), 512u | 256u);
  // Horizontal centring and bottom alignment have no counterpart.
  EXPECT_EQ(DrawTextFlagsTocxTextOutFlags(DT_CENTER | DT_BOTTOM), 0u);
  // 16 leaves as a single line and comes back as 32.
  EXPECT_EQ(DrawTextFlagsTocxTextOutFlags(cxTextOutFlagsToDrawTextFlags(16)), 32u);
}

TEST_F(cxEditUtils, TheHotTrackColourIsTheSystemHotLightColour) {
  cxEditUtilsInitialize();
  EXPECT_EQ(GetHotTrackColor(), static_cast<TColor>(win::RGB(0, 0, 128)));
  EXPECT_EQ(GetEditBorderHighlightColor(false), clHighlight);
  EXPECT_EQ(GetEditBorderHighlightColor(true), dxOffice11SelectedBorderColor);
}

TEST_F(cxEditUtils, ADefaultButtonIsAtLeastAScrollArrowWideAndATextButtonFitsItsCaption) {
  PainterCanvas c(10, 10);
  const Integer arrow = win::GetSystemMetrics(win::SM_CXVSCROLL);
  ASSERT_EQ(arrow, 16);
  auto width = [&](TcxEditButtonKind AKind, const AnsiString& ACaption = {}, Integer AWidth = 0,
                   TBitmap* AGlyph = nullptr) {
    TcxEditButtonPaintInfo b;
    b.Kind = AKind;
    b.PlainCaption = ACaption;
    b.Width = AWidth;
    b.Glyph = AGlyph;
    return CalculateEditDefaultButtonWidth(c.get(), b);
  };
  EXPECT_EQ(width(bkDown), arrow);
  ASSERT_LT(c->TextWidth("i") + 7, arrow);
  EXPECT_EQ(width(bkText, "i"), arrow) << "a short caption still gets the arrow width";
  const AnsiString caption = "Choose a file";
  ASSERT_GT(c->TextWidth(caption) + 7, arrow);
  EXPECT_EQ(width(bkText, caption), c->TextWidth(caption) + 4 + 3);
  // An explicit width is kept, but never narrower than the frame.
  EXPECT_EQ(width(bkText, caption, 30), 30);
  EXPECT_EQ(width(bkDown, {}, 2), 4);
  // A picture gives its own width and the frame, even when narrow.
  TOwned<TBitmap> glyph(cxCreateBitmap(9, 8));
  EXPECT_EQ(width(bkGlyph, {}, 0, glyph.get()), 13);
  TOwned<TBitmap> empty(New<TBitmap>());
  EXPECT_EQ(width(bkGlyph, {}, 0, empty.get()), arrow);
}

TEST_F(cxEditUtils, AThemedButtonTakesThePartAndStateOfItsThemeAndLosesThemWithoutOne) {
  struct Case {
    TcxEditButtonState State;
    Integer NativeState;
  };
  const Case cases[] = {{ebsDisabled, 4}, {ebsNormal, 1}, {ebsPressed, 3}, {ebsSelected, 2}};
  for (bool combo : {false, true})
    for (const Case& k : cases) {
      TcxEditButtonPaintInfo b;
      b.Native = true;
      b.IsComboButton = combo;
      b.State = k.State;
      CalculateEditButtonState(b);
      EXPECT_EQ(b.NativePart, 1);
      EXPECT_EQ(b.NativeState, k.NativeState) << combo << " " << k.State;
    }

  // The region of a themed button stays inside its bounds.
  PainterCanvas c(40, 30);
  TcxEditButtonPaintInfo b;
  b.Native = true;
  b.Bounds = TRect(5, 5, 22, 25);
  CalculateEditButtonState(b);
  TOwned<TcxRegion> region(GetEditButtonRegion(c.get(), b));
  EXPECT_FALSE(region->IsEmpty());
  TRect box = region->GetBoundsRect();
  EXPECT_TRUE(cxRectContain(b.Bounds, box));

  // Themes switched off: the button is drawn as a plain one.
  win::SetThemesActive(false);
  Restart();
  b.NativeTransparent = true;
  CalculateEditButtonState(b);
  EXPECT_EQ(b.NativePart, 0);
  EXPECT_EQ(b.NativeState, 0);
  EXPECT_FALSE(b.NativeTransparent);
  region.reset(GetEditButtonRegion(c.get(), b));
  EXPECT_EQ(region->GetBoundsRect(), b.Bounds);
  // ...and the default width no longer measures a theme.
  b.Kind = bkDown;
  EXPECT_EQ(CalculateEditDefaultButtonWidth(c.get(), b), 16);
  EXPECT_FALSE(b.Native);
  EXPECT_EQ(GetPainterClass(true, lfOffice11), TcxOffice11LookAndFeelPainter::StaticClass());
  win::SetThemesActive(true);
  Restart();
  EXPECT_EQ(GetPainterClass(true, lfOffice11), TcxWinXPLookAndFeelPainter::StaticClass());
}

}  // namespace
