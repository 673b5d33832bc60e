// Permission checks do not bind root, and the suite may run as root (in a
// container, say). AsOrdinaryUser runs a piece of a test in a child process
// that has given up root first, so unreadable folders and read-only folders
// behave as they do for a user; without root it simply runs the piece.
// The piece answers a text that the test then checks.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

inline std::string AsOrdinaryUser(const std::function<std::string()>& piece) {
  if (geteuid() != 0) return piece();
  int fds[2];
  if (pipe(fds) != 0) return "<no pipe>";
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    constexpr uid_t kNobody = 65534;
    if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(1);
    const std::string answer = piece();
    for (std::size_t done = 0; done < answer.size();) {
      const ssize_t put = write(fds[1], answer.data() + done, answer.size() - done);
      if (put <= 0) _exit(1);
      done += std::size_t(put);
    }
    _exit(0);
  }
  close(fds[1]);
  std::string answer;
  char buf[4096];
  for (ssize_t got; (got = read(fds[0], buf, sizeof buf)) > 0;) answer.append(buf, std::size_t(got));
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? answer : "<the child failed>";
}
