// Drop-down popups closed from outside: a click elsewhere in the owner's
// form (on the owner's own area it is remembered), system keys dropped
// while a popup without the keyboard is open, the application losing
// activation, the owner's form hidden; and the modal loop of a popup that
// takes the keyboard.
#include <string>
#include <vector>

#include "ControlsSession.h"
#include "library/foundation/cxContainer.h"
#include "library/foundation/cxPopupWindow.h"
#include "platform/forms/Application.h"
#include "platform/rtl/Owned.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Queue.h"

using namespace win;

namespace {

// Logs the system keys it receives.
class TKeyLog : public TCustomControl {
  ORV_CLASS(TKeyLog, TCustomControl)
 public:
  explicit TKeyLog(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
  std::vector<WPARAM> sysKeys;

 protected:
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_SYSKEYDOWN) sysKeys.push_back(Message.WParam);
    TCustomControl::WndProc(Message);
  }
};

class cxPopupHooks : public ControlsSession {
 protected:
  std::vector<std::string> log;

  TcxCustomPopupWindow* MakePopup(TWinControl* owner, bool captureFocus, const std::string& name) {
    auto* p = New<TcxCustomPopupWindow>(static_cast<TWinControl*>(owner));
    p->SetCaptureFocus(captureFocus);
    p->SetOwnerBounds(owner->GetBoundsRect());
    p->SetBounds(0, 0, 80, 60);
    p->OnClosed = [this, name](TObject*) { log.push_back(name + " closed"); };
    popups.push_back(p);
    return p;
  }
  void TearDown() override {
    for (auto* p : popups) p->Free();
    ControlsSession::TearDown();
  }
  std::vector<TcxCustomPopupWindow*> popups;
};

}  // namespace

ORV_REGISTER(TKeyLog)

TEST_F(cxPopupHooks, AClickInTheOwnersFormClosesThePopupAndOnTheOwnerItIsRemembered) {
  auto* owner = Place<TKeyLog>({10, 10, 110, 30});
  auto* elsewhere = Place<TKeyLog>({10, 100, 110, 120});
  ShowForm();
  TcxCustomPopupWindow* p = MakePopup(owner, false, "p");
  p->Popup(nullptr);
  win::test::PumpUntilIdle();
  ASSERT_TRUE(p->IsVisible());
  EXPECT_EQ(cxOpenPopupWindows(), std::vector<TcxCustomPopupWindow*>{p});
  // It never takes activation from the owner's form.
  EXPECT_EQ(win::test::Active(), form->GetHandle());

  // Inside the popup nothing happens.
  win::test::Click(p->GetHandle(), {5, 5});
  win::test::PumpUntilIdle();
  EXPECT_TRUE(p->IsVisible());

  win::test::Click(owner->GetHandle(), {5, 5});
  win::test::PumpUntilIdle();
  EXPECT_FALSE(p->IsVisible());
  EXPECT_TRUE(p->GetClosedByOwnerClick());

  p->SetClosedByOwnerClick(false);
  p->Popup(nullptr);
  win::test::Click(elsewhere->GetHandle(), {5, 5});
  win::test::PumpUntilIdle();
  EXPECT_FALSE(p->IsVisible());
  EXPECT_FALSE(p->GetClosedByOwnerClick());
  EXPECT_EQ(log, (std::vector<std::string>{"p closed", "p closed"}));
}

TEST_F(cxPopupHooks, SystemKeysOtherThanNavigationAreDroppedWhileAPopupIsOpen) {
  auto* owner = Place<TKeyLog>({10, 10, 110, 30});
  ShowForm();
  owner->SetFocus();
  TcxCustomPopupWindow* p = MakePopup(owner, false, "p");
  p->Popup(nullptr);
  win::test::PumpUntilIdle();
  win::test::KeyDown(VK_MENU);
  win::test::KeyPress(VK_DOWN);
  win::test::KeyPress('X');
  win::test::KeyUp(VK_MENU);
  win::test::PumpUntilIdle();
  EXPECT_TRUE(std::find(owner->sysKeys.begin(), owner->sysKeys.end(), WPARAM(VK_DOWN)) != owner->sysKeys.end());
  EXPECT_TRUE(std::find(owner->sysKeys.begin(), owner->sysKeys.end(), WPARAM('X')) == owner->sysKeys.end());

  // With the popup closed Alt+X reaches the control again.
  p->CloseUp();
  owner->sysKeys.clear();
  win::test::KeyDown(VK_MENU);
  win::test::KeyPress('X');
  win::test::KeyUp(VK_MENU);
  win::test::PumpUntilIdle();
  EXPECT_TRUE(std::find(owner->sysKeys.begin(), owner->sysKeys.end(), WPARAM('X')) != owner->sysKeys.end());
}

TEST_F(cxPopupHooks, TheApplicationLosingActivationClosesPopupsWithoutTheKeyboard) {
  auto* owner = Place<TKeyLog>({10, 10, 110, 30});
  ShowForm();
  TcxCustomPopupWindow* p = MakePopup(owner, false, "p");
  p->Popup(nullptr);
  win::test::PumpUntilIdle();
  BackEndEvent e;
  e.kind = BackEndEvent::AppDeactivated;
  session.Win().Screen().Feed(e);
  win::test::PumpUntilIdle();
  EXPECT_FALSE(p->IsVisible());
  EXPECT_EQ(log, std::vector<std::string>{"p closed"});
}

TEST_F(cxPopupHooks, HidingTheOwnersFormClosesItsPopupAndEveryLaterOne) {
  TCustomForm* form2 = TCustomForm::CreateNew<TForm>(Application);
  form2->SetBoundsRect({550, 100, 750, 300});
  auto* ownerA = Place<TKeyLog>({10, 10, 110, 30});
  auto* ownerB = Place<TKeyLog>({10, 10, 110, 30}, form2);
  ShowForm();
  form2->Show();
  win::test::PumpUntilIdle();
  TcxCustomPopupWindow* before = MakePopup(ownerB, false, "before");
  TcxCustomPopupWindow* a = MakePopup(ownerA, false, "a");
  TcxCustomPopupWindow* after = MakePopup(ownerB, false, "after");
  before->Popup(nullptr);
  a->Popup(nullptr);
  after->Popup(nullptr);
  win::test::PumpUntilIdle();
  ASSERT_EQ(cxOpenPopupWindows().size(), 3u);

  form->Hide();
  win::test::PumpUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"after closed", "a closed"}));
  EXPECT_EQ(cxOpenPopupWindows(), std::vector<TcxCustomPopupWindow*>{before});

  // An owner that cannot be seen opens nothing.
  a->Popup(nullptr);
  EXPECT_FALSE(a->IsVisible());
  form2->Free();
  EXPECT_TRUE(cxOpenPopupWindows().empty());  // the owner went: its popup closed first
}

TEST_F(cxPopupHooks, TheModalLoopEndsOnAModalResultOnlyWhenClosingIsAllowed) {
  auto* owner = Place<TKeyLog>({10, 10, 110, 30});
  ShowForm();
  TcxCustomPopupWindow* p = MakePopup(owner, true, "p");
  auto* inside = Place<TKeyLog>({5, 5, 50, 25}, p);
  bool allow = false;
  int asked = 0;
  p->OnCloseQuery = [&](TObject*, bool& canClose) {
    ++asked;
    canClose = allow;
  };
  int idles = 0;
  Application->OnIdle = [&](TObject*, bool& done) {
    done = false;
    ++idles;
    if (idles == 1) {
      EXPECT_TRUE(p->Focused());
      EXPECT_EQ(win::GetFocus(), inside->GetHandle());
      p->SetModalResult(mrOk);
    } else if (idles == 2) {
      EXPECT_EQ(p->GetModalResult(), mrNone);  // refused: the loop goes on
      allow = true;
      p->SetModalResult(mrCancel);
    } else if (idles > 10) {
      p->CloseUp();  // a failing test must not hang
    }
  };
  p->Popup(inside);
  Application->OnIdle = {};
  EXPECT_FALSE(p->IsVisible());
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(idles, 2);
  EXPECT_EQ(p->GetFocusedControl(), inside);
}

TEST_F(cxPopupHooks, ClosePopupClosesOnceTheQueueIsHandled) {
  auto* owner = Place<TKeyLog>({10, 10, 110, 30});
  ShowForm();
  TcxCustomPopupWindow* p = MakePopup(owner, false, "p");
  p->Popup(nullptr);
  p->ClosePopup();
  EXPECT_TRUE(p->IsVisible());
  win::test::PumpUntilIdle();
  EXPECT_FALSE(p->IsVisible());
  EXPECT_TRUE(p->IsSysKeyAccepted(VK_F4));
  EXPECT_FALSE(p->IsSysKeyAccepted(VK_F5));
}

TEST_F(cxPopupHooks, ClosingADropDownThatHasTheKeyboardClosesTheOwnersWindow) {
  auto* owner = Place<TKeyLog>({10, 10, 110, 30});
  ShowForm();
  TcxCustomPopupWindow* p = MakePopup(owner, true, "p");
  p->SetModalMode(false);
  p->Popup(nullptr);
  win::test::PumpUntilIdle();
  ASSERT_TRUE(p->Focused());
  bool refuse = true;
  p->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = !refuse; };
  SendMessageA(p->GetHandle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(p->IsVisible());
  EXPECT_TRUE(form->GetVisible());

  refuse = false;
  SendMessageA(p->GetHandle(), WM_CLOSE, 0, 0);
  win::test::PumpUntilIdle();
  EXPECT_FALSE(p->IsVisible());
  EXPECT_FALSE(form->GetVisible());
  EXPECT_EQ(log, std::vector<std::string>{"p closed"});
}
