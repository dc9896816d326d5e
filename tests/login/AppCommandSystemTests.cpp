// The LOGIN decoding against the system's own pieces, under Wine with the players' ANSI code
// page (936).
#include "login/AnsiText.h"
#include "login/AppCommand.h"

#include <windows.h>
#include <shlwapi.h>
#include <gtest/gtest.h>

namespace {

std::string SystemUnescape(const std::string& in) {
    char buf[256] = {};
    lstrcpynA(buf, in.c_str(), sizeof(buf));
    DWORD n = sizeof(buf);
    UrlUnescapeA(buf, nullptr, &n, URL_UNESCAPE_INPLACE);
    return buf;
}

TEST(AppCommandSystem, PercentDecodingAgreesWithUrlUnescape) {
    for (const char* s : {"%41%62c", "%", "%4", "%4g", "a?%41#%42", "%2541", "%E6%9C%8D-%e3%80%8a",
                          "100%", "%%41", "a+b%20c", "ab%00cd"}) {
        EXPECT_EQ(PercentDecode(s), SystemUnescape(s)) << s;
    }
}

TEST(AppCommandSystem, EncodedChineseLoginThroughTheAnsiCodePage) {
    ASSERT_EQ(GetACP(), 936u) << "tests run with the players' code page";
    AccountKey k;
    ASSERT_TRUE(ParseLoadGame(L"S12%E6%9C%8D-%E3%80%8AX%E3%80%8B%E5%8F%8C%E7%BA%BF%E4%B8%80%E5%8C%BA-user",
                              ToSystemAnsi, k));
    EXPECT_EQ(k.key, L"12服-双线一区-user");
    // Unencoded Chinese counts two bytes a character against the limit.
    EXPECT_EQ(ToSystemAnsi(L"双线").size(), 4u);
    EXPECT_TRUE(ParseLoadGame(std::wstring(127, L'区') + L"a", ToSystemAnsi, k));
    EXPECT_FALSE(ParseLoadGame(std::wstring(128, L'区'), ToSystemAnsi, k));
}

} // namespace
