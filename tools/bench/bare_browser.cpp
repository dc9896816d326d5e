// The floor for the page process's start (timed by start_bench until its window shows): the
// least a program does to host the browser control for a host window. A plain window, the
// browser control in place in it with a minimal hand-written site, an event sink for
// BeforeNavigate2; it navigates to the login command, cancels it when it comes, sends the
// key by WM_COPYDATA and ends. Built with the program's flags, no program code.
//   bare_browser <host window>
#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdlib>
#include <cwchar>

namespace {

// The navigation a login page makes once its player has logged in, and the key it registers.
constexpr wchar_t kLoginCommand[] = L"app://loadgame|S1服-《Sevrith》双线一区-bench|http://127.0.0.1/game/play.htm";
constexpr wchar_t kKey[] = L"1服-双线一区-bench";

HWND g_host = nullptr;
HWND g_window = nullptr;
bool g_sent = false;

// Client site, in-place site and frame in one object; it lives as long as the program.
class Site : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *out = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            *out = static_cast<IOleInPlaceFrame*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (for the in-place site and the frame alike)
    STDMETHODIMP GetWindow(HWND* out) override {
        *out = g_window;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override {
        *frame = static_cast<IOleInPlaceFrame*>(this);
        *doc = nullptr;
        GetClientRect(g_window, pos);
        GetClientRect(g_window, clip);
        info->fMDIApp = FALSE;
        info->hwndFrame = g_window;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }

    // IOleInPlaceFrame
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
};

// DWebBrowserEvents2: only BeforeNavigate2 matters.
class Events : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *out = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        // BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel),
        // its arguments in reverse order.
        if (id != DISPID_BEFORENAVIGATE2 || !params || params->cArgs != 7) return S_OK;
        const VARIANT& url = params->rgvarg[5];
        const VARIANT* urlValue = (V_VT(&url) & VT_BYREF) ? V_VARIANTREF(&url) : &url;
        if (!urlValue || V_VT(urlValue) != VT_BSTR || !V_BSTR(urlValue) || wcscmp(V_BSTR(urlValue), kLoginCommand))
            return S_OK;
        *V_BOOLREF(&params->rgvarg[0]) = VARIANT_TRUE;
        if (!g_sent) {
            g_sent = true;
            COPYDATASTRUCT data = {0, DWORD(sizeof(kKey)), const_cast<wchar_t*>(kKey)};
            const LRESULT accepted = SendMessageW(g_host, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
            PostQuitMessage(accepted ? 0 : 4);
        }
        return S_OK;
    }
};

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 1;
    g_host = reinterpret_cast<HWND>(static_cast<UINT_PTR>(_wcstoui64(argv[1], nullptr, 10)));
    LocalFree(argv);
    if (FAILED(OleInitialize(nullptr))) return 2;

    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"BareBrowserHost";
    RegisterClassW(&wc);
    g_window = CreateWindowExW(0, wc.lpszClassName, L"bare browser", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 800,
                               540, nullptr, nullptr, instance, nullptr);

    Site site;
    Events events;
    IOleObject* object = nullptr;
    IWebBrowser2* browser = nullptr;
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
    int code = 3;
    HRESULT hr = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  reinterpret_cast<void**>(&object));
    if (SUCCEEDED(hr)) hr = object->SetClientSite(static_cast<IOleClientSite*>(&site));
    if (SUCCEEDED(hr)) {
        RECT r = {};
        GetClientRect(g_window, &r);
        hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(&site), 0, g_window, &r);
    }
    if (SUCCEEDED(hr)) hr = object->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser));
    if (SUCCEEDED(hr)) {
        IConnectionPointContainer* points = nullptr;
        hr = browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points));
        if (SUCCEEDED(hr)) hr = points->FindConnectionPoint(DIID_DWebBrowserEvents2, &point);
        if (SUCCEEDED(hr)) hr = point->Advise(&events, &cookie);
        if (points) points->Release();
    }
    if (SUCCEEDED(hr)) {
        BSTR address = SysAllocString(kLoginCommand);
        VARIANT empty;
        VariantInit(&empty);
        hr = browser->Navigate(address, &empty, &empty, &empty, &empty);
        SysFreeString(address);
    }
    // A cancelled navigation can report failure: what counts is whether the key went out.
    if (SUCCEEDED(hr) || g_sent) {
        MSG msg;
        BOOL got;
        while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        code = got == 0 ? int(msg.wParam) : 3;
    }

    if (point) {
        point->Unadvise(cookie);
        point->Release();
    }
    if (browser) browser->Release();
    if (object) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
        object->Release();
    }
    DestroyWindow(g_window);
    OleUninitialize();
    return code;
}
