// The players' 32-bit program as a whole, under Wine's 32-bit loader: scripts/test-win32.sh
// runs this suite alone, with a 32-bit build of the local configuration, in a prefix of its own,
// while the emulator that runs 32-bit code here is registered for that run only; the main pass
// leaves it out. The paths for systems before version 6 run in the 64-bit before-6 pass: under
// the emulator a 32-bit process dies where it makes the browser control on them. Each step waits generously (every 32-bit start is
// emulated) and says what it saw when it fails.
#include "app/OtherProcess.h"
#include "framework/Handles.h"
#include "settings/SettingsStore.h"
#include "support/MessagePump.h"
#include "support/Processes.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <psapi.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

using namespace testing_support;

namespace {

constexpr DWORD kEmulatedStartMs = 600000;  // one 32-bit start, emulated on a busy machine

std::wstring Folder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

// The text of a skinned box, from the hidden static control that carries it.
std::wstring BoxText(HWND box) {
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    return text;
}

// Processes running the executable at path, other than `except`.
std::vector<DWORD> ProcessesOf(const std::wstring& path, DWORD except = 0) {
    std::vector<DWORD> ids(4096);
    DWORD bytes = 0;
    std::vector<DWORD> found;
    if (!EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes)) return found;
    for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i)
        if (ids[i] != except && Lower(ImagePathOf(ids[i])) == Lower(path)) found.push_back(ids[i]);
    return found;
}

// Reports each step with the seconds since the run began (the script's summary shows them).
class Steps {
public:
    void Done(const char* what) {
        std::printf("[win32] %-58s at %4llu s\n", what, (GetTickCount64() - m_start) / 1000);
        std::fflush(stdout);
    }
private:
    ULONGLONG m_start = GetTickCount64();
};

class Win32Program : public StandInTest {
protected:
    void SetUp() override {
        wchar_t unix[MAX_PATH] = {};
        ASSERT_GT(GetEnvironmentVariableW(L"VELKOR_EXE32", unix, MAX_PATH), 0u)
            << "VELKOR_EXE32 names the 32-bit Velkor.exe (scripts/test-win32.sh sets it)";
        const std::string narrow(unix, unix + wcslen(unix));
        m_exe = WinePathFromUnix(narrow.c_str());
        StandInTest::SetUp();
        m_guard.Clear();
    }
    void TearDown() override { EndProcessesUnder(Folder(CSIDL_COMMON_APPDATA) + L"\\Olvesk"); }
    std::wstring m_exe;
    MachineStateGuard m_guard;
};

// An installer run from a Downloads folder (copy, shortcuts, count, ping), the installed start's
// main window and first page process, a hall page process attached to it, and the end
// of every process once the player cancels the login page that Wine cannot show.
TEST_F(Win32Program, InstallsStartsShowsItsPagesAndEnds) {
    Steps steps;
    // The file is the 32-bit program, not the build's own 64-bit one.
    const std::string bytes = ReadWholeFile(m_exe);
    ASSERT_GT(bytes.size(), 0x400u);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
    ASSERT_LT(static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32), bytes.size());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(bytes.data() + dos->e_lfanew);
    ASSERT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);

    // The installer run.
    TempFolder downloads(L"Downloads");
    ASSERT_TRUE(CopyFileW(m_exe.c_str(), downloads.File(L"Velkor.exe").c_str(), FALSE));
    ChildProcess installer(downloads.File(L"Velkor.exe"), L"", downloads.Path());
    ASSERT_TRUE(installer.Started());
    {
        fw::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, installer.Id()));
        ASSERT_TRUE(process && IsThirtyTwoBit(process.Get())) << "the installer does not run as a 32-bit process";
    }
    ASSERT_EQ(installer.Wait(kEmulatedStartMs), 0) << "the installer run did not end well";
    steps.Done("installer run ended");
    const std::wstring installed = Folder(CSIDL_COMMON_APPDATA) + L"\\Olvesk\\GameLogin\\Velkor.exe";
    EXPECT_EQ(ReadWholeFile(installed), bytes) << "the installed copy is not the program";
    const std::wstring name = L"OlveskSevrith极速登录器";
    const std::wstring menu = Folder(CSIDL_COMMON_PROGRAMS) + L"\\Olvesk登录器\\";
    for (const std::wstring& link : {Folder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\" + name + L".lnk",
                                     menu + name + L".lnk", menu + L"卸载 " + name + L".lnk"})
        EXPECT_TRUE(FileExists(link)) << "no shortcut " << std::string(link.begin(), link.end());
    EXPECT_EQ(ReadCounterIni(L"Inst"), L"1");
    ASSERT_TRUE(PumpUntil([] { return !StandIn::RequestsFor("/install.htm").empty(); }, 60000)) << "no install ping";
    EXPECT_EQ(StandIn::RequestsFor("/install.htm")[0].target, "/install.htm?tag=velkor&ver=3.0.0.1&count=1");

    // The installed start: its main window, 32-bit, counted.
    DWORD mainId = 0;
    HWND main = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        for (DWORD id : ProcessesOf(installed))
            if ((main = WindowOfProcess(id, L"#32770", L"Olvesk - Sevrith")) != nullptr && IsWindowVisible(main))
                return mainId = id, true;
        return false;
    }, kEmulatedStartMs)) << "no main window of the installed copy";
    steps.Done("installed start's main window shown");
    fw::UniqueHandle mainProcess(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, mainId));
    ASSERT_TRUE(mainProcess && IsThirtyTwoBit(mainProcess.Get()));
    EXPECT_TRUE(PumpUntil([] { return ReadCounterIni(L"Game") == L"1"; }, 60000)) << "the installed start is not counted";

    // Its first page process, 32-bit, at the question Wine leads to (no HTML engine here).
    DWORD pageId = 0;
    HWND question = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        for (DWORD id : ProcessesOf(installed, mainId))
            for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr;) {
                DWORD owner = 0;
                GetWindowThreadProcessId(box, &owner);
                if (owner == id && IsWindowVisible(box) && BoxText(box) == L"登录页面打开失败，是否重试？")
                    return pageId = id, question = box, true;
            }
        return false;
    }, kEmulatedStartMs)) << "the first page process did not reach its login's retry question";
    steps.Done("first page process asks to retry its login page");
    fw::UniqueHandle pageProcess(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pageId));
    ASSERT_TRUE(pageProcess && IsThirtyTwoBit(pageProcess.Get()));

    // A page process past its login (a hall page, the one kind Wine lets get there): 32-bit too,
    // its frame attached to the main window as the hall starts it.
    ChildProcess hall(installed, L"/gmhall /" + std::to_wstring(reinterpret_cast<INT_PTR>(main)),
                      Folder(CSIDL_COMMON_APPDATA) + L"\\Olvesk\\GameLogin");
    ASSERT_TRUE(PumpUntil([&] { return AttachedFrameOf(main, hall.Id()) != nullptr; }, kEmulatedStartMs))
        << "the hall page process's frame never attached to the main window";
    steps.Done("hall page process's frame attached");
    {
        fw::UniqueHandle hallProcess(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, hall.Id()));
        ASSERT_TRUE(hallProcess && IsThirtyTwoBit(hallProcess.Get()));
    }

    // The player cancels: the page ends, and with it the main window (no tab), which closes
    // its hall page too. Every process ends, and ends well.
    PostMessageW(question, WM_COMMAND, MAKEWPARAM(5001, BN_CLICKED), 0);  // "取消"
    for (HANDLE process : {pageProcess.Get(), mainProcess.Get()}) {
        ASSERT_EQ(WaitForSingleObject(process, kEmulatedStartMs), WAIT_OBJECT_0) << "a process did not end";
        DWORD code = 1;
        GetExitCodeProcess(process, &code);
        EXPECT_EQ(code, 0u);
    }
    EXPECT_EQ(hall.Wait(kEmulatedStartMs), 0);
    EXPECT_TRUE(ProcessesOf(installed).empty()) << "a copy of the program is still running";
    steps.Done("every process ended");
}

} // namespace
