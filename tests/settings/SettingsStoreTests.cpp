// The settings store against Wine's real registry and profile functions.
#include "settings/SettingsRules.h"
#include "settings/SettingsStore.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>
#include <shlobj.h>

using namespace testing_support;

namespace {

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        guard_.Clear();
        ASSERT_TRUE(EnsureDataFolder());
    }
    static void PutBinary(const wchar_t* name, const void* data, DWORD size) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, settings::kRegistryKey, 0, nullptr, 0, KEY_WRITE | kSettingsView,
                                  nullptr, &key, nullptr), ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    static SYSTEMTIME Utc(WORD y, WORD m, WORD d, WORD dow) {
        SYSTEMTIME t = {};
        t.wYear = y; t.wMonth = m; t.wDay = d; t.wDayOfWeek = dow; t.wHour = 12;
        return t;
    }
    MachineStateGuard guard_;
};

TEST_F(SettingsStore, DataFolderIsUnderCommonAppData) {
    wchar_t common[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, common)));
    EXPECT_EQ(DataFolderPath(), std::wstring(common) + L"\\Olvesk\\GameLogin");
    EXPECT_EQ(CounterIniPath(), std::wstring(common) + L"\\Olvesk\\GameLogin\\Statistic.ini");
}

TEST_F(SettingsStore, CounterFileIsCreatedAndCountsOn) {
    ASSERT_FALSE(FileExists(CounterIniPath()));
    EXPECT_EQ(BumpCounter(L"Inst"), 1u);
    EXPECT_TRUE(FileExists(CounterIniPath()));
    EXPECT_EQ(BumpCounter(L"Inst"), 2u);
    EXPECT_EQ(BumpCounter(L"Game"), 1u);
    EXPECT_EQ(ReadCounterIni(L"Inst"), L"2");
    EXPECT_EQ(ReadCounterIni(L"Game"), L"1");
    EXPECT_EQ(ReadCounterIni(L"UnInst"), L"<absent>");
    // An ordinary INI file with the one section.
    std::string text = ReadWholeFile(CounterIniPath());
    EXPECT_NE(text.find("[Velkor]"), std::string::npos);
    EXPECT_NE(text.find("Inst=2"), std::string::npos);
}

TEST_F(SettingsStore, DamagedCountersAreReadLikeTheRuntimeDoes) {
    WritePrivateProfileStringW(L"Velkor", L"Olvesk", L"abc", CounterIniPath().c_str());
    WritePrivateProfileStringW(L"Velkor", L"UnInst", L"-5", CounterIniPath().c_str());
    EXPECT_EQ(BumpCounter(L"Olvesk"), 1u);
    EXPECT_EQ(ReadCounterIni(L"Olvesk"), L"1");
    EXPECT_EQ(BumpCounter(L"UnInst"), 4294967292u);
    EXPECT_EQ(ReadCounterIni(L"UnInst"), L"4294967292");
    // The unsigned text reads back as -4 and counts on to -3.
    EXPECT_EQ(BumpCounter(L"UnInst"), 4294967293u);
}

TEST_F(SettingsStore, DisableDaysAreFourBinaryBytesWithADistinct) {
    ASSERT_TRUE(WriteDisableDays());
    std::vector<BYTE> bytes = ReadSettingsValue(L"DisableDays");
    ASSERT_EQ(bytes.size(), 4u);
    EXPECT_EQ(bytes[3], 0);
    EXPECT_LT(bytes[0], 7);
    EXPECT_LT(bytes[1], 7);
    EXPECT_LT(bytes[2], 7);
    EXPECT_NE(bytes[1], bytes[0]);
    EXPECT_NE(bytes[1], bytes[2]);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, settings::kRegistryKey, 0, KEY_READ | kSettingsView, &key), ERROR_SUCCESS);
    DWORD type = 0;
    RegQueryValueExW(key, L"DisableDays", nullptr, &type, nullptr, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(type, DWORD(REG_BINARY));
}

TEST_F(SettingsStore, UpdTimeIsTheCurrentUtcTime) {
    SYSTEMTIME before, after;
    GetSystemTime(&before);
    ASSERT_TRUE(WriteUpdTime());
    GetSystemTime(&after);
    std::vector<BYTE> bytes = ReadSettingsValue(L"UpdTime");
    ASSERT_EQ(bytes.size(), 16u);
    SYSTEMTIME stored;
    memcpy(&stored, bytes.data(), 16);
    auto ticks = [](const SYSTEMTIME& t) {
        FILETIME f = {};
        SystemTimeToFileTime(&t, &f);
        return (ULONGLONG(f.dwHighDateTime) << 32) | f.dwLowDateTime;
    };
    EXPECT_LE(ticks(before), ticks(stored));
    EXPECT_LE(ticks(stored), ticks(after));
    // And on that day no automatic check runs: asked with that time, not the clock's next
    // reading, which may already fall on the next day.
    EXPECT_FALSE(IsUpdateDue(stored));
}

TEST_F(SettingsStore, UpdateDueFollowsUpdTimeAndDisabledDays) {
    // No values at all: due, and the read created the key.
    EXPECT_TRUE(IsUpdateDue(Utc(2026, 12, 8, 2)));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, settings::kRegistryKey, 0, KEY_READ | KEY_WOW64_32KEY, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
    // In the 32-bit view only, whichever build made it: the players' 32-bit program finds it.
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, settings::kRegistryKey, 0, KEY_READ | KEY_WOW64_64KEY, &key),
              ERROR_SUCCESS);

    SYSTEMTIME last = Utc(2026, 12, 8, 2);
    last.wHour = 23;
    PutBinary(L"UpdTime", &last, sizeof(last));
    EXPECT_FALSE(IsUpdateDue(Utc(2026, 12, 8, 2)));
    EXPECT_TRUE(IsUpdateDue(Utc(2026, 12, 9, 3)));
    EXPECT_TRUE(IsUpdateDue(Utc(2027, 12, 8, 3)));

    const BYTE days[4] = {1, 3, 5, 0};  // Monday, Wednesday, Friday
    PutBinary(L"DisableDays", days, 4);
    EXPECT_FALSE(IsUpdateDue(Utc(2026, 12, 9, 3)));
    EXPECT_FALSE(IsUpdateDue(Utc(2026, 12, 14, 1)));
    EXPECT_TRUE(IsUpdateDue(Utc(2026, 12, 10, 4)));

    // All zero disables nothing, not even Sunday.
    const BYTE none[4] = {0, 0, 0, 0};
    PutBinary(L"DisableDays", none, 4);
    EXPECT_TRUE(IsUpdateDue(Utc(2026, 12, 13, 0)));
}

TEST(ModuleFilePath, NamesFilesBesideTheRunningProgram) {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    wchar_t out[MAX_PATH];
    ASSERT_TRUE(ModuleFilePath(nullptr, out));
    EXPECT_STREQ(out, exe);
    ASSERT_TRUE(ModuleFilePath(L"Statistic.ini", out));
    std::wstring expected(exe);
    expected = expected.substr(0, expected.rfind(L'\\') + 1) + L"Statistic.ini";
    EXPECT_EQ(std::wstring(out), expected);
}

// A program path of 295 characters, handed out as GetModuleFileNameW does: cut to the buffer
// (and then answering the buffer's size) when it does not fit.
const std::wstring kLongExe = L"C:\\" + std::wstring(150, L'a') + L"\\" + std::wstring(130, L'b') + L"\\Velkor.exe";
DWORD LongModulePath(wchar_t* buffer, DWORD size) {
    const DWORD n = DWORD(kLongExe.size()) < size ? DWORD(kLongExe.size()) : size - 1;
    kLongExe.copy(buffer, n);
    buffer[n] = L'\0';
    return n < kLongExe.size() ? size : n;
}

TEST(ModuleFilePath, RefusesAProgramPathThatDoesNotFitInsteadOfNamingAnotherFolder) {
    ASSERT_EQ(kLongExe.size(), 295u);
    wchar_t out[MAX_PATH] = L"x";
    // Cut to 259 characters the path would still hold a folder, "C:\aaa…\", with room for a name.
    EXPECT_FALSE(ModuleFilePath(L"Statistic.ini", out, LongModulePath));
    EXPECT_STREQ(out, L"");
    EXPECT_FALSE(ModuleFilePath(nullptr, out, LongModulePath));
    // A getter that cuts whatever the room: refused, not taken as a path.
    EXPECT_FALSE(ModuleFilePath(nullptr, out, [](wchar_t* buffer, DWORD size) {
        buffer[size - 1] = L'\0';
        return size;
    }));
}

} // namespace
