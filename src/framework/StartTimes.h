// Start-up step marks for the start-up benchmark (tools/bench). Only a build configured with
// VELKOR_START_TIMES has them, and then only a process started with the environment variable
// VELKOR_START_TIMES naming a file writes them there: one line per step, the performance
// counter's reading and the step's name, so that the benchmark can place each step on its own
// clock. In every other build a mark compiles to nothing.
#pragma once

namespace fw {

#ifdef VELKOR_START_TIMES
// `step` is a short literal without line breaks; safe from any thread.
void MarkStartStep(const char* step);
#else
inline void MarkStartStep(const char*) {}
#endif

}  // namespace fw
