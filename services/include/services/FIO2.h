// Current-directory lookup, the module's own fatal exit, and a file table that start-up clears
// (no operation of the program opens files, so it stays empty).
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace FIO2 {

// The platform's handle record; never defined, only pointed to.
struct THandle;

// One entry of the file table; an entry cleared to zeros is an unused one.
struct TFileDesc {
  std::uint16_t i;  // the entry's flag word
  THandle* h;       // the file's handle
};

// A hook that Fatal calls with its message before it halts.
using THook = void (*)(std::span<const char> s);

// Runs InitModule. Called once by main, before Config::Begin.
void Begin();
// Clears the file table, removes the hook and the re-entry flag.
void InitModule();

// Stores the current directory in t, terminated by '\0'; returns only on success. When the
// directory cannot be had, or t cannot hold it with its terminator, ends the run through Fatal
// with "GetDirX: GetCurrentDirectory failed, error " and the error code, or with
// "GetDirX: Provided buffer too small, required size " and the size needed, terminator counted.
void GetDirX(std::span<char> t);

// Writes "FIO2.Fatal: ", s and a line end on standard output. The first call then marks the
// run as ending, calls the hook (if any) with s and halts; a call made while that is under way
// (from the hook, say) returns after writing. Sets no return code.
void Fatal(std::span<const char> s);

// Installs p as the hook (nullptr: none). Nothing in the program does; tests do.
void SetHook(THook p);

namespace detail {
inline constexpr std::size_t kFiles = 256;
extern std::array<TFileDesc, kFiles> arr;  // the file table
extern THook hnd;                          // the hook Fatal calls before it halts
extern bool lck;                           // Fatal has begun to end the run
}  // namespace detail

}  // namespace FIO2
