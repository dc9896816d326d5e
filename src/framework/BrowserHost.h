// Hosting of the system's web browser control (CLSID_WebBrowser, IWebBrowser2) in a window
// of ours. The control talks to its host through a client site (one COM object that is also
// its in-place site, its frame, its IDocHostUIHandler and the IDispatch of ambient
// properties) and tells of navigations through DWebBrowserEvents2, which a separate sink
// object receives: the control asks the site's IDispatch for ambient properties, so the
// events cannot share it. Both objects hand every call on to the owner, a BrowserHostClient.
#pragma once
#include "framework/Handles.h"

#include <windows.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <ocidl.h>
#include <oleidl.h>

namespace fw {

// The owner of a hosted control: answers what the control asks of its host and hears its
// navigation events. Every call arrives on the thread that created the control.
class BrowserHostClient {
public:
    virtual ~BrowserHostClient() = default;

    // IDocHostUIHandler. S_FALSE from ShowContextMenu lets the browser show its own menu.
    virtual HRESULT HostShowContextMenu(DWORD id, POINT* pt, IUnknown* cmdTarget, IDispatch* object) {
        return S_FALSE;
    }
    // The info arrives filled with cbSize and zero flags; add the host flags wanted.
    virtual HRESULT HostGetHostInfo(DOCHOSTUIINFO* info) { return S_OK; }
    // The object page script reaches as window.external; S_FALSE and null for none.
    virtual HRESULT HostGetExternal(IDispatch** dispatch) {
        *dispatch = nullptr;
        return S_FALSE;
    }
    // IOleInPlaceFrame / IDocHostUIHandler EnableModeless: FALSE as the page opens a modal
    // box of its own (an alert), TRUE as it closes it. Boxes may nest.
    virtual void HostEnableModeless(bool enable) {}

    // DWebBrowserEvents2. The address texts are never null.
    virtual void OnBeforeNavigate2(IDispatch* disp, const wchar_t* url, DWORD flags,
                                   const wchar_t* targetFrame, VARIANT* postData,
                                   const wchar_t* headers, VARIANT_BOOL* cancel) {}
    virtual void OnNavigateComplete2(IDispatch* disp, const wchar_t* url) {}
    virtual void OnDocumentComplete(IDispatch* disp, const wchar_t* url) {}
    virtual void OnNavigateError(IDispatch* disp, const wchar_t* url, const wchar_t* targetFrame,
                                 LONG statusCode, VARIANT_BOOL* cancel) {}
    virtual void OnTitleChange(const wchar_t* title) {}
};

// COM objects of this layer (sites and event sinks) now alive. Every host torn down brings
// it back to what it was before the host was made.
long BrowserObjectsAlive();
// Called by every such object as it is made (+1) and as it goes (-1).
void CountBrowserObject(long delta);

// The IDispatch of an object that receives one event interface of a connection point
// (dispinterface events arrive as Invoke calls with the event's DISPID). It answers
// IUnknown, IDispatch and that interface with one reference count, offers no type
// information, and is counted in BrowserObjectsAlive. A subclass says what its events do.
class DispatchEventSink : public IDispatch {
public:
    // Starts with one reference, held by whoever created it.
    explicit DispatchEventSink(REFIID events);
    DispatchEventSink(const DispatchEventSink&) = delete;
    DispatchEventSink& operator=(const DispatchEventSink&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

protected:
    virtual ~DispatchEventSink();

private:
    LONG m_nRef = 1;
    IID m_iidEvents;
};

// One Advise of a sink on an event source, undone (Unadvise) by Disconnect or on destruction.
class EventConnection {
public:
    EventConnection() = default;
    ~EventConnection() { Disconnect(); }
    EventConnection(const EventConnection&) = delete;
    EventConnection& operator=(const EventConnection&) = delete;

    // Connects sink to source's connection point for events (an earlier connection is
    // undone first). False when the source has no such point or refuses the sink.
    bool Connect(IUnknown* source, REFIID events, IUnknown* sink);
    void Disconnect();
    bool Connected() const { return static_cast<bool>(m_point); }

private:
    ComPtr<IConnectionPoint> m_point;
    DWORD m_dwCookie = 0;
};

// The site of one control. Subclasses add host interfaces through GetInterfaceHook; their
// IUnknown methods must be this class's, so that every interface shares one identity and one
// reference count.
class BrowserControlSite : public IOleClientSite,
                           public IOleInPlaceSite,
                           public IOleInPlaceFrame,
                           public IDocHostUIHandler,
                           public IDispatch {
public:
    // Starts with one reference, held by whoever created it.
    BrowserControlSite(HWND container, BrowserHostClient* client);

    BrowserHostClient* Client() const { return m_pClient; }
    HWND Container() const { return m_hContainer; }
    // The control is being torn down: from now on nothing reaches the client (nor anything
    // else of the owner that a subclass was given).
    virtual void Disconnect() { m_pClient = nullptr; }
    // The rectangle of the control inside its container.
    void SetPosition(const RECT& rect) { m_rcPos = rect; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** mk) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (of the in-place site and of the frame)
    STDMETHODIMP GetWindow(HWND* hwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                  LPRECT posRect, LPRECT clipRect,
                                  LPOLEINPLACEFRAMEINFO frameInfo) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT rect) override;

    // IOleInPlaceUIWindow / IOleInPlaceFrame: no toolbars, menus or status bar.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL enable) override;  // also IDocHostUIHandler's
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDocHostUIHandler: the questions go to the client.
    STDMETHODIMP ShowContextMenu(DWORD id, POINT* pt, IUnknown* cmdTarget, IDispatch* object) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override { return S_OK; }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override;
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override;
    STDMETHODIMP GetExternal(IDispatch** dispatch) override;
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override;
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override;

    // IDispatch: the ambient properties; the control's defaults suit us.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }

protected:
    virtual ~BrowserControlSite();
    // Looked up before the site's own interfaces; null for an interface the subclass does
    // not add. The pointer is returned with a reference added by QueryInterface.
    virtual void* GetInterfaceHook(REFIID iid) { return nullptr; }

private:
    LONG m_nRef = 1;
    HWND m_hContainer;
    BrowserHostClient* m_pClient;
    RECT m_rcPos = {};
};

// The control's DWebBrowserEvents2, handed on to the client.
class BrowserEventSink final : public DispatchEventSink {
public:
    explicit BrowserEventSink(BrowserHostClient* client);
    // From now on the events reach nobody.
    void Disconnect() { m_pClient = nullptr; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override;

private:
    ~BrowserEventSink() override = default;
    BrowserHostClient* m_pClient;
};

// One hosted control and everything it holds. Destroy (or the destructor) tears the control
// down and releases the control, the site and the sink exactly once.
class BrowserHost {
public:
    BrowserHost() = default;
    ~BrowserHost() { Destroy(); }
    BrowserHost(const BrowserHost&) = delete;
    BrowserHost& operator=(const BrowserHost&) = delete;

    // Creates the control as a child of container, covering rect (container client
    // coordinates). site: the site to give it; null for a BrowserControlSite of our own.
    bool Create(HWND container, const RECT& rect, BrowserHostClient* client,
                ComPtr<BrowserControlSite> site = nullptr);
    void Destroy();

    bool IsCreated() const { return static_cast<bool>(m_browser); }
    IWebBrowser2* Browser() const { return m_browser.Get(); }
    BrowserControlSite* Site() const { return m_site.Get(); }
    // The control's own window (a child of the container), or null.
    HWND ControlWindow() const;
    void SetRect(const RECT& rect);
    bool Navigate(const wchar_t* url);
    // Offers a keyboard message to the page (tab order, shortcuts); true when it took it.
    bool TranslateAccelerator(MSG& msg);

private:
    // OLE for in-place activation, on this thread for as long as the control lives.
    struct OleScope {
        bool initialized = false;
        OleScope() = default;
        OleScope(const OleScope&) = delete;
        OleScope& operator=(const OleScope&) = delete;
        ~OleScope() { Leave(); }
        void Enter() { initialized = SUCCEEDED(OleInitialize(nullptr)); }
        void Leave() {
            if (initialized) OleUninitialize();
            initialized = false;
        }
    };

    // Declared in the order of their making; Destroy takes them down in reverse.
    OleScope m_ole;
    ComPtr<BrowserControlSite> m_site;
    ComPtr<IOleObject> m_object;
    ComPtr<IWebBrowser2> m_browser;
    ComPtr<BrowserEventSink> m_sink;
    EventConnection m_events;
};

} // namespace fw
