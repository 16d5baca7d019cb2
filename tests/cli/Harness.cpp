#include "tests/cli/Harness.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <ctime>

#include "support/Runtime.h"

namespace cli {

namespace {

long Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000L + t.tv_nsec / 1000000L;
}

// In the child: a fresh process's signal state, the channels, the directory and processors.
[[noreturn]] void Exec(const Options& o, int out, int err) {
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  for (int s = 1; s < 32; ++s) signal(s, SIG_DFL);
  dup2(open("/dev/null", O_RDONLY | O_CLOEXEC), 0);
  dup2(o.out == Out::kFull ? open("/dev/full", O_WRONLY | O_CLOEXEC) : out, 1);
  dup2(err, 2);
  if (o.out == Out::kClosed) close(1);
  for (std::size_t from = 0; from < o.cwd.size();) {
    const std::size_t to = std::min(o.cwd.find('/', from), o.cwd.size());
    const std::string part = to == 0 ? "/" : o.cwd.substr(from, to - from);
    mkdir(part.c_str(), 0700);  // made here when missing: no path the kernel sees is too long
    if (chdir(part.c_str()) != 0) _exit(126);
    from = to + 1;
  }
  if (o.cwdGone) rmdir(o.cwd.c_str());
  cpu_set_t one;  // the first processor alone
  CPU_ZERO(&one);
  CPU_SET(0, &one);
  if (o.oneCpu && sched_setaffinity(0, sizeof one, &one) != 0) _exit(126);
  if (o.body) {
    o.body();
    HALT(0);
  }
  std::vector<std::string> store = {o.binary.empty() ? Binary() : o.binary};
  store.insert(store.end(), o.args.begin(), o.args.end());
  std::vector<char*> argv;
  for (auto& a : store) argv.push_back(a.data());
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

}  // namespace

std::string Binary(const std::string& name) {
  const std::string bin = ZEMBLARO_BIN;
  return bin.substr(0, bin.rfind('/') + 1) + name;
}

Result Run(const Options& o) {
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return {};
  std::size_t fill = 0;
  if (o.out == Out::kFilled) {  // a small pipe, full before the child writes
    fcntl(out[1], F_SETPIPE_SZ, 4096);
    fcntl(out[1], F_SETFL, O_NONBLOCK);
    while (write(out[1], "x", 1) == 1) ++fill;
    fcntl(out[1], F_SETFL, 0);
  }
  bool open[2] = {o.out == Out::kPipe || o.out == Out::kFilled, !o.errGone};
  for (int i : {0, 1}) {
    if (!open[i]) close((i == 0 ? out : err)[0]);  // the reader is gone before the child starts
  }
  const pid_t pid = fork();
  if (pid == 0) Exec(o, out[1], err[1]);
  close(out[1]);
  close(err[1]);

  Result r;
  const long start = Now();
  long fired = -1;  // when the next signal's trigger fired
  std::size_t next = 0;
  int status = 0;
  char buf[65536];
  while (open[0] || open[1] || waitpid(pid, &status, WNOHANG) == 0) {
    const long now = Now();
    if (next < o.signals.size()) {
      const Signal& s = o.signals[next];
      if (fired < 0 && (s.after.empty() || r.out.find(s.after) != std::string::npos)) fired = now;
      if (fired >= 0 && now >= fired + s.delayMs) {
        kill(pid, s.number);
        ++next;
        fired = -1;
      }
    }
    if (now - start > o.timeoutMs) {
      kill(pid, SIGKILL);
      r.timedOut = true;
      break;
    }
    const bool drain = o.out != Out::kFilled || now - start >= o.drainMs;
    pollfd fds[2] = {{open[0] && drain ? out[0] : -1, POLLIN, 0},
                     {open[1] ? err[0] : -1, POLLIN, 0}};
    poll(fds, 2, 5);
    for (int i : {0, 1}) {
      if (fds[i].revents == 0) continue;
      const ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n > 0) (i == 0 ? r.out : r.err).append(buf, static_cast<std::size_t>(n));
      if (n <= 0 || (i == 0 && o.limit != 0 && r.out.size() >= o.limit)) {
        open[i] = false;
        close(fds[i].fd);
      }
    }
  }
  for (int i : {0, 1}) {
    if (open[i]) close((i == 0 ? out : err)[0]);
  }
  waitpid(pid, &status, 0);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out.erase(0, fill);
  return r;
}

std::string Mask(const std::string& text) {
  std::string r;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t j = i;
    for (const std::string open : {"Ticks: ", ": end "}) {
      if (text.compare(i, open.size(), open) == 0) j = i + open.size();
    }
    std::size_t k = j;
    while (k < text.size() && text[k] >= '0' && text[k] <= '9') ++k;
    if (j > i && k > j) {
      r += text.substr(i, j - i) + "#";
      i = k;
    } else {
      r += text[i++];
    }
  }
  return r;
}

}  // namespace cli
