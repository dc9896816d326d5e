// Runs a modal dialog of the code under test while a thread timer of the test watches it:
// `step` is called every 50 ms with its tick number until it answers true.
#pragma once
#include <windows.h>
#include <functional>

namespace extras_tests {

inline std::function<void()>& Tick() {
    static std::function<void()> tick;
    return tick;
}

template <class Dialog>
INT_PTR RunModal(Dialog& dlg, const std::function<INT_PTR()>& run, const std::function<bool(HWND, int)>& step) {
    int n = 0;
    bool done = false;
    Tick() = [&] {
        if (!done && dlg.Handle()) done = step(dlg.Handle(), n++);
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { Tick()(); });
    const INT_PTR result = run();
    KillTimer(nullptr, timer);
    Tick() = nullptr;
    return result;
}

// A click on a dialog's button, as the button would send it.
inline void Click(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

} // namespace extras_tests
