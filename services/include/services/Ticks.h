// Elapsed-time report: notes the tick count at start-up and writes "Ticks: " and the
// milliseconds since then as the last line of every run, from the termination chain.
#pragma once

namespace Ticks {

// Records the start tick count and joins the termination chain. Called once by
// Zemblaro::StartUp, right after Lib3::Begin.
void Begin();

}  // namespace Ticks
