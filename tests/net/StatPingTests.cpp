#include "framework/Handles.h"
#include "settings/SettingsStore.h"
#include "app/StatPing.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class StatPing : public StandInTest {
protected:
    void SetUp() override {
        StandInTest::SetUp();
        m_guard.Clear();
        // The counters live in the data folder, which the installer makes.
        ASSERT_TRUE(EnsureDataFolder());
        m_pingDone.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    }
    PingEvents Events() const { return {m_pingDone.Get()}; }
    // Sends one counted ping and waits until its request has finished.
    void PingAndWait(const StatPingEvent& event) {
        ResetEvent(m_pingDone.Get());
        ASSERT_TRUE(SendCountedPing(event, Events()));
        ASSERT_EQ(WaitForSingleObject(m_pingDone.Get(), 30000), WAIT_OBJECT_0);
    }
    std::vector<std::string> Targets() {
        std::vector<std::string> out;
        for (const auto& r : StandIn::Requests()) out.push_back(r.target);
        return out;
    }

    MachineStateGuard m_guard;
    fw::UniqueHandle m_pingDone;
};

TEST_F(StatPing, EachEventSendsItsPageTagVersionAndNewCount) {
    PingAndWait(kPingInstall);
    PingAndWait(kPingLauncherStart);
    PingAndWait(kPingPartnerStart);
    PingAndWait(kPingUninstall);
    PingAndWait(kPingInstall);
    EXPECT_EQ(Targets(), (std::vector<std::string>{
                             "/install.htm?tag=velkor&ver=3.0.0.1&count=1",
                             "/active.htm?tag=velkor&ver=3.0.0.1&count=1",
                             "/active.htm?tag=webolvesk&ver=3.0.0.1&count=1",
                             "/uninstall.htm?tag=velkor&ver=3.0.0.1&count=1",
                             "/install.htm?tag=velkor&ver=3.0.0.1&count=2",
                         }));
    EXPECT_EQ(ReadCounterIni(L"Inst"), L"2");
    EXPECT_EQ(ReadCounterIni(L"Game"), L"1");
    EXPECT_EQ(ReadCounterIni(L"Olvesk"), L"1");
    EXPECT_EQ(ReadCounterIni(L"UnInst"), L"1");
    for (const auto& r : StandIn::Requests()) EXPECT_EQ(r.Header("User-Agent"), "KRD");
}

TEST_F(StatPing, CountContinuesFromWhatTheFileHolds) {
    ASSERT_TRUE(WritePrivateProfileStringW(L"Velkor", L"Game", L"41", CounterIniPath().c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"Velkor", L"UnInst", L"-5", CounterIniPath().c_str()));
    PingAndWait(kPingLauncherStart);
    PingAndWait(kPingUninstall);
    EXPECT_EQ(Targets(), (std::vector<std::string>{
                             "/active.htm?tag=velkor&ver=3.0.0.1&count=42",
                             "/uninstall.htm?tag=velkor&ver=3.0.0.1&count=4294967292",
                         }));
}

TEST_F(StatPing, SendReturnsBeforeTheRequestEnds) {
    ASSERT_TRUE(StandIn::Rule(L"/active.htm", L"delay=3000&body=ok"));
    ASSERT_TRUE(SendCountedPing(kPingLauncherStart, Events()));
    // The request is still waiting for its answer.
    EXPECT_EQ(WaitForSingleObject(m_pingDone.Get(), 0), DWORD(WAIT_TIMEOUT));
    ASSERT_EQ(WaitForSingleObject(m_pingDone.Get(), 30000), WAIT_OBJECT_0);
    const auto requests = StandIn::RequestsFor("/active.htm");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].answered);
    EXPECT_EQ(ReadCounterIni(L"Game"), L"1");
}

TEST_F(StatPing, ThreadSignalsItsOwnHandleNotTheOneTheProcessClosed) {
    // The program closes its events at exit while a ping may still be under way; a thread
    // using the closed handle value would signal nothing (or whatever took that value).
    ASSERT_TRUE(StandIn::Rule(L"/active.htm", L"delay=1000&body=ok"));
    ASSERT_TRUE(SendCountedPing(kPingLauncherStart, Events()));
    HANDLE copy = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), m_pingDone.Get(), GetCurrentProcess(), &copy, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    fw::UniqueHandle sameEvent(copy);
    m_pingDone.Reset();
    EXPECT_EQ(WaitForSingleObject(sameEvent.Get(), 30000), WAIT_OBJECT_0)
        << "the ping's end never reached the event once the caller's handle was closed";
}

TEST_F(StatPing, FailedRequestStillEndsThePing) {
    ASSERT_TRUE(SendStatPing(L"http://127.0.0.1:1/uninstall.htm?tag=velkor&ver=3.0.0.1&count=1", Events()));
    EXPECT_EQ(WaitForSingleObject(m_pingDone.Get(), 60000), WAIT_OBJECT_0);
}

TEST_F(StatPing, OverlongAddressIsNotSent) {
    const std::wstring address = StandIn::Url(L"/active.htm?tag=velkor&x=" + std::wstring(600, L'x'));
    // Nothing is sent, and it says so; a caller waiting for the ping's end does not hang.
    EXPECT_FALSE(SendStatPing(address.c_str(), Events()));
    EXPECT_EQ(WaitForSingleObject(m_pingDone.Get(), 30000), WAIT_OBJECT_0);
    EXPECT_TRUE(StandIn::Requests().empty());
}

TEST_F(StatPing, AddressIsBuiltFromTheStatisticsHost) {
    EXPECT_EQ(StatPingAddress(kPingPartnerStart, 7),
              StandIn::Url(L"/active.htm?tag=webolvesk&ver=3.0.0.1&count=7"));
    EXPECT_EQ(StatPingAddress(kPingUninstall, 4294967295u),
              StandIn::Url(L"/uninstall.htm?tag=velkor&ver=3.0.0.1&count=4294967295"));
}

} // namespace
