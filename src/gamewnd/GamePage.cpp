#include "gamewnd/GamePage.h"
#include "common/AppMessages.h"
#include "common/WebAddress.h"
#include "framework/HtmlDialog.h"
#include "framework/MessageLoop.h"
#include "framework/ProgramStart.h"
#include "framework/ShellOpen.h"
#include "extras/DownGameDlg.h"
#include "extras/FavDlg.h"
#include "gamewnd/CacheCleaning.h"
#include "framework/WindowFront.h"
#include "gamewnd/EnterGame.h"
#include "gamewnd/PageKeys.h"
#include "gamewnd/TabStrip.h"
#include "hotkeys/HotKeyStore.h"
#include "hotkeys/SoundMute.h"
#include "settings/SettingsStore.h"
#include "skin/MessageBox.h"
#include "velkor_config.h"

#include <mshtmhst.h>

#include <map>

namespace {

// Titles of the browser's own message boxes that a closing page can raise.
const wchar_t* const kBrowserBoxTitles[] = {L"来自网页的消息", L"Windows Internet Explorer",
                                            L"Microsoft Internet Explorer"};

struct BoxSearch {
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK FindOwnBox(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    wchar_t cls[16] = {}, title[64] = {};
    GetClassNameW(hwnd, cls, 16);
    GetWindowTextW(hwnd, title, 64);
    if (wcscmp(cls, L"#32770") == 0 && wcscmp(title, search->title) == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::wstring WebGamePageAddress() { return L"http://" VELKOR_CLIENT_HOST L"/webgame.htm"; }

// ---- the view ---------------------------------------------------------------------------

void CGmWndView::OnInitialUpdate() {
    SetSilent(true);
    // Only a frame that has its view joins the host: without one the host would keep an
    // empty tab. Joined before the first page, whose arrival shows the frame in the host.
    m_frame.AttachToHost();
    Navigate(m_frame.Page().gameUrl.c_str());
}

HRESULT CGmWndView::HostGetHostInfo(DOCHOSTUIINFO* info) {
    // A game page fills the tab edge to edge; the web-game page keeps border and scroll bars.
    if (!m_frame.IsHomePage()) info->dwFlags |= DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
    return S_OK;
}

void CGmWndView::OnNavigateComplete2(IDispatch* disp, const wchar_t* url) {
    // Frames and redirects inside the page complete too: only the page itself counts.
    if (!fw::IsTopLevelBrowser(Browser(), disp)) return;
    m_frame.OnPageLoaded(url);
}

void CGmWndView::OnTitleChange(const wchar_t* title) { m_frame.OnPageTitle(title); }

fw::ComPtr<fw::BrowserControlSite> CGmWndView::CreateControlSite(HWND container) {
    return m_frame.CreateViewSite(container);
}

bool CGmWndView::PreTranslateMessage(MSG& msg) {
    // The frame's filter before the control's accelerators: the control would take F5 as its
    // own reload (no purge of the cached loader, and a reload even when F5 is a hook key) and
    // Tab or Ctrl+Tab as focus moves, so the window-switch key would never reach the host.
    if (m_frame.FilterKeys(msg)) return true;
    return m_frame.ControlAccelerator(msg);
}

void CGmWndView::OnBeforeNavigate2(IDispatch*, const wchar_t* url, DWORD, const wchar_t*, VARIANT*, const wchar_t*,
                                   VARIANT_BOOL* cancel) {
    if (!url) return;
    if (gamehall::ParseEnterGame(url, VELKOR_HALL_URL).isCommand) {
        *cancel = VARIANT_TRUE;
        m_frame.EnterGame(url);
    }
}

// ---- the frame --------------------------------------------------------------------------

CMainFrame::CMainFrame(PageProcessArgs page) : m_page(std::move(page)), m_view(*this) {}

namespace {

// The host each watch timer looks for. The frame is a child of the host's window in another
// process: when that process dies the frame is destroyed with it, and its own timers and its
// WM_DESTROY may never come, so the host is watched by a timer of the thread instead.
std::map<UINT_PTR, HWND>& WatchedHosts() {
    static std::map<UINT_PTR, HWND> hosts;
    return hosts;
}

void CALLBACK WatchHost(HWND, UINT, UINT_PTR id, DWORD) {
    const auto found = WatchedHosts().find(id);
    // Posted on every tick: a question open in a modal loop of its own ends with the first
    // quit, and the loop under it with the next.
    if (found != WatchedHosts().end() && !IsWindow(found->second)) PostQuitMessage(0);
}

} // namespace

CMainFrame::~CMainFrame() {
    if (m_hostWatch) {
        KillTimer(nullptr, m_hostWatch);
        WatchedHosts().erase(m_hostWatch);
    }
}

bool CMainFrame::CreateFrame() {
    LoadHotKeys();
    const RECT rect = {0, 0, 10, 10};
    // No caption, border or taskbar button: the frame lives inside the main window.
    if (!Create(L"VelkorGameFrame", kAppCaption, WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW, rect, nullptr))
        return false;
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_hostWatch = SetTimer(nullptr, 0, kHostWatchMs, WatchHost);
    if (m_hostWatch) WatchedHosts()[m_hostWatch] = m_page.hostWnd;
    SetView(&m_view);
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    return m_view.CreateView(m_hWnd, client);
}

void CMainFrame::AttachToHost() {
    if (!IsWindow(m_page.hostWnd)) return;
    PostMessageW(m_page.hostWnd, UM_PAGE_ATTACH, reinterpret_cast<WPARAM>(m_hWnd), IsHomePage() ? 1 : 0);
    SetWindowLongW(m_hWnd, GWL_STYLE, (GetWindowLongW(m_hWnd, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
    SetParent(m_hWnd, m_page.hostWnd);
}

void CMainFrame::OnPageLoaded(const wchar_t* url) {
    m_strPageUrl = url ? url : L"";
    // Only the first page places and shows the frame, and only inside its host: later pages
    // of a tab in the background must not cover the current one.
    if (m_bShown || !m_page.hostWnd || GetAncestor(m_hWnd, GA_PARENT) != m_page.hostWnd) return;
    m_bShown = true;
    RECT host = {};
    GetClientRect(m_page.hostWnd, &host);
    const tabs::Box area = tabs::PageArea(host.right, host.bottom);
    MoveWindow(m_hWnd, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
    ShowWindow(m_hWnd, SW_SHOW);
}

void CMainFrame::EnterGame(const wchar_t* url) {
    const gamehall::EnterGameRequest request = gamehall::ParseEnterGame(url, VELKOR_HALL_URL);
    if (!request.launch) return;  // nothing safe to start: the navigation is cancelled, no more
    const std::wstring folder = DataFolderPath();
    const std::wstring path = folder + L"\\" + request.name + L".exe";
    if (folder.empty() || path.size() >= MAX_PATH) return;
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        StartGameHall(path);
        return;
    }
    if (AskPlayer(MsgBoxKind::OkCancel, L"OlveskBrasca游戏大厅", L"下载Brasca登录器，玩游戏更加方便快捷，现在就去下载吧？") ==
        IDOK)
        OfferGameDownload(request.name);
    else
        OpenAddress(request.fallback);
}

int CMainFrame::AskPlayer(MsgBoxKind kind, const wchar_t* caption, const std::wstring& text) {
    return AppMessageBox(kind, caption, text.c_str(), m_page.hostWnd);
}

bool CMainFrame::StartGameHall(const std::wstring& path) { return fw::StartProgram(path.c_str()); }

bool CMainFrame::OpenAddress(const std::wstring& url) { return fw::OpenWebAddress(url.c_str(), SW_SHOWNORMAL); }

void CMainFrame::ApplyMute(bool muted) { hotkeys::SetProcessMute(muted); }

bool CMainFrame::ControlAccelerator(MSG& msg) { return m_view.fw::HtmlView::PreTranslateMessage(msg); }

fw::ComPtr<fw::BrowserControlSite> CMainFrame::CreateViewSite(HWND container) {
    return fw::ComPtr<fw::BrowserControlSite>::Adopt(new fw::BrowserControlSite(container, &m_view));
}

void CMainFrame::OfferGameDownload(const std::wstring& name) {
    CDownGameDlg download(name.c_str(), m_page.hostWnd,
                          [](const wchar_t* path) { return fw::StartProgram(path); });
    download.Run();
}
void CMainFrame::PurgeLoaderCache() { ::PurgeLoaderCache(); }
void CMainFrame::AddToFavourites() {
    CFavDlg favourite(m_strPageTitle.c_str(), m_strPageUrl.c_str(), m_page.hostWnd);
    favourite.Run();
}

void CMainFrame::OnMuteMessage(WPARAM muted) {
    const bool wanted = muted != 0;
    // The first message always applies.
    if (m_bMuteKnown && wanted == m_bMuted) return;
    m_bMuteKnown = true;
    m_bMuted = wanted;
    ApplyMute(wanted);
}

void CMainFrame::CloseBrowserBoxes() {
    // Only this process's boxes: a window of another thread or process cannot be destroyed
    // from here, and must not be.
    for (const wchar_t* title : kBrowserBoxTitles) {
        BoxSearch search = {title, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), FindOwnBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            DestroyWindow(search.found);
            return;
        }
    }
}

void CMainFrame::RaiseHost() {
    fw::BringToFront(m_page.hostWnd, false);
}

void CMainFrame::LoadHotKeys() {
    m_bossKey = hotkeys::ReadHotKey(hotkeys::HotKeyKind::Boss);
    m_switchKey = hotkeys::ReadHotKey(hotkeys::HotKeyKind::Switch);
    m_soundKey = hotkeys::ReadHotKey(hotkeys::HotKeyKind::Sound);
}

bool CMainFrame::PreTranslateMessage(MSG& msg) {
    // Keys aimed at the page have met the filter in the view already.
    const HWND view = m_view.Handle();
    const bool inView = view && (msg.hwnd == view || IsChild(view, msg.hwnd));
    if (!inView && FilterKeys(msg)) return true;
    return fw::FrameWnd::PreTranslateMessage(msg);
}

bool CMainFrame::FilterKeys(MSG& msg) {
    // The window-switch key belongs to the main window, which switches the tabs.
    const bool keyDown = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if (keyDown && msg.lParam != kSelfPostMarker &&
        hotkeys::HotKeyMatches(m_switchKey, static_cast<int>(msg.wParam), hotkeys::CurrentModifiers())) {
        PostMessageW(m_page.hostWnd, msg.message, msg.wParam, msg.lParam);
        return true;
    }
    // A bare F5 that is the boss or sound key is the main process's hook's business.
    const hotkeys::HotKey bareF5{0, VK_F5};
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F5 && msg.lParam != kSelfPostMarker &&
        (m_bossKey == bareF5 || m_soundKey == bareF5))
        return true;
    // Ctrl+D: the character 4 with the D key's scan code and no other bit in the upper word.
    if (msg.message == WM_CHAR && pagekeys::IsCtrlDChar(msg.wParam, HIWORD(msg.lParam))) {
        AddToFavourites();
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F5) {
        PurgeLoaderCache();
        m_view.Refresh();
        return true;
    }
    if (msg.message == WM_SYSCOMMAND && msg.hwnd == m_hWnd && (msg.wParam & 0xFFF0) == SC_CLOSE)
        SetTimer(m_hWnd, kTimerCloseBrowserBox, kCloseBrowserBoxMs, nullptr);
    return false;
}

LRESULT CMainFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER: {
        const LRESULT r = fw::FrameWnd::HandleMessage(msg, wParam, lParam);
        if (wParam == kTimerCloseBrowserBox) {
            KillTimer(m_hWnd, kTimerCloseBrowserBox);
            CloseBrowserBoxes();
        }
        if (wParam == kTimerRaiseHost) {
            KillTimer(m_hWnd, kTimerRaiseHost);
            RaiseHost();
        }
        return r;
    }
    case WM_MOUSEACTIVATE:
        SetTimer(m_hWnd, kTimerRaiseHost, kRaiseHostMs, nullptr);
        break;
    case UM_SET_MUTE:
        OnMuteMessage(wParam);
        return 0;
    case UM_PAGE_RELOAD_HOTKEYS:
        LoadHotKeys();
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            // A frame closes by destroying itself, which ends the page process.
            DestroyWindow(m_hWnd);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    }
    return fw::FrameWnd::HandleMessage(msg, wParam, lParam);
}

int RunGamePage(const PageProcessArgs& page) {
    CMainFrame frame(page);
    if (!frame.CreateFrame()) return 2;
    int code = 0;
    return fw::RunMessageLoop(code) ? 0 : 2;
}
