// Radio glyphs and captions pixel by pixel: the radio button's glyph is
// the painter's for its state and check in every look, beside it the
// caption on either side, wrapped, and the focus frame round it; a grid
// cell without an editor window lays its items in columns (the leftover
// height split above and below) and draws the value's item checked, the
// theme's radio states for the native look. The contact sheet
// (RadioGroupSheet.png in the build folder) shows buttons in every look
// and state, cells of 1 to 6 items in 1 to 3 columns and whole groups.
#include <gtest/gtest.h>

#include "ConcretePaint.h"
#include "library/editors/core/cxEditUtils.h"
#include "library/editors/cxRadioGroup.h"
#include "platform/gdi/Recorder.h"
#include "platform/theme/ThemeTestMode.h"

using namespace edit_paint;

namespace {

// A radio button that shows the state it is given.
class TSheetRadioButton : public TcxRadioButton {
  ORV_CLASS(TSheetRadioButton, TcxRadioButton)
 public:
  explicit TSheetRadioButton(TComponent* AOwner) : TcxRadioButton(AOwner) {}
  void Show(TcxRadioButtonState AState) { SetState(AState); }
};

}  // namespace

inline ORV_REGISTER(TSheetRadioButton)

namespace {

const TcxRadioButtonState kStates[] = {rbsNormal, rbsHot, rbsPressed, rbsDisabled};
const TcxButtonState kButtonStates[] = {cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};
const char* const kStateNames[] = {"normal", "hot", "pressed", "disabled"};

class RadioPaint : public edit_test::ConcreteEditorTest {
 protected:
  TSheetRadioButton* MakeButton(const Look& ALook, const AnsiString& ACaption, TRect ABounds = {10, 10, 130, 27}) {
    auto* button = Make<TSheetRadioButton>(ABounds);
    button->SetCaption(ACaption);
    button->GetLookAndFeel()->SetKind(ALook.Kind);
    button->GetLookAndFeel()->SetNativeStyle(ALook.Native);
    return button;
  }
  // The painter's glyph where the button draws its own.
  static std::vector<TColor> PainterGlyph(const Look& ALook, TcxButtonState AState, bool AChecked, TColor AColor) {
    PainterCanvas canvas(13, 13);
    GetPainterClass(false, ALook.Kind)->DrawRadioButton(canvas.get(), 0, 0, AState, AChecked, false, AColor);
    return canvas.Pixels();
  }
  static std::vector<TColor> Pixels(PainterCanvas& ACanvas, const TRect& R) {
    std::vector<TColor> p;
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x) p.push_back(ACanvas.At(x, y));
    return p;
  }
  // One cell of a radio group without an editor window.
  TOwned<TcxEditStyle> style;
  TOwned<TcxCustomRadioGroupViewInfo> info{New<TcxCustomRadioGroupViewInfo>()};
  void PaintCells(PainterCanvas& ACanvas, TcxRadioGroupProperties* AProperties, const Look& ALook, const TRect& R,
                  const Variant& AValue, TPoint P = TPoint(-100, -100), Mouse AMouse = Mouse::Away,
                  bool APreview = false) {
    style = MakeStyle(ALook);
    TOwned<TcxCustomEditViewData> viewData(AProperties->CreateViewData(style.get(), true, APreview));
    viewData->ContentOffset = TRect(1, 1, 1, 1);
    PaintCell(ACanvas.get(), viewData.get(), info.get(), R, AValue, P, AMouse);
  }
  static TOwned<TcxRadioGroupProperties> Items(Integer ACount, Integer AColumns) {
    TOwned<TcxRadioGroupProperties> properties(New<TcxRadioGroupProperties>(nullptr));
    for (Integer i = 0; i < ACount; ++i) {
      TcxRadioGroupItem* item = properties->GetItems()->Add();
      item->SetCaption(std::string(1, static_cast<char>('A' + i)) + std::string(i % 2 ? " item" : ""));
      item->SetValue(Variant(i));
    }
    properties->SetColumns(AColumns);
    return properties;
  }
};

TEST_F(RadioPaint, TheButtonsGlyphIsThePaintersInEachStateAndTheCaptionStandsBesideIt) {
  MonochromeText mono;
  Show();
  for (const Look& look : {kLooks[0], kLooks[1], kLooks[4], kLooks[5]})
    for (Integer s = 0; s < 4; ++s)
      for (bool checked : {false, true}) {
        SCOPED_TRACE(std::string(look.Name) + " " + kStateNames[s] + (checked ? " checked" : ""));
        TSheetRadioButton* button = MakeButton(look, "Option");
        button->SetChecked(checked);
        button->Show(kStates[s]);
        PainterCanvas canvas(120, 17);
        DrawItemInto(button, canvas.get(), TPoint());
        // Caption right of the glyph: the glyph one pixel in, centred.
        ASSERT_EQ(button->GetGlyphRect(), TRect(1, 2, 14, 15));
        EXPECT_EQ(Pixels(canvas, button->GetGlyphRect()),
                  PainterGlyph(look, kButtonStates[s], checked, button->GetColor()));
        const TRect text = ColorBox(canvas, TRect(14, 0, 120, 17), clBtnText);
        EXPECT_FALSE(cxRectIsEmpty(text));
        EXPECT_GE(text.Left, 14 + 5) << "the caption keeps off the glyph";
        button->Free();
      }
  // Disabled alone, the caption is drawn disabled in the shadow colour.
  TSheetRadioButton* disabled = MakeButton(kLooks[4], "Option");
  disabled->SetEnabled(false);
  PainterCanvas grey(120, 17);
  DrawItemInto(disabled, grey.get(), TPoint());
  EXPECT_TRUE(cxRectIsEmpty(ColorBox(grey, TRect(14, 0, 120, 17), clBtnText)));
  EXPECT_FALSE(cxRectIsEmpty(ColorBox(grey, TRect(14, 0, 120, 17), clBtnShadow)));
  // The caption left of the glyph, which then touches the right edge.
  TSheetRadioButton* left = MakeButton(kLooks[4], "Option");
  left->SetAlignment(taLeftJustify);
  PainterCanvas canvas(120, 17);
  DrawItemInto(left, canvas.get(), TPoint());
  EXPECT_EQ(left->GetGlyphRect(), TRect(107, 2, 120, 15));
  EXPECT_LE(ColorBox(canvas, TRect(0, 0, 107, 17), clBtnText).Right, 106);
  // Wrapped, a long caption takes two lines.
  TSheetRadioButton* wrapped = MakeButton(kLooks[4], "Two words", {10, 40, 60, 74});
  wrapped->SetWordWrap(true);
  PainterCanvas tall(50, 34);
  DrawItemInto(wrapped, tall.get(), TPoint());
  const TRect lines = ColorBox(tall, TRect(0, 0, 50, 34), clBtnText);
  EXPECT_GT(lines.Bottom - lines.Top, cxScreenCanvas()->FontHeight(wrapped->GetFont()));
}

TEST_F(RadioPaint, TheFocusFrameHugsTheCaptionAndAnEmptyCaptionHasNone) {
  Show();
  TSheetRadioButton* button = MakeButton(kLooks[4], "Option");
  button->SetChecked(true);
  button->SetFocus();
  Pump();
  PainterCanvas canvas(120, 17);
  win::GdiStartRecording(canvas->GetHandle());
  DrawItemInto(button, canvas.get(), TPoint());
  std::string log = win::GdiRecording(canvas->GetHandle());
  // The text rectangle starts 5 pixels after the glyph, one pixel high
  // up, and the text is centred in it; the frame is one pixel round the
  // text's extent, one more below.
  canvas->SetFont(button->GetFont());
  const TSize extent = canvas->TextExtent("Option");
  const Integer top = -1 + (18 - extent.cy) / 2;
  const std::string frame = "DrawFocusRect(18," + std::to_string(top - 1) + "," + std::to_string(19 + extent.cx + 1) +
                            "," + std::to_string(top + extent.cy + 2) + ")";
  EXPECT_NE(log.find(frame), std::string::npos) << log;
  button->SetCaption("");
  win::GdiStartRecording(canvas->GetHandle());
  DrawItemInto(button, canvas.get(), TPoint());
  log = win::GdiRecording(canvas->GetHandle());
  win::GdiStopRecording(canvas->GetHandle());
  EXPECT_EQ(log.find("DrawFocusRect"), std::string::npos) << log;
}

TEST_F(RadioPaint, ACellLaysItsItemsInColumnsAndChecksTheValuesItem) {
  // 1 to 6 items in 1 to 3 columns: each item's column and row.
  struct Row {
    Integer Count, Columns;
    const char* Places;
  };
  const Row rows[] = {
      {1, 3, "0:0"},
      {4, 3, "0:0 0:1 1:0 1:1"},  // three columns, the third empty
      {5, 2, "0:0 0:1 0:2 1:0 1:1"},
      {6, 3, "0:0 0:1 1:0 1:1 2:0 2:1"},
      {3, 1, "0:0 0:1 0:2"},
  };
  PainterCanvas canvas(150, 60);
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.Count) + " in " + std::to_string(row.Columns));
    TOwned<TcxRadioGroupProperties> properties = Items(row.Count, row.Columns);
    PaintCells(canvas, properties.get(), kLooks[4], TRect(0, 0, 150, 60), Variant(0));
    std::string places;
    for (Integer i = 0; i < info->GetButtonCount(); ++i)
      places += (i ? " " : "") + std::to_string(info->GetButton(i)->Column) + ":" +
                std::to_string(info->GetButton(i)->Row);
    EXPECT_EQ(places, row.Places);
    const Integer columns = std::min(row.Columns, row.Count);
    EXPECT_EQ(info->GetButton(0)->Bounds.Right - info->GetButton(0)->Bounds.Left, (148 - 2) / columns);
  }
  // Four rows in 43 pixels: the 3 left over give 1 above, 2 below.
  TOwned<TcxRadioGroupProperties> four = Items(4, 1);
  PaintCells(canvas, four.get(), kLooks[4], TRect(0, 0, 150, 45), Variant(2));
  std::string tops;
  for (Integer i = 0; i < 4; ++i) tops += std::to_string(info->GetButton(i)->Bounds.Top) + " ";
  EXPECT_EQ(tops, "2 12 22 32 ");
  EXPECT_EQ(info->GetButton(3)->Bounds.Bottom, 42);
  // The value's item checked, the others not; a preview checks item 0.
  const Look& look = kLooks[4];
  PaintCells(canvas, four.get(), look, TRect(0, 0, 150, 60), Variant(2));
  for (Integer i = 0; i < 4; ++i) {
    const TRect glyph = info->GetButton(i)->GetGlyphRect(info->GlyphSize, taRightJustify, false);
    EXPECT_EQ(Pixels(canvas, glyph), PainterGlyph(look, cxbsNormal, i == 2, clWindow)) << i;
  }
  PaintCells(canvas, four.get(), look, TRect(0, 0, 150, 60), Variant(2), TPoint(-100, -100), Mouse::Away, true);
  EXPECT_EQ(info->ItemIndex, 0);
  // A group without items: nothing wide, one line high.
  TOwned<TcxRadioGroupProperties> empty = Items(0, 1);
  style = MakeStyle(look);
  TOwned<TcxCustomRadioGroupViewData> viewData(New<TcxCustomRadioGroupViewData>(empty.get(), style.get(), true));
  canvas->SetFont(style->GetVisibleFont());
  const TSize size = viewData->GetEditSize(canvas.get(), Null(), TcxEditSizeProperties());
  EXPECT_EQ(size.cx, 0);
  EXPECT_EQ(size.cy, canvas->TextHeight("Zg") + viewData->GetEditContentSizeCorrection().cy);
}

TEST_F(RadioPaint, ANativeCellDrawsTheThemesRadioStates) {
  TOwned<TcxRadioGroupProperties> properties = Items(4, 1);
  PainterCanvas canvas(150, 80);
  win::test::StartThemeCallLog();
  // Item 1 checked, the mouse over item 2, then pressed on item 0.
  PaintCells(canvas, properties.get(), kLooks[6], TRect(0, 0, 150, 80), Variant(1), TPoint(20, 48), Mouse::Over);
  PaintCells(canvas, properties.get(), kLooks[6], TRect(0, 0, 150, 80), Variant(1), TPoint(20, 10), Mouse::Down);
  std::vector<int> states;
  for (const auto& call : win::test::ThemeCalls())
    if (call.Function == "DrawThemeBackground" && call.Class == "Button" && call.Part == 2)
      states.push_back(call.State);
  win::test::StopThemeCallLog();
  EXPECT_EQ(states, (std::vector<int>{1, 5, 2, 1, 3, 5, 1, 1}));
}

TEST_F(RadioPaint, ContactSheetOfButtonsCellsAndGroups) {
  constexpr Integer kLabel = 96, kCell = 100, kRow = 22;
  const Look looks[] = {kLooks[0], kLooks[1], kLooks[4], kLooks[5], kLooks[6]};
  PainterCanvas sheet(kLabel + 8 * kCell + 8, 500, static_cast<TColor>(0xF0F0F0));
  for (Integer s = 0; s < 4; ++s)
    for (Integer c = 0; c < 2; ++c)
      Label(sheet.get(), std::string(kStateNames[s]) + (c ? ", checked" : ""),
            TRect(kLabel + (s * 2 + c) * kCell, 0, kLabel + (s * 2 + c + 1) * kCell, 14), cxAlignHCenter);
  Show();
  Integer top = 18;
  for (const Look& look : looks) {
    Label(sheet.get(), look.Name, TRect(4, top, kLabel, top + 17));
    for (Integer s = 0; s < 4; ++s)
      for (Integer c = 0; c < 2; ++c) {
        TSheetRadioButton* button = MakeButton(look, "Option", {10, 10, 10 + kCell - 8, 27});
        button->SetChecked(c == 1);
        button->Show(kStates[s]);
        DrawItemInto(button, sheet.get(), TPoint(kLabel + (s * 2 + c) * kCell, top));
        button->Free();
      }
    top += kRow;
  }
  // Caption left, wrapped, focused.
  Label(sheet.get(), "left, wrap, focus", TRect(4, top, kLabel, top + 17));
  TSheetRadioButton* left = MakeButton(kLooks[4], "Left caption", {10, 10, 10 + kCell - 8, 27});
  left->SetAlignment(taLeftJustify);
  left->SetChecked(true);
  DrawItemInto(left, sheet.get(), TPoint(kLabel, top));
  TSheetRadioButton* wrapped = MakeButton(kLooks[4], "A caption that wraps", {10, 40, 10 + kCell - 8, 74});
  wrapped->SetWordWrap(true);
  DrawItemInto(wrapped, sheet.get(), TPoint(kLabel + kCell, top));
  TSheetRadioButton* focused = MakeButton(kLooks[4], "Focused", {10, 80, 10 + kCell - 8, 97});
  focused->SetFocus();
  Pump();
  DrawItemInto(focused, sheet.get(), TPoint(kLabel + 2 * kCell, top));
  top += 40;

  // Cells without editor windows: 1 to 6 items in 1 to 3 columns.
  for (Integer columns = 1; columns <= 3; ++columns) {
    Label(sheet.get(), "cells, " + std::to_string(columns) + " column" + (columns > 1 ? "s" : ""),
          TRect(4, top, kLabel, top + 17));
    for (Integer count = 1; count <= 6; ++count) {
      TOwned<TcxRadioGroupProperties> properties = Items(count, columns);
      const TRect cell(kLabel + (count - 1) * 132, top, kLabel + count * 132 - 6, top + 62);
      sheet->FrameRect(cxRectInflate(cell, 1, 1), clBtnShadow);
      PaintCells(sheet, properties.get(), kLooks[4], cell, Variant(count - 1));
    }
    top += 70;
  }
  // Whole groups in each look, the second item chosen.
  Label(sheet.get(), "groups", TRect(4, top, kLabel, top + 17));
  Integer left0 = kLabel;
  for (const Look& look : looks) {
    auto* group = Make<TcxRadioGroup>({10, 120, 10 + 150, 120 + 110});
    group->SetCaption("&Quality");
    group->GetStyle()->GetLookAndFeel()->SetKind(look.Kind);
    group->GetStyle()->GetLookAndFeel()->SetNativeStyle(look.Native);
    group->GetProperties()->SetColumns(look.Kind == lfFlat ? 2 : 1);
    for (const char* caption : {"Draft", "Normal", "Fine", "Best"})
      group->GetProperties()->GetItems()->Add()->SetCaption(caption);
    group->SetItemIndex(1);
    Pump();
    PaintControlInto(group, sheet.get(), TPoint(left0, top));
    for (Integer i = 0; i < group->GetButtonCount(); ++i) {
      TWinControl* button = group->GetButton(i);
      DrawItemInto(button, sheet.get(), TPoint(left0 + button->GetLeft(), top + button->GetTop()));
    }
    group->Free();
    left0 += 160;
  }
  EXPECT_TRUE(win::SaveBitmapPng(sheet.Bitmap()->GetHandle(), "RadioGroupSheet.png"));
}

}  // namespace
