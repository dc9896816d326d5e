// The main window with stand-in pages instead of real ones, to look at the tabs where the
// login page cannot show (under Wine): it opens the window with the page stub beside this
// program as each tab's process and asks for two more tabs a few seconds later.
#include "common/AppMessages.h"
#include "gamewnd/MainWindow.h"

#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <string>

namespace {
HWND FindMainWindow() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) -> BOOL {
            if (g_pMainDlg && g_pMainDlg->Handle() == hwnd) *reinterpret_cast<HWND*>(out) = hwnd;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK AskForTab(HWND, UINT, UINT_PTR id, DWORD) {
    static int asked = 0;
    if (HWND main = FindMainWindow()) {
        PostMessageW(main, UM_ADD_ACCOUNT_CHOICE, 1, 0);
        if (++asked == 2) KillTimer(nullptr, id);
    }
}
} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring stub(exe);
    stub = stub.substr(0, stub.rfind(L'\\') + 1) + L"velkor_pagestub.exe";
    SetTimer(nullptr, 0, 3000, AskForTab);
    RunMainWindow(MainWindowArgs{stub});
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
