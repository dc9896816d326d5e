// The system's browser control hosted in a plain window of ours, under Wine: it has no HTML
// engine here, but it reports and honours every navigation through our event sink.
#include "framework/BrowserHost.h"
#include "framework/Window.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using testing_support::PumpUntil;

namespace {

class RecordingClient : public fw::BrowserHostClient {
public:
    std::vector<std::wstring> before, complete, errors;
    std::vector<LONG> errorStatus;
    bool cancelApp = true;

    void OnBeforeNavigate2(IDispatch*, const wchar_t* url, DWORD, const wchar_t*, VARIANT*,
                           const wchar_t*, VARIANT_BOOL* cancel) override {
        before.push_back(url);
        if (cancelApp && std::wstring(url).rfind(L"app:", 0) == 0) *cancel = VARIANT_TRUE;
    }
    void OnNavigateComplete2(IDispatch*, const wchar_t* url) override { complete.push_back(url); }
    void OnNavigateError(IDispatch*, const wchar_t* url, const wchar_t*, LONG status,
                         VARIANT_BOOL* cancel) override {
        errors.push_back(url);
        errorStatus.push_back(status);
        *cancel = VARIANT_TRUE;
    }
};

class HostWindow : public fw::Window {
public:
    bool Make() {
        RECT r = {0, 0, 400, 300};
        return Create(L"VelkorTestBrowserHost", L"host", WS_POPUP, 0, r, nullptr);
    }
};

TEST(BrowserHost, ReportsAndHonoursNavigationsAndReleasesEverything) {
    long aliveBefore = fw::BrowserObjectsAlive();
    HostWindow wnd;
    ASSERT_TRUE(wnd.Make());
    RecordingClient client;
    IWebBrowser2* browser = nullptr;
    {
        fw::BrowserHost host;
        RECT r = {0, 0, 400, 300};
        ASSERT_TRUE(host.Create(wnd, r, &client));
        EXPECT_EQ(fw::BrowserObjectsAlive(), aliveBefore + 2);  // the site and the event sink
        HWND control = host.ControlWindow();
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetAncestor(control, GA_PARENT), wnd.Handle());

        browser = host.Browser();
        browser->AddRef();

        ASSERT_TRUE(host.Navigate(L"app://exitgame"));
        ASSERT_TRUE(PumpUntil([&] { return !client.before.empty(); }));
        EXPECT_EQ(client.before[0], L"app://exitgame");

        // A page that cannot be fetched ends in the error event with its exact address.
        ASSERT_TRUE(host.Navigate(L"http://127.0.0.1:1/none.htm"));
        ASSERT_TRUE(PumpUntil([&] { return !client.errors.empty(); }, 15000));
        EXPECT_EQ(client.errors[0], L"http://127.0.0.1:1/none.htm");
        EXPECT_EQ(client.before.back(), L"http://127.0.0.1:1/none.htm");
        // The cancelled command never completed.
        for (const std::wstring& url : client.complete) EXPECT_NE(url, L"app://exitgame");
    }
    EXPECT_EQ(fw::BrowserObjectsAlive(), aliveBefore);
    // Only our own extra reference is left on the control.
    EXPECT_EQ(browser->Release(), 0u);
}

} // namespace

#include "framework/HtmlView.h"

namespace {

class TestView : public fw::HtmlView {
public:
    std::vector<std::wstring> before;
    bool initialUpdate = false;
protected:
    void OnInitialUpdate() override {
        initialUpdate = Browser() != nullptr;
        SetSilent(true);
        Navigate(L"app://entergame|gamehall/");
    }
    void OnBeforeNavigate2(IDispatch*, const wchar_t* url, DWORD, const wchar_t*, VARIANT*, const wchar_t*,
                           VARIANT_BOOL* cancel) override {
        before.push_back(url);
        *cancel = VARIANT_TRUE;
    }
};

TEST(HtmlView, ChildViewHostsTheControlAndFollowsItsSize) {
    long aliveBefore = fw::BrowserObjectsAlive();
    HostWindow frame;
    ASSERT_TRUE(frame.Make());
    auto view = std::make_unique<TestView>();
    RECT r = {4, 30, 204, 130};
    ASSERT_TRUE(view->CreateView(frame, r, 0xE900));
    EXPECT_TRUE(view->initialUpdate);
    EXPECT_EQ(GetDlgCtrlID(view->Handle()), 0xE900);
    VARIANT_BOOL silent = VARIANT_FALSE;
    view->Browser()->get_Silent(&silent);
    EXPECT_NE(silent, VARIANT_FALSE);
    ASSERT_TRUE(PumpUntil([&] { return !view->before.empty(); }));
    EXPECT_EQ(view->before[0], L"app://entergame|gamehall/");

    HWND control = view->BrowserWindow();
    ASSERT_NE(control, nullptr);
    SetWindowPos(view->Handle(), nullptr, 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER);
    RECT rc;
    GetWindowRect(control, &rc);
    EXPECT_EQ(rc.right - rc.left, 320);
    EXPECT_EQ(rc.bottom - rc.top, 240);

    // The frame going takes the view, the control, its site and its sink with it.
    IWebBrowser2* browser = view->Browser();
    browser->AddRef();
    frame.Destroy();
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(view->Browser(), nullptr);
    EXPECT_EQ(fw::BrowserObjectsAlive(), aliveBefore);
    EXPECT_EQ(browser->Release(), 0u);
}

} // namespace
