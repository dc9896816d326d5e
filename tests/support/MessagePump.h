// Message pumping for tests that wait on window or COM events of their own thread.
#pragma once
#include <windows.h>
#include <functional>

namespace testing_support {

// Dispatches this thread's messages, each offered to its windows' PreTranslateMessage first
// as in the program's own loops, until done() is true or the time is up; done()'s last
// answer. A WM_QUIT is kept aside for TakeQuit.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Dispatches this thread's messages for the given time.
void PumpFor(DWORD ms);
// Whether a WM_QUIT was pumped since the last call.
bool TakeQuit();

} // namespace testing_support
