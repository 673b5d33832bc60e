#include "platform/rtl/ProcessLauncher.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "platform/rtl/OsEdge.h"
#include "platform/rtl/Processes.h"

extern char** environ;

namespace orv {
namespace {

constexpr win::DWORD kUnknownExit = 255;

win::DWORD ExitCodeOf(int status) {
  if (WIFEXITED(status)) return static_cast<win::DWORD>(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return 128u + static_cast<win::DWORD>(WTERMSIG(status));
  return kUnknownExit;
}

// What the child reports through the close-on-exec pipe when it fails
// before its program runs.
struct ChildFailure {
  int Stage;  // 1: changing directory, 2: executing
  int Errno;
};

class RealLauncher : public IProcessLauncher {
 public:
  bool Launch(const LaunchRequest& request, ProcessId& pid, win::DWORD& error) override {
    // Everything the child needs is prepared here: between fork and exec
    // only async-signal-safe calls are allowed.
    AnsiString program = request.Program.empty() && !request.Argv.empty() ? request.Argv[0] : request.Program;
    std::string osProgram, osDir;
    if (program.empty() || !os::ToOsName(program, osProgram) ||
        !os::ToOsName(request.WorkingDirectory, osDir)) {
      error = program.empty() ? win::ERROR_INVALID_PARAMETER : os::ERROR_INVALID_NAME;
      return false;
    }
    if (osProgram[0] != '/') {
      // Relative to the caller's directory, not the child's.
      char cwd[4096];
      if (!getcwd(cwd, sizeof cwd)) {
        error = os::ErrorFromErrno(errno);
        return false;
      }
      osProgram = std::string(cwd) + "/" + osProgram;
    }
    std::vector<std::string> args, envs;
    if (!Convert(request.Argv.empty() ? std::vector<AnsiString>{program} : request.Argv, args, error)) return false;
    if (request.Environment && !Convert(*request.Environment, envs, error)) return false;
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : envs) envp.push_back(e.data());
    envp.push_back(nullptr);
    char* const* env = request.Environment ? envp.data() : environ;
    const bool newSession = request.CreationFlags & win::CREATE_NEW_CONSOLE;

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
      error = os::ErrorFromErrno(errno);
      return false;
    }
    const pid_t child = fork();
    if (child < 0) {
      error = os::ErrorFromErrno(errno);
      close(fds[0]);
      close(fds[1]);
      return false;
    }
    if (child == 0)
      RunChild(fds[1], osProgram.c_str(), argv.data(), env, osDir.empty() ? nullptr : osDir.c_str(), newSession,
               request.InheritHandles);

    close(fds[1]);
    ChildFailure failure{};
    ssize_t got;
    do got = read(fds[0], &failure, sizeof failure);
    while (got < 0 && errno == EINTR);
    close(fds[0]);
    if (got <= 0) {
      pid = child;
      return true;
    }
    int status;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    error = failure.Stage == 1 ? os::ERROR_DIRECTORY : os::ErrorFromErrno(failure.Errno);
    if (failure.Stage != 1 && failure.Errno == ENOENT) {
      // The system says "no such file" for a missing folder too; the
      // folder is what is missing when it is not there.
      const std::string folder = osProgram.substr(0, std::max<std::size_t>(osProgram.rfind('/'), 1));
      struct stat st;
      if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) error = win::ERROR_PATH_NOT_FOUND;
    }
    return false;
  }

  bool Poll(ProcessId pid, win::DWORD& exitCode) override {
    int status = 0;
    pid_t r;
    do r = waitpid(static_cast<pid_t>(pid), &status, WNOHANG);
    while (r < 0 && errno == EINTR);
    if (r == 0) return false;
    exitCode = r > 0 ? Ended(pid, status) : kUnknownExit;  // collected elsewhere: the status is lost
    return true;
  }

  bool Wait(ProcessId pid, win::DWORD ms, win::DWORD& exitCode) override {
    if (ms == win::INFINITE) {
      int status = 0;
      pid_t r;
      do r = waitpid(static_cast<pid_t>(pid), &status, 0);
      while (r < 0 && errno == EINTR);
      exitCode = r > 0 ? Ended(pid, status) : kUnknownExit;
      return true;
    }
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(ms);
    auto pause = microseconds(200);
    for (;;) {
      if (Poll(pid, exitCode)) return true;
      const auto now = steady_clock::now();
      if (now >= deadline) return false;
      std::this_thread::sleep_for(std::min<steady_clock::duration>(pause, deadline - now));
      pause = std::min<microseconds>(pause * 2, milliseconds(10));
    }
  }

  bool Terminate(ProcessId pid, win::DWORD exitCode) override {
    if (kill(static_cast<pid_t>(pid), SIGKILL) != 0) return false;
    std::lock_guard lock(FMutex);
    FTerminated[pid] = exitCode;
    return true;
  }

 private:
  static bool Convert(const std::vector<AnsiString>& in, std::vector<std::string>& out, win::DWORD& error) {
    out.resize(in.size());
    for (std::size_t i = 0; i < in.size(); ++i)
      if (!os::ToOsName(in[i], out[i])) {
        error = os::ERROR_INVALID_NAME;
        return false;
      }
    return true;
  }

  [[noreturn]] static void RunChild(int reportFd, const char* program, char* const* argv, char* const* envp,
                                    const char* dir, bool newSession, bool inheritHandles) {
    // Signals the parent blocks or ignores must not leak into the program.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig)
      if (sig != SIGKILL && sig != SIGSTOP) sigaction(sig, &dfl, nullptr);
    if (newSession) {
      setsid();
      const int devNull = open("/dev/null", O_RDONLY);
      if (devNull >= 0 && devNull != 0) {
        dup2(devNull, 0);
        close(devNull);
      }
    }
    // A program that inherits no handles gets the standard streams only:
    // a pipe, socket or file the caller holds open would otherwise stay
    // open as long as the program runs, and whoever waits for its other
    // end to close would wait for the program too.
    if (!inheritHandles) CloseOnExecAbove2();
    ChildFailure failure{0, 0};
    if (dir && chdir(dir) != 0) {
      failure = {1, errno};
    } else {
      execve(program, argv, envp);
      failure = {2, errno};
    }
    ssize_t ignored = write(reportFd, &failure, sizeof failure);
    (void)ignored;
    _exit(127);
  }

  // Marks every descriptor above the standard streams close-on-exec, so the
  // report pipe still works until the program runs. Async-signal-safe.
  static void CloseOnExecAbove2() {
    if (syscall(SYS_close_range, 3u, ~0u, CLOSE_RANGE_CLOEXEC) == 0) return;
    // A kernel without the call: each descriptor the limit allows.
    struct rlimit limit;
    const rlim_t last = getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY ? limit.rlim_cur : 65536;
    for (rlim_t fd = 3; fd < last; ++fd) fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
  }

  win::DWORD Ended(ProcessId pid, int status) {
    std::lock_guard lock(FMutex);
    auto it = FTerminated.find(pid);
    if (it == FTerminated.end()) return ExitCodeOf(status);
    const win::DWORD code = it->second;
    FTerminated.erase(it);
    // Killed as asked: the code the caller chose. Ended by itself first:
    // its own status.
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL ? code : ExitCodeOf(status);
  }

  std::mutex FMutex;
  std::map<ProcessId, win::DWORD> FTerminated;
};

std::atomic<IProcessLauncher*> gLauncher{nullptr};

}  // namespace

IProcessLauncher& RealProcessLauncher() {
  static RealLauncher real;
  return real;
}

IProcessLauncher& ProcessLauncher() {
  IProcessLauncher* l = gLauncher.load();
  return l ? *l : RealProcessLauncher();
}

void SetProcessLauncher(IProcessLauncher* launcher) { gLauncher.store(launcher); }

// ---------------------------------------------------------------------------

FakeProcessLauncher::FakeProcessLauncher(Clock::FakeClock* clock) : FClock(clock), FPrevious(gLauncher.load()) {
  SetProcessLauncher(this);
}

FakeProcessLauncher::~FakeProcessLauncher() {
  ForgetProcessesOf(this);
  SetProcessLauncher(FPrevious);
}

void FakeProcessLauncher::ScriptRun(win::DWORD exitCode, std::uint64_t runMs) { FScript.push_back({false, exitCode, runMs}); }

void FakeProcessLauncher::ScriptFailure(win::DWORD error) { FScript.push_back({true, error, 0}); }

bool FakeProcessLauncher::Launch(const LaunchRequest& request, ProcessId& pid, win::DWORD& error) {
  Step step;
  if (!FScript.empty()) {
    step = FScript.front();
    FScript.pop_front();
  }
  const std::uint64_t now = Clock::Milliseconds();
  FLaunches.push_back({request.Program, request.CommandLine, request.Argv, request.WorkingDirectory,
                       request.CreationFlags, step.Fails ? 0 : FNextPid, now});
  if (step.Fails) {
    error = step.Code;
    return false;
  }
  pid = FNextPid++;
  FRunning.push_back({pid, now + step.RunMs, step.Code});
  return true;
}

FakeProcessLauncher::Running* FakeProcessLauncher::Find(ProcessId pid) {
  for (Running& r : FRunning)
    if (r.Pid == pid) return &r;
  return nullptr;
}

bool FakeProcessLauncher::Poll(ProcessId pid, win::DWORD& exitCode) {
  Running* r = Find(pid);
  if (!r) {
    exitCode = kUnknownExit;
    return true;
  }
  if (Clock::Milliseconds() < r->EndsAt) return false;
  exitCode = r->ExitCode;
  FRunning.erase(FRunning.begin() + (r - FRunning.data()));
  return true;
}

bool FakeProcessLauncher::Wait(ProcessId pid, win::DWORD ms, win::DWORD& exitCode) {
  Running* r = Find(pid);
  if (!r) return Poll(pid, exitCode);
  const std::uint64_t now = Clock::Milliseconds();
  const bool endsInTime = ms == win::INFINITE || r->EndsAt <= now + ms;
  const std::uint64_t until = endsInTime ? std::max(r->EndsAt, now) : now + ms;
  if (FClock)
    FClock->Advance(until - now);
  else if (!Clock::IsFake())
    std::this_thread::sleep_for(std::chrono::milliseconds(until - now));
  return Poll(pid, exitCode);
}

bool FakeProcessLauncher::Terminate(ProcessId pid, win::DWORD exitCode) {
  Running* r = Find(pid);
  if (!r || Clock::Milliseconds() >= r->EndsAt) return false;
  r->EndsAt = Clock::Milliseconds();
  r->ExitCode = exitCode;
  return true;
}

}  // namespace orv
