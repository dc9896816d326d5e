// The process's application object: start and exit hooks around one message loop.
#pragma once
#include "framework/Window.h"

#include <windows.h>

namespace fw {

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Current() { return s_pCurrent; }

    // The whole life of the process: InitInstance, the message loop when it returned true,
    // then ExitInstance, whose result is the exit code.
    int Main();

    // When the main window is destroyed the message loop ends.
    void SetMainWindow(Window* wnd) { Window::SetMainWindow(wnd); }
    Window* MainWindow() const { return Window::MainWindow(); }

protected:
    virtual bool InitInstance() { return false; }
    virtual int ExitInstance() { return m_nExitCode; }
    virtual int Run();

    int m_nExitCode = 0;

private:
    static Application* s_pCurrent;
};

} // namespace fw
