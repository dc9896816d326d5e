#include "framework/Worker.h"

#include <process.h>

#include <memory>
#include <new>
#include <utility>

namespace fw {
namespace {

unsigned __stdcall RunJob(void* param) {
    // The thread owns its job from here on: the starter has already let go of it.
    std::unique_ptr<Worker::Job> job(static_cast<Worker::Job*>(param));
    (*job)();
    return 0;
}

// The CRT's thread start (not CreateThread), so the runtime's per-thread state is set up and
// freed with the thread. Null when no thread could be made; the job is then freed unrun.
HANDLE StartThread(Worker::Job job) {
    if (!job) return nullptr;
    std::unique_ptr<Worker::Job> owned(new (std::nothrow) Worker::Job(std::move(job)));
    if (!owned) return nullptr;
    const uintptr_t thread = _beginthreadex(nullptr, 0, RunJob, owned.get(), 0, nullptr);
    if (thread == 0) return nullptr;
    owned.release();
    return reinterpret_cast<HANDLE>(thread);
}

} // namespace

bool Worker::Detach(Job job) {
    UniqueHandle thread(StartThread(std::move(job)));
    return thread.Valid();
}

bool Worker::Start(Job job) {
    if (Running()) return false;
    m_thread.Reset(StartThread(std::move(job)));
    return m_thread.Valid();
}

bool Worker::Running() const { return m_thread && WaitForSingleObject(m_thread.Get(), 0) == WAIT_TIMEOUT; }

bool Worker::Wait(DWORD ms) const { return !m_thread || WaitForSingleObject(m_thread.Get(), ms) != WAIT_TIMEOUT; }

} // namespace fw
