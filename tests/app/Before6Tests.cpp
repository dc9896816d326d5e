// The paths for systems before version 6, run for real: scripts/test-before6.sh runs the tests
// whose suite name begins with "Before6" in a prefix of their own that reports Windows XP x64
// (5.2), and the main pass leaves them out.
#include "app/OtherProcess.h"
#include "common/AppMessages.h"
#include "framework/Handles.h"
#include "framework/SystemVersion.h"
#include "hotkeys/SoundMute.h"
#include "login/LoginDlg.h"
#include "settings/SettingsStore.h"
#include "support/MainWindowFixture.h"
#include "support/MessagePump.h"
#include "support/Processes.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <memory>
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
    // Starts a copy of the program in the data folder, as an installed start; its main window,
    // or null.
    HWND StartInstalledCopy() {
        if (!EnsureDataFolder()) return nullptr;
        installed_ = CopyProgramIntoDataFolder();
        if (installed_.empty()) return nullptr;
        program_ = std::make_unique<ChildProcess>(installed_, L"", DataFolderPath());
        return program_->FindWindowTitled(L"Olvesk - Sevrith", 60000);
    }
    MachineStateGuard guard_;
    std::wstring installed_;
    std::unique_ptr<ChildProcess> program_;
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
    HWND main = StartInstalledCopy();
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

// The main window of the program in the test's own process, its desktop redraws noted instead
// of made: Wine does not pass a redraw of the desktop on to the windows in it, so no window
// could see the request from outside.
class CornerNotingDlg : public CQuillonDlg {
public:
    using CQuillonDlg::CQuillonDlg;
    std::vector<RECT> redrawn;
protected:
    void RedrawDesktopArea(const RECT& screen) override { redrawn.push_back(screen); }
};

class Before6MainWindow : public MainWindowFixture<CornerNotingDlg> {
protected:
    void SetUp() override {
        ASSERT_EQ(fw::OsMajorVersion(), 5u) << "needs a prefix set to winxp64 (scripts/test-before6.sh)";
        MainWindowFixture::SetUp();
    }
    // Resizes the window as the player's drag does and waits until it has its new width.
    void ResizeTo(int width) {
        SetWindowPos(m_dlg.Handle(), nullptr, 0, 0, width, 600, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(PumpUntil([&] {
            RECT box = {};
            GetWindowRect(m_dlg.Handle(), &box);
            return box.right - box.left == width;
        }, 20000));
    }
};

std::string Describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

// A main window that becomes narrower has the desktop redraw the 4 x 4 square at its new
// top-right corner, which an old system leaves painted with what the window showed there.
// Becoming wider asks nothing. (Widths stay above the least one a tab allows.)
TEST_F(Before6MainWindow, NarrowingRedrawsTheDesktopCornerTheWindowGaveUp) {
    OpenWindow();
    WaitForTabs(1);  // the first page is in, and the window has taken its size
    SetWindowPos(m_dlg.Handle(), nullptr, 100, 100, 800, 600, SWP_NOZORDER | SWP_NOACTIVATE);
    ResizeTo(800);
    PumpUntil([] { return false; }, 500);
    m_dlg.redrawn.clear();
    ResizeTo(900);
    PumpUntil([] { return false; }, 500);
    EXPECT_TRUE(m_dlg.redrawn.empty()) << "after widening: " << Describe(m_dlg.redrawn.front());
    m_dlg.redrawn.clear();

    ResizeTo(700);
    PumpUntil([] { return false; }, 500);
    RECT box = {};
    GetWindowRect(m_dlg.Handle(), &box);
    ASSERT_EQ(m_dlg.redrawn.size(), 1u);
    const RECT corner = {box.right - 4, box.top, box.right, box.top + 4};
    EXPECT_TRUE(EqualRect(&m_dlg.redrawn[0], &corner))
        << "expected " << Describe(corner) << ", asked " << Describe(m_dlg.redrawn[0]);
}

// A real page process mutes its own sound output before version 6: told a state as the main
// window tells its tabs' frames, it routes the three ways sound leaves it through the
// interception, seen from outside in its export entries, while a library function it leaves
// alone keeps pointing into its library. (The page here is a hall page attached to a real main
// window: a tab's page cannot get past its login under Wine. Whether the data is zeroed is
// tested in-process: the page plays nothing here.)
TEST_F(Before6Program, PageProcessRoutesItsOwnSoundOutputThroughTheInterception) {
    HWND main = StartInstalledCopy();
    ASSERT_NE(main, nullptr);
    ChildProcess hall(installed_, L"/gmhall /" + std::to_wstring(reinterpret_cast<INT_PTR>(main)), DataFolderPath());
    HWND frame = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (frame = WindowOfProcess(hall.Id(), L"VelkorGameFrame")) != nullptr; }, 60000));
    fw::UniqueHandle page(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, hall.Id()));
    ASSERT_TRUE(page);
    const RemoteExport before = FindRemoteExport(page.Get(), L"winmm.dll", "waveOutWrite");
    EXPECT_TRUE(!before.found || before.InsideImage()) << "routed before any mute state: " << before.seen;

    PostMessageW(frame, UM_SET_MUTE, 1, 0);
    RemoteExport wave, midi, direct;
    const bool routed = PumpUntil([&] {
        wave = FindRemoteExport(page.Get(), L"winmm.dll", "waveOutWrite");
        midi = FindRemoteExport(page.Get(), L"winmm.dll", "midiStreamOut");
        direct = FindRemoteExport(page.Get(), L"dsound.dll", "DirectSoundCreate");
        return wave.found && !wave.InsideImage() && midi.found && !midi.InsideImage() && direct.found &&
               !direct.InsideImage();
    }, 30000);
    EXPECT_TRUE(routed) << "waveOutWrite: " << wave.seen << "\nmidiStreamOut: " << midi.seen
                        << "\nDirectSoundCreate: " << direct.seen;
    const RemoteExport open = FindRemoteExport(page.Get(), L"winmm.dll", "waveOutOpen");
    EXPECT_TRUE(open.InsideImage()) << open.seen;
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
