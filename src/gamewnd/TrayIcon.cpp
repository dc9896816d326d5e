#include "gamewnd/TrayIcon.h"

#include <shellapi.h>

#include <cwchar>

namespace tray {

namespace {

constexpr DWORD kAllowForWindow = 1;   // MSGFLT_ALLOW
constexpr DWORD kAllowForProcess = 1;  // MSGFLT_ADD

} // namespace

MessageFilterCalls SystemMessageFilterCalls() {
    MessageFilterCalls calls;
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return calls;
    calls.forWindow = reinterpret_cast<decltype(calls.forWindow)>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
    calls.forProcess = reinterpret_cast<decltype(calls.forProcess)>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilter")));
    return calls;
}

bool AllowThroughMessageFilter(HWND window, UINT message, DWORD osMajor, const MessageFilterCalls& calls) {
    if (message == 0 || (osMajor != 0 && osMajor < 6)) return false;
    if (calls.forWindow) return calls.forWindow(window, message, kAllowForWindow, nullptr) != FALSE;
    if (calls.forProcess) return calls.forProcess(message, kAllowForProcess) != FALSE;
    return false;
}

} // namespace tray

UINT CTrayIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

void CTrayIcon::ListenForShellRestart(HWND window, DWORD osMajor) {
    tray::AllowThroughMessageFilter(window, TaskbarCreatedMessage(), osMajor, tray::SystemMessageFilterCalls());
}

bool CTrayIcon::Add(HWND window, HICON icon, UINT callbackMessage, const wchar_t* tip) {
    m_window = window;
    m_icon = icon;
    m_callback = callbackMessage;
    m_tip = tip ? tip : L"";
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = icon;
    wcsncpy_s(data.szTip, ARRAYSIZE(data.szTip), m_tip, _TRUNCATE);
    if (Shell_NotifyIconW(NIM_ADD, &data)) m_bAdded = true;
    return m_bAdded;
}

void CTrayIcon::Remove() {
    if (!m_bAdded) return;
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = m_window;
    data.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &data);
    m_bAdded = false;
}

bool CTrayIcon::OnShellMessage(UINT message) {
    if (message != TaskbarCreatedMessage() || !m_bAdded) return false;
    m_bAdded = false;
    Add(m_window, m_icon, m_callback, m_tip);
    return true;
}
