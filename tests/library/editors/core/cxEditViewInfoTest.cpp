// Edit view info: a button cut by the cell's edge is drawn only where it
// shows and leaves the clip region as it found it, buttons are not drawn on
// a button's own device context, a cell painted away from the origin looks
// as it does at the origin, the window is invalidated only where the look
// changed, and moving and copying a view info carry every rectangle.
#include <cstdio>
#include <string>

#include "EditViewSession.h"
#include "library/foundation/dxOffice11.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Recorder.h"
#include "platform/win/Paint.h"
#include "platform/win/TestHooks.h"

namespace {

class cxEditViewInfo : public EditViewSession {
 protected:
  // Every clip box the recorded drawing calls were made with.
  static std::vector<TRect> ClipBoxes(const std::string& ALog) {
    std::vector<TRect> boxes;
    for (std::size_t at = ALog.find(" clip="); at != std::string::npos; at = ALog.find(" clip=", at + 1)) {
      TRect box;
      if (std::sscanf(ALog.c_str() + at, " clip=%d,%d,%d,%d", &box.Left, &box.Top, &box.Right, &box.Bottom) == 4)
        boxes.push_back(box);
    }
    return boxes;
  }
  // The window's invalid region, emptied for the next step.
  static TOwned<TcxRegion> TakeUpdateRegion(TWinControl* AControl) {
    TOwned<TcxRegion> region(New<TcxRegion>());
    win::GetUpdateRgn(AControl->GetHandle(), region->GetHandle(), win::FALSE);
    win::ValidateRect(AControl->GetHandle(), nullptr);
    return region;
  }
};

}  // namespace

TEST_F(cxEditViewInfo, AButtonHalfOutsideIsDrawnOnlyWhereItShowsAndTheClipComesBack) {
  AddButton(25);
  AddButton(25);
  auto cell = MakeViewData(true);
  Calculate(cell.get(), {0, 0, 30, 20});
  ASSERT_EQ(VisibleBounds(0), TRect(0, 0, 5, 20));

  const win::HDC dc = canvas->GetHandle();
  win::GdiStartRecording(dc);
  info->DrawButton(canvas.get(), 0);
  const std::string log = win::GdiRecording(dc);
  win::GdiStopRecording(dc);
  const std::vector<TRect> boxes = ClipBoxes(log);
  ASSERT_FALSE(boxes.empty()) << "the visible part is drawn";
  for (const TRect& box : boxes)
    EXPECT_TRUE(box.Left >= 0 && box.Right <= 5) << "drawn outside the visible part:\n" << log;
  TOwned<TcxRegion> after(New<TcxRegion>());
  EXPECT_EQ(win::GetClipRgn(dc, after->GetHandle()), 0) << "a canvas without a clip region gets none";

  // With a clip region of its own, the canvas gets the same region back.
  canvas->IntersectClipRect({0, 0, 150, 50});
  TOwned<TcxRegion> before(canvas->GetClipRegion());
  info->DrawButton(canvas.get(), 0);
  TOwned<TcxRegion> restored(canvas->GetClipRegion());
  EXPECT_TRUE(restored->IsEqual(before.get()));

  // Painted as a cell at x = 50, nothing lands left of the cell.
  win::SelectClipRgn(dc, nullptr);
  cell->CalculateEx(canvas.get(), {50, 0, 80, 20}, {-1, -1}, cxmbNone, {}, info.get(), false);
  info->PaintEx(canvas.get());
  for (Integer x = 25; x < 50; ++x) EXPECT_EQ(canvas.At(x, 10), kPaper) << x;
  EXPECT_NE(canvas.At(52, 10), kPaper);
}

TEST_F(cxEditViewInfo, ButtonsAreNotDrawnOnTheCanvasOfAButtonItself) {
  AddButton(20);
  auto* form = TCustomForm::CreateNew<TForm>(Application);
  auto* edit = New<TTestViewEdit>(form);
  auto cell = MakeViewData(true);
  cell->Edit = edit;
  Calculate(cell.get(), {0, 0, 60, 20});
  ASSERT_EQ(info->GetButtonCount(), 1);

  const win::HDC dc = canvas->GetHandle();
  win::GdiStartRecording(dc);
  edit->ButtonDC = dc;
  info->DrawButtons(canvas.get());
  EXPECT_EQ(win::GdiRecording(dc), "");
  edit->ButtonDC = nullptr;
  info->DrawButtons(canvas.get());
  EXPECT_NE(win::GdiRecording(dc), "");
  win::GdiStopRecording(dc);
  form->Free();
}

TEST_F(cxEditViewInfo, ACellPaintedAwayFromTheOriginLooksAsItDoesAtTheOrigin) {
  AddButton(0);
  auto cell = MakeViewData(true);
  cell->ContentOffset = TRect(1, 1, 1, 1);
  const TRect cellRect(0, 0, 80, 22);
  // The plain look, then the Office-11 gradient, which is laid over the
  // cell's own border rectangle.
  for (bool gradient : {false, true}) {
    SCOPED_TRACE(gradient ? "gradient buttons" : "plain buttons");
    style->GetLookAndFeel()->SetKind(gradient ? lfOffice11 : lfUltraFlat);
    style->SetGradientButtons(gradient);
    PainterCanvas atOrigin(80, 22);
    cell->Calculate(atOrigin.get(), cellRect, {70, 10}, cxmbNone, {}, info.get(), false);
    ASSERT_EQ(info->ButtonInfos[0]->State, ebsSelected);
    info->Paint(atOrigin.get());

    canvas.Clear(kPaper);
    cell->CalculateEx(canvas.get(), cxRectOffset(cellRect, 100, 20), {170, 30}, cxmbNone, {}, info.get(), false);
    info->PaintEx(canvas.get());
    EXPECT_EQ(canvas->GetWindowOrg(), TPoint(0, 0)) << "the origin is put back";
    Integer differing = 0;
    for (Integer y = 0; y < 22; ++y)
      for (Integer x = 0; x < 80; ++x) differing += atOrigin.At(x, y) != canvas.At(x + 100, y + 20);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(canvas.At(99, 30), kPaper);
    EXPECT_EQ(canvas.At(180, 30), kPaper);
    EXPECT_EQ(canvas.At(150, 19), kPaper);
  }
  // The gradient really is one: the hot button's top and bottom differ.
  EXPECT_NE(canvas.At(170, 22), canvas.At(170, 40));
}

TEST_F(cxEditViewInfo, PaintExMakesTheCallsOfThePaintAtTheOriginWithTheOriginMoved) {
  AddButton(0);
  auto cell = MakeViewData(true);
  cell->ContentOffset = TRect(1, 1, 1, 1);
  const TRect cellRect(0, 0, 80, 22);
  const win::HDC dc = canvas->GetHandle();
  win::GdiStartRecording(dc);
  Calculate(cell.get(), cellRect);
  info->Paint(canvas.get());
  const std::string atOrigin = win::GdiRecording(dc);
  win::GdiClearRecording(dc);
  cell->CalculateEx(canvas.get(), cxRectOffset(cellRect, 100, 20), {-1, -1}, cxmbNone, {}, info.get(), false);
  info->PaintEx(canvas.get());
  const std::string moved = win::GdiRecording(dc);
  win::GdiStopRecording(dc);

  // Call by call the same arguments, in the view info's own coordinates;
  // the clip box, which the device fixes, reads as moved by the shift.
  const std::vector<TRect> originBoxes = ClipBoxes(atOrigin), movedBoxes = ClipBoxes(moved);
  ASSERT_FALSE(originBoxes.empty());
  ASSERT_EQ(originBoxes.size(), movedBoxes.size()) << atOrigin << "\n" << moved;
  for (std::size_t i = 0; i < originBoxes.size(); ++i)
    EXPECT_EQ(movedBoxes[i], cxRectOffset(originBoxes[i], -100, -20)) << i;
  auto calls = [](const std::string& ALog) {
    std::string result;
    for (std::size_t at = 0, end; at < ALog.size(); at = end + 1) {
      end = ALog.find('\n', at);
      const std::string line = ALog.substr(at, end - at);
      result += line.substr(0, line.find(" text=")) + "\n";
    }
    return result;
  };
  EXPECT_EQ(calls(moved), calls(atOrigin));
}

TEST_F(cxEditViewInfo, Office11ButtonsFillTheirBackgroundWithTheGradientOfTheirState) {
  AddButton(17);
  auto cell = MakeViewData(true);
  cell->ContentOffset = TRect(1, 1, 1, 1);
  style->GetLookAndFeel()->SetKind(lfOffice11);
  style->SetGradientButtons(true);
  Calculate(cell.get(), {0, 0, 60, 22});
  ASSERT_EQ(info->ButtonInfos[0]->ButtonStyle, btsOffice11);
  const TRect border = info->BorderRect, button = ButtonBounds(0);
  // Inside the button's one-pixel frame; the arrow keeps off this column.
  const Integer x = button.Left + 1;

  // The gradient runs over the editor's height, a pixel shorter at both
  // ends for a normal button, and stays off the frame.
  struct Case {
    TcxEditButtonState State;
    TColor From, To, Frame;
    Integer Inset;
  };
  const Case cases[] = {
      {ebsNormal, dxOffice11ToolbarsColor1, dxOffice11ToolbarsColor2, info->BackgroundColor, 1},
      {ebsSelected, dxOffice11SelectedColor1, dxOffice11SelectedColor2, dxOffice11SelectedBorderColor, 0},
      {ebsPressed, dxOffice11SelectedDownColor1, dxOffice11SelectedDownColor2, dxOffice11SelectedBorderColor, 0}};
  for (const Case& k : cases) {
    canvas.Clear(kPaper);
    info->ButtonInfos[0]->State = k.State;
    info->Paint(canvas.get());
    EXPECT_EQ(ColorToRGB(canvas.At(x, button.Top)), ColorToRGB(k.Frame)) << k.State;
    EXPECT_EQ(ColorToRGB(canvas.At(x, button.Bottom - 1)), ColorToRGB(k.Frame)) << k.State;
    const TRect gradient(x, border.Top + k.Inset, x + 1, border.Bottom - k.Inset);
    for (Integer y = button.Top + 1; y < button.Bottom - 1; ++y)
      EXPECT_EQ(ColorToRGB(canvas.At(x, y)), GetGradientColorRect(gradient, y, k.From, k.To, false))
          << k.State << " at " << y;
  }

  // A disabled or a transparent button is filled plainly.
  info->ButtonInfos[0]->State = ebsDisabled;
  info->Paint(canvas.get());
  EXPECT_EQ(ColorToRGB(canvas.At(x, button.Top + 2)), ColorToRGB(clBtnFace));
  EXPECT_EQ(ColorToRGB(canvas.At(x, button.Bottom - 3)), ColorToRGB(clBtnFace));
  info->ButtonInfos[0]->State = ebsSelected;
  info->ButtonInfos[0]->Transparent = true;
  info->Paint(canvas.get());
  EXPECT_EQ(ColorToRGB(canvas.At(x, button.Top + 2)), ColorToRGB(info->BackgroundColor));
  EXPECT_EQ(ColorToRGB(canvas.At(x, button.Bottom - 3)), ColorToRGB(info->BackgroundColor));
}

TEST_F(cxEditViewInfo, TheWindowIsInvalidatedOnlyWhereTheLookChanged) {
  AddButton(20);
  AddButton(20);
  style->SetEditBorderStyle(ebsSingle);
  style->SetTransparentBorder(false);
  auto* form = TCustomForm::CreateNew<TForm>(Application);
  form->SetBoundsRect({0, 0, 300, 200});
  auto* edit = New<TTestViewEdit>(form);
  edit->SetBoundsRect({10, 10, 110, 30});
  edit->SetParent(form);
  form->Show();
  win::test::PumpUntilIdle();
  auto data = MakeViewData(false);
  const TRect bounds(0, 0, 100, 20);
  TOwned<TcxCustomEditViewInfo> old(New<TcxCustomEditViewInfo>());
  auto recalculate = [&](TPoint P) {
    old->Assign(info.get());
    old->Bounds = info->Bounds;
    old->BorderRect = info->BorderRect;
    Calculate(data.get(), bounds, P);
  };

  // Without an old view info, everything but the excluded part.
  Calculate(data.get(), bounds, {10, 10});
  TakeUpdateRegion(edit);
  EXPECT_FALSE(info->Repaint(edit, TRect(5, 5, 40, 15), nullptr));
  TOwned<TcxRegion> region = TakeUpdateRegion(edit);
  EXPECT_EQ(region->GetBoundsRect(), bounds);
  EXPECT_FALSE(region->PtInRegion(20, 10));
  EXPECT_TRUE(region->PtInRegion(2, 2));

  // The mouse moves from the text onto the outer button: that button only.
  recalculate({90, 10});
  ASSERT_EQ(info->ButtonInfos[1]->State, ebsSelected);
  EXPECT_TRUE(info->Repaint(edit, old.get()));
  region = TakeUpdateRegion(edit);
  EXPECT_EQ(region->GetBoundsRect(), info->ButtonInfos[1]->Bounds);
  TOwned<TcxRegion> expected(info->GetUpdateRegion(old.get()));
  EXPECT_TRUE(region->IsEqual(expected.get()));

  // Only the border colour changes: only the border ring.
  recalculate({90, 10});
  style->SetBorderColor(clRed);
  Calculate(data.get(), bounds, {90, 10});
  EXPECT_TRUE(info->Repaint(edit, old.get()));
  region = TakeUpdateRegion(edit);
  EXPECT_TRUE(region->PtInRegion(0, 0));
  EXPECT_TRUE(region->PtInRegion(99, 19));
  EXPECT_FALSE(region->PtInRegion(1, 1));
  EXPECT_FALSE(region->PtInRegion(90, 10)) << "the buttons look the same";

  // Focus changes the state: the whole editor less the excluded part.
  recalculate({90, 10});
  data->Focused = true;
  Calculate(data.get(), bounds, {90, 10});
  EXPECT_TRUE(info->Repaint(edit, TRect(5, 5, 40, 15), old.get()));
  region = TakeUpdateRegion(edit);
  EXPECT_TRUE(region->PtInRegion(0, 0));
  EXPECT_TRUE(region->PtInRegion(90, 10));
  EXPECT_TRUE(region->PtInRegion(50, 10));
  EXPECT_FALSE(region->PtInRegion(20, 10));

  // Nothing changed: nothing to do.
  recalculate({90, 10});
  EXPECT_FALSE(info->Repaint(edit, old.get()));
  EXPECT_TRUE(TakeUpdateRegion(edit)->IsEmpty());
  form->Free();
}

TEST_F(cxEditViewInfo, OffsetMovesEveryRectangleAndAssignCarriesTheButtons) {
  AddButton(20, true);
  AddButton(20);
  auto cell = MakeViewData(true);
  Calculate(cell.get(), {0, 0, 100, 20}, {90, 10});
  info->InnerEditRect = TRect(20, 0, 80, 20);
  info->Offset(5, 7);
  EXPECT_EQ(info->Bounds, TRect(5, 7, 105, 27));
  EXPECT_EQ(info->ClientRect, TRect(25, 7, 85, 27));
  EXPECT_EQ(info->InnerEditRect, TRect(25, 7, 85, 27));
  EXPECT_EQ(info->InnerRect, TRect(5, 7, 105, 27));
  EXPECT_EQ(ButtonBounds(0), TRect(5, 7, 25, 27));
  EXPECT_EQ(VisibleBounds(0), TRect(5, 7, 25, 27));
  EXPECT_EQ(ButtonBounds(1), TRect(85, 7, 105, 27));
  EXPECT_EQ(VisibleBounds(1), TRect(85, 7, 105, 27));
  EXPECT_TRUE(info->IsHotTrack());
  EXPECT_TRUE(info->IsHotTrack(TPoint(90, 10)));
  EXPECT_FALSE(info->IsHotTrack(TPoint(50, 10)));

  TOwned<TcxCustomEditViewInfo> copy(New<TcxCustomEditViewInfo>());
  copy->Assign(info.get());
  ASSERT_EQ(copy->GetButtonCount(), 2);
  EXPECT_EQ(copy->HotButton, 1);
  EXPECT_EQ(copy->PressedButton, -1);
  EXPECT_EQ(copy->ClientRect, info->ClientRect);
  EXPECT_EQ(copy->BackgroundColor, info->BackgroundColor);
  for (Integer i = 0; i < 2; ++i) {
    EXPECT_EQ(copy->ButtonInfos[i]->Bounds, info->ButtonInfos[i]->Bounds) << i;
    EXPECT_EQ(copy->ButtonInfos[i]->State, info->ButtonInfos[i]->State) << i;
    EXPECT_EQ(copy->ButtonInfos[i]->ButtonStyle, info->ButtonInfos[i]->ButtonStyle) << i;
  }
  copy->Bounds = info->Bounds;
  TOwned<TcxRegion> unchanged(copy->GetUpdateRegion(info.get()));
  EXPECT_TRUE(unchanged->IsEmpty());
  copy->ButtonInfos[0]->State = ebsPressed;
  TOwned<TcxRegion> pressed(copy->GetUpdateRegion(info.get()));
  EXPECT_EQ(pressed->GetBoundsRect(), ButtonBounds(0));
}
