// Processes that a program run under test left behind (for example the installed copy that
// an installer run starts, or the copies and page processes a program starts itself).
#pragma once
#include <windows.h>
#include <string>

namespace testing_support {

// Ends every process whose executable lies in folder (or below it) and waits for each;
// returns how many there were.
int EndProcessesUnder(const std::wstring& folder);
// The same for every process running the executable at path.
int EndProcessesOf(const std::wstring& path);

// Ends every process that process pid started, directly or through others, and waits for
// each; returns how many there were. The caller keeps pid from being reused (it holds a
// handle of that process).
int EndDescendantsOf(DWORD pid);

// The page frame ("VelkorGameFrame") of process pid among host's children, once the page has
// attached to that main window; null until then.
HWND AttachedFrameOf(HWND host, DWORD pid);

} // namespace testing_support
