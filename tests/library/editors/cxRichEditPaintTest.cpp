// The rich text editor painted pixel by pixel: a cell without an editor
// window drawn by the renderer into its cached bitmap in every look, with
// its bold and coloured runs; the bitmap kept while the size stays and
// made again when it changes; no cell showing the one painted before it;
// plain-text and memo-mode cells; cells measured for a width; the editor
// itself focused and not, with both bars and their corner, and in place
// over a cell. The contact
// sheet (RichEditSheet.png in the build folder) shows all of it.
#include <gtest/gtest.h>

#include "ConcretePaint.h"
#include "library/editors/cxRichEdit.h"
#include "library/editors/cxRichEditRenderer.h"
#include "platform/forms/Application.h"
#include "platform/forms/Bitmap.h"
#include "platform/gdi/PngWriter.h"
#include "platform/gdi/Recorder.h"

using namespace edit_paint;

namespace {

// Black, red, blue and green runs as the front end's log writes them.
const char* const kLogRtf =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}"
    "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green128\\blue0;}"
    "\\f0\\fs20\\cf1 Map {\\b ready} \\cf2 ERROR\\cf1  at \\cf3 tile 7\\cf1\\par \\cf4 done\\cf1  in 3 s}";

constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x008000;

class RichPaint : public edit_test::ConcreteEditorTest {
 protected:
  TOwned<TcxRichEditProperties> properties{New<TcxRichEditProperties>(nullptr)};
  TOwned<TcxCustomRichEditViewInfo> info{New<TcxCustomRichEditViewInfo>()};

  // Paints a cell of ALook holding AValue at R of the canvas.
  void PaintRichCell(PainterCanvas& ACanvas, const Look& ALook, const TRect& R, const Variant& AValue) {
    const Look cell{ALook.Name, ALook.Kind, ALook.Native, ebsNone, btsDefault};
    TOwned<TcxEditStyle> style = MakeStyle(cell);
    TOwned<TcxCustomEditViewData> viewData(properties->CreateViewData(style.get(), true));
    viewData->ContentOffset = TRect(1, 1, 1, 1);
    PaintCell(ACanvas.get(), viewData.get(), info.get(), R, AValue, {-1, -1}, Mouse::Away);
  }
  static bool Has(PainterCanvas& ACanvas, const TRect& R, TColor AColor) {
    return !cxRectIsEmpty(ColorBox(ACanvas, R, AColor));
  }
  Integer Measure(const Variant& AValue, Integer AWidth) {
    TOwned<TcxEditStyle> style = MakeStyle(kLooks[0]);
    TcxEditSizeProperties size;
    size.Width = AWidth;
    size.Height = -1;
    size.MaxLineCount = 0;
    return properties->GetEditSize(cxScreenCanvas(), style.get(), true, AValue, size).cy;
  }
};

TEST_F(RichPaint, CellsShowTheirRunsThroughTheRendererInEveryLook) {
  MonochromeText mono;
  const TRect cell(4, 4, 244, 44);
  for (const Look& look : {kLooks[0], kLooks[1], kLooks[4], kLooks[5], kLooks[6]}) {
    SCOPED_TRACE(look.Name);
    PainterCanvas canvas(250, 50);
    PaintRichCell(canvas, look, cell, Variant(AnsiString(kLogRtf)));
    EXPECT_TRUE(Has(canvas, cell, kRed));
    EXPECT_TRUE(Has(canvas, cell, kBlue));
    EXPECT_TRUE(Has(canvas, cell, kGreen));
    // The bold word is wider than the same letters plain would be: its
    // black pixels reach past where "ready" in plain letters would end.
    const TRect black = ColorBox(canvas, TRect(cell.Left, cell.Top, cell.Left + 60, cell.Top + 16), clBlack);
    EXPECT_FALSE(cxRectIsEmpty(black));
    // The second paragraph is below the first, in the cell.
    const TRect green = ColorBox(canvas, cell, kGreen);
    EXPECT_GT(green.Top, ColorBox(canvas, cell, kRed).Bottom - 2);
  }

  // The bitmap stays while the size does and is made again for another.
  PainterCanvas canvas(250, 80);
  PaintRichCell(canvas, kLooks[4], cell, Variant(AnsiString(kLogRtf)));
  TBitmap* first = info->GetRenderedBitmap();
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(info->RenderAgain);
  PaintRichCell(canvas, kLooks[4], cxRectOffset(cell, 0, 30), Variant(AnsiString(kLogRtf)));
  EXPECT_EQ(info->GetRenderedBitmap(), first);
  // Painted again without a new layout, the cell copies its bitmap and
  // renders nothing: the bitmap's device context draws nothing, the
  // canvas's only the copy.
  const win::HDC bitmapDC = first->GetCanvas()->GetHandle();
  win::GdiStartRecording(bitmapDC);
  win::GdiStartRecording(canvas->GetHandle());
  info->PaintEx(canvas.get());
  const std::string onCanvas = win::GdiRecording(canvas->GetHandle());
  EXPECT_EQ(win::GdiRecording(bitmapDC), "");
  EXPECT_NE(onCanvas.find("Blt("), std::string::npos) << onCanvas;
  EXPECT_EQ(onCanvas.find("TextOut"), std::string::npos) << onCanvas;
  win::GdiStopRecording(canvas->GetHandle());
  // A new layout renders into the same bitmap again.
  PaintRichCell(canvas, kLooks[4], cxRectOffset(cell, 0, 30), Variant(AnsiString(kLogRtf)));
  EXPECT_NE(win::GdiRecording(bitmapDC).find("TextOut"), std::string::npos);
  win::GdiStopRecording(bitmapDC);
  PaintRichCell(canvas, kLooks[4], TRect(4, 4, 200, 70), Variant(AnsiString(kLogRtf)));
  ASSERT_NE(info->GetRenderedBitmap(), nullptr);
  EXPECT_EQ(info->GetRenderedBitmap()->GetWidth(), info->TextRect.Right - info->TextRect.Left);
  EXPECT_EQ(info->GetRenderedBitmap()->GetHeight(), info->TextRect.Bottom - info->TextRect.Top);

  // A cell never shows the one painted before it: plain text after rich
  // text is in the cell's own colour, and rich text in memo mode is
  // nothing at all.
  PainterCanvas plain(250, 50);
  properties->SetPlainText(true);
  PaintRichCell(plain, kLooks[4], cell, Variant(AnsiString("plain\r\nsecond line")));
  EXPECT_FALSE(Has(plain, cell, kRed));
  EXPECT_TRUE(Has(plain, cell, clBlack));
  properties->SetPlainText(false);
  properties->SetMemoMode(true);
  PainterCanvas memo(250, 50);
  PaintRichCell(memo, kLooks[4], cell, Variant(AnsiString(kLogRtf)));
  EXPECT_FALSE(Has(memo, cell, clBlack));
  EXPECT_FALSE(Has(memo, cell, kRed));
  PaintRichCell(memo, kLooks[4], cell, Variant(AnsiString("memo text")));
  EXPECT_TRUE(Has(memo, cell, clBlack));
}

TEST_F(RichPaint, CellsMeasureTheirLinesAndWithoutAnApplicationOneLine) {
  const Integer one = Measure(Variant(AnsiString("{\\rtf1 one}")), 200);
  const Integer three = Measure(Variant(AnsiString("{\\rtf1 one\\par two\\par three}")), 200);
  EXPECT_GT(one, 8);
  // Two more lines of the same height.
  EXPECT_GE(three - one, 2 * (one - 6));
  EXPECT_LE(three - one, 2 * one);
  // A narrow cell wraps the words onto more lines.
  EXPECT_GT(Measure(Variant(AnsiString("{\\rtf1 one two three four five six}")), 40), one * 2);

  // No application: no renderer to make, cells paint their background and
  // measure as one line, and nothing raises.
  cxFreeRichRenderer();
  TApplication* application = Application;
  Application = nullptr;
  const Integer bare = Measure(Variant(AnsiString("{\\rtf1 one\\par two\\par three}")), 200);
  PainterCanvas canvas(250, 50, clWhite);
  PaintRichCell(canvas, kLooks[4], TRect(4, 4, 244, 44), Variant(AnsiString(kLogRtf)));
  Application = application;
  TOwned<TcxMemoProperties> memoProperties(New<TcxMemoProperties>(nullptr));
  TOwned<TcxEditStyle> style = MakeStyle(kLooks[0]);
  TcxEditSizeProperties size;
  size.Width = 200;
  size.Height = -1;
  EXPECT_EQ(bare, memoProperties->GetEditSize(cxScreenCanvas(), style.get(), true, Variant(AnsiString("x")), size).cy);
  EXPECT_FALSE(Has(canvas, TRect(4, 4, 244, 44), kRed));
  EXPECT_EQ(info->GetRenderedBitmap(), nullptr);
}

// Pages take whole lines: a heading taller than the inch measured at a
// time, or than the cell, is measured whole with the lines after it, and
// shown as far as the cell reaches, instead of ending the text there.
TEST_F(RichPaint, LinesTallerThanThePageAreMeasuredAndShown) {
  const Integer one = Measure(Variant(AnsiString("{\\rtf1 one}")), 200);
  const Integer heading = Measure(Variant(AnsiString("{\\rtf1 {\\fs160 Big}}")), 200);
  EXPECT_GT(heading, 96);  // an 80-point line: more than an inch at 96 dots
  // Two lines of the usual height after it, or around it.
  for (const char* rtf : {"{\\rtf1 {\\fs160 Big}\\par two\\par three}", "{\\rtf1 one\\par {\\fs160 Big}\\par three}"}) {
    const Integer all = Measure(Variant(AnsiString(rtf)), 200);
    EXPECT_GE(all - heading, 2 * (one - 6)) << rtf;
    EXPECT_LE(all - heading, 2 * one) << rtf;
  }
  // A cell lower than the heading shows its top.
  PainterCanvas canvas(250, 50, clWhite);
  PaintRichCell(canvas, kLooks[4], TRect(4, 4, 244, 44),
                Variant(AnsiString("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1\\fs160 Big\\par two}")));
  EXPECT_TRUE(Has(canvas, TRect(4, 4, 244, 44), kRed));
}

TEST_F(RichPaint, ContactSheetOfCellsAndTheEditor) {
  MonochromeText mono;
  constexpr Integer kLabel = 100, kCellWidth = 250, kRow = 54;
  PainterCanvas sheet(kLabel + 2 * kCellWidth + 30, 16 + 5 * kRow + 190, static_cast<TColor>(0xF0F0F0));
  Label(sheet.get(), "rich", TRect(kLabel, 0, kLabel + kCellWidth, 12), cxAlignHCenter);
  Label(sheet.get(), "plain text / memo mode", TRect(kLabel + kCellWidth + 10, 0, kLabel + 2 * kCellWidth, 12),
        cxAlignHCenter);
  Integer top = 16;
  for (const Look& look : {kLooks[0], kLooks[1], kLooks[4], kLooks[5], kLooks[6]}) {
    Label(sheet.get(), look.Name, TRect(4, top, kLabel, top + 20));
    const TRect rich(kLabel, top, kLabel + kCellWidth - 10, top + 44);
    sheet->FrameRect(cxRectInflate(rich, 1, 1), clBtnShadow);
    PaintRichCell(sheet, look, rich, Variant(AnsiString(kLogRtf)));
    const TRect other = cxRectOffset(rich, kCellWidth, 0);
    sheet->FrameRect(cxRectInflate(other, 1, 1), clBtnShadow);
    const bool memo = &look != &kLooks[0] && look.Kind == lfUltraFlat;
    properties->SetMemoMode(memo);
    properties->SetPlainText(!memo);
    PaintRichCell(sheet, look, other, Variant(AnsiString(memo ? "memo mode\r\nsecond" : "{\\rtf1 as typed}")));
    properties->SetMemoMode(false);
    properties->SetPlainText(false);
    top += kRow;
  }

  // The editor itself, unfocused and focused, with both bars: the corner
  // between them is filled.
  auto* editor = Make<TcxRichEdit>({10, 10, 190, 110});
  auto* other = Make<TcxRichEdit>({200, 10, 380, 110});
  for (TcxRichEdit* edit : {editor, other}) {
    edit->GetProperties()->SetScrollBars(ssBoth);
    edit->GetProperties()->SetWordWrap(false);
    AnsiString value = "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}";
    for (int i = 0; i < 10; ++i)
      value += "line " + std::to_string(i) + " {\\b bold} \\cf1 red\\cf0  and a tail that runs past the edge\\par ";
    edit->SetEditValue(Variant(value + "}"));
  }
  Show();
  Focus(other);
  GrabWindow(editor, sheet.get(), TPoint(kLabel, top));
  GrabWindow(other, sheet.get(), TPoint(kLabel + kCellWidth, top));
  Label(sheet.get(), "editor", TRect(4, top, kLabel, top + 20));
  TcxScrollBar* vert = editor->GetInnerScrollBar(sbVertical);
  TcxScrollBar* horz = editor->GetInnerScrollBar(sbHorizontal);
  ASSERT_TRUE(vert && horz && vert->GetVisible() && horz->GetVisible());
  const TPoint corner(kLabel + vert->GetLeft() + 2, top + horz->GetTop() + 2);
  EXPECT_EQ(sheet.At(corner.X, corner.Y), ColorToRGB(clBtnFace));
  // The window shows the runs, focused or not.
  const TRect shown(kLabel, top, kLabel + 160, top + 80);
  EXPECT_TRUE(Has(sheet, shown, kRed));
  EXPECT_TRUE(Has(sheet, cxRectOffset(shown, kCellWidth, 0), kRed));

  // In place: the pooled editor over a cell shows the runs in its window,
  // and the grid takes rich text back.
  top += 110;
  auto* row = Row<TcxRichEditProperties>();
  TcxCustomEdit* inplace = Open(row, Variant(AnsiString(kLogRtf)));
  inplace->SetBoundsRect({20, 10, 260, 60});
  Pump();
  ASSERT_TRUE(inplace->IsFocused());
  Label(sheet.get(), "in place", TRect(4, top, kLabel, top + 20));
  GrabWindow(inplace, sheet.get(), TPoint(kLabel, top));
  EXPECT_TRUE(Has(sheet, TRect(kLabel, top, kLabel + 240, top + 50), kRed));
  EXPECT_TRUE(Has(sheet, TRect(kLabel, top, kLabel + 240, top + 50), kGreen));
  Close(inplace);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().substr(0, 10), R"(take {\rtf)");
  EXPECT_TRUE(win::SaveBitmapPng(sheet.Bitmap()->GetHandle(), "RichEditSheet.png"));
}

}  // namespace
