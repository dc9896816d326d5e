#include "framework/Application.h"

namespace fw {

Application* Application::s_pCurrent = nullptr;

Application::Application() { s_pCurrent = this; }

Application::~Application() {
    if (s_pCurrent == this) s_pCurrent = nullptr;
}

int Application::Run() {
    MSG msg;
    for (;;) {
        int got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) return got == 0 ? static_cast<int>(msg.wParam) : -1;
        if (!PreTranslateChain(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

int Application::Main() {
    if (InitInstance()) m_nExitCode = Run();
    return ExitInstance();
}

} // namespace fw
