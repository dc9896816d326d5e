#include "app/CrashDump.h"

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* info) {
    return EXCEPTION_CONTINUE_SEARCH;
}
