// The game page process: a frame without caption or taskbar button that makes itself a
// child of its host main window, and the browser view in it that opens the game.
#pragma once
#include "framework/FrameWnd.h"
#include "framework/HtmlView.h"
#include "hotkeys/HotKeyRules.h"
#include "login/PageProcess.h"
#include "skin/MsgBoxKind.h"

#include <string>

// The web-game page of the client server: a page process opening it is the home page.
std::wstring WebGamePageAddress();

class CMainFrame;

class CGmWndDoc : public fw::Document {};

class CGmWndView : public fw::HtmlView {
public:
    explicit CGmWndView(CMainFrame& frame) : m_frame(frame) {}

    void OnNavigateComplete2(IDispatch* disp, const wchar_t* url) override;
    void OnBeforeNavigate2(IDispatch* disp, const wchar_t* url, DWORD flags, const wchar_t* targetFrame,
                           VARIANT* postData, const wchar_t* headers, VARIANT_BOOL* cancel) override;
    void OnTitleChange(const wchar_t* title) override;

    bool PreTranslateMessage(MSG& msg) override;

protected:
    void OnInitialUpdate() override;
    HRESULT HostGetHostInfo(DOCHOSTUIINFO* info) override;
    fw::ComPtr<fw::BrowserControlSite> CreateControlSite(HWND container) override;

private:
    CMainFrame& m_frame;
};

class CMainFrame : public fw::FrameWnd {
public:
    explicit CMainFrame(PageProcessArgs page);
    ~CMainFrame() override;

    // Creates the frame hidden and its view; once the view exists, attaches the frame to the
    // host (when the host is a window) and opens the page. False when the frame or its view
    // cannot be made: nothing has then been announced to the host.
    bool CreateFrame();

    const PageProcessArgs& Page() const { return m_page; }
    bool IsHomePage() const { return m_page.gameUrl == WebGamePageAddress(); }
    CGmWndView& GameView() { return m_view; }
    const std::wstring& PageUrl() const { return m_strPageUrl; }
    const std::wstring& PageTitle() const { return m_strPageTitle; }

    // From the view: a completed navigation (top-level only) and the page's title.
    void OnPageLoaded(const wchar_t* url);
    void OnPageTitle(const wchar_t* title) { m_strPageTitle = title ? title : L""; }
    // "app://entergame|…": start the game hall, offer its download, or open its web address.
    void EnterGame(const wchar_t* url);

    // Destroys the first of the browser's own boxes that a closing page raised, looking only
    // among this thread's windows.
    void CloseBrowserBoxes();

    bool PreTranslateMessage(MSG& msg) override;
    // The frame's key filter: the window-switch key to the host, F5 (held back when it is a
    // hook key), Ctrl+D, the host's close. True when it took the message.
    bool FilterKeys(MSG& msg);

    // This process's copy of the three hot keys, read afresh on UM_PAGE_RELOAD_HOTKEYS.
    void LoadHotKeys();
    const hotkeys::HotKey& SwitchKey() const { return m_switchKey; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // What the frame hands to the system and the player; replaceable in tests.
    virtual int AskPlayer(MsgBoxKind kind, const wchar_t* caption, const std::wstring& text);
    virtual bool StartGameHall(const std::wstring& path);
    virtual bool OpenAddress(const std::wstring& url);
    // The game-hall client's download dialog.
    virtual void OfferGameDownload(const std::wstring& name);
    // Mutes or unmutes this process's sound.
    virtual void ApplyMute(bool muted);
    // The browser control's own accelerators (its reload, its focus moves) for a key aimed
    // at the page: true when the control took it.
    virtual bool ControlAccelerator(MSG& msg);
    // The site the view gives its browser control; null when the control cannot be made.
    virtual fw::ComPtr<fw::BrowserControlSite> CreateViewSite(HWND container);
    // Deletes the cached game-loader entries before a refresh.
    virtual void PurgeLoaderCache();
    // The add-to-favourites dialog with the page's title and address.
    virtual void AddToFavourites();

private:
    friend class CGmWndView;

    void OnMuteMessage(WPARAM muted);

    void RaiseHost();
    // Announces the frame to the host and becomes its child; once the view exists.
    void AttachToHost();

    PageProcessArgs m_page;
    UINT_PTR m_hostWatch = 0;    // a thread timer: the frame's own timers end with the host
    CGmWndDoc m_doc;
    CGmWndView m_view;
    std::wstring m_strPageUrl;
    std::wstring m_strPageTitle;
    bool m_bShown = false;       // the first top-level page has placed and shown the frame
    bool m_bMuteKnown = false;   // a mute state has been applied
    bool m_bMuted = false;
    hotkeys::HotKey m_bossKey;
    hotkeys::HotKey m_switchKey;
    hotkeys::HotKey m_soundKey;
};

// Runs a page process's game page until the frame closes or its host goes.
int RunGamePage(const PageProcessArgs& page);
