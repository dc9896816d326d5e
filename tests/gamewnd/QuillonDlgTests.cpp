// The main window driven for real under Wine, with stand-in page processes (the page stub)
// playing the other side of the protocol: launch, key registration, attach, close.
#include "common/AppMessages.h"
#include "gamewnd/QuillonDlg.h"
#include "skin/SkinImage.h"
#include "support/HostState.h"
#include "support/MainWindowFixture.h"
#include "support/WindowPixels.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <deque>
#include <sstream>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

class TestMainDlg : public CQuillonDlg {
public:
    using CQuillonDlg::CQuillonDlg;
    std::vector<std::wstring> asked;
    std::deque<int> answers;  // IDNO (or IDOK) when empty

protected:
    int AskPlayer(MsgBoxKind kind, const std::wstring& text) override {
        asked.push_back(text);
        if (answers.empty()) return kind == MsgBoxKind::Ok ? IDOK : IDNO;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class MainWindow : public MainWindowFixture<TestMainDlg> {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        m_log = m_dir.File(L"pages.log");
        SetEnvironmentVariableW(L"VELKOR_PROBE_LOG", m_log.c_str());
    }
    void TearDown() override {
        MainWindowFixture::TearDown();
        for (const auto& process : m_pages) WaitForSingleObject(process.Get(), 10000);
        SetEnvironmentVariableW(L"VELKOR_PROBE_LOG", nullptr);
        SetEnvironmentVariableW(L"VELKOR_STUB_CLOSE_LOG", nullptr);
    }

    void Open(const wchar_t* firstKey) {
        Key(firstKey);
        OpenWindow();
    }
    // Tabs 1服-一区-a, -b and -c, the last one current.
    void OpenWithThreeTabs() {
        Open(L"1服-一区-a");
        WaitForTabs(1);
        for (const wchar_t* key : {L"1服-一区-b", L"1服-一区-c"}) {
            Key(key);
            PostMessageW(m_dlg.Handle(), UM_ADD_ACCOUNT_CHOICE, 1, 0);
            WaitForTabs(m_dlg.TabWnds().size() + 1);
        }
    }
    void Key(const wchar_t* key) { SetEnvironmentVariableW(L"VELKOR_STUB_KEY", key); }
    // Waits until the window has `count` tabs, keeping hold of each new page process.
    void WaitForTabs(size_t count) {
        MainWindowFixture::WaitForTabs(count);
        KeepPages();
    }
    void KeepPages() {
        for (HWND frame : m_dlg.TabWnds()) {
            DWORD pid = 0;
            GetWindowThreadProcessId(frame, &pid);
            bool known = false;
            for (DWORD p : m_pids) known = known || p == pid;
            if (known) continue;
            m_pids.push_back(pid);
            m_pages.emplace_back(OpenProcess(SYNCHRONIZE, FALSE, pid));
        }
    }
    // Lines the page processes logged as they started (their command lines).
    std::vector<std::wstring> Starts() {
        std::vector<std::wstring> lines;
        const std::string bytes = ReadWholeFile(m_log);
        std::wstring text(bytes.size(), L'\0');
        text.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), int(bytes.size()), text.data(), int(text.size())));
        for (size_t start = 0, end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
            const std::wstring line = text.substr(start, end - start);
            lines.push_back(line.substr(line.find(L'|') + 1));
        }
        return lines;
    }
    std::wstring ExpectedStart(int tabs) {
        return L"\"" + BuiltPageStubPath() + L"\" /newgm /" +
               std::to_wstring(static_cast<int>(reinterpret_cast<INT_PTR>(m_dlg.Handle()))) + L" /" +
               std::to_wstring(tabs);
    }
    SIZE WindowSize() {
        RECT r = {};
        GetWindowRect(m_dlg.Handle(), &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }
    bool PageEnded(size_t i, DWORD ms = 20000) {
        return i < m_pages.size() && WaitForSingleObject(m_pages[i].Get(), ms) == WAIT_OBJECT_0;
    }
    // Page stubs started from now on note the parent their frame had when told to close.
    void NoteClosingParents() { SetEnvironmentVariableW(L"VELKOR_STUB_CLOSE_LOG", m_dir.File(L"closes.log").c_str()); }
    // The parent a frame had as its page was told to close it (null: it was never told), and
    // whether it was visible then.
    HWND ParentWhenClosed(HWND frame, bool* visible = nullptr) {
        std::istringstream log(ReadWholeFile(m_dir.File(L"closes.log")));
        for (long long closed = 0, parent = 0, shown = 0; log >> closed >> parent >> shown;) {
            if (closed != reinterpret_cast<INT_PTR>(frame)) continue;
            if (visible) *visible = shown != 0;
            return reinterpret_cast<HWND>(static_cast<INT_PTR>(parent));
        }
        return nullptr;
    }

    std::wstring m_log;
    std::vector<DWORD> m_pids;
    std::vector<fw::UniqueHandle> m_pages;
};

TEST_F(MainWindow, LaunchesPagesRefusesOpenAccountsAndStopsAtThreeTabs) {
    Open(L"S1服-一区-Abc");
    EXPECT_EQ(WindowSize().cx, 1) << "the window waits at 1 x 1 for its first page";
    WaitForTabs(1);
    ASSERT_EQ(Starts().size(), 1u);
    EXPECT_EQ(Starts()[0], ExpectedStart(0));
    EXPECT_TRUE(m_dlg.IsMaximized());
    EXPECT_GT(WindowSize().cx, 800) << "the first attach fills the work area";

    // The same key again is refused; the refused page cancels and the window forgets it.
    PostMessageW(m_dlg.Handle(), UM_ADD_ACCOUNT_CHOICE, 1, 0);
    ASSERT_TRUE(PumpUntil([&] { return Starts().size() == 2 && !m_dlg.PendingPage(); }, 30000));
    EXPECT_EQ(Starts()[1], ExpectedStart(1));
    PumpFor(300);
    EXPECT_EQ(m_dlg.TabWnds().size(), 1u);
    EXPECT_TRUE(m_dlg.asked.empty());

    // Differing only in letter case is another account.
    Key(L"S1服-一区-abc");
    PostMessageW(m_dlg.Handle(), UM_ADD_ACCOUNT_CHOICE, 1, 0);
    WaitForTabs(2);
    EXPECT_EQ(m_dlg.AccountKeys().All(), (std::vector<std::wstring>{L"S1服-一区-Abc", L"S1服-一区-abc"}));
    EXPECT_EQ(m_dlg.CurrentTab(), 1);
    // With two tabs the window keeps at least 861 x 260.
    SetWindowPos(m_dlg.Handle(), nullptr, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(WindowSize().cx, 861);
    EXPECT_EQ(WindowSize().cy, 260);

    Key(L"S2服-二区-c");
    PostMessageW(m_dlg.Handle(), UM_ADD_ACCOUNT_CHOICE, 1, 0);
    WaitForTabs(3);
    PostMessageW(m_dlg.Handle(), UM_ADD_ACCOUNT_CHOICE, 1, 0);
    ASSERT_TRUE(PumpUntil([&] { return !m_dlg.asked.empty(); }));
    EXPECT_EQ(m_dlg.asked, (std::vector<std::wstring>{L"当前窗体只支持3个游戏页"}));
    PumpFor(500);
    EXPECT_EQ(Starts().size(), 4u) << "no page started for the fourth tab";
}

TEST_F(MainWindow, ClosingTabsAsksAndKeepsTheNeighbourCurrent) {
    NoteClosingParents();
    OpenWithThreeTabs();
    const std::vector<HWND> frames = m_dlg.TabWnds();

    // A middle click anywhere on a tab asks; "否" keeps it.
    POINT onTab1 = {120 + 189 + 60, 12};
    ClientToScreen(m_dlg.Handle(), &onTab1);
    SendMessageW(m_dlg.Handle(), WM_NCMBUTTONUP, HTCAPTION, MAKELPARAM(onTab1.x, onTab1.y));
    EXPECT_EQ(m_dlg.asked, (std::vector<std::wstring>{L"确定要退出账号：1服-一区-b ?"}));
    EXPECT_EQ(m_dlg.TabWnds().size(), 3u);

    // Closing tab 0 makes the former tab 1 current; its page is told to close and ends.
    m_dlg.answers = {IDYES};
    m_dlg.CloseTab(0);
    EXPECT_EQ(m_dlg.asked.back(), L"确定要退出账号：1服-一区-a ?");
    EXPECT_EQ(m_dlg.TabWnds(), (std::vector<HWND>{frames[1], frames[2]}));
    EXPECT_EQ(m_dlg.AccountKeys().All(), (std::vector<std::wstring>{L"1服-一区-b", L"1服-一区-c"}));
    EXPECT_EQ(m_dlg.CurrentTab(), 0);
    EXPECT_TRUE(IsWindowVisible(frames[1]));
    // Detached from the main window before its page was told to close it.
    EXPECT_TRUE(PageEnded(0));
    EXPECT_EQ(ParentWhenClosed(frames[0]), GetDesktopWindow());

    // Closing the last index makes the new last one current. That tab was the one shown: it
    // is out of sight before its page is told to close it.
    POINT onTab1Now = {120 + 189 + 60, 12};
    ClientToScreen(m_dlg.Handle(), &onTab1Now);
    SendMessageW(m_dlg.Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(onTab1Now.x, onTab1Now.y));
    ASSERT_EQ(m_dlg.CurrentTab(), 1);
    ASSERT_TRUE(IsWindowVisible(frames[2]));
    m_dlg.answers = {IDYES};
    m_dlg.CloseTab(1);
    EXPECT_EQ(m_dlg.CurrentTab(), 0);
    EXPECT_TRUE(PageEnded(2));
    bool visibleWhenClosed = true;
    EXPECT_EQ(ParentWhenClosed(frames[2], &visibleWhenClosed), GetDesktopWindow());
    EXPECT_FALSE(visibleWhenClosed) << "the closed tab stayed on screen";

    // The last tab asks the exit question; "否" keeps everything.
    const size_t before = m_dlg.asked.size();
    m_dlg.CloseTab(0);
    ASSERT_EQ(m_dlg.asked.size(), before + 1);
    EXPECT_EQ(m_dlg.asked.back(), L"窗口即将关闭，确定要退出游戏？");
    EXPECT_EQ(m_dlg.TabWnds().size(), 1u);
}

TEST_F(MainWindow, PageEndingWithoutItsFrameTakesItsKeyAlong) {
    Open(L"1服-一区-a");
    WaitForTabs(1);
    // This page's key is accepted, then its process ends without a frame.
    Key(L"1服-一区-b");
    SetEnvironmentVariableW(L"VELKOR_STUB_NO_FRAME", L"1");
    PostMessageW(m_dlg.Handle(), UM_ADD_ACCOUNT_CHOICE, 1, 0);
    // Its process is let go once it has ended (the window holds it while it is on its way).
    const bool ended = PumpUntil([&] { return Starts().size() == 2 && m_dlg.PendingPage() == nullptr; }, 30000);
    SetEnvironmentVariableW(L"VELKOR_STUB_NO_FRAME", nullptr);
    ASSERT_TRUE(ended) << "the page process that ended without a frame is still pending";
    EXPECT_EQ(m_dlg.AccountKeys().All(), (std::vector<std::wstring>{L"1服-一区-a"}));

    // The next page's label, its question and the key freed on closing are its own.
    Key(L"1服-一区-c");
    PostMessageW(m_dlg.Handle(), UM_ADD_ACCOUNT_CHOICE, 1, 0);
    WaitForTabs(2);
    EXPECT_EQ(m_dlg.AccountKeys().All(), (std::vector<std::wstring>{L"1服-一区-a", L"1服-一区-c"}));
    m_dlg.answers = {IDYES};
    m_dlg.CloseTab(1);
    EXPECT_EQ(m_dlg.asked, (std::vector<std::wstring>{L"确定要退出账号：1服-一区-c ?"}));
    EXPECT_EQ(m_dlg.AccountKeys().All(), (std::vector<std::wstring>{L"1服-一区-a"}));
    EXPECT_TRUE(m_dlg.Handle() && IsWindow(m_dlg.Handle()));
}

TEST_F(MainWindow, FirstPageEndingWithoutItsFrameEndsTheProgram) {
    // Nothing to show and nobody to ask: the hidden window does not stay behind.
    SetEnvironmentVariableW(L"VELKOR_STUB_NO_FRAME", L"1");
    Open(L"1服-一区-a");
    const bool ended = PumpUntil([&] { return TakeQuit(); }, 30000);
    SetEnvironmentVariableW(L"VELKOR_STUB_NO_FRAME", nullptr);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(m_dlg.asked.empty());
}

TEST_F(MainWindow, ExitDetachesAndClosesEveryPage) {
    NoteClosingParents();
    Open(L"1服-一区-a");
    WaitForTabs(1);
    Key(L"1服-一区-b");
    PostMessageW(m_dlg.Handle(), UM_ADD_ACCOUNT_CHOICE, 1, 0);
    WaitForTabs(2);
    const std::vector<HWND> frames = m_dlg.TabWnds();
    // The close button posts SC_CLOSE; with tabs that is the exit question.
    m_dlg.answers = {IDYES};
    PostMessageW(m_dlg.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PumpUntil([&] { return TakeQuit(); }, 20000));
    EXPECT_EQ(m_dlg.asked, (std::vector<std::wstring>{L"窗口即将关闭，确定要退出游戏？"}));
    EXPECT_TRUE(PageEnded(0));
    EXPECT_TRUE(PageEnded(1));
    for (HWND frame : frames) EXPECT_EQ(ParentWhenClosed(frame), GetDesktopWindow()) << "not detached before closing";
}

TEST_F(MainWindow, CancelledFirstLoginOrCloseWithoutTabsEndsTheProgram) {
    // A login still open: the close button ends it and the program without a question.
    SetEnvironmentVariableW(L"VELKOR_STUB_IDLE", L"1");
    Open(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return m_dlg.PendingPage() != nullptr; }));
    HANDLE pending = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), m_dlg.PendingPage(), GetCurrentProcess(), &pending, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    fw::UniqueHandle page(pending);
    PostMessageW(m_dlg.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PumpUntil([&] { return TakeQuit(); }));
    EXPECT_EQ(WaitForSingleObject(page.Get(), 10000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(page.Get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(m_dlg.asked.empty());
}

TEST_F(MainWindow, FirstPageRefusedEndsTheProgramAtOnce) {
    // The page's login posts SC_CLOSE with the marker when it gives up: no tab, so the end.
    SetEnvironmentVariableW(L"VELKOR_STUB_IDLE", L"1");
    Open(nullptr);
    PostMessageW(m_dlg.Handle(), WM_SYSCOMMAND, SC_CLOSE, kSelfPostMarker);
    EXPECT_TRUE(PumpUntil([&] { return TakeQuit(); }));
    EXPECT_TRUE(m_dlg.asked.empty());
}

TEST_F(MainWindow, HomePageAttachingFirstIsNoTab) {
    SetEnvironmentVariableW(L"VELKOR_STUB_HOME", L"1");
    Open(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return m_dlg.HomeWnd() != nullptr; }, 30000));
    EXPECT_TRUE(m_dlg.IsMaximized());
    EXPECT_TRUE(m_dlg.TabWnds().empty());
    // The first real tab toggles the maximised state once more.
    SetEnvironmentVariableW(L"VELKOR_STUB_HOME", nullptr);
    Key(L"1服-一区-a");
    PostMessageW(m_dlg.Handle(), UM_ADD_ACCOUNT_CHOICE, 1, 0);
    WaitForTabs(1);
    EXPECT_FALSE(m_dlg.IsMaximized());
    PostMessageW(m_dlg.HomeWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

TEST_F(MainWindow, AttachTakesOnlyAnotherProcessesFrameOnce) {
    Open(L"1服-一区-a");
    WaitForTabs(1);
    HWND own = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    for (HWND frame : {own, m_dlg.Handle(), m_dlg.TabWnds()[0], static_cast<HWND>(nullptr)})
        SendMessageW(m_dlg.Handle(), UM_PAGE_ATTACH, reinterpret_cast<WPARAM>(frame), 0);
    EXPECT_EQ(m_dlg.TabWnds().size(), 1u);
    EXPECT_EQ(GetAncestor(own, GA_PARENT), GetDesktopWindow());
    DestroyWindow(own);
}

TEST_F(MainWindow, CopyDataNeverReadsPastItsRecord) {
    Open(L"1服-一区-a");
    WaitForTabs(1);
    // The record ends at the end of a readable page; the next page cannot be read at all.
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    BYTE* block = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * si.dwPageSize, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(block, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(block + si.dwPageSize, si.dwPageSize, PAGE_NOACCESS, &old));
    auto send = [&](const std::wstring& text, DWORD bytes) {
        BYTE* at = block + si.dwPageSize - bytes;
        memcpy(at, text.data(), bytes < text.size() * 2 ? bytes : text.size() * 2);
        COPYDATASTRUCT data = {0, bytes, at};
        return SendMessageW(m_dlg.Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    };
    EXPECT_EQ(send(L"2服-二区-x", 14), 1) << "a key without its terminator is taken up to the record's end";
    EXPECT_EQ(send(L"2服-二区-x", 14), 0) << "and is then already open";
    EXPECT_EQ(send(L"abc", 5), 0);
    EXPECT_EQ(send(std::wstring(600, L'y'), 1200), 0);
    COPYDATASTRUCT none = {0, 0, nullptr};
    EXPECT_EQ(SendMessageW(m_dlg.Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&none)), 0);
    EXPECT_EQ(m_dlg.AccountKeys().All(), (std::vector<std::wstring>{L"1服-一区-a", L"2服-二区-x"}));
    VirtualFree(block, 0, MEM_RELEASE);
}

TEST_F(MainWindow, TabTooltipShowsWhileTheWindowIsNotMaximised) {
    Open(L"1服-一区-a");
    WaitForTabs(1);
    // Restored, the caption band (and the strip in it) is the window's caption.
    POINT onCaption = {60, 12};
    ClientToScreen(m_dlg.Handle(), &onCaption);
    SendMessageW(m_dlg.Handle(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(onCaption.x, onCaption.y));
    ASSERT_FALSE(m_dlg.IsMaximized());
    HWND tip = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM out) {
        wchar_t name[64] = {};
        GetClassNameW(w, name, 64);
        if (lstrcmpiW(name, L"tooltips_class32") != 0 || GetWindow(w, GW_OWNER) != g_pMainDlg->Handle()) return TRUE;
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip, nullptr);

    // The mouse comes onto the tab as the system reports it there: hit test, then the move.
    POINT onTab = {120 + 60, 12};
    ClientToScreen(m_dlg.Handle(), &onTab);
    PointerScope pointer;
    SetCursorPos(onTab.x, onTab.y);
    ASSERT_EQ(SendMessageW(m_dlg.Handle(), WM_NCHITTEST, 0, MAKELPARAM(onTab.x, onTab.y)), HTCAPTION);
    PostMessageW(m_dlg.Handle(), WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(onTab.x, onTab.y));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }, 10000)) << "no tooltip over the tab";
    wchar_t text[64] = {};
    TTTOOLINFOW tool = {sizeof(tool)};
    tool.hwnd = m_dlg.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(m_dlg.Handle());
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L"1服-一区-a");
}

TEST_F(MainWindow, TabStripShowsCurrentHotAndNormalTabs) {
    OpenWithThreeTabs();
    // Tab 2 is current; the mouse rests on tab 0.
    POINT onTab0 = {120 + 60, 12};
    ClientToScreen(m_dlg.Handle(), &onTab0);
    PointerScope pointer;
    SetCursorPos(onTab0.x, onTab0.y);
    SendMessageW(m_dlg.Handle(), WM_NCHITTEST, 0, MAKELPARAM(onTab0.x, onTab0.y));
    ASSERT_TRUE(PumpUntil([&] { return m_dlg.HotTab() == 0; }));
    EXPECT_EQ(m_dlg.HotPart(), 0);
    PumpFor(200);
    const Pixels shot = CaptureWindow(m_dlg.Handle());
    ASSERT_FALSE(shot.Empty());
    // Tab bodies (the artwork's colours): normal, hot, current.
    const COLORREF normal = RGB(232, 218, 206), hot = RGB(246, 236, 224), current = RGB(255, 250, 240);
    EXPECT_EQ(shot.At(120 + 8, 3 + 15), hot);
    EXPECT_EQ(shot.At(309 + 8, 3 + 15), normal);
    EXPECT_EQ(shot.At(498 + 8, 3 + 15), current);
    // The close button's cross only on the hot tab.
    EXPECT_EQ(shot.At(296 + 6, 3 + 6), RGB(120, 70, 64));
    EXPECT_EQ(shot.At(485 + 6, 3 + 6), normal);
    EXPECT_EQ(shot.At(674 + 6, 3 + 6), current);
    // Each label is written in black inside its rectangle, nothing left of it.
    for (int i = 0; i < 3; ++i) {
        const int left = 120 + 189 * i;
        int dark = 0;
        for (int y = 8; y < 22; ++y)
            for (int x = left + 16; x < left + 60; ++x)
                if (GetRValue(shot.At(x, y)) < 90 && GetGValue(shot.At(x, y)) < 90) ++dark;
        EXPECT_GT(dark, 10) << "tab " << i;
        for (int y = 8; y < 22; ++y) EXPECT_GT(GetRValue(shot.At(left + 12, y)), 200) << "tab " << i << " y " << y;
    }
}

} // namespace
