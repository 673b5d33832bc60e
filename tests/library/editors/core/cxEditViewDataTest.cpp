// Edit view data: where the border, the buttons and the client area go in
// a cell and in a stand-alone editor, which buttons show, how the room
// left is shared when buttons stretch, the state of each button under the
// mouse, the colours of the modern borders, the button style each border
// and look and feel implies, and the size an editor needs.
#include <climits>

#include "EditViewSession.h"
#include "library/foundation/cxWindowHelpers.h"
#include "library/foundation/dxThemeManager.h"
#include "library/foundation/dxUxTheme.h"
#include "platform/theme/ThemeTestMode.h"

namespace {

class cxEditViewData : public EditViewSession {};

}  // namespace

TEST_F(cxEditViewData, WithoutVisibleButtonsTheClientAreaIsTheBoundsLessTheBorder) {
  AddButton(20)->SetVisible(false);
  auto cell = MakeViewData(true);
  cell->ContentOffset = TRect(2, 1, 3, 4);
  Calculate(cell.get(), {10, 10, 110, 30});
  EXPECT_EQ(info->GetButtonCount(), 0);
  EXPECT_EQ(info->ClientRect, TRect(12, 11, 107, 26));
  EXPECT_EQ(info->BorderRect, info->ClientRect);

  // Alone, a single border on the left and bottom only.
  style->SetEditBorderStyle(ebsSingle);
  style->SetTransparentBorder(false);
  style->SetEdges({bLeft, bBottom});
  auto edit = MakeViewData(false);
  Calculate(edit.get(), {0, 0, 50, 20});
  EXPECT_EQ(info->ClientRect, TRect(1, 0, 50, 19));
  EXPECT_EQ(info->BorderStyle, ebsSingle);
}

TEST_F(cxEditViewData, HiddenWhileInactiveButtonsShowOnFocusOrWhileHot) {
  AddButton(20);
  AddButton(20);
  auto cell = MakeViewData(true);
  const TRect bounds(0, 0, 100, 20);

  style->SetButtonTransparency(ebtHideInactive);
  Calculate(cell.get(), bounds, {50, 10});
  EXPECT_EQ(info->GetButtonCount(), 0) << "hot but not focused";
  EXPECT_EQ(info->ClientRect, bounds);
  cell->Focused = true;
  Calculate(cell.get(), bounds);
  EXPECT_EQ(info->GetButtonCount(), 2);
  EXPECT_EQ(info->ClientRect, TRect(0, 0, 60, 20));

  cell->Focused = false;
  style->SetButtonTransparency(ebtHideUnselected);
  Calculate(cell.get(), bounds, {-1, -1});
  EXPECT_EQ(info->GetButtonCount(), 0);
  Calculate(cell.get(), bounds, {5, 5});
  EXPECT_EQ(info->GetButtonCount(), 2) << "shown while the mouse is over the cell";
}

TEST_F(cxEditViewData, AButtonWiderThanTheRoomLeftIsCutAndTheButtonsAfterItGetNone) {
  AddButton(25);                // outermost is the last one: it is laid out first
  AddButton(25);
  AddButton(25);
  auto cell = MakeViewData(true);
  Calculate(cell.get(), {0, 0, 30, 20});
  ASSERT_EQ(info->GetButtonCount(), 3);
  EXPECT_EQ(ButtonBounds(2), TRect(5, 0, 30, 20));
  EXPECT_EQ(ButtonBounds(1), TRect(-20, 0, 5, 20)) << "keeps its full width";
  EXPECT_EQ(VisibleBounds(1), TRect(0, 0, 5, 20)) << "shows only what fits";
  EXPECT_TRUE(cxRectIsEmpty(VisibleBounds(0)));
  EXPECT_TRUE(cxRectIsEmpty(ButtonBounds(0)));
  EXPECT_TRUE(cxRectIsEmpty(info->ClientRect));
  EXPECT_GE(info->ClientRect.Left, 0) << "the client area never reaches out of the cell";
}

// Buttons as wide as Integer allows, on both sides, in a cell at the
// origin or away from it: the outer one shows in the whole cell, the
// other gets nothing, and measuring the editor gives a size.
TEST_F(cxEditViewData, ButtonsAsWideAsIntegerAllowsAreCutToTheCellWhereverItLies) {
  AddButton(INT_MAX, true);
  AddButton(INT_MAX);
  auto cell = MakeViewData(true);
  for (const TRect bounds : {TRect(0, 0, 30, 20), TRect(-100, -40, -70, -20)}) {
    Calculate(cell.get(), bounds);
    ASSERT_EQ(info->GetButtonCount(), 2);
    EXPECT_EQ(VisibleBounds(1), bounds);
    EXPECT_TRUE(cxRectIsEmpty(VisibleBounds(0)));
    EXPECT_TRUE(cxRectIsEmpty(info->ClientRect));
  }
  EXPECT_GT(cell->GetEditSize(canvas.get(), Variant(AnsiString("x")), TcxEditSizeProperties{}).cx, 0);
}

TEST_F(cxEditViewData, StretchedButtonsShareTheRoomLeftButMeasuringNeverStretches) {
  AddButton(10, true);
  AddButton(10);
  AddButton(30);
  properties->SetButtonsViewStyle(bvsButtonsAutoWidth);
  auto cell = MakeViewData(true);

  // 50 of 100 pixels are left; they go 30 : 10 : 10 by width, from the
  // outermost right button in, the left button taking the rest and
  // growing to the right.
  Calculate(cell.get(), {0, 0, 100, 20});
  ASSERT_EQ(info->GetButtonCount(), 3);
  EXPECT_EQ(ButtonBounds(2), TRect(40, 0, 100, 20));
  EXPECT_EQ(ButtonBounds(1), TRect(20, 0, 40, 20));
  EXPECT_EQ(ButtonBounds(0), TRect(0, 0, 20, 20));
  for (Integer i = 0; i < 3; ++i) EXPECT_EQ(VisibleBounds(i), ButtonBounds(i)) << i;
  EXPECT_TRUE(cxRectIsEmpty(info->ClientRect));

  // Measuring lays out on an endless width: the buttons keep their widths.
  Calculate(cell.get(), {0, 0, INT_MAX, 20});
  EXPECT_EQ(ButtonBounds(2), TRect(INT_MAX - 30, 0, INT_MAX, 20));
  EXPECT_EQ(ButtonBounds(1), TRect(INT_MAX - 40, 0, INT_MAX - 30, 20));
  EXPECT_EQ(ButtonBounds(0), TRect(0, 0, 10, 20));
}

namespace {

// A kind whose buttons take no width of their own (a drawn-on-demand
// strip, say): stretching must still share the room.
class TZeroWidthViewData : public TcxCustomEditViewData {
  ORV_CLASS(TZeroWidthViewData, TcxCustomEditViewData)
 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  void CalculateButtonBounds(TcxCanvas*, TcxCustomEditViewInfo* AViewInfo, Integer AIndex, TRect& R) override {
    AViewInfo->ButtonInfos[AIndex]->Bounds = AViewInfo->ButtonInfos[AIndex]->VisibleBounds =
        TRect(R.Right, R.Top, R.Right, R.Bottom);
  }
};

}  // namespace

ORV_REGISTER(TZeroWidthViewData)

TEST_F(cxEditViewData, ButtonsOfNoWidthShareTheRoomEquallyTheLastTakingTheRest) {
  for (int i = 0; i < 3; ++i) AddButton(0);
  properties->SetButtonsViewStyle(bvsButtonsOnly);
  TOwned<TZeroWidthViewData> cell(New<TZeroWidthViewData>(properties.get(), style.get(), true));
  Calculate(cell.get(), {0, 0, 100, 20});
  ASSERT_EQ(info->GetButtonCount(), 3);
  EXPECT_EQ(ButtonBounds(2), TRect(67, 0, 100, 20));
  EXPECT_EQ(ButtonBounds(1), TRect(34, 0, 67, 20));
  EXPECT_EQ(ButtonBounds(0), TRect(0, 0, 34, 20));
}

TEST_F(cxEditViewData, EditSizeIsTheConstantPartPlusContentUnlessTheWidthIsTooSmall) {
  AddButton(20);
  auto cell = MakeViewData(true);
  cell->ContentOffset = TRect(1, 1, 1, 1);
  TSize minContent;
  const TSize constant = cell->GetEditConstantPartSize(canvas.get(), {}, minContent);
  EXPECT_EQ(constant, (TSize{22, 2}));

  TcxEditSizeProperties size;
  size.Width = 10;
  EXPECT_EQ(cell->GetEditSize(canvas.get(), Variant(), size).cx, 10);
  size.Width = 100;
  EXPECT_EQ(cell->GetEditSize(canvas.get(), Variant(), size).cx, 22);

  // Buttons only: the content is one line of text high.
  properties->SetButtonsViewStyle(bvsButtonsOnly);
  canvas->SetFont(style->GetVisibleFont());
  const Integer line = canvas->TextHeight("Zg");
  EXPECT_EQ(cell->GetEditSize(canvas.get(), Variant(), size).cy, 2 + line + 2);
}

namespace {

// A kind that holds its button down by itself (a spin button under auto
// repeat, say).
class TPressingViewData : public TcxCustomEditViewData {
  ORV_CLASS(TPressingViewData, TcxCustomEditViewData)
 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  bool Pressed = false;

 protected:
  bool IsButtonPressed(TcxCustomEditViewInfo*, Integer) override { return Pressed; }
};

}  // namespace

ORV_REGISTER(TPressingViewData)

TEST_F(cxEditViewData, ButtonStatesFollowTheMouseTheCaptureAndThePreviousState) {
  AddButton(20);
  auto* form = TCustomForm::CreateNew<TForm>(Application);
  auto* edit = New<TTestViewEdit>(form);
  edit->SetBounds(0, 0, 100, 20);
  TOwned<TPressingViewData> data(New<TPressingViewData>(properties.get(), style.get(), false));
  data->Edit = edit;
  const TPoint on(90, 10), off(40, 10);

  struct Row {
    const char* Story;
    TcxEditButtonState Previous;
    Integer PreviousPressed;
    bool MouseEvent;
    TPoint P;
    TcxMouseButton Button;
    TShiftState Shift;
    Integer Capture;
    bool Enabled, Designing, KindPressed;
    TcxEditButtonState State;
    Integer Pressed, Hot;
    bool ReallyPressed;
  };
  const Row rows[] = {
      {"hovered", ebsNormal, -1, false, on, cxmbNone, {}, -1, true, false, false, ebsSelected, -1, 0, false},
      {"mouse elsewhere", ebsSelected, -1, false, off, cxmbNone, {}, -1, true, false, false, ebsNormal, -1, -1, false},
      {"left down", ebsSelected, -1, true, on, cxmbLeft, {ssLeft}, -1, true, false, false, ebsPressed, 0, -1, true},
      {"double click", ebsSelected, -1, true, on, cxmbLeft, {ssLeft, ssDouble}, -1, true, false, false, ebsPressed,
       0, -1, true},
      {"left down with Shift", ebsSelected, -1, true, on, cxmbLeft, {ssLeft, ssShift}, -1, true, false, false,
       ebsPressed, 0, -1, true},
      {"held", ebsPressed, 0, false, on, cxmbNone, {ssLeft}, -1, true, false, false, ebsPressed, 0, -1, true},
      {"dragged back on", ebsNormal, 0, true, on, cxmbNone, {ssLeft}, -1, true, false, false, ebsPressed, 0, -1,
       false},
      {"dragged on, not its press", ebsNormal, -1, true, on, cxmbNone, {ssLeft}, -1, true, false, false, ebsNormal,
       -1, -1, false},
      {"capture press", ebsNormal, -1, false, on, cxmbNone, {ssLeft}, 0, true, false, false, ebsPressed, 0, -1,
       true},
      {"right button", ebsSelected, -1, true, on, cxmbRight, {ssRight}, -1, true, false, false, ebsNormal, -1, -1,
       false},
      {"pressed by the kind", ebsNormal, -1, false, off, cxmbNone, {}, -1, true, false, true, ebsPressed, 0, -1,
       true},
      {"designing", ebsNormal, -1, false, on, cxmbNone, {}, -1, true, true, false, ebsNormal, -1, -1, false},
      {"disabled", ebsSelected, 0, true, on, cxmbLeft, {ssLeft}, -1, false, false, false, ebsDisabled, -1, -1,
       false},
  };
  for (const Row& row : rows) {
    info->SetButtonCount(1);
    info->ButtonInfos[0]->State = row.Previous;
    info->PressedButton = row.PreviousPressed;
    edit->CaptureButton = row.Capture;
    data->Enabled = row.Enabled;
    data->IsDesigning = row.Designing;
    data->Pressed = row.KindPressed;
    Calculate(data.get(), {0, 0, 100, 20}, row.P, row.Button, row.Shift, row.MouseEvent);
    ASSERT_EQ(info->GetButtonCount(), 1) << row.Story;
    EXPECT_EQ(info->ButtonInfos[0]->State, row.State) << row.Story;
    EXPECT_EQ(info->PressedButton, row.Pressed) << row.Story;
    EXPECT_EQ(info->HotButton, row.Hot) << row.Story;
    EXPECT_EQ(info->IsButtonReallyPressed, row.ReallyPressed) << row.Story;
  }
  data.reset();
  form->Free();
}

TEST_F(cxEditViewData, UltraFlatBordersLightUpWhenFocusedOrHotWithHotTrack) {
  style->SetEditBorderStyle(ebsUltraFlat);
  style->SetBorderColor(clRed);
  auto edit = MakeViewData(false);
  const TRect bounds(0, 0, 100, 20);

  Calculate(edit.get(), bounds);
  EXPECT_EQ(info->BorderColor, clBtnShadow);
  EXPECT_EQ(info->BorderStyle, ebsSingle) << "drawn as a single frame";
  edit->Focused = true;
  Calculate(edit.get(), bounds);
  EXPECT_EQ(info->BorderColor, clHighlight);
  edit->Focused = false;
  Calculate(edit.get(), bounds, {50, 10});
  EXPECT_EQ(info->BorderColor, clHighlight) << "hot";
  style->SetHotTrack(false);
  Calculate(edit.get(), bounds, {50, 10});
  EXPECT_EQ(info->BorderColor, clBtnShadow) << "hot without hot tracking";

  style->SetEditBorderStyle(ebsOffice11);
  edit->Focused = true;
  Calculate(edit.get(), bounds);
  EXPECT_EQ(info->BorderColor, dxOffice11SelectedBorderColor);
  style->SetEditBorderStyle(ebsSingle);
  Calculate(edit.get(), bounds);
  EXPECT_EQ(info->BorderColor, clRed) << "other borders take the style's colour";
}

TEST_F(cxEditViewData, TheDefaultButtonStyleFollowsTheBorderAloneAndTheLookAndFeelInPlace) {
  auto edit = MakeViewData(false);
  const std::pair<TcxEditBorderStyle, TcxEditButtonStyle> byBorder[] = {
      {ebsNone, btsSimple}, {ebsSingle, btsHotFlat},       {ebsThick, bts3D},          {ebsFlat, btsFlat},
      {ebs3D, bts3D},       {ebsUltraFlat, btsUltraFlat}, {ebsOffice11, btsOffice11},
  };
  for (auto [border, buttons] : byBorder) {
    style->SetEditBorderStyle(border);
    EXPECT_EQ(edit->GetButtonsStyle(), buttons) << border;
  }
  auto cell = MakeViewData(true);
  const std::pair<TcxLookAndFeelKind, TcxEditButtonStyle> byKind[] = {
      {lfFlat, btsFlat}, {lfStandard, bts3D}, {lfUltraFlat, btsUltraFlat}, {lfOffice11, btsOffice11}};
  for (auto [kind, buttons] : byKind) {
    style->GetLookAndFeel()->SetKind(kind);
    EXPECT_EQ(cell->GetButtonsStyle(), buttons) << kind;
  }
  style->SetButtonStyle(btsSimple);
  EXPECT_EQ(cell->GetButtonsStyle(), btsSimple);
  EXPECT_EQ(edit->GetButtonsStyle(), btsSimple);
}

TEST_F(cxEditViewData, CalculatingAwayFromTheOriginGivesTheSameLayoutMoved) {
  AddButton(15, true);
  AddButton(20);
  style->SetEditBorderStyle(ebs3D);
  style->SetTransparentBorder(false);
  auto edit = MakeViewData(false);
  const TRect at(100, 20, 180, 42);

  Calculate(edit.get(), at, {170, 30});
  TOwned<TcxCustomEditViewInfo> placed(New<TcxCustomEditViewInfo>());
  placed->SetButtonCount(2);
  for (Integer i = 0; i < 2; ++i) *static_cast<TcxEditButtonPaintInfo*>(placed->ButtonInfos[i]) = *info->ButtonInfos[i];
  placed->Bounds = info->Bounds;
  placed->BorderRect = info->BorderRect;
  placed->ClientRect = info->ClientRect;

  edit->CalculateEx(canvas.get(), at, {170, 30}, cxmbNone, {}, info.get(), false);
  EXPECT_EQ(info->Left, 100);
  EXPECT_EQ(info->Top, 20);
  EXPECT_EQ(info->Bounds, TRect(0, 0, 80, 22));
  EXPECT_EQ(info->ButtonInfos[1]->State, ebsSelected) << "the mouse moves with the bounds";
  info->Offset(info->Left, info->Top);
  EXPECT_EQ(info->Bounds, placed->Bounds);
  EXPECT_EQ(info->BorderRect, placed->BorderRect);
  EXPECT_EQ(info->ClientRect, placed->ClientRect);
  for (Integer i = 0; i < 2; ++i) {
    EXPECT_EQ(info->ButtonInfos[i]->Bounds, placed->ButtonInfos[i]->Bounds) << i;
    EXPECT_EQ(info->ButtonInfos[i]->VisibleBounds, placed->ButtonInfos[i]->VisibleBounds) << i;
    EXPECT_EQ(info->ButtonInfos[i]->State, placed->ButtonInfos[i]->State) << i;
  }
}

TEST_F(cxEditViewData, ANativeEditorTakesItsStateAndButtonRoomFromTheEditTheme) {
  if (!AreVisualStylesAvailable(totEdit)) GTEST_SKIP() << "no theme";
  AddButton(20);
  style->SetEditBorderStyle(ebsSingle);
  style->SetTransparentBorder(false);
  style->GetLookAndFeel()->SetNativeStyle(true);
  auto edit = MakeViewData(false);
  ASSERT_TRUE(edit->IsNativeStyle());
  const TRect bounds(0, 0, 100, 22);

  TRect content(0, 0, 100, 100);
  TdxTheme theme = OpenTheme(totEdit);
  ::GetThemeBackgroundContentRect(theme, canvas->GetHandle(), 1, 1, TRect(0, 0, 100, 100), content);
  win::test::StartThemeCallLog();
  Calculate(edit.get(), bounds);
  const std::string log = win::test::ThemeCallLog();
  win::test::StopThemeCallLog();
  EXPECT_TRUE(info->IsNative);
  EXPECT_EQ(info->NativeState, 1);
  EXPECT_EQ(info->BorderExtent, cxContainerDefaultBorderExtent);
  EXPECT_EQ(ButtonBounds(0), TRect(80 - (100 - content.Right), content.Top, 100 - (100 - content.Right),
                                   22 - (100 - content.Bottom)))
      << log;

  struct Step {
    const char* Story;
    bool Focused, ReadOnly, Enabled;
    TPoint P;
    Integer State;
  };
  const Step steps[] = {{"hot", false, false, true, {40, 10}, 2},
                        {"focused", true, false, true, {40, 10}, 5},
                        {"read-only", true, true, true, {-1, -1}, 6},
                        {"disabled", true, true, false, {-1, -1}, 4}};
  for (const Step& step : steps) {
    edit->Focused = step.Focused;
    properties->SetReadOnly(step.ReadOnly);
    edit->Enabled = step.Enabled;
    Calculate(edit.get(), bounds, step.P);
    EXPECT_EQ(info->NativeState, step.State) << step.Story;
  }
  // Disabled without a colour of its own, the editor takes the theme's.
  COLORREF fill = 0;
  ::GetThemeColor(theme, 1, 4, 3802, &fill);
  EXPECT_EQ(ColorToRGB(info->BackgroundColor), static_cast<TColor>(fill));
  style->SetColor(clYellow);
  Calculate(edit.get(), bounds);
  EXPECT_EQ(info->BackgroundColor, clYellow);
}
