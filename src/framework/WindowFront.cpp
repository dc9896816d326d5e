#include "framework/WindowFront.h"

namespace fw {

void BringToFront(HWND window, bool activate) {
    if (!IsWindow(window)) return;
    const DWORD windowThread = GetWindowThreadProcessId(window, nullptr);
    const DWORD foreThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const bool attach = foreThread && windowThread && foreThread != windowThread;
    if (attach) AttachThreadInput(windowThread, foreThread, TRUE);
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | (activate ? 0 : SWP_NOACTIVATE);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    if (activate) SetForegroundWindow(window);
    if (attach) AttachThreadInput(windowThread, foreThread, FALSE);
}

} // namespace fw
