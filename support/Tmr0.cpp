#include "support/Tmr0.h"

// Tmr0 is header-only; this unit checks the header compiles on its own.
static_assert(Tmr0::Diff(0xFFFFFFF0u, 0x10u) == 0x20u, "a wrapped counter gives the true interval");
