#include "gamewnd/MenuCommands.h"
#include "hotkeys/SettingDlg.h"
#include "update/UpdateCheck.h"

bool CUpdateCheckRun::Start(HWND window, UINT message, RunMode mode) {
    // The check can wait on the network for long: on the window's thread it would stall the
    // window and, with it, every key press of the system behind the keyboard hook.
    if (m_bBusy) return false;
    // The last check has posted its outcome already: its thread is only returning.
    m_worker.Wait(5000);
    m_bBusy = m_worker.Start([window, message, mode] {
        const UpdateOffer offer = CheckForUpdate(mode, true);
        fw::PostToWindow(window, message, offer.differs ? 1 : 0);
    });
    return m_bBusy;
}

void CSettingsRun::Run(HWND owner) {
    CSettingDlg dialog(owner);
    m_pOpen = &dialog;
    dialog.Run();
    m_pOpen = nullptr;
}

HWND CSettingsRun::Open() const { return m_pOpen && IsWindow(m_pOpen->Handle()) ? m_pOpen->Handle() : nullptr; }

void CSettingsRun::Cancel() {
    HWND open = Open();
    if (open && IsWindowVisible(open)) m_pOpen->EndDialog(IDCANCEL);
}
