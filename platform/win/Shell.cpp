#include "platform/win/Shell.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/rtl/CodePage.h"

namespace win {
namespace {

constexpr std::uintptr_t kStarted = 42;

ShellOpenRecorder& Recorder() {
  static ShellOpenRecorder r;
  return r;
}

HINSTANCE Answer(std::uintptr_t code) { return reinterpret_cast<HINSTANCE>(code); }

bool IsOpen(LPCSTR verb) {
  if (!verb || !*verb) return true;
  static const char kOpen[] = "open";
  for (int i = 0; i < 5; ++i) {
    char c = verb[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != kOpen[i]) return false;
  }
  return true;
}

// Starts the opener twice removed, so it never becomes a zombie of ours:
// the middle child exits at once and the opener is adopted by init. A pipe
// closed on exec tells whether the opener's program could be run.
bool Spawn(const std::vector<std::string>& argv, const std::string& directory) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  pid_t middle = fork();
  if (middle < 0) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  if (middle == 0) {
    close(fds[0]);
    pid_t opener = fork();
    if (opener == 0) {
      setsid();
      int devNull = open("/dev/null", O_RDONLY);
      if (devNull >= 0) {
        dup2(devNull, 0);
        if (devNull != 0) close(devNull);
      }
      int error = 0;
      if (!directory.empty() && chdir(directory.c_str()) != 0) error = errno;
      if (!error) {
        execvp(args[0], args.data());
        error = errno;
      }
      ssize_t ignored = write(fds[1], &error, sizeof error);
      (void)ignored;
      _exit(127);
    }
    if (opener < 0) {
      int error = errno;
      ssize_t ignored = write(fds[1], &error, sizeof error);
      (void)ignored;
    }
    _exit(0);
  }
  close(fds[1]);
  int status = 0;
  while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t n;
  while ((n = read(fds[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  close(fds[0]);
  // Nothing written: the pipe closed with a successful exec.
  return n == 0;
}

}  // namespace

void SetShellOpenRecorder(ShellOpenRecorder recorder) { Recorder() = std::move(recorder); }

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR directory, int) {
  if (!IsOpen(verb) || !file || !*file) return Answer(SE_ERR_NOASSOC);
  std::string target = AnsiToUtf8(file);
  // A target starting with '-' would be read as an option of the opener;
  // as a path in the current directory it is what the user named.
  if (target[0] == '-') target = "./" + target;
  std::vector<std::string> argv{"xdg-open", target};
  std::string dir = directory ? AnsiToUtf8(directory) : std::string();
  bool started = Recorder() ? Recorder()(argv, dir) : Spawn(argv, dir);
  return Answer(started ? kStarted : SE_ERR_FNF);
}

}  // namespace win
