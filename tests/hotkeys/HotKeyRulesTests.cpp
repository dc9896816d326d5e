// Key names, display texts, the stored form and the match rule (no window: also run natively).
#include "hotkeys/HotKeyRules.h"
#include "hotkeys/KeyNames.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace hotkeys;

namespace {

std::wstring Name(int vk) {
    wchar_t buffer[kKeyNameChars];
    std::fill(buffer, buffer + kKeyNameChars, L'#');
    return KeyName(buffer, vk);
}

TEST(KeyNames, NamesAndDisplayTexts) {
    const std::pair<int, const wchar_t*> named[] = {{220, L"\\"}, {110, L"Num Del"}, {145, L"Scroll Lock"}, {187, L"+"},
                                                    {96, L"Num 0"}, {105, L"Num 9"}, {112, L"F1"}, {123, L"F12"},
                                                    {'7', L"7"}, {'Q', L"Q"}};
    for (const auto& [vk, name] : named) EXPECT_EQ(Name(vk), name) << vk;
    // Codes without a name, and values a settings file may hold that are no key at all.
    for (int vk : {0, 32, 44, 108, 124, 255, 256, 321, -1, -2147483647 - 1}) EXPECT_EQ(Name(vk), L"") << vk;
    EXPECT_EQ(KeyName(nullptr, 65), nullptr);

    EXPECT_EQ(FormatHotKey(121, 0), L"F10");
    EXPECT_EQ(FormatHotKey(9, 2), L"Ctrl  +  Tab");
    EXPECT_EQ(FormatHotKey(123, 1), L"Alt  +  F12");
    EXPECT_EQ(FormatHotKey(0, 7), L"无");
    EXPECT_EQ(FormatHotKey(32, 2), L"Ctrl  +  ");
    EXPECT_EQ(FormatHotKey(145, 7), L"Ctrl  +  Shift  +  Alt  +  Scroll Lock") << "38 characters, none lost";
}

TEST(KeyNames, AcceptsExactlyTheMainKeys) {
    int accepted = 0;
    for (int vk = -1; vk <= 256; ++vk) accepted += IsHotKeyMainKey(vk) ? 1 : 0;
    EXPECT_EQ(accepted, 1 + 8 + 1 + 10 + 26 + 12 + 3 + 11 + 1 + 7 + 4);
    for (int vk : {9, 13, 16, 17, 18, 19, 27, 32, 44, 46, 108, 123, 145}) EXPECT_FALSE(IsHotKeyMainKey(vk)) << vk;
}

TEST(HotKeyRules, StoredFormAndMatchRule) {
    EXPECT_EQ(ParseHotKeyText(L"3"), (HotKey{3, 0}));
    EXPECT_EQ(ParseHotKeyText(L" -2,12x,5"), (HotKey{-2, 12}));
    EXPECT_EQ(ParseHotKeyText(L""), (HotKey{0, 0}));
    EXPECT_TRUE(HotKeyMatches(HotKey{2, 81}, 81, ModifierBits(true, false, false)));
    EXPECT_FALSE(HotKeyMatches(HotKey{2, 81}, 81, ModifierBits(true, true, false))) << "Ctrl+Shift+Q is not Ctrl+Q";
    EXPECT_FALSE(HotKeyMatches(HotKey{2, 0}, 0, 2)) << "a switched-off key never matches";
}

} // namespace
