#include "framework/HtmlDialog.h"
#include "framework/BrowserGuids.h"

#include <mshtmdid.h>
#include <ocidl.h>

namespace fw {

namespace {

bool EventFromDispid(DISPID id, DhtmlEvent& event) {
    static const struct { DISPID id; DhtmlEvent event; } kEvents[] = {
        {static_cast<DISPID>(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEDOWN), DhtmlEvent::MouseDown},
        {static_cast<DISPID>(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEUP), DhtmlEvent::MouseUp},
        {static_cast<DISPID>(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEMOVE), DhtmlEvent::MouseMove},
        {static_cast<DISPID>(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEOVER), DhtmlEvent::MouseOver},
        {static_cast<DISPID>(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEOUT), DhtmlEvent::MouseOut},
        {static_cast<DISPID>(DISPID_HTMLDOCUMENTEVENTS2_ONCONTEXTMENU), DhtmlEvent::ContextMenu},
        {static_cast<DISPID>(DISPID_HTMLDOCUMENTEVENTS2_ONCLICK), DhtmlEvent::Click},
        {static_cast<DISPID>(DISPID_HTMLDOCUMENTEVENTS2_ONDBLCLICK), DhtmlEvent::DblClick},
    };
    for (const auto& e : kEvents) {
        if (e.id == id) {
            event = e.event;
            return true;
        }
    }
    return false;
}

bool SameObject(IUnknown* a, IUnknown* b) {
    if (!a || !b) return false;
    IUnknown* ua = nullptr;
    IUnknown* ub = nullptr;
    bool same = false;
    if (SUCCEEDED(a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&ua))) &&
        SUCCEEDED(b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&ub))))
        same = ua == ub;
    if (ua) ua->Release();
    if (ub) ub->Release();
    return same;
}

bool IsWithin(HWND hwnd, HWND ancestor) {
    return ancestor && hwnd && (hwnd == ancestor || IsChild(ancestor, hwnd));
}

} // namespace

bool IsTopLevelBrowser(IWebBrowser2* browser, IDispatch* disp) { return SameObject(browser, disp); }

// ---- the document's mouse events -------------------------------------------------------

DocumentEventSink::DocumentEventSink(HtmlDialog* owner) : m_pOwner(owner) { CountBrowserObject(+1); }
DocumentEventSink::~DocumentEventSink() { CountBrowserObject(-1); }

STDMETHODIMP DocumentEventSink::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kDIID_HTMLDocumentEvents2)) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) DocumentEventSink::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_nRef)); }

STDMETHODIMP_(ULONG) DocumentEventSink::Release() {
    LONG n = InterlockedDecrement(&m_nRef);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP DocumentEventSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP DocumentEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                       EXCEPINFO*, UINT*) {
    DhtmlEvent event;
    if (!m_pOwner || !params || params->cArgs < 1 || !EventFromDispid(id, event)) return S_OK;
    VARIANT& arg = params->rgvarg[0];
    IDispatch* disp = arg.vt == VT_DISPATCH ? arg.pdispVal : nullptr;
    IHTMLEventObj* eventObj = nullptr;
    if (!disp || FAILED(disp->QueryInterface(IID_IHTMLEventObj, reinterpret_cast<void**>(&eventObj))))
        return S_OK;
    IHTMLElement* source = nullptr;
    HRESULT hr = S_OK;
    if (SUCCEEDED(eventObj->get_srcElement(&source)) && source) {
        BSTR cls = nullptr;
        BSTR tag = nullptr;
        source->get_className(&cls);
        source->get_tagName(&tag);
        hr = m_pOwner->OnDocumentMouseEvent(event, source, cls ? std::wstring_view(cls) : std::wstring_view(),
                                            tag ? std::wstring_view(tag) : std::wstring_view());
        SysFreeString(cls);
        SysFreeString(tag);
        source->Release();
    }
    if (hr == S_FALSE) {
        // The event's return value false: the element's default action does not happen.
        VARIANT no;
        VariantInit(&no);
        no.vt = VT_BOOL;
        no.boolVal = VARIANT_FALSE;
        eventObj->put_returnValue(no);
        if (result) {
            VariantInit(result);
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_FALSE;
        }
    }
    eventObj->Release();
    return S_OK;
}

// ---- the dialog ----------------------------------------------------------------------

HtmlDialog::~HtmlDialog() { TearDown(); }

void HtmlDialog::TearDown() {
    DisconnectDocument();
    m_host.Destroy();
}

bool HtmlDialog::OnInitDialog() {
    RECT client;
    GetClientRect(m_hWnd, &client);
    BrowserControlSite* site = CreateControlSite(m_hWnd);
    if (site) m_host.Create(m_hWnd, client, this, site);
    return true;
}

LRESULT HtmlDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        if (m_host.IsCreated()) {
            RECT client = {0, 0, LOWORD(lParam), HIWORD(lParam)};
            m_host.SetRect(client);
        }
        break;
    case WM_DESTROY:
        // The control goes while its window still exists.
        TearDown();
        break;
    }
    return Dialog::HandleMessage(msg, wParam, lParam);
}

bool HtmlDialog::PreTranslateMessage(MSG& msg) {
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && IsWithin(msg.hwnd, BrowserWindow())) {
        // Whatever the browser does not take as an accelerator is dispatched to the page as
        // usual; the dialog manager never sees it (Tab and Enter belong to the page).
        return m_host.TranslateAccelerator(msg);
    }
    return Dialog::PreTranslateMessage(msg);
}

HRESULT HtmlDialog::HostGetHostInfo(DOCHOSTUIINFO* info) {
    info->dwFlags |= DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_THEME;
    return S_OK;
}

HRESULT HtmlDialog::HostGetExternal(IDispatch** dispatch) {
    *dispatch = nullptr;
    if (!CanAccessExternal()) return S_FALSE;
    IDispatch* external = ExternalDispatch();
    if (!external) return S_FALSE;
    external->AddRef();
    *dispatch = external;
    return S_OK;
}

void HtmlDialog::OnNavigateComplete2(IDispatch* disp, const wchar_t* url) {
    IWebBrowser2* browser = Browser();
    if (!browser || !IsTopLevelBrowser(browser, disp)) return;
    IDispatch* docDisp = nullptr;
    IHTMLDocument2* doc = nullptr;
    if (SUCCEEDED(browser->get_Document(&docDisp)) && docDisp) {
        docDisp->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&doc));
        docDisp->Release();
    }
    if (doc != m_pHtmlDoc || !doc) {
        DisconnectDocument();
        if (doc) ConnectDocument(doc);
    }
    if (doc) doc->Release();
}

void HtmlDialog::ConnectDocument(IHTMLDocument2* doc) {
    m_pHtmlDoc = doc;
    m_pHtmlDoc->AddRef();
    IConnectionPointContainer* points = nullptr;
    if (FAILED(doc->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points))))
        return;
    if (SUCCEEDED(points->FindConnectionPoint(kDIID_HTMLDocumentEvents2, &m_pDocPoint))) {
        m_pDocSink = new DocumentEventSink(this);
        if (FAILED(m_pDocPoint->Advise(m_pDocSink, &m_dwDocCookie))) {
            m_pDocPoint->Release();
            m_pDocPoint = nullptr;
            m_pDocSink->Release();
            m_pDocSink = nullptr;
        }
    }
    points->Release();
}

void HtmlDialog::DisconnectDocument() {
    if (m_pDocPoint) {
        m_pDocPoint->Unadvise(m_dwDocCookie);
        m_pDocPoint->Release();
        m_pDocPoint = nullptr;
        m_dwDocCookie = 0;
    }
    if (m_pDocSink) {
        m_pDocSink->Disconnect();
        m_pDocSink->Release();
        m_pDocSink = nullptr;
    }
    if (m_pHtmlDoc) {
        m_pHtmlDoc->Release();
        m_pHtmlDoc = nullptr;
    }
}

HRESULT HtmlDialog::OnDocumentMouseEvent(DhtmlEvent event, IHTMLElement* source, std::wstring_view classAttr,
                                         std::wstring_view tagName) {
    int row = FindDhtmlRow(m_eventTable.data(), m_eventTable.size(), event, classAttr, tagName);
    if (row < 0) return S_OK;
    // A copy: the handler may replace the table.
    DhtmlHandler handler = m_eventTable[static_cast<size_t>(row)].handler;
    return handler ? handler(source) : S_FALSE;
}

} // namespace fw
