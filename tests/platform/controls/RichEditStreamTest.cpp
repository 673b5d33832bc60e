// The rich edit's streams: formatted content goes out as rich text and
// comes back the same through callbacks that move a few bytes at a time;
// a failing callback or data that is not rich text leaves the control as
// it was and says so; the wrapper's lines load and save through their
// conversions and fall back to plain text.
#include "RichTestUtil.h"

#include "platform/rtl/Files.h"

using namespace rich_test;
using controls::test::RichEditRuns;
using controls::test::RichRun;

namespace {

using Runs = std::vector<RichRun>;

// Formats "Title\r\nbody..." as a centred bold red title (with its line
// break, as typing it would make it) over an indented body paragraph with
// a tab stop.
void Format(HWND rich) {
  SetSel(rich, 0, 7);
  SetCharFormat(rich, SCF_SELECTION, CharFormat(CFM_BOLD | CFM_COLOR, CFE_BOLD, RGB(200, 0, 0)));
  PARAFORMAT centre = Para(PFM_ALIGNMENT);
  centre.wAlignment = PFA_CENTER;
  SetPara(rich, centre);
  SetSel(rich, 9, 9);
  PARAFORMAT body = Para(PFM_STARTINDENT | PFM_OFFSET | PFM_TABSTOPS);
  body.dxStartIndent = 360;
  body.dxOffset = -180;
  body.cTabCount = 1;
  body.rgxTabs[0] = 1440;
  SetPara(rich, body);
}

TEST_F(RichStage, FormattedContentRoundTripsThroughSmallChunks) {
  HWND rich = MakeRich("Title\r\nbody\ttext {x}\\");
  Format(rich);
  const Runs before = RichEditRuns(rich);
  SetSel(rich, 9, 9);
  const PARAFORMAT bodyBefore = GetPara(rich);
  DWORD error = 1;
  const std::string rtf = StreamOut(rich, SF_RTF, 3, &error);
  EXPECT_EQ(error, 0u);
  ASSERT_EQ(rtf.rfind("{\\rtf", 0), 0u) << rtf;

  HWND other = MakeRich("something else", 0, {10, 120, 210, 220});
  Feed feed;
  feed.data = rtf;
  feed.chunk = 5;
  const LRESULT read = StreamIn(other, SF_RTF, feed, &error);
  EXPECT_EQ(error, 0u);
  EXPECT_EQ(read, 21);
  EXPECT_EQ(TextOf(other), "Title\r\nbody\ttext {x}\\");
  EXPECT_EQ(RichEditRuns(other), before);
  SetSel(other, 0, 0);
  EXPECT_EQ(GetPara(other).wAlignment, PFA_CENTER);
  SetSel(other, 9, 9);
  const PARAFORMAT body = GetPara(other);
  EXPECT_EQ(body.dxStartIndent, bodyBefore.dxStartIndent);
  EXPECT_EQ(body.dxOffset, -180);
  ASSERT_EQ(body.cTabCount, 1);
  EXPECT_EQ(body.rgxTabs[0], 1440);
  // A whole stream is no change the person made and cannot be undone.
  EXPECT_EQ(SendMessageA(other, EM_GETMODIFY, 0, 0), 0);
  EXPECT_EQ(SendMessageA(other, EM_CANUNDO, 0, 0), 0);

  // Plain text goes out as it stands, and only the selection with
  // SFF_SELECTION.
  EXPECT_EQ(StreamOut(other, SF_TEXT, 4), "Title\r\nbody\ttext {x}\\");
  SetSel(other, 7, 11);
  EXPECT_EQ(StreamOut(other, SF_TEXT | SFF_SELECTION, 2), "body");
}

// The tables a read file may fill are bounded by what it holds; what the
// control holds is written whole: a text with a colour and a font for each
// of more characters than a small table would keep loads back the same.
TEST_F(RichStage, EveryColourAndFontOfTheContentSurvivesASaveAndLoad) {
  constexpr int kCount = 1100;
  const std::string text(kCount, 'x');
  HWND rich = MakeRich(text.c_str());
  auto face = [](int i) { return "Face " + std::to_string(i); };
  for (int i = 0; i < kCount; ++i) {
    SetSel(rich, i, i + 1);
    CHARFORMATA cf = CharFormat(CFM_COLOR | CFM_FACE, 0, RGB(i & 0xFF, i >> 8, 7));
    std::snprintf(cf.szFaceName, sizeof cf.szFaceName, "%s", face(i).c_str());
    SetCharFormat(rich, SCF_SELECTION, cf);
  }
  const Runs before = RichEditRuns(rich);
  ASSERT_EQ(before.size(), static_cast<std::size_t>(kCount));
  DWORD error = 1;
  Feed feed;
  feed.data = StreamOut(rich, SF_RTF, 4096, &error);
  feed.chunk = 4096;
  EXPECT_EQ(error, 0u);

  HWND other = MakeRich("", 0, {10, 120, 210, 220});
  EXPECT_EQ(StreamIn(other, SF_RTF, feed, &error), kCount);
  EXPECT_EQ(error, 0u);
  const Runs after = RichEditRuns(other);
  ASSERT_EQ(after.size(), before.size());
  int wrongColours = 0;
  for (std::size_t i = 0; i < before.size(); ++i)
    if (!(after[i] == before[i])) ++wrongColours;
  EXPECT_EQ(wrongColours, 0);
  int wrongFaces = 0;
  for (int i = 0; i < kCount; ++i) {
    SetSel(other, i, i + 1);
    CHARFORMATA cf = CharFormat(0);
    SendMessageA(other, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    if (cf.szFaceName != face(i)) ++wrongFaces;
  }
  EXPECT_EQ(wrongFaces, 0);
}

TEST_F(RichStage, AFailingStreamOrDataThatIsNotRichTextChangesNothing) {
  HWND rich = MakeRich("keep me");
  SetSel(rich, 0, 4);
  SetCharFormat(rich, SCF_SELECTION, CharFormat(CFM_ITALIC, CFE_ITALIC));
  const Runs before = RichEditRuns(rich);
  TakeRichLog();

  // The callback fails on its third call: the error lands in dwError and
  // the half read is dropped.
  Feed failing;
  failing.data = "{\\rtf1\\ansi replaced text that is long enough}";
  failing.chunk = 4;
  failing.failAt = 3;
  DWORD error = 0;
  EXPECT_EQ(StreamIn(rich, SF_RTF, failing, &error), 0);
  EXPECT_EQ(error, 0x1234u);
  EXPECT_EQ(failing.calls, 3);

  // Not rich text at all, upper-case, or a claim of more bytes than the
  // buffer holds: refused alike.
  for (const char* data : {"plain words", "{\\RTF1 shouting}", ""}) {
    Feed feed;
    feed.data = data;
    EXPECT_EQ(StreamIn(rich, SF_RTF, feed, &error), 0) << data;
    EXPECT_EQ(error, kStreamBadData) << data;
  }
  Feed liar;
  liar.data = "honest";
  liar.claim = 1 << 20;
  EXPECT_EQ(StreamIn(rich, SF_TEXT, liar, &error), 0);
  EXPECT_EQ(error, kStreamBadData);
  // Neither flag, or both: no stream at all.
  Feed none;
  none.data = "x";
  EXPECT_EQ(StreamIn(rich, 0, none), 0);
  EXPECT_EQ(StreamIn(rich, SF_TEXT | SF_RTF, none), 0);

  EXPECT_EQ(TextOf(rich), "keep me");
  EXPECT_EQ(RichEditRuns(rich), before);
  EXPECT_TRUE(TakeRichLog().empty());

  // Writing stops at the first error too, and says how far it got.
  DWORD outError = 0;
  const std::string part = StreamOut(rich, SF_TEXT, 2, &outError, 3);
  EXPECT_EQ(part, "keep");
  EXPECT_EQ(outError, 0x1234u);
}

TEST_F(RichStage, PlainTextStreamsMendLineBreaksKeepTheLimitAndReplaceTheSelection) {
  HWND rich = MakeRich("one two three");
  // A lone CR, a lone LF and a CR split across two chunks from its LF all
  // become one CR LF each.
  Feed feed;
  feed.data = "a\rb\nc\r\nd";
  feed.chunk = 5;  // "a\rb\nc" then "\r\nd"
  EXPECT_EQ(StreamIn(rich, SF_TEXT, feed), 10);
  EXPECT_EQ(TextOf(rich), "a\r\nb\r\nc\r\nd");
  // Into the selection, undoably, in the format of what it replaces.
  SetSel(rich, 0, 1);
  SetCharFormat(rich, SCF_SELECTION, CharFormat(CFM_BOLD, CFE_BOLD));
  Feed middle;
  middle.data = "XYZ";
  EXPECT_EQ(StreamIn(rich, SF_TEXT | SFF_SELECTION, middle), 3);
  EXPECT_EQ(TextOf(rich), "XYZ\r\nb\r\nc\r\nd");
  EXPECT_EQ(RichEditRuns(rich).front(), (RichRun{"XYZ", true, 0, true}));
  EXPECT_EQ(SendMessageA(rich, EM_UNDO, 0, 0), TRUE);
  EXPECT_EQ(TextOf(rich), "a\r\nb\r\nc\r\nd");
  // The limit cuts, never inside a line break.
  SendMessageA(rich, EM_EXLIMITTEXT, 0, 6);
  Feed longer;
  longer.data = "12345\r\n7890";
  StreamIn(rich, SF_TEXT, longer);
  EXPECT_EQ(TextOf(rich), "12345");
}

// Text streamed in a taller font is laid out in it at once: a focused
// edit's lines and caret take the new height, into the selection as for
// the whole.
TEST_F(RichStage, StreamedTextInATallerFontTakesItsHeightAtOnce) {
  HWND rich = MakeRich("one\r\ntwo");
  SetFocus(rich);
  auto lineStep = [&] {
    const auto second = static_cast<int>(SendMessageA(rich, EM_LINEINDEX, 1, 0));
    auto y = [&](int i) {
      return static_cast<short>(HIWORD(static_cast<DWORD_PTR>(SendMessageA(rich, EM_POSFROMCHAR, i, 0))));
    };
    return y(second) - y(0);
  };
  auto caretHeight = [] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(0, &info);
    return static_cast<int>(info.rcCaret.Bottom - info.rcCaret.Top);
  };
  const int before = lineStep();
  EXPECT_EQ(caretHeight(), before);
  SetSel(rich, 5, 5);
  Feed tall;
  tall.data = "{\\rtf1{\\fs72 big}}";
  StreamIn(rich, SF_RTF | SFF_SELECTION, tall);
  EXPECT_EQ(TextOf(rich), "one\r\nbigtwo");
  const int taller = lineStep();
  EXPECT_GT(taller, before);
  EXPECT_EQ(caretHeight(), taller);
  Feed whole;
  whole.data = "{\\rtf1{\\fs96 a\\par b}}";
  StreamIn(rich, SF_RTF, whole);
  EXPECT_GT(lineStep(), taller);
  EXPECT_EQ(caretHeight(), lineStep());
}

// The wrapper's lines: rich text by default, plain text when the data is
// none, and through the conversion the file's extension names.
class CountingConversion : public TConversion {
  ORV_CLASS(CountingConversion, TConversion)
 public:
  CountingConversion() = default;
  static inline int reads = 0;
  Integer ConvertReadStream(TStream* Stream, char* Buffer, Integer BufSize) override {
    ++reads;
    return TConversion::ConvertReadStream(Stream, Buffer, BufSize);
  }
};
ORV_REGISTER(CountingConversion)

TEST_F(RichStage, WrapperLinesLoadAndSaveThroughConversions) {
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  TRichEdit* edit = New<TRichEdit>(form);
  edit->SetParent(form);
  edit->SetBounds(0, 0, 200, 100);
  TStringStream rtf("{\\rtf1\\ansi{\\colortbl;\\red0\\green0\\blue255;}\\cf1 blue\\cf0  words\\par second}");
  edit->GetLines()->LoadFromStream(&rtf);
  EXPECT_EQ(edit->GetText(), "blue words\r\nsecond");
  EXPECT_EQ(RichEditRuns(edit->GetHandle()).front(), (RichRun{"blue", false, RGB(0, 0, 255)}));
  EXPECT_FALSE(edit->GetModified());
  TStringStream plain("not {\\rtf at the start");
  edit->GetLines()->LoadFromStream(&plain);
  EXPECT_EQ(edit->GetText(), "not {\\rtf at the start");
  // Saved as rich text, and read back the same.
  edit->SetSelStart(0);
  edit->SetSelLength(3);
  edit->GetSelAttributes()->SetStyle(TFontStyles{fsBold});
  TStringStream saved;
  edit->GetLines()->SaveToStream(&saved);
  EXPECT_EQ(saved.GetDataString().rfind("{\\rtf", 0), 0u);
  const Runs formatted = RichEditRuns(edit->GetHandle());
  edit->GetLines()->Clear();
  saved.SetPosition(0);
  edit->GetLines()->LoadFromStream(&saved);
  EXPECT_EQ(RichEditRuns(edit->GetHandle()), formatted);
  // Plain text saves plain.
  edit->SetPlainText(true);
  TStringStream text;
  edit->GetLines()->SaveToStream(&text);
  EXPECT_EQ(text.GetDataString(), "not {\\rtf at the start");
  edit->SetPlainText(false);

  // Files: the newest registration for the extension (in any case) wins;
  // an unknown extension takes the plain one.
  TCustomRichEdit::RegisterConversionFormat(".Count", CountingConversion::StaticClass());
  EXPECT_EQ(TCustomRichEdit::ConversionFor("a/b.COUNT"), CountingConversion::StaticClass());
  EXPECT_EQ(TCustomRichEdit::ConversionFor("a/b.rtf"), TConversion::StaticClass());
  EXPECT_EQ(TCustomRichEdit::ConversionFor("a/b.xyz"), TConversion::StaticClass());
  const AnsiString file = "rich_edit_lines_test.count";
  edit->GetLines()->SaveToFile(file);
  edit->GetLines()->Clear();
  CountingConversion::reads = 0;
  edit->GetLines()->LoadFromFile(file);
  EXPECT_GT(CountingConversion::reads, 0);
  EXPECT_EQ(RichEditRuns(edit->GetHandle()), formatted);
  DeleteFile(file);
  form->Free();

  // Without a window the lines keep plain text: rich text loads as its
  // text, and saves as rich text that loads back the same.
  TRichEdit* loose = New<TRichEdit>(nullptr);
  TStringStream in("{\\rtf1 {\\b one}\\par two\\line three}");
  loose->GetLines()->LoadFromStream(&in);
  EXPECT_EQ(loose->GetText(), "one\r\ntwo\r\nthree");
  TStringStream out;
  loose->GetLines()->SaveToStream(&out);
  EXPECT_EQ(out.GetDataString().rfind("{\\rtf", 0), 0u);
  loose->GetLines()->Clear();
  out.SetPosition(0);
  loose->GetLines()->LoadFromStream(&out);
  EXPECT_EQ(loose->GetText(), "one\r\ntwo\r\nthree");
  loose->Free();
}

// Settings that make the window again keep what it held: runs (their
// protection too), paragraph formats, selection and the modified flag.
TEST_F(RichStage, TheContentSurvivesTheWindowBeingMadeAgain) {
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  TRichEdit* edit = New<TRichEdit>(form);
  edit->SetParent(form);
  edit->SetScrollBars(ssVertical);
  edit->SetText("bold start\r\ncentred");
  edit->SetSelStart(0);
  edit->SetSelLength(4);
  edit->GetSelAttributes()->SetStyle(TFontStyles{fsBold});
  SetCharFormat(edit->GetHandle(), SCF_SELECTION, CharFormat(CFM_PROTECTED, CFE_PROTECTED));
  edit->SetSelStart(12);
  edit->GetParagraph()->SetAlignment(taCenter);
  edit->SetSelStart(2);
  edit->SetSelLength(3);
  edit->SetModified(true);
  const Runs before = RichEditRuns(edit->GetHandle());
  HWND old = edit->GetHandle();
  EXPECT_FALSE(GetWindowLongPtrA(old, GWL_STYLE) & ES_DISABLENOSCROLL);
  edit->SetHideScrollBars(false);
  HWND now = edit->GetHandle();
  EXPECT_NE(now, old);
  EXPECT_TRUE(GetWindowLongPtrA(now, GWL_STYLE) & ES_DISABLENOSCROLL);
  EXPECT_EQ(RichEditRuns(now), before);
  EXPECT_EQ(edit->GetSelStart(), 2);
  EXPECT_EQ(edit->GetSelLength(), 3);
  EXPECT_TRUE(edit->GetModified());
  SendMessageA(now, EM_SETSEL, 0, 4);
  CHARFORMATA guarded = CharFormat(0);
  SendMessageA(now, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&guarded));
  EXPECT_TRUE(guarded.dwEffects & CFE_PROTECTED);
  edit->SetSelStart(12);
  EXPECT_EQ(edit->GetParagraph()->GetAlignment(), taCenter);
  edit->SetSelStart(0);
  EXPECT_EQ(edit->GetParagraph()->GetAlignment(), taLeftJustify);
  // Alignment makes the window again too, and then is every paragraph's.
  edit->SetAlignment(taRightJustify);
  EXPECT_EQ(RichEditRuns(edit->GetHandle()), before);
  EXPECT_EQ(edit->GetParagraph()->GetAlignment(), taRightJustify);
  edit->SetSelStart(12);
  EXPECT_EQ(edit->GetParagraph()->GetAlignment(), taRightJustify);
  edit->SetSelStart(0);
  // The paragraph attributes in points, read back as set.
  edit->GetParagraph()->SetFirstIndent(36);
  edit->GetParagraph()->SetLeftIndent(-18);
  edit->GetParagraph()->SetRightIndent(9);
  edit->GetParagraph()->SetNumbering(nsBullet);
  edit->GetParagraph()->SetTabCount(2);
  edit->GetParagraph()->SetTab(1, 100);
  EXPECT_EQ(edit->GetParagraph()->GetFirstIndent(), 36);
  EXPECT_EQ(edit->GetParagraph()->GetLeftIndent(), -18);
  EXPECT_EQ(edit->GetParagraph()->GetRightIndent(), 9);
  EXPECT_EQ(edit->GetParagraph()->GetNumbering(), nsBullet);
  EXPECT_EQ(edit->GetParagraph()->GetTabCount(), 2);
  EXPECT_EQ(edit->GetParagraph()->GetTab(0), 36);
  EXPECT_EQ(edit->GetParagraph()->GetTab(1), 100);
  EXPECT_EQ(edit->GetParagraph()->GetTab(40), 0);
  // Points past anything the control holds ask for its bounds: the size
  // stops at 1,638 points, an indent out of range changes nothing.
  edit->GetSelAttributes()->SetSize(std::numeric_limits<Integer>::max());
  EXPECT_EQ(edit->GetSelAttributes()->GetSize(), 1638);
  edit->GetParagraph()->SetFirstIndent(std::numeric_limits<Integer>::max());
  edit->GetParagraph()->SetRightIndent(std::numeric_limits<Integer>::min());
  EXPECT_EQ(edit->GetParagraph()->GetFirstIndent(), 36);
  EXPECT_EQ(edit->GetParagraph()->GetRightIndent(), 9);
  form->Free();
}

}  // namespace
