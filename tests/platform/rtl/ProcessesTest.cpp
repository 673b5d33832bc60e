#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/rtl/Clock.h"
#include "platform/rtl/OsEdge.h"
#include "platform/rtl/ProcessLauncher.h"
#include "platform/rtl/Processes.h"
#include "support/Eventually.h"
#include "support/TempDir.h"

using namespace win;

namespace {

// A stand-in for the generator: a shell script that runs until the test
// lets it go (a file "go" appears), writes its result file and exits with a
// chosen code. Holding it keeps "still running" true however slowly the
// machine starts it.
const char* const kGenerator =
    "#!/bin/sh\n"
    "while [ ! -e go ]; do sleep 0.01; done\n"
    "echo \"map_of_$1\" > generatedname.txt\n"
    "exit 3\n";

std::string Script(TempDir& tmp, const std::string& name, const std::string& body, mode_t mode = 0755) {
  const std::string path = tmp.Write(name, body);
  chmod(path.c_str(), mode);
  return path;
}

BOOL Start(const char* app, const std::string& cmd, PROCESS_INFORMATION& pi, DWORD flags = 0x30,
           const char* cwd = nullptr, void* env = nullptr) {
  STARTUPINFOA si;
  GetStartupInfoA(&si);
  std::string line = cmd;
  return CreateProcessA(app, line.data(), nullptr, nullptr, FALSE, flags, env, cwd, &si, &pi);
}

constexpr DWORD kNotOpened = 0xDEAD;

// One poll as the front end's timer makes it: the child's exit code,
// STILL_ACTIVE while it runs, kNotOpened once it has been collected.
DWORD Poll(DWORD pid) {
  HANDLE h = OpenProcess(PROCESS_ALL_ACCESS, TRUE, pid);
  if (!h) return kNotOpened;
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(h, &code));
  CloseHandle(h);
  return code;
}

// Polls until the child has ended: what the poll saw then.
DWORD PollUntilEnded(DWORD pid) {
  DWORD code = STILL_ACTIVE;
  Eventually([&] { return (code = Poll(pid)) != STILL_ACTIVE; });
  return code;
}

bool Collected(DWORD pid) { return waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG) == -1 && errno == ECHILD; }

void CloseBoth(PROCESS_INFORMATION& pi) {
  EXPECT_TRUE(CloseHandle(pi.hProcess));
  EXPECT_TRUE(CloseHandle(pi.hThread));
}

}  // namespace

TEST(CommandLines, SplitByThePlatformRules) {
  using V = std::vector<AnsiString>;
  EXPECT_EQ(orv::SplitCommandLine("tarvik.exe terrain_temp_.txt"), (V{"tarvik.exe", "terrain_temp_.txt"}));
  EXPECT_EQ(orv::SplitCommandLine("  a\t\"b c\"  d "), (V{"a", "b c", "d"}));
  EXPECT_EQ(orv::SplitCommandLine(R"(x a\\\"b c\\"d e" f\g "")"), (V{"x", R"(a\"b)", R"(c\d e)", R"(f\g)", ""}));
  EXPECT_EQ(orv::SplitCommandLine(R"(x "say ""hi""" \\\\)"), (V{"x", R"(say "hi")", R"(\\\\)"}));
  // The program name takes quotes but no escapes: its backslashes are
  // directory separators on the platform.
  EXPECT_EQ(orv::SplitCommandLine(R"("C:\Program Files\t.exe" 1)"), (V{R"(C:\Program Files\t.exe)", "1"}));
  EXPECT_TRUE(orv::SplitCommandLine("   ").empty());
}

TEST(RealProcesses, GeneratorRunsPollsAndLeavesNoZombie) {
  TempDir tmp;
  Script(tmp, "tarvik.exe", kGenerator);
  CurrentDirGuard cd(tmp.Path());
  PROCESS_INFORMATION pi;
  ASSERT_TRUE(Start("tarvik.exe", "tarvik.exe terrain_temp_.txt", pi));
  ASSERT_NE(pi.dwProcessId, 0u);

  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  // Blocked until it is let go, it stays running however often it is
  // polled meanwhile.
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(Poll(pi.dwProcessId), STILL_ACTIVE) << "the child ended before it was let go";
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  tmp.Write("go", "");
  EXPECT_NE(PollUntilEnded(pi.dwProcessId), STILL_ACTIVE);
  EXPECT_EQ(tmp.Read("generatedname.txt"), "map_of_terrain_temp_.txt\n");

  // Collected: the status stays on the handle, the pid cannot be opened,
  // and no zombie is left.
  ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
  EXPECT_EQ(code, 3u);
  EXPECT_EQ(OpenProcess(PROCESS_ALL_ACCESS, TRUE, pi.dwProcessId), nullptr);
  EXPECT_TRUE(Collected(pi.dwProcessId));
  CloseBoth(pi);
  EXPECT_FALSE(CloseHandle(pi.hProcess));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(RealProcesses, ChildWhoseHandlesWereClosedIsStillCollected) {
  TempDir tmp;
  Script(tmp, "tarvik.exe", "#!/bin/sh\nexit 0\n");
  CurrentDirGuard cd(tmp.Path());
  PROCESS_INFORMATION pi;
  ASSERT_TRUE(Start("tarvik.exe", "tarvik.exe", pi));
  CloseBoth(pi);
  EXPECT_TRUE(Eventually([] { return orv::LiveChildCount() == 0; }));
  EXPECT_TRUE(Collected(pi.dwProcessId));
}

TEST(RealProcesses, StartFailuresAnswerFalseAtOnce) {
  TempDir tmp;
  Script(tmp, "plain.exe", "#!/bin/sh\nexit 0\n", 0644);
  Script(tmp, "garbage.exe", "\x01\x02 not a program\n", 0755);
  CurrentDirGuard cd(tmp.Path());
  PROCESS_INFORMATION pi;
  struct Case {
    const char* App;
    DWORD Error;
  } cases[] = {
      {"tarvik.exe", ERROR_FILE_NOT_FOUND},
      {"sh", ERROR_FILE_NOT_FOUND},  // never looked up on the search path
      {"no/such/dir/tarvik.exe", ERROR_PATH_NOT_FOUND},
      {"/no/such/dir/tarvik.exe", ERROR_PATH_NOT_FOUND},
      {"plain.exe/tarvik.exe", ERROR_PATH_NOT_FOUND},  // a file where a folder should be
      {"plain.exe", ERROR_ACCESS_DENIED},
      {"garbage.exe", orv::os::ERROR_BAD_EXE_FORMAT},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_FALSE(Start(c.App, std::string(c.App) + " x", pi)) << c.App;
    EXPECT_EQ(GetLastError(), c.Error) << c.App;
  }
  EXPECT_EQ(orv::LiveChildCount(), 0u);

  Script(tmp, "tarvik.exe", "#!/bin/sh\nexit 0\n");
  EXPECT_FALSE(Start("tarvik.exe", "tarvik.exe", pi, 0x30, "no/such/dir"));
  EXPECT_EQ(GetLastError(), orv::os::ERROR_DIRECTORY);
}

TEST(RealProcesses, SignalDeathAndTerminationGiveExitCodes) {
  TempDir tmp;
  Script(tmp, "tarvik.exe", "#!/bin/sh\nexec sleep 30\n");
  CurrentDirGuard cd(tmp.Path());
  PROCESS_INFORMATION pi;
  ASSERT_TRUE(Start("tarvik.exe", "tarvik.exe", pi));
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20), WAIT_TIMEOUT);
  ASSERT_EQ(kill(static_cast<pid_t>(pi.dwProcessId), SIGTERM), 0);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 128u + SIGTERM);
  EXPECT_FALSE(TerminateProcess(pi.hProcess, 1));  // already over
  CloseBoth(pi);

  ASSERT_TRUE(Start("tarvik.exe", "tarvik.exe", pi));
  EXPECT_TRUE(TerminateProcess(pi.hProcess, 42));
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 42u);
  CloseBoth(pi);
  EXPECT_TRUE(Collected(pi.dwProcessId));
}

TEST(RealProcesses, NewConsoleMeansOwnSessionAndNoInput) {
  TempDir tmp;
  Script(tmp, "tarvik.exe",
         "#!/bin/sh\n"
         "cut -d' ' -f6 /proc/$$/stat > session.txt\n"
         "readlink /proc/$$/fd/0 > stdin.txt\n");
  CurrentDirGuard cd(tmp.Path());
  PROCESS_INFORMATION pi;
  ASSERT_TRUE(Start("tarvik.exe", "tarvik.exe", pi, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS));
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  CloseBoth(pi);
  EXPECT_EQ(tmp.Read("session.txt"), std::to_string(pi.dwProcessId) + "\n");  // leads a session of its own
  EXPECT_EQ(tmp.Read("stdin.txt"), "/dev/null\n");

  ASSERT_TRUE(Start("tarvik.exe", "tarvik.exe", pi, NORMAL_PRIORITY_CLASS));
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  CloseBoth(pi);
  EXPECT_EQ(tmp.Read("session.txt"), std::to_string(getsid(0)) + "\n");
}

TEST(RealProcesses, AChildThatInheritsNoHandlesLeavesTheCallersPipesToTheCaller) {
  TempDir tmp;
  Script(tmp, "tarvik.exe", "#!/bin/sh\nexec sleep 30\n");
  CurrentDirGuard cd(tmp.Path());
  // A pipe as a caller holds it, not marked close-on-exec: once the caller
  // closes its writing end, the reader sees the end at once, unless a
  // child still holds that end too.
  auto writerGone = [](int reader) {
    pollfd p{reader, POLLIN, 0};
    return poll(&p, 1, 0) == 1 && (p.revents & POLLHUP);
  };
  for (const BOOL inherit : {FALSE, TRUE}) {
    SCOPED_TRACE(inherit);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    STARTUPINFOA si;
    GetStartupInfoA(&si);
    PROCESS_INFORMATION pi;
    char line[] = "tarvik.exe";
    ASSERT_TRUE(CreateProcessA("tarvik.exe", line, nullptr, nullptr, inherit, 0x30, nullptr, nullptr, &si, &pi));
    close(fds[1]);
    EXPECT_EQ(writerGone(fds[0]), !inherit);
    EXPECT_TRUE(TerminateProcess(pi.hProcess, 1));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(writerGone(fds[0]));
    CloseBoth(pi);
    close(fds[0]);
  }
}

TEST(RealProcesses, ArgumentsDirectoryAndEnvironmentReachTheChild) {
  TempDir tmp;
  tmp.MakeDir("work");
  Script(tmp, "tarvik.exe",
         "#!/bin/sh\n"
         "for a in \"$@\"; do printf '[%s]' \"$a\"; done > args.txt\n"
         "printf '%s|%s' \"$B\" \"$HOME\" > env.txt\n");
  CurrentDirGuard cd(tmp.Path());
  PROCESS_INFORMATION pi;
  char env[] = "A=1\0B=two words\0";  // the literal's own zero ends the block
  ASSERT_TRUE(Start("tarvik.exe", "tarvik.exe \"a b\" c\\\"d caf\xE9", pi, 0x30, "work", env));
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  CloseBoth(pi);
  // The program was found relative to the caller; the files land in the
  // child's directory, the argument arrives as UTF-8.
  EXPECT_EQ(tmp.Read("work/args.txt"), "[a b][c\"d][caf\xC3\xA9]");
  EXPECT_EQ(tmp.Read("work/env.txt"), "two words|");
}

TEST(FakeLauncher, RecordsLaunchesAndPlaysScriptedRunsOnTheFakeClock) {
  Clock::FakeClock clock;
  orv::FakeProcessLauncher fake(&clock);
  fake.ScriptRun(7, 600);
  fake.ScriptFailure(ERROR_FILE_NOT_FOUND);

  PROCESS_INFORMATION pi;
  ASSERT_TRUE(Start("tarvik.exe", "tarvik.exe maps/a.tt", pi, 0x30, "/start"));
  ASSERT_EQ(fake.Launches().size(), 1u);
  const auto& run = fake.Launches()[0];
  EXPECT_EQ(run.Program, "tarvik.exe");
  EXPECT_EQ(run.CommandLine, "tarvik.exe maps/a.tt");
  EXPECT_EQ(run.Argv, (std::vector<AnsiString>{"tarvik.exe", "maps/a.tt"}));
  EXPECT_EQ(run.WorkingDirectory, "/start");
  EXPECT_EQ(run.CreationFlags, 0x30u);

  // The front end's poll: open by id, read the exit code, every 200 ms.
  auto poll = [&] {
    HANDLE h = OpenProcess(PROCESS_ALL_ACCESS, TRUE, pi.dwProcessId);
    if (!h) return kNotOpened;
    DWORD code = 0;
    GetExitCodeProcess(h, &code);
    CloseHandle(h);
    return code;
  };
  EXPECT_EQ(poll(), STILL_ACTIVE);
  clock.Advance(599);
  EXPECT_EQ(poll(), STILL_ACTIVE);
  clock.Advance(1);
  EXPECT_EQ(poll(), kNotOpened);  // collected by the sweep before it could be opened
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 7u);
  CloseBoth(pi);

  EXPECT_FALSE(Start("tarvik.exe", "tarvik.exe b.tt", pi));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(fake.Launches().size(), 2u);
}

TEST(FakeLauncher, WaitingMovesTheFakeClock) {
  Clock::FakeClock clock;
  orv::FakeProcessLauncher fake(&clock);
  fake.ScriptRun(0, 1000);
  fake.ScriptRun(0, 5000);
  PROCESS_INFORMATION first, second;
  ASSERT_TRUE(Start("tarvik.exe", "tarvik.exe 1", first));
  const std::uint64_t t0 = clock.Now();
  EXPECT_EQ(WaitForSingleObject(first.hProcess, 100), WAIT_TIMEOUT);
  EXPECT_EQ(clock.Now(), t0 + 100);
  EXPECT_EQ(WaitForSingleObject(first.hProcess, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(clock.Now(), t0 + 1000);

  ASSERT_TRUE(Start("tarvik.exe", "tarvik.exe 2", second));
  EXPECT_TRUE(TerminateProcess(second.hProcess, 9));
  DWORD code = 0;
  GetExitCodeProcess(second.hProcess, &code);
  EXPECT_EQ(code, 9u);
  EXPECT_EQ(fake.Launches()[1].StartedAt, t0 + 1000);
  CloseBoth(first);
  CloseBoth(second);
  EXPECT_EQ(orv::LiveChildCount(), 0u);
}

TEST(ProcessHandles, AreValidatedAndUnknownIdsDoNotOpen) {
  DWORD code = 0;
  HANDLE bogus = reinterpret_cast<HANDLE>(0x1234);
  EXPECT_FALSE(GetExitCodeProcess(bogus, &code));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(GetExitCodeProcess(nullptr, &code));
  EXPECT_EQ(WaitForSingleObject(bogus, 0), WAIT_FAILED);
  EXPECT_FALSE(TerminateProcess(bogus, 1));
  EXPECT_EQ(OpenProcess(PROCESS_ALL_ACCESS, TRUE, static_cast<DWORD>(getpid())), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  PROCESS_INFORMATION pi;
  EXPECT_FALSE(CreateProcessA(nullptr, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &pi));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}
