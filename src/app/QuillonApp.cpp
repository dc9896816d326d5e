#include "app/QuillonApp.h"
#include "app/CrashDump.h"
#include "app/Install.h"
#include "settings/SettingsStore.h"
#include "app/StatPing.h"
#include "app/Uninstall.h"
#include "gamewnd/CacheLimit.h"
#include "gamewnd/GamePage.h"
#include "gamewnd/MainWindow.h"
#include "login/LoginDlg.h"
#include "update/UpdateSwap.h"
#include "framework/ProgramStart.h"
#include "framework/ShellOpen.h"
#include "framework/StartTimes.h"
#include "skin/MessageBox.h"
#include "velkor_config.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <cwchar>
#include <vector>

HWND g_hHostWnd = nullptr;
int g_nHostTabCount = 0;

RunMode CQuillonApp::ParseRunMode() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args;
    for (int i = 0; argv && i < argc; ++i) args.emplace_back(argv[i]);
    if (argv) LocalFree(argv);

    wchar_t exe[MAX_PATH] = {};
    ModuleFilePath(nullptr, exe);
    RunModeChoice choice = ChooseRunMode(args, exe, DataFolderPath());
    if (!m_bParsed) {
        m_bParsed = true;
        m_bArgsValid = choice.valid;
        g_hHostWnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(choice.hostWnd));
        g_nHostTabCount = choice.hostTabCount;
    }
    return choice.mode;
}

void CQuillonApp::WaitForPing() {
    if (m_hPingDone) WaitForSingleObject(m_hPingDone.Get(), INFINITE);
}

bool CQuillonApp::UpdateAndRestart(bool force) {
    const UpdateOffer offer = CheckForUpdate(ParseRunMode(), force);
    // Forced, the download runs for any key worth downloading, even our own version's.
    if (force ? !offer.downloadable : !offer.differs) return false;
    if (!SwapInUpdate(offer)) return false;
    fw::StartProgram();
    WriteUpdTime();
    return true;
}

bool CQuillonApp::InitInstance() {
    InstallCrashHandlers();
#ifdef VELKOR_TEST_CRASH_SWITCH
    CrashOnTestSwitch();
#endif
    fw::MarkStartStep("crash-handlers");

    INITCOMMONCONTROLSEX icc = {sizeof(icc), 0xFF};
    InitCommonControlsEx(&icc);
    fw::MarkStartStep("common-controls");

    m_runMode = ParseRunMode();
    m_hPingDone.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    fw::MarkStartStep("run-mode");
    const RunMode mode = m_runMode;

    // A page process without its host arguments has nothing to attach to.
    if (!m_bArgsValid) {
        m_nExitCode = 2;
        return false;
    }

    // GDI+ is started by the first picture decoded (skin/SkinImage.cpp), which loads it: the
    // main window shows before it needs one.

    if (mode == RUN_UNINSTALL) {
        if (AppMessageBox(MsgBoxKind::YesNo, kAppCaption, L"确定要移除 OlveskSevrith极速登录器吗？", nullptr) == IDYES) {
            UninstallSelf(Pings());
            WaitForPing();
        }
        return false;
    }
    if (mode == RUN_UPDATE && UpdateAndRestart(true)) return false;
    if ((mode == RUN_INSTALL || mode == RUN_DESKTOP) && UpdateAndRestart(false)) return false;
    fw::MarkStartStep("update-check");

    return RunModeFlow(mode);
}

bool CQuillonApp::RunModeFlow(RunMode mode) {
    switch (mode) {
    case RUN_INSTALL:
        if (InstallSelf() == InstallOutcome::FolderRefused) {
            // Nothing was installed, started, counted or sent: the player must know why.
            const std::wstring text = L"安装已取消：数据文件夹 " + DataFolderPath() +
                                      L" 或其上级文件夹是一个链接（重解析点），可能被他人改动过。"
                                      L"请删除该文件夹后重新运行本程序。";
            AppMessageBox(MsgBoxKind::Ok, kAppCaption, text.c_str(), nullptr);
            return false;
        }
        WriteDisableDays();
        SendCountedPing(kPingInstall, Pings());
        WaitForPing();
        return false;
    case RUN_OLVESK:
        fw::OpenWebAddress(VELKOR_HALL_URL, SW_SHOWMAXIMIZED);
        SendCountedPing(kPingPartnerStart, Pings());
        WaitForPing();
        return false;
    case RUN_DESKTOP:
    case RUN_INSTALLED:
        SendCountedPing(kPingLauncherStart, Pings());
        fw::MarkStartStep("ping");
        break;
    default:
        break;
    }

    SetBrowserCacheLimit();
    fw::MarkStartStep("cache-limit");

    if (mode == RUN_NEWGAME || mode == RUN_GAMEHALL) {
        if (FAILED(OleInitialize(nullptr))) {
            AppMessageBox(MsgBoxKind::Ok, kAppCaption, L"初始化OLE库失败", nullptr);
            return false;
        }
        m_bOleStarted = true;
        PageProcessArgs page;
        page.hostWnd = g_hHostWnd;
        page.hostTabCount = g_nHostTabCount;
        page.gameUrl = WebGamePageAddress();
        if (mode == RUN_NEWGAME && RunLoginBackground(page) != kLoginDone) {
            // The host tells this close of its extra tab from the user's by the marker.
            PostMessageW(g_hHostWnd, WM_SYSCOMMAND, SC_CLOSE, kSelfPostMarker);
            return false;
        }
        RunGamePage(page);
        return false;
    }

    MainWindowArgs window;
    window.runMode = mode;
    RunMainWindow(window);
    return false;
}

int CQuillonApp::ExitInstance() {
    // A ping thread still under way holds events of its own: closing ours cannot hurt it.
    m_hPingDone.Reset();
    if (m_bOleStarted) OleUninitialize();
    m_bOleStarted = false;
    return fw::Application::ExitInstance();
}
