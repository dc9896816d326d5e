// The statistics pings of whole program runs: which modes wait for their ping.
#include "settings/SettingsStore.h"
#include "support/Processes.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class StartPing : public StandInTest {
protected:
    void SetUp() override {
        StandInTest::SetUp();
        m_guard.Clear();
        // The installer makes the data folder before it counts (and so does every later start).
        ASSERT_TRUE(EnsureDataFolder());
    }
    // An installer run starts the installed copy; it must not outlive the test (nor keep
    // its file from being removed with the data folder).
    void TearDown() override { EndProcessesUnder(DataFolderPath()); }

    MachineStateGuard m_guard;
    TempFolder m_work{L"startping"};
};

TEST_F(StartPing, InstallerRunSendsTheNewCountAndWaitsForIt) {
    // The answer comes late: a program that did not wait would be gone before it.
    ASSERT_TRUE(StandIn::Rule(L"/install.htm", L"delay=1500&body=ok"));
    for (int run = 1; run <= 2; ++run) {
        ASSERT_EQ(RunAndWait(BuiltExePath(), L"", m_work.Path()), 0) << run;
        const auto pings = StandIn::RequestsFor("/install.htm");
        ASSERT_EQ(pings.size(), std::size_t(run));
        EXPECT_EQ(pings.back().target, "/install.htm?tag=velkor&ver=3.0.0.1&count=" + std::to_string(run));
        EXPECT_TRUE(pings.back().answered) << "the installer run ended before its ping was answered";
        EXPECT_EQ(pings.back().Header("User-Agent"), "KRD");
    }
    EXPECT_EQ(ReadCounterIni(L"Inst"), L"2");
    // The installer run never asks for the update configuration.
    EXPECT_TRUE(StandIn::RequestsFor("/update/ConfigVelkor.htm").empty());
}

TEST_F(StartPing, PartnerStartWaitsForItsPing) {
    ASSERT_TRUE(StandIn::Rule(L"/active.htm", L"delay=1500&body=ok"));
    ASSERT_EQ(RunAndWait(BuiltExePath(), L"/OlveskD", m_work.Path()), 0);
    const auto pings = StandIn::RequestsFor("/active.htm");
    ASSERT_EQ(pings.size(), 1u);
    EXPECT_EQ(pings[0].target, "/active.htm?tag=webolvesk&ver=3.0.0.1&count=1");
    EXPECT_TRUE(pings[0].answered) << "the partner start ended before its ping was answered";
    EXPECT_EQ(ReadCounterIni(L"Olvesk"), L"1");
    EXPECT_TRUE(StandIn::RequestsFor("/update/ConfigVelkor.htm").empty());
}

// A visible top-level window of the process, or null.
HWND VisibleWindowOf(DWORD pid) {
    struct Search { DWORD pid; HWND found; } search{pid, nullptr};
    EnumWindows(
        [](HWND wnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(wnd, &owner);
            if (owner == s->pid && IsWindowVisible(wnd)) {
                s->found = wnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(StartPing, ShortcutStartGoesOnWithoutWaiting) {
    // Today is the day of the last update: no update check, so the start goes straight on.
    ASSERT_TRUE(WriteUpdTime());
    ASSERT_TRUE(StandIn::Rule(L"/active.htm", L"delay=8000&body=ok"));
    const std::wstring exe = BuiltExePath();
    std::wstring line = L"\"" + exe + L"\" /VelkorD";
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, m_work.Path().c_str(),
                               &si, &pi));
    CloseHandle(pi.hThread);
    // It has gone on once it ended or shows its main window, both long before the answer.
    bool wentOn = false;
    for (int i = 0; i < 140 && !wentOn; ++i)
        wentOn = WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0 || VisibleWindowOf(pi.dwProcessId);
    const auto pings = StandIn::RequestsFor("/active.htm");
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hProcess);

    ASSERT_TRUE(wentOn) << "the shortcut start neither ended nor showed a window while its ping was pending";
    for (const auto& p : pings) EXPECT_FALSE(p.answered) << "the shortcut start waited for its ping";
    EXPECT_EQ(ReadCounterIni(L"Game"), L"1");
    EXPECT_TRUE(StandIn::RequestsFor("/update/ConfigVelkor.htm").empty())
        << "no update check on the day of the last update";
}

} // namespace
