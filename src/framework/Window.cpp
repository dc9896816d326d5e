#include "framework/Window.h"

namespace fw {

namespace {
// The property under which a window of this process carries its object.
const wchar_t kObjectProp[] = L"VelkorWindowObject";

bool IsOwnProcessWindow(HWND hwnd) {
    DWORD pid = 0;
    return hwnd && GetWindowThreadProcessId(hwnd, &pid) && pid == GetCurrentProcessId();
}
} // namespace

Window::~Window() {
    // An object must not outlive its binding; a window still alive keeps working without it.
    if (m_hWnd) {
        if (m_bOwnClass) {
            HWND h = m_hWnd;
            Detach();
            DestroyWindow(h);
        } else {
            Unsubclass();
        }
    }
}

Window* Window::FromHandle(HWND hwnd) {
    if (!IsOwnProcessWindow(hwnd)) return nullptr;
    return static_cast<Window*>(GetPropW(hwnd, kObjectProp));
}

void Window::Attach(HWND hwnd, WNDPROC previous) {
    m_hWnd = hwnd;
    m_pfnPrevious = previous;
    SetPropW(hwnd, kObjectProp, this);
}

void Window::Detach() {
    if (m_hWnd) RemovePropW(m_hWnd, kObjectProp);
    m_hWnd = nullptr;
    m_pfnPrevious = nullptr;
}

bool Window::Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                    const RECT& rect, HWND parent, HMENU idOrMenu, UINT classStyle) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {sizeof(wc)};
    if (!GetClassInfoExW(inst, className, &wc)) {
        wc = {sizeof(wc)};
        wc.style = classStyle;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = inst;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = className;
        if (!RegisterClassExW(&wc)) return false;
    }
    m_bOwnClass = true;
    HWND hwnd = CreateWindowExW(exStyle, className, title, style, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent, idOrMenu,
                                inst, this);
    return hwnd != nullptr;
}

bool Window::Subclass(HWND hwnd) {
    if (!hwnd || m_hWnd || !IsOwnProcessWindow(hwnd) || FromHandle(hwnd)) return false;
    m_bOwnClass = false;
    Attach(hwnd, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)));
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc));
    OnSubclass();
    return true;
}

void Window::Unsubclass() {
    if (!m_hWnd || m_bOwnClass) return;
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnPrevious));
    Detach();
}

void Window::Destroy() {
    if (m_hWnd) DestroyWindow(m_hWnd);
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefaultHandler(msg, wParam, lParam);
}

LRESULT Window::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!m_pfnPrevious) return DefWindowProcW(m_hWnd, msg, wParam, lParam);
    ++m_nDefaultDepth;
    LRESULT r = CallWindowProcW(m_pfnPrevious, m_hWnd, msg, wParam, lParam);
    --m_nDefaultDepth;
    return r;
}

Window* Window::s_pMainWindow = nullptr;

void Window::SetMainWindow(Window* wnd) { s_pMainWindow = wnd; }
Window* Window::MainWindow() { return s_pMainWindow; }

bool PreTranslateChain(MSG& msg) {
    for (HWND h = msg.hwnd; h; h = GetParent(h)) {
        Window* w = Window::FromHandle(h);
        if (w && w->PreTranslateMessage(msg)) return true;
        // Stop at the top of our own windows: a page frame's parent may live in another process.
        if (!(GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return false;
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* self = static_cast<Window*>(GetPropW(hwnd, kObjectProp));
    if (!self && msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(cs->lpCreateParams);
        if (self) self->Attach(hwnd, nullptr);
    }
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);

    LRESULT r = self->HandleMessage(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        if (!self->m_bOwnClass && self->m_pfnPrevious)
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->m_pfnPrevious));
        self->Detach();
        if (s_pMainWindow == self) {
            s_pMainWindow = nullptr;
            PostQuitMessage(0);
        }
        self->OnFinalMessage();
    }
    return r;
}

std::wstring WindowText(HWND hwnd) {
    const int len = GetWindowTextLengthW(hwnd);
    if (len <= 0) return {};
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), len + 1)));
    return text;
}

} // namespace fw
