#include "tests/cli/Harness.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace cli {

namespace {

long NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000L + ts.tv_nsec / 1000000L;
}

[[noreturn]] void ChildFail(const char* what) {
  const char* msg = strerror(errno);
  (void)!write(2, what, strlen(what));
  (void)!write(2, ": ", 2);
  (void)!write(2, msg, strlen(msg));
  _exit(127);
}

}  // namespace

std::string BinaryPath() {
  return ZEMBLARO_BIN;
}

Result Run(std::vector<std::string> args) {
  Options options;
  options.args = std::move(args);
  return Run(options);
}

Result Run(const Options& options) {
  const std::string binary = options.binary.empty() ? BinaryPath() : options.binary;
  std::vector<std::string> argStore;
  argStore.push_back(binary);
  for (const auto& a : options.args) argStore.push_back(a);
  std::vector<char*> argv;
  for (auto& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStore = options.env;
  std::vector<char*> envp;
  for (auto& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);

  int outPipe[2];
  int errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) return {};

  const pid_t pid = fork();
  if (pid == 0) {
    // The child gets a clean signal state whatever the test process has blocked.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int s = 1; s < 32; ++s) signal(s, SIG_DFL);
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    int devnull = open("/dev/null", O_RDONLY);
    if (devnull >= 0) dup2(devnull, 0);
    if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) ChildFail("chdir");
    if (!options.cpus.empty()) {
      cpu_set_t set;
      CPU_ZERO(&set);
      for (int c : options.cpus) CPU_SET(static_cast<std::size_t>(c), &set);
      if (sched_setaffinity(0, sizeof set, &set) != 0) ChildFail("sched_setaffinity");
    }
    execve(binary.c_str(), argv.data(), options.env.empty() ? environ : envp.data());
    ChildFail("execve");
  }
  close(outPipe[1]);
  close(errPipe[1]);

  Result result;
  const long start = NowMs();
  long triggerAt = -1;  // when the trigger fired
  bool signalled = options.signal == 0;
  if (!signalled && options.signalAfterOutput.empty()) triggerAt = start;
  bool outOpen = true;
  bool errOpen = true;
  char buf[65536];
  while (outOpen || errOpen) {
    const long now = NowMs();
    if (!signalled && triggerAt < 0 &&
        result.out.find(options.signalAfterOutput) != std::string::npos) {
      triggerAt = now;
    }
    if (!signalled && triggerAt >= 0 && now >= triggerAt + options.signalDelayMs) {
      kill(pid, options.signal);
      signalled = true;
    }
    if (now - start > options.timeoutMs) {
      kill(pid, SIGKILL);
      result.timedOut = true;
      break;
    }
    pollfd fds[2] = {{outPipe[0], static_cast<short>(outOpen ? POLLIN : 0), 0},
                     {errPipe[0], static_cast<short>(errOpen ? POLLIN : 0), 0}};
    int wait = 50;
    if (!signalled && triggerAt >= 0) {
      const long left = triggerAt + options.signalDelayMs - now;
      wait = left < 0 ? 0 : (left < 50 ? static_cast<int>(left) : 50);
    }
    if (poll(fds, 2, wait) < 0 && errno != EINTR) break;
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
  close(outPipe[0]);
  close(errPipe[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) {
    result.code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.code = 128 + WTERMSIG(status);
  }
  return result;
}

std::string MaskMillis(const std::string& text) {
  // Copies text, putting "#" for the digits that follow "Ticks: ", and for those between
  // ": end " and "ms". Built by hand: g++ 12's std::regex and std::string::replace both warn
  // falsely under the sanitizers.
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t skip = 0;
    for (const auto& [open, close] : {std::pair<std::string, std::string>{"Ticks: ", ""},
                                      std::pair<std::string, std::string>{": end ", "ms"}}) {
      if (text.compare(i, open.size(), open) != 0) continue;
      std::size_t to = i + open.size();
      while (to < text.size() && text[to] >= '0' && text[to] <= '9') ++to;
      if (to > i + open.size() && text.compare(to, close.size(), close) == 0) {
        out += open;
        out += '#';
        skip = to - i;
      }
    }
    if (skip != 0) {
      i += skip;
    } else {
      out += text[i++];
    }
  }
  return out;
}

}  // namespace cli
