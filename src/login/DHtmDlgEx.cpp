#include "login/DHtmDlgEx.h"

#include "framework/BrowserGuids.h"
#include "login/AppCommand.h"

#include <windowsx.h>
#include <new>

namespace {

// A page element as the sprites see it. Holds one reference for as long as it lives.
class HtmlSpriteElement : public SpriteElement {
public:
    explicit HtmlSpriteElement(IHTMLElement* element) : m_element(element) {}

    bool IsDisabled() override {
        VARIANT v;
        VariantInit(&v);
        fw::UniqueBstr name(SysAllocString(L"disabled"));
        bool disabled = false;
        if (name && SUCCEEDED(m_element->getAttribute(name.Get(), 0, &v)))
            disabled = v.vt == VT_BOOL && v.boolVal != VARIANT_FALSE;
        VariantClear(&v);
        return disabled;
    }
    long OffsetLeft() override { return Read(&IHTMLElement::get_offsetLeft); }
    long OffsetTop() override { return Read(&IHTMLElement::get_offsetTop); }
    long OffsetWidth() override { return Read(&IHTMLElement::get_offsetWidth); }
    long OffsetHeight() override { return Read(&IHTMLElement::get_offsetHeight); }
    void SetBackgroundPositionX(long x) override {
        fw::ComPtr<IHTMLStyle> style;
        if (FAILED(m_element->get_style(style.Put())) || !style) return;
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = x;
        style->put_backgroundPositionX(v);
    }
    void Click() override { m_element->click(); }

private:
    long Read(HRESULT (STDMETHODCALLTYPE IHTMLElement::*get)(long*)) {
        long value = 0;
        if (FAILED((m_element.Get()->*get)(&value))) value = 0;
        return value;
    }
    fw::ComPtr<IHTMLElement> m_element;
};

} // namespace

CDHtmDlgEx::CDHtmDlgEx(UINT templateId) : HtmlDialog(templateId) {
    using fw::DhtmlEvent;
    using fw::DhtmlMatch;
    std::vector<DhtmlEventRow> rows = {
        {DhtmlEvent::MouseOut, DhtmlMatch::Class, L"button", [this](IHTMLElement* e) { return ButtonNormal(e); }},
        {DhtmlEvent::MouseOver, DhtmlMatch::Class, L"button", [this](IHTMLElement* e) { return ButtonHover(e); }},
        {DhtmlEvent::MouseDown, DhtmlMatch::Class, L"button", [this](IHTMLElement* e) { return ButtonPress(e); }},
        {DhtmlEvent::MouseUp, DhtmlMatch::Class, L"button", [this](IHTMLElement* e) { return ButtonRelease(e); }},
    };
    // The page background drags the window, wherever it shows.
    for (const wchar_t* tag : {L"body", L"td", L"div"}) {
        rows.push_back({DhtmlEvent::MouseDown, DhtmlMatch::Tag, tag, [this](IHTMLElement* e) { return DragDown(e); }});
        rows.push_back({DhtmlEvent::MouseUp, DhtmlMatch::Tag, tag, [this](IHTMLElement* e) { return DragUp(e); }});
        rows.push_back({DhtmlEvent::MouseMove, DhtmlMatch::Tag, tag, [this](IHTMLElement* e) { return DragMove(e); }});
        rows.push_back({DhtmlEvent::ContextMenu, DhtmlMatch::Tag, tag, nullptr});
    }
    SetDhtmlEventTable(std::move(rows));
}

CDHtmDlgEx::~CDHtmDlgEx() { m_sprites.Reset(); }

bool CDHtmDlgEx::OnInitDialog() {
    HtmlDialog::OnInitDialog();
    if (IWebBrowser2* browser = Browser()) browser->put_Silent(VARIANT_TRUE);
    return true;
}

fw::ComPtr<fw::BrowserControlSite> CDHtmDlgEx::CreateControlSite(HWND container) {
    return fw::ComPtr<fw::BrowserControlSite>::Adopt(new (std::nothrow) CMyBrowserControlSite(container, this, this));
}

HRESULT CDHtmDlgEx::HostGetHostInfo(DOCHOSTUIINFO* info) {
    HRESULT hr = HtmlDialog::HostGetHostInfo(info);
    info->dwFlags |= DOCHOSTUIFLAG_DIALOG;
    return hr;
}

void CDHtmDlgEx::OnNavigateComplete2(IDispatch* disp, const wchar_t* url) {
    HtmlDialog::OnNavigateComplete2(disp, url);
    IHTMLDocument2* doc = Document();
    if (!doc) return;
    fw::ComPtr<IHTMLElement> body;
    if (FAILED(doc->get_body(body.Put())) || !body) return;
    fw::ComPtr<IHTMLBodyElement> bodyElement;
    if (FAILED(body.As(fw::kIID_IHTMLBodyElement, bodyElement))) return;
    fw::UniqueBstr scroll(SysAllocString(L"auto"));
    if (scroll) bodyElement->put_scroll(scroll.Get());
}

void CDHtmDlgEx::OnBeforeNavigate2(IDispatch*, const wchar_t* url, DWORD, const wchar_t*, VARIANT*,
                                   const wchar_t*, VARIANT_BOOL* cancel) {
    OnBeforeNavigateApp(url, cancel);
}

void CDHtmDlgEx::OnBeforeNavigateApp(const wchar_t* url, VARIANT_BOOL* cancel) {
    switch (ClassifyNavigation(url ? url : L"")) {
    case AppNavigate::Cancel: *cancel = VARIANT_TRUE; break;
    case AppNavigate::Allow: *cancel = VARIANT_FALSE; break;
    case AppNavigate::BrowserDecides: break;
    }
}

void CDHtmDlgEx::OnNavigateError(IDispatch*, const wchar_t*, const wchar_t*, LONG, VARIANT_BOOL* cancel) {
    // The browser's own error page would show its address and texts in our window.
    *cancel = VARIANT_TRUE;
}

HRESULT CDHtmDlgEx::OnShowMessage(HWND, LPOLESTR, LPOLESTR, DWORD, LPOLESTR, DWORD, LRESULT*) { return S_FALSE; }

HRESULT CDHtmDlgEx::OnShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) { return S_FALSE; }

void CDHtmDlgEx::BeginModalState() {
    if (m_hWnd) EnableWindow(m_hWnd, FALSE);
}

void CDHtmDlgEx::EndModalState() {
    if (m_hWnd) EnableWindow(m_hWnd, TRUE);
}

HRESULT CDHtmDlgEx::ButtonNormal(IHTMLElement* element) {
    if (element) {
        HtmlSpriteElement e(element);
        m_sprites.ButtonNormal(e);
    }
    return S_FALSE;
}

HRESULT CDHtmDlgEx::ButtonHover(IHTMLElement* element) {
    if (element) {
        HtmlSpriteElement e(element);
        m_sprites.ButtonHover(e);
    }
    return S_FALSE;
}

HRESULT CDHtmDlgEx::ButtonPress(IHTMLElement* element) {
    if (element) m_sprites.ButtonPress(std::make_shared<HtmlSpriteElement>(element));
    return S_FALSE;
}

HRESULT CDHtmDlgEx::ButtonRelease(IHTMLElement* element) {
    if (element) {
        HtmlSpriteElement e(element);
        m_sprites.ButtonRelease(e);
    }
    return S_FALSE;
}

void CDHtmDlgEx::SendDrag(UINT ncMessage) {
    POINT pt;
    if (!m_hWnd || !GetCursorPos(&pt)) return;
    // As if the caption were pressed: the window manager moves the window.
    SendMessageW(m_hWnd, ncMessage, HTCAPTION, MAKELPARAM(pt.x, pt.y));
}

HRESULT CDHtmDlgEx::DragDown(IHTMLElement*) {
    SendDrag(WM_NCLBUTTONDOWN);
    return S_FALSE;
}

HRESULT CDHtmDlgEx::DragUp(IHTMLElement*) {
    SendDrag(WM_NCLBUTTONUP);
    return S_FALSE;
}

HRESULT CDHtmDlgEx::DragMove(IHTMLElement*) {
    SendDrag(WM_NCMOUSEMOVE);
    return S_FALSE;
}

LRESULT CDHtmDlgEx::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (m_sprites.OnButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) return 0;
        break;
    case WM_DESTROY:
        // The pressed element belongs to the document that is about to go.
        m_sprites.Reset();
        break;
    }
    return HtmlDialog::HandleMessage(msg, wParam, lParam);
}

bool CDHtmDlgEx::WindowCapture::HasCapture() { return m_dlg.m_hWnd && GetCapture() == m_dlg.m_hWnd; }

void CDHtmDlgEx::WindowCapture::Capture() {
    if (m_dlg.m_hWnd) SetCapture(m_dlg.m_hWnd);
}

void CDHtmDlgEx::WindowCapture::Release() { ReleaseCapture(); }
