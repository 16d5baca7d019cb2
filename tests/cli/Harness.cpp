#include "tests/cli/Harness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <sstream>

namespace cli {

namespace {

// The most a child's channel is read.
constexpr std::size_t kCap = std::size_t{1} << 20;

long long Now() {
  const auto t = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::milliseconds>(t).count();
}

// In the child: a fresh process's signal state, the channels and the directory.
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
  if (o.body) o.body(), _exit(0);
  // The emulator that runs the program, when the build machine cannot: its words, blank-separated.
  std::istringstream emulator(ZEMBLARO_EMULATOR);
  std::vector<std::string> words{std::istream_iterator<std::string>(emulator), {}};
  words.push_back(ZEMBLARO_BIN), words.insert(words.end(), o.args.begin(), o.args.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

}  // namespace

Result Run(const Options& o) {
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return {};
  std::size_t fill = 0;
  if (o.out == Out::kFilled) {  // a small pipe with room for o.room bytes
    const auto size = static_cast<std::size_t>(std::max(fcntl(out[1], F_SETPIPE_SZ, 4096), 0));
    fill = size - std::min(o.room, size);
    if (write(out[1], std::string(fill, 'x').data(), fill) != static_cast<ssize_t>(fill)) return {};
  }
  bool open[2] = {o.out == Out::kPipe || o.out == Out::kFilled, !o.errGone};
  // A reader that is gone has gone before the child starts.
  for (int i : {0, 1})
    if (!open[i]) close((i == 0 ? out : err)[0]);
  const pid_t pid = fork();
  if (pid == 0) Exec(o, out[1], err[1]);
  close(out[1]), close(err[1]);

  Result r;
  // The start; when the next signal's trigger fired; when the first signal was sent; since when
  // a filled pipe has held what it holds.
  long long start = Now(), fired = -1, first = -1, heldSince = 0;
  int held = static_cast<int>(fill), status = 0;
  std::size_t next = 0;
  bool ended = false;
  char buf[65536];
  while (!ended || open[0] || open[1]) {
    const long long now = Now();
    if (!ended && waitpid(pid, &status, WNOHANG) == pid) {
      ended = true;
      r.msAfterSignal = first < 0 ? -1 : now - first;
    }
    if (!ended && next < o.signals.size()) {
      const Signal& s = o.signals[next];
      // A filled pipe is not read while the child runs: its text counts as seen once the child
      // has written and then stopped, blocked on the full pipe or computing.
      if (int now_held = 0; ioctl(out[0], FIONREAD, &now_held) == 0 && now_held != held) {
        held = now_held, heldSince = now;
      }
      const bool seen = o.out == Out::kFilled
                            ? held > static_cast<int>(fill) && now - heldSince >= 50
                            : r.out.find(s.after) != std::string::npos;
      if (fired < 0 && (s.after.empty() || seen)) fired = now;
      if (fired >= 0 && now >= fired + s.delayMs) {
        kill(pid, s.number), ++next, fired = -1;
        if (first < 0) first = now;
      }
    }
    if (!ended && now - start > o.timeoutMs * kSlowdown) kill(pid, SIGKILL);
    // A filled pipe stays full while the child runs: its reader has stopped reading.
    const bool drain = o.out != Out::kFilled || ended;
    pollfd fds[2] = {{open[0] && drain ? out[0] : -1, POLLIN, 0},
                     {open[1] ? err[0] : -1, POLLIN, 0}};
    poll(fds, 2, 5);
    for (int i : {0, 1}) {
      if (fds[i].revents == 0) continue;
      std::string& text = i == 0 ? r.out : r.err;
      const ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n > 0) text.append(buf, static_cast<std::size_t>(n));
      // A child that writes without end is stopped at the cap: its output is wrong anyway.
      if (text.size() > kCap) kill(pid, SIGKILL);
      if (n <= 0 || text.size() > kCap) open[i] = false, close(fds[i].fd);
    }
  }
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out.erase(0, fill);
  return r;
}

}  // namespace cli
