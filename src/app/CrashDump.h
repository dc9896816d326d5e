// Crash dumps: when an exception escapes every handler, a memory dump of the process is
// written beside the executable, once per process, and the usual crash handling goes on.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

// The unhandled-exception filter of the process: EXCEPTION_CONTINUE_SEARCH after writing the
// dump (or when no dump path can be formed), EXCEPTION_EXECUTE_HANDLER when one was already
// written.
LONG WINAPI CrashFilter(EXCEPTION_POINTERS* info);

// The filter's work for the executable at exePath, with `written` as the once-per-process flag.
LONG WriteDumpOnce(const wchar_t* exePath, EXCEPTION_POINTERS* pointers, std::atomic<bool>& written);

// Writes a dump of this process into `file`, trying the richest contents first. Without
// pointers the dump is taken at a breakpoint raised here, and execution goes on. False when
// the dump writer is missing or every try failed.
bool WriteCrashDump(HANDLE file, EXCEPTION_POINTERS* pointers);

// The dump writer library in the system folder. Never by bare name: the program's own
// folder comes first in the search, and a library planted there would run in our process.
std::wstring DbgHelpPath();

// The dump file's security: a dump holds the process's memory, session cookies included, so
// only Administrators and the system may open it, whatever the folder would pass on.
extern const wchar_t kDumpFileSecurity[];

// Creates the dump file anew with that security.
HANDLE CreateDumpFile(const wchar_t* path);
