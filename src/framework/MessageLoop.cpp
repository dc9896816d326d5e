#include "framework/MessageLoop.h"
#include "framework/Window.h"

namespace fw {

Pumped PumpMessage(int& quitCode) {
    MSG msg;
    const int got = GetMessageW(&msg, nullptr, 0, 0);
    if (got < 0) return Pumped::Error;
    if (got == 0) {
        quitCode = static_cast<int>(msg.wParam);
        return Pumped::Quit;
    }
    if (!PreTranslateChain(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return Pumped::Message;
}

bool RunMessageLoop(int& quitCode) {
    for (;;) {
        switch (PumpMessage(quitCode)) {
        case Pumped::Message:
            break;
        case Pumped::Quit:
            return true;
        case Pumped::Error:
            return false;
        }
    }
}

} // namespace fw
