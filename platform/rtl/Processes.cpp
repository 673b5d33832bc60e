#include "platform/rtl/Processes.h"

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/rtl/ProcessLauncher.h"

namespace {

using orv::IProcessLauncher;
using orv::ProcessId;

struct Child {
  ProcessId Pid = 0;
  IProcessLauncher* Launcher = nullptr;
  bool Ended = false;
  win::DWORD ExitCode = win::STILL_ACTIVE;
  int Handles = 0;
};

enum class HandleKind { Process, Thread };

struct HandleEntry {
  std::shared_ptr<Child> Target;
  HandleKind Kind;
};

struct Table {
  std::mutex Mutex;
  std::vector<std::shared_ptr<Child>> Children;  // not yet collected, or still referenced
  std::unordered_map<std::uintptr_t, HandleEntry> Handles;
  std::uintptr_t NextHandle = 0x71000000;
};

Table& T() {
  static Table t;
  return t;
}

// Collects every ended child and forgets those nobody refers to any more.
// Called with the table locked.
void Sweep(Table& t) {
  for (auto& c : t.Children) {
    if (c->Ended) continue;
    win::DWORD code;
    if (c->Launcher->Poll(c->Pid, code)) {
      c->Ended = true;
      c->ExitCode = code;
    }
  }
  std::erase_if(t.Children, [](const std::shared_ptr<Child>& c) { return c->Ended && c->Handles == 0; });
}

win::HANDLE AddHandle(Table& t, const std::shared_ptr<Child>& c, HandleKind kind) {
  const std::uintptr_t value = t.NextHandle;
  t.NextHandle += 4;
  t.Handles.emplace(value, HandleEntry{c, kind});
  ++c->Handles;
  return reinterpret_cast<win::HANDLE>(value);
}

HandleEntry* FindHandle(Table& t, win::HANDLE h) {
  auto it = t.Handles.find(reinterpret_cast<std::uintptr_t>(h));
  if (it != t.Handles.end()) return &it->second;
  win::SetLastError(win::ERROR_INVALID_HANDLE);
  return nullptr;
}

bool ParseEnvironment(const char* block, std::vector<AnsiString>& out) {
  // Entries end at a zero byte; an empty entry ends the block.
  for (const char* p = block; *p; p += out.back().size() + 1) out.emplace_back(p);
  return true;
}

}  // namespace

namespace orv {

std::vector<AnsiString> SplitCommandLine(const AnsiString& s) {
  std::vector<AnsiString> out;
  const std::size_t n = s.size();
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t i = 0;
  while (i < n && blank(s[i])) ++i;
  if (i >= n) return out;
  // The program name: quotes group, backslashes are plain (they separate
  // directories on the platform).
  AnsiString first;
  for (bool quoted = false; i < n; ++i) {
    if (s[i] == '"') {
      quoted = !quoted;
    } else if (!quoted && blank(s[i])) {
      break;
    } else {
      first += s[i];
    }
  }
  out.push_back(std::move(first));
  for (;;) {
    while (i < n && blank(s[i])) ++i;
    if (i >= n) break;
    AnsiString arg;
    bool quoted = false;
    while (i < n) {
      const char c = s[i];
      if (c == '\\') {
        std::size_t count = 0;
        while (i < n && s[i] == '\\') ++count, ++i;
        if (i < n && s[i] == '"') {
          arg.append(count / 2, '\\');
          if (count % 2) arg += '"', ++i;  // an escaped quote; an even run leaves the quote to group
        } else {
          arg.append(count, '\\');
        }
      } else if (c == '"') {
        if (quoted && i + 1 < n && s[i + 1] == '"') {
          arg += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else if (!quoted && blank(c)) {
        break;
      } else {
        arg += c;
        ++i;
      }
    }
    out.push_back(std::move(arg));
  }
  return out;
}

std::size_t LiveChildCount() {
  Table& t = T();
  std::lock_guard lock(t.Mutex);
  Sweep(t);
  std::size_t live = 0;
  for (auto& c : t.Children) live += !c->Ended;
  return live;
}

std::size_t OpenProcessHandleCount() {
  Table& t = T();
  std::lock_guard lock(t.Mutex);
  return t.Handles.size();
}

void ForgetProcessesOf(IProcessLauncher* launcher) {
  Table& t = T();
  std::lock_guard lock(t.Mutex);
  for (auto& c : t.Children)
    if (c->Launcher == launcher && !c->Ended) {
      // Its launcher is gone; nobody can ask it any more.
      c->Ended = true;
      c->ExitCode = 255;
    }
  Sweep(t);
}

}  // namespace orv

namespace win {

BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                    BOOL bInheritHandles, DWORD dwCreationFlags, LPVOID lpEnvironment, LPCSTR lpCurrentDirectory,
                    LPSTARTUPINFOA, LPPROCESS_INFORMATION lpProcessInformation) {
  constexpr DWORD CREATE_UNICODE_ENVIRONMENT = 0x00000400;
  orv::LaunchRequest request;
  request.Program = lpApplicationName ? lpApplicationName : "";
  request.CommandLine = lpCommandLine ? lpCommandLine : "";
  request.Argv = orv::SplitCommandLine(request.CommandLine);
  if (request.Argv.empty() && !request.Program.empty()) request.Argv.push_back(request.Program);
  if (request.Program.empty() && !request.Argv.empty()) request.Program = request.Argv[0];
  request.WorkingDirectory = lpCurrentDirectory ? lpCurrentDirectory : "";
  request.CreationFlags = dwCreationFlags;
  request.InheritHandles = bInheritHandles != FALSE;
  std::vector<AnsiString> environment;
  if (lpEnvironment) {
    if (dwCreationFlags & CREATE_UNICODE_ENVIRONMENT) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    ParseEnvironment(static_cast<const char*>(lpEnvironment), environment);
    request.Environment = &environment;
  }
  if (!lpProcessInformation || request.Program.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }

  IProcessLauncher& launcher = orv::ProcessLauncher();
  ProcessId pid = 0;
  DWORD error = ERROR_SUCCESS;
  if (!launcher.Launch(request, pid, error)) {
    SetLastError(error);
    return FALSE;
  }
  Table& t = T();
  std::lock_guard lock(t.Mutex);
  Sweep(t);
  auto child = std::make_shared<Child>();
  child->Pid = pid;
  child->Launcher = &launcher;
  t.Children.push_back(child);
  lpProcessInformation->hProcess = AddHandle(t, child, HandleKind::Process);
  lpProcessInformation->hThread = AddHandle(t, child, HandleKind::Thread);
  lpProcessInformation->dwProcessId = static_cast<DWORD>(pid);
  lpProcessInformation->dwThreadId = static_cast<DWORD>(pid);
  return TRUE;
}

void GetStartupInfoA(LPSTARTUPINFOA lpStartupInfo) {
  if (!lpStartupInfo) return;
  *lpStartupInfo = STARTUPINFOA{};
  lpStartupInfo->cb = sizeof(STARTUPINFOA);
}

HANDLE OpenProcess(DWORD, BOOL, DWORD dwProcessId) {
  Table& t = T();
  std::lock_guard lock(t.Mutex);
  Sweep(t);
  for (auto& c : t.Children)
    if (!c->Ended && static_cast<DWORD>(c->Pid) == dwProcessId) return AddHandle(t, c, HandleKind::Process);
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

BOOL GetExitCodeProcess(HANDLE hProcess, DWORD* lpExitCode) {
  Table& t = T();
  std::lock_guard lock(t.Mutex);
  HandleEntry* h = FindHandle(t, hProcess);
  if (!h || h->Kind != HandleKind::Process) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!lpExitCode) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Child& c = *h->Target;
  Sweep(t);
  *lpExitCode = c.Ended ? c.ExitCode : STILL_ACTIVE;
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  Table& t = T();
  std::shared_ptr<Child> c;
  {
    std::lock_guard lock(t.Mutex);
    HandleEntry* h = FindHandle(t, hHandle);
    if (!h) return WAIT_FAILED;
    c = h->Target;
    Sweep(t);
    if (c->Ended) return WAIT_OBJECT_0;
  }
  // Waiting must not hold the table: a fake clock moved by the wait may run
  // timers that poll processes themselves.
  DWORD code;
  const bool ended = c->Launcher->Wait(c->Pid, dwMilliseconds, code);
  std::lock_guard lock(t.Mutex);
  if (ended && !c->Ended) {
    c->Ended = true;
    c->ExitCode = code;
  }
  return c->Ended ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL TerminateProcess(HANDLE hProcess, UINT uExitCode) {
  Table& t = T();
  std::lock_guard lock(t.Mutex);
  HandleEntry* h = FindHandle(t, hProcess);
  if (!h || h->Kind != HandleKind::Process) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  Sweep(t);
  Child& c = *h->Target;
  if (c.Ended || !c.Launcher->Terminate(c.Pid, uExitCode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return TRUE;
}

BOOL CloseHandle(HANDLE hObject) {
  Table& t = T();
  std::lock_guard lock(t.Mutex);
  auto it = t.Handles.find(reinterpret_cast<std::uintptr_t>(hObject));
  if (it == t.Handles.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  --it->second.Target->Handles;
  t.Handles.erase(it);
  Sweep(t);
  return TRUE;
}

}  // namespace win
