#include "gamewnd/QuillonDlg.h"
#include "gamewnd/CacheCleaning.h"
#include "common/AppMessages.h"
#include "framework/Canvas.h"
#include "framework/ProgramStart.h"
#include "framework/SystemVersion.h"
#include "gamewnd/KeyboardHook.h"
#include "gamewnd/MainMenus.h"
#include "hotkeys/HotKeyStore.h"
#include "hotkeys/KeyNames.h"
#include "hotkeys/SettingDlg.h"
#include "skin/MessageBox.h"
#include "skin/SkinImage.h"
#include "update/UpdateCheck.h"
#include "resource.h"

#include <shellapi.h>
#include <commctrl.h>
#include <windowsx.h>
#include <cwchar>

CQuillonDlg* g_pMainDlg = nullptr;
// The settings dialog while the menu's "设置..." shows it.
CSettingDlg* g_pOpenSettingsDlg = nullptr;

namespace {

// Messages the window posts to itself.
constexpr UINT UM_HOOKED_KEY = WM_APP + 1;      // from the keyboard hook: which key
constexpr UINT UM_UPDATE_CHECKED = WM_APP + 2;  // from the update worker: 1 a different version

// Sent by the shell to every top-level window when it (re)starts: its icons are gone.
UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

constexpr int kPageLeft = 4, kPageTop = 30, kPageRight = 4, kPageBottom = 4;

RECT ToRect(const tabs::Box& b) { return RECT{b.left, b.top, b.right, b.bottom}; }

POINT ClientPointFromScreen(HWND hwnd, LPARAM lParam) {
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hwnd, &pt);
    return pt;
}

POINT ClientPoint(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

} // namespace

CQuillonDlg::CQuillonDlg(MainWindowArgs args) : CDlgEx(IDD_VELKOR_DIALOG), m_args(std::move(args)) {
    g_pMainDlg = this;
}

CQuillonDlg::~CQuillonDlg() {
    if (g_pMainDlg == this) {
        keyhook::Remove();
        g_pMainDlg = nullptr;
    }
    if (m_updateWorker.joinable()) m_updateWorker.join();
    DeleteTrayIcon();
}

RECT CQuillonDlg::PageArea() const {
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    return RECT{kPageLeft, kPageTop, client.right - kPageRight, client.bottom - kPageBottom};
}

bool CQuillonDlg::OnInitDialog() {
    CDlgEx::OnInitDialog();
    HINSTANCE module = GetModuleHandleW(nullptr);
    m_hIcon = LoadIconW(module, MAKEINTRESOURCEW(IDR_MAINFRAME));
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    InstallKeyboardHook();
    m_dwOsMajor = fw::OsMajorVersion();

    SetWindowLongW(m_hWnd, GWL_STYLE, GetWindowLongW(m_hWnd, GWL_STYLE) | WS_CLIPCHILDREN);
    SetTitle(kAppCaption);
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

    BindControl(IDC_BTN_HIDE, m_btnHide);
    BindControl(IDC_BTN_SOUND, m_btnSound);
    BindControl(IDC_BTN_SYSTEM, m_btnSystem);
    BindControl(IDC_LBL_ADD_ACCOUNT, m_lblAddAccount);
    struct Picture {
        CBtnEx& button;
        UINT id;
    };
    for (const Picture& p : {Picture{m_btnHide, IDB_HIDE_BUTTON}, Picture{m_btnSound, IDB_SOUND_ON},
                             Picture{m_btnSystem, IDB_SYSTEM_BUTTON}}) {
        fw::UniqueBitmap image(LoadSkinImage(module, p.id));
        p.button.SetButtonImage(image.Get(), false);
    }
    m_btnSystem.SetTextColour(RGB(255, 255, 255));
    {
        fw::UniqueBitmap icon(LoadSkinImage(module, IDB_ADD_ACCOUNT_ICON));
        m_lblAddAccount.SetStaticImage(icon.Get());
    }
    m_lblAddAccount.SetTextColour(RGB(255, 255, 255));
    m_lblAddAccount.SetHandCursor(true);
    StaticFontOptions font;
    font.underline = true;
    m_lblAddAccount.SetFontOptions(font);

    // Practically invisible until the first page attaches.
    SetWindowPos(m_hWnd, nullptr, 0, 0, 1, 1, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutControls(1);
    CreateTabImages();
    CreateTabTip();
    LaunchPageProcess();
    LoadHotKeys();
    if (m_dwOsMajor != 0 && m_dwOsMajor < 6) CreatePreloadDialog();
    return true;
}

void CQuillonDlg::LayoutControls(int cx) {
    struct Place {
        HWND control;
        int x, y, w, h;
    };
    for (const Place& p : {Place{m_btnHide, cx - 114, 0, 27, 27}, Place{m_btnSound, cx - 141, 0, 27, 27},
                           Place{m_btnSystem, cx - 185, 0, 44, 28}, Place{m_lblAddAccount, cx - 285, 7, 92, 16}}) {
        if (p.control) SetWindowPos(p.control, nullptr, p.x, p.y, p.w, p.h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CQuillonDlg::CreateTabImages() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    fw::UniqueBitmap tabs(LoadSkinImage(module, IDB_TAB_BACKGROUND));
    fw::UniqueBitmap close(LoadSkinImage(module, IDB_TAB_CLOSE));
    m_ilTabs = MakeKeyedImageList(tabs.Get(), 3);
    m_ilTabClose = MakeKeyedImageList(close.Get(), 3);
}

void CQuillonDlg::CreateTabTip() {
    // Owned by the window, so it goes with it.
    m_tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    if (!m_tip) return;
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(m_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(m_tip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, 500);
    SendMessageW(m_tip, TTM_ACTIVATE, FALSE, 0);
}

void CQuillonDlg::SetTipActive(bool active, const std::wstring& text) {
    if (active) m_strTip = text;
    m_bTipActive = active;
    if (m_tip) SendMessageW(m_tip, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}

bool CQuillonDlg::LaunchPageProcess() {
    wchar_t arguments[64];
    // The window handle keeps its value in 32 bits; the page process reads it back signed.
    if (std::swprintf(arguments, 64, L"/newgm /%lld /%d",
                      static_cast<long long>(static_cast<int>(reinterpret_cast<INT_PTR>(m_hWnd))),
                      static_cast<int>(m_tabWnds.size())) < 0)
        return false;
    fw::UniqueHandle process;
    const wchar_t* program = m_args.pageProgram.empty() ? nullptr : m_args.pageProgram.c_str();
    if (!fw::StartProgram(program, arguments, &process)) return false;
    m_hPendingPage = std::move(process);
    return true;
}

int CQuillonDlg::AskPlayer(MsgBoxKind kind, const std::wstring& text) {
    return AppMessageBox(kind, kAppCaption, text.c_str(), m_hWnd);
}

void CQuillonDlg::InvalidateBox(const tabs::Box& box) {
    const RECT r = ToRect(box);
    InvalidateRect(m_hWnd, &r, TRUE);
}

BOOL CQuillonDlg::PaintWindow(HDC target) {
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    fw::Canvas canvas(target, client.right, client.bottom);
    if (!canvas.Ok() || !PaintSkin(canvas)) return FALSE;
    DrawTabs(canvas);
    canvas.CopyTo(target);
    return TRUE;
}

void CQuillonDlg::DrawTabs(HDC canvas) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    fw::SelectObjectScope selectFont(canvas, font);
    SetBkMode(canvas, TRANSPARENT);
    SetTextColor(canvas, RGB(0, 0, 0));
    const int count = static_cast<int>(m_tabWnds.size());
    for (int i = 0; i < count; ++i) {
        const int frame = i == m_nCurTab ? 2 : (i == m_nHotTab ? 1 : 0);
        const tabs::Box tab = tabs::TabRect(i);
        ImageList_DrawEx(m_ilTabs.Get(), frame, canvas, tab.left, tab.top, tab.right - tab.left,
                         tab.bottom - tab.top, CLR_DEFAULT, CLR_DEFAULT, ILD_TRANSPARENT | ILD_SCALE);
        if (i == m_nHotTab && m_nHotPart >= 0) {
            const tabs::Box close = tabs::CloseRect(i);
            ImageList_DrawEx(m_ilTabClose.Get(), m_nHotPart, canvas, close.left, close.top, tabs::kCloseSize,
                             tabs::kCloseSize, CLR_DEFAULT, CLR_DEFAULT, ILD_TRANSPARENT | ILD_SCALE);
        }
        if (static_cast<size_t>(i) < m_accountKeys.Size()) {
            RECT label = ToRect(tabs::LabelRect(i));
            const std::wstring& key = m_accountKeys.At(static_cast<size_t>(i));
            DrawTextW(canvas, key.c_str(), static_cast<int>(key.size()), &label,
                      DT_SINGLELINE | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    }
}

void CQuillonDlg::ClearHotTab() {
    if (m_nHotTab >= 0) InvalidateBox(tabs::TabRect(m_nHotTab));
    m_nHotTab = m_nHotPart = -1;
}

void CQuillonDlg::OnHitTest(LRESULT baseResult, POINT client) {
    const int count = static_cast<int>(m_tabWnds.size());
    const tabs::StripHit hit = tabs::HitTestStrip(client.x, client.y, count);
    if (hit.tab < 0) {
        ClearHotTab();
        SetTipActive(false);
        return;
    }
    const int i = hit.tab;
    const std::wstring label = static_cast<size_t>(i) < m_accountKeys.Size() ? m_accountKeys.At(i) : std::wstring();
    if (!m_bTipActive)
        SetTipActive(true, label);
    else if (i != m_nHotTab)
        SetTipActive(false);
    int part = 0;
    if (hit.onClose) {
        part = (GetKeyState(VK_LBUTTON) & 0x8000) ? 2 : 1;
        SetTipActive(false);
    }
    if (i != m_nHotTab || part != m_nHotPart) {
        const int old = m_nHotTab;
        if (old >= 0) InvalidateBox(old != i ? tabs::TabRect(old) : tabs::CloseRect(old));
        m_nHotPart = part;
        m_nHotTab = i;
        if (old != i) InvalidateBox(tabs::TabRect(i));
    }
    if (!m_bTrackingLeave) {
        // Over the caption band the mouse is in the non-client area: ask for that leave too,
        // so that a tab does not stay lit after the mouse has left the window.
        TRACKMOUSEEVENT track = {sizeof(track)};
        track.dwFlags = TME_LEAVE | (baseResult == HTCLIENT ? 0 : TME_NONCLIENT);
        track.hwndTrack = m_hWnd;
        track.dwHoverTime = HOVER_DEFAULT;
        m_bTrackingLeave = TrackMouseEvent(&track) != FALSE;
    }
}

bool CQuillonDlg::OnStripButtonDown(POINT client) {
    const tabs::StripHit hit = tabs::HitTestStrip(client.x, client.y, static_cast<int>(m_tabWnds.size()));
    if (hit.tab < 0) return false;
    const int i = hit.tab;
    if (i != m_nCurTab) {
        const int old = m_nCurTab;
        m_nCurTab = i;
        ShowTab(m_tabWnds[i]);
        InvalidateBox(tabs::TabRect(old));
        InvalidateBox(tabs::TabRect(i));
    } else if (m_hHomeWnd && IsWindowVisible(m_hHomeWnd)) {
        ShowTab(m_tabWnds[i]);
    }
    if (hit.onClose) {
        m_nHotTab = i;
        m_nHotPart = 2;
        InvalidateBox(tabs::CloseRect(i));
    }
    return true;
}

bool CQuillonDlg::OnStripButtonUp(POINT client, bool middle) {
    const tabs::StripHit hit = tabs::HitTestStrip(client.x, client.y, static_cast<int>(m_tabWnds.size()));
    if (hit.tab < 0) return false;
    if (middle || hit.onClose) CloseTab(hit.tab);
    return true;
}

void CQuillonDlg::ShowTab(HWND frame) {
    const RECT area = PageArea();
    for (HWND tab : m_tabWnds) {
        if (tab != frame) {
            ShowWindow(tab, SW_HIDE);
            continue;
        }
        MoveWindow(tab, area.left, area.top, area.right - area.left, area.bottom - area.top, FALSE);
        ShowWindow(tab, SW_SHOW);
        SetForegroundWindow(tab);
        if (m_hHomeWnd && IsWindowVisible(m_hHomeWnd)) ShowWindow(m_hHomeWnd, SW_HIDE);
    }
}

void CQuillonDlg::SwitchToNextTab() {
    if (m_tabWnds.empty() || !IsWindowVisible(m_hWnd) || IsIconic(m_hWnd)) return;
    const int count = static_cast<int>(m_tabWnds.size());
    // With one tab, or over the home page, the key only brings the current tab to view.
    if (count > 1 && !(m_hHomeWnd && IsWindowVisible(m_hHomeWnd))) {
        InvalidateBox(tabs::TabRect(m_nCurTab));
        m_nCurTab = (m_nCurTab + 1) % count;
        InvalidateBox(tabs::TabRect(m_nCurTab));
    }
    if (m_nCurTab >= 0 && m_nCurTab < count) ShowTab(m_tabWnds[m_nCurTab]);
}

void CQuillonDlg::CloseTab(int index) {
    const int count = static_cast<int>(m_tabWnds.size());
    if (index < 0 || index >= count) return;
    if (count == 1) {
        InvalidateBox(tabs::CloseRect(index));
        m_nHotTab = m_nHotPart = -1;
        OnCancel();  // the exit question
        return;
    }
    const std::wstring key = static_cast<size_t>(index) < m_accountKeys.Size() ? m_accountKeys.At(index) : std::wstring();
    if (AskPlayer(MsgBoxKind::YesNo, L"确定要退出账号：" + key + L" ?") != IDYES) {
        InvalidateBox(tabs::TabRect(index));
        m_nHotTab = m_nHotPart = -1;
        return;
    }
    // The window may have changed while the question was open.
    if (index >= static_cast<int>(m_tabWnds.size())) return;
    const HWND closed = m_tabWnds[index];
    m_tabWnds.erase(m_tabWnds.begin() + index);
    m_accountKeys.RemoveAt(static_cast<size_t>(index));
    const int last = static_cast<int>(m_tabWnds.size()) - 1;
    const int shown = index > last ? last : index;
    ShowTab(m_tabWnds[shown]);
    m_nCurTab = shown;
    InvalidateBox(tabs::StripRect(static_cast<int>(m_tabWnds.size()) + 1));
    SetParent(closed, nullptr);
    PostMessageW(closed, WM_SYSCOMMAND, SC_CLOSE, 0);
    m_nHotTab = m_nHotPart = -1;
}

void CQuillonDlg::OnCancel() {
    if (AskPlayer(MsgBoxKind::YesNo, L"窗口即将关闭，确定要退出游戏？") == IDYES) ExitProgram();
}

void CQuillonDlg::ExitProgram() {
    if (m_hPendingPage) TerminateProcess(m_hPendingPage.Get(), 0);
    m_hPendingPage.Reset();
    RemoveKeyboardHook();
    for (HWND frame : m_tabWnds) {
        SetParent(frame, nullptr);
        ShowWindow(frame, SW_HIDE);
        PostMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    DeleteTrayIcon();
    PostQuitMessage(0);
}

LRESULT CQuillonDlg::OnCopyData(const COPYDATASTRUCT* data) {
    std::wstring key;
    if (!data || !tabs::ReadKeyRecord(data->lpData, data->cbData, key)) return 0;
    return m_accountKeys.Add(key) ? 1 : 0;
}

bool CQuillonDlg::AcceptsFrame(HWND frame) const {
    if (!frame || !IsWindow(frame) || frame == m_hWnd || frame == m_hHomeWnd) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(frame, &pid);
    if (pid == 0 || pid == GetCurrentProcessId()) return false;
    for (HWND tab : m_tabWnds)
        if (tab == frame) return false;
    // Re-parenting an ancestor (or owner) of this window into it would tie the window tree
    // into a ring.
    for (HWND up = GetParent(m_hWnd); up; up = GetParent(up))
        if (up == frame) return false;
    return true;
}

void CQuillonDlg::OnPageAttach(HWND frame, bool isHome) {
    if (!AcceptsFrame(frame)) return;
    if (m_tabWnds.empty()) {
        OnSkinToggleMaximize();
        AddTrayIcon();
        StartSoundTimer();
    }
    // The operator's notice, once per run, a few seconds after the first page is there.
    if (!m_bNoticeStarted && m_args.noticeDelayMs) {
        m_bNoticeStarted = true;
        SetTimer(m_hWnd, kTimerNotice, m_args.noticeDelayMs, nullptr);
    }
    if (isHome) {
        m_hHomeWnd = frame;
        return;
    }
    for (HWND tab : m_tabWnds) ShowWindow(tab, SW_HIDE);
    if (m_hHomeWnd && IsWindow(m_hHomeWnd)) ShowWindow(m_hHomeWnd, SW_HIDE);
    m_tabWnds.push_back(frame);
    m_nCurTab = static_cast<int>(m_tabWnds.size()) - 1;
    m_hPendingPage.Reset();
    InvalidateBox(tabs::StripRect(static_cast<int>(m_tabWnds.size())));
    // The frame shows itself once its first page has loaded.
}

void CQuillonDlg::OnAddAccountChoice(WPARAM choice) {
    if (choice == 1) {
        if (m_tabWnds.size() < static_cast<size_t>(tabs::kMaxTabs))
            LaunchPageProcess();
        else
            AskPlayer(MsgBoxKind::Ok, L"当前窗体只支持3个游戏页");
    } else if (choice == 0) {
        fw::StartProgram();  // a new instance with a main window of its own
    }
}

void CQuillonDlg::OnSize(int cx, int cy) {
    const RECT area = PageArea();
    HWND page = nullptr;
    if (m_hHomeWnd && IsWindowVisible(m_hHomeWnd))
        page = m_hHomeWnd;
    else if (!m_tabWnds.empty() && m_nCurTab >= 0 && m_nCurTab < static_cast<int>(m_tabWnds.size()))
        page = m_tabWnds[m_nCurTab];
    if (page) MoveWindow(page, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
    if (cx != m_nLastWidth) {
        LayoutControls(cx);
        for (HWND control : {m_btnHide.Handle(), m_btnSound.Handle(), m_btnSystem.Handle(), m_lblAddAccount.Handle()})
            if (control) InvalidateRect(control, nullptr, TRUE);
        RECT caption = {0, 0, cx, kPageTop};
        InvalidateRect(m_hWnd, &caption, TRUE);
        // Old systems leave the corner the window gave up painted: have it redrawn.
        if (m_dwOsMajor != 0 && m_dwOsMajor < 6 && m_nLastWidth > cx) {
            RECT wr = {};
            GetWindowRect(m_hWnd, &wr);
            RECT corner = {wr.right - 4, wr.top, wr.right, wr.top + 4};
            RedrawWindow(GetDesktopWindow(), &corner, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        m_nLastWidth = cx;
    }
    (void)cy;
}

bool CQuillonDlg::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
    case IDC_BTN_HIDE:
        if (code == BN_CLICKED) OnHideButton();
        return true;
    case IDC_BTN_SOUND:
        if (code == BN_CLICKED) OnSoundButton();
        return true;
    case IDC_BTN_SYSTEM:
        if (code == BN_CLICKED) OnSystemButton();
        return true;
    case IDC_LBL_ADD_ACCOUNT:
        if (code == STN_CLICKED) ShowAddAccountPopup();
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
        const int count = static_cast<int>(m_tabWnds.size());
        if (command == SC_CLOSE) {
            switch (tabs::DecideClose(msg.lParam, count, m_hPendingPage.Valid())) {
            case tabs::CloseAction::ExitNow:
                ExitProgram();
                return true;
            case tabs::CloseAction::DropPendingPage:
                m_hPendingPage.Reset();
                return true;
            case tabs::CloseAction::EndPendingAndExit:
                ExitProgram();  // ends the pending page process first
                return true;
            case tabs::CloseAction::Normal:
                break;
            }
        } else if (command == SC_RESTORE && count == 0) {
            ShowWindow(m_hWnd, SW_RESTORE);
        }
    }
    // Ctrl+D (the character 4 with the D key's scan code alone) and F5 belong to the page.
    const bool ctrlD = msg.message == WM_CHAR && msg.wParam == 4 && HIWORD(msg.lParam) == 0x0020;
    const bool f5 = msg.message == WM_KEYDOWN && msg.wParam == VK_F5 && !m_tabWnds.empty();
    if (ctrlD || f5) {
        HWND tab = m_nCurTab >= 0 && m_nCurTab < static_cast<int>(m_tabWnds.size()) ? m_tabWnds[m_nCurTab] : nullptr;
        if (tab && IsWindowVisible(tab))
            PostToPage(tab, msg.message, msg.wParam, msg.lParam);
        else if (m_hHomeWnd && IsWindowVisible(m_hHomeWnd))
            PostToPage(m_hHomeWnd, msg.message, msg.wParam, msg.lParam);
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
        OnSize(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return r;
    }
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!m_tabWnds.empty() && !(pos->flags & SWP_NOSIZE)) {
            tabs::ClampToMinimum(static_cast<int>(m_tabWnds.size()), pos->cx, pos->cy);
        }
        break;
    }
    case WM_NCHITTEST: {
        const LRESULT r = CDlgEx::HandleMessage(msg, wParam, lParam);
        OnHitTest(r, ClientPointFromScreen(m_hWnd, lParam));
        return r;
    }
    case WM_LBUTTONDOWN:
        if (OnStripButtonDown(ClientPoint(lParam))) return 0;
        break;
    case WM_NCLBUTTONDOWN:
        if (OnStripButtonDown(ClientPointFromScreen(m_hWnd, lParam))) return 0;
        break;
    case WM_LBUTTONUP:
        if (OnStripButtonUp(ClientPoint(lParam), false)) return 0;
        break;
    case WM_NCLBUTTONUP:
        if (OnStripButtonUp(ClientPointFromScreen(m_hWnd, lParam), false)) return 0;
        break;
    case WM_MBUTTONUP:
        if (OnStripButtonUp(ClientPoint(lParam), true)) return 0;
        break;
    case WM_NCMBUTTONUP:
        if (OnStripButtonUp(ClientPointFromScreen(m_hWnd, lParam), true)) return 0;
        break;
    case WM_LBUTTONDBLCLK: {
        const POINT pt = ClientPoint(lParam);
        if (tabs::HitTestStrip(pt.x, pt.y, static_cast<int>(m_tabWnds.size())).tab >= 0) return 0;
        break;
    }
    case WM_NCLBUTTONDBLCLK: {
        const POINT pt = ClientPointFromScreen(m_hWnd, lParam);
        if (tabs::HitTestStrip(pt.x, pt.y, static_cast<int>(m_tabWnds.size())).tab >= 0) return 0;
        break;
    }
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
        if (m_nHotTab >= 0) ClearHotTab();
        m_bTrackingLeave = false;
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == m_tip && header->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            info->lpszText = const_cast<wchar_t*>(m_strTip.c_str());
            return 0;
        }
        break;
    }
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
    case WM_TIMER:
        if (wParam == kTimerSoundState) OnSoundTimer();
        if (wParam == kTimerNotice) {
            KillTimer(m_hWnd, kTimerNotice);
            m_dlgPopInfo.Open(m_hWnd);
        }
        break;  // both timers go on to the default handling
    }
    if (msg == TaskbarCreatedMessage() && m_bTrayAdded) {
        m_bTrayAdded = false;
        AddTrayIcon();
        return 0;
    }
    return CDlgEx::HandleMessage(msg, wParam, lParam);
}

// ---- hot keys -----------------------------------------------------------------------

void CQuillonDlg::InstallKeyboardHook() {
    TaskbarCreatedMessage();  // registered before the shell can send it
    keyhook::Install(m_hWnd, UM_HOOKED_KEY);
}

void CQuillonDlg::RemoveKeyboardHook() { keyhook::Remove(); }

void CQuillonDlg::LoadHotKeys() {
    const hotkeys::HotKey boss = hotkeys::ReadHotKey(hotkeys::HotKeyKind::Boss);
    m_switchKey = hotkeys::ReadHotKey(hotkeys::HotKeyKind::Switch);
    for (HWND frame : m_tabWnds) PostToPage(frame, UM_PAGE_RELOAD_HOTKEYS, 0, 0);
    if (m_hHomeWnd) PostToPage(m_hHomeWnd, UM_PAGE_RELOAD_HOTKEYS, 0, 0);
    keyhook::SetKeys(boss, hotkeys::ReadHotKey(hotkeys::HotKeyKind::Sound));
}

void CQuillonDlg::OnHookedKey(WPARAM which) {
    // Without a game the keys are left to whoever has the focus; while the player is
    // setting the keys, pressing one of them must not act on the window.
    if (m_tabWnds.empty() || OpenSettingsWindow()) return;
    if (which == keyhook::kBossKeyPressed)
        ToggleHideRestore();
    else if (which == keyhook::kSoundKeyPressed)
        m_bMuted = !m_bMuted;
}

void CQuillonDlg::ToggleHideRestore() {
    if (IsWindowVisible(m_hWnd)) {
        ShowWindow(m_hWnd, SW_HIDE);
        // The popups of the window go with it.
        for (HWND popup : {m_dlgAddAcc.Handle(), m_dlgPopInfo.Handle()})
            if (popup && IsWindow(popup)) ShowWindow(popup, SW_HIDE);
        if (HWND settings = OpenSettingsWindow()) {
            if (IsWindowVisible(settings)) g_pOpenSettingsDlg->EndDialog(IDCANCEL);  // nothing is saved
        }
        return;
    }
    ShowWindow(m_hWnd, SW_RESTORE);
    BringToFront();
}

void CQuillonDlg::BringToFront() {
    const DWORD own = GetCurrentThreadId();
    const DWORD fore = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const bool attach = fore && fore != own;
    if (attach) AttachThreadInput(own, fore, TRUE);
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE;
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, flags);
    SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    SetForegroundWindow(m_hWnd);
    if (attach) AttachThreadInput(own, fore, FALSE);
}

// ---- tray icon, sound switch -----------------------------------------------------------

void CQuillonDlg::AddTrayIcon() {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = m_hWnd;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = UM_TRAY_NOTIFY;
    data.hIcon = m_hIcon;
    wcsncpy_s(data.szTip, ARRAYSIZE(data.szTip), kAppCaption, _TRUNCATE);
    if (Shell_NotifyIconW(NIM_ADD, &data)) m_bTrayAdded = true;
}

void CQuillonDlg::DeleteTrayIcon() {
    if (!m_bTrayAdded) return;
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = m_hWnd;
    data.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &data);
    m_bTrayAdded = false;
}

void CQuillonDlg::OnTrayNotify(LPARAM mouseMessage) {
    if (mouseMessage == WM_LBUTTONUP)
        ToggleHideRestore();
    else if (mouseMessage == WM_RBUTTONUP)
        PostMessageW(m_hWnd, UM_SHOW_TRAY_MENU, 0, 0);
}

void CQuillonDlg::StartSoundTimer() { SetTimer(m_hWnd, kTimerSoundState, kSoundStateMs, nullptr); }

void CQuillonDlg::OnSoundTimer() {
    for (HWND frame : m_tabWnds) PostToPage(frame, UM_SET_MUTE, m_bMuted ? 1 : 0, 0);
    if (m_bMuted == m_bLastShownMuted) return;
    m_bLastShownMuted = m_bMuted;
    fw::UniqueBitmap image(LoadSkinImage(GetModuleHandleW(nullptr), m_bMuted ? IDB_SOUND_MUTED : IDB_SOUND_ON));
    m_btnSound.SetButtonImage(image.Get(), false);
    if (m_btnSound.Handle()) InvalidateRect(m_btnSound.Handle(), nullptr, TRUE);
}

void CQuillonDlg::OnHideButton() { ToggleHideRestore(); }
void CQuillonDlg::OnSoundButton() { m_bMuted = !m_bMuted; }
void CQuillonDlg::OnSystemButton() { ShowMainMenu(false); }

void CQuillonDlg::PostToPage(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    PostMessageW(page, msg, wParam, lParam);
}

// ---- menus ------------------------------------------------------------------------------

UINT CQuillonDlg::TrackMenu(HMENU menu, UINT flags, POINT at) {
    return static_cast<UINT>(TrackPopupMenu(menu, flags | TPM_RETURNCMD, at.x, at.y, 0, m_hWnd, nullptr));
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
        RECT button = {};
        GetWindowRect(m_btnSystem.Handle(), &button);
        at = POINT{button.left, button.bottom + 2};
        flags = TPM_LEFTALIGN | TPM_TOPALIGN;
    }
    const UINT command = TrackMenu(menu.Get(), flags, at);
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
        StartUpdateCheck();
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

void CQuillonDlg::StartUpdateCheck() {
    // The check can wait on the network for long: on this thread it would stall the window
    // and, with it, every key press of the system behind the keyboard hook.
    if (m_bCheckingUpdate) return;
    if (m_updateWorker.joinable()) m_updateWorker.join();
    m_bCheckingUpdate = true;
    const HWND self = m_hWnd;
    const RunMode mode = m_args.runMode;
    m_updateWorker = std::thread([self, mode] {
        const UpdateOffer offer = CheckForUpdate(mode, true);
        PostMessageW(self, UM_UPDATE_CHECKED, offer.differs ? 1 : 0, 0);
    });
}

void CQuillonDlg::OnUpdateChecked(bool differs) {
    if (m_updateWorker.joinable()) m_updateWorker.join();
    m_bCheckingUpdate = false;
    if (!differs) {
        AskPlayer(MsgBoxKind::Ok, L"已经是最新版本，无需进行更新。");
        return;
    }
    StartUpdateProgram();
    ExitProgram();
}

bool CQuillonDlg::StartUpdateProgram() { return fw::StartProgram(nullptr, L"/update"); }

void CQuillonDlg::StartCacheCleaning() { ::StartCacheCleaning(); }

void CQuillonDlg::RunSettingsDialog() {
    CSettingDlg dialog(m_hWnd);
    g_pOpenSettingsDlg = &dialog;
    dialog.Run();
    g_pOpenSettingsDlg = nullptr;
}

HWND CQuillonDlg::OpenSettingsWindow() const {
    return g_pOpenSettingsDlg && IsWindow(g_pOpenSettingsDlg->Handle()) ? g_pOpenSettingsDlg->Handle() : nullptr;
}

void CQuillonDlg::CreatePreloadDialog() {
    if (m_dlgPreload.Handle()) return;
    m_dlgPreload.SetAskToRetry(false);
    if (!m_dlgPreload.CreateModeless(m_hWnd)) return;
    // It shows itself once its page has arrived: keep it where nothing of it can be seen.
    SetWindowPos(m_dlgPreload.Handle(), nullptr, 0, 0, 1, 1, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CQuillonDlg::ShowAddAccountPopup() {
    if (!m_dlgAddAcc.Handle() && !m_dlgAddAcc.CreateModeless(m_hWnd)) return;
    RECT label = {}, popup = {};
    GetWindowRect(m_lblAddAccount.Handle(), &label);
    GetWindowRect(m_dlgAddAcc.Handle(), &popup);
    SetWindowPos(m_dlgAddAcc.Handle(), nullptr, label.right - (popup.right - popup.left), label.bottom, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(m_dlgAddAcc.Handle(), SW_SHOW);
}
