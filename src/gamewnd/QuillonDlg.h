// The main window: a skinned dialog whose caption band holds a strip of up to three game
// tabs. Each tab is the frame window of a page process of its own, re-parented into this
// window; the window keeps the tabs' account keys so that one account cannot be open twice.
#pragma once
#include "common/RunMode.h"
#include "framework/Handles.h"
#include "common/AppMessages.h"
#include "extras/PopInfoDlg.h"
#include "gamewnd/TabStrip.h"
#include "hotkeys/HotKeyRules.h"
#include "login/AddAccDlg.h"
#include "login/LoginDlg.h"
#include "skin/DlgEx.h"
#include "skin/MsgBoxKind.h"
#include "skin/SkinControls.h"

#include <atomic>
#include <string>
#include <thread>
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
    // Hides the window (with its tabs) or shows it again in front.
    void ToggleHideRestore();
    void BringToFront();

    const std::vector<HWND>& TabWnds() const { return m_tabWnds; }
    const tabs::AccountKeys& AccountKeys() const { return m_accountKeys; }
    int CurrentTab() const { return m_nCurTab; }
    int HotTab() const { return m_nHotTab; }
    int HotPart() const { return m_nHotPart; }
    HWND HomeWnd() const { return m_hHomeWnd; }
    HANDLE PendingPage() const { return m_hPendingPage.Get(); }
    bool IsMuted() const { return m_bMuted; }
    bool TrayIconAdded() const { return m_bTrayAdded; }
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
    // Shows a pop-up menu and answers the chosen command (0 when none).
    virtual UINT TrackMenu(HMENU menu, UINT flags, POINT at);
    // Every message the window posts to a page window.
    virtual void PostToPage(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
    // Starts the program again in update mode.
    virtual bool StartUpdateProgram();
    // Starts the cleaning of the browser's caches on a thread of its own.
    virtual void StartCacheCleaning();
    // The hot-key settings dialog, modal.
    virtual void RunSettingsDialog();

private:
    void LayoutControls(int cx);
    void CreateTabImages();
    void CreateTabTip();
    BOOL PaintWindow(HDC target);
    void DrawTabs(HDC canvas);
    void InvalidateBox(const tabs::Box& box);
    void OnHitTest(LRESULT baseResult, POINT client);
    void ClearHotTab();
    bool OnStripButtonDown(POINT client);
    bool OnStripButtonUp(POINT client, bool middle);
    LRESULT OnCopyData(const COPYDATASTRUCT* data);
    void OnPageAttach(HWND frame, bool isHome);
    bool AcceptsFrame(HWND frame) const;
    void OnAddAccountChoice(WPARAM choice);
    void OnSize(int cx, int cy);
    void SetTipActive(bool active, const std::wstring& text = {});

    void InstallKeyboardHook();
    void RemoveKeyboardHook();
    void LoadHotKeys();
    void AddTrayIcon();
    void DeleteTrayIcon();
    void StartSoundTimer();
    void OnHideButton();
    void OnSoundButton();
    void OnSystemButton();
    void OnTrayNotify(LPARAM mouseMessage);
    void ShowMainMenu(bool trayMenu);
    void RunMenuCommand(UINT command, bool trayMenu);
    void StartUpdateCheck();
    void OnUpdateChecked(bool differs);
    void OnHookedKey(WPARAM which);
    void OnSoundTimer();
    // The settings dialog the menu has open, if any.
    HWND OpenSettingsWindow() const;
    // Shows the add-account popup right-aligned under "登录其他账号", made on first use.
    void ShowAddAccountPopup();
    // Systems before version 6: a hidden 1 x 1 login page, made once, which has the browser
    // load the login page ahead of the first tab's login.
    void CreatePreloadDialog();

    MainWindowArgs m_args;
    HICON m_hIcon = nullptr;  // shared resource icon: never destroyed
    CBtnEx m_btnHide;
    CBtnEx m_btnSystem;
    CBtnEx m_btnSound;
    CStaticEx m_lblAddAccount;
    CAddAccDlg m_dlgAddAcc;
    // The preload login reports to nobody: its page is never seen.
    struct PreloadOwner : LoginOwner {
        void EndLogin(INT_PTR) override {}
    } m_preloadOwner;
    PageProcessArgs m_preloadPage;
    CLoginDlg m_dlgPreload{LoginPageAddress(), m_preloadPage, m_preloadOwner};
    bool m_bMuted = false;
    DWORD m_dwOsMajor = 0;
    fw::UniqueHandle m_hPendingPage;  // the last started page process not yet attached
    HWND m_hHomeWnd = nullptr;
    std::vector<HWND> m_tabWnds;
    tabs::AccountKeys m_accountKeys;
    fw::UniqueImageList m_ilTabs;      // normal, hot, current
    fw::UniqueImageList m_ilTabClose;  // normal, hot, pressed
    int m_nCurTab = 0;
    int m_nHotTab = -1;
    int m_nHotPart = -1;  // 0 on the tab, 1 on its close button, 2 pressed there
    bool m_bTipActive = false;
    std::wstring m_strTip;
    HWND m_tip = nullptr;  // owned by the window: destroyed with it
    bool m_bTrackingLeave = false;
    int m_nLastWidth = -1;
    CPopInfoDlg m_dlgPopInfo;
    bool m_bNoticeStarted = false;  // the notice is asked for once per run
    hotkeys::HotKey m_switchKey;
    bool m_bTrayAdded = false;
    bool m_bLastShownMuted = true;  // the sound button's picture is set on the first tick
    std::thread m_updateWorker;
    std::atomic<bool> m_bCheckingUpdate{false};
};

// The main window of this process, for the keyboard hook; null when there is none.
extern CQuillonDlg* g_pMainDlg;
