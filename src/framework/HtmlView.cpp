#include "framework/HtmlView.h"

namespace fw {

HtmlView::~HtmlView() { m_host.Destroy(); }

bool HtmlView::CreateView(HWND parent, const RECT& rect, UINT id, DWORD style, DWORD exStyle) {
    if (!Create(L"VelkorHtmlView", L"", style | WS_CLIPCHILDREN, exStyle, rect, parent,
                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))))
        return false;
    if (!m_host.IsCreated()) {
        Destroy();
        return false;
    }
    OnInitialUpdate();
    return true;
}

bool HtmlView::Refresh() {
    IWebBrowser2* browser = Browser();
    if (!browser) return false;
    VARIANT level;
    VariantInit(&level);
    level.vt = VT_I4;
    level.lVal = REFRESH_COMPLETELY;
    return SUCCEEDED(browser->Refresh2(&level));
}

bool HtmlView::SetSilent(bool silent) {
    IWebBrowser2* browser = Browser();
    return browser && SUCCEEDED(browser->put_Silent(silent ? VARIANT_TRUE : VARIANT_FALSE));
}

bool HtmlView::PreTranslateMessage(MSG& msg) {
    HWND control = BrowserWindow();
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && control &&
        (msg.hwnd == control || IsChild(control, msg.hwnd)))
        return m_host.TranslateAccelerator(msg);
    return false;
}

LRESULT HtmlView::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: {
        RECT client;
        GetClientRect(m_hWnd, &client);
        ComPtr<BrowserControlSite> site = CreateControlSite(m_hWnd);
        if (!site || !m_host.Create(m_hWnd, client, this, std::move(site))) return -1;
        return 0;
    }
    case WM_SIZE:
        if (m_host.IsCreated()) {
            RECT client = {0, 0, LOWORD(lParam), HIWORD(lParam)};
            m_host.SetRect(client);
        }
        return 0;
    case WM_SETFOCUS:
        if (HWND control = BrowserWindow()) SetFocus(control);
        return 0;
    case WM_ERASEBKGND:
        // The control paints everything; erasing first only flickers.
        if (m_host.IsCreated()) return 1;
        break;
    case WM_DESTROY:
        m_host.Destroy();
        break;
    }
    return DefaultHandler(msg, wParam, lParam);
}

} // namespace fw
