// The message queue of the GUI thread. Retrieval order: posted messages,
// then WM_QUIT, then input (routed to its window as it is retrieved), then
// WM_PAINT for a window that needs painting, then WM_TIMER for a due timer.
// Sent messages bypass the queue and run at once, re-entrantly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/win/Handles.h"

namespace win {

// Answers 0 for WM_QUIT, -1 for an invalid window filter.
BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT first, UINT last);
BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
// At kPostedMessageQuota waiting messages a post fails with
// ERROR_NOT_ENOUGH_QUOTA: a runaway poster stops there instead of eating
// the memory, and posting works again once the loop has taken some.
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
inline constexpr std::size_t kPostedMessageQuota = 10000;
void PostQuitMessage(int exitCode);
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL SendNotifyMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL WaitMessage();
DWORD GetMessagePos();   // screen point of the last retrieved message, packed
LONG GetMessageTime();

inline BOOL GetMessage(LPMSG m, HWND h, UINT a, UINT b) { return GetMessageA(m, h, a, b); }
inline BOOL PeekMessage(LPMSG m, HWND h, UINT a, UINT b, UINT r) { return PeekMessageA(m, h, a, b, r); }
inline LRESULT DispatchMessage(const MSG* m) { return DispatchMessageA(m); }
inline BOOL PostMessage(HWND h, UINT m, WPARAM w, LPARAM l) { return PostMessageA(h, m, w, l); }
inline LRESULT SendMessage(HWND h, UINT m, WPARAM w, LPARAM l) { return SendMessageA(h, m, w, l); }

// Something else the loop must notice before it sleeps (finished child
// processes, for example): called each time the queue is found empty.
// A poll may post messages; WakeMessageLoop ends a sleep from any thread.
using QueuePoll = std::function<void()>;
int AddQueuePoll(QueuePoll poll);
void RemoveQueuePoll(int id);
void WakeMessageLoop();

namespace detail {
struct MouseInput;
struct QueuedKey;
void PostInput(const MouseInput& in);
void PostInput(const QueuedKey& key);
// An input method starts composing: WM_IME_STARTCOMPOSITION for the
// window with the keyboard, in turn with the keys around it.
void PostCompositionStart();
// Posts what the window system owes a window whatever the queue holds:
// a close the user asked for, a menu choice, a form's release. The quota
// stops programs' runaway posts, never these.
void PostOwed(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The messages waiting in the posted queue, oldest first.
std::vector<MSG> PostedMessages();
std::size_t InputCount();
// Replaces how an empty queue waits (tests move a fake clock instead of
// sleeping). The waiter gets the next timer due time (UINT64_MAX: none).
using IdleWaiter = std::function<void(std::uint64_t nextDue)>;
void SetIdleWaiter(IdleWaiter waiter);
// Reads what the back end has queued and turns it into input.
void DrainBackEnd();
}  // namespace detail

}  // namespace win
