// The main window's menus, tray icon, sound switch and run-time hot keys, driven for real
// under Wine with page stubs as its tabs and real key events through the system's input.
#include "common/AppMessages.h"
#include "framework/ProgramStart.h"
#include "gamewnd/QuillonDlg.h"
#include "gamewnd/TrayIcon.h"
#include "hotkeys/HotKeyStore.h"
#include "skin/SkinImage.h"
#include "support/HostState.h"
#include "support/MainWindowFixture.h"
#include "support/MessagePump.h"
#include "support/ModalRun.h"
#include "support/StandIn.h"
#include "support/WineTest.h"
#include "support/WindowPixels.h"
#include "resource.h"

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
    std::vector<std::pair<UINT, POINT>> placed;  // each menu's flags and point
    std::vector<MSG> toPages;
    int updatesStarted = 0;
    bool updateStarts = true;  // whether the update process can be started

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
    UINT TrackMenu(HMENU menu, UINT flags, POINT at) override {
        placed.emplace_back(flags, at);
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
        if (!updateStarts) return false;
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

// Another application's window in front, with the keyboard focus: counts the F10 presses it gets.
int g_frontF10 = 0;
LRESULT CALLBACK FrontProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if ((msg == WM_SYSKEYDOWN || msg == WM_KEYDOWN) && wParam == VK_F10) ++g_frontF10;
    if (msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP) return 0;  // no menu mode
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
HWND OpenFrontWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = FrontProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VelkorTestFrontApp";
    RegisterClassW(&wc);  // already there after the first call
    HWND front = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"front", WS_POPUP | WS_VISIBLE, 600, 400, 200, 100,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(front);
    SetFocus(front);
    g_frontF10 = 0;
    return front;
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
    // At the left edge of "系统", 2 pixels below it, answering the command chosen.
    RECT system = {};
    GetWindowRect(GetDlgItem(m_dlg.Handle(), 1003), &system);
    ASSERT_EQ(m_dlg.placed.size(), 1u);
    EXPECT_EQ(m_dlg.placed[0].first, static_cast<UINT>(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD));
    EXPECT_EQ(m_dlg.placed[0].second.x, system.left);
    EXPECT_EQ(m_dlg.placed[0].second.y, system.bottom + 2);

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
    PointerScope pointer;
    SetCursorPos(321, 234);
    SendMessageW(m_dlg.Handle(), UM_TRAY_NOTIFY, 1, WM_RBUTTONUP);
    ASSERT_TRUE(PumpUntil([&] { return TakeQuit(); }));
    EXPECT_EQ(m_dlg.menus.back(), common + L"6 退出|");
    // Its right and bottom edges at the cursor.
    EXPECT_EQ(m_dlg.placed.back().first, static_cast<UINT>(TPM_RIGHTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD));
    EXPECT_EQ(m_dlg.placed.back().second.x, 321);
    EXPECT_EQ(m_dlg.placed.back().second.y, 234);
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

    // The shell restarts: its icons are gone until their windows add them again. The news
    // comes from the shell's process, not the program's.
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &data));
    SetEnvironmentVariableW(L"VELKOR_STUB_POST", L"TaskbarCreated");
    fw::UniqueHandle shell;
    const std::wstring args = L"/newgm /" + std::to_wstring(static_cast<int>(reinterpret_cast<INT_PTR>(m_dlg.Handle()))) + L" /0";
    const bool started = fw::StartProgram(BuiltPageStubPath().c_str(), args.c_str(), &shell);
    SetEnvironmentVariableW(L"VELKOR_STUB_POST", nullptr);
    ASSERT_TRUE(started);
    ASSERT_EQ(WaitForSingleObject(shell.Get(), 20000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(shell.Get(), &code);
    ASSERT_EQ(code, 0u) << "the other process could not post";
    EXPECT_TRUE(PumpUntil([&] { return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE; })) << "added again";
}

// The filter calls as the system makes them, recorded.
struct FilterCall {
    int which = 0;  // 1 for the window's call, 2 for the process's, 0 none
    HWND window = nullptr;
    UINT message = 0;
    DWORD action = 0;
    void* extra = reinterpret_cast<void*>(1);
};
FilterCall g_filterCall;
BOOL WINAPI FilterForWindow(HWND window, UINT message, DWORD action, void* extra) {
    g_filterCall = FilterCall{1, window, message, action, extra};
    return TRUE;
}
BOOL WINAPI FilterForProcess(UINT message, DWORD action) {
    g_filterCall = FilterCall{2, nullptr, message, action, nullptr};
    return TRUE;
}

TEST(TrayMessageFilter, LetsTheShellsMessageThroughWithTheCallTheSystemHas) {
    // Wine filters no messages between integrity levels: what an elevated window on Windows
    // needs is checked at the calls themselves.
    HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    const tray::MessageFilterCalls both{FilterForWindow, FilterForProcess}, vista{nullptr, FilterForProcess};

    g_filterCall = {};
    EXPECT_TRUE(tray::AllowThroughMessageFilter(window, message, 10, both));
    EXPECT_EQ(g_filterCall.which, 1) << "Windows 7 on: the window's own filter";
    EXPECT_EQ(g_filterCall.window, window);
    EXPECT_EQ(g_filterCall.message, message);
    EXPECT_EQ(g_filterCall.action, 1u) << "MSGFLT_ALLOW";
    EXPECT_EQ(g_filterCall.extra, nullptr);

    g_filterCall = {};
    EXPECT_TRUE(tray::AllowThroughMessageFilter(window, message, 6, vista));
    EXPECT_EQ(g_filterCall.which, 2) << "Vista: the process's filter";
    EXPECT_EQ(g_filterCall.message, message);
    EXPECT_EQ(g_filterCall.action, 1u) << "MSGFLT_ADD";

    g_filterCall = {};
    EXPECT_FALSE(tray::AllowThroughMessageFilter(window, message, 5, both)) << "before version 6: nothing";
    EXPECT_FALSE(tray::AllowThroughMessageFilter(window, message, 6, tray::MessageFilterCalls{}));
    EXPECT_EQ(g_filterCall.which, 0);

    // This system's user32 is asked by name (Wine has both).
    const tray::MessageFilterCalls system = tray::SystemMessageFilterCalls();
    EXPECT_EQ(reinterpret_cast<void*>(system.forWindow),
              reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")));
    EXPECT_NE(system.forProcess, nullptr);
}

TEST_F(MainWindowMenus, BossKeyTogglesOncePerPressAndOnlyWithATab) {
    Open(true);  // a login still open: no tab yet
    Press({VK_F10});
    ASSERT_TRUE(KeysHandled());
    EXPECT_TRUE(Visible()) << "no tab, no boss key";

    SetEnvironmentVariableW(L"VELKOR_STUB_IDLE", nullptr);
    AddTab();
    // Held down: the key repeats (an even number of key-downs), the window hides once. The
    // application in front still gets every press.
    HWND front = OpenFrontWindow();
    ASSERT_EQ(GetFocus(), front);
    for (int i = 0; i < 4; ++i) Key(VK_F10, false);
    Key(VK_F10, true);
    ASSERT_TRUE(KeysHandled());
    EXPECT_FALSE(Visible()) << "one toggle for the whole press";
    EXPECT_TRUE(PumpUntil([] { return g_frontF10 == 4; })) << "F10 reached the front window " << g_frontF10 << " times";
    DestroyWindow(front);
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

TEST_F(MainWindowMenus, SoundButtonShowsTheStateAndCaptionControlsFollowTheWidth) {
    Open();
    WaitForTabs(1);
    PointerScope pointer;
    SetCursorPos(5, GetSystemMetrics(SM_CYSCREEN) - 5);  // off the buttons: their normal look
    // Restored to a known width, the controls sit right-aligned at their places.
    POINT onCaption = {60, 12};
    ClientToScreen(m_dlg.Handle(), &onCaption);
    SendMessageW(m_dlg.Handle(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(onCaption.x, onCaption.y));
    ASSERT_FALSE(m_dlg.IsMaximized());
    SetWindowPos(m_dlg.Handle(), nullptr, 0, 0, 1000, 600, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client = {};
    GetClientRect(m_dlg.Handle(), &client);
    const int cx = client.right;
    ASSERT_GT(cx, 900);
    auto place = [&](int id) {
        RECT r = {};
        HWND control = GetDlgItem(m_dlg.Handle(), id);
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, m_dlg.Handle(), reinterpret_cast<POINT*>(&r), 2);
        return std::vector<long>{r.left - cx, r.top, r.right - r.left, r.bottom - r.top};
    };
    EXPECT_EQ(place(1001), (std::vector<long>{-114, 0, 27, 27})) << "hide";
    EXPECT_EQ(place(1002), (std::vector<long>{-141, 0, 27, 27})) << "sound";
    EXPECT_EQ(place(1003), (std::vector<long>{-185, 0, 44, 28})) << "system";
    EXPECT_EQ(place(1005), (std::vector<long>{-285, 7, 92, 16})) << "add account";

    // The sound button shows the muted picture once muted, the other one once sound is on:
    // compared where the two pictures (first of their four frames) differ.
    const Pixels on = BitmapPixels(fw::UniqueBitmap(LoadSkinImage(GetModuleHandleW(nullptr), IDB_SOUND_ON)).Get());
    const Pixels muted = BitmapPixels(fw::UniqueBitmap(LoadSkinImage(GetModuleHandleW(nullptr), IDB_SOUND_MUTED)).Get());
    ASSERT_FALSE(on.Empty() || muted.Empty());
    HWND button = GetDlgItem(m_dlg.Handle(), 1002);
    // The picture changes on the window's next sound tick; on a loaded machine that can take a
    // while, hence the long waits. On a miss the counts say what the screen showed.
    int same = 0, other = 0;
    auto looksLike = [&](const Pixels& picture) {
        SetWindowPos(m_dlg.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        const Pixels shot = CaptureWindow(button);
        same = 0;
        other = 0;
        for (int y = 0; y < 27; ++y)
            for (int x = 0; x < 27; ++x) {
                const COLORREF a = on.At(x, y), b = muted.At(x, y);
                if (a == b || a == RGB(255, 0, 255) || b == RGB(255, 0, 255)) continue;
                const COLORREF seen = shot.At(x, y);
                same += seen == picture.At(x, y) ? 1 : 0;
                other += seen == (&picture == &on ? b : a) ? 1 : 0;
            }
        return same > 20 && other == 0;
    };
    EXPECT_TRUE(PumpUntil([&] { return looksLike(on); }, 30000))
        << "sound on: " << same << " like it, " << other << " like the other";
    SendMessageW(m_dlg.Handle(), WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED), 0);
    EXPECT_TRUE(PumpUntil([&] { return looksLike(muted); }, 30000))
        << "muted: " << same << " like it, " << other << " like the other";
    SendMessageW(m_dlg.Handle(), WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED), 0);
    EXPECT_TRUE(PumpUntil([&] { return looksLike(on); }, 30000))
        << "sound on again: " << same << " like it, " << other << " like the other";
}

TEST_F(MainWindowMenus, SwitchKeyCyclesTabsAndEscDoesNotClose) {
    SetKey(L"AltWndKey", L"0,114");  // F3
    Open();
    WaitForTabs(1);
    AddTab();
    AddTab();
    const std::vector<HWND> frames = m_dlg.TabWnds();
    // The newest page shows itself once loaded; then only the current tab's frame is seen.
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(frames[2]) != FALSE; }));
    auto shown = [&] {
        std::wstring which;
        for (HWND frame : frames) which += IsWindowVisible(frame) ? L'1' : L'0';
        return which;
    };
    std::vector<int> seen = {m_dlg.CurrentTab()};
    std::vector<std::wstring> seenShown = {shown()};
    for (int i = 0; i < 3; ++i) {
        PostMessageW(m_dlg.Handle(), WM_KEYDOWN, VK_F3, 1);
        PumpFor(100);
        seen.push_back(m_dlg.CurrentTab());
        seenShown.push_back(shown());
    }
    EXPECT_EQ(seen, (std::vector<int>{2, 0, 1, 2}));
    EXPECT_EQ(seenShown, (std::vector<std::wstring>{L"001", L"100", L"010", L"001"}));
    PostMessageW(m_dlg.Handle(), WM_KEYDOWN, VK_F3, kSelfPostMarker);
    PostMessageW(m_dlg.Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
    PumpFor(200);
    EXPECT_EQ(m_dlg.CurrentTab(), 2) << "a marked key is no hot key";
    EXPECT_TRUE(m_dlg.asked.empty()) << "Esc asks nothing";
    // Selecting a tab with the mouse likewise.
    POINT onTab0 = {120 + 60, 12};
    ClientToScreen(m_dlg.Handle(), &onTab0);
    SendMessageW(m_dlg.Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(onTab0.x, onTab0.y));
    EXPECT_EQ(m_dlg.CurrentTab(), 0);
    EXPECT_EQ(shown(), L"100");
    // Ctrl+D (the character 4 as the keyboard sends it) goes to the page shown; a held key's
    // repeat does not.
    m_dlg.toPages.clear();
    PostMessageW(m_dlg.Handle(), WM_CHAR, 4, 0x00200001);
    PostMessageW(m_dlg.Handle(), WM_CHAR, 4, 0x40200001);
    PumpFor(200);
    std::vector<MSG> ctrlD;
    for (const MSG& m : m_dlg.toPages)
        if (m.message == WM_CHAR) ctrlD.push_back(m);
    ASSERT_EQ(ctrlD.size(), 1u);
    EXPECT_EQ(ctrlD[0].hwnd, frames[0]);
    EXPECT_EQ(ctrlD[0].wParam, 4u);
    EXPECT_EQ(ctrlD[0].lParam, 0x00200001);

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

    // A different version, but the update process cannot be started: the window and its tab
    // stay, and the player is told.
    ASSERT_TRUE(serve("00000000000000000000000000000000", L""));
    m_dlg.updateStarts = false;
    m_dlg.choices = {4};
    SendMessageW(m_dlg.Handle(), WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED), 0);
    ASSERT_TRUE(PumpUntil([&] { return m_dlg.asked.size() == 2; }, 30000));
    EXPECT_EQ(m_dlg.asked.back(), L"更新程序无法启动，请稍后再试。");
    EXPECT_FALSE(TakeQuit());
    EXPECT_EQ(m_dlg.TabWnds().size(), 1u);
    EXPECT_TRUE(IsWindow(m_dlg.TabWnds()[0]));

    // A different version: the update process starts and the program ends.
    m_dlg.updateStarts = true;
    m_dlg.choices = {4};
    SendMessageW(m_dlg.Handle(), UM_TRAY_NOTIFY, 1, WM_RBUTTONUP);
    ASSERT_TRUE(PumpUntil([&] { return TakeQuit(); }, 30000));
    EXPECT_EQ(m_dlg.updatesStarted, 1);
    EXPECT_EQ(m_dlg.asked.size(), 2u);
}

} // namespace
