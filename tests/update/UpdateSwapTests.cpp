#include "framework/Handles.h"
#include "update/PrgsDlg.h"
#include "update/UpdateSwap.h"
#include "support/GdiplusScope.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <set>
#include <string>
#include <thread>

using namespace testing_support;

namespace {

TEST(ReplaceExecutable, FailedSecondMoveIsRolledBack) {
    TempFolder dir(L"swap");
    const std::wstring self = dir.File(L"Velkor.exe"), fresh = dir.File(L"NewVelkor.exe"), old = dir.File(L"OldVelkor.exe");
    ASSERT_TRUE(WriteWholeFile(self, "running program") && WriteWholeFile(fresh, "new program"));
    // Held open without leave to rename it, as a virus scanner may hold a new file.
    HANDLE held = CreateFileW(fresh.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(ReplaceExecutable(self.c_str(), fresh.c_str(), old.c_str()));
    CloseHandle(held);
    EXPECT_EQ(ReadWholeFile(self), "running program") << "the player keeps a program";
    EXPECT_FALSE(FileExists(old));
}

// The dialog with a look at its bar when the result arrives.
class WatchedPrgsDlg : public CPrgsDlg {
public:
    std::atomic<HWND> window{nullptr};
    int positionAtResult = -1;

protected:
    bool OnInitDialog() override {
        const bool r = CPrgsDlg::OnInitDialog();
        window = m_hWnd;
        return r;
    }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == UM_DOWNLOAD_DONE && positionAtResult < 0)
            positionAtResult = int(SendDlgItemMessageW(m_hWnd, 1000, PBM_GETPOS, 0, 0));
        return CPrgsDlg::HandleMessage(msg, wParam, lParam);
    }
};

int BarPosition(HWND dialog) {
    return dialog ? int(SendDlgItemMessageW(dialog, 1000, PBM_GETPOS, 0, 0)) : -1;
}

class ProgressDialog : public StandInTest {
protected:
    GdiplusScope gdiplus;
    TempFolder dir{L"prgs"};
    std::wstring file = dir.File(L"NewVelkor.exe");
};

TEST_F(ProgressDialog, BarMovesAndReachesTheEnd) {
    ASSERT_TRUE(StandIn::Rule(L"/dl/slow.exe", L"size=300000&trickle=15&piece=8192"));
    WatchedPrgsDlg dialog;
    std::set<int> seen;
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        for (; !done; Sleep(5)) seen.insert(BarPosition(dialog.window));
    });
    const INT_PTR result = dialog.Run(StandIn::Url(L"/dl/slow.exe").c_str(), file.c_str());
    done = true;
    watcher.join();

    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.positionAtResult, 100);
    EXPECT_EQ(ReadWholeFile(file), PatternBytes(300000));
    EXPECT_GE(std::count_if(seen.begin(), seen.end(), [](int p) { return p > 0 && p < 100; }), 2)
        << "the bar moved on its way";
}

TEST_F(ProgressDialog, CancelStopsTheTransferAtOnceAndLeavesNothingHeld) {
    // 2 MB in 4 KB pieces every 100 ms: some 50 seconds. (Closing the request handle ends
    // a read that blocks on a stalled server on Windows; Wine's read goes on until data or
    // the connection's end comes, so a stalled server is not what this test waits on.)
    ASSERT_TRUE(StandIn::Rule(L"/dl/stall.exe", L"size=2000000&trickle=100&piece=4096"));
    WatchedPrgsDlg dialog;
    ULONGLONG cancelledAt = 0;
    std::thread canceller([&] {
        for (const ULONGLONG end = GetTickCount64() + 30000; GetTickCount64() < end; Sleep(5)) {
            if (BarPosition(dialog.window) < 2) continue;
            cancelledAt = GetTickCount64();
            PostMessageW(dialog.window, WM_SYSCOMMAND, SC_CLOSE, 0);  // what the close box does
            return;
        }
    });
    const INT_PTR result = dialog.Run(StandIn::Url(L"/dl/stall.exe").c_str(), file.c_str());
    const ULONGLONG endedAt = GetTickCount64();
    canceller.join();

    EXPECT_EQ(result, IDCANCEL);
    ASSERT_NE(cancelledAt, 0u);
    // A cancel that waited for the transfer would end with it, some 45 s on: the deadline is
    // generous and the time it took is reported.
    const ULONGLONG took = endedAt - cancelledAt;
    RecordProperty("cancel_to_end_ms", std::to_string(took));
    std::printf("the dialog ended %lu ms after the cancel\n", static_cast<unsigned long>(took));
    EXPECT_LT(took, 20000u);
    // The download thread closed and deleted its partial file itself; the target never
    // appeared (a partial update must not stand under the name the swap takes).
    EXPECT_FALSE(FileExists(file));
    WIN32_FIND_DATAW found;
    EXPECT_FALSE(fw::UniqueFind(FindFirstFileW(dir.File(L"*.tmp").c_str(), &found))) << "a partial download stays";
    // No lock was left behind: the next download runs to its end.
    ASSERT_TRUE(StandIn::Rule(L"/dl/next.exe", L"size=5000"));
    CPrgsDlg next;
    EXPECT_EQ(next.Run(StandIn::Url(L"/dl/next.exe").c_str(), file.c_str()), IDOK);
    EXPECT_EQ(ReadWholeFile(file), PatternBytes(5000));
}

} // namespace
