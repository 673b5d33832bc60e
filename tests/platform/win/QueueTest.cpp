// The queue: retrieval order, filters, nested modal loops and WM_QUIT,
// hooks, timers on the fake clock, keyboard translation and double clicks.
#include "platform/win/Focus.h"
#include "platform/win/Hooks.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Metrics.h"
#include "platform/win/ModalLoop.h"
#include "platform/win/Mouse.h"
#include "platform/win/Paint.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Timers.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowStyles.h"
#include "platform/win/MessageLog.h"

using namespace win;
using namespace wintest;

namespace {

class Queue : public ::testing::Test {
 protected:
  test::Session session;
  Recorder rec;
  HWND main = nullptr;
  void SetUp() override {
    RegisterRecorderClass();
    RegisterRecorderClass("Clicks", CS_DBLCLKS);
    main = CreateWindowExA(0, "Recorder", "Main", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr, nullptr,
                           nullptr);
    test::PumpUntilIdle();
    rec.Take();
  }
};

TEST_F(Queue, PostedBeforeInputBeforePaintBeforeTimers) {
  SetTimer(main, 1, 10, nullptr);
  session.Clock().Advance(10);
  InvalidateRect(main, nullptr, FALSE);
  test::MouseMove(main, {5, 5});
  PostMessageA(main, WM_USER, 0, 0);
  PostQuitMessage(3);
  MSG m;
  std::vector<std::string> order;
  while (GetMessageA(&m, nullptr, 0, 0)) {
    order.push_back(MessageName(m.message));
    DispatchMessageA(&m);
  }
  EXPECT_EQ(order, Seq({"WM_USER"}));
  EXPECT_EQ(m.wParam, 3u);
  order.clear();
  while (GetMessageA(&m, nullptr, 0, 0)) {
    order.push_back(MessageName(m.message));
    DispatchMessageA(&m);
    if (m.message == WM_TIMER) PostQuitMessage(4);
  }
  EXPECT_EQ(order, Seq({"WM_MOUSEMOVE", "WM_PAINT", "WM_TIMER"}));
  EXPECT_EQ(m.wParam, 4u);
}

TEST_F(Queue, PeekFiltersByWindowAndRangeAndLeavesTheRest) {
  HWND other = CreateWindowExA(0, "Recorder", "Other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  PostMessageA(main, WM_CHAR, 'a', 0);
  PostMessageA(other, WM_CHAR, 'b', 0);
  PostMessageA(main, WM_USER, 0, 0);
  PostMessageA(nullptr, WM_APP, 0, 0);
  MSG m;
  // What the library does to drop queued characters of one window.
  while (PeekMessageA(&m, main, WM_CHAR, WM_CHAR, PM_REMOVE)) EXPECT_EQ(m.wParam, static_cast<WPARAM>('a'));
  EXPECT_TRUE(PeekMessageA(&m, HWND_THREADONLY, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_APP);
  std::vector<std::string> left;
  for (auto& q : test::QueuedMessages()) left.push_back(MessageName(q.message));
  EXPECT_EQ(left, Seq({"WM_CHAR", "WM_USER", "WM_APP"}));
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x7777), WM_USER, 0, 0));
  EXPECT_EQ(GetMessageA(&m, reinterpret_cast<HWND>(0x7777), 0, 0), -1);
}

TEST_F(Queue, NestedModalLoopsAllEndOnQuit) {
  std::vector<std::string> trail;
  rec.handlers["Main"] = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_USER) {
      trail.push_back("outer starts");
      PostMessageA(h, WM_USER + 1, 0, 0);
      bool ended = RunModalLoop(nullptr);
      trail.push_back(ended ? "outer done" : "outer quit");
      return 0;
    }
    if (m == WM_USER + 1) {
      trail.push_back("inner starts");
      bool ended = RunModalLoop(nullptr);
      trail.push_back(ended ? "inner done" : "inner quit");
      return 0;
    }
    return std::nullopt;
  };
  test::OnNextModalLoop([] {});                           // the outer loop: nothing to do
  test::OnNextModalLoop([] { PostQuitMessage(9); });      // the inner loop ends everything
  PostMessageA(main, WM_USER, 0, 0);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0)) DispatchMessageA(&m);
  EXPECT_EQ(m.wParam, 9u);
  EXPECT_EQ(trail, Seq({"outer starts", "inner starts", "inner quit", "outer quit"}));
  EXPECT_EQ(ModalLoopDepth(), 0);
}

TEST_F(Queue, ModalLoopStartCancelsTheModeOfTheFocusWindow) {
  SetFocus(main);
  rec.Take();
  test::OnNextModalLoop([] { PostQuitMessage(0); });
  RunModalLoop(nullptr);
  EXPECT_EQ(rec.Take(), Seq({"Main WM_CANCELMODE"}));
}

HHOOK gSecond = nullptr;
std::vector<std::string>* gHookTrail = nullptr;

LRESULT DropUserMessages(int code, WPARAM w, LPARAM l) {
  auto* msg = reinterpret_cast<MSG*>(l);
  if (msg->message == WM_USER) msg->message = WM_NULL;
  return CallNextHookEx(nullptr, code, w, l);
}

LRESULT CountingHook(int code, WPARAM w, LPARAM l) {
  gHookTrail->push_back("second");
  return CallNextHookEx(gSecond, code, w, l);
}

LRESULT RemovingHook(int code, WPARAM w, LPARAM l) {
  gHookTrail->push_back("first");
  // Removing another hook while the chain runs is allowed.
  UnhookWindowsHookEx(gSecond);
  return CallNextHookEx(nullptr, code, w, l);
}

TEST_F(Queue, GetMessageHookRewritesToNullSoTheWindowNeverSeesIt) {
  HHOOK h = SetWindowsHookExA(WH_GETMESSAGE, DropUserMessages, nullptr, GetCurrentThreadId());
  ASSERT_NE(h, nullptr);
  PostMessageA(main, WM_USER, 0, 0);
  PostMessageA(main, WM_USER + 1, 0, 0);
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main WM_NULL", "Main WM_USER+1"}));
  EXPECT_TRUE(UnhookWindowsHookEx(h));
  EXPECT_FALSE(UnhookWindowsHookEx(h));
  EXPECT_EQ(SetWindowsHookExA(WH_CBT, DropUserMessages, nullptr, 0), nullptr);
}

TEST_F(Queue, HooksMayBeRemovedWhileTheChainRuns) {
  std::vector<std::string> trail;
  gHookTrail = &trail;
  gSecond = SetWindowsHookExA(WH_CALLWNDPROC, CountingHook, nullptr, 0);
  HHOOK first = SetWindowsHookExA(WH_CALLWNDPROC, RemovingHook, nullptr, 0);
  SendMessageA(main, WM_USER, 0, 0);
  SendMessageA(main, WM_USER, 0, 0);
  EXPECT_EQ(trail, Seq({"first", "first"}));
  EXPECT_EQ(test::HookCount(WH_CALLWNDPROC), 1);
  UnhookWindowsHookEx(first);
  gHookTrail = nullptr;
}

LRESULT EatClicks(int, WPARAM w, LPARAM l) {
  auto* mh = reinterpret_cast<MOUSEHOOKSTRUCT*>(l);
  return w == WM_LBUTTONDOWN && mh->pt.X == 15 ? 1 : 0;
}

TEST_F(Queue, MouseHookDiscardsInjectedInputLikeRealInput) {
  SetWindowsHookExA(WH_MOUSE, EatClicks, nullptr, 0);
  test::Click(main, {15, 15});
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main WM_MOUSEMOVE", "Main WM_LBUTTONUP"}));
}

TEST_F(Queue, TimersFireInDueOrderAndNeverPileUp) {
  std::vector<std::string> fired;
  rec.handlers["Main"] = [&](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_TIMER) fired.push_back(std::to_string(w));
    return std::nullopt;
  };
  SetTimer(main, 30, 30, nullptr);
  SetTimer(main, 20, 20, nullptr);
  test::PumpFor(65);
  // Due at 20, 30, 40, 60 and 60: equal due times go in the order the timers were made.
  EXPECT_EQ(fired, Seq({"20", "30", "20", "30", "20"}));
  fired.clear();
  // Without pumping, a timer that came due three times is pending once.
  session.Clock().Advance(100);
  test::PumpUntilIdle();
  EXPECT_EQ(fired, Seq({"20", "30"}));
  EXPECT_TRUE(KillTimer(main, 20));
  EXPECT_FALSE(KillTimer(main, 20));
  fired.clear();
  test::PumpFor(60);
  EXPECT_EQ(fired, Seq({"30", "30"}));
  // A destroyed window takes its timers along.
  DestroyWindow(main);
  EXPECT_TRUE(test::Timers().empty());
}

int gTicks = 0;
void Tick(HWND, UINT, UINT_PTR, DWORD) { ++gTicks; }

TEST_F(Queue, ThreadTimersGetFreshIdsAndForgedTimerMessagesCallNothing) {
  gTicks = 0;
  UINT_PTR a = SetTimer(nullptr, 0, 10, Tick);
  UINT_PTR b = SetTimer(nullptr, 0, 10, Tick);
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  test::PumpFor(20);
  EXPECT_EQ(gTicks, 4);
  KillTimer(nullptr, a);
  KillTimer(nullptr, b);
  // A WM_TIMER posted by anyone with a bogus procedure address is ignored.
  MSG forged{main, WM_TIMER, 99, reinterpret_cast<LPARAM>(&Tick), 0, {}};
  DispatchMessageA(&forged);
  EXPECT_EQ(gTicks, 4);
}

TEST_F(Queue, TypedTextBecomes1252CharactersThroughTranslate) {
  SetFocus(main);
  rec.Take();
  rec.detailed = true;
  test::TypeText("aB\xE9\x80");
  test::PumpUntilIdle();
  std::vector<std::string> chars;
  for (auto& e : rec.Take())
    if (e.find("WM_CHAR") != std::string::npos) chars.push_back(e);
  EXPECT_EQ(chars, Seq({"Main WM_CHAR 97", "Main WM_CHAR 66", "Main WM_CHAR 233", "Main WM_CHAR 128"}));
}

// An input method's composition starts in whichever window has the
// keyboard when it comes to be retrieved, in turn with the keys around
// it: a key before it that moves the focus takes the composition along.
TEST_F(Queue, ACompositionStartsWhereTheKeysBeforeItLeftTheFocus) {
  HWND other = CreateWindowExA(0, "Recorder", "Other", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, main, nullptr, nullptr,
                               nullptr);
  SetFocus(main);
  test::PumpUntilIdle();
  rec.handlers["Main"] = [&](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_CHAR && w == '\t') SetFocus(other);
    return std::nullopt;
  };
  rec.ignored.insert(rec.ignored.end(), {WM_SETFOCUS, WM_KILLFOCUS, WM_KEYUP});
  rec.Take();
  auto feed = [&](BackEndEvent::Kind kind, BYTE vk, char ch) {
    BackEndEvent e;
    e.kind = kind;
    e.vk = vk;
    e.ch = ch;
    session.Screen().Feed(e);
  };
  feed(BackEndEvent::KeyDown, VK_TAB, 0);
  feed(BackEndEvent::KeyUp, VK_TAB, 0);
  feed(BackEndEvent::CompositionStart, 0, 0);
  feed(BackEndEvent::KeyDown, VK_PACKET, '\xE9');
  feed(BackEndEvent::KeyUp, VK_PACKET, '\xE9');
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main WM_KEYDOWN", "Main WM_CHAR", "Other 0x010D", "Other WM_KEYDOWN", "Other WM_CHAR"}));

  // With nothing focused it goes to the active window; disabled, nowhere.
  SetFocus(nullptr);
  feed(BackEndEvent::CompositionStart, 0, 0);
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main 0x010D"}));
  EnableWindow(main, FALSE);
  rec.Take();
  feed(BackEndEvent::CompositionStart, 0, 0);
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({}));
}

TEST_F(Queue, KeyMessagesCarryRepeatAndTransitionBitsAndTheStateOfTheirTime) {
  SetFocus(main);
  std::vector<LPARAM> params;
  std::vector<bool> shiftSeen;
  rec.handlers["Main"] = [&](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_KEYDOWN || m == WM_KEYUP) {
      params.push_back(l);
      shiftSeen.push_back(GetKeyState(VK_SHIFT) < 0);
    }
    return std::nullopt;
  };
  test::KeyDown(VK_SHIFT);
  test::KeyDown('A');
  test::KeyRepeat('A', 1);
  test::KeyUp('A');
  test::KeyUp(VK_SHIFT);
  // Nothing retrieved yet: the handled state has not moved, the async one has.
  EXPECT_FALSE(GetKeyState(VK_SHIFT) < 0);
  EXPECT_FALSE(GetAsyncKeyState(VK_SHIFT) < 0);
  test::PumpUntilIdle();
  ASSERT_EQ(params.size(), 5u);
  EXPECT_EQ(params[1] & 0xFFFF, 1);
  EXPECT_EQ((params[1] >> 16) & 0xFF, 30);  // scan code of A
  EXPECT_EQ(params[1] & (1 << 30), 0);      // first press
  EXPECT_NE(params[2] & (1 << 30), 0);      // auto-repeat: was down
  EXPECT_NE(params[3] & (LPARAM(1) << 31), 0);
  EXPECT_EQ(shiftSeen, std::vector<bool>({true, true, true, true, false}));
}

TEST_F(Queue, AltMakesSystemKeysAndAloneItAsksForTheMenu) {
  SetFocus(main);
  rec.Take();
  test::KeyDown(VK_MENU);
  test::KeyPress('F');
  test::KeyUp(VK_MENU);
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main WM_SYSKEYDOWN", "Main WM_SYSKEYDOWN", "Main WM_SYSCHAR", "Main WM_SYSCOMMAND",
                             "Main WM_SYSKEYUP", "Main WM_SYSKEYUP"}));
  test::KeyPress(VK_F10);
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main WM_SYSKEYDOWN", "Main WM_SYSKEYUP", "Main WM_SYSCOMMAND"}));
}

TEST_F(Queue, DoubleClicksOnlyForTheClassWithinTimeAndDistance) {
  HWND plain = main;
  HWND clicks = CreateWindowExA(0, "Clicks", "Clicks", WS_POPUP | WS_VISIBLE, 400, 0, 100, 100, nullptr, nullptr,
                                nullptr, nullptr);
  test::PumpUntilIdle();
  rec.Take();
  auto buttons = [&] {
    std::vector<std::string> out;
    for (auto& e : rec.Take())
      if (e.find("BUTTON") != std::string::npos) out.push_back(e);
    return out;
  };
  test::Click(plain, {10, 10});
  test::Click(plain, {10, 10});
  test::PumpUntilIdle();
  EXPECT_EQ(buttons(), Seq({"Main WM_LBUTTONDOWN", "Main WM_LBUTTONUP", "Main WM_LBUTTONDOWN", "Main WM_LBUTTONUP"}));
  test::Click(clicks, {10, 10});
  test::Click(clicks, {12, 12});  // within the 4-pixel square
  test::Click(clicks, {12, 12});  // a third click starts over
  test::PumpUntilIdle();
  EXPECT_EQ(buttons(), Seq({"Clicks WM_LBUTTONDOWN", "Clicks WM_LBUTTONUP", "Clicks WM_LBUTTONDBLCLK",
                            "Clicks WM_LBUTTONUP", "Clicks WM_LBUTTONDOWN", "Clicks WM_LBUTTONUP"}));
  test::Click(clicks, {30, 30});
  test::Click(clicks, {33, 30});  // too far
  test::PumpUntilIdle();
  test::Click(clicks, {50, 50});
  test::PumpUntilIdle();
  session.Clock().Advance(GetDoubleClickTime() + 1);  // too late
  test::Click(clicks, {50, 50});
  test::PumpUntilIdle();
  for (auto& e : buttons()) EXPECT_EQ(e.find("DBLCLK"), std::string::npos) << e;
  test::Click(clicks, {60, 60});
  test::MouseMove(clicks, {60, 60});
  test::MouseDown(VK_RBUTTON);  // another button
  test::PumpUntilIdle();
  for (auto& e : buttons()) EXPECT_EQ(e.find("DBLCLK"), std::string::npos) << e;
}

TEST_F(Queue, MouseMovesMergeAndTheWheelGoesToTheFocusThenUp) {
  HWND child = CreateWindowExA(0, "Recorder", "Child", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, main, nullptr, nullptr,
                               nullptr);
  SetFocus(child);
  test::PumpUntilIdle();
  rec.Take();
  rec.detailed = true;
  test::MouseMove(main, {100, 100});
  test::MouseMove(main, {101, 100});
  test::MouseMove(main, {102, 100});
  test::Wheel(-120);
  test::PumpUntilIdle();
  auto log = rec.Take();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Main WM_MOUSEMOVE 0"), 1);
  EXPECT_NE(std::find(log.begin(), log.end(), "Child WM_MOUSEWHEEL " + std::to_string(MAKEWPARAM(0, -120))), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "Main WM_MOUSEWHEEL " + std::to_string(MAKEWPARAM(0, -120))), log.end());
  DWORD pos = GetMessagePos();
  EXPECT_EQ(GET_X_LPARAM(pos), 102);
}

// Asked where the mouse is, a window takes input itself (a hit test that
// pumps): the input it took is gone, the rest still comes once, in order.
TEST_F(Queue, AHitTestThatTakesInputItselfLeavesTheRestToComeOnceInOrder) {
  test::Click(main, {10, 10});
  test::Click(main, {20, 20});
  bool pumped = false;
  std::vector<std::string> inner;
  rec.handlers["Main"] = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_NCHITTEST && !pumped) {
      pumped = true;
      MSG msg;
      if (PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) inner.push_back(MessageName(msg.message));
    }
    return std::nullopt;
  };
  test::PumpUntilIdle();
  EXPECT_EQ(inner, Seq({"WM_MOUSEMOVE"}));
  std::vector<std::string> mouse;
  for (const std::string& e : rec.Take())
    if (e == "Main WM_MOUSEMOVE" || e == "Main WM_LBUTTONDOWN" || e == "Main WM_LBUTTONUP") mouse.push_back(e);
  EXPECT_EQ(mouse, Seq({"Main WM_LBUTTONDOWN", "Main WM_LBUTTONUP", "Main WM_MOUSEMOVE", "Main WM_LBUTTONDOWN",
                        "Main WM_LBUTTONUP"}));
}

TEST_F(Queue, RegisteredMessagesAndMetricsKnobs) {
  UINT a = RegisterWindowMessageA("Orvanta.Ping");
  EXPECT_GE(a, 0xC000u);
  EXPECT_EQ(RegisterWindowMessageA("orvanta.ping"), a);
  EXPECT_NE(RegisterWindowMessageA("Other"), a);
  EXPECT_EQ(RegisterWindowMessageA(""), 0u);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSysColor(15), 0xC8D0D4u);  // button face
  test::SetSystemMetric(SM_CXVSCROLL, 20);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 20);
  int index = 15;
  COLORREF red = 0x0000FF;
  rec.Take();
  SetSysColors(1, &index, &red);
  EXPECT_EQ(GetSysColor(15), red);
  EXPECT_EQ(rec.Take(), Seq({"Main WM_SYSCOLORCHANGE"}));
}

TEST_F(Queue, ATimerSeenWithoutRemovingKeepsItsPlaceAheadOfLaterPosts) {
  SetTimer(main, 1, 10, nullptr);
  session.Clock().Advance(10);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_TIMER);
  PostMessageA(main, WM_USER, 0, 0);
  std::vector<std::string> order;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) order.push_back(MessageName(m.message));
  EXPECT_EQ(order, Seq({"WM_TIMER", "WM_USER"}));
}

TEST_F(Queue, QuitIsAPostedKindOutlivesItsWindowAndOddFiltersMeanNoWindow) {
  MSG m;
  PostQuitMessage(5);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE | PM_QS_SENDMESSAGE));
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE));
  EXPECT_EQ(m.message, WM_QUIT);

  HWND doomed = CreateWindowExA(0, "Recorder", "Doomed", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  PostMessageA(doomed, WM_USER, 0, 0);
  PostMessageA(doomed, WM_QUIT, 7, 0);
  DestroyWindow(doomed);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.hwnd, nullptr);
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));

  // Paint can be asked for on its own, ahead of what was posted.
  PostMessageA(main, WM_USER + 1, 0, 0);
  InvalidateRect(main, nullptr, FALSE);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_PAINT));
  EXPECT_EQ(m.message, WM_PAINT);
  ValidateRect(main, nullptr);

  PostMessageA(nullptr, WM_USER, 0, 0);
  for (std::intptr_t filter : {1, 0xFFFF}) {
    EXPECT_TRUE(PeekMessageA(&m, reinterpret_cast<HWND>(filter), 0, 0, PM_NOREMOVE)) << filter;
    EXPECT_EQ(m.message, WM_USER) << filter;
    EXPECT_EQ(m.hwnd, nullptr);
  }
  ASSERT_TRUE(PeekMessageA(&m, reinterpret_cast<HWND>(1), 0, 0, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&m, reinterpret_cast<HWND>(0xFFFF), 0, 0, PM_REMOVE));  // main's is not for it
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 1u);
}

// A program posting without end stops at the quota with the error instead
// of eating the memory; what the window system owes a window (the user's
// close) still comes, and once the loop has taken some, posting works again.
TEST_F(Queue, ARunawayPosterStopsAtTheQuotaAndPostsAgainOnceTheLoopTakesSome) {
  std::size_t posted = 0;
  while (posted <= kPostedMessageQuota && PostMessageA(main, WM_USER, posted, 0)) ++posted;
  EXPECT_EQ(posted, kPostedMessageQuota);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_QUOTA);
  EXPECT_FALSE(PostMessageA(nullptr, WM_APP, 0, 0)) << "a message for the thread counts the same";
  EXPECT_FALSE(PostMessageA(HWND_BROADCAST, WM_APP, 0, 0));

  BackEndEvent close;
  close.kind = BackEndEvent::CloseRequest;
  close.surface = detail::Peek(main)->surface;
  session.Screen().Feed(close);
  detail::DrainBackEnd();
  ASSERT_EQ(test::QueuedMessages().size(), kPostedMessageQuota + 1);
  EXPECT_EQ(test::QueuedMessages().back().message, static_cast<UINT>(WM_SYSCOMMAND));

  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.wParam, 0u);
  EXPECT_FALSE(PostMessageA(main, WM_USER + 1, 0, 0)) << "the close the user asked for holds the place";
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  SetLastError(ERROR_SUCCESS);
  EXPECT_TRUE(PostMessageA(main, WM_USER + 1, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  std::size_t left = 0;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ++left;
  EXPECT_EQ(left, kPostedMessageQuota);
  EXPECT_EQ(m.message, WM_USER + 1u);
}

TEST_F(Queue, TimerPeriodsHaveAFloorAndTimersRunOut) {
  std::vector<std::string> fired;
  rec.handlers["Main"] = [&](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_TIMER) fired.push_back(std::to_string(w));
    return std::nullopt;
  };
  SetTimer(main, 1, 0, nullptr);
  test::PumpFor(9);
  EXPECT_TRUE(fired.empty());
  test::PumpFor(1);
  EXPECT_EQ(fired, Seq({"1"}));

  std::vector<UINT_PTR> ids;
  for (int i = 1; i < 10000; ++i) ids.push_back(SetTimer(nullptr, 0, 1000, Tick));
  EXPECT_EQ(std::count(ids.begin(), ids.end(), 0u), 0);
  SetLastError(0);
  EXPECT_EQ(SetTimer(nullptr, 0, 1000, Tick), 0u);
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_USER_HANDLES);
  EXPECT_EQ(SetTimer(main, 1, 50, nullptr), 1u);  // replacing one needs no room
  KillTimer(nullptr, ids.back());
  EXPECT_NE(SetTimer(main, 2, 50, nullptr), 0u);
}

}  // namespace
