// The built Velkor.exe run as a whole, as a player or the program itself starts it.
#include "app/QuillonApp.h"
#include "common/SelfPostMarker.h"
#include "support/MessagePump.h"
#include "velkor_config.h"
#include "settings/SettingsRules.h"
#include "settings/SettingsStore.h"
#include "support/Processes.h"
#include "support/StandIn.h"
#include "support/TestHost.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// Every run pings the stand-in server (and may ask it for the update page): each test
// starts from its defaults, not from the rules an earlier test left.
class ProgramRun : public StandInTest {
protected:
    void SetUp() override {
        StandInTest::SetUp();
        guard_.Clear();
        downloads_ = std::make_unique<TempFolder>(L"downloads");
        downloadedExe_ = CopyOfProgram(*downloads_);
        ASSERT_FALSE(downloadedExe_.empty());
    }
    // An installer run starts the installed copy: it must not outlive the test.
    void TearDown() override { EndProcessesUnder(DataFolderPath()); }
    static void MakeDataFolder() {
        ASSERT_TRUE(EnsureDataFolder());
    }
    static bool SettingsKeyExists() {
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Olvesk", 0, KEY_READ | kSettingsView, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    MachineStateGuard guard_;
    std::unique_ptr<TempFolder> downloads_;
    std::wstring downloadedExe_;
};

// The text of a skinned box, from the hidden static control that carries it.
std::wstring BoxText(HWND box) {
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    return text;
}

// A visible skinned message box of process pid.
HWND MessageBoxOf(DWORD pid) {
    struct Search { DWORD pid; HWND found; } s{pid, nullptr};
    EnumWindows([](HWND h, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == s->pid && IsWindowVisible(h) && GetDlgItem(h, 0xFFFF)) s->found = h;
        return !s->found;
    }, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// The prefix's program for http addresses replaced by another while it lives.
class BrowserStandIn {
public:
    explicit BrowserStandIn(const std::wstring& program) {
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &m_key,
                            nullptr) != ERROR_SUCCESS)
            return;
        wchar_t old[1024] = {};
        DWORD bytes = sizeof(old) - sizeof(wchar_t);
        m_hadValue = RegQueryValueExW(m_key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &bytes) == ERROR_SUCCESS;
        m_old = old;
        m_installed = Set(L"\"" + program + L"\" \"%1\"");
    }
    ~BrowserStandIn() {
        if (!m_key) return;
        if (m_hadValue) Set(m_old); else RegDeleteValueW(m_key, nullptr);
        RegCloseKey(m_key);
    }
    bool Installed() const { return m_installed; }

private:
    bool Set(const std::wstring& value) {
        return RegSetValueExW(m_key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              DWORD((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    static constexpr wchar_t kKey[] = L"http\\shell\\open\\command";
    HKEY m_key = nullptr;
    bool m_hadValue = false, m_installed = false;
    std::wstring m_old;
};

// Some millisecond value 0..999 with the runtime generator's first two outputs gives these bytes.
bool ExplainedByFirstRandOutputs(const std::vector<BYTE>& bytes) {
    for (std::uint32_t ms = 0; ms < 1000; ++ms) {
        auto expected = settings::DisableDaysBytes(settings::ComputeDisableDays(ms, 41, 18467));
        if (std::equal(expected.begin(), expected.end(), bytes.begin())) return true;
    }
    return false;
}

TEST_F(ProgramRun, InstallerRunFromDownloadsCountsAndChoosesDisabledDays) {
    EXPECT_EQ(RunAndWait(downloadedExe_, L"", downloads_->Path()), 0);
    EXPECT_EQ(ReadCounterIni(L"Inst"), L"1");
    std::vector<BYTE> days = ReadSettingsValue(L"DisableDays");
    ASSERT_EQ(days.size(), 4u);
    EXPECT_TRUE(ExplainedByFirstRandOutputs(days));
    EXPECT_TRUE(ReadSettingsValue(L"UpdTime").empty());

    // A second installer run counts on; an unknown switch is treated like none.
    EXPECT_EQ(RunAndWait(downloadedExe_, L"/whatever", downloads_->Path()), 0);
    EXPECT_EQ(ReadCounterIni(L"Inst"), L"2");
}

TEST_F(ProgramRun, StartFromTheDataFolderCountsALauncherStart) {
    MakeDataFolder();
    const std::wstring installed = DataFolderPath() + L"\\Velkor.exe";
    ASSERT_TRUE(CopyFileW(BuiltExePath().c_str(), installed.c_str(), FALSE));
    EXPECT_EQ(RunAndClose(installed, L"", DataFolderPath()), 0);
    EXPECT_EQ(ReadCounterIni(L"Game"), L"1");
    EXPECT_EQ(ReadCounterIni(L"Inst"), L"<absent>");
    // No installer work: the update days are chosen by installer runs only.
    EXPECT_TRUE(ReadSettingsValue(L"DisableDays").empty());

    // Any start folder whose path contains the data folder's counts as installed.
    const std::wstring sibling = DataFolderPath() + L"Old";
    ASSERT_TRUE(CreateDirectoryW(sibling.c_str(), nullptr));
    const std::wstring siblingExe = sibling + L"\\Velkor.exe";
    ASSERT_TRUE(CopyFileW(BuiltExePath().c_str(), siblingExe.c_str(), FALSE));
    EXPECT_EQ(RunAndClose(siblingExe, L"/NotASwitch", sibling), 0);
    EXPECT_EQ(ReadCounterIni(L"Game"), L"2");
    DeleteTree(sibling);
}

TEST_F(ProgramRun, ShortcutStartCountsInCapitalsToo) {
    MakeDataFolder();
    EXPECT_EQ(RunAndClose(downloadedExe_, L"/VELKORD", downloads_->Path()), 0);
    EXPECT_EQ(ReadCounterIni(L"Game"), L"1");
    EXPECT_EQ(ReadCounterIni(L"Inst"), L"<absent>");
}

TEST_F(ProgramRun, PageProcessWithoutItsArgumentsEndsAndWritesNothing) {
    MakeDataFolder();
    EXPECT_EQ(RunAndWait(downloadedExe_, L"/newgm", downloads_->Path()), 2);
    EXPECT_EQ(RunAndWait(downloadedExe_, L"/newgm /123", downloads_->Path()), 2);
    EXPECT_EQ(RunAndWait(downloadedExe_, L"/newgm /1234567890123456 /1", downloads_->Path()), 2);
    EXPECT_EQ(RunAndWait(downloadedExe_, L"/gmhall", downloads_->Path()), 2);
    EXPECT_FALSE(SettingsKeyExists());
    EXPECT_FALSE(FileExists(CounterIniPath()));
}

TEST_F(ProgramRun, PartnerStartCountsItsOwnCounter) {
    MakeDataFolder();
    EXPECT_EQ(RunAndWait(downloadedExe_, L"/OlveskD", downloads_->Path()), 0);
    EXPECT_EQ(ReadCounterIni(L"Olvesk"), L"1");
    EXPECT_EQ(ReadCounterIni(L"Inst"), L"<absent>");
    EXPECT_EQ(ReadCounterIni(L"Game"), L"<absent>");
    EXPECT_TRUE(ReadSettingsValue(L"DisableDays").empty());
}

TEST_F(ProgramRun, DecliningTheUninstallChangesNothing) {
    MakeDataFolder();
    WritePrivateProfileStringW(L"Velkor", L"UnInst", L"3", CounterIniPath().c_str());
    ChildProcess uninstall(downloadedExe_, L"/uninst", downloads_->Path());
    ASSERT_TRUE(uninstall.Started());
    HWND box = uninstall.FindWindowTitled(L"Olvesk - Sevrith");
    ASSERT_NE(box, nullptr) << "the uninstall question did not show";
    EXPECT_EQ(BoxText(box), L"确定要移除 OlveskSevrith极速登录器吗？");
    PostMessageW(box, WM_CLOSE, 0, 0);  // closing the question answers "not yes"
    EXPECT_EQ(uninstall.Wait(), 0);
    EXPECT_EQ(ReadCounterIni(L"UnInst"), L"3");
    EXPECT_FALSE(SettingsKeyExists());
    EXPECT_TRUE(FileExists(downloadedExe_));
}

// The partner start hands the hall's address to the system's browser, maximised: the
// prefix's browser program is the probe meanwhile, and logs how it was started.
TEST_F(ProgramRun, PartnerStartOpensTheHallMaximised) {
    MakeDataFolder();
    TempFolder logs(L"probe");
    const std::wstring log = logs.File(L"probe.log");
    ASSERT_TRUE(SetEnvironmentVariableW(L"VELKOR_PROBE_LOG", log.c_str()));
    {
        BrowserStandIn browser(BuiltProbePath());
        ASSERT_TRUE(browser.Installed());
        wchar_t command[1024] = {};
        DWORD bytes = sizeof(command);
        RegGetValueW(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", nullptr, RRF_RT_REG_SZ, nullptr, command, &bytes);
        EXPECT_EQ(std::wstring(command), L"\"" + BuiltProbePath() + L"\" \"%1\"");
        // What the program started ends with it when the test lets it go: the log comes first.
        ChildProcess partner(downloadedExe_, L"/OlveskD", downloads_->Path());
        EXPECT_TRUE(PumpUntil([&] { return ReadWholeFile(log).find('\n') != std::string::npos; }, 30000));
        EXPECT_EQ(partner.Wait(), 0);
    }
    SetEnvironmentVariableW(L"VELKOR_PROBE_LOG", nullptr);
    const std::string line = ReadWholeFile(log);
    const std::wstring hall = VELKOR_HALL_URL;
    EXPECT_NE(line.find(std::string(hall.begin(), hall.end())), std::string::npos) << line;
    EXPECT_NE(line.find("|show=" + std::to_string(SW_SHOWMAXIMIZED) + "|"), std::string::npos) << line;
}

// A page process whose login page cannot be opened asks the player; cancelled, it closes its
// host's extra tab with the marker that tells this close from the player's.
TEST_F(ProgramRun, PageProcessAsksToRetryAnUnreachableLoginPage) {
    MakeDataFolder();
    TestHost host;
    ASSERT_NE(host.Handle(), nullptr);
    const std::wstring args = L"/newgm /" + std::to_wstring(reinterpret_cast<INT_PTR>(host.Handle())) + L" /0";
    ChildProcess page(downloadedExe_, args, downloads_->Path());
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = MessageBoxOf(page.Id())) != nullptr; }, 90000));
    EXPECT_EQ(BoxText(box), L"登录页面打开失败，是否重试？");
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(5001, BN_CLICKED), 0);  // "取消"
    EXPECT_TRUE(PumpUntil([&] { return host.ClosesWithMarker() > 0; }, 30000));
    EXPECT_EQ(page.Wait(), 0);
}

TEST(ProgramFile, VersionResourceReads3001) {
    const std::wstring exe = BuiltExePath();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 3));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(1, 0));
    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\080404b0\\FileVersion",
                               reinterpret_cast<void**>(&text), &len));
    EXPECT_STREQ(text, L"3.0.0.1");
}

TEST(ProgramFile, IconAndManifestAreEmbedded) {
    HMODULE exe = LoadLibraryExW(BuiltExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    EXPECT_NE(FindResourceW(exe, MAKEINTRESOURCEW(128), RT_GROUP_ICON), nullptr);
    HRSRC manifest = FindResourceW(exe, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    std::string xml(static_cast<const char*>(LockResource(LoadResource(exe, manifest))),
                    SizeofResource(exe, manifest));
    EXPECT_NE(xml.find("requireAdministrator"), std::string::npos);
    EXPECT_NE(xml.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    FreeLibrary(exe);
}

} // namespace
