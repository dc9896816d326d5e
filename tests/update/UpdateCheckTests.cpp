#include "settings/SettingsRules.h"
#include "settings/SettingsStore.h"
#include "update/UpdateCheck.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const char kConfigPath[] = "/update/ConfigVelkor.htm";
const char kUpdAddr[] = "http://127.0.0.1/Velkor.exe";

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

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
    // Copies of the page ("ConfigVelkor*.htm") beside the test program.
    int LocalCopies() {
        wchar_t pattern[MAX_PATH];
        ModuleFilePath(L"ConfigVelkor*.htm", pattern);
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW(pattern, &found);
        if (find == INVALID_HANDLE_VALUE) return 0;
        int count = 1;
        while (FindNextFileW(find, &found)) ++count;
        FindClose(find);
        return count;
    }
    void WriteValue(const wchar_t* name, const void* bytes, DWORD size) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, settings::kRegistryKey, 0, nullptr, 0, KEY_WRITE | kSettingsView, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, REG_BINARY, static_cast<const BYTE*>(bytes), size);
        RegCloseKey(key);
    }
    void WriteDisableDays(BYTE a, BYTE b, BYTE c) {
        const BYTE days[4] = {a, b, c, 0};
        WriteValue(settings::kDisableDaysValue, days, 4);
    }

    // A fixed clock for the automatic checks: a Wednesday, whatever the machine's time.
    static SYSTEMTIME Wednesday() {
        SYSTEMTIME t = {};
        t.wYear = 2026; t.wMonth = 12; t.wDayOfWeek = 3; t.wDay = 9; t.wHour = 12;
        return t;
    }
    UpdateOffer Check(RunMode mode, bool force) { return CheckForUpdate(mode, force, Wednesday()); }

    MachineStateGuard m_guard;
};

TEST_F(UpdateCheck, SameKeyInOtherLetterCaseOffersNothing) {
    ServeKey(Upper(OwnVersionKey()));
    const UpdateOffer offer = Check(RUN_DESKTOP, true);
    EXPECT_FALSE(offer.differs);
    EXPECT_EQ(Wide(kUpdAddr), offer.szUpdAddr);
    EXPECT_EQ(LocalCopies(), 0) << "the local copy of the page is deleted after reading";
    const auto requests = StandIn::RequestsFor(kConfigPath);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Header("User-Agent"), "KRD");

    ServeKey(OwnVersionKey());
    EXPECT_FALSE(Check(RUN_DESKTOP, true).differs);
}

TEST_F(UpdateCheck, AnyOtherKeyOffersTheUpdate) {
    std::string other = OwnVersionKey();
    other[5] = other[5] == 'a' ? 'b' : 'a';
    ServeKey(other);
    const UpdateOffer offer = Check(RUN_DESKTOP, true);
    EXPECT_TRUE(offer.differs);
    EXPECT_EQ(Wide(kUpdAddr), offer.szUpdAddr);

    EXPECT_TRUE(offer.downloadable);
    EXPECT_EQ(ConfigRequests(), 1u);
    EXPECT_EQ(LocalCopies(), 0);
}

// Every build's key has 32 hexadecimal characters: any other key, shorter, longer (whether
// or not it fits the 63 characters the page may hold) or with another letter, is no offer,
// and the forced update has nothing to download either.
TEST_F(UpdateCheck, KeyNoBuildCanHaveOffersNothing) {
    std::string otherLetter = OwnVersionKey();
    otherLetter[7] = 'g';
    for (const std::string& key : {OwnVersionKey() + "0", OwnVersionKey() + std::string(31, '0'), OwnVersionKey() + std::string(32, '0'),
                                   OwnVersionKey().substr(0, 31), std::string("3001"), otherLetter}) {
        SCOPED_TRACE(key.size());
        ServeKey(key);
        const UpdateOffer offer = Check(RUN_UPDATE, true);
        EXPECT_FALSE(offer.differs);
        EXPECT_FALSE(offer.downloadable);
        EXPECT_EQ(Wide(kUpdAddr), offer.szUpdAddr) << "the page itself was read";
    }
    EXPECT_EQ(ConfigRequests(), 6u);
}

// The menu's check and the start-up check take the same answer: a key whose download was
// refused is no offer until the server names another one.
TEST_F(UpdateCheck, RefusedKeyIsNotOfferedAgainButANewKeyIs) {
    std::string refused = OwnVersionKey();
    refused[5] = refused[5] == 'a' ? 'b' : 'a';
    ASSERT_TRUE(RememberRefusedKey(Wide(Upper(refused)).c_str()));
    EXPECT_EQ(RefusedKey(), Wide(Upper(refused)));
    ServeKey(refused);
    for (bool force : {true, false}) {
        const UpdateOffer offer = Check(RUN_DESKTOP, force);
        EXPECT_FALSE(offer.differs) << force;
        EXPECT_FALSE(offer.downloadable) << force;
    }
    std::string next = refused;
    next[6] = next[6] == 'a' ? 'b' : 'a';
    ServeKey(next);
    const UpdateOffer offer = Check(RUN_DESKTOP, false);
    EXPECT_TRUE(offer.differs);
    EXPECT_TRUE(offer.downloadable);
    EXPECT_EQ(ConfigRequests(), 3u);
}

// Another instance's copy of the page (or the one the menu's check has just renamed into
// place) stays as it is while this check fetches and reads its own.
TEST_F(UpdateCheck, AnotherChecksCopyOfThePageIsLeftAlone) {
    wchar_t others[MAX_PATH];
    ASSERT_TRUE(ModuleFilePath(kUpdateConfigFile, others));
    const std::string page = "[VerKey]\r\nVelkor=" + OwnVersionKey() + "\r\n";
    ASSERT_TRUE(WriteWholeFile(others, page));
    std::string other = OwnVersionKey();
    other[0] = other[0] == '0' ? '1' : '0';
    ServeKey(other);
    EXPECT_TRUE(Check(RUN_DESKTOP, true).differs);
    EXPECT_EQ(ReadWholeFile(others), page);
    DeleteFileW(others);
    EXPECT_EQ(LocalCopies(), 0);
}

TEST_F(UpdateCheck, PageWithoutVersionKeyOffersNothingButGivesTheAddress) {
    ServePage("[VerKey]\r\nUpdAddr=http://127.0.0.1/New.exe\r\n");
    UpdateOffer offer = Check(RUN_UPDATE, true);
    EXPECT_FALSE(offer.differs);
    EXPECT_STREQ(offer.szUpdAddr, L"http://127.0.0.1/New.exe");
    ServePage("[Other]\r\nVelkor=abc\r\n");
    offer = Check(RUN_UPDATE, true);
    EXPECT_FALSE(offer.differs);
    EXPECT_STREQ(offer.szUpdAddr, L"");
}

TEST_F(UpdateCheck, OverlongAddressIsDroppedNotCut) {
    ServeKey(OwnVersionKey(), "http://127.0.0.1/" + std::string(494, 'x'));  // 511 characters
    EXPECT_EQ(wcslen(Check(RUN_UPDATE, true).szUpdAddr), 511u);
    ServeKey(OwnVersionKey(), "http://127.0.0.1/" + std::string(495, 'x'));  // 512
    EXPECT_STREQ(Check(RUN_UPDATE, true).szUpdAddr, L"");
}

TEST_F(UpdateCheck, FailedFetchOffersNothing) {
    std::string other = OwnVersionKey();
    other[0] = other[0] == '0' ? '1' : '0';
    ASSERT_TRUE(StandIn::Rule(Wide(kConfigPath), L"status=404&body=" + StandIn::Encode("[VerKey]\r\nVelkor=" + other)));
    EXPECT_FALSE(Check(RUN_DESKTOP, true).differs);
    ASSERT_TRUE(StandIn::Rule(Wide(kConfigPath), L"framing=chunked&body=" + StandIn::Encode("[VerKey]\r\nVelkor=" + other)));
    const UpdateOffer offer = Check(RUN_DESKTOP, true);
    EXPECT_FALSE(offer.differs);
    EXPECT_STREQ(offer.szUpdAddr, L"");
    EXPECT_EQ(ConfigRequests(), 2u);

    // A page cut short is never left under the copy's name, where the other instance reads it.
    ASSERT_TRUE(StandIn::Rule(Wide(kConfigPath), L"framing=short&declared=500&body=" +
                                                     StandIn::Encode("[VerKey]\r\nVelkor=" + other)));
    EXPECT_FALSE(Check(RUN_DESKTOP, true).differs);
    EXPECT_EQ(LocalCopies(), 0);
    ServeKey(other);
    EXPECT_TRUE(Check(RUN_DESKTOP, true).differs);
    EXPECT_EQ(LocalCopies(), 0);
}

TEST_F(UpdateCheck, AutomaticCheckRunsOnlyInModesThatTakeIt) {
    std::string other = OwnVersionKey();
    other[0] = other[0] == '0' ? '1' : '0';
    ServeKey(other);
    for (RunMode mode : {RUN_INSTALL, RUN_OLVESK, RUN_UNINSTALL, RUN_NEWGAME})
        EXPECT_FALSE(Check(mode, false).differs) << mode;
    EXPECT_EQ(ConfigRequests(), 0u);
    for (RunMode mode : {RUN_DESKTOP, RUN_INSTALLED, RUN_UPDATE, RUN_GAMEHALL})
        EXPECT_TRUE(Check(mode, false).differs) << mode;
    EXPECT_EQ(ConfigRequests(), 4u);
}

TEST_F(UpdateCheck, NoRequestOnTheDayOfTheLastUpdateUnlessForced) {
    std::string other = OwnVersionKey();
    other[0] = other[0] == '0' ? '1' : '0';
    ServeKey(other);
    // The last update was on the same UTC day as the check, hours earlier.
    SYSTEMTIME morning = Wednesday();
    morning.wHour = 1;
    WriteValue(settings::kUpdTimeValue, &morning, sizeof(morning));
    EXPECT_FALSE(Check(RUN_DESKTOP, false).differs);
    EXPECT_EQ(ConfigRequests(), 0u);
    // The menu's update item checks whatever the day.
    EXPECT_TRUE(Check(RUN_DESKTOP, true).differs);
    EXPECT_EQ(ConfigRequests(), 1u);
}

TEST_F(UpdateCheck, NoRequestOnADisabledWeekdayUnlessForced) {
    std::string other = OwnVersionKey();
    other[0] = other[0] == '0' ? '1' : '0';
    ServeKey(other);
    const BYTE today = BYTE(Wednesday().wDayOfWeek);
    for (int slot = 0; slot < 3; ++slot) {
        BYTE days[3] = {BYTE((today + 1) % 7), BYTE((today + 2) % 7), BYTE((today + 3) % 7)};
        days[slot] = today;
        WriteDisableDays(days[0], days[1], days[2]);
        EXPECT_FALSE(Check(RUN_DESKTOP, false).differs) << slot;
    }
    EXPECT_EQ(ConfigRequests(), 0u);
    EXPECT_TRUE(Check(RUN_DESKTOP, true).differs);
    EXPECT_EQ(ConfigRequests(), 1u);
    // Other weekdays do not stop it.
    WriteDisableDays(BYTE((today + 1) % 7), BYTE((today + 2) % 7), BYTE((today + 3) % 7));
    EXPECT_TRUE(Check(RUN_DESKTOP, false).differs);
    EXPECT_EQ(ConfigRequests(), 2u);
}

} // namespace
