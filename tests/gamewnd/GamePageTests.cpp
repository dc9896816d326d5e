// The game frame in this process with a test host window, and whole page processes
// (Velkor.exe "/newgm" and "/gmhall") with test hosts and a real main window.
#include "common/AppMessages.h"
#include "gamewnd/GamePage.h"
#include "gamewnd/QuillonDlg.h"
#include "settings/SettingsStore.h"
#include "skin/SkinImage.h"
#include "skin_ids.h"
#include "support/GdiplusScope.h"
#include "support/MessagePump.h"
#include "support/OleScope.h"
#include "support/Processes.h"
#include "support/TestHost.h"
#include "support/WindowPixels.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

class TestFrame : public CMainFrame {
public:
    using CMainFrame::CMainFrame;
    std::vector<std::wstring> asked, started, opened, offered;
    std::vector<bool> mutes;
    int answer = IDCANCEL;

protected:
    int AskPlayer(MsgBoxKind, const wchar_t* caption, const std::wstring& text) override {
        asked.push_back(std::wstring(caption) + L"|" + text);
        return answer;
    }
    bool StartGameHall(const std::wstring& path) override {
        started.push_back(path);
        return true;
    }
    bool OpenAddress(const std::wstring& url) override {
        opened.push_back(url);
        return true;
    }
    void OfferGameDownload(const std::wstring& name) override { offered.push_back(name); }
    void ApplyMute(bool muted) override { mutes.push_back(muted); }
};

class GameFrame : public ::testing::Test {
protected:
    void Open(const std::wstring& url) {
        PageProcessArgs page;
        page.hostWnd = m_host.Handle();
        page.gameUrl = url;
        m_frame = std::make_unique<TestFrame>(page);
        ASSERT_TRUE(m_frame->CreateFrame());
        PumpFor(50);
    }
    void TearDown() override {
        if (m_frame && m_frame->Handle()) m_frame->Destroy();
        TakeQuit();
    }
    OleScope m_ole;
    TestHost m_host{WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 900, 600}};
    std::unique_ptr<TestFrame> m_frame;
};

TEST_F(GameFrame, AttachesAsATabAndShowsOnlyForTheFirstTopLevelPage) {
    Open(L"http://127.0.0.1:1/game.htm");
    ASSERT_EQ(m_host.messages.size(), 1u);
    EXPECT_EQ(m_host.messages[0].message, UM_PAGE_ATTACH);
    EXPECT_EQ(m_host.messages[0].wParam, reinterpret_cast<WPARAM>(m_frame->Handle()));
    EXPECT_EQ(m_host.messages[0].lParam, 0);
    EXPECT_EQ(GetAncestor(m_frame->Handle(), GA_PARENT), m_host.Handle());
    EXPECT_FALSE(IsWindowVisible(m_frame->Handle()));

    // A frame inside the page completing first changes nothing.
    IWebBrowser2* browser = m_frame->GameView().Browser();
    ASSERT_NE(browser, nullptr);
    IDispatch* other = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&other)), S_OK);
    m_frame->GameView().OnNavigateComplete2(other, L"http://ads.example/frame.htm");
    EXPECT_FALSE(IsWindowVisible(m_frame->Handle()));
    EXPECT_TRUE(m_frame->PageUrl().empty());

    m_frame->GameView().OnNavigateComplete2(browser, L"http://127.0.0.1:1/game.htm");
    EXPECT_TRUE(IsWindowVisible(m_frame->Handle()));
    RECT r = {};
    GetWindowRect(m_frame->Handle(), &r);
    MapWindowPoints(nullptr, m_host.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 4);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right, 900 - 4);
    EXPECT_EQ(r.bottom, 600 - 4);
    EXPECT_EQ(m_frame->PageUrl(), L"http://127.0.0.1:1/game.htm");

    // The host hides the tab; a later page of the same tab must not show it again.
    ShowWindow(m_frame->Handle(), SW_HIDE);
    m_frame->GameView().OnNavigateComplete2(browser, L"http://127.0.0.1:1/next.htm");
    EXPECT_FALSE(IsWindowVisible(m_frame->Handle()));
    EXPECT_EQ(m_frame->PageUrl(), L"http://127.0.0.1:1/next.htm");
    other->Release();
}

// The browser control cannot be made (its site is refused, as a failed control creation
// would): the frame announces nothing and stays out of the host, so that the host sees only
// the page process end.
class NoViewFrame : public TestFrame {
public:
    using TestFrame::TestFrame;

protected:
    fw::ComPtr<fw::BrowserControlSite> CreateViewSite(HWND) override { return nullptr; }
};

TEST_F(GameFrame, AFrameWithoutItsViewAttachesNothing) {
    PageProcessArgs page;
    page.hostWnd = m_host.Handle();
    page.gameUrl = L"http://127.0.0.1:1/game.htm";
    NoViewFrame frame(page);
    EXPECT_FALSE(frame.CreateFrame());
    PumpFor(100);
    EXPECT_TRUE(m_host.messages.empty());
    EXPECT_EQ(FindWindowExW(m_host.Handle(), nullptr, nullptr, nullptr), nullptr) << "no child in the host";
}

TEST_F(GameFrame, HomePageAttachesAsHomeAndMuteAppliesOnChange) {
    Open(WebGamePageAddress());
    ASSERT_EQ(m_host.messages.size(), 1u);
    EXPECT_EQ(m_host.messages[0].lParam, 1);
    for (WPARAM m : {0, 0, 1, 1, 0}) SendMessageW(m_frame->Handle(), UM_SET_MUTE, m, 0);
    EXPECT_EQ(m_frame->mutes, (std::vector<bool>{false, true, false}));
    // The host's close ends the frame (and with it the page process's loop).
    PostMessageW(m_frame->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(PumpUntil([&] { return TakeQuit(); }));
    EXPECT_FALSE(IsWindow(m_frame->Handle()));
}

TEST_F(GameFrame, EnterGameStartsOrOffersOnlySafeNames) {
    MachineStateGuard guard;
    ASSERT_TRUE(EnsureDataFolder());
    Open(WebGamePageAddress());
    auto go = [&](const wchar_t* url) {
        m_frame->GameView().Navigate(url);
        PumpFor(100);
    };
    go(L"app://entergame|gamehall/");
    EXPECT_EQ(m_frame->asked, (std::vector<std::wstring>{
                                  L"OlveskBrasca游戏大厅|下载Brasca登录器，玩游戏更加方便快捷，现在就去下载吧？"}));
    ASSERT_EQ(m_frame->opened.size(), 1u) << "declined: the hall's home page opens instead";
    m_frame->answer = IDOK;
    go(L"app://entergame|gamehall|http://127.0.0.1/hall2/");
    EXPECT_EQ(m_frame->offered, (std::vector<std::wstring>{L"Gamehall"}));

    const std::wstring exe = DataFolderPath() + L"\\Gamehall.exe";
    ASSERT_TRUE(WriteWholeFile(exe, "MZ"));
    go(L"app://entergame|gamehall/");
    EXPECT_EQ(m_frame->started, (std::vector<std::wstring>{exe}));

    // Unsafe names start, offer and open nothing.
    const size_t asked = m_frame->asked.size();
    go(L"app://entergame|..\\..\\Windows\\System32\\calc");
    go(L"app://entergame|");
    EXPECT_EQ(m_frame->asked.size(), asked);
    EXPECT_EQ(m_frame->started.size(), 1u);
    EXPECT_EQ(m_frame->opened.size(), 1u);
}

TEST_F(GameFrame, ClosesOnlyItsOwnThreadsBrowserBoxes) {
    Open(WebGamePageAddress());
    HWND box = CreateWindowExW(0, L"#32770", L"来自网页的消息", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    HWND other = CreateWindowExW(0, L"#32770", L"Olvesk - Sevrith", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                 nullptr);
    ASSERT_TRUE(box && other);
    m_frame->CloseBrowserBoxes();
    EXPECT_FALSE(IsWindow(box));
    EXPECT_TRUE(IsWindow(other));
    DestroyWindow(other);
}

// ---- whole page processes ---------------------------------------------------------------

class PageProcess : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CopyFileW(BuiltExePath().c_str(), m_exe.c_str(), FALSE)); }
    std::wstring Arg(HWND host) { return std::to_wstring(static_cast<int>(reinterpret_cast<INT_PTR>(host))); }
    // A visible top-level window of the process, layered (the login picture) or not (a box).
    static HWND FindWindowOf(DWORD pid, bool layered) {
        struct S { DWORD pid; bool layered; HWND found; } s{pid, layered, nullptr};
        EnumWindows([](HWND h, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<S*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            const bool isLayered = (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
            if (owner == s->pid && IsWindowVisible(h) && isLayered == s->layered) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        }, reinterpret_cast<LPARAM>(&s));
        return s.found;
    }
    TempFolder m_dir{L"pageprocess"};
    std::wstring m_exe = m_dir.File(L"Velkor.exe");
};

TEST_F(PageProcess, LoginShowsItsPictureAndACancelledLoginTellsTheHost) {
    GdiplusScope gdiplus;
    TestHost host;
    ChildProcess page(m_exe, L"/newgm /" + Arg(host.Handle()) + L" /0", m_dir.Path());
    ASSERT_TRUE(page.Started());
    HWND background = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (background = FindWindowOf(page.Id(), true)) != nullptr; }, 60000));
    RECT r = {};
    GetWindowRect(background, &r);
    EXPECT_EQ(r.right - r.left, 800);
    EXPECT_EQ(r.bottom - r.top, 540);
    // The picture itself, where it is opaque, as the window shows it.
    SIZE size = {};
    fw::UniqueBitmap picture(LoadAlphaImage(GetModuleHandleW(nullptr), IDB_LOGIN_BACKGROUND, &size));
    const Pixels expected = BitmapPixels(picture.Get());
    // The window shows it once it has been drawn: wait for that, then compare.
    Pixels shot;
    PumpUntil([&] {
        shot = CaptureWindow(background);
        return !shot.Empty() && ColourNear(shot.At(400, 270), expected.At(400, 270), 2);
    }, 10000);
    ASSERT_FALSE(shot.Empty());
    EXPECT_TRUE(ColourNear(shot.At(400, 270), expected.At(400, 270), 2))
        << std::hex << shot.At(400, 270) << " " << expected.At(400, 270);
    // Under Wine the login page never loads: the retry question comes; closing it cancels.
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = FindWindowOf(page.Id(), false)) != nullptr; }, 60000));
    PostMessageW(box, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !host.messages.empty(); }, 30000));
    EXPECT_EQ(host.messages[0].message, UINT(WM_SYSCOMMAND));
    EXPECT_EQ(host.messages[0].wParam, WPARAM(SC_CLOSE));
    EXPECT_EQ(host.messages[0].lParam, kSelfPostMarker);
    EXPECT_EQ(page.Wait(30000), 0);
}

TEST_F(PageProcess, LoginAtItsRetryQuestionEndsWhenTheHostGoes) {
    GdiplusScope gdiplus;
    TestHost host;
    ChildProcess page(m_exe, L"/newgm /" + Arg(host.Handle()) + L" /0", m_dir.Path());
    ASSERT_TRUE(page.Started());
    // Under Wine the login page never loads: the login asks whether to retry.
    ASSERT_TRUE(PumpUntil([&] { return FindWindowOf(page.Id(), false) != nullptr; }, 60000));
    host.Destroy();
    EXPECT_EQ(page.Wait(5000), 0) << "nobody is left to answer the question";
}

TEST_F(PageProcess, HomePageAttachesToTheMainWindowAndEndsWithIt) {
    GdiplusScope gdiplus;
    // The main window's own first page is a stub that stays in its login.
    SetEnvironmentVariableW(L"VELKOR_STUB_IDLE", L"1");
    auto dlg = std::make_unique<CQuillonDlg>(MainWindowArgs{BuiltPageStubPath(), RUN_INSTALLED, 0});
    ASSERT_TRUE(dlg->CreateModeless());
    // The window starts its first page once it runs its messages.
    ASSERT_TRUE(PumpUntil([&] { return dlg->PendingPage() != nullptr; }, 30000));
    SetEnvironmentVariableW(L"VELKOR_STUB_IDLE", nullptr);
    ChildProcess page(m_exe, L"/gmhall /" + Arg(dlg->Handle()), m_dir.Path());
    ASSERT_TRUE(PumpUntil([&] { return dlg->HomeWnd() != nullptr; }, 30000));
    DWORD pid = 0;
    GetWindowThreadProcessId(dlg->HomeWnd(), &pid);
    EXPECT_EQ(pid, page.Id());
    EXPECT_TRUE(dlg->TabWnds().empty());
    DestroyWindow(dlg->Handle());
    EXPECT_EQ(page.Wait(10000), 0) << "the page ends once its host has gone";
}

// A frame is a child of the main window in another process: when that process is killed,
// the frame goes with it and (under Wine) its own timers never run again. The page must still
// notice that its host has gone and end.
TEST_F(PageProcess, AHomePageEndsWhenItsMainWindowsProcessIsKilled) {
    MachineStateGuard guard;
    guard.Clear();
    ASSERT_TRUE(EnsureDataFolder());
    ASSERT_TRUE(WriteUpdTime());  // no update check in the way
    const std::wstring installed = CopyProgramIntoDataFolder();
    ASSERT_FALSE(installed.empty());
    ChildProcess program(installed, L"", DataFolderPath());
    const HWND window = program.FindWindowTitled(kAppCaption, 60000);
    ASSERT_TRUE(window) << "the installed program showed no main window";
    ChildProcess hall(installed, L"/gmhall /" + Arg(window), DataFolderPath());
    ASSERT_TRUE(hall.Started());
    // Attached: the hall's frame has become a child of the main window.
    ASSERT_TRUE(PumpUntil([&] { return AttachedFrameOf(window, hall.Id()) != nullptr; }, 60000))
        << "the hall page never attached";
    fw::UniqueHandle main(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, program.Id()));
    ASSERT_TRUE(main);
    ASSERT_TRUE(TerminateProcess(main.Get(), 9));
    ASSERT_EQ(WaitForSingleObject(main.Get(), 30000), WAIT_OBJECT_0);
    EXPECT_EQ(hall.Wait(30000), 0) << "the page process outlived its main window's process";
}

TEST_F(PageProcess, HostThatDoesNotExistEndsThePageAtOnce) {
    EXPECT_EQ(RunAndWait(m_exe, L"/gmhall /123456", m_dir.Path(), 30000), 0);
}

} // namespace
