// One C++ object per window: a single virtual message handler, with the previous window
// procedure (the class's own, or the dialog manager's) as the default.
#pragma once
#include <windows.h>

#include <string>

namespace fw {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // Creates a window of a class registered by this layer (the name is registered on
    // first use with the given class style), bound to this object from WM_NCCREATE on.
    bool Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                const RECT& rect, HWND parent, HMENU idOrMenu = nullptr, UINT classStyle = 0);

    // Binds an existing window (typically a control from a dialog template) to this
    // object by replacing its window procedure. Only windows of this process qualify.
    bool Subclass(HWND hwnd);
    bool SubclassDlgItem(int id, HWND dialog) { return Subclass(GetDlgItem(dialog, id)); }
    // Gives the window back its own procedure; the window goes on living.
    void Unsubclass();

    void Destroy();

    // The object bound to a window of this process, or null.
    static Window* FromHandle(HWND hwnd);

    // The window whose end ends the thread's message loop (WM_QUIT is posted when it is
    // destroyed); null for none.
    static void SetMainWindow(Window* wnd);
    static Window* MainWindow();

    // Called for every message taken from a message loop before it is dispatched, for the
    // target window and each of its ancestors in this process; true swallows the message.
    virtual bool PreTranslateMessage(MSG& msg) { return false; }

protected:
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // The behaviour the window would have without this object.
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
    // After Subclass has bound an existing window to this object (a control class takes
    // its text or adds styles here).
    virtual void OnSubclass() {}
    // After WM_NCDESTROY, once the handle is detached; objects that own themselves
    // delete themselves here.
    virtual void OnFinalMessage() {}

    HWND m_hWnd = nullptr;

private:
    friend class Dialog;
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd, WNDPROC previous);
    void Detach();

    static Window* s_pMainWindow;
    WNDPROC m_pfnPrevious = nullptr;
    bool m_bOwnClass = false;     // the class procedure is ours: default is DefWindowProc
    int m_nDefaultDepth = 0;      // > 0 while the dialog manager runs on our behalf
};

// The window's text, whole.
std::wstring WindowText(HWND hwnd);

// Offers a message to the PreTranslateMessage of its target window and of each ancestor
// that belongs to this process; true when one of them took it.
bool PreTranslateChain(MSG& msg);

} // namespace fw
