// The application object: turns the command line into a run mode and runs that mode's flow.
#pragma once
#include "app/RunMode.h"
#include "framework/Application.h"

#include <windows.h>
#include <string>

class CQuillonApp : public fw::Application {
public:
    CQuillonApp() = default;

    ULONG_PTR m_gdiplusToken = 0;
    wchar_t m_szUpdAddr[512] = {};     // download address from the update configuration
    HANDLE m_hArgCopied = nullptr;     // manual reset: the ping thread has copied its address
    HANDLE m_hPingDone = nullptr;      // manual reset: the ping request has finished
    std::wstring m_strPageTitle;       // current game page, kept by the game view
    std::wstring m_strPageUrl;

    // The mode of this process; may be asked again and gives the same answer.
    RunMode ParseRunMode();
    RunMode Mode() const { return m_runMode; }

protected:
    bool InitInstance() override;
    int ExitInstance() override;

private:
    bool RunModeFlow(RunMode mode);
    // Update branch of modes 0, 2 and 5: true when the new program was swapped in and started.
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

CQuillonApp& TheApp();

// Starts the program's own executable (null) or a command line at idle priority, shown.
bool StartProgram(const wchar_t* commandLine);

// The caption of every window and message box of the program.
inline constexpr wchar_t kAppCaption[] = L"Olvesk - Sevrith";
inline constexpr wchar_t kAppVersion[] = L"3.0.0.1";
// Marks messages the program posts to itself or between its processes.
inline constexpr LPARAM kSelfPostMarker = 7315;
