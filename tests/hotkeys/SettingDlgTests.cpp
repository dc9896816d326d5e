// The hot-key settings dialog for real: keys pressed in its boxes (with the modifier state
// set on the thread), OK and its conflict check, what lands in the INI file.
#include "hotkeys/HotKeyStore.h"
#include "hotkeys/SettingDlg.h"
#include "common/AppMessages.h"
#include "support/DialogTemplate.h"
#include "support/MessagePump.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class TestSettingDlg : public CSettingDlg {
public:
    std::vector<std::wstring> told;

protected:
    void TellPlayer(const std::wstring& text) override { told.push_back(text); }
};

class SettingDialog : public ::testing::Test {
protected:
    void SetUp() override {
        hotkeys::SetHotKeyIniPathForTests(m_ini);
        ASSERT_TRUE(m_dlg.CreateModeless());
    }
    void TearDown() override {
        Modifiers(false, false);
        if (m_dlg.Handle()) DestroyWindow(m_dlg.Handle());
        hotkeys::SetHotKeyIniPathForTests(L"");
    }
    static void Modifiers(bool ctrl, bool shift) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_MENU] = 0;
        SetKeyboardState(state);
    }
    HWND Box(int id) const { return GetDlgItem(m_dlg.Handle(), id); }
    std::wstring Text(int id) const {
        wchar_t text[64] = {};
        GetWindowTextW(Box(id), text, 64);
        return text;
    }
    void Press(int id, WPARAM vk, bool ctrl = false, bool shift = false) {
        SetFocus(Box(id));
        Modifiers(ctrl, shift);
        PostMessageW(Box(id), WM_KEYDOWN, vk, 1);
        PumpFor(50);
        Modifiers(false, false);
    }
    std::wstring Stored(const wchar_t* key) {
        wchar_t text[32] = {};
        GetPrivateProfileStringW(L"Velkor", key, L"<absent>", text, 32, m_ini.c_str());
        return text;
    }

    TempFolder m_dir{L"setting"};
    std::wstring m_ini = m_dir.File(L"Statistic.ini");
    TestSettingDlg m_dlg;
};

TEST_F(SettingDialog, CapturesKeysAndStoresOnlyFinishedEntries) {
    EXPECT_EQ(Text(1007), L"F10");
    EXPECT_EQ(Text(1010), L"Ctrl  +  Tab");
    EXPECT_EQ(Text(1014), L"Ctrl  +  Q");

    Press(1014, 'Q', true, true);
    EXPECT_EQ(Text(1014), L"Ctrl  +  Shift  +  Q");
    Press(1007, VK_TAB);
    EXPECT_EQ(Text(1007), L"") << "Tab is no boss key";
    EXPECT_EQ(GetFocus(), Box(1007));
    Press(1007, VK_BACK);
    EXPECT_EQ(Text(1007), L"无");
    Press(1010, VK_CONTROL, true);
    EXPECT_EQ(Text(1010), L"Ctrl  +  ");
    Press(1010, VK_RETURN);
    Press(1010, VK_ESCAPE);
    ASSERT_TRUE(IsWindow(m_dlg.Handle())) << "Enter and Esc do not close";
    EXPECT_EQ(Text(1010), L"Ctrl  +  ");

    // A main window of the program hears of the change.
    DialogTemplate t(kAppCaption, 50, 20, WS_POPUP);
    t.Add(L"BUTTON", L"", 1003, 0, 0, 10, 10);
    HWND main = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr,
                                           PlainDialogProc, 0);
    SendMessageW(m_dlg.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(m_dlg.Handle()));
    EXPECT_EQ(Stored(L"SndKey"), L"6,81");
    EXPECT_EQ(Stored(L"ShortKey"), L"0,0");
    EXPECT_EQ(Stored(L"AltWndKey"), L"<absent>") << "an unfinished entry is not stored";
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, main, UM_RELOAD_HOTKEYS, UM_RELOAD_HOTKEYS, PM_REMOVE));
    DestroyWindow(main);
}

TEST_F(SettingDialog, EqualTextsAreRefusedAndNothingIsWritten) {
    Press(1007, 'Q', true);
    EXPECT_EQ(Text(1007), L"Ctrl  +  Q");
    Press(1010, VK_F12);
    EXPECT_EQ(Text(1010), L"") << "F12 is refused in the switch box";
    Press(1014, VK_F12);
    EXPECT_EQ(Text(1014), L"无") << "and clears the sound box";
    SendMessageW(m_dlg.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(m_dlg.told.empty()) << "three different texts";
    EXPECT_EQ(Stored(L"ShortKey"), L"2,81");
    EXPECT_EQ(Stored(L"SndKey"), L"0,0");

    // Both cleared: "无" twice is a conflict too.
    ASSERT_TRUE(m_dlg.CreateModeless());
    EXPECT_EQ(Text(1014), L"无");
    Press(1007, VK_DELETE);
    SendMessageW(m_dlg.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(m_dlg.told, (std::vector<std::wstring>{L"热键冲突，请重新设置不同热键值"}));
    EXPECT_TRUE(IsWindow(m_dlg.Handle()));
    EXPECT_EQ(Stored(L"ShortKey"), L"2,81");
}

} // namespace
