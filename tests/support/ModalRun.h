// Drives a modal loop of the code under test (a dialog, a message box, a menu) from the
// test's own thread: a thread timer calls `step` with its tick number, every `everyMs`, until
// step answers true; then run's result is returned. A step may pump messages (it is not
// entered again meanwhile); nested drives each keep their own step.
#pragma once
#include <windows.h>

#include <functional>
#include <utility>

namespace testing_support {

namespace modal_detail {
inline std::function<void()>& Tick() {
    thread_local std::function<void()> tick;
    return tick;
}
inline void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (auto tick = Tick()) tick();  // a copy: the step may start a nested drive
}
} // namespace modal_detail

template <class Run>
auto WhileModal(Run&& run, const std::function<bool(int)>& step, UINT everyMs = 50) {
    int n = 0;
    bool done = false, busy = false;  // a step that pumps messages itself is not re-entered
    std::function<void()> outer = std::exchange(modal_detail::Tick(), [&] {
        if (done || busy) return;
        busy = true;
        done = step(n++);
        busy = false;
    });
    const UINT_PTR timer = SetTimer(nullptr, 0, everyMs, modal_detail::OnTimer);
    auto result = run();
    KillTimer(nullptr, timer);
    modal_detail::Tick() = std::move(outer);
    return result;
}

// For a dialog object: step is given the dialog's window, once it has one.
template <class Dialog, class Run>
auto RunModal(Dialog& dlg, Run&& run, const std::function<bool(HWND, int)>& step, UINT everyMs = 50) {
    int n = 0;
    return WhileModal(std::forward<Run>(run), [&](int) { return dlg.Handle() && step(dlg.Handle(), n++); }, everyMs);
}

// A click on a dialog's button, as the button would send it.
inline void Click(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

} // namespace testing_support
