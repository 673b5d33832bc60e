// The memo as a person uses it, through injected keys, mouse and the back
// end's clipboard: lines typed, Enter, Ctrl+Enter and Tab under their
// settings (in a cell, the one that is the cell's Enter), Ctrl+A, the
// length limit wherever the caret stands, the line breaks of pasted text,
// the bars laid over the memo's own, and the first-line display of a cell.
#include <gtest/gtest.h>

#include "ConcreteEditorSession.h"
#include "ConcretePaint.h"
#include "library/editors/cxMemo.h"
#include "platform/gdi/PngWriter.h"
#include "platform/gdi/Recorder.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/ScrollBars.h"

using namespace win;
using namespace edit_paint;

namespace {

class Memo : public edit_test::ConcreteEditorTest {
 protected:
  TcxMemo* MakeMemo(TRect ABounds = {10, 10, 190, 99}) {
    auto* memo = Make<TcxMemo>(ABounds);
    memo->GetProperties()->OnEditValueChanged = [this](TObject* Sender) {
      log.push_back("value " + edit_test::Text(static_cast<TcxMemo*>(Sender)->GetEditValue()));
    };
    return memo;
  }
  static std::string TextOf(TcxMemo* memo) { return memo->GetText(); }
};

TEST_F(Memo, LinesEnterTabAndSelectAllAsTyped) {
  TcxMemo* memo = MakeMemo();
  auto* sink = Make<TcxMemo>({10, 120, 190, 200});
  Show();
  Focus(memo);
  Type("first");
  Press(VK_RETURN);
  Type("second");
  EXPECT_EQ(TextOf(memo), "first\r\nsecond");
  ASSERT_EQ(memo->GetLines()->GetCount(), 2);
  EXPECT_EQ(std::string(memo->GetLines()->Get(1)), "second");
  EXPECT_EQ(memo->GetCaretPos(), TPoint(6, 1));

  // Ctrl+Enter makes a line too, and without WantReturns it is the only
  // key that does.
  Chord(VK_CONTROL, VK_RETURN);
  memo->GetProperties()->SetWantReturns(false);
  Press(VK_RETURN);
  Chord(VK_CONTROL, VK_RETURN);
  Type("x");
  EXPECT_EQ(TextOf(memo), "first\r\nsecond\r\n\r\nx");

  // Tab moves the focus on unless the memo wants it.
  Press(VK_TAB);
  EXPECT_TRUE(sink->IsFocused());
  EXPECT_EQ(TextOf(memo), "first\r\nsecond\r\n\r\nx");
  memo->GetProperties()->SetWantTabs(true);
  Focus(memo);
  memo->SetCaretPos(TPoint(0, 0));
  Press(VK_TAB);
  EXPECT_TRUE(memo->IsFocused());
  EXPECT_EQ(TextOf(memo).substr(0, 6), "\tfirst");

  // Ctrl+A selects everything; Ctrl+Shift+A nothing.
  memo->SetCaretPos(TPoint(2, 1));
  test::KeyDown(VK_CONTROL);
  test::KeyDown(VK_SHIFT);
  test::KeyPress('A');
  test::KeyUp(VK_SHIFT);
  test::KeyUp(VK_CONTROL);
  Pump();
  EXPECT_EQ(memo->GetSelLength(), 0);
  const Integer beeps = test::BeepCount();
  Chord(VK_CONTROL, 'A');
  EXPECT_EQ(memo->GetSelStart(), 0);
  EXPECT_EQ(memo->GetSelLength(), static_cast<Integer>(TextOf(memo).size()));
  EXPECT_EQ(test::BeepCount(), beeps);
}

TEST_F(Memo, LengthLimitCountsTheTextOnBothSidesOfTheCaret) {
  TcxMemo* memo = MakeMemo();
  memo->GetProperties()->SetMaxLength(10);
  Show();
  Focus(memo);
  for (Integer caret : {8, 0, 4}) {
    SCOPED_TRACE(caret);
    memo->SetText("abcdefgh");
    memo->SetSelStart(caret);
    memo->SetSelText("WXYZ");
    // Two of the four fit, wherever the caret stands.
    EXPECT_EQ(TextOf(memo).size(), 10u);
    EXPECT_EQ(TextOf(memo).substr(static_cast<std::size_t>(caret), 2), "WX");
  }
  memo->SetSelStart(3);
  memo->SetSelText("Q");
  EXPECT_EQ(TextOf(memo).size(), 10u);
  // Typing and pasting keep to it too.
  memo->SetText("abcdefgh");
  memo->SetSelStart(1);
  Type("123");
  EXPECT_EQ(TextOf(memo), "a12bcdefgh");
  memo->SetText("abcdefgh");
  memo->SetSelStart(4);
  edit_test::SetClipboardText("PASTED");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(TextOf(memo), "abcdPAefgh");
}

TEST_F(Memo, ClipboardKeysAndTheLineBreaksOfPastedText) {
  TcxMemo* memo = MakeMemo();
  Show();
  Focus(memo);
  Type("one two");
  memo->SetSelStart(0);
  memo->SetSelLength(3);
  Chord(VK_CONTROL, 'C');
  EXPECT_EQ(edit_test::ClipboardText(), "one");
  Chord(VK_CONTROL, 'X');
  EXPECT_EQ(TextOf(memo), " two");
  memo->SetSelStart(4);
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(TextOf(memo), " twoone");

  // LF before CR is two breaks: neither is lost nor doubled beyond that,
  // however many there are (the last pairs lie past the text's first
  // length once it grows).
  memo->SelectAll();
  edit_test::SetClipboardText("a\n\rb\n\rc\n\rd");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(TextOf(memo), "a\r\n\r\nb\r\n\r\nc\r\n\r\nd");
  EXPECT_EQ(NormalizeMemoBreaks("x\r\ny\n\r"), "x\r\ny\r\n\r\n");

  // A read-only memo's cut (the context menu's) copies only.
  memo->GetProperties()->SetReadOnly(true);
  memo->SetSelStart(0);
  memo->SetSelLength(1);
  SendMessageA(memo->GetInnerControl()->GetHandle(), WM_CUT, 0, 0);
  EXPECT_EQ(edit_test::ClipboardText(), "a");
  EXPECT_EQ(TextOf(memo).substr(0, 1), "a");
}

TEST_F(Memo, CtrlZTakesBackAPasteOrACtrlEnterAsItDoesTyping) {
  TcxMemo* memo = MakeMemo();
  Show();
  Focus(memo);
  Type("note");
  edit_test::SetClipboardText(" one\r\ntwo");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(TextOf(memo), "note one\r\ntwo");
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(TextOf(memo), "note");
  // Shift+Insert over a selection, cut to the limit, comes back whole.
  memo->GetProperties()->SetMaxLength(6);
  memo->SetSelStart(1);
  memo->SetSelLength(2);
  Chord(VK_SHIFT, VK_INSERT);
  EXPECT_EQ(TextOf(memo), "n onee");
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(TextOf(memo), "note");
  // Ctrl+Enter, the line break of a memo that leaves Enter to its form.
  memo->GetProperties()->SetMaxLength(0);
  memo->GetProperties()->SetWantReturns(false);
  memo->SetSelStart(4);
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_EQ(TextOf(memo), "note\r\n");
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(TextOf(memo), "note");
}

TEST_F(Memo, InACellEnterMakesALineAndCtrlEnterIsTheCellsEnter) {
  auto* row = Row<TcxMemoProperties>();
  // The grid hears the keys the editor does not keep.
  auto open = [&](const char* AValue) {
    auto* memo = static_cast<TcxMemo*>(Open(row, Variant(AnsiString(AValue))));
    memo->OnKeyDown = [this](TObject*, Word& Key, TShiftState Shift) {
      if (Key == VK_RETURN) log.push_back(Shift.Contains(ssCtrl) ? "grid ctrl+enter" : "grid enter");
    };
    memo->SetSelStart(static_cast<Integer>(strlen(AValue)));
    return memo;
  };
  TcxMemo* memo = open("top");
  ASSERT_TRUE(memo->IsFocused());
  Press(VK_RETURN);
  Type("next");
  EXPECT_EQ(TextOf(memo), "top\r\nnext");
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_EQ(TextOf(memo), "top\r\nnext");
  EXPECT_EQ(log, edit_test::Log{"grid ctrl+enter"});

  // Swapped: Ctrl+Enter is the line, Enter the cell's.
  log.clear();
  row->SetWantReturns(false);
  memo = open("a");
  Chord(VK_CONTROL, VK_RETURN);
  Press(VK_RETURN);
  EXPECT_EQ(TextOf(memo), "a\r\n");
  EXPECT_EQ(log, edit_test::Log{"grid enter"});
}

TEST_F(Memo, SettingTheTextRaisesNoValueChangeAndLinesSizeTheMemo) {
  TcxMemo* memo = MakeMemo();
  Show();
  memo->GetLines()->SetTextStr("alpha\r\nbeta");
  memo->SetEditValue(Variant(AnsiString("gamma\r\ndelta")));
  Pump();
  EXPECT_EQ(memo->GetLines()->GetCount(), 2);
  // One notice for each value, none from the inner memo's own setting.
  EXPECT_EQ(log, (edit_test::Log{"value alpha\r\nbeta", "value gamma\r\ndelta"}));

  TcxMemoProperties* properties = memo->GetProperties();
  properties->SetVisibleLineCount(-3);
  EXPECT_EQ(properties->GetVisibleLineCount(), 0);
  properties->SetVisibleLineCount(5);
  memo->SetAutoSize(true);
  Pump();
  TcxCanvas* canvas = cxScreenCanvas();
  canvas->GetFont()->Assign(memo->GetActiveStyle()->GetVisibleFont());
  const Integer lines5 = memo->GetHeight();
  EXPECT_GE(lines5, canvas->TextHeight("Zg") * 5 + 4);
  properties->SetVisibleLineCount(2);
  Pump();
  EXPECT_EQ(lines5 - memo->GetHeight(), canvas->TextHeight("Zg") * 3);
}

// A program's log: each added line costs what the line costs, not a
// reading of the whole text, and the value still follows line by line.
TEST_F(Memo, AddedLinesAreNotReadBackUntilTheValueIsAskedFor) {
  TcxMemo* memo = MakeMemo();
  // A handler that reads the value reads the whole text: none here.
  memo->GetProperties()->OnEditValueChanged = {};
  Show();
  TWinControl* inner = memo->GetInnerControl();
  Integer reads = 0;
  const TWndMethod original = inner->GetWindowProc();
  inner->SetWindowProc([&reads, original](TMessage& m) {
    if (m.Msg == WM_GETTEXT) ++reads;
    original(m);
  });
  std::string text;
  for (int i = 0; i < 1000; ++i) {
    memo->GetLines()->Add("map " + std::to_string(i));
    text += "map " + std::to_string(i) + "\r\n";
  }
  EXPECT_LE(reads, 2);
  EXPECT_EQ(edit_test::Text(memo->GetEditValue()), text);
  EXPECT_EQ(TextOf(memo), text);
  EXPECT_EQ(memo->GetLines()->GetCount(), 1000);
  inner->SetWindowProc(original);
}

TEST_F(Memo, ProgramChangesTellTheirValueOnceAndTypingLeavesItAsItWas) {
  TcxMemo* memo = MakeMemo();
  auto value = [memo] { return edit_test::Text(memo->GetEditValue()); };
  // OnChange comes as the text changes, before the value follows it: a
  // handler reads the value from before the change.
  memo->GetProperties()->OnChange = [this, value](TObject*) { log.push_back("change " + value()); };
  memo->GetProperties()->OnEditValueChanged = [this](TObject*) { log.push_back("changed"); };
  Show();
  TStrings* lines = memo->GetLines();
  lines->Add("a");
  lines->Add("b");
  EXPECT_EQ(log, (edit_test::Log{"change <null>", "changed", "change a\r\n", "changed"}));
  // Changes that leave the text as it was change no value.
  log.clear();
  lines->Put(0, "a");
  memo->SetSelStart(1);
  memo->SetSelText("");
  lines->Delete(1);
  memo->SetSelStart(0);
  memo->SetSelText("z");
  EXPECT_EQ(log, (edit_test::Log{"change a\r\nb\r\n", "change a\r\nb\r\n", "changed", "change a\r\n",
                                 "changed"}));
  EXPECT_EQ(value(), "za\r\n");
  EXPECT_FALSE(memo->GetModified());
  EXPECT_FALSE(memo->GetModifiedAfterEnter());

  // Typed after an added line, the text is the user's until it is posted:
  // the value stays the added line's.
  Focus(memo);
  lines->Add("c");
  log.clear();
  memo->SetSelStart(0);
  Type("x");
  EXPECT_EQ(TextOf(memo), "xza\r\nc\r\n");
  EXPECT_EQ(log, edit_test::Log{"change za\r\nc\r\n"});
  EXPECT_EQ(value(), "za\r\nc\r\n");
  EXPECT_TRUE(memo->GetModifiedAfterEnter());
}

TEST_F(Memo, BarsFollowTheInnerMemoWhenTypingWheelingAndDragging) {
  TcxMemo* memo = MakeMemo({10, 10, 190, 80});
  memo->GetProperties()->SetScrollBars(ssBoth);
  memo->GetProperties()->SetWordWrap(false);
  Show();
  Focus(memo);
  for (int i = 0; i < 12; ++i) {
    Type("line " + std::to_string(i) + " with some words that run past the right edge");
    Press(VK_RETURN);
  }
  Pump();
  TcxScrollBar* vert = memo->GetInnerScrollBar(sbVertical);
  TcxScrollBar* horz = memo->GetInnerScrollBar(sbHorizontal);
  ASSERT_TRUE(vert && horz);
  EXPECT_TRUE(vert->GetVisible());
  EXPECT_TRUE(horz->GetVisible());
  const HWND inner = memo->GetInnerControl()->GetHandle();
  // The caret's line is in view: the bar went down with it.
  EXPECT_GT(vert->GetPosition(), 0);
  EXPECT_EQ(vert->GetPosition(), GetScrollPos(inner, SB_VERT));

  // The wheel scrolls the memo and its bar follows.
  const Integer before = vert->GetPosition();
  test::MouseMove(inner, {20, 20});
  test::Wheel(120);
  Pump();
  EXPECT_LT(vert->GetPosition(), before);
  EXPECT_EQ(vert->GetPosition(), SendMessageA(inner, EM_GETFIRSTVISIBLELINE, 0, 0));

  // Dragging the bar's thumb to the top scrolls the memo there.
  Integer pos = 0;
  vert->OnScroll(vert, scTrack, pos);
  vert->OnScroll(vert, scEndScroll, pos);
  Pump();
  EXPECT_EQ(GetScrollPos(inner, SB_VERT), 0);
  EXPECT_EQ(SendMessageA(inner, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

  // The bars lie inside the editor, over the inner memo's own, with the
  // square between them in the button face.
  EXPECT_LE(vert->GetBoundsRect().Right, memo->GetClientRect().Right);
  EXPECT_LE(horz->GetBoundsRect().Bottom, memo->GetClientRect().Bottom);
  PainterCanvas sheet(memo->GetWidth() * 2 + 30, memo->GetHeight() + 20, clWindow);
  GrabWindow(memo, sheet.get(), TPoint(10, 10));
  const TPoint corner(10 + vert->GetLeft() + 2, 10 + horz->GetTop() + 2);
  EXPECT_EQ(sheet.At(corner.X, corner.Y), ColorToRGB(clBtnFace));
  memo->GetProperties()->SetWordWrap(true);
  memo->GetProperties()->SetScrollBars(ssNone);
  Pump();
  GrabWindow(memo, sheet.get(), TPoint(memo->GetWidth() + 20, 10));
  EXPECT_TRUE(win::SaveBitmapPng(sheet.Bitmap()->GetHandle(), "MemoSheet.png"));
}

// The library's bar hands its thumb's position to the inner memo through
// a message with room for 16 bits of it: a log of 40,000 lines still
// scrolls to where the thumb was dragged.
TEST_F(Memo, ItsThumbScrollsALogPast32767Lines) {
  TcxMemo* memo = MakeMemo({10, 10, 190, 80});
  memo->GetProperties()->SetScrollBars(ssVertical);
  Show();
  std::string text;
  for (int i = 0; i < 40000; ++i) text += "x\r\n";
  memo->SetText(text);
  Pump();
  TcxScrollBar* vert = memo->GetInnerScrollBar(sbVertical);
  ASSERT_TRUE(vert);
  const HWND inner = memo->GetInnerControl()->GetHandle();
  for (Integer wanted : {39990, 32768, 100}) {
    Integer pos = wanted;
    vert->OnScroll(vert, scTrack, pos);
    EXPECT_EQ(SendMessageA(inner, EM_GETFIRSTVISIBLELINE, 0, 0), wanted);
    vert->OnScroll(vert, scPosition, pos);
    vert->OnScroll(vert, scEndScroll, pos);
    Pump();
    EXPECT_EQ(SendMessageA(inner, EM_GETFIRSTVISIBLELINE, 0, 0), wanted);
    EXPECT_EQ(vert->GetPosition(), wanted);
  }
}

TEST_F(Memo, CellsShowTheFirstLineWithinItsFirst250Characters) {
  TOwned<TcxMemoProperties> properties(New<TcxMemoProperties>(nullptr));
  EXPECT_EQ(std::string(properties->GetDisplayText(Variant(AnsiString("head\r\ntail")))), "head");
  EXPECT_EQ(std::string(properties->GetDisplayText(Variant(AnsiString("head\r\ntail")), true)), "head\r\ntail");
  const AnsiString longLine(300, 'w');
  EXPECT_EQ(properties->GetDisplayText(Variant(longLine)).size(), 250u);
  // A break past the 250th character is not looked for.
  EXPECT_EQ(ExtractFirstLine(AnsiString(260, 'a') + "\r\nb").size(), 250u);

  // The cell's draw flags: whole rows, tabs expanded, kept left, and
  // wrapping only where nothing scrolls sideways.
  const Look cell{"cell", lfUltraFlat, false, ebsNone, btsDefault};
  TOwned<TcxEditStyle> style = MakeStyle(cell);
  TOwned<TcxCustomEditViewData> viewData(properties->CreateViewData(style.get(), true));
  auto* memoData = static_cast<TcxCustomMemoViewData*>(viewData.get());
  TOwned<TcxCustomMemoViewInfo> info(New<TcxCustomMemoViewInfo>());
  memoData->EditValueToDrawValue(nullptr, Variant(AnsiString("head\r\ntail")), info.get());
  EXPECT_EQ(std::string(info->Text), "head");
  EXPECT_EQ(memoData->GetDrawTextFlags(), 0x24100 | 0x440);
  properties->SetScrollBars(ssBoth);
  EXPECT_EQ(memoData->GetDrawTextFlags(), 0x4000 | 0x440);
  properties->SetScrollBars(ssVertical);
  properties->GetAlignment()->SetHorz(taRightJustify);
  memoData->HorzAlignment = taRightJustify;
  EXPECT_EQ(memoData->GetDrawTextFlags(), 0x24100 | 0x440 | 2);
  properties->SetWordWrap(false);
  EXPECT_EQ(memoData->GetDrawTextFlags(), 0x4000 | 0x440 | 2);
}

}  // namespace

namespace {

// The text rows the log holds: the strings of its text calls.
std::vector<std::string> DrawnTexts(const std::string& ALog) {
  std::vector<std::string> texts;
  for (std::size_t at = ALog.find("Text"); at != std::string::npos; at = ALog.find("Text", at + 1)) {
    const std::size_t open = ALog.find('"', at), close = open == std::string::npos ? open : ALog.find('"', open + 1);
    const std::size_t end = ALog.find('\n', at);
    if (open == std::string::npos || close == std::string::npos || close > end) continue;
    texts.push_back(ALog.substr(open + 1, close - open - 1));
  }
  return texts;
}

TEST_F(Memo, EveryLookDrawsCellsFirstLinesAndTheMemoWithItsBars) {
  TcxMemo* memo = MakeMemo({10, 10, 170, 90});
  memo->GetProperties()->SetScrollBars(ssBoth);
  memo->GetProperties()->SetWordWrap(false);
  for (int i = 0; i < 12; ++i) memo->GetLines()->Add("line " + std::to_string(i) + " that runs on past the right edge");
  Show();
  TOwned<TcxMemoProperties> properties(New<TcxMemoProperties>(nullptr));
  const Variant twoLines(AnsiString("first row\r\nsecond row"));
  const Variant longLine(AnsiString(300, 'w') + "\r\nnever");
  const Look looks[] = {kLooks[0], kLooks[1], kLooks[4], kLooks[5], kLooks[6]};
  const Integer rowHeight = memo->GetHeight() + 20;
  PainterCanvas sheet(10 + 3 * 190, 10 + 5 * rowHeight, static_cast<TColor>(0xF0F0F0));
  Integer row = 0;
  for (const Look& look : looks) {
    SCOPED_TRACE(look.Name);
    const Integer top = 10 + row * rowHeight;
    Label(sheet.get(), look.Name, TRect(10, top, 180, top + 14));
    // A cell without a window: its first line only, wrapped or not, and
    // never more than 250 characters of it.
    TOwned<TcxEditStyle> style = MakeStyle(look);
    TOwned<TcxCustomEditViewData> viewData(properties->CreateViewData(style.get(), true));
    for (bool wrap : {true, false}) {
      properties->SetWordWrap(wrap);
      TOwned<TcxCustomEditViewInfo> info(
          static_cast<TcxCustomEditViewInfo*>(properties->GetViewInfoClass()->Construct<>()));
      const TRect cell(10, top + 16, 180, top + 56);
      GdiStartRecording(sheet.get()->GetHandle());
      PaintCell(sheet.get(), viewData.get(), info.get(), wrap ? cell : cxRectOffset(cell, 0, 44), twoLines, {},
                Mouse::Away);
      const std::vector<std::string> texts = DrawnTexts(GdiRecording(sheet.get()->GetHandle()));
      GdiStopRecording(sheet.get()->GetHandle());
      ASSERT_FALSE(texts.empty());
      for (const std::string& text : texts) EXPECT_EQ(text.find("second"), std::string::npos) << text;
      EXPECT_NE(texts.front().find("first"), std::string::npos) << texts.front();
    }
    {
      TOwned<TcxCustomEditViewInfo> info(
          static_cast<TcxCustomEditViewInfo*>(properties->GetViewInfoClass()->Construct<>()));
      PainterCanvas scratch(200, 40, clWindow);
      GdiStartRecording(scratch.get()->GetHandle());
      PaintCell(scratch.get(), viewData.get(), info.get(), TRect(0, 0, 200, 40), longLine, {}, Mouse::Away);
      std::size_t drawn = 0;
      for (const std::string& text : DrawnTexts(GdiRecording(scratch.get()->GetHandle()))) {
        EXPECT_EQ(text.find("never"), std::string::npos);
        drawn += text.size();
      }
      GdiStopRecording(scratch.get()->GetHandle());
      EXPECT_GT(drawn, 0u);
      EXPECT_LE(drawn, 250u);
    }

    // The memo in its window: the container's own bars over the inner
    // memo's, and the square between them in the button face.
    memo->GetStyle()->GetLookAndFeel()->SetKind(look.Kind);
    memo->GetStyle()->GetLookAndFeel()->SetNativeStyle(look.Native);
    memo->GetStyle()->SetEditBorderStyle(look.Border);
    Pump();
    const TPoint at(200, top + 16);
    GrabWindow(memo, sheet.get(), at);
    TcxScrollBar* vert = memo->GetInnerScrollBar(sbVertical);
    TcxScrollBar* horz = memo->GetInnerScrollBar(sbHorizontal);
    ASSERT_TRUE(vert && horz && vert->GetVisible() && horz->GetVisible());
    const TPoint corner(at.X + vert->GetLeft() + 2, at.Y + horz->GetTop() + 2);
    EXPECT_EQ(sheet.At(corner.X, corner.Y), ColorToRGB(clBtnFace));
    // What shows is the bar's own drawing in the look, not the inner memo's
    // native bar painted over it when the memo repaints.
    PainterCanvas own(vert->GetWidth(), vert->GetHeight(), clWhite);
    PaintControlInto(vert, own.get(), TPoint(0, 0));
    // (Rounded corners blend with what lies under them: only plain
    // differences count.)
    auto far = [](TColor A, TColor B) {
      for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((A >> shift) & 0xFF) - static_cast<int>((B >> shift) & 0xFF)) > 48) return true;
      return false;
    };
    Integer differing = 0;
    for (Integer y = 0; y < vert->GetHeight(); ++y)
      for (Integer x = 0; x < vert->GetWidth(); ++x)
        differing += far(own.At(x, y), sheet.At(at.X + vert->GetLeft() + x, at.Y + vert->GetTop() + y)) ? 1 : 0;
    EXPECT_EQ(differing, 0);
    ++row;
  }
  EXPECT_TRUE(win::SaveBitmapPng(sheet.Bitmap()->GetHandle(), "MemoLooksSheet.png"));
}

}  // namespace
