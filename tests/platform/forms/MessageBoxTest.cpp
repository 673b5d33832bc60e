// Message boxes: scripted answers with a log of what was asked, an
// unscripted box failing instead of waiting, the application's error box,
// and the real box answering its buttons and keys.
#include "platform/forms/DialogControls.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/Screen.h"
#include "platform/forms/UnitStartup.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "ControlLog.h"

using namespace forms_test;

namespace {

class MessageBoxes : public ::testing::Test {
 protected:
  forms::test::Session session;
};

TEST_F(MessageBoxes, ScriptedAnswersAreUsedInOrderAndEveryBoxIsLogged) {
  TForm* form = MakeForm("Form");
  form->Show();
  forms::test::AnswerMessageBox(IDYES);
  forms::test::AnswerMessageBox(IDCANCEL);
  EXPECT_EQ(MessageBoxA(form->GetHandle(), "Delete record?", "Confirm", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(Application->MessageBox("Save changes?", "Orvanta", MB_YESNOCANCEL), IDCANCEL);
  std::vector<forms::test::MessageBoxCall> log = forms::test::MessageBoxLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].Owner, form->GetHandle());
  EXPECT_EQ(log[0].Text, "Delete record?");
  EXPECT_EQ(log[0].Caption, "Confirm");
  EXPECT_EQ(log[0].Flags, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(log[1].Owner, form->GetHandle());  // the active form owns the application's boxes

  // Nobody scripted this one: it fails at once instead of waiting.
  EXPECT_THROW(MessageBoxA(nullptr, "Unexpected", "Oops", MB_OK), EInvalidOperation);
  form->Free();
}

TEST_F(MessageBoxes, ApplicationShowsExceptionsWithTheStopIcon) {
  Application->SetTitle("Orvanta");
  forms::test::AnswerMessageBox(IDOK);
  EInvalidOperation error("The file could not be read");
  Application->ShowException(&error);
  std::vector<forms::test::MessageBoxCall> log = forms::test::MessageBoxLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].Text, "The file could not be read.");
  EXPECT_EQ(log[0].Caption, "Orvanta");
  EXPECT_EQ(log[0].Flags, MB_OK | MB_ICONSTOP);
  // A handler set by the program takes the exception instead.
  std::vector<AnsiString> seen;
  Application->OnException = [&seen](TObject*, Exception* E) { seen.push_back(E->GetMessage()); };
  TForm* form = MakeForm("Form");
  auto* c = Make<TLogControl>(form, "C", Bounds(0, 0, 20, 20));
  c->OnClick = [](TObject*) { throw EConvertError("bad number"); };
  form->Show();
  win::test::Click(c->GetHandle(), {2, 2});
  win::test::PumpUntilIdle();
  EXPECT_EQ(seen, (std::vector<AnsiString>{"bad number"}));
  Application->OnException = nullptr;
  form->Free();
}

// The box on screen: its buttons by caption.
std::vector<TDialogButton*> Buttons() {
  std::vector<TDialogButton*> out;
  TCustomForm* box = Screen->GetActiveForm();
  if (!box) return out;
  for (Integer i = 0; i < box->GetControlCount(); ++i)
    if (auto* b = dynamic_cast<TDialogButton*>(box->GetControl(i))) out.push_back(b);
  return out;
}

TEST_F(MessageBoxes, RealBoxAnswersItsButtonsAndKeys) {
  forms::test::UseRealDialogs(true);
  TForm* form = MakeForm("Form");
  form->Show();
  std::vector<AnsiString> captions;
  bool ownerDisabled = false;
  win::test::OnNextModalLoop([&] {
    for (TDialogButton* b : Buttons()) captions.push_back(b->GetCaption());
    ownerDisabled = !IsWindowEnabled(form->GetHandle());
    win::test::KeyPress(VK_ESCAPE);  // no Cancel button: nothing happens
    win::test::PumpUntilIdle();
    win::test::KeyPress(VK_RETURN);  // the second button is the default
  });
  EXPECT_EQ(MessageBoxA(form->GetHandle(), "Overwrite?", "Confirm", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(captions, (std::vector<AnsiString>{"&Yes", "&No"}));
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(form->GetHandle()));
  EXPECT_EQ(GetActiveWindow(), form->GetHandle());

  win::test::OnNextModalLoop([] { win::test::KeyPress(VK_ESCAPE); });
  EXPECT_EQ(MessageBoxA(nullptr, "Line one\nLine two", "Question", MB_YESNOCANCEL | MB_ICONQUESTION), IDCANCEL);

  win::test::OnNextModalLoop([] {
    std::vector<TDialogButton*> b = Buttons();
    ASSERT_EQ(b.size(), 3u);
    win::test::Click(b[1]->GetHandle(), {5, 5});
  });
  EXPECT_EQ(MessageBoxA(nullptr, "Failed", "Run", MB_ABORTRETRYIGNORE | MB_ICONERROR), IDRETRY);

  // "\n" breaks the text: two lines are taller than one.
  Integer oneLine = 0, twoLines = 0;
  auto measure = [](Integer& height) {
    TCustomForm* box = Screen->GetActiveForm();
    height = box->GetClientHeight();
    win::test::KeyPress(VK_RETURN);
  };
  win::test::OnNextModalLoop([&] { measure(oneLine); });
  EXPECT_EQ(MessageBoxA(nullptr, "One", "Info", MB_OK | MB_ICONINFORMATION), IDOK);
  win::test::OnNextModalLoop([&] { measure(twoLines); });
  EXPECT_EQ(MessageBoxA(nullptr, "One\nTwo\nThree", "Info", MB_OK), IDOK);
  EXPECT_GT(twoLines, oneLine);

  // A box with OK alone is closed by Esc or from its caption, both as OK;
  // one that asks Yes or No is not closed from its caption.
  bool hasCloseBox = false;
  win::test::OnNextModalLoop([&] {
    hasCloseBox = (GetWindowLongA(Screen->GetActiveForm()->GetHandle(), GWL_STYLE) & WS_SYSMENU) != 0;
    win::test::KeyPress(VK_ESCAPE);
  });
  EXPECT_EQ(MessageBoxA(nullptr, "Done", "Info", MB_OK | MB_ICONINFORMATION), IDOK);
  EXPECT_TRUE(hasCloseBox);
  win::test::OnNextModalLoop([] { PostMessageA(Screen->GetActiveForm()->GetHandle(), WM_CLOSE, 0, 0); });
  EXPECT_EQ(MessageBoxA(nullptr, "Done", "Info", MB_OK), IDOK);
  win::test::OnNextModalLoop([] {
    HWND box = Screen->GetActiveForm()->GetHandle();
    SendMessageA(box, WM_CLOSE, 0, 0);
    win::test::PumpUntilIdle();
    EXPECT_TRUE(IsWindowVisible(box)) << "Yes or No is still to be chosen";
    win::test::KeyPress(VK_RETURN);
  });
  EXPECT_EQ(MessageBoxA(nullptr, "Keep?", "Question", MB_YESNO), IDYES);
  form->Free();
}

// The application's error box (what an editor's invalid input shows) and a
// box owned by a control stand centred over the owner's form, wherever on
// the screen that is, yet inside the work area; a box without an owner
// stands in the middle of the screen.
TEST_F(MessageBoxes, ABoxStandsCentredOverItsOwnersForm) {
  forms::test::UseRealDialogs(true);
  const TRect area = Screen->GetWorkAreaRect();
  TForm* form = MakeForm("Form", Bounds(area.Left + 10, area.Top + 10, 480, 360));
  auto* child = Make<TLogControl>(form, "C", Bounds(300, 250, 40, 20));
  form->Show();
  auto centre = [](const TRect& r) { return TPoint(r.Left + r.Width() / 2, r.Top + r.Height() / 2); };
  std::vector<TRect> boxes;
  auto shown = [&boxes] {
    win::test::OnNextModalLoop([&boxes] {
      boxes.push_back(Screen->GetActiveForm()->GetBoundsRect());
      win::test::KeyPress(VK_RETURN);
    });
  };
  EInvalidOperation error("Invalid input value");
  shown();
  Application->ShowException(&error);
  shown();
  MessageBoxA(child->GetHandle(), "Overwrite?", "Confirm", MB_OKCANCEL);
  const TRect first = form->GetBoundsRect();
  form->SetBounds(area.Right - 200, area.Bottom - 100, 480, 360);
  shown();
  Application->ShowException(&error);
  shown();
  MessageBoxA(nullptr, "Starting", "Orvanta", MB_OK);
  ASSERT_EQ(boxes.size(), 4u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_LE(std::abs(centre(boxes[i]).X - centre(first).X), 1) << i;
    EXPECT_LE(std::abs(centre(boxes[i]).Y - centre(first).Y), 1) << i;
  }
  EXPECT_EQ(boxes[2].Right, area.Right);
  EXPECT_EQ(boxes[2].Bottom, area.Bottom);
  EXPECT_LE(std::abs(centre(boxes[3]).X - centre(area).X), 1);
  EXPECT_LE(std::abs(centre(boxes[3]).Y - centre(area).Y), 1);
  form->Free();
}

// A box shown before its owner's form is on the screen (from the form's
// OnShow, as a program's start-up errors are) stands in the middle of the
// work area, not around where the unplaced form would be.
TEST_F(MessageBoxes, ABoxBeforeItsOwnersFormIsOnTheScreenStandsInTheMiddleOfTheWorkArea) {
  forms::test::UseRealDialogs(true);
  const TRect area = Screen->GetWorkAreaRect();
  TForm* form = MakeForm("Form", Bounds(area.Left + 10, area.Top + 10, 480, 360));
  form->SetPosition(poScreenCenter);
  TRect box;
  bool formOnScreen = true;
  form->OnShow = [&](TObject*) {
    win::test::OnNextModalLoop([&] {
      box = Screen->GetActiveForm()->GetBoundsRect();
      formOnScreen = IsWindowVisible(form->GetHandle());
      win::test::KeyPress(VK_RETURN);
    });
    MessageBoxA(form->GetHandle(), "Can't open definition file", "File Open Error", MB_OK | MB_ICONERROR);
  };
  form->Show();
  EXPECT_FALSE(formOnScreen);
  ASSERT_GT(box.Width(), 0) << "no box showed";
  EXPECT_LE(std::abs((box.Left + box.Right) - (area.Left + area.Right)), 1);
  EXPECT_LE(std::abs((box.Top + box.Bottom) - (area.Top + area.Bottom)), 1);
  form->OnShow = nullptr;
  form->Free();
}

// A form that writes down how it hears of activation.
class TActivationLogForm : public TForm {
  ORV_CLASS(TActivationLogForm, TForm)
 public:
  using TForm::TForm;
  void WndProc(TMessage& Message) override {
    static const std::map<UINT, const char*> names = {
        {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"}, {WM_NCACTIVATE, "WM_NCACTIVATE"}, {WM_ACTIVATE, "WM_ACTIVATE"}};
    if (auto it = names.find(Message.Msg); it != names.end())
      Log().push_back(std::string(it->second) + " " + std::to_string(LOWORD(Message.WParam)));
    inherited::WndProc(Message);
  }
};

ORV_REGISTER(TActivationLogForm)

// Closing the box hands the activation straight back to its owner: the
// program never hears that it went inactive on the way.
TEST_F(MessageBoxes, ClosingTheBoxActivatesItsOwnerWithoutDeactivatingTheProgram) {
  forms::test::UseRealDialogs(true);
  auto* form = TCustomForm::CreateNew<TActivationLogForm>(Application);
  form->SetPosition(poDesigned);
  form->SetBounds(100, 100, 400, 300);
  form->Show();
  win::test::PumpUntilIdle();
  ASSERT_EQ(GetActiveWindow(), form->GetHandle());
  int deactivations = 0;
  Application->OnDeactivate = [&deactivations](TObject*) { ++deactivations; };
  TakeLog();
  win::test::OnNextModalLoop([] {
    Log().push_back("box on show");
    win::test::KeyPress(VK_RETURN);
  });
  MessageBoxA(form->GetHandle(), "Saved.", "Orvanta", MB_OK);
  win::test::PumpUntilIdle();
  EXPECT_EQ(TakeLog(), Seq({"WM_NCACTIVATE 0", "WM_ACTIVATE 0", "box on show", "WM_NCACTIVATE 1", "WM_ACTIVATE 1"}));
  EXPECT_EQ(deactivations, 0);
  EXPECT_EQ(GetActiveWindow(), form->GetHandle());
  Application->OnDeactivate = nullptr;
  form->Free();
}

TEST_F(MessageBoxes, ABoxWorksBeforeTheApplicationExists) {
  forms::test::UseRealDialogs(true);
  FinalizeUnits();
  ASSERT_EQ(Application, nullptr);
  win::test::OnNextModalLoop([] { win::test::KeyPress(VK_RETURN); });
  EXPECT_EQ(MessageBoxA(nullptr, "Starting", "Orvanta", MB_OKCANCEL), IDOK);
  InitializeUnits();
}

}  // namespace
