// The main window's icon in the notification area. The shell loses its icons when it
// restarts and then tells every top-level window with the "TaskbarCreated" message: the
// icon is added again if it was there.
#pragma once
#include <windows.h>

namespace tray {

// The system's calls that let a message from processes of lower integrity through to a
// window (the program asks to run elevated, the shell does not). Found at run time: systems
// before version 6 have neither, and the program must still start there.
struct MessageFilterCalls {
    // ChangeWindowMessageFilterEx, Windows 7 on: for one window.
    BOOL(WINAPI* forWindow)(HWND window, UINT message, DWORD action, void* changeFilter) = nullptr;
    // ChangeWindowMessageFilter, Vista: for the whole process.
    BOOL(WINAPI* forProcess)(UINT message, DWORD action) = nullptr;
};
// What this system's user32 offers.
MessageFilterCalls SystemMessageFilterCalls();
// Lets `message` through to `window` with the first call there is, on systems of version 6
// on (osMajor; 0 when unknown counts as such); true when a call let it through.
bool AllowThroughMessageFilter(HWND window, UINT message, DWORD osMajor, const MessageFilterCalls& calls);

} // namespace tray

class CTrayIcon {
public:
    CTrayIcon() = default;
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;
    ~CTrayIcon() { Remove(); }

    // The shell's restart message, registered on first use (before the shell can send it).
    static UINT TaskbarCreatedMessage();
    // Has the shell's restart message reach `window` even while the program runs elevated.
    static void ListenForShellRestart(HWND window, DWORD osMajor);

    // Adds the icon for `window`, whose mouse messages come as `callbackMessage`; true
    // when the shell took it.
    bool Add(HWND window, HICON icon, UINT callbackMessage, const wchar_t* tip);
    void Remove();
    bool Added() const { return m_bAdded; }
    // The shell has restarted: the icon is added again when it was there. True when the
    // message was that one.
    bool OnShellMessage(UINT message);

private:
    HWND m_window = nullptr;
    HICON m_icon = nullptr;
    UINT m_callback = 0;
    const wchar_t* m_tip = L"";
    bool m_bAdded = false;
};
