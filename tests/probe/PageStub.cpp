// Plays a page process towards a main window, as tests need it: started with
//   "<path>" /newgm /<main window> /<tab count>
// it registers an account key by WM_COPYDATA, makes a frame window, announces it with
// UM_PAGE_ATTACH, becomes a child of the main window, shows itself in the page area as a
// loaded page would, and ends when its frame gets SC_CLOSE or the main window goes (even with
// the main window's process).
// Environment: VELKOR_PROBE_LOG (a line "<module>|<command line>" per start),
// VELKOR_STUB_CLOSE_LOG (a line "<frame> <its parent> <1 visible, 0 hidden>" when the frame is
// told to close, the handles in decimal, so that a test sees where the frame was while it
// still existed), VELKOR_STUB_KEY (the key; default "1服-一区-stub<process id>"),
// VELKOR_STUB_HOME=1 (attach as the home page, without a key), VELKOR_STUB_IDLE=1 (do nothing
// but wait, like a login that is still open), VELKOR_STUB_NO_FRAME=1 (end once the key is
// accepted, like a page whose frame could not be made), VELKOR_STUB_POST=<name> (only post the
// registered window message of that name to the main window and end, as another program would).
#include "common/AppMessages.h"
#include "probe/ProbeLog.h"

#include <windows.h>
#include <shellapi.h>
#include <string>

namespace {

HWND g_host = nullptr;

std::wstring Env(const wchar_t* name) {
    wchar_t value[1024] = {};
    return GetEnvironmentVariableW(name, value, ARRAYSIZE(value)) ? value : L"";
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER:
        if (wParam == 2) {
            KillTimer(hwnd, 2);
            RECT client = {};
            GetClientRect(g_host, &client);
            MoveWindow(hwnd, 4, 30, client.right - 8, client.bottom - 34, TRUE);
            ShowWindow(hwnd, SW_SHOW);
        }
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            AppendProbeLog(std::to_wstring(reinterpret_cast<INT_PTR>(hwnd)) + L" " +
                               std::to_wstring(reinterpret_cast<INT_PTR>(GetAncestor(hwnd, GA_PARENT))) +
                               (IsWindowVisible(hwnd) ? L" 1" : L" 0"),
                           L"VELKOR_STUB_CLOSE_LOG");
            DestroyWindow(hwnd);
            return 0;
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    AppendProbeLog(std::wstring(module) + L"|" + GetCommandLineW());

    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 4 || lstrcmpiW(argv[1], L"/newgm") != 0) return 2;
    g_host = reinterpret_cast<HWND>(static_cast<INT_PTR>(_wtoi(argv[2] + 1)));
    LocalFree(argv);
    if (!IsWindow(g_host)) return 2;

    const std::wstring post = Env(L"VELKOR_STUB_POST");
    if (!post.empty()) return PostMessageW(g_host, RegisterWindowMessageW(post.c_str()), 0, 0) ? 0 : 5;
    if (Env(L"VELKOR_STUB_IDLE") == L"1") {
        while (IsWindow(g_host)) Sleep(50);
        return 0;
    }
    const bool home = Env(L"VELKOR_STUB_HOME") == L"1";
    if (!home) {
        std::wstring key = Env(L"VELKOR_STUB_KEY");
        if (key.empty()) key = L"1服-一区-stub" + std::to_wstring(GetCurrentProcessId());
        COPYDATASTRUCT data = {0, DWORD((key.size() + 1) * sizeof(wchar_t)), key.data()};
        if (SendMessageW(g_host, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)) == 0) {
            PostMessageW(g_host, WM_SYSCOMMAND, SC_CLOSE, kSelfPostMarker);
            return 3;
        }
        if (Env(L"VELKOR_STUB_NO_FRAME") == L"1") return 4;
    }

    WNDCLASSW wc = {};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"VelkorPageStubFrame";
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    HWND frame = CreateWindowExW(0, wc.lpszClassName, L"page stub", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 100, 100,
                                 nullptr, nullptr, instance, nullptr);
    if (!frame) return 4;
    PostMessageW(g_host, UM_PAGE_ATTACH, reinterpret_cast<WPARAM>(frame), home ? 1 : 0);
    SetWindowLongW(frame, GWL_STYLE, (GetWindowLongW(frame, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
    SetParent(frame, g_host);
    SetTimer(frame, 2, 50, nullptr);  // as a page that has loaded
    // The host is watched by a timer of the thread, not of the frame: a host whose process
    // ends takes the frame, its child, with it, and under Wine the frame's own timers and its
    // WM_DESTROY never come; a frame timer would leave this process running for ever.
    const UINT_PTR watch = SetTimer(nullptr, 0, kHostWatchMs, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && !msg.hwnd && msg.wParam == watch) {
            if (!IsWindow(g_host)) break;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (IsWindow(frame)) DestroyWindow(frame);
    return 0;
}
