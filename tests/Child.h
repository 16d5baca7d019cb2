// Runs a piece of the program in a forked child with both channels captured, since code that
// halts ends the process.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "support/Runtime.h"

struct Child {
  std::string out, err;
  int code = -1;  // exit code, or 128 + the signal that ended the child
};

// body() runs in the child; a body that returns halts with 0.
template <typename Body>
Child InChild(Body body) {
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    dup2(err[1], 2);
    body();
    HALT(0);
  }
  close(out[1]);
  close(err[1]);
  Child c;
  char buf[4096];
  for (const int fd : {out[0], err[0]}) {
    for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) {
      (fd == out[0] ? c.out : c.err).append(buf, static_cast<std::size_t>(n));
    }
    close(fd);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  c.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return c;
}
