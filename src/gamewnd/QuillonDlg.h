// The main window: a skinned dialog whose caption band holds a strip of up to three game
// tabs. Each tab is the frame window of a page process of its own, re-parented into this
// window; the window keeps the tabs' account keys so that one account cannot be open twice.
// The window is a switch over parts that do not know it: the pages (CPageTabs), the tab
// strip's view (CTabStripView, over the window-free tabs::StripState), the caption controls,
// the tray icon, and the menu commands' update check and settings dialog.
#pragma once
#include "common/RunMode.h"
#include "common/AppMessages.h"
#include "extras/PopInfoDlg.h"
#include "gamewnd/CaptionControls.h"
#include "gamewnd/MenuCommands.h"
#include "gamewnd/PageTabs.h"
#include "gamewnd/TabStripView.h"
#include "gamewnd/TrayIcon.h"
#include "hotkeys/HotKeyRules.h"
#include "login/LoginDlg.h"
#include "skin/DlgEx.h"
#include "skin/MsgBoxKind.h"

#include <string>
#include <vector>

struct MainWindowArgs {
    // The executable started for each tab with "/newgm /<window> /<tabs>"; empty: the
    // program's own.
    std::wstring pageProgram;
    // The run mode of the process, for the menu's update check.
    RunMode runMode = RUN_INSTALLED;
    // How long after the first page attaches the operator's notice is asked for; 0: never.
    UINT noticeDelayMs = kNoticeDelayMs;
};

class CQuillonDlg : public CDlgEx {
public:
    explicit CQuillonDlg(MainWindowArgs args = {});
    ~CQuillonDlg() override;

    // Shows one tab's frame in the page area and hides the others (and the home page).
    void ShowTab(HWND frame);
    void SwitchToNextTab();
    // Closes tab i after the player agreed; the last tab asks the exit question instead.
    void CloseTab(int index);
    // Ends the pending page process, detaches and closes every tab frame, ends the loop.
    void ExitProgram();
    // Starts a page process for a new tab; false when it could not be started.
    bool LaunchPageProcess();
    // What the window needs only once it grows: its pictures, then the first page process.
    void FinishStart();
    // Hides the window (with its tabs) or shows it again in front.
    void ToggleHideRestore();
    void BringToFront();

    const std::vector<HWND>& TabWnds() const { return m_pages.Frames(); }
    const tabs::AccountKeys& AccountKeys() const { return m_pages.Keys(); }
    int CurrentTab() const { return m_strip.Current(); }
    int HotTab() const { return m_strip.State().Hot(); }
    int HotPart() const { return static_cast<int>(m_strip.State().Part()); }
    HWND HomeWnd() const { return m_pages.Home(); }
    HANDLE PendingPage() const { return m_pages.Pending(); }
    bool IsMuted() const { return m_bMuted; }
    bool TrayIconAdded() const { return m_tray.Added(); }
    const hotkeys::HotKey& SwitchKey() const { return m_switchKey; }
    // The client rectangle less the frame and caption band, where a shown page lies.
    RECT PageArea() const;

    bool PreTranslateMessage(MSG& msg) override;

protected:
    bool OnInitDialog() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void OnOK() override {}  // Enter never closes the window
    void OnCancel() override;

    // Every question and message of the window, answered with IDOK, IDCANCEL, IDYES or IDNO.
    virtual int AskPlayer(MsgBoxKind kind, const std::wstring& text);
    // Shows a pop-up menu with TrackPopupMenu's flags at a screen point and answers the chosen
    // command (0 when none).
    virtual UINT TrackMenu(HMENU menu, UINT flags, POINT at);
    // Every message the window posts to a page window.
    virtual void PostToPage(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
    // Starts the program again in update mode; false when it could not be started.
    virtual bool StartUpdateProgram();
    // Starts the cleaning of the browser's caches on a thread of its own.
    virtual void StartCacheCleaning();
    // The hot-key settings dialog, modal.
    virtual void RunSettingsDialog();
    // Has the desktop and every window in it redraw a screen rectangle.
    virtual void RedrawDesktopArea(const RECT& screen);

private:
    BOOL PaintWindow(HDC target);
    bool OnStripButtonDown(POINT client);
    bool OnStripButtonUp(POINT client, bool middle);
    LRESULT OnCopyData(const COPYDATASTRUCT* data);
    void OnPageAttach(HWND frame, bool isHome);
    void OnAddAccountChoice(WPARAM choice);
    void OnSize(int cx);

    void LoadHotKeys();
    void OnHookedKey(WPARAM which);
    void OnSoundTimer();
    void OnPendingPageTimer();
    void OnTrayNotify(LPARAM mouseMessage);
    void ShowMainMenu(bool trayMenu);
    void RunMenuCommand(UINT command, bool trayMenu);
    void OnUpdateChecked(bool differs);
    // Systems before version 6: a hidden 1 x 1 login page, made once, which has the browser
    // load the login page ahead of the first tab's login.
    void CreatePreloadDialog();

    MainWindowArgs m_args;
    HICON m_hIcon = nullptr;  // shared resource icon: never destroyed
    DWORD m_dwOsMajor = 0;
    CPageTabs m_pages;
    CTabStripView m_strip;
    CCaptionControls m_caption;
    CTrayIcon m_tray;
    CUpdateCheckRun m_updateCheck;
    CSettingsRun m_settings;
    CPopInfoDlg m_dlgPopInfo;
    // The preload login reports to nobody: its page is never seen.
    struct PreloadOwner : LoginOwner {
        void EndLogin(INT_PTR) override {}
    } m_preloadOwner;
    PageProcessArgs m_preloadPage;
    CLoginDlg m_dlgPreload{LoginPageAddress(), m_preloadPage, m_preloadOwner};
    int m_nLastWidth = -1;
    bool m_bNoticeStarted = false;  // the notice is asked for once per run
    bool m_bMuted = false;
    bool m_bLastShownMuted = false;  // the sound button starts with the sound-on picture
    hotkeys::HotKey m_switchKey;
};

// The main window of this process (the tabs demo finds it here); null when there is none.
extern CQuillonDlg* g_pMainDlg;
