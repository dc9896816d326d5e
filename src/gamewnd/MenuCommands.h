// The work behind two menu commands that lasts longer than the click: the update check,
// which waits on the network on a worker thread and posts its outcome to the window, and the
// hot-key settings dialog while it is open (the boss key must not act on the window then,
// and hiding the window cancels the dialog).
#pragma once
#include "common/RunMode.h"
#include "framework/Worker.h"

#include <windows.h>

class CSettingDlg;

class CUpdateCheckRun {
public:
    // Starts the check for `mode` unless one is under way; its outcome comes to `window` as
    // `message` with wParam 1 when the server offers another version, 0 otherwise. False
    // when nothing was started.
    bool Start(HWND window, UINT message, RunMode mode);
    // The outcome has arrived: a new check may start.
    void Done() { m_bBusy = false; }
    bool Busy() const { return m_bBusy; }

private:
    fw::Worker m_worker;  // a check still on the network at exit is let go
    bool m_bBusy = false;
};

class CSettingsRun {
public:
    // Runs the settings dialog modally over `owner`.
    void Run(HWND owner);
    // The dialog while it is open, or null.
    HWND Open() const;
    // Closes an open and visible dialog without saving.
    void Cancel();

private:
    CSettingDlg* m_pOpen = nullptr;
};
