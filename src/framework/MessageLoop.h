// The thread's message loop, written once: each message is offered to PreTranslateChain and
// dispatched unless a window took it.
#pragma once
#include <windows.h>

namespace fw {

enum class Pumped {
    Message,  // one message was handled
    Quit,     // WM_QUIT came: quitCode holds its code
    Error,    // the queue could not be read
};
// Waits for the next message of the thread's queue and handles it.
Pumped PumpMessage(int& quitCode);
// Handles messages until WM_QUIT (true, with its code) or an error (false).
bool RunMessageLoop(int& quitCode);

} // namespace fw
