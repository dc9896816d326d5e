#include "app/CrashDump.h"

// Placeholder: see the header.
LONG WINAPI CrashFilter(EXCEPTION_POINTERS*) {
    return EXCEPTION_CONTINUE_SEARCH;
}
