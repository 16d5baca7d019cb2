#include "support/Runtime.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>
#include <mutex>

namespace {

// One output channel: collects a line and hands it to write(2) at its line end, so that lines of
// the two channels reach their destinations in the order they were written.
class Channel {
 public:
  explicit Channel(int fd) : fd_(fd) {}

  void Write(std::span<const char> s) {
    std::lock_guard lock(mutex_);
    for (char c : s) {
      if (c == '\0') break;
      if (c == '\n') {
        Put('\r');
        Put('\n');
        FlushLocked();
      } else {
        Put(c);
      }
    }
  }

  void Flush() {
    std::lock_guard lock(mutex_);
    FlushLocked();
  }

 private:
  void Put(char c) {
    if (len_ == buf_.size()) FlushLocked();
    buf_[len_++] = c;
  }

  void FlushLocked() {
    std::size_t done = 0;
    while (done < len_) {
      const ssize_t n = ::write(fd_, buf_.data() + done, len_ - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        break;  // nowhere to report a failed write; the text is dropped
      }
      done += static_cast<std::size_t>(n);
    }
    len_ = 0;
  }

  int fd_;
  std::mutex mutex_;
  std::array<char, 4096> buf_{};
  std::size_t len_ = 0;
};

Channel& Out() {
  static Channel channel(STDOUT_FILENO);
  return channel;
}

Channel& Err() {
  static Channel channel(STDERR_FILENO);
  return channel;
}

int paramCount = 0;
char** paramVector = nullptr;

constexpr std::size_t kMaxFinalisers = 16;
std::array<void (*)(), kMaxFinalisers> finalisers{};
std::size_t finaliserCount = 0;
std::atomic<bool> exitInProgress{false};

}  // namespace

void IO_WrStr(std::span<const char> s) {
  Out().Write(s);
}

void IO_WrLn() {
  Out().Write(std::span<const char>("\n", 1));
}

void IO_WrLngCard(std::uint32_t x, std::uint32_t w) {
  std::array<char, 10> digits{};
  std::size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + x % 10);
    x /= 10;
  } while (x != 0);
  std::array<char, 1> blank{' '};
  for (std::uint32_t i = static_cast<std::uint32_t>(n); i < w; ++i) Out().Write(blank);
  std::array<char, 10> text{};
  for (std::size_t i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
  Out().Write(std::span<const char>(text.data(), n));
}

void IO_Flush() {
  Out().Flush();
  Err().Flush();
}

void Lib_SetParams(int argc, char** argv) {
  paramCount = argc;
  paramVector = argv;
}

std::uint32_t Lib_ParamCount() {
  return paramCount > 0 ? static_cast<std::uint32_t>(paramCount - 1) : 0;
}

void Lib_ParamStr(std::span<char> s, std::uint32_t n) {
  const char* src = "";
  if (paramVector != nullptr && n < static_cast<std::uint32_t>(paramCount) &&
      paramVector[n] != nullptr) {
    src = paramVector[n];
  }
  Str_Copy(s, std::span<const char>(src, std::strlen(src)));
}

void Lib_Fill(void* p, std::size_t n, std::uint8_t v) {
  if (n != 0) std::memset(p, v, n);
}

void Lib_FatalError(std::span<const char> s) {
  Err().Write(s);
  Err().Write(std::span<const char>("\n", 1));
  HALT(9);
}

std::uint32_t Str_StrToCard(std::span<const char> s, std::uint32_t base, bool& ok) {
  base = base < 2 ? 2 : (base > 16 ? 16 : base);
  const std::uint32_t len = Strings_Length(s);
  std::uint32_t i = 0;
  if (i < len && s[i] == '+') ++i;
  ok = false;
  if (i == len) return 0;
  std::uint64_t value = 0;
  for (; i < len; ++i) {
    const char c = s[i];
    std::uint32_t d;
    if (c >= '0' && c <= '9') {
      d = static_cast<std::uint32_t>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      d = static_cast<std::uint32_t>(c - 'A' + 10);
    } else {
      return 0;
    }
    if (d >= base) return 0;
    value = value * base + d;
    if (value > 0xFFFFFFFFu) return 0;
  }
  ok = true;
  return static_cast<std::uint32_t>(value);
}

std::int32_t Str_Compare(std::span<const char> a, std::span<const char> b) {
  const std::uint32_t la = Strings_Length(a);
  const std::uint32_t lb = Strings_Length(b);
  for (std::uint32_t i = 0; i < la && i < lb; ++i) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (la == lb) return 0;
  return la < lb ? -1 : 1;
}

void Str_Copy(std::span<char> dst, std::span<const char> src) {
  const std::uint32_t n = Strings_Length(src);
  const std::size_t m = n < dst.size() ? n : dst.size();
  if (m != 0) std::memmove(dst.data(), src.data(), m);
  if (m < dst.size()) dst[m] = '\0';
}

std::uint32_t Strings_Length(std::span<const char> s) {
  const void* end = std::memchr(s.data(), '\0', s.size());
  const std::size_t n = end != nullptr
                            ? static_cast<std::size_t>(static_cast<const char*>(end) - s.data())
                            : s.size();
  return static_cast<std::uint32_t>(n);
}

void Strings_Delete(std::span<char> s, std::uint32_t start, std::uint32_t count) {
  const std::uint32_t len = Strings_Length(s);
  if (start >= len) return;
  if (count > len - start) count = len - start;
  // Move the tail (and the terminator, when there is one) up over the removed characters.
  const std::size_t tail = len - start - count;
  std::memmove(s.data() + start, s.data() + start + count, tail);
  s[start + tail] = '\0';
}

void Lib_AddFinaliser(void (*p)()) {
  if (finaliserCount < kMaxFinalisers) finalisers[finaliserCount++] = p;
}

void HALT(int code) {
  if (!exitInProgress.exchange(true)) {
    for (std::size_t i = finaliserCount; i > 0; --i) finalisers[i - 1]();
  }
  IO_Flush();
  ::_exit(code);
}
