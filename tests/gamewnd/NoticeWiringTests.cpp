// The operator's notice as the program wires it, not as a test window sets it up: asked for
// once per run, five seconds after the first page attaches; and its state kept in the
// Statistic.ini of the data folder the installed program runs from.
#include "common/AppMessages.h"
#include "gamewnd/QuillonDlg.h"
#include "hotkeys/HotKeyStore.h"
#include "settings/SettingsStore.h"
#include "support/MessagePump.h"
#include "support/Processes.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace testing_support;

namespace {

// A text-only notice, all ASCII, that nobody has seen yet.
const char kNotice[] = "wiring1|2099-12-31|Title|http://127.0.0.1/hall/|Content||1";

size_t NoticeRequests() { return StandIn::RequestsFor("/notice/velkor.txt").size(); }

class NoticeWiring : public StandInTest {
protected:
    void SetUp() override {
        StandInTest::SetUp();
        for (const wchar_t* name : {L"VELKOR_PROBE_LOG", L"VELKOR_STUB_KEY", L"VELKOR_STUB_HOME", L"VELKOR_STUB_IDLE",
                                    L"VELKOR_STUB_CLOSE_LOG"})
            SetEnvironmentVariableW(name, nullptr);
    }
    void TearDown() override {
        // On every path, a failed check's too: a page process left running would hold the
        // test's output open, and with it the whole run, long after the test has ended.
        EndProcessesOf(BuiltPageStubPath());
        EndProcessesUnder(DataFolderPath());
        hotkeys::SetHotKeyIniPathForTests(L"");
    }
};

TEST_F(NoticeWiring, AskedOnceFiveSecondsAfterTheFirstPageAttaches) {
    // Nothing to show: the window in the test program keeps its notice state beside the test
    // program, in the build tree, which must stay as the build left it.
    ASSERT_TRUE(StandIn::Rule(L"/notice/velkor.txt", L"status=404"));
    TempFolder dir(L"wiring");
    hotkeys::SetHotKeyIniPathForTests(dir.File(L"Statistic.ini"));
    CQuillonDlg dlg(MainWindowArgs{BuiltPageStubPath(), RUN_INSTALLED});  // the program's own delay
    ASSERT_TRUE(dlg.CreateModeless());
    ShowWindow(dlg.Handle(), SW_SHOWNA);
    auto tabs = [&](size_t n) { return PumpUntil([&] { return dlg.TabWnds().size() == n; }, 30000); };
    auto addTab = [&](size_t n) {
        PostMessageW(dlg.Handle(), UM_ADD_ACCOUNT_CHOICE, 1, 0);
        return tabs(n);
    };
    ASSERT_TRUE(tabs(1));
    const ULONGLONG attached = GetTickCount64();
    EXPECT_EQ(NoticeRequests(), 0u) << "asked before any page attached";
    // A second page before the notice is due, a third after it: neither asks again.
    ASSERT_TRUE(addTab(2));
    ASSERT_TRUE(PumpUntil([] { return NoticeRequests() > 0; }, 30000)) << "the notice was never asked for";
    const ULONGLONG askedAfter = GetTickCount64() - attached;
    std::printf("the notice was asked for %lu ms after the first page attached\n", static_cast<unsigned long>(askedAfter));
    // Seen from here the attach comes a little late (the tab is counted after the window has
    // handled it): half the delay tells a wait from none.
    EXPECT_GE(askedAfter, kNoticeDelayMs / 2) << "asked without waiting";
    ASSERT_TRUE(addTab(3));
    // Twice the delay: a second wait started by a later page would have asked by now.
    PumpFor(2 * kNoticeDelayMs);
    EXPECT_EQ(NoticeRequests(), 1u) << "asked more than once in one run";

    for (HWND frame : dlg.TabWnds()) PostMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    DestroyWindow(dlg.Handle());
}

TEST_F(NoticeWiring, TheInstalledProgramKeepsItsStateInTheDataFolder) {
    MachineStateGuard guard;
    guard.Clear();
    ASSERT_TRUE(EnsureDataFolder());
    ASSERT_TRUE(WriteUpdTime());  // today is the day of the last update: no update check
    ASSERT_TRUE(StandIn::Rule(L"/notice/velkor.txt", L"body=" + StandIn::Encode(kNotice)));
    const std::wstring installed = CopyProgramIntoDataFolder();
    ASSERT_FALSE(installed.empty());
    ChildProcess program(installed, L"", DataFolderPath());
    const HWND window = program.FindWindowTitled(kAppCaption, 60000);
    ASSERT_TRUE(window) << "the installed program showed no main window";
    // Its own page cannot log in here (no HTML engine); the game hall's page needs no login
    // and attaches as the home page, as the hall starts it.
    ChildProcess hall(installed, L"/gmhall /" + std::to_wstring(static_cast<int>(reinterpret_cast<INT_PTR>(window))),
                      DataFolderPath());
    ASSERT_TRUE(hall.Started());
    ASSERT_TRUE(PumpUntil([] { return NoticeRequests() > 0; }, 60000)) << "the installed program never asked";
    const std::wstring ini = CounterIniPath();
    ASSERT_TRUE(PumpUntil([] { return ReadCounterIni(L"PopInfo") != L"<absent>"; }, 30000))
        << "the notice state is not in " << std::string(ini.begin(), ini.end());
    EXPECT_EQ(ReadCounterIni(L"PopInfo"), std::wstring(kNotice, kNotice + sizeof(kNotice) - 1));
    EXPECT_EQ(ReadCounterIni(L"PopEnable"), L"1");
    EXPECT_EQ(NoticeRequests(), 1u);
}

} // namespace
