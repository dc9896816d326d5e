#include "update/UpdateRules.h"

#include <gtest/gtest.h>

namespace {

TEST(UpdateRules, DownloadMustCarryTheServersKey) {
    const std::wstring md5 = L"0123456789abcdef0123456789abcdef";
    const std::wstring key = L"0123456789abcdef0123456789ab3001";
    EXPECT_EQ(update::VersionText(0x00030000, 0x00000001), L"3.0.0.1");
    EXPECT_EQ(update::VersionText(0x0004000A, 0x00020003), L"4.10.2.3");
    EXPECT_TRUE(update::DownloadMatchesServerKey(key, md5, L"3.0.0.1"));
    EXPECT_TRUE(update::DownloadMatchesServerKey(L"0123456789ABCDEF0123456789AB3001", md5, L"3.0.0.1"));
    // The version digits come from the file: the same bytes with another version are another key.
    EXPECT_FALSE(update::DownloadMatchesServerKey(key, md5, L"3.0.0.2"));
    EXPECT_FALSE(update::DownloadMatchesServerKey(key, L"f123456789abcdef0123456789abcdef", L"3.0.0.1"));
    // No version resource (an error page) or no digest: no key at all.
    EXPECT_FALSE(update::DownloadMatchesServerKey(L"0123456789abcdef0123456789abcdef", md5, L""));
    EXPECT_FALSE(update::DownloadMatchesServerKey(L"3001", L"", L"3.0.0.1"));
    EXPECT_FALSE(update::DownloadMatchesServerKey(L"", md5, L"3.0.0.1"));
}

} // namespace
