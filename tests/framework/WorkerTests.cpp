// The one way to run a job on a thread: the job runs on a thread of its own with its own
// copies, its result comes to the window as a posted message, and a window gone by then
// makes the post find nothing.
#include "framework/Worker.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <string>

using testing_support::PumpUntil;

namespace {

const UINT kResult = WM_APP + 21;

struct Seen {
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    int count = 0;
};

LRESULT CALLBACK ResultProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kResult) {
        auto* seen = reinterpret_cast<Seen*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        seen->wParam = wParam;
        seen->lParam = lParam;
        ++seen->count;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND MakeResultWindow(Seen& seen) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ResultProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VelkorWorkerTestResult";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (hwnd) SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&seen));
    return hwnd;
}

TEST(Worker, JobRunsElsewhereAndPostsItsResultToALiveWindowOnly) {
    Seen seen;
    HWND window = MakeResultWindow(seen);
    ASSERT_NE(window, nullptr);
    const DWORD ownThread = GetCurrentThreadId();
    {
        // The job's copy outlives the caller's text.
        std::wstring text = L"four";
        ASSERT_TRUE(fw::Worker::Detach([window, text, ownThread] {
            fw::PostToWindow(window, kResult, text.size(), GetCurrentThreadId() != ownThread);
        }));
        text = L"changed at once";
    }
    ASSERT_TRUE(PumpUntil([&] { return seen.count == 1; }, 30000));
    EXPECT_EQ(seen.wParam, 4u);
    EXPECT_EQ(seen.lParam, 1) << "the job ran on the calling thread";

    // A kept worker: one job at a time, and its end can be waited for.
    fw::Worker worker;
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(worker.Start([release] { WaitForSingleObject(release, 30000); }));
    EXPECT_TRUE(worker.Running());
    EXPECT_FALSE(worker.Start([] {})) << "a second job while the first runs";
    EXPECT_FALSE(worker.Wait(0));
    SetEvent(release);
    EXPECT_TRUE(worker.Wait(30000));
    EXPECT_FALSE(worker.Running());
    CloseHandle(release);

    // The window goes before the job's post: the post fails and nothing else happens.
    DestroyWindow(window);
    bool posted = true;
    ASSERT_TRUE(worker.Start([window, &posted] { posted = fw::PostToWindow(window, kResult, 9); }));
    ASSERT_TRUE(worker.Wait(30000));
    EXPECT_FALSE(posted);
    EXPECT_EQ(seen.count, 1);
}

} // namespace
