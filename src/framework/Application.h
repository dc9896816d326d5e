// The process's application object: start and exit hooks around one message loop.
#pragma once
#include <windows.h>

namespace fw {

class Window;

// Offers a message to the PreTranslateMessage of its target window and of each ancestor
// that belongs to this process; true when one of them took it.
bool PreTranslateChain(MSG& msg);

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
    void SetMainWindow(Window* wnd) { m_pMainWnd = wnd; }
    Window* MainWindow() const { return m_pMainWnd; }

protected:
    virtual bool InitInstance() { return false; }
    virtual int ExitInstance() { return m_nExitCode; }
    virtual int Run();

    int m_nExitCode = 0;

private:
    friend class Window;
    static Application* s_pCurrent;
    Window* m_pMainWnd = nullptr;
};

} // namespace fw
