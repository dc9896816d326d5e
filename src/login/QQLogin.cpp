#include "login/QQLogin.h"
#include "login/QQRules.h"

#include "login_ids.h"
#include "skin_ids.h"

#include <wininet.h>

namespace {

bool IsEnterOrEscape(const MSG& msg) {
    return msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
}

// The frame's caption band and border, which the page leaves free.
constexpr int kCaption = 30;
constexpr int kBorder = 4;

} // namespace

std::wstring ReadCookies(const wchar_t* url) {
    // Asked without a buffer the store tells the size it needs, in bytes: as characters
    // that is more than enough. The cookies may change between the calls, hence the loop.
    std::wstring cookies;
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD size = 0;
        if (!InternetGetCookieW(url, nullptr, nullptr, &size) || size == 0) return L"";
        cookies.assign(size + 1, L'\0');
        DWORD capacity = size + 1;
        if (InternetGetCookieW(url, nullptr, cookies.data(), &capacity)) {
            cookies.resize(wcsnlen(cookies.c_str(), cookies.size()));
            return cookies;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    }
    return L"";
}

CQQHtml::CQQHtml(fw::Dialog* frame) : fw::HtmlDialog(IDD_LOGIN), m_pFrame(frame) {}

bool CQQHtml::OnInitDialog() {
    fw::HtmlDialog::OnInitDialog();
    // A popup of the frame, no application window of its own.
    SetWindowLongW(m_hWnd, GWL_EXSTYLE, GetWindowLongW(m_hWnd, GWL_EXSTYLE) & ~WS_EX_APPWINDOW);
    m_bVisible = IsWindowVisible(m_hWnd) != FALSE;
    return true;
}

bool CQQHtml::PreTranslateMessage(MSG& msg) {
    if (IsEnterOrEscape(msg)) return true;
    return fw::HtmlDialog::PreTranslateMessage(msg);
}

void CQQHtml::OnCancel() { ShowWindow(m_hWnd, SW_HIDE); }

void CQQHtml::OnBeforeNavigate2(IDispatch* disp, const wchar_t* url, DWORD flags, const wchar_t* targetFrame,
                                VARIANT* postData, const wchar_t* headers, VARIANT_BOOL* cancel) {
    // The authorize page is only ever loaded where the player sees it.
    if (qq::IsAuthorizeAddress(url) && !m_bVisible) *cancel = VARIANT_TRUE;
}

void CQQHtml::OnNavigateComplete2(IDispatch* disp, const wchar_t* url) {
    if (HandleNavigateComplete(url)) return;
    fw::HtmlDialog::OnNavigateComplete2(disp, url);
}

bool CQQHtml::HandleNavigateComplete(const wchar_t* url) {
    if (!url || !qq::IsCallbackAddress(url) || !qq::HasCookieValue(ReadCookies(url), qq::kSignInCookie))
        return false;
    PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    if (m_pFrame) m_pFrame->EndDialog(IDCANCEL);
    StartBoxCloser();
    return true;
}

void CQQHtml::StartBoxCloser() {
    m_nBoxTries = 0;
    m_bBoxCloser = SetTimer(m_hWnd, kTimerCloseBox, kCloseBoxMs, nullptr) != 0;
}

namespace {

struct BoxSearch {
    HWND owner;
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindBoxOf(HWND wnd, LPARAM param) {
    auto* s = reinterpret_cast<BoxSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(wnd, &process);
    if (process != s->process || GetWindow(wnd, GW_OWNER) != s->owner) return TRUE;
    wchar_t className[16] = {};
    if (GetClassNameW(wnd, className, 16) && wcscmp(className, L"#32770") == 0) {
        s->found = wnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND CQQHtml::FindOwnedBox() const {
    // Only this process's dialog boxes: another program's box is none of ours, and the first
    // box on the screen need not be the one our page raised.
    BoxSearch search{m_hWnd, GetCurrentProcessId(), nullptr};
    EnumWindows(FindBoxOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CQQHtml::OnCloseBoxTimer() {
    ++m_nBoxTries;
    const HWND box = FindOwnedBox();
    if (!box && m_nBoxTries < kCloseBoxTries) return;
    // Found it, or looked long enough: a page without a box must not leave the timer running.
    KillTimer(m_hWnd, kTimerCloseBox);
    m_bBoxCloser = false;
    if (box) DestroyWindow(box);
}

LRESULT CQQHtml::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SHOWWINDOW: {
        const LRESULT r = fw::HtmlDialog::HandleMessage(msg, wParam, lParam);
        m_bVisible = wParam != 0;
        if (!m_strUrl.empty()) Navigate(m_strUrl.c_str());
        return r;
    }
    case WM_TIMER:
        if (wParam == kTimerCloseBox) {
            OnCloseBoxTimer();
            return 0;
        }
        break;
    }
    return fw::HtmlDialog::HandleMessage(msg, wParam, lParam);
}

CQQLogin::CQQLogin() : CDlgEx(IDD_LOGIN), m_htmlQQ(this) {}

bool CQQLogin::OnInitDialog() {
    CDlgEx::OnInitDialog();
    SetTitle(L"QQ账号安全登录");
    SkinFrame frame = CaptionBandFrame();
    frame.captionHeight = kCaption;
    frame.borderWidth = kBorder;
    SetFrame(frame);
    SetStretchedSkin(IDB_MAIN_BACKGROUND);
    SetWindowPos(m_hWnd, nullptr, 0, 0, 740, 470, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool CQQLogin::PreTranslateMessage(MSG& msg) {
    if (IsEnterOrEscape(msg)) return true;
    return CDlgEx::PreTranslateMessage(msg);
}

void CQQLogin::PlaceHtml() {
    if (!m_htmlQQ.Handle()) return;
    RECT r = {};
    GetWindowRect(m_hWnd, &r);
    MoveWindow(m_htmlQQ, r.left + kBorder, r.top + kCaption, (r.right - r.left) - 2 * kBorder,
               (r.bottom - r.top) - kCaption - kBorder, TRUE);
}

void CQQLogin::OnCancel() {
    if (m_htmlQQ.Handle()) PostMessageW(m_htmlQQ, WM_CLOSE, 0, 0);
    CDlgEx::OnCancel();
}

LRESULT CQQLogin::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_WINDOWPOSCHANGED: {
        const LRESULT r = CDlgEx::HandleMessage(msg, wParam, lParam);
        PlaceHtml();
        return r;
    }
    case WM_SHOWWINDOW: {
        const LRESULT r = CDlgEx::HandleMessage(msg, wParam, lParam);
        if (!m_htmlQQ.Handle()) m_htmlQQ.CreateModeless(m_hWnd);
        PlaceHtml();
        ShowWindow(m_htmlQQ, wParam ? SW_SHOW : SW_HIDE);
        return r;
    }
    }
    return CDlgEx::HandleMessage(msg, wParam, lParam);
}
