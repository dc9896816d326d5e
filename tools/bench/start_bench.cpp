// Start-up time of a program: from CreateProcess until the process shows a visible top-level
// window. The process and anything it started end with the job afterwards.
//   start_bench <exe> [arguments]   prints "start <seconds> <caption of that window>"
#include "BenchChild.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
    DWORD pid;
    bool found;
    wchar_t caption[128];
};

BOOL CALLBACK Visit(HWND wnd, LPARAM param) {
    Search* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == s->pid && IsWindowVisible(wnd)) {
        s->found = true;
        GetWindowTextW(wnd, s->caption, 128);
        return FALSE;
    }
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: start_bench <exe> [arguments]\n");
        return 1;
    }
    std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
    for (int i = 2; i < argc; ++i) command += L" " + std::wstring(argv[i]);
    Search s = {0, false, {}};
    double t0 = 0, t1 = 0;
    {
        const bench::Child child(argv[1], command);
        if (!child.Started()) return 2;
        s.pid = child.Pid();
        t0 = t1 = child.StartTime();
        while (!s.found) {
            EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
            t1 = bench::Now();
            if (s.found || t1 - t0 > 60 || WaitForSingleObject(child.Process(), 1) == WAIT_OBJECT_0) break;
        }
    }
    if (!s.found) return 3;
    // The caption shows which window counted (the main window, not a message box).
    std::printf("start %.6f %ls\n", t1 - t0, s.caption);
    return 0;
}
