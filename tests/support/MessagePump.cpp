#include "support/MessagePump.h"
#include "framework/Window.h"

namespace testing_support {

namespace {
thread_local bool t_quitSeen = false;
} // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                t_quitSeen = true;
                continue;
            }
            // As the program's own loops do: windows see their messages before dispatch.
            if (fw::PreTranslateChain(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount64() >= end) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

bool TakeQuit() {
    const bool seen = t_quitSeen;
    t_quitSeen = false;
    return seen;
}

} // namespace testing_support
