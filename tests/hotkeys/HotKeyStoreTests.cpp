// Who hears of a change of the hot keys: every main window of the program, and nothing else.
#include "common/AppMessages.h"
#include "hotkeys/HotKeyStore.h"
#include "support/DialogTemplate.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace hotkeys;

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

} // namespace
