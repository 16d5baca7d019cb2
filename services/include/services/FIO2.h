// Current-directory lookup and the module's own fatal exit.
#pragma once

#include <span>

namespace FIO2 {

// Stores the current directory in t, terminated by '\0'; returns only on success. When the
// directory cannot be had, or t cannot hold it with its terminator, ends the run through Fatal
// with "GetDirX: GetCurrentDirectory failed, error " and the error code, or with
// "GetDirX: Provided buffer too small, required size " and the size needed, terminator counted.
void GetDirX(std::span<char> t);

// Writes "FIO2.Fatal: ", s and a line end on standard output and halts. Sets no return code.
[[noreturn]] void Fatal(std::span<const char> s);

}  // namespace FIO2
