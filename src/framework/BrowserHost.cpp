#include "framework/BrowserHost.h"

#include <exdispid.h>

namespace fw {

namespace {

LONG g_nObjectsAlive = 0;

// Event arguments come as variants, often by reference to another variant.
const VARIANT* Deref(const VARIANT* v) {
    while (v && v->vt == (VT_BYREF | VT_VARIANT)) v = v->pvarVal;
    return v;
}

const wchar_t* TextOf(const VARIANT* v) {
    v = Deref(v);
    if (v && v->vt == VT_BSTR && v->bstrVal) return v->bstrVal;
    if (v && v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal && *v->pbstrVal) return *v->pbstrVal;
    return L"";
}

LONG LongOf(const VARIANT* v) {
    v = Deref(v);
    if (!v) return 0;
    switch (v->vt) {
    case VT_I4: return v->lVal;
    case VT_UI4: return static_cast<LONG>(v->ulVal);
    case VT_BYREF | VT_I4: return v->plVal ? *v->plVal : 0;
    case VT_I2: return v->iVal;
    default: return 0;
    }
}

IDispatch* DispatchOf(const VARIANT* v) {
    v = Deref(v);
    if (v && v->vt == VT_DISPATCH) return v->pdispVal;
    if (v && v->vt == (VT_BYREF | VT_DISPATCH) && v->ppdispVal) return *v->ppdispVal;
    return nullptr;
}

VARIANT_BOOL* BoolRefOf(VARIANT* v) {
    while (v && v->vt == (VT_BYREF | VT_VARIANT)) v = v->pvarVal;
    if (v && v->vt == (VT_BYREF | VT_BOOL)) return v->pboolVal;
    return nullptr;
}

} // namespace

long BrowserObjectsAlive() { return g_nObjectsAlive; }
void CountBrowserObject(long delta) { InterlockedExchangeAdd(&g_nObjectsAlive, delta); }

// ---- event sinks and their connections -----------------------------------------------

DispatchEventSink::DispatchEventSink(REFIID events) : m_iidEvents(events) { CountBrowserObject(+1); }

DispatchEventSink::~DispatchEventSink() { CountBrowserObject(-1); }

STDMETHODIMP DispatchEventSink::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !IsEqualIID(iid, m_iidEvents))
        return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) DispatchEventSink::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_nRef)); }

STDMETHODIMP_(ULONG) DispatchEventSink::Release() {
    LONG n = InterlockedDecrement(&m_nRef);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP DispatchEventSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

bool EventConnection::Connect(IUnknown* source, REFIID events, IUnknown* sink) {
    Disconnect();
    ComPtr<IConnectionPointContainer> points;
    if (!source || !sink ||
        FAILED(source->QueryInterface(IID_IConnectionPointContainer, points.PutVoid())))
        return false;
    ComPtr<IConnectionPoint> point;
    if (FAILED(points->FindConnectionPoint(events, point.Put())) || !point ||
        FAILED(point->Advise(sink, &m_dwCookie)))
        return false;
    m_point = std::move(point);
    return true;
}

void EventConnection::Disconnect() {
    if (m_point) m_point->Unadvise(m_dwCookie);
    m_point.Reset();
    m_dwCookie = 0;
}

// ---- the site -------------------------------------------------------------------------

BrowserControlSite::BrowserControlSite(HWND container, BrowserHostClient* client)
    : m_hContainer(container), m_pClient(client) {
    CountBrowserObject(+1);
}

BrowserControlSite::~BrowserControlSite() { CountBrowserObject(-1); }

STDMETHODIMP BrowserControlSite::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    void* p = GetInterfaceHook(iid);
    if (!p) {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
            p = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
            p = static_cast<IOleInPlaceSite*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame))
            p = static_cast<IOleInPlaceFrame*>(this);
        else if (IsEqualIID(iid, IID_IDocHostUIHandler))
            p = static_cast<IDocHostUIHandler*>(this);
        else if (IsEqualIID(iid, IID_IDispatch))
            p = static_cast<IDispatch*>(this);
    }
    if (!p) return E_NOINTERFACE;
    AddRef();
    *out = p;
    return S_OK;
}

STDMETHODIMP_(ULONG) BrowserControlSite::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_nRef)); }

STDMETHODIMP_(ULONG) BrowserControlSite::Release() {
    LONG n = InterlockedDecrement(&m_nRef);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP BrowserControlSite::GetMoniker(DWORD, DWORD, IMoniker** mk) {
    if (mk) *mk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP BrowserControlSite::GetContainer(IOleContainer** container) {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP BrowserControlSite::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = m_hContainer;
    return S_OK;
}

STDMETHODIMP BrowserControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                                  LPRECT posRect, LPRECT clipRect,
                                                  LPOLEINPLACEFRAMEINFO frameInfo) {
    if (!frame || !doc || !posRect || !clipRect || !frameInfo) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *doc = nullptr;
    *posRect = m_rcPos;
    GetClientRect(m_hContainer, clipRect);
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = GetAncestor(m_hContainer, GA_ROOT);
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP BrowserControlSite::OnPosRectChange(LPCRECT rect) {
    // The host decides the layout; the rectangle the control asks for is only remembered.
    if (rect) m_rcPos = *rect;
    return S_OK;
}

STDMETHODIMP BrowserControlSite::EnableModeless(BOOL enable) {
    if (m_pClient) m_pClient->HostEnableModeless(enable != FALSE);
    return S_OK;
}

STDMETHODIMP BrowserControlSite::ShowContextMenu(DWORD id, POINT* pt, IUnknown* cmdTarget, IDispatch* object) {
    return m_pClient ? m_pClient->HostShowContextMenu(id, pt, cmdTarget, object) : S_FALSE;
}

STDMETHODIMP BrowserControlSite::GetHostInfo(DOCHOSTUIINFO* info) {
    if (!info) return E_POINTER;
    info->dwFlags = 0;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    info->pchHostCss = nullptr;
    info->pchHostNS = nullptr;
    return m_pClient ? m_pClient->HostGetHostInfo(info) : S_OK;
}

STDMETHODIMP BrowserControlSite::GetOptionKeyPath(LPOLESTR* key, DWORD) {
    if (key) *key = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP BrowserControlSite::GetDropTarget(IDropTarget*, IDropTarget** target) {
    if (target) *target = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP BrowserControlSite::GetExternal(IDispatch** dispatch) {
    if (!dispatch) return E_POINTER;
    *dispatch = nullptr;
    return m_pClient ? m_pClient->HostGetExternal(dispatch) : S_FALSE;
}

STDMETHODIMP BrowserControlSite::TranslateUrl(DWORD, LPWSTR, LPWSTR* out) {
    if (out) *out = nullptr;
    return S_FALSE;
}

STDMETHODIMP BrowserControlSite::FilterDataObject(IDataObject*, IDataObject** out) {
    if (out) *out = nullptr;
    return S_FALSE;
}

STDMETHODIMP BrowserControlSite::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

// ---- the browser's events ------------------------------------------------------------

BrowserEventSink::BrowserEventSink(BrowserHostClient* client)
    : DispatchEventSink(DIID_DWebBrowserEvents2), m_pClient(client) {}

STDMETHODIMP BrowserEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                      EXCEPINFO*, UINT*) {
    if (!m_pClient || !params) return S_OK;
    // The arguments come last to first.
    VARIANT* a = params->rgvarg;
    UINT n = params->cArgs;
    switch (id) {
    case DISPID_BEFORENAVIGATE2:
        if (n >= 7) {
            VARIANT_BOOL* cancel = BoolRefOf(&a[0]);
            VARIANT_BOOL dummy = VARIANT_FALSE;
            VARIANT* postData = &a[2];
            m_pClient->OnBeforeNavigate2(DispatchOf(&a[6]), TextOf(&a[5]),
                                         static_cast<DWORD>(LongOf(&a[4])), TextOf(&a[3]),
                                         postData, TextOf(&a[1]), cancel ? cancel : &dummy);
        }
        break;
    case DISPID_NAVIGATECOMPLETE2:
        if (n >= 2) m_pClient->OnNavigateComplete2(DispatchOf(&a[1]), TextOf(&a[0]));
        break;
    case DISPID_DOCUMENTCOMPLETE:
        if (n >= 2) m_pClient->OnDocumentComplete(DispatchOf(&a[1]), TextOf(&a[0]));
        break;
    case DISPID_NAVIGATEERROR:
        if (n >= 5) {
            VARIANT_BOOL* cancel = BoolRefOf(&a[0]);
            VARIANT_BOOL dummy = VARIANT_FALSE;
            m_pClient->OnNavigateError(DispatchOf(&a[4]), TextOf(&a[3]), TextOf(&a[2]),
                                       LongOf(&a[1]), cancel ? cancel : &dummy);
        }
        break;
    case DISPID_TITLECHANGE:
        if (n >= 1) m_pClient->OnTitleChange(TextOf(&a[0]));
        break;
    default:
        break;
    }
    return S_OK;
}

// ---- the host -------------------------------------------------------------------------

bool BrowserHost::Create(HWND container, const RECT& rect, BrowserHostClient* client,
                         ComPtr<BrowserControlSite> site) {
    if (m_object || m_site) return false;
    // In-place activation needs OLE on this thread, not only COM.
    m_ole.Enter();
    m_site = site ? std::move(site) : ComPtr<BrowserControlSite>::Adopt(new BrowserControlSite(container, client));
    m_site->SetPosition(rect);
    IOleClientSite* clientSite = static_cast<IOleClientSite*>(m_site.Get());

    HRESULT hr = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  m_object.PutVoid());
    if (SUCCEEDED(hr)) hr = m_object->SetClientSite(clientSite);
    if (SUCCEEDED(hr)) {
        RECT r = rect;
        hr = m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, container, &r);
    }
    if (SUCCEEDED(hr)) hr = m_object.As(IID_IWebBrowser2, m_browser);
    if (SUCCEEDED(hr)) {
        m_sink = ComPtr<BrowserEventSink>::Adopt(new BrowserEventSink(client));
        // Without its events the control cannot be told where it may go.
        if (!m_events.Connect(m_browser.Get(), DIID_DWebBrowserEvents2, m_sink.Get())) hr = E_FAIL;
    }
    if (FAILED(hr)) {
        Destroy();
        return false;
    }
    return true;
}

void BrowserHost::Destroy() {
    m_events.Disconnect();
    if (m_sink) m_sink->Disconnect();
    m_sink.Reset();
    if (m_site) m_site->Disconnect();
    m_browser.Reset();
    if (m_object) {
        ComPtr<IOleInPlaceObject> inPlace;
        if (SUCCEEDED(m_object.As(IID_IOleInPlaceObject, inPlace))) inPlace->InPlaceDeactivate();
        m_object->Close(OLECLOSE_NOSAVE);
        m_object->SetClientSite(nullptr);
        m_object.Reset();
    }
    m_site.Reset();
    m_ole.Leave();
}

HWND BrowserHost::ControlWindow() const {
    HWND hwnd = nullptr;
    ComPtr<IOleWindow> window;
    if (SUCCEEDED(m_object.As(IID_IOleWindow, window))) window->GetWindow(&hwnd);
    return hwnd;
}

void BrowserHost::SetRect(const RECT& rect) {
    if (!m_object || !m_site) return;
    m_site->SetPosition(rect);
    ComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(m_object.As(IID_IOleInPlaceObject, inPlace))) inPlace->SetObjectRects(&rect, &rect);
}

bool BrowserHost::Navigate(const wchar_t* url) {
    if (!m_browser || !url) return false;
    UniqueBstr address(SysAllocString(url));
    if (!address) return false;
    VARIANT empty;
    VariantInit(&empty);
    return SUCCEEDED(m_browser->Navigate(address.Get(), &empty, &empty, &empty, &empty));
}

bool BrowserHost::TranslateAccelerator(MSG& msg) {
    ComPtr<IOleInPlaceActiveObject> active;
    if (FAILED(m_browser.As(IID_IOleInPlaceActiveObject, active))) return false;
    return active->TranslateAccelerator(&msg) == S_OK;
}

} // namespace fw
