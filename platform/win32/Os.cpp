#include "Os.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/Platform.h"

namespace {

unsigned backstopMs = 0;
int (*backstopCode)() = nullptr;

DWORD WINAPI Backstop(void*) {
  Sleep(backstopMs);
  ExitProcess(static_cast<UINT>(backstopCode()));
}

// The C library's number for the errors a channel meets, so that their text reads as on every
// other host; 0 for the others.
int ErrnoOf(int error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_INVALID_HANDLE:
      return EBADF;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
    case ERROR_PIPE_NOT_CONNECTED:
      return EPIPE;
    case ERROR_ACCESS_DENIED:
      return EACCES;
    default:
      return 0;
  }
}

}  // namespace

namespace Os {

// A failed write is an error result on Windows already; the channels are the standard handles,
// written as bytes (the program writes its own CR LF, no text mode doubles the CR).
void BeginChannels() {}

int Write(Channel c, const char* p, std::size_t n) {
  const HANDLE h = GetStdHandle(c == kOut ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
  for (std::size_t done = 0; done < n;) {
    DWORD k = 0;
    const auto chunk = static_cast<DWORD>(n - done < 0x40000000 ? n - done : 0x40000000);
    if (!WriteFile(h, p + done, chunk, &k, nullptr)) return static_cast<int>(GetLastError());
    if (k == 0) return ERROR_HANDLE_DISK_FULL;  // a device that takes nothing takes no more
    done += k;
  }
  return 0;
}

bool IsBrokenPipe(int error) {
  return ErrnoOf(error) == EPIPE;
}

void ErrorText(int error, std::span<char> text) {
  if (text.empty()) return;
  text[0] = '\0';
  if (const int e = ErrnoOf(error); e != 0) {
    strerror_s(text.data(), text.size(), e);
    return;
  }
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(error), 0, text.data(),
                           static_cast<DWORD>(text.size()), nullptr);
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == '.')) --n;
  text[n < text.size() ? n : text.size() - 1] = '\0';
}

void Exit(int code) {
  ExitProcess(static_cast<UINT>(code));
}

void Park() {
  for (;;) Sleep(INFINITE);
}

void ArmBackstop(unsigned ms, int (*code)()) {
  static std::atomic<bool> armed{false};
  if (armed.exchange(true)) return;
  backstopMs = ms;
  backstopCode = code;
  if (const HANDLE t = CreateThread(nullptr, 0, Backstop, nullptr, 0, nullptr)) CloseHandle(t);
}

}  // namespace Os
