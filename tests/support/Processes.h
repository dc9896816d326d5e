// Processes that a program run under test left behind (for example the installed copy that
// an installer run starts).
#pragma once
#include <string>

namespace testing_support {

// Ends every process whose executable lies in folder (or below it) and waits for each;
// returns how many there were.
int EndProcessesUnder(const std::wstring& folder);

} // namespace testing_support
