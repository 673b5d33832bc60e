// The controls unit's services: library timers on the one timer window,
// mouse-leave tracking (also of callers that go away while tracked), the
// settings controller, the hourglass counter and the small helpers.
#include <string>
#include <vector>

#include "ControlsSession.h"
#include "library/foundation/cxControls.h"
#include "platform/forms/Screen.h"
#include "platform/forms/UnitStartup.h"
#include "platform/rtl/Owned.h"
#include "platform/win/Queue.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/Timers.h"

namespace {

class cxControlsServices : public ControlsSession {};

struct Counter {
  int Ticks = 0;
  void Tick(TObject*) { ++Ticks; }
};

// A component that is told when the mouse left it.
class TLeaveListener : public TComponent, public IcxMouseTrackingCaller {
  ORV_CLASS(TLeaveListener, TComponent)
 public:
  explicit TLeaveListener(TComponent* AOwner) : TComponent(AOwner) {}
  int Leaves = 0;
  void MouseTrackingMouseLeave() override { ++Leaves; }
};

// A control that logs the leave messages it hears.
class TTrackedControl : public TCustomControl, public IcxMouseTrackingCaller {
  ORV_CLASS(TTrackedControl, TCustomControl)
 public:
  explicit TTrackedControl(TComponent* AOwner) : TCustomControl(AOwner) {}
  std::vector<std::string> Log;
  void MouseTrackingMouseLeave() override { Log.push_back("leave call"); }

 protected:
  void CMMouseLeave(TMessage& Message) {
    Log.push_back("CM_MOUSELEAVE");
    DispatchFrom(inherited::StaticClass(), Message);
  }
  ORV_MESSAGE(win::CM_MOUSELEAVE, CMMouseLeave)
  void NCSizeChanged(TMessage&) { Log.push_back("NC size changed"); }
  ORV_MESSAGE(DXM_NCSIZECHANGED, NCSizeChanged)
};

}  // namespace
ORV_REGISTER(TLeaveListener)
ORV_REGISTER(TTrackedControl)

TEST_F(cxControlsServices, ATimerRunsOnlyWithAHandlerAndIgnoresAZeroInterval) {
  Counter counter;
  TOwned<TcxTimer> timer(New<TcxTimer>(nullptr));
  timer->SetInterval(100);
  win::test::PumpFor(500);
  EXPECT_FALSE(timer->GetTimerOn());  // no handler, no timer

  timer->SetOnTimer(TNotifyEvent::Bind<&Counter::Tick>(&counter));
  EXPECT_TRUE(timer->GetTimerOn());
  timer->SetInterval(0);  // ignored: the interval stays 100 ms
  EXPECT_EQ(timer->GetInterval(), 100u);
  win::test::PumpFor(350);
  EXPECT_EQ(counter.Ticks, 3);

  // The one timer window hears an id no timer has: nothing happens.
  const auto timers = win::test::Timers();
  ASSERT_EQ(timers.size(), 1u);
  win::SendMessageA(timers[0].hwnd, win::WM_TIMER, 0x1234, 0);
  EXPECT_EQ(counter.Ticks, 3);

  timer->SetEnabled(false);
  EXPECT_FALSE(timer->GetTimerOn());
  win::test::PumpFor(300);
  EXPECT_EQ(counter.Ticks, 3);
}

TEST_F(cxControlsServices, MouseTrackingTellsTheCallerOnceWhenTheMouseLeaves) {
  ShowForm();
  auto* control = Place<TTrackedControl>({10, 10, 110, 60});
  win::test::PumpUntilIdle();
  win::test::MouseMove(control->GetHandle(), {50, 20});
  win::test::PumpUntilIdle();

  BeginMouseTracking(control, control->GetClientRect(), control);
  BeginMouseTracking(control, control->GetClientRect(), control);  // one entry only
  win::test::PumpFor(50);
  EXPECT_TRUE(control->Log.empty());

  win::test::MouseMove({5, 5});
  control->Log.clear();  // the application's own hover tracking may speak first
  win::test::PumpFor(30);
  EXPECT_EQ(control->Log, (std::vector<std::string>{"CM_MOUSELEAVE", "leave call"}));
  EXPECT_FALSE(IsMouseTracking(control));
  win::test::PumpFor(50);
  EXPECT_EQ(control->Log.size(), 2u);
}

TEST_F(cxControlsServices, ACallerWithoutAWindowIsTrackedByScreenBounds) {
  TOwned<TLeaveListener> caller(New<TLeaveListener>(nullptr));
  win::test::MouseMove({300, 300});
  win::test::PumpUntilIdle();
  BeginMouseTracking(nullptr, {250, 250, 350, 350}, caller.get());
  win::test::PumpFor(30);
  EXPECT_EQ(caller->Leaves, 0);
  win::test::MouseMove({400, 300});
  win::test::PumpFor(30);
  EXPECT_EQ(caller->Leaves, 1);
  EXPECT_FALSE(IsMouseTracking(caller.get()));
}

TEST_F(cxControlsServices, ACallerFreedWhileTrackedIsForgottenAndShutDownStaysClean) {
  auto* caller = New<TLeaveListener>(nullptr);
  BeginMouseTracking(nullptr, {0, 0, 10, 10}, caller);
  caller->Free();  // never called again; no entry is left behind
  win::test::MouseMove({600, 600});
  win::test::PumpFor(50);
  EXPECT_EQ(win::test::Timers().size(), 0u);
  EXPECT_NO_THROW(cxControlsFinalize());
  cxControlsInitialize();
}

TEST_F(cxControlsServices, ShutDownUnderAStillTrackedCallerEndsItsTrackingQuietly) {
  // The application frees its forms after the library's units are down.
  TOwned<TLeaveListener> caller(New<TLeaveListener>(nullptr));
  BeginMouseTracking(nullptr, {0, 0, 10, 10}, caller.get());
  EXPECT_NO_THROW(cxControlsFinalize());
  EXPECT_FALSE(IsMouseTracking(caller.get()));
  EXPECT_EQ(caller->Leaves, 0);
  cxControlsInitialize();
}

TEST_F(cxControlsServices, ANonClientMetricsChangeReachesRegisteredControlsOnly) {
  ShowForm();
  auto* registered = Place<TTrackedControl>({0, 0, 50, 50});
  auto* other = Place<TTrackedControl>({60, 0, 110, 50});
  cxRegisterSettingsControl(registered);
  cxRegisterSettingsControl(registered);
  win::SendMessageA(win::HWND_BROADCAST, win::WM_SETTINGCHANGE, win::SPI_SETNONCLIENTMETRICS, 0);
  win::SendMessageA(win::HWND_BROADCAST, win::WM_SETTINGCHANGE, win::SPI_GETWORKAREA, 0);
  win::test::PumpUntilIdle();
  EXPECT_EQ(registered->Log, std::vector<std::string>{"NC size changed"});
  EXPECT_TRUE(other->Log.empty());
  cxUnregisterSettingsControl(registered);
  win::SendMessageA(win::HWND_BROADCAST, win::WM_SETTINGCHANGE, win::SPI_SETNONCLIENTMETRICS, 0);
  win::test::PumpUntilIdle();
  EXPECT_EQ(registered->Log.size(), 1u);
}

TEST_F(cxControlsServices, TheHourglassIsCountedAndTheCursorsAreRegistered) {
  Screen->SetCursor(crCross);
  ShowHourglassCursor();
  ShowHourglassCursor();
  EXPECT_EQ(Screen->GetCursor(), crHourGlass);
  HideHourglassCursor();
  EXPECT_EQ(Screen->GetCursor(), crHourGlass);
  HideHourglassCursor();
  EXPECT_EQ(Screen->GetCursor(), crCross);
  HideHourglassCursor();  // nothing below zero
  EXPECT_EQ(Screen->GetCursor(), crCross);
  Screen->SetCursor(crDefault);

  EXPECT_NE(Screen->GetCursors(crcxHandPoint), Screen->GetCursors(crDefault));
  EXPECT_NE(Screen->GetCursors(crcxDragCopy), nullptr);
  EXPECT_TRUE(IsWinXP && IsWin2KOrXP && IsWinNT && !IsWin95X);
}

TEST(cxControlsHelpers, AcceleratorMarksAndCharacterClasses) {
  EXPECT_EQ(RemoveAccelChars("&Open"), "Open");
  EXPECT_EQ(RemoveAccelChars("Save && Close"), "Save & Close");
  EXPECT_EQ(RemoveAccelChars("End&"), "End_");
  EXPECT_EQ(RemoveAccelChars(""), "");
  EXPECT_TRUE(IsNumericChar('-', ntInteger));
  EXPECT_FALSE(IsNumericChar('.', ntInteger));
  EXPECT_TRUE(IsNumericChar('.', ntFloat));
  EXPECT_FALSE(IsNumericChar('e', ntFloat));
  EXPECT_TRUE(IsNumericChar('E', ntExponent));
  EXPECT_FALSE(IsTextChar('\t'));
  EXPECT_TRUE(IsTextChar(' '));
  EXPECT_EQ(ShiftStateToKeys(TShiftState{ssShift, ssCtrl, ssAlt, ssMiddle, ssDouble}), 4 | 8 | 16);
}

TEST(cxControlsHelpers, PointPositionsFollowTheDiagonals) {
  const TRect r{0, 0, 100, 50};
  EXPECT_EQ(GetPointPosition(r, {50, 2}, true, true), posTop);
  EXPECT_EQ(GetPointPosition(r, {50, 48}, true, true), posBottom);
  EXPECT_EQ(GetPointPosition(r, {3, 25}, true, true), posLeft);
  EXPECT_EQ(GetPointPosition(r, {97, 25}, true, true), posRight);
  EXPECT_EQ(GetPointPosition(r, {49, 0}, true, false), posLeft);
  EXPECT_EQ(GetPointPosition(r, {50, 0}, true, false), posRight);
  EXPECT_EQ(GetPointPosition(r, {0, 24}, false, true), posTop);
  EXPECT_EQ(GetPointPosition(r, {0, 25}, false, true), posBottom);
  EXPECT_EQ(GetPointPosition(r, {0, 0}, false, false), posNone);
}

TEST(cxControlsHelpers, RectanglesAreMovedOntoTheWorkAreaOfTheirMonitor) {
  win::test::Session session({{{0, 0, 800, 600}, {0, 0, 800, 560}, true}, {{800, 0, 1600, 600}, {800, 0, 1600, 600}, false}});
  cxControlsInitialize();
  TRect r{750, 500, 850, 620};
  MakeVisibleOnDesktop(r, {760, 510});
  EXPECT_EQ(r, (TRect{700, 440, 800, 560}));
  TRect big{-50, -50, 1000, 900};
  MakeVisibleOnDesktop(big, {10, 10});
  EXPECT_EQ(big.TopLeft(), (TPoint{0, 0}));
  EXPECT_EQ(GetDesktopWorkArea({1000, 10}), (TRect{800, 0, 1600, 600}));
  cxControlsFinalize();
}
