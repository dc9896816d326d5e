// Installer runs and uninstalls of the built Velkor.exe as a player starts them.
#include "app/Uninstall.h"
#include "framework/Handles.h"
#include "framework/ShellOpen.h"
#include "support/MessagePump.h"
#include "support/Processes.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <shlobj.h>

using namespace testing_support;

namespace {

std::wstring Folder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}
const std::wstring kName = L"OlveskSevrith极速登录器";
std::wstring DesktopLink() { return Folder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\" + kName + L".lnk"; }
std::wstring UserDesktopLink() { return Folder(CSIDL_DESKTOPDIRECTORY) + L"\\" + kName + L".lnk"; }
std::wstring Menu(const std::wstring& file = L"") { return Folder(CSIDL_COMMON_PROGRAMS) + L"\\Olvesk登录器" + file; }
std::wstring InstalledExe() { return Folder(CSIDL_COMMON_APPDATA) + L"\\Olvesk\\GameLogin\\Velkor.exe"; }

// A link read back through the shell's link object: target, arguments, icon, description.
void ExpectLink(const std::wstring& path, const wchar_t* arguments, const wchar_t* description) {
    fw::ComScope com;
    fw::ComPtr<IShellLinkW> link;
    fw::ComPtr<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid())) &&
                SUCCEEDED(link.As(IID_IPersistFile, file)) && SUCCEEDED(file->Load(path.c_str(), STGM_READ))) << path;
    wchar_t target[MAX_PATH] = {}, args[MAX_PATH] = {}, icon[MAX_PATH] = {}, text[MAX_PATH] = {};
    int index = -1;
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetArguments(args, MAX_PATH);
    link->GetIconLocation(icon, MAX_PATH, &index);
    link->GetDescription(text, MAX_PATH);
    EXPECT_EQ(target, InstalledExe());
    EXPECT_STREQ(args, arguments);
    EXPECT_EQ(icon + std::to_wstring(index), InstalledExe() + L"0");
    EXPECT_STREQ(text, description);
}

class InstallRun : public StandInTest {
protected:
    void SetUp() override {
        StandInTest::SetUp();
        m_guard.Clear();
        RemoveLinks();
    }
    void TearDown() override {
        EndProcessesUnder(Folder(CSIDL_COMMON_APPDATA) + L"\\Olvesk");
        RemoveLinks();
    }
    static void RemoveLinks() {
        DeleteFileW(DesktopLink().c_str());
        DeleteFileW(UserDesktopLink().c_str());
        DeleteTree(Menu());
    }
    // An installer run from a fresh folder; the installed copy it starts is ended once it has
    // counted its start (from the data folder it runs as the installed program).
    static void Install(const wchar_t* folderName, const wchar_t* count) {
        TempFolder downloads(folderName);
        ASSERT_TRUE(CopyFileW(BuiltExePath().c_str(), downloads.File(L"Velkor.exe").c_str(), FALSE));
        // The installer's process object ends what the installer started only when it goes:
        // the installed copy must first have had time to count its start.
        ChildProcess installer(downloads.File(L"Velkor.exe"), L"", downloads.Path());
        ASSERT_EQ(installer.Wait(), 0);
        EXPECT_EQ(ReadCounterIni(L"Inst"), count);
        EXPECT_TRUE(PumpUntil([&] { return ReadCounterIni(L"Game") == count; }, 30000)) << "no installed start";
        EndProcessesUnder(Folder(CSIDL_COMMON_APPDATA) + L"\\Olvesk");
    }
    MachineStateGuard m_guard;
};

TEST_F(InstallRun, InstallerRunCopiesItselfWritesShortcutsAndStartsTheCopy) {
    ASSERT_TRUE(WriteWholeFile(UserDesktopLink(), "a per-user shortcut of the same name"));
    Install(L"Down loads 100%", L"1");
    EXPECT_EQ(ReadWholeFile(InstalledExe()), ReadWholeFile(BuiltExePath()));
    ExpectLink(DesktopLink(), L"/VelkorD", L"OlveskSevrith极速登录器");
    ExpectLink(Menu(L"\\" + kName + L".lnk"), L"/VelkorD", L"");
    ExpectLink(Menu(L"\\卸载 " + kName + L".lnk"), L"/uninst", L"");
    EXPECT_FALSE(FileExists(UserDesktopLink()));
    ASSERT_EQ(StandIn::RequestsFor("/install.htm").size(), 1u);
    EXPECT_EQ(StandIn::RequestsFor("/install.htm")[0].target, "/install.htm?tag=velkor&ver=3.0.0.1&count=1");

    // A second run replaces an older copy and mends the shortcuts.
    ASSERT_TRUE(WriteWholeFile(InstalledExe(), "older") && WriteWholeFile(DesktopLink(), "damaged"));
    ASSERT_TRUE(DeleteFileW(Menu(L"\\卸载 " + kName + L".lnk").c_str()));
    Install(L"Downloads", L"2");
    EXPECT_EQ(ReadWholeFile(InstalledExe()), ReadWholeFile(BuiltExePath()));
    ExpectLink(DesktopLink(), L"/VelkorD", L"OlveskSevrith极速登录器");
    ExpectLink(Menu(L"\\卸载 " + kName + L".lnk"), L"/uninst", L"");

    // A start-menu folder holding a file of the player's stays when the shortcuts go.
    ASSERT_TRUE(WriteWholeFile(Menu(L"\\readme.txt"), "mine"));
    RemoveShortcuts();
    EXPECT_FALSE(FileExists(DesktopLink()) || FileExists(Menu(L"\\" + kName + L".lnk")));
    EXPECT_EQ(ReadWholeFile(Menu(L"\\readme.txt")), "mine");
}

TEST_F(InstallRun, UninstallRemovesKeyShortcutsAndProgramAndKeepsTheCounters) {
    Install(L"Downloads", L"1");
    ChildProcess uninstall(InstalledExe(), L"/uninst", Folder(CSIDL_COMMON_APPDATA));
    // "是" to the question, then "确定" to the closing message (the box's first button).
    HWND question = uninstall.FindWindowTitled(L"Olvesk - Sevrith"), message = nullptr;
    ASSERT_NE(question, nullptr);
    PostMessageW(question, WM_COMMAND, MAKEWPARAM(5000, BN_CLICKED), 0);
    ASSERT_TRUE(PumpUntil([&] {
        message = uninstall.FindWindowTitled(L"Olvesk - Sevrith", 100);
        return message && message != question;
    }, 20000));
    PostMessageW(message, WM_COMMAND, MAKEWPARAM(5000, BN_CLICKED), 0);
    EXPECT_EQ(uninstall.Wait(), 0);
    EXPECT_TRUE(ReadSettingsValue(L"DisableDays").empty());
    EXPECT_FALSE(FileExists(DesktopLink()) || FileExists(Menu())) << "a shortcut or the emptied folder stays";
    EXPECT_TRUE(PumpUntil([] { return !FileExists(InstalledExe()); }, 30000)) << "the batch left the program";
    EXPECT_EQ(ReadCounterIni(L"UnInst"), L"1");
    ASSERT_EQ(StandIn::RequestsFor("/uninstall.htm").size(), 1u);
    EXPECT_EQ(StandIn::RequestsFor("/uninstall.htm")[0].target, "/uninstall.htm?tag=velkor&ver=3.0.0.1&count=1");
}

} // namespace
