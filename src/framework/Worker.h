// One way to run work on a thread. A job carries copies of everything it needs (never a
// pointer into a window that may go first) and tells its window the outcome by a posted
// message: a window that has gone makes that post find nothing. A window's thread never
// waits for a job that may be on the network.
#pragma once
#include <windows.h>

#include <functional>

#include "framework/Handles.h"

namespace fw {

class Worker {
public:
    using Job = std::function<void()>;

    Worker() = default;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    // Lets a job still running go on alone: only the handle is closed, the thread is not
    // waited for.
    ~Worker() = default;

    // Runs the job to its end on a thread nobody waits for. False when no thread could be
    // made: the job has not run and never will.
    static bool Detach(Job job);

    // Runs the job and keeps the thread's handle, for an owner that must know when the job
    // has ended. False when no thread could be made (or one is still running here).
    bool Start(Job job);
    // Started and not ended yet.
    bool Running() const;
    // The thread's handle, to wait on (never from a window's thread while the job may wait
    // on the network); null when nothing was started.
    HANDLE Handle() const { return m_thread.Get(); }
    // Waits up to `ms` for the job's end; true once it has ended (or nothing was started).
    bool Wait(DWORD ms) const;

private:
    UniqueHandle m_thread;
};

// A job's result for a window that may be gone by now: the failed post is then the expected
// end, and nothing else happens.
inline bool PostToWindow(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return window && PostMessageW(window, message, wParam, lParam) != FALSE;
}

} // namespace fw
