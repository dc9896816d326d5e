// The application object: turns the command line into a run mode and runs that mode's flow.
#pragma once
#include "app/StatPing.h"
#include "common/AppMessages.h"
#include "common/RunMode.h"
#include "framework/Application.h"
#include "framework/Handles.h"
#include "update/UpdateCheck.h"

#include <windows.h>
#include <string>

class CQuillonApp : public fw::Application {
public:
    CQuillonApp() = default;

    fw::UniqueHandle m_hPingDone;      // manual reset: the ping request has finished

    PingEvents Pings() const { return {m_hPingDone.Get()}; }

    // The mode of this process; may be asked again and gives the same answer.
    RunMode ParseRunMode();
    RunMode Mode() const { return m_runMode; }

protected:
    bool InitInstance() override;
    int ExitInstance() override;

private:
    bool RunModeFlow(RunMode mode);
    // The update step of start-up (modes 0, 2 and 5; the check itself decides by the mode
    // whether it runs): true when the new program was swapped in and started.
    bool UpdateAndRestart(bool force);
    void WaitForPing();

    RunMode m_runMode = RUN_INSTALL;
    bool m_bParsed = false;
    bool m_bArgsValid = true;
    bool m_bOleStarted = false;
};

// Host main window and its tab count, from the command line of a page process.
extern HWND g_hHostWnd;
extern int g_nHostTabCount;
