// What sends each class-library notification, and who hears it: property
// changes spreading to children that follow their parent, the mouse
// entering and leaving, focus moving along parent chains, dialog keys, and
// messages of child windows reflected back to the child control.

#include "platform/forms/Screen.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Metrics.h"
#include "platform/win/OwnerDraw.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowDC.h"
#include "ControlLog.h"
#include "support/PeakMemory.h"

using namespace forms_test;

namespace {

// A graphic control that does something of its own as the system colours
// change; the act says whether it freed the control.
class TActingGraphic : public TGraphicControl {
  ORV_CLASS(TActingGraphic, TGraphicControl)
 public:
  explicit TActingGraphic(TComponent* AOwner) : TGraphicControl(AOwner) {}
  std::function<bool()> Act;

  void WndProc(TMessage& Message) override {
    if (Message.Msg == CM_SYSCOLORCHANGE) {
      Log().push_back(GetName() + " CM_SYSCOLORCHANGE");
      // A copy: the act may free the control and the member with it.
      const std::function<bool()> act = Act;
      if (act && act()) return;
    }
    inherited::WndProc(Message);
  }
};

ORV_REGISTER(TActingGraphic)

class Notifications : public ::testing::Test {
 protected:
  forms::test::Session session;
  TForm* form = nullptr;
  TLogControl* panel = nullptr;
  TLogControl* child = nullptr;
  TLogGraphic* shape = nullptr;

  void SetUp() override {
    form = MakeForm("Form");
    panel = Make<TLogControl>(form, "Panel", Bounds(0, 0, 200, 120));
    child = Make<TLogControl>(panel, "Child", Bounds(10, 10, 60, 20));
    shape = Make<TLogGraphic>(panel, "Shape", Bounds(100, 10, 40, 40));
    TakeLog();
  }
  void TearDown() override {
    form->Free();
    EXPECT_TRUE(forms::test::RecordedExceptions().empty());
  }
};

TEST_F(Notifications, PropertyChangesReachChildrenThatFollowTheirParent) {
  panel->SetColor(clRed);
  EXPECT_EQ(TakeLog(), Seq({"Panel CM_COLORCHANGED", "Child CM_PARENTCOLORCHANGED", "Child CM_COLORCHANGED",
                            "Shape CM_PARENTCOLORCHANGED", "Shape CM_COLORCHANGED"}));
  EXPECT_EQ(child->GetColor(), clRed);
  EXPECT_TRUE(child->GetParentColor());
  EXPECT_EQ(child->GetBrush()->GetColor(), clRed);

  // A child with its own colour keeps it.
  child->SetColor(clBlue);
  EXPECT_FALSE(child->GetParentColor());
  TakeLog();
  panel->SetColor(clLime);
  EXPECT_EQ(child->GetColor(), clBlue);
  child->SetParentColor(true);
  EXPECT_EQ(child->GetColor(), clLime);
  TakeLog();

  panel->GetFont()->SetStyle(TFontStyles{fsBold});
  EXPECT_EQ(TakeLog(), Seq({"Panel CM_FONTCHANGED", "Child CM_PARENTFONTCHANGED", "Child CM_FONTCHANGED",
                            "Shape CM_PARENTFONTCHANGED", "Shape CM_FONTCHANGED"}));
  EXPECT_TRUE(child->GetFont()->GetStyle().Contains(fsBold));
  EXPECT_TRUE(child->GetParentFont());
  EXPECT_FALSE(panel->GetParentFont());

  child->SetText("Hello");
  EXPECT_EQ(TakeLog(), Seq({"Child CM_TEXTCHANGED"}));
  child->SetText("Hello");
  EXPECT_TRUE(TakeLog().empty());
  child->SetCursor(crHandPoint);
  EXPECT_EQ(TakeLog(), Seq({"Child CM_CURSORCHANGED"}));

  panel->SetCtl3D(false);
  EXPECT_EQ(TakeLog(), Seq({"Panel CM_CTL3DCHANGED", "Child CM_PARENTCTL3DCHANGED", "Child CM_CTL3DCHANGED",
                            "Shape CM_PARENTCTL3DCHANGED"}));
  EXPECT_FALSE(child->GetCtl3D());
  EXPECT_TRUE(child->GetParentCtl3D());

  panel->SetShowHint(true);
  EXPECT_EQ(TakeLog(), Seq({"Panel CM_SHOWHINTCHANGED", "Child CM_PARENTSHOWHINTCHANGED", "Child CM_SHOWHINTCHANGED",
                            "Shape CM_PARENTSHOWHINTCHANGED", "Shape CM_SHOWHINTCHANGED"}));
  EXPECT_TRUE(shape->GetShowHint());

  child->SetEnabled(false);
  child->SetVisible(false);
  child->SetTabStop(false);
  EXPECT_EQ(TakeLog(), Seq({"Child CM_ENABLEDCHANGED", "Child CM_VISIBLECHANGED", "Child CM_TABSTOPCHANGED"}));
}

TEST_F(Notifications, FormPassesSystemChangesToEveryControl) {
  form->Show();
  TakeLog();
  SendMessageA(form->GetHandle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(TakeLog(), Seq({"Panel CM_SYSCOLORCHANGE", "Child CM_SYSCOLORCHANGE", "Shape CM_SYSCOLORCHANGE"}));
  SendMessageA(form->GetHandle(), WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(TakeLog(), Seq({"Panel CM_WININICHANGE", "Child CM_WININICHANGE", "Shape CM_WININICHANGE"}));
  static_assert(CM_WININICHANGE == 0xB025);
}

// A handler may change the list the message goes round: a control that
// frees itself or another, moves one away or adds one. The controls still
// there hear it once each, in order; the ones gone or added do not.
TEST_F(Notifications, ABroadcastGoesOnPastControlsItsHandlersAddRemoveOrFree) {
  auto* first = Make<TActingGraphic>(panel, "First", Bounds(0, 60, 5, 5));
  auto* second = Make<TActingGraphic>(panel, "Second", Bounds(10, 60, 5, 5));
  auto* third = Make<TActingGraphic>(panel, "Third", Bounds(20, 60, 5, 5));
  auto* fourth = Make<TActingGraphic>(panel, "Fourth", Bounds(30, 60, 5, 5));
  auto* last = Make<TActingGraphic>(panel, "Last", Bounds(40, 60, 5, 5));
  first->Act = [first, third] {
    third->Free();
    first->Free();
    return true;
  };
  second->Act = [this, fourth] {
    fourth->SetParent(form);
    Make<TActingGraphic>(panel, "Added", Bounds(50, 60, 5, 5));
    return false;
  };
  TakeLog();
  form->Perform(CM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(TakeLog(), Seq({"Panel CM_SYSCOLORCHANGE", "Child CM_SYSCOLORCHANGE", "Shape CM_SYSCOLORCHANGE",
                            "First CM_SYSCOLORCHANGE", "Second CM_SYSCOLORCHANGE", "Last CM_SYSCOLORCHANGE"}));
  ASSERT_EQ(panel->GetControlCount(), 5);
  EXPECT_EQ(panel->GetControl(2), second);
  EXPECT_EQ(panel->GetControl(3), last);
  EXPECT_EQ(panel->GetControl(4)->GetName(), "Added");

  // The next round reaches everyone there now, the one moved away on its
  // new parent after the panel.
  second->Act = nullptr;
  form->Perform(CM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(TakeLog(), Seq({"Panel CM_SYSCOLORCHANGE", "Child CM_SYSCOLORCHANGE", "Shape CM_SYSCOLORCHANGE",
                            "Second CM_SYSCOLORCHANGE", "Last CM_SYSCOLORCHANGE", "Added CM_SYSCOLORCHANGE",
                            "Fourth CM_SYSCOLORCHANGE"}));
}

TEST_F(Notifications, MouseEnterAndLeaveNameTheControlAndClimbToTheParents) {
  form->Show();
  win::test::MouseMove(panel->GetHandle(), {150, 100});
  win::test::PumpUntilIdle();
  TakeLog();
  win::test::MouseMove(child->GetHandle(), {5, 5});
  win::test::PumpUntilIdle();
  EXPECT_EQ(TakeLog(), Seq({"Panel CM_MOUSELEAVE Panel", "Child CM_MOUSEENTER Child", "Panel CM_MOUSEENTER Child"}));
  win::test::MouseMove(panel->GetHandle(), {110, 20});  // over the graphic control
  win::test::PumpUntilIdle();
  EXPECT_EQ(TakeLog(), Seq({"Child CM_MOUSELEAVE Child", "Panel CM_MOUSELEAVE Child", "Shape CM_MOUSEENTER",
                            "Panel CM_MOUSEENTER Shape"}));
  EXPECT_EQ(Application->GetMouseControl(), shape);
  EXPECT_EQ(panel->Perform(CM_DESIGNHITTEST), 0);
  EXPECT_EQ(shape->Perform(CM_HITTEST, 0, MAKELPARAM(1, 1)), HTCLIENT);
}

TEST_F(Notifications, FocusEntersAndExitsAlongTheParentChain) {
  auto* other = Make<TLogControl>(form, "Other", Bounds(0, 150, 60, 20));
  form->Show();
  other->SetFocus();
  TakeLog();
  child->SetFocus();
  std::vector<std::string> log = TakeLog();
  std::vector<std::string> enterExit;
  for (const auto& l : log)
    if (l.find("CM_ENTER") != std::string::npos || l.find("CM_EXIT") != std::string::npos) enterExit.push_back(l);
  EXPECT_EQ(enterExit, Seq({"Other CM_EXIT", "Panel CM_ENTER", "Child CM_ENTER"}));
  other->SetFocus();
  log = TakeLog();
  enterExit.clear();
  for (const auto& l : log)
    if (l.find("CM_ENTER") != std::string::npos || l.find("CM_EXIT") != std::string::npos) enterExit.push_back(l);
  EXPECT_EQ(enterExit, Seq({"Child CM_EXIT", "Panel CM_EXIT", "Other CM_ENTER"}));
  EXPECT_EQ(Screen->GetActiveControl(), other);
  EXPECT_EQ(Screen->GetActiveForm(), form);
}

TEST_F(Notifications, TabWalksTheTabOrderAndSkipsWhatCannotTakeTheFocus) {
  auto* a = Make<TLogControl>(form, "A", Bounds(0, 130, 40, 20));
  auto* b = Make<TLogControl>(form, "B", Bounds(50, 130, 40, 20));
  auto* c = Make<TLogControl>(form, "C", Bounds(100, 130, 40, 20));
  c->SetTabOrder(0);
  b->SetEnabled(false);
  EXPECT_EQ(c->GetTabOrder(), 0);
  std::vector<TWinControl*> order;
  form->GetTabOrderList(order);
  ASSERT_EQ(order.size(), 5u);
  EXPECT_EQ(order[0], c);
  EXPECT_EQ(order[1], panel);
  EXPECT_EQ(order[2], child);
  form->Show();
  EXPECT_EQ(GetFocus(), c->GetHandle());
  auto press = [](BYTE vk) {
    win::test::KeyPress(vk);
    win::test::PumpUntilIdle();
  };
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), panel->GetHandle());
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), child->GetHandle());
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), a->GetHandle());  // b is disabled
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), c->GetHandle());  // round again
  win::test::KeyDown(VK_SHIFT);
  press(VK_TAB);
  win::test::KeyUp(VK_SHIFT);
  win::test::PumpUntilIdle();
  EXPECT_EQ(GetFocus(), a->GetHandle());

  // A control that wants Tab keeps it; a parent may take its children's keys.
  a->WantTab = true;
  TakeLog();
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), a->GetHandle());
  child->SetFocus();
  panel->TakeChildKeys = true;
  TakeLog();
  press('X');
  std::vector<std::string> log = TakeLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "Panel takes child key 88"), log.end());
  EXPECT_EQ(std::find(log.begin(), log.end(), "Child WM_KEYDOWN"), log.end());
}

TEST_F(Notifications, TheParentHearsOfControlsComingAndGoing) {
  std::vector<std::string> seen;
  TWndMethod original = panel->GetWindowProc();
  panel->SetWindowProc([&seen, original](TMessage& m) {
    if (m.Msg == CM_CONTROLLISTCHANGE || m.Msg == CM_CONTROLCHANGE) {
      auto* c = reinterpret_cast<TControl*>(m.WParam);
      seen.push_back(std::string(m.Msg == CM_CONTROLLISTCHANGE ? "list " : "change ") + c->GetName() +
                     (m.LParam ? " in" : " out"));
    }
    original(m);
  });
  auto* extra = Make<TLogGraphic>(panel, "Extra", Bounds(0, 0, 5, 5));
  extra->SetParent(nullptr);
  extra->Free();
  EXPECT_EQ(seen, Seq({"list Extra in", "change Extra in", "change Extra out", "list Extra out"}));
  panel->SetWindowProc(original);
}

TEST_F(Notifications, RecreatingAndReleasing) {
  form->Show();
  TakeLog();
  EXPECT_EQ(panel->Perform(CM_RECREATEWND), 0);
  EXPECT_TRUE(panel->HandleAllocated());
  EXPECT_TRUE(child->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(child->GetHandle()));

  TForm* extra = MakeForm("Extra");
  extra->Show();
  Int64 live = TObject::LiveCount();
  extra->Release();
  EXPECT_EQ(TObject::LiveCount(), live);  // not yet: the message is queued
  win::test::PumpUntilIdle();
  EXPECT_LT(TObject::LiveCount(), live);
}

TEST_F(Notifications, ActivationTellsTheForm) {
  std::vector<std::string> events;
  form->OnActivate = [&events](TObject*) { events.push_back("activate"); };
  form->OnDeactivate = [&events](TObject*) { events.push_back("deactivate"); };
  form->Show();
  EXPECT_TRUE(form->GetActive());
  TForm* second = MakeForm("Second", Bounds(400, 100, 200, 100));
  second->Show();
  EXPECT_FALSE(form->GetActive());
  EXPECT_TRUE(second->GetActive());
  EXPECT_EQ(Screen->GetActiveForm(), second);
  EXPECT_EQ(events, Seq({"activate", "deactivate"}));
  second->Free();
  form->OnActivate = nullptr;
  form->OnDeactivate = nullptr;
}

TEST_F(Notifications, ChildWindowMessagesComeBackToTheChildAsReflections) {
  form->Show();
  TakeLog();
  HWND childWnd = child->GetHandle();
  SendMessageA(panel->GetHandle(), WM_COMMAND, MAKEWPARAM(1, 0), reinterpret_cast<LPARAM>(childWnd));
  EXPECT_EQ(TakeLog(), Seq({"Child CN_COMMAND"}));

  // Control colours: the child's brush, and its font colour on the DC.
  child->SetColor(clYellow);
  child->GetFont()->SetColor(clNavy);
  HDC dc = GetDC(childWnd);
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageA(panel->GetHandle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(childWnd)));
  EXPECT_EQ(brush, child->GetBrush()->GetHandle());
  EXPECT_EQ(GetTextColor(dc), static_cast<COLORREF>(clNavy));
  EXPECT_EQ(GetBkColor(dc), static_cast<COLORREF>(clYellow));
  ReleaseDC(childWnd, dc);

  // Owner-draw requests find the child by its window or its id.
  NMHDR header{childWnd, 0, 0};
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_BUTTON;
  draw.hwndItem = childWnd;
  int seen = 0;
  TWndMethod original = child->GetWindowProc();
  child->SetWindowProc([&seen, original](TMessage& m) {
    if (m.Msg == CN_NOTIFY || m.Msg == CN_DRAWITEM || m.Msg == CN_MEASUREITEM) ++seen;
    original(m);
  });
  SendMessageA(panel->GetHandle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  SendMessageA(panel->GetHandle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
  SetWindowLongPtrA(childWnd, GWLP_ID, 7);
  MEASUREITEMSTRUCT measure{};
  measure.CtlType = ODT_LISTBOX;
  measure.CtlID = 7;
  SendMessageA(panel->GetHandle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
  EXPECT_EQ(seen, 3);
  child->SetWindowProc(original);
}

TEST_F(Notifications, ParentPaintsGraphicChildrenOverItsBackgroundInZOrder) {
  panel->SetColor(clWhite);
  auto* front = Make<TLogGraphic>(panel, "Front", Bounds(120, 30, 40, 40));
  front->Fill = clBlue;
  form->Show();
  win::test::PumpUntilIdle();
  HDC dc = GetDC(panel->GetHandle());
  EXPECT_EQ(GetPixel(dc, 5, 100), static_cast<COLORREF>(clWhite));
  EXPECT_EQ(GetPixel(dc, 105, 15), static_cast<COLORREF>(clRed));
  EXPECT_EQ(GetPixel(dc, 130, 40), static_cast<COLORREF>(clBlue));  // front wins the overlap
  ReleaseDC(panel->GetHandle(), dc);
  front->SendToBack();
  win::test::PumpUntilIdle();
  dc = GetDC(panel->GetHandle());
  EXPECT_EQ(GetPixel(dc, 130, 40), static_cast<COLORREF>(clRed));
  ReleaseDC(panel->GetHandle(), dc);

  // Double buffered: the same picture, copied in one piece.
  panel->SetDoubleBuffered(true);
  panel->Invalidate();
  win::test::PumpUntilIdle();
  dc = GetDC(panel->GetHandle());
  EXPECT_EQ(GetPixel(dc, 5, 100), static_cast<COLORREF>(clWhite));
  EXPECT_EQ(GetPixel(dc, 130, 40), static_cast<COLORREF>(clRed));
  ReleaseDC(panel->GetHandle(), dc);
  panel->SetDoubleBuffered(false);

  // A DC handed in with WM_PAINT is painted into instead of the window.
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateBitmap(200, 120, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(mem, ToObj(bmp));
  panel->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem));
  panel->Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem));
  EXPECT_EQ(GetPixel(mem, 105, 15), static_cast<COLORREF>(clRed));
  EXPECT_EQ(GetPixel(mem, 5, 5), static_cast<COLORREF>(clWhite));
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bmp);
}

// A double-buffered control far larger than its form shows a small part of
// itself: its buffer holds only that part, drawn where it belongs.
TEST_F(Notifications, ADoubleBufferedControlLargerThanItsFormBuffersOnlyWhatShows) {
  panel->SetColor(clWhite);
  panel->SetBounds(-100, -50, 32767, 32767);
  shape->SetBounds(120, 60, 40, 40);
  panel->SetDoubleBuffered(true);
  const long before = PeakMegabytes();
  form->Show();
  win::test::PumpUntilIdle();
  HDC dc = GetDC(panel->GetHandle());
  EXPECT_EQ(GetPixel(dc, 110, 55), static_cast<COLORREF>(clWhite));
  EXPECT_EQ(GetPixel(dc, 130, 70), static_cast<COLORREF>(clRed));
  ReleaseDC(panel->GetHandle(), dc);

  // A part painted again lands in its place; the rest stays as it was.
  shape->Fill = clBlue;
  RECT part{130, 70, 140, 80};
  InvalidateRect(panel->GetHandle(), &part, TRUE);
  win::test::PumpUntilIdle();
  dc = GetDC(panel->GetHandle());
  EXPECT_EQ(GetPixel(dc, 135, 75), static_cast<COLORREF>(clBlue));
  EXPECT_EQ(GetPixel(dc, 145, 85), static_cast<COLORREF>(clRed));
  EXPECT_EQ(GetPixel(dc, 125, 75), static_cast<COLORREF>(clRed));
  ReleaseDC(panel->GetHandle(), dc);
  EXPECT_LT(PeakMegabytes() - before, kScreenfulMegabytes);
}

}  // namespace
