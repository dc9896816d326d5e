// Message pumping for tests that wait on window or COM events of their own thread.
#pragma once
#include <windows.h>
#include <functional>

namespace testing_support {

// Dispatches this thread's messages until done() is true or the time is up; done()'s last
// answer.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Dispatches this thread's messages for the given time.
void PumpFor(DWORD ms);

} // namespace testing_support
