// The game-client download under Wine against the stand-in update server; the dialog runs
// modally while a thread timer of the test watches it and presses its buttons.
#include "extras/DownGameDlg.h"
#include "support/ModalRun.h"
#include "support/GdiplusScope.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include "extras_ids.h"

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

} // namespace
