// Laying out and painting an editing control: one calculation per
// finished batch of changes, nothing before the window exists, buffered
// painting of the whole client after a layout change and of the update
// region after that (of what shows only, for a control past its form),
// custom-drawn cells, automatic cell heights and the
// helpers that resolve styles.
#include "library/grid/GridTestControl.h"


#include <sstream>

#include "platform/forms/MessageBox.h"
#include "platform/win/WindowDC.h"
#include "support/PeakMemory.h"

using namespace grid_test;

namespace {

// A view info that asks for another layout from inside its own.
class TReenteringViewInfo : public TTestViewInfo {
  ORV_CLASS(TReenteringViewInfo, TTestViewInfo)
 public:
  explicit TReenteringViewInfo(TcxEditingControl* AControl) : TTestViewInfo(AControl) {}
  void DoCalculate() override {
    inherited::DoCalculate();
    GetControl()->LayoutChanged();
  }
};

class TReenteringControl : public TTestEditingControl {
  ORV_CLASS(TReenteringControl, TTestEditingControl)
 public:
  explicit TReenteringControl(TComponent* AOwner) : TTestEditingControl(AOwner) {}
  TcxCustomControlViewInfoClass GetViewInfoClass() override { return TReenteringViewInfo::StaticClass(); }
};

}  // namespace

ORV_REGISTER(TReenteringViewInfo)
ORV_REGISTER(TReenteringControl)

namespace {

class ControlLayout : public GridSession {
 protected:
  Integer Calculations() { return grid->TestViewInfo()->Calculations; }
  TTestPainter* Painter() { return static_cast<TTestPainter*>(grid->GetPainter()); }
  // The clip box of the first drawing call of a recorded paint.
  static std::string FirstClip(const std::string& ARecording) {
    std::istringstream lines(ARecording);
    std::string line;
    std::getline(lines, line);
    const auto at = line.find(" clip=");
    return at == std::string::npos ? "<none>" : line.substr(at + 6);
  }
};

TEST_F(ControlLayout, NothingIsLaidOutBeforeTheWindowAndThenOnceForEachOutermostBatch) {
  EXPECT_EQ(Calculations(), 0) << "without a window every change only marks";
  EXPECT_TRUE(grid->GetViewInfo()->GetState(cvis_IsDirty));
  EXPECT_EQ(grid->TestViewInfo()->GetEditCellViewInfoCount(), 0);

  Show();
  EXPECT_GE(Calculations(), 1) << "the window's first layout";
  EXPECT_FALSE(grid->GetViewInfo()->GetState(cvis_IsDirty));
  EXPECT_EQ(grid->TestViewInfo()->GetEditCellViewInfoCount(), 3);

  const Integer before = Calculations();
  grid->BeginUpdate();
  grid->BeginUpdate();
  grid->GetOptionsView()->SetCellEndEllipsis(true);
  grid->GetOptionsView()->SetCellTextMaxLineCount(2);
  grid->GetOptionsView()->SetShowEditButtons(ecsbAlways);
  grid->EndUpdate();
  EXPECT_EQ(Calculations(), before) << "an inner end only marks";
  EXPECT_TRUE(grid->GetViewInfo()->GetState(cvis_IsDirty));
  grid->EndUpdate();
  EXPECT_EQ(Calculations(), before + 1);
  EXPECT_FALSE(grid->GetViewInfo()->GetState(cvis_IsDirty));

  grid->GetOptionsView()->SetCellTextMaxLineCount(2);
  EXPECT_EQ(Calculations(), before + 1) << "setting an option to what it is changes nothing";
}

class ReenteringLayout : public ControlLayout {
 protected:
  TTestEditingControl* CreateControl(TForm* AForm) override { return New<TReenteringControl>(AForm); }
};

TEST_F(ReenteringLayout, ALayoutAskedForFromInsideTheCalculationOnlyMarks) {
  Show();
  const Integer before = Calculations();
  grid->LayoutChanged();
  EXPECT_EQ(Calculations(), before + 1) << "no second pass, no recursion";
  EXPECT_FALSE(grid->GetViewInfo()->GetState(cvis_IsDirty));
}

TEST_F(ControlLayout, BufferedPaintingPaintsTheWholeClientAfterALayoutChangeAndThenOnlyTheUpdateRegion) {
  grid->SetBufferedPaint(true);
  Show();
  Log recordings;
  Painter()->Recordings = &recordings;
  const TRect client = grid->GetClientBounds();

  grid->LayoutChanged();
  grid->InvalidateRect(TRect(30, 40, 60, 50), false);
  Pump();
  ASSERT_EQ(recordings.size(), 1u);
  EXPECT_EQ(FirstClip(recordings[0]), std::to_string(client.Left) + "," + std::to_string(client.Top) + "," +
                                          std::to_string(client.Right) + "," + std::to_string(client.Bottom))
      << "the first paint after a layout change covers the client";

  grid->InvalidateRect(TRect(30, 40, 60, 50), false);
  Pump();
  ASSERT_EQ(recordings.size(), 2u);
  EXPECT_EQ(FirstClip(recordings[1]), "30,40,60,50") << "later paints cover the update region only";
  Painter()->Recordings = nullptr;

  // What the buffer held reaches the window: the cell texts show.
  EXPECT_EQ(Shown(count), "42");
  TTestCell* cell = grid->TestViewInfo()->Cell(0, 1);
  const TColor background = cell->ViewParams.Color;
  bool text = false;
  for (Integer x = cell->EditRect.Left; x < cell->EditRect.Left + 20 && !text; ++x)
    for (Integer y = cell->EditRect.Top; y < cell->EditRect.Bottom && !text; ++y)
      text = ColorToRGB(PixelAt({x, y})) != ColorToRGB(background);
  EXPECT_TRUE(text) << "the buffered paint drew the count's text";
}

// A buffered control far larger than its form shows a small part of
// itself: the buffer holds that part only, and it reaches the window.
TEST_F(ControlLayout, BufferedPaintingOfAControlLargerThanItsFormBuffersOnlyWhatShows) {
  grid->SetBufferedPaint(true);
  grid->SetBoundsRect({10, 10, 10 + 32767, 10 + 32767});
  const long before = PeakMegabytes();
  Show();
  TTestCell* cell = grid->TestViewInfo()->Cell(0, 1);
  const TColor background = cell->ViewParams.Color;
  auto textShows = [&] {
    for (Integer x = cell->EditRect.Left; x < cell->EditRect.Left + 20; ++x)
      for (Integer y = cell->EditRect.Top; y < cell->EditRect.Bottom; ++y)
        if (ColorToRGB(PixelAt({x, y})) != ColorToRGB(background)) return true;
    return false;
  };
  EXPECT_EQ(ColorToRGB(PixelAt({cell->EditRect.Left + 150, cell->EditRect.Top + 2})), ColorToRGB(background))
      << "the buffered paint drew the cell";
  EXPECT_TRUE(textShows()) << "and the count's text";

  // The cell wiped on the window and painted again on its own: the part
  // buffered lands where it belongs.
  win::HDC dc = win::GetDC(grid->GetHandle());
  win::HBRUSH brush = win::CreateSolidBrush(ColorToRGB(background));
  win::RECT wiped = cell->EditRect;
  win::FillRect(dc, &wiped, brush);
  win::DeleteObject(win::ToObj(brush));
  win::RECT shows{};
  win::GetClipBox(dc, &shows);
  win::ReleaseDC(grid->GetHandle(), dc);
  ASSERT_FALSE(textShows());
  EXPECT_LT(shows.Right, 1000) << "the grid shows a small part of itself";
  Log recordings;
  Painter()->Recordings = &recordings;
  grid->InvalidateRect(cell->EditRect, false);
  Pump();
  Painter()->Recordings = nullptr;
  ASSERT_EQ(recordings.size(), 1u);
  TRect r;
  cxRectIntersect(r, cell->EditRect, TRect(shows));
  EXPECT_EQ(FirstClip(recordings[0]), std::to_string(r.Left) + "," + std::to_string(r.Top) + "," +
                                          std::to_string(r.Right) + "," + std::to_string(r.Bottom))
      << "the part of the cell that shows";
  EXPECT_TRUE(textShows());
  EXPECT_LT(PeakMegabytes() - before, kScreenfulMegabytes);
}

TEST_F(ControlLayout, ACustomDrawnCellIsDoneByItsHandlerAndACellOutOfSightNeverReachesIt) {
  Log seen;
  grid->OnCustomDrawCell = [&](TObject*, TcxCanvas* ACanvas, TcxCustomViewInfoItem* AItem, bool& ADone) {
    auto* cell = static_cast<TcxEditCellViewInfo*>(AItem);
    seen.push_back(std::string(cell->GetEditContainer()->GetDataBinding()->GetValueTypeClass()->Caption()));
    if (cell->GetEditContainer() != name) return;
    ACanvas->SetBrushColor(clRed);
    ACanvas->FillRect(cell->ClipRect);
    ADone = true;
  };
  Show();
  // Two cells fit; the third lies below the client.
  const Integer border = grid->GetBorderSize();
  grid->SetHeight(2 * (grid->GetViewInfo()->DefaultEditHeight + 5) + 2 * border);
  seen.clear();
  grid->Invalidate();
  Pump();
  TTestCell* third = grid->TestViewInfo()->Cell(0, 2);
  ASSERT_FALSE(third->Visible);
  ASSERT_FALSE(seen.empty());
  for (const std::string& s : seen) EXPECT_NE(s, "Float") << "the invisible cell reached the handler";

  TTestCell* first = grid->TestViewInfo()->Cell(0, 0);
  for (Integer x = first->EditRect.Left; x < first->EditRect.Right; x += 3)
    for (Integer y = first->EditRect.Top; y < first->EditRect.Bottom; ++y)
      ASSERT_EQ(ColorToRGB(PixelAt({x, y})), ColorToRGB(clRed)) << "the cell painted itself over the handler at "
                                                                   << x << "," << y;
}

TEST_F(ControlLayout, CellsTakeTheDefaultHeightOrTheirContentsWithAutomaticHeight) {
  grid->SetWidth(90);
  grid->GetDataController()->SetValue(0, name->GetItemIndex(), Variant("one two three four five six seven"));
  Show();
  // The editor's own height, the content offsets twice and the grid line.
  const Integer line = grid->GetViewInfo()->DefaultEditHeight + 4;
  ASSERT_GT(line, 10);
  for (Integer i = 0; i < 3; ++i)
    EXPECT_EQ(grid->TestViewInfo()->Cell(0, i)->DisplayRect.Height(), line + 1) << "cell " << i;

  grid->GetOptionsView()->SetCellAutoHeight(true);
  Pump();
  TTestCell* tall = grid->TestViewInfo()->Cell(0, 0);
  EXPECT_GT(tall->DisplayRect.Height(), 2 * line) << "the long text wraps in its own height";
  EXPECT_EQ(grid->TestViewInfo()->Cell(0, 1)->DisplayRect.Height(), line + 1);
  EXPECT_EQ(grid->TestViewInfo()->Cell(0, 1)->DisplayRect.Top, tall->DisplayRect.Bottom);

  // A content that takes another height reports it, so the owner lays
  // out again; the same height repaints the cell only.
  grid->BeginUpdate();
  grid->GetDataController()->SetValue(0, name->GetItemIndex(), Variant("one"));
  grid->CancelUpdate();
  EXPECT_TRUE(tall->Refresh(true));
  EXPECT_FALSE(tall->Refresh(true));
}

TEST(InplaceContainerHelpers, StylesResolveValueByValueAndRangesClamp) {
  forms::test::Session session;
  auto* styles = New<TcxCustomControlStyles>(nullptr);
  auto* colourOnly = New<TcxStyle>(nullptr);
  colourOnly->SetColor(clRed);
  auto* colourAndFont = New<TcxStyle>(nullptr);
  colourAndFont->SetColor(clBlue);
  auto* font = New<TFont>();
  font->SetName("Arial");
  font->SetSize(14);
  colourAndFont->SetFont(font);

  TcxViewParams params;
  cxStylesToViewParams(styles, ecs_Content, nullptr, {nullptr, colourOnly, colourAndFont}, params);
  TcxViewParams defaults;
  styles->DefaultViewParams(ecs_Content, nullptr, defaults);
  EXPECT_EQ(params.Color, clRed) << "the first style that has the colour";
  ASSERT_NE(params.Font, nullptr);
  EXPECT_EQ(params.Font->GetSize(), 14) << "the font from the second";
  EXPECT_EQ(params.TextColor, defaults.TextColor) << "the text colour from the defaults";
  EXPECT_EQ(params.Bitmap, nullptr);

  Integer value = 15;
  EXPECT_FALSE(cxRange(value, 0, 10));
  EXPECT_EQ(value, 10);
  value = -3;
  EXPECT_FALSE(cxRange(value, 0, 10));
  EXPECT_EQ(value, 0);
  EXPECT_TRUE(cxRange(value, 0, 10));
  EXPECT_THROW(cxAbstractError(), EAbstractError);

  forms::test::AnswerMessageBox(win::IDOK);
  EXPECT_TRUE(cxConfirmMessageBox("Delete the row?", "Confirm"));
  forms::test::AnswerMessageBox(win::IDCANCEL);
  EXPECT_FALSE(cxConfirmMessageBox("Delete the row?", "Confirm"));
  const auto boxes = forms::test::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].Flags, win::MB_OKCANCEL | win::MB_ICONQUESTION);

  font->Free();
  colourAndFont->Free();
  colourOnly->Free();
  styles->Free();
}

TEST_F(ControlLayout, ACellOfARecordThatDoesNotExistShowsNull) {
  Show();
  TTestCell* cell = grid->TestViewInfo()->Cell(0, 1);
  cell->RecordIndex = 3;
  EXPECT_TRUE(VarIsNull(cell->GetDisplayValue()));
  cell->RecordIndex = -1;
  EXPECT_TRUE(VarIsNull(cell->GetDisplayValue()));
  cell->RecordIndex = 0;
  EXPECT_EQ(VarToStr(cell->GetDisplayValue()), "42");
}

}  // namespace
