#include "framework/Application.h"
#include "framework/MessageLoop.h"

namespace fw {

Application* Application::s_pCurrent = nullptr;

Application::Application() { s_pCurrent = this; }

Application::~Application() {
    if (s_pCurrent == this) s_pCurrent = nullptr;
}

int Application::Run() {
    int code = 0;
    return RunMessageLoop(code) ? code : -1;
}

int Application::Main() {
    if (InitInstance()) m_nExitCode = Run();
    return ExitInstance();
}

} // namespace fw
