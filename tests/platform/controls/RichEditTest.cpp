// The rich edit: its classes come with the rich-edit modules, character
// runs set and read through its messages, and the front end's coloured
// log told as a person sees it: runs as data and painted pixels.
#include <climits>

#include "EditTestUtil.h"

#include "platform/controls/RichEdit.h"
#include "platform/controls/RichEditControl.h"
#include "platform/controls/RichEditTestHooks.h"
#include "platform/win/Modules.h"
#include "platform/win/ScrollBars.h"

#include <set>

using namespace edit_test;
using controls::test::RichEditRuns;
using controls::test::RichRun;

namespace {

using Sel = std::pair<int, int>;
using Runs = std::vector<RichRun>;

RichRun Auto(const std::string& text) { return {text}; }
RichRun Coloured(const std::string& text, COLORREF c, bool bold = false) { return {text, false, c, bold}; }

CHARFORMATA Format(DWORD mask, DWORD effects = 0, COLORREF colour = 0) {
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = mask;
  cf.dwEffects = effects;
  cf.crTextColor = colour;
  return cf;
}

class RichStage : public EditStage {
 protected:
  HWND MakeRich(const char* text = "", RECT bounds = {10, 10, 210, 110}) {
    if (!GetModuleHandleA("Msftedit")) {
      EXPECT_TRUE(LoadLibraryA("Msftedit"));
    }
    return CreateWindowExA(0, "RICHEDIT50A", text, WS_CHILD | WS_VISIBLE | WS_VSCROLL, bounds.Left, bounds.Top,
                           bounds.Width(), bounds.Height(), host, reinterpret_cast<HMENU>(7), nullptr, nullptr);
  }
  static LRESULT SetFormat(HWND h, WPARAM scope, CHARFORMATA cf) {
    return SendMessageA(h, EM_SETCHARFORMAT, scope, reinterpret_cast<LPARAM>(&cf));
  }
};

TEST_F(RichStage, ClassesComeWithTheirModuleAndAreAlwaysMultiLine) {
  WNDCLASSA wc{};
  ASSERT_TRUE(LoadLibraryA("Riched20"));
  EXPECT_TRUE(GetClassInfoA(nullptr, "RICHEDIT20A", &wc));
  EXPECT_TRUE(GetClassInfoA(nullptr, "RICHEDIT20", &wc));
  ASSERT_TRUE(LoadLibraryA("Msftedit"));
  EXPECT_TRUE(GetClassInfoA(nullptr, "RICHEDIT50A", &wc));
  EXPECT_TRUE(GetClassInfoA(nullptr, "RICHEDIT50", &wc));
  HWND rich = CreateWindowExA(0, "RICHEDIT50", "a\r\nb", WS_CHILD, 0, 0, 100, 60, host, nullptr, nullptr, nullptr);
  EXPECT_TRUE(GetWindowLongPtrA(rich, GWL_STYLE) & ES_MULTILINE);
  EXPECT_EQ(SendMessageA(rich, EM_GETLINECOUNT, 0, 0), 2);
  GETTEXTLENGTHEX how{GTL_USECRLF, 0};
  EXPECT_EQ(SendMessageA(rich, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0), 4);
  // Other windows have no runs to read.
  EXPECT_TRUE(RichEditRuns(host).empty());
}

TEST_F(RichStage, RunsSplitMergeAndFollowEveryChangeOfTheText) {
  HWND rich = MakeRich("red green blue");
  EXPECT_EQ(RichEditRuns(rich), (Runs{Auto("red green blue")}));
  // EM_EXSETSEL: anchor and active end, -1 as the end means the end.
  CHARRANGE range{4, 9};
  EXPECT_EQ(SendMessageA(rich, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range)), 9);
  EXPECT_EQ(SetFormat(rich, SCF_SELECTION, Format(CFM_COLOR | CFM_BOLD, CFE_BOLD, RGB(0, 128, 0))), 1);
  EXPECT_EQ(RichEditRuns(rich), (Runs{Auto("red "), Coloured("green", 0x008000, true), Auto(" blue")}));
  range = {0, -1};
  SendMessageA(rich, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARRANGE got{};
  SendMessageA(rich, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&got));
  EXPECT_EQ(got.cpMin, 0);
  EXPECT_EQ(got.cpMax, 14);
  // Over a mixed selection the mask names only what all of it shares.
  CHARFORMATA cf = Format(0);
  const auto mask = static_cast<DWORD>(SendMessageA(rich, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)));
  EXPECT_FALSE(mask & CFM_COLOR);
  EXPECT_FALSE(mask & CFM_BOLD);
  EXPECT_TRUE(mask & CFM_ITALIC);
  EXPECT_TRUE(mask & CFM_FACE);
  EXPECT_EQ(cf.dwMask, mask);
  // Setting the same over all of it merges the runs again.
  SetFormat(rich, SCF_ALL, Format(CFM_COLOR | CFM_BOLD, CFE_AUTOCOLOR));
  EXPECT_EQ(RichEditRuns(rich), (Runs{Auto("red green blue")}));
  // Typed text takes the format before it; replacing a selection, the
  // format of its first character; undo puts the runs back with the text.
  range = {0, 3};
  SendMessageA(rich, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  SetFormat(rich, SCF_SELECTION, Format(CFM_COLOR | CFM_ITALIC, CFE_ITALIC, RGB(255, 0, 0)));
  SetSel(rich, 3, 3);
  SetFocus(rich);
  Type("dish");
  const RichRun reddish{"reddish", false, 0x0000FF, false, true};
  EXPECT_EQ(RichEditRuns(rich), (Runs{reddish, Auto(" green blue")}));
  SetSel(rich, 8, 13);
  SendMessageA(rich, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("grey"));
  EXPECT_EQ(TextOf(rich), "reddish grey blue");
  SendMessageA(rich, EM_UNDO, 0, 0);
  EXPECT_EQ(TextOf(rich), "reddish green blue");
  EXPECT_EQ(RichEditRuns(rich), (Runs{reddish, Auto(" green blue")}));
  // Setting the text clears every run.
  SetWindowTextA(rich, "plain");
  EXPECT_EQ(RichEditRuns(rich), (Runs{Auto("plain")}));
  // Bad requests change nothing: a null or short structure, an
  // unterminated face, an absurd size.
  EXPECT_EQ(SendMessageA(rich, EM_SETCHARFORMAT, SCF_ALL, 0), 0);
  CHARFORMATA small = Format(CFM_BOLD, CFE_BOLD);
  small.cbSize = sizeof small - 1;
  EXPECT_EQ(SendMessageA(rich, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&small)), 0);
  EXPECT_EQ(SendMessageA(rich, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&small)), 0);
  EXPECT_EQ(RichEditRuns(rich), (Runs{Auto("plain")}));
  CHARFORMATA odd = Format(CFM_FACE | CFM_SIZE);
  std::memset(odd.szFaceName, 'Z', sizeof odd.szFaceName);
  odd.yHeight = 0x7FFFFFFF;
  EXPECT_EQ(SetFormat(rich, SCF_ALL, odd), 1);
  CHARFORMATA back = Format(0);
  SetSel(rich, 0, -1);
  SendMessageA(rich, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&back));
  EXPECT_EQ(std::string(back.szFaceName), std::string(LF_FACESIZE - 1, 'Z'));
  EXPECT_EQ(back.yHeight, 1638 * 20);
  // A font given to the window sets the default size, held to the largest
  // there is whatever its height, the most negative one too.
  for (int height : {INT_MIN, -3000000, 3000000}) {
    HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    SendMessageA(rich, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    CHARFORMATA given = Format(0);
    SendMessageA(rich, EM_GETCHARFORMAT, 0, reinterpret_cast<LPARAM>(&given));
    EXPECT_EQ(given.yHeight, 1638 * 20) << height;
    SendMessageA(rich, WM_SETFONT, 0, FALSE);
    DeleteObject(font);
  }
}

// The front end's log: each line goes to the end in its colour and style,
// and the view follows it.
class RichLog : public EditStage {
 protected:
  TForm* form = nullptr;
  TRichEdit* log = nullptr;

  void SetUp() override {
    EditStage::SetUp();
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBorderStyle(bsNone);
    form->SetPosition(poDesigned);
    form->SetBounds(200, 300, 320, 120);
    log = New<TRichEdit>(form);
    log->SetBounds(10, 10, 300, 60);
    log->SetScrollBars(ssVertical);
    log->SetParent(form);
    log->SetColor(clWhite);
    form->Show();
    Pump();
  }
  void TearDown() override {
    form->Free();
    EditStage::TearDown();
  }
  HWND Handle() { return log->GetHandle(); }

  void LogLine(const std::string& text, TColor colour, TFontStyles style = {}) {
    log->SetSelStart(log->GetTextLen());
    log->GetSelAttributes()->SetColor(colour);
    log->GetSelAttributes()->SetStyle(style);
    log->GetLines()->Add(text);
    log->SetSelStart(log->GetTextLen());
    SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
  }

  // The colours of the text pixels in a band of the log's client area.
  std::set<COLORREF> InkIn(int top, int bottom) {
    std::set<COLORREF> ink;
    HDC dc = GetDC(Handle());
    RECT rc{};
    GetClientRect(Handle(), &rc);
    for (int y = std::max(0, top); y < std::min(bottom, static_cast<int>(rc.Bottom)); ++y)
      for (int x = 0; x < rc.Right; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        if (c != RGB(255, 255, 255)) ink.insert(c);
      }
    ReleaseDC(Handle(), dc);
    return ink;
  }
};

TEST_F(RichLog, LinesGoToTheEndInTheirColoursAndTheViewFollows) {
  EXPECT_FALSE(GetWindowLongPtrA(Handle(), GWL_STYLE) & ES_READONLY);
  LogLine("Started", 0x000000);
  LogLine("Warning: slow", 0x0000FF);
  LogLine("Error: failed", 0xFF0000, TFontStyles{fsBold});
  LogLine("Done", 0x008000);
  EXPECT_EQ(RichEditRuns(Handle()),
            (Runs{Coloured("Started\r\n", 0x000000), Coloured("Warning: slow\r\n", 0x0000FF),
                  Coloured("Error: failed\r\n", 0xFF0000, true), Coloured("Done\r\n", 0x008000)}));
  EXPECT_EQ(log->GetLines()->GetCount(), 4);
  EXPECT_EQ(log->GetLines()->Get(2), "Error: failed");
  EXPECT_EQ(log->GetTextLen(), 9 + 15 + 15 + 6);
  // The caret went to the empty line after the last, and the view scrolled
  // so it shows at the bottom.
  HWND h = Handle();
  RECT rc{};
  GetClientRect(h, &rc);
  const int lh = PosY(h, 9) - PosY(h, 0);
  const int visible = rc.Bottom / lh;
  ASSERT_LT(visible, 5);
  EXPECT_EQ(controls::test::EditFirstVisible(h), 5 - visible);
  SCROLLINFO si;
  si.fMask = SIF_POS;
  GetScrollInfo(h, SB_VERT, &si);
  EXPECT_EQ(si.nPos, 5 - visible);
  // Painted: each visible line in its own colour only.
  UpdateWindow(h);
  const COLORREF colours[] = {0x000000, 0x0000FF, 0xFF0000, 0x008000};
  for (int line = 5 - visible; line < 4; ++line) {
    const int y = (line - (5 - visible)) * lh;
    EXPECT_EQ(InkIn(y, y + lh), std::set<COLORREF>{colours[line]}) << line;
  }
  // The bold line is wider than the same text plain.
  const int error = 9 + 15;
  EXPECT_GT(PosX(h, error + 12) - PosX(h, error), Width(h, "Error: faile"));
  // Clearing empties text and runs; the next line starts fresh at the top.
  log->GetLines()->Clear();
  EXPECT_TRUE(RichEditRuns(h).empty());
  EXPECT_EQ(controls::test::EditFirstVisible(h), 0);
  LogLine("Again", 0x0000FF);
  EXPECT_EQ(RichEditRuns(h), (Runs{Coloured("Again\r\n", 0x0000FF)}));
  UpdateWindow(h);
  EXPECT_EQ(InkIn(0, lh), std::set<COLORREF>{0x0000FF});
}

// The front end's log as it grows through many batches: the caret to the
// end, a colour and weight, the line as the selection's text. Lines put in
// the middle and a stretch taken out later find every run, line and undo
// step where a fresh layout and the text say they are.
TEST_F(RichLog, ALogOfManyLinesKeepsEachLineInItsColourPlaceAndHistory) {
  constexpr int kMany = 20000;
  const COLORREF colours[] = {0x000000, 0x0000FF, 0xFF0000, 0x008000};
  auto line = [](int i) { return "map " + std::to_string(i) + " created\r\n"; };
  auto run = [&](int i) { return Coloured(line(i), colours[i % 4], i % 4 == 2); };
  HWND h = Handle();
  std::vector<int> starts;
  for (int i = 0; i < kMany; ++i) {
    starts.push_back(log->GetTextLen());
    log->SetSelStart(log->GetTextLen());
    log->GetSelAttributes()->SetColor(static_cast<TColor>(colours[i % 4]));
    log->GetSelAttributes()->SetStyle(i % 4 == 2 ? TFontStyles{fsBold} : TFontStyles{});
    log->SetSelText(line(i));
  }
  EXPECT_EQ(SendMessageA(h, EM_GETLINECOUNT, 0, 0), kMany + 1);
  Runs runs = RichEditRuns(h);
  ASSERT_EQ(runs.size(), static_cast<std::size_t>(kMany));
  for (int i : {0, 1, 2, 3, kMany / 2, kMany - 1}) {
    EXPECT_EQ(runs[static_cast<std::size_t>(i)], run(i)) << i;
    EXPECT_EQ(SendMessageA(h, EM_LINEINDEX, static_cast<WPARAM>(i), 0), starts[static_cast<std::size_t>(i)]) << i;
  }

  // A grey line in the middle, then a stretch from inside one line to
  // inside the line after next taken out (undoably).
  const int mid = starts[kMany / 2];
  SetSel(h, mid, mid);
  log->GetSelAttributes()->SetColor(static_cast<TColor>(0x808080));
  log->GetSelAttributes()->SetStyle({});
  log->SetSelText("inserted\r\n");
  const int from = starts[5000] + 4, to = starts[5002] + 4;
  SetSel(h, from, to);
  SendMessageA(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(""));
  runs = RichEditRuns(h);
  ASSERT_EQ(runs.size(), static_cast<std::size_t>(kMany));
  EXPECT_EQ(runs[5000], Coloured("map ", colours[0]));
  EXPECT_EQ(runs[5001], Coloured(line(5002).substr(4), colours[2], true));
  EXPECT_EQ(runs[5002], run(5003));
  EXPECT_EQ(runs[kMany / 2 - 2], run(kMany / 2 - 1));
  EXPECT_EQ(runs[kMany / 2 - 1], Coloured("inserted\r\n", 0x808080));
  EXPECT_EQ(runs[kMany / 2], run(kMany / 2));
  const int removed = to - from;
  // Two line breaks went and one came.
  EXPECT_EQ(SendMessageA(h, EM_LINEINDEX, kMany / 2 - 2, 0), mid - removed);
  EXPECT_EQ(SendMessageA(h, EM_LINEINDEX, kMany / 2 - 1, 0), mid - removed + 10);
  EXPECT_EQ(SendMessageA(h, EM_LINEFROMCHAR, static_cast<WPARAM>(log->GetTextLen()), 0), kMany - 1);

  // The lines kept in step with each edit are the lines laid out afresh.
  const int last = log->GetTextLen() - 3;
  auto places = [&] {
    std::vector<int> out;
    const auto origin = static_cast<DWORD_PTR>(SendMessageA(h, EM_POSFROMCHAR, 0, 0));
    for (int i : {1, from - 1, from, from + 1, mid - removed, mid - removed + 12, last}) {
      const auto p = static_cast<DWORD_PTR>(SendMessageA(h, EM_POSFROMCHAR, static_cast<WPARAM>(i), 0));
      out.push_back(static_cast<short>(LOWORD(p)) - static_cast<short>(LOWORD(origin)));
      out.push_back(static_cast<short>(HIWORD(p)) - static_cast<short>(HIWORD(origin)));
    }
    return out;
  };
  const std::vector<int> kept = places();
  log->SetWidth(log->GetWidth() + 1);
  log->SetWidth(log->GetWidth() - 1);
  EXPECT_EQ(places(), kept);

  // The window's own text followed every edit; undo brings the stretch
  // back in its colours.
  auto ownText = [&] {
    std::string text(static_cast<std::size_t>(DefWindowProcA(h, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(static_cast<std::size_t>(DefWindowProcA(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
  };
  EXPECT_EQ(ownText(), TextOf(h));
  SendMessageA(h, EM_UNDO, 0, 0);
  runs = RichEditRuns(h);
  EXPECT_EQ(runs[5000], run(5000));
  EXPECT_EQ(runs[5001], run(5001));
  EXPECT_EQ(runs[5002], run(5002));
  EXPECT_EQ(ownText(), TextOf(h));
}

TEST_F(RichLog, APersonSelectsAndCopiesFromTheLog) {
  LogLine("first line", 0x000000);
  LogLine("second line", 0xFF0000);
  HWND h = Handle();
  SetSel(h, 0, 0);
  SendMessageA(h, EM_SCROLLCARET, 0, 0);
  const int lh = PosY(h, 12);
  win::test::MouseMove(h, {PosX(h, 6), 2});
  win::test::MouseDown();
  win::test::MouseMove(h, {PosX(h, 18) + 1, lh + 2});
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(SelOf(h), Sel(6, 18));
  Chord(VK_CONTROL, 'C');
  EXPECT_EQ(ClipboardText(), "line\r\nsecond");
  // The selection's attributes read back through the wrapper.
  SetSel(h, 12, 14);
  EXPECT_EQ(log->GetSelAttributes()->GetColor(), 0xFF0000);
  EXPECT_EQ(log->GetDefAttributes()->GetColor(), clWindowText);
}

}  // namespace
