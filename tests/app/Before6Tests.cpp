// The paths for systems before version 6, run for real: scripts/test-before6.sh runs the tests
// whose suite name begins with "Before6" in a prefix of their own that reports Windows XP x64
// (5.2), and the main pass leaves them out.
#include "framework/Handles.h"
#include "framework/SystemVersion.h"
#include "hotkeys/SoundMute.h"
#include "login/LoginDlg.h"
#include "settings/SettingsStore.h"
#include "support/MessagePump.h"
#include "support/Processes.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

class Before6Program : public StandInTest {
protected:
    void SetUp() override {
        ASSERT_EQ(fw::OsMajorVersion(), 5u) << "needs a prefix set to winxp64 (scripts/test-before6.sh)";
        StandInTest::SetUp();
        guard_.Clear();
    }
    void TearDown() override { EndProcessesUnder(DataFolderPath()); }
    MachineStateGuard guard_;
};

// Dialog windows that belong to window: owned pop-ups and children.
std::vector<HWND> DialogsOf(HWND window) {
    struct Search { HWND window; std::vector<HWND> found; } s{window, {}};
    auto take = [](HWND h, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        wchar_t cls[16] = {};
        GetClassNameW(h, cls, 16);
        if (std::wstring(cls) == L"#32770" && (GetWindow(h, GW_OWNER) == s->window || GetParent(h) == s->window))
            s->found.push_back(h);
        return TRUE;
    };
    EnumWindows(take, reinterpret_cast<LPARAM>(&s));
    EnumChildWindows(window, take, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

TEST_F(Before6Program, InstalledStartKeepsAHiddenOnePixelLoginWithItsMainWindow) {
    ASSERT_TRUE(EnsureDataFolder());
    const std::wstring installed = DataFolderPath() + L"\\Velkor.exe";
    ASSERT_TRUE(CopyFileW(BuiltExePath().c_str(), installed.c_str(), FALSE));
    ChildProcess program(installed, L"", DataFolderPath());
    HWND main = program.FindWindowTitled(L"Olvesk - Sevrith", 60000);
    ASSERT_NE(main, nullptr);
    // The kept login is the one dialog of the main window held at 1 x 1 and hidden. Under a
    // later system the window owns one dialog only, shown at full size (800 x 540 here).
    auto hiddenOnePixel = [](HWND h) {
        RECT box = {};
        GetWindowRect(h, &box);
        return box.right - box.left == 1 && box.bottom - box.top == 1 && !IsWindowVisible(h);
    };
    std::string seen;
    const bool found = PumpUntil([&] {
        seen.clear();
        int count = 0;
        for (HWND h : DialogsOf(main)) {
            RECT box = {};
            GetWindowRect(h, &box);
            seen += std::to_string(box.right - box.left) + "x" + std::to_string(box.bottom - box.top) +
                    (IsWindowVisible(h) ? " shown; " : " hidden; ");
            count += hiddenOnePixel(h) ? 1 : 0;
        }
        return count == 1;
    }, 30000);
    EXPECT_TRUE(found) << "dialogs of the main window: " << seen;
}

// Before version 6 there is no UAC, whatever the policy value says.
TEST(Before6System, UacCountsAsOffEvenWithEnableLuaSet) {
    ASSERT_EQ(fw::OsMajorVersion(), 5u) << "needs a prefix set to winxp64 (scripts/test-before6.sh)";
    fw::UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", 0,
                              nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key.Put(), nullptr),
              ERROR_SUCCESS);
    DWORD old = 0, size = sizeof(old), type = 0;
    const bool hadValue = RegQueryValueExW(key.Get(), L"EnableLUA", nullptr, &type, reinterpret_cast<BYTE*>(&old),
                                           &size) == ERROR_SUCCESS;
    const DWORD on = 1;
    ASSERT_EQ(RegSetValueExW(key.Get(), L"EnableLUA", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), sizeof(on)),
              ERROR_SUCCESS);
    EXPECT_FALSE(IsUacEnabled());
    if (hadValue)
        RegSetValueExW(key.Get(), L"EnableLUA", 0, type, reinterpret_cast<const BYTE*>(&old), size);
    else
        RegDeleteValueW(key.Get(), L"EnableLUA");
}

// Any mixer call counts: before version 6 muting never goes near the mixer.
int g_mixerCalls = 0;
MMRESULT WINAPI CountOpen(LPHMIXER, UINT, DWORD_PTR, DWORD_PTR, DWORD) { return ++g_mixerCalls, MMSYSERR_ERROR; }
MMRESULT WINAPI CountLine(HMIXEROBJ, LPMIXERLINEW, DWORD) { return ++g_mixerCalls, MMSYSERR_ERROR; }
MMRESULT WINAPI CountControls(HMIXEROBJ, LPMIXERLINECONTROLSW, DWORD) { return ++g_mixerCalls, MMSYSERR_ERROR; }
MMRESULT WINAPI CountRead(HMIXEROBJ, LPMIXERCONTROLDETAILS, DWORD) { return ++g_mixerCalls, MMSYSERR_ERROR; }
MMRESULT WINAPI CountWrite(HMIXEROBJ, LPMIXERCONTROLDETAILS, DWORD) { return ++g_mixerCalls, MMSYSERR_ERROR; }
MMRESULT WINAPI CountClose(HMIXER) { return ++g_mixerCalls, MMSYSERR_ERROR; }

TEST(Before6System, MutingInterceptsTheSoundOutputAndLeavesTheMixerAlone) {
    ASSERT_EQ(fw::OsMajorVersion(), 5u) << "needs a prefix set to winxp64 (scripts/test-before6.sh)";
    HMODULE winmm = LoadLibraryW(L"winmm.dll");
    ASSERT_NE(winmm, nullptr);
    const FARPROC before = GetProcAddress(winmm, "waveOutWrite");
    const hotkeys::MixerApi counting = {&CountOpen, &CountLine, &CountControls, &CountRead, &CountWrite, &CountClose};
    hotkeys::SetSoundSystemForTests(0, &counting);  // the system's own version decides
    EXPECT_TRUE(hotkeys::SetProcessMute(true));
    // What modules loaded later find under the name is the interception, not winmm's own.
    EXPECT_NE(GetProcAddress(winmm, "waveOutWrite"), before);
    EXPECT_TRUE(hotkeys::SetProcessMute(false));
    EXPECT_EQ(g_mixerCalls, 0);
    hotkeys::SetSoundSystemForTests(0, nullptr);
}

}  // namespace
