// TButton and TRadioButton on forms: modal results from clicks, Enter and
// Esc through the form to the default and cancel buttons, the default
// frame following the focus, an owner-drawn button that takes the focus
// before its click runs, and radio groups driven by mouse and keys.
#include "ListButtonTestUtil.h"

#include "platform/win/ModalLoop.h"

using namespace lb_test;

namespace {

using Buttons = Stage;

DWORD TypeOf(TWinControl* control) {
  return static_cast<DWORD>(GetWindowLongPtrA(control->GetHandle(), GWL_STYLE)) & BS_TYPEMASK;
}

TEST_F(Buttons, DefaultAndCancelAnswerEnterAndEscapeAndClicksSetTheModalResult) {
  TForm* dialog = MakeForm("Dialog");
  auto* ok = Make<TButton>(dialog, "Ok", Bounds(10, 10, 75, 25));
  auto* cancel = Make<TButton>(dialog, "Cancel", Bounds(90, 10, 75, 25));
  auto* field = Make<TListBox>(dialog, "Field", Bounds(10, 40, 100, 60));
  ok->SetCaption("OK");
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  cancel->SetModalResult(mrCancel);
  cancel->SetCancel(true);
  int okClicks = 0;
  ok->OnClick = [&okClicks](TObject*) { ++okClicks; };
  dialog->SetActiveControl(field);

  win::test::OnNextModalLoop([] { win::test::KeyPress(VK_RETURN); });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(okClicks, 1);
  win::test::OnNextModalLoop([] { win::test::KeyPress(VK_ESCAPE); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);

  // The default frame goes to a focused button and comes back after.
  dialog->SetActiveControl(field);
  win::test::OnNextModalLoop([=] {
    EXPECT_EQ(TypeOf(ok), BS_DEFPUSHBUTTON);
    cancel->SetFocus();
    EXPECT_EQ(TypeOf(ok), BS_PUSHBUTTON);
    EXPECT_EQ(TypeOf(cancel), BS_DEFPUSHBUTTON);
    field->SetFocus();
    EXPECT_EQ(TypeOf(ok), BS_DEFPUSHBUTTON);
    EXPECT_EQ(TypeOf(cancel), BS_PUSHBUTTON);
    // Enter on a focused button clicks that one.
    cancel->SetFocus();
    win::test::KeyPress(VK_RETURN);
  });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);

  // A click takes the focus and ends the form; Space on the focused one too.
  dialog->SetActiveControl(field);
  win::test::OnNextModalLoop([=] {
    win::test::Click(ok->GetHandle(), {5, 5});
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(dialog->GetActiveControl(), ok);
  win::test::OnNextModalLoop([=] {
    cancel->SetFocus();
    win::test::KeyDown(VK_SPACE);
    win::test::PumpUntilIdle();
    EXPECT_TRUE(SendMessageA(cancel->GetHandle(), BM_GETSTATE, 0, 0) & BST_PUSHED);
    win::test::KeyUp(VK_SPACE);
  });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(okClicks, 2);
  dialog->Free();
}

// What the library makes of a button: owner-drawn, painted by itself.
class TPaintedButton : public TButton {
  ORV_CLASS(TPaintedButton, TButton)
 public:
  explicit TPaintedButton(TComponent* AOwner) : TButton(AOwner) {}
  std::vector<std::string> Drawn;

 protected:
  void CreateParams(TCreateParams& Params) override {
    inherited::CreateParams(Params);
    Params.Style = (Params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
  }
  void CNDrawItem(TMessage& Message) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    const TOwnerDrawState state = OwnerDrawStateOf(item->itemState);
    std::string line = item->CtlType == ODT_BUTTON ? "button" : "?";
    if (state.Contains(odSelected)) line += " pressed";
    if (state.Contains(odFocused)) line += " focused";
    if (state.Contains(odDefault)) line += " default";
    Drawn.push_back(line);
    HBRUSH brush = CreateSolidBrush(state.Contains(odSelected) ? RGB(200, 0, 0) : RGB(0, 0, 200));
    FillRect(item->hDC, &item->rcItem, brush);
    DeleteObject(brush);
    Message.Result = 1;
  }
  ORV_MESSAGE(CN_DRAWITEM, CNDrawItem)
};

TEST_F(Buttons, AnOwnerDrawnButtonTakesTheFocusBeforeItsClickRuns) {
  TForm* form = MakeForm("Main");
  auto* grid = Make<TListBox>(form, "Grid", Bounds(10, 10, 100, 60));
  auto* run = Make<TPaintedButton>(form, "Run", Bounds(10, 80, 113, 25));
  run->SetDefault(true);
  std::vector<std::string> events;
  grid->OnExit = [&events](TObject*) { events.push_back("grid exit"); };
  run->OnClick = [&events, run](TObject*) {
    events.push_back(GetFocus() == run->GetHandle() ? "click, focused" : "click, not focused");
  };
  form->Show();
  grid->SetFocus();
  Pump();
  run->Drawn.clear();

  win::test::MouseMove(run->GetHandle(), {20, 10});
  win::test::MouseDown();
  Pump();
  EXPECT_EQ(PixelAt(run->GetHandle(), 50, 12), RGB(200, 0, 0));
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(events, (std::vector<std::string>{"grid exit", "click, focused"}));
  EXPECT_EQ(run->Drawn, (std::vector<std::string>{"button focused default", "button pressed focused default",
                                                  "button focused default"}));
  EXPECT_EQ(PixelAt(run->GetHandle(), 50, 12), RGB(0, 0, 200));
  // Enter, with the focus elsewhere, goes to it as the default button.
  grid->SetFocus();
  Pump();
  events.clear();
  Press(VK_RETURN);
  EXPECT_EQ(events, (std::vector<std::string>{"click, not focused"}));
  form->Free();
}

// ClicksDisabled is for descendants.
class TQuietRadio : public TRadioButton {
  ORV_CLASS(TQuietRadio, TRadioButton)
 public:
  explicit TQuietRadio(TComponent* AOwner) : TRadioButton(AOwner) {}
  void CheckQuietly() {
    SetClicksDisabled(true);
    SetChecked(true);
    SetClicksDisabled(false);
  }
};

TEST_F(Buttons, RadioButtonsOfAParentCheckOneAtATime) {
  TForm* form = MakeForm("Main");
  auto* first = Make<TQuietRadio>(form, "First", Bounds(10, 10, 100, 17));
  auto* second = Make<TRadioButton>(form, "Second", Bounds(10, 30, 100, 17));
  auto* third = Make<TRadioButton>(form, "Third", Bounds(10, 50, 100, 17));
  auto* other = Make<TButton>(form, "Other", Bounds(150, 10, 75, 25));
  first->SetCaption("First");
  second->SetCaption("Second");
  third->SetCaption("Third");
  std::vector<std::string> clicks;
  for (TRadioButton* r : {static_cast<TRadioButton*>(first), second, third})
    r->OnClick = [&clicks](TObject* sender) { clicks.push_back(static_cast<TComponent*>(sender)->GetName()); };
  form->SetActiveControl(other);
  form->Show();
  auto checks = [&] {
    std::string s;
    for (TRadioButton* r : {static_cast<TRadioButton*>(first), second, third})
      s += SendMessageA(r->GetHandle(), BM_GETCHECK, 0, 0) == BST_CHECKED ? "x" : "-";
    return s;
  };
  EXPECT_EQ(checks(), "---");

  ClickAt(second->GetHandle(), {5, 5});
  EXPECT_EQ(checks(), "-x-");
  EXPECT_TRUE(second->GetChecked());
  EXPECT_EQ(clicks, (std::vector<std::string>{"Second"}));
  ClickAt(second->GetHandle(), {5, 5});  // already checked: no click
  ClickAt(third->GetHandle(), {5, 5});
  EXPECT_EQ(checks(), "--x");
  EXPECT_FALSE(second->GetChecked());
  // Only the checked one is a tab stop.
  EXPECT_FALSE(second->GetTabStop());
  EXPECT_TRUE(third->GetTabStop());

  // The arrows move through the group; the focus arriving checks.
  Press(VK_UP);
  EXPECT_EQ(GetFocus(), second->GetHandle());
  EXPECT_EQ(checks(), "-x-");
  Press(VK_UP);
  EXPECT_EQ(checks(), "x--");
  EXPECT_EQ(clicks, (std::vector<std::string>{"Second", "Third", "Second", "First"}));

  // Checking by a program clicks too, unless clicks are disabled.
  third->SetChecked(true);
  EXPECT_EQ(checks(), "--x");
  first->CheckQuietly();
  EXPECT_EQ(checks(), "x--");
  EXPECT_EQ(clicks, (std::vector<std::string>{"Second", "Third", "Second", "First", "Third"}));

  // A window made again shows the check it had.
  first->SetAlignment(taLeftJustify);
  EXPECT_TRUE(GetWindowLongPtrA(first->GetHandle(), GWL_STYLE) & BS_LEFTTEXT);
  EXPECT_EQ(checks(), "x--");
  Pump();
  Snapshot(form->GetHandle(), "RadioButtons.png");

  // Its own colour round the circle, or with ParentBackground the form's.
  form->SetColor(clYellow);
  second->SetColor(clAqua);
  third->SetColor(clAqua);
  third->SetParentBackground(true);
  Pump();
  EXPECT_EQ(PixelAt(second->GetHandle(), 95, 8), RGB(0, 255, 255));
  EXPECT_EQ(PixelAt(third->GetHandle(), 95, 8), RGB(255, 255, 0));
  form->Free();
}

// The underlined letter of a radio button's caption focuses and checks
// it, whether Alt is held or the focused control takes no characters; a
// disabled or hidden one leaves its letter alone.
TEST_F(Buttons, ARadioButtonsMnemonicChoosesItUnlessItCannotTakeTheFocus) {
  TForm* form = MakeForm("Main");
  auto* north = Make<TRadioButton>(form, "North", Bounds(10, 10, 100, 17));
  auto* south = Make<TRadioButton>(form, "South", Bounds(10, 30, 100, 17));
  auto* east = Make<TRadioButton>(form, "East", Bounds(10, 50, 100, 17));
  auto* other = Make<TButton>(form, "Other", Bounds(150, 10, 75, 25));
  north->SetCaption("&North");
  south->SetCaption("&South");
  east->SetCaption("&East");
  other->SetCaption("Other");
  form->SetActiveControl(other);
  form->Show();
  Pump();
  auto alt = [](BYTE key) {
    win::test::KeyDown(VK_MENU);
    win::test::KeyPress(key);
    win::test::KeyUp(VK_MENU);
    Pump();
  };

  alt('S');
  EXPECT_EQ(GetFocus(), south->GetHandle());
  EXPECT_TRUE(south->GetChecked());
  other->SetFocus();
  Pump();
  win::test::TypeText("n");  // a push button takes no characters
  Pump();
  EXPECT_EQ(GetFocus(), north->GetHandle());
  EXPECT_TRUE(north->GetChecked());
  EXPECT_FALSE(south->GetChecked());

  south->SetEnabled(false);
  east->SetVisible(false);
  alt('S');
  alt('E');
  EXPECT_EQ(GetFocus(), north->GetHandle());
  EXPECT_TRUE(north->GetChecked());
  EXPECT_FALSE(south->GetChecked());
  EXPECT_FALSE(east->GetChecked());
  form->Free();
}

TEST_F(Buttons, ButtonsLoadFromALayout) {
  TComponent* built = forms::test::BuildFromText(
      "object Box: TForm\n"
      "  object Yes: TButton\n"
      "    Caption = 'Yes'\n"
      "    Default = True\n"
      "    ModalResult = 6\n"
      "  end\n"
      "  object Pick: TRadioButton\n"
      "    Top = 40\n"
      "    Checked = True\n"
      "  end\n"
      "end\n");
  auto* box = dynamic_cast<TForm*>(built);
  ASSERT_NE(box, nullptr);
  auto* yes = dynamic_cast<TButton*>(box->FindComponent("Yes"));
  auto* pick = dynamic_cast<TRadioButton*>(box->FindComponent("Pick"));
  ASSERT_NE(yes, nullptr);
  ASSERT_NE(pick, nullptr);
  EXPECT_TRUE(yes->GetDefault());
  EXPECT_EQ(yes->GetModalResult(), mrYes);
  EXPECT_TRUE(pick->GetChecked());
  box->Free();
}

}  // namespace

ORV_REGISTER(TPaintedButton)
ORV_REGISTER(TQuietRadio)
