#include "update/UpdateKey.h"

#include <gtest/gtest.h>

using namespace update;

namespace {

TEST(VersionKey, DigestCutToMakeRoomForTheVersionDigits) {
    EXPECT_EQ(VersionDigits(L"3.0.0.1"), L"3001");
    EXPECT_EQ(VersionDigits(L"12.0.3"), L"1203");
    EXPECT_EQ(LocalVersionKey(L"0123456789abcdef0123456789abcdef", L"3.0.0.1"), L"0123456789abcdef0123456789ab3001");
    EXPECT_EQ(LocalVersionKey(L"0123456789abcdef0123456789abcdef", L"3.0.0.1").size(), 32u);
    // Without a digest only the digits remain, which no 32-character key equals.
    EXPECT_EQ(LocalVersionKey(L"", L"3.0.0.1"), L"3001");
}

TEST(VersionKey, ComparisonIgnoresLetterCaseOnly) {
    EXPECT_EQ(CompareKeysNoCase(L"0123456789ABCDEF0123456789AB3001", L"0123456789abcdef0123456789ab3001"), 0);
    EXPECT_NE(CompareKeysNoCase(L"0123456789abcdef0123456789ab3002", L"0123456789abcdef0123456789ab3001"), 0);
    EXPECT_NE(CompareKeysNoCase(L"0123456789abcdef0123456789ab3001x", L"0123456789abcdef0123456789ab3001"), 0);
    EXPECT_NE(CompareKeysNoCase(L"0123456789abcdef0123456789ab300", L"0123456789abcdef0123456789ab3001"), 0);
    EXPECT_NE(CompareKeysNoCase(L"", L"3001"), 0);
    EXPECT_LT(CompareKeysNoCase(L"A", L"b"), 0);
    EXPECT_GT(CompareKeysNoCase(L"b", L"A"), 0);
    // Letters outside ASCII are compared as they are.
    EXPECT_NE(CompareKeysNoCase(L"\u00e9", L"\u00c9"), 0);
}

// Every build's key is 32 hexadecimal characters, whatever its digest and version digits.
TEST(VersionKey, OnlyThirtyTwoHexadecimalCharactersAreABuildsKey) {
    EXPECT_TRUE(IsBuildKey(L"0123456789abcdef0123456789ab3001"));
    EXPECT_TRUE(IsBuildKey(L"0123456789ABCDEF0123456789AB3001"));
    EXPECT_TRUE(IsBuildKey(LocalVersionKey(L"ffffffffffffffffffffffffffffffff", L"65535.65535.65535.65535")));
    EXPECT_FALSE(IsBuildKey(L"0123456789abcdef0123456789ab300"));    // 31
    EXPECT_FALSE(IsBuildKey(L"0123456789abcdef0123456789ab30010"));  // 33
    EXPECT_FALSE(IsBuildKey(std::wstring(63, L'a')));
    EXPECT_FALSE(IsBuildKey(L"0123456789abcdef0123456789ab300g"));
    EXPECT_FALSE(IsBuildKey(L"3001"));
    EXPECT_FALSE(IsBuildKey(L""));
}

} // namespace
