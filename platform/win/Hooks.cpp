#include "platform/win/Hooks.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/win/Messages.h"
#include "platform/win/WindowData.h"

namespace win {
namespace detail {
namespace {

struct Hook {
  HHOOK handle;
  int type;
  HOOKPROC proc;
  bool removed = false;
};

struct HookTable {
  std::vector<std::shared_ptr<Hook>> chain;  // newest first
  std::uintptr_t next = 0x20010;
  int running = 0;
  bool removedSome = false;  // a hook removed while the chain ran waits here
};

HookTable& T() {
  static HookTable t;
  return t;
}

void Purge() {
  HookTable& t = T();
  if (t.running || !t.removedSome) return;
  t.removedSome = false;
  auto& c = t.chain;
  c.erase(std::remove_if(c.begin(), c.end(), [](const auto& h) { return h->removed; }), c.end());
}

// Calls the first live hook of the type from position start on.
// Only the procedure is taken from the chain: a hook removed while it
// runs stays in the chain until the outermost call is through.
LRESULT RunFrom(std::size_t start, int type, int code, WPARAM wParam, LPARAM lParam) {
  HookTable& t = T();
  HOOKPROC proc = nullptr;
  for (std::size_t i = start; i < t.chain.size(); ++i) {
    const Hook& c = *t.chain[i];
    if (!c.removed && c.type == type) {
      proc = c.proc;
      break;
    }
  }
  if (!proc) return 0;
  ++t.running;
  struct Done {
    ~Done() {
      --T().running;
      Purge();
    }
  } done;
  return proc(code, wParam, lParam);
}

bool Supported(int type) {
  return type == WH_CALLWNDPROC || type == WH_GETMESSAGE || type == WH_MOUSE || type == WH_KEYBOARD;
}

}  // namespace

LRESULT CallHooks(int type, int code, WPARAM wParam, LPARAM lParam) { return RunFrom(0, type, code, wParam, lParam); }

bool HasHooks(int type) {
  for (auto& h : T().chain)
    if (!h->removed && h->type == type) return true;
  return false;
}

int HookCount(int type) {
  int n = 0;
  for (auto& h : T().chain)
    if (!h->removed && (type == -100 || h->type == type)) ++n;
  return n;
}

void ResetHooks() {
  for (auto& h : T().chain) h->removed = true;
  T().running = 0;
  T().removedSome = true;
  Purge();
}

}  // namespace detail

using namespace detail;

HHOOK SetWindowsHookExA(int type, HOOKPROC proc, HINSTANCE, DWORD) {
  if (!Supported(type)) {
    SetLastError(ERROR_INVALID_HOOK_FILTER);
    return nullptr;
  }
  if (!proc) {
    SetLastError(ERROR_INVALID_FILTER_PROC);
    return nullptr;
  }
  auto h = std::make_shared<Hook>(Hook{reinterpret_cast<HHOOK>(T().next), type, proc});
  T().next += 4;
  T().chain.insert(T().chain.begin(), h);
  return h->handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
  for (auto& h : T().chain)
    if (h->handle == hook && !h->removed) {
      h->removed = true;
      T().removedSome = true;
      Purge();
      return TRUE;
    }
  SetLastError(ERROR_INVALID_HOOK_HANDLE);
  return FALSE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  auto& c = T().chain;
  for (std::size_t i = 0; i < c.size(); ++i)
    if (c[i]->handle == hook) return RunFrom(i + 1, c[i]->type, code, wParam, lParam);
  return 0;
}

}  // namespace win
