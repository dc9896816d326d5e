// The main window's menus, tray icon, sound switch and run-time hot keys, driven for real
// under Wine with page stubs as its tabs and real key events through the system's input.
#include "common/AppMessages.h"
#include "gamewnd/QuillonDlg.h"
#include "hotkeys/HotKeyStore.h"
#include "support/MainWindowFixture.h"
#include "support/MessagePump.h"
#include "support/ModalRun.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <shellapi.h>
#include <deque>
#include <functional>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

class MenuDlg : public CQuillonDlg {
public:
    using CQuillonDlg::CQuillonDlg;
    std::vector<std::wstring> asked;
    std::deque<UINT> choices;               // what the player picks in each menu (0: none)
    std::vector<std::wstring> menus;        // each menu shown: "id text|" per item, "-|" a separator
    std::vector<MSG> toPages;
    int updatesStarted = 0;

    std::vector<UINT> MutesSent() const {
        std::vector<UINT> values;
        for (const MSG& m : toPages)
            if (m.message == UM_SET_MUTE) values.push_back(static_cast<UINT>(m.wParam));
        return values;
    }

protected:
    int AskPlayer(MsgBoxKind, const std::wstring& text) override {
        asked.push_back(text);
        return IDOK;
    }
    UINT TrackMenu(HMENU menu, UINT, POINT) override {
        std::wstring items;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[128] = {};
            MENUITEMINFOW info = {sizeof(info), MIIM_ID | MIIM_FTYPE | MIIM_STRING};
            info.dwTypeData = text;
            info.cch = 128;
            GetMenuItemInfoW(menu, i, TRUE, &info);
            items += info.fType & MFT_SEPARATOR ? L"-|" : std::to_wstring(static_cast<int>(info.wID)) + L" " + text + L"|";
        }
        menus.push_back(items);
        const UINT choice = choices.empty() ? 0 : choices.front();
        if (!choices.empty()) choices.pop_front();
        return choice;
    }
    void PostToPage(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) override {
        toPages.push_back(MSG{page, msg, wParam, lParam});
        CQuillonDlg::PostToPage(page, msg, wParam, lParam);
    }
    bool StartUpdateProgram() override {
        ++updatesStarted;
        return true;
    }
};

void Key(WORD vk, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

void Press(std::initializer_list<WORD> keys) {
    for (WORD vk : keys) Key(vk, false);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) Key(*it, true);
}

// Waits until the window has handled every key event sent so far. F24, which nothing here
// uses, goes through the system's input behind them; a keyboard hook of the test's own sees
// it only after the window's hook has seen (and posted its news of) the earlier events, and
// posts its own note behind that news on the same thread's queue.
bool g_noteSeen = false;
HWND g_noteWindow = nullptr;
LRESULT CALLBACK NoteProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_APP) g_noteSeen = true;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
LRESULT CALLBACK NoteHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == WM_KEYUP && reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode == VK_F24)
        PostMessageW(g_noteWindow, WM_APP, 0, 0);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
bool KeysHandled() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = NoteProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VelkorTestKeyNote";
    RegisterClassW(&wc);  // already there after the first call
    g_noteWindow = CreateWindowExW(0, wc.lpszClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, NoteHook, GetModuleHandleW(nullptr), 0);
    g_noteSeen = false;
    Press({VK_F24});
    const bool seen = PumpUntil([] { return g_noteSeen; }, 20000);
    UnhookWindowsHookEx(hook);
    DestroyWindow(g_noteWindow);
    return seen;
}

class MainWindowMenus : public MainWindowFixture<MenuDlg> {
protected:
    void SetKey(const wchar_t* iniKey, const wchar_t* value) {
        WritePrivateProfileStringW(L"Velkor", iniKey, value, m_dir.File(L"Statistic.ini").c_str());
    }
    void Open(bool idle = false) {
        SetEnvironmentVariableW(L"VELKOR_STUB_IDLE", idle ? L"1" : nullptr);
        OpenWindow();
    }
};

TEST_F(MainWindowMenus, BothMenusListTheirItemsAndRunTheirCommands) {
    Open();
    WaitForTabs(1);
    const std::wstring common = L"1 刷新 (F5)|2 隐藏/恢复(F10)|3 清除缓存|-|4 更新|5 设置...|";
    // "刷新 (F5)": a marked F5 that the window's key filter hands to the current page.
    m_dlg.choices = {1};
    SendMessageW(m_dlg.Handle(), WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED), 0);
    ASSERT_EQ(m_dlg.menus, (std::vector<std::wstring>{common + L"-1 版本号: 3.0.0.1|"}));
    auto f5 = [&] {
        for (const MSG& m : m_dlg.toPages)
            if (m.message == WM_KEYDOWN) return m;
        return MSG{};
    };
    ASSERT_TRUE(PumpUntil([&] { return f5().message == WM_KEYDOWN; }));
    EXPECT_EQ(f5().hwnd, m_dlg.TabWnds()[0]);
    EXPECT_EQ(f5().wParam, static_cast<WPARAM>(VK_F5));
    EXPECT_EQ(f5().lParam, kSelfPostMarker);

    // The boss key's own text; the version item does nothing; the cache message.
    SetKey(L"ShortKey", L"6,81");
    m_dlg.choices = {0xFFFFFFFFu, 3};
    SendMessageW(m_dlg.Handle(), WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED), 0);
    EXPECT_NE(m_dlg.menus.back().find(L"|2 隐藏/恢复(Ctrl  +  Shift  +  Q)|"), std::wstring::npos);
    EXPECT_TRUE(m_dlg.asked.empty());
    SendMessageW(m_dlg.Handle(), WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED), 0);
    EXPECT_EQ(m_dlg.asked, (std::vector<std::wstring>{L"缓存清除完毕！"}));

    // A right click on the tray icon: the tray menu, whose "退出" ends without a question.
    SetKey(L"ShortKey", nullptr);
    m_dlg.choices = {6};
    SendMessageW(m_dlg.Handle(), UM_TRAY_NOTIFY, 1, WM_RBUTTONUP);
    ASSERT_TRUE(PumpUntil([&] { return TakeQuit(); }));
    EXPECT_EQ(m_dlg.menus.back(), common + L"6 退出|");
    EXPECT_EQ(m_dlg.asked.size(), 1u);
}

TEST_F(MainWindowMenus, TrayIconComesBackWhenTheShellRestarts) {
    Open();
    WaitForTabs(1);
    ASSERT_TRUE(m_dlg.TrayIconAdded());
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = m_dlg.Handle();
    data.uID = 1;
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &data)) << "the icon is there";

    // The shell restarts: its icons are gone until their windows add them again.
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &data));
    SendMessageW(m_dlg.Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &data)) << "added again";
}

TEST_F(MainWindowMenus, BossKeyTogglesOncePerPressAndOnlyWithATab) {
    Open(true);  // a login still open: no tab yet
    Press({VK_F10});
    ASSERT_TRUE(KeysHandled());
    EXPECT_TRUE(Visible()) << "no tab, no boss key";

    SetEnvironmentVariableW(L"VELKOR_STUB_IDLE", nullptr);
    AddTab();
    // Held down: the key repeats (an even number of key-downs), the window hides once.
    for (int i = 0; i < 4; ++i) Key(VK_F10, false);
    Key(VK_F10, true);
    ASSERT_TRUE(KeysHandled());
    EXPECT_FALSE(Visible()) << "one toggle for the whole press";
    Press({VK_F10});
    EXPECT_TRUE(PumpUntil([&] { return Visible(); }));
}

TEST_F(MainWindowMenus, SoundKeyAndButtonOnlyFlipTheFlagTheTimerSends) {
    Open();
    WaitForTabs(1);
    Press({VK_CONTROL, 'Q'});
    ASSERT_TRUE(PumpUntil([&] { return m_dlg.IsMuted(); }));
    ASSERT_TRUE(PumpUntil([&] { return !m_dlg.MutesSent().empty() && m_dlg.MutesSent().back() == 1; }));

    // Twice within one tick: the pages see no change.
    const size_t before = m_dlg.MutesSent().size();
    SendMessageW(m_dlg.Handle(), WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED), 0);
    SendMessageW(m_dlg.Handle(), WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED), 0);
    PumpFor(1000);
    const std::vector<UINT> sent = m_dlg.MutesSent();
    ASSERT_GT(sent.size(), before);
    for (size_t i = before; i < sent.size(); ++i) EXPECT_EQ(sent[i], 1u);
}

TEST_F(MainWindowMenus, SwitchKeyCyclesTabsAndEscDoesNotClose) {
    SetKey(L"AltWndKey", L"0,114");  // F3
    Open();
    WaitForTabs(1);
    AddTab();
    AddTab();
    std::vector<int> seen = {m_dlg.CurrentTab()};
    for (int i = 0; i < 3; ++i) {
        PostMessageW(m_dlg.Handle(), WM_KEYDOWN, VK_F3, 1);
        PumpFor(100);
        seen.push_back(m_dlg.CurrentTab());
    }
    EXPECT_EQ(seen, (std::vector<int>{2, 0, 1, 2}));
    PostMessageW(m_dlg.Handle(), WM_KEYDOWN, VK_F3, kSelfPostMarker);
    PostMessageW(m_dlg.Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
    PumpFor(200);
    EXPECT_EQ(m_dlg.CurrentTab(), 2) << "a marked key is no hot key";
    EXPECT_TRUE(m_dlg.asked.empty()) << "Esc asks nothing";

    // A reload takes a new key and passes the news on to every page.
    SetKey(L"AltWndKey", L"0,115");
    m_dlg.toPages.clear();
    PostMessageW(m_dlg.Handle(), UM_RELOAD_HOTKEYS, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return m_dlg.SwitchKey() == (hotkeys::HotKey{0, 115}); }));
    int reloads = 0;
    for (const MSG& m : m_dlg.toPages) reloads += m.message == UM_PAGE_RELOAD_HOTKEYS ? 1 : 0;
    EXPECT_EQ(reloads, 3);
}

TEST_F(MainWindowMenus, SettingsDialogMutesTheHotKeysAndHidingClosesItUnsaved) {
    Open();
    WaitForTabs(1);
    m_dlg.choices = {5};
    bool visibleAfterBossKey = false, dialogSeen = false, keysHandled = false;
    auto duringModal = [&](int tick) {
        HWND settings = FindWindowW(L"#32770", L"设置");
        dialogSeen = settings && IsWindowVisible(settings);
        if (!dialogSeen) {
            if (tick < 400) return false;  // 20 s
            if (settings) PostMessageW(settings, WM_CLOSE, 0, 0);  // the test fails rather than hangs
            return true;
        }
        // The boss key pressed into the open dialog does not hide the window behind it.
        Press({VK_F10});
        keysHandled = KeysHandled();
        visibleAfterBossKey = Visible();
        SendMessageW(m_dlg.Handle(), UM_TRAY_NOTIFY, 1, WM_LBUTTONUP);
        return true;
    };
    WhileModal([&] { return SendMessageW(m_dlg.Handle(), WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED), 0); }, duringModal);
    EXPECT_TRUE(dialogSeen);
    ASSERT_TRUE(keysHandled);
    EXPECT_TRUE(visibleAfterBossKey);
    EXPECT_FALSE(Visible()) << "the tray click hid the window and closed the dialog";
    wchar_t text[32] = {};
    GetPrivateProfileStringW(L"Velkor", L"ShortKey", L"<absent>", text, 32, m_dir.File(L"Statistic.ini").c_str());
    EXPECT_STREQ(text, L"<absent>");
}

TEST_F(MainWindowMenus, UpdateChecksOffTheWindowThreadThenSaysSoOrStartsTheUpdate) {
    MachineStateGuard guard;
    ASSERT_TRUE(StandIn::Running() && StandIn::Reset());
    auto serve = [](const std::string& key, const std::wstring& extra) {
        return StandIn::Rule(L"/update/ConfigVelkor.htm",
                             extra + L"body=" + StandIn::Encode("[VerKey]\r\nVelkor=" + key));
    };
    Open();
    WaitForTabs(1);
    ASSERT_TRUE(serve(OwnVersionKey(), L"delay=15000&"));
    m_dlg.choices = {4};
    // The server takes its time; the window and the boss key do not wait for it: the window
    // hides while the server still holds its answer back (an order, not a time).
    PostMessageW(m_dlg.Handle(), WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED), 0);
    ASSERT_TRUE(PumpUntil([&] { return !StandIn::RequestsFor("/update/ConfigVelkor.htm").empty(); }, 20000))
        << "the check asked nothing";
    Press({VK_F10});
    ASSERT_TRUE(PumpUntil([&] { return !Visible(); }, 20000));
    const std::vector<RecordedRequest> pending = StandIn::RequestsFor("/update/ConfigVelkor.htm");
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_FALSE(pending[0].answered) << "the window waited for the server's answer before it hid";
    EXPECT_TRUE(m_dlg.asked.empty());
    ASSERT_TRUE(PumpUntil([&] { return !m_dlg.asked.empty(); }, 40000));
    EXPECT_EQ(m_dlg.asked, (std::vector<std::wstring>{L"已经是最新版本，无需进行更新。"}));
    EXPECT_EQ(m_dlg.updatesStarted, 0);

    // A different version: the update process starts and the program ends.
    ASSERT_TRUE(serve("00000000000000000000000000000000", L""));
    m_dlg.choices = {4};
    SendMessageW(m_dlg.Handle(), UM_TRAY_NOTIFY, 1, WM_RBUTTONUP);
    ASSERT_TRUE(PumpUntil([&] { return TakeQuit(); }, 30000));
    EXPECT_EQ(m_dlg.updatesStarted, 1);
    EXPECT_EQ(m_dlg.asked.size(), 1u);
}

} // namespace
