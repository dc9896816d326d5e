#include "framework/HtmlDialog.h"
#include "framework/BrowserGuids.h"

#include <mshtmdid.h>

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
    // COM identity: the IUnknown of an object is always the same pointer.
    ComPtr<IUnknown> ua, ub;
    return SUCCEEDED(a->QueryInterface(IID_IUnknown, ua.PutVoid())) &&
           SUCCEEDED(b->QueryInterface(IID_IUnknown, ub.PutVoid())) && ua.Get() == ub.Get();
}

bool IsWithin(HWND hwnd, HWND ancestor) {
    return ancestor && hwnd && (hwnd == ancestor || IsChild(ancestor, hwnd));
}

} // namespace

bool IsTopLevelBrowser(IWebBrowser2* browser, IDispatch* disp) { return SameObject(browser, disp); }

// ---- the document's mouse events -------------------------------------------------------

DocumentEventSink::DocumentEventSink(HtmlDialog* owner)
    : DispatchEventSink(kDIID_HTMLDocumentEvents2), m_pOwner(owner) {}

STDMETHODIMP DocumentEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                       EXCEPINFO*, UINT*) {
    DhtmlEvent event;
    if (!m_pOwner || !params || params->cArgs < 1 || !EventFromDispid(id, event)) return S_OK;
    VARIANT& arg = params->rgvarg[0];
    IDispatch* disp = arg.vt == VT_DISPATCH ? arg.pdispVal : nullptr;
    ComPtr<IHTMLEventObj> eventObj;
    if (!disp || FAILED(disp->QueryInterface(IID_IHTMLEventObj, eventObj.PutVoid()))) return S_OK;
    ComPtr<IHTMLElement> source;
    HRESULT hr = S_OK;
    if (SUCCEEDED(eventObj->get_srcElement(source.Put())) && source) {
        UniqueBstr cls, tag;
        source->get_className(cls.Put());
        source->get_tagName(tag.Put());
        hr = m_pOwner->OnDocumentMouseEvent(event, source.Get(),
                                            cls ? std::wstring_view(cls.Get()) : std::wstring_view(),
                                            tag ? std::wstring_view(tag.Get()) : std::wstring_view());
    }
    if (hr == S_FALSE) {
        // The event's return value false: the element's default action does not happen.
        VARIANT no;
        VariantInit(&no);
        no.vt = VT_BOOL;
        no.boolVal = VARIANT_FALSE;
        eventObj->put_returnValue(no);
        if (result) *result = no;
    }
    return S_OK;
}

// ---- the dialog ----------------------------------------------------------------------

HtmlDialog::~HtmlDialog() { TearDown(); }

void HtmlDialog::TearDown() {
    DisconnectDocument();
    m_host.Destroy();
    m_nModalBoxes = 0;
}

bool HtmlDialog::OnInitDialog() {
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (ComPtr<BrowserControlSite> site = CreateControlSite(m_hWnd))
        m_host.Create(m_hWnd, client, this, std::move(site));
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

void HtmlDialog::HostEnableModeless(bool enable) {
    if (!enable) {
        if (m_nModalBoxes++ == 0) BeginModalState();
    } else if (m_nModalBoxes > 0 && --m_nModalBoxes == 0) {
        EndModalState();
    }
}

void HtmlDialog::OnNavigateComplete2(IDispatch* disp, const wchar_t* url) {
    IWebBrowser2* browser = Browser();
    if (!browser || !IsTopLevelBrowser(browser, disp)) return;
    ComPtr<IDispatch> docDisp;
    ComPtr<IHTMLDocument2> doc;
    if (SUCCEEDED(browser->get_Document(docDisp.Put())) && docDisp) docDisp.As(IID_IHTMLDocument2, doc);
    if (doc.Get() != m_doc.Get() || !doc) {
        DisconnectDocument();
        if (doc) ConnectDocument(std::move(doc));
    }
}

void HtmlDialog::ConnectDocument(ComPtr<IHTMLDocument2> doc) {
    m_doc = std::move(doc);
    m_docSink = ComPtr<DocumentEventSink>::Adopt(new DocumentEventSink(this));
    // A document without mouse events still serves as the dialog's document.
    if (!m_docEvents.Connect(m_doc.Get(), kDIID_HTMLDocumentEvents2, m_docSink.Get())) m_docSink.Reset();
}

void HtmlDialog::DisconnectDocument() {
    m_docEvents.Disconnect();
    if (m_docSink) m_docSink->Disconnect();
    m_docSink.Reset();
    m_doc.Reset();
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
