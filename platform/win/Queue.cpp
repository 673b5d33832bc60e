#include "platform/win/Queue.h"

#include <deque>
#include <cstdint>
#include <map>
#include <optional>

#include "platform/rtl/Clock.h"
#include "platform/win/BackEnd.h"
#include "platform/win/Focus.h"
#include "platform/win/Hooks.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"
#include "platform/win/ModalLoop.h"
#include "platform/win/Mouse.h"
#include "platform/win/Paint.h"
#include "platform/win/Timers.h"
#include "platform/win/Window.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowStyles.h"

namespace win {
namespace detail {
namespace {

struct Input {
  bool isKey = false;
  bool isComposition = false;  // an input method's composition starts
  MouseInput mouse;
  QueuedKey key;
  std::uint64_t serial = 0;    // which item it is, wherever it has moved
};

struct QueueState {
  std::deque<MSG> posted;
  std::deque<Input> input;
  std::uint64_t inputSerial = 0;
  bool quit = false;
  int quitCode = 0;
  POINT lastPos{};
  DWORD lastTime = 0;
  std::map<int, QueuePoll> polls;
  int nextPoll = 1;
  IdleWaiter waiter;
};

QueueState& Q() {
  static QueueState q;
  return q;
}

bool InRange(UINT msg, UINT first, UINT last) { return (first == 0 && last == 0) || (msg >= first && msg <= last); }

bool MatchesWindow(HWND filter, HWND hwnd) {
  if (!filter) return true;
  if (filter == HWND_THREADONLY) return hwnd == nullptr;
  return filter == hwnd;
}

enum class KeyRoute { Deliver, Skip, Drop };

KeyRoute RouteKey(const QueuedKey& k, HWND filter, UINT first, UINT last, bool remove, MSG& out) {
  Window* target = Peek(GetFocus());
  bool noFocus = !target;
  if (!target) target = Peek(GetActiveWindow());
  if (!target || !EnabledChain(target)) return KeyRoute::Drop;
  UINT msg;
  LPARAM lp;
  RetrieveKey(k, msg, lp, false);
  // Without a focus window the active window hears keys as system keys.
  if (noFocus) msg = (msg == WM_KEYDOWN) ? WM_SYSKEYDOWN : (msg == WM_KEYUP) ? WM_SYSKEYUP : msg;
  out = MSG{target->handle, msg, k.key.vk, lp, k.time, Q().lastPos};
  if (filter && filter != target->handle && !IsChild(filter, target->handle)) return KeyRoute::Skip;
  if (!InRange(msg, first, last)) return KeyRoute::Skip;
  if (!remove) return KeyRoute::Deliver;
  RetrieveKey(k, msg, lp, true);
  if (CallHooks(WH_KEYBOARD, HC_ACTION, k.key.vk, lp)) return KeyRoute::Drop;
  if (!Peek(out.hwnd)) return KeyRoute::Drop;
  return KeyRoute::Deliver;
}

// A composition starts in the window that has the keyboard when it comes
// to be retrieved, as a key would: the keys before it may move the focus.
KeyRoute RouteComposition(const Input& item, HWND filter, UINT first, UINT last, MSG& out) {
  Window* target = Peek(GetFocus());
  if (!target) target = Peek(GetActiveWindow());
  if (!target || !EnabledChain(target)) return KeyRoute::Drop;
  out = MSG{target->handle, WM_IME_STARTCOMPOSITION, 0, 0, item.key.time, Q().lastPos};
  if (filter && filter != target->handle && !IsChild(filter, target->handle)) return KeyRoute::Skip;
  if (!InRange(WM_IME_STARTCOMPOSITION, first, last)) return KeyRoute::Skip;
  return KeyRoute::Deliver;
}

// Where an item of the input is now. Routing it may run handlers (the
// hit test), which may take input themselves: the item may have moved
// nearer the front, or be gone.
std::optional<std::size_t> Locate(const std::deque<Input>& in, std::uint64_t serial, std::size_t was) {
  if (was < in.size() && in[was].serial == serial) return was;
  for (std::size_t j = 0; j < in.size(); ++j)
    if (in[j].serial == serial) return j;
  return std::nullopt;
}

void Push(Input item) {
  item.serial = ++Q().inputSerial;
  Q().input.push_back(item);
}

bool FromInput(HWND filter, UINT first, UINT last, bool remove, MSG& out) {
  auto& in = Q().input;
  for (std::size_t i = 0; i < in.size();) {
    Input item = in[i];
    bool deliver = false, drop = false;
    if (item.isComposition) {
      KeyRoute r = RouteComposition(item, filter, first, last, out);
      if (r == KeyRoute::Drop) drop = true;
      else if (r == KeyRoute::Deliver) {
        if (!remove) return true;
        const auto at = Locate(in, item.serial, i);
        if (!at) continue;  // taken meanwhile: look at what is there now
        in.erase(in.begin() + static_cast<long>(*at));
        return true;
      }
    } else if (item.isKey) {
      KeyRoute r = RouteKey(item.key, filter, first, last, false, out);
      if (r == KeyRoute::Drop) drop = true;
      else if (r == KeyRoute::Deliver) {
        if (!remove) return true;
        const auto at = Locate(in, item.serial, i);
        if (!at) continue;
        in.erase(in.begin() + static_cast<long>(i = *at));
        if (RouteKey(item.key, filter, first, last, true, out) == KeyRoute::Deliver) return true;
        continue;
      }
    } else {
      Route r = RouteMouse(item.mouse, filter, first, last, false, out);
      if (r == Route::Drop) drop = true;
      else if (r == Route::Deliver) {
        if (!remove) return true;
        const auto at = Locate(in, item.serial, i);
        if (!at) continue;
        in.erase(in.begin() + static_cast<long>(i = *at));
        if (RouteMouse(item.mouse, filter, first, last, true, out) == Route::Deliver) return true;
        continue;
      }
    }
    (void)deliver;
    // Input nobody may receive (no window, a disabled one) is thrown away.
    if (drop) {
      if (const auto at = Locate(in, item.serial, i)) in.erase(in.begin() + static_cast<long>(i = *at));
      continue;
    }
    // Skipped: the next item is the one after it, wherever it is now.
    if (const auto at = Locate(in, item.serial, i)) i = *at + 1;
  }
  return false;
}

// kinds: the QS_x bits to look at.
bool Retrieve(HWND filter, UINT first, UINT last, bool remove, UINT kinds, MSG& out) {
  DrainBackEnd();
  QueueState& q = Q();
  if (kinds & (QS_POSTMESSAGE | QS_ALLPOSTMESSAGE)) {
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
      if (MatchesWindow(filter, it->hwnd) && InRange(it->message, first, last)) {
        out = *it;
        if (remove) q.posted.erase(it);
        return true;
      }
    }
    if (q.quit && InRange(WM_QUIT, first, last)) {
      out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, Clock::TickCount(), q.lastPos};
      if (remove) q.quit = false;
      return true;
    }
  }
  if ((kinds & QS_INPUT) && filter != HWND_THREADONLY && FromInput(filter, first, last, remove, out)) return true;
  if ((kinds & QS_PAINT) && filter != HWND_THREADONLY && InRange(WM_PAINT, first, last)) {
    if (Window* w = NextToPaint(filter)) {
      out = MSG{w->handle, WM_PAINT, 0, 0, Clock::TickCount(), q.lastPos};
      return true;
    }
  }
  if ((kinds & QS_TIMER) && InRange(WM_TIMER, first, last)) {
    HWND timerFilter = filter == HWND_THREADONLY ? nullptr : filter;
    MSG t;
    if (TakeTimer(timerFilter, false, t) && (filter != HWND_THREADONLY || !t.hwnd)) {
      TakeTimer(timerFilter, true, t);
      t.pt = q.lastPos;
      out = t;
      // Seen but left in the queue, it is a message like any posted one:
      // whatever is posted after this look comes after it.
      if (!remove) q.posted.push_back(t);
      return true;
    }
  }
  return false;
}

// Window filters 1 and 0xFFFF are taken, as -1 is, for "messages posted
// without a window".
HWND NormalizeFilter(HWND filter) {
  auto v = reinterpret_cast<std::intptr_t>(filter);
  return v == 1 || v == 0xFFFF ? HWND_THREADONLY : filter;
}

bool Available() {
  QueueState& q = Q();
  return !q.posted.empty() || q.quit || !q.input.empty() || NextToPaint(nullptr) || AnyTimerPending();
}

void Idle() {
  if (RunModalIdle()) return;
  DrainBackEnd();
  auto polls = Q().polls;
  for (auto& [id, poll] : polls)
    if (poll) poll();
  if (Available()) return;
  // What the back end asked to show again just now (an exposure read
  // above) goes to the screen before the wait: nothing else may come to
  // wake the program, and the screen would keep what covered the window.
  PresentPending();
  std::uint64_t next = NextTimerDue();
  if (Q().waiter) {
    Q().waiter(next);
    return;
  }
  std::uint64_t now = Clock::Milliseconds();
  BackEnd().WaitForEvent(next == UINT64_MAX ? UINT64_MAX : (next > now ? next - now : 0));
}

Window* WindowOfSurface(SurfaceId s) {
  if (!s) return nullptr;  // windows not shown yet have none
  for (Window* t : TopLevels())
    if (t->surface == s) return t;
  return nullptr;
}

}  // namespace

LRESULT Deliver(Window* w, UINT msg, WPARAM wParam, LPARAM lParam, bool sent) {
  Pin pin(w);
  HWND h = w->handle;
  if (HasHooks(WH_CALLWNDPROC)) {
    CWPSTRUCT cwp{lParam, wParam, msg, h};
    CallHooks(WH_CALLWNDPROC, HC_ACTION, sent ? 1 : 0, reinterpret_cast<LPARAM>(&cwp));
    if (w->destroyed) return 0;
  }
  WNDPROC proc = w->proc;
  if (!proc) return 0;
  if (msg != WM_PAINT) return proc(h, msg, wParam, lParam);
  // A WM_PAINT handler that pumps messages or updates itself before its
  // window is valid gets its WM_PAINT again, without end: past a fixed
  // depth the nested one is not delivered, the handler below it returns
  // (validating on its way out, as DefWindowProc does) and it all unwinds.
  static int paintDepth = 0;
  if (paintDepth >= kPaintNesting) return 0;
  struct Nest {
    Nest() { ++paintDepth; }
    ~Nest() { --paintDepth; }
    Nest(const Nest&) = delete;
    Nest& operator=(const Nest&) = delete;
  } nest;
  return proc(h, msg, wParam, lParam);
}

void PostInput(const MouseInput& in) {
  auto& q = Q().input;
  // Movement is merged: only the latest position of a run of moves counts.
  if (in.type == WM_MOUSEMOVE && !q.empty() && !q.back().isKey && q.back().mouse.type == WM_MOUSEMOVE) {
    q.back().mouse = in;
    return;
  }
  Input i;
  i.mouse = in;
  Push(i);
}

void PostInput(const QueuedKey& key) {
  Input i;
  i.isKey = true;
  i.key = key;
  Push(i);
}

void PostCompositionStart() {
  Input i;
  i.isComposition = true;
  i.key.time = Clock::TickCount();
  Push(i);
}

std::vector<MSG> PostedMessages() { return {Q().posted.begin(), Q().posted.end()}; }
std::size_t InputCount() { return Q().input.size(); }

void SetIdleWaiter(IdleWaiter waiter) { Q().waiter = std::move(waiter); }

namespace {

// The window manager's own minimise, maximise and restore reach the window
// as its system menu's would, so a program that minimises its whole
// application on it does so here too; a window already in the state hears
// nothing.
void PostStateRequest(Window* w, BackEndEvent::Kind kind) {
  struct Request {
    BackEndEvent::Kind kind;
    DWORD state;
    bool into;
    WPARAM command;
  };
  static constexpr Request requests[] = {
      {BackEndEvent::MinimizeRequest, WS_MINIMIZE, true, SC_MINIMIZE},
      {BackEndEvent::RestoreRequest, WS_MINIMIZE, false, SC_RESTORE},
      {BackEndEvent::MaximizeRequest, WS_MAXIMIZE, true, SC_MAXIMIZE},
      {BackEndEvent::UnmaximizeRequest, WS_MAXIMIZE, false, SC_RESTORE},
  };
  for (const Request& r : requests)
    if (r.kind == kind && ((w->style & r.state) != 0) != r.into) PostOwed(w->handle, WM_SYSCOMMAND, r.command, 0);
}

}  // namespace

void DrainBackEnd() {
  BackEndEvent e;
  IBackEnd& be = BackEnd();
  while (be.PollEvent(e)) {
    switch (e.kind) {
      case BackEndEvent::MouseMove: PostInput(AcceptMouse(WM_MOUSEMOVE, e.pt, 0)); break;
      case BackEndEvent::ButtonDown:
      case BackEndEvent::ButtonUp: {
        UINT base = e.button == VK_RBUTTON ? WM_RBUTTONDOWN : e.button == VK_MBUTTON ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
        PostInput(AcceptMouse(e.kind == BackEndEvent::ButtonDown ? base : base + 1, e.pt, 0));
        break;
      }
      case BackEndEvent::Wheel: PostInput(AcceptMouse(WM_MOUSEWHEEL, e.pt, e.delta)); break;
      case BackEndEvent::KeyDown:
      case BackEndEvent::KeyUp:
        PostInput(
            AcceptKey(KeyInput{e.vk, e.scan, e.extended, e.kind == BackEndEvent::KeyDown, e.ch, e.dead, e.text}));
        break;
      case BackEndEvent::CompositionStart: PostCompositionStart(); break;
      case BackEndEvent::AppActivated: AppActivation(true, WindowOfSurface(e.surface)); break;
      case BackEndEvent::AppDeactivated: AppActivation(false); break;
      case BackEndEvent::SurfaceActivated: SurfaceActivation(WindowOfSurface(e.surface)); break;
      case BackEndEvent::CloseRequest:
        if (Window* w = WindowOfSurface(e.surface)) PostOwed(w->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
      case BackEndEvent::MinimizeRequest:
      case BackEndEvent::RestoreRequest:
      case BackEndEvent::MaximizeRequest:
      case BackEndEvent::UnmaximizeRequest:
        if (Window* w = WindowOfSurface(e.surface)) PostStateRequest(w, e.kind);
        break;
      case BackEndEvent::Moved:
        if (Window* w = WindowOfSurface(e.surface)) {
          const HWND h = w->handle;
          const RECT before = w->window;
          SetWindowPos(h, nullptr, e.rect.Left, e.rect.Top, e.rect.Width(), e.rect.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
          // A window that kept its place (a size below its limits from a
          // manager that does not read them, say) was not placed at all:
          // the manager's frame goes back to it.
          w = Peek(h);
          if (w && w->surface && w->window == before && w->window != e.rect &&
              !(w->style & (WS_MINIMIZE | WS_MAXIMIZE)) && be.Decorated(w->surface))
            be.MoveSurface(w->surface, w->window);
        }
        break;
      case BackEndEvent::Reframed:
        if (Window* w = WindowOfSurface(e.surface)) SurfaceReframed(w);
        break;
      case BackEndEvent::Exposed:
        // The window's pixels are all still here: show them again.
        if (Window* w = WindowOfSurface(e.surface)) {
          if (w->backing && e.rect.Left < e.rect.Right && e.rect.Top < e.rect.Bottom) MarkDirty(w, e.rect);
          else if (w->backing) w->backing->presentAll = true;
          else RedrawWindow(w->handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
        break;
    }
  }
}

void QueueWindowDestroyed(HWND hwnd) {
  auto& p = Q().posted;
  for (auto it = p.begin(); it != p.end();) {
    if (it->hwnd != hwnd) {
      ++it;
    } else if (it->message == WM_QUIT) {
      // A request to end the loop outlives the window it was posted to.
      it->hwnd = nullptr;
      ++it;
    } else {
      it = p.erase(it);
    }
  }
}

void ResetQueue() {
  QueueState& q = Q();
  q.posted.clear();
  q.input.clear();
  q.quit = false;
  q.quitCode = 0;
  q.lastPos = {};
  q.lastTime = 0;
  q.waiter = nullptr;
}

}  // namespace detail

using namespace detail;

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT removeFlags) {
  if (!msg) return FALSE;
  hwnd = NormalizeFilter(hwnd);
  if (hwnd && hwnd != HWND_THREADONLY && !Find(hwnd)) return FALSE;
  bool remove = (removeFlags & PM_REMOVE) != 0;
  // Sent messages never wait in this queue, so PM_QS_SENDMESSAGE alone finds nothing.
  UINT kinds = removeFlags >> 16;
  if (!kinds) kinds = QS_INPUT | QS_POSTMESSAGE | QS_ALLPOSTMESSAGE | QS_PAINT | QS_TIMER;
  if (!Retrieve(hwnd, first, last, remove, kinds, *msg)) {
    // Nothing left to do for now: what was painted goes to the screen.
    PresentPending();
    return FALSE;
  }
  Q().lastPos = msg->pt;
  Q().lastTime = msg->time;
  if (remove && HasHooks(WH_GETMESSAGE)) CallHooks(WH_GETMESSAGE, HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(msg));
  return TRUE;
}

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT first, UINT last) {
  if (!msg) return -1;
  hwnd = NormalizeFilter(hwnd);
  if (hwnd && hwnd != HWND_THREADONLY && !Find(hwnd)) return -1;
  for (;;) {
    if (PeekMessageA(msg, hwnd, first, last, PM_REMOVE)) return msg->message != WM_QUIT;
    if (hwnd && hwnd != HWND_THREADONLY && !Peek(hwnd)) return -1;
    Idle();
  }
}

BOOL WaitMessage() {
  if (!Available()) Idle();
  return TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  UINT m = msg->message;
  if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN && m != WM_KEYUP && m != WM_SYSKEYUP) return FALSE;
  if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) {
    BYTE scan = static_cast<BYTE>((msg->lParam >> 16) & 0xFF);
    bool dead = false;
    if (auto typed = TypedByKey(static_cast<BYTE>(msg->wParam), scan, dead)) {
      for (char t : *typed) {
        MSG c = *msg;
        c.message = m == WM_KEYDOWN ? (dead ? WM_DEADCHAR : WM_CHAR) : (dead ? WM_SYSDEADCHAR : WM_SYSCHAR);
        c.wParam = static_cast<unsigned char>(t);
        Q().posted.push_back(c);
      }
      return TRUE;
    }
    int ch = CharFromKey(static_cast<BYTE>(msg->wParam), scan);
    if (ch >= 0) {
      MSG c = *msg;
      c.message = m == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
      c.wParam = static_cast<WPARAM>(ch);
      Q().posted.push_back(c);
    }
  }
  return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    // Only a procedure of a live timer is called: a posted WM_TIMER could
    // carry any number in lParam.
    if (!IsTimerProc(msg->hwnd, msg->wParam, proc)) return 0;
    proc(msg->hwnd, WM_TIMER, msg->wParam, Clock::TickCount());
    return 0;
  }
  Window* w = Peek(msg->hwnd);
  if (!w) return 0;
  LRESULT r = Deliver(w, msg->message, msg->wParam, msg->lParam, false);
  if (msg->message == WM_PAINT) PaintDispatched(msg->hwnd);
  if (msg->message == WM_SYSCOMMAND) SystemCommandHandled(msg->hwnd, msg->wParam);
  return r;
}

namespace detail {

void PostOwed(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  MSG m{hwnd, msg, wParam, lParam, Clock::TickCount(), {}};
  GetCursorPos(&m.pt);
  Q().posted.push_back(m);
  BackEnd().WakeUp();
}

}  // namespace detail

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto full = [] {
    if (Q().posted.size() < kPostedMessageQuota) return false;
    SetLastError(ERROR_NOT_ENOUGH_QUOTA);
    return true;
  };
  if (hwnd == HWND_BROADCAST) {
    MSG m{hwnd, msg, wParam, lParam, Clock::TickCount(), {}};
    GetCursorPos(&m.pt);
    for (Window* t : TopLevels()) {
      if (full()) return FALSE;
      m.hwnd = t->handle;
      Q().posted.push_back(m);
    }
    return TRUE;
  }
  if (hwnd && !Find(hwnd)) return FALSE;
  if (full()) return FALSE;
  PostOwed(hwnd, msg, wParam, lParam);
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  Q().quit = true;
  Q().quitCode = exitCode;
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd == HWND_BROADCAST) {
    std::vector<HWND> tops;
    for (Window* t : TopLevels()) tops.push_back(t->handle);
    for (HWND h : tops)
      if (Window* t = Peek(h)) Deliver(t, msg, wParam, lParam, true);
    return 0;
  }
  Window* w = Find(hwnd);
  if (!w) return 0;
  return Deliver(w, msg, wParam, lParam, true);
}

BOOL SendNotifyMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd != HWND_BROADCAST && !Find(hwnd)) return FALSE;
  SendMessageA(hwnd, msg, wParam, lParam);
  return TRUE;
}

DWORD GetMessagePos() {
  return static_cast<DWORD>(MAKELPARAM(Q().lastPos.X, Q().lastPos.Y));
}

LONG GetMessageTime() { return static_cast<LONG>(Q().lastTime); }

int AddQueuePoll(QueuePoll poll) {
  int id = Q().nextPoll++;
  Q().polls[id] = std::move(poll);
  return id;
}

void RemoveQueuePoll(int id) { Q().polls.erase(id); }

void WakeMessageLoop() { BackEnd().WakeUp(); }

}  // namespace win
