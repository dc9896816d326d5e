// The HTML dialog base with the real browser control, under Wine. The control has no HTML
// engine here: navigations are reported and honoured (BeforeNavigate2, NavigateError), but
// no document ever arrives. What happens with a document is covered against fakes elsewhere.
#include "framework/BrowserGuids.h"
#include "login/DHtmDlgEx.h"
#include "login/MyBrowserControlSite.h"
#include "login_ids.h"
#include "support/FakeHtmlInterfaces.h"
#include "support/MessagePump.h"

#include <mshtmdid.h>

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

int g_dialogsAlive = 0;

class TestDlg : public CDHtmDlgEx {
public:
    TestDlg() : CDHtmDlgEx(IDD_LOGIN) { ++g_dialogsAlive; }
    ~TestDlg() override { --g_dialogsAlive; }

    struct Nav {
        std::wstring url;
        bool cancelled;
    };
    std::vector<Nav> navs;
    std::vector<Nav> errors;
    // Set before the dialog's own rule runs, to see which rule changes the flag.
    VARIANT_BOOL preset = VARIANT_FALSE;

    std::vector<std::wstring> messages;
    bool handleMessages = true;
    std::vector<std::pair<UINT, LPARAM>> dragMessages;
    bool initDone = false;

    using CDHtmDlgEx::HostGetHostInfo;

    bool WasCancelled(const std::wstring& url) const {
        for (const Nav& n : navs)
            if (n.url == url) return n.cancelled;
        ADD_FAILURE() << "no BeforeNavigate2 for this address";
        return false;
    }
    bool Saw(const std::wstring& url) const {
        for (const Nav& n : navs)
            if (n.url == url) return true;
        return false;
    }
    bool ErrorFor(const std::wstring& url) const {
        for (const Nav& n : errors)
            if (n.url == url) return true;
        return false;
    }

protected:
    bool OnInitDialog() override {
        bool r = CDHtmDlgEx::OnInitDialog();
        initDone = true;
        return r;
    }
    void OnBeforeNavigate2(IDispatch* disp, const wchar_t* url, DWORD flags, const wchar_t* target,
                           VARIANT* postData, const wchar_t* headers, VARIANT_BOOL* cancel) override {
        *cancel = preset;
        CDHtmDlgEx::OnBeforeNavigate2(disp, url, flags, target, postData, headers, cancel);
        navs.push_back({url, *cancel != VARIANT_FALSE});
    }
    void OnNavigateError(IDispatch* disp, const wchar_t* url, const wchar_t* target, LONG status,
                         VARIANT_BOOL* cancel) override {
        CDHtmDlgEx::OnNavigateError(disp, url, target, status, cancel);
        errors.push_back({url, *cancel != VARIANT_FALSE});
    }
    HRESULT OnShowMessage(HWND hwnd, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR helpFile,
                          DWORD helpContext, LRESULT* result) override {
        if (!handleMessages) return CDHtmDlgEx::OnShowMessage(hwnd, text, caption, type, helpFile, helpContext, result);
        messages.push_back(std::wstring(caption ? caption : L"") + L"|" + (text ? text : L""));
        if (result) *result = IDOK;
        return S_OK;
    }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        // Seen here instead of starting the window manager's move loop.
        if ((msg == WM_NCLBUTTONDOWN || msg == WM_NCLBUTTONUP || msg == WM_NCMOUSEMOVE) && wParam == HTCAPTION) {
            dragMessages.push_back({msg, lParam});
            return 0;
        }
        return CDHtmDlgEx::HandleMessage(msg, wParam, lParam);
    }
};

// The site the control itself holds, as the browser reaches it.
template <class I>
I* SiteInterface(IWebBrowser2* browser, REFIID iid) {
    IOleObject* object = nullptr;
    IOleClientSite* site = nullptr;
    I* result = nullptr;
    if (SUCCEEDED(browser->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)))) {
        if (SUCCEEDED(object->GetClientSite(&site)) && site) {
            site->QueryInterface(iid, reinterpret_cast<void**>(&result));
            site->Release();
        }
        object->Release();
    }
    return result;
}

struct HtmlDialogTest : ::testing::Test {
    void SetUp() override {
        aliveBefore = fw::BrowserObjectsAlive();
        dlg = std::make_unique<TestDlg>();
        ASSERT_TRUE(dlg->CreateModeless(nullptr));
        ASSERT_NE(dlg->Browser(), nullptr) << "the browser control was not created";
    }
    void TearDown() override {
        if (dlg && dlg->Handle()) DestroyWindow(dlg->Handle());
        dlg.reset();
        EXPECT_EQ(fw::BrowserObjectsAlive(), aliveBefore);
    }
    void NavigateAndWait(const std::wstring& url) {
        ASSERT_TRUE(dlg->Navigate(url.c_str()));
        ASSERT_TRUE(PumpUntil([&] { return dlg->Saw(url); })) << "no BeforeNavigate2 for the address";
    }
    long aliveBefore = 0;
    std::unique_ptr<TestDlg> dlg;
};

TEST_F(HtmlDialogTest, ControlFillsTheDialogAndIsSilent) {
    HWND control = dlg->BrowserWindow();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetAncestor(control, GA_PARENT), dlg->Handle());
    RECT client, rc;
    GetClientRect(dlg->Handle(), &client);
    GetWindowRect(control, &rc);
    EXPECT_EQ(rc.right - rc.left, client.right);
    EXPECT_EQ(rc.bottom - rc.top, client.bottom);

    VARIANT_BOOL silent = VARIANT_FALSE;
    ASSERT_EQ(dlg->Browser()->get_Silent(&silent), S_OK);
    EXPECT_NE(silent, VARIANT_FALSE);

    // The control follows the dialog's size.
    SetWindowPos(dlg->Handle(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(dlg->Handle(), &client);
    GetWindowRect(control, &rc);
    EXPECT_EQ(rc.right - rc.left, client.right);
    EXPECT_EQ(rc.bottom - rc.top, client.bottom);
}

TEST_F(HtmlDialogTest, AppCommandsAreCancelledOtherAddressesAreNot) {
    NavigateAndWait(L"app:x");
    EXPECT_TRUE(dlg->WasCancelled(L"app:x"));
    NavigateAndWait(L"app://loadgame|S1服-a-b|http://127.0.0.1:1/g");
    EXPECT_TRUE(dlg->WasCancelled(L"app://loadgame|S1服-a-b|http://127.0.0.1:1/g"));
    NavigateAndWait(L"app://anything");
    EXPECT_TRUE(dlg->WasCancelled(L"app://anything"));

    // Capitals are no command: the browser goes ahead and fails on its own.
    const std::wstring upper = L"APP://loadgame|S1服-a-b|x";
    NavigateAndWait(upper);
    EXPECT_FALSE(dlg->WasCancelled(upper));

    const std::wstring page = L"http://127.0.0.1:1/login.htm";
    NavigateAndWait(page);
    EXPECT_FALSE(dlg->WasCancelled(page));
    ASSERT_TRUE(PumpUntil([&] { return dlg->ErrorFor(page); }, 20000));
    // The browser's own error page is cancelled.
    EXPECT_TRUE(dlg->errors.back().cancelled);

    // The cancelled commands never reached the network.
    EXPECT_FALSE(dlg->ErrorFor(L"app:x"));
    EXPECT_FALSE(dlg->ErrorFor(L"app://anything"));
}

TEST_F(HtmlDialogTest, LowerCaseJavascriptIsExplicitlyAllowed) {
    // With the flag already set, only the explicit rule clears it.
    dlg->preset = VARIANT_TRUE;
    NavigateAndWait(L"javascript:void(0)");
    EXPECT_FALSE(dlg->WasCancelled(L"javascript:void(0)"));
    NavigateAndWait(L"JavaScript:void(0)");
    EXPECT_TRUE(dlg->WasCancelled(L"JavaScript:void(0)"));
    NavigateAndWait(L"http://127.0.0.1:1/a.htm");
    EXPECT_TRUE(dlg->WasCancelled(L"http://127.0.0.1:1/a.htm"));
}

TEST_F(HtmlDialogTest, ShowUIFromTheSitesHandlerReachesTheDialog) {
    IDocHostUIHandler* handler = SiteInterface<IDocHostUIHandler>(dlg->Browser(), IID_IDocHostUIHandler);
    ASSERT_NE(handler, nullptr);
    IDocHostShowUI* showUI = nullptr;
    ASSERT_EQ(handler->QueryInterface(fw::kIID_IDocHostShowUI, reinterpret_cast<void**>(&showUI)), S_OK);
    ASSERT_NE(showUI, nullptr);

    // Both interfaces are one object.
    IUnknown* a = nullptr;
    IUnknown* b = nullptr;
    handler->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a));
    showUI->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b));
    EXPECT_EQ(a, b);
    a->Release();
    b->Release();
    IDocHostUIHandler* back = nullptr;
    ASSERT_EQ(showUI->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&back)), S_OK);
    back->Release();

    wchar_t text[] = L"密码错误";
    wchar_t caption[] = L"来自网页的消息";
    LRESULT result = 0;
    EXPECT_EQ(showUI->ShowMessage(dlg->Handle(), text, caption, MB_OK, nullptr, 0, &result), S_OK);
    ASSERT_EQ(dlg->messages.size(), 1u);
    EXPECT_EQ(dlg->messages[0], L"来自网页的消息|密码错误");
    EXPECT_EQ(result, IDOK);

    // The default answer lets the browser show its own box.
    dlg->handleMessages = false;
    EXPECT_EQ(showUI->ShowMessage(dlg->Handle(), text, caption, MB_OK, nullptr, 0, &result), S_FALSE);
    wchar_t helpFile[] = L"x.hlp";
    EXPECT_EQ(showUI->ShowHelp(dlg->Handle(), helpFile, 0, 0, POINT{1, 2}, nullptr), S_FALSE);

    // Host answers of the program's dialogs: no context menu, dialog flag on.
    EXPECT_EQ(handler->ShowContextMenu(0, nullptr, nullptr, nullptr), S_OK);
    DOCHOSTUIINFO info = {sizeof(info)};
    ASSERT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_TRUE(info.dwFlags & DOCHOSTUIFLAG_DIALOG);
    // Script may ask for window.external, but the program offers no object there.
    IDispatch* external = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(handler->GetExternal(&external), S_FALSE);
    EXPECT_EQ(external, nullptr);

    // Held past the dialog, the site answers S_OK and shows nothing.
    DestroyWindow(dlg->Handle());
    EXPECT_EQ(showUI->ShowMessage(nullptr, text, caption, MB_OK, nullptr, 0, &result), S_OK);
    EXPECT_EQ(dlg->messages.size(), 1u);
    EXPECT_EQ(fw::BrowserObjectsAlive(), aliveBefore + 1);  // only the site, held by us
    showUI->Release();
    handler->Release();
}

TEST_F(HtmlDialogTest, BrowserModalBoxesDisableTheDialogWhileTheyShow) {
    // The browser says so through either host interface; both reach the same dialog.
    IDocHostUIHandler* handler = SiteInterface<IDocHostUIHandler>(dlg->Browser(), IID_IDocHostUIHandler);
    IOleInPlaceFrame* frame = SiteInterface<IOleInPlaceFrame>(dlg->Browser(), IID_IOleInPlaceFrame);
    ASSERT_NE(handler, nullptr);
    ASSERT_NE(frame, nullptr);
    HWND hwnd = dlg->Handle();
    ASSERT_TRUE(IsWindowEnabled(hwnd));

    EXPECT_EQ(handler->EnableModeless(FALSE), S_OK);
    EXPECT_FALSE(IsWindowEnabled(hwnd));
    // A box opened from a box: the first one to close leaves the dialog disabled.
    frame->EnableModeless(FALSE);
    frame->EnableModeless(TRUE);
    EXPECT_FALSE(IsWindowEnabled(hwnd));
    EXPECT_EQ(frame->EnableModeless(TRUE), S_OK);
    EXPECT_TRUE(IsWindowEnabled(hwnd));

    // An unmatched end leaves the count at rest: the next box still disables the dialog.
    handler->EnableModeless(TRUE);
    EXPECT_TRUE(IsWindowEnabled(hwnd));
    handler->EnableModeless(FALSE);
    EXPECT_FALSE(IsWindowEnabled(hwnd));
    handler->EnableModeless(TRUE);
    EXPECT_TRUE(IsWindowEnabled(hwnd));

    frame->Release();
    handler->Release();
}

TEST(HtmlDialogSite, OwnerThatIsNoProgramDialogGetsNothing) {
    fw::BrowserHostClient plain;
    auto* site = new CMyBrowserControlSite(nullptr, &plain, nullptr);
    IDocHostShowUI* showUI = nullptr;
    ASSERT_EQ(site->QueryInterface(fw::kIID_IDocHostShowUI, reinterpret_cast<void**>(&showUI)), S_OK);
    wchar_t text[] = L"t";
    LRESULT result = 0;
    EXPECT_EQ(showUI->ShowMessage(nullptr, text, text, MB_OK, nullptr, 0, &result), S_OK);
    EXPECT_EQ(showUI->Release(), 1u);
    EXPECT_EQ(site->Release(), 0u);
}

TEST_F(HtmlDialogTest, EventTableRoutesBySourceElement) {
    using fw::DhtmlEvent;
    // The page background drags the window as its caption would.
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(dlg->OnDocumentMouseEvent(DhtmlEvent::MouseDown, nullptr, L"", L"BODY"), S_FALSE);
    EXPECT_EQ(dlg->OnDocumentMouseEvent(DhtmlEvent::MouseMove, nullptr, L"x", L"td"), S_FALSE);
    EXPECT_EQ(dlg->OnDocumentMouseEvent(DhtmlEvent::MouseUp, nullptr, L"", L"Div"), S_FALSE);
    ASSERT_EQ(dlg->dragMessages.size(), 3u);
    EXPECT_EQ(dlg->dragMessages[0].first, static_cast<UINT>(WM_NCLBUTTONDOWN));
    EXPECT_EQ(dlg->dragMessages[1].first, static_cast<UINT>(WM_NCMOUSEMOVE));
    EXPECT_EQ(dlg->dragMessages[2].first, static_cast<UINT>(WM_NCLBUTTONUP));
    EXPECT_EQ(dlg->dragMessages[0].second, MAKELPARAM(cursor.x, cursor.y));

    // A "button" is matched before the tag of the element it is; with several classes it is not.
    dlg->dragMessages.clear();
    EXPECT_EQ(dlg->OnDocumentMouseEvent(DhtmlEvent::MouseDown, nullptr, L"button", L"DIV"), S_FALSE);
    EXPECT_TRUE(dlg->dragMessages.empty());
    EXPECT_EQ(dlg->OnDocumentMouseEvent(DhtmlEvent::MouseDown, nullptr, L"button big", L"DIV"), S_FALSE);
    EXPECT_EQ(dlg->dragMessages.size(), 1u);

    // The context menu is cancelled on the background; other elements keep their defaults.
    dlg->dragMessages.clear();
    EXPECT_EQ(dlg->OnDocumentMouseEvent(DhtmlEvent::ContextMenu, nullptr, L"", L"TD"), S_FALSE);
    EXPECT_EQ(dlg->OnDocumentMouseEvent(DhtmlEvent::MouseDown, nullptr, L"", L"INPUT"), S_OK);
    EXPECT_EQ(dlg->OnDocumentMouseEvent(DhtmlEvent::MouseOver, nullptr, L"", L"BODY"), S_OK);
    EXPECT_EQ(dlg->OnDocumentMouseEvent(DhtmlEvent::Click, nullptr, L"button", L"A"), S_OK);
    EXPECT_TRUE(dlg->dragMessages.empty());
}

TEST_F(HtmlDialogTest, ButtonReleaseWhileCapturedIsTakenByTheDialog) {
    SetCapture(dlg->Handle());
    ASSERT_EQ(GetCapture(), dlg->Handle());
    EXPECT_EQ(SendMessageW(dlg->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10)), 0);
    EXPECT_NE(GetCapture(), dlg->Handle());
    SetCapture(dlg->Handle());
    SendMessageW(dlg->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(-5, -5));
    EXPECT_NE(GetCapture(), dlg->Handle());
    EXPECT_EQ(dlg->PressedElement(), nullptr);
}

TEST(HtmlDialogLife, DialogControlSiteAndSinkAreReleasedWithTheWindow) {
    long aliveBefore = fw::BrowserObjectsAlive();
    int dialogsBefore = g_dialogsAlive;
    auto* dlg = new TestDlg;
    ASSERT_TRUE(dlg->CreateModeless(nullptr));
    IWebBrowser2* browser = dlg->Browser();
    ASSERT_NE(browser, nullptr);
    browser->AddRef();
    HWND control = dlg->BrowserWindow();
    EXPECT_TRUE(IsWindow(control));
    EXPECT_EQ(fw::BrowserObjectsAlive(), aliveBefore + 2);  // site and event sink
    ASSERT_TRUE(dlg->Navigate(L"app:x"));
    PumpUntil([&] { return !dlg->navs.empty(); });

    DestroyWindow(dlg->Handle());
    EXPECT_EQ(dlg->Handle(), nullptr);
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(dlg->Browser(), nullptr);
    EXPECT_EQ(fw::BrowserObjectsAlive(), aliveBefore);
    delete dlg;
    EXPECT_EQ(g_dialogsAlive, dialogsBefore);
    // Our own reference is the last one: the dialog let go of the control exactly once.
    EXPECT_EQ(browser->Release(), 0u);
    PumpFor(100);  // nothing the control left behind may call into the deleted dialog
}

TEST(HtmlDialogLife, ModalDialogIgnoresEnterAndEndsOnClose) {
    long aliveBefore = fw::BrowserObjectsAlive();
    struct ModalDlg : TestDlg {
        bool OnInitDialog() override {
            TestDlg::OnInitDialog();
            Navigate(L"app://exitgame");
            // Enter (IDOK) first, then the system close; both arrive inside the modal loop.
            PostMessageW(m_hWnd, WM_COMMAND, IDOK, 0);
            SetTimer(m_hWnd, 1, 300, nullptr);
            return true;
        }
        LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
            if (msg == WM_TIMER && wParam == 1) {
                KillTimer(m_hWnd, 1);
                aliveAtClose = IsWindow(m_hWnd) != FALSE;
                PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
                return 0;
            }
            return TestDlg::HandleMessage(msg, wParam, lParam);
        }
        bool aliveAtClose = false;
    } dlg;
    EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
    EXPECT_TRUE(dlg.aliveAtClose);
    EXPECT_TRUE(dlg.WasCancelled(L"app://exitgame"));
    EXPECT_EQ(fw::BrowserObjectsAlive(), aliveBefore);
}

// ---- document events with fake page elements ------------------------------------------
// The control here never loads a document, so the page side is played by fakes of the
// document interfaces: the event object, its source element and the element's style.

class FakeStyle : public testing_support::NotImplIHTMLStyle {
public:
    HRESULT STDMETHODCALLTYPE put_backgroundPositionX(VARIANT v) override {
        ++writes;
        lastType = v.vt;
        if (v.vt == VT_I4) positionX = v.lVal;
        return S_OK;
    }
    int writes = 0;
    VARTYPE lastType = VT_EMPTY;
    LONG positionX = 12345;
};

class FakeElement : public testing_support::NotImplIHTMLElement {
public:
    FakeElement(const wchar_t* cls, const wchar_t* tag) : cls(cls), tag(tag) {}
    HRESULT STDMETHODCALLTYPE get_className(BSTR* p) override {
        *p = cls.empty() ? nullptr : SysAllocString(cls.c_str());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_tagName(BSTR* p) override {
        *p = SysAllocString(tag.c_str());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE getAttribute(BSTR name, LONG, VARIANT* v) override {
        VariantInit(v);
        if (std::wstring(name) == L"disabled") *v = disabled;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_offsetLeft(LONG* p) override { *p = 10; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_offsetTop(LONG* p) override { *p = 20; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_offsetWidth(LONG* p) override { *p = 80; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_offsetHeight(LONG* p) override { *p = 30; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_style(IHTMLStyle** p) override {
        *p = hasStyle ? &style : nullptr;
        if (hasStyle) style.AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE click() override {
        ++clicks;
        return S_OK;
    }
    std::wstring cls, tag;
    VARIANT disabled = {};  // VT_EMPTY: no such attribute
    bool hasStyle = true;
    FakeStyle style;
    int clicks = 0;
};

class FakeEvent : public testing_support::NotImplIHTMLEventObj {
public:
    explicit FakeEvent(FakeElement& source) : source(source) {}
    HRESULT STDMETHODCALLTYPE get_srcElement(IHTMLElement** p) override {
        source.AddRef();
        *p = &source;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_returnValue(VARIANT v) override {
        returnSet = true;
        returnValue = v;
        return S_OK;
    }
    FakeElement& source;
    bool returnSet = false;
    VARIANT returnValue = {};
};

struct DocumentEventsTest : HtmlDialogTest {
    // One event as the document fires it at the dialog's sink; the sink's result variant.
    VARIANT Fire(DISPID id, FakeEvent& event) {
        auto* sink = new fw::DocumentEventSink(dlg.get());
        VARIANT arg;
        VariantInit(&arg);
        arg.vt = VT_DISPATCH;
        arg.pdispVal = &event;
        DISPPARAMS params = {&arg, nullptr, 1, 0};
        VARIANT result;
        VariantInit(&result);
        EXPECT_EQ(sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr), S_OK);
        EXPECT_EQ(sink->Release(), 0u);
        return result;
    }
    static bool Cancelled(const VARIANT& v) { return v.vt == VT_BOOL && v.boolVal == VARIANT_FALSE; }
    FakeElement button{L"button", L"DIV"};
};

TEST_F(DocumentEventsTest, SinkAnswersOnlyTheDocumentsEvents) {
    auto* sink = new fw::DocumentEventSink(dlg.get());
    IDispatch* disp = nullptr;
    ASSERT_EQ(sink->QueryInterface(fw::kDIID_HTMLDocumentEvents2, reinterpret_cast<void**>(&disp)), S_OK);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(disp->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(disp), unknown);
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(sink->QueryInterface(DIID_DWebBrowserEvents2, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(fw::BrowserObjectsAlive(), aliveBefore + 3);  // with the control's site and sink
    unknown->Release();
    disp->Release();
    EXPECT_EQ(sink->Release(), 0u);
    EXPECT_EQ(fw::BrowserObjectsAlive(), aliveBefore + 2);
}

TEST_F(DocumentEventsTest, PressAndReleaseOfASpriteButton) {
    FakeEvent down(button);
    VARIANT r = Fire(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEDOWN, down);
    EXPECT_TRUE(Cancelled(r));
    ASSERT_TRUE(down.returnSet);
    EXPECT_TRUE(Cancelled(down.returnValue));  // no text selection or dragging of the element
    EXPECT_EQ(GetCapture(), dlg->Handle());
    EXPECT_EQ(button.style.lastType, VT_I4);
    EXPECT_EQ(button.style.positionX, -160);
    EXPECT_EQ(button.refs, 2);  // the pressed element is held

    // Leaving the element while pressed keeps the Pressed look.
    FakeEvent out(button);
    Fire(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEOUT, out);
    EXPECT_EQ(button.style.positionX, -160);

    // The release comes to the dialog (it holds the capture), inside the element's box.
    SendMessageW(dlg->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(89, 49));
    EXPECT_EQ(button.clicks, 1);
    EXPECT_EQ(button.style.positionX, -80);
    EXPECT_NE(GetCapture(), dlg->Handle());
    EXPECT_EQ(button.refs, 1);
    EXPECT_EQ(button.style.refs, 1);

    // Mouse out without a capture shows Normal again.
    Fire(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEOUT, out);
    EXPECT_EQ(button.style.positionX, 0);
}

TEST_F(DocumentEventsTest, ReleaseOutsideRestoresNormalWithoutClick) {
    FakeEvent down(button);
    Fire(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEDOWN, down);
    SendMessageW(dlg->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(90, 20));  // just right of the box
    EXPECT_EQ(button.clicks, 0);
    EXPECT_EQ(button.style.positionX, 0);
    EXPECT_NE(GetCapture(), dlg->Handle());
    EXPECT_EQ(button.refs, 1);
}

TEST_F(DocumentEventsTest, DisabledButtonNeitherCapturesNorChanges) {
    button.disabled.vt = VT_BOOL;
    button.disabled.boolVal = VARIANT_TRUE;
    FakeEvent over(button), down(button);
    Fire(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEOVER, over);
    VARIANT r = Fire(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEDOWN, down);
    EXPECT_TRUE(Cancelled(r));
    EXPECT_NE(GetCapture(), dlg->Handle());
    EXPECT_EQ(button.style.writes, 0);
    EXPECT_EQ(button.refs, 1);

    // Only a boolean reads as disabled.
    FakeElement textual(L"button", L"A");
    textual.disabled.vt = VT_I4;
    textual.disabled.lVal = 1;
    FakeEvent down2(textual);
    Fire(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEDOWN, down2);
    EXPECT_EQ(GetCapture(), dlg->Handle());
    SendMessageW(dlg->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(0, 0));
}

TEST_F(DocumentEventsTest, ElementsThatMatchNoRowKeepTheirDefaults) {
    FakeElement field(L"button big", L"INPUT");
    FakeEvent down(field);
    VARIANT r = Fire(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEDOWN, down);
    EXPECT_EQ(r.vt, VT_EMPTY);
    EXPECT_FALSE(down.returnSet);
    EXPECT_NE(GetCapture(), dlg->Handle());
    EXPECT_EQ(field.refs, 1);

    // The background's context menu is cancelled.
    FakeElement body(L"", L"BODY");
    FakeEvent menu(body);
    EXPECT_TRUE(Cancelled(Fire(DISPID_HTMLDOCUMENTEVENTS2_ONCONTEXTMENU, menu)));
    EXPECT_TRUE(menu.returnSet);

    // A button without a style object is left as it is; the press itself still counts.
    button.hasStyle = false;
    FakeEvent down2(button);
    Fire(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEDOWN, down2);
    EXPECT_EQ(button.style.writes, 0);
    EXPECT_EQ(GetCapture(), dlg->Handle());
    SendMessageW(dlg->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(0, 0));
    EXPECT_EQ(button.refs, 1);
}

} // namespace
