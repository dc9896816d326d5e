#include "framework/BrowserHost.h"

#include <exdispid.h>
#include <ocidl.h>

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

// ---- the site -------------------------------------------------------------------------

BrowserControlSite::BrowserControlSite(HWND container, BrowserHostClient* client)
    : m_hContainer(container), m_pClient(client) {
    InterlockedIncrement(&g_nObjectsAlive);
}

BrowserControlSite::~BrowserControlSite() { InterlockedDecrement(&g_nObjectsAlive); }

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

// ---- the event sink -------------------------------------------------------------------

class BrowserEventSink : public IDispatch {
public:
    explicit BrowserEventSink(BrowserHostClient* client) : m_pClient(client) {
        InterlockedIncrement(&g_nObjectsAlive);
    }
    void Disconnect() { m_pClient = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, DIID_DWebBrowserEvents2)) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_nRef)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = InterlockedDecrement(&m_nRef);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;

private:
    virtual ~BrowserEventSink() { InterlockedDecrement(&g_nObjectsAlive); }
    LONG m_nRef = 1;
    BrowserHostClient* m_pClient;
};

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
                         BrowserControlSite* site) {
    if (m_pObject || m_pSite) {
        if (site) site->Release();
        return false;
    }
    // In-place activation needs OLE on this thread, not only COM.
    m_bOleInitialized = SUCCEEDED(OleInitialize(nullptr));
    m_pSite = site ? site : new BrowserControlSite(container, client);
    m_pSite->SetPosition(rect);

    HRESULT hr = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  reinterpret_cast<void**>(&m_pObject));
    if (SUCCEEDED(hr)) hr = m_pObject->SetClientSite(static_cast<IOleClientSite*>(m_pSite));
    if (SUCCEEDED(hr)) {
        RECT r = rect;
        hr = m_pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(m_pSite),
                               0, container, &r);
    }
    if (SUCCEEDED(hr))
        hr = m_pObject->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&m_pBrowser));
    if (FAILED(hr)) {
        Destroy();
        return false;
    }

    IConnectionPointContainer* points = nullptr;
    if (SUCCEEDED(m_pBrowser->QueryInterface(IID_IConnectionPointContainer,
                                             reinterpret_cast<void**>(&points)))) {
        if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &m_pEventPoint))) {
            m_pSink = new BrowserEventSink(client);
            if (FAILED(m_pEventPoint->Advise(m_pSink, &m_dwEventCookie))) {
                m_pEventPoint->Release();
                m_pEventPoint = nullptr;
                m_pSink->Release();
                m_pSink = nullptr;
            }
        }
        points->Release();
    }
    if (!m_pSink) {
        // Without its events the control cannot be told where it may go.
        Destroy();
        return false;
    }
    return true;
}

void BrowserHost::Destroy() {
    if (m_pEventPoint) {
        m_pEventPoint->Unadvise(m_dwEventCookie);
        m_pEventPoint->Release();
        m_pEventPoint = nullptr;
        m_dwEventCookie = 0;
    }
    if (m_pSink) {
        m_pSink->Disconnect();
        m_pSink->Release();
        m_pSink = nullptr;
    }
    if (m_pSite) m_pSite->Disconnect();
    if (m_pBrowser) {
        m_pBrowser->Release();
        m_pBrowser = nullptr;
    }
    if (m_pObject) {
        IOleInPlaceObject* inPlace = nullptr;
        if (SUCCEEDED(m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
            inPlace->InPlaceDeactivate();
            inPlace->Release();
        }
        m_pObject->Close(OLECLOSE_NOSAVE);
        m_pObject->SetClientSite(nullptr);
        m_pObject->Release();
        m_pObject = nullptr;
    }
    if (m_pSite) {
        m_pSite->Release();
        m_pSite = nullptr;
    }
    if (m_bOleInitialized) {
        OleUninitialize();
        m_bOleInitialized = false;
    }
}

HWND BrowserHost::ControlWindow() const {
    if (!m_pObject) return nullptr;
    HWND hwnd = nullptr;
    IOleWindow* window = nullptr;
    if (SUCCEEDED(m_pObject->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)))) {
        window->GetWindow(&hwnd);
        window->Release();
    }
    return hwnd;
}

void BrowserHost::SetRect(const RECT& rect) {
    if (!m_pObject || !m_pSite) return;
    m_pSite->SetPosition(rect);
    IOleInPlaceObject* inPlace = nullptr;
    if (SUCCEEDED(m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
        inPlace->SetObjectRects(&rect, &rect);
        inPlace->Release();
    }
}

bool BrowserHost::Navigate(const wchar_t* url) {
    if (!m_pBrowser || !url) return false;
    BSTR address = SysAllocString(url);
    if (!address) return false;
    VARIANT empty;
    VariantInit(&empty);
    HRESULT hr = m_pBrowser->Navigate(address, &empty, &empty, &empty, &empty);
    SysFreeString(address);
    return SUCCEEDED(hr);
}

bool BrowserHost::TranslateAccelerator(MSG& msg) {
    if (!m_pBrowser) return false;
    IOleInPlaceActiveObject* active = nullptr;
    if (FAILED(m_pBrowser->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(&active))))
        return false;
    bool taken = active->TranslateAccelerator(&msg) == S_OK;
    active->Release();
    return taken;
}

} // namespace fw
