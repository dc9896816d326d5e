// Installer runs and uninstalls of the built Velkor.exe, as a player starts them: what lands
// on the machine, what goes again, and what must stay.
#include "framework/ShellOpen.h"
#include "settings/SettingsStore.h"
#include "support/Processes.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <functional>

using namespace testing_support;

namespace {

const wchar_t kCaption[] = L"Olvesk - Sevrith";
const wchar_t kLinkName[] = L"OlveskSevrith极速登录器.lnk";
const wchar_t kUninstallLinkName[] = L"卸载 OlveskSevrith极速登录器.lnk";

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}
std::wstring DesktopLink() { return SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\" + kLinkName; }
std::wstring UserDesktopLink() { return SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\" + kLinkName; }
std::wstring MenuFolder() { return SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\Olvesk登录器"; }
std::wstring InstalledExe() { return SpecialFolder(CSIDL_COMMON_APPDATA) + L"\\Olvesk\\GameLogin\\Velkor.exe"; }

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 30000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
    return true;
}

struct LinkFields {
    std::wstring target, arguments, icon, description;
    int iconIndex = -1;
};

// A link file read back through the shell's link object.
LinkFields ReadLink(const std::wstring& path) {
    LinkFields fields;
    fw::ComScope com;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return fields;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        wchar_t text[1024] = {};
        if (SUCCEEDED(link->GetPath(text, 1024, nullptr, SLGP_RAWPATH))) fields.target = text;
        text[0] = 0;
        if (SUCCEEDED(link->GetArguments(text, 1024))) fields.arguments = text;
        text[0] = 0;
        if (SUCCEEDED(link->GetIconLocation(text, 1024, &fields.iconIndex))) fields.icon = text;
        text[0] = 0;
        if (SUCCEEDED(link->GetDescription(text, 1024))) fields.description = text;
    }
    if (file) file->Release();
    link->Release();
    return fields;
}

void ExpectLink(const std::wstring& path, const std::wstring& arguments, const std::wstring& description) {
    const LinkFields link = ReadLink(path);
    EXPECT_EQ(link.target, InstalledExe()) << path;
    EXPECT_EQ(link.arguments, arguments) << path;
    EXPECT_EQ(link.icon, InstalledExe()) << path;
    EXPECT_EQ(link.iconIndex, 0) << path;
    EXPECT_EQ(link.description, description) << path;
}

bool SettingsKeyExists() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Olvesk\\GameLogin\\Velkor", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

class InstallRun : public StandInTest {
protected:
    void SetUp() override {
        StandInTest::SetUp();
        m_guard.Clear();
        RemoveShortcuts();
    }
    void TearDown() override {
        // The installed copy an installer run starts must not outlive the test.
        EndProcessesUnder(SpecialFolder(CSIDL_COMMON_APPDATA) + L"\\Olvesk");
        RemoveShortcuts();
    }
    static void RemoveShortcuts() {
        DeleteFileW(DesktopLink().c_str());
        DeleteFileW(UserDesktopLink().c_str());
        DeleteTree(MenuFolder());
    }
    // An installer run of a copy in a fresh folder of the given name; the installed copy it
    // starts is ended once it has counted its start.
    void Install(const wchar_t* folderHint, const wchar_t* expectedCount) {
        TempFolder downloads(folderHint);
        const std::wstring exe = downloads.File(L"Velkor.exe");
        ASSERT_TRUE(CopyFileW(BuiltExePath().c_str(), exe.c_str(), FALSE));
        ASSERT_EQ(RunAndWait(exe, L"", downloads.Path()), 0);
        EXPECT_EQ(ReadCounterIni(L"Inst"), expectedCount);
        // Started from the data folder, the copy runs as the installed program.
        EXPECT_TRUE(WaitUntil([&] { return ReadCounterIni(L"Game") == expectedCount; }))
            << "the installed copy did not start";
        EndProcessesUnder(SpecialFolder(CSIDL_COMMON_APPDATA) + L"\\Olvesk");
    }
    // Says yes to the uninstall question and confirms the message that follows.
    static void AnswerUninstall(const ChildProcess& uninstall) {
        HWND question = uninstall.FindWindowTitled(kCaption);
        ASSERT_NE(question, nullptr) << "no uninstall question";
        PostMessageW(question, WM_COMMAND, MAKEWPARAM(5000, BN_CLICKED), 0);  // "是"
        HWND message = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            message = uninstall.FindWindowTitled(kCaption, 100);
            return message && message != question;
        })) << "no closing message";
        PostMessageW(message, WM_COMMAND, MAKEWPARAM(5000, BN_CLICKED), 0);  // "确定"
    }

    MachineStateGuard m_guard;
};

TEST_F(InstallRun, InstallerRunCopiesItselfWritesShortcutsAndStartsTheInstalledCopy) {
    ASSERT_TRUE(WriteWholeFile(UserDesktopLink(), "a per-user shortcut of the same name"));
    Install(L"Down loads 100%", L"1");
    EXPECT_EQ(ReadWholeFile(InstalledExe()), ReadWholeFile(BuiltExePath()));
    ExpectLink(DesktopLink(), L"/VelkorD", L"OlveskSevrith极速登录器");
    ExpectLink(MenuFolder() + L"\\" + kLinkName, L"/VelkorD", L"");
    ExpectLink(MenuFolder() + L"\\" + kUninstallLinkName, L"/uninst", L"");
    EXPECT_FALSE(FileExists(UserDesktopLink()));
    const auto pings = StandIn::RequestsFor("/install.htm");
    ASSERT_EQ(pings.size(), 1u);
    EXPECT_EQ(pings[0].target, "/install.htm?tag=velkor&ver=3.0.0.1&count=1");

    // A second installer run replaces an older installed copy and mends the shortcuts.
    ASSERT_TRUE(WriteWholeFile(InstalledExe(), "an older program"));
    ASSERT_TRUE(DeleteFileW((MenuFolder() + L"\\" + kUninstallLinkName).c_str()));
    ASSERT_TRUE(WriteWholeFile(DesktopLink(), "damaged"));
    Install(L"Downloads", L"2");
    EXPECT_EQ(ReadWholeFile(InstalledExe()), ReadWholeFile(BuiltExePath()));
    ExpectLink(DesktopLink(), L"/VelkorD", L"OlveskSevrith极速登录器");
    ExpectLink(MenuFolder() + L"\\" + kUninstallLinkName, L"/uninst", L"");
}

TEST_F(InstallRun, UninstallRemovesKeyShortcutsAndProgramButKeepsTheCounters) {
    Install(L"Downloads", L"1");
    ASSERT_TRUE(SettingsKeyExists());
    ChildProcess uninstall(InstalledExe(), L"/uninst", SpecialFolder(CSIDL_COMMON_APPDATA) + L"\\Olvesk\\GameLogin");
    ASSERT_TRUE(uninstall.Started());
    AnswerUninstall(uninstall);
    EXPECT_EQ(uninstall.Wait(), 0);
    EXPECT_FALSE(SettingsKeyExists());
    EXPECT_FALSE(FileExists(DesktopLink()));
    EXPECT_FALSE(FileExists(MenuFolder())) << "the emptied start-menu folder stays";
    EXPECT_TRUE(WaitUntil([] { return !FileExists(InstalledExe()); })) << "the batch did not delete the program";
    EXPECT_EQ(ReadCounterIni(L"UnInst"), L"1");
    const auto pings = StandIn::RequestsFor("/uninstall.htm");
    ASSERT_EQ(pings.size(), 1u);
    EXPECT_EQ(pings[0].target, "/uninstall.htm?tag=velkor&ver=3.0.0.1&count=1");
}

TEST_F(InstallRun, UninstallOfACopyAloneTakesItsFolderButNotAMenuFolderWithAUsersFile) {
    TempFolder downloads(L"Down loads 100%");
    const std::wstring exe = downloads.File(L"Velkor.exe");
    ASSERT_TRUE(CopyFileW(BuiltExePath().c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(CreateDirectoryW(MenuFolder().c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(MenuFolder() + L"\\" + kLinkName, "link"));
    ASSERT_TRUE(WriteWholeFile(MenuFolder() + L"\\readme.txt", "the player's"));
    ChildProcess uninstall(exe, L"/uninst", downloads.Path());
    ASSERT_TRUE(uninstall.Started());
    AnswerUninstall(uninstall);
    EXPECT_EQ(uninstall.Wait(), 0);
    EXPECT_TRUE(WaitUntil([&] { return !FileExists(downloads.Path()); })) << "the folder of the copy stays";
    EXPECT_FALSE(FileExists(MenuFolder() + L"\\" + kLinkName));
    EXPECT_EQ(ReadWholeFile(MenuFolder() + L"\\readme.txt"), "the player's");
}

} // namespace
