// The statistics pings of whole program runs: which modes wait for their ping.
#include "common/AppMessages.h"
#include "settings/SettingsStore.h"
#include "support/MessagePump.h"
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
        m_exe = CopyOfProgram(m_work);
        ASSERT_FALSE(m_exe.empty());
    }
    // An installer run starts the installed copy; it must not outlive the test (nor keep
    // its file from being removed with the data folder).
    void TearDown() override { EndProcessesUnder(DataFolderPath()); }

    MachineStateGuard m_guard;
    TempFolder m_work{L"startping"};
    std::wstring m_exe;  // the program, run from its own folder
};

TEST_F(StartPing, InstallerRunSendsTheNewCountAndWaitsForIt) {
    // The answer comes late: a program that did not wait would be gone before it.
    ASSERT_TRUE(StandIn::Rule(L"/install.htm", L"delay=1500&body=ok"));
    for (int run = 1; run <= 2; ++run) {
        ASSERT_EQ(RunAndWait(m_exe, L"", m_work.Path()), 0) << run;
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
    ASSERT_EQ(RunAndWait(m_exe, L"/OlveskD", m_work.Path()), 0);
    const auto pings = StandIn::RequestsFor("/active.htm");
    ASSERT_EQ(pings.size(), 1u);
    EXPECT_EQ(pings[0].target, "/active.htm?tag=webolvesk&ver=3.0.0.1&count=1");
    EXPECT_TRUE(pings[0].answered) << "the partner start ended before its ping was answered";
    EXPECT_EQ(ReadCounterIni(L"Olvesk"), L"1");
    EXPECT_TRUE(StandIn::RequestsFor("/update/ConfigVelkor.htm").empty());
}

TEST_F(StartPing, ShortcutStartGoesOnWithoutWaiting) {
    // Today is the day of the last update: no update check, so the start goes straight on.
    SYSTEMTIME before = {}, after = {};
    GetSystemTime(&before);
    ASSERT_TRUE(WriteUpdTime());
    // The answer comes long after the deadline below: a start that waited for it fails.
    ASSERT_TRUE(StandIn::Rule(L"/active.htm", L"delay=120000&body=ok"));
    ChildProcess program(m_exe, L"/VelkorD", m_work.Path());
    ASSERT_TRUE(program.Started());
    // It has gone on: its main window shows while the ping is still unanswered.
    const HWND window = program.FindWindowTitled(kAppCaption, 60000);
    ASSERT_TRUE(window) << "the shortcut start showed no main window while its ping was pending";
    // The ping goes on beside the main window.
    EXPECT_TRUE(PumpUntil([] { return !StandIn::RequestsFor("/active.htm").empty(); }, 30000))
        << "the shortcut start sent no ping";
    for (const auto& p : StandIn::RequestsFor("/active.htm")) {
        EXPECT_EQ(p.target, "/active.htm?tag=velkor&ver=3.0.0.1&count=1");
        EXPECT_FALSE(p.answered);
    }
    EXPECT_EQ(program.CloseLikeAPlayer(), 0);
    GetSystemTime(&after);
    EXPECT_EQ(ReadCounterIni(L"Game"), L"1");
    // Only when the UTC day did not turn meanwhile is the program's today that of the update.
    if (before.wDay == after.wDay)
        EXPECT_TRUE(StandIn::RequestsFor("/update/ConfigVelkor.htm").empty())
            << "no update check on the day of the last update";
}

} // namespace
