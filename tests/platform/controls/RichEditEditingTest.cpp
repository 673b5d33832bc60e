// Editing a rich edit: text modes, the line answers in plain text, the
// undo history with redo over typing, pasting and formatting, finding
// text with every flag, the limit, and the text in the forms the extended
// messages ask for.
#include "RichTestUtil.h"

using namespace rich_test;
using controls::test::RichEditRuns;
using controls::test::RichRun;

namespace {

using Runs = std::vector<RichRun>;
using Sel = std::pair<int, int>;

LRESULT Mode(HWND rich) { return SendMessageA(rich, EM_GETTEXTMODE, 0, 0); }

TEST_F(RichStage, TextModesSwitchOnlyWhileEmptyAndKeepTheOtherPairs) {
  HWND rich = MakeRich("words");
  EXPECT_EQ(Mode(rich), TM_RICHTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE);
  // With text in it the mode stays.
  EXPECT_NE(SendMessageA(rich, EM_SETTEXTMODE, TM_PLAINTEXT, 0), 0);
  EXPECT_EQ(Mode(rich), TM_RICHTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE);
  // Switching the way the memo mode does: save, empty, switch, put back.
  SetWindowTextA(rich, "");
  EXPECT_NE(SendMessageA(rich, EM_SETTEXTMODE, TM_PLAINTEXT | TM_RICHTEXT, 0), 0);
  const auto mode = static_cast<DWORD>(Mode(rich));
  EXPECT_EQ(SendMessageA(rich, EM_SETTEXTMODE, (mode & ~TM_RICHTEXT) | TM_PLAINTEXT, 0), 0);
  EXPECT_EQ(Mode(rich), TM_PLAINTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE);
  SetWindowTextA(rich, "words\r\nmore");
  // Plain text has one format: formatting a part formats all of it.
  SetSel(rich, 0, 2);
  SetCharFormat(rich, SCF_SELECTION, CharFormat(CFM_BOLD, CFE_BOLD));
  EXPECT_EQ(RichEditRuns(rich), (Runs{{"words\r\nmore", true, 0, true}}));
  PARAFORMAT right = Para(PFM_ALIGNMENT);
  right.wAlignment = PFA_RIGHT;
  SetPara(rich, right);
  SetSel(rich, 9, 9);
  EXPECT_EQ(GetPara(rich).wAlignment, PFA_RIGHT);
  // One undo level: only the last step comes back.
  SetWindowTextA(rich, "");
  EXPECT_EQ(SendMessageA(rich, EM_SETTEXTMODE, TM_SINGLELEVELUNDO, 0), 0);
  EXPECT_EQ(Mode(rich), TM_PLAINTEXT | TM_SINGLELEVELUNDO | TM_MULTICODEPAGE);
  SetFocus(rich);
  Type("ab");
  SetSel(rich, 0, 0);
  Type("x");
  EXPECT_EQ(SendMessageA(rich, EM_UNDO, 0, 0), TRUE);
  EXPECT_EQ(SendMessageA(rich, EM_CANUNDO, 0, 0), FALSE);
  EXPECT_EQ(TextOf(rich), "ab");
  // Unknown bits are refused.
  EXPECT_NE(SendMessageA(rich, EM_SETTEXTMODE, 0x100, 0), 0);
}

TEST_F(RichStage, PlainTextLineAnswersAsTheMemoGivesThem) {
  HWND rich = MakeRich("", 0, {10, 10, 60, 200});
  SetWindowTextA(rich, "");
  SendMessageA(rich, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
  SetWindowTextA(rich, "aaaa bbbb cccc\r\n");
  const auto lines = static_cast<int>(SendMessageA(rich, EM_GETLINECOUNT, 0, 0));
  ASSERT_GE(lines, 3);  // wrapped, and an empty last line
  // The first character of a wrapped line belongs to that line.
  const auto second = static_cast<int>(SendMessageA(rich, EM_LINEINDEX, 1, 0));
  EXPECT_GT(second, 0);
  EXPECT_EQ(SendMessageA(rich, EM_LINEFROMCHAR, static_cast<WPARAM>(second), 0), 1);
  EXPECT_EQ(SendMessageA(rich, EM_EXLINEFROMCHAR, 0, second), 1);
  EXPECT_EQ(SendMessageA(rich, EM_LINEFROMCHAR, static_cast<WPARAM>(second - 1), 0), 0);
  // The empty last line is 0 long.
  const auto last = static_cast<int>(SendMessageA(rich, EM_LINEINDEX, static_cast<WPARAM>(lines - 1), 0));
  EXPECT_EQ(last, 16);
  EXPECT_EQ(SendMessageA(rich, EM_LINELENGTH, static_cast<WPARAM>(last), 0), 0);
}

TEST_F(RichStage, EndReachesTheEndOfALineCutInsideAWord) {
  const std::string word(80, 'w');
  HWND rich = MakeRich(word.c_str());
  SetFocus(rich);
  const auto cut = static_cast<int>(SendMessageA(rich, EM_LINEINDEX, 1, 0));
  ASSERT_GT(cut, 1);
  const int right = 2 * PosX(rich, cut - 1) - PosX(rich, cut - 2);  // one 'w' past the last
  SetSel(rich, 0, 0);
  Press(VK_END);
  EXPECT_EQ(SelOf(rich), Sel(cut, cut));
  POINT caret{};
  GetCaretPos(&caret);
  EXPECT_EQ(caret.X, right);
  EXPECT_EQ(caret.Y, PosY(rich, 0));
  Type("X");
  EXPECT_EQ(TextOf(rich), word.substr(0, static_cast<std::size_t>(cut)) + "X" +
                              word.substr(static_cast<std::size_t>(cut)));
}

TEST_F(RichStage, UndoAndRedoWalkTypingPastingAndFormattingBothWays) {
  HWND rich = MakeRich();
  SetFocus(rich);
  Type("abc");  // one step however many characters
  SetClipboardText("XY");
  Chord(VK_CONTROL, 'V');
  SetSel(rich, 0, 2);
  SetCharFormat(rich, SCF_SELECTION, CharFormat(CFM_BOLD, CFE_BOLD));
  const Runs formatted{{"ab", true, 0, true}, {"cXY"}};
  EXPECT_EQ(RichEditRuns(rich), formatted);
  EXPECT_EQ(SendMessageA(rich, EM_CANREDO, 0, 0), FALSE);

  EXPECT_EQ(SendMessageA(rich, EM_UNDO, 0, 0), TRUE);  // the format
  EXPECT_EQ(RichEditRuns(rich), (Runs{{"abcXY"}}));
  EXPECT_EQ(SendMessageA(rich, EM_UNDO, 0, 0), TRUE);  // the paste
  EXPECT_EQ(TextOf(rich), "abc");
  SendMessageA(rich, WM_CHAR, 26, 0);  // Ctrl+Z: the typing
  EXPECT_EQ(TextOf(rich), "");
  EXPECT_EQ(SendMessageA(rich, EM_CANUNDO, 0, 0), FALSE);
  EXPECT_EQ(SendMessageA(rich, EM_UNDO, 0, 0), FALSE);

  EXPECT_EQ(SendMessageA(rich, EM_REDO, 0, 0), TRUE);
  EXPECT_EQ(TextOf(rich), "abc");
  EXPECT_EQ(SendMessageA(rich, EM_REDO, 0, 0), TRUE);
  EXPECT_EQ(SendMessageA(rich, EM_REDO, 0, 0), TRUE);
  EXPECT_EQ(RichEditRuns(rich), formatted);
  EXPECT_EQ(SendMessageA(rich, EM_CANREDO, 0, 0), FALSE);

  // A new change after an undo ends what could be redone; moving the
  // caret ends a typing step.
  SendMessageA(rich, EM_UNDO, 0, 0);
  SetSel(rich, 5, 5);
  Type("z");
  EXPECT_EQ(SendMessageA(rich, EM_CANREDO, 0, 0), FALSE);
  SetSel(rich, 0, 0);
  Type("q");
  SendMessageA(rich, EM_UNDO, 0, 0);
  EXPECT_EQ(TextOf(rich), "abcXYz");
  // Setting the text, or a change that asks for no undo, forgets it all.
  SendMessageA(rich, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("!"));
  EXPECT_EQ(SendMessageA(rich, EM_CANUNDO, 0, 0), FALSE);
  Type("w");
  SetWindowTextA(rich, "fresh");
  EXPECT_EQ(SendMessageA(rich, EM_CANUNDO, 0, 0), FALSE);
  // A read-only control undoes nothing.
  Type("s");
  SendMessageA(rich, EM_SETREADONLY, TRUE, 0);
  EXPECT_EQ(SendMessageA(rich, EM_UNDO, 0, 0), FALSE);
}

TEST_F(RichStage, ParagraphFormatsFollowTheTextAndComeBackWithUndo) {
  HWND rich = MakeRich("one\r\ntwo\r\nthree");
  SetSel(rich, 6, 12);  // two and three
  PARAFORMAT centre = Para(PFM_ALIGNMENT | PFM_NUMBERING);
  centre.wAlignment = PFA_CENTER;
  centre.wNumbering = PFN_BULLET;
  EXPECT_EQ(SetPara(rich, centre), 1);
  SetSel(rich, 0, 12);
  PARAFORMAT mixed = GetPara(rich);
  EXPECT_FALSE(mixed.dwMask & PFM_ALIGNMENT);
  EXPECT_TRUE(mixed.dwMask & PFM_STARTINDENT);
  // Over mixed paragraphs only what the mask names changes in each.
  PARAFORMAT indent = Para(PFM_STARTINDENT);
  indent.dxStartIndent = 300;
  SetPara(rich, indent);
  mixed = GetPara(rich);
  EXPECT_FALSE(mixed.dwMask & PFM_ALIGNMENT);
  EXPECT_TRUE(mixed.dwMask & PFM_STARTINDENT);
  EXPECT_EQ(mixed.dxStartIndent, 300);
  SendMessageA(rich, EM_UNDO, 0, 0);
  // Enter inside "two" splits it into two centred paragraphs; joining
  // "one" and "two" gives "one" two's format (its break is gone).
  SetSel(rich, 6, 6);
  SetFocus(rich);
  Type("\r");
  SetSel(rich, 6, 6);
  EXPECT_EQ(GetPara(rich).wAlignment, PFA_CENTER);
  SetSel(rich, 3, 5);
  SendMessageA(rich, WM_CLEAR, 0, 0);
  EXPECT_EQ(TextOf(rich), "onet\r\nwo\r\nthree");
  SetSel(rich, 0, 0);
  EXPECT_EQ(GetPara(rich).wAlignment, PFA_CENTER);
  SendMessageA(rich, EM_UNDO, 0, 0);
  SetSel(rich, 0, 0);
  EXPECT_EQ(GetPara(rich).wAlignment, PFA_LEFT);
  // Out-of-range values change nothing: no structure, a short one, an
  // unknown alignment, too many tabs, an absurd indent.
  EXPECT_EQ(SendMessageA(rich, EM_SETPARAFORMAT, 0, 0), 0);
  PARAFORMAT bad = Para(PFM_ALIGNMENT);
  bad.wAlignment = 9;
  EXPECT_EQ(SetPara(rich, bad), 0);
  bad = Para(PFM_TABSTOPS);
  bad.cTabCount = 33;
  EXPECT_EQ(SetPara(rich, bad), 0);
  bad = Para(PFM_STARTINDENT);
  bad.dxStartIndent = 0x7FFFFFFF;
  EXPECT_EQ(SetPara(rich, bad), 0);
  bad = Para(PFM_ALIGNMENT);
  bad.cbSize = sizeof bad - 1;
  EXPECT_EQ(SetPara(rich, bad), 0);
  EXPECT_EQ(GetPara(rich).wAlignment, PFA_LEFT);
  EXPECT_EQ(GetPara(rich).dxStartIndent, 0);
  // The other lines' indent, the first line's plus the offset, keeps to
  // the same 24 bits, however it is reached: rich text carries no more,
  // and a paragraph saved beyond them came back with other indents.
  PARAFORMAT far = Para(PFM_STARTINDENT | PFM_OFFSET);
  far.dxStartIndent = 0x800000;
  far.dxOffset = 0x7FFFFF;
  EXPECT_EQ(SetPara(rich, far), 1);
  far.dxOffset = 0x800000;
  EXPECT_EQ(SetPara(rich, far), 0);
  far = Para(PFM_OFFSETINDENT);
  far.dxStartIndent = 1;
  EXPECT_EQ(SetPara(rich, far), 0);
  far = Para(PFM_OFFSET);
  far.dxOffset = -0xFFFFFF;
  EXPECT_EQ(SetPara(rich, far), 1);
  const PARAFORMAT kept = GetPara(rich);
  const std::string saved = StreamOut(rich, SF_RTF);
  Feed load;
  load.data = saved;
  StreamIn(rich, SF_RTF, load);
  EXPECT_EQ(GetPara(rich).dxStartIndent, kept.dxStartIndent);
  EXPECT_EQ(GetPara(rich).dxOffset, kept.dxOffset);
  EXPECT_EQ(kept.dxStartIndent + kept.dxOffset, 0x800000 - 0xFFFFFF);
}

TEST_F(RichStage, FindingTextHonoursRangeDirectionWholeWordsAndCase) {
  //                0123456789012345678901234567890123456789
  HWND rich = MakeRich("The cat scattered the Cats; cat_food cat.");
  auto find = [&](const char* what, LONG from, LONG to, WPARAM flags, CHARRANGE* found = nullptr) {
    FINDTEXTEXA ft{{from, to}, what, {}};
    const LRESULT r = SendMessageA(rich, EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&ft));
    if (found) *found = ft.chrgText;
    return r;
  };
  CHARRANGE found{};
  EXPECT_EQ(find("cat", 0, -1, FR_DOWN, &found), 4);
  EXPECT_EQ(found.cpMin, 4);
  EXPECT_EQ(found.cpMax, 7);
  EXPECT_EQ(find("cat", 5, -1, FR_DOWN), 9);                             // inside "scattered"
  EXPECT_EQ(find("cat", 10, -1, FR_DOWN), 22);                           // "Cats", any case
  EXPECT_EQ(find("cat", 10, -1, FR_DOWN | FR_MATCHCASE), 28);            // "cat_food"
  EXPECT_EQ(find("cat", 5, -1, FR_DOWN | FR_WHOLEWORD), 37);             // '_' joins a word
  EXPECT_EQ(find("CAT", 5, -1, FR_DOWN | FR_WHOLEWORD | FR_MATCHCASE), -1);
  // The match lies wholly inside the range.
  EXPECT_EQ(find("cat", 0, 6, FR_DOWN), -1);
  EXPECT_EQ(find("cat", 0, 7, FR_DOWN), 4);
  // Upwards: from cpMin back to cpMax (-1: the start).
  EXPECT_EQ(find("cat", 41, 0, 0, &found), 37);
  EXPECT_EQ(found.cpMax, 40);
  EXPECT_EQ(find("cat", 36, -1, FR_WHOLEWORD | FR_MATCHCASE), 4);
  EXPECT_EQ(find("cat", 3, 0, 0), -1);
  // Nothing to find finds nothing.
  EXPECT_EQ(find("", 0, -1, FR_DOWN, &found), -1);
  EXPECT_EQ(found.cpMin, -1);
  EXPECT_EQ(find(nullptr, 0, -1, FR_DOWN), -1);
  EXPECT_EQ(SendMessageA(rich, EM_FINDTEXTEX, FR_DOWN, 0), -1);
  EXPECT_EQ(find("cat", 900, 1000, FR_DOWN), -1);
}

TEST_F(RichStage, TextLengthAndLimitInTheirExtendedForms) {
  HWND rich = MakeRich("ab\r\nc\x80");
  auto length = [&](DWORD flags, UINT codepage = 0) {
    GETTEXTLENGTHEX how{flags, codepage};
    return SendMessageA(rich, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
  };
  EXPECT_EQ(length(GTL_DEFAULT), 5);
  EXPECT_EQ(length(GTL_USECRLF), 6);
  EXPECT_EQ(length(GTL_USECRLF | GTL_PRECISE), 6);
  EXPECT_EQ(length(GTL_NUMBYTES, CP_UTF16), 10);
  EXPECT_LT(length(GTL_PRECISE | GTL_CLOSE), 0);
  EXPECT_LT(length(GTL_NUMCHARS | GTL_NUMBYTES), 0);
  auto text = [&](DWORD flags, DWORD size, UINT codepage = 0) {
    std::string buffer(size + 4, '#');
    GETTEXTEX how{size, flags, codepage, nullptr, nullptr};
    const LRESULT n = SendMessageA(rich, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how),
                                   reinterpret_cast<LPARAM>(buffer.data()));
    return std::make_pair(n, buffer);
  };
  EXPECT_EQ(text(GT_DEFAULT, 32).first, 5);
  EXPECT_EQ(text(GT_DEFAULT, 32).second.substr(0, 6), std::string("ab\rc\x80\0", 6));
  EXPECT_EQ(text(GT_USECRLF, 32).second.substr(0, 7), std::string("ab\r\nc\x80\0", 7));
  // A short buffer takes what fits and its NUL, and nothing past it.
  const auto cut = text(GT_USECRLF, 3);
  EXPECT_EQ(cut.first, 2);
  EXPECT_EQ(cut.second.substr(0, 4), std::string("ab\0#", 4));
  SetSel(rich, 4, 6);
  EXPECT_EQ(text(GT_SELECTION, 32).second.substr(0, 3), std::string("c\x80\0", 3));
  // UTF-16 counts bytes in cb; the euro sign becomes U+20AC.
  const auto wide = text(GT_SELECTION, 32, CP_UTF16);
  EXPECT_EQ(wide.first, 2);
  EXPECT_EQ(wide.second.substr(0, 6), std::string("c\0\xAC\x20\0\0", 6));
  EXPECT_EQ(text(GT_DEFAULT, 0).first, 0);

  // The limit: 0 or less means as much as the control can hold.
  EXPECT_EQ(SendMessageA(rich, EM_GETLIMITTEXT, 0, 0), 30000);
  SendMessageA(rich, EM_EXLIMITTEXT, 0, 0);
  EXPECT_EQ(SendMessageA(rich, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFF);
  SendMessageA(rich, EM_EXLIMITTEXT, 0, -5);
  EXPECT_EQ(SendMessageA(rich, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFF);
  SendMessageA(rich, EM_EXLIMITTEXT, 0, 7);
  SetSel(rich, 6, 6);
  SetFocus(rich);
  Type("xyz");
  EXPECT_EQ(TextOf(rich), "ab\r\nc\x80x");
  // The wrapper with no maximum has no limit.
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  TRichEdit* edit = New<TRichEdit>(form);
  edit->SetParent(form);
  EXPECT_EQ(SendMessageA(edit->GetHandle(), EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFF);
  edit->SetMaxLength(12);
  EXPECT_EQ(SendMessageA(edit->GetHandle(), EM_GETLIMITTEXT, 0, 0), 12);
  form->Free();
}

TEST_F(RichStage, PastingIsPossibleOnlyWithTextOnTheClipboard) {
  HWND rich = MakeRich();
  SetClipboardText("text");
  EXPECT_EQ(SendMessageA(rich, EM_CANPASTE, 0, 0), TRUE);
  EXPECT_EQ(SendMessageA(rich, EM_CANPASTE, CF_TEXT, 0), TRUE);
  EXPECT_EQ(SendMessageA(rich, EM_CANPASTE, CF_BITMAP, 0), FALSE);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(SendMessageA(rich, EM_CANPASTE, 0, 0), FALSE);
}

}  // namespace
