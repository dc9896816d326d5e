// A page process from its start until its account key is registered with a main window,
// against the floor (bare_browser.exe: a bare program that gets the same key to the host
// through the browser control's navigation).
//   page_bench <runs> <bare_browser.exe>   the host: alternates the two children <runs> times
//                                          each; prints "page velkor|bare <seconds> <key>"
//                                          per run, the key as the host received it (UTF-8)
//   page_bench /page <host window>         the child that plays the page process
// The host answers WM_COPYDATA with 1, as the main window does when it accepts an account.
// A child runs in a job that ends it and anything it started; a run that brings no key, or
// another key, ends the benchmark with an error.
#include "gamewnd/CacheLimit.h"
#include "login/LoginDlg.h"
#include "login/PageProcess.h"
#include "BenchChild.h"

#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <ole2.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// The login page's address is the only thing the child changes: the operator's login page
// cannot load here (the browser control has no HTML engine), so the navigation the page
// would make once the player has logged in is given as the login address.
constexpr wchar_t kLoginCommand[] = L"app://loadgame|S1服-《Sevrith》双线一区-bench|http://127.0.0.1/game/play.htm";
// The key that command registers: server, area and account.
constexpr wchar_t kExpectedKey[] = L"1服-双线一区-bench";
constexpr DWORD kKeyDeadlineMs = 60000;
constexpr DWORD kEndDeadlineMs = 5000;

using bench::Now;

// Runs the messages that are waiting.
void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// ---- the child: the page process up to the end of its login ----------------------------

// What the page process does from its start to its login (CQuillonApp::InitInstance and
// RunModeFlow for a new game page), then the real login windows and browser control.
int RunPage(HWND host) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    SetBrowserCacheLimit();
    if (FAILED(OleInitialize(nullptr))) return 2;
    INT_PTR result = 0;
    {
        PageProcessArgs page;
        page.hostWnd = host;
        page.hostTabCount = 0;
        CLoginBkDlg background(page, kLoginCommand);
        result = background.DoModal(nullptr);
    }
    OleUninitialize();
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return result == kLoginDone ? 0 : 3;
}

// ---- the host ------------------------------------------------------------------------

struct Host {
    HWND hwnd = nullptr;
    bool gotKey = false;
    double keyTime = 0;
    std::wstring key;
};
Host g_host;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COPYDATA) {
        // The time first: the child waits for the answer.
        const double t = Now();
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!g_host.gotKey) {
            g_host.gotKey = true;
            g_host.keyTime = t;
            g_host.key.assign(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
            while (!g_host.key.empty() && g_host.key.back() == L'\0') g_host.key.pop_back();
        }
        return 1;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

std::string Utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// One run: the seconds from CreateProcess of the child until the host has the key, or a
// negative value on failure (with the reason on stderr).
double MeasureOnce(const wchar_t* exe, const std::wstring& arguments) {
    g_host.gotKey = false;
    g_host.key.clear();
    std::wstring command = L"\"" + std::wstring(exe) + L"\" " + arguments;

    bench::Child child(exe, command);
    if (!child.Started()) {
        std::fprintf(stderr, "page_bench: cannot start %ls (%lu)\n", exe, child.StartError());
        return -1;
    }
    const double t0 = child.StartTime();
    HANDLE process = child.Process();

    // Pump the host's messages (the key comes as a sent message) until the key arrives, the
    // child ends without it, or the deadline passes.
    bool childEnded = false;
    while (!g_host.gotKey && !childEnded) {
        const double waited = (Now() - t0) * 1000;
        if (waited >= kKeyDeadlineMs) break;
        const DWORD w = MsgWaitForMultipleObjects(1, &process, FALSE, DWORD(kKeyDeadlineMs - waited), QS_ALLINPUT);
        PumpPending();
        if (w == WAIT_OBJECT_0 && !g_host.gotKey) childEnded = true;
    }
    const double seconds = g_host.keyTime - t0;

    // The child ends by itself once its login is over; one that does not is ended.
    bool ended = false;
    const double endStart = Now();
    while (!ended && (Now() - endStart) * 1000 < kEndDeadlineMs) {
        const DWORD w = MsgWaitForMultipleObjects(1, &process, FALSE, 100, QS_ALLINPUT);
        PumpPending();
        ended = w == WAIT_OBJECT_0;
    }
    DWORD exitCode = 0;
    if (ended) GetExitCodeProcess(process, &exitCode);

    if (!g_host.gotKey) {
        std::fprintf(stderr, "page_bench: no key from %ls within %lu s%s\n", exe, kKeyDeadlineMs / 1000,
                     childEnded ? " (the child ended first)" : "");
        return -1;
    }
    if (g_host.key != kExpectedKey) {
        std::fprintf(stderr, "page_bench: %ls registered another key: \"%s\"\n", exe, Utf8(g_host.key).c_str());
        return -1;
    }
    if (!ended) {
        std::fprintf(stderr, "page_bench: %ls did not end within %lu s after the key\n", exe, kEndDeadlineMs / 1000);
        return -1;
    }
    if (exitCode != 0) {
        std::fprintf(stderr, "page_bench: %ls ended with %lu after the key\n", exe, exitCode);
        return -1;
    }
    return seconds;
}

int RunHost(int runs, const wchar_t* bareExe) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VelkorPageBenchHost";
    RegisterClassW(&wc);
    g_host.hwnd = CreateWindowExW(0, wc.lpszClassName, L"page bench host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                  300, 200, nullptr, nullptr, wc.hInstance, nullptr);
    if (!g_host.hwnd) return 2;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring hostArg = std::to_wstring(reinterpret_cast<UINT_PTR>(g_host.hwnd));

    // Alternated, so that a change in the machine's load falls on both alike.
    for (int i = 0; i < runs; ++i) {
        const double velkor = MeasureOnce(self, L"/page " + hostArg);
        if (velkor < 0) return 3;
        std::printf("page velkor %.6f %s\n", velkor, Utf8(g_host.key).c_str());
        std::fflush(stdout);
        const double bare = MeasureOnce(bareExe, hostArg);
        if (bare < 0) return 3;
        std::printf("page bare %.6f %s\n", bare, Utf8(g_host.key).c_str());
        std::fflush(stdout);
    }
    DestroyWindow(g_host.hwnd);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && !wcscmp(argv[1], L"/page"))
        return RunPage(reinterpret_cast<HWND>(static_cast<UINT_PTR>(_wcstoui64(argv[2], nullptr, 10))));
    if (argc == 3 && _wtoi(argv[1]) > 0) return RunHost(_wtoi(argv[1]), argv[2]);
    std::fprintf(stderr, "usage: page_bench <runs> <bare_browser.exe> | /page <host window>\n");
    return 1;
}
