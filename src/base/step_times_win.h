// Where the time of the start-up goes, for the benchmarks: with the
// environment variable GRIV_STEP_TIMES naming a file, each step appends
// "<step>\t<milliseconds>" to it; without it nothing is measured or written.
#pragma once

namespace griv {

// The time since the previous mark (the first mark: since the process was made).
void MarkStep(const char* step);

}  // namespace griv
