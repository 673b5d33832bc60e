// Hooks of the GUI thread. The most recently installed hook of a kind runs
// first and hands on with CallNextHookEx. Hooks may be installed or removed
// while one runs: a removed hook is skipped at once and forgotten when no
// chain is running any more.
#pragma once

#include "platform/win/Handles.h"

namespace win {

HHOOK SetWindowsHookExA(int type, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
inline HHOOK SetWindowsHookEx(int type, HOOKPROC proc, HINSTANCE module, DWORD threadId) {
  return SetWindowsHookExA(type, proc, module, threadId);
}

namespace detail {
// Runs the chain of a kind; 0 when no hook of that kind is installed.
LRESULT CallHooks(int type, int code, WPARAM wParam, LPARAM lParam);
bool HasHooks(int type);
int HookCount(int type);  // any kind for -100
}  // namespace detail

}  // namespace win
