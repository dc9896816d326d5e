// Unhandled-exception filter of the process.
#pragma once
#include <windows.h>

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* info);
