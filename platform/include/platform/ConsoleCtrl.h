// Console control events. On Win32 SetConsoleCtrlHandler, PHANDLER_ROUTINE and the event values
// are the system's own, and the handler runs on the thread that Windows starts for each event.
//
// On POSIX hosts they come from signals: SIGINT, SIGQUIT, SIGHUP and SIGTERM are blocked in the
// installing thread, and so in every thread started after it, and awaited by one dedicated
// thread with sigwait. That thread maps each signal to a control event (SIGINT to CTRL_C_EVENT,
// SIGQUIT to CTRL_BREAK_EVENT, SIGHUP to CTRL_CLOSE_EVENT, SIGTERM to CTRL_SHUTDOWN_EVENT) and
// starts a thread for it, which calls the installed handler. A signal that the process
// inherited as ignored (nohup) stays ignored.
#pragma once

#include <cstdint>

#ifdef _WIN32
#include "platform/Platform.h"

using WinCon_CTRL_TYPE = DWORD;

// The two event values that the system does not name; the handler answers for the whole range.
inline constexpr WinCon_CTRL_TYPE CTRL_TYPE_3 = 3;
inline constexpr WinCon_CTRL_TYPE CTRL_TYPE_4 = 4;
#else
using WinCon_CTRL_TYPE = std::uint32_t;

// The event values; only four of them arrive, but the handler answers for the whole range.
inline constexpr WinCon_CTRL_TYPE CTRL_C_EVENT = 0;
inline constexpr WinCon_CTRL_TYPE CTRL_BREAK_EVENT = 1;
inline constexpr WinCon_CTRL_TYPE CTRL_CLOSE_EVENT = 2;
inline constexpr WinCon_CTRL_TYPE CTRL_TYPE_3 = 3;
inline constexpr WinCon_CTRL_TYPE CTRL_TYPE_4 = 4;
inline constexpr WinCon_CTRL_TYPE CTRL_LOGOFF_EVENT = 5;
inline constexpr WinCon_CTRL_TYPE CTRL_SHUTDOWN_EVENT = 6;

// A console control handler: returns non-zero when it has handled the event.
using PHANDLER_ROUTINE = std::int32_t (*)(WinCon_CTRL_TYPE ct);

// Installs routine, not null, as the console control handler; add must be TRUE, as a handler is
// never taken out. Blocks the four signals and starts the thread that awaits them; it must come
// before the process starts any other thread, and only once. Returns non-zero on success; 0 when
// the thread could not be started (the signal mask is then left as it was).
std::int32_t SetConsoleCtrlHandler(PHANDLER_ROUTINE routine, std::int32_t add);
#endif
