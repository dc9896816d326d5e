// The main window's icon in the notification area. The shell loses its icons when it
// restarts and then tells every top-level window with the "TaskbarCreated" message: the
// icon is added again if it was there.
#pragma once
#include <windows.h>

class CTrayIcon {
public:
    CTrayIcon() = default;
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;
    ~CTrayIcon() { Remove(); }

    // The shell's restart message, registered on first use (before the shell can send it).
    static UINT TaskbarCreatedMessage();

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
