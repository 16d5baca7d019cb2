// Runs a piece of the program in a forked child with standard output and standard error
// captured, so that code which halts the process can be checked byte for byte.
#pragma once

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#ifdef ZEMBLARO_COVERAGE
extern "C" void __gcov_dump();
#endif

namespace testing_support {

struct ChildResult {
  std::string out;
  std::string err;
  int code = -1;  // exit code, or 128 + signal number
};

// Runs body() in a child; a body that returns ends the child with exit code 0.
template <typename Body>
ChildResult RunInChild(Body body) {
  int out[2];
  int err[2];
  ChildResult result;
  if (pipe(out) != 0 || pipe(err) != 0) return result;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    dup2(err[1], 2);
    close(out[0]);
    close(err[0]);
    body();
#ifdef ZEMBLARO_COVERAGE
    __gcov_dump();  // _exit skips the exit handlers that would write the coverage counts
#endif
    _exit(0);
  }
  close(out[1]);
  close(err[1]);
  bool outOpen = true;
  bool errOpen = true;
  char buf[4096];
  while (outOpen || errOpen) {
    pollfd fds[2] = {{out[0], static_cast<short>(outOpen ? POLLIN : 0), 0},
                     {err[0], static_cast<short>(errOpen ? POLLIN : 0), 0}};
    if (poll(fds, 2, -1) < 0 && errno != EINTR) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].revents == 0) continue;
      const ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n > 0) {
        (i == 0 ? result.out : result.err).append(buf, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        (i == 0 ? outOpen : errOpen) = false;
      }
    }
  }
  close(out[0]);
  close(err[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

}  // namespace testing_support
