#include "settings/SettingsRules.h"

#include <gtest/gtest.h>
#include <set>

using namespace settings;

namespace {

TEST(Counters, TextAndSignedValuesCountOn) {
    EXPECT_EQ(NextCounterValue(L"0"), 1u);
    EXPECT_EQ(NextCounterValue(L"abc"), 1u);
    EXPECT_EQ(NextCounterValue(L" 41"), 42u);
    EXPECT_EQ(NextCounterValue(L"-5"), 4294967292u);
    EXPECT_EQ(FormatCounter(NextCounterValue(L"-5")), L"4294967292");
    EXPECT_EQ(NextCounterValue(L"4294967295"), 0u);
}

TEST(DisableDays, RuntimeGeneratorStartsAt41And18467) {
    RuntimeRand r;
    EXPECT_EQ(r.Next(), 41);
    EXPECT_EQ(r.Next(), 18467);
    EXPECT_EQ(r.Next(), 6334);
}

TEST(DisableDays, BytesForKnownMilliseconds) {
    // ms = 0: A = 48 % 7 = 6, E = 18474 % 7 = 1, D = 0.
    EXPECT_EQ(DisableDaysBytes(ComputeDisableDays(0, 41, 18467)), (std::array<std::uint8_t, 4>{1, 6, 0, 0}));
    // ms = 6: A = 42 % 7 = 0, D = 6 % 7 = 6, E = 18468 % 7 = 2.
    EXPECT_EQ(DisableDaysBytes(ComputeDisableDays(6, 41, 18467)), (std::array<std::uint8_t, 4>{2, 0, 6, 0}));
    // ms = 999 wraps: 41 + 7 - 999 = 4294966345, % 7 = 5 (A); D = 999 % 7 = 5 = A -> 4;
    // 18474 - 999 = 17475, % 7 = 3 (E). Signed arithmetic would give A = -6.
    EXPECT_EQ(DisableDaysBytes(ComputeDisableDays(999, 41, 18467)), (std::array<std::uint8_t, 4>{3, 5, 4, 0}));
}

TEST(DisableDays, ACollisionsAreMovedAway) {
    // ms = 48: A = 0 (48 - 48), D = 48 % 7 = 6 -> no clash; ms = 24: A = 24 % 7 = 3 = D -> D = 2.
    auto b = DisableDaysBytes(ComputeDisableDays(24, 41, 18467));
    EXPECT_EQ(b[1], 3);
    EXPECT_EQ(b[2], 2);
    // r1 == r2 forces E == A, which moves E on by one.
    b = DisableDaysBytes(ComputeDisableDays(10, 100, 100));
    EXPECT_EQ(b[0], (b[1] + 1) % 7);
}

TEST(DisableDays, AlwaysValidWeekdaysWithADistinct) {
    for (std::uint32_t ms = 0; ms < 1000; ++ms) {
        auto b = DisableDaysBytes(ComputeDisableDays(ms, 41, 18467));
        ASSERT_LT(b[0], 7);
        ASSERT_LT(b[1], 7);
        ASSERT_LT(b[2], 7);
        ASSERT_EQ(b[3], 0);
        ASSERT_NE(b[1], b[0]) << ms;
        ASSERT_NE(b[1], b[2]) << ms;
    }
}

TEST(UpdateDue, SameUtcDayAsLastUpdateIsNotDue) {
    UtcDate today{2026, 12, 2, 8};
    EXPECT_FALSE(UpdateDueOn(today, {2026, 12, 2, 8}, 0));
    EXPECT_TRUE(UpdateDueOn(today, {2026, 11, 2, 8}, 0));
    EXPECT_TRUE(UpdateDueOn(today, {2025, 12, 2, 8}, 0));
    EXPECT_TRUE(UpdateDueOn(today, {2026, 12, 1, 7}, 0));
}

TEST(UpdateDue, DisabledWeekdays) {
    const UtcDate never{};
    const std::uint32_t days = (5u << 16) | (3u << 8) | 1u;  // Friday, Wednesday, Monday
    for (std::uint16_t dow = 0; dow < 7; ++dow) {
        bool disabled = dow == 1 || dow == 3 || dow == 5;
        EXPECT_EQ(UpdateDueOn({2026, 12, dow, 8}, never, days), !disabled) << dow;
    }
    // 0 disables nothing, although its bytes would name Sunday.
    EXPECT_TRUE(UpdateDueOn({2026, 12, 0, 6}, never, 0));
    // The fourth byte is no weekday.
    EXPECT_TRUE(UpdateDueOn({2026, 12, 4, 10}, never, 0x04010203u));
}

TEST(FolderFilePath, AppendsToTheExecutablesFolder) {
    wchar_t out[260];
    ASSERT_TRUE(FolderFilePath(L"C:\\Games\\Velkor.exe", L"Statistic.ini", out, 260));
    EXPECT_STREQ(out, L"C:\\Games\\Statistic.ini");
    ASSERT_TRUE(FolderFilePath(L"C:\\Games\\Velkor.exe", nullptr, out, 260));
    EXPECT_STREQ(out, L"C:\\Games\\Velkor.exe");
    EXPECT_FALSE(FolderFilePath(L"Velkor.exe", L"Statistic.ini", out, 260));
    EXPECT_STREQ(out, L"");
    // Too long for the buffer: refused, never cut.
    std::wstring deep = L"C:\\" + std::wstring(250, L'd') + L"\\Velkor.exe";
    EXPECT_FALSE(FolderFilePath(deep.c_str(), L"Statistic.ini", out, 260));
    EXPECT_STREQ(out, L"");
}

} // namespace
