// The page frame's part of the hot keys: the window-switch key goes to the host, a bare F5
// that is a hook key does not refresh, the keys are read again on the host's word, the
// frame's filter sees a key before the browser control does, and Ctrl+D opens favourites.
#include "common/AppMessages.h"
#include "extras_ids.h"
#include "gamewnd/GamePage.h"
#include "hotkeys/HotKeyStore.h"
#include "support/MessagePump.h"
#include "support/OleScope.h"
#include "support/TestHost.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

using namespace testing_support;

namespace {

class KeyFrame : public CMainFrame {
public:
    using CMainFrame::CMainFrame;
    int refreshes = 0;
    std::vector<WPARAM> controlTook;

protected:
    void PurgeLoaderCache() override { ++refreshes; }  // every refresh purges first
    // Stands in for the browser control's own accelerators, which Wine's control lacks: as
    // the real control does, it takes F5 (its own reload) and Tab with or without Ctrl (focus
    // moves through the page) whenever they reach it.
    bool ControlAccelerator(MSG& msg) override {
        if (msg.message == WM_KEYDOWN && (msg.wParam == VK_F5 || msg.wParam == VK_TAB)) {
            controlTook.push_back(msg.wParam);
            return true;
        }
        return false;
    }
};

// A host window and a page frame in it, with the hot keys of a fresh Statistic.ini.
class PageHotKeys : public ::testing::Test {
protected:
    void SetUp() override {
        hotkeys::SetHotKeyIniPathForTests(m_ini);
        PageProcessArgs page;
        page.hostWnd = m_host.Handle();
        page.gameUrl = L"http://127.0.0.1:1/game.htm";
        m_frame = std::make_unique<KeyFrame>(page);
        ASSERT_TRUE(m_frame->CreateFrame());
        // Keys arrive where the focus is: in the browser control inside the view.
        m_control = m_frame->GameView().BrowserWindow();
        ASSERT_NE(m_control, nullptr);
    }
    void TearDown() override {
        if (m_frame && m_frame->Handle()) m_frame->Destroy();
        TakeQuit();
        hotkeys::SetHotKeyIniPathForTests(L"");
    }
    OleScope m_ole;
    TempFolder m_dir{L"pagekeys"};
    std::wstring m_ini = m_dir.File(L"Statistic.ini");
    TestHost m_host;
    std::unique_ptr<KeyFrame> m_frame;
    HWND m_control = nullptr;
};

TEST_F(PageHotKeys, SwitchKeyGoesToTheHostAndAHookKeyF5DoesNotRefresh) {
    WritePrivateProfileStringW(L"Velkor", L"AltWndKey", L"0,114", m_ini.c_str());  // F3
    WritePrivateProfileStringW(L"Velkor", L"SndKey", L"0,116", m_ini.c_str());     // F5
    PostMessageW(m_frame->Handle(), UM_PAGE_RELOAD_HOTKEYS, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return m_frame->SwitchKey() == (hotkeys::HotKey{0, 114}); }));
    HWND target = m_frame->Handle();

    PostMessageW(target, WM_KEYDOWN, VK_F3, 0x003D0001);
    PostMessageW(target, WM_KEYDOWN, VK_F3, kSelfPostMarker);  // marked: no hot key
    PostMessageW(target, WM_KEYDOWN, VK_F5, 1);                // the sound key: held back
    PostMessageW(target, WM_KEYDOWN, VK_F5, kSelfPostMarker);  // the menu's refresh
    PumpFor(300);
    const std::vector<MSG> keys = m_host.Messages(WM_KEYDOWN);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].wParam, static_cast<WPARAM>(VK_F3));
    EXPECT_EQ(keys[0].lParam, 0x003D0001);
    EXPECT_EQ(m_frame->refreshes, 1);

    // New keys reach the page on the host's word.
    WritePrivateProfileStringW(L"Velkor", L"SndKey", L"2,81", m_ini.c_str());
    WritePrivateProfileStringW(L"Velkor", L"AltWndKey", L"0,115", m_ini.c_str());
    PostMessageW(target, UM_PAGE_RELOAD_HOTKEYS, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return m_frame->SwitchKey() == (hotkeys::HotKey{0, 115}); }));
    PostMessageW(target, WM_KEYDOWN, VK_F5, 1);
    PumpFor(200);
    EXPECT_EQ(m_frame->refreshes, 2);
}

TEST_F(PageHotKeys, TheFrameFilterSeesKeysBeforeTheBrowserControl) {
    // The default keys: boss F10, window switch Ctrl+Tab, sound Ctrl+Q.
    BYTE saved[256] = {}, ctrl[256] = {};
    GetKeyboardState(saved);
    memcpy(ctrl, saved, sizeof(ctrl));
    ctrl[VK_CONTROL] = ctrl[VK_LCONTROL] = 0x80;
    SetKeyboardState(ctrl);
    PostMessageW(m_control, WM_KEYDOWN, VK_TAB, 0x000F0001);
    PumpFor(200);
    SetKeyboardState(saved);
    PostMessageW(m_control, WM_KEYDOWN, VK_F5, 0x003F0001);
    PostMessageW(m_control, WM_KEYDOWN, VK_TAB, 0x000F0001);  // no hot key: the page's own focus move
    PumpFor(300);
    const std::vector<MSG> keys = m_host.Messages(WM_KEYDOWN);
    ASSERT_EQ(keys.size(), 1u) << "Ctrl+Tab switches tabs in the main window";
    EXPECT_EQ(keys[0].wParam, static_cast<WPARAM>(VK_TAB));
    EXPECT_EQ(keys[0].lParam, 0x000F0001);
    EXPECT_EQ(m_frame->refreshes, 1) << "F5 is the frame's refresh, which deletes the cached loader first";
    EXPECT_EQ(m_frame->controlTook, (std::vector<WPARAM>{VK_TAB}));

    // F5 as the sound key: the hook's business; the page is not reloaded by anyone.
    WritePrivateProfileStringW(L"Velkor", L"SndKey", L"0,116", m_ini.c_str());
    WritePrivateProfileStringW(L"Velkor", L"AltWndKey", L"0,115", m_ini.c_str());
    PostMessageW(m_frame->Handle(), UM_PAGE_RELOAD_HOTKEYS, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return m_frame->SwitchKey() == (hotkeys::HotKey{0, 115}); }));
    PostMessageW(m_control, WM_KEYDOWN, VK_F5, 0x003F0001);
    PumpFor(200);
    EXPECT_EQ(m_frame->refreshes, 1);
    EXPECT_EQ(m_frame->controlTook, (std::vector<WPARAM>{VK_TAB}));
}

// The favourites dialogs this thread has open now, by the name they offer.
std::vector<std::wstring> g_favNames;

TEST_F(PageHotKeys, CtrlDWithTheDKeysScanCodeAloneOpensFavourites) {
    IWebBrowser2* browser = m_frame->GameView().Browser();
    ASSERT_NE(browser, nullptr);
    m_frame->GameView().OnTitleChange(L"Sevrith 一区");
    m_frame->GameView().OnNavigateComplete2(browser, L"http://127.0.0.1:1/game.htm");
    g_favNames.clear();
    // Closes each favourites dialog as it shows, noting the name it offers.
    const UINT_PTR watch = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(GetCurrentThreadId(), [](HWND h, LPARAM) -> BOOL {
            HWND name = GetDlgItem(h, IDC_FAV_NAME);
            if (name && IsWindowVisible(h)) {
                wchar_t text[64] = {};
                GetWindowTextW(name, text, 64);
                g_favNames.push_back(text);
                PostMessageW(h, WM_COMMAND, IDCANCEL, 0);
            }
            return TRUE;
        }, 0);
    });
    // Ctrl+D is the character 4 with exactly 0x0020 in the upper word: no extended, context,
    // previous-state or transition bit, no other scan code.
    for (LPARAM other : {LPARAM(0x01200001), LPARAM(0x20200001), LPARAM(0x40200001), LPARAM(0x00210001)})
        PostMessageW(m_control, WM_CHAR, 4, other);
    PumpFor(400);
    EXPECT_TRUE(g_favNames.empty());
    PostMessageW(m_control, WM_CHAR, 4, 0x00200001);
    EXPECT_TRUE(PumpUntil([] { return !g_favNames.empty(); }, 10000));
    KillTimer(nullptr, watch);
    EXPECT_EQ(g_favNames, (std::vector<std::wstring>{L"Sevrith 一区"}));
}

} // namespace
