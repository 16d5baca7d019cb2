// What the runtime needs of the operating system, internal to the platform layer: one
// implementation for POSIX and one for Win32, chosen by the build.
#pragma once

#include <cstddef>
#include <span>

namespace Os {

enum Channel { kOut = 0, kErr = 1 };

// Readies the channels: a write that fails (a full device, a pipe whose reader has gone, a
// closed channel) is an error result, never the end of the process.
void BeginChannels();
// Writes the n bytes at p to the channel; 0 once all are written, otherwise the error that
// stopped the write.
int Write(Channel c, const char* p, std::size_t n);
// Is error that of a pipe whose reader has gone?
bool IsBrokenPipe(int error);
// The system's text for error, terminated, cut to text.
void ErrorText(int error, std::span<char> text);

// Ends the process at once with code; the channels have been written.
[[noreturn]] void Exit(int code);
// Blocks the calling thread for good: another thread ends the process.
[[noreturn]] void Park();
// Ends the process with code() ms milliseconds after the first call, should it still run then;
// later calls change nothing.
void ArmBackstop(unsigned ms, int (*code)());

}  // namespace Os
