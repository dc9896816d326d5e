// Start-up time of a program: from CreateProcess until the process shows a visible top-level
// window. The process and anything it started end with the job afterwards.
//   start_bench <exe> [arguments]   prints "start <seconds> <caption of that window>"
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / double(f.QuadPart);
}

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
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));

    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    const double t0 = Now();
    if (!CreateProcessW(argv[1], command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi))
        return 2;
    AssignProcessToJobObject(job, pi.hProcess);
    ResumeThread(pi.hThread);
    Search s = {pi.dwProcessId, false, {}};
    double t1 = t0;
    while (!s.found) {
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
        t1 = Now();
        if (s.found || t1 - t0 > 60 || WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    TerminateJobObject(job, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(job);
    if (!s.found) return 3;
    // The caption shows which window counted (the main window, not a message box).
    std::printf("start %.6f %ls\n", t1 - t0, s.caption);
    return 0;
}
