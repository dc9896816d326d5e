#include "login/LoginDlg.h"
#include "framework/SystemVersion.h"
#include "common/AppMessages.h"
#include "common/WebAddress.h"
#include "login/AnsiText.h"
#include "login/AppCommand.h"
#include "login/LoginRules.h"
#include "skin/MessageBox.h"
#include "skin/SkinImage.h"
#include "resource.h"
#include "velkor_config.h"

#include <windowsx.h>

namespace {

// The login page's transparent colour: where the page paints it, the picture shows.
constexpr COLORREF kSeeThrough = RGB(254, 254, 254);
// Posted to the login page to ask about a page that did not load, outside the browser's event.
constexpr UINT UM_LOGIN_RETRY = WM_APP + 1;
// Ends a login whose host went away: nothing is left to log in for.
constexpr UINT_PTR kTimerLoginHostWatch = 1;

} // namespace

bool IsUacEnabled() {
    if (fw::OsMajorVersion() <= 5) return false;
    fw::UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\", 0,
                      KEY_READ, key.Put()) != ERROR_SUCCESS)
        return false;
    DWORD value = 0, size = sizeof(value), type = 0;
    if (RegQueryValueExW(key.Get(), L"EnableLUA", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return false;
    return value == 1;
}

std::wstring LoginPageAddress() { return L"http://" VELKOR_GAME_HOST L"/login/index.php"; }

// ---- the login page --------------------------------------------------------------------

CLoginDlg::CLoginDlg(std::wstring url, PageProcessArgs& page, LoginOwner& owner)
    : CDHtmDlgEx(IDD_LOGIN), m_strUrl(std::move(url)), m_page(page), m_owner(owner) {
    using fw::DhtmlEvent;
    using fw::DhtmlMatch;
    std::vector<DhtmlEventRow> rows;
    for (const wchar_t* tag : {L"body", L"td", L"div"}) {
        rows.push_back({DhtmlEvent::MouseDown, DhtmlMatch::Tag, tag, [this](IHTMLElement* e) { return LoginDragDown(e); }});
        rows.push_back({DhtmlEvent::MouseUp, DhtmlMatch::Tag, tag, [this](IHTMLElement* e) { return LoginDragUp(e); }});
        rows.push_back({DhtmlEvent::MouseMove, DhtmlMatch::Tag, tag, [this](IHTMLElement* e) { return LoginDragMove(e); }});
    }
    SetDhtmlEventTable(std::move(rows));
}

bool CLoginDlg::OnInitDialog() {
    CDHtmDlgEx::OnInitDialog();  // silent mode
    const LONG ex = GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    SetWindowLongW(m_hWnd, GWL_EXSTYLE, ((ex ^ WS_EX_LAYERED) & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
    SetLayeredWindowAttributes(m_hWnd, kSeeThrough, 0, LWA_COLORKEY);
    if (!m_strUrl.empty()) Navigate(m_strUrl.c_str());
    return false;
}

int CLoginDlg::AskPlayer(MsgBoxKind kind, const std::wstring& text) {
    return AppMessageBox(kind, kAppCaption, text.c_str(), nullptr);
}

void CLoginDlg::OnNavigateComplete2(IDispatch* disp, const wchar_t* url) {
    CDHtmDlgEx::OnNavigateComplete2(disp, url);
    // Hidden until its first page has arrived.
    ShowWindow(m_hWnd, SW_SHOW);
    if (HWND child = GetWindow(m_hWnd, GW_CHILD)) {
        RECT client = {};
        GetClientRect(m_hWnd, &client);
        MoveWindow(child, 0, 0, client.right, client.bottom, TRUE);
    }
}

void CLoginDlg::OnNavigateError(IDispatch* disp, const wchar_t* url, const wchar_t* targetFrame, LONG statusCode,
                                VARIANT_BOOL* cancel) {
    CDHtmDlgEx::OnNavigateError(disp, url, targetFrame, statusCode, cancel);
    // The login page itself did not come: without it the player has no way on. Asked once
    // per attempt, after the browser's event has returned.
    if (m_bAskToRetry && url && !m_strUrl.empty() && m_strUrl == url && !m_bRetryAsked) {
        m_bRetryAsked = true;
        PostMessageW(m_hWnd, UM_LOGIN_RETRY, 0, 0);
    }
}

LRESULT CLoginDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == UM_LOGIN_RETRY) {
        if (AskPlayer(MsgBoxKind::OkCancel, L"登录页面打开失败，是否重试？") == IDOK) {
            m_bRetryAsked = false;
            Navigate(m_strUrl.c_str());
        } else {
            m_owner.EndLogin(kLoginCancelled);
        }
        return 0;
    }
    return CDHtmDlgEx::HandleMessage(msg, wParam, lParam);
}

bool CLoginDlg::PreTranslateMessage(MSG& msg) {
    // No closing by Escape, no reload by F5.
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_ESCAPE || msg.wParam == VK_F5)) return true;
    return CDHtmDlgEx::PreTranslateMessage(msg);
}

void CLoginDlg::OnBeforeNavigate2(IDispatch* disp, const wchar_t* url, DWORD, const wchar_t*, VARIANT*,
                                  const wchar_t*, VARIANT_BOOL* cancel) {
    // Commands count only from the login page itself: a frame inside it (another party's
    // content) must not end, minimise or complete the login. Its app: addresses still go nowhere.
    if (!fw::IsTopLevelBrowser(Browser(), disp)) {
        if (url && IsAppCommand(url)) *cancel = VARIANT_TRUE;
        return;
    }
    OnBeforeNavigateLogin(url, cancel);
}

void CLoginDlg::OnBeforeNavigateLogin(const wchar_t* url, VARIANT_BOOL* cancel) {
    if (!url) return;
    const login::LoginCommand command = login::ClassifyLoginAddress(url);
    if (command == login::LoginCommand::None) return;
    *cancel = VARIANT_TRUE;
    switch (command) {
    case login::LoginCommand::LoadGame:
        LoadGame(url);
        break;
    case login::LoginCommand::ExitGame:
        m_owner.EndLogin(kLoginCancelled);
        break;
    case login::LoginCommand::Minimize:
        Minimize();
        break;
    default:
        break;
    }
}

void CLoginDlg::LoadGame(const wchar_t* url) {
    const LoadGameArgs args = SplitLoadGame(url);
    AccountKey key;
    // A LOGIN too long for the protocol, or a game address that is no web address (the page
    // would have this elevated program open anything): no game, and the login goes on; ended,
    // it would take a first tab's whole program with it.
    if (!ParseLoadGame(args.login, ToSystemAnsi, key) || !text::IsWebAddress(args.gameUrl)) return;
    // A host that has gone answers nothing: there is no window to open the game in, and no
    // account was refused.
    if (!IsWindow(m_page.hostWnd)) {
        m_owner.EndLogin(kLoginCancelled);
        return;
    }
    std::wstring record = key.key;
    COPYDATASTRUCT data = {0, static_cast<DWORD>((record.size() + 1) * sizeof(wchar_t)), record.data()};
    if (SendMessageW(m_page.hostWnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)) != 0) {
        m_page.gameUrl = args.gameUrl;
        m_owner.EndLogin(kLoginDone);
        return;
    }
    AskPlayer(MsgBoxKind::Ok, login::DuplicateAccountText(key.account, key.server));
    m_owner.EndLogin(kLoginCancelled);
}

void CLoginDlg::Minimize() {
    switch (login::DecideMinimize(m_page.hostTabCount, UacEnabled())) {
    case login::MinimizeAction::EndLogin:
        m_owner.EndLogin(kLoginCancelled);
        break;
    case login::MinimizeAction::MinimizeLogin:
        if (HWND owner = GetWindow(m_hWnd, GW_OWNER)) ShowWindow(owner, SW_MINIMIZE);
        break;
    case login::MinimizeAction::MinimizeHost:
        ShowWindow(m_page.hostWnd, SW_MINIMIZE);
        break;
    }
}

void CLoginDlg::SendDragToOwner(UINT ncMessage) {
    POINT pt = {};
    GetCursorPos(&pt);
    POINT client = pt;
    ScreenToClient(m_hWnd, &client);
    if (login::InReservedBox(client.x, client.y)) return;
    if (HWND owner = GetWindow(m_hWnd, GW_OWNER))
        SendMessageW(owner, ncMessage, HTCAPTION, MAKELPARAM(client.x, client.y));
}

HRESULT CLoginDlg::LoginDragDown(IHTMLElement*) {
    SendDragToOwner(WM_NCLBUTTONDOWN);
    return S_FALSE;
}

HRESULT CLoginDlg::LoginDragUp(IHTMLElement*) {
    SendDragToOwner(WM_NCLBUTTONUP);
    return S_FALSE;
}

HRESULT CLoginDlg::LoginDragMove(IHTMLElement*) {
    SendDragToOwner(WM_NCMOUSEMOVE);
    return S_FALSE;
}

// ---- the login background --------------------------------------------------------------

CLoginBkDlg::CLoginBkDlg(PageProcessArgs& page, std::wstring loginUrl)
    : fw::Dialog(IDD_LOGIN), m_page(page), m_dlgLogin(std::move(loginUrl), page, *this) {}

bool CLoginBkDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    SetWindowTextW(m_hWnd, kAppCaption);
    // Above the main window it logs in for, without disabling it: its other tabs stay usable.
    if (IsWindow(m_page.hostWnd))
        SetWindowLongPtrW(m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(m_page.hostWnd));

    SIZE size = {};
    m_bkImage.Reset(LoadAlphaImage(GetModuleHandleW(nullptr), IDB_LOGIN_BACKGROUND, &size));
    m_nBkWidth = size.cx;
    m_nBkHeight = size.cy;
    if (m_bkImage) {
        RECT work = {};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        POINT at = {work.left + (work.right - work.left - m_nBkWidth) / 2,
                    work.top + (work.bottom - work.top - m_nBkHeight) / 2};
        const LONG ex = GetWindowLongW(m_hWnd, GWL_EXSTYLE);
        if (!(ex & WS_EX_LAYERED)) SetWindowLongW(m_hWnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        fw::WindowDc screen(nullptr);
        fw::UniqueDc memory(CreateCompatibleDC(screen));
        fw::SelectObjectScope select(memory.Get(), m_bkImage.Get());
        POINT source = {0, 0};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        UpdateLayeredWindow(m_hWnd, screen, &at, &size, memory.Get(), &source, 0, &blend, ULW_ALPHA);
    }
    m_dlgLogin.CreateModeless(m_hWnd);
    SetWindowLongW(m_hWnd, GWL_STYLE, GetWindowLongW(m_hWnd, GWL_STYLE) | WS_MINIMIZEBOX);
    // Lay the page over the picture now; it shows itself once its page has arrived.
    RECT r = {};
    GetWindowRect(m_hWnd, &r);
    if (m_dlgLogin.Handle())
        MoveWindow(m_dlgLogin.Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    SetTimer(m_hWnd, kTimerLoginHostWatch, kHostWatchMs, nullptr);
    return false;
}

bool CLoginBkDlg::PreTranslateMessage(MSG& msg) {
    // Enter, Escape and F5 do nothing: the dialog manager would take Escape as the cancel that
    // ends the login (and a first tab's whole program with it).
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE || msg.wParam == VK_F5))
        return true;
    return fw::Dialog::PreTranslateMessage(msg);
}

LRESULT CLoginBkDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_LBUTTONDOWN: {
        const LRESULT r = fw::Dialog::HandleMessage(msg, wParam, lParam);
        SendMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        return r;
    }
    case WM_WINDOWPOSCHANGED: {
        const LRESULT r = fw::Dialog::HandleMessage(msg, wParam, lParam);
        if (m_dlgLogin.Handle()) {
            RECT bk = {};
            GetWindowRect(m_hWnd, &bk);
            MoveWindow(m_dlgLogin.Handle(), bk.left, bk.top, bk.right - bk.left, bk.bottom - bk.top, TRUE);
        }
        return r;
    }
    case WM_TIMER:
        if (wParam == kTimerLoginHostWatch && m_page.hostWnd && !IsWindow(m_page.hostWnd)) {
            EndDialog(kLoginCancelled);
            // A question may be open in a modal loop of its own (the retry question, a box the
            // page opened), waiting for an answer nobody will give: the quit ends each such
            // loop, which passes it on, and with them the process.
            PostQuitMessage(0);
            return 0;
        }
        break;
    case WM_DESTROY:
        KillTimer(m_hWnd, kTimerLoginHostWatch);
        m_dlgLogin.Destroy();
        break;
    }
    return fw::Dialog::HandleMessage(msg, wParam, lParam);
}

INT_PTR RunLoginBackground(PageProcessArgs& page) {
    CLoginBkDlg background(page, LoginPageAddress());
    return background.DoModal(nullptr);
}
