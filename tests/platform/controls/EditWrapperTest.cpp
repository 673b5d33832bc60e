// TEdit on a form: its members over the control's messages, OnChange with
// and without a window, AutoSelect, colours reflected from the parent, the
// painted text, selection and caret in monochrome text, and a window made
// again keeping text, selection and focus.
#include "EditTestUtil.h"

using namespace edit_test;

namespace {

using Sel = std::pair<int, int>;

class EditWrapper : public EditStage {
 protected:
  TForm* form = nullptr;
  TEdit* edit = nullptr;
  std::vector<std::string> changes;

  void SetUp() override {
    EditStage::SetUp();
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBorderStyle(bsNone);
    form->SetPosition(poDesigned);
    form->SetBounds(200, 300, 300, 120);
    form->SetColor(clWhite);
    edit = New<TEdit>(form);
    edit->SetBounds(10, 10, 150, 20);
    edit->OnChange = [this](TObject*) { changes.push_back(edit->GetText()); };
  }
  void TearDown() override {
    form->Free();
    EditStage::TearDown();
  }
  void Show() {
    edit->SetParent(form);
    form->Show();
    Pump();
  }
  HWND Handle() { return edit->GetHandle(); }
  // A pixel of the edit's client area as painted.
  COLORREF Pixel(int x, int y) {
    HDC dc = GetDC(Handle());
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(Handle(), dc);
    return c;
  }
  // Columns [from, to) of the edit's first row band holding a pixel of colour c.
  bool AnyIn(int from, int to, int height, COLORREF c) {
    for (int x = from; x < to; ++x)
      for (int y = 0; y < height; ++y)
        if (Pixel(x, y) == c) return true;
    return false;
  }
};

TEST_F(EditWrapper, OnChangeComesWithAndWithoutAWindowButNotForTheFirstText) {
  edit->SetText("before");
  EXPECT_FALSE(edit->HandleAllocated());
  EXPECT_EQ(changes, (std::vector<std::string>{"before"}));
  Show();
  EXPECT_TRUE(edit->HandleAllocated());
  EXPECT_EQ(TextOf(Handle()), "before");
  EXPECT_EQ(changes.size(), 1u);  // making the window is no change
  edit->SetText("after");
  SetFocus(Handle());
  Type("!");
  SendMessageA(Handle(), WM_UNDO, 0, 0);
  // The form's first control took the focus when it showed; the new text
  // put the caret at 0.
  EXPECT_EQ(changes, (std::vector<std::string>{"before", "after", "!after", "after"}));
  EXPECT_TRUE(edit->GetModified());
  edit->SetModified(false);
  EXPECT_FALSE(edit->GetModified());
}

TEST_F(EditWrapper, MembersGoThroughTheControlsMessages) {
  edit->SetText("Hello World");
  edit->SetMaxLength(14);
  Show();
  edit->SetSelStart(6);
  edit->SetSelLength(5);
  EXPECT_EQ(edit->GetSelStart(), 6);
  EXPECT_EQ(edit->GetSelLength(), 5);
  EXPECT_EQ(edit->GetSelText(), "World");
  edit->CopyToClipboard();
  EXPECT_EQ(ClipboardText(), "World");
  edit->SetSelText("There");
  EXPECT_EQ(edit->GetText(), "Hello There");
  edit->SelectAll();
  EXPECT_EQ(SelOf(Handle()), Sel(0, 11));
  edit->CutToClipboard();
  EXPECT_EQ(edit->GetText(), "");
  edit->PasteFromClipboard();
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->GetText(), "Hello ThereHel");  // cut at MaxLength
  edit->Undo();
  EXPECT_EQ(edit->GetText(), "Hello There");
  edit->SetSelStart(0);
  edit->SetSelLength(6);
  edit->ClearSelection();
  EXPECT_EQ(edit->GetText(), "There");
  edit->SetReadOnly(true);
  SetFocus(Handle());
  Type("x");
  EXPECT_EQ(edit->GetText(), "There");
  edit->SetPasswordChar('*');
  EXPECT_EQ(SendMessageA(Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
  // A descendant handling EM_SETSEL sees the control's answer right after
  // passing it on.
  std::vector<Sel> seen;
  TWndMethod original = edit->GetWindowProc();
  edit->SetWindowProc([&](TMessage& m) {
    original(m);
    if (m.Msg == EM_SETSEL) seen.push_back(SelOf(Handle()));
  });
  edit->SetSelStart(2);
  edit->SetWindowProc(original);
  EXPECT_EQ(seen, (std::vector<Sel>{{2, 2}}));
}

TEST_F(EditWrapper, AutoSelectOnKeyboardFocusButNotOnAMousePress) {
  auto* other = New<TEdit>(form);
  other->SetBounds(10, 50, 150, 20);
  other->SetParent(form);
  edit->SetText("select me");
  Show();
  other->SetFocus();
  Pump();
  edit->SetFocus();
  Pump();
  EXPECT_EQ(SelOf(Handle()), Sel(0, 9));
  other->SetFocus();
  Pump();
  win::test::Click(Handle(), {PosX(Handle(), 3) + 1, 5});
  Pump();
  EXPECT_EQ(GetFocus(), Handle());
  EXPECT_EQ(SelOf(Handle()), Sel(3, 3));
  // Tab from the other edit selects all again; without AutoSelect it does not.
  other->SetFocus();
  Pump();
  edit->SetAutoSelect(false);
  SetSel(Handle(), 1, 1);
  edit->SetFocus();
  Pump();
  EXPECT_EQ(SelOf(Handle()), Sel(1, 1));
}

TEST_F(EditWrapper, PaintsTextSelectionAndCaretInTheControlsColours) {
  edit->SetText("WWW WWW");
  edit->SetColor(clYellow);
  edit->GetFont()->SetColor(clBlue);
  auto* other = New<TEdit>(form);
  other->SetBounds(10, 50, 150, 20);
  other->SetParent(form);
  Show();
  other->SetFocus();
  HWND h = Handle();
  SendMessageA(h, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 1));
  UpdateWindow(h);
  const int height = 14;
  const COLORREF yellow = RGB(255, 255, 0), blue = RGB(0, 0, 255);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  const int end3 = PosX(h, 3), start4 = PosX(h, 4);
  // The background is the control's Color, the text its Font.Color, and
  // nothing is drawn past the text.
  EXPECT_EQ(Pixel(149, 19), yellow);
  EXPECT_TRUE(AnyIn(0, end3, height, blue));
  EXPECT_FALSE(AnyIn(PosX(h, 6) + Width(h, "W"), 149, height, blue));
  // Unfocused, the selection is hidden; focused, it is in the highlight colours.
  SetSel(h, 4, 7);
  UpdateWindow(h);
  EXPECT_FALSE(AnyIn(start4, start4 + 3, height, highlight));
  SetFocus(h);
  SetSel(h, 4, 7);
  UpdateWindow(h);
  EXPECT_TRUE(AnyIn(start4, PosX(h, 6), height, highlightText));
  EXPECT_FALSE(AnyIn(start4, PosX(h, 6), height, blue));
  EXPECT_TRUE(AnyIn(0, end3, height, blue));
  EXPECT_EQ(Pixel(start4, 0), highlight);
  // The caret stands at the active end, in client pixels, top-aligned.
  EXPECT_EQ(CaretAt().X, PosX(h, 4) + Width(h, "WWW"));
  EXPECT_EQ(CaretAt().Y, 0);
  SetSel(h, 7, 2);
  EXPECT_EQ(CaretAt().X, PosX(h, 2));
  // Disabled text is grey.
  edit->SetEnabled(false);
  Pump();
  UpdateWindow(h);
  EXPECT_TRUE(AnyIn(0, end3, height, GetSysColor(COLOR_GRAYTEXT)));
  EXPECT_FALSE(AnyIn(0, end3, height, blue));
  // Without HideSelection the selection shows while another control has
  // the focus.
  edit->SetEnabled(true);
  edit->SetHideSelection(false);
  other->SetFocus();
  SetSel(Handle(), 4, 7);
  UpdateWindow(Handle());
  EXPECT_EQ(Pixel(PosX(Handle(), 4), 0), highlight);
  EXPECT_TRUE(AnyIn(PosX(Handle(), 4), PosX(Handle(), 6), height, highlightText));
}

TEST_F(EditWrapper, StyleChangesRecreateTheWindowKeepingTextSelectionAndFocus) {
  edit->SetText("keep");
  Show();
  SetFocus(Handle());
  Pump();
  SetSel(Handle(), 1, 3);
  SendMessageA(Handle(), EM_SETMODIFY, TRUE, 0);
  HWND before = Handle();
  edit->SetAlignment(taRightJustify);
  HWND after = Handle();
  EXPECT_NE(before, after);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_NE(GetWindowLongPtrA(after, GWL_STYLE) & ES_RIGHT, 0);
  EXPECT_EQ(TextOf(after), "keep");
  EXPECT_EQ(SelOf(after), Sel(1, 3));
  EXPECT_EQ(GetFocus(), after);
  EXPECT_TRUE(edit->GetModified());
  // Right-aligned text ends at the right margin.
  EXPECT_EQ(PosX(after, 0), 150 - Width(after, "keep"));
  edit->SetCharCase(ecUpperCase);
  Press(VK_END);
  Type("s");
  EXPECT_EQ(edit->GetText(), "keepS");
  edit->SetHideSelection(false);
  EXPECT_NE(GetWindowLongPtrA(Handle(), GWL_STYLE) & ES_NOHIDESEL, 0);
  EXPECT_EQ(changes, (std::vector<std::string>{"keep", "keepS"}));
}

TEST_F(EditWrapper, LayoutsSetThePublishedPropertiesAndTheWindowTakesThem) {
  TComponent* made = forms::test::BuildFromText(
      "object Name: TEdit\n"
      "  Left = 10\n  Top = 80\n"
      "  Text = 'layout'\n  MaxLength = 8\n  PasswordChar = '*'\n"
      "  CharCase = ecUpperCase\n  ReadOnly = True\n  AutoSelect = False\n"
      "end\n");
  auto* loaded = dynamic_cast<TEdit*>(made);
  ASSERT_NE(loaded, nullptr);
  loaded->SetParent(form);
  Show();
  HWND h = loaded->GetHandle();
  EXPECT_EQ(TextOf(h), "layout");
  EXPECT_EQ(SendMessageA(h, EM_GETLIMITTEXT, 0, 0), 8);
  EXPECT_EQ(SendMessageA(h, EM_GETPASSWORDCHAR, 0, 0), '*');
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE));
  EXPECT_NE(style & ES_UPPERCASE, 0u);
  EXPECT_NE(style & ES_READONLY, 0u);
  EXPECT_FALSE(loaded->GetAutoSelect());
  EXPECT_FALSE(loaded->GetModified());
}

}  // namespace
