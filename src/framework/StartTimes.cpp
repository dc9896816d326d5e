#include "framework/StartTimes.h"

#ifdef VELKOR_START_TIMES
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <mutex>

namespace fw {

namespace {

HANDLE g_hTimes = INVALID_HANDLE_VALUE;
std::once_flag g_timesOpened;

void OpenTimes() {
    wchar_t path[MAX_PATH];
    const DWORD chars = GetEnvironmentVariableW(L"VELKOR_START_TIMES", path, MAX_PATH);
    if (chars == 0 || chars >= MAX_PATH) return;
    // Appended, so that the marks of several threads and processes never overwrite each other.
    g_hTimes = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

void MarkStartStep(const char* step) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    std::call_once(g_timesOpened, OpenTimes);
    if (g_hTimes == INVALID_HANDLE_VALUE || !step) return;
    char line[128];
    const int length = std::snprintf(line, sizeof(line), "%lld %lu %s\n", static_cast<long long>(now.QuadPart),
                                     GetCurrentProcessId(), step);
    if (length <= 0 || length >= int(sizeof(line))) return;
    DWORD written = 0;
    WriteFile(g_hTimes, line, DWORD(length), &written, nullptr);
}

}  // namespace fw
#endif
