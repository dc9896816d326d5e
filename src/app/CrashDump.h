// Unhandled-exception filter of the process.
#pragma once
#include <windows.h>

// Placeholder until crash dumps are built: writes nothing and lets the search go on.
LONG WINAPI CrashFilter(EXCEPTION_POINTERS* info);
