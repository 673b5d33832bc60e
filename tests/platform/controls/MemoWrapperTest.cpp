// TMemo on a form: Lines over the line messages, the read-only details
// memo a person selects and copies from, Enter and Tab as the memo wants
// them, and its painted lines in monochrome text.
#include "EditTestUtil.h"

#include "platform/controls/Memo.h"
#include "platform/controls/RichEdit.h"
#include "platform/rtl/ObjectText.h"

using namespace edit_test;
using controls::test::EditLines;

// A memo that notes every read of its whole text and of single lines.
class TReadLoggingMemo : public TMemo {
  ORV_CLASS(TReadLoggingMemo, TMemo)
 public:
  using TMemo::TMemo;
  std::vector<std::string> Reads;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_GETTEXT) Reads.push_back("whole text");
    if (Message.Msg == EM_GETLINE) Reads.push_back("line " + std::to_string(Message.WParam));
    inherited::WndProc(Message);
  }
};

ORV_REGISTER(TReadLoggingMemo)

namespace {

using Sel = std::pair<int, int>;
using Lines = std::vector<std::string>;

class MemoWrapper : public EditStage {
 protected:
  TForm* form = nullptr;
  TMemo* memo = nullptr;
  TEdit* next = nullptr;

  void SetUp() override {
    EditStage::SetUp();
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBorderStyle(bsNone);
    form->SetPosition(poDesigned);
    form->SetBounds(200, 300, 320, 200);
    form->SetColor(clWhite);
    memo = New<TMemo>(form);
    memo->SetBounds(10, 10, 200, 120);
    memo->SetParent(form);
    next = New<TEdit>(form);
    next->SetBounds(10, 150, 100, 20);
    next->SetParent(form);
  }
  void TearDown() override {
    form->Free();
    EditStage::TearDown();
  }
  void Show() {
    form->Show();
    Pump();
  }
  HWND Handle() { return memo->GetHandle(); }
  COLORREF Pixel(int x, int y) {
    HDC dc = GetDC(Handle());
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(Handle(), dc);
    return c;
  }
  bool AnyIn(RECT r, COLORREF c) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (Pixel(x, y) == c) return true;
    return false;
  }
};

TEST_F(MemoWrapper, LinesAddInsertPutDeleteAndTextRoundTrip) {
  TStrings* lines = memo->GetLines();
  EXPECT_EQ(lines->GetCount(), 0);
  lines->Add("first");
  lines->Add("second");
  EXPECT_EQ(memo->GetText(), "first\r\nsecond\r\n");
  EXPECT_EQ(lines->GetCount(), 2);  // no empty line after the last break
  lines->Insert(1, "middle");
  lines->Put(0, "FIRST");
  EXPECT_EQ(EditLines(Handle()), (Lines{"FIRST", "middle", "second", ""}));
  lines->Delete(2);  // a line goes with its break
  EXPECT_EQ(memo->GetText(), "FIRST\r\nmiddle\r\n");
  lines->Delete(0);
  EXPECT_EQ((*lines)[0], "middle");
  EXPECT_EQ(lines->GetCount(), 1);
  // A last line without a break goes with the break before it; adding
  // after it puts a break first.
  memo->SetText("one\r\ntwo");
  lines->Delete(1);
  EXPECT_EQ(memo->GetText(), "one");
  lines->Add("after");
  EXPECT_EQ(memo->GetText(), "one\r\nafter\r\n");
  // Text comes back exactly as set; lone breaks become CR LF.
  lines->SetText("a\nb\r\rc");
  EXPECT_EQ(lines->GetText(), "a\r\nb\r\n\r\nc");
  EXPECT_EQ(lines->GetCount(), 4);
  // Wrapped, a paragraph is several lines, but the text stays as it was.
  memo->SetWordWrap(true);
  lines->SetText("one two three four five six seven eight nine ten eleven twelve");
  EXPECT_GT(lines->GetCount(), 1);
  EXPECT_EQ(lines->GetText(), "one two three four five six seven eight nine ten eleven twelve");
  lines->Clear();
  EXPECT_EQ(lines->GetCount(), 0);
  // CaretPos is (column, line).
  lines->SetText("ab\r\ncdef");
  memo->SetCaretPos(TPoint{3, 1});
  EXPECT_EQ(SelOf(Handle()), Sel(7, 7));
  EXPECT_EQ(memo->GetCaretPos().X, 3);
  EXPECT_EQ(memo->GetCaretPos().Y, 1);
}

// Where a word is cut at the edge, CaretPos names the line the caret
// shows on: the upper one after End, a Shift+End or a Down that kept to
// the lines' ends. The same boundary reached otherwise is the lower
// line's start, and a selection made upwards still reports its end.
TEST_F(MemoWrapper, CaretPosNamesTheLineTheCaretShowsOnWhereAWordIsCut) {
  Show();
  memo->SetText(std::string(100, 'w'));
  const Lines lines = EditLines(Handle());
  ASSERT_GE(lines.size(), 3u);
  const int cut = static_cast<int>(lines[0].size());
  const int cut2 = cut + static_cast<int>(lines[1].size());
  memo->SetFocus();
  Pump();
  Press(VK_END);
  EXPECT_EQ(memo->GetCaretPos(), TPoint(cut, 0));
  Press(VK_HOME);
  Chord(VK_SHIFT, VK_END);
  EXPECT_EQ(memo->GetCaretPos(), TPoint(cut, 0));
  // Dropping the selection leaves the caret where it shows.
  win::SendMessageA(Handle(), win::EM_SETSEL, static_cast<win::WPARAM>(-1), 0);
  EXPECT_EQ(SelOf(Handle()), Sel(cut, cut));
  EXPECT_EQ(memo->GetCaretPos(), TPoint(cut, 0));
  Press(VK_DOWN);
  EXPECT_EQ(memo->GetCaretPos(), TPoint(cut2 - cut, 1));
  Chord(VK_SHIFT, VK_UP);
  EXPECT_EQ(SelOf(Handle()), Sel(cut, cut2));
  EXPECT_EQ(memo->GetCaretPos(), TPoint(0, 2));
  memo->SetSelStart(cut);
  EXPECT_EQ(memo->GetCaretPos(), TPoint(0, 1));
}

// A setting that makes the window again keeps the selection, however
// far into a long text it lies.
TEST_F(MemoWrapper, TheSelectionSurvivesTheWindowBeingMadeAgainPastCharacter65535) {
  Show();
  std::string text;
  for (int i = 0; i < 10000; ++i) text += "line " + std::to_string(i) + "\r\n";
  memo->SetText(text);
  memo->SetSelStart(80000);
  memo->SetSelLength(10);
  const HWND before = Handle();
  memo->SetWordWrap(!memo->GetWordWrap());
  EXPECT_NE(Handle(), before);
  EXPECT_EQ(SelOf(Handle()), Sel(80000, 80010));
  memo->SetSelStart(65530);
  memo->SetSelLength(20);  // across the 16-bit edge
  memo->SetScrollBars(ssVertical);
  EXPECT_EQ(SelOf(Handle()), Sel(65530, 65550));
}

// A log grows by Lines->Add: each line reads what it needs of the last
// line, never the whole text, and starts a line of its own exactly where
// reading the whole text would have it start.
TEST_F(MemoWrapper, AddingALineReadsTheLastLineAndNeverTheWholeText) {
  auto* log = New<TReadLoggingMemo>(form);
  log->SetBounds(10, 10, 200, 120);
  log->SetWordWrap(false);
  log->SetParent(form);
  TStrings* lines = log->GetLines();
  for (int i = 0; i < 300; ++i) lines->Add("map " + std::to_string(i) + " created");
  EXPECT_EQ(log->Reads, std::vector<std::string>{}) << "after a line break nothing is read";
  log->SetText("one\r\ntwo");
  log->Reads.clear();
  lines->Add("three");
  EXPECT_EQ(log->Reads, std::vector<std::string>{"line 1"});
  EXPECT_EQ(log->GetText(), "one\r\ntwo\r\nthree\r\n");

  // A lone LF is no line break of the memo's, but as the text's last
  // character it has always counted as one for Add.
  log->SetText("one\n");
  lines->Add("two");
  EXPECT_EQ(log->GetText(), "one\ntwo\r\n");
  // A last line longer than a line copy reaches is read from the text.
  const std::string longLine(70000, 'x');
  log->SetText(longLine);
  log->Reads.clear();
  lines->Add("next");
  EXPECT_EQ(log->Reads, (std::vector<std::string>{"whole text"}));
  EXPECT_EQ(log->GetText(), longLine + "\r\nnext\r\n");
  // ...and so is such a line asked for by its index, whole.
  EXPECT_EQ((*lines)[0].size(), longLine.size());
  EXPECT_TRUE((*lines)[0] == longLine);
  EXPECT_EQ((*lines)[1], "next");
  log->SetText("");
  lines->Add("first");
  EXPECT_EQ(log->GetText(), "first\r\n");
}

TEST_F(MemoWrapper, LinesOfAMemoWithoutAParentWaitInItsText) {
  auto* loose = New<TMemo>(form);
  TStrings* lines = loose->GetLines();
  lines->Add("one");
  lines->Add("three");
  lines->Insert(1, "two");
  lines->Put(2, "THREE");
  lines->Delete(7);  // out of range: nothing
  EXPECT_FALSE(loose->HandleAllocated());
  EXPECT_EQ(lines->GetCount(), 3);
  EXPECT_EQ(lines->Get(1), "two");
  EXPECT_EQ(lines->Get(5), "");
  EXPECT_EQ(loose->GetText(), "one\r\ntwo\r\nTHREE\r\n");
  loose->SetBounds(10, 140, 100, 50);
  loose->SetParent(form);
  Show();
  EXPECT_EQ(EditLines(loose->GetHandle()), (Lines{"one", "two", "THREE", ""}));
  EXPECT_EQ(lines->GetCount(), 3);
}

// The details dialog's memo: read-only, a vertical bar, no returns, tabs
// wanted, filled with CR LF text. A person selects with the mouse across
// lines and copies.
TEST_F(MemoWrapper, ReadOnlyDetailsMemoSelectsAndCopiesButKeepsItsText) {
  memo->SetReadOnly(true);
  memo->SetScrollBars(ssVertical);
  memo->SetWantReturns(false);
  memo->SetWantTabs(true);
  memo->GetLines()->SetText("Name: alpha\r\nValue: 42\r\nUnit: m");
  Show();
  HWND h = Handle();
  EXPECT_TRUE(GetWindowLongPtrA(h, GWL_STYLE) & WS_VSCROLL);
  const int lh = PosY(h, 13);
  // Press on "alpha", drag to the end of "42".
  win::test::MouseMove(h, {PosX(h, 6) + 1, 2});
  win::test::MouseDown();
  win::test::MouseMove(h, {PosX(h, 21) + Width(h, "2") + 1, lh + 2});
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(GetFocus(), h);
  EXPECT_EQ(SelOf(h), Sel(6, 22));
  Chord(VK_CONTROL, 'C');
  EXPECT_EQ(ClipboardText(), "alpha\r\nValue: 42");
  // Typing, Enter, cutting and pasting change nothing.
  Type("x");
  Press(VK_RETURN);
  Chord(VK_CONTROL, 'X');
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(memo->GetText(), "Name: alpha\r\nValue: 42\r\nUnit: m");
  // Tab is wanted, but read-only: it stays in the memo and inserts nothing.
  Press(VK_TAB);
  EXPECT_EQ(GetFocus(), h);
  EXPECT_EQ(memo->GetText(), "Name: alpha\r\nValue: 42\r\nUnit: m");
  EXPECT_EQ(SendMessageA(h, WM_GETDLGCODE, 0, 0) & (DLGC_WANTTAB | DLGC_WANTALLKEYS), DLGC_WANTTAB);
}

TEST_F(MemoWrapper, EnterAndTabReachTheTextOnlyWhenWanted) {
  Show();
  memo->SetFocus();
  Type("a");
  Press(VK_RETURN);
  Type("b");
  EXPECT_EQ(memo->GetText(), "a\r\nb");  // returns are wanted by default
  Press(VK_TAB);  // tabs are not: the focus moves on
  EXPECT_EQ(GetFocus(), next->GetHandle());
  EXPECT_EQ(memo->GetText(), "a\r\nb");
  memo->SetWantTabs(true);
  memo->SetWantReturns(false);
  memo->SetFocus();
  Press(VK_TAB);
  Press(VK_RETURN);
  EXPECT_EQ(GetFocus(), Handle());
  EXPECT_EQ(memo->GetText(), "a\r\nb\t");
  // Ctrl+Enter still breaks the line.
  Chord(VK_CONTROL, VK_RETURN);
  Type("c");
  EXPECT_EQ(memo->GetText(), "a\r\nb\t\r\nc");
  EXPECT_EQ(GetFocus(), Handle());
}

TEST_F(MemoWrapper, PaintsEachLineAndTheSelectionAcrossLines) {
  memo->GetLines()->SetText("WWW\r\nWW\r\nW");
  memo->GetFont()->SetColor(clBlue);
  Show();
  HWND h = Handle();
  memo->SetFocus();
  SetSel(h, 1, 6);  // from the first line into the second
  UpdateWindow(h);
  const int lh = PosY(h, 5);
  const COLORREF blue = RGB(0, 0, 255), highlight = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  // Line 1: blue "W", then the band; line 2: the band over "W", then blue.
  EXPECT_TRUE(AnyIn({PosX(h, 0), 0, PosX(h, 1), lh}, blue));
  EXPECT_EQ(Pixel(PosX(h, 1), 0), highlight);
  EXPECT_TRUE(AnyIn({PosX(h, 1), 0, PosX(h, 1) + 2 * Width(h, "W"), lh}, highlightText));
  EXPECT_EQ(Pixel(PosX(h, 5), lh), highlight);
  EXPECT_TRUE(AnyIn({PosX(h, 6), lh, PosX(h, 6) + Width(h, "W"), 2 * lh}, blue));
  EXPECT_FALSE(AnyIn({PosX(h, 6), lh, 180, 2 * lh}, highlight));
  // The third line is drawn under the second; nothing past it.
  EXPECT_TRUE(AnyIn({0, 2 * lh, Width(h, "W"), 3 * lh}, blue));
  EXPECT_FALSE(AnyIn({0, 3 * lh, 180, 4 * lh}, blue));
  // The caret stands at the active end, on its line.
  EXPECT_EQ(CaretAt().X, PosX(h, 6));
  EXPECT_EQ(CaretAt().Y, lh);
}

}  // namespace

// Memo and rich edit alike: the sunken client edge of bsSingle (the
// default) round the white client area, the text one pixel off its left
// side, and BorderStyle read from and written to form layouts.
TEST_F(MemoWrapper, MemoAndRichEditDrawTheirBorderAndKeepTheTextOffTheEdge) {
  auto* rich = New<TRichEdit>(form);
  rich->SetBounds(220, 10, 90, 120);
  rich->SetParent(form);
  memo->GetLines()->Add("|||");
  rich->GetLines()->Add("|||");
  Show();
  for (TCustomMemo* m : {static_cast<TCustomMemo*>(memo), static_cast<TCustomMemo*>(rich)}) {
    SCOPED_TRACE(std::string(m->ClassName()));
    HWND h = m->GetHandle();
    ASSERT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    RECT client{};
    GetClientRect(h, &client);
    EXPECT_EQ(client.Width(), m->GetWidth() - 4);
    HDC dc = GetWindowDC(h);
    EXPECT_EQ(GetPixel(dc, 0, 5), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(dc, 1, 5), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(GetPixel(dc, m->GetWidth() - 1, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
    ReleaseDC(h, dc);
    // The first line's first stroke starts one pixel in.
    dc = GetDC(h);
    int first = -1;
    for (int x = 0; x < 10 && first < 0; ++x)
      for (int y = 0; y < 14; ++y)
        if (GetPixel(dc, x, y) == RGB(0, 0, 0)) {
          first = x;
          break;
        }
    ReleaseDC(h, dc);
    EXPECT_GE(first, 1);
    EXPECT_LE(first, 2);
  }
  memo->SetBorderStyle(bsNone);
  EXPECT_FALSE(GetWindowLongA(memo->GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(memo->GetLines()->GetText(), "|||\r\n");

  TComponent* built = forms::test::BuildFromText(
      "object F: TForm\n"
      "  object M: TMemo\n    BorderStyle = bsNone\n  end\n"
      "  object R: TRichEdit\n  end\nend\n");
  auto* f = static_cast<TForm*>(built);
  EXPECT_EQ(static_cast<TMemo*>(f->FindComponent("M"))->GetBorderStyle(), bsNone);
  EXPECT_EQ(static_cast<TRichEdit*>(f->FindComponent("R"))->GetBorderStyle(), bsSingle);
  const AnsiString text = ComponentToText(f);
  EXPECT_NE(text.find("BorderStyle = bsNone"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("BorderStyle = bsSingle"), AnsiString::npos) << text;  // the default is not written
  f->Free();
}
