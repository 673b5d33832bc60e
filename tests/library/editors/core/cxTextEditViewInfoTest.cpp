// Text editor layout and drawing: digit grouping (also while typing), the
// text of an inactive editor drawn where the inner edit would show it, the
// selection colours, an empty editor, the content sizes a grid asks for and
// when the focus rectangle shows. Glyph pixels are checked in monochrome
// text mode.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "library/editors/EditTestDoubles.h"
#include "library/editors/EditorSession.h"
#include "library/editors/core/cxTextEditViewInfo.h"
#include "library/foundation/PainterCanvas.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Recorder.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/Owned.h"

// An editor control as the text view sees it: focus and an open popup are
// set by the test.
class TTextViewEdit : public TcxContainer, public IcxEditViewControl {
  ORV_CLASS(TTextViewEdit, TcxContainer)
 public:
  explicit TTextViewEdit(TComponent* AOwner) : TcxContainer(AOwner) {}
  bool Focus = false;
  bool Popup = false;
  bool InnerEditShown = false;

  TcxContainer* GetEditControl() override { return this; }
  bool InternalFocused() override { return Focus; }
  bool HasBackground() override { return false; }
  bool IsDBEditPaintCopyDrawing() override { return false; }
  Integer GetCaptureButtonVisibleIndex() override { return -1; }
  bool IsButtonDC(win::HDC) override { return false; }
  bool IsTransparent() override { return false; }
  bool IsNativeBackground() override { return false; }
  bool HasPopupWindow() override { return Popup; }
  bool IsEditClass() override { return InnerEditShown; }

 protected:
  TcxContainerStyleClass GetStyleClass() override { return TcxEditStyle::StaticClass(); }
};
inline ORV_REGISTER(TTextViewEdit)

namespace {

// A numeric editor being typed into.
struct TypingEdit : IcxTextEditDigitGroupsEdit {
  AnsiString Text;
  Integer SelStart = 0;
  Integer Updates = 0;
  AnsiString GetText() override { return Text; }
  Integer GetSelStart() override { return SelStart; }
  void SetSelStart(Integer Value) override { SelStart = Value; }
  void SetInternalDisplayValue(const Variant& Value) override {
    Text = VarToStr(Value);
    ++Updates;
  }
  // Types C at the caret, then regroups as the editor does.
  void Type(char C) {
    Text.insert(static_cast<std::size_t>(SelStart), 1, C);
    ++SelStart;
    SeparateDigitGroups(this);
  }
};

TEST(DigitGroups, IntegerDigitsAreGroupedAndEverythingElseKept) {
  EXPECT_EQ(InsertThousandSeparator("1234"), "1,234");
  EXPECT_EQ(InsertThousandSeparator("123"), "123");
  EXPECT_EQ(InsertThousandSeparator("  12345  "), "  12,345  ");
  EXPECT_EQ(InsertThousandSeparator("-123456"), "-123,456") << "no separator after the sign";
  EXPECT_EQ(InsertThousandSeparator("1234567.5"), "1,234,567.5");
  EXPECT_EQ(InsertThousandSeparator("1.5E10"), "1.5E10");
  EXPECT_EQ(InsertThousandSeparator("12345e-7"), "12,345e-7") << "the exponent stays after the digits";
  EXPECT_EQ(InsertThousandSeparator("1,2,3,4"), "1,234") << "old separators are taken out first";
  EXPECT_EQ(InsertThousandSeparator(""), "");
  EXPECT_EQ(InsertThousandSeparator("   "), "   ");
  {
    ScopedLocale de("de-DE");
    EXPECT_EQ(InsertThousandSeparator("1234567,5"), "1.234.567,5");
    AnsiString S = "1.234.567,5";
    RemoveThousandSeparator(S);
    EXPECT_EQ(S, "1234567,5");
  }
}

TEST(DigitGroups, TypingRegroupsWithTheCaretAfterTheSameDigit) {
  TypingEdit edit;
  edit.Text = "123";
  edit.SelStart = 3;
  edit.Type('4');
  EXPECT_EQ(edit.Text, "1,234");
  EXPECT_EQ(edit.SelStart, 5) << "still at the end";

  // In the middle: 12|3,456 plus 9 is 1,29|3,456.
  edit.Text = "123,456";
  edit.SelStart = 2;
  edit.Type('9');
  EXPECT_EQ(edit.Text, "1,293,456");
  EXPECT_EQ(edit.SelStart, 4);

  // A text that is no number is left as typed.
  edit.Text = "12a";
  edit.SelStart = 3;
  const Integer updates = edit.Updates;
  edit.Type('4');
  EXPECT_EQ(edit.Text, "12a4");
  EXPECT_EQ(edit.Updates, updates);
}

class TextEditViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousMode = win::GetTextRenderMode();
    win::SetTextRenderMode(win::TextRenderMode::Monochrome);
  }
  void TearDown() override { win::SetTextRenderMode(previousMode); }

  edit_test::EditorSession session;
  win::TextRenderMode previousMode{};
  TOwned<TcxTextEditProperties> properties{New<TcxTextEditProperties>(nullptr)};
  TOwned<TcxEditStyle> style{New<TcxEditStyle>(nullptr, false)};
  TOwned<TcxCustomTextEditViewInfo> info{New<TcxCustomTextEditViewInfo>()};
  PainterCanvas canvas{200, 60};

  TOwned<TcxCustomTextEditViewData> MakeViewData(bool AInplace) {
    return TOwned<TcxCustomTextEditViewData>(
        static_cast<TcxCustomTextEditViewData*>(properties->CreateViewData(style.get(), AInplace)));
  }
  void Show(TcxCustomTextEditViewData* AData, const AnsiString& AText, const TRect& ABounds) {
    AData->Calculate(canvas.get(), ABounds, {-1, -1}, cxmbNone, {}, info.get(), false);
    AData->EditValueToDrawValue(canvas.get(), AText, info.get());
  }
  std::string PaintRecorded() {
    const win::HDC dc = canvas->GetHandle();
    win::GdiStartRecording(dc);
    info->Paint(canvas.get());
    std::string log = win::GdiRecording(dc);
    win::GdiStopRecording(dc);
    return log;
  }
  // Pixels of AColor inside R.
  Integer Count(const TRect& R, TColor AColor) {
    Integer n = 0;
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x) n += ColorToRGB(canvas.At(x, y)) == ColorToRGB(AColor);
    return n;
  }
  // The rightmost column of R holding a pixel of AColor, or -1.
  Integer RightmostInk(const TRect& R, TColor AColor) {
    for (Integer x = R.Right - 1; x >= R.Left; --x)
      if (Count(TRect(x, R.Top, x + 1, R.Bottom), AColor) > 0) return x;
    return -1;
  }
};

TEST_F(TextEditViewTest, AnInactiveRightAlignedEditorDrawsItsTextThroughTheTextLayout) {
  auto data = MakeViewData(false);
  data->HorzAlignment = taRightJustify;
  Show(data.get(), "1,234.50", {0, 0, 120, 24});
  EXPECT_EQ(info->Text, "1,234.50");
  EXPECT_EQ(static_cast<Cardinal>(info->DrawTextFlags),
            cxMakeFormat(taRight, taTop) | cxtfSingleLine | cxtfKeepTop | cxtfKeepLeft);
  const TRect client = info->ClientRect;
  const TRect textRect = info->TextRect;
  EXPECT_EQ(textRect, TRect(client.Left + 1, client.Top + 1, client.Right - 1, client.Bottom - 3));

  const std::string log = PaintRecorded();
  const std::size_t at = log.find("\"1,234.50\"");
  ASSERT_NE(at, std::string::npos) << log;
  const std::size_t lineStart = log.rfind('\n', at) + 1;
  const std::string line = log.substr(lineStart, log.find('\n', at) - lineStart);
  EXPECT_EQ(line.rfind("ExtTextOut(", 0) == 0 || line.rfind("TextOut(", 0) == 0, true) << line;
  EXPECT_EQ(log.find("DrawFocusRect"), std::string::npos) << "not focused";

  // The ink ends at the text rectangle's right edge, within a glyph's side bearing.
  canvas->SetFont(info->Font);
  const Integer width = canvas->TextWidth("1,234.50");
  Integer x = 0, y = 0;
  ASSERT_EQ(std::sscanf(line.c_str() + line.find('(') + 1, "%d,%d", &x, &y), 2) << line;
  EXPECT_EQ(x + width, textRect.Right) << line;
  EXPECT_EQ(y, textRect.Top);
  const Integer right = RightmostInk(textRect, info->TextColor);
  EXPECT_LT(right, textRect.Right);
  EXPECT_GE(right, textRect.Right - 3);

  // The same text given straight to the text layout looks the same.
  PainterCanvas direct{200, 60};
  direct->SetBrushColor(info->BackgroundColor);
  direct->FillRect(TRect(0, 0, 200, 60));
  direct->SetFont(info->Font);
  direct->GetFont()->SetColor(info->TextColor);
  TRect R = textRect;
  cxTextOut(direct.get(), "1,234.50", R, static_cast<Cardinal>(info->DrawTextFlags));
  for (Integer py = textRect.Top; py < textRect.Bottom; ++py)
    for (Integer px = textRect.Left; px < textRect.Right; ++px)
      ASSERT_EQ(ColorToRGB(canvas.At(px, py)), ColorToRGB(direct.At(px, py))) << px << "," << py;
}

TEST_F(TextEditViewTest, AnEmptyTextDrawsOnlyTheBackgroundAndTheFrame) {
  auto data = MakeViewData(false);
  Show(data.get(), "", {0, 0, 120, 24});
  const std::string log = PaintRecorded();
  EXPECT_EQ(log.find("TextOut"), std::string::npos) << log;
  EXPECT_EQ(log.find("DrawText"), std::string::npos) << log;
  const TRect client = info->ClientRect;
  EXPECT_EQ(Count(client, info->BackgroundColor), cxRectWidth(client) * cxRectHeight(client));

  // With a password echo the text is stars, never the value.
  properties->SetEchoMode(eemPassword);
  data->InitCacheData();
  Show(data.get(), "abc", {0, 0, 120, 24});
  EXPECT_EQ(info->Text, "***");
}

TEST_F(TextEditViewTest, SelectionColoursGivenInHalfAreCompletedByTheInverse) {
  EXPECT_EQ(InvertColor(TColor(0x00FFFF)), TColor(0xFF0000));

  auto data = MakeViewData(false);
  data->SelStart = 0;
  data->SelLength = 3;
  data->SelBackgroundColor = TColor(0x00FFFF);
  Show(data.get(), "WWWWWW", {0, 0, 160, 24});
  EXPECT_EQ(info->SelBackgroundColor, TColor(0x00FFFF));
  EXPECT_EQ(info->SelTextColor, TColor(0xFF0000)) << "the background's inverse";
  PaintRecorded();

  canvas->SetFont(info->Font);
  const Integer split = info->TextRect.Left + canvas->TextWidth("WWW");
  const TRect selected(info->TextRect.Left, info->TextRect.Top, split, info->TextRect.Bottom);
  const TRect rest(split, info->TextRect.Top, info->TextRect.Right, info->TextRect.Bottom);
  EXPECT_GT(Count(selected, TColor(0xFF0000)), 0) << "selected glyphs in the inverse";
  EXPECT_GT(Count(selected, TColor(0x00FFFF)), 0);
  EXPECT_EQ(Count(selected, info->TextColor), 0);
  EXPECT_GT(Count(rest, info->TextColor), 0) << "the rest in the text colour";
  EXPECT_EQ(Count(rest, TColor(0xFF0000)), 0);

  // A text colour alone gets its inverse as background.
  data->SelBackgroundColor = clDefault;
  data->SelTextColor = TColor(0x0000FF);
  Show(data.get(), "WWWWWW", {0, 0, 160, 24});
  EXPECT_EQ(info->SelBackgroundColor, TColor(0xFFFF00));
  // Neither: the highlight colours, unless the editor itself is highlight-coloured.
  data->SelTextColor = clDefault;
  Show(data.get(), "WWWWWW", {0, 0, 160, 24});
  EXPECT_EQ(info->SelBackgroundColor, clHighlight);
  EXPECT_EQ(info->SelTextColor, clHighlightText);
  style->SetColor(clHighlight);
  Show(data.get(), "WWWWWW", {0, 0, 160, 24});
  EXPECT_EQ(info->SelBackgroundColor, TColor(0));
  EXPECT_EQ(info->SelTextColor, TColor(0xFFFFFF));

  // A selection starting beyond the text draws none.
  style->SetColor(clWindow);
  data->SelStart = 6;
  data->SelBackgroundColor = TColor(0x00FFFF);
  Show(data.get(), "WWWWWW", {0, 0, 160, 24});
  PaintRecorded();
  EXPECT_EQ(Count(info->TextRect, TColor(0x00FFFF)), 0);
}

TEST_F(TextEditViewTest, ContentSizesForTheGrid) {
  auto cell = MakeViewData(false);
  canvas->SetFont(style->GetVisibleFont());
  const Integer zg = canvas->TextHeight("Zg");
  const Cardinal singleLine = static_cast<Cardinal>(cell->GetDrawTextFlags());
  // Stand-alone offsets: 1 left, 1 top, 1 right, 3 bottom.
  TcxEditSizeProperties free;
  EXPECT_EQ(GetTextEditContentSize(canvas.get(), cell.get(), "Hello", singleLine, free),
            TSize(canvas->TextWidth("Hello") + 2, zg + 4));
  EXPECT_EQ(GetTextEditContentSize(canvas.get(), cell.get(), "", singleLine, free), TSize(2, zg + 4));

  // Several rows without a width limit: the longest row.
  const Cardinal multiLine = singleLine & ~cxtfSingleLine;
  EXPECT_EQ(GetTextEditContentSize(canvas.get(), cell.get(), "ab\r\nlonger row", multiLine, free).cx,
            canvas->TextWidth("longer row") + 2);
  EXPECT_EQ(GetTextEditContentSize(canvas.get(), cell.get(), "ab\r\nlonger row", multiLine, free, 2).cy,
            2 * zg + 4);

  // A given width wraps words into rows of "Zg" height.
  TcxEditSizeProperties narrow;
  narrow.Width = canvas->TextWidth("alpha") + 4;
  const TSize wrapped = GetTextEditContentSize(canvas.get(), cell.get(), "alpha beta gamma", singleLine, narrow);
  EXPECT_EQ(wrapped.cx, narrow.Width);
  EXPECT_EQ(wrapped.cy, 3 * zg + 4);
  narrow.MaxLineCount = 2;
  EXPECT_EQ(GetTextEditContentSize(canvas.get(), cell.get(), "alpha beta gamma", singleLine, narrow).cy, 2 * zg + 4);
  EXPECT_EQ(GetTextEditContentSize(canvas.get(), cell.get(), "alpha", singleLine, narrow, 3),
            TSize(narrow.Width, 3 * zg + 4));

  // An empty text is one row high, or nothing under epoAllowZeroHeight.
  EXPECT_EQ(GetTextEditContentSize(canvas.get(), cell.get(), "", singleLine, narrow).cy, zg + 4);
  cell->PaintOptionsBase += epoAllowZeroHeight;
  EXPECT_EQ(GetTextEditContentSize(canvas.get(), cell.get(), "", singleLine, narrow), TSize(narrow.Width, 0));
  TcxEditSizeProperties none;
  none.Width = 0;
  EXPECT_EQ(GetTextEditContentSize(canvas.get(), cell.get(), "", singleLine, none), TSize(0, 0));
  EXPECT_EQ(GetTextEditContentSize(canvas.get(), cell.get(), "x", singleLine, none), TSize(0, zg + 4));

  // The fixed offsets the grid uses.
  EXPECT_EQ(GetTextEditDrawTextOffset(taRightJustify, false), TRect(1, 1, 1, 3));
  EXPECT_EQ(GetTextEditDrawTextOffset(taLeftJustify, true), TRect(1, 1, 1, 1));
}

TEST_F(TextEditViewTest, TheFocusRectangleShowsOnlyForAFocusedStandAloneEditorDrawingItsOwnText) {
  TOwned<TTextViewEdit> edit(New<TTextViewEdit>(nullptr));
  auto data = MakeViewData(false);
  data->Edit = edit.get();
  auto focusDrawn = [&](TcxCustomTextEditViewData* AData) {
    Show(AData, "text", {0, 0, 120, 24});
    return PaintRecorded().find("DrawFocusRect") != std::string::npos;
  };

  EXPECT_FALSE(focusDrawn(data.get())) << "not focused";
  edit->Focus = true;
  EXPECT_TRUE(focusDrawn(data.get()));
  edit->Popup = true;
  EXPECT_FALSE(focusDrawn(data.get())) << "a popup is open";
  EXPECT_TRUE(info->HasPopupWindow);
  edit->Popup = false;

  // The inner edit shown: it draws the text and the caret, the view nothing.
  edit->InnerEditShown = true;
  const std::string log = [&] {
    Show(data.get(), "text", {0, 0, 120, 24});
    return PaintRecorded();
  }();
  EXPECT_TRUE(info->IsEditClass);
  EXPECT_EQ(log.find("DrawFocusRect"), std::string::npos);
  EXPECT_EQ(log.find("\"text\""), std::string::npos);
  edit->InnerEditShown = false;
  EXPECT_TRUE(focusDrawn(data.get())) << "a hidden inner edit leaves the drawing to the view";

  auto cell = MakeViewData(true);
  cell->Edit = edit.get();
  EXPECT_FALSE(focusDrawn(cell.get())) << "in place";
}

TEST_F(TextEditViewTest, AHintIsOfferedOnlyForATextThatDoesNotFit) {
  auto cell = MakeViewData(true);
  auto hint = [&](const AnsiString& AText, TPoint P, AnsiString& AHint) {
    Show(cell.get(), AText, {0, 0, 60, 18});
    bool multiLine = true;
    TRect hintRect;
    AHint.clear();
    return info->NeedShowHint(canvas.get(), P, TRect(), AHint, multiLine, hintRect);
  };
  AnsiString shown;
  EXPECT_FALSE(hint("short", {5, 5}, shown));
  EXPECT_TRUE(hint("a text far too long for the cell", {5, 5}, shown));
  EXPECT_EQ(shown, "a text far too long for the cell");
  EXPECT_FALSE(hint("a text far too long for the cell", {100, 5}, shown)) << "the mouse is outside the text";
}

}  // namespace
