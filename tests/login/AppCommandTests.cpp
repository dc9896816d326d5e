#include "login/AppCommand.h"

#include <gtest/gtest.h>

namespace {

// Stand-in for a double-byte ANSI code page: ASCII stays one byte, anything else takes two
// (a lead byte and a trail byte), as with the players' code page 936.
std::string FakeAnsi(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0x81 + (c >> 8) % 0x7E));
            out.push_back(static_cast<char>(0x40 + (c & 0x3F)));
        }
    }
    return out;
}

AccountKey Parse(std::wstring_view login) {
    AccountKey key;
    EXPECT_TRUE(ParseLoadGame(login, FakeAnsi, key)) << "LOGIN rejected";
    return key;
}

TEST(AppCommand, PrefixIsExactAndCaseSensitive) {
    EXPECT_EQ(ClassifyNavigation(L"app:x"), AppNavigate::Cancel);
    EXPECT_EQ(ClassifyNavigation(L"app://loadgame|a|b"), AppNavigate::Cancel);
    EXPECT_EQ(ClassifyNavigation(L"app:"), AppNavigate::Cancel);
    EXPECT_EQ(ClassifyNavigation(L"APP://loadgame|a|b"), AppNavigate::BrowserDecides);
    EXPECT_EQ(ClassifyNavigation(L"App:x"), AppNavigate::BrowserDecides);
    EXPECT_EQ(ClassifyNavigation(L"ap"), AppNavigate::BrowserDecides);
    EXPECT_EQ(ClassifyNavigation(L" app:x"), AppNavigate::BrowserDecides);
    EXPECT_EQ(ClassifyNavigation(L"http://host/app:x"), AppNavigate::BrowserDecides);
    EXPECT_EQ(ClassifyNavigation(L""), AppNavigate::BrowserDecides);
}

TEST(AppCommand, OnlyLowerCaseJavascriptIsExplicitlyAllowed) {
    EXPECT_EQ(ClassifyNavigation(L"javascript:void(0)"), AppNavigate::Allow);
    EXPECT_EQ(ClassifyNavigation(L"javascript"), AppNavigate::Allow);
    EXPECT_EQ(ClassifyNavigation(L"JavaScript:void(0)"), AppNavigate::BrowserDecides);
    EXPECT_EQ(ClassifyNavigation(L"javascrip"), AppNavigate::BrowserDecides);
}

TEST(AppCommand, VerbIsCharactersSixToThirteen) {
    EXPECT_EQ(AppCommandVerb(L"app://loadgame|a|b"), L"loadgame");
    EXPECT_EQ(AppCommandVerb(L"app://exitgame"), L"exitgame");
    EXPECT_EQ(AppCommandVerb(L"app://minimize"), L"minimize");
    // Characters 4 and 5 are not examined; the verb is compared as it stands.
    EXPECT_EQ(AppCommandVerb(L"app:xxminimize"), L"minimize");
    EXPECT_EQ(AppCommandVerb(L"app://minimizer"), L"minimize");
    EXPECT_EQ(AppCommandVerb(L"app://LoadGame|a|b"), L"LoadGame");
    // Too short for a verb of eight characters.
    EXPECT_EQ(AppCommandVerb(L"app://exit"), L"exit");
    EXPECT_EQ(AppCommandVerb(L"app:x"), L"");
}

TEST(AppCommand, LoadGameSplitsAtIndexFifteenAndTheNextBar) {
    LoadGameArgs a = SplitLoadGame(L"app://loadgame|S3服-《Y》二区-abc|http://g/x?a=1|2");
    EXPECT_EQ(a.login, L"S3服-《Y》二区-abc");
    EXPECT_EQ(a.gameUrl, L"http://g/x?a=1|2");  // later bars belong to the address

    a = SplitLoadGame(L"app://loadgame|abc");  // no second bar
    EXPECT_EQ(a.login, L"");
    EXPECT_EQ(a.gameUrl, L"");

    a = SplitLoadGame(L"app://loadgame|");  // 15 characters
    EXPECT_EQ(a.login, L"");
    EXPECT_EQ(a.gameUrl, L"");

    a = SplitLoadGame(L"app://loadgame||page");  // empty LOGIN
    EXPECT_EQ(a.login, L"");
    EXPECT_EQ(a.gameUrl, L"page");

    a = SplitLoadGame(L"app://loadgame|abc|");  // empty GAMEURL
    EXPECT_EQ(a.login, L"abc");
    EXPECT_EQ(a.gameUrl, L"");

    // The separator at index 14 is not examined.
    a = SplitLoadGame(L"app://loadgameXu|p");
    EXPECT_EQ(a.login, L"u");
    EXPECT_EQ(a.gameUrl, L"p");
}

TEST(ParseLoadGame, ServerMiddleAndAccountMakeTheKey) {
    AccountKey k = Parse(L"S12服-《X》双线一区-user");
    EXPECT_EQ(k.server, L"12");
    EXPECT_EQ(k.middle, L"双线一区");
    EXPECT_EQ(k.account, L"user");
    EXPECT_EQ(k.key, L"12服-双线一区-user");

    k = Parse(L"S3服-《Y》二区-abc");
    EXPECT_EQ(k.key, L"3服-二区-abc");
    EXPECT_EQ(k.server, L"3");
    EXPECT_EQ(k.account, L"abc");

    // Every capital S goes from the server, nothing else does.
    k = Parse(L"SsS9S服-m-a");
    EXPECT_EQ(k.server, L"s9");
    // The account keeps its own dashes.
    k = Parse(L"1服-m-a-b");
    EXPECT_EQ(k.middle, L"m");
    EXPECT_EQ(k.account, L"a-b");
    // A middle without the closing bracket is kept whole.
    k = Parse(L"1服-电信区-u");
    EXPECT_EQ(k.key, L"1服-电信区-u");
}

TEST(ParseLoadGame, WithoutServerMarkTheDashIsSearchedFromTheSecondCharacter) {
    AccountKey k = Parse(L"ab-c");
    EXPECT_EQ(k.server, L"");
    EXPECT_EQ(k.middle, L"b");
    EXPECT_EQ(k.account, L"c");
    EXPECT_EQ(k.key, L"服-b-c");

    k = Parse(L"abc");
    EXPECT_EQ(k.middle, L"");
    EXPECT_EQ(k.account, L"abc");
    EXPECT_EQ(k.key, L"服--abc");

    // A dash at index 0 is not found: the search begins at 1.
    k = Parse(L"-ab");
    EXPECT_EQ(k.middle, L"");
    EXPECT_EQ(k.account, L"-ab");

    k = Parse(L"");
    EXPECT_EQ(k.key, L"服--");
}

TEST(ParseLoadGame, NoDashAfterTheMarkLeavesTheWholeLoginAsAccount) {
    AccountKey k = Parse(L"S5服-");
    EXPECT_EQ(k.server, L"5");
    EXPECT_EQ(k.middle, L"");
    EXPECT_EQ(k.account, L"S5服-");
    k = Parse(L"S5服-abc");
    EXPECT_EQ(k.middle, L"");
    EXPECT_EQ(k.account, L"S5服-abc");
    EXPECT_EQ(k.key, L"5服--S5服-abc");
}

TEST(ParseLoadGame, AtMostFourCharactersFollowTheClosingBracket) {
    EXPECT_EQ(Parse(L"1服-《X》电信-u").middle, L"电信");
    EXPECT_EQ(Parse(L"1服-《X》-u").middle, L"");
    EXPECT_EQ(Parse(L"1服-《X》一二三四五-u").middle, L"一二三四");
    // Only the first bracket counts.
    EXPECT_EQ(Parse(L"1服-》a》bcdef-u").middle, L"a》bc");
}

TEST(ParseLoadGame, PercentEncodedUtf8IsDecoded) {
    // "S12服-《X》双线一区-user" as the page encodes it.
    AccountKey k = Parse(L"S12%E6%9C%8D-%E3%80%8AX%E3%80%8B%E5%8F%8C%E7%BA%BF%E4%B8%80%E5%8C%BA-user");
    EXPECT_EQ(k.key, L"12服-双线一区-user");
    // Lower-case hex digits, and a "%" that starts no escape stays as it is.
    EXPECT_EQ(Parse(L"1%e6%9c%8d-a-b%zz%4").key, L"1服-a-b%zz%4");
    // Invalid UTF-8 becomes replacement characters rather than vanishing.
    EXPECT_EQ(Parse(L"1%FF%E6%9C%8D-a-b").key, L"1\xFFFD服-a-b");
    // "+" is no space in this decoding.
    EXPECT_EQ(Parse(L"a%41+b").account, L"aA+b");
}

TEST(ParseLoadGame, LoginLongerThanTheProtocolAllowsIsRejected) {
    AccountKey k;
    k.key = L"untouched";
    // 255 bytes pass, 256 do not: a cut key could name another account.
    std::wstring at(255, L'a');
    EXPECT_TRUE(ParseLoadGame(L"1服-m-" + std::wstring(249, L'a'), FakeAnsi, k));  // 6 + 249 bytes
    EXPECT_FALSE(ParseLoadGame(L"1服-m-" + std::wstring(250, L'a'), FakeAnsi, k));
    std::wstring encoded;
    for (int i = 0; i < 85; ++i) encoded += L"%41";  // 255 bytes
    ASSERT_TRUE(ParseLoadGame(encoded, FakeAnsi, k));
    EXPECT_EQ(k.account, std::wstring(85, L'A'));
    k.key = L"untouched";
    EXPECT_FALSE(ParseLoadGame(encoded + L"a", FakeAnsi, k));
    EXPECT_EQ(k.key, L"untouched");
    // Two ANSI bytes per Chinese character count against the limit.
    EXPECT_TRUE(ParseLoadGame(L"%" + std::wstring(127, L'服'), FakeAnsi, k));
    EXPECT_FALSE(ParseLoadGame(L"%" + std::wstring(128, L'服'), FakeAnsi, k));
    // Without percent escapes the same limit holds.
    EXPECT_TRUE(ParseLoadGame(at, FakeAnsi, k));
    EXPECT_FALSE(ParseLoadGame(at + L"a", FakeAnsi, k));
    EXPECT_FALSE(ParseLoadGame(std::wstring(128, L'区'), FakeAnsi, k));
}

TEST(PercentDecode, BehavesLikeTheShellsUnescaping) {
    EXPECT_EQ(PercentDecode("%41%62c"), "Abc");
    EXPECT_EQ(PercentDecode("%"), "%");
    EXPECT_EQ(PercentDecode("%4"), "%4");
    EXPECT_EQ(PercentDecode("%4g"), "%4g");
    EXPECT_EQ(PercentDecode("a?%41#%42"), "a?A#B");
    EXPECT_EQ(PercentDecode("%2541"), "%41");  // decoded once only
    EXPECT_EQ(PercentDecode("ab%00cd"), "ab");  // a decoded NUL ends the text
}

TEST(DecodeUtf8, ValidAndInvalidSequences) {
    EXPECT_EQ(DecodeUtf8("a\xE6\x9C\x8D"), L"a服");
    EXPECT_EQ(DecodeUtf8("\xF0\x9F\x98\x80"), L"\xD83D\xDE00");
    EXPECT_EQ(DecodeUtf8("\xC0\xAF"), L"\xFFFD\xFFFD");  // overlong
    EXPECT_EQ(DecodeUtf8("\xE6\x9C"), L"\xFFFD\xFFFD");  // cut short
    EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), L"\xFFFD\xFFFD\xFFFD");  // a lone surrogate
}

} // namespace
