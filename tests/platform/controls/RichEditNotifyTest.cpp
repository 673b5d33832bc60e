// What the parent of a rich edit hears: exactly the notifications its
// event mask asks for, told as a log; key filtering, protected text and
// the clipboard at the end; and the wrapper's events over them.
#include "RichTestUtil.h"

using namespace rich_test;
using Log = std::vector<std::string>;

namespace {

DWORD SetMask(HWND rich, DWORD mask) {
  return static_cast<DWORD>(SendMessageA(rich, EM_SETEVENTMASK, 0, static_cast<LPARAM>(mask)));
}

TEST_F(RichStage, TheEventMaskDecidesExactlyWhatTheParentHears) {
  HWND rich = MakeRich("", WS_VSCROLL);
  SetFocus(rich);
  // Nothing asked, nothing heard: not even EN_CHANGE.
  Type("ab");
  SetSel(rich, 0, 1);
  EXPECT_EQ(TakeRichLog(), Log{});
  EXPECT_EQ(SetMask(rich, ENM_CHANGE), ENM_NONE);
  Type("c");
  EXPECT_EQ(TakeRichLog(), Log{"EN_CHANGE"});
  EXPECT_EQ(SetMask(rich, ENM_SELCHANGE), ENM_CHANGE);
  SetSel(rich, 0, 2);
  Type("x");
  SetSel(rich, 1, 1);  // no move, no word
  EXPECT_EQ(TakeRichLog(), (Log{"EN_SELCHANGE 0-2 5", "EN_SELCHANGE 1-1 0"}));
  // Keys reach the parent first; a non-zero answer stops them.
  SetMask(rich, ENM_KEYEVENTS);
  Answers().filter = 1;
  Type("q");
  EXPECT_EQ(TakeRichLog(), (Log{"EN_MSGFILTER WM_KEYDOWN 81", "EN_MSGFILTER WM_CHAR 113", "EN_MSGFILTER WM_KEYUP 81"}));
  EXPECT_EQ(TextOf(rich), "x");
  Answers().filter = 0;
  // The size the content asks for, told when it changes.
  SetMask(rich, ENM_REQUESTRESIZE);
  SendMessageA(rich, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\r\ny"));
  const int lineHeight = PosY(rich, 3) - PosY(rich, 0);
  ASSERT_GT(lineHeight, 0);
  EXPECT_EQ(TakeRichLog(), Log{"EN_REQUESTRESIZE " + std::to_string(2 * lineHeight)});
  Type("y");
  EXPECT_EQ(TakeRichLog(), Log{});
  // The front end's mask: one typed character, in this order.
  EXPECT_EQ(SetMask(rich, 0x2D0001), ENM_REQUESTRESIZE);
  EXPECT_EQ(SendMessageA(rich, EM_GETEVENTMASK, 0, 0), 0x2D0001);
  Type("z");
  EXPECT_EQ(TakeRichLog(), (Log{"EN_MSGFILTER WM_KEYDOWN 90", "EN_MSGFILTER WM_CHAR 122", "EN_CHANGE",
                                "EN_SELCHANGE 6-6 0", "EN_MSGFILTER WM_KEYUP 90"}));
}

TEST_F(RichStage, ProtectedTextAsksTheParentBeforeItChanges) {
  HWND rich = MakeRich("free LOCK free");
  SetSel(rich, 5, 9);
  SetCharFormat(rich, SCF_SELECTION, CharFormat(CFM_PROTECTED, CFE_PROTECTED));
  // Without ENM_PROTECTED nobody is asked and the change goes through.
  SetSel(rich, 6, 7);
  SendMessageA(rich, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("0"));
  EXPECT_EQ(TextOf(rich), "free L0CK free");
  EXPECT_EQ(TakeRichLog(), Log{});
  SetMask(rich, ENM_PROTECTED);
  // Refused: typing inside, deleting across, formatting over it.
  Answers().protect = 1;
  SetSel(rich, 7, 7);
  SetFocus(rich);
  Type("x");
  SetSel(rich, 2, 12);
  SendMessageA(rich, WM_CLEAR, 0, 0);
  SetCharFormat(rich, SCF_SELECTION, CharFormat(CFM_BOLD, CFE_BOLD));
  EXPECT_EQ(TextOf(rich), "free L0CK free");
  EXPECT_EQ(TakeRichLog(), (Log{"EN_PROTECTED 7-7", "EN_PROTECTED 2-12", "EN_PROTECTED 2-12"}));
  EXPECT_FALSE(controls::test::RichEditRuns(rich)[1].Bold);
  // Next to it is not inside it.
  SetSel(rich, 4, 4);
  Type("s");
  EXPECT_EQ(TextOf(rich), "frees L0CK free");
  EXPECT_EQ(TakeRichLog(), Log{});
  // Allowed.
  Answers().protect = 0;
  SetSel(rich, 0, 15);
  SendMessageA(rich, WM_CLEAR, 0, 0);
  EXPECT_EQ(TextOf(rich), "");
  EXPECT_EQ(TakeRichLog(), Log{"EN_PROTECTED 0-15"});
}

TEST_F(RichStage, AControlThatGoesAsksWhetherItsClipboardTextStays) {
  for (const LRESULT answer : {LRESULT{0}, LRESULT{1}}) {
    HWND rich = MakeRich("copy this");
    SetSel(rich, 0, 4);
    SendMessageA(rich, WM_COPY, 0, 0);
    Answers().clipboard = answer;
    DestroyWindow(rich);
    EXPECT_EQ(TakeRichLog(), Log{"EN_SAVECLIPBOARD 4"});
    EXPECT_EQ(ClipboardText(), answer == 0 ? "copy" : "<none>");
  }
  // A control that does not own the clipboard asks nothing.
  SetClipboardText("someone else's");
  DestroyWindow(MakeRich("quiet"));
  EXPECT_EQ(TakeRichLog(), Log{});
}

TEST_F(RichStage, AParentThatDestroysTheControlFromANotificationEndsNothingBadly) {
  HWND rich = MakeRich("text");
  SetMask(rich, ENM_CHANGE | ENM_SELCHANGE | ENM_REQUESTRESIZE);
  Answers().onChange = [](HWND h) { DestroyWindow(h); };
  SetFocus(rich);
  Type("a");
  EXPECT_FALSE(IsWindow(rich));
  EXPECT_EQ(TakeRichLog(), Log{"EN_CHANGE"});
  // Undo replays through the same path.
  rich = MakeRich("");
  SetFocus(rich);
  Type("bc");
  SetMask(rich, ENM_CHANGE);
  SendMessageA(rich, EM_UNDO, 0, 0);
  EXPECT_FALSE(IsWindow(rich));
}

// The wrapper's events follow the notifications it asks for itself.
TEST_F(RichStage, TheWrapperTurnsNotificationsIntoEvents) {
  struct Listener : TObject {
    std::vector<std::string> heard;
    bool allow = false;
    bool save = true;
    void SelChanged(TObject*) { heard.push_back("selection"); }
    void Resize(TObject*, const TRect& r) { heard.push_back("resize " + std::to_string(r.Height())); }
    void Protect(TObject*, Integer a, Integer b, bool& allowChange) {
      heard.push_back("protect " + std::to_string(a) + "-" + std::to_string(b));
      allowChange = allow;
    }
    void Clipboard(TObject*, Integer, Integer chars, bool& keep) {
      heard.push_back("clipboard " + std::to_string(chars));
      keep = save;
    }
    void Changed(TObject*) { heard.push_back("change"); }
  } listener;
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  TRichEdit* edit = New<TRichEdit>(form);
  edit->SetParent(form);
  edit->SetBounds(0, 0, 200, 100);
  edit->OnSelectionChange = TNotifyEvent::Bind<&Listener::SelChanged>(&listener);
  edit->OnResizeRequest = TRichEditResizeEvent::Bind<&Listener::Resize>(&listener);
  edit->OnProtectChange = TRichEditProtectChange::Bind<&Listener::Protect>(&listener);
  edit->OnSaveClipboard = TRichEditSaveClipboard::Bind<&Listener::Clipboard>(&listener);
  edit->OnChange = TNotifyEvent::Bind<&Listener::Changed>(&listener);
  HWND h = edit->GetHandle();
  edit->SetText("abc");
  listener.heard.clear();
  edit->SetSelStart(1);
  edit->SetSelLength(1);
  edit->GetSelAttributes()->SetColor(clRed);  // not protected: no question
  SetCharFormat(h, SCF_SELECTION, CharFormat(CFM_PROTECTED, CFE_PROTECTED));
  edit->SetSelText("X");
  EXPECT_EQ(edit->GetText(), "abc");
  listener.allow = true;
  edit->SetSelText("X");
  EXPECT_EQ(edit->GetText(), "aXc");
  edit->GetLines()->Add("more");
  const int lineHeight = PosY(h, 5) - PosY(h, 0);
  EXPECT_EQ(listener.heard,
            (std::vector<std::string>{"selection", "selection", "protect 1-2", "protect 1-2", "change", "selection",
                                      "selection", "change", "selection", "resize " + std::to_string(3 * lineHeight)}));
  edit->SelectAll();
  edit->CopyToClipboard();
  listener.heard.clear();
  listener.save = false;
  form->Free();
  EXPECT_EQ(listener.heard, std::vector<std::string>{"clipboard 11"});
  EXPECT_EQ(ClipboardText(), "<none>");
}

}  // namespace
