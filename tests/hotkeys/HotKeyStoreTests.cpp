// Who hears of a change of the hot keys: every main window of the program, and nothing else;
// and which file the installed program reads them from.
#include "common/AppMessages.h"
#include "hotkeys/HotKeyStore.h"
#include "settings/SettingsStore.h"
#include "support/DialogTemplate.h"
#include "support/MessagePump.h"
#include "support/Processes.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace hotkeys;
using namespace testing_support;

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

HWND MakeDialog(bool withSystemButton) {
    testing_support::DialogTemplate t(kAppCaption, 50, 20, WS_POPUP);
    if (withSystemButton) t.Add(L"BUTTON", L"", 1003, 0, 0, 10, 10);
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr,
                                      PlainDialogProc, 0);
}

TEST(HotKeyStore, ReloadReachesEveryMainWindowPastOtherDialogsOfTheProgram) {
    // Main windows below a dozen login backgrounds and message boxes in the Z order.
    HWND main = MakeDialog(true);
    std::vector<HWND> others;
    for (int i = 0; i < 12; ++i) others.push_back(MakeDialog(false));
    HWND second = MakeDialog(true);
    const std::vector<HWND> found = FindMainWindows();
    EXPECT_EQ(std::count(found.begin(), found.end(), main), 1);
    EXPECT_EQ(std::count(found.begin(), found.end(), second), 1);
    for (HWND other : others) EXPECT_EQ(std::count(found.begin(), found.end(), other), 0);
    for (HWND other : others) DestroyWindow(other);
    DestroyWindow(main);
    DestroyWindow(second);
}

void Press(WORD vk) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = vk;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

class InstalledHotKeys : public StandInTest {};

// The installed program runs from the data folder, where its Statistic.ini also keeps the
// counters and the notice: a boss key written there (F9, no key's default) hides its window.
TEST_F(InstalledHotKeys, TheInstalledProgramTakesItsKeysFromTheDataFolder) {
    MachineStateGuard guard;
    guard.Clear();
    ASSERT_TRUE(EnsureDataFolder());
    ASSERT_TRUE(WriteUpdTime());  // today is the day of the last update: no update check
    ASSERT_TRUE(StandIn::Rule(L"/notice/velkor.txt", L"status=404"));
    const std::wstring ini = DataFolderPath() + L"\\Statistic.ini";
    ASSERT_TRUE(WritePrivateProfileStringW(L"Velkor", L"ShortKey", L"0,120", ini.c_str()));
    const std::wstring installed = CopyProgramIntoDataFolder();
    ASSERT_FALSE(installed.empty());
    ChildProcess program(installed, L"", DataFolderPath());
    const HWND window = program.FindWindowTitled(kAppCaption, 60000);
    ASSERT_TRUE(window) << "the installed program showed no main window";
    // Its own page cannot log in here (no HTML engine): a page stub plays its first tab, as
    // the boss key acts only on a window with a tab.
    ChildProcess tab(BuiltPageStubPath(),
                     L"/newgm /" + std::to_wstring(static_cast<int>(reinterpret_cast<INT_PTR>(window))) + L" /0", L"");
    ASSERT_TRUE(tab.Started());
    ASSERT_TRUE(PumpUntil([&] { return FindWindowExW(window, nullptr, L"VelkorPageStubFrame", nullptr) != nullptr; },
                          60000))
        << "the tab never attached";
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(window) != FALSE; }, 30000));
    Press(VK_F9);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(window); }, 30000)) << "F9 did not hide the window";
    Press(VK_F9);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(window) != FALSE; }, 30000)) << "F9 did not bring it back";
    EndProcessesUnder(DataFolderPath());
}

} // namespace
