// The floor for start-up: a bare Win32 dialog from an in-memory template, built with the same
// toolchain and flags as the program, with the same common-controls start.
#include <windows.h>
#include <commctrl.h>

namespace {

INT_PTR CALLBACK DialogProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(wnd, 0);
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    // DLGTEMPLATE followed by empty menu, class and title arrays (all WORD-aligned).
    alignas(4) WORD buffer[32] = {};
    DLGTEMPLATE* t = reinterpret_cast<DLGTEMPLATE*>(buffer);
    t->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER;
    t->cx = 300;
    t->cy = 200;
    return int(DialogBoxIndirectParamW(instance, t, nullptr, DialogProc, 0));
}
