#include "platform/Platform.h"

#include <bit>

namespace {

int StartThread(HANDLE* thread, Platform::ThreadBody body, void* arg) {
  *thread = CreateThread(nullptr, 0, body, arg, 0, nullptr);
  return *thread != nullptr ? 0 : static_cast<int>(GetLastError());
}

}  // namespace

namespace Platform {

int (*threadStart)(Thread* thread, ThreadBody body, void* arg) = StartThread;

void JoinThread(Thread thread) {
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
}

unsigned ProcessorCount() {
  DWORD_PTR mine = 0, system = 0;
  if (GetProcessAffinityMask(GetCurrentProcess(), &mine, &system) && mine != 0) {
    return static_cast<unsigned>(std::popcount(static_cast<std::uint64_t>(mine)));
  }
  const DWORD n = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
  return n < 1 ? 1 : static_cast<unsigned>(n);
}

}  // namespace Platform
