// The page frame's part of the hot keys: the window-switch key goes to the host, a bare F5
// that is a hook key does not refresh, and the keys are read again on the host's word.
#include "common/AppMessages.h"
#include "gamewnd/GamePage.h"
#include "hotkeys/HotKeyStore.h"
#include "support/MessagePump.h"
#include "support/OleScope.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace testing_support;

namespace {

std::vector<MSG> g_hostKeys;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN) {
        g_hostKeys.push_back(MSG{hwnd, msg, wParam, lParam});
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class KeyFrame : public CMainFrame {
public:
    using CMainFrame::CMainFrame;
    int refreshes = 0;

protected:
    void PurgeLoaderCache() override { ++refreshes; }  // every refresh purges first
};

TEST(PageHotKeys, SwitchKeyGoesToTheHostAndAHookKeyF5DoesNotRefresh) {
    OleScope ole;
    TempFolder dir(L"pagekeys");
    const std::wstring ini = dir.File(L"Statistic.ini");
    hotkeys::SetHotKeyIniPathForTests(ini);
    WritePrivateProfileStringW(L"Velkor", L"AltWndKey", L"0,114", ini.c_str());  // F3
    WritePrivateProfileStringW(L"Velkor", L"SndKey", L"0,116", ini.c_str());     // F5
    WNDCLASSW wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VelkorKeyTestHost";
    RegisterClassW(&wc);
    HWND host = CreateWindowExW(0, wc.lpszClassName, L"host", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                wc.hInstance, nullptr);
    g_hostKeys.clear();
    PageProcessArgs page;
    page.hostWnd = host;
    page.gameUrl = L"http://127.0.0.1:1/game.htm";
    auto frame = std::make_unique<KeyFrame>(page);
    ASSERT_TRUE(frame->CreateFrame());
    HWND target = frame->Handle();

    PostMessageW(target, WM_KEYDOWN, VK_F3, 0x003D0001);
    PostMessageW(target, WM_KEYDOWN, VK_F3, kSelfPostMarker);  // marked: no hot key
    PostMessageW(target, WM_KEYDOWN, VK_F5, 1);                // the sound key: held back
    PostMessageW(target, WM_KEYDOWN, VK_F5, kSelfPostMarker);  // the menu's refresh
    PumpFor(300);
    ASSERT_EQ(g_hostKeys.size(), 1u);
    EXPECT_EQ(g_hostKeys[0].wParam, static_cast<WPARAM>(VK_F3));
    EXPECT_EQ(g_hostKeys[0].lParam, 0x003D0001);
    EXPECT_EQ(frame->refreshes, 1);

    // New keys reach the page on the host's word.
    WritePrivateProfileStringW(L"Velkor", L"SndKey", L"2,81", ini.c_str());
    WritePrivateProfileStringW(L"Velkor", L"AltWndKey", L"0,115", ini.c_str());
    PostMessageW(target, UM_PAGE_RELOAD_HOTKEYS, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return frame->SwitchKey() == (hotkeys::HotKey{0, 115}); }));
    PostMessageW(target, WM_KEYDOWN, VK_F5, 1);
    PumpFor(200);
    EXPECT_EQ(frame->refreshes, 2);

    frame->Destroy();
    TakeQuit();
    DestroyWindow(host);
    hotkeys::SetHotKeyIniPathForTests(L"");
}

} // namespace
