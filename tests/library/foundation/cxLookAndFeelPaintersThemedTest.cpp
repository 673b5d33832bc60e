// The theme-based painter as the theme module sees it: which class, part
// and state each element asks for, read from the module's call log, and
// the standard painter's drawing wherever a class or a query is missing.
#include <string>
#include <vector>

#include "PainterCanvas.h"
#include "support/HangGuard.h"
#include "platform/win/Modules.h"

using namespace win;

namespace {

using Lines = std::vector<std::string>;

class ThemedPainter : public PainterSession {
 protected:
  TcxCustomLookAndFeelPainterClass themed = TcxWinXPLookAndFeelPainter::StaticClass();
  TcxCustomLookAndFeelPainterClass standard = TcxStandardLookAndFeelPainter::StaticClass();

  // The drawing and measuring calls logged since the last Start, without
  // the handle traffic of the theme manager.
  static Lines Drawn() {
    Lines lines;
    for (const auto& c : test::ThemeCalls())
      if (c.Function != "OpenThemeData" && c.Function != "CloseThemeData") lines.push_back(c.ToString());
    return lines;
  }
};

TEST_F(ThemedPainter, PushButtonsMapTheirStatesAndDrawTheCaptionThroughTheTheme) {
  PainterCanvas canvas(80, 30);
  test::StartThemeCallLog();
  themed->DrawButton(canvas.get(), TRect{0, 0, 75, 23}, "OK", cxbsDefault);
  themed->DrawButton(canvas.get(), TRect{0, 0, 75, 23}, "", cxbsDisabled);
  themed->DrawButton(canvas.get(), TRect{0, 0, 75, 23}, "Go", cxbsHot);
  EXPECT_EQ(Drawn(), (Lines{"DrawThemeBackground Button 1/5 [0,0,75,23]", "DrawThemeText Button 1/5 [0,0,75,23] \"OK\"",
                            "DrawThemeBackground Button 1/4 [0,0,75,23]", "DrawThemeBackground Button 1/2 [0,0,75,23]",
                            "DrawThemeText Button 1/2 [0,0,75,23] \"Go\""}));
  // The theme's inset of the push button is the border.
  EXPECT_EQ(themed->ButtonBorderSize(), 3);
  EXPECT_EQ(themed->ButtonTextShift(), 0);
}

TEST_F(ThemedPainter, CheckBoxesRadioButtonsAndScrollBarsPickTheirPartsAndStates) {
  PainterCanvas canvas(60, 60);
  test::StartThemeCallLog();
  // No separate border: the glyph covers the whole box.
  themed->DrawCheckButton(canvas.get(), TRect{0, 0, 13, 13}, cxbsNormal, true);
  themed->DrawCheckButton(canvas.get(), TRect{0, 0, 13, 13}, cxbsDisabled, false);
  themed->DrawRadioButton(canvas.get(), 20, 0, cxbsPressed, true, false, clDefault);
  EXPECT_EQ(Drawn(), (Lines{"DrawThemeBackground Button 3/5 [0,0,13,13]", "DrawThemeBackground Button 3/4 [0,0,13,13]",
                            "GetThemePartSize Button 2/1 [0,0,0,0]", "DrawThemeBackground Button 2/7 [20,0,33,13]"}));

  test::StartThemeCallLog();
  themed->DrawScrollBarPart(canvas.get(), true, TRect{0, 0, 17, 17}, sbpLineUp, cxbsHot);
  themed->DrawScrollBarPart(canvas.get(), false, TRect{0, 0, 17, 17}, sbpLineDown, cxbsDisabled);
  themed->DrawScrollBarPart(canvas.get(), false, TRect{0, 17, 17, 40}, sbpThumbnail, cxbsNormal);
  themed->DrawScrollBarPart(canvas.get(), true, TRect{0, 0, 30, 17}, sbpPageUp, cxbsPressed);
  themed->DrawScrollBarPart(canvas.get(), true, TRect{0, 0, 30, 17}, sbpPageDown, cxbsNormal);
  themed->DrawScrollBarPart(canvas.get(), true, TRect{0, 0, 0, 17}, sbpPageDown, cxbsNormal);  // empty
  EXPECT_EQ(Drawn(), (Lines{"DrawThemeBackground ScrollBar 1/10 [0,0,17,17]",
                            "DrawThemeBackground ScrollBar 1/8 [0,0,17,17]",
                            "DrawThemeBackground ScrollBar 3/1 [0,17,17,40]",
                            "DrawThemeBackground ScrollBar 9/0 [0,17,17,40]",
                            "DrawThemeBackground ScrollBar 5/3 [0,0,30,17]",
                            "DrawThemeBackground ScrollBar 4/1 [0,0,30,17]"}));
}

TEST_F(ThemedPainter, HeadersUseTheRightHandItemOnlyForTheLastRestingHeaderOfTheColouredSchemes) {
  PainterCanvas canvas(60, 20);
  auto header = [&](TcxButtonState AState, bool AIsLast) {
    themed->DrawHeader(canvas.get(), TRect{0, 0, 60, 20}, TRect{2, 2, 58, 18}, {}, cxBordersAll, AState, taLeftJustify,
                       vaCenter, false, false, "", nullptr, clBlack, clBtnFace, nullptr, AIsLast);
  };
  test::StartThemeCallLog();
  header(cxbsNormal, true);  // the module's own theme: no scheme
  test::SetThemeNames(u"luna.msstyles", u"NormalColor", u"NormalSize");
  RefreshOffice11Colors();
  test::StartThemeCallLog();
  header(cxbsNormal, true);
  header(cxbsHot, true);
  header(cxbsPressed, false);
  header(cxbsDisabled, false);
  EXPECT_EQ(Drawn(), (Lines{"DrawThemeBackground Header 3/1 [0,0,60,20]", "DrawThemeBackground Header 1/2 [0,0,60,20]",
                            "DrawThemeBackground Header 1/3 [0,0,60,20]", "DrawThemeBackground Header 1/1 [0,0,60,20]"}));
}

// The module's OpenThemeData without the tree view: as a theme that lacks
// that one class.
HTHEME OpenWithoutTreeView(HWND hwnd, LPCWSTR classList) {
  if (classList && std::u16string_view(classList) == u"TreeView") return nullptr;
  return win::OpenThemeData(hwnd, classList);
}

TEST_F(ThemedPainter, AClassWithoutAThemeFallsBackToTheStandardPainterForItsElementsOnly) {
  RegisterModuleExport("UxTheme", "OpenThemeData", &OpenWithoutTreeView);
  Restart();
  EXPECT_EQ(themed->ExpandButtonSize(), 12);
  EXPECT_EQ(themed->SmallExpandButtonSize(), 9);
  PainterCanvas a(20, 20), b(20, 20);
  test::StartThemeCallLog();
  themed->DrawExpandButton(a.get(), TRect{2, 2, 14, 14}, false);
  standard->DrawExpandButton(b.get(), TRect{2, 2, 14, 14}, false);
  EXPECT_EQ(a.Pixels(), b.Pixels());
  EXPECT_TRUE(Drawn().empty());
  // The buttons still come from the theme.
  themed->DrawButton(a.get(), TRect{0, 0, 20, 20}, "", cxbsNormal);
  EXPECT_EQ(Drawn(), Lines{"DrawThemeBackground Button 1/1 [0,0,20,20]"});
  RegisterModuleExport("UxTheme", "OpenThemeData", &win::OpenThemeData);

  Restart();
  EXPECT_EQ(themed->ExpandButtonSize(), 9) << "the theme's glyph";
}

TEST_F(ThemedPainter, ARefusedQueryLeavesTheStandardAnswer) {
  for (const char* name : {"GetThemeColor", "GetThemePartSize", "GetThemeBackgroundContentRect"})
    test::SetThemeExportMissing(name, true);
  Restart();
  ASSERT_TRUE(AreVisualStylesAvailable(totButton));
  EXPECT_EQ(themed->ButtonSymbolColor(cxbsNormal, clRed), clRed);
  EXPECT_EQ(themed->ButtonSymbolColor(cxbsDisabled), clBtnShadow);
  EXPECT_EQ(themed->ButtonColor(cxbsNormal), clBtnFace) << "not black";
  EXPECT_EQ(themed->ExpandButtonSize(), 12);
  EXPECT_EQ(themed->CheckButtonSize(), standard->CheckButtonSize());
  EXPECT_EQ(themed->ButtonBorderSize(cxbsDefault), 3);
  EXPECT_EQ(themed->HeaderBorderSize(), 1);
  PainterCanvas canvas(40, 40);
  EXPECT_EQ(themed->ButtonFocusRect(canvas.get(), TRect{0, 0, 40, 20}), (TRect{4, 4, 36, 16}));
}

TEST_F(ThemedPainter, WithThemesOffEveryElementLooksStandard) {
  SetThemesActive(false);
  PainterCanvas a(120, 40), b(120, 40);
  for (auto [painter, canvas] : {std::pair{themed, a.get()}, std::pair{standard, b.get()}}) {
    painter->DrawButton(canvas, TRect{0, 0, 40, 20}, "", cxbsDefault);
    painter->DrawCheckButton(canvas, TRect{45, 0, 58, 13}, cxbsNormal, true);
    painter->DrawScrollBarPart(canvas, false, TRect{60, 0, 77, 17}, sbpLineUp, cxbsNormal);
    painter->DrawScrollBarPart(canvas, false, TRect{60, 17, 77, 40}, sbpThumbnail, cxbsNormal);
    painter->DrawBorder(canvas, TRect{80, 0, 120, 40});
    painter->DrawExpandButton(canvas, TRect{0, 25, 12, 37}, true);
  }
  EXPECT_EQ(a.Pixels(), b.Pixels());
  EXPECT_EQ(themed->LookAndFeelStyle(), lfsNative);
  EXPECT_EQ(themed->BorderSize(), 2);
}

TEST_F(ThemedPainter, ATabFarLongerThanTheCanvasCostsWhatTheCanvasShowsAndLooksTheSame) {
  // Tabs are drawn through a bitmap; it holds what the canvas shows, so a
  // tab two billion pixels long shows the same near end as a short one.
  HangGuard guard(60);
  for (bool vertical : {false, true}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    PainterCanvas longTab(40, 40), shortTab(40, 40);
    const TRect endless = vertical ? TRect{0, 0, 20, 2000000000} : TRect{0, 0, 2000000000, 20};
    const TRect brief = vertical ? TRect{0, 0, 20, 400} : TRect{0, 0, 400, 20};
    themed->DrawTab(longTab.get(), endless, cxBordersAll, "", cxbsNormal, vertical, nullptr, clBtnText, clBtnFace);
    themed->DrawTab(shortTab.get(), brief, cxBordersAll, "", cxbsNormal, vertical, nullptr, clBtnText, clBtnFace);
    EXPECT_EQ(longTab.Pixels(), shortTab.Pixels());
    EXPECT_NE(longTab.At(10, 10), kPaper);
    // A tab partly off the canvas shows its visible part as it would be
    // on a larger canvas.
    PainterCanvas cut(40, 40), whole(100, 100);
    const TRect placed = vertical ? TRect{20, 20, 40, 80} : TRect{20, 20, 80, 40};
    themed->DrawTab(whole.get(), placed, cxBordersAll, "", cxbsHot, vertical, nullptr, clBtnText, clBtnFace);
    themed->DrawTab(cut.get(), cxRectOffset(placed, -30, -30), cxBordersAll, "", cxbsHot, vertical, nullptr,
                    clBtnText, clBtnFace);
    for (Integer y = 0; y < 40; ++y)
      for (Integer x = 0; x < 40; ++x) ASSERT_EQ(cut.At(x, y), whole.At(x + 30, y + 30)) << x << ", " << y;
  }
}

}  // namespace
