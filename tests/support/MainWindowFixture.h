// The program's main window on the test's thread, with page stubs (tests/probe/PageStub.cpp)
// as its pages and no notice: what the tests of the window, its tabs and its menus build on.
// Dlg is CQuillonDlg or a test's class derived from it.
#pragma once
#include "common/AppMessages.h"
#include "gamewnd/QuillonDlg.h"
#include "hotkeys/HotKeyStore.h"
#include "support/GdiplusScope.h"
#include "support/MessagePump.h"
#include "support/Processes.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

namespace testing_support {

template <class Dlg>
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        // The hot keys come from a file of the test's own, the page stubs from a clean slate.
        hotkeys::SetHotKeyIniPathForTests(m_dir.File(L"Statistic.ini"));
        for (const wchar_t* name : {L"VELKOR_PROBE_LOG", L"VELKOR_STUB_KEY", L"VELKOR_STUB_HOME", L"VELKOR_STUB_IDLE",
                                    L"VELKOR_STUB_CLOSE_LOG"})
            SetEnvironmentVariableW(name, nullptr);
    }
    void TearDown() override {
        // Whatever the test left, its page processes go with the window.
        if (m_dlg.Handle()) {
            for (HWND frame : m_dlg.TabWnds()) PostMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
            DestroyWindow(m_dlg.Handle());
        }
        // A page process that never attached (or never ended) would hold the test's output
        // open, and with it the whole run, long after the test has ended.
        EndProcessesOf(BuiltPageStubPath());
        hotkeys::SetHotKeyIniPathForTests(L"");
    }
    // Creates the window, which starts its first page at once.
    void OpenWindow() {
        ASSERT_TRUE(m_dlg.CreateModeless());
        ShowWindow(m_dlg.Handle(), SW_SHOWNA);
    }
    void WaitForTabs(size_t count) {
        ASSERT_TRUE(PumpUntil([&] { return m_dlg.TabWnds().size() == count; }, 30000))
            << "tabs: " << m_dlg.TabWnds().size();
    }
    // The player's choice of one more tab; waits until it is there.
    void AddTab() {
        const size_t count = m_dlg.TabWnds().size();
        PostMessageW(m_dlg.Handle(), UM_ADD_ACCOUNT_CHOICE, 1, 0);
        WaitForTabs(count + 1);
    }
    bool Visible() const { return IsWindowVisible(m_dlg.Handle()) != FALSE; }

    GdiplusScope m_gdiplus;  // before the window, which draws with it, and after it
    TempFolder m_dir{L"mainwnd"};
    Dlg m_dlg{MainWindowArgs{BuiltPageStubPath(), RUN_INSTALLED, 0}};
};

} // namespace testing_support
