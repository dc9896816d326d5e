// Crash dumps: when an exception escapes every handler, or the C++ runtime gives up on an
// exception (std::terminate), a memory dump of the process is written beside the
// executable, once per process.
#pragma once
#include <windows.h>

#include <atomic>

// Forms the dump's path while the process is still sound and installs CrashFilter as the
// unhandled-exception filter and OnTerminate as the terminate handler. First thing at start-up.
void InstallCrashHandlers();

// The unhandled-exception filter of the process: EXCEPTION_CONTINUE_SEARCH after writing the
// dump (or when no dump path could be formed), so that the usual crash handling goes on, and
// EXCEPTION_EXECUTE_HANDLER when one was already written.
LONG WINAPI CrashFilter(EXCEPTION_POINTERS* info);

// The terminate handler: the same dump, taken where the runtime gave up, then the process
// ends with exit code 3, as abort() ends it, without the runtime's message box.
[[noreturn]] void OnTerminate();

// The filter's work: the dump into dumpPath (no dump when it is empty), with `written` as
// the once-per-process flag. Uses no heap: a crash may have broken it.
LONG WriteDumpOnce(const wchar_t* dumpPath, EXCEPTION_POINTERS* pointers, std::atomic<bool>& written);

// Writes a dump of this process into `file`, trying the richest contents first. Without
// pointers the dump is taken at a breakpoint raised here, and execution goes on. False when
// the dump writer is missing or every try failed.
bool WriteCrashDump(HANDLE file, EXCEPTION_POINTERS* pointers);

// The dump writer library in the system folder. Never by bare name: the program's own
// folder comes first in the search, and a library planted there would run in our process.
// False when the system folder's path does not fit.
bool DbgHelpPath(wchar_t (&out)[MAX_PATH]);

// The dump file's security: a dump holds the process's memory, session cookies included, so
// only Administrators and the system may open it, whatever the folder would pass on. Built
// in static storage, without the heap.
const SECURITY_DESCRIPTOR* DumpFileSecurity();

// Creates the dump file anew with that security.
HANDLE CreateDumpFile(const wchar_t* path);

#ifdef VELKOR_TEST_CRASH_SWITCH
// Test builds only: "/velkor-crash-test access" crashes with an access violation and
// "/velkor-crash-test terminate" throws out of a function that may not throw, so that tests
// see what the shipped program's handlers do. Anything else returns.
void CrashOnTestSwitch();
#endif
