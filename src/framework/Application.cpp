#include "framework/Application.h"
#include "framework/Window.h"

namespace fw {

Application* Application::s_pCurrent = nullptr;

Application::Application() { s_pCurrent = this; }

Application::~Application() {
    if (s_pCurrent == this) s_pCurrent = nullptr;
}

bool PreTranslateChain(MSG& msg) {
    for (HWND h = msg.hwnd; h; h = GetParent(h)) {
        Window* w = Window::FromHandle(h);
        if (w && w->PreTranslateMessage(msg)) return true;
        // Stop at the top of our own windows: a page frame's parent may live in another process.
        if (!(GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return false;
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
