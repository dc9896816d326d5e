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

// The text of the skinned box, from the hidden static control that carries it.
std::wstring BoxText(HWND box) {
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    return text;
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
    EXPECT_EQ(BoxText(question), L"确定要移除 OlveskSevrith极速登录器吗？");
    PostMessageW(question, WM_COMMAND, MAKEWPARAM(5000, BN_CLICKED), 0);
    ASSERT_TRUE(PumpUntil([&] {
        message = uninstall.FindWindowTitled(L"Olvesk - Sevrith", 100);
        return message && message != question;
    }, 20000));
    EXPECT_EQ(BoxText(message), L"Olvesk - Sevrith已成功移除，部分文件将在程序退出\r\n或计算机重启后自行删除");
    PostMessageW(message, WM_COMMAND, MAKEWPARAM(5000, BN_CLICKED), 0);
    EXPECT_EQ(uninstall.Wait(), 0);
    EXPECT_TRUE(ReadSettingsValue(L"DisableDays").empty());
    EXPECT_FALSE(FileExists(DesktopLink()) || FileExists(Menu())) << "a shortcut or the emptied folder stays";
    EXPECT_TRUE(PumpUntil([] { return !FileExists(InstalledExe()); }, 30000)) << "the batch left the program";
    EXPECT_EQ(ReadCounterIni(L"UnInst"), L"1");
    ASSERT_EQ(StandIn::RequestsFor("/uninstall.htm").size(), 1u);
    EXPECT_EQ(StandIn::RequestsFor("/uninstall.htm")[0].target, "/uninstall.htm?tag=velkor&ver=3.0.0.1&count=1");
}

// A symbolic link made by the system's own ln: Wine shows it as a reparse point, as Windows
// shows a junction (Wine cannot make a junction itself). Removed again by rm, never through
// the folder it points to.
class UnixLink {
public:
    UnixLink(const std::wstring& link, const std::wstring& target) : m_link(UnixPath(link)) {
        // The handle Wine gives for a Unix program may end before the program has run: the
        // link itself is what is waited for.
        m_made = Run(L"Z:\\bin\\ln", L"ln -s \"" + UnixPath(target) + L"\" \"" + m_link + L"\"") &&
                 PumpUntil([&] { return GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000);
        m_path = link;
    }
    ~UnixLink() {
        Run(L"Z:\\bin\\rm", L"rm -f \"" + m_link + L"\"");
        PumpUntil([&] { return GetFileAttributesW(m_path.c_str()) == INVALID_FILE_ATTRIBUTES; }, 20000);
    }
    bool Made() const { return m_made; }

private:
    static std::wstring UnixPath(const std::wstring& path) {
        using ToUnix = char* (*)(const wchar_t*);
        auto toUnix = reinterpret_cast<ToUnix>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name"));
        char* unix = toUnix ? toUnix(path.c_str()) : nullptr;
        if (!unix) return L"";
        const std::wstring wide(unix, unix + strlen(unix));
        HeapFree(GetProcessHeap(), 0, unix);
        return wide;
    }
    static bool Run(const wchar_t* program, std::wstring line) {
        STARTUPINFOW si = {sizeof(si)};
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessW(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
        WaitForSingleObject(pi.hProcess, 30000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return true;
    }
    std::wstring m_link, m_path;
    bool m_made = false;
};

// A data folder, or its parent, that someone made a link: nothing is installed, started,
// counted or sent, and the player is told.
TEST_F(InstallRun, InstallerRefusesADataFolderThatIsALink) {
    const std::wstring olvesk = Folder(CSIDL_COMMON_APPDATA) + L"\\Olvesk";
    for (const bool parentIsLink : {false, true}) {
        SCOPED_TRACE(parentIsLink ? "Olvesk is a link" : "GameLogin is a link");
        if (!parentIsLink) ASSERT_TRUE(CreateDirectoryW(olvesk.c_str(), nullptr));
        {
            TempFolder elsewhere(L"elsewhere"), downloads(L"Downloads");
            UnixLink link(parentIsLink ? olvesk : olvesk + L"\\GameLogin", elsewhere.Path());
            ASSERT_TRUE(link.Made());
            ASSERT_TRUE(CopyFileW(BuiltExePath().c_str(), downloads.File(L"Velkor.exe").c_str(), FALSE));
            {
                ChildProcess installer(downloads.File(L"Velkor.exe"), L"", downloads.Path());
                HWND box = installer.FindWindowTitled(L"Olvesk - Sevrith", 60000);
                ASSERT_NE(box, nullptr) << "the player is told";
                const std::wstring text = BoxText(box);
                EXPECT_NE(text.find(L"安装已取消"), std::wstring::npos);
                EXPECT_NE(text.find(L"链接"), std::wstring::npos);
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(5000, BN_CLICKED), 0);
                EXPECT_EQ(installer.Wait(), 0);
            }
            EXPECT_EQ(EndProcessesUnder(elsewhere.Path()), 0) << "nothing was started";
            EXPECT_FALSE(FileExists(elsewhere.File(L"Velkor.exe")));
            EXPECT_FALSE(FileExists(elsewhere.File(L"GameLogin")));
            EXPECT_FALSE(FileExists(DesktopLink()) || FileExists(Menu()));
            EXPECT_TRUE(ReadSettingsValue(L"DisableDays").empty());
            EXPECT_TRUE(StandIn::RequestsFor("/install.htm").empty());
        }
        // The link is gone; the folder that held it goes too.
        if (!parentIsLink) EXPECT_TRUE(RemoveDirectoryW(olvesk.c_str()));
    }
}

// A copy that failed leaves whatever stood there: it is started only when it is this very
// program, never a file someone else put there.
TEST_F(InstallRun, InstallerStartsOnlyItsOwnCopyOrTheSameProgram) {
    ASSERT_TRUE(EnsureDataFolder());
    TempFolder logs(L"probe");
    const std::wstring log = logs.File(L"probe.log");
    ASSERT_TRUE(SetEnvironmentVariableW(L"VELKOR_PROBE_LOG", log.c_str()));
    for (const bool same : {false, true}) {
        SCOPED_TRACE(same ? "the same program" : "a planted program");
        ASSERT_TRUE(CopyFileW((same ? BuiltExePath() : BuiltProbePath()).c_str(), InstalledExe().c_str(), FALSE));
        // Held open without delete sharing: the installer's copy cannot replace it.
        fw::UniqueFile held(CreateFileW(InstalledExe().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        TempFolder downloads(L"Downloads");
        ASSERT_TRUE(CopyFileW(BuiltExePath().c_str(), downloads.File(L"Velkor.exe").c_str(), FALSE));
        ChildProcess installer(downloads.File(L"Velkor.exe"), L"", downloads.Path());
        EXPECT_EQ(installer.Wait(), 0);
        if (same) {
            EXPECT_TRUE(PumpUntil([] { return ReadCounterIni(L"Game") == L"1"; }, 30000)) << "the installed copy runs";
        } else {
            EXPECT_FALSE(PumpUntil([&] { return FileExists(log); }, 5000)) << ReadWholeFile(log);
        }
        held.Reset();
        EndProcessesUnder(Folder(CSIDL_COMMON_APPDATA) + L"\\Olvesk");
    }
    SetEnvironmentVariableW(L"VELKOR_PROBE_LOG", nullptr);
}

} // namespace
