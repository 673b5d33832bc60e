// Forms as a person meets them: shown and closed, modal dialogs answered
// by their buttons or keys (driven from inside the modal loop, never
// waiting), the closing protocol, the application's loop, and what the
// screen and the mouse report.
#include "platform/forms/DialogControls.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/Cursors.h"
#include "platform/win/Focus.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowData.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/WindowStyles.h"
#include "platform/win/TestHooks.h"
#include "ControlLog.h"

using namespace forms_test;

namespace {

class Forms : public ::testing::Test {
 protected:
  forms::test::Session session;
  void SetUp() override { TakeLog(); }
  void TearDown() override { EXPECT_TRUE(forms::test::RecordedExceptions().empty()); }

  TDialogButton* Button(TForm* form, const char* name, TModalResult result, TRect bounds) {
    auto* b = Make<TDialogButton>(form, name, bounds);
    b->SetModalResult(result);
    return b;
  }
};

// While modal, the form is owned by the window it keeps waiting, so a
// window manager keeps it above that window (and the back end hears it is
// modal to it); afterwards it is nobody's again.
TEST_F(Forms, ShowModalDisablesTheOthersStandsOverTheWaitingWindowAndAnswersTheModalResult) {
  TForm* main = MakeForm("Main");
  auto* edit = Make<TLogControl>(main, "Edit", Bounds(10, 10, 50, 20));
  auto* other = Make<TLogControl>(main, "Other", Bounds(10, 40, 50, 20));
  main->Show();
  other->SetFocus();
  TForm* dialog = MakeForm("Dialog", Bounds(150, 150, 200, 100));
  bool mainEnabledInside = true;
  bool dialogVisibleInside = false;
  HWND ownerInside = nullptr;
  bool modalInside = false;
  win::test::OnNextModalLoop([&] {
    mainEnabledInside = IsWindowEnabled(main->GetHandle());
    dialogVisibleInside = IsWindowVisible(dialog->GetHandle());
    ownerInside = GetWindow(dialog->GetHandle(), GW_OWNER);
    modalInside = session.Win().Screen().Find(win::detail::Peek(dialog->GetHandle())->surface)->modal;
    EXPECT_TRUE(dialog->GetFormState().Contains(fsModal));
    dialog->SetModalResult(mrOk);
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_FALSE(mainEnabledInside);
  EXPECT_TRUE(dialogVisibleInside);
  EXPECT_EQ(ownerInside, main->GetHandle());
  EXPECT_TRUE(modalInside);
  EXPECT_EQ(GetWindow(dialog->GetHandle(), GW_OWNER), nullptr);
  EXPECT_TRUE(IsWindowEnabled(main->GetHandle()));
  EXPECT_FALSE(IsWindowVisible(dialog->GetHandle()));
  EXPECT_FALSE(dialog->GetFormState().Contains(fsModal));
  EXPECT_EQ(GetActiveWindow(), main->GetHandle());
  EXPECT_EQ(GetFocus(), other->GetHandle());
  (void)edit;
  // A visible form cannot become modal.
  dialog->Show();
  EXPECT_THROW(dialog->ShowModal(), EInvalidOperation);
  dialog->Free();
  main->Free();
}

// Something the loop runs (a timer, a handler) frees the modal form, or
// its owner and with it the form: ShowModal ends, answering mrCancel, and
// the windows that waited take over again.
TEST_F(Forms, AModalFormFreedWhileItRunsEndsItsLoopAndTheOthersTakeOver) {
  TForm* main = MakeForm("Main");
  main->Show();
  TForm* dialog = MakeForm("Dialog", Bounds(150, 150, 200, 100));
  Int64 live = TObject::LiveCount();
  win::test::OnNextModalLoop([dialog] { dialog->Free(); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_LT(TObject::LiveCount(), live);
  EXPECT_TRUE(IsWindowEnabled(main->GetHandle()));
  EXPECT_EQ(GetActiveWindow(), main->GetHandle());

  TForm* owner = MakeForm("Owner", Bounds(120, 120, 200, 100));
  owner->Show();
  auto* owned = TCustomForm::CreateNew<TForm>(owner);
  owned->SetBoundsRect(Bounds(150, 150, 200, 100));
  win::test::OnNextModalLoop([owner] { owner->Free(); });
  EXPECT_EQ(owned->ShowModal(), mrCancel);
  EXPECT_TRUE(IsWindowEnabled(main->GetHandle()));
  main->Free();
}

TEST_F(Forms, ButtonsEnterAndEscapeEndAModalForm) {
  TForm* dialog = MakeForm("Dialog");
  auto* ok = Button(dialog, "Ok", mrOk, Bounds(10, 10, 75, 23));
  auto* cancel = Button(dialog, "Cancel", mrCancel, Bounds(90, 10, 75, 23));
  auto* field = Make<TLogControl>(dialog, "Field", Bounds(10, 40, 50, 20));
  ok->SetDefault(true);
  cancel->SetCancel(true);
  dialog->SetActiveControl(field);

  win::test::OnNextModalLoop([] { win::test::KeyPress(VK_RETURN); });
  EXPECT_EQ(dialog->ShowModal(), mrOk);

  win::test::OnNextModalLoop([] { win::test::KeyPress(VK_ESCAPE); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);

  // A focused button takes Enter itself.
  dialog->SetActiveControl(cancel);
  win::test::OnNextModalLoop([=] {
    EXPECT_EQ(GetFocus(), cancel->GetHandle());
    win::test::KeyPress(VK_RETURN);
  });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);

  // A click on a button.
  win::test::OnNextModalLoop([ok] { win::test::Click(ok->GetHandle(), {5, 5}); });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  dialog->Free();
}

TEST_F(Forms, CloseQueryCanKeepAModalFormOpen) {
  TForm* dialog = MakeForm("Dialog");
  int asked = 0;
  dialog->OnCloseQuery = [&asked](TObject*, bool& canClose) { canClose = ++asked > 1; };
  std::vector<TCloseAction> closes;
  dialog->OnClose = [&closes](TObject*, TCloseAction& action) { closes.push_back(action); };
  win::test::OnNextModalLoop([dialog] {
    dialog->Close();  // refused: the form stays
    PostMessageA(dialog->GetHandle(), WM_CLOSE, 0, 0);  // the second time it may close
  });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(closes, std::vector<TCloseAction>{caHide});
  dialog->OnCloseQuery = nullptr;
  dialog->OnClose = nullptr;
  dialog->Free();
}

TEST_F(Forms, CloseActionsHideFreeOrKeepTheForm) {
  TForm* form = MakeForm("Form");
  TCloseAction next = caHide;
  form->OnClose = [&next](TObject*, TCloseAction& action) { action = next; };
  form->Show();
  form->Close();
  EXPECT_FALSE(form->GetVisible());
  form->Show();
  next = caNone;
  form->Close();
  EXPECT_TRUE(form->GetVisible());
  next = caFree;
  Int64 live = TObject::LiveCount();
  form->Close();
  EXPECT_EQ(TObject::LiveCount(), live);
  win::test::PumpUntilIdle();
  EXPECT_LT(TObject::LiveCount(), live);
}

TEST_F(Forms, CloseFromOnShowLeavesTheFormHidden) {
  TForm* form = MakeForm("Form");
  form->OnShow = [form](TObject*) { form->Close(); };
  form->Show();
  EXPECT_FALSE(form->GetVisible());
  EXPECT_FALSE(IsWindowVisible(form->GetHandle()));
  EXPECT_EQ(form->ShowModal(), mrCancel);  // modal: it answers at once
  form->OnShow = nullptr;
  form->Free();
}

TEST_F(Forms, ClosingTheMainFormEndsTheApplication) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Application->GetMainForm(), main);
  TForm* second = nullptr;
  Application->CreateForm(second);
  EXPECT_EQ(Application->GetMainForm(), main);
  std::vector<std::string> events;
  main->OnShow = [&events](TObject*) { events.push_back("show"); };
  main->OnCreate = [&events](TObject*) { events.push_back("never: already created"); };
  // Run shows the main form; a queued close ends the loop.
  PostMessageA(main->GetHandle(), WM_CLOSE, 0, 0);
  Application->Run();
  EXPECT_TRUE(Application->GetTerminated());
  EXPECT_EQ(events, Seq({"show"}));
  main->OnShow = nullptr;
}

TEST_F(Forms, ShortcutsOfTheMainFormWorkFromOtherForms) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  std::vector<Word> seen;
  main->OnShortCut = [&seen](TMessage& msg, bool& handled) {
    seen.push_back(static_cast<Word>(msg.WParam));
    handled = msg.WParam == VK_F5;
  };
  main->Show();
  TForm* other = MakeForm("Other", Bounds(300, 300, 100, 100));
  auto* edit = Make<TLogControl>(other, "Edit", Bounds(5, 5, 50, 20));
  LogEvents(edit);
  other->Show();
  TakeLog();
  win::test::KeyPress(VK_F5);
  win::test::KeyPress(VK_F6);
  win::test::PumpUntilIdle();
  EXPECT_EQ(seen, (std::vector<Word>{VK_F5, VK_F6}));
  std::vector<std::string> keys;
  for (const auto& l : TakeLog())
    if (l.find("OnKeyDown") != std::string::npos) keys.push_back(l);
  EXPECT_EQ(keys, Seq({"Edit OnKeyDown 117"}));  // F5 was taken
  main->OnShortCut = nullptr;
  other->Free();
}

TEST_F(Forms, TheApplicationFollowsTheProcessActivation) {
  TForm* form = MakeForm("Form");
  form->Show();
  std::vector<std::string> events;
  Application->OnDeactivate = [&events](TObject*) { events.push_back("deactivate"); };
  Application->OnActivate = [&events](TObject*) { events.push_back("activate"); };
  EXPECT_TRUE(Application->GetActive());
  SendMessageA(form->GetHandle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_FALSE(Application->GetActive());
  SendMessageA(form->GetHandle(), WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_TRUE(Application->GetActive());
  EXPECT_EQ(events, Seq({"deactivate", "activate"}));
  Application->OnDeactivate = nullptr;
  Application->OnActivate = nullptr;
  form->Free();
}

TEST_F(Forms, MinimisingTheMainFormMinimisesTheApplication) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  main->Show();
  int minimised = 0;
  Application->OnMinimize = [&minimised](TObject*) { ++minimised; };
  SendMessageA(main->GetHandle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(Application->IsMinimized());
  EXPECT_TRUE(IsIconic(main->GetHandle()));
  EXPECT_EQ(minimised, 1);
  Application->Restore();
  EXPECT_FALSE(Application->IsMinimized());
  EXPECT_FALSE(IsIconic(main->GetHandle()));
  Application->OnMinimize = nullptr;

  // Restore is the window's own command while the application is not
  // minimised: a maximised main window goes back to its place (it used to
  // stay maximised for good, the command taken by the application).
  RECT normal;
  GetWindowRect(main->GetHandle(), &normal);
  SendMessageA(main->GetHandle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(IsZoomed(main->GetHandle()));
  SendMessageA(main->GetHandle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsZoomed(main->GetHandle()));
  RECT now;
  GetWindowRect(main->GetHandle(), &now);
  EXPECT_EQ(now, normal);

  // Minimised from maximised, the application's restore brings it back
  // maximised, and the next restore to its place.
  SendMessageA(main->GetHandle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  SendMessageA(main->GetHandle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(Application->IsMinimized());
  SendMessageA(main->GetHandle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(Application->IsMinimized());
  EXPECT_TRUE(IsZoomed(main->GetHandle()));
  SendMessageA(main->GetHandle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsZoomed(main->GetHandle()));
  GetWindowRect(main->GetHandle(), &now);
  EXPECT_EQ(now, normal);
}

TEST_F(Forms, OnPaintDrawsOnTheFormsCanvas) {
  TForm* form = MakeForm("Form");
  form->OnPaint = [form](TObject*) {
    form->GetCanvas()->GetBrush()->SetColor(clLime);
    form->GetCanvas()->FillRect(Rect(5, 5, 15, 15));
  };
  form->Show();
  win::test::PumpUntilIdle();
  HDC dc = GetDC(form->GetHandle());
  EXPECT_EQ(GetPixel(dc, 10, 10), static_cast<COLORREF>(clLime));
  EXPECT_EQ(GetPixel(dc, 20, 20), static_cast<COLORREF>(ColorToRGB(clBtnFace)));
  ReleaseDC(form->GetHandle(), dc);
  form->OnPaint = nullptr;
  form->Free();
}

// A child's pixels stay inside its parent's client area, however small the
// window is made: the frame around it is whole at every size.
TEST_F(Forms, AWindowSizedBelowItsChildrenKeepsItsFrameWhole) {
  TForm* form = MakeForm("Form", Bounds(100, 100, 400, 300));
  form->SetBorderStyle(bsSizeable);
  auto* panel = Make<TPanel>(form, "Panel", Bounds(0, 0, 600, 500));
  panel->SetBevelOuter(bvNone);
  panel->SetColor(clLime);
  panel->SetParentBackground(false);
  form->Show();
  win::test::PumpUntilIdle();
  auto panelPixelsInFrame = [&] {
    RECT w{}, c{};
    GetWindowRect(form->GetHandle(), &w);
    GetClientRect(form->GetHandle(), &c);
    POINT o{0, 0};
    ClientToScreen(form->GetHandle(), &o);
    const RECT client{o.X, o.Y, o.X + c.Width(), o.Y + c.Height()};
    const std::vector<std::uint32_t> px = win::test::ScreenPixels(w);
    int count = 0;
    for (int y = w.Top; y < w.Bottom; ++y)
      for (int x = w.Left; x < w.Right; ++x) {
        const bool inside = x >= client.Left && x < client.Right && y >= client.Top && y < client.Bottom;
        if (!inside && px[static_cast<std::size_t>((y - w.Top) * w.Width() + (x - w.Left))] == 0x00FF00) ++count;
      }
    return count;
  };
  EXPECT_EQ(panelPixelsInFrame(), 0);
  for (TRect size : {Bounds(100, 100, 120, 60), Bounds(100, 100, 250, 150), Bounds(100, 100, 60, 30)}) {
    form->SetBoundsRect(size);
    win::test::PumpUntilIdle();
    form->Repaint();
    win::test::PumpUntilIdle();
    EXPECT_EQ(panelPixelsInFrame(), 0) << size.Width() << "x" << size.Height();
  }
  form->Free();
}

TEST_F(Forms, KeyPreviewLetsTheFormSeeKeysFirst) {
  TForm* form = MakeForm("Form");
  auto* edit = Make<TLogControl>(form, "Edit", Bounds(10, 10, 50, 20));
  LogEvents(edit);
  form->SetKeyPreview(true);
  form->OnKeyDown = [](TObject*, Word& key, TShiftState) {
    Log().push_back("Form OnKeyDown " + std::to_string(key));
    if (key == 'S') key = 0;  // the form keeps this one
  };
  form->Show();
  edit->SetFocus();
  TakeLog();
  win::test::KeyDown('S');
  win::test::KeyDown('T');
  win::test::PumpUntilIdle();
  std::vector<std::string> keys;
  for (const auto& l : TakeLog())
    if (l.find("OnKeyDown") != std::string::npos) keys.push_back(l);
  EXPECT_EQ(keys, Seq({"Form OnKeyDown 83", "Form OnKeyDown 84", "Edit OnKeyDown 84"}));
  form->OnKeyDown = nullptr;
  form->Free();
}

TEST_F(Forms, ScreenKnowsTheFormsAndTheCursorsAndTheMouseItsSettings) {
  int before = Screen->GetFormCount();
  TForm* a = MakeForm("A");
  TForm* b = MakeForm("B", Bounds(300, 300, 100, 100));
  EXPECT_EQ(Screen->GetFormCount(), before + 2);
  a->Show();
  b->Show();
  EXPECT_EQ(Screen->GetActiveForm(), b);
  EXPECT_EQ(Screen->GetForms(0), b);
  EXPECT_EQ(forms::test::ActiveForm(), b);
  b->Free();
  EXPECT_EQ(Screen->GetFormCount(), before + 1);

  EXPECT_EQ(Screen->GetCursors(crIBeam), LoadCursorA(nullptr, IDC_IBEAM));
  EXPECT_EQ(Screen->GetCursors(crHandPoint), LoadCursorA(nullptr, IDC_HAND));
  HCURSOR custom = LoadCursorA(nullptr, IDC_CROSS);
  Screen->SetCursors(2100, custom);
  EXPECT_EQ(Screen->GetCursors(2100), custom);
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(forms::test::ScreenCursor(), crHourGlass);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
  Screen->SetCursor(crDefault);

  EXPECT_EQ(Screen->GetWidth(), 1024);
  EXPECT_EQ(Screen->GetHeight(), 768);
  EXPECT_EQ(Screen->GetPixelsPerInch(), 96);
  EXPECT_EQ(Screen->GetMonitorCount(), 1);
  EXPECT_TRUE(Screen->GetMonitors(0)->GetPrimary());
  EXPECT_EQ(Mouse->GetDragThreshold(), 5);
  EXPECT_EQ(Mouse->GetWheelScrollLines(), 3);
  Mouse->SetCursorPos({40, 50});
  EXPECT_EQ(Mouse->GetCursorPos(), Point(40, 50));
  a->Free();
}

TEST_F(Forms, PositionCentresTheFormOnTheWorkArea) {
  TForm* form = MakeForm("Form", Bounds(0, 0, 200, 100));
  form->SetPosition(poScreenCenter);
  form->Show();
  TRect area = Screen->GetWorkAreaRect();
  EXPECT_EQ(form->GetLeft(), area.Left + (area.Width() - 200) / 2);
  EXPECT_EQ(form->GetTop(), area.Top + (area.Height() - 100) / 2);
  // Centred on the form that owns it, kept inside the work area.
  TForm* dialog = TCustomForm::CreateNew<TForm>(form);
  dialog->SetPosition(poOwnerFormCenter);
  dialog->SetBounds(0, 0, 100, 50);
  form->SetBounds(100, 100, 300, 200);
  dialog->Show();
  EXPECT_EQ(dialog->GetBoundsRect(), Bounds(200, 175, 100, 50));
  form->SetBounds(-250, 100, 300, 200);
  dialog->Hide();
  dialog->Show();
  EXPECT_EQ(dialog->GetLeft(), area.Left);
  form->Free();
}

}  // namespace

namespace {

TEST(HostedForms, AFormLivesInsideAnotherWindowAndComesBack) {
  forms::test::Session session;
  TForm* host = MakeForm("Host", Bounds(100, 100, 400, 300));
  host->Show();
  TForm* inner = MakeForm("Inner", Bounds(10, 20, 150, 100));
  auto* edit = Make<TLogControl>(inner, "Edit", Bounds(5, 5, 50, 20));
  inner->SetParentWindow(host->GetHandle());
  inner->Show();
  HWND hosted = inner->GetHandle();
  EXPECT_EQ(GetParent(hosted), host->GetHandle());
  EXPECT_TRUE(GetWindowLongA(hosted, GWL_STYLE) & WS_CHILD);
  EXPECT_FALSE(GetWindowLongA(hosted, GWL_STYLE) & WS_CAPTION);
  EXPECT_TRUE(IsWindowVisible(edit->GetHandle()));
  EXPECT_EQ(inner->GetBoundsRect(), Bounds(10, 20, 150, 100));
  edit->SetText("kept");

  inner->SetParentWindow(nullptr);
  EXPECT_FALSE(IsWindow(hosted));
  EXPECT_EQ(GetParent(inner->GetHandle()), nullptr);
  EXPECT_FALSE(GetWindowLongA(inner->GetHandle(), GWL_STYLE) & WS_CHILD);
  EXPECT_TRUE(IsWindowVisible(inner->GetHandle()));
  EXPECT_EQ(edit->GetText(), "kept");
  inner->Free();
  host->Free();
}

}  // namespace
