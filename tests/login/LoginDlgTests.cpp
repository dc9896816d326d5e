// The login page driven through the real browser control: its navigations to the app:
// commands reach the login's rule, which talks to a test host window.
#include "login/LoginDlg.h"
#include "support/GdiplusScope.h"
#include "support/HostState.h"
#include "support/OleScope.h"
#include "support/TestHost.h"
#include "support/WindowPixels.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace testing_support;

namespace {

struct TestOwner : LoginOwner {
    std::vector<INT_PTR> results;
    void EndLogin(INT_PTR result) override { results.push_back(result); }
};

class TestLoginDlg : public CLoginDlg {
public:
    using CLoginDlg::CLoginDlg;
    using CLoginDlg::OnBeforeNavigate2;
    std::vector<std::wstring> asked;
    std::vector<int> answers;  // taken in order; IDCANCEL when none is left
    bool uac = false;

protected:
    int AskPlayer(MsgBoxKind, const std::wstring& text) override {
        asked.push_back(text);
        if (answers.empty()) return IDCANCEL;
        const int a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    bool UacEnabled() override { return uac; }
};

class LoginPage : public ::testing::Test {
protected:
    // Without an address the page opens nothing: the tests navigate it themselves.
    void Open(const wchar_t* url = L"") {
        m_page.hostWnd = m_host.Handle();
        m_dlg = std::make_unique<TestLoginDlg>(url, m_page, m_owner);
        // The background is played by a second test window: the page's owner gets the drags.
        ASSERT_TRUE(m_dlg->CreateModeless(m_background.Handle()));
        SetWindowPos(m_dlg->Handle(), nullptr, 0, 0, 800, 540, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void Go(const wchar_t* url) {
        ASSERT_TRUE(m_dlg->Navigate(url));
        PumpFor(100);
    }
    void TearDown() override {
        if (m_dlg) m_dlg->Destroy();
    }

    OleScope m_ole;
    GdiplusScope m_gdiplus;
    TestHost m_host{WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{10, 10, 310, 210}};
    TestHost m_background{WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{10, 10, 310, 210}};
    TestOwner m_owner;
    PageProcessArgs m_page;
    std::unique_ptr<TestLoginDlg> m_dlg;
};

TEST_F(LoginPage, LoadGameRegistersTheKeyAndHandsOnTheGame) {
    Open();
    Go(L"app://loadgame|S3服-《Y》二区-abc|http://127.0.0.1/PAGE");
    EXPECT_EQ(m_host.keys, (std::vector<std::wstring>{L"3服-二区-abc"}));
    EXPECT_EQ(m_owner.results, (std::vector<INT_PTR>{kLoginDone}));
    EXPECT_EQ(m_page.gameUrl, L"http://127.0.0.1/PAGE");
    EXPECT_TRUE(m_dlg->asked.empty());
}

TEST_F(LoginPage, RefusedAccountIsToldWithAccountAndServer) {
    m_host.copyDataAnswer = 0;
    Open();
    Go(L"app://loadgame|S3服-《Y》二区-abc|http://127.0.0.1/PAGE");
    EXPECT_EQ(m_dlg->asked, (std::vector<std::wstring>{L"账号 abc 已在 3服 登录，同一账号不能在一服重复登录"}));
    EXPECT_EQ(m_owner.results, (std::vector<INT_PTR>{kLoginCancelled}));
    EXPECT_TRUE(m_page.gameUrl.empty());
}

TEST_F(LoginPage, ARefusedLoadGameLeavesTheLoginOpenAndAGoneHostEndsIt) {
    Open();
    // A game address of another scheme would have this program open anything; a LOGIN over
    // the protocol's limit could only be cut into another account; a bare command has neither.
    Go(L"app://loadgame|S3服-《Y》二区-abc|file:///C:/Windows/notepad.exe");
    Go((L"app://loadgame|%E4" + std::wstring(300, L'a') + L"|http://127.0.0.1/PAGE").c_str());
    Go(L"app://loadgame|abc");
    EXPECT_TRUE(m_host.keys.empty());
    EXPECT_TRUE(m_owner.results.empty()) << "the login stays open";
    // A host that has gone is no refusal: no message, but nothing is left to log in for.
    m_host.Destroy();
    Go(L"app://loadgame|S3服-《Y》二区-abc|http://127.0.0.1/PAGE");
    EXPECT_EQ(m_owner.results, (std::vector<INT_PTR>{kLoginCancelled}));
    EXPECT_TRUE(m_dlg->asked.empty());
    EXPECT_TRUE(m_page.gameUrl.empty());
}

TEST_F(LoginPage, CommandsCountOnlyFromTheTopLevelPage) {
    Open();
    // Another browser object plays a frame inside the login page (a third party's, say).
    IDispatch* frame = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&frame)), S_OK);
    for (const wchar_t* command : {L"app://exitgame", L"app://minimize", L"app://loadgame|S3服-《Y》二区-abc|http://127.0.0.1/PAGE"}) {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        m_dlg->OnBeforeNavigate2(frame, command, 0, L"", nullptr, L"", &cancel);
        EXPECT_EQ(cancel, VARIANT_TRUE) << "never navigated to";
    }
    PumpFor(100);
    EXPECT_TRUE(m_owner.results.empty());
    EXPECT_TRUE(m_host.keys.empty());
    EXPECT_FALSE(IsIconic(m_host.Handle()));
    frame->Release();
    VARIANT_BOOL cancel = VARIANT_FALSE;
    m_dlg->OnBeforeNavigate2(m_dlg->Browser(), L"app://exitgame", 0, L"", nullptr, L"", &cancel);
    EXPECT_EQ(m_owner.results, (std::vector<INT_PTR>{kLoginCancelled}));
}

TEST_F(LoginPage, EscapeF5AndEnterDoNothingInTheLoginWindows) {
    m_page.hostWnd = m_host.Handle();
    CLoginBkDlg background(m_page, L"");
    int tick = 0;
    static std::function<void()> step;
    step = [&] {
        HWND bk = background.Handle(), page = background.LoginPage().Handle();
        if (!bk) return;
        if (tick++ == 0) {
            for (HWND to : {bk, page, background.LoginPage().BrowserWindow()})
                for (WPARAM key : {VK_ESCAPE, VK_F5, VK_RETURN}) {
                    PostMessageW(to, WM_KEYDOWN, key, 1);
                    PostMessageW(to, WM_KEYUP, key, 0xC0000001);
                }
        } else if (tick == 10) {
            background.EndLogin(kLoginDone + 40);  // still open after the keys: end it ourselves
        }
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { step(); });
    EXPECT_EQ(background.DoModal(nullptr), kLoginDone + 40);
    KillTimer(nullptr, timer);
    step = nullptr;
}

// A host window on a thread of its own, as the main window lives in a process of its own:
// its end does not take the login's windows (which it owns) with it.
class ThreadHost {
public:
    ThreadHost() {
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_thread = std::thread([this, ready] {
            m_hwnd = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                     nullptr);
            SetEvent(ready);
            MSG msg;
            while (IsWindow(m_hwnd) && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        });
        WaitForSingleObject(ready, 10000);
        CloseHandle(ready);
    }
    ~ThreadHost() {
        Close();
        m_thread.join();
    }
    HWND Handle() const { return m_hwnd; }
    void Close() { PostMessageW(m_hwnd, WM_CLOSE, 0, 0); }

private:
    HWND m_hwnd = nullptr;
    std::thread m_thread;
};

TEST_F(LoginPage, AGoneHostEndsTheLoginAndABoxThePageOpened) {
    ThreadHost host;
    ASSERT_TRUE(IsWindow(host.Handle()));
    m_page.hostWnd = host.Handle();
    CLoginBkDlg background(m_page, L"");
    int tick = 0;
    bool boxEnded = false;
    static std::function<void()> step;
    step = [&] {
        if (!background.Handle()) return;
        switch (tick++) {
        case 0:
            // As a page script's alert would: a system box in a modal loop of its own.
            MessageBoxW(background.Handle(), L"page says", L"来自网页的消息", MB_OK);
            boxEnded = true;
            break;
        case 5:
            host.Close();
            break;
        case 200:  // the box is still waiting after 10 s: answer it, so that the test can fail
            if (HWND box = FindWindowW(L"#32770", L"来自网页的消息")) PostMessageW(box, WM_COMMAND, IDOK, 0);
            break;
        }
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { step(); });
    const DWORD start = GetTickCount();
    EXPECT_EQ(background.DoModal(nullptr), kLoginCancelled);
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_TRUE(boxEnded);
    KillTimer(nullptr, timer);
    step = nullptr;
    PumpFor(50);
    EXPECT_TRUE(TakeQuit()) << "the quit that ended the loops is passed on to the process's own loop";
}

TEST_F(LoginPage, ExitAndMinimize) {
    Open();
    Go(L"app://minimize");
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(m_host.Handle()) != FALSE; }))
        << "no tab yet and no UAC: the main window is minimised";
    EXPECT_TRUE(m_owner.results.empty()) << "the login stays";
    m_page.hostTabCount = 1;
    Go(L"app://minimize");
    Go(L"app://exitgame");
    EXPECT_EQ(m_owner.results, (std::vector<INT_PTR>{kLoginCancelled, kLoginCancelled}));
}

TEST_F(LoginPage, PressesInsideTheReservedBoxDoNotDrag) {
    Open();
    POINT inBox = {760, 100}, outside = {738, 100};
    ClientToScreen(m_dlg->Handle(), &inBox);
    ClientToScreen(m_dlg->Handle(), &outside);
    testing_support::PointerScope pointer;
    SetCursorPos(inBox.x, inBox.y);
    EXPECT_EQ(m_dlg->LoginDragDown(nullptr), S_FALSE);
    EXPECT_TRUE(m_background.MessageIds().empty());
    SetCursorPos(outside.x, outside.y);
    m_dlg->LoginDragDown(nullptr);
    m_dlg->LoginDragMove(nullptr);
    m_dlg->LoginDragUp(nullptr);
    EXPECT_EQ(m_background.MessageIds(), (std::vector<UINT>{WM_NCLBUTTONDOWN, WM_NCMOUSEMOVE, WM_NCLBUTTONUP}));
}

TEST_F(LoginPage, UnreachableLoginPageAsksToRetry) {
    m_dlg = nullptr;
    // Nothing listens on port 1: the page ends in a navigation error.
    Open(L"http://127.0.0.1:1/login/index.php");
    m_dlg->answers = {IDOK, IDCANCEL};
    ASSERT_TRUE(PumpUntil([&] { return !m_owner.results.empty(); }, 60000));
    EXPECT_EQ(m_dlg->asked,
              (std::vector<std::wstring>{L"登录页面打开失败，是否重试？", L"登录页面打开失败，是否重试？"}));
    EXPECT_EQ(m_owner.results, (std::vector<INT_PTR>{kLoginCancelled}));
}

} // namespace
