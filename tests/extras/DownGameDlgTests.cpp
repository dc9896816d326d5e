// The game-client download under Wine against the stand-in update server; the dialog runs
// modally while a thread timer of the test watches it and presses its buttons.
#include "extras/DownGameDlg.h"
#include "support/ModalRun.h"
#include "support/GdiplusScope.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include "extras_ids.h"
#include "skin/DlgEx.h"

#include <gtest/gtest.h>
#include <string>

using namespace testing_support;
using testing_support::Click;

namespace {

std::wstring TextOf(HWND wnd) {
    wchar_t text[256] = {};
    GetWindowTextW(wnd, text, 256);
    return text;
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

// The folder part of a path, without its last separator.
std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

bool FolderExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// What the worker posts to a download dialog (messages of the application's range), counted
// as the dialog's thread takes them; `drop` turns each into nothing, as a full queue would.
struct PostWatch {
    bool drop = false;
    int posts = 0;
} g_watch;

LRESULT CALLBACK WatchPosts(int code, WPARAM removal, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && removal == PM_REMOVE && msg->message >= WM_APP && msg->message <= 0xBFFF &&
        GetDlgItem(msg->hwnd, IDC_DOWN_PROGRESS)) {
        ++g_watch.posts;
        if (g_watch.drop) msg->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

class DownGame : public StandInTest {
protected:
    GdiplusScope m_gdiplus;
    std::vector<std::wstring> m_started;
    std::string m_startedBytes;
    bool m_startWorks = true;

    // The installer's start as the test sees it: the file as it was at that moment.
    CDownGameDlg::ProgramStarter Starter() {
        return [this](const wchar_t* path) {
            m_started.push_back(path);
            m_startedBytes = ReadWholeFile(path);
            return m_startWorks;
        };
    }
    void Serve(const wchar_t* name, const std::wstring& setupRule) {
        const std::wstring setup = StandIn::Url(std::wstring(L"/dl/") + name + L".exe");
        ASSERT_TRUE(StandIn::Rule(std::wstring(L"/update/Config") + name + L".htm",
                                  L"body=" + StandIn::Encode("[VerKey]\r\nUpdAddr=" + std::string(setup.begin(), setup.end()))));
        ASSERT_TRUE(StandIn::Rule(std::wstring(L"/dl/") + name + L".exe", setupRule));
    }
    INT_PTR Run(CDownGameDlg& dlg, const std::function<bool(HWND, int)>& step) {
        return testing_support::RunModal(dlg, [&] { return dlg.Run(); }, step);
    }
    // Runs a download that is to end without starting anything; the title and the buttons'
    // states once it has ended, and then closes it.
    std::wstring RunToFailure(const wchar_t* name, bool& okEnabled, bool& cancelEnabled) {
        CDownGameDlg dlg(name, nullptr, Starter());
        std::wstring title;
        Run(dlg, [&](HWND d, int) {
            if (TextOf(d) == L"游戏下载中...") return false;
            title = TextOf(d);
            okEnabled = IsWindowEnabled(GetDlgItem(d, IDOK));
            cancelEnabled = IsWindowEnabled(GetDlgItem(d, IDCANCEL));
            PostMessageW(d, WM_CLOSE, 0, 0);
            return true;
        });
        return title;
    }
};

TEST_F(DownGame, FetchesTheConfigurationDownloadsWithProgressAndStartsTheInstaller) {
    Serve(L"Brasca", L"size=150000");
    CDownGameDlg dlg(L"Brasca", nullptr, Starter());
    std::wstring percent;
    const INT_PTR result = Run(dlg, [&](HWND d, int) {
        if (TextOf(d) != L"下载完成") return false;
        percent = TextOf(GetDlgItem(d, IDC_DOWN_PERCENT));
        EXPECT_EQ(SendDlgItemMessageW(d, IDC_DOWN_PROGRESS, PBM_GETPOS, 0, 0), 100);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDCANCEL)));
        Click(d, IDOK);
        return true;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(percent, L"已加载  100%");
    EXPECT_EQ(StandIn::RequestsFor("/update/ConfigBrasca.htm").size(), 1u);
    ASSERT_EQ(m_started.size(), 1u);
    // Under its own name (players see it when it starts), in a folder of this download's
    // own inside the temporary folder.
    const std::wstring temp = TempPath(L"");
    EXPECT_EQ(m_started[0].substr(0, temp.size()), temp);
    EXPECT_EQ(m_started[0].substr(m_started[0].size() - 11), L"\\Brasca.exe");
    EXPECT_NE(FolderOf(m_started[0]) + L"\\", temp);
    EXPECT_EQ(m_startedBytes, PatternBytes(150000)) << "the complete installer was there when it started";
    EXPECT_FALSE(FileExists(m_started[0])) << "deleted once started (unless still running)";
    EXPECT_FALSE(FolderExists(FolderOf(m_started[0]))) << "and its folder with it";
}

TEST_F(DownGame, APlayersOwnFileOfTheInstallersNameIsNeverDeletedNorReplaced) {
    const std::wstring own = TempPath(L"Marrow.exe");
    const std::string mine = "the player's own Marrow.exe";
    ASSERT_TRUE(WriteWholeFile(own, mine));
    struct RemoveAtEnd {
        std::wstring path;
        ~RemoveAtEnd() { DeleteFileW(path.c_str()); }
    } removeAtEnd{own};

    // Nothing to download: the installer's address answers 404.
    Serve(L"Marrow", L"status=404&body=" + StandIn::Encode("<html>404</html>"));
    {
        CDownGameDlg dlg(L"Marrow", nullptr, Starter());
        const INT_PTR result = Run(dlg, [&](HWND d, int) {
            if (!IsWindowEnabled(GetDlgItem(d, IDOK))) return false;
            EXPECT_EQ(TextOf(d), L"下载失败");
            Click(d, IDOK);
            return true;
        });
        EXPECT_EQ(result, IDOK);
    }
    EXPECT_EQ(StandIn::RequestsFor("/dl/Marrow.exe").size(), 1u);
    EXPECT_TRUE(m_started.empty());
    EXPECT_EQ(ReadWholeFile(own), mine) << "a failed download deleted the player's file";

    // A whole installer: downloaded and started elsewhere.
    Serve(L"Marrow", L"size=5000");
    {
        CDownGameDlg dlg(L"Marrow", nullptr, Starter());
        const INT_PTR result = Run(dlg, [&](HWND d, int) {
            if (TextOf(d) != L"下载完成") return false;
            Click(d, IDOK);
            return true;
        });
        EXPECT_EQ(result, IDOK);
    }
    ASSERT_EQ(m_started.size(), 1u);
    EXPECT_NE(CompareStringOrdinal(m_started[0].c_str(), -1, own.c_str(), -1, TRUE), CSTR_EQUAL)
        << "the started installer is not the player's file";
    EXPECT_EQ(m_startedBytes, PatternBytes(5000));
    EXPECT_EQ(ReadWholeFile(own), mine) << "a good download replaced or deleted the player's file";
    EXPECT_FALSE(FolderExists(FolderOf(m_started[0])));
}

TEST_F(DownGame, AClientNamedStatisticLeavesTheSettingsAloneAndAFailedStartIsAFailure) {
    // Statistic.ini beside the executable, with a value of our own.
    wchar_t ini[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, ini, MAX_PATH);
    const std::wstring path = std::wstring(ini, wcsrchr(ini, L'\\') + 1) + L"Statistic.ini";
    const bool existed = FileExists(path);
    const std::string before = ReadWholeFile(path), mine = before + "[Velkor]\r\nShortKey=0,121\r\n";
    ASSERT_TRUE(WriteWholeFile(path, mine));

    Serve(L"statistic", L"size=3000");
    m_startWorks = false;
    CDownGameDlg dlg(L"statistic", nullptr, Starter());
    const INT_PTR result = Run(dlg, [&](HWND d, int) {
        if (!IsWindowEnabled(GetDlgItem(d, IDOK))) return false;
        EXPECT_EQ(TextOf(d), L"下载失败") << "the installer did not start";
        PostMessageW(d, WM_CLOSE, 0, 0);
        return true;
    });
    const std::string after = ReadWholeFile(path);
    if (existed) WriteWholeFile(path, before); else DeleteFileW(path.c_str());

    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(m_started.size(), 1u);
    EXPECT_EQ(after, mine);
}

TEST_F(DownGame, EscapeDoesNothingAndCancelStopsTheTransferWithoutLeftovers) {
    // 200 KB in 1 KB pieces, 100 ms apart: twenty seconds unless stopped.
    Serve(L"Slowa", L"size=204800&trickle=100&piece=1024");
    CDownGameDlg dlg(L"Slowa", nullptr, Starter());
    ULONGLONG cancelledAt = 0;
    const INT_PTR result = Run(dlg, [&](HWND d, int) {
        if (SendDlgItemMessageW(d, IDC_DOWN_PROGRESS, PBM_GETPOS, 0, 0) < 1) return false;
        if (!cancelledAt) {
            PostMessageW(GetDlgItem(d, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0);
            cancelledAt = 1;
            return false;
        }
        EXPECT_TRUE(dlg.Working()) << "Escape must not end the download";
        cancelledAt = GetTickCount64();
        Click(d, IDCANCEL);
        return true;
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_LT(GetTickCount64() - cancelledAt, 5000u) << "cancel stops the transfer promptly";
    EXPECT_FALSE(dlg.Working()) << "the worker has ended before the dialog returns";
    EXPECT_TRUE(m_started.empty());
    EXPECT_FALSE(FileExists(dlg.SetupPath())) << "the partial file is closed and deleted";
    EXPECT_FALSE(FolderExists(FolderOf(dlg.SetupPath()))) << "and so is the download's folder";
}

TEST_F(DownGame, ProgressIsPostedOnlyWhenItChangesAndTheEndIsKnownWhenEveryPostIsLost) {
    Serve(L"Quick", L"size=614400");  // 600 chunks of 1 KB
    const HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, WatchPosts, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    g_watch = {};
    for (bool drop : {false, true}) {
        g_watch.drop = drop;
        g_watch.posts = 0;
        m_started.clear();
        CDownGameDlg dlg(L"Quick", nullptr, Starter());
        bool okEnabled = false, cancelEnabled = true;
        const INT_PTR result = Run(dlg, [&](HWND d, int n) {
            if (TextOf(d) != L"下载完成" && n < 400) return false;  // 20 s at most
            okEnabled = IsWindowEnabled(GetDlgItem(d, IDOK));
            cancelEnabled = IsWindowEnabled(GetDlgItem(d, IDCANCEL));
            PostMessageW(d, WM_CLOSE, 0, 0);
            return true;
        });
        EXPECT_EQ(result, IDCANCEL) << drop;
        EXPECT_EQ(m_started.size(), 1u) << drop;
        EXPECT_TRUE(okEnabled && !cancelEnabled) << "the end was lost with its post: " << drop;
        if (!drop) {
            EXPECT_LE(g_watch.posts, 102) << "one progress post per percent and one for the end";
            EXPECT_GE(g_watch.posts, 2);
        }
    }
    UnhookWindowsHookEx(hook);
}

TEST_F(DownGame, AFailedConfigurationLeavesOnlyCancelAndABadAddressFailsWithoutARequest) {
    bool ok = true, cancel = false;
    ASSERT_TRUE(StandIn::Rule(L"/update/ConfigNowhere.htm", L"status=404&body=x"));
    EXPECT_EQ(RunToFailure(L"Nowhere", ok, cancel), L"下载失败");
    EXPECT_TRUE(!ok && cancel) << "after a configuration failure the player must press 取消";

    // The operator's server gives an address off its sites, none, or one longer than kept.
    const std::wstring start = StandIn::Url(L"/dl/");
    const std::wstring longest = start + std::wstring(511 - start.size() - 4, L'a') + L".exe";
    const std::wstring tooLong = start + std::wstring(512 - start.size() - 4, L'b') + L".exe";
    const std::string longestPath = "/dl/" + std::string(511 - start.size() - 4, 'a') + ".exe";
    const std::string tooLongPath = "/dl/" + std::string(512 - start.size() - 4, 'b') + ".exe";
    ASSERT_TRUE(StandIn::Rule(std::wstring(longestPath.begin(), longestPath.end()), L"size=3000"));
    ASSERT_TRUE(StandIn::Rule(std::wstring(tooLongPath.begin(), tooLongPath.end()), L"size=3000"));
    const std::pair<std::wstring, bool> configs[] = {
        {L"UpdAddr=http://elsewhere.example/dl/x.exe", false},
        {L"UpdAddr=", false},
        {L"Other=1", false},
        {L"UpdAddr=" + tooLong, false},
        {L"UpdAddr=" + longest, true},
    };
    for (const auto& [line, downloads] : configs) {
        const std::string body = "[VerKey]\r\n" + std::string(line.begin(), line.end());
        ASSERT_TRUE(StandIn::Rule(L"/update/ConfigOdd.htm", L"body=" + StandIn::Encode(body)));
        m_started.clear();
        ok = false;
        cancel = true;
        const std::wstring title = RunToFailure(L"Odd", ok, cancel);
        EXPECT_TRUE(ok && !cancel) << line;
        EXPECT_EQ(title, downloads ? L"下载完成" : L"下载失败") << line;
        EXPECT_EQ(m_started.size(), downloads ? 1u : 0u) << line;
    }
    EXPECT_EQ(StandIn::RequestsFor(longestPath).size(), 1u) << "511 characters are an address";
    EXPECT_TRUE(StandIn::RequestsFor(tooLongPath).empty()) << "512 are refused, never cut";
}

TEST_F(DownGame, TheCloseButtonSitsInTheCornerAndCancelsATransfer) {
    Serve(L"Slowb", L"size=204800&trickle=100&piece=1024");
    CDownGameDlg dlg(L"Slowb", nullptr, Starter());
    RECT window = {}, close = {};
    ULONGLONG closedAt = 0;
    const INT_PTR result = Run(dlg, [&](HWND d, int) {
        if (SendDlgItemMessageW(d, IDC_DOWN_PROGRESS, PBM_GETPOS, 0, 0) < 1) return false;
        GetWindowRect(d, &window);
        GetWindowRect(GetDlgItem(d, IDC_SKIN_CLOSE), &close);
        closedAt = GetTickCount64();
        Click(d, IDC_SKIN_CLOSE);
        return true;
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_LT(GetTickCount64() - closedAt, 5000u) << "closing stops the transfer promptly";
    EXPECT_FALSE(dlg.Working());
    EXPECT_TRUE(m_started.empty());
    EXPECT_FALSE(FileExists(dlg.SetupPath()));
    EXPECT_FALSE(FolderExists(FolderOf(dlg.SetupPath())));
    EXPECT_TRUE(close.right == window.right && close.top == window.top)
        << "close button at " << close.right - window.right << "," << close.top - window.top;
}

} // namespace
