// The spin buttons laid out and painted: their rectangles in the three
// arrangements with and without the fast buttons, the hot-flat and
// ultra-flat borders that join neighbouring buttons, the arrows (moved
// while pressed, embossed while disabled), the button a key holds, and the
// themed parts with the line between them. The contact sheet
// (SpinEditSheet.png in the build folder) shows every button style in
// every state for a person to look at.
#include <gtest/gtest.h>

#include "ConcretePaint.h"
#include "library/editors/cxSpinEdit.h"
#include "platform/theme/ThemeTestMode.h"

using namespace edit_paint;

namespace {

const TRect kBounds(0, 0, 120, 21);

class SpinPaint : public ::testing::Test, public edit_test::ConcreteSession {
 protected:
  TOwned<TcxSpinEditProperties> properties{New<TcxSpinEditProperties>(nullptr)};
  TOwned<TcxSpinEditViewInfo> info{New<TcxSpinEditViewInfo>()};

  SpinPaint() { properties->SetValueType(vtInt); }

  TOwned<TcxSpinEditViewData> ViewData(TcxCustomEditStyle* AStyle, bool AInplace = false) {
    return TOwned<TcxSpinEditViewData>(New<TcxSpinEditViewData>(properties.get(), AStyle, AInplace));
  }
  void Arrange(TcxSpinEditButtonsPosition APosition, bool AFast) {
    properties->GetSpinButtons()->SetPosition(APosition);
    properties->GetSpinButtons()->SetShowFastButtons(AFast);
  }
  TRect Button(Integer AIndex) const { return info->ButtonInfos.at(AIndex)->Bounds; }
  // Paints one editor of ALook at kBounds (moved by AOrigin) with the mouse
  // on the forward button.
  void Paint(PainterCanvas& ACanvas, const Look& ALook, Mouse AMouse, bool AEnabled = true,
             TcxSpinEditPressedState AKeyHeld = epsNone, TPoint AOrigin = {0, 0}, bool AInplace = false) {
    TOwned<TcxEditStyle> style = MakeStyle(ALook);
    auto viewData = ViewData(style.get(), AInplace);
    viewData->Enabled = AEnabled;
    // A button held by the mouse or a key belongs to the focused editor.
    viewData->Focused = AMouse == Mouse::Down || AKeyHeld != epsNone;
    viewData->PressedState = AKeyHeld;
    if (AInplace) viewData->ContentOffset = TRect(1, 1, 1, 1);
    const TRect bounds = cxRectOffset(kBounds, AOrigin.X, AOrigin.Y);
    viewData->Calculate(ACanvas.get(), kBounds, {-1, -1}, cxmbNone, {}, info.get(), false);
    const TPoint over = Center(Button(sebForward));
    PaintCell(ACanvas.get(), viewData.get(), info.get(), bounds, Variant(Int64(42)),
              TPoint(over.X + AOrigin.X, over.Y + AOrigin.Y), AMouse, !AInplace);
  }
  static TPoint Center(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }
};

TEST_F(SpinPaint, ButtonsStandInEachArrangementWithTheFastButtonsOutside) {
  const Look& hotFlat = kLooks[3];
  TOwned<TcxEditStyle> style = MakeStyle(hotFlat);
  PainterCanvas canvas(200, 40);
  struct Row {
    TcxSpinEditButtonsPosition Position;
    bool Fast;
    std::vector<TRect> Buttons;  // backward, forward, fast backward, fast forward
    Integer TextLeft, TextRight;
  };
  // Inside the 2-pixel border a 17-pixel buttons area: 16-pixel vertical
  // buttons, arrows 3 rows deep, so 9-pixel horizontal and 14-pixel fast
  // buttons.
  const Row rows[] = {
      {sbpVert, false, {{102, 10, 118, 19}, {102, 2, 118, 10}}, 2, 102},
      {sbpVert, true, {{88, 10, 104, 19}, {88, 2, 104, 10}, {74, 2, 88, 19}, {104, 2, 118, 19}}, 2, 74},
      {sbpHorzRight, false, {{100, 2, 109, 19}, {109, 2, 118, 19}}, 2, 100},
      {sbpHorzRight, true, {{86, 2, 95, 19}, {95, 2, 104, 19}, {72, 2, 86, 19}, {104, 2, 118, 19}}, 2, 72},
      {sbpHorzLeftRight, false, {{2, 2, 11, 19}, {109, 2, 118, 19}}, 11, 109},
      {sbpHorzLeftRight, true, {{16, 2, 25, 19}, {95, 2, 104, 19}, {2, 2, 16, 19}, {104, 2, 118, 19}}, 25, 95},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.Position) + (row.Fast ? " fast" : ""));
    Arrange(row.Position, row.Fast);
    auto viewData = ViewData(style.get());
    viewData->Calculate(canvas.get(), kBounds, {-1, -1}, cxmbNone, {}, info.get(), false);
    ASSERT_EQ(info->GetButtonCount(), static_cast<Integer>(row.Buttons.size()));
    for (Integer i = 0; i < info->GetButtonCount(); ++i) EXPECT_EQ(Button(i), row.Buttons[i]) << "button " << i;
    EXPECT_EQ(info->ClientRect.Left, row.TextLeft);
    EXPECT_EQ(info->ClientRect.Right, row.TextRight);
    EXPECT_EQ(info->ArrowSize, 3);
  }
}

TEST_F(SpinPaint, HotFlatButtonsShareTheirInnerEdgesAndAHotButtonInvertsItsArrow) {
  PainterCanvas canvas(130, 30);
  Paint(canvas, kLooks[3], Mouse::Over);
  const TColor shadow = ColorToRGB(clBtnShadow), face = ColorToRGB(clBtnFace);
  // The hot forward button (kind 6): shadow all round, a shadow face and a
  // white arrow. The backward one under it (kind 7): its top row is face,
  // so the two read as one block split by the forward button's bottom row.
  EXPECT_EQ(canvas.At(110, 2), shadow);
  EXPECT_EQ(canvas.At(110, 9), shadow);
  EXPECT_EQ(canvas.At(110, 10), face);
  EXPECT_EQ(canvas.At(102, 15), shadow);
  EXPECT_EQ(canvas.At(117, 15), shadow);
  EXPECT_EQ(canvas.At(110, 18), shadow);
  EXPECT_EQ(canvas.At(105, 4), shadow);
  // Arrows: an up triangle 5 wide and 3 deep in each, white on the hot one.
  EXPECT_EQ(ColorBox(canvas, Button(sebForward), clBtnHighlight), TRect(107, 4, 112, 7));
  EXPECT_EQ(ColorBox(canvas, cxRectInflate(Button(sebBackward), -1, -1), clBtnText), TRect(107, 13, 112, 16));
}

TEST_F(SpinPaint, UltraFlatButtonsStandApartUntilHotThenTheHighlightJoinsTheBorder) {
  PainterCanvas canvas(130, 30);
  Paint(canvas, kLooks[4], Mouse::Away);
  const TColor window = ColorToRGB(clWindow);
  // Normal: a frame of the editor's own colour around a face fill.
  for (TPoint p : {TPoint(102, 5), TPoint(110, 9), TPoint(110, 10), TPoint(117, 15)})
    EXPECT_EQ(canvas.At(p.X, p.Y), window);
  EXPECT_EQ(canvas.At(110, 4), ColorToRGB(clBtnFace));

  Paint(canvas, kLooks[4], Mouse::Over);
  const TColor highlight = ColorToRGB(GetEditBorderHighlightColor(false));
  const TColor fill = ColorToRGB(GetEditButtonHighlightColor(false, false));
  EXPECT_EQ(canvas.At(1, 10), highlight) << "the editor's border lights up";
  EXPECT_EQ(canvas.At(102, 5), highlight) << "the side toward the text";
  EXPECT_EQ(canvas.At(110, 9), highlight) << "the side toward the backward button";
  EXPECT_EQ(canvas.At(110, 2), fill) << "no line where the border runs";
  EXPECT_EQ(canvas.At(117, 5), fill);
  // Pressed: the darker fill, the arrow one pixel right and down.
  Paint(canvas, kLooks[4], Mouse::Down);
  EXPECT_EQ(canvas.At(110, 2), ColorToRGB(GetEditButtonHighlightColor(true, false)));
  EXPECT_EQ(ColorBox(canvas, Button(sebForward), clBtnText), TRect(109, 5, 114, 8));
}

TEST_F(SpinPaint, ADisabledArrowIsEmbossedAndAKeyHeldButtonIsDrawnPressedAndCannotBePressedByTheMouse) {
  PainterCanvas canvas(130, 30);
  Paint(canvas, kLooks[0], Mouse::Away, false);
  // The shadow arrow in place, its highlight copy one pixel down-right.
  EXPECT_EQ(ColorBox(canvas, cxRectInflate(Button(sebForward), -2, -2), clBtnShadow), TRect(107, 4, 112, 7));
  EXPECT_EQ(canvas.At(112, 7), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(canvas.At(111, 6), ColorToRGB(clBtnShadow));

  Paint(canvas, kLooks[0], Mouse::Down, true, epsDown);
  EXPECT_EQ(info->ButtonInfos[sebBackward]->State, ebsPressed);
  EXPECT_EQ(info->ButtonInfos[sebForward]->State, ebsNormal) << "the mouse cannot press it";
  EXPECT_EQ(info->PressedButton, sebBackward);
}

TEST_F(SpinPaint, ThemedButtonsAreTheThemesSpinPartsWithALineBetweenThem) {
  const Look& themed = kLooks[6];
  PainterCanvas canvas(130, 30);
  for (TcxSpinEditButtonsPosition position : {sbpVert, sbpHorzRight, sbpHorzLeftRight}) {
    SCOPED_TRACE(std::to_string(position));
    Arrange(position, true);
    win::test::StartThemeCallLog();
    Paint(canvas, themed, Mouse::Down);
    std::vector<std::string> spin;
    for (const auto& call : win::test::ThemeCalls())
      if (call.Function == "DrawThemeBackground" && call.Class == "Spin")
        spin.push_back(std::to_string(call.Part) + "/" + std::to_string(call.State));
    win::test::StopThemeCallLog();
    // Backward, forward, fast backward, fast forward; the forward one
    // pressed.
    if (position == sbpVert)
      EXPECT_EQ(spin, (std::vector<std::string>{"2/1", "1/3", "4/1", "3/1"}));
    else
      EXPECT_EQ(spin, (std::vector<std::string>{"4/1", "3/3", "4/1", "3/1"}));
    const TPoint* line = info->DelimiterLine;
    if (position == sbpVert) {
      EXPECT_EQ(line[0], TPoint(Button(sebForward).Left, Button(sebForward).Bottom));
      EXPECT_EQ(canvas.At(line[0].X + 3, line[0].Y), ColorToRGB(clWindow));
    } else if (position == sbpHorzRight) {
      EXPECT_EQ(line[0], TPoint(Button(sebBackward).Right, Button(sebBackward).Top));
      EXPECT_EQ(Button(sebForward).Left, Button(sebBackward).Right + 1) << "a column for the line";
      EXPECT_EQ(canvas.At(line[0].X, 10), ColorToRGB(clWindow));
    } else {
      EXPECT_EQ(line[0], line[1]);
    }
  }
}

TEST_F(SpinPaint, ContactSheetOfEveryButtonStyleInEveryState) {
  constexpr Integer kLabel = 112, kCell = 128, kRow = 28, kTop = 24;
  const char* const states[] = {"normal", "hot", "pressed", "disabled"};
  const TcxSpinEditButtonsPosition positions[] = {sbpVert, sbpHorzRight, sbpHorzLeftRight};
  const char* const positionNames[] = {"vertical", "right", "left-right"};
  const Integer rowsCount = static_cast<Integer>(std::size(kLooks)) * 3 + 5;
  PainterCanvas sheet(kLabel + 8 * kCell + 8, kTop + rowsCount * kRow + 8, static_cast<TColor>(0xF0F0F0));
  for (Integer fast = 0; fast < 2; ++fast) {
    Label(sheet.get(), fast ? "with fast buttons" : "two buttons",
          TRect(kLabel + fast * 4 * kCell, 0, kLabel + (fast + 1) * 4 * kCell, 12), cxAlignHCenter);
    for (Integer s = 0; s < 4; ++s)
      Label(sheet.get(), states[s], TRect(kLabel + (fast * 4 + s) * kCell, 11, kLabel + (fast * 4 + s + 1) * kCell, 23),
            cxAlignHCenter);
  }
  Integer row = 0;
  for (const Look& look : kLooks)
    for (Integer p = 0; p < 3; ++p, ++row) {
      const Integer top = kTop + row * kRow;
      Label(sheet.get(), std::string(look.Name) + " " + positionNames[p], TRect(4, top, kLabel, top + 21));
      for (Integer fast = 0; fast < 2; ++fast) {
        Arrange(positions[p], fast == 1);
        for (Integer s = 0; s < 4; ++s) {
          const TPoint origin(kLabel + (fast * 4 + s) * kCell, top);
          const Mouse mouse = s == 1 ? Mouse::Over : s == 2 ? Mouse::Down : Mouse::Away;
          Paint(sheet, look, mouse, s != 3, epsNone, origin);
        }
      }
    }
  // In place, as grid cells between grid lines: the look-and-feel kinds
  // and the theme.
  for (const Look& look : {kLooks[0], kLooks[1], kLooks[4], kLooks[5], kLooks[6]}) {
    const Integer top = kTop + row++ * kRow;
    const Look cell{look.Name, look.Kind, look.Native, ebsNone, btsDefault};
    Label(sheet.get(), std::string("in place, ") + look.Name, TRect(4, top, kLabel, top + 21));
    for (Integer fast = 0; fast < 2; ++fast) {
      Arrange(sbpVert, fast == 1);
      for (Integer s = 0; s < 4; ++s) {
        const TPoint origin(kLabel + (fast * 4 + s) * kCell, top);
        sheet->FrameRect(TRect(origin.X - 1, origin.Y - 1, origin.X + 121, origin.Y + 22), clBtnShadow);
        const Mouse mouse = s == 1 ? Mouse::Over : s == 2 ? Mouse::Down : Mouse::Away;
        Paint(sheet, cell, mouse, s != 3, epsNone, origin, true);
      }
    }
  }
  EXPECT_TRUE(win::SaveBitmapPng(sheet.Bitmap()->GetHandle(), "SpinEditSheet.png"));
}

}  // namespace
