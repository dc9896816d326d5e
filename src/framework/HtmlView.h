// A child window whose whole client area is the system's browser control, for pages shown
// inside a frame of ours. The control's questions and events arrive as the virtual handlers
// of BrowserHostClient.
#pragma once
#include "framework/BrowserHost.h"
#include "framework/Window.h"

namespace fw {

class HtmlView : public Window, public BrowserHostClient {
public:
    HtmlView() = default;
    ~HtmlView() override;

    // Creates the view as a child of parent (rect in the parent's client coordinates) with
    // the control inside, then runs OnInitialUpdate. False when either cannot be made.
    bool CreateView(HWND parent, const RECT& rect, UINT id = 0, DWORD style = WS_CHILD | WS_VISIBLE,
                    DWORD exStyle = 0);

    IWebBrowser2* Browser() const { return m_host.Browser(); }
    HWND BrowserWindow() const { return m_host.ControlWindow(); }
    bool Navigate(const wchar_t* url) { return m_host.Navigate(url); }
    // Reloads the page from the server.
    bool Refresh();
    // Silent mode: no script-error or other dialogs of the browser.
    bool SetSilent(bool silent);

    // Keys aimed at the page go to the browser first.
    bool PreTranslateMessage(MSG& msg) override;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Once the view and its control exist; typically where the first page is opened.
    virtual void OnInitialUpdate() {}
    // The site given to the control; null makes the creation fail.
    virtual ComPtr<BrowserControlSite> CreateControlSite(HWND container) {
        return ComPtr<BrowserControlSite>::Adopt(new BrowserControlSite(container, this));
    }

private:
    BrowserHost m_host;
};

} // namespace fw
