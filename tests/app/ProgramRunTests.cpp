// The built Velkor.exe run as a whole, as a player or the program itself starts it.
#include "app/QuillonApp.h"
#include "settings/SettingsRules.h"
#include "settings/SettingsStore.h"
#include "support/Processes.h"
#include "support/StandIn.h"
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
    PostMessageW(box, WM_CLOSE, 0, 0);  // closing the question answers "not yes"
    EXPECT_EQ(uninstall.Wait(), 0);
    EXPECT_EQ(ReadCounterIni(L"UnInst"), L"3");
    EXPECT_FALSE(SettingsKeyExists());
    EXPECT_TRUE(FileExists(downloadedExe_));
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
