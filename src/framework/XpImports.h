// The players' 32-bit program must load on Windows XP SP3. A program that imports a function
// its system's DLLs lack does not start at all ("the procedure entry point ... could not be
// located"), so the few such functions that the runtime libraries or the secure string calls
// would import are given XP-safe definitions in XpImports.cpp. This header holds the part of
// that work that needs no window.
#pragma once

namespace fw {

// Milliseconds in `count` ticks of a counter that runs at `frequency` ticks a second (the
// performance counter's reading and frequency), without overflow for any counter value and
// any frequency up to a few GHz. 0 when `frequency` is 0.
unsigned long long CounterToMilliseconds(unsigned long long count, unsigned long long frequency);

}  // namespace fw
