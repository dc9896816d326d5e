// Start-up time of a program: from CreateProcess until the process shows the window asked
// for, a visible top-level window that matches every criterion given. The process and
// anything it started end with the job afterwards.
//   start_bench [/class=C] [/title=T] [/control=ID] [/layered] [/host [/owned]] [/times=F] <exe> [arguments]
//     /class=, /title=   the window's class name and caption, exactly
//     /control=ID        it has a child control with that id
//     /layered           it is a layered window (per-pixel alpha, as the login background)
//     /owned             it is owned by the host window (as the login background, and not a
//                        message box of the page, is)
//     /host              a hidden host window of this program stands in for a main window;
//                        "HOST" in the arguments becomes its handle, in decimal. It accepts
//                        an account key (WM_COPYDATA answers 1), as the main window does.
//     /times=F           the child (a build with start-up step marks) writes its marks to the
//                        file F, named to it by the environment variable VELKOR_START_TIMES;
//                        each mark of the child process itself, up to the window, is printed
//                        as "step <seconds> <name>" on the same clock
// Prints "start <seconds> <caption>|<class>|<width>x<height>" of the window that counted, last.
#include "BenchChild.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

struct Criteria {
    DWORD pid = 0;
    std::wstring className, title;
    int control = 0;
    bool layered = false;
    HWND owner = nullptr;  // when it must be owned by this window
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND wnd, LPARAM param) {
    Criteria* c = reinterpret_cast<Criteria*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid != c->pid || !IsWindowVisible(wnd)) return TRUE;
    wchar_t text[256] = {}, cls[256] = {};
    GetWindowTextW(wnd, text, 256);
    GetClassNameW(wnd, cls, 256);
    if (!c->title.empty() && c->title != text) return TRUE;
    if (!c->className.empty() && c->className != cls) return TRUE;
    if (c->control && !GetDlgItem(wnd, c->control)) return TRUE;
    if (c->layered && !(GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED)) return TRUE;
    if (c->owner && GetWindow(wnd, GW_OWNER) != c->owner) return TRUE;
    c->found = wnd;
    return FALSE;
}

LRESULT CALLBACK HostProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COPYDATA) return 1;
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

HWND MakeHost() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VelkorBenchHost";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"bench host", WS_OVERLAPPEDWINDOW, 0, 0, 1000, 700, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

// Prints the marks of process `pid` in `file` (lines "<counter> <pid> <step>") as seconds
// after `t0`, up to `t1`.
void PrintSteps(const std::wstring& file, DWORD pid, double t0, double t1) {
    FILE* in = _wfopen(file.c_str(), L"rb");
    if (!in) return;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    char line[256];
    while (std::fgets(line, sizeof(line), in)) {
        long long counter = 0;
        unsigned long owner = 0;
        char step[128] = {};
        if (std::sscanf(line, "%lld %lu %127s", &counter, &owner, step) != 3 || owner != pid) continue;
        const double at = double(counter) / double(frequency.QuadPart);
        if (at <= t1) std::printf("step %.6f %s\n", at - t0, step);
    }
    std::fclose(in);
}

void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Criteria want;
    bool host = false, owned = false;
    std::wstring times;
    int i = 1;
    for (; i < argc && argv[i][0] == L'/' && argv[i][1] != L'\0'; ++i) {
        const std::wstring a = argv[i];
        if (a.rfind(L"/class=", 0) == 0) want.className = a.substr(7);
        else if (a.rfind(L"/title=", 0) == 0) want.title = a.substr(7);
        else if (a.rfind(L"/control=", 0) == 0) want.control = _wtoi(a.c_str() + 9);
        else if (a == L"/layered") want.layered = true;
        else if (a == L"/host") host = true;
        else if (a == L"/owned") owned = true;
        else if (a.rfind(L"/times=", 0) == 0) times = a.substr(7);
        else break;  // the program's path
    }
    if (i >= argc) {
        std::fprintf(stderr, "usage: start_bench [/class=C] [/title=T] [/control=ID] [/layered] [/host [/owned]] "
                             "[/times=F] <exe> [args]\n");
        return 1;
    }
    const HWND hostWindow = host ? MakeHost() : nullptr;
    if (host && !hostWindow) return 4;
    if (owned) want.owner = hostWindow;
    const std::wstring hostText = std::to_wstring(reinterpret_cast<UINT_PTR>(hostWindow));
    const wchar_t* exe = argv[i];
    std::wstring command = L"\"" + std::wstring(exe) + L"\"";
    for (++i; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (host) {
            const size_t at = arg.find(L"HOST");
            if (at != std::wstring::npos) arg.replace(at, 4, hostText);
        }
        command += L" " + arg;
    }
    if (!times.empty()) {
        DeleteFileW(times.c_str());
        SetEnvironmentVariableW(L"VELKOR_START_TIMES", times.c_str());  // inherited by the child
    }
    double t0 = 0, t1 = 0;
    DWORD pid = 0;
    wchar_t caption[256] = {}, cls[256] = {};
    RECT rect = {};
    {
        const bench::Child child(exe, command);
        if (!child.Started()) return 2;
        want.pid = pid = child.Pid();
        t0 = t1 = child.StartTime();
        for (;;) {
            EnumWindows(Visit, reinterpret_cast<LPARAM>(&want));
            t1 = bench::Now();
            if (want.found || t1 - t0 > 60) break;
            // The host answers the child while it waits.
            HANDLE process = child.Process();
            if (MsgWaitForMultipleObjects(1, &process, FALSE, 1, QS_ALLINPUT) == WAIT_OBJECT_0) break;
            PumpPending();
        }
        if (want.found) {
            GetWindowTextW(want.found, caption, 256);
            GetClassNameW(want.found, cls, 256);
            GetWindowRect(want.found, &rect);
        }
    }
    if (hostWindow) DestroyWindow(hostWindow);
    if (!want.found) return 3;
    if (!times.empty()) PrintSteps(times, pid, t0, t1);
    std::printf("start %.6f %ls|%ls|%ldx%ld\n", t1 - t0, caption, cls, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
}
