// The painters' behaviour: the size table, derived geometry, and what each
// family paints where, read back from the pixels of a bitmap or from the
// recording DC's log.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <cstdio>
#include <string>

#include "library/foundation/cxLookAndFeelPainters.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Recorder.h"
#include "platform/rtl/Owned.h"
#include "platform/rtl/TypeInfo.h"
#include "platform/win/Metrics.h"

namespace {

constexpr TColor kPage = 0x123456;  // a colour no painter uses

// Text in one bit per pixel, so that text colours can be counted exactly.
struct PaintersResources : ::testing::Environment {
  void SetUp() override { win::SetTextRenderMode(win::TextRenderMode::Monochrome); }
  void TearDown() override {
    cxLookAndFeelPaintersFinalize();
    cxGraphicsFinalize();
    win::SetTextRenderMode(win::TextRenderMode::Grayscale);
  }
};
const auto* const gResources = ::testing::AddGlobalTestEnvironment(new PaintersResources);

TcxCustomLookAndFeelPainterClass Base() { return TcxCustomLookAndFeelPainter::StaticClass(); }
TcxCustomLookAndFeelPainterClass Standard() { return TcxStandardLookAndFeelPainter::StaticClass(); }
TcxCustomLookAndFeelPainterClass Flat() { return TcxFlatLookAndFeelPainter::StaticClass(); }
TcxCustomLookAndFeelPainterClass UltraFlat() { return TcxUltraFlatLookAndFeelPainter::StaticClass(); }

// A page-coloured 32-bit bitmap with a library canvas on it.
struct Surface {
  explicit Surface(Integer W = 40, Integer H = 40) : Bitmap(New<TBitmap>()) {
    Bitmap->SetPixelFormat(pf32bit);
    Bitmap->SetSize(W, H);
    Canvas = MakeOwned<TcxCanvas>(Bitmap->GetCanvas());
    Canvas->GetBrush()->SetColor(kPage);
    Canvas->FillRect({0, 0, W, H});
  }
  TColor At(Integer X, Integer Y) {
    win::SelectClipRgn(Canvas->GetHandle(), nullptr);
    return Bitmap->GetCanvas()->GetPixels(X, Y);
  }
  // The bounds of the pixels that are not the page colour.
  TRect Painted() {
    TRect r{1 << 20, 1 << 20, -1, -1};
    for (Integer y = 0; y < Bitmap->GetHeight(); ++y)
      for (Integer x = 0; x < Bitmap->GetWidth(); ++x)
        if (At(x, y) != kPage)
          r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
    return r.Right < 0 ? cxNullRect : r;
  }
  // The bounds of the pixels of one colour.
  TRect Bounds(TColor AColor) {
    TRect r{1 << 20, 1 << 20, -1, -1};
    for (Integer y = 0; y < Bitmap->GetHeight(); ++y)
      for (Integer x = 0; x < Bitmap->GetWidth(); ++x)
        if (At(x, y) == ColorToRGB(AColor))
          r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
    return r.Right < 0 ? cxNullRect : r;
  }
  Integer Count(TColor AColor, const TRect& R) {
    Integer n = 0;
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x) n += At(x, y) == ColorToRGB(AColor);
    return n;
  }
  std::string Record() {
    win::GdiStartRecording(Canvas->GetHandle());
    return {};
  }
  std::string Log() { return win::GdiRecording(Canvas->GetHandle()); }
  TOwned<TBitmap> Bitmap;
  TOwned<TcxCanvas> Canvas;
};

// Sets one system colour for the life of the object.
struct SysColor {
  SysColor(int AIndex, TColor AColor) : Index(AIndex), Saved(win::GetSysColor(AIndex)) {
    const COLORREF c = AColor;
    win::SetSysColors(1, &Index, &c);
  }
  ~SysColor() { win::SetSysColors(1, &Index, &Saved); }
  int Index;
  COLORREF Saved;
};

}  // namespace

// ---------------------------------------------------------------------------
// Sizes, flags and derived geometry.

TEST(cxPainterSizes, EveryNonThemedPainterAnswersItsColumnOfTheTable) {
  struct Column {
    TcxCustomLookAndFeelPainterClass P;
    TcxLookAndFeelStyle Style;
    Integer Border, ButtonDefault, Button, TextOffset, TextShift, Expand;
    bool HotTrack;
    Integer Header, SectionPressed, Section;
    TSize Sorting;
    Integer Footer, FooterOffset, Tab;
    TSize Close;
  };
  const Column table[] = {
      {Base(), lfsStandard, 0, 0, 0, 0, 0, 0, false, 0, 1, 1, {0, 0}, 0, 0, 0, {16, 14}},
      {Standard(), lfsStandard, 2, 3, 2, 1, 1, 12, false, 1, 1, 2, {8, 7}, 1, 1, 1, {16, 14}},
      {Flat(), lfsFlat, 1, 2, 1, 1, 1, 11, false, 1, 1, 1, {8, 7}, 1, 1, 1, {16, 14}},
      {UltraFlat(), lfsUltraFlat, 1, 2, 1, 2, 0, 11, true, 1, 1, 1, {7, 8}, 1, 2, 1, {16, 15}},
  };
  for (const Column& c : table) {
    SCOPED_TRACE(c.P.ClassName());
    const auto& P = c.P;
    EXPECT_EQ(P->LookAndFeelStyle(), c.Style);
    EXPECT_EQ(P->BorderSize(), c.Border);
    EXPECT_EQ(P->ButtonBorderSize(cxbsDefault), c.ButtonDefault);
    for (TcxButtonState s : {cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled}) EXPECT_EQ(P->ButtonBorderSize(s), c.Button);
    EXPECT_EQ(P->ButtonTextOffset(), c.TextOffset);
    EXPECT_EQ(P->ButtonTextShift(), c.TextShift);
    EXPECT_EQ(P->ExpandButtonSize(), c.Expand);
    EXPECT_EQ(P->GroupExpandButtonSize(), 15);
    EXPECT_EQ(P->SmallExpandButtonSize(), 9);
    EXPECT_EQ(P->IsButtonHotTrack(), c.HotTrack);
    EXPECT_EQ(P->CheckBorderSize(), 2);
    EXPECT_EQ(P->HeaderBorderSize(), c.Header);
    EXPECT_EQ(P->HeaderControlSectionBorderSize(cxbsPressed), c.SectionPressed);
    EXPECT_EQ(P->HeaderControlSectionBorderSize(cxbsNormal), c.Section);
    EXPECT_EQ(P->SortingMarkSize(), c.Sorting);
    EXPECT_EQ(P->SortingMarkAreaSize(), (TSize{16, c.Sorting.cy}));
    EXPECT_EQ(P->FooterBorderSize(), c.Footer);
    EXPECT_EQ(P->FooterCellBorderSize(), c.Footer);
    EXPECT_EQ(P->FooterCellOffset(), c.FooterOffset);
    EXPECT_EQ(P->FooterSeparatorSize(), 1);
    EXPECT_EQ(P->TabBorderSize(false), c.Tab);
    EXPECT_EQ(P->FilterActivateButtonSize(), (TSize{13, 13}));
    EXPECT_EQ(P->FilterCloseButtonSize(), c.Close);
    EXPECT_EQ(P->FilterDropDownButtonSize(), (TSize{15, 0}));
    EXPECT_EQ(P->PopupBorderStyle(), pbsUltraFlat);
    EXPECT_EQ(P->ChartToolBoxDataLevelInfoBorderSize(), 1);
    // The check-box cell is a quarter of the system bitmap's width and a
    // third of its height.
    EXPECT_EQ(P->CheckButtonSize(), (TSize{13, 13}));
    EXPECT_TRUE(P->DrawExpandButtonFirst() && P->HeaderDrawCellsFirst() && P->FooterDrawCellsFirst() &&
                P->IndicatorDrawItemsFirst());
    EXPECT_FALSE(P->IsHeaderHotTrack() || P->IsDrawTabImplemented(false) || P->IsTabHotTrack(true));
  }
  EXPECT_EQ(GetCurrentPainterClass(), UltraFlat());
  EXPECT_EQ(BtnStateToXPBtnState(cxbsDefault), 5);
  EXPECT_EQ(BtnStateToXPBtnState(cxbsDisabled), 4);
}

namespace {
// A painter that changes one primitive colour; the derived ones follow.
class TGridLinePainter : public TcxFlatLookAndFeelPainter {
  ORV_CLASS(TGridLinePainter, TcxFlatLookAndFeelPainter)
 public:
  TColor DefaultGridLineColor() const override { return clRed; }
  TColor ButtonColor(TcxButtonState) const override { return clLime; }
  TColor ButtonSymbolColor(TcxButtonState, TColor) const override { return clFuchsia; }
};
}  // namespace
ORV_REGISTER(TGridLinePainter)

TEST(cxPainterColours, DerivedColoursFollowTheDescendantsPrimitives) {
  TcxCustomLookAndFeelPainterClass P(TGridLinePainter::StaticClass());
  EXPECT_EQ(P->DefaultRecordSeparatorColor(), clRed);
  EXPECT_EQ(Flat()->DefaultRecordSeparatorColor(), clBtnShadow);
  EXPECT_EQ(Standard()->DefaultSchedulerViewContentColor(), clWindow);
  EXPECT_EQ(Flat()->DefaultSchedulerViewContentColor(), static_cast<TColor>(0xD5FFFF));
  EXPECT_EQ(UltraFlat()->DefaultSchedulerBorderColor(), clBtnShadow);
  EXPECT_EQ(Flat()->DefaultSchedulerBorderColor(), clRed);

  // A button with default colours takes the painter's button and symbol
  // colours: fill and caption.
  Surface s(60, 24);
  s.Canvas->GetFont()->SetName("Arial");
  P->DrawButton(s.Canvas.get(), {0, 0, 60, 24}, "WW", cxbsNormal);
  EXPECT_EQ(s.At(4, 4), clLime);
  EXPECT_GT(s.Count(clFuchsia, {0, 0, 60, 24}), 10);
}

TEST(cxPainterColours, UltraFlatButtonsHighlightAndKeepSymbolsNormal) {
  const auto& P = UltraFlat();
  EXPECT_EQ(P->ButtonColor(cxbsHot), GetLightSelColor());
  EXPECT_EQ(P->ButtonColor(cxbsPressed), GetLightDownedSelColor());
  EXPECT_EQ(P->ButtonColor(cxbsDisabled), clBtnFace);
  EXPECT_EQ(P->ButtonSymbolColor(cxbsPressed), clHighlightText);
  EXPECT_EQ(P->ButtonSymbolColor(cxbsDisabled), clBtnShadow);
  EXPECT_EQ(Base()->ButtonSymbolColor(cxbsNormal, clRed), clRed);
  EXPECT_EQ(Base()->ButtonSymbolColor(cxbsNormal), clBtnText);
  for (TcxButtonState s : {cxbsDefault, cxbsHot, cxbsPressed, cxbsDisabled}) {
    EXPECT_EQ(P->ButtonSymbolState(s), cxbsNormal);
    EXPECT_EQ(Standard()->ButtonSymbolState(s), s);
  }
  TClassRef<TcxUltraFlatLookAndFeelPainter> U(TcxUltraFlatLookAndFeelPainter::StaticClass());
  EXPECT_EQ(U->FilterDropDownButtonBorderColor(cxbsNormal), clBtnShadow);
  EXPECT_EQ(U->FilterDropDownButtonBorderColor(cxbsHot), clHighlight);
}

TEST(cxPainterGeometry, HeadersGrowBordersTheyDoNotDrawAndMeasureBothSides) {
  const auto& P = UltraFlat();
  EXPECT_EQ(P->HeaderHeight(13), 2 * (1 + 2) + 13);
  EXPECT_EQ(Base()->HeaderHeight(13), 4 + 13);
  // Ultra-flat headers leave the left and top lines to their neighbours.
  EXPECT_EQ(P->HeaderBorders({nLeft, nTop}), (TcxBorders{bRight, bBottom}));
  EXPECT_EQ(Standard()->HeaderBorders({nLeft, nTop}), cxBordersAll);
  EXPECT_EQ(P->HeaderBounds({10, 10, 50, 30}, {nLeft}, cxBordersAll), (TRect{9, 10, 50, 30}));
  EXPECT_EQ(Standard()->HeaderBounds({10, 10, 50, 30}, {nLeft}, cxBordersAll), (TRect{10, 10, 50, 30}));
  EXPECT_EQ(P->HeaderContentBounds({10, 10, 50, 30}, {bLeft, bBottom}), (TRect{11, 10, 50, 29}));

  // The width holds the text, its margins and both side borders.
  Surface s;
  TOwned<TFont> font(New<TFont>());
  font->SetName("Arial");
  const Integer text = cxTextWidth(font.get(), "Amount");
  EXPECT_EQ(P->HeaderWidth(s.Canvas.get(), {}, "Amount", font.get()), text + 4);
  EXPECT_EQ(P->HeaderWidth(s.Canvas.get(), {bLeft}, "Amount", font.get()), text + 5);
  EXPECT_EQ(P->HeaderWidth(s.Canvas.get(), {bLeft, bRight}, "Amount", font.get()), text + 6);

  EXPECT_EQ(P->HeaderControlSectionTextAreaBounds({0, 0, 9, 9}, cxbsPressed), (TRect{1, 1, 10, 10}));
  EXPECT_EQ(Standard()->HeaderControlSectionContentBounds({0, 0, 20, 20}, cxbsNormal), (TRect{2, 2, 18, 18}));
  EXPECT_EQ(P->FooterCellTextAreaBounds({0, 0, 20, 20}), (TRect{3, 3, 17, 17}));
  EXPECT_EQ(cxTextRect({0, 0, 20, 20}), (TRect{2, 2, 18, 18}));
}

TEST(cxPainterGeometry, FocusRectanglesAndButtonGroups) {
  EXPECT_EQ(Standard()->ButtonFocusRect(nullptr, {0, 0, 20, 20}), (TRect{4, 4, 16, 16}));
  EXPECT_EQ(UltraFlat()->ButtonFocusRect(nullptr, {0, 0, 20, 20}), (TRect{3, 3, 17, 17}));
  // Too small to shrink: the focus goes round the whole button.
  EXPECT_EQ(Standard()->ButtonFocusRect(nullptr, {0, 0, 8, 20}), (TRect{0, 0, 8, 20}));
  EXPECT_EQ(UltraFlat()->ButtonFocusRect(nullptr, {0, 0, 6, 6}), (TRect{0, 0, 6, 6}));

  EXPECT_EQ(Standard()->ButtonGroupBorderSizes(3, 1), (TRect{2, 2, 2, 2}));
  EXPECT_EQ(UltraFlat()->ButtonGroupBorderSizes(3, 0), (TRect{2, 2, 1, 2}));
  EXPECT_EQ(UltraFlat()->ButtonGroupBorderSizes(3, 1), (TRect{1, 2, 1, 2}));
  EXPECT_EQ(UltraFlat()->ButtonGroupBorderSizes(3, 2), (TRect{1, 2, 2, 2}));
  EXPECT_EQ(UltraFlat()->ButtonGroupBorderSizes(1, 0), (TRect{2, 2, 2, 2}));
  EXPECT_EQ(Flat()->AdjustGroupButtonDisplayRect({1, 2, 3, 4}, 3, 1), (TRect{1, 2, 3, 4}));
  EXPECT_TRUE(Flat()->IsPointOverGroupExpandButton({0, 0, 15, 15}, {14, 0}));
  EXPECT_FALSE(Flat()->IsPointOverGroupExpandButton({0, 0, 15, 15}, {15, 0}));
}

// ---------------------------------------------------------------------------
// Buttons, borders and arrows.

TEST(cxPainterButtons, DefaultButtonsHaveTheirPaintersOuterFrames) {
  Surface s;
  Standard()->DrawButton(s.Canvas.get(), {0, 0, 30, 20}, "", cxbsDefault);
  EXPECT_EQ(s.At(0, 10), clBlack);                         // the default frame
  EXPECT_EQ(s.At(1, 10), ColorToRGB(clBtnHighlight));      // raised edge
  EXPECT_EQ(s.At(28, 10), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(s.At(27, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(s.At(3, 10), ColorToRGB(clBtnFace));           // three pixels of border

  Surface u;
  UltraFlat()->DrawButton(u.Canvas.get(), {0, 0, 30, 20}, "", cxbsDefault);
  EXPECT_EQ(u.At(0, 10), ColorToRGB(clWindowFrame));
  EXPECT_EQ(u.At(1, 10), ColorToRGB(clWindowFrame));
  EXPECT_EQ(u.At(2, 10), ColorToRGB(clBtnFace));
  Surface h;
  UltraFlat()->DrawButton(h.Canvas.get(), {0, 0, 30, 20}, "", cxbsHot);
  EXPECT_EQ(h.At(0, 10), ColorToRGB(clHighlight));
  EXPECT_EQ(h.At(1, 10), ColorToRGB(GetLightSelColor()));
}

TEST(cxPainterButtons, CaptionsSitInAnEvenBandMovedUpInLowButtons) {
  auto captionRect = [](Integer AHeight, TcxButtonState AState) {
    Surface s(60, 40);
    s.Record();
    Standard()->DrawButton(s.Canvas.get(), {0, 10, 60, 10 + AHeight}, "&Go", AState, false);
    const std::string log = s.Log();
    const std::size_t at = log.find("DrawText(\"&Go\" ");
    TRect r{};
    EXPECT_NE(at, std::string::npos) << log;
    if (at != std::string::npos)
      std::sscanf(log.c_str() + at + 15, "%d,%d,%d,%d", &r.Left, &r.Top, &r.Right, &r.Bottom);
    return r;
  };
  EXPECT_EQ(captionRect(17, cxbsNormal), (TRect{0, 9, 60, 25}));   // 16-pixel band, one up
  EXPECT_EQ(captionRect(16, cxbsNormal), (TRect{0, 9, 60, 25}));
  EXPECT_EQ(captionRect(19, cxbsNormal), (TRect{0, 10, 60, 28}));  // tall enough: stays
  EXPECT_EQ(captionRect(19, cxbsPressed), (TRect{1, 11, 61, 29}));  // pressed: shifted
}

TEST(cxPainterArrows, PointsFollowTheDirectionAndTinyArrowsAreOnePixel) {
  TPoint P[3];
  TcxCustomLookAndFeelPainter::CalculateArrowPoints({0, 0, 4, 4}, P, adDown, false);
  EXPECT_EQ(P[0], P[1]);
  EXPECT_EQ(P[1], P[2]);
  Surface s;
  Flat()->DrawArrow(s.Canvas.get(), TRect{10, 10, 14, 14}, adUp, clRed);
  EXPECT_EQ(s.Painted(), (TRect{11, 12, 12, 13}));

  TcxCustomLookAndFeelPainter::CalculateArrowPoints({0, 0, 16, 16}, P, adUp, true);
  EXPECT_EQ(P[0], (TPoint{7, 6}));  // apex
  EXPECT_EQ(P[1], (TPoint{4, 9}));
  EXPECT_EQ(P[2], (TPoint{10, 9}));
  TcxCustomLookAndFeelPainter::CalculateArrowPoints({0, 0, 16, 16}, P, adRight, true);
  EXPECT_EQ(P[0], (TPoint{6, 5}));
  EXPECT_EQ(P[1], (TPoint{9, 8}));  // apex
  EXPECT_EQ(P[2], (TPoint{6, 11}));
  // Proportional arrows are fitted to the square about the centre.
  TPoint Q[3];
  TcxCustomLookAndFeelPainter::CalculateArrowPoints({0, 0, 40, 16}, Q, adRight, true);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Q[i], cxPointOffset(P[i], 12, 0));
}

TEST(cxPainterArrows, GlyphsOfRectanglesAtTheEndsOfIntegerStayWhereTheirRectanglesAre) {
  constexpr Integer lo = std::numeric_limits<Integer>::min(), hi = std::numeric_limits<Integer>::max();
  // The surface shows -20..19 each way. Rectangles at either end of Integer
  // lie far off it, and so do their glyphs: none wraps round onto it.
  for (const auto& P : {Standard(), Flat(), UltraFlat()}) {
    SCOPED_TRACE(P.ClassName());
    for (const TRect& r : {TRect{hi - 40, 0, hi, 20}, TRect{lo, 0, lo + 40, 20}, TRect{0, hi - 40, 20, hi}}) {
      Surface s;
      s.Canvas->SetWindowOrg({-20, -20});
      for (TcxArrowDirection d : {adUp, adDown, adLeft, adRight}) P->DrawArrow(s.Canvas.get(), r, d, clRed);
      P->DrawButtonArrow(s.Canvas.get(), r, clRed);
      P->DrawCheck(s.Canvas.get(), r, cxbsNormal, true, clRed);
      P->DrawSortingMark(s.Canvas.get(), r, true);
      P->DrawGroupExpandButton(s.Canvas.get(), r, true, cxbsNormal);
      P->DrawFilterCloseButton(s.Canvas.get(), r, cxbsPressed);
      P->DrawIndicatorItem(s.Canvas.get(), r, ikArrow, clRed);
      P->DrawRadioButton(s.Canvas.get(), r.Right - 5, r.Bottom - 5, cxbsNormal, true, false, clRed);
      s.Canvas->SetWindowOrg({0, 0});
      EXPECT_EQ(s.Painted(), cxNullRect) << r.Left << ", " << r.Top;
    }
  }
  // A rectangle over all of Integer has its middle at -1: an expand
  // button's cross runs through it.
  Surface s;
  s.Canvas->SetWindowOrg({-20, -20});
  Base()->DrawSmallExpandButton(s.Canvas.get(), {lo, lo, hi, hi}, false, clRed);
  for (Integer i = -20; i < 20; ++i) {
    EXPECT_EQ(s.At(i, -1), ColorToRGB(clBtnText)) << i;
    EXPECT_EQ(s.At(-1, i), ColorToRGB(clBtnText)) << i;
  }
  EXPECT_EQ(s.At(5, 5), kPage);
}

// ---------------------------------------------------------------------------
// Scroll-bar parts.

TEST(cxPainterScrollBars, DisabledThumbsAreNotDrawnAndDisabledArrowsAreEmbossed) {
  for (const auto& P : {Standard(), Flat(), UltraFlat()}) {
    Surface s;
    P->DrawScrollBarPart(s.Canvas.get(), false, {0, 0, 16, 30}, sbpThumbnail, cxbsDisabled);
    P->DrawScrollBarPart(s.Canvas.get(), false, {0, 0, 0, 30}, sbpLineUp, cxbsNormal);
    EXPECT_EQ(s.Painted(), cxNullRect) << P.ClassName();
  }
  for (const auto& P : {Flat(), UltraFlat()}) {
    Surface s;
    P->DrawScrollBarPart(s.Canvas.get(), true, {0, 0, 16, 16}, sbpLineDown, cxbsDisabled);
    // The dark glyph with its light copy one pixel down and right: a right
    // arrow whose tip column is dark and whose lower edge has light pixels.
    EXPECT_GT(s.Count(clBtnShadow, {3, 3, 13, 13}), 3) << P.ClassName();
    EXPECT_GT(s.Count(clBtnHighlight, {3, 3, 13, 13}), 2) << P.ClassName();
    EXPECT_EQ(s.Count(clBtnText, {0, 0, 16, 16}), 0) << P.ClassName();
  }
  Surface s;
  s.Record();
  Standard()->DrawScrollBarPart(s.Canvas.get(), true, {0, 0, 16, 16}, sbpLineDown, cxbsDisabled);
  EXPECT_NE(s.Log().find("DrawFrameControl(0,0,16,16 type=3 state=103)"), std::string::npos) << s.Log();
}

TEST(cxPainterScrollBars, PressedStandardButtonsStayInsideTheirRectangle) {
  Surface s;
  s.Record();
  Standard()->DrawScrollBarPart(s.Canvas.get(), false, {10, 10, 26, 26}, sbpLineUp, cxbsPressed);
  EXPECT_NE(s.Log().find("DrawFrameControl(11,11,27,27 type=3 state=4000)"), std::string::npos) << s.Log();
  EXPECT_EQ(s.Painted(), (TRect{10, 10, 26, 26}));
  EXPECT_EQ(s.At(10, 10), ColorToRGB(clBtnShadow));
}

TEST(cxPainterScrollBars, PageAreasFollowTheSystemColours) {
  Surface s(16, 16);
  UltraFlat()->DrawScrollBarPart(s.Canvas.get(), false, {0, 0, 16, 16}, sbpPageUp, cxbsNormal);
  EXPECT_EQ(s.At(0, 0), ColorToRGB(clBtnFace));
  EXPECT_EQ(s.At(1, 0), ColorToRGB(clBtnHighlight));
  Flat()->DrawScrollBarPart(s.Canvas.get(), false, {0, 0, 16, 16}, sbpPageDown, cxbsPressed);
  EXPECT_EQ(s.At(5, 5), clBlack);
  EXPECT_EQ(s.At(4, 5), ColorToRGB(cl3DDkShadow));
  {
    SysColor face(win::COLOR_BTNFACE, clRed);
    cxLookAndFeelPaintersSystemPaletteChanged();
    Standard()->DrawScrollBarPart(s.Canvas.get(), false, {0, 0, 16, 16}, sbpPageUp, cxbsHot);
    EXPECT_EQ(s.At(2, 2), clRed);
  }
  // Back to the system's own colour, and a change that changes nothing
  // keeps it.
  cxLookAndFeelPaintersSystemPaletteChanged();
  cxLookAndFeelPaintersSystemPaletteChanged();
  Standard()->DrawScrollBarPart(s.Canvas.get(), false, {0, 0, 16, 16}, sbpPageUp, cxbsHot);
  EXPECT_EQ(s.At(2, 2), ColorToRGB(clBtnFace));
}

// ---------------------------------------------------------------------------
// Expand buttons.

TEST(cxPainterExpandButtons, DefaultColourIsButtonFaceAndExpandedShowsOnlyTheBar) {
  for (const auto& P : {Standard(), Flat(), UltraFlat()}) {
    SCOPED_TRACE(P.ClassName());
    Surface s;
    const Integer n = P->ExpandButtonSize();
    const TRect r{10, 10, 10 + n, 10 + n};
    P->DrawExpandButton(s.Canvas.get(), r, true);
    // The button is excluded from the clip region: later fills go round it.
    s.Canvas->GetBrush()->SetColor(clRed);
    s.Canvas->FillRect({0, 0, 40, 40});
    EXPECT_EQ(s.At(5, 5), clRed);
    EXPECT_EQ(s.At(r.Left + 2, r.Top + 2), ColorToRGB(clBtnFace));
    // Expanded: the sign is one row, the minus.
    const TRect minus = s.Bounds(clBtnText);
    EXPECT_EQ(cxRectHeight(minus), 1);
    EXPECT_EQ(cxRectWidth(minus), 5);

    Surface c;
    P->DrawExpandButton(c.Canvas.get(), r, false, clWindow);
    EXPECT_EQ(c.At(r.Left + 2, r.Top + 2), ColorToRGB(clWindow));
    const TRect plus = c.Bounds(clBtnText);
    EXPECT_EQ(plus, (TRect{minus.Left, minus.Top - 2, minus.Right, minus.Bottom + 2}));
    EXPECT_EQ(c.Count(clBtnText, plus), 9);
  }
  Surface s;
  Base()->DrawSmallExpandButton(s.Canvas.get(), {0, 0, 9, 9}, false, clRed);
  EXPECT_EQ(s.At(0, 0), clRed);
  EXPECT_EQ(s.At(1, 1), kPage);  // no fill for clDefault
  EXPECT_EQ(s.Count(clBtnText, {0, 0, 9, 9}), 9);
}

// ---------------------------------------------------------------------------
// Check boxes and radio buttons.

TEST(cxPainterChecks, DisabledStandardBoxIsSunkenFaceColouredAndEmpty) {
  Surface s;
  Standard()->DrawCheckButton(s.Canvas.get(), {0, 0, 13, 13}, cxbsDisabled, false);
  EXPECT_EQ(s.At(0, 5), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(s.At(1, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(s.At(12, 5), ColorToRGB(cl3DLight));
  EXPECT_EQ(s.At(11, 5), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(s.Count(clBtnFace, {2, 2, 11, 11}), 81);

  // Unchecked, DrawCheck only fills; checked adds a tick three pixels thick.
  Surface t;
  UltraFlat()->DrawCheck(t.Canvas.get(), {0, 0, 9, 9}, cxbsNormal, false, clRed);
  EXPECT_EQ(t.Count(clWindow, {0, 0, 9, 9}), 81);
  UltraFlat()->DrawCheck(t.Canvas.get(), {0, 0, 9, 9}, cxbsHot, true, clRed);
  EXPECT_EQ(t.Count(clRed, {0, 0, 9, 9}), 21);
  for (Integer x = 1; x < 8; ++x) EXPECT_EQ(t.Count(clRed, {x, 0, x + 1, 9}), 3) << x;
  Surface low(20, 20);
  UltraFlat()->DrawCheck(low.Canvas.get(), {5, 5, 14, 8}, cxbsNormal, true, clRed);
  EXPECT_EQ(low.Painted(), (TRect{5, 5, 14, 8}));
  EXPECT_EQ(low.Count(clRed, {0, 0, 20, 20}), 0);

  Surface f;
  Flat()->DrawCheckButton(f.Canvas.get(), {0, 0, 13, 13}, cxbsDisabled, true);
  EXPECT_EQ(f.At(1, 5), ColorToRGB(clBtnFace));  // the inner ring takes the box's colour
  EXPECT_GT(f.Count(clGrayText, {2, 2, 11, 11}), 0);
}

TEST(cxPainterRadios, ImagesAreMeasuredAndColouredPerKindAndState) {
  const TSize size = Flat()->RadioButtonSize();
  EXPECT_EQ(size, (TSize{13, 13}));
  // The dot is the system's: measured in its glyph.
  Surface s;
  Standard()->DrawRadioButton(s.Canvas.get(), 0, 0, cxbsNormal, true, false, clDefault);
  EXPECT_EQ(s.At(6, 6), ColorToRGB(clWindowText));
  EXPECT_EQ(s.At(0, 0), kPage);                     // transparent outside
  EXPECT_EQ(s.At(0, 6), ColorToRGB(clBtnShadow));    // outer ring, upper left
  EXPECT_EQ(s.At(12, 6), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(s.At(1, 6), ColorToRGB(cl3DDkShadow));   // inner ring
  Standard()->DrawRadioButton(s.Canvas.get(), 20, 0, cxbsDisabled, true, false, clDefault);
  EXPECT_EQ(s.At(26, 6), ColorToRGB(clBtnShadow));
  EXPECT_EQ(s.At(23, 3), ColorToRGB(clBtnFace));
  // A default button looks like a normal one.
  Surface d;
  Flat()->DrawRadioButton(d.Canvas.get(), 0, 0, cxbsNormal, false, false, clDefault);
  Flat()->DrawRadioButton(d.Canvas.get(), 20, 0, cxbsDefault, false, false, clDefault);
  for (Integer y = 0; y < 13; ++y)
    for (Integer x = 0; x < 13; ++x) ASSERT_EQ(d.At(x, y), d.At(x + 20, y)) << x << "," << y;
  // A background colour shows around the circle.
  UltraFlat()->DrawRadioButton(d.Canvas.get(), 0, 20, cxbsHot, false, true, clRed);
  EXPECT_EQ(d.At(0, 20), clRed);
  EXPECT_EQ(d.At(0, 26), ColorToRGB(clHighlight));
  EXPECT_EQ(d.At(6, 26), GetLightSelColor());
  // Ultra-flat rings are highlighted when focused or designed, grey otherwise.
  UltraFlat()->DrawRadioButton(d.Canvas.get(), 20, 20, cxbsNormal, false, false, clDefault);
  EXPECT_EQ(d.At(20, 26), ColorToRGB(clBtnShadow));
  UltraFlat()->DrawRadioButton(d.Canvas.get(), 20, 20, cxbsNormal, false, false, clDefault, true);
  EXPECT_EQ(d.At(20, 26), ColorToRGB(clHighlight));
}

TEST(cxPainterRadios, MeasuringStaysInsideTheCircleWhenTheDotRunsToTheEdge) {
  // Window, window text and shadow all black: the system glyph is black
  // from edge to edge, and the walk that finds the dot must stop at the
  // circle instead of running off the work bitmap.
  cxLookAndFeelPaintersFinalize();
  {
    SysColor window(win::COLOR_WINDOW, clBlack), text(win::COLOR_WINDOWTEXT, clBlack),
        shadow(win::COLOR_BTNSHADOW, clBlack);
    EXPECT_EQ(Flat()->RadioButtonSize(), (TSize{13, 13}));
    Surface s;
    Flat()->DrawRadioButton(s.Canvas.get(), 0, 0, cxbsNormal, true, false, clDefault);
    EXPECT_EQ(s.Painted(), (TRect{0, 0, 13, 13}));
  }
  cxLookAndFeelPaintersFinalize();
  Surface s;
  Flat()->DrawRadioButton(s.Canvas.get(), 0, 0, cxbsNormal, false, false, clDefault);
  EXPECT_EQ(s.At(6, 6), ColorToRGB(clWindow));
}

namespace {
class TOffice11LikePainter : public TcxUltraFlatLookAndFeelPainter {
  ORV_CLASS(TOffice11LikePainter, TcxUltraFlatLookAndFeelPainter)
 public:
  TcxLookAndFeelStyle LookAndFeelStyle() const override { return lfsOffice11; }
  TColor ButtonColor(TcxButtonState) const override { return 0x00C0FF; }
  TColor ButtonSymbolColor(TcxButtonState, TColor) const override { return 0x808000; }
  TColor BorderHighlightColor() const override { return 0x0000A0; }
};
}  // namespace
ORV_REGISTER(TOffice11LikePainter)

TEST(cxPainterRadios, Office11ImagesTakeTheRegisteredPaintersColours) {
  TcxCustomLookAndFeelPainterClass P(TOffice11LikePainter::StaticClass());
  cxSetOffice11RadioButtonPainter(P);
  Surface s;
  P->DrawRadioButton(s.Canvas.get(), 0, 0, cxbsDisabled, true, false, clDefault);
  EXPECT_EQ(s.At(6, 6), static_cast<TColor>(0x808000));  // the disabled text colour
  EXPECT_EQ(s.At(0, 6), static_cast<TColor>(0x808000));
  P->DrawRadioButton(s.Canvas.get(), 20, 0, cxbsHot, false, false, clDefault);
  EXPECT_EQ(s.At(20, 6), static_cast<TColor>(0x0000A0));  // the selected border colour
  EXPECT_EQ(s.At(26, 6), static_cast<TColor>(0x00C0FF));
  P->DrawRadioButton(s.Canvas.get(), 0, 20, cxbsNormal, false, false, clDefault);
  EXPECT_EQ(s.At(0, 26), ColorToRGB(clBtnText));
  EXPECT_EQ(s.At(6, 26), ColorToRGB(clWindow));
  cxSetOffice11RadioButtonPainter(nullptr);
}

TEST(cxPainterRadios, ASystemColourChangeRebuildsTheImages) {
  Surface s;
  Flat()->DrawRadioButton(s.Canvas.get(), 0, 0, cxbsNormal, true, false, clDefault);
  EXPECT_EQ(s.At(6, 6), ColorToRGB(clWindowText));
  {
    SysColor text(win::COLOR_WINDOWTEXT, clBlue);
    cxLookAndFeelPaintersSystemPaletteChanged();
    Flat()->DrawRadioButton(s.Canvas.get(), 0, 0, cxbsNormal, true, false, clDefault);
    EXPECT_EQ(s.At(6, 6), clBlue);
  }
  cxLookAndFeelPaintersSystemPaletteChanged();
  Flat()->DrawRadioButton(s.Canvas.get(), 0, 0, cxbsNormal, true, false, clDefault);
  EXPECT_EQ(s.At(6, 6), ColorToRGB(clWindowText));
}

// ---------------------------------------------------------------------------
// Headers, footers, indicator, filter buttons.

namespace {
struct BackgroundPainter {
  bool Paint = true;
  Integer Calls = 0;
  bool Draw(TcxCanvas* ACanvas, const TRect& R) {
    ++Calls;
    if (Paint) {
      ACanvas->GetBrush()->SetColor(clYellow);
      ACanvas->FillRect(R);
    }
    return Paint;
  }
};
}  // namespace

TEST(cxPainterContent, ABackgroundEventReplacesTheFillButNotTheText) {
  BackgroundPainter bg;
  auto event = TcxDrawBackgroundEvent::Bind<&BackgroundPainter::Draw>(&bg);
  Surface s(60, 20);
  Flat()->DrawContent(s.Canvas.get(), {0, 0, 60, 20}, {2, 2, 58, 18}, cxbsNormal, taLeftJustify, vaCenter, false,
                      false, "WWW", nullptr, clRed, clWhite, event);
  EXPECT_EQ(bg.Calls, 1);
  EXPECT_EQ(s.At(59, 0), clYellow);
  EXPECT_EQ(s.Count(clWhite, {0, 0, 60, 20}), 0);
  EXPECT_GT(s.Count(clRed, {0, 0, 60, 20}), 10);
  bg.Paint = false;
  Flat()->DrawContent(s.Canvas.get(), {0, 0, 60, 20}, {2, 2, 58, 18}, cxbsNormal, taLeftJustify, vaCenter, false,
                      false, "", nullptr, clRed, clWhite, event);
  EXPECT_EQ(s.At(59, 0), clWhite);
}

TEST(cxPainterHeaders, NeighboursJoinAndUltraFlatDrawsContentFirst) {
  Surface s(80, 20);
  Standard()->DrawHeader(s.Canvas.get(), {0, 0, 40, 20}, {2, 2, 38, 18}, {nRight}, cxBordersAll, cxbsNormal,
                         taLeftJustify, vaCenter, false, false, "", nullptr, clBtnText, clBtnFace);
  Standard()->DrawHeader(s.Canvas.get(), {40, 0, 80, 20}, {42, 2, 78, 18}, {nLeft}, cxBordersAll, cxbsNormal,
                         taLeftJustify, vaCenter, false, false, "", nullptr, clBtnText, clBtnFace);
  EXPECT_EQ(s.At(39, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(s.At(40, 10), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(s.At(39, 1), ColorToRGB(clBtnFace));  // no notch where they meet
  EXPECT_EQ(s.At(40, 1), ColorToRGB(clBtnFace));
  EXPECT_EQ(s.At(39, 0), ColorToRGB(clBtnHighlight));

  Surface u(40, 20);
  UltraFlat()->DrawHeaderEx(u.Canvas.get(), {0, 0, 40, 20}, {2, 2, 38, 18}, {nLeft}, {bRight, bBottom}, cxbsNormal,
                            taLeftJustify, vaCenter, false, false, "", nullptr, clBtnText, clWhite);
  EXPECT_EQ(u.At(39, 5), ColorToRGB(clBtnText));
  EXPECT_EQ(u.At(5, 19), ColorToRGB(clBtnText));
  EXPECT_EQ(u.At(0, 5), kPage);  // the neighbour's line
  EXPECT_EQ(u.At(1, 5), clWhite);
}

TEST(cxPainterHeaders, SortingMarksPointUpWhenAscendingForEvenAndOddWidths) {
  for (const auto& P : {Standard(), UltraFlat()}) {
    const TSize mark = P->SortingMarkSize();
    for (bool ascending : {true, false}) {
      SCOPED_TRACE(P.ClassName() + (ascending ? " ascending" : " descending"));
      Surface s(16, 20);
      P->DrawSortingMark(s.Canvas.get(), {0, 0, 16, 20}, ascending);
      const TRect r = s.Painted();
      EXPECT_EQ(cxRectWidth(r), mark.cx);
      EXPECT_EQ(cxRectHeight(r), mark.cy);
      auto rowWidth = [&](Integer y) {
        Integer first = -1, last = -1;
        for (Integer x = 0; x < 16; ++x)
          if (s.At(x, y) != kPage) {
            if (first < 0) first = x;
            last = x;
          }
        return last - first + 1;
      };
      const Integer top = rowWidth(r.Top), bottom = rowWidth(r.Bottom - 1);
      if (ascending) EXPECT_LT(top, bottom); else EXPECT_GT(top, bottom);
      EXPECT_EQ(ascending ? bottom : top, mark.cx);  // the base is the full width
    }
  }
}

TEST(cxPainterHeaders, DisabledSectionsAreEmbossed) {
  Surface s(60, 20);
  s.Canvas->GetFont()->SetName("Arial");
  UltraFlat()->DrawHeaderControlSection(s.Canvas.get(), {0, 0, 60, 20}, {2, 2, 58, 18}, {}, cxBordersAll,
                                        cxbsDisabled, taCenter, vaCenter, "WWW", nullptr, clRed, clWhite);
  EXPECT_EQ(s.At(0, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(s.At(5, 5), ColorToRGB(clBtnFace));  // disabled: the button colour
  EXPECT_GT(s.Count(clBtnHighlight, {1, 1, 59, 19}), 5);
  EXPECT_GT(s.Count(clBtnShadow, {1, 1, 59, 19}), 5);
  EXPECT_EQ(s.Count(clRed, {0, 0, 60, 20}), 0);
}

TEST(cxPainterHeaders, MonthHeaderArrowsSitInTheirSideAreas) {
  Surface s(140, 20);
  TcxViewParams params;
  params.Color = clBtnFace;
  params.TextColor = clBtnText;
  Flat()->DrawMonthHeader(s.Canvas.get(), {0, 0, 140, 20}, "", {}, params, haLeft, 20);
  EXPECT_EQ(s.Bounds(clWindowText), (TRect{7, 6, 12, 15}));  // 5 x 9, pointing left
  EXPECT_EQ(s.Count(clWindowText, {7, 10, 8, 11}), 1);
  Surface u(140, 20);
  Standard()->DrawMonthHeader(u.Canvas.get(), {0, 0, 140, 20}, "", {nLeft}, params, haRight, 20);
  EXPECT_EQ(u.At(0, 10), ColorToRGB(clBtnHighlight));  // no black frame next to a neighbour
  EXPECT_EQ(u.At(139, 10), clBlack);
  EXPECT_EQ(u.Count(clWindowText, {121, 2, 138, 18}), 1 + 3 + 5 + 7 + 9);
}

TEST(cxPainterFooters, UltraFlatCellsAreClosedOnTheRightAndBelowOnly) {
  Surface s(40, 20);
  UltraFlat()->DrawFooterCell(s.Canvas.get(), {0, 0, 40, 20}, taRightJustify, vaCenter, false, "", nullptr,
                              clBtnText, clWhite);
  EXPECT_EQ(s.At(39, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(s.At(5, 19), ColorToRGB(clBtnShadow));
  EXPECT_EQ(s.At(0, 5), kPage);  // the content keeps the cell border's width on every side
  EXPECT_EQ(s.At(1, 1), clWhite);
  Surface t(40, 20);
  Standard()->DrawFooterCell(t.Canvas.get(), {0, 0, 40, 20}, taRightJustify, vaCenter, false, "", nullptr,
                             clBtnText, clWhite);
  EXPECT_EQ(t.At(0, 5), ColorToRGB(clBtnShadow));  // sunken
  EXPECT_EQ(t.At(39, 5), ColorToRGB(clBtnHighlight));
  Standard()->DrawFooterSeparator(t.Canvas.get(), {10, 0, 11, 20});
  EXPECT_EQ(t.At(10, 10), ColorToRGB(clBtnShadow));
}

TEST(cxPainterTabs, SidesStopShortOfTheirNeighboursAndRoundTheCorner) {
  Surface s(30, 20);
  const TRect tab{0, 0, 30, 20};
  const TcxBorders sides{bLeft, bRight, bBottom};
  for (TcxBorder b : {bLeft, bRight, bBottom}) Standard()->DrawTabBorder(s.Canvas.get(), tab, b, sides, false);
  EXPECT_EQ(s.At(0, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(s.At(0, 17), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(s.At(0, 18), kPage);                        // stops short of the bottom side
  EXPECT_EQ(s.At(1, 18), ColorToRGB(clBtnHighlight));   // the rounded corner
  EXPECT_EQ(s.At(2, 19), ColorToRGB(clBtnShadow));      // the bottom faces away from the page
  EXPECT_EQ(s.At(1, 19), kPage);
  EXPECT_EQ(s.At(29, 5), ColorToRGB(clBtnHighlight));
  Surface v(20, 30);
  for (TcxBorder b : {bTop, bRight, bBottom})
    UltraFlat()->DrawTabBorder(v.Canvas.get(), {0, 0, 20, 30}, b, {bTop, bRight, bBottom}, true);
  EXPECT_EQ(v.At(19, 10), ColorToRGB(clBtnText));      // vertical tabs face away on the right
  EXPECT_EQ(v.At(5, 0), ColorToRGB(clBtnShadow));
}

TEST(cxPainterScheduler, SplittersHaveLinePairsOnBothLongSides) {
  TcxViewParams params;
  params.Color = clWhite;
  Surface s(40, 10);
  Standard()->DrawSchedulerSplitterBorder(s.Canvas.get(), {0, 0, 40, 6}, params, true);
  const TColor column[] = {ColorToRGB(clBtnFace), ColorToRGB(clBtnHighlight), clWhite,
                           clWhite, ColorToRGB(clBtnShadow), ColorToRGB(cl3DDkShadow)};
  for (Integer y = 0; y < 6; ++y) EXPECT_EQ(s.At(20, y), column[y]) << y;
  Surface u(10, 40);
  UltraFlat()->DrawSchedulerSplitterBorder(u.Canvas.get(), {0, 0, 6, 40}, params, false);
  for (Integer x : {0, 1, 4, 5}) EXPECT_EQ(u.At(x, 20), ColorToRGB(clBtnShadow)) << x;
  EXPECT_EQ(u.At(2, 20), clWhite);
}

TEST(cxPainterIndicator, KindsDrawTheirImageOverTheHeaderBackground) {
  const TRect r{0, 0, 14, 18};
  Surface none(14, 18);
  Standard()->DrawIndicatorItem(none.Canvas.get(), r, ikNone, clBtnFace);
  EXPECT_EQ(none.Count(clBtnFace, {1, 1, 13, 17}), 12 * 16);
  EXPECT_EQ(cxIndicatorImages()->GetCount(), 6);
  EXPECT_EQ(cxIndicatorImages()->GetWidth(), 11);
  for (int k = ikArrow; k <= ikFilter; ++k) {
    Surface s(14, 18);
    UltraFlat()->DrawIndicatorItemEx(s.Canvas.get(), r, static_cast<TcxIndicatorKind>(k), clBtnFace);
    EXPECT_GT(s.Count(clBlack, {1, 1, 13, 17}), 3) << k;
    EXPECT_EQ(s.At(2, 2), ColorToRGB(clBtnFace)) << k;  // white is transparent
  }
}

TEST(cxPainterFilterButtons, TheDropDownArrowIsBlueWhileAFilterIsActive) {
  for (const auto& P : {Standard(), Flat(), UltraFlat()}) {
    for (bool active : {false, true}) {
      Surface s(15, 18);
      P->DrawFilterDropDownButton(s.Canvas.get(), {0, 0, 15, 18}, cxbsNormal, active);
      EXPECT_EQ(s.Count(clBlue, {0, 0, 15, 18}) > 0, active) << P.ClassName();
      EXPECT_EQ(s.Count(clBtnText, {2, 2, 13, 16}) > 0, !active) << P.ClassName();
    }
  }
  Surface c(16, 16);
  Standard()->DrawFilterCloseButton(c.Canvas.get(), {0, 0, 16, 14}, cxbsNormal);
  // Two diagonals of seven pixels, two pixels wide, crossing in the middle.
  EXPECT_EQ(c.Count(clBtnText, {0, 0, 16, 14}), 26);
  Surface a(13, 13);
  Flat()->DrawFilterActivateButton(a.Canvas.get(), {0, 0, 13, 13}, cxbsNormal, true);
  EXPECT_EQ(a.Count(clBtnText, {2, 2, 11, 11}), 21);
}

// ---------------------------------------------------------------------------
// Every operation of every painter.

TEST(cxPainterFamily, EveryPainterAnswersEveryOperationAndTheBaseDrawsOnlyComposites) {
  for (const auto& P : {Base(), Standard(), Flat(), UltraFlat()}) {
    SCOPED_TRACE(P.ClassName());
    const TRect r{5, 5, 25, 25};
    TcxViewParams params;
    params.Color = clWhite;
    auto drawnBy = [&](auto&& draw) {
      Surface t(60, 60);
      draw(t.Canvas.get());
      return t.Painted() != cxNullRect;
    };
    const bool base = P == Base();
    // Elements the base painter leaves to its descendants.
    EXPECT_NE(drawnBy([&](TcxCanvas* x) { P->DrawBorder(x, r); }), base);
    EXPECT_NE(drawnBy([&](TcxCanvas* x) { P->DrawButtonBorder(x, r, cxbsNormal); }), base);
    EXPECT_NE(drawnBy([&](TcxCanvas* x) { P->DrawExpandButton(x, r, false); }), base);
    EXPECT_NE(drawnBy([&](TcxCanvas* x) { P->DrawCheckBorder(x, r, cxbsNormal); }), base);
    EXPECT_NE(drawnBy([&](TcxCanvas* x) { P->DrawHeaderBorder(x, r, {}, cxBordersAll); }), base);
    EXPECT_NE(drawnBy([&](TcxCanvas* x) { P->DrawHeaderControlSectionBorder(x, r, cxBordersAll, cxbsNormal); }), base);
    EXPECT_NE(drawnBy([&](TcxCanvas* x) { P->DrawSortingMark(x, r, true); }), base);
    EXPECT_NE(drawnBy([&](TcxCanvas* x) { P->DrawFooterBorder(x, r); }), base);
    EXPECT_NE(drawnBy([&](TcxCanvas* x) { P->DrawFooterCellBorder(x, r); }), base);
    EXPECT_NE(drawnBy([&](TcxCanvas* x) { P->DrawFilterDropDownButton(x, r, cxbsNormal, false); }), base);
    EXPECT_NE(drawnBy([&](TcxCanvas* x) { P->DrawTabBorder(x, r, bLeft, cxBordersAll, false); }), base);
    EXPECT_NE(drawnBy([&](TcxCanvas* x) { P->DrawTabsRoot(x, r, cxBordersAll, false); }), base);
    EXPECT_NE(drawnBy([&](TcxCanvas* x) { P->DrawSchedulerSplitterBorder(x, r, params, true); }), base);
    EXPECT_NE(drawnBy([&](TcxCanvas* x) { P->DrawScrollBarPart(x, false, r, sbpThumbnail, cxbsNormal); }), base);
    EXPECT_NE(drawnBy([&](TcxCanvas* x) { P->DrawSchedulerBorder(x, r); }), base);
    EXPECT_FALSE(drawnBy([&](TcxCanvas* x) { P->DrawButtonGroupBorder(x, r, false, false); }) &&
                 P != UltraFlat());
    // Tabs themselves are drawn only by themed painters.
    EXPECT_FALSE(drawnBy([&](TcxCanvas* x) {
      P->DrawTab(x, r, cxBordersAll, "Tab", cxbsNormal, false, nullptr, clBtnText, clBtnFace);
    }));
    // Composites and primitives every painter draws.
    for (auto draw : std::initializer_list<std::function<void(TcxCanvas*)>>{
             [&](TcxCanvas* x) { P->DrawButton(x, r, "A", cxbsHot); },
             [&](TcxCanvas* x) { P->DrawButtonInGroup(x, r, cxbsPressed, 3, 1, clWhite); },
             [&](TcxCanvas* x) { P->DrawArrow(x, r, adLeft, clRed); },
             [&](TcxCanvas* x) { P->DrawArrow(x, r, cxbsNormal, adDown); },
             [&](TcxCanvas* x) { P->DrawArrowBorder(x, r, cxbsNormal); },
             [&](TcxCanvas* x) { P->DrawButtonArrow(x, r, clRed); },
             [&](TcxCanvas* x) { P->DrawScrollBarArrow(x, r, cxbsPressed, adUp); },
             [&](TcxCanvas* x) { P->DrawGroupExpandButton(x, r, true, cxbsNormal); },
             [&](TcxCanvas* x) { P->DrawSmallExpandButton(x, r, true, clRed, clWhite); },
             [&](TcxCanvas* x) { P->DrawCheck(x, r, cxbsNormal, true, clRed); },
             [&](TcxCanvas* x) { P->DrawCheckButton(x, r, cxbsNormal, true); },
             [&](TcxCanvas* x) { P->DrawRadioButton(x, 5, 5, cxbsNormal, true, false, clDefault); },
             [&](TcxCanvas* x) { P->DrawHeader(x, r, r, {}, cxBordersAll, cxbsNormal, taLeftJustify, vaTop, false, false, "H", nullptr, clBlack, clWhite); },
             [&](TcxCanvas* x) { P->DrawHeaderEx(x, r, r, {}, cxBordersAll, cxbsNormal, taLeftJustify, vaTop, false, false, "H", nullptr, clBlack, clWhite); },
             [&](TcxCanvas* x) { P->DrawHeaderPressed(x, r); },
             [&](TcxCanvas* x) { P->DrawHeaderControlSection(x, r, r, {}, cxBordersAll, cxbsNormal, taLeftJustify, vaTop, "H", nullptr, clBlack, clWhite); },
             [&](TcxCanvas* x) { P->DrawHeaderControlSectionContent(x, r, r, cxbsNormal, taLeftJustify, vaTop, "H", nullptr, clBlack, clWhite); },
             [&](TcxCanvas* x) { P->DrawHeaderControlSectionText(x, r, cxbsNormal, taLeftJustify, vaTop, false, false, "H", nullptr, clBlack); },
             [&](TcxCanvas* x) { P->DrawFooterCell(x, r, taLeftJustify, vaTop, false, "F", nullptr, clBlack, clWhite); },
             [&](TcxCanvas* x) { P->DrawFooterSeparator(x, r); },
             [&](TcxCanvas* x) { P->DrawFilterActivateButton(x, r, cxbsNormal, false); },
             [&](TcxCanvas* x) { P->DrawFilterCloseButton(x, r, cxbsNormal); },
             [&](TcxCanvas* x) { P->DrawIndicatorItem(x, r, ikArrow, clWhite); },
             [&](TcxCanvas* x) { P->DrawIndicatorItemEx(x, r, ikEdit, clWhite); },
             [&](TcxCanvas* x) { P->DrawMonthHeader(x, r, "M", {}, params, haBoth, 5); },
             [&](TcxCanvas* x) { P->DrawSchedulerNavigatorButton(x, r, cxbsNormal); },
             [&](TcxCanvas* x) { P->DrawContent(x, r, r, cxbsNormal, taLeftJustify, vaTop, false, false, "C", nullptr, clBlack, clWhite); },
         })
      EXPECT_TRUE(drawnBy(draw));
  }
}
