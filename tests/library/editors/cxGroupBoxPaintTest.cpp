// The group box painted pixel by pixel: its caption at each of the
// thirteen places, with and without a shadow, never drawn into the frame
// line and turned for the side places; the frame of every look (the
// theme's group-box part for the native one), disabled, and without a
// caption; the outline face a turned caption falls back to; the children
// kept off the caption. The contact sheet (GroupBoxSheet.png in the build
// folder) shows every place in every look.
#include <gtest/gtest.h>

#include "ConcretePaint.h"
#include "library/editors/cxGroupBox.h"
#include "platform/controls/Edit.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/theme/ThemeTestMode.h"

using namespace edit_paint;

namespace {

constexpr TColor kCaptionColor = 0x0000B4;
constexpr TColor kFrameColor = 0xB40000;
const char* const kPlaces[] = {"top left",    "top centre",   "top right",    "bottom left", "bottom centre",
                               "bottom right", "left top",     "left centre",  "left bottom", "right top",
                               "right centre", "right bottom", "centre centre"};

class GroupBoxPaint : public edit_test::ConcreteEditorTest {
 protected:
  TcxGroupBox* MakeBox(TcxLookAndFeelKind AKind, bool ANative, const AnsiString& ACaption = "Box",
                       TRect ABounds = {10, 10, 170, 110}) {
    auto* box = Make<TcxGroupBox>(ABounds);
    box->SetCaption(ACaption);
    box->GetStyle()->GetLookAndFeel()->SetKind(AKind);
    box->GetStyle()->GetLookAndFeel()->SetNativeStyle(ANative);
    return box;
  }
  // The box with a single frame and a caption in colours nothing else uses.
  TcxGroupBox* MakeMarkedBox() {
    TcxGroupBox* box = MakeBox(lfStandard, false);
    box->GetStyle()->SetBorderStyle(cbsSingle);
    box->GetStyle()->SetBorderColor(kFrameColor);
    box->GetStyle()->SetTextColor(kCaptionColor);
    return box;
  }
  static Integer LineHeight(TcxGroupBox* ABox) { return cxScreenCanvas()->FontHeight(ABox->GetCaptionFont()); }
  static TcxGroupBoxViewInfo* Info(TcxGroupBox* ABox) { return static_cast<TcxGroupBoxViewInfo*>(ABox->GetViewInfo()); }
};

TEST_F(GroupBoxPaint, TheCaptionSitsAtEachOfTheThirteenPlacesAndNeverInTheFrameLine) {
  MonochromeText mono;
  TcxGroupBox* box = MakeMarkedBox();
  Show();
  const Integer width = box->GetWidth(), height = box->GetHeight();
  for (Integer shadow = 0; shadow < 2; ++shadow)
    for (Integer a = alTopLeft; a <= alCenterCenter; ++a) {
      const auto alignment = static_cast<TcxCaptionAlignment>(a);
      SCOPED_TRACE(std::string(kPlaces[a]) + (shadow ? ", shadow" : ""));
      box->GetStyle()->SetShadow(shadow == 1);
      box->SetAlignment(alignment);
      Pump();
      PainterCanvas canvas(width + 4, height + 4);
      PaintControlInto(box, canvas.get(), TPoint(2, 2));
      const TRect caption = cxRectOffset(Info(box)->CaptionRect, 2, 2);
      const TRect text = ColorBox(canvas, TRect(0, 0, width + 4, height + 4), kCaptionColor);
      ASSERT_FALSE(cxRectIsEmpty(text));
      // The caption's pixels inside its rectangle, none of the frame's.
      EXPECT_TRUE(cxRectContain(caption, text)) << text.Left << "," << text.Top << " " << text.Right << ","
                                                << text.Bottom;
      EXPECT_TRUE(cxRectIsEmpty(ColorBox(canvas, caption, kFrameColor)));
      // Turned text is taller than wide.
      const bool vertical = IsVerticalCaption(alignment);
      EXPECT_EQ(text.Bottom - text.Top > text.Right - text.Left, vertical);
      // The caption keeps to its side and its place there.
      const Integer s = box->GetStyle()->GetShadow() && !IsBottomCaption(alignment) && !IsRightCaption(alignment)
                            ? cxContainerShadowWidth
                            : 0;
      const TRect r = Info(box)->CaptionRect;
      switch (alignment) {
        case alTopLeft: EXPECT_EQ(r.TopLeft(), TPoint(8, 0)); break;
        case alTopRight: EXPECT_EQ(r.Right, width - 8 - s); break;
        case alTopCenter: EXPECT_LE(std::abs(r.Left + r.Right - (width - s)), 1); break;
        case alBottomLeft: EXPECT_EQ(r.BottomRight().Y, height - 2); break;
        case alLeftTop: EXPECT_EQ(r.TopLeft(), TPoint(-1, 8)); break;
        case alLeftBottom: EXPECT_EQ(r.Bottom, height - s - 8); break;
        case alRightTop: EXPECT_EQ(r.Right, width + 1); break;
        case alRightBottom: EXPECT_EQ(r.Bottom, height - 8); break;
        case alCenterCenter:
          EXPECT_LE(std::abs(r.Top + r.Bottom - (height - s)), 1);
          EXPECT_LE(std::abs(r.Left + r.Right - (width - s)), 1);
          break;
        default: break;
      }
      // The frame runs through the caption's middle on its side; the other
      // sides keep a pixel of the transparent border outside the frame.
      const Integer half = LineHeight(box) / 2;
      TPoint onFrame;
      if (IsTopCaption(alignment)) onFrame = TPoint(width / 2 + (r.Right < width / 2 ? 20 : -40), half);
      if (IsBottomCaption(alignment)) onFrame = TPoint(4, height - half - 1);
      if (IsLeftCaption(alignment)) onFrame = TPoint(half - 1, 4);
      if (IsRightCaption(alignment)) onFrame = TPoint(width - half, height - 4 - s);
      if (alignment == alCenterCenter) onFrame = TPoint(4, 1);
      EXPECT_EQ(canvas.At(onFrame.X + 2, onFrame.Y + 2), kFrameColor) << onFrame.X << "," << onFrame.Y;
    }
  // No caption: an empty caption rectangle and a frame without a gap.
  box->SetCaption("");
  box->SetAlignment(alTopLeft);
  box->GetStyle()->SetShadow(false);
  Pump();
  EXPECT_TRUE(cxRectIsEmpty(Info(box)->CaptionRect));
  PainterCanvas canvas(width, height);
  PaintControlInto(box, canvas.get(), TPoint());
  const Integer frameRow = LineHeight(box) / 2;
  for (Integer x = 1; x < width - 1; ++x) ASSERT_EQ(canvas.At(x, frameRow), kFrameColor) << x;
}

TEST_F(GroupBoxPaint, EveryLookDrawsItsFrameAndTheThemeDrawsTheNativeOne) {
  struct Row {
    TcxLookAndFeelKind Kind;
    bool Enabled;
    Integer X;            // the frame's left column: the one-pixel frames keep
                          // a pixel of transparent border outside
    TColor Outer, Inner;  // its colour and the colour of the column inside
  };
  const Row rows[] = {
      {lfStandard, true, 0, clBtnShadow, clBtnHighlight},
      {lfFlat, true, 0, clBtnShadow, clBtnHighlight},
      {lfUltraFlat, true, 1, GetEditBorderHighlightColor(false), clBtnFace},
      {lfOffice11, true, 1, GetEditBorderHighlightColor(true), clBtnFace},
      {lfUltraFlat, false, 1, clBtnShadow, clBtnFace},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.Kind) + (row.Enabled ? "" : " disabled"));
    TcxGroupBox* box = MakeBox(row.Kind, false);
    box->SetEnabled(row.Enabled);
    Show();
    PainterCanvas canvas(box->GetWidth(), box->GetHeight());
    PaintControlInto(box, canvas.get(), TPoint());
    EXPECT_EQ(canvas.At(row.X, 60), ColorToRGB(row.Outer));
    EXPECT_EQ(canvas.At(row.X + 1, 60), ColorToRGB(row.Inner));
    box->Free();
  }
  // Natively: the theme's group box below half a caption line, the caption
  // kept out, in the theme's text colour of its state.
  win::test::StartThemeCallLog();
  TcxGroupBox* box = MakeBox(lfStandard, true);
  box->SetEnabled(false);
  Show();
  PainterCanvas canvas(box->GetWidth(), box->GetHeight());
  PaintControlInto(box, canvas.get(), TPoint());
  std::vector<std::string> calls;
  for (const auto& call : win::test::ThemeCalls())
    if (call.Class == "Button" && call.Part == 4) calls.push_back(call.Function + " " + std::to_string(call.State));
  const auto& all = win::test::ThemeCalls();
  const auto frame = std::find_if(all.begin(), all.end(), [](const auto& c) {
    return c.Function == "DrawThemeBackground" && c.Part == 4;
  });
  ASSERT_NE(frame, all.end());
  EXPECT_EQ(frame->Rect.Top, LineHeight(box) / 2);
  win::test::StopThemeCallLog();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "DrawThemeBackground 2"), calls.end());
  EXPECT_NE(std::find(calls.begin(), calls.end(), "GetThemeColor 2"), calls.end());
}

bool MetricsWithoutOutlines(win::HDC ADC, win::TEXTMETRICA& AMetrics) {
  win::GetTextMetricsA(ADC, &AMetrics);
  AMetrics.tmPitchAndFamily &= static_cast<win::BYTE>(~win::TMPF_TRUETYPE);
  return true;
}

TEST_F(GroupBoxPaint, ASideCaptionTurnsTheFontAndABitmapFaceGivesWayToAnOutlineOne) {
  TcxGroupBox* box = MakeBox(lfUltraFlat, false);
  box->GetStyle()->GetFont()->SetName("MS Sans Serif");
  auto escapement = [box] {
    win::LOGFONTA log{};
    win::GetObjectA(box->GetCaptionFont()->GetHandle(), sizeof log, &log);
    return std::to_string(log.lfEscapement) + "/" + std::to_string(log.lfOutPrecision);
  };
  box->SetAlignment(alLeftCenter);
  EXPECT_EQ(escapement(), "900/7");
  EXPECT_EQ(box->GetCaptionFont()->GetName(), "MS Sans Serif") << "every face of the font layer has outlines";
  box->SetAlignment(alRightTop);
  EXPECT_EQ(escapement(), "2700/7");
  SetGroupBoxTextMetricsReader(&MetricsWithoutOutlines);
  box->CalculateCaptionFont();
  SetGroupBoxTextMetricsReader(nullptr);
  EXPECT_EQ(box->GetCaptionFont()->GetName(), "Arial");
  EXPECT_EQ(escapement(), "2700/7");
  // Turned captions show no accelerator marks; level ones keep them.
  box->SetCaption("&Sides");
  EXPECT_EQ(box->GetVisibleCaption(), "Sides");
  box->SetAlignment(alBottomRight);
  EXPECT_EQ(box->GetVisibleCaption(), "&Sides");
  EXPECT_EQ(escapement().substr(0, 2), "0/");
}

TEST_F(GroupBoxPaint, ChildrenStayInsideTheFrameAndOffTheCaption) {
  TcxGroupBox* box = MakeBox(lfUltraFlat, false);
  auto* child = New<TEdit>(form);
  child->SetParent(box);
  child->SetAlign(alClient);
  Show();
  const Integer q = LineHeight(box);
  const Integer w = box->GetWidth(), h = box->GetHeight();
  EXPECT_EQ(child->GetBoundsRect(), TRect(2, q + 3, w - 2, h - 2));
  box->SetAlignment(alRightCenter);
  EXPECT_EQ(child->GetBoundsRect(), TRect(2, 2, w - q - 3, h - 2));
  box->SetAlignment(alCenterCenter);
  EXPECT_EQ(child->GetBoundsRect(), TRect(2, 2, w - 2, h - 2));
}

TEST_F(GroupBoxPaint, ContactSheetOfEveryPlaceInEveryLook) {
  constexpr Integer kLabel = 96, kCellW = 150, kCellH = 96;
  struct Look {
    const char* Name;
    TcxLookAndFeelKind Kind;
    bool Native, Enabled, Shadow, Caption;
  };
  const Look looks[] = {
      {"standard", lfStandard, false, true, false, true}, {"flat", lfFlat, false, true, false, true},
      {"ultra-flat", lfUltraFlat, false, true, false, true}, {"Office-11", lfOffice11, false, true, false, true},
      {"themed", lfStandard, true, true, false, true},     {"shadow", lfUltraFlat, false, true, true, true},
      {"disabled", lfStandard, false, false, false, true}, {"themed, disabled", lfStandard, true, false, false, true},
      {"no caption", lfStandard, false, true, false, false},
  };
  const Integer columns = alCenterCenter + 1;
  PainterCanvas sheet(kLabel + columns * kCellW + 8, 16 + static_cast<Integer>(std::size(looks)) * kCellH + 8,
                      static_cast<TColor>(0xF0F0F0));
  for (Integer a = 0; a < columns; ++a)
    Label(sheet.get(), kPlaces[a], TRect(kLabel + a * kCellW, 0, kLabel + (a + 1) * kCellW, 14), cxAlignHCenter);
  Show();
  Integer row = 0;
  for (const Look& look : looks) {
    const Integer top = 16 + row++ * kCellH;
    Label(sheet.get(), look.Name, TRect(4, top, kLabel, top + 20));
    TcxGroupBox* box = MakeBox(look.Kind, look.Native, look.Caption ? "&Options" : "", {10, 10, 150, 96});
    box->SetEnabled(look.Enabled);
    box->GetStyle()->SetShadow(look.Shadow);
    for (Integer a = 0; a < columns; ++a) {
      box->SetAlignment(static_cast<TcxCaptionAlignment>(a));
      Pump();
      PaintControlInto(box, sheet.get(), TPoint(kLabel + a * kCellW + 5, top + 4));
    }
    box->Free();
  }
  EXPECT_TRUE(win::SaveBitmapPng(sheet.Bitmap()->GetHandle(), "GroupBoxSheet.png"));
}

}  // namespace
