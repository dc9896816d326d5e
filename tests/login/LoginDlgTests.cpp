// The login page driven through the real browser control: its navigations to the app:
// commands reach the login's rule, which talks to a test host window.
#include "login/LoginDlg.h"
#include "support/GdiplusScope.h"
#include "support/HostState.h"
#include "support/OleScope.h"
#include "support/WindowPixels.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// Plays the main window: answers WM_COPYDATA and records what it was sent.
struct TestHost {
    HWND hwnd = nullptr;
    LRESULT answer = 1;
    std::vector<std::wstring> keys;
    std::vector<UINT> ncMessages;  // as the login background would get them

    TestHost() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VelkorLoginTestHost";
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                               nullptr, nullptr, wc.hInstance, this);
    }
    ~TestHost() {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<TestHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && msg == WM_COPYDATA) {
            auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
            self->keys.emplace_back(static_cast<const wchar_t*>(data->lpData));
            return self->answer;
        }
        if (self && (msg == WM_NCLBUTTONDOWN || msg == WM_NCLBUTTONUP || msg == WM_NCMOUSEMOVE)) {
            self->ncMessages.push_back(msg);
            return 0;  // no real move loop in a test
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
};

struct TestOwner : LoginOwner {
    std::vector<INT_PTR> results;
    void EndLogin(INT_PTR result) override { results.push_back(result); }
};

class TestLoginDlg : public CLoginDlg {
public:
    using CLoginDlg::CLoginDlg;
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
        m_page.hostWnd = m_host.hwnd;
        m_dlg = std::make_unique<TestLoginDlg>(url, m_page, m_owner);
        // The background is played by a second test window: the page's owner gets the drags.
        ASSERT_TRUE(m_dlg->CreateModeless(m_background.hwnd));
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
    TestHost m_host;
    TestHost m_background;
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
    m_host.answer = 0;
    Open();
    Go(L"app://loadgame|S3服-《Y》二区-abc|http://127.0.0.1/PAGE");
    EXPECT_EQ(m_dlg->asked, (std::vector<std::wstring>{L"账号 abc 已在 3服 登录，同一账号不能在一服重复登录"}));
    EXPECT_EQ(m_owner.results, (std::vector<INT_PTR>{kLoginCancelled}));
    EXPECT_TRUE(m_page.gameUrl.empty());
}

TEST_F(LoginPage, NoGameForAGoneHostOrAnAddressThatIsNoWebPage) {
    Open();
    // A game address of another scheme would have this program open anything.
    Go(L"app://loadgame|S3服-《Y》二区-abc|file:///C:/Windows/notepad.exe");
    EXPECT_TRUE(m_host.keys.empty());
    // A host that has gone is no refusal: no message.
    DestroyWindow(m_host.hwnd);
    Go(L"app://loadgame|S3服-《Y》二区-abc|http://127.0.0.1/PAGE");
    EXPECT_EQ(m_owner.results, (std::vector<INT_PTR>{kLoginCancelled, kLoginCancelled}));
    EXPECT_TRUE(m_dlg->asked.empty());
    EXPECT_TRUE(m_page.gameUrl.empty());
}

TEST_F(LoginPage, ExitAndMinimize) {
    Open();
    Go(L"app://minimize");
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(m_host.hwnd) != FALSE; }))
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
    EXPECT_TRUE(m_background.ncMessages.empty());
    SetCursorPos(outside.x, outside.y);
    m_dlg->LoginDragDown(nullptr);
    m_dlg->LoginDragMove(nullptr);
    m_dlg->LoginDragUp(nullptr);
    EXPECT_EQ(m_background.ncMessages, (std::vector<UINT>{WM_NCLBUTTONDOWN, WM_NCMOUSEMOVE, WM_NCLBUTTONUP}));
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
