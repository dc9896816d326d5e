#include "gamewnd/QuillonDlg.h"
#include "gamewnd/CacheCleaning.h"
#include "common/AppMessages.h"
#include "framework/Canvas.h"
#include "framework/ProgramStart.h"
#include "framework/StartTimes.h"
#include "framework/SystemVersion.h"
#include "framework/WindowFront.h"
#include "gamewnd/KeyboardHook.h"
#include "gamewnd/MainMenus.h"
#include "hotkeys/HotKeyStore.h"
#include "hotkeys/KeyNames.h"
#include "gamewnd/PageKeys.h"
#include "skin/MessageBox.h"
#include "skin/SkinImage.h"
#include "resource.h"

#include <windowsx.h>

CQuillonDlg* g_pMainDlg = nullptr;

namespace {

// Messages the window posts to itself.
constexpr UINT UM_HOOKED_KEY = WM_APP + 1;      // from the keyboard hook: which key
constexpr UINT UM_UPDATE_CHECKED = WM_APP + 2;  // from the update check: 1 a different version
constexpr UINT UM_FINISH_START = WM_APP + 3;    // from OnInitDialog, handled once the window shows

POINT ClientPointFromScreen(HWND hwnd, LPARAM lParam) {
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hwnd, &pt);
    return pt;
}

POINT ClientPoint(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

} // namespace

CQuillonDlg::CQuillonDlg(MainWindowArgs args)
    : CDlgEx(IDD_VELKOR_DIALOG), m_args(std::move(args)), m_pages(m_args.pageProgram) {
    g_pMainDlg = this;
}

CQuillonDlg::~CQuillonDlg() {
    if (g_pMainDlg == this) {
        keyhook::Remove();
        g_pMainDlg = nullptr;
    }
}

RECT CQuillonDlg::PageArea() const {
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    const tabs::Box area = tabs::PageArea(client.right, client.bottom);
    return RECT{area.left, area.top, area.right, area.bottom};
}

bool CQuillonDlg::OnInitDialog() {
    CDlgEx::OnInitDialog();
    fw::MarkStartStep("main-window-created");
    HINSTANCE module = GetModuleHandleW(nullptr);
    m_hIcon = LoadIconW(module, MAKEINTRESOURCEW(IDR_MAINFRAME));
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    keyhook::Install(m_hWnd, UM_HOOKED_KEY);
    fw::MarkStartStep("key-hook");
    m_dwOsMajor = fw::OsMajorVersion();
    // Registered before the shell can send it, and let through although the shell is not elevated.
    CTrayIcon::ListenForShellRestart(m_hWnd, m_dwOsMajor);

    SetWindowLongW(m_hWnd, GWL_STYLE, GetWindowLongW(m_hWnd, GWL_STYLE) | WS_CLIPCHILDREN);
    SetTitle(kAppCaption);
    // Practically invisible until the first page attaches: the pictures are decoded, and the
    // first page process started, once it shows, so that it shows without waiting for them.
    SetWindowPos(m_hWnd, nullptr, 0, 0, 1, 1, SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageW(m_hWnd, UM_FINISH_START, 0, 0);
    return true;
}

void CQuillonDlg::FinishStart() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    SkinFrame frame = CaptionBandFrame();
    SetFrame(frame);
    {
        fw::UniqueBitmap minimize(LoadSkinImage(module, IDB_MINIMIZE_BUTTON));
        fw::UniqueBitmap close(LoadSkinImage(module, IDB_CLOSE_BUTTON));
        SkinPictures pictures;
        pictures.background.Reset(LoadSkinImage(module, IDB_MAIN_BACKGROUND));
        pictures.stretch = true;
        pictures.minimize = minimize.Get();
        pictures.maximize.Reset(LoadSkinImage(module, IDB_MAXIMIZE_BUTTON));
        pictures.restore.Reset(LoadSkinImage(module, IDB_RESTORE_BUTTON));
        pictures.close = close.Get();
        SetSkin(std::move(pictures));
    }
    frame.resizable = true;
    SetFrame(frame);
    m_caption.Bind(m_hWnd);
    m_caption.Layout(1, false);
    m_strip.Create(m_hWnd);
    fw::MarkStartStep("main-window-skin");
    LaunchPageProcess();
    fw::MarkStartStep("page-process-started");
    LoadHotKeys();
    if (m_dwOsMajor != 0 && m_dwOsMajor < 6) CreatePreloadDialog();
}

bool CQuillonDlg::LaunchPageProcess() {
    if (!m_pages.Launch(m_hWnd)) return false;
    SetTimer(m_hWnd, kTimerPendingPage, kPendingPageMs, nullptr);
    return true;
}

void CQuillonDlg::OnPendingPageTimer() {
    if (!m_pages.HasPending()) {
        KillTimer(m_hWnd, kTimerPendingPage);
        return;
    }
    if (!m_pages.PendingEnded()) return;
    // Ended without attaching (it crashed, or its frame could not be made): as a login that
    // ended without a game. Its key goes with it; without a tab the program ends.
    KillTimer(m_hWnd, kTimerPendingPage);
    if (tabs::DecideClose(kSelfPostMarker, m_pages.Count(), true) == tabs::CloseAction::ExitNow)
        ExitProgram();
    else
        m_pages.DropPending();
}

int CQuillonDlg::AskPlayer(MsgBoxKind kind, const std::wstring& text) {
    return AppMessageBox(kind, kAppCaption, text.c_str(), m_hWnd);
}

BOOL CQuillonDlg::PaintWindow(HDC target) {
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    fw::Canvas canvas(target, client.right, client.bottom);
    if (!canvas.Ok() || !PaintSkin(canvas)) return FALSE;
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    m_strip.Draw(canvas, font, m_pages.Count(), m_pages.Keys());
    canvas.CopyTo(target);
    return TRUE;
}

bool CQuillonDlg::OnStripButtonDown(POINT client) {
    bool show = false;
    if (!m_strip.Press(client, m_pages.Count(), m_pages.HomeShown(), show)) return false;
    if (show) ShowTab(m_pages.At(m_strip.Current()));
    return true;
}

bool CQuillonDlg::OnStripButtonUp(POINT client, bool middle) {
    int close = -1;
    if (!m_strip.Release(client, m_pages.Count(), middle, close)) return false;
    if (close >= 0) CloseTab(close);
    return true;
}

void CQuillonDlg::ShowTab(HWND frame) { m_pages.Show(frame, PageArea()); }

void CQuillonDlg::SwitchToNextTab() {
    if (m_pages.Empty() || !IsWindowVisible(m_hWnd) || IsIconic(m_hWnd)) return;
    // With one tab, or over the home page, the key only brings the current tab to view.
    if (m_strip.Next(m_pages.Count(), m_pages.HomeShown())) ShowTab(m_pages.At(m_strip.Current()));
}

void CQuillonDlg::CloseTab(int index) {
    const int count = m_pages.Count();
    if (index < 0 || index >= count) return;
    if (count == 1) {
        m_strip.Unlit(index, true);
        OnCancel();  // the exit question
        return;
    }
    if (AskPlayer(MsgBoxKind::YesNo, L"确定要退出账号：" + m_pages.KeyAt(index) + L" ?") != IDYES) {
        m_strip.Unlit(index, false);
        return;
    }
    // The window may have changed while the question was open.
    const HWND closed = m_pages.Remove(index);
    if (!closed) return;
    m_strip.Removed(index, m_pages.Count());
    ShowTab(m_pages.At(m_strip.Current()));
    // Out of sight at once, not when its process gets round to closing it.
    ShowWindow(closed, SW_HIDE);
    SetParent(closed, nullptr);
    PostMessageW(closed, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void CQuillonDlg::OnCancel() {
    if (AskPlayer(MsgBoxKind::YesNo, L"窗口即将关闭，确定要退出游戏？") == IDYES) ExitProgram();
}

void CQuillonDlg::ExitProgram() {
    m_pages.CloseAll();
    keyhook::Remove();
    m_tray.Remove();
    PostQuitMessage(0);
}

LRESULT CQuillonDlg::OnCopyData(const COPYDATASTRUCT* data) {
    std::wstring key;
    if (!data || !tabs::ReadKeyRecord(data->lpData, data->cbData, key)) return 0;
    return m_pages.AddKey(key) ? 1 : 0;
}

void CQuillonDlg::OnPageAttach(HWND frame, bool isHome) {
    if (!m_pages.Accepts(m_hWnd, frame)) return;
    if (m_pages.Empty()) {
        OnSkinToggleMaximize();
        m_tray.Add(m_hWnd, m_hIcon, UM_TRAY_NOTIFY, kAppCaption);
        SetTimer(m_hWnd, kTimerSoundState, kSoundStateMs, nullptr);
    }
    // The operator's notice, once per run, a few seconds after the first page is there.
    if (!m_bNoticeStarted && m_args.noticeDelayMs) {
        m_bNoticeStarted = true;
        SetTimer(m_hWnd, kTimerNotice, m_args.noticeDelayMs, nullptr);
    }
    if (isHome) {
        m_pages.AttachHome(frame);
        return;
    }
    m_pages.AttachTab(frame);
    m_strip.Added(m_pages.Count());
}

void CQuillonDlg::OnAddAccountChoice(WPARAM choice) {
    if (choice == 1) {
        if (m_pages.Count() < tabs::kMaxTabs)
            LaunchPageProcess();
        else
            AskPlayer(MsgBoxKind::Ok, L"当前窗体只支持3个游戏页");
    } else if (choice == 0) {
        fw::StartProgram();  // a new instance with a main window of its own
    }
}

void CQuillonDlg::OnSize(int cx) {
    const RECT area = PageArea();
    if (HWND page = m_pages.PageInView(m_strip.Current()))
        MoveWindow(page, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
    if (cx == m_nLastWidth) return;
    m_caption.Layout(cx, true);
    RECT caption = {0, 0, cx, tabs::kCaptionBand};
    InvalidateRect(m_hWnd, &caption, TRUE);
    // Old systems leave the corner the window gave up painted: have it redrawn.
    if (m_dwOsMajor != 0 && m_dwOsMajor < 6 && m_nLastWidth > cx) {
        RECT wr = {};
        GetWindowRect(m_hWnd, &wr);
        RedrawDesktopArea(RECT{wr.right - 4, wr.top, wr.right, wr.top + 4});
    }
    m_nLastWidth = cx;
}

void CQuillonDlg::RedrawDesktopArea(const RECT& screen) {
    RedrawWindow(GetDesktopWindow(), &screen, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool CQuillonDlg::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
    case IDC_BTN_HIDE:
        if (code == BN_CLICKED) ToggleHideRestore();
        return true;
    case IDC_BTN_SOUND:
        if (code == BN_CLICKED) m_bMuted = !m_bMuted;
        return true;
    case IDC_BTN_SYSTEM:
        if (code == BN_CLICKED) ShowMainMenu(false);
        return true;
    case IDC_LBL_ADD_ACCOUNT:
        if (code == STN_CLICKED) m_caption.ShowAddAccountPopup(m_hWnd);
        return true;
    }
    return CDlgEx::OnCommand(id, code, control);
}

bool CQuillonDlg::PreTranslateMessage(MSG& msg) {
    const bool keyDown = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if (keyDown && msg.lParam != kSelfPostMarker &&
        hotkeys::HotKeyMatches(m_switchKey, static_cast<int>(msg.wParam), hotkeys::CurrentModifiers())) {
        SwitchToNextTab();
        return true;
    }
    // Neither cancels the window nor presses a button.
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_ESCAPE || msg.wParam == VK_SPACE)) return true;
    if (msg.hwnd == m_hWnd && msg.message == WM_SYSCOMMAND) {
        const UINT command = static_cast<UINT>(msg.wParam & 0xFFF0);
        if (command == SC_CLOSE) {
            switch (tabs::DecideClose(msg.lParam, m_pages.Count(), m_pages.HasPending())) {
            case tabs::CloseAction::ExitNow:
            case tabs::CloseAction::EndPendingAndExit:  // ExitProgram ends the pending page first
                ExitProgram();
                return true;
            case tabs::CloseAction::DropPendingPage:
                m_pages.DropPending();
                return true;
            case tabs::CloseAction::Normal:
                break;
            }
        } else if (command == SC_RESTORE && m_pages.Empty()) {
            ShowWindow(m_hWnd, SW_RESTORE);
        }
    }
    // Ctrl+D and F5 belong to the page.
    const bool ctrlD = msg.message == WM_CHAR && pagekeys::IsCtrlDChar(msg.wParam, HIWORD(msg.lParam));
    const bool f5 = msg.message == WM_KEYDOWN && msg.wParam == VK_F5 && !m_pages.Empty();
    if (ctrlD || f5) {
        if (HWND page = m_pages.KeyTarget(m_strip.Current())) PostToPage(page, msg.message, msg.wParam, msg.lParam);
        return true;
    }
    return CDlgEx::PreTranslateMessage(msg);
}

LRESULT CQuillonDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        if (IsIconic(m_hWnd)) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(m_hWnd, &ps);
            RECT client = {};
            GetClientRect(m_hWnd, &client);
            const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
            DrawIcon(dc, (client.right - cx + 1) / 2, (client.bottom - cy + 1) / 2, m_hIcon);
            EndPaint(m_hWnd, &ps);
            return 0;
        }
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_ERASEBKGND:
        return PaintWindow(reinterpret_cast<HDC>(wParam));
    case WM_SIZE: {
        const LRESULT r = CDlgEx::HandleMessage(msg, wParam, lParam);
        OnSize(static_cast<short>(LOWORD(lParam)));
        return r;
    }
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!m_pages.Empty() && !(pos->flags & SWP_NOSIZE)) tabs::ClampToMinimum(m_pages.Count(), pos->cx, pos->cy);
        break;
    }
    case WM_NCHITTEST: {
        const LRESULT r = CDlgEx::HandleMessage(msg, wParam, lParam);
        m_strip.OnMouseAt(ClientPointFromScreen(m_hWnd, lParam), r, m_pages.Count(), m_pages.Keys());
        return r;
    }
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
        if (OnStripButtonDown(msg == WM_LBUTTONDOWN ? ClientPoint(lParam) : ClientPointFromScreen(m_hWnd, lParam)))
            return 0;
        break;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
        if (OnStripButtonUp(ClientPoint(lParam), msg == WM_MBUTTONUP)) return 0;
        break;
    case WM_NCLBUTTONUP:
    case WM_NCMBUTTONUP:
        if (OnStripButtonUp(ClientPointFromScreen(m_hWnd, lParam), msg == WM_NCMBUTTONUP)) return 0;
        break;
    case WM_LBUTTONDBLCLK:
        if (CTabStripView::OnTab(ClientPoint(lParam), m_pages.Count())) return 0;
        break;
    case WM_NCLBUTTONDBLCLK:
        if (CTabStripView::OnTab(ClientPointFromScreen(m_hWnd, lParam), m_pages.Count())) return 0;
        break;
    case WM_NCMOUSEMOVE:
        m_strip.OnCaptionMouseMove(ClientPointFromScreen(m_hWnd, lParam));
        break;
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
        m_strip.OnMouseLeave();
        break;
    case WM_NOTIFY:
        if (m_strip.OnNotify(reinterpret_cast<const NMHDR*>(lParam))) return 0;
        break;
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case UM_PAGE_ATTACH:
        OnPageAttach(reinterpret_cast<HWND>(wParam), lParam != 0);
        return 0;
    case UM_ADD_ACCOUNT_CHOICE:
        OnAddAccountChoice(wParam);
        return 0;
    case UM_TRAY_NOTIFY:
        OnTrayNotify(lParam);
        return 0;
    case UM_SHOW_TRAY_MENU:
        ShowMainMenu(true);
        return 0;
    case UM_RELOAD_HOTKEYS:
        LoadHotKeys();
        return 0;
    case UM_HOOKED_KEY:
        OnHookedKey(wParam);
        return 0;
    case UM_UPDATE_CHECKED:
        OnUpdateChecked(wParam != 0);
        return 0;
    case UM_FINISH_START:
        FinishStart();
        return 0;
    case WM_TIMER:
        if (wParam == kTimerSoundState) OnSoundTimer();
        if (wParam == kTimerPendingPage) OnPendingPageTimer();
        if (wParam == kTimerNotice) {
            KillTimer(m_hWnd, kTimerNotice);
            m_dlgPopInfo.Open(m_hWnd);
        }
        break;  // the timers go on to the default handling
    }
    if (m_tray.OnShellMessage(msg)) return 0;
    return CDlgEx::HandleMessage(msg, wParam, lParam);
}

// ---- hot keys, sound, tray icon ---------------------------------------------------------

void CQuillonDlg::LoadHotKeys() {
    const hotkeys::HotKey boss = hotkeys::ReadHotKey(hotkeys::HotKeyKind::Boss);
    m_switchKey = hotkeys::ReadHotKey(hotkeys::HotKeyKind::Switch);
    for (HWND frame : m_pages.Frames()) PostToPage(frame, UM_PAGE_RELOAD_HOTKEYS, 0, 0);
    if (m_pages.Home()) PostToPage(m_pages.Home(), UM_PAGE_RELOAD_HOTKEYS, 0, 0);
    keyhook::SetKeys(boss, hotkeys::ReadHotKey(hotkeys::HotKeyKind::Sound));
}

void CQuillonDlg::OnHookedKey(WPARAM which) {
    // Without a game the keys are left to whoever has the focus; while the player is
    // setting the keys, pressing one of them must not act on the window.
    if (m_pages.Empty() || m_settings.Open()) return;
    if (which == keyhook::kBossKeyPressed)
        ToggleHideRestore();
    else if (which == keyhook::kSoundKeyPressed)
        m_bMuted = !m_bMuted;
}

void CQuillonDlg::ToggleHideRestore() {
    if (IsWindowVisible(m_hWnd)) {
        ShowWindow(m_hWnd, SW_HIDE);
        // The popups of the window go with it; the settings dialog closes unsaved.
        for (HWND popup : {m_caption.AddAccountPopup(), m_dlgPopInfo.Handle()})
            if (popup && IsWindow(popup)) ShowWindow(popup, SW_HIDE);
        m_settings.Cancel();
        return;
    }
    ShowWindow(m_hWnd, SW_RESTORE);
    BringToFront();
}

void CQuillonDlg::BringToFront() { fw::BringToFront(m_hWnd, true); }

void CQuillonDlg::OnTrayNotify(LPARAM mouseMessage) {
    if (mouseMessage == WM_LBUTTONUP)
        ToggleHideRestore();
    else if (mouseMessage == WM_RBUTTONUP)
        PostMessageW(m_hWnd, UM_SHOW_TRAY_MENU, 0, 0);
}

void CQuillonDlg::OnSoundTimer() {
    for (HWND frame : m_pages.Frames()) PostToPage(frame, UM_SET_MUTE, m_bMuted ? 1 : 0, 0);
    if (m_bMuted == m_bLastShownMuted) return;
    m_bLastShownMuted = m_bMuted;
    m_caption.ShowMuted(m_bMuted);
}

void CQuillonDlg::PostToPage(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    PostMessageW(page, msg, wParam, lParam);
}

// ---- menus ------------------------------------------------------------------------------

UINT CQuillonDlg::TrackMenu(HMENU menu, UINT flags, POINT at) {
    return static_cast<UINT>(TrackPopupMenu(menu, flags, at.x, at.y, 0, m_hWnd, nullptr));
}

void CQuillonDlg::ShowMainMenu(bool trayMenu) {
    const hotkeys::HotKey boss = hotkeys::ReadHotKey(hotkeys::HotKeyKind::Boss);
    menus::UniqueMenu menu = menus::BuildMainMenu(trayMenu, hotkeys::FormatHotKey(boss.key, boss.modifiers));
    if (!menu) return;
    POINT at = {};
    UINT flags = 0;
    if (trayMenu) {
        SetForegroundWindow(m_hWnd);
        GetCursorPos(&at);
        flags = TPM_RIGHTALIGN | TPM_BOTTOMALIGN;
    } else {
        const RECT button = m_caption.SystemButtonRect();
        at = POINT{button.left, button.bottom + 2};
        flags = TPM_LEFTALIGN | TPM_TOPALIGN;
    }
    const UINT command = TrackMenu(menu.Get(), flags | TPM_RETURNCMD, at);
    menu.Reset();
    RunMenuCommand(command, trayMenu);
}

void CQuillonDlg::RunMenuCommand(UINT command, bool trayMenu) {
    switch (command) {
    case menus::kCmdRefresh:
        PostMessageW(m_hWnd, WM_KEYDOWN, VK_F5, kSelfPostMarker);
        break;
    case menus::kCmdHideRestore:
        ToggleHideRestore();
        break;
    case menus::kCmdClearCache:
        StartCacheCleaning();
        AskPlayer(MsgBoxKind::Ok, L"缓存清除完毕！");
        break;
    case menus::kCmdUpdate:
        m_updateCheck.Start(m_hWnd, UM_UPDATE_CHECKED, m_args.runMode);
        break;
    case menus::kCmdSettings:
        RunSettingsDialog();
        break;
    case menus::kCmdExit:
        if (trayMenu) ExitProgram();
        break;
    default:
        break;  // the version item, or the menu dismissed
    }
}

void CQuillonDlg::OnUpdateChecked(bool differs) {
    m_updateCheck.Done();
    if (!differs) {
        AskPlayer(MsgBoxKind::Ok, L"已经是最新版本，无需进行更新。");
        return;
    }
    // The tabs are closed only for an update that is under way.
    if (!StartUpdateProgram()) {
        AskPlayer(MsgBoxKind::Ok, L"更新程序无法启动，请稍后再试。");
        return;
    }
    ExitProgram();
}

bool CQuillonDlg::StartUpdateProgram() { return fw::StartProgram(nullptr, L"/update"); }

void CQuillonDlg::StartCacheCleaning() { ::StartCacheCleaning(); }

void CQuillonDlg::RunSettingsDialog() { m_settings.Run(m_hWnd); }

void CQuillonDlg::CreatePreloadDialog() {
    if (m_dlgPreload.Handle()) return;
    m_dlgPreload.SetAskToRetry(false);
    if (!m_dlgPreload.CreateModeless(m_hWnd)) return;
    // It shows itself once its page has arrived: keep it where nothing of it can be seen.
    SetWindowPos(m_dlgPreload.Handle(), nullptr, 0, 0, 1, 1, SWP_NOZORDER | SWP_NOACTIVATE);
}
