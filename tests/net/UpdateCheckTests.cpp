#include "app/QuillonApp.h"
#include "app/SettingsRules.h"
#include "app/SettingsStore.h"
#include "net/Md5.h"
#include "net/UpdateCheck.h"
#include "net/UpdateKey.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const char kConfigPath[] = "/update/ConfigVelkor.htm";
const char kUpdAddr[] = "http://127.0.0.1/Velkor.exe";

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// The key of the running file, computed here from its bytes in memory.
std::string OwnKey() {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::string bytes = ReadWholeFile(exe);
    const std::wstring key = net::LocalVersionKey(net::Md5Hex(bytes.data(), bytes.size()), L"3.0.0.1");
    return std::string(key.begin(), key.end());
}

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

class UpdateCheck : public StandInTest {
protected:
    void SetUp() override {
        StandInTest::SetUp();
        m_guard.Clear();  // no UpdTime, no DisableDays: an automatic check is due
    }

    void ServePage(const std::string& text) {
        ASSERT_TRUE(StandIn::Rule(Wide(kConfigPath), L"body=" + StandIn::Encode(text)));
    }
    void ServeKey(const std::string& key, const std::string& address = kUpdAddr) {
        ServePage("[VerKey]\r\nVelkor=" + key + "\r\nUpdAddr=" + address + "\r\n");
    }
    std::size_t ConfigRequests() { return StandIn::RequestsFor(kConfigPath).size(); }
    std::wstring LocalCopy() {
        wchar_t path[MAX_PATH];
        ModuleFilePath(kUpdateConfigFile, path);
        return path;
    }
    void WriteDisableDays(BYTE a, BYTE b, BYTE c) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, settings::kRegistryKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        const BYTE days[4] = {a, b, c, 0};
        RegSetValueExW(key, settings::kDisableDaysValue, 0, REG_BINARY, days, 4);
        RegCloseKey(key);
    }

    MachineStateGuard m_guard;
    CQuillonApp m_app;
};

TEST_F(UpdateCheck, SameKeyInOtherLetterCaseOffersNothing) {
    ServeKey(Upper(OwnKey()));
    EXPECT_EQ(CheckForUpdate(m_app, true, RUN_DESKTOP), 0);
    EXPECT_EQ(Wide(kUpdAddr), m_app.m_szUpdAddr);
    EXPECT_FALSE(FileExists(LocalCopy())) << "the local copy of the page is deleted after reading";
    const auto requests = StandIn::RequestsFor(kConfigPath);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Header("User-Agent"), "KRD");

    ServeKey(OwnKey());
    EXPECT_EQ(CheckForUpdate(m_app, true, RUN_DESKTOP), 0);
}

TEST_F(UpdateCheck, AnyOtherKeyOffersTheUpdate) {
    std::string other = OwnKey();
    other[5] = other[5] == 'a' ? 'b' : 'a';
    ServeKey(other);
    EXPECT_NE(CheckForUpdate(m_app, true, RUN_DESKTOP), 0);
    EXPECT_EQ(Wide(kUpdAddr), m_app.m_szUpdAddr);

    ServeKey(OwnKey() + "0");
    EXPECT_NE(CheckForUpdate(m_app, true, RUN_DESKTOP), 0);
    ServeKey(OwnKey().substr(0, 31));
    EXPECT_NE(CheckForUpdate(m_app, true, RUN_DESKTOP), 0);
    // The digits alone are what a key without a digest would be: still different.
    ServeKey("3001");
    EXPECT_NE(CheckForUpdate(m_app, true, RUN_DESKTOP), 0);
    EXPECT_EQ(ConfigRequests(), 4u);
    EXPECT_FALSE(FileExists(LocalCopy()));
}

TEST_F(UpdateCheck, PageWithoutVersionKeyOffersNothingButGivesTheAddress) {
    ServePage("[VerKey]\r\nUpdAddr=http://127.0.0.1/New.exe\r\n");
    EXPECT_EQ(CheckForUpdate(m_app, true, RUN_UPDATE), 0);
    EXPECT_STREQ(m_app.m_szUpdAddr, L"http://127.0.0.1/New.exe");
    ServePage("[Other]\r\nVelkor=abc\r\n");
    EXPECT_EQ(CheckForUpdate(m_app, true, RUN_UPDATE), 0);
    EXPECT_STREQ(m_app.m_szUpdAddr, L"");
}

TEST_F(UpdateCheck, OverlongAddressIsDroppedNotCut) {
    ServeKey(OwnKey(), "http://127.0.0.1/" + std::string(494, 'x'));  // 511 characters
    EXPECT_EQ(CheckForUpdate(m_app, true, RUN_UPDATE), 0);
    EXPECT_EQ(wcslen(m_app.m_szUpdAddr), 511u);
    ServeKey(OwnKey(), "http://127.0.0.1/" + std::string(495, 'x'));  // 512
    EXPECT_EQ(CheckForUpdate(m_app, true, RUN_UPDATE), 0);
    EXPECT_STREQ(m_app.m_szUpdAddr, L"");
}

TEST_F(UpdateCheck, FailedFetchOffersNothing) {
    std::string other = OwnKey();
    other[0] = other[0] == '0' ? '1' : '0';
    ASSERT_TRUE(StandIn::Rule(Wide(kConfigPath), L"status=404&body=" + StandIn::Encode("[VerKey]\r\nVelkor=" + other)));
    EXPECT_EQ(CheckForUpdate(m_app, true, RUN_DESKTOP), 0);
    ASSERT_TRUE(StandIn::Rule(Wide(kConfigPath), L"framing=chunked&body=" + StandIn::Encode("[VerKey]\r\nVelkor=" + other)));
    EXPECT_EQ(CheckForUpdate(m_app, true, RUN_DESKTOP), 0);
    EXPECT_EQ(ConfigRequests(), 2u);
    EXPECT_STREQ(m_app.m_szUpdAddr, L"");

    // A short page stays behind as a partial copy; the next fetch replaces it.
    ASSERT_TRUE(StandIn::Rule(Wide(kConfigPath), L"framing=short&declared=500&body=" +
                                                     StandIn::Encode("[VerKey]\r\nVelkor=" + other)));
    EXPECT_EQ(CheckForUpdate(m_app, true, RUN_DESKTOP), 0);
    EXPECT_TRUE(FileExists(LocalCopy()));
    ServeKey(other);
    EXPECT_NE(CheckForUpdate(m_app, true, RUN_DESKTOP), 0);
    EXPECT_FALSE(FileExists(LocalCopy()));
}

TEST_F(UpdateCheck, AutomaticCheckRunsOnlyInModesThatTakeIt) {
    std::string other = OwnKey();
    other[0] = other[0] == '0' ? '1' : '0';
    ServeKey(other);
    for (RunMode mode : {RUN_INSTALL, RUN_OLVESK, RUN_UNINSTALL, RUN_NEWGAME})
        EXPECT_EQ(CheckForUpdate(m_app, false, mode), 0) << mode;
    EXPECT_EQ(ConfigRequests(), 0u);
    for (RunMode mode : {RUN_DESKTOP, RUN_INSTALLED, RUN_UPDATE, RUN_GAMEHALL})
        EXPECT_NE(CheckForUpdate(m_app, false, mode), 0) << mode;
    EXPECT_EQ(ConfigRequests(), 4u);
}

TEST_F(UpdateCheck, NoRequestOnTheDayOfTheLastUpdateUnlessForced) {
    std::string other = OwnKey();
    other[0] = other[0] == '0' ? '1' : '0';
    ServeKey(other);
    ASSERT_TRUE(WriteUpdTime());
    EXPECT_EQ(CheckForUpdate(m_app, false, RUN_DESKTOP), 0);
    EXPECT_EQ(ConfigRequests(), 0u);
    // The menu's update item checks whatever the day.
    EXPECT_NE(CheckForUpdate(m_app, true, RUN_DESKTOP), 0);
    EXPECT_EQ(ConfigRequests(), 1u);
}

TEST_F(UpdateCheck, NoRequestOnADisabledWeekdayUnlessForced) {
    std::string other = OwnKey();
    other[0] = other[0] == '0' ? '1' : '0';
    ServeKey(other);
    SYSTEMTIME now;
    GetSystemTime(&now);
    const BYTE today = BYTE(now.wDayOfWeek);
    for (int slot = 0; slot < 3; ++slot) {
        BYTE days[3] = {BYTE((today + 1) % 7), BYTE((today + 2) % 7), BYTE((today + 3) % 7)};
        days[slot] = today;
        WriteDisableDays(days[0], days[1], days[2]);
        EXPECT_EQ(CheckForUpdate(m_app, false, RUN_DESKTOP), 0) << slot;
    }
    EXPECT_EQ(ConfigRequests(), 0u);
    EXPECT_NE(CheckForUpdate(m_app, true, RUN_DESKTOP), 0);
    EXPECT_EQ(ConfigRequests(), 1u);
    // Other weekdays do not stop it.
    WriteDisableDays(BYTE((today + 1) % 7), BYTE((today + 2) % 7), BYTE((today + 3) % 7));
    EXPECT_NE(CheckForUpdate(m_app, false, RUN_DESKTOP), 0);
    EXPECT_EQ(ConfigRequests(), 2u);
}

} // namespace
