// What scripts/test sets up for every test, checked from inside Wine: a time zone far from
// UTC, so that a local time taken for a UTC one fails a test.
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(Harness, RunsEightHoursEastOfUtcWhenTheScriptSaysSo) {
    const char* tz = std::getenv("TZ");
    if (!tz || std::string(tz) != "Asia/Shanghai") GTEST_SKIP() << "not run by scripts/test";
    TIME_ZONE_INFORMATION zone = {};
    GetTimeZoneInformation(&zone);
    EXPECT_EQ(zone.Bias, -480) << "Wine did not take the time zone";
    SYSTEMTIME utc = {}, local = {};
    GetSystemTime(&utc);
    GetLocalTime(&local);
    auto seconds = [](const SYSTEMTIME& t) {
        FILETIME f = {};
        SystemTimeToFileTime(&t, &f);
        ULARGE_INTEGER u = {};
        u.LowPart = f.dwLowDateTime;
        u.HighPart = f.dwHighDateTime;
        return static_cast<long long>(u.QuadPart / 10000000ULL);
    };
    EXPECT_NEAR(seconds(local) - seconds(utc), 8 * 3600, 5);
}

} // namespace
