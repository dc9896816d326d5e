// Key names, display texts, the stored form and the rules the settings dialog and the hook
// apply to them.
#include "hotkeys/HotKeyRules.h"
#include "hotkeys/HotKeyStore.h"
#include "hotkeys/KeyNames.h"
#include "common/AppMessages.h"
#include "support/DialogTemplate.h"
#include "support/WineTest.h"

#include <algorithm>

#include <gtest/gtest.h>

using namespace hotkeys;

namespace {

std::wstring Name(int vk) {
    wchar_t buffer[kKeyNameChars];
    std::fill(buffer, buffer + kKeyNameChars, L'#');
    return KeyName(buffer, vk);
}

TEST(KeyNames, NamesEveryKindOfCodeAndNothingOutsideTheTable) {
    EXPECT_EQ(Name(220), L"\\");
    EXPECT_EQ(Name(110), L"Num Del");
    EXPECT_EQ(Name(145), L"Scroll Lock");
    EXPECT_EQ(Name(187), L"+");
    EXPECT_EQ(Name(96), L"Num 0");
    EXPECT_EQ(Name(105), L"Num 9");
    EXPECT_EQ(Name(112), L"F1");
    EXPECT_EQ(Name(123), L"F12");
    EXPECT_EQ(Name('7'), L"7");
    EXPECT_EQ(Name('Q'), L"Q");
    // Codes without a name, and values a settings file may hold that are no key at all.
    for (int vk : {0, 32, 44, 108, 124, 255, 256, 1000, -1, -2147483647 - 1}) EXPECT_EQ(Name(vk), L"") << vk;
    EXPECT_EQ(KeyName(nullptr, 65), nullptr);
}

TEST(KeyNames, FormatsModifiersInFixedOrder) {
    EXPECT_EQ(FormatHotKey(121, 0), L"F10");
    EXPECT_EQ(FormatHotKey(9, 2), L"Ctrl  +  Tab");
    EXPECT_EQ(FormatHotKey(81, 6), L"Ctrl  +  Shift  +  Q");
    EXPECT_EQ(FormatHotKey(123, 1), L"Alt  +  F12");
    EXPECT_EQ(FormatHotKey(0, 7), L"无");
    EXPECT_EQ(FormatHotKey(32, 2), L"Ctrl  +  ");
    // The longest text: 38 characters.
    EXPECT_EQ(FormatHotKey(145, 7), L"Ctrl  +  Shift  +  Alt  +  Scroll Lock");
    EXPECT_EQ(FormatHotKey(-5, 2), L"Ctrl  +  ");
}

TEST(KeyNames, AcceptsExactlyTheMainKeys) {
    int accepted = 0;
    for (int vk = -1; vk <= 256; ++vk) accepted += IsHotKeyMainKey(vk) ? 1 : 0;
    // 1 + 8 + 1 + 10 + 26 + 12 + 3 + 11 + 1 + 7 + 4
    EXPECT_EQ(accepted, 84);
    for (int vk : {9, 13, 16, 17, 18, 19, 27, 32, 44, 46, 108, 123, 145}) EXPECT_FALSE(IsHotKeyMainKey(vk)) << vk;
    for (int vk : {20, 33, 40, 45, 107, 109, 122, 144, 186, 192, 219, 222}) EXPECT_TRUE(IsHotKeyMainKey(vk)) << vk;
}

TEST(HotKeyRules, StoredFormAndMatchRule) {
    EXPECT_EQ(ParseHotKeyText(L"6,81"), (HotKey{6, 81}));
    EXPECT_EQ(ParseHotKeyText(L"3"), (HotKey{3, 0}));
    EXPECT_EQ(ParseHotKeyText(L" -2,12x,5"), (HotKey{-2, 12}));
    EXPECT_EQ(ParseHotKeyText(L""), (HotKey{0, 0}));
    EXPECT_EQ(StoredHotKeyText(HotKey{0, 0}), L"0,0");
    EXPECT_EQ(ModifierBits(true, true, false), 6);
    EXPECT_EQ(ModifierBits(false, false, true), 1);
    EXPECT_TRUE(HotKeyMatches(HotKey{2, 81}, 81, 2));
    EXPECT_FALSE(HotKeyMatches(HotKey{2, 81}, 81, 6)) << "Ctrl+Shift+Q is not Ctrl+Q";
    EXPECT_FALSE(HotKeyMatches(HotKey{2, 0}, 0, 2)) << "a switched-off key never matches";
}

TEST(HotKeyRules, SettingsTextsConflictsAndUnfinishedEntries) {
    EXPECT_TRUE(HotKeyTextsConflict(L"Ctrl  +  Q", L"F10", L"Ctrl  +  Q"));
    EXPECT_TRUE(HotKeyTextsConflict(L"无", L"无", L"F10"));
    EXPECT_FALSE(HotKeyTextsConflict(L"F10", L"Ctrl  +  Tab", L"Ctrl  +  q"));
    EXPECT_TRUE(IsUnfinishedHotKeyText(L"Ctrl  +  "));
    EXPECT_TRUE(IsUnfinishedHotKeyText(L""));
    EXPECT_EQ(HotKeyFromText(L"Ctrl  +  Shift  +  Q", 81), (HotKey{6, 81}));
    EXPECT_EQ(HotKeyFromText(L"无", 121), (HotKey{0, 0}));

    int accepted = 121;
    EXPECT_EQ(CaptureText(HotKeyKind::Sound, 81, true, true, false, accepted), L"Ctrl  +  Shift  +  Q");
    EXPECT_EQ(accepted, 81);
    EXPECT_EQ(CaptureText(HotKeyKind::Boss, 8, true, false, false, accepted), L"无");
    EXPECT_EQ(accepted, 81) << "a clearing key leaves the remembered key";
    EXPECT_EQ(CaptureText(HotKeyKind::Switch, 9, false, false, false, accepted), L"Tab");
    EXPECT_EQ(CaptureText(HotKeyKind::Boss, 9, false, false, false, accepted), L"");
    EXPECT_EQ(CaptureText(HotKeyKind::Switch, 123, false, false, false, accepted), L"");
    EXPECT_EQ(CaptureText(HotKeyKind::Sound, 123, false, false, false, accepted), L"无");
    EXPECT_EQ(CaptureText(HotKeyKind::Boss, 17, true, false, false, accepted), L"Ctrl  +  ");
}

TEST(HotKeyRules, OnePressPerKeyUntilReleased) {
    PressLatch latch;
    EXPECT_TRUE(latch.KeyDown(121));
    EXPECT_FALSE(latch.KeyDown(121)) << "auto-repeat";
    EXPECT_TRUE(latch.KeyDown(81)) << "another key is its own press";
    latch.KeyUp(121);
    EXPECT_TRUE(latch.KeyDown(121));
}

TEST(HotKeyStore, ReadsDefaultsAndWhatWasWritten) {
    testing_support::TempFolder dir(L"hotkeys");
    SetHotKeyIniPathForTests(dir.File(L"Statistic.ini"));
    EXPECT_EQ(ReadHotKey(HotKeyKind::Boss), (HotKey{0, 121}));
    EXPECT_EQ(ReadHotKey(HotKeyKind::Switch), (HotKey{2, 9}));
    EXPECT_EQ(ReadHotKey(HotKeyKind::Sound), (HotKey{2, 81}));
    WriteHotKey(HotKeyKind::Sound, HotKey{6, 81});
    WritePrivateProfileStringW(L"Velkor", L"ShortKey", L"3", dir.File(L"Statistic.ini").c_str());
    wchar_t raw[32] = {};
    GetPrivateProfileStringW(L"Velkor", L"SndKey", L"", raw, 32, dir.File(L"Statistic.ini").c_str());
    EXPECT_STREQ(raw, L"6,81");
    EXPECT_EQ(ReadHotKey(HotKeyKind::Boss), (HotKey{3, 0}));
    SetHotKeyIniPathForTests(L"");
}

// Dialogs of the program that are no main window: same class, same caption.
HWND MakeDialog(bool withSystemButton) {
    testing_support::DialogTemplate t(kAppCaption, 50, 20, WS_POPUP);
    if (withSystemButton) t.Add(L"BUTTON", L"", 1003, 0, 0, 10, 10);
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr,
                                      [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
}

TEST(HotKeyStore, ReloadReachesEveryMainWindowPastOtherDialogsOfTheProgram) {
    // A main window below a dozen login backgrounds and message boxes in the Z order.
    HWND main = MakeDialog(true);
    ASSERT_NE(main, nullptr);
    std::vector<HWND> others;
    for (int i = 0; i < 12; ++i) others.push_back(MakeDialog(false));
    HWND second = MakeDialog(true);
    const std::vector<HWND> found = FindMainWindows();
    EXPECT_EQ(std::count(found.begin(), found.end(), main), 1);
    EXPECT_EQ(std::count(found.begin(), found.end(), second), 1);
    for (HWND other : others) EXPECT_EQ(std::count(found.begin(), found.end(), other), 0);

    BroadcastHotKeyReload();
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, main, UM_RELOAD_HOTKEYS, UM_RELOAD_HOTKEYS, PM_REMOVE));
    EXPECT_TRUE(PeekMessageW(&msg, second, UM_RELOAD_HOTKEYS, UM_RELOAD_HOTKEYS, PM_REMOVE));
    EXPECT_FALSE(PeekMessageW(&msg, others[0], UM_RELOAD_HOTKEYS, UM_RELOAD_HOTKEYS, PM_REMOVE));
    for (HWND other : others) DestroyWindow(other);
    DestroyWindow(main);
    DestroyWindow(second);
}

} // namespace
