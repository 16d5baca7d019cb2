// Runtime services: text channels, command-line parameters and the process halt with its
// finaliser list.
//
// Character arrays are spans; a text ends at its first '\0' or at the end of its span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// ---- Text channels -------------------------------------------------------------------------
// Standard output and standard error. Every line feed written goes out as CR LF; every other
// byte, a CR included, passes unchanged. Every thread collects its own lines and each goes out
// whole with one write at its line end, so lines of different threads never mix. The halting
// thread's pending partial line is written before the process ends. Once an exit is in progress,
// only the lines of the thread ending the run and of an interrupting thread are written; the
// other threads' lines, a partial one included, are dropped.

// Readies the channels: a write that fails (a full device, a pipe whose reader has gone, a closed
// descriptor) is an error, never the end of the process by SIGPIPE. main calls it first.
// Standard output's first failed write is named on standard error ("Zemblaro: Write error: "
// and the reason), except for a broken pipe; the run then ends at its next line to standard
// output, and its exit code is 255 where it would have been 0.
void IO_Begin();
// Writes the text of s to standard output.
void IO_WrStr(std::span<const char> s);
// Ends the current line on standard output.
void IO_WrLn();
// Writes x in decimal to standard output, padded on the left with blanks to width w (a width
// above 100 counts as 100); never cut.
void IO_WrLngCard(std::uint32_t x, std::uint32_t w);
// True once a write to standard output has failed: its next line ends the run.
bool IO_Failed();

// ---- Parameters ----------------------------------------------------------------------------
// Records the process's parameters; main calls it first.
void Lib_SetParams(int argc, char** argv);
// Number of parameters, the invocation name not counted.
std::uint32_t Lib_ParamCount();
// Copies parameter n (0: the invocation name) into s, cut to s's length, terminated when there
// is room; s holds the empty text when n exceeds the count.
void Lib_ParamStr(std::span<char> s, std::uint32_t n);

// ---- General services ----------------------------------------------------------------------
// Writes s and a line end to standard error, then HALT(9).
[[noreturn]] void Lib_FatalError(std::span<const char> s);

// ---- Halt ----------------------------------------------------------------------------------
// Registers a finaliser; finalisers run once, newest first, when the first HALT ends the run.
// False when the table of 16 finalisers is full: p is then not registered.
[[nodiscard]] bool Lib_AddFinaliser(void (*p)());
// Ends the run. With no exit in progress: marks one, owned by the calling thread, runs the
// finalisers newest first, writes pending output and ends the process with code. With an exit
// already in progress on this thread (a finaliser halting): writes pending output and ends the
// process at once with code; likewise on an interrupting thread. On any other thread it waits:
// the thread that owns the exit ends the process, unless a console event arrived while the run
// was ending, which then ends it with 9. A run whose output was lost (a failed write, a line an
// interrupt could not write in time) never ends with 0: it ends with 255 instead.
[[noreturn]] void HALT(int code);
// True when an exit is in progress that another thread owns: what this thread does no longer
// counts.
bool Lib_ExitOwnedElsewhere();
// Called by the console-control handler before it writes its message and halts. Marks the
// calling thread as interrupting (its lines are written and its HALT ends the process at once
// even while another thread ends the run) and, when no exit is in progress yet, starts one owned
// by this thread without running the finalisers: the other threads' lines are dropped from here
// on, so the handler's message and the chain's lines come last, and its HALT runs the chain.
// When an exit is already in progress, the event is a late one: its HALT ends the process.
// From here on this thread waits at most 0.4 s for a channel's lock; a line whose channel it
// cannot lock by then is dropped. Should a write block (a reader that stopped reading), a
// backstop ends the process 0.9 s after the first event (with 9 when a late event came, else
// 255).
void Lib_Interrupt();
