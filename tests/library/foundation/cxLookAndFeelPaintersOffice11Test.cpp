// The Office-11 painter: its palette's colours in buttons and borders,
// scroll bars handed to the native or classic look, expand buttons that
// blend into what lies below, and a contact sheet of its elements written
// as PNG for the eye (office11-<scheme>.png in the test's folder).
#include <cstdlib>
#include <string>

#include "PainterCanvas.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/CodePage.h"

using namespace win;

namespace {

class Office11Painter : public PainterSession {
 protected:
  TcxCustomLookAndFeelPainterClass office11 = TcxOffice11LookAndFeelPainter::StaticClass();
  TcxCustomLookAndFeelPainterClass standard = TcxStandardLookAndFeelPainter::StaticClass();

  void UseScheme(const char16_t* AColorScheme) {
    test::SetThemeNames(u"C:\\WINDOWS\\Resources\\Themes\\Luna\\luna.msstyles", AColorScheme, u"NormalSize");
    RefreshOffice11Colors();
  }
};

int Brightness(TColor c) { return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF); }

TEST_F(Office11Painter, ButtonsTakeThePalettesFillAndFrame) {
  UseScheme(u"NormalColor");
  PainterCanvas canvas(40, 20);
  office11->DrawButton(canvas.get(), TRect{0, 0, 40, 20}, "", cxbsHot);
  EXPECT_EQ(canvas.At(0, 0), dxOffice11SelectedBorderColor);
  EXPECT_EQ(canvas.At(39, 19), dxOffice11SelectedBorderColor);
  EXPECT_EQ(canvas.At(20, 10), dxOffice11SelectedColor1);
  office11->DrawButton(canvas.get(), TRect{0, 0, 40, 20}, "", cxbsDisabled);
  EXPECT_EQ(canvas.At(0, 10), dxOffice11TextDisabledColor);
  EXPECT_EQ(canvas.At(20, 10), ColorToRGB(clBtnFace));
  office11->DrawButton(canvas.get(), TRect{0, 0, 40, 20}, "", cxbsNormal);
  EXPECT_EQ(canvas.At(0, 10), ColorToRGB(clBtnText));
  EXPECT_EQ(canvas.At(20, 10), dxOffice11DockColor1);
  office11->DrawBorder(canvas.get(), TRect{0, 0, 40, 20});
  EXPECT_EQ(canvas.At(0, 0), dxOffice11ControlBorderColor);
  EXPECT_EQ(office11->CheckButtonColor(cxbsNormal), clWindow);
  EXPECT_EQ(office11->CheckButtonColor(cxbsHot), dxOffice11SelectedColor1);
}

TEST_F(Office11Painter, PressedSymbolsAreHighlightTextOnlyOutsideTheStandardSchemes) {
  EXPECT_FALSE(IsXPStandardScheme()) << "the module's own theme";
  EXPECT_EQ(office11->ButtonSymbolColor(cxbsPressed), clHighlightText);
  UseScheme(u"Metallic");
  EXPECT_EQ(office11->ButtonSymbolColor(cxbsPressed), dxOffice11TextEnabledColor);
  EXPECT_EQ(office11->ButtonSymbolColor(cxbsDisabled, clRed), dxOffice11TextDisabledColor);
  EXPECT_EQ(office11->ButtonSymbolColor(cxbsNormal, clRed), dxOffice11TextEnabledColor);
}

TEST_F(Office11Painter, ScrollBarsAreNativeWithThemesAndClassicWithout) {
  PainterCanvas a(17, 60), b(17, 60);
  test::StartThemeCallLog();
  office11->DrawScrollBarPart(a.get(), false, TRect{0, 0, 17, 17}, sbpLineUp, cxbsNormal);
  ASSERT_EQ(test::ThemeCalls().empty(), false);
  EXPECT_EQ(test::ThemeCalls().back().ToString(), "DrawThemeBackground ScrollBar 1/1 [0,0,17,17]");

  SetThemesActive(false);
  a.Clear(kPaper);
  for (auto [painter, canvas] : {std::pair{office11, a.get()}, std::pair{standard, b.get()}}) {
    painter->DrawScrollBarPart(canvas, false, TRect{0, 0, 17, 17}, sbpLineUp, cxbsHot);
    painter->DrawScrollBarPart(canvas, false, TRect{0, 17, 17, 40}, sbpThumbnail, cxbsNormal);
    painter->DrawScrollBarPart(canvas, false, TRect{0, 40, 17, 60}, sbpPageDown, cxbsPressed);
  }
  EXPECT_EQ(a.Pixels(), b.Pixels());
}

TEST_F(Office11Painter, ExpandButtonCornersBlendIntoTheBackground) {
  PainterCanvas light(11, 11, clWhite), dark(11, 11, clBlack);
  office11->DrawExpandButton(light.get(), TRect{0, 0, 11, 11}, false);
  office11->DrawExpandButton(dark.get(), TRect{0, 0, 11, 11}, false);
  for (auto [x, y] : {std::pair{0, 0}, {10, 0}, {0, 10}, {10, 10}})
    EXPECT_LT(Brightness(dark.At(x, y)), Brightness(light.At(x, y))) << x << "," << y;
  EXPECT_EQ(dark.At(0, 0), GetMiddleRGB(dxOffice11ExpandButtonColor1, clBlack, 25));
  EXPECT_EQ(dark.At(10, 10), GetMiddleRGB(dxOffice11ExpandButtonColor2, clBlack, 25));
  // Away from the corners the two are the same picture.
  EXPECT_EQ(dark.At(5, 5), light.At(5, 5));
  EXPECT_EQ(dark.At(5, 0), light.At(5, 0));
  EXPECT_EQ(office11->ExpandButtonSize(), 11);
  EXPECT_EQ(office11->SmallExpandButtonSize(), 11);
}

TEST_F(Office11Painter, HeadersAreGradientsFramedByTheirEdgeColours) {
  UseScheme(u"NormalColor");
  PainterCanvas canvas(100, 20);
  const TRect left{0, 0, 50, 20}, right{50, 0, 100, 20};
  office11->DrawHeader(canvas.get(), left, cxRectInflate(left, -3, -2), {nRight}, cxBordersAll, cxbsNormal,
                       taLeftJustify, vaCenter, false, false, "", nullptr, clBlack, clRed);
  office11->DrawHeader(canvas.get(), right, cxRectInflate(right, -3, -2), {nLeft}, cxBordersAll, cxbsHot,
                       taLeftJustify, vaCenter, false, false, "", nullptr, clBlack, clRed);
  // The background colour is the gradient's business, not clRed's.
  const TColor top = TClassRef<TcxOffice11LookAndFeelPainter>(TcxOffice11LookAndFeelPainter::StaticClass())->HeaderTopColor();
  EXPECT_EQ(canvas.At(20, 0), top);
  EXPECT_EQ(canvas.At(20, 19), dxOffice11ToolbarsColor2);
  EXPECT_EQ(canvas.At(20, 1), GetGradientColorRect(TRect{1, 1, 49, 19}, 1, top, dxOffice11ToolbarsColor2, false));
  EXPECT_EQ(canvas.At(49, 10), dxOffice11BarSeparatorColor1) << "the separator";
  EXPECT_EQ(canvas.At(49, 0), GetMiddleRGB(dxOffice11BarSeparatorColor1, top, 25)) << "fading into the top";
  EXPECT_EQ(canvas.At(0, 10), dxOffice11BarSeparatorColor2) << "the light edge";
  // The hot header's bottom band.
  EXPECT_EQ(canvas.At(75, 16), dxOffice11SelectedColor2);
}

// ---------------------------------------------------------------------------
// The contact sheet: every element the painter draws in a typical state,
// written for review in the palette of one scheme.

void DrawContactSheet(TcxCanvas* C) {
  TcxCustomLookAndFeelPainterClass P = TcxOffice11LookAndFeelPainter::StaticClass();
  C->GetFont()->SetName("Tahoma");
  C->GetFont()->SetSize(8);
  TFont* font = C->GetFont();

  // Buttons in every state.
  const char* names[] = {"Default", "Normal", "Hot", "Pressed", "Disabled"};
  for (int s = 0; s < 5; ++s)
    P->DrawButton(C, Bounds(8 + s * 78, 8, 72, 23), names[s], static_cast<TcxButtonState>(s));

  // A header row: resting, hot and the last with a sorting mark; a footer
  // row below.
  const char* captions[] = {"Subject", "Received", "Size"};
  const TcxButtonState states[] = {cxbsNormal, cxbsHot, cxbsNormal};
  for (int i = 0; i < 3; ++i) {
    const TRect r = Bounds(8 + i * 110, 44, 110, 20);
    TcxNeighbors n;
    if (i > 0) n.Include(nLeft);
    if (i < 2) n.Include(nRight);
    P->DrawHeader(C, r, cxRectInflate(r, -4, -2), n, P->HeaderBorders(n), states[i], taLeftJustify, vaCenter, false,
                  true, captions[i], font, clBtnText, P->DefaultHeaderColor(), nullptr, i == 2);
    if (i == 1) P->DrawSortingMark(C, TRect{r.Right - 16, r.Top, r.Right - 4, r.Bottom}, true);
  }
  for (int i = 0; i < 3; ++i) {
    const TRect r = Bounds(8 + i * 110, 66, 110, 20);
    P->DrawFooterCell(C, r, taRightJustify, vaCenter, false, i == 1 ? "12 items" : "", font, clBtnText,
                      P->DefaultFooterColor());
  }

  // Expand buttons on light and dark ground, check boxes, radio buttons,
  // filter drop-down buttons, a group expand button and a close button.
  C->SetBrushColor(clWindow);
  C->FillRect(Bounds(8, 96, 60, 24));
  C->SetBrushColor(0x404040);
  C->FillRect(Bounds(68, 96, 60, 24));
  for (int i = 0; i < 2; ++i) {
    P->DrawExpandButton(C, Bounds(16 + i * 60, 102, 11, 11), false);
    P->DrawExpandButton(C, Bounds(36 + i * 60, 102, 11, 11), true);
  }
  for (int s = 1; s < 5; ++s) {
    P->DrawCheckButton(C, Bounds(140 + (s - 1) * 20, 100, 13, 13), static_cast<TcxButtonState>(s), s % 2 == 1);
    P->DrawRadioButton(C, 230 + (s - 1) * 20, 100, static_cast<TcxButtonState>(s), s % 2 == 1, false, clWindow);
  }
  for (int s = 1; s < 4; ++s)
    P->DrawFilterDropDownButton(C, Bounds(318 + (s - 1) * 20, 96, 15, 22), static_cast<TcxButtonState>(s), s == 3);
  P->DrawFilterCloseButton(C, Bounds(380, 98, 16, 15), cxbsHot);

  // Palette decorations: a tube gradient, a size grip, a gripper column,
  // item arrows and a selected frame.
  const TRect tube = Bounds(8, 128, 120, 26);
  FillTubeGradientRect(C->GetHandle(), tube, dxOffice11ToolbarsColor1, dxOffice11ToolbarsColor2, false);
  Office11DrawFingerElements(C->GetHandle(), Bounds(12, 130, 4, 22), true);
  Office11DrawItemArrow(C->GetHandle(), Bounds(100, 128, 20, 26), true, true, false, false);
  FillRectByColor(C->GetHandle(), Bounds(140, 128, 60, 26), dxOffice11ToolbarSelectedColor);
  Office11FrameSelectedRect(C->GetHandle(), Bounds(140, 128, 60, 26));
  Office11DrawItemArrow(C->GetHandle(), Bounds(180, 128, 20, 26), false, true, true, false);
  FillRectByColor(C->GetHandle(), Bounds(210, 128, 40, 26), dxOffice11DockColor1);
  Office11DrawSizeGrip(C->GetHandle(), Bounds(210, 128, 40, 26));
  P->DrawBorder(C, Bounds(260, 128, 60, 26));
  P->DrawGroupExpandButton(C, Bounds(330, 130, 21, 21), true, cxbsHot);

  // Scroll-bar parts (native while themes are on).
  P->DrawScrollBarPart(C, true, Bounds(8, 164, 17, 17), sbpLineUp, cxbsNormal);
  P->DrawScrollBarPart(C, true, Bounds(25, 164, 40, 17), sbpPageUp, cxbsNormal);
  P->DrawScrollBarPart(C, true, Bounds(65, 164, 50, 17), sbpThumbnail, cxbsHot);
  P->DrawScrollBarPart(C, true, Bounds(115, 164, 60, 17), sbpPageDown, cxbsNormal);
  P->DrawScrollBarPart(C, true, Bounds(175, 164, 17, 17), sbpLineDown, cxbsPressed);
}

TEST_F(Office11Painter, ContactSheetsOfEachScheme) {
  for (const char16_t* scheme : {u"NormalColor", u"HomeStead", u"Metallic", u"Standard"}) {
    if (std::u16string_view(scheme) == u"Standard")
      test::SetThemeNames(u"Orvanta.theme", u"Standard", u"Normal");
    else
      UseScheme(scheme);
    // What the system-colour notification does: the palette first, then
    // the painters' images built from it.
    RefreshOffice11Colors();
    cxLookAndFeelPaintersSystemPaletteChanged();
    PainterCanvas sheet(410, 190, clWindow);
    DrawContactSheet(sheet.get());
    // Nothing of the sheet's ground colour may show inside a drawn button.
    EXPECT_NE(sheet.At(44, 20), ColorToRGB(clWindow));
    std::string name = "office11-" + WideToAnsi(scheme) + ".png";
    EXPECT_TRUE(SaveBitmapPng(sheet.Bitmap()->GetHandle(), name)) << name;
  }
}

}  // namespace
