// A piece of a test run as a program of its own under a file-size limit
// (as after "ulimit -f"), the limit's signal as the system leaves it: a
// file grown past the limit ends such a program. The piece runs in a
// child process; what it answers comes back, or how the child ended when
// it did not end by itself.
#pragma once

#include <signal.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <functional>
#include <string>

inline std::string UnderFileSizeLimit(rlim_t bytes, const std::function<std::string()>& piece) {
  int fds[2];
  if (pipe(fds) != 0) return "(no pipe)";
  const pid_t pid = fork();
  if (pid < 0) return "(no child)";
  if (pid == 0) {
    close(fds[0]);
    signal(SIGXFSZ, SIG_DFL);
    sigset_t xfsz;
    sigemptyset(&xfsz);
    sigaddset(&xfsz, SIGXFSZ);
    sigprocmask(SIG_UNBLOCK, &xfsz, nullptr);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string told;
    try {
      told = piece();
    } catch (const std::exception& e) {
      told = e.what();
    }
    // The pipe is no file: the limit does not reach it.
    for (std::size_t at = 0; at < told.size();) {
      const ssize_t n = write(fds[1], told.data() + at, told.size() - at);
      if (n <= 0) _exit(1);
      at += static_cast<std::size_t>(n);
    }
    _exit(0);
  }
  close(fds[1]);
  std::string told;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fds[0], buffer, sizeof buffer)) > 0) told.append(buffer, static_cast<std::size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) return std::string("(ended by ") + strsignal(WTERMSIG(status)) + ")";
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "(failed)";
  return told;
}
