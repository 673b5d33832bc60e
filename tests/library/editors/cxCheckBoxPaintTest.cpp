// The check drawn pixel by pixel: the mark's mask made from the system
// check bitmap and laid on with its raster operation, the platform's frame
// control inside each border, the grayed state under each null style, the
// images of a strip (never one beside it), the theme's check-box states,
// and the caption and focus frame around the check. The contact sheet
// (CheckBoxSheet.png in the build folder) shows every look in every state.
#include <gtest/gtest.h>

#include "ConcretePaint.h"
#include "library/editors/cxCheckBox.h"
#include "platform/gdi/Recorder.h"
#include "platform/gdi/SysBitmaps.h"
#include "platform/theme/ThemeTestMode.h"

using namespace edit_paint;

namespace {

// The mark inside the 13-pixel check, three pixels in.
const char* const kMark[7] = {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."};

class CheckPaint : public ::testing::Test, public edit_test::ConcreteSession {
 protected:
  TOwned<TcxCheckBoxProperties> properties{New<TcxCheckBoxProperties>(nullptr)};
  TOwned<TcxCustomCheckBoxViewInfo> info{New<TcxCustomCheckBoxViewInfo>()};
  TOwned<TcxCheckBoxStyle> style;

  // One check box of ALook at R with the caption, the mouse on its check.
  void Paint(PainterCanvas& ACanvas, const Look& ALook, const TRect& R, const Variant& AValue, Mouse AMouse,
             bool AEnabled = true, const AnsiString& ACaption = "Option", bool AFocused = false,
             bool AInplace = false) {
    // Kept to the next paint: the view info refers to the style's font.
    style = MakeStyle<TcxCheckBoxStyle>(ALook);
    // On a form a check box shows its parent's colour; a cell, the grid's.
    if (!AInplace) style->SetColor(clBtnFace);
    TOwned<TcxCustomCheckBoxViewData> viewData(
        New<TcxCustomCheckBoxViewData>(properties.get(), style.get(), AInplace));
    viewData->Enabled = AEnabled;
    viewData->Focused = AFocused;
    info->Text = ACaption;
    PaintCell(ACanvas.get(), viewData.get(), info.get(), R, AValue, TPoint(R.Left + 8, R.Top + 8), AMouse);
  }
  static TBitmap* Strip(Integer ACount, Integer ASize = 13) {
    TBitmap* strip = cxCreateBitmap(ACount * ASize, ASize);
    for (Integer i = 0; i < ACount; ++i) {
      strip->GetCanvas()->GetBrush()->SetColor(static_cast<TColor>(0x101010 * (i + 1)));
      strip->GetCanvas()->FillRect(TRect(i * ASize, 0, (i + 1) * ASize, ASize));
    }
    strip->SetTransparentColor(static_cast<TColor>(0xFF00FF));
    return strip;
  }
};

TEST_F(CheckPaint, TheMarksMaskComesFromTheSystemBitmapAndIsLaidOnPixelByPixel) {
  TBitmap* mask = cxEditCheckMarkMask();
  ASSERT_NE(mask, nullptr);
  ASSERT_EQ(mask->GetWidth(), 13);
  ASSERT_EQ(mask->GetHeight(), 13);
  for (Integer y = 0; y < 13; ++y)
    for (Integer x = 0; x < 13; ++x) {
      const bool mark = x >= 3 && x < 10 && y >= 3 && y < 10 && kMark[y - 3][x - 3] == '#';
      ASSERT_EQ(mask->GetCanvas()->GetPixels(x, y), mark ? clBlack : clWhite) << x << "," << y;
    }
  // An ultra-flat check: the editor's colour, a frame, the fill, the mark
  // in button-text colour where the mask is black.
  PainterCanvas canvas(20, 20);
  const win::HDC dc = canvas->GetHandle();
  win::GdiStartRecording(dc);
  DrawEditCheck(canvas.get(), TRect(2, 3, 15, 16), cbsChecked, ecsNormal, nullptr, 0, ebsUltraFlat, false,
                clBtnShadow, clWindow, true, false, false, true);
  const std::string log = win::GdiRecording(dc);
  win::GdiStopRecording(dc);
  // The whole mask at the check's corner, through the brush where it is black.
  EXPECT_NE(log.find("BitBlt(2,3,13,13 from 0,0 rop=B8074A)"), std::string::npos) << log;
  for (Integer y = 0; y < 13; ++y)
    for (Integer x = 0; x < 13; ++x) {
      TColor want = clWindow;
      if (x >= 1 && x <= 11 && y >= 1 && y <= 11) want = clBtnShadow;
      if (x >= 2 && x <= 10 && y >= 2 && y <= 10) want = clWindow;
      if (x >= 3 && x < 10 && y >= 3 && y < 10 && kMark[y - 3][x - 3] == '#') want = clBtnText;
      ASSERT_EQ(canvas.At(2 + x, 3 + y), ColorToRGB(want)) << x << "," << y;
    }
  EXPECT_EQ(canvas.At(1, 3), kPaper) << "nothing beside the check";
  // Grayed shows the mark in the shadow colour; pressed fills with the
  // highlight and keeps the text-coloured mark.
  DrawEditCheck(canvas.get(), TRect(2, 3, 15, 16), cbsGrayed, ecsNormal, nullptr, 0, ebsUltraFlat, false, clBtnShadow,
                clWindow, true, false, false, true);
  EXPECT_EQ(canvas.At(2 + 3, 3 + 5), ColorToRGB(clBtnShadow));
  DrawEditCheck(canvas.get(), TRect(2, 3, 15, 16), cbsChecked, ecsPressed, nullptr, 0, ebsOffice11, false,
                clBtnShadow, clWindow, true, false, false, true);
  EXPECT_EQ(canvas.At(2 + 3, 3 + 3), ColorToRGB(GetEditButtonHighlightColor(true, true)));
  EXPECT_EQ(canvas.At(2 + 3, 3 + 5), ColorToRGB(clBtnText));
}

TEST_F(CheckPaint, OtherBordersHoldThePlatformsCheckAndTheGrayedStateFollowsTheNullStyle) {
  // The platform's check inside the border, as the frame control draws it.
  auto reference = [](win::UINT AFlags) {
    auto canvas = std::make_unique<PainterCanvas>(20, 20);
    win::RECT r{0, 0, 13, 13};
    win::DrawFrameControl((*canvas)->GetHandle(), &r, win::DFC_BUTTON, AFlags);
    return canvas;
  };
  struct Row {
    TcxEditBorderStyle Border;
    TcxCheckBoxState State;
    TcxCheckBoxNullValueShowingStyle Null;
    TcxEditCheckState CheckState;
    win::UINT Flags;
  };
  using namespace win;
  const Row rows[] = {
      {ebs3D, cbsChecked, nssGrayedChecked, ecsNormal, DFCS_CHECKED},
      {ebs3D, cbsUnchecked, nssGrayedChecked, ecsPressed, DFCS_PUSHED},
      {ebsFlat, cbsChecked, nssGrayedChecked, ecsNormal, DFCS_CHECKED | DFCS_FLAT},
      {ebsThick, cbsGrayed, nssGrayedChecked, ecsNormal, DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_FLAT},
      {ebs3D, cbsGrayed, nssInactive, ecsNormal, DFCS_BUTTON3STATE | DFCS_INACTIVE},
      {ebs3D, cbsGrayed, nssUnchecked, ecsNormal, 0},
      {ebs3D, cbsChecked, nssGrayedChecked, ecsDisabled, DFCS_BUTTON3STATE | DFCS_PUSHED | DFCS_CHECKED},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.Border) + " " + std::to_string(row.State) + " " + std::to_string(row.Null));
    PainterCanvas canvas(20, 20);
    DrawEditCheck(canvas.get(), TRect(0, 0, 13, 13), row.State, row.CheckState, nullptr, 0, row.Border, false,
                  clWindowFrame, clWindow, true, false, false, true, row.Null);
    auto want = reference(DFCS_BUTTONCHECK | row.Flags);
    for (Integer y = 2; y < 11; ++y)
      for (Integer x = 2; x < 11; ++x) ASSERT_EQ(canvas.At(x, y), want->At(x, y)) << x << "," << y;
  }
  // The 3-D border: a sunken edge, then the dark inner frame.
  PainterCanvas canvas(20, 20);
  DrawEditCheck(canvas.get(), TRect(0, 0, 13, 13), cbsUnchecked, ecsNormal, nullptr, 0, ebs3D, false, clWindowFrame,
                clWindow, true, false, false, true);
  EXPECT_EQ(canvas.At(0, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(canvas.At(1, 5), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(canvas.At(12, 5), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(canvas.At(11, 5), ColorToRGB(cl3DLight));
}

TEST_F(CheckPaint, AStripShowsTheImageOfTheStateAndNeverOneBesideIt) {
  // The image index: rows of three, or of two for an even strip without
  // grayed images; past the strip, the row's normal image, and past that
  // the last image.
  struct Row {
    Integer Count;
    bool Grayed;
    const char* Indices;  // unchecked, checked, grayed; normal, then pressed
  };
  const Row rows[] = {
      {6, true, "012345"}, {4, false, "012230"}, {4, true, "012312"}, {2, true, "011011"}, {1, true, "000000"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Count);
    std::string indices;
    for (TcxEditCheckState checkState : {ecsNormal, ecsPressed})
      for (TcxCheckBoxState state : {cbsUnchecked, cbsChecked, cbsGrayed})
        indices += std::to_string(GetEditCheckGlyphIndex(state, checkState, row.Grayed, row.Count));
    EXPECT_EQ(indices, row.Indices);
  }
  // Drawn: each image's own colour fills the check.
  for (Integer count : {6, 4, 2, 1}) {
    SCOPED_TRACE(count);
    TOwned<TBitmap> strip(Strip(count));
    PainterCanvas canvas(20, 20);
    EXPECT_EQ(GetEditCheckSize(canvas.get(), false, strip.get(), count), TSize(13, 13));
    for (TcxCheckBoxState state : {cbsUnchecked, cbsChecked, cbsGrayed}) {
      DrawEditCheck(canvas.get(), TRect(2, 2, 15, 15), state, ecsPressed, strip.get(), count, ebsSingle, false,
                    clWindowFrame, clWindow, true, false, false, true);
      const Integer index = GetEditCheckGlyphIndex(state, ecsPressed, true, count);
      ASSERT_LT(index, count);
      EXPECT_EQ(canvas.At(8, 8), static_cast<TColor>(0x101010 * (index + 1)));
    }
  }
}

TEST_F(CheckPaint, TheThemesCheckBoxPartShowsStateAndCheckState) {
  win::test::StartThemeCallLog();
  PainterCanvas canvas(20, 20);
  for (TcxCheckBoxState state : {cbsUnchecked, cbsChecked, cbsGrayed})
    for (TcxEditCheckState checkState : {ecsNormal, ecsHot, ecsPressed, ecsDisabled})
      DrawEditCheck(canvas.get(), TRect(0, 0, 13, 13), state, checkState, nullptr, 0, ebsSingle, true, clWindowFrame,
                    clWindow, true, false, false, true);
  std::vector<int> states;
  for (const auto& call : win::test::ThemeCalls())
    if (call.Function == "DrawThemeBackground" && call.Class == "Button" && call.Part == 3)
      states.push_back(call.State);
  win::test::StopThemeCallLog();
  EXPECT_EQ(states, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST_F(CheckPaint, TheCaptionStandsBesideTheCheckAndTheFocusFrameHugsIt) {
  PainterCanvas canvas(200, 60);
  const TRect R(0, 0, 121, 21);
  Paint(canvas, kLooks[4], R, Variant(true), Mouse::Away, true, "Option", true);
  // Stand-alone: the check 2 pixels in and centred; the caption 3 pixels
  // after it; the focus frame one pixel around the caption's extent.
  EXPECT_EQ(info->CheckBoxRect, TRect(2, 4, 15, 17));
  EXPECT_EQ(info->TextRect.Left, 18);
  canvas->SetFont(info->Font);
  const Integer width = canvas->TextWidth("Option");
  EXPECT_EQ(info->FocusRect.Left, 17);
  EXPECT_EQ(info->FocusRect.Right, 18 + width + 1);

  properties->SetAlignment(taRightJustify);
  Paint(canvas, kLooks[4], R, Variant(true), Mouse::Away);
  EXPECT_EQ(info->CheckBoxRect, TRect(106, 4, 119, 17));
  EXPECT_EQ(info->TextRect.Right, 103);
  EXPECT_TRUE(cxRectIsEmpty(info->FocusRect));
  // Centred: no caption; in place without a caption the check centres.
  properties->SetAlignment(taCenter);
  Paint(canvas, kLooks[4], R, Variant(true), Mouse::Away, true, "Option", true);
  EXPECT_EQ(info->CheckBoxRect, TRect(54, 4, 67, 17));
  EXPECT_TRUE(cxRectIsEmpty(info->FocusRect));
  properties->SetAlignment(taLeftJustify);
  Paint(canvas, kLooks[4], R, Variant(true), Mouse::Away, true, "", false, true);
  EXPECT_EQ(info->Alignment, taCenter);
  // Disabled: one more pixel for the embossed caption.
  Paint(canvas, kLooks[4], R, Variant(true), Mouse::Away, false);
  EXPECT_EQ(info->TextRect.Right, 120);
  EXPECT_EQ(info->CheckBoxCheckState, ecsDisabled);
  // Multi-line captions wrap from the top.
  properties->SetMultiLine(true);
  Paint(canvas, kLooks[4], R, Variant(true), Mouse::Away);
  EXPECT_EQ(info->DrawTextFlags & (cxWordBreak | cxSingleLine | cxAlignTop), cxWordBreak | cxAlignTop);
}

TEST_F(CheckPaint, APreviewOfTheKindShowsItsCheckChecked) {
  style = MakeStyle<TcxCheckBoxStyle>(kLooks[4]);
  PainterCanvas canvas(60, 20, clWindow);
  for (const bool preview : {true, false}) {
    TOwned<TcxCustomEditViewData> viewData(properties->CreateViewData(style.get(), true, preview));
    PaintCell(canvas.get(), viewData.get(), info.get(), TRect(2, 2, 58, 18), Variant(false), {}, Mouse::Away);
    EXPECT_EQ(info->CheckBoxState, preview ? cbsChecked : cbsUnchecked) << preview;
  }
}

TEST_F(CheckPaint, ContactSheetOfEveryLookInEveryState) {
  constexpr Integer kLabel = 112, kCell = 84, kRow = 24, kTop = 26;
  const char* const stateNames[] = {"unchecked", "checked", "grayed"};
  const char* const mouseNames[] = {"normal", "hot", "pressed", "disabled"};
  const Variant values[] = {Variant(false), Variant(true), Null()};
  const Look looks[] = {kLooks[0], kLooks[1], {"single", lfStandard, false, ebsSingle, btsDefault},
                        {"thick", lfStandard, false, ebsThick, btsDefault}, kLooks[4], kLooks[5], kLooks[6]};
  const TcxCheckBoxNullValueShowingStyle nulls[] = {nssGrayedChecked, nssInactive, nssUnchecked};
  const Integer rowsCount = static_cast<Integer>(std::size(looks)) + 2 * 3 + 3 + 4 + 3;
  PainterCanvas sheet(kLabel + 12 * kCell + 8, kTop + rowsCount * kRow + 8, static_cast<TColor>(0xF0F0F0));
  for (Integer s = 0; s < 3; ++s) {
    Label(sheet.get(), stateNames[s], TRect(kLabel + s * 4 * kCell, 0, kLabel + (s + 1) * 4 * kCell, 12),
          cxAlignHCenter);
    for (Integer m = 0; m < 4; ++m)
      Label(sheet.get(), mouseNames[m],
            TRect(kLabel + (s * 4 + m) * kCell, 12, kLabel + (s * 4 + m + 1) * kCell, 24), cxAlignHCenter);
  }
  Integer row = 0;
  auto paintRow = [&](const std::string& ALabel, const Look& ALook, bool AInplace = false) {
    const Integer top = kTop + row++ * kRow;
    Label(sheet.get(), ALabel, TRect(4, top, kLabel, top + 20));
    for (Integer s = 0; s < 3; ++s)
      for (Integer m = 0; m < 4; ++m) {
        const Integer left = kLabel + (s * 4 + m) * kCell;
        const TRect R(left, top, left + kCell - 6, top + 20);
        if (AInplace) sheet->FrameRect(cxRectInflate(R, 1, 1), clBtnShadow);
        const Mouse mouse = m == 1 ? Mouse::Over : m == 2 ? Mouse::Down : Mouse::Away;
        Paint(sheet, ALook, R, values[s], mouse, m != 3, AInplace ? "" : "Option", false, AInplace);
      }
  };
  for (const Look& look : looks) paintRow(look.Name, look);
  for (const Look& look : {kLooks[4], kLooks[0]})
    for (TcxCheckBoxNullValueShowingStyle null : nulls) {
      properties->SetNullStyle(null);
      const char* const nullNames[] = {"unchecked", "inactive", "grayed checked"};
      paintRow(std::string(look.Name) + ", null " + nullNames[null], look);
    }
  properties->SetNullStyle(nssGrayedChecked);
  for (Integer count : {6, 4, 2}) {
    TOwned<TBitmap> strip(cxCreateBitmap(count * 13, 13));
    TCanvas* c = strip->GetCanvas();
    c->GetBrush()->SetColor(static_cast<TColor>(0xFF00FF));
    c->FillRect(TRect(0, 0, count * 13, 13));
    // A rounded green box (blue in the pressed row): empty, holding a dot,
    // half filled.
    for (Integer i = 0; i < count; ++i) {
      const TRect cell(i * 13 + 1, 1, i * 13 + 12, 12);
      c->GetBrush()->SetColor(i >= 3 ? static_cast<TColor>(0xA05000) : static_cast<TColor>(0x208020));
      c->FillRect(cell);
      c->GetBrush()->SetColor(clWhite);
      c->FillRect(cxRectInflate(cell, -2, -2));
      c->GetBrush()->SetColor(i >= 3 ? static_cast<TColor>(0xA05000) : static_cast<TColor>(0x208020));
      if (i % 3 == 1) c->FillRect(cxRectInflate(cell, -4, -4));
      if (i % 3 == 2) c->FillRect(TRect(cell.Left + 2, cell.Top + 6, cell.Right - 2, cell.Bottom - 2));
    }
    strip->SetTransparentColor(static_cast<TColor>(0xFF00FF));
    properties->SetGlyph(strip.get());
    properties->SetGlyphCount(count);
    paintRow("strip of " + std::to_string(count), kLooks[4]);
  }
  properties->SetGlyph(nullptr);
  for (const Look& look : {kLooks[0], kLooks[4], kLooks[5], kLooks[6]}) paintRow(std::string("in place, ") + look.Name, look, true);

  // Captions: left, right, centred; one line and wrapped; focused.
  const Integer top = kTop + row * kRow + 4;
  const TAlignment alignments[] = {taLeftJustify, taRightJustify, taCenter};
  for (Integer a = 0; a < 3; ++a)
    for (Integer multi = 0; multi < 2; ++multi) {
      properties->SetAlignment(alignments[a]);
      properties->SetMultiLine(multi == 1);
      const Integer left = kLabel + (a * 2 + multi) * 2 * kCell;
      const TRect R(left, top, left + 2 * kCell - 12, top + (multi ? 34 : 20));
      Paint(sheet, kLooks[4], R, Variant(true), Mouse::Away, true,
            multi ? "A caption long enough to wrap" : "A caption", true);
    }
  Label(sheet.get(), "captions", TRect(4, top, kLabel, top + 20));
  EXPECT_TRUE(win::SaveBitmapPng(sheet.Bitmap()->GetHandle(), "CheckBoxSheet.png"));
}

}  // namespace
