// The seam between the process functions (Processes.h) and the system: a
// launcher starts programs and reports how they ended. The real launcher
// forks and executes; the fake one records what it was asked to start and
// plays back scripted outcomes on the clock of Clock.h, so that code which
// runs a program and polls it can be tested without one.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/WinTypes.h"

namespace orv {

using ProcessId = std::int64_t;

struct LaunchRequest {
  AnsiString Program;           // as the caller named it
  AnsiString CommandLine;       // the full command line, as given
  std::vector<AnsiString> Argv; // the command line split into arguments
  AnsiString WorkingDirectory;  // empty: the caller's
  win::DWORD CreationFlags = 0;
  // False: the program gets the standard streams and nothing else the
  // caller holds open.
  bool InheritHandles = false;
  // The child's whole environment as "NAME=value" entries; null: the
  // caller's.
  const std::vector<AnsiString>* Environment = nullptr;
};

class IProcessLauncher {
 public:
  virtual ~IProcessLauncher() = default;
  // Starts the program. False with an API error code when it could not be
  // started at all (missing, not executable, not a program).
  virtual bool Launch(const LaunchRequest& request, ProcessId& pid, win::DWORD& error) = 0;
  // Without waiting: true with the exit code once the process has ended.
  // The launcher collects the ended process, so it asks the system once.
  virtual bool Poll(ProcessId pid, win::DWORD& exitCode) = 0;
  // Waits up to ms milliseconds (win::INFINITE: no limit) for the end.
  virtual bool Wait(ProcessId pid, win::DWORD ms, win::DWORD& exitCode) = 0;
  // Ends the process at once; it then reports exitCode.
  virtual bool Terminate(ProcessId pid, win::DWORD exitCode) = 0;
};

// The launcher the process functions use; null restores the real one.
IProcessLauncher& ProcessLauncher();
IProcessLauncher& RealProcessLauncher();
void SetProcessLauncher(IProcessLauncher* launcher);
// Drops the process table's entries of a launcher that goes away.
void ForgetProcessesOf(IProcessLauncher* launcher);

// Records launches and answers them from a script. Unscripted launches
// start and end at once with exit code 0. A process runs until the clock's
// Milliseconds() reach its start plus its run time; Wait advances the fake
// clock it was given (and only that one) to the end, or by the wait.
class FakeProcessLauncher : public IProcessLauncher {
 public:
  struct Launched {
    AnsiString Program;
    AnsiString CommandLine;
    std::vector<AnsiString> Argv;
    AnsiString WorkingDirectory;
    win::DWORD CreationFlags = 0;
    ProcessId Pid = 0;
    std::uint64_t StartedAt = 0;
  };

  // Installs itself as the launcher while alive.
  explicit FakeProcessLauncher(Clock::FakeClock* clock = nullptr);
  ~FakeProcessLauncher() override;

  // The next launch runs for runMs and then exits with exitCode.
  void ScriptRun(win::DWORD exitCode, std::uint64_t runMs);
  // The next launch fails with the given error code.
  void ScriptFailure(win::DWORD error);

  const std::vector<Launched>& Launches() const { return FLaunches; }

  bool Launch(const LaunchRequest& request, ProcessId& pid, win::DWORD& error) override;
  bool Poll(ProcessId pid, win::DWORD& exitCode) override;
  bool Wait(ProcessId pid, win::DWORD ms, win::DWORD& exitCode) override;
  bool Terminate(ProcessId pid, win::DWORD exitCode) override;

 private:
  struct Step {
    bool Fails = false;
    win::DWORD Code = 0;  // exit code, or the error of a failure
    std::uint64_t RunMs = 0;
  };
  struct Running {
    ProcessId Pid;
    std::uint64_t EndsAt;
    win::DWORD ExitCode;
  };
  Running* Find(ProcessId pid);

  Clock::FakeClock* FClock;
  IProcessLauncher* FPrevious;
  std::deque<Step> FScript;
  std::vector<Launched> FLaunches;
  std::vector<Running> FRunning;
  ProcessId FNextPid = 40000;
};

}  // namespace orv
